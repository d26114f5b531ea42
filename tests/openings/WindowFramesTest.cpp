// Shaped window frames, the extruder and the sill pieces.
#include "FrameTestSupport.h"
#include "model/Services.h"
#include "model/TextureFace.h"
#include "openings/WindowFrames.h"

namespace {

struct AlongUp {
  float along, up;
};

class WindowFramesTest : public FrameTest {
 protected:
  // The frame's first ring (the outline) as (along from x1, up from the opening bottom).
  std::vector<AlongUp> Outline(int16_t subtype, float width, float height, float x1 = 40) {
    Objex* w = Add(kObjWindow, subtype, x1, x1 + width, height);
    BuildAttachmentFrame(w);
    std::vector<AlongUp> out;
    if (!Rec(w)->faces) return out;
    const auto pts = Points(Rec(w)->faces);
    for (size_t i = 0; i < pts.size() / 2; ++i) out.push_back({pts[i].x - x1, -pts[i].y});
    return out;
  }
  static float Peak(const std::vector<AlongUp>& pts) {
    float v = -1e30f;
    for (const AlongUp& p : pts) v = std::fmax(v, p.up);
    return v;
  }
};

TEST_F(WindowFramesTest, ArchedWindowsRiseByTheirKind) {
  auto half = Outline(kWindowHalfRound, 36, 60);
  ASSERT_EQ(half.size(), 19u);
  EXPECT_NEAR(half.front().along, 0, 1e-4);
  EXPECT_NEAR(half.front().up, 0, 1e-4);
  EXPECT_NEAR(half[9].along, 18, 1e-4);
  EXPECT_NEAR(half[9].up, 18, 1e-4);
  EXPECT_NEAR(half.back().along, 36, 1e-4);
  EXPECT_NEAR(half.back().up, 0, 1e-4);

  EXPECT_NEAR(Peak(Outline(kWindowHalfRoundLow, 36, 60)), 9, 1e-4);

  // An arch that does not fit its height sits on sides 1.0 high.
  auto top = Outline(kWindowArchTop, 36, 15);
  ASSERT_EQ(top.size(), 21u);
  EXPECT_NEAR(top[1].up, 1, 1e-4);
  EXPECT_NEAR(Peak(top), 19, 1e-4);
  EXPECT_EQ(Outline(kWindowArchTopLow, 36, 60).size(), 21u);
}

TEST_F(WindowFramesTest, QuarterArchRisesTowardTheEndPoint) {
  auto q = Outline(kWindowQtrArchTop1, 24, 40);
  ASSERT_EQ(q.size(), 12u);
  EXPECT_NEAR(q[0].along, 0, 1e-4);
  EXPECT_NEAR(q[0].up, 0, 1e-4);
  EXPECT_NEAR(q[1].along, 0, 1e-4);
  EXPECT_NEAR(q[1].up, 16, 1e-4);
  EXPECT_NEAR(q[10].along, 24, 1e-4);
  EXPECT_NEAR(q[10].up, 40, 1e-4);
  EXPECT_NEAR(q[11].along, 24, 1e-4);
  EXPECT_NEAR(q[11].up, 0, 1e-4);
  EXPECT_EQ(Outline(kWindowQtrArch1, 24, 40).size(), 11u);
  EXPECT_NEAR(Peak(Outline(kWindowQtrArchLow1, 24, 40)), 12, 1e-4);

  // Flipped horizontally the arch rises toward the first point instead.
  Objex* w = Add(kObjWindow, kWindowQtrArchTop1, 40, 64, 40);
  Rec(w)->flipHorizontal = 1;
  BuildAttachmentFrame(w);
  const auto pts = Points(Rec(w)->faces);
  EXPECT_NEAR(pts[10].x, 40, 1e-4);
  EXPECT_NEAR(pts[10].y, -40, 1e-4);
}

TEST_F(WindowFramesTest, StraightSidedShapes) {
  // A chip corner too low for its corner is raised to the corner plus one.
  auto chip = Outline(kWindowChipCorner1, 40, 10);
  ASSERT_EQ(chip.size(), 5u);
  EXPECT_NEAR(Peak(chip), 21, 1e-4);
  EXPECT_NEAR(chip[1].up, 1, 1e-4);
  EXPECT_EQ(Outline(kWindowChipCorner3, 40, 60).size(), 6u);

  auto tri = Outline(kWindowTriangleCorner3, 30, 90);
  ASSERT_EQ(tri.size(), 3u);
  EXPECT_NEAR(Peak(tri), 30, 1e-4);  // ignores the record's height
  EXPECT_EQ(Outline(kWindowTriangleCorner1, 30, 90).size(), 4u);
  EXPECT_NEAR(Peak(Outline(kWindowPentagon1, 30, 90)), 15, 1e-4);

  auto oct = Outline(kWindowOctagon, 30, 90);
  ASSERT_EQ(oct.size(), 10u);
  EXPECT_NEAR(Peak(oct), 30, 1e-4);  // as high as wide

  auto para = Outline(kWindowParallelogram1, 32, 90);
  ASSERT_EQ(para.size(), 4u);
  EXPECT_NEAR(para[1].along, 8, 1e-4);
  EXPECT_NEAR(para[1].up, 32, 1e-4);
}

TEST_F(WindowFramesTest, CircleStartsAndEndsAtTheBottomMiddle) {
  auto circle = Outline(kWindowCircle, 36, 90);
  ASSERT_EQ(circle.size(), 37u);
  EXPECT_NEAR(circle.front().along, 18, 1e-4);
  EXPECT_NEAR(circle.front().up, 0, 1e-4);
  EXPECT_NEAR(circle.back().along, 18, 1e-4);
  EXPECT_NEAR(circle.back().up, 0, 1e-4);
  EXPECT_NEAR(Peak(circle), 36, 1e-4);
}

TEST_F(WindowFramesTest, PairMembersBuildTheSameFrame) {
  for (auto [a, b] : {std::pair<int16_t, int16_t>{kWindowParallelogram1, kWindowParallelogram2},
                      {kWindowQtrArchTop1, kWindowQtrArchTop2}}) {
    Objex* wa = Add(kObjWindow, a, 40, 76, 50);
    Objex* wb = Add(kObjWindow, b, 40, 76, 50);
    BuildAttachmentFrame(wa);
    BuildAttachmentFrame(wb);
    const auto pa = AllPoints(wa), pb = AllPoints(wb);
    ASSERT_EQ(pa.size(), pb.size());
    ASSERT_FALSE(pa.empty());
    for (size_t i = 0; i < pa.size(); ++i) {
      EXPECT_FLOAT_EQ(pa[i].x, pb[i].x);
      EXPECT_FLOAT_EQ(pa[i].y, pb[i].y);
      EXPECT_FLOAT_EQ(pa[i].z, pb[i].z);
    }
  }
}

TEST_F(WindowFramesTest, ShapedFrameSpansTheWallWithTheWindowMaterial) {
  Objex* w = Add(kObjWindow, kWindowOctagon, 40, 70, 30);
  BuildAttachmentFrame(w);
  ASSERT_EQ(Faces(w).size(), 1u);
  Objex* frame = Rec(w)->faces;
  EXPECT_EQ(frame->type, kObjFrameFace);
  EXPECT_EQ(frame->levels, 2);
  EXPECT_EQ(frame->capped, 1);
  EXPECT_EQ(frame->parent, w);
  EXPECT_EQ(frame->penColor, (RGBColor{65535, 65535, 65535}));
  EXPECT_EQ(frame->fillColor, (RGBColor{0, 0, 0}));
  const auto pts = Points(frame);
  ASSERT_EQ(pts.size(), 20u);
  // Wall faces at +-3: the outline 2.0 beyond one, its copy 2.0 beyond the other.
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_NEAR(pts[i].z, -5.0f, 1e-4) << i;
    EXPECT_NEAR(pts[i + 10].z, 5.0f, 1e-4) << i;
    EXPECT_FLOAT_EQ(pts[i + 10].x, pts[i].x);
    EXPECT_FLOAT_EQ(pts[i + 10].y, pts[i].y);
  }
  for (Poinz* p = frame->firstPoint; p; p = p->next) {
    for (int side = 0; side < 2; ++side) {
      EXPECT_EQ(p->textureID[side], 4321);
      EXPECT_EQ(p->color[side], (RGBColor{1000, 2000, 3000}));
      EXPECT_EQ(p->textureScale[side].x, 120);
    }
  }
}

