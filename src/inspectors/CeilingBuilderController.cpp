// The ceiling builder sheet.
#include "inspectors/CeilingBuilderController.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>

#include "building3d/CeilingBuilder.h"
#include "files/Undo.h"
#include "inspectors/InspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

// The wall is still a top-level object of the current layer (it may have gone while the
// sheet was open).
bool WallStillThere(const ZLKDocumentModel* doc, const Objex* wall) {
  if (!wall || !doc->itsCurLayer) return false;
  for (const Objex* o = doc->itsCurLayer->firstObject; o; o = o->next)
    if (o == wall) return o->type == kObjWall;
  return false;
}
}  // namespace

CeilingBuilderController::CeilingBuilderController(QWidget* parent)
    : SheetController(parent, "CeilingBuilderSheet") {
  setWindowTitle(Text("Ceiling Builder"));
  auto box = [this](const char* title, const char* name) {
    auto* b = new QCheckBox(Text(title), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setChecked(true);
    return b;
  };
  buildSoffitsButton = box("Build Soffits", "buildSoffitsButton");
  buildFloorsButton = box("Build Floors", "buildFloorsButton");
  buildCeilingsButton = box("Build Ceilings", "buildCeilingsButton");
  joinSoffitsButton = box("Join Soffits", "joinSoffitsButton");
  soffitThicknessText = MakeSheetField(this, "soffitThicknessText");
  soffitElevationText = MakeSheetField(this, "soffitElevationText");
  soffitExtensionText = MakeSheetField(this, "soffitExtensionText");
  floorThicknessText = MakeSheetField(this, "floorThicknessText");
  floorElevationText = MakeSheetField(this, "floorElevationText");
  floorExtensionText = MakeSheetField(this, "floorExtensionText");
  ceilingThicknessText = MakeSheetField(this, "ceilingThicknessText");
  ceilingElevationText = MakeSheetField(this, "ceilingElevationText");
  ceilingExtensionText = MakeSheetField(this, "ceilingExtensionText");

  form()->addRow(buildFloorsButton);
  form()->addRow(Text("Floor Thickness:"), floorThicknessText);
  form()->addRow(Text("Floor Elevation:"), floorElevationText);
  form()->addRow(Text("Floor Extension:"), floorExtensionText);
  form()->addRow(buildCeilingsButton);
  form()->addRow(Text("Ceiling Thickness:"), ceilingThicknessText);
  form()->addRow(Text("Ceiling Elevation:"), ceilingElevationText);
  form()->addRow(Text("Ceiling Extension:"), ceilingExtensionText);
  form()->addRow(buildSoffitsButton);
  form()->addRow(Text("Soffit Thickness:"), soffitThicknessText);
  form()->addRow(Text("Soffit Elevation:"), soffitElevationText);
  form()->addRow(Text("Soffit Extension:"), soffitExtensionText);
  form()->addRow(joinSoffitsButton);

  connect(buildSoffitsButton, &QCheckBox::toggled, this, [this] { buildSoffitsButtonChanged(); });
  connect(buildFloorsButton, &QCheckBox::toggled, this, [this] { buildFloorsButtonChanged(); });
  connect(buildCeilingsButton, &QCheckBox::toggled, this, [this] { buildCeilingsButtonChanged(); });
  for (QLineEdit* field : {soffitThicknessText, soffitElevationText, soffitExtensionText, floorThicknessText,
                           floorElevationText, floorExtensionText, ceilingThicknessText, ceilingElevationText,
                           ceilingExtensionText})
    connect(field, &QLineEdit::editingFinished, this, [this, field] { controlTextDidEndEditing(field); });
}

void CeilingBuilderController::newCeilingBuilderSheetForParent(QWidget* parent) {
  if (!parent || !InitializeAutoCeilingFloorDlgVar()) return;
  beginSheet(parent, new CeilingBuilderController(parent));
}

void CeilingBuilderController::initializeControlStates() {
  SetFloatItem(soffitThicknessText, gSoffitThickness);
  SetFloatItem(soffitElevationText, gSoffitElevation);
  SetFloatItem(soffitExtensionText, gSoffitExtension);
  SetFloatItem(floorThicknessText, gFlooringThickness);
  SetFloatItem(floorElevationText, gFlooringElevation);
  SetFloatItem(floorExtensionText, gFlooringExtension);
  SetFloatItem(ceilingThicknessText, gCeilingThickness);
  SetFloatItem(ceilingElevationText, gCeilingElevation);
  SetFloatItem(ceilingExtensionText, gCeilingExtension);
  joinSoffitsButton->setChecked(gSoffitConfig == 1);
}

void CeilingBuilderController::buildCeilingsButtonChanged() {
  const bool on = buildCeilingsButton->isChecked();
  for (QLineEdit* f : {ceilingThicknessText, ceilingElevationText, ceilingExtensionText}) f->setEnabled(on);
}

void CeilingBuilderController::buildFloorsButtonChanged() {
  const bool on = buildFloorsButton->isChecked();
  for (QLineEdit* f : {floorThicknessText, floorElevationText, floorExtensionText}) f->setEnabled(on);
}

void CeilingBuilderController::buildSoffitsButtonChanged() {
  const bool on = buildSoffitsButton->isChecked();
  for (QLineEdit* f : {soffitThicknessText, soffitElevationText, soffitExtensionText}) f->setEnabled(on);
  joinSoffitsButton->setEnabled(on);
}

void CeilingBuilderController::controlTextDidEndEditing(QLineEdit* field) {
  if (!field) return;
  const TypedNumber n = ReadTypedNumber(field, NumberKind::kLength);
  if (n.accepted) SetFloatItem(field, n.value);
}

void CeilingBuilderController::applySheet(ZLKDocumentModel* doc, DocState*) {
  const bool floors = buildFloorsButton->isChecked();
  const bool ceilings = buildCeilingsButton->isChecked();
  const bool soffits = buildSoffitsButton->isChecked();
  // Every field in use is read first: one refused entry builds nothing and keeps the stored
  // values.
  float v[9] = {};
  QLineEdit* fields[9] = {floorThicknessText,   floorElevationText,   floorExtensionText,
                          ceilingThicknessText, ceilingElevationText, ceilingExtensionText,
                          soffitThicknessText,  soffitElevationText,  soffitExtensionText};
  const bool used[3] = {floors, ceilings, soffits};
  bool ok = true;
  for (int i = 0; i < 9; ++i)
    if (used[i / 3]) ok = readNumber(fields[i], NumberKind::kLength, &v[i]) && ok;
  if (!ok) return;
  Objex* wall = gTheWallObject;
  if (!WallStillThere(doc, wall)) return;

  if (floors) {
    gFlooringThickness = v[0];
    gFlooringElevation = v[1];
    gFlooringExtension = v[2];
  }
  if (ceilings) {
    gCeilingThickness = v[3];
    gCeilingElevation = v[4];
    gCeilingExtension = v[5];
  }
  // Each builder stores its own "Build Ceiling/Floor" step when it made something.
  if (floors || ceilings)
    BuildAutoCeilingFloor(wall, floors, gFlooringThickness, gFlooringElevation, gFlooringExtension, ceilings,
                          gCeilingThickness, gCeilingElevation, gCeilingExtension);
  if (soffits) {
    gSoffitThickness = v[6];
    gSoffitElevation = v[7];
    gSoffitExtension = v[8];
    gSoffitConfig = joinSoffitsButton->isChecked() ? 1 : 0;
    if (wall->firstPoint && wall->firstPoint->next && wall->firstPoint->next->next)
      BuildAutoSoffits(wall, gSoffitThickness, gSoffitElevation, gSoffitExtension, gSoffitConfig);
  }
  SelectObj(wall, kSelectOff, 0);
  Refresh();
  InspectorController::sharedInspectorController()->updatePropertiesState(true);
}
