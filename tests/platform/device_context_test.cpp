// Pixel checks of the Cairo device context: shapes sampled at the edges where
// off-by-one faults show, and text cells with their face aliases and the
// per-character Japanese fallback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cairo_dc.h"
#include "platform/font_cache.h"
#include "support/test_support.h"

namespace {

constexpr ColorRef White = 0xFFFFFF;
constexpr ColorRef Grey = 0xC0C0C0;
constexpr ColorRef Red = 0x0000FF;
constexpr ColorRef Blue = 0xFF0000;
constexpr ColorRef Navy = 0x800000;
constexpr ColorRef Yellow = 0xBFFFFF;
constexpr const char* MsGothic = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
constexpr const char* MsMincho = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";

// Every (x, y) pair in `xy` has colour `want`.
void ExpectColour(const CairoDeviceContext& dc, ColorRef want, const std::vector<int>& xy) {
  for (auto p = xy.begin(); p + 1 < xy.end(); p += 2)
    EXPECT_EQ(dc.PixelAt(p[0], p[1]), want) << "at " << p[0] << "," << p[1];
}

LogFont Font(const char* face, int height, int width, int weight = 0, std::uint8_t charset = 0) {
  LogFont f{.lfHeight = height, .lfWidth = width, .lfWeight = weight, .lfCharSet = charset};
  std::strncpy(f.lfFaceName, face, sizeof f.lfFaceName - 1);
  return f;
}

TEST(FillRect, CoversLeftTopInclusiveRightBottomExclusiveClipsAndShowsAsXrgb) {
  CairoDeviceContext dc(40, 30);
  dc.FillRect({5, 7, 12, 20}, Navy);
  dc.FillRect({-5, -5, 3, 100}, Red);
  ExpectColour(dc, Navy, {5, 7, 11, 19, 11, 7, 5, 19});
  ExpectColour(dc, White, {4, 7, 5, 6, 12, 10, 8, 20, 3, 29});
  ExpectColour(dc, Red, {0, 0, 2, 29});
  ExpectColour(dc, 0x000000, {-1, 0});  // outside the surface reads as black

  CairoDeviceContext empty(20, 20);
  for (Rect r : {Rect{5, 5, 5, 10}, Rect{5, 5, 10, 5}, Rect{10, 10, 5, 5}}) {
    empty.FillRect(r, Red);
    empty.Ellipse(r, Yellow, Red);
  }
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(empty.PixelAt(x, y), White) << x << "," << y;

  // Resizing whitens; pixels are 0x00RRGGBB for the window and screenshots.
  dc.Resize(4, 3);
  ASSERT_TRUE(dc.Width() == 4 && dc.Height() == 3);
  ExpectColour(dc, White, {0, 0, 2, 2, 3, 2});
  dc.FillRect({1, 2, 2, 3}, MakeColorRef(0x12, 0x34, 0x56));
  const auto* row = reinterpret_cast<const unsigned char*>(dc.Pixels()) + 2 * dc.StrideBytes();
  EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(row)[1] & 0xFFFFFF, 0x123456u);
}

// Every ellipse up to 60 x 60 stays in its box and touches all four sides; its
// one-pixel outline is closed, so the fill never meets the outside.
TEST(Ellipse, StaysInsideClosedAndTouchesEverySideAndTheTextScreenDotIsRound) {
  for (int h = 1; h <= 60; ++h) {
    for (int w = 1; w <= 60; ++w) {
      SCOPED_TRACE(::testing::Message() << w << "x" << h);
      CairoDeviceContext dc(w + 2, h + 2);
      dc.Ellipse({1, 1, w + 1, h + 1}, Yellow, Red);
      auto painted = [&](int x, int y) { return dc.PixelAt(x, y) != White; };
      int minX = w, maxX = 0, minY = h, maxY = 0;
      for (int y = 0; y < h + 2; ++y) {
        for (int x = 0; x < w + 2; ++x) {
          ColorRef c = dc.PixelAt(x, y);
          if (c == White) continue;
          ASSERT_TRUE(x > 0 && y > 0 && x <= w && y <= h) << "outside at " << x << "," << y;
          ASSERT_TRUE(c == Yellow || c == Red) << std::hex << c;
          bool bordersOutside =
              !painted(x - 1, y) || !painted(x + 1, y) || !painted(x, y - 1) || !painted(x, y + 1);
          ASSERT_EQ(c == Red, bordersOutside) << "outline is not the border at " << x << "," << y;
          minX = std::min(minX, x), maxX = std::max(maxX, x);
          minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
      }
      EXPECT_TRUE(minX == 1 && minY == 1 && maxX == w && maxY == h) << "misses a side";
    }
  }
  CairoDeviceContext dc(100, 50);
  dc.Ellipse({58, 18, 71, 31}, Yellow, Red);  // the dot of a 642 x 402 screen
  dc.Ellipse({-10, -10, 10, 10}, Yellow, Red);
  ExpectColour(dc, Yellow, {64, 24, 0, 0});
  ExpectColour(dc, Red, {58, 24, 70, 24, 64, 18, 64, 30, 9, 0});
  ExpectColour(dc, White, {58, 18, 70, 30});  // corners stay free
}

TEST(DrawLine, RowsFollowThePenWidthAndTheEndPointIsExcluded) {
  const struct {
    int x0, y0, x1, y1, pen;
    std::vector<int> inked, clear;
  } cases[] = {
      // pen 2 covers the row above and the row of the line
      {97, 66, 177, 66, 2, {97, 65, 97, 66, 176, 66}, {177, 66, 96, 66, 120, 64, 120, 67}},
      {10, 10, 20, 10, 1, {10, 10}, {10, 9, 10, 11, 20, 10}},
      {10, 30, 20, 30, 3, {15, 29, 15, 31}, {15, 28, 15, 32}},
      {20, 5, 10, 5, 1, {20, 5, 11, 5}, {10, 5}},
      {30, 10, 30, 20, 2, {29, 10, 30, 19}, {30, 20, 31, 15, 28, 15}},
      {40, 40, 40, 40, 3, {}, {40, 40}},  // zero length
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1);
    CairoDeviceContext dc(200, 100);
    dc.DrawLine(c.x0, c.y0, c.x1, c.y1, c.pen, Red);
    ExpectColour(dc, Red, c.inked);
    ExpectColour(dc, White, c.clear);
  }
}

