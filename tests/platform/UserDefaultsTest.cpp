// User defaults: registered defaults, conversions and the preferences file.
#include <gtest/gtest.h>

#include <QSettings>
#include <cmath>
#include <filesystem>
#include <limits>
#include <type_traits>

#include "platform/PreferencesFile.h"
#include "platform/UserDefaults.h"
#include "platform/qt/QtUserDefaults.h"
#include "ScratchFolder.h"

namespace {

const std::map<std::string, UserDefaultValue> kRegistered = {
    {"UndoEnabled", true}, {"UndoLevels", 200}, {"Scale", 0.5}, {"Name", std::string("x")}};

void ExpectRoundTrip(UserDefaults& d) {
  d.registerDefaults(kRegistered);
  EXPECT_TRUE(d.getBool("UndoEnabled"));
  EXPECT_EQ(d.getInt("UndoLevels"), 200);
  EXPECT_FALSE(d.hasValue("UndoLevels"));
  d.setBool("UndoEnabled", false);
  d.setInt("UndoLevels", 25);
  d.setDouble("Scale", 1.25);
  d.setString("Name", "Größe, a=b");
  EXPECT_FALSE(d.getBool("UndoEnabled"));
  EXPECT_EQ(d.getInt("UndoLevels"), 25);
  EXPECT_DOUBLE_EQ(d.getDouble("Scale"), 1.25);
  EXPECT_EQ(d.getString("Name"), "Größe, a=b");
  d.removeKey("UndoLevels");
  EXPECT_EQ(d.getInt("UndoLevels"), 200);  // the registered default answers again
  EXPECT_EQ(d.getInt("Unknown"), 0);
  EXPECT_EQ(d.getString("Unknown"), "");
}

TEST(UserDefaults, MemoryRoundTrip) {
  MemoryUserDefaults d;
  ExpectRoundTrip(d);
}

TEST(UserDefaults, ValuesConvertBetweenKinds) {
  MemoryUserDefaults d;
  d.setString("yes", "YES");
  d.setString("num", "12abc");
  d.setString("text", "abc");
  d.setDouble("d", 2.75);
  d.setInt("i", 3);
  EXPECT_TRUE(d.getBool("yes"));
  EXPECT_TRUE(d.getBool("num"));
  EXPECT_FALSE(d.getBool("text"));
  EXPECT_EQ(d.getInt("num"), 12);
  EXPECT_EQ(d.getInt("text"), 0);
  EXPECT_EQ(d.getInt("d"), 2);
  EXPECT_EQ(d.getString("d"), "2.75");
  EXPECT_DOUBLE_EQ(d.getDouble("i"), 3.0);
  d.setDouble("huge", 1e300);
  EXPECT_EQ(d.getInt("huge"), INT_MAX);
}

// Each kind of value read as every kind, on both sides of zero and past the ends of int.
TEST(UserDefaults, EveryKindReadsAsEveryKind) {
  struct Case {
    UserDefaultValue value;
    bool asBool;
    int asInt;
    double asDouble;  // NaN: not asked
    const char* asString;
  } cases[] = {
      {true, true, 1, 1.0, "1"},
      {false, false, 0, 0.0, "0"},
      {-3, true, -3, -3.0, "-3"},
      {0, false, 0, 0.0, "0"},
      {0.5, true, 0, 0.5, "0.5"},
      {-2.75, true, -2, -2.75, "-2.75"},
      {-1e300, true, INT_MIN, -1e300, "-1e+300"},
      {std::numeric_limits<double>::quiet_NaN(), true, 0, NAN, "nan"},
      {std::string("TRUE"), true, 1, NAN, "TRUE"},
      {std::string("no"), false, 0, 0.0, "no"},
      {std::string(" +12.5abc"), true, 12, 12.5, " +12.5abc"},
      {std::string("\t-0.5"), true, 0, -0.5, "\t-0.5"},
      {std::string("0"), false, 0, 0.0, "0"},
  };
  for (const Case& c : cases) {
    MemoryUserDefaults d;
    d.registerDefaults({{"k", std::string("registered")}});
    std::visit([&](const auto& v) {
      using T = std::decay_t<decltype(v)>;
      if constexpr (std::is_same_v<T, bool>) d.setBool("k", v);
      else if constexpr (std::is_same_v<T, int>) d.setInt("k", v);
      else if constexpr (std::is_same_v<T, double>) d.setDouble("k", v);
      else d.setString("k", v);
    }, c.value);
    SCOPED_TRACE(c.asString);
    EXPECT_EQ(d.getBool("k"), c.asBool);
    EXPECT_EQ(d.getInt("k"), c.asInt);
    if (!std::isnan(c.asDouble)) EXPECT_DOUBLE_EQ(d.getDouble("k"), c.asDouble);
    EXPECT_EQ(d.getString("k"), c.asString);
  }
  // A later registration replaces an earlier one; a value of its own still answers first.
  MemoryUserDefaults d;
  d.registerDefaults({{"a", 1}, {"b", 2}});
  d.registerDefaults({{"b", 3}});
  EXPECT_EQ(d.getInt("a"), 1);
  EXPECT_EQ(d.getInt("b"), 3);
  d.setInt("b", 4);
  EXPECT_EQ(d.getInt("b"), 4);
  EXPECT_EQ(d.getInt("missing"), 0);
  EXPECT_FALSE(d.getBool("missing"));
  EXPECT_DOUBLE_EQ(d.getDouble("missing"), 0.0);
}

TEST(UserDefaults, StandardDefaultsCanBeReplaced) {
  MemoryUserDefaults mine;
  SetStandardUserDefaults(&mine);
  StandardUserDefaults().setInt("k", 7);
  EXPECT_EQ(mine.getInt("k"), 7);
  SetStandardUserDefaults(nullptr);
  EXPECT_NE(&StandardUserDefaults(), &mine);
}

TEST(QtUserDefaults, RoundTripThroughTheSettingsFile) {
  ScratchFolder folder;
  QString ini = QString::fromStdString(folder.file("casavelt.conf"));
  {
    QtUserDefaults d(ini);
    ExpectRoundTrip(d);
    d.synchronize();
  }
  QtUserDefaults reread(ini);  // values come back from the file as text
  EXPECT_FALSE(reread.getBool("UndoEnabled"));
  EXPECT_TRUE(reread.hasValue("UndoEnabled"));
  EXPECT_FALSE(reread.hasValue("UndoLevels"));
  EXPECT_DOUBLE_EQ(reread.getDouble("Scale"), 1.25);
  EXPECT_EQ(reread.getString("Name"), "Größe, a=b");
  reread.setBool("Flag", true);
  reread.setInt("Count", -3);
  reread.synchronize();
  QtUserDefaults third(ini);
  EXPECT_TRUE(third.getBool("Flag"));
  EXPECT_EQ(third.getInt("Count"), -3);
}

struct ParseCase {
  const char* text;
  std::map<std::string, std::string> values;
  size_t leftOut;
};

TEST(PreferencesFile, ReadsGroupsEscapesAndLeavesOutTypedValues) {
  const ParseCase cases[] = {
      {"[General]\nUndoLevels=200\nUndoEnabled=true\n", {{"UndoLevels", "200"}, {"UndoEnabled", "true"}}, 0},
      // keys: %XX, %UXXXX, "\\" for "/"; a group other than General prefixes its keys
      {"[general]\nRecentDocument%200=/home/a b.pro\n[Win]\nx%U00E9\\y=1\n",
       {{"RecentDocument 0", "/home/a b.pro"}, {"Win/x\xC3\xA9/y", "1"}}, 0},
      // quotes keep commas and outer spaces; escapes in values; trailing spaces go unquoted
      {"a=\" x, y=z \"\nb=\\t\\x41\\\"q\\\\  \nc=G\xC3\xB6\xC3\x9F\n", {{"a", " x, y=z "}, {"b", "\tA\"q\\"}, {"c", "G\xC3\xB6\xC3\x9F"}}, 0},
      // typed values are never decoded: "@Variant", "@ByteArray" and "@Invalid" are left out
      {"[General]\nUndoLevels=50\nGridColor=@Variant(\\0\\0\\0\\t\\0\\x7f\\xff\\xff\\xff)\n"
       "b=@ByteArray(abc)\nc=@Invalid()\nd=@@at\n",
       {{"UndoLevels", "50"}, {"d", "@at"}}, 3},
      // comments, lines without "=", empty keys, a broken heading and what follows it
      {"; note\n# note\nnothing\n=1\nk=v\r\n[broken\nlost=1\n", {{"k", "v"}}, 4},
      // the last of two equal keys wins; a byte-order mark is skipped
      {"\xEF\xBB\xBFk=1\nk=2\n", {{"k", "2"}}, 0},
      // keys that could not be written back the same: empty parts, a group named General;
      // bytes that are not UTF-8 are read as Latin-1
      {"General=1\nk\\=2\n\\k=3\ngeneral\\k=4\n\xC9=5\n", {{"General", "1"}, {"\xC3\x89", "5"}}, 3},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.text);
    const PreferencesText read = ParsePreferencesText(c.text);
    EXPECT_TRUE(read.read);
    EXPECT_EQ(read.values, c.values);
    EXPECT_EQ(read.leftOut, c.leftOut);
    // what was read is written so that it reads back the same
    EXPECT_EQ(ParsePreferencesText(WritePreferencesText(read.values)).values, c.values);
  }
}

