// The user's records against the faults a folder can hold, played through the
// real program: damaged, unreadable and special record files, read-only files
// and folders, two games in one folder, a killed save, a sub-second run.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

using namespace std::chrono_literals;

// 2001-09-09 01:46:40 UTC: the backup made at exit is named after it.
constexpr char Clock[] = "1000000000";
constexpr char BackupName[] = "wenlotka.rec.bak-20010909-014640";

struct Outcome {
  int status = -1;
  std::string out, err;
  std::chrono::milliseconds took{};
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the game on `script` from standard input in the current folder, under
// `timeout` so that a hang shows as status 124 instead of stopping the suite.
// `as` goes before the program (e.g. a setpriv call).
Outcome Play(const std::string& script, const std::string& as = "") {
  const std::string tag = std::to_string(getpid()) + "-" + std::to_string(rand());
  const std::string in = "/tmp/wenlotka-e2e-" + tag + ".in";
  const std::string out = "/tmp/wenlotka-e2e-" + tag + ".out";
  const std::string err = "/tmp/wenlotka-e2e-" + tag + ".err";
  std::ofstream(in) << script;
  chmod(in.c_str(), 0644);
  const std::string cmd = "TZ=UTC timeout -s KILL 10 " + as + " " + WENLOTKA_BINARY +
                          " --headless - --clock " + Clock + " <" + in + " >" + out + " 2>" + err;
  auto start = std::chrono::steady_clock::now();
  int raw = std::system(cmd.c_str());
  Outcome r;
  r.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(out);
  r.err = Slurp(err);
  std::remove(in.c_str());
  std::remove(out.c_str());
  std::remove(err.c_str());
  return r;
}

// How to run the game as an unprivileged user, or why that is impossible.
bool Unprivileged(std::string* as, std::string* why) {
  if (geteuid() != 0) {
    as->clear();
    return true;
  }
  if (std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null") != 0) {
    *why = "no setpriv to run as user 65534";
    return false;
  }
  *as = "setpriv --reuid=65534 --regid=65534 --clear-groups";
  return true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Pad(const char* name) {
  return name + std::string(34 - std::strlen(name), ' ');
}

// A record file as the game writes it, with a 23 s Home+Lower_Row record set
// on 08/03/01 at Beginner's and 1 h 2 min 5 s in all.
std::string RecordFile(const std::string& end = "\n") {
  const char* names[] = {"Home_Row",  "Upper_Row",      "Home+Upper_Row",
                         "Lower_Row", "Home+Lower_Row", "All_Row"};
  std::string text = "Total_Practice_Time    1hour 2mi 5se" + end;
  for (const char* level : {"Beginner's", "Standard", "Expert"}) {
    text += level + end;
    for (const char* name : names) {
      const bool record =
          std::string(level) == "Beginner's" && std::string(name) == "Home+Lower_Row";
      text +=
          Pad(name) +
          (record ? "     23 08/03/01     0hour 1mi40se" : "      0              0hour 0mi 0se") +
          end;
    }
  }
  return text;
}

// The same file in the Japanese layout, Shift-JIS with CR LF line ends.
std::string JapaneseRecordFile() {
  std::string text = RecordFile("\r\n");
  auto replace = [&text](const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
  };
  replace("Total_Practice_Time", Sjis("練習時間　"));
  replace("hour", Sjis("時間"));
  replace("mi", Sjis("分"));
  replace("se", Sjis("秒"));
  return text;
}

class RecordsE2E : public ::testing::Test {
 protected:
  void SetUp() override { chmod(dir.Path().c_str(), 0777); }
  ScratchDir dir;
};

// ---- 1, 2, 11: files that do not read are kept; CR-only files read -----------

TEST_F(RecordsE2E, ARecordFileThatDoesNotReadIsKeptByteForByte) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) & 0xFF);
  std::string deleted = RecordFile();
  deleted.erase(deleted.find("Lower_Row"),
                deleted.find("Home+Lower_Row") - deleted.find("Lower_Row"));
  const struct {
    const char* what;
    std::string bytes;
    const char* problem;
  } cases[] = {
      {"empty", "", "wenlotka.rec: is empty"},
      {"binary garbage", garbage, "wenlotka.rec: line 1 is not a total line"},
      {"14 MB", std::string(14 << 20, '7'), "wenlotka.rec: larger than 65536 bytes"},
      {"one 100k line", std::string(100000, 'x'), "wenlotka.rec: larger than 65536 bytes"},
      {"a line deleted", deleted, "wenlotka.rec: the Beginner's Lower_Row line is missing"},
      {"cut after line 9", RecordFile().substr(0, RecordFile().find("Standard\n") + 9),
       "wenlotka.rec: ends after line 9 of 22"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir scratch;
    scratch.WriteFile("wenlotka.rec", c.bytes);
    Outcome r = Play("quit\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(CountOf(r.err, c.problem), 2) << r.err;  // at start-up, and when kept
    EXPECT_NE(r.err.find("; it will be kept as wenlotka.rec.bak-"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::string("; kept as ") + BackupName), std::string::npos) << r.err;
    EXPECT_EQ(scratch.ReadFile(BackupName), c.bytes);
    EXPECT_EQ(Lines(scratch.ReadFile("wenlotka.rec")).size(), 22u);
  }
}

TEST_F(RecordsE2E, LineEndsOfEveryKindAndTheJapaneseLayoutReadAsTheyAre) {
  std::string crOnly = RecordFile("\r");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {{"LF", RecordFile()},
               {"CR LF", RecordFile("\r\n")},
               {"CR only", RecordFile("\r")},
               {"Japanese, Shift-JIS, CR LF", JapaneseRecordFile()}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir scratch;
    scratch.WriteFile("wenlotka.rec", c.bytes);
    Outcome r = Play("wait 10000\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "") << "nothing wrong to say";
    EXPECT_FALSE(scratch.Exists(BackupName));
    std::vector<std::string> lines = Lines(scratch.ReadFile("wenlotka.rec"));
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[0], "Total_Practice_Time    1hour 2mi15se");
    EXPECT_EQ(lines[6], Pad("Home+Lower_Row") + "     23 08/03/01     0hour 1mi40se");
  }
}

// ---- 3: two games in one folder ---------------------------------------------

TEST_F(RecordsE2E, TwoGamesInOneFolderKeepBothSessions) {
  // Hold the folder's lock while both games start, so both load the same
  // (missing) record file and then save one after the other.
  int folder = open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  ASSERT_EQ(flock(folder, LOCK_EX), 0);
  std::string a = "key space\ntype 1\ntype 1\n", b = "key space\ntype 1\ntype 2\n";
  for (int i = 0; i < 60; ++i) a += "hit\nwait 1000\n";  // Home Row in 59 s, 60 s in all
  for (int i = 0; i < 60; ++i) b += "hit\nwait 500\n";   // Upper Row in 29 s, 30 s in all
  a += "key esc\nquit\n";
  b += "key esc\nquit\n";
  Outcome ra, rb;
  std::thread ta([&] { ra = Play(a); });
  std::thread tb([&] { rb = Play(b); });
  std::this_thread::sleep_for(800ms);
  flock(folder, LOCK_UN);
  close(folder);
  ta.join();
  tb.join();
  EXPECT_EQ(ra.status, 0) << ra.err;
  EXPECT_EQ(rb.status, 0) << rb.err;
  std::vector<std::string> rec = Lines(dir.ReadFile("wenlotka.rec"));
  ASSERT_EQ(rec.size(), 22u);
  EXPECT_EQ(rec[0], "Total_Practice_Time    0hour 1mi30se");
  EXPECT_EQ(rec[2], Pad("Home_Row") + "     59 01/09/09     0hour 0mi59se");
  EXPECT_EQ(rec[3], Pad("Upper_Row") + "     29 01/09/09     0hour 0mi29se");
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.spd")).size(), 2u);
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.log")).size(), 2u);
}

// ---- 4, 8: special files never hang nor get replaced; failures give status 4 --

TEST_F(RecordsE2E, SpecialRecordFilesAreLeftAloneWithoutHanging) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"FIFO", "fifo"}, {"link to /dev/zero", "/dev/zero"}, {"link to a folder", "folder"}};
  ASSERT_EQ(mkfifo("fifo", 0666), 0);
  ASSERT_EQ(mkdir("folder", 0777), 0);
  if (mknod("device", S_IFCHR | 0666, makedev(1, 3)) == 0) {
    cases.push_back({"link to a character device", "device"});
  } else {
    std::printf("note: mknod not permitted here, the device case is skipped\n");
  }
  for (const auto& [what, target] : cases) {
    SCOPED_TRACE(what);
    unlink("wenlotka.rec");
    ASSERT_EQ(symlink(target.c_str(), "wenlotka.rec"), 0);
    struct stat before;
    ASSERT_EQ(stat(target.c_str(), &before), 0);
    Outcome r = Play("quit\n");
    EXPECT_LT(r.took, 2000ms);
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("wenlotka: wenlotka.rec: not a regular file"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Practice Recod File\nwenlotka.rec \nCould not be saved\n"),
              std::string::npos)
        << r.err;
    struct stat after;
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << "the target is untouched";
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    char link[256] = {};
    ASSERT_GT(readlink("wenlotka.rec", link, sizeof link - 1), 0);
    EXPECT_EQ(std::string(link), target);
  }
  // A plain FIFO in the record file's place, too.
  unlink("wenlotka.rec");
  ASSERT_EQ(mkfifo("wenlotka.rec", 0666), 0);
  Outcome r = Play("quit\n");
  EXPECT_LT(r.took, 2000ms);
  EXPECT_EQ(r.status, 4);
  struct stat st;
  ASSERT_EQ(lstat("wenlotka.rec", &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(RecordsE2E, FifoLogsNeitherHangNorStopTheRecordFile) {
  ASSERT_EQ(mkfifo("wenlotka.log", 0666), 0);
  ASSERT_EQ(mkfifo("wenlotka.spd", 0666), 0);
  std::string script = "key space\ntype 1\ntype 1\n";
  for (int i = 0; i < 60; ++i) script += "hit\nwait 1000\n";  // a first record: the speed log
  script += "quit\n";
  Outcome r = Play(script);
  EXPECT_LT(r.took, 2000ms);
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find("Practice Recod File\nwenlotka.log wenlotka.spd \nCould not be saved\n"),
            std::string::npos)
      << r.err;
  std::vector<std::string> rec = Lines(dir.ReadFile("wenlotka.rec"));
  ASSERT_EQ(rec.size(), 22u);
  EXPECT_EQ(rec[2], Pad("Home_Row") + "     59 01/09/09     0hour 0mi59se");
}

// ---- Files that cannot be replaced: kept whole, the session kept elsewhere ----

TEST_F(RecordsE2E, AReadOnlyRecordFileIsNotReplacedAndTheFailureIsReported) {
  dir.WriteFile("wenlotka.rec", RecordFile());
  chmod("wenlotka.rec", 0444);
  Outcome r = Play("wait 5000\nquit\n");
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err,
            "wenlotka: wenlotka.rec: read-only, so it is left alone; this session's records will "
            "be kept in a new file beside it when the game ends\n"
            "wenlotka: wenlotka.rec: read-only, left alone; this session's records are kept in "
            "wenlotka.rec.unsaved-20010909-014645\n"
            "Practice Record write error\nPractice Recod File\nwenlotka.rec \nCould not be saved\n"
            "This session is kept in\nwenlotka.rec.unsaved-20010909-014645\n");
  EXPECT_EQ(dir.ReadFile("wenlotka.rec"), RecordFile());
  struct stat st;
  ASSERT_EQ(stat("wenlotka.rec", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST_F(RecordsE2E, WhereAFileCannotBeReplacedItStaysWholeAndTheSessionIsKeptElsewhere) {
  std::string as, why;
  if (!Unprivileged(&as, &why)) GTEST_SKIP() << why;
  // The user's home, for the copy when the game's folder takes no new file.
  const std::string home = dir.Path() + "-home";
  ASSERT_EQ(mkdir(home.c_str(), 0777), 0);
  chmod(home.c_str(), 0777);
  const std::string cwd = dir.Path() + "/game";
  const std::string damagedKeys = "wenlotka-keys 1\n2 J 4 1 0\n";
  const std::string goodKeys = "wenlotka-keys 1\n2 J 4 1 3 0 3 900\n";
  const struct {
    const char* what;
    const char* file;      // the file that cannot be replaced
    std::string bytes;     // what it holds
    mode_t mode, folder;   // its mode, its folder's
    std::string told;      // at start, or at exit for the statistics
    std::string keptAs;    // the file of the user's own
    const char* keptLine;  // its first line after the header, if any
  } cases[] = {
      {"read-only record file", "wenlotka.rec", RecordFile(), 0444, 0777,
       "wenlotka: wenlotka.rec: read-only, so it is left alone; this session's records will be "
       "kept in a new file beside it when the game ends",
       "wenlotka.rec.unsaved-20010909-014650", "Total_Practice_Time    1hour 2mi15se"},
      {"unreadable record file", "wenlotka.rec", RecordFile(), 0000, 0777,
       "wenlotka: wenlotka.rec: cannot be read (Permission denied); it is left as it is, and this "
       "session's records will be kept in a new file beside it when the game ends",
       "wenlotka.rec.unsaved-20010909-014650", "Total_Practice_Time    0hour 0mi10se"},
      {"a folder where no file can be made", "wenlotka.rec", RecordFile(), 0666, 0555,
       "wenlotka: " + cwd +
           ": no new file can be made in this folder (Permission denied); this "
           "session's records will be kept in " +
           home + " when the game ends",
       home + "/wenlotka.rec.unsaved-20010909-014650", "Total_Practice_Time    1hour 2mi15se"},
      {"a shared folder, the file another user's", "wenlotka.rec", RecordFile(), 0666, 01777,
       "wenlotka: wenlotka.rec: belongs to another user in a shared folder, so it cannot be "
       "replaced; this session's records will be kept in a new file beside it when the game ends",
       "wenlotka.rec.unsaved-20010909-014650", "Total_Practice_Time    1hour 2mi15se"},
      {"unreadable statistics", "wenlotka.keys", goodKeys, 0000, 0777,
       "wenlotka: wenlotka.keys: cannot be read (Permission denied), so it is left as it is; this "
       "session's key statistics are kept in wenlotka.keys.unsaved-20010909-014650",
       "wenlotka.keys.unsaved-20010909-014650", "2 J 1 0 1 0 1 0 r0"},
      {"damaged statistics where no copy can be made", "wenlotka.keys", damagedKeys, 0666, 0555,
       "wenlotka: wenlotka.keys line 2: expected level, key and six counts; wenlotka.keys: "
       "could not be kept (Permission denied), so it was not replaced; this "
       "session's key statistics are kept in " +
           home + "/wenlotka.keys.unsaved-20010909-014650",
       home + "/wenlotka.keys.unsaved-20010909-014650", "2 J 1 0 1 0 1 0 r0"},
  };
  const uid_t player = geteuid() == 0 ? 65534 : geteuid();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.folder == 01777 && geteuid() != 0) continue;  // needs a file of another user
    ASSERT_EQ(std::system(("rm -rf " + cwd + " " + home + "/*").c_str()), 0);
    ASSERT_EQ(mkdir(cwd.c_str(), 0777), 0);
    ASSERT_EQ(chdir(cwd.c_str()), 0);
    dir.WriteFile("game/" + std::string(c.file), c.bytes);
    chmod(c.file, c.mode);
    chmod(".", c.folder);
    // One Standard key, ten seconds in all.
    Outcome r = Play("key space\ntype 2\ntype 1\nhit\nkey esc\nwait 10000\nquit\n",
                     as + " env HOME=" + home);
    chmod(".", 0777);
    chmod(c.file, 0644);
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find(c.told + "\n"), std::string::npos) << r.err;
    const std::size_t report = r.err.find("Could not be saved\nThis session is kept in\n");
    EXPECT_NE(r.err.find("\n" + c.keptAs + "\n", report), std::string::npos) << r.err;
    EXPECT_EQ(dir.ReadFile("game/" + std::string(c.file)), c.bytes) << "byte for byte";
    const std::string kept = c.keptAs[0] == '/' ? c.keptAs : cwd + "/" + c.keptAs;
    std::vector<std::string> lines = Lines(Slurp(kept));
    ASSERT_GE(lines.size(), 3u) << kept;
    EXPECT_EQ(lines[std::string(c.file) == "wenlotka.rec" ? 0 : 2], c.keptLine);
    struct stat st;
    ASSERT_EQ(stat(kept.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, player) << "the user's own file";
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  }
  std::system(("rm -rf " + home).c_str());
}

// ---- 6: a save killed half way --------------------------------------------------

TEST_F(RecordsE2E, ATemporaryFileLeftByAKilledSaveIsRemovedAtTheNextStart) {
  dir.WriteFile("wenlotka.rec", RecordFile());
  dir.WriteFile("wenlotka.rec.tmp", "Total_Practice_Time    0hour");
  Outcome r = Play("kill\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(dir.Exists("wenlotka.rec.tmp"));
  EXPECT_EQ(dir.ReadFile("wenlotka.rec"), RecordFile());
}

TEST_F(RecordsE2E, WithoutARecordFileAStartTakesWhatAnInterruptedSaveLeft) {
  // The 23 s Home+Lower_Row record and the total, as the start reads them.
  const std::string records = "\"pastPracticeSeconds\":3725,";
  const std::string course = "{\"code\":105,\"bestTime\":23,\"bestDate\":\"08/03/01\"";
  const struct {
    const char* what;
    const char* name;  // where the records are
    const char* told;
  } cases[] = {
      {"a complete new file under its temporary name", "wenlotka.rec.tmp-41-1",
       "wenlotka: wenlotka.rec was missing; the complete wenlotka.rec.tmp-41-1 that an "
       "interrupted save left is used in its place\n"},
      {"a backup", "wenlotka.rec.bak-20010908-101010",
       "wenlotka: wenlotka.rec is missing; the records are read from "
       "wenlotka.rec.bak-20010908-101010, which stays as it is\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir scratch;
    scratch.WriteFile("wenlotka.rec.tmp-41-2", "Total_Practice_Time    0hour");  // cut short
    scratch.WriteFile(c.name, RecordFile());
    Outcome r = Play("state\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, c.told);
    EXPECT_NE(r.out.find(records), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(course), std::string::npos) << r.out;
    EXPECT_EQ(Lines(scratch.ReadFile("wenlotka.rec")).at(6),
              Pad("Home+Lower_Row") + "     23 08/03/01     0hour 1mi40se");
    EXPECT_FALSE(scratch.Exists("wenlotka.rec.tmp-41-2"));
  }
}

// ---- 10: a run under a second ---------------------------------------------------

TEST_F(RecordsE2E, ARunUnderASecondIsRecordedAsOneSecond) {
  std::string script = "key space\ntype 1\ntype 1\n";
  for (int i = 0; i < 60; ++i) script += "hit\nwait 10\n";  // 0.59 s
  script += "state\nkey esc\nquit\n";
  Outcome r = Play(script);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"runSeconds\":1,"), std::string::npos) << r.out;
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")).at(2),
            Pad("Home_Row") + "      1 01/09/09     0hour 0mi 1se");
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.spd")).at(0).substr(43, 8), "    1sec");
}

TEST_F(RecordsE2E, AClockSetBackOrForwardDuringARunChangesNoTime) {
  // Home Row: 60 keys 500 ms apart, the system clock set back 10 minutes or
  // forward 9 hours half way: a 29 s run in a 30 s session, whatever the clock.
  const struct {
    const char* jump;
    const char* runLine;  // the .runs line: the time of day follows the clock
  } cases[] = {{"-600", "01/09/09 01:37:09 101 29 0 0 0"},
               {"32400", "01/09/09 10:47:09 101 29 0 0 0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.jump);
    ScratchDir scratch;
    std::string script = "key space\ntype 1\ntype 1\n";
    for (int i = 0; i < 60; ++i) {
      script += "hit\nwait 500\n";
      if (i == 29) script += std::string("jump ") + c.jump + "\n";
    }
    Outcome r = Play(script + "quit\n");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> rec = Lines(scratch.ReadFile("wenlotka.rec"));
    ASSERT_EQ(rec.size(), 22u);
    EXPECT_EQ(rec[0], "Total_Practice_Time    0hour 0mi30se");
    EXPECT_EQ(rec[2], Pad("Home_Row") + "     29 01/09/09     0hour 0mi29se");
    EXPECT_EQ(Lines(scratch.ReadFile("wenlotka.log")).at(0),
              "01/09/09 01:46:40 Practice Time  0hour 0min30sec");
    EXPECT_EQ(Lines(scratch.ReadFile("wenlotka.runs")).at(0), c.runLine);
  }
}

}  // namespace

namespace {

TEST(RecordsHelp, TheExitStatusOfAFailedSaveIsDocumented) {
  const std::string cmd = std::string(WENLOTKA_BINARY) + " --help";
  std::FILE* help = popen(cmd.c_str(), "r");
  ASSERT_NE(help, nullptr);
  std::string text;
  char buffer[256];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, help)) > 0;) text.append(buffer, n);
  EXPECT_EQ(pclose(help), 0);
  EXPECT_NE(text.find("4 a file could not be saved at exit"), std::string::npos) << text;
}

}  // namespace
