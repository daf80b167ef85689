#include "model/workspace.h"

#include "base/text_io.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace vortimax {

namespace {

constexpr std::string_view kDeleteCaption = "Delete operation";
constexpr std::string_view kDeleteFolderText =
    "You are about to delete a folder.\n"
    "This folder and all it contains will be lost forever,\n"
    "unless you saved its contents as a parameter file.\n\n"
    "Do you really want to delete it?";
constexpr std::string_view kLastFolderText =
    "You are trying to delete the last fractal (or animation) folder.\n"
    "This is not possible, one folder of each type must remain.";
constexpr std::string_view kDeleteFractalText =
    "You are about to delete a fractal data structure.\n"
    "This entry will be lost forever, unless you saved this entry\n"
    "as a parameter file.\n\n"
    "Do you really want to delete it?";

// The file name a folder name is saved under. A name must not lead out of its directory,
// so separators become '_' and the names "", "." and ".." get a leading '_'.
std::string fileNameFor(std::string_view name) {
    std::string file(name);
    for (char& c : file)
        if (c == '/' || c == '\0')
            c = '_';
    if (file.empty() || file == "." || file == "..")
        file.insert(file.begin(), '_');
    return file;
}

// Where an entry dropped on `after` goes in an animation folder whose list does not
// contain `moving`: directly behind `after` and the kind-10 entries that follow it, or
// at the front when dropped on the folder itself.
std::size_t animationDropIndex(const Folder& folder, const FractalRecord* after,
                               const FractalRecord* moving) {
    if (after == nullptr)
        return 0;
    std::vector<const FractalRecord*> others;
    for (const FractalRecord& record : folder.fractals().all())
        if (&record != moving)
            others.push_back(&record);
    std::size_t index = 0;
    while (index < others.size() && others[index] != after)
        ++index;
    ++index;
    while (index < others.size() && others[index]->entryKind == kEntryKeyFrame)
        ++index;
    return std::min(index, others.size());
}

} // namespace

Workspace::Workspace(Frontend& frontend) : frontend_(frontend) {}

