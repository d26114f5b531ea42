// Walls for tests: a wall through plan points with the attributes a new wall segment gets,
// and doors anchored on its segments.
#pragma once
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "TestDocument.h"
#include "model/Attachments.h"
#include "model/Grouping.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/WallFields.h"

// A side record with the five material slots of a new wall side.
inline WallSideData* TestWallSide(int32_t flags) {
  auto* side = static_cast<WallSideData*>(calloc(1, sizeof(WallSideData)));
  side->trimCodeA = flags;
  const int32_t textures[5] = {2213, 2213, 2213, 2212, 850};
  for (int i = 0; i < 5; ++i) {
    side->slotTextureIDs[i] = textures[i];
    side->slotColors[i] = {65535, 65535, 65535};
    side->slotTextureScales[i] = {100, 100};
  }
  return side;
}

// A wall of `thickness` inches through (x, z) points on the current layer (or `layer`), its
// points unselected, each with a height of 96 and two side records; its body built (the plan
// hit-tests walls through it).
inline Objex* AddTestWall(TestDocument& doc, std::initializer_list<std::pair<float, float>> pts, bool closed = false,
                          float thickness = 4.0f, Layer* layer = nullptr) {
  Objex* wall = doc.addObject(kObjWall, closed, pts, layer);
  wall->width = thickness;
  wall->levels = 1;
  FloorDepthOf(wall) = 0.5f;
  FoundationWidthOf(wall) = 12.0f;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    WallHeightOf(p) = 96;
    PitchAOf(p) = PitchBOf(p) = 10;
    HeightCOf(p) = 120;
    HeightDOf(p) = 168;
    p->trim1 = TestWallSide(0);
    p->trim2 = TestWallSide(0);
  }
  UpdateObjectBounds(wall);
  Update3DWall(wall);
  return wall;
}

inline Poinz* TestPointAt(Objex* o, int index) {
  Poinz* p = o->firstPoint;
  for (int i = 0; i < index && p; ++i) p = p->next;
  return p;
}

inline Poinz* TestLastPoint(Objex* o) {
  Poinz* p = o->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

// A door on the wall's segment from point `a` to the next point, `distance` from a.
inline Objex* AddTestDoor(Objex* wall, Poinz* a, Poinz* b, float distance, float width = 30) {
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  data->ownerType = kObjDoor;
  data->subtype = kDoorHinged;
  data->anchorStart = a;
  data->anchorEnd = b;
  data->startDistance = distance;
  data->width = width;
  data->remainingLength = 0;
  const RGBColor white{65535, 65535, 65535};
  Objex* door = CreateObject(kObjDoor, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall, wall->layer,
                             data);
  AppendChildToObject(door, wall);
  return door;
}

inline int CountPoints(const Objex* o) {
  int n = 0;
  for (const Poinz* p = o->firstPoint; p; p = p->next) ++n;
  return n;
}
