#include "ui/tool_windows/param_editors.h"

#include "base/text_utils.h"
#include "formula/function_table.h"
#include "model/param_text.h"
#include "render/compound/merge_types.h"
#include "render/tierazon/colour_methods.h"
#include "render/tierazon/orbit_filters.h"
#include "ui/qt_text.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <array>
#include <climits>

namespace vortimax::ui {

namespace {

// --- Names for rows that store a plain number -----------------------------------------

ChoiceList functionNames() {
    static const auto names = [] {
        std::array<std::string_view, kFunctionCount> list{};
        for (std::size_t i = 0; i < list.size(); ++i)
            list[i] = functionTable()[i].name;
        return list;
    }();
    return names;
}

ChoiceList colourRuleNames() {
    static constexpr std::string_view names[] = {"Linear", "Log", "Arctan", "Sinus"};
    return names;
}

// The orbit filters (with the statistics) and colour methods of the Tierazon types, in the order of
// their numbers.
ChoiceList filterNames() {
    static const auto names = [] {
        std::array<std::string_view, kAnalysisCount> list{};
        for (int i = 0; i < kAnalysisCount; ++i)
            list[static_cast<std::size_t>(i)] = orbitFilter(i).label;
        return list;
    }();
    return names;
}

ChoiceList colourMethodNames() {
    static const auto names = [] {
        std::array<std::string_view, kColourMethodCount> list{};
        for (int i = 0; i < kColourMethodCount; ++i)
            list[static_cast<std::size_t>(i)] = colourMethod(i).label;
        return list;
    }();
    return names;
}

ChoiceList mergeTypeNames() {
    static const auto names = [] {
        std::array<std::string_view, kMergeTypeCount> list{};
        for (int i = 0; i < kMergeTypeCount; ++i)
            list[static_cast<std::size_t>(i)] = mergeType(i)->label;
        return list;
    }();
    return names;
}

// The value buffers a compound's layer may give its buffer merges.
ChoiceList layerBufferNames() {
    static constexpr std::string_view names[] = {"Values", "Tierazon 2nd buffer",
                                                 "Tierazon 3rd buffer"};
    return names;
}

struct NamedValues {
    std::string_view key; // letter case ignored
    ChoiceList (*names)();
};

const NamedValues kNamedValues[] = {
    {"fn1", functionNames},        {"fn2", functionNames},
    {"fn3", functionNames},        {"fn4", functionNames},
    {"Function", functionNames},   {"ColormodeType", colourRuleNames},
    {"Analysis", filterNames},     {"Operation", colourMethodNames},
    {"MergeType", mergeTypeNames}, {"Buffer0", layerBufferNames},
    {"Buffer1", layerBufferNames}, {"Buffer2", layerBufferNames},
    {"Buffer3", layerBufferNames}, {"Buffer4", layerBufferNames},
    {"Buffer5", layerBufferNames}, {"Buffer6", layerBufferNames},
    {"Buffer7", layerBufferNames}, {"Buffer8", layerBufferNames},
    {"Buffer9", layerBufferNames},
};

// --- Controls ----------------------------------------------------------------------------

std::int32_t integerOf(ConstBlockRef block, std::size_t index) {
    return loadInt(block.field(index));
}

int clampToInt(double value) {
    return static_cast<int>(std::clamp(value, double{INT_MIN}, double{INT_MAX}));
}

// The name of a library entry, chosen from the loaded ones or typed.
class EntryNameEditor final : public ParamEditor {
public:
    EntryNameEditor(const ParamDescriptor& row, QWidget* parent, CommitHandler commit,
                    EntryNameSource names, std::string_view entryKind)
        : combo_(new QComboBox(parent)), key_(toQString(row.key)), names_(std::move(names)),
          entryKind_(toQString(entryKind)) {
        combo_->setEditable(true);
        combo_->setInsertPolicy(QComboBox::NoInsert);
        if (row.length > 0)
            combo_->lineEdit()->setMaxLength(row.length - 1);
        QObject::connect(combo_, &QComboBox::activated, combo_, commit);
        QObject::connect(combo_->lineEdit(), &QLineEdit::editingFinished, combo_,
                         std::move(commit));
    }
    QWidget* widget() const override { return combo_; }
    std::string text() const override { return toStdString(combo_->currentText()); }

protected:
    void display(ConstBlockRef block, std::size_t index) override {
        const std::vector<std::string> names = names_();
        const QString value = toQString(displayValue(block, index));
        if (combo_->count() != static_cast<int>(names.size()) || !sameItems(names)) {
            combo_->clear();
            for (const std::string& name : names)
                combo_->addItem(toQString(name));
        }
        if (combo_->currentText() != value)
            combo_->setEditText(value);
        markUnknown(names, toStdString(value));
    }

private:
    bool sameItems(const std::vector<std::string>& names) const {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (combo_->itemText(static_cast<int>(i)) != toQString(names[i]))
                return false;
        return true;
    }
    void markUnknown(const std::vector<std::string>& names, const std::string& value) {
        const bool known = value.empty() || std::any_of(names.begin(), names.end(),
                                                        [&value](const std::string& name) {
                                                            return equalsIgnoreCase(name, value);
                                                        });
        combo_->setStyleSheet(known ? QString() : QStringLiteral("QComboBox { color: #c00000; }"));
        combo_->setToolTip(
            known ? key_
                  : QStringLiteral("No %1 is called \"%2\"").arg(entryKind_, toQString(value)));
    }

