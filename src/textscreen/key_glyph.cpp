// Key characters shown as full-width glyphs: menu numbers, key caps and the
// big target key.
#include <iterator>

#include "texts/textscreen.h"
#include "textscreen/textscreen.h"

namespace {

constexpr int FirstKanaKey = 0xB1;  // half-width ｱ
constexpr int LastKanaKey = 0xDD;   // half-width ﾝ
static_assert(std::size(sjis::KanaKeyGlyphs) == LastKanaKey - FirstKanaKey + 1,
              "one full-width katakana for each half-width kana from 0xB1 to 0xDD");

// A full-width letter or digit: lead byte 0x82 and the trail byte offset
// from the ASCII code.
const char* FullWidthAlnum(char buffer[3], int key, int offset) {
  buffer[0] = static_cast<char>(0x82);
  buffer[1] = static_cast<char>(key + offset);
  buffer[2] = '\0';
  return buffer;
}

}  // namespace

const char* KeyGlyphText(int key, char buffer[3]) {
  key &= 0xFF;
  if (key >= 'A' && key <= 'Z') return FullWidthAlnum(buffer, key, 0x1F);
  if (key >= 'a' && key <= 'z') return FullWidthAlnum(buffer, key, 0x20);
  if (key >= '0' && key <= '9') return FullWidthAlnum(buffer, key, 0x1F);
  switch (key) {
    case ' ':
      return sjis::KeyGlyphSpace;
    case 13:
      return "CR";
    case '\'':
      return sjis::KeyGlyphApostrophe;
    case ',':
      return sjis::KeyGlyphComma;
    case '.':
      return sjis::KeyGlyphPeriod;
    case ':':
      return sjis::KeyGlyphColon;
    case ';':
      return sjis::KeyGlyphSemicolon;
    default:
      break;
  }
  if (key >= FirstKanaKey && key <= LastKanaKey) return sjis::KanaKeyGlyphs[key - FirstKanaKey];
  if (key == 0xDE) return sjis::KeyGlyphVoiced;
  if (key == 0xDF) return sjis::KeyGlyphSemiVoiced;
  if (key == 0xA6) return sjis::KeyGlyphWo;
  // Keys without a glyph of their own show a blank, which also erases the cell.
  return sjis::KeyGlyphSpace;
}

void PutKeyGlyph(GameGlobals& g, DeviceContext& dc, int y, int x, int key, double scale) {
  char buffer[3];
  PutScaledText(g, dc, y, x, KeyGlyphText(key, buffer), scale);
}
