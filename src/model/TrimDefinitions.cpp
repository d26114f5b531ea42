// The selected custom trim definition and the preparing of its profile.
#include "model/TrimDefinitions.h"

#include "model/Bounds.h"
#include "model/DesignEdits.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/ExtrudeFlip.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/SymEntryInfo.h"
#include "model/TexturePaths.h"
#include "platform/ContentPaths.h"
#include "platform/PathResolver.h"

#include <cstring>

bool GetCurrentTrimDefinitionFilePath(std::string* path) {
  if (!path) return false;
  path->clear();
  const SymEntryInfo* entry = ContentPaletteSelectedSymEntry();
  if (!entry || entry->type != kEntryCustomTrim || entry->objectData.empty()) return false;
  // A trim entry names a file of the trim folder: one that leads out of it is not read.
  *path = PathInsideFolder(LocalDomainCustomTrimPath(), entry->objectData);
  return !path->empty();
}

int16_t GetCurrentTrimDefinitionFilePath(char* path) {
  if (!path) return 0;
  path[0] = 0;
  std::string found;
  if (!GetCurrentTrimDefinitionFilePath(&found) || found.size() >= kPathBufferSize) return 0;
  std::memcpy(path, found.c_str(), found.size() + 1);
  return 1;
}

void UnLockDetectAndSelectObject(Objex* object, bool unlock, bool detect, bool select) {
  if (!object) return;
  NoteDesignEdit();
  for (Poinz* p = object->firstPoint; p; p = p->next) {
    if (unlock) p->locked = 0;
    if (detect) p->detectable = 1;
    if (select) p->selected = 1;
  }
}

void MirrorTrimProfileForCrown(Objex* profile) {
  DocState* ds = CurDocState();
  if (!profile || !ds) return;
  Float3DRect box = EmptyFloat3DRect();
  GetObject3DBounds(profile, 0, &box, 1);
  const float savedCentre = gFlipCenterY;
  const int16_t savedPlane = ds->viewPlane;
  gFlipCenterY = (box.floatBack + box.floatFront) / 2;
  ds->viewPlane = 2;
  FlipObject(profile, 0);
  ds->viewPlane = savedPlane;
  gFlipCenterY = savedCentre;
}
