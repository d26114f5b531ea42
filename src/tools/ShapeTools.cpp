// The rectangle and circle/oval tools: rubber band and live dimensions while dragging,
// a closed detail shape on the current layer at the mouse-up.
#include "tools/ShapeTools.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "model/Delete.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/ViewProjection.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/PointEvaluation.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/ToolOverlay.h"

uint8_t gCenterRectTool = 0, gCenterOvalTool = 0;

namespace {

struct Point3 {
  float x, y, z;
};

float RoundShort(float v) { return static_cast<float>(RoundToShort(v)); }

// Mirrors the down point through itself for the centre mode and puts it back afterwards.
class CentreMode {
 public:
  CentreMode(bool on, float x, float y, float z) : on_(on), x_(gDownX), y_(gDownY), z_(gDownZ) {
    if (!on_) return;
    gDownX = 2 * gDownX - x;
    gDownY = 2 * gDownY - y;
    gDownZ = 2 * gDownZ - z;
  }
  ~CentreMode() {
    if (!on_) return;
    gDownX = x_;
    gDownY = y_;
    gDownZ = z_;
  }

 private:
  bool on_;
  float x_, y_, z_;
};

bool TooShortADrag() {
  const float travel = GetLineLength(static_cast<float>(gStartMouse.x), static_cast<float>(gStartMouse.y),
                                     static_cast<float>(gEndMouse.x), static_cast<float>(gEndMouse.y));
  return travel < gMouseModeLimit;
}

// The four corners spanned by the down point and (x, y, z) in the working plane.
void RectCorners(int16_t plane, float x, float y, float z, Point3 out[4]) {
  const float dx = gDownX, dy = gDownY, dz = gDownZ;
  if (plane == 3) {
    out[0] = {dx, y, z}, out[1] = {dx, dy, z}, out[2] = {dx, dy, dz}, out[3] = {dx, y, dz};
  } else if (plane == 1) {
    out[0] = {x, y, dz}, out[1] = {x, dy, dz}, out[2] = {dx, dy, dz}, out[3] = {dx, y, dz};
  } else {
    out[0] = {x, dy, z}, out[1] = {x, dy, dz}, out[2] = {dx, dy, dz}, out[3] = {dx, dy, z};
  }
}

void AppendProjectedLine(ZLKDynamicDrawEngine* overlay, Point3 a, Point3 b) {
  ConvertToIso(&a.x, &a.y, &a.z, &b.x, &b.y, &b.z, gPerspective);
  overlay->appendLineToActivePathWithStartPoint(NSMakePoint(RoundShort(a.x), RoundShort(a.y)),
                                                NSMakePoint(RoundShort(b.x), RoundShort(b.y)));
}

bool Squaring(uint8_t lock) {
  const bool shift = (gTrackModifiers & kTrackModShift) != 0;
  return shift != (lock != 0);
}

// Width and depth dimension lines of the shape being dragged (plan only).
void DrawShapeDimensions(uint8_t lock, float x, float z) {
  const float m = (z + gDownZ) / 2;
  DrawDimensionLineNoOffset(gDownX, gDownY, m, x, gDownY, m);
  if (Squaring(lock)) return;
  const float side = x > gDownX ? gDownX - 25 : gDownX + 25;
  DrawDimensionLineNoOffset(side, gDownY, gDownZ, side, gDownY, z);
}

// The end of a drag too short to make anything: back to the standard tool, overlay cleared.
void AbandonShape(ZLKDynamicDrawEngine* overlay) {
  ResetStandardTool(1);
  if (overlay) overlay->removePointsFromAllPaths();
}

void FinishDetailShape(Objex* shape, int32_t subtype, const DocState* ds) {
  shape->type = kObjDetail;
  shape->subtype = subtype;
  shape->planMask = ds->newObjectPlanMask;
  shape->extraLong = ds->detailDisplayDims;
  shape->extraFlags = ds->detailEditLevel;
  shape->width = static_cast<float>(ds->newLineWeight);
}

// In planes 3 and 1 the oval's height is the down value plus the extent along the other
// axis (a circle) unless Shift is held.
float OvalHeight(int16_t plane, float x, float y, float z) {
  if (gTrackModifiers & kTrackModShift) return y;
  if (plane == 3) return gDownY + (z - gDownZ);
  return gDownY + (x - gDownX);
}

}  // namespace

void TrackRect(int32_t, int32_t, float x, float y, float z, int16_t phase) {
  DocState* ds = CurDocState();
  if (!ds) return;
  CentreMode centre(gCenterRectTool != 0, x, y, z);
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  const int16_t plane = ds->viewPlane;
  Point3 corners[4];
  RectCorners(plane, x, y, z, corners);
  if (overlay) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
    for (int i = 0; i < 4; ++i) AppendProjectedLine(overlay, corners[i], corners[(i + 1) % 4]);
  }
  if (plane == 2 && phase != kTrackEnd) DrawShapeDimensions(gLockRectTool, x, z);
  if (phase != kTrackEnd) return;

  if (TooShortADrag()) {
    AbandonShape(overlay);
  } else {
    float positions[12], handles[12] = {};
    for (int i = 0; i < 4; ++i) {
      positions[3 * i] = corners[i].x;
      positions[3 * i + 1] = corners[i].y;
      positions[3 * i + 2] = corners[i].z;
    }
    Layer* layer = gCurDocument->itsCurLayer;
    if (Objex* shape = BuildClosedPoly(positions, nullptr, handles, handles, nullptr, nullptr, 4, layer, 1))
      FinishDetailShape(shape, kSubDetailRect, ds);
    if (overlay) overlay->removePointsFromAllPaths();
    Refresh();
  }
  gMouseCaptured = 0;
}

