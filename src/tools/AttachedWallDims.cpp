// Attached wall dimensions: measuring to the facing wall and keeping the points in step.
#include "tools/AttachedWallDims.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/WallFields.h"
#include "tools/WallAttachmentPlacement.h"

namespace {

constexpr float kDimensionReach = 32000.0f;
constexpr float kNoFacingWall = 30000.0f;
constexpr float kMinimumDepth = 10.0f;
constexpr float kQuarterTurn = 1.57079632679f;
// Fewer dimensions than this are measured by walking the floor's walls.
constexpr size_t kGridFromDimensions = 4;

float Distance(float x1, float z1, float x2, float z2) { return std::hypot(x2 - x1, z2 - z1); }

// True only when Distance(x1, z1, x2, z2) > limit for certain: decided from the square of the
// same differences in double where it lies clearly beyond the limit's square (hypot of normal
// lengths is within an ulp of the true length, far inside the margin); false wherever Distance
// must decide (tiny limits, not-a-number, lengths near the limit).
bool SurelyBeyond(float x1, float z1, float x2, float z2, float limit) {
  const float dx = x2 - x1, dz = z2 - z1;
  const double squared = static_cast<double>(dx) * dx + static_cast<double>(dz) * dz;
  const double l = limit;
  return l > 1e-30 && squared > l * l * (1 + 1e-5);
}

}  // namespace

namespace {

// The search of one dimension's ray from (mx, mz) toward (fx, fz) for the nearest wall segment
// it crosses. Segments may be offered in any order: of equal distances the one first in the
// floor's list wins, as in a walk of the floor.
struct FacingWallSearch {
  float mx, mz, fx, fz, reach;
  const Poinz* pointA;
  const Poinz* pointB;
  float best = 0, bestX = 0, bestZ = 0;
  Objex* winner = nullptr;
  size_t winnerOrder = 0;
  float slope = 0;  // of the ray, once taken
  bool haveSlope = false;

  void consider(const Poinz* p, const Poinz* q, Objex* wall, size_t order) {
    considerAt(p, q, p->position[0], p->position[2], q->position[0], q->position[2], wall, order);
  }

  // The segment p-q as if its ends lay at (px, pz) and (qx, qz).
  void considerAt(const Poinz* p, const Poinz* q, float px, float pz, float qx, float qz, Objex* wall,
                  size_t order) {
    considerMeasured(p, q, px, pz, qx, qz, Distance(px, pz, qx, qz), wall, order);
  }

  // The same with the segment's length already measured (Distance of its ends).
  void considerMeasured(const Poinz* p, const Poinz* q, float px, float pz, float qx, float qz, float segment,
                        Objex* wall, size_t order) {
    if ((p == pointA && q == pointB) || (p == pointB && q == pointA)) return;
    // Parallel lines never meet: no candidate.
    const float cross = (fx - mx) * (qz - pz) - (fz - mz) * (qx - px);
    if (std::fabs(cross) < 1e-6f) return;
    if (segment <= 1) return;
    float ix = 0, iz = 0;
    // GetIntersection(mx, mz, fx, fz, px, pz, qx, qz), the ray's slope taken once.
    if (!haveSlope) {
      slope = GetSlope(mx, mz, fx, fz);
      haveSlope = true;
    }
    GetIntersectionWithSlope(slope, mx, mz, px, pz, qx, qz, &ix, &iz);
    // Most segments offered fail one of the tests below by far: those are turned away without
    // measuring lengths; the rest are measured as they always were.
    if (SurelyBeyond(px, pz, ix, iz, segment - 1) || SurelyBeyond(qx, qz, ix, iz, segment - 1) ||
        SurelyBeyond(mx, mz, ix, iz, reach + 20) || SurelyBeyond(fx, fz, ix, iz, reach) ||
        (winner && SurelyBeyond(mx, mz, ix, iz, best)))
      return;
    const float fromM = Distance(mx, mz, ix, iz);
    if (fromM > reach + 20) return;
    if (Distance(fx, fz, ix, iz) > reach) return;  // behind the start
    if (winner && (fromM > best || (fromM == best && order > winnerOrder))) return;
    if (Distance(px, pz, ix, iz) >= segment - 1 || Distance(qx, qz, ix, iz) >= segment - 1) return;
    winner = wall;
    winnerOrder = order;
    best = fromM;
    bestX = ix;
    bestZ = iz;
  }

  // `to` pulled back onto the winner; its thickness, or 0.
  float finish(FloatPoint* to) const {
    if (!winner || best > reach + 20) return 0;
    const float length = std::max(best, kMinimumDepth);
    float dx = bestX - mx, dz = bestZ - mz;
    const float d = std::hypot(dx, dz);
    if (d > 0) {
      dx /= d;
      dz /= d;
    } else {
      dx = (fx - mx) / reach;
      dz = (fz - mz) / reach;
    }
    float nx = mx + dx * length, nz = mz + dz * length;
    // Near-axis dimensions come out exactly horizontal or vertical.
    if (std::fabs(nx - mx) <= 1) nx = mx;
    if (std::fabs(nz - mz) <= 1) nz = mz;
    to->floatH = nx;
    to->floatV = nz;
    return winner->width;
  }
};

// Calls f(p, q, wall) for every wall segment of the layer, in the floor's order (a closed
// wall's closing segment last).
template <typename F>
void ForEachWallSegmentIn(Objex* first, const Objex* end, F&& f) {
  for (Objex* wall = first; wall && wall != end; wall = wall->next) {
    if (wall->type != kObjWall || !wall->firstPoint) continue;
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      Poinz* q = p->next;
      if (!q) {
        if (!wall->closed || p == wall->firstPoint) break;
        q = wall->firstPoint;
      }
      f(p, q, wall);
    }
  }
}

template <typename F>
void ForEachWallSegment(Layer* layer, F&& f) {
  ForEachWallSegmentIn(layer->firstObject, nullptr, f);
}

// A segment and its end points' plan coordinates, copied so that a search reads one array
// rather than the points themselves.
struct SegmentCopy {
  Poinz* p;
  Poinz* q;
  Objex* wall;
  float px, pz, qx, qz;
  float length;  // measured when a ray first meets it (negative until then)

  static SegmentCopy Of(Poinz* p, Poinz* q, Objex* wall) {
    return {p, q, wall, p->position[0], p->position[2], q->position[0], q->position[2], -1.0f};
  }
};

}  // namespace

// The wall segments of a floor in square cells, for measuring many dimensions against the same
// walls: each ray visits only the cells along it (with their neighbours) up to the nearest
// wall it meets, and finds what a walk of every segment finds.
class WallSegmentGrid {
 public:
  explicit WallSegmentGrid(Layer* layer) : WallSegmentGrid(layer->firstObject, nullptr) {}
  // The segments of the walls from `first` up to (not including) `end`.
  WallSegmentGrid(Objex* first, const Objex* end) {
    takeSpareRoom();
    segments_.clear();
    ForEachWallSegmentIn(first, end, [this](Poinz* p, Poinz* q, Objex* wall) {
      segments_.push_back(SegmentCopy::Of(p, q, wall));
    });
    index();
  }
  // The grid of segments already copied, in the floor's order: they are taken from
  // `*segments`, which is left with room for the next copy.
  explicit WallSegmentGrid(std::vector<SegmentCopy>* segments) {
    takeSpareRoom();
    segments_.swap(*segments);
    segments->clear();
    index();
  }
  // Segments copied before, in the floor's order, the first of them `base` segments into the
  // floor (the order a search is offered them in).
  WallSegmentGrid(std::vector<SegmentCopy> segments, size_t base) : segments_(std::move(segments)), base_(base) {
    index();
  }
  ~WallSegmentGrid() {
    Buffers& spare = Spare();
    spare.segments.swap(segments_);
    spare.starts.swap(starts_);
    spare.entries.swap(entries_);
    spare.seen.swap(seen_);
    spare.fill.swap(fill_);
  }
  WallSegmentGrid(const WallSegmentGrid&) = delete;
  WallSegmentGrid& operator=(const WallSegmentGrid&) = delete;

