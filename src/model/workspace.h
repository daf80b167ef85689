#pragma once

#include "base/frontend.h"
#include "model/folder.h"
#include "model/named_list.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace vortimax {

// Which deletions ask first; the settings switch them.
struct DeleteConfirmations {
    bool deleteFolder = true;  // CNF_DelProj
    bool deleteFractal = true; // CNF_DelPic
};

enum class WorkspaceEvent {
    FolderListChanged,     // a folder was created, deleted or renamed
    FolderContentsChanged, // fractals of `folder` were added, removed, renamed or reordered
    CurrentFolderChanged,  // `folder` (possibly none) is now the current folder
    CurrentFractalChanged, // `fractal` (possibly none) is now the current one of `folder`
    FractalRenamed,        // `fractal` has a new name: window titles need a refresh
};

struct WorkspaceNotice {
    WorkspaceEvent event;
    Folder* folder = nullptr;
    FractalRecord* fractal = nullptr;
};

enum class DeleteResult {
    Deleted,
    Declined,  // the person did not answer yes
    Refused,   // the last folder of its kind stays
    NotMember, // the folder or record does not belong to this workspace
};

enum class MoveResult {
    Moved,
    Unchanged,          // the entry already was where it was dropped
    FolderNotMovable,   // folders cannot be dragged
    KeyFrameNotMovable, // entries of kind 10 cannot be dragged
    NotMember,          // source or target does not belong to this workspace
};

// A node of the fractal tree: a folder, or a fractal (its folder is the record's).
struct TreeNodeRef {
    Folder* folder = nullptr;
    FractalRecord* fractal = nullptr;
};

// Every folder of the program, sorted by name, with the current folder, the folder new
// fractals go to and the animation folder. All changes are announced to the listeners,
// which keep the tree, the list controls and the window titles up to date. Questions
// go through the frontend.
class Workspace {
public:
    using Listener = std::function<void(const WorkspaceNotice&)>;
    using RecordHook = std::function<void(FractalRecord&)>;

    explicit Workspace(Frontend& frontend);
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    // Frees everything without calling the hooks; call deleteAll() first at shutdown.
    ~Workspace() = default;

    DeleteConfirmations confirmations;
    // Called for a fractal that is deleted: close its window without asking, and take
    // it out of the running animation. Both do nothing until set.
    RecordHook closeView = [](FractalRecord&) {};
    RecordHook detachFromAnimation = [](FractalRecord&) {};

    std::size_t addListener(Listener listener);
    void removeListener(std::size_t id);

    const NamedList<Folder>& folders() const { return folders_; }
    bool contains(const Folder& folder) const { return folders_.contains(folder); }
    Folder* currentFolder() const { return currentFolder_; }
    Folder* defaultFolder() const { return defaultFolder_; }
    Folder* animationFolder() const { return animationFolder_; }
    void setDefaultFolder(Folder* folder);
    void setAnimationFolder(Folder* folder);

    // A new folder saved to directory/name, or to the first of directory/"name.1",
    // directory/"name.2", ... that no folder uses yet. Its name is made unique.
    Folder& createFolder(const std::filesystem::path& directory, std::string_view name,
                         FolderKind kind);
    // With `ask`, confirms first (when switched on) and refuses to delete the last folder
    // of its kind. Deletes the folder's fractals without asking.
    DeleteResult deleteFolder(Folder& folder, bool ask);
    // Program end: deletes every folder without asking and without the last-folder rule.
    void deleteAll();
    // Makes `folder` current; with force the listeners hear of it even when it already was.
    void selectFolder(Folder& folder, bool force = false);
    // At most 63 characters, unique among the folders; the file name follows the name.
    bool renameFolder(Folder& folder, std::string_view text);

    // Adds a record to a folder with a unique name; with select it becomes the folder's
    // current fractal.
    FractalRecord& addFractal(Folder& folder, std::unique_ptr<FractalRecord> record, bool select);
    // Adds many records as addFractal would one after the other (none selected), with one
    // notice for the folder: how a file's entries come in.
    void addFractals(Folder& folder, std::vector<std::unique_ptr<FractalRecord>> records);
    // With `ask`, confirms first (when switched on). Closes the record's window, detaches
    // it from the animation and moves the folder's selection to a neighbour.
    DeleteResult deleteFractal(FractalRecord& record, bool ask);
    // Makes the record the current fractal of its folder and its folder current.
    void selectFractal(FractalRecord& record);
    // At most 63 characters, unique within its folder, its own name allowed.
    bool renameFractal(FractalRecord& record, std::string_view text);

    // Drag and drop in the fractal tree. An entry dropped on a project folder (or on one
    // of its entries) joins it sorted by name; dropped on an animation folder it goes to
    // the front, dropped on an animation entry directly behind that entry and the
    // kind-10 entries that follow it. A moved entry becomes its folder's current fractal.
    MoveResult moveFractal(FractalRecord& entry, Folder& target);
    MoveResult moveFractalAfter(FractalRecord& entry, FractalRecord& target);
    MoveResult dropTreeNode(TreeNodeRef source, TreeNodeRef target);

private:
    void notify(WorkspaceEvent event, Folder* folder = nullptr, FractalRecord* fractal = nullptr);
    bool confirm(std::string_view text);
    bool isLastOfKind(const Folder& folder) const;
    // The file paths of every folder but `except`.
    std::set<std::filesystem::path> filePathsExcept(const Folder* except) const;
    bool isMember(const FractalRecord& record) const;
    void destroyFolderContents(Folder& folder);
    void forgetFolder(Folder& folder);
    void forgetRecord(const FractalRecord& record);
    MoveResult checkMovable(const FractalRecord& entry) const;
    std::unique_ptr<FractalRecord> takeForMove(FractalRecord& entry);
    MoveResult placeInAnimation(FractalRecord& entry, Folder& target, const FractalRecord* after);
    void finishMove(Folder& to, FractalRecord& entry);

    Frontend& frontend_;
    NamedList<Folder> folders_;
    Folder* currentFolder_ = nullptr;
    Folder* defaultFolder_ = nullptr;
    Folder* animationFolder_ = nullptr;
    std::vector<std::pair<std::size_t, Listener>> listeners_;
    std::size_t nextListenerId_ = 1;
};

} // namespace vortimax
