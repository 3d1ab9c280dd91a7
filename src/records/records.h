// Records and logs: the record file, the practice and speed logs, and the
// exit sequence with its report of failed saves. Files live in the working
// directory under their bare names.
//
// Operations, in order of use:
//   StartUpRecords      the view, once, before anything is drawn
//   AppendSpeedLog      the practice run, after a record-setting run
//   RunExitSequence     the app, once, when the message loop has ended
//   the rest            helpers of the above, exposed for tests and fuzzing
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/view.h"
#include "screens/game_globals.h"

#include <string>

// The names the files have with the default layout.
constexpr char RecordFileName[] = "wenlotka.rec";
constexpr char PracticeLogName[] = "wenlotka.log";
constexpr char SpeedLogName[] = "wenlotka.spd";

// The files of this session: "<fileStem>.rec" and "<fileStem>.spd", and the
// shared practice log.
std::string RecordFilePath(const GameGlobals& g);
std::string SpeedLogPath(const GameGlobals& g);
std::string PracticeLogPath(const GameGlobals& g);

// ---- Shared time helpers ---------------------------------------------------

inline void SplitSeconds(std::int64_t s, int* hours, int* minutes, int* seconds) {
  *hours = static_cast<int>(s / 3600);
  *minutes = static_cast<int>((s / 60) % 60);
  *seconds = static_cast<int>(s % 60);
}

// "MM/DD/YY" -> "YY/MM/DD".
inline void ReorderDate(char out[9], const char* date) {
  out[0] = date[6];
  out[1] = date[7];
  out[2] = '/';
  out[3] = date[0];
  out[4] = date[1];
  out[5] = '/';
  out[6] = date[3];
  out[7] = date[4];
  out[8] = '\0';
}

// Whole seconds from start-up to endSteadyMs: the difference of the two
// moments in whole seconds, as calendar stamps would give, but on the steady
// clock.
inline std::int64_t RunningSeconds(const GameGlobals& g) {
  auto whole = [](std::int64_t ms) { return ms >= 0 ? ms / 1000 : -((999 - ms) / 1000); };
  const std::int64_t s = whole(g.endSteadyMs) - whole(g.startSteadyMs);
  return s > 0 ? s : 0;
}

inline double ElapsedSeconds(TimeStamp start, TimeStamp end) {
  double e = static_cast<double>(end.seconds - start.seconds) +
             static_cast<double>(end.millis - start.millis) / 1000.0;
  return e < 0.0 ? 0.0 : e;
}

// ---- Record file -----------------------------------------------------------

// A record file is a few kilobytes; anything larger is not one and is kept.
constexpr std::size_t MaxRecordFileBytes = 64 * 1024;

// Loads the record file and says on standard error when it did not read
// (it is then kept, see SaveRecordFile) and when nothing can be saved beside
// it (the session is then kept elsewhere at exit, and the line says where).
// Puts back a complete file that a killed save left under a temporary name,
// and removes the temporary files of killed saves. With no record file but a
// backup of one, the backup is read. Each of those is told in one line.
void StartUpRecords(GameGlobals& g);
void BuildKeyPositionTable(GameGlobals& g);
// Reads a record file's text: every line that has the shape of its place in
// the layout (CR, LF or CR LF line ends, either language) sets its values.
// 1 when all 22 lines were there, 0 when the text ended early; `problem`
// (may be null) names the first line that did not read, empty when none.
int LoadRecordText(GameGlobals& g, const std::string& bytes, std::string* problem);
// The same for an open file, of which at most MaxRecordFileBytes are read.
int LoadRecordFile(GameGlobals& g, std::FILE* file);
// Rewrites the record file merged with what is on disk now (another game
// may have saved in between); a file there that does not read is first given
// a second name ".bak-YYYYMMDD-HHMMSS". Non-zero on success; the old file
// stays whole until the new one is renamed over it. A file that could not be
// read at all, or could not be replaced, stays as it is, and the session's
// records go to a file of the user's own (KeepUnsaved), named on standard
// error and in g.unsavedCopies. Call it holding the folder's FolderLock, as
// RunExitSequence does.
int SaveRecordFile(GameGlobals& g);
// The save for when the folder's lock could not be taken: the record file is
// not touched (another game may be writing it), the session's records go to
// a file of the user's own as above, and the result is 0.
int KeepRecordsElsewhere(GameGlobals& g, const std::string& why);

// ---- Logs ------------------------------------------------------------------

int AppendPracticeLog(const GameGlobals& g, const char* date, const char* timeOfDay,
                      std::int32_t seconds);
int AppendSpeedLog(const GameGlobals& g, const char* levelName, const char* courseName,
                   const char* date, const char* timeOfDay, double runSeconds,
                   std::int32_t practiceSeconds);

// ---- Exit sequence ---------------------------------------------------------

// The names of the files whose flag is 0, each followed by one blank.
void BuildSaveFailureList(const GameGlobals& g, char out[256]);
// Settle an open run, take the end time, append the practice log, rewrite the
// record file under the folder's lock, report failed saves through the view.
// Does nothing when StartUpRecords never ran.
void RunExitSequence(GameGlobals& g, View& view);
// True when any file of the exit sequence failed to save (the report was
// shown); a headless run then exits with a status of its own.
bool AnySaveFailed(const GameGlobals& g);
