// The list walkers of the 3D scene: exclusions, the opaque / floor / transparent passes with
// cut-outs drawn into the stencil so that openings show through walls and floors, the
// real-time scene list with its pick names, and the Escape poll of anti-aliased renders.
#include "render3d/PlaneObjectLists.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/Records.h"
#include "platform/KeyWatch.h"
#include "platform/Strings.h"
#include "render3d/CarvedFaces.h"
#include "render3d/DamagedView.h"
#include "render3d/FinalSceneLists.h"
#include "render3d/Lighting.h"
#include "render3d/ListWalkRules.h"
#include "render3d/PlanarShadows.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
#include "render3d/ShadowRender.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TrimPlaneRendering.h"

uint8_t gRenderingOpenGLShadows = 0;
uint8_t gNoPlants = 0;
uint8_t gHideNonShadowObjects = 0;
uint8_t gSkipTransparent = 0;
uint8_t gGLPick3DSelectionMode = 0;
uint8_t gGLFindAppliedMode = 0;
int32_t gTotalObjectsRendered = 0;

namespace {

constexpr int16_t kKindPlant = 8, kKindUserPlant = 9, kKindPhoto = 131;
constexpr int16_t kPartHoleFirstPass = 127, kPartCollectedFloor = 171, kPartCollectedFace = 173;
constexpr int32_t kSubtypeFloor170 = 170, kSubtypeFloor177 = 177;
constexpr int32_t kSubtypeObjectGroup = 111;
constexpr int32_t kSubtypeSkylightPart = 160, kTypeSkylight = 160, kTypeDormerCutout = 166;

bool IsPlant(const PlaneObject* po) { return po->renderKind == kKindPlant || po->renderKind == kKindUserPlant; }
bool IsPhoto(const PlaneObject* po) { return po->renderKind == kKindPhoto; }

int16_t ActualType(const PlaneObject* po) { return po->actual3DObject ? po->actual3DType : 0; }

bool FloorSubtype(const Objex* object) {
  return object && (object->subtype == kSubtypeFloor170 || object->subtype == kSubtypeFloor177);
}

// Part types the floor pass draws as floors (13 only when its plan object is not a floor of
// subtype 170 or 177) and as holes.
bool IsFloorPart(const PlaneObject* po) {
  switch (po->partType) {
    case kObjFloor:
      return !FloorSubtype(po->base2DObject);
    case kObjWallFloorPass: case kObjWallCeilingPass: case kObjFloorSecondPass: case kObjDeck:
      return true;
    default:
      return false;
  }
}
bool IsHolePart(const PlaneObject* po) {
  return po->partType == kObjCutout || po->partType == kPartHoleFirstPass || po->partType == kPartCollectedFloor;
}

bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

bool ElectricalPart(const Objex* part) {
  const int32_t t = part->type, s = part->subtype;
  return t == 68 || t == 69 || t == 71 || t == 72 || InRange(t, 79, 82) || t == 88 || InRange(t, 146, 152) ||
         s == 55 || InRange(s, 65, 67) || s == 70 || InRange(s, 73, 78) || InRange(s, 83, 87);
}
bool PlumbingPart(const Objex* part) {
  const int32_t t = part->type, s = part->subtype;
  return t == 98 || t == 110 || InRange(s, 90, 97) || s == 99 || s == 109;
}
bool HVACPart(const Objex* part) {
  return InRange(part->type, 117, 123) || part->subtype == 124;
}

// The user's render exclusions, by part type.
bool Excluded(const PlaneObject* po, int32_t off) {
  if (off == 0) return false;
  const bool roofsOff = off & kLVOffRoofs, objectsOff = off & kLVOffObjects;
  const int16_t actual = ActualType(po);
  switch (po->partType) {
    case 1: case 2: case 3: case 4: case 5: case 6: case kObjSeparatorFace: case kObjSkylightOutline:
      return roofsOff && (actual == kTypeSkylight || actual == kTypeDormerCutout);
    case kObjWallFace: case kObjStairLandingPart: {
      if (!objectsOff || !po->base2DObject) return false;
      const Objex* root = GetRootObject(po->base2DObject);
      return root && root->type == kObjGroup && root->subtype == kSubtypeObjectGroup;
    }
    case kObjRoof: case kObjRoofPlane: case 33: case 34: case kObjRoofGablePart: case kObjRoofHipPart:
    case kObjRoofPanel: case kObjRoofPanelFace:
      return roofsOff;
    case kObjSymbolPart3D: case kObjCabinet:
      return objectsOff;
    case kObjFace: case kObjDoorLeafFace:
      return actual == kSubtypeSkylightPart ? roofsOff : (off & kLVOffDoors) != 0;
    case kObjSkirting:
      return objectsOff && po->base2DObject && po->base2DObject->type == kObjCabinet;
    case kObjAttachedSymbolPart: {
      const Objex* part = po->actual3DObject;
      if (!part) return false;
      return ((off & kLVOffElectrical) && ElectricalPart(part)) || ((off & kLVOffPlumbing) && PlumbingPart(part)) ||
             ((off & kLVOffHVAC) && HVACPart(part));
    }
    default:
      return false;
  }
}

// The root of the plan object casts no shadow (its second options short is 1).
bool CastsNoShadow(const PlaneObject* po) {
  if (!po->base2DObject) return false;
  const Objex* root = GetRootObject(po->base2DObject);
  return root && root->options[1] == 1;
}

// The three floors, in order; missing ones are null.
std::array<Layer*, 3> FloorLayers() {
  return {GetLayerFromName(kFirstFloorName), GetLayerFromName(kSecondFloorName), GetLayerFromName(kThirdFloorName)};
}
bool OnLayer(const PlaneObject* po, const Layer* layer) {
  return layer && po->base2DObject && po->base2DObject->layer == layer;
}
// Floor parts whose plan object lies on none of the three floors are drawn with the opaque
// objects: the floor pass never reaches them. Holes only ever reach the stencil.
bool LeftToFloorPass(const PlaneObject* po, const std::array<Layer*, 3>& floors) {
  if (IsHolePart(po)) return true;
  if (!IsFloorPart(po) && po->partType != kPartCollectedFace) return false;
  for (const Layer* floor : floors)
    if (OnLayer(po, floor)) return true;
  return false;
}

// The walk of one call: the Escape poll count runs on across its passes.
struct Walk {
  int32_t visited = 0;
  bool antiAliased = false;
};

// One look for Escape during an anti-aliased render; Escape stops the render.
bool PollStops(bool antiAliased) {
  if (!antiAliased || gDisableRenderInterrupt || gPrinting3DView) return false;
  int32_t key = TakeKeyDown();
  if (!CurrentKeyWatch() && gLiveViewHost.takeKeyDown) key = gLiveViewHost.takeKeyDown();
  if (key != kKeyWatchEscape) return false;
  g3DViewPrintInterrupted = 1;
  gBreakOpenGLRender = 1;
  return true;
}

// The plane objects the last full-quality walk took up.
int32_t sLastWalkVisits = 0;

// Every object a pass takes up counts; every 300th one of an anti-aliased render looks for
// Escape, which stops the render.
bool VisitStops(Walk& walk) {
  if (gCountRenderingObjects) ++gTotalObjectsRendered;
  ++walk.visited;
  if (walk.visited % kEscapePollInterval != 0) return false;
  return PollStops(walk.antiAliased);
}

bool LightView(DocState* ds) { return ds->renderMode() == kRenderLightView; }

void ColourMaskOn(DocState* ds) {
  if (!LightView(ds)) glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

// Before the stencil reference passes what the stencil buffer holds, the buffer is cleared
// and the count starts again (a reference beyond the buffer would be clamped, and later
// cut-out groups would share the last value).
void KeepStencilValueInRange() {
  GLint bits = 0;
  glGetIntegerv(GL_STENCIL_BITS, &bits);
  const int64_t most = bits >= 31 ? std::numeric_limits<int32_t>::max() : (int64_t{1} << bits) - 1;
  if (gCurrentStencilValue < 2 || gCurrentStencilValue > most) {
    glClear(GL_STENCIL_BUFFER_BIT);
    gCurrentStencilValue = 2;
  }
}

// What is drawn next goes into the stencil buffer only, as `value` (no colour, no depth).
void BeginStencilWrite(GLint value) {
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_ALWAYS, value, 0xFFFF);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
}

// Colour and depth are written again, and what is drawn next shows only where `func` holds
// between `value` and the stencil buffer (which it leaves as it is).
void EndStencilWrite(DocState* ds, GLenum func, GLint value) {
  ColourMaskOn(ds);
  glDepthMask(GL_TRUE);
  glStencilFunc(func, value, 0xFFFF);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

using DrawOne = void (*)(PlaneObject*, int16_t);

// The drawing rule of one opaque plane object or trim: trims (part types 1 to 5) and
// auto-generated symbol parts (part type 15 of a plan object whose first options short is 1)
// have their own routines.
void DrawByKind(PlaneObject* po, bool realTime) {
  if (po->partType >= 1 && po->partType <= 5) {
    (realTime ? RTRenderGLTrimPlaneObject : RenderGLTrimPlaneObject)(po, 0);
  } else if (po->partType == kObjSymbolPart3D && po->base2DObject && po->base2DObject->options[0] == 1) {
    (realTime ? RTRenderGLAutoGenPlaneObject : RenderGLAutoGenPlaneObject)(po, 0);
  } else {
    (realTime ? RTRenderGLPlaneObject : RenderGLPlaneObject)(po, 0);
  }
}

void BlendOn() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// ---- pick names ----

// Names 0 (nothing) and 1 (the lot, loaded by the viewpoint set-up) stand for no plane
// object: the table's first entry is name 2.
constexpr size_t kFirstPlaneObjectPickName = 2;
std::vector<PlaneObject*> sPickTable(kFirstPlaneObjectPickName, nullptr);

void ResetPickNames() { sPickTable.resize(kFirstPlaneObjectPickName); }

// Every naming takes the next entry: a plane object named twice in one pass (before its
// cut-outs and again after them) has two names, both its own, and no lookup is needed.
uint32_t PickNameFor(PlaneObject* po) {
  sPickTable.push_back(po);
  return static_cast<uint32_t>(sPickTable.size() - 1);
}

// Set while the real-time scene is drawn for picking. Picking draws the scene immediately
// (never through the compiled list) with a name before every plane object: the picking pass
// knows what it hit, and Mesa's selection mode does not crash on fans drawn back to back. The
// compiled list carries no names, so that it replays as one run of primitives.
bool sNaming = false;

bool Picking() { return gGLPickMode || gGLPick3DSelectionMode || gGLFindAppliedMode; }

void LoadPickName(PlaneObject* po) {
  if (sNaming) glLoadName(PickNameFor(po));
}

// An object without cut-outs and its trims, with the drawing rule of the opaque pass.
void DrawPlain(PlaneObject* po, DocState* ds, bool realTime) {
  if (po->partType == kObjFrameFace) {
    // Fillers only take part in picking.
    if (!gGLPickMode) return;
    const bool blending = ds->transparency();
    if (!blending) BlendOn();
    (realTime ? RTRenderGLPlaneObject : RenderGLPlaneObject)(po, 0);
    if (!blending) glDisable(GL_BLEND);
  } else {
    DrawByKind(po, realTime);
  }
  for (PlaneObject* a = po->attachments; a; a = a->next) {
    if (realTime) LoadPickName(a);
    DrawByKind(a, realTime);
  }
}

// An object with cut-outs: the cut-outs go into the stencil only, then the object and its
// trims are drawn where the stencil does not hold their value.
void DrawWithCutouts(PlaneObject* po, DocState* ds, bool realTime) {
  const DrawOne draw = realTime ? RTRenderGLPlaneObject : RenderGLPlaneObject;
  KeepStencilValueInRange();
  BeginStencilWrite(gCurrentStencilValue);
  for (PlaneObject* c = po->children; c; c = c->next) {
    if (realTime) LoadPickName(c);
    draw(c, 0);
  }
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DITHER);
  EndStencilWrite(ds, GL_NOTEQUAL, gCurrentStencilValue);
  if (realTime && po->children) LoadPickName(po);
  draw(po, 0);
  // The trims frame and line the openings: they are not cut by them.
  glDisable(GL_STENCIL_TEST);
  for (PlaneObject* a = po->attachments; a; a = a->next) {
    if (realTime) LoadPickName(a);
    DrawByKind(a, realTime);
  }
  ++gCurrentStencilValue;
}

// Of a cut-out's two faces one is drawn into the stencil: from above (or flying around) the
// upper face of part type 48, else the face of part type 127.
bool HoleFaceDrawn(const PlaneObject* po, DocState* ds) {
  if (po->partType == kPartCollectedFloor) return true;
  if (ds->navigationMode == kNavFlyAround) return po->partType == kObjCutout;
  const Plane* plane = po->planes;
  const bool hasVertex = plane && plane->vertices && plane->vertexCount > 0;
  const bool fromAbove = hasVertex && ds->walkEyeHeight() > -plane->vertices[0].y;
  return po->partType == (fromAbove ? static_cast<int16_t>(kObjCutout) : kPartHoleFirstPass);
}

bool HoleOnFloor(const PlaneObject* po, const Layer* floor) {
  return IsHolePart(po) && (!po->base2DObject || OnLayer(po, floor));
}
// The floor pass draws no part of a floor of subtype 170 or 177: its floor face goes with the
// opaque objects, its other parts nowhere.
bool FloorOnFloor(const PlaneObject* po, const Layer* floor) {
  return IsFloorPart(po) && !FloorSubtype(po->base2DObject) && OnLayer(po, floor);
}

const Objex* RootOf(const PlaneObject* po) { return po->base2DObject ? GetRootObject(po->base2DObject) : nullptr; }

// The full-quality floor pass of one floor. False when Escape stopped it.
bool DrawFloor(PlaneObject* list, const Layer* floor, DocState* ds, Walk& walk) {
  glClear(GL_STENCIL_BUFFER_BIT);
  gCurrentStencilValue = 2;
  BeginStencilWrite(1);
  for (PlaneObject* po = list; po && !gBreakOpenGLRender; po = po->next) {
    if (!HoleOnFloor(po, floor) || !HoleFaceDrawn(po, ds)) continue;
    if (VisitStops(walk)) break;
    if (gRenderingOpenGLShadows && po->partType != kPartCollectedFloor) RenderGLPlaneShadowObject(po);
    else RenderGLPlaneObject(po, 0);
  }
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DITHER);
  EndStencilWrite(ds, GL_NOTEQUAL, 1);
  if (gBreakOpenGLRender) {
    glDisable(GL_STENCIL_TEST);
    return false;
  }
  for (PlaneObject* po = list; po && !gBreakOpenGLRender; po = po->next) {
    if (!FloorOnFloor(po, floor) || po->alpha < 255) continue;
    if (VisitStops(walk)) break;
    if (gRenderingOpenGLShadows) RenderGLPlaneShadowObject(po);
    else RenderGLPlaneObject(po, 0);
  }
  glDisable(GL_STENCIL_TEST);
  if (gBreakOpenGLRender) return false;

