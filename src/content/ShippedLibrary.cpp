#include "content/ShippedLibrary.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "content/FixedSymbolDrawings.h"
#include "content/LibraryModels.h"
#include "content/ProceduralTextures.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectFile.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "files/SymbolFile.h"
#include <unistd.h>
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/TextureIDs.h"
#include "platform/ContentPaths.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 32;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<uint8_t> Png(const QImage& image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {data.begin(), data.end()};
}

// A moulding profile on white.
// Opaque materials as JPEG (the image reader goes by the bytes, not the name): a noisy surface
// takes a fifth of the room it would as PNG. Keyed images (plants, glows) stay PNG, whose
// pure black survives exactly.
std::vector<uint8_t> Jpeg(const QImage& image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG", 90);
  return {data.begin(), data.end()};
}

constexpr int kPreviewSide = 128;

QImage TrimImage(int kind, int step, bool) {
  QImage image(kPreviewSide, kPreviewSide, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor paint(238, 234, 222), shade(200, 194, 180), line(130, 120, 105);
  p.setPen(QPen(line, 1.2));
  const float grow = 8.0f * static_cast<float>(step);
  switch (kind) {
    case 0: {  // base: a board standing on the floor, its top edge rounded over
      QPainterPath board;
      board.moveTo(40, 120);
      board.lineTo(40, 40 - grow);
      board.lineTo(64, 40 - grow);
      board.quadTo(84, 40 - grow, 84, 60 - grow);
      board.lineTo(84, 120);
      board.closeSubpath();
      p.setBrush(paint);
      p.drawPath(board);
      p.setBrush(shade);
      p.drawRect(QRectF(76, 62 - grow, 8, 58 + grow));
      break;
    }
    case 1: {  // crown: a cove bridging the wall and the ceiling
      QPainterPath cove;
      cove.moveTo(20, 12);
      cove.lineTo(108 - grow, 12);
      cove.cubicTo(96 - grow, 50, 60, 84 + grow, 20, 100 + grow);
      cove.closeSubpath();
      p.setBrush(paint);
      p.drawPath(cove);
      p.setBrush(shade);
      p.drawRect(QRectF(20, 12, 10, 88 + grow));
      break;
    }
    case 2:  // library paneling: a raised panel in its frame
      p.setBrush(paint);
      p.drawRect(QRectF(16, 16, 96, 96));
      p.setBrush(shade);
      p.drawRect(QRectF(30 - grow / 2, 30 - grow / 2, 68 + grow, 68 + grow));
      p.setBrush(paint);
      p.drawRect(QRectF(40 - grow / 2, 40 - grow / 2, 48 + grow, 48 + grow));
      break;
    default:  // wainscot: beaded boards under a cap rail
      p.setBrush(paint);
      p.drawRect(QRectF(16, 36, 96, 84));
      for (int x = 28; x < 112; x += 12 - step * 2) p.drawLine(QPointF(x, 44), QPointF(x, 120));
      p.setBrush(shade);
      p.drawRect(QRectF(12, 28, 104, 10));
      break;
  }
  return image;
}

// The glow of a light fixture: white fading to black from the centre.
QImage GlowImage() {
  constexpr int kGlowSide = 64;
  QImage image(kGlowSide, kGlowSide, QImage::Format_RGB32);
  for (int y = 0; y < kGlowSide; ++y)
    for (int x = 0; x < kGlowSide; ++x) {
      const double dx = x - 31.5, dy = y - 31.5;
      const int v = std::max(0, 255 - static_cast<int>(8 * std::sqrt(dx * dx + dy * dy)));
      image.setPixel(x, y, qRgb(v, v, v));
    }
  return image;
}

// The outline of a plant category in white lines on pure black (the wireframe view's plants).
QImage WirePlantImage(int category) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(Qt::NoBrush);
  p.drawLine(16, 31, 16, 18 - category % 3);
  const int r = 4 + category % 7;
  if (category % 2 == 0) p.drawEllipse(QPoint(16, 14 - category % 3), r, r);
  else p.drawPolygon(QPolygon({QPoint(16, 2 + category % 4), QPoint(16 + r, 20), QPoint(16 - r, 20)}));
  return image;
}

// The stand-in for an image that cannot be found: grey with a red cross.
QImage NotAvailableImage() {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(QColor(160, 160, 160));
  QPainter p(&image);
  p.setPen(QPen(QColor(200, 30, 30), 3));
  p.drawLine(4, 4, kSide - 5, kSide - 5);
  p.drawLine(kSide - 5, 4, 4, kSide - 5);
  return image;
}

QImage PreviewImage(int hue, const char* shape) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor::fromHsv(hue % 360, 120, 220));
  if (shape[0] == 'o') p.drawEllipse(6, 6, 20, 20);
  else p.drawRect(6, 6, 20, 20);
  return image;
}

// The custom door's preview: a four-panel door in painted wood in its frame.
QImage PanelDoorPreview() {
  QImage image(kPreviewSide, kPreviewSide, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(120, 110, 100), 1.5));
  p.setBrush(QColor(236, 234, 226));
  p.drawRect(QRectF(36, 8, 56, 116));                // the frame
  p.drawRect(QRectF(40, 12, 48, 112));               // the leaf
  p.setBrush(QColor(222, 220, 210));
  for (float top : {18.0f, 70.0f})
    for (float left : {45.0f, 66.0f}) p.drawRect(QRectF(left, top, 17, top < 50 ? 44 : 48));
  p.setBrush(QColor(190, 160, 60));                  // the brass knob
  p.drawEllipse(QPointF(83, 68), 2.5, 2.5);
  return image;
}

