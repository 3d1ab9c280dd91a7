// Whole runs of the real program through its headless script.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/app_test_support.h"
#include "support/test_support.h"

namespace {

// The value of a top-level numeric or string field of one state line.
std::string Field(const std::string& json, const std::string& key) {
  std::string needle = "\"" + key + "\":";
  size_t at = json.find(needle);
  if (at == std::string::npos) return "<missing>";
  at += needle.size();
  size_t end = at;
  if (json[at] == '"') {
    end = json.find('"', at + 1);
    return json.substr(at + 1, end - at - 1);
  }
  while (end < json.size() && json[end] != ',' && json[end] != '}') ++end;
  return json.substr(at, end - at);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) lines.push_back(l);
  return lines;
}

constexpr char EnterHomeRow[] = "key space\ntype 1\ntype 1\n";
constexpr int KeysPerRunInScript = 60;

}  // namespace

TEST(Headless, ABadLineStopsTheScriptBeforeAnythingRuns) {
  ScratchDir dir;
  RunResult r = RunScript("key space\nquit\nwait soon\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "script line 3: wait needs milliseconds\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(dir.Exists("wenlotka.rec"));
  EXPECT_FALSE(dir.Exists("wenlotka.log"));
}

TEST(Headless, BadOptionsGiveUsageAndStatusTwo) {
  ScratchDir dir;
  for (const char* args : {"--bogus", "--headless", "--headless x --size 12", "--clock 5",
                           "--headless x --clock soon"}) {
    RunResult r = RunWenlotka(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("usage: wenlotka"), std::string::npos) << args;
  }
}

TEST(Headless, QuitInAFreshDirectoryWritesTheRecordFileAndOneLogLine) {
  ScratchDir dir;
  RunResult r = RunScript("wait 65000\nquit\n");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string rec = dir.ReadFile("wenlotka.rec");
  EXPECT_EQ(CountLines(rec), 22);
  EXPECT_EQ(Lines(rec)[0], "Total_Practice_Time    0hour 1mi 5se");
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.log")), 1);
  EXPECT_FALSE(dir.Exists("wenlotka.spd"));
}

TEST(Headless, KillEndsWithoutSaving) {
  ScratchDir dir;
  RunResult r = RunScript("key space\nkill\nquit\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(dir.Exists("wenlotka.rec"));
  EXPECT_FALSE(dir.Exists("wenlotka.log"));
}

TEST(Headless, HitWithoutARunStopsWithStatusThree) {
  ScratchDir dir;
  RunResult r = RunScript("key space\nhit\n");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.err, "script line 2: hit needs a run in progress\n");
}

TEST(Headless, TheSameScriptGivesTheSameResult) {
  ScratchDir dir;
  std::string script = std::string(EnterHomeRow) + "hit 7\nmiss 2\nwait 1500\nhit 20\nstate\n" +
                       "screenshot a.png\nkill\n";
  RunResult first = RunScript(script);
  std::filesystem::rename("a.png", "first.png");
  RunResult second = RunScript(script);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(dir.ReadFile("first.png"), dir.ReadFile("a.png"));
  EXPECT_GT(dir.ReadFile("a.png").size(), 1000u);
}

TEST(Headless, FullBeginnersRunThenAFasterOneSetsBothRecords) {
  ScratchDir dir;
  std::string script = std::string(EnterHomeRow);
  for (int i = 0; i < 60; ++i) script += "hit\nwait 1000\n";  // first key starts the clock: 59 s
  script += "state\nscreenshot first.png\nkey enter\n";
  for (int i = 0; i < 60; ++i) script += "hit\nwait 500\n";  // 29.5 s, recorded as 29
  script += "state\nscreenshot second.png\nquit\n";
  RunResult r = RunScript(script);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> states = Lines(r.out);
  ASSERT_EQ(states.size(), 2u);
  EXPECT_EQ(Field(states[0], "recordState"), "1");
  EXPECT_EQ(Field(states[0], "runSeconds"), "59");
  EXPECT_EQ(Field(states[0], "playState"), "4");
  EXPECT_EQ(Field(states[1], "recordState"), "2");
  EXPECT_EQ(Field(states[1], "runSeconds"), "29");
  EXPECT_EQ(Field(states[1], "pendingBestTime"), "29");

  // The record file written at exit holds the committed best time and its date.
  std::vector<std::string> rec = Lines(dir.ReadFile("wenlotka.rec"));
  ASSERT_EQ(rec.size(), 22u);
  EXPECT_EQ(rec[2].substr(0, 34), std::string("Home_Row") + std::string(26, ' '));
  EXPECT_EQ(rec[2].substr(34, 7), "     29");
  EXPECT_EQ(rec[2].substr(42, 8), "01/09/09");  // 2001-09-09 in UTC

  std::vector<std::string> spd = Lines(dir.ReadFile("wenlotka.spd"));
  ASSERT_EQ(spd.size(), 2u);
  EXPECT_EQ(spd[0].substr(0, 8), "01/09/09");
  EXPECT_EQ(spd[0].substr(18, 11), "Beginner's ");
  EXPECT_EQ(spd[0].substr(29, 14), "Home Row      ");
  EXPECT_EQ(spd[0].substr(43, 8), "   59sec");
  EXPECT_EQ(spd[1].substr(43, 8), "   29sec");
  EXPECT_EQ(spd[1].size(), 76u);
}

TEST(Headless, ExitFromTheMainMenuEndsTheScriptAndSaves) {
  ScratchDir dir;
  RunResult r = RunScript("key space\ntype 5\nstate\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "") << "lines after Exit must not run";
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.rec")), 22);
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.log")), 1);
}

TEST(Headless, UnwritableFilesAreReportedAndTheOldRecordSurvives) {
  ScratchDir dir;
  RunResult first = RunScript("wait 3725000\nquit\n");
  ASSERT_EQ(first.status, 0) << first.err;
  std::string before = dir.ReadFile("wenlotka.rec");
  std::filesystem::remove("wenlotka.log");
  std::filesystem::create_directory("wenlotka.log");  // cannot be appended to
  std::filesystem::permissions("wenlotka.rec", std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::group_read |
                                                   std::filesystem::perms::others_read);
  RunResult r = RunScript("quit\n");
  EXPECT_EQ(r.status, 4) << "a failed save is not a success";
  EXPECT_EQ(r.err,
            "wenlotka: wenlotka.rec: read-only, so it is left alone; this session's records will "
            "be kept in a new file beside it when the game ends\n"
            "wenlotka: wenlotka.log: not a regular file but a folder\n"
            "wenlotka: wenlotka.rec: read-only, left alone; this session's records are kept in "
            "wenlotka.rec.unsaved-20010909-014640\n"
            "Practice Record write error\nPractice Recod File\nwenlotka.rec wenlotka.log \n"
            "Could not be saved\nThis session is kept in\nwenlotka.rec.unsaved-20010909-014640\n");
  EXPECT_EQ(dir.ReadFile("wenlotka.rec"), before);
}

TEST(Headless, ResizeRedrawsAtTheNewSize) {
  ScratchDir dir;
  RunResult r = RunScript("resize 1282 802\nstate\nkill\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"clientRect\":[1282,802]"), std::string::npos);
}

namespace {

// Standard, as the game wrote its statistics before (version 1): X, N and B
// missed on 30 of their 40 targets and looked up on 32, at 2600 ms each; every
// other letter 60 clean targets at 600 ms.
std::string SeededKeys() {
  std::string keys =
      "wenlotka-keys 1\n"
      "# level key target misses recalled looked-up timed time-ms typed-instead:times\n";
  for (char c = 'A'; c <= 'Z'; ++c) {
    const bool weak = c == 'X' || c == 'N' || c == 'B';
    keys +=
        std::string("2 ") + c + (weak ? " 40 30 8 32 40 104000 Q:30\n" : " 60 0 60 0 60 36000\n");
  }
  return keys;
}

// Each run's targets, from a state line before each of its 60 keys.
std::vector<std::string> RunTargets(const std::string& out, int runs) {
  const std::vector<std::string> states = Lines(out);
  std::vector<std::string> targets(runs);
  for (int r = 0; r < runs; ++r) {
    for (int i = 0; i < KeysPerRunInScript; ++i) {
      targets[r] += Field(states.at(r * (KeysPerRunInScript + 1) + i), "targetKey");
    }
  }
  return targets;
}

}  // namespace

TEST(WeakKeysCourse, DrillsTheKeysMissedAndLookedUpAndLetsThemGoOnceTypedRight) {
  ScratchDir dir;
  // A record on Standard Home Row, then the statistics of a learner who
  // confuses X, N and B.
  std::string first = "key space\ntype 2\ntype 1\n";
  for (int i = 0; i < 60; ++i) first += "hit\nwait 500\n";
  ASSERT_EQ(RunScript(first + "quit\n").status, 0);
  const std::string records = dir.ReadFile("wenlotka.rec");
  dir.WriteFile("wenlotka.keys", SeededKeys());
  std::filesystem::remove("wenlotka.runs");

  // Three Weak Keys runs at Standard, every key typed at once.
  std::string run = "state\n";
  for (int i = 0; i < KeysPerRunInScript; ++i) run += "hit\nstate\n";
  RunResult r = RunScript("key space\ntype 2\ntype 8\n" + run + "key enter\n" + run +
                          "key enter\n" + run + "quit\n");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> targets = RunTargets(r.out, 3);
  auto count = [](const std::string& run, const std::string& letters) {
    return std::ranges::count_if(run, [&](char c) { return letters.find(c) != std::string::npos; });
  };
  const std::set<char> letters(targets[0].begin(), targets[0].end());
  EXPECT_GE(count(targets[0], "XNB"), 24) << targets[0];  // 40% of 60
  EXPECT_GE(letters.size(), 3u + 8u) << targets[0];       // X, N, B and 8 others
  const std::string all = targets[0] + targets[1] + targets[2];
  EXPECT_EQ(std::ranges::adjacent_find(all), all.end()) << all;
  EXPECT_LE(2 * count(targets[2], "X"), count(targets[0], "X")) << targets[0] << "\n" << targets[2];
  EXPECT_EQ(dir.ReadFile("wenlotka.rec"), records);
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.spd")), 1) << "a Weak Keys run sets no record";
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.runs")), 3);
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.runs"))[0].substr(18, 5), "207 1");
  // No count of the version 1 file is lost: X's targets are its 40 and this session's.
  const std::string keys = dir.ReadFile("wenlotka.keys");
  EXPECT_EQ(keys.substr(0, 16), "wenlotka-keys 2\n");
  EXPECT_NE(keys.find("\n2 X " + std::to_string(40 + count(all, "X")) + " 30 "), std::string::npos)
      << keys;
}

TEST(WeakKeysCourse, WithoutStatisticsAWholeRunCompletes) {
  ScratchDir dir;
  RunResult r = RunScript("key space\ntype 3\ntype 8\nhit 60\nstate\nquit\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Field(r.out, "playState"), "4");
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.runs"))[0].substr(18, 5), "307 1");
}
