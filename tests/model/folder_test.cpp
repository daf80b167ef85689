#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "model/workspace.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace vortimax;

namespace {

using Names = std::vector<std::string>;

constexpr const char* kDeleteFolderText =
    "You are about to delete a folder.\nThis folder and all it contains will be lost "
    "forever,\nunless you saved its contents as a parameter file.\n\nDo you really want to "
    "delete it?";
constexpr const char* kLastFolderText =
    "You are trying to delete the last fractal (or animation) folder.\nThis is not possible, "
    "one folder of each type must remain.";
constexpr const char* kDeleteFractalText =
    "You are about to delete a fractal data structure.\nThis entry will be lost forever, "
    "unless you saved this entry\nas a parameter file.\n\nDo you really want to delete it?";

class WorkspaceTest : public ::testing::Test {
protected:
    WorkspaceTest() {
        workspace.closeView = [this](FractalRecord& r) { closed.push_back(r.name); };
        workspace.detachFromAnimation = [this](FractalRecord& r) { detached.push_back(r.name); };
        workspace.addListener([this](const WorkspaceNotice& notice) { ++events[notice.event]; });
    }

    FractalRecord& addRecord(Folder& folder, std::string name, bool select = false) {
        auto record = std::make_unique<FractalRecord>();
        record->name = std::move(name);
        return workspace.addFractal(folder, std::move(record), select);
    }

    // The folder's entries in order, the current one marked with '*'.
    static std::string listing(const Folder& folder) {
        std::string text;
        for (const FractalRecord& record : folder.fractals().all())
            text += (&record == folder.currentFractal() ? " *" : " ") + record.name;
        return text.erase(0, 1);
    }

    // Exactly `count` message boxes since the last check, each showing `text`.
    void expectBoxes(std::size_t count, std::string text = "",
                     MessageButtons buttons = MessageButtons::YesNoCancel,
                     MessageIcon icon = MessageIcon::Question) {
        auto boxes = frontend.messageBoxes();
        EXPECT_EQ(boxes.size(), count);
        for (const FrontendCall& box : boxes)
            EXPECT_EQ(std::tie(box.caption, box.text, box.buttons, box.icon),
                      std::make_tuple(std::string("Delete operation"), text, buttons, icon));
        frontend.clearCalls();
    }

    ScriptedFrontend frontend;
    Workspace workspace{frontend};
    Folder& project = workspace.createFolder("/p", "Project", FolderKind::Project);
    Folder& anim = workspace.createFolder("/a", "Animation", FolderKind::Animation);
    Names closed, detached;
    std::map<WorkspaceEvent, int> events;
};

} // namespace

TEST_F(WorkspaceTest, FractalNamesStayUniqueInTheFolderAndARenameMayKeepItsOwn) {
    addRecord(project, "Mandel");
    FractalRecord& z = addRecord(project, "Zeta", true);
    EXPECT_TRUE(workspace.renameFractal(z, "mandel"));
    EXPECT_FALSE(workspace.renameFractal(z, "mandel")); // mandel.1 is its own name
    EXPECT_FALSE(workspace.renameFractal(z, "  "));
    EXPECT_FALSE(workspace.renameFolder(project, ""));
    EXPECT_EQ(project.name(), "Project");
    EXPECT_EQ(listing(project), "Mandel *mandel.1");
    EXPECT_EQ(events[WorkspaceEvent::CurrentFractalChanged], 1);
    EXPECT_EQ(events[WorkspaceEvent::FractalRenamed], 1);
}

TEST_F(WorkspaceTest, FolderPathsAndNamesAreUniqueAndStayInTheirDirectory) {
    for (const char* path : {"/p/Project.1", "/p/Project.2"})
        EXPECT_EQ(workspace.createFolder("/p", "Project", FolderKind::Project).filePath(), path);
    // Another directory: the path is free, but the name is not.
    Folder& other = workspace.createFolder("/q", "project", FolderKind::Project);
    EXPECT_EQ(other.filePath(), "/q/project");
    EXPECT_EQ(other.name(), "project.3");
    EXPECT_EQ(workspace.createFolder("/p", "../x", FolderKind::Project).filePath(), "/p/.._x");
    EXPECT_EQ(workspace.createFolder("/p", "..", FolderKind::Project).filePath(), "/p/_..");

    // The name "project" is free again, but /q/project still is other's file.
    workspace.deleteFolder(project, false);
    Folder& renamed = workspace.createFolder("/q", "Other", FolderKind::Project);
    EXPECT_TRUE(workspace.renameFolder(renamed, "project"));
    EXPECT_EQ(renamed.filePath(), "/q/project.4");
    EXPECT_EQ(renamed.name(), "project.4");
}

