// Sizes in the 3D model of new designs at every scale of the plan scale sheet, in imperial and
// in metric units: a 10 m (400 in) wall exported as VRML reads its own length in a viewer, and
// the stock materials on it repeat at the tile size their information files give.
#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "LiveViewTestSupport.h"
#include "app/PlanScales.h"
#include "app/PlanViewActions.h"
#include "app/Win32EventHandler.h"
#include "building3d/PlaneObjects.h"
#include "building3d/Walls3D.h"
#include "model/Bounds.h"
#include "model/CustomTextures.h"
#include "model/PlanarTransforms.h"
#include "model/PlaneObjectRecords.h"
#include "model/Services.h"
#include "model/TextureIDs.h"
#include "model/WallFields.h"
#include "platform/IniFile.h"
#include "platform/PathResolver.h"

namespace {

constexpr int32_t kBrick = 850, kSiding = 1300;

class SizesAtEveryPlanScale : public LiveViewTest, public testing::WithParamInterface<PlanScaleDesign> {
 protected:
  void beforeDocument() override {
    gDefaultToImperial = GetParam().metric ? 0 : 1;
    ForgetStockTextureSizes();
  }
  void afterDocument() override {
    LiveViewTest::afterDocument();
    if (IsSkipped()) return;
    ASSERT_EQ(ds->measureSystem == kMeasureMetric, GetParam().metric);
    ASSERT_NO_FATAL_FAILURE(ChoosePlanScale(window, model, GetParam().scale));
  }
  void afterClosing() override { ForgetStockTextureSizes(); }

  // The wall the user means: 10 m in a metric design, 400 in in an imperial one (inches).
  float wallInches() const { return GetParam().metric ? ConvertMetersToInches(10) : 400.0f; }
  float plan(float inches) const { return ConvertWorldToScreen(GetWorldFromInches(inches, ds), ds, 0); }

  // A straight wall along x from the origin, 8 ft high and 6 in thick, brick on its first
  // side and siding on its second, put into the scene as the plan puts a new wall.
  Objex* addWall(float inches) {
    RGBColor white{65535, 65535, 65535};
    Objex* wall = CreateObject(kObjWall, 0, 1, &white, &white, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr);
    for (float x : {0.0f, plan(inches)})
      AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, 0, 0, 0, 0, 0, 0, 0, wall), wall);
    AppendObjectToLayer(wall, model->itsCurLayer);
    wall->width = GetWorldFromInches(6, ds);  // thickness and heights are world lengths
    wall->levels = 1;
    FloorDepthOf(wall) = 0;
    FoundationWidthOf(wall) = 0;
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      WallHeightOf(p) = GetWorldFromInches(96, ds);
      p->trim1 = NewWallSide(false);
      p->trim2 = NewWallSide(false);
      p->textureID[0] = kBrick;
      p->textureID[1] = kSiding;
    }
    UpdateObjectBounds(wall);
    Update3DWall(wall);
    RenderSingleObject(wall);
    return wall;
  }
};

INSTANTIATE_TEST_SUITE_P(EveryPlanScale, SizesAtEveryPlanScale, testing::ValuesIn(EveryPlanScaleDesign()),
                         PlanScaleDesignName);

// The VRML file of the design, written by its menu item, in metres as a viewer reads it: the
// Transform's scale times the coordinates.
TEST_P(SizesAtEveryPlanScale, AWallExportedAsVRMLReadsItsLengthInMetres) {
  addWall(wallInches());
  const std::string path = file("model.wrl");
  Win32EventHandler::sharedEventHandler()->chooseVRMLSavePath = [&] { return path; };
  window->planViewActions().perform(kTagExportVRML);
  Win32EventHandler::sharedEventHandler()->chooseVRMLSavePath = nullptr;
  std::ifstream in(path);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  const size_t scaleAt = text.find("\nscale ");
  ASSERT_NE(scaleAt, std::string::npos) << text.substr(0, 200);
  double sx = 0, sy = 0, sz = 0;
  ASSERT_EQ(std::sscanf(text.c_str() + scaleAt, "\nscale %lf %lf %lf", &sx, &sy, &sz), 3);
  EXPECT_EQ(sx, sy);
  EXPECT_EQ(sx, sz);
  double low[3] = {1e30, 1e30, 1e30}, high[3] = {-1e30, -1e30, -1e30};
  int points = 0;
  for (size_t at = text.find("point ["); at != std::string::npos; at = text.find("point [", at + 1)) {
    const char* p = text.c_str() + at + 7;
    double v[3];
    int used = 0;
    while (std::sscanf(p, "%lf %lf %lf%n", &v[0], &v[1], &v[2], &used) == 3) {
      for (int k = 0; k < 3; ++k) low[k] = std::min(low[k], v[k]), high[k] = std::max(high[k], v[k]);
      ++points;
      p += used;
      if (*p != ',') break;
      ++p;
    }
  }
  ASSERT_GT(points, 0);
  const double metres = GetParam().metric ? 10.0 : 10.16;
  EXPECT_NEAR((high[0] - low[0]) * sx, metres, 0.005);
  EXPECT_NEAR((high[1] - low[1]) * sy, 96 * 0.0254, 0.005);  // 8 ft high
  EXPECT_NEAR((high[2] - low[2]) * sz, 6 * 0.0254, 0.005);   // 6 in thick
}

// The tile size an information file gives, read from its text whatever its section.
void NamedTileSize(int32_t id, float* width, float* height) {
  char info[kTexturePathSize] = {};
  GetTextureInfoFileNameFromID(id, info, sizeof info);
  QFile f(QString::fromStdString(ResolvePathIgnoringCase(info)));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << info;
  const QString text = "\n" + QString::fromLatin1(f.readAll());
  const auto value = [&text](const char* key) {
    const qsizetype at = text.indexOf(QString("\n%1=").arg(key));
    return at < 0 ? -1.0f : text.mid(at + qsizetype(std::strlen(key)) + 2).section('\n', 0, 0).toFloat();
  };
  *width = value("Width");
  *height = value("Height");
  ASSERT_GT(*width, 0) << info;
  ASSERT_GT(*height, 0) << info;
}

// Brick and siding on the long faces of the wall repeat once per tile size along and up.
TEST_P(SizesAtEveryPlanScale, BrickAndSidingRepeatAtTheSizeTheirFilesName) {
  addWall(wallInches());
  LiveViewController::sharedLiveViewController();
  AppController::showLiveViewPanel();
  RenderAllLayers();
  for (int32_t id : {kBrick, kSiding}) {
    SCOPED_TRACE(id);
    float tileWidth = 0, tileHeight = 0;
    ASSERT_NO_FATAL_FAILURE(NamedTileSize(id, &tileWidth, &tileHeight));
    // The longest face that shows the material: its repeats along and up.
    float along = 0, up = 0;
    for (const PlaneObject* po = gGLPlaneObjects; po; po = po->next) {
      const float* size = po->textureIdA == id ? po->textureSizeA : po->textureIdB == id ? po->textureSizeB : nullptr;
      if (size && std::fabs(size[0]) > std::fabs(along)) along = size[0], up = size[1];
    }
    EXPECT_NEAR(std::fabs(along), wallInches() / tileWidth, 0.01);
    EXPECT_NEAR(std::fabs(up), 96 / tileHeight, 0.01);
  }
}

}  // namespace
