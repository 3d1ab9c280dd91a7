// The screen state machine: which screen is shown, and what a key or a timer
// tick does to it. Every change of screen redraws the new screen whole.
#include "practice/practice.h"
#include "progress/progress.h"
#include "screens/screens.h"

namespace {

constexpr int Escape = 27;
constexpr int Enter = 13;

constexpr char ExpertTitleFormat[] = "(^_^) Digdash Expert (%s) (^_^)/~~";
constexpr char StandardTitleFormat[] = "(^_^) Digdash Standard (%s) (^_^)/~~";
constexpr char BeginnerTitleFormat[] = "(^_^) Digdash Beginner's (%s) (^_^)/~~";

// The record and progress screens share the level menus' range of ids, but
// entering them leaves the play state as it was.
bool IsLevelMenu(int screenId) {
  return screenId > 10 && screenId < 100 && screenId != RecordScreenId &&
         screenId != ProgressScreenId;
}
bool IsCourse(int screenId) {
  return screenId > 100 && screenId < 400;
}

}  // namespace

void DrawCurrentScreen(GameGlobals& g, DeviceContext& dc) {
  const int id = g.screenId;
  if (id == TitleScreenId) {
    DrawTitleScreen(g, dc);
  } else if (const MenuTable* menu = MenuForScreen(id)) {
    DrawMenu(g, dc, *menu, menu->title);
  } else if (id == RecordScreenId) {
    DrawRecordScreen(g, dc);
  } else if (id == ProgressScreenId) {
    DrawProgressScreen(g, dc);
  } else if (id == EndProgramCode) {
    // Only the exit report can cause a repaint once Exit was chosen; the run
    // behind it may already be settled, so leave the screen as it was.
  } else if (id > 300) {
    DrawPracticeScreen(g, dc, ExpertTitleFormat);
  } else if (id > 200) {
    DrawPracticeScreen(g, dc, StandardTitleFormat);
  } else if (id > 100) {
    DrawPracticeScreen(g, dc, BeginnerTitleFormat);
  }
}

void DispatchKey(GameGlobals& g, View& view, DeviceContext& dc, int character) {
  int key = AssembleKey(g, character);
  if (key == 0) return;  // a lead byte waits for its trail byte
  key = MapKanaKey(key);
  if (key == 0) return;

  if (g.screenId == TitleScreenId) {
    g.screenId = MainMenuScreenId;
    g.PlayState = PlayMainMenu;
    DrawCurrentScreen(g, dc);
    return;
  }

  const int code = LookUpMenuKey(g, g.currentMenu, key);
  if (code != 0) {
    const MenuTable* leaving = g.currentMenu;
    g.currentMenu = nullptr;
    g.screenId = code;
    if (g.screenId == EndProgramCode) {
      // The exit sequence runs once the message loop has ended.
      view.PostQuitMessage();
      return;
    }
    if (g.screenId > 9000) g.screenId -= 9000;
    if (IsLevelMenu(g.screenId)) {
      g.PlayState = PlayLevelMenu;
    } else if (IsCourse(g.screenId)) {
      g.PlayState = PlayRunning;
      // Started before drawing, so the first drawing already shows a target.
      StartPractice(g, view, dc, leaving, g.screenId);
    } else if (g.screenId == ProgressScreenId) {
      OpenProgressScreen(g);  // read once; repaints draw what was read
    }
    DrawCurrentScreen(g, dc);
    return;
  }

  if ((key == Escape && g.screenId == RecordScreenId) ||
      ((key == Escape || key == Enter) && g.screenId == ProgressScreenId)) {
    g.screenId = MainMenuScreenId;
    DrawCurrentScreen(g, dc);
    return;
  }
  if (IsCourse(g.screenId)) JudgePracticeKey(g, view, dc, key);
}

void DispatchTimer(GameGlobals& g, View& view, DeviceContext& dc, int timerId) {
  if (timerId == 1) {
    BannerTick(g, view, dc);
  } else {
    HintTick(g, view, dc, timerId);
  }
}
