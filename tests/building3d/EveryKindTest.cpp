// Every object kind a design file can hold, those no tool makes and codes no kind has,
// rebuilt and put into the scene as a bare outline without its kind's own record: the
// surfaces it gives lie near it, every corner is a number, and the object is left as it was.
#include <gtest/gtest.h>

#include <cmath>

#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "building3d/RenderRoad.h"
#include "model/CommandWalkers.h"
#include "model/Delete.h"
#include "model/Grouping.h"
#include "model/PlanarPolygons.h"
#include "model/Services.h"

namespace {

constexpr int16_t kKinds[] = {
    kObjRect, kObjOval, kObjMultigon, kObjArc, kObjLine, kObjClosedPoly, kObjOpenPoly, kObjWallFace, kObjWallEdge,
    kObjWall, kObjFloor, kObjRoof, kObjSymbolPart3D, kObjDoor, kObjWindow, kObjAccessoryFace, kObjSeparatorFace,
    kObjFace, kObjPropertyLine, kObjPath, kObjPathSurface, kObjEdging, kObjFence, kObjFill, kObjGroundFill, kObjPlant,
    kObjDetail, kObjTopography, kObjSymbolPart2D, kObjRoofPlane, kObjRoofGablePart, kObjWallFloorPass,
    kObjStaircase, kObjRailPart, kObjStairStepPart, kObjRoofHipPart, kObjStairLandingPart, kObjStairTread,
    kObjSpindle, kObjRailing, kObjWallCeilingPass, kObjFloorSecondPass, kObjCutout, kObjDeck, kObjSkirting,
    kObjDeckSteps, kObjComponent, kObjRoofPanel, kObjRoofSlopeArrow, kObjRoofPanelFace, kObjSkylightOutline,
    kObjEntireLot, kObjAngleDim, kObjDiameterDim, kObjLeaderDim, kObjAttachedSymbolPart, kObjQuickWall,
    kObjFoundationBeam, kObjFoundationPier, kObjFoundationStrand, kObjAirDuct, kObjSprinkler, kObjCutoutFirstPass,
    kObjDoorLeafFace, kObjFoundationSlope, kObjPhotoView, kObjPhotoSurface, kObjSlopeLotSection,
    kObjTopoExcavation, kObjExcavationPass, kObjCabinet, kObjDimLine, kObjCabinetPass, kObjWall3DChild,
    kObjOffsetDim, kObjOffsetDimHorizontal, kObjLengthDim, kObjDynamicText, kObjText, kObjAccessory,
    kObjCustomAttachmentPart, kObjSkylight, kObjDormerCutout, kObjDimensionInfo, kObjFrameFace, kObjGroup,
    0, 3, 7, 33, 100, 999, -1, 32767};

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