TEST(PreferencesFile, BoundsTheFileTheEntriesAndTheKeys) {
  EXPECT_TRUE(ParsePreferencesText(std::string(kMaxPreferencesFileBytes, '\n')).read);
  EXPECT_FALSE(ParsePreferencesText(std::string(kMaxPreferencesFileBytes + 1, '\n')).read);

  std::string many;
  for (size_t i = 0; i <= kMaxPreferenceEntries; ++i) many += "k" + std::to_string(i) + "=1\n";
  many += "k0=again\n";  // a key already held still takes its later value at the limit
  const PreferencesText read = ParsePreferencesText(many);
  EXPECT_EQ(read.values.size(), kMaxPreferenceEntries);
  EXPECT_EQ(read.leftOut, 1u);
  EXPECT_EQ(read.values.at("k0"), "again");
  EXPECT_EQ(read.values.count("k" + std::to_string(kMaxPreferenceEntries)), 0u);

  const std::string longest(kMaxPreferenceKeyBytes, 'k');
  const PreferencesText keys = ParsePreferencesText(longest + "=1\n" + longest + "k=2\n");
  EXPECT_EQ(keys.values.size(), 1u);
  EXPECT_EQ(keys.leftOut, 1u);
}

// The text written for keys and values at each bound of the escapes: a key character that is
// written plain or escaped, the last code point of one and two bytes and the first past them;
// values that need quotes at either end or for each separator, a control character before a
// hex digit. The text reads back to the same values.
TEST(PreferencesFile, WritesEachEscapeExactlyAndReadsItBack) {
  struct Case {
    std::map<std::string, std::string> values;
    const char* text;
  } cases[] = {
      {{{"a b", "x"}, {"a_b-c.d", "y"}}, "[General]\na%20b=x\na_b-c.d=y\n"},
      {{{"\xC3\xBF", "1"}, {"\xC4\x80", "2"}}, "[General]\n%FF=1\n%U0100=2\n"},
      {{{"\xEF\xBF\xBF", "1"}, {"\xF0\x90\x80\x80", "2"}}, "[General]\n%UFFFF=1\n%UD800%UDC00=2\n"},
      {{{"lead", " x"}, {"trail", "x "}}, "[General]\nlead=\" x\"\ntrail=\"x \"\n"},
      {{{"a", "1;2"}, {"b", "1,2"}, {"c", "1=2"}}, "[General]\na=\"1;2\"\nb=\"1,2\"\nc=\"1=2\"\n"},
      {{{"k", std::string("\x01" "b\x1f" "g\0" "9", 6)}}, "[General]\nk=\\x01\\x62\\x1Fg\\0\\x39\n"},
      {{{"at", "@x"}, {"Win/at", "@@"}}, "[General]\nat=@@x\n\n[Win]\nat=@@@\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(WritePreferencesText(c.values), c.text);
    const PreferencesText read = ParsePreferencesText(c.text);
    EXPECT_EQ(read.values, c.values);
    EXPECT_EQ(read.leftOut, 0u);
  }
}

// Escapes read into text at each length of UTF-8: the last code point of one, two, three and
// four bytes and the first past each, either side of the UTF-16 halves; keys whose last part is
// an escape; an overlong byte pair.
TEST(PreferencesFile, ReadsEscapesAtEveryLengthOfUtf8) {
  const PreferencesText read = ParsePreferencesText(
      "a=\\x7f\nb=\\x80\nc=\\x7ff\nd=\\x800\ne=\\xffff\nf=\\x10000\ng=\\x10ffff\nh=\\x110000\n"
      "s=\\xd7ff\\xd800\\xdfff\\xe000\n"
      "i%U0800=1\nj%E9=2\nk%UD83D%UDE00=3\n\xC1\xBF=4\n");
  const std::map<std::string, std::string> expected = {
      {"a", "\x7F"}, {"b", "\xC2\x80"}, {"c", "\xDF\xBF"}, {"d", "\xE0\xA0\x80"}, {"e", "\xEF\xBF\xBF"},
      {"f", "\xF0\x90\x80\x80"}, {"g", "\xF4\x8F\xBF\xBF"}, {"h", "\xEF\xBF\xBD"}, {"i\xE0\xA0\x80", "1"},
      {"j\xC3\xA9", "2"}, {"k\xF0\x9F\x98\x80", "3"}, {"\xC3\x81\xC2\xBF", "4"},
      {"s", "\xED\x9F\xBF\xEF\xBF\xBD\xEF\xBF\xBD\xEE\x80\x80"}};  // halves of UTF-16 pairs are no text
  EXPECT_EQ(read.values, expected);
  EXPECT_EQ(read.leftOut, 0u);
}

// What the program stores, as the earlier settings code wrote it, reads back; and what we
// write reads back there.
TEST(QtUserDefaults, ReadsAndWritesTheStoredFormat) {
  ScratchFolder folder;
  const QString earlier = QString::fromStdString(folder.file("earlier.conf"));
  {
    QSettings s(earlier, QSettings::IniFormat);
    s.setValue("UndoEnabled", false);
    s.setValue("UndoLevels", 25);
    s.setValue("Scale", 1.25);
    s.setValue("RecentDocument 0", QString::fromUtf8("/home/u/Größe, a=b; c.pro"));
    s.setValue("NSWindow Frame Inspector", "10 20 300 400 0 0 0 0");
    s.setValue("At", "@home ");
  }
  QtUserDefaults read(earlier);
  EXPECT_FALSE(read.getBool("UndoEnabled"));
  EXPECT_EQ(read.getInt("UndoLevels"), 25);
  EXPECT_DOUBLE_EQ(read.getDouble("Scale"), 1.25);
  EXPECT_EQ(read.getString("RecentDocument 0"), "/home/u/Größe, a=b; c.pro");
  EXPECT_EQ(read.getString("NSWindow Frame Inspector"), "10 20 300 400 0 0 0 0");
  EXPECT_EQ(read.getString("At"), "@home ");

  const QString ours = QString::fromStdString(folder.file("ours.conf"));
  {
    QtUserDefaults d(ours);
    d.setBool("UndoEnabled", true);
    d.setInt("UndoLevels", -3);
    d.setDouble("Scale", 0.1);
    d.setString("RecentDocument 1", "/tmp/\"x\"\\y\t,z");
  }
  QSettings s(ours, QSettings::IniFormat);
  EXPECT_EQ(s.value("UndoEnabled").toBool(), true);
  EXPECT_EQ(s.value("UndoLevels").toInt(), -3);
  EXPECT_DOUBLE_EQ(s.value("Scale").toDouble(), 0.1);
  EXPECT_EQ(s.value("RecentDocument 1").toString().toStdString(), "/tmp/\"x\"\\y\t,z");
}

// Collects what the program warns about while it lives.
struct WarningsSeen {
  static inline std::vector<std::string> seen;
  QtMessageHandler previous;
  WarningsSeen() {
    seen.clear();
    previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
      seen.push_back(text.toStdString());
    });
  }
  ~WarningsSeen() { qInstallMessageHandler(previous); }
};

