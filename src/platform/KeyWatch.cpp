// The installed key watch; the default reports no key.
#include "platform/KeyWatch.h"

namespace {
KeyWatch* sWatch = nullptr;
}

void SetKeyWatch(KeyWatch* watch) { sWatch = watch; }
KeyWatch* CurrentKeyWatch() { return sWatch; }
int32_t TakeKeyDown() { return sWatch ? sWatch->takeKeyDown() : -1; }
