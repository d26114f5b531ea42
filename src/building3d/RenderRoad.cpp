// The road from plan objects to plane objects: the deferral while the 3D window is hidden,
// the walk over layers and children, the per-type build with its render-time retypes, and the
// turning of one Objex (rings, patches and caps) into plane objects.
#include "building3d/RenderRoad.h"
#include "building3d/Framing3D.h"
#include "building3d/WallFaceFinish.h"

#include <algorithm>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/RepeatLimit.h"
#include "building3d/RoofAttachments3D.h"
#include "building3d/Surfaces.h"
#include "building3d/TopoElevation.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "model/PlanarTransforms.h"
#include "model/TextureFace.h"
#include "model/WallFields.h"
#include "platform/Strings.h"

// The background-rendering switch and the strip memory, which the renderer reads and sets.
uint8_t gEnableBackgroundRendering = 0;
Objex* gPrevPlaneParentObject = nullptr;
RGBColor gPrevPlaneColor{1, 1, 1};
// Window glass lets half the light through unless the settings say otherwise.
int16_t gWindowGlassTransparency = 128;

namespace {

// Render-time type codes and the kinds the road singles out.
constexpr int16_t kTypeWallFaceSubtypeCollected = 173;  // wall face subtype collected into one
constexpr int16_t kTypeGeneric170 = 170;
constexpr int32_t kSubtype171 = 171;
constexpr int32_t kSubtypeFloor170 = 170, kSubtypeFloor177 = 177;
constexpr int16_t kRenderKindPlant = 8, kRenderKindUserPlant = 9, kRenderKindWallCap = 126;
constexpr int32_t kFramingTexture = 2203;
constexpr uint16_t kFramingGrey = 0xC0C0;
constexpr RGBColor kFramingPlain{0xD8D8, 0xE4E4, 0xF0F0};
constexpr RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF};

// Set while RenderAllLayers rebuilds the scene from empty: each plan object is then built
// once, so there are never old plane objects of it to delete (the deletes would only walk the
// growing scene list again for every object).
bool sBuildingWholeScene = false;

bool FramingView() {
  const DocState* ds = CurDocState();
  return ds && ds->framingView;
}

// The shared deferral test of RenderSingleObject, RenderEntireObject and RenderObject: false
// when the build is put off (or there is no 3D window controller at all).
bool BuildGoesOn(bool clearStaleOnForce) {
  if (!LiveViewControllerExists()) return false;
  if (!gGLPlaneObjects || gRenderOnShow) gForceRenderObjectNow = 0;
  if (!gForceRenderObjectNow) {
    if (!LiveViewWindowVisible() && !gEnableBackgroundRendering) {
      gRenderOnShow = 1;
      return false;
    }
    gRenderOnShow = 0;
  } else if (clearStaleOnForce) {
    gRenderOnShow = 0;
  }
  return true;
}

// RenderLayer and RenderAllLayers look at visibility only.
bool WindowShowsScene() {
  if (!LiveViewWindowVisible()) {
    gRenderOnShow = 1;
    return false;
  }
  gRenderOnShow = 0;
  return true;
}

bool BuildsPlaneObjects(int16_t type) {
  switch (type) {
    case 8: case 9: case 10: case 11: case 12: case 13: case 15:
    case 18: case 19: case 20: case 23: case 24: case 25: case 26: case 27: case 28:
    case 32: case 33: case 34: case 35: case 36:
    case 59: case 60: case 111: case 127: case 128: case 131: case 134: case 135: case 136:
    case 139: case 158: case 170: case 173: case 900:
      return true;
    default:
      return type >= 38 && type <= 52;
  }
}

bool IsWallAttachmentType(int16_t type) {
  return type == kObjDoor || type == kObjWindow || type == kObjComponent || type == kObjAccessory;
}

int16_t ClampAlpha(int32_t value) { return static_cast<int16_t>(std::clamp(value, 0, 255)); }

