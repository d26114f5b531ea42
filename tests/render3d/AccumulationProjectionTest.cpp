// The jittered projection of an anti-aliasing pass, read back from a real GL context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "model/LineGeometry.h"
#include "model/Services.h"
#include "render3d/GLTestContext.h"

namespace {
QOpenGLContext* Context() { return TestGLContext(); }
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
