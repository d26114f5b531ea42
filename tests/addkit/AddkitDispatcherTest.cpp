// The dispatcher end to end: the test plug-in started as its own process, its closing signals on
// the session bus, merges into the design that launched it, locks, and the close requests.
#include <QFile>
#include <QLabel>
#include <QDBusMessage>
#include <QAction>
#include <QDialog>

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "AddkitTestSupport.h"
#include "app/AppController.h"
#include "app/ContextMenuFactory.h"
#include "app/Win32EventHandler.h"
#include "app/PlanViewActions.h"
#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/FileTestSupport.h"
#include "model/CommandCodes.h"
#include "model/LiveViews.h"
#include "model/ViewCommands.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"
#include "platform/Session.h"

namespace {

namespace fs = std::filesystem;

Objex* FindType(ZLKDocumentModel* m, int16_t type, Layer** on = nullptr) {
  for (Layer* l = m->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      if (o->type == type) {
        if (on) *on = l;
        return o;
      }
  return nullptr;
}

// A plug-out file that changes nothing but ends properly.
void WriteEmptyPlugOut(const std::string& path, int32_t id) {
  Bytes b;
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); };
  auto u16 = [&](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
  u32(uint32_t(id)), u32(11000), u16(2), u16(500);
  fs::create_directories(fs::path(path).parent_path());
  WriteBytes(path, b);
}

}  // namespace

TEST(AddkitBusValues, AnyIntegerOrFiniteDoubleIsAWholeNumber) {
  const struct {
    QVariant value;
    bool ok;
    int64_t expected;
  } cases[] = {
      {QVariant(int(-7)), true, -7},
      {QVariant(uint(4000000000u)), true, 4000000000LL},
      {QVariant(qlonglong(1) << 40), true, int64_t(1) << 40},
      {QVariant(qulonglong(std::numeric_limits<qulonglong>::max())), false, 0},
      {QVariant(short(12)), true, 12},
      {QVariant(uchar(200)), true, 200},
      {QVariant(1042.9), true, 1042},
      {QVariant(std::nan("")), false, 0},
      {QVariant(std::numeric_limits<double>::infinity()), false, 0},
      {QVariant(1e300), false, 0},
      {QVariant(QString("12")), false, 0},
      {QVariant(), false, 0},
      {QVariant(true), false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value.toString().toStdString());
    int64_t v = -1;
    EXPECT_EQ(AddkitBusInteger(c.value, &v), c.ok);
    if (c.ok) EXPECT_EQ(v, c.expected);
  }
  double d = 0;
  EXPECT_TRUE(AddkitBusNumber(QVariant(float(2.5f)), &d));
  EXPECT_EQ(d, 2.5);
  EXPECT_TRUE(AddkitBusNumber(QVariant(int(3)), &d));
  EXPECT_EQ(d, 3.0);
  EXPECT_FALSE(AddkitBusNumber(QVariant(QString("3")), &d));
}

TEST_F(AddkitTest, ThePhotoViewOnlyLocksAndItsPanelReleasesTheLock) {
  install(109, "update", "Photos");
  buildList();
  ASSERT_NE(entry(109), nullptr);
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  const int before = objectCount();
  ASSERT_TRUE(dispatcher.launchAddkit(entry(109)));
  EXPECT_FALSE(entry(109)->plugInAvailable());
  EXPECT_EQ(entry(109)->plugInOwnerDocument(), model);
  EXPECT_EQ(dispatcher.addkitEntryForDocument(model), entry(109));
  // No exchange file, no process.
  QTest::qWait(300);
  EXPECT_FALSE(fs::exists(exchange(109)));
  EXPECT_FALSE(fs::exists(pluginFile("Photos", "ran")));
  // The panel ends with Cancel: no photo, the lock goes.
  ZLKDocumentView::choosePhotoViewImagePaths = [] { return std::vector<std::string>{}; };
  window->documentView()->launchPhotoView();
  EXPECT_TRUE(entry(109)->plugInAvailable());
  EXPECT_EQ(entry(109)->plugInOwnerDocument(), nullptr);
  EXPECT_EQ(objectCount(), before);
  // Two images chosen place nothing either; one places a photo view holding its path.
  ASSERT_TRUE(dispatcher.launchAddkit(entry(109)));
  ZLKDocumentView::choosePhotoViewImagePaths = [] { return std::vector<std::string>{"/a.png", "/b.png"}; };
  window->documentView()->launchPhotoView();
  EXPECT_EQ(objectCount(), before);
  ASSERT_TRUE(dispatcher.launchAddkit(entry(109)));
  const std::string image = file("garden.png");
  ZLKDocumentView::choosePhotoViewImagePaths = [image] { return std::vector<std::string>{image}; };
  window->documentView()->launchPhotoView();
  EXPECT_TRUE(entry(109)->plugInAvailable());
  ASSERT_EQ(objectCount(), before + 1);
  Objex* photo = FindType(model, kObjPhotoView);
  ASSERT_NE(photo, nullptr);
  ASSERT_NE(photo->sourceObject, nullptr);
  EXPECT_STREQ(static_cast<const char*>(photo->sourceObject), image.c_str());
  EXPECT_EQ(doc->undoManager().undoActionName(), "Insert PhotoView Image");
}

