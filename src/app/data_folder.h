// Where the game keeps its files. The record file, the logs and everything
// else the game writes are opened by bare names, so the folder they live in
// is simply the working directory: main moves into the chosen folder once,
// before anything is read, and every file follows.
//
// Operations, in order of use:
//   XdgDataFolder     main, for --xdg-data (the desktop entry's choice)
//   AbsoluteFrom      main, for paths given on the command line
//   EnterDataFolder   main, after the options are parsed
#pragma once

#include <string>

// "$XDG_DATA_HOME/wenlotka", or "$HOME/.local/share/wenlotka" when that is
// unset, empty or relative (such a value is to be ignored). Empty, with
// `error` set, when neither gives an absolute folder.
std::string XdgDataFolder(std::string& error);

// `path` as seen from `base`: unchanged when absolute, "-" or empty.
std::string AbsoluteFrom(const std::string& base, const std::string& path);

// The current working directory; empty when it cannot be named.
std::string CurrentFolder();

// Creates `folder` with its missing parents, checks that the game may create
// and replace files in it, and makes it the working directory. On failure
// nothing has moved and `error` says what is wrong, naming the folder.
bool EnterDataFolder(const std::string& folder, std::string& error);
