// Door and window openings cut into a wall face: one outline builder per opening shape, the
// cut-out it becomes, and the casing of the wall side hung around it.
#include "openings/Carving.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/RepeatLimit.h"
#include "building3d/Triangulation.h"
#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/Floors2D.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "openings/CustomDefinitions.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TransformInfo.h"
#include "model/WallFields.h"
#include "openings/DoorWindowTrims.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;

// An outline point: t along the face from its start corner, h the height above it.
using TH = std::pair<float, float>;

// What every outline builder works from.
struct Frame {
  Plane* plane;
  float a;
  const PlaneVertex* origin;
  DoorWindowData* record;
  int16_t side;
  float base;
  float d;  // the opening's centre along the face
  float E;  // the opening's bottom above the face's bottom
  float W, H;
};

bool MakeFrame(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record, int16_t side,
               float offset, float base, Frame* f) {
  if (!plane || !origin || !record || !gCurPlaneObject) return false;
  float d = offset + record->startDistance;
  if (side == 1) d = length - d;
  *f = Frame{plane, a, origin, record, side, base, d, base + record->elevation, record->width, record->height};
  return true;
}

// +1 or -1: which way the shape faces along the face (the side, turned by the record's flip
// along the wall when the shape has a handedness).
float Facing(const Frame& f, bool handed) {
  bool facing = f.side != 0;
  if (handed && f.record->flipHorizontal) facing = !facing;
  return facing ? 1.0f : -1.0f;
}

// |dx| (along the wall) and |dy| (upward) of the arc point at `degrees` on a circle of `radius`.
void ArcPoint(float degrees, float radius, float* along, float* up) {
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(degrees * kPi / 180.0f, radius, &dx, &dy);
  *along = std::fabs(dx);
  *up = std::fabs(dy);
}

// Turns the (t, h) outline into the cut-out of the face being built and the record's mask.
void FinishCutout(const Frame& f, const TH* outline, int32_t n, bool flipVertical) {
  if (n < 3) return;
  auto* vertices = static_cast<PlaneVertex*>(calloc(static_cast<size_t>(n), sizeof(PlaneVertex)));
  if (!vertices) return;
  // Each point lies t along the face: the face's direction is taken once for all of them, the
  // way GetPointFromLengthAndAngle takes it per point.
  const float c = std::cos(f.a), s = std::sin(f.a);
  for (int32_t i = 0; i < n; ++i) {
    const float t = outline[i].first;
    const float dx = t * c, dz = -t * s;
    vertices[i] = PlaneVertex{f.origin->x + dx, f.origin->y - outline[i].second, f.origin->z + dz, 0, 1.0f, 1.0f};
  }
  if (flipVertical) {
    Plane outlinePlane;
    outlinePlane.vertices = vertices;
    outlinePlane.vertexCount = n;
    FlipPlane(&outlinePlane, 0);
  }
  float cx = 0, cz = 0;
  GetPointFromLengthAndAngle(f.a, f.d, &cx, &cz);
  BuildGenericMaskObject(f.record, vertices, n, f.a, f.base, f.origin->x + cx, 0, f.origin->z + cz, f.side);

  PlaneObject* cutout = CreatePlaneObject();
  if (!cutout) {
    free(vertices);
    return;
  }
  cutout->elevation = f.record->anchorStart ? BaseElevationOf(f.record->anchorStart) : 0;
  cutout->partType = kPartOpeningCutout;
  cutout->sourceObject = cutout->base2DObject = cutout->actual3DObject = gBase2DObject;
  if (!AppendPlane(vertices, n, f.plane->normal[0], f.plane->normal[1], f.plane->normal[2], cutout)) {
    DeletePlaneObject(cutout);
    return;
  }
  AppendPlaneObjectChild(cutout, gCurPlaneObject);
}

void FinishCutout(const Frame& f, const std::vector<TH>& outline, bool flipVertical) {
  FinishCutout(f, outline.data(), static_cast<int32_t>(outline.size()), flipVertical);
}

