// The generated parts of walls: body, quick wall, walkers and the working length of a segment.
#include "building3d/Walls3D.h"

#include <cfloat>
#include <cstring>
#include <vector>

#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/TextureFace.h"
#include "model/WallFields.h"

namespace {

constexpr int32_t kSubWallBody = 140;

Layer* WallLayer(const Objex* wall) {
  if (wall->layer) return wall->layer;
  return gCurDocument ? gCurDocument->itsCurLayer : nullptr;
}

bool HaveBuildContext(const Objex* wall) {
  return gCurDocument && CurDocState() && gCurDocument->itsLayers && WallLayer(wall);
}

// A copy of the wall's points and fields without its children, off every list; the wall's
// children stay with it.
Objex* CopyWithoutChildren(Objex* wall) {
  Objex* children = wall->firstChild;
  wall->firstChild = nullptr;
  Objex* copy = DuplicateObject(wall, nullptr, nullptr, FloatPoint{}, 0, kCmdDuplicate);
  wall->firstChild = children;
  if (!copy) return nullptr;
  int32_t count = 0;
  for (Poinz* p = copy->firstPoint; p; p = p->next) ++count;
  copy->pointCount = count;
  return copy;
}

// The footprint of the copy: one closed outline of both faces (MakeParallel may replace the
// copy by one of its parallels; the copy is then already gone).
Objex* Footprint(Objex* copy, float distance) {
  Objex* footprint = MakeParallel(copy, distance, 1);
  if (!footprint) DeleteObj(copy);
  return footprint;
}

// The footprint ring MakeParallel gives a duplicate of the wall (with `alignment`), made
// without the duplicate: its positions (moved by the duplicate's zero offset), handles and
// numbers are taken as DuplicateObject would take them, trim profiles included. False, with
// nothing taken, when the duplicate's road must be walked instead.
bool WallFootprintRing(Objex* wall, int32_t alignment, float distance, ParallelRing* ring) {
  DocState* ds = CurDocState();
  const Objex* root = GetRootObject(wall);
  if (!ds || (root->type == kObjGroup && root->groupMarker)) return false;
  thread_local std::vector<float> position, in, out;
  position.clear();
  in.clear();
  out.clear();
  int32_t count = 0;
  bool profiles = false;
  const FloatPoint zero{};
  for (const Poinz* p = wall->firstPoint; p; p = p->next, ++count) {
    position.insert(position.end(), {p->position[0] + zero.floatH, p->position[1], p->position[2] + zero.floatV});
    in.insert(in.end(), p->inHandle, p->inHandle + 3);
    out.insert(out.end(), p->outHandle, p->outHandle + 3);
    for (const void* t : {p->trim1, p->trim2})
      if (const auto* trim = static_cast<const TrimData*>(t); trim && (trim->profileA || trim->profileB)) profiles = true;
  }
  if (!MakeParallelRing(position.data(), in.data(), out.data(), count, wall->closed != 0, alignment, distance, ring))
    return false;
  // The duplicate's own numbers, then those of its trims' profile copies.
  ds->nextObjectID += 1;
  ds->nextPointID += static_cast<uint32_t>(count);
  if (profiles) {
    for (const Poinz* p = wall->firstPoint; p; p = p->next) {
      for (const void* t : {p->trim1, p->trim2}) {
        const auto* trim = static_cast<const TrimData*>(t);
        if (!trim) continue;
        for (Objex* profile : {trim->profileA, trim->profileB})
          if (profile) DeleteObj(DuplicateObject(profile, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate));
      }
    }
  }
  return true;
}

// The outline's points as position and handle triples.
struct Ring {
  std::vector<float> position, in, out;
};

Ring ReadRing(const Objex* outline) {
  Ring r;
  const size_t values = 3 * static_cast<size_t>(outline->pointCount > 0 ? outline->pointCount : 0);
  r.position.reserve(values);
  r.in.reserve(values);
  r.out.reserve(values);
  for (const Poinz* p = outline->firstPoint; p; p = p->next) {
    r.position.insert(r.position.end(), p->position, p->position + 3);
    r.in.insert(r.in.end(), p->inHandle, p->inHandle + 3);
    r.out.insert(r.out.end(), p->outHandle, p->outHandle + 3);
  }
  return r;
}

// The smallest base elevation of the segment start points (the last point only when closed).
void SetWallBaseElevation(Objex* wall) {
  float lowest = FLT_MAX;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    if (!p->next && !wall->closed) break;
    if (BaseElevationOf(p) < lowest) lowest = BaseElevationOf(p);
  }
  wall->baseElevation = lowest;
}

