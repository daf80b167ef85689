#include "base/text_io.h"

#include <charconv>
#include <climits>

namespace vortimax {

void TextScanner::skipSpace() {
    while (pos_ < text_.size() && isAsciiSpace(text_[pos_])) {
        ++pos_;
    }
}

std::optional<std::string_view> TextScanner::word() {
    skipSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isAsciiSpace(text_[pos_])) {
        ++pos_;
    }
    if (pos_ == start) {
        return std::nullopt;
    }
    return text_.substr(start, pos_ - start);
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits of a magnitude, saturating once the value no longer fits in an int.
long long readMagnitude(std::string_view text, std::size_t& pos) {
    constexpr long long kCap = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        if (magnitude < kCap) {
            magnitude = magnitude * 10 + (text[pos] - '0');
        }
        ++pos;
    }
    return magnitude < kCap ? magnitude : kCap;
}

} // namespace

std::optional<int> TextScanner::integer() {
    const std::size_t saved = pos_;
    skipSpace();
    std::size_t pos = pos_;
    bool negative = false;
    if (pos < text_.size() && (text_[pos] == '+' || text_[pos] == '-')) {
        negative = text_[pos] == '-';
        ++pos;
    }
    if (pos >= text_.size() || !isDigit(text_[pos])) {
        pos_ = saved;
        return std::nullopt;
    }
    const long long magnitude = readMagnitude(text_, pos);
    pos_ = pos;
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

std::size_t TextScanner::integers(int* out, std::size_t limit) {
    std::size_t count = 0;
    while (count < limit) {
        const auto value = integer();
        if (!value) {
            break;
        }
        out[count++] = *value;
    }
    return count;
}

std::string_view trimSpace(std::string_view text) {
    while (!text.empty() && isAsciiSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isAsciiSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool LineReader::next(std::string& line) {
    line.clear();
    std::streambuf* buffer = in_.rdbuf();
    if (buffer == nullptr || !in_.good()) {
        return false;
    }
    bool any = false;
    for (;;) {
        const auto c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            in_.setstate(std::ios::eofbit);
            break;
        }
        any = true;
        if (c == '\n') {
            break;
        }
        if (line.size() < maxLength_ + 1) { // one spare byte for a CR before the LF
            line.push_back(static_cast<char>(c));
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.size() > maxLength_) {
        line.resize(maxLength_);
    }
    if (any) {
        ++lineNumber_;
    }
    return any;
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out.push_back('\r');
        }
        out.push_back(text[i]);
    }
    return out;
}

void appendInteger(std::string& out, long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

} // namespace vortimax
