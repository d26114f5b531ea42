// The measurement units sheet: the design's unit system and its three readout codes.
#pragma once
#include "inspectors/SheetController.h"

class ReadoutFormatControls;

class MeasurementUnitsController : public SheetController {
  Q_OBJECT
 public:
  static void newMeasurementUnitsSheetForParent(QWidget* parent);
  ReadoutFormatControls* controls = nullptr;
  // The pop-ups rebuilt from the working codes, the controls shown for the units, and the
  // controls folded back into the working codes (all on `controls`).
  void loadField1ItemsAndSelect();
  void loadField2ItemsAndSelect();
  void loadField3ItemsAndSelect();
  void setFieldVisibility();
  void saveIntermediateValues();
  void unitsPopUpButtonChanged();
  void field2PopUpButtonChanged();
  void defaultsButtonChanged();

 private:
  explicit MeasurementUnitsController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};
