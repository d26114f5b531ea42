// libFuzzer target: an image file read for a texture and put through the texture converters
// (RGBA at its own size, black keyed, framed). Whatever the bytes, the image is refused or
// converted within its own pixels.
#include <QCoreApplication>

#include <cstdlib>

#include "FuzzSupport.h"
#include "plandraw/PlatformAdapters.h"
#include "plandraw/qt/ImageLoader.h"
#include "render3d/TextureLoading.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("input.qtx", data, size);
  DIBImage* image = ApplePortDIBImageLoad(path.c_str());
  if (!image) return 0;
  if (image->pixels && (image->width < 1 || image->height < 1)) abort();
  uint8_t* rgba = ConvertTextureToRGBACustom(image->pixels, 1.0f, image->width, image->height);
  if (rgba) {
    SetTextureAlphaCustom(rgba, 0.0f, image->width, image->height);
    FrameImage(rgba, image->width, image->height);
    free(rgba);
  }
  FreeDIBImage(image);
  return 0;
}
