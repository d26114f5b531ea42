// Landscape plants of the catalogue and of the user: the plant object with its footprint.
#include "building3d/Plants3D.h"

#include <cstdlib>
#include <cstring>

#include "building3d/RenderRoad.h"
#include "model/Bounds.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Plants.h"
#include "model/Services.h"
#include "model/Records.h"

namespace {

constexpr float kPlantWidthWithoutInfo = 200.0f;
constexpr int32_t kUserPlantNameIndex = 9;

// The plant object with its style, plan mask, age and terrain flag; not on a layer yet.
Objex* NewPlant(DocState* ds, uint8_t useCurrentStyle, Layer* layer) {
  RGBColor pen{65535, 65535, 65535}, fill{0, 0, 0};
  int16_t penStyle = 6, pattern = 0;
  float width = 1.0f;
  if (useCurrentStyle) {
    pen = ds->newPenColor;
    fill = ds->newFillColor;
    penStyle = ds->newPenStyle;
    pattern = gPattern;
    width = static_cast<float>(ds->newLineWeight);
  }
  Objex* plant = CreateObject(kObjPlant, 1, 1, &pen, &fill, width, penStyle, pattern, nullptr, nullptr, nullptr,
                              nullptr, layer, nullptr);
  if (!plant) return nullptr;
  plant->layer = nullptr;  // appended once its points exist
  plant->planMask = ds->newObjectPlanMask;
  plant->fillPattern = 0;
  plant->plantAge = ds->plantAge;
  OnTopographyOf(plant) = ds->baseElevation == 0.0f ? 1 : 0;
  return plant;
}

// The four footprint corners, each with both texture ids; false when a point is refused. The
// corners lie at height 0 of the plant: its base elevation or the terrain places it, as every
// other kind (the floor's base is in its base elevation already).
bool AddFootprint(Objex* plant, int32_t texture) {
  float w = kPlantWidthWithoutInfo, h = kPlantWidthWithoutInfo;
  GetPlantBounds(plant, &w, &h, 1);
  const float corners[4][2] = {{0, 0}, {w, 0}, {w, w}, {0, w}};
  for (const auto& c : corners) {
    Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, c[0], 0, c[1], 0, 0, 0, 0, 0, 0, plant);
    if (!p) return false;
    p->textureID[0] = p->textureID[1] = texture;
    AppendPointToObject(p, plant);
  }
  return true;
}

// Appends the finished plant, measures it and has it rendered; frees it when its footprint
// could not be made.
Objex* Finish(Objex* plant, Layer* layer, bool footprint) {
  if (!footprint) {
    DeleteObj(plant);
    return nullptr;
  }
  AppendObjectToLayer(plant, layer);
  plant->levels = 1;
  FloatRect rect{32000, 32000, -32000, -32000};
  GetObjectBounds(plant, 0, &rect, 0, 0);
  plant->bounds = rect;
  Float3DRect box{32000, 32000, 32000, -32000, -32000, -32000};
  GetObject3DBounds(plant, 0, &box, 0);
  plant->bounds3D = box;
  RenderSingleObject(plant);
  return plant;
}

}  // namespace

Objex* BuildLandscapePlant(Layer* layer, uint8_t useCurrentStyle, int32_t plantID) {
  DocState* ds = CurDocState();
  if (!layer || !ds) return nullptr;
  Objex* plant = NewPlant(ds, useCurrentStyle, layer);
  if (!plant) return nullptr;
  plant->plantInfo = CreatePlantInfo(plantID);
  return Finish(plant, layer, AddFootprint(plant, plantID));
}

Objex* BuildUserLandscapePlant(Layer* layer, uint8_t useCurrentStyle, const char* const* names, int32_t count) {
  DocState* ds = CurDocState();
  if (!layer || !ds || !names || count <= kUserPlantNameIndex || !names[kUserPlantNameIndex]) return nullptr;
  const char* name = names[kUserPlantNameIndex];
  Objex* plant = NewPlant(ds, useCurrentStyle, layer);
  if (!plant) return nullptr;
  plant->subtype = kSubUserPlant;
  plant->plantInfo = CreateUserPlantInfo(name);
  const size_t length = strlen(name);
  auto* copy = static_cast<char*>(calloc(length + 5, 1));
  if (!copy) {
    DeleteObj(plant);
    return nullptr;
  }
  memcpy(copy, name, length);
  plant->typeData = copy;
  const int32_t texture = gCurrentPhotoTextureID++;
  plant->textureID1 = plant->textureID2 = plant->textureID3 = texture;
  return Finish(plant, layer, AddFootprint(plant, texture));
}
