// Designs of a given number of records made through the model API, for the benchmarks: cells
// of 100 records (walls of 3 to 5 points, closed polygons, lines, texts, length dimensions and
// groups of lines) laid side by side, 60/30/10 % of each cell over the three floors. With
// `houses` the walls are built walls holding a door, a window and (every other wall) an
// attached wall dimension, and a third of the closed polygons are floors and a third roofs,
// each built in 3D as the program builds them (the libraries' services must be installed).
#pragma once
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "TestDocument.h"
#include "WallTestSupport.h"
#include "model/Attachments.h"
#include "model/WallFields.h"
#include "model/Services.h"
#include "model/HitTest.h"
#include "model/DimensionBuilders.h"
#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/Records.h"
#include "model/Globals.h"
#include "model/TopoGrid.h"
#include "model/ViewProjection.h"

namespace bench {

// The side of one cell in plan units.
constexpr float kCellSize = 800.0f;

// Cells lie in rows as long as the design is high (at least 4 to a row), so that a view of
// 1600 x 1000 units shows the same cells at every size.
inline int CellsPerRow(int records) {
  const int cells = (records + 99) / 100;
  int perRow = 4;
  while (perRow * perRow < cells) ++perRow;
  return perRow;
}

inline Objex* AddPoints(Objex* o, std::initializer_list<std::pair<float, float>> pts) {
  for (auto [x, z] : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  return o;
}

// Appends the object to the floor with its bounds measured, as the builders do.
inline void Place(Objex* o, Layer* layer) {
  AppendObjectToLayer(o, layer);
  UpdateObjectBounds(o);
}

inline Objex* NewObject(int16_t type, bool closed) {
  const RGBColor black{};
  Objex* o = CreateObject(type, closed, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  // On the plan the tools put new objects on.
  if (o && CurDocState()) o->planMask = CurDocState()->newObjectPlanMask;
  return o;
}

inline Objex* AddText(Layer* layer, float x, float z, int n) {
  Objex* t = NewObject(kObjText, true);
  AddPoints(t, {{x, z}, {x + 90, z}, {x + 90, z + 16}, {x, z + 16}});
  auto* text = static_cast<char*>(calloc(32, 1));
  std::snprintf(text, 32, "Room %d", n);
  t->typeData = text;
  auto* font = static_cast<LOGFONT*>(calloc(1, sizeof(LOGFONT)));
  font->lfHeight = -12;
  std::strcpy(font->lfFaceName, "DejaVu Sans");
  t->extraData = font;
  Place(t, layer);
  return t;
}

// A door or window of `width` centred `distance` along the wall's segment a -> b, with its
// two plan points across the opening, built in 3D.
inline Objex* AddOpening(Objex* wall, Poinz* a, Poinz* b, bool door, float distance, float width) {
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  const RGBColor white{65535, 65535, 65535};
  data->ownerType = door ? kObjDoor : kObjWindow;
  data->subtype = door ? kDoorHinged : kWindowRectangular;
  data->anchorStart = a;
  data->anchorEnd = b;
  data->startDistance = distance;
  const float length = std::hypot(b->position[0] - a->position[0], b->position[2] - a->position[2]);
  data->remainingLength = length - distance;
  data->width = width;
  data->height = door ? 80 : 40;
  data->elevation = door ? 0 : 36;
  data->trimWidth() = 4;
  data->trimSlotA = TrimSlot{0, 2203, 100, 100, white, nullptr};
  data->trimSlotB = TrimSlot{0, 2203, 100, 100, white, nullptr};
  Objex* o = CreateObject(data->ownerType, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                          wall->layer, data);
  for (float d : {distance - width / 2, distance + width / 2}) {
    const float t = length > 0 ? d / length : 0;
    const float x = a->position[0] + (b->position[0] - a->position[0]) * t;
    const float z = a->position[2] + (b->position[2] - a->position[2]) * t;
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  }
  AppendChildToObject(o, wall);
  UpdateObjectBounds(o);
  BuildAttachmentFrame(o);
  return o;
}

// An attached wall dimension across the middle of the segment a -> b, measuring to the facing
// wall on the side away from the segment's left (as the dimension tool leaves it).
inline Objex* AddWallDimension(Objex* wall, Poinz* a, Poinz* b) {
  const RGBColor white{65535, 65535, 65535};
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  Objex* dim = CreateObject(kObjComponent, 1, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                            wall->layer, nullptr);
  const float length = std::hypot(b->position[0] - a->position[0], b->position[2] - a->position[2]);
  const float mx = (a->position[0] + b->position[0]) / 2, mz = (a->position[2] + b->position[2]) / 2;
  for (int i = 0; i < 3; ++i) {
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, mx, 0, mz, 0, 0, 0, 0, 0, 0, dim);
    WallOptionOf(p) = 0;
    AppendPointToObject(p, dim);
  }
  dim->textureID = 0;
  dim->subtype = kSubDimensionAttachment;
  dim->levels = 1;
  dim->pointCount = 3;
  dim->typeData = data;
  data->ownerType = kSubDimensionAttachment;
  data->anchorStart = a;
  data->anchorEnd = b;
  data->startDistance = length / 2;
  data->remainingLength = length / 2;
  data->width = 0;
  data->height = 200;
  data->flipHorizontal = 1;
  data->dividerStyle() = 1;
  AppendChildToObject(dim, wall);
  UpdateObjectBounds(dim);
  return dim;
}

// A built wall through the points (heights, side records and its body), with a door on its
// first segment, a window on its second and, with `dimension`, an attached dimension on its
// last. Answers the records made.
inline int AddHouseWall(Objex* w, bool dimension) {
  w->levels = 1;
  FloorDepthOf(w) = 0.5f;
  FoundationWidthOf(w) = 12.0f;
  for (Poinz* p = w->firstPoint; p; p = p->next) {
    WallHeightOf(p) = 96;
    PitchAOf(p) = PitchBOf(p) = 10;
    HeightCOf(p) = 120;
    HeightDOf(p) = 168;
    p->trim1 = TestWallSide(0);
    p->trim2 = TestWallSide(0);
  }
  UpdateObjectBounds(w);
  Poinz* p0 = w->firstPoint;
  Poinz* p1 = p0->next;
  Poinz* p2 = p1->next;
  const float first = std::hypot(p1->position[0] - p0->position[0], p1->position[2] - p0->position[2]);
  AddOpening(w, p0, p1, true, first / 2, first >= 60 ? 30 : 24);
  const float second = std::hypot(p2->position[0] - p1->position[0], p2->position[2] - p1->position[2]);
  AddOpening(w, p1, p2, false, second / 2, second >= 60 ? 24 : 18);
  int made = 3;
  if (dimension) {
    Poinz* before = p1;
    Poinz* last = p2;
    while (last->next) before = last, last = last->next;
    AddWallDimension(w, before, last);
    ++made;
  }
  Update3DWall(w);
  return made;
}

// Adds `records` records (a multiple of 100 is a whole number of cells) to the document.
inline void GenerateDesign(TestDocument& doc, int records, bool houses = false) {
  Layer* floors[3] = {doc.first, doc.second, doc.third};
  int made = 0;
  const int perRow = CellsPerRow(records);
  for (int cell = 0; made < records; ++cell) {
    const float ox = static_cast<float>(cell % perRow) * kCellSize;
    const float oz = static_cast<float>(cell / perRow) * kCellSize;
    for (int i = 0; i < 100 && made < records; ++i) {
      Layer* layer = floors[i % 10 < 6 ? 0 : (i % 10 < 9 ? 1 : 2)];
      // A 10 x 10 lattice of 80-unit slots in the cell.
      const float x = ox + static_cast<float>(i % 10) * 80.0f + 5.0f;
      const float z = oz + static_cast<float>(i / 10) * 80.0f + 5.0f;
      const int kind = i % 20;
      if (kind < 5) {  // walls of 3 to 5 points
        Objex* w = NewObject(kObjWall, false);
        w->subtype = kSubExteriorWall;
        w->width = 6;
        if (i % 3 == 0) AddPoints(w, {{x, z}, {x + 60, z}, {x + 60, z + 60}});
        else if (i % 3 == 1) AddPoints(w, {{x, z}, {x + 60, z}, {x + 60, z + 60}, {x, z + 60}});
        else AddPoints(w, {{x, z}, {x + 30, z}, {x + 60, z}, {x + 60, z + 60}, {x, z + 60}});
        Place(w, layer);
        made += houses ? AddHouseWall(w, i % 2 == 0) - 1 : 0;
        ++made;
      } else if (houses && kind < 7) {  // a floor, then a roof
        Objex* o = AddPoints(NewObject(kind == 5 ? kObjFloor : kObjRoof, true),
                             {{x, z}, {x + 60, z}, {x + 60, z + 60}, {x, z + 60}});
        o->width = 6;
        if (kind == 6) o->textureID = 2;
        Place(o, layer);
        if (kind == 5) Update3DFloorSkirting(o);
        else Update3DRoof(o);
        ++made;
      } else if (kind < 9) {  // closed polygons
        Place(AddPoints(NewObject(kObjClosedPoly, true), {{x, z}, {x + 50, z}, {x + 60, z + 40}, {x + 10, z + 55}}),
              layer);
        ++made;
      } else if (kind < 13) {  // lines
        Place(AddPoints(NewObject(kObjLine, false), {{x, z}, {x + 70, z + 50}}), layer);
        ++made;
      } else if (kind < 16) {  // texts
        AddText(layer, x, z, made);
        ++made;
      } else if (kind < 18) {  // length dimensions
        BuildLengthDim(x, z + 20, x + 70, z + 20, x + 35, z + 45, layer);
        ++made;
      } else {  // groups of one line
        Objex* g = NewObject(kObjGroup, false);
        AppendObjectToLayer(g, layer);
        Objex* member = AddPoints(NewObject(kObjLine, false), {{x, z + 60}, {x + 60, z}});
        member->layer = layer;
        AppendChildToObject(member, g);
        UpdateObjectBounds(member);
        UpdateObjectBounds(g);
        made += 2;
      }
    }
  }
  // The attached dimensions measure to the facing walls of their floor, once all are built.
  if (houses) {
    Layer* current = doc.model.itsCurLayer;
    for (Layer* l : floors) {
      doc.model.itsCurLayer = l;
      UpdateAttachedDimLayerService(l);
    }
    doc.model.itsCurLayer = current;
  }
  // Dimensions are built selected; the design starts with nothing selected, on every floor.
  for (Layer* l = doc.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) SetObjectSelectFlags(o, 0);
}

// Terrain over a generated design of `records` records: the plan bounds around its cells with
// a margin of half a cell, a flat grid of `spacing` set up over them, and `perCell` round
// outlines of 12 points in each cell (2 x 2 of them at most, one in each quarter), laid on the
// floors as the design's objects are, 60/30/10 %. With kObjTopography they are regions raising
// the ground by 12; with kObjDetail, detail outlines all on the first floor (the floor the
// convert commands work on). All are selected, nothing else is. Returns them in order.
inline std::vector<Objex*> AddTerrain(TestDocument& doc, int records, int perCell, int16_t type,
                                      float spacing = 48.0f) {
  const int cells = (records + 99) / 100, perRow = CellsPerRow(records);
  const int rows = (cells + perRow - 1) / perRow;
  DocState* ds = doc.ds();
  ds->planBounds = {-kCellSize / 2, -kCellSize / 2, (static_cast<float>(rows) + 0.5f) * kCellSize,
                    (static_cast<float>(perRow) + 0.5f) * kCellSize};
  ds->topoGridSpacing = spacing;
  SetupTopoGrid();
  Layer* floors[3] = {doc.first, doc.second, doc.third};
  std::vector<Objex*> made;
  for (int cell = 0; cell < cells; ++cell)
    for (int q = 0; q < perCell && q < 4; ++q) {
      const float cx = static_cast<float>(cell % perRow) * kCellSize + 200.0f + static_cast<float>(q % 2) * 400.0f;
      const float cz = static_cast<float>(cell / perRow) * kCellSize + 200.0f + static_cast<float>(q / 2) * 400.0f;
      Objex* o = NewObject(type, true);
      o->width = 12;
      for (int i = 0; i < 12; ++i) {
        const float a = static_cast<float>(i) * 6.2831853f / 12, r = 150.0f + static_cast<float>((i * 7) % 5) * 10.0f;
        const float x = cx + r * std::cos(a), z = cz + r * std::sin(a);
        AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
      }
      const int k = static_cast<int>(made.size()) % 10;
      Place(o, type == kObjTopography ? floors[k < 6 ? 0 : (k < 9 ? 1 : 2)] : doc.first);
      SelectObj(o, kSelectOn, 1);
      made.push_back(o);
    }
  return made;
}

// The plan view as the window sets it up: looking straight down from a floor height.
inline void LookDownOnThePlan() {
  gXViewAngle = 90.0f;
  gYViewAngle = 0.0f;
  gPerspective = 0;
  gGlobalXOffset = gGlobalZOffset = 0;
  gGlobalYOffset = -96;
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle, &gCosYAngle,
                                     &gSinYAngle, gPerspective);
}

// One plain walk of the design, every object, child and point read once: the baseline of the
// roads that must not walk it. Seconds.
inline double WalkDesignSeconds(TestDocument& doc) {
  const auto t0 = std::chrono::steady_clock::now();
  float sum = 0;
  for (Layer* l = doc.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      for (Poinz* p = o->firstPoint; p; p = p->next) sum += p->position[0];
      for (Objex* c = o->firstChild; c; c = c->next)
        for (Poinz* p = c->firstPoint; p; p = p->next) sum += p->position[0];
    }
  [[maybe_unused]] static volatile float sink;
  sink = sum;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace bench