std::size_t Workspace::addListener(Listener listener) {
    std::size_t id = nextListenerId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void Workspace::removeListener(std::size_t id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void Workspace::notify(WorkspaceEvent event, Folder* folder, FractalRecord* fractal) {
    // A copy, so that a listener may add or remove listeners.
    auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        listener(WorkspaceNotice{event, folder, fractal});
}

bool Workspace::confirm(std::string_view text) {
    return frontend_.messageBox(kDeleteCaption, text, MessageButtons::YesNoCancel,
                                MessageIcon::Question) == MessageAnswer::Yes;
}

void Workspace::setDefaultFolder(Folder* folder) {
    if (folder != nullptr && !contains(*folder))
        throw std::logic_error("the default folder must belong to the workspace");
    defaultFolder_ = folder;
}

void Workspace::setAnimationFolder(Folder* folder) {
    if (folder != nullptr && (!contains(*folder) || !folder->isAnimation()))
        throw std::logic_error("the animation folder must be an animation of the workspace");
    animationFolder_ = folder;
}

// ---- folders ----

Folder& Workspace::createFolder(const std::filesystem::path& directory, std::string_view name,
                                FolderKind kind) {
    const std::set<std::filesystem::path> paths = filePathsExcept(nullptr);
    auto pathTaken = [&](const std::string& candidate) {
        return paths.contains(directory / fileNameFor(candidate));
    };
    std::string base = cutName(name);
    std::string candidate = base;
    for (unsigned long number = 1; pathTaken(candidate); ++number)
        candidate = suffixedName(base, number);
    auto folder = std::make_unique<Folder>(candidate, kind, directory / fileNameFor(candidate));
    Folder& added = folders_.insert(std::move(folder), true);
    notify(WorkspaceEvent::FolderListChanged, &added);
    return added;
}

// Looked up once per new name instead of walking the folders for every numbered try.
std::set<std::filesystem::path> Workspace::filePathsExcept(const Folder* except) const {
    std::set<std::filesystem::path> paths;
    for (const Folder& folder : folders_.all())
        if (&folder != except)
            paths.insert(folder.filePath());
    return paths;
}

bool Workspace::isLastOfKind(const Folder& folder) const {
    for (Folder& other : folders_.all())
        if (&other != &folder && other.kind() == folder.kind())
            return false;
    return true;
}

DeleteResult Workspace::deleteFolder(Folder& folder, bool ask) {
    if (!contains(folder))
        return DeleteResult::NotMember;
    if (ask && confirmations.deleteFolder && !confirm(kDeleteFolderText))
        return DeleteResult::Declined;
    if (ask && isLastOfKind(folder)) {
        frontend_.messageBox(kDeleteCaption, kLastFolderText, MessageButtons::Ok,
                             MessageIcon::Information);
        return DeleteResult::Refused;
    }
    destroyFolderContents(folder);
    forgetFolder(folder);
    std::unique_ptr<Folder> owned = folders_.remove(folder);
    notify(WorkspaceEvent::FolderListChanged);
    return DeleteResult::Deleted;
}

void Workspace::destroyFolderContents(Folder& folder) {
    while (FractalRecord* record = folder.fractals().first())
        deleteFractal(*record, false);
}

// Moves every program-wide pointer away from a folder about to go: the current folder to
// its next (or previous) neighbour, the default and animation folders to another folder of
// the same kind.
void Workspace::forgetFolder(Folder& folder) {
    auto sameKindOther = [&]() -> Folder* {
        for (Folder& other : folders_.all())
            if (&other != &folder && other.kind() == folder.kind())
                return &other;
        return nullptr;
    };
    if (defaultFolder_ == &folder)
        defaultFolder_ = sameKindOther();
    if (animationFolder_ == &folder)
        animationFolder_ = sameKindOther();
    if (currentFolder_ == &folder) {
        Folder* next = folders_.next(folder);
        currentFolder_ = next != nullptr ? next : folders_.previous(folder);
        notify(WorkspaceEvent::CurrentFolderChanged, currentFolder_);
    }
}

void Workspace::deleteAll() {
    for (Folder& folder : folders_.all())
        destroyFolderContents(folder);
    folders_.clear();
    currentFolder_ = defaultFolder_ = animationFolder_ = nullptr;
    notify(WorkspaceEvent::CurrentFolderChanged);
    notify(WorkspaceEvent::FolderListChanged);
}

void Workspace::selectFolder(Folder& folder, bool force) {
    if (!contains(folder))
        throw std::logic_error("only a folder of the workspace can be selected");
    if (currentFolder_ == &folder && !force)
        return;
    currentFolder_ = &folder;
    notify(WorkspaceEvent::CurrentFolderChanged, &folder);
}

bool Workspace::renameFolder(Folder& folder, std::string_view text) {
    if (!contains(folder))
        throw std::logic_error("only a folder of the workspace can be renamed");
    // A blank name would make an unusable file name: the folder keeps its own.
    if (trimSpace(text).empty())
        return false;
    // Besides the name, the file must differ from every other folder's file, so that two
    // folders are never saved over each other.
    std::filesystem::path directory = folder.filePath().parent_path();
    const std::set<std::filesystem::path> paths = filePathsExcept(&folder);
    auto taken = [&](std::string_view name) {
        return folders_.isNameTaken(name, &folder) || paths.contains(directory / fileNameFor(name));
    };
    std::string name = makeUniqueName(text, taken);
    if (!folders_.rename(folder, name, false))
        return false;
    folder.setFilePath(directory / fileNameFor(name));
    notify(WorkspaceEvent::FolderListChanged, &folder);
    return true;
}

// ---- fractals ----

bool Workspace::isMember(const FractalRecord& record) const {
    return record.folder != nullptr && contains(*record.folder) && record.folder->contains(record);
}

FractalRecord& Workspace::addFractal(Folder& folder, std::unique_ptr<FractalRecord> record,
                                     bool select) {
    if (!contains(folder))
        throw std::logic_error("fractals can only be added to a folder of the workspace");
    if (!record)
        throw std::invalid_argument("no record to add");
    FractalRecord& added = folder.add(std::move(record));
    notify(WorkspaceEvent::FolderContentsChanged, &folder, &added);
    if (select) {
        folder.setCurrentFractal(&added);
        notify(WorkspaceEvent::CurrentFractalChanged, &folder, &added);
    }
    return added;
}

void Workspace::addFractals(Folder& folder, std::vector<std::unique_ptr<FractalRecord>> records) {
    if (!contains(folder))
        throw std::logic_error("fractals can only be added to a folder of the workspace");
    for (const auto& record : records)
        if (!record)
            throw std::invalid_argument("no record to add");
    if (records.empty())
        return;
    folder.addAll(std::move(records));
    notify(WorkspaceEvent::FolderContentsChanged, &folder);
}

DeleteResult Workspace::deleteFractal(FractalRecord& record, bool ask) {
    if (!isMember(record))
        return DeleteResult::NotMember;
    if (ask && confirmations.deleteFractal && !confirm(kDeleteFractalText))
        return DeleteResult::Declined;
    Folder& folder = *record.folder;
    record.pendingEntry.reset();
    detachFromAnimation(record);
    closeView(record);
    FractalRecord* currentBefore = folder.currentFractal();
    std::unique_ptr<FractalRecord> owned = folder.take(record);
    forgetRecord(record);
    notify(WorkspaceEvent::FolderContentsChanged, &folder);
    if (folder.currentFractal() != currentBefore)
        notify(WorkspaceEvent::CurrentFractalChanged, &folder, folder.currentFractal());
    return DeleteResult::Deleted;
}

// Other records may use the deleted one as a layer; they must not keep a dangling pointer.
void Workspace::forgetRecord(const FractalRecord& record) {
    for (Folder& folder : folders_.all())
        for (FractalRecord& other : folder.fractals().all())
            for (FractalRecord*& layer : other.layers)
                if (layer == &record)
                    layer = nullptr;
}

void Workspace::selectFractal(FractalRecord& record) {
    if (!isMember(record))
        throw std::logic_error("only a fractal of the workspace can be selected");
    Folder& folder = *record.folder;
    if (folder.currentFractal() != &record) {
        folder.setCurrentFractal(&record);
        notify(WorkspaceEvent::CurrentFractalChanged, &folder, &record);
    }
    selectFolder(folder);
}

bool Workspace::renameFractal(FractalRecord& record, std::string_view text) {
    Folder* folder = record.folder;
    if (folder != nullptr && !isMember(record))
        throw std::logic_error("the fractal belongs to another workspace");
    if (trimSpace(text).empty())
        return false; // a blank name is no name: the fractal keeps its own
    std::string oldName = record.name;
    if (folder != nullptr)
        folder->renameFractal(record, text);
    else
        record.name = cutName(text);
    if (record.name == oldName)
        return false;
    if (folder != nullptr)
        notify(WorkspaceEvent::FolderContentsChanged, folder, &record);
    notify(WorkspaceEvent::FractalRenamed, folder, &record);
    return true;
}

// ---- moving entries ----

MoveResult Workspace::checkMovable(const FractalRecord& entry) const {
    if (!isMember(entry))
        return MoveResult::NotMember;
    if (entry.entryKind == kEntryKeyFrame)
        return MoveResult::KeyFrameNotMovable;
    return MoveResult::Moved;
}

// Takes an entry out of its folder (and out of the animation) for a move elsewhere.
std::unique_ptr<FractalRecord> Workspace::takeForMove(FractalRecord& entry) {
    Folder& from = *entry.folder;
    detachFromAnimation(entry);
    FractalRecord* currentBefore = from.currentFractal();
    std::unique_ptr<FractalRecord> owned = from.take(entry);
    notify(WorkspaceEvent::FolderContentsChanged, &from);
    if (from.currentFractal() != currentBefore)
        notify(WorkspaceEvent::CurrentFractalChanged, &from, from.currentFractal());
    return owned;
}

void Workspace::finishMove(Folder& to, FractalRecord& entry) {
    notify(WorkspaceEvent::FolderContentsChanged, &to, &entry);
    to.setCurrentFractal(&entry);
    notify(WorkspaceEvent::CurrentFractalChanged, &to, &entry);
}

MoveResult Workspace::moveFractal(FractalRecord& entry, Folder& target) {
    if (MoveResult check = checkMovable(entry); check != MoveResult::Moved)
        return check;
    if (!contains(target))
        return MoveResult::NotMember;
    if (target.isAnimation())
        return placeInAnimation(entry, target, nullptr);
    Folder* from = entry.folder;
    if (from == &target)
        return MoveResult::Unchanged;
    FractalRecord& added = target.add(takeForMove(entry));
    finishMove(target, added);
    return MoveResult::Moved;
}

MoveResult Workspace::moveFractalAfter(FractalRecord& entry, FractalRecord& target) {
    if (MoveResult check = checkMovable(entry); check != MoveResult::Moved)
        return check;
    if (!isMember(target))
        return MoveResult::NotMember;
    if (!target.folder->isAnimation())
        return moveFractal(entry, *target.folder);
    if (&entry == &target)
        return MoveResult::Unchanged;
    return placeInAnimation(entry, *target.folder, &target);
}

MoveResult Workspace::placeInAnimation(FractalRecord& entry, Folder& target,
                                       const FractalRecord* after) {
    Folder* from = entry.folder;
    if (from == &target) {
        std::size_t index = animationDropIndex(target, after, &entry);
        if (target.fractals().indexOf(entry) == index)
            return MoveResult::Unchanged;
        target.moveTo(entry, index);
        finishMove(target, entry);
        return MoveResult::Moved;
    }
    std::unique_ptr<FractalRecord> owned = takeForMove(entry);
    FractalRecord& added =
        target.insertAt(animationDropIndex(target, after, nullptr), std::move(owned));
    finishMove(target, added);
    return MoveResult::Moved;
}

MoveResult Workspace::dropTreeNode(TreeNodeRef source, TreeNodeRef target) {
    if (source.fractal == nullptr)
        return source.folder != nullptr ? MoveResult::FolderNotMovable : MoveResult::NotMember;
    if (target.fractal != nullptr)
        return moveFractalAfter(*source.fractal, *target.fractal);
    if (target.folder != nullptr)
        return moveFractal(*source.fractal, *target.folder);
    return MoveResult::NotMember;
}

} // namespace vortimax
