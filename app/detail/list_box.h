// A single-choice list: a click or a key always selects exactly the entry it lands on, and the
// user's choice is announced only once the list shows it.
#pragma once

#include <QByteArray>
#include <QListView>
#include <QString>
#include <QStringList>

namespace app::detail {

class ListEntries;

// Its entries are texts, each with bytes of its own (a song's name as the disk spells it), held
// in one light model: ten thousand albums are listed in one step without an object per entry.
class ListBox : public QListView {
  Q_OBJECT

 public:
  explicit ListBox(QWidget* parent);

  int count() const;
  // The current entry, -1 when there is none.
  int currentRow() const;
  // Makes `row` the current entry, selected alone; -1 leaves none.
  void setCurrentRow(int row);
  void clear();
  void addItem(const QString& text, const QByteArray& bytes = {});
  void addItems(const QStringList& texts);

  // The text and the bytes of the entry at `row`; empty where there is no such entry.
  QString EntryText(int row) const;
  QByteArray EntryBytes(int row) const;
  bool EntrySelected(int row) const;

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

  ListEntries* entries_;
};

}  // namespace app::detail
