// The links a generated page makes: what the browser would fetch or open
// when a student uses the page, found in the page's text as the program
// writes it (HTML attributes, CSS url(), the Menu and Index pages' Abre1
// windows, the list activities' item files and the HTML held in script
// strings).
#pragma once
#include <string>
#include <vector>

namespace kio {

struct PageLink {
  std::string written;  // as it stands in the page, for the teacher's list
  std::string target;   // decoded: entities, script escapes and %XX undone, without ?query and #fragment
};

// Every link of a page, in the order they stand in it. Links to other sites
// (http:, mailto:, javascript: other than Abre1 ...) and links within the
// page (#...) are left out.
std::vector<PageLink> PageLinks(const std::string& pageText);

// A link's target as the browser decodes it: HTML character references,
// script escapes (\uXXXX, \xXX, \' ...), %XX, in that order; the result in
// UTF-8. Bytes that are not UTF-8 (a page written with Windows-1252 names)
// are taken as Windows-1252.
std::string DecodeLinkTarget(const std::string& written);

// A relative path (UTF-8, "/" separators) written as a URL path: every byte
// outside the unreserved characters and "/" as %XX.
std::string UrlPath(const std::string& path);

}  // namespace kio
