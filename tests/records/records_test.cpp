#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/safe_file.h"
#include "records/records.h"
#include "support/test_support.h"

namespace {

using namespace std::string_literals;

constexpr std::int64_t March1st2008 = 1204374896;  // 2008-03-01 12:34:56 UTC
const std::string RecordLine =
    "Home_Row" + std::string(26, ' ') + "     42 08/03/01     0hour 5mi12se";
const std::string Total1h2m5s = "Total_Practice_Time    1hour 2mi 5se";
const CourseRecord Home42{42, "08/03/01", 312, 0};
const CourseRecord NoRecord{};

int LoadFromBytes(GameGlobals& g, std::string bytes) {
  std::FILE* f = bytes.empty() ? std::tmpfile() : fmemopen(bytes.data(), bytes.size(), "r");
  int result = LoadRecordFile(g, f);
  std::fclose(f);
  return result;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

const char* const CourseNames[] = {"Home_Row",  "Upper_Row",      "Home+Upper_Row",
                                   "Lower_Row", "Home+Lower_Row", "All_Row"};

std::string Pad(const char* name) {
  return name + std::string(34 - std::strlen(name), ' ');
}

// RecordLine's values under another course's name.
std::string Named(const char* name) {
  return Pad(name) + RecordLine.substr(34);
}

// A file as written in English: every course holds RecordLine's values but
// the second of each level, which reads `second`.
std::string EnglishFile(const std::string& total, const std::string& second = Named("Upper_Row"),
                        const std::string& end = "\n") {
  std::string text = total + end;
  for (const char* level : {"Beginner's", "Standard", "Expert"}) {
    text += level + end + RecordLine + end + second + end;
    for (int row = 2; row < 6; ++row) text += Named(CourseNames[row]) + end;
  }
  return text;
}

void ExpectCourse(const CourseRecord& got, const CourseRecord& want) {
  EXPECT_EQ(got.bestTime, want.bestTime);
  EXPECT_EQ(std::string(got.bestDate, 9), std::string(want.bestDate, 9));
  EXPECT_EQ(got.practiceSeconds, want.practiceSeconds);
}

class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, &clock); }
  static CourseRecord& Course(GameGlobals& g, int i) { return g.CourseRecordTable[i / 6][i % 6]; }

  // The file this program run leaves when the clock moves on by `seconds`;
  // `restart` counts the run from now instead of from StartUpRecords, as the
  // first save into an empty folder (a save merges with a file on disk).
  std::string SaveAfter(std::int64_t seconds, bool restart = true) {
    if (restart) {
      g.startTime = CalendarSeconds(clock);
      g.startSteadyMs = clock.SteadyMs();
      unlink(RecordFileName);
    }
    clock.Advance(seconds * 1000);
    g.endTime = CalendarSeconds(clock);
    g.endSteadyMs = clock.SteadyMs();
    EXPECT_NE(SaveRecordFile(g), 0);
    return dir.ReadFile(RecordFileName);
  }

  ScratchDir dir;
  VirtualClock clock{TimeStamp{March1st2008, 0}};
  GameGlobals g;
};

