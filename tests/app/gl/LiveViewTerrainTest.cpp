// The program with a saved design of a topography region and an excavation: shown in the 3D
// window, the raised ground stands above the horizon and the excavation is a hole in the lot.
#include <gtest/gtest.h>

// The model records first: their field "slots" is a word Qt's headers take for themselves.
#include "model/Attachments.h"
#include "model/WallFields.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <cstdlib>

#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "LiveViewTestSupport.h"
#include "app/LiveViewController.h"
#include "app/LiveViewOGLView.h"
#include "model/Bounds.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "render3d/SceneFrame.h"

namespace {

bool LotGreen(QRgb p) { return qGreen(p) > qRed(p) + 30 && qGreen(p) > qBlue(p) + 30; }

Objex* AddOutline(ZLKDocumentModel* model, int16_t type, float x0, float z0, float x1, float z1) {
  RGBColor black{};
  Objex* o = CreateObject(type, 1, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  for (auto [x, z] : {std::pair{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}})
    AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  AppendObjectToLayer(o, model->itsCurLayer);
  UpdateObjectBounds(o);
  return o;
}

class LiveViewTerrainTest : public LiveViewTest {};

TEST_F(LiveViewTerrainTest, RaisedGroundAndTheExcavationsHoleShowInTheOpenedDesign) {
  ds->planBounds = FloatRect{-2400, -2400, 2400, 2400};
  ds->topoGridSpacing = 120;
  ds->lotTextureID = 0;
  ds->lotColor = {0, 45000, 0};
  // Ground raised 300 inches ahead of the walk camera, and a hole behind it.
  AddOutline(model, kObjTopography, -1200, -1200, 1200, 0)->width = 300;
  AddOutline(model, kObjTopoExcavation, -200, 1000, 200, 1400);
  const std::string path = file("terrain.pro");
  ASSERT_TRUE(doc->writeToFile(path, "pro"));

  bool opened = false;
  ZLKDocumentController::sharedDocumentController().openDocumentWithContentsOfFile(path,
                                                                                   [&](bool ok) { opened = ok; });
  ASSERT_TRUE(opened);
  model = doc->documentModel();
  gCurDocument = model;
  ds = model->itsDocState;
  walkCamera(48);

  LiveViewController* controller = LiveViewController::sharedLiveViewController();
  ASSERT_TRUE(showLiveViewAt(400, 360));
  LiveViewOGLView* view = controller->liveViewOGLView();
  // Showing the window computed the heights the hidden window put off.
  ASSERT_NE(gTopographyGrid, nullptr);
  EXPECT_FLOAT_EQ(gTopographyGrid[15 * (gTopoColumnCnt + 1) + 20], 300);  // x 0, z -600
  EXPECT_FLOAT_EQ(gTopographyGrid[30 * (gTopoColumnCnt + 1) + 20], 0);    // x 0, z 1200
  gRefreshRender = 1;
  view->display();
  QImage walk = view->grabFramebuffer();
  ASSERT_FALSE(walk.isNull());
  // Above the horizon, straight ahead: the raised ground's face (a flat lot would end at the
  // horizon).
  const int cx = walk.width() / 2, cy = walk.height() / 2;
  int raised = 0;
  for (int y = cy - 6; y > cy - walk.height() / 10; --y) raised += LotGreen(walk.pixel(cx, y)) ? 1 : 0;
  EXPECT_GT(raised, 3);
  // Far above it, past the raised ground's top, nothing of the lot.
  EXPECT_FALSE(LotGreen(walk.pixel(cx, 2))) << std::hex << walk.pixel(cx, 2);

  // From above the excavation: its hole in the middle, the lot around it.
  ds->navigationMode = kNavFlyAround;
  ds->flyAngleX() = 89;
  ds->flyAngleY() = 270;
  ds->flyDistance() = 2000;
  ds->flyCenter() = FloatPoint{0, 1200};
  gRefreshRender = 1;
  view->display();
  QImage above = view->grabFramebuffer();
  ASSERT_FALSE(above.isNull());
  EXPECT_FALSE(LotGreen(above.pixel(cx, cy))) << std::hex << above.pixel(cx, cy);
  EXPECT_TRUE(LotGreen(above.pixel(cx / 5, cy))) << std::hex << above.pixel(cx / 5, cy);
  EXPECT_TRUE(LotGreen(above.pixel(cx * 9 / 5, cy))) << std::hex << above.pixel(cx * 9 / 5, cy);
}

}  // namespace
