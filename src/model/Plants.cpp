// Plant records read from plant information files, and plant growth.
#include "model/Plants.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <time.h>

#include <mutex>
#include <unordered_map>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/ObjectTransforms.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TexturePaths.h"
#include "model/TextureIDs.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"

namespace {

constexpr const char* kSection = "Description";
// The names are read into a buffer of this size: at most 59 characters are kept.
constexpr uint32_t kNameReadSize = 60;
// Growth steps beyond this give the same (capped or overflowing) height; the loop stays bounded.
constexpr long kMaxGrowthSteps = 4096;

bool HaveDocument() { return gCurDocument && gCurDocument->itsDocState; }

// What one information file gives a record: the names it holds (a name it lacks, or gives as
// "Done", leaves the record's own) and every number, its defaults applied.
struct FileValues {
  PlantInfo numbers{};
  char commonName[kNameReadSize] = {};
  char botanicalName[kNameReadSize] = {};
  bool hasCommonName = false, hasBotanicalName = false;
};

bool ReadName(const IniSectionText& file, const char* key, char (&name)[kNameReadSize]) {
  file.GetString(key, "Done", name, sizeof name);
  return std::strcmp(name, "Done") != 0;
}

FileValues ParseFile(const std::string& resolved, bool user) {
  IniSectionText file;
  if (!resolved.empty()) file.Load(resolved.c_str(), kSection, kMaxPlantInfoFileBytes);
  FileValues v;
  v.hasCommonName = ReadName(file, "CommonName", v.commonName);
  v.hasBotanicalName = ReadName(file, "BotanicalName", v.botanicalName);
  PlantInfo& info = v.numbers;
  info.type = static_cast<int16_t>(file.GetInt("Type", 0));
  info.propagation = static_cast<int16_t>(file.GetInt("Propagation", 0));
  info.water = static_cast<int16_t>(file.GetInt("Water", 0));
  info.sunLight = static_cast<int16_t>(file.GetInt("SunLight", 0));
  info.maximumGrowthHeight = static_cast<int16_t>(file.GetInt("MaximumGrowthHeight", 0));
  info.soilType = static_cast<int16_t>(file.GetInt("SoilType", 0));
  char key[8];
  for (int i = 0; i < 10; ++i) {
    std::snprintf(key, sizeof key, "Zone%d", i + 1);
    info.zone[i] = static_cast<uint8_t>(file.GetInt(key, 0) & 0xFF);
  }
  const int32_t rate = file.GetInt("AnnualGrowthRate", user ? 20 : 0);
  info.annualGrowthRate = static_cast<float>(static_cast<int16_t>(rate));
  if (info.maximumGrowthHeight <= 0)
    info.maximumGrowthHeight = user ? kUserPlantDefaultMaxHeight : kStockPlantDefaultMaxHeight;
  return v;
}

// A design holds many plants of few kinds, and opening it or restoring an undo step fills each
// plant's record: each file is parsed once and kept while it stays as it was (same file, size,
// modification time and change time). The modification time alone does not tell: a copier
// that keeps times, or `touch -r`, sets it back on other contents, and a file deleted and
// written anew may get the freed inode number back at once. The change time moves with every
// write, rename and time setting, and no user can set it. A missing or unreadable file is not
// kept: it is looked for again. Nor is a file changed less than kSettleSeconds before it was
// read: a file system stamps times in steps (of up to two seconds), and a second change within
// the step of the first would leave the same times on other contents.
constexpr int64_t kSettleSeconds = 3;
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t seconds = 0, nanoseconds = 0;              // modified
  int64_t changeSeconds = 0, changeNanoseconds = 0;  // changed (contents, name or times)
  bool operator==(const FileIdentity&) const = default;
  int64_t lastChangeSeconds() const { return seconds > changeSeconds ? seconds : changeSeconds; }
};

bool IdentityOf(const std::string& path, FileIdentity* id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  *id = {st.st_dev,
         st.st_ino,
         st.st_size,
         static_cast<int64_t>(st.st_mtim.tv_sec),
         static_cast<int64_t>(st.st_mtim.tv_nsec),
         static_cast<int64_t>(st.st_ctim.tv_sec),
         static_cast<int64_t>(st.st_ctim.tv_nsec)};
  return true;
}

struct KeptFile {
  FileIdentity identity;
  FileValues values;
};

// Plenty for every plant kind a design shows; past it the kept files are dropped and read
// again as they are met.
constexpr size_t kMaxKeptPlantFiles = 4096;
std::mutex sKeptMutex;
std::unordered_map<std::string, KeptFile> sKeptFiles;  // by resolved path, then "\n" and user/stock
size_t sPlantFileParses = 0;

