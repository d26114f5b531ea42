// Trims along wall sides: mouldings, wainscot band, paneling and custom profiles, checked as
// the plane objects they hang on the finished faces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "OpeningsTestSupport.h"
#include "model/DocState.h"
#include "model/PlanarTransforms.h"
#include "openings/WallOpenings.h"
#include "openings/WallTrims.h"

namespace {

constexpr float kTol = 1e-3f;

// The trims of a face with the given part type.
std::vector<const PlaneObject*> TrimsOf(const PlaneObject* face, int16_t partType) {
  std::vector<const PlaneObject*> out;
  for (const PlaneObject* t = face ? face->attachments : nullptr; t; t = t->next)
    if (t->partType == partType) out.push_back(t);
  return out;
}

std::vector<const Plane*> PlanesOf(const PlaneObject* po) {
  std::vector<const Plane*> out;
  for (const Plane* p = po->planes; p; p = p->next) out.push_back(p);
  return out;
}

// Lowest and highest height (-y) of a plane.
void HeightRange(const Plane* p, float* lo, float* hi) {
  *lo = 1e9f, *hi = -1e9f;
  for (int32_t i = 0; i < p->vertexCount; ++i) *lo = std::min(*lo, -p->vertices[i].y), *hi = std::max(*hi, -p->vertices[i].y);
}

bool ZeroNormal(const Plane* p) { return p->normal[0] == 0 && p->normal[1] == 0 && p->normal[2] == 0; }

// A profile object off every layer (the trim record owns it): points (x, z) of the plan.
Objex* Profile(std::initializer_list<std::pair<float, float>> pts) {
  const RGBColor black{};
  Objex* o = CreateObject(kObjOpenPoly, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
  for (auto [x, z] : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  return o;
}

TrimData* Side(Poinz* p, int side) { return static_cast<TrimData*>(side == 0 ? p->trim1 : p->trim2); }

// Walls whose side records are untextured, each slot its own colour, so the slot a trim took
// shows.
struct WallTrims : OpeningsTest {
  static void paint(TrimData* r) {
    for (int i = 0; i < 5; ++i) {
      r->slotTextureIDs[i] = 0;
      r->slotColors[i] = RGBColor{static_cast<uint16_t>(1000 * (i + 1)), 0, 0};
    }
  }
  // Face `faceIndex` built as the 3D road builds a straight wall face (the surface builder
  // given the wall, so the face stands as high as the wall and has its normal), then finished.
  PlaneObject* Face(Objex* wall, int32_t faceIndex) {
    Objex* body = static_cast<Objex*>(wall->typeData);
    std::vector<Poinz*> pts;
    for (Poinz* p = body->firstPoint; p; p = p->next) pts.push_back(p);
    const int32_t perRing = body->pointCount / body->levels;
    Poinz* lowerA = pts[faceIndex];
    Poinz* upperA = pts[perRing + faceIndex];
    Poinz* lowerB = pts[(faceIndex + 1) % perRing];
    Poinz* upperB = pts[perRing + (faceIndex + 1) % perRing];
    gBase2DObject = gActual3DObject = wall;
    PlaneObject* po = CreatePlaneObject();
    po->partType = body->type;
    gCurPlaneObject = po;
    RenderBicubicSurface(lowerA, upperA, lowerB, upperB, 3, 1, 1, &body->penColor, wall);
    CarveWindowsAndDoors(body, wall, lowerA, upperA, lowerB, upperB, faceIndex, po->planes);
    gCurPlaneObject = nullptr;
    gBase2DObject = gActual3DObject = nullptr;
    faces.push_back(po);
    return po;
  }
  Objex* TrimWall(std::initializer_list<std::pair<float, float>> pts, bool closed = false) {
    Objex* wall = Wall(pts, closed);
    for (Poinz* p = wall->firstPoint; p; p = p->next)
      for (int s : {0, 1}) paint(Side(p, s));
    return wall;
  }
};

// Slot index of a trim's material, from its colour.
int SlotOf(const PlaneObject* po) { return po->colorA.red / 1000 - 1; }

// Two-point wall 120 long along x, 4 thick: face 0 is side 0, face 2 side 1.
TEST_F(WallTrims, MouldingsAndBandsByTrimWord) {
  struct Case {
    int32_t lower, crown;
    bool metric;
    int16_t kind;
    float bottom, top;  // heights above the face's bottom corners (floor depth 0)
    int slot;
  };
  const float cm = ConvertCMToInches(1);
  const Case cases[] = {
      {1 | 16, 0, false, 63, 0, 4, 0},
      {1 | 16, 0, true, 63, 0, 10 * cm, 0},
      {2, 0, false, 63, 0, 6, 0},
      {2, 0, true, 63, 0, 15 * cm, 0},
      {3 | 64 | 8, 0, false, 63, 0, 3, 0},  // the first size bit in order wins
      {0x800 | 0x4000, 0, false, 132, 0, 48, 4},
      {0x800, 0, true, 132, 0, 105 * cm, 4},
      {0, 1 | 8, false, 159, 93, 96, 1},
      {0, 2 | 32, true, 159, 96 - 15 * cm, 96, 1},
  };
  Objex* wall = TrimWall({{0, 0}, {120, 0}});
  Poinz* p = wall->firstPoint;
  for (const Case& c : cases)
    for (int side : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "lower " << c.lower << " crown " << c.crown << " metric " << c.metric
                                      << " side " << side);
      doc.ds()->measureSystem = c.metric ? kMeasureMetric : 0;
      Side(p, side)->lowerTrim() = c.lower;
      Side(p, side)->crownTrim() = c.crown;
      const PlaneObject* trimmed = Face(wall, side == 0 ? 0 : 2);
      const PlaneObject* bare = Face(wall, side == 0 ? 2 : 0);
      EXPECT_EQ(bare->attachments, nullptr);  // the other side carries nothing
      const auto trims = TrimsOf(trimmed, c.kind);
      ASSERT_EQ(trims.size(), 1u);
      EXPECT_EQ(CountList(trimmed->attachments), 1);
      const PlaneObject* t = trims[0];
      EXPECT_EQ(SlotOf(t), c.slot);
      EXPECT_EQ(t->colorLinkA, &Side(p, side)->slotColors[c.slot]);
      EXPECT_EQ(t->textureLinkB, &Side(p, side)->slotTextureIDs[c.slot]);
      EXPECT_EQ(t->trimRecordRef, side == 0 ? &p->trim1 : &p->trim2);
      EXPECT_EQ(t->actual3DObject, wall);
      const auto planes = PlanesOf(t);
      ASSERT_EQ(planes.size(), 1u);
      const Plane* q = planes[0];
      ASSERT_EQ(q->vertexCount, 4);
      float lo = 0, hi = 0;
      HeightRange(q, &lo, &hi);
      EXPECT_NEAR(lo, c.bottom, kTol);
      EXPECT_NEAR(hi, c.top, kTol);
      // 0.75 out of the face, on the face's outer side, along the whole face, facing as it does.
      const float faceZ = trimmed->planes->vertices[0].z;
      for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(std::fabs(q->vertices[i].z), std::fabs(faceZ) + 0.75f, kTol);
        EXPECT_GT(q->vertices[i].z * faceZ, 0);
      }
      for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(q->normal[k], trimmed->planes->normal[k]);
      EXPECT_GT(q->normal[2] * faceZ, 0);  // the face's normal points out of the wall
      // Start corner first, bottom then top, then the end corner top then bottom.
      const float u[4] = {0, 0, 1, 1}, v[4] = {1, 0, 0, 1};
      for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(q->vertices[i].u, u[i]);
        EXPECT_EQ(q->vertices[i].v, v[i]);
      }
      EXPECT_NEAR(std::fabs(q->vertices[0].x - q->vertices[3].x), 120, kTol);
      EXPECT_NEAR(q->vertices[0].x, side == 0 ? 0 : 120, kTol);
      Side(p, side)->lowerTrim() = Side(p, side)->crownTrim() = 0;
    }
}