struct Ink {
  int count = 0, leftHalf = 0;  // pixels that are neither white nor the background
  int notBlueTinted = 0;        // ink that is not a blend of blue text over grey
  int outsideCell = 0, cellNotFilled = 0;
};

// Draws blue on grey into a white surface and sorts the pixels.
Ink Draw(const LogFont& font, const std::string& bytes, int cellWidth, int cellHeight) {
  const int left = 10, top = 6;
  CairoDeviceContext dc(cellWidth + 20, cellHeight + 12);
  dc.SetTextColor(Blue);
  dc.SetBkColor(Grey);
  dc.TextOut(left, top, font, bytes);
  Ink ink;
  for (int y = 0; y < dc.Height(); ++y) {
    for (int x = 0; x < dc.Width(); ++x) {
      ColorRef c = dc.PixelAt(x, y);
      bool inCell = x >= left && x < left + cellWidth && y >= top && y < top + cellHeight;
      bool inked = inCell && c != Grey && c != White;
      ink.outsideCell += !inCell && c != White;
      ink.cellNotFilled += inCell && c == White;
      ink.count += inked;
      ink.leftHalf += inked && x < left + cellWidth / 2;
      ink.notBlueTinted += inked && ((c >> 16) & 0xFF) <= (c & 0xFF);
    }
  }
  return ink;
}

TEST(TextOut, FillsExactlyTheCellsAndInksOnlyInsideThemInTheTextColour) {
  // Latin cells, a larger one, several bytes in one call (each keeps its column),
  // a double-byte character over two cells, kana in a Latin face (IPAGothic must
  // supply it), and undecodable bytes, which draw nothing, not even background.
  const LogFont latin = Font("Lucida Console", 16, 8);
  const struct {
    LogFont font;
    std::string text;
    int cellWidth, minInk;
  } cases[] = {{latin, "W", 8, 5},
               {latin, "g", 8, 5},
               {latin, "_", 8, 5},
               {latin, "M", 8, 5},
               {Font("Lucida Console", 48, 24), "Q", 24, 100},
               {latin, "I|", 16, 5},
               {Font("MS UI Gothic", 16, 8, 0, 1), Sjis("あ"), 16, 10},
               {latin, Sjis("カ"), 16, 10},
               {latin, "\x82", 0, -1},
               {latin, "\x85\x40", 0, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.font.lfFaceName + (" " + c.text));
    Ink ink = Draw(c.font, c.text, c.cellWidth, c.font.lfHeight);
    EXPECT_EQ(ink.outsideCell, 0);
    EXPECT_EQ(ink.cellNotFilled, 0);
    EXPECT_GT(ink.count, c.minInk);
    EXPECT_EQ(ink.notBlueTinted, 0);
    if (c.text.size() == 2 && c.minInk > 0) {
      EXPECT_GT(ink.leftHalf, c.minInk / 2);
      EXPECT_GT(ink.count - ink.leftHalf, c.minInk / 2);
    }
  }
}

TEST(Fonts, BoldDiffersAndWindowsFaceNamesResolveToTheIntendedFamilies) {
  Ink regular = Draw(Font("Lucida Console", 32, 16), "H", 16, 32);
  Ink bold = Draw(Font("Lucida Console", 32, 16, 700), "H", 16, 32);
  EXPECT_GT(bold.count, regular.count + 10);
  Ink kanaRegular = Draw(Font(MsGothic, 32, 16, 0, 128), Sjis("ア"), 32, 32);
  Ink kanaBold = Draw(Font(MsGothic, 32, 16, 700, 128), Sjis("ア"), 32, 32);
  EXPECT_GT(kanaBold.count, kanaRegular.count) << "no bold IPA face: emboldened instead";
  EXPECT_EQ(ResolvedFamily("Lucida Console", 0, 0), "DejaVu Sans Mono");
  EXPECT_EQ(ResolvedFamily("MS UI Gothic", 1, 0), "IPAPGothic");
  EXPECT_EQ(ResolvedFamily(MsGothic, 128, 0), "IPAGothic");
  EXPECT_EQ(ResolvedFamily(MsMincho, 128, 0), "IPAMincho");
  EXPECT_FALSE(ResolvedFamily("No Such Face At All", 0, 0).empty()) << "falls back to some face";
}

