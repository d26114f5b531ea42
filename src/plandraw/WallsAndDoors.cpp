// Doors in plan (opening patch, dashed marks, swing arc and leaf, garage, sliding, pocket and
// bi-fold symbols), walls drawn from their own points, and the rubber-band wall.
#include "plandraw/WallsAndDoors.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/DrawContext.h"
#include "plandraw/BezierPath.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PerimeterDimensions.h"
#include "plandraw/PlanDrawSettings.h"
#include "plandraw/PlanPoints.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/ZLKDynamicDrawEngine.h"

namespace {

constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;
constexpr RGBColor kPaperWhite{65535, 65535, 65535};

// What every door routine needs: the door's record, its wall and its two points.
struct DoorParts {
  DocState* ds = nullptr;
  DoorWindowData* data = nullptr;
  Objex* wall = nullptr;
  PlanXZ first, second;
  DrawContext* ctx = nullptr;
};

bool GetDoorParts(DrawContext* handle, Objex* door, DoorParts* out) {
  out->ds = CurDocState();
  if (!out->ds || !door || !door->typeData || !door->parent || !door->firstPoint || !door->firstPoint->next)
    return false;
  out->ctx = ResolveDrawContext(handle);
  if (!out->ctx) return false;
  out->data = static_cast<DoorWindowData*>(door->typeData);
  out->wall = door->parent;
  out->first = {door->firstPoint->position[0], door->firstPoint->position[2]};
  out->second = {door->firstPoint->next->position[0], door->firstPoint->next->position[2]};
  return true;
}

// A plan point as a path takes it: projected, print-scaled, whole.
NSPoint ViewPoint(PlanXZ p) { return RoundPoint(PrintScaled(ProjectPlanPoint(p.x, p.z))); }

void AddSegment(BezierPath& path, PlanXZ a, PlanXZ b) {
  path.moveToPoint(ViewPoint(a));
  path.lineToPoint(ViewPoint(b));
}

StrokeStyle Solid(const DrawColor& color) {
  StrokeStyle s;
  s.color = color;
  s.width = 1;
  return s;
}

float HalfWallThickness(const DoorParts& d) { return ConvertWorldToScreen(d.wall->width, d.ds, 0) / 2; }

bool IsHingedKind(int16_t subtype) {
  switch (subtype) {
    case kDoorHinged: case kDoorArchedHinged: case kDoorArchedHingedLow: case kDoorHingedGlass:
    case kDoorHingedHalfGlass: case kDoorCustom:
      return true;
    default:
      return false;
  }
}

int32_t RoundWhole(float v) { return static_cast<int32_t>(v + 0.5f); }

// The plan points of a wall's centre line, curved segments in straight steps, into `line`.
void WallCentreLine(const Objex* wall, std::vector<PlanXZ>& line) {
  line.clear();
  const int steps = CurrentCurveSegments();
  auto add = [&](PlanXZ p) {
    if (line.empty() || line.back().x != p.x || line.back().z != p.z) line.push_back(p);
  };
  const Poinz* first = wall->firstPoint;
  for (const Poinz* p = first; p; p = p->next) {
    add({p->position[0], p->position[2]});
    const Poinz* q = p->next ? p->next : (wall->closed && p != first ? first : nullptr);
    if (!q) break;
    const bool straight = p->outHandle[0] == 0 && p->outHandle[2] == 0 && q->inHandle[0] == 0 && q->inHandle[2] == 0;
    if (straight) continue;
    for (int s = 1; s < steps; ++s) {
      float x = 0, z = 0;
      float y = 0;
      GetSplineCoordinate(p, q, static_cast<float>(s) / static_cast<float>(steps), &x, &y, &z);
      add({x, z});
    }
  }
  if (wall->closed && line.size() > 2 && line.front().x == line.back().x && line.front().z == line.back().z)
    line.pop_back();
}

// The unit normal (a quarter turn left) of each segment of the line: segment i runs from point
// i to the next, and a closed line's last one back to the first.
void SegmentNormals(const std::vector<PlanXZ>& line, bool closed, std::vector<PlanXZ>& normals) {
  const size_t n = line.size();
  normals.clear();
  for (size_t i = 0; i < (closed ? n : n - 1); ++i) {
    float length = 0;
    const float a = AngleBetween(line[i], line[(i + 1) % n], &length);
    normals.push_back(PolarPlan(a + kQuarterTurn, 1));
  }
}

// The centre line moved sideways by `offset` (left of the direction of travel when
// positive), corners mitred; very sharp corners are not mitred. `normals` are the line's
// segment normals.
void OffsetLine(const std::vector<PlanXZ>& line, const std::vector<PlanXZ>& normals, bool closed, float offset,
                std::vector<PlanXZ>& out) {
  const size_t n = line.size();
  out.clear();
  for (size_t i = 0; i < n; ++i) {
    const bool hasIn = i > 0 || closed, hasOut = i + 1 < n || closed;
    const size_t prev = (i + n - 1) % n;
    PlanXZ shift;
    if (hasIn && hasOut) {
      const PlanXZ a = normals[prev], b = normals[i];
      const float denominator = 1 + a.x * b.x + a.z * b.z;
      shift = denominator > 0.1f ? PlanXZ{(a.x + b.x) * offset / denominator, (a.z + b.z) * offset / denominator}
                                 : PlanXZ{b.x * offset, b.z * offset};
    } else {
      const PlanXZ m = hasOut ? normals[i] : normals[prev];
      shift = {m.x * offset, m.z * offset};
    }
    out.push_back(line[i] + shift);
  }
}

}  // namespace

