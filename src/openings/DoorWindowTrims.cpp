// Casings and linings of door and window openings: masks, lining faces, and trim faces swept
// from a profile around a mask on either face of the wall.
#include "openings/DoorWindowTrims.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/RepeatLimit.h"
#include "model/Area.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/Floors2D.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/ObjectTransforms.h"
#include "model/ParallelObjects.h"
#include "openings/CustomDefinitions.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TransformInfo.h"
#include "model/ViewProjection.h"
#include "model/WallFields.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr RGBColor kWhite{65535, 65535, 65535};

// A turn by an angle about a centre, the way Rotate turns a point (counter-clockwise on the
// screen), with its sine and cosine taken once for many points.
struct Turn {
  float c, s;
  explicit Turn(float angle) : c(std::cos(angle)), s(std::sin(angle)) {}
  void apply(float* x, float* y, float cx = 0, float cy = 0) const {
    const float u = *x - cx, w = *y - cy;
    *x = cx + u * c + w * s;
    *y = cy + w * c - u * s;
  }
};

bool IsCustomOpening(const DoorWindowData* record) {
  return record && (record->subtype == kDoorCustom || record->subtype == kWindowCustom);
}

void DeleteObjectList(Objex* head) {
  while (head) {
    Objex* next = head->next;
    head->prev = head->next = nullptr;
    DeleteObj(head);
    head = next;
  }
}

// Segments per curve at a quality setting (8 when it is not set).
int32_t CurveQuality(int32_t quality) { return quality > 0 ? LimitRepeats(quality) : 8; }

