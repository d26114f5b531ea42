// The staircase and railing tools: corner-by-corner straight staircases and railings, and
// the curved staircase's quarter-ellipse loop.
#include "tools/StairTools.h"

#include <cmath>
#include <vector>

#include "building3d/RenderRoad.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/StairFields.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "building3d/Stairs3D.h"
#include "tools/Constraints.h"
#include "tools/DrawingTools.h"
#include "tools/ModalEvents.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/PolygonEntry.h"
#include "tools/ShapeTools.h"
#include "tools/ToolCodes.h"
#include "tools/ToolOverlay.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr ShortPoint kFullScale{100, 100};
constexpr int32_t kPlanFloorBit = 2, kPlanDeckBit = 64;
constexpr int32_t kRailTexture = 2206, kTreadTexture = 1700, kDeckTreadTexture = 2207;
constexpr float kArcIncrement = 30.0f;  // degrees: a quarter arc of three segments, four points

bool HaveDocument() { return gCurDocument && CurDocState(); }

void SetCommonMaterials(Objex* o, bool deck, int32_t slot2Texture) {
  o->penColor = o->fillColor = kWhite;
  o->planMask = deck ? kPlanDeckBit : kPlanFloorBit;
  o->textureID1 = kRailTexture;
  o->color1 = kWhite;
  o->textureScale1 = kFullScale;
  o->textureID2 = slot2Texture;
  o->color2 = kWhite;
  o->textureScale2 = kFullScale;
}

// The ellipse box (left, top, right, bottom in x and z) and start angle of a drag from the
// mouse-down point to (x, z): the drag's box is one quarter of it.
void ArcBox(float x, float z, float rect[4], float* startAngle) {
  QuarterArcBox(gTrackModifiers, gDownX, gDownZ, x, z, rect, startAngle);
}

void DrawQuarterArc(const float rect[4], float startAngle, float height) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (!overlay) return;
  overlay->setActivePath(kPathPrimary);
  const uint8_t saved = gDynamicDrawing;
  gDynamicDrawing = 1;
  int32_t count = 0;
  Draw3DEllipse(nullptr, rect, startAngle, -90, 2, height, nullptr, nullptr, nullptr, 1, &count, 0, kArcIncrement);
  gDynamicDrawing = saved;
}

long RoundWhole(float v) { return std::lround(v); }

}  // namespace

void SetStaircaseDefaults(Objex* o, int32_t subtype, bool deck) {
  DocState* ds = CurDocState();
  if (!o || !ds) return;
  o->type = kObjStaircase;
  o->subtype = subtype;
  SetCommonMaterials(o, deck, deck ? kDeckTreadTexture : kTreadTexture);
  StairWidthOf(o) = ds->stairWidth();
  StairStepHeightOf(o) = ds->stairStepHeight();
  StairStepDepthOf(o) = ds->stairStepDepth();
  StairHandrailHeightOf(o) = ds->stairHandrailHeight();
  StairHeightOf(o) = ds->stairHeight;
  ClosedStringersOf(o) = ds->stairClosedStringers;
  if (subtype == kSubStraightStair) LongStringerBaseOf(o) = ds->stairLongStringerBase;
  LeftRailOf(o) = ds->stairLeftRail() ? 1 : 0;
  RightRailOf(o) = ds->stairRightRail() ? 1 : 0;
  SkirtWallsOf(o) = ds->stairSkirtWalls();
  ClosedStepsOf(o) = ds->stairOpenSteps ? 0.0f : 1.0f;
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = 0;
    p->color[0] = p->color[1] = kWhite;
    p->segmentFlags = deck ? 1 : 0;
  }
}

void SetRailingDefaults(Objex* o, int32_t subtype, bool deck) {
  DocState* ds = CurDocState();
  if (!o || !ds) return;
  o->type = kObjRailing;
  o->subtype = subtype;
  SetCommonMaterials(o, deck, 0);
  RailHeightOf(o) = ds->railHeight;
  RailBalusterSpacingOf(o) = ds->railBalusterSpacing();
  LeftRailOf(o) = ds->railFlag1() ? 1 : 0;
  RightRailOf(o) = ds->railSecondFlag() ? 1 : 0;
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = 0;
    p->color[0] = p->color[1] = kWhite;
    p->segmentFlags = kDeckSegmentPost;
  }
}

Objex* TrackStraightStaircase(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  if (!HaveDocument()) return nullptr;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 0, 1, kObjOpenPoly);
  if (!o || stage != kTrackEnd) return nullptr;
  SetStaircaseDefaults(o, kSubStraightStair, gCurTool == kToolDeckStraightStairway);
  UpdateStairObject(o);
  RenderSingleObject(o);
  return o;
}