TEST_F(WorkspaceTest, DeleteFolderAsksRefusesTheLastOfAKindAndHandsOnItsRoles) {
    Folder& extra = workspace.createFolder("/p", "Zulu", FolderKind::Project);
    addRecord(extra, "one");
    addRecord(extra, "two");
    workspace.selectFolder(extra);
    workspace.setDefaultFolder(&extra);
    frontend.queueAnswer(MessageAnswer::Cancel);
    EXPECT_EQ(workspace.deleteFolder(extra, true), DeleteResult::Declined);
    EXPECT_EQ(workspace.deleteFolder(extra, true), DeleteResult::Deleted);
    expectBoxes(2, kDeleteFolderText); // none for its fractals, but their windows close
    EXPECT_EQ(closed, (Names{"one", "two"}));
    EXPECT_EQ(workspace.currentFolder(), &project); // Zulu was last: the previous one
    EXPECT_EQ(workspace.defaultFolder(), &project);

    workspace.confirmations.deleteFolder = false;
    EXPECT_EQ(workspace.deleteFolder(anim, true), DeleteResult::Refused);
    expectBoxes(1, kLastFolderText, MessageButtons::Ok, MessageIcon::Information);
    Folder& anim2 = workspace.createFolder("/a", "Anim 2", FolderKind::Animation);
    workspace.setAnimationFolder(&anim);
    EXPECT_EQ(workspace.deleteFolder(anim, true), DeleteResult::Deleted);
    EXPECT_EQ(workspace.animationFolder(), &anim2);

    addRecord(project, "kept");
    workspace.deleteAll();
    EXPECT_TRUE(workspace.folders().empty());
    EXPECT_EQ(workspace.currentFolder(), nullptr);
    EXPECT_EQ(closed.back(), "kept");
    expectBoxes(0);
}

TEST_F(WorkspaceTest, DeleteFractalAsksClosesItsViewAndSelectsANeighbour) {
    addRecord(project, "a");
    FractalRecord& b = addRecord(project, "b");
    FractalRecord& c = addRecord(project, "c", true);
    b.layers[3] = &c;
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_EQ(workspace.deleteFractal(c, true), DeleteResult::Declined);
    EXPECT_TRUE(closed.empty());
    EXPECT_EQ(workspace.deleteFractal(c, true), DeleteResult::Deleted);
    expectBoxes(2, kDeleteFractalText);
    EXPECT_EQ(closed, (Names{"c"}));
    EXPECT_EQ(detached, (Names{"c"}));
    EXPECT_EQ(listing(project), "a *b"); // the last one was current: the previous one
    EXPECT_EQ(b.layers[3], nullptr);     // no layer link to a deleted record

    workspace.confirmations.deleteFractal = false;
    addRecord(project, "d");
    EXPECT_EQ(workspace.deleteFractal(addRecord(project, "e"), true), DeleteResult::Deleted);
    EXPECT_EQ(listing(project), "a *b d"); // deleting another entry keeps the selection
    EXPECT_EQ(workspace.deleteFractal(b, true), DeleteResult::Deleted);
    EXPECT_EQ(listing(project), "a *d"); // otherwise the next one takes over
    expectBoxes(0);
    FractalRecord loose;
    EXPECT_EQ(workspace.deleteFractal(loose, false), DeleteResult::NotMember);
}

TEST_F(WorkspaceTest, ProjectEntriesMoveToAnotherFolderSortedAndSelected) {
    Folder& target = workspace.createFolder("/p", "Target", FolderKind::Project);
    FractalRecord& m = addRecord(project, "Mandel", true);
    FractalRecord& n = addRecord(project, "Next");
    addRecord(target, "Mandel");
    addRecord(target, "Zeta");
    EXPECT_EQ(workspace.moveFractal(m, target), MoveResult::Moved);
    EXPECT_EQ(listing(project), "*Next");
    EXPECT_EQ(listing(target), "Mandel *Mandel.1 Zeta");
    EXPECT_EQ(detached, (Names{"Mandel"}));

    // Dropping on an entry of a project folder is dropping on the folder.
    EXPECT_EQ(workspace.dropTreeNode({nullptr, &n}, {nullptr, &m}), MoveResult::Moved);
    EXPECT_EQ(workspace.moveFractal(n, target), MoveResult::Unchanged);
    EXPECT_EQ(workspace.dropTreeNode({&project, nullptr}, {&target, nullptr}),
              MoveResult::FolderNotMovable);
}

TEST_F(WorkspaceTest, AnimationEntriesKeepTheirOrderAndFollowTheDropRules) {
    FractalRecord& a = addRecord(anim, "A");
    FractalRecord& b = addRecord(anim, "B");
    FractalRecord& k1 = addRecord(anim, "K1");
    addRecord(anim, "K2").entryKind = k1.entryKind = kEntryKeyFrame;
    FractalRecord& c = addRecord(anim, "C");
    EXPECT_EQ(workspace.dropTreeNode({nullptr, &c}, {&anim, nullptr}), MoveResult::Moved);
    EXPECT_EQ(listing(anim), "*C A B K1 K2");

    // Behind the entry and the kind-10 entries that follow it.
    EXPECT_EQ(workspace.moveFractalAfter(a, b), MoveResult::Moved);
    EXPECT_EQ(workspace.moveFractalAfter(c, b), MoveResult::Moved);
    EXPECT_EQ(listing(anim), "B K1 K2 *C A");
    EXPECT_EQ(workspace.moveFractalAfter(c, b), MoveResult::Unchanged);
    EXPECT_EQ(workspace.moveFractalAfter(b, b), MoveResult::Unchanged); // dropped on itself
    EXPECT_EQ(workspace.moveFractalAfter(k1, c), MoveResult::KeyFrameNotMovable);
    EXPECT_TRUE(detached.empty()); // reordering keeps the animation link

    // A project entry dropped into the animation: its place counts, its name is unique.
    FractalRecord& p = addRecord(project, "b");
    EXPECT_EQ(workspace.moveFractalAfter(p, b), MoveResult::Moved);
    EXPECT_EQ(listing(anim), "B K1 K2 *b.1 C A");
    EXPECT_EQ(detached, (Names{"b"}));
}
