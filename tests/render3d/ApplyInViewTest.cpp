// Picking a surface of the 3D view and writing materials, mouldings and custom trim profiles
// into the plan objects behind it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/ObjectRecords.h"
#include "files/StreamState.h"
#include "files/TemplateFile.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/ExtrudeFlip.h"
#include "model/Records.h"
#include "platform/ContentPaths.h"
#include "render3d/ApplyMaterials.h"
#include "render3d/ApplyMouldings.h"
#include "render3d/Cutaway.h"
#include "render3d/RenderTestSupport.h"
#include "render3d/SurfacePick.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"

namespace {

// ---- the choice among hit records ----

struct HitCase {
  const char* what;
  std::vector<uint32_t> buffer;
  int32_t hits;
  bool found;
  uint32_t name;
};

TEST(NearestHit, SmallestMinimumDepthWinsAndTiesKeepTheFirst) {
  const uint32_t nearer = 0x40000000u, farther = 0x80000000u;
  const HitCase cases[] = {
      {"no records", {}, 0, false, 0},
      {"one record", {1, farther, farther, 7}, 1, true, 7},
      {"nearer second", {1, farther, farther, 7, 1, nearer, farther, 9}, 2, true, 9},
      {"nearer first", {1, nearer, nearer, 9, 1, farther, farther, 7}, 2, true, 9},
      {"equal depths", {1, nearer, farther, 4, 1, nearer, nearer, 5}, 2, true, 4},
      {"first of several names", {2, nearer, nearer, 11, 12}, 1, true, 11},
      {"record without names", {0, nearer, nearer, 1, farther, farther, 3}, 2, true, 3},
      {"count beyond the buffer", {1, farther, farther, 7, 50, nearer, nearer, 2}, 2, true, 7},
      {"overflow reads what fits", {1, farther, farther, 7, 1, nearer, nearer, 8}, -1, true, 8},
      {"farthest possible depth", {1, 0xFFFFFFFFu, 0xFFFFFFFFu, 6}, 1, true, 6},
  };
  for (const HitCase& c : cases) {
    uint32_t name = 0;
    EXPECT_EQ(NearestHitName(c.buffer.data(), c.buffer.size(), c.hits, &name), c.found) << c.what;
    if (c.found) EXPECT_EQ(name, c.name) << c.what;
  }
}

// ---- picks and applying through a walk camera at the origin looking along -z ----

class ApplyInView : public RenderTest {
 protected:
  TrackingHooks savedHooks;
  static inline uint16_t sModifiers = 0;

  void SetUp() override {
    RenderTest::SetUp();
    if (IsSkipped()) return;
    savedHooks = gTrackingHooks;
    sModifiers = 0;
    gTrackingHooks.currentModifiers = [] { return sModifiers; };
    DocState* d = ds();
    d->orthoView() = 0;
    d->navigationMode = kNavWalkThrough;
    d->walkViewAngle() = 0;
    d->walkEyePoint() = {0, 0};
    d->walkEyeHeight() = 60;
    d->navigationStep = 7;
    d->planBounds = {-2000, -2000, 2000, 2000};
  }
  void TearDown() override {
    gTrackingHooks = savedHooks;
    RenderTest::TearDown();
  }

