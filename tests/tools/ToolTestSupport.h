// A test document in the plan view with an overlay and modifier keys the tests control,
// and helpers that drive a whole drag the way the plan view's mouse loop does.
#pragma once
#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

#include "ModelInvariants.h"
#include "TestDocument.h"
#include "files/SymbolFile.h"
#include "model/Bounds.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/Services.h"
#include "model/ViewStateGuard.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/ShapeTools.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

class ToolTest : public ::testing::Test {
 protected:
  TestDocument doc;
  ViewStateGuard view;  // the plan view, looking straight down
  ZLKDynamicDrawEngine overlay;
  static inline ZLKDynamicDrawEngine* sOverlay = nullptr;
  static inline uint16_t sModifiers = 0;
  PlanViewHooks savedPlanHooks = gPlanViewHooks;
  TrackingHooks savedTrackingHooks = gTrackingHooks;
  PlanDrawingServices savedDrawingServices = gPlanDrawingServices;
  uint16_t savedTool = gCurTool, savedSnap = gCurSnap;
  uint8_t savedSnapLocked = gSnapLocked;

  void SetUp() override {
    gGlobalYOffset = 0;  // the plan at height 0
    sOverlay = &overlay;
    sModifiers = 0;
    gPlanViewHooks.dynamicDrawEngine = [] { return sOverlay; };
    gTrackingHooks.currentModifiers = [] { return sModifiers; };
    // No plan view until a test makes one (a view installs its drawing services for the
    // rest of the process): the same start whatever ran before.
    gPlanDrawingServices = PlanDrawingServices{};
    gCurSnap = 500;
    gSnapLocked = 0;  // a tool may leave the snap locked for the next drag
    ResetTrackingState();
    ASSERT_FLOAT_EQ(doc.ds()->zoomFactor, 0.6f);
    ASSERT_FLOAT_EQ(doc.ds()->planScale, 36.0f);
  }
  void TearDown() override {
    ResetTrackingState();
    gCenterRectTool = 0;
    gLockRectTool = gLockOvalTool = gLockArcTool = 0;
    gPlanViewHooks = savedPlanHooks;
    gTrackingHooks = savedTrackingHooks;
    gPlanDrawingServices = savedDrawingServices;
    gCurTool = savedTool;
    gCurSnap = savedSnap;
    gSnapLocked = savedSnapLocked;
    sOverlay = nullptr;
    EXPECT_MODEL_SOUND();
  }

  // A closed outline through plan points, with its bounds measured.
  Objex* addShape(std::initializer_list<std::pair<float, float>> pts) {
    Objex* o = doc.addObject(kObjClosedPoly, true, pts);
    o->planMask = 2;  // on the floor plan
    UpdateObjectBounds(o);
    return o;
  }

  // The click road's hit test at a window point, into gClickInfo.
  void hitTest(int32_t x, int32_t y) {
    gClickInfo = ClickInfo{};
    gClickInfo.where = {x, y};
    gClickInfo.hitMode = SelectFromAllLayers(doc.model.itsLayers, &gClickInfo, 0, nullptr, 0) ? 1 : 0;
  }

  // The plan view's mouse loop: begin at the first point, a drag step at each further
  // point, the end at the last one.
  void drag(std::initializer_list<POINT> points) {
    const POINT* p = points.begin();
    gMouseCaptured = 1;
    BeginTracking(p->x, p->y);
    POINT previous = *p;
    for (++p; p != points.end(); ++p) {
      gPrevTrackModifiers = gTrackModifiers;
      KeepTracking(p->x, p->y, previous.x, previous.y);
      previous = *p;
    }
    EndTracking(previous.x, previous.y, previous.x, previous.y);
    FinishTracking();
  }
};

inline int CountObjects(const Layer* layer) {
  int n = 0;
  for (const Objex* o = layer->firstObject; o; o = o->next) ++n;
  return n;
}

// A symbol entry of the kind with one square part, 8 units a side about its origin (the stock
// symbol lists stand in).
inline Objex* OneSquareSymbolEntry(int16_t kind) {
  const RGBColor black{};
  Objex* entry =
      CreateObject(kind, 1, 1, &black, &black, 1, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  Objex* part = CreateObject(kObjClosedPoly, 1, 1, &black, &black, 1, 0, 0, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr);
  for (auto [x, z] : {std::pair{-4.f, -4.f}, {4.f, -4.f}, {4.f, 4.f}, {-4.f, 4.f}})
    AppendPointToObject(CreatePoint(1, 0, 0, x, 0, z, x, 0, z, x, 0, z, 0, 0, 0, part), part);
  part->pointCount = 4;
  Append2DSymbolToParent(part, entry);
  return entry;
}

// A symbol list with a one-square entry of each kind, in order.
inline Objex* OneSquareSymbolList(std::initializer_list<int16_t> kinds) {
  Objex* head = nullptr;
  Objex* last = nullptr;
  for (int16_t kind : kinds) {
    Objex* entry = OneSquareSymbolEntry(kind);
    if (last) last->next = entry;
    else head = entry;
    last = entry;
  }
  return head;
}

inline void DeleteSymbolList(Objex* list) {
  while (list) {
    Objex* next = list->next;
    list->next = nullptr;
    DeleteSymbolObject(list);
    list = next;
  }
}
