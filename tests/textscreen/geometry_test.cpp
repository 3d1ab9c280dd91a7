#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

GameGlobals Globals(int width, int height, bool zoom = false) {
  GameGlobals g;
  InitGlobals(g, nullptr, width, height);
  g.ZoomX = g.ZoomY = zoom ? 1 : 0;
  return g;
}

void ExpectMetrics(const CellMetrics& m, int unit, int column, int halfRow) {
  EXPECT_EQ(m.fontUnit, unit);
  EXPECT_EQ(m.columnPitch, column);
  EXPECT_EQ(m.halfRowPitch, halfRow);
}

}  // namespace

TEST(Mapping, NormalSizeIsOneToOneInsideTheMargin) {
  GameGlobals g = Globals(642, 402);
  for (int v : {0, 1, 8, 33, 399}) {
    EXPECT_EQ(ToDeviceX(g, v), v + 1);
    EXPECT_EQ(ToDeviceY(g, v), v + 1);
  }
  EXPECT_EQ(ToDeviceX(g, 640), 641);
  EXPECT_EQ(ToDeviceY(g, 400), 401);
  ExpectMetrics(GetCellMetrics(g, 1.0), 8, 8, 8);
}

TEST(Mapping, ZoomUsesTheSmallerLogicalScreenAndSixtyColumnFonts) {
  GameGlobals g = Globals(642, 402, true);
  EXPECT_EQ(ToDeviceX(g, 8), 11);
  EXPECT_EQ(ToDeviceY(g, 16), 21);
  EXPECT_EQ(ToDeviceX(g, 512), 641);
  EXPECT_EQ(ToDeviceY(g, 320), 401);
  ExpectMetrics(GetCellMetrics(g, 1.0), 10, 10, 10);
}

TEST(Mapping, WideWindowSpreadsColumnsButKeepsGlyphsInProportion) {
  GameGlobals g = Globals(1282, 402);
  ExpectMetrics(GetCellMetrics(g, 1.0), 8, 16, 8);
  EXPECT_EQ(ToDeviceX(g, 8), 17);
}

TEST(Mapping, NegativeCoordinatesTruncateTowardZeroWithoutClamping) {
  GameGlobals g = Globals(642, 402);
  EXPECT_EQ(ToDeviceX(g, -8), -7);
  EXPECT_EQ(ToDeviceY(g, -16), -15);
  GameGlobals wide = Globals(962, 602);  // 1.5 device pixels per logical one
  EXPECT_EQ(ToDeviceX(wide, -1), 0);
  EXPECT_EQ(ToDeviceY(wide, -1), 0);
  EXPECT_EQ(ToDeviceX(wide, 1), 2);
}

TEST(Mapping, LargeCoordinatesDoNotOverflow) {
  GameGlobals g = Globals(1282, 802);
  EXPECT_EQ(ToDeviceX(g, INT_MAX / 2), INT_MAX);
  EXPECT_EQ(ToDeviceY(g, -(INT_MAX / 2)), -(INT_MAX - 2));
}

TEST(Mapping, DegenerateClientAreasCollapseToOnePixelExtents) {
  for (int size : {0, 1, 2}) {
    GameGlobals g = Globals(size, size);
    EXPECT_EQ(ToDeviceX(g, 0), 1);
    EXPECT_EQ(ToDeviceX(g, 640), 2);
    EXPECT_EQ(ToDeviceY(g, 400), 2);
    ExpectMetrics(GetCellMetrics(g, 1.0), 1, 1, 1);
    ExpectMetrics(GetCellMetrics(g, 3.0), 1, 1, 1);
  }
  // Only the collapsed direction is clamped.
  GameGlobals flat = Globals(642, 2);
  EXPECT_EQ(ToDeviceX(flat, 8), 9);
  ExpectMetrics(GetCellMetrics(flat, 1.0), 1, 8, 1);
}

TEST(Mapping, ScaleEnlargesTheFontButNotThePitches) {
  GameGlobals g = Globals(642, 402);
  ExpectMetrics(GetCellMetrics(g, 3.0), 24, 8, 8);
  ExpectMetrics(GetCellMetrics(g, 1.8), 14, 8, 8);
}

TEST(Classify, ClassesOfDoubleByteCharacters) {
  EXPECT_EQ(ClassifyText(""), 0);
  EXPECT_EQ(ClassifyText("Plain ASCII"), 0);
  EXPECT_EQ(ClassifyText("\xB1\xB2"), 0);  // half-width kana are single bytes
  EXPECT_EQ(ClassifyText(Sjis("A●").c_str()), 2);
  EXPECT_EQ(ClassifyText(Sjis("０").c_str()), 3);
  EXPECT_EQ(ClassifyText("\x82\x59"), 3);  // the top of the digit range is one past ９
  EXPECT_EQ(ClassifyText(Sjis("Ａ").c_str()), 4);
  EXPECT_EQ(ClassifyText(Sjis("ｚ").c_str()), 4);
  EXPECT_EQ(ClassifyText(Sjis("あ").c_str()), 5);
  EXPECT_EQ(ClassifyText(Sjis("ヶ").c_str()), 6);
  EXPECT_EQ(ClassifyText(Sjis("漢").c_str()), 7);
  EXPECT_EQ(ClassifyText("\x82\x5F"), 7);
  EXPECT_EQ(ClassifyText("\x83\x97"), 7);
}

