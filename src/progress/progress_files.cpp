// The two statistics files: "<stem>.keys", rewritten whole, and "<stem>.runs",
// one line appended per completed run. Both are plain text of one record a
// line, fields separated by single blanks.
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "progress/progress.h"

namespace {

constexpr std::int64_t MaxCount = std::numeric_limits<std::int64_t>::max();

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
  return a > MaxCount - b ? MaxCount : a + b;
}

// A typed key as one token: a visible ASCII character stands for itself,
// anything else (blank, control codes) is written as 0xNN.
std::string KeyToken(int code) {
  if (code > 0x20 && code < 0x7F) return std::string(1, static_cast<char>(code));
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", code & 0xFF);
  return buf;
}

int ParseKeyToken(std::string_view t) {
  if (t.size() == 1) {
    const unsigned char c = static_cast<unsigned char>(t[0]);
    return c > 0x20 && c < 0x7F ? c : -1;
  }
  if (t.size() != 4 || t[0] != '0' || (t[1] != 'x' && t[1] != 'X')) return -1;
  int v = 0;
  auto [p, ec] = std::from_chars(t.data() + 2, t.data() + 4, v, 16);
  return ec == std::errc() && p == t.data() + 4 && v >= 1 && v <= 0x7F ? v : -1;
}

bool ParseCount(std::string_view t, std::int64_t* value) {
  if (t.empty() || t[0] < '0' || t[0] > '9') return false;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), *value);
  return ec == std::errc() && p == t.data() + t.size();
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

// Calls `each(lineNumber, line)` for every line, its CR LF or LF removed;
// stops at the first false.
template <typename Fn>
bool ForEachLine(std::string_view bytes, Fn each) {
  int number = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!each(++number, line)) return false;
    at = end + 1;
  }
  return true;
}

bool Skipped(std::string_view line) {
  std::vector<std::string_view> f = Fields(line);
  return f.empty() || f[0][0] == '#';
}

std::string LineError(int number, const std::string& reason) {
  return "line " + std::to_string(number) + ": " + reason;
}

bool IsDigits(std::string_view t, std::size_t at, std::size_t n) {
  for (std::size_t i = at; i < at + n; ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
  }
  return true;
}

// "dd/dd/dd" with `separator`.
bool IsTriple(std::string_view t, char separator) {
  return t.size() == 8 && t[2] == separator && t[5] == separator && IsDigits(t, 0, 2) &&
         IsDigits(t, 3, 2) && IsDigits(t, 6, 2);
}

// The recent targets as one token, oldest first: "-" for none, else each as
// its misses (left out when 0), r, l or s, and its milliseconds, joined by
// commas: "r640,2l2300".
std::string RecentToken(const RecentTargets& recent) {
  if (recent.count == 0) return "-";
  std::string token;
  char buf[32];
  for (int i = 0; i < recent.count; ++i) {
    const RecentTarget& t = recent.items[i];
    if (t.misses > 0) {
      std::snprintf(buf, sizeof buf, "%s%d%c%d", i ? "," : "", t.misses, t.mode, t.ms);
    } else {
      std::snprintf(buf, sizeof buf, "%s%c%d", i ? "," : "", t.mode, t.ms);
    }
    token += buf;
  }
  return token;
}

bool ParseRecentToken(std::string_view token, RecentTargets* recent) {
  *recent = RecentTargets{};
  if (token == "-") return true;
  while (!token.empty()) {
    const std::size_t comma = token.find(',');
    std::string_view item = token.substr(0, comma);
    token = comma == std::string_view::npos ? std::string_view() : token.substr(comma + 1);
    if (comma != std::string_view::npos && token.empty()) return false;
    if (recent->count == RecentTargetCount || item.empty()) return false;
    RecentTarget t;
    if (item[0] >= '1' && item[0] <= '9') {
      t.misses = static_cast<std::uint8_t>(item[0] - '0');
      item.remove_prefix(1);
    }
    std::int64_t ms = 0;
    if (item.empty() || (item[0] != 'r' && item[0] != 'l' && item[0] != 's') ||
        !ParseCount(item.substr(1), &ms) || ms > std::numeric_limits<std::int32_t>::max()) {
      return false;
    }
    t.mode = item[0];
    t.ms = static_cast<std::int32_t>(ms);
    recent->items[recent->count++] = t;
  }
  return true;
}

