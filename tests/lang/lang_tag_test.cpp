// The page language from the student language file's name.
#include "lang/lang_tag.h"

#include <gtest/gtest.h>

#include "kio_test.h"

namespace kio {
namespace {

TEST(StudentLanguageTag, FromTheFileName) {
  struct Case {
    std::string file, tag;
  } cases[] = {
      {"portugues.stu", "pt"},
      {"english.stu", "en"},
      {"espanol.stu", "es"},
      {"ESPANOL.STU", "es"},
      {test::W("Español.stu"), "es"},
      {"/home/ana/linguas/English.stu", "en"},
      {"C:\\kio\\francais.stu", "fr"},
      {"arabe.stu", "ar"},
      {"fr.stu", "fr"},
      {"minha_turma.stu", "und"},
      {"port_espan.stu", "und"},
      {"e1.stu", "und"},
      {"", "und"},
  };
  for (const auto& c : cases) EXPECT_EQ(StudentLanguageTag(c.file), c.tag) << c.file;
}

}  // namespace
}  // namespace kio
