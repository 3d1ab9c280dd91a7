// Where the game's files go: the working directory of a script, --data-dir,
// and the XDG data folder of every game in a window and of the report.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "install/install_support.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

// A short session that writes all three files: a first record sets the speed log.
constexpr char RecordRun[] =
    "key space\ntype 1\ntype 1\nhit\nwait 5000\nhit 59\nscreenshot in-script.png\nquit\n";

bool HasGameFiles(const std::string& folder) {
  return fs::exists(folder + "/wenlotka.rec") && fs::exists(folder + "/wenlotka.log") &&
         fs::exists(folder + "/wenlotka.spd");
}

bool HasAnyGameFile(const std::string& folder) {
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.path().filename().string().rfind("wenlotka", 0) == 0) return true;
  }
  return false;
}

// The command of the installed menu entry, with the program's name as given.
std::string DesktopEntryCommand() {
  std::ifstream in(std::string(WENLOTKA_SOURCE_DIR) + "/resources/org.example.wenlotka.desktop");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Exec=", 0) == 0) return line.substr(5);
  }
  return "";
}

}  // namespace

TEST(DataFolder, AMissingFolderIsMadeWithItsParentsAndTakesEveryFile) {
  ScratchDir dir;
  WriteBytes("play.txt", RecordRun);
  Outcome r = RunProgram(
      "--data-dir saved/a/b --headless play.txt --clock 1000000000 --screenshot end.png");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(HasGameFiles(dir.Path() + "/saved/a/b"));
  EXPECT_FALSE(HasAnyGameFile(dir.Path()));
  // Pictures asked for on the command line or in the script land where the
  // user typed their names, not among the records.
  EXPECT_TRUE(dir.Exists("end.png"));
  EXPECT_TRUE(dir.Exists("in-script.png"));
  EXPECT_FALSE(dir.Exists("saved/a/b/end.png"));
  // The statistics follow too, and the report reads them from there.
  EXPECT_TRUE(dir.Exists("saved/a/b/wenlotka.keys"));
  EXPECT_TRUE(dir.Exists("saved/a/b/wenlotka.runs"));
  Outcome report = RunProgram("--data-dir saved/a/b --report progress.png");
  EXPECT_EQ(report.status, 0) << report.err;
  EXPECT_NE(report.out.find("Beginner's Home Row: 1 run, best 5 sec"), std::string::npos)
      << report.out;
  EXPECT_TRUE(dir.Exists("progress.png"));
  // A script from standard input, "-", is no file name to look for there.
  r = RunProgram("--headless - --data-dir saved/c --clock 1000000000", "", "play.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(HasGameFiles(dir.Path() + "/saved/c"));

  // A script without the option keeps everything in the working directory.
  ScratchDir plain;
  WriteBytes("play.txt", RecordRun);
  ASSERT_EQ(RunProgram("--headless play.txt --clock 1000000000").status, 0);
  EXPECT_TRUE(HasGameFiles(plain.Path()));
}

TEST(DataFolder, ARegularFileOrAFileOnThePathIsRefusedAndLeftAlone) {
  ScratchDir dir;
  WriteBytes("play.txt", RecordRun);
  WriteBytes("notes", "keep me\n");
  const struct {
    const char* folder;
    const char* error;
  } cases[] = {
      {"notes", "wenlotka: data folder 'notes' exists and is not a folder\n"},
      {"notes/deeper",
       "wenlotka: data folder 'notes/deeper': 'notes' exists and is not a folder\n"},
  };
  for (const auto& c : cases) {
    Outcome r = RunProgram(std::string("--data-dir ") + c.folder + " --headless play.txt");
    EXPECT_EQ(r.status, 1) << c.folder;
    EXPECT_EQ(r.err, c.error);
    EXPECT_EQ(ReadBytes("notes"), "keep me\n");
    EXPECT_FALSE(HasAnyGameFile(dir.Path())) << c.folder;
  }
}

TEST(DataFolder, AFolderTheUserMayNotWriteIsRefusedBeforeAnythingRuns) {
  ScratchDir dir;
  // Root may write anywhere: run the program as nobody where we are root.
  std::string asUser;
  if (geteuid() == 0) {
    asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    if (RunProgram("--version", asUser).status != 0) {
      GTEST_SKIP() << "cannot run the program as user 65534 (setpriv, or the binary's folder)";
    }
    chmod(dir.Path().c_str(), 0755);
  }
  WriteBytes("play.txt", RecordRun);
  ASSERT_EQ(mkdir("locked", 0555), 0);
  chmod("locked", 0555);
  const struct {
    const char* folder;
    const char* says;
  } cases[] = {
      {"locked", "wenlotka: data folder 'locked' is not writable: Permission denied\n"},
      {"locked/new",
       "wenlotka: data folder 'locked/new': cannot create 'locked/new': Permission denied\n"},
  };
  for (const auto& c : cases) {
    Outcome r = RunProgram(std::string("--data-dir ") + c.folder + " --headless play.txt", asUser);
    EXPECT_EQ(r.status, 1) << c.folder;
    EXPECT_EQ(r.err, c.says);
    EXPECT_FALSE(HasAnyGameFile(dir.Path() + "/locked"));
    EXPECT_FALSE(HasAnyGameFile(dir.Path()));
  }
  chmod("locked", 0755);
}

TEST(DataFolder, TheXdgDataFolderHoldsTheGamesOfTheMenuEntryAndTheReportReadsThem) {
  ScratchDir dir;
  // The menu entry starts a game in a window, which keeps its files in the
  // data folder as one started from a terminal does.
  EXPECT_EQ(DesktopEntryCommand(), "wenlotka");
  WriteBytes("play.txt", RecordRun);
  const std::string home = dir.Path() + "/home", xdg = dir.Path() + "/xdg";
  const struct {
    std::string environment;
    std::string folder;
  } cases[] = {
      {"env HOME=" + home + " XDG_DATA_HOME=" + xdg, xdg + "/wenlotka"},
      {"env -u XDG_DATA_HOME HOME=" + home, home + "/.local/share/wenlotka"},
      {"env HOME=" + home + " XDG_DATA_HOME=", home + "/.local/share/wenlotka"},
      // A relative value is to be ignored, as the XDG rules say.
      {"env HOME=" + home + " XDG_DATA_HOME=relative", home + "/.local/share/wenlotka"},
  };
  for (const auto& c : cases) {
    fs::remove_all(home);
    fs::remove_all(xdg);
    ASSERT_TRUE(fs::create_directory(home));
    // A script played in that folder, as a game in a window would play.
    Outcome r = RunProgram("--xdg-data --headless play.txt --clock 1000000000", c.environment);
    EXPECT_EQ(r.status, 0) << c.environment << ": " << r.err;
    EXPECT_TRUE(HasGameFiles(c.folder)) << c.environment;
    EXPECT_FALSE(HasAnyGameFile(dir.Path())) << c.environment;
    EXPECT_FALSE(fs::exists(dir.Path() + "/relative"));
    Outcome report = RunProgram("--report", c.environment);
    EXPECT_EQ(report.status, 0) << c.environment << ": " << report.err;
    EXPECT_NE(report.out.find("Beginner's Home Row: 1 run, best 5 sec"), std::string::npos)
        << c.environment << ": " << report.out;
  }
}

TEST(Options, BadOrClashingOptionsGiveUsageAndStatusTwoAndTouchNothing) {
  ScratchDir dir;
  for (const char* args : {"--data-dir", "--data-dir ''", "--lang", "--lang fr", "--lang JA",
                           "--data-dir made --xdg-data --headless -"}) {
    Outcome r = RunProgram(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("usage: wenlotka"), std::string::npos) << args;
  }
  EXPECT_FALSE(dir.Exists("made"));
}

TEST(Options, HelpStatesTheDefaultsTheProgramUses) {
  Outcome r = RunProgram("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* says :
       {"--size WxH", "(default: 1282x802 for the", "window, 642x402 headless)", "--lang en|ja",
        "(default: en)", "--data-dir .\n                      for the working directory",
        "(default: the data folder\n                      $XDG_DATA_HOME/wenlotka, or "
        "~/.local/share/wenlotka when that\n                      is unset, for a game in a "
        "window and --report, however\n                      started; the working directory "
        "for --headless)"}) {
    EXPECT_NE(r.out.find(says), std::string::npos) << says;
  }
  EXPECT_EQ(r.out.find("default 642x402)"), std::string::npos);
}
