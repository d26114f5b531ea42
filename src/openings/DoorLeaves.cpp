// Door leaves. Every leaf face is a closed object of the door (its colours, parent and
// layer) whose points take the door's slot-0 material; boxes are two rings of the same
// four-point footprint at two levels, flat faces two points per ring. Leaf end points are
// snapped to whole plan units, so small moves of a door leave its leaf where it was.
#include "openings/DoorLeaves.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "building3d/RepeatLimit.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "openings/AttachmentFrame.h"

namespace {

constexpr double kPiD = 3.14159265358979323846;
constexpr float kPi = static_cast<float>(kPiD);
constexpr float kHalfPi = kPi / 2;
// Half the depth of every leaf box except the panel door's.
constexpr float kBoxHalfDepth = 2.0f;

struct PlanPoint {
  float x, z;
};

PlanPoint PointOf(const Poinz* p) { return PlanPoint{p->position[0], p->position[2]}; }
PlanPoint Offset(PlanPoint p, PlanOffset o) { return PlanPoint{p.x + o.x, p.z + o.z}; }
PlanPoint Along(PlanPoint from, float angle, float distance) { return Offset(from, FacePolar(angle, distance)); }
float AngleOf(PlanPoint a, PlanPoint b) { return FaceAngle(a.x, a.z, b.x, b.z); }
float DistanceOf(PlanPoint a, PlanPoint b) { return FaceDistance(a.x, a.z, b.x, b.z); }
PlanPoint Snapped(PlanPoint p) { return PlanPoint{SnapCoordinate(p.x), SnapCoordinate(p.z)}; }
// `from` plus an offset whose coordinates are each snapped.
PlanPoint SnappedStep(PlanPoint from, PlanOffset o) {
  return PlanPoint{from.x + SnapCoordinate(o.x), from.z + SnapCoordinate(o.z)};
}

// Appends finished faces to a door's chain; stops for good once a point cannot be made.
class LeafFaces {
 public:
  LeafFaces(Objex* door, DoorWindowData* record) : door_(door), record_(record) {}
  bool stopped() const { return stopped_; }

  // Ring one, then ring two (two levels). The face is skipped when it cannot be made. With a
  // footprint, the points are its corners at y1, then at y2, and the bounds are measured from it.
  struct Footprint {
    const float (*corners)[2];
    int count;
    float y1, y2;
  };
  void add(int16_t type, const float (*points)[3], int count, int16_t levels = 2,
           const Footprint* footprint = nullptr) {
    if (stopped_) return;
    Objex* face = NewAttachmentFace(door_, type, 1);
    if (!face) return;
    face->levels = levels;
    face->capped = 1;
    // Each point is linked after the one before and takes the door's slot-0 material as it
    // is made, in one pass.
    Poinz* tail = nullptr;
    for (int i = 0; i < count; ++i) {
      Poinz* p = CreatePoint(1, 1, 0, 0, 0, 0, points[i][0], points[i][1], points[i][2], 0, 0, 0, 0, 0, 0, face);
      if (!p) {
        FreeLooseFace(face);
        stopped_ = true;
        return;
      }
      for (int side = 0; side < 2; ++side) {
        p->textureID[side] = door_->textureID;
        p->color[side] = door_->fillColor;
        p->textureScale[side] = door_->textureScale;
      }
      InsertPointInObject(p, face, tail);
      tail = p;
    }
    if (footprint) {
      // The measure of the face's own points (straight segments, no children), from the corners.
      FloatRect rect = EmptyFloatRect();
      Float3DRect box = EmptyFloat3DRect();
      MeasureStraightPrism(footprint->corners, footprint->count, footprint->y1, footprint->y2, &rect, &box);
      face->bounds = rect;
      face->bounds3D = box;
    } else {
      StoreFaceBounds(face);
    }
    SetTextureFaceUV(face);
    SetObjectPointLengths(face);
    AppendFaceToChain(record_, face, &last_);
  }

