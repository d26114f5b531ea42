// INI lookup rules: sections, keys, values and the buffer contract.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/IniFile.h"
#include "ScratchFolder.h"

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  std::string value(const char* section, const char* key, const char* def = "default") {
    char buffer[256];
    GetPrivateProfileString(section, key, def, buffer, sizeof buffer, path.c_str());
    return buffer;
  }
  ScratchFolder folder;
  std::string path = folder.write("Plants.ini",
                                  "Before=1\n"
                                  "[General]\n"
                                  "Name = Oak tree \r\n"
                                  "NAME=Second\n"
                                  "Path=a=b\n"
                                  "==Width=12\n"
                                  "Empty=\n"
                                  "Blank=   \n"
                                  "[Comment\n"
                                  "Late=yes\n"
                                  "Minus=-7\n"
                                  "Letters=abc\n"
                                  "Mixed=12abc\n"
                                  "[Other]\n"
                                  "Only=other\n"
                                  "[General]\n"
                                  "Hidden=never\n"
                                  "[ Spaced ]\n"
                                  "Key=v\n");
};

TEST_F(IniFileTest, SectionAndKeyIgnoreCaseAndFirstEntryWins) {
  EXPECT_EQ(value("general", "name"), "Oak tree");
  EXPECT_EQ(value(" General\t", " NAME "), "Oak tree");
  EXPECT_EQ(value("Spaced", "Key"), "default");    // "[ Spaced ]" is not "[Spaced]"
  EXPECT_EQ(value("General", "Hidden"), "default");  // second [General] never read
  EXPECT_EQ(value("General", "Before"), "default");  // entries before the header
  EXPECT_EQ(value("General", "Only"), "default");    // key of a later section
  EXPECT_EQ(value("Other", "Only"), "other");
  EXPECT_EQ(value("General", "Late"), "yes");        // "[Comment" does not end the section
}

TEST_F(IniFileTest, ValuesSplitLikeATokenizer) {
  EXPECT_EQ(value("General", "Path"), "a");
  EXPECT_EQ(value("General", "Width"), "12");
  EXPECT_EQ(value("General", "Empty"), "default");
  EXPECT_EQ(value("General", "Blank"), "default");
}

TEST_F(IniFileTest, StringResultAndBufferContract) {
  char buffer[4096];
  std::strcpy(buffer, "untouched");
  EXPECT_EQ(GetPrivateProfileString("General", "Name", "d", buffer, 4096, path.c_str()), 0u);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(GetPrivateProfileString("General", "Name", "d", buffer, 4095, path.c_str()), 8u);
  EXPECT_STREQ(buffer, "Oak tree");
  EXPECT_EQ(GetPrivateProfileString("General", "Name", "d", buffer, 0, path.c_str()), 0u);
  EXPECT_EQ(GetPrivateProfileString("General", "Name", nullptr, buffer, 10, path.c_str()), 0u);
  EXPECT_STREQ(buffer, "Oak tree");

  // Missing file or key: the default with result 0.
  EXPECT_EQ(GetPrivateProfileString("General", "Name", "dflt", buffer, 64,
                                    folder.file("missing.ini").c_str()), 0u);
  EXPECT_STREQ(buffer, "dflt");
  EXPECT_EQ(GetPrivateProfileString("General", "Nope", "dflt", buffer, 64, path.c_str()), 0u);
  EXPECT_STREQ(buffer, "dflt");

  // Texts longer than the buffer are cut, never written past it.
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetPrivateProfileString("General", "Name", "d", small, 4, path.c_str()), 3u);
  EXPECT_STREQ(small, "Oak");
  EXPECT_EQ(small[4], 'x');
}

TEST_F(IniFileTest, IntegersUseTheLeadingNumber) {
  EXPECT_EQ(GetPrivateProfileInt("General", "Minus", 5, path.c_str()), -7);
  EXPECT_EQ(GetPrivateProfileInt("General", "Letters", 5, path.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileInt("General", "Mixed", 5, path.c_str()), 12);
  EXPECT_EQ(GetPrivateProfileInt("General", "Width", 5, path.c_str()), 12);
  EXPECT_EQ(GetPrivateProfileInt("General", "Empty", 5, path.c_str()), 5);
  EXPECT_EQ(GetPrivateProfileInt("General", "Nope", 5, path.c_str()), 5);
  EXPECT_EQ(GetPrivateProfileInt("General", "Minus", 5, folder.file("none").c_str()), 5);
  EXPECT_EQ(GetPrivateProfileInt(nullptr, "Minus", 5, path.c_str()), 5);
}

TEST(IniFileHostile, LongLinesBinaryAndNonRegularFiles) {
  ScratchFolder folder;
  // A line longer than the read buffer is read as several lines; the tail of this one
  // starts a new line that is an entry.
  std::string longLine = "[General]\n" + std::string(4095, 'x') + "Key=tail\n";
  std::string text = longLine + std::string("\0\xff\xfe=\x01\n", 6) + "Other=\xe9t\xe9\n";
  std::string path = folder.write("long.ini", text);
  char buffer[64];
  EXPECT_EQ(GetPrivateProfileString("General", "Key", "d", buffer, sizeof buffer, path.c_str()), 4u);
  EXPECT_STREQ(buffer, "tail");
  EXPECT_EQ(GetPrivateProfileString("General", "Other", "d", buffer, sizeof buffer, path.c_str()), 3u);
  EXPECT_STREQ(buffer, "\xe9t\xe9");

  // A folder or a huge section name: the default, no crash.
  EXPECT_EQ(GetPrivateProfileInt("General", "Key", 9, folder.path().c_str()), 9);
  std::string huge(10000, 's');
  EXPECT_EQ(GetPrivateProfileInt(huge.c_str(), huge.c_str(), 9, path.c_str()), 9);

  // Out-of-range numbers are clamped rather than wrapped.
  std::string big = folder.write("big.ini", "[N]\nV=99999999999\nW=-99999999999\n");
  EXPECT_EQ(GetPrivateProfileInt("N", "V", 0, big.c_str()), INT32_MAX);
  EXPECT_EQ(GetPrivateProfileInt("N", "W", 0, big.c_str()), INT32_MIN);
}

}  // namespace

