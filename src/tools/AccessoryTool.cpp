// The accessory tool.
#include "tools/AccessoryTool.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "building3d/Walls3D.h"
#include "model/Attachments.h"
#include "model/Bounds.h"
#include "model/CustomTextures.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/HitTest.h"
#include "model/LineGeometry.h"
#include "model/Services.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/WallFields.h"
#include "platform/Alerts.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"
#include "tools/ToolCodes.h"
#include "tools/TrackingState.h"
#include "tools/WallAttachmentPlacement.h"

namespace {

constexpr float kQuarterTurn = 1.57079632679f;
constexpr float kMinimumWallOffset = 6.0f;
constexpr RGBColor kWhite{65535, 65535, 65535};

// The accessory's material: the content palette's selected accessory texture (its path, as the
// library lists it, relative to the custom textures folder), listed as a custom texture of the
// design; 0 without one. *name gets the "Name" of its information file, "Done" without one.
int32_t SelectedAccessoryTexture(std::string* name) {
  *name = "Done";
  const SymEntryInfo* entry = ContentPaletteSelectedSymEntry();
  if (!entry || gSelectedContentCategory != 0 || entry->objectData.empty()) return 0;
  char path[512];
  std::strncpy(path, entry->objectData.c_str(), sizeof path - 1);
  path[sizeof path - 1] = '\0';
  const int32_t texture = NewCustomTextureID(path);
  if (!entry->objectInfo.empty()) {
    const std::string info = entry->objectInfo.front() == '/' ? entry->objectInfo
                                                                : LocalDomainCustomTexturePath() + "/" + entry->objectInfo;
    char text[256] = {};
    GetPrivateProfileString("Description", "Name", "Done", text, sizeof text, info.c_str());
    *name = text;
  }
  return texture;
}

Poinz* NewPoint(float x, float z, Objex* owner, int16_t option) {
  Poinz* p = CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, owner);  // straight: no handles
  if (p) WallOptionOf(p) = option;
  return p;
}

}  // namespace

// The first use takes its sizes from the window defaults.
void FillAccessoryDefaults(DocState* ds) {
  if (!ds || gdsAccessoryWidth != 0 || gdsAccessoryHeight != 0 || gdsAccessoryElevation != 0) return;
  const bool imperial = ds->measureSystem == 3;
  const float frame = ds->windowFrameSize();
  gdsAccessoryWidth = ds->windowWidth + 2 * frame + (imperial ? 4.0f : 3.937007874f);
  gdsAccessoryHeight = ds->windowHeight + 3 * frame;
  gdsAccessoryElevation = ds->windowElevation() + ds->windowHeight + frame + (imperial ? 1.0f : 1.1811023622f);
}