// A working copy of a mask or profile, off every list, its curves made straight segments:
// masks at the openings' curve quality, trim profiles at the trims' own.
Objex* FlatCopy(Objex* object, DocState* ds, bool trimProfile = false) {
  Objex* copy = DuplicateObject(object, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  if (!copy) return nullptr;
  const int16_t saved = ds->curveSegments;
  ds->curveSegments = static_cast<int16_t>(
      CurveQuality(trimProfile ? ds->windowDoorTrimRenderQuality() : ds->windowDoorRenderQuality()));
  ConvertObjectCurvesToPolygons(copy);
  ds->curveSegments = saved;
  int32_t n = 0;
  for (Poinz* p = copy->firstPoint; p; p = p->next) ++n;
  copy->pointCount = n;
  return copy;
}

// Scales every point of the copy by (sx, sy) in the x/y plane about the origin.
void ScaleCopy(Objex* copy, DocState* ds, float sx, float sy) {
  for (Poinz* p = copy->firstPoint; p; p = p->next) {
    p->selected = 1;
    p->locked = 0;
  }
  TransformInfo xform{};
  xform.scale[0] = sx;
  xform.scale[1] = sy;
  const int16_t saved = ds->viewPlane;
  ds->viewPlane = 1;
  ScaleObject(copy, &xform);
  ds->viewPlane = saved;
}

// The definition's scale of a custom opening: record size over definition size (1 where the
// definition gives no size).
void DefinitionScale(const DoorWindowData* record, float* sx, float* sy) {
  float w = 0, h = 0;
  GetCustomAttachmentWidthAndHeight(record, &w, &h);
  *sx = w != 0 ? record->width / w : 1.0f;
  *sy = h != 0 ? record->height / h : 1.0f;
}

void TakeDefaultTrimMaterial(PlaneObject* po) {
  po->textureIdA = po->textureIdB = kDefaultTrimTexture;
  po->textureScaleA[0] = po->textureScaleA[1] = po->textureScaleB[0] = po->textureScaleB[1] = 100;
  po->colorA = po->colorB = kWhite;
}

// While the trims of a face's openings are built, the last trim of the face they hang on: each
// new one is linked after it instead of after a walk of the face's growing trim list. Batches
// nest (a face's batch holds those of its openings); the face is walked once.
struct TrimBatch {
  PlaneObject* parent = nullptr;
  PlaneObject* tail = nullptr;
  int32_t depth = 0;
};
TrimBatch sBatch;

void HangTrim(PlaneObject* po) {
  if (!sBatch.parent || sBatch.parent != gCurPlaneObject) {
    AppendPlaneObjectAttachment(po, gCurPlaneObject);
    return;
  }
  // Appended to an empty stand-in parent (elevation, class, links), then linked at the tail.
  static PlaneObject holder;
  holder.attachments = nullptr;
  AppendPlaneObjectAttachment(po, &holder);
  holder.attachments = nullptr;
  // Anything hung meanwhile by another route sits after the remembered tail.
  PlaneObject* last = sBatch.tail ? sBatch.tail : sBatch.parent->attachments;
  while (last && last->next) last = last->next;
  po->prev = last;
  po->next = nullptr;
  if (last) last->next = po;
  else sBatch.parent->attachments = po;
  sBatch.tail = po;
}

// One quad as a new trim plane object: normal from its first three corners, hung on the face
// being built (or put in the scene when there is none). False when memory ran out.
bool AppendTrimQuad(const float q[4][3], DoorWindowData* record, int16_t partType, bool slotB) {
  PlaneObject* po = CreatePlaneObject();
  if (!po) return false;
  float nx = 0, ny = 0, nz = 0, d = 0;
  CalcParametric(q[0][0], q[0][1], q[0][2], q[1][0], q[1][1], q[1][2], q[2][0], q[2][1], q[2][2], &nx, &ny, &nz, &d);
  Plane* plane = AppendPlaneWithRoom(4, nx, ny, nz, po);
  if (!plane) {
    DeletePlaneObject(po);
    return false;
  }
  for (int i = 0; i < 4; ++i) plane->vertices[i] = PlaneVertex{q[i][0], q[i][1], q[i][2], 0, 0, 0};
  po->partType = partType;
  if (record) TakeTrimSlot(po, slotB ? record->trimSlotB : record->trimSlotA);
  else TakeDefaultTrimMaterial(po);
  if (record && record->anchorStart) po->elevation = BaseElevationOf(record->anchorStart);
  if (gCurPlaneObject) {
    po->tag = gCurPlaneObject->tag;
    HangTrim(po);
  } else {
    AppendPlaneObject(po, gBase2DObject);
  }
  po->actual3DObject = record ? GetAttachmentObjectHdl(record) : gBase2DObject;
  return true;
}

// A point of an outline or contour in the plane it is swept in.
struct XZ {
  float x, z;
};

// Working arrays of the sweeps, kept from one opening to the next (the scene is built on one
// thread, one sweep at a time).
struct SweepScratch {
  std::vector<XZ> outline;
  std::vector<XZ> contours;  // count - 1 contours of outline.size() points each
  std::vector<float> depths;
  std::vector<XZ> edgeA, edgeB;
};
SweepScratch& Scratch() {
  thread_local SweepScratch scratch;
  return scratch;
}

// Whether a working copy of the object (DuplicateObject, then its curves made straight) would
// hold exactly its own points: a copy can be made and no segment is curved.
bool CopiesAsIs(const Objex* object) {
  const Objex* root = GetRootObject(object);
  if (root && root->type == kObjGroup && root->groupMarker) return false;
  for (const Poinz* p = object->firstPoint; p; p = p->next)
    if (p->inHandle[0] != 0 || p->inHandle[1] != 0 || p->inHandle[2] != 0 || p->outHandle[0] != 0 ||
        p->outHandle[1] != 0 || p->outHandle[2] != 0)
      return false;
  return true;
}

// The points of an object as a copy of it, moved into the x/z plane (height to depth), holds
// them; a copy adds its zero offset to x and z, which makes a negative zero positive.
void ReadFlattened(const Objex* object, std::vector<XZ>* out) {
  out->clear();
  for (const Poinz* p = object->firstPoint; p; p = p->next) out->push_back({p->position[0] + 0.0f, p->position[1]});
}

// The offset of the segment p0 -> p1 to one side at a distance, as a parallel copy takes it.
struct OffsetXZ {
  float sx, sz, ex, ez;
};
OffsetXZ OffsetSegmentXZ(const XZ& p0, const XZ& p1, int16_t side, float distance) {
  const float dx = p1.x - p0.x;
  const float dz = p1.z - p0.z;
  const float length = std::sqrt(dx * dx + dz * dz);
  float ox = 0, oz = 0;
  if (length > 0) {
    ox = side * distance * dz / length;
    oz = side * distance * -dx / length;
  }
  return {p0.x + ox, p0.z + oz, p1.x + ox, p1.z + oz};
}

// The parallel copy of an outline at `distance` (CreateParallelObject's points): each inner
// point where the two offset edges meet (the start of the outgoing one when they meet far
// outside the plan), the ends offset along their single edge. Each edge is offset once, for
// both of its points.
void ParallelContour(const XZ* pts, size_t n, bool closed, int16_t sideCode, float distance, const FloatRect& plan,
                     XZ* out) {
  if (n == 0) return;
  const int16_t side = sideCode == kParallelSide8 ? -1 : 1;
  // The closing edge (last point back to the first) is the first point's incoming edge.
  const OffsetXZ closing = closed ? OffsetSegmentXZ(pts[n - 1], pts[0], side, distance) : OffsetXZ{};
  OffsetXZ in = closing;
  for (size_t i = 0; i < n; ++i) {
    const XZ& p = pts[i];
    const bool hasPrev = i > 0 || closed;
    const bool hasNext = i + 1 < n || closed;
    const OffsetXZ outgoing = i + 1 < n ? OffsetSegmentXZ(p, pts[i + 1], side, distance) : closing;
    float x = p.x, z = p.z;
    if (hasPrev && hasNext) {
      float cx = 32000, cz = 32000;
      GetIntersection(in.sx, in.sz, in.ex, in.ez, outgoing.sx, outgoing.sz, outgoing.ex, outgoing.ez, &cx, &cz);
      const bool inside = std::isfinite(cx) && std::isfinite(cz) && cx >= plan.floatLeft - 100 &&
                          cx <= plan.floatRight + 100 && cz >= plan.floatTop - 100 && cz <= plan.floatBottom + 100;
      x = inside ? cx : outgoing.sx;
      z = inside ? cz : outgoing.sz;
    } else if (hasNext) {
      x = outgoing.sx, z = outgoing.sz;
    } else if (hasPrev) {
      x = in.ex, z = in.ez;
    }
    out[i] = {x, z};
    in = outgoing;
  }
}

// Clockwise as IsObjectClockwise finds it: the shoelace sum over x and z is not negative.
bool ClockwiseXZ(const XZ* pts, size_t n) {
  float sum = 0;
  for (size_t i = 0; i < n; ++i) {
    const XZ& a = pts[i];
    const XZ& b = pts[(i + 1) % n];
    sum += a.x * b.z - a.z * b.x;
  }
  return sum >= 0;
}

// Where a band's quads go: turned by the angle, moved by the offsets, at the base depth on
// the face the flag names.
struct BandPlacement {
  DoorWindowData* record;
  Turn turn;
  float xOffset, zOffset, baseDepth, verticalOffset;
  int16_t faceFlag;
};

// One quad per edge from contour `a` (at depth d0) to contour `b` (at d1), n points each. False
// when memory ran out.
bool BuildBand(const BandPlacement& at, const XZ* a, const XZ* b, size_t n, bool closed, float d0, float d1) {
  if (n < 2) return true;
  const int16_t partType = at.faceFlag ? kPartTrimSlotB : kPartTrimSlotA;
  const size_t edges = closed ? n : n - 1;
  for (size_t i = 0; i < edges; ++i) {
    const XZ& p = a[i];
    const XZ& q = a[(i + 1) % n];
    const XZ& p2 = b[i];
    const XZ& q2 = b[(i + 1) % n];
    float quad[4][3] = {{p.x, p.z - at.verticalOffset, d0},
                        {q.x, q.z - at.verticalOffset, d0},
                        {q2.x, q2.z - at.verticalOffset, d1},
                        {p2.x, p2.z - at.verticalOffset, d1}};
    for (auto& v : quad) {
      v[2] = at.baseDepth + v[2];
      if (at.faceFlag) v[2] = -v[2];
      at.turn.apply(&v[0], &v[2]);
      v[0] += at.xOffset;
      v[2] += at.zOffset;
    }
    if (!AppendTrimQuad(quad, at.record, partType, at.faceFlag != 0)) return false;
  }
  return true;
}

// Sweeps the profile along an outline already in the x/z plane: the contours of the profile's
// insets, then the bands between neighbouring contours, the last band ending at the outline.
void SweepOutline(const BandPlacement& at, const std::vector<XZ>& outline, bool closed, const float* profile,
                  int32_t profileCount) {
  const DocState* ds = CurDocState();
  const size_t n = outline.size();
  if (!ds || profileCount <= 2 || n < 1) return;
  SweepScratch& scratch = Scratch();
  const size_t count = static_cast<size_t>(profileCount);
  scratch.contours.resize((count - 1) * n);
  scratch.depths.assign(count, 0.0f);
  const int16_t side = ClockwiseXZ(outline.data(), n) ? kParallelSide7 : kParallelSide8;
  for (size_t i = 1; i < count; ++i) {
    const float inset = std::fabs(profile[3 * i + 2] - profile[2]);
    scratch.depths[i - 1] = std::fabs(profile[3 * i] - profile[0]);
    ParallelContour(outline.data(), n, closed, side, inset, ds->planBounds, &scratch.contours[(i - 1) * n]);
  }
  scratch.depths[count - 1] = 0;
  for (size_t k = 0; k + 1 < count; ++k) {
    const XZ* a = &scratch.contours[k * n];
    const XZ* b = k + 2 < count ? &scratch.contours[(k + 1) * n] : outline.data();
    if (!BuildBand(at, a, b, n, closed, scratch.depths[k], scratch.depths[k + 1])) return;
  }
}

struct Placement {
  float lineAngle = 0;
  float px = 0, py = 0, pz = 0;
  float halfT = 0;
  float bottom = 0;
};

bool MakePlacement(const DoorWindowData* record, DocState* ds, int16_t custom, float base, Placement* out) {
  Poinz* start = record->anchorStart;
  Poinz* end = record->anchorEnd;
  if (!start || !end || !start->owner) return false;
  float length = 0;
  out->lineAngle =
      GetLineLengthAndAngle(start->position[0], start->position[2], end->position[0], end->position[2], &length);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(out->lineAngle, record->startDistance, &dx, &dz);
  out->px = start->position[0] + dx;
  out->py = start->position[1];
  out->pz = start->position[2] + dz;
  out->halfT = ConvertWorldToScreen(start->owner->width, ds, 0) / 2;
  out->bottom = custom ? ConvertWorldToScreen(BaseElevationOf(start), ds, 0) + record->elevation + base
                       : base + record->elevation;
  return true;
}

}  // namespace

