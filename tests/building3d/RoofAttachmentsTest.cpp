// Skylights and dormer cut-outs built into roof faces through the road: the holes in each
// face, the curbs (bands on the outline and on the widened outline, the ring between them)
// with their heights, materials and normals, on flat and pitched roofs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "building3d/RoofAttachments3D.h"
#include "building3d/Roofs3D.h"
#include "building3d/Skylights3D.h"
#include "model/Delete.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr RGBColor kTopColour{60000, 1000, 2000};
constexpr RGBColor kBottomColour{3000, 4000, 50000};

void ViewBounds(int32_t* w, int32_t* h) { *w = *h = 64; }
bool Visible() { return true; }

struct V3 {
  float x, y, z;
};

// The plane objects of the scene after a build: the holes (children of the faces, with the
// face they are cut into) and the curb faces hung on the faces, by part type, in scene order.
struct Built {
  std::vector<std::pair<PlaneObject*, PlaneObject*>> holes;  // (face, hole)
  std::map<int, std::vector<PlaneObject*>> trims;
  int trimCount() const {
    int n = 0;
    for (const auto& [type, list] : trims) n += static_cast<int>(list.size());
    return n;
  }
};

struct RoofHoles : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  LiveViewHost savedHost = gLiveViewHost;

  RoofHoles() {
    doc.ds()->zoomFactor = 1;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    gLiveViewHost.viewBounds = ViewBounds;
    gLiveViewHost.isVisible = Visible;
    gRenderOnShow = gForceRenderObjectNow = gEnableBackgroundRendering = 0;
    FreeScene();
  }
  ~RoofHoles() override {
    FreeScene();
    gLiveViewHost = savedHost;
    gRenderOnShow = gForceRenderObjectNow = 0;
  }

  // A flat (pitch 0) or pitched roof panel over (0, 0)-(200, 200): its slab's underside lies
  // at y 0 at the anchored corner, the top 12 units above.
  Objex* panel(float pitch = 0) {
    Objex* p = doc.addObject(kObjRoofPanel, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
    p->width = pitch;
    Update3DRoofPanel(p);
    return p;
  }

  // A gable roof of pitch 6 over (0, 0)-(240, 120): plane 11 over z 0..60, plane 10 over 60..120.
  Objex* gable() {
    Objex* r = doc.addObject(kObjRoof, true, {{0, 0}, {240, 0}, {240, 120}, {0, 120}});
    r->width = 6;
    r->textureID = 2;
    Update3DRoof(r);
    return r;
  }

  static RoofAttachmentData* NewRecord(int16_t ownerType, int16_t subtype, int32_t panelID) {
    auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    r->ownerType = ownerType;
    r->subtype = subtype;
    r->width() = 40;
    r->height() = 20;
    r->trimWidth() = 6;
    r->angle() = 90;
    r->panelID = panelID;
    r->slots[0] = TrimSlot{0, 0, 100, 100, kTopColour, nullptr};
    r->slots[1] = TrimSlot{0, 2218, 64, 32, kBottomColour, nullptr};
    return r;
  }

  // A skylight of the kind centred on (x, z), 40 by 20, its points on the roof's plane.
  Objex* skylight(Objex* roof, int16_t kind, float x, float z, int32_t panelID = 0) {
    RoofAttachmentData* r = NewRecord(kObjSkylight, kind, panelID);
    Objex* s = CreateObject(kObjSkylight, 1, 1, &kWhite, &kWhite, 1, 6, 0, nullptr, nullptr, nullptr, roof, roof->layer,
                            r);
    r->object() = s;
    const std::vector<float> outline = SkylightOutline(kind, x, z, 1, r);
    CreateSkylightPoints(s, roof, outline.data(), static_cast<int32_t>(outline.size() / 3), x, z, 90);
    AppendChildToObject(s, roof);
    return s;
  }

  // A closed outline object of `type` through the plan points at height 0.
  Objex* outline(int16_t type, std::initializer_list<std::pair<float, float>> pts) {
    Objex* o = CreateObject(type, 1, 1, &kWhite, &kWhite, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
    for (auto [x, z] : pts) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    return o;
  }

  // A custom skylight whose built parts are the given outlines (type 61) and one filler plane.
  Objex* customSkylight(Objex* roof, std::initializer_list<Objex*> outlines) {
    RoofAttachmentData* r = NewRecord(kObjSkylight, kSkylightCustom, 0);
    Objex* s = CreateObject(kObjSkylight, 1, 1, &kWhite, &kWhite, 1, 6, 0, nullptr, nullptr, nullptr, roof, roof->layer,
                            r);
    r->object() = s;
    Objex* filler = outline(kObjFrameFace, {{0, 0}, {10, 0}, {10, 10}});
    Objex** tail = &r->parts;
    for (Objex* o : outlines) {
      *tail = o;
      tail = &o->next;
    }
    *tail = filler;
    for (Objex* o = r->parts; o; o = o->next) o->prev = nullptr;
    AppendChildToObject(s, roof);
    return s;
  }

  // A dormer cut-out through the plan points, on the plane (a roof plane or a panel).
  Objex* dormer(Objex* roof, Objex* plane, std::initializer_list<std::pair<float, float>> pts, int32_t panelID,
                bool withData) {
    Objex* c = outline(kObjDormerCutout, pts);
    if (withData) {
      RoofAttachmentData* r = NewRecord(kObjDormerCutout, 0, panelID);
      r->object() = c;
      c->typeData = r;
    }
    const float* params = RoofAttachmentPlane(plane);
    for (Poinz* p = c->firstPoint; p; p = p->next)
      p->position[1] = RoofPlaneHeightAt(params, p->position[0], p->position[2]) - params[4];
    AppendChildToObject(c, roof);
    return c;
  }

  static Built Build(Objex* roof) {
    FreeScene();
    building3d::RenderEntireObject(roof);
    Built b;
    for (PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      for (PlaneObject* c = po->children; c; c = c->next) b.holes.emplace_back(po, c);
      if (po->partType >= 1 && po->partType <= 6) b.trims[po->partType].push_back(po);
      for (PlaneObject* a = po->attachments; a; a = a->next)
        if (a->partType >= 1 && a->partType <= 6) b.trims[a->partType].push_back(a);
    }
    return b;
  }

  static std::vector<V3> Corners(const PlaneObject* po) {
    std::vector<V3> out;
    for (const Plane* p = po->planes; p; p = p->next)
      for (int32_t i = 0; i < p->vertexCount; ++i) out.push_back({p->vertices[i].x, p->vertices[i].y, p->vertices[i].z});
    return out;
  }
};

void ExpectQuad(const PlaneObject* po, std::initializer_list<V3> expected) {
  ASSERT_NE(po->planes, nullptr);
  const Plane* plane = po->planes;
  ASSERT_EQ(plane->vertexCount, static_cast<int32_t>(expected.size()));
  int i = 0;
  for (const V3& e : expected) {
    EXPECT_NEAR(plane->vertices[i].x, e.x, 1e-3) << "corner " << i;
    EXPECT_NEAR(plane->vertices[i].y, e.y, 1e-3) << "corner " << i;
    EXPECT_NEAR(plane->vertices[i].z, e.z, 1e-3) << "corner " << i;
    ++i;
  }
  // The normal stands on both edges from the first corner.
  const PlaneVertex* v = plane->vertices;
  const float n[3] = {plane->normal[0], plane->normal[1], plane->normal[2]};
  EXPECT_GT(std::fabs(n[0]) + std::fabs(n[1]) + std::fabs(n[2]), 0.5f);
  for (int k : {1, 3}) {
    const float e[3] = {v[k].x - v[0].x, v[k].y - v[0].y, v[k].z - v[0].z};
    EXPECT_NEAR(n[0] * e[0] + n[1] * e[1] + n[2] * e[2], 0, 1e-3) << "edge to corner " << k;
  }
}

TEST_F(RoofHoles, RectangularSkylightOnAFlatPanel) {
  Objex* p = panel();
  Objex* s = skylight(p, kSkylightRectangular, 100, 100);  // (80, 90)-(120, 110)
  auto* r = static_cast<RoofAttachmentData*>(s->typeData);
  const Built b = Build(p);

  // One hole per face of the slab: the underside at the outline, the top 12 units higher.
  ASSERT_EQ(b.holes.size(), 2u);
  std::map<float, PlaneObject*> holeByHeight;
  for (auto [face, hole] : b.holes) {
    EXPECT_EQ(hole->partType, kPartSkylightHole);
    EXPECT_EQ(hole->base2DObject, p);
    EXPECT_EQ(hole->sourceObject, p);
    EXPECT_EQ(hole->actual3DObject, p);
    for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(hole->planes->normal[k], face->planes->normal[k]);
    holeByHeight[hole->planes->vertices[0].y] = hole;
  }
  ASSERT_EQ(holeByHeight.size(), 2u);
  ExpectQuad(holeByHeight.at(0.0f), {{80, 0, 90}, {120, 0, 90}, {120, 0, 110}, {80, 0, 110}});
  ExpectQuad(holeByHeight.at(-12.0f), {{80, -12, 90}, {120, -12, 90}, {120, -12, 110}, {80, -12, 110}});

  // Each curb: 4 bands on the outline, 4 on the outline widened by 6, 4 ring faces.
  ASSERT_EQ(b.trims.at(kPartSkylightTopBand).size(), 8u);
  ASSERT_EQ(b.trims.at(kPartSkylightTopRing).size(), 4u);
  ASSERT_EQ(b.trims.at(kPartSkylightBottomBand).size(), 8u);
  ASSERT_EQ(b.trims.at(kPartSkylightBottomRing).size(), 4u);
  EXPECT_EQ(b.trimCount(), 24);

  const auto& top = b.trims.at(kPartSkylightTopBand);
  ExpectQuad(top[0], {{80, -12, 90}, {120, -12, 90}, {120, -16, 90}, {80, -16, 90}});
  ExpectQuad(top[3], {{80, -12, 110}, {80, -12, 90}, {80, -16, 90}, {80, -16, 110}});
  ExpectQuad(top[4], {{74, -12, 84}, {126, -12, 84}, {126, -16, 84}, {74, -16, 84}});
  ExpectQuad(top[5], {{126, -12, 84}, {126, -12, 116}, {126, -16, 116}, {126, -16, 84}});
  ExpectQuad(b.trims.at(kPartSkylightTopRing)[0], {{74, -16, 84}, {126, -16, 84}, {120, -16, 90}, {80, -16, 90}});
  const auto& bottom = b.trims.at(kPartSkylightBottomBand);
  ExpectQuad(bottom[1], {{120, -12, 90}, {120, -12, 110}, {120, 2, 110}, {120, 2, 90}});
  ExpectQuad(bottom[6], {{126, -12, 116}, {74, -12, 116}, {74, 2, 116}, {126, 2, 116}});
  ExpectQuad(b.trims.at(kPartSkylightBottomRing)[2], {{126, 2, 116}, {74, 2, 116}, {80, 2, 110}, {120, 2, 110}});
  // The ring lies flat: its normal is vertical.
  const Plane* ring = b.trims.at(kPartSkylightTopRing)[0]->planes;
  EXPECT_NEAR(ring->normal[0], 0, 1e-6);
  EXPECT_NEAR(ring->normal[2], 0, 1e-6);

  // Top faces take slot 0, bottom faces slot 1, linked back to the record; all report the
  // skylight as their part.
  for (int type : {kPartSkylightTopBand, kPartSkylightTopRing, kPartSkylightBottomBand, kPartSkylightBottomRing}) {
    const bool isTop = type == kPartSkylightTopBand || type == kPartSkylightTopRing;
    TrimSlot& slot = r->slots[isTop ? 0 : 1];
    for (const PlaneObject* po : b.trims.at(type)) {
      EXPECT_EQ(po->textureIdA, slot.textureID);
      EXPECT_EQ(po->textureIdB, slot.textureID);
      EXPECT_EQ(po->textureScaleA[0], slot.textureWidth);
      EXPECT_EQ(po->textureScaleB[1], slot.textureHeight);
      EXPECT_EQ(po->colorA.red, slot.color.red);
      EXPECT_EQ(po->colorB.blue, slot.color.blue);
      EXPECT_EQ(po->textureLinkA, &slot.textureID);
      EXPECT_EQ(po->colorLinkB, &slot.color);
      EXPECT_EQ(po->scaleLinkA, &slot.textureWidth);
      EXPECT_EQ(po->actual3DObject, s);
      EXPECT_EQ(po->actual3DType, kObjSkylight);
      EXPECT_EQ(po->base2DObject, p);
    }
  }
  EXPECT_EQ(gCurPlaneObject, nullptr);
}

// Outline points are appended after any the skylight already holds, and counted with them.
TEST_F(RoofHoles, SkylightPointsAreAppendedAndCounted) {
  Objex* p = panel();
  Objex* s = skylight(p, kSkylightRectangular, 100, 100);
  const std::vector<float> more = SkylightOutline(kSkylightRectangular, 60, 60, 1, static_cast<RoofAttachmentData*>(s->typeData));
  CreateSkylightPoints(s, p, more.data(), 4, 60, 60, 90);
  int n = 0;
  for (const Poinz* q = s->firstPoint; q; q = q->next) ++n;
  EXPECT_EQ(n, 8);
  EXPECT_EQ(s->pointCount, 8);
  EXPECT_FLOAT_EQ(s->firstPoint->position[0], 80.0f);
}

TEST_F(RoofHoles, EveryStandardStyleGetsAHolePerFaceAndThreeCurbFacesPerEdge) {
  const struct {
    int16_t kind;
    size_t points;
  } kCases[] = {{kSkylightRectangular, 4}, {kSkylightOctagonal, 8}, {kSkylightElliptical, 36}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.kind);
    Objex* p = panel();
    Objex* s = skylight(p, c.kind, 100, 100);
    const Built b = Build(p);
    ASSERT_EQ(b.holes.size(), 2u);
    // Every hole corner is an outline point, on the underside or 12 above it.
    for (auto [face, hole] : b.holes) {
      const std::vector<V3> corners = Corners(hole);
      ASSERT_FALSE(corners.empty());
      const float y = corners[0].y;
      EXPECT_TRUE(y == 0.0f || y == -12.0f) << y;
      for (const V3& v : corners) {
        EXPECT_EQ(v.y, y);
        bool onOutline = false;
        for (const Poinz* q = s->firstPoint; q; q = q->next)
          onOutline |= std::fabs(q->position[0] - v.x) < 1e-3 && std::fabs(q->position[2] - v.z) < 1e-3;
        EXPECT_TRUE(onOutline) << v.x << ", " << v.z;
      }
    }
    EXPECT_EQ(b.trims.at(kPartSkylightTopBand).size(), 2 * c.points);
    EXPECT_EQ(b.trims.at(kPartSkylightTopRing).size(), c.points);
    EXPECT_EQ(b.trims.at(kPartSkylightBottomBand).size(), 2 * c.points);
    EXPECT_EQ(b.trims.at(kPartSkylightBottomRing).size(), c.points);
    // The widened outline lies outside the outline: its band corners are farther from the middle.
    const auto& bands = b.trims.at(kPartSkylightTopBand);
    const std::vector<V3> in = Corners(bands[0]), out = Corners(bands[c.points]);
    auto reach = [](const V3& v) { return std::hypot(v.x - 100, (v.z - 100) * 2); };
    EXPECT_GT(reach(out[0]), reach(in[0]) + 5);
    FreeScene();
    UnlinkObject(p);
    DeleteObj(p);
  }
}

