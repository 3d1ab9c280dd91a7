// The practice screen: title, prompts, status lines, the big target glyph and
// the keyboard field below them.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "practice/practice.h"
#include "texts/practice.h"
#include "textscreen/textscreen.h"

const TextItem CancelPrompt[] = {{32, 1, "Press ESC key to cancel"}, {0, 0, nullptr}};
const TextItem ResultPrompts[] = {{352, 192, "Press Enter key to try again"},
                                  {368, 192, "Press ESC key to go back to Menu"},
                                  {0, 0, nullptr}};
const TextItem RecordMessage[] = {{320, 64, sjis::RecordMessageText}, {0, 0, nullptr}};

namespace {

constexpr char NextKeyLabel[] = "is next key to press";
constexpr double TargetGlyphScale = 3.0;
// The row between the congratulations and the prompts, blank once the hands
// are gone, from under the start of the congratulations.
constexpr int ResultLineY = 336;
constexpr int ResultLineX = 64;
// Under the prompt the run starts with, left of the big target glyph (at
// most 32 columns).
constexpr int NoteY = 48;

bool English(const GameGlobals& g) {
  return g.LanguageFlag == 1;
}

// Draws one status line in its colour and returns the context to black on white.
void PutStatusLine(GameGlobals& g, DeviceContext& dc, int y, int x, ColorRef colour,
                   const char* text) {
  SetColors(dc, colour, ColorWhite);
  PutText(g, dc, y, x, text);
  SetColors(dc, ColorBlack, ColorWhite);
}

}  // namespace

void FormatRunTimeLine(const GameGlobals& g, char* out, std::size_t size) {
  std::snprintf(out, size, English(g) ? "It took%4.0lfsec to finish" : sjis::RunTimeFormatJa,
                g.runSeconds);
}

void FormatErrorCountLine(const GameGlobals& g, char* out, std::size_t size) {
  std::snprintf(out, size, English(g) ? "Error Count%3d" : sjis::ErrorCountFormatJa, g.errorCount);
}

void FormatTypeCountLine(const GameGlobals& g, char* out, std::size_t size) {
  std::snprintf(out, size, English(g) ? "Type count %3d" : sjis::TypeCountFormatJa, g.correctCount);
}

void FormatPracticeCountLine(const GameGlobals& g, char* out, std::size_t size) {
  const int count = g.currentCourse ? g.currentCourse->practiceCount : 0;
  std::snprintf(out, size, English(g) ? "Practice Count%4d" : sjis::PracticeCountFormatJa, count);
}

void FormatBestRecordLine(const GameGlobals& g, double bestTime, const char* bestDate, char* out,
                          std::size_t size) {
  std::snprintf(out, size, English(g) ? "Min Record%4.0lfsec Date%s" : sjis::BestRecordFormatJa,
                bestTime, bestDate);
}

void FormatResultLine(const GameGlobals& g, char* out, std::size_t size) {
  const double perMinute = g.runSeconds > 0 ? KeysPerRun * 60.0 / g.runSeconds : 0.0;
  // Whole percent, rounded down: 100 only for a run without a miss.
  const int accuracy = 100 * KeysPerRun / (KeysPerRun + std::max(0, g.errorCount));
  if (g.practiceLevel == 1) {
    std::snprintf(out, size,
                  English(g) ? "Speed%4.0lf keys/min  Accuracy%4d%%" : sjis::BeginnerResultLineJa,
                  perMinute, accuracy);
  } else {
    std::snprintf(out, size,
                  English(g) ? "Speed%4.0lf keys/min  Accuracy%4d%%  Recalled before the mole%3d"
                             : sjis::ResultLineJa,
                  perMinute, accuracy, g.progress.runRecalled);
  }
}

const char* WeakKeysUnjudgedNote(const GameGlobals& g) {
  return English(g) ? "No statistics: all keys alike" : sjis::WeakKeysUnjudgedJa;
}

void DrawPracticeTitle(GameGlobals& g, DeviceContext& dc, const char* format,
                       const char* courseName) {
  std::snprintf(g.practiceTitle, sizeof g.practiceTitle, format, courseName);
  const int length = static_cast<int>(std::strlen(g.practiceTitle));
  PutStatusLine(g, dc, 1, 320 - 4 * length, ColorPurple, g.practiceTitle);
}

