// The vector path of the drawing layer: construction, bounds and flattening.
#include "plandraw/BezierPath.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// Control distance of a cubic that approximates a quarter circle.
constexpr double kKappa = 0.5522847498307936;

NSPoint CubicPoint(NSPoint p0, NSPoint c1, NSPoint c2, NSPoint p1, double t) {
  double u = 1 - t;
  double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {static_cast<float>(a * p0.x + b * c1.x + c * c2.x + d * p1.x),
          static_cast<float>(a * p0.y + b * c1.y + c * c2.y + d * p1.y)};
}

// Parameters in (0, 1) where one coordinate of the cubic has a turning point.
int CubicExtrema(double p0, double c1, double c2, double p1, double out[2]) {
  double a = -p0 + 3 * c1 - 3 * c2 + p1, b = 2 * (p0 - 2 * c1 + c2), c = c1 - p0;
  int n = 0;
  auto keep = [&](double t) {
    if (t > 0 && t < 1) out[n++] = t;
  };
  if (std::fabs(a) < 1e-12) {
    if (std::fabs(b) > 1e-12) keep(-c / b);
    return n;
  }
  double disc = b * b - 4 * a * c;
  if (disc < 0) return 0;
  double s = std::sqrt(disc);
  keep((-b + s) / (2 * a));
  keep((-b - s) / (2 * a));
  return n;
}

}  // namespace

void BezierPath::moveToPoint(NSPoint p) {
  elements_.push_back({ElementKind::MoveTo, {p, {}, {}}});
  current_ = subpathStart_ = p;
  hasCurrentPoint_ = true;
}

void BezierPath::lineToPoint(NSPoint p) {
  if (!hasCurrentPoint_) {
    moveToPoint(p);
    return;
  }
  elements_.push_back({ElementKind::LineTo, {p, {}, {}}});
  current_ = p;
}

void BezierPath::curveToPoint(NSPoint end, NSPoint control1, NSPoint control2) {
  if (!hasCurrentPoint_) moveToPoint(control1);
  elements_.push_back({ElementKind::CurveTo, {control1, control2, end}});
  current_ = end;
}

void BezierPath::closePath() {
  if (!hasCurrentPoint_) return;
  elements_.push_back({ElementKind::Close, {}});
  current_ = subpathStart_;
}

