// The wall panes' shared controls and rules, and the pane of the selected walls.
#include "inspectors/WallObjectInspectorController.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "inspectors/InspectorController.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/Services.h"
#include "model/Readouts.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/WallFields.h"

namespace {

// Per-segment values live on the segment's first point, in this order.
float& SegmentValue(Poinz* p, int which) { return p->segmentFloats[which]; }
int16_t& DimensionFromOf(Poinz* p) { return p->segmentShort1; }
bool IsExteriorWall(const Objex* w) { return w->subtype == kSubExteriorWall; }
bool Near(float a, float b, float tolerance) { return std::fabs(a - b) <= tolerance; }

QIcon DrawStyleImage(int row) {
  QPixmap image(48, 32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(QColor(200, 200, 200));
  if (row == 0) {
    painter.drawRect(8, 8, 32, 20);  // a plain wall of one height
  } else {
    const QPoint gable[] = {{8, 28}, {8, 12}, {24, 4}, {40, 12}, {40, 28}};
    painter.drawPolygon(gable, 5);  // a wall rising to a gable
  }
  return QIcon(image);
}

}  // namespace

WallStyleFields WallStyleRule(int32_t style) {
  if (style < 0) return {false, false, false, false, false};
  if (style == 0) return {true, false, false, false, false};
  if (style == 1) return {true, true, true, true, false};
  if (style == 2 || style == 3) return {true, true, false, false, false};
  if (style >= 8 && style <= 11) return {true, true, false, true, false};
  return {true, true, true, true, true};
}

bool WallHeightsAllowed(int32_t style, float base, float heightC, float heightD) {
  if (style >= 4 && style <= 7) return std::max(base, heightC) <= heightD;
  if (style >= 8 && style <= 11) return base <= heightC;
  return true;
}

QList<QIcon> WallStyleImages() { return {DrawStyleImage(0), DrawStyleImage(1)}; }

void ForEachSelectedWallSegment(Objex* wall, const std::function<void(Poinz*)>& f) {
  if (!wall) return;
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    Poinz* n = p->next ? p->next : (wall->closed ? wall->firstPoint : nullptr);
    if (!n || n == p) continue;
    if (p->selected && n->selected) f(p);
  }
}

void RebuildWall(Objex* wall) {
  Update3DWall(wall);
  UpdateAllWallAttachments(wall);
  ReRenderObject(wall);
}

// ---- Shared controls ----

WallInspectorBase::WallInspectorBase(const char* interfaceName)
    : InspectorPane(interfaceName), wallStyleImageArray(WallStyleImages()) {}

void WallInspectorBase::buildCommonControls() {
  wallStyleTableView = new QListWidget(view_);
  wallStyleTableView->setObjectName(QStringLiteral("wallStyleTableView"));
  wallStyleTableView->setIconSize(QSize(48, 32));
  wallStyleTableView->setFixedHeight(84);
  for (const QIcon& image : wallStyleImageArray) wallStyleTableView->addItem(new QListWidgetItem(image, QString()));
  addRow("Wall Style", wallStyleTableView);
  connect(wallStyleTableView, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) tableViewSelectionDidChange();
  });
  wallHeightText = addField("Base Height", "wallHeightText");
  wallPitchAText = addField("Pitch A", "wallPitchAText");
  wallPitchALabel = addLabel(": 12", "wallPitchALabel");
  wallPitchBText = addField("Pitch B", "wallPitchBText");
  wallPitchBLabel = addLabel(": 12", "wallPitchBLabel");
  wallHeightCText = addField("Height C", "wallHeightCText");
  wallHeightDText = addField("Height D", "wallHeightDText");
  wallThicknessText = addField("Thickness", "wallThicknessText");
  wallThicknessStepper = addStepper(nullptr, "wallThicknessStepper", 1.0, [this] { wallThicknessStepperChanged(); });
  studSpacingText = addField("Stud Spacing", "studSpacingText");
  autoFlooringButton = addCheck("Auto-Flooring", "autoFlooringButton", [this] { autoFlooringButtonChanged(); });
  floorDepthText = addField("Floor Depth", "floorDepthText");
  foundationButton = addCheck("Foundation", "foundationButton", [this] { foundationButtonChanged(); });
  foundationWidthText = addField("Footing Width", "foundationWidthText");
  displayDimsButton = addCheck("Display Dimensions", "displayDimsButton", [this] { displayDimsButtonChanged(); });
  displayCalloutsButton =
      addCheck("Display Callouts", "displayCalloutsButton", [this] { displayCalloutsButtonChanged(); });
}

