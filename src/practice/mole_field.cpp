// The mole field: key caps in their states, the two hands and the nail that
// marks the finger for the target.
#include "practice/practice.h"
#include "textscreen/textscreen.h"

const FingerTip FingerTable[11] = {
    {0, 0, 0},       // unused
    {344, 86, 26},   // left little
    {322, 120, 32},  // left ring
    {317, 160, 32},  // left middle
    {322, 200, 32},  // left index
    {352, 244, 40},  // left thumb
    {352, 316, 40},  // right thumb
    {322, 368, 32},  // right index
    {317, 408, 32},  // right middle
    {322, 448, 32},  // right ring
    {344, 488, 26},  // right little
};
static_assert(sizeof(FingerTable) / sizeof(FingerTable[0]) == 11, "ten fingers plus entry 0");

namespace {

// Fingers run past the bottom of the 400-pixel screen so no stub shows.
constexpr int FingerBottom = 416;
constexpr double CapGlyphScale = 1.8;

}  // namespace

int FingerForColumn(int column) {
  if ((column >= 1 && column <= 4) || (column >= 7 && column <= 10)) return column;
  if (column == 5) return 4;
  if (column == 6) return 7;
  if (column >= 11 && column <= 13) return 10;
  return 0;
}

void FillKeyFace(GameGlobals& g, DeviceContext& dc, int y, int x, ColorRef colour) {
  FillBox(g, dc, y + 9, x + 1, y + 39, x + 31, colour);
}

void DrawKeyCell(GameGlobals& g, DeviceContext& dc, int key, KeyCellState state) {
  int row = 0;
  int column = 0;
  if (key == 0 || !LocateKey(g, key, &row, &column)) return;
  int y = 0;
  int x = 0;
  KeyCapOrigin(row, column, &y, &x);

  const ColorRef keyColour = IsHomeKey(row, column) ? ColorMagenta : ColorGrey;
  ColorRef fill = keyColour;
  ColorRef text = ColorBlack;
  switch (state) {
    case Mole:
      fill = ColorBlack;
      text = keyColour;
      break;
    case Miss:
      fill = ColorRed;
      break;
    case Plain:
    case Unlabelled:
      break;
  }
  FillKeyFace(g, dc, y, x, fill);
  SetColors(dc, text, fill);
  if (state != Unlabelled) {
    // The cap shows the capital whichever case was typed.
    const int label = (key >= 'a' && key <= 'z') ? key - ('a' - 'A') : key;
    PutKeyGlyph(g, dc, y + 16, x + 8, label, CapGlyphScale);
  }
  SetColors(dc, ColorBlack, ColorWhite);
}

void DrawNail(GameGlobals& g, DeviceContext& dc, int y, int x, int width, ColorRef colour) {
  FillEllipse(g, dc, y - 3, x + 4, y + 11, x + width - 4, colour, colour);
  FillBox(g, dc, y + 4, x + 4, y + 24, x + width - 4, colour);
}

void DrawFinger(GameGlobals& g, DeviceContext& dc, int y, int x, int width, int on) {
  const ColorRef colour = on ? ColorOrange : ColorWhite;
  FillEllipse(g, dc, y - 8, x, y + 8, x + width, colour, colour);
  FillBox(g, dc, y, x, FingerBottom, x + width, colour);
  if (on) DrawNail(g, dc, y, x, width, ColorLightYellow);
}

void DrawHands(GameGlobals& g, DeviceContext& dc, int on) {
  for (int finger = 1; finger <= 10; ++finger) {
    const FingerTip& tip = FingerTable[finger];
    DrawFinger(g, dc, tip.y, tip.x, tip.width, on);
  }
}

void ShowFingerForKey(GameGlobals& g, DeviceContext& dc, int key, int show) {
  int row = 0;
  int column = 0;
  if (key == 0 || !LocateKey(g, key, &row, &column)) return;
  const int finger = FingerForColumn(column);
  if (finger == 0) return;
  const FingerTip& tip = FingerTable[finger];
  DrawNail(g, dc, tip.y, tip.x, tip.width, show ? ColorBlack : ColorLightYellow);
}
