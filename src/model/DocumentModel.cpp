// The document model: the current-document pointer, the fresh design, emptying,
// document ids and the removal of a document's undo files.
#include "model/DocumentModel.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <random>
#include <unistd.h>
#include <utility>

#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"
#include "model/Records.h"
#include "platform/FileIO.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"

ZLKDocumentModel* gCurDocument = nullptr;
char gCurrentTraceImageSourcePath[512] = {};

DocState* CurDocState() { return gCurDocument ? gCurDocument->itsDocState : nullptr; }

void ReleaseModelContents(ZLKDocumentModel* model) {
  if (!model) return;
  NoteDesignEdit();
  CurrentDocumentScope scope(model);
  while (Layer* l = model->itsLayers) {
    model->itsLayers = l->next;
    DeleteLayerObjects(l);
    FreeLayer(l);
  }
  model->itsCurLayer = model->itsCur2DLayer = nullptr;
  if (model->itsTopoLayer) {
    DeleteLayerObjects(model->itsTopoLayer);
    FreeLayer(model->itsTopoLayer);
    model->itsTopoLayer = nullptr;
  }
  DeletePlugInDataList();
  DeleteLiveViewsList();
  FreeDocPaletteChain(model->itsPaletteList);
  model->itsPaletteList = nullptr;
  FreeCustomTextureList(model->itsCustomTextureList);
  model->itsCustomTextureList = nullptr;
  free(model->itsDocState);
  model->itsDocState = nullptr;
}

// ---- Document ids ----

namespace {

constexpr uint32_t kDocIDMask = 0xFFFFFF;
// Draws from the source before stepping to the next free id instead.
constexpr int kMaxDraws = 64;

std::vector<ZLKDocumentModel*>& OpenModels() {
  static std::vector<ZLKDocumentModel*> models;
  return models;
}

std::function<uint32_t()>& IDSource() {
  static std::function<uint32_t()> source;
  return source;
}

uint32_t DefaultDraw() {
  static std::minstd_rand generator(static_cast<uint32_t>(time(nullptr)));
  return static_cast<uint32_t>(generator());
}

bool UndoFilesExistFor(int32_t docID);

// Taken by an open document of this or another running copy, or by undo files that are
// still there (leftovers that could not be removed are not taken over either).
bool IDInUse(int32_t id) { return UndoFilesOwnedByRunningCopy(id) || UndoFilesExistFor(id); }

}  // namespace

const std::vector<ZLKDocumentModel*>& OpenDocumentModels() { return OpenModels(); }

void SetDocumentIDSource(std::function<uint32_t()> source) { IDSource() = std::move(source); }

int32_t DrawDocumentID() {
  int32_t id = 0;
  for (int draw = 0; draw < kMaxDraws; ++draw) {
    id = static_cast<int32_t>((IDSource() ? IDSource()() : DefaultDraw()) & kDocIDMask);
    if (!IDInUse(id)) return id;
  }
  // The source keeps answering ids in use: take the next free one after the last draw.
  for (uint32_t step = 0; step <= kDocIDMask && IDInUse(id); ++step)
    id = static_cast<int32_t>((static_cast<uint32_t>(id) + 1) & kDocIDMask);
  return id;
}

// ---- Making and releasing ----

ZLKDocumentModel* ZLKDocumentModel::alloc() {
  auto* model = new (std::nothrow) ZLKDocumentModel;
  if (!model) return nullptr;
  model->claimDocumentID();
  OpenModels().push_back(model);
  return model;
}

void ZLKDocumentModel::claimDocumentID() {
  itsDocID = DrawDocumentID();
  if (!CreateApplicationTemporaryFolder()) return;
  // Another copy may have taken the same id since it was drawn: draw again.
  for (int attempt = 0; attempt < 8; ++attempt) {
    itsOwnershipLock = HoldOwnershipLock(UndoLockPathFor(itsDocID));
    if (itsOwnershipLock >= 0 || !IsHeldByRunningCopy(UndoLockPathFor(itsDocID))) break;
    itsDocID = DrawDocumentID();
  }
}

void ZLKDocumentModel::giveUpDocumentID() {
  sanitizeUndoFiles();
  DropOwnershipLock(itsOwnershipLock, UndoLockPathFor(itsDocID));
  itsOwnershipLock = -1;
}

void ZLKDocumentModel::release(ZLKDocumentModel* model) {
  if (!model) return;
  model->deleteContents();
  model->giveUpDocumentID();
  auto& open = OpenModels();
  open.erase(std::remove(open.begin(), open.end(), model), open.end());
  if (gCurDocument == model) gCurDocument = nullptr;
  delete model;
}

