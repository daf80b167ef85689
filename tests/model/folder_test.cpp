#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "model/type_registry.h"
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
        workspace.closeView = [this](FractalRecord& record) { closed.push_back(record.name); };
        workspace.detachFromAnimation = [this](FractalRecord& record) {
            detached.push_back(record.name);
        };
        workspace.addListener([this](const WorkspaceNotice& notice) { ++events[notice.event]; });
        project = &workspace.createFolder("/p", "Project", FolderKind::Project);
        anim = &workspace.createFolder("/a", "Animation", FolderKind::Animation);
        events.clear();
    }

    FractalRecord& addRecord(Folder& folder, std::string name, bool select = false,
                             std::uint32_t kind = kEntryOrdinary) {
        auto record = std::make_unique<FractalRecord>();
        record->name = std::move(name);
        record->entryKind = kind;
        return workspace.addFractal(folder, std::move(record), select);
    }

    static Names namesOf(const Folder& folder) {
        Names names;
        for (const FractalRecord& record : folder.fractals().all())
            names.push_back(record.name);
        return names;
    }

    ScriptedFrontend frontend;
    Workspace workspace{frontend};
    Folder* project = nullptr;
    Folder* anim = nullptr;
    Names closed;
    Names detached;
    std::map<WorkspaceEvent, int> events;
};

} // namespace

TEST_F(WorkspaceTest, NewAndRenamedFractalsGetUniqueNamesWithinTheFolder) {
    for (int i = 0; i < 3; ++i)
        workspace.addFractal(*project, createRecord(kTypeMandel24, 0, {}), i == 1);
    EXPECT_EQ(namesOf(*project), (Names{"Mandel", "Mandel.1", "Mandel.2"}));
    EXPECT_EQ(project->currentFractal()->name, "Mandel.1");
    EXPECT_EQ(project->currentFractal()->folder, project);
    EXPECT_EQ(events[WorkspaceEvent::CurrentFractalChanged], 1);

    FractalRecord& z = addRecord(*project, "Zeta");
    EXPECT_TRUE(workspace.renameFractal(z, "mandel"));
    EXPECT_FALSE(workspace.renameFractal(z, "mandel")); // mandel.3 is its own name
    EXPECT_TRUE(workspace.renameFractal(z, std::string(100, 'A')));
    EXPECT_EQ(namesOf(*project).front(), std::string(63, 'A'));
    EXPECT_EQ(events[WorkspaceEvent::FractalRenamed], 2);
}

TEST_F(WorkspaceTest, FolderPathsAndNamesAreUniqueAndStayInTheirDirectory) {
    Folder& second = workspace.createFolder("/p", "Project", FolderKind::Project);
    EXPECT_EQ(second.filePath(), "/p/Project.1");
    EXPECT_EQ(workspace.createFolder("/p", "Project", FolderKind::Project).filePath(),
              "/p/Project.2");
    // Another directory: the path is free, but the name is not.
    Folder& other = workspace.createFolder("/q", "project", FolderKind::Project);
    EXPECT_EQ(other.filePath(), "/q/project");
    EXPECT_EQ(other.name(), "project.3");
    EXPECT_EQ(workspace.createFolder("/p", "../x", FolderKind::Project).filePath(), "/p/.._x");
    EXPECT_EQ(workspace.createFolder("/p", "..", FolderKind::Project).filePath(), "/p/_..");

    // The name "project" is free again, but /q/project still is other's file.
    workspace.deleteFolder(*project, false);
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
    frontend.queueAnswer(MessageAnswer::No);
    frontend.queueAnswer(MessageAnswer::Cancel);
    EXPECT_EQ(workspace.deleteFolder(extra, true), DeleteResult::Declined);
    EXPECT_EQ(workspace.deleteFolder(extra, true), DeleteResult::Declined);
    EXPECT_EQ(workspace.deleteFolder(extra, true), DeleteResult::Deleted);
    // Its fractals went without a question of their own, but with their windows.
    auto boxes = frontend.messageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    for (const FrontendCall& box : boxes) {
        EXPECT_EQ(box.caption, "Delete operation");
        EXPECT_EQ(box.text, kDeleteFolderText);
        EXPECT_EQ(box.buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(box.icon, MessageIcon::Question);
    }
    EXPECT_EQ(closed, (Names{"one", "two"}));
    EXPECT_EQ(workspace.currentFolder(), project); // Zulu was last: the previous one
    EXPECT_EQ(workspace.defaultFolder(), project);

    frontend.clearCalls();
    workspace.confirmations.deleteFolder = false;
    EXPECT_EQ(workspace.deleteFolder(*anim, true), DeleteResult::Refused);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].text, kLastFolderText);
    Folder& anim2 = workspace.createFolder("/a", "Anim 2", FolderKind::Animation);
    workspace.setAnimationFolder(anim);
    EXPECT_EQ(workspace.deleteFolder(*anim, true), DeleteResult::Deleted); // no question
    EXPECT_EQ(workspace.animationFolder(), &anim2);

    addRecord(*project, "kept");
    frontend.clearCalls();
    workspace.deleteAll();
    EXPECT_TRUE(workspace.folders().empty());
    EXPECT_EQ(workspace.currentFolder(), nullptr);
    EXPECT_EQ(closed.back(), "kept");
    EXPECT_TRUE(frontend.messageBoxes().empty());
}