  // Faces of part type 173 show only inside the outline of the 171 face of the same root.
  std::unordered_map<const Objex*, PlaneObject*> faceOfRoot;
  for (PlaneObject* po = list; po; po = po->next)
    if (po->partType == kPartCollectedFace) faceOfRoot.try_emplace(RootOf(po), po);
  for (PlaneObject* po = list; po && !faceOfRoot.empty(); po = po->next) {
    if (po->partType != kPartCollectedFloor || !OnLayer(po, floor)) continue;
    auto it = faceOfRoot.find(RootOf(po));
    if (it == faceOfRoot.end()) continue;
    if (VisitStops(walk)) break;
    glClear(GL_STENCIL_BUFFER_BIT);
    BeginStencilWrite(1);
    RenderGLPlaneObject(po, 0);
    EndStencilWrite(ds, GL_EQUAL, 1);
    RenderGLPlaneObject(it->second, 0);
  }
  glStencilFunc(GL_NOTEQUAL, 1, 0xFFFF);
  glDisable(GL_STENCIL_TEST);
  return !gBreakOpenGLRender;
}

// ---- the real-time static scene ----

void DrawStaticScene(PlaneObject* list, DocState* ds) {
  const int32_t off = ds->renderExclusions();
  const std::array<Layer*, 3> floors = FloorLayers();
  int32_t cutouts = 0;
  for (PlaneObject* po = list; po; po = po->next) {
    const auto* source = po->sourceObject;
    if (source && source->type == kObjFrameFace && !gGLPickMode) continue;
    if (IsPlant(po) || IsPhoto(po)) continue;
    if (IsHolePart(po)) {
      ++cutouts;
      continue;
    }
    // Faces of part type 173 are drawn after the floors, all of them.
    if (po->partType == kPartCollectedFace || LeftToFloorPass(po, floors) || Excluded(po, off)) continue;
    LoadPickName(po);
    if (po->children) DrawWithCutouts(po, ds, true);
    else DrawPlain(po, ds, true);
  }
  for (const Layer* floor : floors) {
    if (!floor) continue;
    if (cutouts) {
      KeepStencilValueInRange();
      BeginStencilWrite(gCurrentStencilValue);
      for (PlaneObject* po = list; po; po = po->next)
        if (HoleOnFloor(po, floor) && HoleFaceDrawn(po, ds)) RTRenderGLPlaneObject(po, 0);
      EndStencilWrite(ds, GL_NOTEQUAL, gCurrentStencilValue);
    }
    for (PlaneObject* po = list; po; po = po->next) {
      if (!FloorOnFloor(po, floor)) continue;
      LoadPickName(po);
      RTRenderGLPlaneObject(po, 0);
    }
    if (cutouts) {
      glDisable(GL_STENCIL_TEST);
      ++gCurrentStencilValue;
    }
  }
  if (!gGLPickMode) {
    if (cutouts) {
      KeepStencilValueInRange();
      BeginStencilWrite(gCurrentStencilValue);
      for (PlaneObject* po = list; po; po = po->next)
        if (po->partType == kPartCollectedFloor) RTRenderGLPlaneObject(po, 0);
      EndStencilWrite(ds, GL_EQUAL, gCurrentStencilValue);
    }
    for (PlaneObject* po = list; po; po = po->next) {
      if (po->partType != kPartCollectedFace) continue;
      LoadPickName(po);
      RTRenderGLPlaneObject(po, 0);
    }
    if (cutouts) {
      glStencilFunc(GL_NOTEQUAL, gCurrentStencilValue, 0xFFFF);
      glDisable(GL_STENCIL_TEST);
      ++gCurrentStencilValue;
    }
  }
}

