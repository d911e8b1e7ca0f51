#include "documents/basic_document.h"

#include "fileio/file.h"
#include "platform/text.h"
#include "platform/text_encoding.h"
#include "render/fields.h"
#include "render/fixed_page.h"
#include "render/html_escape.h"
#include "render/markup.h"
#include "render/write_page.h"

namespace kio {

std::string BodyColourAttribute(const std::string& background2) {
  const std::string lower = ToLower(background2);
  if (lower.find("bgcolor") == std::string::npos) return "body bgcolor='" + background2 + "'";
  if (lower.rfind("body", 0) != 0) return "body " + background2;
  return background2;
}

std::string BoxColourAttribute(const std::string& boxColor) {
  if (ToLower(boxColor).find("bgcolor") == std::string::npos) return "bgcolor=\"" + boxColor + "\"";
  return boxColor;
}

BasicDocument ReadBasicDocument(File& file) { return ReadReadingDocument(file, kBasicTextLimit); }

void WriteBasicDocument(File& file, BasicDocument& document) { WriteReadingDocument(file, document); }

std::string RenderBasicText(const std::string& text, PageBuild& build) {
  std::string rendered = ReplaceAll(text, "\r\n", " <br> ");
  RenderMarkupWithoutCollecting(rendered, build);
  return rendered;
}

std::string BuildBasicPage(const std::string& title, const std::string& rendered,
                           const std::string& background2, const std::string& boxColor) {
  const std::string box = BoxColourAttribute(boxColor);
  PageBuild plain;  // the pieces are added as they are: nothing is rendered
  PageAssembler page(plain);
  page.Add(FixedPageRoot())
      .Add("\r\n\r\n<head>\r\n")
      .Add(PhoneHead("\r\n"))
      .Add("<title>")
      .Add(HtmlText(title))
      .Add(
          "</title>\r\n<style type=\"text/css\">\r\n<!--\r\n"
          "body         { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\r\n"
          "td           { font-family: Geneva, Arial, Helvetica, san-serif; font-size: 12px }\r\n"
          "-->\r\n</style>\r\n</head>\r\n<")
      .Add(BodyColourAttribute(background2))
      .Add(
          "><main><div align=\"center\">\r\n  <center>\r\n"
          "  <table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"88%\">\r\n"
          "    <tr>\r\n      <td width=\"4%\"")
      .Add(box)
      .Add(" align=\"left\">&nbsp;</td>\r\n      <td width=\"92%\" ")
      .Add(box)
      .Add(" align=\"left\">\r\n")
      .Add(rendered)
      .Add("</td>\r\n      <td width=\"4%\" ")
      .Add(box)
      .Add(
          " align=\"left\">&nbsp;</td>\r\n    </tr>\r\n  </table>\r\n  </center>\r\n</div></main>\r\n\r\n"
          "</body>\r\n\r\n</html>");
  return page.Text();
}

std::string BasicPage(const BasicDocument& document, const std::string& title, PageBuild& build) {
  const std::string rendered = RenderBasicText(document.text, build);
  return BuildBasicPage(title, rendered, build.settings.background2, build.settings.boxColor);
}

}  // namespace kio
