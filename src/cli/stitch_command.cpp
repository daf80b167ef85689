#include "cli/stitch_command.h"

#include "cli/exit_codes.h"
#include "cli/interruption.h"
#include "cli/write_failure.h"
#include "imagefile/png_tile_reader.h"
#include "imagefile/png_writer.h"
#include "model/image_region.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vortimax::cli {

namespace {

namespace fs = std::filesystem;

struct Tile {
    fs::path path;
    ImageRegion region;
    PngOutline outline;
};

struct StitchRequest {
    std::vector<fs::path> tiles;
    fs::path output;
    bool quiet = false;
};

std::optional<StitchRequest> parseArguments(std::span<const std::string_view> args,
                                            std::ostream& err) {
    StitchRequest request;
    bool hasOutput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) {
            request.output = fs::path(args[++i]);
            hasOutput = true;
        } else if (args[i] == "--quiet") {
            request.quiet = true;
        } else if (args[i].starts_with("-")) {
            err << "vortimax-cli stitch: unknown option \"" << args[i] << "\"\n";
            return std::nullopt;
        } else {
            request.tiles.emplace_back(args[i]);
        }
    }
    if (!hasOutput || request.tiles.empty()) {
        err << "usage: vortimax-cli stitch TILE.png... -o POSTER.png [--quiet]\n";
        return std::nullopt;
    }
    return request;
}

std::optional<Tile> readTile(const fs::path& path, std::ostream& err) {
    std::string problem;
    std::optional<PngOutline> outline = readPngOutline(path, problem);
    if (!outline) {
        err << "vortimax-cli stitch: \"" << path.string() << "\" cannot be used: " << problem
            << '\n';
        return std::nullopt;
    }
    const std::string* text = outline->text(kRegionTextKey);
    std::optional<ImageRegion> region = text ? parseRegionText(*text) : std::nullopt;
    if (!region || outline->text(kParameterTextKey) == nullptr) {
        err << "vortimax-cli stitch: \"" << path.string()
            << "\" is not a tile (render --region writes tiles)\n";
        return std::nullopt;
    }
    if (region->width != outline->width || region->height != outline->height) {
        err << "vortimax-cli stitch: \"" << path.string() << "\" is " << outline->width << 'x'
            << outline->height << " pixels, but its region says " << region->width << 'x'
            << region->height << '\n';
        return std::nullopt;
    }
    return Tile{path, *region, std::move(*outline)};
}

// Whether every tile is part of the same image as the first: the same parameters, the
// same whole size, the same kind of pixels and palette.
bool sameImage(const std::vector<Tile>& tiles, std::ostream& err) {
    const Tile& first = tiles.front();
    for (const Tile& tile : tiles) {
        std::string_view differs;
        if (*tile.outline.text(kParameterTextKey) != *first.outline.text(kParameterTextKey))
            differs = "its fractal parameters differ";
        else if (tile.region.fullWidth != first.region.fullWidth ||
                 tile.region.fullHeight != first.region.fullHeight)
            differs = "its whole image has another size";
        else if (tile.outline.palette != first.outline.palette)
            differs = "its colours are stored differently (palette or true colour)";
        if (!differs.empty()) {
            err << "vortimax-cli stitch: \"" << tile.path.string()
                << "\" belongs to another image than \"" << first.path.string() << "\": " << differs
                << '\n';
            return false;
        }
    }
    return true;
}

bool overlap(const ImageRegion& a, const ImageRegion& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

// The first pixel (top row first) that no tile covers, for tiles that do not overlap.
std::optional<std::pair<int, int>> firstUncovered(const std::vector<Tile>& tiles, int width,
                                                  int height) {
    std::vector<int> rows{0};
    for (const Tile& tile : tiles)
        rows.push_back(tile.region.y + tile.region.height);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int y : rows) {
        if (y >= height)
            break;
        std::vector<std::pair<int, int>> spans;
        for (const Tile& tile : tiles)
            if (tile.region.y <= y && y < tile.region.y + tile.region.height)
                spans.emplace_back(tile.region.x, tile.region.x + tile.region.width);
        std::sort(spans.begin(), spans.end());
        int reached = 0;
        for (const auto& [from, to] : spans) {
            if (from > reached)
                break;
            reached = to;
        }
        if (reached < width)
            return std::pair{reached, y};
    }
    return std::nullopt;
}

// The tiles cover the whole image exactly once.
bool coverExactly(std::vector<Tile>& tiles, std::ostream& err) {
    std::sort(tiles.begin(), tiles.end(), [](const Tile& a, const Tile& b) {
        return std::pair{a.region.y, a.region.x} < std::pair{b.region.y, b.region.x};
    });
    for (std::size_t i = 0; i < tiles.size(); ++i)
        for (std::size_t j = i + 1; j < tiles.size(); ++j) {
            if (tiles[j].region.y >= tiles[i].region.y + tiles[i].region.height)
                break;
            if (overlap(tiles[i].region, tiles[j].region)) {
                err << "vortimax-cli stitch: \"" << tiles[i].path.string() << "\" and \""
                    << tiles[j].path.string() << "\" overlap\n";
                return false;
            }
        }
    const ImageRegion& whole = tiles.front().region;
    if (auto gap = firstUncovered(tiles, whole.fullWidth, whole.fullHeight)) {
        err << "vortimax-cli stitch: a tile is missing: no tile covers pixel " << gap->first << ','
            << gap->second << " of the " << whole.fullWidth << 'x' << whole.fullHeight
            << " image\n";
        return false;
    }
    return true;
}