// Preferences whose folder is missing are written once it is made; a change that could not be
// written (a file where the folder should be) is written by the next synchronize; a removed
// key is gone from the file.
TEST(QtUserDefaults, AMissingFolderIsMadeAndAFailedWriteIsTriedAgain) {
  ScratchFolder folder;
  const QString nested = QString::fromStdString(folder.file("zelkoworks.com/sub/casavelt.conf"));
  {
    QtUserDefaults d(nested);
    d.setInt("UndoLevels", 7);
    d.setString("Name", "kept");
  }
  {
    QtUserDefaults reread(nested);
    EXPECT_EQ(reread.getInt("UndoLevels"), 7);
    reread.removeKey("Name");
  }
  EXPECT_FALSE(QtUserDefaults(nested).hasValue("Name"));
  EXPECT_TRUE(QtUserDefaults(nested).hasValue("UndoLevels"));

  const std::string blocker = folder.write("blocked", "a file, not a folder");
  const QString blocked = QString::fromStdString(blocker + "/casavelt.conf");
  QtUserDefaults d(blocked);
  WarningsSeen warnings;
  d.setInt("UndoLevels", 9);  // cannot be written yet
  EXPECT_EQ(d.getInt("UndoLevels"), 9);
  ASSERT_EQ(WarningsSeen::seen.size(), 1u);
  const std::string told = "The preferences could not be written to " + blocker + "/casavelt.conf: ";
  EXPECT_EQ(WarningsSeen::seen[0].substr(0, told.size()), told);
  ASSERT_TRUE(std::filesystem::remove(blocker));
  d.synchronize();
  EXPECT_EQ(WarningsSeen::seen.size(), 1u);
  EXPECT_EQ(QtUserDefaults(blocked).getInt("UndoLevels"), 9);
}

