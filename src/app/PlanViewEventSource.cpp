// The plan view's nested-loop event queue: a local event loop that waits for the view's
// next event of the loop's kinds.
#include "app/PlanViewEventSource.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/ZLKDocumentView.h"

namespace {

uint32_t FlagsOf(Qt::KeyboardModifiers modifiers) {
  uint32_t flags = 0;
  if (modifiers & Qt::ShiftModifier) flags |= kModalShiftKey;
  if (modifiers & Qt::AltModifier) flags |= kModalOptionKey;
  if (modifiers & Qt::ControlModifier) flags |= kModalCommandKey;
  return flags;
}

uint16_t KeyCodeOf(int key) {
  switch (key) {
    case Qt::Key_Tab: case Qt::Key_Backtab: return kModalKeyTab;
    case Qt::Key_Escape: return kModalKeyEscape;
    case Qt::Key_Return: return kModalKeyReturn;
    case Qt::Key_Enter: return kModalKeyEnter;
    default: return 0;
  }
}

bool IsModifierKey(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta;
}

}  // namespace

PlanViewEventSource::PlanViewEventSource(ZLKDocumentView* view) : view_(view) {
  if (view) view->installEventFilter(this);
}

void PlanViewEventSource::viewGone() { markClosed(); }

void PlanViewEventSource::markClosed() {
  closed_ = true;
  queue_.clear();
  if (loop_) loop_->quit();
}

QWidget* PlanViewEventSource::queueView() const { return view_; }

POINT PlanViewEventSource::mouseLocation() const {
  if (!view_) return POINT{};
  const QPointF local = view_->mapFromGlobal(QCursor::pos());
  return ZLKDocumentView::windowPointFromViewPoint(view_->viewPointFromWidget(local));
}

void PlanViewEventSource::setAcceptsMouseMovedEvents(bool accept) {
  acceptsMoved_ = accept;
  if (view_) view_->setMouseTracking(accept);
}

void PlanViewEventSource::take(const ModalEvent& event) {
  queue_.push_back(event);
  if (onModifiers) onModifiers(TrackModifiersOfEvent(event));
  if (loop_) loop_->quit();
}

bool PlanViewEventSource::eventFilter(QObject* watched, QEvent* event) {
  if (!loop_) return false;
  const QEvent::Type type = event->type();
  if (watched == window_ && watched != view_) {
    if (type == QEvent::DeferredDelete) {
      heldDelete_ = true;
      markClosed();
      return true;
    }
    if (type == QEvent::Hide && window_ && !window_->isVisible()) markClosed();
    return false;
  }
  if (watched != view_) return false;
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      ModalEvent e;
      e.where = ZLKDocumentView::windowPointFromViewPoint(view_->viewPointFromWidget(mouse->position()));
      e.modifierFlags = FlagsOf(mouse->modifiers());
      if (type == QEvent::MouseMove) {
        const bool dragging = mouse->buttons() & Qt::LeftButton;
        if (!dragging && !acceptsMoved_) return true;
        e.type = dragging ? kModalMouseDragged : kModalMouseMoved;
      } else if (type == QEvent::MouseButtonRelease) {
        if (mouse->button() != Qt::LeftButton) return true;
        e.type = kModalMouseUp;
      } else {
        // A right click stands in for a Control-click.
        if (mouse->button() == Qt::RightButton) e.modifierFlags |= kModalControlKey;
        else if (mouse->button() != Qt::LeftButton) return true;
        e.type = kModalMouseDown;
        e.clickCount = type == QEvent::MouseButtonDblClick ? 2 : 1;
      }
      take(e);
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      ModalEvent e;
      e.where = mouseLocation();
      e.modifierFlags = FlagsOf(key->modifiers());
      if (IsModifierKey(key->key())) {
        if (key->isAutoRepeat()) return true;
        e.type = kModalFlagsChanged;
      } else if (type == QEvent::KeyPress) {
        e.type = kModalKeyDown;
        e.keyCode = KeyCodeOf(key->key());
        if (key->key() == Qt::Key_Backtab) e.modifierFlags |= kModalShiftKey;
      } else {
        return true;
      }
      take(e);
      return true;
    }
    case QEvent::Hide:
      if (!view_->isVisible()) markClosed();
      return false;
    default:
      return false;
  }
}