  // A square across the middle of the view at depth z (eye height 60).
  PlaneObject* wallAt(float z, Objex* source = nullptr) { return addSquare(-400, -400, 400, 500, z, {1, 2, 3}, source); }
  static constexpr POINT kMiddle{32, 32};
  static constexpr POINT kSky{32, 1};
  static constexpr POINT kGround{32, 63};
};

TEST_F(ApplyInView, TheNearerOfTwoSurfacesIsPickedInEitherOrder) {
  PlaneObject* near = wallAt(-200);
  PlaneObject* far = wallAt(-400);
  SurfacePick pick = PickSurfaceAt(kMiddle);
  ASSERT_EQ(pick.result, PickResult::kSurface);
  EXPECT_EQ(pick.surface, near);
  // Drawn the other way round.
  gGLPlaneObjects = far;
  far->prev = nullptr;
  far->next = near;
  near->prev = far;
  near->next = nullptr;
  gGLPlaneObjectsTail = near;
  pick = PickSurfaceAt(kMiddle);
  ASSERT_EQ(pick.result, PickResult::kSurface);
  EXPECT_EQ(pick.surface, near);
  EXPECT_EQ(gGLPickMode, 0);
  EXPECT_EQ(ds()->navigationStep, 7);
}

// With the cut-away on, the pick finds the surface the cut view shows: a wall in the slab the
// cut removes is not drawn, so the point lands on the surface behind it.
TEST_F(ApplyInView, TheCutAwayRemovesTheSurfacesItCutsFromThePick) {
  // Something in the plan for the cut-away to span (plan y -600 to -100, the depths the walls
  // stand at).
  doc.addObject(kObjClosedPoly, true, {{-100, -600}, {100, -600}, {100, -100}, {-100, -100}}, doc.first);
  PlaneObject* near = wallAt(-200);
  PlaneObject* far = wallAt(-400);
  ds()->cutAwayDirection() = kCutAwayNorth;
  SetSlicePlaneBounds();
  // The plane at z = -300: the near wall is cut away, the far one stays.
  ds()->cutAwayPosition() = static_cast<int32_t>(gCutawayBounds.floatFront + 300);
  ComputeSlicePlane();
  ASSERT_NE(gSlicePaneEquation[2], 0);
  ASSERT_NEAR(-gSlicePaneEquation[3] / gSlicePaneEquation[2], -300, 1);
  SurfacePick pick = PickSurfaceAt(kMiddle);
  ASSERT_EQ(pick.result, PickResult::kSurface);
  EXPECT_EQ(pick.surface, far);
  // The view's own frames clip only while they draw.
  EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
  // Off, the near wall is hit again.
  ds()->cutAwayPosition() = 0;
  pick = PickSurfaceAt(kMiddle);
  ASSERT_EQ(pick.result, PickResult::kSurface);
  EXPECT_EQ(pick.surface, near);
}

TEST_F(ApplyInView, EqualDepthsKeepTheFirstRecord) {
  PlaneObject* first = wallAt(-300);
  wallAt(-300);
  const SurfacePick pick = PickSurfaceAt(kMiddle);
  ASSERT_EQ(pick.result, PickResult::kSurface);
  EXPECT_EQ(pick.surface, first);
}

TEST_F(ApplyInView, TheNearestSurfaceWinsWhenMoreLieUnderThePointThanTheHitBufferHolds) {
  // Each hit takes four entries of the buffer: these fill it before the nearest is drawn.
  const int behind = static_cast<int>(kPickBufferEntries / 4) + 50;
  for (int i = 0; i < behind; ++i) wallAt(-400.0f - static_cast<float>(i % 97));
  PlaneObject* nearest = wallAt(-200);
  const SurfacePick pick = PickSurfaceAt(kMiddle);
  ASSERT_EQ(pick.result, PickResult::kSurface);
  EXPECT_EQ(pick.surface, nearest);
}

TEST_F(ApplyInView, SkyAndLotAreNotSurfacesAndTheFirstPlaneObjectIsNeverTheLot) {
  EXPECT_EQ(PickSurfaceAt(kSky).result, PickResult::kBackground);
  EXPECT_EQ(PickSurfaceAt(kGround).result, PickResult::kLot);
  // The scene's first plane object in front of the ground.
  PlaneObject* only = addSquare(-400, 0, 400, 300, -100, {1, 2, 3});
  const SurfacePick pick = PickSurfaceAt(kGround);
  ASSERT_EQ(pick.result, PickResult::kSurface);
  EXPECT_EQ(pick.surface, only);
}

TEST_F(ApplyInView, BackgroundAndLotTakeTheMaterialAndReportNoChange) {
  ds()->backgroundTextureID = 1550;
  EXPECT_FALSE(ApplyTexture(kSky, 1234));
  EXPECT_EQ(ds()->backgroundTextureID, 1234);
  EXPECT_EQ(ds()->backgroundColor(), (RGBColor{65535, 65535, 65535}));
  EXPECT_FALSE(ApplyTexture(kGround, 20001));
  EXPECT_EQ(ds()->lotTextureID, 20001);
  // A colour takes texture 0 on both.
  EXPECT_FALSE(ApplyColor(kGround, 0x00030201, 0, 0));
  EXPECT_EQ(ds()->lotTextureID, 0);
  EXPECT_EQ(ds()->lotColor, (RGBColor{257, 514, 771}));
  // An id the lot's 16-bit field cannot hold leaves the lot as it was.
  ds()->lotTextureID = 1158;
  EXPECT_FALSE(ApplyTexture(kGround, 40000));
  EXPECT_EQ(ds()->lotTextureID, 1158);
  // A negative id changes nothing at all.
  EXPECT_FALSE(ApplyTexture(kSky, -5));
  EXPECT_EQ(ds()->backgroundTextureID, 1234);
  // Id 0 is no texture: the sky and the lot take it.
  EXPECT_FALSE(ApplyTexture(kSky, 0));
  EXPECT_EQ(ds()->backgroundTextureID, 0);
  EXPECT_FALSE(ApplyTexture(kGround, 0));
  EXPECT_EQ(ds()->lotTextureID, 0);
}

// A wall face coloured from side 1 of the wall's first point.
struct LinkedFace {
  Objex* wall;
  PlaneObject* face;
};

TEST_F(ApplyInView, AWallFaceTakesTheMaterialThroughItsLinks) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}}, parts);
  PlaneObject* face = wallAt(-200, wall);
  Poinz* p = wall->firstPoint;
  p->textureID[0] = 1700;
  p->color[0] = {5, 5, 5};
  p->textureScale[0] = {50, 60};
  // Side B (render kind other than 6) shows the point's first triple.
  face->renderKind = 0;
  face->textureLinkB = &p->textureID[0];
  face->colorLinkB = &p->color[0];
  face->scaleLinkB = &p->textureScale[0].x;
  face->textureLinkA = &p->textureID[1];
  {
    ServiceCallRecorder calls;
    EXPECT_TRUE(ApplyTexture(kMiddle, 0));
    EXPECT_TRUE(calls.called("ReRenderObject", wall->objectID));
  }
  // Id 0 keeps the texture but puts back white and 100 %.
  EXPECT_EQ(p->textureID[0], 1700);
  EXPECT_EQ(p->color[0], (RGBColor{65535, 65535, 65535}));
  EXPECT_EQ(p->textureScale[0].x, 100);
  EXPECT_EQ(p->textureScale[0].y, 100);
  EXPECT_EQ(wall->needsRender, 1);
  DeleteAllRendererObjects();

  // Only the face's own links keep their id: the slots a part sends the texture to take 0.
  Objex* fence = doc.addObject(kObjFence, true, {{0, 0}, {100, 0}, {100, 100}}, parts);
  Objex* post = doc.addObject(kObjFace, true, {{0, 0}, {1, 0}}, parts);
  post->subtype = 154;
  fence->textureID1 = fence->textureID2 = 1300;
  int32_t own = 1300;
  face = wallAt(-200, fence);
  face->actual3DObject = post;
  face->renderKind = 6;
  face->textureLinkA = &own;
  EXPECT_TRUE(ApplyTexture(kMiddle, 0));
  EXPECT_EQ(own, 1300);
  EXPECT_EQ(fence->textureID1, 0);
  EXPECT_EQ(fence->textureID2, 0);
  EXPECT_EQ(fence->color1, (RGBColor{65535, 65535, 65535}));
}

