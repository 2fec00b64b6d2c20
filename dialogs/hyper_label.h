// THyperLabel: a text label that behaves like a hyperlink and opens its URL through the desktop.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPointF>
#include <QString>

namespace dialogs {

class THyperLabel : public QLabel {
  Q_OBJECT

 public:
  // Navy, underlined, with the hand-point cursor.
  explicit THyperLabel(QWidget* parent = nullptr);

  // Caption colour while the mouse is over the label.
  QColor HyperColour() const { return hyperColour_; }
  void SetHyperColour(const QColor& colour) { hyperColour_ = colour; }
  // Caption colour while a mouse button is held down on the label.
  QColor PressedColour() const { return pressedColour_; }
  void SetPressedColour(const QColor& colour) { pressedColour_ = colour; }
  // What the desktop opens when the label is clicked; empty opens nothing.
  QString URL() const { return url_; }
  void SetURL(const QString& url) { url_ = url; }

  // The colour the caption is drawn in now.
  QColor CaptionColour() const;
  void SetCaptionColour(const QColor& colour);

  // Opens URL (a click on the label, or the press action of assistive technology).
  void OpenURL() const;

 signals:
  // A press and release over the label, after the link was handed to the desktop.
  void clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Track(const QPointF& position);
  void MouseEntered();
  void MouseLeft();

  QColor hyperColour_{0, 0, 255};
  QColor pressedColour_{255, 0, 0};
  QString url_;
  QColor savedColour_;
  bool pressed_ = false;
  bool inside_ = false;
};

}  // namespace dialogs
