// Draws the program's icon with the game's own renderer: a key cap with the
// mole on it (black face, magenta label) and the black nail of the finger
// that types it. Usage: make_icon OUTPUT.png [SIZE]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/cairo_dc.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_icon OUTPUT.png [SIZE]\n");
    return 2;
  }
  int n = argc > 2 ? std::atoi(argv[2]) : 128;
  if (n < 16 || n > 1024) {
    std::fprintf(stderr, "make_icon: SIZE must be 16..1024\n");
    return 2;
  }
  auto s = [n](double v) { return static_cast<int>(v * n / 64.0); };
  const ColorRef black = 0x000000, magenta = 0xFF00FF, orange = 0x3FBFFF, white = 0xFFFFFF;
  CairoDeviceContext dc(n, n);
  dc.FillRect(Rect{0, 0, n, n}, white);
  // The key cap: a black frame around the mole's black face.
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
  // The finger below with its black nail.
  dc.Ellipse(Rect{s(20), s(40), s(44), s(58)}, orange, orange);
  dc.FillRect(Rect{s(20), s(49), s(44), s(64)}, orange);
  dc.Ellipse(Rect{s(24), s(44), s(40), s(56)}, black, black);
  dc.FillRect(Rect{s(24), s(50), s(40), s(62)}, black);
  return dc.WritePng(argv[1]) ? 0 : 1;
}
