// The progress report: a short summary on standard output and, on request, a
// picture. It reads the statistics files and changes nothing.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "platform/cairo_dc.h"
#include "platform/safe_file.h"
#include "practice/layouts.h"
#include "progress/progress.h"

namespace {

constexpr std::size_t MaxKeyFileBytes = 4u << 20;
constexpr std::size_t MaxRunFileBytes = 64u << 20;
constexpr int ShownKeys = 5;
constexpr int ShownConfusions = 5;
constexpr int RecentRuns = 10;
// The picture is the text screen at the game's default window size.
constexpr int PictureWidth = 1282;
constexpr int PictureHeight = 802;

std::string CourseName(int course) {
  return std::string(ProgressLevelNames[course / 100]) + " " + ProgressRowSetNames[course % 100];
}

std::string KeyName(int code) {
  switch (code) {
    case ' ':
      return "Space";
    case 13:
      return "Enter";
    case 9:
      return "Tab";
    case 8:
      return "Backspace";
    default:
      break;
  }
  if (code > 0x20 && code < 0x7F) return std::string(1, static_cast<char>(code));
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", code);
  return buf;
}

// part / (part + other) in percent, rounded half up; long double, since
// counts read from a file may be as large as a count can be.
long long Percent(std::int64_t part, std::int64_t other) {
  const long double whole = static_cast<long double>(part) + static_cast<long double>(other);
  return static_cast<long long>(static_cast<long double>(part) * 100 / whole + 0.5L);
}

KeyCounts SumOverLevels(const KeyStatistics& stats, int letter) {
  KeyCounts sum;
  for (const auto& level : stats.keys) AddKeyCounts(sum, level[letter]);
  return sum;
}

struct Rated {
  int letter;
  std::int64_t part;   // misses, or keys looked up
  std::int64_t other;  // keys typed right, or keys recalled
};

// Highest rate first; on a tie the key with more evidence, then A..Z.
void SortWeakest(std::vector<Rated>& keys) {
  std::sort(keys.begin(), keys.end(), [](const Rated& a, const Rated& b) {
    const long double ra = static_cast<long double>(a.part) *
                           (static_cast<long double>(b.part) + static_cast<long double>(b.other));
    const long double rb = static_cast<long double>(b.part) *
                           (static_cast<long double>(a.part) + static_cast<long double>(a.other));
    if (ra != rb) return ra > rb;
    if (a.part != b.part) return a.part > b.part;
    return a.letter < b.letter;
  });
}

void PrintCourses(const std::vector<RunEntry>& runs, std::ostream& out) {
  out << "Runs per course\n";
  if (runs.empty()) {
    out << "  no completed runs yet\n";
    return;
  }
  std::vector<const RunEntry*> byCourse[4][WeakKeysRowSet + 1];
  for (const RunEntry& r : runs) byCourse[r.course / 100][r.course % 100].push_back(&r);
  char buf[256];
  for (int level = 1; level <= 3; ++level) {
    for (int row = 1; row <= WeakKeysRowSet; ++row) {
      const auto& list = byCourse[level][row];
      if (list.empty()) continue;
      std::int64_t best = list[0]->seconds;
      for (const RunEntry* r : list) best = std::min(best, r->seconds);
      const std::size_t n = std::min<std::size_t>(list.size(), RecentRuns);
      const std::size_t first = list.size() - n;
      long double recent = 0;
      for (std::size_t i = first; i < list.size(); ++i) recent += list[i]->seconds;
      // The later half of the recent runs against the earlier half.
      const char* trend = "one run so far";
      if (n >= 2) {
        const std::size_t half = n / 2;
        long double early = 0, late = 0;
        for (std::size_t i = 0; i < half; ++i) early += list[first + i]->seconds;
        for (std::size_t i = 0; i < half; ++i) late += list[list.size() - half + i]->seconds;
        trend = late < early   ? "getting faster"
                : late > early ? "getting slower"
                               : "holding steady";
      }
      std::snprintf(buf, sizeof buf,
                    "  %s: %zu run%s, best %lld sec, mean of the last %zu: %.1f sec, %s\n",
                    CourseName(level * 100 + row).c_str(), list.size(), list.size() == 1 ? "" : "s",
                    static_cast<long long>(best), n, static_cast<double>(recent / n), trend);
      out << buf;
    }
  }
}

}  // namespace

