// Learner progress: the statistics a scripted session leaves, two games in one
// folder, the report's text and picture, and damaged files left whole.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "app/shell.h"
#include "platform/cairo_dc.h"
#include "practice/layouts.h"
#include "progress/progress.h"
#include "support/test_support.h"

namespace {

using namespace std::string_literals;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Outputs and scripts are kept beside the scratch folder, named per process,
// since CTest runs several of these tests at once.
std::string Beside(const char* what) {
  return "../progress-test-" + std::to_string(getpid()) + what;
}

Outcome Wenlotka(const std::string& args) {
  // No display: the report and the headless game must never need one. The
  // game's files are those of the scratch folder the test runs in.
  const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(WENLOTKA_BINARY) +
                          " " + args + " --data-dir . >" + Beside(".out") + " 2>" + Beside(".err") +
                          " </dev/null";
  Outcome r;
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(Beside(".out"));
  r.err = Slurp(Beside(".err"));
  std::remove(Beside(".out").c_str());
  std::remove(Beside(".err").c_str());
  return r;
}

// Runs a script kept outside the folder, so the folder holds only the game's files.
Outcome Play(const std::string& script) {
  {
    std::ofstream s(Beside(".script"));
    s << script;
  }
  Outcome r = Wenlotka("--headless " + Beside(".script") + " --clock 1000000000");
  std::remove(Beside(".script").c_str());
  return r;
}

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.insert(e.path().filename().string());
  }
  return names;
}

// "r0" (a target recalled before its mole and typed at once) n times.
std::string Clean(int n) {
  std::string list;
  for (int i = 0; i < n; ++i) list += i ? ",r0" : "r0";
  return list;
}

constexpr char KeysHeader[] =
    "wenlotka-keys 2\n"
    "# level key target misses recalled looked-up timed time-ms recent typed-instead:times\n";

// Standard, Home Row, started on the virtual clock at 1000000000 (2001-09-09
// 01:46:40 UTC), whose generator draws the targets J A S | L ... D | F ... K.
//  - run 1, cancelled: J missed as R and as ';' then typed at once (recalled,
//    0 ms); A typed after a 2500 ms wait, its mole out at 2000 (looked up);
//    S missed as Q, then ESC.
//  - run 2: L after 3000 ms, its mole out at 3000 (looked up), 58 keys at once,
//    the 60th (D) after 1999 ms, before its mole (recalled): 1 second.
//  - run 3: F missed as Space, then typed; 58 more at once; the 60th (K) waits
//    2000 ms, so its mole is out, is missed as Z and typed (looked up): 2 seconds.
constexpr char Session[] =
    "key space\ntype 2\ntype 1\n"
    "type r\ntype ;\nhit\nwait 2500\nhit\ntype q\nkey esc\n"
    "key enter\nwait 3000\nhit\nhit 58\nwait 1999\nhit\n"
    "key enter\nkey space\nhit 59\nwait 2000\ntype z\nhit\n"
    "quit\n";

// Counted by hand from the target sequence the game's own state shows for this
// clock (J A S, then L F G L K D L S A S D S H G H A S A J H A J H K H S L F K
// J S G D F S J G J S H K S A S H S F A H D L H F J A L J F A D, then F A D J F
// H K D K L S L D H L A H A H J K F S K F H D G S A G J K G K G J S A G F G J H
// K A J A L J L K S D K D S G A K): per letter the targets answered, the misses,
// recalled, looked up, the keys typed right and their milliseconds, and each
// target typed right in turn (the uncounted S of run 1 was never typed).
const std::string SessionKeys =
    std::string(KeysHeader) + "2 A 17 0 16 1 17 2500 l2500," + Clean(16) + "\n" +
    "2 D 11 0 11 0 11 1999 " + Clean(4) + ",r1999," + Clean(6) + "\n" + "2 F 11 1 11 0 11 0 " +
    Clean(6) + ",1r0," + Clean(4) + " 0x20:1\n" + "2 G 11 0 11 0 11 0 " + Clean(11) + "\n" +
    "2 H 15 0 15 0 15 0 " + Clean(15) + "\n" + "2 J 15 2 15 0 15 0 2r0," + Clean(14) +
    " ;:1 R:1\n" + "2 K 14 1 13 1 14 2000 " + Clean(13) + ",1l2000 Z:1\n" +
    "2 L 11 0 10 1 11 3000 l3000," + Clean(10) + "\n" + "2 S 18 1 17 0 17 0 " + Clean(17) +
    " Q:1\n";

