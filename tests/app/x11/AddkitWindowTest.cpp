// A design held by a plug-in keeps the palettes away when its window becomes the main window;
// another design's window brings them back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/AddkitDispatcher.h"
#include "app/AppController.h"
#include "app/AppTestSupport.h"
#include "app/EditToolPaletteController.h"
#include "app/PlanToolPaletteController.h"

namespace {

class AddkitWindows : public DesignWindowTest {
 protected:
  AddkitWindows() : DesignWindowTest(/*makesDocument=*/false) {}
  void beforeClosing() override {
    AddkitDispatcher::sharedAddkitDispatcher().buildPluginList(folder + "/none");
    ToolPaletteController::sharedToolPaletteController().hide();
    PlanToolPaletteController::sharedPlanToolPaletteController().hide();
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
    QTest::qWait(150);
    QApplication::processEvents();
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

}  // namespace
