// The accessory and topography panes, driven through the dock; the translucency slider by
// real mouse events.
// The model's records name a field like a Qt keyword: they come before any Qt header.
#include "model/Attachments.h"
#include "building3d/PlaneObjects.h"

#include <QLabel>
#include <cmath>

#include "InspectorTestSupport.h"
#include "SliderTestSupport.h"
#include "inspectors/ValueFields.h"
#include "model/PlanarTransforms.h"
#include "tools/AccessoryTool.h"
#include "tools/SiteTools.h"

namespace {

class AccessoryTopoInspectorTest : public InspectorTest {
 protected:
  void afterDocument() override {
    InspectorTest::afterDocument();
    ShowWindowForSliders(window, dock);
  }
  void TearDown() override {
    gdsAccessoryWidth = saved[0];
    gdsAccessoryHeight = saved[1];
    gdsAccessoryElevation = saved[2];
    gdsAccessoryWallOffset = saved[3];
    gdsAccessoryTranslucency = savedTranslucency;
    InspectorTest::TearDown();
  }

  std::string shownLength(float inches) {
    QLineEdit scratch;
    SetFloatItem(&scratch, inches);
    return scratch.text().toStdString();
  }
  float plan(float inches) { return ConvertWorldToScreen(inches, ds, 0); }

  // An accessory on the first segment of the wall, centred `at` plan units from its start,
  // its own points selected unless told otherwise.
  Objex* addAccessory(Objex* wall, float at, float translucency = 0, bool selected = true) {
    const float w = plan(46);
    Objex* a = add(kObjAccessory, {{at - w / 2, 0}, {at + w / 2, 0}, {at, 20}}, true, selected, wall);
    a->subtype = kObjAccessory;
    auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
    data->ownerType = kObjAccessory;
    data->anchorStart = wall->firstPoint;
    data->anchorEnd = wall->firstPoint->next;
    data->startDistance = at;
    data->width = w;
    data->height = plan(65);
    data->elevation = plan(84);
    data->openAngle() = 2;
    a->typeData = data;
    a->params[4] = translucency;
    return a;
  }
  Objex* addWall() {
    Objex* wall = add(kObjWall, {{0, 0}, {2000, 0}}, false, false);
    wall->width = 6;
    return wall;
  }
  static DoorWindowData* record(Objex* o) { return AttachmentData(o); }
  QSlider* slider() { return control<QSlider>("transparencySlider"); }
  std::string percentLabel() { return control<QLabel>("transPercentLabel")->text().toStdString(); }
  static void deselect(Objex* o) {
    for (Poinz* p = o->firstPoint; p; p = p->next) p->selected = 0;
  }

