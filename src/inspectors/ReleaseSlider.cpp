// A slider that says when a change has ended.
#include "inspectors/ReleaseSlider.h"

ReleaseSlider::ReleaseSlider(QWidget* parent, int minimum, int maximum) : QSlider(Qt::Horizontal, parent) {
  setRange(minimum, maximum);
  setTracking(true);
  // Wide enough for a pixel per step of a per-cent slider.
  setMinimumWidth(maximum - minimum > 50 ? 2 * (maximum - minimum) + 20 : 100);
  connect(this, &QSlider::valueChanged, this, [this](int v) {
    if (!isSliderDown()) Q_EMIT released(v);
  });
  connect(this, &QSlider::sliderReleased, this, [this] { Q_EMIT released(value()); });
}
