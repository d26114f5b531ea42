// The application delegate's launch: the registered user defaults, the readout preferences
// taken from them, the start-up globals, the launch flags and the application menu's validation.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <utility>
#include <vector>
#include <string>

#include "AppTestSupport.h"
#include "app/AppController.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"
#include "app/PlanViewActions.h"
#include "app/UserDefaultKeys.h"
#include "app/ZLKDocument.h"
#include "app/ZLKDocumentController.h"
#include "app/ZLKWindowController.h"
#include "files/SideBlocks.h"
#include "inspectors/InspectorController.h"
#include "inspectors/AboutWindowController.h"
#include "inspectors/PreferencesController.h"
#include "inspectors/ReadoutFormatControls.h"
#include "inspectors/SnapPaletteController.h"
#include "model/CommandCodes.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "plandraw/LinePrimitives.h"
#include "platform/ContentPaths.h"
#include "platform/UserDefaults.h"
#include "platform/qt/QtUserDefaults.h"

namespace fs = std::filesystem;

namespace {

class AppDelegate : public DesignWindowTest {
 protected:
  AppDelegate() : DesignWindowTest(/*makesDocument=*/false) {}
  // The readout settings come back through the base fixture; the fonts here.
  void beforeDocument() override {
    savedCurFont = gCurFontInfo;
    savedTextFont = gTextFontInfo;
  }
  void afterClosing() override {
    gCurFontInfo = savedCurFont;
    gTextFontInfo = savedTextFont;
  }

  LOGFONT savedCurFont{}, savedTextFont{};
};

}  // namespace

TEST_F(AppDelegate, RegistersEveryDefaultWithItsValue) {
  const auto registered = AppController::registrationDefaults(false);
  EXPECT_EQ(registered.size(), 30u);
  defaults.registerDefaults(registered);
  EXPECT_TRUE(defaults.getBool("UndoEnabled"));
  EXPECT_EQ(defaults.getInt("UndoLevels"), 200);
  for (const char* key : {"ShowPlanTools", "ShowSnapTools", "ShowGeneralTools", "ShowContentPanel",
                          "ShowInspectorPanel"})
    EXPECT_TRUE(defaults.getBool(key)) << key;
  const std::pair<const char*, const char*> colours[] = {
      {"FoundationPlanColor", "#c00000"},  {"FloorPlanColor", "#004088"},    {"ElectricalPlanColor", "#ff8000"},
      {"PlumbingPlanColor", "#00c0c0"},    {"RoofingPlanColor", "#0000c0"},  {"HVACPlanColor", "#c000c0"},
      {"DeckPlanColor", "#c07c20"},        {"LandscapePlanColor", "#00c000"}, {"DetailPlanColor", "#004088"},
      {"PlanBackgroundColor", "#f8f8ff"},  {"InactiveFloorColor", "#d0e8ff"}, {"InteriorFillColor", "#f2f2ff"},
      {"TopographyLinesColor", "#c1ddc1"}, {"ClearViewColor", "#004088"},    {"WireFrameColor", "#000000"},
      {"GridColor", "#a8b0c8"}};
  for (auto [key, value] : colours) EXPECT_EQ(defaults.getString(key), value) << key;
  EXPECT_EQ(defaults.getInt("UseImperialSystemKey"), 3);
  EXPECT_EQ(defaults.getInt("AngleReadoutKey"), 2);
  EXPECT_EQ(defaults.getInt("ImperialReadoutKey"), 112);
  EXPECT_EQ(defaults.getInt("MetricReadoutKey"), 1);
  EXPECT_FALSE(defaults.getBool("ForcePlanDefaultsKey"));
  EXPECT_EQ(defaults.getInt("MaxSearchResults"), 100);
  EXPECT_EQ(defaults.getInt("PreviewSizeKey"), 2);
  // A metric locale registers the metric system.
  EXPECT_EQ(std::get<int>(AppController::registrationDefaults(true).at(ZLKMeasurementSystemKey)), 4);
  // initialize() registers the table on the standard defaults.
  MemoryUserDefaults fresh;
  SetStandardUserDefaults(&fresh);
  AppController::initialize();
  EXPECT_EQ(fresh.getInt("ImperialReadoutKey"), 112);
  EXPECT_EQ(fresh.getString("GridColor"), "#a8b0c8");
  SetStandardUserDefaults(&defaults);
}

