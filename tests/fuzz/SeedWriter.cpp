// Writes seed inputs for the reader fuzz targets with the program's own writers: a small
// design with lines and shapes on two floors and groups in a group, saved as a design file, an
// undo snapshot, an object file, a private clipboard scrap and a palette file, and sample
// information files.
// Usage: fuzz_seed_writer <corpus folder>; each seed goes to <folder>/<target>/.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/ByteStream.h"
#include "files/Clipboard.h"
#include "files/DesignFile.h"
#include "files/ObjectFile.h"
#include "files/PaletteFile.h"
#include "files/PlugInFile.h"
#include "files/StreamState.h"
#include "model/CabinetState.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/HitTest.h"
#include "model/Palettes.h"
#include "model/Records.h"

namespace fs = std::filesystem;

namespace {

Objex* AddShape(int16_t type, bool closed, std::initializer_list<std::pair<float, float>> points, Layer* layer) {
  RGBColor colour{0x2000, 0x4000, 0x6000};
  Objex* o = CreateObject(type, closed, 1, &colour, &colour, 1, 6, 0, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr);
  if (!o) return nullptr;
  for (auto [x, z] : points) AppendPointToObject(CreatePoint(1, 0, 0, 0, 0, 0, x, 0, z, 0, 0, 0, 0, 0, 0, o), o);
  AppendObjectToLayer(o, layer);
  return o;
}

bool Save(const fs::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  for (const char* target : {"design_file", "design_3d", "undo_snapshot", "template_file", "cabinet_file",
                             "object_file", "clipboard_scrap", "palette_file", "ini_file", "texture_info", "plug_out_file", "plug_in_file", "custom_definition"})
    fs::create_directories(root / target);

  ZLKDocumentModel model;
  gCurDocument = &model;
  model.itsDocState = CreateDocState();
  Layer* first = CreateLayer("First Floor", 1, 1, nullptr);
  Layer* second = CreateLayer("Second Floor", 1, 0, nullptr);
  AppendLayerToDocument(first);
  AppendLayerToDocument(second);
  AppendLayerToDocument(CreateLayer("Third Floor", 1, 0, nullptr));
  if (DocPaletteList* palette = AddNewDocPaletteList()) palette->active = 1;
  AddShape(kObjLine, false, {{0, 0}, {120, 0}, {120, 96}}, first);
  AddShape(kObjRect, true, {{10, 10}, {60, 10}, {60, 40}, {10, 40}}, first);
  AddShape(kObjLine, false, {{-30, 5}, {30, -5}}, second);
  // A group holding a cabinet (with its state), a symbol of two parts and a line.
  Objex* group = AddShape(kObjGroup, false, {}, first);
  Objex* cabinet = AddShape(kObjGroup, false, {}, first);
  Objex* symbol = AddShape(kObjGroup, false, {}, first);
  if (auto* state = static_cast<CabinetState*>(calloc(1, sizeof(CabinetState)))) {
    state->angle = 45;
    cabinet->typeData = state;
    cabinet->subtype = kSubCabinet;
  }
  cabinet->baseElevation = 30;
  symbol->baseElevation = 20;
  auto into = [](Objex* member, Objex* owner) {
    UnlinkObject(member);
    AppendChildToObject(member, owner);
    member->layer = owner->layer;
  };
  for (float x : {200.0f, 240.0f}) {
    into(AddShape(kObjCabinet, true, {{x, 0}, {x + 30, 0}, {x + 30, 20}, {x, 20}}, first), cabinet);
    into(AddShape(kObjSymbolPart3D, true, {{x, 50}, {x + 30, 50}, {x + 30, 70}, {x, 70}}, first), symbol);
  }
  into(cabinet, group);
  into(symbol, group);
  into(AddShape(kObjLine, false, {{200, 100}, {300, 100}}, first), group);
  SelectAllLayers(model.itsLayers, kSelectOn, 0);

  int failures = 0;
  const fs::path design = root / "design_file" / "written-design.pro";
  if (KeyFileWrite(design.c_str()) != 1) ++failures;
  for (const char* copy : {"design_3d/written-design.pro", "undo_snapshot/written-snapshot.dat",
                           "template_file/written-design.pro", "cabinet_file/written-design.pro",
                           "custom_definition/written-design.pro"})
    fs::copy_file(design, root / copy, fs::copy_options::overwrite_existing);
  if (ObjectFileWrite((root / "object_file" / "written-objects.obj").c_str()) != 1) ++failures;
  if (PaletteFileWrite((root / "palette_file" / "written-palette.pal").c_str()) != 1) ++failures;
  DoCopyObjects();
  if (gStream.privateScrap && gStream.scrapLength)
    Save(root / "clipboard_scrap" / "written-scrap.bin",
         std::vector<uint8_t>(gStream.privateScrap, gStream.privateScrap + gStream.scrapLength));
  else
    ++failures;
  FreeScrap();
  // An exchange file, and a plug-out file replacing the first shape and adding the rest.
  if (!PlugInFileWrite((root / "plug_in_file" / "written-data.qxf").c_str(), 131, 0, 11000)) ++failures;
  BeginOutputBuffer();
  sWriteVersion = kVersionExchange11000;
  WriteStdULong(131);
  WriteStdULong(kVersionExchange11000);
  WriteStdUShort(2);
  WriteStdUShort(kTagExchangeReplaceObject);
  WriteStdULong(first->firstObject->objectID);
  for (Layer* l = model.itsLayers; l; l = l->next)
    for (Objex* o = l->firstObject; o; o = o->next) WriteAPlugInObject(o);
  WriteStdUShort(kTagExchangeObjectsEnd);
  Save(root / "plug_out_file" / "written-plugout.qxf", gStream.outDataBuffer);
  ReleaseOutputBuffer();
  std::ofstream(root / "ini_file" / "style.ini") << "[Style]\r\nObject2D=1\r\n\r\n[Other]\nKey = value = more\n";
  std::ofstream(root / "texture_info" / "texture.QTI") << "[Size]\nWidth=144\nHeight=96\n[Opacity]\nAlpha=1\n";

  ReleaseModelContents(&model);
  gCurDocument = nullptr;
  return failures == 0 ? 0 : 1;
}
