// What the reader fuzz targets share: an open design with its three floors, a private
// scratch folder for inputs that readers take by path, and emptying the design between runs.
#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "files/ByteStream.h"
#include "model/Delete.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/Records.h"

namespace fuzz {

// The open design every target reads into, made once.
inline ZLKDocumentModel* OpenDesign() {
  static ZLKDocumentModel* model = [] {
    auto* m = new ZLKDocumentModel;
    gCurDocument = m;
    m->itsDocState = CreateDocState();
    AppendLayerToDocument(CreateLayer("First Floor", 1, 1, nullptr));
    AppendLayerToDocument(CreateLayer("Second Floor", 1, 0, nullptr));
    AppendLayerToDocument(CreateLayer("Third Floor", 1, 0, nullptr));
    return m;
  }();
  gCurDocument = model;
  return model;
}

// Removes whatever a run added to the design's floors, so that runs stay independent.
inline void EmptyFloors(ZLKDocumentModel* model) {
  for (Layer* l = model->itsLayers; l; l = l->next) DeleteLayerObjects(l);
}

// A folder of our own (the runtime folder, so that snapshot rules hold for it too).
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/casa-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) abort();
    setenv("XDG_RUNTIME_DIR", made, 1);
    return std::string(made);
  }();
  static const bool tidied = [] {
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchFolder(), ec);
    });
    return true;
  }();
  (void)tidied;
  return folder;
}

// Writes the input as the file `name` in the scratch folder and returns its path.
inline std::string WriteInput(const char* name, const uint8_t* data, size_t size) {
  std::string path = ScratchFolder() + "/" + name;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) abort();
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;  // the fuzzer's timer signal
    if (n <= 0) abort();
    done += size_t(n);
  }
  ::close(fd);
  return path;
}

}  // namespace fuzz
