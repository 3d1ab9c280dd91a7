// Logical-to-device mapping, cell metrics, font choice and colours.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "texts/textscreen.h"
#include "textscreen/textscreen.h"

namespace {

// Extent of the client area used by the mapping: the client size less the
// one-pixel margins, never below 1 so a collapsed window still maps somewhere.
int MappedExtent(int clientSize) {
  int extent = clientSize - 2;
  return extent > 0 ? extent : 1;
}

// The multiplication is done in 64 bits: coordinates are arbitrary ints and a
// large one times a wide window must not overflow before the division.
int Scale(int value, int extent, int logical) {
  return static_cast<int>(static_cast<std::int64_t>(value) * extent / logical) + 1;
}

int PositiveOrOne(int value) {
  return value > 0 ? value : 1;
}

int TruncatedOrOne(double value) {
  double t = std::trunc(value);
  return t >= 1.0 ? static_cast<int>(t) : 1;
}

void CopyFaceName(LogFont& font, const char* name) {
  static_assert(sizeof(sjis::FaceNameGothic) <= sizeof(font.lfFaceName),
                "a face name must fit the font record");
  std::strncpy(font.lfFaceName, name, sizeof(font.lfFaceName) - 1);
  font.lfFaceName[sizeof(font.lfFaceName) - 1] = '\0';
}

}  // namespace

int ToDeviceX(const GameGlobals& g, int x) {
  return Scale(x, MappedExtent(g.ClientRect.right), g.ZoomX != 0 ? ZoomScreenWidth : ScreenWidth);
}

int ToDeviceY(const GameGlobals& g, int y) {
  return Scale(y, MappedExtent(g.ClientRect.bottom),
               g.ZoomY != 0 ? ZoomScreenHeight : ScreenHeight);
}

CellMetrics GetCellMetrics(const GameGlobals& g, double scale) {
  // Zoom sizes fonts for 60 columns, not 512 / 8: the enlarged screens want
  // glyphs a little wider than their columns.
  const int cols = g.ZoomX != 0 ? 60 : 80;
  const int rows = g.ZoomY != 0 ? 40 : 50;
  const int width = g.ClientRect.right - 2;
  const int height = g.ClientRect.bottom - 2;

  const int fx = TruncatedOrOne(width * scale / cols);
  const int fy = TruncatedOrOne(height * scale / rows);
  CellMetrics m;
  m.columnPitch = PositiveOrOne(width / cols);
  m.halfRowPitch = PositiveOrOne(height / rows);
  m.fontUnit = fy < fx ? fy : fx;
  return m;
}

int ClassifyText(const char* text) {
  constexpr int ScanLimit = 2048;
  if (text == nullptr) return 0;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  int cls = 0;
  auto atLeast = [&cls](int c) {
    if (cls < c) cls = c;
  };
  for (int i = 0; i < ScanLimit; ++i) {
    const unsigned char b = s[i];
    if (b == 0) return cls;
    if (!IsLeadByte(b)) continue;
    const unsigned char t = s[i + 1];
    if (t == 0) {
      atLeast(7);
      return cls;
    }
    if (b == 0x81) {
      atLeast(2);
    } else if (b == 0x82 && t >= 0x4F && t <= 0x59) {
      atLeast(3);
    } else if (b == 0x82 && t >= 0x60 && t <= 0x9A) {
      atLeast(4);
    } else if (b == 0x82 && t >= 0x9F && t <= 0xF1) {
      atLeast(5);
    } else if (b == 0x83 && t >= 0x40 && t <= 0x96) {
      atLeast(6);
    } else {
      atLeast(7);
    }
    ++i;
  }
  // No terminator within reach: treat the bytes as plain text.
  return 0;
}

FontKind FontKindOf(const char* text) {
  if (FontByContent != 1) return FontKindJapanese;
  if (ClassifyText(text) <= 4) return FontKindLatin;
  return UseUIGothic == 1 ? FontKindUIGothic : FontKindJapanese;
}

bool IsLoneRoundChar(const char* text) {
  if (text == nullptr) return false;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  return s[0] == 0x82 && (s[1] == 0x4F || s[1] == 0x6E) && s[2] == 0;
}

void BuildLogFont(LogFont& font, int height, int width, int bold, int loneRound, FontKind kind) {
  font.lfHeight = height;
  font.lfWidth = width;
  font.lfWeight = bold == 1 ? 700 : 0;
  font.lfOutPrecision = 2;    // OUT_CHARACTER_PRECIS
  font.lfQuality = 2;         // PROOF_QUALITY
  font.lfPitchAndFamily = 1;  // FIXED_PITCH, FF_DONTCARE
  switch (kind) {
    case FontKindLatin:
      font.lfCharSet = AnsiCharset;
      CopyFaceName(font, "Lucida Console");
      break;
    case FontKindUIGothic:
      font.lfCharSet = DefaultCharset;
      CopyFaceName(font, "MS UI Gothic");
      break;
    case FontKindJapanese:
      font.lfCharSet = ShiftJisCharset;
      // A lone full-width zero or O in the Gothic face looks like a box at
      // small sizes; the serif face keeps it round.
      CopyFaceName(font,
                   loneRound != 0 && height <= 22 ? sjis::FaceNameMincho : sjis::FaceNameGothic);
      break;
  }
}

void SetColors(DeviceContext& dc, ColorRef text, ColorRef background) {
  dc.SetTextColor(text);
  dc.SetBkColor(background);
}

void ClearScreen(const GameGlobals& g, DeviceContext& dc) {
  dc.FillRect(g.ClientRect, ColorWhite);
}
