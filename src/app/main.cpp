// wenlotka: a touch-typing trainer played as a mole game.
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "app/data_folder.h"
#include "app/headless.h"
#include "app/window_app.h"
#include "practice/layouts.h"
#include "progress/progress.h"

namespace {

constexpr char Usage[] =
    "usage: wenlotka [options]                    play in a window\n"
    "       wenlotka --headless SCRIPT [options]  run SCRIPT (a file, or - for standard input)\n"
    "       wenlotka --report [FILE.png] [options]  summary of your progress, no window;\n"
    "                                             FILE.png: also draw it as a picture\n"
    "       wenlotka --help | --version\n"
    "options:\n"
    "  --size WxH          client area in device pixels (default: 1282x802 for the\n"
    "                      window, 642x402 headless)\n"
    "  --data-dir DIR      keep the game's files in DIR, created if missing; --data-dir .\n"
    "                      for the working directory (default: the data folder\n"
    "                      $XDG_DATA_HOME/wenlotka, or ~/.local/share/wenlotka when that\n"
    "                      is unset, for a game in a window and --report, however\n"
    "                      started; the working directory for --headless)\n"
    "  --xdg-data          keep them in that data folder, also for --headless\n"
    "  --lang en|ja        language of the messages, screens and files (default: en)\n"
    "  --layout NAME       the keyboard: qwerty, azerty, qwertz, dvorak or colemak\n"
    "                      (default: a window asks the window system, --report covers\n"
    "                      every layout, --headless uses qwerty)\n"
    "headless only:\n"
    "  --clock SECONDS     start the virtual clock at this calendar time (default: now)\n"
    "  --screenshot FILE   write the screen as PNG when the script ends\n"
    "The record file wenlotka.rec, the logs wenlotka.log and wenlotka.spd and the\n"
    "statistics wenlotka.keys and wenlotka.runs live in the data folder. Another layout\n"
    "than qwerty keeps its own record file, speed log and statistics, wenlotka-NAME.rec,\n"
    ".spd, .keys and .runs. Game files in the working directory, when it is not the\n"
    "data folder, are left alone and named at start. --report without --layout\n"
    "covers every layout whose files are in the data folder.\n"
    "Exit status: 0 done, 1 failed (no window, data folder or screenshot unusable),\n"
    "2 bad options or a bad script, 3 hit or miss without a run in progress,\n"
    "4 a file could not be saved at exit.\n";

bool ParseSize(const std::string& s, int& w, int& h) {
  size_t x = s.find('x');
  if (x == std::string::npos) return false;
  auto parse = [](const char* b, const char* e, int& v) {
    auto [p, ec] = std::from_chars(b, e, v);
    return ec == std::errc() && p == e && v >= 1 && v <= 16384;
  };
  return parse(s.data(), s.data() + x, w) && parse(s.data() + x + 1, s.data() + s.size(), h);
}

int Bad(const std::string& why) {
  std::cerr << "wenlotka: " << why << "\n" << Usage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  HeadlessOptions headless;
  bool isHeadless = false;
  bool sizeGiven = false;
  bool isReport = false;
  std::string reportPicture;
  int width = 1282, height = 802;
  int layout = -1;  // not given
  std::string dataFolder;
  bool xdgData = false;
  int languageFlag = 1;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      std::cout << Usage;
      return 0;
    } else if (a == "--version") {
      std::cout << "wenlotka " << WENLOTKA_VERSION << "\n";
      return 0;
    } else if (a == "--headless") {
      if (!value(headless.script)) return Bad("--headless needs a script (or -)");
      isHeadless = true;
    } else if (a == "--report") {
      isReport = true;
      if (i + 1 < argc && argv[i + 1][0] != '-') reportPicture = argv[++i];
    } else if (a == "--size") {
      if (!value(v) || !ParseSize(v, width, height)) return Bad("--size needs WxH, e.g. 1282x802");
      sizeGiven = true;
    } else if (a == "--clock") {
      std::int64_t s = 0;
      if (!value(v)) return Bad("--clock needs calendar seconds");
      auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), s);
      if (ec != std::errc() || p != v.data() + v.size() || s < 0) {
        return Bad("--clock needs calendar seconds, a whole number >= 0");
      }
      headless.clockSeconds = s;
    } else if (a == "--layout") {
      if (!value(v)) return Bad(std::string("--layout needs one of ") + KeyboardLayoutNames);
      layout = FindKeyboardLayout(v.c_str());
      if (layout < 0) {
        return Bad("unknown layout '" + v + "' (" + KeyboardLayoutNames + ")");
      }
    } else if (a == "--screenshot") {
      if (!value(headless.screenshot)) return Bad("--screenshot needs a file name");
    } else if (a == "--data-dir") {
      if (!value(dataFolder) || dataFolder.empty()) return Bad("--data-dir needs a folder");
    } else if (a == "--xdg-data") {
      xdgData = true;
    } else if (a == "--lang") {
      // The game's own switch: 1 English, anything else Japanese.
      if (!value(v) || (v != "en" && v != "ja")) return Bad("--lang needs en or ja");
      languageFlag = v == "en" ? 1 : 0;
    } else {
      return Bad("unknown argument '" + a + "'");
    }
  }
  if (!isHeadless && (headless.clockSeconds || !headless.screenshot.empty())) {
    return Bad("--clock and --screenshot go with --headless");
  }
  if (xdgData && !dataFolder.empty()) return Bad("--data-dir and --xdg-data exclude each other");
  if (isReport) {
    auto endsWithPng = [](const std::string& f) {
      if (f.size() < 5) return false;
      std::string end = f.substr(f.size() - 4);
      for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return end == ".png";
    };
    if (isHeadless || sizeGiven) return Bad("--report goes alone");
    // Only a .png name, so a slip can never write over a record or statistics file.
    if (!reportPicture.empty() && !endsWithPng(reportPicture)) {
      return Bad("--report draws its picture only into a FILE.png");
    }
  }

  // Every start decides its data folder here, and only here.
  const StartKind kind = isReport     ? StartKind::Report
                         : isHeadless ? StartKind::Headless
                                      : StartKind::Window;
  DataFolder folder;
  std::string error;
  if (!ChooseDataFolder(kind, dataFolder, xdgData, &folder, &error)) {
    std::cerr << "wenlotka: " << error << "\n";
    return 1;
  }
  auto settle = [&]() {
    std::string why;
    if (SettleDataFolder(kind, folder, std::cerr, &why)) return true;
    std::cerr << "wenlotka: " << why << "\n";
    return false;
  };

  if (isReport) {
    if (!settle()) return 1;
    GameGlobals files;  // the files the game would use
    if (layout >= 0) SelectKeyboardLayout(files, layout);
    return RunProgressReport(files, layout < 0, folder.workingDirectory ? "" : folder.path,
                             reportPicture, std::cout, std::cerr);
  }
  if (isHeadless) {
    if (folder.byOption && !folder.workingDirectory) {
      // Paths on the command line mean what they meant where the user typed
      // them, wherever the data folder is.
      const std::string startFolder = CurrentFolder();
      if (startFolder.empty() && (headless.script != AbsoluteFrom("/", headless.script) ||
                                  headless.screenshot != AbsoluteFrom("/", headless.screenshot))) {
        std::cerr << "wenlotka: cannot name the working directory for relative paths\n";
        return 1;
      }
      headless.script = AbsoluteFrom(startFolder, headless.script);
      headless.screenshot = AbsoluteFrom(startFolder, headless.screenshot);
      headless.scriptFolder = startFolder;
    }
    if (!settle()) return 1;
    headless.languageFlag = languageFlag;
    if (sizeGiven) {
      headless.width = width;
      headless.height = height;
    }
    if (layout >= 0) headless.layout = layout;
    return RunHeadless(headless, std::cout, std::cerr);
  }
  return RunWindow(width, height, languageFlag, layout, settle, std::cerr);
}
