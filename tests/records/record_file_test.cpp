#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "records/records_test_util.h"
#include "support/test_support.h"

namespace {

const std::string Blank8(8, ' ');

class RecordFileTest : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, &clock); }

  // The file a program run leaves when the clock moves on by `seconds`.
  std::string SaveAfter(std::int64_t seconds) {
    g.startTime = CalendarSeconds(clock);
    clock.Advance(seconds * 1000);
    g.endTime = CalendarSeconds(clock);
    EXPECT_NE(SaveRecordFile(g), 0);
    return dir.ReadFile(RecordFileName);
  }

  ScratchDir dir;
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
};

TEST_F(RecordFileTest, CourseLineHasItsByteColumns) {
  CourseRecord& home = g.CourseRecordTable[0][0];
  home.bestTime = 42;
  std::memcpy(home.bestDate, "08/03/01", 8);
  home.practiceSeconds = 312;
  std::vector<std::string> lines = SplitLines(SaveAfter(0));
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[2], "Home_Row" + std::string(26, ' ') + "     42 08/03/01     0hour 5mi12se");
  EXPECT_EQ(lines[2].size(), 68u);

  g.LanguageFlag = 0;
  lines = SplitLines(SaveAfter(0));
  EXPECT_EQ(lines[0], Sjis("練習時間　    0時間 0分 0秒"));
  EXPECT_EQ(lines[2],
            "Home_Row" + std::string(26, ' ') + "     42 08/03/01     0" + Sjis("時間 5分12秒"));
  EXPECT_EQ(lines[2].size(), 68u);

  home.bestDate[5] = '\0';  // a short date still takes its 8 columns
  lines = SplitLines(SaveAfter(0));
  EXPECT_EQ(lines[2].substr(40, 11), "2 08/03    ");
  EXPECT_EQ(lines[2].size(), 68u);
}

TEST_F(RecordFileTest, FirstRunWithoutFileWritesTheWholeLayout) {
  StartUpRecords(g);
  clock.Advance(65 * 1000);
  g.endTime = CalendarSeconds(clock);
  ASSERT_NE(SaveRecordFile(g), 0);
  std::string text = dir.ReadFile(RecordFileName);
  std::vector<std::string> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_EQ(lines[0], "Total_Practice_Time    0hour 1mi 5se");
  EXPECT_EQ(lines[1], "Beginner's");
  EXPECT_EQ(lines[8], "Standard");
  EXPECT_EQ(lines[15], "Expert");
  const char* names[] = {"Home_Row",  "Upper_Row",      "Home+Upper_Row",
                         "Lower_Row", "Home+Lower_Row", "All_Row"};
  for (int level = 0; level < 3; ++level) {
    for (int row = 0; row < 6; ++row) {
      const std::string& line = lines[1 + level * 7 + 1 + row];
      SCOPED_TRACE(line);
      ASSERT_EQ(line.size(), 68u);
      EXPECT_EQ(line.substr(0, 34), names[row] + std::string(34 - strlen(names[row]), ' '));
      EXPECT_EQ(line[40], '0');
      EXPECT_EQ(line.substr(41, 10), std::string(10, ' '));
      EXPECT_EQ(line.substr(51), "    0hour 0mi 0se");
    }
  }
  EXPECT_FALSE(dir.Exists(std::string(RecordFileName) + ".tmp"));
}

TEST_F(RecordFileTest, TotalAccumulatesAcrossProgramRuns) {
  std::string file = JoinLines({"Total_Practice_Time    1hour 2mi 5se", "Beginner's"});
  dir.WriteFile(RecordFileName, file);
  StartUpRecords(g);
  EXPECT_EQ(g.pastPracticeSeconds, 3725);
  clock.Advance(10 * 1000);
  g.endTime = CalendarSeconds(clock);
  ASSERT_NE(SaveRecordFile(g), 0);
  EXPECT_EQ(SplitLines(dir.ReadFile(RecordFileName))[0], "Total_Practice_Time    1hour 2mi15se");
}

