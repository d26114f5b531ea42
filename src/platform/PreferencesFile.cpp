// Reading and writing the preferences file. The escapes are those of the INI files the
// program has always written (keys: %XX, %UXXXX and "\" for "/"; values: C escapes, quotes
// around text holding ",", ";", "=" or outer spaces, "@@" for a leading "@").
#include "platform/PreferencesFile.h"

#include <charconv>
#include <cstdint>

namespace {

const char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// One UTF-8 sequence at `i` as a code point; a byte that begins no well-formed sequence stands
// for itself (Latin-1).
uint32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b = uint8_t(s[i]);
  const int extra = (b >= 0xF0 && b < 0xF8) ? 3 : (b >= 0xE0 && b < 0xF0) ? 2 : (b >= 0xC0 && b < 0xE0) ? 1 : 0;
  if (extra == 0 || i + extra >= s.size()) {
    ++i;
    return b;
  }
  uint32_t cp = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto c = uint8_t(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms, halves of UTF-16 pairs and numbers past Unicode are not text either.
  static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return b;
  }
  i += extra + 1;
  return cp;
}

void AppendEscapedKey(std::string& out, std::string_view key) {
  for (size_t i = 0; i < key.size();) {
    const char c = key[i];
    if (c == '/') {
      out += '\\';
      ++i;
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.') {
      out += c;
      ++i;
    } else {
      const uint32_t cp = NextCodePoint(key, i);
      if (cp <= 0xFF) {
        out += '%';
        out += kHex[cp >> 4];
        out += kHex[cp & 0xF];
      } else {
        // Code points past the first plane are written as their two UTF-16 halves.
        auto unit = [&out](uint32_t u) {
          out += "%U";
          for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
        };
        if (cp > 0xFFFF) {
          unit(0xD800 + ((cp - 0x10000) >> 10));
          unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
          unit(cp);
        }
      }
    }
  }
}

// Undoes AppendEscapedKey; a malformed escape stays as it stands.
std::string UnescapedKey(std::string_view key) {
  std::string out;
  uint32_t highHalf = 0;
  for (size_t i = 0; i < key.size();) {
    if (key[i] == '\\') {
      out += '/';
      ++i;
      continue;
    }
    if (key[i] == '%' && i + 5 < key.size() && key[i + 1] == 'U') {
      uint32_t u = 0;
      bool ok = true;
      for (size_t k = 2; k < 6; ++k) {
        const int h = HexValue(key[i + k]);
        ok = ok && h >= 0;
        u = (u << 4) | uint32_t(h < 0 ? 0 : h);
      }
      if (ok) {
        i += 6;
        if (u >= 0xD800 && u <= 0xDBFF) {
          highHalf = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF && highHalf) {
          AppendUtf8(out, 0x10000 + ((highHalf - 0xD800) << 10) + (u - 0xDC00));
          highHalf = 0;
        } else {
          AppendUtf8(out, u);
          highHalf = 0;
        }
        continue;
      }
    }
    if (key[i] == '%' && i + 2 < key.size() && HexValue(key[i + 1]) >= 0 && HexValue(key[i + 2]) >= 0) {
      AppendUtf8(out, uint32_t(HexValue(key[i + 1]) * 16 + HexValue(key[i + 2])));
      i += 3;
      continue;
    }
    // Bytes that are not UTF-8 are taken as Latin-1, so that every key is text.
    AppendUtf8(out, NextCodePoint(key, i));
  }
  return out;
}

void AppendEscapedValue(std::string& out, std::string_view value) {
  const size_t start = out.size();
  bool needsQuotes = false;
  bool escapeNextIfHex = false;
  for (const char c : value) {
    const auto b = uint8_t(c);
    if (c == ';' || c == ',' || c == '=') needsQuotes = true;
    if (escapeNextIfHex && HexValue(c) >= 0) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
      continue;
    }
    escapeNextIfHex = false;
    switch (c) {
      case '\0': out += "\\0"; escapeNextIfHex = true; break;
      case '\a': out += "\\a"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\v': out += "\\v"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (b <= 0x1F) {
          out += "\\x";
          out += kHex[b >> 4];
          out += kHex[b & 0xF];
          escapeNextIfHex = true;
        } else {
          out += c;
        }
    }
  }
  if (needsQuotes || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
    out.insert(start, 1, '"');
    out += '"';
  }
}

