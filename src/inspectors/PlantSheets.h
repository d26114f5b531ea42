// The plant sheets: the planting age of the selected plants and how many years the plan's
// plant growth control projects.
#pragma once
#include "inspectors/SheetController.h"

class QLineEdit;

class PlantingAgeController : public SheetController {
  Q_OBJECT
 public:
  static void newPlantingAgeSheetForParent(QWidget* parent);
  QLineEdit* plantAgeText = nullptr;

 private:
  explicit PlantingAgeController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

class PlantGrowthProjController : public SheetController {
  Q_OBJECT
 public:
  static void newPlantGrowthProjSheetForParent(QWidget* parent);
  QLineEdit* maxAgeText = nullptr;

 private:
  explicit PlantGrowthProjController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

// The planting age a typed number gives (0 to 20 years).
int16_t ClampedPlantingAge(float typed);
// The maximum growth level a typed projection in years gives: 5 up to 1 year, years + 3 for
// 2 to 50, 53 above.
int16_t MaximumPlantAgeForProjection(int16_t years);