TEST_F(AddkitTest, NoLaunchWithoutADesignOrAnApplication) {
  install(131, "update", "Cabinets");
  install(140, "update", "Missing", "-", /*program=*/false);
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  EXPECT_FALSE(dispatcher.launchAddkit(nullptr));
  EXPECT_FALSE(dispatcher.launchAddkitWithID(999));
  {
    CurrentDocumentScope none(nullptr);
    EXPECT_FALSE(dispatcher.launchAddkit(entry(131)));
  }
  EXPECT_TRUE(entry(131)->plugInAvailable());
  EXPECT_FALSE(dispatcher.launchAddkitWithID(140));
  EXPECT_TRUE(entry(140)->plugInAvailable());
  EXPECT_EQ(entry(140)->plugInOwnerDocument(), nullptr);
}

TEST_F(AddkitTest, AnUpdateMergesIntoTheDesignUnderThePluginsName) {
  install(131, "update", "Cabinets");
  buildList();
  Objex* wall = MakeWallWithSides(0, nullptr, model->itsCurLayer);
  UpdateObjectBounds(wall);
  Objex* detail = MakeObject(kObjDetail, 4, 300, nullptr, model->itsCurLayer);
  const uint32_t wallID = wall->objectID, detailID = detail->objectID;
  const float wallX = wall->firstPoint->position[0];
  ASSERT_TRUE(AddkitDispatcher::sharedAddkitDispatcher().launchAddkitWithID(131));
  EXPECT_FALSE(entry(131)->plugInAvailable());
  ASSERT_TRUE(fs::exists(exchange(131)));
  ASSERT_TRUE(waitUntilReleased(131));
  EXPECT_EQ(entry(131)->plugInOwnerDocument(), nullptr);
  EXPECT_TRUE(alerts.shown.empty());
  // The wall came back moved under its own id; the detail is gone.
  Objex* moved = nullptr;
  Objex* gone = nullptr;
  for (Layer* l = model->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) {
      if (o->objectID == wallID) moved = o;
      if (o->objectID == detailID) gone = o;
    }
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->type, kObjWall);
  EXPECT_FLOAT_EQ(moved->firstPoint->position[0], wallX + 100);
  EXPECT_EQ(gone, nullptr);
  // The new text is on the second floor, the new group on the first, marked as the plug-in's.
  Layer* textLayer = nullptr;
  Objex* text = FindType(model, kObjText, &textLayer);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(textLayer->name, "Second Floor");
  Layer* groupLayer = nullptr;
  Objex* group = FindType(model, kObjGroup, &groupLayer);
  ASSERT_NE(group, nullptr);
  EXPECT_STREQ(groupLayer->name, "First Floor");
  EXPECT_EQ(group->groupMarker, 131);
  int members = 0;
  for (Objex* c = group->firstChild; c; c = c->next) ++members;
  EXPECT_EQ(members, 2);
  // Its data block, the undo step named after it, the counters, the file gone.
  const PlugInData* block = nullptr;
  for (const PlugInData* p = model->itsPlugIns; p; p = p->next)
    if (p->plugInID == 131) block = p;
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(block->size, 4);
  EXPECT_EQ(std::memcmp(block->data, "data", 4), 0);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Cabinets");
  for (Layer* l = model->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) EXPECT_GT(ds->nextObjectID, o->objectID);
  EXPECT_FALSE(fs::exists(exchange(131)));
}

