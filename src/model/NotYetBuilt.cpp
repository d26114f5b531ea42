// Bodies of the routines of parts not built yet: each records its call and does only what
// its callers rely on.
#include "model/NotYetBuilt.h"


#include <algorithm>
#include <cstring>
#include <string>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TopoGrid.h"
#include "platform/ContentPaths.h"

void ReadCustomSkylightFile(Objex* skylight) { NoteServiceCall("ReadCustomSkylightFile", skylight); }
void ReadCustomTrimFile(Objex* target, bool, TrimData*) { NoteServiceCall("ReadCustomTrimFile", target); }

int GetCurrentTrimDefinitionFilePath(char* path, size_t size) {
  const SymEntryInfo* entry = ContentPaletteSelectedSymEntry();
  if (!path || size == 0 || !entry || entry->type != kEntryCustomTrim || entry->objectData.empty()) return 0;
  const std::string folder = LocalDomainCustomTrimPath();
  if (folder.empty()) return 0;
  const std::string full = folder + "/" + entry->objectData;
  if (full.size() >= size) return 0;
  memcpy(path, full.c_str(), full.size() + 1);
  return 1;
}

void UnLockDetectAndSelectObject(Objex* object, uint8_t unlock, uint8_t detect, uint8_t select) {
  for (Poinz* p = object ? object->firstPoint : nullptr; p; p = p->next) {
    if (unlock) p->locked = 0;
    if (detect) p->detectable = 1;
    if (select) p->selected = 1;
  }
}

// The plan extent of the definition's outlines (right minus left, front minus back), which is
// all callers need of it: 0 by 0 without outlines.
void GetCustomSkylightWHAndBounds(const RoofAttachmentData* record, float* width, float* height, FloatRect* bounds) {
  FloatRect b{32000, 32000, -32000, -32000};
  for (const Objex* o = record ? record->outlineParts : nullptr; o; o = o->next)
    for (const Poinz* p = o->firstPoint; p; p = p->next) {
      b.floatLeft = std::min(b.floatLeft, p->position[0]), b.floatRight = std::max(b.floatRight, p->position[0]);
      b.floatTop = std::min(b.floatTop, p->position[2]), b.floatBottom = std::max(b.floatBottom, p->position[2]);
    }
  const bool any = b.floatLeft <= b.floatRight;
  if (width) *width = any ? b.floatRight - b.floatLeft : 0;
  if (height) *height = any ? b.floatBottom - b.floatTop : 0;
  if (bounds) *bounds = any ? b : FloatRect{};
}

void ReadCustomWindowDoorFile(Objex* attachment) { NoteServiceCall("ReadCustomWindowDoorFile", attachment); }
void UpdateCustomAttachment(Objex* attachment) { NoteServiceCall("UpdateCustomAttachment", attachment); }

void GetCustomAttachmentWidthAndHeight(const DoorWindowData* record, float* width, float* height) {
  float w = 0, h = 0;
  if (record && record->maskObject) {
    float minX = 32000, maxX = -32000, minY = 32000, maxY = -32000;
    for (const Objex* o = record->maskObject; o; o = o->next)
      for (const Poinz* p = o->firstPoint; p; p = p->next) {
        minX = std::min(minX, p->position[0]);
        maxX = std::max(maxX, p->position[0]);
        minY = std::min(minY, p->position[1]);
        maxY = std::max(maxY, p->position[1]);
      }
    if (maxX >= minX) w = maxX - minX;
    if (maxY >= minY) h = maxY - minY;
  }
  if (width) *width = w;
  if (height) *height = h;
}

void CarveAllRoofAttachments(Objex* roof, Plane*, int32_t, int16_t) { NoteServiceCall("CarveAllRoofAttachments", roof); }
void CarveAllRoofPanelAttachments(Objex* panel, Plane*, int16_t) {
  NoteServiceCall("CarveAllRoofPanelAttachments", panel);
}

float gBaseTrimHeight = 6.0f;
float gPanelingHeight = 42.0f;
void CreateMoulding(TrimData*, Plane*, float, float, const PlanarPolyPoint*, const PlanarPolyPoint*, float, float,
                    int16_t, float, int16_t) {
  NoteServiceCall("CreateMoulding", nullptr);
}
void CreatePaneling(TrimData*, Plane*, float, float, const PlanarPolyPoint*, const PlanarPolyPoint*, float, float,
                    int16_t, float, int16_t) {
  NoteServiceCall("CreatePaneling", nullptr);
}
void ApplyCustomTrimToWall(TrimData*, Plane*, float, float, const PlanarPolyPoint*, const PlanarPolyPoint*, float,
                           float, int16_t, float, Poinz* startPoint) {
  NoteServiceCall("ApplyCustomTrimToWall", startPoint ? startPoint->owner : nullptr);
}