// The static scene with texturing turned off once for all the objects that leave it off.
void DrawStaticSceneRun(PlaneObject* list, DocState* ds) {
  glDisable(GL_TEXTURE_2D);
  gTextureKnownOff = 1;
  DrawStaticScene(list, ds);
  gTextureKnownOff = 0;
}

// ---- the real-time object lists ----
//
// The compiled scene is kept per run of plane objects of one plan object (its opaque drawing,
// and its floors when it lies on one of the three floors) from one compilation of the scene
// list to the next; the opaque drawing of consecutive runs that draw nothing through the
// stencil shares the list of their stretch, and the floor parts of consecutive runs on one
// floor share the list of their floor stretch. The scene list calls them in scene order, with the
// holes of the floors and the collected floor faces drawn into it directly. Rebuilding or
// deleting a plan object's plane objects drops its runs (DropObjectLists), so an edit compiles
// the lists of the edited object's stretch and the short scene list again, nothing else. The lists hold only what
// does not depend on the camera; the settings they were drawn under are remembered, and all of
// them go when one changes.

// Each object with cut-outs draws them into the stencil with a value of its own, given when its
// list is compiled; the scene list clears the stencil before a list whose values were already
// drawn since the last clear, so that no two objects between two clears share a value.
int32_t StencilValueLimit() {
  GLint bits = 0;
  glGetIntegerv(GL_STENCIL_BITS, &bits);
  return bits >= 1 && bits < 8 ? (1 << bits) - 1 : 255;
}
int32_t sNextCutoutValue = 2;
// A stretch of runs ends after a run whose plan object's address says so (about one in
// kRealTimeStretch), or once it holds this many opaque plane objects.
using render3d::kRealTimeStretch;
constexpr size_t kMostObjectsPerStretch = 2048;

struct Run {
  PlaneObject* first = nullptr;
  PlaneObject* last = nullptr;
  int32_t count = 0;
  GLuint opaque = 0;        // the opaque drawing; 0 when the run has none
  int8_t floorIndex = -1;   // the floor its floor parts lie on (in its floor stretch's list); -1 when none
  int32_t holes = 0;        // hole parts (drawn into the stencil by the scene list)
  bool collectedFloors = false, collectedFaces = false;
  bool withCutouts = false;                   // it draws objects with cut-outs (carved or not)
  int32_t cutoutFirst = 0, cutoutCount = 0;  // the stencil values of its objects drawn through the stencil
  bool clearsStencil = false;                 // more of them than values: it clears on its own
  uint64_t drawn = 0;  // DrawnState of its plane objects when compiled
  uint64_t seen = 0;
  uint64_t serial = 0;    // given at each compilation
  bool grouped = false;   // its opaque drawing is in its stretch's list
  bool ends = false;      // a stretch ends after it
  int32_t objects = 0;    // opaque objects of a grouped run
  std::vector<PlaneObject*> facing;  // its photos and plants, drawn every frame
  render3d::SceneBox box;            // what its lists draw
};

// What a run's lists were drawn from, beyond the plane objects' addresses: their materials,
// colours (the plan object's own colour fields they link to), kinds, planes and trims. A plane
// object changed in place, or a freed one whose memory came back for another, gives another
// value and its run is compiled again.
uint64_t Mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  return h;
}
uint64_t ColourBits(const RGBColor& c) {
  return (uint64_t{c.red} << 32) | (uint64_t{c.green} << 16) | c.blue;
}
uint64_t PointerBits(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }
uint64_t MaterialState(uint64_t h, const PlaneObject* po) {
  h = Mix(h, ColourBits(po->colorA));
  h = Mix(h, ColourBits(po->colorB));
  if (po->colorLinkA) h = Mix(h, ColourBits(*po->colorLinkA));
  if (po->colorLinkB) h = Mix(h, ColourBits(*po->colorLinkB));
  h = Mix(h, (static_cast<uint64_t>(static_cast<uint32_t>(po->textureIdA)) << 32) |
                 static_cast<uint32_t>(po->textureIdB));
  h = Mix(h, (static_cast<uint64_t>(static_cast<uint16_t>(po->partType)) << 48) |
                 (static_cast<uint64_t>(static_cast<uint16_t>(po->renderKind)) << 32) |
                 (static_cast<uint64_t>(static_cast<uint16_t>(po->alpha)) << 16) |
                 static_cast<uint16_t>(po->actual3DType));
  float sizes[4];
  std::memcpy(sizes, po->textureSizeA, sizeof(float) * 2);
  std::memcpy(sizes + 2, po->textureSizeB, sizeof(float) * 2);
  uint64_t sizeBits[2];
  std::memcpy(sizeBits, sizes, sizeof sizeBits);
  h = Mix(h, sizeBits[0]);
  h = Mix(h, sizeBits[1]);
  int16_t scales[4] = {po->textureScaleA[0], po->textureScaleA[1], po->textureScaleB[0], po->textureScaleB[1]};
  uint64_t scaleBits;
  std::memcpy(&scaleBits, scales, sizeof scaleBits);
  h = Mix(h, scaleBits);
  h = Mix(h, PointerBits(po->planes));
  h = Mix(h, PointerBits(po->sourceObject) ^ (PointerBits(po->actual3DObject) << 1));
  return h;
}
uint64_t DrawnState(const PlaneObject* po) {
  uint64_t h = MaterialState(0, po);
  h = Mix(h, PointerBits(po->children));
  for (const PlaneObject* a = po->attachments; a; a = a->next) h = MaterialState(h, a);
  return h;
}

// What the lists were drawn under.
struct ListSettings {
  const DocState* ds = nullptr;
  int16_t renderMode = 0, navigationStep = 0;
  int32_t exclusions = 0, liveViewOptions = 0;
  uint16_t opacity = 0;
  uint8_t texturedWire = 0;
  float brightness = 0, cosX = 0, cosY = 0, cosZ = 0;
  uint64_t textureNames = 0;
  std::array<Layer*, 3> floors{};
  bool operator==(const ListSettings&) const = default;
};

ListSettings CurrentListSettings(DocState* ds, const std::array<Layer*, 3>& floors) {
  ListSettings k;
  k.ds = ds;
  k.renderMode = ds->renderMode();
  k.navigationStep = ds->navigationStep;
  k.exclusions = ds->renderExclusions();
  k.liveViewOptions = gLiveViewOptions;
  k.opacity = static_cast<uint16_t>(ds->viewSetting3 & 0xFFFF);
  k.texturedWire = gTexturedWire;
  k.brightness = ds->lightBrightness();
  k.cosX = gDirectionCosX, k.cosY = gDirectionCosY, k.cosZ = gDirectionCosZ;
  k.textureNames = GLTextureNamesChangeCount();
  k.floors = floors;
  return k;
}

