// Test helpers that hang children (attachments, group members) on objects.
#pragma once
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "model/Attachments.h"
#include "model/Records.h"

// A child of `type` appended to the parent's child list, through the given plan points.
inline Objex* AddChild(Objex* parent, int16_t type, std::initializer_list<std::pair<float, float>> pts) {
  RGBColor black{};
  Objex* c = CreateObject(type, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, parent,
                          parent->layer, nullptr);
  for (auto [x, z] : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, c), c);
  Objex* prev = nullptr;
  for (Objex* o = parent->firstChild; o; o = o->next) prev = o;
  if (prev) prev->next = c;
  else parent->firstChild = c;
  c->prev = prev;
  return c;
}

inline Poinz* PointAt(Objex* obj, int index) {
  Poinz* p = obj->firstPoint;
  while (p && index-- > 0) p = p->next;
  return p;
}

// A door on the wall segment that starts at point `index`.
inline Objex* AddDoor(Objex* wall, int index) {
  Poinz* a = PointAt(wall, index);
  Poinz* b = a->next ? a->next : wall->firstPoint;
  Objex* door = AddChild(wall, kObjDoor, {{a->position[0], a->position[2]}, {b->position[0], b->position[2]}});
  auto* d = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  d->ownerType = kObjDoor;
  d->subtype = kDoorHinged;
  d->anchorStart = a;
  d->anchorEnd = b;
  d->startDistance = 10;
  d->width = 30;
  door->typeData = d;
  return door;
}
