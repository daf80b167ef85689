#pragma once

#include "model/param_block.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace vortimax::ui {

// The control of one parameter row: shows the row's value and hands back what the person
// entered as parameter-file text (the form that owns it applies that text through
// editParameter). It remembers what it showed last, so that a refresh can leave alone a
// field the person is typing into, and a field left unchanged is never written back
// (high-precision coordinates would otherwise lose digits on every visit).
class ParamEditor {
public:
    virtual ~ParamEditor() = default;

    virtual QWidget* widget() const = 0;
    // The value in the control as parameter-file text.
    virtual std::string text() const = 0;

    // Shows the row's present value.
    void show(ConstBlockRef block, std::size_t index);
    // The person changed the value since it was last shown.
    bool edited() const { return text() != shown_; }
    // The person is typing into the control: a refresh leaves it alone.
    bool inProgress() const;

protected:
    virtual void display(ConstBlockRef block, std::size_t index) = 0;

private:
    std::string shown_;
};

// Called when the person commits a value: Return, leaving the field, a choice, a click.
using CommitHandler = std::function<void()>;

// The control that suits the row: a combo box for rows with named values, a check box for
// flags and 0/1 switches, a spin box for other integers, a line edit for reals,
// high-precision coordinates (every digit kept) and texts; reals with a step size get
// arrows that step by it. The control's object name is the row's key.
std::unique_ptr<ParamEditor> makeParamEditor(const ParamDescriptor& row, QWidget* parent,
                                             CommitHandler commit);

// The names of the loaded library entries a row names (a formula, IFS or L-system entry).
using EntryNameSource = std::function<std::vector<std::string>()>;

// The control of a row that names an entry (of a library, or a compound's layer): an
// editable list of the entries there are. A name no entry has is shown in red, and its
// tool-tip says so ("No <entryKind> is called ...").
std::unique_ptr<ParamEditor> makeEntryNameEditor(const ParamDescriptor& row, QWidget* parent,
                                                 CommitHandler commit, EntryNameSource names,
                                                 std::string_view entryKind = "loaded entry");

// A label for a row: its own, or one made from its key ("TestForFinite" gives "Test for
// finite", the working value "_dr" gives "Working value dr").
std::string readableLabel(const ParamDescriptor& row);

// The names offered for a row's values 0, 1, 2, ...: its own choice list, or the names the
// program gives rows that store a plain number (functions, colour-mapping rules).
// Empty when the row has none.
ChoiceList choiceNames(const ParamDescriptor& row);

} // namespace vortimax::ui
