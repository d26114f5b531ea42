// A slider that says when a change has ended.
#include "inspectors/ReleaseSlider.h"

ReleaseSlider::ReleaseSlider(QWidget* parent, int minimum, int maximum) : QSlider(Qt::Horizontal, parent) {
  setRange(minimum, maximum);
  setTracking(true);
  connect(this, &QSlider::valueChanged, this, [this](int v) {
    if (!isSliderDown()) Q_EMIT released(v);
  });
  connect(this, &QSlider::sliderReleased, this, [this] { Q_EMIT released(value()); });
}
