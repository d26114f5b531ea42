// Where the design window opens beside the palettes: one function of frames, visibility and
// screens, with no window system.
#include <gtest/gtest.h>

#include "app/WindowPlacement.h"

namespace {

// The first window at start-up on a 1280 by 1024 area, 800 wide, at (300, 200).
WindowPlacementInput AtStartUp() {
  WindowPlacementInput in;
  in.window = QRect(300, 200, 800, 600);
  in.available = QRect(0, 0, 1280, 1024);
  in.applicationDidLaunch = false;
  return in;
}

PaletteFrame Palette(int x, int y, int width, int height, bool visible = true) {
  PaletteFrame p;
  p.frame = QRect(x, y, width, height);
  p.visible = visible;
  return p;
}

}  // namespace

TEST(WindowPlacement, FirstWindowStandsRightOfTheLeftEdgePalettes) {
  WindowPlacementInput in = AtStartUp();
  in.editTools = Palette(0, 100, 60, 300);
  EXPECT_EQ(PlaceDesignWindow(in).x(), 65);
  EXPECT_EQ(PlaceDesignWindow(in).width(), 800);  // the window keeps its width

  // With the snap palette at the edge too, the farther right edge wins, from either side.
  in.snapTools = Palette(0, 500, 100, 200);
  EXPECT_EQ(PlaceDesignWindow(in).x(), 105);
  in.editTools = Palette(20, 100, 120, 300);  // 20 from the edge still counts
  EXPECT_EQ(PlaceDesignWindow(in).x(), 145);

  // Only the snap palette.
  in.editTools.visible = false;
  EXPECT_EQ(PlaceDesignWindow(in).x(), 105);

  // A palette over 20 from the edge, hidden or on another screen does not count.
  in = AtStartUp();
  in.editTools = Palette(30, 100, 60, 300);
  EXPECT_EQ(PlaceDesignWindow(in).x(), 5);
  in.editTools = Palette(0, 100, 60, 300, /*visible=*/false);
  EXPECT_EQ(PlaceDesignWindow(in).x(), 5);
  in.editTools = Palette(0, 100, 60, 300);
  in.editTools.sameScreen = false;
  EXPECT_EQ(PlaceDesignWindow(in).x(), 5);

  // After launching the window keeps its own x.
  in = AtStartUp();
  in.editTools = Palette(0, 100, 60, 300);
  in.applicationDidLaunch = true;
  EXPECT_EQ(PlaceDesignWindow(in).x(), 300);
}

TEST(WindowPlacement, HeightLeavesRoomForTheDrawingToolsPalette) {
  WindowPlacementInput in = AtStartUp();
  // Without the palette: the whole height of the area.
  QRect r = PlaceDesignWindow(in);
  EXPECT_EQ(r.y(), 0);
  EXPECT_EQ(r.height(), 1024);

  // At the top: from 5 under the palette to the bottom.
  in.planTools = Palette(0, 0, 600, 40);
  r = PlaceDesignWindow(in);
  EXPECT_EQ(r.y(), 45);
  EXPECT_EQ(r.height(), 979);
  EXPECT_EQ(r.y() + r.height(), 1024);
  in.planTools = Palette(0, 15, 600, 40);
  r = PlaceDesignWindow(in);
  EXPECT_EQ(r.y(), 60);
  EXPECT_EQ(r.height(), 964);

  // At the bottom: from the top to 5 above the palette.
  in.planTools = Palette(0, 984, 600, 40);
  r = PlaceDesignWindow(in);
  EXPECT_EQ(r.y(), 0);
  EXPECT_EQ(r.height(), 979);
  EXPECT_EQ(r.y() + r.height() + 5, 984);

  // In the middle, or hidden: the whole height.
  in.planTools = Palette(0, 400, 600, 40);
  EXPECT_EQ(PlaceDesignWindow(in).height(), 1024);
  in.planTools = Palette(0, 0, 600, 40, /*visible=*/false);
  EXPECT_EQ(PlaceDesignWindow(in).height(), 1024);

  // After launching the height rule still applies.
  in.applicationDidLaunch = true;
  in.planTools = Palette(0, 0, 600, 40);
  r = PlaceDesignWindow(in);
  EXPECT_EQ(r.x(), 300);
  EXPECT_EQ(r.y(), 45);
  EXPECT_EQ(r.height(), 979);

  // An area that does not start at the origin.
  in.available = QRect(0, 30, 1280, 994);
  in.planTools = Palette(0, 30, 600, 40);
  r = PlaceDesignWindow(in);
  EXPECT_EQ(r.y(), 75);
  EXPECT_EQ(r.y() + r.height(), 1024);
}

TEST(WindowPlacement, WindowPushedRightByWidePalettesIsNarrowedToTheArea) {
  WindowPlacementInput in = AtStartUp();
  in.window = QRect(0, 0, 1024, 768);
  struct Case {
    int paletteWidth;  // at the left edge
    int x, width;
  } cases[] = {
      {100, 105, 1024},  // fits beside the palette: its own width
      {251, 256, 1024},  // reaches the right edge exactly
      {400, 405, 875},   // would pass it: narrowed
  };
  for (const Case& c : cases) {
    in.editTools = Palette(0, 100, c.paletteWidth, 300);
    const QRect r = PlaceDesignWindow(in);
    EXPECT_EQ(r.x(), c.x) << c.paletteWidth;
    EXPECT_EQ(r.width(), c.width) << c.paletteWidth;
    EXPECT_LE(r.x() + r.width(), 1280) << c.paletteWidth;
  }
  // A later window keeps its width and moves back onto the area; one wider than the area
  // takes the area's width.
  in = AtStartUp();
  in.applicationDidLaunch = true;
  in.window = QRect(1500, 0, 800, 600);
  EXPECT_EQ(PlaceDesignWindow(in).x(), 480);
  EXPECT_EQ(PlaceDesignWindow(in).width(), 800);
  in.window = QRect(-100, 0, 1500, 600);
  EXPECT_EQ(PlaceDesignWindow(in).x(), 0);
  EXPECT_EQ(PlaceDesignWindow(in).width(), 1280);
}

