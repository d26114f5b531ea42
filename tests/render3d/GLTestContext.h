// One OpenGL context for the whole render test program, made on the X display (Xvfb) through
// Qt's xcb platform and kept until the process ends. Null without a display.
#pragma once
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <cstdlib>
#include <memory>

#include "platform/AddressSanitizer.h"
#ifdef CASA_ADDRESS_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

class GLTestEnvironment : public ::testing::Environment {
 public:
  // Made once, for every repetition of the tests.
  void SetUp() override {
    if (app_ || !getenv("DISPLAY")) return;
    // Mesa's software driver draws with a pool of threads of its own and starts another for
    // its shader cache, which the leak checker's tracer has to stop at exit: drawn on the
    // calling thread, with no cache, there are none.
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
#ifdef CASA_ADDRESS_SANITIZER
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
  // The context, its surface and the application go once the last test has run, before the
  // process ends: left to the exit, the window system's thread still ran while the exit freed
  // what it uses.
  static void release() {
    if (context_) context_->doneCurrent();
    context_.reset();
    surface_.reset();
    app_.reset();
  }
  static QOpenGLContext* context() { return context_.get(); }

 private:
  static inline int argc_ = 1;
  static inline char name_[14] = "test_render3d";
  static inline char* argv_[2] = {name_, nullptr};
  static inline std::unique_ptr<QGuiApplication> app_;
  static inline std::unique_ptr<QOffscreenSurface> surface_;
  static inline std::unique_ptr<QOpenGLContext> context_;
};

class GLTestRelease : public ::testing::EmptyTestEventListener {
  void OnTestProgramEnd(const ::testing::UnitTest&) override { GLTestEnvironment::release(); }
};

inline ::testing::Environment* const kGLTestEnvironment = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new GLTestRelease);
  return ::testing::AddGlobalTestEnvironment(new GLTestEnvironment);
}();

inline QOpenGLContext* TestGLContext() { return GLTestEnvironment::context(); }
