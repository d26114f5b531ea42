// The curved wall tool and the arc points it builds the wall from.
#include "tools/CurvedWallTool.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "building3d/WallJoining.h"
#include "building3d/Walls3D.h"
#include "model/Delete.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/WallFields.h"
#include "plandraw/PlanText.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/DoorWindowTools.h"
#include "tools/ModalEvents.h"
#include "tools/PointEvaluation.h"
#include "tools/ToolCodes.h"
#include "tools/ToolOverlay.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kDegreesPerRadian = static_cast<float>(180.0 / std::numbers::pi);
constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr float kMinimumSweep = 5.0f;

float RoundWhole(float v) { return std::trunc(v + 0.5f); }

void SetSegmentValues(Objex* wall, Poinz* p, DocState* ds, bool second) {
  SetWallSegmentDefaults(p, ds);
  FlipDimensionOf(p) = 0;
  // Only the second point keeps the segment dimensions and callouts.
  DisplayFlagsOf(p) = second ? ds->wallDisplayFlags : ds->wallDisplayFlags | 1 | 2;
  // The sides of a curved wall segment carry no interior bits.
  FreeWallPointSides(wall, p);
  p->trim1 = NewWallSide(false);
  p->trim2 = NewWallSide(false);
  for (int i = 0; i < 3; ++i) p->inHandle[i] = p->outHandle[i] = p->linkVector[i] = 0;
}

void SetCurvedWallFields(Objex* wall, DocState* ds) {
  wall->type = kObjWall;
  wall->subtype = 0;
  wall->width = ds->wallThickness;
  wall->fillColor = DoorColorOf(ds);
  wall->penColor = kWhite;
  WallAlignmentOf(wall) = 0;
  NoAutoFloorOf(wall) = 1;
  wall->planMask = 2;
  wall->textureID = 1700;
  wall->textureID1 = 2213;
  wall->color1 = kWhite;
  wall->textureScale1 = wall->textureScale2 = wall->textureScale3 = wall->textureScale4 = wall->textureScale =
      ShortPoint{100, 100};
  wall->params[0] = ds->wallHeight;
  StudSpacingOf(wall) = ds->studSpacing;
  FloorDepthOf(wall) = 0.5f;
  FoundationWidthOf(wall) = DefaultFoundationWidthOf(ds);
  int index = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next, ++index) {
    const bool inner = p->prev && p->next;
    if (inner) p->pointType = 9;
    SetSegmentValues(wall, p, ds, index == 1);
  }
}

// The chord's angle readout, 0 to 360 degrees.
void ShowChordAngle(float x, float z) {
  float length = 0;
  float degrees = GetLineLengthAndAngle(gDownX, gDownZ, x, z, &length) * kDegreesPerRadian;
  if (degrees < 0) degrees += 360;
  DrawAngle(degrees);
}

void DrawSweepLabel(float sweep, float x, float z) {
  char text[64] = {};
  ConvertAngleToStr(std::fabs(sweep), text);
  DrawDynamicText(nullptr, text, x, z, 0);
}

// The chord preview: the chord, its whole circle and its dimension line.
void DrawChord(DocState* ds, float x, float y, float z) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  AppendOverlayModelLine(overlay, gDownX, gDownY, gDownZ, x, gDownY, z);
  const float radius = GetLineLength(gDownX, gDownZ, x, z) / 2;
  if (radius > 0) {
    const float cx = (gDownX + x) / 2, cz = (gDownZ + z) / 2;
    const FloatRect circle{cz - radius, cx - radius, cz + radius, cx + radius};
    int32_t count = 0;
    gDynamicDrawing = 1;
    SetupCurvedWall(nullptr, &circle, 0, 360, 2, gDownY, nullptr, nullptr, nullptr, 1,
                    &count, 0, ds->wallSetting2);
    gDynamicDrawing = 0;
  }
  (void)y;
  DrawLiveDimensionLine(gDownX, gDownZ, x, z, 5.0f);
}