  float saved[4] = {gdsAccessoryWidth, gdsAccessoryHeight, gdsAccessoryElevation, gdsAccessoryWallOffset};
  int16_t savedTranslucency = gdsAccessoryTranslucency;
};

TEST_F(AccessoryTopoInspectorTest, AccessoryToolShowsTheDefaultsTakenFromTheWindowDefaults) {
  gdsAccessoryWidth = gdsAccessoryHeight = gdsAccessoryElevation = 0;
  gdsAccessoryWallOffset = 2;
  gdsAccessoryTranslucency = 0;
  gCurTool = 7064;
  update();
  EXPECT_EQ(shownName(), "AccessoryInspector");
  EXPECT_EQ(text("accessoryWidthText"), shownLength(46));
  EXPECT_EQ(text("accessoryHeightText"), shownLength(65));
  EXPECT_EQ(text("accessoryElevationText"), shownLength(84));
  EXPECT_EQ(text("accessoryOffsetText"), shownLength(2));
  EXPECT_EQ(slider()->value(), 0);
  EXPECT_EQ(percentLabel(), "0");
  mark();
  type("accessoryWidthText", "50");
  EXPECT_EQ(gdsAccessoryWidth, 50);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  // A refused entry shows the tool default again.
  type("accessoryWidthText", "10000");
  EXPECT_EQ(text("accessoryWidthText"), shownLength(50));
  EXPECT_EQ(gdsAccessoryWidth, 50);
}

// An edit of a selected accessory made before the tool was ever used still leaves the tool's
// other sizes at the window defaults.
TEST_F(AccessoryTopoInspectorTest, AnEditBeforeTheToolsFirstUseKeepsItsOtherDefaults) {
  gdsAccessoryWidth = gdsAccessoryHeight = gdsAccessoryElevation = 0;
  Objex* wall = addWall();
  addAccessory(wall, 600);
  update();
  type("accessoryWidthText", "50");
  EXPECT_EQ(gdsAccessoryWidth, 50);
  EXPECT_FLOAT_EQ(gdsAccessoryHeight, 65);
  EXPECT_FLOAT_EQ(gdsAccessoryElevation, 84);
}

TEST_F(AccessoryTopoInspectorTest, AccessoryFieldsKeepTheirUnits) {
  Objex* wall = addWall();
  Objex* a = addAccessory(wall, 600);
  Objex* b = addAccessory(wall, 1400);
  record(b)->height = plan(70);
  update();
  EXPECT_EQ(shownName(), "AccessoryInspector");
  EXPECT_EQ(text("accessoryWidthText"), shownLength(46));
  EXPECT_EQ(text("accessoryHeightText"), "");
  // A refused entry (a mixed field left empty too) shows the tool default again, not the
  // accessories' values: nothing changes and no step is stored.
  gdsAccessoryWidth = 40;
  gdsAccessoryHeight = 60;
  mark();
  for (const char* refused : {"10000", "0.01", "wide", ""}) {
    type("accessoryWidthText", refused);
    EXPECT_EQ(text("accessoryWidthText"), shownLength(40)) << refused;
    EXPECT_FLOAT_EQ(record(a)->width, plan(46));
    update();
    type("accessoryHeightText", refused);
    EXPECT_EQ(text("accessoryHeightText"), shownLength(60)) << refused;
    EXPECT_FLOAT_EQ(record(b)->height, plan(70));
  }
  EXPECT_EQ(gdsAccessoryWidth, 40);
  EXPECT_EQ(stepsSinceMark(), Steps{});
  mark();
  type("accessoryOffsetText", "3");
  EXPECT_FLOAT_EQ(record(a)->openAngle(), 3);
  EXPECT_FLOAT_EQ(record(b)->openAngle(), 3);
  type("accessoryHeightText", "3");
  EXPECT_FLOAT_EQ(record(a)->height, plan(3));
  EXPECT_FLOAT_EQ(record(b)->height, plan(3));
  EXPECT_NE(plan(3), 3);
  EXPECT_EQ(gdsAccessoryHeight, 3);
  EXPECT_EQ(gdsAccessoryWallOffset, 3);
  type("accessoryElevationText", "80");
  EXPECT_FLOAT_EQ(record(a)->elevation, plan(80));
  type("accessoryElevationText", "80");  // all have it: no step, the default still follows
  EXPECT_EQ(stepsSinceMark(),
            (Steps{"Accessory Elevation", "Accessory Height", "Accessory Wall Offset"}));
}

TEST_F(AccessoryTopoInspectorTest, TranslucencyChangesTheDesignOnlyWhenTheDragEnds) {
  Objex* wall = addWall();
  Objex* a = addAccessory(wall, 600, 0);
  Objex* b = addAccessory(wall, 1400, 128);
  update();
  EXPECT_EQ(slider()->value(), 0);
  EXPECT_EQ(percentLabel(), "0");
  EXPECT_EQ(gdsAccessoryTranslucency, 0);  // the first selected one's

  deselect(b);
  update();
  QApplication::processEvents();
  mark();
  gRefreshRender = 0;
  const bool reached = DragSliderTo(slider(), 40, [&] {
    EXPECT_EQ(percentLabel(), "40");
    EXPECT_EQ(a->params[4], 0);
    EXPECT_EQ(stepsSinceMark(), Steps{});
  });
  ASSERT_TRUE(reached);
  EXPECT_EQ(a->params[4], 102);  // 40 % of 255
  EXPECT_EQ(b->params[4], 128);
  EXPECT_EQ(gdsAccessoryTranslucency, 102);
  EXPECT_EQ(gRefreshRender, 1);
  EXPECT_EQ(stepsSinceMark(), (Steps{"Accessory Transparency"}));

  // A key step applies at once, as one release.
  mark();
  slider()->setFocus();
  QTest::keyClick(slider(), Qt::Key_Right);
  EXPECT_EQ(a->params[4], 105);  // 41 % of 255, rounded
  EXPECT_EQ(stepsSinceMark(), (Steps{"Accessory Transparency"}));

  // The 3D faces of the accessory take it as their alpha (a 3D view stood in for, built now).
  const LiveViewHost savedHost = gLiveViewHost;
  gLiveViewHost.viewBounds = [](int32_t* w, int32_t* h) { *w = *h = 100; };
  gLiveViewHost.isVisible = [] { return true; };
  RenderSingleObject(wall);
  gLiveViewHost = savedHost;
  int faces = 0;
  for (PlaneObject* po = gGLPlaneObjects; po; po = po->next)
    if (po->actual3DObject == a) {
      ++faces;
      EXPECT_EQ(po->alpha, 255 - 105);
    }
  EXPECT_GT(faces, 0);
  for (PlaneObject* p = gGLPlaneObjects; p;) {
    PlaneObject* next = p->next;
    DeletePlaneObject(p);
    p = next;
  }
  gGLPlaneObjects = gGLPlaneObjectsTail = nullptr;
  gCurPlaneObject = nullptr;
  gBase2DObject = gActual3DObject = nullptr;
}

// A translucency a design file holds may be out of range or no number: the pane shows it
// within 0 to 100 per cent and the tool's default takes it within 0 to 255.
TEST_F(AccessoryTopoInspectorTest, TranslucencyOutOfRangeShowsWithinTheSlider) {
  Objex* wall = addWall();
  Objex* a = addAccessory(wall, 600, 1e10f);
  update();
  ASSERT_EQ(shownName(), "AccessoryInspector");
  EXPECT_EQ(slider()->value(), 100);
  EXPECT_EQ(percentLabel(), "100");
  EXPECT_EQ(gdsAccessoryTranslucency, 255);
  a->params[4] = -5;
  update();
  EXPECT_EQ(percentLabel(), "0");
  EXPECT_EQ(gdsAccessoryTranslucency, 0);
  a->params[4] = std::nanf("");
  update();
  EXPECT_EQ(slider()->value(), 0);
  EXPECT_EQ(percentLabel(), "0");
  EXPECT_EQ(gdsAccessoryTranslucency, 0);
}

TEST_F(AccessoryTopoInspectorTest, TopographyElevationBoundsAndToolDefault) {
  gCurTool = 7511;
  ds->topographyWidth = plan(24);
  update();
  EXPECT_EQ(shownName(), "TopoInspector");
  EXPECT_EQ(text("elevationText"), shownLength(24));
  // Both ends are accepted; a value typed for the tools stays in the field and leaves their
  // default alone.
  mark();
  type("elevationText", "-10000");
  EXPECT_EQ(text("elevationText"), shownLength(-10000));
  EXPECT_FLOAT_EQ(ds->topographyWidth, plan(24));
  type("elevationText", "-10000.5");
  EXPECT_EQ(text("elevationText"), shownLength(24));
  type("elevationText", "10000");
  EXPECT_EQ(text("elevationText"), shownLength(10000));
  EXPECT_FLOAT_EQ(ds->topographyWidth, plan(24));
  EXPECT_EQ(stepsSinceMark(), Steps{});

  gCurTool = kToolSelection;
  Objex* region = add(kObjTopography, {{0, 0}, {100, 0}, {100, 100}}, true);
  Objex* other = add(kObjTopography, {{200, 0}, {300, 0}, {300, 100}}, true);
  region->width = other->width = plan(12);
  update();
  EXPECT_EQ(text("elevationText"), shownLength(12));
  // A refused elevation shows the tools' default again, not the regions' own.
  mark();
  for (const char* refused : {"10000.5", "-10001", "high"}) {
    type("elevationText", refused);
    EXPECT_EQ(text("elevationText"), shownLength(24)) << refused;
  }
  EXPECT_FLOAT_EQ(region->width, plan(12));
  EXPECT_EQ(stepsSinceMark(), Steps{});
  ServiceCallRecorder calls;
  mark();
  type("elevationText", "36");
  EXPECT_FLOAT_EQ(region->width, plan(36));
  EXPECT_FLOAT_EQ(other->width, plan(36));
  EXPECT_TRUE(calls.called("SetLotElevation"));
  EXPECT_FLOAT_EQ(ds->topographyWidth, plan(24));  // objects leave the tools' default alone
  EXPECT_EQ(stepsSinceMark(), (Steps{"Topography Elevation"}));
  mark();
  type("elevationText", "36");
  EXPECT_EQ(stepsSinceMark(), Steps{});
}

}  // namespace
