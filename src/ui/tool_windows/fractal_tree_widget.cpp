#include "ui/tool_windows/fractal_tree_widget.h"

#include <QDropEvent>
#include <QKeyEvent>

namespace vortimax::ui {

FractalTree::FractalTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setDropIndicatorShown(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

// Only drags started in this tree count. The drop is reported as a copy so that the view
// does not remove the dragged rows itself: the handler rebuilds the tree instead.
void FractalTree::dropEvent(QDropEvent* event) {
    if (event->source() != this || !onDrop_) {
        event->ignore();
        return;
    }
    QTreeWidgetItem* source = currentItem();
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (source == nullptr || target == nullptr || source == target)
        return;
    onDrop_(source, target);
}

void FractalTree::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && !isEditing() && onDelete_ && currentItem() != nullptr) {
        onDelete_(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace vortimax::ui
