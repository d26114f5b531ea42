// Wall components by tool, and fixed components dropped as grouped symbol copies.
#include "tools/Components.h"

#include <cmath>

#include "files/SymbolFile.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/ObjectTransforms.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TransformInfo.h"
#include "model/Types.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/WallAttachmentPlacement.h"

namespace {

bool IsImperial(const DocState* ds) { return ds->measureSystem == 3; }

// The light fields of fixtures and flood lights.
int32_t& LightOffOf(Objex* o) { return o->extraLong; }
int32_t& LightDimmerOf(Objex* o) { return o->extraFlags; }
float& LightGlowOffOf(Objex* o) { return o->plantAge; }

void SetLightFields(Objex* o, DocState* ds) {
  LightOffOf(o) = ds->lightOn == 0 ? 1 : 0;
  LightGlowOffOf(o) = ds->glowFlag ? 0.0f : 1.0f;  // the light tools' glow flag
  LightDimmerOf(o) = ds->lightDimmer;
  o->params[1] = static_cast<float>(ds->lightRadius);
  o->params[2] = static_cast<float>(ds->lightFalloff);
}

bool IsFixedSymbolType(int16_t type) {
  switch (type) {
    case 68: case 69: case 71: case 72: case 79: case 80: case 81: case 82: case 88: case 98: case 110:
    case 117: case 118: case 119: case 120: case 121: case 122: case 123: case 146: case 147: case 148:
    case 149: case 150: case 151: case 152:
      return true;
    default:
      return false;
  }
}

void MarkSymbolCopy(Objex* o, int32_t type, Layer* layer) {
  o->subtype = kSubFixedSymbolMember;
  o->textureID = type;
  for (Objex* c = o->firstChild; c; c = c->next) {
    c->layer = layer;
    MarkSymbolCopy(c, type, layer);
  }
}

}  // namespace

ComponentToolInfo WallComponentForTool(uint16_t tool) {
  DocState* ds = CurDocState();
  const int32_t receptacle = ds ? ds->receptacleStyle1 : 0;
  const int32_t multiWay = ds ? ds->switchStyle1 : 0;
  const int32_t dimmer = ds ? ds->switchStyle2 : 0;
  switch (tool) {
    case kToolReceptacle110: return {55, 4};
    case kToolReceptacle110Style: return {receptacle == 9 ? 66 : receptacle == 10 ? 67 : 65, 4};
    case kToolReceptacle220: return {70, 4};
    case kToolSwitch: return {73, 4};
    case kToolMultiWaySwitch: return {multiWay == 9 ? 75 : multiWay == 10 ? 76 : 74, 4};
    case kToolDimmerSwitch: return {dimmer == 9 ? 78 : 77, 4};
    case kToolFloodLight: return {83, 4};
    case kToolCableOutlet: return {84, 4};
    case kToolPhoneOutlet: return {85, 4};
    case kToolSmokeDetector: return {86, 4};
    case kToolThermostat: return {87, 4};
    case kToolHoseBib: return {99, 8};
    case kToolGasBib: return {109, 8};
    case kToolToilet: return {90, 8};
    case kToolSingleSink: return {91, 8};
    case kToolDoubleSink: return {92, 8};
    case kToolTripleSink: return {93, 8};
    case kToolOvalSink: return {94, 8};
    case kToolBathTub: return {95, 8};
    case kToolSpaTub: return {96, 8};
    case kToolShower: return {97, 8};
    case kToolBaseboardHeater: return {124, 32};
    case kToolDimensionWall: return {138, ds ? ds->newObjectPlanMask : 0};
    case kToolWallBreak: return {kSubWallBreak, 0};
    default: return {55, 4};
  }
}

