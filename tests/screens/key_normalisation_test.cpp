#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/screens.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

// The keys that survive both stages for the bytes of `cp932`, in order.
std::vector<int> Fold(GameGlobals& g, const std::string& cp932) {
  std::vector<int> keys;
  for (unsigned char c : cp932) {
    int key = AssembleKey(g, c);
    if (key == 0) continue;
    key = MapKanaKey(key);
    if (key != 0) keys.push_back(key);
  }
  return keys;
}

std::vector<int> Fold(const std::string& cp932) {
  GameGlobals g;
  return Fold(g, cp932);
}

using Keys = std::vector<int>;

TEST(KeyNormalisation, PlainKeysPassUnchanged) {
  EXPECT_EQ(Fold("a"), Keys{97});
  EXPECT_EQ(Fold("\x1b\r "), (Keys{27, 13, 32}));
}

TEST(KeyNormalisation, FullWidthDigitsLettersAndSpaceFoldToAscii) {
  EXPECT_EQ(Fold(Sjis("Ａ")), Keys{'A'});
  EXPECT_EQ(Fold(Sjis("ａ")), Keys{'A'});
  EXPECT_EQ(Fold(Sjis("Ｚｚ")), (Keys{'Z', 'Z'}));
  EXPECT_EQ(Fold(Sjis("１")), Keys{'1'});
  EXPECT_EQ(Fold(Sjis("０９")), (Keys{'0', '9'}));
  EXPECT_EQ(Fold(Sjis("　")), Keys{32});
}

TEST(KeyNormalisation, KanaFoldToTheKeyThatCarriesThem) {
  EXPECT_EQ(Fold("\xC1"), Keys{'A'});  // half-width ﾁ
  EXPECT_EQ(Fold("\xB1"), Keys{'3'});  // half-width ｱ
  EXPECT_EQ(Fold(Sjis("ち")), Keys{'A'});
  EXPECT_EQ(Fold(Sjis("チ")), Keys{'A'});
  EXPECT_EQ(Fold(Sjis("ァ")), Keys{'3'});
  EXPECT_EQ(Fold(Sjis("ッ")), Keys{'Z'});
  EXPECT_EQ(Fold(Sjis("ャ")), Keys{'7'});
  EXPECT_EQ(Fold(Sjis("ン")), Keys{'Y'});
  EXPECT_EQ(Fold(Sjis("ー")), Keys{'\\'});
}

TEST(KeyNormalisation, KanaDigitKeysChooseMenuEntries) {
  // ﾇ ﾌ ｱ ｳ ｴ ｵ ﾔ sit on the digit keys 1..7.
  EXPECT_EQ(Fold("\xC7\xCC\xB1\xB3\xB4\xB5\xD4"), (Keys{'1', '2', '3', '4', '5', '6', '7'}));
}

TEST(KeyNormalisation, VoicedKanaAreDropped) {
  EXPECT_TRUE(Fold(Sjis("ガ")).empty());
  EXPECT_TRUE(Fold(Sjis("パ")).empty());
  EXPECT_TRUE(Fold(Sjis("ヴ")).empty());
  EXPECT_TRUE(Fold(Sjis("が")).empty());

  // Base kana plus voicing mark, so MapKanaKey has something above 255 to drop.
  unsigned char ga[3] = {0x83, 0x4B, 0};  // ガ
  EXPECT_EQ(LookUpKana(ga), 0xDE * 256 + 0xB6);
  unsigned char pa[3] = {0x83, 0x70, 0};  // パ
  EXPECT_EQ(LookUpKana(pa), 0xDF * 256 + 0xCA);
}

TEST(KeyNormalisation, CharactersOutsideTheTablesGiveBar) {
  EXPECT_EQ(Fold(Sjis("漢")), Keys{'|'});
  EXPECT_EQ(Fold(Sjis("ヮ")), Keys{'|'});
  EXPECT_EQ(Fold(Sjis("ヶ")), Keys{'|'});
  EXPECT_EQ(Fold(Sjis("★")), Keys{'|'});
}

