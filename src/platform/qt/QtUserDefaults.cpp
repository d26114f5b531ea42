// The preferences file behind the user-defaults interface, read and written by our own INI
// code: nothing in the file is decoded as a typed value, and its size is bounded.
#include "platform/qt/QtUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtGlobal>

#include "platform/PreferencesFile.h"

namespace {

QString StandardPreferencesPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/zelkoworks.com/casavelt.conf");
}

}  // namespace

QtUserDefaults::QtUserDefaults() : path_(StandardPreferencesPath()) { load(); }

QtUserDefaults::QtUserDefaults(const QString& iniPath) : path_(iniPath) { load(); }

void QtUserDefaults::load() {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return;  // no preferences yet
  if (file.size() > qint64(kMaxPreferencesFileBytes)) {
    qWarning("The preferences file %s is larger than %lld bytes and was not read; the defaults apply.",
             qPrintable(path_), static_cast<long long>(kMaxPreferencesFileBytes));
    return;
  }
  const QByteArray bytes = file.read(qint64(kMaxPreferencesFileBytes) + 1);
  PreferencesText text = ParsePreferencesText(std::string_view(bytes.constData(), size_t(bytes.size())));
  if (!text.read) {
    qWarning("The preferences file %s is too large and was not read; the defaults apply.", qPrintable(path_));
    return;
  }
  if (text.leftOut)
    qWarning("%zu lines of the preferences file %s could not be read and were left out.", text.leftOut,
             qPrintable(path_));
  for (auto& [key, value] : text.values) values_.emplace(key, std::move(value));
}

void QtUserDefaults::write() {
  std::map<std::string, std::string> text;
  for (const auto& [key, value] : values_) text.emplace(key, PreferenceValueText(value));
  const std::string bytes = WritePreferencesText(text);
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) ||
      !file.commit()) {
    qWarning("The preferences could not be written to %s: %s", qPrintable(path_), qPrintable(file.errorString()));
    dirty_ = true;  // tried again at the next change or synchronize()
    return;
  }
  dirty_ = false;
}

void QtUserDefaults::removeKey(const std::string& key) {
  if (values_.erase(key)) write();
}

void QtUserDefaults::synchronize() {
  if (dirty_) write();
}

std::optional<UserDefaultValue> QtUserDefaults::lookup(const std::string& key) const {
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void QtUserDefaults::store(const std::string& key, const UserDefaultValue& value) {
  auto it = values_.find(key);
  if (it != values_.end() && it->second == value) return;
  values_[key] = value;
  write();
}
