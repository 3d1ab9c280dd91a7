// Pixel checks of the Cairo device context's shapes: what each call covers,
// sampled at the edges where off-by-one faults show.
#include <gtest/gtest.h>

#include <vector>

#include "platform/cairo_dc.h"

namespace {

constexpr ColorRef White = 0xFFFFFF;
constexpr ColorRef Red = 0x0000FF;
constexpr ColorRef Navy = 0x800000;
constexpr ColorRef Yellow = 0xBFFFFF;

TEST(FillRect, CoversExactlyLeftTopInclusiveRightBottomExclusive) {
  CairoDeviceContext dc(40, 30);
  dc.FillRect({5, 7, 12, 20}, Navy);
  EXPECT_EQ(dc.PixelAt(5, 7), Navy);
  EXPECT_EQ(dc.PixelAt(11, 19), Navy);
  EXPECT_EQ(dc.PixelAt(11, 7), Navy);
  EXPECT_EQ(dc.PixelAt(5, 19), Navy);
  EXPECT_EQ(dc.PixelAt(4, 7), White);
  EXPECT_EQ(dc.PixelAt(5, 6), White);
  EXPECT_EQ(dc.PixelAt(12, 10), White);
  EXPECT_EQ(dc.PixelAt(8, 20), White);
}

TEST(FillRect, EmptyOrInvertedDrawsNothing) {
  CairoDeviceContext dc(20, 20);
  dc.FillRect({5, 5, 5, 10}, Red);
  dc.FillRect({5, 5, 10, 5}, Red);
  dc.FillRect({10, 10, 5, 5}, Red);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(dc.PixelAt(x, y), White) << x << "," << y;
}

TEST(FillRect, ClipsToTheSurface) {
  CairoDeviceContext dc(10, 10);
  dc.FillRect({-5, -5, 3, 100}, Red);
  EXPECT_EQ(dc.PixelAt(0, 0), Red);
  EXPECT_EQ(dc.PixelAt(2, 9), Red);
  EXPECT_EQ(dc.PixelAt(3, 9), White);
  EXPECT_EQ(dc.PixelAt(-1, 0), 0x000000u) << "outside reads as black";
}

TEST(Surface, StartsWhiteAndResizeWhitens) {
  CairoDeviceContext dc(8, 8);
  EXPECT_EQ(dc.PixelAt(7, 7), White);
  dc.FillRect({0, 0, 8, 8}, Red);
  dc.Resize(12, 5);
  EXPECT_EQ(dc.Width(), 12);
  EXPECT_EQ(dc.Height(), 5);
  EXPECT_EQ(dc.PixelAt(0, 0), White);
  EXPECT_EQ(dc.PixelAt(11, 4), White);
}

TEST(Surface, PixelsAreXrgbWithRedHigh) {
  CairoDeviceContext dc(4, 3);
  dc.FillRect({1, 2, 2, 3}, MakeColorRef(0x12, 0x34, 0x56));
  const auto* row = reinterpret_cast<const unsigned char*>(dc.Pixels()) + 2 * dc.StrideBytes();
  EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(row)[1] & 0xFFFFFF, 0x123456u);
  EXPECT_GE(dc.StrideBytes(), 16);
}

// For one w x h ellipse: no paint outside the box, the fill never meets the
// outside (closed outline), and the shape touches all four sides.
void CheckEllipse(int w, int h) {
  const int ox = 3, oy = 2;
  CairoDeviceContext dc(w + 6, h + 4);
  dc.Ellipse({ox, oy, ox + w, oy + h}, Yellow, Red);
  auto at = [&](int x, int y) { return dc.PixelAt(ox + x, oy + y); };
  auto painted = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && at(x, y) != White;
  };
  bool top = false, bottom = false, left = false, right = false;
  for (int y = -2; y < h + 2; ++y) {
    for (int x = -3; x < w + 3; ++x) {
      ColorRef c = dc.PixelAt(ox + x, oy + y);
      bool inBox = x >= 0 && y >= 0 && x < w && y < h;
      if (!inBox) {
        ASSERT_EQ(c, White) << w << "x" << h << " paints outside at " << x << "," << y;
        continue;
      }
      ASSERT_TRUE(c == White || c == Yellow || c == Red) << w << "x" << h;
      if (c == Yellow) {
        ASSERT_TRUE(painted(x - 1, y) && painted(x + 1, y) && painted(x, y - 1) &&
                    painted(x, y + 1))
            << w << "x" << h << " fill meets the outside at " << x << "," << y;
      }
      if (c == Red) {
        // Outline pixels border the outside; otherwise it is thicker than one.
        bool bordersOutside =
            !painted(x - 1, y) || !painted(x + 1, y) || !painted(x, y - 1) || !painted(x, y + 1);
        ASSERT_TRUE(bordersOutside) << w << "x" << h << " outline too thick at " << x << "," << y;
      }
      if (c != White) {
        top |= y == 0;
        bottom |= y == h - 1;
        left |= x == 0;
        right |= x == w - 1;
      }
    }
  }
  EXPECT_TRUE(top && bottom && left && right) << w << "x" << h << " does not touch every side";
}

