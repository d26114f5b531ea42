// libFuzzer target: a custom door, window, skylight or trim definition of arbitrary bytes (and
// the same bytes as its side file), chosen in the content palette and read as the program reads
// it: into a custom window on a wall, which is then fitted into its opening, into a custom
// skylight's lists, and into a wall side's trim record and a window's trim slot. No input may
// crash, over-read, leak or hang, and the definition layer is always gone afterwards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "building3d/Building3DServices.h"
#include "files/TemplateFile.h"
#include "model/Attachments.h"
#include "model/Services.h"
#include "openings/CustomDefinitions.h"
#include "openings/OpeningsServices.h"
#include "platform/ContentPaths.h"

namespace {

Objex* NewObject(int16_t type, Objex* parent, Layer* layer, void* data) {
  const RGBColor black{};
  return CreateObject(type, 0, 1, &black, &black, 1, 6, 0, nullptr, nullptr, nullptr, parent, layer, data);
}

void AddPoint(Objex* o, float x, float z) {
  AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InstallBuilding3DServices();
  InstallOpeningsServices();
  // Definitions are read only from their own custom folders.
  SetUserSharedRoot(fuzz::ScratchFolder() + "/shared");
  std::error_code ec;
  for (const std::string& folder : {LocalDomainCustomWindowPath(), LocalDomainCustomTrimPath()})
    std::filesystem::create_directories(folder, ec);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  for (const char* folder : {"shared/QVRA/Components/Windows/", "shared/QVRA/Components/Trim/"})
    for (const char* name : {"definition.QTF", "definition.qti", "definition.QTI"})
      fuzz::WriteInput((std::string(folder) + name).c_str(), data, size);
  Layer* floor = open->itsCurLayer ? open->itsCurLayer : open->itsLayers;

  Objex* wall = NewObject(kObjWall, nullptr, floor, nullptr);
  wall->width = 6;
  AddPoint(wall, 0, 0);
  AddPoint(wall, 240, 0);
  AppendObjectToLayer(wall, floor);
  auto* record = static_cast<DoorWindowData*>(calloc(1, sizeof(DoorWindowData)));
  record->ownerType = kObjWindow;
  record->subtype = kWindowCustom;
  record->width = 36;
  record->height = 48;
  record->startDistance = 78;
  record->anchorStart = wall->firstPoint;
  record->anchorEnd = wall->firstPoint->next;
  Objex* window = NewObject(kObjWindow, wall, floor, record);
  AddPoint(window, 60, 0);
  AddPoint(window, 96, 0);
  AppendChildToObject(window, wall);

  auto* roofRecord = static_cast<RoofAttachmentData*>(calloc(1, sizeof(RoofAttachmentData)));
  roofRecord->ownerType = kObjSkylight;
  roofRecord->subtype = kSkylightCustom;
  Objex* skylight = NewObject(kObjSkylight, nullptr, floor, roofRecord);
  roofRecord->object() = skylight;
  AppendObjectToLayer(skylight, floor);

  gSelectedContentCategory = kCustomWindowCategory;
  gSelectedContentEntryType = kEntryCustomWindow;
  gSelectedContentEntry = SymEntryInfo{};
  gSelectedContentEntry.type = kEntryCustomWindow;
  gSelectedContentEntry.objectData = "definition.QTF";
  openings::ReadCustomWindowDoorFile(window);
  UpdateCustomAttachment(window);
  openings::ReadCustomSkylightFile(skylight);
  float width = 0, height = 0;
  GetCustomAttachmentWidthAndHeight(record, &width, &height);

  gSelectedContentEntryType = kEntryCustomTrim;
  gSelectedContentEntry.type = kEntryCustomTrim;
  TrimData trim{};
  for (uint8_t base : {0, 1}) {
    gApplyTrimAsBase = base;
    openings::ReadCustomTrimFile(wall, true, &trim);
    openings::ReadCustomTrimFile(window, base == 1, nullptr);
  }
  for (Objex* profile : {trim.profileA, trim.profileB}) {
    if (!profile) continue;
    profile->layer = nullptr;
    DeleteObj(profile);
  }
  if (gAttachmentTempLayer || gReadingAttachmentDefinition) abort();
  gSelectedContentCategory = -1;
  gSelectedContentEntryType = 0;
  gSelectedContentEntry = SymEntryInfo{};
  fuzz::EmptyFloors(open);
  return 0;
}
