// Copy and paste through the private scrap.
#include "files/Clipboard.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "files/Undo.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "model/PaletteLinks.h"
#include "model/ParallelObjects.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/SelectionClick.h"
#include "model/TransformInfo.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "platform/Alerts.h"

char gClipboardLayerName[256] = {};
Layer* gClipboardLayer = nullptr;
ZLKDocumentModel* gClipboardDoc = nullptr;
int32_t gClipboardDocID = -1;
float gPasteOffset = 36.0f;
uint8_t gUnlinkClipBoardFromPalette = 0;

namespace {

constexpr float kPasteStep = 36.0f;

void SetPlanView(DocState* ds) {
  gXViewAngle = 90;
  gYViewAngle = 0;
  gPerspective = 0;
  ds->viewPlane = 2;
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle,
                                     &gCosYAngle, &gSinYAngle, gPerspective);
}

// Reads the scrap into the current layer in insert mode; the objects arrive selected at the
// end of its list. The scrap is read as a bounded input buffer, so a stream without its end
// tag ends the read. False when the scrap is damaged (nothing is added then).
bool ReadScrapObjects() {
  SetInputBuffer(gStream.privateScrap, gStream.scrapLength);
  const uint8_t savedOpen = gOpenSymbol, savedTopo = gReadingTopoLayer, savedScrap = gScrapMode;
  sInputVersion = kVersionDesign11100;
  sInputPlatform = kPlatformApple;
  gOpenSymbol = gScrapMode = 1;
  gReadingTopoLayer = 0;
  const bool ok = InsertObjectsFromStream();
  gOpenSymbol = savedOpen;
  gReadingTopoLayer = savedTopo;
  gScrapMode = savedScrap;
  ReleaseInputBuffer();
  return ok;
}

// Adds the objects pasted after `tail` (the whole floor without one) to the known selection,
// after the floors up to the target's: they end its list. A floor outside the design's list
// of floors is not walked by the floors' walks, and so adds nothing.
void AddPastedObjects(KnownSelection* known, Layer* target, Objex* tail) {
  size_t at = 0;
  Layer* l = known->firstLayer;
  for (; l; l = l->next) {
    while (at < known->tops.size() && known->tops[at].layer == l) ++at;
    if (l == target) break;
  }
  if (!l) return;
  std::vector<KnownSelection::Top> pasted;
  for (Objex* o = tail ? tail->next : target->firstObject; o; o = o->next) pasted.push_back({o, target});
  known->tops.insert(known->tops.begin() + static_cast<std::ptrdiff_t>(at), pasted.begin(), pasted.end());
}

// Symbol-editor and section-detail groups do not survive a paste; the rest lose their
// palette links when they come from another document.
void SettlePastedObjects(Layer* layer, Objex* tail) {
  Objex* o = tail ? tail->next : layer->firstObject;
  while (o) {
    Objex* next = o->next;
    if (o->type == kObjGroup && o->groupMarker && o->subtype != kSubCabinet) {
      DeleteObjItem(o);
    } else if (gClipBoardPalette && gUnlinkClipBoardFromPalette) {
      ConvertObjPaletteLinksToActual(o);
    }
    o = next;
  }
}

// What a paste leaves for the next paste into the same floor: the objects that alone may then
// hold selected points on shown floors, what the objects outside them say to a deselection,
// and the still walls of the floor's dimension refresh. Trusted only while the design is as
// the paste left it: nothing edited (DesignEditCount), no record made (the ID counters), the
// same floors shown and selectable as at its deselection and the same tool. The floor then
// ends with the object the paste left last, and had no group without members.
struct PasteCarry {
  struct Floor {
    Layer* layer;
    uint8_t visible, selectable;
  };
  bool kept = false;
  const ZLKDocumentModel* doc = nullptr;
  const DocState* docState = nullptr;
  Layer* target = nullptr;
  Objex* last = nullptr;
  uint64_t edits = 0;
  uint32_t nextObjectID = 0, nextPointID = 0;
  uint16_t tool = 0;
  uint8_t pointOrientation = 0;
  float worldToPlan = 0;  // how far the dimensions reach in the plan depends on it
  std::vector<Floor> floors;  // as at the deselection
  KnownSelection selection;
  std::vector<uint8_t> othersPass;
  MovedWallDimensions* dimensions = nullptr;

  void forget() {
    kept = false;
    selection.tops.clear();
    othersPass.clear();
    MovedWallDimensionRefresh::End(dimensions);
    dimensions = nullptr;
  }
};
PasteCarry sCarry;
bool sLastPasteWentOn = false;

std::vector<PasteCarry::Floor> FloorsOf(Layer* layers) {
  std::vector<PasteCarry::Floor> floors;
  for (Layer* l = layers; l; l = l->next) floors.push_back({l, l->visible, l->selectable});
  return floors;
}

