// The plug-in exchange file: the open design written for a plug-in ("data.qxf") in one of six
// little-endian layouts, and the record readers shared with the plug-out file that carries the
// plug-in's changes back.
#pragma once
#include <cstdint>

struct Objex;
struct Layer;
struct DoorWindowData;
struct RoofAttachmentData;
struct TrimData;
struct CabinetState;

// Exchange versions a plug-in may ask for in its descriptor.
constexpr int32_t kVersionExchange5000 = 5000;
constexpr int32_t kVersionExchange7500 = 7500;
constexpr int32_t kVersionExchange8000 = 8000;
constexpr int32_t kVersionExchange9000 = 9000;
constexpr int32_t kVersionExchange10000 = 10000;
constexpr int32_t kVersionExchange11000 = 11000;

// Tags of the exchange stream (little-endian u16).
enum : uint16_t {
  kTagExchangeLayer = 200,
  kTagExchangeObject = 300,
  kTagExchangeWallAttachment = 301,
  kTagExchangeGroupBegin = 302,
  kTagExchangeGroupEnd = 303,
  kTagExchangeDeckAttachment = 304,
  kTagExchangeCabinetBegin = 306,
  kTagExchangeCabinetEnd = 307,
  kTagExchangeTargetLayer = 308,
  kTagExchangeReplaceObject = 309,
  kTagExchangeDeleteObject = 310,
  kTagExchangeObjectsEnd = 500,
  kTagExchangeBlackBox = 600,
  kTagExchangeBlackBoxEnd = 601,
};
// Tags inside records, with the values of the design file's.
enum : uint16_t {
  kTagExchangeTrimBegin = 208,
  kTagExchangeTrimEnd = 209,
  kTagExchangeTrimObjectBegin = 210,
  kTagExchangeTrimObjectEnd = 211,
  kTagExchangeDefinitionBegin = 212,
  kTagExchangeDefinitionEnd = 213,
  kTagExchangeRoofAttachment = 214,
  kTagExchangeRoofDefinitionBegin = 215,
  kTagExchangeRoofDefinitionEnd = 216,
};
// An exchange object record of this type is an old-style text (read as a standard text).
constexpr int16_t kObjExchangeText = 200;
// The plug-in whose data block also goes to plug-in 102, and that plug-in.
constexpr int32_t kAddkitSharedData = 101;
constexpr int32_t kAddkitSharedDataUser = 102;

// Whether v is one of the six exchange versions.
bool IsExchangeVersion(int32_t v);
// The version a file for a plug-in asking for `fileVersion` is written in: 11000 for anything
// of 11000 or more and for anything that is not one of the six.
int32_t ExchangeWriteVersion(int32_t fileVersion);

// Writes the current document as an exchange file for `plugInID`. False without a current
// document or when the file cannot be written. Every palette-linked material slot of the design
// takes its palette entry's colour and scale on the way, and a cabinet group's state its elevation.
// `minFileVersion` is not used. gFileWriteFailed is 1 from the start and 0 again once a write
// has been tried (it stays 1 when there was no document).
bool PlugInFileWrite(const char* path, int32_t plugInID, int32_t minFileVersion, int32_t fileVersion);

// Record writers: append to the output buffer at sWriteVersion, on the current document.
void DoWritePlugInHeader();
void DoWritePlugInDocState();
void DoWritePlugInLiveViews();
void DoWritePlugInPalettes();
void DoWritePlugInObjects();
void WriteAPlugInLayer(const Layer* layer);
void WriteAPlugInObject(Objex* obj);
void WritePlugInObjectInfo(Objex* obj);
void WritePlugInObjectPoints(Objex* obj);
void WritePlugInObjectData(Objex* obj);
void WritePlugInObjectAttachment(DoorWindowData* record);
void WritePlugInObjectAttachment75(const DoorWindowData* record);
void WritePlugInRoofAttachment(RoofAttachmentData* record);
void WritePlugInTrimData(TrimData* record);
void DoWritePlugInCabinetState(const CabinetState* state, float baseElevation);
void DoWritePlugInBlackBox(int32_t plugInID);

// Record readers at the input position, version sInputVersion. Counts are never trusted: a
// count the remaining bytes cannot hold fails the stream (StreamFailed), as does a read past
// the end; what was made for a record that failed is freed.
// One object record (info, points, data) made on `layer` (appended when `appendToLayer`);
// null when it is dropped (invalid points) or the stream failed inside it.
Objex* ReadAPlugInObject(Layer* layer, bool appendToLayer);
void ReadPlugInObjectInfo(Objex* obj);
void ReadPlugInObjectPoints(Objex* obj);
void ReadPlugInObjectData(Objex* obj, Layer* layer);
void ReadPlugInObjectAttachment(DoorWindowData* record, Objex* obj, Layer* layer);
void ReadPlugInObjectAttachment75(DoorWindowData* record, Objex* obj);
void ReadPlugInRoofAttachment(RoofAttachmentData* record, Objex* obj, Layer* layer);
// A trim profile is built on `layer`, or on the current document's current layer when none is
// given, and keeps no layer.
void ReadPlugInTrimData(TrimData* record, Layer* layer = nullptr);
void ReadPlugInTextData(Objex* obj);
void ReadPlugInEnhancedTextData(Objex* obj);
CabinetState* DoReadPlugInCabinetState();  // malloc'd, owned by the caller; null on failure
void DoReadPlugInBlackBox(int32_t plugInID);
// Document state, saved views and palettes into the current document (whole-file reader).
void DoReadPlugInDocState();
void DoReadPlugInLiveViews();
void DoReadPlugInPalettes();

// The object tokens both whole-file readers share (300, 302, 303, 306, 307): objects go to
// `target`, or into the open group. `afterObject` (may be null) sees every object record's
// result, null for one that was dropped.
struct ExchangeObjectState {
  Layer* target = nullptr;
  Objex* last = nullptr;
  Objex* openGroup = nullptr;
  bool inGroup = false;
  int32_t plugInID = 0;
  void (*afterObject)(void* context, Objex* obj) = nullptr;
  void* context = nullptr;
};
// Handles one of those tags (already read); false for any other tag (nothing read).
bool ReadExchangeObjectToken(uint16_t tag, ExchangeObjectState* state);

// Reads a whole exchange file as the current design: the design is replaced only when the
// file is read whole and holds the three floors; false otherwise, the design unchanged.
bool PlugInFileRead(const char* path, int32_t plugInID);
