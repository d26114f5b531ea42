// The drawing surface of the 3D window: a full-quality redraw when the scene is stale and the
// kept frame otherwise, navigation from a mouse-down, content applied by Option-click
// ("auto-click") or by a drop, the cursor of the navigation mode and the check marks of the
// render-style menu items.
#pragma once
#include <QCursor>
#include <QImage>
#include <QOpenGLWidget>
#include <QPainterPath>

#include "content/SymEntry.h"
#include <memory>
#include <vector>

#include "model/Types.h"

class LiveViewEventSource;
class QAction;
class QMimeData;
class QMouseEvent;
class QPainter;
struct SymEntryInfo;

// A navigation loop started from the 3D view runs.
extern uint8_t gRenderingDirect3D;
// A full render runs in the 3D view's context.
extern uint8_t gRenderGL;
// gRealTimeElevate (render3d/Navigation.h) flips with each right-click in the 3D view.
#include "render3d/Navigation.h"  // IWYU pragma: export

// Content library entries dragged onto the 3D view carry their record under
// Content3DDNDPboardType (content/SymEntry.h).

// A point clicked in auto-click mode, marked over the frozen image: a white plus-shaped band
// (3 wide, 17 long each way) with a black cross of 7 each side of the point on it.
class ZLKAutoClickElement {
 public:
  explicit ZLKAutoClickElement(POINT point);
  POINT point() const { return point_; }
  const QPainterPath& highlightPath() const { return highlightPath_; }
  const QPainterPath& crosshairPath() const { return crosshairPath_; }
  // Fills the band white, then strokes the cross black (one pixel, not smoothed).
  void drawAutoClickElement(QPainter& painter) const;

 private:
  POINT point_;
  QPainterPath highlightPath_;
  QPainterPath crosshairPath_;
};

class LiveViewOGLView : public QOpenGLWidget {
  Q_OBJECT
 public:
  explicit LiveViewOGLView(QWidget* parent = nullptr);
  ~LiveViewOGLView() override;

  // Draws now: the redraw of paintGL, synchronously.
  void display();
  // The mouse-down that started the current navigation loop (null outside one).
  const QMouseEvent* mouseEvent() const { return mouseEvent_.get(); }
  // The queue the navigation loops read while one runs from this view.
  LiveViewEventSource& eventSource() { return *eventSource_; }
  // Navigation loops run from this view.
  int navigationLoopCount() const { return navigationLoops_; }

  // The render-style and viewpoint menu items (the item's tag, a command code) go to the
  // command bridge.
  void setRenderStyle(QAction* sender);
  void setViewpoint(QAction* sender);
  // Always enabled; checks the render-style item that matches the render mode.
  bool validateMenuItem(QAction* item);
  // The cursor of the view: the pointing hand in auto-click mode, else by navigation mode.
  void resetCursorRects();

  // Auto-click mode (Option held over the view with a colour, material or trim entry).
  bool canEnable3DAutoClickForEvent(const Qt::KeyboardModifiers* modifiers) const;
  void flagsChanged(Qt::KeyboardModifiers modifiers);
  void mouseExited();
  void do3DSymTargetClick(POINT point, SymEntryInfo* entry);
  void store3DAutoClickUndoAction();
  void removeAllAutoClick3DPaths() { autoClick3DPaths_.clear(); }
  bool autoClick3DActive() const { return autoClick3DActive_ != 0; }
  size_t autoClick3DPathCount() const { return autoClick3DPaths_.size(); }
  const QImage& backingImage() const { return backingImage_; }

  // The mouse handlers of the view (also reached from its Qt events).
  void mouseDown(QMouseEvent* event);
  void rightMouseDown(QMouseEvent* event);
  // A drop of content-library data at the view point; whether it was applied.
  // Drag destination: a drag that offers a content entry is taken as a copy (4), any other
  // refused (0).
  int draggingEntered(const QMimeData* pasteboard) const;
  void draggingExited() {}
  bool prepareForDragOperation() const { return true; }
  bool performDragOperation(const QByteArray* data, POINT where);
  void concludeDragOperation() {}

  // Full renders this view ran, and whether Escape polling was off during the last one.
  int renderCount() const { return renderCount_; }
  bool lastRenderHadPollingOff() const { return lastRenderPollingOff_; }

 protected:
  void initializeGL() override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The full render of the redraw: only with gRefreshRender set and no anti-aliased render
  // running.
  void renderIfStale();
  void presentKeptImage();
  // Runs the navigation loop for the mouse-down, reading this view's events.
  void navigate(QMouseEvent* event);
  // Applies the entry at the view point with this view's context current; Shift and Ctrl of
  // the event being handled reach the apply routines as the tracking modifiers.
  bool applyEntryHere(POINT point, SymEntryInfo* entry);

  uint8_t autoClick3DActive_ = 0;
  QCursor ctrlWalkCursor_, freeWalkCursor_, ctrlFlyCursor_, freeFlyCursor_;
  std::unique_ptr<QMouseEvent> mouseEvent_;
  std::unique_ptr<LiveViewEventSource> eventSource_;
  int navigationLoops_ = 0;
  QImage backingImage_;
  std::vector<ZLKAutoClickElement> autoClick3DPaths_;
  bool trackingTag_ = false;  // the view watches the mouse leaving it (auto-click mode)
  int renderCount_ = 0;
  bool rendering_ = false;  // a render of this view is running
  bool lastRenderPollingOff_ = false;
  Qt::KeyboardModifiers eventModifiers_;  // of the click or drop being applied
};
