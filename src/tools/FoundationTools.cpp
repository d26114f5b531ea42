// Foundation perimeters made into exterior walls, piers, and the drag-a-line tools of the
// foundation and HVAC plans.
#include "tools/FoundationTools.h"

#include <cmath>
#include <numbers>

#include "building3d/WallJoining.h"
#include "building3d/Walls3D.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/TextureFace.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "tools/ObjectSnaps.h"
#include "tools/PolygonEntry.h"
#include "tools/ToolCodes.h"
#include "tools/ToolOverlay.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;
constexpr float kDegree = std::numbers::pi_v<float> / 180;
constexpr RGBColor kWhite{65535, 65535, 65535};

enum class LineKind { kBeam, kStrand, kDuct, kSlope };

uint8_t sSaveSnapLocked = 0;  // the snap lock before a pier click

float Whole(float v) { return std::trunc(v + 0.5f); }

NSPoint WindowOf(float x, float y, float z) {
  float x2 = x, y2 = y, z2 = z;
  ConvertToIso(&x, &y, &z, &x2, &y2, &z2, gPerspective);
  return NSPoint{x, y};
}

NSPoint Along(NSPoint p, float angle, float length) {
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(angle, length, &dx, &dy);
  return NSPoint{p.x + dx, p.y + dy};
}

void Segment(ZLKDynamicDrawEngine* overlay, NSPoint a, NSPoint b) {
  overlay->appendLineToActivePathWithStartPoint(NSPoint{Whole(a.x), Whole(a.y)}, NSPoint{Whole(b.x), Whole(b.y)});
}

// The outline of a band of the given (zoomed) width along s-e in path 1, dashed, with the
// centre line in path 0.
void DrawBand(ZLKDynamicDrawEngine* overlay, NSPoint s, NSPoint e, float width, float on, float off) {
  float length = 0;
  const float a = GetLineLengthAndAngle(s.x, s.y, e.x, e.y, &length);
  const float half = width / 2;
  const NSPoint s1 = Along(s, a + kQuarterTurn, half), s2 = Along(s, a - kQuarterTurn, half);
  const NSPoint e1 = Along(e, a + kQuarterTurn, half), e2 = Along(e, a - kQuarterTurn, half);
  overlay->setActivePath(kPathSecondary);
  const float dash[2] = {on, off};
  overlay->setActivePathLineDash(dash, 2, 0);
  Segment(overlay, s1, e1);
  Segment(overlay, s2, e2);
  Segment(overlay, s1, s2);
  Segment(overlay, e1, e2);
  overlay->setActivePath(kPathPrimary);
  Segment(overlay, s, e);
}

