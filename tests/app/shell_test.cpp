#include "app/shell.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

namespace {

struct ShellFixture : ::testing::Test {
  ScratchDir dir;
  VirtualClock clock{TimeStamp{1'000'000'000, 0}};
  CairoDeviceContext surface{642, 402};
  GameGlobals g;
  std::vector<std::string> reported;
  Shell shell{g, surface, clock,
              [this](const std::string& caption, const std::vector<std::string>&) {
                reported.push_back(caption);
              }};

  std::int64_t BannerDueIn() const {
    const auto& all = shell.Timers().All();
    auto it = all.find(1);
    return it == all.end() ? -1 : it->second.dueMs - shell.NowMs();
  }
};

}  // namespace

TEST_F(ShellFixture, EveryMessageRestartsTheOneSecondTimer) {
  shell.Start();
  shell.OnPaint();
  EXPECT_EQ(BannerDueIn(), 1000);
  shell.FireDueTimers(600, &clock);
  EXPECT_EQ(BannerDueIn(), 400);
  shell.OnOtherMessage();  // a mouse movement
  EXPECT_EQ(BannerDueIn(), 1000);
  shell.FireDueTimers(1500, &clock);
  EXPECT_EQ(g.bannerPhase, 0) << "the banner must hold still while messages keep coming";
  shell.FireDueTimers(1600, &clock);
  EXPECT_EQ(g.bannerPhase, 1);
  EXPECT_EQ(BannerDueIn(), 1000);
}

TEST_F(ShellFixture, RepaintReadsTheClientRectangleFirst) {
  shell.Start();
  surface.Resize(1282, 802);
  shell.OnPaint();
  EXPECT_EQ(g.ClientRect.right, 1282);
  EXPECT_EQ(g.ClientRect.bottom, 802);
}

TEST_F(ShellFixture, TimerOneStopsOffTheTitleAndReturnsWithTheNextMessage) {
  shell.Start();
  shell.OnPaint();
  shell.OnChar(' ');
  EXPECT_EQ(g.screenId, 1);
  shell.FireDueTimers(1000, &clock);
  EXPECT_EQ(BannerDueIn(), -1) << "a tick off the title kills timer 1";
  shell.OnOtherMessage();
  EXPECT_EQ(BannerDueIn(), 1000);
}

TEST_F(ShellFixture, ExitRunsOnceAndNotBeforeStartUp) {
  ScratchDir other;
  other.WriteFile("wenlotka.rec", "precious");
  {
    GameGlobals fresh;
    Shell never(fresh, surface, clock, nullptr);
    never.Exit();  // start-up never ran: the user's file must survive
  }
  EXPECT_EQ(other.ReadFile("wenlotka.rec"), "precious");
  EXPECT_FALSE(other.Exists("wenlotka.log"));

  shell.Start();
  shell.Exit();
  shell.Exit();
  std::string log = other.ReadFile("wenlotka.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}
