// Drawing state of the plan that lives only in memory, never in the design file, and the
// design's stored settings under the names the plan drawing reads them by.
#pragma once
#include <cstdint>

#include "model/DocState.h"
#include "model/Types.h"

struct PlanDrawSettings {
  // Colour of the object being drawn; set and restored per object by the plan drawing.
  RGBColor penColor{};
  // The grid is drawn (else only the frame of the plan bounds); printed only with printGrid.
  uint8_t gridVisible = 1;
  uint8_t printGrid = 0;
};

extern PlanDrawSettings gPlanDrawSettings;

// Where the plan drawing's colours and switches are kept in the DocState.
inline RGBColor& PlanBackgroundColor(DocState* ds) { return ds->annotationColor; }
inline RGBColor& InactiveFloorColor(DocState* ds) { return ds->foundationColor2; }
inline RGBColor& ExteriorFillColor(DocState* ds) { return ds->perimeterColor; }
inline RGBColor& TopographyColor(DocState* ds) { return ds->topoLineColor; }
inline RGBColor& GridColor(DocState* ds) { return ds->setting320; }
inline uint8_t& ShowTopography(DocState* ds) { return ds->showTopoLines; }
// The 3D camera as the plan marks it: mode 1 is the walk-through camera at its position and
// heading (degrees); other modes mark the point the camera looks at.
inline int16_t& CameraMode(DocState* ds) { return ds->navigationMode; }
inline FloatPoint& CameraPosition(DocState* ds) { return ds->walkPosition; }
inline float& CameraAngle(DocState* ds) { return ds->walkAngle; }
inline FloatPoint& CameraTarget(DocState* ds) { return ds->lookOffset; }