bool SameFloors(const std::vector<PasteCarry::Floor>& a, const std::vector<PasteCarry::Floor>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].layer != b[i].layer || a[i].visible != b[i].visible || a[i].selectable != b[i].selectable) return false;
  return true;
}

// Whether the design is still as the last paste left it (before this paste changes anything
// but the floors' flags it sets for itself).
bool CarryHolds(const ZLKDocumentModel* doc, Layer* target, const std::vector<PasteCarry::Floor>& floors) {
  const PasteCarry& c = sCarry;
  return c.kept && doc && c.doc == doc && doc->itsDocState && c.docState == doc->itsDocState && target &&
         c.target == target && c.edits == DesignEditCount() && c.nextObjectID == doc->itsDocState->nextObjectID &&
         c.nextPointID == doc->itsDocState->nextPointID && c.tool == gCurTool &&
         c.pointOrientation == gPointOrientation && c.worldToPlan == ConvertWorldToScreen(1000.0f, doc->itsDocState, 0) &&
         SameFloors(c.floors, floors) && LastObjectOfLayer(target) == c.last;
}

}  // namespace

void ForgetPasteCarry() { sCarry.forget(); }
bool PasteCarryKept() { return sCarry.kept; }
bool LastPasteWentOn() { return sLastPasteWentOn; }

void StoreUndoAfterPaste(const std::string& name) {
  const bool held = sCarry.kept && sCarry.edits == DesignEditCount();
  StoreUndo(name);
  if (held) sCarry.edits = DesignEditCount();
}

void DoCopyObjects() {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc) return;
  gPasteOffset = 0;
  DocState* ds = doc->itsDocState;
  if (!ds) return;
  FreeScrap();
  Layer* cur = doc->itsCurLayer;
  snprintf(gClipboardLayerName, sizeof gClipboardLayerName, "%s", cur ? cur->name : "");
  gClipboardLayer = cur;
  gClipboardDoc = doc;
  gClipboardDocID = doc->itsDocID;
  CreateClipBoardPaletteList();

  BeginScrapWrite();
  gScrapMode = 1;
  sWriteVersion = sInputVersion = kVersionDesign11100;
  sInputPlatform = kPlatformApple;
  SelectedObjectAllLayers(doc->itsLayers, 1, kCmdSelectObject, CommandArg::Doc(ds));
  DoWriteObjects();
  gScrapMode = 0;
  EndScrap();
  gStream.scrapIndex = 0;
}

