// The door, cased opening and window tools and the arc rubber bands.
#include "tools/DoorWindowTools.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/CustomTextures.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Globals.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/ParallelObjects.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/ViewProjection.h"
#include "plandraw/DrawTypes.h"
#include "plandraw/PerimeterDimensions.h"
#include "plandraw/PlanViewHooks.h"
#include "plandraw/ZLKDynamicDrawEngine.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"
#include "tools/ModalEvents.h"
#include "tools/ObjectSnaps.h"
#include "tools/PointEvaluation.h"
#include "tools/ShapeTools.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/WallAttachments.h"

const int32_t gDoorDefaultTexture = kDoorWindowDefaultTexture;
const int32_t gWindowDefaultTexture = kDoorWindowDefaultTexture;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr float kRadToDeg = static_cast<float>(180.0 / kPi);
constexpr RGBColor kWhite{65535, 65535, 65535};

float Round(float v) { return std::floor(v + 0.5f); }

float SegmentLength(const Poinz* a, const Poinz* b) {
  return GetLineLength(a->position[0], a->position[2], b->position[0], b->position[2]);
}

// The plan point at `distance` along the segment from a toward b.
FloatPoint AlongSegment(const Poinz* a, const Poinz* b, float distance) {
  const float length = SegmentLength(a, b);
  if (length <= 0) return {a->position[0], a->position[2]};
  const float t = distance / length;
  return {a->position[0] + (b->position[0] - a->position[0]) * t,
          a->position[2] + (b->position[2] - a->position[2]) * t};
}

// The resize factors of the tracking start, set to 1 for a loop and put back however it ends.
class ResizeFactorsScope {
 public:
  ResizeFactorsScope() : x_(gXResizeDirection), y_(gYResizeDirection), z_(gZResizeDirection) {
    gXResizeDirection = gYResizeDirection = gZResizeDirection = 1.0f;
  }
  ~ResizeFactorsScope() {
    gXResizeDirection = x_;
    gYResizeDirection = y_;
    gZResizeDirection = z_;
  }

 private:
  float x_, y_, z_;
};

// The grid of the document at one unit for a loop, so that the opening and the swing follow
// the pointer rather than the drawing grid; put back however the loop ends.
class FineGridScope {
 public:
  explicit FineGridScope(DocState* ds) : ds_(ds), saved_(ds ? ds->gridSpacing : FloatPoint{}) {
    if (ds_) ds_->gridSpacing = FloatPoint{1, 1};
  }
  ~FineGridScope() {
    if (ds_) ds_->gridSpacing = saved_;
  }
  FineGridScope(const FineGridScope&) = delete;
  FineGridScope& operator=(const FineGridScope&) = delete;

 private:
  DocState* ds_;
  FloatPoint saved_;
};

// A model line into the overlay's active path, through the current view.
void AppendModelLine(ZLKDynamicDrawEngine* overlay, float x1, float y1, float z1, float x2, float y2, float z2) {
  if (!overlay) return;
  ConvertToIso(&x1, &y1, &z1, &x2, &y2, &z2, gPerspective);
  overlay->appendLineToActivePathWithStartPoint(NSMakePoint(Round(x1), Round(y1)), NSMakePoint(Round(x2), Round(y2)));
}

// A model point's window point (zoomed), as a click would give it.
POINT WindowPointOf(float x, float y, float z) {
  ConversionToIsometric(&x, &y, &z, gCosXAngle, gSinXAngle, gCosYAngle, gSinYAngle, gGlobalXOffset, gGlobalYOffset,
                        gGlobalZOffset, 1);
  return POINT{static_cast<int32_t>(Round(x)), static_cast<int32_t>(Round(y))};
}

// The plan point (x, z) where the line from (x1, z1) to (x2, z2) crosses the segment's line;
// false when they are parallel.
bool CrossSegmentLine(const Poinz* a, const Poinz* b, float x1, float z1, float x2, float z2, float* x, float* z) {
  const float ax = a->position[0], az = a->position[2];
  const float rx = b->position[0] - ax, rz = b->position[2] - az;
  const float sx = x2 - x1, sz = z2 - z1;
  const float den = rx * sz - rz * sx;
  if (std::fabs(den) < 1e-6f) return false;
  const float t = ((x1 - ax) * sz - (z1 - az) * sx) / den;
  *x = ax + rx * t;
  *z = az + rz * t;
  return true;
}

