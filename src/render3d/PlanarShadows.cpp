// Planar shadows through the stencil buffer.
#include "render3d/PlanarShadows.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/PlanarTransforms.h"
#include "model/PlaneObjectRecords.h"
#include "model/Records.h"
#include "model/TopoGrid.h"
#include "render3d/SceneFrame.h"
#include "render3d/TextureLoading.h"

float shadowMat[16] = {};
float gShadowPlaneElevation = 0;
PlaneObject* gCurrentShadowRecipient = nullptr;
uint8_t gShadowingLot = 0;
uint8_t* gStencilBufferScrap = nullptr;
int32_t gGLViewport[4] = {};

namespace {

bool IsFlatSurfaceType(int16_t type) { return type == 13 || type == 36 || type == 49 || type == 50; }
bool IsGroundSurfaceType(int16_t type) { return type == 23 || type == 26 || type == 27; }

// Types that cast no planar shadow: floors, ground surfaces, property lines, ceilings and the
// other flat passes.
bool CastsNoPlanarShadow(int16_t type) {
  switch (type) {
    case 13: case 21: case 23: case 26: case 27: case 34: case 36: case 41:
    case 46: case 47: case 48: case 49: case 50: case 127:
      return true;
    default:
      return false;
  }
}

// Every face of a plane object as a polygon at (x, -y, z), or at height 0 when flattened.
void DrawFaces(const PlaneObject* po, bool flatten) {
  for (const Plane* plane = po->planes; plane; plane = plane->next) {
    const int32_t count = plane->vertices ? plane->vertexCount : 0;
    if (count < 3) continue;
    glBegin(GL_POLYGON);
    for (int32_t i = 0; i < count; ++i) {
      const PlaneVertex& v = plane->vertices[i];
      glVertex3f(v.x, flatten ? 0.0f : -v.y, v.z);
    }
    glEnd();
  }
}

// Colour writes and depth test off, every stencil op REPLACE with the given reference.
void BeginReceiverMarks(GLint reference) {
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_ALWAYS, reference, 0xFFFF);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
}

void EndReceiverMarks() {
  glDisable(GL_STENCIL_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DITHER);
}

void ClearStencilToOne() {
  glClearStencil(1);
  glClear(GL_STENCIL_BUFFER_BIT);
  glClearStencil(0);
  gCurrentStencilValue = 2;
}

}  // namespace

void PrepareShadowingForLot() {
  DocState* ds = CurDocState();
  if (!ds) return;
  gShadowingLot = 1;
  gCurrentShadowRecipient = nullptr;
  ClearStencilToOne();
  gShadowPlaneElevation = 0;
  BeginReceiverMarks(0);
  const FloatRect& b = ds->planBounds;
  glBegin(GL_POLYGON);
  glVertex3f(b.floatLeft, 0, b.floatBottom);
  glVertex3f(b.floatRight, 0, b.floatBottom);
  glVertex3f(b.floatRight, 0, b.floatTop);
  glVertex3f(b.floatLeft, 0, b.floatTop);
  glEnd();
  if (ds->shadowQuality > 0) {
    // No lot shadow falls on floors and flat passes (flattened) nor on ground surfaces.
    glStencilFunc(GL_ALWAYS, 1, 0xFFFF);
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      if (IsFlatSurfaceType(po->actual3DType)) DrawFaces(po, true);
      else if (IsGroundSurfaceType(po->actual3DType)) DrawFaces(po, false);
    }
  }
  EndReceiverMarks();
}

void PrepareShadowingForPlaneObject(PlaneObject* po) {
  DocState* ds = CurDocState();
  if (!ds || !po || !po->base2DObject) return;
  Objex* base = po->base2DObject;
  Objex* root = GetRootObject(base);
  if (!root) return;
  gShadowingLot = 0;
  gCurrentShadowRecipient = po;
  ClearStencilToOne();
  if (IsFlatSurfaceType(po->actual3DType)) {
    gShadowPlaneElevation = ConvertWorldToScreen(base->baseElevation + base->params[2], ds, 0);
  } else if (IsGroundSurfaceType(po->actual3DType)) {
    if (OnTopographyOf(root) == 0) {
      gShadowPlaneElevation = ConvertWorldToScreen(root->baseElevation, ds, 0);
    } else {
      TopoInUse();
      gShadowPlaneElevation = 0;
    }
  } else {
    gShadowPlaneElevation = 0;
  }
  BeginReceiverMarks(0);
  DrawFaces(po, false);
  EndReceiverMarks();
}

