// Holes of skylights and dormer cut-outs in the roof faces, and their curbs.
#include "building3d/RoofAttachments3D.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "building3d/PlaneObjects.h"
#include "building3d/Skylights3D.h"
#include "building3d/Triangulation.h"
#include "model/Area.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ParallelObjects.h"
#include "model/Records.h"
#include "model/ViewProjection.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};

RoofAttachmentData* Record(Objex* o) { return o ? static_cast<RoofAttachmentData*>(o->typeData) : nullptr; }

struct P3 {
  float x, y, z;
};

// The points of an outline in ring order, at most pointCount of them.
std::vector<P3> RingOf(const Objex* o) {
  std::vector<P3> ring;
  if (!o || o->pointCount <= 0) return ring;
  for (const Poinz* p = o->firstPoint; p && ring.size() < static_cast<size_t>(o->pointCount); p = p->next)
    ring.push_back({p->position[0], p->position[1], p->position[2]});
  return ring;
}

// The roof plane (a, b, c, d, e) under an attachment: for a gable or hip roof the plane of
// its owner panel (the roof's first part when that panel is gone), for a roof panel its slab.
// Null for any other parent: its type data is no roof part.
const float* OwnerPlane(Objex* attachment) {
  Objex* parent = attachment->parent;
  if (!parent || !parent->typeData) return nullptr;
  if (parent->type == kObjRoof) {
    Objex* owner = FindSkylightOwnerPanel(attachment, parent);
    return (owner ? owner : static_cast<Objex*>(parent->typeData))->params;
  }
  if (parent->type == kObjRoofPanel) return static_cast<Objex*>(parent->typeData)->params;
  return nullptr;
}

// The quad p, q at their heights plus `from`, then q, p plus `to`.
void TrimQuad(RoofAttachmentData* r, const P3& p, const P3& q, float from, float to, bool top, bool band) {
  auto* v = static_cast<PlaneVertex*>(calloc(4, sizeof(PlaneVertex)));
  if (!v) return;
  v[0] = PlaneVertex{p.x, p.y + from, p.z, 0, 0, 0};
  v[1] = PlaneVertex{q.x, q.y + from, q.z, 0, 0, 0};
  v[2] = PlaneVertex{q.x, q.y + to, q.z, 0, 0, 0};
  v[3] = PlaneVertex{p.x, p.y + to, p.z, 0, 0, 0};
  CreateRoofAttachmentTrimPlane(r, v, 4, top ? 1 : 0, band ? 1 : 0);
}

// Vertical bands on every edge of the ring (closing edge included), from `from` to `to`.
void Bands(RoofAttachmentData* r, const std::vector<P3>& ring, float from, float to, bool top) {
  const size_t n = ring.size();
  for (size_t i = 0; i < n; ++i) {
    const P3& p = ring[i];
    const P3& q = ring[(i + 1) % n];
    TrimQuad(r, p, q, from, to, top, true);
  }
}

// A skylight's curb around `outline` (its own points, or one outline part of a custom one).
void BuildSkylightCurb(Objex* skylight, Objex* outline, bool top) {
  RoofAttachmentData* r = Record(skylight);
  if (!r || !outline || !CurDocState()) return;
  const float* plane = OwnerPlane(skylight);
  if (!plane) return;
  const std::vector<P3> inner = RingOf(outline);
  if (inner.size() < 2) return;

  // The outer outline: a working copy offset outward by the trim width, in no layer.
  const int16_t outward = IsObjectClockwise(outline) ? kParallelSide7 : kParallelSide8;
  Objex* copy = CreateParallelObject(outline, outward, r->trimWidth(), 0);
  if (!copy) return;
  std::vector<P3> outer = RingOf(copy);
  copy->layer = nullptr;
  copy->parent = nullptr;
  copy->prev = copy->next = nullptr;
  DeleteObj(copy);
  if (outer.size() < 2) return;
  // The outer points sit on the roof plane.
  for (P3& p : outer) p.y = ComputePointOnPlane(p.x, p.z, plane[0], plane[1], plane[2], plane[3]) - plane[4];

  const float from = -kRoofTopFaceRise;
  const float to = top ? -kTopCurbRise : kBottomCurbDrop;
  Bands(r, inner, from, to, top);
  Bands(r, outer, from, to, top);
  // The ring between the two outlines, at the curb's far end.
  const size_t n = std::min(inner.size(), outer.size());
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    auto* v = static_cast<PlaneVertex*>(calloc(4, sizeof(PlaneVertex)));
    if (!v) continue;
    v[0] = PlaneVertex{outer[i].x, outer[i].y + to, outer[i].z, 0, 0, 0};
    v[1] = PlaneVertex{outer[j].x, outer[j].y + to, outer[j].z, 0, 0, 0};
    v[2] = PlaneVertex{inner[j].x, inner[j].y + to, inner[j].z, 0, 0, 0};
    v[3] = PlaneVertex{inner[i].x, inner[i].y + to, inner[i].z, 0, 0, 0};
    CreateRoofAttachmentTrimPlane(r, v, 4, top ? 1 : 0, 0);
  }
}

