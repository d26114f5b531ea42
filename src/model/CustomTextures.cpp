// The document's custom texture list, the process-wide custom id counter, texture
// information files and texture repeat factors.
#include "model/CustomTextures.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/DocumentModel.h"
#include "model/Palettes.h"
#include "model/TexturePaths.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"

int32_t gCurrentPhotoTextureID = kTextureCustom;

namespace {

int32_t ResolveLink(int32_t id) { return IsTextureAPalette(id) ? GetPaletteTextureID(id) : id; }

CustomTextureIDList* FindRecord(int32_t id) {
  if (!gCurDocument) return nullptr;
  for (auto* r = gCurDocument->itsCustomTextureList; r; r = r->next)
    if (r->id == id) return r;
  return nullptr;
}

// The repaired information file path of a custom id (empty when there is none to read).
std::string CustomInfoPath(int32_t id) {
  char path[kTexturePathSize] = {};
  GetCustomTextureInfoFileNameFromID(id, path, sizeof path);
  Validate512Pathname(path);
  return path[0] ? ResolvePathIgnoringCase(path) : std::string();
}

}  // namespace

namespace {
// What a texture's information file says (tile size, and for custom images whether black is
// transparent), kept by texture id until the content library or the design changes: the 3D
// road asks for the same few textures at every face it builds. A custom id's entry also keeps
// the path listed for it when it was read, and is read again when the listing has changed.
struct TextureInfo {
  int32_t width = 100, height = 100;
  uint8_t alpha = 0;
  std::string listedPath;
};
// Dropped whenever a content root is set anew: the information files may differ there.
std::unordered_map<int32_t, TextureInfo>& KnownTextureInfo() {
  static std::unordered_map<int32_t, TextureInfo> known;
  static uint64_t generation = ContentRootsGeneration();
  if (generation != ContentRootsGeneration()) {
    known.clear();
    generation = ContentRootsGeneration();
  }
  return known;
}
constexpr size_t kMostKnownTextures = 65536;

void Remember(int32_t id, const TextureInfo& info) {
  auto& known = KnownTextureInfo();
  if (known.size() >= kMostKnownTextures) known.clear();
  known[id] = info;
}

// A stock id's information (100 by 100 for a file not found).
const TextureInfo& StockInfo(int32_t id) {
  auto& known = KnownTextureInfo();
  if (auto found = known.find(id); found != known.end()) return found->second;
  char name[kTexturePathSize] = {};
  GetTextureInfoFileNameFromID(id, name, sizeof name);
  const std::string path = name[0] ? ResolvePathIgnoringCase(name) : std::string();
  TextureInfo info;
  info.width = GetPrivateProfileInt("Size", "Width", 100, path.c_str());
  info.height = GetPrivateProfileInt("Size", "Height", 100, path.c_str());
  info.alpha = 1;
  Remember(id, info);
  return KnownTextureInfo()[id];
}

// A custom id's information (no size given: -1; no file: alpha 0).
const TextureInfo& CustomInfo(int32_t id) {
  const char* listed = GetCustomTextureIDPath(id);
  const std::string listedPath = listed ? listed : "";
  auto& known = KnownTextureInfo();
  if (auto found = known.find(id); found != known.end() && found->second.listedPath == listedPath)
    return found->second;
  const std::string path = CustomInfoPath(id);
  TextureInfo info;
  info.width = GetPrivateProfileInt("Size", "Width", -1, path.c_str());
  info.height = GetPrivateProfileInt("Size", "Height", -1, path.c_str());
  info.alpha = GetPrivateProfileInt("Opacity", "Alpha", 0, path.c_str()) != 0;
  info.listedPath = listedPath;
  Remember(id, info);
  return KnownTextureInfo()[id];
}
}  // namespace

void LoadTextureWH(int32_t id, int32_t* width, int32_t* height) {
  id = ResolveLink(id);
  if (id < kTextureStockFirst || id > kTextureStockLast || !width || !height) return;
  const TextureInfo& info = StockInfo(id);
  *width = info.width;
  *height = info.height;
}

void ForgetStockTextureSizes() { KnownTextureInfo().clear(); }

void LoadCustomTextureWH(int32_t id, int32_t* width, int32_t* height) {
  id = ResolveLink(id);
  if (id < kTextureCustom || !width || !height) return;
  const TextureInfo& info = CustomInfo(id);
  *width = info.width;
  *height = info.height;
}

uint8_t LoadCustomTextureAlpha(int32_t id) {
  id = ResolveLink(id);
  if (id < kTextureCustom) return 1;
  return CustomInfo(id).alpha;
}