// Hands the whole image's rows to the PNG writer, top first. A tile is opened when the
// rows reach it and closed after its last row, so only the tiles of one band of rows are
// open at a time, each holding one row.
class RowAssembler {
public:
    RowAssembler(const std::vector<Tile>& tiles, int bytesPerPixel)
        : tiles_(tiles), bytesPerPixel_(bytesPerPixel) {}

    bool fill(int row, std::uint8_t* out) {
        while (next_ < tiles_.size() && tiles_[next_].region.y == row) {
            auto open = std::make_unique<OpenTile>();
            open->tile = &tiles_[next_++];
            open->row.resize(static_cast<std::size_t>(open->tile->region.width) * bytesPerPixel_);
            if (!open->reader.open(open->tile->path, open->tile->outline, problem_)) {
                failedTile_ = open->tile->path;
                return false;
            }
            open_.push_back(std::move(open));
        }
        for (auto& open : open_) {
            if (!open->reader.readRow(open->row.data())) {
                problem_ = "its image data is damaged";
                failedTile_ = open->tile->path;
                return false;
            }
            std::copy(open->row.begin(), open->row.end(),
                      out + static_cast<std::size_t>(open->tile->region.x) * bytesPerPixel_);
        }
        std::erase_if(open_, [row](const auto& open) {
            return open->tile->region.y + open->tile->region.height == row + 1;
        });
        return true;
    }

    const std::string& problem() const { return problem_; }
    const fs::path& failedTile() const { return failedTile_; }

private:
    struct OpenTile {
        const Tile* tile = nullptr;
        PngRowReader reader;
        std::vector<std::uint8_t> row;
    };

    const std::vector<Tile>& tiles_;
    int bytesPerPixel_;
    std::size_t next_ = 0;
    std::vector<std::unique_ptr<OpenTile>> open_;
    std::string problem_;
    fs::path failedTile_;
};

int writePoster(const std::vector<Tile>& tiles, const StitchRequest& request, std::ostream& out,
                std::ostream& err) {
    const Tile& first = tiles.front();
    const int bytesPerPixel = first.outline.palette.empty() ? 3 : 1;
    RowAssembler rows(tiles, bytesPerPixel);
    const Interruption interruption;
    PngRowImage poster;
    poster.width = first.region.fullWidth;
    poster.height = first.region.fullHeight;
    poster.palette = first.outline.palette;
    poster.texts = {{std::string(kParameterTextKey), *first.outline.text(kParameterTextKey)}};
    poster.fillRow = [&](int row, std::uint8_t* line) {
        return interruption.signal() == 0 && rows.fill(row, line);
    };
    // Progress every tenth of the image, once the stitch has taken more than a second.
    const auto start = std::chrono::steady_clock::now();
    int nextLine = 10;
    const auto progress = [&](double done) {
        const int percent = static_cast<int>(done * 100.0);
        if (request.quiet || percent < nextLine ||
            std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
            return;
        err << "stitch: " << percent << "%\n";
        nextLine = percent / 10 * 10 + 10;
    };
    std::error_code error;
    const PngWriteResult written = writePngRows(poster, request.output, progress, &error);
    if (written == PngWriteResult::Written) {
        out << "wrote " << request.output.string() << " (" << poster.width << 'x' << poster.height
            << " from " << tiles.size() << " tiles)\n";
        return kExitSuccess;
    }
    if (interruption.signal() != 0) {
        err << "vortimax-cli stitch: interrupted; nothing written\n";
        return interruption.exitStatus();
    }
    if (!rows.problem().empty())
        err << "vortimax-cli stitch: \"" << rows.failedTile().string()
            << "\" cannot be read: " << rows.problem() << "; nothing written\n";
    else
        err << "vortimax-cli stitch: " << cannotWriteText(request.output, error) << '\n';
    return kExitFailure;
}

} // namespace

int runStitch(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const std::optional<StitchRequest> request = parseArguments(args, err);
    if (!request)
        return kExitUsage;
    std::vector<Tile> tiles;
    for (const fs::path& path : request->tiles) {
        std::optional<Tile> tile = readTile(path, err);
        if (!tile)
            return kExitFailure;
        tiles.push_back(std::move(*tile));
    }
    if (!sameImage(tiles, err) || !coverExactly(tiles, err))
        return kExitFailure;
    return writePoster(tiles, *request, out, err);
}

} // namespace vortimax::cli