Objex* SupportTrackAccessory(int32_t, int32_t, float, float, float, int16_t stage, ClickInfo* click, uint16_t,
                             FloatPoint* size, int16_t type, float wallOffset) {
  if (stage != kTrackBegin || !size) return nullptr;
  DocState* ds = CurDocState();
  if (!ds || !gCurDocument->itsCurLayer) return nullptr;
  if (!click || !click->hitObject || !click->segmentHit || !click->hitPoint || !click->segmentEnd ||
      click->hitObject->type != kObjWall) {
    ShowAlert("Wall segment not found.",
              "To place an accessory, click on a wall segment of sufficient length and then drag to position the "
              "accessory.");
    return nullptr;
  }
  Objex* wall = click->hitObject;
  Poinz* segStart = click->hitPoint;
  Poinz* segEnd = click->segmentEnd;
  float minDistance = 0, length = 0;
  const float working = GetWallSegmentWorkingLength(0, 0, segStart, segEnd, &minDistance, &length);
  if (size->floatH > working) {
    ShowAlert("Unable to place accessory on wall segment.",
              "Please make sure the wall segment is long enough to accommodate the accessory.");
    return nullptr;
  }
  FloatPoint first{}, second{}, depthPoint{};
  uint8_t side = 0;
  if (TrackAttachmentPlacement(wall, segStart, segEnd, size, working, minDistance, length, click->where.x,
                               click->where.y, &first, &second, 0, 0, type, nullptr, nullptr, nullptr, &side,
                               &depthPoint) < 0)
    return nullptr;

  Objex* accessory = CreateObject(kObjAccessory, 1, 1, &ds->doorColor(), &kWhite, 1, 6, 0, nullptr, nullptr,
                                  nullptr, wall, gCurDocument->itsCurLayer, nullptr);
  if (!accessory) return nullptr;
  auto* data = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  // The third point: from the middle, half the wall plus the offset (at least 6) out on its side.
  float angleLength = 0;
  const float a = GetLineLengthAndAngle(segStart->position[0], segStart->position[2], segEnd->position[0],
                                        segEnd->position[2], &angleLength);
  const float perpendicular = side == 1 ? a + kQuarterTurn : a - kQuarterTurn;
  float cx = 0, cz = 0;
  PolarFrom(depthPoint.floatH, depthPoint.floatV, perpendicular, -size->floatV, &cx, &cz);
  const float reach = ConvertWorldToScreen(wall->width, ds, 0) / 2 +
                      std::fmax(kMinimumWallOffset, ConvertWorldToScreen(wallOffset, ds, 0));
  float tx = 0, tz = 0;
  PolarFrom(cx, cz, perpendicular, reach, &tx, &tz);
  const int16_t option = WallOptionOf(ds);
  Poinz* p1 = NewPoint(first.floatH, first.floatV, accessory, option);
  Poinz* p2 = NewPoint(second.floatH, second.floatV, accessory, option);
  Poinz* p3 = NewPoint(tx, tz, accessory, option);
  if (!data || !p1 || !p2 || !p3) {
    // Nothing half made stays behind.
    free(p1);
    free(p2);
    free(p3);
    free(data);
    free(accessory);
    return nullptr;
  }
  accessory->subtype = kObjAccessory;
  accessory->closed = 1;
  accessory->levels = 1;
  std::string entryName;
  const int32_t texture = SelectedAccessoryTexture(&entryName);
  accessory->textureID = 0;
  accessory->textureID1 = accessory->textureID2 = texture;
  accessory->color1 = accessory->color2 = kWhite;
  accessory->textureScale1 = accessory->textureScale2 = ShortPoint{100, 100};
  accessory->planMask = ds->newObjectPlanMask;
  AppendPointToObject(p1, accessory);
  AppendPointToObject(p2, accessory);
  AppendPointToObject(p3, accessory);
  accessory->pointCount = 3;
  AppendChildToObject(accessory, wall);
  RecomputeAttachmentBounds(accessory);
  SelectAllLayers(gCurDocument->itsLayers, kSelectOff, 1);
  DoSelectObject(accessory, kSelectOn);
  Refresh();

  FillWallHungRecord(data, kObjAccessory, segStart, segEnd, first, *size, length,
                     ConvertWorldToScreen(gdsAccessoryElevation, ds, 0), side);
  data->swingAngle() = wallOffset;  // the accessory's distance from the wall face, inches
  accessory->typeData = data;
  accessory->params[4] = 0;
  BuildAttachmentFrame(accessory);
  ReRenderObject(wall);
  if (!entryName.empty() && entryName != "Done") {
    if (char* copy = static_cast<char*>(calloc(entryName.size() + 1, 1))) {
      std::memcpy(copy, entryName.c_str(), entryName.size());
      free(accessory->name);
      accessory->name = copy;
    }
  }
  return accessory;
}

Objex* TrackAccessory(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage) {
  DocState* ds = CurDocState();
  if (!ds) return nullptr;
  FillAccessoryDefaults(ds);
  FloatPoint size{ConvertWorldToScreen(gdsAccessoryWidth, ds, 0), ConvertWorldToScreen(gdsAccessoryHeight, ds, 0)};
  ClickInfo click = gClickInfo;
  Objex* made = SupportTrackAccessory(windowX, windowY, x, y, z, stage, &click, gTrackModifiers, &size,
                                      kObjAccessory, gdsAccessoryWallOffset);
  if (made) made->planMask = ds->newObjectPlanMask;
  gMouseCaptured = 0;
  return made;
}
