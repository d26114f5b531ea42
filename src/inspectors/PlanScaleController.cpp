// The plan scale and plan zoom sheets.
#include "inspectors/PlanScaleController.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdint>

#include "files/Undo.h"
#include "inspectors/SheetHooks.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewCommands.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

struct ScaleRow {
  double imperialS, metricS, imperialK, metricK, imperialDivisor, metricDivisor;
};
constexpr ScaleRow kScales[] = {
    {96, 100, 0.375, 0.36, 2.6666666666666665, 2.7777777777777777},
    {48, 50, 0.75, 0.72, 1.3333333333333333, 1.3888888888888888},
    {36, 20, 1, 1.8, 1, 0.5555555555555556},
    {24, 10, 1.5, 3.6, 0.6666666666666666, 0.2777777777777778},
};
const ScaleRow* Row(int code) { return code >= 8 && code <= 11 ? &kScales[code - 8] : nullptr; }

bool IsMetric(const DocState* ds) { return ds->measureSystem == kMeasureMetric; }

// The view rotation reset and the design view centred on its paper.
void RecentreDesignView() {
  gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  gSinXAngle = gCosYAngle = 1.0f;
  if (TheSheetHooks().recentreDesignView) TheSheetHooks().recentreDesignView();
}
}  // namespace

double PlanScaleDenominator(int code, bool metric) {
  const ScaleRow* r = Row(code);
  return r ? (metric ? r->metricS : r->imperialS) : 0;
}

double PlanZoomMultiplier(int code, bool metric) {
  const ScaleRow* r = Row(code);
  return r ? (metric ? r->metricK : r->imperialK) : 0;
}

// ---- Plan scale ----

PlanScaleController::PlanScaleController(QWidget* parent) : SheetController(parent, "PlanScaleSheet") {
  setWindowTitle(Text("Plan Scale"));
  scaleMatrix = new QButtonGroup(this);
  static const char* const kImperial[] = {"1/2\" = 1'", "1/3\" = 1'", "1/4\" = 1'", "1/8\" = 1'"};
  auto* column = new QVBoxLayout;
  for (int cell = 0; cell < 4; ++cell) {
    auto* button = new QRadioButton(Text(kImperial[cell]), this);
    scaleMatrix->addButton(button, 11 - cell);
    column->addWidget(button);
  }
  form()->addRow(Text("Scale:"), column);
}

void PlanScaleController::newPlanScaleSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new PlanScaleController(parent));
}

void PlanScaleController::initializeControlStates() {
  const DocState* ds = CurDocState();
  if (!ds) return;
  if (IsMetric(ds)) {
    static const char* const kMetric[] = {"1 : 10", "1 : 20", "1 : 50", "1 : 100"};
    for (int cell = 0; cell < 4; ++cell) scaleMatrix->button(11 - cell)->setText(Text(kMetric[cell]));
  }
  if (QAbstractButton* b = scaleMatrix->button(ds->planScaleChoice)) b->setChecked(true);
}

void PlanScaleController::applySheet(ZLKDocumentModel*, DocState* ds) {
  const int code = scaleMatrix->checkedId();
  if (code == ds->planScaleChoice) return;
  const bool metric = IsMetric(ds);
  const double oldS = PlanScaleDenominator(ds->planScaleChoice, metric);
  const double newS = PlanScaleDenominator(code, metric);
  if (oldS <= 0 || newS <= 0) return;
  const double ratio = oldS / newS;
  ds->planScaleChoice = static_cast<int16_t>(code);
  TopViewZoom(ds) = static_cast<float>(TopViewZoom(ds) * ratio);
  OtherViewZoom(ds) = static_cast<float>(OtherViewZoom(ds) * ratio);
  PlanZoom(ds) = static_cast<float>(PlanZoom(ds) * ratio);
  RecentreDesignView();
  Refresh();
  StoreUndo(LocalizedString("Plan Scale"));
}

// ---- Plan zoom ----

PlanZoomController::PlanZoomController(QWidget* parent) : SheetController(parent, "PlanZoomSheet") {
  setWindowTitle(Text("Plan Zoom"));
  zoomScaleText = MakeSheetField(this, "zoomScaleText");
  form()->addRow(Text("Zoom (%):"), zoomScaleText);
}

void PlanZoomController::newPlanZoomSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new PlanZoomController(parent));
}

void PlanZoomController::initializeControlStates() {
  DocState* ds = CurDocState();
  if (!ds) return;
  const ScaleRow* r = Row(ds->planScaleChoice);
  if (!r) return;
  const double z = GetCurrentView() == kCmdViewTop ? TopViewZoom(ds) : OtherViewZoom(ds);
  const double divisor = IsMetric(ds) ? r->metricDivisor : r->imperialDivisor;
  // The zoom comes from the design file: one that is no number or beyond a 16-bit percentage
  // shows the nearest percentage the field holds.
  const double percent = std::trunc(z * divisor * 100 + 0.5);
  const int16_t shown = std::isnan(percent) ? 0
                        : percent > INT16_MAX ? INT16_MAX
                        : percent < INT16_MIN ? INT16_MIN
                                              : static_cast<int16_t>(percent);
  SetLongItem(zoomScaleText, shown);
}

void PlanZoomController::applySheet(ZLKDocumentModel*, DocState* ds) {
  const double k = PlanZoomMultiplier(ds->planScaleChoice, IsMetric(ds));
  if (k <= 0) return;
  float percent = 0;
  if (!readNumber(zoomScaleText, NumberKind::kDecimal, &percent)) return;
  const double p = static_cast<double>(percent) / 100;
  if (GetCurrentView() == kCmdViewTop) {
    float zoom = static_cast<float>(p * k);
    if (GetMinZoom() > zoom) zoom = GetMinZoom();
    else if (zoom > 3.0f) zoom = 3.0f;
    TopViewZoom(ds) = zoom;
    PlanZoom(ds) = zoom;
  } else {
    double zoom = p < 0.05 ? 0.05 : (p > 3.0 ? 3.0 : p);
    OtherViewZoom(ds) = static_cast<float>(zoom * k);
    PlanZoom(ds) = OtherViewZoom(ds);
  }
  RecentreDesignView();
  Refresh();
}
