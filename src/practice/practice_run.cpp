// One practice run: starting a course, judging keys, the hint timer, timing,
// the record decision, retry and return, and settling an open run at exit.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/clock.h"
#include "practice/practice.h"
#include "progress/progress.h"
#include "records/records.h"
#include "screens/screens.h"
#include "textscreen/textscreen.h"

namespace {

constexpr int KeyEscape = 27;
constexpr int KeyEnter = 13;

constexpr const char* LevelNames[LevelCount + 1] = {"", "Beginner's", "Standard", "Expert"};

bool MoleWaitsForHint(const GameGlobals& g) {
  return g.practiceLevel != 1;
}

KeyCellState RestState(const GameGlobals& g) {
  return g.practiceLevel == 3 ? Unlabelled : Plain;
}

// Runs are timed on the steady clock: a system clock set back during a run
// would otherwise give a record that can never be beaten.
TimeStamp Now(const GameGlobals& g) {
  assert(g.clock && "the practice run needs a clock in GameGlobals");
  return SteadyStamp(*g.clock);
}

// The label of the menu entry that chooses the course, or "" when the menu
// has none. The six row sets are entries 1 to 6; Weak Keys comes after the
// way back.
const char* CourseLabel(const MenuTable* menu, int courseCode) {
  if (!menu || !menu->entries) return "";
  for (const MenuEntry* e = menu->entries; e->label; ++e) {
    if (e->code == courseCode) return e->label;
  }
  return "";
}

// Adds a span to the course's practice time; the sum keeps whole seconds.
// A hand-edited record file can bring a total near the 32-bit limit; the sum
// then stays at the limit instead of wrapping to a negative time.
void AddPracticeTime(GameGlobals& g, double seconds) {
  CourseRecord& course = *g.currentCourse;
  double sum = TruncateSeconds(course.practiceSeconds + seconds);
  course.practiceSeconds = sum >= static_cast<double>(INT32_MAX)
                               ? INT32_MAX
                               : static_cast<std::int32_t>(std::max(sum, 0.0));
}

void CommitPendingRecord(GameGlobals& g) {
  if (!g.currentCourse || (g.recordState != 1 && g.recordState != 2)) return;
  g.currentCourse->bestTime = g.pendingBestTime;
  ReorderDate(g.currentCourse->bestDate, g.runEndDate);
}

void EraseCancelPrompt(GameGlobals& g, DeviceContext& dc) {
  SetColors(dc, ColorWhite, ColorWhite);
  BlankText(g, dc, CancelPrompt[0].y, CancelPrompt[0].x, CancelPrompt[0].text);
  SetColors(dc, ColorBlack, ColorWhite);
}

void DrawResultPrompts(GameGlobals& g, DeviceContext& dc) {
  SetColors(dc, ColorTeal, ColorWhite);
  PutTextList(g, dc, ResultPrompts);
  SetColors(dc, ColorBlack, ColorWhite);
}

void NextTarget(GameGlobals& g) {
  g.targetIndex = PickWeightedTargetIndex(g, g.keyString, g.targetWeights, g.targetIndex);
  g.targetKey = g.keyString[g.targetIndex];
}

// The row-set courses draw every letter alike; Weak Keys weighs each letter
// by how weak the learner is at it now, so it asks again before every run.
void SetTargetWeights(GameGlobals& g) {
  const std::size_t letters = std::strlen(g.keyString);
  assert(letters <= MaxTargetKeys && "a course draws from at most MaxTargetKeys letters");
  std::fill(g.targetWeights, g.targetWeights + letters, 1u);
  g.weakKeysUnjudged = 0;
  if (g.rowSet == WeakKeysRowSet && !ChooseWeakKeyWeights(g, g.keyString, g.targetWeights)) {
    g.weakKeysUnjudged = 1;
  }
}

// The first target of a run: shown at once in Beginner's, after the longer
// first hint delay otherwise.
void ArmFirstTarget(GameGlobals& g, View& view) {
  NoteTargetShown(g);
  if (MoleWaitsForHint(g)) {
    g.moleKey = 0;
    view.SetTimer(g.targetKey, FirstHintDelay);
  } else {
    g.moleKey = g.targetKey;
  }
}

void CompleteRun(GameGlobals& g, DeviceContext& dc) {
  CourseRecord& course = *g.currentCourse;
  g.runEnd = Now(g);
  g.runSeconds = ElapsedSeconds(g.runStart, g.runEnd);
  if (g.runSeconds <= 0.0) g.runSeconds = 1.0;
  g.runSeconds = TruncateSeconds(g.runSeconds);
  // A best time of 0 means "no record": a run under a second counts as 1 s,
  // or it would show as a date without a time and never be beaten.
  if (g.runSeconds < 1.0) g.runSeconds = 1.0;
  AddPracticeTime(g, g.runSeconds);

  EraseCancelPrompt(g, dc);
  DrawRunTimeLine(g, dc);
  DrawHands(g, dc, 0);
  DrawResultLine(g, dc);  // where the hands were

  // A Weak Keys run draws what this learner needs at the moment, so its
  // times cannot be compared from run to run: it sets no record and adds no
  // speed-log line.
  const bool recordKept = g.rowSet != WeakKeysRowSet;
  const double best = course.bestTime;
  if (recordKept && (best == 0.0 || best > g.runSeconds)) {
    if (best > 0.0) {
      SetColors(dc, ColorGreen, ColorWhite);
      PutTextList(g, dc, RecordMessage);
      SetColors(dc, ColorBlack, ColorWhite);
      g.recordState = 2;
    } else {
      g.recordState = 1;
    }
    g.pendingBestTime = g.runSeconds;
    FormatDate(*g.clock, g.runEndDate);
    FormatTimeOfDay(*g.clock, g.runEndClock);
    // Once a line is lost the exit report must say so, whatever later
    // appends manage, so a failure is never overwritten by a success.
    if (!AppendSpeedLog(g, g.currentLevelName, g.currentCourseName, g.runEndDate, g.runEndClock,
                        g.runSeconds, course.practiceSeconds)) {
      g.speedLogSaved = 0;
    }
  } else {
    g.recordState = 3;
  }

  NoteRunCompleted(g);
  g.PlayState = PlayOver;
  course.practiceCount += 1;
  DrawPracticeCountLine(g, dc);
  DrawResultPrompts(g, dc);
}

void JudgeCorrectKey(GameGlobals& g, View& view, DeviceContext& dc) {
  if (!g.runTiming) {
    g.runStart = Now(g);
    g.runTiming = 1;
  }
  if (MoleWaitsForHint(g) && g.moleKey == 0) view.KillTimer(g.targetKey);
  DrawKeyCell(g, dc, g.missKey, RestState(g));
  g.missKey = 0;
  DrawKeyCell(g, dc, g.moleKey, RestState(g));
  ShowFingerForKey(g, dc, g.moleKey, 0);
  g.moleKey = 0;

  g.correctCount += 1;
  DrawTypeCountLine(g, dc);
  if (g.correctCount < KeysPerRun) {
    NextTarget(g);
    NoteTargetShown(g);
    if (MoleWaitsForHint(g)) {
      view.SetTimer(g.targetKey, HintDelay);
    } else {
      g.moleKey = g.targetKey;
    }
    DrawTargetKey(g, dc, g.targetKey);
    DrawKeyCell(g, dc, g.moleKey, Mole);
    ShowFingerForKey(g, dc, g.moleKey, 1);
  } else {
    CompleteRun(g, dc);
  }
}

void JudgeMiss(GameGlobals& g, View& view, DeviceContext& dc, int typed) {
  g.errorCount += 1;
  if (MoleWaitsForHint(g) && g.moleKey == 0) {
    // The hint delay starts again from this miss.
    view.KillTimer(g.targetKey);
    view.SetTimer(g.targetKey, HintDelay);
  }
  DrawKeyCell(g, dc, g.missKey, RestState(g));
  g.missKey = static_cast<char>(typed);
  DrawKeyCell(g, dc, g.missKey, Miss);
  DrawErrorCountLine(g, dc);
}

void CancelRun(GameGlobals& g, View& view, DeviceContext& dc) {
  if (MoleWaitsForHint(g) && g.moleKey == 0) view.KillTimer(g.targetKey);
  DrawHands(g, dc, 0);
  if (g.runTiming) {
    g.runEnd = Now(g);
    double elapsed = ElapsedSeconds(g.runStart, g.runEnd);
    if (elapsed <= 0.0) elapsed = 1.0;
    AddPracticeTime(g, elapsed);
    g.runTiming = 0;
  }
  g.PlayState = PlayOver;
  g.recordState = 0;
  EraseCancelPrompt(g, dc);
  DrawResultPrompts(g, dc);
}

void LeaveToLevelMenu(GameGlobals& g, DeviceContext& dc) {
  CommitPendingRecord(g);
  g.recordState = 0;
  g.screenId = 10 + g.practiceLevel;
  g.PlayState = PlayLevelMenu;
  DrawCurrentScreen(g, dc);
}

void RetryRun(GameGlobals& g, View& view, DeviceContext& dc) {
  g.PlayState = PlayRunning;
  g.correctCount = 0;
  g.errorCount = 0;
  g.runTiming = 0;
  g.missKey = 0;
  CommitPendingRecord(g);
  g.recordState = 0;
  SetTargetWeights(g);
  // The previous run's last target is passed on, so the new first one differs.
  NextTarget(g);
  ArmFirstTarget(g, view);
  DrawCurrentScreen(g, dc);
}

}  // namespace

