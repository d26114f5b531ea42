// Bodies of the routines of parts not built yet: each records its call and does only what
// its callers rely on.
#include "model/NotYetBuilt.h"

#include <algorithm>
#include <cstring>

#include "model/Attachments.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Records.h"
#include "model/Services.h"
#include "model/TopoGrid.h"

namespace {
bool NothingApplied(const char* routine) {
  NoteServiceCall(routine, nullptr);
  return false;
}
}  // namespace
bool ApplyColor(POINT, int32_t, int32_t, int32_t) { return NothingApplied("ApplyColor"); }
bool ApplyTexture(POINT, int32_t) { return NothingApplied("ApplyTexture"); }
bool ApplyMoulding(POINT, int32_t) { return NothingApplied("ApplyMoulding"); }
bool ApplyCustomTextureImage(POINT, SymEntryInfo*) { return NothingApplied("ApplyCustomTextureImage"); }
bool ApplyCustomMoulding(POINT, SymEntryInfo*) { return NothingApplied("ApplyCustomMoulding"); }
