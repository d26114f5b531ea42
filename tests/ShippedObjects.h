// The object entries of the shipped library: their object files and the size each entry's
// information file describes.
#pragma once
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The object files (.QOB) under `folder`, in name order.
inline std::vector<std::filesystem::path> ShippedObjectFiles(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.path().extension() == ".QOB") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// The "W x D x H cm" of the entry's ObjectDescription line; false when it has none.
inline bool DescribedSize(const std::filesystem::path& objectFile, float* w, float* d, float* h,
                          std::string* description) {
  std::ifstream info(std::filesystem::path(objectFile).replace_extension(".QOD"));
  std::string line;
  description->clear();
  while (std::getline(info, line))
    if (line.rfind("ObjectDescription=", 0) == 0) *description = line.substr(18);
  return std::sscanf(description->c_str(), "%f x %f x %f cm", w, d, h) == 3;
}
