// The plan settings sheets.
#include "inspectors/PlanSettingsSheets.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "files/Undo.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Floors2D.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/SelectionState.h"
#include "model/TopoGrid.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

void ShowSelectionElevation(ZLKDocumentModel* doc, DocState* ds) {
  ClearSelectionState40(ds, &ds->selectionState40);
  TopLevelObjectAllLayers(doc->itsLayers, kCmdUpdateSelectionState40, CommandArg::Doc(ds));
  UpdateSelectionState40Controls(&ds->selectionState40);
}
}  // namespace

float& TrueNorthAngle(DocState* ds) { return ds->setting311; }

// ---- Working elevation ----

WorkingElevationController::WorkingElevationController(QWidget* parent)
    : SheetController(parent, "WorkingElevationSheet") {
  setWindowTitle(Text("Working Elevation"));
  elevationText = MakeSheetField(this, "elevationText");
  form()->addRow(Text("Working elevation:"), elevationText);
}

void WorkingElevationController::newWorkingElevationSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new WorkingElevationController(parent));
}

void WorkingElevationController::initializeControlStates() {
  const DocState* ds = CurDocState();
  SetFloatItem(elevationText, ds ? ds->baseElevation : 0);
  noteShown(elevationText);
}

void WorkingElevationController::applySheet(ZLKDocumentModel* doc, DocState* ds) {
  float v = ds->baseElevation;
  if (!untouched(elevationText) && !readNumber(elevationText, NumberKind::kLength, &v)) return;
  // A value outside the range is refused and nothing is stored.
  if (!(v > -1201 && v < 1201)) {
    refused_ = true;
    return;
  }
  ds->baseElevation = v;
  if (doc->itsLayers) ShowSelectionElevation(doc, ds);
  Refresh();
  StoreUndo(LocalizedString("Working Elevation"));
}

void WorkingElevationController::afterClosing() {
  if (refused_)
    ShowAlert("Invalid working elevation entered.",
              "The working elevation must be greater than -100' 1\" and less than 100' 1\".");
}

// ---- Ceiling height ----

CeilingHeightController::CeilingHeightController(QWidget* parent) : SheetController(parent, "CeilingHeightSheet") {
  setWindowTitle(Text("Ceiling Height"));
  heightText = MakeSheetField(this, "heightText");
  form()->addRow(Text("Ceiling height:"), heightText);
}

void CeilingHeightController::newCeilingHeightSheetForParent(QWidget* parent, Layer* targetLayer) {
  if (!parent || !targetLayer) return;
  auto* sheet = new CeilingHeightController(parent);
  sheet->setTargetLayer(targetLayer);
  beginSheet(parent, sheet);
}

void CeilingHeightController::initializeControlStates() {
  SetFloatItem(heightText, targetLayer ? targetLayer->height : 96.0f);
  if (targetLayer) noteShown(heightText);
}

void CeilingHeightController::applySheet(ZLKDocumentModel*, DocState* ds) {
  if (!targetLayer) return;
  float v = targetLayer->height;
  if (!untouched(heightText) && !readNumber(heightText, NumberKind::kLength, &v)) return;
  if (v == targetLayer->height) return;
  if (!(v >= 12 && v <= 1000)) {
    refused_ = true;
    return;
  }
  const float change = v - targetLayer->height;
  targetLayer->height = v;
  // The walls that reached the ceiling follow it, and the floors above, which stand on this
  // one, move with it.
  RaiseWallsToCeiling(targetLayer, change);
  RaiseFloorsAbove(targetLayer, change);
  if (TheSheetHooks().updateViewingHeight) TheSheetHooks().updateViewingHeight();
  RenderAllLayers();
  ClearSelectionState40(ds, &ds->selectionState40);
  UpdateSelectionState40Controls(&ds->selectionState40);
  Refresh();
  static const char* const kFloors[][2] = {{"First Floor", "First Floor Ceiling Height"},
                                           {"Second Floor", "Second Floor Ceiling Height"},
                                           {"Third Floor", "Third Floor Ceiling Height"}};
  for (const auto& floor : kFloors)
    if (std::strcmp(targetLayer->name, floor[0]) == 0) StoreUndo(LocalizedString(floor[1]));
}

