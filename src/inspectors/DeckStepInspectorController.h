// The deck steps pane: width, height and handrails of the selected deck steps (children of
// decks). It has no tool form.
#pragma once
#include "inspectors/InspectorPane.h"

class DeckStepInspectorController : public InspectorPane {
 public:
  static DeckStepInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void leftRailButtonChanged();
  void rightRailButtonChanged();

  QCheckBox *leftRailButton, *rightRailButton;
  QLineEdit *stepWidthText, *stepHeightText;

 private:
  DeckStepInspectorController();
  void railButtonChanged(bool left);
};