FileValues ValuesOfFile(const std::string& path, bool user) {
  if (path.empty()) return ParseFile(path, user);
  // A file found under its own name is the one the resolution would find: one look-up less.
  FileIdentity before;
  const bool found = IdentityOf(path, &before);
  const std::string resolved = found ? path : ResolvePathIgnoringCase(path);
  if (!found && !IdentityOf(resolved, &before)) {
    {
      std::lock_guard<std::mutex> lock(sKeptMutex);
      ++sPlantFileParses;
    }
    return ParseFile(resolved, user);
  }
  std::string key = resolved;
  key += user ? "\nu" : "\ns";
  {
    std::lock_guard<std::mutex> lock(sKeptMutex);
    const auto it = sKeptFiles.find(key);
    if (it != sKeptFiles.end() && it->second.identity == before) return it->second.values;
    ++sPlantFileParses;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  FileValues values = ParseFile(resolved, user);
  // Kept only when the file had settled before it was read and did not change while it was.
  FileIdentity after;
  if (before.lastChangeSeconds() > static_cast<int64_t>(now.tv_sec) - kSettleSeconds) return values;
  if (!IdentityOf(resolved, &after) || !(after == before)) return values;
  std::lock_guard<std::mutex> lock(sKeptMutex);
  if (sKeptFiles.size() >= kMaxKeptPlantFiles && !sKeptFiles.count(key)) sKeptFiles.clear();
  sKeptFiles[key] = KeptFile{after, values};
  return values;
}

void CopyName(const char (&name)[kNameReadSize], char (&field)[64]) {
  std::memcpy(field, name, std::strlen(name) + 1);
}

// Fills the record from the file at `path` (a missing, foreign or oversized file reads as one
// without keys); the defaults differ between user and stock plants.
void FillFromFile(PlantInfo* info, const std::string& path, bool user) {
  const FileValues v = ValuesOfFile(path, user);
  if (v.hasCommonName) CopyName(v.commonName, info->commonName);
  if (v.hasBotanicalName) CopyName(v.botanicalName, info->botanicalName);
  info->type = v.numbers.type;
  info->propagation = v.numbers.propagation;
  info->water = v.numbers.water;
  info->sunLight = v.numbers.sunLight;
  info->maximumGrowthHeight = v.numbers.maximumGrowthHeight;
  info->soilType = v.numbers.soilType;
  std::memcpy(info->zone, v.numbers.zone, sizeof info->zone);
  info->annualGrowthRate = v.numbers.annualGrowthRate;
}

PlantInfo* NewRecord() { return static_cast<PlantInfo*>(std::calloc(1, sizeof(PlantInfo))); }

int32_t FirstTextureID(const Objex* plant) { return plant->firstPoint ? plant->firstPoint->textureID[0] : 0; }

}  // namespace

std::string UserPlantInfoPath(const char* imagePath) {
  if (!imagePath) return {};
  std::string path(imagePath);
  if (path.size() > 3) path.resize(path.size() - 3);
  path += "qti";
  return path;
}

void InitializePlantInfo(PlantInfo* info, int32_t textureID) {
  if (!info || !HaveDocument() || textureID < 1 || textureID > 14999) return;
  char path[kTexturePathSize] = {};
  GetTextureInfoFileNameFromID(textureID, path, sizeof path);
  FillFromFile(info, path, false);
}

std::string FoundUserPlantInfoPath(const char* imagePath) {
  if (!imagePath) return {};
  std::string path = UserPlantInfoPath(imagePath);
  // A path that fits the content finder's buffer may be found again under the content folder;
  // a longer one is used as it is.
  if (path.size() < 512) {
    char buffer[512] = {};
    std::memcpy(buffer, path.c_str(), path.size());
    Validate512Pathname(buffer);
    buffer[511] = '\0';
    path = buffer;
  }
  return path;
}

std::string PlantInfoFilePath(const Objex* plant) {
  if (!plant || plant->type != kObjPlant) return {};
  if (plant->subtype == kSubUserPlant) return FoundUserPlantInfoPath(static_cast<const char*>(plant->typeData));
  const int32_t id = FirstTextureID(plant);
  if (id < 1 || id > 14999) return {};
  char path[kTexturePathSize] = {};
  GetTextureInfoFileNameFromID(id, path, sizeof path);
  return path;
}

void RefillPlantInfo(Objex* plant) {
  if (!plant || plant->type != kObjPlant || !plant->plantInfo) return;
  if (plant->subtype == kSubUserPlant) InitializeUserPlantInfo(plant->plantInfo, static_cast<const char*>(plant->typeData));
  else InitializePlantInfo(plant->plantInfo, FirstTextureID(plant));
}

void InitializeUserPlantInfo(PlantInfo* info, const char* imagePath) {
  if (!info || !imagePath || !HaveDocument()) return;
  FillFromFile(info, FoundUserPlantInfoPath(imagePath), true);
}

PlantInfo* CreatePlantInfo(int32_t textureID) {
  PlantInfo* info = NewRecord();
  InitializePlantInfo(info, textureID);
  return info;
}

