// libFuzzer target: lengths, angles and pitches typed into the inspectors and sheets, as text of
// arbitrary bytes, in imperial and metric designs. The parsers must stay defined for any text,
// and read what the typed-number check takes as the check does; a pitch typed over its field's
// run reads as the rise typed alone.
#include <string>

#include "FuzzSupport.h"
#include "inspectors/ValueFields.h"
#include "model/DocState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZLKDocumentModel* design = fuzz::OpenDesign();
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Line ends, which the check trims and the parsers do not, aside: an entry the check takes
  // reads as the same number through the parser behind it.
  const bool oneLine = text.find_first_of("\r\n") == std::string::npos;
  const auto same = [&](NumberKind kind, float parsed) {
    const TypedNumber n = CheckTypedNumber(text, kind);
    if (oneLine && n.accepted && n.value != parsed) __builtin_trap();
  };
  for (int16_t system : {kMeasureImperial, kMeasureMetric}) {
    design->itsDocState->measureSystem = system;
    same(NumberKind::kLength, ParseLengthText(text));
    same(NumberKind::kAngle, ParseAngleText(text, false));
    (void)ParseAngleText(text, true);
    same(NumberKind::kPitch, ParsePitchText(text));
    // A rise typed over the run its field shows is that rise.
    if (oneLine && text.find(':') == std::string::npos) {
      const TypedNumber rise = CheckTypedNumber(text, NumberKind::kPitch);
      const TypedNumber over = CheckTypedNumber(text + (system == kMeasureImperial ? ":12" : ":10"), NumberKind::kPitch);
      if (rise.accepted && over.accepted && rise.value != over.value) __builtin_trap();
    }
    for (NumberKind kind : {NumberKind::kLength, NumberKind::kAngle, NumberKind::kRadians, NumberKind::kPitch,
                            NumberKind::kPitchAngle, NumberKind::kWhole, NumberKind::kDecimal})
      (void)CheckTypedNumber(text, kind);
    // A size in whole feet or meters (the lot's): taken only as a whole count.
    const TypedNumber units = CheckTypedWholeUnits(text, system == kMeasureImperial ? 12.0f : 39.37f);
    if (units.accepted && units.value != static_cast<float>(units.whole)) __builtin_trap();
  }
  std::string first = text.substr(0, size / 2), second = text.substr(size / 2);
  (void)TokenizeInches(first.data(), second.data());
  return 0;
}
