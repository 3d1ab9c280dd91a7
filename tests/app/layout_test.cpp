// The --layout option through the real binary: which letters each layout's
// courses draw, and where its records go.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app/app_test_support.h"
#include "platform/cairo_dc.h"
#include "support/test_support.h"

namespace {

std::string TargetOf(const std::string& stateLine) {
  const std::string needle = "\"targetKey\":\"";
  size_t at = stateLine.find(needle);
  if (at == std::string::npos) return "";
  at += needle.size();
  return stateLine.substr(at, stateLine.find('"', at) - at);
}

// Four whole Beginner's runs of a course, the state shown before every key.
std::string FourRuns(int rowSet) {
  std::string script = "key space\ntype 1\ntype " + std::to_string(rowSet) + "\n";
  for (int run = 0; run < 4; ++run) {
    for (int i = 0; i < 60; ++i) script += "state\nhit\n";
    script += "key enter\n";
  }
  return script + "quit\n";
}

TEST(Layouts, EachCourseDrawsOnlyAndAllTheLettersOfItsRowsOnThatKeyboard) {
  // The letters of the home, upper and lower rows of each keyboard.
  const struct {
    const char* layout;
    const char* home;
    const char* upper;
    const char* lower;
  } keyboards[] = {
      {"qwerty", "ASDFGHJKL", "QWERTYUIOP", "ZXCVBNM"},
      {"azerty", "QSDFGHJKLM", "AZERTYUIOP", "WXCVBN"},
      {"qwertz", "ASDFGHJKL", "QWERTZUIOP", "YXCVBNM"},
      {"dvorak", "AOEUIDHTNS", "PYFGCRL", "QJKXBMWVZ"},
      {"colemak", "ARSTDHNEIO", "QWFPGJLUY", "ZXCVBKM"},
  };
  for (const auto& k : keyboards) {
    const std::string home = k.home, upper = k.upper, lower = k.lower;
    const std::string rowSets[7] = {
        "", home, upper, home + upper, lower, home + lower, home + upper + lower};
    for (int rowSet = 1; rowSet <= 6; ++rowSet) {
      SCOPED_TRACE(std::string(k.layout) + " row set " + std::to_string(rowSet));
      ScratchDir dir;
      RunResult r =
          RunScript(FourRuns(rowSet), std::string("--clock 1000000000 --layout ") + k.layout);
      ASSERT_EQ(r.status, 0) << r.err;
      std::map<std::string, int> drawn;
      std::istringstream lines(r.out);
      std::string line;
      int targets = 0;
      while (std::getline(lines, line)) {
        ++drawn[TargetOf(line)];
        ++targets;
      }
      EXPECT_EQ(targets, 240);
      std::set<std::string> expected;
      for (char c : rowSets[rowSet]) expected.insert(std::string(1, c));
      std::set<std::string> seen;
      for (const auto& [key, n] : drawn) seen.insert(key);
      EXPECT_EQ(seen, expected);
    }
  }
}

TEST(Layouts, AnotherLayoutKeepsItsOwnRecordFileAndSpeedLog) {
  ScratchDir dir;
  const std::string run = "key space\ntype 1\ntype 1\nhit\nwait 30000\nhit 59\nkey esc\n";
  RunResult r = RunScript(run + "type 7\ntype 5\n", "--clock 1000000000 --layout azerty");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(dir.Exists("wenlotka.rec"));
  EXPECT_FALSE(dir.Exists("wenlotka.spd"));
  EXPECT_FALSE(dir.Exists("wenlotka-qwerty.rec"));
  std::istringstream rec(dir.ReadFile("wenlotka-azerty.rec"));
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(rec, line);
  EXPECT_EQ(line.substr(0, 50), "Home_Row                               30 01/09/09");
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka-azerty.spd")), 1);
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.log")), 1) << "the practice log is shared";

  // QWERTY starts afresh in its own files, and does not touch azerty's.
  const std::string azertyRec = dir.ReadFile("wenlotka-azerty.rec");
  r = RunScript("key space\ntype 1\ntype 1\nstate\nquit\n", "--clock 1000000100");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"code\":101,\"bestTime\":0,"), std::string::npos) << r.out;
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.rec")), 22);
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka.log")), 2);
  EXPECT_EQ(dir.ReadFile("wenlotka-azerty.rec"), azertyRec);

  // And azerty reads its own back.
  r = RunScript("key space\ntype 1\ntype 1\nstate\nkill\n", "--clock 1000000200 --layout azerty");
  EXPECT_NE(r.out.find("\"code\":101,\"bestTime\":30,"), std::string::npos) << r.out;
}

