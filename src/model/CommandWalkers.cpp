// The command walkers and the command rows they apply: each row names the codes it
// serves and what it does to one object; further commands are added as rows.
#include "model/CommandWalkers.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <optional>

#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CabinetState.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DimensionRecords.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/ExtrudeFlip.h"
#include "model/Floors2D.h"
#include "model/Grid.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/ObjectTransforms.h"
#include "model/ParallelObjects.h"
#include "model/Plants.h"
#include "model/TopoGrid.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/SelectionState.h"
#include "model/TextureFace.h"
#include "model/TransformGuard.h"
#include "model/TransformInfo.h"

int32_t gObjectCount = 0;
uint8_t gOverload = 0;
uint8_t gCommandHappened = 0;
float gBaseElevation = 0;
uint8_t gTopoFloatNA = 0;
uint8_t gSymbarObjectDrop = 0;

namespace {

bool IsFixtureKind(int16_t type) {
  switch (type) {
    case 68: case 69: case 71: case 72: case 79: case 80: case 81: case 82: case 88: case 98:
    case 110: case 117: case 118: case 119: case 120: case 121: case 122: case 123: case 146:
    case 147: case 148: case 149: case 150: case 151: case 152:
      return true;
    default:
      return false;
  }
}

bool IsRoofType(int16_t type) { return type == kObjRoof || type == kObjRoofPanel; }

// Attachments that hang on their parent's segments and move with it.
bool IsAttachedKind(int16_t type) {
  return type == kObjDoor || type == kObjWindow || type == kObjDeckSteps || type == kObjComponent ||
         type == kObjRoofSlopeArrow || type == kObjAccessory;
}

// What a row did to the object.
enum RowResult : uint8_t { kRowDone = 0, kRowBounds = 1, kRowDeleted = 2 };

using SelectedRow = uint8_t (*)(Objex* obj, int32_t cmd, const CommandArg& arg);
using TopLevelRow = uint8_t (*)(Objex* obj, int32_t cmd, const CommandArg& arg);

struct SelectedCommand {
  int32_t first, last;  // the codes the row serves
  SelectedRow apply;
};
struct TopLevelCommand {
  int32_t first, last;
  TopLevelRow apply;
};

// ---- Rows of SelectedObject ----

bool IsDeletableAttachment(int16_t type) {
  switch (type) {
    case kObjDoor: case kObjWindow: case kObjDeckSteps: case kObjComponent: case kObjAccessory:
    case kObjSkylight: case kObjDormerCutout:
      return true;
    default:
      return false;
  }
}

uint8_t CutOrDeleteAttachment(Objex* obj, int32_t cmd, const CommandArg&) {
  if (!IsDeletableAttachment(obj->type) || !IsObjectSelected(obj) || IsObjectLocked(obj)) return kRowDone;
  Objex* parent = obj->parent;
  if (cmd == kCmdDelete) DeleteObjItem(obj);
  else DeleteObj(obj);
  if (parent) {
    if (parent->type == kObjDeck) Update3DDeck(parent);
    if (cmd == kCmdDelete && parent->type == kObjWall) Update3DWall(parent);
    ReRenderObject(parent);
  }
  gRefreshRender = 1;
  return kRowDeleted;
}

// A tree of at most kMaxGroupsToGroup groups holds groups at most one level fewer down; the
// group made around it holds them one level more.
static_assert(kMaxGroupsToGroup <= kMaxGroupNesting, "Plan > Group would build trees the readers cut");

uint8_t CountGroups(Objex* obj, int32_t, const CommandArg&) {
  if (!gOverload && obj->type == kObjGroup && ++gObjectCount > kMaxGroupsToGroup) gOverload = 1;
  return kRowDone;
}

uint8_t Nudge(Objex* obj, int32_t cmd, const CommandArg& arg) {
  DocState* ds = arg.docState;
  if (IsAttachedKind(obj->type) || !ds) return kRowDone;
  const float distance = NudgeDistance(ds, cmd);
  const int16_t direction = cmd == kCmdNudgeUp ? 0 : cmd == kCmdNudgeDown ? 2 : cmd == kCmdNudgeLeft ? 1 : 3;
  NudgeObject(obj, distance, direction);
  UpdateObjectBounds(obj);
  SetTextureFaceUV(obj);
  SetObjectPointLengths(obj);
  RebuildObject(obj, kRebuildLot | kRebuildExcavation);
  ReRenderObject(obj);
  return kRowBounds;
}

uint8_t SmoothOrUnsmooth(Objex* obj, int32_t cmd, const CommandArg&) {
  if (cmd == kCmdSmoothObject) SmoothObject(obj);
  else UnsmoothObject(obj);
  return kRowBounds;
}

uint8_t SmoothingOrStraightening(Objex* obj, int32_t cmd, const CommandArg&) {
  if (cmd == kCmdObjectSmoothing) ObjectSmoothing(obj);
  else ObjectStraightening(obj);
  if (obj->type == kObjStaircase) UpdateStairObject(obj);
  else if (obj->type == kObjRailing) UpdateRailObject(obj);
  else if (obj->type == kObjEdging) UpdateEdgingObject(obj);
  return kRowBounds;
}

uint8_t SmoothSelectedPoints(Objex* obj, int32_t cmd, const CommandArg&) {
  const DocState* ds = CurDocState();
  if (cmd == kCmdSmoothObjects) {
    if (!ds) return kRowDone;
    if (ds->curveTension == 0) UnsmoothSelectedObject(obj);
    else SmoothSelectedObject(obj);
    // Smoothing makes a railing a curved one, whatever the tension.
    if (obj->type == kObjRailing) obj->subtype = kSubCurvedRail;
  } else {
    UnsmoothSelectedObject(obj);
  }
  switch (obj->type) {
    case kObjRailing: UpdateRailObject(obj); break;
    case kObjPath: Update3DPath(obj); break;
    case kObjEdging: UpdateEdgingObject(obj); break;
    case kObjFloor: case kObjCutout: Update3DFloorSkirting(obj); break;
    case kObjDeck: Update3DDeck(obj); break;
    case kObjTopoExcavation: Update3DTopoCutoutDepthObject(obj); break;
    default: break;
  }
  ReRenderObject(obj);
  return kRowBounds;
}

uint8_t Translate(Objex* obj, int32_t, const CommandArg& arg) {
  if (IsAttachedKind(obj->type) || !arg.transform) return kRowDone;
  TranslateObject(obj, arg.transform);
  RebuildObject(obj, kRebuildLot | kRebuildExcavation);
  if (!gSymbarObjectDrop) ReRenderObject(obj);
  return kRowDone;
}

uint8_t Select(Objex* obj, int32_t, const CommandArg&) {
  SelectObj(obj, kSelectOn, 1);
  return kRowDone;
}

uint8_t FoldSelectionState(Objex* obj, int32_t cmd, const CommandArg& arg) {
  DocState* ds = arg.docState;
  if (!ds) return kRowDone;
  if (cmd == kCmdUpdateSelectionState) {
    SelectionState ss = ds->selectionState;
    UpdateSelectionState(ds, &ss, obj);
    ds->selectionState = ss;
  } else {
    SelectionState40 ss40 = ds->selectionState40;
    UpdateSelectionState40(&ss40, obj);
    ds->selectionState40 = ss40;
  }
  return kRowDone;
}

bool IsDimensionType(int16_t type) { return type >= 100 && type <= 107; }

// Whether the caller handed the command any argument at all.
bool HasArgument(const CommandArg& arg) {
  return arg.docState || arg.transform || arg.font || arg.drag || arg.value != 0;
}

float WrapDegrees(float degrees) {
  if (degrees < 0) return degrees + 360.0f;
  if (degrees > 360) return degrees - 360.0f;
  return degrees;
}

// Centre of the root object's stored 3D box in the plan (x, z).
void RootBoxCentre(Objex* obj, float* cx, float* cz) {
  const Objex* root = GetRootObject(obj);
  *cx = (root->bounds3D.floatLeft + root->bounds3D.floatRight) * 0.5f;
  *cz = (root->bounds3D.floatBack + root->bounds3D.floatFront) * 0.5f;
}

void TranslatePlanBy(Objex* obj, float dx, float dz) {
  TransformInfo t{};
  t.delta[0] = dx;
  t.delta[2] = dz;
  TranslatePlanObject(obj, &t);
}

uint8_t SetDimensionTextFont(Objex* obj, int32_t, const CommandArg& arg) {
  if (!arg.font) return kRowDone;
  DimensionTextData* text = nullptr;
  if (obj->type == kObjDimensionInfo) {
    text = static_cast<DimensionTextData*>(obj->typeData);
  } else if (obj->type == 102 && obj->typeData) {
    Objex* box = static_cast<DimensionInfoData*>(obj->typeData)->textBox;
    if (box && box->type == kObjDimensionInfo) text = static_cast<DimensionTextData*>(box->typeData);
  }
  if (text) text->font = *arg.font;
  return kRowBounds;
}

uint8_t SnapToGrid(Objex* obj, int32_t, const CommandArg&) {
  switch (obj->type) {
    case kObjDoor: case kObjWindow: case kObjDeckSteps: case kObjComponent: case kObjAccessory:
      return kRowDone;
    default:
      break;
  }
  const DocState* ds = CurDocState();
  if (!ds) return kRowDone;
  for (Poinz* p = obj->firstPoint; p; p = p->next)
    Snap3DPointToGrid(ds, &p->position[0], &p->position[1], &p->position[2]);
  RebuildObject(obj, kRebuildBasic);
  ReRenderObject(obj);
  return kRowBounds;
}

void SetColour(Objex* o, int32_t cmd, const RGBColor& c) {
  if (!o) return;
  if (cmd == kCmdApplyPenColor) o->penColor = c;
  else o->fillColor = c;
}

uint8_t ApplyColour(Objex* obj, int32_t cmd, const CommandArg& arg) {
  const DocState* ds = arg.docState;
  if (!ds || !IsObjectSelected(obj)) return kRowDone;
  const RGBColor c = cmd == kCmdApplyPenColor ? ds->newPenColor : ds->newFillColor;
  SetColour(obj, cmd, c);
  // 3D faces link to these fields and are not rebuilt: the renderer's lists check them anew.
  ResetSceneDisplayList();
  if (obj->type == kObjWall) {
    SetColour(static_cast<Objex*>(obj->typeData), cmd, c);     // its outline object
    SetColour(static_cast<Objex*>(obj->sourceObject), cmd, c);  // the object drawn in its place
  } else if (obj->type == kObjDoor || obj->type == kObjWindow || obj->type == kObjDeckSteps) {
    if (DoorWindowData* d = AttachmentData(obj))
      for (Objex* f = d->faces; f; f = f->next) SetColour(f, cmd, c);
  }
  return kRowDone;
}

void UpdateParentWall(Objex* obj) {
  if (!obj->parent) return;
  UpdateAllWallAttachments(obj->parent);
  ReRenderObject(obj->parent);
}

// A door's swing is mirrored (a garage door only swaps sides); components and accessories swap
// sides. False when there was nothing to flip.
bool FlipAttachment(Objex* obj) {
  DoorWindowData* d = AttachmentData(obj);
  if (!d) return false;
  if (obj->type == kObjDoor && d->subtype != kDoorGarage) {
    const float degrees = d->auxFloat1 * -57.29578f;
    d->auxFloat1 = degrees * 0.017453292f;
    d->flipVertical = ((degrees > -360 && degrees < -180) || (degrees >= 0 && degrees <= 180)) ? 4 : 0;
  } else {
    d->flipHorizontal = d->flipHorizontal ? 0 : 1;
  }
  UpdateParentWall(obj);
  return true;
}

uint8_t Flip(Objex* obj, int32_t cmd, const CommandArg&) {
  const bool horizontal = cmd == kCmdFlipHorizontal;
  switch (obj->type) {
    case kObjDoor: case kObjComponent: case kObjAccessory:
      if (FlipAttachment(obj)) gCommandHappened = 1;
      return kRowDone;
    case kObjWindow: case kObjDeckSteps: case kObjRoofSlopeArrow: case 170:
      return kRowDone;
    default:
      break;
  }
  if (IsFixtureKind(obj->type) && obj->type != kObjAirDuct) {
    float cx, cz;
    RootBoxCentre(obj, &cx, &cz);
    if (horizontal) TranslatePlanBy(obj, 2 * (gFlipCenterX - cx), 0);
    else TranslatePlanBy(obj, 0, 2 * (gFlipCenterY - cz));
    ReRenderObject(obj);
  } else {
    FlipObject(obj, horizontal ? 1 : 0);
    RebuildObject(obj, kRebuildLot | kRebuildExcavation | kRebuildNoRoofRefresh);
    ReRenderObject(obj);
  }
  gCommandHappened = 1;
  return kRowDone;
}

uint8_t ApplyDetailLineStyle(Objex* obj, int32_t, const CommandArg& arg) {
  const DocState* ds = arg.docState ? arg.docState : CurDocState();
  if (!ds || obj->type != kObjDetail || obj->subtype < 1 || obj->subtype > 9) return kRowDone;
  if (IsObjectSymbolEditorObject(obj) || IsObjectSectionDetailObject(obj)) return kRowDone;
  obj->penStyle = ds->newPenStyle;
  return kRowDone;
}

uint8_t LineWeight(Objex* obj, int32_t, const CommandArg&) {
  SetLineWeight(obj);
  return kRowDone;
}

// The arrow bits (0-6) of the flag word that opens a dimension's type data.
uint8_t DimensionArrowStyle(Objex* obj, int32_t cmd, const CommandArg&) {
  if (obj->type >= 100 && obj->type <= 108) DimensionArrowFlag(obj, cmd);
  return kRowDone;
}

uint8_t SegmentTexture(Objex* obj, int32_t cmd, const CommandArg& arg) {
  const int side = cmd == kCmdSetSegmentTexture1 ? 0 : 1;
  for (Poinz* p = obj->firstPoint; p; p = p->next) p->textureID[side] = arg.value;
  return kRowDone;
}

uint8_t TextureCoordinates(Objex* obj, int32_t cmd, const CommandArg&) {
  if (cmd == kCmdSetTextureFaceUV) SetTextureFaceUV(obj);
  else SetObjectPointLengths(obj);
  return kRowDone;
}

uint8_t Plant(Objex* obj, int32_t cmd, const CommandArg& arg) {
  if (obj->type != kObjPlant) return kRowDone;
  if (cmd == kCmdSetPlantingAge) {
    obj->fillPattern = static_cast<int16_t>(arg.value);
  } else if (cmd == kCmdPlantBounds) {
    obj->plantAge += static_cast<float>(arg.value);
    if (obj->plantAge < 1.0f) obj->plantAge = 1.0f;
  }
  float width = 0, height = 0;
  GetPlantBounds(obj, &width, &height, 1);
  return kRowDone;
}

uint8_t MovePlan(Objex* obj, int32_t, const CommandArg& arg) {
  if (IsAttachedKind(obj->type) || !arg.transform) return kRowDone;
  TranslatePlanObject(obj, arg.transform);
  RebuildObject(obj, kRebuildLot | kRebuildExcavation);
  ReRenderObject(obj);
  return kRowDone;
}

// Objects that turn by moving their centre only.
bool TurnsByCentre(const Objex* obj, bool dimensionBoxesToo) {
  return obj->type == kObjDynamicText || obj->type == kObjText || obj->type == kObjPlant || obj->type == 200 ||
         (dimensionBoxesToo && obj->type == kObjDimensionInfo);
}

// The 3D-box centre turned about (ox, oz); the displacement goes into the record's delta.
void MoveCentre(Objex* obj, TransformInfo* xform, float ox, float oz) {
  const float cx = (obj->bounds3D.floatLeft + obj->bounds3D.floatRight) * 0.5f;
  const float cz = (obj->bounds3D.floatBack + obj->bounds3D.floatFront) * 0.5f;
  float x = cx, z = cz;
  Rotate(&x, &z, ox, oz, xform->angle);
  xform->delta[0] = x - cx;
  xform->delta[1] = 0;
  xform->delta[2] = z - cz;
}

// After a turn: rebuild, and carry the angle into fixtures, cabinets and marked groups.
void AfterTurn(Objex* obj, float angle, bool skylightRow) {
  RebuildObject(obj, kRebuildLot | kRebuildExcavation);
  const float degrees = angle * 57.29578f;
  if (IsFixtureKind(obj->type)) obj->params[0] += degrees;  // fixtures are not wrapped
  if (skylightRow && obj->type == kObjSkylight && obj->parent) UpdateAllRoofAttachments(obj->parent);
  if (obj->type == kObjGroup) {
    if (obj->subtype == kSubCabinet && obj->typeData) {
      auto* cabinet = static_cast<CabinetState*>(obj->typeData);
      cabinet->angle = WrapDegrees(cabinet->angle + degrees);
    } else if (obj->groupMarker) {
      obj->params[4] = WrapDegrees(obj->params[4] + degrees);
    }
  }
  ReRenderObject(obj);
}

uint8_t RotatePlan(Objex* obj, int32_t, const CommandArg& arg) {
  if (IsAttachedKind(obj->type) || obj->type == 102 || !arg.transform) return kRowDone;
  if (TurnsByCentre(obj, true)) {
    MoveCentre(obj, arg.transform, 0, 0);
    TranslatePlanObject(obj, arg.transform);
  } else {
    RotatePlanObject(obj, arg.transform);
  }
  AfterTurn(obj, arg.transform->angle, true);
  return kRowDone;
}

uint8_t FlipPlan(Objex* obj, int32_t cmd, const CommandArg&) {
  switch (obj->type) {
    case kObjDoor: case kObjComponent:
      FlipAttachment(obj);
      return kRowDone;
    case kObjWindow: case kObjDeckSteps: case kObjRoofSlopeArrow: case kObjAccessory:
      return kRowDone;
    default:
      break;
  }
  if (IsFixtureKind(obj->type)) {
    float cx, cz;
    RootBoxCentre(obj, &cx, &cz);
    if (cmd == kCmdFlipPlanHorizontal) TranslatePlanBy(obj, -2 * cx, 0);
    else TranslatePlanBy(obj, 0, -2 * cz);
    ReRenderObject(obj);
    return kRowDone;
  }
  FlipPlanObject(obj, cmd);
  RebuildObject(obj, kRebuildLot | kRebuildExcavation);
  ReRenderObject(obj);
  return kRowDone;
}

uint8_t ScaleRow(Objex* obj, int32_t, const CommandArg& arg) {
  if (!arg.transform || obj->subtype == 89) return kRowDone;
  switch (obj->type) {
    case kObjDoor: case kObjWindow: case kObjPlant: case kObjDeckSteps: case kObjComponent:
    case kObjRoofSlopeArrow: case kObjFoundationPier: case kObjSprinkler: case kObjDynamicText:
    case kObjAccessory:
      return kRowDone;
    default:
      break;
  }
  const Objex* root = GetRootObject(obj);
  if (root->type == kObjGroup && root->groupMarker) return kRowDone;
  ScaleObject(obj, arg.transform);
  if (obj->type == kObjText) {
    AdjustEnhancedTextObjectSize(obj);
    return kRowDone;
  }
  RebuildObject(obj, kRebuildBasic);
  ReRenderObject(obj);
  return kRowDone;
}

uint8_t ShearRow(Objex* obj, int32_t, const CommandArg& arg) {
  if (obj->type == kObjPlant || !arg.transform) return kRowDone;
  if (obj->type != 200 && obj->type != kObjDimensionInfo) {
    ShearObject(obj, arg.transform);
    return kRowDone;
  }
  // Annotation boxes keep their shape: only their centre follows the shear.
  const DocState* ds = CurDocState();
  int a = 0, b = 2;
  if (ds) WorkingPlaneAxes(ds->viewPlane, &a, &b);
  const TransformInfo* t = arg.transform;
  const float cx = (obj->bounds.floatLeft + obj->bounds.floatRight) * 0.5f;
  const float cy = (obj->bounds.floatTop + obj->bounds.floatBottom) * 0.5f;
  float x = cx, y = cy;
  Shear(t->shearFrom[a], t->shearFrom[b], t->shearTo[a], t->shearTo[b], &x, &y, t->centre[a], t->centre[b]);
  TransformInfo move{};
  move.delta[a] = x - cx;
  move.delta[b] = y - cy;
  TranslateObject(obj, &move);
  return kRowDone;
}

uint8_t RotateRow(Objex* obj, int32_t, const CommandArg& arg) {
  if (IsAttachedKind(obj->type) || obj->type == kObjDimensionInfo || !arg.transform) return kRowDone;
  if (obj->type == kObjStaircase) SelectObj(obj, kSelectOn, 1);
  if (TurnsByCentre(obj, false)) {
    MoveCentre(obj, arg.transform, arg.transform->centre[0], arg.transform->centre[2]);
    TranslateObject(obj, arg.transform);
    if (obj->type == kObjPlant) {
      float width = 0, height = 0;
      GetPlantBounds(obj, &width, &height, 1);
    }
  } else {
    RotateObject(obj, arg.transform);
  }
  AfterTurn(obj, arg.transform->angle, false);
  return kRowDone;
}

uint8_t Extrude(Objex* obj, int32_t, const CommandArg& arg) {
  const DocState* ds = arg.docState;
  if (!ds) return kRowDone;
  // The extrude depth is a tool default, a world length like the others.
  ExtrudeObject(obj, ConvertWorldToScreen(static_cast<float>(ds->setting17), ds, 0));
  return kRowDone;
}

uint8_t Revolve(Objex* obj, int32_t, const CommandArg& arg) {
  if (arg.drag) RevolveObject(obj, arg.drag);
  return kRowDone;
}

uint8_t Pattern(Objex* obj, int32_t, const CommandArg& arg) {
  ChangePattern(obj, static_cast<int16_t>(arg.value));
  return kRowDone;
}

uint8_t DimensionFont(Objex* obj, int32_t cmd, const CommandArg& arg) {
  if (obj->type != kObjDimensionInfo || !obj->typeData) return kRowBounds;
  auto* text = static_cast<DimensionTextData*>(obj->typeData);
  const auto value = static_cast<int16_t>(arg.value);
  if (cmd == kCmdSetDimensionFontNumber) text->fontNumber = value;
  else if (cmd == kCmdSetDimensionFontSize) text->fontSize = value;
  else text->fontStyle = static_cast<uint8_t>(arg.value);
  return kRowBounds;
}

const SelectedCommand kSelectedCommands[] = {
    {kCmdCutObjects, kCmdCutObjects, CutOrDeleteAttachment},
    {kCmdSetDimensionTextFont, kCmdSetDimensionTextFont, SetDimensionTextFont},
    {kCmdCountGroups, kCmdCountGroups, CountGroups},
    {kCmdSnapPointsToGrid, kCmdSnapPointsToGrid, SnapToGrid},
    {kCmdApplyPenColor, kCmdApplyPenColor, ApplyColour},
    {kCmdFlipHorizontal, kCmdFlipVertical, Flip},
    {kCmdNudgeUp, kCmdNudgeRight, Nudge},
    {kCmdSmoothObject, kCmdSmoothObject, SmoothOrUnsmooth},
    {kCmdUnsmoothObject, kCmdUnsmoothObject, SmoothOrUnsmooth},
    {kCmdApplyDetailLineStyle, kCmdApplyDetailLineStyle, ApplyDetailLineStyle},
    {kCmdSetLineWeight, kCmdSetLineWeight, LineWeight},
    {kArrowStyleSolid, kArrowStyleOpenDot, DimensionArrowStyle},
    {kCmdApplyFillColor, kCmdApplyFillColor, ApplyColour},
    {kCmdDelete, kCmdDelete, CutOrDeleteAttachment},
    {kCmdSetSegmentTexture1, kCmdSetSegmentTexture2, SegmentTexture},
    {kCmdSetTextureFaceUV, kCmdSetPointLengths, TextureCoordinates},
    {kCmdObjectSmoothing, kCmdObjectStraightening, SmoothingOrStraightening},
    {kCmdPlantGrowth, kCmdPlantGrowth, Plant},
    {kCmdSetPlantingAge, kCmdSetPlantingAge, Plant},
    {kCmdPlantBounds, kCmdPlantBounds, Plant},
    {kCmdMovePlan, kCmdMovePlan, MovePlan},
    {kCmdRotatePlan, kCmdRotatePlan, RotatePlan},
    {kCmdFlipPlanHorizontal, kCmdFlipPlanVertical, FlipPlan},
    {kCmdSmoothObjects, kCmdUnsmoothObjects, SmoothSelectedPoints},
    {kCmdTranslateObjects, kCmdTranslateObjects, Translate},
    {kCmdScaleObjects, kCmdScaleObjects, ScaleRow},
    {kCmdShearObjects, kCmdShearObjects, ShearRow},
    {kCmdRotateObjects, kCmdRotateObjects, RotateRow},
    {kCmdExtrudeObjects, kCmdExtrudeObjects, Extrude},
    {kCmdRevolveObjects, kCmdRevolveObjects, Revolve},
    {kCmdChangePattern, kCmdChangePattern, Pattern},
    {kCmdSelectObject, kCmdSelectObject, Select},
    {kCmdSetDimensionFontNumber, kCmdSetDimensionFontStyle, DimensionFont},
    {kCmdUpdateSelectionState, kCmdUpdateSelectionState40, FoldSelectionState},
};

// ---- Rows of TopLevelObject ----

uint8_t CutOrDeleteWhole(Objex* obj, int32_t cmd, const CommandArg&) {
  if (IsObjectLocked(obj)) return kRowDone;
  if (cmd == kCmdDelete) DeleteObjItem(obj);
  else DeleteObj(obj);
  gRefreshRender = 1;
  return kRowDeleted;
}

uint8_t CountObjects(Objex*, int32_t, const CommandArg&) {
  ++gObjectCount;
  return kRowDone;
}

// Returns the last copy made (the object the tail looks at), or the object itself.
Objex* DuplicateRow(Objex* obj, int32_t cmd, const CommandArg& arg) {
  if (obj->type == kObjDimensionInfo || IsDimensionType(obj->type)) return obj;
  FloatPoint offset{0, 0};
  int32_t count = 1;
  if (cmd == kCmdDuplicate) {
    DocState* ds = arg.docState;
    if (!ds) return obj;
    offset = FloatPoint{ConvertWorldToScreen(ds->gateToolOffset.floatH, ds, 0),
                        ConvertWorldToScreen(ds->gateToolOffset.floatV, ds, 0)};
    count = ds->setting1;
  }
  Objex* source = obj;
  for (int32_t i = 0; i < count; ++i) {
    Objex* copy = DuplicateObject(source, nullptr, nullptr, offset, 1, cmd);
    if (!copy) break;
    RebuildObject(copy, kRebuildBasic);
    ReRenderObject(copy);
    if (cmd != kCmdDuplicate) SelectObj(copy, kSelectOff, 0);
    source = copy;
  }
  return source;
}

uint8_t Group(Objex* obj, int32_t, const CommandArg&) {
  // A tree the readers could not keep whole is never built: such a group stays out.
  if (!MayBeGrouped(obj)) return kRowDone;
  if (!gGroupLeader) {
    RGBColor pen{65535, 65535, 65535}, fill{0, 0, 0};
    FloatRect zero{};
    Objex* leader = CreateObject(kObjGroup, 0, 0, &pen, &fill, 0, 6, 0, &zero, nullptr, nullptr, nullptr,
                                 obj->layer, nullptr);
    if (!leader) return kRowDone;
    if (const DocState* ds = CurDocState()) leader->planMask = ds->newObjectPlanMask;
    // The group stands in its floor's list where its first member stood: its members are drawn
    // among the floor's other objects where they were drawn alone (a wall's band under the
    // roof's labels).
    if (!obj->parent && obj->layer && obj->layer == leader->layer) InsertObjectBefore(leader, obj);
    else AppendObjectToLayer(leader, obj->layer);
    gGroupLeader = leader;
  }
  GroupObject(obj);
  return kRowDone;
}

uint8_t Ungroup(Objex* obj, int32_t, const CommandArg&) {
  if (obj->type != kObjGroup) return kRowDone;
  UngroupObject(obj);
  return kRowDeleted;  // the group record is gone
}

uint8_t BringToFrontOrSendToBack(Objex* obj, int32_t cmd, const CommandArg&) {
  Layer* current = gCurDocument->itsCurLayer;
  if (!current) return kRowDone;
  UnlinkObject(obj);
  if (cmd == kCmdBringToFront) {
    AppendObjectToLayer(obj, current);
  } else {
    obj->prev = nullptr;
    obj->next = current->firstObject;
    if (current->firstObject) current->firstObject->prev = obj;
    current->firstObject = obj;
    obj->layer = current;
  }
  Move2DSubObjects(obj, current);  // its children follow it onto the layer
  SelectObj(obj, kSelectOff, 0);
  Refresh();
  return kRowDone;
}

// While a walk sends the selection to another floor, the tool is reset and the inspector
// brought up to date once, when the outermost walk ends, rather than after each object.
static int sFloorWalkDepth = 0;
static bool sFloorStepsDue = false;

// Every member of a group, at any depth, drawn again in 3D (a group's own 3D reaches none of
// them), after its generated parts are built again by its kind when `rebuild` is set.
void RenderGroupMembers(Objex* group, bool rebuild) {
  for (Objex* c = group->firstChild; c; c = c->next) {
    if (c->type == kObjGroup) {
      ReRenderObject(c);  // a group of parts seats them on the terrain
      RenderGroupMembers(c, rebuild);
      continue;
    }
    if (rebuild) RebuildObject(c, kRebuildExcavation | kRebuildNoRoofRefresh);
    ReRenderObject(c);
  }
}

void MoveToFloorSteps(Objex* obj, int32_t cmd) {
  MoveToNeighboringFloor(obj, cmd);
  // A group's members are built for the floor they now stand on, as opening the design builds
  // them (a copy's members have no parts built yet).
  if (Objex* root = GetRootObject(obj); root->type == kObjGroup) RenderGroupMembers(root, true);
  ReRenderObject(obj);
  if (sFloorWalkDepth > 0) {
    sFloorStepsDue = true;
    return;
  }
  ResetStandardTool(1);
  UpdateInspectorPropertiesState(true);
}

uint8_t MoveToFloor(Objex* obj, int32_t cmd, const CommandArg&) {
  MoveToFloorSteps(obj, cmd);
  return kRowDone;
}

// Returns the copy that went to the other floor, or null when no copy could be made (the
// source then stays where it is).
Objex* CopyToFloor(Objex* obj, int32_t cmd) {
  Objex* copy = DuplicateObject(obj, nullptr, nullptr, FloatPoint{0, 0}, 1, kCmdDuplicate);
  if (!copy) return nullptr;
  RebuildObject(copy, kRebuildBasic);
  if (copy->type == kObjGroup && copy->subtype == kSubCabinet)
    for (Objex* c = copy->firstChild; c; c = c->next)
      if (c->type == kObjCabinet) Update3DFloorSkirting(c);
  ReRenderObject(copy);
  SelectObj(obj, kSelectOff, 0);
  SelectObj(copy, kSelectOn, 0);
  MoveToFloorSteps(copy, cmd);
  return copy;
}

bool IsWallAttachment(int16_t type) {
  return type == kObjDoor || type == kObjWindow || type == kObjComponent || type == kObjAccessory;
}

// Heights are world inches of floats: an elevation within a thousandth of an inch of the
// ground is the ground's, and so is one the readouts show as the ground's (the ground's
// elevation typed as the sheet showed it, rounded to the readout's precision).
constexpr float kAtTheGround = 1e-3f;

bool SameAsTheGround(float elevation, float ground) {
  if (std::fabs(elevation - ground) <= kAtTheGround) return true;
  char a[kReadoutTextSize] = {}, b[kReadoutTextSize] = {};
  ConvertInchesToStr(elevation, a);
  ConvertInchesToStr(ground, b);
  return a[0] != 0 && std::strcmp(a, b) == 0;
}

bool AtTheGround(const Objex* o, float elevation) { return SameAsTheGround(elevation, GroundUnder(o)); }

// The kinds the tools lay on the ground: property lines, paths, edging, fences, fills and
// plants. Brought to the ground by an elevation, they stand on the terrain again.
bool LaidOnTheGround(int16_t type) { return type >= kObjPropertyLine && type <= kObjPlant; }

// An object on the terrain set off it, standing at the ground under it.
void TakeOffTheTerrain(Objex* o) {
  o->baseElevation = GroundUnder(o);
  o->auxFlag = 0;
  // Edging blocks are seated on the terrain where they are drawn: built again, they stand as
  // a design opened builds them.
  if (o->type == kObjEdging) RebuildObject(o, kRebuildBasic);
}

// Before an ordinary group's change: its members on the terrain, at any depth of ordinary
// groups, stand at the ground under them off the terrain, so that the change takes each from
// where it stands, as it takes it alone.
void TakeMembersOffTheTerrain(Objex* group) {
  if (group->type != kObjGroup || group->subtype != 0) return;
  for (Objex* c = group->firstChild; c; c = c->next) {
    if (c->auxFlag && (c->type == kObjGroup || KeepsOwnElevation(c->type))) TakeOffTheTerrain(c);
    if (c->type == kObjGroup) TakeMembersOffTheTerrain(c);
  }
}

// After an ordinary group's change: the members laid on the ground that it brought to the
// ground stand on the terrain.
void PutMembersBackOnTheTerrain(Objex* group) {
  if (group->type != kObjGroup || group->subtype != 0) return;
  for (Objex* c = group->firstChild; c; c = c->next) {
    if (c->type == kObjGroup) PutMembersBackOnTheTerrain(c);
    else if (!c->auxFlag && LaidOnTheGround(c->type) && AtTheGround(c, c->baseElevation)) c->auxFlag = 1;
  }
}

}  // namespace

