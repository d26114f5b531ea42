// The detail tool panes' shared controls, the pattern and line style pop-ups, and the pane
// of the rectangle, oval, line, polygon, arc and curve tools with their draw methods.
#include "inspectors/DetailTool1InspectorController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Globals.h"
#include "model/HitTest.h"
#include "platform/Strings.h"
#include "tools/DrawingTools.h"
#include "tools/PointEvaluation.h"
#include "tools/ShapeTools.h"

namespace {

QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

struct PatternRow {
  int tag;
  const char* title;
  const char* image;
};
const PatternRow kPatternRows[9] = {
    {0, "No fill", "DetailPatternEmptyFill"},
    {1, "Solid background", "DetailPatternBackgroundFill"},
    {2, "Solid foreground", "DetailPatternForegroundFill"},
    {3, "Forward diagonal", "DetailPatternForwardDiagonal"},
    {4, "Backward diagonal", "DetailPatternBackwardDiagonal"},
    {5, "Diagonal cross", "DetailPatternDiagonalCross"},
    {6, "Horizontal", "DetailPatternHorizontal"},
    {7, "Vertical", "DetailPatternVertical"},
    {8, "Cross", "DetailPatternCross"},
};

struct LineStyleRow {
  const char* title;
  int tag;
  std::vector<double> lengths;
};
const std::vector<LineStyleRow>& LineStyleRows() {
  static const std::vector<LineStyleRow> rows = {
      {"Style 1", 6, {}},
      {"Style 2", 7, {36, 3, 6, 3}},
      {"Style 3", 8, {30, 3, 6, 6, 6, 3}},
      {"Style 4", 9, {24, 6}},
      {"Style 5", 10, {12, 6}},
      {"Style 6", 13, {6, 7}},
      {"Style 7", 14, {18, 3, 6, 3, 24, 3, 6, 3}},
      {"Style 8", 12, {12, 6, 6, 6, 6, 6, 18, 6, 6, 6, 6}},
  };
  return rows;
}

struct DrawMethodRow {
  int tool;
  const char* title;
  int tag;
};
const DrawMethodRow kDrawMethodRows[] = {
    {7700, "Rectangle from corner", 0}, {7700, "Rectangle from center", 1}, {7700, "Square from corner", 2},
    {7700, "Square from center", 3},    {7701, "Oval from corner", 4},      {7701, "Oval from center", 5},
    {7701, "Circle from corner", 6},    {7701, "Circle from center", 7},    {7702, "Line from endpoint", 8},
    {7702, "Line from center", 9},      {7703, "Closed polygon", 10},       {7703, "Open polygon", 11},
    {7704, "Unconstrained arc", 12},    {7704, "Quarter circular arc", 13}, {7707, "Closed curve", 14},
    {7707, "Open curve", 15},
};

int ClampLineWidth(int32_t w) { return std::clamp<int32_t>(w, 1, 72); }

}  // namespace

// ---- Pop-ups ----

QImage PatternImage(int tag) {
  QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(Qt::black);
  switch (tag) {
    case 1: image.fill(QColor(220, 220, 220)); break;
    case 2: image.fill(Qt::black); break;
    case 3: for (int i = -16; i < 16; i += 4) painter.drawLine(i, 16, i + 16, 0); break;
    case 4: for (int i = -16; i < 16; i += 4) painter.drawLine(i, 0, i + 16, 16); break;
    case 5:
      for (int i = -16; i < 16; i += 4) {
        painter.drawLine(i, 16, i + 16, 0);
        painter.drawLine(i, 0, i + 16, 16);
      }
      break;
    case 6: for (int y = 1; y < 16; y += 4) painter.drawLine(0, y, 15, y); break;
    case 7: for (int x = 1; x < 16; x += 4) painter.drawLine(x, 0, x, 15); break;
    case 8:
      for (int i = 1; i < 16; i += 4) {
        painter.drawLine(0, i, 15, i);
        painter.drawLine(i, 0, i, 15);
      }
      break;
    default: break;
  }
  painter.setPen(Qt::gray);
  painter.drawRect(0, 0, 15, 15);
  return image;
}

void LoadPatternItems(QComboBox* popUp) {
  if (!popUp) return;
  popUp->clear();
  for (const PatternRow& row : kPatternRows) {
    popUp->addItem(QIcon(QPixmap::fromImage(PatternImage(row.tag))), Text(row.title), row.tag);
    popUp->setItemData(popUp->count() - 1, QString::fromLatin1(row.image), Qt::UserRole + 1);
  }
}

