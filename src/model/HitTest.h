// Finding what a click hits (handles, points, segments, interiors, boxes) and applying
// selection modes to points, objects, layers and rectangles.
#pragma once
#include "model/ToolCodes.h"
#include <cstdint>
#include <vector>

#include "model/Types.h"

struct Objex;
struct Poinz;
struct Layer;

// Selection modes; 0 selects as kSelectOn does, values outside the list change nothing.
enum : int8_t {
  kSelectOn = 1, kSelectOff = 2, kSelectToggle = 3, kSelectUnhide = 4, kSelectHide = 5,
  kSelectLock = 7, kSelectUnlock = 8
};


// One click and what it hit. Pointers are only valid until the model changes.
struct ClickInfo {
  uint8_t hitMode;
  POINT where;  // window point, view units
  int16_t flags;
  uint8_t pointHit;
  uint8_t segmentHit;
  uint8_t insideHit;
  uint8_t cornerHit;
  int16_t corner;  // 1-8
  Poinz* hitPoint;
  Poinz* segmentEnd;
  Float3DPoint chordStart, chordEnd;  // projected samples around a segment hit
  float chordStartT, chordEndT;
  Objex* hitObject;
  Float3DPoint hitPosition;  // model position of the hit
};

// Outline of a detail shape in window coordinates as plan drawing last built it; an
// object owns it through cocoaObject.
struct PlanPath {
  int32_t count;
  FloatPoint* points;  // a closed polygon
};
PlanPath* CreatePlanPath(const FloatPoint* points, int32_t count);
void ReleasePlanPath(PlanPath* path);
// Non-zero winding rule; points exactly on an edge follow the scan-line half-open rule.
bool PlanPathContainsPoint(const PlanPath* path, float x, float y);

// The platform's rectangle rules on a RECT taken as a float origin and size: a point on the
// right or bottom edge is outside; empty rectangles contain nothing and meet nothing.
bool RectContainsPoint(const RECT& rect, float x, float y);
bool RectsIntersect(const RECT& a, const RECT& b);

extern uint16_t gCurTool;  // current tool code; kToolNone when none
extern int16_t gSelectIndex;  // which hit under the click counts, from 1
extern int32_t gCustomWindowPopEntryHilite;
extern int32_t gCustomDoorPopEntryHilite;

// Clears what a click hit; the window point, flags and chord fields stay.
void ClearClickInfo(ClickInfo* click);
// The pick tolerance in screen units.
int32_t PickTolerance();

bool SearchPoint(const Poinz* point, const ClickInfo* click, int32_t dx, int32_t dy);
bool SearchObjectSpline(const Poinz* p0, const Poinz* p1, ClickInfo* click, int32_t dx, int32_t dy);
bool SearchOnASpline(Objex* obj, Poinz* p0, Poinz* p1, ClickInfo* click, int32_t dx, int32_t dy);
bool SearchSplinesInObject(Objex* obj, ClickInfo* click);
bool SelectFromObject(Objex* obj, ClickInfo* click, uint8_t selectedOnly, const int16_t* types,
                      int16_t typeCount);
// The quick look SelectFromObject takes before measuring an object's pick box: false only when
// the box (GetObjectObjBounds with the pen, edges rounded, grown by `grow`) surely misses the
// click, so that measuring it would find no hit.
bool PickBoxMayHoldClick(Objex* obj, const ClickInfo* click, int32_t grow);
bool SelectFromLayer(Layer* layer, ClickInfo* click, uint8_t selectedOnly, const int16_t* types,
                     int16_t typeCount);
bool SelectFromAllLayers(Layer* firstLayer, ClickInfo* click, uint8_t selectedOnly,
                         const int16_t* types, int16_t typeCount);
// A gesture (a drag, or a tool's loop between its clicks) opens while the mouse moves with the
// design standing still but for what the gesture edits itself. Within one, SelectFromAllLayers
// measures every object's pick box once and looks up the few under each later click, with the
// same answer and record as its walk; whatever edits the design (DesignEditCount), another
// document or a moved view makes it measure again or walk. Gestures nest; the last to end drops
// what was measured.
void BeginHitGesture();
void EndHitGesture();
struct HitGestureScope {
  HitGestureScope() { BeginHitGesture(); }
  ~HitGestureScope() { EndHitGesture(); }
  HitGestureScope(const HitGestureScope&) = delete;
  HitGestureScope& operator=(const HitGestureScope&) = delete;
};
// False: the walk answers every hit test, in gestures too.
extern bool gHitGestureLookUp;
// One hit-test pass: only selected objects when selectedOnly, only the given kinds when typeCount.
struct HitPass {
  uint8_t selectedOnly = 0;
  const int16_t* types = nullptr;
  int16_t typeCount = 0;
};
// The passes in one walk of the design, answering what calling SelectFromAllLayers for each
// pass in turn (the record cleared before each) would: the first pass that hits fills the
// record; none hitting leaves it cleared. At most eight passes.
bool SelectFromAllLayersInPasses(Layer* firstLayer, ClickInfo* click, const HitPass* passes, int passCount);

