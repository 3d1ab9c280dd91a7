#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/cairo_dc.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

// Everything drawn, in device pixels: glyphs as "[bytes]left,top:widthxheight",
// then boxes, dots and lines by their corners (and a line's width).
std::string Drawn(const RecordingDC& dc) {
  std::ostringstream out;
  auto corners = [&out](const char* what, const Rect& r) {
    out << " " << what << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  };
  for (const auto& t : dc.texts) {
    out << " [" << t.bytes << "]" << t.left << "," << t.top << ":" << t.font.lfWidth << "x"
        << t.font.lfHeight;
  }
  for (const auto& f : dc.fills) corners("box", f.rect);
  for (const auto& e : dc.ellipses) corners("dot", e.rect);
  for (const auto& l : dc.lines) {
    corners("line", Rect{l.x0, l.y0, l.x1, l.y1});
    out << "/" << l.width;
  }
  return out.str().empty() ? "" : out.str().substr(1);
}

class TextScreen : public ::testing::Test {
 protected:
  void SetUp() override { Resize(642, 402); }
  void Resize(int width, int height, int zoom = 0) {
    InitGlobals(g, nullptr, width, height);
    g.ZoomX = g.ZoomY = zoom;
  }
  GameGlobals g;
  RecordingDC dc;
};

// The same calls on the real renderer: which device pixels they cover.
class Pixels : public TextScreen {
 protected:
  void SetUp() override {
    TextScreen::SetUp();
    screen.FillRect(Rect{0, 0, 642, 402}, ColorBlack);  // so white proves ClearScreen
    ClearScreen(g, screen);
  }
  // Pixels of [left, right) x [top, bottom) in the colour.
  int Count(int left, int top, int right, int bottom, ColorRef colour) const {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) n += screen.PixelAt(x, y) == colour ? 1 : 0;
    }
    return n;
  }
  // The call drew nothing outside the rectangle.
  bool WhiteOutside(int left, int top, int right, int bottom) const {
    return Count(0, 0, 642, 402, ColorWhite) - Count(left, top, right, bottom, ColorWhite) ==
           642 * 402 - (right - left) * (bottom - top);
  }
  CairoDeviceContext screen{642, 402};
};

}  // namespace

// One to one inside the margin; zoom maps the smaller screen; negatives truncate toward zero;
// huge ones do not overflow; a collapsed direction maps to a one-pixel extent.
TEST_F(TextScreen, LogicalToDeviceMapping) {
  // Window width, height and zoom; logical x and y; device x and y.
  const int cases[][7] = {{642, 402, 0, 0, 0, 1, 1},    {642, 402, 0, 640, 400, 641, 401},
                          {642, 402, 1, 8, 16, 11, 21}, {642, 402, 1, 512, 320, 641, 401},
                          {1282, 402, 0, 8, 8, 17, 9},  {642, 402, 0, -8, -16, -7, -15},
                          {962, 602, 0, -1, -1, 0, 0},  {962, 602, 0, 1, 1, 2, 2},
                          {0, 0, 0, 0, 0, 1, 1},        {1, 1, 0, 640, 400, 2, 2},
                          {2, 2, 0, 640, 400, 2, 2},    {642, 2, 0, 8, 400, 9, 2}};
  for (const auto& [width, height, zoom, x, y, deviceX, deviceY] : cases) {
    Resize(width, height, zoom);
    EXPECT_EQ(std::tuple(ToDeviceX(g, x), ToDeviceY(g, y)), std::tuple(deviceX, deviceY))
        << width << "x" << height << " zoom " << zoom << " at " << x << "," << y;
  }
  Resize(1282, 802);
  EXPECT_EQ(ToDeviceX(g, INT_MAX / 2), INT_MAX);
  EXPECT_EQ(ToDeviceY(g, -(INT_MAX / 2)), -(INT_MAX - 2));
  // A scale (here in tenths) enlarges the font unit but not the column and half-row pitches.
  const int metrics[][7] = {{642, 402, 0, 10, 8, 8, 8},   {642, 402, 1, 10, 10, 10, 10},
                            {1282, 402, 0, 10, 8, 16, 8}, {642, 402, 0, 30, 24, 8, 8},
                            {642, 402, 0, 18, 14, 8, 8},  {0, 0, 0, 10, 1, 1, 1},
                            {2, 2, 0, 30, 1, 1, 1},       {642, 2, 0, 10, 1, 8, 1}};
  for (const auto& [width, height, zoom, scale, unit, column, halfRow] : metrics) {
    Resize(width, height, zoom);
    const CellMetrics m = GetCellMetrics(g, scale / 10.0);
    EXPECT_EQ(std::tuple(m.fontUnit, m.columnPitch, m.halfRowPitch),
              std::tuple(unit, column, halfRow))
        << width << "x" << height << " zoom " << zoom << " scale " << scale;
  }
}

