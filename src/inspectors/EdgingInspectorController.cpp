// The edging pane: the style word of an edging (0 curved, anything else straight) and the
// edging tool's style flag.
#include "inspectors/EdgingInspectorController.h"

#include "model/DocState.h"
#include "model/Grouping.h"
#include "model/Records.h"
#include "model/Services.h"
#include "tools/SiteTools.h"

namespace {
int32_t& EdgingStyleOf(Objex* edging) { return edging->extraFlags; }
}  // namespace

EdgingInspectorController::EdgingInspectorController() : InspectorPane("EdgingInspector") {
  edgingStyleButtons = addMatrix("Style", "edgingStyleButtons",
                                 {{0, QStringLiteral("Curved")}, {1, QStringLiteral("Straight")}},
                                 [this] { edgingStyleButtonsChanged(); });
}

EdgingInspectorController* EdgingInspectorController::sharedInspectorController() {
  static auto* controller = new EdgingInspectorController;
  return controller;
}

void EdgingInspectorController::updatePropertiesForObject(Objex* edging, bool init) {
  if (!InspectorDocState()) return;
  Fill fill(this);
  if (!edging) {
    edgingStyleButtons->selectCellWithTag(gEdgingStyleFlag ? 1 : 0);
    return;
  }
  if (edging->type != kObjEdging) return;
  const int tag = EdgingStyleOf(edging) ? 1 : 0;
  if (init) edgingStyleButtons->selectCellWithTag(tag);
  else if (edgingStyleButtons->selectedTag() != tag) edgingStyleButtons->deselectAllCells();
}

void EdgingInspectorController::edgingStyleButtonsChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  const int tag = edgingStyleButtons->selectedTag();
  if (tag < 0) return;
  bool changed = false;
  ForEachSelectedOfType(kObjEdging, [&](Objex* edging) {
    if (EdgingStyleOf(edging) == tag) return;
    EdgingStyleOf(edging) = tag;
    if (tag == 0) SmoothObject(edging);
    else UnsmoothObject(edging);
    UpdateEdgingObject(edging);
    ReRenderObject(edging);
    changed = true;
  });
  if (changed || tag != gEdgingStyleFlag) StoreInspectorUndo("Edging Style");
  Refresh();
  gEdgingStyleFlag = static_cast<uint8_t>(tag);
}
