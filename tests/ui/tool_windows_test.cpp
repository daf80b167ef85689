#include "app/formula_libraries.h"
#include "app/menu_state.h"
#include "app/tool_window_registry.h"
#include "formula/function_table.h"
#include "formula/library_load.h"
#include "model/descriptor_tables.h"
#include "model/fractal_view.h"
#include "model/undo_history.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui/tool_windows/param_editors.h"
#include "ui/tool_windows/size_window.h"
#include "ui_fixture.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace vortimax {
namespace {

constexpr int kNewMandel24 = 29016;
constexpr int kNewMandel = 29018;
constexpr int kNewTieraMandel = 29178;
constexpr int kNewFormula = 29019;
constexpr int kNewCompound = 29187;
constexpr int kUndo = 29026;

class ToolWindowsTest : public test::UiFixture {
protected:
    ui::ToolWindow* open(std::string_view keyword) {
        auto row = ToolWindowRegistry::findByKeyword(keyword);
        return row ? main->openToolWindow(*row) : nullptr;
    }
    template <typename Widget> static Widget* field(QWidget* window, std::string_view key) {
        return window->findChild<Widget*>(QString::fromLatin1(key.data(), key.size()));
    }
    // Types the text and presses Return, as a person would.
    static void enter(QLineEdit* edit, const QString& text) {
        edit->setText(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
    }
    std::string undoText() const { return menuItemState(*app, kUndo).text; }
    static bool settled(const FractalRecord& record) {
        return test::processUntil(
            [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; });
    }
};

TEST_F(ToolWindowsTest, MaxIterFromTheParameterWindowIsAnUndoStepAndRecalculates) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::ToolWindow* window = open("PARM1");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowId(), 280);
    EXPECT_EQ(window->windowTitle().toStdString(), "Parameters - " + record.name);
    auto* maxIter = field<QSpinBox>(window, "MaxIter");
    ASSERT_NE(maxIter, nullptr);
    const int oldValue = record.params().integer("MaxIter");
    EXPECT_EQ(maxIter->value(), oldValue);
    const std::vector<float> before = record.view->buffers().values;

    maxIter->setValue(3);
    EXPECT_EQ(record.params().integer("MaxIter"), 3);
    EXPECT_EQ(undoText(), "Undo: MaxIter");
    EXPECT_EQ(main->action(kUndo)->text(), "Undo: MaxIter"); // the menus were refreshed
    ASSERT_TRUE(settled(record));
    EXPECT_NE(record.view->buffers().values, before);

    main->action(kUndo)->trigger();
    EXPECT_EQ(record.params().integer("MaxIter"), oldValue);
    EXPECT_EQ(maxIter->value(), oldValue); // the window follows the undo
    ASSERT_TRUE(settled(record));
}

// Text that reads as no number leaves the fractal alone, and the field shows its value again.
TEST_F(ToolWindowsTest, TextThatIsNoNumberChangesNothing) {
    FractalRecord& record = createFromMenu(kNewMandel);
    auto* bailout = field<QLineEdit>(open("PARM1"), "Bailout");
    ASSERT_NE(bailout, nullptr);
    const QString shown = bailout->text();
    const double old = record.params().real("Bailout");
    enter(bailout, QStringLiteral("abc"));
    EXPECT_EQ(record.params().real("Bailout"), old);
    EXPECT_EQ(bailout->text(), shown);
    EXPECT_EQ(record.view->undoHistory().entryCount(), 0u);
}

// Every row is in exactly one window; the windows follow the current fractal's type.
TEST_F(ToolWindowsTest, RowsAreSplitBetweenTheWindowsByType) {
    const std::string_view keywords[] = {"PARM1", "PARM2", "AREA", "Colormapping"};
    struct Case {
        int newCommand;
        std::string_view key;
        std::string_view window;
    } const cases[] = {
        {kNewMandel, "MaxIter", "PARM1"},
        {kNewMandel, "Fn1", "PARM1"},
        {kNewMandel, "Inside", "PARM2"},
        {kNewMandel, "Decomp", "PARM2"},
        {kNewMandel, "TopLeftR", "AREA"},
        {kNewMandel, "InvRadius", "AREA"},
        {kNewMandel, "ColormodeType", "Colormapping"},
        {kNewMandel24, "Inside", "PARM1"},
        {kNewMandel24, "Cr", "PARM1"},
    };
    for (const Case& c : cases) {
        createFromMenu(c.newCommand);
        for (std::string_view keyword : keywords) {
            ui::ToolWindow* window = open(keyword);
            ASSERT_NE(window, nullptr) << keyword;
            QWidget* control = field<QWidget>(window, c.key);
            EXPECT_EQ(control != nullptr && control->isEnabled(), keyword == c.window)
                << c.key << " in " << keyword << " for type " << c.newCommand;
        }
    }
    createFromMenu(kNewMandel);
    auto* fn1 = field<QComboBox>(open("PARM1"), "Fn1");
    ASSERT_NE(fn1, nullptr);
    ASSERT_EQ(fn1->count(), kFunctionCount);
    for (int i = 0; i < kFunctionCount; ++i)
        EXPECT_EQ(fn1->itemText(i).toStdString(), functionName(i));
}

