// The exit save cut short or failed at every file system call it makes, as a
// crash, a power cut, a full disk or a failing disk would: the real program
// run under strace, killed at the call or given an error for it. After each,
// the next start sees the records and statistics of before the session or of
// after it, never less, file modes stay as they were, and a save that did not
// happen is never reported as done.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spill(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct Outcome {
  int status = -1;
  std::string out, err;
};

// Runs `before` + the game with `args` in `folder`, `input` on standard input;
// its output goes to files named after `folder` and `tag`.
Outcome Play(const std::string& folder, const std::string& before, const std::string& args,
             const std::string& input = "", const std::string& tag = "") {
  const std::string io = folder + tag + ".io";
  Spill(io + ".in", input);
  const std::string cmd = "cd " + folder + " && TZ=UTC timeout -s KILL 20 " + before + " " +
                          WENLOTKA_BINARY + " " + args + " <" + io + ".in >" + io + ".out 2>" + io +
                          ".err";
  const int raw = std::system(cmd.c_str());
  Outcome r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(io + ".out");
  r.err = Slurp(io + ".err");
  for (const char* end : {".in", ".out", ".err"}) fs::remove(io + end);
  return r;
}

bool HaveStrace(std::string* why) {
  if (std::system("strace -f -qq -o /dev/null true 2>/dev/null") == 0) return true;
  *why = "strace is missing or may not trace here";
  return false;
}

std::string Pad(const char* name) {
  return name + std::string(34 - std::strlen(name), ' ');
}

// A record file with a 42 s Standard Home Row and 1 h 2 min 5 s in all;
// without `course` when one is given (a line deleted by hand).
std::string RecordFile(const std::string& deleted = "") {
  const char* names[] = {"Home_Row",  "Upper_Row",      "Home+Upper_Row",
                         "Lower_Row", "Home+Lower_Row", "All_Row"};
  std::string text = "Total_Practice_Time    1hour 2mi 5se\n";
  for (const char* level : {"Beginner's", "Standard", "Expert"}) {
    text += std::string(level) + "\n";
    for (const char* name : names) {
      if (deleted == std::string(level) + " " + name) continue;
      const bool record = std::string(level) == "Standard" && std::string(name) == "Home_Row";
      text +=
          Pad(name) +
          (record ? "     42 08/03/01     0hour 5mi12se" : "      0              0hour 0mi 0se") +
          "\n";
    }
  }
  return text;
}

constexpr char Keys[] =
    "wenlotka-keys 1\n"
    "2 A 17 1 16 1 17 2500\n"
    "2 J 15 2 15 0 15 0 R:2\n";

// A session: a 30 s Standard Home Row run (a record), then the menu.
std::string Session() {
  std::string s = "key space\ntype 2\ntype 1\n";
  for (int i = 0; i < 60; ++i) s += "hit\nwait 500\n";
  return s + "key esc\nkey esc\nquit\n";
}

constexpr char Clock[] = "--clock 1000000000";

// What a start in `folder` sees: the records (the state a script prints
// before anything is played) and the statistics, as bytes (a start puts
// back a complete file a killed save left).
struct Seen {
  std::string records, keys;
  bool operator==(const Seen&) const = default;
};

Seen NextStart(const std::string& folder) {
  Outcome r = Play(folder, "", std::string("--headless - ") + Clock, "state\nkill\n");
  // The total and the courses; the rest is the title screen either way.
  const std::size_t total = r.out.find("\"pastPracticeSeconds\"");
  const std::size_t courses = r.out.find("\"courses\"");
  if (total == std::string::npos || courses == std::string::npos) return {"no state: " + r.err, ""};
  return {r.out.substr(total, r.out.find(',', total) - total) + r.out.substr(courses),
          Slurp(folder + "/wenlotka.keys")};
}

struct StartingFolder {
  const char* name;
  std::string record, keys;
};

void PrintTo(const StartingFolder& folder, std::ostream* out) {
  *out << folder.name;
}

