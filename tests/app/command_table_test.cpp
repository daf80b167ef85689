#include "app/command_table.h"
#include "app/settings.h"
#include "model/type_registry.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace vortimax {
namespace {

// Every menu command id of the program, written out one by one.
constexpr int kAllCommandIds[] = {
    29002, 29103, 29191, 29107, 29109, 29131, 29132,                             // folder
    29015, 29016, 29017, 29018, 29019, 29020, 29021, 29022, 29023, 29177, 29178, // new
    29187, 29189, 29190,                                                         // new
    29110, 29106, 29133, 29134,                                                  // fractal
    29005, 29006, 29138, 29135, 29136, 29137,                                    // palette
    29008, 29176, 29010, 29009, 29011, 29026, 29027, 29034, 29041, 29035, 29024, 29036,
    29037, 29143, 29144, 29028,                             // edit
    29150, 29151, 29152, 29153, 29154, 29155, 29156, 29175, // image
    29181, 29182, 29140, 29030, 29122, 29184, 29185,        // view
    29087, 29088, 29084, 29051, 29048, 29141, 29052,        // tools
    29163, 29164, 29165, 29166, 29167, 29168, 29169, 29170, 29171, 29172, 29173, 29174,
    29188, 29129, 29183, 29056, 29057, 29058, 29139, 29142, 29063, 29123, 29126, // windows
    29067, 29068, 29069, 29032, 29038, 29179, 29100, 29101,                      // settings
    29094, 29128, 29095, 29097, 29099, 29098, 29096,                             // confirm
    29145, 29148, 29146, 29147, 29118, 29120,                                    // network
    29089, 29090, 29186,                                                         // help
};

TEST(CommandTable, HoldsExactlyTheMenuCommandsOnceEach) {
    std::set<int> expected;
    for (int id : kAllCommandIds) {
        EXPECT_TRUE(expected.insert(id).second) << "listed twice: " << id;
        const CommandRow* row = findCommand(id);
        ASSERT_NE(row, nullptr) << id;
        EXPECT_EQ(row->id, id);
        EXPECT_FALSE(row->menuPath.empty()) << id;
    }
    std::set<int> actual;
    for (const CommandRow& row : commandTable())
        EXPECT_TRUE(actual.insert(row.id).second) << "duplicate row: " << row.id;
    EXPECT_EQ(actual, expected);
}

TEST(CommandTable, HelpTextsHandlersAndValues) {
    for (int id : {0, -1, 212, 28999, 29001, 29500, 32000, 1 << 30}) {
        EXPECT_EQ(findCommand(id), nullptr) << id;
        EXPECT_TRUE(helpText(id).empty()) << id;
    }
    EXPECT_EQ(helpText(29034), "Brings up a selection rectangle in the current fractal window");
    EXPECT_EQ(helpText(29107), "Saves a folder (i.e. a parameter file or a project)");
    EXPECT_EQ(helpText(29191), "Creates a new animation in which you can store key frames");
    EXPECT_EQ(helpText(29015), "Creates a new 24 bit Julia fractal in the current project");
    EXPECT_TRUE(helpText(29036).empty());
    EXPECT_EQ(findCommand(29132)->handler, CommandHandler::None);
    EXPECT_EQ(findCommand(29131)->handler, CommandHandler::Widget);
    EXPECT_EQ(findCommand(29034)->handler, CommandHandler::Model);
    // The image filter numbers are not in menu order.
    EXPECT_EQ(findCommand(29154)->value, 5);
    EXPECT_EQ(findCommand(29155)->value, 4);
    EXPECT_EQ(findCommand(29128)->value, static_cast<int>(Confirmation::DelProj));
}

TEST(CommandTable, NewFractalRowsFollowTheTypeRegistry) {
    EXPECT_EQ(
        std::ranges::count_if(commandTable(),
                              [](const CommandRow& row) { return row.fractalType.has_value(); }),
        std::ssize(fractalTypes()));
    for (const FractalTypeInfo& type : fractalTypes()) {
        const CommandRow* row = findCommand(type.menuCommand);
        ASSERT_NE(row, nullptr) << type.menuCommand;
        EXPECT_EQ(row->fractalType, type.id);
        EXPECT_EQ(row->handler, CommandHandler::Model);
        EXPECT_NE(row->help.find(type.menuText), std::string::npos) << row->help;
    }
}

TEST(ToolbarButtons, HelpTexts) {
    constexpr int kIds[] = {212, 213, 214, 218, 215, 216, 205, 204, 206,
                            207, 219, 210, 211, 217, 741, 742, 740, 743};
    ASSERT_EQ(toolbarButtons().size(), std::size(kIds));
    for (int id : kIds) {
        ASSERT_NE(findToolbarButton(id), nullptr) << id;
        EXPECT_FALSE(findToolbarButton(id)->help.empty()) << id;
    }
    EXPECT_EQ(findToolbarButton(213)->help,
              "Loads files, i.e. *.map, *.par, *.frm and *.png files");
    EXPECT_EQ(findToolbarButton(29034), nullptr);
}

} // namespace
} // namespace vortimax
