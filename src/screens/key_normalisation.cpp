// Key normalisation: whatever a key press reaches us as (ASCII, a half-width
// kana byte, or a double-byte character from an input method) is folded to
// the ASCII character printed on the JIS keyboard key that was pressed.
#include <cstring>

#include "screens/screens.h"
#include "texts/screens.h"
#include "textscreen/textscreen.h"

namespace {

static_assert(std::size(sjis::KanaFullWidth) == KanaTableSize,
              "every full-width kana needs its half-width form");
static_assert(std::size(sjis::KanaHalfWidth) == KanaTableSize,
              "every half-width kana form needs its full-width kana");

constexpr std::array<KanaPair, KanaTableSize> BuildKanaTable() {
  std::array<KanaPair, KanaTableSize> table{};
  for (int i = 0; i < KanaTableSize; ++i) {
    table[i] = KanaPair{sjis::KanaFullWidth[i], sjis::KanaHalfWidth[i]};
  }
  return table;
}

// The lookup never scans further than this, whatever the table holds.
constexpr int MaxKanaScan = 100;

constexpr unsigned char Space = ' ';
constexpr unsigned char Bar = '|';

}  // namespace

const std::array<KanaPair, KanaTableSize> KanaTable = BuildKanaTable();

// clang-format off
const std::array<unsigned char, 128> KanaKeyTable = {
    // 0x80..0x9F: lead bytes, never a half-width kana.
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0..0xAF: (none) ｡ ｢ ｣ ､ ･ ｦ ｧ ｨ ｩ ｪ ｫ ｬ ｭ ｮ ｯ
    Space, '[', '[', ']', ',', '/', '0', '3', 'E', '4', '5', '6', '7', '8', '9', 'Z',
    // 0xB0..0xBF: ｰ ｱ ｲ ｳ ｴ ｵ ｶ ｷ ｸ ｹ ｺ ｻ ｼ ｽ ｾ ｿ
    '\\', '3', 'E', '4', '5', '6', 'T', 'G', 'H', ':', 'B', 'X', 'D', 'R', 'P', 'C',
    // 0xC0..0xCF: ﾀ ﾁ ﾂ ﾃ ﾄ ﾅ ﾆ ﾇ ﾈ ﾉ ﾊ ﾋ ﾌ ﾍ ﾎ ﾏ
    'Q', 'A', 'Z', 'W', 'S', 'U', 'I', '1', ',', 'K', 'F', 'V', '2', '^', '-', 'J',
    // 0xD0..0xDF: ﾐ ﾑ ﾒ ﾓ ﾔ ﾕ ﾖ ﾗ ﾘ ﾙ ﾚ ﾛ ﾜ ﾝ ﾞ ﾟ
    'N', ']', '/', 'M', '7', '8', '9', 'O', 'L', '.', ';', Space, '0', 'Y', '@', '[',
    // 0xE0..0xFF: lead bytes again.
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
// clang-format on

int AssembleKey(GameGlobals& g, int character) {
  // A character message carries one byte; anything wider is cut to it so no
  // out-of-range value can slip past the later stages.
  const unsigned char c = static_cast<unsigned char>(character & 0xFF);
  if (g.pendingLeadByte == 0) {
    if (IsLeadByte(c)) {
      g.dbcsBuffer[0] = c;
      g.pendingLeadByte = 1;
      return 0;
    }
    return c;
  }
  // Whatever follows a lead byte is its trail byte, even ESC: the pair is
  // converted as one character.
  g.dbcsBuffer[1] = c;
  g.dbcsBuffer[2] = 0;
  g.pendingLeadByte = 0;
  return ConvertDoubleByte(g.dbcsBuffer);
}

int ConvertDoubleByte(unsigned char buffer[3]) {
  const unsigned char lead = buffer[0];
  const unsigned char trail = buffer[1];
  if (lead == 0x81 && trail == 0x40) return Space;  // full-width space
  if (lead == 0x82) {
    if (trail >= 0x4F && trail <= 0x58) return trail - 0x1F;  // ０..９
    if (trail >= 0x60 && trail <= 0x79) return trail - 0x1F;  // Ａ..Ｚ
    if (trail >= 0x81 && trail <= 0x9A) return trail - 0x40;  // ａ..ｚ, as capitals
  }
  return LookUpKana(buffer);
}

int LookUpKana(unsigned char buffer[3]) {
  // Hiragana and katakana of one sound are the same key: fold to katakana.
  if (buffer[0] == 0x82 && buffer[1] >= 0x9F && buffer[1] <= 0xF1) {
    buffer[0] = 0x83;
    buffer[1] = static_cast<unsigned char>(buffer[1] >= 0xDE ? buffer[1] - 0x5E : buffer[1] - 0x5F);
  }
  const char* text = reinterpret_cast<const char*>(buffer);
  const int limit = KanaTableSize < MaxKanaScan ? KanaTableSize : MaxKanaScan;
  for (int i = 0; i < limit && KanaTable[i].fullWidth != nullptr; ++i) {
    if (std::strcmp(text, KanaTable[i].fullWidth) != 0) continue;
    const char* h = KanaTable[i].halfWidth;
    // A lone kana gives its byte; a kana with a voicing mark gives a value
    // above 255, which MapKanaKey drops.
    const int first = static_cast<int>(static_cast<signed char>(h[0]));
    const int second = static_cast<unsigned char>(h[1]);
    return first & (second * 256 + 255);
  }
  return Bar;
}

int MapKanaKey(int key) {
  if (key > 255) return 0;
  if (key >= 128) return KanaKeyTable[key - 128];
  // Nothing below 0 can come out of AssembleKey; refuse it all the same.
  if (key < 0) return 0;
  return key;
}
