#pragma once

#include "model/big_fixed.h"
#include "model/fractal_record.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

class PaletteList;

// Writing fractals as parameter-file entries:
//
//   NAME  {
//                     ; comment line
//     Type=Mandel
//     (header keys that differ from a new record of the same type and subtype)
//     DisplayDepth=8
//     Corners=-2.1/0.7/-1.35/1.35
//     (invert=, function=, params= and the key lines that differ)
//   }
//
// Entry texts use "\n" inside; files get CR LF line ends as they are written (withCrLf).
// Entry names are single words in a file: see parameterEntryName.

// The key of the low channel bits that a colour list cannot carry.
constexpr std::string_view kColorsLowBitsKey = "ColorsLowBits";
// Longest piece of a long value on one line; the rest continues after a backslash.
constexpr std::size_t kContinuedLineLength = 72;

// The most fraction digits any coordinate is written with.
constexpr int kMaxCornerDigits = BigFixed::kMaxPrintedFractionDigits;

// The name an entry is written under: the fractal's name with blanks, control characters,
// semicolons and braces replaced by '_' (a reader takes the last word before the brace as
// the name, and a semicolon would hide the whole entry), "No_name" for an empty name;
// with a folder name "[FOLDER].NAME", the folder name made safe the same way.
std::string parameterEntryName(std::string_view fractalName,
                               std::optional<std::string_view> folderName = std::nullopt);

// The fewest fraction digits the corners need so that their difference keeps 17
// significant digits: 16 - floor(log10 |right - left|), 1 to 85; 0 for a zero width.
int cornerFractionDigits(const BigFixed& topLeftR, const BigFixed& bottomRightR);

// A high-precision value as a parameter file writes it: decimal text with as many
// fraction digits as the reader takes in (40 significant digits), so that a value read
// from a file, typed in or made from a double is rebuilt word for word; at least
// `minFractionDigits` and at most 85; trailing zeros removed ("-2.1", "0.7").
std::string bigFixedFileText(const BigFixed& value, int minFractionDigits = 1);

// "%.Ng" without the process locale: `digits` significant digits, trailing zeros removed,
// exponent form for very large and very small magnitudes.
std::string formatSignificant(double value, int digits);

// The whole entry, from the name to the closing brace (no line break after it). A fractal
// that still holds its unparsed entry text is written as the name, two blanks and that
// text unchanged. With the palette list, a palette that no map file holds (one from a
// colour list, a PNG image or a duplicate) is written as its colours ("colors=", plus
// "ColorsLowBits=" when the list's six bits per channel do not carry it exactly) instead
// of its name, so that the entry brings it back wherever it is read.
std::string parameterEntryText(const FractalRecord& record,
                               std::optional<std::string_view> folderName = std::nullopt,
                               const PaletteList* palettes = nullptr);

// Writes one entry to `path`, replacing the file, or with `append` adding the entry and
// "\n\n\n" after what the file holds (a missing file counts as empty). The file is
// replaced as a whole, so a failure leaves it as it was. False when the existing file
// cannot be read or the new one cannot be written.
bool writeParameterEntry(const FractalRecord& record, std::optional<std::string_view> folderName,
                         const std::filesystem::path& path, bool append,
                         const PaletteList* palettes = nullptr);

} // namespace vortimax