  bool usable() const { return usable_; }
  // Segments whose flag (by their order in the floor) is set are passed over.
  void passOver(const std::vector<uint8_t>* gone) { gone_ = gone; }
  size_t size() const { return segments_.size(); }
  size_t base() const { return base_; }
  const std::vector<SegmentCopy>& segments() const { return segments_; }

 private:
  // The room of the last grid is reused: a floor's refresh makes one of every wall segment.
  void takeSpareRoom() {
    Buffers& spare = Spare();
    segments_.swap(spare.segments);
    starts_.swap(spare.starts);
    entries_.swap(spare.entries);
    seen_.swap(spare.seen);
    fill_.swap(spare.fill);
    fill_.clear();
  }

  // Puts the segments in their cells.
  void index() {
    if (segments_.empty()) return;
    float x0 = segments_[0].px, z0 = segments_[0].pz, x1 = x0, z1 = z0;
    for (const Segment& s : segments_) {
      x0 = std::min(x0, s.px), x1 = std::max(x1, s.px);
      z0 = std::min(z0, s.pz), z1 = std::max(z1, s.pz);
      x0 = std::min(x0, s.qx), x1 = std::max(x1, s.qx);
      z0 = std::min(z0, s.qz), z1 = std::max(z1, s.qz);
    }
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(z0) || !std::isfinite(z1)) {
      segments_.clear();
      usable_ = false;
      return;
    }
    const float extent = std::max(x1 - x0, z1 - z0);
    cell_ = std::max(extent / std::sqrt(static_cast<float>(segments_.size())), kLeastCell);
    // Each side is kept at most kMostCells cells.
    cell_ = std::max(cell_, extent / static_cast<float>(kMostCells - 4));
    // One cell of margin around the segments on every side.
    originX_ = x0 - cell_;
    originZ_ = z0 - cell_;
    columns_ = static_cast<int>((x1 - originX_) / cell_) + 2;
    rows_ = static_cast<int>((z1 - originZ_) / cell_) + 2;
    starts_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_) + 1, 0);
    // Each segment lies in the cells of its bounds widened by half a cell.
    auto cellsOf = [this](const Segment& s, auto&& g) {
      const float margin = cell_ / 2;
      const int c0 = column(std::min(s.px, s.qx) - margin);
      const int c1 = column(std::max(s.px, s.qx) + margin);
      const int r0 = row(std::min(s.pz, s.qz) - margin);
      const int r1 = row(std::max(s.pz, s.qz) + margin);
      for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) g(static_cast<size_t>(r) * static_cast<size_t>(columns_) + static_cast<size_t>(c));
    };
    for (const Segment& s : segments_) cellsOf(s, [this](size_t cell) { ++starts_[cell + 1]; });
    for (size_t i = 1; i < starts_.size(); ++i) starts_[i] += starts_[i - 1];
    entries_.resize(starts_.back());
    fill_.assign(starts_.begin(), starts_.end() - 1);
    for (size_t i = 0; i < segments_.size(); ++i)
      cellsOf(segments_[i], [&](size_t cell) { entries_[fill_[cell]++] = static_cast<uint32_t>(i); });
    seen_.assign(segments_.size(), 0);
    // Lines that never meet are put at (32000, 32000): a segment whose span holds that point
    // can be taken by a ray parallel to it however far off it lies, so every ray is offered it.
    farMeets_.clear();
    for (size_t i = 0; i < segments_.size(); ++i) {
      const Segment& g = segments_[i];
      const float span = Distance(g.px, g.pz, g.qx, g.qz) + 1;
      if (Distance(g.px, g.pz, kNowhere, kNowhere) < span && Distance(g.qx, g.qz, kNowhere, kNowhere) < span)
        farMeets_.push_back(static_cast<uint32_t>(i));
    }
  }

 public:
  // The segments the ray may meet, nearest cells first, until none left can beat the winner.
  void search(FacingWallSearch* s) {
    if (segments_.empty()) return;
    if (++stamp_ == 0) {
      std::fill(seen_.begin(), seen_.end(), 0);
      stamp_ = 1;
    }
    const float ux = (s->fx - s->mx) / s->reach, uz = (s->fz - s->mz) / s->reach;
    if (!std::isfinite(s->mx) || !std::isfinite(s->mz) || !std::isfinite(ux) || !std::isfinite(uz) ||
        !std::isfinite(s->reach)) {
      // A ray the grid cannot follow: every segment, in the floor's order.
      for (size_t i = 0; i < segments_.size(); ++i) offer(s, i);
      return;
    }
    for (const uint32_t i : farMeets_) {
      seen_[i] = stamp_;
      offer(s, i);
    }
    // The ray's stretch inside the grid, from its start to the farthest a candidate can lie.
    float t0 = 0, t1 = s->reach + 20;
    if (!clip(s->mx, ux, originX_, originX_ + static_cast<float>(columns_) * cell_, &t0, &t1) ||
        !clip(s->mz, uz, originZ_, originZ_ + static_cast<float>(rows_) * cell_, &t0, &t1))
      return;
    // Samples half a cell apart: the 3 x 3 cells about each sample cover everything within
    // half a cell of the ray between it and the next sample.
    const float step = cell_ / 2;
    // Within the grid the ray is at most its diagonal long: 2 (columns + rows) steps.
    const double span = std::ceil((static_cast<double>(t1) - t0) / step);
    const long most = 2L * (columns_ + rows_) + 2;
    const long steps = span < static_cast<double>(most) ? static_cast<long>(span) : most;
    int lastC = -1, lastR = -1;
    for (long k = 0; k <= steps; ++k) {
      const float at = k == steps ? t1 : std::min(t0 + static_cast<float>(k) * step, t1);
      // Every segment not yet offered meets the ray farther than `at`.
      if (s->winner && at > s->best) return;
      const int c = column(s->mx + ux * at), r = row(s->mz + uz * at);
      if (c != lastC || r != lastR) {
        for (int dr = -1; dr <= 1; ++dr)
          for (int dc = -1; dc <= 1; ++dc) visit(s, c + dc, r + dr);
        lastC = c, lastR = r;
      }
    }
  }

 private:
  using Segment = SegmentCopy;

  void offer(FacingWallSearch* s, size_t i) {
    if (gone_ && (*gone_)[base_ + i]) return;
    Segment& g = segments_[i];
    if (!(g.length >= 0)) g.length = Distance(g.px, g.pz, g.qx, g.qz);
    s->considerMeasured(g.p, g.q, g.px, g.pz, g.qx, g.qz, g.length, g.wall, base_ + i);
  }
  static constexpr float kLeastCell = 8.0f;
  static constexpr float kNowhere = 32000.0f;
  static constexpr int kMostCells = 2048;

  int column(float x) const {
    return std::clamp(static_cast<int>(std::floor((x - originX_) / cell_)), 0, columns_ - 1);
  }
  int row(float z) const { return std::clamp(static_cast<int>(std::floor((z - originZ_) / cell_)), 0, rows_ - 1); }

  // Narrows [t0, t1] to where origin + u t lies in [lo, hi]; false when nothing is left.
  static bool clip(float origin, float u, float lo, float hi, float* t0, float* t1) {
    if (u == 0) return origin >= lo && origin <= hi;
    float a = (lo - origin) / u, b = (hi - origin) / u;
    if (a > b) std::swap(a, b);
    *t0 = std::max(*t0, a);
    *t1 = std::min(*t1, b);
    return *t0 <= *t1;
  }

  void visit(FacingWallSearch* s, int c, int r) {
    if (c < 0 || r < 0 || c >= columns_ || r >= rows_) return;
    const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(columns_) + static_cast<size_t>(c);
    for (uint32_t k = starts_[cell]; k < starts_[cell + 1]; ++k) {
      const uint32_t i = entries_[k];
      if (seen_[i] == stamp_) continue;
      seen_[i] = stamp_;
      offer(s, i);
    }
  }

  struct Buffers {
    std::vector<Segment> segments;
    std::vector<uint32_t> starts, entries, seen, fill;
  };
  static Buffers& Spare() {
    thread_local Buffers spare;
    return spare;
  }

  std::vector<Segment> segments_;
  std::vector<uint32_t> starts_, entries_, seen_, fill_;
  std::vector<uint32_t> farMeets_;  // segments whose span holds (kNowhere, kNowhere)
  size_t base_ = 0;
  const std::vector<uint8_t>* gone_ = nullptr;
  uint32_t stamp_ = 0;
  float originX_ = 0, originZ_ = 0, cell_ = kLeastCell;
  int columns_ = 0, rows_ = 0;
  bool usable_ = true;
};