void DrawRubberBand(LineKind kind, DocState* ds, float sx, float sz, float ex, float ez) {
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (!overlay) return;
  overlay->setActivePath(kPathPrimary);
  overlay->removePointsFromAllPaths();
  const float y = gDownY;
  if (kind == LineKind::kSlope) {
    gDynamicDrawing = 1;
    AppendOverlayModelLine(overlay, ex, y, ez, sx, y, sz);
    float length = 0;
    const float back = GetLineLengthAndAngle(ex, ez, sx, sz, &length);
    for (float turn : {30 * kDegree, -30 * kDegree}) {
      float dx = 0, dz = 0;
      GetPointFromLengthAndAngle(back + turn, 50.0f, &dx, &dz);
      AppendOverlayModelLine(overlay, ex, y, ez, ex + dx, y, ez + dz);
    }
    gDynamicDrawing = 0;
    return;
  }
  const NSPoint s = WindowOf(sx, y, sz), e = WindowOf(ex, y, ez);
  float length = 0;
  const float a = GetLineLengthAndAngle(s.x, s.y, e.x, e.y, &length);
  switch (kind) {
    case LineKind::kBeam:
      DrawBand(overlay, s, e, ConvertWorldToScreen(ds->beamSetting1, ds, 1), 18.0f, 6.0f);
      DrawLiveDimensionLine(sx, sz, ex, ez, 17.0f);
      break;
    case LineKind::kStrand: {
      Segment(overlay, s, e);
      Segment(overlay, Along(s, a + kQuarterTurn, ZoomF(5)), Along(s, a - kQuarterTurn, ZoomF(5)));
      const float back = a + std::numbers::pi_v<float>;
      Segment(overlay, e, Along(e, back + 15 * kDegree, ZoomF(12)));
      Segment(overlay, e, Along(e, back - 15 * kDegree, ZoomF(12)));
      DrawLiveDimensionLine(sx, sz, ex, ez, 5.0f);
      break;
    }
    case LineKind::kDuct: {
      DrawBand(overlay, s, e, ConvertWorldToScreen(ds->airDuctSetting1, ds, 1), 3.0f, 3.0f);
      gDynamicDrawing = 1;
      for (float f : {0.25f, 0.5f, 0.75f, 1.0f}) {
        const NSPoint tip{s.x + (e.x - s.x) * f, s.y + (e.y - s.y) * f};
        DrawArrowhead(nullptr, nullptr, tip.x, tip.y, s.x, s.y, kArrowOpen);
      }
      gDynamicDrawing = 0;
      overlay->setActivePath(kPathPrimary);
      DrawLiveDimensionLine(sx, sz, ex, ez, 17.0f);
      break;
    }
    case LineKind::kSlope:
      break;
  }
}

// The drag-a-line family: the snapped end, the rubber band, and at the end the object.
void TrackDragLine(LineKind kind, float x, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  const float sx = gDownX, sz = gDownZ;
  float ex = x, ez = z;
  if (!(gTrackModifiers & kTrackModShift)) SnapTo15Degrees(sx, sz, &ex, &ez);
  DrawRubberBand(kind, ds, sx, sz, ex, ez);
  if (stage != kTrackEnd) return;

  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (DragBelowMouseLimit()) {
    AbandonShortDrag();
  } else {
    const float positions[6] = {sx, gDownY, sz, ex, gDownY, ez};
    const float handles[6] = {};
    Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
    if (Objex* o = BuildOpenPoly(positions, nullptr, handles, handles, nullptr, nullptr, 2, layer, 1)) {
      switch (kind) {
        case LineKind::kBeam:
          o->type = kObjFoundationBeam;
          o->params[2] = ds->beamSetting2;  // depth
          o->params[3] = ds->beamSetting1;  // width
          break;
        case LineKind::kStrand:
          o->type = kObjFoundationStrand;
          break;
        case LineKind::kDuct:
          o->type = kObjAirDuct;
          o->params[2] = ds->airDuctSetting1;  // width
          o->params[3] = ds->airDuctSetting2;  // height
          break;
        case LineKind::kSlope:
          o->type = kObjFoundationSlope;
          break;
      }
      o->planMask = kind == LineKind::kDuct ? 32 : 1;
    }
    ClearToolOverlay();
    Refresh();
  }
  if (overlay && (kind == LineKind::kBeam || kind == LineKind::kDuct)) overlay->resetAttributesForAllPaths();
  gMouseCaptured = 0;
}

