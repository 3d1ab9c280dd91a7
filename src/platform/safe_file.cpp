// Safe handling of the game's files on POSIX systems. Every open is
// non-blocking and checked with fstat, so a FIFO, a device or a directory in
// place of a file is refused instead of hanging the game or being replaced.
#include "platform/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

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

std::string BaseName(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name in the folder of `path`, spelled the way `path` is: bare when the
// path is.
std::string Beside(const std::string& path, const std::string& name) {
  return path.find('/') == std::string::npos ? name : FolderOf(path) + "/" + name;
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

// A new file that no one else has opened: never follows a link, never
// takes over a name that exists.
int CreateNew(const std::string& path, mode_t mode) {
  return OpenNoBlock(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
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

// Makes a new name in the folder (a rename, a link, a created file) survive a
// power cut; false, with errno set, when the folder could not be synced.
bool SyncFolder(const std::string& path) {
  if (Injected(FileFault::SyncFolder)) return false;
  int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
  const int error = errno;
  close(fd);
  errno = error;
  return ok;
}

// Writes `bytes` to the new file `fd`, syncs and closes it; on failure the
// file is removed again and errno says why.
bool FillNewFile(int fd, const std::string& name, const std::string& bytes) {
  bool ok = WriteAll(fd, bytes) && SyncFd(fd);
  int error = ok ? 0 : errno;
  if (!CloseFd(fd) && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(name.c_str());
    errno = error;
  }
  return ok;
}

// The user may write the file: access() for the effective user, and at least
// one write bit, so that a file made read-only is left alone even by root.
bool UserMayWrite(const std::string& path, const struct stat& st) {
  if ((st.st_mode & 0222) == 0) return false;
  return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool MayMakeFilesIn(const std::string& folder) {
  return faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string LocalStamp(std::int64_t calendarSeconds) {
  std::time_t t = static_cast<std::time_t>(calendarSeconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return "";
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return stamp;
}

// The names in the folder of `target` that begin with its own name and
// `suffix`, regular files only.
std::vector<std::string> NamesBeside(const std::string& target, const std::string& suffix) {
  std::vector<std::string> names;
  const std::string prefix = BaseName(target) + suffix;
  DIR* folder = opendir(FolderOf(target).c_str());
  if (folder == nullptr) return names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st;
    if (lstat(Beside(target, name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      names.push_back(name);
    }
  }
  closedir(folder);
  return names;
}

// A temporary file of a save of `target`: "<name>.tmp", as older games named
// theirs, or "<name>.tmp-<pid>-<n>".
bool IsTemporaryOf(const std::string& target, const std::string& name) {
  const std::string base = BaseName(target) + ".tmp";
  return name == base || name.compare(0, base.size() + 1, base + "-") == 0;
}

// Copies the regular file `from` to the new file `to`, synced, with its
// permissions; false with errno set, and nothing left at `to`, on failure.
bool CopyFile(const std::string& from, const std::string& to) {
  int in = OpenNoBlock(from.c_str(), O_RDONLY);
  if (in < 0) return false;
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    errno = EINVAL;
    return false;
  }
  int out = CreateNew(to, st.st_mode & 0777);
  if (out < 0) {
    int error = errno;
    close(in);
    errno = error;
    return false;
  }
  std::string chunk(1 << 16, '\0');
  bool ok = true;
  for (;;) {
    ssize_t n = read(in, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    if (!WriteAll(out, chunk.substr(0, static_cast<std::size_t>(n)))) {
      ok = false;
      break;
    }
  }
  int error = errno;
  close(in);
  if (!ok) {
    close(out);
    unlink(to.c_str());
    errno = error;
    return false;
  }
  return FillNewFile(out, to, "");
}

// Gives the new file `fd` the permissions and owner of the file it replaces.
// A file system that cannot store them (a FAT stick) is fine as long as the
// result is what the old file had; anything else would change who may read
// the user's records.
bool KeepModeAndOwner(int fd, const struct stat& old) {
  const bool moded = fchmod(fd, old.st_mode & 07777) == 0;
  const bool owned = geteuid() != 0 || fchown(fd, old.st_uid, old.st_gid) == 0;
  if (moded && owned) return true;
  const int error = errno;
  struct stat now;
  if (fstat(fd, &now) == 0 && (now.st_mode & 07777) == (old.st_mode & 07777) &&
      now.st_uid == old.st_uid && now.st_gid == old.st_gid) {
    return true;
  }
  errno = error;
  return false;
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
    ssize_t n = Injected(FileFault::Read) ? -1 : read(fd, data.data() + got, data.size() - got);
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

void TidyInterruptedSaves(const char* path, std::size_t maxBytes,
                          const std::function<bool(const std::string&)>& complete,
                          std::string* restored) {
  restored->clear();
  // A game saving in this folder right now owns its temporary files; only
  // files nobody is writing under the lock are left from a killed save.
  FolderLock lock(path, 0);
  if (!lock.Held()) return;
  const std::string target = FinalTarget(path);
  std::vector<std::string> temporaries;
  for (const std::string& name : NamesBeside(target, ".tmp")) {
    if (IsTemporaryOf(target, name)) temporaries.push_back(Beside(target, name));
  }
  struct stat st;
  if (lstat(target.c_str(), &st) != 0 && errno == ENOENT) {
    // A save killed after its new file was complete but before the rename:
    // the newest complete one is the file as that save left it.
    std::string best;
    struct timespec bestTime {};
    for (const std::string& temp : temporaries) {
      std::string bytes;
      struct stat ts;
      if (!ReadRegularFile(temp.c_str(), maxBytes, &bytes).Ok() || !complete(bytes) ||
          lstat(temp.c_str(), &ts) != 0) {
        continue;
      }
      if (best.empty() || ts.st_mtim.tv_sec > bestTime.tv_sec ||
          (ts.st_mtim.tv_sec == bestTime.tv_sec && ts.st_mtim.tv_nsec > bestTime.tv_nsec)) {
        best = temp;
        bestTime = ts.st_mtim;
      }
    }
    if (!best.empty() && std::rename(best.c_str(), target.c_str()) == 0) {
      SyncFolder(target);
      *restored = Beside(path, BaseName(best));
    }
  }
  for (const std::string& temp : temporaries) {
    if (temp != target) unlink(temp.c_str());
  }
}

std::string NewestBackup(const char* path) {
  const std::string target = FinalTarget(path);
  // "<name>.bak-YYYYMMDD-HHMMSS" and "...-N": newest stamp, then highest N.
  std::string newest;
  std::string newestStamp;
  long newestCount = 0;
  for (const std::string& name : NamesBeside(target, ".bak-")) {
    const std::string rest = name.substr(BaseName(target).size() + 5);
    if (rest.size() < 15) continue;
    const std::string stamp = rest.substr(0, 15);
    const long count = rest.size() > 16 ? std::strtol(rest.c_str() + 16, nullptr, 10) : 1;
    if (newest.empty() || stamp > newestStamp || (stamp == newestStamp && count > newestCount)) {
      newest = name;
      newestStamp = stamp;
      newestCount = count;
    }
  }
  return newest.empty() ? "" : Beside(path, newest);
}

std::string SavingIsBlocked(const char* path) {
  const std::string target = FinalTarget(path);
  const std::string folder = FolderOf(target);
  struct stat file;
  const bool exists = lstat(target.c_str(), &file) == 0;
  if (exists && S_ISREG(file.st_mode) && !UserMayWrite(target, file)) {
    return Describe(path, "read-only, so it is left alone");
  }
  if (!MayMakeFilesIn(folder)) {
    const int error = errno;
    // "." tells the user nothing: name the folder itself.
    char* cwd = folder == "." ? getcwd(nullptr, 0) : nullptr;
    const std::string shown = cwd != nullptr ? cwd : folder;
    std::free(cwd);
    return DescribeErrno(shown, "no new file can be made in this folder", error);
  }
  struct stat dir;
  if (exists && stat(folder.c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) != 0 && geteuid() != 0 &&
      file.st_uid != geteuid() && dir.st_uid != geteuid()) {
    return Describe(path, "belongs to another user in a shared folder, so it cannot be replaced");
  }
  return "";
}

FolderLock::FolderLock(const char* pathInFolder, int timeoutMs,
                       const std::function<void()>& waiting) {
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
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + std::chrono::milliseconds(timeoutMs);
  bool told = false;
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      message_ = DescribeErrno(folder, "cannot be locked", errno);
      break;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      message_ = Describe(folder, ("is locked by another game that did not finish saving in " +
                                   std::to_string(timeoutMs / 1000) + " s")
                                      .c_str());
      break;
    }
    if (!told && waiting && now - start >= std::chrono::seconds(1)) {
      told = true;
      waiting();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  close(fd);
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) close(fd_);  // closing the last descriptor releases the lock
}

FileResult KeepCopy(const char* path, std::int64_t calendarSeconds, std::string* backupName) {
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
  const std::string stamp = LocalStamp(calendarSeconds);
  if (stamp.empty()) return {FileStatus::Failed, Describe(path, "cannot be kept (no local time)")};
  if (Injected(FileFault::Backup)) {
    return {FileStatus::Failed, DescribeErrno(path, "could not be kept", errno)};
  }
  const std::string base = target + ".bak-" + stamp;
  for (int n = 1; n < 1000; ++n) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    // A second name for the same bytes: the file never leaves its place, so
    // a crash at any point finds it where the game looks for it.
    bool made = link(target.c_str(), name.c_str()) == 0;
    if (!made && errno == EEXIST) continue;
    if (!made && (errno == EPERM || errno == EXDEV || errno == EMLINK || errno == ENOSYS ||
                  errno == EOPNOTSUPP)) {
      // No hard links here (a FAT stick, protected links): a copy does.
      made = CopyFile(target, name);
      if (!made && errno == EEXIST) continue;
    }
    if (!made) return {FileStatus::Failed, DescribeErrno(path, "could not be kept", errno)};
    if (!SyncFolder(target)) {
      return {FileStatus::Failed, DescribeErrno(path, "could not be kept for sure", errno)};
    }
    *backupName = Beside(path, BaseName(name));
    return {};
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

  // A name of this save's own: a second game saving at the same moment, or
  // anything else sitting at a fixed name, is never touched.
  static unsigned serial = 0;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
    if (Injected(FileFault::CreateTemp)) break;
    fd = CreateNew(temp, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    return {FileStatus::Failed,
            DescribeErrno(path, "no new file can be made beside it, so it is left alone", errno)};
  }
  if (existed && !KeepModeAndOwner(fd, old)) {
    const int error = errno;
    close(fd);
    unlink(temp.c_str());
    return {FileStatus::Failed,
            DescribeErrno(path, "its permissions cannot be kept, so it is left alone", error)};
  }
  if (!FillNewFile(fd, temp, bytes)) {
    return {FileStatus::Failed, DescribeErrno(path, "could not be saved", errno)};
  }
  if (Injected(FileFault::Rename) || std::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return {FileStatus::Failed, DescribeErrno(path, "could not be saved", error)};
  }
  if (!SyncFolder(target)) {
    return {FileStatus::Failed,
            DescribeErrno(path, "was written, but its folder could not be synced", errno)};
  }
  return {};
}

std::string UnsavedFolder(const char* path) {
  const std::string target = FinalTarget(path);
  std::vector<std::string> folders = {FolderOf(target)};
  for (const char* variable : {"HOME", "TMPDIR"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') folders.push_back(value);
  }
  folders.push_back("/tmp");
  for (const std::string& folder : folders) {
    struct stat st;
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && MayMakeFilesIn(folder)) {
      return folder;
    }
  }
  return "";
}

FileResult KeepUnsaved(const char* path, const std::string& bytes, std::int64_t calendarSeconds,
                       std::string* keptAs) {
  keptAs->clear();
  const std::string folder = UnsavedFolder(path);
  if (folder.empty()) {
    return {FileStatus::Failed, Describe(path, "no folder could take a copy of it")};
  }
  const std::string name = BaseName(FinalTarget(path)) + ".unsaved-" + LocalStamp(calendarSeconds);
  const bool beside = folder == FolderOf(FinalTarget(path));
  for (int n = 1; n < 1000; ++n) {
    const std::string file = (n == 1 ? name : name + "-" + std::to_string(n));
    const std::string full = beside ? Beside(FinalTarget(path), file) : folder + "/" + file;
    int fd = CreateNew(full, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0 || !FillNewFile(fd, full, bytes) || !SyncFolder(full)) {
      return {FileStatus::Failed, DescribeErrno(full, "could not be written", errno)};
    }
    *keptAs = beside ? Beside(path, file) : full;
    return {};
  }
  return {FileStatus::Failed, Describe(path, "no free name for a copy of it")};
}

FileResult AppendToFile(const char* path, const std::string& bytes) {
  struct stat st;
  if (stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
    return {FileStatus::NotRegular, Describe(path, KindOf(st.st_mode))};
  }
  bool created = false;
  int fd = OpenNoBlock(path, O_RDWR | O_APPEND);
  if (fd < 0 && errno == EACCES) fd = OpenNoBlock(path, O_WRONLY | O_APPEND);
  if (fd < 0 && errno == ENOENT) {
    // A new name must itself survive a power cut: the folder is synced below.
    fd = OpenNoBlock(path, O_WRONLY | O_APPEND | O_CREAT | O_EXCL, 0666);
    // EEXIST: made meanwhile, or a link to a file still to be made.
    if (fd < 0 && errno == EEXIST) fd = OpenNoBlock(path, O_WRONLY | O_APPEND | O_CREAT, 0666);
    created = fd >= 0;
  }
  if (fd < 0) return {FileStatus::Failed, DescribeErrno(path, "cannot be appended to", errno)};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return {FileStatus::NotRegular, Describe(path, KindOf(st.st_mode))};
  }
  // A line cut short by a full disk or a crash must not swallow this one.
  std::string line;
  char last = '\n';
  if (st.st_size > 0 && pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') line = "\n";
  line += bytes;
  bool ok = WriteAll(fd, line) && SyncFd(fd);
  int error = ok ? 0 : errno;
  if (!CloseFd(fd) && ok) {
    ok = false;
    error = errno;
  }
  if (ok && created && !SyncFolder(path)) {
    ok = false;
    error = errno;
  }
  if (!ok) return {FileStatus::Failed, DescribeErrno(path, "could not be appended to", error)};
  return {};
}

void InjectFileFaultForTesting(FileFault fault) {
  injectedFault = fault;
}