FixedComponentInfo FixedComponentForTool(uint16_t tool) {
  DocState* ds = CurDocState();
  if (!ds) return {68, 4, 0};
  const bool imperial = IsImperial(ds);
  const Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  const float ceiling = (layer ? layer->height : 0) - 0.5f;
  const float floorOffset = imperial ? 1.0f : 0.7874015748f;
  const float equipment = imperial ? 0.5f : 0.0f;
  const float floorReceptacle = imperial ? 1.0f : 0.9842519685f;
  const int32_t style = ds->receptacleStyle2;
  switch (tool) {
    case kToolFloorCeilingReceptacle110:
      return style == 9 ? FixedComponentInfo{69, 4, ceiling} : FixedComponentInfo{68, 4, floorReceptacle};
    case kToolFloorCeilingReceptacle220:
      return style == 9 ? FixedComponentInfo{72, 4, ceiling} : FixedComponentInfo{71, 4, floorReceptacle};
    case kToolFixtureLight: {
      const int32_t light = ds->lightType;
      // Only the fixture light types have a light symbol of their own.
      const bool own = (light >= 80 && light <= 82) || (light >= 146 && light <= 152);
      const int32_t type = own ? light : 79;
      float added = ceiling;
      switch (type) {
        case 146: added = equipment; break;
        case 147: case 149: case 150: added = 0; break;
        case 148: added = ceiling - (imperial ? 3.0f : 3.1496062992f); break;
        case 152: added = ceiling / 2; break;
        default: break;
      }
      return {type, 4, added};
    }
    case kToolCeilingFan: return {88, 4, ceiling};
    case kToolFloorDrain: return {110, 8, 1};
    case kToolWaterHeater: return {98, 8, 0.5f};
    case kToolFloorRegister: return {118, 32, floorOffset};
    case kToolCeilingRegister: return {119, 32, ceiling};
    case kToolAirReturn: return {120, 32, ceiling};
    case kToolFurnace: return {121, 32, equipment};
    case kToolAirConditioner: return {122, 32, equipment};
    case kToolHeatPump: return {123, 32, equipment};
    default: return {68, 4, floorOffset};
  }
}

Objex* TrackComponent(float x, float y, float z, int16_t phase, uint16_t tool) {
  const ComponentToolInfo info = WallComponentForTool(tool);
  Objex* made = TrackWallAttachment(x, y, z, phase, info.kind);
  if (!made) return nullptr;
  made->planMask = info.planMask;
  if (tool == kToolFloodLight)
    if (DocState* ds = CurDocState()) SetLightFields(made, ds);
  return made;
}

Objex* Place2DSymbol(float x, float z, int32_t symbolType) {
  if (!gCurDocument || !gCurDocument->itsCurLayer) return nullptr;
  Layer* layer = gCurDocument->itsCurLayer;
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  Objex* entry = FindSymbolEntry(gSymbol2DList, static_cast<int16_t>(symbolType));
  int copies = 0;
  if (entry) {
    for (Objex* part = entry->firstChild; part; part = part->next) {
      Objex* copy = DuplicateObject(part, nullptr, nullptr, FloatPoint{x, z}, 0, kCmdDuplicate);
      if (!copy) continue;
      copy->layer = layer;
      copy->parent = nullptr;
      MarkSymbolCopy(copy, symbolType, layer);
      AppendObjectToLayer(copy, layer);
      DoSelectObject(copy, kSelectOn);
      ++copies;
    }
  }
  gGroupLeader = nullptr;
  if (copies > 0) {
    // The group command on the selected copies (its leader becomes gGroupLeader).
    gObjectCount = 0;
    TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdCountObjects, CommandArg::None());
    if (gObjectCount > 0) TopLevelObjectAllLayers(gCurDocument->itsLayers, kCmdGroup, CommandArg::None());
  }
  Objex* group = gGroupLeader;
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  Refresh();
  return group;
}

