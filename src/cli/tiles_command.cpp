#include "cli/tiles_command.h"

#include "cli/exit_codes.h"
#include "cli/loaded_files.h"
#include "model/fractal_record.h"
#include "model/image_buffers.h"
#include "model/image_region.h"
#include "model/type_registry.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace vortimax::cli {

namespace {

// The most tiles one command cuts an image into.
constexpr int kMostTiles = 100000;

struct TilesRequest {
    std::string_view file;
    std::string_view entry;
    std::array<int, 2> size{};
    std::optional<int> count;
    std::optional<std::array<int, 2>> tileSize;
    std::string_view prefix = "tile";
    std::vector<std::string_view> passOn; // render options copied into every line
};

std::optional<int> wholeNumber(std::string_view text, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > highest)
        return std::nullopt;
    return value;
}

std::optional<std::array<int, 2>> sizeOf(std::string_view text) {
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos)
        return std::nullopt;
    auto w = wholeNumber(text.substr(0, cross), kMaxImageSide);
    auto h = wholeNumber(text.substr(cross + 1), kMaxImageSide);
    if (!w || !h)
        return std::nullopt;
    return std::array{*w, *h};
}

// The render options a tile's command line keeps as given.
bool isPassedOn(std::string_view option) {
    constexpr std::string_view kPassed[] = {"--dir", "--depth", "--palette", "--set", "--threads"};
    return std::find(std::begin(kPassed), std::end(kPassed), option) != std::end(kPassed);
}

std::optional<TilesRequest> parseArguments(std::span<const std::string_view> args,
                                           std::ostream& err) {
    TilesRequest request;
    std::vector<std::string_view> sources;
    bool sized = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--size" && hasValue) {
            auto size = sizeOf(args[++i]);
            if (!size) {
                err << "vortimax-cli tiles: --size \"" << args[i] << "\" is not WxH\n";
                return std::nullopt;
            }
            request.size = *size;
            sized = true;
        } else if (arg == "--count" && hasValue) {
            request.count = wholeNumber(args[++i], kMostTiles);
            if (!request.count) {
                err << "vortimax-cli tiles: --count is a number from 1 to " << kMostTiles << '\n';
                return std::nullopt;
            }
        } else if (arg == "--tile-size" && hasValue) {
            request.tileSize = sizeOf(args[++i]);
            if (!request.tileSize) {
                err << "vortimax-cli tiles: --tile-size \"" << args[i] << "\" is not WxH\n";
                return std::nullopt;
            }
        } else if (arg == "-o" && hasValue) {
            request.prefix = args[++i];
        } else if (isPassedOn(arg) && hasValue) {
            request.passOn.push_back(arg);
            request.passOn.push_back(args[++i]);
        } else if (!arg.starts_with("-")) {
            sources.push_back(arg);
        } else {
            err << "vortimax-cli tiles: unknown option \"" << arg << "\"\n";
            return std::nullopt;
        }
    }
    if (sources.size() != 2 || !sized ||
        request.count.has_value() == request.tileSize.has_value()) {
        err << "usage: vortimax-cli tiles FILE ENTRY --size WxH (--count N | --tile-size WxH) "
               "[-o PREFIX] [render options]\n";
        return std::nullopt;
    }
    request.file = sources[0];
    request.entry = sources[1];
    return request;
}

// Boundaries that cut `length` into `parts` pieces differing by one at most.
std::vector<int> cuts(int length, int parts) {
    std::vector<int> at(static_cast<std::size_t>(parts) + 1);
    for (int i = 0; i <= parts; ++i)
        at[static_cast<std::size_t>(i)] =
            static_cast<int>(static_cast<long long>(length) * i / parts);
    return at;
}

std::vector<TileRectangle> grid(const std::vector<int>& xs, const std::vector<int>& ys) {
    std::vector<TileRectangle> tiles;
    for (std::size_t row = 0; row + 1 < ys.size(); ++row)
        for (std::size_t column = 0; column + 1 < xs.size(); ++column)
            tiles.push_back(
                {xs[column], ys[row], xs[column + 1] - xs[column], ys[row + 1] - ys[row]});
    return tiles;
}

