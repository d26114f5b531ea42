// The wall dimension pane. Every point of an attached dimension carries its method; the first
// point's is the one shown and the one the re-measuring reads.
#include "inspectors/WallDimInspectorController.h"

#include <utility>
#include <vector>

#include "inspectors/InspectorPane.h"
#include "inspectors/WallChildWalk.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/WallFields.h"
#include "tools/AttachedWallDims.h"

WallDimInspectorController::WallDimInspectorController() : InspectorPane("WallDimInspector") {
  dimensionFromButtons = addMatrix("Measure From", "dimensionFromButtons",
                                   {{0, QStringLiteral("Wall Centre")}, {1, QStringLiteral("Wall Face")}},
                                   [this] { dimensionFromButtonsChanged(); });
}

WallDimInspectorController* WallDimInspectorController::sharedInspectorController() {
  static auto* controller = new WallDimInspectorController;
  return controller;
}

void WallDimInspectorController::updatePropertiesForObject(Objex* dimension, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!dimension) {
    dimensionFromButtons->selectCellWithTag(ds->wallDimensionFrom);
    return;
  }
  if (dimension->type != kObjComponent || dimension->subtype != kSubDimensionAttachment || !dimension->firstPoint)
    return;
  const int tag = WallOptionOf(dimension->firstPoint);
  if (init) dimensionFromButtons->selectCellWithTag(tag);
  else if (dimensionFromButtons->selectedTag() != tag) dimensionFromButtons->deselectAllCells();
}

void WallDimInspectorController::dimensionFromButtonsChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int tag = dimensionFromButtons->selectedTag();
  if (tag < 0) return;
  // The method is set and the dimension measured again even where it already had the method.
  // A dimension's measure reads the walls alone: all are measured once the methods are set.
  std::vector<std::pair<Objex*, Objex*>> measured;
  const int walls = ForEachSelectedWallChild(kObjComponent, kSubDimensionAttachment, false,
                                             [&](Objex* wall, Objex* dimension) {
                                               for (Poinz* p = dimension->firstPoint; p; p = p->next)
                                                 WallOptionOf(p) = static_cast<int16_t>(tag);
                                               measured.emplace_back(dimension, wall);
                                               return true;
                                             });
  UpdateAttachedDims(InspectorCurLayer(), measured);
  // The tool's default alone is no step: Undo leaves it as it stands.
  if (walls > 0) StoreInspectorUndo("Wall Dimension Method");
  Refresh();
  ds->wallDimensionFrom = static_cast<int16_t>(tag);
}
