#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "base/text_utils.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "model/workspace.h"
#include "parfile/zar_import.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace vortimax {
namespace {

using Changes = std::map<std::size_t, std::string>;
using Messages = std::vector<std::string>;

// Fields f0 ... f49 of a loadable Mandel file; every used field differs from the defaults.
constexpr std::string_view kBaseFields = "1 0 0 300.9 143 58 27 2 2 2 5.5 -2.25 -1.5 1.75 1.25 "
                                         "0 0 0 0 0 0 0.25 -0.5 1.5 0.75 0 0.0625 0 0 1e-011 0 "
                                         "4 0 256 1 0 0 1 0 0 0 0 0 0 0 0 0 0 z*z+c 0";

std::string zarText(const Changes& changes = {}, std::string_view lineEnd = "\n",
                    std::string_view header = "1.) ") {
    std::istringstream words{std::string(kBaseFields)};
    std::string text = std::string(header) + std::string(lineEnd), word;
    for (std::size_t field = 0; words >> word; ++field)
        text += (changes.contains(field) ? changes.at(field) : word) + std::string(lineEnd);
    return text;
}

class ZarImportTest : public ::testing::Test {
protected:
    std::filesystem::path write(std::string_view fileName, std::string_view text) {
        test::writeBytes(dir_ / fileName, text);
        return dir_ / fileName;
    }
    std::unique_ptr<FractalRecord> import(std::string_view fileName, std::string_view text) {
        frontend_.clearCalls();
        return importZar(write(fileName, text), frontend_);
    }
    Messages messages() const { return frontend_.messages(); }

