// The plan view's set-up commands over the view transform globals and the DocState.
#include "model/ViewCommands.h"

#include "model/DocumentModel.h"
#include "model/Floors2D.h"
#include "model/Globals.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ViewProjection.h"

void UpdateViewingHeight() {
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsCurLayer) return;
  gGlobalYOffset = 0;
  GridOrigin(ds).floatV = 0;
  ds->baseElevation = GetLayerAbsBaseHeight(gCurDocument->itsCurLayer);
}

void ResetView() {
  DocState* ds = CurDocState();
  if (!ds) return;
  GridOrigin(ds).floatH = ds->planBounds.floatRight;
  GridOrigin(ds).floatD = ds->planBounds.floatTop;
  gGlobalZOffset = 0;
  gGlobalXOffset = 0;
  UpdateViewingHeight();
}

void ViewTop() {
  DocState* ds = CurDocState();
  if (!ds) return;
  ResetStandardTool(1);
  ds->viewPlane = 2;
  gXViewAngle = 90.0f;
  gYViewAngle = 0;
  gViewFactor = 1.0f;
  gPerspective = 0;
  // The projection reads the sines and cosines, not the angles.
  SetUpForRotationAboutArbitraryAxis(gXViewAngle, gYViewAngle, &gCosXAngle, &gSinXAngle,
                                     &gCosYAngle, &gSinYAngle, gPerspective);
  ResetView();
  PlanZoom(ds) = TopViewZoom(ds);
  Layer* topLayer = Get2DViewLayer(kCmdViewTop);
  if (topLayer && topLayer != gCurDocument->itsCur2DLayer) {
    gCurDocument->itsCur2DLayer = topLayer;
    Set2DViewLayerVisibility(topLayer);
    Refresh();
  }
}

void ActualSize() {
  DocState* ds = CurDocState();
  if (!ds) return;
  PlanZoom(ds) = 1.0f;
  ResetView();
  if (GetCurrentView() == kCmdViewTop) TopViewZoom(ds) = 1.0f;
  else OtherViewZoom(ds) = 1.0f;
}
