// Object type conversion: which shapes each conversion accepts, the fields, point
// attributes and trim records each result type starts with, and the rebuild that follows.
#include "model/ConvertObject.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Floors2D.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/TopoGrid.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "model/WallFields.h"
#include "platform/Alerts.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr ShortPoint kFullScale{100, 100};

constexpr const char* kUndoNames[] = {
    "Convert to Interior Wall",
    "Convert to Exterior Wall",
    "Convert to Staircase",
    "Convert to Railing",
    "Convert to Floor",
    "Convert to Floor Cutout",
    "Convert to Foundation Stiffener Beam",
    "Convert to Foundation Post-Tension Strand",
    "Convert to Foundation Slope",
    "Convert to Foundation Pier",
    "Convert to Switch Connector",
    "Convert to Freehand Roof",
    "Convert to HVAC Air Duct",
    "Convert to Deck with Railing",
    "Convert to Deck without Railing",
    "Convert to Deck Stairs",
    "Convert to Deck Railing",
    "Convert to Property Line",
    "Convert to Ground Fill Region",
    "Convert to Edging",
    "Convert to Pathway/Driveway",
    "Convert to Fence",
    "Convert to Retaining Wall",
    "Convert to Entire Lot",
    "Convert to Slope Lot Section",
    "Convert to Topography",
    "Convert to Topography Excavation",
    "Convert to Open Polygon",
    "Convert to Closed Polygon",
    "Convert to Deck Cutout",
};
static_assert(sizeof kUndoNames / sizeof kUndoNames[0] == kCmdConvertToDeckCutout - kCmdConvertToInteriorWall + 1);

bool IsCurved(const Objex* object) {
  for (const Poinz* p = object->firstPoint; p; p = p->next)
    for (int i = 0; i < 3; ++i)
      if (p->inHandle[i] != 0.0f || p->outHandle[i] != 0.0f) return true;
  return false;
}

Poinz* LastPoint(const Objex* object) {
  Poinz* p = object->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

// Whole-number plan coordinate, half up; out-of-range values compare as themselves.
double RoundHalfUp(float v) { return std::trunc(static_cast<double>(v) + 0.5); }

// Whether the command accepts the object as it stands (before anything is changed).
bool Accepts(const Objex* object, int32_t command, bool curved, int32_t oldSubtype) {
  const int32_t n = object->pointCount;
  // Only the polygon conversions keep the type; every other result type would neither own
  // nor free children or type data of the old type.
  const bool keepsType = command == kCmdConvertToOpenPolygon || command == kCmdConvertToClosedPolygon;
  if (!keepsType && (object->firstChild || object->typeData || object->symbol3D ||
                     ((object->type == kObjText || object->type == kObjDynamicText) && object->extraData)))
    return false;
  switch (command) {
    case kCmdConvertToFloor: case kCmdConvertToFloorCutout: case kCmdConvertToDeckCutout:
    case kCmdConvertToFreehandRoof: case kCmdConvertToDeckWithRailing:
    case kCmdConvertToDeckWithoutRailing: case kCmdConvertToPropertyLine:
    case kCmdConvertToGroundFillRegion:
      return n >= 3;
    case kCmdConvertToFoundationBeam: case kCmdConvertToFoundationStrand:
    case kCmdConvertToFoundationSlope: case kCmdConvertToAirDuct: case kCmdConvertToEntireLot:
    case kCmdConvertToSlopeLotSection:
      return n == 2 && !curved;
    case kCmdConvertToFoundationPier:
      return object->closed && curved && n == 4 && oldSubtype == 2;
    case kCmdConvertToSwitchConnector: case kCmdConvertToPathway:
      return !object->closed;
    case kCmdConvertToFence:
      return !curved;
    case kCmdConvertToOpenPolygon:
      return object->closed;
    default:
      return true;
  }
}

// Step before every accepted case: the fields no result type keeps.
void ClearShapeFields(Objex* object) {
  object->fillPattern = 0;
  object->subtype = 0;
  if (object->type == kObjPhotoView) free(object->sourceObject);  // the only owned source
  object->sourceObject = nullptr;
  if (object->cocoaObject) ReleasePlanPath(static_cast<PlanPath*>(object->cocoaObject));
  object->cocoaObject = nullptr;
  object->extraLong = 0;
  free(object->name);
  object->name = nullptr;
}

void SetPointLook(Objex* object, int32_t textureID) {
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = textureID;
    p->color[0] = p->color[1] = kWhite;
    p->textureScale[0] = p->textureScale[1] = kFullScale;
  }
}

