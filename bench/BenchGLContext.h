// One OpenGL context for a benchmark program, made on the X display (Xvfb) through Qt's xcb
// platform; `ok` is false without a display or when no context could be made current.
#pragma once
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <cstdlib>
#include <cstring>
#include <memory>

struct BenchGLContext {
  int argc = 1;
  char name[16] = {};
  char* argv[2] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
  std::unique_ptr<QOffscreenSurface> surface;
  std::unique_ptr<QOpenGLContext> context;
  bool ok = false;
  explicit BenchGLContext(const char* program) {
    strncpy(name, program, sizeof name - 1);
    if (!getenv("DISPLAY")) return;
    // A benchmark of the program's roads already runs the program's application object.
    if (!QCoreApplication::instance()) app = std::make_unique<QGuiApplication>(argc, argv);
    surface = std::make_unique<QOffscreenSurface>();
    surface->create();
    context = std::make_unique<QOpenGLContext>();
    ok = context->create() && context->makeCurrent(surface.get());
  }
  // Kept to the end of the process: when the application object is the program's, it is gone
  // by now, and with it the display the context would be destroyed on.
  ~BenchGLContext() {
    if (app) return;
    (void)context.release();
    (void)surface.release();
  }
};