// The custom window's preview: two panes of glass either side of a centre bar.
QImage TwoLightWindowPreview() {
  QImage image(kPreviewSide, kPreviewSide, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(120, 110, 100), 1.5));
  p.setBrush(QColor(236, 234, 226));
  p.drawRect(QRectF(24, 14, 80, 100));
  QLinearGradient glass(QPointF(0, 20), QPointF(0, 108));
  glass.setColorAt(0, QColor(150, 190, 225));
  glass.setColorAt(1, QColor(210, 230, 245));
  p.setBrush(glass);
  p.drawRect(QRectF(30, 20, 31, 88));
  p.drawRect(QRectF(67, 20, 31, 88));
  p.setPen(QPen(QColor(255, 255, 255, 200), 3));     // a reflection across each pane
  p.drawLine(QPointF(36, 50), QPointF(52, 30));
  p.drawLine(QPointF(73, 50), QPointF(89, 30));
  return image;
}

// The photo view plug-in's preview: a framed picture of hills under a sun.
QImage PhotoViewPreview() {
  QImage image(64, 64, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.setBrush(QColor(190, 220, 245));
  p.drawRect(6, 10, 52, 42);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 200, 60));
  p.drawEllipse(QPointF(44, 22), 6, 6);
  p.setBrush(QColor(90, 160, 80));
  p.drawPolygon(QPolygonF({QPointF(7, 51), QPointF(7, 40), QPointF(22, 28), QPointF(36, 42), QPointF(44, 36),
                           QPointF(57, 46), QPointF(57, 51)}));
  return image;
}

struct Collector {
  std::vector<ShippedFile> files;
  void add(bool shared, const std::string& path, std::vector<uint8_t> bytes) {
    files.push_back({shared, path, std::move(bytes)});
  }
  void text(bool shared, const std::string& path, const std::string& body) { add(shared, path, Bytes(body)); }
};

struct Folder {
  const char* folder;
  const char* name;
  int base;
  const char* prefix;
};

// One stock material image: its folder and file prefix (the file number n gives every id of
// the folder's ranges that maps to it), the kind of surface, its variant, its real size in
// inches (the repeat the renderer stretches it over) and its name.
struct Material {
  const char* folder;
  const char* prefix;
  int n;
  SurfaceKind kind;
  int variant;
  int width, height;
  const char* name;
};