TEST_F(AddkitTest, WithoutChangesNothingMergesAndTheLockGoes) {
  // noupdate posts the other signal and keeps the file; nofile says it changed the design but
  // left no file; "same" leaves the exchange file as written.
  const struct {
    const char* mode;
    bool fileKept;
  } cases[] = {{"noupdate", true}, {"nofile", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    fs::remove_all(plugins);
    fs::create_directories(plugins);
    install(131, c.mode, "Cabinets");
    buildList();
    MakeObject(kObjDetail, 4, 300, nullptr, model->itsCurLayer);
    const int before = CountObjects(model);
    const std::string undoBefore = doc->undoManager().undoActionName();
    ASSERT_TRUE(AddkitDispatcher::sharedAddkitDispatcher().launchAddkitWithID(131));
    ASSERT_TRUE(waitUntilReleased(131));
    EXPECT_EQ(CountObjects(model), before);
    EXPECT_EQ(doc->undoManager().undoActionName(), undoBefore);
    EXPECT_EQ(fs::exists(exchange(131)), c.fileKept);
    EXPECT_TRUE(alerts.shown.empty());
  }
}

TEST_F(AddkitTest, AnUpdateThatLeftTheExchangeFileAsWrittenChangesNothing) {
  install(131, "hang", "Cabinets");
  buildList();
  MakeObject(kObjDetail, 4, 300, nullptr, model->itsCurLayer);
  const int before = CountObjects(model);
  ASSERT_TRUE(AddkitDispatcher::sharedAddkitDispatcher().launchAddkitWithID(131));
  // The plug-in says it changed the design without writing: merging the exchange file would
  // add every object again.
  AddkitDispatcher::sharedAddkitDispatcher().addkitDidCloseUpdate(ids(131, SessionID(), model->itsDocID));
  EXPECT_TRUE(entry(131)->plugInAvailable());
  EXPECT_EQ(CountObjects(model), before);
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(AddkitTest, SignalsOfAnotherSessionOrWithoutIdsAreIgnored) {
  install(131, "hang", "Cabinets");
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  ASSERT_TRUE(dispatcher.launchAddkitWithID(131));
  ASSERT_TRUE(waitForFile(pluginFile("Cabinets", "listening")));
  QVariantMap missing = ids(131, SessionID(), model->itsDocID);
  missing.remove(kAuxDictUserIDKey);
  QVariantMap text = ids(131, SessionID(), model->itsDocID);
  text.insert(kAuxDictDocumentIDKey, QString::number(model->itsDocID));
  for (const QVariantMap& info : {ids(131, SessionID() + 1, model->itsDocID), missing, text}) {
    dispatcher.addkitDidCloseUpdate(info);
    dispatcher.addkitDidCloseNoUpdate(info);
    EXPECT_FALSE(entry(131)->plugInAvailable());
    EXPECT_EQ(entry(131)->plugInOwnerDocument(), model);
  }
  // Another design's id: nothing held there.
  dispatcher.addkitDidCloseNoUpdate(ids(131, SessionID(), model->itsDocID + 1));
  EXPECT_FALSE(entry(131)->plugInAvailable());
  // The same through the bus, a double for the user id.
  QDBusMessage message = QDBusMessage::createSignal("/test", kAddkitBusInterface, kAddkitClosingNoUpdate);
  QVariantMap foreign = ids(131, 0, model->itsDocID);
  foreign.insert(kAuxDictUserIDKey, double(SessionID()) + 1);
  message << foreign;
  QDBusConnection::sessionBus().send(message);
  QTest::qWait(300);
  EXPECT_FALSE(entry(131)->plugInAvailable());
  QDBusMessage ours = QDBusMessage::createSignal("/test", kAddkitBusInterface, kAddkitClosingNoUpdate);
  QVariantMap mine = ids(131, 0, model->itsDocID);
  mine.insert(kAuxDictUserIDKey, double(SessionID()));
  ours << mine;
  QDBusConnection::sessionBus().send(ours);
  EXPECT_TRUE(waitUntilReleased(131, 10000));
}

TEST_F(AddkitTest, TopographyWithAnEmptyPathMergesAndReadsNoGrid) {
  install(118, "update", "Terrain", "-");
  buildList();
  MakeWallWithSides(0, nullptr, model->itsCurLayer);
  ds->topoPath[0] = 0;
  const float spacing = ds->topoGridSpacing;
  PlanZoom(ds) = 2.5f;
  ASSERT_TRUE(AddkitDispatcher::sharedAddkitDispatcher().launchAddkitWithID(118));
  ASSERT_TRUE(waitUntilReleased(118));
  EXPECT_NE(FindType(model, kObjText), nullptr);  // merged
  EXPECT_EQ(ds->topoPath[0], 0);
  EXPECT_EQ(ds->topoGridSpacing, spacing);
  // The design has its window: the plan view is reset all the same.
  EXPECT_FLOAT_EQ(PlanZoom(ds), 0.6f);
  EXPECT_EQ(doc->undoManager().undoActionName(), "Terrain");
}

TEST_F(AddkitTest, SunValuesAndTopographyPathsFromTheBusAreChecked) {
  install(128, "hang", "Sun");
  install(118, "hang", "Terrain");
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  const double nan = std::nan("");
  const struct {
    QVariant lot, overhead, scene, sun, shading;
    float lotWas, overheadWas, sceneWas, shadingWas;
    int16_t sunWas;
    uint8_t overheadFlagWas;
  } cases[] = {
      // Every value taken, of mixed number types.
      {QVariant(33.5), QVariant(int(61)), QVariant(float(1.75f)), QVariant(qlonglong(80)), QVariant(0.25), 33.5f, 61,
       1.75f, 0.25f, 80, 1},
      // Non-finite and out-of-range values leave their fields; an overhead angle of 0 clears the flag.
      {QVariant(nan), QVariant(0.0), QVariant(std::numeric_limits<double>::infinity()), QVariant(int(40000)),
       QVariant(QString("x")), 45, 0, 1.2f, 40000, 100, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lotWas);
    ds->sunAngle1 = 45, ds->sunAngle2 = 20, ds->viewSetting6 = 1.2f, ds->viewSetting11 = 40000;
    ds->sunSetting2 = 100, ds->viewSetting7 = 1;
    // Locked by hand: the plug-in's own file is the one written here.
    entry(128)->setPlugInAvailable(false);
    entry(128)->setPlugInOwnerDocument(model);
    WriteEmptyPlugOut(exchange(128), 128);
    QVariantMap info = ids(128, SessionID(), model->itsDocID);
    info.insert(kAuxDictGSPSunLotAngleKey, c.lot);
    info.insert(kAuxDictGSPSunOverheadAngleKey, c.overhead);
    info.insert(kAuxDictGSPSceneBrightnessKey, c.scene);
    info.insert(kAuxDictGSPSunBrightnessKey, c.sun);
    info.insert(kAuxDictGSPShadingIntensityKey, c.shading);
    dispatcher.addkitDidCloseUpdate(info);
    EXPECT_TRUE(entry(128)->plugInAvailable());
    EXPECT_FALSE(fs::exists(exchange(128)));
    EXPECT_EQ(ds->sunAngle1, c.lotWas);
    EXPECT_EQ(ds->sunAngle2, c.overheadWas);
    EXPECT_EQ(ds->viewSetting6, c.sceneWas);
    EXPECT_EQ(ds->viewSetting11, c.shadingWas);
    EXPECT_EQ(ds->sunSetting2, c.sunWas);
    EXPECT_EQ(ds->viewSetting7, c.overheadFlagWas);
  }
}

// Values past a float, or past the range of their control, leave the design's sun as it was
// (they became infinite angles, brightness and shading, and were saved so); the user is told
// once for the signal which were left out, and nothing when all were taken.
TEST_F(AddkitTest, SunValuesPastAFloatOrTheirControlsAreLeftOut) {
  install(128, "hang", "Sun");
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  ScopedAlertRecorder alerts;
  const std::string title = "Some sun settings from the plug-in were left out.";
  for (const double hostile : {1e300, -1e39, 3.5e38, 1e30, 1e6, -1e6}) {
    SCOPED_TRACE(hostile);
    alerts.shown.clear();
    ds->sunAngle1 = 45, ds->sunAngle2 = 20, ds->viewSetting6 = 1.2f, ds->viewSetting11 = 40000;
    ds->sunSetting2 = 100;
    entry(128)->setPlugInAvailable(false);
    entry(128)->setPlugInOwnerDocument(model);
    WriteEmptyPlugOut(exchange(128), 128);
    QVariantMap info = ids(128, SessionID(), model->itsDocID);
    for (const char* key : {kAuxDictGSPSunLotAngleKey, kAuxDictGSPSceneBrightnessKey, kAuxDictGSPShadingIntensityKey,
                            kAuxDictGSPSunOverheadAngleKey, kAuxDictGSPSunBrightnessKey})
      info.insert(key, hostile);
    dispatcher.addkitDidCloseUpdate(info);
    EXPECT_TRUE(entry(128)->plugInAvailable());
    EXPECT_EQ(ds->sunAngle1, 45);
    EXPECT_EQ(ds->sunAngle2, 20);
    EXPECT_EQ(ds->viewSetting6, 1.2f);
    EXPECT_EQ(ds->viewSetting11, 40000);
    EXPECT_EQ(ds->sunSetting2, 100);
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, title);
    EXPECT_EQ(alerts.shown[0].informative,
              "The sun direction, the sun height, the scene brightness, the shading intensity and the sun "
              "brightness were not numbers the 3D view can use.");
  }
  // Just past the end of each range: left out; at the end: taken. A value the signal does
  // not carry (the sun brightness here) is not missed.
  const auto close = [&](const QVariant& lot, double overhead, double scene, double shading) {
    alerts.shown.clear();
    entry(128)->setPlugInAvailable(false);
    entry(128)->setPlugInOwnerDocument(model);
    WriteEmptyPlugOut(exchange(128), 128);
    QVariantMap info = ids(128, SessionID(), model->itsDocID);
    info.insert(kAuxDictGSPSunLotAngleKey, lot);
    info.insert(kAuxDictGSPSunOverheadAngleKey, overhead);
    info.insert(kAuxDictGSPSceneBrightnessKey, scene);
    info.insert(kAuxDictGSPShadingIntensityKey, shading);
    dispatcher.addkitDidCloseUpdate(info);
  };
  close(360.5, 90.5, 2.51, 65536);
  EXPECT_EQ(ds->sunAngle1, 45);
  EXPECT_EQ(ds->sunAngle2, 20);
  EXPECT_EQ(ds->viewSetting6, 1.2f);
  EXPECT_EQ(ds->viewSetting11, 40000);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, title);
  EXPECT_EQ(alerts.shown[0].informative,
            "The sun direction, the sun height, the scene brightness and the shading intensity were not numbers "
            "the 3D view can use.");
  close(-0.5, -1, 0.49, -1);
  EXPECT_EQ(ds->sunAngle1, -0.5f);  // an angle within its turn, either way round
  EXPECT_EQ(ds->sunAngle2, 20);
  EXPECT_EQ(ds->viewSetting6, 1.2f);
  EXPECT_EQ(ds->viewSetting11, 40000);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative,
            "The sun height, the scene brightness and the shading intensity were not numbers the 3D view can use.");
  // A value that is no number at all is left out as well, and named alone.
  close(QString("north"), 30, 1.5, 100);
  EXPECT_EQ(ds->sunAngle1, -0.5f);
  EXPECT_EQ(ds->sunAngle2, 30);
  EXPECT_EQ(ds->viewSetting6, 1.5f);
  EXPECT_EQ(ds->viewSetting11, 100);
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].informative, "The sun direction was not a number the 3D view can use.");
  close(-360, 90, 2.5, 65535);
  EXPECT_EQ(ds->sunAngle1, -360);
  EXPECT_EQ(ds->sunAngle2, 90);
  EXPECT_EQ(ds->viewSetting6, 2.5f);
  EXPECT_EQ(ds->viewSetting11, 65535);
  EXPECT_TRUE(alerts.shown.empty());
}

