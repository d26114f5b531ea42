// The keyboard during a long render in the 3D window: key presses are queued for the
// renderer's Escape poll, other input is held back, and the status line and progress
// indicator still repaint at every poll.
#pragma once
#include <QObject>
#include <QPointer>
#include <deque>

#include "platform/KeyWatch.h"

class QOpenGLWidget;
class QWidget;

class RenderKeyWatch : public QObject, public KeyWatch {
  Q_OBJECT
 public:
  static RenderKeyWatch& shared();

  // Watching runs from begin() to end() (the render actions of the 3D window), with this
  // watch installed as the platform's key watch; `view` is the surface being rendered, which
  // is not repainted meanwhile.
  void begin(QOpenGLWidget* view);
  void end();
  bool watching() const { return watching_; }

  // Delivers what is waiting (paints of the other widgets included), then takes the next
  // key pressed since the render began: 53 for Escape, 0 for any other key, -1 for none.
  int32_t takeKeyDown() override;
  void flushKeys() { keys_.clear(); }
  // Queues a key press as if typed (tests).
  void queueKey(int qtKey);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool watching_ = false;
  int depth_ = 0;
  QPointer<QOpenGLWidget> view_;
  std::deque<int32_t> keys_;
  KeyWatch* previousWatch_ = nullptr;
};

// Repaints the widget at once (status and progress during a render), putting back the GL
// context, surface and framebuffer the render is drawing with: painting the window may make
// the window's own context current.
void RepaintKeepingGLContext(QWidget* widget);
// Delivers waiting events the same way.
void ProcessEventsKeepingGLContext();

// Watches the keyboard for the length of a scope.
class RenderKeyWatchScope {
 public:
  explicit RenderKeyWatchScope(QOpenGLWidget* view) { RenderKeyWatch::shared().begin(view); }
  ~RenderKeyWatchScope() { RenderKeyWatch::shared().end(); }
  RenderKeyWatchScope(const RenderKeyWatchScope&) = delete;
  RenderKeyWatchScope& operator=(const RenderKeyWatchScope&) = delete;
};