// Several entries per folder; the ones the program names itself are noted (their ids).
const Material kMaterials[] = {
    {"Brick", "BRICK", 1, SurfaceKind::kBrick, 0, 32, 24, "Red Brick"},  // 850: walls, fences
    {"Brick", "BRICK", 2, SurfaceKind::kBrick, 1, 32, 24, "Buff Brick"},
    {"Brick", "BRICK", 3, SurfaceKind::kBrick, 2, 40, 30, "Dark Brick"},
    {"Siding", "SIDING", 1, SurfaceKind::kSiding, 0, 48, 48, "White Lap Siding"},
    {"Siding", "SIDING", 2, SurfaceKind::kSiding, 1, 64, 64, "Grey Lap Siding"},  // 1301: deck skirting
    {"Siding", "SIDING", 3, SurfaceKind::kSiding, 2, 64, 64, "Sage Lap Siding"},
    {"Stone", "STONE", 1, SurfaceKind::kStone, 0, 60, 60, "Fieldstone"},
    {"Stone", "STONE", 2, SurfaceKind::kStone, 1, 48, 48, "Grey Granite"},
    {"Stone", "STONE", 3, SurfaceKind::kStone, 2, 40, 40, "Sandstone"},
    {"Stucco", "STUCCO", 1, SurfaceKind::kStucco, 0, 48, 48, "Sand Stucco"},
    {"Stucco", "STUCCO", 2, SurfaceKind::kStucco, 1, 36, 36, "Adobe Stucco"},
    {"Stucco", "STUCCO", 3, SurfaceKind::kStucco, 2, 60, 60, "White Stucco"},
    {"Block", "BLOCK", 1, SurfaceKind::kBlock, 0, 32, 32, "Grey Block"},
    {"Block", "BLOCK", 2, SurfaceKind::kBlock, 1, 32, 32, "Tan Block"},
    {"Block", "BLOCK", 3, SurfaceKind::kBlock, 2, 48, 48, "Dark Block"},
    {"Carpet", "CARPET", 1, SurfaceKind::kCarpet, 0, 24, 24, "Beige Carpet"},
    {"Carpet", "CARPET", 2, SurfaceKind::kCarpet, 1, 24, 24, "Slate Carpet"},
    {"Carpet", "CARPET", 3, SurfaceKind::kCarpet, 2, 30, 30, "Moss Carpet"},
    {"Tile", "TILE", 1, SurfaceKind::kTile, 0, 48, 48, "White Tile 12 in"},
    {"Tile", "TILE", 2, SurfaceKind::kTile, 1, 32, 32, "Terracotta Tile 4 in"},
    {"Tile", "TILE", 3, SurfaceKind::kTile, 2, 36, 36, "Slate Tile 18 in"},
    {"Fabrics", "FABRIC", 1, SurfaceKind::kFabric, 0, 24, 24, "Linen"},  // 1700: new walls and floors
    {"Fabrics", "FABRIC", 2, SurfaceKind::kFabric, 1, 24, 24, "Red Check"},
    {"Fabrics", "FABRIC", 3, SurfaceKind::kFabric, 2, 24, 24, "Blue Stripe"},
    {"WallCvrs", "COVER", 1, SurfaceKind::kWallCovering, 0, 24, 24, "Striped Paper"},
    {"WallCvrs", "COVER", 2, SurfaceKind::kWallCovering, 1, 16, 16, "Diamond Paper"},
    {"WallCvrs", "COVER", 3, SurfaceKind::kWallCovering, 2, 24, 24, "Damask Paper"},
    {"Wood", "WOOD", 1, SurfaceKind::kLumber, 5, 48, 24, "Cedar"},  // 2200: fence gates
    {"Wood", "WOOD", 2, SurfaceKind::kWood, 1, 48, 48, "Walnut Floor"},
    {"Wood", "WOOD", 3, SurfaceKind::kLumber, 4, 48, 24, "Pine Stud"},    // 2202: framing, edging
    {"Wood", "WOOD", 4, SurfaceKind::kLumber, 2, 48, 24, "Pine Board"},   // 2203: framing, trims
    {"Wood", "WOOD", 5, SurfaceKind::kWood, 2, 48, 48, "Maple Floor"},
    {"Wood", "WOOD", 6, SurfaceKind::kWood, 3, 48, 48, "Cherry Floor"},
    {"Wood", "WOOD", 7, SurfaceKind::kLumber, 0, 48, 24, "Oak"},          // 2206: stair rails
    {"Wood", "WOOD", 8, SurfaceKind::kLumber, 3, 48, 24, "Red Cedar"},    // 2207: deck stairs
    {"Wood", "WOOD", 9, SurfaceKind::kWood, 0, 48, 48, "Oak Floor"},
    {"Wood", "WOOD", 10, SurfaceKind::kLumber, 1, 48, 24, "Walnut"},
    {"Wood", "WOOD", 11, SurfaceKind::kLumber, 5, 48, 24, "Cedar Rail"},  // 2210: deck rails
    {"Wood", "WOOD", 12, SurfaceKind::kWood, 4, 48, 48, "Pine Floor"},
    {"Wood", "WOOD", 13, SurfaceKind::kPaintedWood, 0, 48, 24, "White Painted Wood"},  // 2212: fences
    {"Wood", "WOOD", 14, SurfaceKind::kPaint, 1, 48, 24, "Cream Painted Wood"},  // 2213: walls
    {"Wood", "WOOD", 15, SurfaceKind::kPaintedWood, 2, 48, 24, "Green Painted Wood"},
    {"Wood", "WOOD", 19, SurfaceKind::kPaintedWood, 0, 36, 24, "Door and Window White"},  // 2218
    {"Deck", "DECK", 1, SurfaceKind::kDeck, 0, 24, 24, "Cedar Decking"},  // 2300: decks
    {"Deck", "DECK", 2, SurfaceKind::kDeck, 1, 24, 24, "Weathered Decking"},
    {"Deck", "DECK", 3, SurfaceKind::kDeck, 2, 24, 24, "Redwood Decking"},
    {"Fills", "FILL", 1, SurfaceKind::kMulch, 0, 36, 36, "Brown Mulch"},
    {"Fills", "FILL", 2, SurfaceKind::kMulch, 1, 36, 36, "Dark Mulch"},
    {"Fills", "FILL", 3, SurfaceKind::kMulch, 2, 36, 36, "Red Mulch"},
    {"Fills", "FILL", 16, SurfaceKind::kSoil, 0, 48, 48, "Garden Soil"},  // 1115: fills, excavations
    {"Gravel", "GRAVEL", 1, SurfaceKind::kGravel, 0, 24, 24, "Grey Gravel"},
    {"Gravel", "GRAVEL", 2, SurfaceKind::kGravel, 1, 24, 24, "Pea Gravel"},
    {"Gravel", "GRAVEL", 3, SurfaceKind::kGravel, 2, 30, 30, "White Gravel"},
    {"Pavers", "PAVER", 1, SurfaceKind::kPaver, 0, 32, 32, "Red Paver Brick"},
    {"Pavers", "PAVER", 2, SurfaceKind::kPaver, 1, 32, 32, "Grey Paver"},
    {"Pavers", "PAVER", 3, SurfaceKind::kPaver, 2, 40, 40, "Tan Paver"},
    {"Concrete", "CONCRE", 1, SurfaceKind::kConcrete, 0, 60, 60, "Concrete"},
    {"Concrete", "CONCRE", 2, SurfaceKind::kConcrete, 1, 60, 60, "Brushed Concrete"},
    {"Concrete", "CONCRE", 3, SurfaceKind::kConcrete, 2, 72, 72, "Warm Concrete"},
    {"Roofing", "ROOF", 1, SurfaceKind::kShingles, 1, 48, 48, "Brown Shingles"},
    {"Roofing", "ROOF", 2, SurfaceKind::kShingles, 2, 48, 48, "Slate Shingles"},
    {"Roofing", "ROOF", 3, SurfaceKind::kClayTiles, 0, 48, 48, "Clay Tile"},
    {"Roofing", "ROOF", 6, SurfaceKind::kShingles, 0, 48, 48, "Charcoal Shingles"},  // 1255: roofs
    {"Ground", "GROUND", 1, SurfaceKind::kGrass, 0, 72, 72, "Lawn"},  // 2 and 1150
    {"Ground", "GROUND", 2, SurfaceKind::kGrass, 1, 72, 72, "Meadow"},  // 1151: property lines
    {"Ground", "GROUND", 3, SurfaceKind::kGrass, 2, 72, 72, "Dry Grass"},
    {"Ground", "GROUND", 9, SurfaceKind::kGrass, 0, 60, 60, "Lawn Grass"},  // 1158: the lot
    {"Sky", "SKY", 1, SurfaceKind::kSky, 0, 48, 48, "Sky with Clouds"},  // 1 and 1550: the background
    {"Sky", "SKY", 2, SurfaceKind::kSky, 1, 48, 48, "Clear Sky"},
};

const Folder kTrims[] = {{"BaseTrim", "Base Trim", 100, "BASETRIM"},
                         {"CrownTrim", "Crown Trim", 400, "CROWNTRIM"},
                         {"LibPanel", "Library Paneling", 200, "LIBPANEL"},
                         {"Wc", "Wainscot", 300, "WC"}};
const Folder kPlants[] = {{"Trees", "Tree", 7000, "TREE"},           {"Shrubs", "Shrub", 5000, "SHRUB"},
                          {"Hedges", "Hedge", 10000, "HEDGE"},        {"Cacti", "Cactus", 9000, "CACTI"},
                          {"Bulbs", "Bulb", 8000, "BULB"},            {"Annuals", "Annual", 6000, "ANNUAL"},
                          {"Perennials", "Perennial", 12000, "PEREN"}, {"WildFlowers", "Wild Flower", 4050, "WILDF"},
                          {"GroundCover", "Ground Cover", 3700, "GRDCVR"}, {"Grasses", "Grass", 11000, "ORNAM"},
                          {"Tropicals", "Tropical", 4000, "TROP"},    {"Edibles", "Edible", 13000, "EDIBLES"}};

