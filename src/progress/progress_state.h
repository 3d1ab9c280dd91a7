// What the progress room keeps in GameGlobals: this session's key counts and
// the target now on screen. Only plain values, so a fresh GameGlobals starts
// with nothing counted and a headless run gives the same counts every time.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/types.h"

constexpr int ProgressLevels = 3;
constexpr int ProgressLetters = 26;  // targets are the capitals A..Z

// One target letter at one level.
struct KeyCounts {
  std::int64_t target = 0;                 // times it was the target and a key was typed for it
  std::int64_t misses = 0;                 // wrong keys typed while it was the target
  std::int64_t recalled = 0;               // Standard and Expert: correct before its mole appeared
  std::int64_t lookedUp = 0;               // Standard and Expert: correct after its mole appeared
  std::int64_t timed = 0;                  // correct keys, each timed from the target's appearance
  std::int64_t timeMs = 0;                 // the sum of those times
  std::map<int, std::int64_t> confusions;  // wrong key code 1..127 -> times typed instead
};

struct KeyStatistics {
  KeyCounts keys[ProgressLevels][ProgressLetters];
};

struct ProgressState {
  // Counted in this session only; added to what the file holds at exit, so two
  // games in one folder both keep what they counted.
  KeyStatistics session;

  // The target on screen.
  TimeStamp targetShown{};
  int targetAnswered = 0;  // a key was typed for it, so it counted as a target
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
};
