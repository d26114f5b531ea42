// The pane of selected 2D detail objects: fill pattern, line style, line width, edit level
// and automatic dimensions, the curve buttons, and converting the outlines into building
// and site objects.
#pragma once
#include "inspectors/InspectorPane.h"

class DetailObjectInspectorController : public InspectorPane {
 public:
  static DetailObjectInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void populateConversionPopUpButton();
  void patternPopUpButtonChanged();
  void lineStylePopUpButtonChanged();
  void lineWidthStepperChanged();
  void editLevelButtonsChanged();
  void displayDimsButtonChanged();
  void conversionPopUpButtonChanged();
  void adjustCurveButtonChanged();
  void straightenCurveButtonChanged();
  // Refill the pattern (nine rows) and line style (eight rows) pop-ups.
  void loadPatternItems();
  void loadLineStyleItems();

  QCheckBox* displayDimsButton;
  InspectorMatrix* editLevelButtons;
  QComboBox *lineStylePopUpButton, *patternPopUpButton, *conversionPopUpButton;
  QDoubleSpinBox* lineWidthStepper;
  QLineEdit* lineWidthText;

 private:
  DetailObjectInspectorController();
  // Sets a 16-bit field of every selected detail object whose value differs; true when any did.
  bool setEach(const std::function<bool(Objex*)>& apply);
};
