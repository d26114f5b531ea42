// One OpenGL context for the whole render test program, made on the X display (Xvfb) through
// Qt's xcb platform and kept until the process ends. Null without a display.
#pragma once
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <cstdlib>
#include <memory>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

class GLTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!getenv("DISPLAY")) return;
#ifdef __SANITIZE_ADDRESS__
    // The Mesa driver is loaded and unloaded at run time and keeps allocations that no
    // suppression can name; what the GL side allocates is not leak-checked.
    __lsan_disable();
#endif
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    surface_ = std::make_unique<QOffscreenSurface>();
    surface_->create();
    context_ = std::make_unique<QOpenGLContext>();
    if (!context_->create() || !context_->makeCurrent(surface_.get())) context_.reset();
  }
  // The context, its surface and the application stay until the process ends: destroying them
  // unloads the Mesa driver, and the leak checker that runs at exit then sometimes trips over
  // the thread-local blocks the unloaded driver left behind (its own crash, not a leak).
  void TearDown() override {
    if (context_) context_->doneCurrent();
    (void)context_.release();
    (void)surface_.release();
    (void)app_.release();
  }
  static QOpenGLContext* context() { return context_.get(); }

 private:
  int argc_ = 1;
  char name_[14] = "test_render3d";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
  std::unique_ptr<QOffscreenSurface> surface_;
  static inline std::unique_ptr<QOpenGLContext> context_;
};

inline ::testing::Environment* const kGLTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new GLTestEnvironment);

inline QOpenGLContext* TestGLContext() { return GLTestEnvironment::context(); }
