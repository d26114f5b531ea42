// The design file container: header, block order, the object stream with layer records and
// brackets, and the fix-ups made after reading.
#include "files/DesignFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "files/ByteStream.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/OutputDigest.h"
#include "files/PaletteFile.h"
#include "files/SideBlocks.h"
#include "files/StreamState.h"
#include "files/TopoGridFile.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Floors2D.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/LiveViews.h"
#include "model/Palettes.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/TopoGrid.h"
#include "model/ViewProjection.h"
#include "model/WalkNotes.h"
#include "platform/Alerts.h"

namespace {

bool IsFixedComponentKind(int16_t t) {
  return t == 68 || t == 69 || t == 71 || t == 72 || (t >= 79 && t <= 82) || t == 88 || t == 98 ||
         t == 110 || (t >= 117 && t <= 123) || (t >= 146 && t <= 152);
}

void SetViewForLayerName(const char* name) {
  DocState* ds = CurDocState();
  float x = 90, y = 0;
  int16_t plane = 2;
  if (strcmp(name, "X_FRONT") == 0) x = 0, y = 0, plane = 1;
  else if (strcmp(name, "X_BACK") == 0) x = 0, y = 180, plane = 1;
  else if (strcmp(name, "X_LEFT") == 0) x = 0, y = 270, plane = 3;
  else if (strcmp(name, "X_RIGHT") == 0) x = 0, y = 90, plane = 3;
  gPerspective = 0;
  gXViewAngle = x;
  gYViewAngle = y;
  if (ds) ds->viewPlane = plane;
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle,
                                     &gCosYAngle, &gSinYAngle, gPerspective);
}

// Step 3 of reading a design: values every read design takes.
void RepairReadDocState(DocState* ds, int32_t version) {
  ds->planMasks[1] = 510;
  ds->annotationColor = {65535, 65535, 65535};
  ds->newPenColor = {0, 0, 0};
  ds->foundationColor2 = {0xD7D7, 0xD7D7, 0xD7D7};
  ds->perimeterColor = {0xF2F2, 0xF2F2, 0xFFFF};
  ds->planColors[0] = {0xC0C0, 0, 0};
  for (int i = 1; i < 9; ++i) ds->planColors[i] = {0, 0, 0};
  ds->showCallouts = 0;
  ds->traceImagePath[0] = 0;
  ds->topoPath[0] = 0;
  InitializeVisiblePlansFromToolsetOptions();
  if (gForceNewPlanDefaults) {
    ds->measureSystem = gDefaultToImperial ? kMeasureImperial : kMeasureMetric;
    if (ds->measureSystem == kMeasureImperial) ds->imperialReadout = gImperialReadoutFormat;
    else ds->metricReadout = gMetricReadoutFormat;
  } else if (version < kVersionDesign10900) {
    ds->imperialReadout |= 0x61;
    ds->metricReadout |= 2;
    ds->angleReadout = 0;
  }
  if (version != kVersionDesign10900 && version != kVersionDesign11000 &&
      version != kVersionDesign11100) {
    ds->sunAngle1 -= 90;
    if (ds->sunAngle1 < 0) ds->sunAngle1 = 360 - (-ds->sunAngle1);
  }
  if (ds->lotColor.red == 0 && ds->lotColor.green == 192 && ds->lotColor.blue == 0)
    ds->lotColor = {0x5F5F, 0x8F8F, 0x2F2F};
}

}  // namespace

void DoWriteHeader() {
  WriteLong(sWriteVersion);
  WriteShort(kPlatformApple);
}

void DoReadHeader() {
  ReadLong(&sInputVersion);
  ReadShort(&sInputPlatform);
}

void WriteALayer(const Layer* layer) {
  if (!layer) return;
  WriteShort(kTagLayer);
  WriteSome(layer->name, sizeof(layer->name));
  // Which floors are shown and worked on is the user's choice of the moment, no part of the
  // design the undo ring compares.
  MarkOutput(OutputOffset(), 2, OutputPart::kSetAside);
  WriteSome(&layer->visible, 1);
  WriteSome(&layer->selectable, 1);
  WriteFloat(layer->height);
}

