// The exit sequence: settle, save, and report once what could not be saved.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/safe_file.h"
#include "practice/practice.h"
#include "progress/progress.h"
#include "records/records.h"
#include "texts/records.h"

void BuildSaveFailureList(const GameGlobals& g, char out[256]) {
  const struct {
    int saved;
    std::string name;
  } files[] = {{g.recordFileSaved, RecordFilePath(g)},
               {g.practiceLogSaved, PracticeLogPath(g)},
               {g.speedLogSaved, SpeedLogPath(g)},
               {g.progress.keysSaved, KeyStatisticsPath(g)},
               {g.progress.runsSaved, RunHistoryPath(g)}};
  std::size_t used = 0;
  out[0] = '\0';
  for (const auto& f : files) {
    if (f.saved != 0) continue;
    int n = std::snprintf(out + used, 256 - used, "%s ", f.name.c_str());
    if (n > 0) used = std::min<std::size_t>(255, used + static_cast<std::size_t>(n));
  }
}

void RunExitSequence(GameGlobals& g, View& view) {
  // Without loaded records, rewriting the file would replace the user's
  // history with an empty table.
  if (!g.recordsStarted) return;
  SettlePracticeAtExit(g);
  g.endTime = CalendarSeconds(*g.clock);
  g.endSteadyMs = g.clock->SteadyMs();
  const std::int64_t running = std::min<std::int64_t>(RunningSeconds(g), INT32_MAX);
  g.practiceLogSaved =
      AppendPracticeLog(g, g.startDate, g.startClock, static_cast<std::int32_t>(running));
  {
    // Two games in one folder save one after the other, each merging with
    // what the other left. The lock is held until every file beside the
    // record file is in place (it is not re-entrant: take it once). A slow
    // disk under another game's save is waited for; a game that cannot get
    // the lock writes over nothing, since the other may still be writing.
    FolderLock lock(RecordFilePath(g).c_str(), g.saveLockWaitMs,
                    [] { std::fprintf(stderr, "wenlotka: waiting for another game to save\n"); });
    if (lock.Held()) {
      g.recordFileSaved = SaveRecordFile(g);
      SaveKeyStatistics(g, std::cerr);
    } else {
      g.recordFileSaved = KeepRecordsElsewhere(g, lock.Message());
      KeepKeyStatisticsElsewhere(g, std::cerr, lock.Message());
    }
  }
  if (!AnySaveFailed(g)) return;
  char list[256];
  BuildSaveFailureList(g, list);
  std::vector<std::string> lines = {"Practice Recod File", list, "Could not be saved"};
  if (!g.unsavedCopies.empty()) {
    lines.push_back("This session is kept in");
    lines.insert(lines.end(), g.unsavedCopies.begin(), g.unsavedCopies.end());
  }
  view.ShowModalReport(
      g.LanguageFlag == 1 ? "Practice Record write error" : sjis::SaveErrorCaptionJa, lines);
}

bool AnySaveFailed(const GameGlobals& g) {
  return g.recordFileSaved == 0 || g.practiceLogSaved == 0 || g.speedLogSaved == 0 ||
         g.progress.keysSaved == 0 || g.progress.runsSaved == 0;
}