constexpr char SessionRuns[] =
    "01/09/09 01:46:47 201 1 0 59 1\n"
    "01/09/09 01:46:49 201 2 2 59 1\n";

}  // namespace

TEST(ProgressSession, AScriptedSessionLeavesTheHandCountedKeysAndTwoRunLines) {
  ScratchDir dir;
  Outcome r = Play(Session);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dir.ReadFile("wenlotka.keys"), SessionKeys);
  EXPECT_EQ(dir.ReadFile("wenlotka.runs"), SessionRuns);
}

// The Standard lines after the scripted session was saved twice, counted by
// hand: every count of the single session doubled, and of the recent targets
// the last 20 of the session's list followed by itself.
const std::string TwiceTheSession =
    "2 A 34 0 32 2 34 5000 " + Clean(3) + ",l2500," + Clean(16) + "\n" + "2 D 22 0 22 0 22 3998 " +
    Clean(2) + ",r1999," + Clean(10) + ",r1999," + Clean(6) + "\n" + "2 F 22 2 22 0 22 0 " +
    Clean(4) + ",1r0," + Clean(10) + ",1r0," + Clean(4) + " 0x20:2\n" + "2 G 22 0 22 0 22 0 " +
    Clean(20) + "\n" + "2 H 30 0 30 0 30 0 " + Clean(20) + "\n" + "2 J 30 4 30 0 30 0 " + Clean(5) +
    ",2r0," + Clean(14) + " ;:2 R:2\n" + "2 K 28 2 26 2 28 4000 " + Clean(5) + ",1l2000," +
    Clean(13) + ",1l2000 Z:2\n" + "2 L 22 0 20 2 22 6000 " + Clean(9) + ",l3000," + Clean(10) +
    "\n" + "2 S 36 2 34 0 34 0 " + Clean(20) + " Q:2\n";

TEST(ProgressSession, TwoGamesInOneFolderAddTheirCounts) {
  ScratchDir dir;
  ASSERT_EQ(Play(Session).status, 0);
  // A second game counts a Beginner's J typed after a miss as K; a third plays
  // the session again, so the Standard counts double.
  Outcome r = Play("key space\ntype 1\ntype 1\ntype k\nhit\nquit\n");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(Play(Session).status, 0);
  EXPECT_EQ(dir.ReadFile("wenlotka.keys"),
            KeysHeader + std::string("1 J 1 1 0 0 1 0 1s0 K:1\n") + TwiceTheSession);
  EXPECT_EQ(dir.ReadFile("wenlotka.runs"), std::string(SessionRuns) + SessionRuns);
}

TEST(ProgressSession, TwoProcessesSavingAtOnceAddUp) {
  ScratchDir dir;
  { std::ofstream(Beside(".script")) << Session; }
  const std::string game = "env -u DISPLAY " + std::string(WENLOTKA_BINARY) + " --headless " +
                           Beside(".script") + " --clock 1000000000 >/dev/null 2>&1";
  ASSERT_EQ(std::system((game + " & " + game + "; wait").c_str()), 0);
  std::remove(Beside(".script").c_str());
  EXPECT_EQ(dir.ReadFile("wenlotka.keys"), KeysHeader + TwiceTheSession);
  // The two games' run lines interleave in the order the runs ended.
  std::multiset<std::string> lines;
  std::istringstream runs(dir.ReadFile("wenlotka.runs"));
  for (std::string line; std::getline(runs, line);) lines.insert(line);
  EXPECT_EQ(lines, (std::multiset<std::string>{
                       "01/09/09 01:46:47 201 1 0 59 1", "01/09/09 01:46:47 201 1 0 59 1",
                       "01/09/09 01:46:49 201 2 2 59 1", "01/09/09 01:46:49 201 2 2 59 1"}));
}

