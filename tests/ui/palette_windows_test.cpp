#include "app/tool_window_registry.h"
#include "palette/colour_cycling.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui/tool_windows/knot_curve_widget.h"
#include "ui/tool_windows/palette_editor_window.h"
#include "ui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <cmath>

namespace vortimax {
namespace {

constexpr int kInterpolatedColours = 29182;
constexpr int kNewMandel = 29018;
constexpr int kPaletteEditor = 29129;
constexpr int kPaletteGeneration = 29183;
constexpr int kColourCycling = 29142;

class PaletteWindowsTest : public test::UiFixture {
protected:
    template <typename Widget> Widget* field(QWidget* window, const char* name) {
        Widget* widget = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    ui::ToolWindow* openFromMenu(int command) {
        EXPECT_TRUE(main->action(command)->isEnabled()) << command;
        main->action(command)->trigger();
        auto row = ToolWindowRegistry::findByMenuCommand(command);
        return row ? main->findToolWindow(ToolWindowRegistry::row(*row).keyword) : nullptr;
    }
    // The colour table the view shows is its palette at its offset.
    static bool showsPaletteAt(const FractalRecord& record, const Palette& palette, double offset) {
        return record.view->colours.entries == displayForm(palette, offset).entries;
    }
};

TEST_F(PaletteWindowsTest, CyclingRotatesTheShownPaletteAndKeepsTheFractalsSettings) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ASSERT_EQ(record.displayDepth, 8);
    const Palette& palette = app->palettes().findByName(record.palName);
    ui::ToolWindow* window = openFromMenu(kColourCycling);
    ASSERT_NE(window, nullptr);
    const QImage before = main->activeFractalWindow()->canvas().currentImage();

    field<QDoubleSpinBox>(window, "Speed")->setValue(50.0);
    EXPECT_EQ(app->timers().interval(ColourCycling::kTimerId), std::optional<int>(20));
    field<QDoubleSpinBox>(window, "Step")->setValue(3.0);
    field<QCheckBox>(window, "Upwards")->setChecked(false);
    field<QCheckBox>(window, "Cycle")->setChecked(true);
    EXPECT_EQ(record.colCyc, 1);
    EXPECT_EQ(record.colCycUp, 0);
    EXPECT_EQ(record.colCycSpeed, 50.0);
    EXPECT_EQ(record.colCycStep, 3.0);

    ASSERT_TRUE(test::processUntil([&] { return record.palOffset >= 240.0; }));
    field<QCheckBox>(window, "Cycle")->setChecked(false);
    const double offset = record.palOffset;
    EXPECT_EQ(std::fmod(252.0 - offset, 3.0), 0.0); // whole steps of 3 downwards from 0
    EXPECT_TRUE(showsPaletteAt(record, palette, offset));
    EXPECT_EQ(field<QSlider>(window, "Offset")->value(), static_cast<int>(offset));
    EXPECT_NE(main->activeFractalWindow()->canvas().currentImage(), before);

    // The slider sets the offset, and the image shows it.
    field<QSlider>(window, "Offset")->setValue(17);
    EXPECT_EQ(record.palOffset, 17.0);
    EXPECT_TRUE(showsPaletteAt(record, palette, 17.0));

    // Another fractal made active brings its own settings: a new one cycles at 4 steps per
    // second (a tick every 250 ms); going back brings the first one's settings back.
    FractalRecord& other = createFromMenu(kNewMandel);
    main->refreshAll();
    EXPECT_EQ(field<QDoubleSpinBox>(window, "Speed")->value(), other.colCycSpeed);
    EXPECT_EQ(app->timers().interval(ColourCycling::kTimerId), std::optional<int>(250));
    app->selectFractal(record);
    main->refreshAll();
    EXPECT_EQ(field<QDoubleSpinBox>(window, "Step")->value(), 3.0);
    EXPECT_EQ(app->timers().interval(ColourCycling::kTimerId), std::optional<int>(20));
}

TEST_F(PaletteWindowsTest, AKnotAddedOnACurveColoursTheFractalAtOnce) {
    FractalRecord& record = createFromMenu(kNewMandel);
    record.palOffset = 10.0;
    auto* editor = dynamic_cast<ui::PaletteEditorWindow*>(openFromMenu(kPaletteEditor));
    ASSERT_NE(editor, nullptr);
    Palette& palette = app->palettes().findByName(record.palName);
    EXPECT_EQ(editor->editing().palette(), &palette);
    EXPECT_EQ(editor->editing().offset(), 10);

    // Thin the red curve out first, so that a new knot changes colours around it.
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        palette.setKnot(Channel::Red, i, i % 50 == 0);
    editor->refresh();
    ASSERT_EQ(editor->editing().curve(Channel::Red).size(), 6u);

    ui::KnotCurveWidget& red = editor->curve(Channel::Red);
    const QPoint at = red.pointOf(30.0, 240.0).toPoint();
    const int position = static_cast<int>(std::lround(red.positionAt(at.x())));
    const int value = static_cast<int>(std::lround(red.valueAt(at.y())));
    ASSERT_EQ(std::abs(position - 30) <= 1 && std::abs(value - 240) <= 2, true);
    const auto entry = static_cast<std::size_t>(position - 10); // the offset moves it
    QTest::mouseMove(&red, at);
    EXPECT_EQ(field<QLabel>(editor, "ValueRed")->text().toInt(), palette.colour(entry).red);
    QTest::mouseClick(&red, Qt::LeftButton, {}, at);
    ASSERT_EQ(editor->editing().curve(Channel::Red).size(), 7u);
    EXPECT_TRUE(palette.isKnot(Channel::Red, entry));
    EXPECT_EQ(palette.colour(entry).red, value);
    EXPECT_TRUE(showsPaletteAt(record, palette, 10.0));

    // A right click deletes it again.
    QTest::mouseClick(&red, Qt::RightButton, {}, at);
    EXPECT_FALSE(palette.isKnot(Channel::Red, entry));
    EXPECT_TRUE(showsPaletteAt(record, palette, 10.0));
}

TEST_F(PaletteWindowsTest, GeneratorMakesRandomPalettesAndAppliesInPlace) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::ToolWindow* window = openFromMenu(kPaletteGeneration);
    ASSERT_NE(window, nullptr);
    field<QComboBox>(window, "Mode")->setCurrentIndex(2);      // Fourier
    field<QComboBox>(window, "Component")->setCurrentIndex(1); // green
    field<QDoubleSpinBox>(window, "P0")->setValue(100.0);
    field<QPushButton>(window, "Generate")->click();
    EXPECT_EQ(record.palName, "Random");
    const Palette& made = app->palettes().findByName("Random");
    EXPECT_EQ(made.colour(200).green, 100);
    EXPECT_TRUE(showsPaletteAt(record, made, record.palOffset));
    field<QPushButton>(window, "Generate")->click();
    EXPECT_EQ(record.palName, "Random.1");