  // A box from s to e with the depth offset d: s - d, e - d, e + d, s + d at y1, then at y2.
  void box(int16_t type, PlanPoint s, PlanPoint e, PlanOffset d, float y1, float y2) {
    const PlanPoint footprint[4] = {{s.x - d.x, s.z - d.z}, {e.x - d.x, e.z - d.z}, {e.x + d.x, e.z + d.z},
                                    {s.x + d.x, s.z + d.z}};
    addFootprint(type, footprint, y1, y2);
  }
  // The garage door's box turns from s + d: s + d, s - d, e - d, e + d.
  void garageBox(PlanPoint s, PlanPoint e, PlanOffset d, float y1, float y2) {
    const PlanPoint footprint[4] = {{s.x + d.x, s.z + d.z}, {s.x - d.x, s.z - d.z}, {e.x - d.x, e.z - d.z},
                                    {e.x + d.x, e.z + d.z}};
    addFootprint(kObjFace, footprint, y1, y2);
  }
  // A flat face: s, e at y1, then s, e at y2.
  void flat(int16_t type, PlanPoint s, PlanPoint e, float y1, float y2) {
    const float points[4][3] = {{s.x, y1, s.z}, {e.x, y1, e.z}, {s.x, y2, s.z}, {e.x, y2, e.z}};
    const float corners[2][2] = {{s.x, s.z}, {e.x, e.z}};
    const Footprint footprint{corners, 2, y1, y2};
    add(type, points, 4, 2, &footprint);
  }

 private:
  void addFootprint(int16_t type, const PlanPoint (&footprint)[4], float y1, float y2) {
    float points[8][3];
    for (int i = 0; i < 4; ++i) {
      points[i][0] = points[i + 4][0] = footprint[i].x;
      points[i][2] = points[i + 4][2] = footprint[i].z;
      points[i][1] = y1;
      points[i + 4][1] = y2;
    }
    const float corners[4][2] = {{footprint[0].x, footprint[0].z}, {footprint[1].x, footprint[1].z},
                                 {footprint[2].x, footprint[2].z}, {footprint[3].x, footprint[3].z}};
    const Footprint prism{corners, 4, y1, y2};
    add(type, points, 8, 2, &prism);
  }

  Objex* door_;
  DoorWindowData* record_;
  Objex* last_ = nullptr;  // the last face appended here
  bool stopped_ = false;
};

// The common checks: a door and its record, a current document and DocState, a parent
// and two points.
bool LeafInputs(Objex* door, DoorWindowData* record, AttachmentInputs* in) {
  if (!door || !record || !GetAttachmentInputs(door, in)) return false;
  in->record = record;
  return true;
}

// The leaf line of a swinging leaf of length `length` hung at `hinge` (already snapped) and
// turned to `angle`: the direction is taken to the hinge plus the truncated offset, the tip
// is the hinge plus the snapped offset along it, and the start is taken back from the tip.
struct LeafLine {
  PlanPoint start, tip;
};
LeafLine SwingLeafLine(PlanPoint hinge, float angle, float length) {
  const PlanOffset o = FacePolar(angle, length);
  const PlanPoint aim{SnapCoordinate(hinge.x + TruncCoordinate(o.x)), SnapCoordinate(hinge.z + TruncCoordinate(o.z))};
  const PlanPoint tip = SnappedStep(hinge, FacePolar(AngleOf(hinge, aim), length));
  const PlanPoint start = SnappedStep(tip, FacePolar(AngleOf(tip, hinge), DistanceOf(tip, hinge)));
  return LeafLine{start, tip};
}

// Set-up of the glass, half-glass and arched leaves: hinge end by the flip flag, the hinge
// point moved `inset` into the opening, the leaf swung by the record's open angle.
struct SwingLeaf {
  float y0 = 0;        // leaf bottom level
  float openWidth = 0; // W, the opening width
  PlanPoint l0{}, l1{};
  float w = 0, delta = 0;
  PlanOffset d{};
};
SwingLeaf SetUpSwingLeaf(const AttachmentInputs& in, float inset) {
  SwingLeaf leaf;
  const DoorWindowData* record = in.record;
  leaf.y0 = in.p1->position[1] - 2.0f - (WallBaseOffset(in.wall, in.ds) + record->elevation);
  const bool flipped = record->flipHorizontal != 0;
  const PlanPoint hingeEnd = PointOf(flipped ? in.p1 : in.p2);
  const PlanPoint freeEnd = PointOf(flipped ? in.p2 : in.p1);
  leaf.openWidth = DistanceOf(hingeEnd, freeEnd);
  const float beta = AngleOf(hingeEnd, freeEnd);
  const PlanPoint hinge = Snapped(Along(hingeEnd, beta, inset));
  const LeafLine line = SwingLeafLine(hinge, beta + record->openAngle(), leaf.openWidth);
  leaf.l0 = line.start;
  leaf.l1 = line.tip;
  leaf.w = DistanceOf(leaf.l0, leaf.l1);
  leaf.delta = AngleOf(leaf.l0, leaf.l1);
  leaf.d = FacePolar(leaf.delta + kHalfPi, kBoxHalfDepth);
  return leaf;
}

// Number of divisions of `length` into pieces near `target`: rounded, at least 1.
int32_t Divisions(float length, float target) {
  if (!(target > 0)) return 1;
  return LimitRepeats(std::trunc(static_cast<double>(length) / target + 0.5));
}

}  // namespace

