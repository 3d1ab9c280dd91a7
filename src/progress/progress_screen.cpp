// The progress screen, main menu entry 6: the report's picture of the current
// layout's statistics with this session's counts, inside the game.
#include "progress/progress.h"
#include "texts/progress.h"
#include "textscreen/textscreen.h"

namespace {

constexpr int ProblemY = 360;  // over the practise-next line, which would mislead
constexpr int PromptY = 384;

}  // namespace

void OpenProgressScreen(GameGlobals& g) {
  ProgressState& p = g.progress;
  p.shownStatistics = KeyStatistics{};
  p.shownRuns.clear();
  p.shownProblem.clear();
  // A file that does not read is named on the screen; what did read is shown.
  LoadProgressFiles(g, &p.shownStatistics, &p.shownRuns, &p.shownProblem);
  // The key counts of this session reach the file only at exit.
  AddKeyStatistics(p.shownStatistics, p.session);
}

void DrawProgressScreen(GameGlobals& g, DeviceContext& dc) {
  const ProgressState& p = g.progress;
  DrawReportPicture(g, dc, p.shownStatistics, p.shownRuns);
  if (!p.shownProblem.empty()) {
    FillBox(g, dc, ProblemY, 0, ProblemY + CellHeight, ScreenWidth, ColorWhite);
    SetColors(dc, ColorMaroon, ColorWhite);
    PutText(g, dc, ProblemY, 8, p.shownProblem.c_str());
  }
  SetColors(dc, ColorNavy, ColorWhite);
  PutText(
      g, dc, PromptY, 8,
      g.LanguageFlag == 1 ? "Press ESC or Enter key to return to Menu" : sjis::ProgressPromptJa);
  SetColors(dc, ColorBlack, ColorWhite);
}
