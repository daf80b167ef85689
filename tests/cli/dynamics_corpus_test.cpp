#include "app/temp_dir.h"
#include "cli/loaded_files.h"
#include "cli/render_command.h"
#include "imagefile/png_loader.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace vortimax {
namespace {

namespace fs = std::filesystem;

// An entry of a parameter file in the corpus.
struct CorpusEntry {
    fs::path file;
    std::string name;
};

// The entries of the corpus that parse as Lyapunov or Bifurcation fractals.
std::vector<CorpusEntry> lyapunovAndBifurcationEntries(const fs::path& corpus) {
    std::vector<CorpusEntry> entries;
    for (const auto& file : fs::directory_iterator(corpus)) {
        cli::LoadedFiles files;
        std::ostringstream ignored;
        files.load(file.path(), ignored);
        files.parseAll();
        for (const cli::LoadedEntry& entry : files.entries()) {
            const std::uint32_t type = entry.parsed ? entry.record->type : kFractalTypeCount;
            if (type == kTypeLyapunov || type == kTypeBifurcation)
                entries.push_back({file.path(), entry.record->name});
        }
    }
    return entries;
}

// Every such entry renders through "vortimax-cli render FILE ENTRY", and every pixel of
// the image gets a value.
TEST(DynamicsCorpus, EveryLyapunovAndBifurcationEntryRenders) {
    const fs::path corpus = fs::path(VORTIMAX_CORPUS_DIR) / "par";
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "no corpus of parameter files at " << corpus;
    const std::vector<CorpusEntry> entries = lyapunovAndBifurcationEntries(corpus);
    EXPECT_GE(entries.size(), 30u);
    test::TempDir dir;
    const std::string png = (dir / "out.png").string();
    const std::string npy = (dir / "out.npy").string();
    for (const CorpusEntry& entry : entries) {
        const std::vector<std::string> args = {
            entry.file.string(),        entry.name, "--size", "48x36", "--dir",
            (dir / "program").string(), "--values", npy,      "-o",    png};
        const std::vector<std::string_view> views(args.begin(), args.end());
        std::ostringstream out, err;
        const std::string where = entry.file.filename().string() + " " + entry.name;
        ASSERT_EQ(cli::runRender(views, out, err), 0) << where << ": " << err.str();
        DecodedPng image;
        ASSERT_EQ(loadPng(png, image), PngLoadResult::Loaded) << where;
        EXPECT_TRUE(image.width == 48 && image.height == 36) << where;
        const std::string values = test::readBytes(npy);
        ASSERT_EQ(values.size(), 128u + 48u * 36u * 4u) << where;
        int uncalculated = 0;
        for (std::size_t at = 128; at < values.size(); at += 4) {
            float v = 0.0f;
            std::memcpy(&v, values.data() + at, 4);
            uncalculated += v == 0.0f ? 1 : 0;
        }
        EXPECT_EQ(uncalculated, 0) << where;
    }
}

} // namespace
} // namespace vortimax
