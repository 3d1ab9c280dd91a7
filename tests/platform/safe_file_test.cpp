// The safe file operations against the faults a user's folder can hold:
// FIFOs, devices, folders, links, permissions, a full disk, a failing close.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/safe_file.h"
#include "support/test_support.h"

namespace {

constexpr std::int64_t March1st2008 = 1204374896;  // 2008-03-01 12:34:56 UTC

bool Complete(const std::string& bytes) {
  return bytes == "complete\n";
}

struct FaultGuard {
  ~FaultGuard() { InjectFileFaultForTesting(FileFault::None); }
};

// Temporary files of saves of `name` left in the working directory.
bool TemporaryLeft(const std::string& name) {
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (entry.path().filename().string().rfind(name + ".tmp", 0) == 0) return true;
  }
  return false;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// Runs `check` as an unprivileged user: in a child process that drops to
// nobody when the tests run as root. Returns false with `why` set when that
// is impossible.
bool AsUnprivileged(const std::function<bool()>& check, bool* passed, std::string* why) {
  if (geteuid() != 0) {
    *passed = check();
    return true;
  }
  pid_t child = fork();
  if (child < 0) {
    *why = "fork failed";
    return false;
  }
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
        setresuid(65534, 65534, 65534) != 0) {
      _exit(3);
    }
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 3) {
    *why = "cannot switch to user 65534";
    return false;
  }
  *passed = WEXITSTATUS(status) == 0;
  return true;
}

class SafeFileTest : public ::testing::Test {
 protected:
  void SetUp() override { chmod(dir.Path().c_str(), 0777); }  // reachable by nobody
  ScratchDir dir;
  FaultGuard faults;
};

TEST_F(SafeFileTest, ReadsRegularFilesAndLinksToThemBounded) {
  dir.WriteFile("a.rec", "hello\n");
  ASSERT_EQ(symlink("a.rec", "link.rec"), 0);
  std::string bytes;
  EXPECT_TRUE(ReadRegularFile("a.rec", 64, &bytes).Ok());
  EXPECT_EQ(bytes, "hello\n");
  EXPECT_TRUE(ReadRegularFile("link.rec", 64, &bytes).Ok());
  EXPECT_EQ(bytes, "hello\n");

  FileResult r = ReadRegularFile("missing.rec", 64, &bytes);
  EXPECT_EQ(r.status, FileStatus::Missing);

  dir.WriteFile("big.rec", std::string(65537, 'x'));
  r = ReadRegularFile("big.rec", 65536, &bytes);
  EXPECT_EQ(r.status, FileStatus::TooLarge);
  EXPECT_NE(r.message.find("big.rec"), std::string::npos) << r.message;
  EXPECT_TRUE(bytes.empty());
  dir.WriteFile("exact.rec", std::string(65536, 'x'));
  EXPECT_TRUE(ReadRegularFile("exact.rec", 65536, &bytes).Ok());
  EXPECT_EQ(bytes.size(), 65536u);
}

