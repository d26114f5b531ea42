// Custom skylight parts: the definition outlines scaled to the record's size, centred and
// turned, with their filler planes; a definition without width builds nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "ModelInvariants.h"
#include "SkylightBoundsCheck.h"
#include "TestDocument.h"
#include "building3d/RoofPanels3D.h"
#include "building3d/Skylights3D.h"
#include "model/Attachments.h"
#include "model/Delete.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"

namespace {

struct CustomSkylights : ::testing::Test {
  TestDocument doc;
  ViewStateGuard view;
  Objex* sky = nullptr;
  RoofAttachmentData* rec = nullptr;
  CustomSkylights() {
    doc.ds()->zoomFactor = 1;
    gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
    rec = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
    rec->ownerType = kObjSkylight;
    rec->subtype = kSkylightCustom;
    rec->angle() = 90;
    const RGBColor white{65535, 65535, 65535};
    sky = CreateObject(kObjSkylight, 1, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr, rec);
    rec->object() = sky;
  }
  ~CustomSkylights() override {
    UnlinkObject(sky);
    DeleteObj(sky);
  }
  // A definition outline (type 61) of the rectangle (x0, z0)-(x1, z1).
  void defineOutline(float x0, float z0, float x1, float z1) {
    const RGBColor black{};
    Objex* o = CreateObject(kObjSkylightOutline, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
    for (auto [x, z] : {std::pair{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
    o->pointCount = 4;
    o->next = rec->defOutlines();
    rec->defOutlines() = o;
  }
  void extent(const Objex* o, float* w, float* d, float* cx, float* cz) {
    float x0 = 1e9f, x1 = -1e9f, z0 = 1e9f, z1 = -1e9f;
    for (const Poinz* p = o->firstPoint; p; p = p->next) {
      x0 = std::fmin(x0, p->position[0]), x1 = std::fmax(x1, p->position[0]);
      z0 = std::fmin(z0, p->position[2]), z1 = std::fmax(z1, p->position[2]);
    }
    *w = x1 - x0, *d = z1 - z0, *cx = (x0 + x1) / 2, *cz = (z0 + z1) / 2;
  }
  int partCount() {
    int n = 0;
    for (Objex* p = rec->parts; p; p = p->next) ++n;
    return n;
  }
};

TEST_F(CustomSkylights, RecordSizeEqualToTheDefinitionKeepsItsSize) {
  defineOutline(0, 0, 20, 10);
  rec->width() = 20, rec->height() = 10;
  CreateCustomSkylightSymbols(sky, 100, 50, 90);
  ASSERT_EQ(partCount(), 3);  // the outline and its two filler planes
  EXPECT_EQ(rec->parts->type, kObjSkylightOutline);
  EXPECT_EQ(rec->parts->next->type, kObjFrameFace);
  EXPECT_EQ(rec->parts->next->subtype, 1);
  EXPECT_EQ(rec->parts->next->next->subtype, 0);
  EXPECT_FLOAT_EQ(rec->parts->next->next->firstPoint->position[1], 12);  // kind 0 lowered by 12
  float w = 0, d = 0, cx = 0, cz = 0;
  extent(rec->parts, &w, &d, &cx, &cz);
  EXPECT_NEAR(w, 20, 1e-3);
  EXPECT_NEAR(d, 10, 1e-3);
  EXPECT_NEAR(cx, 100, 1e-3);
  EXPECT_NEAR(cz, 50, 1e-3);

  // Twice the width, turned a quarter.
  rec->width() = 40;
  CreateCustomSkylightSymbols(sky, 100, 50, 180);
  EXPECT_EQ(partCount(), 3);
  extent(rec->parts, &w, &d, &cx, &cz);
  EXPECT_NEAR(w, 10, 1e-2);
  EXPECT_NEAR(d, 40, 1e-2);

  FloatRect rect{};
  Float3DRect box{};
  GetCustomSkylightBounds(sky, &rect, &box);
  EXPECT_NEAR(rect.floatRight - rect.floatLeft, 10, 1e-2);
  CreateCustomSkylightBoundsPoints(sky, &box);
  EXPECT_EQ(sky->pointCount, 4);
  EXPECT_NEAR(sky->firstPoint->position[0], rect.floatLeft, 1e-4);
  EXPECT_NEAR(sky->firstPoint->next->next->position[2], rect.floatBottom, 1e-4);
}

TEST_F(CustomSkylights, BoundsPointsAreThePlanCornersOfTheBoxAtHeightZero) {
  Float3DRect box{};
  box.floatLeft = 10, box.floatRight = 30, box.floatBack = 5, box.floatFront = 25;
  box.floatTop = -40, box.floatBottom = -8;  // heights play no part
  CreateCustomSkylightBoundsPoints(sky, &box);
  ASSERT_EQ(sky->pointCount, 4);
  const float want[4][2] = {{10, 5}, {30, 5}, {30, 25}, {10, 25}};
  const Poinz* p = sky->firstPoint;
  for (const auto& w : want) {
    ASSERT_NE(p, nullptr);
    EXPECT_FLOAT_EQ(p->position[0], w[0]);
    EXPECT_FLOAT_EQ(p->position[1], 0);
    EXPECT_FLOAT_EQ(p->position[2], w[1]);
    p = p->next;
  }
  EXPECT_EQ(p, nullptr);
}

TEST_F(CustomSkylights, FrameBandIsScaledWithTheDefinition) {
  defineOutline(0, 0, 20, 10);
  const RGBColor black{};
  Objex* line = CreateObject(kObjSeparatorFace, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, line), line);
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, 20, 0, 5, 0, 0, 0, 0, 0, 0, line), line);
  line->pointCount = 2;
  line->width = 72;
  rec->defFrames() = line;
  // Twice the definition's depth: the band across the line doubles with it.
  rec->width() = 20, rec->height() = 20;
  CreateCustomSkylightSymbols(sky, 0, 0, 90);
  ASSERT_EQ(partCount(), 4);
  const Objex* band = rec->parts->next->next->next;
  float w = 0, d = 0, cx = 0, cz = 0;
  extent(band, &w, &d, &cx, &cz);
  EXPECT_NEAR(w, 20, 1e-2);
  EXPECT_NEAR(d, 2 * 72, 1e-2);  // the line weight, in plan units
  EXPECT_NEAR(cz, 0, 1e-2);
}

TEST_F(CustomSkylights, DefinitionWithoutWidthBuildsNothingAndKeepsTheOldParts) {
  defineOutline(0, 0, 20, 10);
  rec->width() = 20, rec->height() = 10;
  CreateCustomSkylightSymbols(sky, 0, 0, 90);
  Objex* before = rec->parts;
  ASSERT_NE(before, nullptr);
  // A definition of zero width.
  DeleteCustomSkylightSymbols(rec);
  EXPECT_EQ(rec->parts, nullptr);
  defineOutline(5, 0, 5, 10);
  CreateCustomSkylightSymbols(sky, 0, 0, 90);
  EXPECT_EQ(rec->parts, nullptr);
  // Without any definition the skylight keeps what it has.
  DeleteCustomSkylightSymbols(rec);
  defineOutline(0, 0, 20, 10);
  CreateCustomSkylightSymbols(sky, 0, 0, 90);
  Objex* kept = rec->parts;
  Objex* defs = rec->defOutlines();
  rec->defOutlines() = nullptr;
  CreateCustomSkylightSymbols(sky, 50, 50, 90);
  EXPECT_EQ(rec->parts, kept);
  rec->defOutlines() = defs;
}

TEST_F(CustomSkylights, RebuildingOneThatNoLongerFitsRemovesItAndCountsIt) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
  panel->width = 6;
  panel->params[0] = 270;
  Update3DRoofPanel(panel);
  // A second custom skylight, a child of the panel.
  auto* r = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  r->ownerType = kObjSkylight;
  r->subtype = kSkylightCustom;
  r->angle() = 90;
  r->width() = 20, r->height() = 10;
  const RGBColor white{65535, 65535, 65535};
  Objex* s = CreateObject(kObjSkylight, 1, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, panel, doc.first, r);
  r->object() = s;
  std::swap(rec->defOutlines(), r->defOutlines());
  defineOutline(0, 0, 20, 10);
  std::swap(rec->defOutlines(), r->defOutlines());
  CreateCustomSkylightSymbols(s, 50, 50, 90);
  Float3DRect box{};
  GetCustomSkylightBounds(s, nullptr, &box);
  CreateCustomSkylightBoundsPoints(s, &box);
  AppendChildToObject(s, panel);
  EXPECT_EQ(UpdateSkylightSymbolsLayer(doc.first), 0);  // still fits: kept, on the slab
  ASSERT_EQ(panel->firstChild->next, s);
  const float* plane = static_cast<Objex*>(panel->typeData)->params;
  const Poinz* p = r->parts->firstPoint;
  EXPECT_NEAR(p->position[1], RoofPlaneHeightAt(plane, p->position[0], p->position[2]) - plane[4], 1e-3);
  r->width() = 300;  // wider than the panel
  EXPECT_EQ(UpdateSkylightSymbolsAllLayers(), 1);
  EXPECT_EQ(panel->firstChild->next, nullptr);  // only the slope arrow is left
}

// On a slope falling diagonally, the corners of a diamond outline's box lie higher and lower
// on the plane than the diamond itself: the re-fit keeps the parts' extent as the bounds.
TEST_F(CustomSkylights, RefitBoundsAreThoseOfTheOutlinePartsNotOfTheCorners) {
  Objex* panel = doc.addObject(kObjRoofPanel, true, {{0, 0}, {200, 0}, {200, 200}, {0, 200}});
  panel->width = 6;
  panel->params[0] = 45;
  Update3DRoofPanel(panel);
  rec->defOutlines() = DiamondSkylightOutline();
  rec->width() = 20, rec->height() = 20;
  CreateCustomSkylightSymbols(sky, 100, 100, 90);
  Float3DRect box{};
  GetCustomSkylightBounds(sky, nullptr, &box);
  CreateCustomSkylightBoundsPoints(sky, &box);
  sky->parent = panel;
  AppendChildToObject(sky, panel);
  EXPECT_EQ(UpdateRoofAttachment(sky, panel), 0);
  ExpectBoundsAreTheOutlinePartsExtent(sky);
  UnlinkObject(sky);
  sky->parent = nullptr;
}

}  // namespace

