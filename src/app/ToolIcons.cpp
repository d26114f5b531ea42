// Tool button faces drawn with QPainter (no image files), the palette buttons and the zoom
// cursor.
#include "app/ToolIcons.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>
#include <QVariant>
#include <cmath>

#include "app/AppController.h"
#include "app/ZLKWindowController.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"

namespace {

constexpr int kFace = 24;

void Polyline(QPainter& p, std::initializer_list<QPointF> points, bool closed) {
  QPolygonF poly(points);
  if (closed) p.drawPolygon(poly);
  else p.drawPolyline(poly);
}

void Letters(QPainter& p, const char* text) {
  QFont font = p.font();
  font.setPixelSize(9);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(0, 0, kFace, kFace), Qt::AlignCenter, QString::fromLatin1(text));
}

void Wall(QPainter& p, qreal thickness) {
  p.save();
  p.setBrush(QColor(90, 90, 90));
  p.drawRect(QRectF(3, 12 - thickness / 2, 18, thickness));
  p.restore();
}

void Door(QPainter& p) {
  p.drawLine(QPointF(3, 20), QPointF(21, 20));
  p.drawLine(QPointF(5, 20), QPointF(5, 5));
  p.drawArc(QRectF(-10, 5, 30, 30), 0, 90 * 16);
}

void Window(QPainter& p) {
  p.drawRect(QRectF(3, 9, 18, 6));
  p.drawLine(QPointF(3, 12), QPointF(21, 12));
  p.drawLine(QPointF(12, 9), QPointF(12, 15));
}

void Roof(QPainter& p, uint16_t tool) {
  switch (tool) {
    case kToolGableRoof:
      Polyline(p, {{3, 19}, {12, 6}, {21, 19}}, true);
      break;
    case kToolHipRoof:
      Polyline(p, {{3, 19}, {8, 8}, {16, 8}, {21, 19}}, true);
      break;
    case kToolHipGableRoof:
      Polyline(p, {{3, 19}, {8, 8}, {16, 8}, {21, 19}}, true);
      p.drawLine(QPointF(8, 8), QPointF(12, 4));
      p.drawLine(QPointF(16, 8), QPointF(12, 4));
      break;
    case kToolFreehandRoof:
      Polyline(p, {{3, 18}, {7, 6}, {17, 9}, {21, 19}}, true);
      break;
    case kToolSkylight:
      Polyline(p, {{3, 19}, {12, 6}, {21, 19}}, true);
      p.drawRect(QRectF(9, 12, 6, 4));
      break;
    default: {  // connectors, dormers and the point roofs: a ridge with a joint
      Polyline(p, {{3, 19}, {12, 6}, {21, 19}}, false);
      p.drawLine(QPointF(12, 6), QPointF(12, 19));
      if (tool == kToolCrossRoofConnector) p.drawLine(QPointF(5, 14), QPointF(19, 14));
      break;
    }
  }
}

void Dimension(QPainter& p) {
  p.drawLine(QPointF(3, 12), QPointF(21, 12));
  p.drawLine(QPointF(3, 8), QPointF(3, 16));
  p.drawLine(QPointF(21, 8), QPointF(21, 16));
  Polyline(p, {{6, 10}, {3, 12}, {6, 14}}, false);
  Polyline(p, {{18, 10}, {21, 12}, {18, 14}}, false);
}