namespace {

// The search and its ray for one dimension; false when the ray has no length.
bool StartSearch(FloatPoint* from, FloatPoint* to, Poinz* pointA, Poinz* pointB, FacingWallSearch* s) {
  if (!from || !to) return false;
  *s = FacingWallSearch{from->floatH, from->floatV, to->floatH, to->floatV, 0, pointA, pointB};
  s->reach = Distance(s->mx, s->mz, s->fx, s->fz);
  return s->reach > 0;
}

}  // namespace

namespace tools {
float LimitWallDimension(FloatPoint* from, FloatPoint* to, Layer* layer, Poinz* pointA, Poinz* pointB) {
  FacingWallSearch s{};
  if (!layer || !StartSearch(from, to, pointA, pointB, &s)) return 0;
  size_t order = 0;
  ForEachWallSegment(layer, [&](Poinz* p, Poinz* q, Objex* wall) { s.consider(p, q, wall, order++); });
  return s.finish(to);
}
}  // namespace tools

// The same measurement through the grid of the layer's segments.
static float LimitWallDimensionInGrid(FloatPoint* from, FloatPoint* to, WallSegmentGrid* grid, Poinz* pointA,
                                      Poinz* pointB) {
  FacingWallSearch s{};
  if (!StartSearch(from, to, pointA, pointB, &s)) return 0;
  grid->search(&s);
  return s.finish(to);
}

void UpdateDimWallAttachment(Objex* attachment) {
  if (!attachment) return;
  Objex* wall = attachment->parent;
  DoorWindowData* data = AttachmentData(attachment);
  if (!wall || !wall->layer || !data || !data->anchorStart || !data->anchorEnd) return;
  Poinz* s = data->anchorStart;
  Poinz* e = data->anchorEnd;
  float start = 0, length = 0;
  const float working = GetWallSegmentWorkingLength(0, 0, s, e, &start, &length);
  const float w = data->width, c = data->startDistance;
  if (!(working > w) || c < w / 2 || working < c + w / 2) return;
  data->remainingLength = length - c;
  float segLength = 0;
  const float a = GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &segLength);
  const float sx = s->position[0], sz = s->position[2];
  Poinz* first = attachment->firstPoint;
  Poinz* second = first ? first->next : nullptr;
  if (!first || !second) return;
  PolarFrom(sx, sz, a, c - w / 2, &first->position[0], &first->position[2]);
  PolarFrom(sx, sz, a, c + w / 2, &second->position[0], &second->position[2]);
  first->position[1] = second->position[1] = 0;
  if (Poinz* third = second->next) {
    float cx = 0, cz = 0;
    PolarFrom(sx, sz, a, c, &cx, &cz);
    const float side = data->flipHorizontal == 1 ? a + kQuarterTurn : a - kQuarterTurn;
    PolarFrom(cx, cz, side, data->height, &third->position[0], &third->position[2]);
    third->position[1] = 0;
    attachment->pointCount = 3;
  } else {
    attachment->pointCount = 2;
  }
  RecomputeAttachmentBounds(attachment);
  BuildAttachmentFrame(attachment);
}

namespace {

// How far a dimension of the wall reaches before it is pulled back onto a facing wall.
float DimensionReach(const Objex* dimension, const Objex* wall, const DocState* ds) {
  const bool faceMode = dimension->firstPoint && WallOptionOf(dimension->firstPoint) != 0;
  float reach = kDimensionReach;
  if (faceMode) reach += ConvertWorldToScreen(wall->width, ds, 0) / 2;
  return reach;
}

// The ray a dimension measures along: from its foot `m` on the wall's segment to `f`, as far as
// it reaches. False when the dimension is not one to measure.
bool AttachedDimRay(Objex* dimension, Objex* wall, FloatPoint* m, FloatPoint* f) {
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsCurLayer || !dimension || !wall || wall->type != kObjWall) return false;
  if (dimension->subtype != kSubDimensionAttachment) return false;
  DoorWindowData* data = AttachmentData(dimension);
  if (!data || !data->anchorStart || !data->anchorEnd) return false;
  Poinz* s = data->anchorStart;
  Poinz* e = data->anchorEnd;
  const float reach = DimensionReach(dimension, wall, ds);
  float segLength = 0;
  const float a = GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &segLength);
  PolarFrom(s->position[0], s->position[2], a, data->startDistance, &m->floatH, &m->floatV);
  const float side = data->flipHorizontal == 1 ? a + kQuarterTurn : a - kQuarterTurn;
  PolarFrom(m->floatH, m->floatV, side, reach, &f->floatH, &f->floatV);
  return true;
}

// Measures the dimension with `limit(m, f, anchorStart, anchorEnd)`, which pulls f back onto the
// facing wall and answers that wall's thickness (as LimitWallDimension does).
template <typename Limit>
void MeasureAttachedDim(Objex* dimension, Objex* wall, Limit&& limit) {
  FloatPoint m{}, f{};
  if (!AttachedDimRay(dimension, wall, &m, &f)) return;
  DocState* ds = CurDocState();
  DoorWindowData* data = AttachmentData(dimension);
  const bool faceMode = dimension->firstPoint && WallOptionOf(dimension->firstPoint) != 0;
  const float thickness = limit(&m, &f, data->anchorStart, data->anchorEnd);
  const float h = ConvertWorldToScreen(thickness, ds, 0) / 2;
  const float d = Distance(m.floatH, m.floatV, f.floatH, f.floatV);
  if (d < kNoFacingWall) {
    float depth = faceMode ? d - h : d;
    if (depth < kMinimumDepth) depth = kMinimumDepth;
    data->height = depth;
  }
  UpdateDimWallAttachment(dimension);
}

}  // namespace

