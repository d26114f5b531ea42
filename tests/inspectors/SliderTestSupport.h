// Sliders driven as the user drives them: real mouse events on the handle, a drag that stops
// on a chosen value before the button is let go, and key steps.
#pragma once
#include <QApplication>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <functional>

// Shows the design window with its inspector so that mouse events reach the pane's controls
// through the window, as the user's do.
inline void ShowWindowForSliders(QWidget* window, QWidget* dock) {
  window->resize(1000, 900);
  window->show();
  dock->show();
  QApplication::processEvents();
}

// The centre of the slider's handle where it is now.
inline QPoint SliderHandleCentre(QSlider* slider) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.singleStep = slider->singleStep();
  option.pageStep = slider->pageStep();
  option.upsideDown = slider->invertedAppearance();
  option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
  return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

// Presses the handle, moves it a pixel at a time until the slider shows `value`, runs
// `whileHeld` with the button still down, and lets go. False when the value was not reached.
inline bool DragSliderTo(QSlider* slider, int value, const std::function<void()>& whileHeld = {}) {
  QApplication::processEvents();
  if (!slider->isVisible()) return false;
  const QPoint start = SliderHandleCentre(slider);
  QTest::mousePress(slider, Qt::LeftButton, {}, start);
  const int step = value >= slider->value() ? 1 : -1;
  QPoint at = start;
  for (int i = 0; i < 2000 && slider->value() != value; ++i) {
    at.rx() += step;
    QTest::mouseMove(slider, at);
  }
  const bool reached = slider->value() == value;
  if (whileHeld) whileHeld();
  QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
  return reached;
}
