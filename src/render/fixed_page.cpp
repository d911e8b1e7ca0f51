#include "render/fixed_page.h"

#include "fileio/session.h"
#include "lang/lang_tag.h"

namespace kio {

std::string FixedPageRoot() {
  return "<html lang=\"" + StudentLanguageTag(CurrentSession().appPaths.studentLanguageFile) + "\">";
}

std::string PhoneHead(const std::string& lineEnd) {
  return "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">" + lineEnd +
         "<style>@media (max-width: 40em) { html body, html td, html p { font-size: max(16px, 1em); } } "
         "table, img, embed, object, video { max-width: 100%; } img { height: auto; }</style>" +
         lineEnd;
}

const char kWindowOpenerScript[] =
    "<SCRIPT LANGUAGE='JavaScript'>\r\n"
    "\r\n"
    "function Abre1(arq,larg,alt) \r\n"
    "{\r\n"
    "        var features =\r\n"
    "        'width=' +larg+\r\n"
    "        ',height=' +alt+  \r\n"
    "        ',top=0' +\r\n"
    "        ',left=0'+\r\n"
    "        ',menubar=' +\"no\"+  //yes or no//\r\n"
    "        ',scrollbars=' +\"no\"+ //yes or no//\r\n"
    "        ',toolbar=' +\"no\"+ //yes or no//\r\n"
    "        ',resizable=' +\"no\"; //yes or no//\r\n"
    "        window.open(arq,\"janela\",features);\r\n"
    "}\r\n"
    "</SCRIPT>\r\n";

}  // namespace kio
