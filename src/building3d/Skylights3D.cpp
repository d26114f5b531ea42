// Skylight and dormer geometry on roof planes and the re-fitting after roof changes.
#include "building3d/Skylights3D.h"

#include <cmath>
#include <cstdlib>

#include "building3d/Roofs3D.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/Duplicate.h"
#include "model/Floors2D.h"
#include "model/ObjectTransforms.h"
#include "model/ParallelObjects.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Grouping.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "platform/Alerts.h"

namespace {

constexpr float kDegrees = 3.14159265358979f / 180.0f;
constexpr RGBColor kWhite{65535, 65535, 65535};

RoofAttachmentData* Record(Objex* o) { return o ? static_cast<RoofAttachmentData*>(o->typeData) : nullptr; }

void Size(uint8_t useRecord, const RoofAttachmentData* r, float* w, float* h) {
  if (useRecord && r) {
    *w = r->width();
    *h = r->height();
    return;
  }
  DocState* ds = CurDocState();
  *w = ConvertWorldToScreen(ds->skylightWidth, ds, 0);
  *h = ConvertWorldToScreen(ds->skylightHeight(), ds, 0);
}

bool IsCustom(Objex* attachment) {
  const RoofAttachmentData* r = Record(attachment);
  return attachment->type == kObjSkylight && r && r->ownerType == kObjSkylight && r->subtype == kSkylightCustom;
}

std::vector<RegionPoint> OutlineOf(const Objex* o) {
  std::vector<RegionPoint> pts;
  for (const Poinz* p = o->firstPoint; p; p = p->next)
    pts.push_back({PolygonRegion::Coordinate(p->position[0]), PolygonRegion::Coordinate(p->position[2])});
  return pts;
}

Objex* Parts(Objex* roof) { return static_cast<Objex*>(roof->typeData); }

// While a roof's attachments are re-fitted, the regions of its skylights and planes are made
// once (their plan outlines do not change during the pass) rather than for every test.
struct RegionCache {
  std::vector<std::pair<const Objex*, PolygonRegion>> entries;
  const PolygonRegion* find(const Objex* o) const {
    for (const auto& e : entries)
      if (e.first == o) return &e.second;
    return nullptr;
  }
  void forget(const Objex* o) {
    for (auto it = entries.begin(); it != entries.end(); ++it)
      if (it->first == o) {
        entries.erase(it);
        return;
      }
  }
};
RegionCache* sRegionCache = nullptr;

PolygonRegion CachedRegion(Objex* o, PolygonRegion (*make)(Objex*)) {
  if (!sRegionCache) return make(o);
  if (const PolygonRegion* r = sRegionCache->find(o)) return *r;
  sRegionCache->entries.emplace_back(o, make(o));
  return sRegionCache->entries.back().second;
}
PolygonRegion MakeObjectRegion(Objex* o) { return CreateObjectAppleRegion(o); }

// The plane region and the plane (params) an attachment of `roof` sits on.
bool OwnerOf(Objex* attachment, Objex* roof, PolygonRegion* region, const float** plane) {
  if (roof->type == kObjRoof) {
    Objex* owner = FindSkylightOwnerPanel(attachment, roof);
    if (!owner) return false;
    *region = CachedRegion(owner, MakeObjectRegion);
    *plane = owner->params;
    return true;
  }
  if (roof->type == kObjRoofPanel && Parts(roof)) {
    *region = CachedRegion(roof, MakeObjectRegion);
    *plane = Parts(roof)->params;
    return true;
  }
  return false;
}

bool Fits(const PolygonRegion& plane, const PolygonRegion& attachment, Objex* roof, Objex* object) {
  if (!plane.contains(attachment)) return false;
  if (object->type == kObjSkylight && SkylightOverlapsWithOthers(roof, attachment, 1, object->objectID)) return false;
  return true;
}

void StoreBounds(Objex* o) { UpdateObjectBounds(o); }

// Heights of an attachment and its parts from the owner plane.
void PlaceOnPlane(Objex* attachment, const float* plane) {
  const float e = plane[4];
  RoofAttachmentData* r = Record(attachment);
  auto height = [&](const Poinz* p) { return RoofPlaneHeightAt(plane, p->position[0], p->position[2]); };
  auto fillers = [&](Objex* part) {
    for (Poinz* p = part->firstPoint; p; p = p->next) {
      const float y = height(p);
      if (part->subtype == 1) p->position[1] = y - (e + kSkylightUpperFillerRise);
      else if (part->subtype == 0) p->position[1] = y - (e - kSkylightLowerFillerDrop);
      else p->position[1] = y;
    }
  };
  if (IsCustom(attachment)) {
    for (Objex* part = r->parts; part; part = part->next) {
      if (part->type == kObjFrameFace) {
        fillers(part);
        continue;
      }
      const int n = part->pointCount;
      int i = 0;
      for (Poinz* p = part->firstPoint; p; p = p->next, ++i) {
        const float y = height(p);
        if (part->type == kObjSkylightOutline) p->position[1] = y - e;
        else if (part->type == kObjSeparatorFace) p->position[1] = y - (e + 6);
        else if (part->type == kObjDoorLeafFace)
          p->position[1] = y - (e + 6) + (i < n / 2 ? -part->params[4] / 2 : part->params[4] / 2);
      }
      if (part->type == kObjDoorLeafFace) SetTextureFaceUV(part);
    }
    for (Poinz* p = attachment->firstPoint; p; p = p->next) p->position[1] = height(p) - e;
    // A custom skylight's extent is that of its outline parts, not of the corner points.
    GetCustomSkylightBounds(attachment, &attachment->bounds, &attachment->bounds3D);
    return;
  }
  if (attachment->type == kObjSkylight && r)
    for (Objex* part = r->parts; part; part = part->next)
      if (part->type == kObjFrameFace) fillers(part);
  for (Poinz* p = attachment->firstPoint; p; p = p->next) p->position[1] = height(p) - e;
  StoreBounds(attachment);
}

}  // namespace

