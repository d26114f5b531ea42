// Test fixtures of the plan symbols: a one-entry fixed 2D symbol list installed for the life
// of a scope, and a wall attachment record anchored on two points.
#pragma once
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "files/SymbolFile.h"
#include "model/Attachments.h"
#include "model/Records.h"

// gSymbol2DList holds one entry of `kind` whose one part runs through the points (symbol
// coordinates: x along the wall, z away from it); the previous list comes back afterwards.
struct ScopedSymbol2DList {
  Objex* saved = gSymbol2DList;
  Objex* entry = nullptr;
  Objex* part = nullptr;

  ScopedSymbol2DList(int16_t kind, std::initializer_list<std::pair<float, float>> pts, bool closed = false) {
    entry = static_cast<Objex*>(calloc(1, sizeof(Objex)));
    entry->type = kind;
    RGBColor black{};
    part = CreateObject(kind, closed, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr);
    for (auto [x, z] : pts)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, part), part);
    Append2DSymbolToParent(part, entry);
    gSymbol2DList = entry;
  }
  ~ScopedSymbol2DList() {
    gSymbol2DList = saved;
    DeleteSymbolObject(entry);
  }
  ScopedSymbol2DList(const ScopedSymbol2DList&) = delete;
  ScopedSymbol2DList& operator=(const ScopedSymbol2DList&) = delete;
};

// A zeroed attachment record on the segment from `start` to `end`, owned by `child` as its
// type data (freed with it).
inline DoorWindowData* AttachOnSegment(Objex* child, Poinz* start, Poinz* end) {
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  data->anchorStart = start;
  data->anchorEnd = end;
  child->typeData = data;
  return data;
}
