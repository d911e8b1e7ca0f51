#include "documents/index_document.h"

#include "documents/basic_document.h"
#include "platform/text_encoding.h"
#include "render/fields.h"
#include "render/fixed_page.h"
#include "render/html_escape.h"
#include "render/write_page.h"

namespace kio {

namespace {

const char kIndexH1[] =
    "<title>Index</title>\r\n"
    "<style type=\"text/css\"> <!--\r\n"
    "a:link       { color: black }\r\n"
    "a:visited    { color: black }\r\n"
    "a:hover      { color: blue }\r\n"
    "a:active     { color: red }\r\n"
    "a            { text-decoration: none }\r\n"
    "--> </style>\r\n";

// After the window opener script.
const char kIndexH1b[] =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head>\r\n"
    "<";

const char kIndexH2[] =
    "><body>\r\n"
    "<main><table width=\"80%\" border=\"0\" align=\"center\" cellspacing=\"2\"";

const char kIndexH3[] =
    ">\r\n"
    "  <tr> \r\n"
    "    <td class=\"tablehead\"><div align=\"center\"><font color=\"#FFFF99\" size=\"5\">\r\n";

const char kIndexH4[] = "</font></div></td>\r\n  </tr>\r\n</table>\r\n";

const char kIndexF1[] =
    "</a></font></p>\r\n"
    "<table width=\"80%\" border=\"0\" align=\"center\" cellspacing=\"2\"";

const char kIndexF2[] =
    ">\r\n"
    "  <tr>\r\n"
    "    <td width=\"395\" class=\"tablehead\">&nbsp;</td>\r\n"
    "  </tr>\r\n"
    "</table>\r\n";

const char kIndexF3[] = "</main>\r\n</body>\r\n</html>\r\n";

}  // namespace

bool IsPlainLink(const std::string& link) {
  if (link.size() < 8) return false;
  const std::string tail = ToLower(link.substr(link.size() - 8));
  return tail == "menu.htm" || tail == "dex.html";
}

std::string BuildIndexPage(const IndexDocument& index, const std::string& background2,
                           const std::string& boxColor, PageBuild& build) {
  PageAssembler page(build);
  page.Add(FixedPageRoot()).Add("\r\n<head>\r\n").Add(PhoneHead("\r\n"));
  page.Add(kIndexH1)
      .Add(kWindowOpenerScript)
      .Add(kIndexH1b)
      .Add(background2)
      .Add(kIndexH2)
      .Add(boxColor)
      .Add(kIndexH3);
  page.Add(kPageHeadingOpen).AddRendered(index.heading).Add(kPageHeadingClose).Add(kIndexH4);
  for (const IndexItem& item : index.items) {
    if (IsPlainLink(item.link))
      page.Add("<p align=\"center\"><font size=\"5\"><a href=\"").Add(HtmlAttribute(item.link)).Add("\">");
    else
      page.Add("<p align=\"center\"><font size=\"5\"><a href=\"javascript:Abre1('")
          .Add(ScriptStringInAddressAttribute(item.link))
          .Add("','790','520');\">");
    page.AddRendered(item.text).Add(kIndexF1).Add(boxColor).Add(kIndexF2);
  }
  page.Add(kIndexF3);
  return page.Text();
}

const ItemListFormat kIndexItems = {{kIndexTextLimit, kIndexTextLimit}, {}, kIndexItemLimit};

IndexFile ReadIndexDocument(File& file, bool& cut) {
  IndexFile document;
  ReadSettingsBlock(file, document.settings);
  FieldReader reader(file);
  const uint32_t count = reader.Number();
  document.index.folder = reader.TextCut(kIndexTextLimit, cut);
  document.index.heading = reader.TextCut(kIndexTextLimit, cut);
  for (Item& item : ReadItems(reader, count, kIndexItems, cut))
    document.index.items.push_back({std::move(item[0]), std::move(item[1])});
  return document;
}

void WriteIndexDocument(File& file, IndexFile& document) {
  WriteSettingsBlock(file, document.settings);
  FieldWriter writer(file);
  writer.Number(static_cast<uint32_t>(document.index.items.size()));
  writer.Text(document.index.folder);
  writer.Text(document.index.heading);
  for (const IndexItem& item : document.index.items) {
    writer.Text(item.link);
    writer.Text(item.text);
  }
}

std::string IndexPage(const IndexFile& document, PageBuild& build) {
  return BuildIndexPage(document.index, BodyColourAttribute(build.settings.background2),
                        BoxColourAttribute(build.settings.boxColor), build);
}

}  // namespace kio