// The runs of the last compiled scene in scene order, found by their plan object and by their
// last plane object. While `sOrderIsScene` holds they describe gGLPlaneObjects as it was then:
// an edit that only rebuilt or deleted plan objects' plane objects (the scene list's journal
// names them) is brought in by replacing those objects' runs, without a walk over the scene.
// Anything else since (a reset from outside the edit road, changes the journal could not
// follow, another list drawn) walks the whole list again and checks every run. The runs lie in
// one array, read in one sweep for each scene list; a run taken out leaves a dead slot (no
// first plane object) until the dead are many.
std::vector<Run> sOrder;
size_t sDeadRuns = 0;
std::unordered_map<const Objex*, std::vector<size_t>> sRuns;
std::unordered_map<const PlaneObject*, size_t> sRunEndingAt;
bool Dead(const Run& run) { return run.first == nullptr; }
bool sOrderIsScene = false;
bool sCheckEveryRun = true;  // a reset the journal does not explain happened
int32_t sEditResets = 0;     // > 0 while an edit rebuilds plane objects (EditedSceneScope)
std::vector<const Objex*> sDroppedBases;  // dropped by DropObjectLists since the last compile
std::vector<GLuint> sListsToDelete;  // dropped while no context may be current
ListSettings sListSettings;
uint64_t sCompileStamp = 0;
GLuint sFloorsList = 0;  // the floors with their holes and the collected faces, when kept apart
int64_t sObjectListCompilations = 0;
int64_t sWholeListWalks = 0;
// Photos and plants of the compiled scene, in scene order, and the scene list they belong to.
std::vector<PlaneObject*> sFacingCamera;
uint32_t sFacingCameraScene = 0;
const PlaneObject* sFacingCameraHead = nullptr;

void QueueRunLists(const Run& run) {
  if (run.opaque) sListsToDelete.push_back(run.opaque);
}

void DeleteQueuedLists() {
  for (GLuint name : sListsToDelete) glDeleteLists(name, 1);
  sListsToDelete.clear();
}

void QueueStretchLists();
void QueueAllRuns() {
  render3d::NoteSceneRedrawnWhole();
  QueueStretchLists();
  for (const Run& run : sOrder) QueueRunLists(run);
  sOrder.clear();
  sDeadRuns = 0;
  sRuns.clear();
  sRunEndingAt.clear();
  sOrderIsScene = false;
}

void IndexRuns() {
  sRuns.clear();
  sRunEndingAt.clear();
  for (size_t i = 0; i < sOrder.size(); ++i) {
    if (Dead(sOrder[i])) continue;
    sRuns[sOrder[i].first->base2DObject].push_back(i);
    sRunEndingAt[sOrder[i].last] = i;
  }
}

// Takes the plan object's runs out of the order (their lists go at the next compilation).
void DropRunsOf(const Objex* base) {
  auto it = sRuns.find(base);
  if (it == sRuns.end()) return;
  for (size_t i : it->second) {
    render3d::NoteRedrawn(sOrder[i].box, !sOrder[i].facing.empty());
    QueueRunLists(sOrder[i]);
    sRunEndingAt.erase(sOrder[i].last);
    sOrder[i] = Run{};
    ++sDeadRuns;
  }
  sRuns.erase(it);
}

// Puts the run at `at` (dead slots there are stepped over); returns where the next run after it
// goes.
size_t InsertRun(size_t at, Run&& run) {
  while (at < sOrder.size() && Dead(sOrder[at])) ++at;
  if (at == sOrder.size()) {
    sOrder.push_back(std::move(run));
    sRuns[sOrder[at].first->base2DObject].push_back(at);
    sRunEndingAt[sOrder[at].last] = at;
  } else {
    sOrder.insert(sOrder.begin() + static_cast<std::ptrdiff_t>(at), std::move(run));
    IndexRuns();
  }
  return at + 1;
}

// The dead slots squeezed out once they are as many as the living runs.
void SqueezeDeadRuns() {
  if (sDeadRuns < 64 || sDeadRuns * 2 < sOrder.size()) return;
  sOrder.erase(std::remove_if(sOrder.begin(), sOrder.end(), Dead), sOrder.end());
  sDeadRuns = 0;
  IndexRuns();
}

// An object with its cut-outs carved out of its planes, and its trims.
void DrawCarvedInList(PlaneObject* po, const render3d::CarvedPlaneObject& carved) {
  RTRenderGLCarvedPlaneObject(po, carved);
  for (PlaneObject* a = po->attachments; a; a = a->next) DrawByKind(a, true);
}

// DrawWithCutouts for a compiled object list, with the stencil value given.
void DrawWithCutoutsInList(PlaneObject* po, DocState* ds, GLint value) {
  BeginStencilWrite(value);
  for (PlaneObject* c = po->children; c; c = c->next) RTRenderGLPlaneObject(c, 0);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DITHER);
  EndStencilWrite(ds, GL_NOTEQUAL, value);
  RTRenderGLPlaneObject(po, 0);
  glDisable(GL_STENCIL_TEST);
  for (PlaneObject* a = po->attachments; a; a = a->next) DrawByKind(a, true);
}

// A run's opaque drawing: its objects in scene order, with the cut-outs of each carved where
// geometry shows what the stencil would (the others take stencil values).
struct RunDrawing {
  std::vector<PlaneObject*> opaque;
  std::vector<render3d::CarvedPlaneObject> carved;
  std::vector<int32_t> carvedOf;  // per opaque object: its carving, or -1
  int32_t stencilled = 0;         // objects drawn through the stencil
};

// Sorts a run's plane objects as DrawStaticScene does: its opaque drawing, and (with `run`)
// its floor parts, holes and collected parts.
RunDrawing SortRun(const Run& from, Run* run, std::vector<PlaneObject*>* floorParts, DocState* ds,
                   const std::array<Layer*, 3>& floors) {
  const int32_t off = ds->renderExclusions();
  RunDrawing d;
  PlaneObject* po = from.first;
  for (int32_t i = 0; i < from.count; ++i, po = po->next) {
    const auto* source = po->sourceObject;
    if (source && source->type == kObjFrameFace) continue;  // picking never compiles
    if (IsPlant(po) || IsPhoto(po)) continue;
    if (IsHolePart(po)) {
      if (run) {
        ++run->holes;
        if (po->partType == kPartCollectedFloor) run->collectedFloors = true;
      }
      continue;
    }
    if (po->partType == kPartCollectedFace) {
      if (run) run->collectedFaces = true;
      continue;
    }
    if (LeftToFloorPass(po, floors)) {
      if (run)
        for (int8_t f = 0; f < 3; ++f)
          if (floors[f] && FloorOnFloor(po, floors[f])) {
            run->floorIndex = f;
            floorParts->push_back(po);
            break;
          }
      continue;
    }
    if (Excluded(po, off)) continue;
    d.opaque.push_back(po);
  }
  d.carvedOf.assign(d.opaque.size(), -1);
  for (size_t i = 0; i < d.opaque.size(); ++i) {
    if (!d.opaque[i]->children) continue;
    render3d::CarvedPlaneObject c;
    if (render3d::CarvePlaneObject(d.opaque[i], &c)) {
      d.carvedOf[i] = static_cast<int32_t>(d.carved.size());
      d.carved.push_back(std::move(c));
    } else {
      ++d.stencilled;
    }
  }
  return d;
}

// The opaque drawing into the list being compiled; objects drawn through the stencil count
// their values on from `value`.
void DrawRunOpaque(const RunDrawing& d, DocState* ds, GLint value, int32_t limit) {
  for (size_t i = 0; i < d.opaque.size(); ++i) {
    PlaneObject* o = d.opaque[i];
    if (!o->children) {
      DrawPlain(o, ds, true);
      continue;
    }
    if (d.carvedOf[i] >= 0) {
      DrawCarvedInList(o, d.carved[static_cast<size_t>(d.carvedOf[i])]);
      continue;
    }
    if (value > limit) {
      glClear(GL_STENCIL_BUFFER_BIT);
      value = 2;
    }
    DrawWithCutoutsInList(o, ds, value++);
  }
}