// A dimension measures against the walls of its own wall's floor, whichever floor is current.
static void UpdateAttachedDimWith(Objex* dimension, Objex* wall, WallSegmentGrid* grid) {
  MeasureAttachedDim(dimension, wall, [grid, wall](FloatPoint* m, FloatPoint* f, Poinz* s, Poinz* e) {
    return grid ? LimitWallDimensionInGrid(m, f, grid, s, e)
                : LimitWallDimension(m, f, wall->layer ? wall->layer : gCurDocument->itsCurLayer, s, e);
  });
}

void UpdateAttachedDim(Objex* dimension, Objex* wall) { UpdateAttachedDimWith(dimension, wall, nullptr); }

static void UpdateAttachedDimObjectWith(Objex* wall, WallSegmentGrid* grid) {
  if (!wall || wall->type != kObjWall) return;
  for (Objex* child = wall->firstChild; child; child = child->next)
    if (child->subtype == kSubDimensionAttachment) UpdateAttachedDimWith(child, wall, grid);
}

void UpdateAttachedDimObject(Objex* wall) { UpdateAttachedDimObjectWith(wall, nullptr); }

namespace {

// The segments of a floor's walls (as ForEachWallSegment gives them) and the attached
// dimensions of those walls with their walls, both in the floor's order. A wall's points and
// its children are followed side by side, and the next object is asked for early, so that the
// waits for their memory overlap.
void CollectWallsOfFloor(Layer* layer, std::vector<SegmentCopy>* segments,
                         std::vector<std::pair<Objex*, Objex*>>* dimensions) {
  for (Objex* wall = layer->firstObject; wall; wall = wall->next) {
    __builtin_prefetch(wall->next);
    if (wall->type != kObjWall) continue;
    Poinz* p = wall->firstPoint;
    Objex* child = wall->firstChild;
    while (p || child) {
      if (p) {
        if (Poinz* q = p->next) {
          segments->push_back(SegmentCopy::Of(p, q, wall));
          p = q;
        } else {
          // The closing segment of a closed wall of more than one point.
          if (wall->closed && p != wall->firstPoint) segments->push_back(SegmentCopy::Of(p, wall->firstPoint, wall));
          p = nullptr;
        }
      }
      if (child) {
        if (child->subtype == kSubDimensionAttachment) dimensions->emplace_back(child, wall);
        child = child->next;
      }
    }
  }
}

// Asks ahead for the memory measuring a floor's dimensions reads, in stages a few dimensions
// apart: the dimension, then its record and points, then its anchors and the points' second
// lines. Measuring reads the same memory in the same order; only the waiting for it overlaps.
void PrefetchDimension(const std::vector<std::pair<Objex*, Objex*>>& dimensions, size_t i) {
  constexpr size_t kObject = 12, kRecord = 6, kAnchors = 3;
  if (i + kObject < dimensions.size()) {
    const char* d = reinterpret_cast<const char*>(dimensions[i + kObject].first);
    __builtin_prefetch(d);
    __builtin_prefetch(d + 64);
    __builtin_prefetch(d + 128);
  }
  if (i + kRecord < dimensions.size()) {
    const Objex* d = dimensions[i + kRecord].first;
    __builtin_prefetch(d->typeData);
    __builtin_prefetch(d->firstPoint);
  }
  if (i + kAnchors < dimensions.size()) {
    const Objex* d = dimensions[i + kAnchors].first;
    if (const DoorWindowData* data = AttachmentData(d)) {
      __builtin_prefetch(data->anchorStart);
      __builtin_prefetch(data->anchorEnd);
    }
    if (const Poinz* p = d->firstPoint) {
      __builtin_prefetch(reinterpret_cast<const char*>(p) + 64);
      __builtin_prefetch(p->next);
    }
  }
}

}  // namespace

// The floor's dimensions, those in `skip` (may be null) left as they are.
static void UpdateAttachedDimLayerExcept(Layer* layer, const std::unordered_set<Objex*>* skip) {
  if (!layer || !layer->visible) return;
  // The dimensions of the layer's walls and the walls' segments, in layer order, found in one
  // walk over the layer. Both lists keep their room from one measurement of a floor to the
  // next (a wall edit measures its floor every time); the dimensions' list is taken and handed
  // back, so that a measurement started while this one runs finds none to share.
  thread_local std::vector<std::pair<Objex*, Objex*>> spareDimensions;
  std::vector<std::pair<Objex*, Objex*>> dimensions;  // dimension, its wall
  dimensions.swap(spareDimensions);
  dimensions.clear();
  struct HandBack {
    std::vector<std::pair<Objex*, Objex*>>& from;
    ~HandBack() {
      if (from.capacity() > spareDimensions.capacity()) from.swap(spareDimensions);
    }
  } handBack{dimensions};
  thread_local std::vector<SegmentCopy> segments;
  segments.clear();
  CollectWallsOfFloor(layer, &segments, &dimensions);
  if (skip && !skip->empty())
    dimensions.erase(std::remove_if(dimensions.begin(), dimensions.end(),
                                    [skip](const std::pair<Objex*, Objex*>& d) { return skip->count(d.first) > 0; }),
                     dimensions.end());
  if (dimensions.empty()) return;
  // Many dimensions are measured against the floor's walls through a grid of them (only while
  // the measuring routine is the one here: it is what the grid gives).
  std::optional<WallSegmentGrid> grid;
  if (dimensions.size() >= kGridFromDimensions && gToolsServices.limitWallDimension == tools::LimitWallDimension)
    grid.emplace(&segments);
  WallSegmentGrid* g = grid && grid->usable() ? &*grid : nullptr;
  for (size_t i = 0; i < dimensions.size(); ++i) {
    PrefetchDimension(dimensions, i);
    UpdateAttachedDimWith(dimensions[i].first, dimensions[i].second, g);
  }
}

void UpdateAttachedDimLayer(Layer* layer) { UpdateAttachedDimLayerExcept(layer, nullptr); }

void UpdateAttachedDims(Layer* layer, const std::vector<std::pair<Objex*, Objex*>>& dimensions) {
  if (dimensions.empty()) return;
  // Many dimensions of the floor's walls are measured through one grid of its walls, as the
  // floor's refresh measures them; a few, or any of another floor, each against the walls.
  bool oneFloor = layer != nullptr;
  for (const auto& [dimension, wall] : dimensions)
    if ((wall->layer ? wall->layer : gCurDocument->itsCurLayer) != layer) oneFloor = false;
  std::optional<WallSegmentGrid> grid;
  if (oneFloor && dimensions.size() >= kGridFromDimensions &&
      gToolsServices.limitWallDimension == tools::LimitWallDimension)
    grid.emplace(layer);
  WallSegmentGrid* g = grid && grid->usable() ? &*grid : nullptr;
  for (const auto& [dimension, wall] : dimensions) UpdateAttachedDimWith(dimension, wall, g);
}