// One line of a key statistics file of `version` 1 or 2 (version 2 adds the
// recent targets after the six counts). False with the reason when it does
// not read, and nothing taken from it; `seen` keeps a letter and level from
// appearing twice.
bool ParseKeyLine(std::string_view line, int version, KeyStatistics* stats,
                  bool seen[ProgressLevels][ProgressLetters], std::string* reason) {
  std::vector<std::string_view> f = Fields(line);
  const std::size_t counted = version == 1 ? 8 : 9;
  if (f.size() < counted) {
    *reason = version == 1 ? "expected level, key and six counts"
                           : "expected level, key, six counts and the recent targets";
    return false;
  }
  if (f[0].size() != 1 || f[0][0] < '1' || f[0][0] > '3') {
    *reason = "the level must be 1, 2 or 3";
    return false;
  }
  if (f[1].size() != 1 || f[1][0] < 'A' || f[1][0] > 'Z') {
    *reason = "the key must be a capital letter A to Z";
    return false;
  }
  const int level = f[0][0] - '1';
  const int letter = f[1][0] - 'A';
  if (seen[level][letter]) {
    *reason = std::string(f[1]) + " at level " + std::string(f[0]) + " appears twice";
    return false;
  }
  KeyCounts k;
  std::int64_t* counts[] = {&k.target, &k.misses, &k.recalled, &k.lookedUp, &k.timed, &k.timeMs};
  for (int i = 0; i < 6; ++i) {
    if (!ParseCount(f[2 + i], counts[i])) {
      *reason = "'" + std::string(f[2 + i]) + "' is not a count";
      return false;
    }
  }
  if (version == 2 && !ParseRecentToken(f[8], &k.recent)) {
    *reason = "'" + std::string(f[8]) +
              "' is not a list of recent targets (like r640,2l2300, or - for none)";
    return false;
  }
  for (std::size_t i = counted; i < f.size(); ++i) {
    const std::size_t colon = f[i].rfind(':');
    const int code = colon == std::string_view::npos ? -1 : ParseKeyToken(f[i].substr(0, colon));
    std::int64_t times = 0;
    if (code < 0 || !ParseCount(f[i].substr(colon + 1), &times) || times == 0) {
      *reason = "'" + std::string(f[i]) + "' is not a typed key with its count (like R:3)";
      return false;
    }
    if (!k.confusions.emplace(code, times).second) {
      *reason = "the typed key '" + KeyToken(code) + "' appears twice";
      return false;
    }
  }
  seen[level][letter] = true;
  stats->keys[level][letter] = std::move(k);
  return true;
}

}  // namespace

std::string FormatKeyStatistics(const KeyStatistics& stats) {
  std::string out = KeyStatisticsHeader;
  out +=
      "\n# level key target misses recalled looked-up timed time-ms recent "
      "typed-instead:times\n";
  char buf[160];
  for (int level = 0; level < ProgressLevels; ++level) {
    for (int letter = 0; letter < ProgressLetters; ++letter) {
      const KeyCounts& k = stats.keys[level][letter];
      if (k.target == 0 && k.misses == 0 && k.timed == 0 && k.timeMs == 0 && k.recalled == 0 &&
          k.lookedUp == 0 && k.confusions.empty() && k.recent.count == 0) {
        continue;
      }
      std::snprintf(buf, sizeof buf, "%d %c %lld %lld %lld %lld %lld %lld ", level + 1,
                    'A' + letter, static_cast<long long>(k.target),
                    static_cast<long long>(k.misses), static_cast<long long>(k.recalled),
                    static_cast<long long>(k.lookedUp), static_cast<long long>(k.timed),
                    static_cast<long long>(k.timeMs));
      out += buf;
      out += RecentToken(k.recent);
      for (const auto& [code, times] : k.confusions) {
        out += ' ';
        out += KeyToken(code);
        out += ':';
        out += std::to_string(times);
      }
      out += '\n';
    }
  }
  return out;
}

namespace {

// "line N: reason" for the first few lines that did not read, and how many
// more there were.
std::string NameSkippedLines(const std::vector<std::string>& lines) {
  constexpr std::size_t Named = 3;
  std::string text;
  for (std::size_t i = 0; i < lines.size() && i < Named; ++i) text += (i ? "; " : "") + lines[i];
  if (lines.size() > Named) text += "; and " + std::to_string(lines.size() - Named) + " more";
  return text;
}

}  // namespace

