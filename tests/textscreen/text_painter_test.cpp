#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

class Painter : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, nullptr, 642, 402); }
  std::string Face(size_t i) const { return dc.texts.at(i).font.lfFaceName; }
  GameGlobals g;
  RecordingDC dc;
};

}  // namespace

TEST_F(Painter, SingleBytesTakeOneColumnEach) {
  PutText(g, dc, 16, 8, "AB");
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].bytes, "A");
  EXPECT_EQ(dc.texts[0].left, 9);
  EXPECT_EQ(dc.texts[0].top, 17);
  EXPECT_EQ(dc.texts[1].bytes, "B");
  EXPECT_EQ(dc.texts[1].left, 17);
  EXPECT_EQ(dc.texts[1].top, 17);
  EXPECT_EQ(dc.texts[0].font.lfHeight, 16);
  EXPECT_EQ(dc.texts[0].font.lfWidth, 8);
  EXPECT_EQ(Face(0), "Lucida Console");
  // The font record of the last string stays in the globals.
  EXPECT_EQ(g.PrimaryLogFont.lfWidth, 8);
}

TEST_F(Painter, FullWidthLettersUseTheWideFontCentredOnTheirColumns) {
  PutText(g, dc, 16, 8, Sjis("ＡＢ").c_str());
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].bytes, "A");
  EXPECT_EQ(dc.texts[0].left, 10);
  EXPECT_EQ(dc.texts[1].bytes, "B");
  EXPECT_EQ(dc.texts[1].left, 26);
  EXPECT_EQ(dc.texts[0].top, 17);
  EXPECT_EQ(dc.texts[0].font.lfWidth, 12);
  EXPECT_EQ(dc.texts[0].font.lfHeight, 16);
  EXPECT_EQ(Face(0), "Lucida Console");
}

TEST_F(Painter, FullWidthTableCoversDigitsLettersAndSymbols) {
  PutText(g, dc, 0, 0, Sjis("０９ＡＺａｚ　，．；／＼＝＜＞").c_str());
  EXPECT_EQ(dc.AllText(), "09AZaz ,.;/\\=<>");
  EXPECT_EQ(ToHalfWidth(0x81, 0x9C), '*');
  EXPECT_EQ(ToHalfWidth(0x82, 0x59), ' ');
  EXPECT_EQ(ToHalfWidth(0x82, 0x80), ' ');
}

TEST_F(Painter, UnknownFullWidthSymbolInLatinTextIsAWideBlank) {
  PutText(g, dc, 16, 8, Sjis("A！B").c_str());
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[0].bytes, "A");
  EXPECT_EQ(dc.texts[1].bytes, " ");
  EXPECT_EQ(dc.texts[1].font.lfWidth, 12);
  EXPECT_EQ(dc.texts[1].left, 18);  // trunc(17 + 8 - 6.4)
  EXPECT_EQ(dc.texts[2].bytes, "B");
  EXPECT_EQ(dc.texts[2].left, 33);
  EXPECT_EQ(dc.texts[2].font.lfWidth, 8);
}

TEST_F(Painter, DotsArePurpleWhateverTheColours) {
  SetColors(dc, ColorGreen, ColorBlack);
  PutText(g, dc, 32, 40, Sjis("●●").c_str());
  EXPECT_TRUE(dc.texts.empty());
  ASSERT_EQ(dc.ellipses.size(), 2u);
  EXPECT_EQ(dc.ellipses[0].rect.left, ToDeviceX(g, 41));
  EXPECT_EQ(dc.ellipses[0].rect.top, ToDeviceY(g, 33));
  EXPECT_EQ(dc.ellipses[1].rect.left - dc.ellipses[0].rect.left, 16);
  for (const auto& e : dc.ellipses) {
    EXPECT_EQ(e.fill, ColorPurple);
    EXPECT_EQ(e.outline, ColorPurple);
  }
  EXPECT_EQ(dc.GetTextColor(), ColorGreen);
  EXPECT_EQ(dc.GetBkColor(), ColorBlack);
}