Layer* ReadALayer() {
  Layer* layer = CreateLayer("Untitled", 1, 1, nullptr);
  if (!layer) {
    SkipSome(sizeof(layer->name) + 2 + 4);
    return nullptr;
  }
  ReadFixedString(layer->name, sizeof(layer->name), sizeof(layer->name));
  if (strcmp(layer->name, "X_TOP") == 0) strcpy(layer->name, "X_TOP_FIRST_FLOOR");
  ReadSome(&layer->visible, 1);
  ReadSome(&layer->selectable, 1);
  const float defaultHeight = layer->height;
  ReadFloat(&layer->height);
  // A height that is not a usable length (walls take it over) keeps the new floor's height.
  if (!std::isfinite(layer->height) || std::fabs(layer->height) > 1e6f)
    layer->height = defaultHeight;
  if (gOpenSymbol) {
    FreeLayer(layer);
    return nullptr;
  }
  AppendLayerToDocument(layer);
  layer->visible = 1;
  return layer;
}

namespace {

// The records the writer reads for an object, in the order it reads them: the object (two
// notes: a record of up to 256 bytes each), its points with a wall's side trims, its children
// with their attachment records.
template <typename Note>
void ForEachWrittenRecord(const Objex* o, int depth, Note& note) {
  note(o);
  note(reinterpret_cast<const char*>(o) + 256);
  const bool wall = o->type == kObjWall;
  for (const Poinz* p = o->firstPoint; p; p = p->next) {
    note(p);
    if (wall && p->trim1) note(p->trim1);
    if (wall && p->trim2) note(p->trim2);
  }
  // Deeper than any design nests: the rest goes unnoted.
  if (depth >= 8) return;
  const bool holdsAttachments = wall || o->type == kObjDeck;
  for (const Objex* c = o->firstChild; c; c = c->next) {
    ForEachWrittenRecord(c, depth + 1, note);
    if (holdsAttachments && c->typeData) note(c->typeData);
  }
}

// The writer reads every record of the design whole, one list link after the other, and waits
// on memory for each. The design is written whole after every edit (the undo snapshot) and on
// every save, so the records a write of a floor met, in order, are noted, and the next write of
// the floor asks for them a fixed distance ahead. Only ever asked for, never read through: a
// floor changed or freed since only makes some of them miss.
struct WriteAhead {
  WalkNotes notes;
  static constexpr size_t kAhead = 12;
  // A record of up to 256 bytes (an object takes two notes).
  void note(const void* record) {
    const size_t k = notes.out->size();
    notes.out->push_back(record);
    if (k + kAhead < notes.last->size()) {
      const char* at = static_cast<const char*>((*notes.last)[k + kAhead]);
      for (int line = 0; line <= 256; line += 64) PrefetchLine(at + line);
    }
  }
  void noteObject(const Objex* o) {
    auto each = [this](const void* record) { note(record); };
    ForEachWrittenRecord(o, 0, each);
  }
};

FloorWalkTraces& WrittenRecords() {
  thread_local FloorWalkTraces traces;
  return traces;
}

}  // namespace

void DoWriteObjects() {
  if (!gCurDocument) return;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next) {
    if (gScrapMode) {
      if (strcmp(l->name, "X_TOP_FIRST_FLOOR") == 0 || strcmp(l->name, "X_TOP_SECOND_FLOOR") == 0 ||
          strcmp(l->name, "X_TOP_THIRD_FLOOR") == 0)
        continue;
    } else {
      WriteALayer(l);
    }
    WriteAhead ahead{WrittenRecords().begin(l)};
    for (Objex* o = l->firstObject; o; o = o->next) {
      ahead.noteObject(o);
      WriteAnObject(o);
    }
    WrittenRecords().finish();
  }
  WriteShort(kTagObjectsEnd);
}

namespace {
bool sReadSawSelection = false;
bool sReadSawGround = false;

// Lists in the current document every custom texture path `from` lists, under the id it has
// there, so that a read meeting one of those paths keeps that id.
void ListCustomTexturesOf(const ZLKDocumentModel* from) {
  for (const CustomTextureIDList* t = from->itsCustomTextureList; t; t = t->next)
    if (t->path) AddCustomTextureID(t->id, t->path);
}
}  // namespace