// Half-width kana are single bytes; a lone lead byte ends the scan; a terminator
// at 2047 is still seen, one at 2048 is beyond the scan and the text counts as plain.
TEST_F(TextScreen, FontChoice) {
  const std::pair<int, std::vector<std::string>> cases[] = {
      {0, {"", "Plain ASCII", "\xB1\xB2", Sjis("あ") + std::string(2046, 'a')}},
      {2, {Sjis("A●")}},
      {3, {Sjis("０"), "\x82\x59"}},
      {4, {Sjis("Ａ"), Sjis("ｚ"), Sjis("Ａ●０")}},
      {5, {Sjis("あ"), Sjis("あ") + std::string(2045, 'a')}},
      {6, {Sjis("ヶ")}},
      {7, {Sjis("漢"), "\x82\x5F", "\x83\x97", Sjis("漢あＡ"), "A\x82", Sjis("●") + "\x82"}}};
  for (const auto& [cls, texts] : cases) {
    for (const std::string& text : texts) {
      EXPECT_EQ(ClassifyText(text.c_str()), cls) << testing::PrintToString(text.substr(0, 12));
    }
  }
  // One record is reused: a shorter face name must not leave bytes of a longer one behind.
  LogFont f;
  auto build = [&f](int height, int bold, int loneRound, FontKind kind) {
    BuildLogFont(f, height, height / 2, bold, loneRound, kind);
    return std::tuple(std::string(f.lfFaceName), int{f.lfCharSet}, f.lfWeight);
  };
  const std::string latin = "Lucida Console";
  EXPECT_EQ(build(16, 0, 0, FontKindLatin), std::tuple(latin, AnsiCharset, 0));
  EXPECT_EQ(build(16, 1, 0, FontKindLatin), std::tuple(latin, AnsiCharset, 700));
  EXPECT_EQ(build(16, 2, 0, FontKindLatin), std::tuple(latin, AnsiCharset, 0));  // only 1 is bold
  EXPECT_EQ(build(16, 0, 0, FontKindUIGothic), std::tuple("MS UI Gothic", DefaultCharset, 0));
  EXPECT_EQ(build(22, 0, 1, FontKindJapanese), std::tuple(Sjis("ＭＳ 明朝"), ShiftJisCharset, 0));
  EXPECT_EQ(build(23, 0, 1, FontKindJapanese),
            std::tuple(Sjis("ＭＳ ゴシック"), ShiftJisCharset, 0));
  EXPECT_EQ(build(16, 0, 1, FontKindLatin), std::tuple(latin, AnsiCharset, 0));
  EXPECT_TRUE(IsLoneRoundChar(Sjis("０").c_str()) && IsLoneRoundChar(Sjis("Ｏ").c_str()));
  for (const std::string& text :
       {Sjis("００"), Sjis("Ｏ "), std::string("O"), std::string(), std::string("\x82")}) {
    EXPECT_FALSE(IsLoneRoundChar(text.c_str())) << testing::PrintToString(text);
  }
}