namespace {
// A topography grid file of one cell, the design's objects after it.
Bytes OneCellGridFile() {
  Bytes b;
  auto be32 = [&](uint32_t v) { for (int i = 3; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i))); };
  auto f32 = [&](float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    be32(v);
  };
  be32(9000);
  f32(48), f32(120), f32(90);
  b.push_back(0), b.push_back(2);
  f32(-100), f32(140), f32(-60), f32(80);
  be32(1), be32(1);
  for (int i = 0; i < 4; ++i) f32(i + 0.5f);
  for (uint8_t x : {0x5C, 0x2B, 0x00, 0x00}) b.push_back(x);  // 11100, little-endian
  BeginOutputBuffer();
  DoWriteObjects();
  b.insert(b.end(), gStream.outDataBuffer.begin(), gStream.outDataBuffer.end());
  ReleaseOutputBuffer();
  return b;
}
}  // namespace

// The terrain plug-in's path may name any file: only a grid file in the plug-in's own folder
// is read, and a path that cannot be read is not kept in the design.
TEST_F(AddkitTest, TopographyPathsOutsideThePluginFolderAreRefused) {
  install(118, "hang", "Terrain");
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  const fs::path folder = fs::path(exchange(118)).parent_path();
  fs::create_directories(folder);
  const fs::path grid = folder / "lot.top";
  WriteBytes(grid.string(), OneCellGridFile());
  const fs::path outside = fs::path(file("outside.top"));
  WriteBytes(outside.string(), OneCellGridFile());
  std::error_code error;
  fs::create_symlink(outside, folder / "link.top", error);
  fs::create_symlink("/etc/passwd", folder / "passwd.top", error);
  fs::create_directories(folder / "folder.top");
  const fs::path fifo = folder / "fifo.top";
  ::mkfifo(fifo.c_str(), 0600);
  const fs::path damaged = folder / "damaged.top";
  WriteBytes(damaged.string(), Bytes{0, 0, 0x23, 0x28, 1, 2});
  const auto close = [&](const std::string& named) {
    entry(118)->setPlugInAvailable(false);
    entry(118)->setPlugInOwnerDocument(model);
    WriteEmptyPlugOut(exchange(118), 118);
    QVariantMap info = ids(118, SessionID(), model->itsDocID);
    info.insert(kAuxDictTopographyKey, QString::fromStdString(named));
    dispatcher.addkitDidCloseUpdate(info);
    EXPECT_TRUE(entry(118)->plugInAvailable());
  };
  const std::string refused[] = {"/etc/passwd",
                                 "../../../../../../../../etc/passwd",
                                 "/dev/zero",
                                 outside.string(),
                                 (folder / "link.top").string(),
                                 (folder / "passwd.top").string(),
                                 (folder / "folder.top").string(),
                                 fifo.string(),
                                 (folder / ".." / fs::path(file("outside.top")).filename()).string(),
                                 (folder / "missing.top").string(),
                                 damaged.string(),
                                 std::string(600, 'a')};
  for (const std::string& named : refused) {
    SCOPED_TRACE(named.substr(0, 80));
    std::strcpy(ds->topoPath, "kept.top");
    ScopedAlertRecorder alerts;
    close(named);
    EXPECT_STREQ(ds->topoPath, "kept.top");
    EXPECT_TRUE(alerts.sawMessage("Unable to read topography file."));
  }
  // The plug-in's own grid file, by its full path or by its name in the folder.
  for (const std::string& named : {grid.string(), std::string("lot.top")}) {
    SCOPED_TRACE(named);
    ds->topoPath[0] = 0;
    ds->topoGridSpacing = 1;
    ScopedAlertRecorder alerts;
    close(named);
    EXPECT_EQ(fs::path(ds->topoPath), fs::canonical(grid));
    EXPECT_EQ(ds->topoGridSpacing, 48);
    EXPECT_TRUE(alerts.shown.empty());
  }
}

