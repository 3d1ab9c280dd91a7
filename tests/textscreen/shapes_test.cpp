#include <gtest/gtest.h>

#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

void ExpectRect(const Rect& r, int left, int top, int right, int bottom) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
}

class Shapes : public ::testing::Test {
 protected:
  void SetUp() override { InitGlobals(g, nullptr, 642, 402); }
  GameGlobals g;
  RecordingDC dc;
};

}  // namespace

TEST_F(Shapes, BoxesSharingAnEdgeLeaveAOnePixelGap) {
  FillBox(g, dc, 0, 0, 16, 8, ColorRed);
  FillBox(g, dc, 0, 8, 16, 16, ColorGrey);
  ASSERT_EQ(dc.fills.size(), 2u);
  ExpectRect(dc.fills[0].rect, 1, 1, 8, 16);  // columns 1..7, rows 1..15
  EXPECT_EQ(dc.fills[0].colour, ColorRed);
  ExpectRect(dc.fills[1].rect, 9, 1, 16, 16);
}

TEST_F(Shapes, ZoomMapsShapesThroughTheSmallScreen) {
  g.ZoomX = g.ZoomY = 1;
  FillBox(g, dc, 0, 0, 16, 8, ColorRed);
  ASSERT_EQ(dc.fills.size(), 1u);
  ExpectRect(dc.fills[0].rect, 1, 1, 10, 20);
}

TEST_F(Shapes, DotIsACircleInsideItsTwoColumns) {
  DrawDot(g, dc, 16, 56, ColorPurple, ColorBlack);
  ASSERT_EQ(dc.ellipses.size(), 1u);
  ExpectRect(dc.ellipses[0].rect, 58, 18, 71, 31);
  EXPECT_EQ(dc.ellipses[0].fill, ColorPurple);
  EXPECT_EQ(dc.ellipses[0].outline, ColorBlack);
}

TEST_F(Shapes, FramedBoxInsetsAreDevicePixels) {
  g.ClientRect = Rect{0, 0, 1282, 802};  // two device pixels per logical one
  FillFramedBox(g, dc, 0, 0, 10, 5, ColorLightYellow, ColorBlack, 1, 1, 1, 1);
  ASSERT_EQ(dc.fills.size(), 2u);
  ExpectRect(dc.fills[0].rect, 1, 1, 10, 20);
  EXPECT_EQ(dc.fills[0].colour, ColorBlack);
  ExpectRect(dc.fills[1].rect, 2, 2, 9, 19);
  EXPECT_EQ(dc.fills[1].colour, ColorLightYellow);

  dc.Clear();
  FillFramedBox(g, dc, 0, 0, 10, 5, ColorOrange, ColorGrey, 2, 3, 4, 5);
  ExpectRect(dc.fills[1].rect, 3, 4, 6, 15);
}

TEST_F(Shapes, UnderlineSitsOneRowBelowTheText) {
  UnderlineText(g, dc, 48, 96, "0123456789", 0, ColorGreen);
  ASSERT_EQ(dc.lines.size(), 1u);
  const RecordingDC::Line& l = dc.lines[0];
  EXPECT_EQ(l.x0, 97);
  EXPECT_EQ(l.y0, 66);
  EXPECT_EQ(l.x1, 177);
  EXPECT_EQ(l.y1, 66);
  EXPECT_EQ(l.width, 2);
  EXPECT_EQ(l.colour, ColorGreen);
}

TEST_F(Shapes, UnderlineOffsetAndRaisedOrigin) {
  UnderlineText(g, dc, -20, 0, Sjis("あい").c_str(), 3, ColorGreen);
  ASSERT_EQ(dc.lines.size(), 1u);
  EXPECT_EQ(dc.lines[0].x0, 2);           // x raised to 1
  EXPECT_EQ(dc.lines[0].y0, 3 + 2 + 17);  // y raised to 1
  EXPECT_EQ(dc.lines[0].x1, ToDeviceX(g, 1 + 32));
}

TEST_F(Shapes, UnderlineOnAWideWindowTakesTheSmallerStep) {
  g.ClientRect = Rect{0, 0, 1282, 1202};  // rows 48, column pairs 32
  UnderlineText(g, dc, 16, 8, "AB", 0, ColorGreen);
  ASSERT_EQ(dc.lines.size(), 1u);
  EXPECT_EQ(dc.lines[0].y0, ToDeviceY(g, 16) + 32 + 1);
  EXPECT_EQ(dc.lines[0].width, 4);
  EXPECT_EQ(dc.lines[0].x1, ToDeviceX(g, 24));
}
