// Freehand roof panels: the outline entry that makes a panel with its slope arrow, and the
// modal drag of the arrow that sets the direction the panel falls.
#include "tools/RoofPanelTools.h"

#include <cmath>

#include "building3d/RoofPanels3D.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "plandraw/LinePrimitives.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/ModalEvents.h"
#include "tools/PointEvaluation.h"
#include "tools/PolygonEntry.h"
#include "tools/Tracking.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr RGBColor kRed{65535, 0, 0};
constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr int32_t kPanelTexture = 1255;
constexpr float kNewPanelDirection = 270.0f;

void ClearOverlay() {
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
}

void PanelMiddle(const Objex* panel, float* cx, float* cz) {
  const Poinz* p = panel->firstPoint;
  float minX = p ? p->position[0] : 0, maxX = minX, minZ = p ? p->position[2] : 0, maxZ = minZ;
  for (; p; p = p->next) {
    minX = std::fmin(minX, p->position[0]), maxX = std::fmax(maxX, p->position[0]);
    minZ = std::fmin(minZ, p->position[2]), maxZ = std::fmax(maxZ, p->position[2]);
  }
  *cx = (minX + maxX) / 2;
  *cz = (minZ + maxZ) / 2;
}

}  // namespace

float SnapSlopeDirection(float degrees, bool snap) {
  if (!snap) return degrees;
  return static_cast<float>(static_cast<int>(degrees / 15.0f + 0.5f) * 15);
}

Objex* TrackRoofPanel(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  Layer* layer = ds ? gCurDocument->itsCurLayer : nullptr;
  if (!layer) return nullptr;
  Objex* panel = TrackGnrlPoly(windowX, windowY, x, y, z, stage, 0, 1, 1, kObjRoofPanel);
  if (!panel || stage != kTrackEnd) return panel;
  panel->slopeAnchor() = ds->roofPanelSlopeAnchor();
  FinishNewRoofPanel(panel, kNewPanelDirection, GetLayerAbsBaseHeight(layer) + layer->height);
  return panel;
}

void FinishNewRoofPanel(Objex* panel, float direction, float baseElevation) {
  DocState* ds = CurDocState();
  if (!panel || !ds) return;
  panel->type = kObjRoofPanel;
  panel->closed = 1;
  panel->planMask = 16;
  panel->width = ds->newRoofPitch();
  panel->baseElevation = baseElevation;
  panel->penColor = panel->fillColor = kRed;
  panel->textureID = 0;
  panel->textureID1 = kPanelTexture, panel->color1 = RGBColor{58000, 58000, 58000};
  panel->textureID2 = 0, panel->color2 = RGBColor{57311, 52685, 46517};
  panel->textureID3 = 0, panel->color3 = kWhite;
  panel->textureScale1 = panel->textureScale2 = panel->textureScale3 = ShortPoint{100, 100};
  SetTextureFaceUV(panel);
  SetObjectPointLengths(panel);
  panel->params[0] = direction;
  if (Objex* arrow = CreateSlopeArrow(panel, ds->newRoofPitch())) {
    PlaceSlopeArrow(arrow, panel, direction * kPi / 180.0f);
    arrow->next = panel->firstChild;
    if (panel->firstChild) panel->firstChild->prev = arrow;
    else panel->lastChild = arrow;
    panel->firstChild = arrow;
    arrow->prev = nullptr;
  }
  Update3DRoofPanel(panel);
  RenderSingleObject(panel);
}

void TrackRoofSlopeDirection(Objex* arrow, float, float, float) {
  ClearOverlay();
  DocState* ds = CurDocState();
  if (!ds || !arrow || !gClickInfo.hitPoint) return;
  Objex* panel = arrow->parent;
  if (!panel) return;
  float cx = 0, cz = 0;
  PanelMiddle(panel, &cx, &cz);
  const bool head = gClickInfo.hitPoint->prev != nullptr;
  const POINT press = gClickInfo.where;
  float degrees = 0, dx = 0, dz = 0;
  auto follow = [&](POINT where, bool first, uint16_t modifiers) {
    float m[3] = {0, 0, 0};
    EvaluatePoint(where.x, where.y, &m[0], &m[1], &m[2], 1, nullptr, 1);
    float length = 0;
    const float radians = head ? GetLineLengthAndAngle(cx, cz, m[0], m[2], &length)
                               : GetLineLengthAndAngle(m[0], m[2], cx, cz, &length);
    degrees = radians * 180.0f / kPi;
    degrees = SnapSlopeDirection(degrees, first || modifiers != kTrackModShift);
    GetPointFromLengthAndAngle(degrees * kPi / 180.0f, kSlopeArrowHalfLength, &dx, &dz);
    const uint8_t saved = gDynamicDrawing;
    gDynamicDrawing = 1;
    DrawLine(nullptr, cx - dx, 0, cz - dz, cx + dx, 0, cz + dz, 0, nullptr, nullptr);  // the projection zooms
    gDynamicDrawing = saved;
    Refresh();
  };
  MaintainModifiers();
  follow(press, true, gTrackModifiers);
  POINT release = press;
  for (;;) {
    ModalEvent event;
    if (!NextModalEvent(kModalMouseUpMask | kModalMouseDraggedMask, &event)) break;
    ClearOverlay();
    release = event.where;
    follow(event.where, false, TrackModifiersOfEvent(event));
    if (event.type == kModalMouseUp) break;
  }
  ClearOverlay();
  if (ModalWindowClosed() || (release.x == press.x && release.y == press.y)) return;
  panel->params[0] = degrees;
  PlaceSlopeArrow(arrow, panel, degrees * kPi / 180.0f);
  Update3DRoofPanel(panel);
  ReRenderObject(panel);
  Refresh();
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  SelectObj(arrow, kSelectOn, 1);
}

void TrackRoofSlopeDirection() {
  TrackRoofSlopeDirection(gClickInfo.hitObject, 0, 0, 0);
}
