// The camera loops of the 3D view and the plan's camera marker, the orbit centre's keyboard
// step, the background's scrolling and the plant-growth step.
#include "render3d/Navigation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "building3d/PlaneObjects.h"
#include "building3d/RenderRoad.h"
#include "model/CommandCodes.h"
#include "model/CommandWalkers.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Records.h"
#include "model/Services.h"
#include "plandraw/PlanPoints.h"
#include "render3d/Cutaway.h"
#include "render3d/RealTimeScene.h"
#include "render3d/SceneFrame.h"
#include "render3d/SceneSurfaces.h"
#include "render3d/TopoCutouts.h"
#include "tools/ModalEvents.h"

NavigationHost gNavigationHost;
uint8_t gAnimateBackground = 0;
uint8_t gRealTimeElevate = 0;

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;
constexpr int32_t kLVOffBackgroundAnimation = 64;
constexpr int kPeriodMs = 10;
constexpr float kMarkerSquare = 50;
constexpr float kMostFlyDistance = 50000;

// The loops need a design with its first and third floors.
DocState* NavigableDocState() {
  DocState* ds = CurDocState();
  if (!ds || !GetLayerFromName("First Floor") || !GetLayerFromName("Third Floor")) return nullptr;
  return ds;
}

void MakeViewCurrent() {
  if (gNavigationHost.makeCurrent) gNavigationHost.makeCurrent();
}

void InitializeFrames() {
  MakeViewCurrent();
  RTInitializeGLScene();
}

// A camera loop runs: its frames after the first keep the first one's cut-away extent.
bool sInLoop = false;

// One real-time frame of the camera as the DocState holds it.
void DrawFrame(DocState* ds) {
  MakeViewCurrent();
  RTSetViewpoint(ds);
  RealTimeRenderAllGLPlaneObjects(gGLPlaneObjects);
  RTFinalizeGLScene();
  if (sInLoop) gSlicePlaneBoundsHeld = 1;
}

// The end of every camera loop: the real-time state cleared and one full render asked for.
void EndRealTime() {
  sInLoop = false;
  gSlicePlaneBoundsHeld = 0;
  // The full render after a loop measures the extent afresh.
  ForgetCutawayExtent();
  gRenderingOpenGL = 0;
  gRealTimeDraw = 0;
  gRefreshRender = 1;
  if (gLiveViewHost.display) gLiveViewHost.display();
}

// (length cos a, -length sin a) for an angle in degrees.
void Polar(float degrees, float length, float* x, float* z) {
  GetPointFromLengthAndAngle(degrees * kRadiansPerDegree, length, x, z);
}

// Keeps the plan's camera marker following a plan point: the previous and the new 50 by 50
// squares around it are redrawn.
class MarkerSquares {
 public:
  // Where the marker stands before the first move (its square is redrawn with the first).
  MarkerSquares(float x, float z) {
    const NSPoint p = ProjectPlanPointFlat(x, z);
    left_ = p.x - kMarkerSquare / 2, top_ = p.y - kMarkerSquare / 2;
  }
  void follow(float x, float z) {
    const NSPoint p = ProjectPlanPointFlat(x, z);
    const float left = p.x - kMarkerSquare / 2, top = p.y - kMarkerSquare / 2;
    float l = left, t = top, r = left + kMarkerSquare, b = top + kMarkerSquare;
    l = std::min(l, left_), t = std::min(t, top_);
    r = std::max(r, left_ + kMarkerSquare), b = std::max(b, top_ + kMarkerSquare);
    left_ = left, top_ = top;
    if (gNavigationHost.invalidatePlanRect) gNavigationHost.invalidatePlanRect(l, t, r - l, b - t);
  }

 private:
  float left_ = 0, top_ = 0;
};