TEST(Layouts, AFailedSaveNamesTheLayoutsOwnFile) {
  ScratchDir dir;
  std::filesystem::create_directory("wenlotka-dvorak.spd");
  RunResult r = RunScript("key space\ntype 1\ntype 1\nhit 60\nkey esc\nquit\n",
                          "--clock 1000000000 --layout dvorak");
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("wenlotka-dvorak.spd "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("wenlotka.spd"), std::string::npos) << r.err;
  EXPECT_EQ(CountLines(dir.ReadFile("wenlotka-dvorak.rec")), 22);
}

TEST(Layouts, TheStatisticsArePerLayoutAndTheReportCoversEveryLayout) {
  ScratchDir dir;
  // A QWERTY Upper Row run, then, later, an AZERTY Home Row run.
  RunResult r = RunScript("key space\ntype 1\ntype 2\nhit 60\nkey esc\nquit\n");
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunScript("key space\ntype 1\ntype 1\nhit 60\nkey esc\nquit\n",
                "--clock 1000000100 --layout azerty");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(dir.Exists("wenlotka-azerty.keys"));
  EXPECT_TRUE(dir.Exists("wenlotka-azerty.runs"));

  // Every layout whose files are in the folder has a section of its own.
  r = RunWenlotka("--report --data-dir .");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("Keyboard qwerty (wenlotka.keys, wenlotka.runs)\nRuns per course\n"
                       "  Beginner's Upper Row: 1 run, best 1 sec"),
            0u)
      << r.out;
  EXPECT_NE(r.out.find("\n\nKeyboard azerty (wenlotka-azerty.keys, wenlotka-azerty.runs)\n"
                       "Runs per course\n  Beginner's Home Row: 1 run, best 1 sec"),
            std::string::npos)
      << r.out;
  // --layout reports that layout alone, wherever it stands.
  for (const char* args : {"--report --layout azerty", "--layout azerty --report"}) {
    r = RunWenlotka(std::string(args) + " --data-dir .");
    EXPECT_EQ(r.status, 0) << args << ": " << r.err;
    EXPECT_EQ(r.out.find("Runs per course\n  Beginner's Home Row: 1 run, best 1 sec"), 0u)
        << args << ": " << r.out;
    EXPECT_EQ(r.out.find("Upper Row"), std::string::npos) << args << ": " << r.out;
  }

  // The picture shows the keyboard named, or the one played last, with its
  // own letters: a cap typed in the run is coloured, others keep the colour
  // of a cap without data (the lowest row's first cap, W or Z, never typed).
  const struct {
    const char* args;
    const char* file;
    bool azerty;
  } pictures[] = {
      {"--report az.png --layout azerty", "az.png", true},
      {"--report last.png", "last.png", true},
      {"--report qw.png --layout qwerty", "qw.png", false},
  };
  for (const auto& p : pictures) {
    r = RunWenlotka(std::string(p.args) + " --data-dir .");
    ASSERT_EQ(r.status, 0) << p.args << ": " << r.err;
    CairoDeviceContext picture(1, 1);
    ASSERT_TRUE(picture.ReadPng(p.file)) << p.args;
    const ColorRef homeFirst = picture.PixelAt(85, 229);    // azerty Q, qwerty A
    const ColorRef upperFirst = picture.PixelAt(61, 165);   // azerty A, qwerty Q
    const ColorRef lowerFirst = picture.PixelAt(109, 293);  // azerty W, qwerty Z
    EXPECT_EQ(homeFirst != lowerFirst, p.azerty) << p.args;
    EXPECT_EQ(upperFirst != lowerFirst, !p.azerty) << p.args;
  }
}

TEST(Layouts, QwertyNamedOrNotGivesTheSameScreensAndFiles) {
  const std::string script =
      "key space\ntype 1\ntype 6\nhit 5\nmiss\nscreenshot a.png\nwait 1000\nhit 55\n"
      "screenshot b.png\nkey esc\ntype 7\ntype 5\n";
  std::map<std::string, std::string> files[2];
  for (int named = 0; named < 2; ++named) {
    ScratchDir dir;
    RunResult r =
        RunScript(script, named ? "--clock 1000000000 --layout qwerty" : "--clock 1000000000");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* f : {"a.png", "b.png", "wenlotka.rec", "wenlotka.log", "wenlotka.spd",
                          "wenlotka.keys", "wenlotka.runs"}) {
      ASSERT_TRUE(dir.Exists(f)) << f;
      files[named][f] = dir.ReadFile(f);
    }
  }
  EXPECT_TRUE(files[0] == files[1]);
}

TEST(Layouts, AnUnknownLayoutIsAUsageError) {
  ScratchDir dir;
  for (const char* args : {"--layout fr", "--layout", "--headless x --layout QWERTY",
                           "--layout azerty --layout bepo"}) {
    RunResult r = RunWenlotka(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("qwerty, azerty, qwertz, dvorak, colemak"), std::string::npos) << args;
    EXPECT_NE(r.err.find("usage: wenlotka"), std::string::npos) << args;
  }
  EXPECT_FALSE(dir.Exists("wenlotka.rec"));
}

}  // namespace
