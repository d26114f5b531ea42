// Scan conversion of polygons into row spans and the span algebra of regions.
#include "platform/PolygonRegion.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kLimit = 32767;

// Cells of a row between two crossings: those whose centres lie in [a, b).
void CellsBetween(double a, double b, int32_t* x0, int32_t* x1) {
  *x0 = static_cast<int32_t>(std::ceil(a - 0.5));
  *x1 = static_cast<int32_t>(std::ceil(b - 0.5));
}

}  // namespace

int32_t PolygonRegion::Coordinate(float value) {
  if (!(value == value)) return 0;
  if (value >= static_cast<float>(kLimit)) return kLimit;
  if (value <= -static_cast<float>(kLimit)) return -kLimit;
  return static_cast<int32_t>(value);  // toward zero
}

PolygonRegion PolygonRegion::FromPolygon(const std::vector<RegionPoint>& points) {
  return FromPolygons({points});
}

PolygonRegion PolygonRegion::FromPolygons(const std::vector<std::vector<RegionPoint>>& polygons) {
  PolygonRegion region;
  int32_t top = kLimit + 1, bottom = -kLimit - 1;
  for (const auto& poly : polygons) {
    if (poly.size() < 3) continue;
    for (const RegionPoint& p : poly) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  if (top >= bottom) return region;
  // Crossings of each row's centre line, gathered edge by edge (work grows with the outline).
  std::vector<std::vector<double>> crossings(static_cast<size_t>(bottom - top));
  for (const auto& poly : polygons) {
    if (poly.size() < 3) continue;
    const size_t n = poly.size();
    for (size_t i = 0; i < n; ++i) {
      const RegionPoint& a = poly[i];
      const RegionPoint& b = poly[(i + 1) % n];
      if (a.y == b.y) continue;
      const RegionPoint& lo = a.y < b.y ? a : b;
      const RegionPoint& hi = a.y < b.y ? b : a;
      // Rows whose centre y + 0.5 lies in [lo.y, hi.y): rows lo.y .. hi.y - 1.
      const double slope = static_cast<double>(hi.x - lo.x) / static_cast<double>(hi.y - lo.y);
      for (int32_t y = lo.y; y < hi.y; ++y) {
        const double x = lo.x + (y + 0.5 - lo.y) * slope;
        crossings[static_cast<size_t>(y - top)].push_back(x);
      }
    }
  }
  for (size_t row = 0; row < crossings.size(); ++row) {
    auto& xs = crossings[row];
    std::sort(xs.begin(), xs.end());
    const int32_t y = top + static_cast<int32_t>(row);
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
      int32_t x0 = 0, x1 = 0;
      CellsBetween(xs[k], xs[k + 1], &x0, &x1);
      if (x1 <= x0) continue;
      if (!region.spans_.empty() && region.spans_.back().y == y && region.spans_.back().x1 >= x0) {
        region.spans_.back().x1 = std::max(region.spans_.back().x1, x1);
      } else {
        region.spans_.push_back({y, x0, x1});
      }
    }
  }
  return region;
}

template <typename Combine>
PolygonRegion PolygonRegion::Merge(const PolygonRegion& a, const PolygonRegion& b, Combine combine) {
  PolygonRegion out;
  size_t i = 0, j = 0;
  std::vector<std::pair<int32_t, int32_t>> rowA, rowB, result;
  while (i < a.spans_.size() || j < b.spans_.size()) {
    int32_t y = 0;
    if (i < a.spans_.size() && j < b.spans_.size()) y = std::min(a.spans_[i].y, b.spans_[j].y);
    else y = i < a.spans_.size() ? a.spans_[i].y : b.spans_[j].y;
    rowA.clear();
    rowB.clear();
    while (i < a.spans_.size() && a.spans_[i].y == y) rowA.emplace_back(a.spans_[i].x0, a.spans_[i].x1), ++i;
    while (j < b.spans_.size() && b.spans_[j].y == y) rowB.emplace_back(b.spans_[j].x0, b.spans_[j].x1), ++j;
    result.clear();
    combine(rowA, rowB, &result);
    for (auto [x0, x1] : result) out.spans_.push_back({y, x0, x1});
  }
  return out;
}

PolygonRegion PolygonRegion::united(const PolygonRegion& other) const {
  return Merge(*this, other, [](const auto& a, const auto& b, auto* out) {
    std::vector<std::pair<int32_t, int32_t>> all(a);
    all.insert(all.end(), b.begin(), b.end());
    std::sort(all.begin(), all.end());
    for (auto s : all) {
      if (!out->empty() && out->back().second >= s.first) out->back().second = std::max(out->back().second, s.second);
      else out->push_back(s);
    }
  });
}

PolygonRegion PolygonRegion::intersected(const PolygonRegion& other) const {
  return Merge(*this, other, [](const auto& a, const auto& b, auto* out) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
      const int32_t lo = std::max(a[i].first, b[j].first), hi = std::min(a[i].second, b[j].second);
      if (lo < hi) out->emplace_back(lo, hi);
      if (a[i].second < b[j].second) ++i;
      else ++j;
    }
  });
}

bool PolygonRegion::intersects(const PolygonRegion& other) const {
  // Walks both span lists in step; stops at the first shared cell.
  size_t i = 0, j = 0;
  while (i < spans_.size() && j < other.spans_.size()) {
    const Span& a = spans_[i];
    const Span& b = other.spans_[j];
    if (a.y != b.y) {
      if (a.y < b.y) ++i;
      else ++j;
      continue;
    }
    if (std::max(a.x0, b.x0) < std::min(a.x1, b.x1)) return true;
    if (a.x1 < b.x1) ++i;
    else ++j;
  }
  return false;
}

bool PolygonRegion::contains(const PolygonRegion& inner) const { return united(inner) == *this; }

bool PolygonRegion::contains(int32_t x, int32_t y) const {
  auto it = std::lower_bound(spans_.begin(), spans_.end(), y, [](const Span& s, int32_t row) { return s.y < row; });
  for (; it != spans_.end() && it->y == y; ++it)
    if (x >= it->x0 && x < it->x1) return true;
  return false;
}

bool PolygonRegion::operator==(const PolygonRegion& other) const { return spans_ == other.spans_; }

int64_t PolygonRegion::area() const {
  int64_t n = 0;
  for (const Span& s : spans_) n += s.x1 - s.x0;
  return n;
}
