// libFuzzer target: restoring an undo snapshot from arbitrary bytes. A refused snapshot
// leaves the design as it was; nothing crashes, over-reads, leaks or hangs.
#include "FuzzSupport.h"
#include "files/Undo.h"
#include "platform/TemporaryFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ScratchFolder();
  ZLKDocumentModel* open = fuzz::OpenDesign();
  CreateApplicationTemporaryFolder();
  const std::string path = ApplicationTemporaryPath() + "/snapshot_1.dat";
  {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) abort();
    if (size && ::write(fd, data, size) != ssize_t(size)) abort();
    ::close(fd);
  }
  Layer* before = open->itsLayers;
  if (!RestoreState(path.c_str()) && open->itsLayers != before) abort();
  gUndoActive = 1;
  fuzz::EmptyFloors(open);
  return 0;
}
