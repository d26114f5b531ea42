// The per-document owner of all core state, reached by the core through gCurDocument:
// its fields, the fresh design, emptying, document ids and the document's undo files.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/Types.h"

struct Layer;
struct DocState;
struct PlugInData;
struct LiveViewsList;
struct CustomTextureIDList;
struct DocPaletteList;

class UndoNameStack;

// A model made with init() is listed among the open models and owns undo files; a model
// declared as a plain value (a scratch design for reading or restoring) is neither, and its
// contents are freed by whoever filled it (ReleaseModelContents).
class ZLKDocumentModel {
 public:
  Layer* itsLayers = nullptr;
  Layer* itsCurLayer = nullptr;
  Layer* itsCur2DLayer = nullptr;
  Layer* itsTopoLayer = nullptr;  // kept outside the layer list
  DocState* itsDocState = nullptr;
  PlugInData* itsPlugIns = nullptr;
  CustomTextureIDList* itsCustomTextureList = nullptr;
  LiveViewsList* itsLiveViews = nullptr;
  DocPaletteList* itsPaletteList = nullptr;
  // Virtual ruler, inches.
  uint8_t itsVRVisible = 0;
  FloatPoint itsVRStartPt{-144, 0};
  FloatPoint itsVREndPt{144, 0};
  // Undo ring slots, -1 when empty.
  int32_t itsFirstUndo = -1;
  int32_t itsLastUndo = -1;
  int32_t itsCurrentUndo = -1;
  // The design holds edits whose snapshot could not be stored: one step back is the current
  // slot itself.
  bool itsUnstoredEdit = false;
  // The user was told that this history gave up old steps for room.
  bool itsToldUndoStepsDropped = false;
  // The digest of each stored snapshot, by slot (files/Undo.cpp): the design with its
  // selection, ID counters, changed flag, view and tool defaults left out, and its selection;
  // the settings of the step that its file cannot hold; and which store wrote the slot
  // (numbered from 1 in the life of the model, 0 for none).
  struct UndoStepDigest {
    std::array<uint64_t, 2> design{};  // 128-bit digests
    std::array<uint64_t, 2> selection{};
    bool known = false;
    uint64_t step = 0;
    std::vector<uint8_t> beside;
  };
  std::vector<UndoStepDigest> itsUndoDigests;
  uint64_t itsStepsStored = 0;
  // The stored step that holds the design as last saved, opened or made (see itsUndoDigests),
  // 0 when none does: Undo and Redo leave the design unedited only at this step.
  uint64_t itsSavedStep = 0;
  int32_t itsDocID = 0;  // 0..16,777,215, unique among the open models; names the undo files
  int16_t itsMaximumPlantAge = 23;  // years offered by the plant-growth controls
  // The document's undo-name stack (owned by the document) and its edited flag.
  UndoNameStack* itsUndoManager = nullptr;
  bool itsEdited = false;
  // Held while the model lives (alloc to release): marks its id, and so its undo files, as
  // those of a running copy (see UndoFilesOwnedByRunningCopy). -1 when none could be taken.
  int itsOwnershipLock = -1;

  // A new empty model, listed among the open models, with an id that no open model has.
  static ZLKDocumentModel* alloc();
  // Draws an id that no model of this or another running copy holds and takes its lock, so
  // that no other model writes undo files under it (alloc does this).
  void claimDocumentID();
  // Removes the model's undo files and gives its id up (release does this).
  void giveUpDocumentID();
  // alloc(), made current before anything is built, with the fresh design and its first undo
  // snapshot. Null when a floor cannot be made (gCurDocument is then put back). This and
  // reinitializeDocumentModel() live with the undo ring (files/NewDesign.cpp).
  static ZLKDocumentModel* init();
  // Frees everything the model owns, removes its undo files and deletes it. Null: nothing.
  static void release(ZLKDocumentModel* model);

  // Empties the model and gives it the fresh design again with its own id, its first undo
  // snapshot, no undo actions and a clean edited flag; the front end clears the document's
  // file name and trace image (gFrontEnd.documentReinitialized). gCurDocument is unchanged.
  void reinitializeDocumentModel();

  // The steps of emptying; each leaves its heads empty and may be repeated.
  void deletePlugInDataList();
  void deleteCustomTextureList();
  void deleteAllCachedCustomTextures();  // the table stays
  void deleteLiveViewList();
  void deleteAllDocPalettes();
  void deleteDocPalette(DocPaletteList* palette);  // null: nothing
  void deleteDocumentElements();                   // layers, topography layer, DocState
  // Removes the undo state files of this document of this session, whatever their slot.
  void sanitizeUndoFiles();

  // Builds the fresh design into an empty model (three floors, DocState, one active
  // "Default Palette", plug-in blocks, hidden ruler, plant age 23), with this model current
  // meanwhile; no undo snapshot. False when a floor cannot be made (the floors made so far
  // stay, nothing else is built).
  bool buildFreshState();
  // Empties the model in the order of its teardown, undo files excepted.
  void deleteContents();
  // Exchanges the designs (layers, DocState, plug-in blocks, custom textures, saved views,
  // palettes, ruler, plant age) of the two models; ids, undo rings and flags stay.
  void swapDesignWith(ZLKDocumentModel& other);
  // File-name prefix of this document's undo state files.
  std::string undoFilePrefix() const;
};

// The document every core routine works on; null when no design is open.
extern ZLKDocumentModel* gCurDocument;

// Path of the image file the trace image was last loaded from ("" when none).
extern char gCurrentTraceImageSourcePath[512];

// The current document's DocState, or null.
DocState* CurDocState();

// Frees everything a model owns (layers with their objects, the topography layer,
// plug-in data, saved views, palettes, custom textures, DocState) and leaves it empty.
void ReleaseModelContents(ZLKDocumentModel* model);

// The models made by init() and not yet released, oldest first.
const std::vector<ZLKDocumentModel*>& OpenDocumentModels();
// Random source of document ids (its low 24 bits are used); an empty function restores
// the default generator, seeded from the time.
void SetDocumentIDSource(std::function<uint32_t()> source);
// A document id in 0..16,777,215 that no open model has.
int32_t DrawDocumentID();
// "com.zelkoworks.casavelt_1100_<session>_<document>": the name prefix of a document's undo files.
std::string UndoFilePrefixFor(int32_t docID);
// "<prefix>.lock" in the temporary folder: the file a running copy keeps locked while a
// document of that id is open.
std::string UndoLockPathFor(int32_t docID);
// Whether a running copy of the program (this one included) has a document of that id
// open, and so owns its undo files.
bool UndoFilesOwnedByRunningCopy(int32_t docID);
// Removes the undo files (snapshots, lock files and the temporary files of snapshot writes
// that never ended) of this session that no running copy owns: those of runs that crashed.
// Called at start-up. Returns how many files were removed.
int RemoveAbandonedUndoFiles();

// Makes a model current for the life of the scope.
struct CurrentDocumentScope {
  ZLKDocumentModel* saved;
  explicit CurrentDocumentScope(ZLKDocumentModel* m) : saved(gCurDocument) { gCurDocument = m; }
  ~CurrentDocumentScope() { gCurDocument = saved; }
  CurrentDocumentScope(const CurrentDocumentScope&) = delete;
  CurrentDocumentScope& operator=(const CurrentDocumentScope&) = delete;
};
