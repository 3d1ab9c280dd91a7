#include "pixels/screen_tour.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "app/shell.h"
#include "platform/report_box.h"
#include "screens/screens.h"
#include "support/test_support.h"

namespace {

// 2001-09-09 01:46:40 UTC: dates and times on the record screen stay fixed.
constexpr std::int64_t TourClockSeconds = 1'000'000'000;

struct Tour {
  Tour(int width, int height)
      : surface(width, height),
        clock(TimeStamp{TourClockSeconds, 0}),
        shell(g, surface, clock,
              [this](const std::string& caption, const std::vector<std::string>& lines) {
                DrawReportBox(surface, caption, lines, 1);
              }) {}

  void Snap(const std::string& name) {
    auto copy = std::make_unique<CairoDeviceContext>(surface.Width(), surface.Height());
    copy->CopyPixelsFrom(surface);
    shots.push_back({name, std::move(copy)});
  }
  void Wait(std::int64_t ms) { shell.FireDueTimers(shell.NowMs() + ms, &clock); }
  void Key(int c) { shell.OnChar(c); }
  void Hit() {
    Key(std::tolower(static_cast<unsigned char>(g.targetKey)));
    Wait(250);
  }
  void Miss() { Key(g.targetKey == 'Q' ? 'z' : 'q'); }

  ScratchDir dir;
  CairoDeviceContext surface;
  VirtualClock clock;
  GameGlobals g;
  Shell shell;
  std::vector<TourShot> shots;
};

}  // namespace

std::vector<TourShot> TourScreens(int width, int height) {
  setenv("TZ", "UTC", 1);
  Tour t(width, height);
  t.shell.Start();
  t.shell.OnPaint();
  t.Snap("title");
  t.Wait(1000);
  t.Snap("title-banner-stepped");
  t.Key(' ');
  t.Snap("main-menu");
  // Each level on a different row set, so each keyboard field is seen.
  const struct {
    char level;
    char rowSet;
  } courses[] = {{'1', '1'}, {'2', '6'}, {'3', '3'}};
  for (const auto& c : courses) {
    t.Key(c.level);
    t.Snap(std::string("level-menu-") + c.level);
    t.Key(c.rowSet);
    t.Snap(std::string("practice-") + c.level + "-before");
    for (int i = 0; i < 10; ++i) t.Hit();
    t.Wait(2100);  // Standard and Expert show the mole after the hint delay
    t.Snap(std::string("practice-") + c.level + "-during");
    t.Miss();
    t.Snap(std::string("practice-") + c.level + "-miss");
    for (int i = 0; i < 50 && t.g.PlayState == PlayRunning; ++i) t.Hit();
    t.Snap(std::string("practice-") + c.level + "-after");
    for (int i = 0; i < 3 && t.g.screenId != MainMenuScreenId; ++i) t.Key(27);
  }
  t.Key('4');
  t.Snap("records");
  t.Key(27);
  t.shell.ShowModalReport("Practice Record write error",
                          {"Practice Recod File", "wenlotka.rec ", "Could not be saved"});
  t.Snap("save-failure-report");
  t.Key('6');  // this session's three runs and keys
  t.Snap("progress");
  t.Key(27);

  // A new learner's first Weak Keys run draws like All Row and says why.
  Tour fresh(width, height);
  fresh.shell.Start();
  fresh.shell.OnPaint();
  fresh.Key(' ');
  fresh.Key('2');
  fresh.Key('8');
  fresh.Snap("weak-keys-without-statistics");
  t.shots.push_back(std::move(fresh.shots.back()));
  return std::move(t.shots);
}

std::unique_ptr<CairoDeviceContext> StackShots(const std::vector<TourShot>& shots) {
  int width = 1;
  int height = 0;
  for (const TourShot& s : shots) {
    width = std::max(width, s.pixels->Width());
    height += s.pixels->Height();
  }
  auto stack = std::make_unique<CairoDeviceContext>(width, std::max(1, height));
  int y = 0;
  for (const TourShot& s : shots) {
    stack->CopyPixelsFrom(*s.pixels, 0, y);
    y += s.pixels->Height();
  }
  return stack;
}

std::string TourReferencePath(int width, int height) {
  return std::string(WENLOTKA_SOURCE_DIR) + "/tests/pixels/ref/tour-" + std::to_string(width) +
         "x" + std::to_string(height) + ".png";
}