// The alpha left by an accessory's transparency (a float of the design, so any value).
int16_t AlphaAfterTransparency(float transparency) {
  if (!(transparency > 0)) return 255;
  if (transparency >= 255) return 0;
  return ClampAlpha(255 - static_cast<int32_t>(transparency));
}

// A new plane object for `object` with the material every new one gets (elevation of wall
// attachments, part type, colours and alpha); null when memory is short.
PlaneObject* NewPlaneObject(Objex* object) {
  PlaneObject* po = CreatePlaneObject();
  if (!po) return nullptr;
  if (gBase2DObject && gBase2DObject->type == kObjWall && gActual3DObject &&
      IsWallAttachmentType(gActual3DObject->type)) {
    if (const DoorWindowData* data = AttachmentData(gActual3DObject); data && data->anchorStart)
      po->elevation = BaseElevationOf(data->anchorStart);
  }
  int16_t partType = object->type;
  if (object->type == kObjWallFace && object->subtype == kTypeWallFaceSubtypeCollected)
    partType = kTypeWallFaceSubtypeCollected;
  else if (object->type == kObjCabinetPass)
    partType = kObjCabinet;
  else if (object->type == kTypeGeneric170 && object->subtype == kSubtype171)
    partType = static_cast<int16_t>(kSubtype171);
  po->partType = partType;
  po->colorA = object->penColor;
  po->colorB = object->fillColor;
  if (object->type == kObjAccessoryFace && gBase2DObject && gBase2DObject->type == kObjWall &&
      gActual3DObject && gActual3DObject->type == kObjAccessory && gActual3DObject->params[4] != 0) {
    po->alpha = AlphaAfterTransparency(gActual3DObject->params[4]);
  } else if (object->type == kObjCustomAttachmentPart && object->subtype == kObjWindow) {
    po->alpha = ClampAlpha(gWindowGlassTransparency);
  } else if (object->type == kObjCustomAttachmentPart ||
             (object->type == kObjSymbolPart3D && object->subtype == kObjCustomAttachmentPart)) {
    po->alpha = ClampAlpha(AlphaValueOf(object));
  }
  return po;
}

// Appends a finished plane object to the scene, or frees it when it received no plane.
// True when it was appended.
bool AppendOrFree(PlaneObject* po, Objex* source) {
  if (gCurPlaneObject == po) gCurPlaneObject = nullptr;
  if (!po) return false;
  if (!po->planes) {
    DeletePlaneObject(po);
    return false;
  }
  AppendPlaneObject(po, source);
  return true;
}

void ClearSideLinks(PlaneObject* po) {
  po->scaleLinkA = po->scaleLinkB = nullptr;
  po->textureLinkA = po->textureLinkB = nullptr;
  po->colorLinkA = po->colorLinkB = nullptr;
}

// Colours of a one-ring surface: grey tones, plain faces or the framing texture in framing
// view, the object's own colours otherwise.
void ColourSingleRingSurface(PlaneObject* po, Objex* object) {
  DocState* ds = CurDocState();
  if (ds && ds->framingView) {
    if (!object->layer || (object->planMask & 1)) {
      po->colorA = po->colorB = RGBColor{kFramingGrey, kFramingGrey, kFramingGrey};
    } else if (ds->framingPlainColors()) {
      po->textureIdA = po->textureIdB = 0;
      ClearSideLinks(po);
      po->colorA = po->colorB = kFramingPlain;
    } else {
      po->textureIdA = po->textureIdB = kFramingTexture;
      po->textureScaleA[0] = po->textureScaleA[1] = 100;
      po->textureScaleB[0] = po->textureScaleB[1] = 100;
      po->colorA = po->colorB = kWhite;
      const FloatRect& r = object->textureRect;
      float su = 1, sv = 1;
      ComputeTextureScale(kFramingTexture, r.floatRight - r.floatLeft, r.floatBottom - r.floatTop, &su, &sv);
      po->textureSizeA[0] = po->textureSizeB[0] = su;
      po->textureSizeA[1] = po->textureSizeB[1] = sv;
    }
  } else {
    po->colorA = object->penColor;
    po->colorB = object->fillColor;
  }
}

