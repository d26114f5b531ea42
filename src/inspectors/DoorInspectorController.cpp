// Doors: sizes in plan units shown in inches, the style table, the swing and the flip.
#include "inspectors/DoorInspectorController.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cmath>

#include "content/ContentPaletteController.h"
#include "inspectors/ValueFields.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;

QStringList DoorImageNames() {
  QStringList names;
  for (int row = 0; row < 4; ++row) names << DoorStyleImageName(row);
  return names;
}

// Which of the swing field and the flip button a door style uses.
bool SwingApplies(int32_t s) { return s == 501 || (s >= 506 && s <= 509) || s == 512; }
bool FlipApplies(int32_t s) { return SwingApplies(s) || s == 503 || s == 510 || s == 511; }
}  // namespace

DoorInspectorController::DoorInspectorController()
    : OpeningInspectorBase("DoorInspector"), doorStyleImageArray(DoorStyleImages()) {
  doorStyleTableView = makeStyleTable("doorStyleTableView", doorStyleImageArray, DoorImageNames());
  connect(doorStyleTableView, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) tableViewSelectionDidChange();
  });
  doorWidthText = addField("Width", "doorWidthText");
  doorHeightText = addField("Height", "doorHeightText");
  doorElevationText = addField("Elevation", "doorElevationText");
  doorTrimText = addField("Trim Width", "doorTrimText");
  doorSwingLabel = addLabel("Swing Angle", "doorSwingLabel");
  doorSwingText = addField("", "doorSwingText");
  flipDoorButton = addButton("Flip Door", "flipDoorButton", [this] { flipDoorButtonDidChange(); });
}

DoorInspectorController* DoorInspectorController::sharedInspectorController() {
  static auto* controller = new DoorInspectorController;
  return controller;
}

void DoorInspectorController::enableForStyle(int32_t subtype) {
  doorSwingText->setEnabled(SwingApplies(subtype));
  flipDoorButton->setEnabled(FlipApplies(subtype));
}

void DoorInspectorController::updatePropertiesForObject(Objex* door, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  checkObjects = 0;
  if (!door) {
    SetFloatItem(doorWidthText, ds->doorWidth);
    SetFloatItem(doorHeightText, ds->doorHeight);
    SetFloatItem(doorElevationText, ds->doorElevation());
    SetFloatItem(doorTrimText, ds->doorFrameSize());
    for (QWidget* w : std::initializer_list<QWidget*>{doorWidthText, doorHeightText, doorElevationText, doorTrimText})
      w->setEnabled(true);
    // The trim rule follows the row shown.
    gDoorPropertiesStyle = DoorRowOf(ds->doorStyle);
    selectRow(doorStyleTableView, gDoorPropertiesStyle);
    doorSwingLabel->hide();
    doorSwingText->hide();
    flipDoorButton->hide();
    checkObjects = 1;
    return;
  }
  auto* r = static_cast<DoorWindowData*>(door->typeData);
  if (door->type != kObjDoor || !r) {
    checkObjects = 1;
    return;
  }
  mergeFloat(doorWidthText, ConvertScreenToWorld(r->width, ds, 0), init);
  mergeFloat(doorHeightText, ConvertScreenToWorld(r->height, ds, 0), init);
  mergeFloat(doorElevationText, ConvertScreenToWorld(r->elevation, ds, 0), init);
  mergeFloat(doorTrimText, r->trimWidth(), init);
  const float degrees = static_cast<float>(r->swingAngle() * kDegreesPerRadian);
  if (init) {
    SetFloatAngleItem(doorSwingText, degrees, 0);
    shownSwing_ = GetFloatAngleItem(doorSwingText, 0);
    swingBlank_ = false;
    prevDoorSwingAngle = degrees;
  } else if (swingBlank_ || std::fabs(shownSwing_ - degrees) > 0.00005f) {
    doorSwingText->clear();
    swingBlank_ = true;
  }
  const int32_t row = DoorRowOf(r->subtype);
  if (init) {
    gDoorPropertiesStyle = row;
    selectRow(doorStyleTableView, row);
    for (QWidget* w : std::initializer_list<QWidget*>{doorWidthText, doorHeightText, doorElevationText, doorTrimText})
      w->setEnabled(true);
    enableForStyle(r->subtype);
  } else if (row != gDoorPropertiesStyle) {
    gDoorPropertiesStyle = -1;
    selectRow(doorStyleTableView, -1);
    for (QWidget* w : std::initializer_list<QWidget*>{doorWidthText, doorHeightText, doorElevationText, doorTrimText,
                                                      doorSwingText, flipDoorButton})
      w->setEnabled(false);
  }
  doorSwingLabel->show();
  doorSwingText->show();
  flipDoorButton->show();
  checkObjects = 1;
}

void DoorInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  if (field == doorWidthText)
    return editOpeningLength(field, kObjDoor, 0.01f, false, true, &DoorWindowData::width, ds->doorWidth,
                             "Door Width");
  if (field == doorHeightText)
    return editOpeningLength(field, kObjDoor, 0.01f, false, true, &DoorWindowData::height, ds->doorHeight,
                             "Door Height");
  if (field == doorElevationText)
    return editOpeningLength(field, kObjDoor, -1201.0f, false, true, &DoorWindowData::elevation,
                             ds->doorElevation(), "Door Elevation");
  if (field == doorTrimText) {
    // Frames without a leaf may go without trim.
    const bool bare = gDoorPropertiesStyle >= 0 && gDoorPropertiesStyle <= 2;
    return editOpeningLength(field, kObjDoor, bare ? 0.0f : 0.01f, true, false, &DoorWindowData::auxValue,
                             ds->doorFrameSize(), "Door Trim Width");
  }
  if (field == doorSwingText) editSwing();
}

void DoorInspectorController::editSwing() {
  float a = 0;
  // A refused angle (an emptied mixed field too) shows the angle last shown or accepted.
  if (!readNumber(doorSwingText, NumberKind::kAngle, &a) || !(a >= -360.0f && a <= 360.0f)) {
    echoWith(doorSwingText, [&] { SetFloatAngleItem(doorSwingText, prevDoorSwingAngle, 0); });
    return;
  }
  const float radians = static_cast<float>(a * kRadiansPerDegree);
  const int16_t side = DoorSwingSide(a);
  walkOpenings(kObjDoor, "Door Swing Angle", [&](Objex*, DoorWindowData* r) {
    if (r->swingAngle() == radians) return false;
    r->swingAngle() = radians;
    r->flipVertical = side;
    return true;
  });
  prevDoorSwingAngle = a;
  echoWith(doorSwingText, [&] { SetFloatAngleItem(doorSwingText, a, 0); });
  shownSwing_ = GetFloatAngleItem(doorSwingText, 0);
  swingBlank_ = false;
}

void DoorInspectorController::tableViewSelectionDidChange() {
  DocState* ds = InspectorDocState();
  if (checkObjects != 1 || !ds || !InspectorCurLayer()) return;
  const QList<QListWidgetItem*> chosen = doorStyleTableView->selectedItems();
  if (chosen.isEmpty()) return;  // an emptied selection chooses nothing
  const int32_t row = doorStyleTableView->row(chosen.first());
  if (row < 0 || row > 3) return;
  const int16_t subtype = static_cast<int16_t>(500 + row);
  gDoorPropertiesStyle = row;
  ds->doorStyle = subtype;
  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController())
    palette->setCategorySelectionAbility(true);
  walkOpenings(kObjDoor, "Door Style", [&](Objex*, DoorWindowData* r) {
    if (r->subtype == subtype) return false;
    r->subtype = subtype;
    return true;
  });
  for (QWidget* w : std::initializer_list<QWidget*>{doorWidthText, doorHeightText, doorElevationText, doorTrimText})
    w->setEnabled(true);
  enableForStyle(ds->doorStyle);
}

void DoorInspectorController::flipDoorButtonDidChange() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  walkOpenings(kObjDoor, "Flip Door", [](Objex*, DoorWindowData* r) {
    r->flipHorizontal = r->flipHorizontal ? 0 : 1;
    return true;
  });
}