void DoPasteObjects() {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState || !gStream.privateScrap || gStream.scrapLength == 0) return;
  DocState* ds = doc->itsDocState;
  sLastPasteWentOn = false;

  // The objects go back to the floor they came from.
  Layer* before = doc->itsCurLayer;
  Layer* source = gClipboardLayer ? GetLayerFromName(gClipboardLayerName) : nullptr;
  uint8_t sourceVisible = 0, sourceSelectable = 0;
  if (source) {
    sourceVisible = source->visible;
    sourceSelectable = source->selectable;
    source->visible = source->selectable = 1;
    if (source != doc->itsCurLayer)
      ShowAlert("Unable to paste objects to current floor.",
                "To paste objects from another floor, use the \"Copy to Floor\" option.  The "
                "objects will be pasted to the floor from which they came.");
    doc->itsCurLayer = source;
  }

  const bool otherDocument = (gClipboardDoc && gClipboardDoc != doc) || gClipboardDocID != doc->itsDocID;
  if (otherDocument) gUnlinkClipBoardFromPalette = gLinkClipBoardToCurPalette = 1;
  else gUnlinkClipBoardFromPalette = 0;

  SetPlanView(ds);
  // What the last paste into this floor left is trusted only while nothing has changed since.
  Layer* target = doc->itsCurLayer;
  const std::vector<PasteCarry::Floor> floors = FloorsOf(doc->itsLayers);
  bool carried = CarryHolds(doc, target, floors);
  MovedWallDimensions* carriedDimensions = carried ? sCarry.dimensions : nullptr;  // ended unless gone on with
  if (carried) sCarry.dimensions = nullptr;
  std::vector<uint8_t> othersPass;
  if (carried) othersPass.swap(sCarry.othersPass);
  KnownSelection known;
  if (carried) known.tops.swap(sCarry.selection.tops), known.firstLayer = sCarry.selection.firstLayer;
  sCarry.forget();
  const uint16_t tool = gCurTool;
  const uint8_t pointOrientation = gPointOrientation;
  // Everything is deselected; what stays selected on the shown floors (a floor that cannot be
  // selected keeps its selection) and the pasted objects are then all that can hold selected
  // points there, and the walks that follow go over only those. After a paste into the same
  // floor with nothing changed since, the objects that paste left selected are the only ones
  // that can hold selected points.
  KnownSelection selection;
  carried = carried && DeselectKnownNotingLeft(doc->itsLayers, known, &othersPass, &selection);
  if (!carried) DeselectAllLayersNotingLeft(doc->itsLayers, &selection, &othersPass);
  carried = carried && target == doc->itsCurLayer;
  sLastPasteWentOn = carried;
  if (!carried) {
    MovedWallDimensionRefresh::End(carriedDimensions);
    carriedDimensions = nullptr;
  }
  target = doc->itsCurLayer;
  Objex* tail = LastObjectOfLayer(target);
  const bool pasted = target && ReadScrapObjects();
  MovedWallDimensions* released = nullptr;
  if (pasted) {
    SettlePastedObjects(target, tail);
    AddPastedObjects(&selection, target, tail);
    if (!gMirroring) {
      // Only the pasted objects move (nothing else on the floor is left selected): the floor's
      // wall dimensions are measured where the pasted walls can have changed them.
      std::optional<MovedWallDimensionRefresh> dimensions;
      if (target->visible && target->selectable)
        dimensions.emplace(target, tail ? tail->next : target->firstObject, carriedDimensions);
      else
        MovedWallDimensionRefresh::End(carriedDimensions);
      carriedDimensions = nullptr;
      FloatRect moved;
      CenterKnownObjectsInWindow(&selection, &moved);
      TransformInfo offset{};
      offset.delta[0] = gPasteOffset;
      offset.delta[2] = gPasteOffset;
      offset.scale[0] = offset.scale[1] = offset.scale[2] = 1;
      SelectedKnownObjects(&selection, kCmdTranslateObjects, CommandArg::Transform(&offset));
      gPasteOffset += kPasteStep;
      if (dimensions) released = dimensions->release();
    }
  }
  MovedWallDimensionRefresh::End(carriedDimensions);  // not gone on with this time
  const uint64_t settled = DesignEditCount();

  // Groups left without members. After a paste into the same floor with nothing changed since,
  // the floor had none but among the objects this paste read or moved.
  const bool listed = FloorListHolds(doc->itsLayers, target);
  if (target && carried && listed) {
    for (size_t i = 0; i < selection.tops.size();) {
      Objex* o = selection.tops[i].object;
      if (selection.tops[i].layer == target && o->layer == target && !o->parent && o->type == kObjGroup &&
          !o->firstChild) {
        selection.tops.erase(selection.tops.begin() + static_cast<std::ptrdiff_t>(i));
        DeleteObj(o);
        continue;
      }
      ++i;
    }
  } else if (target) {
    for (Objex* o = target->firstObject; o;) {
      Objex* next = o->next;
      if (o->type == kObjGroup && !o->firstChild) {
        std::erase_if(selection.tops, [o](const KnownSelection::Top& t) { return t.object == o; });
        DeleteObj(o);
      }
      o = next;
    }
  }
  if (GetCurrentView() != kCmdViewTop) ViewTop();
  {
    // The inspector looks over the current floor, which must then be one the known walks cover.
    KnownSelectionScope scope(FloorListHolds(doc->itsLayers, doc->itsCurLayer) ? &selection : nullptr);
    ResetStandardTool(1);
  }
  if (source) {
    source->visible = sourceVisible;
    source->selectable = sourceSelectable;
    doc->itsCurLayer = before;
  }
  RenderAllLayers();
  Refresh();
  // The read raised the counters above every ID of the design, and the records made since
  // took theirs from the counters: the next paste need not walk the design for its IDs while
  // the counters stand here.
  if (pasted) NoteIDsBelowCounters();

  // Kept for the next paste when nothing since the move has changed the design (a group
  // deleted, anything the tool's reset or the redraw did): the selection is then the one the
  // move left, and the floor ends with the moved objects where the dimensions last saw them.
  if (target && listed && DesignEditCount() == settled && gCurDocument == doc && doc->itsDocState == ds) {
    PasteCarry& c = sCarry;
    c.kept = true;
    c.doc = doc;
    c.docState = ds;
    c.target = target;
    c.last = LastObjectOfLayer(target);
    c.edits = DesignEditCount();
    c.nextObjectID = ds->nextObjectID;
    c.nextPointID = ds->nextPointID;
    c.tool = tool;
    c.pointOrientation = pointOrientation;
    c.worldToPlan = ConvertWorldToScreen(1000.0f, ds, 0);
    c.floors = floors;
    c.selection = std::move(selection);
    c.othersPass = std::move(othersPass);
    c.dimensions = released;
  } else {
    MovedWallDimensionRefresh::End(released);
  }
}
