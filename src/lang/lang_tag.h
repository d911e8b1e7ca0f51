// The language of the student pages, as the BCP-47 tag that a page's
// "lang" attribute carries (screen readers pick their voice by it, browsers
// their hyphenation and spelling).
#pragma once
#include <string>

namespace kio {

// The tag for a student language file name, from the name itself: the
// student-language editor writes every ".stu" file in one fixed layout with
// no room for a language code, so the name is what tells the language.
// "portugues.stu" gives "pt", "english.stu" "en", "espanol.stu" "es"; a
// handful of other language names (in Portuguese, English or the language
// itself) and names that are a two-letter code ("fr.stu") give theirs; any
// other name gives "und" (undetermined). Folders and case do not matter.
std::string StudentLanguageTag(const std::string& studentLanguageFile);

}  // namespace kio
