// The measurement units sheet: the design's unit system and its three readout codes.
#pragma once
#include "inspectors/ReadoutFormatControls.h"
#include "inspectors/SheetController.h"

class MeasurementUnitsController : public SheetController, public ReadoutFormatHost {
  Q_OBJECT
 public:
  static void newMeasurementUnitsSheetForParent(QWidget* parent);
  void defaultsButtonChanged();

 private:
  explicit MeasurementUnitsController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};