void RaisePoints(Objex* object, float dy) {
  for (Poinz* p = object->firstPoint; p; p = p->next) p->position[1] += dy;
}

void SetTextures(Objex* object) {
  SetTextureFaceUV(object);
  SetObjectPointLengths(object);
}

void ConvertToWall(Objex* object, int32_t command, DocState* ds, Layer* layer) {
  const bool interior = command == kCmdConvertToInteriorWall;
  const bool exterior = command == kCmdConvertToExteriorWall;
  const bool wasWall = object->type == kObjWall;
  ConvertObjectCurvesToPolygons(object);
  object->capped = 0;
  object->extraLong = 0;
  object->width = ds->wallThickness;
  object->penColor = ds->wallColor;
  object->fillColor = ds->wallFillColor;
  object->type = kObjWall;
  object->params[1] = ds->studSpacing;
  object->textureID = 1700;
  object->textureID1 = 2213;
  object->color1 = kWhite;
  object->textureScale1 = object->textureScale2 = object->textureScale3 = object->textureScale4 =
      object->textureScale = kFullScale;
  if (interior) {
    object->options[0] = 1;
    object->planMask = 2;
    object->params[2] = 0;
  } else if (exterior) {
    object->subtype = kSubExteriorWall;
    object->params[2] = 0.5f;
    object->params[3] = ds->exteriorWallSetting;
    object->options[0] = 0;
    object->planMask = strcmp(layer->name, "First Floor") == 0 ? 1 : 2;
  } else {
    object->options[0] = 1;
    object->params[2] = 0;
    object->planMask = ds->newObjectPlanMask;
  }
  const float tall = command == kCmdConvertToRetainingWall ? 36.0f : layer->height;
  // The segments' dimension sides alternate along the points from 0, as the wall tool sets them.
  int16_t side = 0;
  for (Poinz* p = object->firstPoint; p; p = p->next, side ^= 1) {
    p->textureID[0] = p->textureID[1] = 0;
    p->color[0] = p->color[1] = ds->wallColor;
    // Other objects' points only refer to trim records; a wall's own are replaced.
    if (wasWall) {
      FreeTrimRecord(p->trim1);
      FreeTrimRecord(p->trim2);
    }
    p->trim1 = NewWallSide(interior);
    p->trim2 = NewWallSide(interior);
    p->segmentLong1 = 0;
    p->segmentShort1 = 0;
    p->segmentShort2 = side;
    p->segmentElevation = ds->baseElevation;
    p->segmentFloats[0] = p->segmentFloats[3] = p->segmentFloats[4] = tall;
    p->segmentFloats[1] = p->segmentFloats[2] = 12.0f;
    p->textureScale[0] = p->textureScale[1] = kFullScale;
    p->selected = 1;
  }
  NoteDesignEdit();
  Update3DWall(object);
  Objex* wall = object;
  if ((interior || exterior) && !wall->closed) {
    // Joining may merge the wall into another record: only the result is used afterwards.
    if (Objex* joined = ConnectWallPoint(wall, wall->firstPoint)) wall = joined;
    if (!wall->closed)
      if (Objex* joined = ConnectWallPoint(wall, LastPoint(wall))) wall = joined;
  }
  ReRenderObject(wall);
}

void ConvertToStairs(Objex* object, int32_t command, bool curved, DocState* ds, Layer* layer) {
  const bool deck = command == kCmdConvertToDeckStairs;
  PreserveConvertClosedToOpen(object);
  object->subtype = curved ? kSubCurvedStair : kSubStraightStair;
  object->planMask = curved ? ds->newObjectPlanMask : (deck ? 64 : 2);
  object->type = kObjStaircase;
  object->capped = 1;
  object->penColor = object->fillColor = kWhite;
  object->textureID1 = 2206;
  object->textureID2 = deck ? 2207 : 1700;
  object->color1 = object->color2 = kWhite;
  object->textureScale1 = object->textureScale2 = kFullScale;
  object->params[0] = ds->stairParam1;
  object->params[1] = ds->stairParam2;
  object->params[2] = ds->stairParam3;
  object->params[3] = ds->stairParam4;
  object->params[4] = layer->height;
  object->extraLong = ds->stairFlag1 ? 1 : 0;
  object->plantAge = 1.0f;
  object->extraFlags = ds->stairFlag2 ? 1 : 0;
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = 0;
    p->color[0] = p->color[1] = kWhite;
    if (!deck) p->segmentFlags = 0;
  }
  UpdateStairObject(object);
  ReRenderObject(object);
}