TEST_F(Painter, DotPositionIgnoresTheScale) {
  PutScaledText(g, dc, 32, 40, Sjis("A●").c_str(), 3.0);
  ASSERT_EQ(dc.ellipses.size(), 1u);
  EXPECT_EQ(dc.ellipses[0].rect.left, ToDeviceX(g, 40 + 8 + 1));
}

TEST_F(Painter, DotInsideKanaTextIsAGlyph) {
  SetColors(dc, ColorNavy, ColorWhite);
  PutText(g, dc, 0, 0, Sjis("●あA").c_str());
  EXPECT_TRUE(dc.ellipses.empty());
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[0].bytes, Sjis("●"));
  EXPECT_EQ(dc.texts[1].bytes, Sjis("あ"));
  EXPECT_EQ(dc.texts[2].bytes, "A");
  EXPECT_EQ(dc.texts[2].left, ToDeviceX(g, 32) + 8 - 8);
  for (size_t i = 0; i < dc.texts.size(); ++i) {
    EXPECT_EQ(Face(i), "MS UI Gothic");
    EXPECT_EQ(dc.texts[i].font.lfWidth, 8);
    EXPECT_EQ(dc.texts[i].text, ColorNavy);
  }
}

TEST_F(Painter, UndecodableCharacterIsSkippedAndKeepsItsColumns) {
  std::string text = Sjis("あ") + "\x85\x40" + Sjis("い");
  PutText(g, dc, 0, 0, text.c_str());
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[1].bytes, Sjis("い"));
  EXPECT_EQ(dc.texts[1].left, ToDeviceX(g, 32));
}

TEST_F(Painter, OnlyTheFirst255BytesStartCharacters) {
  std::string text(300, 'x');
  PutText(g, dc, 0, 0, text.c_str());
  ASSERT_EQ(dc.texts.size(), 255u);
  EXPECT_EQ(dc.texts.back().left, ToDeviceX(g, 254 * 8));

  // A lead byte at index 254 still takes its trail byte.
  dc.Clear();
  std::string kana = std::string(254, 'x') + Sjis("あい");
  PutText(g, dc, 0, 0, kana.c_str());
  ASSERT_EQ(dc.texts.size(), 255u);
  EXPECT_EQ(dc.texts.back().bytes, Sjis("あ"));
}

TEST_F(Painter, LoneTrailingLeadByteDrawsNothing) {
  PutText(g, dc, 0, 0, "AB\x88");
  EXPECT_EQ(dc.AllText(), "AB");
  dc.Clear();
  PutText(g, dc, 0, 0, "\x82");
  EXPECT_TRUE(dc.texts.empty());
}

TEST_F(Painter, EmptyOrNullTextDrawsNothing) {
  PutText(g, dc, 0, 0, "");
  PutText(g, dc, 0, 0, nullptr);
  EXPECT_TRUE(dc.texts.empty());
  EXPECT_TRUE(dc.ellipses.empty());
}

TEST_F(Painter, BlankTextCoversExactlyTheCellsOfItsText) {
  const char* prompt = "Press ESC key to cancel";
  PutText(g, dc, 368, 16, prompt);
  std::vector<RecordingDC::Text> drawn = dc.texts;
  dc.Clear();
  SetColors(dc, ColorWhite, ColorWhite);
  BlankText(g, dc, 368, 16, prompt);
  ASSERT_EQ(dc.texts.size(), 23u);
  for (size_t i = 0; i < dc.texts.size(); ++i) {
    EXPECT_EQ(dc.texts[i].bytes, " ");
    EXPECT_EQ(dc.texts[i].left, drawn[i].left);
    EXPECT_EQ(dc.texts[i].top, drawn[i].top);
    EXPECT_EQ(dc.texts[i].font.lfWidth, drawn[i].font.lfWidth);
    EXPECT_EQ(dc.texts[i].background, ColorWhite);
  }
}

