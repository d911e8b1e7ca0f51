// A small course on disk for the package tests: an Index over a Menu, a
// Cloze and a Multiple choice page, a reading with an accented name, a
// picture whose name has an apostrophe, a missing picture, a link out of
// the folder, and files that nothing links to.
#pragma once
#include <string>

#include "kio_test.h"

namespace kio::test {

inline const char kReading[] = "li\xC3\xA7\xC3\xA3o de leitura.htm";

inline std::string ActivityPage(const std::string& body) {
  return "<html><body>" + body +
         "<form id=\"results\"></form><script>var KioKit = {};</script></body></html>";
}

inline void WriteCourse(const fs::path& root) {
  fs::path course = root / "Unidade 1";
  fs::create_directories(course / "fotos");
  WriteFile(course / "index.html",
            "<a href=\"menu.htm\">menu</a>\r\n"
            "<a href=\"javascript:Abre1('li&#231;&#227;o de leitura.htm','790','520');\">reading</a>\r\n"
            "<img src=\"../outside.jpg\">\r\n");
  WriteFile(course / "menu.htm",
            "<a href=\"javascript:Abre1('cloze 1.htm','790','520');\"  class=linkpadrao>1</a></a>\r\n"
            "<a href=\"javascript:Abre1('multi.htm','790','520');\"  class=linkpadrao>2</a></a>\r\n"
            "<a href=\"index.html\">back</a>\r\n");
  WriteFile(course / "cloze 1.htm",
            ActivityPage("<script>palavras[0]='<embed src=\\'som%20da%20aula.mp3\\'>';</script>"));
  WriteFile(course / "multi.htm",
            ActivityPage("<script>Texto[0] = '#';\nTexto[1] = 'fotos/p\\u00e1tio.jpg';</script>"
                         "<img src=\"missing.jpg\">"));
  WriteFile(course / kReading,
            "<html><body><img src=\"fotos/d'or.jpg\"><a href=\"menu.htm\">m</a></body></html>");
  WriteFile(course / "som da aula.mp3", "ID3 sound");
  WriteFile(course / "fotos" / "p\xC3\xA1tio.jpg", "JPEG patio");
  WriteFile(course / "fotos" / "d'or.jpg", "JPEG d'or");
  WriteFile(course / "unrelated.htm", "<a href=\"menu.htm\">");
  WriteFile(course / "fotos" / "unused.jpg", "JPEG unused");
  WriteFile(root / "outside.jpg", "JPEG outside");
}

}  // namespace kio::test
