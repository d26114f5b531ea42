// The measurement units sheet: the design's unit system and its three readout codes.
#pragma once
#include "inspectors/SheetController.h"

class ReadoutFormatControls;

class MeasurementUnitsController : public SheetController {
  Q_OBJECT
 public:
  static void newMeasurementUnitsSheetForParent(QWidget* parent);
  ReadoutFormatControls* controls = nullptr;
  void unitsPopUpButtonChanged();
  void field2PopUpButtonChanged();
  void defaultsButtonChanged();

 private:
  explicit MeasurementUnitsController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};
