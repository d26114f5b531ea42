// The key entry sheets.
#include "inspectors/KeyEntryControllers.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "files/Undo.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/CommandCodes.h"
#include "model/Grouping.h"
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

std::vector<std::array<float, 2>> PlacesOf(const Objex* o) {
  std::vector<std::array<float, 2>> places;
  for (const Poinz* p = o->firstPoint; p; p = p->next) places.push_back({p->position[0], p->position[2]});
  return places;
}

// The new places an edit gives points of one object or of several: each point once, where it was
// first placed. Nothing moves until they are applied.
class PointShifts {
 public:
  struct Shift {
    Poinz* point;
    Objex* owner;
    float x, z;  // the new place
  };
  // False when the point already has its place.
  bool place(Poinz* p, Objex* owner, float x, float z) {
    if (!p || !owner || holds(p)) return false;
    shifts_.push_back({p, owner, x, z});
    return true;
  }
  // The point (if any) moves as far as the one already placed at `index`.
  void placeAlike(Poinz* p, Objex* owner, size_t index) {
    if (!p) return;
    const Shift s = shifts_[index];
    place(p, owner, p->position[0] + s.x - s.point->position[0], p->position[2] + s.z - s.point->position[2]);
  }
  bool holds(const Poinz* p) const {
    return std::any_of(shifts_.begin(), shifts_.end(), [p](const Shift& s) { return s.point == p; });
  }
  size_t size() const { return shifts_.size(); }
  const Shift& operator[](size_t i) const { return shifts_[i]; }
  // Whether applying moved a point.
  bool anyMoved() const { return moved_; }

  // Puts the points at their places. They stay when some point moved and every point of the
  // objects holding them lies within the plan: then those objects are rebuilt and the walls
  // meeting a moved wall segment follow it. Otherwise every point goes back. True when they stay.
  bool apply() {
    std::vector<Objex*> owners;
    for (const Shift& s : shifts_)
      if (std::find(owners.begin(), owners.end(), s.owner) == owners.end()) owners.push_back(s.owner);
    std::vector<std::vector<std::array<float, 2>>> was;
    for (const Objex* o : owners) was.push_back(PlacesOf(o));
    std::vector<std::array<float, 2>> from;
    for (const Shift& s : shifts_) {
      from.push_back({s.point->position[0], s.point->position[2]});
      moved_ |= s.point->position[0] != s.x || s.point->position[2] != s.z;
      s.point->position[0] = s.x;
      s.point->position[2] = s.z;
    }
    bool fits = true;
    for (const Objex* o : owners)
      for (const Poinz* p = o->firstPoint; p; p = p->next)
        fits &= IsPlanCoordinateValid(p->position[0]) && IsPlanCoordinateValid(p->position[2]);
    // Points past the plan's limits could not be kept: all go back. The walls that follow a
    // moved wall segment stay inside: a following end moves toward its wall's other point, or
    // less than a wall's thickness past it.
    if (!moved_ || !fits) {
      for (size_t i = 0; i < shifts_.size(); ++i) {
        shifts_[i].point->position[0] = from[i][0];
        shifts_[i].point->position[2] = from[i][1];
      }
      return false;
    }
    for (Objex* o : owners) {
      UpdateObjectBounds(o);
      RebuildResizedObject(o);
    }
    std::vector<Poinz*> placed;
    for (const Shift& s : shifts_) placed.push_back(s.point);
    for (size_t i = 0; i < owners.size(); ++i) {
      if (owners[i]->type != kObjWall) continue;
      const std::vector<MovedWallSegment> segments = MovedSegments(owners[i], was[i]);
      FollowMovedWallSegments(owners[i], segments.data(), static_cast<int>(segments.size()), placed);
    }
    return true;
  }

 private:
  std::vector<Shift> shifts_;
  bool moved_ = false;
};

// A free end of an open outline: its first or last point, with the one point beside it.
struct FreeEnd {
  Poinz* point;
  Poinz* beside;
  Objex* owner;
};

// The free ends that may be joined to the points of `object`: for a wall, those of the open walls
// beside it (in its group, or at the top of its floor), its own too; for any other outline its
// own two ends, which meet when it was drawn back to its start.
std::vector<FreeEnd> FreeEndsBeside(Objex* object) {
  std::vector<FreeEnd> ends;
  auto add = [&ends](Objex* o) {
    if (o->closed || !o->firstPoint || !o->firstPoint->next) return;
    Poinz* last = LastPointOf(o);
    ends.push_back({o->firstPoint, o->firstPoint->next, o});
    ends.push_back({last, last->prev, o});
  };
  if (object->type != kObjWall) {
    add(object);
    return ends;
  }
  Objex* first = object->parent ? object->parent->firstChild : object->layer ? object->layer->firstObject : nullptr;
  for (Objex* o = first; o; o = o->next)
    if (o->type == kObjWall) add(o);
  if (!first) add(object);
  return ends;
}

