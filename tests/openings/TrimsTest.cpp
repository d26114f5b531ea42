// Casings and linings around openings: part types, materials, the swept profiles and the masks
// they follow.
#include <gtest/gtest.h>

#include <cmath>
#include <array>
#include <map>

#include "OpeningsTestSupport.h"
#include "openings/Carving.h"
#include "openings/DoorWindowTrims.h"

namespace {

struct Extent {
  float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
};

Extent ExtentOf(const PlaneObject* list, int16_t partType) {
  Extent e;
  for (const PlaneObject* po = list; po; po = po->next) {
    if (po->partType != partType) continue;
    for (const Plane* p = po->planes; p; p = p->next)
      for (int32_t i = 0; i < p->vertexCount; ++i) {
        e.minX = std::min(e.minX, p->vertices[i].x), e.maxX = std::max(e.maxX, p->vertices[i].x);
        e.minZ = std::min(e.minZ, p->vertices[i].z), e.maxZ = std::max(e.maxZ, p->vertices[i].z);
      }
  }
  return e;
}

std::map<int, int> CountByType(const PlaneObject* list) {
  std::map<int, int> n;
  for (; list; list = list->next) ++n[list->partType];
  return n;
}

// A profile object through (x, y, z) points, owned by the caller's slot.
Objex* Profile(std::initializer_list<std::array<float, 3>> pts) {
  const RGBColor white{65535, 65535, 65535};
  Objex* o = CreateObject(kObjOpenPoly, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  for (auto& p : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, p[0], p[1], p[2], 0, 0, 0, 0, 0, 0, o), o);
  return o;
}

// A square outline in the x/z plane, 20 on a side about the origin, closed or open.
Objex* Square(bool closed) {
  const RGBColor white{65535, 65535, 65535};
  Objex* o = CreateObject(kObjDetail, closed, 0, &white, &white, 1, 6, 2, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  for (auto [x, z] : {std::pair{-10.f, -10.f}, {10.f, -10.f}, {10.f, 10.f}, {-10.f, 10.f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  return o;
}

using Trims = OpeningsTest;

TEST_F(Trims, CasingsBySideAndLiningWithSlotAMaterial) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Objex* window = Opening(wall, wall->firstPoint, 600, 60, 36, 40, 30);
  DoorWindowData* record = AttachmentData(window);
  PlaneObject* side0 = Face(wall, 0);
  std::map<int, int> n = CountByType(side0->attachments);
  EXPECT_EQ(n[kPartTrimLining], 4);   // one face per edge of the outline
  EXPECT_EQ(n[kPartTrimSlotA], 12);   // three bands of the standard bar, four edges each
  EXPECT_EQ(n[kPartTrimSlotB], 0);
  for (PlaneObject* t = side0->attachments; t; t = t->next) {
    EXPECT_EQ(t->actual3DObject, window);
    EXPECT_EQ(t->colorA.red, 65535);  // slot A is red
    EXPECT_EQ(t->textureLinkA, &record->trimSlotA.textureID);
    EXPECT_EQ(t->colorLinkB, &record->trimSlotA.color);
    ASSERT_NE(t->planes, nullptr);
    EXPECT_EQ(t->planes->vertexCount, 4);
  }
  // The carved mask is a working object: gone once the casing is hung.
  EXPECT_EQ(record->maskObject, nullptr);
  PlaneObject* side1 = Face(wall, 2);
  n = CountByType(side1->attachments);
  EXPECT_EQ(n[kPartTrimSlotB], 12);
  EXPECT_EQ(n[kPartTrimLining], 0);
  EXPECT_EQ(side1->attachments->colorA.blue, 65535);
}

TEST_F(Trims, StandardCasingIsABarTwoAndAHalfDeepAndTheTrimWidthWide) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  AttachmentData(Opening(wall, wall->firstPoint, 600, 60, 36, 40, 30))->trimWidth() = 6;
  // The hole runs from 41 to 79 along the wall, the wall faces at z 2 and -2.
  Extent a = ExtentOf(Face(wall, 0)->attachments, kPartTrimSlotA);
  EXPECT_NEAR(a.minX, 41 - 6, 1e-3);
  EXPECT_NEAR(a.maxX, 79 + 6, 1e-3);
  EXPECT_NEAR(a.minZ, 2, 1e-3);
  EXPECT_NEAR(a.maxZ, 4.5, 1e-3);
  Extent b = ExtentOf(Face(wall, 2)->attachments, kPartTrimSlotB);
  EXPECT_NEAR(b.minX, 35, 1e-3);
  EXPECT_NEAR(b.maxX, 85, 1e-3);
  EXPECT_NEAR(b.minZ, -4.5, 1e-3);
  EXPECT_NEAR(b.maxZ, -2, 1e-3);
  // The lining runs through the wall around the hole.
  Extent l = ExtentOf(Face(wall, 0)->attachments, kPartTrimLining);
  EXPECT_NEAR(l.minX, 41, 1e-3);
  EXPECT_NEAR(l.maxX, 79, 1e-3);
  EXPECT_NEAR(l.minZ, -2, 1e-3);
  EXPECT_NEAR(l.maxZ, 2, 1e-3);
}

// The same casing at every plan scale: the wall's thickness and the trim width are inches,
// converted; the opening (and so the hole) and the bar's depth of 2.5 are plan units.
TEST_F(Trims, CasingAndLiningTakeTheWallAndTrimWidthAtThePlanScale) {
  for (const float scale : {24.0f, 36.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* wall = Wall({{0, 0}, {120, 0}});
    AttachmentData(Opening(wall, wall->firstPoint, 600, 60, 36, 40, 30))->trimWidth() = 6;
    const Extent a = ExtentOf(Face(wall, 0)->attachments, kPartTrimSlotA);
    EXPECT_NEAR(a.minX, 41 - 6 * k, 1e-3);
    EXPECT_NEAR(a.maxX, 79 + 6 * k, 1e-3);
    EXPECT_NEAR(a.minZ, 2 * k, 1e-3);
    EXPECT_NEAR(a.maxZ, 2 * k + 2.5f, 1e-3);
    const Extent b = ExtentOf(Face(wall, 2)->attachments, kPartTrimSlotB);
    EXPECT_NEAR(b.minZ, -2 * k - 2.5f, 1e-3);
    EXPECT_NEAR(b.maxZ, -2 * k, 1e-3);
    const Extent l = ExtentOf(Face(wall, 0)->attachments, kPartTrimLining);
    EXPECT_NEAR(l.minX, 41, 1e-3);
    EXPECT_NEAR(l.maxX, 79, 1e-3);
    EXPECT_NEAR(l.minZ, -2 * k, 1e-3);
    EXPECT_NEAR(l.maxZ, 2 * k, 1e-3);
  }
}

TEST_F(Trims, ThreePointProfileGivesTwoContoursAndTwoBands) {
  const float profile[9] = {0, 0, 0, 0, 0, 3, 2, 0, 1};
  float depths[3] = {-1, -1, -1};
  Objex* outline = Square(true);
  Objex* contours = BuildTrimContours(3, profile, outline, depths);
  ASSERT_NE(contours, nullptr);
  ASSERT_NE(contours->next, nullptr);
  EXPECT_EQ(contours->next->next, outline);  // two contours, then the outline
  EXPECT_FLOAT_EQ(depths[0], 0);
  EXPECT_FLOAT_EQ(depths[1], 2);
  EXPECT_FLOAT_EQ(depths[2], 0);
  // Contours lie outside the outline at their insets.
  EXPECT_NEAR(contours->firstPoint->position[0], -13, 1e-3);
  EXPECT_NEAR(contours->next->firstPoint->position[0], -11, 1e-3);

  PlaneObject* face = CreatePlaneObject();
  faces.push_back(face);
  gCurPlaneObject = face;
  BuildTrimPlanesFromContours(nullptr, contours, outline, depths, 0, 0, 0, 0, 2, 0, 0);
  // Contour 1 to contour 2 and contour 2 to the outline, one quad per edge.
  EXPECT_EQ(CountList(face->attachments), 8);
  for (PlaneObject* t = face->attachments; t; t = t->next) {
    EXPECT_EQ(t->partType, kPartTrimSlotA);
    EXPECT_EQ(t->textureIdA, kDefaultTrimTexture);
    EXPECT_EQ(t->textureIdB, kDefaultTrimTexture);
    EXPECT_EQ(t->colorA.green, 65535);
    EXPECT_EQ(t->textureScaleA[0], 100);
  }
  // The other face of the wall: depths negated, slot B's part type.
  PlaneObject* other = CreatePlaneObject();
  faces.push_back(other);
  gCurPlaneObject = other;
  BuildTrimPlanesFromContours(nullptr, contours, outline, depths, 0, 0, 0, 0, 2, 0, 1);
  gCurPlaneObject = nullptr;
  EXPECT_EQ(CountByType(other->attachments)[kPartTrimSlotB], 8);
  EXPECT_LE(ExtentOf(other->attachments, kPartTrimSlotB).maxZ, -2 + 1e-3);
  for (Objex* c = contours; c;) {
    Objex* next = c->next;
    c->prev = c->next = nullptr;
    DeleteObj(c);
    c = next;
  }
}

TEST_F(Trims, OpenOutlineHasNoClosingEdge) {
  const float profile[9] = {0, 0, 0, 0, 0, 3, 2, 0, 1};
  PlaneObject* face = CreatePlaneObject();
  faces.push_back(face);
  gCurPlaneObject = face;
  Objex* open = Square(false);
  BuildCustomTrimPlanes(nullptr, open, profile, 3, 0, 0, 0, 0, 2, 0, 0);
  gCurPlaneObject = nullptr;
  EXPECT_EQ(CountList(face->attachments), 2 * 3);
  DeleteObj(open);
}

TEST_F(Trims, LiningTakesSlotBOnlyWhenSlotAIsNotCustom) {
  DoorWindowData record{};
  EXPECT_FALSE(LiningUsesSlotB(&record));
  record.trimSlotB.flag = 1;
  EXPECT_FALSE(LiningUsesSlotB(&record));  // no profile
  Objex* profile = Profile({{0, 0, 0}, {0, 0, 2}, {1, 0, 3}});
  record.trimSlotB.profile = profile;
  EXPECT_TRUE(LiningUsesSlotB(&record));
  record.trimSlotA.flag = 1;
  EXPECT_FALSE(LiningUsesSlotB(&record));
  DeleteObj(profile);
}

TEST_F(Trims, CustomSlotBOnACircleComesOnTopOfTheStandardCasingAndKeepsTheMask) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  DoorWindowData* record = AttachmentData(Opening(wall, wall->firstPoint, 623, 60, 36, 36, 30));
  record->trimSlotB.flag = 1;
  record->trimSlotB.profile = Profile({{0, 0, 0}, {0, 0, -2}, {1, 0, -4}});
  PlaneObject* side1 = Face(wall, 2);
  // Standard: 3 bands x 36 edges; custom: 2 bands x 36 edges.
  EXPECT_EQ(CountByType(side1->attachments)[kPartTrimSlotB], 3 * 36 + 2 * 36);
  EXPECT_NE(record->maskObject, nullptr);
  // Its lining on side 0 takes slot B's material (slot A is not custom).
  PlaneObject* side0 = Face(wall, 0);
  for (PlaneObject* t = side0->attachments; t; t = t->next)
    if (t->partType == kPartTrimLining) EXPECT_EQ(t->colorLinkA, &record->trimSlotB.color);
  // The profile's height: least z minus greatest z.
  float h = 1;
  EXPECT_FLOAT_EQ(GetCustomTrimHeight(record, 1, &h), -4);
  EXPECT_FLOAT_EQ(h, -4);
  EXPECT_FLOAT_EQ(GetCustomTrimHeight(record, 0, &h), 0);
}

TEST_F(Trims, CustomProfileCurvesAtTheTrimQualityMasksAtTheOpeningQuality) {
  struct Case {
    int32_t openings, trims, bands;  // a curved first segment: trims - 1 points more
  };
  for (const Case c : {Case{4, 6, 7}, Case{6, 4, 5}}) {
    SCOPED_TRACE(testing::Message() << c.openings << " " << c.trims);
    doc.ds()->windowDoorRenderQuality() = c.openings;
    doc.ds()->windowDoorTrimRenderQuality() = c.trims;
    Objex* wall = Wall({{0, 0}, {120, 0}});
    DoorWindowData* record = AttachmentData(Opening(wall, wall->firstPoint, 600, 60, 36, 40, 30));
    Objex* profile = Profile({{0, 0, 0}, {0, 0, -2}, {1, 0, -4}});
    profile->firstPoint->outHandle[0] = 1;
    profile->firstPoint->next->inHandle[0] = 1;
    record->trimSlotA.flag = 1;
    record->trimSlotA.profile = profile;
    // The rectangular mask has no curve: four edges whatever the quality.
    EXPECT_EQ(CountByType(Face(wall, 0)->attachments)[kPartTrimSlotA], 4 * c.bands);
  }
}

TEST_F(Trims, NoMaskOrAFlatProfileBuildsNoTrim) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  DoorWindowData* record = AttachmentData(Opening(wall, wall->firstPoint, 600, 60, 36, 40, 30));
  PlaneObject* face = CreatePlaneObject();
  faces.push_back(face);
  gCurPlaneObject = face;
  gBase2DObject = wall;
  ApplyStandardTrimToDoorWin(0, record, 0, 0, 0);
  EXPECT_EQ(face->attachments, nullptr);
  // A custom profile without height would divide by zero: nothing.
  PlaneVertex outline[3] = {{50, 0, 2, 0, 0, 0}, {60, -10, 2, 0, 0, 0}, {70, 0, 2, 0, 0, 0}};
  ASSERT_NE(BuildGenericMaskObject(record, outline, 3, 0, 0, 60, 0, 2, 0), nullptr);
  Objex* flat = Profile({{0, 0, 1}, {2, 0, 1}, {3, 0, 1}});
  record->trimSlotA.profile = flat;
  record->trimSlotA.flag = 1;
  ApplyCustomTrimToDoorWin(flat, 0, record, 0, 0, 0);
  EXPECT_EQ(face->attachments, nullptr);
  gCurPlaneObject = nullptr;
  gBase2DObject = nullptr;
}

TEST_F(Trims, MaskIsRelativeToTheOpeningWithTheWallTurnRemoved) {
  DoorWindowData record{};
  record.elevation = 5;
  // An outline on a wall running at 90 degrees (up the plan) about the centre (10, -30).
  PlaneVertex outline[2] = {{10, -1, -33, 0, 0, 0}, {10, -20, -27, 0, 0, 0}};
  Objex* mask = BuildGenericMaskObject(&record, outline, 2, 3.14159265f / 2, 12, 10, 0, -30, 0);
  ASSERT_NE(mask, nullptr);
  EXPECT_NEAR(mask->firstPoint->position[0], 3, 1e-3);
  EXPECT_NEAR(mask->firstPoint->position[2], 0, 1e-3);
  EXPECT_NEAR(mask->firstPoint->position[1], -1 + 5 + 12, 1e-3);
  EXPECT_NEAR(mask->firstPoint->next->position[0], -3, 1e-3);
  // Flipped: turned half round about the centre first.
  Objex* flipped = BuildGenericMaskObject(&record, outline, 2, 3.14159265f / 2, 12, 10, 0, -30, 1);
  ASSERT_NE(flipped, nullptr);
  EXPECT_EQ(record.maskObject, flipped);  // the previous mask is gone
  EXPECT_NEAR(flipped->firstPoint->position[0], -3, 1e-3);
  // A custom opening's masks are its definition: never replaced.
  record.subtype = kWindowCustom;
  EXPECT_EQ(BuildGenericMaskObject(&record, outline, 2, 0, 0, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(record.maskObject, flipped);
  DeleteObj(flipped);
}

TEST_F(Trims, RebuildsKeepOneMaskPerOpeningAndTheLayerAsItWas) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  DoorWindowData* record = AttachmentData(Opening(wall, wall->firstPoint, 623, 60, 36, 36, 30));
  record->trimSlotB.flag = 1;
  record->trimSlotB.profile = Profile({{0, 0, 0}, {0, 0, -2}, {1, 0, -4}});
  auto layerCount = [&] {
    int n = 0;
    for (Objex* o = doc.model.itsCurLayer->firstObject; o; o = o->next) ++n;
    return n;
  };
  const int before = layerCount();
  for (int i = 0; i < 100; ++i) {
    for (int face = 0; face < 4; ++face) Face(wall, face);
    int masks = 0;
    for (Objex* m = record->maskObject; m; m = m->next) ++masks;
    EXPECT_LE(masks, 1);
    for (PlaneObject* f : faces) DeletePlaneObject(f);
    faces.clear();
  }
  EXPECT_EQ(layerCount(), before);
}

}  // namespace

namespace {

TEST_F(Trims, CustomOpeningCutsItsDefinitionMasksAndNeverFreesThem) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  Objex* window = Opening(wall, wall->firstPoint, kWindowCustom, 60, 40, 20, 30);
  DoorWindowData* record = AttachmentData(window);
  const RGBColor white{65535, 65535, 65535};
  Objex* mask = CreateObject(kObjSkylightOutline, 1, 0, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, window,
                             nullptr, nullptr);
  for (auto [x, y] : {std::pair{-10.f, 0.f}, {10.f, 0.f}, {10.f, 20.f}, {-10.f, 20.f}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, y, 0, 0, 0, 0, 0, 0, 0, mask), mask);
  record->maskObject = mask;
  for (int face : {0, 2}) {
    PlaneObject* po = Face(wall, face);
    ASSERT_NE(po->children, nullptr) << face;
    EXPECT_EQ(po->children->partType, kPartOpeningCutout);
    EXPECT_EQ(CountList(po->children->planes ? po->children : nullptr), 1);
    // The definition's 20 x 20 outline is scaled to the opening's 40 x 20 around its centre.
    float minX = 1e9f, maxX = -1e9f;
    for (Plane* p = po->children->planes; p; p = p->next)
      for (int32_t i = 0; i < p->vertexCount; ++i)
        minX = std::min(minX, p->vertices[i].x), maxX = std::max(maxX, p->vertices[i].x);
    EXPECT_NEAR(minX, 40, 1e-3);
    EXPECT_NEAR(maxX, 80, 1e-3);
    EXPECT_EQ(record->maskObject, mask);
    EXPECT_EQ(mask->pointCount, 4);
    EXPECT_NEAR(mask->firstPoint->position[0], -10, 1e-6);  // the definition is untouched
  }
  // Its trims report the opening (the masks' owner) as their part.
  EXPECT_EQ(GetAttachmentObjectHdl(record), window);
}

// The custom cut-out stands one unit beyond the face of its side, half the wall's thickness
// (inches, at the plan scale) off the wall line.
TEST_F(Trims, CustomCutoutStandsBeyondItsFaceAtEveryPlanScale) {
  for (const float scale : {24.0f, 36.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* wall = Wall({{0, 0}, {120, 0}});
    Objex* window = Opening(wall, wall->firstPoint, kWindowCustom, 60, 40, 20, 30);
    const RGBColor white{65535, 65535, 65535};
    Objex* mask = CreateObject(kObjSkylightOutline, 1, 0, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, window,
                               nullptr, nullptr);
    for (auto [x, y] : {std::pair{-10.f, 0.f}, {10.f, 0.f}, {10.f, 20.f}, {-10.f, 20.f}})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, y, 0, 0, 0, 0, 0, 0, 0, mask), mask);
    AttachmentData(window)->maskObject = mask;
    for (int face : {0, 2}) {
      PlaneObject* po = Face(wall, face);
      ASSERT_NE(po->children, nullptr) << face;
      const float faceZ = po->planes->vertices[0].z;
      EXPECT_NEAR(std::fabs(faceZ), 2 * k, 1e-4) << face;
      for (Plane* p = po->children->planes; p; p = p->next)
        for (int32_t i = 0; i < p->vertexCount; ++i)
          EXPECT_NEAR(p->vertices[i].z, faceZ > 0 ? faceZ + 1 : faceZ - 1, 1e-3) << face << ", " << i;
    }
  }
}

}  // namespace