// The points of the object's chain, at most pointCount of them.
std::vector<Poinz*> ChainPoints(Objex* object) {
  std::vector<Poinz*> points;
  if (object->pointCount <= 0) return points;
  points.reserve(static_cast<size_t>(object->pointCount));
  for (Poinz* p = object->firstPoint; p && points.size() < static_cast<size_t>(object->pointCount); p = p->next)
    points.push_back(p);
  return points;
}

// One side patch between two rings. A straight patch fills the plane object given to the
// surface builder, which this routine carves and appends; a curved patch is split into
// strips that the surface builder finishes and appends itself (it takes over the plane object).
// With `collected` the patch goes into that one plane object instead; returns the plane object
// that collects the next patches.
PlaneObject* BuildPatch(Objex* object, Objex* source, Poinz* lowerA, Poinz* upperA, Poinz* lowerB,
                        Poinz* upperB, int32_t faceIndex, PlaneObject* collected) {
  PlaneObject* po = collected ? collected : NewPlaneObject(object);
  if (!po) return collected;
  Plane* lastBefore = po->planes;
  while (lastBefore && lastBefore->next) lastBefore = lastBefore->next;
  gCurPlaneObject = po;
  RenderBicubicSurface(lowerA, upperA, lowerB, upperB, 3, 1, 1, &object->penColor, source);
  if (gCurPlaneObject != po) {
    // Curved: the strips were finished and appended by the surface builder.
    return collected ? NewPlaneObject(object) : nullptr;
  }
  // The face of this patch: the plane it added (after those collected before it).
  Plane* face = lastBefore ? lastBefore->next : po->planes;
  if (source->type == kObjWall && face)
    CarveWindowsAndDoors(object, source, lowerA, upperA, lowerB, upperB, faceIndex, face);
  if (collected) {
    gCurPlaneObject = nullptr;
    return collected;
  }
  AppendOrFree(po, source);
  return nullptr;
}

// A cap over one ring: `build` false leaves the new plane object empty (it is freed).
void BuildRingCap(Objex* object, Objex* source, Poinz* first, int32_t count, int16_t front, bool build) {
  PlaneObject* po = NewPlaneObject(object);
  if (!po) return;
  gCurPlaneObject = po;
  if (build) RenderPlanarSurface(first, count, &object->penColor, front, object);
  gCurPlaneObject = po;
  if (object->type == kObjWallFace && object->subtype == kObjWall3DChild) {
    po->renderKind = kRenderKindWallCap;
    po->elevation = 0;
    if (!front && gBase2DObject && gBase2DObject->firstPoint)
      po->elevation = WallHeightOf(gBase2DObject->firstPoint);
  }
  const bool panelFace = po->partType == kObjRoofPanelFace;
  if (AppendOrFree(po, source) && panelFace) {
    // The holes and curbs hang on the face just built.
    gCurPlaneObject = po;
    CarveAllRoofPanelAttachments(gBase2DObject, po->planes, front ? 0 : 1);
    gCurPlaneObject = nullptr;
  }
}

