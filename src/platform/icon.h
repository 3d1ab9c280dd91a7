// The program's icon, drawn with the game's own renderer: a key cap with the
// mole on it and the black nail of the finger that types it.
//
// Callers: the window (its icon), tools/make_icon (the installed PNG).
#pragma once

#include "platform/types.h"

class CairoDeviceContext;

// Draws the icon over the whole of a square surface, on `background` where
// the icon leaves the surface uncovered.
void DrawAppIcon(CairoDeviceContext& dc, ColorRef background = 0xFFFFFF);