void ConvertToRailing(Objex* object, int32_t command, bool curved, DocState* ds) {
  const bool deck = command == kCmdConvertToDeckRailing;
  PreserveConvertClosedToOpen(object);
  object->subtype = curved ? kSubCurvedRail : kSubStraightRail;
  object->planMask = curved ? ds->newObjectPlanMask : (deck ? 64 : 2);
  object->type = kObjRailing;
  object->penColor = object->fillColor = kWhite;
  object->textureID1 = 2206;
  object->textureID2 = 0;
  object->params[0] = ds->railHeight;
  object->params[1] = ds->railSetting1;
  object->extraLong = ds->railFlag2 ? 1 : 0;
  object->extraFlags = ds->railFlag3 ? 1 : 0;
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    p->segmentFlags = 32;
    p->textureID[0] = p->textureID[1] = 0;
    p->color[0] = p->color[1] = kWhite;
  }
  UpdateRailObject(object);
  ReRenderObject(object);
}

void ConvertToFloor(Objex* object, int32_t command, DocState* ds) {
  const bool deckCutout = command == kCmdConvertToDeckCutout;
  const int32_t texture = deckCutout ? 1301 : gFlooringDefaultTexture;
  object->closed = 1;
  object->type = command == kCmdConvertToFloor ? kObjFloor : kObjCutout;
  object->subtype = deckCutout ? kSubDeckCutout : 0;
  object->planMask = ds->newObjectPlanMask;
  object->penColor = object->fillColor = kWhite;
  object->textureID = 0;
  object->textureID1 = texture;
  object->textureID2 = 0;
  object->color1 = object->color2 = kWhite;
  object->textureScale1 = object->textureScale2 = kFullScale;
  object->params[2] = deckCutout ? ds->deckHeight : ds->floorThickness;
  SetTextures(object);
  SetPointLook(object, texture);
  RaisePoints(object, -1.0f);
  Update3DFloorSkirting(object);
  ReRenderObject(object);
}

void ConvertToStraightElement(Objex* object, int32_t command, DocState* ds) {
  object->planMask = ds->newObjectPlanMask;
  switch (command) {
    case kCmdConvertToEntireLot: case kCmdConvertToSlopeLotSection:
      object->type = command == kCmdConvertToEntireLot ? kObjEntireLot : kObjSlopeLotSection;
      for (Poinz* p = object->firstPoint; p; p = p->next) p->segmentFloats[0] = ds->lotSlope;
      RenderAllLayers();
      return;
    case kCmdConvertToFoundationBeam:
      object->type = kObjFoundationBeam;
      object->params[2] = ds->beamSetting2;
      object->params[3] = ds->beamSetting1;
      break;
    case kCmdConvertToFoundationStrand: object->type = kObjFoundationStrand; break;
    case kCmdConvertToFoundationSlope: object->type = kObjFoundationSlope; break;
    default:
      object->type = kObjAirDuct;
      object->params[2] = ds->airDuctSetting1;
      object->params[3] = ds->airDuctSetting2;
      break;
  }
  object->closed = 0;
}

void ConvertToRoofPanel(Objex* object, DocState* ds, Layer* layer) {
  object->closed = 1;
  ConvertObjectCurvesToPolygons(object);
  object->type = kObjRoofPanel;
  object->planMask = ds->newObjectPlanMask;
  object->width = ds->newRoofPitch();
  object->baseElevation = GetLayerAbsBaseHeight(layer) + layer->height;
  object->direction = 0;
  object->penColor = object->fillColor = kWhite;
  object->textureID = 0;
  object->textureID1 = 1255;
  object->textureID2 = 0;
  object->color1 = RGBColor{58000, 58000, 58000};
  object->color2 = RGBColor{57311, 52685, 46517};
  object->textureID3 = 0;
  object->color3 = kWhite;
  object->textureScale3 = kFullScale;
  SetTextures(object);
  object->params[0] = 270.0f;
  Update3DRoofPanel(object);
  Refresh();
  ReRenderObject(object);
}

