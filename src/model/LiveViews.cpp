// Saved 3D views and plug-in data blocks of the current document.
#include "model/LiveViews.h"

#include <cstdlib>
#include <cstring>

#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"

namespace {

// The 3D camera and render settings a saved view carries, in either direction.
template <typename From, typename To>
void CopyViewSettings(const From& from, To& to) {
  to.navigationMode = from.navigationMode;
  to.navigationSubMode = from.navigationSubMode;
  to.flyPitch = from.flyPitch;
  to.flyAngle = from.flyAngle;
  to.walkAngle = from.walkAngle;
  to.walkPosition = from.walkPosition;
  to.flyAltitude = from.flyAltitude;
  to.walkElevation = from.walkElevation;
  to.lookOffset = from.lookOffset;
  to.viewSetting13 = from.viewSetting13;
  to.cutAwayPlane = from.cutAwayPlane;
  to.viewSetting5 = from.viewSetting5;
  to.viewSetting1 = from.viewSetting1;
  to.viewSetting2 = from.viewSetting2;
  to.topoFlag2 = from.topoFlag2;
  to.viewSetting10 = from.viewSetting10;
  to.viewSetting4 = from.viewSetting4;
  to.viewSetting12 = from.viewSetting12;
  to.shadowsOn = from.shadowsOn;
  to.viewSetting3 = from.viewSetting3;
  to.viewSetting11 = from.viewSetting11;
  to.sunShadows = from.sunShadows;
  to.sunAngle1 = from.sunAngle1;
  to.sunAngle2 = from.sunAngle2;
  to.sunSetting2 = from.sunSetting2;
  to.viewSetting14 = from.viewSetting14;
  to.viewSetting6 = from.viewSetting6;
  to.viewSetting7 = from.viewSetting7;
}

// Both names are 128-byte fields that a file may have filled without a NUL.
bool SameViewName(const char* field, const char* name) {
  size_t len = strnlen(field, kLiveViewNameSize);
  return strnlen(name, kLiveViewNameSize + 1) == len && memcmp(field, name, len) == 0;
}

void CopyViewName(char* to, const char* from) {
  size_t len = strnlen(from, kLiveViewNameSize - 1);
  memcpy(to, from, len);
  memset(to + len, 0, kLiveViewNameSize - len);
}

// Links `entry` at the end of the list that starts at `head` and returns it: at once after
// `last` when that is the list's last entry, else after the last one found by walking.
template <typename Entry>
Entry* LinkAtEnd(Entry*& head, Entry* entry, Entry* last) {
  if (last && !last->next) {
    entry->prev = last;
    last->next = entry;
    return entry;
  }
  Entry** link = &head;
  last = nullptr;
  while (*link) {
    last = *link;
    link = &last->next;
  }
  entry->prev = last;
  *link = entry;
  return entry;
}

}  // namespace

LiveViewsList* AddLiveViewsListEntry(LiveViewsList* last) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  auto* entry = static_cast<LiveViewsList*>(calloc(1, sizeof(LiveViewsList)));
  if (!entry) return nullptr;
  CopyViewSettings(*ds, *entry);
  return LinkAtEnd(gCurDocument->itsLiveViews, entry, last);
}

int32_t CountLiveViewsList() {
  if (!gCurDocument) return 0;
  int32_t count = 0;
  for (LiveViewsList* e = gCurDocument->itsLiveViews; e; e = e->next) ++count;
  return count;
}

void DeleteLiveViewsListEntry(LiveViewsList* entry) {
  if (!entry || !gCurDocument) return;
  LiveViewsList* e = gCurDocument->itsLiveViews;
  while (e && e != entry) e = e->next;
  if (!e) return;  // not on this document's list
  if (entry->prev) entry->prev->next = entry->next;
  else gCurDocument->itsLiveViews = entry->next;
  if (entry->next) entry->next->prev = entry->prev;
  free(entry);
}

void SetCurrentLiveView(int32_t index) {
  DocState* ds = CurDocState();
  if (!ds || index < 1) return;
  LiveViewsList* e = gCurDocument->itsLiveViews;
  for (int32_t i = 1; e && i < index; ++i) e = e->next;
  if (!e) return;
  CopyViewSettings(*e, *ds);
  CopyViewName(ds->currentLiveViewName, e->name);
  gRefreshRender = 1;
}

LiveViewsList* GetLiveViewFromName(const char* name) {
  if (!name || !CurDocState()) return nullptr;
  for (LiveViewsList* e = gCurDocument->itsLiveViews; e; e = e->next)
    if (SameViewName(e->name, name)) return e;
  return nullptr;
}

void UpdateCurrentLiveView() {
  DocState* ds = CurDocState();
  if (!ds) return;
  char current[kLiveViewNameSize];
  CopyViewName(current, ds->currentLiveViewName);
  if (LiveViewsList* e = GetLiveViewFromName(current)) CopyViewSettings(*ds, *e);
}

void DeleteLiveViewsList() {
  if (!gCurDocument) return;
  LiveViewsList* e = gCurDocument->itsLiveViews;
  while (e) {
    LiveViewsList* next = e->next;
    free(e);
    e = next;
  }
  gCurDocument->itsLiveViews = nullptr;
}

PlugInDataStore::PlugInDataStore() {
  if (!gCurDocument) return;
  for (PlugInData* e = gCurDocument->itsPlugIns; e; e = e->next) {
    byID_.try_emplace(e->plugInID, e);
    last_ = e;
  }
}

void PlugInDataStore::store(char* data, int32_t size, int32_t plugInID) {
  if (!data || size <= 0) {
    free(data);
    data = nullptr;
    size = 0;
  }
  if (!gCurDocument) {
    free(data);
    return;
  }
  PlugInData* entry = nullptr;
  if (auto it = byID_.find(plugInID); it != byID_.end()) {
    entry = it->second;
    if (entry->data != data) free(entry->data);
  } else {
    entry = AppendPlugInDataToList(plugInID, last_);
    if (!entry) {
      free(data);
      return;
    }
    byID_.emplace(plugInID, entry);
    last_ = entry;
  }
  entry->data = data;
  entry->size = size;
}

void StorePlugInData(char* data, int32_t size, int32_t plugInID) {
  PlugInDataStore store;
  store.store(data, size, plugInID);
}

PlugInData* AppendPlugInDataToList(int32_t plugInID, PlugInData* last) {
  if (!gCurDocument) return nullptr;
  auto* entry = static_cast<PlugInData*>(calloc(1, sizeof(PlugInData)));
  if (!entry) return nullptr;
  entry->plugInID = plugInID;
  return LinkAtEnd(gCurDocument->itsPlugIns, entry, last);
}

void CreatePlugInDataList() {
  if (!gCurDocument) return;
  if (!gFrontEnd.addkitPluginIDs) return;
  for (int32_t id : gFrontEnd.addkitPluginIDs()) AppendPlugInDataToList(id);
}

void DeletePlugInDataList() {
  if (!gCurDocument) return;
  PlugInData* e = gCurDocument->itsPlugIns;
  while (e) {
    PlugInData* next = e->next;
    free(e->data);
    free(e);
    e = next;
  }
  gCurDocument->itsPlugIns = nullptr;
}
