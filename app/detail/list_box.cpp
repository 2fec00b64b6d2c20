// A single-choice list that always shows its current entry selected.
#include "app/detail/list_box.h"

#include <QAbstractListModel>
#include <QPointer>

namespace app::detail {

class ListEntries : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(texts_.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!Holds(index.row()) || index.column() != 0) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return texts_[index.row()];
    if (role == Qt::UserRole) return bytes_[index.row()];
    return {};
  }

  bool Holds(int row) const { return row >= 0 && row < texts_.size(); }
  const QString& Text(int row) const { return texts_[row]; }
  const QByteArray& Bytes(int row) const { return bytes_[row]; }

  void Clear() {
    beginResetModel();
    texts_.clear();
    bytes_.clear();
    endResetModel();
  }

  void Append(const QStringList& texts, const QList<QByteArray>& bytes) {
    if (texts.isEmpty()) return;
    const auto first = static_cast<int>(texts_.size());
    beginInsertRows({}, first, first + static_cast<int>(texts.size()) - 1);
    texts_ += texts;
    if (bytes.isEmpty()) {
      bytes_.resize(texts_.size());
    } else {
      bytes_ += bytes;
    }
    endInsertRows();
  }

 private:
  QStringList texts_;
  QList<QByteArray> bytes_;
};

ListBox::ListBox(QWidget* parent) : QListView(parent), entries_(new ListEntries(this)) {
  setModel(entries_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);  // long album lists lay out at once
  // Out of the tab order; a click gives the keyboard to the list.
  setFocusPolicy(Qt::ClickFocus);
}

int ListBox::count() const { return entries_->rowCount(); }

int ListBox::currentRow() const { return currentIndex().row(); }

void ListBox::setCurrentRow(int row) {
  selectionModel()->setCurrentIndex(entries_->index(row), QItemSelectionModel::ClearAndSelect);
}

void ListBox::clear() {
  selectionModel()->clear();
  entries_->Clear();
}

void ListBox::addItem(const QString& text, const QByteArray& bytes) { entries_->Append({text}, {bytes}); }

void ListBox::addItems(const QStringList& texts) { entries_->Append(texts, {}); }

QString ListBox::EntryText(int row) const { return entries_->Holds(row) ? entries_->Text(row) : QString(); }

QByteArray ListBox::EntryBytes(int row) const { return entries_->Holds(row) ? entries_->Bytes(row) : QByteArray(); }

bool ListBox::EntrySelected(int row) const {
  return entries_->Holds(row) && selectionModel()->isSelected(entries_->index(row));
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
  QListView::keyPressEvent(event);
  AnnounceIfMoved(before);
}

bool ListBox::viewportEvent(QEvent* event) {
  const int before = currentRow();
  QPointer<ListBox> alive(this);
  const bool handled = QListView::viewportEvent(event);
  if (alive) AnnounceIfMoved(before);
  return handled;
}

void ListBox::AnnounceIfMoved(int before) {
  const int now = currentRow();
  if (now != before && now >= 0) emit EntryChosen(now);
}

}  // namespace app::detail