// The four arrow flags, from key-down (set) and key-up (clear) events.
struct ArrowKeys {
  bool left = false, right = false, up = false, down = false;
  void take(const ModalEvent& e) {
    if (e.type != kModalKeyDown && e.type != kModalKeyUp) return;
    const bool held = e.type == kModalKeyDown;
    switch (e.keyCode) {
      case kModalKeyLeftArrow: left = held; break;
      case kModalKeyRightArrow: right = held; break;
      case kModalKeyUpArrow: up = held; break;
      case kModalKeyDownArrow: down = held; break;
      default: break;
    }
  }
  bool any() const { return left || right || up || down; }
};

constexpr uint32_t kViewLoopEvents = kModalMouseUpMask | kModalRightMouseUpMask | kModalMouseDraggedMask |
                                     kModalRightMouseDraggedMask | kModalKeyDownMask | kModalKeyUpMask |
                                     kModalPeriodicMask;

bool EndsViewLoop(const ModalEvent& e) { return e.type == kModalMouseUp || e.type == kModalRightMouseUp; }

struct StartEvent {
  bool left = true;
  uint32_t flags = 0;
  POINT where{};
};

StartEvent ReadStartEvent() {
  StartEvent s;
  if (!gNavigationHost.startEvent || !gNavigationHost.startEvent(&s.left, &s.flags, &s.where)) s.where = ModalMouseLocation();
  return s;
}

// The start and the end shared by the two 3D-view loops.
class ViewLoopScope {
 public:
  ViewLoopScope() {
    sInLoop = true;
    gRealTimeDraw = 1;
    gRenderingOpenGL = 1;
    InitializeFrames();
    if (gNavigationHost.beginMarkerSnapshot) gNavigationHost.beginMarkerSnapshot();
    if (ModalEventSource* source = CurrentModalEventSource()) source->startPeriodicEvents(kPeriodMs, kPeriodMs);
  }
  ~ViewLoopScope() {
    if (ModalEventSource* source = CurrentModalEventSource()) source->stopPeriodicEvents();
    if (gNavigationHost.endMarkerSnapshot) gNavigationHost.endMarkerSnapshot();
    EndRealTime();
  }
  ViewLoopScope(const ViewLoopScope&) = delete;
  ViewLoopScope& operator=(const ViewLoopScope&) = delete;
};

void DiscardKeyEvents() {
  if (ModalEventSource* source = CurrentModalEventSource()) source->discardKeyEvents();
}

int Divisor(int d) { return d == 0 ? 1 : d; }

int32_t ViewWidth() {
  if (gNavigationHost.viewWidth) return gNavigationHost.viewWidth();
  int32_t width = 0, height = 0;
  if (gLiveViewHost.viewBounds) gLiveViewHost.viewBounds(&width, &height);
  return width;
}

}  // namespace

// ---- Redraw request, camera set-up and the background ----

int RenderLoop() {
  gRefreshRender = 1;
  if (gNavigationHost.viewNeedsDisplay) gNavigationHost.viewNeedsDisplay();
  return 1;
}

void SetCameraPosition(float, float, float) {}

void SetCameraAngle(float, float, float) {
  DocState* ds = CurDocState();
  if (ds && gAnimateBackground) AnimateBackground(ds);
}

void AnimateBackground(DocState* ds) {
  if (!ds || (ds->renderExclusions() & kLVOffBackgroundAnimation)) return;
  const bool fly = ds->navigationMode == kNavFlyAround;
  const float a = (fly ? ds->flyAngleY() : ds->walkViewAngle()) / -90.0f;
  const float s = fly ? -1.0f : 1.0f;
  gBackgroundVertices[0] = a;
  gBackgroundVertices[1] = a + s;
  gBackgroundVertices[2] = a + s;
  gBackgroundVertices[3] = a;
}

// ---- Tables and helpers ----

NavigationSpeedRow NavigationSpeedRowFor(int16_t speed) {
  switch (speed) {
    case 6: return {50, 20, 1, 10, 50, 10, 1, 10};
    case 7: return {30, 10, 3, 6, 30, 6, 10, 6};
    case 8: return {15, 2, 6, 2, 15, 3, 30, 2};
    case 9: return {10, 1, 10, 1, 10, 3, 35, 1};
    case 10: return {5, 1, 10, 1, 5, 3, 35, 1};
    default: return {20, 3, 5, 2, 20, 3, 25, 3};
  }
}

