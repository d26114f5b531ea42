// libFuzzer target: the image loader on arbitrary bytes. An image is either read or
// refused with a reason; no input may make it allocate beyond its limits or crash.
#include <QCoreApplication>
#include <QImage>
#include <QString>

#include "FuzzSupport.h"
#include "plandraw/qt/ImageLoader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("input.img", data, size);
  QString error;
  const QImage image = LoadImageFile(QString::fromStdString(path), &error);
  if (image.isNull() == error.isEmpty()) abort();  // a refusal always says why
  if (!image.isNull() && qint64(image.sizeInBytes()) > (qint64(kImageAllocationLimitMB) << 20)) abort();
  return 0;
}