// The hole and curb of one attachment on the face of `side`.
void CarveOne(Objex* attachment, Plane* plane, int16_t side) {
  if (attachment->type == kObjSkylight) {
    RoofAttachmentData* r = Record(attachment);
    if (r->subtype != kSkylightCustom) {
      CarveRoofAttachment(attachment, plane, side, kPartSkylightHole);
      if (side == 1) BuildTopSkylightTrimPlanes(attachment);
      else BuildBottomSkylightTrimPlanes(attachment);
      return;
    }
    for (Objex* part = r->parts; part; part = part->next) {
      if (part->type != kObjSkylightOutline) continue;
      CarveRoofAttachment(part, plane, side, kPartSkylightHole);
      if (side == 1) BuildTopCustomSkylightTrimPlanes(attachment, part);
      else BuildBottomCustomSkylightTrimPlanes(attachment, part);
    }
  } else if (attachment->type == kObjDormerCutout) {
    CarveRoofAttachment(attachment, plane, side, kPartDormerHole);
    if (side == 0) BuildDormerCutoutTrimPlanes(attachment);
  }
}

}  // namespace

void CarveRoofAttachment(Objex* outline, Plane* plane, int16_t side, int16_t partType) {
  if (!outline || !plane || !CurDocState() || !gCurPlaneObject) return;
  const std::vector<P3> ring = RingOf(outline);
  const int32_t n = static_cast<int32_t>(ring.size());
  if (n < 1) return;
  PlaneObject* po = CreatePlaneObject();
  if (!po) return;
  po->elevation = outline->baseElevation;
  auto* v = static_cast<PlaneVertex*>(calloc(static_cast<size_t>(n), sizeof(PlaneVertex)));
  if (!v) {
    DeletePlaneObject(po);
    return;
  }
  const float lift = side == 1 ? kRoofTopFaceRise : 0.0f;
  for (int32_t i = 0; i < n; ++i) v[i] = PlaneVertex{ring[i].x, ring[i].y - lift, ring[i].z, 0, 1.0f, 1.0f};
  if (!AppendPlane(v, n, plane->normal[0], plane->normal[1], plane->normal[2], po)) {
    DeletePlaneObject(po);
    return;
  }
  po->partType = partType;
  po->sourceObject = po->base2DObject = po->actual3DObject = gBase2DObject;
  R3DTriangulatePlaneObject(po);
  AppendPlaneObjectChild(po, gCurPlaneObject);
}

void CarveAllRoofPanelAttachments(Objex* panel, Plane* plane, int16_t side) {
  if (!panel || !plane || !CurDocState()) return;
  for (Objex* child = panel->firstChild; child; child = child->next) {
    if (child->type == kObjSkylight && !child->typeData) continue;
    CarveOne(child, plane, side);
  }
}

void CarveAllRoofAttachments(Objex* roof, Plane* plane, int32_t panelID, int16_t side) {
  if (!roof || !plane || !CurDocState()) return;
  for (Objex* child = roof->firstChild; child; child = child->next) {
    if (child->type != kObjSkylight && child->type != kObjDormerCutout) continue;
    const RoofAttachmentData* r = Record(child);
    if (!r || r->panelID != panelID) continue;
    CarveOne(child, plane, side);
  }
}

PlaneObject* CreateRoofAttachmentTrimPlane(RoofAttachmentData* data, PlaneVertex* vertices, int32_t count,
                                           uint8_t top, uint8_t band) {
  if (!data || !gBase2DObject || !vertices || count < 1 || !gCurPlaneObject || !gCurPlaneObject->sourceObject) {
    free(vertices);
    return nullptr;
  }
  PlaneObject* po = CreatePlaneObject();
  if (!po) {
    free(vertices);
    return nullptr;
  }
  float nx = 0, ny = 0, nz = 0, d = 0;
  if (count >= 3) {
    const PlaneVertex* v = vertices;
    CalcParametric(v[0].x, v[0].y, v[0].z, v[1].x, v[1].y, v[1].z, v[2].x, v[2].y, v[2].z, &nx, &ny, &nz, &d);
  }
  if (!AppendPlane(vertices, count, nx, ny, nz, po)) {
    DeletePlaneObject(po);
    return nullptr;
  }
  if (data->ownerType == kObjSkylight) {
    TakeTrimSlot(po, top ? data->slots[0] : data->slots[1]);
    po->partType = top ? (band ? kPartSkylightTopBand : kPartSkylightTopRing)
                       : (band ? kPartSkylightBottomBand : kPartSkylightBottomRing);
  } else {
    po->colorA = po->colorB = kWhite;
    po->partType = kPartDormerTrim;
  }
  // A curb hangs on the roof face it frames, as the trims of doors and windows do.
  AppendPlaneObjectAttachment(po, gCurPlaneObject);
  po->actual3DObject = data->owner;
  po->actual3DType = data->owner ? data->owner->type : 0;
  return po;
}

void BuildTopSkylightTrimPlanes(Objex* skylight) { BuildSkylightCurb(skylight, skylight, true); }
void BuildBottomSkylightTrimPlanes(Objex* skylight) { BuildSkylightCurb(skylight, skylight, false); }
void BuildTopCustomSkylightTrimPlanes(Objex* skylight, Objex* outline) { BuildSkylightCurb(skylight, outline, true); }
void BuildBottomCustomSkylightTrimPlanes(Objex* skylight, Objex* outline) {
  BuildSkylightCurb(skylight, outline, false);
}

void BuildDormerCutoutTrimPlanes(Objex* cutout) {
  RoofAttachmentData* r = Record(cutout);
  if (!r || !cutout->parent || !CurDocState()) return;
  const std::vector<P3> ring = RingOf(cutout);
  if (ring.size() < 2) return;
  Bands(r, ring, 0.0f, -kDormerTrimRise, false);
}