// The sweep loop after the chord: the swept angle (degrees, signed as previewed) when a click
// ended it; false when the window closed or no event can come.
bool FollowSweep(float cx, float cz, float ex, float ez, float radius, float* swept) {
  float length = 0;
  const float startAngle = GetLineLengthAndAngle(cx, cz, ex, ez, &length);
  const int32_t icx = RoundToLong(cx), icz = RoundToLong(cz);
  const int32_t iex = RoundToLong(ex), iez = RoundToLong(ez);
  ModalMouseMovedScope moved(true);
  const uint32_t mask = kModalMouseDownMask | kModalMouseMovedMask | kModalFlagsChangedMask | kModalToolChangedMask;
  ModalEvent event;
  while (NextModalEvent(mask, &event)) {
    // A click, or another tool chosen, ends the sweep as last shown.
    if (event.type == kModalMouseDown || event.type == kModalToolChanged) return true;
    const POINT where = event.type == kModalFlagsChanged ? ModalMouseLocation() : event.where;
    float mx = 0, my = 0, mz = 0;
    EvaluatePoint(where.x, where.y, &mx, &my, &mz, 1, nullptr, 1);
    if (gTrackingHooks.autoScrollToPoint) gTrackingHooks.autoScrollToPoint(where.x, where.y);
    gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~(kTrackModShift | kTrackModCommand)) |
                                            TrackModifiersOfEvent(event));
    ClearToolOverlay();
    *swept = DrawArcState(icx, icz, iex, iez, RoundToLong(mx), RoundToLong(mz), startAngle, radius);
    DrawSweepLabel(*swept, cx, cz - 15);
  }
  return false;
}

// Builds the wall along the arc and joins its ends; the wall that remains, or null.
Objex* BuildCurvedWall(DocState* ds, Layer* layer, const FloatRect& circle, float startDegrees, float sweep) {
  int32_t count = 0;
  SetupCurvedWall(nullptr, &circle, startDegrees, sweep, 2, gDownY, nullptr, nullptr, nullptr, 0, &count, 0,
                  ds->wallSetting2);
  if (count < 2) return nullptr;
  std::vector<float> positions(3 * static_cast<size_t>(count)), ins(3 * static_cast<size_t>(count)),
      outs(3 * static_cast<size_t>(count));
  int32_t written = 0;
  SetupCurvedWall(nullptr, &circle, startDegrees, sweep, 2, gDownY, positions.data(), ins.data(), outs.data(), 0,
                  &written, 0, ds->wallSetting2);
  if (written < 2 || written > count) return nullptr;
  for (int i = 0; i < 3; ++i) {
    ins[i] = 0;
    outs[3 * (written - 1) + i] = 0;
  }
  Objex* wall = BuildOpenPoly(positions.data(), nullptr, ins.data(), outs.data(), nullptr, nullptr, written, layer, 1);
  if (!wall) return nullptr;
  SetCurvedWallFields(wall, ds);
  Update3DWall(wall);
  wall->capped = 0;
  Objex* result = wall;
  if (wall->pointCount >= 2 && wall->firstPoint) {
    result = ConnectWallPoint(wall, wall->firstPoint);
    if (result && !result->closed) {
      Poinz* last = result->firstPoint;
      while (last && last->next) last = last->next;
      if (last) result = ConnectWallPoint(result, last);
    }
  }
  if (!result) result = wall;
  ReRenderObject(result);
  return result;
}

}  // namespace

float CurvedWallStepAngle(float segmentLengthPlan, float radius) {
  if (radius == 0) radius = 1.0f;
  const float ratio = segmentLengthPlan / 2 / radius;
  // A segment longer than the diameter takes the largest step.
  if (!(ratio <= 1.0f)) return 90.0f;
  float step = 2 * std::asin(ratio) * kDegreesPerRadian;
  if (!(step >= 5.0f)) step = 5.0f;
  if (step > 90.0f) step = 90.0f;
  return step;
}