class SaveFaults : public testing::TestWithParam<StartingFolder> {
 protected:
  // A fresh copy of the starting folder.
  std::string Fresh(const std::string& name) {
    const std::string folder = dir.Path() + "/" + name;
    fs::remove_all(folder);
    fs::create_directory(folder);
    Spill(folder + "/wenlotka.rec", GetParam().record);
    Spill(folder + "/wenlotka.keys", GetParam().keys);
    Spill(folder + "/wenlotka.log", "01/09/08 01:46:40 Practice Time  0hour 0min30sec\n");
    chmod((folder + "/wenlotka.rec").c_str(), 0600);  // private, and it must stay so
    Spill(dir.Path() + "/session", Session());
    return folder;
  }

  ScratchDir dir;
};

// Each call of the exit save, by name and by its number among the calls of
// that name in the whole run, for strace's `when`.
std::vector<std::pair<std::string, int>> CallsOfTheExitSave(const std::string& trace) {
  std::vector<std::pair<std::string, int>> calls;
  std::map<std::string, int> seen;
  bool saving = false;
  const std::regex call(R"(^\d+ +([a-z0-9_]+)\()");
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, call)) continue;
    const int n = ++seen[m[1]];
    // The practice log is first touched by the exit sequence.
    saving = saving || line.find("\"wenlotka.log\"") != std::string::npos;
    if (saving) calls.push_back({m[1], n});
  }
  return calls;
}

std::string ErrorFor(const std::string& call) {
  if (call == "write" || call == "pwrite64") return "ENOSPC";
  if (call.rfind("rename", 0) == 0 || call.rfind("link", 0) == 0) return "EXDEV";
  return "EIO";
}

bool AnyFileStartsWith(const std::string& folder, const std::string& prefix,
                       const std::string& bytes = "") {
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(prefix, 0) == 0 && (bytes.empty() || Slurp(e.path()) == bytes)) return true;
  }
  return false;
}

class SaveFaultsSync : public testing::Test {
 protected:
  ScratchDir dir;
};

TEST_P(SaveFaults, KilledOrFailedAtEveryCallOfTheExitSave) {
  std::string why;
  if (!HaveStrace(&why)) GTEST_SKIP() << why;
  const std::string session = dir.Path() + "/session";
  const Seen before = NextStart(Fresh("before"));
  const std::string good = Fresh("after");
  ASSERT_EQ(Play(good, "", "--headless " + session + " " + Clock).status, 0);
  const Seen after = NextStart(good);
  const std::string newRecords = Slurp(good + "/wenlotka.rec");
  ASSERT_NE(before, after);

  const std::string traced = Fresh("traced");
  ASSERT_EQ(Play(traced, "strace -f -qq -e trace=%file,%desc -o " + dir.Path() + "/trace",
                 "--headless " + session + " " + Clock)
                .status,
            0);
  const auto calls = CallsOfTheExitSave(Slurp(dir.Path() + "/trace"));
  ASSERT_GT(calls.size(), 40u) << "the save's calls were not found";

  int points = 0;
  for (const auto& [call, n] : calls) {
    for (const bool kill : {true, false}) {
      const std::string what = call + " #" + std::to_string(n) + (kill ? " killed" : " failed");
      SCOPED_TRACE(what);
      const std::string folder = Fresh("fault");
      const std::string inject =
          "strace -f -qq -o /dev/null -e trace=" + call + " -e inject=" + call +
          (kill ? ":signal=SIGKILL" : ":error=" + ErrorFor(call)) + ":when=" + std::to_string(n);
      const Outcome r = Play(folder, inject, "--headless " + session + " " + Clock);
      struct stat st;
      ASSERT_EQ(stat((folder + "/wenlotka.rec").c_str(), &st), 0) << "the record file is gone";
      EXPECT_EQ(st.st_mode & 0777, 0600u) << "its mode is kept";
      const Seen seen = NextStart(folder);
      EXPECT_TRUE(seen.records == before.records || seen.records == after.records) << seen.records;
      EXPECT_TRUE(seen.keys == before.keys || seen.keys == after.keys) << seen.keys;
      if (!kill) {
        ASSERT_TRUE(r.status == 0 || r.status == 4) << r.status << r.err;
        if (r.status == 0) {
          EXPECT_EQ(seen, after) << "a save reported as done is done: " << r.err;
        }
        if (seen.records == before.records) {
          EXPECT_TRUE(AnyFileStartsWith(folder, "wenlotka.rec.unsaved-", newRecords)) << r.err;
        }
        if (seen.keys == before.keys) {
          EXPECT_TRUE(AnyFileStartsWith(folder, "wenlotka.keys.unsaved-")) << r.err;
        }
      }
      ++points;
    }
  }
  std::printf("%d faults of %zu calls tried\n", points, calls.size());
}