bool ParseKeyStatistics(std::string_view bytes, KeyStatistics* stats, std::string* error) {
  *stats = KeyStatistics{};
  bool seen[ProgressLevels][ProgressLetters] = {};
  int version = 0;
  std::vector<std::string> skipped;
  const std::string wrongHeader = std::string("(the first line must read '") + KeyStatisticsHeader +
                                  "' or '" + KeyStatisticsHeaderV1 + "')";
  ForEachLine(bytes, [&](int number, std::string_view line) {
    if (version == 0) {
      version = line == KeyStatisticsHeader ? 2 : line == KeyStatisticsHeaderV1 ? 1 : -1;
      if (version < 0) skipped.push_back(LineError(number, "not a key statistics file " + wrongHeader));
      return version > 0;
    }
    if (Skipped(line)) return true;
    std::string reason;
    if (!ParseKeyLine(line, version, stats, seen, &reason)) {
      skipped.push_back(LineError(number, reason));
    }
    return true;
  });
  if (version == 0) skipped.push_back(LineError(1, "empty, not a key statistics file " + wrongHeader));
  if (skipped.empty()) return true;
  *error = NameSkippedLines(skipped);
  return false;
}

void AddRecentTarget(RecentTargets& recent, const RecentTarget& target) {
  if (recent.count == RecentTargetCount) {
    std::copy(recent.items + 1, recent.items + RecentTargetCount, recent.items);
    --recent.count;
  }
  recent.items[recent.count++] = target;
}

void AddKeyCounts(KeyCounts& a, const KeyCounts& b) {
  a.target = SaturatingAdd(a.target, b.target);
  a.misses = SaturatingAdd(a.misses, b.misses);
  a.recalled = SaturatingAdd(a.recalled, b.recalled);
  a.lookedUp = SaturatingAdd(a.lookedUp, b.lookedUp);
  a.timed = SaturatingAdd(a.timed, b.timed);
  a.timeMs = SaturatingAdd(a.timeMs, b.timeMs);
  for (const auto& [code, times] : b.confusions) {
    std::int64_t& c = a.confusions[code];
    c = SaturatingAdd(c, times);
  }
  // What `b` saw came later: a save adds this session after what the file
  // held, so a game that saved in between keeps its targets before ours.
  for (int i = 0; i < b.recent.count; ++i) AddRecentTarget(a.recent, b.recent.items[i]);
}

void AddKeyStatistics(KeyStatistics& into, const KeyStatistics& more) {
  for (int level = 0; level < ProgressLevels; ++level) {
    for (int letter = 0; letter < ProgressLetters; ++letter) {
      AddKeyCounts(into.keys[level][letter], more.keys[level][letter]);
    }
  }
}

bool HasCounts(const KeyStatistics& stats) {
  for (const auto& level : stats.keys) {
    for (const KeyCounts& k : level) {
      if (k.target || k.misses || k.timed || k.timeMs || !k.confusions.empty()) return true;
    }
  }
  return false;
}

std::string FormatRunLine(const RunEntry& run) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.8s %.8s %d %lld %lld %lld %lld\n", run.date, run.clock,
                run.course, static_cast<long long>(run.seconds), static_cast<long long>(run.errors),
                static_cast<long long>(run.recalled), static_cast<long long>(run.lookedUp));
  return buf;
}

namespace {

// One line "<date> <time> <course> <seconds> <errors> <recalled> <looked up>".
bool ReadRunLine(std::string_view line, RunEntry* run, std::string* reason) {
  std::vector<std::string_view> f = Fields(line);
  if (f.size() != 7) {
    *reason = "expected date, time, course, seconds, errors, recalled and looked up";
    return false;
  }
  if (!IsTriple(f[0], '/') || !IsTriple(f[1], ':')) {
    *reason = "expected a date YY/MM/DD and a time HH:MM:SS";
    return false;
  }
  f[0].copy(run->date, 8);
  f[1].copy(run->clock, 8);
  std::int64_t course = 0;
  if (!ParseCount(f[2], &course) || course / 100 < 1 || course / 100 > 3 || course % 100 < 1 ||
      course % 100 > WeakKeysRowSet) {
    *reason = "'" + std::string(f[2]) + "' is not a course (101..107, 201..207, 301..307)";
    return false;
  }
  run->course = static_cast<int>(course);
  std::int64_t* counts[] = {&run->seconds, &run->errors, &run->recalled, &run->lookedUp};
  for (int i = 0; i < 4; ++i) {
    if (!ParseCount(f[3 + i], counts[i])) {
      *reason = "'" + std::string(f[3 + i]) + "' is not a count";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseRunHistory(std::string_view bytes, std::vector<RunEntry>* runs, std::string* error) {
  runs->clear();
  std::vector<std::string> skipped;
  ForEachLine(bytes, [&](int number, std::string_view line) {
    if (Skipped(line)) return true;
    std::string reason;
    RunEntry run;
    if (ReadRunLine(line, &run, &reason)) {
      runs->push_back(run);
    } else {
      skipped.push_back(LineError(number, reason));
    }
    return true;
  });
  if (skipped.empty()) return true;
  *error = NameSkippedLines(skipped);
  return false;
}