TEST(ProgressSession, TwoGamesOpenAtOnceBothKeepTheirCounts) {
  ScratchDir dir;
  // Both start on the same clock, so both draw J, then A, as the session above.
  struct Game {
    VirtualClock clock{{1000000000, 0}};
    CairoDeviceContext surface{642, 402};
    GameGlobals g;
    Shell shell{g, surface, clock, nullptr};
    void Keys(const std::string& keys) {
      for (char c : keys) shell.OnChar(c == '*' ? g.targetKey + ('a' - 'A') : c);
    }
  };
  auto first = std::make_unique<Game>();
  auto second = std::make_unique<Game>();
  first->shell.Start();
  second->shell.Start();
  first->Keys(" 21**");   // Standard Home Row: J and A at once
  second->Keys(" 21*q");  // J at once, A missed as Q
  second->shell.Exit();
  EXPECT_EQ(dir.ReadFile("wenlotka.keys"), std::string(KeysHeader) +
                                               "2 A 1 1 0 0 0 0 - Q:1\n"
                                               "2 J 1 0 1 0 1 0 r0\n");
  first->shell.Exit();
  EXPECT_EQ(dir.ReadFile("wenlotka.keys"), std::string(KeysHeader) +
                                               "2 A 2 1 1 0 1 0 r0 Q:1\n"
                                               "2 J 2 0 2 0 2 0 r0,r0\n");
}

TEST(ProgressSession, ADamagedKeysFileIsKeptWholeAndTheSessionSavedBesideIt) {
  ScratchDir dir;
  // A line cut short, and a tail of zero bytes a crash left: only those
  // lines are lost, and they are still in the copy.
  const std::string damaged = "wenlotka-keys 1\n2 J 4 1 0\n2 A 3 1 2 0 2 900\n\0\0\0"s;
  dir.WriteFile("wenlotka.keys", damaged);
  Outcome r = Play("key space\ntype 2\ntype 1\nhit\nkey esc\nquit\n");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "wenlotka: wenlotka.keys line 2: expected level, key and six counts; line 4: "
            "expected level, key and six counts; it is kept as "
            "wenlotka.keys.bak-20010909-014640 and wenlotka.keys holds the lines that read with "
            "this session's counts\n");
  EXPECT_EQ(dir.ReadFile("wenlotka.keys.bak-20010909-014640"), damaged);
  EXPECT_EQ(dir.ReadFile("wenlotka.keys"),
            std::string(KeysHeader) + "2 A 3 1 2 0 2 900 -\n2 J 1 0 1 0 1 0 r0\n");
}

TEST(ProgressSession, AKeysFileThatIsAFolderIsLeftAloneAndTheFailureTold) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.Path() + "/wenlotka.keys");
  Outcome r = Play("key space\ntype 2\ntype 1\nhit\nkey esc\nquit\n");
  EXPECT_EQ(r.status, 4);  // as for any file not saved
  EXPECT_EQ(r.err,
            "wenlotka: wenlotka.keys: not a regular file but a folder, left alone; this session's "
            "key statistics are kept in wenlotka.keys.unsaved-20010909-014640\n"
            "Practice Record write error\nPractice Recod File\nwenlotka.keys \nCould not be "
            "saved\nThis session is kept in\nwenlotka.keys.unsaved-20010909-014640\n");
  EXPECT_EQ(dir.ReadFile("wenlotka.keys.unsaved-20010909-014640"),
            std::string(KeysHeader) + "2 J 1 0 1 0 1 0 r0\n");
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "/wenlotka.keys"));
}

// ---- Hooks -------------------------------------------------------------------

