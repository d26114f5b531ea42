// Rectangular and arched frames and the divider bars of rectangular openings.
#include "openings/DoorFrames.h"

#include <cmath>

#include "building3d/RepeatLimit.h"
#include "model/Attachments.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Records.h"
#include "model/TextureFace.h"
#include "openings/AttachmentFrame.h"
#include "openings/DoorLeaves.h"
#include "openings/WindowFrames.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kHalfPi = kPi / 2;
// How far a rectangular or arched frame stands proud of each wall face.
constexpr float kFrameProud = 2.1f;
const RGBColor kFrameGrey{0xD0D0, 0xD0D0, 0xD0D0};

bool FrameInputs(Objex* attachment, AttachmentInputs* in) {
  return GetAttachmentInputs(attachment, in) && gCurDocument->itsLayers;
}

// Frames carry no texture and the light grey on both sides of every point; their points keep
// the texture scales they were made with.
void SetFrameMaterial(Objex* frame) {
  for (Poinz* p = frame->firstPoint; p; p = p->next)
    for (int side = 0; side < 2; ++side) {
      p->textureID[side] = 0;
      p->color[side] = kFrameGrey;
    }
}

// A flat bar of four corners (x, y, z each) finished and appended to the chain; kStop when a
// point cannot be made (the bar is then freed).
enum class BarResult { kDone, kSkipped, kStop };
BarResult AddBar(Objex* attachment, DoorWindowData* record, const float corners[4][3], Objex** last) {
  Objex* bar = NewAttachmentFace(attachment, kObjSeparatorFace, 1);
  if (!bar) return BarResult::kSkipped;
  for (int i = 0; i < 4; ++i) {
    if (!AddFacePoint(bar, corners[i][0], corners[i][1], corners[i][2])) {
      FreeLooseFace(bar);
      return BarResult::kStop;
    }
  }
  bar->levels = 1;
  SetFaceSlot0Material(bar, attachment);
  ReverseObjectDirection(bar);
  StoreFaceBounds(bar);
  SetTextureFaceUV(bar);
  SetObjectPointLengths(bar);
  AppendFaceToChain(record, bar, last);
  return BarResult::kDone;
}

}  // namespace

void BuildRectangularDoorFrame(Objex* attachment) {
  AttachmentInputs in;
  if (!FrameInputs(attachment, &in)) return;
  DoorWindowData* record = in.record;
  const Poinz* p1 = in.p1;
  const Poinz* p2 = in.p2;
  const float a = FaceAngle(p1->position[0], p1->position[2], p2->position[0], p2->position[2]);
  const float e = CWS(in.wall->width, in.ds) / 2 + kFrameProud;
  const float base = WallBaseOffset(in.wall, in.ds) + record->elevation;
  const float bottom1 = p1->position[1] - base, head1 = bottom1 - record->height;
  const float bottom2 = p2->position[1] - base, head2 = bottom2 - record->height;

  // Ring one on the side at a + pi/2, ring two on the other: p2 bottom, p2 head, p1 head,
  // p1 bottom.
  float rings[2][4][3];
  for (int ring = 0; ring < 2; ++ring) {
    const PlanOffset o = FacePolar(ring == 0 ? a + kHalfPi : a - kHalfPi, e);
    const float x2 = p2->position[0] + o.x, z2 = p2->position[2] + o.z;
    const float x1 = p1->position[0] + o.x, z1 = p1->position[2] + o.z;
    const float corners[4][3] = {{x2, bottom2, z2}, {x2, head2, z2}, {x1, head1, z1}, {x1, bottom1, z1}};
    for (int i = 0; i < 4; ++i)
      for (int k = 0; k < 3; ++k) rings[ring][i][k] = corners[i][k];
  }

  Objex* frame = NewAttachmentFace(attachment, kObjFrameFace, 1);
  if (frame) {
    frame->levels = 2;
    frame->capped = 1;
    for (const auto& ring : rings) {
      for (const auto& c : ring) {
        if (!AddFacePoint(frame, c[0], c[1], c[2])) {
          FreeLooseFace(frame);
          return;
        }
      }
    }
    SetFrameMaterial(frame);
    StoreFaceBounds(frame);
  }
  FreeFaceChain(record->faces);
  record->faces = frame;

  switch (record->subtype) {
    case kDoorHinged:
    case kDoorHinged2: BuildHingedDoor(attachment, record); break;
    case kDoorGarage: BuildGarageDoor(attachment, record); break;
    case kDoorHingedGlass: BuildHingedGlassDoor(attachment, record); break;
    case kDoorHingedHalfGlass: BuildHingedHalfGlassDoor(attachment, record); break;
    case kDoorBiFold: BuildBiFoldDoor(attachment, record); break;
    case kDoorFrameWithDividers:
    case kWindowRectangular: {
      // Ring one's corners p1 bottom, p1 head, p2 head, p2 bottom, moved halfway to ring two.
      const int order[4] = {3, 2, 1, 0};
      float c[4][3];
      for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k) c[i][k] = (rings[0][order[i]][k] + rings[1][order[i]][k]) / 2;
      BuildWindowSeparators(attachment, record, c[0], c[1], c[2], c[3]);
      break;
    }
    default: break;
  }
}