// Elevation and floor depth lift the trims; a crown follows the start point's wall height
// whatever the segment's height mode.
TEST_F(WallTrims, ElevationFloorDepthAndSlopedSegments) {
  Objex* wall = TrimWall({{0, 0}, {120, 0}});
  FloorDepthOf(wall) = 2;
  Poinz* p = wall->firstPoint;
  BaseElevationOf(p) = 10;
  PitchAOf(p) = PitchBOf(p) = 6;
  HeightCOf(p) = 80;
  for (int mode : {0, 1, 2, 3})
    for (int side : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " side " << side);
      WallStyleOf(p) = mode;
      Side(p, side)->lowerTrim() = 1 | 16;
      Side(p, side)->crownTrim() = 2 | 64;
      const PlaneObject* face = Face(wall, side == 0 ? 0 : 2);
      const auto base = TrimsOf(face, 63), crown = TrimsOf(face, 159);
      ASSERT_EQ(base.size(), 1u);
      ASSERT_EQ(crown.size(), 1u);
      EXPECT_EQ(base[0]->elevation, 10);
      float lo = 0, hi = 0;
      HeightRange(base[0]->planes, &lo, &hi);
      EXPECT_NEAR(lo, 12, kTol);  // elevation + floor depth
      EXPECT_NEAR(hi, 16, kTol);
      HeightRange(crown[0]->planes, &lo, &hi);
      EXPECT_NEAR(lo, 12 + 96 - 8, kTol);
      EXPECT_NEAR(hi, 12 + 96, kTol);
      Side(p, side)->lowerTrim() = Side(p, side)->crownTrim() = 0;
    }
}

