// The key entry sheets.
#include "inspectors/KeyEntryControllers.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <vector>

#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Bounds.h"
#include "model/CommandCodes.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TransformGuard.h"
#include "platform/Strings.h"
#include "tools/PointEditing.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"

float KeyEntryController::sLength = 0;
int16_t KeyEntryController::sDirection = 1;
uint8_t KeyEntryController::sKeyEntryLinked = 0;

namespace {

QString Text(const char* key) { return QString::fromStdString(LocalizedString(key)); }

void MoveBy(Poinz* p, float dx, float dz) {
  p->position[0] += dx;
  p->position[2] += dz;
}

void MoveTo(Poinz* p, float x, float z, float* movedX = nullptr, float* movedZ = nullptr) {
  if (movedX) *movedX = x - p->position[0];
  if (movedZ) *movedZ = z - p->position[2];
  p->position[0] = x;
  p->position[2] = z;
}

Poinz* LastPointOf(Objex* o) {
  Poinz* p = o->firstPoint;
  while (p && p->next) p = p->next;
  return p;
}

// The point before the start point (round a closed outline) and after the end point; a
// neighbour that is one of the segment's own points is none (an outline of two points).
Poinz* PointBefore(Objex* o, Poinz* start, Poinz* end) {
  Poinz* p = start->prev ? start->prev : (o->closed ? LastPointOf(o) : nullptr);
  return p == start || p == end ? nullptr : p;
}
Poinz* PointAfter(Objex* o, Poinz* start, Poinz* end) {
  Poinz* p = end->next ? end->next : (o->closed ? o->firstPoint : nullptr);
  return p == start || p == end ? nullptr : p;
}

bool IsFixedComponentType(int16_t type) {
  switch (type) {
    case 68: case 69: case 71: case 72: case 79: case 80: case 81: case 82: case 88: case 98: case 110:
      return true;
    default:
      return (type >= 117 && type <= 123) || (type >= 146 && type <= 152);
  }
}

// The segments of the wall (the closing one too) that an edit moved from the points' places in
// `was`.
std::vector<MovedWallSegment> MovedSegments(const Objex* wall, const std::vector<std::array<float, 2>>& was) {
  std::vector<const Poinz*> points;
  for (const Poinz* p = wall->firstPoint; p; p = p->next) points.push_back(p);
  std::vector<MovedWallSegment> moved;
  if (points.size() != was.size() || points.size() < 2) return moved;
  const size_t segments = wall->closed ? points.size() : points.size() - 1;
  for (size_t i = 0; i < segments; ++i) {
    const size_t j = (i + 1) % points.size();
    const Poinz* a = points[i];
    const Poinz* b = points[j];
    MovedWallSegment m{{was[i][0], was[i][1]}, {was[j][0], was[j][1]}, {a->position[0], a->position[2]},
                       {b->position[0], b->position[2]}};
    if (m.oldA[0] == m.newA[0] && m.oldA[1] == m.newA[1] && m.oldB[0] == m.newB[0] && m.oldB[1] == m.newB[1])
      continue;
    moved.push_back(m);
  }
  return moved;
}

}  // namespace

void RebuildResizedObject(Objex* object) {
  if (!object) return;
  switch (object->type) {
    case kObjWall:
      Update3DWall(object);
      UpdateAllWallAttachments(object);
      break;
    case kObjFloor: case kObjCutout: Update3DFloorSkirting(object); break;
    case kObjRoof:
      Update3DRoof(object);
      Refresh();
      break;
    case kObjPath: Update3DPath(object); break;
    case kObjEdging: UpdateEdgingObject(object); break;
    case kObjFence: UpdateFenceObject(object); break;
    case kObjStaircase: UpdateStairObject(object); break;
    case kObjRailing: UpdateRailObject(object); break;
    case kObjDeck: Update3DDeck(object); break;
    case kObjRoofPanel: Update3DRoofPanel(object); break;
    case kObjPhotoView: Update3DPhoto(object); break;
    case kObjTopoExcavation: Update3DTopoCutoutDepthObject(object); break;
    default:
      if (IsFixedComponentType(object->type) && object->symbol3D) UpdateFixedComponent(object);
      break;
  }
  ReRenderObject(object);
}

