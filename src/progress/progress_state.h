// What the progress room keeps in GameGlobals: this session's key counts and
// the target now on screen. Only plain values, so a fresh GameGlobals starts
// with nothing counted and a headless run gives the same counts every time.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"

constexpr int ProgressLevels = 3;
constexpr int ProgressLetters = 26;  // targets are the capitals A..Z

// How one target went, kept for the last few targets of each letter so that
// the Weak Keys course judges a key on what the learner does now.
struct RecentTarget {
  std::uint8_t misses = 0;  // wrong keys typed for it before the right one, at most 9
  char mode = 'r';          // 'r' recalled before its mole, 'l' looked up after it,
                            // 's' mole shown at once (Beginner's)
  std::int32_t ms = 0;      // from its appearance to the right key
};

constexpr int RecentTargetCount = 20;

// The last RecentTargetCount targets of a letter at a level, oldest first.
struct RecentTargets {
  RecentTarget items[RecentTargetCount];
  int count = 0;
};

// One target letter at one level.
struct KeyCounts {
  std::int64_t target = 0;                 // times it was the target and a key was typed for it
  std::int64_t misses = 0;                 // wrong keys typed while it was the target
  std::int64_t recalled = 0;               // Standard and Expert: correct before its mole appeared
  std::int64_t lookedUp = 0;               // Standard and Expert: correct after its mole appeared
  std::int64_t timed = 0;                  // correct keys, each timed from the target's appearance
  std::int64_t timeMs = 0;                 // the sum of those times
  std::map<int, std::int64_t> confusions;  // wrong key code 1..127 -> times typed instead
  RecentTargets recent;                    // the targets typed right most lately
};

struct KeyStatistics {
  KeyCounts keys[ProgressLevels][ProgressLetters];
};

// One line of "<stem>.runs".
struct RunEntry {
  char date[9] = {};   // YY/MM/DD
  char clock[9] = {};  // HH:MM:SS
  int course = 0;      // CourseCode
  std::int64_t seconds = 0;
  std::int64_t errors = 0;
  std::int64_t recalled = 0;
  std::int64_t lookedUp = 0;
};

struct ProgressState {
  // Counted in this session only; added to what the file holds at exit, so two
  // games in one folder both keep what they counted.
  KeyStatistics session;

  // The target on screen.
  TimeStamp targetShown{};
  int targetAnswered = 0;  // a key was typed for it, so it counted as a target
  int targetMisses = 0;    // wrong keys typed for it so far
  int moleShown = 0;

  // The run in progress.
  int runRecalled = 0;
  int runLookedUp = 0;

  // Why a run line was not appended; told once, at exit.
  std::string runsFailure;
  // 0 once the key statistics or a run line could not be saved; the exit
  // report names the file.
  int keysSaved = 1;
  int runsSaved = 1;

  // The progress screen: what the files and this session held when it was
  // opened, and why a file could not be read ("" when both read).
  KeyStatistics shownStatistics;
  std::vector<RunEntry> shownRuns;
  std::string shownProblem;
};
