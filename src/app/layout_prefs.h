#pragma once

#include "base/rect.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace vortimax {

inline constexpr const char* kLayoutTextFileName = "PosPrefs.asc";
inline constexpr const char* kLayoutBinaryFileName = "PosPrefs.bin";
// Longest text line looked at; the rest of a longer line is skipped.
inline constexpr std::size_t kLayoutMaxLineLength = 2000;
// The table never grows beyond this many integers (4 MiB), whatever the text asks for.
inline constexpr std::size_t kLayoutMaxEntries = 1u << 20;

// Success, or a text that says what went wrong (for the person to read).
struct LayoutStatus {
    std::string error;

    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
};

// Turns layout text into the table of integers. "//" starts a comment. A line starting
// with "p" or "P" places its values at the index that follows the letter, filling the
// gap with zeros (an index below the current end just appends). Other lines append up to
// ten integers. Integers are read one after another up to the first non-integer.
LayoutStatus parseLayoutText(std::istream& in, std::vector<std::int32_t>& table);

// Compiles the text file into the binary file (32-bit little-endian integers, no
// header), replacing the binary file at once.
LayoutStatus compilePosPrefs(const std::filesystem::path& textPath,
                             const std::filesystem::path& binaryPath);

// The control layouts of the tool windows: a table of integers where each control's
// rectangle is 8 integers (fixed pixels plus percentages of the interface font's
// average character width and line height).
class LayoutPrefs {
public:
    // Loads PosPrefs.bin from `programDir`, compiling PosPrefs.asc first when only the
    // text exists or the text is newer. On failure the table is left as it was.
    LayoutStatus load(const std::filesystem::path& programDir);
    // Loads a binary table file; its size must be a multiple of 4.
    LayoutStatus loadBinary(const std::filesystem::path& binaryPath);

    std::size_t size() const { return table_.size(); }
    // The integer at `index`; 0 outside the table.
    std::int32_t value(long long index) const;
    // x = T[i] + T[i+1]*c/100, y = T[i+2] + T[i+3]*l/100, width and height alike from
    // T[i+4..i+7]; each product divided by 100 truncating toward zero.
    Rect rectangle(long long index, int averageCharWidth, int lineHeight) const;

private:
    std::vector<std::int32_t> table_;
};

} // namespace vortimax
