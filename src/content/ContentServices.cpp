#include "content/ContentServices.h"

#include "content/ContentPaletteController.h"
#include "content/SymEntry.h"
#include "model/Services.h"

void InstallContentServices() {
  gContentServices.selectedSymEntry = content::ContentPaletteSelectedSymEntry;
  gContentServices.decodeSymEntryWithData = content::DecodeSymEntryWithData;
}
