// Key entry, photo views and excavations: nothing opens on empty ground, consecutive photo
// texture ids, the photo's size, a two-point excavation discarded and a kept one's settings;
// the pathway tool's path; deck steps dragged along their segment or only selected.
#include <cstddef>
#include <vector>

#include "ScriptedModalEvents.h"
#include "ToolTestSupport.h"
#include "model/CustomTextures.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "building3d/DeckSteps3D.h"
#include "model/HitTest.h"
#include "tools/DeckStepTools.h"
#include "tools/KeyEntryTools.h"
#include "tools/PathTools.h"

namespace {

struct SiteTools : ToolTest {
  int32_t savedTextureID = gCurrentPhotoTextureID;
  int32_t savedPathTexture = gPathDefaultTexture;
  void SetUp() override {
    ToolTest::SetUp();
    doc.ds()->zoomFactor = 1;
    doc.ds()->snapToGrid = 0;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gCurrentPhotoTextureID = 20000;
  }
  void TearDown() override {
    gCurrentPhotoTextureID = savedTextureID;
    gPathDefaultTexture = savedPathTexture;
    gKeyEntrySheetHook = nullptr;
    ToolTest::TearDown();
  }
  void click(uint16_t tool, int32_t x, int32_t z) {
    gCurTool = tool;
    drag({{x, z}});
  }
  static void corner(ScriptedModalEvents& e, int32_t x, int32_t z, int clicks = 1) {
    e.move(x, z).down(x, z, 0, clicks);
  }
  static inline std::vector<Objex*> sSheets;
};

TEST_F(SiteTools, KeyEntryOpensTheSheetOnlyForAHitSegment) {
  sSheets.clear();
  gKeyEntrySheetHook = [](Objex* o, Poinz*, Poinz*) { sSheets.push_back(o); };
  gCurTool = kToolKeyEntry;
  gClickInfo = ClickInfo{};
  ServiceCallRecorder calls;
  TrackKeyEntry(500, 500);  // empty ground
  EXPECT_TRUE(sSheets.empty());
  EXPECT_FALSE(calls.called("keyEntrySheetForObject"));

  Objex* line = doc.addObject(kObjOpenPoly, false, {{0, 0}, {100, 0}});
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = line;
  gClickInfo.hitPoint = line->firstPoint;
  gClickInfo.segmentEnd = nullptr;  // a point without a segment
  TrackKeyEntry(0, 0);
  EXPECT_TRUE(sSheets.empty());
  gClickInfo.segmentEnd = line->firstPoint->next;
  TrackKeyEntry(50, 0);
  ASSERT_EQ(sSheets.size(), 1u);
  EXPECT_EQ(sSheets[0], line);
  EXPECT_TRUE(calls.called("keyEntrySheetForObject", line->objectID));
}

TEST_F(SiteTools, TwoPhotosTakeConsecutiveTextureIds) {
  Objex* a = BuildPhoto();
  Objex* b = BuildPhoto();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->type, kObjPhotoView);
  EXPECT_EQ(a->textureID1, 20000);
  EXPECT_EQ(a->textureID3, 20000);
  EXPECT_EQ(a->firstPoint->next->textureID[1], 20000);
  EXPECT_EQ(b->textureID2, 20001);
  EXPECT_EQ(gCurrentPhotoTextureID, 20002);
  // 360 inches at plan scale 36; the base line 720 each way from the evaluated point.
  EXPECT_FLOAT_EQ(PhotoHeightOf(a), 720);
  const float mid = (a->firstPoint->position[0] + a->firstPoint->next->position[0]) / 2;
  EXPECT_FLOAT_EQ(a->firstPoint->position[0], mid - 720);
  EXPECT_FLOAT_EQ(a->firstPoint->next->position[0], mid + 720);
  EXPECT_EQ(a->planMask, doc.ds()->newObjectPlanMask);
  ASSERT_NE(a->typeData, nullptr);  // the picture plane
  EXPECT_EQ(static_cast<Objex*>(a->typeData)->type, kObjPhotoSurface);
  // The height is 360 inches at every plan scale; the base line stays 1440 plan units long.
  for (float scale : {96.0f, 48.0f, 24.0f}) {
    doc.ds()->planScale = scale;
    Objex* photo = BuildPhoto();
    ASSERT_NE(photo, nullptr);
    EXPECT_FLOAT_EQ(PhotoHeightOf(photo), 360 * 72 / scale) << scale;
    EXPECT_FLOAT_EQ(photo->firstPoint->next->position[0] - photo->firstPoint->position[0], 1440) << scale;
  }
}

TEST_F(SiteTools, ExcavationOfTwoPointsIsDiscarded) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  e.key(kModalKeyEscape);
  click(kToolExcavateTopography, 0, 0);
  EXPECT_EQ(CountObjects(doc.first), 0);
}

TEST_F(SiteTools, ExcavationTakesTheLandscapeSettingsAndSinksByOneUnit) {
  ScriptedModalEvents e;
  corner(e, 100, 0);
  corner(e, 100, 100);
  corner(e, 0, 100);
  corner(e, 2, 1);  // closes on the first point
  click(kToolExcavateTopography, 0, 0);
  ASSERT_EQ(CountObjects(doc.first), 1);
  Objex* x = doc.first->firstObject;
  EXPECT_EQ(x->type, kObjTopoExcavation);
  EXPECT_EQ(x->subtype, kObjTopoExcavation);
  EXPECT_EQ(x->planMask, 128);
  EXPECT_FLOAT_EQ(x->baseElevation, -36);
  EXPECT_FLOAT_EQ(ExcavationDepthOf(x), 36);
  EXPECT_EQ(x->closed, 1);
  EXPECT_EQ(x->penColor.red, 65535);
  for (Poinz* p = x->firstPoint; p; p = p->next) {
    EXPECT_NEAR(p->position[1], -1, 1e-3);
    EXPECT_EQ(p->textureID[0], 1115);
    EXPECT_EQ(p->textureID[1], 1115);
    EXPECT_EQ(p->textureScale[1].x, 100);
  }
  ASSERT_NE(x->typeData, nullptr);  // the rim
}

