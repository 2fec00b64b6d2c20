// A horizontal track bar whose selection range, from 0 to SelEnd, is highlighted in its channel.
#pragma once

#include <QSlider>

namespace app::detail {

class TrackBar : public QSlider {
  Q_OBJECT

 public:
  explicit TrackBar(QWidget* parent);

  // End of the selection range, which starts at 0.
  int SelEnd() const { return selEnd_; }
  void SetSelEnd(int value);

 signals:
  // A user's action on the bar, also one that leaves the position where it was, or a position
  // set by the program that differs from the current one.
  void Changed();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int selEnd_ = 0;
};

}  // namespace app::detail
