// Gable and hip roofs in 3D: the ridge height and ends by style, the plane equations of the
// slopes, the faces' corner order, their materials, and the hip ends that never pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/Roofs3D.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"
#include "plandraw/RoofDrawing.h"

namespace {

struct Roofs : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  Roofs() {
    doc.ds()->zoomFactor = 1;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  }
  ~Roofs() override { EXPECT_MODEL_SOUND(); }

  // The roof the gable tool makes from (0, 0) to (w, d): c0 (0,0), c1 (w,0), c2 (w,d), c3 (0,d).
  Objex* roof(float pitch, int style, float w = 240, float d = 120) {
    Objex* r = doc.addObject(kObjRoof, true, {{0, 0}, {w, 0}, {w, d}, {0, d}});
    r->width = pitch;
    r->textureID = style;
    r->textureID1 = 77;
    r->color1 = RGBColor{1, 2, 3};
    r->textureScale1 = ShortPoint{50, 60};
    Poinz* f = r->firstPoint;
    f->textureID[0] = 1255;
    f->color[0] = RGBColor{65535, 65535, 65535};
    f->color[1] = RGBColor{57311, 52685, 46517};
    f->textureScale[0] = ShortPoint{100, 100};
    return r;
  }
};

int CountObjects(const Layer* layer) {
  int n = 0;
  for (const Objex* o = layer->firstObject; o; o = o->next) ++n;
  return n;
}

std::vector<Objex*> Parts(const Objex* roof) {
  std::vector<Objex*> out;
  for (Objex* p = static_cast<Objex*>(roof->typeData); p; p = p->next) out.push_back(p);
  return out;
}

std::vector<std::array<float, 3>> Corners(const Objex* o) {
  std::vector<std::array<float, 3>> out;
  for (const Poinz* p = o->firstPoint; p; p = p->next) out.push_back({p->position[0], p->position[1], p->position[2]});
  return out;
}

Objex* Find(const Objex* roof, int16_t type, int32_t subtype) {
  for (Objex* p : Parts(roof))
    if (p->type == type && p->subtype == subtype) return p;
  return nullptr;
}

void ExpectCorner(const std::array<float, 3>& c, float x, float y, float z) {
  EXPECT_NEAR(c[0], x, 1e-3);
  EXPECT_NEAR(c[1], y, 1e-3);
  EXPECT_NEAR(c[2], z, 1e-3);
}

TEST_F(Roofs, GableOfPitchSixHasItsRidgeHalfTheSpanTimesTheSlopePlusTheSlabAboveTheEave) {
  Objex* r = roof(6, 2);
  ServiceCallRecorder calls;
  Update3DRoof(r);
  EXPECT_TRUE(calls.called("UpdateAllRoofAttachments", r->objectID));
  Objex* p10 = Find(r, kObjRoofPlane, 10);
  Objex* p11 = Find(r, kObjRoofPlane, 11);
  ASSERT_NE(p10, nullptr);
  ASSERT_NE(p11, nullptr);
  // These corners are in reverse order: the first corner stays, the rest run backwards.
  auto c = Corners(p10);
  ASSERT_EQ(c.size(), 4u);
  ExpectCorner(c[0], 0, -12, 120);
  ExpectCorner(c[1], 240, -12, 120);
  ExpectCorner(c[2], 240, -42, 60);  // B
  ExpectCorner(c[3], 0, -42, 60);    // A
  EXPECT_NEAR(RoofPlaneY(p10, 100, 90), -27, 1e-3);
  EXPECT_NEAR(RoofPlaneY(p11, 100, 30), -27, 1e-3);
  EXPECT_FLOAT_EQ(p10->params[4], -12);
  EXPECT_FLOAT_EQ(p11->params[4], -12);
  c = Corners(p11);
  ExpectCorner(c[0], 0, -12, 0);
  ExpectCorner(c[1], 0, -42, 60);
  EXPECT_EQ(p10->sourceObject, r);
  EXPECT_EQ(p10->layer, nullptr);
  EXPECT_EQ(p10->closed, 1);
  // Gable ends: rake faces at both ends before the six body faces.
  auto parts = Parts(r);
  EXPECT_EQ(parts.size(), 10u);
  EXPECT_EQ(parts.front()->type, kObjRoofGablePart);
  EXPECT_EQ(CountObjects(doc.first), 1);  // the parts are on no layer
}