bool ShadowReachesReceiver(const PlaneObject* po, bool testAbove) {
  float smallest = std::numeric_limits<float>::max(), largest = -std::numeric_limits<float>::max();
  bool any = false;
  for (const Plane* plane = po->planes; plane; plane = plane->next) {
    const int32_t count = plane->vertices ? plane->vertexCount : 0;
    for (int32_t i = 0; i < count; ++i) {
      smallest = std::min(smallest, plane->vertices[i].y);
      largest = std::max(largest, plane->vertices[i].y);
      any = true;
    }
  }
  if (!any) return false;
  if (testAbove && smallest + 5 > -gShadowPlaneElevation) return false;
  if (gShadowingLot) {
    const Objex* root = po->base2DObject ? GetRootObject(po->base2DObject) : nullptr;
    if (root && root->type == kObjWall) {
      DocState* ds = CurDocState();
      largest = -ConvertWorldToScreen(po->base2DObject->baseElevation, ds, 0);
    }
    if (largest - 5 > -gShadowPlaneElevation) return false;
  }
  return true;
}

void RenderGLPlaneShadowObject(PlaneObject* po) {
  if (!po || po == gCurrentShadowRecipient || CastsNoPlanarShadow(po->actual3DType)) return;
  if (!ShadowReachesReceiver(po, true)) return;
  const bool masked = po->children != nullptr;
  glPushMatrix();
  glMultMatrixf(shadowMat);
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(masked ? GL_GREATER : GL_NOTEQUAL, 1, 0xFFFF);
  glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_TEXTURE_2D);
  glColor4ub(0, 0, 0, kShadowAlpha);
  DrawFaces(po, false);
  glPopMatrix();
  if (masked) {
    StoreStencilBuffer();
    LoadStencilBuffer();
  }
  glDisable(GL_BLEND);
  glDisable(GL_STENCIL_TEST);
}

void RenderGLPlaneShadowObjectMask(PlaneObject* po) {
  if (!po || !po->children) return;
  glPushMatrix();
  glMultMatrixf(shadowMat);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
  glEnable(GL_STENCIL_TEST);  // the inversion is written only with the test on
  glStencilFunc(GL_ALWAYS, 0xFFFF, 0xFFFF);
  glStencilOp(GL_INVERT, GL_INVERT, GL_INVERT);
  for (const PlaneObject* mask = po->children; mask; mask = mask->next) DrawFaces(mask, false);
  glDisable(GL_STENCIL_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glPopMatrix();
}

void StoreStencilBuffer() {
  free(gStencilBufferScrap);
  gStencilBufferScrap = nullptr;
  GLint vp[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, vp);
  std::copy(vp, vp + 4, gGLViewport);
  const int32_t w = vp[2], h = vp[3];
  if (w < 1 || h < 1) return;
  const size_t size = (static_cast<size_t>(w) + 4) * (static_cast<size_t>(h) + 1);
  gStencilBufferScrap = static_cast<uint8_t*>(calloc(size, 1));
  if (!gStencilBufferScrap) return;
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(vp[0], vp[1], w, h, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, gStencilBufferScrap);
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  for (size_t i = 0; i < count; ++i) {
    uint8_t& s = gStencilBufferScrap[i];
    if (s >= 255) s = 0;
    else if (s == 254) s = 1;
  }
}

void LoadStencilBuffer() {
  if (!gStencilBufferScrap) return;
  const int32_t w = gGLViewport[2], h = gGLViewport[3];
  if (w > 0 && h > 0) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, w, 0, h);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glRasterPos2i(0, 0);
    glDrawPixels(w, h, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, gStencilBufferScrap);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
  }
  free(gStencilBufferScrap);
  gStencilBufferScrap = nullptr;
}

void calcNormal(const float v[9], float out[3]) {
  if (!v || !out) return;
  const float a[3] = {v[0] - v[3], v[1] - v[4], v[2] - v[5]};
  const float b[3] = {v[3] - v[6], v[4] - v[7], v[5] - v[8]};
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
  ReduceToUnit(out);
}

void MakeShadowMatrix() {}
