#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(Smoke, GlobalsStartOnTheTitle) {
  GameGlobals g;
  EXPECT_EQ(g.screenId, 0);
  EXPECT_EQ(g.recordFileSaved, 1);
}