// The opaque drawing of runs that draw nothing through the stencil, grouped by the texture
// each face binds (untextured faces first, then each texture in the order the runs first name
// it, each group in scene order): the list holds one bind per texture rather than one per
// change between neighbouring faces, and its faces of a texture replay as one run of
// primitives. What the list draws is the same; only the order between faces of different
// textures changes (opaque, depth-tested).
void DrawRunsGroupedByTexture(const std::vector<const RunDrawing*>& drawings) {
  struct Face {
    PlaneObject* object;
    const render3d::CarvedPlaneObject* carved;  // the object's carving, or null
  };
  std::vector<Face> faces;
  for (const RunDrawing* d : drawings)
    for (size_t i = 0; i < d->opaque.size(); ++i) {
      PlaneObject* o = d->opaque[i];
      // Fillers (and their trims) take part only in picking, which never compiles.
      if (o->partType == kObjFrameFace && !o->children) continue;
      const int32_t carving = d->carvedOf[i];
      faces.push_back({o, carving >= 0 ? &d->carved[static_cast<size_t>(carving)] : nullptr});
      for (PlaneObject* a = o->attachments; a; a = a->next) faces.push_back({a, nullptr});
    }
  for (size_t i : render3d::FacesGroupedByTexture(faces.size(), [&faces](size_t i) { return RealTimeTextureName(faces[i].object); })) {
    const Face& f = faces[i];
    if (f.carved) RTRenderGLCarvedPlaneObject(f.object, *f.carved);
    else DrawByKind(f.object, true);
  }
}

uint64_t sRunSerials = 0;

// Sorts a new run's plane objects and compiles its lists. A run that draws nothing through the
// stencil leaves its opaque drawing to the list of its stretch (`grouped`).
void CompileRun(Run& run, DocState* ds, const std::array<Layer*, 3>& floors) {
  run.serial = ++sRunSerials;
  run.ends = render3d::walk::EndsStretch(run.first->base2DObject, kRealTimeStretch);
  std::vector<PlaneObject*> floorParts;
  RunDrawing d = SortRun(run, &run, &floorParts, ds, floors);
  run.withCutouts = d.carved.size() > 0 || d.stencilled > 0;
  run.cutoutCount = d.stencilled;
  const int32_t limit = StencilValueLimit();
  if (run.cutoutCount > limit - 1) {
    run.clearsStencil = true;
    run.cutoutFirst = 2;
  } else if (run.cutoutCount > 0) {
    if (sNextCutoutValue + run.cutoutCount - 1 > limit) sNextCutoutValue = 2;
    run.cutoutFirst = sNextCutoutValue;
    sNextCutoutValue += run.cutoutCount;
  }
  gTextureKnownOff = 1;
  if (!d.opaque.empty() && run.cutoutCount == 0) {
    run.grouped = true;
    run.objects = static_cast<int32_t>(d.opaque.size());
  } else if (!d.opaque.empty() && (run.opaque = glGenLists(1))) {
    ++sObjectListCompilations;
    glNewList(run.opaque, GL_COMPILE);
    BeginRealTimeTextureRun();
    DrawRunOpaque(d, ds, run.cutoutFirst, limit);
    EndRealTimeTextureRun();
    glEndList();
  }
  if (floorParts.empty()) run.floorIndex = -1;
  gTextureKnownOff = 0;
}

// A run's floor parts on floor `f`, in scene order, as SortRun finds them.
void AddFloorParts(const Run& run, const std::array<Layer*, 3>& floors, int8_t f, std::vector<PlaneObject*>* parts) {
  PlaneObject* po = run.first;
  for (int32_t i = 0; i < run.count; ++i, po = po->next) {
    const auto* source = po->sourceObject;
    if ((source && source->type == kObjFrameFace) || IsPlant(po) || IsPhoto(po) || IsHolePart(po) ||
        po->partType == kPartCollectedFace)
      continue;
    if (LeftToFloorPass(po, floors) && FloorOnFloor(po, floors[f])) parts->push_back(po);
  }
}

// The kept lists of stretches of runs, by the serial of their first run and what they draw: one
// list holds the opaque drawing of consecutive grouped runs, or the floor parts of consecutive
// runs on one floor (the scene list calls far fewer lists than there are plan objects),
// compiled again when any of its runs is.
struct StretchList {
  std::vector<uint64_t> serials;
  GLuint list = 0;
  uint64_t seen = 0;
};
std::unordered_map<uint64_t, StretchList> sStretchLists;

void QueueStretchLists() {
  for (auto& [first, s] : sStretchLists)
    if (s.list) sListsToDelete.push_back(s.list);
  sStretchLists.clear();
}

// What a stretch's list draws: the opaque drawing of its runs, or their floor parts on floor
// `floor` (0 to 2).
constexpr int8_t kOpaqueStretch = -1;

// The list of the stretch of `runs`, kept or compiled now (0 when none could be made).
GLuint StretchListOf(const std::vector<const Run*>& runs, DocState* ds, const std::array<Layer*, 3>& floors,
                     int8_t floor) {
  StretchList& kept = sStretchLists[runs.front()->serial * 4 + static_cast<uint64_t>(floor + 1)];
  bool same = kept.list && kept.serials.size() == runs.size();
  for (size_t i = 0; same && i < runs.size(); ++i) same = kept.serials[i] == runs[i]->serial;
  kept.seen = sCompileStamp;
  if (same) return kept.list;
  if (kept.list) sListsToDelete.push_back(kept.list);
  kept.serials.clear();
  for (const Run* run : runs) kept.serials.push_back(run->serial);
  kept.list = glGenLists(1);
  if (!kept.list) return 0;
  ++sObjectListCompilations;
  const int32_t limit = StencilValueLimit();
  gTextureKnownOff = 1;
  glNewList(kept.list, GL_COMPILE);
  BeginRealTimeTextureRun();
  if (floor == kOpaqueStretch) {
    std::vector<RunDrawing> drawings;
    drawings.reserve(runs.size());
    bool stencilled = false;
    for (const Run* run : runs) {
      drawings.push_back(SortRun(*run, nullptr, nullptr, ds, floors));
      stencilled = stencilled || drawings.back().stencilled > 0;
    }
    if (stencilled) {
      for (const RunDrawing& d : drawings) DrawRunOpaque(d, ds, 2, limit);
    } else {
      std::vector<const RunDrawing*> all;
      for (const RunDrawing& d : drawings) all.push_back(&d);
      DrawRunsGroupedByTexture(all);
    }
  } else {
    std::vector<PlaneObject*> parts;
    for (const Run* run : runs) AddFloorParts(*run, floors, floor, &parts);
    for (PlaneObject* o : parts) RTRenderGLPlaneObject(o, 0);
  }
  EndRealTimeTextureRun();
  glEndList();
  gTextureKnownOff = 0;
  return kept.list;
}

// The plane objects from `first` on that belong to its plan object and follow one another in
// the list: their number, last one, DrawnState and photos and plants.
struct Stretch {
  PlaneObject* first = nullptr;
  PlaneObject* last = nullptr;
  int32_t count = 0;
  uint64_t drawn = 0;
  std::vector<PlaneObject*> facing;
};
Stretch StretchFrom(PlaneObject* first) {
  Stretch s;
  s.first = first;
  for (PlaneObject* po = first; po && po->base2DObject == first->base2DObject; po = po->next) {
    if (IsPlant(po) || IsPhoto(po)) s.facing.push_back(po);
    s.drawn = Mix(s.drawn, DrawnState(po));
    s.last = po;
    ++s.count;
  }
  return s;
}

Run CompiledRun(Stretch&& s, DocState* ds, const std::array<Layer*, 3>& floors) {
  Run run;
  run.first = s.first, run.last = s.last, run.count = s.count, run.drawn = s.drawn, run.seen = sCompileStamp;
  run.facing = std::move(s.facing);
  CompileRun(run, ds, floors);
  run.box = render3d::DrawnBounds(run.first, run.count);
  render3d::NoteRedrawn(run.box, !run.facing.empty());
  return run;
}

// The whole list walked: each run keeps its lists when they were compiled for the same plane
// objects, drawn the same way; the others are compiled, and the lists of runs gone are dropped.
void WalkWholeList(PlaneObject* list, DocState* ds, const std::array<Layer*, 3>& floors) {
  ++sWholeListWalks;
  render3d::NoteSceneRedrawnWhole();
  std::vector<Run> order;
  for (PlaneObject* po = list; po;) {
    Stretch s = StretchFrom(po);
    po = s.last->next;
    bool kept = false;
    if (auto it = sRuns.find(s.first->base2DObject); it != sRuns.end()) {
      for (size_t i : it->second) {
        Run& run = sOrder[i];
        if (Dead(run) || run.first != s.first || run.last != s.last || run.count != s.count || run.drawn != s.drawn)
          continue;
        run.seen = sCompileStamp;
        run.facing = std::move(s.facing);
        order.push_back(std::move(run));
        run = Run{};  // taken
        kept = true;
        break;
      }
    }
    if (!kept) order.push_back(CompiledRun(std::move(s), ds, floors));
  }
  // Lists of plane objects that have left the scene, or were drawn otherwise.
  for (const Run& run : sOrder) QueueRunLists(run);
  sOrder.swap(order);
  sDeadRuns = 0;
  IndexRuns();
}

