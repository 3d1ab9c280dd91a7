// How a game in a real window ends when the user does not choose Exit: the
// terminal or session going away (SIGHUP), the X server dying, and no display
// at all. Each must save the records once, or say plainly why it cannot run.
#include <gtest/gtest.h>
#include <poll.h>

#include <fstream>
#include <sstream>

#include "support/test_support.h"
#include "window/real_window.h"

namespace {

using namespace realwindow;

int Lines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

// The practice time of Beginner's Home Row in the record file, "" if absent.
std::string HomeRowPracticeTime(const std::string& rec) {
  std::istringstream in(rec);
  std::string line;
  for (int i = 0; i < 3 && std::getline(in, line);) ++i;
  return line.substr(0, 8) == "Home_Row" && line.size() > 51 ? line.substr(51) : "";
}

class Ending : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x.Up()) GTEST_SKIP() << "real-window tests skipped: " << x.Why();
  }
  // Starts a Beginner's Home Row run whose clock has run a second.
  void StartARun(WindowGame& game) {
    ASSERT_FALSE(game.window.empty()) << "no window named WENLOTKA appeared";
    game.Keys("space");
    game.Type("11");
    game.Type("asdfghjklasdfghjkl");
    std::this_thread::sleep_for(1200ms);
  }
  ScratchDir dir;
  XServer x;
};

TEST_F(Ending, SighupRunsTheExitSequenceOnce) {
  WindowGame game(x, "642x402");
  StartARun(game);
  kill(game.pid, SIGHUP);
  EXPECT_EQ(WaitFor(game.pid, 2000ms), 0) << dir.ReadFile("wenlotka.stderr");
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.log")), 1);
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")), 22);
  EXPECT_NE(HomeRowPracticeTime(dir.ReadFile("wenlotka.rec")), "    0hour 0mi 0se")
      << "the open run was settled";
}

TEST_F(Ending, SighupWhileTheSaveReportIsShownEndsTheProgram) {
  mkdir("wenlotka.log", 0755);  // the practice log cannot be appended to
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  game.Type("5");
  std::this_thread::sleep_for(500ms);
  ASSERT_EQ(WaitFor(game.pid, 100ms), -1) << "the report was not shown";
  kill(game.pid, SIGHUP);  // nobody is left to read it
  // However the report ends, the save failed: the status says so.
  EXPECT_EQ(WaitFor(game.pid, 2000ms), 4) << dir.ReadFile("wenlotka.stderr");
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")), 22);
}

TEST_F(Ending, AKilledXServerStillSavesTheRecords) {
  WindowGame game(x, "642x402");
  StartARun(game);
  x.KillServer();
  EXPECT_EQ(WaitFor(game.pid, 3000ms), 1) << "a lost display is a failure a caller can see";
  std::string err = dir.ReadFile("wenlotka.stderr");
  EXPECT_NE(err.find("wenlotka: the display went away (X connection broken)"), std::string::npos)
      << err;
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.log")), 1);
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")), 22);
  EXPECT_NE(HomeRowPracticeTime(dir.ReadFile("wenlotka.rec")), "    0hour 0mi 0se");
}

TEST_F(Ending, AfterALostXServerTheSaveReportGoesToStandardError) {
  mkdir("wenlotka.log", 0755);  // the practice log cannot be appended to
  WindowGame game(x, "642x402");
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  x.KillServer();
  EXPECT_EQ(WaitFor(game.pid, 3000ms), 4) << "a failed save is not reported as success";
  std::string err = dir.ReadFile("wenlotka.stderr");
  EXPECT_NE(err.find("wenlotka.log"), std::string::npos) << "the report names the file:\n" << err;
  EXPECT_EQ(Lines(dir.ReadFile("wenlotka.rec")), 22) << "the other files are still saved";
}

// Runs the window without any display; returns the exit status (-1: still
// running after a second) and what it printed.
int RunWithoutDisplay(const std::vector<std::string>& env, std::string* err) {
  pid_t pid = fork();
  if (pid == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    if (freopen("nodisplay.stderr", "w", stderr) == nullptr) _exit(126);
    execl(WENLOTKA_BINARY, WENLOTKA_BINARY, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = WaitFor(pid, 1000ms);
  if (status == -1) {
    kill(pid, SIGKILL);
    WaitFor(pid, 2000ms);
  }
  std::ifstream in("nodisplay.stderr");
  std::stringstream all;
  all << in.rdbuf();
  *err = all.str();
  return status;
}

TEST(NoDisplay, ThePlayerIsToldAndTheProgramEndsWithinASecond) {
  ScratchDir dir;
  struct Case {
    std::vector<std::string> env;
    const char* named;
  };
  // The drivers that would run the game where nobody can see it are refused
  // even when asked for.
  for (const Case& c :
       {Case{{}, "no driver named"}, Case{{"SDL_VIDEODRIVER=offscreen"}, "offscreen"},
        Case{{"SDL_VIDEODRIVER=dummy"}, "dummy"},
        Case{{"DISPLAY=:1999"}, "an X server that is not there"}}) {
    std::string err;
    std::vector<std::string> env = c.env;
    env.push_back("XDG_DATA_HOME=" + dir.Path() + "/xdg");
    EXPECT_EQ(RunWithoutDisplay(env, &err), 1) << c.named;
    EXPECT_EQ(err.rfind("wenlotka: no display: ", 0), 0u) << c.named << ": " << err;
    EXPECT_NE(err.find(" (use --headless SCRIPT)\n"), std::string::npos) << c.named << ": " << err;
    EXPECT_EQ(Lines(err), 1) << c.named << ": " << err;
  }
  EXPECT_EQ(dir.ReadFile("wenlotka.rec"), "") << "nothing was played, nothing saved";
  EXPECT_FALSE(dir.Exists("xdg")) << "the data folder was made although nothing could be played";
}

}  // namespace