const FreeEnd* FreeEndAt(const std::vector<FreeEnd>& ends, const Poinz* p) {
  for (const FreeEnd& e : ends)
    if (e.point == p) return &e;
  return nullptr;
}

// How near two points of the objects are to be one corner: for two walls, where their bodies
// overlap (half their thicknesses together); else only at one place.
float CornerReach(const Objex* a, const Objex* b) {
  const DocState* ds = CurDocState();
  if (a->type != kObjWall || b->type != kObjWall || !ds) return 0.5f;
  return std::max(0.5f, ConvertWorldToScreen((a->width + b->width) / 2, ds, 0));
}

// Whether p lies on the end segment of the free end e, at e's end of it: within `reach` of its
// centre line, from `reach` short of e to the segment's middle.
bool OnEndSegment(const Poinz* p, const FreeEnd& e, float reach) {
  const float ex = e.beside->position[0] - e.point->position[0], ez = e.beside->position[2] - e.point->position[2];
  const float length = std::hypot(ex, ez);
  if (!(length > 0)) return false;
  const float px = p->position[0] - e.point->position[0], pz = p->position[2] - e.point->position[2];
  const float along = (px * ex + pz * ez) / length;
  const float across = std::fabs(px * ez - pz * ex) / length;
  return across <= reach && along >= -reach && along < length / 2;
}

// Whether the point p of `owner` (`self` when p is a free end) and the free end e make one
// corner: they lie at one place, or, for walls, one stands on the other's end segment near that
// end, as where a wall was drawn on a little past the corner.
bool Joins(const Poinz* p, const Objex* owner, const FreeEnd* self, const FreeEnd& e) {
  if (e.point == p) return false;
  const float reach = CornerReach(owner, e.owner);
  if (GetLineLength(p->position[0], p->position[2], e.point->position[0], e.point->position[2]) <= reach)
    return true;
  if (owner->type != kObjWall || e.owner->type != kObjWall) return false;
  return OnEndSegment(p, e, reach) || (self && OnEndSegment(e.point, *self, reach));
}

// With linked points on, the points that follow the segment's moved ends (those placed in
// `shifts`), each as far as its end: the point beyond the end (round a closed outline), and
// every free end making one corner with the end, with the point beside it, as the next corner
// of a closed outline would follow; then the free ends making one corner with those. The
// segment's own ends stay where they were placed.
void AddLinkedPoints(Objex* object, Poinz* start, Poinz* end, PointShifts* shifts) {
  const std::vector<FreeEnd> ends = FreeEndsBeside(object);
  auto follows = [&](Poinz* p) { return p && p != start && p != end; };
  const size_t moved = shifts->size();
  for (size_t i = 0; i < moved; ++i) {
    Poinz* e = (*shifts)[i].point;
    shifts->placeAlike(e == start ? PointBefore(object, start, end) : PointAfter(object, start, end), object, i);
    const FreeEnd* self = FreeEndAt(ends, e);
    for (const FreeEnd& j : ends) {
      if (!follows(j.point) || !Joins(e, object, self, j)) continue;
      shifts->placeAlike(j.point, j.owner, i);
      if (follows(j.beside)) shifts->placeAlike(j.beside, j.owner, i);
    }
  }
  const size_t following = shifts->size();
  for (size_t i = moved; i < following; ++i) {
    const PointShifts::Shift s = (*shifts)[i];
    const FreeEnd* self = FreeEndAt(ends, s.point);
    for (const FreeEnd& j : ends)
      if (follows(j.point) && Joins(s.point, s.owner, self, j)) shifts->placeAlike(j.point, j.owner, i);
  }
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
  const float px = start->position[0], pz = start->position[2];
  auto along = [angle](float d) {
    float dx = 0, dz = 0;
    GetPointFromLengthAndAngle(angle, d, &dx, &dz);
    return std::array<float, 2>{dx, dz};
  };
  // The segment's ends that move and where they go.
  PointShifts shifts;
  if (location == 1) {
    const auto s = along(delta / 2), e = along(initial - delta / 2);
    shifts.place(start, object, px + s[0], pz + s[1]);
    shifts.place(end, object, px + e[0], pz + e[1]);
  } else {
    const int16_t mark = start->keyEntryMark;
    const bool startMoves = (mark > 0 && location == 2) || (mark < 0 && location == 3);
    const auto d = along(startMoves ? delta : n);
    shifts.place(startMoves ? start : end, object, px + d[0], pz + d[1]);
  }
  if (linked) AddLinkedPoints(object, start, end, &shifts);
  if (shifts.apply()) return SegmentResize::kMoved;
  return shifts.anyMoved() ? SegmentResize::kRefused : SegmentResize::kUnchanged;
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
