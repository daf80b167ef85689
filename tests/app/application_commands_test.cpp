#include "app/command_handlers.h"
#include "app/command_table.h"
#include "app/generic_load.h"
#include "app/menu_state.h"
#include "app/parameter_edit.h"
#include "app_fixture.h"
#include "model/param_text.h"
#include "model/view_undo.h"
#include "render/area/area_commands.h"

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::AppFixture;
using test::kNewMandel;
using test::kNewMandel24;

// Every command the table marks as carried out by the program has a handler, and no
// handler serves a command the frontend owns or one that does nothing.
TEST(CommandHandlerTableTest, MatchesTheCommandTable) {
    for (const CommandRow& row : commandTable()) {
        const bool handled = findMenuHandler(row.id) != nullptr;
        EXPECT_EQ(handled, row.handler == CommandHandler::Model) << row.id << " " << row.menuPath;
    }
    for (const CommandHandlerRow& handler : menuCommandHandlers())
        EXPECT_NE(findCommand(handler.id), nullptr) << handler.id;
    for (const CommandHandlerRow& handler : toolbarHandlers())
        EXPECT_NE(findToolbarButton(handler.id), nullptr) << handler.id;
}

class ApplicationCommandTest : public AppFixture {
protected:
    void SetUp() override { ASSERT_TRUE(start().ok); }

    std::string param(const FractalRecord& record, std::string_view key) {
        return displayValue(record.params(), *record.params().table().find(key));
    }
};