TEST_F(RoofHoles, CustomSkylightCutsEachOutlinePartAndSkipsFillers) {
  Objex* p = panel();
  customSkylight(p, {outline(kObjSkylightOutline, {{40, 40}, {60, 40}, {60, 60}, {40, 60}}),
                     // Listed the other way round: still widened outward.
                     outline(kObjSkylightOutline, {{100, 40}, {100, 70}, {130, 70}, {130, 40}})});
  const Built b = Build(p);
  ASSERT_EQ(b.holes.size(), 4u);  // two outlines on two faces
  for (auto [face, hole] : b.holes) EXPECT_EQ(hole->partType, kPartSkylightHole);
  EXPECT_EQ(b.trims.at(kPartSkylightTopBand).size(), 16u);
  EXPECT_EQ(b.trims.at(kPartSkylightTopRing).size(), 8u);
  EXPECT_EQ(b.trims.at(kPartSkylightBottomBand).size(), 16u);
  EXPECT_EQ(b.trims.at(kPartSkylightBottomRing).size(), 8u);
  // The second outline's curb is widened around that outline, not the skylight's points.
  ExpectQuad(b.trims.at(kPartSkylightTopBand)[12], {{94, -12, 34}, {94, -12, 76}, {94, -16, 76}, {94, -16, 34}});
  ExpectQuad(b.trims.at(kPartSkylightTopRing)[4], {{94, -16, 34}, {94, -16, 76}, {100, -16, 70}, {100, -16, 40}});

  // Without outline parts: no hole and no curb.
  Objex* q = panel();
  customSkylight(q, {});
  const Built none = Build(q);
  EXPECT_TRUE(none.holes.empty());
  EXPECT_EQ(none.trimCount(), 0);
}