float WrapNavigationAngle(float degrees) {
  if (degrees < 0) degrees += 360;
  else if (degrees > 359) degrees -= 360;
  return degrees;
}

void Get3DPointFromLengthAndAngles(float length, float horizontal, float vertical, float* x, float* y, float* z) {
  float u = 0, q = 0, w = 0;
  if (gCurDocument) {
    float p = 0;
    Polar(vertical + 180, length, &p, &q);
    const float r = std::sqrt(std::max(0.0f, length * length - q * q));
    Polar(horizontal + 90, r, &u, &w);
  }
  if (x) *x = u;
  if (y) *y = q;
  if (z) *z = w;
}

// ---- The orbit centre's keyboard step ----

void ApplePortCheckArrowKeys(bool left, bool right, bool up, bool down, bool clamp) {
  DocState* ds = CurDocState();
  if (!ds) return;
  float s = 0.5f;
  switch (ds->navigationStep) {
    case 7: s = 1; break;
    case 8: s = 2; break;
    case 9: s = 3; break;
    case 10: s = 4; break;
    default: break;
  }
  FloatPoint& c = ds->flyCenter();
  const float heading = ds->flyAngleY();
  float px = 0, pz = 0;
  if (left) {
    Polar(heading - 90, s, &px, &pz);
    c.floatH += px, c.floatV -= pz;
  }
  if (right) {
    Polar(heading + 90, s, &px, &pz);
    c.floatH += px, c.floatV -= pz;
  }
  if (up) {
    Polar(heading - 180, s, &px, &pz);
    c.floatH -= px, c.floatV += pz;
  }
  if (down) {
    Polar(heading - 180, s, &px, &pz);
    c.floatH += px, c.floatV -= pz;
  }
  if (left || right || up || down) {
    DrawFrame(ds);
    DiscardKeyEvents();
  }
  if (clamp) {
    const FloatRect& b = ds->planBounds;
    c.floatH = std::clamp(c.floatH, std::min(b.floatLeft, b.floatRight), std::max(b.floatLeft, b.floatRight));
    c.floatV = std::clamp(c.floatV, std::min(b.floatTop, b.floatBottom), std::max(b.floatTop, b.floatBottom));
  }
}

// ---- Free walk, free fly and controlled fly ----