PlantInfo* CreateUserPlantInfo(const char* imagePath) {
  if (!imagePath) return nullptr;
  PlantInfo* info = NewRecord();
  InitializeUserPlantInfo(info, imagePath);
  return info;
}

PlantInfo* DuplicatePlantInfo(const PlantInfo* info) {
  if (!info) return nullptr;
  PlantInfo* copy = NewRecord();
  if (copy) std::memcpy(copy, info, sizeof(PlantInfo));
  return copy;
}

void DeletePlantInfo(PlantInfo* info) { std::free(info); }

void GetPlantBounds(Objex* plant, float* outWidth, float* outHeight, int resize) {
  if (!plant || !outWidth || !outHeight || !HaveDocument() || plant->type != kObjPlant || !plant->plantInfo) return;
  const DocState* ds = gCurDocument->itsDocState;
  const PlantInfo* info = plant->plantInfo;
  float age = plant->plantAge;
  if (plant->fillPattern != 0) age += static_cast<float>(static_cast<int32_t>(plant->fillPattern) + 3);
  const double rounded = static_cast<double>(age) + 0.5;
  long n = 0;
  if (std::isfinite(rounded)) n = rounded >= kMaxGrowthSteps ? kMaxGrowthSteps : static_cast<long>(rounded);
  float factor = static_cast<float>(1.0 + static_cast<double>(info->annualGrowthRate) / 100.0);
  // A rate of -100% or less would give a plant of no or negative size: such a plant does not grow.
  if (!(factor > 0.0f)) factor = 1.0f;
  float height = 12.0f;
  for (long i = 0; i < n; ++i) height *= factor;
  // A zeroed record (no document when it was read) caps as the readers' defaults.
  int16_t most = info->maximumGrowthHeight;
  if (most <= 0) most = plant->subtype == kSubUserPlant ? kUserPlantDefaultMaxHeight : kStockPlantDefaultMaxHeight;
  const float cap = ConvertWorldToScreen(static_cast<float>(most), ds, 0);
  if (cap < height || !std::isfinite(height)) height = cap;
  const float width = static_cast<float>(static_cast<double>(height) * 0.85);
  *outHeight = height;
  *outWidth = width;
  if (!resize) return;
  const Float3DRect& box = plant->bounds3D;
  const float stored = box.floatRight - box.floatLeft;
  // A plant whose footprint has no width yet (being built) cannot be scaled to a width.
  if (!std::isfinite(stored) || stored == 0.0f) return;
  const float sx = width / stored;
  if (!std::isfinite(sx)) return;
  // Rebuilding the plant below asks for its size again (its 3D builder sizes the billboard with
  // a resize): that inner call only measures, or the two would call each other without end.
  static const Objex* sResizing = nullptr;
  if (sResizing == plant) return;
  struct Resizing {
    const Objex* previous = sResizing;
    explicit Resizing(const Objex* p) { sResizing = p; }
    ~Resizing() { sResizing = previous; }
  } resizing(plant);
  SelectObj(plant, kSelectOn, 0);
  TransformInfo xform{};
  xform.scale[0] = sx;
  xform.scale[1] = 1.0f;
  xform.scale[2] = sx;
  xform.centre[0] = (box.floatLeft + box.floatRight) / 2;
  xform.centre[1] = 0;
  xform.centre[2] = (box.floatBack + box.floatFront) / 2;
  ScaleObject(plant, &xform);
  ReRenderObject(plant);
}

void UpdateMatchingPlantsInfo(int32_t textureID, const char* userImagePath) {
  if (!HaveDocument()) return;
  char stockPath[kTexturePathSize] = {};
  GetTextureInfoFileNameFromID(textureID, stockPath, sizeof stockPath);
  for (Layer* layer = gCurDocument->itsLayers; layer; layer = layer->next) {
    for (Objex* obj = layer->firstObject; obj; obj = obj->next) {
      if (obj->type != kObjPlant) continue;
      const char* path = static_cast<const char*>(obj->typeData);
      if (obj->subtype == kSubUserPlant && userImagePath && path) {
        if (strcasecmp(path, userImagePath) != 0) continue;
        InitializeUserPlantInfo(obj->plantInfo, path);
      } else {
        if (FirstTextureID(obj) != textureID) continue;
        // Matching stock plants are re-read through the user reader: the stock file under its
        // "qti" name, with the user defaults for missing keys. An id without a stock file
        // reads as a file without keys.
        if (stockPath[0]) InitializeUserPlantInfo(obj->plantInfo, stockPath);
        else if (obj->plantInfo) FillFromFile(obj->plantInfo, std::string(), true);
      }
      float width = 0, height = 0;
      GetPlantBounds(obj, &width, &height, 1);
      SelectObj(obj, kSelectOff, 0);
      ReRenderObject(obj);
    }
  }
}

size_t PlantInfoFileParses() {
  std::lock_guard<std::mutex> lock(sKeptMutex);
  return sPlantFileParses;
}
