#include "app/temp_dir.h"
#include "cli/corpus_entries.h"
#include "cli/render_command.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace vortimax {
namespace {

namespace fs = std::filesystem;

// Every Lyapunov and Bifurcation entry of the corpus renders through "vortimax-cli render
// FILE ENTRY", and every pixel of the image gets a value.
TEST(RenderCommand, CorpusEntriesOfLyapunovAndBifurcationRender) {
    const fs::path corpus = fs::path(VORTIMAX_CORPUS_DIR) / "par";
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "no corpus at " << corpus;
    test::TempDir dir;
    const std::string png = (dir / "out.png").string(), npy = (dir / "out.npy").string();
    int rendered = 0;
    for (const test::CorpusEntry& entry : test::corpusEntries(corpus, [](std::uint32_t type) {
             return type == kTypeLyapunov || type == kTypeBifurcation;
         })) {
        const std::vector<std::string> args = {entry.file.string(), entry.name, "--size", "48x36",
                                               "--values",          npy,        "-o",     png};
        const std::vector<std::string_view> views(args.begin(), args.end());
        std::ostringstream out, err;
        ASSERT_EQ(cli::runRender(views, out, err), 0) << entry.name << err.str();
        const std::string values = test::readBytes(npy); // 128-byte header, then floats
        ASSERT_EQ(values.size(), 128u + 48u * 36u * 4u);
        for (std::size_t at = 128; at < values.size(); at += 4) {
            float v = 0.0f;
            std::memcpy(&v, values.data() + at, 4);
            ASSERT_NE(v, 0.0f) << entry.name << " has uncalculated pixels";
        }
        ++rendered;
    }
    EXPECT_GE(rendered, 30);
}

} // namespace
} // namespace vortimax
