// The user's preferences: typed values under string keys, with registered defaults
// that answer for keys the user never set.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <variant>

using UserDefaultValue = std::variant<bool, int, double, std::string>;

class UserDefaults {
 public:
  virtual ~UserDefaults() = default;

  // Registered defaults are not stored; they answer for keys that hold no value.
  void registerDefaults(const std::map<std::string, UserDefaultValue>& defaults);

  // Values convert between kinds: a number is true when nonzero, a text when it reads
  // "yes", "true" or a nonzero number; a key without value or default gives
  // false, 0, 0.0 or "".
  bool getBool(const std::string& key) const;
  int getInt(const std::string& key) const;
  double getDouble(const std::string& key) const;
  std::string getString(const std::string& key) const;

  void setBool(const std::string& key, bool value) { store(key, value); }
  void setInt(const std::string& key, int value) { store(key, value); }
  void setDouble(const std::string& key, double value) { store(key, value); }
  void setString(const std::string& key, const std::string& value) { store(key, value); }
  virtual void removeKey(const std::string& key) = 0;
  // True when the key holds a value of its own (not only a registered default).
  bool hasValue(const std::string& key) const { return lookup(key).has_value(); }

 protected:
  virtual std::optional<UserDefaultValue> lookup(const std::string& key) const = 0;
  virtual void store(const std::string& key, const UserDefaultValue& value) = 0;

 private:
  std::optional<UserDefaultValue> valueOrDefault(const std::string& key) const;
  std::map<std::string, UserDefaultValue> registered_;
};

// Keeps values in memory; for tests and until the application installs its store.
class MemoryUserDefaults : public UserDefaults {
 public:
  void removeKey(const std::string& key) override { values_.erase(key); }

 protected:
  std::optional<UserDefaultValue> lookup(const std::string& key) const override;
  void store(const std::string& key, const UserDefaultValue& value) override {
    values_[key] = value;
  }

 private:
  std::map<std::string, UserDefaultValue> values_;
};

// The process's user defaults. Starts as a MemoryUserDefaults; the application installs
// its persistent store (null restores the in-memory one). Not owned.
UserDefaults& StandardUserDefaults();
void SetStandardUserDefaults(UserDefaults* defaults);