TEST_F(ApplyInView, ColoursAreStoredTimes257WithTextureZeroAndPaintsMarkTheScale) {
  struct Case {
    uint8_t paint;
    int16_t index;
    ShortPoint scale;
  };
  for (const Case& c : {Case{0, 0, {100, 100}}, Case{1, 42, {-1, 42}}}) {
    Objex* fill = doc.addObject(kObjFill, true, {{0, 0}, {10, 0}, {10, 10}}, parts);
    for (Poinz* q = fill->firstPoint; q; q = q->next) q->textureID[0] = q->textureID[1] = 1115;
    PlaneObject* face = wallAt(-200, fill);
    face->renderKind = 6;
    face->textureLinkA = &fill->textureID;
    face->colorLinkA = &fill->fillColor;
    face->scaleLinkA = &fill->textureScale.x;
    fill->textureID = 1115;
    EXPECT_TRUE(ApplyColor(kMiddle, 0x00FF8001, c.paint, c.index));
    const RGBColor expected{257, 128 * 257, 65535};
    EXPECT_EQ(fill->textureID, 0);
    EXPECT_EQ(fill->fillColor, expected);
    EXPECT_EQ(fill->textureScale.x, c.scale.x);
    EXPECT_EQ(fill->textureScale.y, c.scale.y);
    for (Poinz* q = fill->firstPoint; q; q = q->next)
      for (int side = 0; side < 2; ++side) {
        EXPECT_EQ(q->textureID[side], 0);
        EXPECT_EQ(q->color[side], expected);
        EXPECT_EQ(q->textureScale[side].x, c.scale.x);
      }
    DeleteAllRendererObjects();
  }
}

// Which slots of a plan object a picked part sends a texture to.
struct SlotCase {
  const char* what;
  int16_t planType;
  int16_t partType;
  int32_t partSubtype;
  std::vector<int> slotList;  // 0..3 of the plan object
  const char* update;
};

int32_t SlotTexture(const Objex* o, int slot) {
  switch (slot) {
    case 0: return o->textureID;
    case 1: return o->textureID1;
    case 2: return o->textureID2;
    default: return o->textureID3;
  }
}

