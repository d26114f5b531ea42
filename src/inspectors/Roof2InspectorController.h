// The pane of freehand roof panels and of their tools, with the elevation choice and, for
// the four- and three-point tools, the soffit options.
#pragma once
#include "inspectors/Roof1InspectorController.h"

class QFrame;

class Roof2InspectorController : public RoofPitchInspector {
 public:
  static Roof2InspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void elevationButtonsChanged();
  void includeSoffitsButtonChanged();
  void baseSoffitButtonChanged();
  void leftSoffitButtonChanged();
  void rightSoffitButtonChanged();

  QFrame* soffitBox;
  QCheckBox *includeSoffitsButton, *baseSoffitButton, *leftSoffitButton, *rightSoffitButton;
  InspectorMatrix* elevationButtons;
  QLabel *soffitLabel, *soffitDepthLabel;
  QLineEdit* soffitDepthText;

 private:
  Roof2InspectorController();
  bool handleOtherField(QLineEdit* field) override;
  void showSoffits(bool shown, bool sides);
};
