#include "app/command_table.h"
#include "app/menu_state.h"
#include "app/tool_window_registry.h"
#include "model/fractal_view.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace vortimax {
namespace {

using test::processUntil;
using test::UiFixture;

constexpr int kNewMandel = 29018;
constexpr int kDuplicate = 29134;
constexpr int kScrollbars = 29030;
constexpr int kTile = 29123;
constexpr int kCascade = 29126;
constexpr int kChooseGuiFont = 29179;
constexpr int kCalculateButton = 206;

QSize imageSize(const FractalRecord& record) {
    return {record.width, record.height};
}

QRect onScreen(const QWidget& widget) {
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

using MainWindowTest = UiFixture;

TEST_F(MainWindowTest, EveryCommandIsInTheMenusWithItsHelpText) {
    EXPECT_EQ(main->windowTitle(), "Vortimax");
    QStringList tops;
    for (QAction* menu : main->menuBar()->actions())
        tops << menu->text();
    EXPECT_EQ(tops, (QStringList{"File", "Edit", "Fractal", "Windows", "Settings", "Help"}));
    for (const CommandRow& row : commandTable()) {
        QAction* action = main->action(row.id);
        ASSERT_NE(action, nullptr) << row.id;
        EXPECT_EQ(action->statusTip().toStdString(), row.help) << row.id;
    }
    EXPECT_EQ(main->action(29018)->statusTip(),
              "Creates a new Mandel fractal in the current project");
    // Toolbars 1 and 2 docked, 3 and 4 closed.
    const auto bars = main->findChildren<QToolBar*>();
    int visible = 0;
    for (QToolBar* bar : bars)
        visible += bar->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 2);
}

// Create a Mandel from the menu, see it calculated in its window, undo a change, close it
// with the confirmation, and refuse to quit.
TEST_F(MainWindowTest, CreateCalculateUndoCloseAndQuit) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::FractalWindow* window = main->fractalWindow(record);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(processUntil([&] { return window->windowTitle() == "Mandeltyp 1 (100%)"; }))
        << window->windowTitle().toStdString();
    const QImage image = window->canvas().currentImage();
    EXPECT_EQ(image.size(), QSize(64, 48));
    EXPECT_NE(image.pixel(0, 0), image.pixel(32, 24)); // outside and inside differ

    EXPECT_FALSE(main->action(29026)->isEnabled());
    main->action(29024)->trigger(); // Defaultvalues: nothing differs, so no step
    EXPECT_FALSE(main->action(29026)->isEnabled());

    main->action(29143)->trigger(); // To Mandel24: an undo step and a new calculation
    EXPECT_EQ(record.type, kTypeMandel24);
    EXPECT_EQ(main->action(29026)->text(), "Undo: Type conversion");
    ASSERT_TRUE(processUntil([&] { return record.view->finished(); }));
    main->action(29026)->trigger();
    EXPECT_EQ(record.type, kTypeMandel);
    EXPECT_EQ(main->action(29027)->text(), "Redo: Type conversion");
    ASSERT_TRUE(processUntil(
        [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; }));

    scripted.queueAnswer(MessageAnswer::No);
    window->close();
    EXPECT_NE(record.view, nullptr);
    scripted.queueAnswer(MessageAnswer::Yes);
    window->close();
    EXPECT_EQ(record.view, nullptr);
    EXPECT_TRUE(main->mdiArea().subWindowList().isEmpty() ||
                processUntil([&] { return main->mdiArea().subWindowList().isEmpty(); }));

    app->settings().setConfirm(Confirmation::End, true);
    scripted.queueAnswer(MessageAnswer::No);
    main->close();
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(app->isShutDown());
    EXPECT_EQ(scripted.messageBoxes().back().caption, "Exiting program");
}

TEST_F(MainWindowTest, StatusBarShowsProgressAndTimedTexts) {
    createFromMenu(kNewMandel);
    main->action(29036)->trigger(); // Boxzoom without a box: the default box and a hint
    ASSERT_NE(main->activeFractalWindow(), nullptr);
    EXPECT_NE(main->activeFractalWindow()->view().selectionLeft, kNoSelection);
    EXPECT_EQ(app->status().text(), "Define the area to zoom in and choose 'Boxzoom in' again...");
    EXPECT_TRUE(processUntil([&] { return app->statusFields().size == "64x48"; }));
}

// Tile and Cascade go the way of a resize by hand: each image takes its window's new
// client size, the width raised to a multiple of 4.
TEST_F(MainWindowTest, TileAndCascadeGiveEveryImageItsWindowsSize) {
    FractalRecord& first = createFromMenu(kNewMandel);
    FractalRecord& second = createFromMenu(kNewMandel);
    for (const int command : {kTile, kCascade}) {
        main->runCommand(command);
        std::vector<std::pair<FractalRecord*, QSize>> wanted;
        for (FractalRecord* record : {&first, &second}) {
            const QSize client = main->fractalWindow(*record)->contentsRect().size();
            const ImageSize rule = windowSizeRule(client.width(), client.height());
            wanted.emplace_back(record, QSize(rule.width, rule.height));
        }
        if (command == kTile) {
            EXPECT_GT(wanted.front().second.width(), 64) << "tiles are larger than the images";
        }
        for (auto& [record, size] : wanted)
            EXPECT_TRUE(processUntil([&] {
                return imageSize(*record) == size && record->view->buffers().width == size.width();
            })) << command;
        EXPECT_EQ(app->views().defaultWidth, wanted.back().second.width());
    }
}