bool StandsOnTheTerrain(const Objex* root) {
  if (!root) return false;
  if (root->auxFlag) return true;
  if (root->type != kObjGroup || root->subtype != 0 || !root->firstChild) return false;
  // The parts of a symbol stand where their group's own flag and base elevation put them.
  for (const Objex* c = root->firstChild; c; c = c->next)
    if (IsPlacedByItsGroup(c->type) || !StandsOnTheTerrain(c)) return false;
  return true;
}

float ShownElevation(const Objex* root) {
  if (!root) return 0;
  return StandsOnTheTerrain(root) ? GroundUnder(root) : root->baseElevation;
}

bool SetElevation(Objex* root, float e) {
  if (!root) return false;
  const bool onTerrain = StandsOnTheTerrain(root);
  const float before = ShownElevation(root);
  const float dy = e - before;
  if (onTerrain && SameAsTheGround(e, before)) return false;
  if (root->auxFlag) TakeOffTheTerrain(root);
  root->baseElevation = e;
  if (dy == 0 || !std::isfinite(dy)) return true;
  if (root->type == kObjGroup) {
    // Members move by the group's change, so that the old elevation typed back puts each
    // where it stood.
    TakeMembersOffTheTerrain(root);
    ElevateGroupMembers(root, dy);
    PutMembersBackOnTheTerrain(root);
  } else if (LaidOnTheGround(root->type) && AtTheGround(root, e)) {
    root->auxFlag = 1;
  }
  return true;
}

