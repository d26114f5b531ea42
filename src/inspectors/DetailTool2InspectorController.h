// The multigon tool's pane: the number of sides besides the shared detail defaults.
#pragma once
#include "inspectors/DetailTool1InspectorController.h"

class DetailTool2InspectorController : public DetailToolInspectorBase {
 public:
  static DetailTool2InspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void changePatternPopUpButton();
  void changeDisplayDimsButton();
  void changeMultigonSidesStepper();
  // Refills the pattern pop-up with its nine rows.
  void loadPatternItems() { LoadPatternItems(patternPopUpButton); }

  QCheckBox* displayDimsButton;
  QComboBox* patternPopUpButton;
  QDoubleSpinBox* multigonSidesStepper;
  QLineEdit* multigonSidesText;

 private:
  DetailTool2InspectorController();
};