// File / Fractal makes plasma clouds and dynamic systems, and both calculate; the
// parameter window names the system and refuses a Delta it cannot calculate with,
// saying why.
TEST_F(ToolWindowsTest, PlasmaAndDynamicSystemFromTheMenuAndARefusedDelta) {
    FractalRecord& plasma = createFromMenu(29020);
    EXPECT_EQ(plasma.type, kTypePlasma);
    EXPECT_FALSE(plasma.view->failure().failed);
    FractalRecord& system = createFromMenu(29023);
    EXPECT_EQ(system.type, kTypeDynamicSystem);
    EXPECT_FALSE(system.view->failure().failed);
    ui::ToolWindow* window = open("PARM1");
    ASSERT_NE(window, nullptr);
    const auto labels = window->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
        return label->text() == QStringLiteral("System: Lorenz");
    }));
    auto* delta = field<QLineEdit>(window, "Delta");
    ASSERT_NE(delta, nullptr);
    const QString shown = delta->text();
    enter(delta, QStringLiteral("0"));
    EXPECT_EQ(system.params().real("Delta"), 0.1);
    EXPECT_EQ(delta->text(), shown);
    ASSERT_FALSE(scripted.messageBoxes().empty());
    EXPECT_NE(scripted.messageBoxes().back().text.find("Delta must be greater than 0"),
              std::string::npos);
    EXPECT_EQ(system.view->undoHistory().entryCount(), 0u);
}

// The formula of a Formula fractal is chosen from the loaded formulas or typed; a name no
// loaded formula has is marked.
TEST_F(ToolWindowsTest, FormulaNameOffersTheLoadedFormulasAndMarksAnUnknownOne) {
    loadLibraryText(app->formulaLibraries().formulas(),
                    "Basic {z = pixel: z = z*z + pixel, |z| <= 4}\n"
                    "Cubic {z = pixel: z = z*z*z + pixel, |z| <= 4}\n");
    FractalRecord& record = createFromMenu(kNewFormula);
    QComboBox* name = nullptr;
    for (std::string_view keyword : {"PARM1", "PARM2"})
        if (auto* found = field<QComboBox>(open(keyword), "FormulaName");
            found && found->isEnabled())
            name = found;
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(name->isEditable());
    const auto names = app->formulaLibraries().entryNames(LibraryKind::Formula);
    ASSERT_EQ(names, (std::vector<std::string>{"Basic", "Cubic"}));
    EXPECT_EQ(name->count(), static_cast<int>(names.size()));
    EXPECT_EQ(name->currentText().toStdString(), record.params().text("FormulaName"));
    EXPECT_EQ(name->toolTip(), QStringLiteral("FormulaName"));

    enter(name->lineEdit(), QStringLiteral("NoSuchFormula"));
    EXPECT_EQ(record.params().text("FormulaName"), "NoSuchFormula");
    EXPECT_EQ(name->toolTip(), QStringLiteral("No loaded entry is called \"NoSuchFormula\""));
    name->setCurrentIndex(1);
    Q_EMIT name->activated(1);
    EXPECT_EQ(record.params().text("FormulaName"), "Cubic");
    EXPECT_EQ(name->toolTip(), QStringLiteral("FormulaName"));
}

