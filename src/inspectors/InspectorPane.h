// The common ground of every inspector pane: the pane widget built in code, its controls
// named like the outlets, filling without the fill counting as an edit, and the small
// walkers and undo step that every edit ends with.
#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "inspectors/ValueFields.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
struct DocState;
struct Layer;
struct Objex;

// A radio matrix whose cells carry tags; it can show no selected cell.
class InspectorMatrix : public QWidget {
  Q_OBJECT
 public:
  InspectorMatrix(QWidget* parent, const std::vector<std::pair<int, QString>>& cells, bool vertical = false);
  // The tag of the checked cell, -1 when none is.
  int selectedTag() const;
  void selectCellWithTag(int tag);
  void deselectAllCells();
  QAbstractButton* cellWithTag(int tag) const;
  QButtonGroup* group() const { return group_; }
 Q_SIGNALS:
  void cellChosen(int tag);

 private:
  QButtonGroup* group_;
};

// The framed white background some panes draw their groups on.
class ZLKContentView : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class InspectorPane : public QObject {
 public:
  ~InspectorPane() override;
  // The pane (never null once the controller is made).
  QWidget* inspectorView() const { return view_; }
  // Object inspectors: shows an object's values (null: the DocState defaults).
  virtual void updatePropertiesForObject(Objex* object, bool initialize);
  // Tool-only inspectors: shows the DocState defaults.
  virtual void updateToolProperties();
  // The end of an edit of one of the pane's text fields.
  virtual void controlTextDidEndEditing(QLineEdit* field);

  // Finds a control of the pane by its outlet name.
  template <class T> T* outlet(const char* name) const { return view_->findChild<T*>(QString::fromLatin1(name)); }

 protected:
  // The pane is named after the interface (the class name without "Controller").
  explicit InspectorPane(const char* interfaceName);

  // Control builders: each control takes the outlet name as its object name and is laid
  // out in the pane's form, below the ones made before it.
  QLineEdit* addField(const char* label, const char* name);
  QCheckBox* addCheck(const char* title, const char* name, std::function<void()> action);
  QPushButton* addButton(const char* title, const char* name, std::function<void()> action);
  QComboBox* addPopUp(const char* label, const char* name, std::function<void()> action);
  InspectorMatrix* addMatrix(const char* label, const char* name, const std::vector<std::pair<int, QString>>& cells,
                             std::function<void()> action);
  // A stepper: up and down arrows without text, whose value the handler validates (range
  // wide open) and shows in the field beside it. Without a label it joins the row of the field
  // just added.
  static constexpr int kStepperWidth = 18;
  QDoubleSpinBox* addStepper(const char* label, const char* name, double step, std::function<void()> action,
                             double minimum = -1e6, double maximum = 1e6, int decimals = 4);
  QLabel* addLabel(const char* text, const char* name);
  // Adds an arbitrary widget as a row.
  void addRow(const char* label, QWidget* widget);
  QFormLayout* form() const { return form_; }

  // Filling: every control of the pane has its signals blocked while a Fill lives, and the
  // texts shown afterwards are what a refused entry puts back.
  class Fill {
   public:
    explicit Fill(InspectorPane* pane);
    ~Fill();
    Fill(const Fill&) = delete;
    Fill& operator=(const Fill&) = delete;

   private:
    InspectorPane* pane_;
    std::vector<std::pair<QObject*, bool>> blocked_;
  };
  // Remembers what a field shows now; a refused entry puts it back.
  void rememberShown(QLineEdit* field);
  void rememberAllShown();
  void restoreShown(QLineEdit* field);
  // Reads a typed number of the pane through ReadTypedNumber. A refused entry puts back what
  // the field showed and says why (blank entries silently); false then.
  bool readNumber(QLineEdit* field, NumberKind kind, float* value);
  // The same for a whole number, exactly as typed.
  bool readWholeNumber(QLineEdit* field, int32_t* value);
  // Writes the field through `show` without the field taking it for an edit, and remembers
  // the text as the field's shown text.
  void echoWith(QLineEdit* field, const std::function<void()>& show);
  // Shows a length (a pitch) and remembers it as the field's shown text.
  void echoFloat(QLineEdit* field, float inches);
  void echoPitch(QLineEdit* field, float pitch);

  // A length field of an object pane: the length it edits in an object, the tool default it
  // also sets, and the undo step's name.
  struct ObjectLengthRow {
    QLineEdit* field;
    float& (*value)(Objex*);
    float* defaultValue;
    const char* label;
  };

  // The common text field edit: v from the field (inches); refused outside (low, high)
  // (the field shows the default again); else each selected object of the type whose
  // value differs gets v and is rebuilt, one undo step when any changed (or, with
  // undoWhenDefaultDiffers, when the default differs), the default takes v, Refresh, echo.
  void editObjectFloat(QLineEdit* field, int16_t type, float low, float high,
                       const std::function<float&(Objex*)>& value, float& defaultValue, const char* label,
                       bool undoWhenDefaultDiffers, const std::function<void(Objex*)>& rebuild);

  // Showing one value of each selected object (the first with initialize set): shows it,
  // or empties the field once a later object's value differs from the shown one by more
  // than 0.0005 inch (pitches 0.005). The shown value is read back once, then compared as a
  // number, so that a large selection costs no parsing per object.
  void mergeFloat(QLineEdit* field, float inches, bool initialize);
  void mergePitch(QLineEdit* field, float pitch, bool initialize);
  // Empties a field as mixed.
  void blankField(QLineEdit* field);

  QWidget* view_;
  QFormLayout* form_;
  bool filling_ = false;

 private:
  bool besideLastField(QWidget* widget);
  struct Shown {
    float value = 0;
    bool blank = true;
  };
  void mergeValue(QLineEdit* field, float value, bool initialize, bool pitch);
  std::vector<QObject*> fillTargets_;
  std::vector<QLineEdit*> fields_;
  QHash<QLineEdit*, QString> shownText_;
  QHash<QLineEdit*, Shown> shownValue_;
};

// The current document's DocState and current layer, or null while there is none (then
// the handlers do nothing).
DocState* InspectorDocState();
Layer* InspectorCurLayer();
// One undo snapshot under the localized action name.
void StoreInspectorUndo(const char* label);
// The pitch suffix label: ": 12" for imperial documents, ": 10" otherwise.
QString PitchSuffixText(const DocState* ds);
// Calls f for each top-level object of the current layer of type `type` that is selected.
void ForEachSelectedOfType(int16_t type, const std::function<void(Objex*)>& f);
