// Designs of a given number of records made through the model API, for the benchmarks: cells
// of 100 records (walls of 3 to 5 points, closed polygons, lines, texts, length dimensions and
// groups of lines) laid side by side, 60/30/10 % of each cell over the three floors.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "TestDocument.h"
#include "model/HitTest.h"
#include "model/DimensionBuilders.h"
#include "model/Grouping.h"
#include "model/Records.h"

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

// Adds `records` records (a multiple of 100 is a whole number of cells) to the document.
inline void GenerateDesign(TestDocument& doc, int records) {
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
  // Dimensions are built selected; the design starts with nothing selected, on every floor.
  for (Layer* l = doc.model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) SetObjectSelectFlags(o, 0);
}

}  // namespace bench
