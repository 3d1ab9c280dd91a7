// Text cells of the Cairo device context: exact background cells, ink only
// inside them, the face aliases and the per-character Japanese fallback.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/cairo_dc.h"
#include "platform/cp932.h"
#include "platform/font_cache.h"
#include "support/test_support.h"

namespace {

constexpr ColorRef White = 0xFFFFFF;
constexpr ColorRef Grey = 0xC0C0C0;
constexpr const char* MsGothic = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
constexpr const char* MsMincho = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";

LogFont Font(const char* face, int height, int width, int weight = 0, std::uint8_t charset = 0) {
  LogFont f;
  f.lfHeight = height;
  f.lfWidth = width;
  f.lfWeight = weight;
  f.lfCharSet = charset;
  std::strncpy(f.lfFaceName, face, sizeof f.lfFaceName - 1);
  return f;
}

struct Ink {
  int count = 0;        // pixels that are neither white nor the background
  int outsideCell = 0;  // changed pixels outside the cell
  int cellNotFilled = 0;
};

// Draws blue on grey into a white surface and sorts the pixels.
Ink Draw(const LogFont& font, const std::string& bytes, int cellWidth, int cellHeight) {
  const int left = 10, top = 6;
  CairoDeviceContext dc(cellWidth + 20, cellHeight + 12);
  dc.SetTextColor(0xFF0000);
  dc.SetBkColor(Grey);
  dc.TextOut(left, top, font, bytes);
  Ink ink;
  for (int y = 0; y < dc.Height(); ++y) {
    for (int x = 0; x < dc.Width(); ++x) {
      ColorRef c = dc.PixelAt(x, y);
      bool inCell = x >= left && x < left + cellWidth && y >= top && y < top + cellHeight;
      if (!inCell && c != White) ++ink.outsideCell;
      if (inCell && c == White) ++ink.cellNotFilled;
      if (inCell && c != Grey && c != White) ++ink.count;
    }
  }
  return ink;
}

TEST(TextOut, FillsExactlyTheCellAndInksOnlyInsideIt) {
  for (const char* text : {"W", "g", "_", "M"}) {
    Ink ink = Draw(Font("Lucida Console", 16, 8), text, 8, 16);
    EXPECT_EQ(ink.outsideCell, 0) << text;
    EXPECT_EQ(ink.cellNotFilled, 0) << text;
    EXPECT_GT(ink.count, 5) << text;
  }
  Ink big = Draw(Font("Lucida Console", 48, 24), "Q", 24, 48);
  EXPECT_EQ(big.outsideCell, 0);
  EXPECT_GT(big.count, 100);
}

TEST(TextOut, DoubleByteCharacterTakesTwoCells) {
  std::string kana = Sjis("あ");
  ASSERT_EQ(kana.size(), 2u);
  Ink ink = Draw(Font("MS UI Gothic", 16, 8, 0, 1), kana, 16, 16);
  EXPECT_EQ(ink.outsideCell, 0);
  EXPECT_EQ(ink.cellNotFilled, 0);
  EXPECT_GT(ink.count, 10);
}

TEST(TextOut, KanaInALatinFaceFallsBackToTheJapaneseFace) {
  Ink ink = Draw(Font("Lucida Console", 16, 8), Sjis("カ"), 16, 16);
  EXPECT_EQ(ink.outsideCell, 0);
  EXPECT_GT(ink.count, 10) << "DejaVu Sans Mono has no kana; the glyph must come from IPAGothic";
}

TEST(TextOut, SeveralBytesEachKeepTheirColumn) {
  // "AB" as one call: two 8-pixel cells, ink in both halves.
  const int left = 4, top = 2;
  CairoDeviceContext dc(40, 24);
  dc.TextOut(left, top, Font("Lucida Console", 16, 8), "I|");
  auto inkIn = [&](int x0, int x1) {
    int n = 0;
    for (int y = top; y < top + 16; ++y)
      for (int x = x0; x < x1; ++x) n += dc.PixelAt(x, y) != White;
    return n;
  };
  EXPECT_GT(inkIn(left, left + 8), 5);
  EXPECT_GT(inkIn(left + 8, left + 16), 5);
  EXPECT_EQ(inkIn(left + 16, 40), 0);
}

TEST(TextOut, UndecodableBytesDrawNothing) {
  CairoDeviceContext dc(30, 20);
  dc.SetBkColor(Grey);
  dc.TextOut(2, 2, Font("Lucida Console", 16, 8), "\x82");      // a lone lead byte
  dc.TextOut(2, 2, Font("Lucida Console", 16, 8), "\x85\x40");  // an unassigned code
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(dc.PixelAt(x, y), White);
}

TEST(TextOut, BoldDiffersFromRegular) {
  Ink regular = Draw(Font("Lucida Console", 32, 16), "H", 16, 32);
  Ink bold = Draw(Font("Lucida Console", 32, 16, 700), "H", 16, 32);
  EXPECT_GT(bold.count, regular.count + 10);
  Ink kanaRegular = Draw(Font(MsGothic, 32, 16, 0, 128), Sjis("ア"), 32, 32);
  Ink kanaBold = Draw(Font(MsGothic, 32, 16, 700, 128), Sjis("ア"), 32, 32);
  EXPECT_GT(kanaBold.count, kanaRegular.count) << "no bold IPA face: emboldened instead";
}

TEST(TextOut, TextAndBackgroundColoursComeFromTheContext) {
  CairoDeviceContext dc(20, 20);
  dc.SetTextColor(0x0000FF);
  dc.SetBkColor(0x00FF00);
  EXPECT_EQ(dc.GetTextColor(), 0x0000FFu);
  EXPECT_EQ(dc.GetBkColor(), 0x00FF00u);
  dc.TextOut(0, 0, Font("Lucida Console", 16, 8), "#");
  EXPECT_EQ(dc.PixelAt(0, 0), 0x00FF00u);
  bool sawText = false;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) sawText |= dc.PixelAt(x, y) == 0x0000FFu;
  EXPECT_TRUE(sawText);
}

TEST(Fonts, WindowsFaceNamesResolveToTheIntendedFamilies) {
  EXPECT_EQ(ResolvedFamily("Lucida Console", 0, 0), "DejaVu Sans Mono");
  EXPECT_EQ(ResolvedFamily("MS UI Gothic", 1, 0), "IPAPGothic");
  EXPECT_EQ(ResolvedFamily(MsGothic, 128, 0), "IPAGothic");
  EXPECT_EQ(ResolvedFamily(MsMincho, 128, 0), "IPAMincho");
  EXPECT_FALSE(ResolvedFamily("No Such Face At All", 0, 0).empty()) << "falls back to some face";
}

TEST(Fonts, FacesAreResolvedOncePerNameCharsetAndWeight) {
  CairoDeviceContext dc(100, 40);
  LogFont latin = Font("Lucida Console", 16, 8);
  EXPECT_EQ(dc.CachedFaceCount(), 0);
  dc.TextOut(0, 0, latin, "a");
  dc.TextOut(8, 0, latin, "b");
  latin.lfHeight = 32;  // a new size reuses the face
  dc.TextOut(16, 0, latin, "c");
  EXPECT_EQ(dc.CachedFaceCount(), 1);
  latin.lfWeight = 700;
  dc.TextOut(24, 0, latin, "d");
  EXPECT_EQ(dc.CachedFaceCount(), 2);
}

}  // namespace
