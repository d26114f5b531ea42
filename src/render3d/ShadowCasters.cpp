// The shadow-casting scene of the light views, kept in display lists by place: the opaque plane
// objects that cast shadows are grouped by where they stand (a loose grid over the plan, an
// object going to the finest level whose cells are as large as it is), each group compiled
// into a list of its own with the box of what it draws, and each floor pass into one more.
// A light view calls only the lists whose box reaches its view volume, so that a tile of the
// sun grid draws the part of the scene that can fall into it.
//
// Why drawing fewer lists, and in another order than the plane object list, leaves the depth
// image as the whole walk makes it: the light views write depth only, and with the depth test
// a pixel keeps the nearest fragment that passes, whatever the order. Whether a fragment passes
// depends, beyond its own object, only on the stencil of the cut-outs: an object is drawn where
// the stencil does not hold its own value, which its cut-outs wrote just before it. Every object
// of one stencil generation has a value of its own, so the test reads "outside my cut-outs"
// whatever else was drawn before. Where a generation ends (the values would pass what the buffer
// holds) the lists are split, and the stencil is cleared between two drawn lists of different
// generations. Each floor pass clears the stencil itself and comes after all the rest.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"
#include "model/Services.h"
#include "render3d/DamagedView.h"
#include "render3d/ListWalkRules.h"
#include "render3d/PlaneObjectLists.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/ShadowRender.h"

CasterDrawing gShadowCasterDrawing = CasterDrawing::kCulled;

