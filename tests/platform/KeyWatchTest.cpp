// The key watch long renders poll: no key without a watch; an installed watch hands its keys
// out once each and is removed again with its scope.
#include <gtest/gtest.h>

#include "platform/KeyWatch.h"

TEST(KeyWatch, DefaultReportsNoKeyAndScopedWatchRestoresIt) {
  ASSERT_EQ(CurrentKeyWatch(), nullptr);
  EXPECT_EQ(TakeKeyDown(), -1);
  {
    ScopedKeyWatch watch;
    watch.keys = {12, kKeyWatchEscape};
    EXPECT_EQ(CurrentKeyWatch(), &watch);
    EXPECT_EQ(TakeKeyDown(), 12);
    EXPECT_EQ(TakeKeyDown(), kKeyWatchEscape);
    EXPECT_EQ(TakeKeyDown(), -1);
    EXPECT_EQ(watch.polls, 3);
  }
  EXPECT_EQ(CurrentKeyWatch(), nullptr);
  EXPECT_EQ(TakeKeyDown(), -1);
}

// A watch installed over another (a second long render inside the first) hands out only its own
// keys and gives the first back when it goes.
TEST(KeyWatch, ASecondWatchOverTheFirstGivesItBack) {
  ScopedKeyWatch outer;
  outer.keys = {1, 2};
  EXPECT_EQ(TakeKeyDown(), 1);
  {
    ScopedKeyWatch inner;
    inner.keys = {kKeyWatchEscape};
    EXPECT_EQ(CurrentKeyWatch(), &inner);
    EXPECT_EQ(TakeKeyDown(), kKeyWatchEscape);
    EXPECT_EQ(TakeKeyDown(), -1);
  }
  EXPECT_EQ(CurrentKeyWatch(), &outer);
  EXPECT_EQ(TakeKeyDown(), 2);
  EXPECT_EQ(outer.polls, 2);
}
