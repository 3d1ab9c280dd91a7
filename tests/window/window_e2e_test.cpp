// The real program in a real X window under Xvfb, driven with real key
// events through xdotool. Skips, saying why, where no X server can start.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "app/shell.h"
#include "support/test_support.h"
#include "window/real_window.h"

namespace {

using namespace realwindow;

int Lines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x.Up()) GTEST_SKIP() << "real-window tests skipped: " << x.Why();
  }
  ScratchDir dir;
  XServer x;
};

}  // namespace

TEST_F(RealWindow, AWholeSessionPlayedWithRealKeysKeepsItsFilesInTheDataFolder) {
  // Started without a data-folder option in a folder that holds another set
  // of records: those stay as they are, and one line at start names them.
  const std::string theirs = "Total_Practice_Time    1hour 2mi 5se\r\nkept byte for byte\n";
  dir.WriteFile("wenlotka.rec", theirs);
  WindowGame game(x, "642x402",
                  {"HOME=" + dir.Path() + "/home", "XDG_DATA_HOME=" + dir.Path() + "/xdg"}, {},
                  false);
  ASSERT_FALSE(game.window.empty()) << "no window named WENLOTKA appeared";
  EXPECT_EQ(game.Caption(), "WENLOTKA\n");

  game.Keys("space");  // leave the title
  game.Type("11");     // Digdash Beginner's, Home Row
  // Typing the course's letters in turn hits every target within nine keys;
  // once 60 are correct the rest are ignored.
  std::string pass = "asdfghjkl";
  for (int i = 0; i < 7; ++i) {
    std::string burst;
    for (int j = 0; j < 10; ++j) burst += pass;
    game.Type(burst);
  }
  game.Keys("Return");         // try again: commits the record
  game.Keys("Escape Escape");  // cancel the new run, back to the level menu
  game.Type("7");              // back to the main menu
  game.Type("5");              // Exit
  EXPECT_EQ(WaitFor(game.pid, 10000ms), 0) << dir.ReadFile("wenlotka.stderr");

  std::istringstream rec(dir.ReadFile("xdg/wenlotka/wenlotka.rec"));
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(rec, line)) lines.push_back(line);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[2].substr(0, 8), "Home_Row");
  EXPECT_NE(lines[2].substr(34, 7), "      0") << "the completed run's best time was saved";
  EXPECT_EQ(Lines(dir.ReadFile("xdg/wenlotka/wenlotka.log")), 1);
  EXPECT_EQ(Lines(dir.ReadFile("xdg/wenlotka/wenlotka.spd")), 1);

  EXPECT_EQ(dir.ReadFile("wenlotka.rec"), theirs);
  std::set<std::string> here;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    here.insert(e.path().filename().string());
  EXPECT_EQ(here, (std::set<std::string>{"wenlotka.rec", "wenlotka.stderr", "xdg"}));
  EXPECT_EQ(dir.ReadFile("wenlotka.stderr"),
            "wenlotka: leaving wenlotka.rec in this folder alone; the game's files are in " +
                dir.Path() + "/xdg/wenlotka (start it with --data-dir . to use these instead)\n");
}

TEST_F(RealWindow, WeakKeysIsChosenWithTwoThenEightAndPlaysARun) {
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty()) << "no window named WENLOTKA appeared";
  game.Keys("space");
  game.Type("28");  // Digdash Standard, Weak Keys
  // Without statistics every letter may come: the alphabet typed over and
  // over hits each target within 26 keys, until the run's line is written.
  for (int burst = 0; burst < 70 && !dir.Exists("wenlotka.runs"); ++burst) {
    game.Type("abcdefghijklmnopqrstuvwxyz");
  }
  game.Keys("Escape");  // back to the Standard menu
  game.Type("75");      // the main menu, Exit
  EXPECT_EQ(WaitFor(game.pid, 10000ms), 0) << dir.ReadFile("wenlotka.stderr");
  const std::string runs = dir.ReadFile("wenlotka.runs");
  EXPECT_EQ(Lines(runs), 1);
  EXPECT_EQ(runs.substr(18, 4), "207 ") << runs;
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")), 22);
}

