// Definitions of the process-wide preferences and tool state the core reads.
#include "model/Globals.h"

uint8_t gDefaultToImperial = 1;
int16_t gImperialReadoutFormat = 0;
int16_t gMetricReadoutFormat = 0;
int16_t gAngleReadoutFormat = 0;
uint8_t gForceNewPlanDefaults = 0;
int32_t gToolsetOptions = 6911;
char gDecimalSeparator = '.';
int16_t gPattern = 0;
int16_t gTextAlignment = 0;
