// Door leaves: panel, garage, glass, half-glass, bi-fold and arched; the snapping of leaf
// coordinates; and repeated rebuilds of every door and window subtype.
#include <algorithm>
#include <array>
#include <cmath>

#include "FrameTestSupport.h"
#include "model/Services.h"
#include "openings/DoorLeaves.h"

namespace {

constexpr float kQuarterPi = 0.7853982f;

using DoorLeavesTest = FrameTest;

std::vector<int16_t> Types(const std::vector<Objex*>& faces) {
  std::vector<int16_t> out;
  for (const Objex* f : faces) out.push_back(f->type);
  return out;
}

TEST_F(DoorLeavesTest, PanelLeafHangsFromTheSecondPointUnlessFlipped) {
  Objex* door = Add(kObjDoor, kDoorHinged, 40, 76, 80);
  BuildAttachmentFrame(door);
  auto faces = Faces(door);
  ASSERT_EQ(faces.size(), 11u);
  EXPECT_EQ(faces[0]->type, kObjFrameFace);
  for (size_t i = 1; i < 10; ++i) EXPECT_EQ(faces[i]->type, kObjFace) << i;
  EXPECT_EQ(faces[10]->type, kObjDoorLeafFace);
  for (size_t i = 1; i < faces.size(); ++i) {
    EXPECT_EQ(faces[i]->prev, faces[i - 1]);
    EXPECT_EQ(faces[i]->levels, 2);
    EXPECT_EQ(faces[i]->parent, door);
    EXPECT_EQ(faces[i]->firstPoint->textureID[1], 4321);
    EXPECT_EQ(faces[i]->firstPoint->color[0], (RGBColor{1000, 2000, 3000}));
  }
  // Hinge stile 0.14 of 36 from p2; leaf 77 high standing 2 above the bottom; 4 thick.
  EXPECT_FLOAT_EQ(MaxX(faces[1]), 76.0f);
  EXPECT_NEAR(MinX(faces[1]), 76.0f - 5.04f, 1e-4);
  EXPECT_FLOAT_EQ(MaxY(faces[10]), -2.0f);
  EXPECT_FLOAT_EQ(MinY(faces[10]), -79.0f);
  EXPECT_NEAR(MaxZ(faces[1]) - MinZ(faces[1]), 4.0f, 1e-4);
  EXPECT_FLOAT_EQ(MinX(faces[10]), 40.0f);

  Rec(door)->flipHorizontal = 1;
  BuildAttachmentFrame(door);
  faces = Faces(door);
  ASSERT_EQ(faces.size(), 11u);
  EXPECT_FLOAT_EQ(MinX(faces[1]), 40.0f);
  EXPECT_NEAR(MaxX(faces[1]), 45.04f, 1e-4);

  // Swung open by a quarter turn the leaf stands out of the wall line from the hinge.
  Rec(door)->flipHorizontal = 0;
  Rec(door)->openAngle() = 3.14159265f / 2;
  BuildAttachmentFrame(door);
  faces = Faces(door);
  EXPECT_NEAR(MaxX(faces[10]) - MinX(faces[10]), 0.0f, 1e-4);
  EXPECT_NEAR(MaxZ(faces[10]) - MinZ(faces[10]), 36.0f, 1e-4);
}

// Every point of every leaf face, not only the first, carries its own door's slot-0 material,
// and the points form one well-linked list of the face's count, whichever door was built
// before it.
TEST_F(DoorLeavesTest, EveryLeafPointTakesItsOwnDoorsMaterialAndIsLinked) {
  Objex* plain = Add(kObjDoor, kDoorHinged, 10, 46, 80);
  Objex* garage = Add(kObjDoor, kDoorGarage, 60, 160, 84);
  garage->textureID = 77;
  garage->fillColor = RGBColor{9, 8, 7};
  garage->textureScale = ShortPoint{50, 60};
  for (Objex* door : {plain, garage, plain}) {
    BuildAttachmentFrame(door);
    const auto faces = Faces(door);
    ASSERT_GT(faces.size(), 2u);
    for (size_t i = 1; i < faces.size(); ++i) {  // the leaf faces, after the frame
      SCOPED_TRACE(i);
      int32_t count = 0;
      const Poinz* previous = nullptr;
      for (const Poinz* p = faces[i]->firstPoint; p; p = p->next, ++count) {
        EXPECT_EQ(p->prev, previous);
        EXPECT_EQ(p->owner, faces[i]);
        for (int side = 0; side < 2; ++side) {
          EXPECT_EQ(p->textureID[side], door->textureID);
          EXPECT_EQ(p->color[side], door->fillColor);
          EXPECT_EQ(p->textureScale[side].x, door->textureScale.x);
          EXPECT_EQ(p->textureScale[side].y, door->textureScale.y);
        }
        previous = p;
      }
      EXPECT_EQ(count, faces[i]->pointCount);
      EXPECT_EQ(count % 2, 0);
    }
  }
}

TEST_F(DoorLeavesTest, SecondPanelDoorAlwaysLiesClosedAndThinner) {
  Objex* door = Add(kObjDoor, kDoorHinged2, 40, 76, 80);
  Rec(door)->openAngle() = 0.7f;
  BuildAttachmentFrame(door);
  EXPECT_EQ(Rec(door)->openAngle(), 0.0f);
  auto faces = Faces(door);
  ASSERT_EQ(faces.size(), 11u);
  EXPECT_NEAR(MaxZ(faces[1]) - MinZ(faces[1]), 2.0f, 1e-4);
  // Hung half a width beyond the hinge end, it reaches the middle of the opening.
  EXPECT_FLOAT_EQ(MaxX(faces[10]), 94.0f);
  EXPECT_FLOAT_EQ(MinX(faces[10]), 58.0f);
}

TEST_F(DoorLeavesTest, GarageSectionsAndPanelsFollowTheSize) {
  Objex* door = Add(kObjDoor, kDoorGarage, 40, 76, 84);
  BuildAttachmentFrame(door);
  auto faces = Faces(door);
  // frame, 1 inner stile, 3 inner rails, start and end stiles, bottom and top rails, sheet
  ASSERT_EQ(faces.size(), 10u);
  EXPECT_EQ(Types(faces), (std::vector<int16_t>{kObjFrameFace, kObjFace, kObjFace, kObjFace, kObjFace, kObjFace,
                                                 kObjFace, kObjFace, kObjFace, kObjDoorLeafFace}));
  EXPECT_FLOAT_EQ(MinX(faces[1]), 56.0f);
  EXPECT_FLOAT_EQ(MaxX(faces[1]), 60.0f);
  EXPECT_FLOAT_EQ(MinY(faces[2]), -25.0f);  // first inner rail about 21 up, 8 high
  EXPECT_FLOAT_EQ(MaxY(faces[2]), -17.0f);
  EXPECT_FLOAT_EQ(MaxX(faces[5]), 42.0f);   // start stile half width
  EXPECT_FLOAT_EQ(MinY(faces[9]), -84.0f);  // the sheet fills the whole opening
  EXPECT_FLOAT_EQ(MaxY(faces[9]), 0.0f);
  EXPECT_NEAR(MaxZ(faces[1]) - MinZ(faces[1]), 4.0f, 1e-4);

  Objex* small = Add(kObjDoor, kDoorGarage, 40, 51, 10);
  BuildAttachmentFrame(small);
  EXPECT_EQ(Faces(small).size(), 6u);  // no inner stile, no inner rail

  // The flip flags change nothing.
  Objex* flipped = Add(kObjDoor, kDoorGarage, 40, 76, 84);
  Rec(flipped)->flipHorizontal = 1;
  Rec(flipped)->flipVertical = 1;
  BuildAttachmentFrame(flipped);
  const auto a = AllPoints(door), b = AllPoints(flipped);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_FLOAT_EQ(a[i].x, b[i].x);
    EXPECT_FLOAT_EQ(a[i].y, b[i].y);
    EXPECT_FLOAT_EQ(a[i].z, b[i].z);
  }
}