TEST_F(RecordsTest, FirstRunWritesTheWholeLayoutInByteColumns) {
  StartUpRecords(g);
  EXPECT_FALSE(dir.Exists(RecordFileName));  // a missing file is not created at start
  CourseRecord& home = g.CourseRecordTable[0][0] = Home42;
  std::string text = SaveAfter(65, false);
  std::vector<std::string> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_FALSE(dir.Exists(std::string(RecordFileName) + ".tmp"));
  EXPECT_EQ(lines[0], "Total_Practice_Time    0hour 1mi 5se");
  EXPECT_EQ(lines[2], RecordLine);
  EXPECT_EQ(lines[2].size(), 68u);
  const char* names[] = {"Home_Row",  "Upper_Row",      "Home+Upper_Row",
                         "Lower_Row", "Home+Lower_Row", "All_Row"};
  const char* levels[] = {"Beginner's", "Standard", "Expert"};
  for (int i = 1; i < 18; ++i) {
    EXPECT_EQ(lines[1 + i / 6 * 7], levels[i / 6]);
    EXPECT_EQ(lines[2 + i / 6 * 7 + i % 6], names[i % 6] +
                                                std::string(34 - strlen(names[i % 6]), ' ') +
                                                "      0" + std::string(14, ' ') + "0hour 0mi 0se");
  }
  g.LanguageFlag = 0;
  lines = SplitLines(SaveAfter(0));
  EXPECT_EQ(lines[0], Sjis("練習時間　    0時間 0分 0秒"));
  EXPECT_EQ(lines[2], RecordLine.substr(0, 56) + Sjis("時間 5分12秒"));
  EXPECT_EQ(lines[2].size(), 68u);
  g.LanguageFlag = 1;
  home.bestDate[5] = '\0';  // a short date still takes its 8 columns
  g.pastPracticeSeconds = 10000 * 3600 + 1;
  g.CourseRecordTable[0][5] = CourseRecord{12345678.0, "08/03/01", 123456 * 3600 + 488, 0};
  lines = SplitLines(SaveAfter(0));
  EXPECT_EQ(lines[2].substr(40, 11), "2 08/03    ");
  EXPECT_EQ(lines[2].size(), 68u);
  // Values wider than their column join the word before them.
  EXPECT_EQ(lines[0], "Total_Practice_Time10000hour 0mi 1se");
  EXPECT_EQ(lines[7], "All_Row" + std::string(27, ' ') + "12345678 08/03/01 123456hour 8mi 8se");
}

TEST_F(RecordsTest, WhatIsWrittenReadsBackInEitherLanguage) {
  for (int combo = 0; combo < 4; ++combo) {
    SCOPED_TRACE(testing::Message() << "written " << (combo & 1) << " read " << (combo >> 1));
    InitGlobals(g, &clock);
    g.LanguageFlag = combo & 1;
    g.pastPracticeSeconds = 10000 * 3600 + 59 * 60 + 58;
    for (int i = 0; i < 18; ++i) {
      CourseRecord& c = Course(g, i);
      c = CourseRecord{i * 1000000.0 + 1, "", 123456 * 3600 + i * 61, 0};
      std::snprintf(c.bestDate, sizeof c.bestDate, "%02d/0%d/1%d", i / 6, i % 6, i % 6);
    }
    GameGlobals back;
    InitGlobals(back, &clock);
    back.LanguageFlag = combo >> 1;
    std::string problem = "unset";
    ASSERT_EQ(LoadRecordText(back, SaveAfter(0), &problem), 1);
    EXPECT_EQ(problem, "") << "what the game writes is never taken for damage";
    EXPECT_EQ(back.pastPracticeSeconds, g.pastPracticeSeconds);
    for (int i = 0; i < 18; ++i) ExpectCourse(Course(back, i), Course(g, i));
  }
}

