// Filling objects with plants: the outline walk, the grid inside, the spacing as a length,
// the clamping of the spacing, and which entries plant.
#include <cmath>
#include <utility>
#include <vector>

#include "ToolTestSupport.h"
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