TEST_F(RoofHoles, DormerCutoutsOnAPanelWithAndWithoutTypeData) {
  Objex* p = panel();
  dormer(p, p, {{20, 20}, {60, 20}, {60, 50}, {20, 50}}, 0, true);
  dormer(p, p, {{120, 120}, {160, 120}, {160, 160}}, 0, false);
  // A skylight without type data is left alone.
  Objex* bare = outline(kObjSkylight, {{150, 20}, {180, 20}, {180, 40}, {150, 40}});
  AppendChildToObject(bare, p);
  const Built b = Build(p);
  ASSERT_EQ(b.holes.size(), 4u);
  int triangle = 0;
  for (auto [face, hole] : b.holes) {
    EXPECT_EQ(hole->partType, kPartDormerHole);
    triangle += Corners(hole).size() == 3;
  }
  EXPECT_EQ(triangle, 2);
  // Trims only on the underside (side 0) and only for the cut-out with type data: white, part 6.
  ASSERT_EQ(b.trimCount(), 4);
  const auto& bands = b.trims.at(kPartDormerTrim);
  ExpectQuad(bands[0], {{20, 0, 20}, {60, 0, 20}, {60, -12, 20}, {20, -12, 20}});
  ExpectQuad(bands[3], {{20, 0, 50}, {20, 0, 20}, {20, -12, 20}, {20, -12, 50}});
  for (const PlaneObject* po : bands) {
    EXPECT_EQ(po->colorA.green, 65535);
    EXPECT_EQ(po->colorB.red, 65535);
    EXPECT_EQ(po->textureIdA, 0);
    EXPECT_EQ(po->textureLinkA, nullptr);
  }
}

