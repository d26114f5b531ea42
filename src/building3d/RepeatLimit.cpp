// The shared bound on the builders' loops and the one alert per build that reports it.
#include "building3d/RepeatLimit.h"

#include <cmath>
#include <string>

#include "platform/Alerts.h"

namespace {

int sDepth = 0;         // RepeatLimitReport objects alive
bool sReached = false;  // a loop was cut since the outermost report began

void TellUser() {
  const std::string limit = std::to_string(kMaxRepeats);
  ShowAlert("Some parts were built with fewer pieces than the design asks for.",
            "A spacing or curve setting of this design asks for more than " + limit +
                " parts or curve samples in one run. Such runs were built with " + limit + ".");
}

}  // namespace

int32_t LimitRepeats(double wanted) {
  if (!(wanted >= 1)) return 1;
  if (wanted > kMaxRepeats) {
    NoteRepeatLimitReached();
    return kMaxRepeats;
  }
  return static_cast<int32_t>(wanted);
}

float LimitSpacing(float length, float spacing) {
  if (!(length > 0) || !std::isfinite(length)) return spacing;
  if (spacing > 0 && static_cast<double>(length) / spacing <= kMaxRepeats) return spacing;
  NoteRepeatLimitReached();
  return length / static_cast<float>(kMaxRepeats);
}

void NoteRepeatLimitReached() {
  if (sDepth > 0) {
    sReached = true;
    return;
  }
  TellUser();
}

RepeatLimitReport::RepeatLimitReport() {
  if (sDepth++ == 0) sReached = false;
}

RepeatLimitReport::~RepeatLimitReport() {
  if (--sDepth > 0 || !sReached) return;
  sReached = false;
  TellUser();
}
