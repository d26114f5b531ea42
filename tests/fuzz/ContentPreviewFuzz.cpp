// libFuzzer target: the content library's preview loader on arbitrary bytes (entry previews,
// plant and texture pictures, provider logos). A picture is either a cell of the asked size
// or none; no input may make it allocate beyond the image loader's limits or crash.
#include <QCoreApplication>
#include <QImage>

#include "FuzzSupport.h"
#include "content/ContentView.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("input.QPV", data, size);
  for (bool recolour : {false, true}) {
    const QImage cell = LoadPreviewImage(path, 48, recolour);
    if (!cell.isNull() && cell.size() != QSize(48, 48)) abort();
  }
  return 0;
}
