// Windows: sizes in plan units shown in inches, the style table, dividers and flips.
#include "inspectors/WindowInspectorController.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "content/ContentCategoryItem.h"
#include "content/ContentPaletteController.h"
#include "inspectors/ValueFields.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/ToolCodes.h"

namespace {
// The steppers' range of divider counts.
constexpr int32_t kMostDividers = 24;

QStringList WindowImageNames() {
  QStringList names;
  for (int row = 0; row < kWindowStyleRows; ++row) names << WindowStyleImageName(row);
  return names;
}

void SetStepper(QDoubleSpinBox* stepper, int32_t value) {
  const bool was = stepper->blockSignals(true);
  stepper->setValue(value);
  stepper->blockSignals(was);
}
}  // namespace

WindowInspectorController::WindowInspectorController()
    : OpeningInspectorBase("WindowInspector"), windowStyleImageArray(WindowStyleImages()) {
  windowStyleTableView = makeStyleTable("windowStyleTableView", windowStyleImageArray, WindowImageNames());
  connect(windowStyleTableView, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) tableViewSelectionDidChange();
  });
  windowWidthText = addField("Width", "windowWidthText");
  windowHeightText = addField("Height", "windowHeightText");
  windowElevationText = addField("Elevation", "windowElevationText");
  windowTrimText = addField("Trim Width", "windowTrimText");
  horDivsText = addField("Horizontal Dividers", "horDivsText");
  horDivsStepper = addStepper(nullptr, "horDivsStepper", 1.0, [this] { horDivsStepperChanged(); }, 0, kMostDividers, 0);
  verDivsText = addField("Vertical Dividers", "verDivsText");
  verDivsStepper = addStepper(nullptr, "verDivsStepper", 1.0, [this] { verDivsSetpperChanged(); }, 0, kMostDividers, 0);
  flipHorizButton = addButton("Flip Horizontally", "flipHorizButton", [this] { flipHorizButtonChanged(); });
  flipVertButton = addButton("Flip Vertically", "flipVertButton", [this] { flipVertButtonChanged(); });
}

WindowInspectorController* WindowInspectorController::sharedInspectorController() {
  static auto* controller = new WindowInspectorController;
  return controller;
}

void WindowInspectorController::enableForStyle(int32_t subtype) {
  windowHeightText->setEnabled(!WindowHeightFollowsWidth(subtype));
  const bool dividers = subtype == kWindowRectangular;
  for (QWidget* w : std::initializer_list<QWidget*>{horDivsText, horDivsStepper, verDivsText, verDivsStepper})
    w->setEnabled(dividers);
  const bool flips = subtype != kWindowRectangular && subtype != kWindowCustom;
  flipHorizButton->setEnabled(flips);
  flipVertButton->setEnabled(flips);
}

void WindowInspectorController::showDividers(int32_t vertical, int32_t horizontal) {
  SetLongItem(horDivsText, horizontal);
  SetLongItem(verDivsText, vertical);
  rememberShown(horDivsText);
  rememberShown(verDivsText);
  SetStepper(horDivsStepper, horizontal);
  SetStepper(verDivsStepper, vertical);
  shownHor_ = horizontal;
  shownVer_ = vertical;
}

void WindowInspectorController::updatePropertiesForObject(Objex* window, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  checkObjects = 0;
  if (!window) {
    SetFloatItem(windowWidthText, ds->windowWidth);
    SetFloatItem(windowHeightText, ds->windowHeight);
    SetFloatItem(windowElevationText, ds->windowElevation());
    SetFloatItem(windowTrimText, ds->windowFrameSize());
    showDividers(ds->windowDividers.x, ds->windowDividers.y);
    const int32_t row = WindowRowOf(ds->windowStyle, ds->windowDividers.x, ds->windowDividers.y);
    selectRow(windowStyleTableView, row);
    for (QWidget* w : std::initializer_list<QWidget*>{windowWidthText, windowElevationText, windowTrimText})
      w->setEnabled(true);
    enableForStyle(ds->windowStyle);
    flipHorizButton->hide();
    flipVertButton->hide();
    checkObjects = 1;
    return;
  }
  auto* r = static_cast<DoorWindowData*>(window->typeData);
  if (window->type != kObjWindow || !r) {
    checkObjects = 1;
    return;
  }
  mergeFloat(windowWidthText, ConvertScreenToWorld(r->width, ds, 0), init);
  mergeFloat(windowHeightText, ConvertScreenToWorld(r->height, ds, 0), init);
  mergeFloat(windowElevationText, ConvertScreenToWorld(r->elevation, ds, 0), init);
  mergeFloat(windowTrimText, r->trimWidth(), init);
  const int32_t row = WindowRowOf(r->subtype, r->verticalDividers(), r->horizontalDividers());
  if (init) {
    showDividers(r->verticalDividers(), r->horizontalDividers());
    gWindowPropertiesStyle = row;
    selectRow(windowStyleTableView, row);
    for (QWidget* w : std::initializer_list<QWidget*>{windowWidthText, windowElevationText, windowTrimText})
      w->setEnabled(true);
    enableForStyle(r->subtype);
  } else {
    if (shownHor_ != r->horizontalDividers()) {
      blankField(horDivsText);
      horDivsStepper->setEnabled(false);
      shownHor_ = -1;
    }
    if (shownVer_ != r->verticalDividers()) {
      blankField(verDivsText);
      verDivsStepper->setEnabled(false);
      shownVer_ = -1;
    }
    if (row != gWindowPropertiesStyle) {
      gWindowPropertiesStyle = -1;
      selectRow(windowStyleTableView, -1);
      for (QWidget* w : std::initializer_list<QWidget*>{windowWidthText, windowHeightText, windowElevationText,
                                                        windowTrimText, horDivsText, verDivsText, horDivsStepper,
                                                        verDivsStepper, flipHorizButton, flipVertButton})
        w->setEnabled(false);
    }
  }
  flipHorizButton->show();
  flipVertButton->show();
  checkObjects = 1;
}

void WindowInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  if (field == windowWidthText)
    return editOpeningLength(field, kObjWindow, 0.01f, false, true, &DoorWindowData::width, ds->windowWidth,
                             "Window Width");
  if (field == windowHeightText)
    return editOpeningLength(field, kObjWindow, 0.01f, false, true, &DoorWindowData::height, ds->windowHeight,
                             "Window Height");
  if (field == windowElevationText)
    return editOpeningLength(field, kObjWindow, -1201.0f, false, true, &DoorWindowData::elevation,
                             ds->windowElevation(), "Window Elevation");
  if (field == windowTrimText)
    return editOpeningLength(field, kObjWindow, 0.01f, false, false, &DoorWindowData::auxValue,
                             ds->windowFrameSize(), "Window Trim Width");
  if (field != horDivsText && field != verDivsText) return;
  int32_t v = 0;
  // Any whole count the record's short can hold is taken (the frame builders bound what
  // they draw). A refused count (an emptied mixed field too) shows the tool default again.
  if (!readWholeNumber(field, &v) || !(v >= INT16_MIN && v <= INT16_MAX)) {
    echoWith(field, [&] { SetLongItem(field, field == horDivsText ? ds->windowDividers.y : ds->windowDividers.x); });
    return;
  }
  const bool horizontal = field == horDivsText;
  QDoubleSpinBox* stepper = horizontal ? horDivsStepper : verDivsStepper;
  SetStepper(stepper, v);
  stepper->setEnabled(true);
  applyDividers(horizontal, v);
}

void WindowInspectorController::applyDividers(bool horizontal, int32_t count) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  walkOpenings(kObjWindow, horizontal ? "Horizontal Window Dividers" : "Vertical Window Dividers",
               [&](Objex*, DoorWindowData* r) {
                 if (r->subtype != kWindowRectangular) return false;
                 int16_t& value = horizontal ? r->horizontalDividers() : r->verticalDividers();
                 if (value == count) return false;
                 value = static_cast<int16_t>(count);
                 return true;
               });
  (horizontal ? ds->windowDividers.y : ds->windowDividers.x) = static_cast<int16_t>(count);
  // What the field shows now is what a refused entry puts back.
  rememberShown(horizontal ? horDivsText : verDivsText);
  (horizontal ? shownHor_ : shownVer_) = count;
}

void WindowInspectorController::horDivsStepperChanged() {
  const int32_t count = static_cast<int32_t>(horDivsStepper->value());
  SetLongItem(horDivsText, count);
  applyDividers(true, count);
}

void WindowInspectorController::verDivsSetpperChanged() {
  const int32_t count = static_cast<int32_t>(verDivsStepper->value());
  SetLongItem(verDivsText, count);
  applyDividers(false, count);
}

void WindowInspectorController::tableViewSelectionDidChange() {
  DocState* ds = InspectorDocState();
  if (checkObjects != 1 || !ds || !InspectorCurLayer()) return;
  const QList<QListWidgetItem*> chosen = windowStyleTableView->selectedItems();
  if (chosen.isEmpty()) return;  // an emptied selection chooses nothing
  const int32_t row = windowStyleTableView->row(chosen.first());
  const int16_t subtype = WindowSubtypeOfRow(row);
  if (subtype < 0) return;
  gWindowPropertiesStyle = row;
  ds->windowStyle = subtype;

  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController()) {
    if (subtype == kWindowCustom && gCurTool == kToolWindow) {
      palette->selectCategory(kCategoryWindows, true);
      palette->setCategorySelectionAbility(false);
    } else {
      palette->setCategorySelectionAbility(true);
    }
  }

  walkOpenings(kObjWindow, "Window Style", [&](Objex* window, DoorWindowData* r) {
    r->subtype = subtype;
    if (WindowHeightFollowsWidth(subtype)) r->height = r->width;
    if (row == 1 && r->verticalDividers() == 0 && r->horizontalDividers() == 1)
      r->verticalDividers() = r->horizontalDividers() = 2;
    else if (row == 19)
      ReadCustomWindowDoorFile(window);
    else if (row == 0) {
      r->verticalDividers() = 0;
      r->horizontalDividers() = 1;
    }
    return true;
  });

  if (row == 0 || row == 1) {
    const int16_t vertical = row == 0 ? 0 : 2, horizontal = row == 0 ? 1 : 2;
    ds->windowDividers.x = vertical;
    ds->windowDividers.y = horizontal;
    showDividers(vertical, horizontal);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{windowWidthText, windowElevationText, windowTrimText})
    w->setEnabled(true);
  enableForStyle(ds->windowStyle);
}

void WindowInspectorController::flipHorizButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  walkOpenings(kObjWindow, "Flip Window Horizontally", [](Objex*, DoorWindowData* r) {
    r->flipHorizontal = r->flipHorizontal ? 0 : 1;
    return true;
  });
}

void WindowInspectorController::flipVertButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  walkOpenings(kObjWindow, "Flip Window Vertically", [](Objex*, DoorWindowData* r) {
    r->flipVertical = r->flipVertical ? 0 : 1;
    return true;
  });
}