int TargetIndexForDraw(int length, int previousIndex, int draw) {
  assert(length > 0 && "a key string to draw targets from must not be empty");
  const double u = draw / 32768.0;
  if (previousIndex < 0 || length == 1) return static_cast<int>(std::trunc(length * u));
  const int offset = static_cast<int>(std::trunc((length - 1) * u)) + 1;
  return (previousIndex + offset) % length;
}

int PickTargetIndex(GameGlobals& g, const char* keyString, int previousIndex) {
  const int length = static_cast<int>(std::strlen(keyString));
  return TargetIndexForDraw(length, previousIndex, NextRandom(g.random));
}

int WeightedTargetIndexForDraw(int length, const std::uint32_t* weights, int previousIndex,
                               int draw) {
  assert(length > 0 && "a key string to draw targets from must not be empty");
  // The candidates in turn from the one after the previous target, the way
  // TargetIndexForDraw counts its offset; in whole numbers, so that equal
  // weights land on exactly the index it gives for the same draw.
  const bool skipPrevious = previousIndex >= 0 && length > 1;
  const int first = skipPrevious ? previousIndex + 1 : 0;
  const int count = skipPrevious ? length - 1 : length;
  std::uint64_t total = 0;
  for (int k = 0; k < count; ++k) total += weights[(first + k) % length];
  if (total == 0) return TargetIndexForDraw(length, previousIndex, draw);
  const std::uint64_t point = static_cast<std::uint64_t>(draw) * total / (RandomMax + 1);
  std::uint64_t sum = 0;
  for (int k = 0; k < count; ++k) {
    sum += weights[(first + k) % length];
    if (point < sum) return (first + k) % length;
  }
  return (first + count - 1) % length;
}

