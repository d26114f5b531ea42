// Wall bodies, soffits, floors and framing at several wall thicknesses, floor depths and
// plan scales, on either side of their line; and roofs whose two halves are each other's
// mirror images, each face of one half checked against its partner on the other, so that a
// slip in one half shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "WallTestSupport.h"
#include "building3d/CeilingBuilder.h"
#include "building3d/Framing3D.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Roofs3D.h"
#include "building3d/Walls3D.h"
#include "model/Delete.h"
#include "model/Globals.h"
#include "model/RoofStyles.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"

namespace {

using Corner = std::array<float, 3>;

struct HalvesAndScales : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  HalvesAndScales() {
    doc.ds()->zoomFactor = 1;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  ~HalvesAndScales() override { EXPECT_MODEL_SOUND(); }
};

std::vector<Corner> Corners(const Objex* o) {
  std::vector<Corner> out;
  for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back({p->position[0], p->position[1], p->position[2]});
  return out;
}

// The corners as a set, rounded so that the same corner reached by two roads compares equal.
std::vector<Corner> CornerSet(std::vector<Corner> corners) {
  for (Corner& c : corners)
    for (float& v : c) v = std::round(v * 100) / 100 + 0.0f;
  std::sort(corners.begin(), corners.end());
  return corners;
}

// The corners mirrored across x = about (ends) or z = about (sides).
std::vector<Corner> Mirrored(std::vector<Corner> corners, int axis, float about) {
  for (Corner& c : corners) c[axis] = 2 * about - c[axis];
  return CornerSet(corners);
}

std::vector<const Objex*> Parts(const Objex* roof, int16_t type, int32_t subtype) {
  std::vector<const Objex*> out;
  for (const Objex* p = static_cast<const Objex*>(roof->typeData); p; p = p->next)
    if (p->type == type && p->subtype == subtype) out.push_back(p);
  return out;
}

}  // namespace

// The body's top ring at the wall's line, its lower ring the floor depth below; its faces
// half the thickness either side when centred, the whole thickness on one side when
// aligned, the two alignments on opposite sides. Walls across and down the plan.
TEST_F(HalvesAndScales, WallBodiesTakeTheThicknessAndFloorDepthAtThePlanScale) {
  struct Run {
    const char* name;
    std::pair<float, float> from, to;
    int across;  // the axis the faces are offset along: z for a wall across, x for one down
  } const runs[] = {{"across", {0, 0}, {200, 0}, 2}, {"down", {0, 0}, {0, 200}, 0}};
  for (const float scale : {96.0f, 48.0f, 24.0f, 36.0f}) {
    for (const float thickness : {4.0f, 10.0f}) {
      for (const float depth : {0.5f, 8.0f}) {
        for (const Run& r : runs) {
          SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", thickness " << thickness << ", depth "
                                          << depth << ", " << r.name);
          doc.ds()->planScale = scale;
          const float t = thickness * 72 / scale, d = depth * 72 / scale;
          float sideOf[3] = {};
          for (const int32_t alignment : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "alignment " << alignment);
            Objex* wall = AddTestWall(doc, {r.from, r.to}, false, thickness);
            FloorDepthOf(wall) = depth;
            wall->extraLong = alignment;
            Update3DWall(wall);
            const auto* body = static_cast<const Objex*>(wall->typeData);
            ASSERT_NE(body, nullptr);
            const std::vector<Corner> pts = Corners(body);
            ASSERT_EQ(pts.size(), 8u);
            float lo = 1e9f, hi = -1e9f;
            for (size_t i = 0; i < pts.size(); ++i) {
              EXPECT_NEAR(pts[i][1], i < 4 ? 0.0f : -d, 1e-3) << i;
              lo = std::min(lo, pts[i][r.across]);
              hi = std::max(hi, pts[i][r.across]);
            }
            EXPECT_NEAR(hi - lo, t, 1e-3);
            if (alignment == 0) {
              EXPECT_NEAR(lo, -t / 2, 1e-3);
              EXPECT_NEAR(hi, t / 2, 1e-3);
            } else {
              EXPECT_TRUE(std::fabs(lo) < 1e-3 || std::fabs(hi) < 1e-3) << lo << " " << hi;
              sideOf[alignment] = lo + hi;
            }
            Update3DWall(wall);  // a rebuild replaces the body, at the same place
            EXPECT_EQ(CornerSet(Corners(static_cast<const Objex*>(wall->typeData))), CornerSet(pts));
            DeleteObj(wall);
          }
          EXPECT_LT(sideOf[1] * sideOf[2], 0) << "the two alignments lie on opposite sides";
        }
      }
    }
  }
}

