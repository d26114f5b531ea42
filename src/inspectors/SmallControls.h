// Small controls of the design window and the application: a button that drops its menu
// down under itself, a toolbar button that sizes its item, the elevation slider whose knob
// can be hidden, a view of one image, and the splash window.
#pragma once
#include <QImage>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QWidget>
#include <functional>

class QMenu;
class QPainter;
class QStyleOptionSlider;

class ButtonWithMenu : public QPushButton {
  Q_OBJECT
 public:
  explicit ButtonWithMenu(QWidget* parent = nullptr) : QPushButton(parent) {}
  // The button's own menu (not owned); null for none.
  void setButtonMenu(QMenu* menu) { buttonMenu_ = menu; }
  QMenu* buttonMenu() const { return buttonMenu_; }
  // Shows the menu; tests replace it. Unset: the menu's exec at the point.
  std::function<void(QMenu*, const QPoint& global)> popUpMenu;
  void menuTrackingEnded() { setDown(false); }
  // The point under the button where the menu opens: 2 points below its bottom edge.
  QPoint menuOrigin() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QMenu* buttonMenu_ = nullptr;
};

class ToolbarButtonWithMenu : public QToolButton {
  Q_OBJECT
 public:
  explicit ToolbarButtonWithMenu(QWidget* parent = nullptr) : QToolButton(parent) {}
  // 0 regular: 32 by 32; any other size: 24 by 24 (the item's minimum and maximum and the
  // image).
  void setControlSize(int size);
  int controlSize() const { return controlSize_; }

 private:
  int controlSize_ = 0;
};

// The elevation slider's cell: whether its knob is drawn (it is after construction).
class ElevationSliderCell {
 public:
  ElevationSliderCell() = default;
  void setShouldDrawKnob(bool draw) { shouldDrawKnob_ = draw; }
  bool shouldDrawKnob() const { return shouldDrawKnob_; }
  // Draws the knob of the slider described by option, only while shouldDrawKnob; the second
  // form draws it in knobRect. True when it was drawn.
  bool drawKnob(QPainter& painter, const QStyleOptionSlider& option, const QWidget* widget) const;
  bool drawKnob(QPainter& painter, const QStyleOptionSlider& option, const QWidget* widget,
                const QRect& knobRect) const;

 private:
  bool shouldDrawKnob_ = true;
};

class ElevationSlider : public QSlider {
  Q_OBJECT
 public:
  explicit ElevationSlider(QWidget* parent = nullptr) : QSlider(Qt::Horizontal, parent) {}
  ElevationSliderCell& cell() { return cell_; }
  const ElevationSliderCell& cell() const { return cell_; }
  void setShouldDrawKnob(bool draw) {
    cell_.setShouldDrawKnob(draw);
    update();
  }
  bool shouldDrawKnob() const { return cell_.shouldDrawKnob(); }
  // A right-click (or Control-click) pops up the slider's menu for the plan view; the knob
  // does not move.
  std::function<void(const QPoint& global)> rightMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  ElevationSliderCell cell_;
};

// A view that draws one image scaled into its bounds over white.
class BaseImageView : public QWidget {
  Q_OBJECT
 public:
  explicit BaseImageView(QWidget* parent = nullptr) : QWidget(parent) {}
  // A view of the frame showing the image; null for a null image (there is nothing to show).
  static BaseImageView* withFrameAndImage(const QRect& frame, const QImage& image, QWidget* parent = nullptr);
  // Keeps the image; the view is not redrawn by this.
  void setViewImage(const QImage& image) { viewImage_ = image; }
  const QImage& viewImage() const { return viewImage_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage viewImage_;
};

// A borderless, transparent window centred on the screen's available area, shown while the
// first design is made.
class AppSplashScreen : public QWidget {
  Q_OBJECT
 public:
  explicit AppSplashScreen(const QSize& contentSize);
  // How long the splash stays up, milliseconds.
  static constexpr int kHoldMilliseconds = 500;
  static QPoint centredOrigin(const QRect& visible, const QSize& size);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