// Takes the finished outline off its layer and gives it the wall's colours.
void Detach(Objex* part, const Objex* wall) {
  part->penColor = wall->penColor;
  part->fillColor = wall->fillColor;
  UnlinkObject(part);
  part->layer = nullptr;
}

}  // namespace

namespace building3d {
void Update3DWall(Objex* wall) {
  NoteServiceCall("Update3DWall", wall);
  if (!wall || wall->type != kObjWall) return;
  DeleteRendererObject(wall);

  Objex* oldBody = static_cast<Objex*>(wall->typeData);
  wall->typeData = nullptr;
  if (oldBody) {
    oldBody->prev = oldBody->next = nullptr;
    DeleteObj(oldBody);
  }
  Objex* body = Construct3DWall(wall);
  if (body) body->subtype = kSubWallBody;
  wall->typeData = body;

  DeleteObjectChain(wall->symbol3D);
  wall->symbol3D = nullptr;
  if (wall->subtype == kSubExteriorWall) wall->symbol3D = ConstructQuickWall(wall);

  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(wall, 0, &box, 0);
  wall->bounds3D = box;
}
}  // namespace building3d

Objex* Construct3DWall(Objex* wall) {
  if (!wall || !HaveBuildContext(wall)) return nullptr;
  DocState* ds = CurDocState();
  Layer* layer = WallLayer(wall);
  const float depth = ConvertWorldToScreen(FloorDepthOf(wall), ds, 0);
  thread_local ParallelRing ring;
  thread_local std::vector<float> lower;
  Objex* body = nullptr;
  bool closed = true;
  if (WallFootprintRing(wall, wall->extraLong, wall->width, &ring)) {
    const int32_t count = static_cast<int32_t>(ring.position.size() / 3);
    lower = ring.position;
    for (int32_t i = 0; i < count; ++i) lower[3 * i + 1] = ring.position[3 * i + 1] - depth;
    body = BuildClosedPoly(ring.position.data(), lower.data(), ring.in.data(), ring.out.data(), ring.in.data(),
                           ring.out.data(), count, layer, 0);
  } else {
    Objex* copy = CopyWithoutChildren(wall);
    if (!copy) return nullptr;
    Objex* footprint = Footprint(copy, wall->width);
    if (!footprint) return nullptr;
    Ring top = ReadRing(footprint);
    const int32_t count = static_cast<int32_t>(top.position.size() / 3);
    lower = top.position;
    for (int32_t i = 0; i < count; ++i) lower[3 * i + 1] = top.position[3 * i + 1] - depth;
    closed = footprint->closed != 0;
    if (count > 0) {
      body = closed ? BuildClosedPoly(top.position.data(), lower.data(), top.in.data(), top.out.data(),
                                      top.in.data(), top.out.data(), count, layer, 0)
                    : BuildOpenPoly(top.position.data(), lower.data(), top.in.data(), top.out.data(), top.in.data(),
                                    top.out.data(), count, layer, 0);
    }
    DeleteObj(footprint);
  }
  if (!body) return nullptr;
  body->type = closed ? kObjWallFace : kObjWallEdge;
  SetWallBaseElevation(wall);
  Detach(body, wall);
  body->capped = 0;
  body->subtype = kSubWallBody;
  body->sourceObject = wall;
  // The builders leave their points selected, as a drawn shape is. The body is the wall's
  // generated outline, never selected itself: left so, every wall would count as holding a
  // selection to the clicks, the deselection and the inspector.
  SetObjectSelectFlags(body, 0);
  return body;
}