TEST_F(ApplicationCommandTest, NewFractalsTakeUniqueNamesInTheCurrentFolder) {
    for (int i = 0; i < 3; ++i)
        create(kNewMandel24);
    std::vector<std::string> names;
    for (const FractalRecord& record : app->workspace().currentFolder()->fractals().all())
        names.push_back(record.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Mandel", "Mandel.1", "Mandel.2"}));
    EXPECT_EQ(app->currentFractal()->type, kTypeMandel24);
    EXPECT_EQ(app->views().openViews.size(), 3u);
}

TEST_F(ApplicationCommandTest, NewFractalWithoutFolderCreatesUnnamed) {
    Workspace& workspace = app->workspace();
    while (workspace.folders().size() > 0)
        workspace.deleteAll();
    create(kNewMandel);
    ASSERT_NE(workspace.currentFolder(), nullptr);
    EXPECT_EQ(workspace.currentFolder()->name(), "Unnamed");
}

TEST_F(ApplicationCommandTest, TaskpriorityAndUnknownIdsChangeNothing) {
    create(kNewMandel);
    const Settings before = app->settings();
    for (int id : {29067, 29068, 29069})
        EXPECT_EQ(app->executeCommand(id), CommandOutcome::NoAction);
    EXPECT_EQ(app->executeCommand(28999), CommandOutcome::Unknown);
    EXPECT_EQ(app->executeCommand(29131), CommandOutcome::ForFrontend); // rename dialog
    EXPECT_TRUE(app->settings() == before);
    EXPECT_TRUE(frontend.messageBoxes().empty());
}

TEST_F(ApplicationCommandTest, CommandsWithoutTheirSubjectAreGreyedAndRefused) {
    EXPECT_EQ(app->currentFractal(), nullptr);
    for (int id : {29024, 29026, 29034, 29036, 29110, 29184, 29143}) {
        EXPECT_EQ(app->executeCommand(id), CommandOutcome::NotAvailable) << id;
        EXPECT_FALSE(menuItemState(*app, id).enabled) << id;
    }
    for (int id : {29145, 29148, 29147, 29120})
        EXPECT_EQ(app->executeCommand(id), CommandOutcome::NotAvailable) << id;
    EXPECT_EQ(app->executeToolbarButton(206), CommandOutcome::NotAvailable);
    // Types the program cannot calculate yet are not offered.
    for (const FractalTypeInfo& type : fractalTypes()) {
        const bool calculable = app->views().drivers[type.id] != nullptr;
        EXPECT_EQ(menuItemState(*app, type.menuCommand).enabled, calculable) << type.id;
        if (!calculable) {
            EXPECT_EQ(app->executeCommand(type.menuCommand), CommandOutcome::NotAvailable);
        }
    }
    EXPECT_EQ(menuItemState(*app, 29026).text, "Undo");
    // The figure types draw with the libraries' definitions.
    EXPECT_TRUE(menuItemState(*app, 29189).enabled); // IFS
    EXPECT_TRUE(menuItemState(*app, 29190).enabled); // LSystem
}

TEST_F(ApplicationCommandTest, SelectionAndBoxZoom) {
    FractalRecord& record = create(kNewMandel);
    FractalView& view = *record.view;
    const std::string left = param(record, "TopLeftR");
    ASSERT_EQ(app->executeCommand(29034), CommandOutcome::Done); // Select
    EXPECT_EQ(view.selectionLeft, 16);
    EXPECT_EQ(view.selectionTop, 36);
    EXPECT_EQ(view.selectionRight, 48);
    EXPECT_EQ(view.selectionBottom, 12);
    app->executeCommand(29035); // Deselect
    EXPECT_EQ(view.selectionLeft, kNoSelection);
    app->executeCommand(29041); // Select all
    EXPECT_EQ(view.selectionRight, 63);
    EXPECT_EQ(view.selectionBottom, 47);

    app->executeCommand(29034);
    app->executeCommand(29036, CommandModifiers{true}); // into a new fractal
    FractalRecord& zoomed = *app->currentFractal();
    ASSERT_NE(&zoomed, &record);
    EXPECT_EQ(param(record, "TopLeftR"), left);
    EXPECT_NE(param(zoomed, "TopLeftR"), left);
    EXPECT_NE(zoomed.view, nullptr);
    EXPECT_EQ(view.selectionLeft, kNoSelection);
    EXPECT_TRUE(testing::settled(zoomed));

    app->selectFractal(record);
    app->executeCommand(29034);
    app->executeCommand(29036);
    EXPECT_EQ(param(record, "TopLeftR"), param(zoomed, "TopLeftR"));
    EXPECT_TRUE(testing::settled(record));
}

TEST_F(ApplicationCommandTest, DefaultValuesAndTypeConversionAreUndoSteps) {
    FractalRecord& record = create(kNewMandel);
    ASSERT_EQ(editParameter(record, ParameterBlock::Parameters, "MaxIter", "777"),
              ParameterEditResult::Applied);
    ASSERT_TRUE(testing::settled(record));
    app->executeCommand(29024);
    EXPECT_EQ(param(record, "MaxIter"), "150");
    EXPECT_EQ(menuItemState(*app, 29026).text, "Undo: Default values");
    app->executeCommand(29026);
    EXPECT_EQ(param(record, "MaxIter"), "777");
    EXPECT_EQ(menuItemState(*app, 29027).text, "Redo: Default values");

    EXPECT_FALSE(menuItemState(*app, 29144).enabled);
    ASSERT_EQ(app->executeCommand(29143), CommandOutcome::Done);
    EXPECT_EQ(record.type, kTypeMandel24);
    EXPECT_EQ(param(record, "MaxIter"), "777");
    EXPECT_EQ(menuItemState(*app, 29026).text, "Undo: Type conversion");
    EXPECT_TRUE(testing::settled(record));
    app->executeCommand(29026);
    EXPECT_EQ(record.type, kTypeMandel);
    EXPECT_TRUE(testing::settled(record));
}

// Zooming and moving are steps of their own: undoing a later parameter change leaves the
// view where it was, and every undo gives back exactly the state before its step.
TEST_F(ApplicationCommandTest, ZoomMoveAndParameterChangeAreUndoneOneByOne) {
    FractalRecord& record = create(kNewMandel);
    std::vector<UndoState> states{undoStateOf(record)};
    app->executeCommand(29034);                                  // Select
    ASSERT_EQ(app->executeCommand(29036), CommandOutcome::Done); // Boxzoom in
    ASSERT_TRUE(testing::settled(record));
    states.push_back(undoStateOf(record));
    ASSERT_TRUE(moveFractal(record, 5, -3, app->views()));
    ASSERT_TRUE(testing::settled(record));
    states.push_back(undoStateOf(record));
    ASSERT_EQ(editParameter(record, ParameterBlock::Parameters, "MaxIter", "321"),
              ParameterEditResult::Applied);
    ASSERT_TRUE(testing::settled(record));
    states.push_back(undoStateOf(record));
    ASSERT_NE(states[1], states[0]);
    ASSERT_NE(states[2], states[1]);

    const char* const labels[] = {"", "Zoom in", "Move", "MaxIter"};
    for (std::size_t step = 3; step >= 1; --step) {
        EXPECT_EQ(menuItemState(*app, 29026).text, std::string("Undo: ") + labels[step]);
        ASSERT_EQ(app->executeCommand(29026), CommandOutcome::Done);
        EXPECT_EQ(undoStateOf(record), states[step - 1]) << labels[step];
        ASSERT_TRUE(testing::settled(record));
    }
    EXPECT_FALSE(menuItemState(*app, 29026).enabled);
    for (std::size_t step = 1; step <= 2; ++step) {
        EXPECT_EQ(menuItemState(*app, 29027).text, std::string("Redo: ") + labels[step]);
        ASSERT_EQ(app->executeCommand(29027), CommandOutcome::Done);
        EXPECT_EQ(undoStateOf(record), states[step]) << labels[step];
        ASSERT_TRUE(testing::settled(record));
    }
}

// Defaultvalues after a zoom takes back the zoom as one step; Ctrl + Boxzoom out gives the
// new fractal the step, the original none.
TEST_F(ApplicationCommandTest, DefaultValuesAfterAZoomAndZoomIntoANewFractalAreSteps) {
    FractalRecord& record = create(kNewMandel);
    const UndoState fresh = undoStateOf(record);
    app->executeCommand(29034);
    app->executeCommand(29037); // Boxzoom out
    ASSERT_TRUE(testing::settled(record));
    const UndoState zoomed = undoStateOf(record);
    app->executeCommand(29024);
    EXPECT_EQ(undoStateOf(record), fresh);
    EXPECT_EQ(menuItemState(*app, 29026).text, "Undo: Default values");
    EXPECT_EQ(record.view->undoHistory().entryCount(), 2u);
    app->executeCommand(29026);
    EXPECT_EQ(undoStateOf(record), zoomed);
    EXPECT_EQ(menuItemState(*app, 29026).text, "Undo: Zoom out");
    ASSERT_TRUE(testing::settled(record));

    app->executeCommand(29034);
    app->executeCommand(29037, CommandModifiers{true});
    FractalRecord& copy = *app->currentFractal();
    ASSERT_NE(&copy, &record);
    ASSERT_NE(copy.view, nullptr);
    EXPECT_EQ(copy.view->undoHistory().entryCount(), 1u);
    EXPECT_EQ(menuItemState(*app, 29026).text, "Undo: Zoom out");
    EXPECT_EQ(record.view->undoHistory().entryCount(), 2u);
    ASSERT_TRUE(testing::settled(copy));
    app->executeCommand(29026);
    EXPECT_EQ(copy.paramBlock, zoomed.params);
    ASSERT_TRUE(testing::settled(copy));
}

TEST_F(ApplicationCommandTest, ConfirmationTogglesReachTheDeletions) {
    FractalRecord& record = create(kNewMandel);
    EXPECT_TRUE(menuItemState(*app, 29095).checked);
    app->executeCommand(29095); // Delete Fractal confirmation off
    EXPECT_FALSE(menuItemState(*app, 29095).checked);
    EXPECT_FALSE(app->settings().confirm(Confirmation::DelPic));
    EXPECT_EQ(app->executeToolbarButton(207), CommandOutcome::Done);
    EXPECT_TRUE(app->workspace().currentFolder()->fractals().empty());
    EXPECT_TRUE(frontend.messageBoxes().empty());
    (void)record;

    app->executeCommand(29100);
    for (bool on : app->settings().confirmations)
        EXPECT_TRUE(on);
    app->executeCommand(29101);
    for (bool on : app->settings().confirmations)
        EXPECT_FALSE(on);
    app->executeCommand(29038);
    EXPECT_FALSE(app->settings().autoSave);
    EXPECT_FALSE(menuItemState(*app, 29038).checked);
}

// Switching the colour depth keeps the calculated values and colours them anew.
TEST_F(ApplicationCommandTest, PaletteModeAnd3DRelayOutTheView) {
    FractalRecord& record = create(kNewMandel);
    const std::vector<float> values = record.view->buffers().values;
    app->executeCommand(29182);
    EXPECT_EQ(record.displayDepth, 24);
    EXPECT_EQ(app->settings().displayDepth, 24);
    EXPECT_TRUE(menuItemState(*app, 29182).checked);
    ASSERT_TRUE(testing::settled(record));
    EXPECT_EQ(record.view->buffers().bytesPerPixel, 3);
    EXPECT_EQ(record.view->buffers().values, values);

    app->executeCommand(29140);
    EXPECT_EQ(record.dims, 1);
    ASSERT_TRUE(testing::settled(record));
    EXPECT_TRUE(record.view->buffers().has3D());
    app->executeCommand(29030);
    EXPECT_EQ(record.scrollbar, 1);
    app->executeCommand(29155);
    EXPECT_EQ(record.imageFilter, 4);
    EXPECT_TRUE(menuItemState(*app, 29155).checked);
}

TEST_F(ApplicationCommandTest, NetworkModeIsHeldByOneFractal) {
    FractalRecord& first = create(kNewMandel);
    app->executeCommand(29122);
    EXPECT_EQ(first.networkMode, 1);
    FractalRecord& second = create(kNewMandel);
    frontend.queueAnswer(MessageAnswer::No);
    app->executeCommand(29122);
    EXPECT_EQ(second.networkMode, 0);
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Network Subsystem");
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "Only one fractal at a time can use the network subsystem.\nCurrently fractal " +
                  first.name +
                  " is using it.\n\nDo you really want to calculate this fractal in network "
                  "mode,\nthus " +
                  first.name + " gets calculated the normal way?");
    EXPECT_FALSE(menuItemState(*app, 29122).checked);
    app->executeCommand(29122);
    EXPECT_EQ(second.networkMode, 1);
    EXPECT_EQ(first.networkMode, 0);
    EXPECT_TRUE(menuItemState(*app, 29122).checked);
    // Switched off again, nobody is asked.
    const std::size_t boxes = frontend.messageBoxes().size();
    app->executeCommand(29122);
    EXPECT_EQ(second.networkMode, 0);
    EXPECT_FALSE(menuItemState(*app, 29122).checked);
    EXPECT_EQ(frontend.messageBoxes().size(), boxes);
}

