#pragma once

#include "palette/palette.h"

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace vortimax {

// Map files hold one colour per line: "red green blue", optionally followed by
// " ; key=K" where K is the entry's knot mask (4 red, 2 green, 1 blue). Anything after
// the numbers is a comment.

constexpr std::size_t kMapLineLength = 510;    // longer lines are cut
constexpr std::size_t kMapFileNameLength = 31; // names taken from file names

// A file name made into a name: the part after the last '/', '\' or ':', cut to
// `maxLength` bytes, each letter that starts a word (words are separated by blanks and
// underscores) upper case and every other letter lower case, then cut at its first full
// stop: "my_fire.map" gives "My_Fire".
std::string normaliseFileName(std::string_view fileName,
                              std::size_t maxLength = kMapFileNameLength);

// Reads colours from map text, at most 256 of them, stopping at the first line that does
// not start with three integers; each channel keeps its low 8 bits and the entries not
// read stay black. When the first line has a key, lines without one clear their entry's
// knots; a key always sets them. Two repairs follow: a black entry 0 in front of a
// colour run far from it becomes the mean of entry 1 and the last entry read, and when
// the first four entries hold both a near-black and a near-white grey (colours other
// programs reserve), all entries move down by four. The palette is named `name`.
Palette readMap(std::istream& in, std::string_view name);

// The palette of a map file, named after the file; nothing when the path is not a
// readable regular file.
std::optional<Palette> readMapFile(const std::filesystem::path& path);

// The map file text of entries 0..251, lines ending in CR LF. Entry 0 and every entry
// with a knot carry their key.
std::string mapText(const Palette& palette);

// Writes the map file by atomic replacement: on failure an existing file stays as it was
// and `error` (may be null) receives the reason.
bool writeMapFile(const Palette& palette, const std::filesystem::path& path,
                  std::error_code* error = nullptr);

// "name.map", with the characters that would leave the directory, end the path early or
// be lost when the file is read back ('/', NUL, '\', ':') replaced by '_'.
std::string mapFileName(std::string_view paletteName);

} // namespace vortimax
