#include <cstring>
#include <string>

#include "practice_fixture.h"
#include "textscreen/textscreen.h"

namespace {

constexpr char BeginnerTitle[] = "(^_^) Digdash Beginner's (%s) (^_^)/~~";

using StatusLines = PracticeTest;

TEST_F(StatusLines, NumbersAreRightAlignedInTheirFields) {
  char line[256];
  Start(101);
  g.runSeconds = 40.0;
  FormatRunTimeLine(g, line, sizeof line);
  EXPECT_STREQ(line, "It took  40sec to finish");
  g.currentCourse->practiceCount = 3;
  FormatPracticeCountLine(g, line, sizeof line);
  EXPECT_STREQ(line, "Practice Count   3");
  g.errorCount = 7;
  FormatErrorCountLine(g, line, sizeof line);
  EXPECT_STREQ(line, "Error Count  7");
  g.correctCount = 12;
  FormatTypeCountLine(g, line, sizeof line);
  EXPECT_STREQ(line, "Type count  12");
  FormatBestRecordLine(g, 38.0, "08/03/01", line, sizeof line);
  EXPECT_STREQ(line, "Min Record  38sec Date08/03/01");
}

TEST_F(StatusLines, JapaneseTextsWhenTheFlagIsNotOne) {
  char line[256];
  Start(101);
  g.LanguageFlag = 0;
  g.runSeconds = 40.0;
  g.errorCount = 7;
  g.correctCount = 12;
  g.currentCourse->practiceCount = 3;
  FormatRunTimeLine(g, line, sizeof line);
  EXPECT_EQ(line, Sjis("今回は    40秒かかりました"));
  FormatErrorCountLine(g, line, sizeof line);
  EXPECT_EQ(line, Sjis("ミスタッチ  7回"));
  FormatTypeCountLine(g, line, sizeof line);
  EXPECT_EQ(line, Sjis("正解 12回"));
  FormatPracticeCountLine(g, line, sizeof line);
  EXPECT_EQ(line, Sjis("練習回数   3回"));
  FormatBestRecordLine(g, 38.0, "08/03/01", line, sizeof line);
  EXPECT_EQ(line, Sjis("最高記録  38秒 達成日08/03/01"));
}

TEST_F(StatusLines, TitleIsCentredAndBounded) {
  Start(101);
  DrawPracticeTitle(g, dc, BeginnerTitle, "Home Row");
  EXPECT_STREQ(g.practiceTitle, "(^_^) Digdash Beginner's (Home Row) (^_^)/~~");
  ASSERT_FALSE(dc.texts.empty());
  const int length = static_cast<int>(std::strlen(g.practiceTitle));
  EXPECT_EQ(dc.texts.front().left, ToDeviceX(g, 320 - 4 * length));
  EXPECT_EQ(dc.texts.front().text, ColorPurple);
  EXPECT_EQ(dc.textColour, ColorBlack);
  EXPECT_EQ(dc.bkColour, ColorWhite);

  const std::string longName(400, 'x');
  DrawPracticeTitle(g, dc, BeginnerTitle, longName.c_str());
  EXPECT_EQ(std::strlen(g.practiceTitle), sizeof g.practiceTitle - 1);
}

using PracticeScreen = PracticeTest;

TEST_F(PracticeScreen, CountLinesAppearWithTheirFirstCount) {
  Start(101);
  DrawPracticeScreen(g, dc, BeginnerTitle);
  std::string text = dc.AllText();
  EXPECT_NE(text.find("Press ESC key to cancel"), std::string::npos);
  EXPECT_NE(text.find("is next key to press"), std::string::npos);
  EXPECT_EQ(text.find("Type count"), std::string::npos);
  EXPECT_EQ(text.find("Error Count"), std::string::npos);
  EXPECT_EQ(text.find("Min Record"), std::string::npos);

  dc.Clear();
  Correct();
  Miss();
  text = dc.AllText();
  EXPECT_NE(text.find("Type count   1"), std::string::npos);
  EXPECT_NE(text.find("Error Count  1"), std::string::npos);
  EXPECT_EQ(dc.textColour, ColorBlack);
  EXPECT_EQ(dc.bkColour, ColorWhite);
}

TEST_F(PracticeScreen, CancelledRunShowsPromptsButNoTime) {
  Start(101);
  Correct();
  Key(27);
  dc.Clear();
  DrawPracticeScreen(g, dc, BeginnerTitle);
  const std::string text = dc.AllText();
  EXPECT_NE(text.find("Press Enter key to try again"), std::string::npos);
  EXPECT_NE(text.find("Press ESC key to go back to Menu"), std::string::npos);
  EXPECT_EQ(text.find("It took"), std::string::npos);
  EXPECT_EQ(text.find("Press ESC key to cancel"), std::string::npos);
}

TEST_F(PracticeScreen, RepaintAfterAnImprovedRecordShowsTheOldBest) {
  Start(101);
  PlayRun(40000);
  Key(13);
  PlayRun(30000);
  ASSERT_EQ(g.recordState, 2);
  dc.Clear();
  DrawPracticeScreen(g, dc, BeginnerTitle);
  const std::string text = dc.AllText();
  EXPECT_NE(text.find("Min Record  40sec Date70/01/01"), std::string::npos);
  EXPECT_NE(text.find("It took  30sec to finish"), std::string::npos);
  EXPECT_NE(text.find("Congratulations You have updated your record"), std::string::npos);
  EXPECT_NE(text.find("Practice Count   2"), std::string::npos);
}

}  // namespace
