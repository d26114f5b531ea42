// DocState defaults, metric defaults, plan masks and the dimension flag word.
#include <gtest/gtest.h>

#include "TestDocument.h"
#include "model/DimensionRecords.h"
#include "model/Globals.h"
#include "model/TransformInfo.h"

TEST(DocStateDefaults, ComputedFields) {
  TestDocument doc;
  DocState* ds = doc.ds();
  EXPECT_EQ(ds->dimFlags, 0xC0008);
  ds->dimArrowStyle = 5086;
  SetDocStateDimensionArrowFlags(ds);
  EXPECT_EQ(ds->dimFlags, 0xC0001);
  ds->dimArrowStyle = 5099;
  SetDocStateDimensionArrowFlags(ds);
  EXPECT_EQ(ds->dimFlags & 0x7F, 0);
  ds->dimReadoutStyle = 5058;
  SetDocStateDimensionReadoutFlags(ds);
  EXPECT_EQ(ds->dimFlags, 0x81000);
  ds->dimToleranceStyle = 5055;
  SetDocStateDimensionToleranceFlags(ds);
  EXPECT_EQ(ds->dimFlags & 0xE00, 0x400);

  EXPECT_FLOAT_EQ(ds->walkPosition.floatH, 0);
  EXPECT_FLOAT_EQ(ds->walkPosition.floatV, 2275);
  EXPECT_FLOAT_EQ(ds->wallSetting9, 120);
  EXPECT_FLOAT_EQ(ds->wallSetting10, 168);
  EXPECT_EQ(ds->colorTable[0], 0x4C9B59);
  EXPECT_EQ(ds->colorTable[71], 0);
  EXPECT_STREQ(ds->font.lfFaceName, "Arial");
  EXPECT_EQ(ds->font.lfHeight, -16);
  EXPECT_EQ(ds->font.lfPitchAndFamily, 52);
  EXPECT_FLOAT_EQ(ds->setting44, 0.02777778f);
  EXPECT_EQ(ds->nextObjectID, 1u);
  EXPECT_EQ(ds->selectionState.ssStateFresh, 1);
  EXPECT_EQ(ds->selectionState.ssArrowHeadType, 5089);
  EXPECT_EQ(ds->selectionState40.ssBaseElevation, 1);
  EXPECT_EQ(ds->planColors[3].red, 0);
  // The light tools' glow default lives in the glow flag; the light tool flag starts off.
  EXPECT_EQ(ds->lightFlag, 0);
  EXPECT_EQ(ds->glowFlag, 1);
}

TEST(DocStateDefaults, DimensionObjectFlagWordAndPointTransform) {
  DimensionInfoData info{};
  info.flags = 0x80000 | 0x7F | 0xE00;
  Objex dim{};
  dim.typeData = &info;
  DimensionArrowFlag(&dim, 5090);
  EXPECT_EQ(info.flags, 0x80000 | 0x10 | 0xE00);
  DimensionArrowFlag(&dim, 5093);
  EXPECT_EQ(info.flags & 0x7F, 0);
  DimensionToleranceFlag(&dim, 5054);  // no document yet: nothing
  EXPECT_EQ(info.flags & 0xE00, 0xE00);
  TestDocument doc;
  DimensionToleranceFlag(&dim, 5056);
  EXPECT_EQ(info.flags, 0x80000 | 0x800);
  DimensionToleranceFlag(&dim, 5053);
  EXPECT_EQ(info.flags, 0x80000);
  Objex bare{};
  DimensionArrowFlag(&bare, 5086);
  DimensionToleranceFlag(&bare, 5055);

  // The first set bit of 16, 32, 64, 128 picks the transform.
  DragTransformInfo drag{};
  drag.start[0] = drag.start[2] = 1;
  drag.current[0] = drag.current[2] = 2;
  Poinz p{};
  p.position[0] = p.position[2] = 1;
  TransformDimension(&p, 16 | 32, &drag);  // moved by (1, 1)
  EXPECT_FLOAT_EQ(p.position[0], 2);
  EXPECT_FLOAT_EQ(p.position[2], 2);
  TransformDimension(&p, 32 | 64 | 128, &drag);  // doubled about the origin
  EXPECT_FLOAT_EQ(p.position[0], 4);
  EXPECT_FLOAT_EQ(p.position[2], 4);
  TransformDimension(&p, 1 | 0x100 | 0x200, &drag);  // no transform bit
  TransformDimension(nullptr, 16, &drag);
  TransformDimension(&p, 16, nullptr);
  EXPECT_FLOAT_EQ(p.position[0], 4);
}

TEST(DocStateDefaults, PlanMasksFollowToolsetOptions) {
  TestDocument doc;
  const int32_t expected[9] = {257, 511, 262, 266, 274, 290, 322, 386, 386};
  gToolsetOptions = 6911;
  InitializeVisiblePlansFromToolsetOptions();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(doc.ds()->planMasks[i], expected[i]) << i;
  gToolsetOptions = 0;
  InitializeVisiblePlansFromToolsetOptions();
  EXPECT_EQ(doc.ds()->planMasks[0], 257 | 32 | 64 | 128);
  gToolsetOptions = 6911;
}

TEST(DocStateDefaults, MeasureSystemAndMetricDefaults) {
  gDefaultToImperial = 0;
  {
    TestDocument doc;
    EXPECT_EQ(doc.ds()->measureSystem, 4);
    SetDocStateMetricDefaults(doc.ds());
    EXPECT_NEAR(doc.ds()->gridSpacing.floatH, 19.685f, 1e-4);
    EXPECT_NEAR(doc.ds()->wallThickness, 3.937f, 1e-4);
    for (Layer* l = doc.model.itsLayers; l; l = l->next) EXPECT_NEAR(l->height, 94.488f, 1e-3);
  }
  gDefaultToImperial = 1;
  TestDocument doc;
  EXPECT_EQ(doc.ds()->measureSystem, 3);
  EXPECT_FLOAT_EQ(doc.ds()->gridSpacing.floatH, 12);
}
