// Outlines of every opening shape cut into a face, and the mask each leaves for its casing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "OpeningsTestSupport.h"
#include "openings/Carving.h"
#include "openings/DoorWindowTrims.h"

namespace {

using TH = std::pair<float, float>;

// A face along +x from the origin at floor level; each carve's cut-out read back as (t, h).
struct Carving : OpeningsTest {
  Plane face;
  PlaneVertex origin{0, 0, 0, 0, 0, 0};
  DoorWindowData record{};

  Carving() {
    face.normal[2] = 0.99f;
    record.width = 36;
    record.height = 80;
    record.startDistance = 60;
    record.trimWidth() = 4;
  }
  ~Carving() override {
    for (Objex* m = record.maskObject; m;) {
      Objex* next = m->next;
      m->prev = m->next = nullptr;
      DeleteObj(m);
      m = next;
    }
  }

  using Builder = void (*)(Plane*, float, float, const PlaneVertex*, DoorWindowData*, int16_t, float, float, float);
  std::vector<TH> Carve(Builder build, int16_t subtype, int16_t side = 0, float base = 0) {
    record.subtype = subtype;
    PlaneObject* po = CreatePlaneObject();
    faces.push_back(po);
    gCurPlaneObject = po;
    build(&face, 0, 120, &origin, &record, side, 0, 96, base);
    gCurPlaneObject = nullptr;
    std::vector<TH> out;
    if (!po->children) return out;
    const Plane* p = po->children->planes;
    for (int32_t i = 0; i < p->vertexCount; ++i) out.push_back({p->vertices[i].x, -p->vertices[i].y});
    return out;
  }
};

void ExpectOutline(const std::vector<TH>& got, const std::vector<TH>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(got[i].first, want[i].first, 1e-3) << i;
    EXPECT_NEAR(got[i].second, want[i].second, 1e-3) << i;
  }
}

float MinH(const std::vector<TH>& o) {
  float m = 1e9f;
  for (auto& p : o) m = std::min(m, p.second);
  return m;
}
float MaxH(const std::vector<TH>& o) {
  float m = -1e9f;
  for (auto& p : o) m = std::max(m, p.second);
  return m;
}

TEST_F(Carving, RectangleIsOneWiderEachSideAndOneBelow) {
  ExpectOutline(Carve(CarveRectangle, 600), {{41, -1}, {41, 80}, {79, 80}, {79, -1}});
  // Its mask is the outline about the opening's centre, lifted to the opening's bottom.
  ASSERT_NE(record.maskObject, nullptr);
  EXPECT_EQ(record.maskObject->type, kObjDetail);
  EXPECT_EQ(record.maskObject->visible, 0);
  EXPECT_EQ(record.maskObject->layer, nullptr);
  EXPECT_EQ(record.maskObject->pointCount, 4);
  EXPECT_NEAR(record.maskObject->firstPoint->position[0], -19, 1e-3);
  EXPECT_NEAR(record.maskObject->firstPoint->position[1], 1, 1e-3);
  // The side and the floor depth move it; on side 1 the distance runs from the other end.
  ExpectOutline(Carve(CarveRectangle, 500, 1, 12), {{41, 11}, {41, 92}, {79, 92}, {79, 11}});
  record.startDistance = 30;
  const std::vector<TH> back = Carve(CarveRectangle, 600, 1);
  EXPECT_NEAR((back[0].first + back[2].first) / 2, 90, 1e-3);
}

TEST_F(Carving, ArchesSpringAboveTheSillAndFlipDownward) {
  const std::vector<TH> arch = Carve(CarveArch, 604);
  ASSERT_EQ(arch.size(), 21u);
  EXPECT_NEAR(MaxH(arch), 80 - 18 + 19, 1e-3);  // spring at H - W/2, radius 1 + W/2
  // A 603 lower than a quarter of its width springs at 1.0, not below the sill.
  record.height = 5;
  const std::vector<TH> low = Carve(CarveArch, 603);
  ASSERT_EQ(low.size(), 21u);
  EXPECT_NEAR(low[1].second, 1.0f, 1e-3);
  EXPECT_GE(MinH(low), -1);
  // Without feet the arc closes the outline.
  EXPECT_EQ(Carve(CarveArch, 601).size(), 19u);
  // Flipped top to bottom the arch comes out at the bottom, mirrored about its own middle.
  record.height = 80;
  const std::vector<TH> up = Carve(CarveArch, 604);
  record.flipVertical = 1;
  const std::vector<TH> down = Carve(CarveArch, 604);
  ASSERT_EQ(down.size(), up.size());
  const float mid = (MinH(up) + MaxH(up)) / 2;
  for (size_t i = 0; i < up.size(); ++i) EXPECT_NEAR(down[i].second, 2 * mid - up[i].second, 1e-3);
  EXPECT_NEAR(down[10].second, MinH(up), 1e-3);  // the crown is now the lowest point
}