void WallInspectorBase::applyStyleRule(int32_t style, bool withBase) {
  const WallStyleFields on = WallStyleRule(style);
  if (withBase) wallHeightText->setEnabled(on.base);
  wallPitchAText->setEnabled(on.pitchA);
  wallPitchBText->setEnabled(on.pitchB);
  wallHeightCText->setEnabled(on.heightC);
  wallHeightDText->setEnabled(on.heightD);
}

void WallInspectorBase::selectStyleRow(int32_t row) {
  const bool was = wallStyleTableView->blockSignals(true);
  if (row >= 0 && row < wallStyleTableView->count()) {
    wallStyleTableView->setCurrentRow(row);
    wallStyleTableView->scrollToItem(wallStyleTableView->item(row));
  } else {
    wallStyleTableView->clearSelection();
    wallStyleTableView->setCurrentRow(-1);
    if (wallStyleTableView->count()) wallStyleTableView->scrollToItem(wallStyleTableView->item(0));
  }
  wallStyleTableView->blockSignals(was);
}

void WallInspectorBase::setPitchLabels(const DocState* ds) {
  wallPitchALabel->setText(PitchSuffixText(ds));
  wallPitchBLabel->setText(PitchSuffixText(ds));
}

// ---- The object pane ----

WallObjectInspectorController::WallObjectInspectorController() : WallInspectorBase("WallObjectInspector") {
  buildCommonControls();
  dimensionButtons = addMatrix("Dimension From", "dimensionButtons",
                               {{0, QStringLiteral("Centre")}, {1, QStringLiteral("Exterior")},
                                {2, QStringLiteral("Interior")}},
                               [this] { dimensionButtonsChanged(); });
  flipDimensionsButton =
      addCheck("Flip Dimensions", "flipDimensionsButton", [this] { flipDimensionsButtonChanged(); });
  ceilingBuilderButton =
      addButton("Ceiling Builder...", "ceilingBuilderButton", [this] { ceilingBuilderButtonChanged(); });
}

WallObjectInspectorController* WallObjectInspectorController::sharedInspectorController() {
  static auto* controller = new WallObjectInspectorController;
  return controller;
}