// A garage door's stiles are 4 inches wide and its rails 8 high (half that at the edges), at
// the plan scale; the opening itself is plan units.
TEST_F(DoorLeavesTest, GarageStilesAndRailsTakeThePlanScale) {
  for (const float scale : {36.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* door = Add(kObjDoor, kDoorGarage, 40, 136, 84);
    BuildAttachmentFrame(door);
    int innerStiles = 0, innerRails = 0, edges = 0;
    for (Objex* f : Faces(door)) {
      if (f->type != kObjFace) continue;
      const float w = MaxX(f) - MinX(f), h = MaxY(f) - MinY(f);
      if (std::fabs(h - 84) < 1e-3) {  // a stile
        const bool edge = MinX(f) < 40.01f || MaxX(f) > 135.99f;
        EXPECT_NEAR(w, edge ? 2 * k : 4 * k, 1e-3) << MinX(f);
        (edge ? edges : innerStiles) += 1;
      } else {  // a rail across
        EXPECT_NEAR(w, 96, 1e-3);
        const bool edge = MinY(f) < -83.99f || MaxY(f) > -0.01f;
        EXPECT_NEAR(h, edge ? 4 * k : 8 * k, 1e-3) << MinY(f);
        (edge ? edges : innerRails) += 1;
      }
    }
    EXPECT_EQ(edges, 4);
    EXPECT_GT(innerStiles, 0);
    EXPECT_GT(innerRails, 0);
  }
}

TEST_F(DoorLeavesTest, GlassLeavesReachPastTheFreeEnd) {
  Objex* glass = Add(kObjDoor, kDoorHingedGlass, 40, 76, 80);
  BuildAttachmentFrame(glass);
  auto faces = Faces(glass);
  ASSERT_EQ(faces.size(), 11u);
  for (size_t i = 1; i < faces.size(); ++i) EXPECT_EQ(faces[i]->type, kObjFace) << i;
  // The hinge moves 1.0 into the opening and the leaf keeps the opening's width.
  float least = 1e30f, most = -1e30f;
  for (size_t i = 1; i < faces.size(); ++i) {
    least = std::fmin(least, MinX(faces[i]));
    most = std::fmax(most, MaxX(faces[i]));
  }
  EXPECT_FLOAT_EQ(least, 39.0f);
  EXPECT_FLOAT_EQ(most, 75.0f);
  // Muntins are flat and 2.0 wide; the horizontal ones lie a fifth of the light apart.
  EXPECT_EQ(faces[5]->pointCount, 4);
  EXPECT_NEAR(MaxX(faces[5]) - MinX(faces[5]), 2.0f, 1e-4);
  const float h = 77, y0 = -2;
  EXPECT_NEAR((MaxY(faces[7]) + MinY(faces[7])) / 2, y0 - 0.11f * h - 0.2f * 0.83f * h, 1e-3);

  Objex* half = Add(kObjDoor, kDoorHingedHalfGlass, 40, 76, 80);
  BuildAttachmentFrame(half);
  faces = Faces(half);
  ASSERT_EQ(faces.size(), 12u);
  for (size_t i = 1; i < 11; ++i) EXPECT_EQ(faces[i]->type, kObjFace) << i;
  EXPECT_EQ(faces[11]->type, kObjDoorLeafFace);
  EXPECT_NEAR(MinY(faces[11]), y0 - 0.49f * h, 1e-4);
}

TEST_F(DoorLeavesTest, LeafEndsFallOnWholeUnits) {
  Objex* a = Add(kObjDoor, kDoorHingedGlass, 40, 76, 80);
  Objex* b = Add(kObjDoor, kDoorHingedGlass, 40.3f, 76.3f, 80);
  BuildAttachmentFrame(a);
  BuildAttachmentFrame(b);
  auto fa = Faces(a), fb = Faces(b);
  ASSERT_EQ(fa.size(), fb.size());
  for (size_t i = 1; i < fa.size(); ++i) {
    const auto pa = Points(fa[i]), pb = Points(fb[i]);
    ASSERT_EQ(pa.size(), pb.size());
    for (size_t k = 0; k < pa.size(); ++k) {
      EXPECT_FLOAT_EQ(pa[k].x, pb[k].x);
      EXPECT_FLOAT_EQ(pa[k].z, pb[k].z);
    }
  }
}

TEST_F(DoorLeavesTest, FarAndNegativeCoordinatesRoundToTheNearestUnit) {
  // Panel leaf: the hinge end p2 is snapped; the infill's first point is the hinge.
  struct Case {
    float x1, x2, hinge, free;
  };
  for (const Case& c : {Case{-40036.3f, -40000.3f, -40000, -40036}, Case{40000.6f, 40036.6f, 40037, 40001},
                        Case{-38.3f, -2.3f, -2, -38}}) {
    Objex* door = Add(kObjDoor, kDoorHinged, c.x1, c.x2, 80);
    BuildAttachmentFrame(door);
    const auto faces = Faces(door);
    ASSERT_EQ(faces.size(), 11u);
    const auto infill = Points(faces[10]);
    EXPECT_FLOAT_EQ(infill[0].x, c.hinge) << c.x1;
    EXPECT_FLOAT_EQ(infill[1].x, c.free) << c.x1;
    EXPECT_FLOAT_EQ(infill[0].z, 0.0f);
  }
  // Glass leaf on a wall far from the origin, with a negative plan z.
  Objex* glass = Add(kObjDoor, kDoorHingedGlass, 50000.2f, 50036.2f, 80, 0, -33000.4f, -33000.4f);
  BuildAttachmentFrame(glass);
  const auto stile = Points(Faces(glass)[1]);
  float xs = 1e30f;
  for (const FramePoint& p : stile) xs = std::fmin(xs, p.x);
  EXPECT_NEAR(xs, 50035.0f - 0.14f * 36, 0.01);
  EXPECT_NEAR((MaxZ(Faces(glass)[1]) + MinZ(Faces(glass)[1])) / 2, -33000.0f, 0.01);
}

TEST_F(DoorLeavesTest, BiFoldPairFoldsIntoAV) {
  Objex* door = Add(kObjDoor, kDoorBiFold, 40, 76, 80);
  Rec(door)->openAngle() = 0.2f;
  BuildAttachmentFrame(door);
  EXPECT_FLOAT_EQ(Rec(door)->openAngle(), kQuarterPi);
  auto faces = Faces(door);
  ASSERT_EQ(faces.size(), 15u);
  EXPECT_EQ(faces[7]->type, kObjDoorLeafFace);
  EXPECT_EQ(faces[14]->type, kObjDoorLeafFace);
  for (size_t i : {1u, 6u, 8u, 13u}) EXPECT_EQ(faces[i]->type, kObjFace);
  // Panels: the first from the hinge at p0 to the fold, the second back to the wall line.
  const auto first = Points(faces[7]);
  const auto second = Points(faces[14]);
  EXPECT_FLOAT_EQ(first[0].x, 40.0f);
  EXPECT_FLOAT_EQ(first[0].z, 0.0f);
  EXPECT_FLOAT_EQ(first[1].x, 53.0f);
  EXPECT_FLOAT_EQ(first[1].z, 13.0f);
  EXPECT_FLOAT_EQ(first[0].y, -79.0f);  // first ring at the top
  EXPECT_NEAR(second[1].x, 66.0f, 1e-3);
  EXPECT_NEAR(second[1].z, 0.0f, 1e-3);
  EXPECT_NEAR((second[1].x - 40.0f) / 36.0f, 0.72f, 0.01);
  // Each leaf: stiles a fifth of the leaf wide at both ends, rails at the bottom, below and
  // above the middle, and at the top of the 77 high leaf from 2 above the opening bottom.
  const float rails[4][2] = {{0, 0.11f}, {0.4f, 0.49f}, {0.78f, 0.84f}, {0.94f, 1}};
  for (size_t leaf : {0u, 7u}) {
    const auto panel = Points(faces[leaf + 7]);
    const float ux = panel[1].x - panel[0].x, uz = panel[1].z - panel[0].z, wl = std::hypot(ux, uz);
    for (size_t i : {leaf + 1, leaf + 2}) {
      float lo = 1e9f, hi = -1e9f;
      for (const FramePoint& p : Points(faces[i])) {
        const float t = (p.x * ux + p.z * uz) / wl;
        lo = std::min(lo, t), hi = std::max(hi, t);
      }
      EXPECT_NEAR(hi - lo, 0.2f * wl, 1e-3) << i;
    }
    for (size_t r = 0; r < 4; ++r) {
      Objex* rail = faces[leaf + 3 + r];
      EXPECT_NEAR(MaxY(rail), -2 - rails[r][0] * 77, 1e-3) << leaf << ", " << r;
      EXPECT_NEAR(MinY(rail), -2 - rails[r][1] * 77, 1e-3) << leaf << ", " << r;
    }
  }

  Rec(door)->flipHorizontal = 1;
  BuildAttachmentFrame(door);
  const auto flipped = Points(Faces(door)[7]);
  EXPECT_FLOAT_EQ(flipped[1].z, -13.0f);

  // Flipped, both leaves are the mirror images of the plain ones across the wall line: every
  // corner of every face, as a set.
  auto corners = [](Objex* face, float zSign) {
    std::vector<std::array<float, 3>> out;
    for (const FramePoint& p : Points(face))
      out.push_back({std::round(p.x * 100) / 100, std::round(p.y * 100) / 100, std::round(zSign * p.z * 100) / 100});
    std::sort(out.begin(), out.end());
    return out;
  };
  std::vector<std::vector<std::array<float, 3>>> mirrored;
  for (Objex* f : Faces(door)) mirrored.push_back(corners(f, -1));  // before the rebuild frees them
  ASSERT_EQ(mirrored.size(), faces.size());
  Rec(door)->flipHorizontal = 0;
  BuildAttachmentFrame(door);
  faces = Faces(door);
  for (size_t i = 1; i < faces.size(); ++i) EXPECT_EQ(mirrored[i], corners(faces[i], 1)) << i;
}

TEST_F(DoorLeavesTest, ArchedLeafPanelAndBand) {
  Objex* door = Add(kObjDoor, kDoorArchedHinged, 40, 76, 80);
  BuildAttachmentFrame(door);
  auto faces = Faces(door);
  ASSERT_EQ(faces.size(), 11u);
  EXPECT_EQ(faces[0]->type, kObjFrameFace);
  Objex* panel = faces[9];
  Objex* band = faces[10];
  EXPECT_EQ(panel->type, kObjDoorLeafFace);
  EXPECT_EQ(panel->levels, 1);
  EXPECT_EQ(panel->pointCount, 21);
  EXPECT_EQ(band->type, kObjFace);
  EXPECT_EQ(band->levels, 2);
  EXPECT_EQ(band->pointCount, 84);
  // Hinge 3.0 into the opening: the closed leaf runs from 73 to 37, 3.0 past the free end.
  const auto p = Points(panel);
  EXPECT_FLOAT_EQ(p[0].x, 37.0f);
  EXPECT_FLOAT_EQ(p[20].x, 73.0f);
  // A semicircle of radius 18 centred 18 from the tip; its crown 77 above the leaf bottom.
  EXPECT_NEAR(p[1].x, 37.0f, 1e-3);
  EXPECT_NEAR(p[1].y, -2.0f - 59.0f, 1e-3);
  EXPECT_NEAR(p[10].x, 55.0f, 1e-3);
  EXPECT_NEAR(p[10].y, -79.0f, 1e-3);
  EXPECT_NEAR(p[19].x, 73.0f, 1e-3);
  // The band's light: radius 0.36 W, its crown 12.96 above the rectangular part.
  const auto b = Points(band);
  EXPECT_NEAR(b[10].x, 55.0f, 1e-3);
  EXPECT_NEAR(b[10].y, -2.0f - 59.0f - 12.96f, 1e-3);
  EXPECT_NEAR(b[1].x, 37.0f + 18.0f - 12.96f, 1e-3);
  EXPECT_NEAR(b[0].z + 2.0f, b[42].z - 2.0f, 1e-4);  // the two rings 4.0 apart

  // The low arch: outer rise 0.125 W / 0.36, inner rise 0.18 W; the crown stays put.
  Objex* low = Add(kObjDoor, kDoorArchedHingedLow, 40, 76, 80);
  BuildAttachmentFrame(low);
  const auto lp = Points(Faces(low)[9]);
  const auto lb = Points(Faces(low)[10]);
  const float lowH = 80 - 0.125f * 36 / 0.36f - 3;
  EXPECT_NEAR(lp[10].y, -79.0f, 1e-3);
  EXPECT_NEAR(lp[1].y, -2.0f - lowH, 1e-3);
  EXPECT_NEAR(lb[10].y - lb[1].y, -0.18f * 36, 1e-3);
}

TEST_F(DoorLeavesTest, ABuilderOfAnotherSubtypeAddsNothing) {
  Objex* door = Add(kObjDoor, kDoorHinged, 40, 76, 80);
  BuildAttachmentFrame(door);
  const size_t count = Faces(door).size();
  BuildGarageDoor(door, Rec(door));
  BuildHingedGlassDoor(door, Rec(door));
  BuildHingedHalfGlassDoor(door, Rec(door));
  BuildBiFoldDoor(door, Rec(door));
  BuildHingedArchDoor(door, Rec(door));
  EXPECT_EQ(Faces(door).size(), count);
}

TEST_F(DoorLeavesTest, RepeatedRebuildsKeepOneModelPerAttachment) {
  std::vector<std::pair<Objex*, size_t>> all;
  auto add = [&](int16_t type, int16_t subtype) {
    Objex* o = Add(type, subtype, 40, 76, 80);
    Rec(o)->verticalDividers() = 1;
    Rec(o)->horizontalDividers() = 2;
    Rec(o)->flipVertical = 1;
    Rec(o)->openAngle() = 0.5f;
    BuildAttachmentFrame(o);
    all.push_back({o, Faces(o).size()});
  };
  for (int16_t s = 500; s <= 512; ++s) add(kObjDoor, s);
  for (int16_t s = 600; s <= 626; ++s) add(kObjWindow, s);
  add(kObjAccessory, 0);
  for (int round = 0; round < 1000; ++round)
    for (auto& [o, count] : all) BuildAttachmentFrame(o);
  for (auto& [o, count] : all) {
    EXPECT_EQ(Faces(o).size(), count) << Rec(o)->subtype;
    for (Objex* f : Faces(o))
      for (const FramePoint& p : Points(f)) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
  }
}

TEST_F(DoorLeavesTest, DegenerateSizesBuildFiniteModels) {
  // Zero-wide and zero-high openings, and absurd sizes, of every subtype.
  struct Size {
    float x2, height;
  };
  for (const Size& size : {Size{40, 0}, Size{40, 80}, Size{76, 0}, Size{1.0e9f, 1.0e9f}}) {
    auto check = [&](int16_t type, int16_t subtype) {
      Objex* o = Add(type, subtype, 40, size.x2, size.height);
      BuildAttachmentFrame(o);
      for (Objex* f : Faces(o))
        for (const FramePoint& p : Points(f))
          ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << subtype;
    };
    for (int16_t s = 500; s <= 512; ++s) check(kObjDoor, s);
    for (int16_t s = 600; s <= 626; ++s) check(kObjWindow, s);
  }
}

}  // namespace