TEST_F(Carving, HandedShapesFollowTheFlipAlongTheWallSymmetricOnesDoNot) {
  const std::vector<TH> chip = Carve(CarveChipCorner, 611);
  record.flipHorizontal = 1;
  const std::vector<TH> chipFlipped = Carve(CarveChipCorner, 611);
  ASSERT_EQ(chip.size(), 5u);
  ASSERT_EQ(chipFlipped.size(), 5u);
  for (size_t i = 0; i < chip.size(); ++i) {
    EXPECT_NEAR(chipFlipped[i].first, 120 - chip[i].first, 1e-3);  // mirrored about the centre 60
    EXPECT_NEAR(chipFlipped[i].second, chip[i].second, 1e-3);
  }
  record.flipHorizontal = 0;
  const std::vector<TH> octagon = Carve(CarveOctagon, 622), circle = Carve(CarveCircle, 623);
  record.flipHorizontal = 1;
  ExpectOutline(Carve(CarveOctagon, 622), octagon);
  ExpectOutline(Carve(CarveCircle, 623), circle);
}

TEST_F(Carving, CircleOfThirtySixPointsClosingOnItself) {
  const std::vector<TH> c = Carve(CarveCircle, 623);
  ASSERT_EQ(c.size(), 36u);
  // Centre (60, 18), radius 18: the first point at 180 degrees, the last at 190, neighbours.
  EXPECT_NEAR(c[0].first, 60 - 18, 1e-3);
  EXPECT_NEAR(c[0].second, 18, 1e-3);
  EXPECT_NEAR(c[35].first, 60 - 18 * std::cos(10 * 3.14159265f / 180), 1e-3);
  EXPECT_NEAR(c[35].second, 18 - 18 * std::sin(10 * 3.14159265f / 180), 1e-3);
  for (const TH& p : c) EXPECT_NEAR(std::hypot(p.first - 60, p.second - 18), 18, 1e-3);
}

TEST_F(Carving, OctagonAndParallelogramIgnoreTheHeight) {
  const std::vector<TH> oct = Carve(CarveOctagon, 622);
  ASSERT_EQ(oct.size(), 8u);
  EXPECT_NEAR(MaxH(oct), 36, 1e-3);
  record.height = 5;
  ExpectOutline(Carve(CarveOctagon, 622), oct);
  const std::vector<TH> p620 = Carve(CarveParallelogram, 620);
  EXPECT_NEAR(MaxH(p620), 36, 1e-3);
  ExpectOutline(Carve(CarveParallelogram, 621), p620);
}

TEST_F(Carving, PentagonTriangleAndChipPointCounts) {
  EXPECT_EQ(Carve(CarvePentagon, 619).size(), 5u);
  EXPECT_EQ(Carve(CarvePentagon, 618).size(), 3u);
  EXPECT_EQ(Carve(CarveTriangleCorner, 614).size(), 4u);
  EXPECT_EQ(Carve(CarveTriangleCorner, 616).size(), 3u);
  EXPECT_EQ(Carve(CarveChipCorner, 613).size(), 6u);
  EXPECT_EQ(Carve(CarveQtrArch, 605).size(), 12u);
  EXPECT_EQ(Carve(CarveQtrArch, 609).size(), 11u);
  // A triangle lower than its width is raised to W + 1.
  record.height = 10;
  EXPECT_NEAR(MaxH(Carve(CarveTriangleCorner, 614)), 37, 1e-3);
}

