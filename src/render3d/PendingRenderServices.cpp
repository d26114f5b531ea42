#include "model/NotYetBuilt.h"
#include "model/Services.h"
#include "render3d/SceneFrame.h"

float gWalkFOV = 45.0f;
float gChopperFOV = 38.0f;
uint8_t gPrinting3DView = 0;
uint8_t g3DViewPrintInterrupted = 0;

