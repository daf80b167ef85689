#pragma once

#include "app/parameter_edit.h"
#include "ui/tool_window.h"
#include "ui/tool_windows/parameter_pages.h"

#include <QScrollArea>
#include <memory>
#include <vector>

namespace vortimax {
class DescriptorTable;
class FractalRecord;
} // namespace vortimax

namespace vortimax::ui {

class ParamEditor;

// The fields of one block of a fractal, built from the descriptor table: one labelled
// control per row the filter lets through, in table order. A committed value goes
// through editParameter (pause, apply, undo step, new image) into the fractal the form
// shows, and then every window is brought up to date.
class ParameterForm final : public QScrollArea {
public:
    ParameterForm(UiContext& context, ParameterBlock block, RowFilter filter, QWidget* parent);
    ~ParameterForm() override;

    // Shows the fractal's values (null: no fields). The fields are built anew when the
    // fractal's table or type differs from the one shown; otherwise only the values are
    // renewed, leaving alone a field the person is typing into.
    void showRecord(FractalRecord* record);
    // No row of the shown fractal passed the filter.
    bool isEmpty() const { return fields_.empty(); }

private:
    struct Field {
        std::size_t index; // row of the table
        std::unique_ptr<ParamEditor> editor;
    };

    void rebuild(const DescriptorTable* table, std::uint32_t type);
    std::unique_ptr<ParamEditor> makeEditor(std::uint32_t type, const ParamDescriptor& row,
                                            QWidget* page, std::size_t position);
    void dropFields();
    void fill(bool force);
    void commit(std::size_t field);

    UiContext& context_;
    ParameterBlock block_;
    RowFilter filter_;
    FractalRecord* record_ = nullptr;
    const DescriptorTable* table_ = nullptr;
    std::uint32_t type_ = 0;
    std::vector<Field> fields_;
};

} // namespace vortimax::ui
