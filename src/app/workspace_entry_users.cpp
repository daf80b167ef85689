#include "app/workspace_entry_users.h"

#include "base/text_utils.h"
#include "model/workspace.h"

namespace vortimax {

namespace {

// Calls `visit` for every fractal of the kind's type that names `entryName`.
template <class Visit>
void forEachUser(Workspace& workspace, LibraryKind kind, std::string_view entryName,
                 Visit&& visit) {
    const LibraryKindInfo& info = libraryKindInfo(kind);
    for (Folder& folder : workspace.folders().all()) {
        for (FractalRecord& record : folder.fractals().all()) {
            if (record.type == info.fractalType && record.hasParams() &&
                equalsIgnoreCase(record.params().text(info.nameKey), entryName)) {
                visit(record);
            }
        }
    }
}

} // namespace

std::vector<std::string> WorkspaceEntryUsers::fractalsUsing(LibraryKind kind,
                                                            std::string_view entryName) const {
    std::vector<std::string> names;
    forEachUser(workspace_, kind, entryName,
                [&](const FractalRecord& record) { names.push_back(record.name); });
    return names;
}

void WorkspaceEntryUsers::renameUses(LibraryKind kind, std::string_view oldName,
                                     std::string_view newName) {
    const std::string_view key = libraryKindInfo(kind).nameKey;
    forEachUser(workspace_, kind, oldName,
                [&](FractalRecord& record) { record.params().setText(key, newName); });
}

} // namespace vortimax
