// Snapshot undo.
#include "files/Undo.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/OutputDigest.h"
#include "files/PaletteFile.h"
#include "files/StreamState.h"
#include "files/TopoGridFile.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/SelectionState.h"
#include "model/TopoGrid.h"
#include "platform/Alerts.h"
#include "platform/FileIO.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"
#include "platform/UndoNames.h"

int32_t gTotalUndos = 25;
uint8_t gUndoActive = 1;

namespace {
const char* kDiskSpaceText = "Please ensure that adequate disk space exists on your hard drive.";

std::function<int64_t()> sFreeBytesQuery;

int32_t NextSlot(int32_t slot) { return slot + 1 > gTotalUndos ? 1 : slot + 1; }
int32_t PrevSlot(int32_t slot) { return slot - 1 < 1 ? gTotalUndos : slot - 1; }

int64_t FolderFreeBytes() {
  return sFreeBytesQuery ? sFreeBytesQuery() : FreeBytesInFolder(ApplicationTemporaryPath());
}

int64_t SnapshotBytes(int32_t slot) {
  struct stat st;
  return lstat(UndoStatePath(slot).c_str(), &st) == 0 && S_ISREG(st.st_mode) ? int64_t(st.st_size) : 0;
}

ZLKDocumentModel::UndoStepDigest* SlotDigest(ZLKDocumentModel* doc, int32_t slot, bool grow) {
  if (!doc || slot <= 0) return nullptr;
  const size_t at = static_cast<size_t>(slot);
  if (at >= doc->itsUndoDigests.size()) {
    if (!grow) return nullptr;
    doc->itsUndoDigests.resize(at + 1);
  }
  return &doc->itsUndoDigests[at];
}

void RemoveSnapshot(int32_t slot) {
  unlink(UndoStatePath(slot).c_str());
  if (auto* digest = SlotDigest(gCurDocument, slot, false)) *digest = {};
}

// The store that wrote the slot the design stands at, 0 when none is known.
uint64_t StandingStep(ZLKDocumentModel* doc) {
  const auto* digest = SlotDigest(doc, doc->itsCurrentUndo, false);
  return digest ? digest->step : 0;
}

// Steps the undo-name stack may offer: one per older snapshot, and one more for edits that no
// snapshot took.
size_t OfferedSteps(const ZLKDocumentModel* doc) {
  const int32_t stored = CountUndos(doc->itsFirstUndo, doc->itsCurrentUndo);
  return static_cast<size_t>(stored > 0 ? stored - 1 : 0) + (doc->itsUnstoredEdit ? 1 : 0);
}

// Gives up the oldest stored step unless it is `keep` (or the slot after it, being written);
// the bytes freed, -1 when nothing older than `keep` is left.
int64_t DropOldestStep(ZLKDocumentModel* doc, int32_t keep) {
  if (doc->itsFirstUndo <= 0 || doc->itsFirstUndo == keep || doc->itsFirstUndo == NextSlot(keep))
    return -1;
  const int64_t bytes = SnapshotBytes(doc->itsFirstUndo);
  RemoveSnapshot(doc->itsFirstUndo);
  doc->itsFirstUndo = NextSlot(doc->itsFirstUndo);
  return bytes;
}

// The temporary folder is usually memory-backed and shared with other designs and programs:
// the older snapshots of one ring may take half of what the folder could give them (their own
// bytes and its free bytes), the new one, as large as the last, counted in. The oldest steps
// go first; the step the new snapshot undoes to stays. Whether any step was given up.
bool KeepWithinBudget(ZLKDocumentModel* doc, int32_t target) {
  const int64_t free = FolderFreeBytes();
  if (free < 0) return false;
  const int32_t previous = PrevSlot(target);
  const int64_t expected = SnapshotBytes(previous);
  int64_t held = 0;
  for (int32_t slot = doc->itsFirstUndo, i = CountUndos(doc->itsFirstUndo, previous); i > 0;
       --i, slot = NextSlot(slot))
    held += SnapshotBytes(slot);
  const int64_t budget = held / 2 + free / 2;
  bool dropped = false;
  while (held + expected > budget) {
    const int64_t freed = DropOldestStep(doc, previous);
    if (freed < 0) break;
    held -= freed;
    dropped = true;
  }
  return dropped;
}

void SelectFloorItemForCurrentLayer() {
  if (!gCurDocument || !gCurDocument->itsCurLayer || !gFrontEnd.selectActiveFloorItem) return;
  static const char* kFloors[3] = {"First Floor", "Second Floor", "Third Floor"};
  for (int i = 0; i < 3; ++i)
    if (strcmp(gCurDocument->itsCurLayer->name, kFloors[i]) == 0) {
      gFrontEnd.selectActiveFloorItem(5275 + i);
      return;
    }
}

int RestoreStep(const char* path, const std::vector<uint8_t>* beside);

void Step(bool back) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!gUndoActive || !doc || doc->itsFirstUndo <= 0 || doc->itsLastUndo <= 0 ||
      doc->itsCurrentUndo <= 0)
    return;
  // Edits that no snapshot took are undone by going back to the newest stored state, the
  // current slot itself; they cannot be redone.
  const bool unstored = back && doc->itsUnstoredEdit;
  int32_t count = back ? CountUndos(doc->itsFirstUndo, doc->itsCurrentUndo)
                       : CountUndos(doc->itsCurrentUndo, doc->itsLastUndo);
  if (count < (unstored ? 1 : 2)) return;
  int32_t before = doc->itsCurrentUndo;
  if (!unstored) doc->itsCurrentUndo = back ? PrevSlot(before) : NextSlot(before);
  const auto* kept = SlotDigest(doc, doc->itsCurrentUndo, false);
  const std::optional<std::vector<uint8_t>> beside =
      kept && kept->step ? std::optional(kept->beside) : std::nullopt;
  if (!RestoreStep(UndoStatePath(doc->itsCurrentUndo).c_str(), beside ? &*beside : nullptr)) {
    doc->itsCurrentUndo = before;
    ShowAlert("Unable to restore the undo state.", kDiskSpaceText);
    gUndoActive = 0;
  } else {
    if (unstored) {
      doc->itsUnstoredEdit = false;
      if (doc->itsUndoManager)
        doc->itsUndoManager->keepRedoAtMost(static_cast<size_t>(CountUndos(doc->itsCurrentUndo, doc->itsLastUndo) - 1));
    }
    // Back at the step that was saved the design is as saved; at any other it is not.
    doc->itsEdited = doc->itsSavedStep == 0 || StandingStep(doc) != doc->itsSavedStep;
  }
  SelectFloorItemForCurrentLayer();
}
}  // namespace

