// The game's files, handled so that nothing is lost and nothing hangs: only
// regular files are read, replaced or appended to (a link to one is followed),
// every open is non-blocking, a save holds one lock per folder, a file is
// replaced only by a complete new one, and a file that could not be read is
// kept under another name before anything replaces it. The file formats stay
// with their owners (records, progress); this module only moves bytes.
//
// Operations, in order of use:
//   ReadRegularFile   start-up: a file's bytes, bounded
//   FolderLock        a save: held while a folder's files are merged and rewritten
//   BackUpFile        a save: keeps a file that did not read before it is replaced
//   ReplaceFile       a save: write beside, sync, rename over (in place as a fallback)
//   AppendToFile      the logs: one line at a time
#pragma once

#include <cstddef>
#include <cstdint>
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

// An exclusive lock for the folder that holds `pathInFolder`, so two games in
// one folder save one after the other. Waits at most `timeoutMs`; Held() is
// false when it could not be taken in time. Take it once per save: a second
// FolderLock on the same folder waits for the first, even in one process.
class FolderLock {
 public:
  explicit FolderLock(const char* pathInFolder, int timeoutMs = 2000);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool Held() const { return fd_ >= 0; }
  const std::string& Message() const { return message_; }

 private:
  int fd_ = -1;
  std::string message_;
};

// Renames `path` to "<path>.bak-YYYYMMDD-HHMMSS" (local time of
// `calendarSeconds`, with a count added when that name is taken) and puts the
// new name in `backupName`. Ok when there was nothing to keep.
FileResult BackUpFile(const char* path, std::int64_t calendarSeconds, std::string* backupName);

// Makes `path` hold exactly `bytes`: written to "<path>.tmp", synced, renamed
// over it, the folder synced; the old file's permissions are kept and a link
// keeps pointing at the replaced file. Fails, leaving the old file untouched,
// when it exists but is not a regular file or the user may not write it.
// Where the temporary file cannot be created but `path` is writable, it is
// rewritten in place instead, so the session is not lost.
FileResult ReplaceFile(const char* path, const std::string& bytes);

// Appends `bytes` to `path` (created when missing) with one write, without
// blocking; fails on anything but a regular file.
FileResult AppendToFile(const char* path, const std::string& bytes);

// Removes a "<path>.tmp" that a save killed half way left behind.
void RemoveStaleTemporary(const char* path);

// Tests only: makes one step of every later save or append fail as a full
// disk (Write) or an I/O error would, until called again with None.
enum class FileFault { None, CreateTemp, Write, Sync, Close, Rename, Backup };
void InjectFileFaultForTesting(FileFault fault);
