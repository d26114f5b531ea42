#include "content/SymEntry.h"

#include <algorithm>
#include <cstring>

#include "model/ColorConversions.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"

namespace {

void SetText(std::string* field, const char* text) {
  if (text) *field = text;
  else field->clear();
}

template <typename T>
void Append(std::vector<uint8_t>* out, T value) {
  uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out->insert(out->end(), bytes, bytes + sizeof(T));
}

void AppendText(std::vector<uint8_t>* out, const std::string& text) {
  Append<uint32_t>(out, static_cast<uint32_t>(text.size()));
  out->insert(out->end(), text.begin(), text.end());
}

template <typename T>
T Read(const uint8_t* data, size_t size, size_t* index) {
  if (!data || !index || *index > size || size - *index < sizeof(T)) return T{};
  T value;
  std::memcpy(&value, data + *index, sizeof(T));
  *index += sizeof(T);
  return value;
}

uint16_t Clamp255(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 255)); }

}  // namespace

void initWithPreviewPath(SymEntryInfo* entry, const char* preview, const char* info, const char* data,
                         const char* description, int32_t identifier, int16_t entryType) {
  if (!entry) return;
  *entry = SymEntryInfo{};
  SetText(&entry->objectPreview, preview);
  SetText(&entry->objectInfo, info);
  SetText(&entry->objectData, data);
  SetText(&entry->objectDescription, description);
  entry->type = entryType;
  entry->refNum = identifier;
}

void initWithPreviewPath(SymEntryInfo* entry, const char* preview, const char* info, const char* data,
                         const char* description, int32_t textureID, int32_t identifier,
                         int16_t entryType) {
  initWithPreviewPath(entry, preview, info, data, description, identifier, entryType);
  if (entry) entry->textureID = textureID;
}

void initWithColorIndex(SymEntryInfo* entry, int32_t colorIndex, int32_t identifier, int16_t entryType) {
  if (!entry) return;
  *entry = SymEntryInfo{};
  // Without a design there is no colour table: the entry stays blank.
  const DocState* ds = gCurDocument ? gCurDocument->itsDocState : nullptr;
  if (!ds) return;
  entry->type = entryType;
  entry->refNum = identifier;
  entry->colorIndex = colorIndex;
  if (colorIndex < 0 || colorIndex >= 72) return;
  const auto value = static_cast<uint32_t>(ds->colorTable[colorIndex]);
  entry->textureColor.red = value & 0xFF;
  entry->textureColor.green = (value >> 8) & 0xFF;
  entry->textureColor.blue = (value >> 16) & 0xFF;
}

void initWithColorIndexHue(SymEntryInfo* entry, int32_t step, int32_t hue, int32_t identifier,
                           int16_t entryType) {
  if (!entry) return;
  *entry = SymEntryInfo{};
  entry->type = entryType;
  entry->refNum = identifier;
  entry->colorIndex = step;
  HSVColor hsv;
  hsv.hue = static_cast<uint16_t>(std::clamp(hue, 0, 255) * 257);
  if (step <= 25) {
    hsv.saturation = static_cast<uint16_t>(std::clamp(step, 0, 25) * 2570);
    hsv.value = 65535;
  } else {
    hsv.saturation = 65535;
    hsv.value = static_cast<uint16_t>(std::max(0, 65535 - 2570 * (step - 25)));
  }
  RGBColor rgb;
  HSVtoRGB(&hsv, &rgb);
  entry->textureColor = {static_cast<uint16_t>(rgb.red / 257), static_cast<uint16_t>(rgb.green / 257),
                         static_cast<uint16_t>(rgb.blue / 257)};
}

void initWithRed(SymEntryInfo* entry, int32_t red, int32_t green, int32_t blue, const char* description,
                 int32_t identifier, int16_t entryType) {
  if (!entry) return;
  *entry = SymEntryInfo{};
  entry->type = entryType;
  entry->refNum = identifier;
  entry->textureColor = {Clamp255(red), Clamp255(green), Clamp255(blue)};
  SetText(&entry->objectDescription, description);
}

std::vector<uint8_t> encodeSymEntry(const SymEntryInfo& entry) {
  std::vector<uint8_t> out;
  out.reserve(40 + entry.objectPreview.size() + entry.objectData.size() + entry.objectInfo.size() +
              entry.objectDescription.size());
  Append<int16_t>(&out, entry.type);
  Append<int32_t>(&out, entry.refNum);
  Append<int32_t>(&out, entry.colorIndex);
  Append<int32_t>(&out, entry.textureID);
  Append<int16_t>(&out, entry.textureScale.x);
  Append<int16_t>(&out, entry.textureScale.y);
  Append<uint16_t>(&out, entry.textureColor.red);
  Append<uint16_t>(&out, entry.textureColor.green);
  Append<uint16_t>(&out, entry.textureColor.blue);
  AppendText(&out, entry.objectPreview);
  AppendText(&out, entry.objectData);
  AppendText(&out, entry.objectInfo);
  AppendText(&out, entry.objectDescription);
  return out;
}

int16_t decodeShortFromData(const uint8_t* data, size_t size, size_t* index) {
  return Read<int16_t>(data, size, index);
}
uint16_t decodeUShortFromData(const uint8_t* data, size_t size, size_t* index) {
  return Read<uint16_t>(data, size, index);
}
int32_t decodeLongFromData(const uint8_t* data, size_t size, size_t* index) {
  return Read<int32_t>(data, size, index);
}
uint32_t decodeUnsignedFromData(const uint8_t* data, size_t size, size_t* index) {
  return Read<uint32_t>(data, size, index);
}

bool decodeStringOfLength(uint32_t n, const uint8_t* data, size_t size, size_t* index, std::string* out) {
  if (n == 0 || !data || !index || !out || *index > size || size - *index < n) return false;
  out->assign(reinterpret_cast<const char*>(data + *index), n);
  // The text ends at its first NUL, as a terminated copy would.
  out->resize(std::strlen(out->c_str()));
  *index += n;
  return true;
}

bool decodeSymEntryWithData(SymEntryInfo* entry, const uint8_t* data, size_t size) {
  if (!entry || !data || size == 0) return false;
  size_t at = 0;
  entry->type = decodeShortFromData(data, size, &at);
  entry->refNum = decodeLongFromData(data, size, &at);
  entry->colorIndex = decodeLongFromData(data, size, &at);
  entry->textureID = decodeLongFromData(data, size, &at);
  entry->textureScale.x = decodeShortFromData(data, size, &at);
  entry->textureScale.y = decodeShortFromData(data, size, &at);
  entry->textureColor.red = decodeUShortFromData(data, size, &at);
  entry->textureColor.green = decodeUShortFromData(data, size, &at);
  entry->textureColor.blue = decodeUShortFromData(data, size, &at);
  std::string* texts[] = {&entry->objectPreview, &entry->objectData, &entry->objectInfo,
                          &entry->objectDescription};
  for (std::string* text : texts) {
    // Length 0 keeps the field; a text whose bytes are not all there is absent.
    const uint32_t n = decodeUnsignedFromData(data, size, &at);
    if (n != 0 && !decodeStringOfLength(n, data, size, &at, text)) text->clear();
  }
  return true;
}

namespace content {
bool DecodeSymEntryWithData(const uint8_t* data, size_t size, SymEntryInfo* entry) {
  if (!entry) return false;
  *entry = SymEntryInfo{};
  return decodeSymEntryWithData(entry, data, size);
}
}  // namespace content
