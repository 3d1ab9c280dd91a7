#include "app/headless.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/data_folder.h"
#include "app/shell.h"
#include "platform/cp932.h"
#include "practice/layouts.h"
#include "records/records.h"
#include "screens/screens.h"

namespace {

using Kind = ScriptCommand::Kind;

bool ParseInt(const std::string& s, std::int64_t lo, std::int64_t hi, std::int64_t& value) {
  if (s.empty()) return false;
  int base = 10;
  const char* begin = s.data();
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    begin += 2;
  }
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(begin, end, value, base);
  return ec == std::errc() && ptr == end && value >= lo && value <= hi;
}

// A decimal number with an optional sign.
bool ParseSigned(const std::string& s, std::int64_t lo, std::int64_t hi, std::int64_t& value) {
  const bool negative = !s.empty() && s[0] == '-';
  const std::string digits = !s.empty() && (s[0] == '-' || s[0] == '+') ? s.substr(1) : s;
  if (digits.empty() || digits[0] < '0' || digits[0] > '9') return false;
  if (!ParseInt(digits, 0, std::max(-lo, hi), value)) return false;
  if (negative) value = -value;
  return value >= lo && value <= hi;
}

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  std::istringstream in(s);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

// The character messages typing `utf8` gives: a character outside CP932
// (é, an emoji) arrives as the stand-in byte '?', as the platform sends it.
std::string TypedBytes(const std::string& utf8) {
  std::string bytes;
  for (std::size_t at = 0; at < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[at]);
    std::size_t n = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
    n = std::min(n, utf8.size() - at);
    std::string one = Utf8ToCp932(std::string_view(utf8).substr(at, n));
    bytes += one.empty() ? "?" : one;
    at += n;
  }
  return bytes;
}

// Parses one non-blank, non-comment line; returns the reason when it is bad.
std::string ParseLine(const std::string& line, ScriptCommand& cmd) {
  std::vector<std::string> w = Words(line);
  if (w.empty()) return "empty command";
  const std::string& name = w[0];
  auto args = [&](size_t lo, size_t hi) { return w.size() - 1 >= lo && w.size() - 1 <= hi; };
  if (name == "type") {
    size_t space = line.find(' ', line.find("type") + 4);
    if (space == std::string::npos || space + 1 >= line.size()) return "type needs text";
    cmd.kind = Kind::Type;
    cmd.bytes = TypedBytes(line.substr(space + 1));
    return "";
  }
  if (name == "char") {
    std::int64_t v = 0;
    if (!args(1, 1) || !ParseInt(w[1], 0, 255, v)) return "char needs one byte value 0..255";
    cmd.kind = Kind::Char;
    cmd.bytes = std::string(1, static_cast<char>(v));
    return "";
  }
  if (name == "key") {
    static const struct {
      const char* name;
      char code;
    } keys[] = {{"esc", 27}, {"enter", 13}, {"tab", 9}, {"backspace", 8}, {"space", 32}};
    if (!args(1, 1)) return "key needs one of esc, enter, tab, backspace, space";
    for (const auto& k : keys) {
      if (w[1] == k.name) {
        cmd.kind = Kind::Char;
        cmd.bytes = std::string(1, k.code);
        return "";
      }
    }
    return "unknown key '" + w[1] + "' (esc, enter, tab, backspace, space)";
  }
  if (name == "hit" || name == "miss") {
    cmd.kind = name == "hit" ? Kind::Hit : Kind::Miss;
    cmd.count = 1;
    if (!args(0, 1) || (w.size() == 2 && !ParseInt(w[1], 1, 1000000, cmd.count))) {
      return name + " takes an optional count 1..1000000";
    }
    return "";
  }
  if (name == "wait") {
    if (!args(1, 1) || !ParseInt(w[1], 0, 100LL * 365 * 24 * 3600 * 1000, cmd.count)) {
      return "wait needs milliseconds";
    }
    cmd.kind = Kind::Wait;
    return "";
  }
  if (name == "jump") {
    // As the system clock is set by hand or by time synchronisation.
    constexpr std::int64_t Century = 100LL * 366 * 24 * 3600;
    if (!args(1, 1) || !ParseSigned(w[1], -Century, Century, cmd.count)) {
      return "jump needs seconds, e.g. -600 or 32400";
    }
    cmd.kind = Kind::Jump;
    return "";
  }
  if (name == "resize") {
    if (!args(2, 2) || !ParseInt(w[1], 1, 16384, cmd.count) ||
        !ParseInt(w[2], 1, 16384, cmd.count2)) {
      return "resize needs a width and a height, 1..16384";
    }
    cmd.kind = Kind::Resize;
    return "";
  }
  if (name == "screenshot") {
    size_t at = line.find("screenshot") + 10;
    size_t start = line.find_first_not_of(" \t", at);
    if (start == std::string::npos) return "screenshot needs a file name";
    size_t end = line.find_last_not_of(" \t");
    cmd.kind = Kind::Screenshot;
    cmd.bytes = line.substr(start, end - start + 1);
    return "";
  }
  static const struct {
    const char* name;
    Kind kind;
  } plain[] = {{"mouse", Kind::Mouse},
               {"repaint", Kind::Repaint},
               {"state", Kind::State},
               {"quit", Kind::Quit},
               {"kill", Kind::Kill}};
  for (const auto& p : plain) {
    if (name == p.name) {
      if (w.size() != 1) return name + " takes no arguments";
      cmd.kind = p.kind;
      return "";
    }
  }
  return "unknown command '" + name + "'";
}