float RoofPlaneHeightAt(const float* plane, float x, float z) {
  if (!plane || plane[2] == 0) return 0;
  return (plane[3] - plane[0] * x - plane[1] * z) / plane[2];
}

void DeriveRectangularSkylightPoints(float x, float z, float* out, uint8_t useRecord, const RoofAttachmentData* r) {
  if (!out || !CurDocState()) return;
  float w = 0, h = 0;
  Size(useRecord, r, &w, &h);
  const float c[4][2] = {{x - w / 2, z - h / 2}, {x + w / 2, z - h / 2}, {x + w / 2, z + h / 2}, {x - w / 2, z + h / 2}};
  for (int i = 0; i < 4; ++i) out[3 * i] = c[i][0], out[3 * i + 1] = 0, out[3 * i + 2] = c[i][1];
}

void DeriveOctagonSkylightPoints(float x, float z, float* out, uint8_t useRecord, const RoofAttachmentData* r) {
  if (!out || !CurDocState()) return;
  float w = 0, h = 0;
  Size(useRecord, r, &w, &h);
  for (int k = 1; k <= 8; ++k) {
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(45.0f * k * kDegrees, w / 2, &dx, &dz);
    out[3 * (k - 1)] = x + dx, out[3 * (k - 1) + 1] = 0, out[3 * (k - 1) + 2] = z + dz;
  }
}

void DeriveEllipticalSkylightPoints(float x, float z, float* out, uint8_t useRecord, const RoofAttachmentData* r) {
  if (!out || !CurDocState()) return;
  float w = 0, h = 0;
  Size(useRecord, r, &w, &h);
  for (int i = 0; i < 36; ++i) {
    const int degrees = i < 18 ? 180 - 10 * i : 360 - 10 * (i - 18);
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(static_cast<float>(degrees) * kDegrees, w / 2, &dx, &dz);
    out[3 * i] = x + dx, out[3 * i + 1] = 0, out[3 * i + 2] = z + dz;
  }
}