void NoteReadSelection() { sReadSawSelection = true; }
bool ReadSawSelection() { return sReadSawSelection; }
bool ReadSawGround() { return sReadSawGround; }

bool DoReadObjects() {
  sReadSawSelection = false;
  sReadSawGround = false;
  if (!gCurDocument) return false;
  // A removal repeated over many walls is told once.
  RepeatedAlertsOnce onceEach;
  // Each wall read refits its attachments; the attached dimensions are measured once at the end.
  WallDimensionRefreshBatch dimensions;
  Layer* target = nullptr;
  Objex* last = nullptr;
  ReadGroupBracket bracket;
  // The first write of a floor just read (the undo snapshot every open takes) finds its records
  // noted in the order it reads them, as a write of the floor leaves them for the next: each
  // top-level object as soon as it is read, while its records are still at hand; a group once
  // the next object is met (its members come after it).
  std::vector<const void*>* foretold = nullptr;
  const Objex* toForetell = nullptr;
  auto foretell = [&foretold](const void* record) { foretold->push_back(record); };
  auto foretellPending = [&] {
    if (toForetell && foretold) ForEachWrittenRecord(toForetell, 0, foretell);
    toForetell = nullptr;
  };
  // A group made by a fixed component's tool: its symbol is made again from the part read.
  auto settleFixedComponent = [](Objex* group) {
    if (group && group->firstChild && IsFixedComponentKind(group->firstChild->type))
      UpdateFixedComponent(group->firstChild);
  };
  bool ended = false;
  int16_t tag = 0;
  ReadShort(&tag);
  while (!StreamFailed()) {
    if (tag == kTagObjectsEnd) {
      ended = true;
      break;
    }
    switch (tag) {
      case kTagLayer:
        foretellPending();
        if (Layer* l = ReadALayer()) {
          SetViewForLayerName(l->name);
          target = l;
          foretold = &WrittenRecords().foretell(l);
        }
        break;
      case kTagObject: {
        Layer* layer = target;
        if (gOpenSymbol)
          layer = gReadingTopoLayer ? gCurDocument->itsTopoLayer : gCurDocument->itsCurLayer;
        const bool topLevel = !bracket.IsOpen();
        if (topLevel) foretellPending();
        Objex* obj = bracket.Link(ReadAnObject(layer, topLevel));
        last = obj;
        if (obj && topLevel && layer == target && !gOpenSymbol) {
          toForetell = obj;
          if (obj->type != kObjGroup) foretellPending();
        }
        // Checked while the object is at hand; a later check would walk the whole design.
        if (obj && !sReadSawSelection && HasSelectedPointInTree(obj)) sReadSawSelection = true;
        if (obj && !bracket.IsOpen() && IsGroundObjectType(obj->type)) sReadSawGround = true;
        break;
      }
      case kTagGroupBegin:
        // Only a group opens a bracket.
        if (last && last->type == kObjGroup) bracket.Open(last);
        break;
      case kTagGroupEnd:
        if (Objex* group = bracket.group) {
          UpdateObjectRootBounds(group, 0, 1);
          settleFixedComponent(group);
        }
        bracket.Close();
        break;
      case kTagInnerGroupBegin:
        bracket.OpenInner();
        break;
      case kTagInnerGroupEnd:
        settleFixedComponent(bracket.CloseInner());
        break;
      case kTagCabinetBegin:
        // A design's group becomes a cabinet even when its state could not be read.
        if (Objex* cabinet = bracket.OpenCabinet(last)) cabinet->subtype = kSubCabinet;
        break;
      case kTagCabinetEnd:
        bracket.CloseCabinet();
        break;
      default:
        break;
    }
    if (GetMark() >= GetLength()) break;
    ReadShort(&tag);
  }
  foretellPending();
  return ended && !StreamFailed();
}

void ConvertOldTextBlockLayers() {
  static const char* kPairs[3][2] = {{"X_TOP_FIRST_FLOOR", "First Floor"},
                                     {"X_TOP_SECOND_FLOOR", "Second Floor"},
                                     {"X_TOP_THIRD_FLOOR", "Third Floor"}};
  for (auto& pair : kPairs) {
    Layer* from = GetLayerFromName(pair[0]);
    Layer* to = GetLayerFromName(pair[1]);
    if (!from || !to) continue;
    while (Objex* o = from->firstObject) {
      Objex* before = from->firstObject;
      Move2DObject(o, to);
      if (from->firstObject == before) break;  // refused: leave the rest where they are
    }
  }
}

