// The pane of paths and driveways: the width and the style tag the path rebuild reads.
#include "inspectors/PathwayInspectorController.h"

#include <QLineEdit>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "model/Records.h"

namespace {
// The style of a path is the flag word after its option word.
int32_t& PathStyleOf(Objex* path) { return path->extraFlags; }
void RebuildPath(Objex* path) {
  Update3DPath(path);
  ReRenderObject(path);
}
}  // namespace

PathwayInspectorController::PathwayInspectorController() : InspectorPane("PathwayInspector") {
  pathStyleButtons = addMatrix("Style", "pathStyleButtons",
                               {{0, QStringLiteral("Curved")}, {1, QStringLiteral("Straight")}},
                               [this] { pathStyleButtonsChanged(); });
  pathWidthText = addField("Width", "pathWidthText");
}

PathwayInspectorController* PathwayInspectorController::sharedInspectorController() {
  static auto* controller = new PathwayInspectorController;
  return controller;
}

void PathwayInspectorController::updatePropertiesForObject(Objex* path, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  if (!path) {
    SetFloatItem(pathWidthText, ds->pathWidth);
    pathStyleButtons->selectCellWithTag(ds->pathStyle);
    return;
  }
  if (path->type != kObjPath) return;
  mergeFloat(pathWidthText, path->width, init);
  if (init) pathStyleButtons->selectCellWithTag(PathStyleOf(path));
  else if (pathStyleButtons->selectedTag() != PathStyleOf(path)) pathStyleButtons->deselectAllCells();
}

void PathwayInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer() || field != pathWidthText) return;
  editObjectFloat(field, kObjPath, 0.01f, 10000.0f, [](Objex* o) -> float& { return o->width; }, ds->pathWidth,
                  "Pathway Width", true, RebuildPath);
}

void PathwayInspectorController::pathStyleButtonsChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int tag = pathStyleButtons->selectedTag();
  if (tag < 0) return;
  bool changed = false;
  ForEachSelectedOfType(kObjPath, [&](Objex* path) {
    if (PathStyleOf(path) == tag) return;
    PathStyleOf(path) = tag;
    RebuildPath(path);
    changed = true;
  });
  if (changed || ds->pathStyle != tag) StoreInspectorUndo("Pathway Style");
  Refresh();
  ds->pathStyle = static_cast<int16_t>(tag);
}