void BuildHingedDoor(Objex* door, DoorWindowData* record) {
  AttachmentInputs in;
  if (!LeafInputs(door, record, &in)) return;
  if (record->subtype != kDoorHinged && record->subtype != kDoorHinged2) return;
  const bool second = record->subtype == kDoorHinged2;
  const float base = WallBaseOffset(in.wall, in.ds) + record->elevation;
  const float yb = in.p1->position[1] - 2.0f - base;
  const float h = record->height - 3.0f;
  const float t = second ? 1.0f : 2.0f;

  const bool flipped = record->flipHorizontal != 0;
  const PlanPoint hingeEnd = PointOf(flipped ? in.p1 : in.p2);
  const PlanPoint otherEnd = PointOf(flipped ? in.p2 : in.p1);
  const float w = DistanceOf(otherEnd, hingeEnd);
  const float closedDir = AngleOf(hingeEnd, otherEnd);
  PlanPoint start;
  if (second) {
    // Always closed, hung half a width beyond the hinge end so it ends mid-opening.
    record->openAngle() = 0;
    start = Snapped(Along(hingeEnd, closedDir, -w / 2));
  } else {
    start = Snapped(hingeEnd);
  }
  const PlanOffset swing = FacePolar(closedDir + record->openAngle(), w);
  const PlanPoint aim{start.x + TruncCoordinate(swing.x), start.z + TruncCoordinate(swing.z)};
  const PlanPoint free = SnappedStep(start, FacePolar(AngleOf(start, aim), w));
  const PlanPoint hinge = SnappedStep(free, FacePolar(AngleOf(free, start), DistanceOf(free, start)));
  const float d = AngleOf(hinge, free);
  const PlanOffset depth = FacePolar(d + kHalfPi, t);
  // Along(hinge, d, fraction * w), the direction's cosine and sine taken once for every part.
  const float cosD = std::cos(d), sinD = std::sin(d);
  auto at = [&](float fraction) {
    const float length = fraction * w;
    return PlanPoint{hinge.x + length * cosD, hinge.z + -length * sinD};
  };
  auto level = [&](float fraction) { return yb - fraction * h; };

  LeafFaces faces(door, record);
  struct Part {
    float from, to, low, high;
  };
  const Part parts[9] = {
      {0.0f, 0.14f, 0.0f, 1.0f},    {1.0f, 0.86f, 0.0f, 1.0f},    {0.14f, 0.86f, 0.0f, 0.11f},
      {0.14f, 0.86f, 0.40f, 0.49f}, {0.14f, 0.86f, 0.78f, 0.84f}, {0.14f, 0.86f, 0.94f, 1.0f},
      {0.43f, 0.57f, 0.11f, 0.40f}, {0.43f, 0.57f, 0.49f, 0.78f}, {0.43f, 0.57f, 0.84f, 0.94f}};
  for (const Part& p : parts) faces.box(kObjFace, at(p.from), at(p.to), depth, level(p.low), level(p.high));
  faces.flat(kObjDoorLeafFace, hinge, free, yb - h, yb);
}