void DrawDoor(DrawContext* handle, Objex* door, const RECT* updateRect, int32_t drawFlags,
              const DragTransformInfo* transform) {
  if (!door || !gCurDocument || !door->typeData) return;
  DrawDoorOpening(handle, door);
  switch (static_cast<DoorWindowData*>(door->typeData)->subtype) {
    case kDoorGarage: DrawGarageDoor(handle, door); break;
    case kDoorSliding: DrawSlidingDoor(handle, door); break;
    case kDoorPocket: DrawPocketDoor(handle, door); break;
    case kDoorBiFold: DrawBiFoldDoor(handle, door); break;
    default: break;
  }
}

void DrawDoorOpening(DrawContext* handle, Objex* door) {
  DoorParts d;
  if (!GetDoorParts(handle, door, &d)) return;
  const int16_t subtype = d.data->subtype;
  const PlanXZ h = d.data->flipHorizontal ? d.first : d.second;
  const PlanXZ f = d.data->flipHorizontal ? d.second : d.first;
  const int32_t hx = RoundWhole(h.x), hz = RoundWhole(h.z), fx = RoundWhole(f.x), fz = RoundWhole(f.z);
  float w = 0;
  const float a = AngleBetween(h, f, &w);
  const float b = AngleBetween(f, h);
  int32_t sx = 0, sz = 0;
  const bool hinged = IsHingedKind(subtype);
  if (hinged) {
    const PlanXZ open = PolarPlan(a + d.data->auxFloat1, w);
    sx = hx + static_cast<int32_t>(open.x);
    sz = hz + static_cast<int32_t>(open.z);
  }
  const RGBColor pen = gPlanDrawSettings.penColor;
  const float t = HalfWallThickness(d), e = t + 3.0f;

  BezierPath patch;
  patch.moveToPoint(ViewPoint(h + PolarPlan(a + kQuarterTurn, e)));
  patch.lineToPoint(ViewPoint(f + PolarPlan(b - kQuarterTurn, e)));
  patch.lineToPoint(ViewPoint(f + PolarPlan(b + kQuarterTurn, e)));
  patch.lineToPoint(ViewPoint(h + PolarPlan(a - kQuarterTurn, e)));
  patch.closePath();
  FillStyle fill;
  fill.color = DrawColorFromRGB(gPrinting ? kPaperWhite : PlanBackgroundColor(d.ds));
  d.ctx->fillPath(patch, fill);

  d.ctx->setColor(DrawColorFromRGB(pen));
  static const float kDash[] = {3.0f, 3.0f};
  StrokeStyle dashed = Solid(DrawColorFromRGB(pen));
  dashed.setDash(kDash, 2, 1.0f);
  BezierPath marks;
  switch (subtype) {
    case kDoorFrameOnly: case kDoorArchedOpening: case kDoorArchedOpeningLow:
      AddSegment(marks, h + PolarPlan(a + kQuarterTurn, t), f + PolarPlan(b - kQuarterTurn, t));
      AddSegment(marks, h + PolarPlan(a - kQuarterTurn, t), f + PolarPlan(b + kQuarterTurn, t));
      d.ctx->strokePath(marks, dashed);
      break;
    case kDoorSliding: case kDoorPocket: case kDoorBiFold:
      break;
    default:
      AddSegment(marks, h, f);
      d.ctx->strokePath(marks, dashed);
      break;
  }
  if (hinged) DrawDoorArc(handle, hx, hz, fx, fz, sx, sz, a, w, d.data->flipVertical, &pen);
}

