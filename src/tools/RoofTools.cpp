// Roofs dragged as a rectangle: the rubber band of the outline with its ridge, and the roof
// object with its 3D parts on release.
#include "tools/RoofTools.h"

#include <cmath>

#include "building3d/Roofs3D.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/ShapeBuilders.h"
#include "model/ViewCommands.h"
#include "model/ViewProjection.h"
#include "model/PlanarTransforms.h"
#include "model/WallFields.h"
#include "plandraw/LinePrimitives.h"
#include "platform/Alerts.h"
#include "tools/RoofPanelTools.h"
#include "plandraw/DimensionLines.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/RoofDrawing.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
constexpr RGBColor kFasciaColor{57311, 52685, 46517};
constexpr int32_t kRoofingTexture = 1255;
constexpr int32_t kRoofingPlanMask = 16;
constexpr float kRoofDimOffset = 5.0f;

void AppendLine(ZLKDynamicDrawEngine* overlay, float x1, float z1, float x2, float z2, float y) {
  float ax = x1, ay = y, az = z1, bx = x2, by = y, bz = z2;
  ConvertToIso(&ax, &ay, &az, &bx, &by, &bz, gPerspective);
  overlay->appendLineToActivePathWithStartPoint(NSMakePoint(std::round(ax), std::round(ay)),
                                                NSMakePoint(std::round(bx), std::round(by)));
}

// The outline's long sides, the lines to the ridge ends and the ridge, as the roof will be.
void DrawRoofBand(ZLKDynamicDrawEngine* overlay, const float c[8], int16_t style, float y) {
  float span = 0, ridgeLength = 0;
  GetLineLengthAndAngle(c[0], c[1], c[6], c[7], &span);
  const float angle = GetLineLengthAndAngle(c[0], c[1], c[2], c[3], &ridgeLength);
  const float h = span / 2;
  float a[2] = {(c[0] + c[6]) / 2, (c[1] + c[7]) / 2};
  float b[2] = {(c[2] + c[4]) / 2, (c[3] + c[5]) / 2};
  float travelA = 0, travelB = 0;
  RoofRidgeEndTravel(style, ridgeLength, h, &travelA, &travelB);
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, travelA, &dx, &dz);
  a[0] += dx, a[1] += dz;
  GetPointFromLengthAndAngle(angle, travelB, &dx, &dz);
  b[0] += dx, b[1] += dz;

  AppendLine(overlay, c[0], c[1], c[2], c[3], y);
  AppendLine(overlay, c[6], c[7], c[4], c[5], y);
  if (style == kRoofHip) {
    AppendLine(overlay, c[0], c[1], c[6], c[7], y);
    AppendLine(overlay, c[2], c[3], c[4], c[5], y);
  } else if (style == kRoofHipAndGable) {
    AppendLine(overlay, c[0], c[1], c[6], c[7], y);
  } else if (style == kRoofHipOneEnd) {
    AppendLine(overlay, c[2], c[3], c[4], c[5], y);
  }
  AppendLine(overlay, c[0], c[1], a[0], a[1], y);
  AppendLine(overlay, c[6], c[7], a[0], a[1], y);
  AppendLine(overlay, c[2], c[3], b[0], b[1], y);
  AppendLine(overlay, c[4], c[5], b[0], b[1], y);
  AppendLine(overlay, a[0], a[1], b[0], b[1], y);
}

bool TooShortADrag() {
  const float travel = GetLineLength(static_cast<float>(gStartMouse.x), static_cast<float>(gStartMouse.y),
                                     static_cast<float>(gEndMouse.x), static_cast<float>(gEndMouse.y));
  return travel < gMouseModeLimit;
}

constexpr float kPi = 3.14159265358979f;
constexpr float kQuarter = kPi / 2;

uint8_t sRoofTrackSuccess = 0;

struct PlanXZ {
  float x, z;
};
PlanXZ Along(PlanXZ p, float angle, float length) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, length, &dx, &dz);
  return {p.x + dx, p.z + dz};
}

