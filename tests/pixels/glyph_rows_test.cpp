// Glyphs stay inside their rows: the practice title sits one unit below the
// grid of rows (y 1), and the "Min Record" line drawn on the next row once a
// course has a record must hide none of its ink, at every size of the tour.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>

#include "app/shell.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

// Device pixels, all ends exclusive: the title's band (its whole cell), and
// the columns of the "_" of the first "(^_^)" and of the "g" of "Digdash"
// over the lowest four units of the title's row, where their ink hangs.
struct Size {
  int width, height;
  int bandBottom;
  int underscoreLeft, underscoreRight;
  int gLeft, gRight;
  int lowTop, lowBottom;
};

std::string Name(const testing::TestParamInfo<Size>& info) {
  return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

class GlyphRows : public testing::TestWithParam<Size> {};

TEST_P(GlyphRows, TheRecordLineHidesNothingOfThePracticeTitle) {
  const Size s = GetParam();
  ScratchDir dir;
  CairoDeviceContext surface(s.width, s.height);
  VirtualClock clock{TimeStamp{1'000'000'000, 0}};
  GameGlobals g;
  Shell shell(g, surface, clock, nullptr);
  shell.Start();
  shell.OnPaint();
  for (char c : std::string(" 11")) shell.OnChar(c);  // Beginner's Home Row, no record yet
  CairoDeviceContext alone(s.width, s.height);
  alone.CopyPixelsFrom(surface);
  for (int i = 0; i < 60; ++i) shell.OnChar(std::tolower(static_cast<unsigned char>(g.targetKey)));
  shell.OnChar('\r');  // try again: the record is kept and its line drawn
  ASSERT_NE(g.currentCourse->bestTime, 0.0);

  // Every pixel of the title's ink on the screen without the line is still
  // there with it.
  int hidden = 0;
  for (int y = 0; y < s.bandBottom; ++y) {
    for (int x = 0; x < s.width; ++x) {
      const ColorRef ink = alone.PixelAt(x, y);
      hidden += ink != ColorWhite && surface.PixelAt(x, y) != ink;
    }
  }
  EXPECT_EQ(hidden, 0) << "title pixels covered by the record line";
  // And the underscore and the descender are there to be seen.
  auto inkIn = [&](int left, int right) {
    int n = 0;
    for (int y = s.lowTop; y < s.lowBottom; ++y)
      for (int x = left; x < right; ++x) n += surface.PixelAt(x, y) != ColorWhite;
    return n;
  };
  EXPECT_GT(inkIn(s.underscoreLeft, s.underscoreRight), 0) << "no underscore in (^_^)";
  EXPECT_GT(inkIn(s.gLeft, s.gRight), 0) << "no descender on the g of Digdash";
}

INSTANTIATE_TEST_SUITE_P(TourSizes, GlyphRows,
                         testing::Values(Size{642, 402, 18, 161, 169, 209, 217, 13, 17},
                                         Size{1282, 802, 35, 321, 337, 417, 433, 25, 33},
                                         Size{1000, 300, 13, 250, 262, 325, 337, 9, 12}),
                         Name);

}  // namespace
