// The rotate sheets.
#include "inspectors/RotateObjectsController.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/Bounds.h"
#include "model/CommandWalkers.h"
#include "model/DocumentModel.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/TransformInfo.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

// Radians are shown as a plain number with every digit a float keeps, so that a converted
// angle turns by the same amount as the one typed.
void SetRadians(QLineEdit* field, double radians) { field->setText(QString::number(radians, 'g', 9)); }
}  // namespace

RotateObjectsController::RotateObjectsController(QWidget* parent, const char* layout, bool wholePlan)
    : SheetController(parent, layout), wholePlan_(wholePlan) {
  setWindowTitle(Text(wholePlan ? "Rotate Entire Plan" : "Rotate Objects"));
  angleText = MakeSheetField(this, "angleText");
  form()->addRow(Text("Angle:"), angleText);
  angleUnitSysMatrix = new QButtonGroup(this);
  auto* degrees = new QRadioButton(Text("Degrees"), this);
  auto* radians = new QRadioButton(Text("Radians"), this);
  angleUnitSysMatrix->addButton(degrees, 0);
  angleUnitSysMatrix->addButton(radians, 1);
  degrees->setChecked(true);
  auto* row = new QHBoxLayout;
  row->addWidget(degrees);
  row->addWidget(radians);
  form()->addRow(row);
  connect(angleUnitSysMatrix, &QButtonGroup::idClicked, this, [this] { angleUnitSysMatrixChanged(); });
}

void RotateObjectsController::newRotateObjectsPanelForParent(QWidget* parent) {
  if (!parent) return;
  beginSheet(parent, new RotateObjectsController(parent, "RotateObjectsSheet", false));
}

RotatePlanController::RotatePlanController(QWidget* parent)
    : RotateObjectsController(parent, "RotatePlanSheet", true) {}

void RotatePlanController::newRotatePlanPanelForParent(QWidget* parent) {
  if (!parent) return;
  beginSheet(parent, new RotatePlanController(parent));
}

void RotateObjectsController::initializeControlStates() { SetFloatAngleItem(angleText, 0, 0); }

void RotateObjectsController::angleUnitSysMatrixChanged() {
  const int unit = angleUnitSysMatrix->checkedId();
  if (unit == shownUnit_) return;
  // An entry that is no number stays as typed; OK refuses it.
  const TypedNumber typed = ReadTypedNumber(angleText, unit == 0 ? NumberKind::kRadians : NumberKind::kAngle);
  if (typed.accepted && unit == 0) {
    SetFloatAngleItem(angleText, static_cast<float>(typed.value * 57.29577951308232), 0);
  } else if (typed.accepted && unit == 1) {
    SetRadians(angleText, typed.value * 0.017453292519943295);
  }
  shownUnit_ = unit;
}

void RotateObjectsController::applySheet(ZLKDocumentModel* doc, DocState*) {
  if (!doc->itsLayers) return;
  const bool radians = angleUnitSysMatrix->checkedId() == 1;
  float angle = 0;
  if (!readNumber(angleText, radians ? NumberKind::kRadians : NumberKind::kAngle, &angle)) return;
  if (angle == 0) return;
  Float3DRect box{};
  box.floatTop = box.floatLeft = box.floatBack = 32000;
  box.floatBottom = box.floatRight = box.floatFront = -32000;
  GetAllLayers3DBounds(doc->itsLayers, 1, &box, 1);
  TransformInfo record{};
  record.centre[0] = static_cast<float>(box.floatLeft + (static_cast<double>(box.floatRight) - box.floatLeft) * 0.5);
  record.centre[1] = 0;
  record.centre[2] = static_cast<float>(box.floatBack + (static_cast<double>(box.floatFront) - box.floatBack) * 0.5);
  record.angle = radians ? angle : static_cast<float>(angle * 0.017453292519943295);
  if (!wholePlan_) {
    if (!SelectedObjectAllLayers(doc->itsLayers, 1, kCmdRotateObjects, CommandArg::Transform(&record))) return;
    Refresh();
    StoreUndo(LocalizedString("Rotate"));
    UpdateInspectorPropertiesState(true);
  } else {
    if (!SelectedObjectAllLayers(doc->itsLayers, 0, kCmdRotatePlan, CommandArg::Transform(&record))) return;
    UpdateAllLayerRootBounds(doc->itsLayers, 0, 0, 0);
    Refresh();
    StoreUndo(LocalizedString("Rotate Entire Plan"));
  }
}
