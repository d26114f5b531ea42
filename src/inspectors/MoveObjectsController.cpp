// The move sheets.
#include "inspectors/MoveObjectsController.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/CommandWalkers.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/TransformInfo.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
}

MoveObjectsController::MoveObjectsController(QWidget* parent, const char* layout, bool wholePlan)
    : SheetController(parent, layout), wholePlan_(wholePlan) {
  setWindowTitle(Text(wholePlan ? "Move Entire Plan" : "Move Objects"));
  coordinateSysMatrix = new QButtonGroup(this);
  auto* rectangular = new QRadioButton(Text("Rectangular"), this);
  auto* polar = new QRadioButton(Text("Polar"), this);
  coordinateSysMatrix->addButton(rectangular, 0);
  coordinateSysMatrix->addButton(polar, 1);
  rectangular->setChecked(true);
  auto* row = new QHBoxLayout;
  row->addWidget(rectangular);
  row->addWidget(polar);
  form()->addRow(row);
  horizDistLabel = new QLabel(Text("X-Axis:"), this);
  vertDistLabel = new QLabel(Text("Y-Axis:"), this);
  horizDistText = MakeSheetField(this, "horizDistText");
  vertDistText = MakeSheetField(this, "vertDistText");
  form()->addRow(horizDistLabel, horizDistText);
  form()->addRow(vertDistLabel, vertDistText);
  connect(coordinateSysMatrix, &QButtonGroup::idClicked, this, [this] { coordinateSysMatrixChanged(); });
}

void MoveObjectsController::newMoveObjectsPanelForParent(QWidget* parent) {
  if (!parent) return;
  beginSheet(parent, new MoveObjectsController(parent, "MoveObjectsSheet", false));
}

MovePlanController::MovePlanController(QWidget* parent) : MoveObjectsController(parent, "MovePlanSheet", true) {}

void MovePlanController::newMovePlanPanelForParent(QWidget* parent) {
  if (!parent) return;
  beginSheet(parent, new MovePlanController(parent));
}

void MoveObjectsController::initializeControlStates() {
  SetFloatItem(horizDistText, 0);
  SetFloatItem(vertDistText, 0);
}

void MoveObjectsController::coordinateSysMatrixChanged() {
  switch (coordinateSysMatrix->checkedId()) {
    case 0:
      horizDistLabel->setText(Text("X-Axis:"));
      vertDistLabel->setText(Text("Y-Axis:"));
      SetFloatItem(horizDistText, 0);
      SetFloatItem(vertDistText, 0);
      break;
    case 1:
      horizDistLabel->setText(Text("Angle:"));
      vertDistLabel->setText(Text("Distance:"));
      SetFloatAngleItem(horizDistText, 0, 0);
      SetFloatItem(vertDistText, 0);
      break;
    default:
      break;
  }
}

void MoveObjectsController::applySheet(ZLKDocumentModel* doc, DocState* ds) {
  if (!doc->itsLayers) return;
  TransformInfo record{};
  switch (coordinateSysMatrix->checkedId()) {
    case 0: {
      float x = 0, y = 0;
      if (!readNumber(horizDistText, NumberKind::kLength, &x) || !readNumber(vertDistText, NumberKind::kLength, &y))
        return;
      if (x == 0 && y == 0) return;
      record.delta[0] = ConvertWorldToScreen(x, ds, 0);
      record.delta[2] = -ConvertWorldToScreen(y, ds, 0);
      break;
    }
    case 1: {
      float angle = 0, distance = 0;
      if (!readNumber(horizDistText, NumberKind::kAngle, &angle) ||
          !readNumber(vertDistText, NumberKind::kLength, &distance))
        return;
      if (distance == 0) return;
      float dx = 0, dy = 0;
      GetPointFromLengthAndAngle(static_cast<float>(angle * 0.017453292519943295),
                                 ConvertWorldToScreen(distance, ds, 0), &dx, &dy);
      record.delta[0] = dx;
      record.delta[2] = dy;
      break;
    }
    default:
      return;
  }
  // A move that would take points off the plan is refused whole by the walker, which says so.
  if (!wholePlan_) {
    if (!SelectedObjectAllLayers(doc->itsLayers, 0, kCmdTranslateObjects, CommandArg::Transform(&record))) return;
    Refresh();
    StoreUndo(LocalizedString("Move"));
  } else {
    if (!SelectedObjectAllLayers(doc->itsLayers, 0, kCmdMovePlan, CommandArg::Transform(&record))) return;
    UpdateAllLayerRootBounds(doc->itsLayers, 0, 0, 0);
    Refresh();
    StoreUndo(LocalizedString("Move Entire Plan"));
  }
}
