#include "platform/icon.h"

#include <cstring>

#include "platform/cairo_dc.h"

void DrawAppIcon(CairoDeviceContext& dc, ColorRef background) {
  const int n = dc.Width();
  auto s = [n](int v) { return v * n / 64; };
  const ColorRef black = 0x000000, magenta = 0xFF00FF, orange = 0x3FBFFF;
  dc.FillRect(Rect{0, 0, n, n}, background);
  // The key cap: a magenta home key whose face the mole has turned black.
  dc.FillRect(Rect{s(6), s(3), s(58), s(41)}, magenta);
  dc.FillRect(Rect{s(8), s(5), s(56), s(39)}, black);
  LogFont font;
  font.lfHeight = s(30);
  font.lfWidth = s(15);
  font.lfWeight = 700;
  std::strcpy(font.lfFaceName, "Lucida Console");
  dc.SetTextColor(magenta);
  dc.SetBkColor(black);
  dc.TextOut(s(24), s(7), font, "F");
  // The finger below, its nail black.
  dc.Ellipse(Rect{s(20), s(40), s(44), s(58)}, orange, orange);
  dc.FillRect(Rect{s(20), s(49), s(44), s(64)}, orange);
  dc.Ellipse(Rect{s(24), s(44), s(40), s(56)}, black, black);
  dc.FillRect(Rect{s(24), s(50), s(40), s(62)}, black);
}