// A preferences file of exactly the largest size is read; one byte more and the defaults apply.
TEST(QtUserDefaults, TheLargestFileIsReadAndOneByteMoreIsNot) {
  ScratchFolder folder;
  const std::string head = "[General]\nUndoLevels=5\n";
  const size_t rest = kMaxPreferencesFileBytes - head.size();
  const std::string fits = folder.write("fits.conf", head + std::string(rest, '\n'));
  const std::string over = folder.write("over.conf", head + std::string(rest + 1, '\n'));
  WarningsSeen warnings;
  EXPECT_EQ(QtUserDefaults(QString::fromStdString(fits)).getInt("UndoLevels"), 5);
  EXPECT_TRUE(WarningsSeen::seen.empty());
  EXPECT_FALSE(QtUserDefaults(QString::fromStdString(over)).hasValue("UndoLevels"));
  EXPECT_EQ(WarningsSeen::seen, (std::vector<std::string>{"The preferences file " + over + " is larger than " +
                                                          std::to_string(kMaxPreferencesFileBytes) +
                                                          " bytes and was not read; the defaults apply."}));
}

// A short file claiming a huge typed value: the key is left out, the rest is read.
TEST(QtUserDefaults, LeavesOutTypedValuesOfTheFile) {
  ScratchFolder folder;
  const std::string path = folder.write(
      "casavelt.conf", "[General]\nUndoLevels=50\nGridColor=@Variant(\\0\\0\\0\\t\\0\\x7f\\xff\\xff\\xff)\n");
  QtUserDefaults d(QString::fromStdString(path));
  EXPECT_EQ(d.getInt("UndoLevels"), 50);
  EXPECT_FALSE(d.hasValue("GridColor"));
}

}  // namespace
