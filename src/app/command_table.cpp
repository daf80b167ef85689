#include "app/command_table.h"

#include "base/text_utils.h"
#include "model/type_registry.h"

#include <algorithm>
#include <vector>

namespace vortimax {
namespace {

constexpr auto M = CommandHandler::Model;
constexpr auto W = CommandHandler::Widget;
constexpr auto N = CommandHandler::None;

struct FixedRow {
    int id;
    std::string_view menuPath;
    std::string_view help;
    CommandHandler handler;
    int value = 0;
};

// Every menu command except the "new fractal" ones, which come from the type registry.
// Commands that only need message boxes, file requesters or progress windows count as
// Model: the Frontend offers those. Text-entry dialogs, font and print dialogs and the
// tool windows are Widget.
constexpr FixedRow kFixedRows[] = {
    {29002, "File|Folder|Load", "Loads a parameter file", M},
    {29103, "File|Folder|New|Project", "Creates a new folder in which you can store fractals", M},
    {29191, "File|Folder|New|Animation",
     "Creates a new animation in which you can store key frames", M},
    {29107, "File|Folder|Save", "Saves a folder (i.e. a parameter file or a project)", M},
    {29109, "File|Folder|Delete", "Deletes a project", M},
    {29131, "File|Folder|Rename", "Renames a folder", W},
    {29132, "File|Folder|Duplicate", "Clones a folder with all entries (fractals) in it", N},
    {29110, "File|Fractal|Delete", "Deletes the current fractal completely", M},
    {29106, "File|Fractal|Save", "Saves the current fractal into a parameter file", M},
    {29133, "File|Fractal|Rename", "Renames the current fractal", W},
    {29134, "File|Fractal|Duplicate", "Duplicates the current fractal", M},
    {29005, "File|Palette|Load", "", M},
    {29006, "File|Palette|Save", "", M},
    {29138, "File|Palette|Save all", "", M},
    {29135, "File|Palette|Delete", "", M},
    {29136, "File|Palette|Rename", "", W},
    {29137, "File|Palette|Duplicate", "", M},
    {29008, "File|Save image", "", M},
    {29176, "File|Load image", "", M},
    {29010, "File|Page Setup", "", W},
    {29009, "File|Print", "", W},
    {29011, "Help|About", "", W},
    {29026, "Edit|Undo", "", M},
    {29027, "Edit|Redo", "", M},
    {29034, "Edit|Select", "Brings up a selection rectangle in the current fractal window", M},
    {29041, "Edit|Select all", "", M},
    {29035, "Edit|Deselect", "", M},
    {29024, "Edit|Defaultvalues", "", M},
    {29036, "Edit|Boxzoom in", "", M},
    {29037, "Edit|Boxzoom out", "", M},
    {29143, "Fractal|Type Conversion|To Julia24/Mandel24", "", M},
    {29144, "Fractal|Type Conversion|To Julia/Mandel", "", M},
    {29028, "Fractal|Proportional", "", M},
    // value: the image filter number.
    {29150, "Fractal|Image|Original", "", M, 0},
    {29151, "Fractal|Image|Edge Detection", "", M, 1},
    {29152, "Fractal|Image|Edge Detect Horiz.", "", M, 2},
    {29153, "Fractal|Image|Edge Detect Vert.", "", M, 3},
    {29154, "Fractal|Image|Enhance Detail", "", M, 5},
    {29155, "Fractal|Image|Smooth", "", M, 4},
    {29156, "Fractal|Image|Anti Alias", "", M, 6},
    {29175, "Fractal|Image|Disconnect", "", M},
    // value: the display depth.
    {29181, "Fractal|Palette Mode|256 Colors", "", M, 8},
    {29182, "Fractal|Palette Mode|Interpolated", "", M, 24},
    {29140, "Fractal|3D Transformation", "", M},
    {29030, "Fractal|Scrollbars", "", M},
    {29122, "Fractal|Network mode", "", M},
    {29184, "Fractal|Recalculate", "", M},
    {29185, "Fractal|Redraw", "", M},
    {29087, "Fractal|Fractalwindows|Parameter window 1", "", W},
    {29088, "Fractal|Fractalwindows|Parameter window 2", "", W},
    {29084, "Fractal|Fractalwindows|Area", "", W},
    {29051, "Fractal|Fractalwindows|Colour mapping", "", W},
    {29048, "Fractal|Fractalwindows|3D parameter", "", W},
    {29141, "Fractal|Fractalwindows|Size", "", W},
    {29052, "Fractal|Fractalwindows|Comment", "", W},
    // Three items per toolbar: docked, as a window, closed.
    {29163, "Windows|Toolbar 1|Docked", "", M},
    {29164, "Windows|Toolbar 1|As window", "", M},
    {29165, "Windows|Toolbar 1|Closed", "", M},
    {29166, "Windows|Toolbar 2|Docked", "", M},
    {29167, "Windows|Toolbar 2|As window", "", M},
    {29168, "Windows|Toolbar 2|Closed", "", M},
    {29169, "Windows|Toolbar 3|Docked", "", M},
    {29170, "Windows|Toolbar 3|As window", "", M},
    {29171, "Windows|Toolbar 3|Closed", "", M},
    {29172, "Windows|Toolbar 4|Docked", "", M},
    {29173, "Windows|Toolbar 4|As window", "", M},
    {29174, "Windows|Toolbar 4|Closed", "", M},
    {29188, "Windows|Fractal tree", "", W},
    {29129, "Windows|Palette editor", "", W},
    {29183, "Windows|Palette generation", "", W},
    {29056, "Windows|Formula editor", "", W},
    {29057, "Windows|IFS formula editor", "", W},
    {29058, "Windows|L-system formula editor", "", W},
    {29139, "Windows|Message window", "", W},
    {29142, "Windows|Colour cycling", "", W},
    {29063, "Windows|Animation", "", W},
    {29123, "Windows|Tile", "", W},
    {29126, "Windows|Cascade", "", W},
    {29067, "Settings|Taskpriority|1", "", N},
    {29068, "Settings|Taskpriority|2", "", N},
    {29069, "Settings|Taskpriority|3", "", N},
    {29032, "Settings|Save Config", "", M},
    {29038, "Settings|AutoSave", "", M},
    {29179, "Settings|Choose GUI Font...", "", W},
    {29100, "Settings|Confirmations|All confirmations", "", M},
    {29101, "Settings|Confirmations|No confirmations", "", M},
    // value: index of the confirmation flag (order of enum Confirmation).
    {29094, "Settings|Confirmations|Delete Calculated", "", M, 0},
    {29128, "Settings|Confirmations|Delete Folder", "", M, 1},
    {29095, "Settings|Confirmations|Delete Fractal", "", M, 2},
    {29097, "Settings|Confirmations|Delete Palette", "", M, 3},
    {29099, "Settings|Confirmations|Delete Formula", "", M, 4},
    {29098, "Settings|Confirmations|Delete AnimKey", "", M, 5},
    {29096, "Settings|Confirmations|Program termination", "", M, 6},
    {29145, "Settings|Network|Start Master", "", M},
    {29148, "Settings|Network|Stop Master", "", M},
    {29146, "Settings|Network|Connect to Master", "", W},
    {29147, "Settings|Network|Disconnect from Master", "", M},
    {29118, "Settings|Network|Server Info", "", W},
    {29120, "Settings|Network|Restart Network System", "", M},
    {29089, "Help|Contents", "", W},
    {29090, "Help|Help index", "", W},
    {29186, "Help|Info...", "", W},
};

constexpr ToolbarButtonRow kToolbarButtons[] = {
    {212, "Opens window for the creation of new default fractals"},
    {213, "Loads files, i.e. *.map, *.par, *.frm and *.png files"},
    {214, "Saves the current fractal into a parameter file"},
    {218, "Saves all fractals in the current project (i.e. the whole project/parameter file)"},
    {215, "Prints the current fractal image"},
    {216, "Copies the current fractal image to the clip board"},
    {205, "Displays a list of folders (i.e. projects or parameter files)"},
    {204, "Displays a list of all fractals contained in the current folder"},
    {206, "Calculates the currently selected fractal"},
    {207, "Removes and deletes the fractal from the list"},
    {219, "Opens the size window for easy access to default fractal sizes"},
    {210, "Undo the last operation"},
    {211, "Redo the last undo operation"},
    {217, "Displays a list of available palettes"},
    {741, "Stops the fractal calculation (pause)"},
    {742, "Continues the fractal calculation (resume)"},
    {740, "Clones the whole fractal (including thread, window, etc. )"},
    {743, "Restores the default values for the current type/subtype combination"},
};

bool endsWithWordFractal(std::string_view text) {
    constexpr std::string_view kWord = "fractal";
    return text.size() >= kWord.size() &&
           equalsIgnoreCase(text.substr(text.size() - kWord.size()), kWord);
}

// "Creates a new Julia fractal in the current project"; a menu text that already ends
// in "Fractal" is not followed by a second "fractal".
std::string newFractalHelp(std::string_view menuText) {
    std::string help = "Creates a new ";
    help += menuText;
    if (!endsWithWordFractal(menuText)) {
        help += " fractal";
    }
    help += " in the current project";
    return help;
}

CommandRow newFractalRow(const FractalTypeInfo& type) {
    CommandRow row;
    row.id = type.menuCommand;
    row.menuPath = "File|Fractal|" + std::string(type.menuText);
    row.help = newFractalHelp(type.menuText);
    row.handler = CommandHandler::Model;
    row.fractalType = type.id;
    return row;
}

std::vector<CommandRow> buildTable() {
    std::vector<CommandRow> rows;
    for (const FixedRow& fixed : kFixedRows) {
        rows.push_back({fixed.id, std::string(fixed.menuPath), std::string(fixed.help),
                        fixed.handler, std::nullopt, fixed.value, static_cast<int>(rows.size())});
    }
    for (const FractalTypeInfo& type : fractalTypes()) {
        rows.push_back(newFractalRow(type));
        rows.back().order = static_cast<int>(type.id) - 1000; // ahead of the other items
    }
    std::sort(rows.begin(), rows.end(),
              [](const CommandRow& a, const CommandRow& b) { return a.id < b.id; });
    return rows;
}

} // namespace

std::span<const CommandRow> commandTable() {
    static const std::vector<CommandRow> table = buildTable();
    return table;
}

const CommandRow* findCommand(int id) {
    if (id < kFirstMenuCommand || id > kLastMenuCommand) {
        return nullptr;
    }
    const auto table = commandTable();
    const auto it = std::lower_bound(table.begin(), table.end(), id,
                                     [](const CommandRow& row, int key) { return row.id < key; });
    return it != table.end() && it->id == id ? &*it : nullptr;
}

std::string_view helpText(int id) {
    const CommandRow* row = findCommand(id);
    return row != nullptr ? std::string_view(row->help) : std::string_view();
}

std::span<const ToolbarButtonRow> toolbarButtons() {
    return kToolbarButtons;
}

const ToolbarButtonRow* findToolbarButton(int id) {
    const auto* it = std::find_if(std::begin(kToolbarButtons), std::end(kToolbarButtons),
                                  [id](const ToolbarButtonRow& row) { return row.id == id; });
    return it != std::end(kToolbarButtons) ? it : nullptr;
}

} // namespace vortimax
