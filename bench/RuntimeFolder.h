// A private runtime folder for one benchmark program: the design's temporary files (undo
// snapshots, exchange files) go there, and it goes with the program.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

struct RuntimeFolder {
  std::filesystem::path path;
  explicit RuntimeFolder(const char* prefix) {
    path = std::filesystem::temp_directory_path() / (std::string(prefix) + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    chmod(path.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
  }
  ~RuntimeFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};
