#include "app/formula_libraries.h"
#include "app/tool_window_registry.h"
#include "formula/library_load.h"
#include "ui/tool_windows/formula_editor_window.h"
#include "ui/tool_windows/ifs_editor_window.h"
#include "ui/tool_windows/lsystem_editor_window.h"
#include "ui_fixture.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <fstream>

namespace vortimax {
namespace {

constexpr int kNewFormula = 29019;

class FormulaEditorTest : public test::UiFixture {
protected:
    template <typename Window> Window* open(std::string_view keyword) {
        auto row = ToolWindowRegistry::findByKeyword(keyword);
        return row ? dynamic_cast<Window*>(main->openToolWindow(*row)) : nullptr;
    }
    ui::FormulaEditorWindow& formulaEditor() {
        auto* editor = open<ui::FormulaEditorWindow>("FormulaJM");
        EXPECT_NE(editor, nullptr);
        return *editor;
    }
    FormulaLibraries& libraries() { return app->formulaLibraries(); }
    // Text typed by the person: the editor holds an edit that was not applied.
    static void type(QPlainTextEdit& edit, const char* text) {
        edit.setPlainText(QString::fromLatin1(text));
        edit.document()->setModified(true);
    }
    std::string lastBoxCaption() const {
        const auto boxes = scripted.messageBoxes();
        return boxes.empty() ? std::string() : boxes.back().caption;
    }
    // A Formula fractal calculated with the formula "Basic", its default.
    FractalRecord& basicFractal() {
        if (libraries().formulas().find("Basic") == nullptr)
            formulaEditor().newEntry();
        FractalRecord& record = createFromMenu(kNewFormula);
        EXPECT_EQ(record.params().text("FormulaName"), "Basic");
        return record;
    }
    static bool settled(const FractalRecord& record) {
        return test::processUntil(
            [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; });
    }
};

TEST_F(FormulaEditorTest, NewAddsACompiledBasicFormulaUnderAFreeName) {
    ui::FormulaEditorWindow& editor = formulaEditor();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(editor.newEntry());
        const FormulaEntry* entry = libraries().formulas().find(editor.currentName());
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->name.substr(0, 5), "Basic");
        EXPECT_EQ(entry->source, "z = Pixel:\nz = z^2 + Pixel\nabs(z) <= 4");
        EXPECT_TRUE(entry->code.isComplete());
        EXPECT_EQ(editor.source().toPlainText().toStdString(), entry->source);
        EXPECT_EQ(editor.list().currentItem()->text().toStdString(), entry->name);
    }
    EXPECT_NE(editor.currentName(), "Basic"); // the second one was renamed

    const std::string original = editor.currentName();
    ASSERT_TRUE(editor.duplicate());
    EXPECT_NE(editor.currentName(), original);
    EXPECT_EQ(libraries().formulas().find(editor.currentName())->source,
              libraries().formulas().find(original)->source);
}