std::vector<double> LineStyleSampleLengths(int tag) {
  for (const LineStyleRow& row : LineStyleRows())
    if (row.tag == tag) return row.lengths;
  return {};
}

QList<qreal> LineStyleDashPattern(int tag) {
  QList<qreal> pattern;
  for (double v : LineStyleSampleLengths(tag)) pattern.append(v);
  // Dashes come in on/off pairs: an odd list is run twice so that its second pass swaps
  // the roles, as a stroke of the plain list does.
  if (pattern.size() % 2) pattern += QList<qreal>(pattern);
  return pattern;
}

QImage LineStyleSampleImage(int tag) {
  QImage image(84, 12, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen pen(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap);
  const QList<qreal> dashes = LineStyleDashPattern(tag);
  if (!dashes.isEmpty()) {
    pen.setDashPattern(dashes);
    pen.setDashOffset(0);
  }
  painter.setPen(pen);
  painter.drawLine(QPointF(0, 5.5), QPointF(83, 5.5));
  return image;
}

void LoadLineStyleItems(QComboBox* popUp) {
  if (!popUp) return;
  popUp->clear();
  popUp->setIconSize(QSize(84, 12));
  for (const LineStyleRow& row : LineStyleRows())
    popUp->addItem(QIcon(QPixmap::fromImage(LineStyleSampleImage(row.tag))), Text(row.title), row.tag);
}

int SelectedTag(const QComboBox* popUp) {
  if (!popUp || popUp->currentIndex() < 0) return -1;
  return popUp->currentData().toInt();
}

void SelectItemWithTag(QComboBox* popUp, int tag) {
  if (popUp) popUp->setCurrentIndex(popUp->findData(tag));
}

// ---- Shared controls ----

void DetailToolInspectorBase::addEditLevel() {
  editLevelButtons = addMatrix("Edit Level", "editLevelButtons",
                               {{0, Text("Whole Shape")}, {1, Text("Points")}}, [this] { changeEditLevelButtons(); });
  editLevelButtons->selectCellWithTag(0);
}

void DetailToolInspectorBase::addLineControls() {
  lineStylePopUpButton = addPopUp("Line Style", "lineStylePopUpButton", [this] { changeLineStylePopUpButton(); });
  LoadLineStyleItems(lineStylePopUpButton);
  SelectItemWithTag(lineStylePopUpButton, 6);
  lineWidthText = addField("Line Width", "lineWidthText");
  lineWidthStepper = addStepper(nullptr, "lineWidthStepper", 1.0, [this] { changeLineWidthStepper(); }, 1, 72, 0);
  SetLongItem(lineWidthText, 1);
  rememberShown(lineWidthText);
}

void DetailToolInspectorBase::selectEditLevel(const DocState* ds) {
  editLevelButtons->selectCellWithTag(ds->detailEditLevel == 0 ? 0 : 1);
}

void DetailToolInspectorBase::changeLineStylePopUpButton() {
  DocState* ds = InspectorDocState();
  const int tag = SelectedTag(lineStylePopUpButton);
  if (ds && tag >= 0) ds->newPenStyle = static_cast<int16_t>(tag);
}

void DetailToolInspectorBase::changeLineWidthStepper() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  const int w = ClampLineWidth(static_cast<int32_t>(lineWidthStepper->value()));
  SetLongItem(lineWidthText, w);
  rememberShown(lineWidthText);
  ds->newLineWeight = static_cast<int16_t>(w);
}

void DetailToolInspectorBase::changeEditLevelButtons() {
  DocState* ds = InspectorDocState();
  const int tag = editLevelButtons->selectedTag();
  if (ds && tag >= 0) ds->detailEditLevel = tag;
}

void DetailToolInspectorBase::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || field != lineWidthText) return;
  int32_t typed = 0;
  if (!readWholeNumber(field, &typed)) return;
  const int w = ClampLineWidth(typed);
  const bool was = lineWidthStepper->blockSignals(true);
  lineWidthStepper->setValue(w);
  lineWidthStepper->blockSignals(was);
  SetLongItem(field, w);
  rememberShown(field);
  ds->newLineWeight = static_cast<int16_t>(w);
}

