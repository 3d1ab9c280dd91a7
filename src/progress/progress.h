// Learner progress: what each key has taught, and the history of completed
// runs, kept beside the record file as "<fileStem>.keys" and "<fileStem>.runs",
// and the report made from them.
//
// The practice run tells this room what happens through the Note... hooks.
// Only the Weak Keys course reads anything back, its letters' weights; the
// row-set courses play exactly as without this room.
//
// Operations, in order of use:
//   ChooseWeakKeyWeights the practice run, before every Weak Keys run
//   NoteTargetShown      the practice run, whenever a target appears
//   NoteMoleShown        the practice run, when the hint timer shows the mole
//   NoteKeyJudged        the practice run, for every key judged during a run
//   NoteRunCompleted     the practice run, on a run's last correct key (appends to .runs)
//   TidyKeyStatistics    start-up: what a killed save of the statistics left
//   OpenProgressScreen   DispatchKey, when main menu entry 6 is chosen
//   DrawProgressScreen   DrawCurrentScreen, for the progress screen
//   SaveKeyStatistics    the exit sequence, under the folder lock it holds
//   KeepKeyStatisticsElsewhere  the exit sequence, when it could not take the lock
//   RunProgressReport    main, for --report
//   the rest             helpers of the above: files, formats, merge, weak keys,
//                        report text and picture, exposed for tests and the benchmark
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_context.h"
#include "platform/safe_file.h"
#include "progress/progress_state.h"
#include "screens/game_globals.h"

// The names the report and the progress screen give levels and row sets.
inline constexpr const char* ProgressLevelNames[ProgressLevels + 1] = {"", "Beginner's", "Standard",
                                                                       "Expert"};
inline constexpr const char* ProgressRowSetNames[WeakKeysRowSet + 1] = {
    "",          "Home Row",       "Upper Row", "Home+Upper Row",
    "Lower Row", "Home+Lower Row", "All Row",   "Weak Keys"};

// ---- Hooks from the practice run ---------------------------------------------

// One weight per letter of `letters` for a Weak Keys run at the current level,
// from the statistics file and this session's counts. False, with `weights`
// untouched, when there are no statistics at that level yet.
bool ChooseWeakKeyWeights(GameGlobals& g, const char* letters, std::uint32_t* weights);

void NoteTargetShown(GameGlobals& g);
void NoteMoleShown(GameGlobals& g);
// `typed` is the judged key after NormaliseTypedKey, before the run moves on.
void NoteKeyJudged(GameGlobals& g, int typed);
void NoteRunCompleted(GameGlobals& g);

// ---- Saving at exit ------------------------------------------------------------

// Puts back a complete "<fileStem>.keys" that a killed save left under a
// temporary name, and removes the temporary files of killed saves; tells a
// file put back on `err`.
void TidyKeyStatistics(const GameGlobals& g, std::ostream& err);

// Adds this session's counts to what "<fileStem>.keys" holds now and replaces
// it. A file with lines that do not read is given a second name first (or,
// when that fails, left alone); one that could not be read at all is left
// alone; then, and when it cannot be replaced, this session's counts go to a
// file of the user's own (KeepUnsaved, named in g.unsavedCopies). Tells every
// failure, and a failed run-history append, on `err`. Returns false, and
// clears progress.keysSaved or runsSaved, when something was not saved.
bool SaveKeyStatistics(GameGlobals& g, std::ostream& err);
// The save for when the folder's lock could not be taken (`why`): the file is
// not touched, this session's counts go to a file of the user's own.
bool KeepKeyStatisticsElsewhere(GameGlobals& g, std::ostream& err, const std::string& why);

// ---- The progress screen -----------------------------------------------------------

// Reads the statistics files of the current layout, adds this session's counts
// and keeps them in g.progress for the screen to draw.
void OpenProgressScreen(GameGlobals& g);
void DrawProgressScreen(GameGlobals& g, DeviceContext& dc);

// ---- The report ------------------------------------------------------------------

// Reads the statistics files (KeyStatisticsPath, RunHistoryPath) in `folder`
// (empty: the working directory), changes none, prints the summary on `out`
// and, when `picturePath` is not empty, writes the picture there as PNG.
// With `everyLayout` every layout whose files hold keys or runs gets a
// section of its own and the picture shows the layout played last; else only
// the layout of `files` is read. Returns the exit status: 0, or 1 when a
// file could not be read or the picture could not be written.
int RunProgressReport(const GameGlobals& files, bool everyLayout, const std::string& folder,
                      const std::string& picturePath, std::ostream& out, std::ostream& err);

