// The fence pane (style and the five sizes of a custom fence) and the gate tool's pane.
#pragma once
#include "inspectors/InspectorPane.h"

class QComboBox;

class FenceInspectorController : public InspectorPane {
 public:
  static FenceInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;
  void changeStylePopUpButton();

  QComboBox* stylePopUpButton;
  QLineEdit *spanLengthText, *spanHeightText, *postWidthText, *postHeightText, *gateHeightText;

 private:
  FenceInspectorController();
  void enableSizeFields(bool on);
  // Selects the item of the tag; -1 (or a tag without an item) selects none.
  void selectStyleTag(int tag);
  int selectedStyleTag() const;
  // The style of the fences shown (-1 when they differ).
  int shownStyle_ = -1;
};

class GateToolInspectorController : public InspectorPane {
 public:
  static GateToolInspectorController* sharedInspectorController();
  void updateToolProperties() override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  QLineEdit* gateLengthText;

 private:
  GateToolInspectorController();
};
