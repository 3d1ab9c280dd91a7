// Playing in a real window: the event loop around the shell.
#pragma once

#include <iosfwd>

// Opens the window, runs the game until Exit or the window is closed (or the
// process gets SIGINT/SIGTERM), then runs the exit sequence with the window
// still open for the report. `layout` indexes KeyboardLayouts; -1 recognises
// it from the keyboard the window system reports. Returns the exit status.
int RunWindow(int width, int height, int layout, std::ostream& err);