void WriteDesignToOutputBuffer() {
  sWriteVersion = kVersionDesign11100;
  DoWriteHeader();
  DoWriteDocState();
  DoWriteObjects();
  DoWriteBlackBoxes();
  DoWriteLiveViews();
  DoWritePalettes(sWriteVersion);
}

int KeyFileWrite(const char* path) {
  sWriteVersion = kVersionDesign11100;
  if (!gCurDocument || !path) return 0;
  // A design without its settings block could not be read back: nothing is written, and the
  // file already there stays as it was.
  if (!CurDocState()) {
    NoteFileProblem(FileProblem::kOther, 0);
    return 0;
  }
  BeginOutputBuffer();
  WriteDesignToOutputBuffer();
  bool written = WriteOutputFile(path);
  ReleaseOutputBuffer();
  if (!written) return 0;
  if (DocState* ds = CurDocState()) ds->documentChanged = 0;
  return 1;
}

bool ReadDesignIntoModel(ZLKDocumentModel* fresh, DesignReadMode mode) {
  const bool opening = mode == DesignReadMode::kOpen;
  ZLKDocumentModel* open = gCurDocument;
  CurrentDocumentScope scope(fresh);
  // A custom texture path the open document already lists keeps the id it has there.
  if (open && open != fresh && !fresh->itsCustomTextureList) ListCustomTexturesOf(open);
  ReadIDScope ids;
  ResetObjectsLeftOut();
  DoReadHeader();
  int32_t version = sInputVersion;
  if (StreamFailed() || !IsDesignFileVersion(version)) return false;
  if (!DoReadDocStateForVersion(version) || !fresh->itsDocState) return false;
  if (opening) RepairReadDocState(fresh->itsDocState, version);
  if (!DoReadObjects()) return false;
  if (version >= kVersionDesign10500) DoReadBlackBoxes();
  DoReadLiveViews();
  if (!DoReadPalettes(version) || StreamFailed()) return false;
  Layer* floors[3] = {GetLayerFromName("First Floor"), GetLayerFromName("Second Floor"),
                      GetLayerFromName("Third Floor")};
  if (!floors[0] || !floors[1] || !floors[2]) return false;
  for (Layer* f : floors)
    if (f->visible && f->selectable) {
      fresh->itsCurLayer = f;
      break;
    }
  if (!opening) return true;
  ConvertOldTextBlockLayers();
  DocState* ds = fresh->itsDocState;
  ds->navigationMode = 1;
  ds->newObjectPlanMask = 2;
  ds->currentPlanMask = ds->planMasks[1];
  return true;
}

bool ReplaceDesign(ZLKDocumentModel* target, ZLKDocumentModel* fresh, bool palettesRead) {
  CurrentDocumentScope scope(target);
  // Layers and objects: the old ones go whole.
  Layer* old = target->itsLayers;
  target->itsLayers = target->itsCurLayer = target->itsCur2DLayer = nullptr;
  const bool droppedGround = DeleteDesignLayers(old);
  target->itsLayers = fresh->itsLayers;
  target->itsCurLayer = fresh->itsCurLayer;
  target->itsCur2DLayer = fresh->itsCur2DLayer;
  fresh->itsLayers = fresh->itsCurLayer = fresh->itsCur2DLayer = nullptr;
  // DocState.
  free(target->itsDocState);
  target->itsDocState = fresh->itsDocState;
  fresh->itsDocState = nullptr;
  // Plug-in blocks replace those of the same plug-in.
  for (PlugInData* p = fresh->itsPlugIns; p; p = p->next) {
    StorePlugInData(p->data, p->size, p->plugInID);
    p->data = nullptr;
    p->size = 0;
  }
  // Saved views only when the file held some.
  if (fresh->itsLiveViews) {
    DeleteLiveViewsList();
    target->itsLiveViews = fresh->itsLiveViews;
    fresh->itsLiveViews = nullptr;
  }
  // Palettes when the file held them, an empty chain too.
  if (fresh->itsPaletteList || palettesRead) {
    FreeDocPaletteChain(target->itsPaletteList);
    target->itsPaletteList = fresh->itsPaletteList;
    fresh->itsPaletteList = nullptr;
  }
  // Custom textures the file named.
  for (CustomTextureIDList* t = fresh->itsCustomTextureList; t; t = t->next)
    if (!GetCustomTextureIDPath(t->id)) AddCustomTextureID(t->id, t->path);
  ReleaseModelContents(fresh);
  // The ground's heights follow the design now in place.
  if (droppedGround) SetLotElevation();
  return droppedGround;
}