SegmentResize ResizeKeyEntrySegment(Objex* object, Poinz* start, Poinz* end, float initial, float n, float angle,
                                    int16_t location, bool linked) {
  if (!object || !start || !end) return SegmentResize::kUnchanged;
  const float delta = initial - n;
  if (delta == 0 || location < 1 || location > 3) return SegmentResize::kUnchanged;
  // Where the points were: to put them back when the new places are refused, and for the walls
  // joined to a segment that moves, which follow it.
  std::vector<std::array<float, 2>> was;
  for (const Poinz* p = object->firstPoint; p; p = p->next) was.push_back({p->position[0], p->position[2]});
  const float px = start->position[0], pz = start->position[2];
  auto along = [angle](float d, float* dx, float* dz) { GetPointFromLengthAndAngle(angle, d, dx, dz); };
  Poinz* before = linked ? PointBefore(object, start, end) : nullptr;
  Poinz* after = linked ? PointAfter(object, start, end) : nullptr;
  float dx = 0, dz = 0;
  if (location == 1) {
    along(delta / 2, &dx, &dz);
    MoveTo(start, px + dx, pz + dz);
    if (before) MoveBy(before, dx, dz);
    along(initial - delta / 2, &dx, &dz);
    float mx = 0, mz = 0;
    MoveTo(end, px + dx, pz + dz, &mx, &mz);
    if (after) MoveBy(after, mx, mz);
  } else {
    const int16_t mark = start->keyEntryMark;
    const bool startMoves = (mark > 0 && location == 2) || (mark < 0 && location == 3);
    if (startMoves) {
      along(delta, &dx, &dz);
      MoveTo(start, px + dx, pz + dz);
      if (before) MoveBy(before, dx, dz);
    } else {
      along(n, &dx, &dz);
      float mx = 0, mz = 0;
      MoveTo(end, px + dx, pz + dz, &mx, &mz);
      if (after) MoveBy(after, mx, mz);
    }
  }
  bool moved = false, fits = true;
  size_t i = 0;
  for (const Poinz* p = object->firstPoint; p; p = p->next, ++i) {
    moved |= p->position[0] != was[i][0] || p->position[2] != was[i][1];
    fits &= IsPlanCoordinateValid(p->position[0]) && IsPlanCoordinateValid(p->position[2]);
  }
  // Points past the plan's limits could not be kept: all go back. The walls that follow a moved
  // wall segment stay inside: a following end moves toward its wall's other point, or less than
  // a wall's thickness past it.
  if (!moved || !fits) {
    i = 0;
    for (Poinz* p = object->firstPoint; p; p = p->next, ++i) MoveTo(p, was[i][0], was[i][1]);
    return moved ? SegmentResize::kRefused : SegmentResize::kUnchanged;
  }
  FloatRect bounds = EmptyFloatRect();
  GetObjectBounds(object, 0, &bounds, 0, 0);
  object->bounds = bounds;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(object, 0, &box, 0);
  object->bounds3D = box;
  RebuildResizedObject(object);
  if (object->type == kObjWall) {
    const std::vector<MovedWallSegment> segments = MovedSegments(object, was);
    FollowMovedWallSegments(object, segments.data(), static_cast<int>(segments.size()));
  }
  return SegmentResize::kMoved;
}

// ---- Wall key entry ----

WallKeyEntryController::WallKeyEntryController(QWidget* parent) : SheetController(parent, "WallKeyEntrySheet") {
  setWindowTitle(Text("Wall Length"));
  lengthText = MakeSheetField(this, "lengthText");
  form()->addRow(Text("Length:"), lengthText);
}

bool WallKeyEntryController::newWallKeyEntrySheetForParent(QWidget* parent, Poinz* startPoint, Poinz* endPoint,
                                                           Objex* wallObject) {
  if (!parent || !startPoint || !endPoint || !wallObject) return false;
  float length = 0;
  const float angle = GetLineLengthAndAngle(startPoint->position[0], startPoint->position[2], endPoint->position[0],
                                            endPoint->position[2], &length);
  auto* sheet = new WallKeyEntryController(parent);
  sheet->setWallLength(length, angle, startPoint, endPoint, wallObject);
  return beginSheet(parent, sheet);
}

void WallKeyEntryController::setWallLength(float length, float angle, Poinz* start, Poinz* end, Objex* wall) {
  wallLength = length;
  wallAngle = angle;
  startPoint = start;
  endPoint = end;
  wallObject = wall;
}

void WallKeyEntryController::initializeControlStates() {
  SetFloatItem(lengthText, ConvertScreenToWorld(wallLength, CurDocState(), 0));
}

