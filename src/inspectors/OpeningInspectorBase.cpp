// The style tables of the opening panes, their images and the walk over selected openings.
#include "inspectors/OpeningInspectorBase.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

#include "inspectors/ValueFields.h"
#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "model/Services.h"

int32_t gWindowPropertiesStyle = 0;
int32_t gDoorPropertiesStyle = 0;

namespace {

constexpr int16_t kRowSubtypes[kWindowStyleRows] = {600, 600, 601, 609, 604, 605, 602, 624, 603, 607,
                                                    613, 611, 614, 618, 616, 619, 620, 622, 623, 626};
constexpr QSize kImageSize(48, 40);

// The outline of a window style, drawn in a 32 by 32 box.
QPainterPath WindowOutline(int row) {
  QPainterPath path;
  const QRectF box(0, 0, 32, 32);
  switch (row) {
    case 0: case 1: case 19: path.addRect(box); break;
    case 2:  // half round
      path.moveTo(0, 32);
      path.arcTo(QRectF(0, 16, 32, 32), 180, -180);
      path.closeSubpath();
      break;
    case 3:  // quarter round
      path.moveTo(0, 32);
      path.arcTo(QRectF(-32, 0, 64, 64), 0, 90);
      path.lineTo(0, 32);
      path.closeSubpath();
      break;
    case 4:  // arched top
      path.moveTo(0, 32);
      path.lineTo(0, 16);
      path.arcTo(QRectF(0, 0, 32, 32), 180, -180);
      path.lineTo(32, 32);
      path.closeSubpath();
      break;
    case 5:  // quarter arched top
      path.moveTo(0, 32);
      path.lineTo(0, 0);
      path.arcTo(QRectF(-32, 0, 64, 32), 90, -90);
      path.lineTo(32, 32);
      path.closeSubpath();
      break;
    case 6:  // low half round
      path.moveTo(0, 32);
      path.arcTo(QRectF(0, 16, 32, 32), 180, -180);
      path.closeSubpath();
      path = QTransform().translate(0, 32).scale(1, 0.6).translate(0, -32).map(path);
      break;
    case 7:  // low quarter round
      path.moveTo(0, 32);
      path.arcTo(QRectF(-32, 14, 64, 36), 0, 90);
      path.lineTo(0, 32);
      path.closeSubpath();
      break;
    case 8:  // low arched top
      path.moveTo(0, 32);
      path.lineTo(0, 10);
      path.arcTo(QRectF(0, 2, 32, 16), 180, -180);
      path.lineTo(32, 32);
      path.closeSubpath();
      break;
    case 9:  // low quarter arched top
      path.moveTo(0, 32);
      path.lineTo(0, 4);
      path.arcTo(QRectF(-32, 4, 64, 20), 90, -90);
      path.lineTo(32, 32);
      path.closeSubpath();
      break;
    case 10: path.addPolygon(QPolygonF({{0, 32}, {0, 8}, {8, 0}, {24, 0}, {32, 8}, {32, 32}})); break;
    case 11: path.addPolygon(QPolygonF({{0, 32}, {0, 0}, {22, 0}, {32, 10}, {32, 32}})); break;
    case 12: path.addPolygon(QPolygonF({{0, 32}, {0, 0}, {32, 32}})); break;
    case 13: path.addPolygon(QPolygonF({{0, 32}, {0, 14}, {16, 0}, {32, 14}, {32, 32}})); break;
    case 14: path.addPolygon(QPolygonF({{0, 32}, {16, 0}, {32, 32}})); break;
    case 15: path.addPolygon(QPolygonF({{0, 32}, {0, 14}, {14, 0}, {32, 0}, {32, 32}})); break;
    case 16: path.addPolygon(QPolygonF({{0, 32}, {0, 12}, {32, 0}, {32, 20}})); break;
    case 17: {
      QPolygonF octagon;
      for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45.0 * i) * M_PI / 180.0;
        octagon << QPointF(16 + 16 * std::cos(a), 16 + 16 * std::sin(a));
      }
      path.addPolygon(octagon);
      path.closeSubpath();
      break;
    }
    case 18: path.addEllipse(box); break;
    default: break;
  }
  return path;
}

