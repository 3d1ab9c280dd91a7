// The practice log "wenlotka.log" and the speed log "wenlotka.spd": one line
// appended per call with a single write, the file opened and closed within it.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/safe_file.h"
#include "records/records.h"
#include "texts/records.h"

namespace {

// ReorderDate of a caller's date text, which may be shorter than MM/DD/YY
// when a date was never taken; missing bytes read as blanks.
void ReorderDateText(char out[9], const char* date) {
  char padded[9] = "        ";
  if (date != nullptr) std::memcpy(padded, date, strnlen(date, 8));
  ReorderDate(out, padded);
}

// Adds one piece of a line; false when it would be cut short.
bool AddPiece(std::string* line, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool AddPiece(std::string* line, const char* format, ...) {
  char piece[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(piece, sizeof piece, format, args);
  va_end(args);
  if (n < 0 || static_cast<std::size_t>(n) >= sizeof piece) return false;
  line->append(piece, static_cast<std::size_t>(n));
  return true;
}

// Appends a whole line with one write, never to anything but a regular file,
// and says why when it could not.
int AppendLine(const std::string& path, const std::string& line) {
  FileResult r = AppendToFile(path.c_str(), line);
  if (r.Ok()) return 1;
  std::fprintf(stderr, "wenlotka: %s\n", r.message.c_str());
  return 0;
}

const char* OrEmpty(const char* s) {
  return s != nullptr ? s : "";
}

}  // namespace

std::string RecordFilePath(const GameGlobals& g) {
  return std::string(g.fileStem) + ".rec";
}

std::string SpeedLogPath(const GameGlobals& g) {
  return std::string(g.fileStem) + ".spd";
}

std::string PracticeLogPath(const GameGlobals&) {
  return PracticeLogName;
}

int AppendPracticeLog(const GameGlobals& g, const char* date, const char* timeOfDay,
                      std::int32_t seconds) {
  char reordered[9];
  ReorderDateText(reordered, date);
  int h, m, s;
  SplitSeconds(seconds, &h, &m, &s);
  std::string line;
  if (!AddPiece(&line, "%s %.8s", reordered, OrEmpty(timeOfDay)) ||
      !AddPiece(
          &line,
          g.LanguageFlag == 1 ? " Practice Time%3dhour%2dmin%2dsec\n" : sjis::PracticeLogTimeJa, h,
          m, s)) {
    return 0;
  }
  return AppendLine(PracticeLogPath(g), line);
}

int AppendSpeedLog(const GameGlobals& g, const char* levelName, const char* courseName,
                   const char* date, const char* timeOfDay, double runSeconds,
                   std::int32_t practiceSeconds) {
  const bool english = g.LanguageFlag == 1;
  char reordered[9];
  ReorderDateText(reordered, date);
  int h, m, s;
  SplitSeconds(practiceSeconds, &h, &m, &s);
  std::string line;
  if (!AddPiece(&line, english ? "%s %.8s %-10.64s %-14.64s" : "%s %.8s %-4.64s %-24.64s",
                reordered, OrEmpty(timeOfDay), OrEmpty(levelName), OrEmpty(courseName)) ||
      !AddPiece(&line, english ? "%5.0lfsec" : sjis::SpeedLogRunTimeJa, runSeconds) ||
      !AddPiece(&line, english ? " total%5dhour%2dmin%2dsec\n" : sjis::SpeedLogTotalJa, h, m, s)) {
    return 0;
  }
  return AppendLine(SpeedLogPath(g), line);
}
