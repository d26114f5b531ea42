// Cabinet state records and cabinet files.
#include "files/CabinetFile.h"

#include <cstdlib>

#include "files/ByteStream.h"
#include "files/DesignFile.h"
#include "files/ObjectRecords.h"
#include "files/PaletteFile.h"
#include "files/StreamState.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Grouping.h"
#include "model/PlanarTransforms.h"
#include "model/Records.h"
#include "model/Selection.h"
#include "platform/Alerts.h"

namespace {
void WriteStdFloats(const float* v, int n) {
  for (int i = 0; i < n; ++i) WriteStdFloat(v[i]);
}
void ReadStdFloats(float* v, int n) {
  for (int i = 0; i < n; ++i) ReadStdFloat(&v[i]);
}
void WritePad() { WriteSome("\0", 1); }
void SkipPad() { SkipSome(1); }
}  // namespace

void ApplePortWritePaddedCabinetState(const CabinetState* s) {
  if (!s) return;
  WriteStdFloat(s->angle);
  WriteStdLong(s->value2);
  WriteStdFloats(s->values3, 15);
  WriteSome(&s->flag18, 1);
  WritePad();
  WriteStdFloats(s->values19, 3);
  WriteStdLong(s->value22);
  WriteStdFloats(s->values23, 4);
  WriteSome(&s->flag27, 1);
  WritePad();
  WriteStdFloats(s->values28, 2);
  WriteStdLong(s->value30);
  WriteStdFloats(s->values31, 6);
  WriteStdLong(s->value37);
  WriteStdFloat(s->value38);
  WriteStdShort(s->value39);
  WriteStdFloat(s->value40);
  WriteStdFloat(s->elevation);
}

void ApplePortReadPaddedCabinetState(CabinetState* s) {
  if (!s) return;
  ReadStdFloat(&s->angle);
  ReadStdLong(&s->value2);
  ReadStdFloats(s->values3, 15);
  ReadSome(&s->flag18, 1);
  SkipPad();
  ReadStdFloats(s->values19, 3);
  ReadStdLong(&s->value22);
  ReadStdFloats(s->values23, 4);
  ReadSome(&s->flag27, 1);
  SkipPad();
  ReadStdFloats(s->values28, 2);
  ReadStdLong(&s->value30);
  ReadStdFloats(s->values31, 6);
  ReadStdLong(&s->value37);
  ReadStdFloat(&s->value38);
  ReadStdShort(&s->value39);
  ReadStdFloat(&s->value40);
  ReadStdFloat(&s->elevation);
}

void DoWriteCabinetState(const CabinetState* state) {
  if (!state) return;
  WriteLong(kCabinetStateFraming);
  ApplePortWritePaddedCabinetState(state);
}

CabinetState* DoReadCabinetState() {
  auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)));
  if (!state) return nullptr;
  int32_t framing = 0;
  ReadLong(&framing);
  ApplePortReadPaddedCabinetState(state);
  DocState* ds = CurDocState();
  // An inserted cabinet stands on the document's base elevation; a pasted one (read through
  // the insert path too) keeps the elevation it was copied at.
  if (gOpenSymbol && !gScrapMode && ds) state->elevation = ds->baseElevation;
  return state;
}

void DoWriteCabinetObjects(Objex* firstChild) {
  for (Objex* o = firstChild; o; o = o->next) WriteAnObject(o);
  WriteShort(kTagObjectsEnd);
}

