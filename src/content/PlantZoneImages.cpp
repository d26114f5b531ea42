// The hardiness zone pictures of the zone sheet: each region a freehand schematic shape whose
// zones run as bands of colour from its cold side to its warm side, numbered, with a key of
// the ten zone colours below. They show how the zones lie, not where any border runs.
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "content/PlantSearchSheets.h"
#include "platform/Strings.h"

namespace {

constexpr int kImageWidth = 520, kImageHeight = 360;
const QRectF kMapBox(20, 40, 480, 250);

QColor ZoneColour(int zone) {
  static const QRgb kColours[10] = {0x6a3d9a, 0x3f4fbf, 0x2c7fd0, 0x2fa9c8, 0x34b48a,
                                     0x5cbf3c, 0xa7cf35, 0xf0d23a, 0xf29a2e, 0xdd4b2a};
  return QColor(kColours[std::clamp(zone, 1, 10) - 1]);
}

// One piece of land: its outline in the map box's unit square, its coldest and warmest zone
// and the direction from its cold side to its warm side (down is south).
struct Land {
  QPainterPath outline;
  int coldZone;
  int warmZone;
  QPointF towardWarm;
};

QPointF At(double x, double y) { return {kMapBox.left() + x * kMapBox.width(), kMapBox.top() + y * kMapBox.height()}; }

QPainterPath Outline(std::initializer_list<std::pair<double, double>> points) {
  QPolygonF polygon;
  for (const auto& [x, y] : points) polygon << At(x, y);
  polygon << polygon.first();
  QPainterPath path;
  path.addPolygon(polygon);
  return path;
}

QPainterPath Island(double x, double y, double w, double h) {
  QPainterPath path;
  path.addEllipse(QRectF(At(x, y), At(x + w, y + h)));
  return path;
}

std::vector<Land> Region(int index) {
  switch (index) {
    case 0:  // the continental states: colder to the north, warmest along the southern coasts
      return {{Outline({{0.04, 0.16}, {0.34, 0.1}, {0.6, 0.13}, {0.8, 0.06}, {0.96, 0.1}, {0.9, 0.45},
                        {0.78, 0.68}, {0.74, 0.96}, {0.66, 0.72}, {0.5, 0.78}, {0.42, 0.95}, {0.32, 0.74},
                        {0.12, 0.68}, {0.03, 0.42}}),
               3, 10, {0.25, 1}}};
    case 1:  // a cold northern land and warm islands far to the south
      return {{Outline({{0.04, 0.12}, {0.3, 0.06}, {0.5, 0.1}, {0.52, 0.6}, {0.62, 0.72}, {0.4, 0.66},
                        {0.22, 0.74}, {0.06, 0.86}, {0.16, 0.62}, {0.05, 0.45}}),
               1, 7, {0, 1}},
              {Island(0.7, 0.72, 0.05, 0.04), 9, 10, {0, 1}},
              {Island(0.77, 0.76, 0.07, 0.05), 9, 10, {0, 1}},
              {Island(0.86, 0.82, 0.09, 0.1), 9, 10, {0, 1}}};
    case 2:  // a wide land warming toward its southern edge
      return {{Outline({{0.02, 0.32}, {0.18, 0.1}, {0.48, 0.04}, {0.78, 0.1}, {0.98, 0.28}, {0.92, 0.86},
                        {0.62, 0.8}, {0.32, 0.9}, {0.06, 0.84}}),
               1, 8, {0, 1}}};
    case 3:  // colder to the north-east, mild on the western and southern coasts
      return {{Outline({{0.08, 0.52}, {0.24, 0.22}, {0.5, 0.05}, {0.86, 0.08}, {0.96, 0.42}, {0.86, 0.8},
                        {0.6, 0.96}, {0.5, 0.74}, {0.34, 0.9}, {0.14, 0.88}}),
               3, 10, {-1, 1}},
              {Island(0.02, 0.24, 0.1, 0.18), 7, 9, {-1, 1}}};
    case 4:  // warmest to the north, coolest on the southern coast and the island below it
      return {{Outline({{0.08, 0.38}, {0.3, 0.2}, {0.44, 0.04}, {0.58, 0.18}, {0.74, 0.04}, {0.9, 0.3},
                        {0.93, 0.6}, {0.8, 0.84}, {0.56, 0.8}, {0.32, 0.68}, {0.1, 0.74}}),
               8, 10, {0, -1}},
              {Island(0.74, 0.88, 0.08, 0.1), 8, 8, {0, -1}}};
    default: return {};
  }
}

void DrawLand(QPainter& painter, const Land& land) {
  const int bands = land.warmZone - land.coldZone + 1;
  const double length = std::hypot(land.towardWarm.x(), land.towardWarm.y());
  const QPointF d = length > 0 ? land.towardWarm / length : QPointF(0, 1);
  const QPointF across(-d.y(), d.x());
  const QRectF box = land.outline.boundingRect();
  double low = 1e9, high = -1e9;
  for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
    const double t = QPointF::dotProduct(corner, d);
    low = std::min(low, t);
    high = std::max(high, t);
  }
  const double reach = box.width() + box.height();
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(13);
  painter.setFont(font);
  for (int i = 0; i < bands; ++i) {
    const double a = low + (high - low) * i / bands, b = low + (high - low) * (i + 1) / bands;
    QPolygonF strip;
    strip << d * a + across * reach << d * a - across * reach << d * b - across * reach << d * b + across * reach;
    // The strip's line through the box centre, moved onto its own span.
    const QPointF centre = box.center();
    const double shift = QPointF::dotProduct(centre, across);
    strip.translate(across * shift);
    QPainterPath band;
    band.addPolygon(strip);
    band = band.intersected(land.outline);
    const int zone = land.coldZone + i;
    painter.fillPath(band, ZoneColour(zone));
    const QRectF where = band.boundingRect();
    if (where.width() > 14 && where.height() > 12) {
      painter.setPen(Qt::black);
      painter.drawText(where, Qt::AlignCenter, QString::number(zone));
    }
  }
  painter.setPen(QPen(QColor(60, 60, 60), 1.5));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(land.outline);
}

}  // namespace