void BeginTrimBatch() {
  if (sBatch.depth > 0 && sBatch.parent == gCurPlaneObject) {
    ++sBatch.depth;
    return;
  }
  sBatch = TrimBatch{gCurPlaneObject, nullptr, 1};
  if (!sBatch.parent) return;
  for (PlaneObject* t = sBatch.parent->attachments; t; t = t->next) sBatch.tail = t;
}

void EndTrimBatch() {
  if (--sBatch.depth <= 0) sBatch = TrimBatch{};
}

bool LiningUsesSlotB(const DoorWindowData* record) {
  return record && record->trimSlotB.flag && record->trimSlotB.profile && !record->trimSlotA.flag;
}

Objex* BuildGenericMaskObject(DoorWindowData* record, const PlaneVertex* outline, int32_t count, float wallAngle,
                              float verticalOffset, float centreX, float, float centreZ, int16_t flip) {
  if (!record || !outline || count < 1 || IsCustomOpening(record)) return nullptr;
  if (!gCurDocument || !gCurDocument->itsCurLayer) return nullptr;
  DeleteObjectList(record->maskObject);
  record->maskObject = nullptr;
  Objex* mask = CreateObject(kObjDetail, 1, 0, &kWhite, &kWhite, 1.0f, 6, 2, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
  if (!mask) return nullptr;
  const Turn halfTurn(kPi), unturn(2 * kPi - wallAngle);
  for (int32_t i = 0; i < count; ++i) {
    float x = outline[i].x, z = outline[i].z;
    const float y = outline[i].y + record->elevation + verticalOffset;
    if (flip) halfTurn.apply(&x, &z, centreX, centreZ);
    unturn.apply(&x, &z, centreX, centreZ);
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x - centreX, y, z - centreZ, 0, 0, 0, 0, 0, 0, mask);
    if (!p) {
      DeleteObj(mask);
      return nullptr;
    }
    AppendPointToObject(p, mask);
  }
  record->maskObject = mask;
  return mask;
}

