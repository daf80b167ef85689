#pragma once

// The text of an IFS or L-system entry body as lines of blank-separated fields.

#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

using BodyLine = std::vector<std::string>;

// Prepares a body like a formula body and splits it: comments (from `;` to the end of the
// line) removed, control characters and NUL bytes made blanks, letters upper-cased, each
// line split at the blanks. Lines without a field are dropped.
std::vector<BodyLine> bodyLines(std::string_view body);

} // namespace vortimax
