// The snap palette: nine cells choosing the object snap of the next click (a double-click
// locks it), and the distance of the segment-offset snap. One per process.
#pragma once
#include <QWidget>
#include <cstdint>

class QButtonGroup;
class QLineEdit;
class QToolButton;
class UndoNameStack;

class SnapPaletteController : public QWidget {
  Q_OBJECT
 public:
  static SnapPaletteController& sharedSnapPaletteController();

  QButtonGroup* toolButtons = nullptr;  // ids are the snap codes 500..508
  QLineEdit* offsetText = nullptr;

  // A cell was clicked (clickCount 2 for the second click of a double-click).
  void selectTool(int tag, int clickCount);
  // The keyboard's snap cycling: the lock, when set, moves to the new snap.
  void setSnapTool(int16_t code);
  // After the first drag step: an unlocked snap (and 510 always) back to 500.
  void resetSnapTool();
  void setSnapOffsetText(float inches);
  void updateSnapOffsetText();
  // The offset field was left: its length becomes the design's snap offset.
  void controlTextDidEndEditing();
  void showWindow();
  // Names the frame autosave "SnapPanel" and restores the frame kept under it.
  void setAutoSaveName();
  // Undo and Redo typed while the palette is key step the current design's undo steps.
  UndoNameStack* windowWillReturnUndoManager() const;
  // Saves the frame under "SnapPanel" and records the palette hidden.
  void windowWillClose();
  // The image name a cell shows ("SPNone", "SPNoneLock" ...).
  QString cellImageName(int code) const;
  QToolButton* cell(int code) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SnapPaletteController();
  void setCellImage(int code, bool locked);
  void selectCell(int code);
};

// The image of a snap cell by name ("SPEndpoint", "SPEndpointLock" ...), drawn by the program.
QPixmap SnapPaletteImage(const QString& name);