// Both path styles: a curved path's inner corners get handles, a straight one's none; every
// corner takes the default surface on both sides.
TEST_F(SiteTools, PathToolMakesALandscapePathWithItsSurface) {
  gPathDefaultTexture = 4321;  // unlike a new point's own
  for (uint8_t straight : {0, 1}) {
    SCOPED_TRACE(straight ? "straight" : "curved");
    ScriptedModalEvents e;
    corner(e, 200, 0);
    corner(e, 200, 200);
    corner(e, 400, 200, 2);  // the double-click ends the path at (200, 200)
    doc.ds()->pathWidth = straight ? 30 : 48;
    doc.ds()->pathMaterial = straight ? 7 : 5;
    StraightPathsOf(doc.ds()) = straight;
    click(kToolPathwayDriveway, 0, 0);
    ASSERT_EQ(CountObjects(doc.first), 1);
    Objex* path = doc.first->firstObject;
    EXPECT_EQ(path->type, kObjPath);
    EXPECT_EQ(path->closed, 0);
    EXPECT_EQ(path->planMask, 128);
    EXPECT_FLOAT_EQ(path->width, straight ? 30 : 48);
    EXPECT_EQ(path->textureID, straight ? 7 : 5);
    EXPECT_EQ(path->penColor.red, MaterialTableColor(straight ? 7 : 5).red);
    EXPECT_EQ(path->auxFlag, 1);
    EXPECT_EQ(path->extraLong, 0);
    EXPECT_EQ(StraightPathOf(path), straight);
    const Poinz* middle = path->firstPoint->next;
    EXPECT_EQ(middle->outHandle[0] != 0 || middle->outHandle[2] != 0, !straight);
    for (const Poinz* p = path->firstPoint; p; p = p->next)
      for (int side : {0, 1}) {
        EXPECT_EQ(p->textureID[side], gPathDefaultTexture);
        EXPECT_EQ(p->color[side].red, 65535);
        EXPECT_EQ(p->textureScale[side].x, 100);
        EXPECT_EQ(p->textureScale[side].y, 100);
      }
    ASSERT_NE(path->typeData, nullptr);
    EXPECT_EQ(static_cast<Objex*>(path->typeData)->type, kObjPathSurface);
    DeleteObj(path);
  }
}

struct DeckStepDrag : SiteTools {
  Objex* deck = nullptr;
  Objex* steps = nullptr;
  void SetUp() override {
    SiteTools::SetUp();
    deck = doc.addObject(kObjDeck, true, {{0, 0}, {200, 0}, {200, 100}});
    doc.ds()->deckStepWidth = 30;  // 60 plan units
    AddDeckSteps(deck, deck->firstPoint, deck->firstPoint->next);
    steps = deck->firstChild;
    ASSERT_NE(steps, nullptr);
    gClickInfo = ClickInfo{};
    gClickInfo.hitMode = 1;
    gClickInfo.hitObject = steps;
  }
  float X(int i) const { return i == 0 ? steps->firstPoint->position[0] : steps->firstPoint->next->position[0]; }
  DeckStepsData* record() const { return static_cast<DeckStepsData*>(steps->typeData); }
};

TEST_F(DeckStepDrag, AClickOnTheBodyOnlySelectsTheSteps) {
  gClickInfo.insideHit = 1;
  gClickInfo.where = {100, 0};
  ScriptedModalEvents events;
  events.drag(150, 0).up(160, 0);
  TranslateDeckAttachment(steps, 100, 0, 0);
  EXPECT_FLOAT_EQ(X(0), 70);
  EXPECT_FLOAT_EQ(X(1), 130);
  EXPECT_TRUE(IsObjectSelected(steps));
  EXPECT_EQ(events.pending(), 2u);  // no drag was run
}

TEST_F(DeckStepDrag, DraggingTheEdgeSlidesAndAnEndResizes) {
  gClickInfo.segmentHit = 1;
  gClickInfo.hitPoint = steps->firstPoint;
  gClickInfo.segmentEnd = steps->firstPoint->next;
  gClickInfo.where = {100, 0};
  {
    ScriptedModalEvents events;
    events.drag(110, 0).up(120, 0);
    TranslateDeckAttachment(steps, 100, 0, 0);
  }
  EXPECT_FLOAT_EQ(X(0), 90);
  EXPECT_FLOAT_EQ(X(1), 150);
  EXPECT_FLOAT_EQ(CentreOffsetOf(record()), 120);
  EXPECT_FLOAT_EQ(record()->remainingLength, 80);

  gClickInfo = ClickInfo{};
  gClickInfo.hitMode = 1;
  gClickInfo.hitObject = steps;
  gClickInfo.pointHit = 1;
  gClickInfo.hitPoint = steps->firstPoint->next;
  gClickInfo.where = {150, 0};
  {
    ScriptedModalEvents events;
    events.drag(160, 0).up(170, 0);
    TranslateDeckAttachment();  // the click record alone names the steps
  }
  EXPECT_FLOAT_EQ(X(0), 90);
  EXPECT_FLOAT_EQ(X(1), 170);
  EXPECT_FLOAT_EQ(record()->width, 80);
  EXPECT_FLOAT_EQ(CentreOffsetOf(record()), 130);
}

}  // namespace
