// libFuzzer target: a catalogue, paint file and information file of arbitrary bytes read by
// the content library manager (category names, paint colours, descriptions).
#include <filesystem>

#include "FuzzSupport.h"
#include "content/ContentLibraryManager.h"
#include "platform/ContentPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::OpenDesign();
  const std::string root = fuzz::ScratchFolder() + "/shared";
  static const bool made = [&] {
    std::filesystem::create_directories(root + "/QVRA/Paint/Warm");
    std::filesystem::create_directories(root + "/QVRA/Objects/Chairs");
    SetUserSharedRoot(root);
    return true;
  }();
  (void)made;
  // The same bytes as every file the manager reads; each written directly (a file copy can be
  // cut short by the fuzzer's own timer signal).
  for (const char* name : {"shared/QVRA/ObjectCat.ini", "shared/QVRA/Paint/Warm/Warm.INI",
                           "shared/QVRA/Objects/Chairs/c.QOD", "shared/QVRA/Objects/Chairs/c.QOB",
                           "shared/QVRA/Objects/Chairs/c.QPV"})
    fuzz::WriteInput(name, data, size);
  auto& manager = ContentLibraryManager::sharedContentLibraryManager();
  ContentCategoryTree roots;
  manager.buildLibraryOfType(kLibraryObjects, &roots);
  // No category may name a folder outside its catalogue's folder.
  for (const auto& r : roots) {
    if (!IsSafeCategoryName(r->categoryName)) abort();
    for (const auto& child : r->children())
      if (!IsSafeCategoryName(child->categoryName)) abort();
  }
  ContentCategoryItem paint("Warm", root + "/QVRA/Paint/Warm", nullptr, kCategoryColors, kLibraryPaint);
  manager.rebuildSymEntryListForItem(&paint);
  for (size_t i = 0; i < paint.numberOfSymEntries(); ++i)
    if (paint.symEntryAtIndex(i)->textureColor.red > 255) abort();
  ContentCategoryItem chairs("Chairs", root + "/QVRA/Objects/Chairs", nullptr, kCategoryObjects, kLibraryObjects);
  manager.rebuildSymEntryListForItem(&chairs);
  return 0;
}
