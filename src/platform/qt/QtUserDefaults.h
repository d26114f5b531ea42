// User defaults kept in the preferences file of the "zelkoworks.com" / "casavelt" identity.
#pragma once
#include <QString>
#include <map>

#include "platform/UserDefaults.h"

class QtUserDefaults : public UserDefaults {
 public:
  // The user's settings of this program: "casavelt.conf" in the "zelkoworks.com" folder of
  // the user's configuration folder.
  QtUserDefaults();
  // Settings kept in the INI file at `iniPath`.
  explicit QtUserDefaults(const QString& iniPath);

  void removeKey(const std::string& key) override;
  // Writes pending changes to permanent storage.
  void synchronize();

  const QString& filePath() const { return path_; }

 protected:
  std::optional<UserDefaultValue> lookup(const std::string& key) const override;
  void store(const std::string& key, const UserDefaultValue& value) override;

 private:
  void load();
  // Every change is written at once, so that a crash or a kill loses none.
  void write();

  QString path_;
  // Values read from the file are text; values set in this run keep their kind.
  std::map<std::string, UserDefaultValue> values_;
  bool dirty_ = false;
};
