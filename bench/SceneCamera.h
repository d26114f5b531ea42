// The camera of a real-time frame of the scene, taken over by the raw passes a benchmark measures
// beside the program's own.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "model/DocState.h"
#include "model/Types.h"
#include "render3d/RealTimeScene.h"

namespace bench {

struct SceneCamera {
  GLdouble projection[16];
  GLdouble modelView[16];
  GLint viewport[4];
};

// Starts a new interaction's frame from the document's camera and takes that camera.
inline SceneCamera StartFrameTakingCamera(DocState* ds) {
  RTInitializeGLScene();
  RTSetViewpoint(ds);
  SceneCamera c;
  glGetDoublev(GL_PROJECTION_MATRIX, c.projection);
  glGetDoublev(GL_MODELVIEW_MATRIX, c.modelView);
  glGetIntegerv(GL_VIEWPORT, c.viewport);
  return c;
}

// A raw selection pass through the pick's narrowed projection at `at`, the triangles sent by
// `send` (each under a name of its own); the hit count.
template <class Send>
GLint RawSelectPass(SceneCamera& c, POINT at, std::vector<GLuint>* buffer, Send send) {
  glSelectBuffer(static_cast<GLsizei>(buffer->size()), buffer->data());
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPickMatrix(at.x, c.viewport[3] - at.y, 2.0, 2.0, c.viewport);
  glMultMatrixd(c.projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(c.modelView);
  send();
  glFlush();
  return glRenderMode(GL_RENDER);
}

}  // namespace bench
