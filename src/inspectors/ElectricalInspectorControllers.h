// The electrical tool panes: each holds one pop-up that chooses the variant its placement
// tool makes next (the tag is kept in the design's defaults; 8 is the first variant, 9 and
// 10 the others). They change nothing on the plan and store no undo step.
#pragma once
#include <cstdint>

#include "inspectors/InspectorPane.h"

class QComboBox;

class ElectricalStyleInspector : public InspectorPane {
 public:
  void updateToolProperties() override;
  // The pop-up's action: the chosen tag becomes the default.
  void styleChanged();
  QComboBox* stylePopUp() const { return popUp_; }

 protected:
  ElectricalStyleInspector(const char* interfaceName, const char* outlet, int32_t& (*field)(DocState*));

 private:
  QComboBox* popUp_;
  int32_t& (*field_)(DocState*);
};

// Wall receptacles (kToolReceptacle110Style).
class Recept1InspectorController : public ElectricalStyleInspector {
 public:
  static Recept1InspectorController* sharedInspectorController();
  void receptStylePopUpButtonChanged() { styleChanged(); }
  QComboBox* receptStylePopUpButton;

 private:
  Recept1InspectorController();
};

// Floor and ceiling receptacles (both voltages).
class Recept2InspectorController : public ElectricalStyleInspector {
 public:
  static Recept2InspectorController* sharedInspectorController();
  void receptStylePopUpButtonChanged() { styleChanged(); }
  QComboBox* receptStylePopUpButton;

 private:
  Recept2InspectorController();
};

// Multi-way switches.
class Switch1InspectorController : public ElectricalStyleInspector {
 public:
  static Switch1InspectorController* sharedInspectorController();
  void switchStylePopUpButtonChanged() { styleChanged(); }
  QComboBox* switchStylePopUpButton;

 private:
  Switch1InspectorController();
};

// Dimmer switches: filled through the object form with no object, which it ignores.
class Switch2InspectorController : public ElectricalStyleInspector {
 public:
  static Switch2InspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void switchStylePopUpButtonChanged() { styleChanged(); }
  QComboBox* switchStylePopUpButton;

 private:
  Switch2InspectorController();
};
