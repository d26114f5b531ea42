// User defaults kept by QSettings under the "zelkoworks.com" / "casavelt" identity.
#pragma once
#include <QSettings>
#include <memory>

#include "platform/UserDefaults.h"

class QtUserDefaults : public UserDefaults {
 public:
  // The user's settings of this program (organisation domain "zelkoworks.com",
  // application name "casavelt").
  QtUserDefaults();
  // Settings kept in the INI file at `iniPath`.
  explicit QtUserDefaults(const QString& iniPath);

  void removeKey(const std::string& key) override;
  // Writes pending changes to permanent storage.
  void synchronize();

 protected:
  std::optional<UserDefaultValue> lookup(const std::string& key) const override;
  void store(const std::string& key, const UserDefaultValue& value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};
