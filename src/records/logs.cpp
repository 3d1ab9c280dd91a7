// The practice log "wenlotka.log" and the speed log "wenlotka.spd": one line
// appended per call, the file opened and closed within it.
#include <cstdarg>
#include <cstdio>
#include <cstring>

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

// Writes one piece of a line; false when it was cut short or failed.
bool WritePiece(std::FILE* file, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool WritePiece(std::FILE* file, const char* format, ...) {
  char piece[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(piece, sizeof piece, format, args);
  va_end(args);
  if (n < 0 || static_cast<std::size_t>(n) >= sizeof piece) return false;
  return std::fwrite(piece, 1, static_cast<std::size_t>(n), file) == static_cast<std::size_t>(n);
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
  std::FILE* file = std::fopen(PracticeLogPath(g).c_str(), "a");
  if (file == nullptr) return 0;
  char reordered[9];
  ReorderDateText(reordered, date);
  int h, m, s;
  SplitSeconds(seconds, &h, &m, &s);
  bool ok = WritePiece(file, "%s %.8s", reordered, OrEmpty(timeOfDay));
  ok = WritePiece(
           file,
           g.LanguageFlag == 1 ? " Practice Time%3dhour%2dmin%2dsec\n" : sjis::PracticeLogTimeJa, h,
           m, s) &&
       ok;
  // A full disk often shows only when the buffer is flushed at close.
  ok = std::fclose(file) == 0 && ok;
  return ok ? 1 : 0;
}

int AppendSpeedLog(const GameGlobals& g, const char* levelName, const char* courseName,
                   const char* date, const char* timeOfDay, double runSeconds,
                   std::int32_t practiceSeconds) {
  std::FILE* file = std::fopen(SpeedLogPath(g).c_str(), "a");
  if (file == nullptr) return 0;
  const bool english = g.LanguageFlag == 1;
  char reordered[9];
  ReorderDateText(reordered, date);
  int h, m, s;
  SplitSeconds(practiceSeconds, &h, &m, &s);
  bool ok =
      WritePiece(file, english ? "%s %.8s %-10.64s %-14.64s" : "%s %.8s %-4.64s %-24.64s",
                 reordered, OrEmpty(timeOfDay), OrEmpty(levelName), OrEmpty(courseName)) &&
      WritePiece(file, english ? "%5.0lfsec" : sjis::SpeedLogRunTimeJa, runSeconds) &&
      WritePiece(file, english ? " total%5dhour%2dmin%2dsec\n" : sjis::SpeedLogTotalJa, h, m, s);
  ok = std::fclose(file) == 0 && ok;
  return ok ? 1 : 0;
}
