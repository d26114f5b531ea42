// The landscape and deck palettes' object tools and the gate tool.
#include "tools/SiteTools.h"

#include <cstdlib>
#include <cstring>

#include "building3d/Edging3D.h"
#include "building3d/RenderRoad.h"
#include "building3d/SiteFences3D.h"
#include "building3d/Walls3D.h"
#include "model/CustomTextures.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/TopoGrid.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/StairFields.h"
#include "model/TextureFace.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "tools/DoorWindowTools.h"
#include "tools/PolygonEntry.h"
#include "tools/ShapeTools.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

uint8_t gEdgingStyleFlag = 1;

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr ShortPoint kFullScale{100, 100};
constexpr int32_t kLandscapePlanMask = 1 << kPlanLandscape;  // 128
constexpr int32_t kDeckPlanMask = 1 << kPlanDeck;            // 64
constexpr int32_t kPropertyLineTexture = 1151, kPropertyLinePointTexture = 1150;
constexpr int32_t kGroundFillPointTexture = 1115;
constexpr int32_t kFenceSlotTexture = 850, kFenceGateSlotTexture = 2200;
constexpr int32_t kDeckTexture = 1301, kDeckSlot1Texture = 2300, kDeckSlot2Texture = 2210;
constexpr const char* kCustomFenceTexturePath = "Custom Fences/Iron Ornamental/orna3.QTX";

// Every point: both sides get the texture, white and full scale; heights drop by `lower`.
void DressPoints(Objex* o, int32_t texture, float lower) {
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = texture;
    p->color[0] = p->color[1] = kWhite;
    p->textureScale[0] = p->textureScale[1] = kFullScale;
    p->position[1] += lower;
  }
}

int32_t CountPoints(const Objex* o) {
  int32_t n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

// An outline that may not stay: off its layer and freed, the plan redrawn.
void Remove(Objex* o) {
  UnlinkObject(o);
  DeleteObj(o);
  Refresh();
}

void Alert(const char* message, const char* informative) {
  ShowAlert(LocalizedString(message), LocalizedString(informative), true);
}

}  // namespace

Objex* TrackFill(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  Objex* o = TrackOval(winX, winY, x, y, z, stage);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjFill;
  o->planMask = kLandscapePlanMask;
  o->penColor = o->fillColor = MaterialTableColor(ds->fillMaterial);
  o->textureID = ds->fillMaterial;
  OnTopographyOf(o) = 1;
  o->fillPattern = 0;
  DressPoints(o, gFillDefaultTexture, 3.0f);
  RenderSingleObject(o);
  return o;
}

Objex* TrackPropertyLine(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  if (!CurDocState()) return nullptr;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 1, 1, kObjPropertyLine);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjPropertyLine;
  o->planMask = kLandscapePlanMask;
  o->penColor = o->fillColor = kWhite;
  o->textureID = kPropertyLineTexture;
  OnTopographyOf(o) = 1;
  DressPoints(o, kPropertyLinePointTexture, 1.0f);
  SetObjectPointLengths(o);
  // A line of two corners or fewer bounds nothing.
  if (CountPoints(o) <= 2) {
    Remove(o);
    return nullptr;
  }
  return o;
}

Objex* TrackGroundFill(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 1, 1, kObjGroundFill);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjGroundFill;
  o->planMask = kLandscapePlanMask;
  o->penColor = o->fillColor = MaterialTableColor(ds->fillMaterial);
  o->textureID = ds->fillMaterial;
  OnTopographyOf(o) = 1;
  o->fillPattern = 0;
  DressPoints(o, kGroundFillPointTexture, 2.0f);
  SetTextureFaceUV(o);
  SetObjectPointLengths(o);
  if (CountPoints(o) < 3) {
    Remove(o);
    return nullptr;
  }
  RenderSingleObject(o);
  return o;
}

Objex* TrackEdging(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, gEdgingStyleFlag ? 0 : 1, 0, 1, kObjOpenPoly);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjEdging;
  o->planMask = kLandscapePlanMask;
  o->penColor = o->fillColor = ds->edgingColor;
  OnTopographyOf(o) = 1;
  StraightPathOf(o) = gEdgingStyleFlag;
  DressPoints(o, gEdgingDefaultTexture, 0.0f);
  UpdateEdgingObject(o);
  RenderSingleObject(o);
  return o;
}

Objex* TrackFence(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 0, 1, kObjOpenPoly);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjFence;
  o->planMask = kLandscapePlanMask;
  o->penColor = o->fillColor = ds->fenceColor;
  OnTopographyOf(o) = 1;
  o->textureID = ds->fenceStyle;
  FenceSpanLengthOf(o) = FenceSpanLengthOf(ds);
  FenceSpanHeightOf(o) = FenceSpanHeightOf(ds);
  FencePostHeightOf(o) = FencePostHeightOf(ds);
  FencePostWidthOf(o) = FencePostWidthOf(ds);
  FenceGateHeightOf(o) = FenceGateHeightOf(ds);
  o->textureID1 = o->textureID2 = kFenceSlotTexture;
  o->textureID3 = kFenceGateSlotTexture;
  o->textureScale1 = o->textureScale2 = o->textureScale3 = kFullScale;
  o->color1 = o->color2 = o->color3 = kWhite;
  int32_t texture = gFenceDefaultTexture;
  if (ds->fenceStyle == kFenceStyleCustom) {
    char path[512];
    std::strncpy(path, kCustomFenceTexturePath, sizeof(path) - 1);
    path[sizeof(path) - 1] = '\0';
    texture = NewCustomTextureID(path);
  }
  DressPoints(o, texture, 0.0f);
  UpdateFenceObject(o);
  RenderSingleObject(o);
  return o;
}