void Draw(QPainter& p, uint16_t tool) {
  switch (tool) {
    case kToolSelection:
      p.setBrush(Qt::black);
      Polyline(p, {{7, 3}, {7, 19}, {11, 15}, {14, 21}, {16, 20}, {13, 14}, {18, 14}}, true);
      return;
    case kToolRotate:
      p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 280 * 16);
      Polyline(p, {{15, 3}, {19, 6}, {15, 9}}, false);
      return;
    case kToolZoom:
      p.drawEllipse(QRectF(3, 3, 12, 12));
      p.setPen(QPen(Qt::black, 3));
      p.drawLine(QPointF(14, 14), QPointF(20, 20));
      return;
    case kToolPan:
      p.drawLine(QPointF(12, 3), QPointF(12, 21));
      p.drawLine(QPointF(3, 12), QPointF(21, 12));
      Polyline(p, {{9, 6}, {12, 3}, {15, 6}}, false);
      Polyline(p, {{9, 18}, {12, 21}, {15, 18}}, false);
      Polyline(p, {{6, 9}, {3, 12}, {6, 15}}, false);
      Polyline(p, {{18, 9}, {21, 12}, {18, 15}}, false);
      return;
    case kToolViewPoint:
      p.drawEllipse(QRectF(3, 7, 18, 10));
      p.setBrush(Qt::black);
      p.drawEllipse(QRectF(9, 9, 6, 6));
      return;
    case kToolText: case kToolTextAlt: {
      QFont font = p.font();
      font.setPixelSize(18);
      p.setFont(font);
      p.drawText(QRectF(0, 0, kFace, kFace), Qt::AlignCenter, QStringLiteral("T"));
      return;
    }
    case kToolInsertPoint: case kToolRemovePoint:
      Polyline(p, {{3, 18}, {12, 6}, {21, 18}}, false);
      p.setBrush(Qt::black);
      p.drawRect(QRectF(10, 4, 4, 4));
      p.drawLine(QPointF(15, 20), QPointF(21, 20));
      if (tool == kToolInsertPoint) p.drawLine(QPointF(18, 17), QPointF(18, 23));
      return;
    case kToolFillet: case kToolInvertedFillet:
      p.drawLine(QPointF(4, 20), QPointF(4, 12));
      p.drawLine(QPointF(12, 4), QPointF(20, 4));
      if (tool == kToolFillet) p.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 90 * 16);
      else p.drawArc(QRectF(-4, -4, 16, 16), 270 * 16, 90 * 16);
      return;
    case kToolChamfer:
      Polyline(p, {{4, 20}, {4, 12}, {12, 4}, {20, 4}}, false);
      return;
    case kToolExteriorWall: Wall(p, 6); return;
    case kToolInteriorWall: Wall(p, 3); return;
    case kToolRetainingWall: Wall(p, 5); p.drawLine(QPointF(3, 17), QPointF(21, 17)); return;
    case kToolCurvedWall:
      p.setPen(QPen(QColor(90, 90, 90), 4));
      p.drawArc(QRectF(3, 6, 18, 24), 20 * 16, 140 * 16);
      return;
    case kToolWallBreak:
      Wall(p, 5);
      p.setPen(QPen(Qt::white, 2));
      p.drawLine(QPointF(12, 6), QPointF(12, 18));
      return;
    case kToolDoor: case kToolCasedOpening: Door(p); return;
    case kToolWindow: Window(p); return;
    case kToolFixtureLight: case kToolFloodLight:
      p.drawEllipse(QRectF(8, 8, 8, 8));
      for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(QPointF(12 + 6 * std::cos(a), 12 + 6 * std::sin(a)),
                   QPointF(12 + 10 * std::cos(a), 12 + 10 * std::sin(a)));
      }
      return;
    case kToolStraightStairway: case kToolDeckStraightStairway:
      p.drawRect(QRectF(6, 3, 12, 18));
      for (int y = 7; y < 21; y += 4) p.drawLine(QPointF(6, y), QPointF(18, y));
      return;
    case kToolCurvedStairway: case kToolDeckCurvedStairway:
      p.drawArc(QRectF(2, 2, 20, 20), 0, 180 * 16);
      p.drawArc(QRectF(8, 8, 8, 8), 0, 180 * 16);
      p.drawLine(QPointF(2, 12), QPointF(8, 12));
      p.drawLine(QPointF(16, 12), QPointF(22, 12));
      p.drawLine(QPointF(12, 2), QPointF(12, 8));
      return;
    case kToolStraightRailing: case kToolDeckStraightRailing:
      p.drawLine(QPointF(3, 12), QPointF(21, 12));
      for (int x = 3; x <= 21; x += 6) p.drawEllipse(QRectF(x - 1.5, 10.5, 3, 3));
      return;
    case kToolCurvedRailing: case kToolDeckCurvedRailing:
      p.drawArc(QRectF(3, 6, 18, 24), 20 * 16, 140 * 16);
      return;
    case kToolFloor: case kToolFloorCutout:
      p.setBrush(tool == kToolFloor ? QBrush(QColor(200, 200, 200)) : QBrush(Qt::NoBrush));
      Polyline(p, {{3, 4}, {21, 4}, {21, 20}, {10, 20}, {10, 13}, {3, 13}}, true);
      if (tool == kToolFloorCutout) p.drawLine(QPointF(13, 8), QPointF(18, 16));
      return;
    case kToolAccessory:
      p.drawRect(QRectF(4, 6, 16, 10));
      p.drawLine(QPointF(6, 16), QPointF(6, 20));
      p.drawLine(QPointF(18, 16), QPointF(18, 20));
      return;
    case kToolDeckWithRailing: case kToolDeckWithoutRailing:
      p.drawRect(QRectF(3, 5, 18, 14));
      for (int x = 6; x < 21; x += 3) p.drawLine(QPointF(x, 5), QPointF(x, 19));
      if (tool == kToolDeckWithRailing) {
        p.setPen(QPen(Qt::black, 2));
        Polyline(p, {{3, 19}, {3, 5}, {21, 5}, {21, 19}}, false);
      }
      return;
    case kToolPropertyLine:
      p.setPen(QPen(Qt::black, 1, Qt::DashDotLine));
      p.drawRect(QRectF(3, 3, 18, 18));
      return;
    case kToolGroundFillRegion: case kToolFill:
      p.setBrush(QBrush(QColor(120, 170, 90), tool == kToolFill ? Qt::Dense4Pattern : Qt::SolidPattern));
      Polyline(p, {{3, 12}, {8, 4}, {19, 6}, {21, 17}, {9, 20}}, true);
      return;
    case kToolPathwayDriveway:
      p.drawArc(QRectF(0, 4, 24, 32), 30 * 16, 120 * 16);
      p.drawArc(QRectF(6, 10, 12, 20), 30 * 16, 120 * 16);
      return;
    case kToolEdging:
      p.setPen(QPen(QColor(120, 80, 40), 3));
      p.drawArc(QRectF(3, 6, 18, 24), 20 * 16, 140 * 16);
      return;
    case kToolFence:
      p.drawLine(QPointF(3, 9), QPointF(21, 9));
      p.drawLine(QPointF(3, 15), QPointF(21, 15));
      for (int x = 4; x <= 20; x += 4) p.drawLine(QPointF(x, 5), QPointF(x, 20));
      return;
    case kToolGate:
      p.drawRect(QRectF(5, 6, 14, 13));
      p.drawLine(QPointF(5, 19), QPointF(19, 6));
      return;
    case kToolSprinklerHead:
      p.setBrush(Qt::black);
      p.drawEllipse(QRectF(10, 14, 4, 4));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(4, 6, 16, 16), 30 * 16, 120 * 16);
      p.drawArc(QRectF(7, 9, 10, 10), 30 * 16, 120 * 16);
      return;
    case kToolExcavateTopography:
      Polyline(p, {{3, 8}, {8, 8}, {10, 18}, {14, 18}, {16, 8}, {21, 8}}, false);
      return;
    case kToolStraightEdgeTopography:
      Polyline(p, {{3, 18}, {10, 10}, {21, 6}}, false);
      Polyline(p, {{3, 21}, {10, 14}, {21, 10}}, false);
      return;
    case kToolCurvedTopography:
      p.drawArc(QRectF(3, 6, 18, 24), 20 * 16, 140 * 16);
      p.drawArc(QRectF(7, 11, 10, 16), 20 * 16, 140 * 16);
      return;
    case kToolRectangle: p.drawRect(QRectF(3, 6, 18, 12)); return;
    case kToolCircleOval: p.drawEllipse(QRectF(3, 6, 18, 12)); return;
    case kToolLine: p.drawLine(QPointF(4, 20), QPointF(20, 4)); return;
    case kToolPolygon: Polyline(p, {{3, 19}, {6, 5}, {14, 10}, {21, 4}, {19, 20}}, true); return;
    case kToolArc: p.drawArc(QRectF(3, 3, 36, 36), 90 * 16, 90 * 16); return;
    case kToolCircularArc: p.drawArc(QRectF(3, 6, 18, 18), 0, 180 * 16); return;
    case kToolMultigon: {
      QPolygonF hexagon;
      for (int i = 0; i < 6; ++i)
        hexagon << QPointF(12 + 9 * std::cos(i * M_PI / 3), 12 + 9 * std::sin(i * M_PI / 3));
      p.drawPolygon(hexagon);
      return;
    }
    case kToolCurve: {
      QPainterPath path(QPointF(3, 18));
      path.cubicTo(QPointF(8, 0), QPointF(16, 24), QPointF(21, 6));
      p.drawPath(path);
      return;
    }
    case kToolDimensionWall: case kToolDimension: case kToolOffsetDimension:
    case kToolLengthDimension:
      Dimension(p);
      if (tool == kToolDimensionWall) Wall(p, 3);
      return;
    case kToolDiameterDimension:
      p.drawEllipse(QRectF(3, 3, 18, 18));
      p.drawLine(QPointF(6, 18), QPointF(18, 6));
      return;
    case kToolKeyEntry: {  // a segment with its typed length
      p.drawLine(QPointF(3, 19), QPointF(21, 19));
      p.setBrush(Qt::black);
      p.drawRect(QRectF(2, 17, 3, 3));
      p.drawRect(QRectF(19, 17, 3, 3));
      QFont font = p.font();
      font.setPixelSize(12);
      p.setFont(font);
      p.drawText(QRectF(0, 0, kFace, 16), Qt::AlignCenter, QStringLiteral("12'"));
      return;
    }
    case kToolLeaderDimension:
      p.drawLine(QPointF(4, 20), QPointF(14, 8));
      p.drawLine(QPointF(14, 8), QPointF(21, 8));
      p.setBrush(Qt::black);
      Polyline(p, {{4, 20}, {5, 15}, {8, 18}}, true);
      return;
    default:
      break;
  }
  if (tool >= kToolGableRoof && tool <= kToolShedRoof) {
    Roof(p, tool);
    return;
  }
  // Symbols of the foundation, electrical, plumbing and HVAC plans: a few letters.
  struct Label {
    uint16_t tool;
    const char* text;
  };
  static constexpr Label kLabels[] = {
      {kToolFoundationPerimeter, "FND"}, {kToolStiffenerBeam, "BM"}, {kToolFoundationPier, "PR"},
      {kToolPostTensionStrand, "PT"}, {kToolFoundationSlope, "SLP"},
      {kToolReceptacle110, "110"}, {kToolReceptacle110Style, "110S"},
      {kToolFloorCeilingReceptacle110, "F110"}, {kToolReceptacle220, "220"},
      {kToolFloorCeilingReceptacle220, "F220"}, {kToolSwitch, "S"}, {kToolMultiWaySwitch, "S3"},
      {kToolDimmerSwitch, "SD"}, {kToolSwitchConnector, "SC"}, {kToolCeilingFan, "FAN"},
      {kToolCableOutlet, "TV"}, {kToolPhoneOutlet, "TEL"}, {kToolSmokeDetector, "SMK"},
      {kToolThermostat, "T"}, {kToolHoseBib, "HB"}, {kToolGasBib, "GB"}, {kToolFloorDrain, "FD"},
      {kToolToilet, "WC"}, {kToolSingleSink, "SK"}, {kToolDoubleSink, "SK2"},
      {kToolTripleSink, "SK3"}, {kToolOvalSink, "OSK"}, {kToolBathTub, "TUB"},
      {kToolSpaTub, "SPA"}, {kToolShower, "SH"}, {kToolWaterHeater, "WH"},
      {kToolAirDuct, "DCT"}, {kToolFloorRegister, "FR"}, {kToolCeilingRegister, "CR"},
      {kToolAirReturn, "RA"}, {kToolFurnace, "FUR"}, {kToolAirConditioner, "AC"},
      {kToolHeatPump, "HP"}, {kToolBaseboardHeater, "BB"},
  };
  for (const Label& label : kLabels)
    if (label.tool == tool) {
      p.drawRect(QRectF(1.5, 1.5, kFace - 3, kFace - 3));
      Letters(p, label.text);
      return;
    }
  Letters(p, "?");
}

}  // namespace

