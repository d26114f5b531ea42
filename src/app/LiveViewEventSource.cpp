// The 3D view's event queue for the navigation loops: a local event loop that waits for the
// view's next event of the loop's kinds or the next periodic event.
#include "app/LiveViewEventSource.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

uint32_t FlagsOf(Qt::KeyboardModifiers modifiers) {
  uint32_t flags = 0;
  if (modifiers & Qt::ShiftModifier) flags |= kModalShiftKey;
  if (modifiers & Qt::AltModifier) flags |= kModalOptionKey;
  if (modifiers & Qt::ControlModifier) flags |= kModalCommandKey;
  if (modifiers & Qt::MetaModifier) flags |= kModalControlKey;
  return flags;
}

uint16_t KeyCodeOf(int key) {
  switch (key) {
    case Qt::Key_Left: return kModalKeyLeftArrow;
    case Qt::Key_Right: return kModalKeyRightArrow;
    case Qt::Key_Up: return kModalKeyUpArrow;
    case Qt::Key_Down: return kModalKeyDownArrow;
    case Qt::Key_Escape: return kModalKeyEscape;
    case Qt::Key_Return: return kModalKeyReturn;
    case Qt::Key_Enter: return kModalKeyEnter;
    case Qt::Key_Tab: return kModalKeyTab;
    default: return 0;
  }
}

}  // namespace

LiveViewEventSource::LiveViewEventSource(QWidget* view) : view_(view) {
  if (view) view->installEventFilter(this);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] {
    timer_.setInterval(period_);
    // Periodic events do not pile up: one waits at most.
    for (const ModalEvent& e : queue_)
      if (e.type == kModalPeriodic) return;
    ModalEvent e;
    e.type = kModalPeriodic;
    e.where = mouseLocation();
    take(e);
  });
}

POINT LiveViewEventSource::mouseLocation() const {
  if (!view_) return POINT{};
  const QPointF local = view_->mapFromGlobal(QCursor::pos());
  return POINT{static_cast<int32_t>(local.x()), static_cast<int32_t>(local.y())};
}

void LiveViewEventSource::startPeriodicEvents(int delayMs, int periodMs) {
  period_ = periodMs > 0 ? periodMs : 10;
  timer_.start(delayMs > 0 ? delayMs : period_);
}

void LiveViewEventSource::stopPeriodicEvents() {
  timer_.stop();
  std::erase_if(queue_, [](const ModalEvent& e) { return e.type == kModalPeriodic; });
}

void LiveViewEventSource::discardKeyEvents() {
  // Releases stay: a loop that lost one would keep moving as if the key were still held.
  std::erase_if(queue_, [](const ModalEvent& e) { return e.type == kModalKeyDown; });
}

void LiveViewEventSource::take(const ModalEvent& event) {
  queue_.push_back(event);
  if (loop_) loop_->quit();
}

void LiveViewEventSource::loseMouse() {
  ModalEvent up;
  up.type = kModalMouseUp;
  up.where = mouseLocation();
  take(up);
}

bool LiveViewEventSource::eventFilter(QObject* watched, QEvent* event) {
  // The view's events belong to the loop from its start, also those that come before it first
  // waits.
  if (!loop_ && CurrentModalEventSource() != this) return false;
  const QEvent::Type type = event->type();
  if (watched == window_ && watched != view_) {
    if (type == QEvent::DeferredDelete) {
      heldDelete_ = true;
      loseMouse();
      return true;
    }
    if (type == QEvent::Hide || type == QEvent::Close || type == QEvent::WindowDeactivate) loseMouse();
    return false;
  }
  if (watched != view_) return false;
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return true;  // no second loop inside the first
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      ModalEvent e;
      e.where = POINT{static_cast<int32_t>(mouse->position().x()), static_cast<int32_t>(mouse->position().y())};
      e.modifierFlags = FlagsOf(mouse->modifiers());
      if (type == QEvent::MouseMove) {
        if (mouse->buttons() & Qt::LeftButton) e.type = kModalMouseDragged;
        else if (mouse->buttons() & Qt::RightButton) e.type = kModalRightMouseDragged;
        else return true;
      } else if (mouse->button() == Qt::LeftButton) {
        e.type = kModalMouseUp;
      } else if (mouse->button() == Qt::RightButton) {
        e.type = kModalRightMouseUp;
      } else {
        return true;
      }
      take(e);
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      // A held key is one press and one release.
      if (key->isAutoRepeat()) return true;
      ModalEvent e;
      e.type = type == QEvent::KeyPress ? kModalKeyDown : kModalKeyUp;
      e.where = mouseLocation();
      e.modifierFlags = FlagsOf(key->modifiers());
      e.keyCode = KeyCodeOf(key->key());
      take(e);
      return true;
    }
    case QEvent::Hide:
      loseMouse();
      return false;
    default:
      return false;
  }
}
