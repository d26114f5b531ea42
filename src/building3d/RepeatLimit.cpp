// The shared bound on the builders' loops and the one alert per build, open or rebuild that
// reports it.
#include "building3d/RepeatLimit.h"

#include <cmath>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/Alerts.h"

namespace {

// The objects of the RepeatLimitReport objects alive, outermost first (null for none).
std::vector<const Objex*>& ReportObjects() {
  static std::vector<const Objex*> objects;
  return objects;
}
// Objects whose loops were cut since the outermost report began; a cut under reports that
// name no object counts once.
std::unordered_set<const Objex*>& LimitedObjects() {
  static std::unordered_set<const Objex*> objects;
  return objects;
}
bool sUnnamedReached = false;

void TellUser(size_t objects) {
  const std::string limit = std::to_string(kMaxRepeats);
  const std::string who = objects == 1 ? std::string("One object of this design asks")
                                       : std::to_string(objects) + " objects of this design ask";
  ShowAlert("Some parts were built with fewer pieces than the design asks for.",
            who + " for more than " + limit +
                " parts or curve samples in one run (a spacing or curve setting). Such runs were built with " +
                limit + ".");
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
  const std::vector<const Objex*>& reports = ReportObjects();
  if (reports.empty()) {
    TellUser(1);
    return;
  }
  for (auto it = reports.rbegin(); it != reports.rend(); ++it) {
    if (*it) {
      LimitedObjects().insert(*it);
      return;
    }
  }
  sUnnamedReached = true;
}

RepeatLimitReport::RepeatLimitReport(const Objex* object) {
  if (ReportObjects().empty()) {
    LimitedObjects().clear();
    sUnnamedReached = false;
  }
  ReportObjects().push_back(object);
}

RepeatLimitReport::~RepeatLimitReport() {
  ReportObjects().pop_back();
  if (!ReportObjects().empty()) return;
  const size_t objects = LimitedObjects().size() + (sUnnamedReached ? 1 : 0);
  LimitedObjects().clear();
  sUnnamedReached = false;
  if (objects) TellUser(objects);
}