QIcon ToolIcon(uint16_t tool) {
  QPixmap pixmap(kFace, kFace);
  pixmap.fill(Qt::transparent);
  {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    Draw(p, tool);
  }
  return QIcon(pixmap);
}

bool ToolIsAvailable(uint16_t tool) { return PendingTrackingRoutine(tool) == nullptr; }

namespace {

// Hands an activated palette's keyboard back to the front design window.
class PaletteActivationFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) {
      ZLKWindowController* design = AppController::mainWindowController();
      if (design && design->isVisible() && design != watched) design->activateWindow();
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void KeepKeyboardWithDesignWindow(QWidget* palette) {
  if (!palette) return;
  palette->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
  palette->setAttribute(Qt::WA_ShowWithoutActivating);
  // Never active, the palette still names each button on hover.
  palette->setAttribute(Qt::WA_AlwaysShowToolTips);
  palette->setFocusPolicy(Qt::NoFocus);
  palette->installEventFilter(new PaletteActivationFilter(palette));
}

QToolButton* MakeToolButton(uint16_t tool, const QString& toolTip, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setCheckable(true);
  button->setAutoExclusive(false);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setIcon(ToolIcon(tool));
  button->setIconSize(QSize(kFace, kFace));
  button->setToolTip(toolTip);
  button->setProperty("tool", QVariant(static_cast<int>(tool)));
  button->setEnabled(ToolIsAvailable(tool));
  return button;
}

uint16_t ToolOfButton(const QToolButton* button) {
  return button ? static_cast<uint16_t>(button->property("tool").toInt()) : static_cast<uint16_t>(kToolNone);
}

QCursor ZoomCursor() {
  static const QCursor cursor = [] {
    QPixmap pixmap(kFace, kFace);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 3));
    p.drawEllipse(QRectF(5, 3, 12, 12));
    p.drawLine(QPointF(15, 14), QPointF(21, 20));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawEllipse(QRectF(5, 3, 12, 12));
    p.drawLine(QPointF(15, 14), QPointF(21, 20));
    p.drawLine(QPointF(8, 9), QPointF(14, 9));
    p.drawLine(QPointF(11, 6), QPointF(11, 12));
    p.end();
    return QCursor(pixmap, 11, 9);
  }();
  return cursor;
}
