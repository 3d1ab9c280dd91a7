// The practice game: practice state, the run, the practice screen, the mole
// field and the key guide.
//
// Operations, in order of use:
//   StartPractice            DispatchKey, when a course is chosen
//   DrawPracticeScreen       DrawCurrentScreen, for screens 101..399
//   JudgePracticeKey         DispatchKey, for every key on a practice screen
//   HintTick                 DispatchTimer, for every timer id but 1
//   SettlePracticeAtExit     the exit sequence
//   the rest                 helpers of the above, exposed for tests
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/device_context.h"
#include "platform/view.h"
#include "practice/layouts.h"
#include "screens/game_globals.h"

// ---- Practice state --------------------------------------------------------

constexpr int KeysPerRun = 60;
constexpr int FirstHintDelay = 3000;
constexpr int HintDelay = 2000;

// Key strings of the six row sets on a QWERTY keyboard, indexed by rowSet
// (entry 0 unused). Other keyboards have their own (layouts.h).
extern const char* const TargetKeyStrings[RowSetCount + 1];
// The four rows of a QWERTY keyboard, top to bottom.
extern const char* const KeyboardRows[4];

// ---- Practice run ----------------------------------------------------------

void StartPractice(GameGlobals& g, View& view, DeviceContext& dc, const MenuTable* levelMenu,
                   int courseCode);
void JudgePracticeKey(GameGlobals& g, View& view, DeviceContext& dc, int key);
void HintTick(GameGlobals& g, View& view, DeviceContext& dc, int timerId);
void SettlePracticeAtExit(GameGlobals& g);

int PickTargetIndex(GameGlobals& g, const char* keyString, int previousIndex);
// The index PickTargetIndex gives for one draw of the generator.
int TargetIndexForDraw(int length, int previousIndex, int draw);
// The same with one weight per letter of the string: one draw of the
// generator, never the previous index again, each other letter as likely as
// its weight. Equal weights give exactly what PickTargetIndex gives.
int PickWeightedTargetIndex(GameGlobals& g, const char* keyString, const std::uint32_t* weights,
                            int previousIndex);
int WeightedTargetIndexForDraw(int length, const std::uint32_t* weights, int previousIndex,
                               int draw);
int NormaliseTypedKey(int key);
double TruncateSeconds(double seconds);

// ---- Practice screen -------------------------------------------------------

void DrawPracticeScreen(GameGlobals& g, DeviceContext& dc, const char* titleFormat);
void DrawPracticeTitle(GameGlobals& g, DeviceContext& dc, const char* format,
                       const char* courseName);
void DrawRunTimeLine(GameGlobals& g, DeviceContext& dc);
void DrawErrorCountLine(GameGlobals& g, DeviceContext& dc);
void DrawTypeCountLine(GameGlobals& g, DeviceContext& dc);
void DrawPracticeCountLine(GameGlobals& g, DeviceContext& dc);
void DrawBestRecordLine(GameGlobals& g, DeviceContext& dc, double bestTime, const char* bestDate);
void DrawTargetKey(GameGlobals& g, DeviceContext& dc, int key);
// After a completed run: keys per minute, accuracy and, in Standard and
// Expert, the keys recalled before their mole.
void DrawResultLine(GameGlobals& g, DeviceContext& dc);

// The status-line texts the Draw...Line operations print, in the language of
// g.LanguageFlag; always zero-terminated within `size`.
void FormatRunTimeLine(const GameGlobals& g, char* out, std::size_t size);
void FormatErrorCountLine(const GameGlobals& g, char* out, std::size_t size);
void FormatTypeCountLine(const GameGlobals& g, char* out, std::size_t size);
void FormatPracticeCountLine(const GameGlobals& g, char* out, std::size_t size);
void FormatBestRecordLine(const GameGlobals& g, double bestTime, const char* bestDate, char* out,
                          std::size_t size);
void FormatResultLine(const GameGlobals& g, char* out, std::size_t size);
// What a Weak Keys run with no statistics at its level says while it runs.
const char* WeakKeysUnjudgedNote(const GameGlobals& g);

extern const TextItem CancelPrompt[];
extern const TextItem ResultPrompts[];
extern const TextItem RecordMessage[];

// ---- Mole field ------------------------------------------------------------

enum KeyCellState { Mole = 0, Plain = 1, Unlabelled = 2, Miss = 3 };

struct FingerTip {
  int y = 0;
  int x = 0;
  int width = 0;
};
// Fingers 1..10 from the left (entry 0 unused).
extern const FingerTip FingerTable[11];

int FingerForColumn(int column);
void DrawKeyCell(GameGlobals& g, DeviceContext& dc, int key, KeyCellState state);
void FillKeyFace(GameGlobals& g, DeviceContext& dc, int y, int x, ColorRef colour);
void DrawHands(GameGlobals& g, DeviceContext& dc, int on);
void DrawFinger(GameGlobals& g, DeviceContext& dc, int y, int x, int width, int on);
void DrawNail(GameGlobals& g, DeviceContext& dc, int y, int x, int width, ColorRef colour);
void ShowFingerForKey(GameGlobals& g, DeviceContext& dc, int key, int show);

// ---- Key guide -------------------------------------------------------------

enum KeyGuideMode { CapsWithLabels = 0, CapsOnly = 1 };

// Row 1..4 and column 1..10 of a letter or digit; false when it has no place.
bool LocateKey(const GameGlobals& g, int key, int* row, int* column);
void KeyCapOrigin(int row, int column, int* y, int* x);
bool IsHomeKey(int row, int column);
void DrawKeyRow(GameGlobals& g, DeviceContext& dc, int rowIndex, const char* keys,
                KeyGuideMode mode);
void DrawKeyGuide(GameGlobals& g, DeviceContext& dc, KeyGuideMode mode);