void BuildGarageDoor(Objex* door, DoorWindowData* record) {
  AttachmentInputs in;
  if (!LeafInputs(door, record, &in) || record->subtype != kDoorGarage) return;
  const DocState* ds = in.ds;
  const float y0 = in.p1->position[1] - (WallBaseOffset(in.wall, ds) + record->elevation);
  const float H = record->height;
  const PlanPoint p0 = PointOf(in.p1);
  const PlanPoint p1 = PointOf(in.p2);
  const float alpha = AngleOf(p0, p1);
  const float W = DistanceOf(p0, p1);
  const float stile = CWS(4, ds);
  const float rail = CWS(8, ds);
  const int32_t sections = Divisions(W, CWS(24, ds));
  const float sectionWidth = W / static_cast<float>(sections);
  const int32_t panels = Divisions(H, CWS(21, ds));
  const float panelHeight = H / static_cast<float>(panels);
  const PlanOffset d = FacePolar(alpha + kHalfPi, kBoxHalfDepth);
  auto at = [&](float t) { return Along(p0, alpha, t); };

  LeafFaces faces(door, record);
  for (int32_t i = 1; i < sections && !faces.stopped(); ++i) {
    const float middle = static_cast<float>(i) * sectionWidth;
    faces.garageBox(at(middle - stile / 2), at(middle + stile / 2), d, y0, y0 - H);
  }
  for (int32_t j = 1; j < panels && !faces.stopped(); ++j) {
    const float middle = static_cast<float>(j) * panelHeight;
    faces.garageBox(p0, p1, d, y0 - (middle - rail / 2), y0 - (middle + rail / 2));
  }
  faces.garageBox(p0, at(stile / 2), d, y0, y0 - H);
  faces.garageBox(at(W - stile / 2), p1, d, y0, y0 - H);
  faces.garageBox(p0, p1, d, y0, y0 - rail / 2);
  faces.garageBox(p0, p1, d, y0 - H + rail / 2, y0 - H);
  faces.flat(kObjDoorLeafFace, p0, p1, y0 - H, y0);
}

namespace {

// Stiles, rails and muntins shared by the glass and half-glass leaves.
void BuildGlassLeaf(Objex* door, DoorWindowData* record, const AttachmentInputs& in, bool half) {
  const float h = record->height - 3.0f;
  const SwingLeaf leaf = SetUpSwingLeaf(in, 1.0f);
  const float y0 = leaf.y0;
  const float w = leaf.w;
  auto level = [&](float fraction) { return y0 - fraction * h; };
  const PlanPoint S = Along(leaf.l0, leaf.delta, 0.14f * w);
  const PlanPoint T = Along(leaf.l1, leaf.delta, -0.14f * w);
  const float glazed = 0.72f * w;
  const float lightBottom = half ? 0.49f : 0.11f;

  LeafFaces faces(door, record);
  faces.box(kObjFace, leaf.l0, S, leaf.d, level(0), level(1));
  faces.box(kObjFace, leaf.l1, T, leaf.d, level(0), level(1));
  faces.box(kObjFace, T, S, leaf.d, level(0), level(0.11f));
  if (half) faces.box(kObjFace, T, S, leaf.d, level(0.4f), level(0.49f));
  faces.box(kObjFace, T, S, leaf.d, level(0.94f), level(1));
  for (float f : {0.33f, 0.66f})
    faces.flat(kObjFace, Along(S, leaf.delta, glazed * f - 1.0f), Along(S, leaf.delta, glazed * f + 1.0f),
               level(lightBottom), level(0.94f));
  const float from = y0 - lightBottom * h;
  const float span = lightBottom * h - 0.94f * h;
  const float fullGrid[4] = {0.2f, 0.4f, 0.6f, 0.8f};
  const float halfGrid[2] = {0.33f, 0.66f};
  const float* grid = half ? halfGrid : fullGrid;
  const int lines = half ? 2 : 4;
  for (int i = 0; i < lines; ++i) {
    const float gy = from + grid[i] * span;
    faces.flat(kObjFace, S, T, gy + 1.0f, gy - 1.0f);
  }
  if (!half) return;
  const PlanPoint M = Along(leaf.l0, leaf.delta, 0.5f * w);
  faces.box(kObjFace, Along(M, leaf.delta, -0.07f * w), Along(M, leaf.delta, 0.07f * w), leaf.d, level(0.11f),
            level(0.4f));
  faces.flat(kObjDoorLeafFace, leaf.l0, leaf.l1, level(0.49f), level(0));
}

}  // namespace

