// The curve tension sheet: the selected objects smoothed with a typed tension (0 to 10;
// 0 straightens them).
#pragma once
#include <cstdint>

#include "inspectors/SheetController.h"

class QLineEdit;
class QSpinBox;

// The tension last used; the sheet opens with it.
extern int16_t gTension;

class CurveTensionController : public SheetController {
  Q_OBJECT
 public:
  static void newCurveTensionSheetForParent(QWidget* parent);
  // Opens the sheet on the main design window (the adjust-curve buttons of the inspectors).
  static void newCurveTensionSheetForMainWindow();

  QSpinBox* tensionStepper = nullptr;
  QLineEdit* tensionText = nullptr;
  void tensionStepperChanged();

 private:
  explicit CurveTensionController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};