void ComputeTextureScale(int32_t id, float extentU, float extentV, float* scaleU, float* scaleV) {
  if (!scaleU || !scaleV) return;
  *scaleU = 1.0f;
  *scaleV = 1.0f;
  id = ResolveLink(id);
  if (!gCurDocument) return;
  DocState* ds = gCurDocument->itsDocState;
  if (id >= kTextureStockFirst && id <= kTextureStockLast) {
    if (!ds) return;
    int32_t w = 100, h = 100;
    LoadTextureWH(id, &w, &h);
    if (w == -1 && h == -1) return;
    const float su = ConvertWorldToScreen(static_cast<float>(w), ds, 0);
    const float sv = ConvertWorldToScreen(static_cast<float>(h), ds, 0);
    if (su != 0) *scaleU = extentU / su;
    if (sv != 0) *scaleV = extentV / -sv;
  } else if (id >= kTextureCustom) {
    *scaleV = -1.0f;
    if (!ds) return;
    int32_t w = -1, h = -1;
    LoadCustomTextureWH(id, &w, &h);
    if (w != -1) {
      const float su = ConvertWorldToScreen(static_cast<float>(w), ds, 0);
      if (su != 0) *scaleU = extentU / su;
    }
    if (h != -1) {
      const float sv = ConvertWorldToScreen(static_cast<float>(h), ds, 0);
      if (sv != 0) *scaleV = extentV / -sv;
    }
  }
}

void GetCustomTextureInfoFileNameFromID(int32_t id, char* path, size_t size) {
  id = ResolveLink(id);
  if (!path || size == 0 || id < kTextureCustom) return;
  const std::string folder = LocalDomainCustomTexturePath();
  std::string text = folder.empty() ? std::string() : folder + "/";
  const char* listed = GetCustomTextureIDPath(id);
  if (listed && !folder.empty()) {
    std::string rel = listed;
    if (rel.size() >= 3) rel.replace(rel.size() - 3, 3, "QTI");
    text += rel;
  }
  const size_t n = text.size() < size - 1 ? text.size() : size - 1;
  memcpy(path, text.data(), n);
  path[n] = '\0';
}

void AddCustomTextureID(int32_t id, const char* path) {
  if (!path || !gCurDocument) return;
  auto* rec = static_cast<CustomTextureIDList*>(calloc(1, sizeof(CustomTextureIDList)));
  if (!rec) return;
  rec->id = ResolveLink(id);
  const size_t len = strlen(path);
  rec->path = static_cast<char*>(calloc(len + 5, 1));
  if (rec->path) memcpy(rec->path, path, len);
  CustomTextureIDList** link = &gCurDocument->itsCustomTextureList;
  CustomTextureIDList* last = nullptr;
  while (*link) {
    last = *link;
    link = &(*link)->next;
  }
  rec->prev = last;
  *link = rec;
}

const char* GetCustomTextureIDPath(int32_t id) {
  const CustomTextureIDList* r = FindRecord(ResolveLink(id));
  return r ? r->path : nullptr;
}

int32_t IsTexturePathLoaded(const char* path) {
  if (!path || !gCurDocument) return 0;
  for (auto* r = gCurDocument->itsCustomTextureList; r; r = r->next)
    if (r->path && strcasecmp(r->path, path) == 0) return r->id;
  return 0;
}

int32_t NewCustomTextureID(char* path) {
  if (!path) return 0;
  for (char* c = path; *c; ++c)
    if (*c == '\\') *c = '/';
  if (int32_t id = IsTexturePathLoaded(path)) return id;
  const int32_t id = gCurrentPhotoTextureID++;
  AddCustomTextureID(id, path);
  return id;
}

void DeleteAllCachedCustomTextures() {
  ForgetStockTextureSizes();
  if (!gCurDocument || !gCurDocument->itsCustomTextureList) return;
  std::vector<uint32_t> ids;
  for (auto* r = gCurDocument->itsCustomTextureList; r; r = r->next) ids.push_back(static_cast<uint32_t>(r->id));
  DeleteCachedTextureImages(ids.data(), static_cast<int32_t>(ids.size()));
}

void FreeCustomTextureList(CustomTextureIDList* head) {
  while (head) {
    CustomTextureIDList* next = head->next;
    free(head->path);
    free(head);
    head = next;
  }
}

void DeleteCustomTextureList() {
  if (!gCurDocument) return;
  DeleteAllCachedCustomTextures();
  FreeCustomTextureList(gCurDocument->itsCustomTextureList);
  gCurDocument->itsCustomTextureList = nullptr;
}