namespace {

// Every hinged style, closed and swung a quarter turn open, hung from either end. Closed,
// the leaf lies along the wall line as wide as the opening; open, it stands out of the wall
// from the closed leaf's hinge end, as deep as it is wide; hung from the other end it is the
// same door turned half round about the opening's centre (58, 0).
TEST_F(DoorLeavesTest, EveryHingedStyleClosedAndOpenFromEitherEnd) {
  struct Extent {
    float minX = 1e30f, maxX = -1e30f, minZ = 1e30f, maxZ = -1e30f;
  };
  auto build = [&](int16_t style, int flip, bool open) {
    Objex* door = Add(kObjDoor, style, 40, 76, 80);
    Rec(door)->flipHorizontal = static_cast<uint8_t>(flip);
    Rec(door)->openAngle() = open ? 3.14159265f / 2 : 0;
    BuildAttachmentFrame(door);
    const auto faces = Faces(door);
    Extent e;
    for (size_t i = 1; i < faces.size(); ++i) {  // all but the frame, which stays in the wall
      e.minX = std::fmin(e.minX, MinX(faces[i])), e.maxX = std::fmax(e.maxX, MaxX(faces[i]));
      e.minZ = std::fmin(e.minZ, MinZ(faces[i])), e.maxZ = std::fmax(e.maxZ, MaxZ(faces[i]));
    }
    return e;
  };
  constexpr float kTol = 1e-3f;
  for (int16_t style : std::initializer_list<int16_t>{kDoorHinged, kDoorHingedGlass, kDoorHingedHalfGlass,
                                                      kDoorArchedHinged, kDoorArchedHingedLow}) {
    SCOPED_TRACE(style);
    for (int flip = 0; flip < 2; ++flip) {
      SCOPED_TRACE(flip ? "hung from the first end" : "hung from the second end");
      const Extent closed = build(style, flip, false), open = build(style, flip, true);
      EXPECT_NEAR(closed.maxX - closed.minX, 36, kTol);
      EXPECT_NEAR(closed.maxZ - closed.minZ, 4, kTol);
      EXPECT_NEAR(open.maxX - open.minX, 4, kTol);
      EXPECT_NEAR(open.maxZ - open.minZ, 36, kTol);
      EXPECT_NEAR((open.minX + open.maxX) / 2, flip ? closed.minX : closed.maxX, kTol);
    }
    for (bool open : {false, true}) {
      const Extent a = build(style, 0, open), b = build(style, 1, open);
      EXPECT_NEAR(b.minX, 116 - a.maxX, kTol);
      EXPECT_NEAR(b.maxX, 116 - a.minX, kTol);
      EXPECT_NEAR(b.minZ, -a.maxZ, kTol);
      EXPECT_NEAR(b.maxZ, -a.minZ, kTol);
    }
  }
}

}  // namespace

