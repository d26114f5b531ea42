// Deck steps along their deck segment: made centred, kept within the segment at every deck
// change, removed (with one warning per deck) when they no longer fit.
#include "building3d/DeckSteps3D.h"

#include <cstdlib>

#include "building3d/Walls3D.h"
#include "model/Bounds.h"
#include "model/DeckFields.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "platform/Alerts.h"

namespace {

constexpr RGBColor kWhite{65535, 65535, 65535};
// Room kept between steps and the ends of their segment.
constexpr float kStepsEndRoom = 5.0f;

// The point `distance` along the segment from S at its angle, at height 0 (kept as -0.0).
void PlaceAlong(Poinz* p, const Poinz* s, float angle, float distance) {
  float dx = 0, dz = 0;
  GetPointFromLengthAndAngle(angle, distance, &dx, &dz);
  p->position[0] = s->position[0] + dx;
  p->position[1] = -0.0f;
  p->position[2] = s->position[2] + dz;
}

void MeasureSteps(Objex* steps) {
  FloatRect rect = EmptyFloatRect();
  GetObjectBounds(steps, 0, &rect, 0, 0);
  steps->bounds = rect;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(steps, 0, &box, 0);
  steps->bounds3D = box;
}

void WhiteMaterialBlock(TrimSlot& slot) {
  slot.textureWidth = slot.textureHeight = 100;
  slot.color = kWhite;
}

}  // namespace

namespace building3d {
Poinz* AddDeckSteps(Objex* deck, Poinz* s, Poinz* e) {
  NoteServiceCall("AddDeckSteps", deck);
  DocState* ds = CurDocState();
  if (!deck || !s || !e || !ds) return nullptr;
  float length = 0;
  const float angle = GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &length);
  float width = ConvertWorldToScreen(ds->deckStepWidth, ds, 0);
  if (width > length - kStepsEndRoom) width = length - kStepsEndRoom;
  // A segment of 5 units or less leaves no room for steps.
  if (!(width > 0)) return nullptr;
  const float height = ConvertWorldToScreen(DeckStepHeightOf(ds), ds, 0);

  auto* record = static_cast<DeckStepsData*>(calloc(1, sizeof(DeckStepsData)));
  if (!record) return nullptr;
  const FloatRect empty{};
  Objex* steps = CreateObject(kObjDeckSteps, 0, 1, &DeckStepsPenColorOf(ds), &ds->newFillColor, 1.0f, 6, 0, &empty,
                              nullptr, nullptr, nullptr, nullptr, record);
  if (!steps) {
    free(record);
    return nullptr;
  }
  steps->textureID = 0;
  steps->fillColor = kWhite;
  steps->levels = 1;
  for (float along : {length / 2 - width / 2, length / 2 + width / 2}) {
    Poinz* p = CreatePoint(1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, steps);
    if (!p) {
      DeleteObj(steps);
      return nullptr;
    }
    PlaceAlong(p, s, angle, along);
    p->position[1] = 0;
    AppendPointToObject(p, steps);
  }
  AppendChildToObject(steps, deck);
  steps->layer = deck->layer;
  MeasureSteps(steps);

  record->ownerType = kObjDeckSteps;
  SegmentStartOf(record) = s;
  SegmentEndOf(record) = e;
  CentreOffsetOf(record) = GetLineLength(s->position[0], s->position[2], steps->firstPoint->position[0],
                                         steps->firstPoint->position[2]) +
                           width / 2;
  record->remainingLength = length - CentreOffsetOf(record);
  record->width = width;
  record->height = height;
  StepsLeftRailOf(record) = ds->deckStepLeftRail ? 1 : 0;
  StepsRightRailOf(record) = ds->deckStepRightRail ? 1 : 0;
  WhiteMaterialBlock(record->trimSlotA);
  WhiteMaterialBlock(record->trimSlotB);
  return e;
}
}  // namespace building3d

int32_t UpdateDeckAttachment(Objex* steps) {
  if (!steps || steps->type != kObjDeckSteps || !CurDocState()) return 0;
  Objex* deck = steps->parent;
  auto* r = static_cast<DeckStepsData*>(steps->typeData);
  if (!deck || !deck->layer || !r || !SegmentStartOf(r) || !SegmentEndOf(r)) return 0;
  Poinz* s = SegmentStartOf(r);
  Poinz* e = SegmentEndOf(r);
  float start = 0, length = 0;
  const float working = GetWallSegmentWorkingLength(0, 0, s, e, &start, &length);
  if (r->width > working - 2 * kStepsEndRoom) r->width = working - 2 * kStepsEndRoom;
  // Steps narrowed to nothing (or never wider than nothing) cannot stand.
  if (!(r->width > 0) || working <= r->width || !steps->firstPoint || !steps->firstPoint->next) {
    DeleteObj(steps);
    return 1;
  }
  const float half = r->width / 2;
  float c = CentreOffsetOf(r);
  if (c < half) c = half + kStepsEndRoom;
  if (c + half > working) c = working - (half + kStepsEndRoom);
  if (!(c >= half && c + half <= working)) {
    DeleteObj(steps);
    return 1;
  }
  CentreOffsetOf(r) = c;
  r->remainingLength = length - c;
  float unused = 0;
  const float angle = GetLineLengthAndAngle(s->position[0], s->position[2], e->position[0], e->position[2], &unused);
  PlaceAlong(steps->firstPoint, s, angle, c - half);
  PlaceAlong(steps->firstPoint->next, s, angle, c + half);
  steps->pointCount = 2;
  MeasureSteps(steps);
  return 0;
}

int32_t UpdateAllDeckAttachments(Objex* deck) {
  if (!deck || deck->type != kObjDeck || !CurDocState()) return 0;
  int32_t removed = 0;
  for (Objex* child = deck->firstChild; child;) {
    Objex* next = child->next;
    removed += UpdateDeckAttachment(child);
    child = next;
  }
  if (removed) {
    ShowAlert("One or more deck steps removed.",
              "Deck steps are removed when either the deck segment is shorter than the step width or the step "
              "width is larger than the deck segment width.",
              true);
    Refresh();
  }
  return removed;
}

void UpdateAllDeckAttachmentsLayer(Layer* layer) {
  if (!layer || !layer->visible) return;
  for (Objex* o = layer->firstObject; o; o = o->next) UpdateAllDeckAttachments(o);
}

void UpdateAllDeckAttachmentsAllLayers(Layer* firstLayer) {
  for (Layer* l = firstLayer; l; l = l->next) UpdateAllDeckAttachmentsLayer(l);
}