TEST_F(AddkitTest, AMergeGoesIntoTheDesignThePluginWasStartedFor) {
  install(131, "update", "Cabinets");
  buildList();
  MakeWallWithSides(0, nullptr, model->itsCurLayer);
  ASSERT_TRUE(AddkitDispatcher::sharedAddkitDispatcher().launchAddkitWithID(131));
  // Another design becomes current while the plug-in runs.
  ZLKDocument* other = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(other, nullptr);
  gCurDocument = other->documentModel();
  const int otherBefore = CountObjects(other->documentModel());
  ASSERT_TRUE(waitUntilReleased(131));
  EXPECT_NE(FindType(model, kObjText), nullptr);
  EXPECT_EQ(CountObjects(other->documentModel()), otherBefore);
  EXPECT_EQ(gCurDocument, other->documentModel());
}

TEST_F(AddkitTest, ClosingTheDesignAsksEachOfItsPluginsToQuit) {
  install(131, "hang", "Cabinets");
  install(140, "hang", "Stairs");
  install(150, "hang", "Elsewhere");
  buildList();
  CloseRequestListener listener;
  ASSERT_TRUE(listener.listen());
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  ASSERT_TRUE(dispatcher.launchAddkitWithID(131));
  ASSERT_TRUE(dispatcher.launchAddkitWithID(140));
  ZLKDocument* other = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(other, nullptr);
  gCurDocument = other->documentModel();
  ASSERT_TRUE(dispatcher.launchAddkitWithID(150));
  gCurDocument = model;
  ASSERT_TRUE(waitForFile(pluginFile("Cabinets", "listening")));
  ASSERT_TRUE(waitForFile(pluginFile("Stairs", "listening")));
  ASSERT_TRUE(waitForFile(pluginFile("Elsewhere", "listening")));
  const int32_t docID = model->itsDocID;
  const QList<ZLKWindowController*> windows = doc->windowControllers();
  ZLKDocumentController::sharedDocumentController().removeDocument(doc);
  for (ZLKWindowController* w : windows) delete w;
  doc = nullptr;
  model = nullptr;
  gCurDocument = other->documentModel();
  // Other test programs share the bus: only the requests about this design count.
  auto ours = [&] {
    std::multiset<int64_t> asked;
    for (const QVariantMap& r : listener.requests) {
      int64_t id = 0, user = 0, d = 0;
      if (AddkitBusInteger(r.value(kAuxDictAddkitIDKey), &id) && AddkitBusInteger(r.value(kAuxDictUserIDKey), &user) &&
          AddkitBusInteger(r.value(kAuxDictDocumentIDKey), &d) && d == docID && user == SessionID())
        asked.insert(id);
    }
    return asked;
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return ours().size() >= 2; }, 10000));
  QTest::qWait(300);
  EXPECT_EQ(ours(), (std::multiset<int64_t>{131, 140}));
  EXPECT_TRUE(entry(131)->plugInAvailable());
  EXPECT_TRUE(entry(140)->plugInAvailable());
  EXPECT_FALSE(entry(150)->plugInAvailable());
  // The plug-ins heard it and quit.
  EXPECT_TRUE(waitForFile(pluginFile("Cabinets", "asked-to-close")));
  EXPECT_TRUE(waitForFile(pluginFile("Stairs", "asked-to-close")));
  EXPECT_FALSE(fs::exists(pluginFile("Elsewhere", "asked-to-close")));
}

