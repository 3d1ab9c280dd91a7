// The hooks the practice run calls, and the save of the key statistics at exit.
#include <algorithm>
#include <climits>
#include <ostream>

#include "platform/clock.h"
#include "platform/safe_file.h"
#include "progress/progress.h"
#include "records/records.h"

namespace {

// A statistics file is a few hundred lines at most; anything far larger is
// not one of ours and is kept aside rather than read.
constexpr std::size_t MaxKeyFileBytes = 4u << 20;

// Key times are spans, taken on the steady clock.
TimeStamp Now(const GameGlobals& g) {
  return g.clock ? SteadyStamp(*g.clock) : TimeStamp{};
}

// The counts of the current target at the current level; null outside a run
// of letters (targets are always A..Z, so this only guards against misuse).
KeyCounts* TargetCounts(GameGlobals& g) {
  if (g.practiceLevel < 1 || g.practiceLevel > ProgressLevels) return nullptr;
  if (g.targetKey < 'A' || g.targetKey > 'Z') return nullptr;
  return &g.progress.session.keys[g.practiceLevel - 1][g.targetKey - 'A'];
}

}  // namespace

// Beside the record file, wherever the records decide it lives: its name
// with ".keys" or ".runs" for ".rec".
std::string BesideRecordFile(const GameGlobals& g, const char* extension) {
  std::string path = RecordFilePath(g);
  if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".rec") == 0)
    path.resize(path.size() - 4);
  return path + extension;
}

std::string KeyStatisticsPath(const GameGlobals& g) {
  return BesideRecordFile(g, ".keys");
}

std::string RunHistoryPath(const GameGlobals& g) {
  return BesideRecordFile(g, ".runs");
}

void NoteTargetShown(GameGlobals& g) {
  ProgressState& p = g.progress;
  // The first target of a run (a start or a retry) opens the run's counts.
  if (g.correctCount == 0) {
    p.runRecalled = 0;
    p.runLookedUp = 0;
  }
  p.targetShown = Now(g);
  p.targetAnswered = 0;
  p.targetMisses = 0;
  p.moleShown = 0;
}

void NoteMoleShown(GameGlobals& g) {
  g.progress.moleShown = 1;
}

void NoteKeyJudged(GameGlobals& g, int typed) {
  ProgressState& p = g.progress;
  KeyCounts* k = TargetCounts(g);
  if (!k) return;
  // A target counts once a key is typed for it: one shown and left with ESC
  // before any key says nothing about the learner.
  if (!p.targetAnswered) {
    k->target += 1;
    p.targetAnswered = 1;
  }
  if (typed != g.targetKey) {
    k->misses += 1;
    k->confusions[typed & 0x7F] += 1;
    p.targetMisses += 1;
    return;
  }
  const std::int64_t ms = std::max<std::int64_t>(0, MillisBetween(p.targetShown, Now(g)));
  k->timed += 1;
  k->timeMs += ms;
  RecentTarget recent;
  recent.misses = static_cast<std::uint8_t>(std::min(p.targetMisses, 9));
  recent.ms = static_cast<std::int32_t>(std::min<std::int64_t>(ms, INT32_MAX));
  if (g.practiceLevel == 1) {
    recent.mode = 's';  // Beginner's shows every mole at once
  } else if (p.moleShown) {
    recent.mode = 'l';
    k->lookedUp += 1;
    p.runLookedUp += 1;
  } else {
    recent.mode = 'r';
    k->recalled += 1;
    p.runRecalled += 1;
  }
  AddRecentTarget(k->recent, recent);
}

bool ChooseWeakKeyWeights(GameGlobals& g, const char* letters, std::uint32_t* weights) {
  KeyStatistics stats;
  std::string unread;
  // Only the lines that read count here; the save at exit names the others
  // and keeps the file aside.
  LoadKeyStatistics(g, &stats, &unread);
  AddKeyStatistics(stats, g.progress.session);
  const WeakKeyPlan plan = PlanWeakKeys(stats, g.practiceLevel);
  if (!plan.anyStatistics) return false;
  WeakKeyWeights(plan, letters, weights);
  return true;
}

