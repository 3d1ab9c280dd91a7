// Playing in a real window: the event loop around the shell.
#pragma once

#include <iosfwd>

// Opens the window, runs the game until Exit or the window is closed (or the
// process gets SIGINT, SIGTERM or SIGHUP), then runs the exit sequence with
// the window still open for the report. Returns the process exit status. If
// the X server goes away the exit sequence runs at once, the report goes to
// `err`, and the process ends there. `languageFlag` is the game's LanguageFlag
// (1 English, else Japanese). `layout` indexes KeyboardLayouts; -1 recognises
// it from the keyboard the window system reports.
int RunWindow(int width, int height, int languageFlag, int layout, std::ostream& err);