// Two plug-ins holding one design, each order of the plug-in list: the one running keeps its
// lock from a second launch of itself but not from another plug-in, which runs for the same
// design. The other one closing with changes frees only itself and merges into the design,
// which stays held by the first; the design window's Close button then ends the first, and
// with both running it ends both.
TEST_F(AddkitTest, TwoPluginsHoldOneDesignAndEachClosingFreesOnlyItself) {
  struct Row {
    int32_t held;
    const char* heldName;
    int32_t updating;
    const char* updatingName;
  };
  const Row rows[] = {{131, "Cabinets", 140, "Stairs"}, {140, "Stairs", 131, "Cabinets"}};
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.heldName << " held, " << r.updatingName << " updating");
    fs::remove_all(plugins);
    fs::create_directories(plugins);
    install(r.held, "hang", r.heldName);
    install(r.updating, "update", r.updatingName);
    buildList();
    alerts.shown.clear();
    ASSERT_TRUE(dispatcher.launchAddkitWithID(r.held));
    ASSERT_TRUE(waitForFile(pluginFile(r.heldName, "listening")));
    EXPECT_FALSE(dispatcher.launchAddkitWithID(r.held));
    EXPECT_EQ(entry(r.held)->plugInOwnerDocument(), model);
    ASSERT_TRUE(dispatcher.launchAddkitWithID(r.updating));
    EXPECT_EQ(entry(r.updating)->plugInOwnerDocument(), model);
    EXPECT_FALSE(AppController::delegateItemsEnabled());

    ASSERT_TRUE(waitUntilReleased(r.updating));
    EXPECT_EQ(entry(r.updating)->plugInOwnerDocument(), nullptr);
    EXPECT_FALSE(entry(r.held)->plugInAvailable());
    EXPECT_EQ(entry(r.held)->plugInOwnerDocument(), model);
    EXPECT_EQ(dispatcher.addkitEntryForDocument(model), entry(r.held));
    EXPECT_FALSE(AppController::delegateItemsEnabled());
    Objex* group = nullptr;
    for (Objex* o = model->itsCurLayer->firstObject; o; o = o->next)
      if (o->type == kObjGroup && o->groupMarker == r.updating) group = o;
    EXPECT_NE(group, nullptr);
    EXPECT_EQ(doc->undoManager().undoActionName(), r.updatingName);
    EXPECT_FALSE(fs::exists(exchange(r.updating)));
    EXPECT_FALSE(fs::exists(pluginFile(r.heldName, "asked-to-close")));

    alerts.answer = 0;
    window->closeDocumentAddkitButtonChanged();
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].message, std::string("Are you sure you want to close '") + r.heldName + "'?");
    EXPECT_TRUE(entry(r.held)->plugInAvailable());
    EXPECT_EQ(dispatcher.addkitEntryForDocument(model), nullptr);
    EXPECT_TRUE(AppController::delegateItemsEnabled() || AppController::deMiniaturizedDocumentWindowCount() == 0);
    EXPECT_TRUE(waitForFile(pluginFile(r.heldName, "asked-to-close")));
    EXPECT_FALSE(fs::exists(pluginFile(r.updatingName, "asked-to-close")));
  }
  // Both running when the Close button is pressed: one answer ends both.
  const Row& r = rows[1];
  fs::remove(pluginFile(r.heldName, "listening"));
  fs::remove(pluginFile(r.heldName, "asked-to-close"));
  std::ofstream(pluginFile(r.updatingName, "mode"))
      << "hang " << r.updating << " " << entry(r.updating)->plugInAppleAppID().toStdString() << " -\n";
  ASSERT_TRUE(dispatcher.launchAddkitWithID(r.held));
  ASSERT_TRUE(dispatcher.launchAddkitWithID(r.updating));
  ASSERT_TRUE(waitForFile(pluginFile(r.heldName, "listening")));
  ASSERT_TRUE(waitForFile(pluginFile(r.updatingName, "listening")));
  alerts.shown.clear();
  window->closeDocumentAddkitButtonChanged();
  EXPECT_EQ(alerts.shown.size(), 1u);
  EXPECT_TRUE(entry(r.held)->plugInAvailable());
  EXPECT_TRUE(entry(r.updating)->plugInAvailable());
  EXPECT_EQ(dispatcher.addkitEntryForDocument(model), nullptr);
  EXPECT_TRUE(waitForFile(pluginFile(r.heldName, "asked-to-close")));
  EXPECT_TRUE(waitForFile(pluginFile(r.updatingName, "asked-to-close")));
}

