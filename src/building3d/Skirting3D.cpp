// Skirting bands of floors, cut-outs and cabinets, excavation rims and photo planes: each
// rebuild deletes the object's old parts and hangs the new ones on its part list.
#include "building3d/Skirting3D.h"

#include <vector>

#include "building3d/Railings3D.h"
#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"

namespace {

Layer* BuildLayerFor(const Objex* object) {
  if (object->layer) return object->layer;
  return gCurDocument ? gCurDocument->itsCurLayer : nullptr;
}

bool TakesSkirting(int16_t type) { return type == kObjFloor || type == kObjCutout || type == kObjCabinet; }

void Put(std::vector<float>& v, const float* xyz, float dy = 0) {
  v.push_back(xyz[0]);
  v.push_back(xyz[1] + dy);
  v.push_back(xyz[2]);
}

// Both side materials of `from` on every point of the part.
void DressLike(Objex* part, const Poinz* from) {
  for (Poinz* p = part->firstPoint; p; p = p->next)
    for (int s = 0; s < 2; ++s) {
      p->textureID[s] = from->textureID[s];
      p->color[s] = from->color[s];
      p->textureScale[s] = from->textureScale[s];
    }
}

// One open band from the edge P -> Q up by `rise` plan units, the edge's tangents on both rings.
void AppendSkirtingBand(Objex* object, Layer* layer, Poinz* p, Poinz* q, float rise) {
  std::vector<float> ring1, ring2, in, out;
  Put(ring1, p->position);
  Put(ring1, q->position);
  Put(ring2, p->position, -rise);
  Put(ring2, q->position, -rise);
  Put(in, p->inHandle);
  Put(in, q->inHandle);
  Put(out, p->outHandle);
  Put(out, q->outHandle);
  Objex* band = BuildOpenPoly(ring1.data(), ring2.data(), in.data(), out.data(), in.data(), out.data(), 2, layer, 1);
  if (!band) return;
  UnlinkObject(band);
  band->layer = nullptr;
  band->type = kObjSkirting;
  band->closed = 0;
  DressLike(band, p);
  AppendGeneratedPart(object, band);
}

}  // namespace

namespace building3d {
void Update3DFloorSkirting(Objex* object) {
  NoteServiceCall("Update3DFloorSkirting", object);
  DocState* ds = CurDocState();
  if (!object || !TakesSkirting(object->type) || !ds) return;
  Layer* layer = BuildLayerFor(object);
  DeleteRendererObject(object);
  DeleteGeneratedParts(object);
  const float rise = ConvertWorldToScreen(SkirtingHeightOf(object), ds, 0);
  if (!(rise > 0) || !layer || !object->firstPoint || !object->firstPoint->next) return;
  RailListScope scope(object);
  Poinz* last = object->firstPoint;
  for (Poinz* p = object->firstPoint; p->next; p = p->next) {
    AppendSkirtingBand(object, layer, p, p->next, rise);
    last = p->next;
  }
  // The closing edge gets its band even on an open outline.
  AppendSkirtingBand(object, layer, last, object->firstPoint, rise);
}
}  // namespace building3d

void Update3DFloorSkirtingLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (TakesSkirting(o->type)) Update3DFloorSkirting(o);
}

void Update3DFloorSkirtingAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DFloorSkirtingLayer(l);
}

namespace building3d {
void Update3DTopoCutoutDepthObject(Objex* excavation) {
  NoteServiceCall("Update3DTopoCutoutDepthObject", excavation);
  DocState* ds = CurDocState();
  if (!excavation || excavation->type != kObjTopoExcavation || !ds) return;
  DeleteRendererObject(excavation);
  DeleteGeneratedParts(excavation);
  // Only the depth's sign matters: the rim is 1 plan unit high whatever the depth.
  if (!(ConvertWorldToScreen(ExcavationDepthOf(excavation), ds, 0) > 0)) return;
  Layer* layer = gCurDocument->itsCurLayer ? gCurDocument->itsCurLayer : excavation->layer;
  if (!layer || excavation->pointCount < 2) return;
  std::vector<float> ring1, ring2, in, out;
  int32_t count = 0;
  for (Poinz* p = excavation->firstPoint; p && count < excavation->pointCount; p = p->next, ++count) {
    Put(ring1, p->position);
    Put(ring2, p->position, -1.0f);
    Put(in, p->inHandle);
    Put(out, p->outHandle);
  }
  Objex* rim = BuildClosedPoly(ring1.data(), ring2.data(), in.data(), out.data(), in.data(), out.data(), count,
                               layer, 1);
  if (!rim) return;
  UnlinkObject(rim);
  rim->layer = nullptr;
  rim->type = kObjTopoExcavation;
  rim->subtype = kObjTopoExcavation;
  rim->capped = 0;
  rim->penColor = excavation->penColor;
  rim->fillColor = excavation->fillColor;
  AppendGeneratedPart(excavation, rim);
}
}  // namespace building3d

void Update3DTopoCutoutDepthLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (o->type == kObjTopoExcavation) Update3DTopoCutoutDepthObject(o);
}

void Update3DTopoCutoutDepthAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DTopoCutoutDepthLayer(l);
}

namespace building3d {
void Update3DPhoto(Objex* photo) {
  NoteServiceCall("Update3DPhoto", photo);
  if (!photo || photo->type != kObjPhotoView || !CurDocState()) return;
  DeleteRendererObject(photo);
  DeleteGeneratedParts(photo);
  Poinz* a = photo->firstPoint;
  Poinz* b = a ? a->next : nullptr;
  Layer* layer = BuildLayerFor(photo);
  if (!b || !layer) return;
  const float h = PhotoHeightOf(photo);
  std::vector<float> ring1, ring2;
  Put(ring1, a->position);
  Put(ring1, b->position);
  Put(ring2, a->position, -h);
  Put(ring2, b->position, -h);
  const std::vector<float> zero(6, 0.0f);
  Objex* plane = BuildOpenPoly(ring1.data(), ring2.data(), zero.data(), zero.data(), zero.data(), zero.data(), 2,
                               layer, 1);
  if (!plane) return;
  UnlinkObject(plane);
  plane->layer = nullptr;
  plane->type = kObjPhotoSurface;
  plane->closed = 0;
  DressLike(plane, a);
  AppendGeneratedPart(photo, plane);
}
}  // namespace building3d

void Update3DPhotoLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (o->type == kObjPhotoView) Update3DPhoto(o);
}

void Update3DPhotoAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DPhotoLayer(l);
}
