// The multigon tool's pane: the number of sides besides the shared detail defaults.
#pragma once
#include "inspectors/DetailTool1InspectorController.h"

class DetailTool2InspectorController : public DetailShapeToolInspectorBase {
 public:
  static DetailTool2InspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void changeMultigonSidesStepper();

  QDoubleSpinBox* multigonSidesStepper;
  QLineEdit* multigonSidesText;

 private:
  DetailTool2InspectorController();
};