void FinishCutout(const Frame& f, std::initializer_list<TH> outline, bool flipVertical) {
  FinishCutout(f, outline.begin(), static_cast<int32_t>(outline.size()), flipVertical);
}

bool IsCustomOpening(const DoorWindowData* record) {
  return record->subtype == kDoorCustom || record->subtype == kWindowCustom;
}

void DeleteMask(DoorWindowData* record) {
  if (IsCustomOpening(record)) return;  // a custom opening's masks are its definition
  for (Objex* m = record->maskObject; m;) {
    Objex* next = m->next;
    m->prev = m->next = nullptr;
    DeleteObj(m);
    m = next;
  }
  record->maskObject = nullptr;
}

bool HasCustomTrim(const TrimSlot& slot) { return slot.flag && slot.profile; }

enum class TrimRule { kNone, kStandard, kStandardThenCustom, kCustom };
// The casing of the wall side (and on side 0 the lining) around the opening just cut.
void HangTrims(DoorWindowData* record, float a, int16_t side, float base, TrimRule rule);

}  // namespace

void FlipPlane(Plane* plane, int16_t horizontal) {
  if (!plane || !plane->vertices || plane->vertexCount < 1) return;
  float lo = 30000, hi = -30000;
  for (int32_t i = 0; i < plane->vertexCount; ++i) {
    const float v = horizontal ? plane->vertices[i].x : plane->vertices[i].y;
    if (v < lo) lo = v;
    if (v > hi) hi = v;
  }
  const float twiceMiddle = lo + hi;
  for (int32_t i = 0; i < plane->vertexCount; ++i) {
    float& v = horizontal ? plane->vertices[i].x : plane->vertices[i].y;
    v = twiceMiddle - v;
  }
}

void CarveRectangle(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                    int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const float q = f.W / 2 + 1;
  FinishCutout(f, {{f.d - q, f.E - 1}, {f.d - q, f.E + f.H}, {f.d + q, f.E + f.H}, {f.d + q, f.E - 1}}, false);
}

void CarveArch(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record, int16_t side,
               float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const float r = 1 + f.W / 2;
  float k = 1.0f, g = 0;
  bool feet = true;
  switch (record->subtype) {
    case 504: case 506: k = 1.0f; g = f.H - f.W / 2; break;
    case 505: case 507: k = 0.5f; g = f.H - f.W / 4; break;
    case 601: k = 1.0f; g = 0; feet = false; break;
    case 602: k = 0.5f; g = 0; feet = false; break;
    case 603: k = 0.5f; g = f.W / 4 > f.H ? 1.0f : f.H - f.W / 4; break;
    case 604: k = 1.0f; g = f.W / 2 > f.H ? 1.0f : f.H - f.W / 2; break;
    default: return;
  }
  const float s = Facing(f, true);
  std::vector<TH> pts;
  if (feet) pts.push_back({f.d + s * r, f.E - 1});
  for (int deg = 180; deg >= 100; deg -= 10) {
    float along, up;
    ArcPoint(static_cast<float>(deg), r, &along, &up);
    pts.push_back({f.d + s * along, f.E + g + k * up});
  }
  pts.push_back({f.d, f.E + g + k * r});
  for (int deg = 80; deg >= 0; deg -= 10) {
    float along, up;
    ArcPoint(static_cast<float>(deg), r, &along, &up);
    pts.push_back({f.d - s * along, f.E + g + k * up});
  }
  if (feet) pts.push_back({f.d - s * r, f.E - 1});
  FinishCutout(f, pts, record->flipVertical == 1);
}

