// Snapshot undo.
#include "files/Undo.h"

#include <cstring>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/PaletteFile.h"
#include "files/StreamState.h"
#include "files/TopoGridFile.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/SelectionState.h"
#include "model/TopoGrid.h"
#include "platform/Alerts.h"
#include "platform/Session.h"
#include "platform/TemporaryFolder.h"
#include "platform/UndoNames.h"

int32_t gTotalUndos = 25;
uint8_t gUndoActive = 1;

namespace {
const char* kDiskSpaceText = "Please ensure that adequate disk space exists on your hard drive.";

int32_t NextSlot(int32_t slot) { return slot + 1 > gTotalUndos ? 1 : slot + 1; }
int32_t PrevSlot(int32_t slot) { return slot - 1 < 1 ? gTotalUndos : slot - 1; }

void SelectFloorItemForCurrentLayer() {
  if (!gCurDocument || !gCurDocument->itsCurLayer || !gFrontEnd.selectActiveFloorItem) return;
  static const char* kFloors[3] = {"First Floor", "Second Floor", "Third Floor"};
  for (int i = 0; i < 3; ++i)
    if (strcmp(gCurDocument->itsCurLayer->name, kFloors[i]) == 0) {
      gFrontEnd.selectActiveFloorItem(5275 + i);
      return;
    }
}

void Step(bool back) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!gUndoActive || !doc || doc->itsFirstUndo <= 0 || doc->itsLastUndo <= 0 ||
      doc->itsCurrentUndo <= 0)
    return;
  int32_t count = back ? CountUndos(doc->itsFirstUndo, doc->itsCurrentUndo)
                       : CountUndos(doc->itsCurrentUndo, doc->itsLastUndo);
  if (count < 2) return;
  int32_t before = doc->itsCurrentUndo;
  doc->itsCurrentUndo = back ? PrevSlot(before) : NextSlot(before);
  if (!RestoreState(UndoStatePath(doc->itsCurrentUndo).c_str())) {
    doc->itsCurrentUndo = before;
    ShowAlert("Unable to restore the undo state.", kDiskSpaceText);
    gUndoActive = 0;
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

int SaveState(const char* path) {
  if (!path || !gCurDocument) return 0;
  // A snapshot is a private scratch file, deleted with the design: replaced atomically but not
  // flushed to disk as a save is. It goes out in pieces while the design is written.
  bool written = false;
  if (CreateApplicationTemporaryFolder()) {
    written = WriteOutputFileStreamed(path, false, WriteDesignToOutputBuffer);
  } else {
    BeginOutputBuffer();
    WriteDesignToOutputBuffer();
    ReleaseOutputBuffer();
  }
  if (!written) {
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

// Undo steps the design back, not the view: the zoom, the 3D camera, the cut-away and the plan's
// tab stay where the user left them. The floor is the restored one's: the step shows where it was
// made.
void KeepView(const DocState& was, DocState* ds) {
  ds->zoomFactor = was.zoomFactor;
  // The cut-away's slider shows the kept position; a design read back never holds one.
  ds->viewSetting2 = was.viewSetting2;
  ds->cutAwayPlane = was.cutAwayPlane;
  ds->printSetting2 = was.printSetting2;
  ds->navigationMode = was.navigationMode;
  ds->navigationSubMode = was.navigationSubMode;
  ds->viewSetting4 = was.viewSetting4;  // the elevation shown, or perspective
  ds->setting159 = was.setting159;      // its scale
  ds->walkAngle = was.walkAngle;
  ds->walkPosition = was.walkPosition;
  ds->walkElevation = was.walkElevation;
  ds->viewSetting14 = was.viewSetting14;  // the walk's pitch
  ds->flyPitch = was.flyPitch;
  ds->flyAngle = was.flyAngle;
  ds->flyAltitude = was.flyAltitude;
  ds->lookOffset = was.lookOffset;
  // The tab stays; what it shows follows the restored design's masks unless the user had
  // chosen another set of kinds to show.
  ds->currentPlanMask = was.currentPlanMask;
  for (int kind = 0; kind < kPlanKindCount; ++kind)
    if (was.newObjectPlanMask == (1 << kind) && was.currentPlanMask == was.planMasks[kind])
      ds->currentPlanMask = ds->planMasks[kind];
  ds->newObjectPlanMask = was.newObjectPlanMask;
}

}  // namespace

int RestoreState(const char* path) {
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
  if (old && fresh.itsDocState) KeepView(*old, fresh.itsDocState);
  // The ground's heights are worked out for the restored design when it or the one it replaced
  // holds ground objects (noted by the read and the drop: no walk of the design).
  const bool restoredGround = ReadSawGround();
  if (!ReplaceDesign(doc, &fresh, palettesRead) && restoredGround) SetLotElevation();
  DocState* ds = doc->itsDocState;
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

void StoreUndo(const std::string& name) {
  // An edit road ends with its undo state: whatever it wrote straight into the records, a road
  // that kept something across edits must not trust it any longer.
  NoteDesignEdit();
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc) return;
  if (!gUndoActive) {
    if (name != " ") doc->itsEdited = true;
    return;
  }
  if (!doc->itsDocState) return;
  int32_t first = doc->itsFirstUndo, last = doc->itsLastUndo, current = doc->itsCurrentUndo;
  if (doc->itsFirstUndo < 0) {
    doc->itsFirstUndo = doc->itsLastUndo = doc->itsCurrentUndo = 1;
  } else if (doc->itsCurrentUndo > 0) {
    int32_t n = doc->itsFirstUndo > 0 ? CountUndos(doc->itsFirstUndo, doc->itsCurrentUndo) : 0;
    doc->itsCurrentUndo = NextSlot(doc->itsCurrentUndo);
    doc->itsLastUndo = doc->itsCurrentUndo;
    if (n >= gTotalUndos) doc->itsFirstUndo = NextSlot(doc->itsFirstUndo);
  }
  if (!SaveState(UndoStatePath(doc->itsCurrentUndo).c_str())) {
    doc->itsFirstUndo = first, doc->itsLastUndo = last, doc->itsCurrentUndo = current;
    return;
  }
  if (name == " ") return;
  doc->itsEdited = true;
  if (UndoNameStack* undo = doc->itsUndoManager) {
    if (!undo->isUndoing()) undo->setActionName(name);
    // The steps offered never outnumber the older snapshots the ring holds.
    undo->keepAtMost(static_cast<size_t>(CountUndos(doc->itsFirstUndo, doc->itsCurrentUndo) - 1));
  }
}

void InitializeUndo() {
  if (!gCurDocument) return;
  gCurDocument->itsFirstUndo = gCurDocument->itsLastUndo = gCurDocument->itsCurrentUndo = -1;
  if (gCurDocument->itsUndoManager) gCurDocument->itsUndoManager->removeAllActions();
  StoreUndo(" ");
}

void SetUndoLevels(int levels) {
  if (levels < 5) levels = 5;
  if (levels > 500) levels = 500;
  gTotalUndos = levels + 1;
}

void DoUndo() { Step(true); }
void DoRedo() { Step(false); }
