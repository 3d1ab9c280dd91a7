#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "platform/cairo_dc.h"
#include "practice/practice.h"
#include "records/records.h"
#include "screens/screens.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

// A practice game with a virtual clock, a fake view and a scratch directory for the speed log.
class PracticeRun : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGlobals(g, &clock);
    BuildKeyPositionTable(g);
  }
  // Starts a course as the dispatcher does after choosing it on a level menu.
  void Start(int courseCode) {
    g.PlayState = PlayRunning;
    g.screenId = courseCode;
    StartPractice(g, view, *out, MenuForScreen(10 + courseCode / 100), courseCode);
  }
  void Key(int key) { JudgePracticeKey(g, view, *out, key); }
  void Correct() { Key(g.targetKey); }
  // A whole run whose 60th correct key comes `runMs` after the first.
  void PlayRun(std::int64_t runMs) {
    for (int i = 1; i < KeysPerRun; ++i) Correct();
    clock.Advance(runMs);
    Correct();
  }
  CourseRecord& Course(int code) { return g.CourseRecordTable[code / 100 - 1][code % 100 - 1]; }
  // A course's best time, practice seconds and practice count.
  std::tuple<double, int, int> Totals(int code) {
    return {Course(code).bestTime, Course(code).practiceSeconds, Course(code).practiceCount};
  }
  bool Shows(const char* text) const { return dc.AllText().find(text) != std::string::npos; }
  int SpeedLogLines() const { return std::ranges::count(scratch.ReadFile("wenlotka.spd"), '\n'); }

  ScratchDir scratch;
  VirtualClock clock{TimeStamp{1000, 0}};
  GameGlobals g;
  FakeView view;
  RecordingDC dc;
  DeviceContext* out = &dc;  // where keys draw; the pixel tests point it at a real surface
};

TEST(TargetChoice, DrawsNeverRepeatAndReachEveryOtherKey) {
  EXPECT_EQ(TargetIndexForDraw(7, 2, 16384), 6);  // ZXCVBNM after C: M
  EXPECT_EQ(TargetIndexForDraw(9, -1, 32767), 8);
  EXPECT_EQ(TargetIndexForDraw(9, -1, 0), 0);
  for (int n : {7, 9, 10, 16, 19, 26}) {
    for (int prev = 0; prev < n; ++prev) {
      std::set<int> seen;
      for (int draw = 0; draw <= RandomMax; ++draw) seen.insert(TargetIndexForDraw(n, prev, draw));
      EXPECT_TRUE(!seen.count(prev) && static_cast<int>(seen.size()) == n - 1 &&
                  *seen.begin() >= 0 && *seen.rbegin() < n)
          << "n " << n << " prev " << prev;
    }
  }
}

TEST(TargetChoice, EqualWeightsDrawExactlyAsTheCoursesAlwaysHaveAndOthersByWeight) {
  const std::uint32_t ones[26] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  for (int n : {7, 9, 10, 16, 19, 26}) {
    for (int prev = -1; prev < n; ++prev) {
      for (int draw = 0; draw <= RandomMax; ++draw) {
        ASSERT_EQ(WeightedTargetIndexForDraw(n, ones, prev, draw),
                  TargetIndexForDraw(n, prev, draw))
            << "n " << n << " prev " << prev << " draw " << draw;
      }
    }
  }
  // After index 0 of three keys weighing 1, 2 and 5: 2 to 5 between the other
  // two, the first of 32768 draws from 0 up to 2 / 7 of them (9362.3).
  const std::uint32_t weights[3] = {1, 2, 5};
  std::map<int, int> picked;
  for (int draw = 0; draw <= RandomMax; ++draw)
    ++picked[WeightedTargetIndexForDraw(3, weights, 0, draw)];
  EXPECT_EQ(picked, (std::map<int, int>{{1, 9363}, {2, 23405}}));
}

TEST_F(PracticeRun, EveryCompletedRunEndsWithItsSpeedAccuracyAndRecall) {
  Start(201);
  for (int i = 0; i < 3; ++i) Key('5');
  PlayRun(30000);  // 60 keys in 30 s, no mole shown: all recalled
  EXPECT_TRUE(Shows("Speed 120 keys/min  Accuracy  95%  Recalled before the mole 60"));
  dc.Clear();
  Key(13);  // the next run shows none until it is complete
  EXPECT_FALSE(Shows("Speed"));
  Start(101);
  PlayRun(59000);
  EXPECT_TRUE(Shows("Speed  61 keys/min  Accuracy 100%"));  // Beginner's: nothing to recall
  EXPECT_FALSE(Shows("Recalled"));
}

