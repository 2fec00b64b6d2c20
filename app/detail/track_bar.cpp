// The track bar: a sunken channel with the selection highlighted, the style's ticks and thumb.
#include "app/detail/track_bar.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace app::detail {

namespace {
constexpr int kChannelHeight = 6;  // the thin channel the thumb runs in
}  // namespace

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  connect(this, &QSlider::valueChanged, this, &TrackBar::Changed);
  // An action that moves the bar changes the value, which reports it; one that leaves the
  // position where it was is reported here.
  connect(this, &QSlider::actionTriggered, this, [this](int) {
    if (sliderPosition() == value()) emit Changed();
  });
}

void TrackBar::SetSelEnd(int value) {
  value = std::clamp(value, minimum(), maximum());
  if (value == selEnd_) return;
  selEnd_ = value;
  update();
}

void TrackBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const QRect thumb = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);

  // The channel spans the thumb's travel, centred on the groove.
  const int left = groove.left() + thumb.width() / 2;
  const int span = groove.width() - thumb.width();
  const QRect channel(left - 2, groove.center().y() - kChannelHeight / 2 + 1, span + 4, kChannelHeight);
  qDrawShadePanel(&painter, channel, palette(), true, 1, &palette().brush(QPalette::Base));
  const int start = QStyle::sliderPositionFromValue(minimum(), maximum(), std::max(minimum(), 0), span);
  const int end = QStyle::sliderPositionFromValue(minimum(), maximum(), selEnd_, span);
  if (end > start) {
    painter.fillRect(QRect(left + start, channel.top() + 1, end - start + 1, channel.height() - 2),
                     palette().brush(QPalette::Highlight));
  }

  option.subControls = QStyle::SC_SliderTickmarks | QStyle::SC_SliderHandle;
  style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

}  // namespace app::detail