void WallObjectInspectorController::updatePropertiesForObject(Objex* wall, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds || !wall || wall->type != kObjWall) return;
  Fill fill(this);
  checkObjects = 0;
  setPitchLabels(ds);

  // The builder works on one selected wall: every selected wall passes here once per rebuild.
  if (init) ceilingBuilderButton->setEnabled(wall->pointCount > 2);
  else ceilingBuilderButton->setEnabled(false);

  const bool exterior = IsExteriorWall(wall);
  if (init)
    for (QWidget* w : std::initializer_list<QWidget*>{autoFlooringButton, floorDepthText, foundationButton,
                                                      foundationWidthText})
      w->setEnabled(false);
  if (exterior)
    for (QWidget* w : std::initializer_list<QWidget*>{autoFlooringButton, floorDepthText, foundationButton,
                                                      foundationWidthText})
      w->setEnabled(true);

  if (init) {
    wallThicknessStepper->setValue(wall->width);
    wallThicknessStepper->setEnabled(true);
  } else {
    const bool same = Near(static_cast<float>(wallThicknessStepper->value()), wall->width, 0.0005f);
    wallThicknessStepper->setEnabled(same && wallThicknessStepper->isEnabled());
  }
  mergeFloat(wallThicknessText, wall->width, init);
  mergeFloat(studSpacingText, StudSpacingOf(wall), init);

  const bool makesFloor = NoAutoFloorOf(wall) == 0;
  if (init) {
    // The depth field follows the check box alone, on interior walls too (the box itself is
    // off limits there): a depth typed then still becomes the default for new walls.
    autoFlooringButton->setChecked(makesFloor);
    floorDepthText->setEnabled(makesFloor);
  } else {
    if (autoFlooringButton->isChecked() != makesFloor) autoFlooringButton->setChecked(false);
    // An exterior wall enabled the field above: it still follows the box.
    floorDepthText->setEnabled(autoFlooringButton->isChecked());
  }
  mergeFloat(floorDepthText, FloorDepthOf(wall), init);

  const bool hasFoundation = exterior && (wall->planMask & 1);
  if (init) {
    foundationButton->setChecked(hasFoundation);
    if (hasFoundation) foundationWidthText->setEnabled(true);
  } else if (!hasFoundation && foundationButton->isChecked()) {
    foundationButton->setChecked(false);
    foundationWidthText->setEnabled(false);
  }
  mergeFloat(foundationWidthText, FoundationWidthOf(wall), init);

  // The first wall shows the values of its segments; a wall without a selected segment
  // shows none.
  if (init)
    for (QLineEdit* f : {wallHeightText, wallPitchAText, wallPitchBText, wallHeightCText, wallHeightDText})
      blankField(f);
  ForEachSelectedWallSegment(wall, [&](Poinz* p) {
    ++gCurPropertiesObjectCount;
    mergeFloat(wallHeightText, WallHeightOf(p), init);
    mergePitch(wallPitchAText, PitchAOf(p), init);
    mergePitch(wallPitchBText, PitchBOf(p), init);
    mergeFloat(wallHeightCText, HeightCOf(p), init);
    mergeFloat(wallHeightDText, HeightDOf(p), init);
    const bool dims = !(DisplayFlagsOf(p) & 1);
    const bool callouts = !(DisplayFlagsOf(p) & 2);
    if (init) {
      displayDimsButton->setChecked(dims);
      displayCalloutsButton->setChecked(callouts);
      dimensionButtons->selectCellWithTag(DimensionFromOf(p));
      gWallPropertiesStyle = WallStyleOf(p);
      selectStyleRow(gWallPropertiesStyle);
    } else {
      if (displayDimsButton->isChecked() != dims) displayDimsButton->setChecked(false);
      if (displayCalloutsButton->isChecked() != callouts) displayCalloutsButton->setChecked(false);
      if (dimensionButtons->selectedTag() != DimensionFromOf(p)) dimensionButtons->deselectAllCells();
      if (gWallPropertiesStyle != WallStyleOf(p)) {
        gWallPropertiesStyle = -1;
        selectStyleRow(-1);
      }
    }
    applyStyleRule(gWallPropertiesStyle);
  });
  checkObjects = 1;
}

void WallObjectInspectorController::editSegmentField(QLineEdit* field, int which) {
  DocState* ds = InspectorDocState();
  const bool pitch = which == 1 || which == 2;
  float* defaults[5] = {&ds->wallHeight, &WallPitchAOf(ds), &WallPitchBOf(ds), &WallHeightCOf(ds),
                        &WallHeightDOf(ds)};
  float v = 0;
  bool accepted = readNumber(field, pitch ? NumberKind::kPitch : NumberKind::kLength, &v);
  if (pitch) v = std::fabs(v);
  if (accepted) accepted = pitch ? (v > 0.01f && v < 51.0f) : (v > 0.01f && v < 10000.0f);
  // The heights must stand together under the shown style, the other two as their fields
  // show them (an emptied mixed field reads 0).
  if (accepted && !pitch) {
    auto shown = [&](QLineEdit* f) { return f == field ? v : GetFloatItem(f); };
    accepted = WallHeightsAllowed(gWallPropertiesStyle, shown(wallHeightText), shown(wallHeightCText),
                                  shown(wallHeightDText));
  }
  if (!accepted) {
    if (pitch) echoPitch(field, *defaults[which]);
    else echoFloat(field, *defaults[which]);
    return;
  }
  bool changed = false;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    ForEachSelectedWallSegment(w, [&](Poinz* p) {
      if (SegmentValue(p, which) != v) {
        SegmentValue(p, which) = v;
        changed = true;
      }
    });
    RebuildWall(w);
  });
  static const char* const kLabels[5] = {"Wall Base Height", "Wall Pitch A", "Wall Pitch B", "Wall Height C",
                                         "Wall Height D"};
  if (changed) StoreInspectorUndo(kLabels[which]);
  *defaults[which] = v;
  Refresh();
  if (pitch) echoPitch(field, v);
  else echoFloat(field, v);
}

void WallObjectInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  if (field == wallHeightText) return editSegmentField(field, 0);
  if (field == wallPitchAText) return editSegmentField(field, 1);
  if (field == wallPitchBText) return editSegmentField(field, 2);
  if (field == wallHeightCText) return editSegmentField(field, 3);
  if (field == wallHeightDText) return editSegmentField(field, 4);

  // A refused entry (an emptied mixed field too) shows the tool default again.
  float v = 0;
  const bool readable = readNumber(field, NumberKind::kLength, &v);
  if (field == wallThicknessText) {
    if (!readable || !(v > 0.1f && v < 73.0f)) {
      echoFloat(field, ds->wallThickness);
      showDefaultThicknessInStepper(ds, true);
      return;
    }
    applyWallThickness(ds, v, true);
    return;
  }
  if (field == studSpacingText) {
    if (!readable || !(v > 1.9f && v < 73.0f)) return echoFloat(field, ds->studSpacing);
    bool changed = false;
    ForEachSelectedOfType(kObjWall, [&](Objex* w) {
      if (StudSpacingOf(w) == v) return;
      StudSpacingOf(w) = v;
      changed = true;
    });
    if (changed) StoreInspectorUndo("Wall Stud Spacing");
    ds->studSpacing = v;
    echoFloat(field, v);  // framing shows nothing on the plan: no redraw
    return;
  }
  if (field == floorDepthText || field == foundationWidthText) {
    const bool depth = field == floorDepthText;
    if (!readable || !(v > 0.1f && v < 121.0f))
      return echoFloat(field, depth ? DefaultFloorDepthOf(ds) : DefaultFoundationWidthOf(ds));
    bool changed = false;
    ForEachSelectedOfType(kObjWall, [&](Objex* w) {
      if (!IsExteriorWall(w)) return;
      float& value = depth ? FloorDepthOf(w) : FoundationWidthOf(w);
      if (value == v) return;
      value = v;
      if (!depth) w->planMask = 1;
      RebuildWall(w);
      changed = true;
    });
    if (changed) StoreInspectorUndo(depth ? "Auto-Flooring Depth" : "Foundation Footing Width");
    if (depth) {
      DefaultFloorDepthOf(ds) = v;
    } else {
      DefaultFoundationWidthOf(ds) = v;
      ExteriorWallPlanMaskOf(ds) = 1;
    }
    Refresh();
    echoFloat(field, v);
  }
}

void WallObjectInspectorController::wallThicknessStepperChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  float v = static_cast<float>(wallThicknessStepper->value());
  NormalizeInputToPrecision(&v);
  if (!(v >= 1.0f && v <= 72.0f)) {
    showDefaultThicknessInStepper(ds, false);
    return;
  }
  applyWallThickness(ds, std::floor(v), false);
}

void WallObjectInspectorController::showDefaultThicknessInStepper(const DocState* ds, bool enableStepper) {
  const bool was = wallThicknessStepper->blockSignals(true);
  wallThicknessStepper->setValue(ds->wallThickness);
  if (enableStepper) wallThicknessStepper->setEnabled(true);
  wallThicknessStepper->blockSignals(was);
}

void WallObjectInspectorController::applyWallThickness(DocState* ds, float v, bool enableStepper) {
  bool changed = false;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    if (w->width == v) return;
    w->width = v;
    RebuildWall(w);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Wall Thickness");
  ds->wallThickness = ds->wallSetting6 = v;
  Refresh();
  echoFloat(wallThicknessText, v);
  const bool was = wallThicknessStepper->blockSignals(true);
  wallThicknessStepper->setValue(v);
  if (enableStepper) wallThicknessStepper->setEnabled(true);
  wallThicknessStepper->blockSignals(was);
}

