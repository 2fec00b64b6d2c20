// A group box whose title is a label of its own lying on the box's top edge.
#pragma once

#include <QGroupBox>

namespace app::detail {

class TitledGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit TitledGroupBox(QWidget* parent);

  // Distance from the box's top to its frame line: half the title's height, so the line runs
  // through the middle of the title label placed at the top.
  static constexpr int kFrameTop = 6;

  // Reads the picture the frame is drawn from, when the style draws it from one; any thread may
  // call it ahead of the first paint.
  static void ReadFramePicture();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace app::detail