std::string BuildReportText(const KeyStatistics& stats, const std::vector<RunEntry>& runs) {
  std::ostringstream out;
  PrintCourses(runs, out);

  std::vector<Rated> missed, lookedUp;
  std::vector<std::pair<std::int64_t, std::pair<int, int>>> confusions;  // times, (letter, code)
  for (int letter = 0; letter < ProgressLetters; ++letter) {
    const KeyCounts k = SumOverLevels(stats, letter);
    if (k.misses > 0) missed.push_back({letter, k.misses, k.timed});
    if (k.lookedUp > 0) lookedUp.push_back({letter, k.lookedUp, k.recalled});
    for (const auto& [code, times] : k.confusions) confusions.push_back({times, {letter, code}});
  }
  SortWeakest(missed);
  SortWeakest(lookedUp);
  std::sort(confusions.begin(), confusions.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first > b.first;
    return a.second < b.second;
  });

  char buf[160];
  // Both lists read alike: the rate, then the two counts it comes from.
  auto listWeakest = [&](const char* title, const char* none, const std::vector<Rated>& rows,
                         const char* partWord, const char* otherWord) {
    out << title << "\n";
    if (rows.empty()) out << "  " << none << "\n";
    for (std::size_t i = 0; i < rows.size() && i < ShownKeys; ++i) {
      const Rated& r = rows[i];
      std::snprintf(buf, sizeof buf, "  %c %3lld%%  %lld %s, %lld %s\n", 'A' + r.letter,
                    Percent(r.part, r.other), static_cast<long long>(r.part), partWord,
                    static_cast<long long>(r.other), otherWord);
      out << buf;
    }
  };
  listWeakest("Weakest keys by miss rate", "no misses yet", missed, "missed", "typed right");
  listWeakest("Weakest keys by look-up rate", "no look-ups yet", lookedUp, "looked up", "recalled");
  out << "Most common confusions\n";
  if (confusions.empty()) out << "  none yet\n";
  for (std::size_t i = 0; i < confusions.size() && i < ShownConfusions; ++i) {
    const auto& [times, which] = confusions[i];
    std::snprintf(buf, sizeof buf, "  %c typed as %s (%lld time%s)\n", 'A' + which.first,
                  KeyName(which.second).c_str(), static_cast<long long>(times),
                  times == 1 ? "" : "s");
    out << buf;
  }
  out << FormatPractiseNext(PlanWeakKeys(stats, PractisedLevel(stats, runs)), 1) << "\n";
  return out.str();
}

namespace {

// Reads and parses one statistics file; a missing file is an empty one.
// When it cannot be read returns false with the message for the user; lines
// that do not read are named in `skipped`.
template <typename T, typename Parse>
bool ReadStatisticsFile(const std::string& path, std::size_t limit, T* value, Parse parse,
                        std::string* message, std::string* skipped) {
  std::string bytes;
  FileResult read = ReadRegularFile(path.c_str(), limit, &bytes);
  if (read.status == FileStatus::Missing) return true;
  if (!read.Ok()) {
    *message = read.message.empty() ? path + " cannot be read" : read.message;
    return false;
  }
  // Lines that do not read (one cut short by a full disk, say) are named
  // and passed over: the rest of the learner's history still counts.
  std::string error;
  if (!parse(bytes, value, &error)) *skipped = path + " " + error;
  return true;
}

// Cairo writes where it is told; the picture is drawn into a new file of our
// own beside the target and renamed over it, so a FIFO or a device named as
// the picture is never opened, and a failed write leaves the old picture whole.
// A picture is made again at will, so it is not synced like the records.
FileResult WritePicture(const CairoDeviceContext& surface, const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
    return {FileStatus::NotRegular, path + ": not a regular file; left alone"};
  }
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return {FileStatus::Failed, path + ": cannot create a file beside it"};
  fchmod(fd, 0644);
  close(fd);
  if (!surface.WritePng(temporary) || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return {FileStatus::Failed, path + ": cannot be written"};
  }
  return {};
}

}  // namespace

bool LoadKeyStatistics(const GameGlobals& g, KeyStatistics* stats, std::string* message) {
  std::string skipped;
  if (!ReadStatisticsFile(KeyStatisticsPath(g), MaxKeyFileBytes, stats, ParseKeyStatistics, message,
                          &skipped)) {
    return false;
  }
  if (skipped.empty()) return true;
  *message = skipped;
  return false;
}

