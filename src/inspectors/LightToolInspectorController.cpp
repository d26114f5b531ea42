// The fixture light tool's pane. The style table always keeps one row selected: an empty
// selection would choose a kind that no fixture has.
#include "inspectors/LightToolInspectorController.h"

#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <cstring>

#include "inspectors/ReleaseSlider.h"
#include "model/DocState.h"

namespace {
constexpr const char* kStyleImageNames[] = {"LightStyle1", "LightStyle10", "LightStyle11"};
constexpr int32_t kKindOfRow[] = {80, 150, 151};
}  // namespace

int32_t LightKindOfRow(int row) { return row >= 0 && row < 3 ? kKindOfRow[row] : 0; }

int LightRowOfKind(int32_t kind) { return kind == 150 ? 1 : kind == 151 ? 2 : 0; }

QIcon LightStyleImage(const char* name) {
  int style = -1;
  for (int i = 0; i < 3; ++i)
    if (name && std::strcmp(name, kStyleImageNames[i]) == 0) style = i;
  if (style < 0) return QIcon();
  QPixmap image(48, 32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(QColor(255, 236, 150));
  switch (style) {
    case 0:  // a ceiling fixture: a round lamp seen from below with its cross
      painter.drawEllipse(QPointF(24, 16), 11, 11);
      painter.drawLine(QPointF(17, 9), QPointF(31, 23));
      painter.drawLine(QPointF(31, 9), QPointF(17, 23));
      break;
    case 1: {  // a lamp on a post: shade, stem and foot
      const QPointF shade[] = {{17, 5}, {31, 5}, {35, 15}, {13, 15}};
      painter.drawPolygon(shade, 4);
      painter.drawLine(QPointF(24, 15), QPointF(24, 27));
      painter.drawLine(QPointF(17, 27), QPointF(31, 27));
      break;
    }
    default: {  // a lamp on a table: a wide shade on a short base
      const QPointF shade[] = {{15, 6}, {33, 6}, {38, 17}, {10, 17}};
      painter.drawPolygon(shade, 4);
      painter.setBrush(QColor(180, 180, 180));
      painter.drawRect(QRectF(19, 17, 10, 10));
      break;
    }
  }
  return QIcon(image);
}

LightToolInspectorController::LightToolInspectorController() : LightPane("LightToolInspector", true) {
  for (const char* name : kStyleImageNames) lightStyleImageArray.append(LightStyleImage(name));
  lightStyleTableView = new QListWidget(view_);
  lightStyleTableView->setObjectName(QStringLiteral("lightStyleTableView"));
  lightStyleTableView->setIconSize(QSize(48, 32));
  lightStyleTableView->setFixedHeight(120);
  lightStyleTableView->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int row = 0; row < lightStyleImageArray.size(); ++row) {
    auto* item = new QListWidgetItem(lightStyleImageArray[row], QString());
    item->setToolTip(QString::fromLatin1(kStyleImageNames[row]));
    lightStyleTableView->addItem(item);
  }
  addRow("Style", lightStyleTableView);
  connect(lightStyleTableView, &QListWidget::itemSelectionChanged, this, [this] {
    if (!filling_) tableViewSelectionDidChange();
  });
  buildLightControls();
}

LightToolInspectorController* LightToolInspectorController::sharedInspectorController() {
  static auto* controller = new LightToolInspectorController;
  return controller;
}

void LightToolInspectorController::selectRowOfKind(int32_t kind) {
  const int row = LightRowOfKind(kind);
  const bool was = lightStyleTableView->blockSignals(true);
  lightStyleTableView->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  lightStyleTableView->scrollToItem(lightStyleTableView->item(row));
  lightStyleTableView->blockSignals(was);
}

void LightToolInspectorController::updateToolProperties() {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  Fill fill(this);
  showDefaults(ds);
  enableForKind(ds->lightType, true);
  selectRowOfKind(ds->lightType);
}

void LightToolInspectorController::tableViewSelectionDidChange() {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  const QList<QListWidgetItem*> chosen = lightStyleTableView->selectedItems();
  if (chosen.isEmpty()) {
    // A click that would leave no row selected keeps the kind's row.
    selectRowOfKind(ds->lightType);
    return;
  }
  ds->lightType = LightKindOfRow(lightStyleTableView->row(chosen.front()));
  enableForKind(ds->lightType, true);
}

void LightToolInspectorController::settingChanged(Setting setting, bool release) {
  DocState* ds = InspectorDocState();
  if (!ds) return;
  showSliderLabel(setting);
  if (!release) return;
  writeDefault(ds, setting, controlValue(setting));
}