void BuildInnerTrimPlanes(DoorWindowData* record, float wallAngle, float verticalOffset, int16_t fitCustom) {
  DocState* ds = CurDocState();
  if (!record || !record->anchorStart || !record->anchorEnd || !record->anchorStart->owner || !gBase2DObject || !ds)
    return;
  Poinz* start = record->anchorStart;
  float ox = 0, oz = 0;
  GetPointFromLengthAndAngle(wallAngle, record->startDistance, &ox, &oz);
  ox += start->position[0];
  oz += start->position[2];
  const float halfDepth = ConvertWorldToScreen(start->owner->width, ds, 0) / 2;
  float shift = verticalOffset + record->elevation;
  if (IsCustomOpening(record)) shift += ConvertWorldToScreen(BaseElevationOf(start), ds, 0);
  float sx = 1, sy = 1;
  if (fitCustom) DefinitionScale(record, &sx, &sy);
  const bool slotB = LiningUsesSlotB(record);
  const Turn turn(wallAngle);

  std::vector<XZ>& pts = Scratch().outline;
  for (Objex* mask = record->maskObject; mask; mask = mask->next) {
    // The mask's points as its straightened working copy holds them (x, and the height in z).
    bool closed = mask->closed != 0;
    if (CopiesAsIs(mask)) {
      ReadFlattened(mask, &pts);
    } else {
      Objex* copy = FlatCopy(mask, ds);
      if (!copy) return;
      ReadFlattened(copy, &pts);
      closed = copy->closed != 0;
      DeleteObj(copy);
    }
    const size_t n = pts.size();
    const size_t edges = n < 2 ? 0 : (closed ? n : n - 1);
    for (size_t i = 0; i < edges; ++i) {
      const XZ& p = pts[i];
      const XZ& q = pts[(i + 1) % n];
      float quad[4][3] = {{sx * p.x, sy * p.z - shift, halfDepth},
                          {sx * q.x, sy * q.z - shift, halfDepth},
                          {sx * q.x, sy * q.z - shift, -halfDepth},
                          {sx * p.x, sy * p.z - shift, -halfDepth}};
      for (auto& v : quad) {
        turn.apply(&v[0], &v[2]);
        v[0] += ox;
        v[2] += oz;
      }
      if (!AppendTrimQuad(quad, record, kPartTrimLining, slotB)) return;
    }
  }
}

