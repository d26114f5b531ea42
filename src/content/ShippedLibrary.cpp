#include "content/ShippedLibrary.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "files/DesignFile.h"
#include "files/ObjectFile.h"
#include <unistd.h>
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Records.h"
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

QColor Shade(int hue, int step) { return QColor::fromHsv(hue % 360, 150, 200 - 40 * step); }

// A tiled surface: courses of blocks in the folder's colour.
QImage SurfaceImage(int hue, int step) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(Shade(hue, step));
  QPainter p(&image);
  p.setPen(Shade(hue + 20, step + 1));
  for (int y = 0; y < kSide; y += 8) {
    p.drawLine(0, y, kSide, y);
    for (int x = ((y / 8) % 2) * 8; x < kSide; x += 16) p.drawLine(x, y, x, y + 7);
  }
  return image;
}

// A moulding profile on white.
QImage TrimImage(int kind, int step, bool metric) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120 + 30 * kind, 90 + 20 * step, metric ? 160 : 60));
  p.drawRect(4, 4, 8 + 4 * step, 24);
  p.drawEllipse(QPoint(12 + 4 * step, 10), 6, 6);
  return image;
}

// A plant on pure black, the ground that shows as transparent.
QImage PlantImage(int folder, int step) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 80, 40));
  p.drawRect(14, 18, 4, 14);
  p.setBrush(QColor::fromHsv((90 + folder * 7) % 360, 200, 120 + 30 * step));
  p.drawEllipse(QPoint(16, 12), 10 - step, 10);
  return image;
}