TEST_F(ApplyInView, EachPickedPartSendsTheTextureToItsSlots) {
  const SlotCase cases[] = {
      {"fence post", kObjFence, kObjFace, 154, {1, 2}, "UpdateFenceObject"},
      {"gate panel", kObjFence, kObjFace, 155, {3}, "UpdateFenceObject"},
      {"stair tread", kObjStaircase, kObjStairTread, 0, {2}, "UpdateStairObject"},
      {"stair spindle", kObjStaircase, kObjSpindle, 0, {1}, "UpdateStairObject"},
      {"rail span", kObjRailing, kObjFace, 156, {2}, "UpdateRailObject"},
      {"railing post", kObjRailing, kObjFace, 0, {1}, "UpdateRailObject"},
      {"deck spindle", kObjDeck, kObjSpindle, 0, {2}, "Update3DDeck"},
      {"deck surface", kObjDeck, kObjDeck, 0, {1}, "Update3DDeck"},
      {"deck fascia", kObjDeck, kObjFace, 0, {0}, "Update3DDeck"},
      {"roof hip", kObjRoof, kObjRoofHipPart, 0, {1}, "Update3DRoof"},
  };
  for (const SlotCase& c : cases) {
    Objex* plan = doc.addObject(c.planType, true, {{0, 0}, {100, 0}, {100, 100}}, parts);
    Objex* part = doc.addObject(c.partType, true, {{0, 0}, {1, 0}}, parts);
    part->subtype = c.partSubtype;
    PlaneObject* face = wallAt(-200, plan);
    face->actual3DObject = part;
    // The face's own link: kept for every kind but decks, which put it back.
    int32_t own = 77;
    face->renderKind = 6;
    face->textureLinkA = &own;
    ServiceCallRecorder calls;
    EXPECT_TRUE(ApplyTexture(kMiddle, 2400)) << c.what;
    for (int slot = 0; slot < 4; ++slot) {
      const bool wanted = std::find(c.slotList.begin(), c.slotList.end(), slot) != c.slotList.end();
      EXPECT_EQ(SlotTexture(plan, slot) == 2400, wanted) << c.what << " slot " << slot;
    }
    EXPECT_EQ(own, c.planType == kObjDeck ? 77 : 2400) << c.what;
    EXPECT_TRUE(calls.called(c.update, plan->objectID)) << c.what;
    DeleteAllRendererObjects();
  }
}