TEST_F(SafeFileTest, SpecialFilesAreRefusedAtOnceWhenRead) {
  ASSERT_EQ(mkfifo("fifo.rec", 0666), 0);
  ASSERT_EQ(symlink("/dev/zero", "zero.rec"), 0);
  ASSERT_EQ(mkdir("folder.rec", 0777), 0);
  for (const char* name : {"fifo.rec", "zero.rec", "folder.rec"}) {
    SCOPED_TRACE(name);
    auto start = std::chrono::steady_clock::now();
    std::string bytes;
    FileResult r = ReadRegularFile(name, 65536, &bytes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(r.status, FileStatus::NotRegular);
    EXPECT_EQ(r.message.rfind(name, 0), 0u) << "the message names the file: " << r.message;
    EXPECT_TRUE(bytes.empty());
  }
}

TEST_F(SafeFileTest, ReplaceWritesSyncedFileKeepsModeAndFollowsLinks) {
  dir.WriteFile("a.rec", "old");
  chmod("a.rec", 0640);
  ASSERT_TRUE(ReplaceFile("a.rec", "new bytes\n").Ok());
  EXPECT_EQ(dir.ReadFile("a.rec"), "new bytes\n");
  EXPECT_EQ(ModeOf("a.rec") & 07777, 0640u);
  EXPECT_FALSE(dir.Exists("a.rec.tmp"));

  ASSERT_EQ(mkdir("real", 0777), 0);
  dir.WriteFile("real/b.rec", "old");
  ASSERT_EQ(symlink("real/b.rec", "b.rec"), 0);
  ASSERT_TRUE(ReplaceFile("b.rec", "through the link").Ok());
  EXPECT_TRUE(S_ISLNK(ModeOf("b.rec"))) << "the link is kept";
  EXPECT_EQ(dir.ReadFile("real/b.rec"), "through the link");

  ASSERT_TRUE(ReplaceFile("fresh.rec", "first").Ok());
  EXPECT_EQ(dir.ReadFile("fresh.rec"), "first");
}

TEST_F(SafeFileTest, SpecialFilesAreNeverReplacedNorAppendedTo) {
  ASSERT_EQ(mkfifo("fifo.rec", 0666), 0);
  ASSERT_EQ(mkdir("folder.rec", 0777), 0);
  std::vector<std::string> names = {"fifo.rec", "folder.rec"};
  // A device of our own, so a fault here could never harm a real one.
  if (mknod("null.rec", S_IFCHR | 0666, makedev(1, 3)) == 0) {
    ASSERT_EQ(symlink("null.rec", "dev-link.rec"), 0);
    names.push_back("null.rec");
    names.push_back("dev-link.rec");
  } else {
    std::printf("note: cannot make a device node here; devices checked through reading only\n");
  }
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const mode_t before = ModeOf(name);
    auto start = std::chrono::steady_clock::now();
    FileResult r = ReplaceFile(name.c_str(), "text");
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.message.rfind(name, 0), 0u) << r.message;
    r = AppendToFile(name.c_str(), "line\n");
    EXPECT_FALSE(r.Ok());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(ModeOf(name), before) << "still the same kind of file";
    EXPECT_FALSE(dir.Exists(name + ".tmp"));
  }
  // A FIFO someone reads from must not get the line either.
  int reader = open("fifo.rec", O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(AppendToFile("fifo.rec", "line\n").status, FileStatus::NotRegular);
  char c;
  EXPECT_LE(read(reader, &c, 1), 0) << "nothing was written into the FIFO";
  close(reader);
}

TEST_F(SafeFileTest, ReadOnlyFileIsLeftAloneEvenForRoot) {
  dir.WriteFile("ro.rec", "mine");
  chmod("ro.rec", 0444);
  FileResult r = ReplaceFile("ro.rec", "other");
  EXPECT_EQ(r.status, FileStatus::Failed);
  EXPECT_NE(r.message.find("ro.rec"), std::string::npos);
  EXPECT_EQ(dir.ReadFile("ro.rec"), "mine");
  EXPECT_EQ(ModeOf("ro.rec") & 07777, 0444u);
}

TEST_F(SafeFileTest, PermissionsOfAnUnprivilegedUser) {
  dir.WriteFile("secret.rec", "kept");
  chmod("secret.rec", 0000);
  dir.WriteFile("others.rec", "theirs");
  chmod("others.rec", 0644);  // owned by the test's user, not by nobody
  ASSERT_EQ(mkdir("ro-folder", 0777), 0);
  dir.WriteFile("ro-folder/open.rec", "old contents, longer than the new");
  chmod("ro-folder/open.rec", 0666);
  chmod("ro-folder", 0555);
  // A shared folder (sticky, like /tmp) with a writable file of another user.
  ASSERT_EQ(mkdir("shared", 0777), 0);
  chmod("shared", 01777);
  dir.WriteFile("shared/theirs.rec", "theirs");
  chmod("shared/theirs.rec", 0666);
  bool passed = false;
  std::string why;
  bool ran = AsUnprivileged(
      [] {
        std::string bytes;
        bool ok = ReadRegularFile("secret.rec", 64, &bytes).status == FileStatus::Unreadable;
        ok = ok && ReplaceFile("others.rec", "x").status == FileStatus::Failed;
        // No new file can be made and renamed in its place: the file stays
        // whole, nothing is written into it, and the bytes go to a file of
        // the user's own instead.
        ok = ok && !SavingIsBlocked("ro-folder/open.rec").empty();
        ok = ok && ReplaceFile("ro-folder/open.rec", "new").status == FileStatus::Failed;
        ok = ok && !SavingIsBlocked("shared/theirs.rec").empty();
        ok = ok && ReplaceFile("shared/theirs.rec", "mine").status == FileStatus::Failed;
        std::string kept;
        ok = ok && KeepUnsaved("shared/theirs.rec", "mine", March1st2008, &kept).Ok() &&
             kept == "shared/theirs.rec.unsaved-20080301-123456";
        struct stat st;
        ok = ok && stat(kept.c_str(), &st) == 0 && st.st_uid == geteuid() &&
             (st.st_mode & 0777) == 0600;
        return ok;
      },
      &passed, &why);
  chmod("ro-folder", 0777);
  if (!ran) GTEST_SKIP() << why;
  EXPECT_TRUE(passed);
  EXPECT_EQ(dir.ReadFile("others.rec"), "theirs");
  EXPECT_EQ(dir.ReadFile("ro-folder/open.rec"), "old contents, longer than the new");
  EXPECT_EQ(dir.ReadFile("shared/theirs.rec"), "theirs");
  EXPECT_EQ(dir.ReadFile("shared/theirs.rec.unsaved-20080301-123456"), "mine");
}