// The glow of a light fixture: white fading to black from the centre.
QImage GlowImage() {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const double dx = x - 15.5, dy = y - 15.5;
      const int v = std::max(0, 255 - static_cast<int>(16 * std::sqrt(dx * dx + dy * dy)));
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

const Folder kMaterials[] = {
    {"Brick", "Brick", 850, "BRICK"},        {"Siding", "Siding", 1300, "SIDING"},
    {"Stone", "Stone", 1350, "STONE"},       {"Stucco", "Stucco", 1400, "STUCCO"},
    {"Block", "Block", 800, "BLOCK"},        {"Carpet", "Carpet", 1900, "CARPET"},
    {"Tile", "Tile", 2050, "TILE"},          {"Fabrics", "Fabric", 1700, "FABRIC"},
    {"WallCvrs", "Wall Covering", 1600, "COVER"}, {"Wood", "Wood", 2200, "WOOD"},
    {"Deck", "Wood Deck", 2300, "DECK"},     {"Fills", "Mulch", 1100, "FILL"},
    {"Gravel", "Gravel", 2000, "GRAVEL"},    {"Pavers", "Paver Brick", 1200, "PAVER"},
    {"Concrete", "Concrete", 950, "CONCRE"}, {"Roofing", "Roofing", 1250, "ROOF"},
    {"Ground", "Grass", 1150, "GROUND"},     {"Sky", "Sky", 1550, "SKY"}};
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

std::string PlantInfoText(const Folder& f, int index, int step) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "[Description]\nCommonName=Sample %s %d\nBotanicalName=Planta exempli %d%d\nType=%d\n"
                "Propagation=%d\nWater=%d\nSunLight=%d\nMaximumGrowthHeight=%d\nSoilType=%d\n"
                "Zone1=0\nZone2=0\nZone3=1\nZone4=1\nZone5=1\nZone6=1\nZone7=%d\nZone8=0\nZone9=0\nZone10=0\n"
                "AnnualGrowthRate=%d\nFlowerColor=White\nPlantTexture=Medium\nFruitType=None\n"
                "FoliageType=Broadleaf\nFoliageChange=Deciduous\nUsage=Accent\nPlantShape=Rounded\n"
                "Temperature=Temperate\n",
                f.name, step, index, step, index + 1, 1 + (index + step) % 4, 1 + index % 4, 1 + step % 4,
                48 + index * 24 + step * 12, 1 + index % 9, step % 2, 10 + index * 2 + step);
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
  // Stock materials: the first two ids of each folder.
  int index = 0;
  for (const Folder& f : kMaterials) {
    for (int n = 1; n <= 2; ++n) {
      const std::string stem = std::string("QVRA/Textures/") + f.folder + "/" + f.prefix + std::to_string(n);
      c.add(false, stem + ".QTX", Png(SurfaceImage(index * 20, n - 1)));
      c.text(false, stem + ".QTI",
             "[Description]\nName=" + std::string(f.name) + " " + std::to_string(n) + "\nWidth=48\nHeight=48\n");
    }
    ++index;
  }
  // Stock images the program itself names: the default lot (1158), the decking and stair
  // woods (2202, 2203) and the light glow (14001).
  const struct {
    const char* stem;
    const char* name;
    QImage image;
  } named[] = {{"Ground/GROUND9", "Grass 9", SurfaceImage(100, 0)},
               {"Wood/WOOD3", "Wood 3", SurfaceImage(30, 2)},
               {"Wood/WOOD4", "Wood 4", SurfaceImage(25, 3)},
               {"Light/LIGHT2", "Light 2", GlowImage()}};
  for (const auto& n : named) {
    const std::string stem = std::string("QVRA/Textures/") + n.stem;
    c.add(false, stem + ".QTX", Png(n.image));
    c.text(false, stem + ".QTI", "[Description]\nName=" + std::string(n.name) + "\nWidth=48\nHeight=48\n");
  }
  // The wireframe view's plant outlines (14060 to 14071), one per plant category.
  const char* const wirePlants[] = {"WireTree",        "WireShrub",  "WireAnnual",   "WireBulb",
                                    "WireCacti",       "WireGroundCover", "WireHedge", "WireGrasses",
                                    "WirePerennial",   "WireTropical", "WireWildFlower", "WireEdible"};
  for (int n = 0; n < 12; ++n)
    c.add(false, std::string("QVRA/Textures/WirePlants/") + wirePlants[n] + ".qtx", Png(WirePlantImage(n)));
  // The not-available image, shown for any image file that cannot be found.
  c.add(true, "QVRA/Textures/CustomTextures/na.qtx", Png(NotAvailableImage()));
  // Stock trim: imperial and metric previews, each with its information file.
  index = 0;
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
      c.add(true, stem + ".QTX", Png(PlantImage(index, n - 1)));
      c.text(true, stem + ".QTI", PlantInfoText(f, index, n));
      if (n == 1) c.add(true, stem + ".QPV", Png(PreviewImage(90 + index * 7, "o")));
    }
    ++index;
  }
  // Objects: two categories of two sub-categories, two objects per leaf.
  const std::vector<std::pair<std::string, std::vector<std::string>>> objects = {
      {"Furniture", {"Tables", "Seating"}}, {"Outdoor", {"Planters", "Benches"}}};
  c.text(true, "QVRA/ObjectCat.ini", Catalogue("Object", objects));
  int made = 0;
  for (const auto& [cat, subs] : objects)
    for (const std::string& sub : subs)
      for (int n = 1; n <= 2; ++n, ++made) {
        const std::string stem = "QVRA/Objects/" + cat + "/" + sub + "/" + sub + std::to_string(n);
        c.add(true, stem + ".QOB", WrittenFile(true, kObjRect, 12.0f + 6 * made));
        c.text(true, stem + ".QOD",
               "[Description]\nObjectName=" + sub + " " + std::to_string(n) + "\nObjectDescription=Sample " + cat +
                   " object\n");
        c.add(true, stem + ".QPV", Png(PreviewImage(made * 40, "r")));
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
    c.add(true, stem + ".QTX", Png(n == 1 ? PlantImage(3, 0) : SurfaceImage(300, 0)));
    c.text(true, stem + ".QTI",
           "[Description]\nName=Decal " + std::to_string(n) + "\n" + (n == 1 ? "[Opacity]\nAlpha=1\n" : ""));
  }
  c.text(true, "QVRA/CustomMaterialsCat.ini", Catalogue("Custom Materials", {{"Finishes", {}}}));
  for (int n = 1; n <= 2; ++n) {
    const std::string stem = "QVRA/Textures/CustomTextures/Finishes/Finish" + std::to_string(n);
    c.add(true, stem + ".QTX", Png(SurfaceImage(40 + 60 * n, 1)));
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
  c.add(true, "QVRA/Textures/CustomPlants/Garden/Fern1.QTX", Png(PlantImage(5, 1)));
  c.text(true, "QVRA/Textures/CustomPlants/Garden/Fern1.QTI", PlantInfoText({"Garden", "Fern", 0, "FERN"}, 2, 1));
  // Custom door and window definitions.
  c.text(true, "QVRA/DoorCat.ini", Catalogue("Door", {{"Panel Doors", {}}}));
  c.add(true, "QVRA/Components/Doors/Panel Doors/door1.QTF", PanelDoorDefinition());
  c.text(true, "QVRA/Components/Doors/Panel Doors/door1.QTI",
         "[Description]\nAttachmentName=Panel Door\nAttachmentDescription=Four panels\n");
  c.add(true, "QVRA/Components/Doors/Panel Doors/door1.QPV", Png(PreviewImage(25, "r")));
  c.text(true, "QVRA/WindowCat.ini", Catalogue("Window", {{"Casement", {}}}));
  c.add(true, "QVRA/Components/Windows/Casement/window1.QTF", TwoLightWindowDefinition());
  c.text(true, "QVRA/Components/Windows/Casement/window1.QTI",
         "[Description]\nAttachmentName=Two-Light Window\nAttachmentDescription=Two panes and a centre bar\n");
  c.add(true, "QVRA/Components/Windows/Casement/window1.QPV", Png(PreviewImage(180, "o")));
  // Custom trim: one base moulding profile.
  c.text(true, "QVRA/TrimCat.ini", Catalogue("Trim", {{"My Trim", {}}}));
  c.add(true, "QVRA/Components/Trim/My Trim/trim1.QTF", OgeeTrimDefinition());
  c.text(true, "QVRA/Components/Trim/My Trim/trim1.QTI",
         "[Description]\nTrimName=Rounded Base\nTrimDescription=Square board with a rounded nose\n");
  c.add(true, "QVRA/Components/Trim/My Trim/trim1.QPV", Png(TrimImage(1, 0, false)));
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
