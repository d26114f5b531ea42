// libFuzzer target: a plant information file made of arbitrary bytes, read as the stock and
// the user plant readers read it, then a plant of that record grown and measured.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "model/Plants.h"
#include "model/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  (void)open;
  const std::string written = fuzz::WriteInput("Plant.qti", data, size);
  const std::string image = written.substr(0, written.size() - 3) + "QTX";
  // A file written just now is read afresh, never answered from what an earlier input left.
  const size_t parsed = PlantInfoFileParses();
  PlantInfo* info = CreateUserPlantInfo(image.c_str());
  if (!info || PlantInfoFileParses() == parsed) abort();
  if (!memchr(info->commonName, 0, sizeof info->commonName) || !memchr(info->botanicalName, 0, 64)) abort();
  if (info->maximumGrowthHeight <= 0) abort();
  for (uint8_t z : info->zone) (void)z;
  Objex plant{};
  plant.type = kObjPlant;
  plant.subtype = kSubUserPlant;
  plant.plantInfo = info;
  plant.plantAge = size ? static_cast<float>(data[0]) : 1.0f;
  plant.fillPattern = size > 1 ? static_cast<int16_t>(data[1] % 21) : 0;
  float width = 0, height = 0;
  GetPlantBounds(&plant, &width, &height, 0);
  if (!std::isfinite(width) || !std::isfinite(height)) abort();
  PlantInfo* copy = DuplicatePlantInfo(info);
  if (!copy || std::memcmp(copy, info, sizeof(PlantInfo)) != 0) abort();
  DeletePlantInfo(copy);
  DeletePlantInfo(info);
  return 0;
}
