#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vortimax {

// One tool window of the program. Windows that exist once per fractal type (the
// parameter windows) or that have sub-windows appear as several rows: the first row of
// such a group is the parent, the others name it in `parent`.
struct ToolWindowRow {
    int windowId;
    int menuCommand; // 0: no menu command opens the window
    std::string_view keyword;
    std::optional<std::size_t> parent; // row index of the parent row
    bool parameterWindow;              // placement kept as Parm1 / Parm2

    bool isChild() const { return parent.has_value(); }
};

// Position and open state of one tool window, as saved in the configuration.
struct ToolWindowState {
    int x = 0;
    int y = 0;
    bool open = false;

    friend bool operator==(const ToolWindowState&, const ToolWindowState&) = default;
};

// The fixed table of tool windows plus the mutable state of each row.
class ToolWindowRegistry {
public:
    ToolWindowRegistry();

    static std::span<const ToolWindowRow> rows();
    static std::size_t size() { return rows().size(); }
    static const ToolWindowRow& row(std::size_t index) { return rows()[index]; }

    // The first row with this keyword (letter case ignored), i.e. the parent row of a
    // group.
    static std::optional<std::size_t> findByKeyword(std::string_view keyword);
    static std::optional<std::size_t> findByWindowId(int windowId);
    static std::optional<std::size_t> findByMenuCommand(int menuCommand);
    // Rows that carry their own line in the configuration: neither parameter windows
    // nor child rows.
    static bool isSavedOnItsOwn(std::size_t index);

    ToolWindowState& state(std::size_t index) { return states_.at(index); }
    const ToolWindowState& state(std::size_t index) const { return states_.at(index); }

    friend bool operator==(const ToolWindowRegistry&, const ToolWindowRegistry&) = default;

private:
    std::vector<ToolWindowState> states_;
};

} // namespace vortimax