// Objects of several rings: side patches between consecutive rings, caps on the first and
// last ring of closed, capped objects.
void BuildRings(Objex* object, Objex* source) {
  if (object->levels < 2) return;
  std::vector<Poinz*> points = ChainPoints(object);
  const int32_t levels = object->levels;
  const int32_t perRing = object->pointCount / levels;
  if (perRing < 1 || static_cast<int64_t>(perRing) * levels > static_cast<int64_t>(points.size())) return;
  const bool collect = object->type == kObjWallFace && object->subtype == kTypeWallFaceSubtypeCollected;
  PlaneObject* collected = collect ? NewPlaneObject(object) : nullptr;
  for (int32_t r = 0; r + 1 < levels; ++r) {
    Poinz** lower = &points[static_cast<size_t>(r) * perRing];
    Poinz** upper = &points[static_cast<size_t>(r + 1) * perRing];
    for (int32_t i = 0; i < perRing; ++i) {
      if (i + 1 < perRing) {
        collected = BuildPatch(object, source, lower[i], upper[i], lower[i + 1], upper[i + 1], i, collected);
      } else if (object->closed) {
        collected = BuildPatch(object, source, lower[i], upper[i], lower[0], upper[0], i, collected);
        if (object->capped && source->type != kObjEdging)
          BuildRingCap(object, source, points[0], perRing, 1, r == 0);
      }
    }
  }
  if (object->closed && object->capped)
    BuildRingCap(object, source, points[static_cast<size_t>(levels - 1) * perRing], perRing, 0, true);
  if (collected) AppendOrFree(collected, source);
  gCurPlaneObject = nullptr;
}

// Objects of one ring: one planar surface when capped.
void BuildSingleRing(Objex* object, Objex* source) {
  if (!object->firstPoint || !object->capped) return;
  PlaneObject* po = NewPlaneObject(object);
  if (!po) return;
  gCurPlaneObject = po;
  RenderPlanarSurface(object->firstPoint, object->pointCount, &object->penColor, 1, object);
  gCurPlaneObject = po;
  if (po->planes) {
    ColourSingleRingSurface(po, object);
    if (object->type == kObjPlant) {
      po->renderKind = object->subtype == kSubUserPlant ? kRenderKindUserPlant : kRenderKindPlant;
      // Measured only: resizing here would select the plant and rescale its footprint each
      // time the scene is built.
      float width = 0, height = 0;
      GetPlantBounds(object, &width, &height, 0);
      po->billboardSize[0] = width / 2;
      po->billboardSize[1] = height;
    }
  }
  const int16_t partType = po->partType;
  if (AppendOrFree(po, source) && (partType == kObjRoofPlane || partType == kObjRoofHipPart)) {
    gCurPlaneObject = po;
    CarveAllRoofAttachments(gBase2DObject, po->planes, object->subtype, partType == kObjRoofPlane ? 1 : 0);
    gCurPlaneObject = nullptr;
  }
}

// What a retype changes on a plan object, so that building leaves the plan as it found it.
struct RetypeState {
  Objex* object;
  int16_t type;
  uint8_t closed, capped;
  void* sourceObject;
  FloatRect textureRect, textureRect2;
  int16_t auxShort;
  struct PointState {
    float texU, texV, pathLength, ringLength;
  };
  std::vector<PointState> points;

  explicit RetypeState(Objex* o)
      : object(o), type(o->type), closed(o->closed), capped(o->capped), sourceObject(o->sourceObject),
        textureRect(o->textureRect), textureRect2(o->textureRect2), auxShort(o->auxShort) {
    for (Poinz* p = o->firstPoint; p; p = p->next) points.push_back({p->texU, p->texV, p->pathLength, p->ringLength});
  }
  void Restore() const {
    object->type = type;
    object->closed = closed;
    object->capped = capped;
    object->sourceObject = sourceObject;
    object->textureRect = textureRect;
    object->textureRect2 = textureRect2;
    object->auxShort = auxShort;
    size_t i = 0;
    for (Poinz* p = object->firstPoint; p && i < points.size(); p = p->next, ++i) {
      p->texU = points[i].texU;
      p->texV = points[i].texV;
      p->pathLength = points[i].pathLength;
      p->ringLength = points[i].ringLength;
    }
  }
};

