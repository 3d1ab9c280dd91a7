// The hint delays and the key caps' places, against the numbers the game was
// designed with rather than the names in the code.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "platform/cairo_dc.h"
#include "practice/practice.h"
#include "records/records.h"
#include "screens/screens.h"
#include "support/test_support.h"

namespace {

class HintAndCaps : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGlobals(g, &clock);
    BuildKeyPositionTable(g);
  }
  void Start(int courseCode, DeviceContext& dc) {
    g.PlayState = PlayRunning;
    g.screenId = courseCode;
    StartPractice(g, view, dc, MenuForScreen(10 + courseCode / 100), courseCode);
  }
  // The screen's colour at logical (y, x) on a 642 x 402 client area, where
  // device pixels are the logical ones moved by the one-pixel margin.
  std::uint32_t Shown(int y, int x) const {
    return surface.Pixels()[(y + 1) * surface.StrideBytes() / 4 + (x + 1)] & 0xFFFFFF;
  }

  ScratchDir scratch;
  VirtualClock clock{TimeStamp{1000, 0}};
  GameGlobals g;
  FakeView view;
  RecordingDC dc;
  CairoDeviceContext surface{642, 402};
};

// Standard and Expert: 3000 ms before the mole of a run's first key, 2000 ms
// after each correct key and each miss. A correct key typed before the mole
// showed kills the old timer, so one hint timer at most is ever running.
TEST_F(HintAndCaps, HintDelaysAreThreeThenTwoSecondsWithOneTimerAtMost) {
  for (int course : {201, 306}) {
    SCOPED_TRACE(course);
    InitGlobals(g, &clock);
    BuildKeyPositionTable(g);
    view = FakeView{};
    Start(course, dc);
    const char first = g.targetKey;
    EXPECT_EQ(view.timers, (std::map<int, int>{{first, 3000}}));
    JudgePracticeKey(g, view, dc, first);  // correct, the mole still hidden
    const char second = g.targetKey;
    ASSERT_NE(second, first);
    EXPECT_EQ(view.killCount[first], 1);
    EXPECT_EQ(view.timers, (std::map<int, int>{{second, 2000}}));
    JudgePracticeKey(g, view, dc, second == 'Q' ? 'Z' : 'Q');  // a miss starts the delay again
    EXPECT_EQ(view.killCount[second], 1);
    EXPECT_EQ(view.setCount[second], 2);
    EXPECT_EQ(view.timers, (std::map<int, int>{{second, 2000}}));
    JudgePracticeKey(g, view, dc, 27);  // cancel: no timer is left behind
    EXPECT_TRUE(view.timers.empty());
  }
  // Beginner's shows the mole at once and uses no timer.
  InitGlobals(g, &clock);
  BuildKeyPositionTable(g);
  view = FakeView{};
  Start(101, dc);
  JudgePracticeKey(g, view, dc, g.targetKey);
  EXPECT_TRUE(view.setCount.empty());
}

// Caps are 48 apart, each row 16 to the right of the one above and 64 below
// it: the cap of row r, column c has its origin at y = 64 r,
// x = 32 + 16 (r - 1) + 48 (c - 1), and its face spans x - 4 .. x + 36.
TEST_F(HintAndCaps, KeyCapsStandWhereTheKeyboardPutsThem) {
  Start(201, surface);  // labelled caps, the mole hidden
  DrawPracticeScreen(g, surface, "(%s)");
  const std::uint32_t Grey = 0x7F7F7F, Magenta = 0xFF00FF, White = 0xFFFFFF;
  const struct {
    char key;
    int y, x;
    std::uint32_t colour;
  } caps[] = {
      {'1', 64, 32, Grey},      {'0', 64, 464, Grey},    {'Q', 128, 48, Grey},
      {'P', 128, 480, Grey},    {'A', 192, 64, Magenta}, {'G', 192, 256, Grey},
      {'L', 192, 448, Magenta}, {'Z', 256, 80, Grey},    {'M', 256, 368, Grey},
  };
  for (const auto& c : caps) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(Shown(c.y + 12, c.x + 3), c.colour) << "the face, left of the label";
    EXPECT_EQ(Shown(c.y + 44, c.x + 30), c.colour) << "the face, below the label";
    EXPECT_EQ(Shown(c.y + 12, c.x - 2), c.colour) << "inside the left frame";
    EXPECT_EQ(Shown(c.y + 12, c.x - 6), White) << "the gap to the left";
    EXPECT_EQ(Shown(c.y + 12, c.x + 40), White) << "the gap to the right";
  }
}

}  // namespace
