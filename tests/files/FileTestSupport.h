// Small helpers the file tests share: whole files as bytes, and counting a layer's objects.
#pragma once
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/Records.h"

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& b) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// The top-level objects of a layer (0 for none).
inline size_t CountObjects(const Layer* l) {
  size_t n = 0;
  for (const Objex* o = l ? l->firstObject : nullptr; o; o = o->next) ++n;
  return n;
}
