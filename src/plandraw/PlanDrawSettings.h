// Drawing state of the plan that lives only in memory, never in the design file.
#pragma once
#include "model/Types.h"

struct PlanDrawSettings {
  // Colour of the object being drawn; set and restored per object by the plan drawing.
  RGBColor penColor{};
};

extern PlanDrawSettings gPlanDrawSettings;