std::string JsonString(const std::string& utf8) {
  std::string r = "\"";
  char buf[8];
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      r += '\\';
      r += static_cast<char>(c);
    } else if (c < 0x20) {
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      r += buf;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r + "\"";
}

std::string JsonText(const char* cp932) {
  return JsonString(Cp932ToUtf8(cp932 ? cp932 : ""));
}

std::string JsonKey(char key) {
  return key == 0 ? "\"\"" : JsonText(std::string(1, key).c_str());
}

std::string JsonNumber(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

bool InRun(const GameGlobals& g) {
  return g.PlayState == PlayRunning && g.screenId > 100 && g.screenId < 400 && g.targetKey != 0;
}

}  // namespace

bool ParseScript(std::istream& in, std::vector<ScriptCommand>& out, std::string& error) {
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Any blank counts as white space here, as it does when the words are split.
    size_t first = line.find_first_not_of(" \t\r\v\f");
    if (first == std::string::npos || line[first] == '#') continue;
    line.erase(0, first);
    ScriptCommand cmd;
    cmd.line = lineNo;
    std::string reason = ParseLine(line, cmd);
    if (!reason.empty()) {
      error = "script line " + std::to_string(lineNo) + ": " + reason;
      return false;
    }
    out.push_back(std::move(cmd));
  }
  return true;
}

std::string StateJson(const Shell& shell) {
  const GameGlobals& g = shell.Globals();
  std::ostringstream j;
  j << "{\"screenId\":" << g.screenId << ",\"playState\":" << g.PlayState
    << ",\"currentMenu\":" << (g.currentMenu ? g.currentMenu->screenId : 0)
    << ",\"bannerPhase\":" << g.bannerPhase << ",\"zoomX\":" << g.ZoomX << ",\"zoomY\":" << g.ZoomY
    << ",\"clientRect\":[" << g.ClientRect.right << "," << g.ClientRect.bottom << "],\"timers\":[";
  std::int64_t now = shell.NowMs();
  bool first = true;
  for (const auto& [id, t] : shell.Timers().All()) {
    j << (first ? "" : ",") << "{\"id\":" << id << ",\"periodMs\":" << t.periodMs
      << ",\"dueInMs\":" << (t.dueMs - now) << "}";
    first = false;
  }
  j << "],\"marks\":{";
  first = true;
  for (int id :
       {MainMenuScreenId, BeginnerMenuScreenId, StandardMenuScreenId, ExpertMenuScreenId}) {
    const MenuTable* menu = MenuForScreen(id);
    j << (first ? "" : ",") << "\"" << id << "\":" << (menu ? MarkedEntry(g, *menu) : 0);
    first = false;
  }
  j << "},\"practiceLevel\":" << g.practiceLevel << ",\"rowSet\":" << g.rowSet
    << ",\"currentLevelName\":" << JsonText(g.currentLevelName)
    << ",\"currentCourseName\":" << JsonText(g.currentCourseName)
    << ",\"targetKey\":" << JsonKey(g.targetKey) << ",\"moleKey\":" << JsonKey(g.moleKey)
    << ",\"missKey\":" << JsonKey(g.missKey) << ",\"correctCount\":" << g.correctCount
    << ",\"errorCount\":" << g.errorCount << ",\"runTiming\":" << g.runTiming
    << ",\"runSeconds\":" << JsonNumber(g.runSeconds) << ",\"recordState\":" << g.recordState
    << ",\"pendingBestTime\":" << JsonNumber(g.pendingBestTime)
    << ",\"pastPracticeSeconds\":" << g.pastPracticeSeconds
    << ",\"recordFileSaved\":" << g.recordFileSaved
    << ",\"practiceLogSaved\":" << g.practiceLogSaved << ",\"speedLogSaved\":" << g.speedLogSaved
    << ",\"courses\":[";
  for (int level = 0; level < LevelCount; ++level) {
    for (int row = 0; row < RowSetCount; ++row) {
      const CourseRecord& c = g.CourseRecordTable[level][row];
      j << (level + row == 0 ? "" : ",") << "{\"code\":" << (level + 1) * 100 + row + 1
        << ",\"bestTime\":" << JsonNumber(c.bestTime)
        << ",\"bestDate\":" << JsonText(std::string(c.bestDate, 8).c_str())
        << ",\"practiceSeconds\":" << c.practiceSeconds << ",\"practiceCount\":" << c.practiceCount
        << "}";
    }
  }
  j << "]}";
  return j.str();
}