TEST_F(Roofs, MaterialsOfPlanesFasciasAndUndersides) {
  Objex* r = roof(6, 2);
  Update3DRoof(r);
  const Poinz* plane = Find(r, kObjRoofPlane, 10)->firstPoint;
  EXPECT_EQ(plane->textureID[0], 1255);
  EXPECT_EQ(plane->textureID[1], 0);
  EXPECT_EQ(plane->color[1].red, 57311);
  const Poinz* under = Find(r, kObjRoofHipPart, 11)->firstPoint;
  EXPECT_EQ(under->textureID[0], 77);
  EXPECT_EQ(under->textureID[1], 77);
  EXPECT_EQ(under->color[1].blue, 3);
  EXPECT_EQ(under->textureScale[1].y, 60);
  const Poinz* fascia = Find(r, kObjRoofGablePart, 0)->firstPoint;
  EXPECT_EQ(fascia->textureID[0], 0);
  EXPECT_EQ(fascia->color[0].green, 52685);

  // Every point of every part of every style, both long sides and both ends alike.
  const RGBColor second{57311, 52685, 46517};
  for (const int style : {kRoofHip, kRoofGable, kRoofHipAndGable, kRoofGableOneEnd, kRoofHipOneEnd}) {
    Objex* each = roof(6, style);
    Update3DRoof(each);
    for (const Objex* part : Parts(each)) {
      SCOPED_TRACE(testing::Message() << "style " << style << ", part " << part->type << "/" << part->subtype);
      for (const Poinz* q = part->firstPoint; q; q = q->next) {
        if (part->type == kObjRoofPlane) {
          EXPECT_EQ(q->textureID[0], 1255);
          EXPECT_EQ(q->color[1], second);
        } else if (part->type == kObjRoofHipPart) {
          EXPECT_EQ(q->textureID[1], 77);
          EXPECT_EQ(q->color[0], (RGBColor{1, 2, 3}));
        } else {
          EXPECT_EQ(part->type, kObjRoofGablePart);
          EXPECT_EQ(q->textureID[1], 0);
          EXPECT_EQ(q->color[0], second);
          EXPECT_EQ(q->color[1], second);
        }
      }
    }
  }
}

TEST_F(Roofs, RidgeEndsByStyle) {
  {
    Objex* r = roof(6, 1);  // hip: both ends half a span inward
    Update3DRoof(r);
    auto c = Corners(Find(r, kObjRoofPlane, 10));
    ExpectCorner(c[2], 180, -42, 60);
    ExpectCorner(c[3], 60, -42, 60);
    EXPECT_NE(Find(r, kObjRoofPlane, 12), nullptr);
    EXPECT_NE(Find(r, kObjRoofPlane, 13), nullptr);
    EXPECT_EQ(Parts(r).size(), 12u);
  }
  {
    Objex* r = roof(10, 2);
    Update3DRoof(r);
    auto c = Corners(Find(r, kObjRoofPlane, 10));
    EXPECT_NEAR(c[3][1], -62, 1e-3);  // R = 10/12 x 60 + 12
  }
  {
    Objex* r = roof(6, 6);  // ridge only: six faces, no end parts
    Update3DRoof(r);
    EXPECT_EQ(Parts(r).size(), 6u);
    auto c = Corners(Find(r, kObjRoofPlane, 10));
    ExpectCorner(c[3], -60, -42, 60);
    ExpectCorner(c[2], 300, -42, 60);
  }
  {
    Objex* r = roof(6, 9);  // an unknown style: six faces, ridge ends at the midpoints
    Update3DRoof(r);
    EXPECT_EQ(Parts(r).size(), 6u);
  }
  {
    Objex* r = roof(0, 2);  // pitch 0: ridge level with the eave top
    Update3DRoof(r);
    EXPECT_NEAR(Corners(Find(r, kObjRoofPlane, 10))[3][1], -12, 1e-4);
  }
}