TEST(ProgressHooks, RecallAndLookUpCountOnlyInStandardAndExpert) {
  const struct {
    int level;
    bool moleOut;
    std::int64_t recalled, lookedUp;
  } cases[] = {{1, false, 0, 0}, {1, true, 0, 0},  {2, false, 1, 0},
               {2, true, 0, 1},  {3, false, 1, 0}, {3, true, 0, 1}};
  for (const auto& c : cases) {
    VirtualClock clock({5000, 250});
    GameGlobals g;
    InitGlobals(g, &clock);
    g.practiceLevel = c.level;
    g.targetKey = 'F';
    NoteTargetShown(g);
    clock.Advance(1234);
    if (c.moleOut) NoteMoleShown(g);
    NoteKeyJudged(g, 'F');
    const KeyCounts& k = g.progress.session.keys[c.level - 1]['F' - 'A'];
    EXPECT_EQ(k.target, 1) << c.level;
    EXPECT_EQ(k.recalled, c.recalled) << c.level << c.moleOut;
    EXPECT_EQ(k.lookedUp, c.lookedUp) << c.level << c.moleOut;
    EXPECT_EQ(k.timed, 1);
    EXPECT_EQ(k.timeMs, 1234);
  }
}

// ---- The statistics file -------------------------------------------------------

TEST(ProgressFiles, KeysFilesThisProgramWritesReadBackAsWritten) {
  const struct {
    const char* bytes;
    const char* written;
  } cases[] = {
      // Line ends of either kind, comments and blank lines are read alike; a
      // version 1 file keeps every count and is written as version 2.
      {"wenlotka-keys 1\r\n1 T 4 1 0 0 3 2400 R:1\r\n\r\n# note\r\n", "1 T 4 1 0 0 3 2400 - R:1\n"},
      // A colon, a blank and Enter as the typed keys; no end of line at the end.
      {"wenlotka-keys 1\n3 Z 2 3 1 0 1 700 ::1 0x20:1 0x0D:1",
       "3 Z 2 3 1 0 1 700 - 0x0D:1 0x20:1 ::1\n"},
      {"wenlotka-keys 1\n", ""},
      // Version 2: the recent targets, oldest first.
      {"wenlotka-keys 2\n2 X 3 3 1 2 3 5100 2l2300,r640,1l2160 C:2 Z:1\n",
       "2 X 3 3 1 2 3 5100 2l2300,r640,1l2160 C:2 Z:1\n"},
      {"wenlotka-keys 2\r\n1 Q 1 0 0 0 1 480 s480\r\n", "1 Q 1 0 0 0 1 480 s480\n"},
  };
  for (const auto& c : cases) {
    KeyStatistics stats;
    std::string error;
    ASSERT_TRUE(ParseKeyStatistics(c.bytes, &stats, &error)) << c.bytes << ": " << error;
    EXPECT_EQ(FormatKeyStatistics(stats), KeysHeader + std::string(c.written));
  }
}