int32_t CountUndos(int32_t first, int32_t last) {
  if (first <= 0 || last <= 0) return 0;
  int32_t slot = first, count = 1;
  // Bounded so that slots outside the ring cannot loop forever.
  while (slot != last && count <= gTotalUndos) {
    slot = NextSlot(slot);
    ++count;
  }
  return count;
}

std::string UndoStatePath(int32_t slot) {
  int32_t docID = gCurDocument ? gCurDocument->itsDocID : 0;
  return ApplicationTemporaryPath() + "/" + UndoFilePrefixFor(docID) + "_" + std::to_string(slot) + ".dat";
}

namespace {
// The design written whole with the digest of what it wrote taken as it goes.
void WriteDesignDigested() {
  WriteDesignToOutputBuffer();
  DigestHeldOutput();
}

// The output digest in place for the writes of its lifetime.
class DigestScope {
 public:
  DigestScope() { gStream.outDigest = &digest_; }
  ~DigestScope() { gStream.outDigest = nullptr; }
  DigestScope(const DigestScope&) = delete;
  DigestScope& operator=(const DigestScope&) = delete;
  OutputDigestValue value() const { return digest_.value(); }

 private:
  OutputDigest digest_;
};

// Writes the current design as a snapshot without telling the user; false when it was not
// written, with *noRoom set when the folder had no room for it. `digest` (when given) gets the
// digest of what was written.
bool WriteSnapshot(const char* path, bool* noRoom = nullptr, OutputDigestValue* digest = nullptr) {
  if (noRoom) *noRoom = false;
  std::optional<DigestScope> scope;
  if (digest) scope.emplace();
  bool written = false;
  // A snapshot is a private scratch file, deleted with the design: replaced atomically but not
  // flushed to disk as a save is. It goes out in pieces while the design is written.
  if (CreateApplicationTemporaryFolder()) {
    written = WriteOutputFileStreamed(path, false, WriteDesignDigested);
    if (!written && noRoom) *noRoom = LastFileFailure() == FileFailure::kDiskFull;
  } else {
    BeginOutputBuffer();
    WriteDesignToOutputBuffer();
    ReleaseOutputBuffer();
  }
  if (digest) *digest = scope->value();
  return written;
}

// Writes the bytes the output buffer holds (a design written for its digest) as the snapshot,
// as WriteSnapshot would.
bool WriteHeldSnapshot(const char* path, bool* noRoom) {
  *noRoom = false;
  if (!CreateApplicationTemporaryFolder()) return false;
  if (WriteOutputFile(path, false)) return true;
  *noRoom = LastFileFailure() == FileFailure::kDiskFull;
  return false;
}
}  // namespace

