// Two small per-document lists: saved 3D views (camera and render settings copied
// from the DocState) and one opaque data block per plug-in.
#pragma once
#include <cstdint>
#include <unordered_map>
#include "model/Types.h"

constexpr int kLiveViewNameSize = 128;

// One saved 3D view; each setting is a copy of the DocState field of the same name.
struct LiveViewsList {
  LiveViewsList* prev;
  char name[kLiveViewNameSize];  // NUL-terminated; empty in a new entry
  int16_t navigationMode;
  uint8_t navigationSubMode;
  float flyPitch;
  float flyAngle;
  float walkAngle;
  FloatPoint walkPosition;
  float flyAltitude;
  float walkElevation;
  FloatPoint lookOffset;
  int32_t viewSetting13;
  int16_t cutAwayPlane;
  int32_t viewSetting5;
  uint8_t viewSetting1;
  int32_t viewSetting2;
  uint8_t topoFlag2;
  uint8_t viewSetting10;
  int16_t viewSetting4;
  int16_t viewSetting12;
  uint8_t shadowsOn;
  uint16_t viewSetting3;
  float viewSetting11;
  uint8_t sunShadows;
  float sunAngle1;
  float sunAngle2;
  int16_t sunSetting2;
  float viewSetting14;
  float viewSetting6;
  uint8_t viewSetting7;
  LiveViewsList* next;
};

// One plug-in's data block; the entry owns `data` (malloc'd, null when size is 0).
struct PlugInData {
  PlugInData* prev;
  int32_t size;
  char* data;
  int32_t plugInID;
  PlugInData* next;
};

// Saved views of the current document. Places in the list count from 1.
// Appended, unnamed, settings from the DocState; after `last` when it is the list's last entry
// (a reader adding many keeps it), else at the end found by a walk.
LiveViewsList* AddLiveViewsListEntry(LiveViewsList* last = nullptr);
int32_t CountLiveViewsList();
void DeleteLiveViewsListEntry(LiveViewsList* entry);  // only entries of the current list
void SetCurrentLiveView(int32_t index);               // restores the settings, makes its name current
LiveViewsList* GetLiveViewFromName(const char* name);
void UpdateCurrentLiveView();  // stores the DocState settings into the current view
void DeleteLiveViewsList();

// Plug-in data of the current document.
// Takes ownership of `data` (malloc'd) in every case; replaces the block of an
// existing entry with that ID or appends a new entry.
void StorePlugInData(char* data, int32_t size, int32_t plugInID);
// An empty entry, after `last` when it is the list's last entry; null on failure.
PlugInData* AppendPlugInDataToList(int32_t plugInID, PlugInData* last = nullptr);
// Stores many blocks in one pass, as StorePlugInData does each, finding entries by ID through
// an index instead of a walk of the list per block (a file may hold many).
class PlugInDataStore {
 public:
  PlugInDataStore();  // indexes the current document's entries
  void store(char* data, int32_t size, int32_t plugInID);

 private:
  std::unordered_map<int32_t, PlugInData*> byID_;
  PlugInData* last_ = nullptr;
};
void CreatePlugInDataList();                          // one empty entry per installed plug-in
void DeletePlugInDataList();