void ConvertToDeck(Objex* object, int32_t command, DocState* ds) {
  object->closed = 1;
  object->type = kObjDeck;
  object->planMask = ds->newObjectPlanMask;
  object->penColor = object->fillColor = kWhite;
  object->textureID = 1301;
  object->textureID1 = 2300;
  object->textureID2 = 2210;
  object->color1 = object->color2 = kWhite;
  object->textureScale1 = object->textureScale2 = kFullScale;
  object->plantAge = 1.0f;
  SetTextures(object);
  object->params[0] = ds->deckHeight;
  object->params[1] = ds->deckSetting1;
  SetPointLook(object, 2300);
  const float height = -ConvertWorldToScreen(ds->deckHeight, ds, 0);
  const int32_t flags = (command == kCmdConvertToDeckWithRailing ? 33 : 0) + (ds->deckSkirting ? 4 : 0);
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    p->position[1] = height;
    p->segmentFlags = flags;
    p->segmentFloats[0] = ds->deckRailHeight;
  }
  Update3DDeck(object);
  ReRenderObject(object);
}

void ConvertToFence(Objex* object, DocState* ds) {
  PreserveConvertClosedToOpen(object);
  object->type = kObjFence;
  object->planMask = ds->newObjectPlanMask;
  object->penColor = object->fillColor = ds->fenceColor;
  object->auxFlag = 1;
  object->textureID = ds->fenceStyle;
  object->params[0] = ds->fenceParam1;
  object->params[1] = ds->fenceParam2;
  object->params[2] = ds->fenceParam3;
  object->params[3] = ds->fenceParam4;
  object->params[4] = ds->fenceParam5;
  object->textureID1 = object->textureID2 = 850;
  object->textureID3 = 2200;
  object->color1 = object->color2 = object->color3 = kWhite;
  object->textureScale1 = object->textureScale2 = object->textureScale3 = kFullScale;
  int32_t texture = gFenceDefaultTexture;
  if (ds->fenceStyle == 704) {
    char path[] = "Custom Fences/Iron Ornamental/orna3.QTX";
    texture = NewCustomTextureID(path);
  }
  SetPointLook(object, texture);
  UpdateFenceObject(object);
  ReRenderObject(object);
}

void ConvertToExcavation(Objex* object, DocState* ds) {
  object->closed = 1;
  ConvertObjectCurvesToPolygons(object);
  object->type = kObjTopoExcavation;
  object->subtype = kObjTopoExcavation;
  object->planMask = ds->newObjectPlanMask;
  object->penColor = object->fillColor = kWhite;
  object->textureID = object->textureID1 = object->textureID2 = object->textureID3 = object->textureID4 = 0;
  object->color1 = object->color2 = kWhite;
  object->params[2] = ds->excavationDepth;
  object->auxFlag = 0;
  object->baseElevation = -ds->excavationDepth;
  SetTextures(object);
  SetPointLook(object, 1115);
  RaisePoints(object, -1.0f);
  Update3DTopoCutoutDepthObject(object);
  ReRenderObject(object);
}

// Attachments anchored at `from` are anchored at `to` instead.
void MoveAnchors(Objex* object, const Poinz* from, Poinz* to) {
  for (Objex* c = object->firstChild; c; c = c->next)
    if (DoorWindowData* d = AttachmentData(c)) {
      if (d->anchorStart == from) d->anchorStart = to;
      if (d->anchorEnd == from) d->anchorEnd = to;
    }
}

void OpenPolygon(Objex* object) {
  Poinz* last = LastPoint(object);
  PreserveConvertClosedToOpen(object);
  // The closing segment now ends at the copy of the first point.
  Poinz* copy = LastPoint(object);
  if (copy != last)
    for (Objex* c = object->firstChild; c; c = c->next)
      if (DoorWindowData* d = AttachmentData(c); d && d->anchorStart == last) d->anchorEnd = copy;
}

void ClosePolygon(Objex* object) {
  object->closed = 1;
  Poinz* first = object->firstPoint;
  Poinz* last = LastPoint(object);
  // The repeated point goes, as long as the two points every object needs are left.
  if (object->pointCount > 2 && last != first && RoundHalfUp(last->position[0]) == RoundHalfUp(first->position[0]) &&
      RoundHalfUp(last->position[2]) == RoundHalfUp(first->position[2])) {
    MoveAnchors(object, last, first);
    last->prev->next = nullptr;
    last->prev = nullptr;
    if (object->type == kObjWall) DeleteWallPoint(object, last);
    else free(last);
    object->pointCount--;
  }
  object->fillPattern = 1;
}