// Each generated part of the object's type-data list, as the part being converted.
void RenderGeneratedParts(Objex* object, bool skipSkirting = false) {
  for (Objex* part = static_cast<Objex*>(object->typeData); part; part = part->next) {
    if (skipSkirting && part->type == kObjSkirting) continue;
    gActual3DObject = part;
    RenderObject(part);
  }
}

// Each part of a chain (3D symbol, attachment faces), marked for a rebuild first.
void RenderMarkedChain(Objex* first) {
  for (Objex* part = first; part; part = part->next) {
    part->needsRender = 1;
    RenderObject(part);
  }
}

void RenderWall(Objex* wall, bool framing) {
  if (wall->pointCount >= 3 && NoAutoFloorOf(wall) == 0) {
    RetypeState saved(wall);
    wall->capped = 1;
    wall->type = kObjWallFloorPass;
    wall->closed = 1;
    wall->sourceObject = nullptr;
    SetTextureFaceUV(wall);
    SetObjectPointLengths(wall);
    RenderObject(wall);
    if (!framing && wall->layer) {
      wall->type = kObjWallCeilingPass;
      RenderObject(wall);
    }
    saved.Restore();
    wall->capped = 0;
  }
  if (wall->typeData) {
    wall->needsRender = 1;
    RenderObject(static_cast<Objex*>(wall->typeData));
  }
  if (framing) {
    FrameWindowsAndDoors(wall);
    return;
  }
  for (Objex* child = wall->firstChild; child; child = child->next) {
    gActual3DObject = child;
    if (child->type == kObjComponent) {
      RenderMarkedChain(child->symbol3D);
    } else if (const DoorWindowData* data = AttachmentData(child)) {
      RenderMarkedChain(data->faces);
    }
  }
  gActual3DObject = wall;
}

// Floors and cabinets: the second slab face (outside framing view), the face itself, then the
// generated parts when the slab has a thickness.
void RenderSlab(Objex* slab, int16_t secondFaceType, bool framing) {
  if (!framing) {
    const int16_t type = slab->type;
    slab->type = secondFaceType;
    RenderObject(slab);
    slab->type = type;
  }
  RenderObject(slab);
  if (SlabThicknessOf(slab) > 0) {
    const bool takesFloorElevation = slab->subtype == kSubtypeFloor170 || slab->subtype == kSubtypeFloor177;
    for (Objex* part = static_cast<Objex*>(slab->typeData); part; part = part->next) {
      gActual3DObject = part;
      if (takesFloorElevation) {
        const float own = part->baseElevation;
        part->baseElevation = slab->baseElevation;
        RenderObject(part);
        part->baseElevation = own;
      } else {
        RenderObject(part);
      }
    }
  }
}

void RenderRoofLike(Objex* roof) {
  RenderGeneratedParts(roof);
  for (Objex* child = roof->firstChild; child; child = child->next) {
    if (child->type != kObjSkylight || !child->typeData) continue;
    const auto* data = static_cast<const RoofAttachmentData*>(child->typeData);
    for (Objex* part = data->parts; part; part = part->next) {
      if (part->type != kObjDoorLeafFace && part->type != kObjFrameFace && part->type != kObjSeparatorFace) continue;
      gActual3DObject = child;
      RenderObject(part);
    }
  }
}

void RenderEdging(Objex* edging) {
  for (Objex* part = static_cast<Objex*>(edging->typeData); part; part = part->next) {
    gActual3DObject = part;
    if (OnTopographyOf(edging) && part->firstPoint) {
      const Poinz* first = part->firstPoint;
      const float offset = first->position[1] - GetTopoElevationAtGridPt(first->position[0], first->position[2]);
      for (Poinz* p = part->firstPoint; p; p = p->next) p->position[1] -= offset;
    }
    RenderObject(part);
  }
}

