// Trims along the sides of wall faces: mouldings, wainscot band, paneling and custom profiles.
#include "openings/WallTrims.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/RepeatLimit.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/Floors2D.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"

float gBaseTrimHeight = 6.0f;
float gPanelingHeight = 42.0f;

namespace {

constexpr float kPi = 3.14159265358979323846f;
// How far each trim stands out from the face.
constexpr float kBandOut = 0.75f;
constexpr float kRailOut = 1.9f;
constexpr float kStileOut = 1.91f;
// Paneling: width of a rail or stile, and the spacings the counts are taken from.
constexpr float kPanelMember = 4.0f;
constexpr float kRailSpacing = 12.0f;
constexpr float kStileSpacing = 18.0f;
// The mitre line of a custom profile runs from the segment end through a point this far away.
constexpr float kMitreReach = 10.0f;
constexpr float kNoIntersection = 32000.0f;

// Both sides of a trim take material slot `slot` of the record, linked back to its fields.
void TakeRecordMaterial(PlaneObject* po, TrimData* r, int slot) {
  po->textureIdA = po->textureIdB = r->slotTextureIDs[slot];
  po->colorA = po->colorB = r->slotColors[slot];
  po->textureScaleA[0] = po->textureScaleB[0] = r->slotTextureScales[slot].x;
  po->textureScaleA[1] = po->textureScaleB[1] = r->slotTextureScales[slot].y;
  po->textureLinkA = po->textureLinkB = &r->slotTextureIDs[slot];
  po->colorLinkA = po->colorLinkB = &r->slotColors[slot];
  po->scaleLinkA = po->scaleLinkB = &r->slotTextureScales[slot].x;
}

// Texture sizes of both sides for a trim of the given extent (textured trims only).
void SizeTexture(PlaneObject* po, float extentU, float extentV) {
  if (po->textureIdA == 0) return;
  ComputeTextureScale(po->textureIdA, extentU, extentV, &po->textureSizeA[0], &po->textureSizeA[1]);
  po->textureSizeB[0] = po->textureSizeA[0];
  po->textureSizeB[1] = po->textureSizeA[1];
}

// A new trim of the face being built: part type, elevation and the face's trim record slot.
PlaneObject* NewTrim(int16_t partType, float elevation) {
  PlaneObject* po = CreatePlaneObject();
  if (!po) return nullptr;
  po->partType = partType;
  po->elevation = elevation;
  po->trimRecordRef = gCurPlaneObject->trimRecordRef;
  po->trimPoint = gCurPlaneObject->trimPoint;
  return po;
}

// Hangs finished trims on the face being built, each after the last (found once, so that a
// profile of many faces is hung in time linear in their number); each reports the plan object
// as its part.
class TrimHanger {
 public:
  TrimHanger() : parent_(gCurPlaneObject) {
    for (PlaneObject* t = parent_ ? parent_->attachments : nullptr; t; t = t->next) tail_ = t;
  }
  void hang(PlaneObject* po) {
    // Finished against an empty stand-in parent (elevation, class, links), then linked last.
    PlaneObject holder;
    AppendPlaneObjectAttachment(po, &holder);
    po->actual3DObject = gBase2DObject;
    po->prev = tail_;
    po->next = nullptr;
    if (tail_) tail_->next = po;
    else parent_->attachments = po;
    tail_ = po;
  }

 private:
  PlaneObject* parent_;
  PlaneObject* tail_ = nullptr;
};

void HangTrim(PlaneObject* po) { TrimHanger().hang(po); }

// Where trims stand along a face: points at a distance along the face from its end corner
// (toward its start corner) and out from the face, at a height above the corners.
struct FaceFrame {
  const PlaneVertex* A;  // start corner
  const PlaneVertex* B;  // end corner
  float length;
  float alongX, alongZ;  // unit step from B toward A
  float outX, outZ;      // unit step out of the face

