// GameGlobals: the one record of all mutable game state.
//
// Every game operation takes it first. The app creates one for the process;
// a test creates a fresh one. Nothing else in the game is mutable and global:
// menus, texts, key strings and kana tables are constant tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/random.h"
#include "platform/types.h"
#include "progress/progress_state.h"

class Clock;

// Screen ids, play states and menu codes of the screen state machine.
constexpr int TitleScreenId = 0;
constexpr int MainMenuScreenId = 1;
constexpr int BeginnerMenuScreenId = 11;
constexpr int StandardMenuScreenId = 12;
constexpr int ExpertMenuScreenId = 13;
constexpr int RecordScreenId = 19;
// The learner's progress, main menu entry 6: a screen of its own whose id no
// menu or course uses.
constexpr int ProgressScreenId = 20;
constexpr int BackToMainMenuCode = 9001;
constexpr int EndProgramCode = 9999;

constexpr int PlayTitle = 0;
constexpr int PlayMainMenu = 1;
constexpr int PlayLevelMenu = 2;
constexpr int PlayRunning = 3;
constexpr int PlayOver = 4;

// A positioned text; static lists end with a null text.
struct TextItem {
  int y = 0;
  int x = 0;
  const char* text = nullptr;
};

// One line of a menu; a null label ends a table. Whether an entry is marked
// lives in GameGlobals::menuMarks, not here, so tables stay constant.
struct MenuEntry {
  int y = 0;
  int x = 0;
  const char* label = nullptr;
  int code = 0;
};

struct MenuTable {
  int screenId = 0;  // 1, 11, 12 or 13
  int markSlot = 0;  // row of GameGlobals::menuMarks
  const MenuEntry* entries = nullptr;
  const TextItem* title = nullptr;  // a one-line list
};

constexpr int MenuCount = 4;
constexpr int MaxMenuEntries = 10;

struct CourseRecord {
  double bestTime = 0.0;  // whole seconds; 0.0 = no record yet
  char bestDate[9] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', '\0'};  // YY/MM/DD
  std::int32_t practiceSeconds = 0;
  std::int32_t practiceCount = 0;  // runs completed since start-up
};

constexpr int LevelCount = 3;
constexpr int RowSetCount = 6;
// The Weak Keys course, entry 8 of each level menu: course code level x 100 + 7.
constexpr int WeakKeysRowSet = 7;
// The most letters a course draws its targets from (a layout's All Row).
constexpr int MaxTargetKeys = 32;

struct KeyPosition {
  int row = 0;
  int column = 0;
};

struct GameGlobals {
  // Screen state machine.
  int screenId = TitleScreenId;
  int PlayState = PlayTitle;
  const MenuTable* currentMenu = nullptr;
  int LanguageFlag = 1;
  int bannerPhase = 0;

  // Text screen: zoom switches, bold switch, client area, font records.
  int ZoomY = 0;
  int ZoomX = 0;
  int BoldText = 0;
  Rect ClientRect{};
  LogFont PrimaryLogFont{};
  LogFont WideLogFont{};

  // Key normalisation: a lead byte waiting for its trail byte.
  int pendingLeadByte = 0;
  unsigned char dbcsBuffer[3] = {0, 0, 0};

  // Menus: 1 where an entry was the last one chosen on its menu.
  int menuMarks[MenuCount][MaxMenuEntries] = {};

  // Practice state.
  int practiceLevel = 0;
  int rowSet = 0;
  const char* currentLevelName = "";
  const char* currentCourseName = "";
  CourseRecord* currentCourse = nullptr;
  const char* keyString = "";
  // How often each letter of keyString is drawn, relative to the others: all
  // alike in the row-set courses, by weakness in Weak Keys.
  std::uint32_t targetWeights[MaxTargetKeys] = {};
  // 1 while a Weak Keys run draws like All Row for want of statistics.
  int weakKeysUnjudged = 0;
  char targetKey = 0;
  int targetIndex = 0;
  char moleKey = 0;
  char missKey = 0;
  int correctCount = 0;
  int errorCount = 0;
  int runTiming = 0;
  TimeStamp runStart{};
  TimeStamp runEnd{};
  double runSeconds = 0.0;
  int recordState = 0;
  double pendingBestTime = 0.0;
  char runEndDate[9] = {};   // MM/DD/YY
  char runEndClock[9] = {};  // HH:MM:SS
  char practiceTitle[256] = {};

  // Records and logs.
  CourseRecord CourseRecordTable[LevelCount][RowSetCount]{};
  // The Weak Keys course of each level: practised like any course, but kept
  // for this session only, since the record file has no line for it.
  CourseRecord WeakKeysRecords[LevelCount]{};
  std::int32_t pastPracticeSeconds = 0;
  std::int64_t startTime = 0;
  std::int64_t endTime = 0;
  // The same two moments on the steady clock: the running time is measured
  // on it, so a clock set back or forward meanwhile changes no total.
  std::int64_t startSteadyMs = 0;
  std::int64_t endSteadyMs = 0;
  char startDate[9] = {};   // MM/DD/YY
  char startClock[9] = {};  // HH:MM:SS
  KeyPosition KeyPositionTable[256]{};
  // The keyboard in front of the user: an index into KeyboardLayouts
  // (src/practice/layouts.h), 0 for qwerty.
  int keyboardLayout = 0;
  // The stem of the files kept per keyboard layout ("<stem>.rec", "<stem>.spd"
  // and the statistics); the practice log is shared whatever the layout.
  char fileStem[32] = "wenlotka";
  // Set once StartUpRecords has run: only then may the exit path rewrite the
  // record file, so a failed start-up never overwrites the user's records.
  int recordsStarted = 0;
  // The total, the best times and the practice times as the record file
  // held them at start-up: a save adds what this session changed to what is
  // on disk then, so a game that saved in between keeps its records.
  std::int32_t loadedPastPracticeSeconds = 0;
  double loadedBestTime[LevelCount][RowSetCount] = {};
  std::int32_t loadedPracticeSeconds[LevelCount][RowSetCount] = {};

  // Save results, reported at exit.
  int recordFileSaved = 1;
  int practiceLogSaved = 1;
  int speedLogSaved = 1;
  // Where the bytes of a file that could not be saved were kept instead, for
  // the report.
  std::vector<std::string> unsavedCopies;
  // How long the exit save waits for another game's save in the same folder
  // (a slow disk can take seconds to sync).
  int saveLockWaitMs = 30000;

  // Learner progress: this session's key counts and the target on screen, a
  // value so that every fresh record (a test, a headless run) starts empty.
  ProgressState progress{};

  // Platform services: the app's clock, the game's random generator.
  const Clock* clock = nullptr;
  RandomGenerator random{};
};