Objex* BuildTrimContours(int32_t profileCount, const float* profile, Objex* outline, float* depths) {
  if (profileCount <= 2 || !profile || !outline || !depths) return nullptr;
  const int16_t side = IsObjectClockwise(outline) ? kParallelSide7 : kParallelSide8;
  Objex* first = nullptr;
  Objex* last = nullptr;
  for (int32_t i = 1; i < profileCount; ++i) {
    const float inset = std::fabs(profile[3 * i + 2] - profile[2]);
    depths[i - 1] = std::fabs(profile[3 * i] - profile[0]);
    Objex* contour = CreateParallelObject(outline, side, inset, 0);
    if (!contour) {
      // What was made is freed; the outline stays with the caller.
      DeleteObjectList(first);
      return nullptr;
    }
    Float3DRect box = EmptyFloat3DRect();
    GetObject3DBounds(contour, 0, &box, 0);
    contour->bounds3D = box;
    contour->prev = last;
    if (last) last->next = contour;
    else first = contour;
    last = contour;
  }
  depths[profileCount - 1] = 0;
  last->next = outline;
  outline->prev = last;
  return first;
}

void BuildTrimPlanesFromContours(DoorWindowData* record, Objex* firstContour, Objex* outline, const float* depths,
                                 float angle, float xOffset, float, float zOffset, float baseDepth,
                                 float verticalOffset, int16_t faceFlag) {
  if (!firstContour || !outline || !depths) return;
  const BandPlacement at{record, Turn(angle), xOffset, zOffset, baseDepth, verticalOffset, faceFlag};
  SweepScratch& scratch = Scratch();
  int32_t k = 0;
  for (Objex* c = firstContour; c && c != outline; c = c->next, ++k) {
    Objex* nextContour = c->next;
    if (!nextContour) break;
    scratch.edgeA.clear();
    scratch.edgeB.clear();
    for (const Poinz* p = c->firstPoint; p; p = p->next) scratch.edgeA.push_back({p->position[0], p->position[2]});
    for (const Poinz* p = nextContour->firstPoint; p; p = p->next)
      scratch.edgeB.push_back({p->position[0], p->position[2]});
    const size_t n = std::min(scratch.edgeA.size(), scratch.edgeB.size());
    if (!BuildBand(at, scratch.edgeA.data(), scratch.edgeB.data(), n, outline->closed != 0, depths[k], depths[k + 1]))
      return;
  }
}

