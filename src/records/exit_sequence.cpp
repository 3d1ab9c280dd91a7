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
               {g.speedLogSaved, SpeedLogPath(g)}};
  std::size_t used = 0;
  out[0] = '\0';
  for (const auto& f : files) {
    if (f.saved != 0) continue;
    int n = std::snprintf(out + used, 256 - used, "%s ", f.name.c_str());
    if (n > 0) used += static_cast<std::size_t>(n);
  }
}

void RunExitSequence(GameGlobals& g, View& view) {
  // Without loaded records, rewriting the file would replace the user's
  // history with an empty table.
  if (!g.recordsStarted) return;
  SettlePracticeAtExit(g);
  g.endTime = CalendarSeconds(*g.clock);
  // A clock set far back or forward must not wrap the logged running time.
  const std::int64_t running =
      std::clamp<std::int64_t>(g.endTime - g.startTime, INT32_MIN, INT32_MAX);
  g.practiceLogSaved =
      AppendPracticeLog(g, g.startDate, g.startClock, static_cast<std::int32_t>(running));
  {
    // Two games in one folder save one after the other, each merging with
    // what the other left. Files saved beside the record file belong inside
    // this block, under the same lock (it is not re-entrant: take it once).
    FolderLock lock(RecordFilePath(g).c_str());
    if (!lock.Held()) {
      // Saving merged but unlocked risks less than losing this session.
      std::fprintf(stderr, "wenlotka: %s; saving without the lock\n", lock.Message().c_str());
    }
    g.recordFileSaved = SaveRecordFile(g);
    SaveKeyStatistics(g, std::cerr);
  }
  if (!AnySaveFailed(g)) return;
  char list[256];
  BuildSaveFailureList(g, list);
  view.ShowModalReport(
      g.LanguageFlag == 1 ? "Practice Record write error" : sjis::SaveErrorCaptionJa,
      {"Practice Recod File", list, "Could not be saved"});
}

bool AnySaveFailed(const GameGlobals& g) {
  return g.recordFileSaved == 0 || g.practiceLogSaved == 0 || g.speedLogSaved == 0;
}
