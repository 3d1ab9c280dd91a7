// The view: the only way from the platform into the game.
//
// Every message that reaches it first sets timer 1 to 1000 ms, so the title
// banner steps only after a second without messages. Characters go to
// DispatchKey, ticks to DispatchTimer, repaints to DrawCurrentScreen with the
// client rectangle read first. The real window and the headless script driver
// both feed it; they differ only in their clock and in how a report is shown.
//
// Operations, in order of use:
//   Shell(...)          main, once the surface exists
//   Start               main: what the view's construction does (records load)
//   OnPaint/OnChar/OnTimer/OnOtherMessage   the event loops, per message
//   FireDueTimers       the event loops, whenever time has moved
//   Exit                main, once the loop has ended (quit or close)
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/cairo_dc.h"
#include "platform/clock.h"
#include "platform/timers.h"
#include "platform/view.h"
#include "screens/game_globals.h"

class Shell final : public View {
 public:
  using ReportFn =
      std::function<void(const std::string& caption, const std::vector<std::string>& lines)>;

  // `clock` must outlive the shell; `report` shows the exit report (CP932 texts).
  Shell(GameGlobals& g, CairoDeviceContext& surface, const Clock& clock, ReportFn report);

  // Loads the records, stamps the start time and seeds the generator.
  void Start();

  void OnPaint();
  void OnChar(int byte);
  void OnTimer(int id);
  void OnOtherMessage();

  // Fires, one message each and in time order, every timer due by the clock's
  // current time. With a virtual clock, `stepClock` moves it to each due time
  // first; it ends at `untilMs` (milliseconds since the shell was made).
  void FireDueTimers(std::int64_t untilMs, VirtualClock* stepClock);

  // Runs the exit sequence; later calls do nothing.
  void Exit();

  bool QuitPosted() const { return quitPosted_; }
  std::int64_t NowMs() const;
  const TimerSet& Timers() const { return timers_; }
  GameGlobals& Globals() { return g_; }
  const GameGlobals& Globals() const { return g_; }

  // View
  void SetTimer(int id, int periodMs) override;
  void KillTimer(int id) override;
  void PostQuitMessage() override { quitPosted_ = true; }
  void ShowModalReport(const std::string& caption, const std::vector<std::string>& lines) override;

 private:
  void AnyMessage();

  GameGlobals& g_;
  CairoDeviceContext& surface_;
  const Clock& clock_;
  ReportFn report_;
  std::int64_t origin_;
  TimerSet timers_;
  bool quitPosted_ = false;
  bool exited_ = false;
};