// Which tool an opening is made by.
enum class Opening { kDoor, kWindow };

const char* NotFoundInformative(Opening kind) {
  return kind == Opening::kDoor
             ? "To place a door, click on a wall segment of sufficient length and then drag to position the door."
             : "To place a window, click on a wall segment of sufficient length and then drag to position the window.";
}

bool SwingingDoorStyle(int16_t style) {
  switch (style) {
    case 501: case 506: case 507: case 508: case 509: case 512:
      return true;
    default:
      return false;
  }
}

void FillTrimSlot(TrimSlot* slot) {
  slot->flag = 0;
  slot->textureID = kDoorWindowDefaultTexture;
  int32_t w = 0, h = 0;
  LoadTextureWH(kDoorWindowDefaultTexture, &w, &h);
  slot->textureWidth = static_cast<int16_t>(w);
  slot->textureHeight = static_cast<int16_t>(h);
  slot->color = kWhite;
  slot->profile = nullptr;
}

// A door whose style has no swing is placed at the release. The press a user makes next out
// of habit to choose a swing, off any wall near that door, still belongs to the placement: it
// ends it without a word rather than telling of a wall segment not found. Only the next press
// of the door or window tool in the same design is taken so.
struct SwinglessPlacement {
  bool pending = false;
  const void* document = nullptr;
  FloatPoint first{}, second{};
};
SwinglessPlacement sSwinglessPlacement;

bool IsSwingClickAfter(const SwinglessPlacement& placed, const ClickInfo* click) {
  if (!placed.pending || placed.document != gCurDocument) return false;
  float x = 0, y = 0, z = 0;
  EvaluatePoint(click->where.x, click->where.y, &x, &y, &z, 0, nullptr, 1);
  const float width = GetLineLength(placed.first.floatH, placed.first.floatV, placed.second.floatH, placed.second.floatV);
  const float middleX = (placed.first.floatH + placed.second.floatH) / 2;
  const float middleZ = (placed.first.floatV + placed.second.floatV) / 2;
  return GetLineLength(middleX, middleZ, x, z) <= 1.5f * width;
}

bool IsChildOf(const Objex* child, const Objex* parent) {
  for (const Objex* c = parent->firstChild; c; c = c->next)
    if (c == child) return true;
  return false;
}