TEST_F(AddkitTest, TheProgressSheetCoversTheWindowUntilThePluginCloses) {
  install(131, "hang", "Cabinets");
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  ASSERT_TRUE(dispatcher.launchAddkitWithID(131));
  window->beginAddkitProgressSheetForEntry(entry(131));
  ASSERT_TRUE(waitForFile(pluginFile("Cabinets", "listening")));
  ASSERT_NE(window->addkitProgressSheet(), nullptr);
  EXPECT_TRUE(window->addkitProgressSheet()->isVisible());
  EXPECT_EQ(window->addkitStatusText()->text().toStdString(), "'Cabinets' is currently using this design.");
  // The menus of the application delegate are off while the plug-in holds the design.
  EXPECT_FALSE(AppController::delegateItemsEnabled());
  EXPECT_FALSE(PlanViewActions::validate(kTagShowAddkitLauncher).enabled);
  // Cancel in the question keeps it running.
  alerts.answer = 1;
  window->closeDocumentAddkitButtonChanged();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "Are you sure you want to close 'Cabinets'?");
  EXPECT_FALSE(entry(131)->plugInAvailable());
  EXPECT_TRUE(window->addkitProgressSheet()->isVisible());
  // Close Addkit ends it: the sheet goes, the plug-in is asked to quit.
  alerts.answer = 0;
  window->closeDocumentAddkitButtonChanged();
  EXPECT_TRUE(entry(131)->plugInAvailable());
  EXPECT_FALSE(window->addkitProgressSheet()->isVisible());
  EXPECT_TRUE(waitForFile(pluginFile("Cabinets", "asked-to-close")));
  // A plug-in that closes by itself ends its sheet too.
  fs::remove(pluginFile("Cabinets", "ran"));
  std::ofstream(pluginFile("Cabinets", "mode")) << "noupdate 131 " << entry(131)->plugInAppleAppID().toStdString()
                                                 << " -\n";
  ASSERT_TRUE(dispatcher.launchAddkitWithID(131));
  window->beginAddkitProgressSheetForEntry(entry(131));
  EXPECT_TRUE(window->addkitProgressSheet()->isVisible());
  ASSERT_TRUE(waitUntilReleased(131));
  EXPECT_FALSE(window->addkitProgressSheet()->isVisible());
  EXPECT_TRUE(AppController::delegateItemsEnabled() || AppController::deMiniaturizedDocumentWindowCount() == 0);
}

