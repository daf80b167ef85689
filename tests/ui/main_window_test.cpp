#include "app/command_table.h"
#include "app/menu_state.h"
#include "app/tool_window_registry.h"
#include "model/fractal_view.h"
#include "model/undo_history.h"
#include "render/area/area.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWheelEvent>
#include <tuple>

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
    // Each top menu and submenu has an access key of its own (Alt+F, Alt+E ...).
    EXPECT_EQ(tops, (QStringList{"&File", "&Edit", "F&ractal", "&Windows", "&Settings", "&Help"}));
    for (QMenu* menu : main->menuBar()->findChildren<QMenu*>()) {
        QString keys;
        for (QAction* item : menu->actions()) {
            if (item->menu() == nullptr)
                continue;
            const qsizetype at = item->text().indexOf(QLatin1Char('&'));
            ASSERT_GE(at, 0) << item->text().toStdString();
            const QChar key = item->text().at(at + 1).toLower();
            EXPECT_FALSE(keys.contains(key)) << item->text().toStdString();
            keys += key;
        }
    }
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

// Edit / Copy image (Ctrl+C) puts the active fractal's picture on the clipboard.
TEST_F(MainWindowTest, CtrlCCopiesTheImage) {
    QAction* copy = main->findChild<QAction*>(QStringLiteral("copyImage"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->shortcut(), QKeySequence(QKeySequence::Copy));
    FractalRecord& record = createFromMenu(kNewMandel);
    QApplication::clipboard()->clear();
    copy->trigger();
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.width(), record.width);
    EXPECT_EQ(copied.height(), record.height);
}

// The notches of one turn of the wheel zoom about the point under the cursor and make one
// undo step; a notch after a pause starts another turn, backwards a "Zoom out".
TEST_F(MainWindowTest, WheelZoomsAboutTheCursorOneStepPerTurn) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::FractalCanvas& canvas = main->fractalWindow(record)->canvas();
    const QPointF cursor(16, 12);
    const auto turn = [&](int delta, quint64 time, Qt::ScrollPhase phase = Qt::NoScrollPhase) {
        QWheelEvent event(cursor, canvas.mapToGlobal(cursor), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, phase, false);
        event.setTimestamp(time);
        QApplication::sendEvent(&canvas, &event);
    };
    const auto settled = [&] {
        return processUntil(
            [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; });
    };
    const RasterSize size{record.width, record.height};
    const double under = pixelToPoint(record, size, 16, 35).re.toDouble();
    const UndoHistory& history = record.view->undoHistory();

    turn(120, 1000);
    turn(120, 1100);
    EXPECT_EQ(history.entryCount(), 1u);
    EXPECT_EQ(main->action(29026)->text(), "Undo: Zoom in");
    EXPECT_DOUBLE_EQ(zoomCount(record), 2.0);
    EXPECT_NEAR(pixelToPoint(record, size, 16, 35).re.toDouble(), under, 1e-15);
    ASSERT_TRUE(settled());

    turn(-120, 5000);
    EXPECT_EQ(history.entryCount(), 2u);
    EXPECT_EQ(main->action(29026)->text(), "Undo: Zoom out");
    EXPECT_DOUBLE_EQ(zoomCount(record), 1.0);
    ASSERT_TRUE(settled());

    // A scroll phase holds the turn together however slow it is, and ends it.
    turn(0, 6000, Qt::ScrollBegin);
    turn(120, 6000, Qt::ScrollUpdate);
    turn(120, 9000, Qt::ScrollUpdate);
    turn(0, 9000, Qt::ScrollEnd);
    EXPECT_EQ(history.entryCount(), 3u);
    turn(120, 9001);
    EXPECT_EQ(history.entryCount(), 4u);
    EXPECT_DOUBLE_EQ(zoomCount(record), 4.0);
    ASSERT_TRUE(settled());
    for (double zooms : {3.0, 1.0, 2.0, 0.0}) {
        main->action(29026)->trigger();
        EXPECT_DOUBLE_EQ(zoomCount(record), zooms);
    }
    ASSERT_TRUE(settled());
}

// The box drawn with the left button keeps the image's proportions while it is drawn, so
// the box shown is the one the zoom takes.
TEST_F(MainWindowTest, DrawnZoomBoxKeepsTheImageProportions) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::FractalCanvas& canvas = main->fractalWindow(record)->canvas();
    const auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, canvas.mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&canvas, &event);
    };
    mouse(QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(42, 12), Qt::LeftButton);
    const FractalView& view = *record.view;
    EXPECT_EQ(
        std::tie(view.selectionLeft, view.selectionTop, view.selectionRight, view.selectionBottom),
        std::make_tuple(10, 10, 42, 34));
    mouse(QEvent::MouseButtonRelease, QPointF(42, 12), Qt::NoButton);
    EXPECT_EQ(view.selectionBottom, 34);
}

// Fit in window shows the whole image scaled to a smaller window; sizing the window then
// changes only the scale, and the mouse still works in image pixels.
TEST_F(MainWindowTest, FitInWindowScalesThePictureNotTheImage) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::FractalWindow& window = *main->fractalWindow(record);
    ui::FractalCanvas& canvas = window.canvas();
    QAction* fit = main->findChild<QAction*>(QStringLiteral("fitInWindow"));
    ASSERT_NE(fit, nullptr);
    const QSize image(record.width, record.height);
    main->mdiArea().setActiveSubWindow(&window);
    fit->setChecked(true);
    Q_EMIT fit->triggered(true);
    ASSERT_TRUE(window.fitsInWindow());
    window.resize((image / 2).grownBy(window.contentsMargins()));
    app->runDueTimers(TimerManager::Clock::now() + std::chrono::seconds(1));
    EXPECT_DOUBLE_EQ(canvas.scale(), 0.5);
    EXPECT_EQ(canvas.size(), image / 2);
    EXPECT_EQ(QSize(record.width, record.height), image); // the image keeps its size

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 4), canvas.mapToGlobal(QPointF(5, 4)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &press);
    EXPECT_EQ(record.view->selectionLeft, 10);
    EXPECT_EQ(record.view->selectionTop, 8);

    Q_EMIT fit->triggered(false);
    EXPECT_DOUBLE_EQ(canvas.scale(), 1.0);
    EXPECT_EQ(canvas.size(), image);
}

TEST_F(MainWindowTest, StatusBarShowsProgressAndTimedTexts) {
    createFromMenu(kNewMandel);
    main->action(29036)->trigger(); // Boxzoom without a box: the default box and a hint
    ASSERT_NE(main->activeFractalWindow(), nullptr);
    EXPECT_NE(main->activeFractalWindow()->view().selectionLeft, kNoSelection);
    EXPECT_EQ(app->status().text(), "Define the area to zoom in and choose 'Boxzoom in' again...");
    EXPECT_TRUE(processUntil([&] { return app->statusFields().size == "64x48"; }));
    // A bar beside "NN% done" follows the calculation; the elapsed time stands beside it.
    auto* bar = main->findChild<QProgressBar*>(QStringLiteral("calculationProgress"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(processUntil([&] { return bar->value() == 100; }));
    EXPECT_FALSE(bar->isHidden());
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