void CarveQtrArch(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                  int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const float R = f.W + 1, q = f.W / 2 + 1;
  float k = 1.0f, g = 0;
  bool foot = false;
  switch (record->subtype) {
    case 605: case 606: k = 1.0f; g = f.W > f.H ? 1.0f : f.H - f.W; foot = true; break;
    case 607: case 608: k = 0.5f; g = f.W / 2 > f.H ? 1.0f : f.H - f.W / 2; foot = true; break;
    case 609: case 610: k = 1.0f; g = 0; break;
    case 624: case 625: k = 0.5f; g = 0; break;
    default: return;
  }
  const float s = Facing(f, true);
  std::vector<TH> pts;
  if (foot) pts.push_back({f.d + s * q, f.E - 1});
  for (int deg = 180; deg >= 100; deg -= 10) {
    float along, up;
    ArcPoint(static_cast<float>(deg), R, &along, &up);
    pts.push_back({f.d + s * (along - q), f.E + g + k * up});
  }
  pts.push_back({f.d - s * q, f.E + k * R + g});
  pts.push_back({f.d - s * q, f.E});
  FinishCutout(f, pts, record->flipVertical == 1);
}

void CarveCircle(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record, int16_t side,
                 float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const float r = f.W / 2, M = f.E + r;
  const float s = Facing(f, false);
  std::vector<TH> pts;
  pts.reserve(36);
  auto quarter = [&](int from, float alongSign, float upSign) {
    for (int i = 0; i < 9; ++i) {
      float along, up;
      ArcPoint(static_cast<float>(from - 10 * i), r, &along, &up);
      pts.push_back({f.d + alongSign * s * along, M + upSign * up});
    }
  };
  quarter(180, 1, 1);
  quarter(90, -1, 1);
  quarter(360, -1, -1);
  quarter(270, 1, -1);
  FinishCutout(f, pts, false);
}

void CarveOctagon(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                  int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  float c = 0.3f * f.W;
  if (c == 0) c = 1.0f;
  const float q = f.W / 2, s = Facing(f, false), W = f.W, d = f.d, E = f.E;
  FinishCutout(f,
               {{d + s * (q - c), E}, {d + s * q, E + c}, {d + s * q, E + W - c}, {d + s * (q - c), E + W},
                {d - s * (q - c), E + W}, {d - s * q, E + W - c}, {d - s * q, E + c}, {d - s * (q - c), E}},
               false);
}

void CarveParallelogram(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                        int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const float q = f.W / 2, s = Facing(f, true), W = f.W, d = f.d, E = f.E;
  float c = f.W / 4;
  if (c == 0) c = 1.0f;
  FinishCutout(f, {{d + s * q, E}, {d + s * (q - c), E + W}, {d - s * q, E + W}, {d - s * (q - c), E}},
               record->flipVertical == 1);
}

void CarvePentagon(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                   int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const float q = f.W / 2, s = Facing(f, false), W = f.W, d = f.d, E = f.E;
  const float H = f.W / 2 > f.H ? f.W / 2 + 1 : f.H;
  if (record->subtype == 619)
    FinishCutout(f, {{d + s * q, E}, {d + s * q, E + H - W / 2}, {d, E + H}, {d - s * q, E + H - W / 2}, {d - s * q, E}},
                 record->flipVertical == 1);
  else if (record->subtype == 618)
    FinishCutout(f, {{d + s * q, E}, {d, E + W / 2}, {d - s * q, E}}, record->flipVertical == 1);
}

void CarveTriangleCorner(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                         int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const float q = f.W / 2, s = Facing(f, true), W = f.W, d = f.d, E = f.E;
  const float H = f.W > f.H ? f.W + 1 : f.H;
  if (record->subtype == 614 || record->subtype == 615)
    FinishCutout(f, {{d + s * q, E}, {d + s * q, E + H - W}, {d - s * q, E + H}, {d - s * q, E}},
                 record->flipVertical == 1);
  else if (record->subtype == 616 || record->subtype == 617)
    FinishCutout(f, {{d + s * q, E}, {d - s * q, E + W}, {d - s * q, E}}, record->flipVertical == 1);
}

void CarveChipCorner(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                     int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  const bool six = record->subtype == 613;
  if (!six && record->subtype != 611 && record->subtype != 612) return;
  float c = six ? f.W / 4 : f.W / 2;
  if (c == 0) c = 1.0f;
  const float q = f.W / 2, s = Facing(f, true), d = f.d, E = f.E;
  const float H = c > f.H ? c + 1 : f.H;
  std::vector<TH> pts{{d + s * q, E}, {d + s * q, E + H - c}, {d + s * (q - c), E + H}};
  if (six) {
    pts.push_back({d - s * (q - c), E + H});
    pts.push_back({d - s * q, E + H - c});
    pts.push_back({d - s * q, E});
  } else {
    pts.push_back({d - s * q, E + H});
    pts.push_back({d - s * q, E});
  }
  FinishCutout(f, pts, record->flipVertical == 1);
}

