// What the sheets, the preferences window and the snap palette need of the design window and
// the application: the application fills these at start-up; each may be left unset (then
// the step is skipped).
#pragma once
#include <functional>
#include <string>

class QWidget;

struct SheetHooks {
  // The main design window, which carries the sheets opened from palettes and inspectors.
  std::function<QWidget*()> mainDesignWindow;
  // The 3D viewing height follows the working floor (after a ceiling height change).
  std::function<void()> updateViewingHeight;
  // The design view's paper size again, its origin in the middle of the window.
  std::function<void()> recentreDesignView;
  // The selected content category's entries again (after the readout units changed).
  std::function<void()> refreshTrimContent;
  // The content palette's previews rebuilt (preview size changed).
  std::function<void()> refreshContentView;
  // For every open design: its plan colours from the user defaults, its plan redrawn and,
  // when undoChanged, its undo history cleared with the new levels.
  std::function<void(bool undoChanged)> applyPreferencesToOpenDesigns;
  // The 3D view redrawn at once.
  std::function<void()> redraw3DView;
  // The readout state that new plans take, from the user defaults.
  std::function<void()> loadNewPlanReadoutState;
  // Palette frames kept in the user defaults by name.
  std::function<void(const QWidget*, const std::string&)> savePanelFrame;
  std::function<bool(QWidget*, const std::string&)> restorePanelFrame;
  // The main design window's plant growth control clamped to the document's maximum and
  // redrawn.
  std::function<void()> updatePlantGrowthIndicator;
  // The snap palette shown or closed.
  std::function<void(bool)> setSnapToolsVisible;
};

SheetHooks& TheSheetHooks();