QIcon DrawWindowStyle(int row) {
  QPixmap image(kImageSize);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.translate(8, 4);
  const QPainterPath outline = WindowOutline(row);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(QColor(190, 220, 240));
  painter.drawPath(outline);
  painter.setPen(QPen(Qt::black, 1));
  if (row == 0) painter.drawLine(QPointF(0, 16), QPointF(32, 16));
  if (row == 1) {
    for (double x : {32.0 / 3, 64.0 / 3}) painter.drawLine(QPointF(x, 0), QPointF(x, 32));
    for (double y : {32.0 / 3, 64.0 / 3}) painter.drawLine(QPointF(0, y), QPointF(32, y));
  }
  if (row == 19) {  // a custom definition: a star in the frame
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
      const double a = (-90 + 36.0 * i) * M_PI / 180.0, r = i % 2 ? 5 : 12;
      star << QPointF(16 + r * std::cos(a), 17 + r * std::sin(a));
    }
    painter.setBrush(Qt::white);
    painter.drawPolygon(star);
  }
  return QIcon(image);
}

QIcon DrawDoorStyle(int row) {
  QPixmap image(kImageSize);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(Qt::black, 1.5));
  const QRectF frame(12, 4, 24, 34);
  switch (row) {
    case 0:  // frame only
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(frame);
      painter.drawRect(frame.adjusted(3, 3, -3, 0));
      break;
    case 1:  // hinged leaf
      painter.setBrush(QColor(200, 170, 130));
      painter.drawRect(frame);
      painter.setBrush(Qt::black);
      painter.drawEllipse(QPointF(31, 22), 1.5, 1.5);
      break;
    case 2:  // frame with dividers
      painter.setBrush(QColor(190, 220, 240));
      painter.drawRect(frame);
      painter.setPen(QPen(Qt::black, 1));
      painter.drawLine(QPointF(24, 4), QPointF(24, 38));
      for (double y : {12.5, 21.0, 29.5}) painter.drawLine(QPointF(12, y), QPointF(36, y));
      break;
    default: {  // garage: wide panels
      const QRectF wide(4, 8, 40, 30);
      painter.setBrush(QColor(220, 220, 220));
      painter.drawRect(wide);
      painter.setPen(QPen(Qt::black, 1));
      for (double y : {15.5, 23.0, 30.5}) painter.drawLine(QPointF(4, y), QPointF(44, y));
      break;
    }
  }
  return QIcon(image);
}

}  // namespace

int16_t WindowSubtypeOfRow(int32_t row) { return row >= 0 && row < kWindowStyleRows ? kRowSubtypes[row] : -1; }

int32_t WindowRowOf(int32_t subtype, int32_t verticalDividers, int32_t horizontalDividers) {
  switch (subtype) {
    case 600: return verticalDividers == 0 && horizontalDividers == 1 ? 0 : 1;
    case 601: return 2;
    case 609: case 610: return 3;
    case 604: return 4;
    case 605: case 606: return 5;
    case 602: return 6;
    case 624: case 625: return 7;
    case 603: return 8;
    case 607: case 608: return 9;
    case 613: return 10;
    case 611: case 612: return 11;
    case 614: case 615: return 12;
    case 618: return 13;
    case 616: case 617: return 14;
    case 619: return 15;
    case 620: case 621: return 16;
    case 622: return 17;
    case 623: return 18;
    case 626: return 19;
    default: return -1;
  }
}

bool WindowHeightFollowsWidth(int32_t s) {
  switch (s) {
    case 601: case 602: case 609: case 610: case 616: case 617: case 618: case 620: case 621: case 622:
    case 623: case 624: case 625:
      return true;
    default:
      return false;
  }
}

int32_t DoorRowOf(int32_t subtype) { return subtype >= 500 && subtype <= 503 ? subtype - 500 : 4; }