void CarveCustomShape(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                      int16_t side, float offset, float, float base) {
  Frame f;
  if (!MakeFrame(plane, a, length, origin, record, side, offset, base, &f)) return;
  DocState* ds = CurDocState();
  Poinz* start = record->anchorStart;
  Poinz* end = record->anchorEnd;
  if (!ds || !start || !end || !start->owner) return;
  const float T = ConvertWorldToScreen(start->owner->width, ds, 0);
  float lineLength = 0;
  const float lineAngle = GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0],
                                                end->position[2], &lineLength);
  float ox = 0, oz = 0;
  GetPointFromLengthAndAngle(lineAngle, record->startDistance, &ox, &oz);
  ox += start->position[0];
  oz += start->position[2];
  float defW = 0, defH = 0;
  GetCustomAttachmentWidthAndHeight(record, &defW, &defH);
  const float sx = defW != 0 ? record->width / defW : 1.0f;
  const float sy = defH != 0 ? record->height / defH : 1.0f;
  const int32_t quality = ds->windowDoorRenderQuality() > 0 ? LimitRepeats(ds->windowDoorRenderQuality()) : 8;

  for (Objex* mask = record->maskObject; mask; mask = mask->next) {
    Objex* copy = DuplicateObject(mask, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
    if (!copy) return;
    const int16_t savedSegments = ds->curveSegments;
    ds->curveSegments = static_cast<int16_t>(quality);
    ConvertObjectCurvesToPolygons(copy);
    ds->curveSegments = savedSegments;
    int32_t n = 0;
    for (Poinz* p = copy->firstPoint; p; p = p->next) {
      p->selected = 1;
      p->locked = 0;
      ++n;
    }
    TransformInfo xform{};
    xform.scale[0] = sx;
    xform.scale[1] = sy;
    const int16_t savedPlane = ds->viewPlane;
    ds->viewPlane = 1;
    ScaleObject(copy, &xform);
    ds->viewPlane = savedPlane;

    if (n >= 3) {
      auto* vertices = static_cast<PlaneVertex*>(calloc(static_cast<size_t>(n), sizeof(PlaneVertex)));
      PlaneObject* cutout = vertices ? CreatePlaneObject() : nullptr;
      if (!cutout) {
        free(vertices);
        DeleteObj(copy);
        return;
      }
      int32_t i = 0;
      for (Poinz* p = copy->firstPoint; p && i < n; p = p->next, ++i) {
        float x = p->position[0];
        float z = p->position[2] + (side == 1 ? -(T / 2 + 1) : T / 2 + 1);
        Rotate(&x, &z, 0, 0, lineAngle);
        vertices[i] = PlaneVertex{x + ox, p->position[1] - f.E, z + oz, 0, 1.0f, 1.0f};
      }
      cutout->elevation = BaseElevationOf(start);
      cutout->partType = kPartOpeningCutout;
      cutout->sourceObject = cutout->base2DObject = cutout->actual3DObject = gBase2DObject;
      if (AppendPlane(vertices, n, plane->normal[0], plane->normal[1], plane->normal[2], cutout)) {
        R3DTriangulatePlaneObject(cutout);
        AppendPlaneObjectChild(cutout, gCurPlaneObject);
      } else {
        DeletePlaneObject(cutout);
      }
    }
    DeleteObj(copy);
  }
}