// The heights a trim reads are inches, taken at the plan scale: the moulding's, the
// wainscot's, the paneling's, the floor depth and elevation under them and the wall height a
// crown hangs from. The paneling's rail width of 4 is plan units.
TEST_F(WallTrims, TrimHeightsTakeThePlanScale) {
  struct Case {
    int32_t lower, crown;
    int16_t kind;
    float bottom, top;  // inches above the face's bottom corners, plan units added
    float bottomPlan, topPlan;
  };
  const Case cases[] = {
      {2, 0, 63, 0, 6, 0, 0},           {0x800 | 0x4000, 0, 132, 0, 48, 0, 0},
      {0, 1 | 8, 159, 96 - 3, 96, 0, 0}, {4, 0, 64, 0, 42, 4, -4},
  };
  for (const float scale : {24.0f, 36.0f, 48.0f, 96.0f}) {
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* wall = TrimWall({{0, 0}, {120, 0}});
    FloorDepthOf(wall) = 2;
    Poinz* p = wall->firstPoint;
    BaseElevationOf(p) = 10;
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "plan scale " << scale << ", lower " << c.lower << " crown " << c.crown);
      Side(p, 0)->lowerTrim() = c.lower;
      Side(p, 0)->crownTrim() = c.crown;
      const auto trims = TrimsOf(Face(wall, 0), c.kind);
      ASSERT_FALSE(trims.empty());
      float lo = 0, hi = 0;
      HeightRange(trims[0]->planes, &lo, &hi);
      EXPECT_NEAR(lo, (12 + c.bottom) * k + c.bottomPlan, kTol);
      EXPECT_NEAR(hi, (12 + c.top) * k + c.topPlan, kTol);
    }
  }
}

TEST_F(WallTrims, LowerTrimChoosesOneOfMouldingPanelingAndWainscot) {
  struct Case {
    int32_t lower;
    int16_t kind;
    int planeObjects;
  };
  const Case cases[] = {{1 | 4 | 0x800, 63, 1}, {4 | 0x800, 64, 3}, {0x800 | 0x10000 | 1, 63, 1}, {0x800, 132, 1}};
  Objex* wall = TrimWall({{0, 0}, {120, 0}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lower);
    Side(wall->firstPoint, 0)->lowerTrim() = c.lower;
    const PlaneObject* face = Face(wall, 0);
    EXPECT_EQ(CountList(face->attachments), c.planeObjects);
    EXPECT_EQ(static_cast<int>(TrimsOf(face, c.kind).size()), c.planeObjects);
  }
}