namespace {

uint8_t Elevate(Objex* obj, int32_t cmd, const CommandArg&) {
  const bool add = cmd == kCmdPlaceDroppedObjects;
  const float e = gBaseElevation * 12.0f;
  auto apply = [add](float& field, float value) { field = add ? field + value : value; };
  Objex* root = GetRootObject(obj);
  if (root->type == kObjWall) {
    const DocState* ds = CurDocState();
    if (!ds) return kRowDone;
    if (IsEntireObjectSelected(root)) apply(root->baseElevation, e);
    for (Poinz* p = root->firstPoint; p; p = p->next) {
      const Poinz* q = p->next ? p->next : (root->closed ? root->firstPoint : nullptr);
      if (q && p->selected && q->selected) apply(p->segmentElevation, e);
    }
    WallBaseFromSegments(root);
    bool moved = false;
    for (Objex* c = root->firstChild; c; c = c->next) {
      DoorWindowData* d = AttachmentData(c);
      if (!d || !IsWallAttachment(c->type) || !IsEntireObjectSelected(c)) continue;
      if (!d->anchorStart || !d->anchorEnd || (d->anchorStart->selected && d->anchorEnd->selected)) continue;
      apply(d->elevation, ConvertWorldToScreen(e, ds, 0));
      moved = true;
    }
    if (moved) {
      Update3DWall(root);
      UpdateAllWallAttachments(root);
    }
  } else if (IsRoofType(root->type)) {
    if (IsRoofObjectSelected(root)) apply(root->baseElevation, e);
  } else if (add) {
    // Placed at the working elevation as the tools place new objects there: raised by it, and
    // what stands on the terrain stays on it, with its members as they stand.
    root->baseElevation += e;
    if (root->type == kObjGroup && e != 0 && std::isfinite(e)) ElevateGroupMembers(root, e);
  } else if (!SetElevation(root, e)) {
    return kRowDone;  // it stands there already
  }
  if (root->type == kObjWall || IsRoofType(root->type)) root->auxFlag = 0;
  if (root->type == kObjGroup) {
    root->needsRender = 1;
    RenderGroupMembers(root, false);
  } else {
    ReRenderObject(root);
  }
  return kRowDone;
}

// Whether Float Above Topography leaves the object off the terrain: the kinds that never follow
// it, cabinets and fixed symbols.
bool StaysOffTheTerrain(const Objex* obj) {
  if (obj->type != kObjGroup) return NeverFollowsTerrain(obj->type);
  return obj->subtype == kSubCabinet ||
         (obj->textureID >= INT16_MIN && obj->textureID <= INT16_MAX && IsFixtureKind(static_cast<int16_t>(obj->textureID)));
}

// The members of an ordinary group that stand where their own terrain flag puts them (at any
// depth of ordinary groups) go onto the terrain with it, those that may follow it.
void FloatGroupMembersAboveTopography(Objex* group) {
  if (group->type != kObjGroup || group->subtype != 0) return;
  for (Objex* c = group->firstChild; c; c = c->next) {
    if (StaysOffTheTerrain(c) || (c->type != kObjGroup && !KeepsOwnElevation(c->type))) continue;
    c->auxFlag = 1;
    if (c->type == kObjGroup) FloatGroupMembersAboveTopography(c);
    else ReRenderObject(c);
  }
}

uint8_t FloatAboveTopography(Objex* obj, int32_t, const CommandArg&) {
  if (StaysOffTheTerrain(obj)) {
    gTopoFloatNA = 1;
    obj->auxFlag = 0;
  } else {
    obj->auxFlag = 1;
    FloatGroupMembersAboveTopography(obj);
    ReRenderObject(obj);
  }
  return kRowDone;
}

uint8_t MoveToPlan(Objex* obj, int32_t cmd, const CommandArg&) {
  obj->planMask = cmd == kCmdMoveToDetailPlan ? 256 : 1 << (cmd - kCmdMoveToFoundationPlan);
  return kRowDone;
}

const TopLevelCommand kTopLevelCommands[] = {
    {kCmdCutObjects, kCmdCutObjects, CutOrDeleteWhole},
    {kCmdCountObjects, kCmdCountObjects, CountObjects},
    {kCmdGroup, kCmdGroup, Group},
    {kCmdUngroup, kCmdUngroup, Ungroup},
    {kCmdBringToFront, kCmdSendToBack, BringToFrontOrSendToBack},
    {kCmdMoveToUpperFloor, kCmdMoveToLowerFloor, MoveToFloor},
    {kCmdDelete, kCmdDelete, CutOrDeleteWhole},
    {kCmdElevateObjects, kCmdElevateObjects, Elevate},
    {kCmdFloatAboveTopography, kCmdFloatAboveTopography, FloatAboveTopography},
    {kCmdMoveToFoundationPlan, kCmdMoveToLandscapePlan, MoveToPlan},
    {kCmdMoveToDetailPlan, kCmdMoveToDetailPlan, MoveToPlan},
    {kCmdPlaceDroppedObjects, kCmdPlaceDroppedObjects, Elevate},
    {kCmdUpdateSelectionState40, kCmdUpdateSelectionState40, FoldSelectionState},
};

template <typename Row, size_t N>
const Row* FindRow(const Row (&rows)[N], int32_t cmd) {
  for (const Row& r : rows)
    if (cmd >= r.first && cmd <= r.last) return &r;
  return nullptr;
}

void UpdateGroupAfterCommand(Objex* obj) {
  if (!obj || obj->type != kObjGroup) return;
  UpdateObjectRootBounds(obj, 0, 0);
  Objex* first = obj->firstChild;
  if (first && IsFixtureKind(first->type) && first->symbol3D) UpdateFixedComponent(first);
}

// Whether the layer walk applies the command to this object.
bool Qualifies(Objex* obj, int32_t cmd) {
  switch (cmd) {
    case kCmdPlaceDroppedObjects:
    case kCmdUpdateSelectionState40:
    case kCmdElevateObjects:
      return IsAnyObjectSelected(obj);
    case kCmdTranslateObjects:
    case kCmdRotateObjects:
    case kCmdFlipHorizontal:
    case kCmdFlipVertical:
    case kCmdNudgeUp:
    case kCmdNudgeDown:
    case kCmdNudgeLeft:
    case kCmdNudgeRight:
      return IsObjectSelected(obj) || (IsRoofType(obj->type) && IsAnyRoofAttachmentSelected(obj));
    case kCmdSelectObject:
      if (IsRoofType(obj->type) && !IsObjectSelected(obj)) {
        SelectEntireRoofAttachments(obj);
        return false;
      }
      return IsObjectSelected(obj);
    default:
      return IsObjectSelected(obj);
  }
}

// Applies the command to the object and its subtree; true when the object was deleted.
bool ApplySelected(Objex* obj, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg) {
  uint8_t result = kRowDone;
  if (const SelectedCommand* row = FindRow(kSelectedCommands, cmd)) result = row->apply(obj, cmd, arg);
  if (result & kRowDeleted) return true;
  if (result & kRowBounds) UpdateObjectBounds(obj);
  if (obj->type == kObjGroup && obj->subtype == 170 && (cmd == kCmdFlipHorizontal || cmd == kCmdFlipVertical))
    return false;
  if (IsRoofType(obj->type)) {
    switch (cmd) {
      case kCmdFlipHorizontal: case kCmdFlipVertical: case kCmdNudgeUp: case kCmdNudgeDown:
      case kCmdNudgeLeft: case kCmdNudgeRight: case 5361: case 5362: case 5363: case 5364:
      case kCmdTranslateObjects: case kCmdRotateObjects:
        return false;  // the roof operation moved its attachments itself
      default:
        break;
    }
  }
  for (Objex* c = obj->firstChild; c;) {
    Objex* next = c->next;
    ApplySelected(c, selectedOnly, cmd, arg);
    c = next;
  }
  if (IsRoofType(obj->type)) UpdateAllRoofAttachments(obj);
  return false;
}

}  // namespace

