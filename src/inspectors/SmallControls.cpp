// The small controls.
#include "inspectors/SmallControls.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionSlider>
#include <QStylePainter>

// ---- Drop-down button ----

QPoint ButtonWithMenu::menuOrigin() const { return mapToGlobal(QPoint(0, height() + 2)); }

void ButtonWithMenu::mousePressEvent(QMouseEvent* event) {
  setDown(true);
  if (buttonMenu_) {
    if (popUpMenu) popUpMenu(buttonMenu_, menuOrigin());
    else buttonMenu_->exec(menuOrigin());
    setDown(false);
  }
  event->accept();
}

void ButtonWithMenu::mouseReleaseEvent(QMouseEvent* event) {
  setDown(false);
  event->accept();
}

// ---- Toolbar button ----

void ToolbarButtonWithMenu::setControlSize(int size) {
  controlSize_ = size;
  const int side = size == 0 ? 32 : 24;
  setMinimumSize(side, side);
  setMaximumSize(side, side);
  setIconSize(QSize(side, side));
}

// ---- Elevation slider ----

void ElevationSlider::mousePressEvent(QMouseEvent* event) {
  const bool context = event->button() == Qt::RightButton ||
                       (event->button() == Qt::LeftButton && (event->modifiers() & Qt::MetaModifier));
  if (context) {
    if (rightMouseDown) rightMouseDown(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QSlider::mousePressEvent(event);
}

bool ElevationSliderCell::drawKnob(QPainter& painter, const QStyleOptionSlider& option, const QWidget* widget) const {
  if (!shouldDrawKnob_) return false;
  QStyleOptionSlider knob = option;
  knob.subControls = QStyle::SC_SliderHandle;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawComplexControl(QStyle::CC_Slider, &knob, &painter, widget);
  return true;
}

bool ElevationSliderCell::drawKnob(QPainter& painter, const QStyleOptionSlider& option, const QWidget* widget,
                                   const QRect& knobRect) const {
  if (!shouldDrawKnob_) return false;
  QStyle* style = widget ? widget->style() : QApplication::style();
  const QRect at = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, widget);
  painter.save();
  painter.translate(knobRect.topLeft() - at.topLeft());
  drawKnob(painter, option, widget);
  painter.restore();
  return true;
}

void ElevationSlider::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);
  QStyleOptionSlider groove = option;
  groove.subControls = QStyle::SC_SliderGroove;
  if (tickPosition() != QSlider::NoTicks) groove.subControls |= QStyle::SC_SliderTickmarks;
  painter.drawComplexControl(QStyle::CC_Slider, groove);
  cell_.drawKnob(painter, option, this);
}

// ---- Splash window ----

AppSplashScreen::AppSplashScreen(const QSize& contentSize)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::SplashScreen) {
  setAttribute(Qt::WA_TranslucentBackground);
  resize(contentSize);
  if (QScreen* screen = QGuiApplication::primaryScreen()) move(centredOrigin(screen->availableGeometry(), contentSize));
}

QPoint AppSplashScreen::centredOrigin(const QRect& visible, const QSize& size) {
  return QPoint(visible.x() + (visible.width() - size.width()) / 2,
                visible.y() + (visible.height() - size.height()) / 2);
}

void AppSplashScreen::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(255, 255, 255, 235));
  p.setPen(QPen(QColor(0, 64, 136), 2));
  p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 12, 12);
  QFont font = p.font();
  font.setPointSizeF(font.pointSizeF() * 2.5);
  font.setBold(true);
  p.setFont(font);
  p.drawText(rect(), Qt::AlignCenter, QStringLiteral("casavelt"));
}

// ---- BaseImageView ----

BaseImageView* BaseImageView::withFrameAndImage(const QRect& frame, const QImage& image, QWidget* parent) {
  if (image.isNull()) return nullptr;
  auto* view = new BaseImageView(parent);
  view->setGeometry(frame);
  view->viewImage_ = image;
  return view;
}

void BaseImageView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  if (viewImage_.isNull()) return;
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), viewImage_);
}
