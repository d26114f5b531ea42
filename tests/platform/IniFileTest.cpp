// INI lookup rules: sections, keys, values and the buffer contract.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