void BuildCustomTrimPlanes(DoorWindowData* record, Objex* outline, const float* profile, int32_t profileCount,
                           float angle, float xOffset, float, float zOffset, float baseDepth,
                           float verticalOffset, int16_t faceFlag) {
  if (!outline || !profile || profileCount < 1) return;
  int32_t n = 0;
  for (Poinz* p = outline->firstPoint; p; p = p->next) ++n;
  if (n < 2) return;
  // The outline is swept as its working copy moved into the x/z plane: none when no copy can
  // be made of it.
  const Objex* root = GetRootObject(outline);
  if (root && root->type == kObjGroup && root->groupMarker) return;
  std::vector<XZ>& flat = Scratch().outline;
  ReadFlattened(outline, &flat);
  const BandPlacement at{record, Turn(angle), xOffset, zOffset, baseDepth, verticalOffset, faceFlag};
  SweepOutline(at, flat, outline->closed != 0, profile, profileCount);
}

Objex* GetAttachmentObjectHdl(const DoorWindowData* record) {
  if (!record) return gBase2DObject;
  if (IsCustomOpening(record)) {
    if (record->maskObject && record->maskObject->parent) return record->maskObject->parent;
    for (Objex* list : {record->definitionLeafParts, record->definitionParts, record->extraParts1,
                        record->extraParts2, record->extraParts3, record->extraParts4})
      if (list && list->parent) return list->parent;
    return gBase2DObject;
  }
  if (record->faces && record->faces->parent) return record->faces->parent;
  return gBase2DObject;
}

