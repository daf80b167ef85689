#pragma once

#include <string_view>

namespace vortimax {

// Whether an image's "Parameter" text has the shape of one parameter entry: blank lines
// around a name, an optional parenthesised note and a braced body, and nothing else.
// Semicolons in the body start comments that run to the end of the line, so a brace
// inside one does not count. The keys inside the body are not judged here.
bool isSingleEntryText(std::string_view text);

} // namespace vortimax