bool ZLKDocumentModel::buildFreshState() {
  CurrentDocumentScope scope(this);
  static const struct {
    const char* name;
    uint8_t selectable;
  } kFloors[3] = {{"First Floor", 1}, {"Second Floor", 0}, {"Third Floor", 0}};
  for (const auto& floor : kFloors) {
    Layer* layer = CreateLayer(floor.name, 1, floor.selectable, nullptr);
    if (!layer) return false;
    AppendLayerToDocument(layer);
  }
  itsCurLayer = itsLayers;
  itsCur2DLayer = nullptr;
  itsTopoLayer = nullptr;
  itsDocState = CreateDocState();
  if (!itsDocState) return false;
  if (DocPaletteList* palette = AddNewDocPaletteList()) palette->active = 1;
  gCurrentTraceImageSourcePath[0] = 0;
  InitializeVisiblePlansFromToolsetOptions();
  itsVRVisible = 0;
  itsVRStartPt = FloatPoint{-144.0f, 0.0f};
  itsVREndPt = FloatPoint{144.0f, 0.0f};
  itsMaximumPlantAge = 23;
  CreatePlugInDataList();
  if (itsDocState->measureSystem == kMeasureMetric) SetDocStateMetricDefaults(itsDocState);
  return true;
}

void ZLKDocumentModel::deleteContents() {
  deletePlugInDataList();
  deleteCustomTextureList();
  deleteLiveViewList();
  deleteAllDocPalettes();
  deleteDocumentElements();
}

void ZLKDocumentModel::swapDesignWith(ZLKDocumentModel& other) {
  std::swap(itsLayers, other.itsLayers);
  std::swap(itsCurLayer, other.itsCurLayer);
  std::swap(itsCur2DLayer, other.itsCur2DLayer);
  std::swap(itsTopoLayer, other.itsTopoLayer);
  std::swap(itsDocState, other.itsDocState);
  std::swap(itsPlugIns, other.itsPlugIns);
  std::swap(itsCustomTextureList, other.itsCustomTextureList);
  std::swap(itsLiveViews, other.itsLiveViews);
  std::swap(itsPaletteList, other.itsPaletteList);
  std::swap(itsVRVisible, other.itsVRVisible);
  std::swap(itsVRStartPt, other.itsVRStartPt);
  std::swap(itsVREndPt, other.itsVREndPt);
  std::swap(itsMaximumPlantAge, other.itsMaximumPlantAge);
}

// ---- Emptying ----

void ZLKDocumentModel::deletePlugInDataList() {
  CurrentDocumentScope scope(this);
  DeletePlugInDataList();
}

void ZLKDocumentModel::deleteCustomTextureList() {
  CurrentDocumentScope scope(this);
  DeleteCustomTextureList();
}

void ZLKDocumentModel::deleteAllCachedCustomTextures() {
  CurrentDocumentScope scope(this);
  DeleteAllCachedCustomTextures();
}

void ZLKDocumentModel::deleteLiveViewList() {
  CurrentDocumentScope scope(this);
  DeleteLiveViewsList();
}

void ZLKDocumentModel::deleteAllDocPalettes() {
  CurrentDocumentScope scope(this);
  DeleteAllDocPalettes();
}

void ZLKDocumentModel::deleteDocPalette(DocPaletteList* palette) {
  if (!palette) return;
  CurrentDocumentScope scope(this);
  DeleteDocPalette(palette);
}

void ZLKDocumentModel::deleteDocumentElements() {
  CurrentDocumentScope scope(this);
  while (Layer* layer = itsLayers) {
    itsLayers = layer->next;
    if (itsLayers) itsLayers->prev = nullptr;
    if (itsCur2DLayer == layer) itsCur2DLayer = nullptr;
    DeleteLayerObjects(layer);
    FreeLayer(layer);
  }
  itsCurLayer = nullptr;
  itsCur2DLayer = nullptr;
  if (itsTopoLayer) {
    DeleteLayerObjects(itsTopoLayer);
    FreeLayer(itsTopoLayer);
    itsTopoLayer = nullptr;
  }
  free(itsDocState);
  itsDocState = nullptr;
}

// ---- Undo files ----

std::string UndoFilePrefixFor(int32_t docID) {
  return "com.zelkoworks.casavelt_1100_" + std::to_string(SessionID()) + "_" + std::to_string(docID);
}

std::string ZLKDocumentModel::undoFilePrefix() const { return UndoFilePrefixFor(itsDocID); }

