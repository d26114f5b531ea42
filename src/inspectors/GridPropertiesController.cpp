// The grid properties sheet and its style preview.
#include "inspectors/GridPropertiesController.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPainter>

#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Services.h"
#include "plandraw/PlanDrawSettings.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {
QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }
constexpr float kMaximumSpacing = 500;
// The property that holds a spacing field's last accepted text.
constexpr const char* kGoodText = "casaGoodText";
}

// ---- Preview ----

GridStyleView::GridStyleView(QWidget* parent) : QWidget(parent) {
  setObjectName("gridStyleView");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 40);
  const DocState* ds = CurDocState();
  gridStyle_ = ds ? ds->gridStyle : 1;
}

QVector<QLineF> GridStyleView::gridMarks(int style, double width, double height) {
  QVector<QLineF> marks;
  if (style == 1) {
    for (double y = 7; y <= height; y += 10) marks.append(QLineF(0, y, width, y));
    for (double x = 8; x <= width; x += 10) marks.append(QLineF(x, 0, x, height));
  } else if (style == 2) {
    for (double x = 8; x <= width; x += 10)
      for (double y = 7; y <= height; y += 10) marks.append(QLineF(x, y, x + 0.5, y));
  }
  return marks;
}

void GridStyleView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  DocState* ds = CurDocState();
  if (!ds) return;
  const RGBColor& c = GridColor(ds);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor::fromRgbF(c.red / 65535.0f, c.green / 65535.0f, c.blue / 65535.0f), 0));
  painter.drawLines(gridMarks(gridStyle_, width(), height()));
}

// ---- Sheet ----

GridPropertiesController::GridPropertiesController(QWidget* parent)
    : SheetController(parent, "GridPropertiesSheet") {
  setWindowTitle(Text("Grid Properties"));
  gridStyleView = new GridStyleView(this);
  gridStylePopUpButton = new QComboBox(this);
  gridStylePopUpButton->setObjectName("gridStylePopUpButton");
  gridStylePopUpButton->addItem(Text("Lines"), 1);
  gridStylePopUpButton->addItem(Text("Dots"), 2);
  gridHorSpacingText = MakeSheetField(this, "gridHorSpacingText");
  gridVerSpacingText = MakeSheetField(this, "gridVerSpacingText");
  snapHorSpacingText = MakeSheetField(this, "snapHorSpacingText");
  snapVerSpacingText = MakeSheetField(this, "snapVerSpacingText");
  form()->addRow(Text("Style:"), gridStylePopUpButton);
  form()->addRow(gridStyleView);
  form()->addRow(Text("Grid horizontal spacing:"), gridHorSpacingText);
  form()->addRow(Text("Grid vertical spacing:"), gridVerSpacingText);
  form()->addRow(Text("Snap horizontal spacing:"), snapHorSpacingText);
  form()->addRow(Text("Snap vertical spacing:"), snapVerSpacingText);
  connect(gridStylePopUpButton, qOverload<int>(&QComboBox::activated), this,
          [this] { gridStylePopUpButtonChanged(); });
  for (QLineEdit* field : {gridHorSpacingText, gridVerSpacingText, snapHorSpacingText, snapVerSpacingText})
    connect(field, &QLineEdit::editingFinished, this, [this, field] { controlTextDidEndEditing(field); });
}

void GridPropertiesController::newGridPropertiesSheetForParent(QWidget* parent) {
  if (parent) beginSheet(parent, new GridPropertiesController(parent));
}

void GridPropertiesController::initializeControlStates() {
  const DocState* ds = CurDocState();
  if (!ds) return;
  const int index = gridStylePopUpButton->findData(static_cast<int>(ds->gridStyle));
  gridStylePopUpButton->setCurrentIndex(index);
  showSpacing(gridHorSpacingText, ds->gridSpacing.floatH);
  showSpacing(gridVerSpacingText, ds->gridSpacing.floatV);
  showSpacing(snapHorSpacingText, ds->gridSnap.floatH);
  showSpacing(snapVerSpacingText, ds->gridSnap.floatV);
  for (QLineEdit* field : {gridHorSpacingText, gridVerSpacingText, snapHorSpacingText, snapVerSpacingText})
    noteShown(field);
  gridStyleView->setGridStyle(ds->gridStyle);
}

void GridPropertiesController::showSpacing(QLineEdit* field, float inches) {
  SetFloatItem(field, inches);
  field->setProperty(kGoodText, field->text());
}

float GridPropertiesController::clampedSpacing(float inches) const {
  const DocState* ds = CurDocState();
  const float minimum = ds && ds->measureSystem == kMeasureImperial ? 0.0625f : 0.3937f;
  return NormalizeInputToBounds(inches, minimum, kMaximumSpacing);
}

void GridPropertiesController::controlTextDidEndEditing(QLineEdit* field) {
  if (!field || !CurDocState()) return;
  const TypedNumber typed = ReadTypedNumber(field, NumberKind::kLength);
  if (!typed.accepted) {
    // The field keeps its last good spacing; the sheet is open, so the alert stands alone.
    field->setText(field->property(kGoodText).toString());
    if (!typed.blank) ShowAlert("Invalid number entered.", typed.reason, /*sheet=*/false);
    return;
  }
  showSpacing(field, clampedSpacing(typed.value));
}

void GridPropertiesController::gridStylePopUpButtonChanged() {
  gridStyleView->setGridStyle(gridStylePopUpButton->currentData().toInt());
}

void GridPropertiesController::applySheet(ZLKDocumentModel*, DocState* ds) {
  const int16_t style = static_cast<int16_t>(gridStylePopUpButton->currentData().toInt());
  // Every spacing is read and clamped, also one typed in a field that was not left before OK;
  // one that is no number refuses the whole sheet.
  float spacing[4] = {ds->gridSpacing.floatH, ds->gridSpacing.floatV, ds->gridSnap.floatH, ds->gridSnap.floatV};
  QLineEdit* fields[4] = {gridHorSpacingText, gridVerSpacingText, snapHorSpacingText, snapVerSpacingText};
  for (int i = 0; i < 4; ++i) {
    if (!untouched(fields[i]) && !readNumber(fields[i], NumberKind::kLength, &spacing[i])) return;
    spacing[i] = clampedSpacing(spacing[i]);
  }
  const FloatPoint grid{spacing[0], spacing[1]};
  const FloatPoint snap{spacing[2], spacing[3]};
  if (style == ds->gridStyle && grid.floatH == ds->gridSpacing.floatH && grid.floatV == ds->gridSpacing.floatV &&
      snap.floatH == ds->gridSnap.floatH && snap.floatV == ds->gridSnap.floatV)
    return;
  ds->gridStyle = style;
  ds->gridSpacing = grid;
  ds->gridSnap = snap;
  StoreUndo(LocalizedString("Grid Properties"));
  Refresh();
}
