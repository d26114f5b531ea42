// The seam to the libraries above the model: a call reaches the installed routine and only
// that; with none installed it is recorded and does what callers rely on.
#include <gtest/gtest.h>

#include "TestDocument.h"
#include "model/DocState.h"
#include "model/Records.h"
#include "model/Services.h"

namespace {

std::vector<uint32_t>* sWalls = nullptr;
void RecordWall(Objex* wall) { sWalls->push_back(wall ? wall->objectID : 0); }
SymEntryInfo sEntry;
SymEntryInfo* InstalledEntry() { return &sEntry; }

class Services : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = gBuildingServices;
    savedContent = gContentServices;
    savedRenderer = gRendererServices;
    gBuildingServices = {};
    gContentServices = {};
    gRendererServices = {};
  }
  void TearDown() override {
    gBuildingServices = saved;
    gContentServices = savedContent;
    gRendererServices = savedRenderer;
    sWalls = nullptr;
  }
  BuildingServices saved;
  ContentServices savedContent;
  RendererServices savedRenderer;
  TestDocument doc;
};

TEST_F(Services, ACallGoesToTheInstalledRoutineOnlyWhenOneIsInstalled) {
  Objex wall{};
  wall.objectID = 41;
  {
    ServiceCallRecorder recorder;
    Update3DWall(&wall);
    EXPECT_TRUE(recorder.called("Update3DWall", 41));
  }
  std::vector<uint32_t> walls;
  sWalls = &walls;
  gBuildingServices.update3DWall = RecordWall;
  ServiceCallRecorder recorder;
  Update3DWall(&wall);
  Update3DRoof(&wall);  // another member of the table stays a stand-in
  EXPECT_EQ(walls, std::vector<uint32_t>{41});
  EXPECT_FALSE(recorder.called("Update3DWall"));
  EXPECT_TRUE(recorder.called("Update3DRoof", 41));
}

TEST_F(Services, StandInsDoWhatTheirCallersRelyOn) {
  Objex object{};
  object.objectID = 7;
  gRefreshRender = 0;
  RenderAllLayers();
  EXPECT_EQ(gRefreshRender, 1);  // the 3D view is asked to redraw
  gRefreshRender = 0;
  ReRenderObject(&object);
  EXPECT_EQ(object.needsRender, 1);
  EXPECT_EQ(ConnectWallPoint(&object, nullptr), &object);
  EXPECT_EQ(UpdateAllWallAttachments(&object), 0);
  const int16_t savedType = gSelectedContentEntryType;
  gSelectedContentEntryType = 0;
  EXPECT_EQ(ContentPaletteSelectedSymEntry(), nullptr);
  gSelectedContentEntryType = kEntrySymbol;
  ASSERT_EQ(ContentPaletteSelectedSymEntry(), &gSelectedContentEntry);
  EXPECT_EQ(gSelectedContentEntry.type, kEntrySymbol);
  gContentServices.selectedSymEntry = InstalledEntry;
  EXPECT_EQ(ContentPaletteSelectedSymEntry(), &sEntry);
  gSelectedContentEntryType = savedType;
}

// Nothing in the model changes the tool set; only a design window picks another plan.
TEST_F(Services, TheDrawingPaletteStartsWithTheFloorPlansTools) { EXPECT_EQ(gCurToolSet, kPlanFloor); }

TEST_F(Services, GapsNameEveryEmptyMemberOfATable) {
  auto gapsOf = [](const std::string& table) {
    for (const ServiceGap& gap : InstalledServiceGaps())
      if (gap.table == table) return gap.emptySlots;
    return std::vector<size_t>{};
  };
  const size_t members = sizeof(BuildingServices) / sizeof(void (*)());
  EXPECT_EQ(gapsOf("building").size(), members);
  gBuildingServices.update3DWall = RecordWall;
  gBuildingServices.renderSingleObject = RecordWall;  // the last member
  const std::vector<size_t> left = gapsOf("building");
  EXPECT_EQ(left.size(), members - 2);
  EXPECT_EQ(left.front(), 1u);
  EXPECT_EQ(left.back(), members - 2);
}

}  // namespace
