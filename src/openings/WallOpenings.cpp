// Finishing one face of a wall in the 3D model: segment and side, material, openings, side
// trims, the outline of the height mode, the closing face, the end caps and the step faces.
#include "openings/WallOpenings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "building3d/PlaneObjects.h"
#include "building3d/Surfaces.h"
#include "building3d/WallFaceFinish.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/PlanarPolygons.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"
#include "openings/Carving.h"
#include "openings/DoorWindowTrims.h"
#include "openings/WallTrims.h"

namespace {

constexpr int16_t kPointTypeSegmentEnd = 9;
constexpr int16_t kPartMarkedSegment = 7;
constexpr int16_t kRenderKindWallOutline = 3;
constexpr int16_t kHiddenEdgeFlag = 10000;
constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr RGBColor kFramingPlain{55512, 58596, 61680};
// How far a strip's corner may lie from the face's corner it stands for (rounding of the
// curved surface's evaluation).
constexpr float kCornerTolerance = 0.01f;

// Where the face lies: its segment (start and end point), its side, and for side 1 the part
// point across the wall from the face's start.
struct FaceSegment {
  int side = 0;
  int32_t k = -1;
  int32_t N = 0;
  bool closingFace = false;  // the face that closes a closed wall
  bool farEndCap = false;    // the end cap at the last point of an open wall
  bool nearEndCap = false;   // the end cap at the first point of an open wall
  Poinz* start = nullptr;
  Poinz* end = nullptr;
  Poinz* across = nullptr;
};

Poinz* WallPointAt(Objex* wall, int32_t k) {
  Poinz* p = wall->firstPoint;
  for (int32_t i = 0; p && i < k; ++i) p = p->next ? p->next : (wall->closed ? wall->firstPoint : nullptr);
  return p;
}

Poinz* LastPoint(Objex* wall) {
  Poinz* p = wall->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

FaceSegment FindSegment(Objex* part, Objex* wall, int32_t faceIndex) {
  FaceSegment f;
  const int32_t count = part->pointCount;
  f.N = wall->closed ? count / 4 - 1 : count / 4;
  if (f.N < 2) return f;
  const int32_t s = faceIndex;
  if (!wall->closed) {
    if (s <= f.N - 2) {
      f.k = s;
    } else {
      f.side = 1;
      f.k = count / 2 - s - 2;
      if (f.k == f.N - 1) {
        f.farEndCap = true;
        f.start = WallPointAt(wall, f.k);
        return f;
      }
      if (f.k < 0) {
        f.nearEndCap = true;
        f.k = -1;
        return f;
      }
    }
  } else if (s <= f.N - 1) {
    f.k = s;
  } else {
    f.k = 2 * f.N - s;
    if (f.k == s) {
      f.closingFace = true;
      return f;
    }
    if (f.k < 0) return f;
    f.side = 1;
  }
  f.start = WallPointAt(wall, f.k);
  if (!f.start) return f;
  f.end = f.start->next ? f.start->next : (wall->closed ? wall->firstPoint : nullptr);
  // The closing segment's return face has no point across (and so no step faces).
  if (f.side == 1 && f.k != f.N - 1) {
    Poinz* p = part->firstPoint;
    for (int32_t i = 0; p && i < f.k + 1; ++i) p = p->next;
    f.across = p;
  }
  return f;
}

void ClearLinks(PlaneObject* po) {
  po->textureLinkA = po->textureLinkB = nullptr;
  po->scaleLinkA = po->scaleLinkB = nullptr;
  po->colorLinkA = po->colorLinkB = nullptr;
}

// The face's material: the segment's slots for the side (side 0 shows the second slot on
// side A), linked back to the point; the framing materials in framing view.
void SetFaceMaterial(PlaneObject* po, Poinz* start, int side, const DocState* ds) {
  TakeWallSideMaterials(po, start, side);
  po->trimRecordRef = side == 0 ? &start->trim1 : &start->trim2;
  po->trimPoint = start;
  if (!ds->framingView) return;
  // The framing material replaces the point's: nothing links back to the point's fields, or
  // the renderer would show them instead.
  ClearLinks(po);
  po->textureScaleA[0] = po->textureScaleA[1] = po->textureScaleB[0] = po->textureScaleB[1] = 100;
  if (!const_cast<DocState*>(ds)->framingPlainColors()) {
    po->textureIdA = po->textureIdB = kFramingFaceTexture;
    po->colorA = po->colorB = kWhite;
  } else {
    po->textureIdA = po->textureIdB = 0;
    po->colorA = po->colorB = kFramingPlain;
  }
}

bool SameDistanceOrder(Objex* a, Objex* b, int16_t side) {
  const float da = AttachmentData(a)->startDistance, db = AttachmentData(b)->startDistance;
  return side == 0 ? da < db : da > db;
}

// Height of a base or crown moulding from the trim word's size bits (8, 16, 32, 64).
float MouldingHeight(int32_t bits, const DocState* ds) {
  const bool metric = ds->measureSystem == kMeasureMetric;
  const float inches[4] = {3, 4, 6, 8}, cm[4] = {8, 10, 15, 20};
  const int32_t flags[4] = {8, 16, 32, 64};
  for (int i = 0; i < 4; ++i)
    if (bits & flags[i]) return metric ? ConvertCMToInches(cm[i]) : inches[i];
  return metric ? ConvertCMToInches(15) : 6;
}

// Height of paneling or a wainscot band from four size bits.
float BandHeight(int32_t bits, const int32_t flags[4], const DocState* ds) {
  const bool metric = ds->measureSystem == kMeasureMetric;
  const float inches[4] = {36, 42, 48, 60}, cm[4] = {90, 105, 120, 150};
  for (int i = 0; i < 4; ++i)
    if (bits & flags[i]) return metric ? ConvertCMToInches(cm[i]) : inches[i];
  return metric ? ConvertCMToInches(105) : 42;
}

void HangSideTrims(TrimData* r, Plane* plane, float angle, float L, const PlaneVertex* v3, const PlaneVertex* v0,
                   Poinz* start, float base, int16_t side, const DocState* ds) {
  if (!r) return;
  const float wallHeight = ConvertWorldToScreen(WallHeightOf(start), ds, 0);
  const float elevation = BaseElevationOf(start);
  const int32_t f = r->lowerTrim();
  if (f & 3) {
    gBaseTrimHeight = MouldingHeight(f, ds);
    CreateMoulding(r, plane, angle, L, v3, v0, wallHeight, base, side, elevation, 63);
  } else if (f == kTrimCustomProfile) {
    ApplyCustomTrimToWall(r, plane, angle, L, v3, v0, WallHeightOf(start), base, side, elevation, start);
  } else if (f & 4) {
    const int32_t flags[4] = {0x80, 0x100, 0x200, 0x400};
    gPanelingHeight = BandHeight(f, flags, ds);
    CreatePaneling(r, plane, angle, L, v3, v0, wallHeight, base, side, elevation, 64);
  } else if (f & 0x800) {
    const int32_t flags[4] = {0x1000, 0x2000, 0x4000, 0x8000};
    gBaseTrimHeight = BandHeight(f, flags, ds);
    CreateMoulding(r, plane, angle, L, v3, v0, wallHeight, base, side, elevation, 132);
  }
  // The custom profiles of both words are swept by one call.
  const int32_t t = r->crownTrim();
  if (t == kTrimCustomProfile) {
    if (f != kTrimCustomProfile)
      ApplyCustomTrimToWall(r, plane, angle, L, v3, v0, WallHeightOf(start), base, side, elevation, start);
  } else if (t & 3) {
    gBaseTrimHeight = MouldingHeight(t, ds);
    CreateMoulding(r, plane, angle, L, v3, v0, wallHeight, base, side, elevation, 159);
  }
}

// The distance along the face at which the slope from height `from` reaches `to` at `pitch`
// (rise per 12). A level slope (pitch 0) never reaches it: the slope point then stands at the
// face's end where the slope starts, a vertical step instead of a point infinitely far.
float SlopeRun(float to, float from, float pitch) {
  if (pitch == 0) return 0;
  return (to - from) / (pitch / 12.0f);
}

struct OutlinePoint {
  float t;        // along the face from vertex 0; kAboveV1 above vertex 1, kAboveV2 above vertex 2
  float h;
  bool top = false;  // an end standing at the texture normaliser's height: its v is 0
};
constexpr float kAboveV1 = -1e30f, kAboveV2 = 1e30f;

// The outline of the face by the start point's height mode, between vertex 0 and vertex 3
// (which are not listed); *Hn gets the texture normaliser.
std::vector<OutlinePoint> HeightModeOutline(Poinz* start, int side, float base, float L, const DocState* ds,
                                            float* Hn) {
  const int32_t mode = WallStyleOf(start);
  const float H = base + ConvertWorldToScreen(WallHeightOf(start), ds, 0);
  float hA = side == 0 ? base + ConvertWorldToScreen(HeightCOf(start), ds, 0) : H;
  float hB = side == 0 ? H : base + ConvertWorldToScreen(HeightCOf(start), ds, 0);
  const float hC = base + ConvertWorldToScreen(HeightDOf(start), ds, 0);
  float pa = side == 0 ? PitchBOf(start) : PitchAOf(start);
  float pb = side == 0 ? PitchAOf(start) : PitchBOf(start);
  std::vector<OutlinePoint> out;
  switch (mode) {
    case 1: {
      float t = 32000, h = 32000;
      GetIntersection(0, hA, 100, hA + pa / 12 * 100, L, hB, L - 100, hB + pb / 12 * 100, &t, &h);
      if (t == 32000 && h == 32000) {
        // Parallel slopes never meet: a level top at the lower end's height.
        const float low = std::min(hA, hB);
        out = {{kAboveV1, low, true}, {kAboveV2, low, true}};
        *Hn = low;
      } else {
        out = {{kAboveV1, hA}, {std::fabs(t), std::fabs(h)}, {kAboveV2, hB}};
        *Hn = std::fabs(h);
      }
      break;
    }
    case 2:
    case 3: {
      if (side == 0) {
        hA = hB;
        pa = pb;
      }
      const float X = hA + pa / 12 * L;
      const bool raisedAtV1 = (mode == 2) == (side == 0);
      out = {{kAboveV1, raisedAtV1 ? X : hA, raisedAtV1}, {kAboveV2, raisedAtV1 ? hA : X, !raisedAtV1}};
      *Hn = X;
      break;
    }
    case 4: case 5: case 6: case 7: {
      const float e1 = SlopeRun(hC, hA, pa), e2 = SlopeRun(hC, hB, pb);
      float t1 = e1, t2 = L - e2;
      const bool firstBack = side == 0 ? (mode == 5 || mode == 7) : (mode == 6 || mode == 7);
      const bool secondOut = side == 0 ? (mode == 6 || mode == 7) : (mode == 5 || mode == 7);
      if (firstBack) t1 = -e1;
      if (secondOut) t2 = L + e2;
      out = {{kAboveV1, hA}, {t1, hC}, {t2, hC}, {kAboveV2, hB}};
      *Hn = hC;
      break;
    }
    case 8: case 9: case 10: case 11: {
      const float g = SlopeRun(hA, hB, pb), m = SlopeRun(hB, hA, pa);
      if (side == 0) std::swap(hA, hB);
      float t = 0;
      switch (mode) {
        case 8: t = side == 0 ? g : L - m; break;
        case 9: t = side == 0 ? -g : L + m; break;
        case 10: t = side == 0 ? L - g : m; break;
        default: t = side == 0 ? L + g : -m; break;
      }
      const bool v1AtA = (mode == 8 || mode == 9) == (side == 0);
      out = {{kAboveV1, v1AtA ? hA : hB, !v1AtA}, {t, hB}, {kAboveV2, v1AtA ? hB : hA, v1AtA}};
      *Hn = hB;
      break;
    }
    default:
      out = {{kAboveV1, H, true}, {kAboveV2, H, true}};
      *Hn = H;
      break;
  }
  if (*Hn == 0) *Hn = 1.0f;
  return out;
}

// Replaces the face's rectangle by the outline of the height mode.
void ReshapeFace(Plane* plane, const PlaneVertex V[4], Poinz* start, Objex* wall, int side, float base, float L,
                 const DocState* ds) {
  float Hn = 1;
  const std::vector<OutlinePoint> points = HeightModeOutline(start, side, base, L, ds, &Hn);
  float length = 0;
  const float dir = GetLineLengthAndAngle(V[0].x, V[0].z, V[3].x, V[3].z, &length);
  const float y0 = V[0].y;
  // Only a segment of mode 0 hides its edges in the orthographic view.
  const bool modeZero = WallStyleOf(start) == 0;
  const bool ortho = const_cast<DocState*>(ds)->orthoView() != 0;
  const bool firstFloor = wall->layer && std::strcmp(wall->layer->name, "First Floor") == 0;

  PlanarPolyPoint* poly = nullptr;
  int32_t size = 0;
  int32_t count = 0;
  auto store = [&](float x, float y, float z, int16_t flag, float u, float v) {
    if (!StorePolyPoint(&poly, x, y, z, &size, flag, u, v)) return false;
    ++count;
    return true;
  };
  bool ok = store(V[0].x, V[0].y, V[0].z, 0, 0, 1);
  for (const OutlinePoint& p : points) {
    if (!ok) break;
    // An end's v follows its height over the normaliser, so it may fall below 0 where the end
    // stands higher (an apex below an end); the end that defines the normaliser keeps v 0.
    const float v = p.top ? 0.0f : 1.0f - p.h / Hn;
    if (p.t == kAboveV1) {
      ok = store(V[1].x, y0 - p.h, V[1].z, modeZero && ortho ? kHiddenEdgeFlag : 0, 0, v);
    } else if (p.t == kAboveV2) {
      ok = store(V[2].x, y0 - p.h, V[2].z, 0, 1, v);
    } else {
      float dx = 0, dz = 0;
      GetPointFromLengthAndAngle(dir, p.t, &dx, &dz);
      ok = store(V[0].x + dx, y0 - p.h, V[0].z + dz, 0, L != 0 ? p.t / L : 0, 0);
    }
  }
  if (ok) ok = store(V[3].x, V[3].y, V[3].z, modeZero && ortho && !firstFloor ? kHiddenEdgeFlag : 0, 1, 1);
  ReleasePlaneVertices(plane);
  if (!ok || !poly || count < 3) {
    DeletePlanarPolygon(poly);
    plane->vertices = nullptr;
    plane->vertexCount = 0;
    return;
  }
  plane->vertices = poly;
  plane->vertexCount = count;
  PlaneObject* po = gCurPlaneObject;
  if (!po) return;
  SetFaceMaterial(po, start, side, ds);
  if (po->textureIdA) ComputeTextureScale(po->textureIdA, L, Hn, &po->textureSizeA[0], &po->textureSizeA[1]);
  if (po->textureIdB) ComputeTextureScale(po->textureIdB, L, Hn, &po->textureSizeB[0], &po->textureSizeB[1]);
  po->renderKind = kRenderKindWallOutline;
  po->elevation = BaseElevationOf(start);
}

// Raises the top of an end cap or closing face to the wall height at point P's end.
void RaiseCap(Plane* plane, Poinz* P, int16_t end, float base) {
  if (!P || plane->vertexCount < 4) return;
  const float y0 = plane->vertices[0].y;
  const float top = y0 - (base + GetWallHeight(P, end));
  plane->vertices[1].y = top;
  plane->vertices[2].y = top;
  if (gCurPlaneObject) gCurPlaneObject->elevation = BaseElevationOf(P);
}

// One step face from `across` to `bottom`, up to the height `h` above each.
void AddStepFace(Objex* wall, const Poinz* across, const Poinz* bottom, float base, float h, float elevation) {
  const float ax = across->position[0], ay = across->position[1], az = across->position[2];
  const float bx = bottom->position[0], by = bottom->position[1], bz = bottom->position[2];
  PlanarPolyPoint* quad = nullptr;
  int32_t size = 0;
  int stored = StorePolyPoint(&quad, ax, ay, az, &size, 1, 0, 1);
  stored += StorePolyPoint(&quad, ax, ay - (base + h), az, &size, 2, 0, 0);
  stored += StorePolyPoint(&quad, bx, by - (base + h), bz, &size, 3, 1, 0);
  stored += StorePolyPoint(&quad, bx, by, bz, &size, 4, 1, 1);
  if (!quad || stored < 3) {
    DeletePlanarPolygon(quad);
    return;
  }
  PlaneObject* po = CreatePlaneObject();
  if (!po) {
    DeletePlanarPolygon(quad);
    return;
  }
  const RGBColor grey{kStepFaceGrey, kStepFaceGrey, kStepFaceGrey};
  po->textureIdA = po->textureIdB = 0;
  po->colorA = po->colorB = grey;
  po->elevation = elevation;
  float nx = 0, ny = 0, nz = 0, d = 0;
  CalcParametric(quad[0].x, quad[0].y, quad[0].z, quad[1].x, quad[1].y, quad[1].z, quad[2].x, quad[2].y, quad[2].z,
                 &nx, &ny, &nz, &d);
  if (!AppendPlane(quad, stored, nx, ny, nz, po) || !po->planes) {
    DeletePlaneObject(po);
    return;
  }
  AppendPlaneObject(po, wall);
}

void AddStepFaces(Objex* wall, const FaceSegment& f, Poinz* bottomStart, float base) {
  if (f.side != 1 || !f.across || !f.start || !f.end || !bottomStart) return;
  if (!wall->closed && !f.end->next) return;  // the last segment of an open wall
  if (WallHeightOf(f.start) == WallHeightOf(f.end) && BaseElevationOf(f.start) == BaseElevationOf(f.end) &&
      WallStyleOf(f.start) == 0 && WallStyleOf(f.end) == 0)
    return;
  AddStepFace(wall, f.across, bottomStart, base, GetWallHeight(f.start, 2), BaseElevationOf(f.start));
  AddStepFace(wall, f.across, bottomStart, base, GetWallHeight(f.end, 1), BaseElevationOf(f.end));
}

// The offset from the start distance (measured from the wall point) to the face's start corner.
float OpeningOffset(Objex* wall, const FaceSegment& f, const DoorWindowData* record, Poinz* bottomStart,
                    Poinz* bottomEnd, float L) {
  if (!wall->closed && f.start == wall->firstPoint) return 0;
  if (!wall->closed && f.end == LastPoint(wall)) return L - (record->startDistance + record->remainingLength);
  const Poinz* P = f.side == 1 ? bottomEnd : bottomStart;
  float fx = 0, fz = 0;
  GetPerpIntersection(f.start->position[0], f.start->position[2], f.end->position[0], f.end->position[2],
                      P->position[0], P->position[2], &fx, &fz);
  const float seg = GetLineLength(f.start->position[0], f.start->position[2], f.end->position[0], f.end->position[2]);
  const float d = GetLineLength(f.start->position[0], f.start->position[2], fx, fz);
  const float toEnd = GetLineLength(fx, fz, f.end->position[0], f.end->position[2]);
  return toEnd <= seg ? -d : d;
}

bool SamePlanPoint(const PlaneVertex& v, const Poinz* p) {
  return std::fabs(v.x - p->position[0]) <= kCornerTolerance && std::fabs(v.z - p->position[2]) <= kCornerTolerance;
}

// The openings of the segment on one strip of a curved face. Openings are placed along the
// segment's chord (the straight line between its wall points, where their frames stand): each
// is cut into the straight face along the chord between the face's corners, and each strip
// takes the part of that cut-out over its own stretch of the chord. The strip over an
// opening's centre (the first or the last strip for a centre beyond the face) also takes its
// lining and casings, which stand along the chord.
void CarveStripOpenings(Objex* wall, const FaceSegment& f, Poinz* bottomStart, Poinz* bottomEnd, Plane* plane,
                        const PlaneVertex V[4], bool firstStrip, bool lastStrip, float base, const DocState* ds) {
  const float sx = f.start->position[0], sz = f.start->position[2];
  const float ex = f.end->position[0], ez = f.end->position[2];
  float chord = 0;
  const float a = f.side == 0 ? GetLineLengthAndAngle(sx, sz, ex, ez, &chord)
                              : GetLineLengthAndAngle(ex, ez, sx, sz, &chord);
  if (!(chord > 0)) return;
  FaceStrip strip;
  strip.start = &V[3];
  strip.end = &V[0];
  strip.chordOriginX = sx;
  strip.chordOriginZ = sz;
  strip.chordDirX = (ex - sx) / chord;
  strip.chordDirZ = (ez - sz) / chord;
  auto along = [&](float x, float z) { return (x - sx) * strip.chordDirX + (z - sz) * strip.chordDirZ; };
  strip.chordStart = along(V[3].x, V[3].z);
  strip.chordEnd = along(V[0].x, V[0].z);
  const float span = strip.chordEnd - strip.chordStart;
  // The straight face along the chord runs from the face's start corner, on side 0 toward the
  // segment's end, on side 1 back toward its start; the offset takes the start distances
  // (from the segment's start point) to that corner.
  const float faceStart = along(bottomStart->position[0], bottomStart->position[2]);
  const float faceEnd = along(bottomEnd->position[0], bottomEnd->position[2]);
  const float length = f.side == 0 ? faceEnd - faceStart : faceStart - faceEnd;
  const float offset = f.side == 0 ? -faceStart : -faceEnd;
  const PlaneVertex origin{bottomStart->position[0], bottomStart->position[1], bottomStart->position[2], 0, 0, 0};
  const float wallHeight = ConvertWorldToScreen(WallHeightOf(f.start), ds, 0);

  BeginTrimBatch();
  for (Objex* opening : SegmentOpenings(wall, f.start, static_cast<int16_t>(f.side))) {
    if (opening->type != kObjDoor && opening->type != kObjWindow) continue;
    DoorWindowData* record = AttachmentData(opening);
    // Where the centre falls along the strip: from 0 at its start corner to 1 at its end
    // corner (the next strip's start). A strip without span holds none: its neighbours meet.
    bool holdsCentre = false;
    if (span != 0) {
      const float t = (record->startDistance - strip.chordStart) / span;
      holdsCentre = (t >= 0 && t < 1) || (firstStrip && t < 0) || (lastStrip && t >= 1);
    }
    CarveDoorWindowIntoStrip(plane, a, length, &origin, record, static_cast<int16_t>(f.side), offset, wallHeight,
                             base, strip, holdsCentre);
  }
  EndTrimBatch();
}

// One strip of a curved face: its share of the openings, the side's trims along it, the
// outline of a flat segment, and at the face's start corner the step faces.
void FinishStrip(Objex* wall, const FaceSegment& f, Poinz* bottomStart, Poinz* bottomEnd, Plane* plane, float base,
                 const DocState* ds) {
  const PlaneVertex* in = plane->vertices;
  const PlaneVertex V[4] = {in[3], in[2], in[1], in[0]};
  float L = 0;
  const float toEnd = GetLineLengthAndAngle(V[0].x, V[0].z, V[3].x, V[3].z, &L);
  const bool firstStrip = SamePlanPoint(V[3], bottomStart);
  CarveStripOpenings(wall, f, bottomStart, bottomEnd, plane, V, firstStrip, SamePlanPoint(V[0], bottomEnd), base, ds);
  HangSideTrims(static_cast<TrimData*>(f.side == 0 ? f.start->trim1 : f.start->trim2), plane, toEnd, L, &V[3], &V[0],
                f.start, base, static_cast<int16_t>(f.side), ds);
  if (WallStyleOf(f.start) == 0) ReshapeFace(plane, V, f.start, wall, f.side, base, L, ds);
  if (firstStrip) AddStepFaces(wall, f, bottomStart, base);
}

}  // namespace

std::vector<Objex*> SegmentOpenings(Objex* wall, Poinz* start, int16_t side) {
  std::vector<Objex*> list;
  if (!wall || !start) return list;
  for (Objex* c = wall->firstChild; c; c = c->next) {
    DoorWindowData* d = AttachmentData(c);
    if (d && d->anchorStart == start) list.push_back(c);
  }
  std::stable_sort(list.begin(), list.end(), [side](Objex* a, Objex* b) { return SameDistanceOrder(a, b, side); });
  DoorWindowData* previous = nullptr;
  for (Objex* c : list) {
    DoorWindowData* d = AttachmentData(c);
    d->linkPrev = previous;
    d->linkNext = nullptr;
    if (previous) previous->linkNext = d;
    previous = d;
  }
  return list;
}

namespace openings {
void CarveWindowsAndDoors(Objex* part, Objex* wall, Poinz* bottomStart, Poinz* topStart, Poinz* bottomEnd,
                          Poinz* topEnd, int32_t faceIndex, Plane* plane) {
  NoteServiceCall("CarveWindowsAndDoors", part);
  DocState* ds = CurDocState();
  if (!ds || !wall || !bottomStart || !topStart || !bottomEnd || !topEnd || !plane) return;
  // Curved faces are finished strip by strip with the wall in hand: their body owns the corners,
  // which are the whole face's (FinishStrip).
  const bool strip = !part || part->type == kObjWall;
  if (strip && bottomStart->owner) part = bottomStart->owner;
  if (!part || (part->type != kObjWallFace && part->type != kObjWallEdge)) return;
  if (!plane->vertices || plane->vertexCount != 4) return;
  const FaceSegment f = FindSegment(part, wall, faceIndex);
  if (f.N < 2) return;
  const float base = ConvertWorldToScreen(FloorDepthOf(wall), ds, 0);

  if (f.closingFace) {
    RaiseCap(plane, WallPointAt(wall, faceIndex - 1), 2, base);
    return;
  }
  if (f.farEndCap) {
    if (f.start) RaiseCap(plane, f.start->prev, 2, base);
    return;
  }
  if (f.nearEndCap) {
    // The end of an open wall at its first point stands as high as the first segment starts.
    RaiseCap(plane, wall->firstPoint, 1, base);
    return;
  }
  if (!f.start || !f.end) return;

  PlaneObject* po = gCurPlaneObject;
  if (ds->framingView && WallStyleOf(f.start) == 0) {
    if (po) {
      DeletePlaneList(po->planes);
      po->planes = nullptr;
    }
    return;
  }
  if (po) SetFaceMaterial(po, f.start, f.side, ds);
  if (strip) {
    FinishStrip(wall, f, bottomStart, bottomEnd, plane, base, ds);
    return;
  }

  // The face's corners: the face builder leaves the start corner first; vertex 0 here is the
  // bottom corner at the face's end, vertex 3 the start corner (bottomStart).
  const PlaneVertex* in = plane->vertices;
  const PlaneVertex V[4] = {in[3], in[2], in[1], in[0]};
  float L = 0;
  const float toStart = GetLineLengthAndAngle(V[3].x, V[3].z, V[0].x, V[0].z, &L);
  const float toEnd = GetLineLengthAndAngle(V[0].x, V[0].z, V[3].x, V[3].z, &L);
  const float wallHeight = ConvertWorldToScreen(WallHeightOf(f.start), ds, 0);

  // The casings of all the face's openings are linked at the end of its trim list, found once.
  BeginTrimBatch();
  for (Objex* opening : SegmentOpenings(wall, f.start, static_cast<int16_t>(f.side))) {
    if (opening->type != kObjDoor && opening->type != kObjWindow) continue;
    DoorWindowData* record = AttachmentData(opening);
    const float offset = OpeningOffset(wall, f, record, bottomStart, bottomEnd, L);
    CarveDoorWindowAttachment(plane, toStart, L, &V[3], record, static_cast<int16_t>(f.side), offset, wallHeight,
                              base);
  }
  EndTrimBatch();
  HangSideTrims(static_cast<TrimData*>(f.side == 0 ? f.start->trim1 : f.start->trim2), plane, toEnd, L, &V[3], &V[0],
                f.start, base, static_cast<int16_t>(f.side), ds);
  ReshapeFace(plane, V, f.start, wall, f.side, base, L, ds);
  if (po && (f.start->pointType == kPointTypeSegmentEnd || f.end->pointType == kPointTypeSegmentEnd))
    po->partType = kPartMarkedSegment;
  AddStepFaces(wall, f, bottomStart, base);
}
}  // namespace openings
