// The sliders of the panes change the design once per gesture: valueChanged follows every
// movement (the panes show it in a label), released says that a change has ended: the mouse
// button let go after a drag, or a key step or a click on the track, which change the value
// at once.
#pragma once
#include <QSlider>

class ReleaseSlider : public QSlider {
  Q_OBJECT
 public:
  explicit ReleaseSlider(QWidget* parent, int minimum = 0, int maximum = 100);
 Q_SIGNALS:
  void released(int value);
};