namespace {
using Builder = void (*)(Plane*, float, float, const PlaneVertex*, DoorWindowData*, int16_t, float, float, float);

// The outline builder of the opening's shape and the rule its casings follow; null for the
// subtypes that cut nothing (513-599 and anything outside 500-626).
Builder BuilderFor(int16_t st, TrimRule* rule) {
  *rule = TrimRule::kStandard;
  if (st < 500 || st > 626) return nullptr;
  if ((st >= 500 && st <= 503) || (st >= 508 && st <= 511) || st == 600) return CarveRectangle;
  if ((st >= 504 && st <= 507) || (st >= 601 && st <= 604)) return CarveArch;
  if ((st >= 605 && st <= 610) || st == 624 || st == 625) return CarveQtrArch;
  if (st >= 611 && st <= 613) return CarveChipCorner;
  if (st >= 614 && st <= 617) return CarveTriangleCorner;
  if (st == 618 || st == 619) return CarvePentagon;
  if (st == 620 || st == 621) return *rule = TrimRule::kStandardThenCustom, CarveParallelogram;
  if (st == 622) return CarveOctagon;
  if (st == 623) return *rule = TrimRule::kStandardThenCustom, CarveCircle;
  if (st == 512 || st == 626) return *rule = TrimRule::kCustom, CarveCustomShape;
  return nullptr;
}

// Position of (x, z) along the strip's chord.
float ChordPosition(const FaceStrip& s, float x, float z) {
  return (x - s.chordOriginX) * s.chordDirX + (z - s.chordOriginZ) * s.chordDirZ;
}

struct ChordVertex {
  float x;  // along the chord
  PlaneVertex v;
};

// Keeps the part of the polygon on the `keepAbove` side of chord position `limit`.
std::vector<ChordVertex> ClipAt(const std::vector<ChordVertex>& in, float limit, bool keepAbove) {
  std::vector<ChordVertex> out;
  const size_t n = in.size();
  auto inside = [&](const ChordVertex& c) { return keepAbove ? c.x >= limit : c.x <= limit; };
  for (size_t i = 0; i < n; ++i) {
    const ChordVertex& p = in[i];
    const ChordVertex& q = in[(i + 1) % n];
    if (inside(p)) out.push_back(p);
    if (inside(p) != inside(q)) {
      const float k = (limit - p.x) / (q.x - p.x);
      ChordVertex c = p;
      c.x = limit;
      c.v.y = p.v.y + k * (q.v.y - p.v.y);
      c.v.u = p.v.u + k * (q.v.u - p.v.u);
      c.v.v = p.v.v + k * (q.v.v - p.v.v);
      c.v.flag = 0;
      out.push_back(c);
    }
  }
  return out;
}

// Moves a cut-out made on the straight face along the chord onto the strip: each plane is
// clipped to the strip's stretch of the chord and laid on the strip, keeping its heights.
// False when nothing of it falls on the strip.
bool FitCutoutToStrip(PlaneObject* cutout, const FaceStrip& s) {
  const float span = s.chordEnd - s.chordStart;
  const float lo = std::min(s.chordStart, s.chordEnd), hi = std::max(s.chordStart, s.chordEnd);
  Plane* kept = nullptr;
  Plane* keptTail = nullptr;
  for (Plane* p = cutout->planes; p;) {
    Plane* next = p->next;
    p->prev = p->next = nullptr;
    std::vector<ChordVertex> poly;
    if (p->vertices)
      for (int32_t i = 0; i < p->vertexCount; ++i)
        poly.push_back({ChordPosition(s, p->vertices[i].x, p->vertices[i].z), p->vertices[i]});
    if (poly.size() >= 3) poly = ClipAt(ClipAt(poly, lo, true), hi, false);
    // A piece that only touches the strip's edge covers nothing of it.
    float least = hi, most = lo;
    for (const ChordVertex& c : poly) least = std::min(least, c.x), most = std::max(most, c.x);
    if (!(most > least)) poly.clear();
    auto* vertices = poly.size() >= 3 ? static_cast<PlaneVertex*>(calloc(poly.size(), sizeof(PlaneVertex))) : nullptr;
    if (!vertices) {
      DeletePlane(p);
      p = next;
      continue;
    }
    for (size_t i = 0; i < poly.size(); ++i) {
      const float k = (poly[i].x - s.chordStart) / span;
      vertices[i] = poly[i].v;
      vertices[i].x = s.start->x + k * (s.end->x - s.start->x);
      vertices[i].z = s.start->z + k * (s.end->z - s.start->z);
    }
    ReleasePlaneVertices(p);
    p->vertices = vertices;
    p->vertexCount = static_cast<int32_t>(poly.size());
    p->prev = keptTail;
    if (keptTail) keptTail->next = p;
    else kept = p;
    keptTail = p;
    p = next;
  }
  cutout->planes = kept;
  return kept != nullptr;
}
}  // namespace