// The mature height (inches, the plant file's unit) and the yearly growth in percent of a plant
// of each folder (kPlants order), its first and second plant: trees the tallest, several metres
// after twenty years; shrubs and hedges one to three metres; bulbs, annuals, perennials, wild
// flowers, ground covers and grasses well below; cacti, palms and fruit trees as such plants grow.
struct PlantGrowth {
  int height, rate;
};
constexpr PlantGrowth kPlantGrowth[][2] = {
    {{480, 20}, {600, 18}},  // trees: a broadleaf tree of 12 m, a conifer of 15 m
    {{72, 25}, {120, 25}},   // shrubs
    {{72, 25}, {108, 25}},   // hedges
    {{24, 10}, {60, 10}},    // cacti
    {{12, 40}, {24, 40}},    // bulbs
    {{12, 50}, {30, 50}},    // annuals
    {{24, 40}, {48, 40}},    // perennials
    {{18, 40}, {36, 40}},    // wild flowers
    {{4, 10}, {8, 10}},      // ground covers
    {{36, 40}, {72, 40}},    // ornamental grasses
    {{180, 20}, {300, 20}},  // palms
    {{120, 25}, {180, 25}},  // fruit trees: a dwarf and a standard one
};
static_assert(std::size(kPlantGrowth) == std::size(kPlants));

std::string PlantInfoText(const Folder& f, int index, int step, PlantGrowth growth) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "[Description]\nCommonName=Sample %s %d\nBotanicalName=Planta exempli %d%d\nType=%d\n"
                "Propagation=%d\nWater=%d\nSunLight=%d\nMaximumGrowthHeight=%d\nSoilType=%d\n"
                "Zone1=0\nZone2=0\nZone3=1\nZone4=1\nZone5=1\nZone6=1\nZone7=%d\nZone8=0\nZone9=0\nZone10=0\n"
                "AnnualGrowthRate=%d\nFlowerColor=White\nPlantTexture=Medium\nFruitType=None\n"
                "FoliageType=Broadleaf\nFoliageChange=Deciduous\nUsage=Accent\nPlantShape=Rounded\n"
                "Temperature=Temperate\n",
                f.name, step, index, step, index + 1, 1 + (index + step) % 4, 1 + index % 4, 1 + step % 4,
                growth.height, 1 + index % 9, step % 2, growth.rate);
  return text;
}

// A scratch design holding one shape, written by the program's own writers.
struct ScratchDesign {
  ZLKDocumentModel model;
  ZLKDocumentModel* previous;
  Layer* layer = nullptr;
  ScratchDesign() : previous(gCurDocument) {
    gCurDocument = &model;
    model.itsDocState = CreateDocState();
    layer = CreateLayer("First Floor", 1, 1, nullptr);
    AppendLayerToDocument(layer);
    AppendLayerToDocument(CreateLayer("Second Floor", 1, 0, nullptr));
    AppendLayerToDocument(CreateLayer("Third Floor", 1, 0, nullptr));
  }
  ~ScratchDesign() {
    model.deleteContents();
    gCurDocument = previous;
  }
  void shape(int16_t type, float size) {
    RGBColor colour{0x4000, 0x6000, 0x8000};
    Objex* o = CreateObject(type, 1, 1, &colour, &colour, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    if (!o) return;
    const float pts[4][2] = {{0, 0}, {size, 0}, {size, size}, {0, size}};
    for (const auto& pt : pts)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, pt[0], 0, pt[1], 0, 0, 0, 0, 0, 0, o), o);
    AppendObjectToLayer(o, layer);
    SelectAllLayers(model.itsLayers, kSelectOn, 0);
  }
};

std::vector<uint8_t> ReadBack(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::error_code ec;
  fs::remove(path, ec);
  return bytes;
}

// One object of a definition: its type, pen width, closing, points (x, y, z each) and the
// two parameters the custom leaf builder reads.
struct DefinitionShape {
  int16_t type;
  float width;
  bool closed;
  std::vector<std::array<float, 3>> points;
  float plainLeaf = 0;  // 4: keeps white
  float leafDepth = 0;
};

// A definition (custom door, window or trim) written by the template writer.
std::vector<uint8_t> DefinitionFile(const std::vector<DefinitionShape>& shapes) {
  ScratchDesign design;
  const RGBColor colour{0x4000, 0x6000, 0x8000};
  for (const DefinitionShape& s : shapes) {
    Objex* o = CreateObject(s.type, s.closed, 1, &colour, &colour, s.width, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    if (!o) return {};
    o->params[3] = s.plainLeaf;
    o->params[4] = s.leafDepth;
    for (const auto& pt : s.points)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, pt[0], pt[1], pt[2], 0, 0, 0, 0, 0, 0, o), o);
    AppendObjectToLayer(o, design.layer);
  }
  SelectAllLayers(design.model.itsLayers, kSelectOn, 0);
  const std::string path =
      (fs::temp_directory_path() / ("casa-library-" + std::to_string(::getpid()) + ".tmp")).string();
  if (KeyFileWrite(path.c_str()) != 1) return {};
  return ReadBack(path);
}

// A rectangle in the front elevation: x across, y up (negative), standing on y = 0.
std::vector<std::array<float, 3>> Elevation(float left, float bottom, float right, float top) {
  return {{left, -bottom, 0}, {right, -bottom, 0}, {right, -top, 0}, {left, -top, 0}};
}

