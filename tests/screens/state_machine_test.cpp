#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "screens/screens.h"
#include "support/test_support.h"

namespace {

class ScreenFlow : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, &clock); }

  // Each byte of `bytes` as one character message, from a clean drawing record.
  void Type(const std::string& bytes) {
    dc.Clear();
    for (unsigned char c : bytes) DispatchKey(g, view, dc, c);
  }
  void Key(int c) {
    dc.Clear();
    DispatchKey(g, view, dc, c);
  }
  bool NothingDrawn() const {
    return dc.texts.empty() && dc.fills.empty() && dc.ellipses.empty() && dc.lines.empty();
  }
  // From the title to the main menu.
  void OpenMainMenu() {
    Key(' ');
    ASSERT_EQ(g.screenId, MainMenuScreenId);
  }

  VirtualClock clock{TimeStamp{1'700'000'000, 0}};
  GameGlobals g;
  FakeView view;
  RecordingDC dc;
};

TEST_F(ScreenFlow, AnyKeyThatSurvivesNormalisationLeavesTheTitle) {
  for (const std::string& key : {std::string(" "), std::string("\x1b"), std::string("\r"),
                                 std::string("q"), Sjis("１"), Sjis("漢")}) {
    InitGlobals(g, &clock);
    Type(key);
    EXPECT_EQ(g.screenId, MainMenuScreenId);
    EXPECT_EQ(g.PlayState, PlayMainMenu);
    EXPECT_EQ(g.currentMenu, &MainMenu);
    EXPECT_FALSE(NothingDrawn());
  }
}

TEST_F(ScreenFlow, LoneLeadByteOrDroppedKeyStaysOnTheTitle) {
  Key(0x82);
  EXPECT_EQ(g.screenId, TitleScreenId);
  EXPECT_TRUE(NothingDrawn());
  Key(0x50);  // completes "１"
  EXPECT_EQ(g.screenId, MainMenuScreenId);

  InitGlobals(g, &clock);
  Type(Sjis("ガ"));
  EXPECT_EQ(g.screenId, TitleScreenId);
  EXPECT_EQ(g.PlayState, PlayTitle);
  EXPECT_TRUE(NothingDrawn());
}

TEST_F(ScreenFlow, MainMenuDigitsOpenTheLevelMenusAndTheRecordScreen) {
  const struct {
    char key;
    int screen;
    const MenuTable* menu;
  } cases[] = {{'1', 11, &BeginnerMenu}, {'2', 12, &StandardMenu}, {'3', 13, &ExpertMenu}};
  for (const auto& c : cases) {
    InitGlobals(g, &clock);
    OpenMainMenu();
    Key(c.key);
    EXPECT_EQ(g.screenId, c.screen);
    EXPECT_EQ(g.PlayState, PlayLevelMenu);
    EXPECT_EQ(g.currentMenu, c.menu);
  }

  InitGlobals(g, &clock);
  OpenMainMenu();
  Key('4');
  EXPECT_EQ(g.screenId, RecordScreenId);
  EXPECT_EQ(g.PlayState, PlayMainMenu);
  EXPECT_EQ(g.currentMenu, nullptr);
  EXPECT_FALSE(NothingDrawn());
}

TEST_F(ScreenFlow, ExitPostsQuitAndDrawsNothing) {
  OpenMainMenu();
  Key('5');
  EXPECT_EQ(view.quitPosted, 1);
  EXPECT_EQ(g.screenId, EndProgramCode);
  EXPECT_EQ(g.currentMenu, nullptr);
  EXPECT_TRUE(NothingDrawn());

  // A repaint while the exit report is up leaves the screen alone.
  DrawCurrentScreen(g, dc);
  EXPECT_TRUE(NothingDrawn());
}

TEST_F(ScreenFlow, MainMenuIgnoresEscAndKeysWithoutAnEntry) {
  OpenMainMenu();
  for (int key : std::initializer_list<int>{27, '0', '6', '7', '8', '9', 'a', 13}) {
    Key(key);
    EXPECT_EQ(g.screenId, MainMenuScreenId) << key;
    EXPECT_TRUE(NothingDrawn()) << key;
    EXPECT_EQ(view.quitPosted, 0);
  }
}

TEST_F(ScreenFlow, LevelMenuGoesBackWithEscOrSevenKeepingPlayState) {
  for (int back : std::initializer_list<int>{27, '7'}) {
    InitGlobals(g, &clock);
    OpenMainMenu();
    Key('2');
    Key(back);
    EXPECT_EQ(g.screenId, MainMenuScreenId) << back;
    EXPECT_EQ(g.PlayState, PlayLevelMenu) << back;
    EXPECT_EQ(g.currentMenu, &MainMenu);

    // The main menu still works with the level-menu play state.
    Key('3');
    EXPECT_EQ(g.screenId, ExpertMenuScreenId);
  }
}

TEST_F(ScreenFlow, LevelMenuIgnoresZeroEightAndNine) {
  OpenMainMenu();
  Key('1');
  for (int key : std::initializer_list<int>{'0', '8', '9', 'x'}) {
    Key(key);
    EXPECT_EQ(g.screenId, BeginnerMenuScreenId) << key;
    EXPECT_TRUE(NothingDrawn()) << key;
  }
}

TEST_F(ScreenFlow, CourseChoiceStartsARunOnThatCourse) {
  OpenMainMenu();
  Key('2');
  Key('4');
  EXPECT_EQ(g.screenId, 204);
  EXPECT_EQ(g.PlayState, PlayRunning);
  EXPECT_EQ(g.currentMenu, nullptr);
}

TEST_F(ScreenFlow, FullWidthAndKanaDigitsWalkTheMenus) {
  OpenMainMenu();
  Type(Sjis("２"));
  EXPECT_EQ(g.screenId, StandardMenuScreenId);
  Key(0xD4);  // ﾔ, the 7 key in kana mode
  EXPECT_EQ(g.screenId, MainMenuScreenId);
  Key(0xB3);  // ｳ, the 4 key
  EXPECT_EQ(g.screenId, RecordScreenId);
}

TEST_F(ScreenFlow, RecordScreenLeavesOnlyWithEsc) {
  OpenMainMenu();
  Key('4');
  for (int key : std::initializer_list<int>{'1', '7', 13, ' '}) {
    Key(key);
    EXPECT_EQ(g.screenId, RecordScreenId) << key;
    EXPECT_TRUE(NothingDrawn()) << key;
  }
  Key(27);
  EXPECT_EQ(g.screenId, MainMenuScreenId);
  EXPECT_EQ(g.PlayState, PlayMainMenu);
  EXPECT_EQ(g.currentMenu, &MainMenu);
}

TEST_F(ScreenFlow, TimerOneOffTheTitleKillsItselfAndDrawsNothing) {
  OpenMainMenu();
  view.SetTimer(1, 1000);
  dc.Clear();
  DispatchTimer(g, view, dc, 1);
  EXPECT_EQ(view.killCount[1], 1);
  EXPECT_EQ(view.timers.count(1), 0u);
  EXPECT_TRUE(NothingDrawn());

  Key('1');  // a level menu behaves the same
  dc.Clear();
  DispatchTimer(g, view, dc, 1);
  EXPECT_EQ(view.killCount[1], 2);
  EXPECT_TRUE(NothingDrawn());
}

TEST_F(ScreenFlow, TimerOneOnTheTitleStepsTheBanner) {
  DispatchTimer(g, view, dc, 1);
  EXPECT_EQ(g.bannerPhase, 1);
  EXPECT_EQ(view.killCount[1], 0);
  EXPECT_FALSE(dc.texts.empty());
}

TEST_F(ScreenFlow, RepaintDrawsTheMenuOfTheScreenAndMakesItLive) {
  const struct {
    int screen;
    const MenuTable* menu;
  } cases[] = {{1, &MainMenu}, {11, &BeginnerMenu}, {12, &StandardMenu}, {13, &ExpertMenu}};
  for (const auto& c : cases) {
    g.screenId = c.screen;
    g.currentMenu = nullptr;
    DrawCurrentScreen(g, dc);
    EXPECT_EQ(g.currentMenu, c.menu);
    EXPECT_EQ(MenuForScreen(c.screen), c.menu);
  }
  EXPECT_EQ(MenuForScreen(19), nullptr);
  EXPECT_EQ(MenuForScreen(0), nullptr);
}

}  // namespace