void UpdateAttachedDimAllLayers(Layer* firstLayer) {
  for (Layer* layer = firstLayer; layer; layer = layer->next) UpdateAttachedDimLayer(layer);
}

// ---- Dimensions after a move of the walls at the end of a floor ----

namespace {

// The still walls' segments in grids of runs of them, in the floor's order: walls that join
// the still ones at the floor's end come as a new run, and the last two runs are merged while
// the earlier is not more than twice as long, so that a floor of n segments keeps about log n
// grids and each segment is copied into a new grid about log n times as the floor grows. A
// ray is followed through every grid; what it finds is what one grid of all the segments finds.
class StillWallGrids {
 public:
  // Adds the segments of the walls from `first` up to (not including) `end`, after those
  // added before; false when they cannot be put in a grid (a coordinate is not finite).
  bool addWalls(Objex* first, const Objex* end) {
    std::vector<SegmentCopy> run;
    ForEachWallSegmentIn(first, end, [&run](Poinz* p, Poinz* q, Objex* wall) {
      run.push_back(SegmentCopy::Of(p, q, wall));
    });
    const size_t count = run.size();
    grids_.push_back(std::make_unique<WallSegmentGrid>(std::move(run), size_));
    grids_.back()->passOver(gone_);
    if (!grids_.back()->usable()) return false;
    size_ += count;
    while (grids_.size() >= 2 && grids_[grids_.size() - 2]->size() <= 2 * grids_.back()->size()) {
      std::unique_ptr<WallSegmentGrid> later = std::move(grids_.back());
      grids_.pop_back();
      std::unique_ptr<WallSegmentGrid>& earlier = grids_.back();
      std::vector<SegmentCopy> merged;
      merged.reserve(earlier->size() + later->size());
      merged.insert(merged.end(), earlier->segments().begin(), earlier->segments().end());
      merged.insert(merged.end(), later->segments().begin(), later->segments().end());
      earlier = std::make_unique<WallSegmentGrid>(std::move(merged), earlier->base());
      earlier->passOver(gone_);
    }
    return true;
  }
  // Segments whose flag (by their order in the floor) is set are passed over from now on.
  void passOver(const std::vector<uint8_t>* gone) {
    gone_ = gone;
    for (const std::unique_ptr<WallSegmentGrid>& g : grids_) g->passOver(gone);
  }
  size_t size() const { return size_; }
  void search(FacingWallSearch* s) {
    for (const std::unique_ptr<WallSegmentGrid>& g : grids_) g->search(s);
  }

 private:
  std::vector<std::unique_ptr<WallSegmentGrid>> grids_;
  size_t size_ = 0;
  const std::vector<uint8_t>* gone_ = nullptr;
};

// The still dimensions' rays by their direction, so that those that may cross a box are found
// without looking at every one: a ray lies on the line n.p = c, n the unit normal of its
// direction turned into [0, pi); rays are kept by that angle, in 64 ranges, each in order of c.
class StillRays {
 public:
  // The ray from (x0, z0) to (x1, z1) of still dimension `index`; with `bounded` false (no
  // bounds for it) it is among those every box may be crossed by.
  void add(size_t index, bool bounded, float x0, float z0, float x1, float z1) {
    const double vx = static_cast<double>(x1) - x0, vz = static_cast<double>(z1) - z0;
    const double length = std::hypot(vx, vz);
    if (!bounded || !(length > 0) || !std::isfinite(length)) {
      unbounded_.push_back(index);
      return;
    }
    double nx = -vz / length, nz = vx / length;
    double angle = std::atan2(nz, nx);
    if (angle < 0) angle += kPi, nx = -nx, nz = -nz;
    if (angle >= kPi) angle -= kPi, nx = -nx, nz = -nz;
    const int b = std::clamp(static_cast<int>(angle / kPi * kRanges), 0, kRanges - 1);
    Range& r = ranges_[b];
    r.lo = std::min(r.lo, angle);
    r.hi = std::max(r.hi, angle);
    r.byOffset.emplace(nx * x0 + nz * z0, index);
  }

  // Adds to `found` every ray (of those with bounds) that may pass within the box [x0, x1] x
  // [z0, z1]: those whose lines do, and some more.
  void crossing(float x0, float z0, float x1, float z1, std::vector<size_t>* found) const {
    const double xs[2] = {x0, x1}, zs[2] = {z0, z1};
    double radius = 0;
    for (double x : xs)
      for (double z : zs) radius = std::max(radius, std::hypot(x, z));
    if (!std::isfinite(radius)) {
      for (const Range& r : ranges_)
        for (const auto& entry : r.byOffset) found->push_back(entry.second);
      return;
    }
    for (const Range& r : ranges_) {
      if (r.byOffset.empty()) continue;
      // Within the range the normal turns by at most hi - lo: n.p moves by at most |p| that much.
      const double nx = std::cos(r.lo), nz = std::sin(r.lo);
      double lo = INFINITY, hi = -INFINITY;
      for (double x : xs)
        for (double z : zs) lo = std::min(lo, nx * x + nz * z), hi = std::max(hi, nx * x + nz * z);
      const double slack = radius * (r.hi - r.lo) + kSlack;
      for (auto it = r.byOffset.lower_bound(lo - slack), end = r.byOffset.upper_bound(hi + slack); it != end; ++it)
        found->push_back(it->second);
    }
  }

  const std::vector<size_t>& unbounded() const { return unbounded_; }

 private:
  static constexpr int kRanges = 64;
  static constexpr double kPi = 3.14159265358979323846;
  // Room for the rounding of the rays' ends (a few hundredths at the design's extent).
  static constexpr double kSlack = 1.0;
  struct Range {
    double lo = INFINITY, hi = -INFINITY;
    std::multimap<double, size_t> byOffset;
  };
  Range ranges_[kRanges];
  std::vector<size_t> unbounded_;
};

}  // namespace

// The floor splits at `firstMoved`: the walls before it stay where they are while the state
// lives, those from it on move. The still walls' segments are put in a grid and the rays of
// their dimensions noted once; each measurement then looks only at the moved walls.
class MovedWallDimensions {
  friend class LeavingWallDimensions;

 public:
  MovedWallDimensions(Layer* layer, Objex* firstMoved) : layer_(layer), firstMoved_(firstMoved) {}
  // The floor splits after `lastStill` (null: before its first object): the objects appended
  // after it are the moved ones, whichever they are at each measurement, and the first
  // measurement is of the whole floor.
  struct AfterLast {};
  MovedWallDimensions(Layer* layer, Objex* lastStill, AfterLast)
      : layer_(layer), firstMoved_(nullptr), lastStill_(lastStill), appended_(true) {}

