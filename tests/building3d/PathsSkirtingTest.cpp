// Paths, floor skirting, excavation rims and photo planes in 3D: the border blocks before the
// surface, border copies that cannot be made, straight end caps of a curved path and the path's
// own points kept, the closing band of an open floor, skirting height 0, one-point photos.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "building3d/Paths3D.h"
#include "building3d/Skirting3D.h"
#include "model/DeckFields.h"
#include "model/Grouping.h"
#include "model/Services.h"

namespace {

struct PathsSkirting : ::testing::Test {
  TestDocument doc;
  ~PathsSkirting() override { EXPECT_MODEL_SOUND(); }

  Objex* AddPath(std::initializer_list<std::pair<float, float>> pts, bool closed = false) {
    Objex* p = doc.addObject(kObjPath, closed, pts);
    p->width = 36;
    for (Poinz* q = p->firstPoint; q; q = q->next) {
      q->color[0] = q->color[1] = RGBColor{100, 200, 300};
      q->textureID[0] = q->textureID[1] = 77;
      q->textureScale[0] = q->textureScale[1] = ShortPoint{100, 100};
    }
    return p;
  }
};

std::vector<Objex*> Parts(const Objex* owner) {
  std::vector<Objex*> out;
  for (Objex* o = static_cast<Objex*>(owner->typeData); o; o = o->next) out.push_back(o);
  return out;
}

bool ZeroTangents(const Poinz* p) {
  for (int i = 0; i < 3; ++i)
    if (p->inHandle[i] != 0 || p->outHandle[i] != 0) return false;
  return true;
}

TEST_F(PathsSkirting, BorderedPathHasItsBlocksFirstThenOneSurface) {
  Objex* path = AddPath({{0, 0}, {200, 0}, {200, 150}});
  StraightPathOf(path) = 1;
  path->fillPattern = 2;
  Update3DPath(path);
  const auto parts = Parts(path);
  ASSERT_FALSE(parts.empty());
  // Both borders were built as edging, then left the layer with their blocks moved over.
  EXPECT_EQ(parts.back()->type, kObjPathSurface);
  // Blocks along both borders: some on each side of the centre line's first leg.
  int above = 0, below = 0;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    EXPECT_EQ(parts[i]->type, kObjEdging);
    EXPECT_EQ(parts[i]->layer, nullptr);
    const float z = parts[i]->firstPoint->position[2];
    if (parts[i]->firstPoint->position[0] < 150) (z < 0 ? above : below) += 1;
  }
  EXPECT_GT(above, 0);
  EXPECT_GT(below, 0);
  // On a straight path the blocks run along the surface's two long edges, some on each.
  Objex* straight = AddPath({{0, 300}, {200, 300}});
  StraightPathOf(straight) = 1;
  straight->fillPattern = 2;
  Update3DPath(straight);
  const auto pieces = Parts(straight);
  ASSERT_GT(pieces.size(), 2u);
  float minZ = 1e9f, maxZ = -1e9f;
  for (Poinz* p = pieces.back()->firstPoint; p; p = p->next) {
    minZ = std::fmin(minZ, p->position[2]);
    maxZ = std::fmax(maxZ, p->position[2]);
  }
  int onEdge[2] = {};
  for (size_t i = 0; i + 1 < pieces.size(); ++i) {
    float lo = 1e9f, hi = -1e9f;
    for (Poinz* p = pieces[i]->firstPoint; p; p = p->next) {
      lo = std::fmin(lo, p->position[2]);
      hi = std::fmax(hi, p->position[2]);
    }
    const bool first = (lo + hi) / 2 < 300;
    const float edge = first ? minZ : maxZ;
    EXPECT_TRUE(lo <= edge + 0.01f && hi >= edge - 0.01f) << i << ": " << lo << " to " << hi;
    ++onEdge[first ? 0 : 1];
  }
  EXPECT_GT(onEdge[0], 0);
  EXPECT_GT(onEdge[1], 0);
  EXPECT_EQ(doc.first->firstObject, path);
  EXPECT_EQ(path->next, straight);  // no copies left on the layer
  EXPECT_EQ(straight->next, nullptr);
}

TEST_F(PathsSkirting, BorderCopiesThatCannotBeMadeLeaveNoSurface) {
  // A closed centre line has no open parallels.
  Objex* path = AddPath({{0, 0}, {200, 0}, {200, 150}}, true);
  path->fillPattern = 2;
  Update3DPath(path);
  EXPECT_EQ(path->typeData, nullptr);
  EXPECT_EQ(path->next, nullptr);
  path->fillPattern = 0;
  Update3DPath(path);
  EXPECT_EQ(Parts(path).size(), 1u);
}