// Every roof plane and underside of one half is the mirror image of its partner: the two
// slopes across the ridge, and for a hip roof the two hips, for a gable roof the two gables.
TEST_F(HalvesAndScales, RoofHalvesMirrorEachOther) {
  constexpr float kWidth = 300, kDepth = 140;
  struct Pair {
    int16_t type;
    int32_t a, b;
    int axis;  // mirrored across the middle of x (the ends) or of z (the slopes)
  };
  const Pair slopes[] = {{kObjRoofPlane, kRoofPanelSlopeC0C1, kRoofPanelSlopeC3C2, 2},
                         {kObjRoofHipPart, kRoofPanelSlopeC0C1, kRoofPanelSlopeC3C2, 2}};
  const Pair hips[] = {{kObjRoofPlane, kRoofPanelHipA, kRoofPanelHipB, 0},
                       {kObjRoofHipPart, kRoofPanelHipA, kRoofPanelHipB, 0}};
  for (const float pitch : {6.0f, 9.0f}) {
    for (const int style : {kRoofHip, kRoofGable, kRoofHipAndGable, kRoofGableOneEnd, kRoofHipOneEnd, kRoofRidgeOnly}) {
      SCOPED_TRACE(testing::Message() << "pitch " << pitch << ", style " << style);
      Objex* roof = doc.addObject(kObjRoof, true, {{0, 0}, {kWidth, 0}, {kWidth, kDepth}, {0, kDepth}});
      roof->width = pitch;
      roof->textureID = style;
      Update3DRoof(roof);
      std::vector<Pair> pairs(std::begin(slopes), std::end(slopes));
      if (style == kRoofHip) pairs.insert(pairs.end(), std::begin(hips), std::end(hips));
      for (const Pair& p : pairs) {
        SCOPED_TRACE(testing::Message() << "type " << p.type << ", parts " << p.a << " and " << p.b);
        const auto a = Parts(roof, p.type, p.a), b = Parts(roof, p.type, p.b);
        ASSERT_EQ(a.size(), 1u);
        ASSERT_EQ(b.size(), 1u);
        EXPECT_EQ(Mirrored(Corners(a[0]), p.axis, (p.axis == 0 ? kWidth : kDepth) / 2), CornerSet(Corners(b[0])));
      }
      if (style == kRoofGable) {
        // The gable parts at the first end mirror those at the second.
        std::vector<Corner> endA, endB;
        for (const Objex* part : Parts(roof, kObjRoofGablePart, 0)) {
          const std::vector<Corner> c = Corners(part);
          float minX = 1e9f, maxX = -1e9f;
          for (const Corner& k : c) minX = std::min(minX, k[0]), maxX = std::max(maxX, k[0]);
          if (maxX <= 1) endA.insert(endA.end(), c.begin(), c.end());
          if (minX >= kWidth - 1) endB.insert(endB.end(), c.begin(), c.end());
        }
        ASSERT_FALSE(endA.empty());
        EXPECT_EQ(Mirrored(endA, 0, kWidth / 2), CornerSet(endB));
      }
      DeleteObj(roof);
    }
  }
}

