#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "base/text_utils.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "model/workspace.h"
#include "parfile/zar_import.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace vortimax {
namespace {

using Changes = std::map<std::size_t, std::string>;
using Messages = std::vector<std::string>;

// Fields f0 ... f49 of a loadable Mandel file modelled on a real one, with values other
// than the Tiera defaults wherever the field is used.
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

BigFixed big(const FractalRecord& record, std::string_view key) {
    return record.params().bigFixed(key);
}

TEST_F(ZarImportTest, MandelFileSetsEveryUsedFieldAndNothingElse) {
    // CR LF line ends, text and three-digit exponents on lines before used fields.
    auto record = import("base.zar", zarText({{2, "z*z+c"}, {20, ""}, {23, "1.5e+000 2"}}, "\r\n"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(messages(), Messages{}); // dimension variant 0 included
    EXPECT_EQ(record->type, kTypeTieraMandel);
    EXPECT_EQ(record->name, "Base");
    const ConstBlockRef block = std::as_const(*record).params();
    EXPECT_EQ(block.integer("MaxIter"), 300);
    EXPECT_EQ(block.real("Bailout"), 5.5);
    EXPECT_EQ(big(*record, "TopLeftR"), BigFixed::fromDouble(-2.25));
    EXPECT_EQ(big(*record, "BottomRightI"), BigFixed::fromDouble(-1.5));
    EXPECT_EQ(big(*record, "BottomRightR"), BigFixed::fromDouble(1.75));
    EXPECT_EQ(big(*record, "TopLeftI"), BigFixed::fromDouble(1.25));
    EXPECT_EQ(block.real("Factor1"), 1.5);
    EXPECT_EQ(block.real("Factor2"), 0.75);
    EXPECT_EQ(block.real("Bailin"), 0.0625);
    EXPECT_EQ(block.integer("Colorseparation"), 5);
    // Every other row, the Julia constant of a Mandel file included, keeps its default.
    const std::set<std::string_view> imported = {
        "MaxIter",      "Bailout", "TopLeftR", "TopLeftI", "BottomRightR",
        "BottomRightI", "Factor1", "Factor2",  "Bailin",   "Colorseparation"};
    auto fresh = createRecord(kTypeTieraMandel, 0, {});
    for (std::size_t i = 0; i < block.table().size(); ++i) {
        if (!imported.contains(block.table().row(i).key)) {
            EXPECT_FALSE(valueDiffers(block, std::as_const(*fresh).params(), i)) << i;
        }
    }
}

TEST_F(ZarImportTest, JuliaFileTakesTheConstantFromF21AndF22) {
    auto record = import("julia.zar", zarText({{1, "1"}}));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->type, kTypeTieraJulia);
    EXPECT_EQ(big(*record, "Cr"), BigFixed::fromDouble(0.25));
    EXPECT_EQ(big(*record, "Ci"), BigFixed::fromDouble(-0.5));
}

TEST(ZarFieldReading, OverlongLinesAreCutWithoutShiftingTheFields) {
    // A long header, a number with a long tail, 20000 digits (cut, overflowing: 0).
    std::istringstream in(
        zarText({{4, "143" + std::string(20000, ' ') + "x"}, {5, std::string(20000, '7')}}, "\n",
                std::string(5000, 'H')));
    const ZarFields fields = readZarFields(in);
    EXPECT_EQ(fields[0], 1.0);
    EXPECT_EQ(fields[4], 143.0);
    EXPECT_EQ(fields[5], 0.0);
    EXPECT_EQ(fields[10], 5.5);
    EXPECT_EQ(fields[34], 1.0);
}

TEST_F(ZarImportTest, NonFiniteAndHugeValuesAreSafe) {
    auto record = import("hostile.zar", zarText({{3, "1e300"},
                                                 {11, "inf"},
                                                 {12, "nan"},
                                                 {30, "-1e999"},
                                                 {31, "1e300"},
                                                 {38, "-3000000000"},
                                                 {39, "2147483648"}}));
    ASSERT_NE(record, nullptr);
    const ConstBlockRef block = std::as_const(*record).params();
    EXPECT_EQ(block.integer("MaxIter"), 1); // out of range: the row's minimum
    EXPECT_TRUE(big(*record, "TopLeftR").isZero());
    EXPECT_TRUE(big(*record, "BottomRightI").isZero());
    for (std::string_view key : {"Analysis", "Colorseparation", "Operation", "Colormode"})
        EXPECT_EQ(block.integer(key), 0) << key;
    ASSERT_EQ(messages().size(), 3u); // the ordering, dimension and colour-mode values
    EXPECT_EQ(messages()[0], "Color Ordering 1e+300 not supported for Tierazon fractal Hostile, "
                             "ordering ignored...");
}

TEST_F(ZarImportTest, RefusalsComeInOrderWithTheirTexts) {
    const std::string formula2 =
        "Formula 2 not supported for Tierazon fractal Refused, file not loaded...";
    const std::string orientation =
        "Tierazon's orientation feature not supported: File Refused not loaded...";
    const std::vector<std::pair<Changes, std::string>> cases = {
        {{{0, "2"}}, formula2},
        {{{0, "2"}, {27, "1"}, {34, "0"}}, formula2},
        {{{0, "-7.9"}},
         "Formula -7 not supported for Tierazon fractal Refused, file not loaded..."},
        {{{27, "0.5"}, {34, "0"}},
         "Tierazon's inversion not supported: File Refused not loaded..."},
        {{{34, "0.5"}}, orientation},
        {{{34, "2"}, {40, "1"}}, orientation},
        {{{35, "1"}}, orientation},
        {{{40, "1"}}, "Tierazon's bDimensionVariant not supported: File Refused not loaded..."},
    };
    for (const auto& [changes, message] : cases) {
        EXPECT_EQ(import("refused.zar", zarText(changes)), nullptr) << message;
        EXPECT_EQ(messages(), Messages{message});
    }
    // Fewer than 41 lines (up to f32): f34 reads as 0.
    const std::string text = zarText();
    EXPECT_EQ(import("refused.zar", text.substr(0, text.find("256"))), nullptr);
    EXPECT_EQ(messages(), Messages{orientation});
    // Zero or below is accepted for the inversion and the dimension-variant switch.
    EXPECT_NE(import("accepted.zar", zarText({{27, "-1"}, {40, "-3"}})), nullptr);
    EXPECT_EQ(import("empty.zar", ""), nullptr);
    EXPECT_EQ(messages(),
              Messages{"Formula 0 not supported for Tierazon fractal Empty, file not loaded..."});
    EXPECT_EQ(importZar(dir_.path(), frontend_), nullptr); // not a file: reported
    EXPECT_EQ(messages().size(), 2u);
}

TEST_F(ZarImportTest, UnsupportedColouringValuesBecomeZeroWithAMessageEach) {
    auto record = import("warn.zar", zarText({{30, "5"}, {31, "6"}, {38, "25"}, {39, "17.8"}}));
    ASSERT_NE(record, nullptr);
    for (std::string_view key : {"Analysis", "Colorseparation", "Operation", "Colormode"})
        EXPECT_EQ(std::as_const(*record).params().integer(key), 0) << key;
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
        {30, 6, -1},  {30, 51, -1}, {31, 0, 1},   {31, 5, 6},   {31, -1, -1}, {38, 1, 8},
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
    EXPECT_EQ(zarFractalName("/some/dir/MY_ZOOM.ZAR"), "My_Zoom");
    EXPECT_EQ(zarFractalName("my zoom.v2.zar"), "My Zoom");
    EXPECT_EQ(import("MY_ZOOM.ZAR", zarText())->name, "My_Zoom");
    EXPECT_EQ(import(".zar", zarText())->name, "Mandel_Tiera"); // no name: the default
}

TEST_F(ZarImportTest, WorkspaceImportChoosesTheFolder) {
    Workspace workspace(frontend_);
    // No folder: a project "Unnamed" in the file's directory.
    FractalRecord* first = importZarIntoWorkspace(write("a.zar", zarText()), workspace, frontend_);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(workspace.folders().size(), 1u);
    Folder& unnamed = *first->folder;
    EXPECT_EQ(unnamed.name(), "Unnamed");
    EXPECT_EQ(unnamed.filePath().parent_path(), dir_.path());
    // No current folder: the first project, not the animation folder.
    workspace.createFolder(dir_.path(), "Animation", FolderKind::Animation);
    EXPECT_EQ(importZarIntoWorkspace(dir_ / "a.zar", workspace, frontend_)->folder, &unnamed);
    // Otherwise the current folder.
    Folder& current = workspace.createFolder(dir_.path(), "Zoo", FolderKind::Project);
    workspace.selectFolder(current);
    EXPECT_EQ(importZarIntoWorkspace(dir_ / "a.zar", workspace, frontend_)->folder, &current);
    EXPECT_EQ(importZarIntoWorkspace(write("b.zar", "x\n2\n"), workspace, frontend_), nullptr);
    EXPECT_EQ(current.fractals().size(), 1u);
}

// Every .zar of the corpus loads or is refused with one message naming it.
TEST(ZarCorpus, EveryFileLoadsOrIsRefusedWithItsMessage) {
    const std::filesystem::path root = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "zar";
    if (!std::filesystem::is_directory(root))
        GTEST_SKIP() << "no .zar corpus at " << root;
    int loaded = 0, refused = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!equalsIgnoreCase(entry.path().extension().string(), ".zar"))
            continue;
        ScriptedFrontend frontend;
        auto record = importZar(entry.path(), frontend);
        const std::string name = zarFractalName(entry.path());
        for (const std::string& message : frontend.messages())
            EXPECT_NE(message.find(name), std::string::npos) << message;
        ++(record ? loaded : refused);
        if (!record) {
            EXPECT_EQ(frontend.messages().size(), 1u) << entry.path();
        }
    }
    std::cout << "[ corpus ] .zar files: " << loaded << " loaded, " << refused << " refused\n";
    EXPECT_GT(loaded + refused, 0);
}

} // namespace
} // namespace vortimax
