// The list walkers of the 3D scene: exclusions, the opaque / floor / transparent passes with
// cut-outs drawn into the stencil so that openings show through walls and floors, the
// real-time scene list with its pick names, and the Escape poll of anti-aliased renders.
#include "render3d/PlaneObjectLists.h"

#include <GL/gl.h>

#include <array>
#include <limits>
#include <unordered_map>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/NotYetBuilt.h"
#include "model/Services.h"
#include "model/Records.h"
#include "platform/KeyWatch.h"
#include "platform/Strings.h"
#include "render3d/Lighting.h"
#include "render3d/RealTimeScene.h"
#include "render3d/RenderPlaneObject.h"
#include "render3d/SceneFrame.h"
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

// Every object a pass takes up counts; every 300th one of an anti-aliased render looks for
// Escape, which stops the render.
bool VisitStops(Walk& walk) {
  if (gCountRenderingObjects) ++gTotalObjectsRendered;
  ++walk.visited;
  if (walk.visited % kEscapePollInterval != 0) return false;
  if (!walk.antiAliased || gDisableRenderInterrupt || gPrinting3DView) return false;
  int32_t key = TakeKeyDown();
  if (!CurrentKeyWatch() && gLiveViewHost.takeKeyDown) key = gLiveViewHost.takeKeyDown();
  if (key != kKeyWatchEscape) return false;
  g3DViewPrintInterrupted = 1;
  gBreakOpenGLRender = 1;
  return true;
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

std::vector<PlaneObject*> sPickTable{nullptr};
std::unordered_map<PlaneObject*, uint32_t> sPickNames;

void ResetPickNames() {
  sPickTable.assign(1, nullptr);
  sPickNames.clear();
}

uint32_t PickNameFor(PlaneObject* po) {
  auto [it, added] = sPickNames.try_emplace(po, static_cast<uint32_t>(sPickTable.size()));
  if (added) sPickTable.push_back(po);
  return it->second;
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
  for (PlaneObject* c = po->children; c; c = c->next) draw(c, 0);
  glShadeModel(GL_SMOOTH);
  glEnable(GL_DITHER);
  EndStencilWrite(ds, GL_NOTEQUAL, gCurrentStencilValue);
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
bool FloorOnFloor(const PlaneObject* po, const Layer* floor) {
  return IsFloorPart(po) && OnLayer(po, floor);
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

}  // namespace

void RenderGLPlaneObjects(PlaneObject* list) {
  DocState* ds = CurDocState();
  if (!ds) return;
  Walk walk;
  walk.antiAliased = gRenderOpenGLAntiAlias || gRenderingAntiAliasShadowMap;
  const bool quiet = gRenderOpenGLAntiAlias || gRenderingShadowMap;
  if (gCountRenderingObjects && !gNoPlants) gTotalObjectsRendered = 0;
  if (!quiet) SetLVStatusString(LocalizedString("Rendering").c_str());
  const int32_t off = ds->renderExclusions();
  const std::array<Layer*, 3> floors = FloorLayers();

  // Opaque pass (texturing is turned off once after it).
  gTextureLeftOn = 1;
  for (PlaneObject* po = list; po && !gBreakOpenGLRender; po = po->next) {
    if (po->alpha < 255) continue;
    if (IsPlant(po)) {
      if (gNoPlants || (off & kLVOffPlants)) continue;
      if (VisitStops(walk)) break;
      (gRenderingOpenGLShadows ? RenderGLPlantShadowObject : RenderGLPlantObject)(po);
      continue;
    }
    if (IsPhoto(po)) {
      if (gHideNonShadowObjects && CastsNoShadow(po)) continue;
      if (VisitStops(walk)) break;
      (gRenderingOpenGLShadows ? RenderGLPhotoShadowObject : RenderGLPhotoObject)(po);
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

  if (!quiet) SetLVStatusString("");
  gDisableRenderInterrupt = 0;
}

void RealTimeRenderGLPlaneObjects(PlaneObject* list) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (Picking()) {
    ResetPickNames();
    sNaming = true;
    DrawStaticSceneRun(list, ds);
    sNaming = false;
  } else if (gSceneDisplayList == 0) {
    const bool compile = ds->renderMode() != kRenderWireframe;
    if (compile) {
      gSceneDisplayList = glGenLists(1);
      if (gSceneDisplayList) glNewList(gSceneDisplayList, GL_COMPILE_AND_EXECUTE);
    }
    DrawStaticSceneRun(list, ds);
    if (compile && gSceneDisplayList) glEndList();
  } else {
    glCallList(gSceneDisplayList);
  }

  // Photos and plants face the camera: drawn every frame.
  const bool plantsOff = (ds->renderExclusions() & kLVOffPlants) != 0;
  for (PlaneObject* po = list; po; po = po->next) {
    if (IsPhoto(po)) {
      if (gGLPick3DSelectionMode || gGLPickMode) LoadPickName(po);
      RTRenderGLPhotoObject(po);
    } else if (IsPlant(po)) {
      if (plantsOff || (gGLPickMode && !gGLFindAppliedMode)) continue;
      if (gGLPick3DSelectionMode || gGLFindAppliedMode) LoadPickName(po);
      RTRenderGLPlantObject(po);
    }
  }
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

void RenderGLPlaneObjectsPlantsOnly(PlaneObject* list) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (gCountRenderingObjects) gTotalObjectsRendered = 0;
  if (!(ds->renderExclusions() & kLVOffPlants)) {
    Walk walk;
    walk.antiAliased = gRenderOpenGLAntiAlias || gRenderingAntiAliasShadowMap;
    for (PlaneObject* po = list; po && !gBreakOpenGLRender; po = po->next) {
      if (!IsPlant(po)) continue;
      if (VisitStops(walk)) break;
      (gRenderingOpenGLShadows ? RenderGLPlantShadowObject : RenderGLPlantObject)(po);
    }
  }
  gDisableRenderInterrupt = 0;
}

PlaneObject* PlaneObjectForPickName(uint32_t name) {
  if (name == 0 || name >= sPickTable.size()) return nullptr;
  PlaneObject* wanted = sPickTable[name];
  // The table may be older than the scene: only a plane object still in it (or one of its
  // trims) is handed out.
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
    if (po == wanted) return po;
    for (PlaneObject* a = po->attachments; a; a = a->next)
      if (a == wanted) return a;
  }
  return nullptr;
}
