// Two small per-document lists: saved 3D views (camera and render settings copied
// from the DocState) and one opaque data block per plug-in.
#pragma once
#include <cstdint>
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
LiveViewsList* AddLiveViewsListEntry();  // appended, unnamed, settings from the DocState
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
PlugInData* AppendPlugInDataToList(int32_t plugInID);  // empty entry; null on failure
void CreatePlugInDataList();                          // one empty entry per installed plug-in
void DeletePlugInDataList();