// Undoes AppendEscapedValue on the text after "=". Outside quotes, outer spaces go.
std::string UnescapedValue(std::string_view raw) {
  std::string out;
  bool quoted = false;
  size_t keepTo = 0;  // the unquoted trailing spaces past this are dropped
  for (size_t i = 0; i < raw.size();) {
    const char c = raw[i];
    if (c == '"') {
      quoted = !quoted;
      ++i;
      keepTo = out.size();
      continue;
    }
    if (c == '\\' && i + 1 < raw.size()) {
      const char e = raw[i + 1];
      i += 2;
      switch (e) {
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': {
          uint32_t cp = 0;
          while (i < raw.size() && HexValue(raw[i]) >= 0) {
            if (cp <= 0x10FFFF) cp = cp * 16 + uint32_t(HexValue(raw[i]));
            ++i;
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          if (e >= '0' && e <= '7') {
            uint32_t cp = uint32_t(e - '0');
            while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7') {
              if (cp <= 0x10FFFF) cp = cp * 8 + uint32_t(raw[i] - '0');
              ++i;
            }
            AppendUtf8(out, cp);
          } else {
            out += e;  // \" \\ \' \? and unknown escapes give the character itself
          }
      }
      keepTo = out.size();
      continue;
    }
    out += c;
    ++i;
    if (quoted || c != ' ') keepTo = out.size();
  }
  out.resize(keepTo);
  return out;
}

// The heading of the keys without a group.
bool IsGeneralGroup(std::string_view name) {
  if (name.size() != 7) return false;
  for (size_t i = 0; i < 7; ++i)
    if ((name[i] | 0x20) != "general"[i]) return false;
  return true;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

PreferencesText ParsePreferencesText(std::string_view text) {
  PreferencesText result;
  if (text.size() > kMaxPreferencesFileBytes) {
    result.read = false;
    return result;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string group;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = Trimmed(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) {
        ++result.leftOut;
        group = "\n";  // keys under a broken heading belong to no group anyone asks for
        continue;
      }
      group = UnescapedKey(line.substr(1, close - 1));
      if (IsGeneralGroup(group)) group.clear();
      if (!group.empty()) group += '/';
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      ++result.leftOut;
      continue;
    }
    const std::string_view rawKey = Trimmed(line.substr(0, eq));
    const std::string_view rawValue = Trimmed(line.substr(eq + 1));
    std::string key = group + UnescapedKey(rawKey);
    // Keys that could not be written back as they were read are left out as well: an empty
    // group or key, and a group named like the heading of the keys without one.
    if (rawKey.empty() || key.front() == '/' || key.back() == '/' || key.size() > kMaxPreferenceKeyBytes ||
        group == "\n" || (key.find('/') != std::string::npos && IsGeneralGroup(std::string_view(key).substr(0, key.find('/'))))) {
      ++result.leftOut;
      continue;
    }
    std::string value = UnescapedValue(rawValue);
    if (!value.empty() && value.front() == '@') {
      // "@@" stands for a leading "@"; any other "@Type(...)" holds a value of a kind this
      // program never stores, and is not decoded.
      if (value.size() < 2 || value[1] != '@') {
        ++result.leftOut;
        continue;
      }
      value.erase(0, 1);
    }
    if (result.values.size() >= kMaxPreferenceEntries && !result.values.count(key)) {
      ++result.leftOut;
      continue;
    }
    result.values[std::move(key)] = std::move(value);
  }
  return result;
}

std::string WritePreferencesText(const std::map<std::string, std::string>& values) {
  std::string out;
  auto writeEntry = [&out](std::string_view key, const std::string& value) {
    AppendEscapedKey(out, key);
    out += '=';
    AppendEscapedValue(out, !value.empty() && value.front() == '@' ? "@" + value : value);
    out += '\n';
  };
  bool anyGeneral = false;
  for (const auto& [key, value] : values) {
    if (key.empty() || key.front() == '/' || key.back() == '/') continue;  // such keys could not be read back
    if (key.find('/') != std::string::npos) continue;
    if (!anyGeneral) out += "[General]\n";
    anyGeneral = true;
    writeEntry(key, value);
  }
  std::string_view currentGroup;
  bool inGroup = false;
  for (const auto& [key, value] : values) {
    const size_t slash = key.find('/');
    if (slash == std::string::npos || slash == 0 || key.back() == '/') continue;
    const std::string_view group = std::string_view(key).substr(0, slash);
    if (!inGroup || group != currentGroup) {
      if (!out.empty()) out += '\n';
      out += '[';
      AppendEscapedKey(out, group);
      out += "]\n";
      currentGroup = group;
      inGroup = true;
    }
    writeEntry(std::string_view(key).substr(slash + 1), value);
  }
  return out;
}

std::string PreferenceValueText(const UserDefaultValue& value) {
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
  if (const auto* i = std::get_if<int>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) {
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, *d);
    return ec == std::errc() ? std::string(text, end) : std::string("0");
  }
  return std::get<std::string>(value);
}