// Each face of a roof and of a roof panel sends the texture to its own field: the roof planes and
// part 33 to the two sides of the roof's first point, the gable part to slot 2, the hip part to
// slot 1, part 34 nowhere (only a colour or a palette reaches it); a panel's face looking the
// way its part turns takes the underside slot (3), any other slot 1, either way round.
TEST_F(ApplyInView, EachRoofAndPanelFaceSendsTheTextureToItsOwnField) {
  enum Field { kSide0, kSide1, kSlot1, kSlot2, kSlot3, kNowhere };
  const struct {
    const char* what;
    int16_t planType, partType, facing;
    float normalY;
    Field field;
  } cases[] = {
      {"roof plane", kObjRoof, kObjRoofPlane, 0, 1, kSide0},
      {"roof part 33", kObjRoof, 33, 0, 1, kSide1},
      {"gable", kObjRoof, kObjRoofGablePart, 0, 1, kSlot2},
      {"hip", kObjRoof, kObjRoofHipPart, 0, 1, kSlot1},
      {"roof part 34", kObjRoof, 34, 0, 1, kNowhere},
      {"panel, turned up, face down", kObjRoofPanel, kObjRoofPanelFace, 1, -1, kSlot3},
      {"panel, turned up, face up", kObjRoofPanel, kObjRoofPanelFace, 1, 1, kSlot1},
      {"panel, turned down, face up", kObjRoofPanel, kObjRoofPanelFace, -1, 1, kSlot3},
      {"panel, turned down, face down", kObjRoofPanel, kObjRoofPanelFace, -1, -1, kSlot1},
      {"panel, unturned, face down", kObjRoofPanel, kObjRoofPanelFace, 0, -1, kSlot1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Objex* plan = doc.addObject(c.planType, true, {{0, 0}, {100, 0}, {100, 100}}, parts);
    Objex* part = doc.addObject(c.partType, true, {{0, 0}, {1, 0}}, parts);
    part->direction = c.facing;
    PlaneObject* face = wallAt(-200, plan);
    face->actual3DObject = part;
    face->renderKind = 6;
    face->planes->normal[1] = c.normalY;
    int32_t own = 77;
    face->textureLinkA = &own;
    ServiceCallRecorder calls;
    EXPECT_TRUE(ApplyTexture(kMiddle, 2400));
    const int32_t got[] = {plan->firstPoint->textureID[0], plan->firstPoint->textureID[1], plan->textureID1,
                           plan->textureID2, plan->textureID3};
    for (int f = kSide0; f < kNowhere; ++f) EXPECT_EQ(got[f] == 2400, f == c.field) << "field " << f;
    EXPECT_EQ(plan->textureID == 2400, false);
    EXPECT_EQ(calls.called(c.planType == kObjRoof ? "Update3DRoof" : "Update3DRoofPanel", plan->objectID),
              c.field != kNowhere);
    DeleteAllRendererObjects();
  }
}

TEST_F(ApplyInView, ACabinetPartSpreadsOverTheSameKindOfPart) {
  Objex* group = doc.addObject(kObjGroup, false, {}, parts);
  group->subtype = kSubCabinet;
  auto cabinetPart = [&](int32_t subtype) {
    Objex* o = doc.addObject(kObjCabinet, true, {{0, 0}, {10, 0}, {10, 10}}, parts);
    UnlinkObject(o);
    o->parent = group;
    o->subtype = subtype;
    o->next = group->firstChild;
    if (group->firstChild) group->firstChild->prev = o;
    group->firstChild = o;
    return o;
  };
  Objex* door = cabinetPart(4021);
  Objex* otherDoor = cabinetPart(4021);
  Objex* drawer = cabinetPart(4022);
  PlaneObject* face = wallAt(-200, door);
  face->actual3DObject = door;
  EXPECT_TRUE(ApplyTexture(kMiddle, 2100));
  EXPECT_EQ(door->textureID1, 2100);
  EXPECT_EQ(otherDoor->textureID2, 2100);
  EXPECT_EQ(otherDoor->firstPoint->textureID[1], 2100);
  EXPECT_NE(drawer->textureID1, 2100);
}

TEST_F(ApplyInView, AWallDoorTakesSlotZeroAndAColourOnlyItsFill) {
  Objex* wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}}, parts);
  Objex* door = doc.addObject(kObjDoor, false, {{0, 0}, {1, 0}}, parts);
  PlaneObject* face = wallAt(-200, wall);
  face->actual3DObject = door;
  face->partType = kObjFace;
  door->penColor = {9, 9, 9};
  {
    ServiceCallRecorder calls;
    EXPECT_TRUE(ApplyTexture(kMiddle, 2300));
    EXPECT_TRUE(calls.called("UpdateAllWallAttachments", wall->objectID));
  }
  EXPECT_EQ(door->textureID, 2300);
  EXPECT_EQ(door->penColor, (RGBColor{65535, 65535, 65535}));
  DeleteAllRendererObjects();
  face = wallAt(-200, wall);
  face->actual3DObject = door;
  face->partType = kObjFace;
  door->penColor = {9, 9, 9};
  EXPECT_TRUE(ApplyColor(kMiddle, 0x000000FF, 0, 0));
  EXPECT_EQ(door->textureID, 0);
  EXPECT_EQ(door->fillColor, (RGBColor{65535, 0, 0}));
  EXPECT_EQ(door->penColor, (RGBColor{9, 9, 9}));
}

TEST_F(ApplyInView, CommandRecoloursTheWholeSymbolAndShiftOnlyThePickedPart) {
  Objex* group = doc.addObject(kObjGroup, false, {}, parts);
  auto symbolPart = [&] {
    Objex* o = doc.addObject(kObjSymbolPart3D, true, {{0, 0}, {10, 0}, {10, 10}}, parts);
    UnlinkObject(o);
    o->parent = group;
    o->next = group->firstChild;
    if (group->firstChild) group->firstChild->prev = o;
    group->firstChild = o;
    return o;
  };
  Objex* picked = symbolPart();
  Objex* other = symbolPart();
  const struct {
    uint16_t modifiers;
    bool otherChanged, pickedChanged;
  } cases[] = {{0, false, false}, {kTrackModShift, false, true}, {kTrackModCommand, true, true}};
  for (const auto& c : cases) {
    for (Objex* o : {picked, other}) o->fillColor = {0, 0, 0};
    sModifiers = c.modifiers;
    wallAt(-200, picked);
    EXPECT_TRUE(ApplyColor(kMiddle, 0x0000FF00, 0, 0));
    EXPECT_EQ(picked->fillColor == (RGBColor{0, 65535, 0}), c.pickedChanged) << c.modifiers;
    EXPECT_EQ(other->fillColor == (RGBColor{0, 65535, 0}), c.otherChanged) << c.modifiers;
    DeleteAllRendererObjects();
  }
}

