#pragma once

#include "model/big_fixed.h"
#include "model/fractal_record.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

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

// The most fraction digits any coordinate is written with.
constexpr int kMaxCornerDigits = BigFixed::kMaxPrintedFractionDigits;

// The name an entry is written under: the fractal's name with blanks, control characters,
// semicolons and braces replaced by '_' (a reader takes the last word before the brace as
// the name, and a semicolon would hide the whole entry), "No_name" for an empty name;
// with a folder name "[FOLDER].NAME", the folder name made safe the same way.
std::string parameterEntryName(std::string_view fractalName,
                               std::optional<std::string_view> folderName = std::nullopt);

// Fraction digits of the corner values: the integer part of 4.5 - log10 |right - left|,
// at least 1; a zero width (or one too small for a double) gets the most, 85.
int cornerFractionDigits(const BigFixed& topLeftR, const BigFixed& bottomRightR);

// "%.Ng" without the process locale: `digits` significant digits, trailing zeros removed,
// exponent form for very large and very small magnitudes.
std::string formatSignificant(double value, int digits);

// The whole entry, from the name to the closing brace (no line break after it). A fractal
// that still holds its unparsed entry text is written as the name, two blanks and that
// text unchanged.
std::string parameterEntryText(const FractalRecord& record,
                               std::optional<std::string_view> folderName = std::nullopt);

// Writes one entry to `path`, replacing the file, or with `append` adding the entry and
// "\n\n\n" after what the file holds (a missing file counts as empty). The file is
// replaced as a whole, so a failure leaves it as it was. False when the existing file
// cannot be read or the new one cannot be written.
bool writeParameterEntry(const FractalRecord& record, std::optional<std::string_view> folderName,
                         const std::filesystem::path& path, bool append);

} // namespace vortimax
