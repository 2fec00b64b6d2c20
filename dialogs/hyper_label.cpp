// THyperLabel: colour under the mouse and while pressed; a release over the label opens the link.
#include "dialogs/hyper_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>

#include "platform/ui/desktop_link.h"

namespace dialogs {

namespace {

const QColor kNavy(0, 0, 128);

// What assistive technology sees: a link named by its caption, with the URL as its value and a
// press action that opens it, as a click would.
class HyperLabelAccessible : public QAccessibleWidget {
 public:
  explicit HyperLabelAccessible(THyperLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

  QString text(QAccessible::Text kind) const override {
    const auto* label = static_cast<const THyperLabel*>(object());
    if (!label->accessibleName().isEmpty() && kind == QAccessible::Name) return label->accessibleName();
    switch (kind) {
      case QAccessible::Name: return label->text();
      case QAccessible::Value: return label->URL();
      default: return QAccessibleWidget::text(kind);
    }
  }

  QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
  void doAction(const QString& name) override {
    if (name == pressAction()) {
      static_cast<THyperLabel*>(object())->OpenURL();
      return;
    }
    QAccessibleWidget::doAction(name);
  }
};

QAccessibleInterface* HyperLabelAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("dialogs::THyperLabel") && object && object->isWidgetType()) {
    return new HyperLabelAccessible(static_cast<THyperLabel*>(object));
  }
  return nullptr;
}

}  // namespace

THyperLabel::THyperLabel(QWidget* parent) : QLabel(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(HyperLabelAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  SetCaptionColour(kNavy);
  savedColour_ = kNavy;
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setCursor(Qt::PointingHandCursor);
  setTextFormat(Qt::PlainText);
}

QColor THyperLabel::CaptionColour() const { return palette().color(QPalette::WindowText); }

void THyperLabel::SetCaptionColour(const QColor& colour) {
  QPalette coloured = palette();
  coloured.setColor(QPalette::WindowText, colour);
  setPalette(coloured);
}

void THyperLabel::OpenURL() const { platform::OpenLink(url_); }

// Qt holds back the leave and enter notifications of a widget while a button pressed on it is
// down, so the mouse's own position tells when it leaves and re-enters the label meanwhile.
void THyperLabel::Track(const QPointF& position) {
  const bool over = rect().contains(position.toPoint());
  if (over && !inside_) MouseEntered();
  if (!over && inside_) MouseLeft();
}

void THyperLabel::MouseEntered() {
  savedColour_ = CaptionColour();
  SetCaptionColour(pressed_ ? pressedColour_ : hyperColour_);
  inside_ = true;
}

void THyperLabel::MouseLeft() {
  SetCaptionColour(savedColour_);
  inside_ = false;
}

void THyperLabel::enterEvent(QEnterEvent* event) {
  if (!inside_) MouseEntered();
  QLabel::enterEvent(event);
}

void THyperLabel::leaveEvent(QEvent* event) {
  if (inside_) MouseLeft();
  QLabel::leaveEvent(event);
}

void THyperLabel::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_) Track(event->position());
  QLabel::mouseMoveEvent(event);
}

void THyperLabel::mousePressEvent(QMouseEvent* event) {
  SetCaptionColour(pressedColour_);
  pressed_ = true;
  QLabel::mousePressEvent(event);
}

void THyperLabel::mouseReleaseEvent(QMouseEvent* event) {
  Track(event->position());
  SetCaptionColour(inside_ ? hyperColour_ : savedColour_);
  pressed_ = false;
  const bool open = inside_;
  if (open) OpenURL();
  QLabel::mouseReleaseEvent(event);
  if (open) emit clicked();
}

}  // namespace dialogs