// The conversion batch: how deep, whether its rebuilds are put off (decided by its first),
// and whether one is due at its end.
int sConversionDepth = 0;
enum class SceneRebuilds : uint8_t { kUndecided, kPutOff, kEach };
SceneRebuilds sRebuilds = SceneRebuilds::kUndecided;
bool sSceneDue = false;

// Whether rebuilding the scene moves anything of the plan by the ground under it: a group of 3D
// symbol parts or a cabinet set on the terrain is reseated on it, and edging on the terrain
// has its parts lifted onto it (building3d's RenderSingleObject).
bool PlanFollowsGround(const Objex* o) {
  for (; o; o = o->next) {
    if (o->auxFlag && o->type == kObjGroup && o->firstChild &&
        (o->firstChild->type == kObjSymbolPart3D || o->firstChild->type == kObjCabinet))
      return true;
    if (o->auxFlag && o->type == kObjEdging) return true;
    if (PlanFollowsGround(o->firstChild)) return true;
  }
  return false;
}

bool PlanFollowsGround() {
  for (const Layer* l = gCurDocument ? gCurDocument->itsLayers : nullptr; l; l = l->next)
    if (PlanFollowsGround(l->firstObject)) return true;
  return false;
}

void RebuildSceneForGround() {
  if (sConversionDepth == 0 || sRebuilds == SceneRebuilds::kEach) return RenderAllLayers();
  if (sRebuilds == SceneRebuilds::kPutOff) {
    sSceneDue = true;
    return;
  }
  const uint64_t alerts = AlertsAskedCount();
  RenderAllLayers();
  const bool quiet = AlertsAskedCount() == alerts;
  sRebuilds = quiet && !PlanFollowsGround() ? SceneRebuilds::kPutOff : SceneRebuilds::kEach;
}

