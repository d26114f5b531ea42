// The pane of floors and cut-outs and of the floor, floor cut-out and deck cut-out tools.
#pragma once
#include "inspectors/InspectorPane.h"

class FloorInspectorController : public InspectorPane {
 public:
  static FloorInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void displayDimsButtonChanged();
  void adjustCurveButtonChanged();
  void straightenCurveButtonChanged();

  QCheckBox* displayDimsButton;
  QPushButton *straightenCurveButton, *adjustCurveButton;
  QLabel* objectTypeLabel;
  QLineEdit* floorThicknessText;

 private:
  FloorInspectorController();
};
