// The staircase pane: the five sizes and six options of the selected staircases, or the
// defaults of the stairway tools.
#pragma once
#include "inspectors/InspectorPane.h"

class StairInspectorController : public InspectorPane {
 public:
  static StairInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void skirtWallsButtonChanged();
  void openStepsButtonChanged();
  void leftRailButtonChanged();
  void rightRailButtonChanged();
  void closedStringerButtonChanged();
  void largeBaseButtonChanged();

  QLineEdit *stairHeightText, *stairWidthText, *stepHeightText, *stepDepthText, *railHeightText;
  QCheckBox *skirtWallsButton, *openStepsButton, *leftRailButton, *rightRailButton, *closedStringerButton,
      *largeBaseButton;

 private:
  StairInspectorController();
  struct Option;
  void optionChanged(const Option& option);
};
