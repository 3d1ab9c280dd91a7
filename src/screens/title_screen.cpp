// The title screen: a frame of dots around the program's name, its version,
// cheering faces and a banner that swaps once a second until the first key.
#include "screens/screens.h"
#include "texts/screens.h"
#include "textscreen/textscreen.h"

namespace {

static_assert(sizeof sjis::TitleBorderRow - 1 == 50, "border row: 25 dots of 2 bytes");
static_assert(sizeof sjis::TitleBorderDot - 1 == 2, "border dot: one double-byte dot");
static_assert(sizeof sjis::TitleVersionLine - 1 == 28, "version line length");
static_assert(sizeof sjis::TitleCheeringRow - 1 == 38, "cheering row length");
// Equal lengths let each banner cover the other completely.
static_assert(sizeof sjis::TitleBannerPhase0 - 1 == 43, "banner phase 0 length");
static_assert(sizeof sjis::TitleBannerPhase1 - 1 == 43, "banner phase 1 length");

constexpr const char* Banners[2] = {sjis::TitleBannerPhase0, sjis::TitleBannerPhase1};

constexpr TextItem Subtitle[] = {{.y = 80, .x = 132, .text = "Tazi's Digdash Type Trainer"}, {}};
constexpr char Prompt[] = "Hit Any Key to Show Menu";
constexpr char CreditLine[] = "Tap the mole, train your fingers";

constexpr int FrameLeft = 56;
constexpr int FrameRight = 440;
constexpr int FrameTop = 48;
constexpr int FrameBottom = 240;
constexpr int BannerY = 160;
constexpr int BannerX = 80;

}  // namespace

void DrawTitleScreen(GameGlobals& g, DeviceContext& dc) {
  // The enlarged layout stays on afterwards: the banner step draws on it.
  g.ZoomY = g.ZoomX = 1;
  ClearScreen(g, dc);
  SetColors(dc, ColorPurple, ColorWhite);
  PutText(g, dc, FrameTop, FrameLeft, sjis::TitleBorderRow);

  for (int r = 3; r <= 14; ++r) {
    const int y = CellHeight * r;
    SetColors(dc, ColorPurple, ColorWhite);
    PutText(g, dc, y, FrameLeft, sjis::TitleBorderDot);
    SetColors(dc, ColorBrown, ColorWhite);
    switch (r) {
      case 7:
        SetColors(dc, ColorNavy, ColorWhite);
        PutTextList(g, dc, Subtitle);
        SetColors(dc, ColorTeal, ColorWhite);
        g.BoldText = 1;
        PutText(g, dc, 112, 144, sjis::TitleVersionLine);
        g.BoldText = 0;
        break;
      case 9:
      case 11:
        PutText(g, dc, y, 76, sjis::TitleCheeringRow);
        break;
      case 10:
        PutText(g, dc, BannerY, BannerX, Banners[g.bannerPhase != 0 ? 1 : 0]);
        break;
      case 13:
        SetColors(dc, ColorTeal, ColorWhite);
        PutText(g, dc, 208, 132, CreditLine);
        break;
      default:
        break;
    }
    SetColors(dc, ColorPurple, ColorWhite);
    PutText(g, dc, y, FrameRight, sjis::TitleBorderDot);
  }

  SetColors(dc, ColorPurple, ColorWhite);
  PutText(g, dc, FrameBottom, FrameLeft, sjis::TitleBorderRow);
  SetColors(dc, ColorTeal, ColorWhite);
  PutText(g, dc, 272, 304, Prompt);
  SetColors(dc, ColorBlack, ColorWhite);
}

void BannerTick(GameGlobals& g, View& view, DeviceContext& dc) {
  SetColors(dc, ColorBrown, ColorWhite);
  if (g.PlayState != PlayTitle) {
    // Off the title the tick only stops the timer; the next message restarts it.
    view.KillTimer(1);
  } else {
    // No zoom switch is touched: the title left the enlarged layout on.
    g.bannerPhase = g.bannerPhase == 0 ? 1 : 0;
    PutText(g, dc, BannerY, BannerX, Banners[g.bannerPhase]);
  }
  SetColors(dc, ColorBlack, ColorWhite);
}