// A four-panel door 36 wide and 80 high: outline, a frame band round it, a middle rail and
// four raised panels (two depths).
std::vector<uint8_t> PanelDoorDefinition() {
  std::vector<DefinitionShape> shapes{{kObjSkylightOutline, 1, true, Elevation(-18, 0, 18, 80)},
                                      {kObjClosedPoly, 3, true, Elevation(-16.5f, 1.5f, 16.5f, 78.5f)},
                                      {kObjOpenPoly, 3, false, {{-16.5f, -40, 0}, {16.5f, -40, 0}}}};
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < 2; ++column) {
      const float left = column == 0 ? -14.0f : 2.0f, bottom = row == 0 ? 4.0f : 43.0f;
      shapes.push_back({kObjDoorLeafFace, 1, true, Elevation(left, bottom, left + 12, bottom + 33), 0,
                        row == 0 ? 0.0f : 1.0f});
    }
  return DefinitionFile(shapes);
}

// A two-light window 30 wide and 48 high: outline, a centre bar and two panes (white).
std::vector<uint8_t> TwoLightWindowDefinition() {
  return DefinitionFile({{kObjSkylightOutline, 1, true, Elevation(-15, 0, 15, 48)},
                         {kObjSeparatorFace, 2, false, {{0, 0, 0}, {0, -48, 0}}},
                         {kObjClosedPoly, 2, true, Elevation(-14, 1, 14, 47)},
                         {kObjDoorLeafFace, 1, true, Elevation(-13, 2, -1, 46), 4.0f, 0},
                         {kObjDoorLeafFace, 1, true, Elevation(1, 2, 13, 46), 4.0f, 0}});
}

// A base moulding profile in plan (x out from the wall, z up): a square-edged board with a
// rounded nose, 0.75 thick and 4 high.
std::vector<uint8_t> OgeeTrimDefinition() {
  return DefinitionFile({{kObjClosedPoly, 1, true,
                          {{0, 0, 0}, {0.75f, 0, 0}, {0.75f, 0, 3.0f}, {0.6f, 0, 3.5f}, {0.3f, 0, 3.85f}, {0, 0, 4.0f}}}});
}

std::vector<uint8_t> WrittenFile(bool object, int16_t type, float size) {
  ScratchDesign design;
  design.shape(type, size);
  const std::string path = (fs::temp_directory_path() / ("casa-library-" + std::to_string(::getpid()) + ".tmp")).string();
  const int ok = object ? ObjectFileWrite(path.c_str()) : KeyFileWrite(path.c_str());
  if (ok != 1) return {};
  return ReadBack(path);
}

// A model as an object file: each box or cylinder one closed, capped object of two rings (the
// floor ring and the top ring, each the part's outline), its material on both sides of every
// point. The models are measured in centimetres; the file holds plan units (72 to the plan
// scale's inches, so half an inch each in a new design, which is where the parts are read
// into); up is negative y.
std::vector<uint8_t> ModelFile(const LibraryModel& model) {
  ScratchDesign design;
  const DocState* ds = design.model.itsDocState;
  const auto plan = [ds](float cm) {
    return ConvertWorldToScreen(GetWorldFromInches(ConvertCMToInches(cm), ds), ds, 0);
  };
  for (const ModelPart& part : model.parts) {
    const QColor shown = part.textureID ? QColor(Qt::white) : part.colour;
    const RGBColor colour{static_cast<uint16_t>(shown.red() * 257), static_cast<uint16_t>(shown.green() * 257),
                          static_cast<uint16_t>(shown.blue() * 257)};
    Objex* o = CreateObject(kObjClosedPoly, 1, 1, &colour, &colour, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    if (!o) return {};
    const std::vector<std::array<float, 2>> ring = PartOutline(part);
    for (float height : {part.bottom, part.top})
      for (const auto& [x, z] : ring) {
        Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, plan(x), -plan(height), plan(z), 0, 0, 0, 0, 0, 0, o);
        if (!p) return {};
        p->textureID[0] = p->textureID[1] = part.textureID;
        p->color[0] = p->color[1] = colour;
        AppendPointToObject(p, o);
      }
    o->levels = 2;
    o->pointCount = static_cast<int32_t>(2 * ring.size());
    o->capped = 1;
    AppendObjectToLayer(o, design.layer);
  }
  SelectAllLayers(design.model.itsLayers, kSelectOn, 0);
  const std::string path =
      (fs::temp_directory_path() / ("casa-library-" + std::to_string(::getpid()) + ".tmp")).string();
  if (ObjectFileWrite(path.c_str()) != 1) return {};
  return ReadBack(path);
}

// A fixed symbol file: a design's header and settings block, then one object record a part and
// the end of the objects (all the symbol reader takes). The parts are freed.
std::vector<uint8_t> SymbolFile(const std::vector<Objex*>& parts) {
  BeginOutputBuffer();
  sWriteVersion = kVersionDesign11100;
  DoWriteHeader();
  DoWriteDocState();
  for (Objex* p : parts) WriteAnObject(p);
  WriteShort(kTagObjectsEnd);
  std::vector<uint8_t> bytes = gStream.outDataBuffer;
  ReleaseOutputBuffer();
  for (Objex* p : parts) DeleteObj(p);
  return bytes;
}

