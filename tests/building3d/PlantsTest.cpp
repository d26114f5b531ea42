// Landscape plants: the footprint without plant information, photo texture ids of user plants,
// the terrain flag and the list of names of a user plant.
#include <gtest/gtest.h>

#include <cstring>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/Plants3D.h"
#include "building3d/RenderRoad.h"
#include "model/Plants.h"
#include "model/CustomTextures.h"

namespace {

struct Plants : ::testing::Test {
  TestDocument doc;
  int32_t savedTextureID = gCurrentPhotoTextureID;
  Plants() { gCurrentPhotoTextureID = 20000; }
  ~Plants() override {
    gCurrentPhotoTextureID = savedTextureID;
    EXPECT_MODEL_SOUND();
  }
  const char* names[10] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "/plants/Maple.png"};
};

// Without an information file the plant grows 12 units high at no growth rate: its square
// footprint is 0.85 of that wide. Its corners lie at height 0 on an upper floor too: the
// floor's base is not theirs to hold.
TEST_F(Plants, PlantWithoutInformationFileHasItsGrowthFootprintAtHeightZero) {
  doc.first->height = 96;
  Objex* plant = BuildLandscapePlant(doc.second, 0, 4711);
  ASSERT_NE(plant, nullptr);
  EXPECT_EQ(plant->type, kObjPlant);
  EXPECT_EQ(plant->subtype, 0);
  EXPECT_EQ(plant->layer, doc.second);
  EXPECT_EQ(plant->pointCount, 4);
  EXPECT_EQ(plant->levels, 1);
  const float w = 10.2f;
  const float expected[4][2] = {{0, 0}, {w, 0}, {w, w}, {0, w}};
  int i = 0;
  for (Poinz* p = plant->firstPoint; p; p = p->next, ++i) {
    EXPECT_FLOAT_EQ(p->position[0], expected[i][0]);
    EXPECT_FLOAT_EQ(p->position[2], expected[i][1]);
    EXPECT_FLOAT_EQ(p->position[1], 0);
    EXPECT_EQ(p->textureID[0], 4711);
  }
  EXPECT_FLOAT_EQ(plant->bounds3D.floatRight, w);
  EXPECT_FLOAT_EQ(plant->bounds3D.floatFront, w);
  ASSERT_NE(plant->plantInfo, nullptr);
  EXPECT_EQ(plant->plantInfo->maximumGrowthHeight, 24);
  EXPECT_EQ(plant->penColor.red, 65535);  // white pen without the current style
  EXPECT_EQ(OnTopographyOf(plant), 1);
  EXPECT_FLOAT_EQ(plant->plantAge, doc.ds()->plantAge);
}

TEST_F(Plants, TwoUserPlantsTakeConsecutivePhotoTextureIdsAndCopyTheirName) {
  Objex* a = BuildUserLandscapePlant(doc.first, 1, names, 10);
  Objex* b = BuildUserLandscapePlant(doc.first, 1, names);  // the list's ten names
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->subtype, kSubUserPlant);
  EXPECT_EQ(a->textureID1, 20000);
  EXPECT_EQ(a->textureID3, 20000);
  EXPECT_EQ(a->firstPoint->textureID[1], 20000);
  EXPECT_EQ(b->textureID2, 20001);
  EXPECT_EQ(gCurrentPhotoTextureID, 20002);
  ASSERT_NE(a->typeData, nullptr);
  EXPECT_STREQ(static_cast<const char*>(a->typeData), names[9]);
  EXPECT_STREQ(static_cast<const char*>(b->typeData), names[9]);
  EXPECT_NE(a->typeData, static_cast<const void*>(names[9]));
}

TEST_F(Plants, ShortOrMissingNameListsAreRefused) {
  EXPECT_EQ(BuildUserLandscapePlant(doc.first, 0, names, 9), nullptr);
  EXPECT_EQ(BuildUserLandscapePlant(doc.first, 0, nullptr, 10), nullptr);
  EXPECT_EQ(BuildUserLandscapePlant(doc.first, 0, nullptr), nullptr);
  EXPECT_EQ(BuildLandscapePlant(nullptr, 0, 1), nullptr);
  EXPECT_EQ(doc.first->firstObject, nullptr);
  EXPECT_EQ(gCurrentPhotoTextureID, 20000);
}

TEST_F(Plants, NonZeroDefaultBaseElevationLeavesPlantsOffTheTerrain) {
  doc.ds()->baseElevation = 12;
  Objex* plant = BuildLandscapePlant(doc.first, 1, 3);
  ASSERT_NE(plant, nullptr);
  EXPECT_EQ(OnTopographyOf(plant), 0);
  EXPECT_EQ(plant->planMask, doc.ds()->newObjectPlanMask);
}

}  // namespace