// ---- Files -------------------------------------------------------------------------

// "<fileStem>.keys" and "<fileStem>.runs", beside the record file.
std::string KeyStatisticsPath(const GameGlobals& g);
std::string RunHistoryPath(const GameGlobals& g);

// Reads the statistics files of `g`; a missing file reads as empty. False
// with a message naming the file, and its lines, when one cannot be read or
// has lines that do not read; the lines that read are taken all the same.
bool LoadKeyStatistics(const GameGlobals& g, KeyStatistics* stats, std::string* message);
bool LoadProgressFiles(const GameGlobals& g, KeyStatistics* stats, std::vector<RunEntry>* runs,
                       std::string* message);

// Version 2 is written; version 1, without the recent targets, still reads.
constexpr char KeyStatisticsHeader[] = "wenlotka-keys 2";
constexpr char KeyStatisticsHeaderV1[] = "wenlotka-keys 1";

std::string FormatKeyStatistics(const KeyStatistics& stats);
// Reads every line that reads; false with "line N: <reason>" for the lines
// that do not (the first few, "; "-joined) in `error` for anything but a
// file this program writes (CR LF line ends, comments and blank lines are
// accepted). A file whose first line is not the header holds nothing.
bool ParseKeyStatistics(std::string_view bytes, KeyStatistics* stats, std::string* error);
// Adds every count of `more` to `into`, stopping at the largest count; the
// recent targets of `more` follow those of `into`, the oldest dropped.
void AddKeyCounts(KeyCounts& into, const KeyCounts& more);
void AddRecentTarget(RecentTargets& recent, const RecentTarget& target);
void AddKeyStatistics(KeyStatistics& into, const KeyStatistics& more);
bool HasCounts(const KeyStatistics& stats);

std::string FormatRunLine(const RunEntry& run);
// Reads every run line that reads, in order; false with the lines that do
// not in `error`, as ParseKeyStatistics does (a line cut short by a full disk
// costs that line only).
bool ParseRunHistory(std::string_view bytes, std::vector<RunEntry>* runs, std::string* error);

// ---- Weak keys -------------------------------------------------------------------

// How weak each letter is at one level, and the keys a Weak Keys run drills.
struct WeakKeyPlan {
  int level = 0;                          // 1..3; 0 when there is nothing to judge
  bool anyStatistics = false;             // some letter was a target at this level
  double weakness[ProgressLetters] = {};  // 0 (clean and quick) .. 1, per letter A..Z
  bool judged[ProgressLetters] = {};      // enough targets to judge the letter
  char focus[6] = {};    // the 3 to 5 weakest judged letters worth drilling, weakest first
  char weakest[6] = {};  // the five weakest judged letters, weakest first
};

WeakKeyPlan PlanWeakKeys(const KeyStatistics& stats, int level);
// One weight per letter of `letters` (at most MaxTargetKeys): the focus about
// half, the others the rest by weakness with a floor; all alike without
// statistics.
void WeakKeyWeights(const WeakKeyPlan& plan, const char* letters, std::uint32_t* weights);
// The level of the last run, else the first level with statistics, else 0.
int PractisedLevel(const KeyStatistics& stats, const std::vector<RunEntry>& runs);
// The lines of the progress screen and the report, in the language of
// `languageFlag` (1 English, else Japanese, CP932).
std::string FormatWeakestKeys(const WeakKeyPlan& plan, int languageFlag);
std::string FormatPractiseNext(const WeakKeyPlan& plan, int languageFlag);

// ---- Report text and picture -------------------------------------------------------

std::string BuildReportText(const KeyStatistics& stats, const std::vector<RunEntry>& runs);

// The colour of a cap for a rate 0..1: light yellow, through orange, to red.
ColorRef RateColour(double rate);
// Keys never typed as targets keep the grey of the drawn keyboard.
constexpr ColorRef NoDataColour = 0x7F7F7F;

// The picture on the text screen of `g` (its ClientRect set by the caller):
// the keyboard coloured by miss rate, the keyboard coloured by look-up rate,
// and run times per course in the order the runs were played.
void DrawReportPicture(GameGlobals& g, DeviceContext& dc, const KeyStatistics& stats,
                       const std::vector<RunEntry>& runs);
