#include <climits>
#include <filesystem>
#include <set>
#include <vector>

#include "practice_fixture.h"

namespace {

TEST(TargetChoice, DrawsMapToTheDocumentedIndices) {
  EXPECT_EQ(TargetIndexForDraw(7, 2, 16384), 6);  // ZXCVBNM after C: M
  EXPECT_EQ(TargetIndexForDraw(9, -1, 32767), 8);
  EXPECT_EQ(TargetIndexForDraw(9, -1, 0), 0);
}

TEST(TargetChoice, NeverRepeatsAndReachesEveryOtherKey) {
  for (int n : {7, 9, 10, 16, 19, 26}) {
    for (int prev = 0; prev < n; ++prev) {
      std::set<int> seen;
      for (int draw = 0; draw <= RandomMax; ++draw) {
        const int next = TargetIndexForDraw(n, prev, draw);
        ASSERT_NE(next, prev) << "n " << n << " draw " << draw;
        ASSERT_GE(next, 0);
        ASSERT_LT(next, n);
        seen.insert(next);
      }
      EXPECT_EQ(static_cast<int>(seen.size()), n - 1) << "n " << n << " prev " << prev;
    }
  }
}

using PracticeRun = PracticeTest;

TEST_F(PracticeRun, TimedFromFirstCorrectKeyToTheSixtiethInWholeSeconds) {
  Start(101);
  EXPECT_EQ(g.moleKey, g.targetKey);  // Beginner's shows the mole at once
  EXPECT_TRUE(view.timers.empty());
  clock.Advance(400);
  Miss();  // misses before the first correct key add no time
  Miss();
  clock.Advance(500);
  Correct();  // 1000 s 900 ms
  for (int i = 2; i < KeysPerRun; ++i) Correct();
  clock.Advance(40200);
  ASSERT_EQ(g.PlayState, PlayRunning);
  Correct();  // 1041 s 100 ms

  EXPECT_EQ(g.PlayState, PlayOver);
  EXPECT_EQ(g.runSeconds, 40.0);
  EXPECT_EQ(g.errorCount, 2);
  EXPECT_EQ(g.correctCount, KeysPerRun);
  EXPECT_EQ(Course(101).practiceSeconds, 40);
  EXPECT_EQ(Course(101).practiceCount, 1);
  // The first completed run is a record, but without the congratulations.
  EXPECT_EQ(g.recordState, 1);
  EXPECT_EQ(g.pendingBestTime, 40.0);
  EXPECT_EQ(dc.AllText().find("Congratulations"), std::string::npos);
  // Not committed until the user leaves the result.
  EXPECT_EQ(Course(101).bestTime, 0.0);
  EXPECT_TRUE(view.timers.empty());
}

TEST_F(PracticeRun, RecordsAreDecidedAgainstTheCommittedBest) {
  Start(101);
  PlayRun(40200);
  ASSERT_EQ(g.recordState, 1);
  const int linesAfterFirst = SpeedLogLines();
  Key(13);  // retry commits the first record
  EXPECT_EQ(Course(101).bestTime, 40.0);
  EXPECT_STREQ(Course(101).bestDate, "70/01/01");
  EXPECT_EQ(g.recordState, 0);
  EXPECT_EQ(g.PlayState, PlayRunning);

  PlayRun(40900);  // 40.9 s is 40 whole seconds: a tie
  EXPECT_EQ(g.recordState, 3);
  EXPECT_EQ(SpeedLogLines(), linesAfterFirst);
  EXPECT_EQ(Course(101).practiceCount, 2);
  EXPECT_EQ(Course(101).practiceSeconds, 80);

  Key(13);
  EXPECT_EQ(Course(101).bestTime, 40.0);
  dc.Clear();
  PlayRun(30000);
  EXPECT_EQ(g.recordState, 2);
  EXPECT_NE(dc.AllText().find("Congratulations"), std::string::npos);
  EXPECT_EQ(Course(101).bestTime, 40.0);
  Key(27);  // back to the level menu commits it
  EXPECT_EQ(Course(101).bestTime, 30.0);
  EXPECT_EQ(g.screenId, BeginnerMenuScreenId);
  EXPECT_EQ(g.PlayState, PlayLevelMenu);
  EXPECT_EQ(g.recordState, 0);
}

TEST_F(PracticeRun, FirstRecordWritesOneSpeedLogLine) {
  Start(201);
  PlayRun(50000);
  EXPECT_EQ(SpeedLogLines(), 1);
  EXPECT_NE(scratch.ReadFile("wenlotka.spd").find("Standard"), std::string::npos);
}

TEST_F(PracticeRun, LostSpeedLogLineStaysReported) {
  std::filesystem::create_directory("wenlotka.spd");  // an append cannot open it
  Start(101);
  PlayRun(50000);
  Key(13);
  std::filesystem::remove("wenlotka.spd");
  PlayRun(40000);
  ASSERT_EQ(g.recordState, 2);
  EXPECT_EQ(SpeedLogLines(), 1);
  EXPECT_EQ(g.speedLogSaved, 0);
}

TEST_F(PracticeRun, MissWhileMoleHiddenPostponesIt) {
  Start(201);
  const int target = g.targetKey;
  clock.Advance(2500);
  Miss();
  EXPECT_EQ(view.killCount[target], 1);
  EXPECT_EQ(view.setCount[target], 2);
  EXPECT_EQ(view.timers.at(target), HintDelay);
  EXPECT_EQ(g.moleKey, 0);

  HintTick(g, view, dc, target);
  EXPECT_EQ(g.moleKey, target);
  EXPECT_EQ(view.timers.count(target), 0u);
  Miss();  // once shown, misses leave the mole and the timer alone
  EXPECT_EQ(view.setCount[target], 2);
  EXPECT_EQ(g.moleKey, target);

  Correct();
  EXPECT_EQ(g.moleKey, 0);
  EXPECT_EQ(g.missKey, 0);
  ASSERT_EQ(view.timers.size(), 1u);
  EXPECT_EQ(view.timers.at(g.targetKey), HintDelay);
}

TEST_F(PracticeRun, BeginnersMissLeavesTheMole) {
  Start(101);
  const char target = g.targetKey;
  Key('5');
  EXPECT_EQ(g.moleKey, target);
  EXPECT_EQ(g.missKey, '5');
  EXPECT_EQ(g.errorCount, 1);
  EXPECT_TRUE(view.setCount.empty());
  Key(' ');  // no cap, but a miss all the same
  EXPECT_EQ(g.errorCount, 2);
  EXPECT_EQ(g.missKey, ' ');
}

TEST_F(PracticeRun, ConsecutiveTargetsDifferAcrossRetries) {
  Start(204);
  std::vector<char> targets{g.targetKey};
  for (int run = 0; run < 5; ++run) {
    for (int i = 0; i < KeysPerRun; ++i) {
      Correct();
      if (g.PlayState == PlayRunning) targets.push_back(g.targetKey);
    }
    Key(13);
    targets.push_back(g.targetKey);
  }
  for (size_t i = 1; i < targets.size(); ++i) {
    ASSERT_NE(targets[i], targets[i - 1]) << "at target " << i;
    ASSERT_NE(std::string("ZXCVBNM").find(targets[i]), std::string::npos);
  }
}

TEST_F(PracticeRun, CancelAddsWholeSecondsOnlyOnceTheClockRuns) {
  Start(202);
  clock.Advance(5000);
  Miss();
  Key(27);
  EXPECT_EQ(g.PlayState, PlayOver);
  EXPECT_EQ(Course(202).practiceSeconds, 0);
  EXPECT_TRUE(view.timers.empty());

  Key(13);
  EXPECT_EQ(g.missKey, 0);  // a retry starts with no red key
  Correct();
  clock.Advance(12700);
  Key(27);
  EXPECT_EQ(Course(202).practiceSeconds, 12);

  Key(13);
  Correct();
  Key(27);  // no time at all still counts one second
  EXPECT_EQ(Course(202).practiceSeconds, 13);

  EXPECT_EQ(Course(202).practiceCount, 0);
  EXPECT_EQ(Course(202).bestTime, 0.0);
  EXPECT_EQ(g.recordState, 0);
  EXPECT_FALSE(scratch.Exists("wenlotka.spd"));
}

TEST_F(PracticeRun, ExitDuringARunAddsTheTruncatedSumWithoutMinimum) {
  Start(103);
  Course(103).practiceSeconds = 10;
  clock.Advance(9000);
  SettlePracticeAtExit(g);  // the clock has not started yet
  EXPECT_EQ(Course(103).practiceSeconds, 10);
  Correct();
  clock.Advance(90600);
  SettlePracticeAtExit(g);
  EXPECT_EQ(Course(103).practiceSeconds, 100);
  EXPECT_EQ(Course(103).practiceCount, 0);
  EXPECT_EQ(Course(103).bestTime, 0.0);

  Start(105);
  Correct();
  SettlePracticeAtExit(g);
  EXPECT_EQ(Course(105).practiceSeconds, 0);

  // A total near the 32-bit limit, as a hand-edited file may hold, stays there.
  Start(106);
  Course(106).practiceSeconds = INT32_MAX - 5;
  Correct();
  clock.Advance(60000);
  SettlePracticeAtExit(g);
  EXPECT_EQ(Course(106).practiceSeconds, INT32_MAX);
}

TEST_F(PracticeRun, ExitOnTheResultCommitsThePendingRecord) {
  Start(301);
  PlayRun(45000);
  ASSERT_EQ(g.recordState, 1);
  SettlePracticeAtExit(g);
  EXPECT_EQ(Course(301).bestTime, 45.0);
  EXPECT_STREQ(Course(301).bestDate, "70/01/01");
  EXPECT_EQ(Course(301).practiceSeconds, 45);  // counted once, at the run's end
}

TEST_F(PracticeRun, ExitAfterASlowerRunKeepsTheBest) {
  Course(301).bestTime = 30.0;
  Start(301);
  PlayRun(45000);
  ASSERT_EQ(g.recordState, 3);
  SettlePracticeAtExit(g);
  EXPECT_EQ(Course(301).bestTime, 30.0);
  EXPECT_EQ(Course(301).practiceSeconds, 45);
}

}  // namespace