int SaveState(const char* path) {
  if (!path || !gCurDocument) return 0;
  if (!WriteSnapshot(path)) {
    ShowAlert("Unable to store the undo state.", kDiskSpaceText);
    return 0;
  }
  return 1;
}

namespace {

// TopLevelObjectAllLayers(firstLayer, kCmdUpdateSelectionState40, arg), noting in design order
// the objects it sums up: on shown floors, those holding any selection.
void FoldSelectionStateNoting(Layer* firstLayer, const CommandArg& arg, KnownSelection* known) {
  for (Layer* l = firstLayer; l; l = l->next) {
    if (!l->visible) continue;
    for (Objex* obj = l->firstObject; obj;) {
      Objex* next = obj->next;
      if (IsAnyObjectSelected(obj)) {
        known->tops.push_back({obj, l});
        TopLevelObject(obj, kCmdUpdateSelectionState40, arg);
      }
      obj = next;
    }
  }
}

// Which floors the user shows and works on (the layers' shown and pickable flags and the
// working floor and view layer, by name): chosen with no step of their own, kept by Undo and
// Redo for the layers the restored design has too.
class FloorsWorkedOn {
 public:
  explicit FloorsWorkedOn(const ZLKDocumentModel* doc) {
    for (const Layer* l = doc->itsLayers; l; l = l->next) flags_.push_back({l->name, l->visible, l->selectable});
    if (doc->itsCurLayer) current_ = doc->itsCurLayer->name;
    if (doc->itsCur2DLayer) view_ = doc->itsCur2DLayer->name;
  }
  // Puts them on the restored design; what the read selected on a floor no longer worked on
  // is let go there first, as the choice of a floor lets it go.
  void putOn(ZLKDocumentModel* doc, bool selectionRead) const {
    for (const Flags& f : flags_)
      if (Layer* l = GetLayerFromName(f.name.c_str())) {
        if (selectionRead && !f.selectable) SelectLayer(l, kSelectOff, 0);
        l->visible = f.visible;
        l->selectable = f.selectable;
      }
    if (!current_.empty())
      if (Layer* l = GetLayerFromName(current_.c_str())) doc->itsCurLayer = l;
    doc->itsCur2DLayer = view_.empty() ? nullptr : GetLayerFromName(view_.c_str());
  }