// The clone button copies a finished image instead of calculating it again.
TEST_F(ApplicationCommandTest, CloneButtonCopiesTheImage) {
    FractalRecord& source = create(kNewMandel);
    ASSERT_EQ(app->executeToolbarButton(740), CommandOutcome::Done);
    FractalRecord& copy = *app->currentFractal();
    ASSERT_NE(&copy, &source);
    ASSERT_NE(copy.view, nullptr);
    ASSERT_TRUE(testing::settled(copy));
    EXPECT_EQ(copy.view->buffers().values, source.view->buffers().values);
    EXPECT_EQ(copy.view->buffers().pixels, source.view->buffers().pixels);
}

TEST_F(ApplicationCommandTest, FoldersAndToolbars) {
    app->executeCommand(29103);
    EXPECT_EQ(app->workspace().currentFolder()->name(), "Change me");
    EXPECT_EQ(app->workspace().currentFolder()->filePath(), dir / "Fractals" / "Change me");
    app->executeCommand(29191);
    EXPECT_EQ(app->workspace().currentFolder()->name(), "Animation.1");
    EXPECT_EQ(app->executeCommand(29109), CommandOutcome::Done); // asked, answered yes
    EXPECT_EQ(app->workspace().folders().size(), 3u);
    app->executeCommand(29173);
    EXPECT_EQ(app->toolbar(3), ToolbarMode::Window);
    EXPECT_TRUE(menuItemState(*app, 29173).checked);
    EXPECT_FALSE(menuItemState(*app, 29174).checked);
}

