#include "app/shell.h"

#include <iostream>

#include "progress/progress.h"
#include "records/records.h"
#include "screens/screens.h"

namespace {
constexpr int BannerTimerId = 1;
constexpr int BannerPeriodMs = 1000;
}  // namespace

Shell::Shell(GameGlobals& g, CairoDeviceContext& surface, const Clock& clock, ReportFn report)
    : g_(g),
      surface_(surface),
      clock_(clock),
      report_(std::move(report)),
      origin_(clock.SteadyMs()) {
  g_.clock = &clock_;
}

void Shell::Start() {
  StartUpRecords(g_);
  TidyKeyStatistics(g_, std::cerr);
}

std::int64_t Shell::NowMs() const {
  return clock_.SteadyMs() - origin_;
}

void Shell::AnyMessage() {
  timers_.Set(BannerTimerId, BannerPeriodMs, NowMs());
}

void Shell::OnPaint() {
  AnyMessage();
  g_.ClientRect = Rect{0, 0, surface_.Width(), surface_.Height()};
  DrawCurrentScreen(g_, surface_);
}

void Shell::OnChar(int byte) {
  AnyMessage();
  DispatchKey(g_, *this, surface_, byte & 0xFF);
}

void Shell::OnTimer(int id) {
  AnyMessage();
  DispatchTimer(g_, *this, surface_, id);
}

void Shell::OnOtherMessage() {
  AnyMessage();
}

void Shell::FireDueTimers(std::int64_t untilMs, VirtualClock* stepClock) {
  while (!quitPosted_) {
    std::optional<std::int64_t> due = timers_.NextDue();
    if (!due || *due > untilMs) break;
    if (stepClock != nullptr && *due > NowMs()) stepClock->Advance(*due - NowMs());
    std::optional<int> id = timers_.PopDue(*due);
    if (!id) break;
    OnTimer(*id);
  }
  if (stepClock != nullptr && untilMs > NowMs()) stepClock->Advance(untilMs - NowMs());
}

void Shell::Exit() {
  if (exited_) return;
  exited_ = true;
  RunExitSequence(g_, *this);
}

void Shell::SetTimer(int id, int periodMs) {
  timers_.Set(id, periodMs, NowMs());
}

void Shell::KillTimer(int id) {
  timers_.Kill(id);
}

void Shell::ShowModalReport(const std::string& caption, const std::vector<std::string>& lines) {
  if (report_) report_(caption, lines);
}