// The calls of `trace` (strace -y) as {call, fd's file, rest of the line}.
struct TracedCall {
  std::string call, file, line;
};

std::vector<TracedCall> Calls(const std::string& trace) {
  std::vector<TracedCall> calls;
  const std::regex call(R"(^\d+ +([a-z0-9_]+)\((?:\d+<([^>]*)>)?)");
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_search(line, m, call)) calls.push_back({m[1], m[2], line});
  }
  return calls;
}

TEST_F(SaveFaultsSync, EveryFileWrittenIsSyncedAndSoIsTheFolderOfANewOne) {
  std::string why;
  if (!HaveStrace(&why)) GTEST_SKIP() << why;
  // A first record and a first run in a folder holding only the practice
  // log: the speed log and the run history are new files.
  const std::string folder = dir.Path() + "/game";
  fs::create_directory(folder);
  Spill(folder + "/wenlotka.log", "01/09/08 01:46:40 Practice Time  0hour 0min30sec\n");
  Spill(dir.Path() + "/session", Session());
  ASSERT_EQ(
      Play(folder, "strace -f -qq -y -e trace=openat,write,fsync,close -o " + dir.Path() + "/trace",
           "--headless " + dir.Path() + "/session " + Clock)
          .status,
      0);
  const std::vector<TracedCall> calls = Calls(Slurp(dir.Path() + "/trace"));
  std::map<std::string, int> unsynced;  // file -> writes since its last sync
  std::vector<std::string> created, written;
  for (const TracedCall& c : calls) {
    if (c.call == "write" && c.file.rfind(folder + "/", 0) == 0) {
      ++unsynced[c.file];
      written.push_back(c.file);
    }
    if (c.call == "fsync") {
      unsynced.erase(c.file);
      if (c.file == folder) created.clear();
    }
    if (c.call == "close") EXPECT_EQ(unsynced[c.file], 0) << c.file << " closed unsynced";
    if (c.call == "openat" && c.line.find("\".\"") == std::string::npos) {
      // The folder holding a new file is synced before the game goes on.
      EXPECT_TRUE(created.empty()) << "the folder of a new file was not synced: " << created[0];
      created.clear();
      if (c.line.find("O_CREAT|O_EXCL") != std::string::npos &&
          c.line.find("= -1") == std::string::npos) {
        created.push_back(c.line);
      }
    }
  }
  EXPECT_TRUE(created.empty()) << "a new file whose folder was never synced: " << created.at(0);
  for (const char* file :
       {"wenlotka.log", "wenlotka.spd", "wenlotka.runs", "wenlotka.rec.tmp", "wenlotka.keys.tmp"}) {
    EXPECT_TRUE(
        std::any_of(written.begin(), written.end(),
                    [&](const std::string& w) { return w.find(file) != std::string::npos; }))
        << file << " was not written at all";
  }
}

