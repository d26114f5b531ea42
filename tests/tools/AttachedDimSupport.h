// A wall dimension attached to one segment of a wall, made as the dimension tool makes it,
// for the tests of measuring attached dimensions.
#pragma once

#include <cmath>
#include <cstdlib>

#include "model/Attachments.h"
#include "model/Records.h"
#include "model/WallFields.h"

// The dimension spans a-b and looks for a facing wall when `faces`; `flipped` turns it over.
inline Objex* AddDim(Objex* wall, Poinz* a, Poinz* b, bool flipped, bool faces) {
  const RGBColor white{65535, 65535, 65535};
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  Objex* dim = CreateObject(kObjComponent, 1, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, wall,
                            wall->layer, nullptr);
  for (int i = 0; i < 3; ++i) {
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, dim);
    WallOptionOf(p) = faces ? 1 : 0;
    AppendPointToObject(p, dim);
  }
  dim->subtype = kSubDimensionAttachment;
  dim->levels = 1;
  dim->pointCount = 3;
  dim->typeData = data;
  const float length = std::hypot(b->position[0] - a->position[0], b->position[2] - a->position[2]);
  data->ownerType = kSubDimensionAttachment;
  data->anchorStart = a;
  data->anchorEnd = b;
  data->startDistance = length / 2;
  data->remainingLength = length / 2;
  data->height = 77;
  data->flipHorizontal = flipped ? 1 : 0;
  AppendChildToObject(dim, wall);
  return dim;
}
