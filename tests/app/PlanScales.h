// New designs at each scale of the plan scale sheet, in imperial and in metric units: the
// parameters of the tests that measure sizes, and the sheet chosen as the user chooses it.
#pragma once
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/PlanViewActions.h"
#include "app/ZLKWindowController.h"
#include "inspectors/PlanScaleController.h"
#include "inspectors/SheetController.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"

struct PlanScaleDesign {
  bool metric;
  int16_t scale;  // the sheet's cell: 11, 10, 9, 8 (1/2" = 1' .. 1/8" = 1', 1 : 10 .. 1 : 100)
};

inline std::vector<PlanScaleDesign> EveryPlanScaleDesign() {
  std::vector<PlanScaleDesign> designs;
  for (bool metric : {false, true})
    for (int16_t scale : {11, 10, 9, 8}) designs.push_back({metric, scale});
  return designs;
}

inline std::string PlanScaleDesignName(const testing::TestParamInfo<PlanScaleDesign>& info) {
  return std::string(info.param.metric ? "Metric" : "Imperial") + "Scale" + std::to_string(info.param.scale);
}

// Chooses the scale in the plan scale sheet of the window and presses OK.
inline void ChoosePlanScale(ZLKWindowController* window, ZLKDocumentModel* model, int16_t scale) {
  gCurDocument = model;
  window->planViewActions().perform(kTagSetPlanScale);
  auto* sheet = qobject_cast<PlanScaleController*>(SheetController::attachedSheet(window));
  ASSERT_NE(sheet, nullptr);
  ASSERT_NE(sheet->scaleMatrix->button(scale), nullptr);
  sheet->scaleMatrix->button(scale)->click();
  sheet->okButton()->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(model->itsDocState->planScaleChoice, scale);
}
