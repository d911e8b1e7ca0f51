// Text between Qt (Unicode) and the core (Windows-1252 bytes): the only place
// where it crosses.
#pragma once
#include <QString>
#include <optional>
#include <string>

namespace kio {

// A core text for display.
QString ToQt(const std::string& cp1252);

// A text the teacher typed, for the core: a character Windows-1252 cannot
// hold becomes its HTML character reference "&#N;" (see Utf8ToCp1252Markup).
std::string FromQtMarkup(const QString& text);

// A name that must keep every character as it is (a file path): nothing when
// a character has no Windows-1252 form.
std::optional<std::string> FromQtExact(const QString& text);

// The text as the core will store it, shown back in Unicode: the characters
// with no Windows-1252 form appear as their references.
QString AsStored(const QString& text);

// The first character of `text` with no Windows-1252 form, or an empty text.
QString FirstUnfitting(const QString& text);

}  // namespace kio
