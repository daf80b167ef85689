#pragma once

#include "formula/library_users.h"

namespace vortimax {

class Workspace;

// The fractals of every folder of a workspace as users of library entries: a Formula
// fractal names its formula in "FormulaName", IFS and L-system fractals in "Formula".
class WorkspaceEntryUsers final : public EntryUsers {
public:
    explicit WorkspaceEntryUsers(Workspace& workspace) : workspace_(workspace) {}

    std::vector<std::string> fractalsUsing(LibraryKind kind,
                                           std::string_view entryName) const override;
    void renameUses(LibraryKind kind, std::string_view oldName, std::string_view newName) override;

private:
    Workspace& workspace_;
};

} // namespace vortimax
