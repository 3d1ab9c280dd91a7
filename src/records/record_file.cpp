// The record file "wenlotka.rec": start-up, reading, and the rewrite at exit.
#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/random.h"
#include "platform/safe_file.h"
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

constexpr char BlankDate[9] = "        ";

// ---- Reading ----------------------------------------------------------------
//
// The reader takes the file one line at a time; a line ends at LF, CR LF or a
// lone CR, and blank lines are passed over. Within a line it keeps the
// byte-counting rules the writer relies on (the date is copied byte for byte,
// the unit words have the same length in either language), so files in either
// language read alike. Every line names what it holds: the total line its
// label, a level line its level, a course line its course within the level
// above it. So each line is placed by its name, and a line deleted, repeated
// or damaged by hand loses only itself: the other courses keep their values,
// every line that could not be placed is named, and the file is kept before
// anything replaces it.

// Hours are capped well before hours * 3600 could overflow; a time that does
// not fit a 32-bit count of seconds is damage, not a value.
constexpr std::int64_t MaxScannedMagnitude = 1000000000000;  // 10^12
constexpr int MaxNumberText = 48;
constexpr int LayoutLines = 1 + LevelCount * (1 + RowSetCount);
// More problems than this are summed up in a count.
constexpr std::size_t ProblemsNamed = 3;

class LineScanner {
 public:
  explicit LineScanner(std::string_view line) : line_(line) {}

  void SkipSpace() {
    while (at_ < line_.size() && IsSpace(line_[at_])) ++at_;
  }

  // True when only white space is left.
  bool AtEnd() {
    SkipSpace();
    return at_ == line_.size();
  }

  // A word up to white space. Digits joined to its end belong to the number
  // that follows it: a field wider than its column leaves no blank between
  // them (e.g. 10000 hours after the total label).
  std::string_view Word() {
    SkipSpace();
    std::size_t from = at_;
    while (at_ < line_.size() && !IsSpace(line_[at_]) && !StartsNumber()) ++at_;
    return line_.substr(from, at_ - from);
  }

