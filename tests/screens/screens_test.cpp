#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/clock.h"
#include "screens/screens.h"
#include "support/test_support.h"
#include "texts/screens.h"
#include "textscreen/textscreen.h"

namespace {

constexpr std::int64_t Now = 1'700'000'000;

// Every text drawn (or only the bold ones), as "|left,top:bytes" in drawing order.
std::string Cells(const RecordingDC& dc, bool boldOnly = false) {
  std::string cells;
  for (const auto& t : dc.texts) {
    if (boldOnly && t.font.lfWeight <= 400) continue;
    cells += "|" + std::to_string(t.left) + "," + std::to_string(t.top) + ":" + t.bytes;
  }
  return cells;
}

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGlobals(g, &clock);
    g.startTime = Now;
    g.startSteadyMs = Now * 1000;
  }

  // Each byte as one character message.
  void Type(const std::string& bytes) {
    for (unsigned char c : bytes) DispatchKey(g, view, dc, c);
  }
  bool NothingDrawn() const {
    return dc.texts.empty() && dc.fills.empty() && dc.ellipses.empty() && dc.lines.empty();
  }
  // `text` as drawn at (y, x) of the title's enlarged layout.
  std::string Drawn(int y, int x, const char* text, int bold = 0) const {
    GameGlobals copy = g;
    copy.ZoomX = copy.ZoomY = 1;
    copy.BoldText = bold;
    RecordingDC ref;
    PutText(copy, ref, y, x, text);
    return Cells(ref);
  }
  std::string Banner(int phase) const {
    return Drawn(160, 80, phase == 0 ? sjis::TitleBannerPhase0 : sjis::TitleBannerPhase1);
  }
  bool Shows(const std::string& part) const { return Cells(dc).find(part) != std::string::npos; }

  // The single-byte characters drawn on logical row `y`, one per column from
  // logical x `x0` ('?' where none). Each column is located by drawing a probe
  // there, so the painter's device arithmetic is no concern of the test.
  std::string Line(int y, int x0 = 1, int columns = 80) const {
    std::string line(columns, '?');
    for (int k = 0; k < columns; ++k) {
      GameGlobals copy = g;
      RecordingDC probe;
      PutText(copy, probe, y, x0 + k * CellWidth, "X");
      for (const RecordingDC::Text& t : dc.texts) {
        const RecordingDC::Text& at = probe.texts.at(0);
        if (t.left == at.left && t.top == at.top && t.bytes.size() == 1) line[k] = t.bytes[0];
      }
    }
    return line;
  }
  // Best time, date and practice time of row `y`.
  std::string Values(int y) const {
    const std::string line = Line(y);
    return line.substr(34, 5) + "|" + line.substr(44, 8) + "|" + line.substr(54, 19);
  }

  ScratchDir dir;  // the progress screen reads the statistics files here
  VirtualClock clock{TimeStamp{Now, 0}};
  GameGlobals g;
  FakeView view;
  RecordingDC dc;
};

