// libFuzzer target: a content provider's descriptor of arbitrary bytes, whose logo is a file of
// the same bytes, as the providers window reads it: every field stays within its size and the
// contact text is made without reading past them.
#include <QCoreApplication>
#include <cstring>

#include "FuzzSupport.h"
#include "content/ContentProviderController.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Logo names a descriptor may give (the descriptor itself included).
  for (const char* name : {"logo.png", "LOGO.PNG", "p.qpi"}) fuzz::WriteInput(name, data, size);
  const ContentProviderEntry entry(fuzz::ScratchFolder() + "/p.qpi");
  auto ended = [](const auto& field) { return std::memchr(field, 0, sizeof field) != nullptr; };
  if (!ended(entry.vendor) || !ended(entry.vendorURL) || !ended(entry.addr1) || !ended(entry.addr2) ||
      !ended(entry.cityStateZip) || !ended(entry.country) || !ended(entry.phone) || !ended(entry.fax) ||
      !ended(entry.description))
    abort();
  if (!entry.vendorImage.isNull() && entry.vendorImage.size() != QSize(96, 96)) abort();
  (void)entry.contactInfo();
  return 0;
}