namespace {

// Which side of the wall an opened leaf swings to, for each hinge end and each sense of the
// open angle: a leaf turned one way from the hinge at the second point stands on the +z side
// (the angle turns from the closed direction, -x, towards +z), and each of the hinge's moving
// to the other end and the angle's changing sign puts it on the other side. The leaf stands at
// the hinge end, not the free one.
TEST_F(DoorLeavesTest, AnOpenedLeafSwingsToTheSideItsHingeAndAngleGive) {
  struct Row {
    int flip;
    float angle;
    float hingeX;  // the end the open leaf stands at
    float side;    // +1: the leaf lies on the +z side of the wall line
  };
  constexpr float kQuarter = 3.14159265f / 2;
  const Row rows[] = {
      {0, kQuarter, 76, +1}, {0, -kQuarter, 76, -1}, {1, kQuarter, 40, -1}, {1, -kQuarter, 40, +1},
      {0, kQuarter / 2, 76, +1}, {1, -kQuarter / 2, 40, +1},
  };
  for (int16_t style : std::initializer_list<int16_t>{kDoorHinged, kDoorHingedGlass, kDoorHingedHalfGlass,
                                                      kDoorArchedHinged, kDoorArchedHingedLow}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(::testing::Message() << "style " << style << " flip " << r.flip << " angle " << r.angle);
      Objex* door = Add(kObjDoor, style, 40, 76, 80);
      Rec(door)->flipHorizontal = static_cast<uint8_t>(r.flip);
      Rec(door)->openAngle() = r.angle;
      BuildAttachmentFrame(door);
      const auto faces = Faces(door);
      ASSERT_GT(faces.size(), 1u);
      float minX = 1e30f, maxX = -1e30f, minZ = 1e30f, maxZ = -1e30f;
      for (size_t i = 1; i < faces.size(); ++i) {  // all but the frame
        minX = std::fmin(minX, MinX(faces[i])), maxX = std::fmax(maxX, MaxX(faces[i]));
        minZ = std::fmin(minZ, MinZ(faces[i])), maxZ = std::fmax(maxZ, MaxZ(faces[i]));
      }
      // Most of the leaf's depth lies on its side (the leaf's own thickness crosses the line).
      const float far = r.side > 0 ? maxZ : -minZ, near = r.side > 0 ? -minZ : maxZ;
      EXPECT_GT(far, 20.0f);
      EXPECT_LT(near, 5.0f);
      // The leaf reaches from its hinge end into the opening, never past the hinge end's side.
      const float towardsOpening = r.hingeX == 76 ? 76 - minX : maxX - 40;
      EXPECT_LT(towardsOpening, 30.0f);
      EXPECT_NEAR(r.hingeX == 76 ? maxX : minX, r.hingeX, 8.0f);
    }
  }
}

}  // namespace
