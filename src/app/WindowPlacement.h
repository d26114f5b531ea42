// Where the design window opens: beside the palettes at the screen's left edge and clear of
// the drawing-tools palette at the top or bottom of the screen. One function of frames,
// visibility and screens, so that it needs no window system.
#pragma once
#include <QRect>
#include <vector>

struct PaletteFrame {
  QRect frame;              // the palette window's frame, decorations included (top-down)
  bool visible = false;
  bool sameScreen = true;   // on the screen the design window opens on
};

struct WindowPlacementInput {
  QRect window;             // the design window's own frame
  QRect available;          // the screen's available area
  bool applicationDidLaunch = false;
  PaletteFrame editTools;   // editing-tools palette
  PaletteFrame snapTools;   // snap palette
  PaletteFrame planTools;   // drawing-tools palette
};

// A saved window frame put back onto the screen: no larger than the available area and
// wholly inside it, moved as little as possible.
QRect FitFrameInArea(const QRect& frame, const QRect& area);

// The design window's frame: its own width (narrowed when it would reach past the area's
// right edge); x beside the left-edge palettes for the first
// window at start-up (else its own); y and height from the available area, leaving room
// for a drawing-tools palette at the top or the bottom.
QRect PlaceDesignWindow(const WindowPlacementInput& in);

// Palette frames kept clear of a band of the design window (its menu bar, its toolbar with
// the floor selector and its plan tabs, when the window fills the screen): a palette that
// covers the band goes to just under it, a palette that a moved one would then cover (or that
// would come to cover one) goes under that one, and none goes past the area's bottom. Frames
// are returned in the order given; the others stay.
std::vector<QRect> KeepFramesClearOfBand(const std::vector<QRect>& frames, const QRect& band, const QRect& area);