TEST_F(AppDelegate, NewPlanReadoutStateComesFromTheDefaults) {
  defaults.registerDefaults(AppController::registrationDefaults(true));
  AppController::loadNewPlanReadoutState();
  EXPECT_EQ(gDefaultToImperial, 0);
  EXPECT_EQ(gAngleReadoutFormat, 2);
  EXPECT_EQ(gImperialReadoutFormat, 112);
  EXPECT_EQ(gMetricReadoutFormat, 1);
  EXPECT_EQ(gForceNewPlanDefaults, 0);
  defaults.setInt("UseImperialSystemKey", 3);
  defaults.setBool("ForcePlanDefaultsKey", true);
  defaults.setInt("MetricReadoutKey", 3);
  AppController::loadNewPlanReadoutState();
  EXPECT_EQ(gDefaultToImperial, 1);
  EXPECT_EQ(gForceNewPlanDefaults, 1);
  EXPECT_EQ(gMetricReadoutFormat, 3);
  defaults.setInt("UseImperialSystemKey", 7);  // anything but 3 counts as metric
  AppController::loadNewPlanReadoutState();
  EXPECT_EQ(gDefaultToImperial, 0);
}

// A damaged preferences file's readout codes: a new design reads out as the Preferences window
// shows the codes, each code its controls cannot show being the default.
TEST_F(AppDelegate, NewDesignsReadOutAsThePreferencesShowDamagedCodes) {
  // Angle, imperial and metric codes after start-up: a new design's, and the window's.
  using Codes = std::array<int16_t, 3>;
  const auto newDesignAndWindow = [] {
    AppController::startUp();
    AppController::applicationWillTerminate();
    ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(/*display=*/false);
    const DocState* ds = doc ? doc->documentModel()->itsDocState : nullptr;
    PreferencesController& prefs = PreferencesController::sharedPreferencesController();
    prefs.initializeControls();
    const ReadoutFormatControls* shown = prefs.controls;
    const std::pair<Codes, Codes> codes{ds ? Codes{ds->angleReadout, ds->imperialReadout, ds->metricReadout} : Codes{},
                                        Codes{shown->angleFormat, shown->imperialFormat, shown->metricFormat}};
    CloseAllDesigns();
    return codes;
  };
  const Codes defaultCodes{2, 112, 1};

  // The preferences file of the report (all three at 30000), read by the program's own store.
  QTemporaryDir dir;
  const QString ini = dir.filePath("casavelt.conf");
  ASSERT_TRUE(QFile::copy(QString::fromStdString(
                              (fs::path(__FILE__).parent_path() / "data" / "regressions" / "readout-codes-out-of-range.conf")
                                  .string()),
                          ini));
  QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
  {
    QtUserDefaults damaged(ini);
    SetStandardUserDefaults(&damaged);
    AppController::initialize();
    EXPECT_EQ(damaged.getInt("ImperialReadoutKey"), 30000);
    const auto [design, window] = newDesignAndWindow();
    EXPECT_EQ(design, defaultCodes);
    EXPECT_EQ(window, defaultCodes);
    SetStandardUserDefaults(&defaults);
  }

  // Each key at both ends of its range and past them; the other two keys keep their defaults.
  AppController::initialize();
  const char* const keys[3] = {"AngleReadoutKey", "ImperialReadoutKey", "MetricReadoutKey"};
  const int lastValid[3] = {4, 127, 7};
  for (int i = 0; i < 3; ++i) {
    for (const int stored : {0, lastValid[i], lastValid[i] + 1, -1, 30000, 32767, 2147483647}) {
      defaults.setInt(keys[i], stored);
      Codes expected = defaultCodes;
      if (stored >= 0 && stored <= lastValid[i]) expected[i] = static_cast<int16_t>(stored);
      const auto [design, window] = newDesignAndWindow();
      EXPECT_EQ(design, expected) << keys[i] << " " << stored;
      EXPECT_EQ(window, expected) << keys[i] << " " << stored;
    }
    defaults.removeKey(keys[i]);
  }
}

TEST_F(AppDelegate, StartUpSetsTheGlobalsAndTheLaunchFlags) {
  AppController::initialize();
  defaults.setBool("ShowSnapTools", false);
  gLiveViewOptions = 0;
  gToolsetOptions = 0;
  FreeAcclLineBuffer();
  AppController::startUp();
  EXPECT_EQ(gLiveViewOptions, 1023);
  EXPECT_EQ(gToolsetOptions, 6911);
  EXPECT_FALSE(AppController::snapToolsVisible());
  EXPECT_TRUE(AppController::inspectorVisible());
  EXPECT_EQ(gCurFontInfo.lfHeight, -16);
  EXPECT_EQ(gTextFontInfo.lfHeight, -28);
  EXPECT_EQ(gTextFontInfo.lfItalic, 1);
  EXPECT_EQ(gTextFontInfo.lfWeight, 0);
  EXPECT_EQ(gTextFontInfo.lfPitchAndFamily, 0x34);
  EXPECT_STREQ(gCurFontInfo.lfFaceName, "Arial");
  EXPECT_NE(gAcclLineBuffer, nullptr);
  EXPECT_TRUE(AppController::shouldDisplaySplashScreen());
  EXPECT_FALSE(AppController::applicationDidLaunch());
  EXPECT_TRUE(fs::is_directory(folder));

  AppController::applicationDidFinishLaunching();
  EXPECT_FALSE(AppController::shouldDisplaySplashScreen());
  EXPECT_TRUE(AppController::applicationDidLaunch());
  AppController::applicationWillTerminate();
  EXPECT_EQ(gAcclLineBuffer, nullptr);
  AppController::setSnapToolsVisible(true);
}