    QComboBox* combo_;
    QString key_;
    EntryNameSource names_;
    QString entryKind_;
};

// Reals, high-precision coordinates and texts: the text as typed.
class LineEditor final : public ParamEditor {
public:
    LineEditor(const ParamDescriptor& row, QWidget* parent, CommitHandler commit)
        : edit_(new QLineEdit(parent)) {
        if (row.kind == ParamKind::Text && row.length > 0)
            edit_->setMaxLength(row.length - 1);
        QObject::connect(edit_, &QLineEdit::editingFinished, edit_, std::move(commit));
    }
    QWidget* widget() const override { return edit_; }
    std::string text() const override { return toStdString(edit_->text()); }

protected:
    // Only a new value is written, so a refresh leaves the cursor where it was.
    void display(ConstBlockRef block, std::size_t index) override {
        const QString value = toQString(displayValue(block, index));
        if (edit_->text() == value)
            return;
        edit_->setText(value);
        edit_->setCursorPosition(0);
    }

private:
    QLineEdit* edit_;
};

// A line of text with arrows: the arrows (and the Up and Down keys) add or take away the
// row's step size, kept within the row's range; typed text keeps every digit.
class StepBox final : public QAbstractSpinBox {
public:
    StepBox(const ParamDescriptor& row, QWidget* parent)
        : QAbstractSpinBox(parent), step_(row.increment), minimum_(row.minimum),
          maximum_(row.maximum) {}

    void setValueText(const QString& text) { lineEdit()->setText(text); }

