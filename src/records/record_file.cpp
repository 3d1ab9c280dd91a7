// The record file "wenlotka.rec": start-up, reading, and the rewrite at exit.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/random.h"
#include "practice/practice.h"
#include "records/records.h"
#include "texts/records.h"

namespace {

// Names of the courses in the file, the same for every level.
constexpr const char* CourseFileNames[RowSetCount] = {
    "Home_Row", "Upper_Row", "Home+Upper_Row", "Lower_Row", "Home+Lower_Row", "All_Row"};
constexpr const char* LevelWords[LevelCount] = {"Beginner's", "Standard", "Expert"};
static_assert(sizeof(CourseFileNames) / sizeof(CourseFileNames[0]) == RowSetCount,
              "one file name per row set");
static_assert(sizeof(LevelWords) / sizeof(LevelWords[0]) == LevelCount, "one word per level");

constexpr char RecordTempSuffix[] = ".tmp";
constexpr char BlankDate[9] = "        ";

// ---- Reading ----------------------------------------------------------------
//
// The reader takes the file one line at a time. Within a line it keeps the
// byte-counting rules the writer relies on (the unit words are skipped by
// length, the date is copied byte for byte), so files in either language read
// alike. Working per line keeps damage local: a field that does not convert
// reads as 0 and the next line still goes to the next course, instead of the
// remaining values sliding into the wrong courses.

// Hours are capped well before hours * 3600 could overflow; the sum is then
// clamped to the range of a 32-bit count of seconds.
constexpr std::int64_t MaxScannedMagnitude = 1000000000000;  // 10^12
constexpr int MaxNumberText = 48;

// A byte source over the open file with a little lookahead of its own, so the
// reader never depends on how many bytes ungetc may push back.
class LineScanner {
 public:
  explicit LineScanner(std::FILE* file) : file_(file) {}

  // Skips blank lines and leading white space; false when the input has ended.
  bool StartLine() {
    for (;;) {
      int c = Peek(0);
      if (c == EOF) return false;
      if (!IsSpace(c) && c != '\n') return true;
      Take();
    }
  }

  // Drops whatever is left of the current line, its line end included.
  void FinishLine() {
    for (;;) {
      int c = Take();
      if (c == EOF || c == '\n') return;
    }
  }

  // Skips a word up to white space. Digits joined to its end belong to the
  // number that follows it: a field wider than its column leaves no blank
  // between them (e.g. 10000 hours after the total label).
  void SkipWord() {
    for (;;) {
      int c = Peek(0);
      if (c == EOF || c == '\n' || IsSpace(c) || StartsNumber()) return;
      Take();
    }
  }

  void SkipSpace() {
    while (IsSpace(Peek(0))) Take();
  }

  // Skips exactly n bytes of the line; false when the line ends first.
  bool SkipBytes(int n) {
    for (int i = 0; i < n; ++i) {
      int c = Peek(0);
      if (c == EOF || c == '\n') return false;
      Take();
    }
    return true;
  }

  // Copies exactly n bytes of the line, blanks included; false when the line
  // ends first. Control bytes become blanks so the date keeps its 8 columns.
  bool CopyBytes(char* out, int n) {
    for (int i = 0; i < n; ++i) {
      int c = Peek(0);
      if (c == EOF || c == '\n') return false;
      Take();
      out[i] = (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
    }
    return true;
  }

  // A signed decimal integer after white space, as many digits as there are;
  // its magnitude saturates at MaxScannedMagnitude.
  bool ReadInteger(std::int64_t* value) {
    SkipSpace();
    if (!StartsNumber()) return false;
    bool negative = false;
    int c = Peek(0);
    if (c == '+' || c == '-') {
      negative = c == '-';
      Take();
    }
    std::int64_t v = 0;
    while (IsDigit(Peek(0))) {
      int d = Take() - '0';
      v = v >= MaxScannedMagnitude / 10 ? MaxScannedMagnitude : v * 10 + d;
    }
    *value = negative ? -v : v;
    return true;
  }

  // A decimal number with an optional sign and fraction after white space.
  // A number too long to be a time of this program does not convert.
  bool ReadNumber(double* value) {
    SkipSpace();
    if (!StartsNumber() && !(Peek(0) == '.' && IsDigit(Peek(1)))) return false;
    char text[MaxNumberText + 1];
    int length = 0;
    bool tooLong = false;
    auto keep = [&](int c) {
      if (length < MaxNumberText) {
        text[length++] = static_cast<char>(c);
      } else {
        tooLong = true;
      }
    };
    if (Peek(0) == '+' || Peek(0) == '-') keep(Take());
    while (IsDigit(Peek(0))) keep(Take());
    if (Peek(0) == '.') {
      keep(Take());
      while (IsDigit(Peek(0))) keep(Take());
    }
    text[length] = '\0';
    if (tooLong) return false;
    double v = std::strtod(text, nullptr);
    if (!std::isfinite(v)) return false;
    *value = v;
    return true;
  }

 private:
  static bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
  }
  static bool IsDigit(int c) { return c >= '0' && c <= '9'; }