namespace {

TEST_F(Trims, EverySubtypeRebuildsWithoutGrowing) {
  Objex* wall = Wall({{0, 0}, {120, 0}});
  std::vector<DoorWindowData*> records;
  for (int16_t subtype = 500; subtype <= 626; ++subtype) {
    if (subtype > 512 && subtype < 600) continue;
    records.push_back(AttachmentData(Opening(wall, wall->firstPoint, subtype, 60, 30, 40, 20)));
  }
  records.back()->trimSlotA.flag = 1;
  records.back()->trimSlotA.profile = Profile({{0, 0, 0}, {0, 0, -2}, {1, 0, -4}});
  size_t trimsFirst = 0;
  for (int round = 0; round < 20; ++round) {
    size_t trims = 0;
    for (int face = 0; face < 4; ++face) trims += static_cast<size_t>(CountList(Face(wall, face)->attachments));
    if (round == 0) trimsFirst = trims;
    EXPECT_EQ(trims, trimsFirst);
    for (DoorWindowData* r : records) {
      int masks = 0;
      for (Objex* m = r->maskObject; m; m = m->next) ++masks;
      EXPECT_LE(masks, 1) << r->subtype;
    }
    for (PlaneObject* f : faces) DeletePlaneObject(f);
    faces.clear();
  }
  EXPECT_GT(trimsFirst, 100u);
}

}  // namespace