// Paneling on a 120-long face: the field, the rails and the stiles with their spacing.
TEST_F(WallTrims, PanelingFieldRailsAndStiles) {
  struct Case {
    int32_t lower;
    bool metric;
    float P;
    int rails;
    float railStep;
  };
  const float cm = ConvertCMToInches(1);
  const Case cases[] = {
      {4, false, 42, 3, 19},
      {4 | 0x400 | 0x80, false, 36, 3, 16},  // the first size bit in order wins
      {4 | 0x400, false, 60, 5, 14},
      {4 | 0x200, true, 120 * cm, 4, (120 * cm - 4) / 3},
  };
  Objex* wall = TrimWall({{0, 0}, {120, 0}});
  Poinz* p = wall->firstPoint;
  for (const Case& c : cases)
    for (int side : {0, 1}) {
      SCOPED_TRACE(testing::Message() << c.lower << " metric " << c.metric << " side " << side);
      doc.ds()->measureSystem = c.metric ? kMeasureMetric : 0;
      Side(p, side)->lowerTrim() = c.lower;
      const PlaneObject* face = Face(wall, side == 0 ? 0 : 2);
      EXPECT_EQ(Face(wall, side == 0 ? 2 : 0)->attachments, nullptr);
      const auto parts = TrimsOf(face, 64);
      ASSERT_EQ(parts.size(), 3u);
      const float faceZ = std::fabs(face->planes->vertices[0].z);
      auto out = [&](const Plane* q) { return std::fabs(q->vertices[0].z) - faceZ; };

      // Field: one quad 0.75 out, from 4 up to P - 4, field material.
      ASSERT_EQ(PlanesOf(parts[0]).size(), 1u);
      float lo = 0, hi = 0;
      HeightRange(parts[0]->planes, &lo, &hi);
      EXPECT_NEAR(lo, 4, kTol);
      EXPECT_NEAR(hi, c.P - 4, kTol);
      EXPECT_NEAR(out(parts[0]->planes), 0.75f, kTol);
      EXPECT_EQ(SlotOf(parts[0]), kTrimSlotField);

      // Rails: a front quad 1.9 out and its bottom and top closed to the wall line.
      const auto rails = PlanesOf(parts[1]);
      ASSERT_EQ(static_cast<int>(rails.size()), 3 * c.rails);
      EXPECT_EQ(SlotOf(parts[1]), kTrimSlotRail);
      for (int i = 0; i < c.rails; ++i) {
        const Plane* front = rails[3 * i];
        HeightRange(front, &lo, &hi);
        EXPECT_NEAR(lo, i * c.railStep, kTol) << i;
        EXPECT_NEAR(hi, i * c.railStep + 4, kTol) << i;
        EXPECT_NEAR(out(front), 1.9f, kTol);
        EXPECT_FALSE(ZeroNormal(front));
        for (int k = 1; k <= 2; ++k) {
          const Plane* cap = rails[3 * i + k];
          EXPECT_TRUE(ZeroNormal(cap));
          HeightRange(cap, &lo, &hi);
          EXPECT_NEAR(lo, i * c.railStep + (k == 1 ? 0 : 4), kTol);
          EXPECT_NEAR(hi, lo, kTol);  // level
        }
      }
      EXPECT_NEAR(lo, c.P, kTol);  // the top rail's top is the paneling's top

      // Stiles: six every 23.2 along the face from its end corner, 1.91 out, field material.
      const auto stiles = PlanesOf(parts[2]);
      ASSERT_EQ(stiles.size(), 18u);
      EXPECT_EQ(SlotOf(parts[2]), kTrimSlotField);
      const float endX = side == 0 ? 120 : 0, dir = side == 0 ? -1 : 1;
      for (int i = 0; i < 6; ++i) {
        const Plane* front = stiles[3 * i];
        float xLo = 1e9f, xHi = -1e9f;
        for (int32_t v = 0; v < 4; ++v)
          xLo = std::min(xLo, front->vertices[v].x), xHi = std::max(xHi, front->vertices[v].x);
        const float t0 = 23.2f * i, a = endX + dir * t0, b = endX + dir * (t0 + 4);
        EXPECT_NEAR(xLo, std::min(a, b), 1e-2) << i;
        EXPECT_NEAR(xHi, std::max(a, b), 1e-2) << i;
        HeightRange(front, &lo, &hi);
        EXPECT_NEAR(lo, 4, kTol);
        EXPECT_NEAR(hi, c.P - 4, kTol);
        EXPECT_NEAR(out(front), 1.91f, kTol);
        EXPECT_TRUE(ZeroNormal(stiles[3 * i + 1]) && ZeroNormal(stiles[3 * i + 2]));
      }
      Side(p, side)->lowerTrim() = 0;
    }
}

// Paneling called straight on a short, low face: two rails and two stiles at its ends.
TEST_F(WallTrims, LowPanelingAndShortFaceKeepTwoRailsAndTwoStiles) {
  struct Case {
    float P, L;
    float railTop, lastStile;
  };
  const Case cases[] = {{20, 20, 16, 16}, {28, 21.9f, 24, 17.9f}, {27, 22, 23, 18}, {40, 40, 18, 18}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.P << " " << c.L);
    TrimData* r = TestWallSide(0);
    PlaneObject* face = CreatePlaneObject();
    gCurPlaneObject = face;
    Plane plane;
    plane.normal[2] = 0.99f;
    const PlaneVertex A{0, 0, 0, 0, 0, 0}, B{c.L, 0, 0, 0, 0, 0};
    gPanelingHeight = c.P;
    // From B (x = L) toward A: the direction is pi.
    CreatePaneling(r, &plane, 3.14159265f, c.L, &A, &B, 96, 0, 0, 0, 64);
    gCurPlaneObject = nullptr;
    const auto parts = TrimsOf(face, 64);
    ASSERT_EQ(parts.size(), 3u);
    const auto rails = PlanesOf(parts[1]);
    const auto stiles = PlanesOf(parts[2]);
    if (c.P < 28) {
      ASSERT_EQ(rails.size(), 6u);
      float lo = 0, hi = 0;
      HeightRange(rails[3], &lo, &hi);
      EXPECT_NEAR(lo, c.railTop, kTol);
      EXPECT_NEAR(hi, c.P, kTol);
    }
    if (c.L < 22) {
      ASSERT_EQ(stiles.size(), 6u);
      float xLo = 1e9f;
      for (int32_t v = 0; v < 4; ++v) xLo = std::min(xLo, stiles[3]->vertices[v].x);
      EXPECT_NEAR(xLo, c.L - c.lastStile - 4, kTol);  // t measured from B toward A
      EXPECT_NEAR(xLo, 0, kTol);                      // the last one reaches A
    }
    // Every stile stands on the face.
    for (const Plane* s : stiles)
      for (int32_t v = 0; v < s->vertexCount; ++v) {
        EXPECT_GE(s->vertices[v].x, -kTol);
        EXPECT_LE(s->vertices[v].x, c.L + kTol);
      }
    DeletePlaneObject(face);
    free(r);
  }
}