// Where the eave of a panel on a wall segment starts and ends, and its height (screen
// units), by the wall's top style. A pitch of zero or less never divides: that end stays at
// the segment's end.
void EaveEnds(Poinz* p1, const PlanXZ& a, float theta, float length, const DocState* ds, PlanXZ* e1, PlanXZ* e2,
              float* height) {
  const float h0 = ConvertWorldToScreen(WallHeightOf(p1), ds, 0);
  const float hC = ConvertWorldToScreen(HeightCOf(p1), ds, 0);
  const float hD = ConvertWorldToScreen(HeightDOf(p1), ds, 0);
  const float pA = PitchAOf(p1) / 12.0f, pB = PitchBOf(p1) / 12.0f;
  auto t = [&](float s) { return Along(a, theta, s); };
  auto run = [](float rise, float pitch, bool* ok) {
    *ok = pitch > 0 && std::isfinite(rise / pitch);
    return *ok ? rise / pitch : 0.0f;
  };
  const PlanXZ p2 = t(length);
  *e1 = a;
  *e2 = p2;
  *height = h0;
  bool ok = false;
  const int32_t style = WallStyleOf(p1);
  switch (style) {
    case 4: case 5: case 6: case 7: {
      const float s1 = run(hD - h0, pA, &ok);
      if (ok) *e1 = t(style <= 5 ? s1 : -s1);
      const float s2 = run(hD - hC, pB, &ok);
      if (ok) *e2 = t(style == 4 || style == 6 ? length - s2 : length + s2);
      *height = hD;
      break;
    }
    case 8: case 9: {
      const float s2 = run(hC - h0, pA, &ok);
      if (ok) *e2 = t(style == 8 ? length - s2 : length + s2);
      *height = hC;
      break;
    }
    case 10: case 11: {
      const float s1 = run(hC - h0, pA, &ok);
      if (ok) *e1 = t(style == 10 ? s1 : -s1);
      *height = hC;
      break;
    }
    default:
      break;
  }
}

void Line0(const PlanXZ& a, const PlanXZ& b) {
  DrawLine(nullptr, a.x, 0, a.z, b.x, 0, b.z, 0, nullptr, nullptr);  // the projection zooms
}