TEST_F(PathsSkirting, StraightSurfaceIsTheRibbonTwoUnitsLowerInTheFirstPointsMaterial) {
  Objex* path = AddPath({{0, 0}, {200, 0}});
  StraightPathOf(path) = 1;
  Update3DPath(path);
  const auto parts = Parts(path);
  ASSERT_EQ(parts.size(), 1u);
  Objex* s = parts[0];
  EXPECT_EQ(s->type, kObjPathSurface);
  EXPECT_EQ(s->sourceObject, path);
  EXPECT_EQ(s->layer, nullptr);
  EXPECT_EQ(s->closed, 1);
  ASSERT_EQ(s->pointCount, 4);
  // 36 inches at plan scale 36 is 72 plan units: 36 each side of the centre line.
  float minZ = 1e9f, maxZ = -1e9f;
  for (Poinz* p = s->firstPoint; p; p = p->next) {
    minZ = std::fmin(minZ, p->position[2]);
    maxZ = std::fmax(maxZ, p->position[2]);
    EXPECT_FLOAT_EQ(p->position[1], 2.0f);
    EXPECT_EQ(p->textureID[1], 77);
    EXPECT_EQ(p->color[0].green, 200);
  }
  EXPECT_NEAR(minZ, -36, 0.01);
  EXPECT_NEAR(maxZ, 36, 0.01);
  EXPECT_EQ(s->penColor.blue, 300);
}

TEST_F(PathsSkirting, CurvedSurfaceHasStraightEndCapsAndThePathKeepsItsPoints) {
  Objex* path = AddPath({{0, 0}, {100, 40}, {200, 0}, {300, 60}});
  SmoothObject(path);
  // An edited tangent the rebuild must not replace.
  path->firstPoint->next->outHandle[0] = 12.5f;
  std::vector<std::vector<float>> before;
  for (Poinz* p = path->firstPoint; p; p = p->next)
    before.push_back({p->position[0], p->position[1], p->position[2], p->inHandle[0], p->inHandle[2],
                      p->outHandle[0], p->outHandle[2]});
  Update3DPath(path);
  Update3DPath(path);
  size_t i = 0;
  for (Poinz* p = path->firstPoint; p; p = p->next, ++i)
    EXPECT_EQ(before[i], (std::vector<float>{p->position[0], p->position[1], p->position[2], p->inHandle[0],
                                             p->inHandle[2], p->outHandle[0], p->outHandle[2]}));
  const auto parts = Parts(path);
  ASSERT_EQ(parts.size(), 1u);
  Objex* s = parts[0];
  ASSERT_EQ(s->pointCount, 8);
  std::vector<Poinz*> pts;
  for (Poinz* p = s->firstPoint; p; p = p->next) pts.push_back(p);
  // The ends of the two sides (points 1, 4, 5 and 8) are straight; the sides between are smooth.
  EXPECT_TRUE(ZeroTangents(pts[0]));
  EXPECT_TRUE(ZeroTangents(pts[3]));
  EXPECT_TRUE(ZeroTangents(pts[4]));
  EXPECT_TRUE(ZeroTangents(pts[7]));
  EXPECT_FALSE(ZeroTangents(pts[1]));
  EXPECT_FALSE(ZeroTangents(pts[5]));
}

TEST_F(PathsSkirting, OpenFloorOutlineGetsABandOnItsClosingEdge) {
  Objex* floor = doc.addObject(kObjFloor, false, {{0, 0}, {100, 0}, {100, 80}});
  SkirtingHeightOf(floor) = 6;  // 12 plan units
  floor->firstPoint->next->next->textureID[0] = 55;
  Update3DFloorSkirting(floor);
  const auto parts = Parts(floor);
  ASSERT_EQ(parts.size(), 3u);
  Objex* closing = parts[2];
  EXPECT_EQ(closing->type, kObjSkirting);
  EXPECT_EQ(closing->closed, 0);
  EXPECT_EQ(closing->levels, 2);
  const Poinz* a = closing->firstPoint;
  const Poinz* b = a->next;
  EXPECT_FLOAT_EQ(a->position[0], 100);
  EXPECT_FLOAT_EQ(a->position[2], 80);
  EXPECT_FLOAT_EQ(b->position[0], 0);
  EXPECT_FLOAT_EQ(b->position[2], 0);
  EXPECT_FLOAT_EQ(b->next->position[1], -12);  // the upper ring
  EXPECT_EQ(a->textureID[0], 55);              // the edge's first point dresses the band
}