TEST_F(Carving, DispatchCutsOnlyDoorAndWindowSubtypes) {
  for (int16_t subtype : {499, 513, 599, 627}) {
    record.subtype = subtype;
    PlaneObject* po = CreatePlaneObject();
    faces.push_back(po);
    gCurPlaneObject = po;
    CarveDoorWindowAttachment(&face, 0, 120, &origin, &record, 0, 0, 96, 0);
    gCurPlaneObject = nullptr;
    EXPECT_EQ(po->children, nullptr) << subtype;
    EXPECT_EQ(po->attachments, nullptr) << subtype;
  }
}

TEST_F(Carving, IntoAStripTheCutOutIsClippedToItsStretchOfTheChordAndLaidOnIt) {
  // The chord runs along +x from the origin; the rectangle's cut-out spans 41..79 of it.
  struct Case {
    PlaneVertex start, end;
    bool piece;
    float lo, hi;  // the piece's extent along the chord (x)
  };
  const Case cases[] = {
      {{30, 0, 0, 0, 0, 0}, {60, 0, 10, 0, 0, 0}, true, 41, 60},    // slanted strip over the left jamb
      {{60, 0, 10, 0, 0, 0}, {30, 0, 0, 0, 0, 0}, true, 41, 60},    // the same strip run backward
      {{45, 0, 0, 0, 0, 0}, {50, 0, 0, 0, 0, 0}, true, 45, 50},     // wholly inside the opening
      {{79, 0, 0, 0, 0, 0}, {100, 0, 5, 0, 0, 0}, false, 0, 0},     // only touching the right jamb
      {{100, 0, 0, 0, 0, 0}, {120, 0, 0, 0, 0, 0}, false, 0, 0},    // beside the opening
      {{50, 0, 0, 0, 0, 0}, {50.0005f, 0, 9, 0, 0, 0}, false, 0, 0},  // standing across the chord
  };
  record.subtype = 600;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start.x);
    FaceStrip strip;
    strip.start = &c.start;
    strip.end = &c.end;
    strip.chordStart = c.start.x;
    strip.chordEnd = c.end.x;
    PlaneObject* po = CreatePlaneObject();
    faces.push_back(po);
    gCurPlaneObject = po;
    CarveDoorWindowIntoStrip(&face, 0, 120, &origin, &record, 0, 0, 96, 0, strip, false);
    gCurPlaneObject = nullptr;
    EXPECT_EQ(record.maskObject, nullptr);  // only the cut-out is made
    if (!c.piece) {
      EXPECT_EQ(po->children, nullptr);
      continue;
    }
    ASSERT_EQ(CountList(po->children), 1);
    const Plane* p = po->children->planes;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->next, nullptr);
    ASSERT_EQ(p->vertexCount, 4);
    float lo = 1e9f, hi = -1e9f;
    for (int32_t k = 0; k < p->vertexCount; ++k) {
      const PlaneVertex& v = p->vertices[k];
      lo = std::min(lo, v.x), hi = std::max(hi, v.x);
      // On the strip: z follows x between the strip's corners; heights as cut.
      const float share = (v.x - c.start.x) / (c.end.x - c.start.x);
      EXPECT_NEAR(v.z, c.start.z + share * (c.end.z - c.start.z), 1e-4);
      EXPECT_TRUE(std::fabs(v.y - 1) < 1e-4 || std::fabs(v.y + 80) < 1e-4) << v.y;
    }
    EXPECT_NEAR(lo, c.lo, 1e-4);
    EXPECT_NEAR(hi, c.hi, 1e-4);
  }
}

TEST_F(Carving, FlipPlaneMirrorsAboutTheMiddleOfTheExtent) {
  PlaneVertex v[3] = {{0, 0, 0, 0, 0, 0}, {10, 4, 0, 0, 0, 0}, {4, 10, 0, 0, 0, 0}};
  Plane p;
  p.vertices = v;
  p.vertexCount = 3;
  FlipPlane(&p, 1);
  EXPECT_FLOAT_EQ(v[0].x, 10);
  EXPECT_FLOAT_EQ(v[2].x, 6);
  EXPECT_FLOAT_EQ(v[2].y, 10);
  FlipPlane(&p, 0);
  EXPECT_FLOAT_EQ(v[0].y, 10);
  EXPECT_FLOAT_EQ(v[1].y, 6);
  p.vertices = nullptr;
}

}  // namespace
