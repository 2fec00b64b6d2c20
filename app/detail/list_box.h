// A single-choice list: a click or a key always selects exactly the entry it lands on.
#pragma once

#include <QListWidget>

namespace app::detail {

class ListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit ListBox(QWidget* parent);

 protected:
  // Never toggles an entry off: the list always shows its current entry selected.
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
};

}  // namespace app::detail
