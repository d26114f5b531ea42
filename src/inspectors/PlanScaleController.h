// The plan scale and plan zoom sheets: one of four drawing scales, and the zoom as a
// percentage relative to the scale; both re-centre the design view.
#pragma once
#include "inspectors/SheetController.h"

class QButtonGroup;
class QLineEdit;

class PlanScaleController : public SheetController {
  Q_OBJECT
 public:
  static void newPlanScaleSheetForParent(QWidget* parent);
  QButtonGroup* scaleMatrix = nullptr;  // cells carry the codes 11, 10, 9, 8

 private:
  explicit PlanScaleController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

class PlanZoomController : public SheetController {
  Q_OBJECT
 public:
  static void newPlanZoomSheetForParent(QWidget* parent);
  QLineEdit* zoomScaleText = nullptr;  // whole percent

 private:
  explicit PlanZoomController(QWidget* parent);
  void initializeControlStates() override;
  void applySheet(ZLKDocumentModel* doc, DocState* ds) override;
};

// The scale denominator and the zoom multiplier of a scale code (8..11) in the design's
// measurement system; 0 for another code.
double PlanScaleDenominator(int code, bool metric);
double PlanZoomMultiplier(int code, bool metric);
