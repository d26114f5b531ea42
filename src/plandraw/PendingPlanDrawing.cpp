// Recording bodies of the plan drawing routines not drawn yet.
#include "plandraw/PendingPlanDrawing.h"

#include "model/PendingServices.h"