    void stepBy(int steps) override {
        const auto value = scanDouble(toStdString(text()));
        if (!value)
            return;
        const double next = std::clamp(*value + steps * step_, minimum_, maximum_);
        setValueText(toQString(formatShortest(next)));
        Q_EMIT editingFinished();
    }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    double step_;
    double minimum_;
    double maximum_;
};

class StepEditor final : public ParamEditor {
public:
    StepEditor(const ParamDescriptor& row, QWidget* parent, CommitHandler commit)
        : box_(new StepBox(row, parent)) {
        QObject::connect(box_, &QAbstractSpinBox::editingFinished, box_, std::move(commit));
    }
    QWidget* widget() const override { return box_; }
    std::string text() const override { return toStdString(box_->text()); }

protected:
    void display(ConstBlockRef block, std::size_t index) override {
        const QString value = toQString(displayValue(block, index));
        if (box_->text() != value)
            box_->setValueText(value);
    }

private:
    StepBox* box_;
};

// Integers: typed values are held inside the row's range.
class SpinEditor final : public ParamEditor {
public:
    SpinEditor(const ParamDescriptor& row, QWidget* parent, CommitHandler commit)
        : spin_(new QSpinBox(parent)) {
        spin_->setRange(clampToInt(row.minimum), clampToInt(row.maximum));
        spin_->setSingleStep(row.increment >= 1.0 ? clampToInt(row.increment) : 1);
        // Arrows commit each step; typing commits on Return or on leaving the field.
        spin_->setKeyboardTracking(false);
        QObject::connect(spin_, &QSpinBox::valueChanged, spin_, commit);
        QObject::connect(spin_, &QSpinBox::editingFinished, spin_, std::move(commit));
    }
    QWidget* widget() const override { return spin_; }
    std::string text() const override { return std::to_string(spin_->value()); }

protected:
    void display(ConstBlockRef block, std::size_t index) override {
        const QSignalBlocker blocker(spin_);
        spin_->setValue(integerOf(block, index));
    }

private:
    QSpinBox* spin_;
};

// Named values: rows with their own choice list are written by name, others by number.
// A value without a name shows no entry.
class ChoiceEditor final : public ParamEditor {
public:
    ChoiceEditor(const ParamDescriptor& row, QWidget* parent, CommitHandler commit)
        : combo_(new QComboBox(parent)), names_(choiceNames(row)), byName_(!row.choices.empty()) {
        for (std::string_view name : names_)
            combo_->addItem(toQString(name));
        QObject::connect(combo_, &QComboBox::activated, combo_, std::move(commit));
    }
    QWidget* widget() const override { return combo_; }
    std::string text() const override {
        const int index = combo_->currentIndex();
        if (index < 0)
            return {};
        return byName_ ? std::string(names_[static_cast<std::size_t>(index)])
                       : std::to_string(index);
    }

protected:
    void display(ConstBlockRef block, std::size_t index) override {
        const std::int32_t value = integerOf(block, index);
        const QSignalBlocker blocker(combo_);
        combo_->setCurrentIndex(value >= 0 && value < combo_->count() ? value : -1);
    }

private:
    QComboBox* combo_;
    ChoiceList names_;
    bool byName_;
};

// Flags and integers that only switch between 0 and 1.
class FlagEditor final : public ParamEditor {
public:
    FlagEditor(const ParamDescriptor&, QWidget* parent, CommitHandler commit)
        : box_(new QCheckBox(parent)) {
        QObject::connect(box_, &QCheckBox::toggled, box_, std::move(commit));
    }
    QWidget* widget() const override { return box_; }
    std::string text() const override { return box_->isChecked() ? "1" : "0"; }

protected:
    void display(ConstBlockRef block, std::size_t index) override {
        const QSignalBlocker blocker(box_);
        box_->setChecked(integerOf(block, index) != 0);
    }

private:
    QCheckBox* box_;
};

// --- Which control a row gets: the first rule that matches --------------------------------

bool isWord(const ParamDescriptor& row) {
    return row.kind == ParamKind::Integer || row.kind == ParamKind::Flag;
}
bool hasNames(const ParamDescriptor& row) {
    return isWord(row) && !choiceNames(row).empty();
}
bool isSwitch(const ParamDescriptor& row) {
    return row.kind == ParamKind::Flag ||
           (row.kind == ParamKind::Integer && row.minimum == 0.0 && row.maximum == 1.0);
}
bool isSteppedReal(const ParamDescriptor& row) {
    return row.kind == ParamKind::Real && row.increment > 0.0;
}
bool anyRow(const ParamDescriptor&) {
    return true;
}

template <typename Editor>
std::unique_ptr<ParamEditor> make(const ParamDescriptor& row, QWidget* parent,
                                  CommitHandler commit) {
    return std::make_unique<Editor>(row, parent, std::move(commit));
}

struct EditorRule {
    bool (*matches)(const ParamDescriptor& row);
    std::unique_ptr<ParamEditor> (*make)(const ParamDescriptor& row, QWidget* parent,
                                         CommitHandler commit);
};

const EditorRule kEditorRules[] = {
    {hasNames, make<ChoiceEditor>},    {isSwitch, make<FlagEditor>}, {isWord, make<SpinEditor>},
    {isSteppedReal, make<StepEditor>}, {anyRow, make<LineEditor>},
};

} // namespace

void ParamEditor::show(ConstBlockRef block, std::size_t index) {
    display(block, index);
    shown_ = text();
}

bool ParamEditor::inProgress() const {
    const QWidget* focus = QApplication::focusWidget();
    const QWidget* own = widget();
    return edited() && focus != nullptr && (focus == own || own->isAncestorOf(focus));
}

std::unique_ptr<ParamEditor> makeParamEditor(const ParamDescriptor& row, QWidget* parent,
                                             CommitHandler commit) {
    for (const EditorRule& rule : kEditorRules) {
        if (!rule.matches(row))
            continue;
        std::unique_ptr<ParamEditor> editor = rule.make(row, parent, std::move(commit));
        editor->widget()->setObjectName(toQString(row.key));
        return editor;
    }
    return nullptr; // not reached: the last rule matches every row
}

std::unique_ptr<ParamEditor> makeEntryNameEditor(const ParamDescriptor& row, QWidget* parent,
                                                 CommitHandler commit, EntryNameSource names,
                                                 std::string_view entryKind) {
    auto editor = std::make_unique<EntryNameEditor>(row, parent, std::move(commit),
                                                    std::move(names), entryKind);
    editor->widget()->setObjectName(toQString(row.key));
    return editor;
}

std::string readableLabel(const ParamDescriptor& row) {
    if (!row.label.empty())
        return std::string(row.label);
    std::string_view key = row.key;
    if (key.starts_with('_'))
        return "Working value " + std::string(key.substr(1));
    std::string label;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char c = key[i];
        const bool upper = c >= 'A' && c <= 'Z';
        const bool digit = c >= '0' && c <= '9';
        const char before = i > 0 ? key[i - 1] : ' ';
        const bool beforeDigit = before >= '0' && before <= '9';
        const bool beforeLower = before >= 'a' && before <= 'z';
        if (i > 0 && ((upper && beforeLower) || (digit && !beforeDigit)))
            label += ' ';
        label += upper && i > 0 && beforeLower ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return label;
}

ChoiceList choiceNames(const ParamDescriptor& row) {
    if (!row.choices.empty())
        return row.choices;
    for (const NamedValues& named : kNamedValues)
        if (equalsIgnoreCase(named.key, row.key))
            return named.names();
    return {};
}

} // namespace vortimax::ui
