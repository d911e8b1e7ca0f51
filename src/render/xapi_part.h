// The kit's xAPI part: a page whose results address is an xAPI endpoint
// sends its results as statements to it (templates/kit/xapi.js), added to
// the page when it is written rather than to every template.
#pragma once
#include <optional>
#include <string>

#include "fileio/failure.h"

namespace kio {

// Longest xAPI part taken.
constexpr size_t kXapiPartLimit = 40003;
// The part's file in the templates folder of the program folder.
extern const char kXapiPartFile[];

// Whether a results address is an xAPI endpoint: a web address whose path
// ends in "/xapi", "/xapi/" or "/xapi/statements" (any case, a query or
// fragment after it).
bool IsXapiAddress(const std::string& address);

// When the session's results address is an xAPI endpoint and the page has
// a results form, puts the part into the filled page, in a script element
// of its own before the end of the body. Nothing when nothing was needed or
// the part went in; the failure to show when the part is missing from the
// program folder (the page would not send its results).
std::optional<Failure> AddXapiPart(std::string& page);

}  // namespace kio
