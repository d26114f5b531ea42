// Reading topography grid files: the grid part, then the topography objects into a fresh
// topography layer; all of it takes effect only when the whole file reads.
#include "files/TopoGridFile.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/DocStateBlock.h"
#include "files/FileTags.h"
#include "files/StreamState.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/TexturePaths.h"
#include "model/Services.h"
#include "model/Records.h"
#include "model/TopoGrid.h"
#include "platform/Alerts.h"
#include "platform/Strings.h"

namespace {

// What the grid part holds, read before anything is stored.
struct GridPart {
  float spacing = 0;
  FloatPoint lotSize;
  int16_t lotSizeUnits = 0;
  float left = 0, right = 0, top = 0, bottom = 0;
  int32_t rows = 0, columns = 0;
  float* grid = nullptr;  // malloc'd; null when a count is below 1
};

bool ReadGridPart(GridPart* part) {
  ReadFloat(&part->spacing);
  ReadFloat(&part->lotSize.floatH);
  ReadFloat(&part->lotSize.floatV);
  ReadShort(&part->lotSizeUnits);
  ReadFloat(&part->left);
  ReadFloat(&part->right);
  ReadFloat(&part->top);
  ReadFloat(&part->bottom);
  ReadLong(&part->rows);
  ReadLong(&part->columns);
  if (StreamFailed()) return false;
  if (part->rows < 1 || part->columns < 1) return true;  // no elevations follow
  const int64_t nodes = TopoGridNodeCount(part->rows, part->columns);
  if (nodes == 0 || static_cast<uint64_t>(nodes) * sizeof(float) > GetRemaining()) return false;
  part->grid = static_cast<float*>(calloc(static_cast<size_t>(nodes), sizeof(float)));
  if (!part->grid) return false;
  for (int64_t i = 0; i < nodes; ++i) ReadFloat(&part->grid[i]);
  if (StreamFailed()) {
    free(part->grid);
    part->grid = nullptr;
    return false;
  }
  return true;
}

void ApplyGridPart(GridPart* part, DocState* ds) {
  ds->topoGridSpacing = part->spacing;
  ds->lotSize = part->lotSize;
  ds->lotSizeUnits = part->lotSizeUnits;
  ds->planBounds.floatLeft = part->left;
  ds->planBounds.floatRight = part->right;
  ds->planBounds.floatTop = part->top;
  ds->planBounds.floatBottom = part->bottom;
  if (part->grid) AdoptTopoGrid(part->grid, part->rows, part->columns);
  part->grid = nullptr;
}

void ReportUnreadable(const char* path) {
  std::string info = LocalizedString(
      "The file '%s' might be damaged or created with a more recent version of Zelko! Grondel");
  if (size_t at = info.find("%s"); at != std::string::npos) info.replace(at, 2, path);
  ShowAlert("Unable to read topography file.", info, false);
}

// Reads the object stream of version `version` into a fresh "TopoLayer"; on success it
// replaces the document's topography layer, on failure the old one stays.
bool ReadTopographyObjects(ZLKDocumentModel* doc, int32_t version) {
  Layer* fresh = CreateLayer("TopoLayer", 1, 1, nullptr);
  if (!fresh) return false;
  Layer* old = doc->itsTopoLayer;
  doc->itsTopoLayer = fresh;
  const int32_t savedVersion = sInputVersion;
  const uint8_t savedOpen = gOpenSymbol, savedTopo = gReadingTopoLayer;
  sInputVersion = version;
  gOpenSymbol = gReadingTopoLayer = 1;
  const bool ok = InsertObjectsFromStream();
  sInputVersion = savedVersion;
  gOpenSymbol = savedOpen;
  gReadingTopoLayer = savedTopo;
  if (!ok) {
    DeleteLayer(fresh);
    doc->itsTopoLayer = old;
    return false;
  }
  doc->itsTopoLayer = old;
  DeleteLayer(old);
  doc->itsTopoLayer = fresh;
  for (Objex* o = fresh->firstObject; o;) {
    Objex* next = o->next;
    if (o->type != kObjTopography) DeleteObj(o);
    o = next;
  }
  SelectAllLayers(fresh, 2, 0);
  return true;
}

}  // namespace

bool DoReadGrid() {
  DocState* ds = CurDocState();
  if (!ds) return false;
  GridPart part;
  if (!ReadGridPart(&part)) return false;
  ApplyGridPart(&part, ds);
  return true;
}

int ReadTopoGridFile(char* path) {
  ZLKDocumentModel* doc = gCurDocument;
  if (!doc || !doc->itsDocState || !path) return 0;
  Validate512Pathname(path);
  if (!path[0] || !LoadInputFile(path, [](const uint8_t* head, size_t size) {
        return CheckVersionHead(head, size, {kVersionTopoGrid8000, kVersionTopoGrid9000});
      })) {
    SetupTopoGrid();
    return 0;
  }
  int32_t version = 0;
  ReadLong(&version);
  bool ok = version == kVersionTopoGrid8000 || version == kVersionTopoGrid9000;
  GridPart part;
  int32_t streamVersion = kVersionDesign10800;
  if (ok) ok = ReadGridPart(&part);
  if (ok && version == kVersionTopoGrid8000) {
    DoReadTemplateDocState80();
  } else if (ok) {
    ReadStdLong(&streamVersion);
    ok = IsDesignFileVersion(streamVersion);
  }
  ok = ok && !StreamFailed() && ReadTopographyObjects(doc, streamVersion);
  ReleaseInputBuffer();
  if (!ok) {
    free(part.grid);
    ReportUnreadable(path);
    SetupTopoGrid();
    return 0;
  }
  ApplyGridPart(&part, doc->itsDocState);
  return 1;
}