void BezierPath::appendArcWithCenter(NSPoint centre, float radius, float startAngle, float endAngle) {
  if (!std::isfinite(radius) || !std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
  double start = startAngle, end = endAngle;
  // Counter-clockwise: the end is brought to at most one turn after the start.
  double sweep = std::fmod(end - start, 360.0);
  if (sweep < 0) sweep += 360.0;
  if (sweep == 0 && end != start) sweep = 360.0;
  auto at = [&](double deg) {
    double a = deg * kDegToRad;
    return NSPoint{static_cast<float>(centre.x + radius * std::cos(a)),
                   static_cast<float>(centre.y + radius * std::sin(a))};
  };
  NSPoint first = at(start);
  if (hasCurrentPoint_) lineToPoint(first);
  else moveToPoint(first);
  int pieces = std::max(1, static_cast<int>(std::ceil(sweep / 90.0)));
  double step = sweep / pieces;
  for (int i = 0; i < pieces; ++i) {
    double a0 = (start + i * step) * kDegToRad, a1 = (start + (i + 1) * step) * kDegToRad;
    double k = 4.0 / 3.0 * std::tan((a1 - a0) / 4.0) * radius;
    NSPoint p1 = at(start + (i + 1) * step);
    NSPoint c1{static_cast<float>(centre.x + radius * std::cos(a0) - k * std::sin(a0)),
               static_cast<float>(centre.y + radius * std::sin(a0) + k * std::cos(a0))};
    NSPoint c2{static_cast<float>(p1.x + k * std::sin(a1)), static_cast<float>(p1.y - k * std::cos(a1))};
    curveToPoint(p1, c1, c2);
  }
}

void BezierPath::appendRect(const NSRect& r) {
  moveToPoint({NSMinX(r), NSMinY(r)});
  lineToPoint({NSMaxX(r), NSMinY(r)});
  lineToPoint({NSMaxX(r), NSMaxY(r)});
  lineToPoint({NSMinX(r), NSMaxY(r)});
  closePath();
}

void BezierPath::appendOvalInRect(const NSRect& r) {
  float cx = NSMidX(r), cy = NSMidY(r);
  float rx = r.size.width / 2, ry = r.size.height / 2;
  float kx = static_cast<float>(rx * kKappa), ky = static_cast<float>(ry * kKappa);
  moveToPoint({cx + rx, cy});
  curveToPoint({cx, cy + ry}, {cx + rx, cy + ky}, {cx + kx, cy + ry});
  curveToPoint({cx - rx, cy}, {cx - kx, cy + ry}, {cx - rx, cy + ky});
  curveToPoint({cx, cy - ry}, {cx - rx, cy - ky}, {cx - kx, cy - ry});
  curveToPoint({cx + rx, cy}, {cx + kx, cy - ry}, {cx + rx, cy - ky});
  closePath();
}

void BezierPath::appendLine(NSPoint from, NSPoint to) {
  moveToPoint(from);
  lineToPoint(to);
}

void BezierPath::removeAllPoints() {
  elements_.clear();
  hasCurrentPoint_ = false;
  current_ = subpathStart_ = {};
}

NSRect BezierPath::bounds() const {
  if (elements_.empty()) return NSZeroRect;
  float left = std::numeric_limits<float>::max(), top = left;
  float right = -left, bottom = -left;
  auto grow = [&](NSPoint p) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  };
  NSPoint cur{};
  for (const Element& e : elements_) {
    switch (e.kind) {
      case ElementKind::MoveTo:
      case ElementKind::LineTo:
        cur = e.points[0];
        grow(cur);
        break;
      case ElementKind::CurveTo: {
        grow(e.points[2]);
        double ts[4];
        int n = CubicExtrema(cur.x, e.points[0].x, e.points[1].x, e.points[2].x, ts);
        n += CubicExtrema(cur.y, e.points[0].y, e.points[1].y, e.points[2].y, ts + n);
        for (int i = 0; i < n; ++i) grow(CubicPoint(cur, e.points[0], e.points[1], e.points[2], ts[i]));
        cur = e.points[2];
        break;
      }
      case ElementKind::Close:
        break;
    }
  }
  return NSMakeRect(left, top, right - left, bottom - top);
}

std::vector<std::vector<NSPoint>> BezierPath::flattened(int curveSteps) const {
  std::vector<std::vector<NSPoint>> out;
  if (curveSteps < 1) curveSteps = 1;
  NSPoint cur{};
  for (const Element& e : elements_) {
    switch (e.kind) {
      case ElementKind::MoveTo:
        out.push_back({e.points[0]});
        cur = e.points[0];
        break;
      case ElementKind::LineTo:
        if (out.empty()) out.push_back({cur});
        out.back().push_back(e.points[0]);
        cur = e.points[0];
        break;
      case ElementKind::CurveTo:
        if (out.empty()) out.push_back({cur});
        for (int i = 1; i <= curveSteps; ++i)
          out.back().push_back(
              CubicPoint(cur, e.points[0], e.points[1], e.points[2], static_cast<double>(i) / curveSteps));
        cur = e.points[2];
        break;
      case ElementKind::Close:
        if (!out.empty() && !out.back().empty()) {
          NSPoint first = out.back().front();
          out.back().push_back(first);
          cur = first;
          out.push_back({first});  // a following line starts a new subpath at the start point
        }
        break;
    }
  }
  // Drop subpaths that are a lone point left by a close or a move.
  std::vector<std::vector<NSPoint>> kept;
  for (auto& poly : out)
    if (poly.size() > 1) kept.push_back(std::move(poly));
  return kept;
}

void BezierPath::setLineDash(const float* lengths, int count, float phase) {
  dash_.clear();
  if (lengths && count > 0) dash_.assign(lengths, lengths + count);
  dashPhase_ = phase;
}