Objex* SupportTrackOpening(Opening kind, int16_t stage, ClickInfo* click, const OpeningSize& size) {
  if (stage != kTrackBegin || !click) return nullptr;
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument) return nullptr;
  const bool door = kind == Opening::kDoor;
  const SwinglessPlacement placed = sSwinglessPlacement;
  sSwinglessPlacement.pending = false;
  Objex* wall = click->hitObject;
  if (!click->hitMode || !wall || wall->type != kObjWall || !click->segmentHit || !click->hitPoint ||
      !click->segmentEnd) {
    if (door && IsSwingClickAfter(placed, click)) return nullptr;
    if (GetCurrentView() == kCmdViewTop)
      ShowAlert(LocalizedString("Wall segment not found."), LocalizedString(NotFoundInformative(kind)), true);
    return nullptr;
  }
  if (ds->viewPlane != 2) return nullptr;
  Poinz* segStart = click->hitPoint;
  Poinz* segEnd = click->segmentEnd;
  const float length = SegmentLength(segStart, segEnd);
  float usable = length + kOpeningEndClearance;
  if (!door) {
    float start = 0, measured = 0;
    usable = GetWallSegmentWorkingLength(0, 0, segStart, segEnd, &start, &measured);
  }
  // Only an opening wider than the working length is refused; a wide one placed near an end may
  // run past the other end, and the re-fit decides whether it stays.
  if (size.width > usable) {
    ShowAlert(LocalizedString(door ? "Unable to place door on wall segment." : "Unable to place window on wall segment."),
              LocalizedString(door ? "Please make sure the wall segment is long enough to accommodate the door."
                                   : "Please make sure the wall segment is long enough to accommodate the window."),
              true);
    return nullptr;
  }

  FloatPoint first{}, second{};
  const int16_t type = door ? kObjDoor : kObjWindow;
  const int moved = TrackDoorPlacement(wall, segStart, segEnd, size.width, usable, 0, length, click->where.x,
                                       click->where.y, &first, &second, 0, 0, type, 0, nullptr, nullptr);
  if (moved < 0) return nullptr;  // the design window closed during the slide

  auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  if (!record) return nullptr;
  const RGBColor pen = door ? ds->doorColor() : ds->windowColor;
  Objex* opening = CreateObject(type, 0, 1, &pen, &kWhite, 1.0f, 6, 0, nullptr, nullptr, nullptr, wall, wall->layer,
                                nullptr);
  if (!opening) {
    free(record);
    return nullptr;
  }
  opening->planMask = 2;
  opening->levels = 1;
  opening->textureID = door ? gDoorDefaultTexture : gWindowDefaultTexture;
  AppendChildToObject(opening, wall);
  for (const FloatPoint& p : {first, second}) {
    Poinz* point = CreatePoint(9, 0, 0, 0, 0, 0, p.floatH, 0, p.floatV, 0, 0, 0, 0, 0, 0, opening);
    if (point) AppendPointToObject(point, opening);
  }
  UpdateObjectBounds(opening);
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  SelectObj(opening, kSelectOn, 1);
  Refresh();

  const int16_t style = door ? ds->doorStyle : ds->windowStyle;
  record->ownerType = type;
  record->subtype = style;
  record->anchorStart = segStart;
  record->anchorEnd = segEnd;
  // Measured along the segment: a wide opening's first end may lie before the segment start.
  record->startDistance = DistanceAlong(segStart, segEnd, first.floatH, first.floatV) + size.width / 2;
  record->remainingLength = length - record->startDistance;
  record->width = size.width;
  record->height = size.height;
  record->elevation = size.elevation < 0 ? 0 : size.elevation;
  record->flipHorizontal = 0;
  if (door && style == kDoorGarage && wall->pointCount > 2 && GetParallelDirection(wall) >= 1)
    record->flipHorizontal = 1;
  record->swingAngle() = 0;
  record->flipVertical = 0;
  record->dividerStyle() = door ? 1 : ds->windowDividerStyle();
  record->dividerOption() = 0;
  record->frameSize() = door ? ds->doorFrameSize() : ds->windowFrameSize();
  FillTrimSlot(&record->trimSlotA);
  FillTrimSlot(&record->trimSlotB);
  opening->typeData = record;

  if (style == kDoorCustom || style == kWindowCustom) {
    ReadCustomWindowDoorFile(opening);
    if (UpdateWallAttachment(opening)) opening = nullptr;  // did not fit: already gone
  } else {
    BuildAttachmentFrame(opening);
  }
  if (opening && door && SwingingDoorStyle(style)) {
    TrackDoorSwing(opening);
    UpdateAllWallAttachments(wall);
    if (!IsChildOf(opening, wall)) opening = nullptr;
  }
  ReRenderObject(wall);
  Refresh();
  if (opening && door && !SwingingDoorStyle(style)) sSwinglessPlacement = {true, gCurDocument, first, second};
  return opening;
}

OpeningSize SizeFromDocState(DocState* ds, Opening kind) {
  OpeningSize size;
  if (kind == Opening::kDoor) {
    size.width = ConvertWorldToScreen(ds->doorWidth, ds, 0);
    size.height = ConvertWorldToScreen(ds->doorHeight, ds, 0);
    size.elevation = ConvertWorldToScreen(ds->doorElevation(), ds, 0);
  } else {
    size.width = ConvertWorldToScreen(ds->windowWidth, ds, 0);
    size.height = ConvertWorldToScreen(ds->windowHeight, ds, 0);
    size.elevation = ConvertWorldToScreen(ds->windowElevation(), ds, 0);
  }
  return size;
}

