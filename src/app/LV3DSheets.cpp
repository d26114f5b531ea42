// The 3D window's walk elevation, fly altitude and print settings sheets.
#include "app/LV3DSheets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPageLayout>
#include <QRadioButton>

#include "app/AppController.h"
#include "app/LiveViewController.h"
#include "app/LiveViewExport.h"
#include "app/LiveViewOGLView.h"
#include "app/ZLKDocument.h"
#include "building3d/PlaneObjects.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

// The 3D window comes forward after either camera sheet, OK or not.
void Bring3DWindowForward() {
  if (LiveViewController::exists()) LiveViewController::sharedLiveViewController()->makeKeyAndOrderFront();
}
void Redraw3DView() {
  gRenderDirty = 1;
  gRefreshRender = 1;
  if (LiveViewController::exists())
    if (LiveViewOGLView* view = LiveViewController::sharedLiveViewController()->liveViewOGLView()) view->update();
}
}  // namespace

// ---- Walk elevation ----

WalkElevationController::WalkElevationController(QWidget* parent) : SheetController(parent, "WalkElevationSheet") {
  setWindowTitle(Text("Walkthrough Elevation"));
  elevationText = MakeSheetField(this, "elevationText");
  form()->addRow(Text("Eye height:"), elevationText);
}

void WalkElevationController::newWalkElevationSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new WalkElevationController(parent));
}

void WalkElevationController::initializeControlStates() {
  DocState* ds = CurDocState();
  if (ds) SetFloatItem(elevationText, ConvertScreenToWorld(ds->walkEyeHeight(), ds, 0));
}

void WalkElevationController::applySheet(ZLKDocumentModel*, DocState* ds) {
  float height = 0;
  if (!readNumber(elevationText, NumberKind::kLength, &height)) return;
  ds->walkEyeHeight() = ConvertWorldToScreen(height, ds, 0);
  Redraw3DView();
}

void WalkElevationController::afterClosing() { Bring3DWindowForward(); }

// ---- Fly altitude ----

FlyAltitudeController::FlyAltitudeController(QWidget* parent) : SheetController(parent, "FlyAltitudeSheet") {
  setWindowTitle(Text("Fly Around Altitude"));
  altitudeText = MakeSheetField(this, "altitudeText");
  form()->addRow(Text("Altitude:"), altitudeText);
}

void FlyAltitudeController::newFlyAltitudeSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new FlyAltitudeController(parent));
}

void FlyAltitudeController::initializeControlStates() {
  DocState* ds = CurDocState();
  if (ds) SetFloatItem(altitudeText, ConvertScreenToWorld(ds->flyDistance(), ds, 0));
}

void FlyAltitudeController::applySheet(ZLKDocumentModel*, DocState* ds) {
  float altitude = 0;
  if (!readNumber(altitudeText, NumberKind::kLength, &altitude)) return;
  ds->flyDistance() = ConvertWorldToScreen(altitude, ds, 0);
  Redraw3DView();
}

void FlyAltitudeController::afterClosing() { Bring3DWindowForward(); }

// ---- Print settings ----

LV3DPrintController::LV3DPrintController(QWidget* parent) : SheetController(parent, "LV3DPrintSheet") {
  setWindowTitle(Text("Print 3D View"));
  printSizeButtons = new QButtonGroup(this);
  static const char* const kSizes[3] = {"Fit to Page", "Custom Size", "3D View Size"};
  for (int tag = 0; tag < 3; ++tag) {
    auto* button = new QRadioButton(Text(kSizes[tag]), this);
    button->setObjectName(QString("printSize%1").arg(tag));
    printSizeButtons->addButton(button, tag);
    form()->addRow(button);
  }
  renderQualityPopUpButton = new QComboBox(this);
  renderQualityPopUpButton->setObjectName("renderQualityPopUpButton");
  printImageWidthText = MakeSheetField(this, "printImageWidthText");
  printImageHeightText = MakeSheetField(this, "printImageHeightText");
  form()->addRow(Text("Quality:"), renderQualityPopUpButton);
  form()->addRow(Text("Width:"), printImageWidthText);
  form()->addRow(Text("Height:"), printImageHeightText);
  connect(printSizeButtons, &QButtonGroup::idClicked, this, [this] { printSizeButtonsChanged(); });
}

void LV3DPrintController::newLV3DPrintSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new LV3DPrintController(parent));
}

void LV3DPrintController::initializeControlStates() {
  static const char* const kQualities[] = {"Current Image", "Low Quality (Fast)", "High Quality (Moderate)",
                                           "Ultra-High Quality (Slow)", "Excellent Quality (Very Slow)"};
  renderQualityPopUpButton->clear();
  for (int i = 0; i < 5; ++i) renderQualityPopUpButton->addItem(Text(kQualities[i]), i);
  QSize view(0, 0);
  if (LiveViewController::exists()) view = LiveViewController::sharedLiveViewController()->liveViewOGLViewBounds().size();
  printImageWidthText->setText(QString::number(view.width()));
  printImageHeightText->setText(QString::number(view.height()));
  printSizeButtons->button(0)->setChecked(true);
  printSizeButtonsChanged();
}

void LV3DPrintController::printSizeButtonsChanged() {
  const bool custom = printSizeButtons->checkedId() == 1;
  printImageWidthText->setEnabled(custom);
  printImageHeightText->setEnabled(custom);
}

QSize LV3DPrintController::printSize(int sizeTag, QSize viewSize, QSize printable, int typedWidth, int typedHeight) {
  if (sizeTag == 2) return viewSize;
  if (sizeTag == 0) {
    const int side = std::min(printable.width(), printable.height());
    return {side, side};
  }
  return {std::max(16, typedWidth), std::max(16, typedHeight)};
}

void LV3DPrintController::applySheet(ZLKDocumentModel*, DocState*) {
  auto typed = [](QLineEdit* field) {
    const TypedNumber n = CheckTypedNumber(field->text().toStdString(), NumberKind::kWhole);
    return n.accepted && n.value > 0 ? static_cast<int>(std::min(n.value, 1e6f)) : 0;
  };
  QSize view(0, 0), printable(0, 0);
  if (LiveViewController::exists()) view = LiveViewController::sharedLiveViewController()->liveViewOGLViewBounds().size();
  if (ZLKDocument* document = AppController::mainWindowDocument())
    printable = document->printInfo().paintRect(QPageLayout::Point).size().toSize();
  chosenSize_ = printSize(printSizeButtons->checkedId(), view, printable, typed(printImageWidthText),
                          typed(printImageHeightText));
  chosenQuality_ = static_cast<int16_t>(renderQualityPopUpButton->currentData().toInt());
}

void LV3DPrintController::afterClosing() {
  // The render and the print run once the sheet has gone.
  if (chosenQuality_ < 0 || !LiveViewController::exists()) return;
  LiveViewController::sharedLiveViewController()->print3DLiveViewUsingQuality(chosenQuality_, chosenSize_);
}
