// Key presses a long render looks for while it runs (Escape stops it). The 3D window installs
// a watch that hands over the keys pressed in it and passes no other input on; without one no
// key is ever reported.
#pragma once
#include <cstdint>
#include <deque>

// The key code of Escape as the watch reports it.
constexpr int32_t kKeyWatchEscape = 53;

class KeyWatch {
 public:
  virtual ~KeyWatch() = default;
  // Takes the next key pressed since the last call off the queue, without waiting: its key
  // code, or -1 when none waits.
  virtual int32_t takeKeyDown() = 0;
};

// Installs the watch (null restores the default, which reports no key).
void SetKeyWatch(KeyWatch* watch);
KeyWatch* CurrentKeyWatch();  // null while the default is in place
// The next key of the installed watch, or -1.
int32_t TakeKeyDown();

// Hands out the keys it was given, in order, and counts the polls; for tests.
class RecordingKeyWatch : public KeyWatch {
 public:
  std::deque<int32_t> keys;
  int polls = 0;
  int32_t takeKeyDown() override {
    ++polls;
    if (keys.empty()) return -1;
    const int32_t key = keys.front();
    keys.pop_front();
    return key;
  }
};

// Installs a recorder for the life of the object.
class ScopedKeyWatch : public RecordingKeyWatch {
 public:
  ScopedKeyWatch() : previous_(CurrentKeyWatch()) { SetKeyWatch(this); }
  ~ScopedKeyWatch() override { SetKeyWatch(previous_); }
  ScopedKeyWatch(const ScopedKeyWatch&) = delete;
  ScopedKeyWatch& operator=(const ScopedKeyWatch&) = delete;

 private:
  KeyWatch* previous_;
};