void TrackOpening(Opening kind, int16_t stage) {
  DocState* ds = CurDocState();
  if (ds) {
    const OpeningSize size = SizeFromDocState(ds, kind);
    ClickInfo click = gClickInfo;
    if (kind == Opening::kDoor) SupportTrackDoor(stage, &click, gTrackModifiers, size);
    else SupportTrackWindow(stage, &click, gTrackModifiers, size);
  }
  gMouseCaptured = 0;
}

// The three coordinates of a point given by the working plane's two coordinates: (z, y) in
// plane 3, (x, y) in plane 1, (x, z) in the plan, as the arc builder lays them out.
void PlanePoint(int16_t plane, float a, float b, float fixed, float* x, float* y, float* z) {
  if (plane == 3) *x = fixed, *y = b, *z = a;
  else if (plane == 1) *x = a, *y = b, *z = fixed;
  else *x = a, *y = fixed, *z = b;
}

// The shared body of the two arc rubber bands; `shiftRunsBackward` chooses which sense Shift
// gives.
float ArcState(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t mx, int32_t my, float startAngle, float radius,
               bool door) {
  DocState* ds = CurDocState();
  if (!ds) return 0;
  float length = 0;
  float mouseAngle = GetLineLengthAndAngle(static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(mx),
                                           static_cast<float>(my), &length);
  float dx = 0, dy = 0;
  GetPointFromLengthAndAngle(mouseAngle, radius, &dx, &dy);
  const float endA = Round(cx + dx), endB = Round(cy + dy);

  float start = startAngle;
  if (start > kPi) start -= static_cast<float>(2 * kPi);
  float mouse = mouseAngle;
  if (mouse > kPi) mouse -= static_cast<float>(2 * kPi);
  float startDegrees = startAngle * kRadToDeg;
  if (startDegrees < 0) startDegrees += 360;
  float sweep = (mouse - start) * kRadToDeg;
  if (sweep < 0) sweep += 360;
  const bool shift = (gTrackModifiers & kTrackModShift) != 0;
  if (shift != door) sweep -= 360;

  const int16_t plane = ds->viewPlane;
  if (ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine()) {
    gDynamicDrawing = 1;
    overlay->setActivePath(kPathPrimary);
    const float rect[4] = {cx - radius, cy - radius, cx + radius, cy + radius};
    // The coordinate off the working plane, from the mouse-down point.
    const float fixed = plane == 3 ? gDownX : plane == 1 ? gDownZ : gDownY;
    int32_t count = 0;
    Draw3DEllipse(nullptr, rect, startDegrees, sweep, plane, fixed, nullptr, nullptr, nullptr, 1, &count, 0, 90);
    float x1, y1, z1, x2, y2, z2;
    PlanePoint(plane, static_cast<float>(cx), static_cast<float>(cy), fixed, &x1, &y1, &z1);
    PlanePoint(plane, endA, endB, fixed, &x2, &y2, &z2);
    AppendModelLine(overlay, x1, y1, z1, x2, y2, z2);
    PlanePoint(plane, static_cast<float>(sx), static_cast<float>(sy), fixed, &x2, &y2, &z2);
    AppendModelLine(overlay, x1, y1, z1, x2, y2, z2);
    gDynamicDrawing = 0;
  }
  return sweep;
}

}  // namespace

float DistanceAlong(const Poinz* a, const Poinz* b, float x, float z) {
  const float length = SegmentLength(a, b);
  if (length <= 0) return 0;
  const float dx = (b->position[0] - a->position[0]) / length;
  const float dz = (b->position[2] - a->position[2]) / length;
  return (x - a->position[0]) * dx + (z - a->position[2]) * dz;
}

bool PressedOpeningEnd(const ClickInfo& click, const Poinz* first, const Poinz* second, uint8_t* fixFirst,
                       uint8_t* fixSecond) {
  if (click.pointHit && click.hitPoint == first) {
    *fixSecond = 1;
    return true;
  }
  if (click.pointHit && click.hitPoint == second) {
    *fixFirst = 1;
    return true;
  }
  return false;
}

