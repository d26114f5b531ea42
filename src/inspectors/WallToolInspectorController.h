// The wall tools' defaults: the same controls as the wall object pane, writing DocState only.
#pragma once
#include "inspectors/WallObjectInspectorController.h"

class WallToolInspectorController : public WallInspectorBase {
 public:
  static WallToolInspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  void tableViewSelectionDidChange() override;
  void wallThicknessStepperChanged() override;
  void autoFlooringButtonChanged() override;
  void foundationButtonChanged() override;
  void displayDimsButtonChanged() override;
  void displayCalloutsButtonChanged() override;

  QLineEdit* wallSegmentLengthText;

 private:
  WallToolInspectorController();
};
