// Moulding codes and custom trim profiles written into wall trim records and door and window
// trim slots from a 3D pick.
#include "render3d/ApplyMouldings.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "files/TemplateFile.h"
#include "model/Attachments.h"
#include "model/CommandCodes.h"
#include "model/Delete.h"
#include "model/DocumentModel.h"
#include "model/Duplicate.h"
#include "model/ExtrudeFlip.h"
#include "model/PlaneObjectRecords.h"
#include "model/Records.h"
#include "model/Services.h"
#include "platform/IniFile.h"
#include "render3d/SurfacePick.h"
#include "tools/ToolCodes.h"
#include "tools/Tracking.h"
#include "tools/TrackingState.h"

namespace {

constexpr size_t kNameChars = 250;

bool ShiftHeld() {
  MaintainModifiers();
  return (gTrackModifiers & kTrackModShift) != 0;
}

// The side (0 or 1) a record is of its point: the first of the point's two records is side 0.
int SideOf(const TrimData* record, const Poinz* point) { return record == point->trim1 ? 0 : 1; }

TrimData* RecordOf(Poinz* point, int side) { return static_cast<TrimData*>(side == 0 ? point->trim1 : point->trim2); }

// A door or window trim slot loses its custom profile.
void ClearCustomSlot(TrimSlot& slot) {
  DeleteObj(slot.profile);
  slot.profile = nullptr;
  slot.flag = 0;
}

TrimSlot& SlotOfFace(DoorWindowData* data, const PlaneObject* face) {
  return face->partType == 1 ? data->trimSlotA : data->trimSlotB;
}

char* CopyName(const char* name) {
  const size_t n = strlen(name);
  char* copy = static_cast<char*>(calloc(n + 1, 1));
  if (copy) memcpy(copy, name, n);
  return copy;
}

}  // namespace

bool MouldingCodeValue(int32_t code, int32_t* value, bool* crown) {
  static constexpr int32_t kValues[4][5] = {
      {11, 19, 35, 67, 0},                    // 100-104 base trim
      {132, 260, 516, 1028, 0},               // 200-204 paneling
      {6144, 10240, 18432, 34816, 0},         // 300-304 wainscot
      {11, 19, 35, 67, 0},                    // 400-404 crown trim
  };
  const int32_t family = code / 100, index = code % 100;
  if (code < 100 || family > 4 || index > 4) return false;
  if (value) *value = kValues[family - 1][index];
  if (crown) *crown = family == 4;
  return true;
}

float MouldingCodeTrimWidth(int32_t code) {
  switch (code) {
    case 100: case 400: return 3.0f;
    case 101: case 401: return 4.0f;
    case 102: case 402: return 6.0f;
    case 103: case 403: return 8.0f;
    default: return 0.0f;
  }
}

bool ApplyMouldingCodeToTrim(TrimData* trim, int32_t code) {
  int32_t value = 0;
  bool crown = false;
  if (!trim || !MouldingCodeValue(code, &value, &crown)) return false;
  Objex*& profile = crown ? trim->crownProfile() : trim->lowerProfile();
  DeleteObj(profile);
  profile = nullptr;
  (crown ? trim->crownTrim() : trim->lowerTrim()) = value;
  return true;
}

void ApplyStandardMouldingToEntireWallGroup(Objex* wall, TrimData* pickedRecord, Poinz* pickedPoint, int32_t code) {
  if (!wall || wall->type != kObjWall || !gCurDocument || !pickedPoint) return;
  const int side = SideOf(pickedRecord, pickedPoint);
  for (Poinz* p = wall->firstPoint; p; p = p->next) ApplyMouldingCodeToTrim(RecordOf(p, side), code);
}

