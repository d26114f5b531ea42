// Typed access to user defaults and the conversions between value kinds.
#include "platform/UserDefaults.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <strings.h>

namespace {

// Leading number of a text, read without regard to the C locale.
double LeadingDouble(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double d = 0.0;
  auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), d);
  if (ec != std::errc()) return 0.0;
  return d;
}

int ClampToInt(double d) {
  if (std::isnan(d)) return 0;
  if (d >= double(INT_MAX)) return INT_MAX;
  if (d <= double(INT_MIN)) return INT_MIN;
  return int(d);
}

bool TextIsTrue(const std::string& text) {
  if (strcasecmp(text.c_str(), "yes") == 0 || strcasecmp(text.c_str(), "true") == 0) return true;
  return LeadingDouble(text) != 0.0;
}

MemoryUserDefaults& FallbackDefaults() {
  static MemoryUserDefaults defaults;
  return defaults;
}

UserDefaults* sStandard = nullptr;

}  // namespace

void UserDefaults::registerDefaults(const std::map<std::string, UserDefaultValue>& defaults) {
  for (const auto& [key, value] : defaults) registered_[key] = value;
}

std::optional<UserDefaultValue> UserDefaults::valueOrDefault(const std::string& key) const {
  if (auto v = lookup(key)) return v;
  auto it = registered_.find(key);
  if (it != registered_.end()) return it->second;
  return std::nullopt;
}

bool UserDefaults::getBool(const std::string& key) const {
  auto v = valueOrDefault(key);
  if (!v) return false;
  if (auto* b = std::get_if<bool>(&*v)) return *b;
  if (auto* i = std::get_if<int>(&*v)) return *i != 0;
  if (auto* d = std::get_if<double>(&*v)) return *d != 0.0;
  return TextIsTrue(std::get<std::string>(*v));
}

int UserDefaults::getInt(const std::string& key) const {
  auto v = valueOrDefault(key);
  if (!v) return 0;
  if (auto* b = std::get_if<bool>(&*v)) return *b ? 1 : 0;
  if (auto* i = std::get_if<int>(&*v)) return *i;
  if (auto* d = std::get_if<double>(&*v)) return ClampToInt(*d);
  const std::string& s = std::get<std::string>(*v);
  if (strcasecmp(s.c_str(), "yes") == 0 || strcasecmp(s.c_str(), "true") == 0) return 1;
  return ClampToInt(LeadingDouble(s));
}

double UserDefaults::getDouble(const std::string& key) const {
  auto v = valueOrDefault(key);
  if (!v) return 0.0;
  if (auto* b = std::get_if<bool>(&*v)) return *b ? 1.0 : 0.0;
  if (auto* i = std::get_if<int>(&*v)) return *i;
  if (auto* d = std::get_if<double>(&*v)) return *d;
  return LeadingDouble(std::get<std::string>(*v));
}

std::string UserDefaults::getString(const std::string& key) const {
  auto v = valueOrDefault(key);
  if (!v) return {};
  if (auto* s = std::get_if<std::string>(&*v)) return *s;
  if (auto* b = std::get_if<bool>(&*v)) return *b ? "1" : "0";
  if (auto* i = std::get_if<int>(&*v)) return std::to_string(*i);
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, std::get<double>(*v));
  return ec == std::errc() ? std::string(text, end) : std::string();
}

std::optional<UserDefaultValue> MemoryUserDefaults::lookup(const std::string& key) const {
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

UserDefaults& StandardUserDefaults() { return sStandard ? *sStandard : FallbackDefaults(); }
void SetStandardUserDefaults(UserDefaults* defaults) { sStandard = defaults; }