TEST_F(WorkspaceTest, DeleteFractalAsksClosesItsViewAndSelectsANeighbour) {
    FractalRecord& a = addRecord(*project, "a");
    FractalRecord& b = addRecord(*project, "b");
    FractalRecord& c = addRecord(*project, "c", true);
    b.layers[3] = &c;
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_EQ(workspace.deleteFractal(c, true), DeleteResult::Declined);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, "Delete operation");
    EXPECT_EQ(frontend.messageBoxes()[0].text, kDeleteFractalText);
    EXPECT_TRUE(closed.empty());

    // The last one is current: the previous one takes over.
    EXPECT_EQ(workspace.deleteFractal(c, true), DeleteResult::Deleted);
    EXPECT_EQ(closed, (Names{"c"}));
    EXPECT_EQ(detached, (Names{"c"}));
    EXPECT_EQ(project->currentFractal(), &b);
    EXPECT_EQ(b.layers[3], nullptr); // no layer link to a deleted record
    // Otherwise the next one.
    workspace.confirmations.deleteFractal = false;
    FractalRecord& d = addRecord(*project, "d", true);
    EXPECT_EQ(workspace.deleteFractal(a, true), DeleteResult::Deleted);
    EXPECT_EQ(project->currentFractal(), &d); // not the deleted one: stays
    workspace.selectFractal(b);
    EXPECT_EQ(workspace.deleteFractal(b, true), DeleteResult::Deleted);
    EXPECT_EQ(project->currentFractal(), &d);
    EXPECT_EQ(frontend.messageBoxes().size(), 2u);

    FractalRecord loose;
    EXPECT_EQ(workspace.deleteFractal(loose, false), DeleteResult::NotMember);
}

TEST_F(WorkspaceTest, ProjectEntriesMoveToAnotherFolderSortedAndSelected) {
    Folder& target = workspace.createFolder("/p", "Target", FolderKind::Project);
    FractalRecord& m = addRecord(*project, "Mandel", true);
    FractalRecord& n = addRecord(*project, "Next");
    addRecord(target, "Mandel");
    addRecord(target, "Zeta");
    EXPECT_EQ(workspace.moveFractal(m, target), MoveResult::Moved);
    EXPECT_EQ(namesOf(*project), (Names{"Next"}));
    EXPECT_EQ(namesOf(target), (Names{"Mandel", "Mandel.1", "Zeta"}));
    EXPECT_EQ(m.folder, &target);
    EXPECT_EQ(target.currentFractal(), &m);
    EXPECT_EQ(project->currentFractal(), &n);
    EXPECT_EQ(detached, (Names{"Mandel"}));

    // Dropping on an entry of a project folder is dropping on the folder.
    EXPECT_EQ(workspace.dropTreeNode({nullptr, &n}, {nullptr, &m}), MoveResult::Moved);
    EXPECT_EQ(n.folder, &target);
    EXPECT_EQ(workspace.moveFractal(n, target), MoveResult::Unchanged);
    EXPECT_EQ(workspace.dropTreeNode({project, nullptr}, {&target, nullptr}),
              MoveResult::FolderNotMovable);
}

TEST_F(WorkspaceTest, AnimationEntriesKeepTheirOrderAndFollowTheDropRules) {
    FractalRecord& a = addRecord(*anim, "A");
    FractalRecord& b = addRecord(*anim, "B");
    FractalRecord& k1 = addRecord(*anim, "K1", false, kEntryKeyFrame);
    addRecord(*anim, "K2", false, kEntryKeyFrame);
    FractalRecord& c = addRecord(*anim, "C");
    EXPECT_EQ(workspace.dropTreeNode({nullptr, &c}, {anim, nullptr}), MoveResult::Moved);
    EXPECT_EQ(namesOf(*anim), (Names{"C", "A", "B", "K1", "K2"}));
    EXPECT_EQ(anim->currentFractal(), &c);
    EXPECT_EQ(workspace.moveFractal(c, *anim), MoveResult::Unchanged);

    // Behind the entry and the kind-10 entries that follow it.
    EXPECT_EQ(workspace.moveFractalAfter(a, b), MoveResult::Moved);
    EXPECT_EQ(workspace.moveFractalAfter(c, b), MoveResult::Moved);
    EXPECT_EQ(namesOf(*anim), (Names{"B", "K1", "K2", "C", "A"}));
    EXPECT_EQ(workspace.moveFractalAfter(c, b), MoveResult::Unchanged);
    EXPECT_EQ(workspace.moveFractalAfter(k1, c), MoveResult::KeyFrameNotMovable);
    EXPECT_TRUE(detached.empty()); // reordering keeps the animation link

    // A project entry dropped into the animation: its place counts, its name is unique.
    FractalRecord& p = addRecord(*project, "b");
    EXPECT_EQ(workspace.moveFractalAfter(p, b), MoveResult::Moved);
    EXPECT_EQ(namesOf(*anim), (Names{"B", "K1", "K2", "b.1", "C", "A"}));
    EXPECT_EQ(detached, (Names{"b"}));
    addRecord(*project, "Z");
    EXPECT_EQ(workspace.moveFractal(a, *project), MoveResult::Moved);
    EXPECT_EQ(namesOf(*project), (Names{"A", "Z"}));
}
