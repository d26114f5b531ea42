// The 3D window's sheets.
#include "app/LiveViewSheets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPageLayout>
#include <QRadioButton>
#include <algorithm>

#include "app/AppController.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "app/ZLKDocument.h"
#include "building3d/PlaneObjects.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "render3d/Navigation.h"
#include "render3d/SceneFrame.h"

namespace {

QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
// Degrees to radians as the single-precision constant the camera code uses.
constexpr float kDegreesToRadians = 0.01745329238474369f;

void Redraw3DView() {
  gRenderDirty = 1;
  gRefreshRender = 1;
  if (LiveViewController::exists())
    if (QWidget* view = LiveViewController::sharedLiveViewController()->liveViewOGLView()) view->update();
}

void Bring3DWindowToFront() {
  if (LiveViewController::exists()) LiveViewController::sharedLiveViewController()->makeKeyAndOrderFront();
}

}  // namespace

// ---- Walk elevation ----

WalkElevationController::WalkElevationController(QWidget* parent) : SheetController(parent, "WalkElevationSheet") {
  setWindowTitle(Text("Walk-Through Elevation"));
  elevationText = MakeSheetField(this, "elevationText");
  form()->addRow(Text("Eye height:"), elevationText);
}

void WalkElevationController::newWalkElevationSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new WalkElevationController(parent));
}

void WalkElevationController::initializeControlStates() {
  const DocState* ds = CurDocState();
  SetFloatItem(elevationText, ds ? ConvertScreenToWorld(ds->walkElevation, ds, 0) : 0);
}

void WalkElevationController::applySheet(ZLKDocumentModel*, DocState* ds) {
  float typed = 0;
  if (!readNumber(elevationText, NumberKind::kLength, &typed)) return;
  ds->walkElevation = ConvertWorldToScreen(typed, ds, 0);
  if (ds->navigationMode == kNavWalkThrough)
    SetCameraPosition(ds->walkPosition.floatH, ds->walkElevation, -ds->walkPosition.floatV);
  Redraw3DView();
}

void WalkElevationController::afterClosing() { Bring3DWindowToFront(); }

// ---- Fly altitude ----

FlyAltitudeController::FlyAltitudeController(QWidget* parent) : SheetController(parent, "FlyAltitudeSheet") {
  setWindowTitle(Text("Fly-Around Altitude"));
  altitudeText = MakeSheetField(this, "altitudeText");
  form()->addRow(Text("Altitude:"), altitudeText);
}

void FlyAltitudeController::newFlyAltitudeSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new FlyAltitudeController(parent));
}

void FlyAltitudeController::initializeControlStates() {
  const DocState* ds = CurDocState();
  SetFloatItem(altitudeText, ds ? ConvertScreenToWorld(ds->flyAltitude, ds, 0) : 0);
}

void FlyAltitudeController::applySheet(ZLKDocumentModel*, DocState* ds) {
  float typed = 0;
  if (!readNumber(altitudeText, NumberKind::kLength, &typed)) return;
  ds->flyAltitude = ConvertWorldToScreen(typed, ds, 0);
  if (ds->navigationMode == kNavFlyAround) {
    float a = 0, b = 0, c = 0, d = 0;
    GetPointFromLengthAndAngle(ds->flyAngle * kDegreesToRadians, ds->flyAltitude, &a, &b);
    GetPointFromLengthAndAngle(ds->flyPitch * kDegreesToRadians, a, &c, &d);
    SetCameraPosition(-c, -b, -d);
    SetCameraAngle(c, b, d);
  }
  Redraw3DView();
}

void FlyAltitudeController::afterClosing() { Bring3DWindowToFront(); }

// ---- Printing the 3D view ----

