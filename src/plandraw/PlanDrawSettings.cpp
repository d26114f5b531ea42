// The plan drawing's in-memory settings.
#include "plandraw/PlanDrawSettings.h"

PlanDrawSettings gPlanDrawSettings;
