// The text entry sheet: types the string of a plan text object, its font, and its alignment
// (standard text) or angle (angled text); inserts new text where the text tool was released
// or edits an existing text object.
#pragma once
#include <QFont>

#include "inspectors/SheetController.h"

class QButtonGroup;
class QLineEdit;
class QPlainTextEdit;
class QSlider;
struct Objex;

class TextEntryController : public SheetController {
  Q_OBJECT
 public:
  // New text at the tool's mouse-up point (or the text object found there).
  static void newTextEntrySheetForParent(QWidget* parent);
  // Edits the object; needs both.
  static void newTextEntrySheetForParent(QWidget* parent, Objex* object);

  Objex* targetObject = nullptr;
  QButtonGroup* alignmentButtons = nullptr;  // ids: alignment tags (0 left, 1 centre, 2 right)
  QSlider* angleSlider = nullptr;            // 0..360
  QLineEdit* angleText = nullptr;            // whole degrees
  QPlainTextEdit* textView = nullptr;
  QFont selectedFont;

  void setTargetObject(Objex* object) { targetObject = object; }
  void selectCurrentFont();
  QString createAttributedStringForObject(const Objex* object) const;
  // The slider value as a text angle; the slider set from a text angle (one mapping, its own
  // inverse: t = 90 - v below 91, else 450 - v).
  int mapControlAngleToTextAngle() const;
  void setAngleSliderUsingTextAngle(int angle);
  static int mapAngle(int value) { return value < 91 ? 90 - value : 450 - value; }

  void alignmentButtonsChanged();
  void angleSliderChanged();
  void fontButtonChanged();
  // The angle field was left: outside 0..359 it becomes 0; the slider follows.
  void controlTextDidEndEditing();

 private:
  explicit TextEntryController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void fillFromTarget(bool enableControls);
};
