// Deleting and renaming library entries, guarded by the fractals that use them.

#include "app/scripted_frontend.h"
#include "app/workspace_entry_users.h"
#include "formula/library_edit.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "model/workspace.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace vortimax {
namespace {

// Fractals as (kind, entry name) -> fractal names.
class FakeUsers final : public EntryUsers {
public:
    std::vector<std::string> fractalsUsing(LibraryKind kind,
                                           std::string_view entryName) const override {
        const auto it = uses.find({kind, std::string(entryName)});
        return it == uses.end() ? std::vector<std::string>{} : it->second;
    }
    void renameUses(LibraryKind kind, std::string_view oldName, std::string_view newName) override {
        renames.push_back({kind, std::string(oldName) + "->" + std::string(newName)});
    }

    std::map<std::pair<LibraryKind, std::string>, std::vector<std::string>> uses;
    std::vector<std::pair<LibraryKind, std::string>> renames;
};

IfsLibrary libraryOf(std::initializer_list<const char*> names) {
    IfsLibrary library;
    for (const char* name : names) {
        auto entry = std::make_unique<IfsEntry>();
        entry->name = name;
        library.insert(std::move(entry));
    }
    return library;
}

TEST(LibraryDelete, EntriesInUseStay) {
    const struct {
        std::vector<std::string> users;
        std::string text;
    } cases[] = {
        {{"Fern view"},
         "Sorry, but one fractal is currently using the formula \"Fern\",\nnamely:\n- Fern "
         "view\n\nPlease change the formula of this fractal, then\nyou can delete this "
         "formula..."},
        {{"A", "B"},
         "Sorry, but 2 fractals are currently using the formula \"Fern\",\nnamely:\n- A\n- "
         "B\n\nPlease change the formula of those fractals, then\nyou can delete this "
         "formula..."},
    };
    for (const auto& c : cases) {
        IfsLibrary library = libraryOf({"Fern", "Tri"});
        FakeUsers users;
        users.uses[{LibraryKind::Ifs, "Fern"}] = c.users;
        ScriptedFrontend frontend;
        IfsEntry& fern = *library.find("Fern");
        const auto result = deleteEntry(library, fern, users, true, frontend);
        EXPECT_FALSE(result.deleted);
        EXPECT_EQ(result.select, &fern);
        EXPECT_EQ(library.size(), 2u);
        const auto boxes = frontend.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Deletion not possible");
        EXPECT_EQ(boxes[0].icon, MessageIcon::Information);
        EXPECT_EQ(boxes[0].text, c.text);
    }
}

TEST(LibraryDelete, ConfirmationAndNextSelection) {
    const struct {
        const char* name;
        bool confirm;
        std::optional<MessageAnswer> answer;
        bool deleted;
        const char* select; // nullptr: none
    } cases[] = {
        {"B", true, MessageAnswer::Yes, true, "C"}, {"C", true, MessageAnswer::Yes, true, "B"},
        {"B", true, MessageAnswer::No, false, "B"}, {"B", true, MessageAnswer::Cancel, false, "B"},
        {"A", false, std::nullopt, true, "B"},
    };
    for (const auto& c : cases) {
        IfsLibrary library = libraryOf({"C", "A", "B"});
        FakeUsers users; // fractals of another kind do not hold an entry
        users.uses[{LibraryKind::Formula, c.name}] = {"a formula fractal"};
        ScriptedFrontend frontend;
        if (c.answer) {
            frontend.queueAnswer(*c.answer);
        }
        const auto result = deleteEntry(library, *library.find(c.name), users, c.confirm, frontend);
        EXPECT_EQ(result.deleted, c.deleted) << c.name;
        EXPECT_EQ(library.find(c.name) == nullptr, c.deleted) << c.name;
        ASSERT_NE(result.select, nullptr);
        EXPECT_EQ(result.select->name, c.select);
        const auto boxes = frontend.messageBoxes();
        ASSERT_EQ(boxes.size(), c.confirm ? 1u : 0u);
        if (c.confirm) {
            EXPECT_EQ(boxes[0].caption, "Delete operation");
            EXPECT_EQ(boxes[0].text,
                      "You are about to delete a formula.\n\nDo you really want to delete it?");
            EXPECT_EQ(boxes[0].buttons, MessageButtons::YesNoCancel);
        }
    }
    IfsLibrary single = libraryOf({"Only"});
    FakeUsers users;
    ScriptedFrontend frontend;
    const auto result = deleteEntry(single, *single.find("Only"), users, false, frontend);
    EXPECT_TRUE(result.deleted);
    EXPECT_EQ(result.select, nullptr);
}

TEST(LibraryRename, UsersFollowTheUniqueNewName) {
    IfsLibrary library = libraryOf({"Fern", "Tri"});
    FakeUsers users;
    IfsEntry& fern = *library.find("Fern");
    EXPECT_TRUE(renameEntry(library, fern, "tri", users));
    EXPECT_EQ(fern.name, "tri.1");
    EXPECT_EQ(&library[1], &fern); // re-sorted behind "Tri"
    EXPECT_FALSE(renameEntry(library, fern, "tri.1", users));
    for (const char* bad :
         {"", "two words", "paren(x)", "brace{", "}", ";semi", "\x80x", "Comment"}) {
        EXPECT_FALSE(renameEntry(library, fern, bad, users)) << bad;
    }
    EXPECT_EQ(fern.name, "tri.1");
    EXPECT_EQ(users.renames, (std::vector<std::pair<LibraryKind, std::string>>{
                                 {LibraryKind::Ifs, "Fern->tri.1"}}));
}

// The workspace's fractals name formulas in "FormulaName", IFS and L-systems in "Formula".
TEST(WorkspaceEntryUsers, FindsAndRenamesTheFractalsOfTheMatchingType) {
    ScriptedFrontend frontend;
    Workspace workspace(frontend);
    Folder& first = workspace.createFolder("/p", "First", FolderKind::Project);
    Folder& second = workspace.createFolder("/q", "Second", FolderKind::Project);
    const auto add = [&](Folder& folder, std::uint32_t type, const char* name, const char* key,
                         const char* entry) {
        auto record = createRecord(type, 0, RecordCreationContext{});
        record->name = name;
        record->params().setText(key, entry);
        workspace.addFractal(folder, std::move(record), false);
    };
    add(first, kTypeFormula, "f1", "FormulaName", "Julia");
    add(second, kTypeFormula, "f2", "FormulaName", "JULIA");
    add(second, kTypeIfs, "i1", "Formula", "Julia");
    add(second, kTypeLSystem, "l1", "Formula", "Julia");
    add(first, kTypeFormula, "f3", "FormulaName", "Other");
    WorkspaceEntryUsers users(workspace);
    EXPECT_EQ(users.fractalsUsing(LibraryKind::Formula, "julia"),
              (std::vector<std::string>{"f1", "f2"}));
    EXPECT_EQ(users.fractalsUsing(LibraryKind::Ifs, "Julia"), (std::vector<std::string>{"i1"}));
    EXPECT_EQ(users.fractalsUsing(LibraryKind::LSystem, "Julia"), (std::vector<std::string>{"l1"}));
    users.renameUses(LibraryKind::Formula, "Julia", "Julia.1");
    EXPECT_EQ(users.fractalsUsing(LibraryKind::Formula, "Julia.1"),
              (std::vector<std::string>{"f1", "f2"}));
    EXPECT_EQ(users.fractalsUsing(LibraryKind::Ifs, "Julia"), (std::vector<std::string>{"i1"}));
    workspace.deleteAll();
}

} // namespace
} // namespace vortimax