int CabinetFileWrite(const char* path) {
  sWriteVersion = kVersionDesign11000;
  if (!gCurDocument || !gCurDocument->itsCurLayer) return 0;
  Objex* group = nullptr;
  for (Objex* o = gCurDocument->itsCurLayer->firstObject; o; o = o->next) {
    if (IsObjectSelected(o) && (o->type == kObjCabinet || o->subtype == kSubCabinet)) {
      group = GetRootObject(o);
      break;
    }
  }
  sWriteVersion = kVersionDesign11100;
  if (!group || !group->typeData) return 0;
  sWriteVersion = kVersionDesign11000;
  auto* state = static_cast<CabinetState*>(group->typeData);
  state->elevation = group->baseElevation;
  BeginOutputBuffer();
  DoWriteHeader();
  DoWriteCabinetState(state);
  DoWriteCabinetObjects(group->firstChild);
  DoWritePalettes(kVersionDesign11000);
  bool written = WriteOutputFile(path);
  ReleaseOutputBuffer();
  sWriteVersion = kVersionDesign11100;
  if (written) return 1;
  ShowAlert("Unable to write the cabinet file.",
            "Please ensure that adequate disk space exists on your hard drive.");
  return 0;
}

static void LowerCabinetPart(Objex* obj, const DocState* ds);

// The selected cabinet parts that follow `before` on `layer` (all of them when it is null).
static void LowerReadCabinetParts(Layer* layer, Objex* before) {
  DocState* ds = CurDocState();
  if (!layer || !ds) return;
  for (Objex* o = before ? before->next : layer->firstObject; o; o = o->next)
    if (o->type == kObjCabinet && IsObjectSelected(o)) LowerCabinetPart(o, ds);
}

static bool IsAcceptedCabinetVersion(int32_t v) {
  return IsDesignFileVersion(v) && v >= kVersionDesign10450;
}

int CabinetFileRead(const char* path, CabinetState** outState) {
  if (!outState || !gCurDocument || !path) return 0;
  if (!LoadInputFile(path, [](const uint8_t* head, size_t size) {
        return CheckVersionHead(head, size, {kVersionDesign10450, kVersionDesign10500, kVersionDesign10700,
                                             kVersionDesign10701, kVersionDesign10750, kVersionDesign10800,
                                             kVersionDesign10900, kVersionDesign11000, kVersionDesign11100});
      }))
    return 0;
  DoReadHeader();
  *outState = nullptr;
  if (IsAcceptedCabinetVersion(sInputVersion)) {
    CabinetState* state = DoReadCabinetState();
    *outState = state;
    if (state && !StreamFailed()) {
      // The parts are appended to the current layer: only those are lowered, not cabinet
      // parts of the design that happen to be selected.
      Layer* layer = gCurDocument->itsCurLayer;
      Objex* before = layer ? layer->firstObject : nullptr;
      while (before && before->next) before = before->next;
      gCabinetOpen = gOpenSymbol = 1;
      bool ok = InsertObjectsFromStream();
      gCabinetOpen = gOpenSymbol = 0;
      ReleaseInputBuffer();
      if (ok) {
        LowerReadCabinetParts(layer, before);
        return 1;
      }
      free(state);
      *outState = nullptr;
      ShowAlert("Unable to load the cabinet file.",
                "Please ensure the file is not damaged and was not created by a newer version of Zelko! Kastwise.");
      return 0;
    }
    free(state);
    *outState = nullptr;
  }
  ShowAlert("Unable to load the cabinet file.",
            "Please ensure the file is not damaged and was not created by a newer version of Zelko! Kastwise.");
  ReleaseInputBuffer();
  return 0;
}

static void LowerCabinetPart(Objex* obj, const DocState* ds) {
  float e = ConvertWorldToScreen(obj->baseElevation, ds, 0);
  for (Poinz* p = obj->firstPoint; p; p = p->next) p->position[1] -= e;
  obj->baseElevation = 0;
}

void AdjustCabinetObjectElevation() {
  DocState* ds = CurDocState();
  if (!ds) return;
  for (Layer* l = gCurDocument->itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next)
      if (o->type == kObjCabinet && IsObjectSelected(o)) LowerCabinetPart(o, ds);
}

void AdjustTheCabinetObjectElevation(Objex* obj) {
  DocState* ds = CurDocState();
  if (!obj || !ds) return;
  if (obj->type == kObjCabinet) LowerCabinetPart(obj, ds);
  for (Objex* c = obj->firstChild; c; c = c->next)
    if (c->type == kObjCabinet && IsObjectSelected(c)) LowerCabinetPart(c, ds);
}
