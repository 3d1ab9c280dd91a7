// The text screen on the real renderer: which device pixels each call covers.
#include <gtest/gtest.h>

#include "platform/cairo_dc.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

// While the renderer is still a placeholder every pixel reads the same; the
// pixel checks are meaningless then.
bool RendererDrawsPixels() {
  CairoDeviceContext probe(4, 4);
  probe.FillRect(Rect{0, 0, 2, 2}, ColorBlack);
  probe.FillRect(Rect{2, 2, 4, 4}, ColorRed);
  return probe.PixelAt(0, 0) != probe.PixelAt(3, 3);
}

class Pixels : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!RendererDrawsPixels()) GTEST_SKIP() << "the Cairo device context draws no pixels yet";
    InitGlobals(g, nullptr, 642, 402);
    ClearScreen(g, dc);
  }

  // True when every pixel of [left, right) x [top, bottom) has the colour.
  bool AllOf(int left, int top, int right, int bottom, ColorRef colour) const {
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if (dc.PixelAt(x, y) != colour) return false;
      }
    }
    return true;
  }
  bool AnyOf(int left, int top, int right, int bottom, ColorRef colour) const {
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if (dc.PixelAt(x, y) == colour) return true;
      }
    }
    return false;
  }
  // Pixels outside the rectangle are untouched white.
  bool WhiteOutside(int left, int top, int right, int bottom) const {
    for (int y = 0; y < dc.Height(); ++y) {
      for (int x = 0; x < dc.Width(); ++x) {
        bool inside = x >= left && x < right && y >= top && y < bottom;
        if (!inside && dc.PixelAt(x, y) != ColorWhite) return false;
      }
    }
    return true;
  }

  GameGlobals g;
  CairoDeviceContext dc{642, 402};
};

}  // namespace

TEST_F(Pixels, AdjacentBoxesLeaveAColumnOfBackground) {
  FillBox(g, dc, 0, 0, 16, 8, ColorRed);
  EXPECT_TRUE(AllOf(1, 1, 8, 16, ColorRed));
  EXPECT_TRUE(WhiteOutside(1, 1, 8, 16));
  FillBox(g, dc, 0, 8, 16, 16, ColorRed);
  EXPECT_TRUE(AllOf(9, 1, 16, 16, ColorRed));
  EXPECT_TRUE(AllOf(8, 0, 9, 402, ColorWhite));
}

TEST_F(Pixels, DotStaysInsideItsRectangle) {
  DrawDot(g, dc, 16, 56, ColorPurple, ColorPurple);
  EXPECT_EQ(dc.PixelAt(64, 24), ColorPurple);
  EXPECT_EQ(dc.PixelAt(58, 24), ColorPurple);  // leftmost column touches the middle row
  EXPECT_EQ(dc.PixelAt(58, 18), ColorWhite);   // corners stay free
  EXPECT_EQ(dc.PixelAt(70, 30), ColorWhite);
  EXPECT_TRUE(WhiteOutside(58, 18, 71, 31));
}

TEST_F(Pixels, FramedBoxHasAOnePixelFrame) {
  // A device rectangle 10 wide and 20 high.
  FillFramedBox(g, dc, 0, 0, 21, 11, ColorLightYellow, ColorBlack, 1, 1, 1, 1);
  EXPECT_TRUE(AllOf(2, 2, 10, 20, ColorLightYellow));
  EXPECT_TRUE(AllOf(1, 1, 11, 2, ColorBlack));
  EXPECT_TRUE(AllOf(1, 20, 11, 21, ColorBlack));
  EXPECT_TRUE(AllOf(1, 1, 2, 21, ColorBlack));
  EXPECT_TRUE(AllOf(10, 1, 11, 21, ColorBlack));
  EXPECT_TRUE(WhiteOutside(1, 1, 11, 21));
}

TEST_F(Pixels, UnderlineEndsBeforeItsEndPoint) {
  UnderlineText(g, dc, 48, 96, "0123456789", 0, ColorGreen);
  EXPECT_EQ(dc.PixelAt(97, 66), ColorGreen);
  EXPECT_EQ(dc.PixelAt(176, 66), ColorGreen);
  EXPECT_EQ(dc.PixelAt(177, 66), ColorWhite);
  EXPECT_EQ(dc.PixelAt(96, 66), ColorWhite);
  EXPECT_TRUE(WhiteOutside(97, 64, 177, 69));
}

TEST_F(Pixels, TextCellsAreOpaqueAndBlankingErasesThem) {
  SetColors(dc, ColorBlack, ColorLightYellow);
  PutText(g, dc, 16, 8, "AB");
  // Two 8 x 16 cells from (9, 17): background fills what the glyphs leave.
  EXPECT_TRUE(AnyOf(9, 17, 25, 33, ColorBlack));
  EXPECT_TRUE(AnyOf(9, 17, 25, 33, ColorLightYellow));
  EXPECT_TRUE(WhiteOutside(9, 17, 25, 33));

  SetColors(dc, ColorBlack, ColorWhite);
  BlankText(g, dc, 16, 8, "AB");
  EXPECT_TRUE(AllOf(0, 0, 642, 402, ColorWhite));
}

TEST_F(Pixels, FullWidthLettersAndDots) {
  SetColors(dc, ColorBlack, ColorWhite);
  PutText(g, dc, 16, 8, Sjis("Ａ●").c_str());
  // The wide A spans 12 pixels from 10; the dot fills the next two columns.
  EXPECT_TRUE(AnyOf(10, 17, 22, 33, ColorBlack));
  EXPECT_EQ(dc.PixelAt(32, 24), ColorPurple);
  EXPECT_FALSE(AnyOf(22, 0, 642, 402, ColorBlack));
}

TEST_F(Pixels, KanaTextIsDrawnInTheTextColour) {
  SetColors(dc, ColorNavy, ColorWhite);
  PutText(g, dc, 16, 8, Sjis("あ●").c_str());
  EXPECT_TRUE(AnyOf(9, 17, 25, 33, ColorNavy));
  EXPECT_TRUE(AnyOf(25, 17, 41, 33, ColorNavy));
  EXPECT_FALSE(AnyOf(0, 0, 642, 402, ColorPurple));
}
