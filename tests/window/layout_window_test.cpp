// The keyboard layout of a real X server under Xvfb: recognised at start, and
// a whole run typed on a French keyboard with physical key presses. Skips,
// saying why, where Xvfb, xdotool or setxkbmap is missing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "textscreen/textscreen.h"
#include "window/real_window.h"

namespace {

using namespace realwindow;

int CountLinesOf(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// Sets the server's keyboard map. The test's own connection to the server
// keeps it from resetting, which would throw the map away.
bool SetKeyboard(const XServer& x, const std::string& args) {
  return std::system(("DISPLAY=" + x.Name() + " setxkbmap " + args + " 2>/dev/null").c_str()) == 0;
}

class LayoutWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x.Up()) GTEST_SKIP() << "real-window layout tests skipped: " << x.Why();
    if (!OnPath("setxkbmap")) GTEST_SKIP() << "real-window layout tests skipped: no setxkbmap";
    g.ClientRect = Rect{0, 0, 642, 402};
  }
  // The pixel of a logical position in a 642 x 402 capture.
  ColorRef At(const std::vector<ColorRef>& pixels, int y, int x) const {
    return pixels[ToDeviceY(g, y) * 642 + ToDeviceX(g, x)];
  }
  ScratchDir dir;
  XServer x;
  GameGlobals g;  // for the logical-to-device mapping only
};

TEST_F(LayoutWindow, TheLayoutIsRecognisedAtStartAndKeepsItsOwnRecords) {
  const struct {
    const char* keyboard;
    std::vector<std::string> args;
    const char* recordFile;
    bool notice;
  } cases[] = {
      {"de", {}, "wenlotka-qwertz.rec", false},
      {"-layout us -variant dvorak", {}, "wenlotka-dvorak.rec", false},
      {"us", {}, "wenlotka.rec", false},
      {"-layout us -variant colemak", {}, "wenlotka-colemak.rec", false},
      {"ru", {}, "wenlotka.rec", true},
      {"fr", {"--layout", "dvorak"}, "wenlotka-dvorak.rec", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keyboard);
    ScratchDir each;
    ASSERT_TRUE(SetKeyboard(x, c.keyboard));
    WindowGame game(x, "642x402", {}, c.args);
    ASSERT_FALSE(game.window.empty());
    game.Close();
    EXPECT_EQ(WaitFor(game.pid, 20000ms), 0) << each.ReadFile("wenlotka.stderr");
    EXPECT_EQ(CountLinesOf(each.ReadFile(c.recordFile)), 22);
    const std::string err = each.ReadFile("wenlotka.stderr");
    if (c.notice) {
      EXPECT_EQ(err,
                "wenlotka: the keyboard layout is none of qwerty, azerty, qwertz, dvorak, "
                "colemak; using qwerty (choose one with --layout NAME)\n");
    } else {
      EXPECT_EQ(err, "");
    }
  }
}

TEST_F(LayoutWindow, OnAFrenchKeyboardMenusAndAHomeRowRunGoByKeyPosition) {
  ASSERT_TRUE(SetKeyboard(x, "fr"));
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  // On a menu the keys of the number row choose by their place, whatever
  // they type on this keyboard (& é " ' ...): keycode 11, the "2" key, opens
  // the Standard menu; keycode 10, the "1" key, chooses the first entry.
  game.Keys("11");
  EXPECT_EQ(Differing(game, *Headless(642, 402, " 2")), 0) << "the 2 key did not open Standard";
  game.Keys("Escape");
  game.Keys("10 10");  // Beginner's, Home Row: the mole shows each target at once

  // The home row's caps, left to right, are the keys with keycodes 38 to 47
  // (the A to semicolon keys of a US keyboard); the black one is the mole.
  auto mole = [&](const std::vector<ColorRef>& pixels) {
    for (int column = 1; column <= 10; ++column) {
      if (At(pixels, 192 + 12, 64 + 48 * (column - 1) + 3) == ColorBlack) return column;
    }
    return 0;
  };
  int column = 0;
  for (int i = 0; i < 100 && column == 0; ++i) {
    column = mole(game.Capture());
    if (column == 0) std::this_thread::sleep_for(20ms);
  }
  int typed = 0;
  while (column != 0 && typed < 60) {
    game.x.XDo("key --window " + game.window + " " + std::to_string(37 + column));
    ++typed;
    int next = column;
    for (int i = 0; i < 100 && next == column; ++i) {
      std::this_thread::sleep_for(20ms);
      next = mole(game.Capture());
    }
    column = next;
  }
  EXPECT_EQ(typed, 60);
  EXPECT_EQ(column, 0) << "after the 60th key no mole is left";
  // No miss: the error count line was never drawn.
  std::vector<ColorRef> pixels = game.Capture();
  int ink = 0;
  for (int y = 48; y < 64; ++y)
    for (int xx = 512; xx < 640; ++xx) ink += At(pixels, y, xx) != ColorWhite;
  EXPECT_EQ(ink, 0) << "an error count is shown";

  game.Keys("Escape");
  game.Type("7");
  game.Type("5");
  EXPECT_EQ(WaitFor(game.pid, 20000ms), 0) << dir.ReadFile("wenlotka.stderr");
  EXPECT_EQ(dir.ReadFile("wenlotka.stderr"), "");
  EXPECT_FALSE(dir.Exists("wenlotka.rec"));
  std::istringstream rec(dir.ReadFile("wenlotka-azerty.rec"));
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(rec, line);
  ASSERT_GE(line.size(), 41u) << "no record file for azerty";
  EXPECT_EQ(line.substr(0, 8), "Home_Row");
  EXPECT_NE(line.substr(34, 7), "      0") << "the run's best time was saved";
}

}  // namespace