TEST_F(RealWindow, ClosingTheWindowSavesOnce) {
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  game.Close();
  EXPECT_EQ(WaitFor(game.pid, 10000ms), 0) << dir.ReadFile("wenlotka.stderr");
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")), 22);
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.log")), 1);
}

TEST_F(RealWindow, SigtermDuringARunSettlesItAndSavesOnce) {
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  game.Type("11");
  game.Type("asdfghjklasdfghjkl");  // at least one correct key: the run's clock runs
  std::this_thread::sleep_for(1200ms);
  kill(game.pid, SIGTERM);
  EXPECT_EQ(WaitFor(game.pid, 10000ms), 0) << dir.ReadFile("wenlotka.stderr");
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.log")), 1);
  std::istringstream rec(dir.ReadFile("wenlotka.rec"));
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(rec, line);
  EXPECT_EQ(line.substr(0, 8), "Home_Row");
  EXPECT_NE(line.substr(51), "    0hour 0mi 0se") << "the open run's time was added";
}

TEST_F(RealWindow, TheBannerStepsOnlyWhileNothingHappens) {
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  // The banner row of the title: phase 0 and phase 1 differ there.
  auto banner = [&] {
    int w = 0;
    std::vector<ColorRef> all = game.Capture(&w);
    std::vector<ColorRef> row;
    for (int y = 200; y < 220 && !all.empty(); ++y)
      row.insert(row.end(), all.begin() + y * w + 100, all.begin() + y * w + 540);
    return row;
  };
  // Left alone it steps once a second: five steps in five and a half seconds.
  std::vector<ColorRef> stepped = banner();
  int steps = 0;
  for (auto end = std::chrono::steady_clock::now() + 5500ms;
       std::chrono::steady_clock::now() < end;) {
    std::this_thread::sleep_for(100ms);
    std::vector<ColorRef> now = banner();
    steps += now != stepped;
    stepped = now;
  }
  EXPECT_GE(steps, 4) << "the banner steps less than once a second";
  EXPECT_LE(steps, 6) << "the banner steps more than once a second";

  // Constant mouse movement over the window holds it still.
  for (int i = 0; i < 25; ++i) {
    x.XDo("mousemove --window " + game.window + " " + std::to_string(100 + (i % 2) * 50) + " 100");
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(banner(), stepped) << "the banner moved although the mouse kept moving";

  game.Keys("space");
  EXPECT_EQ(Differing(game, *Headless(642, 402, " ")), 0) << "the first key leaves the title";
  game.Type("5");
  EXPECT_EQ(WaitFor(game.pid, 10000ms), 0);
}

TEST_F(RealWindow, ResizingRedrawsThePracticeScreenScaled) {
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  game.Type("21");  // Standard Home Row: no mole for the first 3 s
  x.XDo("windowsize --sync " + game.window + " 963 603");
  std::this_thread::sleep_for(400ms);
  int w = 0, h = 0;
  game.Capture(&w, &h);
  ASSERT_EQ(w, 963);
  ASSERT_EQ(h, 603);
  // The keyboard field does not depend on the random target.
  std::unique_ptr<CairoDeviceContext> ref = Headless(963, 603, " 21");
  EXPECT_EQ(Differing(game, *ref, 64 * 603 / 400 + 2, 305 * 603 / 400), 0);
  game.Keys("Escape Escape");
  game.Type("75");
  EXPECT_EQ(WaitFor(game.pid, 10000ms), 0);
}

TEST_F(RealWindow, AFailedSaveIsReportedInTheWindowUntilDismissed) {
  mkdir("wenlotka.log", 0755);  // the practice log cannot be appended to
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  game.Type("5");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(WaitFor(game.pid, 300ms), -1) << "the program ended without showing the report";
  EXPECT_GT(Differing(game, *Headless(642, 402, " ")), 100) << "no report drawn over the menu";
  game.Keys("Return");
  EXPECT_EQ(WaitFor(game.pid, 10000ms), 4) << "a dismissed report is still a failed save";
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")), 22) << "the other files are still saved";
}