TEST(Ellipse, StaysInsideClosedAndTouchesEverySideForAllSmallSizes) {
  for (int h = 1; h <= 60; ++h)
    for (int w = 1; w <= 60; ++w) CheckEllipse(w, h);
}

TEST(Ellipse, DotOfTheTextScreenIsRoundAndFilled) {
  // The dot of a 642 x 402 screen: box (58, 18) .. (71, 31).
  CairoDeviceContext dc(100, 50);
  dc.Ellipse({58, 18, 71, 31}, Yellow, Red);
  EXPECT_EQ(dc.PixelAt(64, 24), Yellow);
  EXPECT_EQ(dc.PixelAt(58, 24), Red);
  EXPECT_EQ(dc.PixelAt(70, 24), Red);
  EXPECT_EQ(dc.PixelAt(64, 18), Red);
  EXPECT_EQ(dc.PixelAt(64, 30), Red);
  EXPECT_EQ(dc.PixelAt(58, 18), White) << "corners stay free";
  EXPECT_EQ(dc.PixelAt(70, 30), White);
}

TEST(Ellipse, EmptyBoxDrawsNothingAndOffSurfaceIsClipped) {
  CairoDeviceContext dc(20, 20);
  dc.Ellipse({10, 10, 10, 15}, Yellow, Red);
  dc.Ellipse({12, 12, 8, 8}, Yellow, Red);
  EXPECT_EQ(dc.PixelAt(10, 12), White);
  dc.Ellipse({-10, -10, 10, 10}, Yellow, Red);
  EXPECT_EQ(dc.PixelAt(0, 0), Yellow);
  EXPECT_EQ(dc.PixelAt(9, 0), Red);
}

TEST(DrawLine, HorizontalRowsFollowThePenWidthRule) {
  CairoDeviceContext dc(200, 100);
  dc.DrawLine(97, 66, 177, 66, 2, Red);
  EXPECT_EQ(dc.PixelAt(97, 65), Red);
  EXPECT_EQ(dc.PixelAt(97, 66), Red);
  EXPECT_EQ(dc.PixelAt(176, 66), Red);
  EXPECT_EQ(dc.PixelAt(177, 66), White) << "end point excluded";
  EXPECT_EQ(dc.PixelAt(96, 66), White);
  EXPECT_EQ(dc.PixelAt(120, 64), White);
  EXPECT_EQ(dc.PixelAt(120, 67), White);

  dc.DrawLine(10, 10, 20, 10, 1, Navy);
  EXPECT_EQ(dc.PixelAt(10, 10), Navy);
  EXPECT_EQ(dc.PixelAt(10, 9), White);
  EXPECT_EQ(dc.PixelAt(10, 11), White);

  dc.DrawLine(10, 30, 20, 30, 3, Navy);
  EXPECT_EQ(dc.PixelAt(15, 29), Navy);
  EXPECT_EQ(dc.PixelAt(15, 31), Navy);
  EXPECT_EQ(dc.PixelAt(15, 28), White);
  EXPECT_EQ(dc.PixelAt(15, 32), White);
}

TEST(DrawLine, RightToLeftAndVerticalExcludeTheirEndPoints) {
  CairoDeviceContext dc(50, 50);
  dc.DrawLine(20, 5, 10, 5, 1, Red);
  EXPECT_EQ(dc.PixelAt(20, 5), Red);
  EXPECT_EQ(dc.PixelAt(11, 5), Red);
  EXPECT_EQ(dc.PixelAt(10, 5), White);

  dc.DrawLine(30, 10, 30, 20, 2, Navy);
  EXPECT_EQ(dc.PixelAt(29, 10), Navy);
  EXPECT_EQ(dc.PixelAt(30, 19), Navy);
  EXPECT_EQ(dc.PixelAt(30, 20), White);
  EXPECT_EQ(dc.PixelAt(31, 15), White);
  EXPECT_EQ(dc.PixelAt(28, 15), White);

  dc.DrawLine(40, 40, 40, 40, 3, Red);
  EXPECT_EQ(dc.PixelAt(40, 40), White) << "a zero-length line draws nothing";
}

}  // namespace
