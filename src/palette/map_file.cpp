#include "palette/map_file.h"

#include "base/atomic_file.h"
#include "base/text_io.h"
#include "base/text_utils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace vortimax {

namespace {

struct MapLine {
    Rgb colour;
    std::optional<int> key;
};

// "%d %d %d ; key=%d" as scanf reads it: the key needs the semicolon and "key=" right
// after the three numbers, blanks allowed around the semicolon.
std::optional<MapLine> parseMapLine(std::string_view line) {
    TextScanner scanner(line);
    int rgb[3];
    if (scanner.integers(rgb, 3) < 3)
        return std::nullopt;
    MapLine parsed{{rgb[0], rgb[1], rgb[2]}, std::nullopt};
    scanner.skipSpace();
    std::string_view rest = scanner.rest();
    if (!rest.starts_with(';'))
        return parsed;
    TextScanner afterSemicolon(rest.substr(1));
    afterSemicolon.skipSpace();
    rest = afterSemicolon.rest();
    constexpr std::string_view kKey = "key=";
    if (rest.starts_with(kKey))
        parsed.key = TextScanner(rest.substr(kKey.size())).integer();
    return parsed;
}

int distance(const Palette& palette, std::size_t a, std::size_t b) {
    const Rgb x = palette.colour(a);
    const Rgb y = palette.colour(b);
    return std::abs(x.red - y.red) + std::abs(x.green - y.green) + std::abs(x.blue - y.blue);
}

// A map whose entry 0 is a black background in front of a smooth run of colours gets
// entry 0 from the run's ends instead.
void repairBlackBackground(Palette& palette, std::size_t count) {
    const std::size_t last = count > 0 ? count - 1 : 0;
    if (palette.colour(0) != Rgb{} || 2 * distance(palette, 1, 2) >= distance(palette, 0, 1))
        return;
    const Rgb a = palette.colour(1);
    const Rgb b = palette.colour(last);
    palette.setColour(0, {(a.red + b.red) / 2, (a.green + b.green) / 2, (a.blue + b.blue) / 2});
}

struct GreyLevel {
    bool dark = false;
    bool light = false;
};

GreyLevel greyLevel(Rgb colour) {
    const double mean = (colour.red + colour.green + colour.blue) / 3.0;
    const double dr = colour.red - mean, dg = colour.green - mean, db = colour.blue - mean;
    if (std::sqrt(dr * dr + dg * dg + db * db) >= 10.0)
        return {};
    return {mean<20.0, mean> 235.0};
}

// Maps written for screens that reserve black and white in their first entries carry
// those two greys among entries 0..3: the palette's own colours start at entry 4. The
// knots move with their colours.
void repairReservedColours(Palette& palette) {
    constexpr std::size_t kReserved = 4;
    GreyLevel found;
    for (std::size_t i = 0; i < kReserved; ++i) {
        const GreyLevel level = greyLevel(palette.colour(i));
        found.dark = found.dark || level.dark;
        found.light = found.light || level.light;
    }
    if (!found.dark || !found.light)
        return;
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        palette.setColour(i, palette.colour(i + kReserved));
        palette.setKnotKey(i, palette.knotKey(i + kReserved));
    }
}

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string normaliseFileName(std::string_view fileName, std::size_t maxLength) {
    const std::size_t separator = fileName.find_last_of("/\\:");
    if (separator != std::string_view::npos)
        fileName.remove_prefix(separator + 1);
    std::string name(fileName.substr(0, maxLength));
    bool wordStart = true;
    for (char& c : name) {
        c = wordStart ? asciiUpper(c) : asciiLower(c);
        wordStart = c == ' ' || c == '_';
    }
    name.resize(std::min(name.find('.'), name.size()));
    return name;
}

Palette readMap(std::istream& in, std::string_view name) {
    Palette palette;
    palette.setName(name);
    LineReader reader(in, kMapLineLength);
    std::string line;
    std::size_t count = 0;
    bool keyed = false;
    while (count < kPaletteEntries && reader.next(line)) {
        const std::optional<MapLine> parsed = parseMapLine(line);
        if (!parsed)
            break;
        if (count == 0)
            keyed = parsed->key.has_value();
        palette.setColour(count, parsed->colour);
        if (parsed->key)
            palette.setKnotKey(count, *parsed->key);
        else if (keyed)
            palette.setKnotKey(count, 0);
        ++count;
    }
    repairBlackBackground(palette, count);
    repairReservedColours(palette);
    return palette;
}

std::optional<Palette> readMapFile(const std::filesystem::path& path) {
    // Only regular files: a device or a pipe could feed the reader without end.
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    Palette palette = readMap(in, normaliseFileName(path.string()));
    if (in.bad())
        return std::nullopt;
    palette.setStoredInMapFile(true);
    return palette;
}

std::string mapText(const Palette& palette) {
    std::string text;
    text.reserve(kPaletteColours * 24);
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const Rgb colour = palette.colour(i);
        appendInteger(text, colour.red);
        text += ' ';
        appendInteger(text, colour.green);
        text += ' ';
        appendInteger(text, colour.blue);
        const int key = palette.knotKey(i);
        if (i == 0 || key != 0) {
            text += " ; key=";
            appendInteger(text, key);
        }
        text += "\r\n";
    }
    return text;
}

bool writeMapFile(const Palette& palette, const std::filesystem::path& path,
                  std::error_code* error) {
    return writeFileAtomically(path, mapText(palette), error);
}

std::string mapFileName(std::string_view paletteName) {
    std::string name(paletteName);
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return c == '/' || c == '\\' || c == ':' || c == '\0'; }, '_');
    return name + ".map";
}

} // namespace vortimax
