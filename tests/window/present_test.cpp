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

// Xlib last: its macros (None, Status, Bool...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Status
#undef Bool

namespace {

using namespace std::chrono_literals;

int Reap(pid_t pid, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(20ms);
  }
  return -1;
}

pid_t Start(const std::vector<std::string>& argv, const std::string& display, const char* present) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    if (present != nullptr) setenv("WENLOTKA_PRESENT", present, 1);
    if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    if (freopen("/dev/null", "w", stderr) == nullptr) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

struct Session {
  std::string display;
  pid_t server = -1;
  pid_t game = -1;
  Display* dpy = nullptr;
  std::string window;
  std::string why;

  explicit Session(const char* present) {
    if (std::system("command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0) {
      why = "Xvfb or xdotool is not installed";
      return;
    }
    for (int n = 250 + getpid() % 50; n < 400 && dpy == nullptr; ++n) {
      struct stat st;
      std::string sock = "/tmp/.X11-unix/X" + std::to_string(n);
      if (stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) == 0 ||
          stat(sock.c_str(), &st) == 0)
        continue;
      display = ":" + std::to_string(n);
      server =
          Start({"Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, "", nullptr);
      for (int i = 0; i < 100 && stat(sock.c_str(), &st) != 0; ++i)
        std::this_thread::sleep_for(50ms);
      dpy = XOpenDisplay(display.c_str());
      if (dpy == nullptr) {
        kill(server, SIGTERM);
        Reap(server, 2000ms);
        server = -1;
      }
    }
    if (dpy == nullptr) {
      why = "no X server could be started";
      return;
    }
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    game = Start({WENLOTKA_BINARY, "--size", "642x402"}, display, present);
    for (int i = 0; i < 100 && window.empty(); ++i) {
      std::string found = XDo("search --name '^WENLOTKA$'");
      if (!found.empty())
        window = found.substr(0, found.find('\n'));
      else
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(300ms);
  }
  ~Session() {
    if (game > 0 && Reap(game, 10ms) == -1) {
      kill(game, SIGKILL);
      Reap(game, 2000ms);
    }
    if (dpy != nullptr) XCloseDisplay(dpy);
    if (server > 0) {
      kill(server, SIGTERM);
      Reap(server, 3000ms);
    }
  }
  std::string XDo(const std::string& args) const {
    std::string out;
    if (FILE* p =
            popen(("DISPLAY=" + display + " xdotool " + args + " 2>/dev/null").c_str(), "r")) {
      char buf[256];
      while (fgets(buf, sizeof buf, p)) out += buf;
      pclose(p);
    }
    return out;
  }
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
  EXPECT_EQ(Reap(s.game, 10000ms), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, Presenting, ::testing::Values(nullptr, "renderer"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param ? "Renderer" : "WindowSurface");
                         });

}  // namespace
