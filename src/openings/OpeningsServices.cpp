#include "openings/OpeningsServices.h"

#include "model/Services.h"
#include "openings/AttachmentFrame.h"
#include "openings/CustomDefinitions.h"
#include "openings/WallOpenings.h"

void InstallOpeningsServices() {
  gOpeningsServices.buildAttachmentFrame = openings::BuildAttachmentFrame;
  gOpeningsServices.carveWindowsAndDoors = openings::CarveWindowsAndDoors;
  gOpeningsServices.readCustomWindowDoorFile = openings::ReadCustomWindowDoorFile;
  gOpeningsServices.readCustomSkylightFile = openings::ReadCustomSkylightFile;
  gOpeningsServices.readCustomTrimFile = openings::ReadCustomTrimFile;
}