TEST_F(SafeFileTest, EveryFailingStepLeavesTheOldFileWhole) {
  const struct {
    FileFault fault;
    const char* what;
  } cases[] = {
      {FileFault::Write, "disk full"},
      {FileFault::Sync, "sync fails"},
      {FileFault::Close, "close fails after a good sync"},
      {FileFault::Rename, "rename fails"},
      {FileFault::CreateTemp, "no new file can be made"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dir.WriteFile("a.rec", "old");
    InjectFileFaultForTesting(c.fault);
    FileResult r = ReplaceFile("a.rec", "new");
    InjectFileFaultForTesting(FileFault::None);
    EXPECT_EQ(r.status, FileStatus::Failed);
    EXPECT_NE(r.message.find("a.rec"), std::string::npos);
    EXPECT_EQ(dir.ReadFile("a.rec"), "old");
    EXPECT_FALSE(TemporaryLeft("a.rec"));
  }
  // The new file is in place, but the folder's sync failed: a power cut
  // could still lose it, so the save is not reported as done.
  InjectFileFaultForTesting(FileFault::SyncFolder);
  EXPECT_EQ(ReplaceFile("a.rec", "new").status, FileStatus::Failed);
  InjectFileFaultForTesting(FileFault::None);
  for (FileFault f : {FileFault::Write, FileFault::Close}) {
    InjectFileFaultForTesting(f);
    EXPECT_FALSE(AppendToFile("a.log", "line\n").Ok());
    InjectFileFaultForTesting(FileFault::None);
  }
}

TEST_F(SafeFileTest, BackupTakesTheLocalTimeNameAndNeverOverwrites) {
  const char* oldTz = std::getenv("TZ");
  std::string savedTz = oldTz != nullptr ? oldTz : "";
  const struct {
    const char* tz;
    const char* suffix;
  } zones[] = {{"UTC0", ".bak-20080301-123456"}, {"JST-9", ".bak-20080301-213456"}};
  for (const auto& z : zones) {
    SCOPED_TRACE(z.tz);
    setenv("TZ", z.tz, 1);
    tzset();
    dir.WriteFile("a.rec", "damaged\x01");
    std::string name;
    ASSERT_TRUE(KeepCopy("a.rec", March1st2008, &name).Ok());
    EXPECT_EQ(name, std::string("a.rec") + z.suffix);
    EXPECT_EQ(dir.ReadFile(name), "damaged\x01");
    EXPECT_EQ(dir.ReadFile("a.rec"), "damaged\x01") << "the file itself never moves";
    unlink("a.rec");
  }
  if (oldTz != nullptr) {
    setenv("TZ", savedTz.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();

  // A second backup in the same second gets a name of its own.
  dir.WriteFile("a.rec", "second");
  std::string name;
  setenv("TZ", "UTC0", 1);
  tzset();
  ASSERT_TRUE(KeepCopy("a.rec", March1st2008, &name).Ok());
  EXPECT_EQ(name, "a.rec.bak-20080301-123456-2");
  EXPECT_EQ(NewestBackup("a.rec"), "a.rec.bak-20080301-213456") << "the latest time wins";
  EXPECT_EQ(dir.ReadFile("a.rec.bak-20080301-123456"), "damaged\x01");

  EXPECT_TRUE(KeepCopy("missing.rec", March1st2008, &name).Ok());
  EXPECT_EQ(name, "");
  ASSERT_EQ(mkfifo("fifo.rec", 0666), 0);
  EXPECT_FALSE(KeepCopy("fifo.rec", March1st2008, &name).Ok());
  EXPECT_TRUE(S_ISFIFO(ModeOf("fifo.rec")));
}

TEST_F(SafeFileTest, FolderLockIsExclusiveAndWaitsBoundedly) {
  auto held = std::make_unique<FolderLock>("a.rec");
  ASSERT_TRUE(held->Held()) << held->Message();
  auto start = std::chrono::steady_clock::now();
  int told = 0;
  FolderLock second("b.rec", 1300, [&told] { ++told; });
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(second.Held());
  EXPECT_FALSE(second.Message().empty());
  EXPECT_EQ(told, 1) << "a wait of over a second is told once";
  EXPECT_GE(waited, std::chrono::milliseconds(1300));
  EXPECT_LT(waited, std::chrono::seconds(3));

  // A temporary file is not touched while another save holds the lock.
  dir.WriteFile("a.rec.tmp-1-1", "half");
  std::string restored;
  TidyInterruptedSaves("a.rec", 64, Complete, &restored);
  EXPECT_TRUE(dir.Exists("a.rec.tmp-1-1"));
  held.reset();
  FolderLock third("a.rec", 200);
  EXPECT_TRUE(third.Held());
}

TEST_F(SafeFileTest, StaleTemporaryIsRemovedButNothingElse) {
  dir.WriteFile("a.rec", "whole");
  dir.WriteFile("a.rec.tmp", "half");
  dir.WriteFile("a.rec.tmp-7-1", "complete\n");
  std::string restored;
  TidyInterruptedSaves("a.rec", 64, Complete, &restored);
  EXPECT_EQ(restored, "");
  EXPECT_FALSE(dir.Exists("a.rec.tmp"));
  EXPECT_FALSE(dir.Exists("a.rec.tmp-7-1"));
  EXPECT_EQ(dir.ReadFile("a.rec"), "whole");
  ASSERT_EQ(mkfifo("b.rec.tmp", 0666), 0);
  TidyInterruptedSaves("b.rec", 64, Complete, &restored);
  EXPECT_TRUE(dir.Exists("b.rec.tmp")) << "only a regular file is removed";
  // A save killed between its complete new file and the rename, where the
  // file itself is gone: the complete one is put in its place.
  dir.WriteFile("c.rec.tmp-7-1", "half");
  dir.WriteFile("c.rec.tmp-7-2", "complete\n");
  TidyInterruptedSaves("c.rec", 64, Complete, &restored);
  EXPECT_EQ(restored, "c.rec.tmp-7-2");
  EXPECT_EQ(dir.ReadFile("c.rec"), "complete\n");
  EXPECT_FALSE(TemporaryLeft("c.rec"));
}

TEST_F(SafeFileTest, AppendAddsLinesAndFollowsLinks) {
  ASSERT_TRUE(AppendToFile("a.log", "one\n").Ok());
  ASSERT_TRUE(AppendToFile("a.log", "two\n").Ok());
  ASSERT_EQ(symlink("a.log", "link.log"), 0);
  ASSERT_TRUE(AppendToFile("link.log", "three\n").Ok());
  EXPECT_EQ(dir.ReadFile("a.log"), "one\ntwo\nthree\n");
  // A line cut short (a full disk) or a tail of zero bytes (a crash) stays
  // a line of its own.
  dir.WriteFile("torn.log", std::string("01/09/09 01:4\0\0", 15));
  ASSERT_TRUE(AppendToFile("torn.log", "four\n").Ok());
  EXPECT_EQ(dir.ReadFile("torn.log"), std::string("01/09/09 01:4\0\0\nfour\n", 21));
}

}  // namespace