// The order brought up to date from the plan objects whose plane objects came or went: their
// runs are replaced by runs of the plane objects they have now, each placed after the plane
// object that precedes it in the list. False when the list does not fit the order kept (it is
// then walked whole).
bool ReplaceChangedRuns(std::vector<const Objex*>& changed, DocState* ds, const std::array<Layer*, 3>& floors) {
  std::sort(changed.begin(), changed.end());
  changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
  for (const Objex* base : changed) DropRunsOf(base);
  // The stretches of the changed plan objects, found through the scene index in scene order.
  std::vector<Stretch> stretches;
  std::unordered_map<const PlaneObject*, size_t> stretchAfter;  // by the plane object before it
  for (const Objex* base : changed) {
    for (PlaneObject* po = FirstScenePlaneObjectOf(base); po;) {
      if (po->base2DObject != base) return false;
      Stretch s = StretchFrom(po);
      if (stretchAfter.count(s.first->prev)) return false;
      stretchAfter[s.first->prev] = stretches.size();
      po = s.last->sameBaseNext;
      stretches.push_back(std::move(s));
    }
  }
  // Each chain of stretches goes after the run it follows (or first in the list).
  std::unordered_map<const PlaneObject*, size_t> stretchEndingAt;
  for (size_t i = 0; i < stretches.size(); ++i) stretchEndingAt[stretches[i].last] = i;
  size_t placed = 0;
  for (size_t i = 0; i < stretches.size(); ++i) {
    const PlaneObject* before = stretches[i].first->prev;
    if (before && stretchEndingAt.count(before)) continue;  // placed with the chain it follows
    size_t at = 0;
    if (before) {
      auto run = sRunEndingAt.find(before);
      if (run == sRunEndingAt.end()) return false;
      at = run->second + 1;
    }
    for (size_t k = i;;) {
      if (placed == stretches.size()) return false;  // a list that runs in a circle
      const PlaneObject* last = stretches[k].last;
      at = InsertRun(at, CompiledRun(std::move(stretches[k]), ds, floors));
      ++placed;
      auto next = stretchAfter.find(last);
      if (next == stretchAfter.end()) break;
      k = next->second;
    }
  }
  if (placed != stretches.size()) return false;
  SqueezeDeadRuns();
  const Run* front = nullptr;
  const Run* back = nullptr;
  for (const Run& run : sOrder)
    if (!Dead(run)) {
      front = &run;
      break;
    }
  for (auto run = sOrder.rbegin(); run != sOrder.rend(); ++run)
    if (!Dead(*run)) {
      back = &*run;
      break;
    }
  if (!front) return gGLPlaneObjects == nullptr;
  return front->first == gGLPlaneObjects && back->last == gGLPlaneObjectsTail && !gGLPlaneObjectsTail->next;
}

// The scene list from the object lists (compiling those that are missing), compiled and then
// called; the photos and plants of the scene are gathered on the way.
void CompileSceneFromObjectLists(PlaneObject* list, DocState* ds) {
  DeleteQueuedLists();
  if (sFloorsList) glDeleteLists(sFloorsList, 1);
  sFloorsList = 0;
  const std::array<Layer*, 3> floors = FloorLayers();
  const ListSettings settings = CurrentListSettings(ds, floors);
  if (!(settings == sListSettings)) {
    QueueAllRuns();
    DeleteQueuedLists();
    sListSettings = settings;
  }
  ++sCompileStamp;
  std::vector<const Objex*> changed;
  const bool journalled = TakeSceneListChanges(changed);
  changed.insert(changed.end(), sDroppedBases.begin(), sDroppedBases.end());
  sDroppedBases.clear();
  // Only a scene list reset through ResetSceneDisplayList by an edit is explained by the journal.
  const bool explained = !sCheckEveryRun && sFacingCameraScene == 0;
  const bool scene = list == gGLPlaneObjects;
  if (!(scene && sOrderIsScene && journalled && explained && ReplaceChangedRuns(changed, ds, floors)))
    WalkWholeList(list, ds, floors);
  sOrderIsScene = scene;
  sCheckEveryRun = false;
  DeleteQueuedLists();

  // One pass over the runs: the calls of the scene list with the stencil clears between them,
  // what the floors and the collected faces draw from, and the photos and plants.
  struct Call {
    GLuint list;
    bool clearFirst;
    render3d::SceneBox box;         // what the list draws
    bool leavesSmoothShading;       // it draws objects through the stencil
  };
  std::vector<Call> calls;
  calls.reserve(sOrder.size());
  std::array<std::vector<std::pair<GLuint, render3d::SceneBox>>, 3> floorCalls;
  std::vector<const Run*> holeRuns, collectedFloorRuns, collectedFaceRuns;
  sFacingCamera.clear();
  // Stencil values drawn since the last clear (the frame starts cleared).
  std::vector<uint8_t> used(static_cast<size_t>(StencilValueLimit()) + 1, 0);
  bool withCutouts = false;
  // Consecutive grouped runs share the list of their stretch.
  std::vector<const Run*> stretch;
  size_t stretchObjects = 0;
  auto closeStretch = [&] {
    if (stretch.empty()) return;
    if (GLuint list = StretchListOf(stretch, ds, floors, kOpaqueStretch)) {
      render3d::SceneBox box;
      for (const Run* run : stretch) box.grow(run->box);
      calls.push_back({list, false, box, false});
    }
    stretch.clear();
    stretchObjects = 0;
  };
  // Consecutive runs with floor parts on one floor share the list of their floor stretch (the
  // floor pass draws nothing else between them).
  std::array<std::vector<const Run*>, 3> floorStretch;
  std::array<size_t, 3> floorStretchObjects{};
  auto closeFloorStretch = [&](int8_t f) {
    if (floorStretch[f].empty()) return;
    if (GLuint list = StretchListOf(floorStretch[f], ds, floors, f)) {
      render3d::SceneBox box;
      for (const Run* run : floorStretch[f]) box.grow(run->box);
      floorCalls[f].push_back({list, box});
    }
    floorStretch[f].clear();
    floorStretchObjects[f] = 0;
  };
  for (const Run& run : sOrder) {
    if (Dead(run)) continue;
    if (run.grouped) {
      stretch.push_back(&run);
      stretchObjects += static_cast<size_t>(run.objects);
      if (run.ends || stretchObjects >= kMostObjectsPerStretch) closeStretch();
    } else if (run.opaque) {
      closeStretch();
    }
    if (!run.facing.empty()) sFacingCamera.insert(sFacingCamera.end(), run.facing.begin(), run.facing.end());
    if (run.holes) holeRuns.push_back(&run);
    if (run.collectedFloors) collectedFloorRuns.push_back(&run);
    if (run.collectedFaces) collectedFaceRuns.push_back(&run);
    if (run.floorIndex >= 0 && run.floorIndex < 3) {
      const int8_t f = run.floorIndex;
      floorStretch[f].push_back(&run);
      floorStretchObjects[f] += static_cast<size_t>(run.count);
      if (run.ends || floorStretchObjects[f] >= kMostObjectsPerStretch) closeFloorStretch(f);
    }
    withCutouts = withCutouts || run.withCutouts;
    if (!run.opaque) continue;
    bool clear = false;
    if (run.clearsStencil) {
      clear = true;
      std::fill(used.begin(), used.end(), 1);
    } else if (run.cutoutCount > 0) {
      const auto first = used.begin() + run.cutoutFirst, end = first + run.cutoutCount;
      if (std::find(first, end, 1) != end) {
        clear = true;
        std::fill(used.begin(), used.end(), 0);
      }
      std::fill(first, end, 1);
    }
    render3d::SceneBox box = run.box;
    if (run.clearsStencil) box.everywhere = true;  // it clears the stencil itself
    calls.push_back({run.opaque, clear, box, run.cutoutCount > 0});
  }
  closeStretch();
  for (int8_t f = 0; f < 3; ++f) closeFloorStretch(f);
  for (auto it = sStretchLists.begin(); it != sStretchLists.end();) {
    if (it->second.seen == sCompileStamp) {
      ++it;
      continue;
    }
    if (it->second.list) glDeleteLists(it->second.list, 1);
    it = sStretchLists.erase(it);
  }
  const bool holes = !holeRuns.empty();

  // The floors with their holes, and the collected faces. With holes or collected faces they
  // are kept in a list of their own (called by the scene list), drawn whole by a frame that
  // redraws only a part of the view; without, the scene list calls the floor lists itself.
  auto drawFloorsWithHoles = [&] {
    // The floors count their stencil values from a clear stencil.
    if (holes) {
      glClear(GL_STENCIL_BUFFER_BIT);
      gCurrentStencilValue = 2;
    }
    for (int8_t f = 0; f < 3; ++f) {
      const Layer* floor = floors[f];
      if (!floor) continue;
      if (holes) {
        KeepStencilValueInRange();
        BeginStencilWrite(gCurrentStencilValue);
        for (const Run* run : holeRuns) {
          PlaneObject* po = run->first;
          for (int32_t i = 0; i < run->count; ++i, po = po->next)
            if (HoleOnFloor(po, floor) && HoleFaceDrawn(po, ds)) RTRenderGLPlaneObject(po, 0);
        }
        EndStencilWrite(ds, GL_NOTEQUAL, gCurrentStencilValue);
      }
      for (const auto& [floorList, box] : floorCalls[f]) glCallList(floorList);
      if (holes) {
        glDisable(GL_STENCIL_TEST);
        ++gCurrentStencilValue;
      }
    }
    if (holes) {
      KeepStencilValueInRange();
      BeginStencilWrite(gCurrentStencilValue);
      for (const Run* run : collectedFloorRuns) {
        PlaneObject* po = run->first;
        for (int32_t i = 0; i < run->count; ++i, po = po->next)
          if (po->partType == kPartCollectedFloor) RTRenderGLPlaneObject(po, 0);
      }
      EndStencilWrite(ds, GL_EQUAL, gCurrentStencilValue);
    }
    for (const Run* run : collectedFaceRuns) {
      PlaneObject* po = run->first;
      for (int32_t i = 0; i < run->count; ++i, po = po->next)
        if (po->partType == kPartCollectedFace) RTRenderGLPlaneObject(po, 0);
    }
    if (holes) {
      glStencilFunc(GL_NOTEQUAL, gCurrentStencilValue, 0xFFFF);
      glDisable(GL_STENCIL_TEST);
      ++gCurrentStencilValue;
    }
  };
  const bool floorsInOwnList = holes || !collectedFaceRuns.empty();
  gTextureKnownOff = 1;
  if (floorsInOwnList && (sFloorsList = glGenLists(1))) {
    glNewList(sFloorsList, GL_COMPILE);
    drawFloorsWithHoles();
    glEndList();
  }

  gSceneDisplayList = glGenLists(1);
  // Compiled, then called: executing thousands of nested calls while compiling them costs far
  // more than calling the finished list (a list that could not be made draws directly).
  if (gSceneDisplayList) glNewList(gSceneDisplayList, GL_COMPILE);
  render3d::BeginScenePlan();
  glDisable(GL_TEXTURE_2D);
  for (const Call& call : calls) {
    if (call.clearFirst) {
      glClear(GL_STENCIL_BUFFER_BIT);
      render3d::PlanStencilClear();
    }
    glCallList(call.list);
    render3d::PlanCall(call.list, call.box, call.leavesSmoothShading);
  }
  // Drawing an object through the stencil leaves smooth shading and dithering on for what
  // follows; a carved one does it once here. The lists draw one colour per primitive, so the
  // shading model changes nothing in them.
  if (withCutouts) {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DITHER);
    render3d::PlanSmoothShading();
  }
  bool planned = true;
  if (sFloorsList) {
    glCallList(sFloorsList);
    render3d::SceneBox everywhere;
    everywhere.everywhere = true;
    render3d::PlanCall(sFloorsList, everywhere, false);
  } else if (floorsInOwnList) {
    drawFloorsWithHoles();
    planned = false;
  } else {
    for (const auto& floor : floorCalls)
      for (const auto& [floorList, box] : floor) {
        glCallList(floorList);
        render3d::PlanCall(floorList, box, false);
      }
  }
  gTextureKnownOff = 0;
  if (gSceneDisplayList) glEndList();
  render3d::EndScenePlan(gSceneDisplayList, list, planned);
  sFacingCameraScene = gSceneDisplayList;
  sFacingCameraHead = list;
}