TEST_F(RecordsTest, ReadsEachCourseLineOnItsOwnTerms) {
  const std::string T = "Total_Practice_Time", u = "Upper_Row" + std::string(25, ' ');
  // clang-format off
  const struct { std::string total, second; std::int32_t seconds; CourseRecord want; } cases[] = {
      {Total1h2m5s, "   \t  \n" + Named("Upper_Row"), 3725, Home42},  // a blank line is not a course
      {T + "    0hour 0mi 0se", u + "     17 08/ 3/ 1     0hour 0mi 9se", 0, {17, "08/ 3/ 1", 9, 0}},
      {T + "    0hour 0mi 0se", u + "      0          0hour 1mi 0se", 0, {0, "        ", 60, 0}},
      // control bytes read as blanks so the date keeps its columns
      {T + "    0hour 0mi 0se", u + "     42 08\0\2023/01     0hour 5mi12se"s, 0, {42, "08 \2023/01", 312, 0}},
      // A negative or absurd time, and a best time no run can beat, are damage.
      {T + "-99999999999999hour 0mi 0se", u + "      1 08/03/01 99999999999999999999hour 0mi 0se",
       0, NoRecord},
      {T + "  596524hour 0mi 0se", u + "     -5 08/03/01     0hour 5mi12se", 0, NoRecord},
      {Total1h2m5s, u + "    0.5 08/03/01     0hour 5mi12se", 3725, NoRecord},
      {Total1h2m5s, u + "     42 08/03/01     0hour-5mi12se", 3725, NoRecord},
      {T + "  xx1hour 2mi 5se", u + "    abc 08/03/01     0hour 5mi12se", 0, NoRecord},
      // A line with a field that does not convert is not taken: the file is
      // kept instead.
      {Total1h2m5s, u + "   99 08/03/01     1hourXXmi 7se", 3725, NoRecord},
      {Total1h2m5s, "Upper_Row", 3725, NoRecord},
  };
  // clang-format on
  for (const auto& c : cases) {
    for (const char* ending : {"\n", "\r\n"}) {
      SCOPED_TRACE(c.second + ending);
      ASSERT_EQ(LoadFromBytes(g, EnglishFile(c.total, c.second, ending)), 1);
      EXPECT_EQ(g.pastPracticeSeconds, c.seconds);
      for (int i = 0; i < 18; ++i) ExpectCourse(Course(g, i), i % 6 == 1 ? c.want : Home42);
    }
  }
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
  InitGlobals(g, &clock);
  std::string problem;
  // Garbage sets nothing: no line has the shape of its place.
  EXPECT_EQ(LoadRecordText(g, binary, &problem), 0);
  EXPECT_EQ(problem,
            "line 1 is not a total line; line 2 is not a course line; line 3 is not a course "
            "line; and 30 more");
  EXPECT_EQ(g.pastPracticeSeconds, 0);
  for (int i = 0; i < 18; ++i) ExpectCourse(Course(g, i), NoRecord);
}

TEST_F(RecordsTest, NamesTheFirstLineThatDoesNotReadAndTakesTheRest) {
  const std::string good = EnglishFile(Total1h2m5s);
  auto without = [&](const std::string& text, const std::string& part) {
    std::string t = text;
    t.erase(t.find(part), part.size());
    return t;
  };
  // clang-format off
  const struct { std::string bytes; int complete; const char* problem; int coursesRead; } cases[] = {
      {good, 1, "", 18},
      {EnglishFile(Total1h2m5s, Named("Upper_Row"), "\r"), 1, "", 18},    // CR only
      {EnglishFile(Total1h2m5s, Named("Upper_Row"), "\r\n"), 1, "", 18},  // CR LF
      {"", 0, "is empty", 0},
      {" \r\n\t\n", 0, "is empty", 0},
      // Each line is placed by the course it names: a deleted or repeated
      // line costs itself only, and every line that does not fit is named.
      {without(good, Named("Upper_Row") + "\n"), 0, "the Beginner's Upper_Row line is missing", 17},
      {good.substr(0, good.find("Lower_Row")) + good.substr(good.find("Home+Upper_Row")), 1,
       "line 6 repeats the Beginner's Home+Upper_Row line", 18},
      {without(without(good, Named("Lower_Row") + "\n"), "Expert\n"), 0,
       "line 15 repeats the Standard Home_Row line; line 16 repeats the Standard Upper_Row line; "
       "line 17 repeats the Standard Home+Upper_Row line; and 11 more", 11},
      {std::string(good).replace(good.find("Standard"), 8, "Standard 12:00 extra"), 1,
       "line 9 is not the level line \"Standard\"", 18},
      {good + "one more\n", 1, "line 23 is more than the 22 lines of records", 18},
      {good.substr(0, good.find("Standard")), 0, "ends after line 8 of 22", 6},
      {"Total_Practice_Time    1hour 2mi 5se trailing\n", 0,
       "line 1 is not a total line; ends after line 1 of 22", 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.problem);
    InitGlobals(g, &clock);
    std::string problem = "unset";
    EXPECT_EQ(LoadRecordText(g, c.bytes, &problem), c.complete);
    EXPECT_EQ(problem, c.problem);
    int read = 0;
    for (int i = 0; i < 18; ++i) read += Course(g, i).bestTime == 42.0;
    EXPECT_EQ(read, c.coursesRead);
  }
}