void WallObjectInspectorController::autoFlooringButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const bool on = autoFlooringButton->isChecked();
  const uint16_t flag = on ? 0 : 1;
  bool changed = false;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    if (!IsExteriorWall(w) || NoAutoFloorOf(w) == flag) return;
    NoAutoFloorOf(w) = flag;
    RebuildWall(w);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Auto-Flooring");
  NoAutoFloorOf(ds) = static_cast<int16_t>(flag);
  floorDepthText->setEnabled(on);
  Refresh();
}

void WallObjectInspectorController::foundationButtonChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const bool on = foundationButton->isChecked();
  const int32_t mask = on ? 1 : 2;
  bool changed = false;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    if (!IsExteriorWall(w) || w->planMask == mask) return;
    w->planMask = mask;
    RebuildWall(w);
    changed = true;
  });
  if (changed) StoreInspectorUndo("Wall Foundation");
  ExteriorWallPlanMaskOf(ds) = mask;
  foundationWidthText->setEnabled(on);
  Refresh();
}

void WallObjectInspectorController::editDisplayBit(int32_t bit, bool on, const char* label) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  bool any = false;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    ForEachSelectedWallSegment(w, [&](Poinz* p) {
      if (on) DisplayFlagsOf(p) &= ~bit;
      else DisplayFlagsOf(p) |= bit;
      any = true;
    });
  });
  if (any) StoreInspectorUndo(label);
  if (on) ds->wallDisplayFlags &= ~bit;
  else ds->wallDisplayFlags |= bit;
  Refresh();
}

void WallObjectInspectorController::displayDimsButtonChanged() {
  editDisplayBit(1, displayDimsButton->isChecked(), "Wall Auto-Dimensions");
}

void WallObjectInspectorController::displayCalloutsButtonChanged() {
  editDisplayBit(2, displayCalloutsButton->isChecked(), "Wall Callouts");
}

void WallObjectInspectorController::dimensionButtonsChanged() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const int tag = dimensionButtons->selectedTag();
  if (tag < 0) return;
  bool changed = false;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    ForEachSelectedWallSegment(w, [&](Poinz* p) {
      if (DimensionFromOf(p) == tag) return;
      DimensionFromOf(p) = static_cast<int16_t>(tag);
      changed = true;
    });
  });
  if (changed) StoreInspectorUndo("Dimension Wall Style");
  ds->wallDimensionFrom = static_cast<int16_t>(tag);
  Refresh();
}

void WallObjectInspectorController::flipDimensionsButtonChanged() {
  if (!InspectorDocState() || !InspectorCurLayer()) return;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    ForEachSelectedWallSegment(w, [&](Poinz* p) { FlipDimensionOf(p) = FlipDimensionOf(p) ? 0 : 1; });
  });
  StoreInspectorUndo("Flip Wall Dimensions");
  Refresh();
}

void WallObjectInspectorController::ceilingBuilderButtonChanged() {
  if (InspectorControllerHooks().showCeilingBuilder) InspectorControllerHooks().showCeilingBuilder();
}

void WallObjectInspectorController::tableViewSelectionDidChange() {
  DocState* ds = InspectorDocState();
  if (!checkObjects || !ds || !InspectorCurLayer()) return;
  const int row = wallStyleTableView->currentRow();
  if (row < 0 || !wallStyleTableView->currentItem() || !wallStyleTableView->currentItem()->isSelected()) return;
  bool changed = false;
  ForEachSelectedOfType(kObjWall, [&](Objex* w) {
    ForEachSelectedWallSegment(w, [&](Poinz* p) {
      if (WallStyleOf(p) == row) return;
      WallStyleOf(p) = row;
      changed = true;
    });
    RebuildWall(w);
  });
  if (changed) StoreInspectorUndo("Wall Style");
  ds->wallStyle = row;
  gWallPropertiesStyle = row;
  applyStyleRule(row, false);
  Refresh();
}
