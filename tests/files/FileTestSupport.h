// Small helpers the file tests share: whole files as bytes, counting a layer's objects,
// building objects and openings to save, and a scrap and paste state to paste from.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "model/Attachments.h"
#include "model/CabinetState.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Records.h"

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& b) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// The top-level objects of a layer (0 for none).
inline size_t CountObjects(const Layer* l) {
  size_t n = 0;
  for (const Objex* o = l ? l->firstObject : nullptr; o; o = o->next) ++n;
  return n;
}

// An object of `type` with `points` points (x from x0, y 0), hung as the last child of
// `parent` when given, else appended to `layer`.
inline Objex* MakeObject(int16_t type, int points, float x0, Objex* parent, Layer* layer,
                         void* typeData = nullptr) {
  RGBColor pen{1, 2, 3}, fill{4, 5, 6};
  Objex* o = CreateObject(type, 1, 1, &pen, &fill, 1, 6, 0, nullptr, nullptr, nullptr, parent,
                          parent ? parent->layer : layer, typeData);
  const float xs[4] = {0, 40, 40, 0}, zs[4] = {0, 0, 30, 30};
  for (int k = 0; k < points; ++k)
    AppendPointToObject(
        CreatePoint(1, 0, 0, 0, 0, 0, x0 + xs[k % 4] + 2.0f * (k / 4), 0, zs[k % 4], 0, 0, 0, 0, 0, 0, o), o);
  if (parent) {
    Objex** link = &parent->firstChild;
    Objex* last = nullptr;
    while (*link) last = *link, link = &last->next;
    *link = o;
    o->prev = last;
  } else if (layer) {
    AppendObjectToLayer(o, layer);
  }
  return o;
}

// A wall of four points from x0, 96 high and 16 thick, each point with both side records.
inline Objex* MakeWallWithSides(float x0, Objex* parent, Layer* layer) {
  Objex* wall = MakeObject(kObjWall, 4, x0, parent, layer);
  wall->params[0] = 96;
  wall->params[1] = 16;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    p->trim1 = calloc(1, sizeof(TrimData));
    p->trim2 = calloc(1, sizeof(TrimData));
  }
  return wall;
}

// The record of a door or window of `width` (80 high, 5 from its start) between a and b.
inline DoorWindowData* NewOpening(int16_t subtype, Poinz* a, Poinz* b, float width) {
  auto* d = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  d->subtype = subtype;
  d->anchorStart = a;
  d->anchorEnd = b;
  d->startDistance = 5;
  d->width = width;
  d->height = 80;
  return d;
}

// The private scrap holds exactly these bytes.
inline void SetScrap(const Bytes& b) {
  FreeScrap();
  gStream.privateScrap = static_cast<uint8_t*>(malloc(b.empty() ? 1 : b.size()));
  if (!b.empty()) memcpy(gStream.privateScrap, b.data(), b.size());
  gStream.scrapLength = static_cast<uint32_t>(b.size());
}

// The design `docID` pastes what it copied at the usual offset, from no layer in particular.
inline void ReadyToPaste(ZLKDocumentModel& model, int32_t docID) {
  model.itsDocID = docID;
  gPasteOffset = 36;
  gClipboardLayer = nullptr;
  gClipboardDoc = nullptr;
  gClipboardDocID = -1;
}

// A cabinet (its state turned 45 degrees at 30", two parts), a symbol (two 3D parts it places
// at 20") and a wall on `floor`, selected and grouped as Plan > Group groups them. The group.
inline Objex* GroupCabinetSymbolAndWall(ZLKDocumentModel& model, Layer* floor) {
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  state->angle = 45;
  state->value2 = 7;
  state->elevation = 30;
  Objex* cabinet = MakeObject(kObjGroup, 0, 0, nullptr, floor, state);
  cabinet->subtype = kSubCabinet;
  cabinet->baseElevation = 30;
  Objex* symbol = MakeObject(kObjGroup, 0, 0, nullptr, floor);
  symbol->baseElevation = 20;
  for (int i = 0; i < 2; ++i) {
    MakeObject(kObjCabinet, 4, 100.0f + 50 * i, cabinet, floor)->pointCount = 4;
    MakeObject(kObjSymbolPart3D, 4, 300.0f + 50 * i, symbol, floor)->pointCount = 4;
  }
  Objex* wall = MakeWallWithSides(500, nullptr, floor);
  for (Objex* o : {cabinet, symbol, wall}) {
    UpdateObjectBounds(o);
    SetObjectSelectFlags(o, 1);
  }
  gGroupLeader = nullptr;
  TopLevelObjectAllLayers(model.itsLayers, kCmdGroup, CommandArg::None());
  Objex* group = gGroupLeader;
  gGroupLeader = nullptr;
  return group;
}

// `group` holds what GroupCabinetSymbolAndWall grouped, in its order: the cabinet with its
// state and parts, the symbol placing its parts at 20", and the wall.
inline void ExpectCabinetSymbolAndWall(const Objex* group) {
  ASSERT_NE(group, nullptr);
  ASSERT_EQ(group->type, kObjGroup);
  const Objex* cabinet = group->firstChild;
  ASSERT_NE(cabinet, nullptr);
  ASSERT_EQ(cabinet->type, kObjGroup) << "the cabinet's parts are the outer group's";
  EXPECT_EQ(cabinet->subtype, kSubCabinet);
  ASSERT_NE(cabinet->typeData, nullptr) << "the cabinet lost its state";
  const auto* state = static_cast<const CabinetState*>(cabinet->typeData);
  EXPECT_FLOAT_EQ(state->angle, 45);
  EXPECT_EQ(state->value2, 7);
  EXPECT_FLOAT_EQ(cabinet->baseElevation, 30);
  const Objex* symbol = cabinet->next;
  ASSERT_NE(symbol, nullptr);
  ASSERT_EQ(symbol->type, kObjGroup) << "the symbol's parts are the outer group's";
  EXPECT_NE(symbol->subtype, kSubCabinet);
  const Objex* wall = symbol->next;
  ASSERT_NE(wall, nullptr);
  EXPECT_EQ(wall->type, kObjWall);
  EXPECT_EQ(wall->next, nullptr);
  for (const Objex* g : {cabinet, symbol}) {
    EXPECT_EQ(g->parent, group);
    EXPECT_EQ(g->layer, group->layer);
    int parts = 0;
    for (const Objex* p = g->firstChild; p; p = p->next, ++parts) {
      EXPECT_EQ(p->type, g == cabinet ? kObjCabinet : kObjSymbolPart3D);
      EXPECT_EQ(p->parent, g);
      EXPECT_EQ(p->layer, group->layer);
      EXPECT_EQ(GetPlacementObject(p), g);
      EXPECT_FLOAT_EQ(GetPlacementObject(p)->baseElevation, g == cabinet ? 30 : 20);
    }
    EXPECT_EQ(parts, 2);
  }
}