TEST_F(TextScreen, ShapesKeepAOnePixelGapOnSharedEdges) {
  FillBox(g, dc, 0, 0, 16, 8, ColorRed);
  FillBox(g, dc, 0, 8, 16, 16, ColorGrey);
  DrawDot(g, dc, 16, 56, ColorPurple, ColorBlack);
  UnderlineText(g, dc, 48, 96, "0123456789", 0, ColorGreen);
  UnderlineText(g, dc, -20, 0, Sjis("あい").c_str(), 3, ColorGreen);  // origin raised to (1, 1)
  EXPECT_EQ(Drawn(dc),
            "box1,1,8,16 box9,1,16,16 dot58,18,71,31 line97,66,177,66/2 line2,22,34,22/2");
  EXPECT_EQ(std::tuple(dc.fills[0].colour, dc.ellipses[0].fill, dc.ellipses[0].outline),
            std::tuple(ColorRed, ColorPurple, ColorBlack));
  EXPECT_EQ(dc.lines[0].colour, ColorGreen);
  // Two device pixels per logical one: frame insets stay device pixels.
  dc.Clear();
  Resize(1282, 802);
  FillFramedBox(g, dc, 0, 0, 10, 5, ColorLightYellow, ColorBlack, 1, 1, 1, 1);
  FillFramedBox(g, dc, 0, 0, 10, 5, ColorOrange, ColorGrey, 2, 3, 4, 5);
  EXPECT_EQ(Drawn(dc), "box1,1,10,20 box2,2,9,19 box1,1,10,20 box3,4,6,15");
  EXPECT_EQ(std::tuple(dc.fills[0].colour, dc.fills[1].colour),
            std::tuple(ColorBlack, ColorLightYellow));
  // Rows 48 and column pairs 32 device pixels: the line keeps the smaller step.
  dc.Clear();
  Resize(1282, 1202);
  UnderlineText(g, dc, 16, 8, "AB", 0, ColorGreen);
  EXPECT_EQ(Drawn(dc), "line17,82,49,82/4");
}

TEST_F(TextScreen, GlyphPlacementAndFonts) {
  // y, x, UTF-8 text, scale, blank, zoom, face of the first glyph, what is drawn.
  const std::tuple<int, int, const char*, double, int, int, const char*, const char*> cases[] = {
      {16, 8, "AB", 1, 0, 0, "Lucida Console", "[A]9,17:8x16 [B]17,17:8x16"},
      {16, 8, "AB", 1, 0, 1, "Lucida Console", "[A]11,21:10x20 [B]21,21:10x20"},
      // Full-width letters take the wide font, centred on the boundary of their two columns.
      {16, 8, "ＡＢ", 1, 0, 0, "Lucida Console", "[A]10,17:12x16 [B]26,17:12x16"},
      {16, 8, "A！B", 1, 0, 0, "Lucida Console", "[A]9,17:8x16 [ ]18,17:12x16 [B]33,17:8x16"},
      {0, 0, "●あA", 1, 0, 0, "MS UI Gothic", "[●]1,1:8x16 [あ]17,1:8x16 [A]33,1:8x16"},
      // Blanking covers exactly the cells of its text.
      {368, 16, "ESC", 1, 1, 0, "Lucida Console", "[ ]17,369:8x16 [ ]25,369:8x16 [ ]33,369:8x16"},
      {0, 0, "あA", 1, 1, 0, "MS UI Gothic", "[　]1,1:8x16 [ ]17,1:8x16"},
      {0, 0, "●Ａ", 1, 1, 0, "Lucida Console", "[ ]2,1:12x16 [ ]18,1:12x16"},
      // A scaled glyph keeps its right edge and row centre; characters step by the
      // scaled width but dots keep their unscaled cells.
      {160, 80, "A", 3, 0, 0, "Lucida Console", "[A]65,145:24x48"},
      {0, 3, "ABC", 1.8, 0, 0, "Lucida Console", "[A]-2,-5:14x28 [B]12,-5:14x28 [C]26,-5:14x28"},
      {32, 40, "A●", 3, 0, 0, "Lucida Console", "[A]25,17:24x48 dot50,34,63,47"},
      {32, 40, "●●", 1, 0, 0, nullptr, "dot42,34,55,47 dot58,34,71,47"},
  };
  SetColors(dc, ColorGreen, ColorBlack);
  for (const auto& [y, x, text, scale, blank, zoom, face, drawn] : cases) {
    dc.Clear();
    g.ZoomX = g.ZoomY = zoom;
    PaintText(g, dc, y, x, Sjis(text).c_str(), scale, blank);
    EXPECT_EQ(Drawn(dc), Sjis(drawn));
    if (face != nullptr) EXPECT_STREQ(dc.texts.at(0).font.lfFaceName, face) << drawn;
    for (const auto& e : dc.ellipses) {
      EXPECT_EQ(std::tuple(e.fill, e.outline), std::tuple(ColorPurple, ColorPurple)) << drawn;
    }
  }
  EXPECT_EQ(std::tuple(dc.GetTextColor(), dc.GetBkColor()), std::tuple(ColorGreen, ColorBlack));
}

