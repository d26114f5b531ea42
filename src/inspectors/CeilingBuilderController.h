// The ceiling builder sheet: for the one selected wall it builds a floor, a ceiling and
// soffits, each with its thickness, elevation and extension.
#pragma once
#include "inspectors/SheetController.h"

class QCheckBox;
class QLineEdit;

class CeilingBuilderController : public SheetController {
  Q_OBJECT
 public:
  // Opens the sheet on the window when exactly one wall of the current layer is selected.
  static void newCeilingBuilderSheetForParent(QWidget* parent);

  QCheckBox* buildSoffitsButton = nullptr;
  QCheckBox* buildFloorsButton = nullptr;
  QCheckBox* buildCeilingsButton = nullptr;
  QCheckBox* joinSoffitsButton = nullptr;
  QLineEdit* soffitThicknessText = nullptr;
  QLineEdit* soffitElevationText = nullptr;
  QLineEdit* soffitExtensionText = nullptr;
  QLineEdit* floorThicknessText = nullptr;
  QLineEdit* floorElevationText = nullptr;
  QLineEdit* floorExtensionText = nullptr;
  QLineEdit* ceilingThicknessText = nullptr;
  QLineEdit* ceilingElevationText = nullptr;
  QLineEdit* ceilingExtensionText = nullptr;

  void buildCeilingsButtonChanged();
  void buildFloorsButtonChanged();
  void buildSoffitsButtonChanged();
  // Rewrites the edited length in the readout format.
  void controlTextDidEndEditing(QLineEdit* field);

 private:
  explicit CeilingBuilderController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};
