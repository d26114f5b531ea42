// A design held by a plug-in keeps the palettes away when its window becomes the main window;
// another design's window brings them back. A plug-in gives back every window it hid, and the
// photo view hides none.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <filesystem>
#include <fstream>

#include <QDockWidget>

#include "app/AddkitDispatcher.h"
#include "app/AddkitEntry.h"
#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "app/x11/SettleWindows.h"
#include "app/EditToolPaletteController.h"
#include "app/LiveViewController.h"
#include "app/PlanToolPaletteController.h"
#include "app/ZLKDocumentView.h"
#include "inspectors/InspectorController.h"
#include "inspectors/SnapPaletteController.h"
#include "platform/Session.h"

namespace {

class AddkitWindows : public DesignWindowTest {
 protected:
  AddkitWindows() : DesignWindowTest(/*makesDocument=*/false) {}
  void beforeClosing() override {
    ZLKDocumentView::choosePhotoViewImagePaths = nullptr;
    AddkitDispatcher::sharedAddkitDispatcher().buildPluginList(folder + "/none");
    ToolPaletteController::sharedToolPaletteController().hide();
    PlanToolPaletteController::sharedPlanToolPaletteController().hide();
    SnapPaletteController::sharedSnapPaletteController().hide();
    LiveViewController::releaseSharedLiveViewController();
  }
  // A plug-in whose program starts and ends at once; its closing is told by the test.
  void installPlugin(int32_t id, const std::string& name) {
    const std::string plugins = folder + "/Plugins";
    std::filesystem::create_directories(plugins + "/" + name);
    std::filesystem::create_symlink("/bin/true", plugins + "/" + name + "/run");
    QImage preview(8, 8, QImage::Format_RGB32);
    preview.fill(Qt::gray);
    ASSERT_TRUE(preview.save(QString::fromStdString(plugins + "/" + name + "/p.png")));
    std::ofstream(plugins + "/" + name + ".qeg") << "[Description]\nDirectory=" << name
                                                 << "\nPlugIn=run\nImage=p.png\nDisplayName="
                                                 << name << "\nAppleAppID=test." << name << "\nID=" << id
                                                 << "\nType=1\n";
    AddkitDispatcher::sharedAddkitDispatcher().buildPluginList(plugins);
  }
  // The windows a user keeps beside the design, each shown or not.
  struct Shown {
    bool edit, plan, snap, inspector, liveView;
    bool operator==(const Shown&) const = default;
  };
  static Shown shown() {
    const QDockWidget* inspector = InspectorController::sharedInspectorController()->panel();
    return {ToolPaletteController::sharedToolPaletteController().isVisible(),
            PlanToolPaletteController::sharedPlanToolPaletteController().isVisible(),
            SnapPaletteController::sharedSnapPaletteController().isVisible(), inspector && inspector->isVisible(),
            LiveViewController::exists() && LiveViewController::sharedLiveViewController()->isVisible()};
  }
  static void showAll() {
    ToolPaletteController::sharedToolPaletteController().showWindow();
    PlanToolPaletteController::sharedPlanToolPaletteController().showWindow();
    SnapPaletteController::sharedSnapPaletteController().showWindow();
    InspectorController::sharedInspectorController()->panel()->show();
    AppController::showLiveViewPanel();
    EXPECT_TRUE(SettleWindows()) << "the windows did not settle";
  }
  ZLKWindowController* openWindow() {
    ZLKDocument* d = ZLKDocumentController::sharedDocumentController().makeUntitledDocument(/*display=*/true);
    if (!d) return nullptr;
    ZLKWindowController* w = d->windowControllers().value(0);
    if (!w || !QTest::qWaitForWindowExposed(w)) return nullptr;
    return w;
  }
  static void activate(QWidget* w) {
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_TRUE(SettleWindows()) << "the windows did not settle";
  }
};

TEST_F(AddkitWindows, ThePalettesStayAwayFromADesignAPluginHolds) {
  const std::string plugins = folder + "/Plugins";
  std::filesystem::create_directories(plugins + "/Cab");
  QImage preview(8, 8, QImage::Format_RGB32);
  preview.fill(Qt::gray);
  ASSERT_TRUE(preview.save(QString::fromStdString(plugins + "/Cab/p.png")));
  std::ofstream(plugins + "/Cab.qeg") << "[Description]\nDirectory=Cab\nPlugIn=cab\nImage=p.png\nDisplayName=Cab\n"
                                         "AppleAppID=test.cab\nID=131\nType=1\n";
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  dispatcher.buildPluginList(plugins);
  ASSERT_NE(dispatcher.addkitEntryForID(131), nullptr);
  AppController::setEditToolsVisible(true);
  AppController::setPlanToolsVisible(true);
  ZLKWindowController* free = openWindow();
  ZLKWindowController* held = openWindow();
  ASSERT_NE(free, nullptr);
  ASSERT_NE(held, nullptr);
  AddkitEntry* entry = dispatcher.addkitEntryForID(131);
  entry->setPlugInAvailable(false);
  entry->setPlugInOwnerDocument(held->document()->documentModel());
  ToolPaletteController& edit = ToolPaletteController::sharedToolPaletteController();
  PlanToolPaletteController& plan = PlanToolPaletteController::sharedPlanToolPaletteController();
  activate(free);
  EXPECT_TRUE(edit.isVisible());
  EXPECT_TRUE(plan.isVisible());
  activate(held);
  EXPECT_EQ(gCurDocument, held->document()->documentModel());
  EXPECT_FALSE(edit.isVisible());
  EXPECT_FALSE(plan.isVisible());
  // What was shown is remembered and comes back with the other design.
  activate(free);
  EXPECT_TRUE(edit.isVisible());
  EXPECT_TRUE(plan.isVisible());
  dispatcher.releaseLockForAddkit(entry);
}

TEST_F(AddkitWindows, APluginGivesBackEveryWindowItHid) {
  installPlugin(131, "Cab");
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  ASSERT_NE(dispatcher.addkitEntryForID(131), nullptr);
  ZLKWindowController* window = openWindow();
  ASSERT_NE(window, nullptr);
  activate(window);
  ASSERT_NE(InspectorController::sharedInspectorController()->panel(), nullptr);
  showAll();
  const Shown all{true, true, true, true, true};
  ASSERT_TRUE(shown() == all);
  AddkitEntry* entry = dispatcher.addkitEntryForID(131);
  QVariantMap ids;
  ids.insert(kAuxDictAddkitIDKey, 131);
  ids.insert(kAuxDictUserIDKey, static_cast<qlonglong>(SessionID()));
  ids.insert(kAuxDictDocumentIDKey, static_cast<qlonglong>(window->document()->documentModel()->itsDocID));

  // While the plug-in holds the design nothing stands over it; when it closes, with or
  // without changes, every window comes back.
  for (const bool update : {false, true}) {
    SCOPED_TRACE(update ? "update" : "no update");
    ASSERT_TRUE(dispatcher.launchAddkit(entry));
    const Shown none{false, false, false, false, false};
    EXPECT_TRUE(shown() == none);
    if (update) dispatcher.addkitDidCloseUpdate(ids);
    else dispatcher.addkitDidCloseNoUpdate(ids);
    QApplication::processEvents();
    EXPECT_TRUE(entry->plugInAvailable());
    EXPECT_TRUE(shown() == all);
  }

  // Only what was shown comes back.
  SnapPaletteController::sharedSnapPaletteController().close();
  InspectorController::sharedInspectorController()->panel()->hide();
  ASSERT_TRUE(dispatcher.launchAddkit(entry));
  dispatcher.addkitDidCloseNoUpdate(ids);
  const Shown some{true, true, false, false, true};
  EXPECT_TRUE(shown() == some);

  // Each window comes back by its own state, not by a neighbour's: every window shown where the
  // one before it is hidden, and the other way round.
  for (const Shown& before : {Shown{false, false, true, true, false}, Shown{true, false, true, false, true},
                              Shown{false, true, false, true, false}}) {
    SCOPED_TRACE(std::to_string(before.edit) + std::to_string(before.plan) + std::to_string(before.snap) +
                 std::to_string(before.inspector) + std::to_string(before.liveView));
    if (before.edit) ToolPaletteController::sharedToolPaletteController().showWindow();
    else ToolPaletteController::sharedToolPaletteController().close();
    if (before.plan) PlanToolPaletteController::sharedPlanToolPaletteController().showWindow();
    else PlanToolPaletteController::sharedPlanToolPaletteController().close();
    if (before.snap) SnapPaletteController::sharedSnapPaletteController().showWindow();
    else SnapPaletteController::sharedSnapPaletteController().close();
    InspectorController::sharedInspectorController()->panel()->setVisible(before.inspector);
    if (before.liveView) AppController::showLiveViewPanel();
    else LiveViewController::sharedLiveViewController()->orderOut();
    EXPECT_TRUE(SettleWindows()) << "the windows did not settle";
    ASSERT_TRUE(shown() == before);
    ASSERT_TRUE(dispatcher.launchAddkit(entry));
    EXPECT_TRUE(shown() == (Shown{false, false, false, false, false}));
    dispatcher.addkitDidCloseUpdate(ids);
    QApplication::processEvents();
    EXPECT_TRUE(shown() == before);
  }
}

TEST_F(AddkitWindows, ThePhotoViewLeavesTheWindowsAsTheyWere) {
  installPlugin(109, "Photo");
  AddkitDispatcher& dispatcher = AddkitDispatcher::sharedAddkitDispatcher();
  ZLKWindowController* window = openWindow();
  ASSERT_NE(window, nullptr);
  activate(window);
  showAll();
  const Shown all{true, true, true, true, true};
  ASSERT_TRUE(shown() == all);
  for (const bool chosen : {false, true}) {
    SCOPED_TRACE(chosen ? "image chosen" : "cancelled");
    ASSERT_TRUE(dispatcher.launchAddkitWithID(109));
    Shown whileChoosing{};
    ZLKDocumentView::choosePhotoViewImagePaths = [&] {
      whileChoosing = shown();
      return chosen ? std::vector<std::string>{folder + "/photo.png"} : std::vector<std::string>{};
    };
    window->documentView()->launchPhotoView();
    QApplication::processEvents();
    EXPECT_TRUE(whileChoosing == all);
    EXPECT_TRUE(shown() == all);
    EXPECT_TRUE(dispatcher.addkitEntryForID(109)->plugInAvailable());
  }
}

}  // namespace