TEST_F(WindowFramesTest, ExtruderKeepsOpenOutlinesUncapped) {
  Objex* w = Add(kObjWindow, kWindowRectangular, 40, 70, 30);
  auto outline = [&](uint8_t closed) {
    Objex* o = NewAttachmentFace(w, kObjFrameFace, closed);
    AddFacePoint(o, 0, 0, 0);
    AddFacePoint(o, 10, 0, 0);
    AddFacePoint(o, 10, -10, 0);
    return o;
  };
  Objex* open = Construct3DTrim(outline(0), 0, 4);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->capped, 0);
  EXPECT_EQ(open->type, kObjFrameFace);
  EXPECT_EQ(open->parent, w);
  EXPECT_EQ(open->pointCount, 6);
  EXPECT_EQ(open->levels, 2);
  bool anyUV = false;
  for (Poinz* p = open->firstPoint; p; p = p->next) anyUV = anyUV || p->texU != 0 || p->texV != 0;
  EXPECT_FALSE(anyUV);
  EXPECT_FLOAT_EQ(open->firstPoint->next->next->next->position[2], -4.0f);

  Objex* closed = Construct3DTrim(outline(1), 0, 4);
  ASSERT_NE(closed, nullptr);
  EXPECT_EQ(closed->capped, 1);
  anyUV = false;
  for (Poinz* p = closed->firstPoint; p; p = p->next) anyUV = anyUV || p->texU != 0 || p->texV != 0;
  EXPECT_TRUE(anyUV);
  FreeLooseFace(open);
  FreeLooseFace(closed);
}