TEST_F(TextScreen, TextContent) {
  g.BoldText = 1;  // Latin text draws full-width characters as ASCII, bold in both fonts
  PutText(g, dc, 0, 0, Sjis("０９ＡＺａｚ　，．；／＼＝＜＞A").c_str());
  EXPECT_EQ(dc.AllText(), "09AZaz ,.;/\\=<>A");
  EXPECT_EQ(std::tuple(dc.texts.at(0).font.lfWeight, dc.texts.back().font.lfWeight),
            std::tuple(700, 700));
  EXPECT_EQ(std::tuple(ToHalfWidth(0x81, 0x9C), ToHalfWidth(0x82, 0x59), ToHalfWidth(0x82, 0x80)),
            std::tuple('*', ' ', ' '));
  // Broken or overlong text keeps every column in place.
  dc.Clear();
  PutText(g, dc, 0, 0, (Sjis("あ") + "\x85\x40" + Sjis("い")).c_str());  // no Unicode form
  EXPECT_EQ(Drawn(dc), Sjis("[あ]1,1:8x16 [い]33,1:8x16"));
  dc.Clear();
  for (const char* text : {"AB\x88", "\x82", "", static_cast<const char*>(nullptr)}) {
    PutText(g, dc, 0, 0, text);  // a lead byte cut off by the end draws nothing
  }
  EXPECT_EQ(dc.AllText(), "AB");
  // Only the first 255 bytes start characters; a lead byte at 254 still takes its trail.
  dc.Clear();
  PutText(g, dc, 0, 0, std::string(300, 'x').c_str());
  PutText(g, dc, 0, 0, (std::string(254, 'x') + Sjis("あい")).c_str());
  ASSERT_EQ(dc.texts.size(), 510u);
  EXPECT_EQ(dc.texts[254].left, ToDeviceX(g, 254 * 8));
  EXPECT_EQ(dc.texts.back().bytes, Sjis("あ"));
}

TEST_F(TextScreen, KeyGlyphsListsAndCentring) {
  // Kana keys may arrive as negative chars; keys without a glyph of their own show a blank.
  std::string glyphs;
  for (char key : std::string(
           "qQAz09 ,.;:'\r\xB1\xB6\xC1\xD7\xDC\xDD\xA6\xDE\xDF@\t\x7F\xA1\xA7\xAF\xB0\xE0\xFF")) {
    char buffer[3];
    glyphs += KeyGlyphText(key, buffer);
  }
  EXPECT_EQ(glyphs, Sjis("ｑＱＡｚ０９　，．；：’CRアカチラワンヲ゛゜　　　　　　　　　"));
  PutKeyGlyph(g, dc, 160, 80, 'F', 3.0);
  PutKeyGlyph(g, dc, 160, 80, 0xB1, 1.8);
  PutKeyGlyph(g, dc, 0, 0, 13, 1.0);
  EXPECT_EQ(Drawn(dc), Sjis("[F]69,145:38x48 [ア]75,155:14x28 [C]1,1:8x16 [R]9,1:8x16"));
  EXPECT_STREQ(dc.texts.at(1).font.lfFaceName, "MS UI Gothic");
  const TextItem list[] = {{16, 8, "one"}, {32, 24, "two"}, {0, 0, nullptr}, {48, 0, "never"}};
  dc.Clear();
  PutTextList(g, dc, list);
  BlankTextList(g, dc, list);
  EXPECT_EQ(dc.AllText(), "onetwo      ");
  EXPECT_EQ(std::tuple(dc.texts.at(3).left, dc.texts.at(3).top), std::tuple(25, 33));
  // Centred on logical 320 whatever the item's x and the zoom.
  const std::string title(31, 'T');
  const TextItem centred[] = {{32, 500, title.c_str()}, {48, 0, "ab"}, {0, 0, nullptr}};
  g.ZoomX = g.ZoomY = 1;
  dc.Clear();
  PutCenteredList(g, dc, centred);
  ASSERT_EQ(dc.texts.size(), 33u);
  EXPECT_EQ(std::tuple(dc.texts[0].left, dc.texts[31].left),
            std::tuple(ToDeviceX(g, 196), ToDeviceX(g, 312)));
}

