// A single-choice list: a click or a key always selects exactly the entry it lands on, and the
// user's choice is announced only once the list shows it.
#pragma once

#include <QListWidget>

namespace app::detail {

class ListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit ListBox(QWidget* parent);

 signals:
  // The user moved the current entry to `row` (by mouse or keyboard); raised after the list has
  // finished moving its highlight, never for a selection made by the program.
  void EntryChosen(int row);

 protected:
  // Never toggles an entry off: the list always shows its current entry selected.
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  // Announces the current entry when the event just handled moved it from `before`.
  void AnnounceIfMoved(int before);
};

}  // namespace app::detail
