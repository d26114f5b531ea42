// libFuzzer target: the information file of a custom texture (its size and opacity) made
// of arbitrary bytes, read the way texture scaling reads it.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "model/CustomTextures.h"
#include "platform/ContentPaths.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* open = fuzz::OpenDesign();
  static const int32_t id = [] {
    SetUserSharedRoot(fuzz::ScratchFolder());
    std::filesystem::create_directories(LocalDomainCustomTexturePath());
    AddCustomTextureID(20001, "fuzz.jpg");
    return 20001;
  }();
  // What earlier inputs gave is kept by texture id: dropped, so that this input is read.
  ForgetStockTextureSizes();
  char info[512] = {};
  GetCustomTextureInfoFileNameFromID(id, info, sizeof info);
  if (!info[0]) abort();
  const std::string name = std::filesystem::path(info).filename().string();
  const std::string written = fuzz::WriteInput("input.QTI", data, size);
  std::filesystem::rename(written, info);
  int32_t width = 0, height = 0;
  LoadCustomTextureWH(id, &width, &height);
  const uint8_t alpha = LoadCustomTextureAlpha(id);
  // Each input gives its own answer, never one read from an earlier input.
  if (width != GetPrivateProfileInt("Size", "Width", -1, info) ||
      height != GetPrivateProfileInt("Size", "Height", -1, info) ||
      alpha != (GetPrivateProfileInt("Opacity", "Alpha", 0, info) != 0))
    abort();
  float u = 0, v = 0;
  ComputeTextureScale(id, 120.0f, 96.0f, &u, &v);
  (void)open;
  (void)name;
  return 0;
}
