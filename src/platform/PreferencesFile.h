// The text of the user's preferences file: INI groups of key=value lines. Values are kept
// as text (true/false, decimal numbers, escaped strings); nothing in the file is decoded into
// any other kind of value, and the sizes and counts read are bounded.
#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "platform/UserDefaults.h"

// Larger files are not read at all.
inline constexpr size_t kMaxPreferencesFileBytes = size_t(1) << 20;
// Entries past this count, and keys longer than this, are left out.
inline constexpr size_t kMaxPreferenceEntries = 4096;
inline constexpr size_t kMaxPreferenceKeyBytes = 1024;

struct PreferencesText {
  // Keys of the [General] group stand alone; those of another group read "group/key".
  std::map<std::string, std::string> values;
  // False when the file was refused whole (over kMaxPreferencesFileBytes).
  bool read = true;
  // Lines or entries that were left out (malformed, out of bounds, or typed values this
  // program does not read such as "@Variant(...)").
  size_t leftOut = 0;
};

PreferencesText ParsePreferencesText(std::string_view text);

// The file text for `values`: [General] first, then the other groups in key order.
std::string WritePreferencesText(const std::map<std::string, std::string>& values);

// A value as the file holds it: "true"/"false", decimal numbers, the text itself.
std::string PreferenceValueText(const UserDefaultValue& value);
