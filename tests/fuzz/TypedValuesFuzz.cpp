// libFuzzer target: lengths, angles and pitches typed into the inspectors and sheets, as text of
// arbitrary bytes, in imperial and metric designs. The parsers must stay defined for any text.
#include <string>

#include "FuzzSupport.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* design = fuzz::OpenDesign();
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int16_t system : {kMeasureImperial, kMeasureMetric}) {
    design->itsDocState->measureSystem = system;
    (void)ParseLengthText(text);
    (void)ParseAngleText(text, false);
    (void)ParseAngleText(text, true);
    (void)ParsePitchText(text);
    for (NumberKind kind : {NumberKind::kLength, NumberKind::kAngle, NumberKind::kRadians, NumberKind::kPitch,
                            NumberKind::kPitchAngle, NumberKind::kWhole, NumberKind::kDecimal})
      (void)CheckTypedNumber(text, kind);
  }
  std::string first = text.substr(0, size / 2), second = text.substr(size / 2);
  (void)TokenizeInches(first.data(), second.data());
  return 0;
}