namespace {

namespace walk = render3d::walk;
using render3d::SceneBox;

// About this many plane objects share a list at the finest level of the grid, whose side has
// at most kMostCellsPerSide cells.
constexpr double kObjectsPerList = 12;
constexpr int32_t kMostCellsPerSide = 64;
// Grid faces (plan objects of type 10, subtype 173) are height fields built when drawn.
constexpr int16_t kWallFaceType = 10;
constexpr int32_t kGridFaceSubtype = 173;

struct Chunk {
  uint32_t list = 0;
  SceneBox box;
  // 0 or more: draws objects through their cut-outs, with stencil values unique within this
  // generation; -1: writes no stencil.
  int32_t generation = -1;
  bool floorPass = false;  // clears the stencil itself
  std::vector<PlaneObject*> objects;
  const Layer* floor = nullptr;
};

// The lists of the scene compiled under gShadowDisplayList (which calls them all), named
// gShadowDisplayList + 1 onwards.
std::vector<Chunk> sChunks;
uint32_t sListCount = 0;
// The plants of the scene, in list order, gathered with the lists.
std::vector<PlaneObject*> sPlants;
// The stencil value the whole scene leaves behind.
int32_t sStencilAfter = 2;
// The lists the light views called since the scene was compiled.
size_t sListsDrawn = 0;

struct Caster {
  PlaneObject* po;
  SceneBox box;
};

bool IsGridFace(const PlaneObject* po) {
  return po->base2DObject && po->base2DObject->type == kWallFaceType && po->base2DObject->subtype == kGridFaceSubtype;
}

// The opaque pass of the full walk with gHideNonShadowObjects and gNoPlants set: what it draws.
std::vector<PlaneObject*> OpaqueCasters(PlaneObject* list, DocState* ds) {
  const int32_t off = ds->renderExclusions();
  const auto floors = walk::Floors();
  std::vector<PlaneObject*> out;
  for (PlaneObject* po = list; po; po = po->next) {
    if (po->alpha < 255 || walk::IsPlant(po)) continue;
    if (walk::IsPhoto(po)) {
      if (!walk::CastsNoShadow(po)) out.push_back(po);
      continue;
    }
    if (walk::LeftToFloorPass(po, floors) || walk::Excluded(po, off)) continue;
    if (!po->children && walk::CastsNoShadow(po)) continue;
    out.push_back(po);
  }
  return out;
}

// Casters grouped by place, each group in the order of the plane object list. Photos (they
// face the view they are drawn for), grid faces and what has no bounds go into one group
// drawn everywhere.
std::vector<std::vector<PlaneObject*>> GroupByPlace(const std::vector<PlaneObject*>& casters) {
  std::vector<Caster> placed;
  std::vector<PlaneObject*> everywhere;
  for (PlaneObject* po : casters) {
    const SceneBox box = render3d::DrawnBounds(po, 1);
    if (walk::IsPhoto(po) || IsGridFace(po) || box.everywhere || box.empty()) everywhere.push_back(po);
    else placed.push_back({po, box});
  }
  std::vector<std::vector<PlaneObject*>> groups;
  if (!everywhere.empty()) groups.push_back(std::move(everywhere));
  if (placed.empty()) return groups;
  float lo[2] = {placed[0].box.lo[0], placed[0].box.lo[2]}, hi[2] = {placed[0].box.hi[0], placed[0].box.hi[2]};
  for (const Caster& c : placed) {
    lo[0] = std::min(lo[0], c.box.lo[0]), hi[0] = std::max(hi[0], c.box.hi[0]);
    lo[1] = std::min(lo[1], c.box.lo[2]), hi[1] = std::max(hi[1], c.box.hi[2]);
  }
  const double side = std::clamp(std::ceil(std::sqrt(static_cast<double>(placed.size()) / kObjectsPerList)), 1.0,
                                 static_cast<double>(kMostCellsPerSide));
  double cell = std::max<double>(hi[0] - lo[0], hi[1] - lo[1]) / side;
  if (!(cell > 0)) cell = 1;
  // (level, column, row) -> members; levels double the cell.
  std::map<std::tuple<int32_t, int64_t, int64_t>, std::vector<PlaneObject*>> cells;
  for (const Caster& c : placed) {
    const double extent = std::max<double>(c.box.hi[0] - c.box.lo[0], c.box.hi[2] - c.box.lo[2]);
    int32_t level = 0;
    double size = cell;
    while (size < extent && level < 40) size *= 2, ++level;
    const double cx = (static_cast<double>(c.box.lo[0]) + c.box.hi[0]) / 2 - lo[0];
    const double cz = (static_cast<double>(c.box.lo[2]) + c.box.hi[2]) / 2 - lo[1];
    cells[{level, static_cast<int64_t>(std::floor(cx / size)), static_cast<int64_t>(std::floor(cz / size))}].push_back(
        c.po);
  }
  for (auto& entry : cells) groups.push_back(std::move(entry.second));
  return groups;
}

// The chunks of the scene: the groups, split where the stencil values of their objects with
// cut-outs would pass what the buffer holds (the count starts again at 2 in a new generation),
// then the floor passes.
std::vector<Chunk> PlanChunks(PlaneObject* list, DocState* ds) {
  std::vector<Chunk> chunks;
  const int32_t limit = walk::StencilValueLimit();
  int32_t value = 2, generation = 0;
  for (auto& group : GroupByPlace(OpaqueCasters(list, ds))) {
    Chunk chunk;
    for (PlaneObject* po : group) {
      if (po->children && limit >= 2) {
        if (value > limit) {
          if (!chunk.objects.empty()) chunks.push_back(std::move(chunk));
          chunk = Chunk{};
          ++generation;
          value = 2;
        }
        chunk.generation = generation;
        ++value;
      } else if (po->children) {
        chunk.generation = generation;  // no stencil buffer: every object clears it for itself
      }
      chunk.objects.push_back(po);
    }
    if (!chunk.objects.empty()) chunks.push_back(std::move(chunk));
  }
  for (const Layer* floor : walk::Floors()) {
    if (!floor) continue;
    Chunk chunk;
    chunk.floorPass = true;
    chunk.floor = floor;
    // What the pass draws into depth: the floors and the collected faces; with their holes.
    for (PlaneObject* po = list; po; po = po->next)
      if (walk::FloorOnFloor(po, floor) || walk::HoleOnFloor(po, floor) || walk::IsCollectedFace(po) ||
          (walk::IsCollectedFloor(po) && walk::OnLayer(po, floor)))
        chunk.box.grow(render3d::DrawnBounds(po, 1));
    if (!chunk.box.empty()) chunks.push_back(std::move(chunk));
  }
  for (Chunk& c : chunks) {
    if (c.floorPass) continue;
    for (PlaneObject* po : c.objects) c.box.grow(render3d::DrawnBounds(po, 1));
    for (PlaneObject* po : c.objects)
      if (walk::IsPhoto(po) || IsGridFace(po)) c.box.everywhere = true;
    if (c.box.empty()) c.box.everywhere = true;
  }
  return chunks;
}

// One chunk as the full walk draws its part: texturing off at the start (the walk's objects
// turn it off themselves after a textured one), the stencil values counted on.
void DrawChunkObjects(const Chunk& c, PlaneObject* list, DocState* ds) {
  glDisable(GL_TEXTURE_2D);
  gTextureKnownOff = 1;
  if (c.floorPass) {
    gTextureLeftOn = 0;
    walk::DrawFloorPass(list, c.floor, ds);
  } else {
    gTextureLeftOn = 1;
    for (PlaneObject* po : c.objects) {
      if (walk::IsPhoto(po)) {
        RenderGLPhotoObject(po);
        glDisable(GL_TEXTURE_2D);
      } else {
        walk::DrawOpaque(po, ds);
      }
    }
  }
  gTextureLeftOn = 0;
  gTextureKnownOff = 0;
}

// Whether the box lies wholly beyond one face of the view volume of `m` (projection times
// modelview): all eight corners beyond the same clip plane.
bool OutsideView(const SceneBox& box, const double m[16]) {
  if (box.everywhere) return false;
  double clip[8][4];
  for (int k = 0; k < 8; ++k) {
    const double p[3] = {(k & 1) ? box.hi[0] : box.lo[0], (k & 2) ? box.hi[1] : box.lo[1],
                         (k & 4) ? box.hi[2] : box.lo[2]};
    for (int r = 0; r < 4; ++r) clip[k][r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
  }
  for (int axis = 0; axis < 3; ++axis)
    for (double sign : {-1.0, 1.0}) {
      bool beyond = true;
      for (int k = 0; k < 8 && beyond; ++k) {
        const double v = sign * clip[k][axis], w = clip[k][3];
        // Clearly beyond, whatever the rounding of GL's own transform.
        beyond = v - w > 1e-5 * (std::abs(v) + std::abs(w));
      }
      if (beyond) return true;
    }
  return false;
}

void CurrentViewMatrix(double out[16]) {
  double mv[16], p[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += p[k * 4 + r] * mv[c * 4 + k];
      out[c * 4 + r] = s;
    }
}

// Calls the chunks (those reaching the view when culling), clearing the stencil between two
// generations; true when one that writes the stencil was drawn while another was left out.
bool CallChunks(bool cull) {
  double m[16];
  if (cull) CurrentViewMatrix(m);
  int32_t written = -1;  // the generation whose values the stencil holds, -1 none
  bool skipped = false, stencilled = false;
  for (const Chunk& c : sChunks) {
    if (cull && OutsideView(c.box, m)) {
      skipped = true;
      continue;
    }
    if (c.generation >= 0) {
      if (written >= 0 && written != c.generation) glClear(GL_STENCIL_BUFFER_BIT);
      written = c.generation;
    }
    stencilled = stencilled || c.generation >= 0 || c.floorPass;
    glCallList(c.list);
    ++sListsDrawn;
  }
  return skipped && stencilled;
}

// The whole walk's drawing of the shadow casters (plants and the transparent left out).
void WalkCasters(PlaneObject* list) {
  const uint8_t hide = gHideNonShadowObjects, noPlants = gNoPlants;
  gHideNonShadowObjects = gNoPlants = 1;
  RenderGLPlaneObjects(list);
  gHideNonShadowObjects = hide, gNoPlants = noPlants;
}

bool Compile(PlaneObject* list, DocState* ds) {
  sChunks = PlanChunks(list, ds);
  sPlants.clear();
  for (PlaneObject* po = list; po; po = po->next)
    if (walk::IsPlant(po)) sPlants.push_back(po);
  const auto count = static_cast<GLsizei>(sChunks.size() + 1);
  const uint32_t base = glGenLists(count);
  if (!base) {
    sChunks.clear();
    sPlants.clear();
    return false;
  }
  gShadowDisplayList = base;
  sListCount = static_cast<uint32_t>(count);
  const uint8_t hide = gHideNonShadowObjects, noPlants = gNoPlants;
  gHideNonShadowObjects = gNoPlants = 1;
  gCurrentStencilValue = 2;
  for (size_t i = 0; i < sChunks.size(); ++i) {
    Chunk& c = sChunks[i];
    c.list = base + 1 + static_cast<uint32_t>(i);
    if (c.generation >= 0 && gCurrentStencilValue > walk::StencilValueLimit()) gCurrentStencilValue = 2;
    glNewList(c.list, GL_COMPILE);
    DrawChunkObjects(c, list, ds);
    glEndList();
  }
  gHideNonShadowObjects = hide, gNoPlants = noPlants;
  sStencilAfter = gCurrentStencilValue;
  glNewList(base, GL_COMPILE);
  CallChunks(false);
  glEndList();
  sListsDrawn = 0;
  return true;
}

}  // namespace

namespace {
// Whether the views draw through the lists (compiled now if they are missing).
bool ThroughLists(PlaneObject* list, DocState* ds) {
  if (gShadowCasterDrawing == CasterDrawing::kWalked || gRenderingOpenGLShadows) return false;
  if (gShadowDisplayList) return true;
  // Lists of an earlier render whose head was deleted by its owner are gone with it.
  sChunks.clear();
  sPlants.clear();
  sListCount = 0;
  return Compile(list, ds);
}
}  // namespace

void DrawShadowPlants() {
  DocState* ds = CurDocState();
  if (!ds) return;
  PlaneObject* list = gGLPlaneObjects;
  if (ThroughLists(list, ds)) RenderGLPlants(sPlants.data(), sPlants.size());
  else RenderGLPlaneObjectsPlantsOnly(list);
}

void DrawShadowCasters() {
  DocState* ds = CurDocState();
  if (!ds) return;
  PlaneObject* list = gGLPlaneObjects;
  if (!ThroughLists(list, ds)) {
    WalkCasters(list);
    return;
  }
  const bool inexact = CallChunks(gShadowCasterDrawing == CasterDrawing::kCulled);
  // A stencil value left in the buffer by a drawn list may lie beyond the count of the whole
  // scene: the next object drawn through the stencil then clears it first.
  gCurrentStencilValue = inexact ? walk::StencilValueLimit() + 1 : sStencilAfter;
}

void DeleteShadowCasterLists() {
  if (gShadowDisplayList) glDeleteLists(gShadowDisplayList, static_cast<GLsizei>(std::max<uint32_t>(sListCount, 1)));
  gShadowDisplayList = 0;
  sChunks.clear();
  sPlants.clear();
  sListCount = 0;
  sListsDrawn = 0;
}

size_t ShadowCasterListCount() { return sChunks.size(); }
size_t ShadowCasterListsDrawn() { return sListsDrawn; }