TEST_F(Screens, KeysWalkTheScreens) {
  const int Title = TitleScreenId, Main = MainMenuScreenId, Record = RecordScreenId;
  const MenuTable* const None = nullptr;
  const struct {
    std::string before, keys;  // `drawn`: whether `keys` drew anything
    int screen, playState;
    const MenuTable* menu;
    bool drawn;
  } cases[] = {
      {"", " ", Main, PlayMainMenu, &MainMenu, true},
      {"", "\x1b", Main, PlayMainMenu, &MainMenu, true},
      {"", Sjis("１"), Main, PlayMainMenu, &MainMenu, true},
      {"", Sjis("漢"), Main, PlayMainMenu, &MainMenu, true},
      {"", "\x82", Title, PlayTitle, None, false},  // a lead byte waits for its trail
      {"", Sjis("ガ"), Title, PlayTitle, None, false},
      {" ", "1", BeginnerMenuScreenId, PlayLevelMenu, &BeginnerMenu, true},
      {" ", "2", StandardMenuScreenId, PlayLevelMenu, &StandardMenu, true},
      {" ", "3", ExpertMenuScreenId, PlayLevelMenu, &ExpertMenu, true},
      {" ", "4", Record, PlayMainMenu, None, true},
      {" ", "5", EndProgramCode, PlayMainMenu, None, false},
      {" ", "\0330789a\r", Main, PlayMainMenu, &MainMenu, false},
      {" 1", "09x", BeginnerMenuScreenId, PlayLevelMenu, &BeginnerMenu, false},
      {" 2", "8", 207, PlayRunning, None, true},  // Weak Keys
      {" ", "6", ProgressScreenId, PlayMainMenu, None, true},
      {" 6", "x 7", ProgressScreenId, PlayMainMenu, None, false},
      {" 6", "\x1b", Main, PlayMainMenu, &MainMenu, true},
      {" 6", "\r", Main, PlayMainMenu, &MainMenu, true},
      {" 2\x1b", "6", ProgressScreenId, PlayLevelMenu, None, true},
      {" 2", "\x1b", Main, PlayLevelMenu, &MainMenu, true},  // back keeps the play state
      {" 2", "7", Main, PlayLevelMenu, &MainMenu, true},
      {" 27", "3", ExpertMenuScreenId, PlayLevelMenu, &ExpertMenu, true},
      {" 2", "4", 204, PlayRunning, None, true},
      {" ", Sjis("２") + "\xD4\xB3", Record, PlayLevelMenu, None, true},  // ２ ﾔ(7) ｳ(4)
      {" 4", "17\r 2", Record, PlayMainMenu, None, false},
      {" 4", "\x1b", Main, PlayMainMenu, &MainMenu, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before + "|" + c.keys);
    InitGlobals(g, &clock);
    view = FakeView{};
    Type(c.before);
    dc.Clear();
    Type(c.keys);
    EXPECT_EQ(g.screenId, c.screen);
    EXPECT_EQ(g.PlayState, c.playState);
    EXPECT_EQ(g.currentMenu, c.menu);
    EXPECT_EQ(!NothingDrawn(), c.drawn);
    EXPECT_EQ(view.quitPosted, c.screen == EndProgramCode ? 1 : 0);
  }
  // A repaint while the exit report is up leaves the screen alone.
  Type("5");
  dc.Clear();
  DrawCurrentScreen(g, dc);
  EXPECT_TRUE(NothingDrawn());
}

TEST_F(Screens, LevelMenusOfferEveryCourseUnderItsRowSetLabel) {
  const MenuTable* const levels[] = {&BeginnerMenu, &StandardMenu, &ExpertMenu};
  for (int level = 1; level <= 3; ++level) {
    for (int n = 1; n <= 6; ++n) {
      EXPECT_EQ(LookUpMenuKey(g, levels[level - 1], '0' + n), level * 100 + n);
      EXPECT_STREQ(levels[level - 1]->entries[n - 1].label, RowSetLabels[n - 1]);
    }
  }
  EXPECT_EQ(LookUpMenuKey(g, nullptr, '1'), 0);
  EXPECT_EQ(LookUpMenuKey(g, nullptr, 27), 0);
}

TEST_F(Screens, EachMenuKeepsOneMarkOnItsLastChosenEntry) {
  const std::pair<const MenuTable*, const char*> typed[] = {
      {&MainMenu, "14\0335097"}, {&BeginnerMenu, "22"}, {&ExpertMenu, "6\03379"}};
  for (const auto& [menu, keys] : typed) {
    for (const char* k = keys; *k != '\0'; ++k) LookUpMenuKey(g, menu, *k);
  }
  // Back, Exit and dead keys never move a mark.
  const std::pair<const MenuTable*, int> expected[] = {
      {&MainMenu, 4}, {&BeginnerMenu, 2}, {&StandardMenu, 0}, {&ExpertMenu, 6}};
  for (const auto& [menu, marked] : expected) {
    int marks = 0;
    for (int m : g.menuMarks[menu->markSlot]) marks += m;
    EXPECT_EQ(MarkedEntry(g, *menu), marked) << menu->screenId;
    EXPECT_EQ(marks, marked == 0 ? 0 : 1) << menu->screenId;
  }
}

