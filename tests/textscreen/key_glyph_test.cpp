#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

std::string Glyph(int key) {
  char buffer[3];
  return KeyGlyphText(key, buffer);
}

}  // namespace

TEST(KeyGlyph, LettersAndDigitsAreFullWidth) {
  EXPECT_EQ(Glyph('q'), Sjis("ｑ"));
  EXPECT_EQ(Glyph('Q'), Sjis("Ｑ"));
  EXPECT_EQ(Glyph('A'), Sjis("Ａ"));
  EXPECT_EQ(Glyph('z'), Sjis("ｚ"));
  EXPECT_EQ(Glyph('0'), Sjis("０"));
  EXPECT_EQ(Glyph('9'), Sjis("９"));
}

TEST(KeyGlyph, PunctuationSpaceAndCarriageReturn) {
  EXPECT_EQ(Glyph(' '), Sjis("　"));
  EXPECT_EQ(Glyph(','), Sjis("，"));
  EXPECT_EQ(Glyph('.'), Sjis("．"));
  EXPECT_EQ(Glyph(';'), Sjis("；"));
  EXPECT_EQ(Glyph(':'), Sjis("："));
  EXPECT_EQ(Glyph('\''), Sjis("’"));
  EXPECT_EQ(Glyph(13), "CR");
}

TEST(KeyGlyph, KeysWithoutAGlyphAreFullWidthSpaces) {
  for (int key : {int{'@'}, int{'\t'}, 0, 127, 0xA1, 0xA7, 0xAF, 0xB0, 0xE0, 0xFF}) {
    EXPECT_EQ(Glyph(key), Sjis("　")) << "key " << key;
  }
}

TEST(KeyGlyph, HalfWidthKanaBecomeFullWidthKatakana) {
  EXPECT_EQ(Glyph(0xB1), Sjis("ア"));
  EXPECT_EQ(Glyph(0xB6), Sjis("カ"));
  EXPECT_EQ(Glyph(0xC1), Sjis("チ"));
  EXPECT_EQ(Glyph(0xD7), Sjis("ラ"));
  EXPECT_EQ(Glyph(0xDC), Sjis("ワ"));
  EXPECT_EQ(Glyph(0xDD), Sjis("ン"));
  EXPECT_EQ(Glyph(0xA6), Sjis("ヲ"));
  EXPECT_EQ(Glyph(0xDE), Sjis("゛"));
  EXPECT_EQ(Glyph(0xDF), Sjis("゜"));
  // A signed char carrying a kana byte means the same key.
  EXPECT_EQ(Glyph(static_cast<char>(0xB1)), Sjis("ア"));
}

TEST(KeyGlyph, DrawnThroughTheScaledPainter) {
  GameGlobals g;
  InitGlobals(g, nullptr, 642, 402);
  RecordingDC dc;
  PutKeyGlyph(g, dc, 160, 80, 'F', 3.0);
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].bytes, "F");
  EXPECT_EQ(dc.texts[0].font.lfWidth, 38);  // trunc(1.6 * 24)
  EXPECT_EQ(dc.texts[0].font.lfHeight, 48);

  dc.Clear();
  PutKeyGlyph(g, dc, 160, 80, 0xB1, 1.8);
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].bytes, Sjis("ア"));
  EXPECT_STREQ(dc.texts[0].font.lfFaceName, "MS UI Gothic");

  dc.Clear();
  PutKeyGlyph(g, dc, 0, 0, 13, 1.0);
  EXPECT_EQ(dc.AllText(), "CR");
  EXPECT_EQ(dc.texts[1].left, ToDeviceX(g, 8));
}
