// The plant pane: the planting age of the selected plants.
#pragma once
#include <cstdint>

#include "inspectors/InspectorPane.h"

class PlantInspectorController : public InspectorPane {
 public:
  static PlantInspectorController* sharedInspectorController();
  void updatePropertiesForObject(Objex* object, bool initialize) override;
  void controlTextDidEndEditing(QLineEdit* field) override;

  int16_t prevAgeValue = 0;  // the age last shown or accepted
  QLineEdit* plantAgeText;

 private:
  PlantInspectorController();
  int32_t shownAge_ = -1;  // -1: the field is blank (mixed ages)
};

// Planting ages in whole years a plant may have.
constexpr int32_t kMostPlantingAge = 20;
