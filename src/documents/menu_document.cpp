#include "documents/menu_document.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "render/fixed_page.h"
#include "render/html_escape.h"
#include "render/write_page.h"

namespace kio {

namespace {

// The menu page's head; its lines end in LF CR, but for those of the script
// (CR LF).
const char kMenuHeadRoot[] =
    "\n\r"
    "\n\r"
    "<head>\n\r";

const char kMenuHead[] =
    "<title>Menu - Activities</title>\n\r"
    "<style type=\"text/css\">\n\r"
    "<!--\n\r"
    "body         { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\n\r"
    "td           { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\n\r"
    ".welcome     { font-family: Verdana, Arial, Helvetica, sans-serif; font-size: 28px; \n\r"
    "               font-weight: normal }\n\r"
    ".tablehead   { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 16px; \n\r"
    "               font-weight: bold; color: #FFFFFF; background-color: #333399 }\n\r"
    ".copyright   { font-family: 'Times New Roman', Times, serif; font-size: 10px }\n\r"
    ".team        { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 14px }\n\r"
    "-->\n\r"
    "</style>\n\r";

// After the window opener script.
const char kMenuHeadB[] =
    "</head>\n\r"
    "\n\r"
    "<body bgcolor=\"#FFFFFF\" "
    "link=\"#FFFFCC\" "
    "vlink=\"#FFFFCC\" alink=\"#FFFFCC\">\n\r"
    "\n\r"
    "<main><table width=\"400\" border=\"0\"  align=\"center\" cellspacing=\"2\" "
    "cellpadding=\"2\"bgcolor=\"#333399\">\n\r"
    "  <tr>\n\r"
    "    <td class=\"tablehead\">\n\r"
    "      <p align=\"center\">";

const char kMenuPieceB[] =
    "</td>\n\r  </tr>\n\r</table>\n\r<p class=\"welcome\" align=\"center\">&nbsp;&nbsp;</p>";

const char kMenuFooter[] = "\r\n<p  align=\"center\">Powered by KIO</p>\r\n</main>\r\n</body>\r\n</html>\r\n";

}  // namespace

uint32_t MenuCount(const MenuDocument& menu) {
  for (size_t k = kMenuEntries; k >= 1; --k)
    if (!menu.entries[k].empty()) return static_cast<uint32_t>(k + 1);
  return 0;
}

std::optional<Ui> MenuListProblem(const MenuDocument& menu) {
  const uint32_t count = MenuCount(menu);
  if (count == 0) return Ui::kNothingToSave;
  for (uint32_t k = 1; k < count; ++k)
    if (menu.entries[k].empty()) return Ui::kBoxesOutOfOrder;
  return std::nullopt;
}

void WriteMenuDocument(FieldWriter& writer, const MenuDocument& menu) {
  const uint32_t count = MenuCount(menu);
  writer.Text(menu.title);
  writer.Number(count);
  for (uint32_t k = 0; k <= count; ++k) writer.Text(menu.entries[k]);
}

MenuDocument ReadMenuDocument(FieldReader& reader) {
  MenuDocument menu;
  menu.title = reader.Text(kMenuReadLimit);
  const uint32_t count = reader.Number();
  if (count > kMenuCountLimit) throw FileError{kInvalidFile};
  for (uint32_t k = 0; k <= count; ++k) menu.entries[k] = reader.Text(kMenuReadLimit);
  return menu;
}

std::string BuildMenuPage(const MenuDocument& menu, const std::string& linkWord) {
  PageBuild plain;  // the pieces are added as they are: nothing is rendered
  PageAssembler page(plain);
  page.Add(FixedPageRoot())
      .Add(kMenuHeadRoot)
      .Add(PhoneHead("\n\r"))
      .Add(kMenuHead)
      .Add(kWindowOpenerScript)
      .Add(kMenuHeadB);
  page.Add(kPageHeadingOpen)
      .Add(ReplaceAll(menu.title, "\r\n", " <br> "))
      .Add(kPageHeadingClose)
      .Add(kMenuPieceB);
  const uint32_t count = MenuCount(menu);
  for (uint32_t k = 1; k < count; ++k) {
    const std::string& entry = menu.entries[k];
    page.Add("\r\n<table width=\"400\" border=\"0\" align=\"center\"cellspacing=\"2\" bgcolor=\"#333399\">")
        .Add("\r\n  <tr>\r\n")
        .Add("    <td class=\"tablehead\">")
        .Add("<a href=\"javascript:Abre1('")
        .Add(ScriptStringInAddressAttribute(entry))
        .Add("','790','520');\"  class=linkpadrao>")
        .Add(linkWord + " " + std::to_string(k) + " - " + HtmlText(entry))
        .Add("</a>")
        .Add("</a></td>\r\n  </tr>\r\n</table>\r\n")
        .Add(" <p>&nbsp;</p>");
  }
  page.Add(kMenuFooter);
  return page.Text();
}

}  // namespace kio