std::vector<float> SkylightOutline(int16_t kind, float x, float z, uint8_t useRecord, const RoofAttachmentData* r) {
  std::vector<float> out;
  if (!CurDocState()) return out;
  switch (kind) {
    case kSkylightRectangular: out.resize(12); DeriveRectangularSkylightPoints(x, z, out.data(), useRecord, r); break;
    case kSkylightOctagonal: out.resize(24); DeriveOctagonSkylightPoints(x, z, out.data(), useRecord, r); break;
    case kSkylightElliptical: out.resize(108); DeriveEllipticalSkylightPoints(x, z, out.data(), useRecord, r); break;
    default: break;
  }
  return out;
}

PolygonRegion CreateSkylightAppleRegion(const float* points, int32_t count) {
  if (!points || count < 1) return {};
  std::vector<RegionPoint> pts;
  for (int32_t i = 0; i < count; ++i)
    pts.push_back({PolygonRegion::Coordinate(points[3 * i]), PolygonRegion::Coordinate(points[3 * i + 2])});
  return PolygonRegion::FromPolygon(pts);
}

PolygonRegion CreateObjectAppleRegion(const Objex* object) {
  if (!object || !object->firstPoint) return {};
  return PolygonRegion::FromPolygon(OutlineOf(object));
}

PolygonRegion CreateCustomSkylightAppleRegion(const Objex* firstPart) {
  std::vector<std::vector<RegionPoint>> polys;
  for (const Objex* part = firstPart; part; part = part->next) polys.push_back(OutlineOf(part));
  return PolygonRegion::FromPolygons(polys);
}

PolygonRegion AttachmentRegion(Objex* attachment) {
  if (!attachment) return {};
  if (IsCustom(attachment)) {
    // Only the outline parts carry the skylight's shape.
    std::vector<std::vector<RegionPoint>> polys;
    for (const Objex* part = Record(attachment)->parts; part; part = part->next)
      if (part->type == kObjSkylightOutline) polys.push_back(OutlineOf(part));
    return PolygonRegion::FromPolygons(polys);
  }
  return CreateObjectAppleRegion(attachment);
}

Objex* FindSkylightOwnerPanel(Objex* skylight, Objex* roof) {
  const RoofAttachmentData* r = Record(skylight);
  if (!r || !roof) return nullptr;
  for (Objex* p = Parts(roof); p; p = p->next)
    if (p->type == kObjRoofPlane && p->subtype == r->panelID) return p;
  return nullptr;
}

bool SkylightOverlapsWithOthers(Objex* roof, const PolygonRegion& region, uint8_t skip, uint32_t objectID) {
  if (!roof) return false;
  for (Objex* c = roof->firstChild; c; c = c->next) {
    if (c->type != kObjSkylight || !c->typeData) continue;
    if (skip && c->objectID == objectID) continue;
    if (CachedRegion(c, AttachmentRegion).intersects(region)) return true;
  }
  return false;
}

bool DoesRoofAttachmentFitOnAny3DPanel(Objex* roof, Objex* attachment, Objex** outPlane) {
  RoofAttachmentData* r = Record(attachment);
  if (!roof || roof->type != kObjRoof || !r) return false;
  const PolygonRegion region = CachedRegion(attachment, AttachmentRegion);
  for (Objex* p = Parts(roof); p; p = p->next) {
    if (p->type != kObjRoofPlane || p->subtype == r->panelID) continue;
    if (!Fits(CachedRegion(p, MakeObjectRegion), region, roof, attachment)) continue;
    r->panelID = p->subtype;
    if (outPlane) *outPlane = p;
    return true;
  }
  return false;
}