namespace {

// A new skylight takes the document's default size, in inches, at the plan scale: a
// rectangle that wide and that long about its point, an octagon that wide.
TEST(SkylightOutlines, DefaultSizeTakesThePlanScale) {
  TestDocument doc;
  doc.ds()->skylightWidth = 24;
  doc.ds()->skylightHeight() = 36;
  for (const float scale : {24.0f, 48.0f, 96.0f}) {
    SCOPED_TRACE(testing::Message() << "plan scale " << scale);
    doc.ds()->planScale = scale;
    const float w = 24 * 72 / scale, h = 36 * 72 / scale;
    const std::vector<float> r = SkylightOutline(kSkylightRectangular, 100, 200, 0, nullptr);
    ASSERT_EQ(r.size(), 12u);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(r[3 * i], 100 + corners[i][0] * w / 2, 1e-3) << i;
      EXPECT_NEAR(r[3 * i + 2], 200 + corners[i][1] * h / 2, 1e-3) << i;
    }
    const std::vector<float> o = SkylightOutline(kSkylightOctagonal, 100, 200, 0, nullptr);
    ASSERT_EQ(o.size(), 24u);
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(std::hypot(o[3 * i] - 100, o[3 * i + 2] - 200), w / 2, 1e-3) << i;
  }
}

}  // namespace
