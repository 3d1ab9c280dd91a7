// A practice game ready to play in a test: globals with a virtual clock, a
// fake view, a recording device context and a scratch directory for the
// speed log.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "practice/practice.h"
#include "support/test_support.h"

// The key position table StartUpRecords builds from the four keyboard rows.
inline void FillKeyPositions(GameGlobals& g) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; KeyboardRows[r][c] != '\0'; ++c) {
      const unsigned char key = static_cast<unsigned char>(KeyboardRows[r][c]);
      if (std::isalnum(key)) g.KeyPositionTable[key] = KeyPosition{r + 1, c + 1};
    }
  }
}

// A level menu whose labels are those of the game's level menus.
inline const MenuTable* TestLevelMenu() {
  static const MenuEntry entries[] = {
      {0, 0, "Home Row", 101},  {0, 0, "Upper Row", 102},      {0, 0, "Home+Upper Row", 103},
      {0, 0, "Lower Row", 104}, {0, 0, "Home+Lower Row", 105}, {0, 0, "All Row", 106},
      {0, 0, nullptr, 0}};
  static const MenuTable menu{11, 1, entries, nullptr};
  return &menu;
}

class PracticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGlobals(g, &clock);
    FillKeyPositions(g);
  }

  // Starts a course as the dispatcher does after choosing it on a level menu.
  void Start(int courseCode) {
    g.PlayState = PlayRunning;
    g.screenId = courseCode;
    g.currentMenu = nullptr;
    StartPractice(g, view, dc, TestLevelMenu(), courseCode);
  }
  void Key(int key) { JudgePracticeKey(g, view, dc, key); }
  void Correct() { Key(g.targetKey); }
  // A key that is surely wrong for the current target.
  void Miss() { Key(g.targetKey == 'Q' ? 'W' : 'Q'); }

  // A whole run: the first correct key after `leadMs`, the rest spread so
  // that the 60th comes `runMs` after the first.
  void PlayRun(std::int64_t runMs, std::int64_t leadMs = 0) {
    clock.Advance(leadMs);
    Correct();
    for (int i = 2; i < KeysPerRun; ++i) Correct();
    clock.Advance(runMs);
    Correct();
  }

  CourseRecord& Course(int courseCode) {
    return g.CourseRecordTable[courseCode / 100 - 1][courseCode % 100 - 1];
  }

  int SpeedLogLines() const {
    const std::string log = scratch.ReadFile("wenlotka.spd");
    int lines = 0;
    for (char c : log) lines += c == '\n';
    return lines;
  }

  ScratchDir scratch;
  VirtualClock clock{TimeStamp{1000, 0}};
  GameGlobals g;
  FakeView view;
  RecordingDC dc;
};
