// The jittered projection of an anti-aliasing pass, read back from a real GL context.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

#include <cmath>
#include <cstdlib>
#include <memory>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include "model/LineGeometry.h"
#include "model/PendingServices.h"

namespace {

// One GL context for the test program, made on the X display and torn down before Qt's own
// globals go; null when there is no display.
class GLEnvironment : public ::testing::Environment {
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
  void TearDown() override {
    if (context_) context_->doneCurrent();
    context_.reset();
    surface_.reset();
    app_.reset();
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

[[maybe_unused]] ::testing::Environment* const kGLEnvironment =
    ::testing::AddGlobalTestEnvironment(new GLEnvironment);

QOpenGLContext* Context() { return GLEnvironment::context(); }

}  // namespace

TEST(AccumulationProjection, PerspectivePassLoadsTheJitteredFrustum) {
  if (!Context()) GTEST_SKIP() << "no display for an OpenGL context";
  glViewport(0, 0, 800, 600);
  ServiceCallRecorder calls;
  accPerspective(45.0, 800.0 / 600.0, 1.0, 40000.0, 0.5, -0.25, 0.0, 0.0, 1.0);
  EXPECT_TRUE(calls.called("InitializeAntiAliasGLScene"));

  FrustumValues f = ComputeAccPerspective(45.0, 800.0 / 600.0, 1.0, 40000.0, 0.5, -0.25, 0.0, 0.0,
                                          1.0, 800, 600);
  GLdouble m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, m);
  // glFrustum: m[0] = 2n/(r-l), m[8] = (r+l)/(r-l), m[5] = 2n/(t-b), m[9] = (t+b)/(t-b).
  EXPECT_NEAR(m[0], 2.0 / (f.right - f.left), 1e-6);
  EXPECT_NEAR(m[8], (f.right + f.left) / (f.right - f.left), 1e-6);
  EXPECT_NEAR(m[5], 2.0 / (f.top - f.bottom), 1e-6);
  EXPECT_NEAR(m[9], (f.top + f.bottom) / (f.top - f.bottom), 1e-6);
  // Half a pixel to the right shifts the frustum left by half a pixel's width.
  double top = std::tan(45.0 * M_PI / 360.0);
  double pixel = 2 * top * (800.0 / 600.0) / 800.0;
  EXPECT_NEAR(f.left, -top * 800.0 / 600.0 - 0.5 * pixel, 1e-9);

  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  EXPECT_DOUBLE_EQ(m[12], 0.0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(AccumulationProjection, EyeJitterTranslatesTheModelView) {
  if (!Context()) GTEST_SKIP() << "no display for an OpenGL context";
  glViewport(0, 0, 400, 400);
  accFrustum(-1, 1, -1, 1, 1, 100, 0, 0, 0.25, -0.5, 2.0);
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  EXPECT_NEAR(m[12], -0.25, 1e-6);
  EXPECT_NEAR(m[13], 0.5, 1e-6);
}
