// The fixed table of stock texture id ranges and the file names built from it.
#include "model/TextureIDs.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/ContentPaths.h"

namespace {

struct TextureRange {
  int32_t first, last;
  const char* folder;
  const char* prefix;
  bool sharedInfo;  // information file under the shared texture folder
};

// Closed intervals, first match wins; they do not overlap.
constexpr TextureRange kRanges[] = {
    {300, 326, "SHRUBS", "SHRUB", false},
    {400, 425, "ANNUALS", "ANNUAL", false},
    {500, 551, "TREES", "TREE", false},
    {800, 822, "BLOCK", "BLOCK", false},
    {850, 915, "BRICK", "BRICK", false},
    {950, 955, "CONCRETE", "CONCRE", false},
    {1000, 1040, "FABRICS", "FABRIC", false},
    {1100, 1129, "FILLS", "FILL", false},
    {1150, 1170, "GROUND", "GROUND", false},
    {1200, 1215, "PAVERS", "PAVER", false},
    {1250, 1285, "ROOFING", "ROOF", false},
    {1300, 1347, "SIDING", "SIDING", false},
    {1350, 1391, "STONE", "STONE", false},
    {1400, 1408, "STUCCO", "STUCCO", false},
    {1450, 1481, "TILE", "TILE", false},
    {1500, 1519, "WOOD", "WOOD", false},
    {1525, 1542, "DECK", "DECK", false},
    {1550, 1551, "SKY", "SKY", false},
    {1600, 1630, "WALLCVRS", "COVER", false},
    {1700, 1834, "FABRICS", "FABRIC", false},
    {1900, 1955, "CARPET", "CARPET", false},
    {2000, 2014, "GRAVEL", "GRAVEL", false},
    {2050, 2151, "TILE", "TILE", false},
    {2200, 2247, "WOOD", "WOOD", false},
    {2300, 2344, "DECK", "DECK", false},
    {3000, 3230, "SHRUBS", "SHRUB", true},
    {3300, 3371, "ANNUALS", "ANNUAL", true},
    {3400, 3550, "TREES", "TREE", true},
    {3600, 3609, "BULBS", "BULB", true},
    {3650, 3659, "CACTI", "CACTI", true},
    {3700, 3733, "GROUNDCOVER", "GRDCVR", true},
    {3750, 3759, "HEDGES", "HEDGE", true},
    {3800, 3809, "GRASSES", "ORNAM", true},
    {3850, 3952, "PERENNIALS", "PEREN", true},
    {4000, 4034, "TROPICALS", "TROP", true},
    {4050, 4066, "WILDFLOWERS", "WILDF", true},
    {5000, 5681, "SHRUBS", "SHRUB", true},
    {6000, 6213, "ANNUALS", "ANNUAL", true},
    {7000, 7460, "TREES", "TREE", true},
    {7461, 7474, "TREES", "ZELKO", true},
    {8000, 8082, "BULBS", "BULB", true},
    {9000, 9085, "CACTI", "CACTI", true},
    {10000, 10055, "HEDGES", "HEDGE", true},
    {11000, 11098, "GRASSES", "ORNAM", true},
    {12000, 12504, "PERENNIALS", "PEREN", true},
    {13000, 13022, "EDIBLES", "EDIBLES", true},
    {14000, 14005, "LIGHT", "LIGHT", false},
};

// Wire-frame images: the image of each wire-frame id and the plant ranges drawn with it.
struct WirePlant {
  int32_t id;
  const char* image;
  int32_t ranges[3][2];
};

constexpr WirePlant kWirePlants[] = {
    {14060, "WIREPLANTS/WireTree.qtx", {{500, 551}, {3400, 3550}, {7000, 7474}}},
    {14061, "WIREPLANTS/WireShrub.qtx", {{300, 326}, {3000, 3230}, {5000, 5681}}},
    {14062, "WIREPLANTS/WireAnnual.qtx", {{400, 425}, {3300, 3371}, {6000, 6213}}},
    {14063, "WIREPLANTS/WireBulb.qtx", {{3600, 3609}, {8000, 8082}, {0, -1}}},
    {14064, "WIREPLANTS/WireCacti.qtx", {{3650, 3659}, {9000, 9085}, {0, -1}}},
    {14065, "WIREPLANTS/WireGroundCover.qtx", {{3700, 3733}, {0, -1}, {0, -1}}},
    {14066, "WIREPLANTS/WireHedge.qtx", {{3750, 3759}, {10000, 10055}, {0, -1}}},
    {14067, "WIREPLANTS/WireGrasses.qtx", {{3800, 3809}, {11000, 11098}, {0, -1}}},
    {14068, "WIREPLANTS/WirePerennial.qtx", {{3850, 3952}, {12000, 12504}, {0, -1}}},
    {14069, "WIREPLANTS/WireTropical.qtx", {{4000, 4034}, {0, -1}, {0, -1}}},
    {14070, "WIREPLANTS/WireWildFlower.qtx", {{4050, 4066}, {0, -1}, {0, -1}}},
    {14071, "WIREPLANTS/WireEdible.qtx", {{13000, 13022}, {0, -1}, {0, -1}}},
};

bool IsStockID(int32_t id) { return id >= kTextureStockFirst && id <= kTextureStockLast; }

const TextureRange* FindRange(int32_t id) {
  for (const auto& r : kRanges)
    if (id >= r.first && id <= r.last) return &r;
  return nullptr;
}

void CopyOut(const std::string& text, char* out, size_t size) {
  if (!out || size == 0) return;
  std::string s = text;
  for (char& c : s)
    if (c == '\\') c = '/';
  size_t n = s.size() < size - 1 ? s.size() : size - 1;
  memcpy(out, s.data(), n);
  out[n] = '\0';
}

}  // namespace