    // Realtime: each change of a field fills the current palette at once.
    field<QCheckBox>(window, "Realtime")->setChecked(true);
    field<QDoubleSpinBox>(window, "P0")->setValue(30.0);
    EXPECT_EQ(app->palettes().findByName("Random.1").colour(5).green, 30);
    EXPECT_EQ(made.colour(5).green, 100);

    // Refused settings change nothing and say why.
    field<QComboBox>(window, "Mode")->setCurrentIndex(1); // Sine, segment length 0
    field<QPushButton>(window, "Apply")->click();
    EXPECT_NE(field<QLabel>(window, "Refusal")->text().indexOf("segment 1"), -1);
    EXPECT_EQ(scripted.messageBoxes().size(), 1u);
}

// A true-colour fractal is not cycled; an edit of its palette colours the image anew.
TEST_F(PaletteWindowsTest, TrueColourFractalsAreRecolouredNotCycled) {
    FractalRecord& record = createFromMenu(kNewMandel);
    main->action(kInterpolatedColours)->trigger();
    ASSERT_EQ(record.displayDepth, 24);
    ASSERT_TRUE(test::processUntil(
        [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; }));
    ui::ToolWindow* cycling = openFromMenu(kColourCycling);
    field<QCheckBox>(cycling, "Cycle")->setChecked(true);
    const ColourTable shown = record.view->colours;
    for (int tick = 0; tick < 3; ++tick)
        app->onTimer(ColourCycling::kTimerId);
    EXPECT_EQ(record.palOffset, 0.0);
    EXPECT_EQ(record.view->colours, shown);
    field<QCheckBox>(cycling, "Cycle")->setChecked(false);

    auto* editor = dynamic_cast<ui::PaletteEditorWindow*>(openFromMenu(kPaletteEditor));
    ASSERT_NE(editor, nullptr);
    const std::vector<std::uint8_t> before = record.view->buffers().pixels;
    Palette& palette = app->palettes().findByName(record.palName);
    // Green all dark: a knot dragged to the bottom on a flat curve.
    for (std::size_t i = 1; i < kPaletteColours; ++i)
        palette.setKnot(Channel::Green, i, false);
    editor->refresh();
    ASSERT_TRUE(editor->editing().moveKnot(Channel::Green, 0, 0.0, 0.0));
    ASSERT_TRUE(test::processUntil(
        [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; }));
    EXPECT_EQ(palette.colour(100).green, 0);
    EXPECT_TRUE(showsPaletteAt(record, palette, 0.0));
    EXPECT_NE(record.view->buffers().pixels, before);
}

// Clean Up asks about knots beyond the error limit under its caption; Cancel ends it.
TEST_F(PaletteWindowsTest, CleanUpRemovesUnneededKnotsAndAsksAboutTheRest) {
    FractalRecord& record = createFromMenu(kNewMandel);
    auto* editor = dynamic_cast<ui::PaletteEditorWindow*>(openFromMenu(kPaletteEditor));
    ASSERT_NE(editor, nullptr);
    const std::size_t knots = editor->editing().curve(Channel::Red).size();
    field<QDoubleSpinBox>(editor, "Error")->setValue(2.0);
    scripted.queueAnswer(MessageAnswer::Cancel);
    field<QPushButton>(editor, "CleanUp")->click();
    const auto boxes = scripted.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Removing unnecessary knots...");
    EXPECT_NE(boxes[0].text.find("Error limit: \t2.000"), std::string::npos);
    EXPECT_LT(editor->editing().curve(Channel::Red).size(), knots);
    const Palette& palette = app->palettes().findByName(record.palName);
    EXPECT_TRUE(showsPaletteAt(record, palette, record.palOffset));

    // The read-out shows placeholders once the mouse has left the curves.
    ui::KnotCurveWidget& blue = editor->curve(Channel::Blue);
    QTest::mouseMove(&blue, blue.pointOf(5.0, 5.0).toPoint());
    EXPECT_NE(field<QLabel>(editor, "ValueBlue")->text(), "---");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&blue, &leave);
    EXPECT_EQ(field<QLabel>(editor, "ValueBlue")->text(), "---");
}

} // namespace
} // namespace vortimax
