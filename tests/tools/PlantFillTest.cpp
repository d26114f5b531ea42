// Filling objects with plants: the outline walk, the grid inside, the spacing as a length,
// the clamping of the spacing, and which entries plant.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ToolTestSupport.h"
#include "building3d/Triangulation.h"
#include "files/DesignFile.h"
#include "model/PlanarPolygons.h"
#include "model/PlaneObjectRecords.h"
#include "platform/KeyWatch.h"
#include "model/Plants.h"
#include "model/SymEntryInfo.h"
#include "tools/PlantFill.h"

namespace {

struct PlantFill : ToolTest {
  uint8_t savedArea = gFillArea, savedPerimeter = gFillPerimeter;
  float savedSpacing = gPlantSpacing;
  SymEntryInfo stock;

  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->planScale = 72;  // one inch is one plan unit
    stock.type = kEntryPlant;
    stock.textureID = 3000;
    gPlantSpacing = 60;
  }
  void TearDown() override {
    gFillArea = savedArea;
    gFillPerimeter = savedPerimeter;
    gPlantSpacing = savedSpacing;
    ToolTest::TearDown();
  }
  Objex* addRect(float left, float back, float w, float d, int16_t type = kObjRect) {
    Objex* o = doc.addObject(type, true, {{left, back}, {left + w, back}, {left + w, back + d}, {left, back + d}});
    UpdateObjectBounds(o);
    return o;
  }
  // The centres of the plants of the current floor, in planting order.
  std::vector<std::pair<float, float>> plants() {
    std::vector<std::pair<float, float>> out;
    for (Objex* o = doc.model.itsCurLayer->firstObject; o; o = o->next) {
      if (o->type != kObjPlant) continue;
      float x = 0, z = 0;
      int n = 0;
      for (Poinz* p = o->firstPoint; p; p = p->next, ++n) {
        x += p->position[0];
        z += p->position[2];
      }
      out.emplace_back(x / n, z / n);
    }
    return out;
  }
  void setMode(bool perimeter, bool area) {
    gFillPerimeter = perimeter;
    gFillArea = area;
  }
};

using Points = std::vector<std::pair<float, float>>;

void ExpectPoints(const Points& got, const Points& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].first, want[i].first, 1e-3f) << i;
    EXPECT_NEAR(got[i].second, want[i].second, 1e-3f) << i;
  }
}

}  // namespace

TEST_F(PlantFill, OutlinePlantsOncePerCornerAndAlongLongSides) {
  Objex* rect = addRect(0, 0, 120, 60);
  setMode(true, false);
  EXPECT_EQ(FillObjectWithPlants(rect, &stock), 6);
  ExpectPoints(plants(), {{0, 0}, {60, 0}, {120, 0}, {120, 60}, {60, 60}, {0, 60}});
  // Only the last plant stays selected.
  int selected = 0;
  for (Objex* o = doc.model.itsCurLayer->firstObject; o; o = o->next)
    if (o->type == kObjPlant && o->firstPoint->selected) ++selected;
  EXPECT_EQ(selected, 1);
}

TEST_F(PlantFill, AreaPlantsAGridHalfAUnitIn) {
  Objex* rect = addRect(10, 20, 120, 60);
  setMode(false, true);
  EXPECT_EQ(FillObjectWithPlants(rect, &stock), 2);
  ExpectPoints(plants(), {{10.5f, 20.5f}, {70.5f, 20.5f}});
}

TEST_F(PlantFill, OpenLinesHaveNoClosingSegmentAndNothingInside) {
  Objex* line = doc.addObject(kObjLine, false, {{0, 0}, {100, 0}, {100, 50}});
  UpdateObjectBounds(line);
  setMode(true, false);
  EXPECT_EQ(FillObjectWithPlants(line, &stock), 3);
  ExpectPoints(plants(), {{0, 0}, {60, 0}, {100, 0}});  // (100, 0) starts the second segment
  // A two-point line with the area option too: its outline plants only.
  setMode(true, true);
  Objex* two = doc.addObject(kObjLine, false, {{0, 200}, {130, 200}});
  UpdateObjectBounds(two);
  EXPECT_EQ(FillObjectWithPlants(two, &stock), 3);
}