void PlaceOpeningEnds(Poinz* first, Poinz* second, FloatPoint a, FloatPoint b) {
  first->position[0] = a.floatH;
  first->position[1] = 0;
  first->position[2] = a.floatV;
  second->position[0] = b.floatH;
  second->position[1] = 0;
  second->position[2] = b.floatV;
}

void TrackDoor(int32_t, int32_t, float, float, float, int16_t stage) { TrackOpening(Opening::kDoor, stage); }
void TrackWindow(int32_t, int32_t, float, float, float, int16_t stage) { TrackOpening(Opening::kWindow, stage); }

Objex* SupportTrackDoor(int16_t stage, ClickInfo* click, uint16_t, const OpeningSize& size) {
  return SupportTrackOpening(Opening::kDoor, stage, click, size);
}

Objex* SupportTrackWindow(int16_t stage, ClickInfo* click, uint16_t, const OpeningSize& size) {
  return SupportTrackOpening(Opening::kWindow, stage, click, size);
}

void PositionDoor(Poinz* segStart, Poinz* segEnd, float width, float, float minDistance, float maxDistance,
                  float pointX, float pointZ, FloatPoint* outFirst, FloatPoint* outSecond, uint8_t fixFirst,
                  uint8_t fixSecond) {
  if (!segStart || !segEnd || !outFirst || !outSecond) return;
  const float d = DistanceAlong(segStart, segEnd, pointX, pointZ);
  float first = d - width / 2, second = d + width / 2;
  if (minDistance + kOpeningEndClearance >= first) {
    first = minDistance + kOpeningEndClearance;
    second = first + width;
  } else if (second >= maxDistance - kOpeningEndClearance) {
    first = maxDistance - kOpeningEndClearance - width;
    second = maxDistance - kOpeningEndClearance;
  }
  if (fixSecond) {
    // The first end follows the mouse; the second stays where it is.
    const float fixed = DistanceAlong(segStart, segEnd, outSecond->floatH, outSecond->floatV);
    float at = first + width / 2;
    if (at > fixed - kOpeningLeastStretch) at = fixed - kOpeningLeastStretch;
    *outFirst = AlongSegment(segStart, segEnd, at);
    return;
  }
  if (fixFirst) {
    const float fixed = DistanceAlong(segStart, segEnd, outFirst->floatH, outFirst->floatV);
    float at = second - width / 2;
    if (at < fixed + kOpeningLeastStretch) at = fixed + kOpeningLeastStretch;
    *outSecond = AlongSegment(segStart, segEnd, at);
    return;
  }
  *outFirst = AlongSegment(segStart, segEnd, first);
  *outSecond = AlongSegment(segStart, segEnd, second);
}