bool RebuildObject(Objex* obj, uint8_t rows) {
  if (!obj) return false;
  switch (obj->type) {
    case kObjWall:
      Update3DWall(obj);
      UpdateAllWallAttachments(obj);
      return true;
    case kObjFloor: case kObjCutout: case kObjCabinet:
      Update3DFloorSkirting(obj);
      return true;
    case kObjRoof:
      Update3DRoof(obj);
      if (!(rows & kRebuildNoRoofRefresh)) Refresh();
      return true;
    case kObjPath: Update3DPath(obj); return true;
    case kObjEdging: UpdateEdgingObject(obj); return true;
    case kObjFence: UpdateFenceObject(obj); return true;
    case kObjStaircase: UpdateStairObject(obj); return true;
    case kObjRailing: UpdateRailObject(obj); return true;
    case kObjDeck: Update3DDeck(obj); return true;
    case kObjRoofPanel: Update3DRoofPanel(obj); return true;
    case kObjPhotoView: Update3DPhoto(obj); return true;
    case kObjTopography: case kObjEntireLot: case kObjSlopeLotSection:
      if (!(rows & kRebuildLot)) return false;
      SetLotElevation();
      return true;
    case kObjTopoExcavation:
      if (!(rows & kRebuildExcavation)) return false;
      Update3DTopoCutoutDepthObject(obj);
      return true;
    default:
      return false;
  }
}

