#include "formula/formula_preprocess.h"

#include "base/text_utils.h"

#include <array>

namespace vortimax {

namespace {

// Step 1: from each `;` up to, not including, the next newline.
std::string removeComments(std::string_view source, bool semicolonsSeparate) {
    std::string text;
    text.reserve(source.size());
    bool inComment = false;
    for (const char c : source) {
        if (semicolonsSeparate && c == ';') {
            text.push_back('\n');
            continue;
        }
        if (c == '\n') {
            inComment = false;
        } else if (c == ';') {
            inComment = true;
        }
        if (!inComment) {
            text.push_back(c);
        }
    }
    return text;
}

// A backslash that ends a line (blanks and control characters may follow it) joins the
// next line to it, as older formula files continue long statements.
std::string joinContinuedLines(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            std::size_t next = i + 1;
            while (next < text.size() && text[next] != '\n' &&
                   static_cast<unsigned char>(text[next]) <= 32) {
                ++next;
            }
            if (next < text.size() && text[next] == '\n') {
                i = next;
                continue;
            }
        }
        result.push_back(text[i]);
    }
    return result;
}

// Steps 2 to 6: control characters to blanks, commas inside parentheses to "+i*", the other
// commas to newlines, colons to lines of their own, lower case. None of these replacements
// adds a parenthesis or a comma, so one walk gives the same text as one walk per step.
std::string expandSeparators(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 4);
    long depth = 0;
    for (const char c : text) {
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        }
        const auto code = static_cast<unsigned char>(c);
        if (code >= 1 && code <= 31 && c != '\n') {
            result.push_back(' ');
        } else if (c == ',') {
            result.append(depth > 0 ? "+i*" : "\n");
        } else if (c == ':') {
            result.append("\n:\n");
        } else {
            result.push_back(asciiLower(c));
        }
    }
    return result;
}

// Step 7: every character whose code, read as a signed byte, is 32 or below, except newline.
bool isRemoved(char c) {
    return c != '\n' && static_cast<signed char>(c) <= 32;
}

// Steps 7 to 9: drop blanks, collapse newlines, split into lines.
std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            if (!line.empty()) {
                lines.push_back(std::move(line));
                line.clear();
            }
        } else if (!isRemoved(c)) {
            line.push_back(c);
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

std::vector<std::string> preprocessFormula(std::string_view source, bool semicolonsSeparate) {
    return splitLines(
        expandSeparators(joinContinuedLines(removeComments(source, semicolonsSeparate))));
}

std::optional<std::string> prepareStatement(std::string_view text) {
    std::array<bool, kMaxBarDepth> open{};
    std::string result(text);
    long depth = 0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const char c = result[i];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == '|' && i + 1 < result.size() && result[i + 1] == '|') {
            ++i; // the logical or: both bars stay
        } else if (c == '|') {
            // Below depth 0 the statement has a `)` too many and fails in the compiler
            // whatever the bars become; depth 0's state serves there.
            const std::size_t slot = depth > 0 ? static_cast<std::size_t>(depth) : 0;
            if (slot >= kMaxBarDepth) {
                return std::nullopt;
            }
            result[i] = open[slot] ? ']' : '[';
            open[slot] = !open[slot];
        }
    }
    return result;
}

} // namespace vortimax