Objex* TrackPointRoof(float x, float z, int16_t stage, bool fourPoint) {
  DocState* ds = CurDocState();
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
  gMouseCaptured = 0;
  if (!ds) return nullptr;
  if (stage == kTrackBegin) sRoofTrackSuccess = 1;
  if (!sRoofTrackSuccess) return nullptr;
  Objex* wall = gClickInfo.hitObject;
  Poinz* p1 = gClickInfo.hitPoint;
  Poinz* p2 = gClickInfo.segmentEnd;
  if (!gClickInfo.hitMode || !wall || wall->type != kObjWall || !gClickInfo.segmentHit || !p1 || !p2) {
    ShowAlert("Wall segment not found.",
              fourPoint ? "To create a four-point roof, click on a wall segment and draw the mouse away from the segment."
                        : "To create a three-point roof, click on a wall segment and draw the mouse away from the "
                          "segment.");
    sRoofTrackSuccess = 0;
    return nullptr;
  }
  const int32_t wallStyle = WallStyleOf(p1);
  if (wallStyle >= 1 && wallStyle <= 3) {
    if (fourPoint)
      ShowAlert("Unable to construct a four-point roof.",
                "The four-point roof tool does not support generating roofs for gable-style walls.");
    else
      ShowAlert("Unable to construct a three-point roof.",
                "The three-point roof tool does not support generating roofs for gable-style walls.");
    sRoofTrackSuccess = 0;
    return nullptr;
  }
  const PlanXZ a{p1->position[0], p1->position[2]};
  float length = 0;
  const float theta = GetLineLengthAndAngle(a.x, a.z, p2->position[0], p2->position[2], &length);
  const PlanXZ m{(a.x + p2->position[0]) / 2, (a.z + p2->position[2]) / 2};
  const bool soffits = ds->includeSoffits != 0;
  const bool baseSoffit = soffits && ds->baseSoffit();
  const bool leftSoffit = soffits && ds->leftSoffit();
  const bool rightSoffit = soffits && ds->rightSoffit();
  const float w = ConvertWorldToScreen(ds->soffitWidth(), ds, 0);

  const PlanXZ plus = Along(m, theta + kQuarter, 10.0f), minus = Along(m, theta - kQuarter, 10.0f);
  const float phi = std::hypot(x - plus.x, z - plus.z) < std::hypot(x - minus.x, z - minus.z) ? theta + kQuarter
                                                                                              : theta - kQuarter;
  const float outward = phi + kPi;
  const PlanXZ base = baseSoffit ? Along(m, outward, w) : m;
  float r = std::hypot(x - base.x, z - base.z);
  if (r == 0) r = 1.0f;
  const PlanXZ top = Along(base, phi, r);

  PlanXZ e1{}, e2{};
  float eaveHeight = 0;
  EaveEnds(p1, a, theta, length, ds, &e1, &e2, &eaveHeight);
  PlanXZ corners[4];
  int count = 0;
  const float run = baseSoffit ? r - w : r;
  if (fourPoint) {
    if (leftSoffit) e1 = Along(e1, theta + kPi, w);
    if (rightSoffit) e2 = Along(e2, theta, w);
    const PlanXZ e1b = baseSoffit ? Along(e1, outward, w) : e1;
    const PlanXZ e2b = baseSoffit ? Along(e2, outward, w) : e2;
    corners[0] = Along(e2, phi, run);
    corners[1] = Along(e1, phi, run);
    corners[2] = e1b;
    corners[3] = e2b;
    count = 4;
  } else {
    PlanXZ e1b = e1, e2b = e2;
    if (baseSoffit) {
      e1b = Along(Along(e1, outward, w), theta + kPi, w);
      e2b = Along(Along(e2, outward, w), theta, w);
    }
    const PlanXZ u1 = Along(e1, phi, run), u2 = Along(e2, phi, run);
    corners[0] = {(u1.x + u2.x) / 2, (u1.z + u2.z) / 2};
    corners[1] = e1b;
    corners[2] = e2b;
    count = 3;
  }

  if (stage != kTrackEnd) {
    const uint8_t saved = gDynamicDrawing;
    gDynamicDrawing = 1;
    Line0(top, m);
    float len = 0;
    const float back = GetLineLengthAndAngle(top.x, top.z, m.x, m.z, &len);
    Line0(top, Along(top, back + kPi / 6, 75.0f));
    Line0(top, Along(top, back - kPi / 6, 75.0f));
    if (fourPoint) {
      Line0(corners[0], corners[1]);
      Line0(corners[0], corners[3]);
      Line0(corners[1], corners[2]);
      Line0(corners[2], corners[3]);
    } else {
      Line0(corners[0], corners[2]);
      Line0(corners[0], corners[1]);
      Line0(corners[1], corners[2]);
    }
    static const char guard = 0;
    gRoundToggle = 1;
    DrawDimensionLine(nullptr, m.x, m.z, top.x, top.z, m.x, m.z, top.x, top.z, 0, kRoofDimOffset, 1, &guard, &guard,
                      0, 0, 0, 0, nullptr);
    gDynamicDrawing = saved;
    if (stage == kTrackBegin) Refresh();
    return nullptr;
  }

  Layer* layer = gCurDocument->itsCurLayer;
  if (TooShortADrag() || !layer) {
    ResetStandardTool(1);
    if (overlay) overlay->removePointsFromAllPaths();
    return nullptr;
  }
  float positions[12] = {}, handles[12] = {};
  for (int i = 0; i < count; ++i) {
    positions[3 * i] = corners[i].x;
    positions[3 * i + 2] = corners[i].z;
  }
  Objex* panel = BuildClosedPoly(positions, nullptr, handles, handles, nullptr, nullptr, count, layer, 0);
  if (!panel) return nullptr;
  float len = 0;
  const float direction = GetLineLengthAndAngle(top.x, top.z, base.x, base.z, &len) * 57.29578f;
  float elevation = ConvertScreenToWorld(eaveHeight, ds, 0);
  if (baseSoffit) elevation -= ds->newRoofPitch() / 12.0f * ds->soffitWidth();
  elevation += wall->baseElevation;
  panel->slopeAnchor() = 0;
  FinishNewRoofPanel(panel, direction, elevation);
  if (overlay) overlay->removePointsFromAllPaths();
  Refresh();
  return panel;
}

}  // namespace