TEST_F(Painter, BlankJapaneseTextUsesFullWidthSpaces) {
  BlankText(g, dc, 0, 0, Sjis("あA").c_str());
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].bytes, Sjis("　"));
  EXPECT_EQ(dc.texts[1].bytes, " ");
  EXPECT_EQ(dc.texts[1].left, ToDeviceX(g, 16));
  EXPECT_EQ(Face(0), "MS UI Gothic");
}

TEST_F(Painter, BlankDotsBecomeWideBlanks) {
  BlankText(g, dc, 0, 0, Sjis("●Ａ").c_str());
  EXPECT_TRUE(dc.ellipses.empty());
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].bytes, " ");
  EXPECT_EQ(dc.texts[0].font.lfWidth, 12);
  EXPECT_EQ(dc.texts[1].bytes, " ");
}

TEST_F(Painter, ScaledGlyphKeepsItsRightEdgeAndRowCentre) {
  PutScaledText(g, dc, 160, 80, "A", 3.0);
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].font.lfWidth, 24);
  EXPECT_EQ(dc.texts[0].font.lfHeight, 48);
  EXPECT_EQ(dc.texts[0].left, ToDeviceX(g, 80) + 8 - 24);
  EXPECT_EQ(dc.texts[0].top, ToDeviceY(g, 160) + 8 - 24);
}

TEST_F(Painter, ScaledCharactersStepByTheScaledWidth) {
  PutScaledText(g, dc, 0, 3, "ABC", 1.8);
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[1].left, ToDeviceX(g, 17) + 8 - 14);  // trunc(3 + 14.4)
  EXPECT_EQ(dc.texts[2].left, ToDeviceX(g, 31) + 8 - 14);  // trunc(3 + 28.8)
}

TEST_F(Painter, BoldSwitchReachesBothFonts) {
  g.BoldText = 1;
  PutText(g, dc, 0, 0, Sjis("AＡ").c_str());
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].font.lfWeight, 700);
  EXPECT_EQ(dc.texts[1].font.lfWeight, 700);
}

TEST_F(Painter, ZoomPlacesTextOnTheSmallScreen) {
  g.ZoomX = g.ZoomY = 1;
  PutText(g, dc, 16, 8, "AB");
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].font.lfWidth, 10);
  EXPECT_EQ(dc.texts[0].left, 11);  // 11 + 10 - 10
  EXPECT_EQ(dc.texts[0].top, 21);
  EXPECT_EQ(dc.texts[1].left, 21);
}

TEST_F(Painter, ListsDrawInOrderUntilTheNullText) {
  const TextItem list[] = {{16, 8, "one"}, {32, 24, "two"}, {0, 0, nullptr}, {48, 0, "never"}};
  PutTextList(g, dc, list);
  EXPECT_EQ(dc.AllText(), "onetwo");
  EXPECT_EQ(dc.texts[3].left, ToDeviceX(g, 24));
  EXPECT_EQ(dc.texts[3].top, ToDeviceY(g, 32));

  dc.Clear();
  BlankTextList(g, dc, list);
  EXPECT_EQ(dc.AllText(), "      ");
}

TEST_F(Painter, CenteredListIgnoresTheItemXAndTheZoom) {
  const std::string title(31, 'T');
  const TextItem list[] = {{32, 500, title.c_str()}, {48, 0, "ab"}, {0, 0, nullptr}};
  g.ZoomX = g.ZoomY = 1;
  PutCenteredList(g, dc, list);
  ASSERT_EQ(dc.texts.size(), 33u);
  const CellMetrics m = GetCellMetrics(g, 1.0);
  EXPECT_EQ(dc.texts[0].left, ToDeviceX(g, 196) + m.columnPitch - m.fontUnit);
  EXPECT_EQ(dc.texts[31].left, ToDeviceX(g, 312) + m.columnPitch - m.fontUnit);
}