namespace {

Objex* FindHolder(const PolygonRegion& region, Objex** outPlane) {
  if (outPlane) *outPlane = nullptr;
  if (!gCurDocument || !gCurDocument->itsCurLayer || region.isEmpty()) return nullptr;
  Objex* found = nullptr;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o; o = o->next) {
    if (o->type == kObjRoofPanel) {
      if (CreateObjectAppleRegion(o).contains(region) && !SkylightOverlapsWithOthers(o, region, 0, 0)) found = o;
    } else if (o->type == kObjRoof) {
      if (SkylightOverlapsWithOthers(o, region, 0, 0)) continue;
      for (Objex* p = Parts(o); p; p = p->next) {
        if (p->type != kObjRoofPlane || !CreateObjectAppleRegion(p).contains(region)) continue;
        found = o;
        if (outPlane) *outPlane = p;
      }
    }
  }
  if (found && found->type == kObjRoofPanel && outPlane) *outPlane = nullptr;
  return found;
}

}  // namespace

Objex* FindSkylightRoofPanel(const float* points, int32_t count, float, float, Objex** outPlane) {
  return FindHolder(CreateSkylightAppleRegion(points, count), outPlane);
}

Objex* FindCustomSkylightRoofPanel(Objex* firstPart, float, float, Objex** outPlane) {
  std::vector<std::vector<RegionPoint>> polys;
  for (const Objex* part = firstPart; part; part = part->next)
    if (part->type == kObjSkylightOutline) polys.push_back(OutlineOf(part));
  return FindHolder(PolygonRegion::FromPolygons(polys), outPlane);
}

Objex* FindDormerRoofPanel(float x, float z, Objex** outPlane) {
  if (outPlane) *outPlane = nullptr;
  if (!gCurDocument || !gCurDocument->itsCurLayer) return nullptr;
  const int32_t px = PolygonRegion::Coordinate(x), pz = PolygonRegion::Coordinate(z);
  Objex* found = nullptr;
  Objex* foundPlane = nullptr;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o; o = o->next) {
    if (o->type == kObjRoofPanel && CreateObjectAppleRegion(o).contains(px, pz)) {
      found = o;
      foundPlane = nullptr;
    } else if (o->type == kObjRoof) {
      for (Objex* p = Parts(o); p; p = p->next) {
        if (p->type != kObjRoofPlane || !CreateObjectAppleRegion(p).contains(px, pz)) continue;
        found = o;
        foundPlane = p;
      }
    }
  }
  if (outPlane) *outPlane = foundPlane;
  return found;
}

const float* RoofAttachmentPlane(Objex* roofOrPlane) {
  if (!roofOrPlane) return nullptr;
  if (roofOrPlane->type == kObjRoofPlane) return roofOrPlane->params;
  if (roofOrPlane->type == kObjRoofPanel && Parts(roofOrPlane)) return Parts(roofOrPlane)->params;
  return nullptr;
}

void CreateSkylightPoints(Objex* skylight, Objex* roofOrPlane, const float* outline, int32_t count, float x, float z,
                          float angle) {
  if (!skylight || !roofOrPlane || !outline || count <= 0) return;
  Objex* owner = roofOrPlane;
  if (roofOrPlane->type == kObjRoof) {
    owner = FindSkylightOwnerPanel(skylight, roofOrPlane);
    if (!owner) return;
  }
  const float* plane = RoofAttachmentPlane(owner);
  if (!plane) return;
  const float turn = (angle - 90.0f) * kDegrees;
  for (int32_t i = 0; i < count; ++i) {
    float px = outline[3 * i], pz = outline[3 * i + 2];
    if (turn != 0) Rotate(&px, &pz, x, z, turn);
    const float y = RoofPlaneHeightAt(plane, px, pz) - plane[4];
    if (Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, px, y, pz, 0, 0, 0, 0, 0, 0, skylight))
      AppendPointToObject(p, skylight);
  }
}

void CalculateDormerPointElevations(Objex* cutout, Objex* plane) {
  if (!cutout || !plane || (plane->type != kObjRoofPlane && plane->type != kObjRoofPanel)) return;
  const float* params = RoofAttachmentPlane(plane);
  if (!params) return;
  for (Poinz* p = cutout->firstPoint; p; p = p->next)
    p->position[1] = RoofPlaneHeightAt(params, p->position[0], p->position[2]) - params[4];
}