TEST_F(WindowFramesTest, SillsHangUnderTheOpening) {
  Objex* w = Add(kObjWindow, kWindowRectangular, 40, 76, 30);
  Rec(w)->trimWidth() = 4;
  BuildAttachmentFrame(w);
  BuildWindowSill(w, kWindowRectangular);
  auto faces = Faces(w);
  ASSERT_EQ(faces.size(), 2u);
  Objex* sill = faces[1];
  EXPECT_EQ(sill->type, kObjAccessoryFace);
  EXPECT_FLOAT_EQ(MinX(sill), 35.0f);  // 1.25 x 4 before and beyond
  EXPECT_FLOAT_EQ(MaxX(sill), 81.0f);
  EXPECT_FLOAT_EQ(MaxY(sill), 3.0f);   // 0.75 x 4 deep under the bottom
  EXPECT_FLOAT_EQ(MinY(sill), 0.0f);
  EXPECT_NEAR(MaxZ(sill), 6.0f, 1e-4);

  BuildRectangularWindow(w, wall, Rec(w));
  faces = Faces(w);
  ASSERT_EQ(faces.size(), 3u);
  EXPECT_EQ(faces[2]->type, kObjClosedPoly);
  EXPECT_FLOAT_EQ(MinX(faces[2]), 45.0f);  // set in by 4 + 1
  EXPECT_FLOAT_EQ(MaxX(faces[2]), 71.0f);
  EXPECT_FLOAT_EQ(MaxZ(faces[2]) - MinZ(faces[2]), 6.0f);
  EXPECT_FLOAT_EQ(MinY(faces[2]), -0.5f);

  // The trim width is made whole by adding a half and dropping the fraction, so -1.6 gives
  // -1, not the nearer -2: the sill ends 1.25 inside each end of the opening.
  Objex* narrow = Add(kObjWindow, kWindowRectangular, 40, 76, 30);
  Rec(narrow)->trimWidth() = -1.6f;
  BuildAttachmentFrame(narrow);
  BuildWindowSill(narrow, kWindowRectangular);
  faces = Faces(narrow);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_FLOAT_EQ(MinX(faces[1]), 41.25f);
  EXPECT_FLOAT_EQ(MaxX(faces[1]), 74.75f);
}

