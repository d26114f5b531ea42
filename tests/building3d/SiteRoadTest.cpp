// The site and deck kinds on the road to 3D: a deck's skirting and posts, a path's surface and
// a photo's picture plane become plane objects of the object being built.
#include <gtest/gtest.h>

#include <map>

#include "SceneTestSupport.h"
#include "TestDocument.h"
#include "building3d/Decks3D.h"
#include "building3d/Paths3D.h"
#include "building3d/RenderRoad.h"
#include "building3d/Skirting3D.h"
#include "model/DeckFields.h"
#include "model/Services.h"
#include "model/StairFields.h"

namespace {

void ViewBounds(int32_t* w, int32_t* h) { *w = *h = 64; }
bool IsVisible() { return true; }

struct SiteRoad : SceneTest {
  LiveViewHost savedHost = gLiveViewHost;
  SiteRoad() {
    gLiveViewHost.viewBounds = ViewBounds;
    gLiveViewHost.isVisible = IsVisible;
    gRenderOnShow = gForceRenderObjectNow = 0;
  }
  ~SiteRoad() override {
    FreeScene();
    gLiveViewHost = savedHost;
    gRenderOnShow = gForceRenderObjectNow = 0;
  }
  static std::map<int, int> ByPartType(const Objex* base) {
    std::map<int, int> out;
    for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
      if (po->base2DObject == base) ++out[po->partType];
    return out;
  }
};

TEST_F(SiteRoad, DeckPartsAndSurfaceBecomePlaneObjectsOfTheDeck) {
  Objex* deck = doc.addObject(kObjDeck, true, {{0, 0}, {100, 0}, {100, 80}, {0, 80}});
  deck->levels = 1;
  deck->capped = 1;
  DeckHeightOf(deck) = 24;
  for (Poinz* p = deck->firstPoint; p; p = p->next) {
    p->position[1] = -48;
    p->segmentFlags = kDeckSegmentPost;
    RailingHeightOf(p) = 36;
  }
  Update3DDeck(deck);
  RenderSingleObject(deck);
  auto byType = ByPartType(deck);
  EXPECT_EQ(byType[kObjSkirting], 4);
  EXPECT_GE(byType[kObjRailPart], 4);
  EXPECT_GE(byType[kObjDeck], 1);
}

TEST_F(SiteRoad, PathSurfaceAndPhotoPlaneAreBuilt) {
  Objex* path = doc.addObject(kObjPath, false, {{0, 0}, {200, 0}});
  path->width = 36;
  path->extraFlags = 1;  // straight
  Update3DPath(path);
  RenderSingleObject(path);
  EXPECT_GE(ByPartType(path)[kObjPathSurface], 1);

  Objex* photo = doc.addObject(kObjPhotoView, false, {{0, 0}, {100, 0}});
  PhotoHeightOf(photo) = 50;
  Update3DPhoto(photo);
  RenderSingleObject(photo);
  bool picture = false;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    picture |= po->base2DObject == photo && po->partType == kObjPhotoSurface && po->renderKind == 131;
  EXPECT_TRUE(picture);
}

}  // namespace
