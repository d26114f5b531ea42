// Bodies of the routines of parts not built yet: each records its call and does only what
// its callers rely on. Every routine of the model's own parts is built; the renderer's
// stand-ins are in render3d/PendingRenderServices.cpp.
#include "model/NotYetBuilt.h"
