// The player's position bar: a horizontal scroll bar that tells when its thumb is being dragged
// and when a scroll action has ended (thumb released, a click on an arrow or the track finished),
// with steps that suit a song of a few seconds as well as one of an hour.
#pragma once

#include <QScrollBar>

namespace app::detail {

class PositionBar : public QScrollBar {
  Q_OBJECT

 public:
  enum class ScrollKind { kThumbTrack, kEndScroll, kOther };

  explicit PositionBar(QWidget* parent);

  // Page step for a bar of `maximum` seconds: a tenth of it, at least 1 s, at most a minute;
  // the arrows move a tenth of a page.
  static int PageStepFor(int maximum);

 signals:
  // A scroll action of the user, with the bar's position (seconds) after it.
  void Scrolled(ScrollKind kind, int position);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace app::detail
