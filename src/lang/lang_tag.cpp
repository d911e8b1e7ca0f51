#include "lang/lang_tag.h"

#include "platform/text_encoding.h"

namespace kio {

std::string StudentLanguageTag(const std::string& studentLanguageFile) {
  std::string name = studentLanguageFile;
  if (size_t slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
  if (size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
  name = ToLower(name);

  static const struct {
    const char* tag;
    const char* names[6];
  } kLanguages[] = {
      {"pt", {"portugues", "português", "portuguese"}},
      {"en", {"english", "ingles", "inglês"}},
      {"es", {"espanol", "español", "espanhol", "spanish", "castellano"}},
      {"fr", {"frances", "francês", "francais", "français", "french"}},
      {"de", {"deutsch", "alemao", "alemão", "german"}},
      {"it", {"italiano", "italian"}},
      {"ar", {"arabe", "árabe", "arabic"}},
      {"he", {"hebraico", "hebrew", "ivrit"}},
  };
  for (const auto& language : kLanguages)
    for (const char* known : language.names)
      if (known && name == Win1252(known)) return language.tag;

  auto letter = [](char c) { return c >= 'a' && c <= 'z'; };
  if (name.size() == 2 && letter(name[0]) && letter(name[1])) return name;
  return "und";
}

}  // namespace kio
