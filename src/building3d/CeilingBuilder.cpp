// Floors, ceilings and soffits built from one wall outline.
#include "building3d/CeilingBuilder.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/Area.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/ParallelObjects.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/TextureFace.h"
#include "model/WallFields.h"

namespace {

constexpr RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF};
constexpr ShortPoint kFullScale{100, 100};
constexpr const char* kUndoName = "Build Ceiling/Floor";

std::vector<Poinz*> PointsOf(const Objex* o) {
  std::vector<Poinz*> points;
  for (Poinz* p = o ? o->firstPoint : nullptr; p; p = p->next) points.push_back(p);
  return points;
}

// Segment k runs from point k to point k + 1 (the closing one, of a closed outline, from
// the last point to the first).
size_t SegmentCount(const Objex* o, size_t points) {
  if (points < 2) return 0;
  return o->closed ? points : points - 1;
}

bool SegmentSelected(const std::vector<Poinz*>& points, size_t k) {
  return points[k]->selected && points[(k + 1) % points.size()]->selected;
}

// Offsets run to side 7 for a clockwise wall with a non-negative extension or a
// counter-clockwise one with a negative extension, to side 8 otherwise.
int16_t OffsetSide(const Objex* wall, float extension) {
  const bool clockwise = IsObjectClockwise(wall);
  return clockwise == (extension >= 0) ? kParallelSide7 : kParallelSide8;
}

// Texture, colour and scale of both sides of every point, then the texture coordinates and
// point lengths.
void DressPoints(Objex* o, int32_t texture) {
  for (Poinz* p = o->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = texture;
    p->color[0] = p->color[1] = kWhite;
    p->textureScale[0] = p->textureScale[1] = kFullScale;
  }
  SetTextureFaceUV(o);
  SetObjectPointLengths(o);
}

void MakeFlatFloor(Objex* o, int32_t slot1Texture, float elevation, float thickness) {
  o->type = kObjFloor;
  o->closed = 1;
  o->planMask = 2;
  o->penColor = o->fillColor = kWhite;
  o->textureID = 0;
  o->textureID1 = slot1Texture;
  o->textureID2 = 0;
  o->color1 = o->color2 = kWhite;
  o->textureScale1 = o->textureScale2 = kFullScale;
  o->baseElevation = elevation;
  o->params[2] = thickness;
}

// A floor or ceiling: the wall outline offset by |extension|, on the wall's layer.
Objex* BuildFillObject(Objex* wall, float thickness, float elevation, float extension) {
  const DocState* ds = CurDocState();
  const float distance = ConvertWorldToScreen(std::fabs(extension), ds, 0);
  Objex* o = CreateParallelObject(wall, OffsetSide(wall, extension), distance, 1);
  if (!o) return nullptr;
  MakeFlatFloor(o, gFlooringDefaultTexture, elevation, thickness);
  o->typeData = nullptr;
  DressPoints(o, gFlooringDefaultTexture);
  UpdateObjectBounds(o);
  return o;
}

void Finish(Objex* o) {
  Update3DFloorSkirting(o);
  ReRenderObject(o);
}

// A soffit through the plan positions of the points, appended to the layer.
Objex* MakeSoffit(Layer* layer, const std::vector<const Poinz*>& corners, float elevation, float thickness) {
  const DocState* ds = CurDocState();
  if (!gCurDocument || !ds || !layer || corners.size() < 3) return nullptr;
  for (const Poinz* p : corners)
    if (!p) return nullptr;
  Objex* o = CreateObject(kObjFloor, 1, 1, &kWhite, &kWhite, ds->newLineWeight, ds->newPenStyle, 0, nullptr,
                          nullptr, nullptr, nullptr, layer, nullptr);
  if (!o) return nullptr;
  MakeFlatFloor(o, 0, elevation, thickness);
  for (const Poinz* c : corners)
    if (Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, c->position[0], 0, c->position[2], 0, 0, 0, 0, 0, 0, o))
      AppendPointToObject(p, o);
  DressPoints(o, 0);
  AppendObjectToLayer(o, layer);
  UpdateObjectBounds(o);
  Finish(o);
  return o;
}

// An offset ring of the wall used only for its corners: never on a layer.
void DropRing(Objex* ring) {
  if (!ring) return;
  ring->layer = nullptr;
  DeleteObj(ring);
}

}  // namespace