void SetupCurvedWall(DrawContext*, const FloatRect* circleRect, float startAngle, float sweep, int16_t mode,
                     float height, float* positions, float* inHandles, float* outHandles, uint8_t draw,
                     int32_t* count, uint8_t dropLast, float segmentLength) {
  if (count) *count = 0;
  DocState* ds = CurDocState();
  if (!ds || !circleRect || !count) return;
  const float segment = ConvertWorldToScreen(segmentLength, ds, 0);
  float radius = (circleRect->floatRight - circleRect->floatLeft) / 2;
  if (radius == 0) radius = 1.0f;
  const float step = CurvedWallStepAngle(segment, radius);
  // The arc is read and freed here and never joins a floor: the moves of a gesture that draws it
  // keep what they measured of the design.
  ScratchRecordEdits scratch;
  Objex* arc = BuildTempArcGivenIncrement(circleRect->floatLeft, circleRect->floatTop, circleRect->floatRight,
                                          circleRect->floatBottom, startAngle, sweep, height, mode, step);
  if (!arc) return;
  ZLKDynamicDrawEngine* overlay = draw ? MainViewDynamicDrawEngine() : nullptr;
  int32_t n = 0;
  for (Poinz* p = arc->firstPoint; p; p = p->next) {
    if (!p->next && dropLast) break;
    if (positions) std::copy(p->position, p->position + 3, positions + 3 * n);
    if (inHandles) std::copy(p->inHandle, p->inHandle + 3, inHandles + 3 * n);
    if (outHandles) std::copy(p->outHandle, p->outHandle + 3, outHandles + 3 * n);
    if (overlay && p->next)
      AppendOverlayModelLine(overlay, p->position[0], p->position[1], p->position[2], p->next->position[0],
                             p->next->position[1], p->next->position[2]);
    ++n;
  }
  *count = n;
  DeleteObj(arc);
}

void TrackCurvedWall(int32_t, int32_t, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
  if (stage == kTrackBegin) {
    const Objex* hit = gClickInfo.hitObject;
    if (gClickInfo.hitMode && gClickInfo.pointHit && gClickInfo.hitPoint && hit && !hit->closed) {
      gDownX = gClickInfo.hitPoint->position[0];
      gDownY = gClickInfo.hitPoint->position[1];
      gDownZ = gClickInfo.hitPoint->position[2];
    }
    DrawAngle(32000);
  }
  DrawChord(ds, x, y, z);
  ShowChordAngle(x, z);
  if (stage != kTrackEnd) return;

  DrawAngle(32000);
  if (DragBelowMouseLimit()) {
    AbandonShortDrag();
    gMouseCaptured = 0;
    return;
  }
  const float cx = (gDownX + x) / 2, cz = (gDownZ + z) / 2;
  const float radius = GetLineLength(gDownX, gDownZ, x, z) / 2;
  float swept = 0;
  const bool clicked = FollowSweep(cx, cz, x, z, radius, &swept);
  gMouseCaptured = 0;
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  const bool samePoint = RoundWhole(gDownX) == RoundWhole(gUpX) && RoundWhole(gDownY) == RoundWhole(gUpY) &&
                         RoundWhole(gDownZ) == RoundWhole(gUpZ);
  if (clicked && layer && !samePoint && std::fabs(swept) >= kMinimumSweep) {
    float length = 0;
    float startDegrees = GetLineLengthAndAngle(cx, cz, x, z, &length) * kDegreesPerRadian;
    if (startDegrees < 0) startDegrees += 360;
    const FloatRect circle{cz - radius, cx - radius, cz + radius, cx + radius};
    // The wall follows the arc as it was shown: Shift turns it the other way round.
    BuildCurvedWall(ds, layer, circle, startDegrees, swept);
  }
  ClearToolOverlay();
  Refresh();
}