void RealTimeRotateAnimOpenGL() {
  DocState* ds = NavigableDocState();
  if (!ds) return;
  const bool fly = ds->navigationMode == kNavFlyAround;
  if (ds->controlledNavigation() && !fly) {
    RealTimeRotateAnimOpenGLGAME();
    return;
  }
  const StartEvent start = ReadStartEvent();
  const bool controlledFly = fly && ds->controlledNavigation();
  const bool height = !start.left || (start.flags & kModalControlKey);
  const bool quietMarker = (start.flags & kModalCommandKey) || fly;

  ViewLoopScope scope;
  const NavigationSpeedRow row = NavigationSpeedRowFor(ds->navigationStep);
  const int turn = Divisor(fly ? (controlledFly ? row.controlledFlyTurn : row.freeFlyTurn) : row.walkTurn);
  const int forward = Divisor(row.walkForward);
  const int smoothing = Divisor(fly ? row.flySmoothing : row.walkSmoothing);
  float angle = ds->walkViewAngle();
  FloatPoint eye = ds->walkEyePoint();
  float flyX = ds->flyAngleX(), flyY = ds->flyAngleY();
  auto signedPoint = [controlledFly](POINT p) { return controlledFly ? POINT{-p.x, -p.y} : p; };
  POINT p0 = signedPoint(start.where);
  POINT q = p0;
  float speed = 0;  // the walk's forward step, kept while the pointer stays level
  ArrowKeys arrows;
  MarkerSquares marker(eye.floatH, eye.floatV), centreMarker(ds->flyCenter().floatH, ds->flyCenter().floatV);

  for (;;) {
    ModalEvent e;
    if (!NextModalEvent(kViewLoopEvents, &e) || EndsViewLoop(e)) break;
    arrows.take(e);
    ApplePortCheckArrowKeys(arrows.left, arrows.right, arrows.up, arrows.down, false);
    const POINT p = signedPoint(ModalMouseLocation());
    if (p.x != q.x || p.y != q.y) q = POINT{p0.x + (p.x - p0.x) / smoothing, p0.y + (p.y - p0.y) / smoothing};
    if (q.x == p0.x && q.y == p0.y && !height) continue;
    const int32_t dx = q.x - p0.x, dy = q.y - p0.y;
    bool turned = false;
    if (!fly) {
      if (dx != 0) {
        angle -= static_cast<float>(dx) / turn;
        turned = true;
      }
      if (dy != 0) speed = static_cast<float>(dy) / forward;
      angle = WrapNavigationAngle(angle);
      if (dy != 0) {
        float lx = 0, lz = 0;
        Polar(angle + 90, 1000, &lx, &lz);
        eye.floatH -= lx * speed / 1000;
        eye.floatV -= lz * speed / 1000;
      }
    } else {
      if (dy != 0 || height) {
        flyX = std::clamp(flyX - static_cast<float>(dy) / turn, 5.0f, 25.0f);
        if (height) {
          const float step = static_cast<float>(row.flyDistance);
          float& distance = ds->flyDistance();
          if (gRealTimeElevate) distance += step;
          else if (distance > step) distance -= step;
          distance = std::min(distance, kMostFlyDistance);
        }
      }
      if (dx != 0) {
        flyY = WrapNavigationAngle(flyY - static_cast<float>(dx) / turn);
        turned = true;
      }
    }
    if (fly) {
      ds->flyAngleX() = flyX;
      ds->flyAngleY() = flyY;
    } else {
      ds->walkEyePoint() = eye;
      ds->walkViewAngle() = angle;
    }
    if (!quietMarker) marker.follow(eye.floatH, eye.floatV);
    if (!fly) {
      if (height) {
        ds->walkEyeHeight() += gRealTimeElevate ? row.walkHeight : -row.walkHeight;
        if (ds->navigationStep == 6) SetupTopoTrimObjectList();
      }
      if (turned && gAnimateBackground) AnimateBackground(ds);
    } else if (gAnimateBackground) {
      AnimateBackground(ds);
    }
    DrawFrame(ds);
    if (fly && arrows.any()) centreMarker.follow(ds->flyCenter().floatH, ds->flyCenter().floatV);
    if (controlledFly) p0 = q;
  }
}

// ---- Controlled walk ----