void NoteRunCompleted(GameGlobals& g) {
  if (!g.clock) return;
  ProgressState& p = g.progress;
  RunEntry run;
  char date[9];
  FormatDate(*g.clock, date);
  ReorderDate(run.date, date);
  FormatTimeOfDay(*g.clock, run.clock);
  run.course = g.practiceLevel * 100 + g.rowSet;
  run.seconds = static_cast<std::int64_t>(g.runSeconds);
  run.errors = g.errorCount;
  run.recalled = p.runRecalled;
  run.lookedUp = p.runLookedUp;
  const std::string path = RunHistoryPath(g);
  FileResult r = AppendToFile(path.c_str(), FormatRunLine(run));
  // The first failure is the one worth telling; the run lines after it are
  // lost the same way.
  if (!r.Ok()) {
    p.runsSaved = 0;
    if (p.runsFailure.empty())
      p.runsFailure = r.message.empty() ? path + ": cannot append" : r.message;
  }
}

void TidyKeyStatistics(const GameGlobals& g, std::ostream& err) {
  const std::string path = KeyStatisticsPath(g);
  std::string restored;
  TidyInterruptedSaves(
      path.c_str(), MaxKeyFileBytes,
      [](const std::string& bytes) {
        KeyStatistics stats;
        std::string error;
        return ParseKeyStatistics(bytes, &stats, &error);
      },
      &restored);
  if (!restored.empty()) {
    err << "wenlotka: " << path << " was missing; the complete " << restored
        << " that an interrupted save left is used in its place\n";
  }
}

namespace {

void TellRunsFailure(ProgressState& p, std::ostream& err) {
  if (p.runsFailure.empty()) return;
  err << "wenlotka: run history not saved: " << p.runsFailure << "\n";
  p.runsFailure.clear();
}

// The counts that could not be saved in the statistics file: kept in a file
// of the user's own, named on `err` and in the report. Always false, the
// result of the failed save.
bool KeepUnsavedCounts(GameGlobals& g, std::ostream& err, const std::string& why,
                       const KeyStatistics& counts) {
  g.progress.keysSaved = 0;
  std::string keptAs;
  FileResult kept = KeepUnsaved(KeyStatisticsPath(g).c_str(), FormatKeyStatistics(counts),
                                CalendarSeconds(*g.clock), &keptAs);
  if (kept.Ok()) {
    err << "wenlotka: " << why << "; this session's key statistics are kept in " << keptAs << "\n";
    g.unsavedCopies.push_back(keptAs);
  } else {
    err << "wenlotka: " << why << "; this session's key statistics could not be kept anywhere ("
        << kept.message << ")\n";
  }
  return false;
}

}  // namespace

bool SaveKeyStatistics(GameGlobals& g, std::ostream& err) {
  ProgressState& p = g.progress;
  TellRunsFailure(p, err);
  bool ok = p.runsSaved != 0;
  if (!HasCounts(p.session)) return ok;

  const std::string path = KeyStatisticsPath(g);
  std::string bytes;
  KeyStatistics merged;
  std::string damage;
  FileResult read = ReadRegularFile(path.c_str(), MaxKeyFileBytes, &bytes);
  switch (read.status) {
    case FileStatus::Missing:
      break;
    case FileStatus::Ok: {
      // The lines that read are merged with; the file as it was gets a
      // second name, so the lines that did not are still there.
      std::string error;
      if (!ParseKeyStatistics(bytes, &merged, &error)) damage = path + " " + error;
      break;
    }
    case FileStatus::TooLarge:
      damage = read.message;
      break;
    case FileStatus::NotRegular:
      return KeepUnsavedCounts(g, err, read.message + ", left alone", p.session);
    default:
      // Not read is not damaged: a file that may be whole is never replaced.
      return KeepUnsavedCounts(g, err, read.message + ", so it is left as it is", p.session);
  }
  AddKeyStatistics(merged, p.session);
  if (!damage.empty()) {
    std::string backup;
    FileResult kept = KeepCopy(path.c_str(), CalendarSeconds(*g.clock), &backup);
    if (!kept.Ok()) {
      return KeepUnsavedCounts(g, err, damage + "; " + kept.message + ", so it was not replaced",
                               merged);
    }
    if (!backup.empty()) {
      err << "wenlotka: " << damage << "; it is kept as " << backup << " and " << path
          << " holds the lines that read with this session's counts\n";
    }
  }
  FileResult written = ReplaceFile(path.c_str(), FormatKeyStatistics(merged));
  if (!written.Ok()) return KeepUnsavedCounts(g, err, written.message, merged);
  // Saved: a second save in this process must not add the same counts again.
  p.session = KeyStatistics{};
  return ok;
}

bool KeepKeyStatisticsElsewhere(GameGlobals& g, std::ostream& err, const std::string& why) {
  TellRunsFailure(g.progress, err);
  if (!HasCounts(g.progress.session)) return g.progress.runsSaved != 0;
  return KeepUnsavedCounts(g, err, why, g.progress.session);
}
