// Whole runs as the view drives them: keys and timer ticks through the
// screen state machine.
#include "practice_fixture.h"
#include "screens/screens.h"

namespace {

class DispatchedRun : public PracticeTest {
 protected:
  void OpenLevelMenu(int screenId) {
    g.screenId = screenId;
    g.PlayState = PlayLevelMenu;
    DrawCurrentScreen(g, dc);  // a drawn menu becomes the current one
  }
  void Type(int key) { DispatchKey(g, view, dc, key); }
  void Tick(int id) { DispatchTimer(g, view, dc, id); }
};

TEST_F(DispatchedRun, StandardCourseFromMenuToRecordAndBack) {
  OpenLevelMenu(StandardMenuScreenId);
  Type('2');
  ASSERT_EQ(g.screenId, 202) << "the level menu did not start the course";
  EXPECT_EQ(g.PlayState, PlayRunning);
  EXPECT_STREQ(g.currentCourseName, "Upper Row");
  EXPECT_STREQ(g.practiceTitle, "(^_^) Digdash Standard (Upper Row) (^_^)/~~");
  EXPECT_EQ(view.timers.at(g.targetKey), FirstHintDelay);

  clock.Advance(FirstHintDelay);
  Tick(g.targetKey);
  EXPECT_EQ(g.moleKey, g.targetKey);
  EXPECT_TRUE(view.timers.empty());

  clock.Advance(900);
  Type(g.targetKey + ('a' - 'A'));  // 1003 s 900 ms
  for (int i = 2; i < KeysPerRun; ++i) {
    ASSERT_EQ(view.timers.size(), 1u);
    ASSERT_EQ(view.timers.at(g.targetKey), HintDelay);
    Type(g.targetKey);
  }
  clock.Advance(40200);
  Type(g.targetKey);
  EXPECT_EQ(g.PlayState, PlayOver);
  EXPECT_EQ(g.runSeconds, 40.0);
  EXPECT_EQ(g.recordState, 1);
  EXPECT_TRUE(view.timers.empty());

  Type('x');  // ignored on the result
  EXPECT_EQ(g.errorCount, 0);
  Type(27);
  EXPECT_EQ(g.screenId, StandardMenuScreenId);
  EXPECT_EQ(g.PlayState, PlayLevelMenu);
  EXPECT_EQ(Course(202).bestTime, 40.0);
  EXPECT_EQ(Course(202).practiceCount, 1);
  EXPECT_EQ(Course(202).practiceSeconds, 40);
}

TEST_F(DispatchedRun, RetryRedrawsTheCourseWithItsNewBest) {
  OpenLevelMenu(BeginnerMenuScreenId);
  Type('1');
  ASSERT_EQ(g.screenId, 101) << "the level menu did not start the course";
  for (int i = 0; i < KeysPerRun; ++i) Type(g.targetKey);
  ASSERT_EQ(g.PlayState, PlayOver);
  dc.Clear();
  Type(13);
  EXPECT_EQ(g.PlayState, PlayRunning);
  EXPECT_EQ(g.correctCount, 0);
  const std::string text = dc.AllText();
  EXPECT_NE(text.find("Min Record   1sec"), std::string::npos);  // a run of no time counts 1 s
  EXPECT_NE(text.find("Practice Count   1"), std::string::npos);
  EXPECT_EQ(text.find("Type count"), std::string::npos);
}

}  // namespace