TEST_F(ApplyInView, ACustomImageOnAPhotoReplacesItsImageAndTextureIdsOnly) {
  Objex* photo = doc.addObject(kObjPhotoView, false, {{0, 0}, {100, 0}}, parts);
  photo->textureID1 = photo->textureID2 = photo->textureID3 = 1200;
  photo->color1 = {7, 7, 7};
  photo->textureScale1 = {50, 60};
  for (Poinz* p = photo->firstPoint; p; p = p->next) {
    p->textureID[0] = p->textureID[1] = 1200;
    p->color[0] = p->color[1] = {5, 5, 5};
    p->textureScale[0] = p->textureScale[1] = {40, 30};
  }
  wallAt(-200, photo);
  SymEntryInfo entry;
  entry.objectData = "Photos/porch.jpg";
  {
    ServiceCallRecorder calls;
    EXPECT_TRUE(ApplyCustomTextureImage(kMiddle, &entry));
    EXPECT_TRUE(calls.called("Update3DPhoto", photo->objectID));
  }
  const int32_t id = IsTexturePathLoaded("Photos/porch.jpg");
  ASSERT_GE(id, 20000);
  ASSERT_NE(photo->sourceObject, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(photo->sourceObject)),
            LocalDomainCustomTexturePath() + "/Photos/porch.jpg");
  EXPECT_EQ(photo->textureID1, id);
  EXPECT_EQ(photo->textureID2, id);
  EXPECT_EQ(photo->textureID3, id);
  EXPECT_EQ(photo->color1, (RGBColor{7, 7, 7}));
  EXPECT_EQ(photo->textureScale1.x, 50);
  for (Poinz* p = photo->firstPoint; p; p = p->next)
    for (int side = 0; side < 2; ++side) {
      EXPECT_EQ(p->textureID[side], id);
      EXPECT_EQ(p->color[side], (RGBColor{5, 5, 5}));
      EXPECT_EQ(p->textureScale[side].x, 40);
    }
}

TEST_F(ApplyInView, PalettesNeedAnEntryAndTheEmptyOperationsDoNothing) {
  wallAt(-200);
  EXPECT_FALSE(ApplyPalette(kMiddle, -1001));  // no palette entries
  EXPECT_EQ(ApplyCustomTexture(), 0);
  EXPECT_EQ(Select3DObject(), 0);
  EXPECT_EQ(EyeDropper3DPick(), 0);
  SymEntryInfo none;
  EXPECT_FALSE(ApplyCustomTextureImage(kMiddle, &none));
}

// ---- mouldings ----

TEST(MouldingCodes, EachFamilyStoresItsValuesInItsField) {
  const struct {
    int32_t code;
    bool valid;
    int32_t value;
    bool crown;
    float width;
  } cases[] = {
      {100, true, 11, false, 3}, {103, true, 67, false, 8}, {104, true, 0, false, 0},
      {200, true, 132, false, 0}, {203, true, 1028, false, 0}, {300, true, 6144, false, 0},
      {303, true, 34816, false, 0}, {401, true, 19, true, 4}, {404, true, 0, true, 0},
      {99, false, 0, false, 0},    {105, false, 0, false, 0},  {500, false, 0, false, 0},
      {0, false, 0, false, 0},
  };
  for (const auto& c : cases) {
    int32_t value = -1;
    bool crown = false;
    EXPECT_EQ(MouldingCodeValue(c.code, &value, &crown), c.valid) << c.code;
    if (c.valid) {
      EXPECT_EQ(value, c.value) << c.code;
      EXPECT_EQ(crown, c.crown) << c.code;
    }
    EXPECT_EQ(MouldingCodeTrimWidth(c.code), c.width) << c.code;
  }
}

class ApplyMouldingInView : public ApplyInView {
 protected:
  Objex* wall = nullptr;

  void SetUp() override {
    ApplyInView::SetUp();
    if (IsSkipped()) return;
    wall = doc.addObject(kObjWall, false, {{0, 0}, {100, 0}, {200, 0}}, parts);
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      p->trim1 = calloc(1, sizeof(TrimData));
      p->trim2 = calloc(1, sizeof(TrimData));
    }
  }
  TrimData* trim(int point, int side) {
    Poinz* p = wall->firstPoint;
    for (int i = 0; i < point; ++i) p = p->next;
    return static_cast<TrimData*>(side == 0 ? p->trim1 : p->trim2);
  }
  // A face of the second segment, side 1.
  PlaneObject* sideFace() {
    PlaneObject* face = wallAt(-200, wall);
    Poinz* start = wall->firstPoint->next;
    face->trimRecordRef = &start->trim2;
    face->trimPoint = start;
    return face;
  }
  Objex* profile() { return doc.addObject(kObjOpenPoly, false, {{0, 0}, {1, 1}}, parts); }
  static Objex* Detached(Objex* o) {
    UnlinkObject(o);
    return o;
  }
};