int16_t InitializeAutoCeilingFloorDlgVar() {
  ZLKDocumentModel* doc = gCurDocument;
  DocState* ds = CurDocState();
  if (!doc || !ds || !doc->itsCurLayer) return 0;
  int walls = 0;
  Objex* wall = nullptr;
  for (Objex* o = doc->itsCurLayer->firstObject; o; o = o->next)
    if (o->type == kObjWall && IsObjectSelected(o)) {
      ++walls;
      wall = o;
    }
  gTheWallObject = walls == 1 ? wall : nullptr;
  if (walls != 1) return 0;

  gFlooringElevation = wall->baseElevation;
  gFlooringExtension = gCeilingExtension = -wall->width / 2;

  // The lowest segment height: over the segments with both points selected, over all of them
  // when none is (a wall with no such segment would otherwise propose 32000).
  const std::vector<Poinz*> points = PointsOf(wall);
  const size_t segments = SegmentCount(wall, points.size());
  float lowestSelected = 32000.0f, lowest = 32000.0f;
  for (size_t k = 0; k < segments; ++k) {
    const float h = WallHeightOf(points[k]);
    lowest = std::min(lowest, h);
    if (SegmentSelected(points, k)) lowestSelected = std::min(lowestSelected, h);
  }
  float ceiling = lowestSelected < 32000.0f ? lowestSelected : lowest;
  if (!NoAutoFloorOf(wall)) ceiling += FloorDepthOf(wall);
  ceiling += wall->baseElevation;
  gCeilingElevation = gSoffitElevation = ceiling;
  return 1;
}

int BuildAutoCeilingFloor(Objex* wall, uint8_t buildFloor, float floorThickness, float floorElevation,
                          float floorExtension, uint8_t buildCeiling, float ceilingThickness,
                          float ceilingElevation, float ceilingExtension, bool storeUndo) {
  if (!gCurDocument || !CurDocState() || !wall) return 0;
  std::vector<Objex*> made;
  if (buildFloor)
    if (Objex* o = BuildFillObject(wall, floorThickness, floorElevation, floorExtension)) made.push_back(o);
  if (buildCeiling)
    if (Objex* o = BuildFillObject(wall, ceilingThickness, ceilingElevation, ceilingExtension)) made.push_back(o);
  for (Objex* o : made) {
    Finish(o);
    SelectObj(o, kSelectOn, 0);
  }
  if (!made.empty() && storeUndo) StoreUndoFromModel(kUndoName);
  return static_cast<int>(made.size());
}

int BuildAutoSoffits(Objex* wall, float thickness, float elevation, float extension, int16_t join, bool storeUndo) {
  const DocState* ds = CurDocState();
  if (!gCurDocument || !ds || !wall || extension == 0) return 0;
  const int16_t side = OffsetSide(wall, extension);
  const float half = ConvertWorldToScreen(wall->width / 2, ds, 0);
  const float outer = ConvertWorldToScreen(wall->width / 2 + std::fabs(extension), ds, 0);
  Objex* innerRing = CreateParallelObject(wall, side, half, 0);
  Objex* outerRing = CreateParallelObject(wall, side, outer, 0);
  const std::vector<Poinz*> wallPoints = PointsOf(wall);
  const std::vector<Poinz*> in = PointsOf(innerRing);
  const std::vector<Poinz*> out = PointsOf(outerRing);
  const size_t n = wallPoints.size();
  int made = 0;
  if (innerRing && outerRing && in.size() == n && out.size() == n) {
    Layer* layer = wall->layer;
    const size_t segments = SegmentCount(wall, n);
    if (!join) {
      for (size_t k = 0; k < segments; ++k) {
        if (!SegmentSelected(wallPoints, k)) continue;
        const size_t j = (k + 1) % n;
        if (CreateSoffitObject(layer, in[k], out[k], out[j], in[j], elevation, thickness)) ++made;
      }
    } else {
      // Each run of consecutive selected segments a..b: inner points a..b+1 in order, then
      // the outer points back from b+1 to a. A run through the closing segment ends on the
      // first point.
      size_t k = 0;
      while (k < segments) {
        if (!SegmentSelected(wallPoints, k)) {
          ++k;
          continue;
        }
        const size_t a = k;
        while (k < segments && SegmentSelected(wallPoints, k)) ++k;
        std::vector<size_t> corners;
        for (size_t i = a; i <= k; ++i) corners.push_back(i % n);
        std::vector<const Poinz*> polygon;
        for (size_t i : corners) polygon.push_back(in[i]);
        for (auto it = corners.rbegin(); it != corners.rend(); ++it) polygon.push_back(out[*it]);
        if (MakeSoffit(layer, polygon, elevation, thickness)) ++made;
      }
    }
  }
  DropRing(innerRing);
  DropRing(outerRing);
  if (made && storeUndo) StoreUndoFromModel(kUndoName);
  return made;
}

Objex* CreateSoffitObject(Layer* layer, const Poinz* p1, const Poinz* p2, const Poinz* p3, const Poinz* p4,
                          float elevation, float thickness) {
  if (!p1 || !p2 || !p3 || !p4) return nullptr;
  return MakeSoffit(layer, {p1, p2, p3, p4}, elevation, thickness);
}
