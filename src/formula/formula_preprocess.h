#pragma once

// Source-level preparation of formula text: turning a whole formula into blank-free
// statement lines, and turning the vertical bars of one statement into squared-modulus
// brackets.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// Depths of parentheses at which a bar may stand (0 ... kMaxBarDepth - 1).
inline constexpr std::size_t kMaxBarDepth = 128;

// Splits a whole formula into its lines, in this order: comments (from `;` to the end of the
// line) removed; a backslash at the end of a line joins the next line to it; control characters
// other than newline made blanks; commas inside parentheses replaced by "+i*" (so (1,2) reads
// 1+i*2); the remaining commas made newlines; every colon made a line of its own; the text folded
// to lower case; every blank, control character and byte of 128 and above removed; runs of newlines
// collapsed and the ends trimmed; the result split at the newlines. The lines hold no blanks and no
// empty line.
//
// With `semicolonsSeparate`, a semicolon separates statements like a line break instead of
// starting a comment: the reading of the oldest formula files, which had no comments.
std::vector<std::string> preprocessFormula(std::string_view source,
                                           bool semicolonsSeparate = false);

// Turns the bars of one statement into `[` and `]`: walking from the left with the
// parenthesis depth, a bar opens a group when the depth's group is closed and closes it
// otherwise; `||` is the logical or and stays. Bars at the same depth therefore never nest
// (|z+|w|| does not pair up), while |(z+|w|)| does. Nothing when a bar stands at a depth of
// kMaxBarDepth or more. A `)` without its `(` is left for the compiler to report.
std::optional<std::string> prepareStatement(std::string_view text);

} // namespace vortimax