TEST_F(RecordFileTest, WhatIsWrittenReadsBackInEitherLanguage) {
  for (int written : {1, 0}) {
    for (int reading : {1, 0}) {
      SCOPED_TRACE(testing::Message() << "written " << written << " read " << reading);
      InitGlobals(g, &clock);
      g.LanguageFlag = written;
      g.pastPracticeSeconds = 9999 * 3600 + 59 * 60 + 58;
      for (int level = 0; level < 3; ++level) {
        for (int row = 0; row < 6; ++row) {
          CourseRecord& c = g.CourseRecordTable[level][row];
          c.bestTime = level * 100 + row + 1;
          std::snprintf(c.bestDate, sizeof c.bestDate, "%02d/0%d/1%d", level, row, row);
          c.practiceSeconds = 99999 * 3600 + level * 60 + row;
        }
      }
      g.CourseRecordTable[2][5].bestTime = 0;
      std::memcpy(g.CourseRecordTable[2][5].bestDate, Blank8.data(), 8);
      GameGlobals before = g;
      SaveAfter(0);
      if (written == 0) {
        EXPECT_EQ(dir.ReadFile(RecordFileName).substr(0, 10), Sjis("練習時間　"));
      }

      GameGlobals back;
      InitGlobals(back, &clock);
      back.LanguageFlag = reading;
      ASSERT_EQ(LoadFromBytes(back, dir.ReadFile(RecordFileName)), 1);
      EXPECT_EQ(back.pastPracticeSeconds, before.pastPracticeSeconds);
      for (int level = 0; level < 3; ++level) {
        for (int row = 0; row < 6; ++row) {
          const CourseRecord& want = before.CourseRecordTable[level][row];
          const CourseRecord& got = back.CourseRecordTable[level][row];
          EXPECT_EQ(got.bestTime, want.bestTime);
          EXPECT_STREQ(got.bestDate, want.bestDate);
          EXPECT_EQ(got.practiceSeconds, want.practiceSeconds);
        }
      }
    }
  }
}

// A file as written with LanguageFlag 1, every course with the given line.
std::string EnglishFile(const std::string& total, const std::string& course) {
  std::vector<std::string> lines = {total};
  for (const char* level : {"Beginner's", "Standard", "Expert"}) {
    lines.push_back(level);
    for (int row = 0; row < 6; ++row) lines.push_back(course);
  }
  return JoinLines(lines);
}

const std::string RecordLine =
    "Home_Row" + std::string(26, ' ') + "     42 08/03/01     0hour 5mi12se";

TEST_F(RecordFileTest, ReadsCrLfLikeLf) {
  std::string lf = EnglishFile("Total_Practice_Time    1hour 2mi 5se", RecordLine);
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_EQ(LoadFromBytes(g, crlf), 1);
  EXPECT_EQ(g.pastPracticeSeconds, 3725);
  EXPECT_EQ(g.CourseRecordTable[2][5].bestTime, 42);
  EXPECT_STREQ(g.CourseRecordTable[2][5].bestDate, "08/03/01");
  EXPECT_EQ(g.CourseRecordTable[2][5].practiceSeconds, 312);
}

TEST_F(RecordFileTest, FileCutShortKeepsDefaultsForTheRest) {
  std::vector<std::string> lines =
      SplitLines(EnglishFile("Total_Practice_Time    0hour 0mi 7se", RecordLine));
  lines.resize(9);
  EXPECT_EQ(LoadFromBytes(g, JoinLines(lines)), 0);
  EXPECT_EQ(g.pastPracticeSeconds, 7);
  for (int row = 0; row < 6; ++row) EXPECT_EQ(g.CourseRecordTable[0][row].practiceSeconds, 312);
  for (int level = 1; level < 3; ++level) {
    for (int row = 0; row < 6; ++row) {
      EXPECT_EQ(g.CourseRecordTable[level][row].bestTime, 0.0);
      EXPECT_EQ(std::string(g.CourseRecordTable[level][row].bestDate), Blank8);
      EXPECT_EQ(g.CourseRecordTable[level][row].practiceSeconds, 0);
    }
  }
  InitGlobals(g, &clock);
  EXPECT_EQ(LoadFromBytes(g, ""), 0);
  EXPECT_EQ(g.pastPracticeSeconds, 0);
}

