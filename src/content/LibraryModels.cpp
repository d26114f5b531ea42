#include "content/LibraryModels.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Materials of the shipped texture folders the models use.
constexpr int32_t kOak = 2206, kWalnut = 2209, kCedar = 2200, kPaintedWhite = 2218, kLinen = 1700, kCheck = 1701,
                  kUpholstery = 1901, kGranite = 1351, kSoil = 1115, kConcrete = 950;
const QColor kMetal(70, 72, 76), kSteel(170, 172, 176), kTerracotta(184, 98, 64);

ModelPart Box(float x0, float x1, float z0, float z1, float bottom, float top, int32_t texture,
              QColor colour = QColor(128, 128, 128)) {
  return {false, x0, x1, z0, z1, bottom, top, texture, colour};
}
ModelPart Cylinder(float cx, float cz, float r, float bottom, float top, int32_t texture,
                   QColor colour = QColor(128, 128, 128)) {
  return {true, cx - r, cx + r, cz - r, cz + r, bottom, top, texture, colour};
}
// Four square legs of `side`, set in by `inset` from the corners of w x d.
void Legs(std::vector<ModelPart>& parts, float w, float d, float side, float inset, float top, int32_t texture,
          QColor colour = QColor(128, 128, 128)) {
  for (float x : {inset, w - inset - side})
    for (float z : {inset, d - inset - side}) parts.push_back(Box(x, x + side, z, z + side, 0, top, texture, colour));
}

LibraryModel Table(const char* file, const char* name, float w, float d, float h, int32_t wood, bool shelf) {
  LibraryModel m{"Furniture", "Tables", file, name, w, d, h, {}};
  m.parts.push_back(Box(0, w, 0, d, h - 4, h, wood));
  Legs(m.parts, w, d, 6, 4, h - 4, wood);
  if (shelf) m.parts.push_back(Box(6, w - 6, 6, d - 6, 12, 14, wood));
  return m;
}

LibraryModel RoundTable() {
  LibraryModel m{"Furniture", "Tables", "RoundTable", "Round Table", 100, 100, 75, {}};
  m.parts = {Cylinder(50, 50, 50, 71, 75, kOak), Cylinder(50, 50, 6, 3, 71, kOak), Cylinder(50, 50, 26, 0, 3, kOak)};
  return m;
}

LibraryModel Chair() {
  LibraryModel m{"Furniture", "Seating", "DiningChair", "Dining Chair", 45, 50, 90, {}};
  Legs(m.parts, 45, 50, 4, 1, 43, kOak);
  m.parts.push_back(Box(0, 45, 0, 50, 43, 46, kOak));
  m.parts.push_back(Box(2, 43, 5, 48, 46, 49, kCheck));
  m.parts.push_back(Box(1, 44, 1, 5, 46, 90, kOak));  // the back, away from the front (larger z)
  return m;
}

LibraryModel Sofa() {
  LibraryModel m{"Furniture", "Seating", "Sofa", "Sofa", 200, 90, 85, {}};
  for (float x : {4.0f, 192.0f})
    for (float z : {4.0f, 82.0f}) m.parts.push_back(Cylinder(x + 2, z + 2, 2, 0, 10, 0, kMetal));
  m.parts.push_back(Box(0, 200, 0, 90, 10, 40, kUpholstery));
  m.parts.push_back(Box(0, 200, 0, 22, 40, 85, kUpholstery));
  m.parts.push_back(Box(0, 16, 22, 90, 40, 62, kUpholstery));
  m.parts.push_back(Box(184, 200, 22, 90, 40, 62, kUpholstery));
  m.parts.push_back(Box(16, 100, 22, 86, 40, 50, kUpholstery));
  m.parts.push_back(Box(100, 184, 22, 86, 40, 50, kUpholstery));
  return m;
}

LibraryModel Armchair() {
  LibraryModel m{"Furniture", "Seating", "Armchair", "Armchair", 90, 85, 85, {}};
  Legs(m.parts, 90, 85, 5, 3, 10, kWalnut);
  m.parts.push_back(Box(0, 90, 0, 85, 10, 40, kUpholstery));
  m.parts.push_back(Box(0, 90, 0, 20, 40, 85, kUpholstery));
  m.parts.push_back(Box(0, 15, 20, 85, 40, 62, kUpholstery));
  m.parts.push_back(Box(75, 90, 20, 85, 40, 62, kUpholstery));
  m.parts.push_back(Box(15, 75, 20, 81, 40, 50, kUpholstery));
  return m;
}