TEST(ProgressFiles, DamagedKeysFilesNameTheirLine) {
  const struct {
    const char* bytes;
    const char* error;
  } cases[] = {
      {"",
       "line 1: empty, not a key statistics file (the first line must read 'wenlotka-keys 2' or "
       "'wenlotka-keys 1')"},
      {"wenlotka-keys 3\n",
       "line 1: not a key statistics file (the first line must read 'wenlotka-keys 2' or "
       "'wenlotka-keys 1')"},
      {"wenlotka-keys 2\n1 T 1 1 1 1 1 1\n",
       "line 2: expected level, key, six counts and the recent targets"},
      {"wenlotka-keys 2\n1 T 1 1 1 1 1 1 r0,x5\n",
       "line 2: 'r0,x5' is not a list of recent targets (like r640,2l2300, or - for none)"},
      {"wenlotka-keys 2\n1 T 1 1 1 1 1 1 r0,\n",
       "line 2: 'r0,' is not a list of recent targets (like r640,2l2300, or - for none)"},
      {"wenlotka-keys 1\n4 T 1 1 1 1 1 1\n", "line 2: the level must be 1, 2 or 3"},
      {"wenlotka-keys 1\n\n1 t 1 1 1 1 1 1\n", "line 3: the key must be a capital letter A to Z"},
      {"wenlotka-keys 1\n1 T 1 -1 1 1 1 1\n", "line 2: '-1' is not a count"},
      {"wenlotka-keys 1\n1 T 1 1 1 1 1 99999999999999999999\n",
       "line 2: '99999999999999999999' is not a count"},
      {"wenlotka-keys 1\n1 T 1 1 1 1 1 1 R\n",
       "line 2: 'R' is not a typed key with its count (like R:3)"},
      {"wenlotka-keys 1\n1 T 1 1 1 1 1 1 R:0\n",
       "line 2: 'R:0' is not a typed key with its count (like R:3)"},
      {"wenlotka-keys 1\n1 T 1 1 1 1 1 1 0x80:1\n",
       "line 2: '0x80:1' is not a typed key with its count (like R:3)"},
      {"wenlotka-keys 1\n1 T 1 1 1 1 1 1 R:1 R:2\n", "line 2: the typed key 'R' appears twice"},
      {"wenlotka-keys 1\n1 T 1 1 1 1 1 1\n2 T 1 1 1 1 1 1\n1 T 1 1 1 1 1 1\n",
       "line 4: T at level 1 appears twice"},
  };
  for (const auto& c : cases) {
    KeyStatistics stats;
    std::string error;
    EXPECT_FALSE(ParseKeyStatistics(c.bytes, &stats, &error)) << c.bytes;
    EXPECT_EQ(error, c.error) << c.bytes;
  }
}

TEST(ProgressFiles, AddingStopsAtTheLargestCount) {
  KeyStatistics disk, session;
  std::string error;
  ASSERT_TRUE(ParseKeyStatistics(
      "wenlotka-keys 1\n1 A 9223372036854775807 5 0 0 5 10 B:9223372036854775806\n", &disk,
      &error));
  ASSERT_TRUE(ParseKeyStatistics("wenlotka-keys 1\n1 A 2 1 0 0 1 20 B:3 C:1\n", &session, &error));
  AddKeyStatistics(disk, session);
  EXPECT_EQ(FormatKeyStatistics(disk).substr(FormatKeyStatistics(disk).find("\n1 ") + 1),
            "1 A 9223372036854775807 6 0 0 6 30 - B:9223372036854775807 C:1\n");
}

TEST(ProgressFiles, RunLinesNameTheLineThatDoesNotRead) {
  const struct {
    const char* bytes;
    const char* error;
  } cases[] = {
      {"01/09/09 01:46:47 201 1 0 59\n",
       "line 1: expected date, time, course, seconds, errors, "
       "recalled and looked up"},
      {"01/09/09 01:46:47 201 1 0 59 1\n01/09/09 1:46:47 201 1 0 59 1\n",
       "line 2: expected a date YY/MM/DD and a time HH:MM:SS"},
      {"\n01/09/09 01:46:47 208 1 0 59 1\n",
       "line 2: '208' is not a course (101..107, 201..207, 301..307)"},
      {"01/09/09 01:46:47 401 1 0 59 1\n",
       "line 1: '401' is not a course (101..107, 201..207, 301..307)"},
      {"01/09/09 01:46:47 201 1 x 59 1\n", "line 1: 'x' is not a count"},
  };
  for (const auto& c : cases) {
    std::vector<RunEntry> runs;
    std::string error;
    EXPECT_FALSE(ParseRunHistory(c.bytes, &runs, &error)) << c.bytes;
    EXPECT_EQ(error, c.error) << c.bytes;
  }
}

// ---- The report ------------------------------------------------------------------