  void measure() {
    if (!layer_ || !layer_->visible) return;
    if (appended_ && lastStill_ && lastStill_->layer != layer_) whole_ = true;
    if (!prepared_) prepare();
    if (whole_) {
      UpdateAttachedDimLayer(layer_);
      return;
    }
    Objex* const firstMoved = moved();
    // The moved segments where they lie now, in the floor's order after the still ones.
    std::vector<Snapshot> now;
    ForEachWallSegmentIn(firstMoved, nullptr, [&](Poinz* p, Poinz* q, Objex* wall) {
      now.push_back(SegmentCopy::Of(p, q, wall));
    });
    if (appended_ && !measuredWhole_) {
      // What the still dimensions held before is not known to be what a measurement gives.
      measuredWhole_ = true;
      UpdateAttachedDimLayer(layer_);
      previous_ = std::move(now);
      return;
    }
    // Each dimension looked at below goes over every moved segment: with many of them (a paste
    // of a whole floor), one grid of the whole floor measures every dimension for less, and
    // gives the others what their last measurement gave them.
    const size_t moving = now.size() + previous_.size();
    if (moving >= kManyMoved && moving * moving > kWholeFloorFactor * (walls_.size() + moving)) {
      UpdateAttachedDimLayer(layer_);
      previous_ = std::move(now);
      return;
    }
    // Every point a moved segment can be met at lies within its length of its first end: one
    // box for where the moved segments lay at the last measurement and one for where they lie
    // now (a long move leaves far apart two small boxes that one box would join).
    Box reached[2];
    const bool nowhere = Reach(previous_, &reached[0]) | Reach(now, &reached[1]);
    const bool everyRay = nowhere || !reached[0].finite() || !reached[1].finite();
    // The still dimensions whose rays may cross either box, in the floor's order.
    std::vector<size_t> looked;
    if (!everyRay) looked = RaysCrossing(rays_, reached, 2);
    const size_t lookedAt = everyRay ? still_.size() : looked.size();
    for (size_t k = 0; k < lookedAt; ++k) {
      const size_t index = everyRay ? k : looked[k];
      const StillDimension& d = still_[index];
      if (!everyRay && d.ray && !reached[0].crossedBy(d.x0, d.z0, d.x1, d.z1) &&
          !reached[1].crossedBy(d.x0, d.z0, d.x1, d.z1))
        continue;
      // Measured again only when a moved segment offers itself to its ray, now or before.
      FloatPoint m{}, f{};
      if (!AttachedDimRay(d.dimension, d.wall, &m, &f)) continue;
      DoorWindowData* data = AttachmentData(d.dimension);
      FacingWallSearch s{};
      if (!StartSearch(&m, &f, data->anchorStart, data->anchorEnd, &s)) continue;
      for (const std::vector<Snapshot>* list : {&previous_, &now})
        for (const Snapshot& t : *list) s.considerAt(t.p, t.q, t.px, t.pz, t.qx, t.qz, t.wall, 0);
      if (!s.winner) continue;
      // Copies passing through: the still walls' nearest segment, when it lies no farther than
      // every moved one (still segments come first in the floor's order), stays the one met,
      // as it was at the last measurement.
      if (appended_ && StillNoFarther(index, &m, &f, data, s.best)) continue;
      measureOne(d.dimension, d.wall, now);
    }
    for (Objex* o = firstMoved; o; o = o->next) {
      if (o->type != kObjWall) continue;
      for (Objex* child = o->firstChild; child; child = child->next)
        if (child->subtype == kSubDimensionAttachment) measureOne(child, o, now);
    }
    previous_ = std::move(now);
  }

 private:
  using Snapshot = SegmentCopy;
  struct StillDimension {
    Objex* dimension;
    Objex* wall;
    bool ray;  // false: no bounds for its ray (looked at closely every time)
    float x0, z0, x1, z1;
  };
  struct Box {
    float x0 = INFINITY, z0 = INFINITY, x1 = -INFINITY, z1 = -INFINITY;
    bool any = false, bad = false;
    void add(float x, float z) {
      if (!std::isfinite(x) || !std::isfinite(z)) bad = true;
      x0 = std::min(x0, x), z0 = std::min(z0, z), x1 = std::max(x1, x), z1 = std::max(z1, z);
      any = true;
    }
    bool finite() const { return !bad; }
    bool holds(float x, float z) const {
      return any && x >= x0 - kMargin && x <= x1 + kMargin && z >= z0 - kMargin && z <= z1 + kMargin;
    }
    // Whether the stretch (ax, az)-(bx, bz) passes within the margin of the box.
    bool crossedBy(float ax, float az, float bx, float bz) const {
      if (!any) return false;
      double t0 = 0, t1 = 1;
      auto slab = [&](double a, double b, double lo, double hi) {
        const double d = b - a;
        if (d == 0) return a >= lo && a <= hi;
        double u = (lo - a) / d, v = (hi - a) / d;
        if (u > v) std::swap(u, v);
        t0 = std::max(t0, u);
        t1 = std::min(t1, v);
        return t0 <= t1;
      };
      return slab(ax, bx, x0 - kMargin, x1 + kMargin) && slab(az, bz, z0 - kMargin, z1 + kMargin);
    }
  };
  // Room for the rounding of the rays' angles and of the crossing points.
  static constexpr float kMargin = 64.0f;
  // A segment offered to a ray costs about a sixty-fourth of a segment of the floor measured
  // whole (its part of the grid and of the searches).
  static constexpr size_t kManyMoved = 256;
  static constexpr size_t kWholeFloorFactor = 64;

  // Whether the still walls hold a segment the still dimension `index` meets no farther than
  // `movedBest` along its ray from m to f (found once, the still walls staying where they are).
  bool StillNoFarther(size_t index, FloatPoint* m, FloatPoint* f, const DoorWindowData* data, float movedBest) {
    if (stillNearest_.size() != still_.size()) {
      stillNearest_.assign(still_.size(), 0.0f);
      stillNearestKnown_.assign(still_.size(), 0);
    }
    if (!stillNearestKnown_[index]) {
      FacingWallSearch t{};
      if (!StartSearch(m, f, data->anchorStart, data->anchorEnd, &t)) return false;
      walls_.search(&t);
      stillNearestKnown_[index] = t.winner ? 1 : 2;
      stillNearest_[index] = t.best;
    }
    return stillNearestKnown_[index] == 1 && stillNearest_[index] <= movedBest;
  }

  // The first moved object on the floor now (null: none).
  Objex* moved() const {
    if (!appended_) return firstMoved_;
    return lastStill_ ? lastStill_->next : layer_->firstObject;
  }

  // Whether the point lines that never meet are put at lies within the segment's span.
  static bool SpansNowhere(const Snapshot& t) {
    const float segment = Distance(t.px, t.pz, t.qx, t.qz) + kMargin;
    return Distance(t.px, t.pz, 32000.0f, 32000.0f) < segment && Distance(t.qx, t.qz, 32000.0f, 32000.0f) < segment;
  }

  // Grows `box` over every point the segments can be met at (within a segment's length of its
  // first end). Lines met at no point are put at (32000, 32000): a dimension can take a
  // segment there only when that point lies within the segment's span (nearer both ends than
  // the segment is long, as the search asks); true when one does, and every ray is then to be
  // looked at.
  static bool Reach(const std::vector<Snapshot>& segments, Box* box) {
    bool nowhere = false;
    for (const Snapshot& t : segments) {
      const float length = Distance(t.px, t.pz, t.qx, t.qz) + 1;
      box->add(t.px - length, t.pz - length);
      box->add(t.px + length, t.pz + length);
      nowhere = nowhere || SpansNowhere(t);
    }
    return nowhere;
  }