    test::TempDir dir_;
    ScriptedFrontend frontend_;
};

TEST_F(ZarImportTest, MandelFileSetsEveryUsedFieldAndNothingElse) {
    // CR LF ends; a text line and a three-digit exponent must not shift the later fields.
    auto record = import("base.zar", zarText({{2, "z*z+c"}, {20, ""}, {23, "1.5e+000 2"}}, "\r\n"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(messages(), Messages{}); // dimension variant 0 is silent
    EXPECT_EQ(record->type, kTypeTieraMandel);
    // Every other row, the Julia constant of a Mandel file included, keeps its default.
    const std::map<std::string_view, std::string> expected = {
        {"MaxIter", "300"},      {"Colorseparation", "5"}, {"Bailout", "5.5"},
        {"Factor1", "1.5"},      {"Factor2", "0.75"},      {"Bailin", "0.0625"},
        {"TopLeftR", "-2.25"},   {"TopLeftI", "1.25"},     {"BottomRightR", "1.75"},
        {"BottomRightI", "-1.5"}};
    const ConstBlockRef block = std::as_const(*record).params();
    auto fresh = createRecord(kTypeTieraMandel, 0, {});
    for (std::size_t i = 0; i < block.table().size(); ++i) {
        const std::string_view key = block.table().row(i).key;
        if (expected.contains(key)) {
            EXPECT_EQ(displayValue(block, i), expected.at(key)) << key;
        } else {
            EXPECT_FALSE(valueDiffers(block, std::as_const(*fresh).params(), i)) << key;
        }
    }
}

TEST_F(ZarImportTest, JuliaFileTakesTheConstantFromF21AndF22) {
    auto record = import("julia.zar", zarText({{1, "1"}}));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->type, kTypeTieraJulia);
    EXPECT_EQ(record->params().bigFixed("Cr"), BigFixed::fromDouble(0.25));
    EXPECT_EQ(record->params().bigFixed("Ci"), BigFixed::fromDouble(-0.5));
}

TEST_F(ZarImportTest, HostileValuesAndOverlongLinesAreSafe) {
    // A long header, a number with a long tail, 20000 digits (cut, overflowing: 0).
    const std::string tail = "5.5" + std::string(20000, ' ') + "x", digits(20000, '7');
    const Changes hostile = {{3, "1e300"},  {10, tail},          {11, "inf"},
                             {12, "nan"},   {13, digits},        {30, "-1e999"},
                             {31, "1e300"}, {38, "-3000000000"}, {39, "2147483648"}};
    auto record = import("hostile.zar", zarText(hostile, "\n", std::string(5000, 'H')));
    ASSERT_NE(record, nullptr);
    const ConstBlockRef block = std::as_const(*record).params();
    EXPECT_EQ(block.integer("MaxIter"), 1); // out of range: the row's minimum
    EXPECT_EQ(block.real("Bailout"), 5.5);
    EXPECT_EQ(block.real("Bailin"), 0.0625); // the long lines shifted no field
    for (std::string_view key : {"TopLeftR", "BottomRightI", "BottomRightR"})
        EXPECT_TRUE(block.bigFixed(key).isZero()) << key;
    for (std::string_view key : {"Analysis", "Colorseparation", "Operation", "Colormode"})
        EXPECT_EQ(block.integer(key), 0) << key;
    ASSERT_EQ(messages().size(), 3u); // the ordering, dimension and colour-mode values
    EXPECT_EQ(messages()[0], "Color Ordering 1e+300 not supported for Tierazon fractal Hostile, "
                             "ordering ignored...");
}

TEST_F(ZarImportTest, RefusalsComeInOrderWithTheirTexts) {
    const auto formula = [](std::string_view number) {
        return "Formula " + std::string(number) +
               " not supported for Tierazon fractal Refused, file not loaded...";
    };
    const auto feature = [](std::string_view what) {
        return "Tierazon's " + std::string(what) + " not supported: File Refused not loaded...";
    };
    const std::string full = zarText(), orientation = feature("orientation feature");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {zarText({{0, "2"}}), formula("2")},
        {zarText({{0, "2"}, {27, "1"}, {34, "0"}}), formula("2")},
        {zarText({{0, "-7.9"}}), formula("-7")},
        {zarText({{27, "0.5"}, {34, "0"}}), feature("inversion")},
        {zarText({{34, "0.5"}}), orientation},
        {zarText({{34, "2"}, {40, "1"}}), orientation},
        {zarText({{35, "1"}}), orientation},
        {zarText({{40, "1"}}), feature("bDimensionVariant")},
        {full.substr(0, full.find("256")), orientation}, // fewer than 41 lines: f34 reads 0
        {"", formula("0")},
    };
    for (const auto& [text, message] : cases) {
        EXPECT_EQ(import("refused.zar", text), nullptr) << message;
        EXPECT_EQ(messages(), Messages{message});
    }
    // Zero or below is accepted for the inversion and the dimension-variant switch.
    EXPECT_NE(import("accepted.zar", zarText({{27, "-1"}, {40, "-3"}})), nullptr);
    EXPECT_EQ(importZar(dir_.path(), frontend_), nullptr); // not a file: reported
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(ZarImportTest, UnsupportedColouringValuesBecomeZeroWithAMessageEach) {
    auto record = import("warn.zar", zarText({{30, "5"}, {31, "6"}, {38, "25"}, {39, "17.8"}}));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::as_const(*record).params().integer("Analysis"), 0);
    EXPECT_EQ(
        messages(),
        (Messages{"Filter 5 not supported for Tierazon fractal Warn, filter ignored...",
                  "Color Ordering 6 not supported for Tierazon fractal Warn, ordering ignored...",
                  "Fractal Dimension 25 not supported for Tierazon fractal Warn, ignoring...",
                  "Color mode 17 not supported for Tierazon fractal Warn, ignoring..."}));
}

TEST(ZarTranslation, TablesMapTheirValues) {
    const std::map<std::size_t, std::string_view> keys = {
        {30, "Analysis"}, {31, "Colorseparation"}, {38, "Operation"}, {39, "Colormode"}};
    // field, Tierazon value, value here (-1: not supported, becomes 0 with a message)
    const std::vector<std::tuple<std::size_t, double, int>> cases = {
        {30, 1, 12},  {30, 50, 15}, {30, 27, 1},  {30, 37, 3},  {30, 4, 11},  {30, 47.6, 35},
        {30, 5, -1},  {30, 51, -1}, {31, 0, 1},   {31, 5, 6},   {31, -1, -1}, {38, 1, 8},
        {38, 4, 10},  {38, 11, 29}, {38, 27, 34}, {38, 14, -1}, {39, 15, 15}, {39, 19, 16},
        {39, 30, 26}, {39, 31, 30}, {39, 39, 37}, {39, 16, -1}, {39, 29, -1}};
    for (const auto& [field, value, expected] : cases) {
        ZarFields fields{};
        fields[0] = fields[34] = 1.0;
        fields[field] = value;
        ScriptedFrontend frontend;
        auto record = recordFromZarFields(fields, "T", frontend);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(std::as_const(*record).params().integer(keys.at(field)), std::max(expected, 0))
            << field << " " << value;
        EXPECT_EQ(frontend.messages().size(), expected < 0 ? 1u : 0u) << field << " " << value;
    }
}

TEST_F(ZarImportTest, NameFollowsThePaletteNameRule) {
    EXPECT_EQ(import("MY_ZOOM.ZAR", zarText())->name, "My_Zoom");
    EXPECT_EQ(import(".zar", zarText())->name, "Mandel_Tiera"); // no name: the default
}

TEST_F(ZarImportTest, WorkspaceImportChoosesTheFolder) {
    Workspace workspace(frontend_);
    // No folder: a new project "Unnamed" beside the file.
    FractalRecord* first = importZarIntoWorkspace(write("a.zar", zarText()), workspace, frontend_);
    ASSERT_NE(first, nullptr);
    Folder& unnamed = *first->folder;
    EXPECT_EQ(unnamed.name(), "Unnamed");
    EXPECT_EQ(unnamed.filePath().parent_path(), dir_.path());
    // No current folder: the first project, not the animation folder; otherwise the current one.
    workspace.createFolder(dir_.path(), "Animation", FolderKind::Animation);
    EXPECT_EQ(importZarIntoWorkspace(dir_ / "a.zar", workspace, frontend_)->folder, &unnamed);
    Folder& current = workspace.createFolder(dir_.path(), "Zoo", FolderKind::Project);
    workspace.selectFolder(current);
    EXPECT_EQ(importZarIntoWorkspace(dir_ / "a.zar", workspace, frontend_)->folder, &current);
    EXPECT_EQ(importZarIntoWorkspace(write("b.zar", "x\n2\n"), workspace, frontend_), nullptr);
    EXPECT_EQ(current.fractals().size(), 1u);
}

// Every .zar of the corpus loads, or is refused with one message naming it.
TEST(ZarCorpus, EveryFileLoadsOrIsRefusedWithItsMessage) {
    const std::filesystem::path root = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "zar";
    if (!std::filesystem::is_directory(root))
        GTEST_SKIP() << "no .zar corpus at " << root;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!equalsIgnoreCase(entry.path().extension().string(), ".zar"))
            continue;
        ScriptedFrontend frontend;
        const bool loaded = importZar(entry.path(), frontend) != nullptr;
        for (const std::string& message : frontend.messages())
            EXPECT_NE(message.find(zarFractalName(entry.path())), std::string::npos) << message;
        EXPECT_TRUE(loaded || frontend.messages().size() == 1) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace vortimax