namespace {

// Whether a guarded command reaches only points it can move to: every object the walk would
// visit on the layer is checked before anything changes.
bool LayerFits(Layer* layer, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg) {
  if (!layer || !layer->visible) return true;
  for (Objex* obj = layer->firstObject; obj; obj = obj->next)
    if ((!selectedOnly || Qualifies(obj, cmd)) && !ObjectFitsAfterTransform(obj, cmd, arg)) return false;
  return true;
}

// The check before a guarded command: false (with the alert) refuses the command whole.
bool CommandFits(Layer* firstLayer, bool allLayers, Objex* onlyObject, uint8_t selectedOnly, int32_t cmd,
                 const CommandArg& arg) {
  if (!IsGuardedTransformCommand(cmd)) return true;
  bool fits = TransformArgumentsFinite(cmd, arg);
  if (fits && onlyObject) fits = ObjectFitsAfterTransform(onlyObject, cmd, arg);
  for (Layer* l = firstLayer; fits && !onlyObject && l; l = allLayers ? l->next : nullptr)
    fits = LayerFits(l, selectedOnly, cmd, arg);
  if (!fits) AlertRefusedTransform(cmd);
  return fits;
}

void WalkLayer(Layer* layer, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg) {
  if (!layer || !layer->visible) return;
  for (Objex* obj = layer->firstObject; obj;) {
    Objex* next = obj->next;
    if (!selectedOnly || Qualifies(obj, cmd)) {
      if (cmd == kCmdCountGroups) gObjectCount = 0;
      const bool deleted = ApplySelected(obj, selectedOnly, cmd, arg);
      if (!deleted && cmd != kCmdCountGroups) UpdateGroupAfterCommand(obj);
    }
    obj = next;
  }
}

}  // namespace