TEST_F(RecordFileTest, DateBytesAreCopiedBlanksIncluded) {
  std::string line = "Upper_Row" + std::string(25, ' ') + "     17 08/ 3/ 1     0hour 0mi 9se";
  ASSERT_EQ(LoadFromBytes(g, EnglishFile("Total_Practice_Time    0hour 0mi 0se", line)), 1);
  EXPECT_STREQ(g.CourseRecordTable[1][3].bestDate, "08/ 3/ 1");
  std::string noRecord = "Upper_Row" + std::string(25, ' ') + "      0          0hour 1mi 0se";
  ASSERT_EQ(LoadFromBytes(g, EnglishFile("Total_Practice_Time    0hour 0mi 0se", noRecord)), 1);
  EXPECT_EQ(std::string(g.CourseRecordTable[1][3].bestDate), Blank8);
  EXPECT_EQ(g.CourseRecordTable[1][3].practiceSeconds, 60);
}

TEST_F(RecordFileTest, WideFieldsJoinedToTheirLabelStillRead) {
  std::string line = "All_Row" + std::string(27, ' ') + "12345678 08/03/01 123456hour 7mi 8se";
  ASSERT_EQ(LoadFromBytes(g, EnglishFile("Total_Practice_Time10000hour 0mi 1se", line)), 1);
  EXPECT_EQ(g.pastPracticeSeconds, 10000 * 3600 + 1);
  EXPECT_EQ(g.CourseRecordTable[0][5].bestTime, 12345678.0);
  EXPECT_STREQ(g.CourseRecordTable[0][5].bestDate, "08/03/01");
  EXPECT_EQ(g.CourseRecordTable[0][5].practiceSeconds, 123456 * 3600 + 7 * 60 + 8);

  // The same holds when this program writes such values.
  InitGlobals(g, &clock);
  g.pastPracticeSeconds = 10000 * 3600 + 1;
  g.CourseRecordTable[0][5] = CourseRecord{12345678.0, "08/03/01", 123456 * 3600 + 488, 0};
  std::string file = SaveAfter(0);
  EXPECT_EQ(SplitLines(file)[0], "Total_Practice_Time10000hour 0mi 1se");
  GameGlobals back;
  InitGlobals(back, &clock);
  ASSERT_EQ(LoadFromBytes(back, file), 1);
  EXPECT_EQ(back.pastPracticeSeconds, g.pastPracticeSeconds);
  EXPECT_EQ(back.CourseRecordTable[0][5].bestTime, 12345678.0);
  EXPECT_EQ(back.CourseRecordTable[0][5].practiceSeconds, 123456 * 3600 + 488);
}

TEST_F(RecordFileTest, HugeHoursSaturateInsteadOfOverflowing) {
  std::string line =
      "All_Row" + std::string(27, ' ') + "      1 08/03/01 99999999999999999999hour 0mi 0se";
  std::string total = "Total_Practice_Time-99999999999999hour 0mi 0se";
  ASSERT_EQ(LoadFromBytes(g, EnglishFile(total, line)), 1);
  EXPECT_EQ(g.pastPracticeSeconds, INT32_MIN);
  EXPECT_EQ(g.CourseRecordTable[0][0].practiceSeconds, INT32_MAX);
}

TEST_F(RecordFileTest, DamagedLinesReadZeroAndStayOnTheirOwnLine) {
  std::vector<std::string> lines =
      SplitLines(EnglishFile("Total_Practice_Time  xx1hour 2mi 5se", RecordLine));
  lines[3] = "Upper_Row" + std::string(25, ' ') + "    abc 08/03/01     0hour 5mi12se";
  lines[4] = "Home+Upper_Row   99 08/03/01     1hourXXmi 7se";
  lines[5] = "Lower_Row";
  lines.insert(lines.begin() + 6, "   \t  ");  // a blank line is not a course
  ASSERT_EQ(LoadFromBytes(g, JoinLines(lines)), 1);
  EXPECT_EQ(g.pastPracticeSeconds, 0);
  EXPECT_EQ(g.CourseRecordTable[0][0].practiceSeconds, 312);
  EXPECT_EQ(g.CourseRecordTable[0][1].bestTime, 0.0);
  EXPECT_EQ(std::string(g.CourseRecordTable[0][1].bestDate), Blank8);
  EXPECT_EQ(g.CourseRecordTable[0][1].practiceSeconds, 0);
  EXPECT_EQ(g.CourseRecordTable[0][2].bestTime, 99.0);
  EXPECT_EQ(g.CourseRecordTable[0][2].practiceSeconds, 3600);  // minutes and seconds lost
  EXPECT_EQ(g.CourseRecordTable[0][3].bestTime, 0.0);
  EXPECT_EQ(g.CourseRecordTable[0][4].bestTime, 42.0);
  for (int row = 0; row < 6; ++row) EXPECT_EQ(g.CourseRecordTable[2][row].practiceSeconds, 312);
}

