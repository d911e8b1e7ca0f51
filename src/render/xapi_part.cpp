#include "render/xapi_part.h"

#include "fileio/failure.h"
#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"
#include "render/write_page.h"

namespace kio {

const char kXapiPartFile[] = "xapi.js";

bool IsXapiAddress(const std::string& address) {
  std::string lower = ToLower(address);
  if (!lower.starts_with("http://") && !lower.starts_with("https://")) return false;
  std::string path = lower.substr(0, lower.find_first_of("?#"));
  if (path.find('/', lower.find("//") + 2) == std::string::npos) return false;  // no path at all
  for (const char* end : {"/xapi", "/xapi/", "/xapi/statements"})
    if (path.ends_with(end)) return true;
  return false;
}

std::optional<Failure> AddXapiPart(std::string& page) {
  if (!IsXapiAddress(CurrentSession().appPaths.resultsAddress)) return std::nullopt;
  if (page.find("<form id=\"results\"") == std::string::npos) return std::nullopt;
  std::string path = CurrentSession().appPaths.programFolder + kTemplateFolder + kXapiPartFile;
  std::string part;
  File file;
  bool ok = file.Open(path, File::kRead);
  if (ok) {
    try {
      ok = file.Length() <= kXapiPartLimit;
      if (ok) part = file.ReadAll();
    } catch (const FileError&) {
      ok = false;
    }
  }
  // The part must not end its own script element early.
  if (!ok || part.find("</") != std::string::npos) {
    return Failure{FixedText(Fixed::kXapiPartMissing), OopsCaption()};
  }
  size_t end = page.rfind("</body>");
  if (end == std::string::npos) end = page.size();
  page.insert(end, "<script>\n" + part + "</script>\n");
  return std::nullopt;
}

}  // namespace kio