Objex* TrackFourPtRoof(int32_t, int32_t, float x, float, float z, int16_t stage) {
  return TrackPointRoof(x, z, stage, true);
}

Objex* TrackThreePtRoof(int32_t, int32_t, float x, float, float z, int16_t stage) {
  return TrackPointRoof(x, z, stage, false);
}

int16_t RoofStyleForTool(uint16_t tool) {
  switch (tool) {
    case kToolGableRoof: return kRoofGable;
    case kToolHipRoof: return kRoofHip;
    case kToolHipGableRoof: return kRoofHipAndGable;
    case kToolGableRoofConnector: return kRoofGableOneEnd;
    case kToolHipRoofConnector: return kRoofHipOneEnd;
    case kToolCrossRoofConnector: return kRoofRidgeOnly;
    default: return 0;
  }
}

void OrderRoofCorners(float dx, float dz, float x, float z, float out[8]) {
  if (std::fabs(dx - x) > std::fabs(dz - z)) {
    const float c[8] = {dx, dz, x, dz, x, z, dx, z};
    for (int i = 0; i < 8; ++i) out[i] = c[i];
  } else {
    const float c[8] = {dx, z, dx, dz, x, dz, x, z};
    for (int i = 0; i < 8; ++i) out[i] = c[i];
  }
}

Objex* TrackGableRoof(int32_t, int32_t, float x, float, float z, int16_t stage) {
  DocState* ds = CurDocState();
  Layer* layer = ds ? gCurDocument->itsCurLayer : nullptr;
  if (!layer) return nullptr;
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->setActivePath(kPathPrimary);
    overlay->removePointsFromAllPaths();
  }
  gRoundToggle = 1;
  const int16_t style = ds->roofStyle;
  if (stage != kTrackEnd) {
    if (ShowAutoDimensions(ds)) {
      static const char guard = 0;
      DrawDimensionLine(nullptr, gDownX, z, x, z, gDownX, z, x, z, 0, kRoofDimOffset, 1, &guard, &guard, 0, 0, 0, 0,
                        nullptr);
      DrawDimensionLine(nullptr, x, gDownZ, x, z, x, gDownZ, x, z, 0, kRoofDimOffset, 1, &guard, &guard, 0, 0, 0, 0,
                        nullptr);
    }
    if (overlay) {
      float c[8];
      OrderRoofCorners(gDownX, gDownZ, x, z, c);
      DrawRoofBand(overlay, c, style, gDownY);
    }
    return nullptr;
  }

  Objex* roof = nullptr;
  if (TooShortADrag()) {
    ResetStandardTool(1);
    if (overlay) overlay->removePointsFromAllPaths();
  } else {
    float c[8];
    OrderRoofCorners(gDownX, gDownZ, gUpX, gUpZ, c);
    float positions[12], handles[12] = {};
    for (int i = 0; i < 4; ++i) {
      positions[3 * i] = c[2 * i];
      positions[3 * i + 1] = gDownY;
      positions[3 * i + 2] = c[2 * i + 1];
    }
    roof = BuildClosedPoly(positions, nullptr, handles, handles, nullptr, nullptr, 4, layer, 0);
    if (roof) {
      roof->type = kObjRoof;
      roof->closed = 1;
      roof->planMask = kRoofingPlanMask;
      roof->width = ds->newRoofPitch();
      roof->textureID = style;
      roof->fillPattern = gPattern;
      roof->textureID1 = 0;
      roof->color1 = kWhite;
      roof->textureScale1 = ShortPoint{100, 100};
      roof->baseElevation = GetLayerAbsBaseHeight(layer) + layer->height;
      if (Poinz* f = roof->firstPoint) {
        f->textureID[0] = kRoofingTexture;
        f->textureID[1] = 0;
        f->color[0] = kWhite;
        f->color[1] = kFasciaColor;
        f->textureScale[0] = f->textureScale[1] = ShortPoint{100, 100};
      }
      if (overlay) overlay->removePointsFromAllPaths();
      Update3DRoof(roof);
      RenderSingleObject(roof);
      Refresh();
    }
  }
  gMouseCaptured = 0;
  return roof;
}
