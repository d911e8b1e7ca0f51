#include "platform/qt/qt_text.h"

#include <QList>

#include "platform/text_encoding.h"

namespace kio {

QString ToQt(const std::string& cp1252) { return QString::fromUtf8(Cp1252ToUtf8(cp1252)); }

std::string FromQtMarkup(const QString& text) { return Utf8ToCp1252Markup(text.toStdString()); }

std::optional<std::string> FromQtExact(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QString AsStored(const QString& text) { return ToQt(FromQtMarkup(text)); }

QString FirstUnfitting(const QString& text) {
  const QList<uint> codePoints = text.toUcs4();
  for (uint cp : codePoints)
    if (!Cp1252Byte(cp)) {
      char32_t one = cp;
      return QString::fromUcs4(&one, 1);
    }
  return {};
}

}  // namespace kio
