// The panes of the detail drawing tools: the draw method of each tool, fill pattern, line
// style, line width, edit level and automatic dimensions of new 2D shapes; and the pattern
// and line style pop-ups the detail object pane shares.
#pragma once
#include <QImage>
#include <vector>

#include "inspectors/InspectorPane.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;

// Fills a pop-up with the nine fill patterns (tag = pattern code, with their images).
void LoadPatternItems(QComboBox* popUp);
// Fills a pop-up with the eight line styles (tag = line style code, with their samples).
void LoadLineStyleItems(QComboBox* popUp);
// The sample dash lengths of a line style (empty for a solid line), as listed.
std::vector<double> LineStyleSampleLengths(int tag);
// The same as a dash pattern for a pen of width 1: an odd list repeated once.
QList<qreal> LineStyleDashPattern(int tag);
// The 84 x 12 sample of a line style: a black line along y = 5.5.
QImage LineStyleSampleImage(int tag);
// The image of a fill pattern.
QImage PatternImage(int tag);
// The tag of a pop-up's current item, -1 with none.
int SelectedTag(const QComboBox* popUp);
// Selects the item with the tag (no item when none carries it).
void SelectItemWithTag(QComboBox* popUp, int tag);

// What the three tool panes share.
class DetailToolInspectorBase : public InspectorPane {
 public:
  void controlTextDidEndEditing(QLineEdit* field) override;
  void changeLineStylePopUpButton();
  void changeLineWidthStepper();
  void changeEditLevelButtons();
  // Refills the line style pop-up with its eight rows.
  void loadLineStyleItems() { LoadLineStyleItems(lineStylePopUpButton); }

  InspectorMatrix* editLevelButtons = nullptr;
  QComboBox* lineStylePopUpButton = nullptr;
  QDoubleSpinBox* lineWidthStepper = nullptr;
  QLineEdit* lineWidthText = nullptr;

 protected:
  using InspectorPane::InspectorPane;
  void addEditLevel();
  void addLineControls();
  // The edit level cell of the document's default.
  void selectEditLevel(const DocState* ds);
};

// What the panes of the tools that draw closed shapes share: the fill pattern and the
// automatic dimensions besides the line and edit level controls.
class DetailShapeToolInspectorBase : public DetailToolInspectorBase {
 public:
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void changePatternPopUpButton();
  void changeDisplayDimsButton();
  // Refills the pattern pop-up with its nine rows.
  void loadPatternItems() { LoadPatternItems(patternPopUpButton); }

  QCheckBox* displayDimsButton;
  QComboBox* patternPopUpButton;

 protected:
  using DetailToolInspectorBase::DetailToolInspectorBase;
  // The pattern pop-up, the line controls, the edit level and the dimensions check, in that order.
  void addShapeControls();
};

class DetailTool1InspectorController : public DetailShapeToolInspectorBase {
 public:
  static DetailTool1InspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void loadDrawMethodItemsAndSelect();
  void changeDrawMethodPopUpButton();

  int32_t rectangleDrawMethod = 0, ovalDrawMethod = 4, lineDrawMethod = 8, polygonDrawMethod = 10,
          arcDrawMethod = 12, splineDrawMethod = 14;
  QComboBox* drawMethodPopUpButton;

 private:
  DetailTool1InspectorController();
  int32_t* drawMethodOf(int tool);
};