int TrackDoorPlacement(Objex* wall, Poinz* segStart, Poinz* segEnd, float width, float maxLength, float minDistance,
                       float maxDistance, int32_t clickX, int32_t clickY, FloatPoint* outFirst, FloatPoint* outSecond,
                       uint8_t fixFirst, uint8_t fixSecond, int16_t, uint8_t moving, DoorWindowData* record,
                       void*) {
  DocState* ds = CurDocState();
  if (!ds || !segStart || !segEnd || !outFirst || !outSecond) return 0;
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->setActivePath(kPathSecondary);
    overlay->setActivePathLineWidth(3.0f);
    overlay->removePointsFromAllPaths();
  }
  ResizeFactorsScope factors;
  FineGridScope grid(ds);

  // A moved opening keeps the press's offset from its reference point on the segment.
  int32_t offsetX = 0, offsetY = 0;
  if (moving && record) {
    float reference = record->startDistance;
    if (fixFirst) reference += width / 2;
    else if (fixSecond) reference -= width / 2;
    const FloatPoint p = AlongSegment(segStart, segEnd, reference);
    const POINT w = WindowPointOf(p.floatH, segStart->position[1], p.floatV);
    offsetX = w.x - clickX;
    offsetY = w.y - clickY;
  }
  const int32_t view = GetCurrentView();
  const bool sideView = view >= kCmdViewLeft && view <= kCmdViewBack;
  auto evaluate = [&](POINT where, float* x, float* z) {
    float y = 0;
    EvaluatePoint(where.x + offsetX, where.y + offsetY, x, &y, z, 1, nullptr, 1);
    if (moving && sideView) {
      // In a side elevation the mouse gives one plan coordinate (z in the left and right views,
      // x in the front and back views) and the other is the view's depth: cross the segment's
      // line along the depth.
      const bool vertical = view == kCmdViewFront || view == kCmdViewBack;
      const float x2 = vertical ? *x : *x + 200, z2 = vertical ? *z + 200 : *z;
      const float x1 = vertical ? *x : *x - 200, z1 = vertical ? *z - 200 : *z;
      CrossSegmentLine(segStart, segEnd, x1, z1, x2, z2, x, z);
    }
  };
  FloatPoint first = *outFirst, second = *outSecond;
  auto place = [&](float x, float z) {
    PositionDoor(segStart, segEnd, width, maxLength, minDistance, maxDistance, x, z, &first, &second, fixFirst,
                 fixSecond);
    if (!overlay) return;
    overlay->removePointsFromAllPaths();
    gDynamicDrawing = 1;
    overlay->setActivePath(kPathSecondary);
    const float height = segStart->position[1];
    AppendModelLine(overlay, first.floatH, height, first.floatV, second.floatH, height, second.floatV);
    const FloatPoint middle{(first.floatH + second.floatH) / 2, (first.floatV + second.floatV) / 2};
    if (wall) DimensionWallSegmentToPoint(nullptr, wall, segStart, segEnd, 0, &middle, nullptr);
    gDynamicDrawing = 0;
    Refresh();  // the view shows the overlay only when it redraws
  };

  POINT where{clickX, clickY};
  float x = 0, z = 0;
  evaluate(where, &x, &z);
  place(x, z);
  bool closed = false;
  ModalEvent event;
  for (;;) {
    if (!NextModalEvent(kModalMouseUpMask | kModalMouseDraggedMask | kModalKeyDownMask, &event)) {
      // No more events: the slide ends where it is, unless the design window went away.
      closed = event.type == kModalWindowClosed;
      break;
    }
    if (event.type == kModalKeyDown) {
      if (event.keyCode == kModalKeyTab) {
        const int16_t savedKey = gTrackEventKeyCode;
        gTrackEventKeyCode = static_cast<int16_t>(event.keyCode);
        gChangeSnapOK = 1;
        MaintainSnapTools();
        gChangeSnapOK = 0;
        gTrackEventKeyCode = savedKey;
      }
      continue;
    }
    where = event.where;
    float nx = 0, nz = 0;
    evaluate(where, &nx, &nz);
    if (nx != x || nz != z) {
      x = nx;
      z = nz;
      place(x, z);
    }
    if (event.type == kModalMouseUp) break;
  }
  if (overlay) {
    overlay->removePointsFromAllPaths();
    overlay->resetAttributesForAllPaths();
  }
  if (closed) return -1;
  *outFirst = first;
  *outSecond = second;
  return where.x != clickX || where.y != clickY ? 1 : 0;
}

