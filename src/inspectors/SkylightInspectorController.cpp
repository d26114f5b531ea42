// Skylights: sizes in plan units shown in inches, and the style table.
#include "inspectors/SkylightInspectorController.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

#include "content/ContentCategoryItem.h"
#include "content/ContentPaletteController.h"
#include "inspectors/ValueFields.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"
#include "model/ToolCodes.h"
#include "tools/SkylightTools.h"

int32_t gSkylightPropertiesStyle = 0;

namespace {

constexpr int kSkylightStyleRows = 4;
constexpr int16_t kSkylightSubtypes[kSkylightStyleRows] = {800, 801, 802, kSkylightCustom};
constexpr QSize kSkylightImageSize(48, 40);

bool HeightFollowsWidth(int32_t subtype) { return subtype == 801 || subtype == 802; }

// A skylight seen from above on a roof: a frame round the glass of the style's shape.
QIcon DrawSkylightStyle(int row) {
  QPixmap image(kSkylightImageSize);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QRectF box(10, 6, 28, 28);
  QPainterPath glass;
  switch (row) {
    case 0: glass.addRect(box.adjusted(2, -2, -2, 2)); break;
    case 1: {
      QPolygonF octagon;
      for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45.0 * i) * M_PI / 180.0;
        octagon << QPointF(box.center().x() + 14 * std::cos(a), box.center().y() + 14 * std::sin(a));
      }
      octagon << octagon.first();
      glass.addPolygon(octagon);
      break;
    }
    case 2: glass.addEllipse(box); break;
    default: {  // a custom definition: an arch over a sill
      glass.moveTo(box.left(), box.bottom());
      glass.lineTo(box.left(), box.center().y());
      glass.arcTo(box.adjusted(0, 0, 0, -box.height() / 2 + 14), 180, -180);
      glass.lineTo(box.right(), box.bottom());
      glass.closeSubpath();
      break;
    }
  }
  painter.setPen(QPen(QColor(90, 70, 50), 3));
  painter.setBrush(QColor(170, 205, 235));
  painter.drawPath(glass);
  painter.setPen(QPen(Qt::white, 1.5));
  painter.drawLine(box.center() + QPointF(-6, 2), box.center() + QPointF(2, -6));
  return QIcon(image);
}

QStringList SkylightImageNames() {
  QStringList names;
  for (int row = 0; row < kSkylightStyleRows; ++row) names << SkylightStyleImageName(row);
  return names;
}

}  // namespace

int16_t SkylightSubtypeOfRow(int32_t row) {
  return row >= 0 && row < kSkylightStyleRows ? kSkylightSubtypes[row] : 0;
}

int32_t SkylightRowOf(int32_t subtype) {
  for (int row = 0; row < kSkylightStyleRows; ++row)
    if (kSkylightSubtypes[row] == subtype) return row;
  return 0;
}

QList<QIcon> SkylightStyleImages() {
  QList<QIcon> images;
  for (int row = 0; row < kSkylightStyleRows; ++row) images << DrawSkylightStyle(row);
  return images;
}

QString SkylightStyleImageName(int row) { return QStringLiteral("SkylightStyle%1").arg(row + 1); }

SkylightInspectorController::SkylightInspectorController()
    : OpeningInspectorBase("SkylightInspector"), skylightStyleImageArray(SkylightStyleImages()) {
  skylightStyleTableView = makeStyleTable("skylightStyleTableView", skylightStyleImageArray, SkylightImageNames());
  connect(skylightStyleTableView, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) tableViewSelectionDidChange();
  });
  skylightWidthText = addField("Width", "skylightWidthText");
  skylightHeightText = addField("Height", "skylightHeightText");
  skylightTrimText = addField("Trim Width", "skylightTrimText");
}

SkylightInspectorController* SkylightInspectorController::sharedInspectorController() {
  static auto* controller = new SkylightInspectorController;
  return controller;
}

void SkylightInspectorController::enableHeightFor(int32_t subtype) {
  skylightHeightText->setEnabled(!HeightFollowsWidth(subtype));
}