  // The rays without bounds and those that may cross one of the boxes, in the floor's order.
  static std::vector<size_t> RaysCrossing(const StillRays& rays, const Box* boxes, size_t count) {
    std::vector<size_t> looked = rays.unbounded();
    for (size_t i = 0; i < count; ++i)
      if (boxes[i].any)
        rays.crossing(boxes[i].x0 - kMargin, boxes[i].z0 - kMargin, boxes[i].x1 + kMargin, boxes[i].z1 + kMargin,
                      &looked);
    std::sort(looked.begin(), looked.end());
    looked.erase(std::unique(looked.begin(), looked.end()), looked.end());
    return looked;
  }

  // The still walls' grid and their dimensions' rays (both ways from the foot, a little longer
  // than they reach); the whole floor is measured instead when the split is not on the floor,
  // the still walls cannot be put in a grid, or another routine measures the dimensions.
  void prepare() {
    prepared_ = true;
    if ((!appended_ && !firstMoved_) || gToolsServices.limitWallDimension != tools::LimitWallDimension) {
      whole_ = true;
      return;
    }
    // The still walls' dimensions, on the way to the first moved object (which must be met).
    Objex* const firstMoved = moved();
    if (!addStillDimensions(layer_->firstObject, firstMoved) || !walls_.addWalls(layer_->firstObject, firstMoved)) {
      still_.clear();
      rays_ = StillRays{};
      whole_ = true;
    }
  }

  // Notes the dimensions of the walls from `first` up to `end` as still ones; false when `end`
  // is not met.
  bool addStillDimensions(Objex* first, const Objex* end) {
    DocState* ds = CurDocState();
    Objex* wall = first;
    for (; wall && wall != end; wall = wall->next) {
      if (wall->type != kObjWall) continue;
      for (Objex* child = wall->firstChild; child; child = child->next)
        if (child->subtype == kSubDimensionAttachment) {
          still_.push_back(StillDimensionOf(child, wall, ds));
          const StillDimension& d = still_.back();
          rays_.add(still_.size() - 1, d.ray, d.x0, d.z0, d.x1, d.z1);
        }
    }
    return wall == end;
  }

  // The dimension with its ray (both ways from the foot, a little longer than it reaches).
  static StillDimension StillDimensionOf(Objex* child, Objex* wall, const DocState* ds) {
    StillDimension d{child, wall, false, 0, 0, 0, 0};
    const DoorWindowData* data = AttachmentData(child);
    if (ds && data && data->anchorStart && data->anchorEnd) {
      const float sx = data->anchorStart->position[0], sz = data->anchorStart->position[2];
      const float ex = data->anchorEnd->position[0], ez = data->anchorEnd->position[2];
      const float length = std::hypot(ex - sx, ez - sz);
      const float ux = (ex - sx) / length, uz = (ez - sz) / length;
      const float mx = sx + ux * data->startDistance, mz = sz + uz * data->startDistance;
      const float reach = DimensionReach(child, wall, ds) + 20 + kMargin;
      // Across the segment, either way.
      d.x0 = mx + uz * reach, d.z0 = mz - ux * reach;
      d.x1 = mx - uz * reach, d.z1 = mz + ux * reach;
      d.ray = length > 0 && std::isfinite(d.x0) && std::isfinite(d.z0) && std::isfinite(d.x1) && std::isfinite(d.z1);
    }
    return d;
  }

 public:
  // Goes on with the walls from `firstMoved` on as the moved ones, those moved so far joining
  // the still ones where they lie now. The caller answers for the floor: nothing on it has
  // changed since the last measurement but objects appended at its end, from `firstMoved` on.
  // False when the still walls are not kept in grids (then the state is to be ended).
  bool carryOn(Objex* firstMoved) {
    if (appended_ || !layer_ || !layer_->visible || !firstMoved || !firstMoved_ || firstMoved->layer != layer_)
      return false;
    if (!prepared_) prepare();
    if (whole_ || gToolsServices.limitWallDimension != tools::LimitWallDimension) return false;
    if (!addStillDimensions(firstMoved_, firstMoved) || !walls_.addWalls(firstMoved_, firstMoved)) {
      whole_ = true;
      return false;
    }
    firstMoved_ = firstMoved;
    previous_.clear();
    return true;
  }

 private:

  // One dimension measured against the still walls' grid and the moved segments.
  void measureOne(Objex* dimension, Objex* wall, const std::vector<Snapshot>& moved) {
    const size_t still = walls_.size();
    MeasureAttachedDim(dimension, wall, [&](FloatPoint* m, FloatPoint* f, Poinz* a, Poinz* b) {
      FacingWallSearch s{};
      if (!StartSearch(m, f, a, b, &s)) return 0.0f;
      for (size_t i = 0; i < moved.size(); ++i) s.consider(moved[i].p, moved[i].q, moved[i].wall, still + i);
      walls_.search(&s);
      return s.finish(f);
    });
  }

  Layer* layer_;
  Objex* firstMoved_;
  Objex* lastStill_ = nullptr;
  bool appended_ = false, measuredWhole_ = false;
  bool prepared_ = false, whole_ = false;
  StillWallGrids walls_;
  std::vector<StillDimension> still_;
  StillRays rays_;  // of still_
  // Of still_ (copies passing through only): the distance to the still walls' nearest segment
  // along each ray, with 0 (not yet found), 1 (found) or 2 (the ray meets no still wall).
  std::vector<float> stillNearest_;
  std::vector<uint8_t> stillNearestKnown_;
  std::vector<Snapshot> previous_;
};

MovedWallDimensions* BeginMovedWallDimensions(Layer* layer, Objex* firstMoved) {
  return new MovedWallDimensions(layer, firstMoved);
}
MovedWallDimensions* BeginAppendedWallDimensions(Layer* layer, Objex* lastStill) {
  return new MovedWallDimensions(layer, lastStill, MovedWallDimensions::AfterLast{});
}
void MeasureMovedWallDimensions(MovedWallDimensions* state) {
  if (state) state->measure();
}
void EndMovedWallDimensions(MovedWallDimensions* state) { delete state; }
bool CarryOnMovedWallDimensions(MovedWallDimensions* state, Objex* firstMoved) {
  return state && state->carryOn(firstMoved);
}

// ---- Dimensions measured before walls leave a floor during a read ----

// The floor's walls in grids (a wall that has left passed over) and its dimensions' rays, kept
// from the first wall that leaves on: the walls appended at the floor's end since are added at
// each leaving. Only the dimensions a leaving wall can be measured to are measured before it
// leaves; they are noted until a wall is refitted again, for the end of the read leaves them
// as they are (the floor is not measured again without a refit).
class LeavingWallDimensions {
  using Still = MovedWallDimensions;

 public:
  explicit LeavingWallDimensions(Layer* layer) : layer_(layer) { walls_.passOver(&gone_); }

  // A wall was refitted: every dimension of the floor is due to be measured again. False when
  // the wall is one of those kept (they must not change while the state lives).
  bool refit(const Objex* wall) {
    measured_.clear();
    return indexed_.count(wall) == 0;
  }