  bool StartsNumber() {
    int c = Peek(0);
    if (IsDigit(c)) return true;
    return (c == '+' || c == '-') && IsDigit(Peek(1));
  }

  int Peek(int ahead) {
    assert(ahead < static_cast<int>(sizeof(pending_)) && "lookahead deeper than the scanner keeps");
    while (count_ <= ahead) {
      int c = std::getc(file_);
      if (c == EOF) return EOF;
      pending_[(first_ + count_) % sizeof(pending_)] = static_cast<unsigned char>(c);
      ++count_;
    }
    return pending_[(first_ + ahead) % sizeof(pending_)];
  }

  int Take() {
    int c = Peek(0);
    if (c == EOF) return EOF;
    first_ = (first_ + 1) % static_cast<int>(sizeof(pending_));
    --count_;
    return c;
  }

  std::FILE* file_;
  unsigned char pending_[4] = {};
  int first_ = 0;
  int count_ = 0;
};

std::int32_t ClampSeconds(std::int64_t s) {
  if (s > INT32_MAX) return INT32_MAX;
  if (s < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(s);
}

// "<hours><4-byte word><minutes><2-byte word><seconds><2-byte word>" from the
// scanner's position; numbers that do not convert count as 0.
std::int32_t ScanTime(LineScanner& in) {
  std::int64_t hours = 0, minutes = 0, seconds = 0;
  if (in.ReadInteger(&hours) && in.SkipBytes(4) && in.ReadInteger(&minutes) && in.SkipBytes(2)) {
    in.ReadInteger(&seconds);
  }
  return ClampSeconds(hours * 3600 + minutes * 60 + seconds);
}

void ScanCourseLine(LineScanner& in, CourseRecord& course) {
  double best = 0.0;
  char date[9];
  std::memcpy(date, BlankDate, sizeof date);
  std::int32_t practice = 0;
  in.SkipWord();
  if (in.ReadNumber(&best)) {
    if (in.SkipBytes(1) && in.CopyBytes(date, 8)) practice = ScanTime(in);
  }
  course.bestTime = best;
  std::memcpy(course.bestDate, date, 8);
  course.bestDate[8] = '\0';
  course.practiceSeconds = practice;
}

// ---- Writing ----------------------------------------------------------------

// The whole file as the user will find it, in the language of the moment.
// False only if a line would not fit its buffer.
bool FormatRecordFile(const GameGlobals& g, char* out, std::size_t size, std::size_t* length) {
  const bool english = g.LanguageFlag == 1;
  std::size_t used = 0;
  auto put = [&](int n) {
    if (n < 0 || static_cast<std::size_t>(n) >= size - used) return false;
    used += static_cast<std::size_t>(n);
    return true;
  };
  int h, m, s;
  SplitSeconds(static_cast<std::int64_t>(g.pastPracticeSeconds) + g.endTime - g.startTime, &h, &m,
               &s);
  if (!put(std::snprintf(
          out + used, size - used,
          english ? "Total_Practice_Time%5dhour%2dmi%2dse\n" : sjis::RecordTotalLineJa, h, m, s))) {
    return false;
  }
  for (int level = 0; level < LevelCount; ++level) {
    if (!put(std::snprintf(out + used, size - used, "%s\n", LevelWords[level]))) return false;
    for (int row = 0; row < RowSetCount; ++row) {
      const CourseRecord& c = g.CourseRecordTable[level][row];
      // Exactly 8 bytes whatever the game left there, so the columns hold.
      char date[9];
      std::memcpy(date, BlankDate, sizeof date);
      for (int i = 0; i < 8 && c.bestDate[i] != '\0'; ++i) date[i] = c.bestDate[i];
      if (!put(std::snprintf(out + used, size - used, "%-34s%7.0lf %s", CourseFileNames[row],
                             c.bestTime, date))) {
        return false;
      }
      SplitSeconds(c.practiceSeconds, &h, &m, &s);
      if (!put(std::snprintf(out + used, size - used,
                             english ? " %5dhour%2dmi%2dse\n" : sjis::RecordCourseTimeJa, h, m,
                             s))) {
        return false;
      }
    }
  }
  *length = used;
  return true;
}

// Where the records really live: the file a symbolic link names, so a linked
// record file stays linked after the rewrite.
void ResolveRecordPath(const char* name, char* out, std::size_t size) {
  std::snprintf(out, size, "%s", name);
  struct stat st;
  if (lstat(name, &st) != 0 || !S_ISLNK(st.st_mode)) return;
  char* target = realpath(name, nullptr);
  if (target == nullptr) return;
  if (std::strlen(target) < size) std::snprintf(out, size, "%s", target);
  std::free(target);
}

// Makes the rename itself survive a crash; a failure here loses nothing that
// the rename has not already put in place.
void SyncDirectoryOf(const char* path) {
  char dir[4096];
  std::snprintf(dir, sizeof dir, "%s", path);
  char* slash = std::strrchr(dir, '/');
  if (slash == nullptr) {
    std::snprintf(dir, sizeof dir, ".");
  } else if (slash == dir) {
    slash[1] = '\0';
  } else {
    *slash = '\0';
  }
  int fd = open(dir, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

void StartUpRecords(GameGlobals& g) {
  assert(g.clock != nullptr && "StartUpRecords needs the app's clock");
  if (std::FILE* file = std::fopen(RecordFilePath(g).c_str(), "r")) {
    LoadRecordFile(g, file);
    std::fclose(file);
  }
  BuildKeyPositionTable(g);
  FormatDate(*g.clock, g.startDate);
  FormatTimeOfDay(*g.clock, g.startClock);
  g.startTime = CalendarSeconds(*g.clock);
  const unsigned seed = static_cast<unsigned>(g.startTime & 0x7FFF);
  SeedRandom(g.random, seed);
  const unsigned discard = (seed & 0xFF) + 10;
  for (unsigned i = 0; i < discard; ++i) NextRandom(g.random);
  g.recordsStarted = 1;
}

void BuildKeyPositionTable(GameGlobals& g) {
  const char* const* rows = CurrentLayout(g).rows;
  auto fill = [&g, rows](int code) {
    KeyPosition position{};
    for (int row = 0; row < 4; ++row) {
      const unsigned char* text = reinterpret_cast<const unsigned char*>(rows[row]);
      for (int i = 0; i < 100 && text[i] != 0; ++i) {
        if (text[i] == code) position = KeyPosition{row + 1, i + 1};
      }
    }
    g.KeyPositionTable[code] = position;
  };
  for (int c = 'A'; c <= 'Z'; ++c) fill(c);
  for (int c = '0'; c <= '9'; ++c) fill(c);
  for (int c = 0xB1; c <= 0xDD; ++c) fill(c);
}

int LoadRecordFile(GameGlobals& g, std::FILE* file) {
  assert(file != nullptr && "LoadRecordFile needs an open file");
  LineScanner in(file);
  if (!in.StartLine()) return 0;
  in.SkipWord();
  g.pastPracticeSeconds = ScanTime(in);
  in.FinishLine();
  for (int level = 0; level < LevelCount; ++level) {
    if (!in.StartLine()) return 0;
    in.FinishLine();  // the level word
    for (int row = 0; row < RowSetCount; ++row) {
      if (!in.StartLine()) return 0;
      ScanCourseLine(in, g.CourseRecordTable[level][row]);
      in.FinishLine();
    }
  }
  return 1;
}

int SaveRecordFile(GameGlobals& g) {
  // 22 lines; a course line is at most a few hundred bytes even for absurd
  // values, since the largest double prints in 309 digits.
  constexpr std::size_t BufferSize = 22 * 512;
  std::vector<char> text(BufferSize);
  std::size_t length = 0;
  const bool formatted = FormatRecordFile(g, text.data(), text.size(), &length);

  char target[4096];
  ResolveRecordPath(RecordFilePath(g).c_str(), target, sizeof target);
  char temp[4096 + sizeof RecordTempSuffix];
  std::snprintf(temp, sizeof temp, "%s%s", target, RecordTempSuffix);

  // The old file is replaced only by a complete, synced new one, so a full
  // disk or a crash half way leaves the user's records as they were.
  int ok = 0;
  std::FILE* file = formatted ? std::fopen(temp, "wb") : nullptr;
  if (file != nullptr) {
    bool written = std::fwrite(text.data(), 1, length, file) == length;
    struct stat old;
    if (written && stat(target, &old) == 0 && S_ISREG(old.st_mode)) {
      fchmod(fileno(file), old.st_mode & 07777);
    }
    written = written && std::fflush(file) == 0;
    // Devices and pipes cannot sync; only a real sync failure loses data.
    written = written && (fsync(fileno(file)) == 0 || errno == EINVAL);
    written = (std::fclose(file) == 0) && written;
    if (written && std::rename(temp, target) == 0) {
      SyncDirectoryOf(target);
      ok = 1;
    } else {
      std::remove(temp);
    }
  }
  return ok;
}
