// --lang ja: the Japanese texts of the screens, the files and the report.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "install/install_support.h"
#include "support/test_support.h"

namespace {

// A first record on Beginner's Home Row: 42 s from the first correct key, then
// the practice record after 3 s more; 45 s of program time in all. The clock
// starts at 2001-09-09 01:46:40 UTC (the tests run with TZ=UTC).
constexpr char Session[] =
    "key space\ntype 1\ntype 1\nhit\nwait 42000\nhit 59\nscreenshot practice.png\n"
    "key esc\ntype 7\ntype 4\nwait 3000\nrepaint\nscreenshot record.png\nquit\n";

Outcome Play(const std::string& language) {
  WriteBytes("session.txt", Session);
  return RunProgram("--headless session.txt --clock 1000000000 " + language);
}

// The 18 course lines after their level words, with only Home_Row practised.
std::string CourseLines(const char* homeRowTail, const char* emptyTail) {
  const char* names[] = {"Home_Row",  "Upper_Row",      "Home+Upper_Row",
                         "Lower_Row", "Home+Lower_Row", "All_Row"};
  std::string s;
  for (const char* level : {"Beginner's", "Standard", "Expert"}) {
    s += std::string(level) + "\n";
    for (const char* name : names) {
      std::string line = name;
      line.resize(34, ' ');
      const bool practised = s.size() < 20 && std::string(name) == "Home_Row";
      line += practised ? "     42 01/09/09" : "      0         ";
      s += line + (practised ? homeRowTail : emptyTail);
    }
  }
  return s;
}

// Device pixels of a logical rectangle at 642x402 (one pixel of margin).
constexpr int D(int logical) {
  return logical + 1;
}

constexpr std::uint32_t Green = 0x008000, Navy = 0x000080, Brown = 0x802000;

}  // namespace

TEST(Japanese, TheRecordFileAndBothLogsAreWrittenInTheJapaneseLayouts) {
  ScratchDir dir;
  Outcome r = Play("--lang ja");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.ReadFile("wenlotka.rec"),
            Sjis("練習時間　    0時間 0分45秒\n") +
                Sjis(CourseLines("     0時間 0分42秒\n", "     0時間 0分 0秒\n").c_str()));
  EXPECT_EQ(dir.ReadFile("wenlotka.log"), Sjis("01/09/09 01:46:40 練習時間  0時間 0分45秒\n"));
  EXPECT_EQ(dir.ReadFile("wenlotka.spd"),
            Sjis("01/09/09 01:47:22 Beginner's Home Row                   42秒 累積    0時間 "
                 "0分42秒\n"));
}

TEST(Japanese, EnglishStaysTheDefault) {
  for (const char* language : {"", "--lang en"}) {
    ScratchDir dir;
    Outcome r = Play(language);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dir.ReadFile("wenlotka.rec"),
              "Total_Practice_Time    0hour 0mi45se\n" +
                  CourseLines("     0hour 0mi42se\n", "     0hour 0mi 0se\n"))
        << language;
    EXPECT_EQ(dir.ReadFile("wenlotka.log"), "01/09/09 01:46:40 Practice Time  0hour 0min45sec\n");
    EXPECT_EQ(dir.ReadFile("wenlotka.spd"),
              "01/09/09 01:47:22 Beginner's Home Row         42sec total    0hour 0min42sec\n");
  }
}

TEST(Japanese, ARecordFileWrittenInOneLanguageReadsBackInTheOther) {
  for (const auto& [writer, reader] : {std::pair{"--lang ja", "--lang en"}, {"", "--lang ja"}}) {
    ScratchDir dir;
    ASSERT_EQ(Play(writer).status, 0);
    WriteBytes("look.txt", "state\nkill\n");
    Outcome r = RunProgram("--headless look.txt " + std::string(reader));
    EXPECT_NE(r.out.find("\"pastPracticeSeconds\":45,"), std::string::npos) << writer;
    EXPECT_NE(r.out.find("{\"code\":101,\"bestTime\":42,\"bestDate\":\"01/09/09\","
                         "\"practiceSeconds\":42,"),
              std::string::npos)
        << writer << "\n"
        << r.out;
  }
}