// A symbol part through (x, y, z) points in plan units, on no layer.
Objex* SymbolPart(int16_t type, bool closed, const std::vector<std::array<float, 3>>& points) {
  const RGBColor black{};
  Objex* o = CreateObject(type, closed, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  if (!o) return nullptr;
  for (const auto& p : points) {
    Poinz* q = CreatePoint(1, 0, 0, 0, 0, 0, p[0], p[1], p[2], 0, 0, 0, 0, 0, 0, o);
    if (!q) continue;
    q->detectable = 1;
    AppendPointToObject(q, o);
  }
  return o;
}

// The plan symbol of a fixed kind: each run of its drawing one part, in the plan units of a new
// design (2 an inch), where the symbols are drawn from.
std::vector<uint8_t> FixedSymbol2DFile(int16_t kind) {
  ScratchDesign design;
  const DocState* ds = design.model.itsDocState;
  const auto plan = [ds](float inches) { return ConvertWorldToScreen(GetWorldFromInches(inches, ds), ds, 0); };
  std::vector<Objex*> parts;
  for (const SymbolStroke& stroke : FixedSymbolDrawing(kind)) {
    std::vector<std::array<float, 3>> points;
    for (const auto& [x, z] : stroke.points) points.push_back({plan(x), 0, plan(z)});
    if (Objex* part = SymbolPart(kObjDetail, stroke.closed, points)) parts.push_back(part);
  }
  return SymbolFile(parts);
}

// The 3D form of a fixed kind: a box of six faces, its side s plan units (lights and HVAC
// equipment 16, plumbing fixtures 40, the rest 12) and half as high.
std::vector<uint8_t> FixedSymbol3DFile(int16_t kind) {
  ScratchDesign design;
  float s = 12;
  if (kind >= 90 && kind <= 98) s = 40;
  else if ((kind >= 79 && kind <= 83) || kind >= 117) s = 16;
  const float h = s / 2;
  std::vector<Objex*> parts;
  for (const std::vector<std::array<float, 3>>& face :
       {std::vector<std::array<float, 3>>{{0, 0, 0}, {s, 0, 0}, {s, 0, s}, {0, 0, s}},
        {{0, h, 0}, {s, h, 0}, {s, h, s}, {0, h, s}},
        {{0, 0, 0}, {s, 0, 0}, {s, h, 0}, {0, h, 0}},
        {{0, 0, s}, {s, 0, s}, {s, h, s}, {0, h, s}},
        {{0, 0, 0}, {0, 0, s}, {0, h, s}, {0, h, 0}},
        {{s, 0, 0}, {s, 0, s}, {s, h, s}, {s, h, 0}}})
    if (Objex* part = SymbolPart(kObjSymbolPart3D, true, face)) parts.push_back(part);
  return SymbolFile(parts);
}

// A stock material's information file: its name, and the tile size in inches that the
// renderer stretches the image over (read from section "Size"; without it every material
// would repeat every 100 inches).
std::string MaterialInfoText(const std::string& name, int width, int height) {
  return "[Description]\nName=" + name + "\n[Size]\nWidth=" + std::to_string(width) +
         "\nHeight=" + std::to_string(height) + "\n";
}

// A size in whole centimetres.
std::string SizeText(float cm) { return std::to_string(static_cast<int>(std::lround(cm))); }

// How each plant folder's pictures are drawn (folders in kPlants order; n counts from 1).
PlantKind PlantKindOf(int folder, int n) {
  switch (folder) {
    case 0: return n == 1 ? PlantKind::kTree : PlantKind::kConifer;
    case 1: return PlantKind::kShrub;
    case 2: return PlantKind::kHedge;
    case 3: return PlantKind::kCactus;
    case 8: return PlantKind::kGroundCover;
    case 9: return PlantKind::kGrass;
    case 10: return PlantKind::kPalm;
    case 11: return PlantKind::kFruit;
    default: return PlantKind::kFlowers;  // bulbs, annuals, perennials, wild flowers
  }
}

// A plant's preview: its picture on the palette's blue-grey ground.
QImage PlantPreview(const QImage& plant) {
  QImage preview = plant.scaled(kPreviewSide, kPreviewSide, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  for (int y = 0; y < preview.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(preview.scanLine(y));
    for (int x = 0; x < preview.width(); ++x)
      if ((line[x] & 0xFFFFFF) == 0) line[x] = qRgb(157, 172, 193);
  }
  return preview;
}

std::string Catalogue(const char* section, const std::vector<std::pair<std::string, std::vector<std::string>>>& cats) {
  std::string text = std::string("[") + section + "]\n";
  for (size_t i = 0; i < cats.size(); ++i)
    text += std::to_string(i + 1) + section + "=" + cats[i].first + "\n" + std::to_string(i + 1) + section +
            "Directory=" + cats[i].first + "\n";
  for (const auto& [name, subs] : cats) {
    if (subs.empty()) continue;
    text += "[" + name + "]\n";
    for (size_t i = 0; i < subs.size(); ++i)
      text += std::to_string(i + 1) + name + "=" + subs[i] + "\n" + std::to_string(i + 1) + name + "Directory=" +
              subs[i] + "\n";
  }
  return text;
}

}  // namespace

std::vector<ShippedFile> GenerateShippedLibrary() {
  Collector c;
  // Stock materials, and the light glow (14001).
  std::map<std::string, QImage> images;  // by "folder/prefix n", for the object previews
  uint32_t seed = 1;
  for (const Material& m : kMaterials) {
    const std::string stem = std::string(m.folder) + "/" + m.prefix + std::to_string(m.n);
    const QImage image = SurfaceImage(m.kind, m.variant, seed++);
    images[stem] = image;
    c.add(false, "QVRA/Textures/" + stem + ".QTX", Jpeg(image));
    c.text(false, "QVRA/Textures/" + stem + ".QTI", MaterialInfoText(m.name, m.width, m.height));
  }
  c.add(false, "QVRA/Textures/Light/LIGHT2.QTX", Png(GlowImage()));
  c.text(false, "QVRA/Textures/Light/LIGHT2.QTI", MaterialInfoText("Light 2", 48, 48));
  // The wireframe view's plant outlines (14060 to 14071), one per plant category.
  const char* const wirePlants[] = {"WireTree",        "WireShrub",  "WireAnnual",   "WireBulb",
                                    "WireCacti",       "WireGroundCover", "WireHedge", "WireGrasses",
                                    "WirePerennial",   "WireTropical", "WireWildFlower", "WireEdible"};
  for (int n = 0; n < 12; ++n)
    c.add(false, std::string("QVRA/Textures/WirePlants/") + wirePlants[n] + ".qtx", Png(WirePlantImage(n)));
  // The not-available image, shown for any image file that cannot be found.
  c.add(true, "QVRA/Textures/CustomTextures/na.qtx", Png(NotAvailableImage()));
  // Stock trim: imperial and metric previews, each with its information file.
  int index = 0;
  for (const Folder& f : kTrims) {
    for (int n = 1; n <= 2; ++n)
      for (bool metric : {false, true}) {
        const std::string stem = std::string("QVRA/Textures/") + f.folder + "/" + f.prefix + std::to_string(n) +
                                 (metric ? "M" : "");
        c.add(false, stem + ".QPV", Png(TrimImage(index, n - 1, metric)));
        c.text(false, stem + ".QTI",
               "[Description]\nName=" + std::string(f.name) + " " + std::to_string(n) + (metric ? " (metric)" : "") +
                   "\nWidth=4\nHeight=" + std::to_string(3 + n) + "\n");
      }
    ++index;
  }
  // Stock plants, under the shared root; a preview for the first of each folder.
  index = 0;
  for (const Folder& f : kPlants) {
    for (int n = 1; n <= 2; ++n) {
      const std::string stem = std::string("QVRA/Textures/") + f.folder + "/" + f.prefix + std::to_string(n);
      const QImage plant = PlantPicture(PlantKindOf(index, n), index + n, static_cast<uint32_t>(index * 10 + n));
      c.add(true, stem + ".QTX", Png(plant));
      c.text(true, stem + ".QTI", PlantInfoText(f, index, n, kPlantGrowth[index][n - 1]));
      if (n == 1) c.add(true, stem + ".QPV", Png(PlantPreview(plant)));
    }
    ++index;
  }
  // Objects: small models of boxes and cylinders at their real sizes, each with the preview
  // drawn from it.
  std::vector<std::pair<std::string, std::vector<std::string>>> objects;
  for (const LibraryModel& m : LibraryModels()) {
    if (objects.empty() || objects.back().first != m.category) objects.push_back({m.category, {}});
    std::vector<std::string>& subs = objects.back().second;
    if (subs.empty() || subs.back() != m.subCategory) subs.push_back(m.subCategory);
  }
  c.text(true, "QVRA/ObjectCat.ini", Catalogue("Object", objects));
  const auto colourOf = [&](const ModelPart& part) {
    if (!part.textureID) return part.colour;
    char name[kTexturePathSize] = {};
    GetTextureFileNameFromID(part.textureID, name, sizeof name);
    // Stock names are upper case; the generated folders are not.
    for (const auto& [stem, image] : images)
      if (QString::fromStdString(stem + ".QTX").compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0)
        return MeanColour(image);
    return part.colour;
  };
  for (const LibraryModel& m : LibraryModels()) {
    const std::string stem = "QVRA/Objects/" + m.category + "/" + m.subCategory + "/" + m.file;
    c.add(true, stem + ".QOB", ModelFile(m));
    c.text(true, stem + ".QOD",
           "[Description]\nObjectName=" + m.name + "\nObjectDescription=" + SizeText(m.width) + " x " +
               SizeText(m.depth) + " x " + SizeText(m.height) + " cm\n");
    c.add(true, stem + ".QPV", Png(ModelPreview(m, kPreviewSide, colourOf)));
  }
  // Templates, symbols, accessories and custom materials: one category of two entries.
  c.text(true, "QVRA/TemplateCat.ini", Catalogue("Template", {{"Rooms", {}}}));
  for (int n = 1; n <= 2; ++n) {
    const std::string stem = "QVRA/Templates/Rooms/Room" + std::to_string(n);
    c.add(true, stem + ".QTF", WrittenFile(false, kObjRect, 96.0f * n));
    c.text(true, stem + ".QTD", "[Description]\nObjectName=Room " + std::to_string(n) + "\nObjectDescription=\n");
    c.add(true, stem + ".QTP", Png(PreviewImage(200 + n * 30, "r")));
  }
  c.text(true, "QVRA/SymbolCat.ini", Catalogue("Symbol", {{"Furnishings", {}}}));
  for (int n = 1; n <= 2; ++n) {
    const std::string stem = "QVRA/2DSymbols/Furnishings/Symbol" + std::to_string(n);
    c.add(true, stem + ".QSY", WrittenFile(false, kObjOval, 24.0f * n));
    c.text(true, stem + ".QTI", "[Description]\nObjectName=Symbol " + std::to_string(n) + "\nObjectDescription=Round\n");
    c.add(true, stem + ".QPV", Png(PreviewImage(30 * n, "o")));
  }
  c.text(true, "QVRA/AccessoriesCat.ini", Catalogue("Accessories", {{"Decals", {}}}));
  for (int n = 1; n <= 2; ++n) {
    const std::string stem = "QVRA/Textures/CustomTextures/Accessories/Decals/Decal" + std::to_string(n);
    c.add(true, stem + ".QTX",
          Png(n == 1 ? PlantPicture(PlantKind::kFlowers, 3, 90) : SurfaceImage(SurfaceKind::kWallCovering, 1, 91)));
    c.text(true, stem + ".QTI",
           "[Description]\nName=Decal " + std::to_string(n) + "\n" + (n == 1 ? "[Opacity]\nAlpha=1\n" : ""));
  }
  c.text(true, "QVRA/CustomMaterialsCat.ini", Catalogue("Custom Materials", {{"Finishes", {}}}));
  for (int n = 1; n <= 2; ++n) {
    const std::string stem = "QVRA/Textures/CustomTextures/Finishes/Finish" + std::to_string(n);
    c.add(true, stem + ".QTX", Jpeg(SurfaceImage(n == 1 ? SurfaceKind::kStucco : SurfaceKind::kTile, n, 92 + n)));
    c.text(true, stem + ".QTI", "[Description]\nName=Finish " + std::to_string(n) + "\n");
  }
  // Paint: twelve named colours.
  c.text(true, "QVRA/PaintCat.ini", Catalogue("Paint", {{"Classic", {}}}));
  {
    std::string paint = "[CategoryInfo]\nCatID=1\n[PaintInfo]\n";
    for (int n = 1; n <= 12; ++n) {
      const QColor colour = QColor::fromHsv((n - 1) * 30, 140, 210);
      paint += "Red-" + std::to_string(n) + "=" + std::to_string(colour.red()) + "\nGreen-" + std::to_string(n) + "=" +
               std::to_string(colour.green()) + "\nBlue-" + std::to_string(n) + "=" + std::to_string(colour.blue()) +
               "\nName-" + std::to_string(n) + "=Classic " + std::to_string(n) + "\n";
    }
    c.text(true, "QVRA/Paint/Classic/Classic.INI", paint);
  }
  // One user plant.
  c.text(true, "QVRA/PlantCat.ini", Catalogue("Plant", {{"Garden", {}}}));
  c.add(true, "QVRA/Textures/CustomPlants/Garden/Fern1.QTX", Png(PlantPicture(PlantKind::kShrub, 2, 93)));
  c.text(true, "QVRA/Textures/CustomPlants/Garden/Fern1.QTI", PlantInfoText({"Garden", "Fern", 0, "FERN"}, 2, 1, {30, 30}));
  // Custom door and window definitions.
  c.text(true, "QVRA/DoorCat.ini", Catalogue("Door", {{"Panel Doors", {}}}));
  c.add(true, "QVRA/Components/Doors/Panel Doors/door1.QTF", PanelDoorDefinition());
  c.text(true, "QVRA/Components/Doors/Panel Doors/door1.QTI",
         "[Description]\nAttachmentName=Panel Door\nAttachmentDescription=Four panels\n");
  c.add(true, "QVRA/Components/Doors/Panel Doors/door1.QPV", Png(PanelDoorPreview()));
  c.text(true, "QVRA/WindowCat.ini", Catalogue("Window", {{"Casement", {}}}));
  c.add(true, "QVRA/Components/Windows/Casement/window1.QTF", TwoLightWindowDefinition());
  c.text(true, "QVRA/Components/Windows/Casement/window1.QTI",
         "[Description]\nAttachmentName=Two-Light Window\nAttachmentDescription=Two panes and a centre bar\n");
  c.add(true, "QVRA/Components/Windows/Casement/window1.QPV", Png(TwoLightWindowPreview()));
  // Custom trim: one base moulding profile.
  c.text(true, "QVRA/TrimCat.ini", Catalogue("Trim", {{"My Trim", {}}}));
  c.add(true, "QVRA/Components/Trim/My Trim/trim1.QTF", OgeeTrimDefinition());
  c.text(true, "QVRA/Components/Trim/My Trim/trim1.QTI",
         "[Description]\nTrimName=Rounded Base\nTrimDescription=Square board with a rounded nose\n");
  c.add(true, "QVRA/Components/Trim/My Trim/trim1.QPV", Png(TrimImage(1, 0, false)));
  // The fixed electrical, plumbing and HVAC symbols the component tools place, plan and 3D.
  size_t fixedCount = 0;
  const FixedSymbolFile* fixed = FixedSymbolFiles(&fixedCount);
  for (size_t i = 0; i < fixedCount; ++i) {
    c.add(false, "QVRA/Objects/Symbol2D/" + FixedSymbolFileName(fixed[i], false), FixedSymbol2DFile(fixed[i].kind));
    c.add(false, "QVRA/Objects/Symbol3D/" + FixedSymbolFileName(fixed[i], true), FixedSymbol3DFile(fixed[i].kind));
  }
  // One content provider with its logo.
  c.text(false, "QVRA/Providers/Sample.QPI",
         "[Provider]\nName=Sample Library Works\nURL=www.example.com\nAddr1=1 Example Road\n"
         "CityStateZIP=Springfield 00000\nPhone=555-0100\nFax=555-0101\n"
         "Description=Made-up supplier of the sample library.\nLogo=Sample.png\n");
  c.add(false, "QVRA/Providers/Sample.png", Png(PreviewImage(210, "o")));
  // The photo view plug-in, which runs inside the program: its descriptor and preview.
  c.text(false, "QVRA/QVRA Verdalia 9.0.0/Plugins/PhotoView.QEG",
         "[Description]\nFileVersion=11000\nMinFileVersion=11000\nDirectory=PhotoView\nPlugIn=PhotoView\n"
         "Image=PhotoView.png\nDisplayName=Photo View\n"
         "DisplayDescription=Places a photograph of your own in the design as a photo view.\n"
         "AppleAppID=com.zelkoworks.photoview\nDeveloperID=1\nID=109\nType=1\nRefID=109\n");
  c.add(false, "QVRA/QVRA Verdalia 9.0.0/Plugins/PhotoView/PhotoView.png", Png(PhotoViewPreview()));
  return std::move(c.files);
}

bool WriteShippedLibrary(const std::string& contentFolder) {
  bool ok = true;
  for (const ShippedFile& file : GenerateShippedLibrary()) {
    const fs::path path = fs::path(contentFolder) / (file.shared ? "QVRA/Shared" : "") / file.path;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
    ok = ok && static_cast<bool>(out) && !file.bytes.empty();
  }
  return ok;
}

int InstallShippedLibrary(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return 0;
  std::error_code ec;
  if (!fs::is_directory(from, ec)) return 0;
  int copied = 0;
  fs::recursive_directory_iterator it(from, fs::directory_options::skip_permission_denied, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code fileError;
    if (!it->is_regular_file(fileError)) continue;
    const fs::path target = fs::path(to) / fs::relative(it->path(), from, fileError);
    if (fileError || fs::exists(fs::symlink_status(target, fileError))) continue;
    fs::create_directories(target.parent_path(), fileError);
    if (fs::copy_file(it->path(), target, fs::copy_options::skip_existing, fileError)) ++copied;
  }
  if (copied) ForgetStockTextureSizes();  // the library changed
  return copied;
}

int InstallShippedLibrary() {
  const std::string support = LocalDomainApplicationSupportPath();
  if (support.empty()) return 0;
  return InstallShippedLibrary(support + "/QVRA/Shared", LocalDomainUserSharedPath());
}
