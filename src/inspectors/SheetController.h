// The document-modal sheets: each is a dialog opened window-modal on its design window
// (one sheet per window at a time), filled from the current design when it is made, and
// closed by its OK (tag 1) or Cancel button through dismissSheet, which applies the values
// only for OK and then releases the sheet. An OK whose typed number is refused keeps the sheet.
#pragma once
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <functional>

#include "inspectors/ValueFields.h"

class QFormLayout;
class QPushButton;
class QVBoxLayout;
struct DocState;
class ZLKDocumentModel;

class SheetController : public QDialog {
  Q_OBJECT
 public:
  // The sheet attached to the window, if any.
  static SheetController* attachedSheet(QWidget* parent);
  // A sheet released without dismissSheet (its window's children going, say) leaves the window
  // free for the next sheet.
  ~SheetController() override;
  // OK has tag 1; any other tag cancels. The sheet is closed, the values are applied for OK
  // (with a current document and its DocState), and the sheet is released.
  void dismissSheet(int tag);
  QPushButton* okButton() const { return okButton_; }
  QPushButton* cancelButton() const { return cancelButton_; }
  // The layout name the sheet was made with ("MoveObjectsSheet" ...).
  QString layoutName() const { return objectName(); }

 protected:
  SheetController(QWidget* parent, const char* layoutName);
  // Attaches and opens the sheet; false (and the sheet is deleted) when the window is null or
  // already carries a sheet.
  static bool beginSheet(QWidget* parent, SheetController* sheet);
  // Fills the controls from the current design; called once the controls exist.
  virtual void initializeControlStates() {}
  // The OK step, with a current document and DocState.
  virtual void applySheet(ZLKDocumentModel* doc, DocState* ds) = 0;
  // Steps run after the sheet has closed (alerts on the design window).
  virtual void afterClosing() {}
  void reject() override { dismissSheet(0); }

  // Reads a typed number of the sheet through ReadTypedNumber. A refused entry (blank ones
  // too) is remembered; the OK step then changes nothing, and the sheet stays open with the
  // alert and that entry selected to retype.
  bool readNumber(QLineEdit* field, NumberKind kind, float* value);
  // The same for a whole number, exactly as typed.
  bool readWholeNumber(QLineEdit* field, int32_t* value);
  // The same for a size in whole units of a field labelled with its unit (ReadTypedWholeUnits).
  bool readWholeUnits(QLineEdit* field, float unitInches, int32_t* value);
  bool numberRefused() const { return !refused_.reason.empty(); }
  // Refuses what was typed in the field for a reason of the sheet's own (a length that would
  // carry points off the plan), with the alert that says why; as for an entry that is no
  // number, the OK step changes nothing and the sheet stays open with the entry selected.
  void refuseEntry(QLineEdit* field, std::function<void()> alert);
  // Notes the text a field shows for a stored value; while the field still shows that text
  // the sheet takes the stored value back as it is, not the rounded number the text reads.
  void noteShown(QLineEdit* field);
  bool untouched(QLineEdit* field) const;
  // Whether a value read from the field is what the text it showed reads as: the stored value
  // typed again as the field showed it, whatever rounding the text made.
  bool readsAsShown(QLineEdit* field, NumberKind kind, float value) const;

  // The rows of the sheet above its buttons.
  QFormLayout* form() const { return form_; }
  QVBoxLayout* body() const { return body_; }

 private:
  QFormLayout* form_ = nullptr;
  QVBoxLayout* body_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPointer<QWidget> parentWindow_;
  // After OK refused an entry: the sheet shown again, the alert said and the entry selected;
  // false when the sheet cannot stay (its window gone or carrying another sheet).
  bool reopenForRetyping();
  // The whole number read, or the refusal remembered.
  bool takeWhole(QLineEdit* field, TypedNumber n, int32_t* value);

  bool dismissed_ = false;
  TypedNumber refused_;
  std::function<void()> refusalAlert_;  // refuseEntry's
  QPointer<QWidget> refusedField_;       // the field of the entry refused
  QHash<QLineEdit*, QString> shownText_;
};

class QLineEdit;
// A text field for a sheet (object name given for tests and layouts).
QLineEdit* MakeSheetField(QWidget* parent, const char* name);