namespace {
// Each wall a command rebuilds refits its attachments: the floor's attached dimensions are
// measured once, against the walls as the whole command leaves them. Likewise the ground's
// heights, however many ground objects the command moves or deletes.
struct CommandUpkeep {
  WallDimensionRefreshBatch dimensions;
  LotElevationBatch heights;
};
}  // namespace

bool SelectedObject(Objex* obj, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg) {
  if (!obj) return false;
  if (!CommandFits(nullptr, false, obj, selectedOnly, cmd, arg)) return false;
  LotElevationBatch heights;  // as in CommandUpkeep
  ApplySelected(obj, selectedOnly, cmd, arg);
  return true;
}

bool SelectedObjectLayer(Layer* layer, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg) {
  if (!CommandFits(layer, false, nullptr, selectedOnly, cmd, arg)) return false;
  CommandUpkeep upkeep;
  WalkLayer(layer, selectedOnly, cmd, arg);
  return true;
}

bool SelectedObjectAllLayers(Layer* firstLayer, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg) {
  if (!CommandFits(firstLayer, true, nullptr, selectedOnly, cmd, arg)) return false;
  CommandUpkeep upkeep;
  for (Layer* l = firstLayer; l;) {
    Layer* next = l->next;
    WalkLayer(l, selectedOnly, cmd, arg);
    l = next;
  }
  return true;
}