// Photos and plants face the camera: drawn every frame.
void DrawFacingCamera(PlaneObject* po, bool plantsOff) {
  if (IsPhoto(po)) {
    if (gGLPick3DSelectionMode || gGLPickMode) LoadPickName(po);
    RTRenderGLPhotoObject(po);
  } else if (IsPlant(po)) {
    if (plantsOff || (gGLPickMode && !gGLFindAppliedMode)) return;
    if (gGLPick3DSelectionMode || gGLFindAppliedMode) LoadPickName(po);
    RTRenderGLPlantObject(po);
  }
}

}  // namespace

void RenderGLPlaneObjects(PlaneObject* list) {
  DocState* ds = CurDocState();
  if (!ds) return;
  Walk walk;
  walk.antiAliased = gRenderOpenGLAntiAlias || gRenderingShadowMapAntiAlias;
  const bool quiet = gRenderOpenGLAntiAlias || gRenderingShadowMap;
  if (gCountRenderingObjects && !gNoPlants) gTotalObjectsRendered = 0;
  if (!quiet) SetLVStatusString(LocalizedString("Rendering").c_str());
  const int32_t off = ds->renderExclusions();
  const std::array<Layer*, 3> floors = FloorLayers();
  // Texturing off once for the untextured objects: none sends a glDisable of its own, so that a
  // pass recorded into a display list keeps runs of primitives together. Plants and photos may
  // leave it on: it is turned off again after each.
  const bool textureOff = !gRenderingOpenGLShadows;
  if (textureOff) {
    glDisable(GL_TEXTURE_2D);
    gTextureKnownOff = 1;
  }
  auto textureOffAgain = [textureOff] {
    if (textureOff) glDisable(GL_TEXTURE_2D);
  };

  // Opaque pass (texturing is turned off once after it).
  gTextureLeftOn = 1;
  for (PlaneObject* po = list; po && !gBreakOpenGLRender; po = po->next) {
    if (po->alpha < 255) continue;
    if (IsPlant(po)) {
      if (gNoPlants || (off & kLVOffPlants)) continue;
      if (VisitStops(walk)) break;
      (gRenderingOpenGLShadows ? RenderGLPlantShadowObject : RenderGLPlantObject)(po);
      textureOffAgain();
      continue;
    }
    if (IsPhoto(po)) {
      if (gHideNonShadowObjects && CastsNoShadow(po)) continue;
      if (VisitStops(walk)) break;
      (gRenderingOpenGLShadows ? RenderGLPhotoShadowObject : RenderGLPhotoObject)(po);
      textureOffAgain();
      continue;
    }
    if (LeftToFloorPass(po, floors) || Excluded(po, off)) continue;
    if (gRenderingOpenGLShadows) {
      if (VisitStops(walk)) break;
      if (po->children) RenderGLPlaneShadowObjectMask(po);
      RenderGLPlaneShadowObject(po);
      continue;
    }
    if (!po->children && gHideNonShadowObjects && CastsNoShadow(po)) continue;
    if (VisitStops(walk)) break;
    if (po->children) DrawWithCutouts(po, ds, false);
    else DrawPlain(po, ds, false);
  }
  gTextureLeftOn = 0;
  glDisable(GL_TEXTURE_2D);
  if (textureOff) gTextureKnownOff = 1;

  // Floors with their holes.
  for (const Layer* floor : floors) {
    if (gBreakOpenGLRender) break;
    if (floor && !DrawFloor(list, floor, ds, walk)) break;
  }

  // Transparent pass.
  if (!gBreakOpenGLRender && !gHideNonShadowObjects && !gSkipTransparent && !gRenderPlantsInColor) {
    const bool objectsOff = off & kLVOffObjects;
    for (PlaneObject* po = list; po; po = po->next) {
      if (po->alpha >= 255 || Excluded(po, off)) continue;
      if (po->partType == kObjSymbolPart3D && objectsOff) continue;
      if (VisitStops(walk)) break;
      BlendOn();
      DrawByKind(po, false);
      for (PlaneObject* a = po->attachments; a; a = a->next) DrawByKind(a, false);
      if (!ds->transparency()) glDisable(GL_BLEND);
    }
  }

  gTextureKnownOff = 0;
  if (!quiet) SetLVStatusString("");
  gDisableRenderInterrupt = 0;
  sLastWalkVisits = walk.visited;
}