  // Measures, with `object` still standing, the dimensions it can be measured to, and forgets
  // it; false when that cannot be done apart (the whole floor is then to be measured).
  bool leaving(Objex* object) {
    if (object->layer != layer_ || object->parent) return true;
    if (object->type != kObjWall) {
      if (object == last_) last_ = object->prev;
      return true;
    }
    if (!layer_->visible || gToolsServices.limitWallDimension != tools::LimitWallDimension || !CurDocState() ||
        !catchUp())
      return false;
    auto it = indexed_.find(object);
    if (it == indexed_.end()) return false;
    const Kept kept = std::move(it->second);
    indexed_.erase(it);
    // The leaving wall's segments, and the box every point one can be met at lies in.
    std::vector<SegmentCopy> own;
    ForEachWallSegmentIn(object, object->next, [&own](Poinz* p, Poinz* q, Objex* wall) {
      own.push_back(SegmentCopy::Of(p, q, wall));
    });
    Still::Box reached;
    const bool everyRay = Still::Reach(own, &reached) || !reached.finite();
    std::vector<size_t> looked;
    if (everyRay) {
      looked.resize(dimensions_.size());
      for (size_t i = 0; i < looked.size(); ++i) looked[i] = i;
    } else if (reached.any) {
      looked = Still::RaysCrossing(rays_, &reached, 1);
    }
    for (const size_t k : looked) {
      const Still::StillDimension& d = dimensions_[k];
      if (!d.dimension || d.wall == object || measured_.count(d.dimension)) continue;
      if (!everyRay && d.ray && !reached.crossedBy(d.x0, d.z0, d.x1, d.z1)) continue;
      // A segment still standing nearer along its ray than the box: the wall cannot be the one
      // it measures to (the rays reach across the whole design: most of those crossing the box
      // meet another wall first).
      if (!everyRay && d.ray && standingNearer(k, d, reached)) continue;
      // Measured only when the leaving wall offers itself to its ray.
      FloatPoint m{}, f{};
      if (!AttachedDimRay(d.dimension, d.wall, &m, &f)) continue;
      DoorWindowData* data = AttachmentData(d.dimension);
      FacingWallSearch s{};
      if (!StartSearch(&m, &f, data->anchorStart, data->anchorEnd, &s)) continue;
      for (const SegmentCopy& t : own) s.considerAt(t.p, t.q, t.px, t.pz, t.qx, t.qz, t.wall, 0);
      if (!s.winner) continue;
      // Nor when a segment still standing was found nearer along the same ray before.
      const Nearest& nearest = nearest_[k];
      if (nearest.order < gone_.size() && !gone_[nearest.order] && nearest.best < s.best) continue;
      MeasureAttachedDim(d.dimension, d.wall, [this, k](FloatPoint* from, FloatPoint* to, Poinz* a, Poinz* b) {
        FacingWallSearch search{};
        if (!StartSearch(from, to, a, b, &search)) return 0.0f;
        walls_.search(&search);
        nearest_[k] = search.winner ? Nearest{search.winnerOrder, search.best} : Nearest{};
        return search.finish(to);
      });
      measured_.insert(d.dimension);
    }
    // The wall leaves with its dimensions.
    for (size_t i = kept.firstSegment; i < kept.firstSegment + kept.segments; ++i) gone_[i] = 1;
    for (const size_t k : kept.dimensions) {
      measured_.erase(dimensions_[k].dimension);
      dimensions_[k].dimension = nullptr;
    }
    if (object == last_) last_ = object->prev;
    return true;
  }

  // The floor's dimensions not measured since the last refit.
  void finish() { UpdateAttachedDimLayerExcept(layer_, &measured_); }

 private:
  // Whether a segment still standing lies nearer along dimension k's ray than any point of
  // `box` (the segment found the last time, or looked for now among the walls kept).
  bool standingNearer(size_t k, const Still::StillDimension& d, const Still::Box& box) {
    Nearest& nearest = nearest_[k];
    if (!(nearest.order < gone_.size() && !gone_[nearest.order])) {
      FloatPoint m{}, f{};
      if (!AttachedDimRay(d.dimension, d.wall, &m, &f)) return false;
      const DoorWindowData* data = AttachmentData(d.dimension);
      FacingWallSearch s{};
      if (!StartSearch(&m, &f, data->anchorStart, data->anchorEnd, &s)) return false;
      walls_.search(&s);
      if (!s.winner) return false;
      nearest = Nearest{s.winnerOrder, s.best};
    }
    // The ray's foot lies midway between its two far ends (within the margin of rounding).
    const double fx = (static_cast<double>(d.x0) + d.x1) / 2, fz = (static_cast<double>(d.z0) + d.z1) / 2;
    const double dx = std::max({static_cast<double>(box.x0) - fx, fx - box.x1, 0.0});
    const double dz = std::max({static_cast<double>(box.z0) - fz, fz - box.z1, 0.0});
    return static_cast<double>(nearest.best) < std::hypot(dx, dz) - Still::kMargin;
  }

  // Adds the walls appended since the last call (all of the floor's the first time); false
  // when they cannot be kept in grids or one is kept already.
  bool catchUp() {
    Objex* first = last_ ? last_->next : layer_->firstObject;
    if (!first) return true;
    DocState* ds = CurDocState();
    size_t order = walls_.size();
    for (Objex* o = first; o; o = o->next) {
      last_ = o;
      if (o->type != kObjWall) continue;
      auto [entry, fresh] = indexed_.try_emplace(o);
      if (!fresh) return false;
      Kept& kept = entry->second;
      kept.firstSegment = order;
      ForEachWallSegmentIn(o, o->next, [&kept](Poinz*, Poinz*, Objex*) { ++kept.segments; });
      order += kept.segments;
      for (Objex* child = o->firstChild; child; child = child->next)
        if (child->subtype == kSubDimensionAttachment) {
          dimensions_.push_back(Still::StillDimensionOf(child, o, ds));
          const Still::StillDimension& d = dimensions_.back();
          rays_.add(dimensions_.size() - 1, d.ray, d.x0, d.z0, d.x1, d.z1);
          kept.dimensions.push_back(dimensions_.size() - 1);
          nearest_.emplace_back();
        }
    }
    if (!walls_.addWalls(first, nullptr) || walls_.size() != order) return false;
    gone_.resize(order, 0);
    return true;
  }

  struct Kept {
    size_t firstSegment = 0, segments = 0;  // by order in the floor
    std::vector<size_t> dimensions;         // into dimensions_
  };
  // The segment a dimension's last measurement here found nearest, and how far along its ray:
  // while that segment stands, a wall farther along cannot be the one it measures to.
  struct Nearest {
    size_t order = SIZE_MAX;
    float best = 0;
  };

  Layer* layer_;
  Objex* last_ = nullptr;  // the last of the floor's objects kept (null: none)
  StillWallGrids walls_;
  std::vector<uint8_t> gone_;  // by segment order: the wall has left
  std::vector<Still::StillDimension> dimensions_;  // a gone one's dimension null
  std::vector<Nearest> nearest_;                   // of dimensions_
  StillRays rays_;  // of dimensions_
  std::unordered_map<const Objex*, Kept> indexed_;
  std::unordered_set<Objex*> measured_;  // since the last refit
};

LeavingWallDimensions* BeginLeavingWallDimensions(Layer* layer) { return new LeavingWallDimensions(layer); }
bool NoteLeavingWallRefit(LeavingWallDimensions* state, Objex* wall) { return state && state->refit(wall); }
bool MeasureBeforeLeaving(LeavingWallDimensions* state, Objex* object) {
  return state && object && state->leaving(object);
}
void FinishLeavingWallDimensions(LeavingWallDimensions* state) {
  if (state) state->finish();
  delete state;
}
void EndLeavingWallDimensions(LeavingWallDimensions* state) { delete state; }