int KeyFileRead(const char* path, ObjectsLeftOut* leftOut) {
  if (leftOut) *leftOut = ObjectsLeftOut{};
  if (!gCurDocument || !path) return 0;
  if (!LoadInputFile(path, CheckDesignFileHead, CheckDesignStreamClaims)) return 0;
  ZLKDocumentModel* target = gCurDocument;
  ZLKDocumentModel fresh;
  fresh.itsDocID = target->itsDocID;
  uint8_t savedOpenSymbol = gOpenSymbol;
  gOpenSymbol = 0;
  bool ok = ReadDesignIntoModel(&fresh);
  const bool palettesRead = StreamHoldsPalettes(sInputVersion);
  gOpenSymbol = savedOpenSymbol;
  if (!ok) NoteInputDamaged();
  ReleaseInputBuffer();
  if (!ok) {
    ReleaseModelContents(&fresh);
    return 0;
  }
  if (leftOut) *leftOut = ObjectsLeftOutSoFar();
  ReplaceDesign(target, &fresh, palettesRead);
  // The path was emptied above: this sets up the default topography grid.
  ReadTopoGridFile(target->itsDocState->topoPath);
  return 1;
}

// Points an object's children (and theirs) at the layer the object now lies on.
static void SetChildLayers(Objex* obj, Layer* layer) {
  for (Objex* c = obj->firstChild; c; c = c->next) {
    c->layer = layer;
    SetChildLayers(c, layer);
  }
}

bool InsertObjectsFromStream() {
  ZLKDocumentModel* target = gCurDocument;
  if (!target || !target->itsDocState) return false;
  ZLKDocumentModel scratch;
  scratch.itsDocState = static_cast<DocState*>(malloc(sizeof(DocState)));
  if (!scratch.itsDocState) return false;
  *scratch.itsDocState = *target->itsDocState;
  scratch.itsDocID = target->itsDocID;
  Layer* cur = CreateLayer("Insert", 1, 1, nullptr);
  Layer* topo = CreateLayer("Insert Topography", 1, 1, nullptr);
  bool ok = false;
  {
    // IDs are checked against the open design (which the read leaves alone until the scope
    // ends); the counters end above what was read.
    ReadIDScope ids(true);
    CurrentDocumentScope scope(&scratch);
    scratch.itsLayers = scratch.itsCurLayer = cur;
    scratch.itsTopoLayer = topo;
    ListCustomTexturesOf(target);
    ok = cur && topo && DoReadObjects();
  }
  if (ok) {
    // IDs continue above what the scratch read used.
    target->itsDocState->nextObjectID =
        std::max(target->itsDocState->nextObjectID, scratch.itsDocState->nextObjectID);
    target->itsDocState->nextPointID =
        std::max(target->itsDocState->nextPointID, scratch.itsDocState->nextPointID);
    Layer* destinations[2] = {target->itsCurLayer, target->itsTopoLayer};
    Layer* sources[2] = {cur, topo};
    for (int i = 0; i < 2; ++i) {
      while (Objex* o = sources[i]->firstObject) {
        UnlinkObject(o);
        if (destinations[i]) {
          AppendObjectToLayer(o, destinations[i]);
          SetChildLayers(o, destinations[i]);
        }
        else {
          CurrentDocumentScope scope(&scratch);
          DeleteObj(o);
        }
      }
    }
    for (CustomTextureIDList* t = scratch.itsCustomTextureList; t; t = t->next)
      if (!GetCustomTextureIDPath(t->id)) AddCustomTextureID(t->id, t->path);
  }
  ReleaseModelContents(&scratch);
  return ok;
}
