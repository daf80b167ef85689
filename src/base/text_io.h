#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

// Text here is 8-bit bytes in no particular encoding: only the C locale's blanks count
// as white space. (Case folding: base/text_utils.h.)
constexpr bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a line like scanf's conversions do: word() is "%s", integer() is "%d". Each
// conversion first skips white space; a failed conversion leaves the cursor where it was.
// Integers beyond the range of int saturate at its limits.
class TextScanner {
public:
    explicit TextScanner(std::string_view text) : text_(text) {}

    std::optional<std::string_view> word();
    std::optional<int> integer();
    // Reads integers one after another, at most `limit`, stopping at the first
    // non-integer.
    std::size_t integers(int* out, std::size_t limit);
    void skipSpace();
    std::string_view rest() const { return text_.substr(pos_); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string_view trimSpace(std::string_view text);

// Reads 8-bit text line by line. A line ends at LF or CR LF (the ending is not part of
// the line); a final line without an ending counts too. Lines longer than `maxLength`
// bytes are cut to that length and the rest up to the line end is skipped, so a hostile
// file can never make a line grow without bound.
class LineReader {
public:
    LineReader(std::istream& in, std::size_t maxLength) : in_(in), maxLength_(maxLength) {}

    // False at the end of the input or on a read error (see failed()).
    bool next(std::string& line);
    bool failed() const { return in_.bad(); }
    // 1-based number of the line last returned.
    std::size_t lineNumber() const { return lineNumber_; }

private:
    std::istream& in_;
    std::size_t maxLength_;
    std::size_t lineNumber_ = 0;
};

// Text as it goes into a file: every "\n" becomes CR LF ("\r\n" already present stays).
std::string withCrLf(std::string_view text);

void appendInteger(std::string& out, long long value);

} // namespace vortimax