 private:
  struct Flags {
    std::string name;
    uint8_t visible, selectable;
  };
  std::vector<Flags> flags_;
  std::string current_, view_;
};

// RestoreState; `beside`, when known, holds the step's fields that its file cannot.
int RestoreStep(const char* path, const std::vector<uint8_t>* beside) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!path || !doc) return 0;
  // The snapshot folder is ours: a planted link or someone else's file is not read.
  if (!LoadPrivateInputFile(path, CheckDesignFileHead, CheckDesignStreamClaims)) return 0;
  if (!doc->itsLayers) {
    ReleaseInputBuffer();
    ShowAlert("Unable to restore the undo state.", kDiskSpaceText);
    gUndoActive = 0;
    return 0;
  }
  DocState* old = doc->itsDocState;
  std::string keptTopo = old ? old->topoPath : "";
  std::string keptTrace = old ? old->traceImagePath : "";
  ZLKDocumentModel fresh;
  fresh.itsDocID = doc->itsDocID;
  bool ok = ReadDesignIntoModel(&fresh, DesignReadMode::kRestore);
  const bool palettesRead = StreamHoldsPalettes(sInputVersion);
  ReleaseInputBuffer();
  if (!ok) {
    ReleaseModelContents(&fresh);
    return 0;
  }
  const bool settingsKept = old && fresh.itsDocState;
  if (settingsKept) {
    // A step that changed the trace image brings back its visibility with it.
    const uint8_t stepVisible = fresh.itsDocState->traceImageVisible;
    // Undo steps the design back, not what the user changes with no step of its own: the view
    // (zoom, 3D camera, cut-away, the plan's tabs), the tools' defaults and the other settings
    // the compare leaves out stay as they stand, and so do the floors worked on (below). What
    // the step's file cannot hold comes from beside it (kept as it stands when not known).
    KeepUnsteppedSettings(*old, fresh.itsDocState);
    PutBackStepFieldsBesideSnapshot(beside ? *beside : StepFieldsBesideSnapshot(*old), fresh.itsDocState);
    if (keptTrace != fresh.itsDocState->traceImagePath) fresh.itsDocState->traceImageVisible = stepVisible;
  }
  const FloorsWorkedOn floors(doc);
  // The working elevation is the user's setting, kept as it stands; a step that moved the floor
  // worked on moves it with that floor.
  const std::string workedOn = doc->itsCurLayer ? doc->itsCurLayer->name : "";
  const float workedOnBase = doc->itsCurLayer ? GetLayerAbsBaseHeight(doc->itsCurLayer) : 0;
  // The ground's heights are worked out for the restored design when it or the one it replaced
  // holds ground objects (noted by the read and the drop: no walk of the design).
  const bool restoredGround = ReadSawGround();
  if (!ReplaceDesign(doc, &fresh, palettesRead) && restoredGround) SetLotElevation();
  floors.putOn(doc, ReadSawSelection());
  DocState* ds = doc->itsDocState;
  if (settingsKept && doc->itsCurLayer) {
    const float base = GetLayerAbsBaseHeight(doc->itsCurLayer);
    // On a floor other than the one worked on (gone from the restored design), work starts at
    // its base, as on choosing a floor.
    if (workedOn != doc->itsCurLayer->name) ds->baseElevation = base;
    else if (base != workedOnBase) ds->baseElevation += base - workedOnBase;
  }
  ds->documentChanged = 1;
  ClearSelectionState40(ds, &ds->selectionState40);
  // The objects holding the restored selection are noted while it is summed up, so that the
  // inspector looks at them alone. With nothing selected in the snapshot there is nothing to
  // sum up, and nothing for the inspector to look for.
  KnownSelection known;
  known.firstLayer = doc->itsLayers;
  if (ReadSawSelection()) FoldSelectionStateNoting(doc->itsLayers, CommandArg::Doc(ds), &known);
  UpdateSelectionState40Controls(&ds->selectionState40);
  bool knows = true;
  if (keptTopo != ds->topoPath) {
    ReadTopoGridFile(ds->topoPath);
    knows = false;
  }
  if (keptTrace != ds->traceImagePath && gFrontEnd.reloadTraceImage) {
    // An empty path only drops the image: there is nothing that could fail to load.
    if (!gFrontEnd.reloadTraceImage(ds->traceImagePath) && ds->traceImagePath[0]) {
      ds->traceImageVisible = 0;
      ds->traceImagePath[0] = 0;
    }
  }
  {
    KnownSelectionScope scope(knows ? &known : nullptr);
    UpdateInspectorPropertiesState(true);
  }
  Refresh();
  RenderAllLayers();
  return 1;
}

}  // namespace

