#include "app/command_table.h"
#include "app/settings.h"
#include "model/type_registry.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace vortimax {
namespace {

// Lookups search the table by id: it must be sorted, without repeats, and every row must
// be found again.
TEST(CommandTable, RowsAreSortedUniqueAndFoundById) {
    int previous = 0;
    for (const CommandRow& row : commandTable()) {
        EXPECT_LT(previous, row.id) << "out of order or repeated: " << row.id;
        previous = row.id;
        EXPECT_EQ(findCommand(row.id), &row) << row.id;
        EXPECT_FALSE(row.menuPath.empty()) << row.id;
    }
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

TEST(ToolbarButtons, EveryButtonHasItsOwnIdAndHelpText) {
    std::set<int> ids;
    for (const ToolbarButtonRow& button : toolbarButtons()) {
        EXPECT_TRUE(ids.insert(button.id).second) << button.id;
        EXPECT_EQ(findToolbarButton(button.id), &button);
        EXPECT_FALSE(button.help.empty()) << button.id;
    }
    EXPECT_EQ(findToolbarButton(213)->help,
              "Loads files, i.e. *.map, *.par, *.frm and *.png files");
    EXPECT_EQ(findToolbarButton(29034), nullptr);
}

} // namespace
} // namespace vortimax
