// Key presses queued for the Escape poll of the 3D renders.
#include "app/RenderKeyWatch.h"

#include <GL/gl.h>

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QWidget>


RenderKeyWatch& RenderKeyWatch::shared() {
  static RenderKeyWatch* watch = new RenderKeyWatch;
  return *watch;
}

void RenderKeyWatch::begin(QOpenGLWidget* view) {
  if (depth_++ > 0) return;
  view_ = view;
  keys_.clear();
  watching_ = true;
  previousWatch_ = CurrentKeyWatch();
  SetKeyWatch(this);
  if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

void RenderKeyWatch::end() {
  if (depth_ == 0 || --depth_ > 0) return;
  watching_ = false;
  SetKeyWatch(previousWatch_);
  previousWatch_ = nullptr;
  view_ = nullptr;
  keys_.clear();
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void RenderKeyWatch::queueKey(int qtKey) { keys_.push_back(qtKey == Qt::Key_Escape ? kKeyWatchEscape : 0); }

namespace {
// Runs `work`, then makes the context, surface and framebuffer that were current before
// current again.
template <typename Work>
void KeepingGLContext(Work work) {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  QSurface* surface = context ? context->surface() : nullptr;
  GLint framebuffer = 0;
  GLint viewport[4] = {0, 0, 0, 0};
  if (context) {
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
  }
  work();
  if (!context || !surface) return;
  if (QOpenGLContext::currentContext() != context) context->makeCurrent(surface);
  GLint now = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &now);
  if (now != framebuffer) context->functions()->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}
}  // namespace

void RepaintKeepingGLContext(QWidget* widget) {
  if (widget) KeepingGLContext([widget] { widget->repaint(); });
}

void ProcessEventsKeepingGLContext() {
  if (QCoreApplication::instance()) KeepingGLContext([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
}

int32_t RenderKeyWatch::takeKeyDown() {
  if (keys_.empty() && watching_) ProcessEventsKeepingGLContext();
  if (keys_.empty()) return -1;
  const int32_t key = keys_.front();
  keys_.pop_front();
  return key;
}

bool RenderKeyWatch::eventFilter(QObject* watched, QEvent* event) {
  if (!watching_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      keys_.push_back(key->key() == Qt::Key_Escape ? kKeyWatchEscape : 0);
      return true;
    }
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
      // Held back: nothing acts on the design or the window while the render runs.
      return true;
    case QEvent::Paint:
      // The surface being rendered keeps its frame until the render ends.
      return view_ && watched == view_.data() ? true : false;
    default:
      return false;
  }
}