void DrawRunTimeLine(GameGlobals& g, DeviceContext& dc) {
  char line[256];
  FormatRunTimeLine(g, line, sizeof line);
  PutStatusLine(g, dc, 32, 1, ColorNavy, line);
}

void DrawErrorCountLine(GameGlobals& g, DeviceContext& dc) {
  char line[256];
  FormatErrorCountLine(g, line, sizeof line);
  PutStatusLine(g, dc, 48, 512, ColorMaroon, line);
}

void DrawTypeCountLine(GameGlobals& g, DeviceContext& dc) {
  char line[256];
  FormatTypeCountLine(g, line, sizeof line);
  PutStatusLine(g, dc, 32, 512, ColorTeal, line);
}

void DrawPracticeCountLine(GameGlobals& g, DeviceContext& dc) {
  char line[128];
  FormatPracticeCountLine(g, line, sizeof line);
  PutStatusLine(g, dc, 16, English(g) ? 480 : 512, ColorGreen, line);
}

void DrawBestRecordLine(GameGlobals& g, DeviceContext& dc, double bestTime, const char* bestDate) {
  char line[256];
  FormatBestRecordLine(g, bestTime, bestDate, line, sizeof line);
  PutStatusLine(g, dc, 16, 1, ColorGreen, line);
}

void DrawResultLine(GameGlobals& g, DeviceContext& dc) {
  char line[256];
  FormatResultLine(g, line, sizeof line);
  PutStatusLine(g, dc, ResultLineY, ResultLineX, ColorNavy, line);
}

void DrawTargetKey(GameGlobals& g, DeviceContext& dc, int key) {
  if (key == 0) return;
  SetColors(dc, ColorBlue, ColorWhite);
  g.BoldText = 0;
  PutKeyGlyph(g, dc, 33, 273, key, TargetGlyphScale);
  SetColors(dc, ColorBlack, ColorWhite);
}

void DrawPracticeScreen(GameGlobals& g, DeviceContext& dc, const char* titleFormat) {
  const bool runOver = g.PlayState == PlayOver;
  const CourseRecord* course = g.currentCourse;

  ClearScreen(g, dc);
  DrawPracticeTitle(g, dc, titleFormat, g.currentCourseName);
  if (!runOver) {
    SetColors(dc, ColorTeal, ColorWhite);
    PutTextList(g, dc, CancelPrompt);
    SetColors(dc, ColorBlack, ColorWhite);
  }
  if (course && course->practiceCount != 0) DrawPracticeCountLine(g, dc);
  if (course && course->bestTime != 0.0) {
    DrawBestRecordLine(g, dc, course->bestTime, course->bestDate);
  }
  PutStatusLine(g, dc, 32, 304, ColorTeal, NextKeyLabel);
  // Before the big glyph, which reaches down into its row.
  if (g.weakKeysUnjudged) PutStatusLine(g, dc, NoteY, 1, ColorTeal, WeakKeysUnjudgedNote(g));
  DrawTargetKey(g, dc, g.targetKey);
  if (g.correctCount > 0) DrawTypeCountLine(g, dc);
  if (g.errorCount > 0) DrawErrorCountLine(g, dc);

  DrawKeyGuide(g, dc, g.practiceLevel == 3 ? CapsOnly : CapsWithLabels);
  if (!runOver) DrawHands(g, dc, 1);
  DrawKeyCell(g, dc, g.moleKey, Mole);
  if (!runOver) ShowFingerForKey(g, dc, g.moleKey, 1);
  DrawKeyCell(g, dc, g.missKey, Miss);

  if (runOver) {
    if (g.recordState >= 1 && g.recordState <= 3) {
      DrawRunTimeLine(g, dc);
      DrawResultLine(g, dc);
    }
    if (g.recordState == 2) {
      SetColors(dc, ColorGreen, ColorWhite);
      PutTextList(g, dc, RecordMessage);
    }
    SetColors(dc, ColorTeal, ColorWhite);
    PutTextList(g, dc, ResultPrompts);
    SetColors(dc, ColorBlack, ColorWhite);
  }
}