TEST_F(Pixels, ShapesCoverExactlyTheirPixels) {
  FillBox(g, screen, 0, 0, 16, 8, ColorRed);  // right and bottom edges stay background
  EXPECT_EQ(Count(1, 1, 8, 16, ColorRed), 7 * 15);
  EXPECT_TRUE(WhiteOutside(1, 1, 8, 16));
  ClearScreen(g, screen);
  DrawDot(g, screen, 16, 56, ColorPurple, ColorPurple);  // round: only the middle row is full
  EXPECT_EQ(Count(58, 24, 71, 25, ColorPurple), 13);
  EXPECT_EQ(Count(58, 18, 59, 19, ColorWhite) + Count(70, 30, 71, 31, ColorWhite), 2);
  EXPECT_TRUE(WhiteOutside(58, 18, 71, 31));
  ClearScreen(g, screen);
  FillFramedBox(g, screen, 0, 0, 21, 11, ColorLightYellow, ColorBlack, 1, 1, 1, 1);
  EXPECT_EQ(Count(2, 2, 10, 20, ColorLightYellow), 8 * 18);
  EXPECT_EQ(Count(1, 1, 11, 21, ColorBlack), 10 * 20 - 8 * 18);
  EXPECT_TRUE(WhiteOutside(1, 1, 11, 21));
  ClearScreen(g, screen);
  UnderlineText(g, screen, 48, 96, "0123456789", 0, ColorGreen);  // ends before its end point
  EXPECT_EQ(Count(97, 66, 177, 67, ColorGreen), 80);
  EXPECT_TRUE(WhiteOutside(97, 64, 177, 69));
}

TEST_F(Pixels, TextIsOpaqueInItsCellsAndBlankingErasesIt) {
  SetColors(screen, ColorBlack, ColorLightYellow);
  PutText(g, screen, 16, 8, "AB");
  EXPECT_GT(Count(9, 17, 25, 33, ColorBlack), 0);
  EXPECT_EQ(Count(9, 17, 25, 33, ColorWhite), 0);
  EXPECT_TRUE(WhiteOutside(9, 17, 25, 33));
  SetColors(screen, ColorBlack, ColorWhite);
  BlankText(g, screen, 16, 8, "AB");
  EXPECT_TRUE(WhiteOutside(0, 0, 0, 0));
  // The wide A spans 12 pixels from 10 and the dot fills the next two columns; in kana
  // text the dot is a glyph in the text colour.
  PutText(g, screen, 16, 8, Sjis("Ａ●").c_str());
  EXPECT_GT(Count(10, 17, 22, 33, ColorBlack), 0);
  EXPECT_EQ(Count(22, 0, 642, 402, ColorBlack), 0);
  EXPECT_EQ(screen.PixelAt(32, 24), ColorPurple);
  ClearScreen(g, screen);
  SetColors(screen, ColorNavy, ColorWhite);
  PutText(g, screen, 16, 8, Sjis("あ●").c_str());
  EXPECT_GT(Count(9, 17, 25, 33, ColorNavy) * Count(25, 17, 41, 33, ColorNavy), 0);
  EXPECT_EQ(Count(0, 0, 642, 402, ColorPurple), 0);
}