QImage PlantZoneImage(const QString& name) {
  static const char* const kNames[5] = {"PlantZoneUSA", "PlantZoneAKHI", "PlantZoneCanada", "PlantZoneEurope",
                                        "PlantZoneAustralia"};
  static const char* const kTitles[5] = {"U.S. (Continental)", "Alaska/Hawaii", "Canada", "Europe", "Australia"};
  int index = -1;
  for (int i = 0; i < 5; ++i)
    if (name == QLatin1String(kNames[i])) index = i;
  if (index < 0) return {};
  QImage image(kImageWidth, kImageHeight, QImage::Format_RGB32);
  image.fill(QColor(214, 232, 244));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  QFont font = painter.font();
  font.setPixelSize(16);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRectF(0, 8, kImageWidth, 26), Qt::AlignCenter, QString::fromStdString(LocalizedString(kTitles[index])));
  for (const Land& land : Region(index)) DrawLand(painter, land);
  // The key: the ten zone colours.
  font.setPixelSize(11);
  font.setBold(false);
  painter.setFont(font);
  const double swatch = 40, left = (kImageWidth - 10 * swatch) / 2, top = kImageHeight - 52;
  painter.drawText(QRectF(0, top - 18, kImageWidth, 16), Qt::AlignCenter,
                   QString::fromStdString(LocalizedString("Hardiness zone")));
  for (int zone = 1; zone <= 10; ++zone) {
    const QRectF cell(left + (zone - 1) * swatch + 2, top, swatch - 4, 18);
    painter.fillRect(cell, ZoneColour(zone));
    painter.setPen(QColor(60, 60, 60));
    painter.drawRect(cell);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(cell.left(), top + 20, cell.width(), 16), Qt::AlignCenter, QString::number(zone));
  }
  return image;
}
