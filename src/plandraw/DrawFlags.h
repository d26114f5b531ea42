// The draw flags passed down every plan drawing routine.
#pragma once
#include <cstdint>

enum : int32_t {
  kDrawFlagAll = 1,          // every object
  kDrawFlagSelected = 2,     // only selected objects
  kDrawFlagRed = 4,          // opaque red
  kDrawFlagRedAlt = 8,       // opaque red
  kDrawFlagTranslate = 16,   // the tracking transform applies to every point
  kDrawFlagScale = 32,
  kDrawFlagShear = 64,
  kDrawFlagRotate = 128
};