// Panels closed for a plug-in before the run's first placement come back without the snap
// palette: restoring brings back only the two tool palettes.
TEST_F(AppDelegate, PanelsClosedBeforeTheFirstPlacementComeBackWithoutTheSnapPalette) {
  AppController::initialize();
  AppController::startUp();
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  SnapPaletteController& snap = SnapPaletteController::sharedSnapPaletteController();
  edit.showWindow();
  plan.showWindow();
  snap.showWindow();
  AppController::closeVisiblePanelsAndSaveState();
  EXPECT_TRUE(AppController::snapToolsVisible());
  AppController::restoreAllVisiblePanels();
  EXPECT_TRUE(edit.isVisible());
  EXPECT_TRUE(plan.isVisible());
  EXPECT_FALSE(snap.isVisible());
  edit.close();
  plan.close();
  AppController::setEditToolsVisible(true);
  AppController::setPlanToolsVisible(true);
  AppController::setSnapToolsVisible(true);
  AppController::applicationWillTerminate();
}

// The inspector is closed with the palettes, its state recorded, and not brought back.
TEST_F(AppDelegate, ClosingThePanelsHidesTheInspectorUntilTheUserShowsIt) {
  ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(doc, nullptr);
  gCurDocument = doc->documentModel();
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  window->show();
  InspectorController* inspector = InspectorController::sharedInspectorController();
  ASSERT_NE(inspector->panel(), nullptr);
  inspector->panel()->show();
  AppController::closeVisiblePanelsAndSaveState();
  EXPECT_TRUE(inspector->panel()->isHidden());
  EXPECT_TRUE(AppController::inspectorVisible());  // recorded as it was
  AppController::restoreAllVisiblePanels();
  EXPECT_TRUE(inspector->panel()->isHidden());
  QAction item;
  item.setData(int(kCmdToggleInspector));
  AppController::validateMenuItem(&item);
  EXPECT_EQ(item.text(), "Show Inspector");

  // Hidden when the panels close, it is recorded as hidden.
  AppController::closeVisiblePanelsAndSaveState();
  EXPECT_FALSE(AppController::inspectorVisible());
  ToolPaletteController::sharedToolPaletteController().close();
  PlanToolPaletteController::sharedPlanToolPaletteController().close();
  AppController::setEditToolsVisible(true);
  AppController::setPlanToolsVisible(true);
  AppController::setSnapToolsVisible(true);
  AppController::setInspectorVisible(true);
  gCurDocument = nullptr;
}

TEST_F(AppDelegate, ApplicationMenuItemsNeedAShownDesign) {
  QAction snap;
  snap.setData(kCmdToggleSnapTools);
  EXPECT_FALSE(AppController::validateMenuItem(&snap));
  EXPECT_EQ(snap.text(), "Show Snap Tools");

  ZLKDocument* doc = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(false);
  ASSERT_NE(doc, nullptr);
  gCurDocument = doc->documentModel();
  ZLKWindowController* window = doc->windowControllers().value(0);
  ASSERT_NE(window, nullptr);
  window->show();
  EXPECT_EQ(AppController::deMiniaturizedDocumentWindowCount(), 1u);
  QAction preferences;
  EXPECT_TRUE(AppController::validateMenuItem(&preferences));
  SnapPaletteController& palette = SnapPaletteController::sharedSnapPaletteController();
  palette.hide();
  EXPECT_TRUE(AppController::validateMenuItem(&snap));
  EXPECT_EQ(snap.text(), "Show Snap Tools");
  palette.show();
  EXPECT_TRUE(AppController::validateMenuItem(&snap));
  EXPECT_EQ(snap.text(), "Hide Snap Tools");
  palette.hide();
  // The delegate's actions behind the items.
  AppController::toggleSnapPalettePanel();
  EXPECT_TRUE(palette.isVisible());
  AppController::toggleSnapPalettePanel();
  EXPECT_FALSE(palette.isVisible());
  PreferencesController& prefs = PreferencesController::sharedPreferencesController();
  AppController::showPreferenceWindow();
  EXPECT_TRUE(prefs.isVisible());
  prefs.hide();
  AboutWindowController* about = AboutWindowController::sharedAboutWindowController();
  AppController::showAboutWindow();
  EXPECT_TRUE(about->isVisible());
  about->hide();

  window->showMinimized();
  EXPECT_EQ(AppController::deMiniaturizedDocumentWindowCount(), 0u);
  EXPECT_FALSE(AppController::validateMenuItem(&preferences));
  // The design window's menus carry these items under the same rule.
  palette.show();
  QAction windowSnap, windowPreferences;
  windowSnap.setData(int(kCmdToggleSnapTools));
  windowPreferences.setData(int(kTagShowPreferences));
  EXPECT_FALSE(PlanViewActions::validateMenuItem(&windowSnap));
  EXPECT_FALSE(windowSnap.isEnabled());
  EXPECT_EQ(windowSnap.text(), "Show Snap Tools");
  EXPECT_FALSE(PlanViewActions::validateMenuItem(&windowPreferences));
  palette.hide();
  window->showNormal();
  gCurDocument = nullptr;
  EXPECT_FALSE(AppController::validateMenuItem(&preferences));
}

