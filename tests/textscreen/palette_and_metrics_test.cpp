// The palette and the zoomed font size, against the numbers the game was
// designed with rather than the names in the code.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "platform/cairo_dc.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

// Each colour as the game stores it (0x00BBGGRR) and as the screen shows it
// (0xRRGGBB): teal is blue and green, brown is red with a little green.
TEST(Palette, EveryColourIsStoredAndShownAsDesigned) {
  const struct {
    const char* name;
    ColorRef colour, stored;
    std::uint32_t shown;
  } palette[] = {
      {"black", ColorBlack, 0x000000, 0x000000},
      {"white", ColorWhite, 0xFFFFFF, 0xFFFFFF},
      {"purple", ColorPurple, 0x802080, 0x802080},
      {"teal", ColorTeal, 0x808000, 0x008080},
      {"green", ColorGreen, 0x008000, 0x008000},
      {"navy", ColorNavy, 0x800000, 0x000080},
      {"brown", ColorBrown, 0x002080, 0x802000},
      {"maroon", ColorMaroon, 0x000080, 0x800000},
      {"blue", ColorBlue, 0xFF0000, 0x0000FF},
      {"red", ColorRed, 0x0000FF, 0xFF0000},
      {"magenta", ColorMagenta, 0xFF00FF, 0xFF00FF},
      {"grey", ColorGrey, 0x7F7F7F, 0x7F7F7F},
      {"light yellow", ColorLightYellow, 0xBFFFFF, 0xFFFFBF},
      {"orange", ColorOrange, 0x3FBFFF, 0xFFBF3F},
  };
  CairoDeviceContext screen(4, 4);
  for (const auto& c : palette) {
    EXPECT_EQ(c.colour, c.stored) << c.name;
    screen.FillRect(Rect{0, 0, 4, 4}, c.colour);
    EXPECT_EQ(screen.Pixels()[0] & 0xFFFFFF, c.shown) << c.name;
  }
}

// With the zoom on, fonts are sized for 60 columns (not 512 / 8 = 64) and 40
// half-rows. At 642 x 402 both give 10 pixels; other sizes tell them apart.
TEST(ZoomedFont, SixtyColumnsAtEverySize) {
  const struct {
    int width, height, fontUnit, columnPitch, halfRowPitch;
  } cases[] = {
      {642, 402, 10, 10, 10},    // 640 / 60 = 10, 400 / 40 = 10
      {962, 802, 16, 16, 20},    // 960 / 60 = 16 (64 columns would give 15)
      {1282, 1202, 21, 21, 30},  // 1280 / 60 = 21 (20 with 64)
      {1282, 802, 20, 21, 20},   // the height limits: 800 / 40 = 20
      {482, 402, 8, 8, 10},      // 480 / 60 = 8 (7 with 64)
  };
  for (const auto& c : cases) {
    GameGlobals g;
    InitGlobals(g, nullptr, c.width, c.height);
    g.ZoomX = g.ZoomY = 1;
    const CellMetrics m = GetCellMetrics(g, 1.0);
    EXPECT_EQ(std::tuple(m.fontUnit, m.columnPitch, m.halfRowPitch),
              std::tuple(c.fontUnit, c.columnPitch, c.halfRowPitch))
        << c.width << "x" << c.height;
    // The text drawn takes that font: one unit wide, two high.
    RecordingDC dc;
    PutText(g, dc, 16, 8, "Digdash");
    ASSERT_FALSE(dc.texts.empty());
    for (const auto& t : dc.texts) {
      EXPECT_EQ(std::tuple(t.font.lfWidth, t.font.lfHeight), std::tuple(c.fontUnit, 2 * c.fontUnit))
          << c.width << "x" << c.height;
    }
  }
}

}  // namespace