int RestoreState(const char* path) { return RestoreStep(path, nullptr); }

namespace {
// StoreUndo; with `held`, the snapshot is the design the output buffer holds, of that digest.
void StoreStep(const std::string& name, const OutputDigestValue* held) {
  // An edit road ends with its undo state: whatever it wrote straight into the records, a road
  // that kept something across edits must not trust it any longer.
  NoteDesignEdit();
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc) return;
  if (!gUndoActive) {
    if (name != " ") MarkDesignEdited(doc, true);
    return;
  }
  if (!doc->itsDocState) return;
  int32_t first = doc->itsFirstUndo, last = doc->itsLastUndo, current = doc->itsCurrentUndo;
  // Whether older snapshots are kept beside the new one: only they can be given up for room.
  const bool older = first > 0 && current > 0;
  if (doc->itsFirstUndo < 0) {
    doc->itsFirstUndo = doc->itsLastUndo = doc->itsCurrentUndo = 1;
  } else if (doc->itsCurrentUndo > 0) {
    int32_t n = doc->itsFirstUndo > 0 ? CountUndos(doc->itsFirstUndo, doc->itsCurrentUndo) : 0;
    // What could be redone goes with the new snapshot, and so do its files.
    int32_t slot = current;
    for (int32_t i = CountUndos(current, last) - 1; i > 0; --i) RemoveSnapshot(slot = NextSlot(slot));
    doc->itsCurrentUndo = NextSlot(doc->itsCurrentUndo);
    doc->itsLastUndo = doc->itsCurrentUndo;
    if (n >= gTotalUndos) doc->itsFirstUndo = NextSlot(doc->itsFirstUndo);
    // The slot's old file (the oldest step, once the ring has come round) makes room first.
    RemoveSnapshot(doc->itsCurrentUndo);
  }
  const std::string path = UndoStatePath(doc->itsCurrentUndo);
  bool dropped = older && KeepWithinBudget(doc, doc->itsCurrentUndo);
  bool noRoom = false;
  OutputDigestValue digest;
  const auto write = [&] {
    if (!held) return WriteSnapshot(path.c_str(), &noRoom, &digest);
    digest = *held;
    return WriteHeldSnapshot(path.c_str(), &noRoom);
  };
  bool stored = write();
  // A folder that filled regardless (other designs, other programs, a design grown larger than
  // its last snapshot): older steps go, at least as many bytes as the last snapshot took, until
  // the new one fits or none is left to go.
  while (!stored && older && noRoom) {
    const int64_t wanted = std::max<int64_t>(SnapshotBytes(current), 1);
    int64_t freed = 0, bytes = 0;
    while (freed < wanted && (bytes = DropOldestStep(doc, current)) >= 0) freed += std::max<int64_t>(bytes, 1);
    if (freed == 0) break;
    dropped = true;
    stored = write();
  }
  UndoNameStack* undo = doc->itsUndoManager;
  if (stored) {
    *SlotDigest(doc, doc->itsCurrentUndo, true) = {digest.counted, digest.selection, true, ++doc->itsStepsStored,
                                                   StepFieldsBesideSnapshot(*doc->itsDocState)};
  } else {
    ShowAlert("Unable to store the undo state.", kDiskSpaceText);
    // A named edit is one left unstored (below); an unnamed one leaves the design other than
    // the step it stands at, with nothing to say so but its digest, unknown from now on.
    if (name == " ")
      if (auto* was = SlotDigest(doc, current, false)) was->known = false;
    if (!older) {
      doc->itsFirstUndo = first, doc->itsLastUndo = last, doc->itsCurrentUndo = current;
      if (name != " ") MarkDesignEdited(doc, true);
      return;
    }
    // The stored steps stay as they are now (what could be redone is gone: the design moved on).
    doc->itsCurrentUndo = doc->itsLastUndo = current;
  }
  if (name != " ") {
    doc->itsEdited = true;
    // Edits that no snapshot took share one step: the next snapshot stored stands for them too.
    if (undo && !undo->isUndoing()) {
      if (doc->itsUnstoredEdit) undo->renameLastAction(name);
      else undo->setActionName(name);
    }
    doc->itsUnstoredEdit = !stored;
  } else if (stored) {
    doc->itsUnstoredEdit = false;
  }
  // The steps offered never outnumber those the ring can go back to.
  if (undo) undo->keepAtMost(OfferedSteps(doc));
  if (dropped && !doc->itsToldUndoStepsDropped) {
    doc->itsToldUndoStepsDropped = true;
    ShowAlert("The oldest undo steps were removed to make room.",
              "The temporary folder is running short of space: this design keeps fewer undo steps than "
              "the preferences ask for, giving up the oldest ones first.");
  }
}

}  // namespace