TEST_F(RoofHoles, GableRoofCarvesOnlyTheOwnerPlaneAndCurbsFollowTheSlope) {
  Objex* r = gable();
  Objex* plane10 = FindSkylightOwnerPanel(skylight(r, kSkylightRectangular, 120, 90, 10), r);
  ASSERT_NE(plane10, nullptr);
  skylight(r, kSkylightRectangular, 60, 30, 99);  // owner plane does not exist
  Objex* plane11 = nullptr;
  for (Objex* part = static_cast<Objex*>(r->typeData); part; part = part->next)
    if (part->type == kObjRoofPlane && part->subtype == 11) plane11 = part;
  ASSERT_NE(plane11, nullptr);
  dormer(r, plane11, {{150, 20}, {190, 20}, {190, 40}, {150, 40}}, 11, true);
  const Built b = Build(r);

  // Two holes per attachment, each in a face of its own plane.
  ASSERT_EQ(b.holes.size(), 4u);
  int skylightHoles = 0, dormerHoles = 0;
  for (auto [face, hole] : b.holes) {
    if (hole->partType == kPartSkylightHole) {
      ++skylightHoles;
      for (const V3& v : Corners(hole)) EXPECT_GT(v.z, 60);
    } else {
      ++dormerHoles;
      EXPECT_EQ(hole->partType, kPartDormerHole);
      for (const V3& v : Corners(hole)) EXPECT_LT(v.z, 60);
    }
  }
  EXPECT_EQ(skylightHoles, 2);
  EXPECT_EQ(dormerHoles, 2);
  EXPECT_EQ(b.trims.at(kPartSkylightTopBand).size(), 8u);
  EXPECT_EQ(b.trims.at(kPartSkylightBottomRing).size(), 4u);
  EXPECT_EQ(b.trims.at(kPartDormerTrim).size(), 4u);

  // The widened outline's points sit on the roof's plane (the skylight's points lie 12 below
  // the slope, as its own outline does), so its bands rise with the roof and are not level.
  const auto& top = b.trims.at(kPartSkylightTopBand);
  for (size_t i = 4; i < 8; ++i) {
    const Plane* band = top[i]->planes;
    for (int k = 0; k < 2; ++k) {
      const PlaneVertex& v = band->vertices[k];
      EXPECT_NEAR(v.y, RoofPlaneY(plane10, v.x, v.z), 1e-2) << i << "/" << k;
      EXPECT_NEAR(band->vertices[3 - k].y, v.y - 4, 1e-2);
    }
  }
  const Plane* side = top[5]->planes;  // along the slope, from z 74 to z 106
  EXPECT_GT(std::fabs(side->vertices[0].y - side->vertices[1].y), 10);
}