void CarveDoorWindowIntoStrip(Plane* plane, float a, float length, const PlaneVertex* origin, DoorWindowData* record,
                              int16_t side, float offset, float wallHeight, float base, const FaceStrip& strip,
                              bool withTrims) {
  PlaneObject* po = gCurPlaneObject;
  if (!plane || !origin || !record || !po || !strip.start || !strip.end) return;
  // A strip standing across the chord covers no stretch of it: no cut-out falls on it.
  const bool slim = std::fabs(strip.chordEnd - strip.chordStart) < kStripSpanMin;
  if (slim && !withTrims) return;
  TrimRule rule;
  const Builder build = BuilderFor(record->subtype, &rule);
  if (!build) return;
  PlaneObject* last = po->children;
  while (last && last->next) last = last->next;
  if (withTrims) {
    CarveDoorWindowAttachment(plane, a, length, origin, record, side, offset, wallHeight, base);
  } else if (IsCustomOpening(record)) {
    build(plane, a, length, origin, record, side, offset, wallHeight, base);
  } else {
    // Only the cut-out: the mask the builder makes is this strip's and goes with it; the
    // record keeps the one it had.
    Objex* kept = record->maskObject;
    record->maskObject = nullptr;
    build(plane, a, length, origin, record, side, offset, wallHeight, base);
    DeleteMask(record);
    record->maskObject = kept;
  }
  for (PlaneObject* c = last ? last->next : po->children; c;) {
    PlaneObject* next = c->next;
    if (slim || !FitCutoutToStrip(c, strip)) {
      if (c->prev) c->prev->next = next;
      else po->children = next;
      if (next) next->prev = c->prev;
      c->prev = c->next = nullptr;
      DeletePlaneObject(c);
    }
    c = next;
  }
}

void CarveDoorWindowAttachment(Plane* plane, float a, float length, const PlaneVertex* origin,
                               DoorWindowData* record, int16_t side, float offset, float wallHeight, float base) {
  if (!plane || !origin || !record) return;
  TrimRule rule;
  const Builder build = BuilderFor(record->subtype, &rule);
  if (!build) return;  // 513-599: nothing to cut
  build(plane, a, length, origin, record, side, offset, wallHeight, base);

  BeginTrimBatch();
  HangTrims(record, a, side, base, rule);
  EndTrimBatch();
}

namespace {
void HangTrims(DoorWindowData* record, float a, int16_t side, float base, TrimRule rule) {
  const int16_t custom = rule == TrimRule::kCustom ? 1 : 0;
  if (side == 0) {
    BuildInnerTrimPlanes(record, a, base, custom);
    if (HasCustomTrim(record->trimSlotA)) {
      ApplyCustomTrimToDoorWin(record->trimSlotA.profile, a, record, 0, custom, base);
      return;
    }
    ApplyStandardTrimToDoorWin(a, record, 0, custom, base);
    if (!custom) DeleteMask(record);
    return;
  }
  if (rule == TrimRule::kStandardThenCustom) {
    ApplyStandardTrimToDoorWin(a, record, 1, 0, base);
    if (HasCustomTrim(record->trimSlotB)) ApplyCustomTrimToDoorWin(record->trimSlotB.profile, a, record, 1, 0, base);
    else DeleteMask(record);
    return;
  }
  if (HasCustomTrim(record->trimSlotB)) {
    ApplyCustomTrimToDoorWin(record->trimSlotB.profile, a, record, 1, custom, base);
    return;
  }
  ApplyStandardTrimToDoorWin(a, record, 1, custom, base);
  if (!custom) DeleteMask(record);
}
}  // namespace