void RenderExcavation(Objex* excavation) {
  if (excavation->pointCount > 2) {
    RetypeState saved(excavation);
    excavation->capped = 1;
    excavation->type = kObjExcavationPass;
    excavation->closed = 1;
    SetTextureFaceUV(excavation);
    SetObjectPointLengths(excavation);
    RenderObject(excavation);
    saved.Restore();
    // The excavation outline stays closed once built; the pass leaves it uncapped.
    excavation->capped = 0;
    excavation->closed = 1;
  }
  if (excavation->typeData) {
    excavation->needsRender = 1;
    RenderObject(static_cast<Objex*>(excavation->typeData));
  }
}

bool IsFixtureType(int16_t type) {
  switch (type) {
    case 68: case 69: case 71: case 72: case 88: case 98: case 110:
      return true;
    default:
      return (type >= 79 && type <= 82) || (type >= 117 && type <= 123) || (type >= 146 && type <= 152);
  }
}

bool BuiltInFramingView(int16_t type) {
  switch (type) {
    case kObjWall: case kObjFloor: case kObjRoof: case kObjStaircase: case kObjCutout: case kObjDeck:
    case kObjRoofPanel: case kObjCutoutFirstPass:
      return true;
    default:
      return false;
  }
}

// A group on the terrain moves its parts so that the bottom of its 3D bounds sits on the
// terrain under its centre; the bounds move with them, so the next build moves nothing.
void ReseatGroupOnTerrain(Objex* group) {
  const Objex* first = group->firstChild;
  if (!first || (first->type != kObjSymbolPart3D && first->type != kObjCabinet) || !OnTopographyOf(group)) return;
  const Float3DRect& b = group->bounds3D;
  const float height = GetTopoElevationAtGridPt((b.floatLeft + b.floatRight) / 2, (b.floatBack + b.floatFront) / 2);
  const float offset = b.floatBottom - height;
  if (offset == 0) return;
  for (Objex* child = group->firstChild; child; child = child->next) {
    for (Poinz* p = child->firstPoint; p; p = p->next) p->position[1] -= offset;
    child->bounds3D.floatTop -= offset;
    child->bounds3D.floatBottom -= offset;
  }
  group->bounds3D.floatTop -= offset;
  group->bounds3D.floatBottom -= offset;
}

}  // namespace

namespace {
uint64_t sSceneObjectsChanges = 0;
}  // namespace

uint64_t SceneObjectsChangeCount() { return sSceneObjectsChanges; }
void NoteSceneObjectsChanged() { ++sSceneObjectsChanges; }

namespace building3d {
void RenderAllLayers() {
  NoteServiceCall("RenderAllLayers", nullptr);
  NoteSceneObjectsChanged();
  if (!LiveViewControllerExists()) return;
  gRefreshRender = 1;
  gForceRenderObjectNow = 0;
  if (!WindowShowsScene()) return;
  RepeatLimitReport repeatLimit;  // one word for the whole rebuild
  // Objects stand on the terrain: its heights first, if they were put off while hidden.
  UpdateStaleLotElevation();
  ResetAnimatedLVStatus();
  DeleteAllRendererObjects();
  // The strip memory forgets the last strip: (1, 1, 1) is the renderer's "no colour kept".
  gPrevPlaneParentObject = nullptr;
  gPrevPlaneColor = RGBColor{1, 1, 1};
  InitializeAnimatedLVStatus();
  // Without a "First Floor" every layer is built.
  Layer* layer = GetLayerFromName(kFirstFloorName);
  if (!layer && gCurDocument) layer = gCurDocument->itsLayers;
  sBuildingWholeScene = gGLPlaneObjects == nullptr;
  for (; layer; layer = layer->next) RenderLayer(layer);
  sBuildingWholeScene = false;
  ResetAnimatedLVStatus();
}
}  // namespace building3d

void RenderLayer(Layer* layer) {
  if (!LiveViewControllerExists() || !WindowShowsScene() || !layer) return;
  if (!layer->visible || !layer->firstObject) return;
  SetLVStatusString(LocalizedString("Preparing LiveView").c_str());
  for (Objex* object = layer->firstObject; object; object = object->next) RenderEntireObject(object);
}