void DrawDoorArc(DrawContext* handle, int32_t hingeX, int32_t hingeZ, int32_t, int32_t, int32_t swingX,
                 int32_t swingZ, float closedAngle, float width, int16_t swingSense, const RGBColor* color) {
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!CurDocState() || !color || !ctx) return;
  RECT square;
  square.left = static_cast<int32_t>(static_cast<float>(hingeX) - width);
  square.top = static_cast<int32_t>(static_cast<float>(hingeZ) - width);
  square.right = static_cast<int32_t>(static_cast<float>(hingeX) + width);
  square.bottom = static_cast<int32_t>(static_cast<float>(hingeZ) + width);
  InflateRect(&square, -3, -3);

  const PlanXZ hinge{static_cast<float>(hingeX), static_cast<float>(hingeZ)};
  const float s = AngleBetween(hinge, PlanXZ{static_cast<float>(swingX), static_cast<float>(swingZ)});
  float startDegrees = closedAngle * kDegreesPerRadian;
  if (startDegrees < 0) startDegrees += 360;

  // Offsets rounded to the nearest whole unit either way, so that the leaf starts 5.0 from
  // the hinge whichever way it opens.
  auto whole = [](PlanXZ v) { return PlanXZ{std::round(v.x), std::round(v.z)}; };
  const PlanXZ p = hinge + whole(PolarPlan(s, width + 5.0f));
  float toHinge = 0;
  const float back = AngleBetween(p, hinge, &toHinge);
  const PlanXZ q = p + whole(PolarPlan(back, toHinge - 5.0f));

  const float sTurned = s > std::numbers::pi_v<float> ? s - kTwoPi : s;
  const float cTurned = closedAngle > std::numbers::pi_v<float> ? closedAngle - kTwoPi : closedAngle;
  float sweep = (sTurned - cTurned) * kDegreesPerRadian;
  if (sweep < 0) sweep += 360;
  if (!(swingSense & kDoorSwingPositive)) sweep -= 360;
  const int32_t rounded = static_cast<int32_t>(sweep + 0.5f);
  if (!((rounded >= -179 && rounded <= -3) || (rounded >= 3 && rounded <= 180))) return;

  // The arc in the plan plane, in pieces of at most 90 degrees, each in as many straight steps
  // as a curved segment of the plan takes (8 to 20 with the zoom, half the resolution while
  // drawing in real time).
  const PlanXZ centre{(square.left + square.right) / 2.0f, (square.top + square.bottom) / 2.0f};
  const float radius = (square.right - square.left) / 2.0f;
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / 90.0f)));
  int32_t resolution = CurrentCurveSegments();
  if (gRealTimeDraw) resolution = std::max<int32_t>(resolution / 2, 1);
  const int steps = pieces * std::clamp<int32_t>(ZoomL(resolution), 8, 20);
  std::vector<NSPoint> segments;
  NSPoint previous = ViewPoint(centre + PolarPlan(startDegrees / kDegreesPerRadian, radius));
  for (int i = 1; i <= steps; ++i) {
    const float degrees = startDegrees + sweep * static_cast<float>(i) / static_cast<float>(steps);
    const NSPoint next = ViewPoint(centre + PolarPlan(degrees / kDegreesPerRadian, radius));
    segments.push_back(previous);
    segments.push_back(next);
    previous = next;
  }
  ctx->strokeLines(segments.data(), segments.size(), ctx->currentStroke());

  ctx->setColor(DrawColorFromRGB(*color));
  BezierPath leaf;
  AddSegment(leaf, q, p);
  ctx->strokePath(leaf, Solid(ctx->color()));
}

