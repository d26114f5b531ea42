#include "openings/OpeningsServices.h"

#include "model/Services.h"
#include "openings/AttachmentFrame.h"
#include "openings/WallOpenings.h"

void InstallOpeningsServices() {
  gOpeningsServices.buildAttachmentFrame = openings::BuildAttachmentFrame;
  gOpeningsServices.carveWindowsAndDoors = openings::CarveWindowsAndDoors;
}