namespace building3d {
void CreateSkylightFillerPlane(Objex* skylight, int16_t kind) {
  NoteServiceCall("CreateSkylightFillerPlane", skylight);
  RoofAttachmentData* r = Record(skylight);
  if (!r) return;
  Objex* part = CreateObject(kObjFrameFace, 1, 1, &kWhite, &kWhite, 1.0f, 6, 0, nullptr, nullptr, nullptr, nullptr,
                             skylight->layer, nullptr);
  if (!part) return;
  part->subtype = kind;
  const float dy = kind == 1 ? -kSkylightUpperFillerRise : kind == 0 ? kSkylightLowerFillerDrop : 0.0f;
  int32_t n = 0;
  for (const Poinz* s = skylight->firstPoint; s; s = s->next, ++n) {
    const float x = s->position[0], y = s->position[1] + dy, z = s->position[2];
    if (Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x, y, z, 0, 0, 0, 0, 0, 0, part)) AppendPointToObject(p, part);
  }
  part->pointCount = n;
  part->next = nullptr;
  if (!r->parts) {
    r->parts = part;
    part->prev = nullptr;
  } else {
    Objex* tail = r->parts;
    while (tail->next) tail = tail->next;
    tail->next = part;
    part->prev = tail;
  }
  if (r->flipHorizontal() || r->flipVertical()) {
    Float3DRect box = EmptyFloat3DRect();
    GetObject3DBounds(skylight, 0, &box, 1);
    const float savedX = gFlipCenterX, savedY = gFlipCenterY;
    gFlipCenterX = (box.floatLeft + box.floatRight) / 2;
    gFlipCenterY = (box.floatFront + box.floatBack) / 2;
    if (r->flipHorizontal()) FlipObject(part, 1);
    if (r->flipVertical()) FlipObject(part, 0);
    gFlipCenterX = savedX, gFlipCenterY = savedY;
  }
}
}  // namespace building3d

void DeleteCustomSkylightSymbols(RoofAttachmentData* r) {
  if (!r) return;
  for (Objex** head : {&r->parts, &r->defOutlines(), &r->defFrames(), &r->defLeaves(), &r->defCustomParts(),
                       &r->defExtraParts()}) {
    DeleteObjectChain(*head);
    *head = nullptr;
  }
}

int UpdateRoofAttachment(Objex* attachment, Objex* roof) {
  if (!attachment || !roof || !CurDocState() || !Parts(roof)) return 0;
  if (attachment->type != kObjSkylight && attachment->type != kObjDormerCutout) return 0;
  PolygonRegion planeRegion;
  const float* plane = nullptr;
  const PolygonRegion region = CachedRegion(attachment, AttachmentRegion);
  bool fits = OwnerOf(attachment, roof, &planeRegion, &plane) && Fits(planeRegion, region, roof, attachment);
  if (!fits) {
    Objex* other = nullptr;
    if (roof->type == kObjRoof && DoesRoofAttachmentFitOnAny3DPanel(roof, attachment, &other)) {
      plane = other->params;
      fits = true;
    }
  }
  if (!fits) {
    if (sRegionCache) sRegionCache->forget(attachment);
    DeleteObj(attachment);
    return 1;
  }
  PlaceOnPlane(attachment, plane);
  return 0;
}

namespace building3d {
void UpdateAllRoofAttachments(Objex* roof) {
  NoteServiceCall("UpdateAllRoofAttachments", roof);
  if (!roof) return;
  int removed = 0;
  RegionCache cache;
  RegionCache* outer = sRegionCache;
  sRegionCache = &cache;
  for (Objex* c = roof->firstChild; c;) {
    Objex* next = c->next;
    if (c->type == kObjSkylight || c->type == kObjDormerCutout) removed += UpdateRoofAttachment(c, roof);
    c = next;
  }
  sRegionCache = outer;
  if (!removed) return;
  UpdateObjectBounds(roof);
  ShowAlert("One or more components have been removed.",
            "The roof was not large enough to accommodate all of its attachments.  One or more skylights and/or "
            "cutouts were removed.");
}
}  // namespace building3d