Objex* TrackTopo(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  const uint8_t curved = gCurTool == kToolCurvedTopography ? 1 : 0;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, curved, 1, 1, kObjTopography);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjTopography;
  o->planMask = kLandscapePlanMask;
  o->width = TopoElevationOf(ds);
  SetLotElevation();
  RenderSingleObject(o);
  Refresh();
  return o;
}

Objex* TrackDeck(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 1, 1, kObjDeck);
  if (!o || stage != kTrackEnd) return nullptr;
  o->type = kObjDeck;
  o->planMask = kDeckPlanMask;
  o->penColor = o->fillColor = kWhite;
  o->color1 = o->color2 = kWhite;
  o->textureID = kDeckTexture;
  o->textureID1 = kDeckSlot1Texture;
  o->textureID2 = kDeckSlot2Texture;
  o->textureScale1 = o->textureScale2 = kFullScale;
  ClosedStepsOf(o) = ds->deckOpenSteps ? 0.0f : 1.0f;
  SetTextureFaceUV(o);
  SetObjectPointLengths(o);
  LeftRailOf(o) |= 1;
  DeckHeightOf(o) = ds->deckHeight;
  DeckSpindleSpacingOf(o) = DeckSpindleSpacingOf(ds);
  int32_t flags = gCurTool == kToolDeckWithRailing ? kDeckSegmentRailing | kDeckSegmentPost : 0;
  if (ds->deckSkirting) flags |= kDeckSegmentSkirtingToGround;
  const float height = -ConvertWorldToScreen(ds->deckHeight, ds, 0);
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = kDeckSlot1Texture;
    p->color[0] = p->color[1] = kWhite;
    p->textureScale[0] = p->textureScale[1] = kFullScale;
    p->position[1] = height;
    p->segmentFlags = flags;
    RailingHeightOf(p) = DeckRailingHeightOf(ds);
  }
  Update3DDeck(o);
  RenderSingleObject(o);
  return o;
}

bool SupportTrackGate(int32_t, int32_t, float, int16_t stage, ClickInfo* click, uint16_t, float gateWidth) {
  if (stage != kTrackBegin || !click) return false;
  DocState* ds = CurDocState();
  if (!ds || !(gateWidth > 0)) return false;
  Objex* fence = click->hitObject;
  if (!click->hitMode || !fence || fence->type != kObjFence || !click->segmentHit || !click->hitPoint ||
      !click->segmentEnd) {
    if (GetCurrentView() == kCmdViewTop)
      Alert("Fence section not found.",
            "To place a gate, click on a fence section of sufficient length and then drag to position the gate.");
    return false;
  }
  // A press on a fence section takes the gate colour, whether or not a gate fits there.
  fence->fillColor = ds->gateColor;
  if (!fence->firstPoint || ds->viewPlane != 2) return false;
  Poinz* start = click->hitPoint;
  Poinz* end = click->segmentEnd;
  if (start->pointType == kFenceGatePoint) {
    Alert("Gate already exists on this fence section.",
          "Each fence section may only contain a single gate.  Please choose another section.");
    return false;
  }
  float from = 0, length = 0;
  const float usable = GetWallSegmentWorkingLength(0, 0, start, end, &from, &length);
  // Only a gate wider than the section's working length is refused.
  if (gateWidth > usable) {
    Alert("Unable to place gate on fence section.",
          "Please make sure the fence section is long enough to accommodate the gate.");
    return false;
  }
  FloatPoint first{}, second{};
  if (TrackDoorPlacement(fence, start, end, gateWidth, usable, 0, length, click->where.x, click->where.y, &first,
                         &second, 0, 0, kObjFence, 0, nullptr, nullptr) < 0)
    return false;  // the design window closed during the slide

  const Poinz* look = fence->firstPoint;
  auto newPoint = [&](int16_t type, const FloatPoint& at) {
    Poinz* p = CreatePoint(type, start->selected, start->locked, 0, 0, 0, at.floatH, gDownY, at.floatV, 0, 0, 0, 0, 0,
                           0, fence);
    if (!p) return p;
    for (int s = 0; s < 2; ++s) {
      p->textureID[s] = look->textureID[s];
      p->color[s] = look->color[s];
      p->textureScale[s] = look->textureScale[s];
    }
    return p;
  };
  Poinz* gateStart = newPoint(kFenceGatePoint, first);
  Poinz* gateEnd = newPoint(start->pointType, second);
  if (!gateStart || !gateEnd) {
    free(gateStart);
    free(gateEnd);
    return false;
  }
  InsertPointInObject(gateStart, fence, start);
  InsertPointInObject(gateEnd, fence, gateStart);
  UpdateFenceObject(fence);
  return true;
}

void TrackGate(int32_t winX, int32_t winY, float x, float, float, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument) return;
  Objex* hit = gClickInfo.hitObject;
  if (hit && hit->type == kObjFence) hit->width = ds->gateWidth;
  const float width = ConvertWorldToScreen(ds->gateWidth, ds, 0);
  ClickInfo copy = gClickInfo;
  SupportTrackGate(winX, winY, x, stage, &copy, gTrackModifiers, width);
  if (hit) ReRenderObject(hit);
  Refresh();
  gMouseCaptured = 0;
}
