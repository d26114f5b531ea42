// Process-wide settings the core reads: user preferences copied in by the shell,
// and the view transform shared by plan drawing and projection.
#pragma once
#include <cstdint>

// Measurement and readout preferences (set from the user defaults at start-up).
extern uint8_t gDefaultToImperial;
extern int16_t gImperialReadoutFormat;
extern int16_t gMetricReadoutFormat;
extern int16_t gAngleReadoutFormat;
extern uint8_t gForceNewPlanDefaults;
extern int32_t gToolsetOptions;  // 6911 from start-up
extern char gDecimalSeparator;   // the user's decimal separator; numbers are formatted with '.'

// View transform.
extern float gXViewAngle, gYViewAngle;
extern float gViewFactor;
extern uint8_t gPerspective;
extern float gSinXAngle, gCosXAngle, gSinYAngle, gCosYAngle;
extern float gGlobalXOffset, gGlobalYOffset, gGlobalZOffset;
extern float gViewDistance;

// Tool state shared with the inspectors.
extern int16_t gPattern;        // fill pattern given to new shapes
extern int16_t gTextAlignment;  // alignment of new text