TEST_F(Screens, OnlyTheMarkedMenuEntryIsGreenAndTheNormalLayoutIsRestored) {
  LookUpMenuKey(g, &BeginnerMenu, '3');
  for (const MenuTable* menu : {&BeginnerMenu, &StandardMenu}) {
    dc.Clear();
    g.ZoomX = g.ZoomY = 1;
    DrawMenu(g, dc, *menu, menu->title);
    const bool marked = menu == &BeginnerMenu;
    std::set<int> greenTextRows;
    int greenShapes = 0;
    for (const auto& t : dc.texts) {
      if (t.text == ColorGreen) greenTextRows.insert(t.top);
    }
    for (const auto& f : dc.fills) greenShapes += f.colour == ColorGreen;
    for (const auto& l : dc.lines) greenShapes += l.colour == ColorGreen;
    EXPECT_EQ(greenTextRows.size(), marked ? 1u : 0u);
    EXPECT_EQ(greenShapes > 0, marked);
    EXPECT_EQ(g.ZoomX, 0);
    EXPECT_EQ(g.ZoomY, 0);
    EXPECT_EQ(g.currentMenu, menu);
    EXPECT_EQ(dc.textColour, ColorBlack);
    EXPECT_EQ(dc.bkColour, ColorWhite);
  }
}

TEST_F(Screens, TitleBannerAlternatesEachTickAndARepaintKeepsItsPhase) {
  // The spaces at both ends are what lets one banner erase the other.
  EXPECT_EQ(std::string() + sjis::TitleBannerPhase0[0] + sjis::TitleBannerPhase0[42], "  ");
  EXPECT_EQ(std::string(sjis::TitleBannerPhase1, 5), "     ");
  for (int phase : {0, 1, 0}) {
    dc.Clear();
    DrawCurrentScreen(g, dc);
    EXPECT_EQ(g.ZoomX, 1);
    EXPECT_EQ(g.ZoomY, 1);
    EXPECT_TRUE(Shows(Banner(phase))) << phase;
    EXPECT_FALSE(Shows(Banner(1 - phase))) << phase;
    EXPECT_EQ(dc.textColour, ColorBlack);
    EXPECT_EQ(dc.bkColour, ColorWhite);
    dc.Clear();
    DispatchTimer(g, view, dc, 1);
    EXPECT_EQ(g.bannerPhase, 1 - phase);
    EXPECT_EQ(Cells(dc), Banner(1 - phase));
  }
  EXPECT_EQ(view.killCount[1], 0);
}

TEST_F(Screens, TitleShowsOnlyTheVersionLineInBold) {
  DrawTitleScreen(g, dc);
  EXPECT_EQ(Cells(dc, true), Drawn(112, 144, sjis::TitleVersionLine, 1));
  EXPECT_EQ(g.BoldText, 0);
}

TEST_F(Screens, TimerOneOffTheTitleKillsItselfAndDrawsNothing) {
  g.bannerPhase = 1;
  for (const char* key : {" ", "1"}) {  // main menu, then a level menu
    Type(key);
    view.SetTimer(1, 1000);
    dc.Clear();
    DispatchTimer(g, view, dc, 1);
    EXPECT_EQ(view.timers.count(1), 0u) << key;
    EXPECT_TRUE(NothingDrawn()) << key;
    EXPECT_EQ(g.bannerPhase, 1) << key;
  }
  EXPECT_EQ(view.killCount[1], 2);
}