TEST_F(PlantFill, SpacingIsALengthInTheDocumentsScale) {
  doc.ds()->planScale = 36;  // 60 inches are 120 plan units
  Objex* rect = addRect(0, 0, 240, 120);
  setMode(true, false);
  EXPECT_EQ(FillObjectWithPlants(rect, &stock), 6);
  EXPECT_NEAR(plants()[1].first, 120, 1e-3f);

  struct Case {
    float typed, used;
  } cases[] = {{0.5f, 1}, {1, 1}, {5000, 3000}, {3000, 3000}, {NAN, 1}, {-4, 1}, {60, 60}};
  for (const Case& c : cases) EXPECT_EQ(ClampedPlantSpacing(c.typed), c.used) << c.typed;
}

// The typed spacing is held in inches: a metric design plants as far apart as an imperial one.
TEST_F(PlantFill, SpacingStaysInInchesInMetricDesigns) {
  Objex* rect = addRect(0, 0, 120, 60);
  setMode(true, false);
  for (int16_t units : {6, 8, 5, 2}) {
    SCOPED_TRACE(units);
    doc.ds()->worldUnits = units;
    const size_t before = plants().size();
    EXPECT_EQ(FillObjectWithPlants(rect, &stock), 6);
    EXPECT_NEAR(plants()[before + 1].first, 60, 1e-3f);
  }
}

TEST_F(PlantFill, OnlyPlantEntriesPlantAndUserPlantsKeepTheirImage) {
  Objex* rect = addRect(0, 0, 120, 60);
  setMode(true, false);
  SymEntryInfo colour;
  colour.type = kEntryColor;
  EXPECT_EQ(FillObjectWithPlants(rect, &colour), 0);
  EXPECT_EQ(FillObjectWithPlants(rect, nullptr), 0);
  EXPECT_EQ(FillObjectWithPlants(nullptr, &stock), 0);
  SymEntryInfo user;
  user.type = kEntryUserPlant;
  user.objectData = "/nowhere/Rose.jpg";
  EXPECT_EQ(FillObjectWithPlants(rect, &user), 6);
  for (Objex* o = doc.model.itsCurLayer->firstObject; o; o = o->next) {
    if (o->type != kObjPlant) continue;
    EXPECT_EQ(o->subtype, kSubUserPlant);
    ASSERT_NE(o->typeData, nullptr);
    EXPECT_STREQ(static_cast<const char*>(o->typeData), "/nowhere/Rose.jpg");
    ASSERT_NE(o->plantInfo, nullptr);
    EXPECT_EQ(o->plantInfo->maximumGrowthHeight, 72);
  }
}

TEST_F(PlantFill, FillableTypes) {
  const struct {
    int16_t type;
    bool fillable;
  } cases[] = {{1, true}, {7, true}, {8, false}, {21, true}, {22, true}, {26, true}, {27, true}, {29, true},
               {28, false}, {12, false}, {0, false}};
  for (const auto& c : cases) {
    Objex o{};
    o.type = c.type;
    EXPECT_EQ(IsPlantFillable(&o), c.fillable) << c.type;
  }
}