void DrawGarageDoor(DrawContext* handle, Objex* door) {
  DoorParts d;
  if (!GetDoorParts(handle, door, &d)) return;
  const float a = AngleBetween(d.first, d.second);
  const PlanXZ depth = PolarPlan(d.data->flipHorizontal ? a + kQuarterTurn : a - kQuarterTurn, d.data->height);
  BezierPath path;
  AddSegment(path, d.first, d.first + depth);
  AddSegment(path, d.second, d.second + depth);
  AddSegment(path, d.first + depth, d.second + depth);
  static const float kDash[] = {18.0f, 6.0f};
  StrokeStyle style = Solid(d.ctx->color());
  style.setDash(kDash, 2, 0);
  d.ctx->strokePath(path, style);
}

void DrawSlidingDoor(DrawContext* handle, Objex* door) {
  DoorParts d;
  if (!GetDoorParts(handle, door, &d)) return;
  const float t = HalfWallThickness(d);
  const PlanXZ a0 = d.data->flipHorizontal ? d.second : d.first;
  const PlanXZ b0 = d.data->flipHorizontal ? d.first : d.second;
  float w = 0;
  const float a = AngleBetween(a0, b0, &w);
  const StrokeStyle style = Solid(DrawColorFromRGB(gPlanDrawSettings.penColor));

  BezierPath path;
  const PlanXZ m = a0 + PolarPlan(a, 0.5f * w), n = PolarPlan(a + kQuarterTurn, t);
  AddSegment(path, m + n, m);
  AddSegment(path, m + n, a0 + n);
  AddSegment(path, m, a0);
  AddSegment(path, a0 + n, a0);
  d.ctx->strokePath(path, style);

  path.removeAllPoints();
  const PlanXZ q1 = a0 + PolarPlan(a, 0.25f * w), q3 = a0 + PolarPlan(a, 0.75f * w);
  const PlanXZ o = PolarPlan(a - kQuarterTurn, t);
  AddSegment(path, q1 + o, q1);
  AddSegment(path, q1 + o, q3 + o);
  AddSegment(path, q1, q3);
  AddSegment(path, q3 + o, q3);
  d.ctx->strokePath(path, style);
}

void DrawPocketDoor(DrawContext* handle, Objex* door) {
  DoorParts d;
  if (!GetDoorParts(handle, door, &d)) return;
  const float quarter = HalfWallThickness(d) / 2;
  const PlanXZ a0 = d.data->flipHorizontal ? d.first : d.second;
  const PlanXZ b0 = d.data->flipHorizontal ? d.second : d.first;
  float w = 0;
  const float a = AngleBetween(a0, b0, &w);
  const float b = AngleBetween(b0, a0);
  const PlanXZ r = a0 + PolarPlan(b, 0.5f * w), mid = a0 + PolarPlan(a, 0.5f * w);
  const PlanXZ n = PolarPlan(a + kQuarterTurn, quarter);

  BezierPath path;
  AddSegment(path, r + n, r - n);
  AddSegment(path, r + n, a0 + n);
  AddSegment(path, r - n, a0 - n);
  d.ctx->strokePath(path, Solid(DrawColorFromRGB(gPrinting ? kPaperWhite : PlanBackgroundColor(d.ds))));

  path.removeAllPoints();
  AddSegment(path, mid + n, mid - n);
  AddSegment(path, mid + n, a0 + n);
  AddSegment(path, mid - n, a0 - n);
  d.ctx->strokePath(path, Solid(DrawColorFromRGB(gPlanDrawSettings.penColor)));
}

