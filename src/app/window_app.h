// Playing in a real window: the event loop around the shell.
#pragma once

#include <functional>
#include <iosfwd>

// Opens the window, runs the game until Exit or the window is closed (or the
// process gets SIGINT, SIGTERM or SIGHUP), then runs the exit sequence with
// the window still open for the report. Returns the process exit status. If
// the X server goes away the exit sequence runs at once, the report goes to
// `err`, and the process ends there. `languageFlag` is the game's LanguageFlag
// (1 English, else Japanese). `layout` indexes KeyboardLayouts; -1 recognises
// it from the keyboard the window system reports. `settleDataFolder` runs once
// the window is open, before anything is read (so a start without a display
// touches no folder); when it fails the window closes with status 1.
int RunWindow(int width, int height, int languageFlag, int layout,
              const std::function<bool()>& settleDataFolder, std::ostream& err);
