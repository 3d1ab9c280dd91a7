// The drawn keyboard: four staggered rows of caps, home keys in magenta.
#include "practice/practice.h"
#include "textscreen/textscreen.h"

namespace {

// Caps per row the drawing loop allows for; the rows in use have at most ten.
constexpr int MaxCapsPerRow = 13;
constexpr double CapGlyphScale = 1.8;

}  // namespace

bool LocateKey(const GameGlobals& g, int key, int* row, int* column) {
  if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
  const bool letter = key >= 'A' && key <= 'Z';
  const bool digit = key >= '0' && key <= '9';
  if (!letter && !digit) return false;
  const KeyPosition& place = g.KeyPositionTable[key];
  if (place.row == 0 || place.column == 0) return false;
  *row = place.row;
  *column = place.column;
  return true;
}

void KeyCapOrigin(int row, int column, int* y, int* x) {
  *y = 64 * row;
  *x = 32 + 16 * (row - 1) + 48 * (column - 1);
}

bool IsHomeKey(int row, int column) {
  return row == 3 && ((column >= 1 && column <= 4) || (column >= 7 && column <= 10));
}

void DrawKeyRow(GameGlobals& g, DeviceContext& dc, int rowIndex, const char* keys,
                KeyGuideMode mode) {
  dc.SetTextColor(ColorBlack);
  for (int j = 0; j < MaxCapsPerRow && keys[j] != '\0'; ++j) {
    int y = 0;
    int x = 0;
    KeyCapOrigin(rowIndex + 1, j + 1, &y, &x);
    const ColorRef colour = IsHomeKey(rowIndex + 1, j + 1) ? ColorMagenta : ColorGrey;
    SetColors(dc, ColorBlack, colour);
    FillFramedBox(g, dc, y, x - 4, y + 48, x + 36, colour, ColorBlack, 1, 1, 1, 1);
    if (mode == CapsWithLabels) {
      PutKeyGlyph(g, dc, y + 16, x + 8, static_cast<unsigned char>(keys[j]), CapGlyphScale);
    }
  }
  SetColors(dc, ColorBlack, ColorWhite);
}

void DrawKeyGuide(GameGlobals& g, DeviceContext& dc, KeyGuideMode mode) {
  const KeyboardLayout& layout = CurrentLayout(g);
  for (int i = 0; i < 4; ++i) DrawKeyRow(g, dc, i, layout.rows[i], mode);
}
