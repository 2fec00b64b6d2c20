// A single-choice list that always shows its current entry selected.
#include "app/detail/list_box.h"

namespace app::detail {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);  // long album lists lay out at once
  // Out of the tab order; a click gives the keyboard to the list.
  setFocusPolicy(Qt::ClickFocus);
}

QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index, const QEvent*) const {
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

}  // namespace app::detail