// --- custom profiles ---

// An L-shaped profile 1.5 deep and 5 high, four points.
Objex* StepProfile() { return Profile({{0, 0}, {1.5f, 0}, {1.5f, 5}, {0, 5}}); }

// A swept quad runs along the segment; an end piece stays at one end.
bool Swept(const Plane* q) {
  if (q->vertexCount != 4 || q->next) return false;
  float xLo = 1e9f, xHi = -1e9f, zLo = 1e9f, zHi = -1e9f;
  for (int32_t v = 0; v < 4; ++v) {
    xLo = std::min(xLo, q->vertices[v].x), xHi = std::max(xHi, q->vertices[v].x);
    zLo = std::min(zLo, q->vertices[v].z), zHi = std::max(zHi, q->vertices[v].z);
  }
  return std::max(xHi - xLo, zHi - zLo) > 10;
}

struct CustomCount {
  int swept = 0, ends = 0;
};
CustomCount CountCustom(const PlaneObject* face) {
  CustomCount n;
  for (const PlaneObject* t : TrimsOf(face, 63)) {
    if (!t->planes) continue;
    if (Swept(t->planes)) ++n.swept;
    else ++n.ends;
  }
  return n;
}

// The face's bottom corner nearest a plan point.
PlaneVertex CornerNear(const PlaneObject* face, float x, float z) {
  const Plane* p = face->planes;
  PlaneVertex best = p->vertices[0];
  for (int32_t v = 0; v < p->vertexCount; ++v)
    if (p->vertices[v].y == 0 && std::hypot(p->vertices[v].x - x, p->vertices[v].z - z) <
                                     std::hypot(best.x - x, best.z - z))
      best = p->vertices[v];
  return best;
}

TEST_F(WallTrims, CustomProfilesOncePerSideWithEndPieces) {
  struct Case {
    bool lower, crown;
    int side;
  };
  const Case cases[] = {{true, false, 0}, {false, true, 0}, {true, true, 0}, {true, false, 1}, {true, true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lower << c.crown << " side " << c.side);
    Objex* wall = TrimWall({{0, 0}, {120, 0}});
    TrimData* r = Side(wall->firstPoint, c.side);
    if (c.lower) r->lowerTrim() = kTrimCustomProfile, r->lowerProfile() = StepProfile();
    if (c.crown) r->crownTrim() = kTrimCustomProfile, r->crownProfile() = StepProfile();
    const PlaneObject* face = Face(wall, c.side == 0 ? 0 : 2);
    EXPECT_EQ(Face(wall, c.side == 0 ? 2 : 0)->attachments, nullptr);
    const int profiles = c.lower + c.crown;
    const CustomCount n = CountCustom(face);
    EXPECT_EQ(n.swept, 3 * profiles);  // count - 1 faces each
    EXPECT_EQ(n.ends, 2 * profiles);
    EXPECT_EQ(CountList(face->attachments), 5 * profiles);
    const float faceZ = std::fabs(face->planes->vertices[0].z);
    float lowest = 1e9f, highest = -1e9f;
    for (const PlaneObject* t : TrimsOf(face, 63)) {
      const int slot = (-t->planes->vertices[0].y > 48) ? kTrimSlotCrown : kTrimSlotLower;
      EXPECT_EQ(SlotOf(t), slot);
      EXPECT_EQ(t->colorLinkA, &r->slotColors[slot]);
      EXPECT_EQ(t->textureLinkA, &r->slotTextureIDs[slot]);
      // Swept faces run along the wall (x), end pieces stand across it.
      const float* n = t->planes->normal;
      if (Swept(t->planes)) {
        EXPECT_NEAR(n[0], 0, 1e-6);
        EXPECT_GT(std::fabs(n[1]) + std::fabs(n[2]), 0.1f);
      } else {
        EXPECT_GT(std::fabs(n[0]), 0.1f);
        EXPECT_NEAR(n[1], 0, 1e-6);
        EXPECT_NEAR(n[2], 0, 1e-6);
      }
      EXPECT_EQ(t->trimRecordRef, c.side == 0 ? &wall->firstPoint->trim1 : &wall->firstPoint->trim2);
      for (int32_t v = 0; v < t->planes->vertexCount; ++v) {
        const PlaneVertex& x = t->planes->vertices[v];
        // Out of the face by the profile's depth, on the face's side.
        EXPECT_GE(std::fabs(x.z), faceZ - kTol);
        EXPECT_LE(std::fabs(x.z), faceZ + 1.5f + kTol);
        EXPECT_GT(x.z * face->planes->vertices[0].z, 0);
        lowest = std::min(lowest, -x.y), highest = std::max(highest, -x.y);
      }
    }
    // The base profile stands on the floor, the top profile hangs from the top of the wall.
    EXPECT_NEAR(lowest, c.lower ? 0 : 91, kTol);
    EXPECT_NEAR(highest, c.crown ? 96 : 5, kTol);
  }
}

