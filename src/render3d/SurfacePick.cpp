// The 3D pick: a selection-mode pass of the real-time scene narrowed to the view point.
#include "render3d/SurfacePick.h"

#include <GL/gl.h>

#include <cstdlib>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlaneObjectRecords.h"
#include "model/Services.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RealTimeScene.h"
#include "render3d/SceneFrame.h"

namespace {
// The real-time detail level of a pick.
constexpr int16_t kPickDetailLevel = 8;
}  // namespace

bool NearestHitName(const uint32_t* buffer, size_t entries, int32_t hits, uint32_t* name) {
  if (!buffer || !name) return false;
  const size_t records = hits < 0 ? entries : static_cast<size_t>(hits);
  double best = 100.0;
  bool found = false;
  size_t at = 0;
  for (size_t i = 0; i < records; ++i) {
    if (at + 3 > entries) break;
    const uint32_t count = buffer[at];
    if (count > entries - at - 3) break;
    const double depth = buffer[at + 1] / 4294967295.0;
    if (count > 0 && depth < best) {
      best = depth;
      *name = buffer[at + 3];
      found = true;
    }
    at += 3 + count;
  }
  return found;
}

namespace {

// One selection pass of the scene into `buffer`; the hit count, or -1 when it overflowed.
GLint PickPass(DocState* ds, POINT point, GLuint* buffer, size_t entries) {
  glSelectBuffer(static_cast<GLsizei>(entries), buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);

  const uint8_t realTime = gRealTimeDraw, rendering = gRenderingOpenGL, picking = gGLPickMode;
  const int16_t detail = ds->navigationStep;
  gPickX = static_cast<float>(point.x);
  gPickY = static_cast<float>(point.y);
  gRealTimeDraw = gRenderingOpenGL = gGLPickMode = 1;
  ds->navigationStep = kPickDetailLevel;
  RTInitializeGLScene();
  RTSetViewpoint(ds);
  // The pick sees what the view draws: with the cut-away on, the slab it removes is cut from
  // the pass too, or a wall no longer drawn would take the hit of the surface behind it.
  if (ds->cutAwayPosition() != 0) glEnable(GL_CLIP_PLANE0);
  RealTimeRenderGLPlaneObjects(gGLPlaneObjects);
  glDisable(GL_CLIP_PLANE0);
  ds->navigationStep = detail;
  glFlush();
  gRealTimeDraw = realTime;
  gRenderingOpenGL = rendering;
  gGLPickMode = picking;
  const GLint hits = glRenderMode(GL_RENDER);
  // The lists compiled for the pick hold its narrowed projection: the next frame makes its own.
  ResetViewpointDisplayList();
  ResetSceneDisplayList();
  return hits;
}

// The largest hit buffer a pick grows to when the surfaces under the point fill a smaller one.
constexpr size_t kMostPickBufferEntries = size_t{1} << 22;

}  // namespace

SurfacePick PickSurfaceAt(POINT point) {
  SurfacePick pick;
  DocState* ds = CurDocState();
  if (!ds) return pick;
  size_t entries = kPickBufferEntries;
  auto* buffer = static_cast<GLuint*>(calloc(entries, sizeof(GLuint)));
  if (!buffer) return pick;
  GLint hits = PickPass(ds, point, buffer, entries);
  // More surfaces lie under the point than the buffer holds: the nearest may be among those
  // left out, so the pass is made again into a larger buffer.
  while (hits < 0 && entries < kMostPickBufferEntries) {
    const size_t larger = entries * 16 < kMostPickBufferEntries ? entries * 16 : kMostPickBufferEntries;
    auto* grown = static_cast<GLuint*>(calloc(larger, sizeof(GLuint)));
    if (!grown) break;
    free(buffer);
    buffer = grown;
    entries = larger;
    hits = PickPass(ds, point, buffer, entries);
  }

  uint32_t name = 0;
  const bool hit = NearestHitName(buffer, entries, hits, &name);
  free(buffer);
  if (!hit) {
    pick.result = PickResult::kBackground;
  } else if (name == kPickNameLot) {
    pick.result = PickResult::kLot;
  } else if (PlaneObject* po = PlaneObjectForFreshPickName(name)) {
    // Named by the pass just drawn: nothing has left the scene since.
    pick.result = PickResult::kSurface;
    pick.surface = po;
  } else {
    pick.result = PickResult::kNothing;
  }
  return pick;
}
