// Case-insensitive path lookup: exact path first, then component by component.
#include "platform/PathResolver.h"

#include <filesystem>
#include <mutex>
#include <string>
#include <unordered_map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec)) && !ec;
}

// The names of one folder by their lower-case form (the first in name order where several
// fold to one), as the folder was when last listed.
struct FolderListing {
  fs::file_time_type modified;
  std::unordered_map<std::string, std::string> byFoldedName;
};

std::string Folded(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

// Folders are listed once and listed again only when they have changed since (their
// modification time moved) or when a name is missing from the listing: a folder asked for
// many names costs one scan, not one per name.
std::mutex sListingsLock;
std::unordered_map<std::string, FolderListing> sListings;
constexpr size_t kMostListings = 256;

bool ListFolder(const fs::path& folder, FolderListing* listing) {
  std::error_code ec;
  listing->byFoldedName.clear();
  fs::directory_iterator it(folder, ec);
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    auto [entry, added] = listing->byFoldedName.try_emplace(Folded(candidate), candidate);
    if (!added && candidate < entry->second) entry->second = candidate;
  }
  return !ec;
}

// The entry of `folder` whose name equals `name` ignoring case; empty when none.
std::string MatchInFolder(const fs::path& given, const std::string& name) {
  std::error_code ec;
  const fs::path folder = given.empty() ? fs::path(".") : given;
  const fs::path absolute = fs::absolute(folder, ec);
  if (ec) return std::string();
  const auto modified = fs::last_write_time(folder, ec);
  if (ec) return std::string();
  const std::string key = absolute.string(), folded = Folded(name);
  std::lock_guard<std::mutex> lock(sListingsLock);
  auto found = sListings.find(key);
  if (found != sListings.end() && found->second.modified == modified) {
    auto match = found->second.byFoldedName.find(folded);
    if (match != found->second.byFoldedName.end()) return match->second;
  }
  // Not listed yet, changed, or the name is new: list the folder again.
  if (found == sListings.end()) {
    if (sListings.size() >= kMostListings) sListings.clear();
    found = sListings.try_emplace(key).first;
  }
  FolderListing& listing = found->second;
  listing.modified = modified;
  if (!ListFolder(folder, &listing)) {
    sListings.erase(found);
    return std::string();
  }
  auto match = listing.byFoldedName.find(folded);
  return match == listing.byFoldedName.end() ? std::string() : match->second;
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

bool IsPlainRelativePath(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  size_t start = 0;
  while (start <= name.size()) {
    const size_t end = name.find_first_of("/\\", start);
    const size_t stop = end == std::string::npos ? name.size() : end;
    if (name.compare(start, stop - start, "..") == 0) return false;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return true;
}

namespace {

// The path with its links resolved and its "." and ".." parts taken out; empty when that
// cannot be worked out.
fs::path Settled(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(fs::path(path), ec);
  if (ec) return fs::path();
  fs::path settled = fs::weakly_canonical(absolute, ec);
  if (ec) return fs::path();
  // A trailing separator leaves an empty last part.
  if (!settled.has_filename() && settled.has_relative_path()) settled = settled.parent_path();
  return settled;
}

}  // namespace

bool PathStaysInsideFolder(const std::string& folder, const std::string& path) {
  if (folder.empty() || path.empty()) return false;
  const fs::path root = Settled(folder), target = Settled(path);
  if (root.empty() || target.empty()) return false;
  auto t = target.begin();
  for (auto r = root.begin(); r != root.end(); ++r, ++t)
    if (t == target.end() || *r != *t) return false;
  return t != target.end() && !t->empty();
}

std::string PathInsideFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || !IsPlainRelativePath(name)) return std::string();
  std::string joined = ResolvePathIgnoringCase(folder + "/" + name);
  return PathStaysInsideFolder(folder, joined) ? joined : std::string();
}