float GetCustomTrimHeight(DoorWindowData* record, int16_t slotB, float* height) {
  float h = 0;
  Objex* profile = record ? (slotB ? record->trimSlotB.profile : record->trimSlotA.profile) : nullptr;
  if (profile) {
    Float3DRect box = EmptyFloat3DRect();
    GetObject3DBounds(profile, 0, &box, 0);
    profile->bounds3D = box;
    if (box.floatFront >= box.floatBack) h = box.floatBack - box.floatFront;
  }
  if (height) *height = h;
  return h;
}

void ApplyStandardTrimToDoorWin(float, DoorWindowData* record, int16_t side, int16_t custom, float base) {
  DocState* ds = CurDocState();
  if (!record || !ds) return;
  Placement at;
  if (!MakePlacement(record, ds, custom, base, &at)) return;
  const float w = ConvertWorldToScreen(record->trimWidth(), ds, 0);
  const float profile[12] = {-1.25f, 0, w / 2, -1.25f, 0, -w / 2, 1.25f, 0, -w / 2, 1.25f, 0, w / 2};
  float sx = 1, sy = 1;
  DefinitionScale(record, &sx, &sy);
  const BandPlacement band{record, Turn(at.lineAngle), at.px, at.pz, at.halfT, at.bottom, side};
  std::vector<XZ>& flat = Scratch().outline;
  for (Objex* mask = record->maskObject; mask; mask = mask->next) {
    // A straight mask of a standard opening is swept as it is; others through their working copy.
    if (!custom && CopiesAsIs(mask)) {
      ReadFlattened(mask, &flat);
      if (flat.size() >= 2) SweepOutline(band, flat, mask->closed != 0, profile, 4);
      continue;
    }
    Objex* copy = FlatCopy(mask, ds);
    if (!copy) continue;
    if (custom) ScaleCopy(copy, ds, sx, sy);
    BuildCustomTrimPlanes(record, copy, profile, 4, at.lineAngle, at.px, at.py, at.pz, at.halfT, at.bottom, side);
    DeleteObj(copy);
  }
}

void ApplyCustomTrimToDoorWin(Objex* profile, float, DoorWindowData* record, int16_t side, int16_t custom,
                              float base) {
  DocState* ds = CurDocState();
  if (!ds || !gCurPlaneObject || !record || !profile) return;
  Placement at;
  if (!MakePlacement(record, ds, custom, base, &at)) return;
  float defW = 0, defH = 0;
  GetCustomAttachmentWidthAndHeight(record, &defW, &defH);
  float profileHeight = 0;
  GetCustomTrimHeight(record, side == 1 ? 1 : 0, &profileHeight);
  // A profile without height would scale by an infinite factor: it builds no trim.
  if (profileHeight == 0) return;
  const float depthScale = ConvertWorldToScreen(record->trimWidth(), ds, 0) / profileHeight;
  float sx = 1, sy = 1;
  if (custom) {
    sx = defW != 0 ? record->width / defW : 1.0f;
    sy = defH != 0 ? record->height / defH : 1.0f;
  }
  Objex* profileCopy = FlatCopy(profile, ds, true);
  if (!profileCopy) return;
  std::vector<float> points;
  for (Poinz* p = profileCopy->firstPoint; p; p = p->next) {
    points.push_back(p->position[0]);
    points.push_back(p->position[1]);
    points.push_back(p->position[2] * depthScale);
  }
  const int32_t count = static_cast<int32_t>(points.size() / 3);
  for (Objex* mask = record->maskObject; mask; mask = mask->next) {
    Objex* copy = FlatCopy(mask, ds);
    if (!copy) break;
    ScaleCopy(copy, ds, sx, sy);
    BuildCustomTrimPlanes(record, copy, points.data(), count, at.lineAngle, at.px, at.py, at.pz, at.halfT,
                          at.bottom, side);
    DeleteObj(copy);
  }
  DeleteObj(profileCopy);
}