// Quotes a word for the shell when it holds anything but plain characters.
std::string shellWord(std::string_view word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string_view("/._-=,:+").find(c) != std::string_view::npos;
    });
    if (plain)
        return std::string(word);
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Refuses an entry that cannot be found or whose type cannot render regions.
bool entryRendersRegions(const TilesRequest& request, std::ostream& err) {
    LoadedFiles files;
    if (!files.load(std::filesystem::path(request.file), err))
        return false;
    LoadedEntry* entry = files.find(request.entry);
    if (entry == nullptr) {
        err << "vortimax-cli tiles: no entry \"" << request.entry << "\" in \"" << request.file
            << "\"\n";
        return false;
    }
    if (!files.parse(*entry))
        return false;
    const FractalRecord& record = *entry->record;
    if (typeRendersRegions(record.type) && record.dims == 0 && record.imageFilter == 0)
        return true;
    err << "vortimax-cli tiles: " << registryName(record.type)
        << " fractals with these settings are calculated as a whole (their pixels depend on "
           "each other); render the whole image instead\n";
    return false;
}

} // namespace

std::vector<TileRectangle> tilesByCount(int width, int height, int count) {
    int bestColumns = 1;
    double bestSkew = INFINITY;
    for (int columns = 1; columns <= count; ++columns) {
        if (count % columns != 0 || columns > width || count / columns > height)
            continue;
        const double tileWidth = static_cast<double>(width) / columns;
        const double tileHeight = static_cast<double>(height) / (count / columns);
        const double skew = std::abs(std::log(tileWidth / tileHeight));
        if (skew < bestSkew) {
            bestSkew = skew;
            bestColumns = columns;
        }
    }
    if (bestSkew == INFINITY)
        return {};
    return grid(cuts(width, bestColumns), cuts(height, count / bestColumns));
}

std::vector<TileRectangle> tilesBySize(int width, int height, int tileWidth, int tileHeight) {
    auto steps = [](int length, int step) {
        std::vector<int> at;
        for (int position = 0; position < length; position += step)
            at.push_back(position);
        at.push_back(length);
        return at;
    };
    return grid(steps(width, tileWidth), steps(height, tileHeight));
}

int runTiles(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const std::optional<TilesRequest> request = parseArguments(args, err);
    if (!request)
        return kExitUsage;
    const auto [width, height] = request->size;
    const std::vector<TileRectangle> tiles =
        request->count
            ? tilesByCount(width, height, *request->count)
            : tilesBySize(width, height, (*request->tileSize)[0], (*request->tileSize)[1]);
    if (tiles.empty()) {
        err << "vortimax-cli tiles: a " << width << 'x' << height << " image cannot be cut into "
            << *request->count << " tiles of at least one pixel\n";
        return kExitUsage;
    }
    if (tiles.size() > static_cast<std::size_t>(kMostTiles)) {
        err << "vortimax-cli tiles: that makes " << tiles.size() << " tiles, more than "
            << kMostTiles << "; choose larger tiles\n";
        return kExitUsage;
    }
    if (!entryRendersRegions(*request, err))
        return kExitFailure;
    const int digits = static_cast<int>(std::to_string(tiles.size()).size());
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const auto [x, y, w, h] = tiles[i];
        std::string number = std::to_string(i + 1);
        number.insert(0, static_cast<std::size_t>(digits) - number.size(), '0');
        out << "vortimax-cli render " << shellWord(request->file) << ' '
            << shellWord(request->entry) << " --size " << width << 'x' << height << " --region "
            << x << ',' << y << ',' << w << ',' << h;
        for (std::string_view word : request->passOn)
            out << ' ' << shellWord(word);
        out << " --quiet -o " << shellWord(std::string(request->prefix) + "-" + number + ".png")
            << '\n';
    }
    return kExitSuccess;
}

} // namespace vortimax::cli