void SkylightInspectorController::updatePropertiesForObject(Objex* skylight, bool init) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  checkObjects = 0;
  if (!skylight) {
    echoFloat(skylightWidthText, ds->skylightWidth);
    echoFloat(skylightHeightText, ds->skylightHeight());
    echoFloat(skylightTrimText, ds->skylightTrimWidth());
    skylightWidthText->setEnabled(true);
    skylightTrimText->setEnabled(true);
    enableHeightFor(ds->skylightStyle);
    selectRow(skylightStyleTableView, SkylightRowOf(ds->skylightStyle));
    checkObjects = 1;
    return;
  }
  auto* r = static_cast<RoofAttachmentData*>(skylight->typeData);
  if (skylight->type != kObjSkylight || !r) {
    checkObjects = 1;
    return;
  }
  mergeFloat(skylightWidthText, ConvertScreenToWorld(r->width(), ds, 0), init);
  mergeFloat(skylightHeightText, ConvertScreenToWorld(r->height(), ds, 0), init);
  mergeFloat(skylightTrimText, ConvertScreenToWorld(r->trimWidth(), ds, 0), init);
  const int32_t row = SkylightRowOf(r->subtype);
  if (init) {
    gSkylightPropertiesStyle = row;
    selectRow(skylightStyleTableView, row);
    skylightWidthText->setEnabled(true);
    skylightTrimText->setEnabled(true);
    enableHeightFor(r->subtype);
  } else if (row != gSkylightPropertiesStyle) {
    gSkylightPropertiesStyle = -1;
    selectRow(skylightStyleTableView, -1);
    for (QLineEdit* f : {skylightWidthText, skylightHeightText, skylightTrimText}) f->setEnabled(false);
  }
  checkObjects = 1;
}

bool SkylightInspectorController::walkSkylights(
    const std::function<bool(Objex*, Objex*, RoofAttachmentData*)>& edit) {
  Layer* layer = InspectorCurLayer();
  if (!layer) return false;
  bool any = false;
  for (Objex* roof = layer->firstObject; roof; roof = roof->next) {
    if (roof->type != kObjRoof && roof->type != kObjRoofPanel) continue;
    bool changed = false;
    for (Objex* skylight = roof->firstChild; skylight;) {
      Objex* next = skylight->next;  // a refitted skylight stays; the roof's update may remove it later
      auto* r = static_cast<RoofAttachmentData*>(skylight->typeData);
      if (skylight->type == kObjSkylight && r && IsObjectSelected(skylight) && edit(skylight, roof, r)) changed = true;
      skylight = next;
    }
    if (!changed) continue;
    UpdateAllRoofAttachments(roof);
    Update3DRoofPanel(roof);
    ReRenderObject(roof);
    any = true;
  }
  return any;
}

void SkylightInspectorController::controlTextDidEndEditing(QLineEdit* field) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  float* defaultValue = nullptr;
  int slot = 0;
  const char* label = nullptr;
  if (field == skylightWidthText) {
    defaultValue = &ds->skylightWidth;
    slot = 0;
    label = "Skylight Width";
  } else if (field == skylightHeightText) {
    defaultValue = &ds->skylightHeight();
    slot = 1;
    label = "Skylight Height";
  } else if (field == skylightTrimText) {
    defaultValue = &ds->skylightTrimWidth();
    slot = 2;
    label = "Skylight Trim Width";
  } else {
    return;
  }
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the tool default again.
  if (!readNumber(field, NumberKind::kLength, &v) || !(v > 0.01f && v < 10000.0f))
    return echoFloat(field, *defaultValue);
  const float stored = ConvertWorldToScreen(v, ds, 0);
  const bool changed = walkSkylights([&](Objex* skylight, Objex* roof, RoofAttachmentData* r) {
    if (r->floats[slot] == stored) return false;
    r->floats[slot] = stored;
    UpdateRoofAttachmentProperties(skylight, roof, 1);
    return true;
  });
  if (changed) StoreInspectorUndo(label);
  Refresh();
  *defaultValue = v;
  echoFloat(field, v);
}

void SkylightInspectorController::tableViewSelectionDidChange() {
  DocState* ds = InspectorDocState();
  if (checkObjects != 1 || !ds || !InspectorCurLayer()) return;
  const QList<QListWidgetItem*> chosen = skylightStyleTableView->selectedItems();
  if (chosen.isEmpty()) return;  // an emptied selection chooses nothing
  const int32_t row = skylightStyleTableView->row(chosen.first());
  const int16_t subtype = SkylightSubtypeOfRow(row);
  gSkylightPropertiesStyle = row;
  ds->skylightStyle = subtype;

  if (ContentPaletteController* palette = ContentPaletteController::sharedContentPaletteController()) {
    if (subtype == kSkylightCustom && gCurTool == kToolSkylight) {
      palette->selectCategory(kCategoryWindows, true);
      palette->setCategorySelectionAbility(false);
    } else {
      palette->setCategorySelectionAbility(true);
    }
  }

  const bool changed = walkSkylights([&](Objex* skylight, Objex* roof, RoofAttachmentData* r) {
    if (r->subtype == subtype) return false;
    r->subtype = subtype;
    UpdateRoofAttachmentProperties(skylight, roof, 0);
    return true;
  });
  if (changed) StoreInspectorUndo("Skylight Style");
  Refresh();
  skylightWidthText->setEnabled(true);
  skylightTrimText->setEnabled(true);
  enableHeightFor(ds->skylightStyle);
}
