#pragma once

#include <array>
#include <string_view>

// Indices into the layout table of data/PosPrefs.asc. Each tool window has a block at a
// multiple of 100: its first rectangle (kWindow) is the window's client size, its
// controls follow, 8 integers each. Keep this file and PosPrefs.asc in step.
namespace vortimax::layout {

inline constexpr int kRectSize = 8;
inline constexpr int kBlockSize = 100;

// Parameter window 1 (one per fractal type) ("PARM1")
namespace parm1 {
inline constexpr int kWindow = 0;
inline constexpr int kLabel = 8;
inline constexpr int kEdit = 16;
inline constexpr int kRowStep = 24;
inline constexpr int kChoice = 32;
inline constexpr int kCheck = 40;
inline constexpr int kApply = 48;
inline constexpr int kDefaults = 56;
inline constexpr int kUndo = 64;
inline constexpr int kControlCount = 8;
} // namespace parm1

// Parameter window 2 ("PARM2")
namespace parm2 {
inline constexpr int kWindow = 100;
inline constexpr int kLabel = 108;
inline constexpr int kEdit = 116;
inline constexpr int kRowStep = 124;
inline constexpr int kChoice = 132;
inline constexpr int kCheck = 140;
inline constexpr int kApply = 148;
inline constexpr int kDefaults = 156;
inline constexpr int kControlCount = 7;
} // namespace parm2

// 3D parameter window (sub-windows 420 and 440 on its tabs) ("DIMS1")
namespace dims1 {
inline constexpr int kWindow = 200;
inline constexpr int kEnable = 208;
inline constexpr int kTabs = 216;
inline constexpr int kLabel = 224;
inline constexpr int kEdit = 232;
inline constexpr int kSlider = 240;
inline constexpr int kRowStep = 248;
inline constexpr int kApply = 256;
inline constexpr int kReset = 264;
inline constexpr int kControlCount = 8;
} // namespace dims1

// Area window ("AREA")
namespace area {
inline constexpr int kWindow = 300;
inline constexpr int kLabel = 308;
inline constexpr int kEdit = 316;
inline constexpr int kRowStep = 324;
inline constexpr int kApply = 332;
inline constexpr int kProportional = 340;
inline constexpr int kReset = 348;
inline constexpr int kControlCount = 6;
} // namespace area

// Fractal tree ("FRACTALTREE")
namespace fractal_tree {
inline constexpr int kWindow = 400;
inline constexpr int kTree = 408;
inline constexpr int kControlCount = 1;
} // namespace fractal_tree

// Palette editor ("PALEDIT")
namespace palette_editor {
inline constexpr int kWindow = 500;
inline constexpr int kCurveRed = 508;
inline constexpr int kCurveGreen = 516;
inline constexpr int kCurveBlue = 524;
inline constexpr int kStrip = 532;
inline constexpr int kValueRed = 540;
inline constexpr int kValueGreen = 548;
inline constexpr int kValueBlue = 556;
inline constexpr int kErrorLabel = 564;
inline constexpr int kErrorEdit = 572;
inline constexpr int kCleanUp = 580;
inline constexpr int kControlCount = 10;
} // namespace palette_editor

// Formula editor ("FormulaJM")
namespace formula_jm {
inline constexpr int kWindow = 600;
inline constexpr int kList = 608;
inline constexpr int kNameLabel = 616;
inline constexpr int kNameEdit = 624;
inline constexpr int kSource = 632;
inline constexpr int kSave = 640;
inline constexpr int kDelete = 648;
inline constexpr int kCheck = 656;
inline constexpr int kState = 664;
inline constexpr int kControlCount = 8;
} // namespace formula_jm

// IFS formula editor ("FormulaIFS")
namespace formula_ifs {
inline constexpr int kWindow = 700;
inline constexpr int kList = 708;
inline constexpr int kNameLabel = 716;
inline constexpr int kNameEdit = 724;
inline constexpr int kSource = 732;
inline constexpr int kSave = 740;
inline constexpr int kDelete = 748;
inline constexpr int kCheck = 756;
inline constexpr int kState = 764;
inline constexpr int kControlCount = 8;
} // namespace formula_ifs

// L-system formula editor ("FormulaLSyst")
namespace formula_lsyst {
inline constexpr int kWindow = 800;
inline constexpr int kList = 808;
inline constexpr int kNameLabel = 816;
inline constexpr int kNameEdit = 824;
inline constexpr int kSource = 832;
inline constexpr int kSave = 840;
inline constexpr int kDelete = 848;
inline constexpr int kCheck = 856;
inline constexpr int kState = 864;
inline constexpr int kControlCount = 8;
} // namespace formula_lsyst

// Message window ("Output")
namespace output {
inline constexpr int kWindow = 900;
inline constexpr int kText = 908;
inline constexpr int kControlCount = 1;
} // namespace output

// Colour mapping window ("Colormapping")
namespace colour_mapping {
inline constexpr int kWindow = 1000;
inline constexpr int kLabel = 1008;
inline constexpr int kEdit = 1016;
inline constexpr int kRowStep = 1024;
inline constexpr int kMethod = 1032;
inline constexpr int kSlider = 1040;
inline constexpr int kCheck = 1048;
inline constexpr int kApply = 1056;
inline constexpr int kRedraw = 1064;
inline constexpr int kControlCount = 8;
} // namespace colour_mapping

// Comment window ("Comment")
namespace comment {
inline constexpr int kWindow = 1100;
inline constexpr int kText = 1108;
inline constexpr int kApply = 1116;
inline constexpr int kRevert = 1124;
inline constexpr int kControlCount = 3;
} // namespace comment

// Animation window (key list 501 as its child) ("Anim1")
namespace anim1 {
inline constexpr int kWindow = 1200;
inline constexpr int kKeys = 1208;
inline constexpr int kLabel = 1216;
inline constexpr int kEdit = 1224;
inline constexpr int kRowStep = 1232;
inline constexpr int kInterpolation = 1240;
inline constexpr int kAddKey = 1248;
inline constexpr int kDeleteKey = 1256;
inline constexpr int kPreview = 1264;
inline constexpr int kStart = 1272;
inline constexpr int kStop = 1280;
inline constexpr int kOutput = 1288;
inline constexpr int kControlCount = 11;
} // namespace anim1

// New-default-fractal window ("FractSel")
namespace fract_sel {
inline constexpr int kWindow = 1300;
inline constexpr int kTypes = 1308;
inline constexpr int kCreate = 1316;
inline constexpr int kClose = 1324;
inline constexpr int kControlCount = 3;
} // namespace fract_sel

// Size window ("Sizewindow")
namespace size_window {
inline constexpr int kWindow = 1400;
inline constexpr int kSizes = 1408;
inline constexpr int kWidthLabel = 1416;
inline constexpr int kWidthEdit = 1424;
inline constexpr int kHeightLabel = 1432;
inline constexpr int kHeightEdit = 1440;
inline constexpr int kKeepDefault = 1448;
inline constexpr int kApply = 1456;
inline constexpr int kControlCount = 7;
} // namespace size_window

// Colour cycling window ("Colorcycle")
namespace colour_cycle {
inline constexpr int kWindow = 1500;
inline constexpr int kCycle = 1508;
inline constexpr int kUpwards = 1516;
inline constexpr int kSpeedLabel = 1524;
inline constexpr int kSpeedEdit = 1532;
inline constexpr int kStepLabel = 1540;
inline constexpr int kStepEdit = 1548;
inline constexpr int kOffset = 1556;
inline constexpr int kControlCount = 7;
} // namespace colour_cycle

// Network servers window ("Network")
namespace network {
inline constexpr int kWindow = 1600;
inline constexpr int kServers = 1608;
inline constexpr int kInfo = 1616;
inline constexpr int kStartMaster = 1624;
inline constexpr int kStopMaster = 1632;
inline constexpr int kConnect = 1640;
inline constexpr int kDisconnect = 1648;
inline constexpr int kControlCount = 6;
} // namespace network

// Palette generation window ("MakeMap")
namespace make_map {
inline constexpr int kWindow = 1700;
inline constexpr int kMode = 1708;
inline constexpr int kComponent = 1716;
inline constexpr int kLabel = 1724;
inline constexpr int kEdit = 1732;
inline constexpr int kSlider = 1740;
inline constexpr int kRowStep = 1748;
inline constexpr int kRealtime = 1756;
inline constexpr int kEntriesLabel = 1764;
inline constexpr int kEntries = 1772;
inline constexpr int kGenerate = 1780;
inline constexpr int kApply = 1788;
inline constexpr int kControlCount = 11;
} // namespace make_map

// The layout block of each tool window, by its configuration keyword.
struct WindowLayout {
    std::string_view keyword;
    int window;       // index of the client-size rectangle
    int controlCount; // control rectangles following it
};

inline constexpr std::array kWindowLayouts{
    WindowLayout{"PARM1", parm1::kWindow, parm1::kControlCount},
    WindowLayout{"PARM2", parm2::kWindow, parm2::kControlCount},
    WindowLayout{"DIMS1", dims1::kWindow, dims1::kControlCount},
    WindowLayout{"AREA", area::kWindow, area::kControlCount},
    WindowLayout{"FRACTALTREE", fractal_tree::kWindow, fractal_tree::kControlCount},
    WindowLayout{"PALEDIT", palette_editor::kWindow, palette_editor::kControlCount},
    WindowLayout{"FormulaJM", formula_jm::kWindow, formula_jm::kControlCount},
    WindowLayout{"FormulaIFS", formula_ifs::kWindow, formula_ifs::kControlCount},
    WindowLayout{"FormulaLSyst", formula_lsyst::kWindow, formula_lsyst::kControlCount},
    WindowLayout{"Output", output::kWindow, output::kControlCount},
    WindowLayout{"Colormapping", colour_mapping::kWindow, colour_mapping::kControlCount},
    WindowLayout{"Comment", comment::kWindow, comment::kControlCount},
    WindowLayout{"Anim1", anim1::kWindow, anim1::kControlCount},
    WindowLayout{"FractSel", fract_sel::kWindow, fract_sel::kControlCount},
    WindowLayout{"Sizewindow", size_window::kWindow, size_window::kControlCount},
    WindowLayout{"Colorcycle", colour_cycle::kWindow, colour_cycle::kControlCount},
    WindowLayout{"Network", network::kWindow, network::kControlCount},
    WindowLayout{"MakeMap", make_map::kWindow, make_map::kControlCount},
};

} // namespace vortimax::layout