void StoreUndo(const std::string& name) { StoreStep(name, nullptr); }

bool StoreUndoIfChanged(const std::string& name, UndoCompare compare) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc) return false;
  const ZLKDocumentModel::UndoStepDigest* current =
      gUndoActive && doc->itsDocState && !doc->itsUnstoredEdit ? SlotDigest(doc, doc->itsCurrentUndo, false)
                                                                : nullptr;
  if (!current || !current->known) {
    StoreUndo(name);
    return true;
  }
  // The design is written once: for its digest, and when it changed, as the new snapshot.
  OutputDigestValue now;
  {
    DigestScope scope;
    BeginOutputBuffer();
    WriteDesignDigested();
    now = scope.value();
  }
  const bool same = now.counted == current->design &&
                    (compare == UndoCompare::kDesign || now.selection == current->selection) &&
                    StepFieldsBesideSnapshot(*doc->itsDocState) == current->beside;
  if (!same) StoreStep(name, &now);
  ReleaseOutputBuffer();
  return !same;
}

void InitializeUndo() {
  if (!gCurDocument) return;
  // A history started afresh reaches none of the old snapshots (nor, after the levels were
  // lowered, the slots beyond the ring): they go now rather than when the design closes.
  gCurDocument->sanitizeUndoFiles();
  gCurDocument->itsFirstUndo = gCurDocument->itsLastUndo = gCurDocument->itsCurrentUndo = -1;
  gCurDocument->itsUnstoredEdit = false;
  gCurDocument->itsToldUndoStepsDropped = false;
  gCurDocument->itsUndoDigests.clear();
  if (gCurDocument->itsUndoManager) gCurDocument->itsUndoManager->removeAllActions();
  StoreUndo(" ");
  // A design as saved stays so at its first step.
  if (!gCurDocument->itsEdited) MarkDesignEdited(gCurDocument, false);
}

void MarkDesignEdited(ZLKDocumentModel* doc, bool edited) {
  if (!doc) return;
  doc->itsEdited = edited;
  // Unedited, the design stands where it was saved: coming back to that step leaves it so.
  // Edited with no step of its own, no stored step holds the design as saved any longer.
  doc->itsSavedStep = edited || doc->itsUnstoredEdit ? 0 : StandingStep(doc);
}

void SetUndoLevels(int levels) {
  if (levels < 5) levels = 5;
  if (levels > 500) levels = 500;
  gTotalUndos = levels + 1;
}

void DoUndo() { Step(true); }
void DoRedo() { Step(false); }

void SetUndoFreeBytesQuery(std::function<int64_t()> query) { sFreeBytesQuery = std::move(query); }