  // Takes `word` when the line continues with exactly its bytes.
  bool Take(std::string_view word) {
    if (word.empty() || line_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool SkipBytes(std::size_t n) {
    if (line_.size() - at_ < n) return false;
    at_ += n;
    return true;
  }

  // Copies exactly n bytes, blanks included. Control bytes become blanks so
  // the date keeps its 8 columns.
  bool CopyBytes(char* out, std::size_t n) {
    if (line_.size() - at_ < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
      unsigned char c = static_cast<unsigned char>(line_[at_++]);
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
    if (line_[at_] == '+' || line_[at_] == '-') negative = line_[at_++] == '-';
    std::int64_t v = 0;
    while (at_ < line_.size() && IsDigit(line_[at_])) {
      int d = line_[at_++] - '0';
      v = v >= MaxScannedMagnitude / 10 ? MaxScannedMagnitude : v * 10 + d;
    }
    *value = negative ? -v : v;
    return true;
  }

  // A decimal number with an optional sign and fraction after white space.
  // A number too long to be a time of this program does not convert.
  bool ReadNumber(double* value) {
    SkipSpace();
    std::size_t from = at_;
    if (at_ < line_.size() && (line_[at_] == '+' || line_[at_] == '-')) ++at_;
    std::size_t digits = 0;
    while (at_ < line_.size() && IsDigit(line_[at_])) ++at_, ++digits;
    if (at_ < line_.size() && line_[at_] == '.') {
      ++at_;
      while (at_ < line_.size() && IsDigit(line_[at_])) ++at_, ++digits;
    }
    if (digits == 0 || at_ - from > MaxNumberText) return false;
    std::string text(line_.substr(from, at_ - from));
    double v = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(v)) return false;
    *value = v;
    return true;
  }

  static bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  bool StartsNumber() const {
    if (at_ >= line_.size()) return false;
    char c = line_[at_];
    if (IsDigit(c)) return true;
    return (c == '+' || c == '-') && at_ + 1 < line_.size() && IsDigit(line_[at_ + 1]);
  }

  std::string_view line_;
  std::size_t at_ = 0;
};

std::int32_t ClampSeconds(std::int64_t s) {
  if (s > INT32_MAX) return INT32_MAX;
  if (s < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(s);
}

// "<hours><hour word><minutes><minute word><seconds><second word>" in either
// language, up to the end of the line. A negative part, or a time beyond a
// 32-bit count of seconds, is damage: the game never writes one, and taken
// as a value it would shrink a total or wrap it.
bool ScanTime(LineScanner& in, std::int32_t* total) {
  std::int64_t hours = 0, minutes = 0, seconds = 0;
  if (!in.ReadInteger(&hours) || !(in.Take("hour") || in.Take(sjis::RecordHourWordJa)) ||
      !in.ReadInteger(&minutes) || !(in.Take("mi") || in.Take(sjis::RecordMinuteWordJa)) ||
      !in.ReadInteger(&seconds) || !(in.Take("se") || in.Take(sjis::RecordSecondWordJa)) ||
      !in.AtEnd()) {
    return false;
  }
  const std::int64_t sum = hours * 3600 + minutes * 60 + seconds;
  if (hours < 0 || minutes < 0 || seconds < 0 || sum > INT32_MAX) return false;
  *total = static_cast<std::int32_t>(sum);
  return true;
}

bool IsTotalLabel(std::string_view word) {
  return word == "Total_Practice_Time" || word == sjis::RecordTotalLabelJa;
}

bool ScanTotalLine(std::string_view line, std::int32_t* seconds) {
  LineScanner in(line);
  return IsTotalLabel(in.Word()) && ScanTime(in, seconds);
}

// A best time is a whole number of seconds, at least 1, or 0 for none: a
// fraction or a negative one could never be beaten by a run.
bool IsBestTime(double best) {
  return best == 0.0 || (best >= 1.0 && best <= INT32_MAX && best == std::trunc(best));
}

bool ScanCourseLine(LineScanner& in, CourseRecord* course) {
  double best = 0.0;
  char date[9];
  std::memcpy(date, BlankDate, sizeof date);
  std::int32_t practice = 0;
  if (!in.ReadNumber(&best) || !IsBestTime(best) || !in.SkipBytes(1) || !in.CopyBytes(date, 8) ||
      !ScanTime(in, &practice)) {
    return false;
  }
  course->bestTime = best;
  std::memcpy(course->bestDate, date, 8);
  course->bestDate[8] = '\0';
  course->practiceSeconds = practice;
  return true;
}

int IndexOf(std::string_view word, const char* const* names, int count) {
  for (int i = 0; i < count; ++i) {
    if (word == names[i]) return i;
  }
  return -1;
}

// What a record file holds: the values of every line placed by its name (a
// placed line that does not read leaves its course at the defaults; a line
// that is missing keeps what `r` held before), and what is wrong with it.
struct RecordText {
  CourseRecord courses[LevelCount][RowSetCount]{};
  std::int32_t pastPracticeSeconds = 0;
  bool complete = false;  // all 22 lines were there, once each
  std::string problem;    // empty when the file reads exactly as the layout
};

RecordText ReadRecordText(std::string_view text, RecordText r) {
  std::vector<std::string> problems;
  bool totalSeen = false;
  bool levelSeen[LevelCount] = {};
  bool courseSeen[LevelCount][RowSetCount] = {};
  int placed = 0;
  int level = -1;
  int content = 0;  // lines with something on them
  int lastLine = 0;
  bool pastLayout = false;
  std::size_t at = 0;
  for (int physical = 1; at < text.size(); ++physical) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end;
    if (at < text.size()) at += text.compare(at, 2, "\r\n") == 0 ? 2 : 1;
    if (std::all_of(line.begin(), line.end(), LineScanner::IsSpace)) continue;
    lastLine = physical;
    ++content;
    const std::string where = "line " + std::to_string(physical);
    if (placed == LayoutLines) {
      if (!pastLayout) {
        problems.push_back(where + " is more than the " + std::to_string(LayoutLines) +
                           " lines of records");
      }
      pastLayout = true;
      continue;
    }
    LineScanner in(line);
    const std::string_view word = in.Word();
    if (IsTotalLabel(word)) {
      if (totalSeen) {
        problems.push_back(where + " repeats the total line");
      } else if (!ScanTotalLine(line, &r.pastPracticeSeconds)) {
        totalSeen = true;
        ++placed;
        r.pastPracticeSeconds = 0;
        problems.push_back(where + " is not a total line");
      } else {
        totalSeen = true;
        ++placed;
      }
      continue;
    }
    const int levelWord = IndexOf(word, LevelWords, LevelCount);
    if (levelWord >= 0) {
      level = levelWord;
      if (levelSeen[level]) {
        problems.push_back(where + " repeats the level line \"" + LevelWords[level] + "\"");
        continue;
      }
      levelSeen[level] = true;
      ++placed;
      if (!in.AtEnd()) {
        problems.push_back(where + " is not the level line \"" + LevelWords[level] + "\"");
      }
      continue;
    }
    const int row = IndexOf(word, CourseFileNames, RowSetCount);
    if (row < 0 || level < 0) {
      problems.push_back(where + (content == 1 ? " is not a total line" : " is not a course line"));
      continue;
    }
    const std::string course = std::string(LevelWords[level]) + " " + CourseFileNames[row];
    if (courseSeen[level][row]) {
      problems.push_back(where + " repeats the " + course + " line");
      continue;
    }
    courseSeen[level][row] = true;
    ++placed;
    CourseRecord& c = r.courses[level][row];
    if (!ScanCourseLine(in, &c)) {
      c.bestTime = 0.0;
      std::memcpy(c.bestDate, BlankDate, sizeof c.bestDate);
      c.practiceSeconds = 0;
      problems.push_back(where + " is not a " + course + " line that reads");
    }
  }
  r.complete = placed == LayoutLines;
  if (content == 0) {
    problems.push_back("is empty");
  } else if (!r.complete && placed > 0) {
    // The lines missing from the layout, in its order; a file cut short is
    // told as such.
    std::vector<std::string> missing;
    int lastPlaced = -1, firstMissing = -1;
    for (int k = 0; k < LayoutLines; ++k) {
      bool seen;
      std::string name;
      if (k == 0) {
        seen = totalSeen;
        name = "the total line";
      } else if ((k - 1) % (1 + RowSetCount) == 0) {
        const int l = (k - 1) / (1 + RowSetCount);
        seen = levelSeen[l];
        name = std::string("the level line \"") + LevelWords[l] + "\"";
      } else {
        const int l = (k - 1) / (1 + RowSetCount);
        const int row = (k - 1) % (1 + RowSetCount) - 1;
        seen = courseSeen[l][row];
        name = std::string("the ") + LevelWords[l] + " " + CourseFileNames[row] + " line";
      }
      if (seen) {
        lastPlaced = k;
      } else {
        if (firstMissing < 0) firstMissing = k;
        missing.push_back(name + " is missing");
      }
    }
    if (firstMissing > lastPlaced) {
      problems.push_back("ends after line " + std::to_string(lastLine) + " of " +
                         std::to_string(LayoutLines));
    } else {
      problems.insert(problems.end(), missing.begin(), missing.end());
    }
  }
  for (std::size_t i = 0; i < problems.size() && i < ProblemsNamed; ++i) {
    r.problem += (i == 0 ? "" : "; ") + problems[i];
  }
  if (problems.size() > ProblemsNamed) {
    r.problem += "; and " + std::to_string(problems.size() - ProblemsNamed) + " more";
  }
  return r;
}

// ---- Writing ----------------------------------------------------------------

// The whole file as the user will find it, in the language of the moment.
// False only if a line would not fit its buffer.
bool FormatRecordFile(int languageFlag, const CourseRecord (&table)[LevelCount][RowSetCount],
                      std::int64_t totalSeconds, std::string* out) {
  const bool english = languageFlag == 1;
  // 22 lines; a course line is at most a few hundred bytes even for absurd
  // values, since the largest double prints in 309 digits.
  std::vector<char> buffer(22 * 512);
  char* text = buffer.data();
  const std::size_t size = buffer.size();
  std::size_t used = 0;
  auto put = [&](int n) {
    if (n < 0 || static_cast<std::size_t>(n) >= size - used) return false;
    used += static_cast<std::size_t>(n);
    return true;
  };
  int h, m, s;
  SplitSeconds(totalSeconds, &h, &m, &s);
  if (!put(std::snprintf(
          text + used, size - used,
          english ? "Total_Practice_Time%5dhour%2dmi%2dse\n" : sjis::RecordTotalLineJa, h, m, s))) {
    return false;
  }
  for (int level = 0; level < LevelCount; ++level) {
    if (!put(std::snprintf(text + used, size - used, "%s\n", LevelWords[level]))) return false;
    for (int row = 0; row < RowSetCount; ++row) {
      const CourseRecord& c = table[level][row];
      // Exactly 8 bytes whatever the game left there, so the columns hold.
      char date[9];
      std::memcpy(date, BlankDate, sizeof date);
      for (int i = 0; i < 8 && c.bestDate[i] != '\0'; ++i) date[i] = c.bestDate[i];
      if (!put(std::snprintf(text + used, size - used, "%-34s%7.0lf %s", CourseFileNames[row],
                             c.bestTime, date))) {
        return false;
      }
      SplitSeconds(c.practiceSeconds, &h, &m, &s);
      if (!put(std::snprintf(text + used, size - used,
                             english ? " %5dhour%2dmi%2dse\n" : sjis::RecordCourseTimeJa, h, m,
                             s))) {
        return false;
      }
    }
  }
  out->assign(text, used);
  return true;
}

// What this session adds to a record file that another game (or the user)
// may have changed since start-up: per course a best time set here when it
// is shorter than the one on disk, with its date, and the practice time added
// here; the total grows by what was added here. With no other game the result
// is this session's own table.
void MergeWithDisk(const GameGlobals& g, const RecordText& disk,
                   CourseRecord (&table)[LevelCount][RowSetCount], std::int64_t* totalSeconds) {
  for (int level = 0; level < LevelCount; ++level) {
    for (int row = 0; row < RowSetCount; ++row) {
      const CourseRecord& mine = g.CourseRecordTable[level][row];
      const CourseRecord& theirs = disk.courses[level][row];
      CourseRecord& out = table[level][row];
      const bool setHere = mine.bestTime != g.loadedBestTime[level][row];
      const bool mineBetter = setHere && mine.bestTime > 0.0 &&
                              (theirs.bestTime <= 0.0 || mine.bestTime < theirs.bestTime);
      const CourseRecord& best = mineBetter ? mine : theirs;
      out.bestTime = best.bestTime;
      std::memcpy(out.bestDate, best.bestDate, sizeof out.bestDate);
      out.practiceSeconds =
          ClampSeconds(static_cast<std::int64_t>(theirs.practiceSeconds) + mine.practiceSeconds -
                       g.loadedPracticeSeconds[level][row]);
    }
  }
  *totalSeconds = static_cast<std::int64_t>(disk.pastPracticeSeconds) + g.pastPracticeSeconds -
                  g.loadedPastPracticeSeconds + RunningSeconds(g);
}

void Say(const std::string& line) {
  std::fprintf(stderr, "wenlotka: %s\n", line.c_str());
}

// Where KeepUnsaved will put a copy of `path`, for a start-up line.
std::string UnsavedPlace(const std::string& path) {
  const std::string folder = UnsavedFolder(path.c_str());
  if (folder.empty()) return "no folder at all";
  const std::string::size_type slash = path.rfind('/');
  const std::string own = slash == std::string::npos ? "." : path.substr(0, slash);
  return folder == own ? "a new file beside it" : folder;
}

bool IsCompleteRecordFile(const std::string& bytes) {
  return ReadRecordText(bytes, RecordText{}).problem.empty();
}

// This session's table and total as a record file, without what is on disk.
std::string SessionRecordText(const GameGlobals& g) {
  std::string text;
  FormatRecordFile(g.LanguageFlag, g.CourseRecordTable,
                   static_cast<std::int64_t>(g.pastPracticeSeconds) + RunningSeconds(g), &text);
  return text;
}

// The records that could not be saved as the record file: kept in a file of
// the user's own, named on standard error and in the report. Always 0, the
// result of the failed save.
int KeepUnsavedRecords(GameGlobals& g, const std::string& why, const std::string& text) {
  const std::string path = RecordFilePath(g);
  std::string keptAs;
  FileResult kept = KeepUnsaved(path.c_str(), text, CalendarSeconds(*g.clock), &keptAs);
  if (kept.Ok()) {
    Say(why + "; this session's records are kept in " + keptAs);
    g.unsavedCopies.push_back(keptAs);
  } else {
    Say(why + "; this session's records could not be kept anywhere (" + kept.message + ")");
  }
  return 0;
}

}  // namespace

void StartUpRecords(GameGlobals& g) {
  assert(g.clock != nullptr && "StartUpRecords needs the app's clock");
  const std::string path = RecordFilePath(g);
  std::string restored;
  TidyInterruptedSaves(path.c_str(), MaxRecordFileBytes, IsCompleteRecordFile, &restored);
  if (!restored.empty()) {
    Say(path + " was missing; the complete " + restored +
        " that an interrupted save left is used in its place");
  }
  std::string bytes;
  FileResult file = ReadRegularFile(path.c_str(), MaxRecordFileBytes, &bytes);
  const std::string kept =
      "; it will be kept as " + path + ".bak-<date>-<time> before the records are saved";
  const std::string elsewhere =
      "this session's records will be kept in " + UnsavedPlace(path) + " when the game ends";
  bool toldWhere = false;
  switch (file.status) {
    case FileStatus::Ok: {
      std::string problem;
      LoadRecordText(g, bytes, &problem);
      if (!problem.empty()) Say(path + ": " + problem + kept);
      break;
    }
    case FileStatus::Missing: {
      // A backup where the record file should be: the records as they were
      // when it was made, which the save at exit then writes anew.
      const std::string backup = NewestBackup(path.c_str());
      if (!backup.empty() &&
          ReadRegularFile(backup.c_str(), MaxRecordFileBytes, &bytes).status == FileStatus::Ok) {
        std::string problem;
        LoadRecordText(g, bytes, &problem);
        Say(path + " is missing; the records are read from " + backup + ", which stays as it is" +
            (problem.empty() ? "" : " (" + problem + ")"));
      }
      break;
    }
    case FileStatus::NotRegular:
      Say(file.message + "; it is left alone, so the records cannot be saved there; " + elsewhere);
      toldWhere = true;
      break;
    case FileStatus::TooLarge:
      Say(file.message + kept);
      break;
    default:
      // Not read is not damaged: a file that may be whole is never replaced.
      Say(file.message + "; it is left as it is, and " + elsewhere);
      toldWhere = true;
      break;
  }
  if (const std::string blocked = SavingIsBlocked(path.c_str()); !blocked.empty() && !toldWhere) {
    Say(blocked + "; " + elsewhere);
  }
  g.loadedPastPracticeSeconds = g.pastPracticeSeconds;
  for (int level = 0; level < LevelCount; ++level) {
    for (int row = 0; row < RowSetCount; ++row) {
      g.loadedBestTime[level][row] = g.CourseRecordTable[level][row].bestTime;
      g.loadedPracticeSeconds[level][row] = g.CourseRecordTable[level][row].practiceSeconds;
    }
  }
  BuildKeyPositionTable(g);
  FormatDate(*g.clock, g.startDate);
  FormatTimeOfDay(*g.clock, g.startClock);
  g.startTime = CalendarSeconds(*g.clock);
  g.startSteadyMs = g.clock->SteadyMs();
  g.endSteadyMs = g.startSteadyMs;
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

int LoadRecordText(GameGlobals& g, const std::string& bytes, std::string* problem) {
  RecordText start;
  std::memcpy(start.courses, g.CourseRecordTable, sizeof start.courses);
  start.pastPracticeSeconds = g.pastPracticeSeconds;
  RecordText r = ReadRecordText(bytes, start);
  std::memcpy(g.CourseRecordTable, r.courses, sizeof g.CourseRecordTable);
  g.pastPracticeSeconds = r.pastPracticeSeconds;
  if (problem != nullptr) *problem = r.problem;
  return r.complete ? 1 : 0;
}

int LoadRecordFile(GameGlobals& g, std::FILE* file) {
  assert(file != nullptr && "LoadRecordFile needs an open file");
  std::string bytes(MaxRecordFileBytes, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  return LoadRecordText(g, bytes, nullptr);
}

int SaveRecordFile(GameGlobals& g) {
  const std::string path = RecordFilePath(g);
  CourseRecord table[LevelCount][RowSetCount];
  std::memcpy(table, g.CourseRecordTable, sizeof table);
  std::int64_t total = static_cast<std::int64_t>(g.pastPracticeSeconds) + RunningSeconds(g);

  // What is on disk now decides: merged with when it reads, given a second
  // name when it is damaged, left alone when it could not be read or is not
  // a file at all.
  std::string bytes;
  FileResult disk = ReadRegularFile(path.c_str(), MaxRecordFileBytes, &bytes);
  std::string damaged;
  switch (disk.status) {
    case FileStatus::Ok: {
      RecordText onDisk = ReadRecordText(bytes, RecordText{});
      if (onDisk.problem.empty()) {
        MergeWithDisk(g, onDisk, table, &total);
      } else {
        damaged = path + ": " + onDisk.problem;
      }
      break;
    }
    case FileStatus::Missing:
      break;
    case FileStatus::TooLarge:
      damaged = disk.message;
      break;
    case FileStatus::NotRegular:
      return KeepUnsavedRecords(g, disk.message + ", left alone", SessionRecordText(g));
    default:
      return KeepUnsavedRecords(g, disk.message + ", so it is left as it is", SessionRecordText(g));
  }

  std::string text;
  if (!FormatRecordFile(g.LanguageFlag, table, total, &text)) return 0;
  if (!damaged.empty()) {
    std::string backup;
    FileResult kept = KeepCopy(path.c_str(), CalendarSeconds(*g.clock), &backup);
    if (!kept.Ok()) {
      return KeepUnsavedRecords(g, damaged + "; " + kept.message + ", so it was not replaced",
                                text);
    }
    Say(damaged + "; kept as " + backup);
  }
  FileResult saved = ReplaceFile(path.c_str(), text);
  if (!saved.Ok()) return KeepUnsavedRecords(g, saved.message, text);
  return 1;
}

int KeepRecordsElsewhere(GameGlobals& g, const std::string& why) {
  return KeepUnsavedRecords(g, why, SessionRecordText(g));
}