int16_t DoorSwingSide(float a) { return (a >= 0 && a <= 180) || (a > -360 && a < -180) ? 4 : 0; }

QList<QIcon> WindowStyleImages() {
  QList<QIcon> images;
  for (int row = 0; row < kWindowStyleRows; ++row) images.push_back(DrawWindowStyle(row));
  return images;
}

QList<QIcon> DoorStyleImages() {
  QList<QIcon> images;
  for (int row = 0; row < 4; ++row) images.push_back(DrawDoorStyle(row));
  return images;
}

QString WindowStyleImageName(int row) { return QStringLiteral("WindowStyle%1").arg(row + 1); }

QString DoorStyleImageName(int row) {
  static const int kNumbers[4] = {1, 4, 11, 12};
  return row >= 0 && row < 4 ? QStringLiteral("DoorStyle%1").arg(kNumbers[row]) : QString();
}

bool OpeningInspectorBase::walkOpenings(int16_t type, const char* label,
                                        const std::function<bool(Objex*, DoorWindowData*)>& edit) {
  Layer* layer = InspectorCurLayer();
  if (!layer) return false;
  bool any = false;
  {
    // The floor's attached dimensions are measured once, after the last wall is refitted.
    WallDimensionRefreshBatch dimensions;
    for (Objex* wall = layer->firstObject; wall; wall = wall->next) {
      if (wall->type != kObjWall) continue;
      bool changed = false;
      for (Objex* c = wall->firstChild; c; c = c->next) {
        auto* r = static_cast<DoorWindowData*>(c->typeData);
        if (c->type == type && r && IsRootObjectSelected(c) && edit(c, r)) changed = true;
      }
      if (!changed) continue;
      // Openings that no longer fit leave the wall here (with its warning).
      UpdateAllWallAttachments(wall);
      ReRenderObject(wall);
      any = true;
    }
  }
  if (any) StoreInspectorUndo(label);
  Refresh();
  return any;
}

void OpeningInspectorBase::editOpeningLength(QLineEdit* field, int16_t type, float low, bool lowIncluded,
                                             bool planUnits, float DoorWindowData::*target, float& defaultValue,
                                             const char* label) {
  DocState* ds = InspectorDocState();
  if (!ds || !InspectorCurLayer()) return;
  float v = 0;
  // A refused entry (an emptied mixed field too) shows the tool default again.
  if (!readNumber(field, NumberKind::kLength, &v)) return echoFloat(field, defaultValue);
  const bool aboveLow = lowIncluded ? v >= low : v > low;
  if (!aboveLow || !(v < 10000.0f)) return echoFloat(field, defaultValue);
  const float stored = planUnits ? ConvertWorldToScreen(v, ds, 0) : v;
  walkOpenings(type, label, [&](Objex*, DoorWindowData* r) {
    if (r->*target == stored) return false;
    r->*target = stored;
    return true;
  });
  defaultValue = v;
  echoFloat(field, v);
}

QListWidget* OpeningInspectorBase::makeStyleTable(const char* name, const QList<QIcon>& images,
                                                  const QStringList& names) {
  auto* table = new QListWidget(view_);
  table->setObjectName(QString::fromLatin1(name));
  table->setIconSize(kImageSize);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setFixedHeight(kImageSize.height() * 3 + 12);
  for (int row = 0; row < images.size(); ++row) {
    auto* item = new QListWidgetItem(images[row], QString());
    item->setData(Qt::UserRole, names.value(row));
    item->setToolTip(names.value(row));
    table->addItem(item);
  }
  addRow("Style", table);
  return table;
}

void OpeningInspectorBase::selectRow(QListWidget* table, int32_t row) {
  const bool was = table->blockSignals(true);
  if (row >= 0 && row < table->count()) {
    table->setCurrentRow(row);
    table->scrollToItem(table->item(row));
  } else {
    table->clearSelection();
    table->setCurrentRow(-1);
    if (table->count()) table->scrollToItem(table->item(0));
  }
  table->blockSignals(was);
}