void BuildArchedDoorFrame(Objex* attachment, int16_t subtype) {
  AttachmentInputs in;
  if (!FrameInputs(attachment, &in)) return;
  DoorWindowData* record = in.record;
  const Poinz* p1 = in.p1;
  const Poinz* p2 = in.p2;
  const float k = (subtype == kDoorArchedOpeningLow || subtype == kDoorArchedHingedLow) ? 0.5f : 1.0f;
  const float r = record->width / 2;
  const float x1 = p1->position[0], z1 = p1->position[2];
  const float a = FaceAngle(x1, z1, p2->position[0], p2->position[2]);
  const float m = FaceDistance(x1, z1, (x1 + p2->position[0]) / 2, (z1 + p2->position[2]) / 2);
  const float spring = record->height - k * r;
  const float base = WallBaseOffset(in.wall, in.ds) + record->elevation;
  const float bottom1 = p1->position[1] - base;
  const PlanOffset o = FacePolar(a + kHalfPi, CWS(in.wall->width, in.ds) / 2 + kFrameProud);

  Objex* outline = NewAttachmentFace(attachment, kObjFrameFace, 1);
  Objex* tube = nullptr;
  if (outline) {
    outline->levels = 2;
    outline->capped = 1;
    bool ok = AddFacePoint(outline, x1 + o.x, bottom1, z1 + o.z);
    auto addArch = [&](float along, float up) {
      if (!ok) return;
      const PlanOffset d = FacePolar(a, along);
      ok = AddFacePoint(outline, x1 + o.x + d.x, bottom1 - up, z1 + o.z + d.z);
    };
    for (int deg = 180; deg >= 100; deg -= 10) {
      const float t = static_cast<float>(deg) * kPi / 180;
      addArch(m - std::fabs(r * std::cos(t)), spring + k * r * std::fabs(std::sin(t)));
    }
    addArch(m, spring + k * r);
    for (int deg = 80; deg >= 0; deg -= 10) {
      const float t = static_cast<float>(deg) * kPi / 180;
      addArch(m + std::fabs(r * std::cos(t)), spring + k * r * std::fabs(std::sin(t)));
    }
    if (ok) ok = AddFacePoint(outline, p2->position[0] + o.x, p2->position[1] - base, p2->position[2] + o.z);
    if (!ok) {
      FreeLooseFace(outline);
      return;
    }
    tube = Construct3DTrim(outline, 2 * o.x, 2 * o.z);
    if (!tube) {
      FreeLooseFace(outline);
    } else {
      SetFrameMaterial(tube);
      StoreFaceBounds(tube);
    }
  }
  FreeFaceChain(record->faces);
  record->faces = tube;
  if (subtype == kDoorArchedHinged || subtype == kDoorArchedHingedLow) BuildHingedArchDoor(attachment, record);
}

void BuildWindowSeparators(Objex* attachment, DoorWindowData* record, const float* c1, const float* c2,
                           const float* c3, const float* c4) {
  if (!attachment || !record || !c1 || !c2 || !c3 || !c4 || !attachment->parent) return;
  const int32_t across = record->horizontalDividers() > 0 ? LimitRepeats(record->horizontalDividers()) : 0;
  const int32_t upright = record->verticalDividers() > 0 ? LimitRepeats(record->verticalDividers()) : 0;
  float hw = 1.0f;
  if (record->subtype == kDoorFrameWithDividers) hw = 3.0f;
  else if ((upright == 1 && across == 0) || (upright == 0 && across == 1)) hw = 2.0f;

  Objex* last = nullptr;
  // Horizontal bars, evenly spaced up the opening.
  const float rise = c1[1] - c2[1];
  for (int32_t j = 0; j < across; ++j) {
    const float mid = rise * static_cast<float>(j + 1) / static_cast<float>(across + 1);
    const float low = c1[1] - (mid - hw), high = c1[1] - (mid + hw);
    const float corners[4][3] = {
        {c1[0], low, c1[2]}, {c1[0], high, c1[2]}, {c4[0], high, c4[2]}, {c4[0], low, c4[2]}};
    if (AddBar(attachment, record, corners, &last) == BarResult::kStop) return;
  }
  // Vertical bars, evenly spaced across, set back by half a unit in plan z.
  const float a = FaceAngle(c1[0], c1[2], c4[0], c4[2]);
  const float span = FaceDistance(c1[0], c1[2], c4[0], c4[2]);
  for (int32_t j = 0; j < upright; ++j) {
    const float mid = span * static_cast<float>(j + 1) / static_cast<float>(upright + 1);
    const PlanOffset lo = FacePolar(a, mid - hw);
    const PlanOffset hi = FacePolar(a, mid + hw);
    const float corners[4][3] = {{c1[0] + lo.x, c1[1], c1[2] + lo.z - 0.5f},
                                 {c1[0] + lo.x, c2[1], c1[2] + lo.z - 0.5f},
                                 {c1[0] + hi.x, c3[1], c1[2] + hi.z - 0.5f},
                                 {c1[0] + hi.x, c4[1], c1[2] + hi.z - 0.5f}};
    if (AddBar(attachment, record, corners, &last) == BarResult::kStop) return;
  }
}