namespace {

Objex* TrackRailing(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage, bool curved) {
  if (!HaveDocument()) return nullptr;
  Objex* o = TrackGnrlPoly(winX, winY, x, y, z, stage, curved ? 1 : 0, 0, 1, kObjRailing);
  if (!o || stage != kTrackEnd) return nullptr;
  const bool deck = gCurTool == kToolDeckStraightRailing || gCurTool == kToolDeckCurvedRailing;
  SetRailingDefaults(o, curved ? kSubCurvedRail : kSubStraightRail, deck);
  UpdateRailObject(o);
  RenderSingleObject(o);
  return o;
}

}  // namespace

Objex* TrackStraightRailing(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  return TrackRailing(winX, winY, x, y, z, stage, false);
}

Objex* TrackCurvedRailing(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  return TrackRailing(winX, winY, x, y, z, stage, true);
}

Objex* TrackCurvedStaircase(int32_t, int32_t, float, float, float, int16_t stage) {
  if (stage != kTrackEnd || !HaveDocument()) return nullptr;
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
  const float downX = gDownX, downY = gDownY, downZ = gDownZ;
  float p[3] = {downX, downY, downZ};
  float rect[4] = {downX, downZ, downX, downZ};
  float startAngle = 0;
  bool clicked = false;
  {
    ModalMouseMovedScope moved(true);
    const uint32_t mask = kModalMouseDownMask | kModalMouseMovedMask | kModalFlagsChangedMask | kModalKeyDownMask |
                          kModalToolChangedMask;
    ModalEvent event;
    // Every event redraws: a change of modifiers reshapes the arc even where the mouse stands.
    // Tab moves to the next snap tool first; other keys are ignored.
    while (NextModalEvent(mask, &event)) {
      // Another tool chosen: the stairway is made as last shown.
      if (event.type == kModalToolChanged) {
        clicked = true;
        break;
      }
      if (event.type == kModalKeyDown) {
        if (event.keyCode != kModalKeyTab) continue;
        SnapToolChangeInLoop();
      }
      const POINT where = event.type == kModalMouseDown ? event.where : ModalMouseLocation();
      ClearToolOverlay();
      gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~(kTrackModShift | kTrackModCommand)) |
                                              TrackModifiersOfEvent(event));
      float down[3] = {downX, downY, downZ};
      EvaluatePoint(where.x, where.y, &p[0], &p[1], &p[2], 1, nullptr, 1);
      ConstrainPoint(down, p);
      ArcBox(p[0], p[2], rect, &startAngle);
      DrawQuarterArc(rect, startAngle, downY);
      Refresh();
      if (event.type == kModalMouseDown) {
        clicked = true;
        break;
      }
    }
  }
  gUpX = p[0];
  gUpY = p[1];
  gUpZ = p[2];
  gMouseCaptured = 0;
  // A closed window or an emptied queue ends the loop without a click: nothing is made.
  if (!clicked || (RoundWhole(gUpX) == RoundWhole(downX) && RoundWhole(gUpY) == RoundWhole(downY) &&
                   RoundWhole(gUpZ) == RoundWhole(downZ))) {
    ClearToolOverlay();
    return nullptr;
  }

  const int32_t capacity = EllipsePointCapacity(-90, kArcIncrement);
  std::vector<float> positions(3 * static_cast<size_t>(capacity + 1)), ins(positions.size()),
      outs(positions.size());
  int32_t count = 0;
  Draw3DEllipse(nullptr, rect, startAngle, -90, 2, downY, positions.data(), ins.data(), outs.data(), 0, &count, 0,
                kArcIncrement);
  Objex* made = nullptr;
  if (count == 4) {
    const float width = rect[2] - rect[0], depth = rect[3] - rect[1];
    if (width < 2 * gMouseModeLimit && depth < 2 * gMouseModeLimit) {
      if (width > 0 && depth > 0) Refresh();
      ClearToolOverlay();
      return nullptr;
    }
    // The ends of the flight are straight.
    ins[0] = ins[1] = ins[2] = 0;
    outs[9] = outs[10] = outs[11] = 0;
    Layer* layer = gCurDocument->itsCurLayer;
    made = layer ? BuildOpenPoly(positions.data(), nullptr, ins.data(), outs.data(), nullptr, nullptr, 4, layer, 0)
                 : nullptr;
    if (made) {
      SetStaircaseDefaults(made, kSubCurvedStair, gCurTool == kToolDeckCurvedStairway);
      UnsmoothObject(made);
      // Drags toward +x/-z and -x/+z climb the other way round the arc.
      if ((gUpX > downX && gUpZ < downZ) || (gUpX < downX && gUpZ > downZ)) ReverseStairDirection(made);
      SmoothObject(made);
      UpdateStairObject(made);
      RenderSingleObject(made);
    }
    ClearToolOverlay();
    Refresh();
  } else {
    ClearToolOverlay();
  }
  return made;
}
