#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/screens.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

using Keys = std::vector<int>;

// The keys that survive both stages for the bytes of `cp932`, in order.
Keys Fold(const std::string& cp932) {
  GameGlobals g;
  Keys keys;
  for (unsigned char c : cp932) {
    const int key = MapKanaKey(AssembleKey(g, c));
    if (key != 0) keys.push_back(key);
  }
  return keys;
}

TEST(KeyNormalisation, FoldsEveryFormToTheKeyThatWasPressed) {
  const struct {
    std::string in;
    Keys out;
  } cases[] = {
      {"a\x1b\r ", {'a', 27, 13, ' '}},
      {Sjis("ＡａＺｚ"), {'A', 'A', 'Z', 'Z'}},
      {Sjis("０１９　"), {'0', '1', '9', ' '}},
      {"\xC1\xB1\xA0\xDB", {'A', '3', ' ', ' '}},                             // ﾁ ｱ (none) ﾛ
      {"\xC7\xCC\xB1\xB3\xB4\xB5\xD4", {'1', '2', '3', '4', '5', '6', '7'}},  // kana digit keys
      {Sjis("ちチァッャンー"), {'A', 'A', '3', 'Z', '7', 'Y', '\\'}},
      {Sjis("ガパヴが"), {}},  // voiced kana need two key presses
      {Sjis("漢ヮヶ★"), {'|', '|', '|', '|'}},
      {"\x82\x1b\x1b", {'|', 27}},  // whatever follows a lead byte is its trail, even ESC
  };
  for (const auto& c : cases) EXPECT_EQ(Fold(c.in), c.out) << c.in;
}

TEST(KeyNormalisation, HiraganaAndKatakanaOfOneSoundGiveTheSameKey) {
  for (char32_t hira = 0x3041; hira <= 0x3093; ++hira) {  // ぁ..ん; katakana sit 0x60 higher
    auto utf8 = [](char32_t c) {
      return std::string{char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                         char(0x80 | (c & 0x3F))};
    };
    const std::string hiragana = Sjis(utf8(hira).c_str()),
                      katakana = Sjis(utf8(hira + 0x60).c_str());
    ASSERT_EQ(hiragana.size(), 2u) << int(hira);
    unsigned char buffer[3] = {(unsigned char)hiragana[0], (unsigned char)hiragana[1], 0};
    LookUpKana(buffer);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), katakana) << int(hira);
    EXPECT_EQ(Fold(hiragana), Fold(katakana)) << int(hira);
  }
}

TEST(KeyNormalisation, NoKeyOf128OrMoreEverLeaves) {
  EXPECT_EQ(MapKanaKey(0xDE * 256 + 0xB6), 0);
  for (int first = 0; first < 256; ++first) {
    for (int second = -1; second < (IsLeadByte(first) ? 256 : 0); ++second) {
      GameGlobals g;
      int key = AssembleKey(g, first);
      if (second >= 0) key = AssembleKey(g, second);
      key = MapKanaKey(key);
      ASSERT_TRUE(key >= 0 && key < 128) << "bytes " << first << " " << second << " gave " << key;
    }
  }
}

}  // namespace