// Runs an accepted conversion.
void Convert(Objex* object, int32_t command, bool curved, DocState* ds, Layer* layer) {
  const int32_t oldSubtype = object->subtype;
  const int32_t oldExtraLong = object->extraLong;
  ClearShapeFields(object);
  // A wall's points own their trim records; no other result type frees them.
  const bool toWall = command == kCmdConvertToInteriorWall || command == kCmdConvertToExteriorWall ||
                      command == kCmdConvertToRetainingWall;
  const bool keepsType = command == kCmdConvertToOpenPolygon || command == kCmdConvertToClosedPolygon;
  if (object->type == kObjWall && !toWall && !keepsType)
    for (Poinz* p = object->firstPoint; p; p = p->next) {
      FreeTrimRecord(p->trim1);
      FreeTrimRecord(p->trim2);
    }
  switch (command) {
    case kCmdConvertToInteriorWall: case kCmdConvertToExteriorWall: case kCmdConvertToRetainingWall:
      ConvertToWall(object, command, ds, layer);
      break;
    case kCmdConvertToStaircase: case kCmdConvertToDeckStairs:
      ConvertToStairs(object, command, curved, ds, layer);
      break;
    case kCmdConvertToRailing: case kCmdConvertToDeckRailing:
      ConvertToRailing(object, command, curved, ds);
      break;
    case kCmdConvertToFloor: case kCmdConvertToFloorCutout: case kCmdConvertToDeckCutout:
      ConvertToFloor(object, command, ds);
      break;
    case kCmdConvertToFoundationBeam: case kCmdConvertToFoundationStrand:
    case kCmdConvertToFoundationSlope: case kCmdConvertToAirDuct: case kCmdConvertToEntireLot:
    case kCmdConvertToSlopeLotSection:
      ConvertToStraightElement(object, command, ds);
      break;
    case kCmdConvertToFoundationPier: {
      Float3DRect box = EmptyFloat3DRect();
      GetObject3DBounds(object, 0, &box, 0);
      object->type = kObjFoundationPier;
      object->planMask = ds->newObjectPlanMask;
      object->params[0] = ConvertScreenToWorld(std::fabs(box.floatRight - box.floatLeft), ds, 0);
      break;
    }
    case kCmdConvertToSwitchConnector:
      object->type = kObjDetail;
      object->subtype = kSubSwitchConnector;
      object->planMask = ds->newObjectPlanMask;
      SmoothObject(object);
      break;
    case kCmdConvertToFreehandRoof:
      ConvertToRoofPanel(object, ds, layer);
      break;
    case kCmdConvertToDeckWithRailing: case kCmdConvertToDeckWithoutRailing:
      ConvertToDeck(object, command, ds);
      break;
    case kCmdConvertToPropertyLine:
      object->type = kObjPropertyLine;
      object->auxFlag = 1;
      object->penColor = object->fillColor = kWhite;
      object->planMask = ds->newObjectPlanMask;
      object->textureID = 1151;
      SetPointLook(object, 1150);
      RaisePoints(object, 1.0f);
      break;
    case kCmdConvertToGroundFillRegion:
      object->closed = 1;
      object->type = kObjGroundFill;
      object->planMask = ds->newObjectPlanMask;
      object->penColor = object->fillColor = MaterialTableColor(ds->fillMaterial);
      object->auxFlag = 1;
      object->textureID = ds->fillMaterial;
      SetPointLook(object, gFillDefaultTexture);
      RaisePoints(object, 2.0f);
      object->fillPattern = 0;
      SetTextures(object);
      ReRenderObject(object);
      break;
    case kCmdConvertToEdging:
      object->type = kObjEdging;
      object->planMask = ds->newObjectPlanMask;
      object->penColor = object->fillColor = ds->edgingColor;
      object->auxFlag = 1;
      SetPointLook(object, gEdgingDefaultTexture);
      object->extraFlags = curved ? 0 : 1;
      UpdateEdgingObject(object);
      ReRenderObject(object);
      break;
    case kCmdConvertToPathway:
      object->closed = 0;
      object->type = kObjPath;
      object->planMask = ds->newObjectPlanMask;
      object->width = ds->pathWidth;
      object->penColor = object->fillColor = MaterialTableColor(ds->pathMaterial);
      object->auxFlag = 1;
      object->textureID = ds->pathMaterial;
      SetPointLook(object, gPathDefaultTexture);
      object->fillPattern = 0;
      object->extraLong = 0;
      object->extraFlags = (!curved || object->pointCount == 2) ? 1 : 0;
      Update3DPath(object);
      ReRenderObject(object);
      break;
    case kCmdConvertToFence:
      ConvertToFence(object, ds);
      break;
    case kCmdConvertToTopography:
      object->closed = 1;
      object->type = kObjTopography;
      object->width = ds->topographyWidth;
      object->planMask = ds->newObjectPlanMask;
      SetLotElevation();
      RebuildSceneForGround();
      break;
    case kCmdConvertToTopographyExcavation:
      ConvertToExcavation(object, ds);
      break;
    case kCmdConvertToOpenPolygon: case kCmdConvertToClosedPolygon:
      if (command == kCmdConvertToOpenPolygon) OpenPolygon(object);
      else ClosePolygon(object);
      object->subtype = oldSubtype;
      object->extraLong = oldExtraLong;
      // A building element keeps its 3D form in step with its outline.
      if (RebuildObject(object, kRebuildBasic)) ReRenderObject(object);
      break;
    default:
      break;
  }
}

}  // namespace

ConversionBatch::ConversionBatch() { ++sConversionDepth; }

ConversionBatch::~ConversionBatch() {
  if (--sConversionDepth > 0) return;
  sRebuilds = SceneRebuilds::kUndecided;
  if (!sSceneDue) return;
  sSceneDue = false;
  WorkOutPendingLotElevation();
  RenderAllLayers();
}

const char* ConversionUndoName(int32_t command) {
  if (command < kCmdConvertToInteriorWall || command > kCmdConvertToDeckCutout) return nullptr;
  return kUndoNames[command - kCmdConvertToInteriorWall];
}

bool ConvertObjectType(Objex* object, int32_t command) {
  if (!object || !gCurDocument) return false;
  DocState* ds = gCurDocument->itsDocState;
  Layer* layer = gCurDocument->itsCurLayer;
  const char* undoName = ConversionUndoName(command);
  if (!ds || !layer || object->pointCount < 2 || !undoName) return false;
  const bool curved = IsCurved(object);
  const bool accepted = Accepts(object, command, curved, object->subtype);
  if (accepted) {
    Convert(object, command, curved, ds, layer);
    StoreUndoFromModel(undoName);
  }
  UpdateInspectorPropertiesState(true);
  Refresh();
  return accepted;
}