LibraryModel Bed(const char* file, const char* name, float w) {
  LibraryModel m{"Furniture", "Beds", file, name, w, 210, 100, {}};
  constexpr float kLength = 210;
  m.parts.push_back(Box(0, w, 0, 6, 0, 100, kWalnut));  // the headboard
  Legs(m.parts, w, kLength, 6, 0, 15, kWalnut);
  m.parts.push_back(Box(0, w, 6, kLength, 15, 30, kWalnut));
  m.parts.push_back(Box(3, w - 3, 8, kLength - 2, 30, 52, kLinen));
  const int pillows = w > 120 ? 2 : 1;
  const float pw = (w - 10) / static_cast<float>(pillows);
  for (int i = 0; i < pillows; ++i)
    m.parts.push_back(Box(5 + i * pw + 2, 5 + (i + 1) * pw - 2, 12, 50, 52, 62, kLinen));
  m.parts.push_back(Box(1, w - 1, 70, kLength - 1, 30, 55, kCheck));  // the cover, over the sides
  return m;
}

LibraryModel BaseCabinet() {
  LibraryModel m{"Furniture", "Storage", "BaseCabinet", "Base Cabinet", 60, 62, 90, {}};
  m.parts.push_back(Box(2, 58, 0, 55, 0, 10, 0, kMetal));  // the recessed plinth
  m.parts.push_back(Box(0, 60, 0, 58, 10, 86, kPaintedWhite));
  m.parts.push_back(Box(0, 60, 0, 62, 86, 90, kGranite));
  m.parts.push_back(Box(26, 34, 58, 60, 74, 76, 0, kSteel));  // the handle, at the front
  return m;
}

LibraryModel Bookshelf() {
  LibraryModel m{"Furniture", "Storage", "Bookshelf", "Bookshelf", 90, 30, 180, {}};
  m.parts.push_back(Box(0, 2, 0, 30, 0, 180, kOak));
  m.parts.push_back(Box(88, 90, 0, 30, 0, 180, kOak));
  m.parts.push_back(Box(2, 88, 0, 2, 0, 180, kOak));
  for (float h : {0.0f, 44.0f, 88.0f, 132.0f, 176.0f}) m.parts.push_back(Box(2, 88, 2, 30, h, h + 4, kOak));
  return m;
}

LibraryModel Wardrobe() {
  LibraryModel m{"Furniture", "Storage", "Wardrobe", "Wardrobe", 100, 60, 200, {}};
  m.parts.push_back(Box(0, 100, 0, 58, 0, 200, kPaintedWhite));
  m.parts.push_back(Box(45, 47, 58, 60, 100, 130, 0, kSteel));
  m.parts.push_back(Box(53, 55, 58, 60, 100, 130, 0, kSteel));
  return m;
}

LibraryModel Planter(bool round) {
  LibraryModel m{"Outdoor", "Planters", round ? "RoundPlanter" : "SquarePlanter",
                 round ? "Round Planter" : "Square Planter", round ? 50.0f : 60.0f, round ? 50.0f : 60.0f, 45, {}};
  // The soil a little proud of the rim, its top the planter's height.
  if (round) {
    m.parts = {Cylinder(25, 25, 25, 0, 44, 0, kTerracotta), Cylinder(25, 25, 22, 44, 45, kSoil)};
  } else {
    m.parts = {Box(0, 60, 0, 60, 0, 44, kConcrete), Box(4, 56, 4, 56, 44, 45, kSoil)};
  }
  return m;
}