// A compound's window offers the fractals of its folder as layers (marking a name none
// has) and names the merge types and the value buffers.
TEST_F(ToolWindowsTest, CompoundWindowOffersTheFolderAsLayersAndNamesTheMergeTypes) {
    FractalRecord& mandel = createFromMenu(kNewMandel);
    FractalRecord& compound = createFromMenu(kNewCompound);
    ui::ToolWindow* window = open("PARM1");
    auto* layer = field<QComboBox>(window, "Layer0");
    ASSERT_NE(layer, nullptr);
    std::vector<std::string> offered;
    for (int i = 0; i < layer->count(); ++i)
        offered.push_back(layer->itemText(i).toStdString());
    EXPECT_NE(std::find(offered.begin(), offered.end(), mandel.name), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), compound.name), offered.end());

    enter(layer->lineEdit(), QStringLiteral("Nowhere"));
    EXPECT_EQ(compound.params().text("Layer0"), "Nowhere");
    EXPECT_EQ(layer->toolTip(), QStringLiteral("No fractal of this folder is called \"Nowhere\""));
    ASSERT_TRUE(test::processUntil([&] { return compound.view->failure().failed; }));
    enter(layer->lineEdit(), QString::fromStdString(mandel.name));
    EXPECT_EQ(compound.layers[0], &mandel);
    EXPECT_EQ(layer->toolTip(), QStringLiteral("Layer0"));
    EXPECT_TRUE(settled(compound));

    auto* merge = field<QComboBox>(window, "MergeType");
    ASSERT_NE(merge, nullptr);
    ASSERT_EQ(merge->count(), 14);
    EXPECT_EQ(merge->itemText(6), QStringLiteral("Buffer Add"));
    merge->setCurrentIndex(6);
    Q_EMIT merge->activated(6);
    EXPECT_EQ(compound.params().integer("MergeType"), 6);
    auto* buffer = field<QComboBox>(window, "Buffer3");
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->count(), 3);
}

// Rows without a label of their own get one made from the key; the key is the tool-tip.
TEST(ParameterLabels, RowsWithoutALabelGetAReadableOne) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"TestForFinite", "Test for finite"},
        {"_dr", "Working value dr"},
        {"Knoty20", "Knoty 20"},
        {"MaxIter", "Max iter"},
        {"fn1", "fn 1"},
        {"OvlType", "Ovl type"},
    };
    ParamDescriptor row;
    for (const auto& [key, label] : cases) {
        row.key = key;
        EXPECT_EQ(ui::readableLabel(row), label) << key;
    }
    row.label = "Decomposition";
    EXPECT_EQ(ui::readableLabel(row), "Decomposition");
}

TEST_F(ToolWindowsTest, AreaCoordinatesKeepEveryDigitAndUntouchedFieldsWriteNothing) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::ToolWindow* window = open("AREA");
    auto* topLeft = field<QLineEdit>(window, "TopLeftR");
    ASSERT_NE(topLeft, nullptr);

    // A value with more binary digits than 40 decimal digits hold: written back from its
    // text it would change.
    BigFixed::Words words{0x89abcdef, 0x01234567, 0xfedcba98, 0x76543210, 0x13579bdf,
                          0x2468ace0, 0x0f1e2d3c, 0x4b5a6978, 0x55aa55aa, 0xfffffe80};
    const BigFixed fine = BigFixed::fromWords(words);
    ASSERT_NE(BigFixed::fromText(fine.toText(), BigFixed::kFileDigitLimit), fine);
    record.params().setBigFixed("TopLeftR", fine);
    main->refreshAll();
    enter(topLeft, topLeft->text());
    EXPECT_EQ(record.params().bigFixed("TopLeftR"), fine);
    EXPECT_EQ(record.view->undoHistory().entryCount(), 0u);

    const std::string precise = "-2.0123456789012345678901234567890123";
    enter(topLeft, QString::fromStdString(precise));
    EXPECT_EQ(record.params().bigFixed("TopLeftR").toText(), precise);
    EXPECT_EQ(undoText(), "Undo: TopLeftR");
    EXPECT_EQ(topLeft->text().toStdString(), precise);
    ASSERT_TRUE(settled(record));
}

// Arrows step by the row's increment, held within its range.
TEST_F(ToolWindowsTest, ThreeDWindowStepsByTheRowIncrement) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::ToolWindow* window = open("DIMS1");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowId(), 400);
    const DescriptorTable& table = settings3DTable();
    for (std::string_view key : {"ObserverVAngle", "Backgroundred", "ColorRed"}) {
        const ParamDescriptor& row = table.row(*table.find(key));
        const bool real = row.kind == ParamKind::Real;
        auto value = [&] {
            return real ? record.settings3D().real(key) : record.settings3D().integer(key);
        };
        const double expected = std::min(value() + row.increment, row.maximum);
        auto* box = field<QAbstractSpinBox>(window, key);
        ASSERT_NE(box, nullptr) << key;
        box->stepBy(1);
        EXPECT_DOUBLE_EQ(value(), expected) << key;
        EXPECT_EQ(undoText(), "Undo: " + std::string(row.label.empty() ? row.key : row.label));
        ASSERT_TRUE(settled(record));
    }
}

