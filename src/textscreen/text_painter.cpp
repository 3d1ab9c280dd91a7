// The text painter: Shift-JIS strings placed one character at a time on the
// byte grid, so every column stays where the byte index says at any size.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "platform/cp932.h"
#include "textscreen/textscreen.h"

namespace {

// Only byte indices below this start characters; a lead byte at the last
// index still takes its trail byte.
constexpr int MaxTextBytes = 255;

struct HalfWidthEntry {
  unsigned char trail;
  char ascii;
};

// Symbols of the 0x81 row that have an ASCII look-alike.
constexpr HalfWidthEntry SymbolRow[] = {
    {0x40, ' '},  {0x43, ','}, {0x44, '.'}, {0x47, ';'}, {0x5E, '/'},
    {0x5F, '\\'}, {0x81, '='}, {0x83, '<'}, {0x84, '>'}, {0x9C, '*'},
};
static_assert(std::size(SymbolRow) == 10, "ten symbols have an ASCII form");

int Truncate(double v) {
  return static_cast<int>(std::trunc(v));
}

// Draws one character of a UIGothic string. The platform's Japanese UI face
// renders from the CP932 bytes; decoding first keeps characters that have no
// Unicode form off the screen, leaving their columns untouched.
void PaintUIGothicChar(DeviceContext& dc, int left, int top, const LogFont& font,
                       std::string_view character) {
  const std::optional<std::u32string> wide = Cp932ToUnicode(character);
  if (!wide || wide->empty()) return;
  if (ShowCharCodes == 1) {
    char code[16];
    std::snprintf(code, sizeof code, "%4x", static_cast<unsigned>((*wide)[0] & 0xFFFF));
    dc.TextOut(left, top, font, code);
    return;
  }
  dc.TextOut(left, top, font, character);
}

void PaintItem(GameGlobals& g, DeviceContext& dc, const TextItem& item, int blank) {
  PaintText(g, dc, item.y, item.x, item.text, 1.0, blank);
}

}  // namespace

char ToHalfWidth(unsigned char lead, unsigned char trail) {
  if (lead == 0x81) {
    for (const HalfWidthEntry& e : SymbolRow) {
      if (e.trail == trail) return e.ascii;
    }
    return ' ';
  }
  if (lead == 0x82) {
    if (trail >= 0x4F && trail <= 0x58) return static_cast<char>(trail - 0x1F);  // digits
    if (trail >= 0x60 && trail <= 0x79) return static_cast<char>(trail - 0x1F);  // capitals
    if (trail >= 0x81 && trail <= 0x9A) return static_cast<char>(trail - 0x20);  // small letters
  }
  return ' ';
}

void PaintText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text, double scale,
               int blank) {
  if (text == nullptr) return;
  const auto* s = reinterpret_cast<const unsigned char*>(text);

  const int loneRound = RoundCharCheck == 1 && IsLoneRoundChar(text) ? 1 : 0;
  const CellMetrics m = GetCellMetrics(g, scale);
  const int u = m.fontUnit;
  const FontKind kind = FontKindOf(text);

  BuildLogFont(g.PrimaryLogFont, 2 * u, u, g.BoldText, loneRound, kind);
  if (kind == FontKindLatin) {
    BuildLogFont(g.WideLogFont, 2 * u, Truncate(1.6 * u), g.BoldText, loneRound, FontKindLatin);
  }
  const LogFont& mainFont = g.PrimaryLogFont;
  const LogFont& wideFont = g.WideLogFont;

  // Every character shares the row: the 2u-high glyph is centred on it.
  const int top = ToDeviceY(g, y) + m.halfRowPitch - u;

  for (int i = 0; i < MaxTextBytes; ++i) {
    const unsigned char b = s[i];
    if (b == 0) break;
    const int first = i;

    char bytes[2];
    int count = 1;
    if (IsLeadByte(b)) {
      const unsigned char trail = s[i + 1];
      if (trail == 0) break;  // a lead byte cut off by the end draws nothing
      ++i;
      count = 2;
      bytes[0] = static_cast<char>(blank != 0 ? 0x81 : b);
      bytes[1] = static_cast<char>(blank != 0 ? 0x40 : trail);
    } else {
      bytes[0] = static_cast<char>(blank != 0 ? ' ' : b);
    }
    const std::string_view character(bytes, count);

    const int columnX = ToDeviceX(g, Truncate(x + first * CellWidth * scale)) + m.columnPitch;
    const int left = columnX - u;

    switch (kind) {
      case FontKindLatin:
        if (count == 1) {
          dc.TextOut(left, top, mainFont, character);
        } else {
          const char c = ToHalfWidth(static_cast<unsigned char>(bytes[0]),
                                     static_cast<unsigned char>(bytes[1]));
          if (c == '*') {
            // The dot keeps its logical place unscaled: it marks cells, not glyphs.
            DrawDot(g, dc, y, x + CellWidth * first, ColorPurple, ColorPurple);
          } else {
            // Centred on the boundary between the character's two columns.
            dc.TextOut(Truncate(columnX - 0.8 * u), top, wideFont, std::string_view(&c, 1));
          }
        }
        break;
      case FontKindUIGothic:
        PaintUIGothicChar(dc, left, top, mainFont, character);
        break;
      case FontKindJapanese:
        dc.TextOut(left, top, mainFont, character);
        break;
    }
  }
}

void PutText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text) {
  PaintText(g, dc, y, x, text, 1.0, 0);
}

void PutScaledText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text,
                   double scale) {
  PaintText(g, dc, y, x, text, scale, 0);
}

void BlankText(GameGlobals& g, DeviceContext& dc, int y, int x, const char* text) {
  PaintText(g, dc, y, x, text, 1.0, 1);
}

void PutTextList(GameGlobals& g, DeviceContext& dc, const TextItem* list) {
  if (list == nullptr) return;
  for (const TextItem* item = list; item->text != nullptr; ++item) PaintItem(g, dc, *item, 0);
}

void PutCenteredList(GameGlobals& g, DeviceContext& dc, const TextItem* list) {
  if (list == nullptr) return;
  for (const TextItem* item = list; item->text != nullptr; ++item) {
    // Centred on logical 320 whatever the zoom: the centred titles are drawn
    // while the zoom is off.
    const int length = static_cast<int>(std::strlen(item->text));
    PutText(g, dc, item->y, ScreenWidth / 2 - (CellWidth * length) / 2, item->text);
  }
}

void BlankTextList(GameGlobals& g, DeviceContext& dc, const TextItem* list) {
  if (list == nullptr) return;
  for (const TextItem* item = list; item->text != nullptr; ++item) PaintItem(g, dc, *item, 1);
}
