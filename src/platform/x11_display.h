// What the window needs from X11 itself, where SDL does not say it: the
// character a key gives on the layout, and the news that the X server is gone.
//
// Operations, in order of use:
//   WatchX11Connection    once the window is open on the x11 driver
//   X11KeyFacts           for each SDL_SYSWMEVENT while the game runs
#pragma once

#include <functional>

#include "platform/key_meaning.h"

struct SDL_SysWMmsg;

// Runs `lost` (once) when the connection to the X server breaks, inside the
// display call that found it; the process then ends with the status `lost`
// returns, and nothing may touch the display again.
void WatchX11Connection(std::function<int()> lost);

// Fills `facts` for an X key press; false for any other message.
bool X11KeyFacts(const SDL_SysWMmsg& msg, KeyFacts* facts);