TEST_F(Roofs, HipEndsStopWhereTheyMeet) {
  // The ridge side (60) is shorter than the span (120): hip ends would pass each other.
  {
    Objex* r = roof(6, 1, 60, 120);
    // c0-c1 along x is the short side here; the hip ends meet at the ridge middle.
    Update3DRoof(r);
    for (const Objex* p : {Find(r, kObjRoofPlane, 10), Find(r, kObjRoofPlane, 11)}) {
      ASSERT_NE(p, nullptr);
      for (const auto& c : Corners(p))
        if (c[1] < -20) EXPECT_NEAR(c[0], 30, 1e-3);
    }
  }
  {
    Objex* r = roof(6, 3, 60, 120);  // hip and gable: A stops at B
    Update3DRoof(r);
    for (const auto& c : Corners(Find(r, kObjRoofPlane, 10)))
      if (c[1] < -20) EXPECT_NEAR(c[0], 60, 1e-3);
  }
}

TEST_F(Roofs, NothingForNonRoofsOrWrongCornerCounts) {
  Objex* shape = doc.addObject(kObjClosedPoly, true, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  Update3DRoof(shape);
  EXPECT_EQ(shape->typeData, nullptr);
  Objex* three = doc.addObject(kObjRoof, true, {{0, 0}, {10, 0}, {10, 10}});
  Update3DRoof(three);
  EXPECT_EQ(three->typeData, nullptr);
  // Rebuilding replaces the parts rather than adding to them.
  Objex* r = roof(6, 2);
  Update3DRoof(r);
  Update3DRoof(r);
  EXPECT_EQ(Parts(r).size(), 10u);
  Update3DRoofAllLayers(doc.model.itsLayers);
  EXPECT_EQ(Parts(r).size(), 10u);
}

}  // namespace