void SetFoundationWallFields(Objex* wall, DocState* ds, int16_t direction) {
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  const float height = layer ? layer->height : 96.0f;
  wall->type = kObjWall;
  wall->subtype = kSubExteriorWall;
  wall->closed = 1;
  wall->levels = 1;
  WallAlignmentOf(wall) = 0;
  wall->planMask = 1;
  wall->width = ds->wallThickness;
  wall->penColor = WallSegmentColorOf(ds);
  wall->fillColor = ds->wallFillColor;
  wall->params[0] = height;
  StudSpacingOf(wall) = ds->studSpacing;
  FloorDepthOf(wall) = ds->measureSystem != kMeasureImperial ? 11.811f : 12.0f;
  FoundationWidthOf(wall) = DefaultFoundationWidthOf(ds);
  wall->textureID = 1700;
  NoAutoFloorOf(wall) = 0;
  wall->textureID1 = 2213;
  wall->color1 = kWhite;
  wall->textureScale1 = ShortPoint{100, 100};
  wall->capped = 0;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    FreeWallPointSides(wall, p);
    p->textureID[0] = p->textureID[1] = 0;
    p->color[0] = p->color[1] = WallSegmentColorOf(ds);
    DisplayFlagsOf(p) = 0;
    WallStyleOf(p) = 0;
    WallOptionOf(p) = 1;
    FlipDimensionOf(p) = direction == 1 ? 1 : 0;
    BaseElevationOf(p) = ds->baseElevation;
    PitchAOf(p) = PitchBOf(p) = 10.0f;
    WallHeightOf(p) = height;
    HeightCOf(p) = 1.25f * height;
    HeightDOf(p) = 1.75f * height;
    p->textureScale[0] = p->textureScale[1] = ShortPoint{100, 100};
    // A foundation wall's one side record carries the interior bits.
    if (direction == 1) p->trim2 = NewWallSide(true);
    else p->trim1 = NewWallSide(true);
  }
  SetTextureFaceUV(wall);
  SetObjectPointLengths(wall);
}

}  // namespace

void TrackFoundationBeam(int32_t, int32_t, float x, float, float z, int16_t stage) {
  TrackDragLine(LineKind::kBeam, x, z, stage);
}
void TrackFoundationTension(int32_t, int32_t, float x, float, float z, int16_t stage) {
  TrackDragLine(LineKind::kStrand, x, z, stage);
}
void TrackFoundationSlope(int32_t, int32_t, float x, float, float z, int16_t stage) {
  TrackDragLine(LineKind::kSlope, x, z, stage);
}
void TrackHVACDuct(int32_t, int32_t, float x, float, float z, int16_t stage) {
  TrackDragLine(LineKind::kDuct, x, z, stage);
}

void TrackFoundationPier(int32_t, int32_t, float, float, float, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  if (stage == kTrackBegin) {
    sSaveSnapLocked = gSnapLocked;
    gSnapLocked = 1;
    return;
  }
  if (stage != kTrackEnd) return;
  gSnapLocked = sSaveSnapLocked;
  ResetSnapTool();
  const float h = ConvertWorldToScreen(ds->pierSetting, ds, 0) / 2;
  const float positions[12] = {gUpX - h, gUpY, gUpZ - h, gUpX + h, gUpY, gUpZ - h,
                               gUpX + h, gUpY, gUpZ + h, gUpX - h, gUpY, gUpZ + h};
  const float handles[12] = {};
  Layer* layer = gCurDocument ? gCurDocument->itsCurLayer : nullptr;
  if (Objex* pier = BuildOpenPoly(positions, nullptr, handles, handles, nullptr, nullptr, 4, layer, 1)) {
    pier->type = kObjFoundationPier;
    pier->planMask = 1;
    pier->params[0] = ds->pierSetting;
  }
  Refresh();
  gMouseCaptured = 0;
}

void TrackFoundation(int32_t winX, int32_t winY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return;
  Objex* outline = TrackGnrlPoly(winX, winY, x, y, z, stage, 0, 1, 1, kPolyEntryKindFoundation);
  if (stage != kTrackEnd || !outline) return;
  if (outline->pointCount < 3) {
    DeleteObj(outline);
    Refresh();
    ShowAlert(LocalizedString("Foundation perimeter is undefined."),
              LocalizedString("A foundation perimeter must contain at least three points to define an area."), true);
    return;
  }
  const int16_t direction = GetParallelDirection(outline);
  Objex* wall = MakeClosedParallel(outline, ds->wallThickness / 2, direction == 1 ? kParallelSide7 : kParallelSide8);
  DeleteObj(outline);
  if (!wall) {
    Refresh();
    return;
  }
  SetFoundationWallFields(wall, ds, direction);
  Update3DWall(wall);
  RenderSingleObject(wall);
  Refresh();
}
