#pragma once

#include "app/library_entry_change.h"
#include "formula/ifs_entry.h"
#include "ui/tool_windows/editing_view.h"
#include "ui/tool_windows/library_editor_window.h"

#include <QTableWidget>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vortimax {
template <class Entry> class EntryLibraryAccess;
} // namespace vortimax

namespace vortimax::ui {

// An IFS "Basic" without transformations.
std::unique_ptr<IfsEntry> newBasicIfs();

// "FormulaIFS": the IFS library and the transformations of the IFS shown, one row each,
// one column per element (the matrix rows, the vector, the probability). An element edited
// in the table is stored when the cell is left: its text always, its code only when the
// text compiles (otherwise the "Parsing" box tells why and the old code stays). The
// fractals drawing the IFS are calculated anew.
class IfsEditorWindow final : public LibraryEditorWindow {
public:
    IfsEditorWindow(UiContext& context, QWidget* parent);

    // Edits one element of the IFS shown; false when the text did not compile or was
    // refused.
    bool editElement(std::size_t transform, std::size_t element, const std::string& text);
    // A transformation appended (a plane one: every element 0 but m33 = 1), or the
    // current row's one removed.
    bool addTransform();
    bool removeTransform();

    QTableWidget& table() { return *table_; }

protected:
    void showEntry(const std::string& name) override;
    bool paneModified() const override { return false; }
    bool paneBusy() const override;
    bool applyPane() override { return true; }

private:
    EntryLibraryAccess<IfsEntry>& ifs();
    QWidget* buildPane();
    // Changes the transformations of the IFS shown while its fractals wait.
    bool changeTransforms(const std::function<void(std::vector<IfsTransform>&)>& change,
                          AfterEntryChange after);

    EditingView<QTableWidget>* table_;
};

} // namespace vortimax::ui