namespace {

// Every style on a 240 x 120 roof of pitch 6 (half span 60): where the ridge ends, how many
// parts, which end has a hip, and every slope face lying in its own plane equation.
TEST_F(Roofs, EveryStyleBuildsItsEndsAndKeepsItsSlopesPlanar) {
  struct Row {
    int style;
    float ridgeA, ridgeB;  // x of the ridge's two ends
    size_t parts;
    bool hipA, hipB;
    int gableParts;  // fascia and gable faces (type gable part)
  };
  const Row rows[] = {
      {kRoofHip, 60, 180, 12, true, true, 4},
      {kRoofGable, 0, 240, 10, false, false, 6},
      {kRoofHipAndGable, 60, 240, 11, true, false, 5},
      {kRoofGableOneEnd, -60, 240, 8, false, false, 4},
      {kRoofHipOneEnd, -60, 180, 9, false, true, 3},
      {kRoofRidgeOnly, -60, 300, 6, false, false, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.style);
    Objex* r = roof(6, row.style);
    Update3DRoof(r);
    EXPECT_EQ(Parts(r).size(), row.parts);
    const Objex* slope = Find(r, kObjRoofPlane, kRoofPanelSlopeC0C1);
    ASSERT_NE(slope, nullptr);
    float minX = 1e9f, maxX = -1e9f;
    for (const auto& c : Corners(slope))
      if (c[1] < -40) minX = std::min(minX, c[0]), maxX = std::max(maxX, c[0]);
    EXPECT_NEAR(minX, row.ridgeA, 1e-3);
    EXPECT_NEAR(maxX, row.ridgeB, 1e-3);
    EXPECT_EQ(Find(r, kObjRoofPlane, kRoofPanelHipA) != nullptr, row.hipA);
    EXPECT_EQ(Find(r, kObjRoofPlane, kRoofPanelHipB) != nullptr, row.hipB);
    int gables = 0;
    for (const Objex* p : Parts(r)) {
      gables += p->type == kObjRoofGablePart;
      if (p->type != kObjRoofPlane) continue;
      for (const auto& c : Corners(p)) EXPECT_NEAR(RoofPlaneY(p, c[0], c[2]), c[1], 1e-2);
    }
    EXPECT_EQ(gables, row.gableParts);
  }
}

// Where each style's gable parts stand: at the first end (x 0), at the second end (x 240) or
// along the eaves, in build order. A gable end has its fascia and its gable face, a hip end
// its fascia only, an open end none. A count alone passes a gable built at the wrong end.
TEST_F(Roofs, EachStylesGablesStandAtItsOwnEnds) {
  struct Row {
    int style;
    const char* ends;  // one letter a gable part: A at x 0, B at x 240, '-' along the roof
  };
  const Row rows[] = {
      {kRoofHip, "AB--"},
      {kRoofGable, "AABB--"},
      {kRoofHipAndGable, "ABB--"},
      {kRoofGableOneEnd, "BB--"},
      {kRoofHipOneEnd, "B--"},
      {kRoofRidgeOnly, "--"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.style);
    Objex* r = roof(6, row.style);
    Update3DRoof(r);
    std::string ends;
    for (const Objex* p : Parts(r)) {
      if (p->type != kObjRoofGablePart) continue;
      float minX = 1e9f, maxX = -1e9f;
      for (const auto& c : Corners(p)) minX = std::min(minX, c[0]), maxX = std::max(maxX, c[0]);
      ends += maxX <= 1 ? 'A' : minX >= 239 ? 'B' : '-';
    }
    EXPECT_EQ(ends, row.ends);
  }
}

// A roof drawn from the far corner round the other way builds the same faces.
TEST_F(Roofs, CornerOrderDoesNotChangeTheFaces) {
  auto faces = [](const Objex* r) {
    std::vector<std::array<float, 6>> out;
    for (const Objex* p : Parts(r)) {
      std::array<float, 6> b{1e9f, -1e9f, 1e9f, -1e9f, 1e9f, -1e9f};
      for (const auto& c : Corners(p))
        for (int k = 0; k < 3; ++k) b[2 * k] = std::min(b[2 * k], c[k]), b[2 * k + 1] = std::max(b[2 * k + 1], c[k]);
      for (float& v : b) v = std::round(v * 100) / 100 + 0.0f;  // sort without float noise
      out.push_back(b);
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  for (int style : {kRoofHip, kRoofGable, kRoofHipAndGable}) {
    SCOPED_TRACE(style);
    Objex* a = roof(6, style);
    Update3DRoof(a);
    // The same outline with c0 at (240, 120): the ridge still runs along x.
    Objex* b = doc.addObject(kObjRoof, true, {{240, 120}, {0, 120}, {0, 0}, {240, 0}});
    b->width = 6;
    b->textureID = style;
    Update3DRoof(b);
    const auto fa = faces(a), fb = faces(b);
    ASSERT_EQ(fa.size(), fb.size());
    if (style != kRoofHipAndGable) {
      for (size_t i = 0; i < fa.size(); ++i)
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(fa[i][k], fb[i][k], 1e-3);
    } else {
      // The hip moves to the other end: the mirror image across x = 120.
      std::vector<std::array<float, 6>> mirrored;
      for (auto f : fb) {
        const float lo = 240 - f[1], hi = 240 - f[0];
        f[0] = std::round(lo * 100) / 100 + 0.0f, f[1] = std::round(hi * 100) / 100 + 0.0f;
        mirrored.push_back(f);
      }
      std::sort(mirrored.begin(), mirrored.end());
      for (size_t i = 0; i < fa.size(); ++i)
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(fa[i][k], mirrored[i][k], 1e-3);
    }
  }
}

}  // namespace