TEST(Classify, HighestClassWinsAndLoneLeadByteEndsTheScan) {
  EXPECT_EQ(ClassifyText(Sjis("漢あＡ").c_str()), 7);
  EXPECT_EQ(ClassifyText(Sjis("Ａ●０").c_str()), 4);
  EXPECT_EQ(ClassifyText("A\x82"), 7);
  EXPECT_EQ(ClassifyText(Sjis("●").append("\x82").c_str()), 7);
}

TEST(Classify, ScanStopsAfter2048Bytes) {
  std::string within = Sjis("あ") + std::string(2045, 'a');  // terminator at 2047
  EXPECT_EQ(ClassifyText(within.c_str()), 5);
  std::string beyond = Sjis("あ") + std::string(2046, 'a');  // terminator at 2048
  EXPECT_EQ(ClassifyText(beyond.c_str()), 0);
}

TEST(FontChoice, SymbolsDigitsAndLettersStayLatinOneKanaMakesUIGothic) {
  EXPECT_EQ(FontKindOf(Sjis("ＷＥＮ ●＼／０ abc").c_str()), FontKindLatin);
  EXPECT_EQ(FontKindOf(Sjis("Press あ key").c_str()), FontKindUIGothic);
  EXPECT_EQ(FontKindOf(Sjis("漢").c_str()), FontKindUIGothic);
}

TEST(FontChoice, LoneRoundCharacter) {
  EXPECT_TRUE(IsLoneRoundChar(Sjis("０").c_str()));
  EXPECT_TRUE(IsLoneRoundChar(Sjis("Ｏ").c_str()));
  EXPECT_FALSE(IsLoneRoundChar(Sjis("００").c_str()));
  EXPECT_FALSE(IsLoneRoundChar(Sjis("Ｏ ").c_str()));
  EXPECT_FALSE(IsLoneRoundChar("O"));
  EXPECT_FALSE(IsLoneRoundChar(""));
  EXPECT_FALSE(IsLoneRoundChar("\x82"));
}

TEST(FontChoice, LatinFontRecord) {
  LogFont f;
  BuildLogFont(f, 16, 8, 0, 0, FontKindLatin);
  EXPECT_EQ(f.lfHeight, 16);
  EXPECT_EQ(f.lfWidth, 8);
  EXPECT_EQ(f.lfWeight, 0);
  EXPECT_EQ(f.lfCharSet, AnsiCharset);
  EXPECT_EQ(f.lfOutPrecision, 2);
  EXPECT_EQ(f.lfQuality, 2);
  EXPECT_EQ(f.lfPitchAndFamily, 1);
  EXPECT_EQ(f.lfEscapement, 0);
  EXPECT_EQ(f.lfItalic, 0);
  EXPECT_EQ(f.lfClipPrecision, 0);
  EXPECT_STREQ(f.lfFaceName, "Lucida Console");
  BuildLogFont(f, 16, 8, 1, 0, FontKindLatin);
  EXPECT_EQ(f.lfWeight, 700);
  BuildLogFont(f, 16, 8, 2, 0, FontKindLatin);  // only 1 means bold
  EXPECT_EQ(f.lfWeight, 0);
}

TEST(FontChoice, FaceAndCharsetByKind) {
  LogFont f;
  BuildLogFont(f, 16, 8, 0, 0, FontKindUIGothic);
  EXPECT_EQ(f.lfCharSet, DefaultCharset);
  EXPECT_STREQ(f.lfFaceName, "MS UI Gothic");

  // A longer name before a shorter one must not leave bytes behind.
  BuildLogFont(f, 22, 11, 0, 1, FontKindJapanese);
  EXPECT_EQ(f.lfCharSet, ShiftJisCharset);
  EXPECT_EQ(std::string(f.lfFaceName), Sjis("ＭＳ 明朝"));
  BuildLogFont(f, 23, 11, 0, 1, FontKindJapanese);
  EXPECT_EQ(std::string(f.lfFaceName), Sjis("ＭＳ ゴシック"));
  BuildLogFont(f, 16, 8, 0, 0, FontKindJapanese);
  EXPECT_EQ(std::string(f.lfFaceName), Sjis("ＭＳ ゴシック"));
  BuildLogFont(f, 16, 8, 0, 1, FontKindLatin);
  EXPECT_STREQ(f.lfFaceName, "Lucida Console");
}

TEST(Colours, ClearScreenFillsTheWholeClientAreaAndKeepsTheColours) {
  GameGlobals g = Globals(642, 402);
  RecordingDC dc;
  SetColors(dc, ColorTeal, ColorBlack);
  ClearScreen(g, dc);
  ASSERT_EQ(dc.fills.size(), 1u);
  EXPECT_EQ(dc.fills[0].rect.right, 642);
  EXPECT_EQ(dc.fills[0].rect.bottom, 402);
  EXPECT_EQ(dc.fills[0].colour, ColorWhite);
  EXPECT_EQ(dc.GetTextColor(), ColorTeal);
}
