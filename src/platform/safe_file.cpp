// Safe handling of the game's files on POSIX systems. Every open is
// non-blocking and checked with fstat, so a FIFO, a device or a directory in
// place of a file is refused instead of hanging the game or being replaced.
#include "platform/safe_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

namespace {

FileFault injectedFault = FileFault::None;

// True when a test asked this step to fail; errno then says why.
bool Injected(FileFault step) {
  if (injectedFault != step) return false;
  errno = step == FileFault::Write ? ENOSPC : EIO;
  return true;
}

std::string Describe(const std::string& path, const char* what) {
  return path + ": " + what;
}

std::string DescribeErrno(const std::string& path, const char* what, int error) {
  return path + ": " + what + " (" + std::strerror(error) + ")";
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "not a regular file but a folder";
  if (S_ISFIFO(mode)) return "not a regular file but a FIFO";
  if (S_ISCHR(mode)) return "not a regular file but a character device";
  if (S_ISBLK(mode)) return "not a regular file but a block device";
  if (S_ISSOCK(mode)) return "not a regular file but a socket";
  return "not a regular file";
}

std::string FolderOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a chain of symbolic links ends at, also when that file does not
// exist yet, so that a linked file is replaced where it lives and the link
// keeps pointing at it.
std::string FinalTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char target[4096];
    ssize_t n = readlink(current.c_str(), target, sizeof target - 1);
    if (n <= 0) return current;
    target[n] = '\0';
    if (target[0] == '/') {
      current = target;
    } else {
      current = FolderOf(current) + "/" + target;
    }
  }
  return current;  // a loop: the open below fails with ELOOP
}