TEST_F(AddkitTest, TheCabinetPluginIsRefusedWhileAnotherDesignHoldsIt) {
  install(131, "hang", "Cabinets");
  buildList();
  Win32EventHandler& handler = *Win32EventHandler::sharedEventHandler();
  entry(131)->setPlugInAvailable(false);  // held elsewhere
  EXPECT_FALSE(handler.launchCabinetAddkit());
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].message, "The Addkit 'Cabinets' is currently being used.");
  EXPECT_EQ(alerts.shown[0].informative, "Only one design at a time may use any given Addkit.");
  entry(131)->setPlugInAvailable(true);
  // Not a cabinet under the context click: nothing happens.
  Objex* square = addSelectedSquare();
  gContextFoundObj = square;
  handler.launchObjectAddkit();
  gContextFoundObj = nullptr;
  EXPECT_TRUE(entry(131)->plugInAvailable());
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST(ShippedAddkits, ThePhotoViewDescriptorIsListed) {
  TestApplication();
  AddkitPluginList list;
  list.buildPluginList(LocalDomainAddkitPath());
  const AddkitEntry* photo = list.addkitEntryForID(kAddkitPhotoView);
  ASSERT_NE(photo, nullptr);
  EXPECT_EQ(photo->plugInName(), "Photo View");
  EXPECT_FALSE(photo->plugInPreview().isNull());
  EXPECT_EQ(photo->plugInFileVer(), 11000);
  EXPECT_TRUE(IsSafeAddkitAppID(photo->plugInAppleAppID().toStdString().c_str()));
}

TEST_F(AddkitTest, APluginThatDiesSilentlyKeepsItsDesignUntilClosed) {
  install(131, "crash", "Cabinets");
  buildList();
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  ASSERT_TRUE(dispatcher.launchAddkitWithID(131));
  ASSERT_TRUE(waitForFile(pluginFile("Cabinets", "ran")));
  QTest::qWait(500);
  EXPECT_FALSE(entry(131)->plugInAvailable());
  // The delegate's items are off, the snap item reads "Show" whatever the palette shows.
  QAction snap;
  snap.setData(int(kCmdToggleSnapTools));
  EXPECT_FALSE(AppController::validateMenuItem(&snap));
  EXPECT_EQ(snap.text().toStdString(), "Show Snap Tools");
  // Closing it from the design window frees the design; the exchange file stays unread.
  const int before = CountObjects(model);
  alerts.answer = 0;
  window->closeDocumentAddkitButtonChanged();
  EXPECT_TRUE(entry(131)->plugInAvailable());
  EXPECT_EQ(CountObjects(model), before);
  EXPECT_TRUE(fs::exists(exchange(131)));
  EXPECT_TRUE(dispatcher.launchAddkitWithID(131));  // and it can start again
  // Not twice: a second launch for another design would take the first design's lock.
  ZLKDocument* other = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(other, nullptr);
  gCurDocument = other->documentModel();
  EXPECT_FALSE(dispatcher.launchAddkitWithID(131));
  EXPECT_EQ(entry(131)->plugInOwnerDocument(), model);
  gCurDocument = model;
}