void RealTimeRotateAnimOpenGLGAME() {
  DocState* ds = NavigableDocState();
  if (!ds) return;
  const StartEvent start = ReadStartEvent();
  const bool followPitch = !start.left || (start.flags & kModalControlKey);
  const bool quietMarker = (start.flags & kModalCommandKey) != 0;

  float base = 1, acceleration = 0.0001f, edgeTurn = 0.5f;
  int stepDivisor = 3, smoothing = 6;
  switch (ds->navigationStep) {
    case 6: base = 0.5f, acceleration = 0.01f, edgeTurn = 0.25f; break;
    case 7: base = 1, acceleration = 0.05f, edgeTurn = 0.5f; break;
    case 8: base = 6, acceleration = 0.25f, edgeTurn = 1; break;
    case 9: base = 8, acceleration = 0.5f, edgeTurn = 1.25f; break;
    case 10: base = 10, acceleration = 1, edgeTurn = 1.5f; break;
    default: break;
  }
  if (ds->navigationStep >= 6 && ds->navigationStep <= 10) stepDivisor = 1, smoothing = 2;

  ViewLoopScope scope;
  const POINT p0 = start.where;
  const float pitchAtPress = ds->walkPitchAngle();
  float reference = ds->walkViewAngle();
  float a = 0;
  ArrowKeys arrows;
  MarkerSquares marker(ds->walkEyePoint().floatH, ds->walkEyePoint().floatV);

  for (;;) {
    ModalEvent e;
    if (!NextModalEvent(kViewLoopEvents, &e) || EndsViewLoop(e)) break;
    arrows.take(e);
    a += acceleration;
    bool moved = false, turned = false;
    if (!arrows.any()) {
      a = 0;
    } else {
      const float s = (base + a) / static_cast<float>(stepDivisor);
      const float heading = ds->walkViewAngle();
      FloatPoint eye = ds->walkEyePoint();
      float px = 0, pz = 0;
      auto along = [&](float degrees, float sign) {
        Polar(degrees, 1000, &px, &pz);
        eye.floatH += sign * px * s / 1000;
        eye.floatV += sign * pz * s / 1000;
      };
      // Walking forward or back follows the pitch: the eye climbs or sinks with the look. Going
      // back takes the step the other way (adding it would undo most of the backward step).
      auto pitched = [&](bool forward) {
        if (!followPitch) return;
        float ox = 0, oy = 0, oz = 0;
        Get3DPointFromLengthAndAngles(s, heading, 2 * ds->walkPitchAngle(), &ox, &oy, &oz);
        const float sign = forward ? 1.0f : -1.0f;
        eye.floatH += sign * ox;
        eye.floatV += sign * oz;
        ds->walkEyeHeight() -= sign * oy;
      };
      if (arrows.up) along(heading + 90, 1), pitched(true);
      if (arrows.down) along(heading + 90, -1), pitched(false);
      if (arrows.left) along(heading - 180, 1);
      if (arrows.right) along(heading, 1);
      if (eye.floatH != ds->walkEyePoint().floatH || eye.floatV != ds->walkEyePoint().floatV) {
        ds->walkEyePoint() = eye;
        moved = true;
      }
    }
    const POINT p = ModalMouseLocation();
    const POINT q{p0.x + (p.x - p0.x) / smoothing, p0.y + (p.y - p0.y) / smoothing};
    if (q.y != p0.y) {
      const float pitch = std::clamp(pitchAtPress + static_cast<float>(q.y - p0.y) / 3.0f, -35.0f, 35.0f);
      if (pitch != ds->walkPitchAngle()) ds->walkPitchAngle() = pitch, moved = true;
    }
    const int32_t width = ViewWidth();
    float heading = ds->walkViewAngle();
    if (p.x >= 1 && p.x < width) {
      const float h = reference - static_cast<float>(q.x - p0.x);
      if (h != 0) heading = WrapNavigationAngle(h);
    } else if (p.x < 0) {
      heading = WrapNavigationAngle(heading + edgeTurn);
      reference = WrapNavigationAngle(reference + edgeTurn);
    } else if (p.x > width) {
      heading = WrapNavigationAngle(heading - edgeTurn);
      reference = WrapNavigationAngle(reference - edgeTurn);
    }
    if (heading != ds->walkViewAngle()) ds->walkViewAngle() = heading, turned = true;

    if (!moved && !turned && !arrows.any()) {
      DiscardKeyEvents();
      continue;
    }
    if (!quietMarker) marker.follow(ds->walkEyePoint().floatH, ds->walkEyePoint().floatV);
    if (turned && gAnimateBackground) AnimateBackground(ds);
    if (ds->navigationStep == 6) SetupTopoTrimObjectList();
    DrawFrame(ds);
    DiscardKeyEvents();
  }
}

// ---- The plan's camera marker ----

namespace {

// The marker drags' frame: the real-time state for the drag, frames unless the 3D view draws
// in the background.
class MarkerDragScope {
 public:
  MarkerDragScope() {
    sInLoop = true;
    gRealTimeDraw = 1;
    if (!gEnableBackgroundRendering) InitializeFrames();
  }
  ~MarkerDragScope() { EndRealTime(); }
  MarkerDragScope(const MarkerDragScope&) = delete;
  MarkerDragScope& operator=(const MarkerDragScope&) = delete;
};

// Runs step for every drag to a new integer position until the button goes up.
template <typename Step>
void DragUntilMouseUp(Step step) {
  POINT last{INT32_MIN, INT32_MIN};  // the first drag always counts
  for (;;) {
    ModalEvent e;
    if (!NextModalEvent(kModalMouseDraggedMask | kModalMouseUpMask, &e) || e.type == kModalMouseUp) break;
    if (e.where.x == last.x && e.where.y == last.y) continue;
    last = e.where;
    step(e.where);
  }
}

}  // namespace

