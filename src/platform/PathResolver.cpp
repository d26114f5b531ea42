// Case-insensitive path lookup: exact path first, then component by component.
#include "platform/PathResolver.h"

#include <filesystem>
#include <strings.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec)) && !ec;
}

// The entry of `folder` whose name equals `name` ignoring case; empty when none.
std::string MatchInFolder(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  std::string best;
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (strcasecmp(candidate.c_str(), name.c_str()) == 0 && (best.empty() || candidate < best))
      best = candidate;
  }
  return best;
}

}  // namespace

std::string ResolvePathIgnoringCase(const std::string& path) {
  if (path.empty() || Exists(path)) return path;
  fs::path input(path);
  fs::path resolved = input.root_path();
  for (const fs::path& part : input.relative_path()) {
    std::string name = part.string();
    if (name.empty() || name == "." || name == "..") {
      resolved /= part;
      continue;
    }
    fs::path exact = resolved / part;
    if (Exists(exact)) {
      resolved = exact;
      continue;
    }
    std::string match = MatchInFolder(resolved, name);
    if (match.empty()) return path;
    resolved /= match;
  }
  std::string result = resolved.string();
  // Keep a trailing separator of the input.
  if (path.back() == '/' && (result.empty() || result.back() != '/')) result += '/';
  return result;
}