void TrackDoorSwing(Objex* door) {
  DoorWindowData* record = AttachmentData(door);
  DocState* ds = CurDocState();
  if (!record || !door->firstPoint || !door->firstPoint->next || !ds) return;
  ModalMouseMovedScope movedEvents(true);
  FineGridScope grid(ds);
  const uint16_t savedModifiers = gTrackModifiers;
  const Poinz* a = door->firstPoint;
  const Poinz* b = a->next;
  float mx = 0, my = 0, mz = 0;
  const POINT start = ModalMouseLocation();
  EvaluatePoint(start.x, start.y, &mx, &my, &mz, 1, nullptr, 1);
  // The hinge is the end nearer the mouse. The plan symbol and the 3D leaf hang a door whose
  // flag is set on its first point, else on its second.
  const float toFirst = GetLineLength(a->position[0], a->position[2], mx, mz);
  const float toSecond = GetLineLength(b->position[0], b->position[2], mx, mz);
  const uint8_t hingeAtFirst = toFirst > toSecond ? 0 : 1;
  const Poinz* hinge = hingeAtFirst ? a : b;
  const Poinz* other = hingeAtFirst ? b : a;
  const float hx = hinge->position[0], hz = hinge->position[2];
  const float ox = other->position[0], oz = other->position[2];
  float radius = 0;
  const float closedAngle = GetLineLengthAndAngle(hx, hz, ox, oz, &radius);
  ZLKDynamicDrawEngine* overlay = MainViewDynamicDrawEngine();
  if (overlay) {
    overlay->removePointsFromAllPaths();
    overlay->setActivePath(kPathPrimary);
    gDynamicDrawing = 1;
    AppendModelLine(overlay, hx, hinge->position[1], hz, ox, other->position[1], oz);
    gDynamicDrawing = 0;
    Refresh();
  }

  uint16_t side = 0;
  float arc = 0;
  bool ended = false;
  ModalEvent event;
  const uint32_t mask = kModalMouseMovedMask | kModalMouseDownMask | kModalMouseDraggedMask | kModalToolChangedMask;
  while (NextModalEvent(mask, &event)) {
    // Another tool chosen: the door keeps the swing last shown.
    if (event.type == kModalToolChanged) {
      ended = true;
      break;
    }
    EvaluatePoint(event.where.x, event.where.y, &mx, &my, &mz, 1, nullptr, 1);
    const auto cx = static_cast<int32_t>(Round(hx)), cz = static_cast<int32_t>(Round(hz));
    const auto sx = static_cast<int32_t>(Round(ox)), sz = static_cast<int32_t>(Round(oz));
    const auto px = static_cast<int32_t>(Round(mx)), pz = static_cast<int32_t>(Round(mz));
    // The side follows the short way round from the closed leaf; the arc is drawn that way.
    float length = 0;
    float sweep = (GetLineLengthAndAngle(hx, hz, mx, mz, &length) - closedAngle) * kRadToDeg;
    while (sweep < 0) sweep += 360;
    while (sweep >= 360) sweep -= 360;
    side = sweep <= 180 ? kTrackModShift : 0;
    gTrackModifiers = static_cast<uint16_t>((gTrackModifiers & ~kTrackModShift) | side);
    if (overlay) overlay->removePointsFromAllPaths();
    if (overlay) {
      overlay->setActivePath(kPathPrimary);
      gDynamicDrawing = 1;
      AppendModelLine(overlay, hx, hinge->position[1], hz, ox, other->position[1], oz);
      gDynamicDrawing = 0;
    }
    arc = DrawDoorArcState(cx, cz, sx, sz, px, pz, closedAngle, radius);
    Refresh();
    if (event.type == kModalMouseDown) {
      ended = true;
      break;
    }
  }
  gTrackModifiers = savedModifiers;
  if (overlay) {
    overlay->removePointsFromAllPaths();
    Refresh();
  }
  if (!ended) return;  // the loop ended without a click: the door keeps its swing
  const float degrees = Round(arc);
  const bool onWallLine =
      std::fabs(degrees) <= 2 || std::fabs(degrees - 360) <= 2 || std::fabs(degrees + 360) <= 2;
  if (onWallLine || degrees < -179 || degrees > 180) return;
  float length = 0;
  record->flipHorizontal = hingeAtFirst;
  record->flipVertical = static_cast<int16_t>(side);
  record->swingAngle() = GetLineLengthAndAngle(hx, hz, mx, mz, &length) - closedAngle;
}

void UpdateWallAttachmentStartDistance(Objex* wall, Poinz* point, float delta) {
  if (!wall || wall->type != kObjWall || !point) return;
  for (Objex* child = wall->firstChild; child; child = child->next) {
    DoorWindowData* record = AttachmentData(child);
    if (record && record->anchorStart == point) record->startDistance += delta;
  }
}

float DrawArcState(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t mx, int32_t my, float startAngle,
                   float radius) {
  return ArcState(cx, cy, sx, sy, mx, my, startAngle, radius, false);
}

float DrawDoorArcState(int32_t cx, int32_t cy, int32_t sx, int32_t sy, int32_t mx, int32_t my, float startAngle,
                       float radius) {
  return ArcState(cx, cy, sx, sy, mx, my, startAngle, radius, true);
}