Objex* ConstructQuickWall(Objex* wall) {
  if (!wall || !HaveBuildContext(wall)) return nullptr;
  Layer* layer = WallLayer(wall);
  thread_local ParallelRing ring;
  Objex* quick = nullptr;
  if (WallFootprintRing(wall, 0, FoundationWidthOf(wall) / 2, &ring)) {
    quick = BuildClosedPoly(ring.position.data(), nullptr, ring.in.data(), ring.out.data(), nullptr, nullptr,
                            static_cast<int32_t>(ring.position.size() / 3), layer, 0);
  } else {
    Objex* copy = CopyWithoutChildren(wall);
    if (!copy) return nullptr;
    WallAlignmentOf(copy) = 0;
    Objex* footprint = Footprint(copy, FoundationWidthOf(wall) / 2);
    if (!footprint) return nullptr;
    Ring r = ReadRing(footprint);
    const int32_t count = static_cast<int32_t>(r.position.size() / 3);
    const bool closed = footprint->closed != 0;
    if (count > 0) {
      quick = closed ? BuildClosedPoly(r.position.data(), nullptr, r.in.data(), r.out.data(), nullptr, nullptr, count,
                                       layer, 0)
                     : BuildOpenPoly(r.position.data(), nullptr, r.in.data(), r.out.data(), nullptr, nullptr, count,
                                     layer, 0);
    }
    DeleteObj(footprint);
  }
  if (!quick) return nullptr;
  quick->type = kObjQuickWall;
  Detach(quick, wall);
  return quick;
}

void Update3DWallLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) Update3DWall(o);
}

void Update3DWallAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DWallLayer(l);
}

float GetWallSegmentWorkingLength(float, float, Poinz* startPoint, Poinz* endPoint, float* start, float* length) {
  if (!startPoint || !endPoint || !start || !length) return 0.0f;
  *start = 0;
  *length = GetLineLength(startPoint->position[0], startPoint->position[2], endPoint->position[0],
                          endPoint->position[2]);
  return *length + 5.0f;
}

Objex* SeparateWallSegment(Objex* wall, Poinz* p1, Poinz* p2) {
  if (!wall || !p1 || !p2 || !gCurDocument || !CurDocState() || !gCurDocument->itsCurLayer) return nullptr;
  Layer* layer = gCurDocument->itsCurLayer;
  const RGBColor black{};
  Objex* segment = CreateObject(kObjWall, 0, 1, &black, &black, wall->width, wall->penStyle, wall->fillPattern,
                                nullptr, nullptr, nullptr, nullptr, layer, nullptr);
  if (!segment) return nullptr;
  for (Poinz* source : {p1, p2}) {
    Poinz* p = CreatePoint(source->pointType, 0, 0, source->inHandle[0], source->inHandle[1], source->inHandle[2],
                           source->position[0], source->position[1], source->position[2], source->outHandle[0],
                           source->outHandle[1], source->outHandle[2], 0, 0, 0, segment);
    if (!p) {
      DeleteObj(segment);
      return nullptr;
    }
    memcpy(p->textureID, source->textureID, sizeof(p->textureID));
    p->texU = source->texU;
    p->texV = source->texV;
    p->pathLength = source->pathLength;
    p->ringLength = source->ringLength;
    memcpy(p->color, source->color, sizeof(p->color));
    memcpy(p->textureScale, source->textureScale, sizeof(p->textureScale));
    AppendPointToObject(p, segment);
  }
  AppendObjectToLayer(segment, layer);
  segment->levels = 1;
  segment->textureID1 = wall->textureID1;
  segment->textureID2 = wall->textureID2;
  segment->textureID3 = wall->textureID3;
  segment->textureID4 = wall->textureID4;
  segment->color1 = wall->color1;
  segment->color2 = wall->color2;
  segment->color3 = wall->color3;
  segment->color4 = wall->color4;
  segment->textureScale1 = wall->textureScale1;
  segment->textureScale2 = wall->textureScale2;
  segment->textureScale3 = wall->textureScale3;
  segment->textureScale4 = wall->textureScale4;
  segment->textureScale = wall->textureScale;
  FloatRect rect = EmptyFloatRect();
  GetObjectBounds(segment, 0, &rect, 0, 0);
  segment->bounds = rect;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(segment, 0, &box, 0);
  segment->bounds3D = box;
  SetObjectPointLengths(segment);
  return segment;
}
