// The object elevation sheet.
#include "inspectors/ObjectElevationController.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "model/SelectionState.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

float gDLOGElevation = 0;
uint8_t gDLOGTopoFloat = 0;

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
}

ObjectElevationController::ObjectElevationController(QWidget* parent)
    : SheetController(parent, "ObjectElevationSheet") {
  setWindowTitle(Text("Object Elevation"));
  floatAboveTopoButton = new QCheckBox(Text("Float above topography"), this);
  floatAboveTopoButton->setObjectName("floatAboveTopoButton");
  floatAboveTopoButton->setChecked(gDLOGTopoFloat != 0);
  elevationText = MakeSheetField(this, "elevationText");
  form()->addRow(Text("Elevation:"), elevationText);
  form()->addRow(floatAboveTopoButton);
  connect(floatAboveTopoButton, &QCheckBox::toggled, this, [this] { floatAboveTopoButtonChanged(); });
}

void ObjectElevationController::newObjectElevationSheetForParent(QWidget* parent) {
  if (!parent) return;
  beginSheet(parent, new ObjectElevationController(parent));
}

void ObjectElevationController::initializeControlStates() {
  const DocState* ds = CurDocState();
  gDLOGElevation = ds ? ds->selectionState40.ssBaseElevationValue : 0;
  shownElevation_ = gDLOGElevation;
  SetFloatItem(elevationText, gDLOGElevation);
  if (ds) noteShown(elevationText);
}

void ObjectElevationController::floatAboveTopoButtonChanged() {
  gDLOGTopoFloat = floatAboveTopoButton->isChecked() ? 1 : 0;
  elevationText->setEnabled(!gDLOGTopoFloat);
}

void ObjectElevationController::applySheet(ZLKDocumentModel* doc, DocState* ds) {
  if (!doc->itsLayers) return;
  const SelectionState40& shown = ds->selectionState40;
  if (untouched(elevationText)) {
    // gDLOGElevation still holds the elevation shown.
  } else if (gDLOGTopoFloat) {
    // The elevation field is off while floating above the topography: the elevation it holds
    // is kept, but an entry that is no number there refuses nothing.
    const TypedNumber typed = ReadTypedNumber(elevationText, NumberKind::kLength);
    if (typed.accepted) gDLOGElevation = typed.value;
  } else if (!readNumber(elevationText, NumberKind::kLength, &gDLOGElevation)) {
    return;
  } else if (readsAsShown(elevationText, NumberKind::kLength, gDLOGElevation)) {
    // The elevation shown typed again, as the sheet rounded it: the elevation shown.
    gDLOGElevation = shownElevation_;
  }
  if (!gDLOGTopoFloat && gDLOGElevation == shownElevation_ && !shown.ssStateFresh && shown.ssBaseElevation)
    return;  // the elevation where the selection stands: nothing to change
  if (gDLOGTopoFloat) {
    gTopoFloatNA = 0;
    TopLevelObjectAllLayers(doc->itsLayers, kCmdFloatAboveTopography, CommandArg::None());
    someCouldNotFloat_ = gTopoFloatNA != 0;
  } else {
    gBaseElevation = gDLOGElevation / 12;
    TopLevelObjectAllLayers(doc->itsLayers, kCmdElevateObjects, CommandArg::None());
  }
  ClearSelectionState40(ds, &ds->selectionState40);
  TopLevelObjectAllLayers(doc->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
  UpdateSelectionState40Controls(&ds->selectionState40);
  Refresh();
  // The elevation typed again where the selection stands changes nothing and stores no step.
  StoreUndoIfChanged(LocalizedString("Object Elevation"));
}

void ObjectElevationController::afterClosing() {
  if (!someCouldNotFloat_) return;
  ShowAlert("Unable to elevate some objects.",
            "Wall and cabinet objects cannot float above the topography.  The elevation of these "
            "objects will not be changed.");
}
