// The "Fill Object with Plants" sheet: plants the content palette's selected plant along and
// inside the selected 2D objects of the current floor.
#pragma once
#include <cstdint>

#include "inspectors/SheetController.h"
#include "tools/PlantFill.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
struct Objex;

class PlantFillController : public SheetController {
  Q_OBJECT
 public:
  // contextObject: the object under the last context click, if any (an open one cannot be
  // filled inside).
  static void newPlantFillSheetForParent(QWidget* parent, Objex* contextObject = nullptr);

  QCheckBox* fillAreaButton = nullptr;
  QCheckBox* fillPerimeterButton = nullptr;
  QProgressBar* progressIndicator = nullptr;
  QLineEdit* spacingText = nullptr;
  QLabel* progressText = nullptr;

 private:
  PlantFillController(QWidget* parent, Objex* contextObject);
  Objex* context_;
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

// Plants the content palette's selected entry along and inside one object (nothing unless
// that entry is a stock or a user plant); the number planted.
int32_t ApplePortFillObjectWithPlants(Objex* object, PlantFillReport* report = nullptr);