void WallKeyEntryController::applySheet(ZLKDocumentModel*, DocState* ds) {
  if (!startPoint || !endPoint || !wallObject) return;
  float typed = 0;
  if (!readNumber(lengthText, NumberKind::kLength, &typed)) return;
  const float length = ConvertWorldToScreen(typed, ds, 0);
  // A length of 0 or less would fold the wall onto its start or turn it round.
  if (!(length > 0) || wallLength - length == 0) return;
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(wallAngle, length, &dx, &dz);
  const float x = startPoint->position[0] + dx, z = startPoint->position[2] + dz;
  // An end past the plan's limits could not be kept: the wall stays as drawn.
  if (!IsPlanCoordinateValid(x) || !IsPlanCoordinateValid(z)) {
    refuseEntry(lengthText, [] { AlertRefusedTransform(kCmdScaleObjects); });
    return;
  }
  endPoint->position[0] = x;
  endPoint->position[2] = z;
  Update3DWall(wallObject);
  UpdateAllWallAttachments(wallObject);
  Refresh();
}

void WallKeyEntryController::afterClosing() {
  // The sheet ends the wall tool's drag: its undo step is stored here whatever was chosen.
  StoreUndo(LocalizedString(gCurTool == kToolExteriorWallKeyEntry ? "Exterior Wall Tool" : "Interior Wall Tool"));
}

// ---- Key entry on any object ----

KeyEntryController::KeyEntryController(QWidget* parent) : SheetController(parent, "KeyEntrySheet") {
  setWindowTitle(Text("Resize Segment"));
  lengthText = MakeSheetField(this, "lengthText");
  form()->addRow(Text("Length:"), lengthText);
  locationButtons = new QButtonGroup(this);
  locationButtons->setObjectName("locationButtons");
  auto* row = new QHBoxLayout;
  const char* const titles[3] = {"Both Ends", "Red End", "Green End"};
  for (int tag = 1; tag <= 3; ++tag) {
    auto* cell = new QRadioButton(Text(titles[tag - 1]), this);
    cell->setObjectName(QStringLiteral("locationCell%1").arg(tag));
    locationButtons->addButton(cell, tag);
    row->addWidget(cell);
  }
  form()->addRow(Text("Move:"), row);
  linkButton = new QCheckBox(Text("Move linked points"), this);
  linkButton->setObjectName("linkButton");
  form()->addRow(linkButton);
}

void KeyEntryController::newKeyEntrySheetForParent(QWidget* parent, Objex* targetObject, Poinz* startPoint,
                                                   Poinz* endPoint, float lengthOffset, float initialLength,
                                                   float tmpAngle) {
  if (!parent || !targetObject || !startPoint || !endPoint) return;
  auto* sheet = new KeyEntryController(parent);
  sheet->setTargetObject(targetObject, startPoint, endPoint, lengthOffset, initialLength, tmpAngle);
  beginSheet(parent, sheet);
}

void KeyEntryController::setTargetObject(Objex* object, Poinz* start, Poinz* end, float offset, float initial,
                                         float angle) {
  targetObject = object;
  startPoint = start;
  endPoint = end;
  lengthOffset = offset;
  initialLength = initial;
  tmpAngle = angle;
}

void KeyEntryController::initializeControlStates() {
  SetFloatItem(lengthText, ConvertScreenToWorld(sLength, CurDocState(), 0));
  if (QAbstractButton* cell = locationButtons->button(sDirection)) cell->setChecked(true);
  linkButton->setChecked(sKeyEntryLinked != 0);
}

void KeyEntryController::applySheet(ZLKDocumentModel*, DocState* ds) {
  if (!targetObject || !startPoint || !endPoint) return;
  sKeyEntryLinked = linkButton->isChecked() ? 1 : 0;
  sDirection = static_cast<int16_t>(locationButtons->checkedId());
  float typed = 0;
  if (!readNumber(lengthText, NumberKind::kLength, &typed)) return;
  const float n = ConvertWorldToScreen(typed, ds, 0) - lengthOffset;
  // A length of 0 or less would fold the segment onto itself or turn it round: nothing moves.
  if (!(n > 0)) return;
  // The change is measured from the point-to-point length the shown one stands for.
  const SegmentResize done = ResizeKeyEntrySegment(targetObject, startPoint, endPoint, initialLength - lengthOffset, n,
                                                   tmpAngle, sDirection, sKeyEntryLinked != 0);
  if (done == SegmentResize::kRefused) refuseEntry(lengthText, [] { AlertRefusedTransform(kCmdScaleObjects); });
  if (done != SegmentResize::kMoved) return;
  sLength = n;
  StoreUndo(LocalizedString("Resize Segment"));
}

void KeyEntryController::afterClosing() {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc) return;
  SelectAllLayers(doc->itsLayers, kSelectOff, 0);
  Refresh();
  gMouseCaptured = 0;
}
