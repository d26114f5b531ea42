// The move tool's drag of deck steps along their segment, on the shared attachment drag.
#include "tools/DeckStepTools.h"

#include "building3d/Walls3D.h"
#include "model/DeckFields.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/Records.h"
#include "tools/DoorWindowTools.h"
#include "tools/TrackingState.h"

namespace tools {
void TranslateDeckAttachment(Objex*, float, float, float) {
  ClickInfo click = gClickInfo;
  Objex* steps = click.hitObject;
  NoteServiceCall("TranslateDeckAttachment", steps);
  if (!gCurDocument || !CurDocState() || !steps || steps->type != kObjDeckSteps || !steps->parent) return;
  auto* r = static_cast<DeckStepsData*>(steps->typeData);
  if (!r || !SegmentStartOf(r) || !SegmentEndOf(r)) return;
  Poinz* first = steps->firstPoint;
  Poinz* second = first ? first->next : nullptr;
  if (!first || !second) return;
  Layer* layers = gCurDocument->itsLayers;
  auto selectSteps = [&] {
    SelectAllLayers(layers, kSelectOff, 1);
    SelectObj(steps, kSelectOn, 1);
  };
  uint8_t fixFirst = 0, fixSecond = 0;
  if (!PressedOpeningEnd(click, first, second, &fixFirst, &fixSecond) &&
      !(click.segmentHit && click.hitPoint && click.segmentEnd)) {
    selectSteps();
    return;
  }
  Poinz* s = SegmentStartOf(r);
  Poinz* e = SegmentEndOf(r);
  float start = 0, length = 0;
  const float working = GetWallSegmentWorkingLength(0, 0, s, e, &start, &length);
  const bool resize = fixFirst || fixSecond;
  const float w = r->width;
  const float minDistance = resize ? -w / 2 : 0;
  const float maxDistance = resize ? length + w / 2 : length;
  FloatPoint a{first->position[0], first->position[2]};
  FloatPoint b{second->position[0], second->position[2]};
  const int moved = TrackDoorPlacement(steps->parent, s, e, w, working, minDistance, maxDistance, click.where.x,
                                       click.where.y, &a, &b, fixFirst, fixSecond, kObjDeckSteps, 1, r, nullptr);
  if (moved <= 0) return;
  if (resize) r->width = GetLineLength(a.floatH, a.floatV, b.floatH, b.floatV);
  CentreOffsetOf(r) = GetLineLength(s->position[0], s->position[2], a.floatH, a.floatV) + r->width / 2;
  r->remainingLength = length - CentreOffsetOf(r);
  PlaceOpeningEnds(first, second, a, b);
  UpdateObjectBounds(steps);
  selectSteps();
}
}  // namespace tools
