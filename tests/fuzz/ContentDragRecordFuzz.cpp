// libFuzzer target: decoding a content drag record of arbitrary bytes, each field reader on
// its own, and the record of the decoded entry read back.
#include <cstdlib>
#include <vector>

#include "content/SymEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy so that any read past the end is caught.
  std::vector<uint8_t> bytes(data, data + size);
  SymEntryInfo entry;
  decodeSymEntryWithData(&entry, bytes.data(), bytes.size());
  size_t at = size > 0 ? size - 1 : 0;
  decodeShortFromData(bytes.data(), bytes.size(), &at);
  decodeUShortFromData(bytes.data(), bytes.size(), &at);
  decodeLongFromData(bytes.data(), bytes.size(), &at);
  decodeUnsignedFromData(bytes.data(), bytes.size(), &at);
  std::string text;
  at = 0;
  decodeStringOfLength(static_cast<uint32_t>(size), bytes.data(), bytes.size(), &at, &text);
  const std::vector<uint8_t> again = encodeSymEntry(entry);
  SymEntryInfo back;
  decodeSymEntryWithData(&back, again.data(), again.size());
  if (back.type != entry.type || back.textureID != entry.textureID || back.objectDescription != entry.objectDescription)
    abort();
  return 0;
}
