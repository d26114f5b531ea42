// libFuzzer target: the user's preferences read from an INI file of arbitrary bytes, every key
// asked as each kind of value. The conversions must stay defined for any text (numbers out of
// range, not numbers, nothing at all), and what was read must come back unchanged when written
// and read again.
#include <QCoreApplication>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "platform/PreferencesFile.h"
#include "platform/qt/QtUserDefaults.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput("preferences.ini", data, size);
  {
    QtUserDefaults defaults(QString::fromStdString(path));
    defaults.registerDefaults({{"UndoLevels", 200}, {"UndoEnabled", true}, {"PreviewSizeKey", 2.5}});
    for (const char* key : {"UndoLevels", "UndoEnabled", "PreviewSizeKey", "RecentDocumentCount",
                            "RecentDocument 0", "GridColor", "General/a", "a", ""}) {
      (void)defaults.getBool(key);
      (void)defaults.getInt(key);
      (void)defaults.getDouble(key);
      (void)defaults.getString(key);
    }
  }
  const PreferencesText first =
      ParsePreferencesText(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string written = WritePreferencesText(first.values);
  const PreferencesText second = ParsePreferencesText(written);
  // Keys that are not well-formed text may be spelled anew by the first writing, never after.
  if (second.values.size() > first.values.size() || WritePreferencesText(second.values) != written) abort();
  return 0;
}