namespace {

// A version 1 file. T missed 1 of 4 keys typed for it (25%), R 1 of 2 (50%),
// Q 12 of 24 (50%), W 5 of 15 (33%), E none of 10; A looked up 1 of 4 times
// (25%), Q 10 of 12 (83%), E and W never. At Expert, where the usual time is
// 48000 / 32 = 1500 ms, Q went wrong in every way (missed on every target,
// looked up 10 of 12, twice the usual time): 0.5 + 0.3 x 10/12 + 0.2 = 95%
// weak; W was missed on half its targets: 0.5 x 0.5 = 25%; E is clean.
constexpr char ReportKeys[] =
    "wenlotka-keys 1\n"
    "1 R 2 1 0 0 1 900 T:1\n"
    "1 T 4 1 0 0 3 2400 R:1\n"
    "2 A 4 0 3 1 4 2600\n"
    "3 E 10 0 10 0 10 6000\n"
    "3 Q 12 12 2 10 12 36000 W:12\n"
    "3 W 10 5 10 0 10 6000 Q:5\n";

// Beginner's Home Row 40 and 50 s, Standard Home Row 30 s, then twelve Expert
// All Row runs: 100 twice (older than the last ten), five of 50, five of 40.
std::string ReportRuns() {
  std::string runs =
      "26/12/01 10:00:00 101 40 3 0 0\n"
      "26/12/02 10:00:00 101 50 1 0 0\n"
      "26/12/03 10:00:00 201 30 0 50 10\n";
  const int expert[] = {100, 100, 50, 50, 50, 50, 50, 40, 40, 40, 40, 40};
  for (int s : expert) runs += "26/12/04 11:00:00 306 " + std::to_string(s) + " 2 40 20\n";
  return runs;
}

constexpr char ReportText[] =
    "Runs per course\n"
    "  Beginner's Home Row: 2 runs, best 40 sec, mean of the last 2: 45.0 sec, getting slower\n"
    "  Standard Home Row: 1 run, best 30 sec, mean of the last 1: 30.0 sec, one run so far\n"
    "  Expert All Row: 12 runs, best 40 sec, mean of the last 10: 45.0 sec, getting faster\n"
    "Weakest keys by miss rate\n"
    "  Q  50%  12 missed, 12 typed right\n"
    "  R  50%  1 missed, 1 typed right\n"
    "  W  33%  5 missed, 10 typed right\n"
    "  T  25%  1 missed, 3 typed right\n"
    "Weakest keys by look-up rate\n"
    "  Q  83%  10 looked up, 2 recalled\n"
    "  A  25%  1 looked up, 3 recalled\n"
    "Most common confusions\n"
    "  Q typed as W (12 times)\n"
    "  W typed as Q (5 times)\n"
    "  R typed as T (1 time)\n"
    "  T typed as R (1 time)\n"
    "Practise next: Q W with Weak Keys at Expert (3, then 8)\n";

}  // namespace

TEST(ProgressReport, PrintsTheSummaryAndDrawsThePictureWithoutChangingTheFiles) {
  ScratchDir dir;
  dir.WriteFile("wenlotka.keys", ReportKeys);
  dir.WriteFile("wenlotka.runs", ReportRuns());
  Outcome r = Wenlotka("--report progress.png");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, std::string(ReportText) + "Picture written to progress.png\n");
  EXPECT_EQ(dir.ReadFile("wenlotka.keys"), ReportKeys);
  EXPECT_EQ(dir.ReadFile("wenlotka.runs"), ReportRuns());
  EXPECT_EQ(FilesIn(dir.Path()),
            (std::set<std::string>{"wenlotka.keys", "wenlotka.runs", "progress.png"}));
  // A PNG of 1282 x 802: the signature, then IHDR's width and height.
  const std::string png = dir.ReadFile("progress.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x05\x02\0\0\x03\x22", 8));

  r = Wenlotka("--report");
  EXPECT_EQ(r.out, ReportText);
}

TEST(ProgressReport, RatesRoundHalfUpAndOnATieTheKeyWithMoreEvidenceComesFirst) {
  // W missed 2 of 3 times; Y and R both half the time, Y over more keys.
  KeyStatistics stats;
  std::string error;
  ASSERT_TRUE(
      ParseKeyStatistics("wenlotka-keys 1\n2 R 2 1 0 0 1 0\n2 W 3 2 0 0 1 0\n"
                         "2 Y 4 2 0 0 2 0\n",
                         &stats, &error))
      << error;
  const std::string text = BuildReportText(stats, {});
  EXPECT_NE(text.find("Weakest keys by miss rate\n"
                      "  W  67%  2 missed, 1 typed right\n"
                      "  Y  50%  2 missed, 2 typed right\n"
                      "  R  50%  1 missed, 1 typed right\n"),
            std::string::npos)
      << text;
}