void CeilingHeightController::afterClosing() {
  if (refused_)
    ShowAlert("Invalid ceiling height entered.",
              "The ceiling height can be no less than 1' and no greater than 83'.");
}

// ---- Trace image scale ----

TraceImageScaleController::TraceImageScaleController(QWidget* parent)
    : SheetController(parent, "TraceImageScaleSheet") {
  setWindowTitle(Text("Floorplan Trace Image Scale"));
  horScaleText = MakeSheetField(this, "horScaleText");
  verScaleText = MakeSheetField(this, "verScaleText");
  form()->addRow(Text("Horizontal (%):"), horScaleText);
  form()->addRow(Text("Vertical (%):"), verScaleText);
  auto* defaults = new QPushButton(Text("Defaults"), this);
  defaults->setObjectName("defaultsButton");
  form()->addRow(defaults);
  connect(defaults, &QPushButton::clicked, this, [this] { defaultsButtonChanged(); });
}

void TraceImageScaleController::newTraceImageScaleSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new TraceImageScaleController(parent));
}

void TraceImageScaleController::initializeControlStates() {
  const DocState* ds = CurDocState();
  if (!ds) return;
  horScaleText->setText(QString::number(static_cast<double>(ds->traceImageScaleX) * 100, 'g', 7));
  verScaleText->setText(QString::number(static_cast<double>(ds->traceImageScaleY) * 100, 'g', 7));
  noteShown(horScaleText);
  noteShown(verScaleText);
}

void TraceImageScaleController::defaultsButtonChanged() {
  horScaleText->setText(QStringLiteral("100"));
  verScaleText->setText(QStringLiteral("100"));
}

void TraceImageScaleController::applySheet(ZLKDocumentModel*, DocState* ds) {
  float percentH = 0, percentV = 0;
  const bool keepH = untouched(horScaleText), keepV = untouched(verScaleText);
  if ((!keepH && !readNumber(horScaleText, NumberKind::kDecimal, &percentH)) ||
      (!keepV && !readNumber(verScaleText, NumberKind::kDecimal, &percentV)))
    return;
  const double h = keepH ? ds->traceImageScaleX : static_cast<double>(percentH) / 100;
  const double v = keepV ? ds->traceImageScaleY : static_cast<double>(percentV) / 100;
  // A factor of 0 or less would hide or mirror the image: refused.
  if (!(h > 0) || !(v > 0)) {
    refused_ = true;
    return;
  }
  if (static_cast<float>(h) == ds->traceImageScaleX && static_cast<float>(v) == ds->traceImageScaleY) return;
  ds->traceImageScaleX = static_cast<float>(h);
  ds->traceImageScaleY = static_cast<float>(v);
  Refresh();
  StoreUndo(LocalizedString("Resize Floorplan Trace Image"));
}

void TraceImageScaleController::afterClosing() {
  if (refused_)
    ShowAlert("Invalid trace image scale entered.", "Each scale must be a number greater than 0 percent.");
}

// ---- Lot size ----

LotSizeController::LotSizeController(QWidget* parent) : SheetController(parent, "LotSizeSheet") {
  setWindowTitle(Text("Lot Size"));
  widthText = MakeSheetField(this, "widthText");
  depthText = MakeSheetField(this, "depthText");
  widthTextLabel = new QLabel(Text("feet"), this);
  depthTextLabel = new QLabel(Text("feet"), this);
  form()->addRow(Text("Width:"), widthText);
  form()->addRow(QString(), widthTextLabel);
  form()->addRow(Text("Depth:"), depthText);
  form()->addRow(QString(), depthTextLabel);
}

void LotSizeController::newLotSizeSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new LotSizeController(parent));
}

