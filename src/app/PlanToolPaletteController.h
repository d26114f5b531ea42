// The drawing-tools palette: a floating strip with the toolset pop-up, the tool buttons of
// one plan kind and the plant growth stepper; and how a design window takes up the palettes.
#pragma once
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class QComboBox;
class QCursor;
class QProgressBar;
class QToolButton;
class UndoNameStack;
class ZLKWindowController;

// Door, window and skylight tools with the custom style, and the accessory tool, switch the
// content palette to their category and lock its pop-up; every other tool unlocks it.
void ApplyToolToContentPalette(uint16_t tool);

class PlanToolPaletteController : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kPlanKinds = 9;  // kPlanFoundation .. kPlanDetail

  // The one palette of the process, made (hidden) on first use; needs the application object.
  static PlanToolPaletteController& sharedPlanToolPaletteController();

  // Shows the tool buttons of plan kind 0..8 (others: nothing); the strip becomes the tool
  // view's width plus 204 by 32. Neither gCurToolSet nor the plan changes.
  void loadToolPaletteForPlan(int16_t kind);
  // Selects the pop-up item of the plan kind.
  void updateToolsetForPlan(int16_t kind);
  // The pop-up's action: shows the chosen plan kind's tools (browsing only).
  void toolsetPopUpButtonChanged();
  // Unchecks every button of the tool view being shown.
  void removeToolSelection();
  // The action of the matrix of plan kind `kind` whose selected cell carries `tag` (-1: no
  // cell selected): makes the tool current, clears the selection, asks for its inspector
  // and redraws; the current tool's own cell changes nothing.
  void selectTool(int16_t kind, int32_t tag);

  // The stepper: one step younger or older for the whole design, reported in the status bar.
  void plantGrowthLeftButtonChanged();
  void plantGrowthRightButtonChanged();
  // The stepper's buttons and the level indicator from the current design.
  void updatePlantGrowthIndicatorLevel();

  // Shows the palette and records it visible with the application delegate.
  void showWindow();
  // Restores the frame saved under "PlanToolPanel" (frames are saved when the palette closes).
  void setAutoSaveName();
  // Saves the frame under "PlanToolPanel" and records the palette hidden.
  void windowWillClose();
  // The current document's undo manager (null without a document).
  UndoNameStack* windowWillReturnUndoManager() const;

  // The pieces, for the shell and the tests.
  int16_t shownToolSet() const { return shownKind_; }
  QComboBox* toolsetPopUpButton() const { return toolsetPopUp_; }
  QWidget* toolView(int16_t kind) const;
  // The cell at `index` of plan kind `kind`'s matrix; null outside.
  QToolButton* cell(int16_t kind, int index) const;
  int cellCount(int16_t kind) const;
  QToolButton* plantGrowthLeftButton() const { return growthLeft_; }
  QToolButton* plantGrowthRightButton() const { return growthRight_; }
  QProgressBar* plantGrowthLevelIndicator() const { return growthIndicator_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  PlanToolPaletteController();
  void buttonClicked(int16_t kind, QToolButton* button);
  void stepPlantGrowth(int16_t step);

  QComboBox* toolsetPopUp_ = nullptr;
  QWidget* superToolView_ = nullptr;
  std::array<QWidget*, kPlanKinds> toolViews_{};
  std::array<std::vector<QToolButton*>, kPlanKinds> matrices_;
  QToolButton* growthLeft_ = nullptr;
  QToolButton* growthRight_ = nullptr;
  QProgressBar* growthIndicator_ = nullptr;
  int16_t shownKind_ = -1;
};

// The status text of planting age level n: "Plant Growth at 3 Months" (1), 6 (2), 9 (3),
// otherwise "Plant Growth at <n - 3> Years".
QString PlantGrowthStatusText(int n);

// Gives the main design window's plan the palettes' cursor (its scroll view's viewport).
void SetDocumentCursor(const QCursor& cursor);

// What a new design window does with the palettes: the drawing-tools palette shows the tools
// of gCurToolSet with its pop-up set to match and the editing palette selects the arrow.
// The palettes come back on the window's own roads (loading, becoming main, de-minimizing).
void AttachToolPalettes(ZLKWindowController* window);