TEST_F(ApplicationCommandTest, PaletteCommandsRecolourTheCurrentFractal) {
    FractalRecord& record = create(kNewMandel);
    const ColourTable before = record.view->colours;
    app->executeCommand(29137); // Duplicate the default palette: applied to the fractal
    EXPECT_EQ(record.palName, "Palette.1");
    ASSERT_TRUE(testing::settled(record));
    EXPECT_EQ(record.view->colours, before);
    fs::create_directories(dir / "Fractals");
    fs::create_directories(dir / "Pictures");
    frontend.queuePath(dir / "Pictures" / "Mandel.png");
    app->executeCommand(29008);
    EXPECT_TRUE(fs::exists(dir / "Pictures" / "Mandel.png"));
}

// A typed value pauses, applies, records an undo step labelled with the row and renews
// the image; colour-only rows only recolour it.
TEST_F(ApplicationCommandTest, ParameterEditsAreUndoSteps) {
    FractalRecord& record = create(kNewMandel);
    using R = ParameterEditResult;
    EXPECT_EQ(editParameter(record, ParameterBlock::Parameters, "MaxIter", "150"), R::Unchanged);
    EXPECT_EQ(editParameter(record, ParameterBlock::Parameters, "MaxIter", "lots"), R::Rejected);
    EXPECT_EQ(editParameter(record, ParameterBlock::Parameters, "NoSuchKey", "1"), R::Rejected);
    EXPECT_EQ(menuItemState(*app, 29026).text, "Undo");
    EXPECT_EQ(param(record, "MaxIter"), "150");

    ASSERT_EQ(editParameter(record, ParameterBlock::Parameters, "MaxIter", "40"), R::Applied);
    EXPECT_EQ(menuItemState(*app, 29026).text.rfind("Undo: ", 0), 0u);
    ASSERT_TRUE(testing::settled(record));
    const std::vector<float> values = record.view->buffers().values;
    ASSERT_EQ(editParameter(record, ParameterBlock::Parameters, "ColormodeSpeed", "3"), R::Applied);
    ASSERT_TRUE(testing::settled(record));
    EXPECT_EQ(record.view->buffers().values, values); // recoloured, not calculated
    ASSERT_EQ(editParameter(record, ParameterBlock::Settings3D, "YStretch", "2"), R::Applied);
    app->executeCommand(29026);
    ASSERT_TRUE(testing::settled(record));
    EXPECT_EQ(param(record, "MaxIter"), "40");
}