TEST_F(RecordsTest, SaveMergesWithWhatAnotherGameSavedMeanwhile) {
  // Loaded: Home Row 42 s with 312 s of practice, 1 h 2 min 5 s in all.
  dir.WriteFile(RecordFileName, EnglishFile(Total1h2m5s));
  StartUpRecords(g);
  // This session: a faster Home Row (40 s), 100 s more practice on it, and
  // 10 s of practice on Upper Row; the program ran 200 s.
  CourseRecord& home = Course(g, 0);
  home.bestTime = 40;
  std::memcpy(home.bestDate, "08/03/02", 8);
  home.practiceSeconds += 100;
  Course(g, 1).practiceSeconds += 10;
  // Meanwhile another game saved: Home Row 41 s and Upper Row 30 s, with
  // 50 s more practice on each, 1 h 3 min 5 s in all.
  std::string other = EnglishFile("Total_Practice_Time    1hour 3mi 5se",
                                  Pad("Upper_Row") + "     30 08/03/01     0hour 6mi 2se");
  other.replace(other.find(RecordLine), RecordLine.size(),
                Pad("Home_Row") + "     41 08/03/01     0hour 6mi 2se");
  dir.WriteFile(RecordFileName, other);
  clock.Advance(200 * 1000);
  g.endSteadyMs = clock.SteadyMs();
  ASSERT_NE(SaveRecordFile(g), 0);
  std::vector<std::string> lines = SplitLines(dir.ReadFile(RecordFileName));
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "Total_Practice_Time    1hour 6mi25se");                   // 3785 + 200
  EXPECT_EQ(lines[2], Pad("Home_Row") + "     40 08/03/02     0hour 7mi42se");   // 362 + 100
  EXPECT_EQ(lines[3], Pad("Upper_Row") + "     30 08/03/01     0hour 6mi12se");  // 362 + 10
  EXPECT_EQ(lines[9], RecordLine) << "untouched courses as on disk";

  // A best time the user cleared by hand meanwhile stays cleared when this
  // session set no better one.
  InitGlobals(g, &clock);
  dir.WriteFile(RecordFileName, EnglishFile(Total1h2m5s));
  StartUpRecords(g);
  std::string cleared = EnglishFile(Total1h2m5s);
  cleared.replace(
      0, Total1h2m5s.size() + 12 + RecordLine.size(),
      Total1h2m5s + "\nBeginner's\n" + Pad("Home_Row") + "      0              0hour 5mi12se");
  dir.WriteFile(RecordFileName, cleared);
  g.endSteadyMs = g.startSteadyMs;
  ASSERT_NE(SaveRecordFile(g), 0);
  EXPECT_EQ(dir.ReadFile(RecordFileName), cleared);
}

TEST_F(RecordsTest, AFileThatCannotBeKeptIsNotReplaced) {
  dir.WriteFile(RecordFileName, "damaged");
  StartUpRecords(g);
  g.endTime = g.startTime;
  InjectFileFaultForTesting(FileFault::Backup);
  EXPECT_EQ(SaveRecordFile(g), 0);
  InjectFileFaultForTesting(FileFault::None);
  EXPECT_EQ(dir.ReadFile(RecordFileName), "damaged");
  // A close that fails after a good sync is a failed save too.
  dir.WriteFile(RecordFileName, EnglishFile(Total1h2m5s));
  InjectFileFaultForTesting(FileFault::Close);
  EXPECT_EQ(SaveRecordFile(g), 0);
  EXPECT_EQ(AppendPracticeLog(g, "03/01/08", "12:34:56", 5), 0);
  EXPECT_EQ(AppendSpeedLog(g, "Expert", "All Row", "03/01/08", "12:34:56", 9.0, 9), 0);
  InjectFileFaultForTesting(FileFault::None);
  EXPECT_EQ(dir.ReadFile(RecordFileName), EnglishFile(Total1h2m5s));
  EXPECT_FALSE(dir.Exists(std::string(RecordFileName) + ".tmp"));
}