int PickWeightedTargetIndex(GameGlobals& g, const char* keyString, const std::uint32_t* weights,
                            int previousIndex) {
  const int length = static_cast<int>(std::strlen(keyString));
  return WeightedTargetIndexForDraw(length, weights, previousIndex, NextRandom(g.random));
}

int NormaliseTypedKey(int key) {
  return (key >= 'a' && key <= 'z') ? key - ('a' - 'A') : key;
}

double TruncateSeconds(double seconds) {
  return std::trunc(seconds);
}

void StartPractice(GameGlobals& g, View& view, DeviceContext& dc, const MenuTable* levelMenu,
                   int courseCode) {
  const int level = courseCode / 100;
  const int rowSet = courseCode - 100 * level;
  assert(level >= 1 && level <= LevelCount && "course code with an unknown level");
  assert(rowSet >= 1 && rowSet <= WeakKeysRowSet && "course code with an unknown row set");
  const bool weakKeys = rowSet == WeakKeysRowSet;

  g.practiceLevel = level;
  g.currentLevelName = LevelNames[level];
  g.rowSet = rowSet;
  g.currentCourse =
      weakKeys ? &g.WeakKeysRecords[level - 1] : &g.CourseRecordTable[level - 1][rowSet - 1];
  g.recordState = 0;
  g.currentCourseName = CourseLabel(levelMenu, courseCode);

  g.correctCount = 0;
  g.errorCount = 0;
  // Weak Keys draws from every letter of the layout, as All Row does.
  g.keyString = CurrentLayout(g).targetKeys[weakKeys ? RowSetCount : rowSet];
  SetTargetWeights(g);
  g.targetIndex = PickWeightedTargetIndex(g, g.keyString, g.targetWeights, -1);
  g.targetKey = g.keyString[g.targetIndex];
  ArmFirstTarget(g, view);
  g.missKey = 0;
  g.runTiming = 0;
}

void JudgePracticeKey(GameGlobals& g, View& view, DeviceContext& dc, int key) {
  if (key == KeyEscape && g.PlayState == PlayRunning) {
    CancelRun(g, view, dc);
    return;
  }
  if (key == KeyEscape && g.PlayState == PlayOver) {
    LeaveToLevelMenu(g, dc);
    return;
  }
  if (key == KeyEnter && g.PlayState == PlayOver) {
    RetryRun(g, view, dc);
    return;
  }
  if (g.PlayState != PlayRunning) return;

  const int typed = NormaliseTypedKey(key);
  NoteKeyJudged(g, typed);
  if (typed == g.targetKey) {
    JudgeCorrectKey(g, view, dc);
  } else {
    JudgeMiss(g, view, dc, typed);
  }
}

void HintTick(GameGlobals& g, View& view, DeviceContext& dc, int timerId) {
  DrawKeyCell(g, dc, g.targetKey, Mole);
  ShowFingerForKey(g, dc, g.targetKey, 1);
  g.moleKey = g.targetKey;
  NoteMoleShown(g);
  view.KillTimer(timerId);
}

void SettlePracticeAtExit(GameGlobals& g) {
  if (!g.currentCourse) return;
  if (g.PlayState == PlayRunning && g.runTiming) {
    // Unlike a cancel, an open run adds what elapsed with no one-second minimum.
    g.runEnd = Now(g);
    g.runSeconds = ElapsedSeconds(g.runStart, g.runEnd);
    AddPracticeTime(g, g.runSeconds);
  } else if (g.PlayState == PlayOver) {
    CommitPendingRecord(g);
  }
}
