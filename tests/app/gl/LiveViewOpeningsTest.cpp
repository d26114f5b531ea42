// The program with a door placed by the door tool in a wall: Show 3D View shows the opening
// cut through the wall, the background through it and the door's leaf in it; so does the
// design saved and opened again.
#include <gtest/gtest.h>

// The wall records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "RedWalls.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Walls3D.h"
#include "model/Bounds.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ToolCodes.h"
#include "render3d/RendererUpkeep.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

using namespace red_walls;

bool IsRed(QRgb p) { return qRed(p) > 60 && qGreen(p) < 30 && qBlue(p) < 30; }

// Along the middle row of the 3D grab: the wall's red on both sides of the door, and between
// them the background (as seen above the wall) and the leaf (neither red nor background).
void ExpectOpenedWallWithLeaf(LiveViewOGLView* view) {
  gRefreshRender = 1;
  view->display();
  const QImage image = view->grabFramebuffer();
  ASSERT_FALSE(image.isNull());
  const int row = image.height() / 2;
  const QRgb background = image.pixel(image.width() / 2, 2);
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x)
    if (IsRed(image.pixel(x, row))) {
      if (first < 0) first = x;
      last = x;
    }
  ASSERT_GE(first, 0) << "no wall in the 3D view";
  int seeThrough = 0, leaf = 0, gapStart = -1, gapEnd = -1;
  for (int x = first; x <= last; ++x) {
    if (IsRed(image.pixel(x, row))) continue;
    if (gapStart < 0) gapStart = x;
    gapEnd = x;
    if (image.pixel(x, row) == background) ++seeThrough;
    else ++leaf;
  }
  ASSERT_GE(gapStart, 0) << "the wall is not opened";
  EXPECT_GT(gapEnd - gapStart, 10);
  EXPECT_GT(seeThrough, 2);
  EXPECT_GT(leaf, 2);
}

class LiveViewOpeningsTest : public LiveViewTest {};

TEST_F(LiveViewOpeningsTest, ADoorPlacedWithTheDoorToolOpensTheWallIn3DAndAgainWhenOpened) {
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  ds->zoomFactor = 1;
  ds->snapToGrid = 0;
  gGlobalXOffset = gGlobalYOffset = gGlobalZOffset = 0;
  Objex* wall = AddRedWall(model, {{-150, 1700}, {150, 1700}});

  // A press of the door tool on the wall, at its middle.
  PressOpeningTool(kToolDoor, wall, 0);
  Objex* door = wall->firstChild;
  ASSERT_NE(door, nullptr);
  ASSERT_EQ(door->type, kObjDoor);
  ASSERT_NE(AttachmentData(door)->faces, nullptr) << "the door has no 3D model";
  // Its leaf swung half open (as the door inspector sets it), so that the opening shows through.
  AttachmentData(door)->openAngle() = 1.0f;
  BuildAttachmentFrame(door);

  // The walk camera in front of the wall, at the door's middle height, looking at it.
  walkCamera(40);
  // A plain background, so that what shows through the opening is the colour above the wall.
  ds->backgroundTextureID = 0;
  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  ASSERT_TRUE(showLiveViewAt(400, 360));
  {
    SCOPED_TRACE("placed with the tool");
    ExpectOpenedWallWithLeaf(controller->liveViewOGLView());
  }

  // The same design saved and opened again: the reader re-fits the door to its wall, which
  // builds its frame and leaf anew (they are never stored).
  const std::string path = folder + "/door.pro";
  ASSERT_TRUE(doc->writeToFile(path, "pro"));
  ASSERT_TRUE(doc->readFromFile(path, "pro"));
  model = doc->documentModel();
  ds = model->itsDocState;
  Objex* reread = nullptr;
  for (Layer* l = model->itsLayers; l && !reread; l = l->next)
    for (Objex* o = l->firstObject; o && !reread; o = o->next)
      if (o->type == kObjWall && o->firstChild && o->firstChild->type == kObjDoor) reread = o->firstChild;
  ASSERT_NE(reread, nullptr);
  ASSERT_NE(AttachmentData(reread)->faces, nullptr) << "the opened door has no 3D model";
  EXPECT_FLOAT_EQ(AttachmentData(reread)->openAngle(), 1.0f);
  RenderAllLayers();
  {
    SCOPED_TRACE("opened from the file");
    ExpectOpenedWallWithLeaf(controller->liveViewOGLView());
  }
  gCurTool = kToolNone;
}

}  // namespace