int RunHeadless(const HeadlessOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<ScriptCommand> commands;
  std::string error;
  if (options.script == "-") {
    if (!ParseScript(std::cin, commands, error)) {
      err << error << "\n";
      return 2;
    }
  } else {
    std::ifstream in(options.script);
    if (!in) {
      err << "wenlotka: cannot read script '" << options.script << "'\n";
      return 2;
    }
    if (!ParseScript(in, commands, error)) {
      err << error << "\n";
      return 2;
    }
  }

  TimeStamp start{options.clockSeconds ? *options.clockSeconds : SystemClock().Now().seconds, 0};
  VirtualClock clock(start);
  CairoDeviceContext surface(options.width, options.height);
  GameGlobals g;
  SelectKeyboardLayout(g, options.layout);
  g.LanguageFlag = options.languageFlag;
  int status = 0;
  Shell shell(g, surface, clock,
              [&err](const std::string& caption, const std::vector<std::string>& lines) {
                err << Cp932ToUtf8(caption) << "\n";
                for (const std::string& l : lines) err << Cp932ToUtf8(l) << "\n";
              });
  auto screenshot = [&](const std::string& file) {
    if (!surface.WritePng(file)) {
      err << "wenlotka: cannot write screenshot '" << file << "'\n";
      status = 1;
    }
  };

  shell.Start();
  shell.OnPaint();  // a shown window gets its first repaint at once

  bool runExit = true;
  for (const ScriptCommand& cmd : commands) {
    if (shell.QuitPosted()) break;
    bool stop = false;
    switch (cmd.kind) {
      case Kind::Type:
      case Kind::Char:
        for (char c : cmd.bytes) {
          if (shell.QuitPosted()) break;
          shell.OnChar(static_cast<unsigned char>(c));
        }
        break;
      case Kind::Hit:
      case Kind::Miss:
        for (std::int64_t i = 0; i < cmd.count && !shell.QuitPosted(); ++i) {
          if (!InRun(g)) {
            err << "script line " << cmd.line << ": " << (cmd.kind == Kind::Hit ? "hit" : "miss")
                << " needs a run in progress\n";
            status = 3;
            runExit = false;
            stop = true;
            break;
          }
          char key;
          if (cmd.kind == Kind::Hit) {
            key = static_cast<char>(std::tolower(static_cast<unsigned char>(g.targetKey)));
          } else {
            key = g.targetKey == 'Q' ? 'z' : 'q';
          }
          shell.OnChar(static_cast<unsigned char>(key));
        }
        break;
      case Kind::Wait:
        shell.FireDueTimers(shell.NowMs() + cmd.count, &clock);
        break;
      case Kind::Jump:
        clock.StepCalendar(cmd.count);
        break;
      case Kind::Mouse:
        shell.OnOtherMessage();
        break;
      case Kind::Resize:
        surface.Resize(static_cast<int>(cmd.count), static_cast<int>(cmd.count2));
        shell.OnOtherMessage();
        shell.OnPaint();
        break;
      case Kind::Repaint:
        shell.OnPaint();
        break;
      case Kind::Screenshot:
        screenshot(AbsoluteFrom(options.scriptFolder, cmd.bytes));
        break;
      case Kind::State:
        out << StateJson(shell) << "\n";
        out.flush();
        break;
      case Kind::Quit:
        stop = true;
        break;
      case Kind::Kill:
        stop = true;
        runExit = false;
        break;
    }
    if (stop) break;
  }

  if (!options.screenshot.empty()) screenshot(options.screenshot);
  if (runExit) {
    shell.Exit();
    // Records that could not be saved outweigh a missing screenshot.
    if (g.recordsStarted && AnySaveFailed(g)) status = 4;
  }
  return status;
}
