// A single-choice list that always shows its current entry selected.
#include "app/detail/list_box.h"

#include <QPointer>

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

// The list moves its current entry first and its highlight after; a handler run in between that
// handles pending events (an analysis does) would let a later choice finish first and then see the
// earlier one's highlight land. So the choice is announced when the whole event is done.
void ListBox::keyPressEvent(QKeyEvent* event) {
  const int before = currentRow();
  QListWidget::keyPressEvent(event);
  AnnounceIfMoved(before);
}

bool ListBox::viewportEvent(QEvent* event) {
  const int before = currentRow();
  QPointer<ListBox> alive(this);
  const bool handled = QListWidget::viewportEvent(event);
  if (alive) AnnounceIfMoved(before);
  return handled;
}

void ListBox::AnnounceIfMoved(int before) {
  const int now = currentRow();
  if (now != before && now >= 0) emit EntryChosen(now);
}

}  // namespace app::detail
