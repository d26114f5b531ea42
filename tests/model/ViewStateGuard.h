// Saves the process-wide view transform for a test and restores it afterwards;
// optionally sets up the plan view (looking straight down, no perspective).
#pragma once
#include "model/ViewProjection.h"

struct ViewStateGuard {
  float xAngle = gXViewAngle, yAngle = gYViewAngle, factor = gViewFactor;
  uint8_t perspective = gPerspective;
  float sinX = gSinXAngle, cosX = gCosXAngle, sinY = gSinYAngle, cosY = gCosYAngle;
  float ox = gGlobalXOffset, oy = gGlobalYOffset, oz = gGlobalZOffset, distance = gViewDistance;
  float c1 = gGridC1, c2 = gGridC2, c3 = gGridC3, cd = gGridCONST;

  explicit ViewStateGuard(bool planView = true) {
    if (!planView) return;
    gXViewAngle = 90;
    gYViewAngle = 0;
    gPerspective = 0;
    gGlobalXOffset = 0;
    gGlobalYOffset = -96;
    gGlobalZOffset = 0;
    SetUpForRotationAboutArbitraryAxis(90, 0, &gCosXAngle, &gSinXAngle, &gCosYAngle, &gSinYAngle, 0);
  }
  ~ViewStateGuard() {
    gXViewAngle = xAngle, gYViewAngle = yAngle, gViewFactor = factor, gPerspective = perspective;
    gSinXAngle = sinX, gCosXAngle = cosX, gSinYAngle = sinY, gCosYAngle = cosY;
    gGlobalXOffset = ox, gGlobalYOffset = oy, gGlobalZOffset = oz, gViewDistance = distance;
    gGridC1 = c1, gGridC2 = c2, gGridC3 = c3, gGridCONST = cd;
  }
};