TEST_F(PracticeRun, TimedFromFirstCorrectKeyToTheSixtiethInWholeSeconds) {
  Start(101);
  DrawPracticeScreen(g, dc, "(%s)");
  EXPECT_TRUE(Shows("Press ESC key to cancel") && Shows("is next key to press"));
  EXPECT_FALSE(Shows("Type count") || Shows("Error Count") || Shows("Min Record"));
  const char target = g.targetKey;
  clock.Advance(400);
  Key('5');  // misses before the first correct key add no time
  Key(' ');  // no cap, but a miss all the same
  EXPECT_EQ(std::pair(g.moleKey, g.missKey), std::pair(target, ' ')) << "Beginner's mole stays";
  EXPECT_TRUE(view.setCount.empty()) << "Beginner's needs no hint timer";
  EXPECT_TRUE(Shows("Error Count  2"));
  clock.Advance(500);
  PlayRun(40200);  // 1000 s 900 ms to 1041 s 100 ms
  EXPECT_EQ(std::pair(g.PlayState, g.runSeconds), std::pair(PlayOver, 40.0));
  EXPECT_TRUE(Shows("It took  40sec to finish") && Shows("Type count  60"));
  EXPECT_TRUE(Shows("Practice Count   1"));
  EXPECT_EQ(std::pair(dc.textColour, dc.bkColour), std::pair(ColorBlack, ColorWhite));
  EXPECT_EQ(g.recordState, 1);  // the first record comes without the congratulations
  EXPECT_FALSE(Shows("Congratulations"));
  EXPECT_EQ(SpeedLogLines(), 1);
  EXPECT_NE(scratch.ReadFile("wenlotka.spd").find("Beginner's"), std::string::npos);
  EXPECT_EQ(Totals(101), std::tuple(0.0, 40, 1)) << "the best waits until the result is left";
}

TEST_F(PracticeRun, RecordsAreDecidedAgainstTheCommittedBest) {
  std::filesystem::create_directory("wenlotka.spd");  // the speed log cannot be appended
  Start(101);
  PlayRun(40200);
  std::filesystem::remove("wenlotka.spd");
  Key(13);  // retry commits the first record
  EXPECT_EQ(Totals(101), std::tuple(40.0, 40, 1));
  EXPECT_STREQ(Course(101).bestDate, "70/01/01");
  EXPECT_EQ(g.recordState, 0);
  PlayRun(40900);  // 40.9 s is 40 whole seconds: a tie is no record
  EXPECT_EQ(g.recordState, 3);
  EXPECT_FALSE(scratch.Exists("wenlotka.spd"));
  Key(13);
  dc.Clear();
  PlayRun(30000);
  EXPECT_EQ(g.recordState, 2);
  EXPECT_TRUE(Shows("Congratulations You have updated your record"));
  EXPECT_EQ(SpeedLogLines(), 1);
  EXPECT_EQ(g.speedLogSaved, 0) << "a lost line stays reported";
  dc.Clear();
  DrawPracticeScreen(g, dc, "(%s)");  // a repaint still shows the committed best
  EXPECT_TRUE(Shows("Min Record  40sec Date70/01/01") && Shows("It took  30sec to finish"));
  Key(27);  // back to the level menu commits it
  EXPECT_EQ(Totals(101), std::tuple(30.0, 110, 3));
  EXPECT_EQ(std::pair(g.screenId, g.recordState), std::pair(int{BeginnerMenuScreenId}, 0));
}

TEST_F(PracticeRun, CancelAddsWholeSecondsOnlyOnceTheClockRuns) {
  Start(202);
  clock.Advance(5000);
  Key('1');  // digits are never targets
  Key(27);
  EXPECT_TRUE(g.PlayState == PlayOver && view.timers.empty());
  dc.Clear();
  DrawPracticeScreen(g, dc, "(%s)");
  EXPECT_TRUE(Shows("Press Enter key to try again") && Shows("Press ESC key to go back to Menu"));
  EXPECT_FALSE(Shows("It took") || Shows("Press ESC key to cancel"));
  EXPECT_EQ(Totals(202), std::tuple(0.0, 0, 0));
  Key(13);
  EXPECT_EQ(g.missKey, 0);  // a retry starts with no red key
  Correct();
  clock.Advance(12700);
  Key(27);
  EXPECT_EQ(Totals(202), std::tuple(0.0, 12, 0));
  Key(13);
  Correct();
  Key(27);  // no time at all still counts one second
  EXPECT_EQ(Totals(202), std::tuple(0.0, 13, 0));
  EXPECT_FALSE(scratch.Exists("wenlotka.spd"));
}

