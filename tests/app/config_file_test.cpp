#include "app/config_file.h"
#include "temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace vortimax {
namespace {

using test::readBytes;
using test::writeBytes;

class ConfigFileTest : public ::testing::Test {
protected:
    // Reads `text` as a configuration over the built-in defaults.
    Settings readText(std::string_view text) {
        writeBytes(file_, text);
        Settings settings;
        EXPECT_TRUE(readConfiguration(file_, settings));
        return settings;
    }

    test::TempDir dir_;
    std::filesystem::path file_ = dir_ / kConfigFileName;
};

Settings nonDefaultSettings() {
    Settings s;
    s.drawingSpeed = 250;
    s.displayDepth = 24;
    s.autoSave = false;
    s.guiFont = {"DejaVu Sans", 11, 3};
    s.smallFont = {"Mono", 7, 1};
    s.mainWindow = MainWindowPlacement{-4, 12, 1024, 700, 3};
    s.parm1 = {100, 200, true};
    s.parm2 = {-5, 6, false};
    s.toolWindows.state(*ToolWindowRegistry::findByKeyword("MakeMap")) = {900, 1, true};
    s.confirmations = {false, true, false, true, false, true, true};
    setDefaultLibraryPaths(s, "/data");
    s.paths.projects += ";/more/fr"; // the save directory stays the first one
    s.paths.pictures = "/data/pictures with blank";
    s.defaultComment = "first line\n\n  third line";
    s.recentFiles = {"/data/Fractals/my set.par", "/home/me/shot.png"};
    return s;
}

TEST_F(ConfigFileTest, WrittenFileHasTheFixedLineOrderAndReadsBackUnchanged) {
    const Settings written = nonDefaultSettings();
    ASSERT_TRUE(writeConfiguration(file_, written));
    EXPECT_EQ(
        readBytes(file_),
        "Parm1 100 200 1\r\nParm2 -5 6 0\r\nDIMS1 0 0 0\r\nAREA 0 0 0\r\nFRACTALTREE 0 0 0\r\n"
        "PALEDIT 0 0 0\r\nFormulaJM 0 0 0\r\nFormulaIFS 0 0 0\r\nFormulaLSyst 0 0 0\r\n"
        "Output 0 0 0\r\nColormapping 0 0 0\r\nComment 0 0 0\r\nAnim1 0 0 0\r\n"
        "FractSel 0 0 0\r\nSizewindow 0 0 0\r\nColorcycle 0 0 0\r\nNetwork 0 0 0\r\n"
        "MakeMap 900 1 1\r\nDrawingSpeed 250\r\nDisplayDepth 24\r\n"
        "GUIFont \"DejaVu Sans\" 11 3\r\nSmallFont \"Mono\" 7 1\r\nVortimax -4 12 1023 699 3\r\n"
        "CNF_DelTask 0\r\nCNF_DelProj 1\r\nCNF_DelPic 0\r\nCNF_DelPal 1\r\nCNF_DelFrm 0\r\n"
        "CNF_DelAnm 1\r\nCNF_End 1\r\nProjectPath /data/Fractals;/more/fr\r\n"
        "PalettePath /data/Palettes\r\nFormulaPath /data/Formulas\r\nAnimPath /data/Anims\r\n"
        "PicturePath /data/pictures with blank\r\nAutoSave 0\r\n"
        "RecentFile /data/Fractals/my set.par\r\nRecentFile /home/me/shot.png\r\n"
        "DefaultComment\r\nfirst line\r\n\r\n  third line\r\n$$$EndComment$$$");
    Settings read;
    ASSERT_TRUE(readConfiguration(file_, read));
    EXPECT_EQ(read, written);
    // Nothing is left behind beside the file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

// The newest file goes first, once; the list keeps the last eight.
TEST_F(ConfigFileTest, RecentFilesKeepTheNewestEightOnce) {
    Settings settings;
    for (int i = 0; i < 10; ++i)
        rememberRecentFile(settings, "/files/f" + std::to_string(i) + ".par");
    rememberRecentFile(settings, "/files/./f5.par");
    ASSERT_EQ(settings.recentFiles.size(), Settings::kMaxRecentFiles);
    EXPECT_EQ(settings.recentFiles.front(), "/files/f5.par");
    EXPECT_EQ(settings.recentFiles.at(1), "/files/f9.par");
    EXPECT_EQ(std::count(settings.recentFiles.begin(), settings.recentFiles.end(), "/files/f5.par"),
              1);
    std::string many;
    for (int i = 0; i < 10; ++i)
        many += "RecentFile /r" + std::to_string(i) + "\n";
    EXPECT_EQ(readText(many + "RecentFile   \n").recentFiles.size(), Settings::kMaxRecentFiles);
}

TEST_F(ConfigFileTest, MainWindowSizeIsStoredLessOneAndReadBackWhole) {
    const Settings s = readText("Vortimax 10 20 799 599 2\n");
    ASSERT_TRUE(s.mainWindow.has_value());
    EXPECT_EQ(*s.mainWindow, (MainWindowPlacement{10, 20, 800, 600, 2}));
    // A line that cannot give a usable size is ignored.
    EXPECT_FALSE(readText("Vortimax 10 20 -1 599 1\n").mainWindow.has_value());
    EXPECT_FALSE(readText("Vortimax 10 20 799\n").mainWindow.has_value());
}

TEST_F(ConfigFileTest, NumbersAreClampedAsTheyAreRead) {
    const std::tuple<const char*, int, int> cases[] = {
        {"DrawingSpeed 5\nDisplayDepth 16\n", 10, 24},
        {"DrawingSpeed 5000\nDisplayDepth 11\n", 1000, 24},
        {"DrawingSpeed 99999999999999\nDisplayDepth 10\n", 1000, 8},
        {"drawingspeed 500\ndisplaydepth 24\n", 500, 24},
        {"DRAWINGSPEED -3\n", 10, 8},
    };
    for (const auto& [text, drawingSpeed, displayDepth] : cases) {
        const Settings s = readText(text);
        EXPECT_EQ(s.drawingSpeed, drawingSpeed) << text;
        EXPECT_EQ(s.displayDepth, displayDepth) << text;
    }
}

TEST_F(ConfigFileTest, CalculationThreadsAreKeptAndWrittenOnlyWhenChosen) {
    EXPECT_EQ(readText("").calculationThreads, 0);
    EXPECT_EQ(readText("CalculationThreads 6\n").calculationThreads, 6);
    EXPECT_EQ(readText("CalculationThreads -2\n").calculationThreads, 0);
    EXPECT_EQ(readText("CalculationThreads 100000\n").calculationThreads, 256);
    Settings settings;
    EXPECT_EQ(formatConfiguration(settings).find("CalculationThreads"), std::string::npos);
    settings.calculationThreads = 3;
    EXPECT_EQ(readText(formatConfiguration(settings)).calculationThreads, 3);
}

TEST_F(ConfigFileTest, LfAndCrLfFilesReadAlike) {
    const std::string lf = "DrawingSpeed 40\nGUIFont \"Courier New\" 10 2\nSmallFont Tahoma 9 "
                           "1\nCNF_End 1\nautosave 0\nDefaultComment\nA\nB\n$$$EndComment$$$";
    const Settings fromLf = readText(lf);
    EXPECT_EQ(fromLf.guiFont, (FontSetting{"Courier New", 10, 2}));
    EXPECT_EQ(fromLf.smallFont, (FontSetting{"Tahoma", 9, 1}));
    EXPECT_FALSE(fromLf.autoSave);
    EXPECT_EQ(fromLf.defaultComment, "A\nB");

    std::string crlf = lf;
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) {
        crlf.insert(at, "\r");
    }
    EXPECT_EQ(readText(crlf), fromLf);
}

TEST_F(ConfigFileTest, CommentLinesEndingInStrayCarriageReturnsReadBackUnchanged) {
    const Settings settings = readText("DefaultComment\r\r\nA\r\r\r\nB\rC\r\r\n$$$EndComment$$$");
    EXPECT_EQ(settings.defaultComment, "A\nB\rC");
    ASSERT_TRUE(writeConfiguration(file_, settings));
    EXPECT_EQ(readText(readBytes(file_)), settings);
}

TEST_F(ConfigFileTest, PathListsSetTheFirstDirectoryAsSaveDirectory) {
    Settings s;
    setDefaultLibraryPaths(s, "/opt/vm");
    writeBytes(file_, "ProjectPath /a/fr;/b/fr\nPicturePath /pics;/more\nFormulaPath ;\n");
    ASSERT_TRUE(readConfiguration(file_, s));
    EXPECT_EQ(s.paths.projects, "/a/fr;/b/fr");
    EXPECT_EQ(s.paths.projectSaveDir, std::filesystem::path("/a/fr"));
    EXPECT_EQ(s.paths.pictures, "/pics;/more");
    // A list without a directory is ignored.
    EXPECT_EQ(s.paths.formulas, "/opt/vm/Formulas");
    EXPECT_EQ(splitPathList(";;/x;;y;"), (std::vector<std::filesystem::path>{"/x", "y"}));
}

TEST_F(ConfigFileTest, ToolWindowLinesAndLinesThatChangeNothing) {
    // Unknown keywords, short lines and broken font lines are ignored.
    const Settings s = readText("area 10 20 1\nAnim1 5 6 0\nFRACTSEL 1 2 1\nBogus 1 2 3\n"
                                "Output 4 4\nParm2 3 4 1\nGUIFont \"Courier New 10 2\n"
                                "SmallFont \"X\" 9\nGUIFont\n");
    Settings expected;
    expected.toolWindows.state(*ToolWindowRegistry::findByKeyword("AREA")) = {10, 20, true};
    expected.toolWindows.state(*ToolWindowRegistry::findByKeyword("Anim1")) = {5, 6, false};
    expected.toolWindows.state(*ToolWindowRegistry::findByKeyword("FractSel")) = {1, 2, true};
    expected.parm2 = {3, 4, true};
    EXPECT_EQ(s, expected);
}

TEST(ToolWindowRegistry, LooksUpByKeywordIdAndCommand) {
    using Registry = ToolWindowRegistry;
    const auto dims = Registry::findByKeyword("dims1");
    ASSERT_TRUE(dims);
    EXPECT_EQ(Registry::row(*dims).windowId, 400);
    EXPECT_EQ(Registry::row(Registry::findByWindowId(440).value()).parent, dims);
    EXPECT_EQ(Registry::row(Registry::findByWindowId(890).value()).parent,
              Registry::findByWindowId(280));
    EXPECT_EQ(Registry::findByMenuCommand(29063), Registry::findByWindowId(500));
    EXPECT_FALSE(Registry::findByMenuCommand(0));
    EXPECT_FALSE(Registry::findByKeyword("Nope"));
}

TEST_F(ConfigFileTest, MissingFileKeepsEverySetting) {
    Settings s = nonDefaultSettings();
    EXPECT_FALSE(readConfiguration(dir_ / "absent.cfg", s));
    EXPECT_FALSE(readConfiguration(dir_.path(), s)); // a directory is no file
    EXPECT_EQ(s, nonDefaultSettings());
}

TEST_F(ConfigFileTest, OverlongLinesAndCommentsAreCutAndReadingGoesOn) {
    const std::string junk(10000, 'x');
    std::string text = junk + "\nDefaultComment\n";
    for (int i = 0; i < 19; ++i) {
        text += std::string(99, 'c') + "\n"; // 19 lines of 100 bytes fill the 1900 allowed
    }
    // The line that no longer fits ends the comment and is read as an ordinary line.
    text += "DrawingSpeed 500" + std::string(90, ' ') + "\nAutoSave 0 " + junk +
            "\n$$$EndComment$$$\nCNF_End 1";
    const Settings s = readText(text);
    ASSERT_TRUE(s.defaultComment.has_value());
    EXPECT_EQ(s.defaultComment->size(), 19u * 100u - 1u);
    EXPECT_EQ(s.defaultComment->find("DrawingSpeed"), std::string::npos);
    EXPECT_EQ(s.drawingSpeed, 500);
    EXPECT_FALSE(s.autoSave);
    EXPECT_TRUE(s.confirm(Confirmation::End));
    // A single line of 1900 bytes no longer fits with its line break.
    EXPECT_EQ(readText("DefaultComment\n" + std::string(1900, 'c')).defaultComment, "");
}

TEST_F(ConfigFileTest, FailedWriteReturnsFalseAndKeepsTheOldFile) {
    EXPECT_FALSE(writeConfiguration(dir_ / "no-such-dir" / kConfigFileName, Settings{}));

    // A name so long that no temporary file can be made beside it.
    const auto longName = dir_ / std::string(250, 'n');
    writeBytes(longName, "DrawingSpeed 42\n");
    EXPECT_FALSE(writeConfiguration(longName, Settings{}));
    EXPECT_EQ(readBytes(longName), "DrawingSpeed 42\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

} // namespace
} // namespace vortimax
