// Integer polygon regions: the cells of a 16-bit integer grid covered by one or more closed
// polygons (even-odd rule over all their edges), with union, intersection, equality by covered
// area, emptiness and point tests. A cell (x, y) is covered when its centre (x + 0.5, y + 0.5)
// lies inside, so shapes that only share a border do not intersect.
#pragma once
#include <cstdint>
#include <vector>

struct RegionPoint {
  int32_t x, y;
};

class PolygonRegion {
 public:
  PolygonRegion() = default;
  // One closed polygon (the last point joins the first); empty with fewer than 3 points.
  static PolygonRegion FromPolygon(const std::vector<RegionPoint>& points);
  // Several closed polygons at once, each closed on itself.
  static PolygonRegion FromPolygons(const std::vector<std::vector<RegionPoint>>& polygons);
  // A coordinate as regions take it: truncated toward zero, saturated at +-32767 (NaN is 0).
  static int32_t Coordinate(float value);

  PolygonRegion united(const PolygonRegion& other) const;
  PolygonRegion intersected(const PolygonRegion& other) const;
  bool intersects(const PolygonRegion& other) const;
  // Whether this region holds every cell of `inner` (union equals this region).
  bool contains(const PolygonRegion& inner) const;
  bool contains(int32_t x, int32_t y) const;
  bool isEmpty() const { return spans_.empty(); }
  bool operator==(const PolygonRegion& other) const;
  bool operator!=(const PolygonRegion& other) const { return !(*this == other); }
  // Number of covered cells.
  int64_t area() const;

 private:
  struct Span {
    int32_t y, x0, x1;  // cells x0 .. x1 - 1 of row y
    bool operator==(const Span& o) const { return y == o.y && x0 == o.x0 && x1 == o.x1; }
  };
  template <typename Combine>
  static PolygonRegion Merge(const PolygonRegion& a, const PolygonRegion& b, Combine combine);
  std::vector<Span> spans_;  // by row, then by x; disjoint and not touching within a row
};