// Custom profiles at every plan scale: the base profile stands on the floor depth and
// elevation, the top one hangs from the wall's height above them, all inches at the scale;
// the profile itself (5 high) is plan units.
TEST_F(WallTrims, CustomProfilesStandAtTheWallsHeightsAtEveryPlanScale) {
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float k = 72 / scale;
    Objex* wall = TrimWall({{0, 0}, {120, 0}});
    FloorDepthOf(wall) = 2;
    BaseElevationOf(wall->firstPoint) = 10;
    TrimData* r = Side(wall->firstPoint, 0);
    r->lowerTrim() = r->crownTrim() = kTrimCustomProfile;
    r->lowerProfile() = StepProfile();
    r->crownProfile() = StepProfile();
    float lowest = 1e9f, highest = -1e9f;
    for (const PlaneObject* t : TrimsOf(Face(wall, 0), 63))
      for (int32_t v = 0; v < t->planes->vertexCount; ++v)
        lowest = std::min(lowest, -t->planes->vertices[v].y), highest = std::max(highest, -t->planes->vertices[v].y);
    EXPECT_NEAR(lowest, 12 * k, kTol);
    EXPECT_NEAR(highest, (12 + 96) * k, kTol);
  }
}

// The swept faces' corners at one end of the segment: for each swept quad the two corners
// nearest the given plan point.
std::vector<std::pair<float, float>> JointCorners(const PlaneObject* face, float x, float z) {
  std::vector<std::pair<float, float>> out;
  for (const PlaneObject* t : TrimsOf(face, 63)) {
    const Plane* q = t->planes;
    if (!Swept(q)) continue;
    for (int32_t v = 0; v < 4; ++v)
      if (std::hypot(q->vertices[v].x - x, q->vertices[v].z - z) < 6)
        out.emplace_back(q->vertices[v].x, q->vertices[v].z);
  }
  return out;
}

TEST_F(WallTrims, CustomProfilesMitreWhereTheNeighbourIsTrimmed) {
  struct Case {
    int32_t neighbour;  // the second segment's lower trim word
    bool mitred;
  };
  const Case cases[] = {{kTrimCustomProfile, true}, {1, true}, {2 | 16, true}, {4, false}, {0x800, false}, {0, false}};
  for (const Case& c : cases)
    for (int side : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "neighbour " << c.neighbour << " side " << side);
      FreeScene();
      // (0,0) -> (120,0) -> (120,120): faces 0, 1 side 0; 3 (segment 1), 4 (segment 0) side 1.
      Objex* wall = TrimWall({{0, 0}, {120, 0}, {120, 120}});
      Poinz* p0 = wall->firstPoint;
      Poinz* p1 = p0->next;
      Side(p0, side)->lowerTrim() = kTrimCustomProfile;
      Side(p0, side)->lowerProfile() = StepProfile();
      Side(p1, side)->lowerTrim() = c.neighbour;
      if (c.neighbour == kTrimCustomProfile) Side(p1, side)->lowerProfile() = StepProfile();
      const PlaneObject* first = Face(wall, side == 0 ? 0 : 4);
      const CustomCount n = CountCustom(first);
      EXPECT_EQ(n.swept, 3);
      EXPECT_EQ(n.ends, c.mitred ? 1 : 2);  // the wall's own end is always closed
      // At the joint the swept corners lie on the mitre: as far out of one wall line as out of
      // the other (the joint's corner of the face is at (120 -/+ 2, +/- 2)).
      const PlaneVertex corner = CornerNear(first, 120, 0);
      const float cx = corner.x, cz = corner.z;
      EXPECT_NEAR(std::fabs(cx - 120), 2, kTol);
      const auto corners = JointCorners(first, 120, 0);
      ASSERT_EQ(corners.size(), 6u);
      for (auto [x, z] : corners) {
        if (c.mitred) {
          EXPECT_NEAR(std::fabs(x - cx), std::fabs(z - cz), kTol) << x << " " << z;
        } else {
          EXPECT_NEAR(x, cx, kTol);
        }
      }
      if (c.neighbour != kTrimCustomProfile) continue;
      // Both segments' sweeps meet corner to corner at the joint, and neither closes it.
      const PlaneObject* second = Face(wall, side == 0 ? 1 : 3);
      EXPECT_EQ(CountCustom(second).ends, 1);
      auto a = corners, b = JointCorners(second, 120, 0);
      ASSERT_EQ(b.size(), 6u);
      std::sort(a.begin(), a.end());
      std::sort(b.begin(), b.end());
      for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].first, b[i].first, 1e-2);
        EXPECT_NEAR(a[i].second, b[i].second, 1e-2);
      }
    }
}