bool SelectedKnownObjects(KnownSelection* known, int32_t cmd, const CommandArg& arg) {
  if (!known) return false;
  auto shown = [](const KnownSelection::Top& t) { return t.object && t.layer && t.layer->visible; };
  if (IsGuardedTransformCommand(cmd)) {
    bool fits = TransformArgumentsFinite(cmd, arg);
    for (const KnownSelection::Top& t : known->tops)
      if (fits && shown(t) && Qualifies(t.object, cmd)) fits = ObjectFitsAfterTransform(t.object, cmd, arg);
    if (!fits) {
      AlertRefusedTransform(cmd);
      return false;
    }
  }
  CommandUpkeep upkeep;
  for (size_t i = 0; i < known->tops.size();) {
    const KnownSelection::Top t = known->tops[i];
    if (shown(t) && Qualifies(t.object, cmd)) {
      if (cmd == kCmdCountGroups) gObjectCount = 0;
      if (ApplySelected(t.object, 1, cmd, arg)) {
        known->tops.erase(known->tops.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      if (cmd != kCmdCountGroups) UpdateGroupAfterCommand(t.object);
    }
    ++i;
  }
  return true;
}

bool SelectedTopLevelObject(Objex* root, uint8_t selectedOnly, int32_t cmd, const CommandArg& arg) {
  if (!root || !root->layer || !root->layer->visible) return true;
  const bool qualifies = !selectedOnly || Qualifies(root, cmd);
  if (IsGuardedTransformCommand(cmd)) {
    const bool fits = TransformArgumentsFinite(cmd, arg) && (!qualifies || ObjectFitsAfterTransform(root, cmd, arg));
    if (!fits) {
      AlertRefusedTransform(cmd);
      return false;
    }
  }
  CommandUpkeep upkeep;
  if (qualifies) {
    if (cmd == kCmdCountGroups) gObjectCount = 0;
    const bool deleted = ApplySelected(root, selectedOnly, cmd, arg);
    if (!deleted && cmd != kCmdCountGroups) UpdateGroupAfterCommand(root);
  }
  return true;
}

namespace {

// While a walk groups the selection, the leader's bounds are measured once, when the
// outermost walk ends, rather than over all its members again after each one joins.
int sGroupWalkDepth = 0;
bool sLeaderBoundsDue = false;

class GroupWalk {
 public:
  explicit GroupWalk(int32_t cmd) : active_(cmd == kCmdGroup) {
    if (active_) ++sGroupWalkDepth;
  }
  ~GroupWalk() {
    if (!active_ || --sGroupWalkDepth > 0 || !sLeaderBoundsDue) return;
    sLeaderBoundsDue = false;
    UpdateGroupAfterCommand(gGroupLeader);
  }
  GroupWalk(const GroupWalk&) = delete;
  GroupWalk& operator=(const GroupWalk&) = delete;

 private:
  bool active_;
};

// A walk moving or copying the selection to another floor: the tool and the inspector follow
// once, when it ends. A move also leaves the current floor's attached dimensions to be
// measured once, at its end (as in SelectedObjectLayer): the walls leave the floor and none
// of theirs is measured on it. A copy's walls are still measured one by one, each against the
// floor it was made on, with itself there: each copy is appended to the current floor and
// leaves it again, and nothing else there changes, so each measurement looks only at what the
// copy on its way through can have changed.
class FloorWalk {
 public:
  explicit FloorWalk(int32_t cmd)
      : active_(cmd == kCmdMoveToUpperFloor || cmd == kCmdMoveToLowerFloor || cmd == kCmdCopyToUpperFloor ||
                cmd == kCmdCopyToLowerFloor) {
    if (!active_) return;
    ++sFloorWalkDepth;
    if (cmd == kCmdMoveToUpperFloor || cmd == kCmdMoveToLowerFloor) dimensions_.emplace();
    else if (sFloorWalkDepth == 1 && gCurDocument && gCurDocument->itsCurLayer)
      copies_.emplace(gCurDocument->itsCurLayer);
  }
  ~FloorWalk() {
    if (!active_) return;
    dimensions_.reset();
    copies_.reset();
    if (--sFloorWalkDepth > 0 || !sFloorStepsDue) return;
    sFloorStepsDue = false;
    ResetStandardTool(1);
    UpdateInspectorPropertiesState(true);
  }
  FloorWalk(const FloorWalk&) = delete;
  FloorWalk& operator=(const FloorWalk&) = delete;

 private:
  bool active_;
  std::optional<WallDimensionRefreshBatch> dimensions_;
  std::optional<AppendedWallDimensionRefresh> copies_;
};

}  // namespace

void TopLevelObject(Objex* obj, int32_t cmd, const CommandArg& arg) {
  if (!obj || !gCurDocument) return;
  Objex* last = obj;
  switch (cmd) {
    case kCmdDuplicate: case kCmdMirrorHorizontal: case kCmdMirrorVertical:
      // Every copy command needs its argument (the mirrors read none of it but still want one).
      if (cmd == kCmdDuplicate ? arg.docState != nullptr : HasArgument(arg)) last = DuplicateRow(obj, cmd, arg);
      break;
    case kCmdCopyToUpperFloor: case kCmdCopyToLowerFloor:
      last = CopyToFloor(obj, cmd);
      if (!last) return;
      break;
    default:
      if (const TopLevelCommand* row = FindRow(kTopLevelCommands, cmd))
        if (row->apply(obj, cmd, arg) & kRowDeleted) return;
      break;
  }
  switch (cmd) {
    case kCmdDuplicate: case kCmdMirrorHorizontal: case kCmdMirrorVertical:
    case kCmdMoveToUpperFloor: case kCmdMoveToLowerFloor: case kCmdCopyToUpperFloor:
    case kCmdCopyToLowerFloor:
      UpdateGroupAfterCommand(last);
      break;
    case kCmdGroup:
      UpdateGroupAfterCommand(obj);
      if (obj->parent && obj->parent == gGroupLeader) {
        if (sGroupWalkDepth > 0) sLeaderBoundsDue = true;
        else UpdateGroupAfterCommand(gGroupLeader);
      }
      break;
    default:
      break;
  }
}

namespace {
// The walks that read the ground under every object they visit and add or remove none.
bool ReadsTheGroundOfEach(int32_t cmd) { return cmd == kCmdUpdateSelectionState40 || cmd == kCmdElevateObjects; }
}  // namespace

void TopLevelObjectLayer(Layer* layer, int32_t cmd, const CommandArg& arg) {
  if (!layer || !layer->visible) return;
  GroupWalk group(cmd);
  FloorWalk floors(cmd);
  LotElevationBatch heights;  // as in CommandUpkeep
  std::optional<GroundInUseBatch> ground;
  if (ReadsTheGroundOfEach(cmd)) ground.emplace();
  for (Objex* obj = layer->firstObject; obj;) {
    Objex* next = obj->next;
    const bool any = cmd == kCmdPlaceDroppedObjects || cmd == kCmdUpdateSelectionState40 ||
                     cmd == kCmdElevateObjects;
    if (any ? IsAnyObjectSelected(obj) : IsObjectSelected(obj)) TopLevelObject(obj, cmd, arg);
    obj = next;
  }
}

void TopLevelObjectAllLayers(Layer* firstLayer, int32_t cmd, const CommandArg& arg) {
  GroupWalk group(cmd);
  FloorWalk floors(cmd);
  LotElevationBatch heights;  // as in CommandUpkeep
  std::optional<GroundInUseBatch> ground;
  if (ReadsTheGroundOfEach(cmd)) ground.emplace();
  for (Layer* l = firstLayer; l;) {
    Layer* next = l->next;
    TopLevelObjectLayer(l, cmd, arg);
    l = next;
  }
}