LibraryModel Bench() {
  LibraryModel m{"Outdoor", "Benches", "GardenBench", "Garden Bench", 150, 45, 80, {}};
  // The back rail at the back edge (z 0), the front slat's edge at the front (z 45).
  for (float x : {10.0f, 134.0f}) {
    m.parts.push_back(Box(x, x + 6, 38, 44, 0, 42, 0, kMetal));
    m.parts.push_back(Box(x, x + 6, 1, 7, 0, 80, 0, kMetal));
  }
  for (float z : {7.0f, 20.0f, 33.0f}) m.parts.push_back(Box(0, 150, z, z + 12, 42, 45, kCedar));
  m.parts.push_back(Box(0, 150, 0, 3, 55, 78, kCedar));
  return m;
}

LibraryModel PicnicTable() {
  LibraryModel m{"Outdoor", "Benches", "PicnicTable", "Picnic Table", 180, 150, 75, {}};
  m.parts.push_back(Box(0, 180, 38, 112, 71, 75, kCedar));
  for (float z : {0.0f, 125.0f}) m.parts.push_back(Box(0, 180, z, z + 25, 42, 45, kCedar));
  for (float x : {20.0f, 154.0f}) {
    m.parts.push_back(Box(x, x + 6, 40, 110, 0, 71, kCedar));
    m.parts.push_back(Box(x, x + 6, 0, 150, 36, 42, kCedar));
  }
  return m;
}

}  // namespace

std::vector<std::array<float, 2>> PartOutline(const ModelPart& part) {
  if (!part.cylinder) return {{part.x0, part.z0}, {part.x1, part.z0}, {part.x1, part.z1}, {part.x0, part.z1}};
  constexpr int kSides = 16;
  constexpr double kPi = 3.14159265358979323846, kStep = 2 * kPi / kSides;
  const double cx = (part.x0 + part.x1) / 2.0, cz = (part.z0 + part.z1) / 2.0, r = (part.x1 - part.x0) / 2.0;
  // Corners half a side either side of the axes, out far enough that the sides touch the
  // circle: the outline spans the diameter both ways, and its first side is the back one.
  const double corner = r / std::cos(kStep / 2);
  std::vector<std::array<float, 2>> ring;
  for (int i = 0; i < kSides; ++i) {
    const double a = -kPi / 2 - kStep / 2 + i * kStep;
    ring.push_back({static_cast<float>(cx + corner * std::cos(a)), static_cast<float>(cz + corner * std::sin(a))});
  }
  // The back side exactly level, whatever the rounding of the sines.
  ring[1][1] = ring[0][1];
  return ring;
}

const std::vector<LibraryModel>& LibraryModels() {
  static const std::vector<LibraryModel> models = {
      Table("DiningTable", "Dining Table", 150, 90, 75, kOak, false),
      Table("CoffeeTable", "Coffee Table", 110, 60, 45, kWalnut, true),
      RoundTable(),
      Chair(),
      Armchair(),
      Sofa(),
      Bed("DoubleBed", "Double Bed", 160),
      Bed("SingleBed", "Single Bed", 90),
      BaseCabinet(),
      Bookshelf(),
      Wardrobe(),
      Planter(true),
      Planter(false),
      Bench(),
      PicnicTable(),
  };
  return models;
}

namespace {

struct Vec {
  float x, h, z;  // across, up, back to front
};
struct Face {
  std::vector<Vec> corners;
  Vec normal;
  QColor colour;
};

float Dot(Vec a, Vec b) { return a.x * b.x + a.h * b.h + a.z * b.z; }

void AddFaces(const ModelPart& part, QColor colour, std::vector<Face>& faces) {
  const float b = part.bottom, t = part.top;
  if (!part.cylinder) {
    const float x0 = part.x0, x1 = part.x1, z0 = part.z0, z1 = part.z1;
    faces.push_back({{{x0, t, z0}, {x1, t, z0}, {x1, t, z1}, {x0, t, z1}}, {0, 1, 0}, colour});
    faces.push_back({{{x0, b, z0}, {x1, b, z0}, {x1, b, z1}, {x0, b, z1}}, {0, -1, 0}, colour});
    faces.push_back({{{x0, b, z1}, {x1, b, z1}, {x1, t, z1}, {x0, t, z1}}, {0, 0, 1}, colour});
    faces.push_back({{{x0, b, z0}, {x1, b, z0}, {x1, t, z0}, {x0, t, z0}}, {0, 0, -1}, colour});
    faces.push_back({{{x1, b, z0}, {x1, b, z1}, {x1, t, z1}, {x1, t, z0}}, {1, 0, 0}, colour});
    faces.push_back({{{x0, b, z0}, {x0, b, z1}, {x0, t, z1}, {x0, t, z0}}, {-1, 0, 0}, colour});
    return;
  }
  const std::vector<std::array<float, 2>> ring = PartOutline(part);
  Face top{{}, {0, 1, 0}, colour}, bottom{{}, {0, -1, 0}, colour};
  for (size_t i = 0; i < ring.size(); ++i) {
    const auto [x0, z0] = ring[i];
    const auto [x1, z1] = ring[(i + 1) % ring.size()];
    // A side's outward normal: its direction turned a quarter turn (the first, back side faces -z).
    const float dx = x1 - x0, dz = z1 - z0, length = std::hypot(dx, dz);
    faces.push_back({{{x0, b, z0}, {x1, b, z1}, {x1, t, z1}, {x0, t, z0}}, {dz / length, 0, -dx / length}, colour});
    top.corners.push_back({x0, t, z0});
    bottom.corners.push_back({x0, b, z0});
  }
  faces.push_back(top);
  faces.push_back(bottom);
}

}  // namespace