bool LoadProgressFiles(const GameGlobals& g, KeyStatistics* stats, std::vector<RunEntry>* runs,
                       std::string* message) {
  // Both are read, so a caller that goes on without what failed has the
  // rest; the first failure is the one told.
  std::string runsMessage, runsSkipped;
  const bool keysRead = LoadKeyStatistics(g, stats, message);
  bool runsRead = ReadStatisticsFile(RunHistoryPath(g), MaxRunFileBytes, runs, ParseRunHistory,
                                     &runsMessage, &runsSkipped);
  if (runsRead && !runsSkipped.empty()) {
    runsRead = false;
    runsMessage = runsSkipped;
  }
  if (keysRead && !runsRead) *message = runsMessage;
  return keysRead && runsRead;
}

namespace {

// One layout's statistics as read for the report.
struct LayoutProgress {
  int layout = 0;
  std::string keysPath, runsPath;
  KeyStatistics stats;
  std::vector<RunEntry> runs;
};

// The date and time of the latest run, "" for none; YY/MM/DD sorts as text.
std::string LatestRun(const LayoutProgress& p) {
  std::string latest;
  for (const RunEntry& r : p.runs) latest = std::max(latest, std::string(r.date) + " " + r.clock);
  return latest;
}

}  // namespace

int RunProgressReport(const GameGlobals& files, bool everyLayout, const std::string& folder,
                      const std::string& picturePath, std::ostream& out, std::ostream& err) {
  auto inFolder = [&](const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
  };
  std::vector<LayoutProgress> found;
  for (int layout = 0; layout < KeyboardLayoutCount; ++layout) {
    if (!everyLayout && layout != files.keyboardLayout) continue;
    GameGlobals g;
    SelectKeyboardLayout(g, layout);
    LayoutProgress p;
    p.layout = layout;
    p.keysPath = inFolder(KeyStatisticsPath(g));
    p.runsPath = inFolder(RunHistoryPath(g));
    std::string message, keysSkipped, runsSkipped;
    if (!ReadStatisticsFile(p.keysPath, MaxKeyFileBytes, &p.stats, ParseKeyStatistics, &message,
                            &keysSkipped) ||
        !ReadStatisticsFile(p.runsPath, MaxRunFileBytes, &p.runs, ParseRunHistory, &message,
                            &runsSkipped)) {
      err << "wenlotka: " << message << "; no report made, no file changed\n";
      return 1;
    }
    for (const std::string& skipped : {keysSkipped, runsSkipped}) {
      if (!skipped.empty()) err << "wenlotka: " << skipped << "; skipped, no file changed\n";
    }
    if (HasCounts(p.stats) || !p.runs.empty()) found.push_back(std::move(p));
  }
  if (found.empty()) {
    GameGlobals g;
    SelectKeyboardLayout(g, everyLayout ? QwertyLayout : files.keyboardLayout);
    out << "No progress recorded yet: " << KeyStatisticsPath(g) << " and " << RunHistoryPath(g)
        << " in " << (folder.empty() ? "this folder" : folder)
        << " hold no keys or runs. Finish a practice run and they will.\n";
    if (!picturePath.empty()) out << "No picture written.\n";
    return 0;
  }
  // Without a layout asked for, each section is headed by its layout as soon
  // as the folder holds more than the plain (qwerty) files.
  const bool headed = everyLayout && (found.size() > 1 || found[0].layout != QwertyLayout);
  for (std::size_t i = 0; i < found.size(); ++i) {
    const LayoutProgress& p = found[i];
    if (headed) {
      out << (i == 0 ? "" : "\n") << "Keyboard " << KeyboardLayouts[p.layout].name << " ("
          << p.keysPath << ", " << p.runsPath << ")\n";
    }
    out << BuildReportText(p.stats, p.runs);
  }
  if (picturePath.empty()) return 0;

  // The picture shows one keyboard: the layout asked for, or the one played last.
  const LayoutProgress* shown = &found[0];
  for (const LayoutProgress& p : found) {
    if (LatestRun(p) > LatestRun(*shown)) shown = &p;
  }
  CairoDeviceContext surface(PictureWidth, PictureHeight);
  GameGlobals g;
  g.ClientRect = Rect{0, 0, PictureWidth, PictureHeight};
  g.keyboardLayout = shown->layout;  // the keyboard the statistics were typed on
  DrawReportPicture(g, surface, shown->stats, shown->runs);
  FileResult written = WritePicture(surface, picturePath);
  if (!written.Ok()) {
    err << "wenlotka: picture not written: " << written.message << "\n";
    return 1;
  }
  out << "Picture written to " << picturePath;
  if (headed) out << " (keyboard " << KeyboardLayouts[shown->layout].name << ")";
  out << "\n";
  return 0;
}