TEST_F(PathsSkirting, SkirtingHeightZeroKeepsNoPartsAndOtherKindsAreLeftAlone) {
  Objex* floor = doc.addObject(kObjFloor, true, {{0, 0}, {100, 0}, {100, 80}});
  SkirtingHeightOf(floor) = 6;
  Update3DFloorSkirting(floor);
  EXPECT_EQ(Parts(floor).size(), 3u);
  SkirtingHeightOf(floor) = 0;
  Update3DFloorSkirting(floor);
  EXPECT_EQ(floor->typeData, nullptr);
  Objex* line = doc.addObject(kObjOpenPoly, false, {{0, 0}, {10, 0}});
  line->params[2] = 6;
  Update3DFloorSkirting(line);
  EXPECT_EQ(line->typeData, nullptr);
}

TEST_F(PathsSkirting, ExcavationRimIsOneUnitHighWhateverTheDepth) {
  Objex* pit = doc.addObject(kObjTopoExcavation, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  pit->penColor = RGBColor{1, 2, 3};
  ExcavationDepthOf(pit) = 36;
  Update3DTopoCutoutDepthObject(pit);
  const auto parts = Parts(pit);
  ASSERT_EQ(parts.size(), 1u);
  Objex* rim = parts[0];
  EXPECT_EQ(rim->type, kObjTopoExcavation);
  EXPECT_EQ(rim->subtype, kObjTopoExcavation);
  EXPECT_EQ(rim->capped, 0);
  EXPECT_EQ(rim->levels, 2);
  EXPECT_EQ(rim->layer, nullptr);
  EXPECT_EQ(rim->penColor.blue, 3);
  float minY = 1e9f, maxY = -1e9f;
  for (Poinz* p = rim->firstPoint; p; p = p->next) {
    minY = std::fmin(minY, p->position[1]);
    maxY = std::fmax(maxY, p->position[1]);
  }
  EXPECT_FLOAT_EQ(maxY - minY, 1.0f);
  EXPECT_FLOAT_EQ(minY, -1.0f);  // up from the ground
  ExcavationDepthOf(pit) = 0;
  Update3DTopoCutoutDepthObject(pit);
  EXPECT_EQ(pit->typeData, nullptr);
}

TEST_F(PathsSkirting, PhotoStandsOnItsFirstTwoPointsAndOnePointBuildsNothing) {
  Objex* photo = doc.addObject(kObjPhotoView, false, {{-720, 0}, {720, 0}});
  PhotoHeightOf(photo) = 720;
  photo->firstPoint->textureID[0] = photo->firstPoint->textureID[1] = 20000;
  Update3DPhoto(photo);
  const auto parts = Parts(photo);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0]->type, kObjPhotoSurface);
  EXPECT_EQ(parts[0]->closed, 0);
  EXPECT_EQ(parts[0]->pointCount, 4);
  EXPECT_FLOAT_EQ(parts[0]->firstPoint->next->next->position[1], -720);
  for (Poinz* p = parts[0]->firstPoint; p; p = p->next) EXPECT_EQ(p->textureID[1], 20000);

  Objex* single = doc.addObject(kObjPhotoView, false, {{0, 0}});
  Update3DPhoto(single);
  EXPECT_EQ(single->typeData, nullptr);
}

TEST_F(PathsSkirting, LayerWalkersSkipHiddenLayersAndOtherKinds) {
  Objex* shown = AddPath({{0, 0}, {100, 0}});
  Objex* hidden = doc.addObject(kObjPath, false, {{0, 0}, {100, 0}}, doc.second);
  hidden->width = 36;
  Objex* photo = doc.addObject(kObjPhotoView, false, {{0, 0}, {100, 0}});
  doc.second->visible = 0;
  Update3DPathAllLayers(doc.model.itsLayers);
  EXPECT_NE(shown->typeData, nullptr);
  EXPECT_EQ(hidden->typeData, nullptr);
  EXPECT_EQ(photo->typeData, nullptr);
  Update3DPhotoAllLayers(doc.model.itsLayers);
  EXPECT_NE(photo->typeData, nullptr);
}

}  // namespace