// The curb face routine on its own: it always takes the vertex array over.
TEST_F(RoofHoles, TrimPlaneNeedsDataAFaceAndVertices) {
  Objex* p = panel();
  RoofAttachmentData* r = NewRecord(kObjSkylight, kSkylightRectangular, 0);
  auto quad = [] { return Vertices({{0, 0, 0}, {10, 0, 0}, {10, -4, 0}, {0, -4, 0}}); };
  gBase2DObject = p;
  // No face being built, no data, no count: nothing, and the vertices are freed.
  EXPECT_EQ(CreateRoofAttachmentTrimPlane(r, quad(), 4, 1, 1), nullptr);
  PlaneObject* face = CreatePlaneObject();
  AppendPlane(Vertices({{0, 0, 0}, {10, 0, 0}, {10, 0, 10}}), 3, 0, 0.99f, 0, face);
  AppendPlaneObject(face, p);
  gCurPlaneObject = face;
  EXPECT_EQ(CreateRoofAttachmentTrimPlane(nullptr, quad(), 4, 1, 1), nullptr);
  EXPECT_EQ(CreateRoofAttachmentTrimPlane(r, quad(), 0, 1, 1), nullptr);
  EXPECT_EQ(CreateRoofAttachmentTrimPlane(r, nullptr, 4, 1, 1), nullptr);
  EXPECT_EQ(CountPlaneObjects(gGLPlaneObjects), 1);

  // A face made: normal of its first three corners (the quad stands in the x/y plane).
  PlaneObject* po = CreateRoofAttachmentTrimPlane(r, quad(), 4, 0, 1);
  ASSERT_NE(po, nullptr);
  EXPECT_EQ(po->partType, kPartSkylightBottomBand);
  EXPECT_EQ(po->sourceObject, p);
  EXPECT_EQ(po->planes->normal[0], 0);
  EXPECT_EQ(po->planes->normal[1], 0);
  EXPECT_NE(po->planes->normal[2], 0);
  r->ownerType = kObjDormerCutout;
  PlaneObject* dormerFace = CreateRoofAttachmentTrimPlane(r, quad(), 4, 1, 1);
  ASSERT_NE(dormerFace, nullptr);
  EXPECT_EQ(dormerFace->partType, kPartDormerTrim);
  EXPECT_EQ(dormerFace->colorA.blue, 65535);
  // Both hang on the face as its trims; the scene keeps only the face.
  EXPECT_EQ(CountPlaneObjects(gGLPlaneObjects), 1);
  EXPECT_EQ(face->attachments, po);
  EXPECT_EQ(po->next, dormerFace);
  EXPECT_EQ(dormerFace->next, nullptr);
  free(r);

  // Carving without a face being built, or an outline without points, makes no hole.
  Objex* none = outline(kObjDormerCutout, {});
  CarveRoofAttachment(none, face->planes, 0, kPartDormerHole);
  gCurPlaneObject = nullptr;
  Objex* three = outline(kObjDormerCutout, {{0, 0}, {10, 0}, {10, 10}});
  CarveRoofAttachment(three, face->planes, 0, kPartDormerHole);
  EXPECT_EQ(face->children, nullptr);
  // Only the first pointCount points of the chain are the outline.
  three->pointCount = 2;
  gCurPlaneObject = face;
  CarveRoofAttachment(three, face->planes, 1, kPartDormerHole);
  ASSERT_NE(face->children, nullptr);
  EXPECT_EQ(face->children->planes->vertexCount, 2);
  EXPECT_EQ(face->children->planes->vertices[1].y, -12);
  three->pointCount = 3;
  DeleteObj(none);
  DeleteObj(three);
}

}  // namespace
