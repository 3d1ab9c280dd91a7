// Placeholder bodies, replaced as the platform layer is built.
#include <ctime>

#include "platform/cairo_dc.h"
#include "platform/clock.h"
#include "platform/cp932.h"
#include "platform/random.h"
#include "platform/timers.h"
#include "platform/window.h"

TimeStamp SystemClock::Now() const {
  return {static_cast<std::int64_t>(std::time(nullptr)), 0};
}
void VirtualClock::Advance(std::int64_t ms) {
  std::int64_t total = now_.millis + ms;
  now_.seconds += total / 1000;
  now_.millis = static_cast<int>(total % 1000);
}
std::int64_t CalendarSeconds(const Clock& c) {
  return c.Now().seconds;
}
void FormatDate(const Clock&, char out[9]) {
  for (int i = 0; i < 8; ++i) out[i] = "01/01/70"[i];
  out[8] = 0;
}
void FormatTimeOfDay(const Clock&, char out[9]) {
  for (int i = 0; i < 8; ++i) out[i] = "00:00:00"[i];
  out[8] = 0;
}
std::int64_t MillisBetween(TimeStamp a, TimeStamp b) {
  return (b.seconds - a.seconds) * 1000 + (b.millis - a.millis);
}
void SeedRandom(RandomGenerator& r, unsigned seed) {
  r.state = seed;
}
int NextRandom(RandomGenerator& r) {
  r.state = r.state * 214013u + 2531011u;
  return static_cast<int>((r.state >> 16) & 0x7FFF);
}
void TimerSet::Set(int id, int periodMs, std::int64_t nowMs) {
  timers_[id] = {periodMs, nowMs + periodMs};
}
void TimerSet::Kill(int id) {
  timers_.erase(id);
}
std::optional<int> TimerSet::PopDue(std::int64_t) {
  return std::nullopt;
}
std::optional<std::int64_t> TimerSet::NextDue() const {
  return std::nullopt;
}

struct CairoDeviceContext::Impl {
  int w = 0, h = 0;
  ColorRef text = 0, bk = 0xFFFFFF;
};
CairoDeviceContext::CairoDeviceContext(int w, int h) : impl_(std::make_unique<Impl>()) {
  impl_->w = w;
  impl_->h = h;
}
CairoDeviceContext::~CairoDeviceContext() = default;
void CairoDeviceContext::Resize(int w, int h) {
  impl_->w = w;
  impl_->h = h;
}
int CairoDeviceContext::Width() const {
  return impl_->w;
}
int CairoDeviceContext::Height() const {
  return impl_->h;
}
void CairoDeviceContext::SetTextColor(ColorRef c) {
  impl_->text = c;
}
void CairoDeviceContext::SetBkColor(ColorRef c) {
  impl_->bk = c;
}
ColorRef CairoDeviceContext::GetTextColor() const {
  return impl_->text;
}
ColorRef CairoDeviceContext::GetBkColor() const {
  return impl_->bk;
}
void CairoDeviceContext::TextOut(int, int, const LogFont&, std::string_view) {}
void CairoDeviceContext::FillRect(const Rect&, ColorRef) {}
void CairoDeviceContext::Ellipse(const Rect&, ColorRef, ColorRef) {}
void CairoDeviceContext::DrawLine(int, int, int, int, int, ColorRef) {}
ColorRef CairoDeviceContext::PixelAt(int, int) const {
  return 0;
}
const std::uint32_t* CairoDeviceContext::Pixels() const {
  return nullptr;
}
int CairoDeviceContext::StrideBytes() const {
  return 0;
}
bool CairoDeviceContext::WritePng(const std::string&) const {
  return false;
}
int CairoDeviceContext::CachedFaceCount() const {
  return 0;
}

struct Window::Impl {};
Window::Window() = default;
Window::~Window() = default;
std::unique_ptr<Window> Window::Open(const std::string&, int, int, std::string* error) {
  if (error) *error = "no window support yet";
  return nullptr;
}
void Window::PollEvents(int, std::vector<WindowEvent>&) {}
int Window::ClientWidth() const {
  return 0;
}
int Window::ClientHeight() const {
  return 0;
}
void Window::Present(const CairoDeviceContext&) {}
void Window::SetTextInputArea(const Rect&) {}
void Window::RunModalReport(CairoDeviceContext&, const std::string&,
                            const std::vector<std::string>&) {}