TEST(KeyNormalisation, HiraganaAndKatakanaOfOneSoundGiveTheSameKey) {
  // ぁ..ん are U+3041..U+3093; their katakana sit 0x60 higher.
  for (char32_t hira = 0x3041; hira <= 0x3093; ++hira) {
    auto utf8 = [](char32_t c) {
      std::string s;
      s += static_cast<char>(0xE0 | (c >> 12));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      s += static_cast<char>(0x80 | (c & 0x3F));
      return s;
    };
    const std::string hiragana = Sjis(utf8(hira).c_str());
    const std::string katakana = Sjis(utf8(hira + 0x60).c_str());
    ASSERT_EQ(hiragana.size(), 2u);
    ASSERT_EQ(katakana.size(), 2u);
    unsigned char buffer[3] = {static_cast<unsigned char>(hiragana[0]),
                               static_cast<unsigned char>(hiragana[1]), 0};
    LookUpKana(buffer);
    EXPECT_EQ(buffer[0], static_cast<unsigned char>(katakana[0]))
        << std::hex << static_cast<int>(hira);
    EXPECT_EQ(buffer[1], static_cast<unsigned char>(katakana[1]))
        << std::hex << static_cast<int>(hira);
    EXPECT_EQ(Fold(hiragana), Fold(katakana)) << std::hex << static_cast<int>(hira);
  }
}

TEST(KeyNormalisation, LeadByteWaitsForItsTrailByte) {
  GameGlobals g;
  EXPECT_EQ(AssembleKey(g, 0x82), 0);
  EXPECT_EQ(g.pendingLeadByte, 1);
  EXPECT_EQ(AssembleKey(g, 0x60), 'A');  // Ａ
  EXPECT_EQ(g.pendingLeadByte, 0);

  // ESC after a lead byte is its trail byte, not ESC.
  EXPECT_EQ(AssembleKey(g, 0x82), 0);
  EXPECT_EQ(AssembleKey(g, 27), '|');
  EXPECT_EQ(g.pendingLeadByte, 0);
  EXPECT_EQ(AssembleKey(g, 27), 27);
}

TEST(KeyNormalisation, NoKeyOf128OrMoreEverLeaves) {
  for (int c = 0; c < 256; ++c) {
    GameGlobals g;
    const int key = MapKanaKey(AssembleKey(g, c));
    EXPECT_TRUE(key >= 0 && key < 128) << "byte " << c << " gave " << key;
  }
  for (int lead = 0x80; lead < 0x100; ++lead) {
    if (!IsLeadByte(lead)) continue;
    for (int trail = 0; trail < 256; ++trail) {
      GameGlobals g;
      AssembleKey(g, lead);
      const int key = MapKanaKey(AssembleKey(g, trail));
      ASSERT_TRUE(key >= 0 && key < 128) << "bytes " << lead << " " << trail << " gave " << key;
    }
  }
}

TEST(KeyNormalisation, BytesOutsideTheHalfWidthKanaMapToNothing) {
  for (int k = 0x80; k <= 0x9F; ++k) EXPECT_EQ(MapKanaKey(k), 0) << k;
  for (int k = 0xE0; k <= 0xFF; ++k) EXPECT_EQ(MapKanaKey(k), 0) << k;
  for (int k = 0xA1; k <= 0xDF; ++k) EXPECT_NE(MapKanaKey(k), 0) << k;
  EXPECT_EQ(MapKanaKey(0xA0), ' ');
  EXPECT_EQ(MapKanaKey(0xDB), ' ');  // ﾛ
  EXPECT_EQ(MapKanaKey(256), 0);
}

TEST(KeyNormalisation, KanaTablePairsFullAndHalfWidthForms) {
  EXPECT_EQ(KanaTable[0].fullWidth, Sjis("ア"));
  EXPECT_EQ(KanaTable[0].halfWidth, std::string("\xB1"));
  EXPECT_EQ(KanaTable[KanaTableSize - 1].fullWidth, Sjis("ョ"));
  EXPECT_EQ(KanaTable[KanaTableSize - 1].halfWidth, std::string("\xAE"));
  for (const KanaPair& p : KanaTable) {
    EXPECT_EQ(std::string(p.fullWidth).size(), 2u);
    const std::string half = p.halfWidth;
    ASSERT_TRUE(half.size() == 1 || half.size() == 2);
    if (half.size() == 2) EXPECT_TRUE(half[1] == '\xDE' || half[1] == '\xDF');
  }
}

}  // namespace