// A Formula fractal calculates with a formula of the libraries, and says so when its
// formula is missing.
TEST_F(ApplicationCommandTest, FormulaFractalsUseTheLoadedLibraries) {
    constexpr int kNewFormula = 29019;
    app->executeCommand(kNewFormula);
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Creating subtask");
    EXPECT_NE(frontend.messageBoxes().back().text.find("isn't available"), std::string::npos);
    EXPECT_EQ(app->currentFractal()->view, nullptr);

    loadFiles(*app, {fs::path(VORTIMAX_DATA_DIR) / "Formulas" / "Starter.frm"});
    FractalRecord& record = create(kNewFormula);
    EXPECT_EQ(param(record, "FormulaName"), "Basic");
    int inside = 0;
    for (float v : record.view->buffers().values)
        inside += v < 0.0f ? 1 : 0;
    EXPECT_GT(inside, 0);
}

TEST_F(ApplicationCommandTest, GenericLoadChoosesByExtension) {
    loadFiles(*app, {});
    EXPECT_EQ(frontend.messageBoxes().back().text, "Nothing selected");
    test::writeBytes(dir / "notes.txt", "x");
    loadFiles(*app, {dir / "notes.txt"});
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Load...");
    EXPECT_NE(frontend.messageBoxes().back().text.find("extension is unknown"), std::string::npos);

    test::writeBytes(dir / "two.PAR", "A {\r\n Type=Mandel\r\n}\r\nB {\r\n}\r\n");
    loadFiles(*app, {dir / "two.PAR"});
    ASSERT_NE(app->workspace().currentFolder(), nullptr);
    EXPECT_EQ(app->workspace().currentFolder()->name(), "Two.Par");
    EXPECT_EQ(app->workspace().currentFolder()->fractals().size(), 2u);
    test::writeBytes(dir / "empty.par", "; nothing here\r\n");
    loadFiles(*app, {dir / "empty.par"});
    EXPECT_NE(frontend.messageBoxes().back().text.find("holds no fractals"), std::string::npos);
    // Only the file that gave fractals joins the recent files.
    EXPECT_EQ(app->settings().recentFiles,
              std::vector<std::string>{(dir / "two.PAR").lexically_normal().string()});

    fs::copy_file(fs::path(VORTIMAX_DATA_DIR) / "Palettes" / "Ocean.map", dir / "Sea.map");
    loadFiles(*app, {dir / "Sea.map"});
    EXPECT_NE(app->palettes().find("Sea"), nullptr);
}

} // namespace
} // namespace vortimax