// A fractal in scroll-bar mode opens showing as much of its image as the main window has
// room for.
TEST_F(MainWindowTest, ScrollBarWindowOpensAsLargeAsTheWorkspaceAllows) {
    createFromMenu(kNewMandel);
    main->runCommand(kDuplicate);
    FractalRecord& record = *app->currentFractal();
    ASSERT_EQ(record.view, nullptr);
    record.width = 1600;
    record.height = 1200;
    record.winWidth = 0;
    record.winHeight = 0;
    record.scrollbar = 1;
    main->runToolbarButton(kCalculateButton);
    ASSERT_NE(record.view, nullptr);
    ui::FractalWindow* window = main->fractalWindow(record);
    EXPECT_EQ(window->size(), main->mdiArea().viewport()->size());
    EXPECT_EQ(imageSize(record), QSize(1600, 1200));

    main->runCommand(kScrollbars); // off: the window shows the whole image again
    EXPECT_EQ(window->canvas().size(), QSize(1600, 1200));
    EXPECT_EQ(window->contentsRect().size(), QSize(1600, 1200));
}

// Tool windows stay on the screen: one never placed goes beside the main window, pulled
// in when that is off the screen and kept clear of the fractal; a stored place outside
// the screen is pulled in.
TEST_F(MainWindowTest, ToolWindowsOpenOnTheScreenBesideTheFractal) {
    const QRect screen = main->screen()->availableGeometry();
    main->setGeometry(screen);
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::FractalWindow* fractal = main->fractalWindow(record);
    fractal->move(main->mdiArea().viewport()->width() - fractal->width(), 0);
    const auto sizeRow = ToolWindowRegistry::findByKeyword("Sizewindow");
    const auto commentRow = ToolWindowRegistry::findByKeyword("Comment");
    ASSERT_TRUE(sizeRow && commentRow);
    toolWindowState(app->settings(), *commentRow).x = 5000;
    toolWindowState(app->settings(), *commentRow).y = 4000;
    for (const std::size_t row : {*sizeRow, *commentRow}) {
        const ui::ToolWindow* window = main->openToolWindow(row);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(screen.contains(window->frameGeometry())) << row;
        if (row == *sizeRow) {
            EXPECT_FALSE(window->frameGeometry().intersects(onScreen(*fractal)));
        }
    }
}

TEST_F(MainWindowTest, ChosenGuiFontAppliesAtOnceToEveryWindow) {
    const auto sizeRow = ToolWindowRegistry::findByKeyword("Sizewindow");
    ASSERT_TRUE(sizeRow);
    const ui::ToolWindow* tool = main->openToolWindow(*sizeRow);
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(13);
    QFont offered;
    qtFrontend.setFontRequester([&](const QFont& current) {
        offered = current;
        return std::optional<QFont>(chosen);
    });
    main->runCommand(kChooseGuiFont);
    EXPECT_EQ(offered.family(), "Arial");
    EXPECT_EQ(app->settings().guiFont, (FontSetting{"DejaVu Serif", 13, 1}));
    const std::vector<const QWidget*> widgets{main.get(), main->menuBar(),
                                              main->menuBar()->actions().front()->menu(),
                                              main->statusBar()->findChild<QLabel*>(), tool};
    for (const QWidget* widget : widgets) {
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->font().family(), "DejaVu Serif") << widget->metaObject()->className();
        EXPECT_EQ(widget->font().pointSize(), 13) << widget->metaObject()->className();
    }

    qtFrontend.setFontRequester([](const QFont&) { return std::optional<QFont>(); });
    main->runCommand(kChooseGuiFont); // cancelled: nothing changes
    EXPECT_EQ(app->settings().guiFont.face, "DejaVu Serif");
    EXPECT_EQ(main->menuBar()->font().family(), "DejaVu Serif");
}

class ConfiguredFontTest : public UiFixture {
protected:
    ConfiguredFontTest() : UiFixture("GUIFont \"DejaVu Sans Mono\" 11 1\r\n") {}
};

TEST_F(ConfiguredFontTest, TheConfigurationsGuiFontAppliesAtStart) {
    EXPECT_EQ(app->settings().guiFont, (FontSetting{"DejaVu Sans Mono", 11, 1}));
    for (const QWidget* widget : std::vector<const QWidget*>{main->menuBar(), main->statusBar()}) {
        EXPECT_EQ(widget->font().family(), "DejaVu Sans Mono");
        EXPECT_EQ(widget->font().pointSize(), 11);
    }
}

} // namespace
} // namespace vortimax