TEST_F(PracticeRun, ExitSettlesTheOpenRunOrTheResult) {
  // An open run adds its truncated time with no minimum, up to the 32-bit limit.
  struct {
    int course, before, leadMs, runMs, after;
  } cases[] = {
      {103, 10, 9000, 90600, 100}, {105, 0, 0, 0, 0}, {106, INT32_MAX - 5, 0, 60000, INT32_MAX}};
  for (const auto& c : cases) {
    Start(c.course);
    Course(c.course).practiceSeconds = c.before;
    clock.Advance(c.leadMs);
    SettlePracticeAtExit(g);  // the clock has not started yet
    EXPECT_EQ(Totals(c.course), std::tuple(0.0, c.before, 0)) << c.course;
    Correct();
    clock.Advance(c.runMs);
    SettlePracticeAtExit(g);
    EXPECT_EQ(Totals(c.course), std::tuple(0.0, c.after, 0)) << c.course;
  }
  // On the result, exit commits a record and nothing else.
  Start(301);
  PlayRun(45000);
  SettlePracticeAtExit(g);
  EXPECT_EQ(Totals(301), std::tuple(45.0, 45, 1));  // time counted once, at the run's end
  EXPECT_STREQ(Course(301).bestDate, "70/01/01");
  Course(301).bestTime = 30.0;
  Start(301);
  PlayRun(45000);
  SettlePracticeAtExit(g);
  EXPECT_EQ(Totals(301), std::tuple(30.0, 90, 2));
}

// Runs as the view drives them: keys and timer ticks through the screens.
TEST_F(PracticeRun, LowerRowFromTheMenuWithHintsAndRetries) {
  g.screenId = StandardMenuScreenId;
  g.PlayState = PlayLevelMenu;
  DrawCurrentScreen(g, dc);  // a drawn menu becomes the current one
  DispatchKey(g, view, dc, '4');
  ASSERT_EQ(g.screenId, 204) << "the level menu did not start the course";
  EXPECT_STREQ(g.practiceTitle, "(^_^) Digdash Standard (Lower Row) (^_^)/~~");
  const char target = g.targetKey;
  EXPECT_EQ(view.timers, (std::map<int, int>{{target, FirstHintDelay}}));
  DispatchKey(g, view, dc, 'q');  // a miss while the mole hides postpones it
  EXPECT_EQ(view.killCount[target], 1);
  EXPECT_EQ(view.timers, (std::map<int, int>{{target, HintDelay}}));
  EXPECT_EQ(g.moleKey, 0);
  DispatchTimer(g, view, dc, target);
  DispatchKey(g, view, dc, 'q');  // once shown, misses leave the mole and the timer alone
  EXPECT_EQ(g.moleKey, target);
  EXPECT_TRUE(view.timers.empty());
  DispatchKey(g, view, dc, target + ('a' - 'A'));  // lower case counts
  EXPECT_EQ(std::pair(g.moleKey, g.missKey), std::pair('\0', '\0'));
  EXPECT_EQ(view.timers, (std::map<int, int>{{g.targetKey, HintDelay}}));
  std::string targets{target, g.targetKey};
  for (int run = 0; run < 5; ++run) {
    while (g.PlayState == PlayRunning) {
      DispatchKey(g, view, dc, g.targetKey);
      if (g.PlayState == PlayRunning) targets += g.targetKey;
    }
    dc.Clear();
    DispatchKey(g, view, dc, 'x');
    ASSERT_TRUE(dc.texts.empty()) << "a key on the result is ignored";
    DispatchKey(g, view, dc, 13);
    targets += g.targetKey;
  }
  for (size_t i = 1; i < targets.size(); ++i) {
    ASSERT_NE(targets[i], targets[i - 1]) << targets;
    ASSERT_NE(std::string("ZXCVBNM").find(targets[i]), std::string::npos) << targets;
  }
  EXPECT_TRUE(Shows("Min Record   1sec") && Shows("Practice Count   5"));  // no time counts 1 s
  EXPECT_FALSE(Shows("Type count"));
  EXPECT_EQ(Totals(204), std::tuple(1.0, 5, 5));
  for (int key : {27, 27}) DispatchKey(g, view, dc, key);  // cancel, then leave
  EXPECT_EQ(std::pair(g.screenId, g.PlayState),
            std::pair(int{StandardMenuScreenId}, PlayLevelMenu));
}