  FaceFrame(const PlaneVertex* start, const PlaneVertex* end, float angle, float L) : A(start), B(end), length(L) {
    GetPointFromLengthAndAngle(angle, 1, &alongX, &alongZ);
    GetPointFromLengthAndAngle(angle + kPi / 2, 1, &outX, &outZ);
  }
  PlaneVertex atA(float out, float h, float u, float v) const {
    return {A->x + out * outX, A->y - h, A->z + out * outZ, 0, u, v};
  }
  PlaneVertex atB(float out, float h, float u, float v) const {
    return {B->x + out * outX, B->y - h, B->z + out * outZ, 0, u, v};
  }
  // t along the face from B; the corner height goes linearly from B's to A's.
  PlaneVertex at(float t, float out, float h, float u, float v) const {
    const float k = length != 0 ? t / length : 0;
    return {B->x + t * alongX + out * outX, B->y + (A->y - B->y) * k - h, B->z + t * alongZ + out * outZ, 0, u, v};
  }
};

// Adds one four-cornered plane to the trim; false when memory ran out.
bool AddQuad(PlaneObject* po, const PlaneVertex (&q)[4], const float normal[3]) {
  Plane* p = AppendPlaneWithRoom(4, normal[0], normal[1], normal[2], po);
  if (!p) return false;
  std::copy(q, q + 4, p->vertices);
  return true;
}

// A front band from A to B between two heights (A bottom, A top, B top, B bottom).
bool AddBand(PlaneObject* po, const FaceFrame& f, float out, float bottom, float top, const float normal[3]) {
  const PlaneVertex q[4] = {f.atA(out, bottom, 0, 1), f.atA(out, top, 0, 0), f.atB(out, top, 1, 0),
                            f.atB(out, bottom, 1, 1)};
  return AddQuad(po, q, normal);
}

// How many rails or stiles over a span and the step between them: the nearest whole count of
// spacings, at least two members (one gap).
int32_t MemberCount(float span, float spacing, float* step) {
  int32_t n = static_cast<int32_t>(LimitRepeats(std::trunc(span / spacing + 0.5f)));
  if (n < 2) n = 2;
  *step = span / static_cast<float>(n - 1);
  return n;
}

bool Ready(TrimData* r, Plane* plane, const PlaneVertex* A, const PlaneVertex* B) {
  return r && plane && A && B && gCurPlaneObject && CurDocState();
}

// --- custom profiles ---

Poinz* LastPointOf(Objex* wall) {
  Poinz* p = wall->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

// The point after p along its wall (on a closed wall the last point wraps to the first).
Poinz* NextWallPoint(Poinz* p) {
  if (!p) return nullptr;
  if (p->next) return p->next;
  return p->owner && p->owner->closed && p->owner->firstPoint != p ? p->owner->firstPoint : nullptr;
}

Poinz* PrevWallPoint(Poinz* p) {
  if (!p) return nullptr;
  if (p->prev) return p->prev;
  if (!p->owner || !p->owner->closed) return nullptr;
  Poinz* last = LastPointOf(p->owner);
  return last != p ? last : nullptr;
}

// Whether a segment's trim on one side is one a custom profile meets in a mitre: a moulding
// (bit 0 or 1) or a custom profile of its own, in the same slot.
bool TrimmedForSlot(Poinz* segmentStart, int16_t side, int16_t slot) {
  if (!segmentStart) return false;
  const auto* r = static_cast<const TrimData*>(side == 1 ? segmentStart->trim2 : segmentStart->trim1);
  if (!r) return false;
  const int32_t word = slot == 0 ? r->lowerTrim() : r->crownTrim();
  return (word & 3) != 0 || word == kTrimCustomProfile;
}

float PlanAngle(const Poinz* from, const Poinz* to) {
  float length = 0;
  return GetLineLengthAndAngle(from->position[0], from->position[2], to->position[0], to->position[2], &length);
}

// The mitre line at a joint: through `corner` toward the point kMitreReach away along the
// bisector of the directions `a1` and `a2`.
struct Mitre {
  bool on = false;
  float x0 = 0, z0 = 0, x1 = 0, z1 = 0;
};
Mitre MitreAt(const PlaneVertex* corner, float a1, float a2) {
  Mitre m;
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(a2 + (a1 - a2) * 0.5f, kMitreReach, &dx, &dz);
  m.on = true;
  m.x0 = corner->x, m.z0 = corner->z;
  m.x1 = corner->x + dx, m.z1 = corner->z + dz;
  return m;
}

// Moves v along the line v-w onto the mitre line (unless the two lines do not meet).
void OntoMitre(PlaneVertex* v, const PlaneVertex& w, const Mitre& m) {
  float x = kNoIntersection, z = kNoIntersection;
  GetIntersection(v->x, v->z, w.x, w.z, m.x0, m.z0, m.x1, m.z1, &x, &z);
  if (x == kNoIntersection && z == kNoIntersection) return;
  if (!std::isfinite(x) || !std::isfinite(z)) return;
  v->x = x;
  v->z = z;
}

// A face of a custom profile: part type, the face's record slot and the material of the trim
// slot (0 lower, 1 crown).
PlaneObject* NewProfileFace(TrimData* record, int16_t slot) {
  PlaneObject* po = NewTrim(kPartBaseMoulding, 0);
  if (po) TakeRecordMaterial(po, record, slot == 1 ? kTrimSlotCrown : kTrimSlotLower);
  return po;
}

}  // namespace

void CreateMoulding(TrimData* r, Plane* plane, float angle, float L, const PlaneVertex* A, const PlaneVertex* B,
                    float h, float base, int16_t, float elevation, int16_t kind) {
  if (!Ready(r, plane, A, B)) return;
  const float m = ConvertWorldToScreen(gBaseTrimHeight, CurDocState(), 0);
  float bottom = base, top = base + m;
  if (kind == kPartCrownMoulding) bottom = base + h - m, top = base + h;
  const int slot = kind == kPartCrownMoulding  ? kTrimSlotCrown
                   : kind == kPartWainscotBand ? kTrimSlotWainscot
                                               : kTrimSlotLower;
  PlaneObject* po = NewTrim(kind, elevation);
  if (!po) return;
  const FaceFrame f(A, B, angle, L);
  if (!AddBand(po, f, kBandOut, bottom, top, plane->normal)) {
    DeletePlaneObject(po);
    return;
  }
  TakeRecordMaterial(po, r, slot);
  SizeTexture(po, L, m);
  HangTrim(po);
}

void CreatePaneling(TrimData* r, Plane* plane, float angle, float L, const PlaneVertex* A, const PlaneVertex* B,
                    float, float base, int16_t, float elevation, int16_t kind) {
  if (!Ready(r, plane, A, B)) return;
  const float w = kPanelMember;
  const float P = ConvertWorldToScreen(gPanelingHeight, CurDocState(), 0);
  const FaceFrame f(A, B, angle, L);
  const float* normal = plane->normal;
  const float none[3] = {0, 0, 0};

  // The field behind rails and stiles.
  PlaneObject* field = NewTrim(kind, elevation);
  if (!field) return;
  if (!AddBand(field, f, kBandOut, base + w, base + P - w, normal)) {
    DeletePlaneObject(field);
    return;
  }
  TakeRecordMaterial(field, r, kTrimSlotField);
  SizeTexture(field, L, P);
  HangTrim(field);

  // Rails across the face, each closed below and above toward the wall line.
  PlaneObject* rails = NewTrim(kind, elevation);
  if (!rails) return;
  float railStep = 0;
  const int32_t railCount = MemberCount(P - w, kRailSpacing, &railStep);
  for (int32_t i = 0; i < railCount; ++i) {
    const float lo = base + static_cast<float>(i) * railStep, hi = lo + w;
    bool ok = AddBand(rails, f, kRailOut, lo, hi, normal);
    for (float y : {lo, hi}) {
      if (!ok) break;
      const PlaneVertex q[4] = {f.atA(kRailOut, y, 0, 1), f.atA(0, y, 0, 0), f.atB(0, y, 1, 0),
                                f.atB(kRailOut, y, 1, 1)};
      ok = AddQuad(rails, q, none);
    }
    if (!ok) {
      DeletePlaneObject(rails);
      return;
    }
  }
  TakeRecordMaterial(rails, r, kTrimSlotRail);
  SizeTexture(rails, L, w);
  HangTrim(rails);

  // Stiles up the face between the bottom and top rails, each closed at both edges.
  PlaneObject* stiles = NewTrim(kind, elevation);
  if (!stiles) return;
  float stileStep = 0;
  const int32_t stileCount = MemberCount(L - w, kStileSpacing, &stileStep);
  const float lo = base + w, hi = base + P - w;
  const float uScale = L != 0 ? 1.0f / L : 0;
  for (int32_t i = 0; i < stileCount; ++i) {
    const float t0 = static_cast<float>(i) * stileStep, t1 = t0 + w;
    // From the edge toward A to the edge toward B, as the bands run.
    const float u0 = 1 - t1 * uScale, u1 = 1 - t0 * uScale;
    const PlaneVertex front[4] = {f.at(t1, kStileOut, lo, u0, 1), f.at(t1, kStileOut, hi, u0, 0),
                                  f.at(t0, kStileOut, hi, u1, 0), f.at(t0, kStileOut, lo, u1, 1)};
    bool ok = AddQuad(stiles, front, normal);
    for (float t : {t1, t0}) {
      if (!ok) break;
      const float u = 1 - t * uScale;
      const PlaneVertex q[4] = {f.at(t, kStileOut, lo, u, 1), f.at(t, 0, lo, u, 1), f.at(t, 0, hi, u, 0),
                                f.at(t, kStileOut, hi, u, 0)};
      ok = AddQuad(stiles, q, none);
    }
    if (!ok) {
      DeletePlaneObject(stiles);
      return;
    }
  }
  TakeRecordMaterial(stiles, r, kTrimSlotField);
  SizeTexture(stiles, w, P - 2 * w);
  HangTrim(stiles);
}

void MoveTrimProfileToFirstQuadrant(Objex* profile) {
  if (!profile) return;
  Float3DRect box = EmptyFloat3DRect();
  if (!GetObject3DBounds(profile, 0, &box, 0)) return;
  const float dx = box.floatLeft, dz = box.floatBack;
  for (Poinz* p = profile->firstPoint; p; p = p->next) {
    p->position[0] -= dx;
    p->position[2] -= dz;
  }
  box.floatLeft -= dx, box.floatRight -= dx;
  box.floatBack -= dz, box.floatFront -= dz;
  profile->bounds3D = box;
}

void ApplyCustomTrimToWall(TrimData* r, Plane* plane, float angle, float, const PlaneVertex* A,
                           const PlaneVertex* B, float wallHeight, float base, int16_t side, float elevation,
                           Poinz* startPoint) {
  if (!plane) return;
  ApplyCustomTrimToWall(A, B, angle, base, wallHeight, elevation, side, r, startPoint);
}

void ApplyCustomTrimToWall(const PlaneVertex* A, const PlaneVertex* B, float angle, float base, float wallHeight,
                           float elevation, int16_t side, TrimData* r, Poinz* startPoint) {
  DocState* ds = CurDocState();
  if (!r || !A || !B || !gCurPlaneObject || !ds || !startPoint) return;
  const float elevationScreen = ConvertWorldToScreen(elevation, ds, 0);
  const float heightScreen = ConvertWorldToScreen(wallHeight, ds, 0);
  const int32_t quality = ds->trimCrownRenderQuality() > 0 ? LimitRepeats(ds->trimCrownRenderQuality()) : 8;
  std::vector<float> points;
  for (int16_t slot : {int16_t{0}, int16_t{1}}) {
    const int32_t word = slot == 0 ? r->lowerTrim() : r->crownTrim();
    Objex* profile = slot == 0 ? r->lowerProfile() : r->crownProfile();
    if (word != kTrimCustomProfile || !profile) continue;
    // A working copy with its curves made straight at the trims' curve quality.
    Objex* copy = DuplicateObject(profile, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
    if (!copy) return;
    const int16_t savedSegments = ds->curveSegments;
    ds->curveSegments = static_cast<int16_t>(quality);
    ConvertObjectCurvesToPolygons(copy);
    ds->curveSegments = savedSegments;

    float offset = base + heightScreen + elevationScreen;
    if (slot == 0) {
      Float3DRect box = EmptyFloat3DRect();
      GetObject3DBounds(copy, 0, &box, 0);
      offset = elevationScreen + base + (box.floatFront - box.floatBack);
    }
    MoveTrimProfileToFirstQuadrant(copy);

    // (depth out from the face, height, across), turned to stand out of the face.
    points.clear();
    const float turn = side == 1 ? angle - kPi / 2 : angle + kPi / 2;
    float top = 0, bottom = 0;
    for (const Poinz* p = copy->firstPoint; p; p = p->next) {
      float x = side == 1 ? -p->position[0] : p->position[0];
      const float y = p->position[2] - offset;
      float z = p->position[1];
      Rotate(&x, &z, 0, 0, turn);
      if (points.empty()) top = bottom = y;
      top = std::min(top, y), bottom = std::max(bottom, y);
      points.insert(points.end(), {x, y, z});
    }
    const auto count = static_cast<int32_t>(points.size() / 3);
    BuildCustomTrimPlanesForWalls(r, A, B, points.data(), count, bottom - top, slot, startPoint, side);
    DeleteObj(copy);
  }
}

void CalculateVCoordinates(float textureLength, float step, float startV, PlaneVertex* v) {
  if (!v || textureLength == 0) return;
  if (step == 0) {
    v[0].v = v[3].v = 0;
    v[1].v = v[2].v = 1.0f;
    return;
  }
  v[0].v = v[3].v = startV;
  v[1].v = v[2].v = startV + step / textureLength;
}

void SetWallTrimFaceUVCoords(PlaneObject* po, PlaneVertex* v, int32_t count, float textureLength, int16_t withV) {
  if (!po || !v || count < 1) return;
  float lo[3] = {v[0].x, v[0].y, v[0].z}, hi[3] = {v[0].x, v[0].y, v[0].z};
  for (int32_t i = 1; i < count; ++i) {
    const float c[3] = {v[i].x, v[i].y, v[i].z};
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
  }
  float X = hi[0] - lo[0], Y = hi[1] - lo[1], Z = hi[2] - lo[2];
  enum { kXY, kXZ, kZY } projection = kXZ;
  if (X == Z && Y != 0) projection = kXY;
  else if (X >= Y && Z >= Y) projection = kXZ;
  else if (X >= Z && Y >= Z) projection = kXY;
  else if (Z >= X && Y >= X) projection = kZY;
  if (X == 0) X = 1.0f;
  if (Y == 0) Y = 1.0f;
  if (Z == 0) Z = 1.0f;
  for (int32_t i = 0; i < count; ++i) {
    float u = 0, w = 0;
    switch (projection) {
      case kXY: u = (v[i].x - lo[0]) / X, w = (v[i].y - lo[1]) / Y; break;
      case kXZ: u = (v[i].x - lo[0]) / X, w = (v[i].z - lo[2]) / Z; break;
      case kZY: u = (v[i].z - lo[2]) / Z, w = (v[i].y - lo[1]) / Y; break;
    }
    v[i].u = u;
    if (withV) v[i].v = w;
  }
  const float extentU = projection == kZY ? Z : X;
  ComputeTextureScale(po->textureIdA, extentU, textureLength, &po->textureSizeA[0], &po->textureSizeA[1]);
  po->textureSizeB[0] = po->textureSizeA[0];
  po->textureSizeB[1] = po->textureSizeA[1];
}

void BuildTrimEndPiece(TrimData* record, const PlaneVertex* end, const float* profile, int32_t count,
                       float textureLength, int16_t slot) {
  if (!record || !end || !profile || count <= 2 || !gCurPlaneObject) return;
  PlaneObject* po = NewProfileFace(record, slot);
  if (!po) return;
  const float* p = profile;
  float nx = 0, ny = 0, nz = 0, d = 0;
  CalcParametric(p[0] + end->x, p[1], p[2] + end->z, p[3] + end->x, p[4], p[5] + end->z, p[6] + end->x, p[7],
                 p[8] + end->z, &nx, &ny, &nz, &d);
  Plane* plane = AppendPlaneWithRoom(count, nx, ny, nz, po);
  if (!plane) {
    DeletePlaneObject(po);
    return;
  }
  for (int32_t i = 0; i < count; ++i)
    plane->vertices[i] = PlaneVertex{p[3 * i] + end->x, p[3 * i + 1], p[3 * i + 2] + end->z, 0, 0, 0};
  SetWallTrimFaceUVCoords(po, plane->vertices, count, textureLength, 1);
  HangTrim(po);
}

void BuildCustomTrimPlanesForWalls(TrimData* record, const PlaneVertex* segStart, const PlaneVertex* segEnd,
                                   const float* profile, int32_t count, float textureLength, int16_t slot,
                                   Poinz* wallPoint, int16_t swap) {
  if (!record || !segStart || !segEnd || !profile || count < 3 || !gCurPlaneObject || !wallPoint ||
      !wallPoint->owner)
    return;
  Poinz* next = NextWallPoint(wallPoint);
  if (!next) return;
  // The return side runs from the segment's end back to its start.
  const PlaneVertex* S = swap ? segEnd : segStart;
  const PlaneVertex* E = swap ? segStart : segEnd;
  const int16_t side = swap ? 1 : 0;

  Mitre startMitre, endMitre;
  Poinz* prev = PrevWallPoint(wallPoint);
  if (prev && TrimmedForSlot(prev, side, slot)) startMitre = MitreAt(S, PlanAngle(prev, wallPoint), PlanAngle(next, wallPoint));
  Poinz* after = NextWallPoint(next);
  if (after && TrimmedForSlot(next, side, slot)) endMitre = MitreAt(E, PlanAngle(wallPoint, next), PlanAngle(after, next));

  TrimHanger hanger;
  float runningV = 0;
  for (int32_t k = 1; k < count; ++k) {
    const float* P = profile + 3 * k;
    const float* Q = profile + 3 * ((k + 1) % count);
    PlaneVertex K[4] = {{P[0] + S->x, P[1], P[2] + S->z, 0, 0, 0},
                        {Q[0] + S->x, Q[1], Q[2] + S->z, 0, 0, 0},
                        {Q[0] + E->x, Q[1], Q[2] + E->z, 0, 0, 0},
                        {P[0] + E->x, P[1], P[2] + E->z, 0, 0, 0}};
    const PlaneVertex unmitred[4] = {K[0], K[1], K[2], K[3]};
    if (startMitre.on) {
      OntoMitre(&K[0], unmitred[3], startMitre);
      OntoMitre(&K[1], unmitred[2], startMitre);
    }
    if (endMitre.on) {
      OntoMitre(&K[2], unmitred[1], endMitre);
      OntoMitre(&K[3], unmitred[0], endMitre);
    }
    PlaneObject* po = NewProfileFace(record, slot);
    if (!po) return;
    float nx = 0, ny = 0, nz = 0, d = 0;
    CalcParametric(K[0].x, K[0].y, K[0].z, K[1].x, K[1].y, K[1].z, K[2].x, K[2].y, K[2].z, &nx, &ny, &nz, &d);
    Plane* plane = AppendPlaneWithRoom(4, nx, ny, nz, po);
    if (!plane) {
      DeletePlaneObject(po);
      return;
    }
    std::copy(K, K + 4, plane->vertices);
    CalculateVCoordinates(textureLength, K[1].y - K[0].y, runningV, plane->vertices);
    runningV = plane->vertices[1].v;
    SetWallTrimFaceUVCoords(po, plane->vertices, 4, textureLength, 0);
    hanger.hang(po);
  }
  if (!startMitre.on) BuildTrimEndPiece(record, S, profile, count, textureLength, slot);
  if (!endMitre.on) BuildTrimEndPiece(record, E, profile, count, textureLength, slot);
}