namespace {

TEST_F(Trims, CasingsStandOnTheirOwnFaceWhicheverWayTheWallRuns) {
  // The same window on walls running along +x, -x, +z and -z.
  const std::pair<float, float> ends[4][2] = {
      {{0, 0}, {120, 0}}, {{120, 0}, {0, 0}}, {{0, 0}, {0, 120}}, {{0, 120}, {0, 0}}};
  for (const auto& e : ends) {
    Objex* wall = Wall({e[0], e[1]});
    Opening(wall, wall->firstPoint, 600, 60, 20, 20, 30);
    for (int face : {0, 2}) {
      PlaneObject* po = Face(wall, face);
      // The face's offset from the wall line, and the casing's: same side, 2.5 further out.
      const bool alongX = e[0].second == e[1].second;
      const float faceOff = alongX ? po->planes->vertices[0].z : po->planes->vertices[0].x;
      const Extent t = ExtentOf(po->attachments, face == 0 ? kPartTrimSlotA : kPartTrimSlotB);
      const float lo = alongX ? t.minZ : t.minX, hi = alongX ? t.maxZ : t.maxX;
      if (faceOff > 0) {
        EXPECT_NEAR(lo, faceOff, 1e-3);
        EXPECT_NEAR(hi, faceOff + 2.5f, 1e-3);
      } else {
        EXPECT_NEAR(hi, faceOff, 1e-3);
        EXPECT_NEAR(lo, faceOff - 2.5f, 1e-3);
      }
    }
  }
}

}  // namespace
