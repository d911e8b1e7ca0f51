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

}  // namespace kio