void RealTimeRenderGLPlaneObjects(PlaneObject* list) {
  DocState* ds = CurDocState();
  if (!ds) return;
  bool gathered = false;
  if (Picking()) {
    ResetPickNames();
    sNaming = true;
    DrawStaticSceneRun(list, ds);
  } else if (gSceneDisplayList == 0) {
    if (ds->renderMode() != kRenderWireframe) {
      CompileSceneFromObjectLists(list, ds);
      if (gSceneDisplayList) glCallList(gSceneDisplayList);
      gathered = true;
    } else {
      DrawStaticSceneRun(list, ds);
    }
  } else {
    // Through its plan, the lists the frame can show (after an edit, those that reach the
    // rectangle it changed) are called.
    if (!render3d::DrawPlannedScene(list)) glCallList(gSceneDisplayList);
    gathered = sFacingCameraScene == gSceneDisplayList && sFacingCameraHead == list;
  }

  // Photos and plants face the camera: drawn every frame, from the compiled scene's own list
  // of them when there is one.
  const bool plantsOff = (ds->renderExclusions() & kLVOffPlants) != 0;
  if (gathered) {
    for (PlaneObject* po : sFacingCamera) DrawFacingCamera(po, plantsOff);
  } else {
    for (PlaneObject* po = list; po; po = po->next) DrawFacingCamera(po, plantsOff);
  }
  sNaming = false;
}

void RenderGLFillerPlaneObjects(PlaneObject* list) {
  if (!CurDocState()) return;
  for (PlaneObject* po = list; po; po = po->next) {
    if (po->partType != kObjFrameFace) continue;
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    RenderGLPlaneObject(po, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  }
}

namespace {
// The plants `next` hands out one by one (null at the end), drawn as the plant pass draws them.
template <typename Next>
void DrawPlants(Next next) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (gCountRenderingObjects) gTotalObjectsRendered = 0;
  if (!(ds->renderExclusions() & kLVOffPlants)) {
    Walk walk;
    walk.antiAliased = gRenderOpenGLAntiAlias || gRenderingShadowMapAntiAlias;
    for (PlaneObject* po = next(); po && !gBreakOpenGLRender; po = next()) {
      if (VisitStops(walk)) break;
      (gRenderingOpenGLShadows ? RenderGLPlantShadowObject : RenderGLPlantObject)(po);
    }
  }
  gDisableRenderInterrupt = 0;
}
}  // namespace

void RenderGLPlaneObjectsPlantsOnly(PlaneObject* list) {
  PlaneObject* po = list;
  DrawPlants([&po]() -> PlaneObject* {
    while (po && !IsPlant(po)) po = po->next;
    PlaneObject* plant = po;
    if (po) po = po->next;
    return plant;
  });
}

void RenderGLPlants(PlaneObject* const* plants, size_t count) {
  size_t i = 0;
  DrawPlants([&]() -> PlaneObject* { return i < count ? plants[i++] : nullptr; });
}

namespace render3d {
void DropObjectLists(const Objex* object) {
  DropFinalLists(object);
  if (!sRuns.count(object)) return;
  DropRunsOf(object);
  // Its plane objects are looked at again at the next compilation, even if they stay.
  sDroppedBases.push_back(object);
}

void DropAllObjectLists() {
  DropAllFinalLists();
  QueueAllRuns();
}

void ReleaseObjectLists() {
  ReleaseFinalLists();
  QueueAllRuns();
  DeleteQueuedLists();
  if (sFloorsList) glDeleteLists(sFloorsList, 1);
  sFloorsList = 0;
  ForgetFacingCameraList();
}

void ForgetFacingCameraList() {
  sFacingCamera.clear();
  sFacingCameraScene = 0;
  sFacingCameraHead = nullptr;
  if (sEditResets == 0) sCheckEveryRun = true;
}

void NoteColoursChangedInPlace() {
  ResetSceneDisplayList();
  sCheckEveryRun = true;
}

bool CompileSceneListAhead(PlaneObject* list, DocState* ds) {
  if (!list || !ds || Picking() || ds->renderMode() == kRenderWireframe) return false;
  if (gSceneDisplayList == 0) CompileSceneFromObjectLists(list, ds);
  return gSceneDisplayList != 0;
}

EditedSceneScope::EditedSceneScope() { ++sEditResets; }
EditedSceneScope::~EditedSceneScope() { --sEditResets; }

int64_t ObjectListCompilations() { return sObjectListCompilations; }
int64_t WholeSceneWalks() { return sWholeListWalks; }

int32_t LastRenderWalkVisits() { return sLastWalkVisits; }

bool ReplayRenderPolls(int32_t visits) {
  const bool antiAliased = gRenderOpenGLAntiAlias || gRenderingShadowMapAntiAlias;
  for (int32_t n = kEscapePollInterval; n <= visits; n += kEscapePollInterval)
    if (PollStops(antiAliased)) return true;
  return false;
}
}  // namespace render3d

PlaneObject* PlaneObjectForPickName(uint32_t name) {
  if (name < kFirstPlaneObjectPickName || name >= sPickTable.size()) return nullptr;
  PlaneObject* wanted = sPickTable[name];
  // The table may be older than the scene: only a plane object still in it (or one of its
  // cut-outs or trims) is handed out.
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (po == wanted) return po;
    for (PlaneObject* a = po->attachments; a; a = a->next)
      if (a == wanted) return a;
    for (PlaneObject* c = po->children; c; c = c->next)
      if (c == wanted) return c;
  }
  return nullptr;
}

PlaneObject* PlaneObjectForFreshPickName(uint32_t name) {
  if (name < kFirstPlaneObjectPickName || name >= sPickTable.size()) return nullptr;
  return sPickTable[name];
}

namespace render3d::walk {
std::array<Layer*, 3> Floors() { return FloorLayers(); }
bool IsPlant(const PlaneObject* po) { return ::IsPlant(po); }
bool IsPhoto(const PlaneObject* po) { return ::IsPhoto(po); }
bool IsHolePart(const PlaneObject* po) { return ::IsHolePart(po); }
bool IsCollectedFloor(const PlaneObject* po) { return po->partType == kPartCollectedFloor; }
bool IsCollectedFace(const PlaneObject* po) { return po->partType == kPartCollectedFace; }
bool OnLayer(const PlaneObject* po, const Layer* layer) { return ::OnLayer(po, layer); }
bool LeftToFloorPass(const PlaneObject* po, const std::array<Layer*, 3>& floors) {
  return ::LeftToFloorPass(po, floors);
}
bool Excluded(const PlaneObject* po, int32_t off) { return ::Excluded(po, off); }
bool CastsNoShadow(const PlaneObject* po) { return ::CastsNoShadow(po); }
bool HoleOnFloor(const PlaneObject* po, const Layer* floor) { return ::HoleOnFloor(po, floor); }
bool HoleFaceDrawn(const PlaneObject* po, DocState* ds) { return ::HoleFaceDrawn(po, ds); }
bool FloorOnFloor(const PlaneObject* po, const Layer* floor) { return ::FloorOnFloor(po, floor); }
const Objex* RootOf(const PlaneObject* po) { return ::RootOf(po); }
void DrawOpaque(PlaneObject* po, DocState* ds) {
  if (po->children) DrawWithCutouts(po, ds, false);
  else DrawPlain(po, ds, false);
}
void DrawTrims(PlaneObject* po) {
  for (PlaneObject* a = po->attachments; a; a = a->next) DrawByKind(a, false);
}
void DrawFace(PlaneObject* po) { DrawByKind(po, false); }
void DrawTransparent(PlaneObject* po, DocState* ds) {
  BlendOn();
  DrawByKind(po, false);
  for (PlaneObject* a = po->attachments; a; a = a->next) DrawByKind(a, false);
  if (!ds->transparency()) glDisable(GL_BLEND);
}
bool DrawFloorPass(PlaneObject* list, const Layer* floor, DocState* ds) {
  Walk walk;
  walk.antiAliased = gRenderOpenGLAntiAlias || gRenderingShadowMapAntiAlias;
  return DrawFloor(list, floor, ds, walk);
}
void BeginStencilWrite(GLint value) { ::BeginStencilWrite(value); }
void EndStencilWrite(DocState* ds, GLenum func, GLint value) { ::EndStencilWrite(ds, func, value); }
int32_t StencilValueLimit() { return ::StencilValueLimit(); }
}  // namespace render3d::walk