TEST_F(SaveFaultsSync, ASecondGameWaitsWhileTheFirstIsSavingAndBothAreKept) {
  std::string why;
  if (!HaveStrace(&why)) GTEST_SKIP() << why;
  // First: a 30 s Standard Home Row; second: a 30 s Beginner's Home Row.
  Spill(dir.Path() + "/first", Session());
  std::string second = Session();
  second.replace(second.find("type 2"), 6, "type 1");
  Spill(dir.Path() + "/second", second);
  auto folderWithALog = [&](const std::string& name) {
    const std::string folder = dir.Path() + "/" + name;
    fs::create_directory(folder);
    Spill(folder + "/wenlotka.log", "");
    return folder;
  };
  // The first game is to stop at its first sync inside the save, holding the
  // folder's lock: the sync of its new record file.
  const std::string dry = folderWithALog("dry");
  ASSERT_EQ(Play(dry, "strace -f -qq -y -e trace=openat,fsync -o " + dir.Path() + "/trace",
                 "--headless " + dir.Path() + "/first " + Clock)
                .status,
            0);
  int syncs = 0, stopAt = 0;
  bool saving = false;
  for (const TracedCall& c : Calls(Slurp(dir.Path() + "/trace"))) {
    saving = saving || c.line.find("wenlotka.rec.tmp") != std::string::npos;
    if (c.call == "fsync" && ++syncs > 0 && saving && stopAt == 0) stopAt = syncs;
  }
  ASSERT_GT(stopAt, 0);

  const std::string folder = folderWithALog("game");
  const std::string stops = "strace -f -qq -o " + dir.Path() + "/stopped -e trace=fsync " +
                            "-e inject=fsync:signal=SIGSTOP:when=" + std::to_string(stopAt);
  Outcome first, later;
  std::thread a([&] {
    first = Play(folder, stops, "--headless " + dir.Path() + "/first " + Clock, "", "a");
  });
  auto waitFor = [](const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + 15s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(20ms);
    }
    return true;
  };
  pid_t pid = 0;
  const bool stopped = waitFor([&] {
    const std::string trace = Slurp(dir.Path() + "/stopped");
    if (trace.find("stopped by SIGSTOP") == std::string::npos) return false;
    pid = std::stoi(trace);
    return true;
  });
  std::thread b(
      [&] { later = Play(folder, "", "--headless " + dir.Path() + "/second " + Clock, "", "b"); });
  // Were the lock let go before the files are in place, the second game
  // would save now and the first would then write over it.
  const bool waited =
      stopped && waitFor([&] {
        return Slurp(folder + "b.io.err").find("wenlotka: waiting for another game to save\n") !=
               std::string::npos;
      });
  if (pid > 0) kill(pid, SIGCONT);
  a.join();
  b.join();
  ASSERT_TRUE(stopped) << "the first game never reached its save";
  EXPECT_TRUE(waited) << "the second game did not wait for the first";
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(later.status, 0) << later.err;
  std::vector<std::string> rec;
  std::istringstream in(Slurp(folder + "/wenlotka.rec"));
  for (std::string line; std::getline(in, line);) rec.push_back(line);
  ASSERT_EQ(rec.size(), 22u);
  EXPECT_EQ(rec[0], "Total_Practice_Time    0hour 1mi 0se");
  EXPECT_EQ(rec[2], Pad("Home_Row") + "     29 01/09/09     0hour 0mi29se") << "the second's";
  EXPECT_EQ(rec[9], Pad("Home_Row") + "     29 01/09/09     0hour 0mi29se") << "the first's";
}

INSTANTIATE_TEST_SUITE_P(
    From, SaveFaults,
    testing::Values(StartingFolder{"GoodFiles", RecordFile(), Keys},
                    StartingFolder{"ADamagedRecordFile", RecordFile("Beginner's Lower_Row"), Keys},
                    StartingFolder{"DamagedStatistics", RecordFile(),
                                   std::string(Keys) + "2 K 14 1 13 1 1\n"}),
    [](const testing::TestParamInfo<StartingFolder>& info) { return info.param.name; });

}  // namespace
