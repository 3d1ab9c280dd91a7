// The game's files, handled so that nothing is lost and nothing hangs: only
// regular files are read, replaced or appended to (a link to one is followed),
// every open is non-blocking, a save holds one lock per folder, and a file is
// only ever replaced whole by a complete new one renamed over it. At every
// instant a replaced file holds its complete old or its complete new bytes;
// nothing is truncated, moved away or written in place. A file that did not
// read gets a second name (a backup) before anything replaces it, and one
// that could not be read at all is never replaced. Where a new file cannot be
// put in place, its bytes are kept in a file of the user's own, so a session
// is never lost with the process. The file formats stay with their owners
// (records, progress); this module only moves bytes.
//
// Operations, in order of use:
//   ReadRegularFile     start-up and saves: a file's bytes, bounded
//   TidyInterruptedSaves  start-up: restores a file a killed save left as a
//                       temporary one, removes stale temporary files
//   NewestBackup        start-up: a backup to read when the file itself is gone
//   SavingIsBlocked     start-up: why nothing could be saved beside a file
//   FolderLock          a save: held while a folder's files are merged and rewritten
//   KeepCopy            a save: a second name for a file that did not read
//   ReplaceFile         a save: write beside, sync, rename over, sync the folder
//   KeepUnsaved         a save that failed: the new bytes in a file of the user's
//   AppendToFile        the logs: one line at a time, synced
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

enum class FileStatus {
  Ok,
  Missing,     // no such file (not an error for a first start)
  NotRegular,  // a directory, FIFO, device or socket: never read nor replaced
  Unreadable,  // exists but cannot be opened or read (permissions, I/O error)
  TooLarge,    // larger than the caller's limit: not read
  Failed,      // a write, sync, rename, lock or backup failed
};

struct FileResult {
  FileStatus status = FileStatus::Ok;
  // One line for the user naming the file and what is wrong; empty when Ok.
  std::string message;
  bool Ok() const { return status == FileStatus::Ok; }
};

// Reads the whole of `path` into `bytes` when it is a regular file of at most
// `maxBytes`. Never blocks on a FIFO or device and never reads more than
// `maxBytes` + 1 bytes of anything.
FileResult ReadRegularFile(const char* path, std::size_t maxBytes, std::string* bytes);

// Only when no game is saving in the folder (the lock is free at once):
// where `path` is missing and a temporary file of an interrupted save holds
// bytes that `complete` accepts (read up to `maxBytes`), the newest such file
// is renamed into place and named in `restored`; then every temporary file of
// `path` is removed. `restored` stays empty when nothing was restored.
void TidyInterruptedSaves(const char* path, std::size_t maxBytes,
                          const std::function<bool(const std::string&)>& complete,
                          std::string* restored);

// The name of the newest "<path>.bak-..." backup KeepCopy made, or empty.
std::string NewestBackup(const char* path);

// Empty when a new file can be put in place of `path`; otherwise why not (the
// folder may not be written, or it is shared with the sticky bit and `path`
// belongs to another user), naming the folder or the file.
std::string SavingIsBlocked(const char* path);

// An exclusive lock for the folder that holds `pathInFolder`, so two games in
// one folder save one after the other. Waits at most `timeoutMs`, calling
// `waiting` once when the wait has lasted a second; Held() is false when it
// could not be taken in time. Take it once per save: a second FolderLock on
// the same folder waits for the first, even in one process.
class FolderLock {
 public:
  explicit FolderLock(const char* pathInFolder, int timeoutMs = 30000,
                      const std::function<void()>& waiting = {});
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool Held() const { return fd_ >= 0; }
  const std::string& Message() const { return message_; }

 private:
  int fd_ = -1;
  std::string message_;
};

// Gives `path` the second name "<path>.bak-YYYYMMDD-HHMMSS" (local time of
// `calendarSeconds`, with a count added when that name is taken), a hard link
// or, where the file system has none, a synced copy; `path` itself is never
// moved. Puts the new name in `backupName`; Ok with an empty name when there
// was nothing to keep.
FileResult KeepCopy(const char* path, std::int64_t calendarSeconds, std::string* backupName);

// Makes `path` hold exactly `bytes`: written to a temporary file of this save's
// own beside it, synced, given the old file's permissions and owner, renamed
// over it, the folder synced; a link keeps pointing at the replaced file.
// Fails, leaving the old file untouched, when it exists but is not a regular
// file or the user may not write it, and when no new file can be made and
// renamed beside it.
FileResult ReplaceFile(const char* path, const std::string& bytes);

// Writes `bytes` that could not be saved as `path` to a new file of the user's
// own, readable by the user alone, "<name>.unsaved-YYYYMMDD-HHMMSS": beside
// `path` when a file can be made there, else in $HOME, else in $TMPDIR (or
// /tmp). Puts its full name in `keptAs`.
FileResult KeepUnsaved(const char* path, const std::string& bytes, std::int64_t calendarSeconds,
                       std::string* keptAs);

// The folder KeepUnsaved would use for `path` now.
std::string UnsavedFolder(const char* path);

// Appends `bytes` to `path` (created when missing) with one write, on a line
// of its own when the file does not end with one, and syncs it (and the
// folder when the file was new); never blocks; fails on anything but a
// regular file.
FileResult AppendToFile(const char* path, const std::string& bytes);

// Tests only: makes one step of every later read, save or append fail as a
// full disk (Write) or an I/O error would, until called again with None.
enum class FileFault { None, Read, CreateTemp, Write, Sync, Close, Rename, Backup, SyncFolder };
void InjectFileFaultForTesting(FileFault fault);