// What the window is told to show after each event.
TEST(Damage, EachEventReportsWhatItDrewMergedAndClippedAndNothingWhenNothingWasDrawn) {
  CairoDeviceContext dc(100, 50);
  EXPECT_EQ(dc.TakeDamage().size(), 1u) << "a new surface is shown whole";
  EXPECT_TRUE(dc.TakeDamage().empty()) << "nothing drawn, nothing to show";

  auto only = [&](Rect want) {
    std::vector<Rect> got = dc.TakeDamage();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].left, want.left);
    EXPECT_EQ(got[0].top, want.top);
    EXPECT_EQ(got[0].right, want.right);
    EXPECT_EQ(got[0].bottom, want.bottom);
  };
  dc.FillRect({-5, 40, 10, 60}, Red);
  only({0, 40, 10, 50});
  // Three text cells side by side are one rectangle.
  LogFont latin = Font("Lucida Console", 16, 8);
  for (int i = 0; i < 3; ++i) dc.TextOut(9 + 8 * i, 17, latin, "A");
  only({9, 17, 33, 33});
  dc.Ellipse({58, 18, 71, 31}, Yellow, Red);
  dc.DrawLine(5, 3, 15, 3, 2, Navy);
  std::vector<Rect> two = dc.TakeDamage();
  ASSERT_EQ(two.size(), 2u) << "far apart: shown apart";
  // Cells scattered over the surface: a few rectangles that cover them all.
  std::vector<std::pair<int, int>> dots;
  for (int i = 0; i < 40; ++i) dots.push_back({(i * 37) % 97, (i * 11) % 47});
  for (auto [x, y] : dots) dc.FillRect({x, y, x + 1, y + 1}, Red);
  std::vector<Rect> few = dc.TakeDamage();
  EXPECT_LE(few.size(), 24u);
  for (auto [x, y] : dots) {
    EXPECT_TRUE(std::any_of(
        few.begin(), few.end(),
        [&](const Rect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }))
        << x << "," << y;
  }
  dc.Resize(30, 20);
  only({0, 0, 30, 20});
  dc.FillRect({40, 40, 50, 50}, Red);  // wholly outside
  EXPECT_TRUE(dc.TakeDamage().empty());
}

// Cached text cells are the cells drawn afresh: same pixels at any position,
// in any colours, and the cache starts over when the size changes.
TEST(TextCells, ACopiedCellEqualsAFreshlyDrawnOneAndTheCacheIsDroppedOnResize) {
  LogFont latin = Font("Lucida Console", 32, 16);
  CairoDeviceContext cached(200, 100);
  cached.SetTextColor(Blue);
  cached.SetBkColor(Yellow);
  cached.TextOut(3, 5, latin, "W");
  cached.TextOut(101, 61, latin, "W");  // from the cache
  cached.TextOut(190, 90, latin, "W");  // from the cache, clipped
  EXPECT_EQ(cached.CachedCellCount(), 1);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 16; ++x) {
      ASSERT_EQ(cached.PixelAt(3 + x, 5 + y), cached.PixelAt(101 + x, 61 + y)) << x << "," << y;
      if (190 + x < 200 && 90 + y < 100) {
        ASSERT_EQ(cached.PixelAt(3 + x, 5 + y), cached.PixelAt(190 + x, 90 + y)) << x << "," << y;
      }
    }
  }
  cached.SetTextColor(Red);
  cached.TextOut(40, 5, latin, "W");
  EXPECT_EQ(cached.CachedCellCount(), 2) << "colours are part of the key";
  EXPECT_NE(cached.PixelAt(3 + 2, 5 + 12), cached.PixelAt(40 + 2, 5 + 12));  // the left stroke
  cached.Resize(300, 100);
  EXPECT_EQ(cached.CachedCellCount(), 0);
}

// The ellipse's rows are spans; its outline is every inside pixel with an
// outside neighbour across an edge, however the box is shaped.
TEST(Ellipse, OutlineIsExactlyTheInsidePixelsWithAnOutsideNeighbour) {
  for (int w = 1; w <= 24; ++w) {
    for (int h = 1; h <= 24; h += (h < 6 ? 1 : 5)) {
      CairoDeviceContext dc(w + 2, h + 2);
      dc.Ellipse({1, 1, w + 1, h + 1}, Yellow, Red);
      auto inside = [&](int x, int y) { return dc.PixelAt(x, y) != White; };
      for (int y = 1; y <= h; ++y) {
        for (int x = 1; x <= w; ++x) {
          if (!inside(x, y)) continue;
          bool edge =
              !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
          ASSERT_EQ(dc.PixelAt(x, y), edge ? Red : Yellow)
              << w << "x" << h << " at " << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