TEST_F(ApplyMouldingInView, ACodeOnOneFaceOrWithShiftOnTheWholeSide) {
  trim(1, 1)->lowerProfile() = Detached(profile());
  trim(1, 1)->lowerTrim() = kTrimCustomProfile;
  sideFace();
  EXPECT_TRUE(ApplyMoulding(kMiddle, 104));
  EXPECT_EQ(trim(1, 1)->lowerTrim(), 0);
  EXPECT_EQ(trim(1, 1)->lowerProfile(), nullptr);
  EXPECT_EQ(trim(0, 1)->lowerTrim(), 0);
  DeleteAllRendererObjects();

  sModifiers = kTrackModShift;
  sideFace();
  EXPECT_TRUE(ApplyMoulding(kMiddle, 402));
  for (int point = 0; point < 3; ++point) {
    EXPECT_EQ(trim(point, 1)->crownTrim(), 35) << point;
    EXPECT_EQ(trim(point, 0)->crownTrim(), 0) << point;
  }
  DeleteAllRendererObjects();
  // Codes outside the table change nothing but still count as a hit; negative codes do not.
  sideFace();
  EXPECT_TRUE(ApplyMoulding(kMiddle, 999));
  EXPECT_FALSE(ApplyMoulding(kMiddle, -1));
  EXPECT_EQ(trim(1, 1)->crownTrim(), 35);
}

// The view point given as its x and y, y downwards: the top of the view is the sky, the bottom
// the ground, the middle the wall.
TEST_F(ApplyMouldingInView, ViewPointGivenAsXAndY) {
  ds()->backgroundTextureID = 1550;
  EXPECT_FALSE(ApplyTexture(32, 1, 1234));
  EXPECT_EQ(ds()->backgroundTextureID, 1234);
  EXPECT_FALSE(ApplyTexture(32, 63, 20001));
  EXPECT_EQ(ds()->lotTextureID, 20001);
  EXPECT_FALSE(ApplyColor(32, 63, 0x00030201, 0, 0));
  EXPECT_EQ(ds()->lotColor, (RGBColor{257, 514, 771}));
  EXPECT_FALSE(ApplyPalette(32, 32, -1001));  // no palette entries
  SymEntryInfo none{};
  EXPECT_FALSE(ApplyCustomTextureImage(32, 32, &none));

  sideFace();
  EXPECT_TRUE(ApplyMoulding(32, 32, 402));
  EXPECT_EQ(trim(1, 1)->crownTrim(), 35);
  EXPECT_FALSE(ApplyMoulding(32, 1, 402));
  EXPECT_FALSE(ApplyMoulding(32, 32, -1));
  EXPECT_FALSE(ApplyCustomMoulding(32, 1, nullptr));
}

TEST_F(ApplyMouldingInView, DoorTrimsLoseTheirProfileAndTakeTheWidthOnlyOnTheDoorItself) {
  Objex* door = doc.addObject(kObjDoor, false, {{0, 0}, {1, 0}}, parts);
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  door->typeData = data;
  data->trimWidth() = 3.5f;
  // A trim face of the door's own plane objects (slot B), then one of the wall's (slot A).
  data->trimSlotB.profile = Detached(profile());
  data->trimSlotB.flag = 1;
  PlaneObject* face = wallAt(-200, door);
  face->partType = 2;
  EXPECT_TRUE(ApplyMoulding(kMiddle, 401));
  EXPECT_EQ(data->trimSlotB.profile, nullptr);
  EXPECT_EQ(data->trimSlotB.flag, 0);
  EXPECT_FLOAT_EQ(data->trimWidth(), 4.0f);
  DeleteAllRendererObjects();

  data->trimSlotA.profile = Detached(profile());
  data->trimSlotA.flag = 1;
  face = wallAt(-200, wall);
  face->actual3DObject = door;
  face->partType = 1;
  EXPECT_TRUE(ApplyMoulding(kMiddle, 103));
  EXPECT_EQ(data->trimSlotA.profile, nullptr);
  EXPECT_FLOAT_EQ(data->trimWidth(), 4.0f);
}

TEST_F(ApplyMouldingInView, OtherPlanObjectsAreHitsWithoutChange) {
  Objex* fence = doc.addObject(kObjFence, false, {{0, 0}, {1, 0}}, parts);
  addSquare(-50, 20, 50, 100, -200, {1, 2, 3}, fence);
  EXPECT_TRUE(ApplyMoulding(kMiddle, 100));
  EXPECT_FALSE(ApplyMoulding(kSky, 100));
  EXPECT_FALSE(ApplyCustomMoulding(kMiddle, nullptr));  // not a wall
}

// A custom trim definition in a shared folder of its own, selected in the content palette.
struct TrimLibrary {
  std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("casa-trims-" + std::to_string(getpid()));
  std::string savedShared;

