#include "app/layout_prefs.h"

#include "base/atomic_file.h"
#include "base/text_io.h"

#include <algorithm>
#include <climits>
#include <fstream>

namespace vortimax {

namespace {

constexpr std::size_t kMaxPlainValues = 10;
constexpr std::size_t kMaxPlacedValues = 10; // after the index

std::string lineError(std::size_t lineNumber, std::string_view what) {
    std::string text = std::string(kLayoutTextFileName) + " line ";
    appendInteger(text, static_cast<long long>(lineNumber));
    text += ": ";
    text += what;
    return text;
}

bool append(std::vector<std::int32_t>& table, const int* values, std::size_t count) {
    if (table.size() + count > kLayoutMaxEntries) {
        return false;
    }
    table.insert(table.end(), values, values + count);
    return true;
}

// A placed line: zero-fill up to the index, then the values. An index at or below the
// current end appends the values without fill.
bool place(std::vector<std::int32_t>& table, long long index, const int* values,
           std::size_t count) {
    if (index > static_cast<long long>(kLayoutMaxEntries)) {
        return false;
    }
    if (index > static_cast<long long>(table.size())) {
        table.resize(static_cast<std::size_t>(index), 0);
    }
    return append(table, values, count);
}

bool compileLine(std::string_view line, std::vector<std::int32_t>& table) {
    line = line.substr(0, line.find("//"));
    int values[kMaxPlacedValues + 1] = {};
    if (!line.empty() && (line.front() == 'p' || line.front() == 'P')) {
        const std::size_t count =
            TextScanner(line.substr(1)).integers(values, kMaxPlacedValues + 1);
        return count == 0 || place(table, values[0], values + 1, count - 1);
    }
    const std::size_t count = TextScanner(line).integers(values, kMaxPlainValues);
    return append(table, values, count);
}

std::string encode(const std::vector<std::int32_t>& table) {
    std::string bytes;
    bytes.reserve(table.size() * 4);
    for (const std::int32_t value : table) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<char>((bits >> shift) & 0xFFu));
        }
    }
    return bytes;
}

std::vector<std::int32_t> decode(const std::string& bytes) {
    std::vector<std::int32_t> table(bytes.size() / 4);
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::uint32_t bits = 0;
        for (int k = 3; k >= 0; --k) {
            bits = (bits << 8) |
                   static_cast<unsigned char>(bytes[i * 4 + static_cast<std::size_t>(k)]);
        }
        table[i] = static_cast<std::int32_t>(bits);
    }
    return table;
}

LayoutStatus parseLayoutFile(const std::filesystem::path& textPath,
                             std::vector<std::int32_t>& table) {
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(textPath, error)) { // never block on a pipe
        in.open(textPath, std::ios::binary);
    }
    if (!in.is_open()) {
        return {"Cannot open " + textPath.string()};
    }
    return parseLayoutText(in, table);
}

// The text is compiled when there is no binary file or the text is newer.
bool needsCompile(const std::filesystem::path& textPath, const std::filesystem::path& binaryPath) {
    std::error_code error;
    if (!std::filesystem::exists(textPath, error)) {
        return false;
    }
    if (!std::filesystem::exists(binaryPath, error)) {
        return true;
    }
    const auto textTime = std::filesystem::last_write_time(textPath, error);
    if (error) {
        return true;
    }
    const auto binaryTime = std::filesystem::last_write_time(binaryPath, error);
    return error || textTime > binaryTime;
}

// Long multiplication in 64 bits; the quotient truncates toward zero like C++ division.
int scaled(std::int32_t fixed, std::int32_t percent, int unit) {
    const long long value =
        static_cast<long long>(fixed) + static_cast<long long>(percent) * unit / 100;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

LayoutStatus parseLayoutText(std::istream& in, std::vector<std::int32_t>& table) {
    std::vector<std::int32_t> result;
    LineReader reader(in, kLayoutMaxLineLength);
    std::string line;
    while (reader.next(line)) {
        if (!compileLine(line, result)) {
            return {lineError(reader.lineNumber(), "the table would grow beyond its limit")};
        }
    }
    if (reader.failed()) {
        return {std::string("Read error in ") + kLayoutTextFileName};
    }
    table = std::move(result);
    return {};
}

LayoutStatus compilePosPrefs(const std::filesystem::path& textPath,
                             const std::filesystem::path& binaryPath) {
    std::vector<std::int32_t> table;
    if (LayoutStatus status = parseLayoutFile(textPath, table); !status) {
        return status;
    }
    if (!writeFileAtomically(binaryPath, encode(table))) {
        return {"Cannot write " + binaryPath.string()};
    }
    return {};
}

LayoutStatus LayoutPrefs::loadBinary(const std::filesystem::path& binaryPath) {
    std::error_code error;
    const auto size = std::filesystem::file_size(binaryPath, error);
    if (error || !std::filesystem::is_regular_file(binaryPath, error)) {
        return {"Cannot open " + binaryPath.string()};
    }
    if (size % 4 != 0 || size / 4 > kLayoutMaxEntries) {
        return {binaryPath.string() + " is not a layout table (wrong size)"};
    }
    std::ifstream in(binaryPath, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
        in.peek() != std::char_traits<char>::eof()) {
        return {"Cannot read " + binaryPath.string()};
    }
    table_ = decode(bytes);
    return {};
}

LayoutStatus LayoutPrefs::load(const std::filesystem::path& programDir) {
    const auto textPath = programDir / kLayoutTextFileName;
    const auto binaryPath = programDir / kLayoutBinaryFileName;
    std::error_code error;
    if (!std::filesystem::exists(textPath, error) && !std::filesystem::exists(binaryPath, error)) {
        return {std::string("Neither ") + kLayoutTextFileName + " nor " + kLayoutBinaryFileName +
                " found in " + programDir.string()};
    }
    if (!needsCompile(textPath, binaryPath)) {
        return loadBinary(binaryPath);
    }
    std::vector<std::int32_t> table;
    if (LayoutStatus status = parseLayoutFile(textPath, table); !status) {
        return status;
    }
    // The binary file only saves compiling at the next start: when it cannot be
    // written (a read-only directory) the freshly compiled table serves all the same.
    writeFileAtomically(binaryPath, encode(table));
    table_ = std::move(table);
    return {};
}

std::int32_t LayoutPrefs::value(long long index) const {
    if (index < 0 || index >= static_cast<long long>(table_.size())) {
        return 0;
    }
    return table_[static_cast<std::size_t>(index)];
}

Rect LayoutPrefs::rectangle(long long index, int averageCharWidth, int lineHeight) const {
    const auto at = [&](long long offset) {
        return index > LLONG_MAX - offset ? 0 : value(index + offset);
    };
    return {scaled(at(0), at(1), averageCharWidth), scaled(at(2), at(3), lineHeight),
            scaled(at(4), at(5), averageCharWidth), scaled(at(6), at(7), lineHeight)};
}

} // namespace vortimax
