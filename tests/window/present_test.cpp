// The window shows exactly the frame the game drew, through both ways of
// presenting it: the plain window surface (the default) and the renderer that
// stands in where no window surface exists (WENLOTKA_PRESENT=renderer). Each
// event presents only what it drew, so a rectangle left out would show here
// as stale pixels.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/shell.h"
#include "support/test_support.h"
#include "window/real_window.h"

namespace {

using namespace std::chrono_literals;
using realwindow::Spawn;
using realwindow::WaitFor;
using realwindow::XServer;

struct Session {
  XServer x;
  pid_t game = -1;
  Display* dpy = nullptr;
  std::string window;
  std::string why;

  explicit Session(const char* present) {
    if (!x.Up()) {
      why = x.Why();
      return;
    }
    std::vector<std::string> env;
    if (present != nullptr) env.push_back(std::string("WENLOTKA_PRESENT=") + present);
    game = Spawn({WENLOTKA_BINARY, "--size", "642x402"}, x.Name(), "/dev/null", env);
    for (int i = 0; i < 100 && window.empty(); ++i) {
      std::string found = x.XDo("search --name '^WENLOTKA$'");
      if (!found.empty())
        window = found.substr(0, found.find('\n'));
      else
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(300ms);
    dpy = x.Dpy();
  }
  ~Session() {
    if (game > 0 && WaitFor(game, 10ms) == -1) {
      kill(game, SIGKILL);
      WaitFor(game, 2000ms);
    }
  }
  std::string XDo(const std::string& args) const { return x.XDo(args); }
  void Keys(const std::string& keys) {
    XDo("key --window " + window + " --delay 30 " + keys);
    std::this_thread::sleep_for(250ms);
  }
  // Pixels of the window that differ from `ref`, outside `skip`; -1 when the
  // window cannot be read or has another size.
  int Differing(const CairoDeviceContext& ref, Rect skip = {}) const {
    ::Window w = static_cast<::Window>(std::stoul(window));
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, w, &attrs) || attrs.width != ref.Width() ||
        attrs.height != ref.Height())
      return -1;
    XImage* image = XGetImage(dpy, w, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
    if (image == nullptr) return -1;
    int differing = 0;
    for (int y = 0; y < attrs.height; ++y) {
      for (int x = 0; x < attrs.width; ++x) {
        if (x >= skip.left && x < skip.right && y >= skip.top && y < skip.bottom) continue;
        unsigned long p = XGetPixel(image, x, y);
        differing += MakeColorRef((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) != ref.PixelAt(x, y);
      }
    }
    XDestroyImage(image);
    return differing;
  }
};

// The game drawn headless after `keys`, with `waitMs` of quiet first.
std::unique_ptr<CairoDeviceContext> Drawn(std::int64_t waitMs, const std::string& keys) {
  auto surface = std::make_unique<CairoDeviceContext>(642, 402);
  VirtualClock clock{TimeStamp{1'000'000'000, 0}};
  GameGlobals g;
  ScratchDir elsewhere;
  Shell shell(g, *surface, clock, nullptr);
  shell.Start();
  shell.OnPaint();
  shell.FireDueTimers(waitMs, &clock);
  for (char c : keys) shell.OnChar(static_cast<unsigned char>(c));
  return surface;
}

class Presenting : public ::testing::TestWithParam<const char*> {};

TEST_P(Presenting, TheWindowShowsEveryPixelOfPartlyRedrawnFrames) {
  ScratchDir dir;
  Session s(GetParam());
  if (s.dpy == nullptr) GTEST_SKIP() << "real-window test skipped: " << s.why;
  ASSERT_FALSE(s.window.empty()) << "no window named WENLOTKA appeared";

  // The banner's step redraws only the banner.
  std::this_thread::sleep_for(1300ms);
  EXPECT_EQ(s.Differing(*Drawn(1000, "")), 0) << "title after one banner step";

  // Standard Home Row shows no mole for 3 s, so after a miss all but the big
  // target glyph (a 48-pixel cell at device 258, 25) is the same whatever the target;
  // Q and P are never targets. A miss redraws a cap and the error count.
  const Rect target{240, 16, 320, 90};
  s.Keys("space 2 1 q");
  EXPECT_EQ(s.Differing(*Drawn(0, " 21q"), target), 0) << "after a miss";
  s.Keys("p");
  EXPECT_EQ(s.Differing(*Drawn(0, " 21qp"), target), 0) << "after a second miss";
  s.Keys("Escape Escape 7 5");
  EXPECT_EQ(WaitFor(s.game, 10000ms), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, Presenting, ::testing::Values(nullptr, "renderer"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param ? "Renderer" : "WindowSurface");
                         });

}  // namespace
