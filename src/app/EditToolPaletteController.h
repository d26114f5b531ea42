// The editing-tools palette: selection, rotate, zoom, pan, view point, text, the dimension
// tools, point insertion and removal, fillets and chamfer.
#pragma once
#include <QWidget>
#include <cstdint>
#include <vector>

class QToolButton;
class UndoNameStack;

class ToolPaletteController : public QWidget {
  Q_OBJECT
 public:
  // The one palette of the process, made (hidden) on first use; making it makes the
  // selection tool current.
  static ToolPaletteController& sharedToolPaletteController();

  // Checks the selection tool's button and gives the plan view the arrow cursor; gCurTool
  // is left alone.
  void selectArrowTool();
  // Unchecks every button.
  void removeToolSelection();
  // The action of the matrix whose selected cell carries `tag` (-1: none), clicked
  // `clickCount` times: a new tool becomes current; then, on every click, a double click
  // opens the tool's sheet, the plan view's cursor follows the tool and the plan redraws.
  void selectTool(int32_t tag, int clickCount = 1);

  // Shows the palette and records it visible with the application delegate.
  void showWindow();
  // Restores the frame saved under "EditToolPanel".
  void setAutoSaveName();
  // Saves the frame under "EditToolPanel" and records the palette hidden.
  void windowWillClose();
  // The current document's undo manager (null without a document).
  UndoNameStack* windowWillReturnUndoManager() const;

  // The cell at `index` (null outside) and the cell of a tool code (null when none).
  QToolButton* cell(int index) const;
  QToolButton* cellWithTool(uint16_t tool) const;
  int cellCount() const { return static_cast<int>(cells_.size()); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ToolPaletteController();
  void buttonClicked(QToolButton* button);

  std::vector<QToolButton*> cells_;
  bool doubleClickPending_ = false;
};
