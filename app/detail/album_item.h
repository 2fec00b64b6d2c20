// An entry of the album list that carries the index of its own album of the index.
#pragma once

#include <QListWidgetItem>

namespace app::detail {

class AlbumItem : public QListWidgetItem {
 public:
  AlbumItem(const QString& text, int entry) : QListWidgetItem(text, nullptr, QListWidgetItem::UserType), entry_(entry) {}

  // Qt::UserRole answers the album's index in file order; the number lives in the item itself,
  // so that filling a list of thousands of albums costs no change notices.
  QVariant data(int role) const override { return role == Qt::UserRole ? QVariant(entry_) : QListWidgetItem::data(role); }

 private:
  int entry_;
};

}  // namespace app::detail