namespace {

// The grid the area fill plants, found the slow way: every cell of the bounding box tested.
Points EveryCellInside(Objex* object, float spacing) {
  Points inside;
  int32_t count = 0;
  for (Poinz* p = object->firstPoint; p; p = p->next) ++count;
  PlanarPolyPoint* polygon = CreatePlanarPolygon(object->firstPoint, &count);
  if (!polygon) return inside;
  for (int32_t i = 0; i < count; ++i) polygon[i].y = polygon[i].z;
  const Float3DRect box = object->bounds3D;
  for (int64_t i = 0;; ++i) {
    const float x = static_cast<float>(box.floatLeft + 0.5 + static_cast<double>(i) * spacing);
    if (!(x <= box.floatRight)) break;
    for (int64_t k = 0;; ++k) {
      const float z = static_cast<float>(box.floatBack + 0.5 + static_cast<double>(k) * spacing);
      if (!(z <= box.floatFront)) break;
      PlaneVertex point{};
      point.x = x;
      point.y = z;
      if (IsPointInsidePolygon(&point, polygon, count)) inside.emplace_back(x, z);
    }
  }
  DeletePlanarPolygon(polygon);
  return inside;
}

// The closed outlines a design holds (the reproducers' are closed polygons, filled as the
// report filled them, through FillObjectWithPlants).
std::vector<Objex*> Outlines(ZLKDocumentModel& model) {
  std::vector<Objex*> found;
  for (Layer* l = model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      if (o->closed && o->type != kObjPlant) found.push_back(o);
  return found;
}

std::string Reproducer(const char* name) {
  return (std::filesystem::path(__FILE__).parent_path() / "data" / "regressions" / name).string();
}

}  // namespace

// The area fill plants exactly the cells of the grid that lie inside, in the same order,
// whatever the outline's shape: convex, concave, with a hole's notch, or crossing itself.
TEST_F(PlantFill, TheAreaGridIsEveryCellInsideTheOutline) {
  setMode(false, true);
  gPlantSpacing = 7;
  const std::vector<std::vector<std::pair<float, float>>> shapes = {
      {{0, 0}, {300, 20}, {150, 260}},
      {{0, 0}, {200, 0}, {200, 200}, {140, 200}, {140, 60}, {60, 60}, {60, 200}, {0, 200}},  // a U
      {{0, 0}, {200, 200}, {200, 0}, {0, 200}},                                            // a bow tie
      {{-50.25f, -10}, {400, 390.5f}, {401, 395}},                                         // a sliver
  };
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.size());
    RGBColor black{};
    Objex* outline = CreateObject(kObjMultigon, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr);
    for (auto [x, z] : shape)
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, outline), outline);
    AppendObjectToLayer(outline, doc.model.itsCurLayer);
    UpdateObjectBounds(outline);
    const Points want = EveryCellInside(outline, 7);
    const size_t before = plants().size();
    EXPECT_EQ(FillObjectWithPlants(outline, &stock), static_cast<int32_t>(want.size()));
    const Points all = plants();
    ExpectPoints(Points(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), want);
  }
}

// Thin diagonal outlines have vast bounding boxes and few cells inside: the walk looks at the
// cells near the outline, not at every cell of the box (a 10,000-inch one took 68 s).
TEST_F(PlantFill, AThinDiagonalOutlineIsWalkedAlongItsLength) {
  setMode(false, true);
  gPlantSpacing = 1;
  for (const char* name : {"plant-fill-thin-diagonal-3000.pro", "plant-fill-thin-diagonal-10000.pro",
                           "plant-fill-sliver-100000.pro"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(KeyFileRead(Reproducer(name).c_str()), 1);
    ASSERT_EQ(gCurDocument, &doc.model);
    EXPECT_EQ(doc.ds()->planScale, 72);  // the reproducers' scale: one inch a plan unit
    const std::vector<Objex*> outlines = Outlines(doc.model);
    ASSERT_FALSE(outlines.empty());
    for (Objex* outline : outlines) {
      UpdateObjectBounds(outline);
      const double columns = outline->bounds3D.floatRight - outline->bounds3D.floatLeft + 1;
      PlantFillReport report;
      const int32_t planted = FillObjectWithPlants(outline, &stock, &report);
      EXPECT_EQ(report.stop, PlantFillStop::kNone);
      EXPECT_GT(planted, 0);
      // A few steps a column and a few a plant; the whole box is columns squared.
      EXPECT_LT(static_cast<double>(report.steps), 64 * (columns + planted)) << columns;
    }
  }
}

// Escape stops a long fill as it stops a render: what was planted stays.
TEST_F(PlantFill, EscapeStopsTheFill) {
  setMode(false, true);
  gPlantSpacing = 1;
  Objex* field = addRect(0, 0, 3000, 3000);
  {
    ScopedKeyWatch keys;
    keys.keys = {0, kKeyWatchEscape};
    PlantFillReport report;
    const int32_t planted = FillObjectWithPlants(field, &stock, &report);
    EXPECT_EQ(report.stop, PlantFillStop::kEscape);
    EXPECT_GT(planted, 0);
    EXPECT_LT(planted, kMostPlantsPerFill);
    EXPECT_EQ(static_cast<int32_t>(plants().size()), planted);
    EXPECT_GE(keys.polls, 2);
  }
  // Other keys do not stop it.
  Objex* bed = addRect(5000, 0, 60, 60);
  ScopedKeyWatch keys;
  keys.keys = {0, 0, 0};
  PlantFillReport report;
  EXPECT_EQ(FillObjectWithPlants(bed, &stock, &report), 3600);
  EXPECT_EQ(report.stop, PlantFillStop::kNone);
  EXPECT_GE(keys.polls, 1);
  EXPECT_TRUE(keys.keys.empty());
}
