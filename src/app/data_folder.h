// Where the game keeps its files. The record file, the logs and everything
// else the game writes are opened by bare names, so a game's files live in
// its working directory: main decides the data folder once for every start,
// and a game moves into it before anything is read. The report only reads
// the folder, from wherever it was started.
//
// A learner has one set of files, whatever started the game: a game in a
// window and the report use the XDG data folder unless told otherwise; a
// headless script keeps to the working directory, as scripts expect.
//
// Operations, in order of use:
//   ChooseDataFolder   main, once the options are parsed, for every start
//   XdgDataFolder      ChooseDataFolder: the default of a window and of the
//                      report, and what --xdg-data asks for
//   AbsoluteFrom, CurrentFolder   main, for paths given on the command line
//   SettleDataFolder   main for a script or a report, the window once it is open
//   EnterDataFolder    SettleDataFolder, for a game
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

enum class StartKind { Window, Headless, Report };

struct DataFolder {
  std::string path;               // "." for the working directory
  bool workingDirectory = false;  // the same folder as the working directory
  bool byOption = false;          // named by --data-dir or --xdg-data
};

// The folder a start of `kind` keeps its files in: `dataDir` when not empty,
// the XDG data folder for `xdgData`, else the default of the kind. False,
// with `error` set, when no folder can be named.
bool ChooseDataFolder(StartKind kind, const std::string& dataDir, bool xdgData, DataFolder* folder,
                      std::string* error);

// "$XDG_DATA_HOME/wenlotka", or "$HOME/.local/share/wenlotka" when that is
// unset, empty or relative (such a value is to be ignored). Empty, with
// `error` set, when neither gives an absolute folder.
std::string XdgDataFolder(std::string& error);

// `path` as seen from `base`: unchanged when absolute, "-" or empty.
std::string AbsoluteFrom(const std::string& base, const std::string& path);

// The current working directory; empty when it cannot be named.
std::string CurrentFolder();

// The game's files (any layout's record file, logs and statistics) in
// `folder`, by name, in a fixed order.
std::vector<std::string> GameFilesIn(const std::string& folder);

// Once per start: when the working directory is not the data folder but
// holds game files, one line on `err` names them and how to use them; they
// are never touched. A game then enters the folder (EnterDataFolder); a
// report only reads it. False, with `error` set, when a game cannot use it.
bool SettleDataFolder(StartKind kind, const DataFolder& folder, std::ostream& err,
                      std::string* error);

// Creates `folder` with its missing parents, checks that the game may create
// and replace files in it, and makes it the working directory. On failure
// nothing has moved and `error` says what is wrong, naming the folder.
bool EnterDataFolder(const std::string& folder, std::string& error);