void DrawBiFoldDoor(DrawContext* handle, Objex* door) {
  DoorParts d;
  if (!GetDoorParts(handle, door, &d)) return;
  float w = 0;
  const float a = AngleBetween(d.first, d.second, &w);
  const PlanXZ k = d.first + PolarPlan(a, 0.4f * w);
  const PlanXZ apex = k + PolarPlan(d.data->flipHorizontal ? a + kQuarterTurn : a - kQuarterTurn, 0.2f * w);
  const PlanXZ end = d.first + PolarPlan(a, 0.8f * w);
  BezierPath path;
  AddSegment(path, d.first, apex);
  AddSegment(path, apex, end);
  d.ctx->strokePath(path, Solid(DrawColorFromRGB(gPlanDrawSettings.penColor)));
}

void DrawWallFromPoints(DrawContext* handle, Objex* wall) {
  DocState* ds = CurDocState();
  if (!ds || !wall || wall->type != kObjWall) return;
  // Kept between walls: a redraw draws one after another.
  thread_local std::vector<PlanXZ> line, normals, left, right;
  thread_local std::vector<float> points;
  thread_local std::vector<uint32_t> ends;
  WallCentreLine(wall, line);
  if (line.size() < 2) return;
  const bool closed = wall->closed && line.size() > 2;
  const float half = ConvertWorldToScreen(wall->width, ds, 0) / 2;
  SegmentNormals(line, closed, normals);
  OffsetLine(line, normals, closed, half, left);
  OffsetLine(line, normals, closed, -half, right);
  // Both faces (the left one first) and the two ends, each face point projected once.
  const auto n = static_cast<uint32_t>(line.size());
  points.clear();
  ends.clear();
  for (const std::vector<PlanXZ>* face : {&left, &right})
    for (const PlanXZ& p : *face) points.insert(points.end(), {p.x, 0.0f, p.z});
  for (const uint32_t face : {0u, n}) {
    for (uint32_t i = 0; i + 1 < n; ++i) ends.insert(ends.end(), {face + i, face + i + 1});
    if (closed) ends.insert(ends.end(), {face + n - 1, face});
  }
  if (!closed) ends.insert(ends.end(), {0u, n, n - 1, 2 * n - 1});
  DrawLinesBetweenPoints(handle, points.data(), points.size() / 3, ends.data(), ends.size() / 2, wall);
  if (GetCurrentView() == kCmdViewTop) DrawWallSegmentDimensions(handle, wall);
}

void DrawWall(DrawContext* handle, float x1, float, float z1, float x2, float, float z2, float thickness,
              uint8_t dimensionSide) {
  if (!gCurDocument || !CurDocState()) return;
  ZLKDynamicDrawEngine* engine = MainViewDynamicDrawEngine();
  if (!engine) return;
  const PlanXZ p1{x1, z1}, p2{x2, z2};
  const float a = AngleBetween(p1, p2), b = AngleBetween(p2, p1);
  const float h = thickness * 0.5f;
  auto corner = [](PlanXZ p) { return RoundPoint(ProjectPlanPoint(p.x, p.z)); };
  const NSPoint c1 = corner(p1 + PolarPlan(a + kQuarterTurn, h)), c2 = corner(p2 + PolarPlan(b - kQuarterTurn, h));
  const NSPoint c3 = corner(p1 + PolarPlan(a - kQuarterTurn, h)), c4 = corner(p2 + PolarPlan(b + kQuarterTurn, h));
  engine->activePathMoveToPoint(c1);
  engine->activePathLineToPoint(c2);
  engine->activePathLineToPoint(c4);
  engine->activePathLineToPoint(c3);
  engine->closeActivePath();
  DrawDimensionLine(handle, x1, z1, x2, z2, x1, z1, x2, z2, dimensionSide, 5.0f, 1, engine, engine, 0, 0, 5.0f, 0,
                    nullptr);
  // The dimension line leaves the primary path active; the wall tool restores its own.
}