TEST(WindowPlacement, SavedFramesComeBackOntoTheArea) {
  const QRect area(0, 30, 1280, 994);  // under a 30-pixel panel
  struct Case {
    QRect saved, expected;
  } cases[] = {
      {QRect(5, 100, 60, 300), QRect(5, 100, 60, 300)},        // inside: untouched
      {QRect(5, -47, 400, 40), QRect(5, 30, 400, 40)},         // above the top, or under the panel
      {QRect(5, 10, 400, 40), QRect(5, 30, 400, 40)},
      {QRect(200, 1200, 150, 250), QRect(200, 774, 150, 250)},  // below the bottom
      {QRect(-300, 200, 60, 300), QRect(0, 200, 60, 300)},      // left of the area
      {QRect(1100, 900, 640, 520), QRect(640, 504, 640, 520)},  // past the right and bottom
      {QRect(10, 10, 3000, 2000), QRect(0, 30, 1280, 994)},     // larger than the area
  };
  for (const Case& c : cases) EXPECT_EQ(FitFrameInArea(c.saved, area), c.expected) << c.saved.x() << "," << c.saved.y();
  // Without an area (no screen) the frame stays as saved.
  EXPECT_EQ(FitFrameInArea(QRect(5, -47, 400, 40), QRect()), QRect(5, -47, 400, 40));
}

// Palettes over a design window that fills the screen keep clear of its bars: one covering
// the band goes 5 under it, one a moved palette would cover follows it down (whether or not
// they overlapped before), one beside the band stays, and none goes past the area's bottom.
TEST(WindowPlacement, PalettesKeepClearOfTheBand) {
  const QRect area(0, 0, 1280, 1024), band(0, 0, 1280, 90);
  const struct {
    const char* what;
    std::vector<QRect> frames, expected;
  } cases[] = {
      {"drawing tools at the top, editing tools under them, snap lower down",
       {QRect(5, 0, 60, 200), QRect(5, 205, 60, 300), QRect(5, 700, 150, 100)},
       {QRect(5, 95, 60, 200), QRect(5, 300, 60, 300), QRect(5, 700, 150, 100)}},
      {"given bottom up: the same",
       {QRect(5, 700, 150, 100), QRect(5, 205, 60, 300), QRect(5, 0, 60, 200)},
       {QRect(5, 700, 150, 100), QRect(5, 300, 60, 300), QRect(5, 95, 60, 200)}},
      {"one pushed onto another under it; one reaching just into the band, one just under it",
       {QRect(900, 0, 80, 80), QRect(900, 90, 10, 10), QRect(1000, 89, 40, 1), QRect(1100, 90, 40, 10)},
       {QRect(900, 95, 80, 80), QRect(900, 180, 10, 10), QRect(1000, 95, 40, 1), QRect(1100, 90, 40, 10)}},
      {"two that overlapped before: the one moved down does not come to cover the other",
       {QRect(5, 0, 60, 200), QRect(5, 150, 60, 100)}, {QRect(5, 95, 60, 200), QRect(5, 300, 60, 100)}},
      {"the same with the lower one reaching into the band: both move, the upper one first",
       {QRect(5, 0, 60, 80), QRect(5, 70, 60, 100)}, {QRect(5, 95, 60, 80), QRect(5, 180, 60, 100)}},
      {"two that overlap under the band, neither moved, stay as they are",
       {QRect(5, 300, 60, 200), QRect(5, 450, 60, 100)}, {QRect(5, 300, 60, 200), QRect(5, 450, 60, 100)}},
      {"side by side: neither pushes the other", {QRect(5, 0, 60, 200), QRect(70, 120, 60, 100)},
       {QRect(5, 95, 60, 200), QRect(70, 120, 60, 100)}},
      {"a tall palette stops at the area's bottom", {QRect(5, 10, 60, 1000)}, {QRect(5, 24, 60, 1000)}},
      {"hidden palettes (empty) stay empty", {QRect(), QRect(5, 0, 60, 200)}, {QRect(), QRect(5, 95, 60, 200)}},
  };
  for (const auto& c : cases) EXPECT_EQ(KeepFramesClearOfBand(c.frames, band, area), c.expected) << c.what;
  // Without a band nothing moves.
  const std::vector<QRect> one{QRect(5, 0, 60, 200)};
  EXPECT_EQ(KeepFramesClearOfBand(one, QRect(), area), one);
}

// The drawing-tools palette counts as standing at the top or the bottom up to 20 from the
// area's edge, not at 21: each side of that bound, at each end.
TEST(WindowPlacement, ThePaletteCountsAtAnEdgeUpToTwentyAway) {
  WindowPlacementInput in = AtStartUp();
  struct Case {
    int paletteY;
    int y, height;
  } cases[] = {
      {20, 65, 959},   // 20 under the top: the window from 5 under it
      {21, 0, 1024},   // 21: in the middle
      {964, 0, 959},   // 20 above the bottom: the window to 5 above it
      {963, 0, 1024},  // 21 above the bottom
  };
  for (const Case& c : cases) {
    in.planTools = Palette(0, c.paletteY, 600, 40);
    const QRect r = PlaceDesignWindow(in);
    EXPECT_EQ(r.y(), c.y) << c.paletteY;
    EXPECT_EQ(r.height(), c.height) << c.paletteY;
  }
}
