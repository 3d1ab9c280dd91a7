// The text screen: a 640 x 400 dot, 80 x 25 cell screen stretched over the
// client area. Every position is logical (y, x), vertical first.
//
// Operations, in order of use:
//   geometry   ToDeviceX/Y, GetCellMetrics       the painter and shapes; tests
//   fonts      ClassifyText, FontKindOf, BuildLogFont, IsLoneRoundChar   the painter
//   colours    SetColors, ClearScreen            every screen
//   shapes     FillBox, FillEllipse, DrawDot, FillFramedBox, UnderlineText   menus, keyboard, moles
//   text       PaintText and its entry points PutText, PutScaledText, BlankText,
//              PutTextList, PutCenteredList, BlankTextList   every screen
//   glyphs     PutKeyGlyph                       menus, key caps, the target key
#pragma once

#include "platform/device_context.h"
#include "screens/game_globals.h"

// Logical screen.
constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 400;
constexpr int ZoomScreenWidth = 512;
constexpr int ZoomScreenHeight = 320;
constexpr int CellWidth = 8;
constexpr int CellHeight = 16;

// Display switches fixed for the build.
constexpr int FontByContent = 1;
constexpr int UseUIGothic = 1;
constexpr int ShowCharCodes = 0;
constexpr int RoundCharCheck = 1;

// Palette (COLORREF, 0x00BBGGRR).
constexpr ColorRef ColorBlack = 0x000000;
constexpr ColorRef ColorWhite = 0xFFFFFF;
constexpr ColorRef ColorPurple = 0x802080;
constexpr ColorRef ColorTeal = 0x808000;
constexpr ColorRef ColorGreen = 0x008000;
constexpr ColorRef ColorNavy = 0x800000;
constexpr ColorRef ColorBrown = 0x002080;
constexpr ColorRef ColorMaroon = 0x000080;
constexpr ColorRef ColorBlue = 0xFF0000;
constexpr ColorRef ColorRed = 0x0000FF;
constexpr ColorRef ColorMagenta = 0xFF00FF;
constexpr ColorRef ColorGrey = 0x7F7F7F;
constexpr ColorRef ColorLightYellow = 0xBFFFFF;
constexpr ColorRef ColorOrange = 0x3FBFFF;

enum FontKind { FontKindJapanese = 0, FontKindLatin = 1, FontKindUIGothic = 2 };

struct CellMetrics {
  int fontUnit = 1;      // width of a single-byte glyph; glyphs are twice as high
  int columnPitch = 1;   // device width of one text column
  int halfRowPitch = 1;  // device height of half a text row
};

// ---- Geometry and fonts ---------------------------------------------------

int ToDeviceX(const GameGlobals& g, int x);
int ToDeviceY(const GameGlobals& g, int y);
CellMetrics GetCellMetrics(const GameGlobals& g, double scale);

// True for 0x80..0x9F and 0xE0..0xFF: the byte starts a two-byte character.
constexpr bool IsLeadByte(int c) {
  c &= 0xFF;
  return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}
int ClassifyText(const char* text);
FontKind FontKindOf(const char* text);
bool IsLoneRoundChar(const char* text);
void BuildLogFont(LogFont& font, int height, int width, int bold, int loneRound, FontKind kind);

// ---- Colours ---------------------------------------------------------------

void SetColors(DeviceContext& dc, ColorRef text, ColorRef background);
void ClearScreen(const GameGlobals& g, DeviceContext& dc);

// ---- Shapes ----------------------------------------------------------------

void FillBox(const GameGlobals& g, DeviceContext& dc, int y1, int x1, int y2, int x2,
             ColorRef colour);
void FillEllipse(const GameGlobals& g, DeviceContext& dc, int y1, int x1, int y2, int x2,
                 ColorRef fill, ColorRef outline);
void DrawDot(const GameGlobals& g, DeviceContext& dc, int y, int x, ColorRef fill,
             ColorRef outline);
void FillFramedBox(const GameGlobals& g, DeviceContext& dc, int y1, int x1, int y2, int x2,
                   ColorRef inner, ColorRef outer, int insetLeft, int insetTop, int insetRight,
                   int insetBottom);
void UnderlineText(const GameGlobals& g, DeviceContext& dc, int y, int x, const char* text,
                   int offset, ColorRef colour);

// ---- Text ------------------------------------------------------------------

// The one-byte ASCII form a full-width character is drawn as in the Latin
// kind; '*' stands for the dot.
char ToHalfWidth(unsigned char lead, unsigned char trail);

void PaintText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text, double scale,
               int blank);
void PutText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text);
void PutScaledText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text, double scale);
void BlankText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text);
void PutTextList(GameGlobals& g, DeviceContext& dc, const TextItem* list);
void PutCenteredList(GameGlobals& g, DeviceContext& dc, const TextItem* list);
void BlankTextList(GameGlobals& g, DeviceContext& dc, const TextItem* list);

// ---- Key glyphs ------------------------------------------------------------

// The full-width glyph text of a key character (CP932, zero-terminated):
// letters and digits are built in `buffer`, every other glyph is a constant
// text. Used by PutKeyGlyph and by tests.
const char* KeyGlyphText(int key, char buffer[3]);
void PutKeyGlyph(GameGlobals& g, DeviceContext& dc, int y, int x, int key, double scale);