// The English status lines show in the runs above.
TEST_F(PracticeRun, JapaneseStatusLinesAndACentredBoundedTitle) {
  Start(101);
  g.runSeconds = 40.0;
  g.errorCount = 7;
  g.correctCount = 12;
  g.currentCourse->practiceCount = 3;
  const std::string expected[] = {Sjis("今回は    40秒かかりました"),
                                  Sjis("ミスタッチ  7回"),
                                  Sjis("正解 12回"),
                                  Sjis("練習回数   3回"),
                                  Sjis("最高記録  38秒 達成日08/03/01"),
                                  Sjis("毎分  90打  正確率  89%"),
                                  Sjis("毎分  90打  正確率  89%  モグラ前の正解 55回"),
                                  Sjis("記録がまだないので全キーから出題")};
  g.LanguageFlag = 2;  // any flag but 1
  char line[8][256];
  FormatRunTimeLine(g, line[0], sizeof line[0]);
  FormatErrorCountLine(g, line[1], sizeof line[1]);
  FormatTypeCountLine(g, line[2], sizeof line[2]);
  FormatPracticeCountLine(g, line[3], sizeof line[3]);
  FormatBestRecordLine(g, 38.0, "08/03/01", line[4], sizeof line[4]);
  FormatResultLine(g, line[5], sizeof line[5]);  // 60 keys in 40 s, 7 missed: 60 of 67
  g.practiceLevel = 2;
  g.progress.runRecalled = 55;
  FormatResultLine(g, line[6], sizeof line[6]);
  std::snprintf(line[7], sizeof line[7], "%s", WeakKeysUnjudgedNote(g));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(line[i], expected[i]);
  constexpr char format[] = "(^_^) Digdash Beginner's (%s) (^_^)/~~";
  DrawPracticeTitle(g, dc, format, "Home Row");
  EXPECT_STREQ(g.practiceTitle, "(^_^) Digdash Beginner's (Home Row) (^_^)/~~");
  ASSERT_FALSE(dc.texts.empty());
  EXPECT_EQ(dc.texts.front().left, ToDeviceX(g, 320 - 4 * 44));
  EXPECT_EQ(dc.texts.front().text, ColorPurple);
  EXPECT_EQ(std::pair(dc.textColour, dc.bkColour), std::pair(ColorBlack, ColorWhite));
  DrawPracticeTitle(g, dc, format, std::string(400, 'x').c_str());
  EXPECT_EQ(std::string(g.practiceTitle).size(), sizeof g.practiceTitle - 1);
}

TEST(KeyGuide, LocatesLettersOfEitherCaseAndDigitsOnly) {
  GameGlobals g;
  BuildKeyPositionTable(g);
  int row = 0, column = 0;
  EXPECT_TRUE(LocateKey(g, 'g', &row, &column) && row == 3 && column == 5);
  EXPECT_TRUE(LocateKey(g, '0', &row, &column) && row == 1 && column == 10);
  for (int key : {int{';'}, int{','}, int{'.'}, int{' '}, 0, -5, 200, 1000})
    EXPECT_FALSE(LocateKey(g, key, &row, &column)) << key;
}

// Pixels of a practice screen drawn on the real renderer.
class MolePixels : public PracticeRun {
 protected:
  MolePixels() { out = &surface; }
  ColorRef At(int y, int x) const { return surface.PixelAt(ToDeviceX(g, x), ToDeviceY(g, y)); }
  std::pair<int, int> Cap(int key) const {  // y, x of the key's cap
    int row = 0, column = 0, y = 0, x = 0;
    EXPECT_TRUE(LocateKey(g, key, &row, &column)) << static_cast<char>(key);
    KeyCapOrigin(row, column, &y, &x);
    return {y, x};
  }
  // The frame area of a cap, clear of its label, and its face left of the label.
  ColorRef Frame(int key) const { return At(Cap(key).first + 4, Cap(key).second + 14); }
  ColorRef Face(int key) const { return At(Cap(key).first + 12, Cap(key).second + 3); }
  std::set<ColorRef> Label(int key) const {
    std::set<ColorRef> colours;
    const auto [top, left] = Cap(key);
    for (int i = 0; i < 22 * 22; ++i) colours.insert(At(top + 16 + i / 22, left + 8 + i % 22));
    return colours;
  }
  ColorRef Nail(int f) const {
    return At(FingerTable[f].y + 14, FingerTable[f].x + FingerTable[f].width / 2);
  }
  // Low enough to stay clear of the result prompts that replace the hands.
  ColorRef Skin(int finger) const { return At(392, FingerTable[finger].x + 2); }
  void ExpectOnlyNailBlack(int blackFinger) {
    for (int finger : {1, 2, 3, 4, 7, 8, 9, 10})
      EXPECT_EQ(Nail(finger), finger == blackFinger ? ColorBlack : ColorLightYellow) << finger;
  }
  // Starts a course with a chosen first target and draws the screen.
  void StartWithTarget(int courseCode, char target) {
    Start(courseCode);
    g.targetKey = target;
    g.targetIndex = static_cast<int>(std::string(g.keyString).find(target));
    g.moleKey = g.practiceLevel == 1 ? target : 0;
    DrawPracticeScreen(g, surface, "(%s)");
  }
  CairoDeviceContext surface{642, 402};
};