TEST(Japanese, ThePracticeAndRecordScreensShowTheJapaneseTexts) {
  ScratchDir en;
  ASSERT_EQ(Play("").status, 0);
  const Picture practiceEn = ReadPng("practice.png"), recordEn = ReadPng("record.png");
  ScratchDir ja;
  ASSERT_EQ(Play("--lang ja").status, 0);
  const Picture practiceJa = ReadPng("practice.png"), recordJa = ReadPng("record.png");
  ASSERT_EQ(practiceJa.width, 642);
  ASSERT_EQ(recordJa.height, 402);

  // Practice screen. "今回は    42秒かかりました" takes 26 columns in navy at
  // (32, 1), "It took  42sec to finish" only 24: only Japanese reaches x 193.
  EXPECT_GT(CountColour(practiceJa, Navy, D(193), D(32), D(208), D(48)), 0);
  EXPECT_EQ(CountColour(practiceEn, Navy, D(193), D(32), D(208), D(48)), 0);
  EXPECT_GT(CountColour(practiceEn, Navy, D(1), D(32), D(192), D(48)), 0);
  // The practice count moves from x 480 to x 512 in Japanese.
  EXPECT_EQ(CountColour(practiceJa, Green, D(480), D(16), D(511), D(32)), 0);
  EXPECT_GT(CountColour(practiceEn, Green, D(480), D(16), D(511), D(32)), 0);
  EXPECT_GT(CountColour(practiceJa, Green, D(512), D(16), D(640), D(32)), 0);
  // "正解 60回" is 9 columns at x 512, "Type count  60" 14.
  EXPECT_EQ(CountColour(practiceJa, 0x008080, D(586), D(32), D(640), D(48)), 0);
  EXPECT_GT(CountColour(practiceEn, 0x008080, D(586), D(32), D(640), D(48)), 0);

  // Record screen. The prompt at x 344 is 33 columns in Japanese, 31 in English.
  EXPECT_GT(CountColour(recordJa, Navy, D(593), D(1), D(608), D(17)), 0);
  EXPECT_EQ(CountColour(recordEn, Navy, D(593), D(1), D(608), D(17)), 0);
  // A course's practice time at x 433: 17 columns in Japanese, 19 in English.
  EXPECT_EQ(CountColour(recordJa, Brown, D(570), D(64), D(585), D(160)), 0);
  EXPECT_GT(CountColour(recordEn, Brown, D(570), D(64), D(585), D(160)), 0);
  EXPECT_GT(CountColour(recordJa, Brown, D(433), D(64), D(569), D(160)), 0);
  // The first two lines: 37 columns in Japanese, 39 in English.
  EXPECT_EQ(CountColour(recordJa, Green, D(298), D(1), D(313), D(33)), 0);
  EXPECT_GT(CountColour(recordEn, Green, D(298), D(1), D(313), D(33)), 0);
  EXPECT_GT(CountColour(recordJa, Green, D(1), D(1), D(296), D(33)), 0);
}

TEST(Japanese, TheSaveReportHasTheJapaneseCaption) {
  ScratchDir dir;
  ASSERT_EQ(mkdir("wenlotka.log", 0755), 0);  // the practice log cannot be appended
  WriteBytes("quit.txt", "quit\n");
  for (const auto& [language, caption, other] :
       {std::tuple{"--lang ja", "成績ファイル書き込みエラー\n", "Practice Record write error"},
        {"", "Practice Record write error\n", "成績ファイル書き込みエラー"}}) {
    Outcome r = RunProgram("--headless quit.txt " + std::string(language));
    EXPECT_NE(r.err.find(caption), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(other), std::string::npos) << r.err;
    // The two fixed lines are English in either language.
    EXPECT_NE(r.err.find("Practice Recod File\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Could not be saved\n"), std::string::npos) << r.err;
  }
}
