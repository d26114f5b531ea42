// User defaults: registered defaults, conversions and the QSettings round trip.
#include <gtest/gtest.h>

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

}  // namespace