TEST_F(Screens, RecordValuesLandInTheirColumnsAndTimesAreTakenAtEachDrawing) {
  CourseRecord& c = g.CourseRecordTable[1][2];  // Standard, Home+Upper Row
  c.bestTime = 83.0;
  std::snprintf(c.bestDate, sizeof c.bestDate, "24/05/17");
  c.practiceSeconds = 3725;
  g.pastPracticeSeconds = 3725;
  clock.Advance(3725 * 1000);
  DrawRecordScreen(g, dc);

  EXPECT_EQ(g.endTime, Now + 3725);
  EXPECT_EQ(Line(1).substr(0, 39), "Past Practice Time      1hour 2min 5sec");
  EXPECT_EQ(Line(16).substr(0, 39), "Current Elapsed Time    1hour 2min 5sec");
  EXPECT_EQ(Line(1, 43 * CellWidth, 31), "Press ESC Key to Return to Menu");
  EXPECT_EQ(Line(160).substr(0, 8), "Standard");
  EXPECT_EQ(Line(208).substr(0, 14), "Home+Upper Row");
  EXPECT_EQ(Values(208), "   83|24/05/17|    1hour 2min 5sec");
  for (int y : {64, 144, 176, 192, 224, 256, 288, 368}) {
    EXPECT_EQ(Values(y), "     |        |    0hour 0min 0sec") << y;
  }
  EXPECT_EQ(dc.textColour, ColorBlack);

  clock.Advance(60 * 1000);
  dc.Clear();
  DrawRecordScreen(g, dc);
  EXPECT_EQ(Line(16).substr(0, 39), "Current Elapsed Time    1hour 3min 5sec");
}

TEST_F(Screens, RecordRowsWithoutBestTimesOrDatesDrawBlanks) {
  const TextItem rows[] = {{.y = 64, .x = 1, .text = "Home Row"}, {}};
  const double best[] = {120.0};
  const std::int32_t seconds[] = {59};
  DrawRecordRows(g, dc, rows, nullptr, nullptr, seconds);
  EXPECT_EQ(Values(64), "     |        |    0hour 0min59sec");
  dc.Clear();
  DrawRecordRows(g, dc, rows, best, nullptr, seconds);
  EXPECT_EQ(Values(64), "  120|        |    0hour 0min59sec");
}

TEST_F(Screens, RecordHugeValuesStayWithinTheirLine) {
  g.CourseRecordTable[0][0].bestTime = 1e300;
  g.CourseRecordTable[0][0].practiceSeconds = INT32_MAX;
  g.pastPracticeSeconds = INT32_MAX;
  g.startSteadyMs = -Now * 1000;  // a damaged start time
  DrawRecordScreen(g, dc);
  EXPECT_EQ(Line(64).substr(54, 4), "5965");  // 596523 hours
}

TEST_F(Screens, RecordJapaneseTextsWhenEnglishIsNotSelected) {
  g.LanguageFlag = 0;
  g.CourseRecordTable[0][0].practiceSeconds = 3725;
  DrawRecordScreen(g, dc);
  const std::string all = dc.AllText();
  EXPECT_NE(all.find(Sjis("前回までの練習時間　    0時間 0分 0秒")), std::string::npos);
  EXPECT_NE(all.find(Sjis("ESCキーを押すとメニューに戻ります")), std::string::npos);
  EXPECT_NE(all.find(Sjis("    1時間 2分 5秒")), std::string::npos);
}

TEST_F(Screens, TheProgressScreenShowsTheFilesAndNamesOneThatDoesNotRead) {
  dir.WriteFile("wenlotka.keys", "not statistics\n");
  dir.WriteFile("wenlotka.runs", "01/09/09 01:46:47 207 40 2 50 10\n");
  Type(" 6");
  EXPECT_EQ(Line(204, 456, 13), "Std Weak Keys");  // the chart's one course
  EXPECT_EQ(Line(360, 8, 47), "wenlotka.keys line 1: not a key statistics file");
  EXPECT_EQ(Line(384, 8, 40), "Press ESC or Enter key to return to Menu");
  dir.WriteFile("wenlotka.keys", "wenlotka-keys 2\n");
  InitGlobals(g, &clock);
  g.LanguageFlag = 0;
  dc.Clear();
  Type(" 6");
  const std::string all = dc.AllText();
  EXPECT_NE(all.find(Sjis("ESCキーかEnterキーを押すとメニューに戻ります")), std::string::npos);
  EXPECT_NE(all.find(Sjis("次の練習：Standard は苦手なキーなし　Weak Keys（2 → 8）で全部を練習")),
            std::string::npos);
}

}  // namespace
