// The headless script driver: runs the game without a display from a script
// of commands, on a virtual clock, so every run gives the same result.
//
// Operations, in order of use:
//   ParseScript    RunHeadless, before anything runs (a bad line stops it all)
//   RunHeadless    main, for --headless
//   StateJson      the `state` command; tests
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class Shell;

struct ScriptCommand {
  enum class Kind {
    Type,
    Char,
    Hit,
    Miss,
    Wait,
    Jump,
    Mouse,
    Resize,
    Repaint,
    Screenshot,
    State,
    Quit,
    Kill
  };
  Kind kind = Kind::Mouse;
  int line = 0;
  std::string bytes;        // Type, Char: the character messages (CP932); Screenshot: the file
  std::int64_t count = 0;   // Hit, Miss: repetitions; Wait: milliseconds; Jump: seconds;
                            // Resize: width
  std::int64_t count2 = 0;  // Resize: height
};

// Reads every line; on the first bad one returns false with
// "script line N: <reason>" in `error`.
bool ParseScript(std::istream& in, std::vector<ScriptCommand>& out, std::string& error);

struct HeadlessOptions {
  std::string script;  // a path, or "-" for standard input
  int width = 642;
  int height = 402;
  std::optional<std::int64_t> clockSeconds;  // default: now
  std::string screenshot;                    // written when the script ends
  int languageFlag = 1;                      // the game's LanguageFlag: 1 English, else Japanese
  // Relative `screenshot` files of the script are taken from here (the folder
  // the user started in, which the data folder may have replaced).
  std::string scriptFolder;
  int layout = 0;  // an index into KeyboardLayouts; 0 qwerty
};

// Returns the process exit status: 0, 1 (a screenshot could not be written),
// 2 (a bad script), 3 (`hit` or `miss` without a run in progress), 4 (the
// exit sequence could not save a file; the report was printed first).
int RunHeadless(const HeadlessOptions& options, std::ostream& out, std::ostream& err);

// The state as one line of JSON.
std::string StateJson(const Shell& shell);