namespace {

constexpr int16_t kAttachmentCurveSegments = 8;
constexpr float kCustomFrameDepth = 6.0f;

void AppendToParts(RoofAttachmentData* r, Objex* part) {
  part->next = nullptr;
  if (!r->parts) {
    part->prev = nullptr;
    r->parts = part;
    return;
  }
  Objex* tail = r->parts;
  while (tail->next) tail = tail->next;
  tail->next = part;
  part->prev = tail;
}

void FreeList(Objex*& head) {
  DeleteObjectChain(head);
  head = nullptr;
}

// A copy of a definition part with its curves made straight; not on any list.
Objex* StraightCopy(Objex* source) {
  Objex* copy = DuplicateObject(source, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  if (!copy) return nullptr;
  UnlinkObject(copy);
  copy->prev = copy->next = nullptr;
  if (DocState* ds = CurDocState()) {
    const int16_t saved = ds->curveSegments;
    ds->curveSegments = kAttachmentCurveSegments;
    ConvertObjectCurvesToPolygons(copy);
    ds->curveSegments = saved;
  }
  return copy;
}

// Scales a part about the origin by (sx, sz), moves it by (ox, oz) and turns it about (x, z).
void Place(Objex* part, float sx, float sz, float ox, float oz, float x, float z, float turn) {
  for (Poinz* p = part->firstPoint; p; p = p->next) {
    p->position[0] = p->position[0] * sx + ox;
    p->position[2] = p->position[2] * sz + oz;
    for (float* h : {p->inHandle, p->outHandle}) h[0] *= sx, h[2] *= sz;
    if (turn != 0) Rotate(&p->position[0], &p->position[2], x, z, turn);
  }
}

Objex* PlacedCopy(Objex* source, float sx, float sz, float ox, float oz, float x, float z, float turn) {
  Objex* copy = StraightCopy(source);
  if (copy) Place(copy, sx, sz, ox, oz, x, z, turn);
  return copy;
}

void PaintFromSkylight(Objex* part, const Objex* skylight) {
  for (Poinz* p = part->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = skylight->textureID;
    p->textureScale[0] = p->textureScale[1] = skylight->textureScale;
    p->color[0] = p->color[1] = skylight->fillColor;
  }
}

int32_t CountOf(const Objex* o) {
  int32_t n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}

}  // namespace

void CreateCustomSkylightFillerPlane(Objex* skylight, Objex* part, int16_t kind) {
  RoofAttachmentData* r = Record(skylight);
  if (!skylight || !part || !r) return;
  Objex* filler = DuplicateObject(part, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  if (!filler) return;
  UnlinkObject(filler);
  filler->type = kObjFrameFace;
  filler->closed = 1;
  filler->subtype = kind;
  filler->layer = skylight->layer;
  if (kind == 0)
    for (Poinz* p = filler->firstPoint; p; p = p->next) p->position[1] += 12.0f;
  AppendToParts(r, filler);
  if (r->flipHorizontal() || r->flipVertical()) {
    Float3DRect box = EmptyFloat3DRect();
    GetObject3DBounds(part, 0, &box, 1);
    const float savedX = gFlipCenterX, savedY = gFlipCenterY;
    gFlipCenterX = (box.floatLeft + box.floatRight) / 2;
    gFlipCenterY = (box.floatFront + box.floatBack) / 2;
    if (r->flipHorizontal()) FlipObject(filler, 1);
    if (r->flipVertical()) FlipObject(filler, 0);
    gFlipCenterX = savedX, gFlipCenterY = savedY;
  }
}

namespace building3d {
void CreateCustomSkylightSymbols(Objex* skylight, float x, float z, float angle) {
  NoteServiceCall("CreateCustomSkylightSymbols", skylight);
  RoofAttachmentData* r = Record(skylight);
  if (!r || !CurDocState()) return;
  float w = 0, h = 0;
  Float3DRect b = EmptyFloat3DRect();
  if (!GetCustomSkylightWHAndBounds(r, &w, &h, &b) || !(w > 0) || !(h > 0)) return;  // keeps the parts it has
  FreeList(r->parts);
  const float sx = r->width() / w, sz = r->height() / h;
  const float ox = x - sx * (b.floatLeft + b.floatRight) / 2, oz = z - sz * (b.floatBack + b.floatFront) / 2;
  const float turn = (angle - 90.0f) * kDegrees;
  for (Objex* d = r->defOutlines(); d; d = d->next) {
    Objex* part = PlacedCopy(d, sx, sz, ox, oz, x, z, turn);
    if (!part) continue;
    part->layer = skylight->layer;
    UpdateObjectBounds(part);
    AppendToParts(r, part);
    CreateCustomSkylightFillerPlane(skylight, part, 1);
    CreateCustomSkylightFillerPlane(skylight, part, 0);
  }
  for (Objex* d = r->defFrames(); d; d = d->next) {
    // The band takes the definition's line weight and is then scaled with the rest.
    Objex* part = StraightCopy(d);
    if (!part) continue;
    const int32_t alignment = part->extraLong;
    part->extraLong = 0;
    if (DocState* ds = CurDocState())
      if (Objex* band = MakeParallel(part, ConvertScreenToWorld(part->width, ds, 0), 0); band && band != part) {
        // The centred band replaces the centre line, which MakeParallel has freed.
        UnlinkObject(band);
        band->prev = band->next = nullptr;
        part = band;
      }
    part->extraLong = alignment;
    Place(part, sx, sz, ox, oz, x, z, turn);
    PaintFromSkylight(part, skylight);
    part->layer = skylight->layer;
    UpdateObjectBounds(part);
    AppendToParts(r, part);
  }
  for (Objex* d = r->defLeaves(); d; d = d->next) {
    Objex* part = PlacedCopy(d, sx, sz, ox, oz, x, z, 0);
    if (!part) continue;
    const int32_t n = CountOf(part);
    int32_t i = 0;
    for (Poinz* p = part->firstPoint; p; p = p->next, ++i) {
      if (i >= n / 2) p->position[1] += part->params[4];
      if (turn != 0) Rotate(&p->position[0], &p->position[2], x, z, turn);
    }
    PaintFromSkylight(part, skylight);
    part->layer = skylight->layer;
    UpdateObjectBounds(part);
    AppendToParts(r, part);
  }
  const float savedX = gFlipCenterX, savedY = gFlipCenterY;
  gFlipCenterX = x, gFlipCenterY = z;
  if (r->flipHorizontal()) FlipSkylightSymbols(r->parts, 1);
  if (r->flipVertical()) FlipSkylightSymbols(r->parts, 0);
  gFlipCenterX = savedX, gFlipCenterY = savedY;
}
}  // namespace building3d

namespace building3d {
void GetCustomSkylightBounds(Objex* skylight, FloatRect* rect, Float3DRect* box) {
  NoteServiceCall("GetCustomSkylightBounds", skylight);
  RoofAttachmentData* r = Record(skylight);
  FloatRect rr{32000, 32000, -32000, -32000};
  Float3DRect bb{32000, 32000, 32000, -32000, -32000, -32000};
  if (r)
    for (Objex* part = r->parts; part; part = part->next) {
      if (part->type != kObjSkylightOutline) continue;
      for (const Poinz* p = part->firstPoint; p; p = p->next) {
        const float x = p->position[0], y = p->position[1], z = p->position[2];
        rr.floatLeft = std::fmin(rr.floatLeft, x), rr.floatRight = std::fmax(rr.floatRight, x);
        rr.floatTop = std::fmin(rr.floatTop, z), rr.floatBottom = std::fmax(rr.floatBottom, z);
        bb.floatLeft = std::fmin(bb.floatLeft, x), bb.floatRight = std::fmax(bb.floatRight, x);
        bb.floatTop = std::fmin(bb.floatTop, y), bb.floatBottom = std::fmax(bb.floatBottom, y);
        bb.floatBack = std::fmin(bb.floatBack, z), bb.floatFront = std::fmax(bb.floatFront, z);
      }
    }
  if (rect) *rect = rr;
  if (box) *box = bb;
}
}  // namespace building3d

namespace building3d {
void CreateCustomSkylightBoundsPoints(Objex* skylight, const Float3DRect* b) {
  NoteServiceCall("CreateCustomSkylightBoundsPoints", skylight);
  if (!skylight || !b || b->floatLeft > b->floatRight) return;
  DeleteObjectPoints(skylight);
  const float c[4][2] = {{b->floatLeft, b->floatBack}, {b->floatRight, b->floatBack}, {b->floatRight, b->floatFront},
                         {b->floatLeft, b->floatFront}};
  for (const auto& k : c)
    if (Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, k[0], 0, k[1], 0, 0, 0, 0, 0, 0, skylight))
      AppendPointToObject(p, skylight);
  skylight->pointCount = 4;
}
}  // namespace building3d

void FindCustomSkylightPointElevations(Objex* skylight, Objex* plane) {
  if (!Record(skylight) || !CurDocState()) return;
  const float* params = RoofAttachmentPlane(plane);
  if (!params) return;
  PlaceOnPlane(skylight, params);
}

int UpdateSkylightSymbols(Objex* skylight) {
  RoofAttachmentData* r = Record(skylight);
  if (!r || !skylight->parent || r->subtype != kSkylightCustom) return 0;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(skylight, 0, &box, 1);
  CreateCustomSkylightSymbols(skylight, (box.floatLeft + box.floatRight) / 2, (box.floatFront + box.floatBack) / 2,
                              r->angle());
  return UpdateRoofAttachment(skylight, skylight->parent);
}

int UpdateSkylightSymbolsLayer(Layer* layer) {
  int removed = 0;
  if (!layer) return 0;
  for (Objex* o = layer->firstObject; o; o = o->next) {
    if (o->type != kObjRoof && o->type != kObjRoofPanel) continue;
    for (Objex* c = o->firstChild; c;) {
      Objex* next = c->next;
      if (c->type == kObjSkylight) removed += UpdateSkylightSymbols(c);
      c = next;
    }
  }
  Refresh();
  return removed;
}

int UpdateSkylightSymbolsAllLayers() {
  int removed = 0;
  if (!gCurDocument) return 0;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next) removed += UpdateSkylightSymbolsLayer(l);
  return removed;
}

void ApplyVisualAttributesToSkylightSymbols(Objex* skylight, int32_t texture, RGBColor colour, uint16_t blue,
                                            ShortPoint scale) {
  RoofAttachmentData* r = Record(skylight);
  if (!r) return;
  colour.blue = blue;
  for (Objex* part = r->parts; part; part = part->next) {
    if (part->type != kObjSeparatorFace && part->type != kObjDoorLeafFace) continue;
    for (Poinz* p = part->firstPoint; p; p = p->next) {
      p->textureID[0] = p->textureID[1] = texture;
      p->color[0] = p->color[1] = colour;
      p->textureScale[0] = p->textureScale[1] = scale;
    }
  }
}

int GetCustomSkylightWHAndBounds(const RoofAttachmentData* record, float* width, float* height, Float3DRect* box) {
  Float3DRect b = EmptyFloat3DRect();
  for (Objex* o = record ? record->outlineParts : nullptr; o; o = o->next) DoGetObject3DBounds(o, 0, &b, 0);
  const bool any = !IsEmptyBounds(b);
  if (width) *width = any ? b.floatRight - b.floatLeft : 0;
  if (height) *height = any ? b.floatFront - b.floatBack : 0;
  if (box) *box = b;
  return any ? 1 : 0;
}