  explicit TrimLibrary(const char* trimName) {
    std::filesystem::create_directories(root / "QVRA/Components/Trim");
    SetUserSharedRoot(root.string());
    const std::string base = (root / "QVRA/Components/Trim/Ogee").string();
    {
      // Written from a design of its own: one open profile.
      TestDocument source;
      BeginOutputBuffer();
      sWriteVersion = kVersionDesign11100;
      DoWriteHeader();
      DoWriteDocState();
      Objex* o = source.addObject(kObjOpenPoly, false, {{0, 0}, {2, 0}, {2, 5}});
      WriteAnObject(o);
      WriteShort(kTagObjectsEnd);
      const auto& bytes = gStream.outDataBuffer;
      std::ofstream(base + ".QTF", std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      ReleaseOutputBuffer();
    }
    std::ofstream(base + ".qti") << "[Description]\nTrimName=" << trimName << "\n";
    gSelectedContentEntryType = kEntryCustomTrim;
    gSelectedContentEntry = SymEntryInfo{};
    gSelectedContentEntry.type = kEntryCustomTrim;
    gSelectedContentEntry.objectData = "Ogee.QTF";
  }
  ~TrimLibrary() {
    SetUserSharedRoot("");
    gSelectedContentEntryType = 0;
    gSelectedContentEntry = SymEntryInfo{};
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

TEST_F(ApplyMouldingInView, ShiftGivesEverySegmentOfTheSideItsOwnNamedCopy) {
  TrimLibrary library("Ogee Crown");
  // Crown profiles are mirrored across their own middle in plan, whatever flip centre and
  // view were left behind.
  ds()->viewPlane = 1;
  gFlipCenterY = 40;
  for (uint8_t asBase : {uint8_t{1}, uint8_t{0}}) {
    gApplyTrimAsBase = asBase;
    sModifiers = kTrackModShift;
    if (asBase) {
      trim(0, 1)->lowerProfile() = Detached(profile());
      // Straight to the routine, with what it allocates watched by the leak checker (the GL
      // test environment leaves allocations unwatched).
#ifdef CASA_ADDRESS_SANITIZER
      __lsan_enable();
#endif
      ApplyCustomTrimFileToEntireWallGroup(wall, trim(1, 1), wall->firstPoint->next);
#ifdef CASA_ADDRESS_SANITIZER
      __lsan_disable();
#endif
    } else {
      sideFace();
      EXPECT_TRUE(ApplyCustomMoulding(kMiddle, nullptr));
    }
    EXPECT_EQ(gAttachmentTempLayer, nullptr);
    std::vector<Objex*> copies;
    for (int point = 0; point < 3; ++point) {
      TrimData* t = trim(point, 1);
      Objex* copy = asBase ? t->lowerProfile() : t->crownProfile();
      ASSERT_NE(copy, nullptr) << point;
      EXPECT_EQ(asBase ? t->lowerTrim() : t->crownTrim(), kTrimCustomProfile);
      ASSERT_NE(copy->name, nullptr);
      EXPECT_STREQ(copy->name, "Ogee Crown");
      EXPECT_EQ(copy->layer, wall->layer);
      EXPECT_EQ(copy->next, nullptr);
      ASSERT_EQ(copy->pointCount, 3);
      EXPECT_FLOAT_EQ(copy->firstPoint->position[2], asBase ? 0.0f : 5.0f) << point;
      EXPECT_FLOAT_EQ(copy->firstPoint->next->next->position[2], asBase ? 5.0f : 0.0f) << point;
      EXPECT_EQ(trim(point, 0)->lowerProfile(), nullptr);
      copies.push_back(copy);
    }
    EXPECT_NE(copies[0], copies[1]);
    EXPECT_NE(copies[1], copies[2]);
    DeleteAllRendererObjects();
  }
  gApplyTrimAsBase = 1;
}

TEST_F(ApplyMouldingInView, WithoutADefinitionTheWallKeepsItsTrims) {
  gSelectedContentEntryType = 0;
  trim(2, 1)->crownTrim() = 19;
  gApplyTrimAsBase = 0;
  ApplyCustomTrimFileToEntireWallGroup(wall, trim(1, 1), wall->firstPoint->next);
  gApplyTrimAsBase = 1;
  EXPECT_EQ(trim(2, 1)->crownTrim(), 19);
  EXPECT_EQ(gAttachmentTempLayer, nullptr);
  // Without Shift the one record goes to the definition reader.
  sideFace();
  ServiceCallRecorder calls;
  EXPECT_TRUE(ApplyCustomMoulding(kMiddle, nullptr));
  EXPECT_TRUE(calls.called("ReadCustomTrimFile", wall->objectID));
}

}  // namespace