LV3DPrintController::LV3DPrintController(QWidget* parent) : SheetController(parent, "LV3DPrintSheet") {
  setWindowTitle(Text("Print 3D View"));
  renderQualityPopUpButton = new QComboBox(this);
  renderQualityPopUpButton->setObjectName("renderQualityPopUpButton");
  form()->addRow(Text("Quality:"), renderQualityPopUpButton);
  printSizeButtons = new QButtonGroup(this);
  printSizeButtons->setObjectName("printSizeButtons");
  auto* sizes = new QVBoxLayout;
  const char* const titles[3] = {"Fit to Page", "Custom Size", "3D View Size"};
  for (int tag = kPrintSizeFitPage; tag <= kPrintSizeView; ++tag) {
    auto* cell = new QRadioButton(Text(titles[tag]), this);
    cell->setObjectName(QStringLiteral("printSizeCell%1").arg(tag));
    printSizeButtons->addButton(cell, tag);
    sizes->addWidget(cell);
  }
  form()->addRow(Text("Size:"), sizes);
  printImageWidthText = MakeSheetField(this, "printImageWidthText");
  printImageHeightText = MakeSheetField(this, "printImageHeightText");
  form()->addRow(Text("Width:"), printImageWidthText);
  form()->addRow(Text("Height:"), printImageHeightText);
  connect(printSizeButtons, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) printSizeButtonsChanged();
  });
}

void LV3DPrintController::newLV3DPrintSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new LV3DPrintController(parent));
}

void LV3DPrintController::initializeControlStates() {
  static const char* const kQualities[] = {"Current Image", "Low Quality (Fast)", "High Quality (Moderate)",
                                           "Ultra-High Quality (Slow)", "Excellent Quality (Very Slow)"};
  renderQualityPopUpButton->clear();
  for (int tag = 0; tag < 5; ++tag) renderQualityPopUpButton->addItem(Text(kQualities[tag]), tag);
  const QRect bounds = LiveViewController::sharedLiveViewController()->liveViewOGLViewBounds();
  SetLongItem(printImageWidthText, bounds.width());
  SetLongItem(printImageHeightText, bounds.height());
  if (!printSizeButtons->checkedButton()) printSizeButtons->button(kPrintSizeFitPage)->setChecked(true);
  printSizeButtonsChanged();
}

void LV3DPrintController::printSizeButtonsChanged() {
  const bool custom = printSizeButtons->checkedId() == kPrintSizeCustom;
  printImageWidthText->setEnabled(custom);
  printImageHeightText->setEnabled(custom);
}

QSize LV3DPrintController::chosenPrintSize() const {
  switch (printSizeButtons->checkedId()) {
    case kPrintSizeView: return LiveViewController::sharedLiveViewController()->liveViewOGLViewBounds().size();
    case kPrintSizeFitPage: {
      ZLKDocument* document = AppController::mainWindowDocument();
      if (!document) return {};
      // Until the design has been printed its print info is empty: the printer's default
      // paper is the page to fit then. A page with no room to print on takes no image.
      const QPageLayout page = document->printLayout();
      const QRectF paper = page.fullRect(QPageLayout::Point);
      const QMarginsF margins = page.margins(QPageLayout::Point);
      const double printableWidth = paper.width() - margins.left() - margins.right();
      const double printableHeight = paper.height() - margins.top() - margins.bottom();
      if (std::min(printableWidth, printableHeight) < kMinimumPrint3DSide) return {};
      // The view as it is shown, its framing and the frame it shows; the print scales it to
      // the page.
      return LiveViewController::sharedLiveViewController()->liveViewOGLViewPixelSize();
    }
    default:
      return {std::max(GetLongItem(printImageWidthText), kMinimumPrint3DSide),
              std::max(GetLongItem(printImageHeightText), kMinimumPrint3DSide)};
  }
}

void LV3DPrintController::applySheet(ZLKDocumentModel*, DocState*) {
  if (printSizeButtons->checkedId() == kPrintSizeCustom) {
    int32_t width = 0, height = 0;
    if (!readWholeNumber(printImageWidthText, &width) || !readWholeNumber(printImageHeightText, &height))
      return;
  }
  const QSize size = chosenPrintSize();
  if (size.width() < kMinimumPrint3DSide || size.height() < kMinimumPrint3DSide) {
    ShowAlert("Unable to print the 3D view.", "The page has no room to print on. Please check the paper size and margins.");
    return;
  }
  const auto quality = static_cast<int16_t>(renderQualityPopUpButton->currentData().toInt());
  hide();
  LiveViewController::sharedLiveViewController()->print3DLiveViewUsingQuality(
      quality, size, nullptr, printSizeButtons->checkedId() == kPrintSizeFitPage);
}
