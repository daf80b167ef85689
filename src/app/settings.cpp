#include "app/settings.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace vortimax {

void rememberRecentFile(Settings& settings, const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    const std::string name = (error ? file : absolute).lexically_normal().string();
    auto& recent = settings.recentFiles;
    recent.erase(std::remove(recent.begin(), recent.end(), name), recent.end());
    recent.insert(recent.begin(), name);
    if (recent.size() > Settings::kMaxRecentFiles)
        recent.resize(Settings::kMaxRecentFiles);
}

void setDefaultLibraryPaths(Settings& settings, const std::filesystem::path& programDir) {
    LibraryPaths& paths = settings.paths;
    paths.palettes = (programDir / "Palettes").string();
    paths.projects = (programDir / "Fractals").string();
    paths.formulas = (programDir / "Formulas").string();
    paths.anims = (programDir / "Anims").string();
    paths.pictures = (programDir / "Pictures").string();
    paths.projectSaveDir = paths.projects;
    paths.paletteSaveDir = paths.palettes;
    paths.formulaSaveDir = paths.formulas;
}

std::vector<std::filesystem::path> splitPathList(std::string_view list) {
    std::vector<std::filesystem::path> result;
    while (!list.empty()) {
        const std::size_t end = list.find(';');
        const std::string_view item = list.substr(0, end);
        if (!item.empty()) {
            result.emplace_back(item);
        }
        if (end == std::string_view::npos) {
            break;
        }
        list.remove_prefix(end + 1);
    }
    return result;
}

const ToolWindowState& toolWindowState(const Settings& settings, std::size_t row) {
    const ToolWindowRow& entry = ToolWindowRegistry::row(row);
    if (entry.parameterWindow)
        return entry.keyword == "PARM2" ? settings.parm2 : settings.parm1;
    return settings.toolWindows.state(entry.parent.value_or(row));
}

ToolWindowState& toolWindowState(Settings& settings, std::size_t row) {
    return const_cast<ToolWindowState&>(toolWindowState(std::as_const(settings), row));
}

} // namespace vortimax
