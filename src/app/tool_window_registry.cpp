#include "app/tool_window_registry.h"

#include "base/text_io.h"
#include "base/text_utils.h"

#include <array>

namespace vortimax {

namespace {

constexpr std::size_t kParm1Row = 0;
constexpr std::size_t kParm2Row = 11;
constexpr std::size_t kDims1Row = 13;
constexpr std::size_t kAnim1Row = 25;

constexpr ToolWindowRow parm1(int id, std::optional<std::size_t> parent = kParm1Row) {
    return {id, 29087, "PARM1", parent, true};
}

constexpr ToolWindowRow parm2(int id, std::optional<std::size_t> parent = kParm2Row) {
    return {id, 29088, "PARM2", parent, true};
}

constexpr ToolWindowRow window(int id, int command, std::string_view keyword,
                               std::optional<std::size_t> parent = std::nullopt) {
    return {id, command, keyword, parent, false};
}

constexpr std::array kRows{
    // Parameter window 1, one row per fractal type.
    parm1(280, std::nullopt),
    parm1(320),
    parm1(360),
    parm1(560),
    parm1(590),
    parm1(610),
    parm1(640),
    parm1(760),
    parm1(850),
    parm1(890),
    parm1(910),
    // Parameter window 2.
    parm2(321, std::nullopt),
    parm2(761),
    // 3D parameter window and its two sub-windows.
    window(400, 29048, "DIMS1"),
    window(420, 29048, "DIMS1", kDims1Row),
    window(440, 29048, "DIMS1", kDims1Row),
    window(221, 29084, "AREA"),
    window(870, 29188, "FRACTALTREE"),
    window(240, 29129, "PALEDIT"),
    window(300, 29056, "FormulaJM"),
    window(920, 29057, "FormulaIFS"),
    window(960, 29058, "FormulaLSyst"),
    window(460, 29139, "Output"),
    window(470, 29051, "Colormapping"),
    window(730, 29052, "Comment"),
    // Animation window and its key list.
    window(500, 29063, "Anim1"),
    window(501, 29063, "Anim1", kAnim1Row),
    window(540, 0, "FractSel"),
    window(680, 29141, "Sizewindow"),
    window(660, 29142, "Colorcycle"),
    window(710, 29118, "Network"),
    window(800, 29183, "MakeMap"),
};

static_assert(kRows[kParm2Row].windowId == 321 && kRows[kDims1Row].windowId == 400 &&
                  kRows[kAnim1Row].windowId == 500,
              "parent row indices must match the table");

template <typename Match> std::optional<std::size_t> findRow(Match match) {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (match(kRows[i])) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace

ToolWindowRegistry::ToolWindowRegistry() : states_(kRows.size()) {}

std::span<const ToolWindowRow> ToolWindowRegistry::rows() {
    return kRows;
}

std::optional<std::size_t> ToolWindowRegistry::findByKeyword(std::string_view keyword) {
    return findRow(
        [&](const ToolWindowRow& row) { return equalsIgnoreCase(row.keyword, keyword); });
}

std::optional<std::size_t> ToolWindowRegistry::findByWindowId(int windowId) {
    return findRow([&](const ToolWindowRow& row) { return row.windowId == windowId; });
}

std::optional<std::size_t> ToolWindowRegistry::findByMenuCommand(int menuCommand) {
    if (menuCommand == 0) {
        return std::nullopt;
    }
    return findRow([&](const ToolWindowRow& row) { return row.menuCommand == menuCommand; });
}

bool ToolWindowRegistry::isSavedOnItsOwn(std::size_t index) {
    return index < kRows.size() && !kRows[index].parameterWindow && !kRows[index].isChild();
}

} // namespace vortimax