TEST_F(RecordFileTest, BinaryFilesNeverOverrunTheRecords) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
  LoadFromBytes(g, binary);
  std::string nulDate = RecordLine;
  nulDate[44] = '\0';
  nulDate[45] = '\x82';
  ASSERT_EQ(LoadFromBytes(g, EnglishFile("Total_Practice_Time    0hour 0mi 0se", nulDate)), 1);
  EXPECT_EQ(std::string(g.CourseRecordTable[0][0].bestDate, 8),
            "08 \x82"
            "3/01");
  EXPECT_EQ(g.CourseRecordTable[0][0].bestDate[8], '\0');
}

TEST_F(RecordFileTest, RecordFileThatIsADirectory) {
  ASSERT_EQ(mkdir(RecordFileName, 0755), 0);
  StartUpRecords(g);
  EXPECT_EQ(g.recordsStarted, 1);
  EXPECT_EQ(g.pastPracticeSeconds, 0);
  EXPECT_EQ(SaveRecordFile(g), 0);
  struct stat st;
  ASSERT_EQ(stat(RecordFileName, &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_FALSE(dir.Exists(std::string(RecordFileName) + ".tmp"));
}

TEST_F(RecordFileTest, FailedSaveLeavesTheOldFileWhole) {
  const std::string old = EnglishFile("Total_Practice_Time    1hour 2mi 5se", RecordLine);
  const std::string temp = std::string(RecordFileName) + ".tmp";
  dir.WriteFile(RecordFileName, old);
  StartUpRecords(g);

  ASSERT_EQ(symlink("/dev/full", temp.c_str()), 0);  // a full disk
  EXPECT_EQ(SaveRecordFile(g), 0);
  EXPECT_EQ(dir.ReadFile(RecordFileName), old);
  EXPECT_FALSE(dir.Exists(temp));

  ASSERT_EQ(mkdir(temp.c_str(), 0755), 0);  // the new file cannot be created
  EXPECT_EQ(SaveRecordFile(g), 0);
  EXPECT_EQ(dir.ReadFile(RecordFileName), old);
  rmdir(temp.c_str());

  g.endTime = g.startTime;
  ASSERT_NE(SaveRecordFile(g), 0);
  std::vector<std::string> lines = SplitLines(dir.ReadFile(RecordFileName));
  EXPECT_EQ(lines[0], "Total_Practice_Time    1hour 2mi 5se");
  EXPECT_EQ(lines[21], "All_Row " + RecordLine.substr(8));
}

TEST_F(RecordFileTest, LinkedRecordFileStaysLinked) {
  ASSERT_EQ(mkdir("elsewhere", 0755), 0);
  dir.WriteFile("elsewhere/records",
                EnglishFile("Total_Practice_Time    0hour 0mi 3se", RecordLine));
  ASSERT_EQ(symlink("elsewhere/records", RecordFileName), 0);
  StartUpRecords(g);
  EXPECT_EQ(g.pastPracticeSeconds, 3);
  clock.Advance(2000);
  g.endTime = CalendarSeconds(clock);
  ASSERT_NE(SaveRecordFile(g), 0);
  struct stat st;
  ASSERT_EQ(lstat(RecordFileName, &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(SplitLines(dir.ReadFile("elsewhere/records"))[0],
            "Total_Practice_Time    0hour 0mi 5se");
}

}  // namespace