// The second parameter window of a Tierazon type names the filter and the colour method;
// picking one stores its number.
TEST_F(ToolWindowsTest, TierazonFilterAndMethodAreChosenByName) {
    FractalRecord& record = createFromMenu(kNewTieraMandel);
    ui::ToolWindow* window = open("PARM2");
    ASSERT_NE(window, nullptr);
    auto* filter = field<QComboBox>(window, "Analysis");
    auto* method = field<QComboBox>(window, "Operation");
    ASSERT_NE(filter, nullptr);
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(filter->count(), 56);
    EXPECT_EQ(filter->itemText(55), "Coeff_0 (Sub)");
    EXPECT_EQ(method->count(), 38);
    EXPECT_EQ(filter->itemText(32), "Diamonds");
    EXPECT_EQ(method->itemText(2), "Sine of saved value");
    EXPECT_EQ(filter->currentIndex(), 0);
    filter->setCurrentIndex(32);
    Q_EMIT filter->activated(32);
    EXPECT_EQ(record.params().integer("Analysis"), 32);
    ASSERT_TRUE(settled(record));
}

TEST_F(ToolWindowsTest, ColourMappingChoiceOnlyRecolours) {
    FractalRecord& record = createFromMenu(kNewMandel);
    auto* rule = field<QComboBox>(open("Colormapping"), "ColormodeType");
    ASSERT_NE(rule, nullptr);
    QStringList names;
    for (int i = 0; i < rule->count(); ++i)
        names << rule->itemText(i);
    EXPECT_EQ(names, (QStringList{"Linear", "Log", "Arctan", "Sinus"}));
    const std::vector<float> values = record.view->buffers().values;
    const std::vector<std::uint8_t> pixels = record.view->buffers().pixels;

    rule->setCurrentIndex(2);
    Q_EMIT rule->activated(2);
    EXPECT_EQ(record.params().integer("ColormodeType"), 2);
    EXPECT_EQ(undoText(), "Undo: ColormodeType");
    ASSERT_TRUE(settled(record));
    EXPECT_EQ(record.view->buffers().values, values);
    EXPECT_NE(record.view->buffers().pixels, pixels);
}

TEST_F(ToolWindowsTest, SizeWindowResizesTheOpenFractalOrSetsTheDefault) {
    ui::ToolWindow* window = open("Sizewindow");
    ASSERT_NE(window, nullptr);
    auto button = [&](const ui::SizeWindow::Size& size) {
        const QString text = QStringLiteral("%1 x %2").arg(size.width).arg(size.height);
        for (auto* candidate : window->findChildren<QPushButton*>())
            if (candidate->text() == text)
                return candidate;
        return static_cast<QPushButton*>(nullptr);
    };
    ASSERT_EQ(window->findChildren<QPushButton*>().size(), ui::SizeWindow::sizes().size());
    const ui::SizeWindow::Size first = ui::SizeWindow::sizes()[8];
    const ui::SizeWindow::Size second = ui::SizeWindow::sizes()[9];

    button(first)->click(); // no fractal open: the size of new fractals
    EXPECT_EQ(app->views().defaultWidth, first.width);
    EXPECT_EQ(app->views().defaultHeight, first.height);

    FractalRecord& record = createFromMenu(kNewMandel);
    open("Sizewindow");
    EXPECT_TRUE(button(first)->isChecked());
    button(second)->click();
    EXPECT_EQ(record.width, second.width);
    EXPECT_EQ(record.height, second.height);
    EXPECT_EQ(app->views().defaultWidth, second.width);
    ASSERT_TRUE(settled(record));
    EXPECT_EQ(record.view->buffers().width, second.width);
    EXPECT_EQ(main->fractalWindow(record)->canvas().size(), QSize(second.width, second.height));
    EXPECT_TRUE(button(second)->isChecked());
    EXPECT_FALSE(button(first)->isChecked());
}

TEST_F(ToolWindowsTest, CommentWindowEditsTheShownFractalsComment) {
    FractalRecord& first = createFromMenu(kNewMandel);
    ui::ToolWindow* window = open("Comment");
    auto* text = window->findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    text->setPlainText(QStringLiteral("line 1\nline 2"));
    text->document()->setModified(true);
    window->findChild<QPushButton*>()->click();
    EXPECT_EQ(first.comment, "line 1\nline 2");

    // Typed text is kept for its own fractal when another one comes up.
    text->setPlainText(QStringLiteral("changed"));
    text->document()->setModified(true);
    FractalRecord& second = createFromMenu(kNewMandel24);
    main->refreshAll();
    EXPECT_EQ(first.comment, "changed");
    EXPECT_EQ(text->toPlainText().toStdString(), second.comment);
}

} // namespace
} // namespace vortimax
