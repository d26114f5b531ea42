// Frames, accessory planes and sills away from plan scale 72, where a world inch is no
// longer one plan unit: the wall's thickness and floor depth are converted, the opening's
// own record (plan units) is not. Both faces of the wall, and both sides an accessory can
// be flipped to.
#include <algorithm>
#include <cmath>

#include "FrameTestSupport.h"
#include "model/Services.h"
#include "openings/DoorFrames.h"
#include "openings/WindowFrames.h"

namespace {

struct Setting {
  float scale, thickness, floorDepth;  // inches per 72 plan units; inches; inches
};

// Each scale with a thin and a thick wall, standing on a floor or not.
constexpr Setting kSettings[] = {{36, 6, 0}, {36, 10, 8}, {96, 6, 8}, {96, 10, 0}, {24, 8, 3}};

class ScaledFrames : public FrameTest {
 protected:
  float k = 1;  // plan units per inch
  void apply(const Setting& s) {
    doc.ds()->planScale = s.scale;
    wall->width = s.thickness;
    FloorDepthOf(wall) = s.floorDepth;
    k = 72 / s.scale;
  }
};

testing::Message Describe(const Setting& s) {
  return testing::Message() << "plan scale " << s.scale << ", wall " << s.thickness << ", floor " << s.floorDepth;
}

}  // namespace

TEST_F(ScaledFrames, RectangularDoorFrameIsProudOfBothFaces) {
  for (const Setting& s : kSettings) {
    SCOPED_TRACE(Describe(s));
    apply(s);
    Objex* door = Add(kObjDoor, kDoorFrameOnly, 40, 76, 80, 10);
    BuildAttachmentFrame(door);
    ASSERT_EQ(Faces(door).size(), 1u);
    const auto pts = Points(Rec(door)->faces);
    ASSERT_EQ(pts.size(), 8u);
    const float proud = s.thickness * k / 2 + 2.1f;  // the frame stands 2.1 units off each face
    const float bottom = -(s.floorDepth * k + 10);
    int front = 0, back = 0;
    for (const FramePoint& p : pts) {
      front += std::fabs(p.z - proud) < 1e-3;
      back += std::fabs(p.z + proud) < 1e-3;
      EXPECT_TRUE(std::fabs(p.x - 40) < 1e-3 || std::fabs(p.x - 76) < 1e-3) << p.x;
      EXPECT_TRUE(std::fabs(p.y - bottom) < 1e-3 || std::fabs(p.y - (bottom - 80)) < 1e-3) << p.y;
    }
    EXPECT_EQ(front, 4);
    EXPECT_EQ(back, 4);
  }
}

TEST_F(ScaledFrames, AccessoryPlaneStandsOffTheFaceItIsFlippedTo) {
  for (const Setting& s : kSettings) {
    for (const int16_t flipped : {int16_t(0), int16_t(1)}) {
      SCOPED_TRACE(Describe(s) << (flipped ? ", flipped" : ""));
      apply(s);
      Objex* acc = Add(kObjAccessory, 0, 40, 70, 20, 30);
      Rec(acc)->openAngle() = 1.5f;  // inches off the wall face
      Rec(acc)->flipHorizontal = flipped;
      BuildAttachmentFrame(acc);
      ASSERT_EQ(Faces(acc).size(), 1u);
      const auto pts = Points(Rec(acc)->faces);
      ASSERT_EQ(pts.size(), 4u);
      const float off = (flipped ? -1 : 1) * (s.thickness / 2 + 1.5f) * k;
      const float bottom = -(s.floorDepth * k + 30);
      const FramePoint expected[4] = {{70, bottom, off}, {40, bottom, off}, {70, bottom - 20, off}, {40, bottom - 20, off}};
      for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(pts[i].x, expected[i].x, 1e-3) << i;
        EXPECT_NEAR(pts[i].y, expected[i].y, 1e-3) << i;
        EXPECT_NEAR(pts[i].z, expected[i].z, 1e-3) << i;
      }
    }
  }
}

// A shaped window's frame: its outline 2 units beyond one face, its copy 2 beyond the other;
// its sill reaches 1.25 trim widths past each end, 0.75 of one deep, across the whole wall.
TEST_F(ScaledFrames, ShapedWindowFrameAndSillTakeTheWallAndTrimAtThePlanScale) {
  for (const Setting& s : kSettings) {
    SCOPED_TRACE(Describe(s));
    apply(s);
    Objex* w = Add(kObjWindow, kWindowOctagon, 40, 76, 30, 12);
    Rec(w)->trimWidth() = 4;
    BuildAttachmentFrame(w);
    BuildWindowSill(w, kWindowOctagon);
    const auto faces = Faces(w);
    ASSERT_EQ(faces.size(), 2u);
    const auto frame = Points(faces[0]);
    ASSERT_EQ(frame.size(), 20u);
    const float beyond = s.thickness * k / 2 + 2;
    const float bottom = -(s.floorDepth * k + 12);
    for (size_t i = 0; i < 10; ++i) {
      EXPECT_NEAR(frame[i].z, -beyond, 1e-3) << i;
      EXPECT_NEAR(frame[i + 10].z, beyond, 1e-3) << i;
      EXPECT_LE(frame[i].y, bottom + 1e-3) << i;
      EXPECT_GE(frame[i].y, bottom - 36 - 1e-3) << i;
    }
    EXPECT_NEAR(MaxY(faces[0]), bottom, 1e-3);
    EXPECT_NEAR(MinY(faces[0]), bottom - 36, 1e-3);  // an octagon is as high as it is wide

    const Objex* sill = faces[1];
    const float trim = std::trunc(4 * k + 0.5f);
    EXPECT_NEAR(MinX(sill), 40 - 1.25f * trim, 1e-3);
    EXPECT_NEAR(MaxX(sill), 76 + 1.25f * trim, 1e-3);
    EXPECT_NEAR(MaxY(sill), bottom + 3 * k, 1e-3);
    EXPECT_NEAR(MinY(sill), bottom, 1e-3);
    // Across the wall, 3 units past each face.
    EXPECT_NEAR(MinZ(sill), -(s.thickness * k / 2 + 3), 1e-3);
    EXPECT_NEAR(MaxZ(sill), s.thickness * k / 2 + 3, 1e-3);
  }
}