void BuildHingedGlassDoor(Objex* door, DoorWindowData* record) {
  AttachmentInputs in;
  if (!LeafInputs(door, record, &in) || record->subtype != kDoorHingedGlass) return;
  BuildGlassLeaf(door, record, in, false);
}

void BuildHingedHalfGlassDoor(Objex* door, DoorWindowData* record) {
  AttachmentInputs in;
  if (!LeafInputs(door, record, &in) || record->subtype != kDoorHingedHalfGlass) return;
  BuildGlassLeaf(door, record, in, true);
}

void BuildBiFoldDoor(Objex* door, DoorWindowData* record) {
  AttachmentInputs in;
  if (!LeafInputs(door, record, &in) || record->subtype != kDoorBiFold) return;
  const float h = record->height - 3.0f;
  const float y0 = in.p1->position[1] - 2.0f - (WallBaseOffset(in.wall, in.ds) + record->elevation);
  auto level = [&](float fraction) { return y0 - fraction * h; };
  const PlanPoint hinge = Snapped(PointOf(in.p1));
  const PlanPoint p1 = PointOf(in.p2);
  const float a = AngleOf(PointOf(in.p1), p1);
  const float W = DistanceOf(PointOf(in.p1), p1);
  record->openAngle() = kPi / 4;
  const bool flipped = record->flipHorizontal != 0;
  const float firstDir = flipped ? a + kPi / 4 : a - kPi / 4;

  const LeafLine first = SwingLeafLine(hinge, firstDir, W / 2);
  const float delta1 = AngleOf(first.start, first.tip);
  const float wl = DistanceOf(first.start, first.tip);
  const PlanPoint fold = first.tip;
  const PlanPoint end = Along(fold, flipped ? delta1 - kHalfPi : delta1 + kHalfPi, wl);

  LeafFaces faces(door, record);
  auto buildLeaf = [&](PlanPoint A, PlanPoint B) {
    const float dir = AngleOf(A, B);
    const PlanOffset d = FacePolar(dir + kHalfPi, kBoxHalfDepth);
    const PlanPoint SA = Along(A, dir, 0.2f * wl);
    const PlanPoint SB = Along(B, dir, -0.2f * wl);
    faces.box(kObjFace, A, SA, d, level(0), level(1));
    faces.box(kObjFace, B, SB, d, level(0), level(1));
    faces.box(kObjFace, SB, SA, d, level(0), level(0.11f));
    faces.box(kObjFace, SB, SA, d, level(0.4f), level(0.49f));
    faces.box(kObjFace, SB, SA, d, level(0.78f), level(0.84f));
    faces.box(kObjFace, SB, SA, d, level(0.94f), level(1));
    faces.flat(kObjDoorLeafFace, A, B, level(1), level(0));
  };
  buildLeaf(first.start, fold);
  buildLeaf(fold, end);
}