TEST(ProgressReport, ThePictureShowsRatesSpreadOverTheirScaleAndPlotsRunTimes) {
  KeyStatistics stats;
  std::vector<RunEntry> runs;
  std::string error;
  ASSERT_TRUE(ParseKeyStatistics(ReportKeys, &stats, &error));
  ASSERT_TRUE(ParseRunHistory(ReportRuns(), &runs, &error));
  CairoDeviceContext dc(1282, 802);
  GameGlobals g;
  InitGlobals(g, nullptr, 1282, 802);
  DrawReportPicture(g, dc, stats, runs);
  // Logical (y, x) lands on device (2x + 1, 2y + 1). A cap's face is sampled
  // 2 logical pixels inside its top-left corner, above its label.
  const struct {
    const char* what;
    int x, y;
    ColorRef colour;
  } samples[] = {
      // Misses, caps at y 40 + 32 (row - 1), x 16 + 12 (row - 1) + 27 (column - 1);
      // the highest rate, 50%, is the top of the scale.
      {"Q, 50%: red", 61, 149, MakeColorRef(255, 0, 0)},
      {"W, 33%: two thirds up the scale, past orange", 115, 149, MakeColorRef(255, 130, 43)},
      {"T, 25%: half way, orange", 277, 149, MakeColorRef(255, 191, 63)},
      {"A, 0%: light yellow", 85, 213, MakeColorRef(255, 255, 191)},
      {"Z, never a target: grey", 109, 277, MakeColorRef(127, 127, 127)},
      // Look-ups, 320 to the right, up to 85%.
      {"Q, 83% of 85%", 701, 149, MakeColorRef(255, 9, 3)},
      {"A, 25% of 85%", 725, 213, MakeColorRef(255, 217, 116)},
      {"T, never recalled nor looked up: grey", 917, 149, MakeColorRef(127, 127, 127)},
      // Chart: 15 runs over x 48..424, seconds 0..100 over y 316..212; Okabe
      // and Ito's blue, vermillion and bluish green for the three courses.
      {"run 1, 40 s: x 48, y 275", 97, 551, MakeColorRef(0, 114, 178)},
      {"run 3, 30 s: x 101, y 285", 203, 571, MakeColorRef(213, 94, 0)},
      {"run 4, 100 s: x 128, y 212", 257, 425, MakeColorRef(0, 158, 115)},
      {"run 15, 40 s: x 424, y 275", 849, 551, MakeColorRef(0, 158, 115)},
      {"no run at 50 s on the last run's line", 849, 529, MakeColorRef(255, 255, 255)},
      {"the tick of 25 s left of the axis at y 290", 90, 581, MakeColorRef(0, 0, 0)},
  };
  for (const auto& s : samples) {
    EXPECT_EQ(dc.PixelAt(s.x, s.y), s.colour) << s.what;
  }

  // Each cap with data carries its letter over its rate in whole percent, in
  // the smaller text (24 device pixels high here): misses, then look-ups.
  RecordingDC recorded;
  DrawReportPicture(g, recorded, stats, runs);
  std::string onCaps;
  for (const auto& t : recorded.texts) {
    if (t.font.lfHeight == 24) onCaps += t.bytes;
  }
  EXPECT_EQ(onCaps, "Q50W33E0R50T25A0Q83W0E0A25");
}

TEST(ProgressReport, WithoutDataItSaysSoAndWritesNothing) {
  ScratchDir dir;
  Outcome r = Wenlotka("--report progress.png");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "No progress recorded yet: wenlotka.keys and wenlotka.runs in this folder hold no "
            "keys or runs. Finish a practice run and they will.\nNo picture written.\n");
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

