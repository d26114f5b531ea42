// Every object kind a design file can hold, those no tool makes and codes no kind has,
// rebuilt and put into the scene as a bare outline without its kind's own record: the
// surfaces it gives lie near it, every corner is a number, and the object is left as it was.
#include <gtest/gtest.h>

#include <cmath>

#include "EveryObjectKind.h"
#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "building3d/RenderRoad.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/PlanarPolygons.h"
#include "model/Services.h"

namespace {

constexpr auto& kKinds = kEveryObjectKind;

bool sShown = true;
void Bounds64(int32_t* w, int32_t* h) { *w = *h = 64; }
bool Shown() { return sShown; }

struct EveryKind3D : SceneTest {
  LiveViewHost savedHost = gLiveViewHost;
  EveryKind3D() {
    gLiveViewHost.viewBounds = Bounds64;
    gLiveViewHost.isVisible = Shown;
    gRenderOnShow = gForceRenderObjectNow = gEnableBackgroundRendering = 0;
  }
  ~EveryKind3D() override { gLiveViewHost = savedHost; }
};

}  // namespace

TEST_F(EveryKind3D, EachKindBuildsFiniteSurfacesNearItself) {
  for (const int16_t kind : kKinds) {
    for (const bool closed : {true, false}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << (closed ? ", closed" : ", open"));
      Objex* o = doc.addObject(kind, closed, {{20, 10}, {120, 10}, {120, 70}, {20, 70}});
      o->levels = 1;
      UpdateObjectBounds(o);
      RebuildObject(o, kRebuildLot | kRebuildExcavation);
      RenderEntireObject(o);
      for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next)
        for (const Plane* p = po->planes; p; p = p->next)
          for (int32_t i = 0; i < p->vertexCount; ++i) {
            const PlaneVertex& v = p->vertices[i];
            ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << po->partType;
            // Paths and edgings reach out some way from their line, roofs rise above it;
            // nothing lands far off.
            EXPECT_TRUE(v.x > -50 && v.x < 190 && v.z > -60 && v.z < 140 && std::fabs(v.y) < 300)
                << po->partType << ": " << v.x << ", " << v.y << ", " << v.z;
          }
      // The plan object comes back as it was: its kind (some are retyped while they are put
      // into the scene) and its outline.
      EXPECT_EQ(o->type, kind);
      const float outline[4][2] = {{20, 10}, {120, 10}, {120, 70}, {20, 70}};
      int i = 0;
      for (const Poinz* p = o->firstPoint; p && i < 4; p = p->next, ++i) {
        EXPECT_EQ(p->position[0], outline[i][0]) << i;
        EXPECT_EQ(p->position[2], outline[i][1]) << i;
      }
      DeleteObj(o);
      FreeScene();
    }
  }
}
