// Pathways and driveways in 3D: border edging and the ribbon surface, built from copies of the
// path so that a rebuild never changes the path's own points.
#include "building3d/Paths3D.h"

#include "building3d/Railings3D.h"
#include "model/CommandCodes.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/Grouping.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TextureFace.h"

namespace {

constexpr int16_t kPathBorderPattern = 2;

Layer* BuildLayerFor(const Objex* object) {
  if (object->layer) return object->layer;
  return gCurDocument ? gCurDocument->itsCurLayer : nullptr;
}

// A copy of the path (no children, no parts) on the layer, its segments straight.
Objex* StraightCopy(Objex* path, Layer* layer) {
  Objex* copy = DuplicateObject(path, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
  if (!copy) return nullptr;
  for (Objex* c = copy->firstChild; c;) {
    Objex* next = c->next;
    DeleteObj(c);
    c = next;
  }
  copy->firstChild = nullptr;
  copy->lastChild = nullptr;
  AppendObjectToLayer(copy, layer);
  int32_t count = 0;
  for (Poinz* p = copy->firstPoint; p; p = p->next) ++count;
  copy->pointCount = count;
  UnsmoothObject(copy);
  return copy;
}

void ZeroTangents(Poinz* p) {
  if (!p) return;
  for (int i = 0; i < 3; ++i) p->inHandle[i] = p->outHandle[i] = 0;
}

// The edging blocks of both borders moved onto the path's part list; false when a border
// copy could not be made (nothing is kept then).
bool BuildBorders(Objex* path, Layer* layer) {
  Objex* centre = StraightCopy(path, layer);
  if (!centre) return false;
  Objex* left = MakeOpenParallel(centre, path->width / 2, kParallelSide7);
  Objex* right = MakeOpenParallel(centre, path->width / 2, kParallelSide8);
  DeleteObj(centre);
  if (!left || !right) {
    if (left) DeleteObj(left);
    if (right) DeleteObj(right);
    return false;
  }
  for (Objex* border : {left, right}) {
    SmoothObject(border);
    border->type = kObjEdging;
    border->levels = 1;
    StraightPathOf(border) = StraightPathOf(path);
    UpdateEdgingObject(border);
  }
  for (Objex* border : {left, right}) {
    Objex* part = static_cast<Objex*>(border->typeData);
    border->typeData = nullptr;
    while (part) {
      Objex* next = part->next;
      if (part->parent == border) part->parent = path;
      AppendGeneratedPart(path, part);
      part = next;
    }
    DeleteObj(border);
  }
  return true;
}

}  // namespace

Objex* Construct3DPath(Objex* path) {
  DocState* ds = CurDocState();
  if (!path || !path->firstPoint || !ds) return nullptr;
  Layer* layer = BuildLayerFor(path);
  if (!layer || !gCurDocument->itsLayers) return nullptr;
  Objex* copy = StraightCopy(path, layer);
  if (!copy) return nullptr;
  Objex* surface = MakeParallel(copy, path->width, 1);
  if (!surface) return nullptr;
  // No ribbon could be made: only the centre line came back.
  if (surface == copy && (!copy->closed || copy->pointCount < 3)) {
    DeleteObj(copy);
    return nullptr;
  }
  if (StraightPathOf(path) == 0) {
    SmoothObject(surface);
    // The ribbon's long sides stay smooth; its two ends are cut straight across.
    const int32_t half = surface->pointCount / 2;
    if (half > 1) {
      Poinz* nth = surface->firstPoint;
      for (int32_t i = 1; nth && i < half; ++i) nth = nth->next;
      ZeroTangents(nth);
      if (nth) ZeroTangents(nth->next);
    }
    Poinz* last = surface->firstPoint;
    while (last && last->next) last = last->next;
    ZeroTangents(last);
    ZeroTangents(surface->firstPoint);
  }
  const Poinz* first = path->firstPoint;
  surface->penColor = surface->fillColor = first->color[0];
  surface->type = kObjPathSurface;
  SetTextureFaceUV(surface);
  SetObjectPointLengths(surface);
  SetTextureFaceUV(path);
  SetObjectPointLengths(path);
  for (Poinz* p = surface->firstPoint; p; p = p->next) {
    p->position[1] += 2.0f;
    for (int s = 0; s < 2; ++s) {
      p->textureID[s] = first->textureID[s];
      p->color[s] = first->color[s];
      p->textureScale[s] = first->textureScale[s];
    }
  }
  UnlinkObject(surface);
  surface->layer = nullptr;
  surface->sourceObject = path;
  UpdateObjectBounds(surface);
  return surface;
}

namespace building3d {
void Update3DPath(Objex* path) {
  NoteServiceCall("Update3DPath", path);
  if (!path || path->type != kObjPath || !CurDocState()) return;
  DeleteRendererObject(path);
  DeleteGeneratedParts(path);
  Layer* layer = BuildLayerFor(path);
  if (!layer || !path->firstPoint) return;
  RailListScope scope(path);  // the border blocks are appended one by one
  if (path->fillPattern == kPathBorderPattern && !BuildBorders(path, layer)) return;
  if (Objex* surface = Construct3DPath(path)) AppendGeneratedPart(path, surface);
}
}  // namespace building3d

void Update3DPathLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next)
    if (o->type == kObjPath) Update3DPath(o);
}

void Update3DPathAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) Update3DPathLayer(l);
}
