// The object elevation sheet: the selected objects raised to a typed base elevation, or
// floated above the topography.
#pragma once
#include <cstdint>

#include "inspectors/SheetController.h"

class QCheckBox;
class QLineEdit;

// The sheet's state, primed by the command bridge before the sheet opens.
extern float gDLOGElevation;    // inches
extern uint8_t gDLOGTopoFloat;  // float above the topography chosen

class ObjectElevationController : public SheetController {
  Q_OBJECT
 public:
  static void newObjectElevationSheetForParent(QWidget* parent);

  QCheckBox* floatAboveTopoButton = nullptr;
  QLineEdit* elevationText = nullptr;
  void floatAboveTopoButtonChanged();

 private:
  explicit ObjectElevationController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
  void afterClosing() override;
  bool someCouldNotFloat_ = false;
  float shownElevation_ = 0;  // the selection's elevation as the sheet opened
};
