// The practice-record screen: total practice time, time since start-up, and
// for every course its best time, the date it was set and its practice time.
#include <cassert>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "records/records.h"
#include "screens/screens.h"
#include "texts/screens.h"
#include "textscreen/textscreen.h"

namespace {

constexpr char PastPracticeTimeEn[] = "Past Practice Time  %5dhour%2dmin%2dsec";
constexpr char CurrentElapsedTimeEn[] = "Current Elapsed Time%5dhour%2dmin%2dsec";
constexpr char ReturnPromptEn[] = "Press ESC Key to Return to Menu";
constexpr char CoursePracticeTimeEn[] = "%5dhour%2dmin%2dsec";

constexpr char NoBestTime[] = "     ";
constexpr char NoDate[] = "        ";
constexpr int DateLength = 8;

// Columns of the values, counted from the x of the first row; each value
// ends under the last letter of its header word.
constexpr int BestTimeColumn = 34;
constexpr int DateColumn = 44;
constexpr int PracticeTimeColumn = 54;

constexpr TextItem BeginnerHeader[] = {
    {.y = 48,
     .x = 1,
     .text = "Beginner's           Type record second         Date        Practice time"},
    {}};
constexpr TextItem StandardHeader[] = {
    {.y = 160,
     .x = 1,
     .text = "Standard             Type record second         Date        Practice time"},
    {}};
constexpr TextItem ExpertHeader[] = {
    {.y = 272,
     .x = 1,
     .text = "Expert               Type record second         Date        Practice time"},
    {}};

constexpr TextItem CourseRows(int firstY, int rowSet) {
  return TextItem{.y = firstY + CellHeight * rowSet, .x = 1, .text = RowSetLabels[rowSet]};
}
constexpr TextItem BeginnerRows[] = {CourseRows(64, 0),
                                     CourseRows(64, 1),
                                     CourseRows(64, 2),
                                     CourseRows(64, 3),
                                     CourseRows(64, 4),
                                     CourseRows(64, 5),
                                     {}};
constexpr TextItem StandardRows[] = {CourseRows(176, 0),
                                     CourseRows(176, 1),
                                     CourseRows(176, 2),
                                     CourseRows(176, 3),
                                     CourseRows(176, 4),
                                     CourseRows(176, 5),
                                     {}};
constexpr TextItem ExpertRows[] = {CourseRows(288, 0),
                                   CourseRows(288, 1),
                                   CourseRows(288, 2),
                                   CourseRows(288, 3),
                                   CourseRows(288, 4),
                                   CourseRows(288, 5),
                                   {}};
static_assert(std::size(BeginnerRows) == RowSetCount + 1, "one row per course and the end");
static_assert(std::size(StandardRows) == RowSetCount + 1, "one row per course and the end");
static_assert(std::size(ExpertRows) == RowSetCount + 1, "one row per course and the end");

constexpr const TextItem* LevelHeaders[LevelCount] = {BeginnerHeader, StandardHeader, ExpertHeader};
constexpr const TextItem* LevelRows[LevelCount] = {BeginnerRows, StandardRows, ExpertRows};

// Hours, minutes and seconds of `seconds` in `format`, cut to the buffer.
void FormatDuration(char* out, std::size_t size, const char* format, std::int64_t seconds) {
  int hours = 0;
  int minutes = 0;
  int secs = 0;
  SplitSeconds(seconds, &hours, &minutes, &secs);
  std::snprintf(out, size, format, hours, minutes, secs);
}

}  // namespace

void DrawRecordRows(GameGlobals& g, DeviceContext& dc, const TextItem* rows,
                    const double* bestTimes, const char* const* dates,
                    const std::int32_t* practiceSeconds) {
  if (rows == nullptr || rows[0].text == nullptr) return;
  const int x0 = rows[0].x;
  const char* timeFormat = g.LanguageFlag == 1 ? CoursePracticeTimeEn : sjis::CoursePracticeTimeJa;

  for (int i = 0; rows[i].text != nullptr; ++i) {
    const TextItem& row = rows[i];
    PutText(g, dc, row.y, row.x, row.text);

    char best[32];
    if (bestTimes != nullptr && bestTimes[i] != 0.0) {
      std::snprintf(best, sizeof best, "%5.0lf", bestTimes[i]);
    } else {
      std::snprintf(best, sizeof best, "%s", NoBestTime);
    }
    PutText(g, dc, row.y, x0 + BestTimeColumn * CellWidth, best);

    PutText(g, dc, row.y, x0 + DateColumn * CellWidth, dates != nullptr ? dates[i] : NoDate);

    char practice[64];
    FormatDuration(practice, sizeof practice, timeFormat,
                   practiceSeconds != nullptr ? practiceSeconds[i] : 0);
    PutText(g, dc, row.y, x0 + PracticeTimeColumn * CellWidth, practice);
  }
}

void DrawRecordScreen(GameGlobals& g, DeviceContext& dc) {
  const bool english = g.LanguageFlag == 1;
  char line[128];

  ClearScreen(g, dc);
  FormatDuration(line, sizeof line, english ? PastPracticeTimeEn : sjis::PastPracticeTimeJa,
                 g.pastPracticeSeconds);
  SetColors(dc, ColorGreen, ColorWhite);
  PutText(g, dc, 1, 1, line);
  SetColors(dc, ColorNavy, ColorWhite);
  PutText(g, dc, 1, 43 * CellWidth, english ? ReturnPromptEn : sjis::RecordReturnPromptJa);

  assert(g.clock != nullptr && "the record screen needs the game clock");
  if (g.clock != nullptr) {
    g.endTime = CalendarSeconds(*g.clock);
    g.endSteadyMs = g.clock->SteadyMs();
  }
  FormatDuration(line, sizeof line, english ? CurrentElapsedTimeEn : sjis::CurrentElapsedTimeJa,
                 RunningSeconds(g));
  SetColors(dc, ColorGreen, ColorWhite);
  PutText(g, dc, CellHeight, 1, line);

  for (int level = 0; level < LevelCount; ++level) {
    const CourseRecord* courses = g.CourseRecordTable[level];
    double bestTimes[RowSetCount];
    std::int32_t practiceSeconds[RowSetCount];
    // Dates are copied with a terminator of our own, so a date field that
    // lost its end can never run into the next course.
    char dateTexts[RowSetCount][DateLength + 1];
    const char* dates[RowSetCount];
    for (int i = 0; i < RowSetCount; ++i) {
      bestTimes[i] = courses[i].bestTime;
      practiceSeconds[i] = courses[i].practiceSeconds;
      const std::size_t length = strnlen(courses[i].bestDate, DateLength);
      std::memcpy(dateTexts[i], courses[i].bestDate, length);
      dateTexts[i][length] = '\0';
      dates[i] = dateTexts[i];
    }
    SetColors(dc, ColorNavy, ColorWhite);
    PutTextList(g, dc, LevelHeaders[level]);
    SetColors(dc, ColorBrown, ColorWhite);
    DrawRecordRows(g, dc, LevelRows[level], bestTimes, dates, practiceSeconds);
  }
  SetColors(dc, ColorBlack, ColorWhite);
}