namespace building3d {
void RenderEntireObject(Objex* object) {
  NoteServiceCall("RenderEntireObject", object);
  NoteSceneObjectsChanged();
  if (!BuildGoesOn(false) || !object) return;
  if (!sBuildingWholeScene) DeleteRendererObject(object);
  building3d::RenderSingleObject(object);
  for (Objex* child = object->firstChild; child; child = child->next) {
    if (!sBuildingWholeScene) DeleteRendererObject(child);
    building3d::RenderEntireObject(child);
  }
}
}  // namespace building3d

namespace building3d {
void RenderSingleObject(Objex* object) {
  NoteServiceCall("RenderSingleObject", object);
  NoteSceneObjectsChanged();
  if (!LiveViewControllerExists() || !CurDocState()) return;
  gRenderDirty = 1;
  gRefreshRender = 1;
  if (!BuildGoesOn(false) || !object) return;
  RepeatLimitReport repeatLimit(object);

  if (object->type == kObjGroup) {
    ReseatGroupOnTerrain(object);
    return;
  }
  gBase2DObject = object;
  gActual3DObject = object;
  const bool framing = FramingView();
  if (framing && !BuiltInFramingView(object->type)) {
    gBase2DObject = nullptr;
    gActual3DObject = nullptr;
    return;
  }

  const int16_t type = object->type;
  if (type < kObjWall || type > kTypeGeneric170) {
    RenderObject(object);
  } else if (type == kObjWall) {
    RenderWall(object, framing);
  } else if (type == kObjFloor) {
    RenderSlab(object, kObjFloorSecondPass, framing);
  } else if (type == kObjCabinet) {
    RenderSlab(object, kObjCabinetPass, framing);
  } else if (type == kObjRoof || type == kObjRoofPanel) {
    RenderRoofLike(object);
    if (framing && type == kObjRoof) FrameRoofTrusses(object);
  } else if (type == kObjPath || type == kObjFence || type == kObjStaircase || type == kObjRailing ||
             type == kObjPhotoView) {
    RenderGeneratedParts(object);
  } else if (type == kObjEdging) {
    RenderEdging(object);
  } else if (type == kObjCutout) {
    object->type = kObjCutoutFirstPass;
    RenderObject(object);
    object->type = kObjCutout;
    RenderObject(object);
    if (SlabThicknessOf(object) > 0) RenderGeneratedParts(object);
  } else if (type == kObjDeck) {
    RenderGeneratedParts(object, framing);
    gActual3DObject = object;
    RenderObject(object);
  } else if (IsFixtureType(type)) {
    if (object->parent) object->parent->needsRender = 1;
    RenderMarkedChain(object->symbol3D);
  } else if (type == kObjTopoExcavation) {
    RenderExcavation(object);
  } else if (type == kTypeGeneric170) {
    if (object->subtype == kSubtype171) RenderObject(object);
  } else {
    RenderObject(object);
  }

  ResetSceneDisplayList();
  gBase2DObject = nullptr;
  gActual3DObject = nullptr;
}
}  // namespace building3d

void RenderObject(Objex* object) {
  if (!BuildGoesOn(true) || !object) return;
  gCurPlaneObject = nullptr;
  if (!gEnableBackgroundRendering) object->needsRender = 0;
  if (BuildsPlaneObjects(object->type) && CurDocState()) {
    // A photo view keeps its image path in the source link; no other object does.
    Objex* source = object;
    if (object->sourceObject && object->type != kObjPhotoView) source = static_cast<Objex*>(object->sourceObject);
    if (object->levels != 1)
      BuildRings(object, source);
    else
      BuildSingleRing(object, source);
    gCurPlaneObject = nullptr;
  }
  for (Objex* child = object->firstChild; child; child = child->next) RenderObject(child);
}