TEST_F(MolePixels, ExpertHomeCapsAreMagentaOthersGreyAndAllBlankButTheMoleAndAMiss) {
  StartWithTarget(306, 'H');
  for (char key : std::string("ASDFJKLGHQ1ZM")) {
    const bool home = std::string("ASDFJKL").find(key) != std::string::npos;
    EXPECT_EQ(Frame(key), home ? ColorMagenta : ColorGrey) << key;
    EXPECT_EQ(Label(key), std::set<ColorRef>{Frame(key)}) << key;
  }
  int y = 0, x = 0;
  KeyCapOrigin(3, 10, &y, &x);  // the semicolon, the tenth home cap
  EXPECT_EQ(At(y + 4, x + 14), ColorMagenta);
  Key('3');
  EXPECT_TRUE(Label('3').count(ColorBlack)) << "a miss shows its label";
  HintTick(g, view, surface, 'H');
  EXPECT_TRUE(Label('H').count(ColorGrey) && Label('H').count(ColorBlack)) << "the mole's label";
  Key('H');  // clearing both leaves blank caps
  EXPECT_EQ(Label('H'), std::set<ColorRef>{ColorGrey});
  EXPECT_EQ(Label('3'), std::set<ColorRef>{ColorGrey});
}

TEST_F(MolePixels, MoleIsABlackCapWithTheNailOfItsFingerOnOrangeHands) {
  for (auto [key, finger] :
       {std::pair{'G', 4}, {'T', 4}, {'H', 7}, {'A', 1}, {'P', 10}, {'M', 7}}) {
    const ColorRef cap = key == 'A' ? ColorMagenta : ColorGrey;
    SCOPED_TRACE(key);
    StartWithTarget(106, key);
    EXPECT_EQ(Face(key), ColorBlack);
    EXPECT_TRUE(Label(key).count(cap)) << "the label keeps the key's colour";
    ExpectOnlyNailBlack(finger);
  }
  for (int finger = 1; finger <= 10; ++finger) EXPECT_EQ(Skin(finger), ColorOrange) << finger;
  Correct();  // the mole moves on and its old cap is clear again
  EXPECT_EQ(Face('M'), ColorGrey);
  EXPECT_EQ(Face(g.targetKey), ColorBlack);
  while (g.PlayState == PlayRunning) Correct();  // after the run the hands turn white
  for (int finger = 1; finger <= 10; ++finger) {
    EXPECT_EQ(Skin(finger), ColorWhite) << finger;
    if (finger != 5 && finger != 6) EXPECT_EQ(Nail(finger), ColorWhite) << finger;
  }
  EXPECT_EQ(At(398, 100), ColorWhite);  // down to the bottom edge
  DrawPracticeScreen(g, surface, "(%s)");
  EXPECT_EQ(Skin(1), ColorWhite);
}

TEST_F(MolePixels, HiddenMoleShowsOnTheHintAndAMissedDigitTurnsRedUntilTheNextMiss) {
  StartWithTarget(203, 'Y');
  EXPECT_EQ(Face('Y'), ColorGrey);
  ExpectOnlyNailBlack(0);
  HintTick(g, view, surface, 'Y');
  EXPECT_EQ(Face('Y'), ColorBlack);
  ExpectOnlyNailBlack(7);
  Key('7');
  EXPECT_EQ(Face('7'), ColorRed);
  EXPECT_TRUE(Label('7').count(ColorBlack));
  Key(' ');  // no cap: only the old red one goes back
  EXPECT_EQ(Face('7'), ColorGrey);
  EXPECT_EQ(Face('Y'), ColorBlack);
}

}  // namespace