// Saving asks about an edit that was not applied; Yes applies it, so the file holds it.
TEST_F(FormulaEditorTest, SaveTakesAPendingEditAlong) {
    ui::FormulaEditorWindow& editor = formulaEditor();
    ASSERT_TRUE(editor.newEntry());
    const std::string name = editor.currentName();
    scripted.clearCalls();
    type(editor.source(), "\nz = pixel:\nz = z^3 + pixel\n|z| <= 4\n");
    scripted.queuePath(dir / "one.frm");
    EXPECT_EQ(editor.save(), LibrarySaveResult::Saved);
    EXPECT_EQ(scripted.messageBoxes().front().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(libraries().formulas().find(name)->source,
              "\nz = pixel:\nz = z^3 + pixel\n|z| <= 4\n");
    EXPECT_FALSE(editor.source().document()->isModified());

    scripted.queuePath(dir / "all.frm");
    EXPECT_EQ(editor.saveAll(), LibrarySaveResult::Saved);
    for (const char* file : {"one.frm", "all.frm"}) {
        FormulaLibrary read;
        loadLibraryFile(read, dir / file, nullptr);
        ASSERT_NE(read.find(name), nullptr) << file;
        EXPECT_EQ(read.find(name)->code.iteration.front().words,
                  libraries().formulas().find(name)->code.iteration.front().words);
    }
}

// A text that does not compile, or could not be read back from a file, changes nothing.
TEST_F(FormulaEditorTest, ApplyOfARefusedTextChangesNothing) {
    FractalRecord& record = basicFractal();
    ui::FormulaEditorWindow& editor = formulaEditor();
    ASSERT_TRUE(editor.select("Basic"));
    const FormulaEntry& entry = *libraries().formulas().find("Basic");
    const std::string source = entry.source;
    const auto iteration = entry.code.iteration.front().words;
    struct Case {
        const char* text;
        std::string_view caption;
    } const cases[] = {
        {"z = pixel:\nz = z^2 + (pixel\n|z| <= 4", "Parsing formula"},
        {"z = pixel:\n", "Parsing formula"},
        {"z = pixel:\nz = z^2 + pixel ; }\n|z| <= 4", "Formula editor"},
    };
    for (const Case& c : cases) {
        type(editor.source(), c.text);
        EXPECT_FALSE(editor.apply()) << c.text;
        EXPECT_EQ(lastBoxCaption(), c.caption) << c.text;
        EXPECT_EQ(entry.source, source);
        EXPECT_EQ(entry.code.iteration.front().words, iteration);
        EXPECT_EQ(record.view->commandWord(), calc::kIdle);             // never stopped
        EXPECT_EQ(editor.source().toPlainText().toStdString(), c.text); // the edit stays
    }
}

TEST_F(FormulaEditorTest, ApplyRecalculatesTheFractalsUsingTheFormula) {
    FractalRecord& record = basicFractal();
    const std::vector<float> before = record.view->buffers().values;
    ui::FormulaEditorWindow& editor = formulaEditor();
    ASSERT_TRUE(editor.select("Basic"));
    type(editor.source(), "z = pixel:\nz = z^3 + pixel\n|z| <= 4");
    main->refreshAll();
    EXPECT_TRUE(editor.source().document()->isModified()); // a refresh keeps the edit
    ASSERT_TRUE(editor.apply());
    EXPECT_EQ(libraries().formulas().find("Basic")->source,
              "z = pixel:\nz = z^3 + pixel\n|z| <= 4");
    ASSERT_TRUE(settled(record));
    EXPECT_NE(record.view->buffers().values, before);
}

TEST_F(FormulaEditorTest, DeleteIsRefusedWhileAFractalUsesTheEntry) {
    FractalRecord& record = basicFractal();
    ui::FormulaEditorWindow& editor = formulaEditor();
    ASSERT_TRUE(editor.select("Basic"));
    EXPECT_FALSE(editor.deleteEntry());
    EXPECT_EQ(lastBoxCaption(), "Deletion not possible");
    EXPECT_NE(scripted.messageBoxes().back().text.find("- " + record.name), std::string::npos);
    ASSERT_NE(libraries().formulas().find("Basic"), nullptr);

    // An unused entry goes after the "Delete Formula" question, or without it when that
    // confirmation is off.
    for (bool confirm : {true, false}) {
        app->settings().setConfirm(Confirmation::DelFrm, confirm);
        ASSERT_TRUE(editor.newEntry());
        const std::string name = editor.currentName();
        scripted.clearCalls();
        ASSERT_TRUE(editor.deleteEntry());
        EXPECT_EQ(lastBoxCaption(), confirm ? "Delete operation" : "");
        EXPECT_EQ(libraries().formulas().find(name), nullptr);
        EXPECT_NE(editor.currentName(), name);
        EXPECT_TRUE(
            editor.list().findItems(QString::fromStdString(name), Qt::MatchExactly).empty());
    }
}

TEST_F(FormulaEditorTest, RenameInTheListRenamesTheFractalsUses) {
    FractalRecord& record = basicFractal();
    ui::FormulaEditorWindow& editor = formulaEditor();
    ASSERT_TRUE(editor.select("Basic"));
    QListWidgetItem* item = editor.list().currentItem();
    item->setText(QStringLiteral("Squared"));
    ASSERT_TRUE(test::processUntil([&] { return editor.currentName() == "Squared"; }));
    EXPECT_EQ(record.params().text("FormulaName"), "Squared");
    EXPECT_EQ(libraries().formulas().find("Basic"), nullptr);

    EXPECT_FALSE(editor.rename("Squared", "two words"));
    EXPECT_EQ(lastBoxCaption(), "Formula editor");
    EXPECT_EQ(editor.currentName(), "Squared");
    EXPECT_EQ(editor.list().currentItem()->text().toStdString(), "Squared");
}

TEST_F(FormulaEditorTest, LoadAddsEntriesWithoutDisturbingAnEdit) {
    ui::FormulaEditorWindow& editor = formulaEditor();
    ASSERT_TRUE(editor.newEntry());
    type(editor.source(), "z = 0:\nz = z + 1\nz < 3");
    {
        std::ofstream file(dir / "more.frm", std::ios::binary);
        file << "Loaded  {\r\nz = pixel:\r\nz = z*z\r\n|z| < 4\r\n}\r\n";
    }
    editor.loadFiles({dir / "more.frm"});
    EXPECT_NE(libraries().formulas().find("Loaded"), nullptr);
    EXPECT_FALSE(editor.list().findItems(QStringLiteral("Loaded"), Qt::MatchExactly).empty());
    EXPECT_EQ(editor.source().toPlainText().toStdString(), "z = 0:\nz = z + 1\nz < 3");

    // Going to another entry asks about the edit: Cancel stays, No drops it.
    scripted.queueAnswer(MessageAnswer::Cancel);
    EXPECT_FALSE(editor.select("Loaded"));
    EXPECT_TRUE(editor.source().document()->isModified());
    scripted.queueAnswer(MessageAnswer::No);
    EXPECT_TRUE(editor.select("Loaded"));
    EXPECT_EQ(editor.source().toPlainText().toStdString(), "\nz = pixel:\nz = z*z\n|z| < 4\n");
}

TEST_F(FormulaEditorTest, IfsElementsCompileWhenEditedAndKeepTheirCodeOtherwise) {
    auto* editor = open<ui::IfsEditorWindow>("FormulaIFS");
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->newEntry());
    const IfsEntry& entry = *app->formulaLibraries().ifs().find(editor->currentName());
    EXPECT_TRUE(entry.transforms.empty());
    ASSERT_TRUE(editor->addTransform());
    ASSERT_EQ(editor->table().rowCount(), 1);
    EXPECT_EQ(editor->table().item(0, kIfsM33)->text(), "1");

    ASSERT_TRUE(editor->editElement(0, kIfsM11, "0.5"));
    const IfsElement& element = entry.transforms[0].elements[kIfsM11];
    ASSERT_TRUE(element.code.has_value());
    const auto code = element.code->words;
    EXPECT_FALSE(editor->editElement(0, kIfsM11, "0.5+("));
    EXPECT_EQ(lastBoxCaption(), "Parsing formula");
    EXPECT_EQ(scripted.messageBoxes().back().text.substr(0, 8), "Parsing:");
    EXPECT_EQ(element.text, "0.5+(");
    EXPECT_EQ(element.code->words, code);
    for (const char* refused : {"1}", "0.5\n2"}) {
        EXPECT_FALSE(editor->editElement(0, kIfsM11, refused));
        EXPECT_EQ(element.text, "0.5+(");
    }
    ASSERT_TRUE(editor->table().item(0, kIfsM11) != nullptr);
    EXPECT_EQ(editor->table().item(0, kIfsM11)->text(), "0.5+(");

    // Typed into the table: stored once the table has finished with the cell.
    editor->table().item(0, kIfsVec1)->setText(QStringLiteral("0.25"));
    ASSERT_TRUE(test::processUntil(
        [&] { return entry.transforms[0].elements[kIfsVec1].code.has_value(); }));
    EXPECT_EQ(entry.transforms[0].elements[kIfsVec1].text, "0.25");
    editor->table().setCurrentCell(0, 0);
    ASSERT_TRUE(editor->removeTransform());
    EXPECT_TRUE(entry.transforms.empty());
    EXPECT_EQ(editor->table().rowCount(), 0);
}

TEST_F(FormulaEditorTest, LSystemBodyIsReadOnApply) {
    auto* editor = open<ui::LSystemEditorWindow>("FormulaLSyst");
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->newEntry());
    const LSystemEntry& entry = *app->formulaLibraries().lsystems().find(editor->currentName());
    EXPECT_EQ(entry.angle, 8.0);
    type(editor->body(), "Angle=60\naxiom F\nF=F+F\nF = ignored\nF=-F\n");
    ASSERT_TRUE(editor->apply());
    EXPECT_EQ(entry.angle, 60.0);
    EXPECT_EQ(entry.axiom, "F");
    EXPECT_EQ(entry.rules, (std::vector<LSystemRule>{{'F', "F+F-F"}}));
    EXPECT_EQ(editor->body().toPlainText().toStdString(), ui::lsystemBodyText(entry));
    EXPECT_FALSE(editor->body().document()->isModified());

    type(editor->body(), "Angle 6\nAxiom {F}\n");
    EXPECT_FALSE(editor->apply());
    EXPECT_EQ(entry.angle, 60.0);
}

} // namespace
} // namespace vortimax
