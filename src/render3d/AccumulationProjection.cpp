// Loads the jittered projection of one anti-aliasing pass into GL: the frustum arithmetic
// lives with the line geometry, this file only hands its values to GL.
#include "render3d/AccumulationProjection.h"

#include <GL/gl.h>

#include "model/LineGeometry.h"
#include "model/Services.h"

void accFrustum(double left, double right, double bottom, double top, double zNear, double zFar,
                double pixdx, double pixdy, double eyedx, double eyedy, double focus) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  FrustumValues f = ComputeAccFrustum(left, right, bottom, top, zNear, zFar, pixdx, pixdy, eyedx,
                                      eyedy, focus, viewport[2], viewport[3]);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(f.left, f.right, f.bottom, f.top, f.zNear, f.zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(static_cast<GLfloat>(-eyedx), static_cast<GLfloat>(-eyedy), 0.0f);
  InitializeAntiAliasGLScene(1.0, 1.0, 1.0, 1.0, 1.0);
}

void accPerspective(double fovy, double aspect, double zNear, double zFar, double pixdx,
                    double pixdy, double eyedx, double eyedy, double focus) {
  // The unjittered frustum of the perspective, then the jittered pass.
  FrustumValues f = ComputeAccPerspective(fovy, aspect, zNear, zFar, 0, 0, 0, 0, focus, 1, 1);
  accFrustum(f.left, f.right, f.bottom, f.top, zNear, zFar, pixdx, pixdy, eyedx, eyedy, focus);
}