TEST_F(WallTrims, ClosedWallWithCustomTrimsEverywhereHasNoEndPieces) {
  Objex* wall = TrimWall({{0, 0}, {120, 0}, {120, 120}, {0, 120}}, true);
  for (Poinz* p = wall->firstPoint; p; p = p->next) {
    Side(p, 0)->crownTrim() = kTrimCustomProfile;
    Side(p, 0)->crownProfile() = StepProfile();
  }
  for (int face = 0; face < 4; ++face) {
    SCOPED_TRACE(face);
    const CustomCount n = CountCustom(Face(wall, face));
    EXPECT_EQ(n.swept, 3);
    EXPECT_EQ(n.ends, 0);
  }
}

// The sweep called straight: the running v through the faces, and the inputs it needs.
TEST_F(WallTrims, SweepCarriesVFromFaceToFace) {
  Objex* wall = TrimWall({{0, 0}, {120, 0}});
  TrimData* r = Side(wall->firstPoint, 0);
  // Up 5 at 1.5 out, level back to the wall, down 5 (heights grow toward -y).
  const float profile[12] = {0, 0, 0, 1.5f, 0, 0, 1.5f, -5, 0, 0, -5, 0};
  const PlaneVertex A{0, 0, 2, 0, 0, 0}, B{120, 0, 2, 0, 0, 0};
  PlaneObject* face = CreatePlaneObject();
  gCurPlaneObject = face;
  BuildCustomTrimPlanesForWalls(r, &A, &B, profile, 2, 5, 0, wall->firstPoint, 0);
  BuildCustomTrimPlanesForWalls(nullptr, &A, &B, profile, 4, 5, 0, wall->firstPoint, 0);
  BuildCustomTrimPlanesForWalls(r, &A, &B, profile, 4, 5, 0, nullptr, 0);
  BuildTrimEndPiece(r, &A, profile, 2, 5, 0);
  EXPECT_EQ(face->attachments, nullptr);
  BuildCustomTrimPlanesForWalls(r, &A, &B, profile, 4, 5, 1, wall->firstPoint, 0);
  gCurPlaneObject = nullptr;
  std::vector<const Plane*> swept;
  int ends = 0;
  for (const PlaneObject* t = face->attachments; t; t = t->next) {
    EXPECT_EQ(t->partType, 63);
    EXPECT_EQ(SlotOf(t), kTrimSlotCrown);
    if (Swept(t->planes)) swept.push_back(t->planes);
    else ++ends;
  }
  ASSERT_EQ(swept.size(), 3u);
  EXPECT_EQ(ends, 2);
  const float v0[3] = {0, 0, 1}, v1[3] = {-1, 1, 2};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    EXPECT_FLOAT_EQ(swept[k]->vertices[0].v, v0[k]);
    EXPECT_FLOAT_EQ(swept[k]->vertices[3].v, v0[k]);
    EXPECT_FLOAT_EQ(swept[k]->vertices[1].v, v1[k]);
    EXPECT_FLOAT_EQ(swept[k]->vertices[2].v, v1[k]);
    // Start corners at A, end corners at B, offset by the profile.
    EXPECT_NEAR(swept[k]->vertices[0].x, profile[3 * (k + 1)], kTol);
    EXPECT_NEAR(swept[k]->vertices[3].x, 120 + profile[3 * (k + 1)], kTol);
  }
  DeletePlaneObject(face);
}

// --- texture coordinates and profile placement ---

TEST_F(WallTrims, VCoordinatesBySlopeAndTextureLength) {
  struct Case {
    float length, step, start;
    float v03, v12;
  };
  const Case cases[] = {{10, 5, 0.25f, 0.25f, 0.75f}, {10, -5, 1, 1, 0.5f}, {10, 0, 0.3f, 0, 1}, {0, 5, 0.3f, 9, 9}};
  for (const Case& c : cases) {
    PlaneVertex v[4];
    for (PlaneVertex& x : v) x = PlaneVertex{0, 0, 0, 0, 0, 9};
    CalculateVCoordinates(c.length, c.step, c.start, v);
    EXPECT_FLOAT_EQ(v[0].v, c.v03);
    EXPECT_FLOAT_EQ(v[3].v, c.v03);
    EXPECT_FLOAT_EQ(v[1].v, c.v12);
    EXPECT_FLOAT_EQ(v[2].v, c.v12);
  }
}