QImage ModelPreview(const LibraryModel& model, int side, const std::function<QColor(const ModelPart&)>& colourOf) {
  QImage image(side, side, QImage::Format_RGB32);
  image.fill(Qt::white);
  std::vector<Face> faces;
  for (const ModelPart& part : model.parts) AddFaces(part, colourOf(part), faces);
  // Seen from the front left, 35 degrees above the floor; the light from above the left shoulder.
  const float azimuth = 0.55f, elevation = 0.6f;
  const Vec toViewer{-std::sin(azimuth) * std::cos(elevation), std::sin(elevation), std::cos(azimuth) * std::cos(elevation)};
  const Vec light{-0.4f, 0.8f, 0.45f};
  auto project = [&](Vec p) {
    const float across = p.x * std::cos(azimuth) + p.z * std::sin(azimuth);
    const float toward = -p.x * std::sin(azimuth) + p.z * std::cos(azimuth);
    return QPointF(across, toward * std::sin(elevation) - p.h * std::cos(elevation));
  };
  std::vector<std::pair<float, const Face*>> visible;
  QRectF bounds;
  for (const Face& f : faces) {
    for (const Vec& c : f.corners) {
      const QPointF q = project(c);
      bounds = bounds.isNull() ? QRectF(q, QSizeF(0.001, 0.001)) : bounds.united(QRectF(q, QSizeF(0.001, 0.001)));
    }
    if (Dot(f.normal, toViewer) <= 0) continue;
    Vec mid{0, 0, 0};
    for (const Vec& c : f.corners) mid = {mid.x + c.x, mid.h + c.h, mid.z + c.z};
    const float n = static_cast<float>(f.corners.size());
    visible.push_back({-Dot(Vec{mid.x / n, mid.h / n, mid.z / n}, toViewer), &f});
  }
  // Farthest first, so that nearer faces cover them.
  std::stable_sort(visible.begin(), visible.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  const float margin = side / 10.0f;
  const float scale = static_cast<float>(std::min((side - 2 * margin) / bounds.width(), (side - 2 * margin) / bounds.height()));
  const QPointF offset((side - bounds.width() * scale) / 2 - bounds.left() * scale,
                       (side - bounds.height() * scale) / 2 - bounds.top() * scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const float lightLength = std::sqrt(Dot(light, light));
  for (const auto& [depth, f] : visible) {
    QPolygonF polygon;
    for (const Vec& c : f->corners) polygon << project(c) * scale + offset;
    const float lit = 0.55f + 0.45f * std::max(0.0f, Dot(f->normal, light) / lightLength);
    const QColor c = f->colour;
    const QColor shaded(std::min(255, static_cast<int>(c.red() * lit)), std::min(255, static_cast<int>(c.green() * lit)),
                        std::min(255, static_cast<int>(c.blue() * lit)));
    p.setPen(QPen(shaded.darker(130), 0.6));
    p.setBrush(shaded);
    p.drawPolygon(polygon);
  }
  return image;
}