TEST(ProgressReport, ADamagedFileNamesItsLineAndIsLeftByteForByte) {
  const struct {
    const char* file;
    std::string bytes;
    const char* message;
    const char* reported;
  } cases[] = {
      {"wenlotka.keys", "wenlotka-keys 1\n1 T 4 1 0 0 3 2400\n2 A 4 none 3 1 4 2600\n",
       "wenlotka: wenlotka.keys line 3: 'none' is not a count; skipped, no file changed\n",
       "T  25%  1 missed, 3 typed right"},
      // A line a full disk cut short, and the next session's line joined to it.
      {"wenlotka.runs",
       "26/12/01 10:00:00 101 40 3 0 0\r\n26/12/02 10:00:0326/12/03 17:07:12 101 32 0 58 2\r\n"
       "26/12/04 10:00:00 101 35 0 0 0\n",
       "wenlotka: wenlotka.runs line 2: expected date, time, course, seconds, errors, recalled and "
       "looked up; skipped, no file changed\n",
       "Beginner's Home Row"},
      {"wenlotka.keys", std::string("\x89PNG\r\n\x1a\n\0\0", 12),
       "wenlotka: wenlotka.keys line 1: not a key statistics file (the first line must read "
       "'wenlotka-keys 2' or 'wenlotka-keys 1'); skipped, no file changed\n",
       "No progress recorded yet"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    dir.WriteFile(c.file, c.bytes);
    Outcome r = Wenlotka("--report");
    EXPECT_EQ(r.status, 0) << c.file;
    EXPECT_NE(r.out.find(c.reported), std::string::npos) << r.out;
    EXPECT_EQ(r.err, c.message);
    EXPECT_EQ(dir.ReadFile(c.file), c.bytes);
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{c.file});
  }
}

TEST(ProgressReport, OnlyAPngNameIsTakenForThePicture) {
  ScratchDir dir;
  dir.WriteFile("wenlotka.runs", "26/12/01 10:00:00 101 40 3 0 0\n");
  Outcome r = Wenlotka("--report wenlotka.runs");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--report draws its picture only into a FILE.png"), std::string::npos);
  EXPECT_EQ(dir.ReadFile("wenlotka.runs"), "26/12/01 10:00:00 101 40 3 0 0\n");
}

TEST(ProgressReport, AFifoInPlaceOfAFileOrThePictureNeverHangs) {
  ScratchDir dir;
  dir.WriteFile("wenlotka.keys", ReportKeys);
  ASSERT_EQ(mkfifo("progress.png", 0644), 0);
  Outcome r = Wenlotka("--report progress.png");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "wenlotka: picture not written: progress.png: not a regular file; left alone\n");
  EXPECT_EQ(FilesIn(dir.Path()), (std::set<std::string>{"wenlotka.keys", "progress.png"}));

  ASSERT_EQ(mkfifo("wenlotka.runs", 0644), 0);
  r = Wenlotka("--report");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "wenlotka: wenlotka.runs: not a regular file but a FIFO; no report made, no file "
            "changed\n");
  EXPECT_EQ(r.out, "");
}

TEST(ProgressReport, ThePictureDrawsTheKeyboardOfTheLayout) {
  KeyStatistics stats;
  std::string error;
  ASSERT_TRUE(ParseKeyStatistics(ReportKeys, &stats, &error));
  CairoDeviceContext dc(1282, 802);
  GameGlobals g;
  InitGlobals(g, nullptr, 1282, 802);
  g.keyboardLayout = FindKeyboardLayout("dvorak");
  DrawReportPicture(g, dc, stats, {});
  // Dvorak's Q, the most missed, is the second cap of the lowest row (y 136,
  // x 16 + 36 + 27); the first cap of the upper row carries an apostrophe.
  EXPECT_EQ(dc.PixelAt(163, 277), MakeColorRef(255, 0, 0));
  EXPECT_EQ(dc.PixelAt(61, 149), MakeColorRef(127, 127, 127));
}