namespace {

// Sections and keys that share a prefix or differ only in case, the shortest lines that hold
// a heading or an entry, and the one-section reader that must follow the same rules.
TEST(IniFileNames, PrefixesCaseAndShortestLinesInBothReaders) {
  ScratchFolder folder;
  const std::string text =
      "[Gen]\nName=short section\n[GeneralMore]\nName=longer section\n"
      "[General]\nNameLong=longer key\nNam=shorter key\nNAME=the one\nk=v\nDouble==v\n"
      "[a]\nb=c\n";
  const std::string path = folder.write("names.ini", text);
  struct Case {
    const char *section, *key, *value;
  } cases[] = {
      {"General", "Name", "the one"},      {"general", "name", "the one"}, {"General", "Nam", "shorter key"},
      {"General", "NameLong", "longer key"}, {"Gen", "Name", "short section"},
      {"GeneralMore", "Name", "longer section"}, {"General", "k", "v"}, {"General", "Double", "v"},
      {"a", "b", "c"},                     {"General", "Na", "-"},        {"Genera", "Name", "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    char buffer[64];
    const uint32_t n = GetPrivateProfileString(c.section, c.key, "-", buffer, sizeof buffer, path.c_str());
    EXPECT_STREQ(buffer, c.value);
    EXPECT_EQ(n, std::string(c.value) == "-" ? 0u : std::strlen(c.value));
    IniSectionText one;
    ASSERT_TRUE(one.Load(path.c_str(), c.section, 1000) || std::string(c.value) == "-");
    char again[64];
    one.GetString(c.key, "-", again, sizeof again);
    EXPECT_STREQ(again, c.value);
  }

  IniSectionText general;
  ASSERT_TRUE(general.Load(path.c_str(), "GENERAL", text.size()));  // exactly the limit
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"NameLong", "longer key"}, {"Nam", "shorter key"}, {"NAME", "the one"}, {"k", "v"}, {"Double", "v"}};
  EXPECT_EQ(general.entries, entries);
  EXPECT_FALSE(general.Load(path.c_str(), "General", text.size() - 1));  // a byte over
  EXPECT_TRUE(general.entries.empty());
}

// The one-section reader's buffer contract: the default first, cut to fit, never past the end,
// and buffers of 4096 bytes or more refused untouched.
TEST(IniFileNames, OneSectionReaderCutsToTheBufferAndReadsNumbers) {
  ScratchFolder folder;
  const std::string path = folder.write("n.ini", "[N]\nWord=abcd\nBig=99999999999\nSmall=-99999999999\nMinus=-7x\n");
  IniSectionText n;
  ASSERT_TRUE(n.Load(path.c_str(), "N", 1000));
  char buffer[4096];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(n.GetString("word", "d", buffer, 5), 4u);  // just fits
  EXPECT_STREQ(buffer, "abcd");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(n.GetString("word", "d", buffer, 4), 3u);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(buffer[4], 'x');
  std::strcpy(buffer, "untouched");
  EXPECT_EQ(n.GetString("word", "d", buffer, 4096), 0u);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(n.GetString("word", "d", buffer, 4095), 4u);
  EXPECT_EQ(n.GetString("none", "dflt", buffer, 4095), 0u);
  EXPECT_STREQ(buffer, "dflt");
  EXPECT_EQ(n.GetInt("BIG", 1), INT32_MAX);
  EXPECT_EQ(n.GetInt("small", 1), INT32_MIN);
  EXPECT_EQ(n.GetInt("Minus", 1), -7);
  EXPECT_EQ(n.GetInt("none", 1), 1);
  EXPECT_FALSE(n.Load(folder.path().c_str(), "N", 1000));  // a folder
  EXPECT_EQ(n.GetInt("Minus", 1), 1);
}

}  // namespace