void LotSizeController::initializeControlStates() {
  const DocState* ds = CurDocState();
  if (!ds) return;
  float width = ConvertScreenToWorld(ds->planBounds.floatRight - ds->planBounds.floatLeft, ds, 0);
  float depth = ConvertScreenToWorld(ds->planBounds.floatBottom - ds->planBounds.floatTop, ds, 0);
  const bool metric = ds->measureSystem == kMeasureMetric;
  width = metric ? ConvertInchesToMeters(width) : ConvertInchesToFeet(width);
  depth = metric ? ConvertInchesToMeters(depth) : ConvertInchesToFeet(depth);
  // The lot rectangle comes from the design file: sizes beyond the field show its nearest end.
  SetLongItem(widthText, TruncToInt32(width));
  SetLongItem(depthText, TruncToInt32(depth));
  widthTextLabel->setText(Text(metric ? "meters" : "feet"));
  depthTextLabel->setText(Text(metric ? "meters" : "feet"));
}

void LotSizeController::applySheet(ZLKDocumentModel*, DocState* ds) {
  int32_t typedWidth = 0, typedDepth = 0;
  // Whole feet or meters, as the labels say: a number alone, or a length in any form a length
  // field takes ("25 m", "1200\"").
  const float unitInches = ds->measureSystem == kMeasureImperial ? ConvertFeetToInches(1) : ConvertMetersToInches(1);
  if (!readWholeUnits(widthText, unitInches, &typedWidth) || !readWholeUnits(depthText, unitInches, &typedDepth))
    return;
  float w = static_cast<float>(std::clamp(typedWidth, 1, 1000));
  float d = static_cast<float>(std::clamp(typedDepth, 1, 1000));
  if (ds->measureSystem == kMeasureImperial) {
    w = ConvertFeetToInches(w);
    d = ConvertFeetToInches(d);
  } else {
    w = ConvertMetersToInches(w);
    d = ConvertMetersToInches(d);
  }
  ds->planBounds.floatTop = ConvertWorldToScreen(-d / 2, ds, 0);
  ds->planBounds.floatLeft = ConvertWorldToScreen(-w / 2, ds, 0);
  ds->planBounds.floatBottom = ConvertWorldToScreen(d / 2, ds, 0);
  ds->planBounds.floatRight = ConvertWorldToScreen(w / 2, ds, 0);
  SetupTopoGrid();
  SetLotElevation();
  gRefreshRender = 1;
  if (TheSheetHooks().recentreDesignView) TheSheetHooks().recentreDesignView();
  // Stored so that the design counts as edited and Undo takes the change back.
  StoreUndo(LocalizedString("Lot Size"));
}

// ---- Compass ----

CompassController::CompassController(QWidget* parent) : SheetController(parent, "CompassSheet") {
  setWindowTitle(Text("True North"));
  angleSlider = new QSlider(Qt::Horizontal, this);
  angleSlider->setObjectName("angleSlider");
  angleSlider->setRange(0, 360);
  angleText = MakeSheetField(this, "angleText");
  form()->addRow(Text("Angle:"), angleText);
  form()->addRow(angleSlider);
  connect(angleSlider, &QSlider::valueChanged, this, [this] { angleSliderChanged(); });
}

void CompassController::newCompassSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new CompassController(parent));
}

void CompassController::initializeControlStates() {
  DocState* ds = CurDocState();
  const float angle = ds ? TrueNorthAngle(ds) : 0;
  SetFloatAngleItem(angleText, angle, 0);
  const QSignalBlocker block(angleSlider);
  angleSlider->setValue(TruncToInt32(std::floor(angle + 0.5)));
}

void CompassController::angleSliderChanged() {
  SetFloatAngleItem(angleText, static_cast<float>(angleSlider->value()), 0);
}

void CompassController::applySheet(ZLKDocumentModel*, DocState* ds) {
  float typed = 0;
  if (!readNumber(angleText, NumberKind::kAngle, &typed)) return;
  double a = std::floor(static_cast<double>(typed) + 0.5);
  if (a < 0 || a > 360) a = 0;
  TrueNorthAngle(ds) = static_cast<float>(a);
  // Stored so that the design counts as edited and Undo takes the change back.
  StoreUndo(LocalizedString("True North"));
}