std::string UndoLockPathFor(int32_t docID) {
  return ApplicationTemporaryPath() + "/" + UndoFilePrefixFor(docID) + ".lock";
}

bool UndoFilesOwnedByRunningCopy(int32_t docID) {
  for (const ZLKDocumentModel* m : OpenModels())
    if (m->itsDocID == docID) return true;
  return IsHeldByRunningCopy(UndoLockPathFor(docID));
}

int RemoveAbandonedUndoFiles() {
  const std::string folder = ApplicationTemporaryPath();
  DIR* dir = opendir(folder.c_str());
  if (!dir) return 0;
  // "<session prefix><id>_<slot>.dat" and "<session prefix><id>.lock", and what a snapshot
  // write that never ended leaves: ".<session prefix><id>_<slot>.dat.<8 letters or digits>.tmp".
  const std::string session = "com.zelkoworks.casavelt_1100_" + std::to_string(SessionID()) + "_";
  struct Found {
    std::string name;
    int32_t id;
    bool temporary;
  };
  std::vector<Found> found;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    const bool temporary = !name.empty() && name[0] == '.';
    if (temporary) {
      constexpr size_t kRandom = 8;
      const size_t tail = 1 + kRandom + 4;  // ".XXXXXXXX.tmp"
      if (name.size() <= 1 + tail || name.compare(name.size() - 4, 4, ".tmp") != 0 || name[name.size() - tail] != '.')
        continue;
      bool random = true;
      for (size_t i = name.size() - tail + 1; i < name.size() - 4; ++i)
        random = random && ((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'z'));
      if (!random) continue;
      name = name.substr(1, name.size() - 1 - tail);  // the snapshot it was to become
    }
    if (name.compare(0, session.size(), session) != 0) continue;
    size_t at = session.size(), digits = 0;
    int64_t id = 0;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && digits < 9) {
      id = id * 10 + (name[at++] - '0');
      ++digits;
    }
    if (digits == 0 || id > 0xFFFFFF) continue;
    const std::string rest = name.substr(at);
    bool ours = rest == ".lock" && !temporary;
    if (!ours && rest.size() > 5 && rest[0] == '_' && rest.compare(rest.size() - 4, 4, ".dat") == 0) {
      ours = true;
      for (size_t i = 1; i < rest.size() - 4; ++i)
        if (rest[i] < '0' || rest[i] > '9') ours = false;
    }
    if (ours) found.push_back({temporary ? std::string(entry->d_name) : name, static_cast<int32_t>(id), temporary});
  }
  int removed = 0;
  for (const Found& f : found) {
    if (UndoFilesOwnedByRunningCopy(f.id)) continue;
    if (!f.temporary) {
      if (unlinkat(dirfd(dir), f.name.c_str(), 0) == 0) ++removed;
      continue;
    }
    // Through the writer's own tidying, which takes only the user's regular files and none
    // that a running write still holds.
    const size_t tail = 1 + 8 + 4;
    removed += RemoveAbandonedSaveFiles(folder + "/" + f.name.substr(1, f.name.size() - 1 - tail));
  }
  closedir(dir);
  return removed;
}

namespace {
// "<prefix>_<slot>.dat" with a slot of digits only, so that document 12 never takes the
// files of document 123.
bool IsUndoFileOf(const std::string& name, const std::string& prefix) {
  const std::string head = prefix + "_", tail = ".dat";
  if (name.size() <= head.size() + tail.size()) return false;
  if (name.compare(0, head.size(), head) != 0) return false;
  if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  for (size_t i = head.size(); i < name.size() - tail.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return true;
}
}  // namespace

namespace {
bool UndoFilesExistFor(int32_t docID) {
  DIR* dir = opendir(ApplicationTemporaryPath().c_str());
  if (!dir) return false;
  const std::string prefix = UndoFilePrefixFor(docID);
  bool found = false;
  while (dirent* entry = readdir(dir))
    if (IsUndoFileOf(entry->d_name, prefix)) {
      found = true;
      break;
    }
  closedir(dir);
  return found;
}
}  // namespace

void ZLKDocumentModel::sanitizeUndoFiles() {
  DIR* dir = opendir(ApplicationTemporaryPath().c_str());
  if (!dir) return;
  const std::string prefix = undoFilePrefix();
  std::vector<std::string> doomed;
  while (dirent* entry = readdir(dir))
    if (IsUndoFileOf(entry->d_name, prefix)) doomed.push_back(entry->d_name);
  for (const std::string& name : doomed) unlinkat(dirfd(dir), name.c_str(), 0);  // failures skipped
  closedir(dir);
}