// A soffit runs from the wall's face to the extension beyond it, outside for a positive
// extension and inside for a negative one; a floor's outline is offset by the extension alone.
TEST_F(HalvesAndScales, SoffitsAndFloorsTakeTheThicknessAndExtensionAtThePlanScale) {
  for (const float scale : {96.0f, 48.0f, 24.0f}) {
    for (const float thickness : {4.0f, 10.0f}) {
      for (const float extension : {18.0f, -12.0f}) {
        SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", thickness " << thickness << ", extension "
                                        << extension);
        TestDocument local;
        local.ds()->planScale = scale;
        const float face = thickness / 2 * 72 / scale, edge = (thickness / 2 + std::fabs(extension)) * 72 / scale;
        // A closed square, 300 plan units a side, its first side along z = 0.
        Objex* wall = AddTestWall(local, {{0, 0}, {300, 0}, {300, 300}, {0, 300}}, true, thickness);
        TestPointAt(wall, 0)->selected = TestPointAt(wall, 1)->selected = 1;
        ASSERT_EQ(BuildAutoSoffits(wall, 3, 96, extension, 0, false), 1);
        const Objex* soffit = nullptr;
        for (const Objex* o = local.model.itsCurLayer->firstObject; o; o = o->next)
          if (o->type == kObjFloor) soffit = o;
        ASSERT_NE(soffit, nullptr);
        const float outward = extension > 0 ? -1 : 1;  // outside the square is z < 0
        std::vector<float> zs;
        for (const Corner& c : Corners(soffit)) zs.push_back(c[2]);
        std::sort(zs.begin(), zs.end(), [outward](float a, float b) { return a * outward < b * outward; });
        ASSERT_EQ(zs.size(), 4u);
        EXPECT_NEAR(zs[0], outward * face, 1e-3);
        EXPECT_NEAR(zs[1], outward * face, 1e-3);
        EXPECT_NEAR(zs[2], outward * edge, 1e-3);
        EXPECT_NEAR(zs[3], outward * edge, 1e-3);
        DeleteObj(const_cast<Objex*>(soffit));

        // A floor offset by the extension: its sides at -e and 300 + e, or e and 300 - e.
        ASSERT_EQ(BuildAutoCeilingFloor(wall, 1, 12, 0, extension, 0, 0, 0, 0, false), 1);
        const Objex* floor = nullptr;
        for (const Objex* o = local.model.itsCurLayer->firstObject; o; o = o->next)
          if (o->type == kObjFloor) floor = o;
        ASSERT_NE(floor, nullptr);
        const float e = extension * 72 / scale;
        for (const Corner& c : Corners(floor))
          for (const int axis : {0, 2})
            EXPECT_TRUE(std::fabs(c[axis] + e) < 1e-3 || std::fabs(c[axis] - 300 - e) < 1e-3) << c[axis];
      }
    }
  }
}

// Framing: the studs stand at the stud spacing along the wall, from the top of the floor
// slab to the wall height above it, all converted at the plan scale.
TEST_F(HalvesAndScales, StudsStandAtTheSpacingBetweenTheSlabAndTheWallHeight) {
  for (const float scale : {96.0f, 48.0f, 24.0f}) {
    for (const float depth : {0.0f, 3.0f}) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", floor depth " << depth);
      FreeScene();
      TestDocument local;
      local.ds()->planScale = scale;
      const float k = 72 / scale;
      Objex* wall = AddTestWall(local, {{0, 0}, {240, 0}});
      StudSpacingOf(wall) = 16;
      FloorDepthOf(wall) = depth;
      for (Poinz* p = wall->firstPoint; p; p = p->next) WallHeightOf(p) = 80;
      FreeScene();
      FrameWindowsAndDoors(wall);
      const float base = -depth * k, top = base - 80 * k;
      // The studs: members 2.5 along the wall reaching from the bottom plate to the top.
      std::vector<float> studs;
      for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
        const Plane* p = po->planes;
        if (!p || p->vertexCount < 1) continue;
        float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
        for (int32_t i = 0; i < p->vertexCount; ++i) {
          x0 = std::min(x0, p->vertices[i].x), x1 = std::max(x1, p->vertices[i].x);
          y0 = std::min(y0, p->vertices[i].y), y1 = std::max(y1, p->vertices[i].y);
        }
        if (std::fabs(x1 - x0 - 2.5f) < 1e-3 && std::fabs(y0 - top) < 1e-3 && std::fabs(y1 - (base - 2.5f)) < 1e-3)
          studs.push_back(std::round(x0 * 100) / 100);
      }
      std::sort(studs.begin(), studs.end());
      studs.erase(std::unique(studs.begin(), studs.end()), studs.end());
      std::vector<float> expected;
      for (float x = 0; x < 240 - 1e-3f; x += 16 * k) expected.push_back(std::round(x * 100) / 100);
      expected.push_back(240);
      EXPECT_EQ(studs, expected);
      FreeScene();
    }
  }
}