std::string StockTextureRelativeName(int32_t id, const char* extension, bool withWire) {
  switch (id) {
    case kTextureSky: return std::string("SKY/SKY1.") + extension;
    case kTextureGround: return std::string("GROUND/GROUND1.") + extension;
    case kTextureWood: return std::string("WOOD/WOOD1.") + extension;
    default: break;
  }
  if (id >= kTextureWirePlants && id <= kTextureWirePlants + 11)
    return withWire ? kWirePlants[id - kTextureWirePlants].image : std::string();
  const TextureRange* r = FindRange(id);
  if (!r) return {};
  char buf[64];
  snprintf(buf, sizeof buf, "%s/%s%ld.%s", r->folder, r->prefix, static_cast<long>(id - r->first + 1), extension);
  return buf;
}

std::string TextureInfoFileNameInFolders(int32_t id, const std::string& stockFolder, const std::string& sharedFolder) {
  const bool shared = id >= 3000 && id <= 13023;
  const std::string& folder = shared ? sharedFolder : stockFolder;
  if (folder.empty()) return {};
  return folder + "/" + StockTextureRelativeName(id, "QTI", false);
}

void GetTextureFileNameFromID(int32_t id, char* name, size_t size) {
  if (!name || !IsStockID(id)) return;
  CopyOut(StockTextureRelativeName(id, "QTX", true), name, size);
}

void GetTextureInfoFileNameFromID(int32_t id, char* path, size_t size) {
  if (!path || !IsStockID(id)) return;
  CopyOut(TextureInfoFileNameInFolders(id, LocalDomainTexturePath(), LocalDomainUserSharedTexturePath()), path, size);
}

int32_t GetWireFramePlantTextureIDNameFromID(int32_t id) {
  if (!IsStockID(id)) return 0;
  for (const auto& w : kWirePlants)
    for (const auto& r : w.ranges)
      if (id >= r[0] && id <= r[1]) return w.id;
  return kTextureWirePlants;
}
