#pragma once

#include <QAbstractItemView>

namespace vortimax::ui {

// An item view (list, table) that tells whether the person is editing one of its items,
// so that a refresh does not rebuild the items under the open editor.
template <class View> class EditingView final : public View {
public:
    using View::View;
    bool isEditing() const { return this->state() == QAbstractItemView::EditingState; }
};

} // namespace vortimax::ui