// Help > Manual opens the shipped manual only when there is one; Help > Home Page opens the
// address through the string table. Both menu items follow the delegate's rule.
TEST_F(AppDelegate, ManualAndHomePageOpenWithTheDesktop) {
  std::vector<std::pair<std::string, bool>> opened;
  const auto savedOpener = AppController::openWithDesktop;
  AppController::openWithDesktop = [&](const std::string& what, bool isFile) {
    opened.emplace_back(what, isFile);
    return true;
  };
  const fs::path root = fs::temp_directory_path() / ("manual-" + std::to_string(::getpid()));
  fs::create_directories(root);
  const std::string savedRoot = LocalDomainApplicationSupportPath();
  SetLocalSupportRoot(root.string());

  AppController::launchManual();
  EXPECT_TRUE(opened.empty());  // no manual shipped: nothing happens
  { std::ofstream(root / "QVRAVerdaliaManual.pdf") << "%PDF-1.4\n"; }
  AppController::launchManual();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].first, (root / "QVRAVerdaliaManual.pdf").string());
  EXPECT_TRUE(opened[0].second);
  AppController::visitZelkoHomePage();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1].first, AppController::kHomePageAddress);
  EXPECT_FALSE(opened[1].second);

  // Without a shown design window the items are off; the actions take their tags.
  QAction manual, home;
  manual.setData(int(kTagLaunchManual));
  home.setData(int(kTagVisitHomePage));
  EXPECT_FALSE(PlanViewActions::validateMenuItem(&manual));
  EXPECT_FALSE(PlanViewActions::validateMenuItem(&home));
  PlanViewActions actions;
  EXPECT_TRUE(actions.perform(kTagVisitHomePage));
  EXPECT_EQ(opened.size(), 3u);

  SetLocalSupportRoot(savedRoot);
  fs::remove_all(root);
  AppController::openWithDesktop = savedOpener;
}

// The start-up installs every library's routines into the model's tables: with all of them
// emptied first, nothing the model calls is left to its recording stand-in afterwards.
TEST_F(AppDelegate, StartUpInstallsEveryServiceTheModelCalls) {
  const BuildingServices building = gBuildingServices;
  const OpeningsServices openings = gOpeningsServices;
  const ToolsServices tools = gToolsServices;
  const RendererServices renderer = gRendererServices;
  const ContentServices content = gContentServices;
  const InspectorServices inspector = gInspectorServices;
  const PlanDrawingServices planDrawing = gPlanDrawingServices;
  const FrontEndServices frontEnd = gFrontEnd;
  gBuildingServices = {};
  gOpeningsServices = {};
  gToolsServices = {};
  gRendererServices = {};
  gContentServices = {};
  gInspectorServices = {};
  gPlanDrawingServices = {};
  gFrontEnd = {};
  const size_t tables = InstalledServiceGaps().size();
  AppController::initialize();
  const std::vector<ServiceGap> gaps = InstalledServiceGaps();
  for (const ServiceGap& gap : gaps)
    for (size_t slot : gap.emptySlots) ADD_FAILURE() << "not installed: " << gap.table << " member " << slot;
  gBuildingServices = building;
  gOpeningsServices = openings;
  gToolsServices = tools;
  gRendererServices = renderer;
  gContentServices = content;
  gInspectorServices = inspector;
  gPlanDrawingServices = planDrawing;
  gFrontEnd = frontEnd;
  EXPECT_EQ(tables, 8u);  // every table was seen empty
  EXPECT_TRUE(gaps.empty());
}