TEST_F(WallTrims, FaceUVsFromThePlaneOfLeastExtent) {
  struct Case {
    PlaneVertex q[4];
    bool withV;
    float u[4], v[4];
  };
  const Case cases[] = {
      // Along x, upright (z flat): x/y.
      {{{0, 0, 1, 0, 0, 7}, {0, -4, 1, 0, 0, 7}, {8, -4, 1, 0, 0, 7}, {8, 0, 1, 0, 0, 7}}, true, {0, 0, 1, 1}, {1, 0, 0, 1}},
      // Level (y flat): x/z.
      {{{0, 2, 0, 0, 0, 7}, {0, 2, 4, 0, 0, 7}, {8, 2, 4, 0, 0, 7}, {8, 2, 0, 0, 0, 7}}, true, {0, 0, 1, 1}, {0, 1, 1, 0}},
      // At 45 degrees (equal x and z extents): v from the height.
      {{{0, 0, 0, 0, 0, 7}, {0, -4, 0, 0, 0, 7}, {6, -4, 6, 0, 0, 7}, {6, 0, 6, 0, 0, 7}}, true, {0, 0, 1, 1}, {1, 0, 0, 1}},
      // Without v: v untouched.
      {{{0, 0, 1, 0, 0, 7}, {0, -4, 1, 0, 0, 7}, {8, -4, 1, 0, 0, 7}, {8, 0, 1, 0, 0, 7}}, false, {0, 0, 1, 1}, {7, 7, 7, 7}},
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    SCOPED_TRACE(k);
    Case c = cases[k];
    PlaneObject po;
    SetWallTrimFaceUVCoords(&po, c.q, 4, 5, c.withV ? 1 : 0);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(c.q[i].u, c.u[i], 1e-6) << i;
      EXPECT_NEAR(c.q[i].v, c.v[i], 1e-6) << i;
    }
    EXPECT_EQ(po.textureSizeA[0], po.textureSizeB[0]);
  }
}

TEST_F(WallTrims, ProfileMovesIntoTheFirstQuadrant) {
  Objex* profile = Profile({{-3, 7}, {2, -4}, {5, 1}});
  MoveTrimProfileToFirstQuadrant(profile);
  std::vector<std::pair<float, float>> got;
  for (Poinz* p = profile->firstPoint; p; p = p->next) got.emplace_back(p->position[0], p->position[2]);
  const std::vector<std::pair<float, float>> want = {{0, 11}, {5, 0}, {8, 5}};
  EXPECT_EQ(got, want);
  MoveTrimProfileToFirstQuadrant(nullptr);
  DeleteObj(profile);
}

}  // namespace

// The sweep called directly with the face's corners first (A = vertex 3, B = vertex 0), as the
// wall-face builder hands them: the same profile faces as the face build makes.
TEST_F(WallTrims, CustomProfilesSweptFromCornersFirst) {
  for (int side : {0, 1}) {
    SCOPED_TRACE(side);
    Objex* wall = TrimWall({{0, 0}, {120, 0}});
    const PlaneObject* face = Face(wall, side == 0 ? 0 : 2);
    ASSERT_EQ(face->attachments, nullptr);
    const PlaneVertex B = face->planes->vertices[0], A = face->planes->vertices[3];
    const float angle = std::atan2(A.z - B.z, A.x - B.x);
    TrimData* r = Side(wall->firstPoint, side);
    r->lowerTrim() = kTrimCustomProfile, r->lowerProfile() = StepProfile();

    PlaneObject* po = CreatePlaneObject();
    faces.push_back(po);
    gBase2DObject = gActual3DObject = wall;
    // Nothing without a plane object to hang the trims on, a record or a start point.
    ApplyCustomTrimToWall(&A, &B, angle, 0, 96, 0, static_cast<int16_t>(side), r, wall->firstPoint);
    gCurPlaneObject = po;
    ApplyCustomTrimToWall(&A, &B, angle, 0, 96, 0, static_cast<int16_t>(side), nullptr, wall->firstPoint);
    ApplyCustomTrimToWall(&A, &B, angle, 0, 96, 0, static_cast<int16_t>(side), r, nullptr);
    EXPECT_EQ(po->attachments, nullptr);
    ApplyCustomTrimToWall(&A, &B, angle, 0, 96, 0, static_cast<int16_t>(side), r, wall->firstPoint);
    gCurPlaneObject = nullptr;
    gBase2DObject = gActual3DObject = nullptr;

    const CustomCount n = CountCustom(po);
    EXPECT_EQ(n.swept, 3);
    EXPECT_EQ(n.ends, 2);
    float lowest = 1e9f, highest = -1e9f;
    for (const PlaneObject* t : TrimsOf(po, 63))
      for (int32_t v = 0; v < t->planes->vertexCount; ++v) {
        lowest = std::min(lowest, -t->planes->vertices[v].y), highest = std::max(highest, -t->planes->vertices[v].y);
        EXPECT_GT(t->planes->vertices[v].z * A.z, 0);
      }
    EXPECT_NEAR(lowest, 0, kTol);
    EXPECT_NEAR(highest, 5, kTol);
  }
}