// ---- The panes of the tools that draw closed shapes ----

void DetailShapeToolInspectorBase::addShapeControls() {
  patternPopUpButton = addPopUp("Pattern", "patternPopUpButton", [this] { changePatternPopUpButton(); });
  LoadPatternItems(patternPopUpButton);
  SelectItemWithTag(patternPopUpButton, gPattern);
  addLineControls();
  addEditLevel();
  displayDimsButton = addCheck("Display Dimensions", "displayDimsButton", [this] { changeDisplayDimsButton(); });
}

void DetailShapeToolInspectorBase::updatePropertiesForObject(Objex* object, bool) {
  if (!object) updateToolProperties();
}

void DetailShapeToolInspectorBase::changePatternPopUpButton() {
  const int tag = SelectedTag(patternPopUpButton);
  if (tag >= 0) gPattern = static_cast<int16_t>(tag);
}

void DetailShapeToolInspectorBase::changeDisplayDimsButton() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  if (displayDimsButton->isChecked()) ds->detailDisplayDims &= ~1;
  else ds->detailDisplayDims |= 1;
}

// ---- The rectangle, oval, line, polygon, arc and curve tools ----

DetailTool1InspectorController::DetailTool1InspectorController()
    : DetailShapeToolInspectorBase("DetailTool1Inspector") {
  drawMethodPopUpButton =
      addPopUp("Draw Method", "drawMethodPopUpButton", [this] { changeDrawMethodPopUpButton(); });
  addShapeControls();
}

DetailTool1InspectorController* DetailTool1InspectorController::sharedInspectorController() {
  static auto* controller = new DetailTool1InspectorController;
  return controller;
}

int32_t* DetailTool1InspectorController::drawMethodOf(int tool) {
  switch (tool) {
    case 7700: return &rectangleDrawMethod;
    case 7701: return &ovalDrawMethod;
    case 7702: return &lineDrawMethod;
    case 7703: return &polygonDrawMethod;
    case 7704: return &arcDrawMethod;
    case 7707: return &splineDrawMethod;
    default: return nullptr;
  }
}

void DetailTool1InspectorController::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  loadDrawMethodItemsAndSelect();
  selectEditLevel(ds);
  displayDimsButton->setChecked(!(ds->detailDisplayDims & 1));
  displayDimsButton->setEnabled(gCurTool != 7701 && gCurTool != 7704 && gCurTool != 7707);
}

void DetailTool1InspectorController::loadDrawMethodItemsAndSelect() {
  const bool was = drawMethodPopUpButton->blockSignals(true);
  drawMethodPopUpButton->clear();
  if (int32_t* remembered = drawMethodOf(gCurTool)) {
    for (const DrawMethodRow& row : kDrawMethodRows)
      if (row.tool == gCurTool) drawMethodPopUpButton->addItem(Text(row.title), row.tag);
    SelectItemWithTag(drawMethodPopUpButton, *remembered);
  }
  drawMethodPopUpButton->blockSignals(was);
}

void DetailTool1InspectorController::changeDrawMethodPopUpButton() {
  int32_t* remembered = drawMethodOf(gCurTool);
  const int tag = SelectedTag(drawMethodPopUpButton);
  if (!remembered || tag < 0) return;
  *remembered = tag;
  bool ownRow = false;
  for (const DrawMethodRow& row : kDrawMethodRows)
    if (row.tool == gCurTool && row.tag == tag) ownRow = true;
  if (!ownRow) return;
  switch (tag) {
    case 0: case 1: case 2: case 3:
      gLockRectTool = tag >= 2 ? 1 : 0;
      gCenterRectTool = tag % 2;
      break;
    case 4: case 5: case 6: case 7:
      gLockOvalTool = tag >= 6 ? 1 : 0;
      gCenterOvalTool = tag % 2;
      break;
    case 8: case 9: gCenterLineTool = tag == 9 ? 1 : 0; break;
    case 10: case 11:
      gClosePolyTool = tag == 10 ? 1 : 0;
      patternPopUpButton->setEnabled(tag == 10);
      break;
    case 12: case 13: gLockArcTool = tag == 13 ? 1 : 0; break;
    case 14: case 15:
      gCloseSplineTool = tag == 14 ? 1 : 0;
      patternPopUpButton->setEnabled(tag == 14);
      break;
    default: break;
  }
}
