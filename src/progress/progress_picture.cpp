// The report's picture, drawn on the text screen with the game's own shapes,
// glyphs and palette: two small keyboards coloured by miss rate and by look-up
// rate, and the run times of each course in the order they were played.
#include <algorithm>
#include <cstdio>
#include <string>

#include "practice/layouts.h"
#include "practice/practice.h"
#include "progress/progress.h"
#include "textscreen/textscreen.h"

namespace {

// The small keyboards: caps 24 x 28, 27 apart, rows 32 apart and each shifted
// 12 to the right of the one above, so that a layout's tenth cap on the lowest
// row still fits on the right.
constexpr int KeyboardTop = 48;
constexpr int MissKeyboardLeft = 16;
constexpr int LookUpKeyboardLeft = 336;
constexpr int CapWidth = 24;
constexpr int CapHeight = 28;
constexpr int CapPitch = 27;
constexpr int RowPitch = 32;
constexpr int RowShift = 12;

// The chart: seconds upwards from the axis at the bottom, runs left to right.
constexpr int ChartLeft = 48;
constexpr int ChartRight = 456;
constexpr int ChartTop = 232;
constexpr int ChartBottom = 376;
constexpr int LegendLeft = 472;
constexpr int LegendTop = 216;
constexpr int LegendRows = 11;

constexpr ColorRef CourseColours[] = {ColorNavy,   ColorGreen,   ColorMaroon, ColorPurple,
                                      ColorTeal,   ColorBrown,   ColorBlue,   ColorRed,
                                      ColorOrange, ColorMagenta, ColorBlack,  ColorGrey};
constexpr int CourseColourCount = sizeof(CourseColours) / sizeof(CourseColours[0]);

constexpr const char* LevelShort[4] = {"", "Beg", "Std", "Exp"};

ColorRef Mix(ColorRef a, ColorRef b, double t) {
  auto channel = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
  return MakeColorRef(channel(RedOf(a), RedOf(b)), channel(GreenOf(a), GreenOf(b)),
                      channel(BlueOf(a), BlueOf(b)));
}

void Text(GameGlobals& g, DeviceContext& dc, int y, int x, const std::string& text,
          ColorRef colour) {
  SetColors(dc, colour, ColorWhite);
  PutText(g, dc, y, x, text.c_str());
  SetColors(dc, ColorBlack, ColorWhite);
}

// part / whole of a letter summed over the levels, or -1 without evidence.
using RateOf = double (*)(const KeyStatistics&, int letter);

// Counts read from a file may be as large as a count can be: summed as long double.
double MissRate(const KeyStatistics& stats, int letter) {
  long double misses = 0, typed = 0;
  for (const auto& level : stats.keys) {
    misses += level[letter].misses;
    typed += static_cast<long double>(level[letter].misses) + level[letter].timed;
  }
  return typed > 0 ? static_cast<double>(misses / typed) : -1.0;
}

double LookUpRate(const KeyStatistics& stats, int letter) {
  long double lookedUp = 0, answered = 0;
  for (const auto& level : stats.keys) {
    lookedUp += level[letter].lookedUp;
    answered += static_cast<long double>(level[letter].lookedUp) + level[letter].recalled;
  }
  return answered > 0 ? static_cast<double>(lookedUp / answered) : -1.0;
}

void DrawCap(GameGlobals& g, DeviceContext& dc, int y, int x, int key, ColorRef colour) {
  FillFramedBox(g, dc, y, x, y + CapHeight, x + CapWidth, colour, ColorBlack, 1, 1, 1, 1);
  SetColors(dc, ColorBlack, colour);
  PutKeyGlyph(g, dc, y + 6, x + 4, key, 1.0);
  SetColors(dc, ColorBlack, ColorWhite);
}

void DrawRatedKeyboard(GameGlobals& g, DeviceContext& dc, int left, const KeyStatistics& stats,
                       RateOf rateOf) {
  for (int r = 0; r < 4; ++r) {
    const char* row = CurrentLayout(g).rows[r];
    for (int c = 0; row[c] && c < 13; ++c) {
      const int key = static_cast<unsigned char>(row[c]);
      double rate = key >= 'A' && key <= 'Z' ? rateOf(stats, key - 'A') : -1.0;
      const ColorRef colour = rate < 0 ? NoDataColour : RateColour(rate);
      DrawCap(g, dc, KeyboardTop + RowPitch * r, left + RowShift * r + CapPitch * c, key, colour);
    }
  }
}

void DrawLegend(GameGlobals& g, DeviceContext& dc) {
  const int y = 184;
  Text(g, dc, y, 112, "0%", ColorBlack);
  for (int i = 0; i <= 4; ++i) {
    FillFramedBox(g, dc, y, 136 + 24 * i, y + 16, 156 + 24 * i, RateColour(i / 4.0), ColorBlack, 1,
                  1, 1, 1);
  }
  Text(g, dc, y, 264, "100%", ColorBlack);
  FillFramedBox(g, dc, y, 336, y + 16, 356, NoDataColour, ColorBlack, 1, 1, 1, 1);
  Text(g, dc, y, 368, "no key typed yet", ColorBlack);
}

void DrawChart(GameGlobals& g, DeviceContext& dc, const std::vector<RunEntry>& runs) {
  Text(g, dc, 208, 8, "Run time per course (sec), runs in the order played", ColorTeal);
  FillBox(g, dc, ChartTop, ChartLeft - 1, ChartBottom + 1, ChartLeft, ColorBlack);
  FillBox(g, dc, ChartBottom, ChartLeft - 1, ChartBottom + 1, ChartRight + 1, ColorBlack);
  if (runs.empty()) {
    Text(g, dc, 296, 184, "no completed runs yet", ColorBlack);
    return;
  }
  // A run over a day long is off the chart; it tops the axis at a day.
  constexpr std::int64_t Longest = 86400;
  std::int64_t most = 0;
  for (const RunEntry& r : runs) most = std::max(most, std::min(r.seconds, Longest));
  // The top of the axis: the slowest run rounded up to ten seconds.
  const std::int64_t top = std::max<std::int64_t>(10, (most + 9) / 10 * 10);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%4lld", static_cast<long long>(top));
  Text(g, dc, ChartTop - 8, 8, buf, ColorBlack);
  Text(g, dc, ChartBottom - 8, 8, "   0", ColorBlack);
  Text(g, dc, ChartBottom + 4, ChartLeft, std::string(runs.front().date, 8), ColorBlack);
  if (runs.size() > 1) {
    Text(g, dc, ChartBottom + 4, ChartRight - 64, std::string(runs.back().date, 8), ColorBlack);
  }

  int order[4][WeakKeysRowSet + 1] = {};  // legend position + 1 of each course seen
  int courses = 0;
  const std::int64_t n = static_cast<std::int64_t>(runs.size());
  for (std::int64_t i = 0; i < n; ++i) {
    const RunEntry& r = runs[i];
    int& slot = order[r.course / 100][r.course % 100];
    if (slot == 0) {
      slot = ++courses;
      const ColorRef colour = CourseColours[(slot - 1) % CourseColourCount];
      if (slot <= LegendRows) {
        const int y = LegendTop + 16 * (slot - 1);
        const bool last = slot == LegendRows;
        if (!last) FillBox(g, dc, y + 4, LegendLeft, y + 12, LegendLeft + 8, colour);
        Text(g, dc, y, LegendLeft + 16,
             last ? std::string("and more")
                  : std::string(LevelShort[r.course / 100]) + " " +
                        ProgressRowSetNames[r.course % 100],
             ColorBlack);
      }
    }
    const ColorRef colour = CourseColours[(slot - 1) % CourseColourCount];
    const std::int64_t seconds = std::min(r.seconds, top);
    const int y = ChartBottom - static_cast<int>(seconds * (ChartBottom - ChartTop) / top);
    const int x = n == 1 ? (ChartLeft + ChartRight) / 2
                         : ChartLeft + static_cast<int>(i * (ChartRight - ChartLeft) / (n - 1));
    FillBox(g, dc, y - 2, x - 2, y + 3, x + 3, colour);
  }
}

}  // namespace

ColorRef RateColour(double rate) {
  rate = std::clamp(rate, 0.0, 1.0);
  return rate <= 0.5 ? Mix(ColorLightYellow, ColorOrange, rate * 2)
                     : Mix(ColorOrange, ColorRed, (rate - 0.5) * 2);
}

void DrawReportPicture(GameGlobals& g, DeviceContext& dc, const KeyStatistics& stats,
                       const std::vector<RunEntry>& runs) {
  g.ZoomX = 0;
  g.ZoomY = 0;
  ClearScreen(g, dc);
  const char* title = "(^_^) Digdash Progress Report (^_^)/~~";
  Text(g, dc, 1, 320 - 4 * static_cast<int>(std::char_traits<char>::length(title)), title,
       ColorPurple);
  Text(g, dc, 24, MissKeyboardLeft, "Misses: share of the keys typed for it", ColorTeal);
  Text(g, dc, 24, LookUpKeyboardLeft, "Look-ups: typed after its mole", ColorTeal);
  DrawRatedKeyboard(g, dc, MissKeyboardLeft, stats, MissRate);
  DrawRatedKeyboard(g, dc, LookUpKeyboardLeft, stats, LookUpRate);
  DrawLegend(g, dc);
  DrawChart(g, dc, runs);
}