// Every straight-sided shape's whole outline, and, for the shapes that follow the flip, the
// flipped outline the plain one's mirror image across the opening.
TEST_F(WindowFramesTest, StraightSidedOutlinesPointByPointAndFlipped) {
  struct Case {
    int16_t subtype;
    float width, height;
    bool flips;
    std::vector<AlongUp> outline;
  };
  const Case cases[] = {
      {kWindowChipCorner1, 40, 60, true, {{0, 0}, {0, 40}, {20, 60}, {40, 60}, {40, 0}}},
      {kWindowChipCorner3, 40, 60, true, {{0, 0}, {0, 50}, {10, 60}, {30, 60}, {40, 50}, {40, 0}}},
      {kWindowTriangleCorner1, 30, 90, true, {{0, 0}, {0, 60}, {30, 90}, {30, 0}}},
      {kWindowTriangleCorner3, 30, 90, true, {{0, 0}, {30, 30}, {30, 0}}},
      {kWindowPentagon1, 30, 90, false, {{0, 0}, {15, 15}, {30, 0}}},
      {kWindowPentagon2, 30, 90, false, {{0, 0}, {0, 75}, {15, 90}, {30, 75}, {30, 0}}},
      {kWindowOctagon, 30, 90, false,
       {{15, 0}, {9, 0}, {0, 9}, {0, 21}, {9, 30}, {21, 30}, {30, 21}, {30, 9}, {21, 0}, {15, 0}}},
      {kWindowParallelogram1, 32, 90, true, {{0, 0}, {8, 32}, {32, 32}, {24, 0}}},
  };
  for (const Case& c : cases) {
    for (const bool flipped : {false, true}) {
      SCOPED_TRACE(testing::Message() << "subtype " << c.subtype << (flipped ? ", flipped" : ""));
      Objex* w = Add(kObjWindow, c.subtype, 40, 40 + c.width, c.height);
      Rec(w)->flipHorizontal = flipped ? 1 : 0;
      BuildAttachmentFrame(w);
      ASSERT_NE(Rec(w)->faces, nullptr);
      const auto pts = Points(Rec(w)->faces);
      ASSERT_EQ(pts.size(), 2 * c.outline.size());
      for (size_t i = 0; i < c.outline.size(); ++i) {
        const float along = flipped && c.flips ? c.width - c.outline[i].along : c.outline[i].along;
        EXPECT_NEAR(pts[i].x - 40, along, 1e-4) << i;
        EXPECT_NEAR(-pts[i].y, c.outline[i].up, 1e-4) << i;
      }
    }
  }
}

// A circle's outline goes once round its centre in steps of 10 degrees, every point on it.
TEST_F(WindowFramesTest, CircleOutlineGoesRoundInEqualSteps) {
  const auto circle = Outline(kWindowCircle, 36, 90);
  ASSERT_EQ(circle.size(), 37u);
  float turned = 0;
  for (size_t i = 0; i < circle.size(); ++i) {
    EXPECT_NEAR(std::hypot(circle[i].along - 18, circle[i].up - 18), 18, 1e-3) << i;
    if (i == 0) continue;
    const float a0 = std::atan2(circle[i - 1].up - 18, circle[i - 1].along - 18);
    const float a1 = std::atan2(circle[i].up - 18, circle[i].along - 18);
    float step = (a1 - a0) * 180 / 3.14159265f;
    if (step > 180) step -= 360;
    if (step < -180) step += 360;
    EXPECT_NEAR(std::fabs(step), 10, 1e-2) << i;
    turned += step;
  }
  EXPECT_NEAR(std::fabs(turned), 360, 0.1f);
}

}  // namespace
