// libFuzzer target: inserting a template file of arbitrary bytes, and reading the same bytes
// as one template object record. A refused template adds nothing; nothing crashes,
// over-reads, leaks or hangs.
#include "FuzzSupport.h"
#include "files/ByteStream.h"
#include "files/FileTags.h"
#include "files/StreamState.h"
#include "files/TemplateFile.h"
#include "model/DocumentModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  const std::string path = fuzz::WriteInput("input.pro", data, size);
  TemplateFileRead(path.c_str());
  fuzz::EmptyFloors(open);
  // One object record on its own, as of a current file.
  gCurDocument = open;
  const int32_t version = sInputVersion;
  sInputVersion = kVersionDesign11100;
  SetInputBuffer(data, size);
  ReadATemplateObject(open->itsCurLayer, 1);
  ReleaseInputBuffer();
  sInputVersion = version;
  fuzz::EmptyFloors(open);
  return 0;
}