namespace tools {
void Attach3DSymbol(Objex* object, int32_t symbolType, float offsetX, float offsetZ) {
  if (!CurDocState() || !object) return;
  Objex* entry = FindSymbolEntry(gSymbol3DList, static_cast<int16_t>(symbolType));
  if (!entry) return;
  for (Objex* part = entry->firstChild; part; part = part->next) {
    Objex* copy = DuplicateObject(part, nullptr, nullptr, FloatPoint{offsetX, offsetZ}, 0, kCmdDuplicate);
    if (!copy) continue;
    copy->parent = nullptr;
    copy->layer = object->layer;
    Append3DSymbolToParent(copy, object);
    copy->type = kObjAttachedSymbolPart;
    DoSelectObject(copy, kSelectOff);
  }
}
}  // namespace tools

void TrackComponentFixed(float x, float, float z, int16_t phase, uint16_t tool) {
  if (phase != kTrackEnd) return;
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsCurLayer) return;
  const FixedComponentInfo info = FixedComponentForTool(tool);
  const float elevation = ds->baseElevation + info.elevation;
  Objex* group = Place2DSymbol(x, z, info.symbolType);
  gGroupLeader = nullptr;
  if (!group) return;
  group->planMask = info.planMask;
  group->textureID = info.symbolType;
  group->baseElevation = elevation;
  if (tool == kToolFixtureLight) {
    SetLightFields(group, ds);
    if (info.symbolType >= 150 && info.symbolType <= 152) group->options[1] = 1;  // casts shadows
    for (Objex* member = group->firstChild; member; member = member->next) {
      SetLightFields(member, ds);
      member->textureID = ds->lightAmbient ? 1 : 0;
    }
  }
  if (Objex* first = group->firstChild) {
    Attach3DSymbol(first, info.symbolType, x, z);
    RenderEntireObject(first);
  }
}

namespace tools {
void UpdateFixedComponent(Objex* object) {
  // Without a design there is nothing to rebuild from: the 3D parts stay as they are.
  if (!object || !IsFixedSymbolType(object->type) || !gCurDocument || !CurDocState()) return;
  DeleteRendererObject(object);
  for (Objex* part = object->symbol3D; part;) {
    Objex* next = part->next;
    part->prev = part->next = nullptr;
    DeleteObj(part);
    part = next;
  }
  object->symbol3D = nullptr;
  // Centred on the component: the group its tool made of the symbol's copies (the object alone
  // when it has none), not a group that group was put in since, whose middle lies elsewhere.
  // Measured afresh: a command on the outer group brings only that group's stored box up to date.
  Objex* component = object->parent && object->parent->type == kObjGroup ? object->parent : object;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(component, 0, &box, 0);
  const float cx = (box.floatLeft + box.floatRight) / 2;
  const float cz = (box.floatBack + box.floatFront) / 2;
  tools::Attach3DSymbol(object, object->type, cx, cz);
  TransformInfo turn{};
  turn.scale[0] = turn.scale[1] = turn.scale[2] = 1;
  turn.angle = object->params[0] * 3.14159265358979f / 180.0f;
  turn.centre[0] = cx;
  turn.centre[2] = cz;
  // Turned in the plan, whatever the document's working plane is.
  DocState* ds = CurDocState();
  const int16_t plane = ds ? ds->viewPlane : 0;
  if (ds) ds->viewPlane = 2;
  for (Objex* part = object->symbol3D; part; part = part->next) RotatePlanObject(part, &turn);
  if (ds) ds->viewPlane = plane;
  ReRenderObject(object);
}
}  // namespace tools

void UpdateFixedComponentLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (o->type == kObjGroup && o->firstChild && o->firstChild->symbol3D) UpdateFixedComponent(o->firstChild);
}

void UpdateFixedComponentAllLayers(Layer* firstLayer) {
  for (Layer* layer = firstLayer; layer; layer = layer->next) UpdateFixedComponentLayer(layer);
}

void Attach3DSymbol(Objex* object, int32_t symbolType, const FloatPoint& offset) {
  tools::Attach3DSymbol(object, symbolType, offset.floatH, offset.floatV);
}