bool ApplyMoulding(POINT point, int32_t code) {
  if (code < 0) return false;
  const SurfacePick pick = PickSurfaceAt(point);
  if (pick.result != PickResult::kSurface || !pick.surface->base2DObject) return false;
  PlaneObject* face = pick.surface;
  Objex* plan = face->base2DObject;
  Objex* part = face->actual3DObject;

  if (plan->type == kObjDoor || plan->type == kObjWindow) {
    DoorWindowData* data = AttachmentData(plan);
    if (!data) return true;
    const float width = MouldingCodeTrimWidth(code);
    if (width > 0 && (face->partType == 1 || face->partType == 2)) {
      ClearCustomSlot(SlotOfFace(data, face));
      data->trimWidth() = width;
    }
    plan->needsRender = 1;
    ReRenderObject(plan);
    return true;
  }
  if (plan->type != kObjWall) return true;

  if (part && (part->type == kObjDoor || part->type == kObjWindow)) {
    if (DoorWindowData* data = AttachmentData(part)) ClearCustomSlot(SlotOfFace(data, face));
  } else if ((part == plan || (part && part->type == kObjWall)) && face->trimRecordRef && *face->trimRecordRef) {
    auto* record = static_cast<TrimData*>(*face->trimRecordRef);
    if (ShiftHeld()) ApplyStandardMouldingToEntireWallGroup(plan, record, face->trimPoint, code);
    else ApplyMouldingCodeToTrim(record, code);
    plan->needsRender = 1;
  }
  ReRenderObject(plan);
  return true;
}

bool ApplyCustomMoulding(POINT point, SymEntryInfo*) {
  const SurfacePick pick = PickSurfaceAt(point);
  if (pick.result != PickResult::kSurface) return false;
  PlaneObject* face = pick.surface;
  Objex* wall = face->base2DObject;
  if (!wall || wall->type != kObjWall) return false;
  Objex* part = face->actual3DObject;
  if (part == wall || (part && part->type == kObjWall)) {
    auto* record = face->trimRecordRef ? static_cast<TrimData*>(*face->trimRecordRef) : nullptr;
    if (record && ShiftHeld()) ApplyCustomTrimFileToEntireWallGroup(wall, record, face->trimPoint);
    else if (record) ReadCustomTrimFile(wall, false, record);
  } else if (part && (part->type == kObjDoor || part->type == kObjWindow) && AttachmentData(part)) {
    ReadCustomTrimFile(part, face->partType == 1, nullptr);
  }
  ReRenderObject(wall);
  return true;
}

void ApplyCustomTrimFileToEntireWallGroup(Objex* wall, TrimData* pickedRecord, Poinz* pickedPoint) {
  if (!wall || wall->type != kObjWall || !gCurDocument || !pickedPoint) return;
  const bool crown = gApplyTrimAsBase == 0;
  ReadSelectedTrimDefinition(crown, [&](Objex* profile, const std::string& path) {
    char name[kNameChars + 1] = {};
    if (path.size() > 4) {
      const std::string info = path.substr(0, path.size() - 4) + ".qti";
      GetPrivateProfileString("Description", "TrimName", "", name, sizeof name, info.c_str());
    }

    const int side = SideOf(pickedRecord, pickedPoint);
    for (Poinz* p = wall->firstPoint; p; p = p->next) {
      TrimData* record = RecordOf(p, side);
      if (!record) continue;
      // The copy is made before the record lets go of what it holds: a failed copy leaves the
      // segment as it was.
      Objex* copy = DuplicateObject(profile, nullptr, nullptr, FloatPoint{0, 0}, 0, kCmdDuplicate);
      if (!copy) continue;
      copy->prev = copy->next = nullptr;
      copy->parent = nullptr;
      PutCopyOnLayer(copy, wall->layer);
      if (name[0]) {
        if (char* named = CopyName(name)) {
          free(copy->name);
          copy->name = named;
        }
      }
      Objex*& field = crown ? record->crownProfile() : record->lowerProfile();
      DeleteObj(field);
      field = copy;
      (crown ? record->crownTrim() : record->lowerTrim()) = kTrimCustomProfile;
    }
  });
}
