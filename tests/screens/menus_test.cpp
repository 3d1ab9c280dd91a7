#include <gtest/gtest.h>

#include <set>

#include "platform/clock.h"
#include "screens/screens.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

int CountMarks(const GameGlobals& g, const MenuTable& table) {
  int n = 0;
  for (int m : g.menuMarks[table.markSlot]) n += m;
  return n;
}

TEST(MenuLookUp, EscFindsTheWayBackOnlyOnLevelMenus) {
  GameGlobals g;
  EXPECT_EQ(LookUpMenuKey(g, &MainMenu, 27), 0);
  for (const MenuTable* level : {&BeginnerMenu, &StandardMenu, &ExpertMenu}) {
    EXPECT_EQ(LookUpMenuKey(g, level, 27), BackToMainMenuCode);
    EXPECT_EQ(LookUpMenuKey(g, level, '7'), BackToMainMenuCode);
  }
  EXPECT_EQ(LookUpMenuKey(g, nullptr, '1'), 0);
  EXPECT_EQ(LookUpMenuKey(g, nullptr, 27), 0);
}

TEST(MenuLookUp, LevelMenusGiveTheirOwnCourseCodes) {
  GameGlobals g;
  const MenuTable* levels[] = {&BeginnerMenu, &StandardMenu, &ExpertMenu};
  for (int level = 1; level <= 3; ++level) {
    for (int n = 1; n <= 6; ++n) {
      EXPECT_EQ(LookUpMenuKey(g, levels[level - 1], '0' + n), level * 100 + n);
      EXPECT_STREQ(levels[level - 1]->entries[n - 1].label, RowSetLabels[n - 1]);
    }
  }
}

TEST(MenuMarks, ChoosingMovesTheOneMarkOfThatTableOnly) {
  GameGlobals g;
  EXPECT_EQ(LookUpMenuKey(g, &MainMenu, '1'), BeginnerMenuScreenId);
  EXPECT_EQ(MarkedEntry(g, MainMenu), 1);
  EXPECT_EQ(LookUpMenuKey(g, &MainMenu, '4'), RecordScreenId);
  EXPECT_EQ(MarkedEntry(g, MainMenu), 4);
  EXPECT_EQ(CountMarks(g, MainMenu), 1);

  EXPECT_EQ(LookUpMenuKey(g, &BeginnerMenu, '2'), 102);
  EXPECT_EQ(MarkedEntry(g, BeginnerMenu), 2);
  EXPECT_EQ(MarkedEntry(g, StandardMenu), 0);
  EXPECT_EQ(MarkedEntry(g, ExpertMenu), 0);
  EXPECT_EQ(MarkedEntry(g, MainMenu), 4);

  EXPECT_EQ(LookUpMenuKey(g, &ExpertMenu, '6'), 306);
  EXPECT_EQ(MarkedEntry(g, ExpertMenu), 6);
  EXPECT_EQ(MarkedEntry(g, BeginnerMenu), 2);

  // The same course twice still leaves one mark.
  LookUpMenuKey(g, &BeginnerMenu, '2');
  LookUpMenuKey(g, &BeginnerMenu, '2');
  EXPECT_EQ(CountMarks(g, BeginnerMenu), 1);
}

TEST(MenuMarks, BackExitAndDeadKeysLeaveMarksAlone) {
  GameGlobals g;
  LookUpMenuKey(g, &MainMenu, '2');
  LookUpMenuKey(g, &StandardMenu, '3');

  EXPECT_EQ(LookUpMenuKey(g, &MainMenu, '5'), EndProgramCode);
  EXPECT_EQ(LookUpMenuKey(g, &StandardMenu, 27), BackToMainMenuCode);
  EXPECT_EQ(LookUpMenuKey(g, &StandardMenu, '7'), BackToMainMenuCode);
  for (int key : std::initializer_list<int>{'0', '6', '7', '8', '9', 'a', 13}) {
    EXPECT_EQ(LookUpMenuKey(g, &MainMenu, key), 0) << key;
  }
  for (int key : std::initializer_list<int>{'0', '8', '9'})
    EXPECT_EQ(LookUpMenuKey(g, &StandardMenu, key), 0) << key;

  EXPECT_EQ(MarkedEntry(g, MainMenu), 2);
  EXPECT_EQ(CountMarks(g, MainMenu), 1);
  EXPECT_EQ(MarkedEntry(g, StandardMenu), 3);
  EXPECT_EQ(CountMarks(g, StandardMenu), 1);
}

class MenuDrawing : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, &clock); }

  bool AnyGreenShape() const {
    for (const auto& f : dc.fills) {
      if (f.colour == ColorGreen) return true;
    }
    for (const auto& l : dc.lines) {
      if (l.colour == ColorGreen) return true;
    }
    return false;
  }
  std::set<int> GreenTextTops() const {
    std::set<int> tops;
    for (const auto& t : dc.texts) {
      if (t.text == ColorGreen) tops.insert(t.top);
    }
    return tops;
  }

  VirtualClock clock{TimeStamp{1'700'000'000, 0}};
  GameGlobals g;
  RecordingDC dc;
};

TEST_F(MenuDrawing, OnlyTheMarkedEntryIsGreenAndUnderlined) {
  DrawMenu(g, dc, BeginnerMenu, BeginnerMenu.title);
  EXPECT_TRUE(GreenTextTops().empty());
  EXPECT_FALSE(AnyGreenShape());

  LookUpMenuKey(g, &BeginnerMenu, '3');
  dc.Clear();
  DrawMenu(g, dc, BeginnerMenu, BeginnerMenu.title);
  EXPECT_EQ(GreenTextTops().size(), 1u);
  EXPECT_TRUE(AnyGreenShape());

  // The other level menus keep their own, empty, marks.
  dc.Clear();
  DrawMenu(g, dc, StandardMenu, StandardMenu.title);
  EXPECT_TRUE(GreenTextTops().empty());
  EXPECT_FALSE(AnyGreenShape());
}

TEST_F(MenuDrawing, LeavesTheNormalLayoutBlackOnWhiteAndTheMenuLive) {
  g.ZoomX = g.ZoomY = 1;
  DrawMenu(g, dc, MainMenu, MainMenu.title);
  EXPECT_EQ(g.ZoomX, 0);
  EXPECT_EQ(g.ZoomY, 0);
  EXPECT_EQ(g.currentMenu, &MainMenu);
  EXPECT_EQ(dc.textColour, ColorBlack);
  EXPECT_EQ(dc.bkColour, ColorWhite);
}

}  // namespace