// Opens without blocking or taking a terminal; retries an interrupted call.
int OpenNoBlock(const char* path, int flags, mode_t mode = 0) {
  for (;;) {
    int fd = open(path, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
    if (fd >= 0 || errno != EINTR) return fd;
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (Injected(FileFault::Write)) return false;
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool SyncFd(int fd) {
  if (Injected(FileFault::Sync)) return false;
  return fsync(fd) == 0;
}

// A close that reports a deferred write error (network file systems, quotas)
// must count as a failed save even after a good sync.
bool CloseFd(int fd) {
  if (Injected(FileFault::Close)) {
    close(fd);
    errno = EIO;
    return false;
  }
  return close(fd) == 0 || errno == EINTR;
}

// Makes a rename itself survive a crash; a failure here loses nothing that
// the rename has not already put in place.
void SyncFolder(const std::string& path) {
  int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// The user may write the file: access() for the effective user, and at least
// one write bit, so that a file made read-only is left alone even by root.
bool UserMayWrite(const std::string& path, const struct stat& st) {
  if ((st.st_mode & 0222) == 0) return false;
  return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Writes `bytes` over the file itself: the fallback for a folder where no
// temporary file can be created. The file is opened without truncation and
// checked before anything is cut, so a file swapped for a FIFO is not touched.
FileResult RewriteInPlace(const std::string& shown, const std::string& target,
                          const std::string& bytes) {
  int fd = OpenNoBlock(target.c_str(), O_WRONLY | O_CREAT, 0666);
  if (fd < 0) return {FileStatus::Failed, DescribeErrno(shown, "cannot be written", errno)};
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return {FileStatus::Failed, Describe(shown, "not a regular file; left alone")};
  }
  bool ok = ftruncate(fd, 0) == 0 && WriteAll(fd, bytes) && SyncFd(fd);
  int error = ok ? 0 : errno;
  if (!CloseFd(fd) && ok) {
    ok = false;
    error = errno;
  }
  if (!ok)
    return {FileStatus::Failed, DescribeErrno(shown, "could not be rewritten in place", error)};
  return {};
}

}  // namespace

FileResult ReadRegularFile(const char* path, std::size_t maxBytes, std::string* bytes) {
  bytes->clear();
  // stat first, so that a device is never even opened (opening some has
  // effects of its own); fstat after the open catches a file swapped between.
  struct stat st;
  if (stat(path, &st) != 0) {
    if (errno == ENOENT) return {FileStatus::Missing, Describe(path, "no such file")};
    return {FileStatus::Unreadable, DescribeErrno(path, "cannot be read", errno)};
  }
  if (!S_ISREG(st.st_mode)) return {FileStatus::NotRegular, Describe(path, KindOf(st.st_mode))};
  int fd = OpenNoBlock(path, O_RDONLY);
  if (fd < 0) {
    if (errno == ENOENT) return {FileStatus::Missing, Describe(path, "no such file")};
    return {FileStatus::Unreadable, DescribeErrno(path, "cannot be read", errno)};
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return {FileStatus::NotRegular, Describe(path, KindOf(st.st_mode))};
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    close(fd);
    return {FileStatus::TooLarge,
            Describe(path, ("larger than " + std::to_string(maxBytes) + " bytes").c_str())};
  }
  // The size can change while reading; never take more than the limit + 1.
  // The buffer starts at the file's size, not the limit, so a generous limit
  // costs nothing for a small file.
  const std::size_t cap = maxBytes + 1;
  std::string data;
  data.resize(std::min(cap, static_cast<std::size_t>(st.st_size) + 1));
  std::size_t got = 0;
  for (;;) {
    if (got == data.size()) {
      if (data.size() == cap) break;
      data.resize(std::min(cap, data.size() * 2));
    }
    ssize_t n = read(fd, data.data() + got, data.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int error = errno;
      close(fd);
      return {FileStatus::Unreadable, DescribeErrno(path, "cannot be read", error)};
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  if (got > maxBytes) {
    return {FileStatus::TooLarge,
            Describe(path, ("larger than " + std::to_string(maxBytes) + " bytes").c_str())};
  }
  data.resize(got);
  *bytes = std::move(data);
  return {};
}

FolderLock::FolderLock(const char* pathInFolder, int timeoutMs) {
  const std::string folder = FolderOf(pathInFolder);
  // The folder itself carries the lock, so nothing is left in it. Where a
  // file system cannot lock a folder, a lock file beside the records does.
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0 && flock(fd, LOCK_SH | LOCK_NB) != 0 && errno != EWOULDBLOCK) {
    close(fd);
    fd = -1;
  } else if (fd >= 0) {
    flock(fd, LOCK_UN);
  }
  if (fd < 0) fd = OpenNoBlock((folder + "/.wenlotka.lock").c_str(), O_RDWR | O_CREAT, 0666);
  if (fd < 0) {
    message_ = DescribeErrno(folder, "cannot be locked", errno);
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      message_ = DescribeErrno(folder, "cannot be locked", errno);
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      message_ = Describe(folder, "is locked by another game that did not finish saving");
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  close(fd);
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
}

FileResult BackUpFile(const char* path, std::int64_t calendarSeconds, std::string* backupName) {
  backupName->clear();
  const std::string target = FinalTarget(path);
  struct stat st;
  if (lstat(target.c_str(), &st) != 0) {
    if (errno == ENOENT) return {};
    return {FileStatus::Failed, DescribeErrno(path, "cannot be kept", errno)};
  }
  if (!S_ISREG(st.st_mode)) {
    return {FileStatus::NotRegular, Describe(path, KindOf(st.st_mode))};
  }
  std::time_t t = static_cast<std::time_t>(calendarSeconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) {
    return {FileStatus::Failed, Describe(path, "cannot be kept (no local time)")};
  }
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = target + ".bak-" + stamp;
  if (Injected(FileFault::Backup)) {
    return {FileStatus::Failed, DescribeErrno(path, "could not be kept", errno)};
  }
  for (int n = 1; n < 1000; ++n) {
    std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    // Never rename over an earlier backup.
    if (renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
      SyncFolder(target);
      *backupName = name;
      return {};
    }
    if (errno == EEXIST) continue;
    if (errno == EINVAL || errno == ENOSYS) {
      // A file system without the no-replace rename: check, then rename
      // (the save holds the folder lock, so no other game races this).
      struct stat taken;
      if (lstat(name.c_str(), &taken) == 0) continue;
      if (std::rename(target.c_str(), name.c_str()) == 0) {
        SyncFolder(target);
        *backupName = name;
        return {};
      }
    }
    return {FileStatus::Failed, DescribeErrno(path, "could not be kept", errno)};
  }
  return {FileStatus::Failed, Describe(path, "could not be kept (too many backups)")};
}

FileResult ReplaceFile(const char* path, const std::string& bytes) {
  const std::string target = FinalTarget(path);
  struct stat old;
  const bool existed = lstat(target.c_str(), &old) == 0;
  if (!existed && errno != ENOENT) {
    return {FileStatus::Failed, DescribeErrno(path, "cannot be written", errno)};
  }
  if (existed && !S_ISREG(old.st_mode)) {
    return {FileStatus::NotRegular,
            Describe(path, (std::string(KindOf(old.st_mode)) + "; left alone").c_str())};
  }
  if (existed && !UserMayWrite(target, old)) {
    return {FileStatus::Failed, Describe(path, "read-only, left alone")};
  }

  const std::string temp = target + ".tmp";
  int fd = -1;
  if (!Injected(FileFault::CreateTemp)) {
    fd = OpenNoBlock(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    if (fd < 0 && errno == EEXIST && unlink(temp.c_str()) == 0) {
      fd = OpenNoBlock(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    }
  }
  if (fd < 0) {
    // No temporary file here (a folder the user may not write, say). Rewriting
    // the file in place is less safe but keeps the session, as long as the file
    // itself may be written.
    if (existed) return RewriteInPlace(path, target, bytes);
    return {FileStatus::Failed, DescribeErrno(path, "cannot be created", errno)};
  }
  if (existed) {
    fchmod(fd, old.st_mode & 07777);
    if (geteuid() == 0) (void)!fchown(fd, old.st_uid, old.st_gid);
  }
  bool ok = WriteAll(fd, bytes) && SyncFd(fd);
  int error = ok ? 0 : errno;
  if (!CloseFd(fd) && ok) {
    ok = false;
    error = errno;
  }
  if (ok) {
    if (!Injected(FileFault::Rename) && std::rename(temp.c_str(), target.c_str()) == 0) {
      SyncFolder(target);
      return {};
    }
    error = errno;
  }
  unlink(temp.c_str());
  return {FileStatus::Failed, DescribeErrno(path, "could not be saved", error)};
}

FileResult AppendToFile(const char* path, const std::string& bytes) {
  struct stat st;
  if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
    return {FileStatus::NotRegular, Describe(path, KindOf(st.st_mode))};
  }
  int fd = OpenNoBlock(path, O_WRONLY | O_APPEND | O_CREAT, 0666);
  if (fd < 0) return {FileStatus::Failed, DescribeErrno(path, "cannot be appended to", errno)};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return {FileStatus::NotRegular, Describe(path, KindOf(st.st_mode))};
  }
  bool ok = WriteAll(fd, bytes);
  int error = ok ? 0 : errno;
  if (!CloseFd(fd) && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) return {FileStatus::Failed, DescribeErrno(path, "could not be appended to", error)};
  return {};
}

void RemoveStaleTemporary(const char* path) {
  // A game saving in this folder right now owns its temporary file; only a
  // file nobody is writing under the lock is stale.
  FolderLock lock(path, 0);
  if (!lock.Held()) return;
  const std::string temp = FinalTarget(path) + ".tmp";
  struct stat st;
  if (lstat(temp.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(temp.c_str());
}

void InjectFileFaultForTesting(FileFault fault) {
  injectedFault = fault;
}
