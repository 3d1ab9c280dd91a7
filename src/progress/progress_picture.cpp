// The report's picture, drawn on the text screen with the game's own shapes,
// glyphs and palette: two small keyboards with each key's miss rate and
// look-up rate, the run times of each course in the order they were played,
// and the keys to practise next.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "practice/layouts.h"
#include "practice/practice.h"
#include "progress/progress.h"
#include "texts/progress.h"
#include "textscreen/textscreen.h"

namespace {

// The small keyboards: caps 24 x 28, 27 apart, rows 32 apart and each shifted
// 12 to the right of the one above, so that a layout's tenth cap on the lowest
// row still fits on the right. A cap with data carries its letter above its
// rate in whole percent, both at three quarters of the text size.
constexpr int KeyboardTop = 40;
constexpr int MissKeyboardLeft = 16;
constexpr int LookUpKeyboardLeft = 336;
constexpr int CapWidth = 24;
constexpr int CapHeight = 28;
constexpr int CapPitch = 27;
constexpr int RowPitch = 32;
constexpr int RowShift = 12;
constexpr double CapTextScale = 0.75;
constexpr int CapTextWidth = 6;  // one character at CapTextScale
constexpr int ScaleTop = 168;

// The chart: seconds upwards from the axis at the bottom, runs left to right,
// a few labelled ticks on both axes; the courses listed on the right.
constexpr int ChartLeft = 48;
constexpr int ChartRight = 424;
constexpr int ChartTop = 212;
constexpr int ChartBottom = 316;
constexpr int LegendLeft = 440;
constexpr int LegendTop = 204;
constexpr int LegendRows = 8;
constexpr int WeakestY = 344;
constexpr int PractiseNextY = 360;

// Okabe and Ito's colours, told apart with any kind of colour vision (their
// yellow left out: it is lost on white), each course a colour and a shape.
constexpr ColorRef CourseColours[] = {MakeColorRef(0, 114, 178), MakeColorRef(213, 94, 0),
                                      MakeColorRef(0, 158, 115), MakeColorRef(204, 121, 167),
                                      MakeColorRef(230, 159, 0), MakeColorRef(86, 180, 233),
                                      MakeColorRef(0, 0, 0)};
constexpr int CourseColourCount = sizeof(CourseColours) / sizeof(CourseColours[0]);
enum Mark { Square = 0, Disc = 1, Ring = 2 };
constexpr int MarkCount = 3;

constexpr const char* LevelShort[4] = {"", "Beg", "Std", "Exp"};

bool English(const GameGlobals& g) {
  return g.LanguageFlag == 1;
}

ColorRef Mix(ColorRef a, ColorRef b, double t) {
  auto channel = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
  return MakeColorRef(channel(RedOf(a), RedOf(b)), channel(GreenOf(a), GreenOf(b)),
                      channel(BlueOf(a), BlueOf(b)));
}

void Text(GameGlobals& g, DeviceContext& dc, int y, int x, const std::string& text, ColorRef colour,
          ColorRef background = ColorWhite, double scale = 1.0) {
  SetColors(dc, colour, background);
  PutScaledText(g, dc, y, x, text.c_str(), scale);
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

long WholePercent(double rate) {
  return std::lround(100 * rate);
}

// The top of a keyboard's colour scale: its highest rate in whole percent,
// rounded up to five, so the colours spread over the rates that occur.
long ScaleTopPercent(const KeyStatistics& stats, RateOf rateOf) {
  long top = 0;
  for (int letter = 0; letter < ProgressLetters; ++letter) {
    top = std::max(top, WholePercent(rateOf(stats, letter)));
  }
  return std::max(5L, (top + 4) / 5 * 5);
}

void DrawCap(GameGlobals& g, DeviceContext& dc, int y, int x, int key, ColorRef colour,
             long percent) {
  FillFramedBox(g, dc, y, x, y + CapHeight, x + CapWidth, colour, ColorBlack, 1, 1, 1, 1);
  SetColors(dc, ColorBlack, colour);
  if (percent < 0) {
    PutKeyGlyph(g, dc, y + 6, x + 4, key, 1.0);
  } else {
    PutKeyGlyph(g, dc, y + 1, x + 4, key, CapTextScale);
    const std::string number = std::to_string(percent);
    const int width = CapTextWidth * static_cast<int>(number.size());
    // The painter leaves two pixels before a character of this size.
    Text(g, dc, y + 13, x + (CapWidth - width) / 2 - 2, number, ColorBlack, colour, CapTextScale);
  }
  SetColors(dc, ColorBlack, ColorWhite);
}

void DrawScale(GameGlobals& g, DeviceContext& dc, int left, long topPercent) {
  Text(g, dc, ScaleTop, left, "0%", ColorBlack);
  for (int i = 0; i <= 4; ++i) {
    const int x = left + 24 + 20 * i;
    FillFramedBox(g, dc, ScaleTop, x, ScaleTop + 16, x + 16, RateColour(i / 4.0), ColorBlack, 1, 1,
                  1, 1);
  }
  Text(g, dc, ScaleTop, left + 128, std::to_string(topPercent) + "%", ColorBlack);
  FillFramedBox(g, dc, ScaleTop, left + 176, ScaleTop + 16, left + 192, NoDataColour, ColorBlack, 1,
                1, 1, 1);
  Text(g, dc, ScaleTop, left + 200, English(g) ? "not typed" : sjis::NotTypedJa, ColorBlack);
}

void DrawRatedKeyboard(GameGlobals& g, DeviceContext& dc, int left, const KeyStatistics& stats,
                       RateOf rateOf) {
  const long top = ScaleTopPercent(stats, rateOf);
  for (int r = 0; r < 4; ++r) {
    const char* row = CurrentLayout(g).rows[r];
    for (int c = 0; row[c] && c < 13; ++c) {
      const int key = static_cast<unsigned char>(row[c]);
      const double rate = key >= 'A' && key <= 'Z' ? rateOf(stats, key - 'A') : -1.0;
      const long percent = rate < 0 ? -1 : WholePercent(rate);
      const ColorRef colour =
          rate < 0 ? NoDataColour : RateColour(static_cast<double>(percent) / top);
      DrawCap(g, dc, KeyboardTop + RowPitch * r, left + RowShift * r + CapPitch * c, key, colour,
              percent);
    }
  }
  DrawScale(g, dc, left, top);
}

// The smallest of 1, 2, 5, 10, 20, 50... (times `unit`) that cuts `range`
// into at most `parts` steps.
std::int64_t TickStep(std::int64_t range, int parts, std::int64_t unit) {
  for (std::int64_t step = unit;; step *= 10) {
    for (std::int64_t m : {1, 2, 5}) {
      if (range <= step * m * parts) return step * m;
    }
  }
}

void DrawMark(GameGlobals& g, DeviceContext& dc, int y, int x, int slot) {
  const ColorRef colour = CourseColours[slot % CourseColourCount];
  switch ((slot / CourseColourCount) % MarkCount) {
    case Square:
      FillBox(g, dc, y - 3, x - 3, y + 3, x + 3, colour);
      break;
    case Disc:
      FillEllipse(g, dc, y - 3, x - 3, y + 4, x + 4, colour, colour);
      break;
    case Ring: {
      const int inset = std::max(2, (ToDeviceX(g, 2) - ToDeviceX(g, 0)));
      FillFramedBox(g, dc, y - 3, x - 3, y + 4, x + 4, ColorWhite, colour, inset, inset, inset,
                    inset);
      break;
    }
  }
}

void DrawChart(GameGlobals& g, DeviceContext& dc, const std::vector<RunEntry>& runs) {
  Text(g, dc, 188, 8,
       English(g) ? "Run time per course (sec), runs in the order played" : sjis::ChartCaptionJa,
       ColorTeal);
  FillBox(g, dc, ChartTop, ChartLeft - 1, ChartBottom + 1, ChartLeft, ColorBlack);
  FillBox(g, dc, ChartBottom, ChartLeft - 1, ChartBottom + 1, ChartRight + 1, ColorBlack);
  if (runs.empty()) {
    Text(g, dc, 256, 152, English(g) ? "no completed runs yet" : sjis::NoRunsYetJa, ColorBlack);
    return;
  }
  // A run over a day long is off the chart; it tops the axis at a day.
  constexpr std::int64_t Longest = 86400;
  std::int64_t most = 1;
  for (const RunEntry& r : runs) most = std::max(most, std::min(r.seconds, Longest));
  const std::int64_t secondsStep = TickStep(most, 4, 5);
  const std::int64_t top = (most + secondsStep - 1) / secondsStep * secondsStep;
  char buf[32];
  for (std::int64_t s = 0; s <= top; s += secondsStep) {
    const int y = ChartBottom - static_cast<int>(s * (ChartBottom - ChartTop) / top);
    FillBox(g, dc, y, ChartLeft - 5, y + 1, ChartLeft, ColorBlack);
    std::snprintf(buf, sizeof buf, "%4lld", static_cast<long long>(s));
    Text(g, dc, y - 8, 8, buf, ColorBlack);
  }

  const std::int64_t n = static_cast<std::int64_t>(runs.size());
  auto runX = [n](std::int64_t i) {  // the x of run i, counted from 0
    return n == 1 ? (ChartLeft + ChartRight) / 2
                  : ChartLeft + static_cast<int>(i * (ChartRight - ChartLeft) / (n - 1));
  };
  // Ticks at the first run and every step's multiple, labelled with the run's number.
  const std::int64_t runStep = TickStep(n, 5, 1);
  for (std::int64_t number = 1; number <= n;
       number = number == 1 && runStep > 1 ? runStep : number + runStep) {
    const int x = runX(number - 1);
    FillBox(g, dc, ChartBottom + 1, x, ChartBottom + 5, x + 1, ColorBlack);
    const std::string label = std::to_string(number);
    Text(g, dc, ChartBottom + 6, x - 4 * static_cast<int>(label.size()), label, ColorBlack);
  }

  int order[4][WeakKeysRowSet + 1] = {};  // legend position + 1 of each course seen
  int courses = 0;
  for (std::int64_t i = 0; i < n; ++i) {
    const RunEntry& r = runs[i];
    int& slot = order[r.course / 100][r.course % 100];
    if (slot == 0) {
      slot = ++courses;
      if (slot <= LegendRows) {
        const int y = LegendTop + 16 * (slot - 1);
        const bool more = slot == LegendRows;
        if (!more) DrawMark(g, dc, y + 8, LegendLeft + 4, slot - 1);
        Text(g, dc, y, LegendLeft + 16,
             more ? std::string(English(g) ? "and more" : sjis::MoreCoursesJa)
                  : std::string(LevelShort[r.course / 100]) + " " +
                        ProgressRowSetNames[r.course % 100],
             ColorBlack);
      }
    }
    const std::int64_t seconds = std::min(r.seconds, top);
    const int y = ChartBottom - static_cast<int>(seconds * (ChartBottom - ChartTop) / top);
    DrawMark(g, dc, y, runX(i), slot - 1);
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
  Text(g, dc, 20, MissKeyboardLeft,
       English(g) ? "Misses: % of the keys typed for it" : sjis::MissCaptionJa, ColorTeal);
  Text(g, dc, 20, LookUpKeyboardLeft,
       English(g) ? "Look-ups: % typed after its mole" : sjis::LookUpCaptionJa, ColorTeal);
  DrawRatedKeyboard(g, dc, MissKeyboardLeft, stats, MissRate);
  DrawRatedKeyboard(g, dc, LookUpKeyboardLeft, stats, LookUpRate);
  DrawChart(g, dc, runs);

  const WeakKeyPlan plan = PlanWeakKeys(stats, PractisedLevel(stats, runs));
  if (plan.level != 0) Text(g, dc, WeakestY, 8, FormatWeakestKeys(plan, g.LanguageFlag), ColorNavy);
  Text(g, dc, PractiseNextY, 8, FormatPractiseNext(plan, g.LanguageFlag), ColorGreen);
}