void RealTimeTrackAngleD3D() {
  DocState* ds = NavigableDocState();
  if (!ds) return;
  if (!gEnableBackgroundRendering && ds->navigationMode != kNavWalkThrough) {
    ds->navigationMode = kNavWalkThrough;
    gRefreshRender = 1;
  }
  MarkerDragScope scope;
  const FloatPoint eye = ds->walkEyePoint();
  const NSPoint marker = ProjectPlanPointFlat(eye.floatH, eye.floatV);
  DragUntilMouseUp([&](POINT where) {
    float length = 0;
    const float radians = GetLineLengthAndAngle(marker.x, marker.y, static_cast<float>(where.x),
                                                static_cast<float>(where.y), &length);
    ds->walkViewAngle() = WrapNavigationAngle(radians * 57.29578f - 90);
    Refresh();
    if (!gEnableBackgroundRendering) {
      if (gAnimateBackground) AnimateBackground(ds);
      DrawFrame(ds);
    }
  });
}

namespace {
bool PlanCameraCanDraw() { return LiveViewWindowVisible() && gNavigationHost.makeCurrent && CurDocState(); }
}  // namespace

void BeginPlanCameraFrames() {
  if (PlanCameraCanDraw()) InitializeFrames();
}

void DrawPlanCameraFrame() {
  if (!PlanCameraCanDraw()) return;
  DocState* ds = CurDocState();
  if (gAnimateBackground) AnimateBackground(ds);
  DrawFrame(ds);
}

void RealTimeTrackPositionD3D() {
  DocState* ds = NavigableDocState();
  if (!ds) return;
  MarkerDragScope scope;
  DragUntilMouseUp([&](POINT where) {
    float x = 0, y = 0, z = 0;
    EvaluatePoint(where.x, where.y, &x, &y, &z, 1, nullptr, 1);
    FloatPoint& target = ds->navigationMode == kNavFlyAround ? ds->flyCenter() : ds->walkEyePoint();
    target.floatH = x;
    target.floatV = z;
    Refresh();
    if (!gEnableBackgroundRendering) DrawFrame(ds);
  });
}

// ---- Plant growth ----

void RealTimePlantGrowthD3D(int16_t level, int16_t delta) {
  if (!gCurDocument || !gCurDocument->itsDocState) return;
  DocState* ds = gCurDocument->itsDocState;
  Layer* layers = gCurDocument->itsLayers;
  const bool visible = LiveViewWindowVisible();
  if (visible) {
    gRealTimeDraw = 1;
    InitializeFrames();
  }
  const int32_t most = std::max<int32_t>(1, gCurDocument->itsMaximumPlantAge);
  int32_t n = static_cast<int32_t>(level) + delta;
  if (n < 1) {
    n = 1;
    delta = 0;
  } else if (n > most) {
    delta = 0;
  }
  ds->plantAge = static_cast<float>(std::min(n, most));
  if (gNavigationHost.updatePlantGrowthIndicator) gNavigationHost.updatePlantGrowthIndicator();
  if (delta != 0) {
    if (visible) {
      GrowPlantVisuals(delta);
      RenderLoop();
    } else if (layers) {
      SelectedObjectAllLayers(layers, 0, kCmdPlantBounds, CommandArg::Value(delta));
    }
  }
  gRealTimeDraw = 0;
  if (layers) {
    SelectedObjectAllLayers(layers, 0, kCmdPlantGrowth, CommandArg::None());
    SelectAllLayers(layers, kSelectOff, 1);
  }
  Refresh();
}
