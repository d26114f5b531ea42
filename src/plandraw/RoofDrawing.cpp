// Roofs in plan and the staircase arrowhead.
#include "plandraw/RoofDrawing.h"

#include <cmath>
#include <string>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "platform/Strings.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/DrawContext.h"
#include "plandraw/SlopeArrows.h"
#include "plandraw/SymbolGeometry.h"

namespace {

struct Point3 {
  float x, y, z;
};
Point3 Mid3(const Point3& a, const Point3& b, float height) { return {(a.x + b.x) / 2, height, (a.z + b.z) / 2}; }
Point3 Along(const Point3& p, float angle, float length) {
  const PlanPoint d = Polar(angle, length);
  return {p.x + d.x, p.y, p.z + d.z};
}
Point3 Position(const Poinz* p) { return {p->position[0], p->position[1], p->position[2]}; }

// The point `length` along `angle` from (x, z), worked in double precision.
FloatPoint AlongDouble(double x, double z, float angle, double length) {
  return {static_cast<float>(x + length * std::cos(static_cast<double>(angle))),
          static_cast<float>(z - length * std::sin(static_cast<double>(angle)))};
}

bool IsStyle(int style, std::initializer_list<int> styles) {
  for (int s : styles)
    if (s == style) return true;
  return false;
}

}  // namespace

void DrawRoof(DrawContext* handle, Objex* roof) {
  DocState* ds = CurDocState();
  if (!roof || !ds) return;
  const Poinz* pts[4];
  const Poinz* p = roof->firstPoint;
  for (int i = 0; i < 4; ++i, p = p->next) {
    if (!p) return;
    pts[i] = p;
  }
  const Point3 p1 = Position(pts[0]), p2 = Position(pts[1]), p3 = Position(pts[2]), p4 = Position(pts[3]);
  float span = 0;
  const float b = GetLineLengthAndAngle(p1.x, p1.z, p4.x, p4.z, &span);
  const float h = span * 0.5f;
  const float a = PlanAngle({p1.x, p1.z}, {p2.x, p2.z});
  Point3 ridgeA = Mid3(p1, p4, p1.y), ridgeB = Mid3(p2, p3, p2.y);
  const PlanPoint m{(ridgeA.x + ridgeB.x) / 2, (ridgeA.z + ridgeB.z) / 2};
  const float rise = (roof->width / 12.0f) * h;

  char readout[256] = {};
  ConvertInchesToStr(ConvertScreenToWorld(rise, ds, 0), readout);
  std::string ridgeSuffix = LocalizedString(", RidgeHt=%s");
  if (const size_t at = ridgeSuffix.find("%s"); at != std::string::npos) ridgeSuffix.replace(at, 2, readout);

  const int style = roof->textureID;
  const float back = a + 3.14159265f;
  {
    const float ridgeLength = std::hypot(p2.x - p1.x, p2.z - p1.z);
    float travelA = 0, travelB = 0;
    RoofRidgeEndTravel(style, ridgeLength, h, &travelA, &travelB);
    if (travelA != 0) ridgeA = travelA > 0 ? Along(ridgeA, a, travelA) : Along(ridgeA, back, -travelA);
    if (travelB != 0) ridgeB = travelB > 0 ? Along(ridgeB, a, travelB) : Along(ridgeB, back, -travelB);
  }

  const bool labels = ShowAutoDimensions(ds) != 0;
  BezierPath path;
  float guard1 = 0, guard2 = 0;
  auto label = [&](const Point3& from, const Point3& to, uint8_t side, const char* suffix) {
    DrawDimensionLine(handle, from.x, from.z, to.x, to.z, from.x, from.z, to.x, to.z, side, 5.0f, 0, &guard1, &guard2,
                      0, 0, 5.0f, 1, suffix);
  };
  // A line of the symbol, then (when labels show and the line has one) its label.
  auto line = [&](const Point3& from, const Point3& to, int labelSide) {
    NSPoint va, vb;
    ProjectLine(from.x, from.y, from.z, to.x, to.y, to.z, true, &va, &vb);
    path.moveToPoint(va);
    path.lineToPoint(vb);
    if (labels && labelSide >= 0) label(from, to, static_cast<uint8_t>(labelSide), nullptr);
  };
  line(p1, p2, 0);
  line(p3, p4, 0);
  if (IsStyle(style, {kRoofHip, kRoofGable, kRoofHipAndGable}))
    line(p1, p4, IsStyle(style, {kRoofHip, kRoofHipAndGable}) ? 1 : -1);
  if (IsStyle(style, {kRoofHip, kRoofGable, kRoofHipAndGable, kRoofGableOneEnd, kRoofHipOneEnd}))
    line(p2, p3, IsStyle(style, {kRoofHip, kRoofHipOneEnd}) ? 0 : -1);
  line(p1, ridgeA, 1);
  line(p4, ridgeA, 0);
  line(p2, ridgeB, 0);
  line(p3, ridgeB, 1);
  line(ridgeA, ridgeB, -1);
  StrokeSymbolPath(ResolveDrawContext(handle), path);
  if (labels) label(ridgeA, ridgeB, 1, ridgeSuffix.c_str());

  if (style < kRoofHip || style > kRoofRidgeOnly) return;
  const double d = (static_cast<double>(h) - 80.0) * 0.5;
  auto arrow = [&](double x, double z, float angle) {
    const FloatPoint tail = AlongDouble(x, z, angle, d), head = AlongDouble(x, z, angle, d + 80.0);
    DrawCannedRoofSlopeArrow(handle, roof, &tail, &head);
  };
  arrow(m.x, m.z, b);
  arrow(m.x, m.z, b + 3.14159265f);
  if (style == kRoofHip || style == kRoofHipAndGable) arrow(ridgeA.x, ridgeA.z, back);
  if (style == kRoofHip || style == kRoofHipOneEnd) arrow(ridgeB.x, ridgeB.z, a);
}

void DrawStairArrowhead(DrawContext* handle, Objex* object, float tipX, float tipY, float tailX, float tailY) {
  DrawContext* ctx = ResolveDrawContext(handle);
  if (!CurDocState() || !ctx) return;
  float length = 0;
  const float angle = GetLineLengthAndAngle(tipX, tipY, tailX, tailY, &length);
  const float barb = ZoomF(50.0f);
  auto view = [](float x, float y) {
    if (gPrinting) x *= gHPrintScale, y *= gVPrintScale;
    return NSPoint{WholeCoordinate(x), WholeCoordinate(y)};
  };
  BezierPath path;
  for (float side : {0.4363323129985824f, -0.4363323129985824f}) {
    float dx = 0, dy = 0;
    GetPointFromLengthAndAngle(angle + side, barb, &dx, &dy);
    path.moveToPoint(view(tipX, tipY));
    path.lineToPoint(view(tipX + dx, tipY + dy));
  }
  StrokeSymbolPath(ctx, path);
}
