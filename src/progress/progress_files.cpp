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

}  // namespace

std::string FormatKeyStatistics(const KeyStatistics& stats) {
  std::string out = KeyStatisticsHeader;
  out += "\n# level key target misses recalled looked-up timed time-ms typed-instead:times\n";
  char buf[160];
  for (int level = 0; level < ProgressLevels; ++level) {
    for (int letter = 0; letter < ProgressLetters; ++letter) {
      const KeyCounts& k = stats.keys[level][letter];
      if (k.target == 0 && k.misses == 0 && k.timed == 0 && k.timeMs == 0 && k.recalled == 0 &&
          k.lookedUp == 0 && k.confusions.empty()) {
        continue;
      }
      std::snprintf(buf, sizeof buf, "%d %c %lld %lld %lld %lld %lld %lld", level + 1, 'A' + letter,
                    static_cast<long long>(k.target), static_cast<long long>(k.misses),
                    static_cast<long long>(k.recalled), static_cast<long long>(k.lookedUp),
                    static_cast<long long>(k.timed), static_cast<long long>(k.timeMs));
      out += buf;
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

// One line of counts, "<level> <key> <six counts> [<typed>:<times> ...]",
// into `stats`; false with the reason when it does not read (nothing is
// then taken from it).
bool ReadKeyLine(std::string_view line, KeyStatistics* stats,
                 bool (&seen)[ProgressLevels][ProgressLetters], std::string* reason) {
  std::vector<std::string_view> f = Fields(line);
  if (f.size() < 8) {
    *reason = "expected level, key and six counts";
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
  for (std::size_t i = 8; i < f.size(); ++i) {
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
  bool headerRead = false;
  std::vector<std::string> skipped;
  ForEachLine(bytes, [&](int number, std::string_view line) {
    if (!headerRead) {
      headerRead = true;
      if (line != KeyStatisticsHeader) {
        skipped.push_back(LineError(number, std::string("not a key statistics file (the first "
                                                        "line must read '") +
                                                KeyStatisticsHeader + "')"));
        return false;
      }
      return true;
    }
    if (Skipped(line)) return true;
    std::string reason;
    if (!ReadKeyLine(line, stats, seen, &reason)) skipped.push_back(LineError(number, reason));
    return true;
  });
  if (!headerRead) {
    skipped.push_back(LineError(1, std::string("empty, not a key statistics file (the first line "
                                               "must read '") +
                                       KeyStatisticsHeader + "')"));
  }
  if (skipped.empty()) return true;
  *error = NameSkippedLines(skipped);
  return false;
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
      course % 100 > 6) {
    *reason = "'" + std::string(f[2]) + "' is not a course (101..106, 201..206, 301..306)";
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