Objex* TrackOval(int32_t, int32_t, float x, float y, float z, int16_t phase) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  CentreMode centre(gCenterOvalTool != 0, x, y, z);
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  const int16_t plane = ds->viewPlane;
  float rect[4];
  float fixed;
  // The box is given in the plane's own order (z then y in plane 3, x then y in plane 1), so
  // that the ellipse spans the drag rather than its mirror image across the diagonal.
  if (plane == 3) {
    rect[0] = gDownZ, rect[1] = gDownY, rect[2] = z, rect[3] = OvalHeight(plane, x, y, z);
    fixed = gDownX;
  } else if (plane == 1) {
    rect[0] = gDownX, rect[1] = gDownY, rect[2] = x, rect[3] = OvalHeight(plane, x, y, z);
    fixed = gDownZ;
  } else {
    rect[0] = gDownX, rect[1] = gDownZ, rect[2] = x, rect[3] = z;
    fixed = gDownY;
  }
  Objex* made = nullptr;
  gDynamicDrawing = 1;
  if (overlay) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
  int32_t count = 0;
  Draw3DEllipse(nullptr, rect, 0, 360, plane, fixed, nullptr, nullptr, nullptr, 1, &count, 1, 90);
  if (plane == 2 && phase != kTrackEnd) {
    DrawShapeDimensions(gLockOvalTool, x, z);
    DrawDiameter(Squaring(gLockOvalTool) ? ConvertScreenToWorld(x - gDownX, ds, 0) : 0);
  }
  if (phase != kTrackEnd) return nullptr;

  if (TooShortADrag()) {
    AbandonShape(overlay);
  } else {
    const int32_t capacity = EllipsePointCapacity(360, 90);
    std::vector<float> positions(3 * capacity), ins(3 * capacity), outs(3 * capacity);
    count = 0;
    Draw3DEllipse(nullptr, rect, 0, 360, plane, fixed, positions.data(), ins.data(), outs.data(), 0, &count, 1, 90);
    if (count >= 2) {
      made = BuildClosedPoly(positions.data(), nullptr, ins.data(), outs.data(), nullptr, nullptr, count,
                             gCurDocument->itsCurLayer, 1);
      if (made) FinishDetailShape(made, kSubDetailOval, ds);
    }
    if (overlay) overlay->removePointsFromAllPaths();
    Refresh();
  }
  gMouseCaptured = 0;
  DrawDiameter(0);
  gDynamicDrawing = 0;
  return made;
}

int32_t EllipsePointCapacity(float sweep, float increment) {
  if (std::fabs(sweep) < 0.00001f) sweep = 1;
  double segments = increment != 0 && std::isfinite(sweep / increment) ? std::ceil(std::fabs(sweep / increment))
                                                                        : std::ceil(std::fabs(sweep) / 90);
  if (segments < 1) segments = 1;
  if (segments > 3600) segments = 3600;
  return static_cast<int32_t>(segments) + 1;
}

void Draw3DEllipse(DrawContext*, const float* rect, float startAngle, float sweep, int16_t plane,
                   float fixedCoordinate, float* positions, float* inHandles, float* outHandles, uint8_t draw,
                   int32_t* count, uint8_t closed, float increment) {
  if (!rect || !count) return;
  *count = 0;
  if (std::fabs(sweep) < 0.00001f) sweep = 1;
  // The arc is read and freed here and never joins a floor: the moves of a gesture that draws it
  // keep what they measured of the design.
  ScratchRecordEdits scratch;
  Objex* arc = BuildTempArcGivenIncrement(rect[0], rect[1], rect[2], rect[3], startAngle, sweep, fixedCoordinate,
                                          plane, increment);
  if (!arc) return;
  ZLKDynamicDrawEngine* overlay = draw ? MainViewDynamicDrawEngine() : nullptr;
  const int32_t capacity = EllipsePointCapacity(sweep, increment);
  int32_t i = 0;
  for (Poinz* p = arc->firstPoint; p && i < capacity; p = p->next) {
    const bool last = p->next == nullptr;
    if (last && closed) break;
    if (positions) std::copy(p->position, p->position + 3, positions + 3 * i);
    if (inHandles) std::copy(p->inHandle, p->inHandle + 3, inHandles + 3 * i);
    if (outHandles) std::copy(p->outHandle, p->outHandle + 3, outHandles + 3 * i);
    if (overlay && p->next) {
      // Each segment sampled into the overlay.
      const int steps = 8;
      for (int s = 0; s < steps; ++s) {
        float a[3], b[3];
        GetSplineCoordinate(p, p->next, static_cast<float>(s) / steps, &a[0], &a[1], &a[2]);
        GetSplineCoordinate(p, p->next, static_cast<float>(s + 1) / steps, &b[0], &b[1], &b[2]);
        ConvertToIso(&a[0], &a[1], &a[2], &b[0], &b[1], &b[2], gPerspective);
        overlay->appendLineToActivePathWithStartPoint(NSMakePoint(RoundShort(a[0]), RoundShort(a[1])),
                                                      NSMakePoint(RoundShort(b[0]), RoundShort(b[1])));
      }
    }
    ++i;
  }
  *count = arc->pointCount - (closed ? 1 : 0);
  if (*count > i) *count = i;
  if (*count < 0) *count = 0;
  DeleteObj(arc);
}