TEST_F(RecordsTest, FileCutShortKeepsDefaultsForTheRest) {
  std::string file = EnglishFile("Total_Practice_Time    0hour 0mi 7se");
  EXPECT_EQ(LoadFromBytes(g, file.substr(0, file.find("Standard\n") + 9)), 0);  // 9 lines
  EXPECT_EQ(g.pastPracticeSeconds, 7);
  for (int i = 0; i < 18; ++i) ExpectCourse(Course(g, i), i < 6 ? Home42 : NoRecord);
  InitGlobals(g, &clock);
  EXPECT_EQ(LoadFromBytes(g, ""), 0);
  EXPECT_EQ(g.pastPracticeSeconds, 0);
}

TEST_F(RecordsTest, FailedSaveLeavesTheOldFileWhole) {
  const std::string old = EnglishFile(Total1h2m5s), temp = std::string(RecordFileName) + ".tmp";
  dir.WriteFile(RecordFileName, old);
  StartUpRecords(g);
  g.endTime = g.startTime;
  InjectFileFaultForTesting(FileFault::Write);  // a full disk
  EXPECT_EQ(SaveRecordFile(g), 0);
  InjectFileFaultForTesting(FileFault::None);
  EXPECT_EQ(dir.ReadFile(RecordFileName), old);
  EXPECT_FALSE(dir.Exists(temp));
  chmod(RecordFileName, 0444);  // made read-only by its user
  EXPECT_EQ(SaveRecordFile(g), 0);
  EXPECT_EQ(dir.ReadFile(RecordFileName), old);
  chmod(RecordFileName, 0644);
  // A folder named as a temporary file once was is in no save's way: each
  // save makes a temporary file of its own.
  ASSERT_EQ(mkdir(temp.c_str(), 0755), 0);
  g.CourseRecordTable[2][5].practiceSeconds += 1;
  EXPECT_NE(SaveRecordFile(g), 0);
  EXPECT_EQ(SplitLines(dir.ReadFile(RecordFileName))[21],
            "All_Row " + RecordLine.substr(8, 56) + "13se");
  ASSERT_EQ(rmdir(temp.c_str()), 0);
  ASSERT_EQ(unlink(RecordFileName), 0);
  ASSERT_EQ(mkdir(RecordFileName, 0755), 0);  // nor can it replace a directory
  StartUpRecords(g);
  EXPECT_EQ(SaveRecordFile(g), 0);
  struct stat st;
  ASSERT_EQ(stat(RecordFileName, &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_FALSE(dir.Exists(temp));
}

TEST_F(RecordsTest, LinkedRecordFileStaysLinked) {
  ASSERT_EQ(mkdir("elsewhere", 0755), 0);
  dir.WriteFile("elsewhere/records", EnglishFile("Total_Practice_Time    0hour 0mi 3se"));
  ASSERT_EQ(symlink("elsewhere/records", RecordFileName), 0);
  StartUpRecords(g);
  SaveAfter(2, false);
  struct stat st;
  ASSERT_EQ(lstat(RecordFileName, &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(SplitLines(dir.ReadFile("elsewhere/records"))[0],
            "Total_Practice_Time    0hour 0mi 5se");
}

TEST_F(RecordsTest, LogLinesInEitherLanguage) {
  dir.WriteFile(PracticeLogName, "earlier line\n");
  ASSERT_NE(AppendPracticeLog(g, "03/01/08", "12:34:56", 3725), 0);
  ASSERT_NE(AppendPracticeLog(g, "12/31/99", "23:59:59", 1000 * 3600 + 61), 0);
  ASSERT_NE(AppendSpeedLog(g, "Beginner's", "Home Row", "03/01/08", "12:34:56", 42.0, 312), 0);
  ASSERT_NE(AppendSpeedLog(g, "Expert", "Home+Upper Row", "03/01/08", "12:34:56", 7.0, 3725), 0);
  g.LanguageFlag = 0;
  ASSERT_NE(AppendPracticeLog(g, "03/01/08", "12:34:56", 3725), 0);
  ASSERT_NE(AppendSpeedLog(g, "Beginner's", "Home Row", "03/01/08", "12:34:56", 42.0, 312), 0);
  EXPECT_EQ(dir.ReadFile(PracticeLogName),
            "earlier line\n"
            "08/03/01 12:34:56 Practice Time  1hour 2min 5sec\n"
            "99/12/31 23:59:59 Practice Time1000hour 1min 1sec\n"
            "08/03/01 12:34:56 " +
                Sjis("練習時間  1時間 2分 5秒\n"));
  EXPECT_EQ(dir.ReadFile(SpeedLogName),
            "08/03/01 12:34:56 Beginner's Home Row         42sec total    0hour 5min12sec\n"
            "08/03/01 12:34:56 Expert     Home+Upper Row    7sec total    1hour 2min 5sec\n"
            "08/03/01 12:34:56 Beginner's Home Row                   42" +
                Sjis("秒 累積    0時間 5分12秒\n"));
}

TEST_F(RecordsTest, ExitReportsEachCombinationOfFailedFiles) {
  const std::string R = "wenlotka.rec ", L = "wenlotka.log ", S = "wenlotka.spd ";
  const std::string expected[8] = {"", R, L, R + L, S, R + S, L + S, R + L + S};
  for (int failing = 0; failing < 8; ++failing) {
    SCOPED_TRACE(failing);
    ScratchDir scratch;
    InitGlobals(g, &clock);
    scratch.WriteFile(RecordFileName, EnglishFile(Total1h2m5s));
    StartUpRecords(g);
    // Logs fail either at opening or, on a full disk, only at closing.
    auto spoil = [&](const char* name) {
      ASSERT_EQ((failing & 1) ? symlink("/dev/full", name) : mkdir(name, 0755), 0);
    };
    if (failing & 1) chmod(RecordFileName, 0444);
    if (failing & 2) spoil(PracticeLogName);
    if (failing & 4) spoil(SpeedLogName);
    g.speedLogSaved = AppendSpeedLog(g, "Expert", "All Row", "03/01/08", "12:34:56", 9.0, 9);
    g.LanguageFlag = failing == 7 ? 0 : 1;  // the caption follows the language
    clock.Advance(10 * 1000);
    FakeView view;
    RunExitSequence(g, view);
    std::vector<std::string> lines = SplitLines(scratch.ReadFile(RecordFileName));
    EXPECT_EQ(lines[0], (failing & 1) ? Total1h2m5s : "Total_Practice_Time    1hour 2mi15se");
    EXPECT_EQ(lines[21], "All_Row " + RecordLine.substr(8));
    if (!(failing & 2)) EXPECT_EQ(SplitLines(scratch.ReadFile(PracticeLogName)).size(), 1u);
    ASSERT_EQ(view.reports.size(), failing == 0 ? 0u : 1u);
    if (failing == 0) continue;
    EXPECT_EQ(view.reports[0].caption,
              failing == 7 ? Sjis("成績ファイル書き込みエラー") : "Practice Record write error");
    std::vector<std::string> want = {"Practice Recod File", expected[failing],
                                     "Could not be saved"};
    if (failing & 1) {
      // The records that could not be saved are in a file the report names.
      want.push_back("This session is kept in");
      want.push_back(g.unsavedCopies.at(0));
      EXPECT_EQ(want.back().rfind("wenlotka.rec.unsaved-20080301-", 0), 0u);
      EXPECT_EQ(SplitLines(scratch.ReadFile(want.back())).size(), 22u);
    }
    EXPECT_EQ(view.reports[0].lines, want);
  }
}

TEST_F(RecordsTest, ExitWaitsForStartUpAndSettlesTheOpenRun) {
  FakeView view;
  g.speedLogSaved = 0;
  RunExitSequence(g, view);  // rewriting now would replace the user's records with blanks
  EXPECT_FALSE(dir.Exists(RecordFileName));
  EXPECT_FALSE(dir.Exists(PracticeLogName));
  EXPECT_TRUE(view.reports.empty());
  EXPECT_EQ(g.endTime, 0);
  g.speedLogSaved = 1;
  StartUpRecords(g);
  g.PlayState = PlayOver;
  g.currentCourse = &g.CourseRecordTable[1][2];
  g.recordState = 1;
  g.pendingBestTime = 37.0;
  std::snprintf(g.runEndDate, sizeof g.runEndDate, "03/01/08");
  RunExitSequence(g, view);
  EXPECT_TRUE(view.reports.empty());
  EXPECT_EQ(SplitLines(dir.ReadFile(RecordFileName))[11].substr(0, 51),
            "Home+Upper_Row" + std::string(20, ' ') + "     37 08/03/01 ");
}

TEST_F(RecordsTest, AGameThatCannotTakeTheLockWritesOverNothing) {
  dir.WriteFile(RecordFileName, EnglishFile(Total1h2m5s));
  StartUpRecords(g);
  g.saveLockWaitMs = 200;
  FolderLock otherGame(RecordFileName);  // saving, on a disk that does not answer
  ASSERT_TRUE(otherGame.Held());
  clock.Advance(10 * 1000);
  FakeView view;
  RunExitSequence(g, view);
  EXPECT_EQ(dir.ReadFile(RecordFileName), EnglishFile(Total1h2m5s));
  EXPECT_EQ(g.recordFileSaved, 0);
  ASSERT_EQ(view.reports.size(), 1u);
  ASSERT_EQ(view.reports[0].lines.size(), 5u);
  EXPECT_EQ(view.reports[0].lines[4], "wenlotka.rec.unsaved-20080301-123506");
  EXPECT_EQ(SplitLines(dir.ReadFile("wenlotka.rec.unsaved-20080301-123506"))[0],
            "Total_Practice_Time    1hour 2mi15se");
}

TEST_F(RecordsTest, KeyPositionTableFindsRowAndColumnOfEveryKeyOnTheBoard) {
  StartUpRecords(g);  // builds the table
  auto at = [&](int code) {
    return std::pair(g.KeyPositionTable[code].row, g.KeyPositionTable[code].column);
  };
  const struct {
    int code, row, column;
  } cases[] = {{'Q', 2, 1},  {'A', 3, 1},  {'M', 4, 7}, {'1', 1, 1},
               {'0', 1, 10}, {'P', 2, 10}, {';', 0, 0}, {'a', 0, 0}};
  for (auto c : cases) EXPECT_EQ(at(c.code), std::pair(c.row, c.column)) << char(c.code);
  for (int kana = 0xB1; kana <= 0xDD; ++kana) EXPECT_EQ(at(kana), std::pair(0, 0)) << kana;
  for (int c = 'A'; c <= 'Z'; ++c) EXPECT_NE(at(c).first, 0) << static_cast<char>(c);
}

TEST(StartUpRecords, SeedsAndDiscardsByTheLowBitsOfTheStartTime) {
  ScratchDir dir;
  for (auto [time, draws] :
       {std::pair<std::int64_t, int>{0x12340000, 10}, {0x123400FF, 265}, {0x12347F05, 15}}) {
    SCOPED_TRACE(draws);
    VirtualClock clock{TimeStamp{time, 500}};
    GameGlobals g;
    InitGlobals(g, &clock);
    StartUpRecords(g);
    EXPECT_EQ(g.startTime, time);
    RandomGenerator expected;
    SeedRandom(expected, static_cast<unsigned>(time & 0x7FFF));
    for (int i = 0; i < draws; ++i) NextRandom(expected);
    EXPECT_EQ(g.random.state, expected.state);
    NextRandom(expected);
    EXPECT_NE(g.random.state, expected.state);
  }
}

}  // namespace
