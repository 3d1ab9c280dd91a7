#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "screens/screens.h"
#include "support/test_support.h"
#include "texts/screens.h"
#include "textscreen/textscreen.h"

namespace {

struct Cell {
  int left, top;
  std::string bytes;
  bool operator==(const Cell&) const = default;
};

std::vector<Cell> Cells(const RecordingDC& dc) {
  std::vector<Cell> cells;
  for (const auto& t : dc.texts) cells.push_back({t.left, t.top, t.bytes});
  return cells;
}

class TitleScreen : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, &clock); }

  // What the banner of `phase` looks like on the title's banner line.
  std::vector<Cell> Banner(int phase) {
    GameGlobals copy = g;
    copy.ZoomX = copy.ZoomY = 1;
    RecordingDC ref;
    PutText(copy, ref, 160, 80, phase == 0 ? sjis::TitleBannerPhase0 : sjis::TitleBannerPhase1);
    return Cells(ref);
  }
  static bool Contains(const std::vector<Cell>& all, const std::vector<Cell>& part) {
    return std::search(all.begin(), all.end(), part.begin(), part.end()) != all.end();
  }

  VirtualClock clock{TimeStamp{1'700'000'000, 0}};
  GameGlobals g;
  FakeView view;
  RecordingDC dc;
};

TEST_F(TitleScreen, TextsKeepTheirByteLengths) {
  EXPECT_EQ(std::strlen(sjis::TitleBorderRow), 50u);
  EXPECT_EQ(std::strlen(sjis::TitleVersionLine), 28u);
  EXPECT_EQ(std::strlen(sjis::TitleCheeringRow), 38u);
  EXPECT_EQ(std::strlen(sjis::TitleBannerPhase0), 43u);
  EXPECT_EQ(std::strlen(sjis::TitleBannerPhase1), 43u);
  // The spaces at both ends are what lets one banner erase the other.
  EXPECT_EQ(sjis::TitleBannerPhase0[0], ' ');
  EXPECT_EQ(sjis::TitleBannerPhase0[42], ' ');
  EXPECT_EQ(std::string(sjis::TitleBannerPhase1, 5), "     ");
}

TEST_F(TitleScreen, FirstDrawingShowsPhaseZeroOnTheEnlargedLayout) {
  DrawTitleScreen(g, dc);
  EXPECT_EQ(g.ZoomX, 1);
  EXPECT_EQ(g.ZoomY, 1);
  EXPECT_TRUE(Contains(Cells(dc), Banner(0)));
  EXPECT_FALSE(Contains(Cells(dc), Banner(1)));
  EXPECT_EQ(dc.textColour, ColorBlack);
  EXPECT_EQ(dc.bkColour, ColorWhite);
}

TEST_F(TitleScreen, BannerAlternatesAndARepaintKeepsItsPhase) {
  DrawTitleScreen(g, dc);

  dc.Clear();
  BannerTick(g, view, dc);
  EXPECT_EQ(g.bannerPhase, 1);
  EXPECT_EQ(Cells(dc), Banner(1));

  dc.Clear();
  DrawTitleScreen(g, dc);
  EXPECT_TRUE(Contains(Cells(dc), Banner(1)));
  EXPECT_FALSE(Contains(Cells(dc), Banner(0)));

  dc.Clear();
  BannerTick(g, view, dc);
  EXPECT_EQ(g.bannerPhase, 0);
  EXPECT_EQ(Cells(dc), Banner(0));
  EXPECT_EQ(view.killCount[1], 0);
}

TEST_F(TitleScreen, TickAfterTheTitleKillsTheTimerWithoutDrawing) {
  g.PlayState = PlayLevelMenu;
  view.SetTimer(1, 1000);
  BannerTick(g, view, dc);
  EXPECT_EQ(view.killCount[1], 1);
  EXPECT_TRUE(dc.texts.empty());
  EXPECT_EQ(g.bannerPhase, 0);
}

TEST_F(TitleScreen, OnlyTheVersionLineIsBold) {
  DrawTitleScreen(g, dc);
  std::set<int> boldTops;
  for (const auto& t : dc.texts) {
    if (t.font.lfWeight > 400) boldTops.insert(t.top);
  }
  ASSERT_EQ(boldTops.size(), 1u);

  GameGlobals copy = g;
  copy.BoldText = 1;
  RecordingDC ref;
  PutText(copy, ref, 112, 144, sjis::TitleVersionLine);
  ASSERT_FALSE(ref.texts.empty());
  EXPECT_EQ(*boldTops.begin(), ref.texts.front().top);
  EXPECT_EQ(g.BoldText, 0);
}

}  // namespace