void BuildHingedArchDoor(Objex* door, DoorWindowData* record) {
  AttachmentInputs in;
  if (!LeafInputs(door, record, &in)) return;
  if (record->subtype != kDoorArchedHinged && record->subtype != kDoorArchedHingedLow) return;
  const bool low = record->subtype == kDoorArchedHingedLow;
  const SwingLeaf leaf = SetUpSwingLeaf(in, 3.0f);
  const float W = leaf.openWidth;
  const float r = record->width == 0 ? 1.0f : 0.5f * record->width;
  const float ri = W == 0 ? 1.0f : (W - 2 * 0.14f * W) * 0.5f;
  const float ko = low ? (r / ri) * 0.5f : 1.0f;
  const float ki = low ? 0.5f : 1.0f;
  const float rise = ko * r;
  const float y0 = leaf.y0;
  const float h = record->height - rise - 3.0f;
  const float w = leaf.w;
  auto level = [&](float fraction) { return y0 - fraction * h; };
  const PlanPoint S = Along(leaf.l0, leaf.delta, 0.14f * w);
  const PlanPoint T = Along(leaf.l1, leaf.delta, -0.14f * w);
  const PlanPoint M = Along(leaf.l0, leaf.delta, 0.5f * w);
  const float back = leaf.delta + kPi;  // from the tip toward the hinge

  // A point of an arch of across-radius R and vertical scale k at `deg` degrees (the crown
  // at 90), measured from the tip.
  auto archPoint = [&](int deg, float R, float k, float shiftX, float shiftZ) {
    float along = W / 2, up = h + k * R;
    if (deg != 90) {
      const double t = deg * kPiD / 180.0;
      const float c = static_cast<float>(std::fabs(R * std::cos(t)));
      along = deg > 90 ? W / 2 - c : W / 2 + c;
      up = h + static_cast<float>(std::fabs(k * R * std::sin(t)));
    }
    const PlanPoint p = Along(leaf.l1, back, along);
    return std::array<float, 3>{p.x + shiftX, y0 - up, p.z + shiftZ};
  };

  LeafFaces faces(door, record);
  faces.box(kObjFace, T, S, leaf.d, level(0), level(0.11f));
  faces.box(kObjFace, T, S, leaf.d, level(0.4f), level(0.49f));
  faces.box(kObjFace, T, S, leaf.d, level(0.78f), level(0.84f));
  faces.box(kObjFace, T, S, leaf.d, level(0.94f), level(1));
  const PlanPoint m1 = Along(M, leaf.delta, -0.07f * w);
  const PlanPoint m2 = Along(M, leaf.delta, 0.07f * w);
  faces.box(kObjFace, m1, m2, leaf.d, level(0.11f), level(0.4f));
  faces.box(kObjFace, m1, m2, leaf.d, level(0.49f), level(0.78f));
  faces.box(kObjFace, m1, m2, leaf.d, level(0.84f), level(0.94f));
  faces.box(kObjFace, m1, m2, leaf.d, y0 - h, y0 - (h + ki * ri));

  // The arched panel: one ring in the leaf's centre plane.
  float panel[21][3];
  int n = 0;
  auto put = [&](float (*dst)[3], int& count, const std::array<float, 3>& p) {
    dst[count][0] = p[0];
    dst[count][1] = p[1];
    dst[count][2] = p[2];
    ++count;
  };
  put(panel, n, {leaf.l1.x, y0, leaf.l1.z});
  for (int deg = 180; deg >= 0; deg -= 10) put(panel, n, archPoint(deg, r, ko, 0, 0));
  put(panel, n, {leaf.l0.x, y0, leaf.l0.z});
  faces.add(kObjDoorLeafFace, panel, n, 1);

  // The band: both stiles and the arched head as one outline, once behind and once in front
  // of the centre plane.
  float band[84][3];
  int count = 0;
  for (float sign : {-1.0f, 1.0f}) {
    const float sx = sign * leaf.d.x, sz = sign * leaf.d.z;
    put(band, count, {T.x + sx, y0, T.z + sz});
    for (int deg = 180; deg >= 0; deg -= 10) put(band, count, archPoint(deg, ri, ki, sx, sz));
    put(band, count, {S.x + sx, y0, S.z + sz});
    put(band, count, {leaf.l0.x + sx, y0, leaf.l0.z + sz});
    for (int deg = 0; deg <= 180; deg += 10) put(band, count, archPoint(deg, r, ko, sx, sz));
    put(band, count, {leaf.l1.x + sx, y0, leaf.l1.z + sz});
  }
  faces.add(kObjFace, band, count, 2);
}