// What one walk of the shown floors saw of the selection as it stood before a click changed it,
// so that the click's deselection and readouts need no further walk (SelectionClick.h). It holds
// while nothing but those routines and selecting within the hit object's top-level object
// changes a flag, and while no object or floor is linked or unlinked.
struct SelectionWalk {
  // A top-level object with a selected point anywhere in it. `order` counts the objects in the
  // order walked (last floor first, each floor from its end), so a larger one comes earlier in
  // the design; `floor` indexes `floors`.
  struct Noted {
    Objex* object;
    uint32_t order;
    uint32_t floor;
  };
  // A shown floor, in the order walked. `passedPoints`: a selectable floor with an object holding
  // no selection that a deselection would have gone over point by point.
  struct Floor {
    Layer* layer;
    bool selectable;
    bool passedPoints;
  };
  Layer* firstLayer = nullptr;
  std::vector<Noted> selected;
  std::vector<Floor> floors;
  // The top-level object walked when the answering pass hit, and its order.
  Objex* hitTop = nullptr;
  uint32_t hitOrder = 0;
  // False when the floor or object lists do not link back the way they link forward: the
  // record then says nothing and the routines using it take the full walks.
  bool complete = false;
};
// SelectFromAllLayersInPasses, same answer and record, walking on over every shown floor to
// fill `walk`.
bool SelectFromAllLayersNotingSelection(Layer* firstLayer, ClickInfo* click, const HitPass* passes, int passCount,
                                        SelectionWalk* walk);
// The records the last walk of the passes over `layer` read, in order, as WalkNotes notes them
// (the next walk of the floor asks for them ahead; they are never read through), or null when
// the floor was not walked lately. ForgetClickWalkNotes drops them all; ForgetClickWalkNotesOf
// drops one floor's, as FreeLayer does when the floor goes.
const std::vector<const void*>* ClickWalkNotesOf(const Layer* layer);
void ForgetClickWalkNotes();
void ForgetClickWalkNotesOf(const Layer* layer);

void SelectPoint(Poinz* point, int8_t mode, uint8_t flag);
void SetObjectSelectFlags(Objex* obj, uint8_t value);
void SetObjectDetectionFlags(Objex* obj, uint8_t value);
void SetObjectLockFlags(Objex* obj, uint8_t value);
bool DoSelectObject(Objex* obj, int8_t mode);
bool SpecialSelectObject(Objex* obj, int8_t mode);
uint8_t SelectObj(Objex* obj, int8_t mode, uint8_t flag);
bool DoSelectObjectPoints(Objex* obj, int8_t mode, uint8_t flag);
void SelectObjectPoint(Poinz* point, Objex* obj, int8_t mode, uint8_t flag);
void SelectObjectSpline(Poinz* p0, Poinz* p1, Objex* obj, int8_t mode, uint8_t flag);
void Select3DRoofPanelObj(Objex* panel);
void SelectEntireRoofAttachments(Objex* roof);
bool IsAnyRoofAttachmentSelected(const Objex* roof);
void DeselectAllAttachmentObjects();
void SelectLayer(Layer* layer, int8_t mode, uint8_t flag);
void SelectAllLayers(Layer* firstLayer, int8_t mode, uint8_t flag);
// SelectAllLayers(firstLayer, kSelectOff, 0) for floors known to hold no selected point (a read
// notes whether it met one): no flag would change, so no object's points are gone over, and the
// inspector is told that no object holds the selection instead of looking at every one.
void DeselectAllLayersHoldingNone(Layer* firstLayer);

uint8_t SelectVisualObj(Objex* obj, int8_t mode, uint8_t flag, int32_t planMask);
void DoSelectVisualObjectPoints(Objex* obj, int8_t mode, uint8_t flag, int32_t planMask);
void SelectVisualLayer(Layer* layer, int8_t mode, uint8_t flag);
void SelectVisualAllLayers(Layer* firstLayer, int8_t mode, uint8_t flag);

bool SelectPointInRect(Poinz* point, Objex* obj, const RECT* rect, int8_t mode, uint8_t flag);
void SelectObjectInRect(Objex* obj, const RECT* rect, int8_t mode, uint8_t flag);
void SelectLayerInRect(Layer* layer, const RECT* rect, int8_t mode, uint8_t flag);
void SelectAllLayersInRect(Layer* firstLayer, const RECT* rect, int8_t mode, uint8_t flag);
