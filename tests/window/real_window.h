// A real X server (Xvfb) and the real program in a window on it, driven with
// real key events through xdotool; shared by the real-window tests.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/shell.h"
#include "platform/types.h"
#include "support/test_support.h"

// Xlib last: its macros (None, Status, Bool...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Status
#undef Bool

namespace realwindow {

using namespace std::chrono_literals;

inline bool OnPath(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts `argv` with the display and quiet defaults; `env` ("NAME=value")
// is set last, over them.
inline pid_t Spawn(const std::vector<std::string>& argv, const std::string& display,
                   const char* out, const std::vector<std::string>& env = {}) {
  pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    for (const std::string& e : env) {
      size_t eq = e.find('=');
      if (eq != std::string::npos) setenv(e.substr(0, eq).c_str(), e.c_str() + eq + 1, 1);
    }
    // Never hold the test's own output open: a runner waiting for it to close
    // would hang on a child that outlived a failed test.
    if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    if (out != nullptr && freopen(out, "w", stderr) == nullptr) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// Waits for the child to end; returns its exit status, or -1 after `limit`.
inline int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(20ms);
  }
  return -1;
}

class XServer {
 public:
  XServer() {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) {
      why_ = "Xvfb or xdotool is not installed";
      return;
    }
    // Xvfb picks a free display itself and tells which: choosing one here
    // would race other test programs (of this or any checkout) doing the same.
    int ready[2];
    if (pipe(ready) != 0) {
      why_ = "no pipe for Xvfb";
      return;
    }
    pid_ = Spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1920x1200x24",
                  "-nolisten", "tcp"},
                 "", "/dev/null");
    close(ready[1]);
    std::string number;
    pollfd p{ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 10000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (!number.empty()) {
      display_ = ":" + number;
      dpy_ = XOpenDisplay(display_.c_str());
    }
    if (dpy_ != nullptr) {
      // A failed request (a window that went away, say) fails the test that
      // made it instead of ending the whole test program.
      XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
      return;
    }
    why_ = "no X server could be started";
  }
  ~XServer() {
    if (dpy_ != nullptr) XCloseDisplay(dpy_);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      WaitFor(pid_, 3000ms);
    }
  }
  bool Up() const { return dpy_ != nullptr; }
  // Kills the X server at once, as a crash would; this side lets go first.
  void KillServer() {
    if (dpy_ != nullptr) XCloseDisplay(dpy_);
    dpy_ = nullptr;
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      WaitFor(pid_, 3000ms);
      pid_ = -1;
    }
  }
  const std::string& Why() const { return why_; }
  const std::string& Name() const { return display_; }
  Display* Dpy() const { return dpy_; }

  // Runs xdotool against this server; returns its standard output.
  std::string XDo(const std::string& args) const {
    std::string cmd = "DISPLAY=" + display_ + " xdotool " + args + " 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
      char buf[256];
      while (fgets(buf, sizeof buf, p)) out += buf;
      pclose(p);
    }
    return out;
  }

 private:
  std::string display_, why_;
  pid_t pid_ = -1;
  Display* dpy_ = nullptr;
};

struct WindowGame {
  // `args` follow the size on the command line. The game keeps its files in
  // the working directory unless `dataFolderHere` is false: it then takes its
  // default, the XDG data folder, which `env` must point somewhere harmless.
  WindowGame(const XServer& x, const std::string& size, const std::vector<std::string>& env = {},
             const std::vector<std::string>& args = {}, bool dataFolderHere = true)
      : x(x) {
    std::vector<std::string> argv = {WENLOTKA_BINARY, "--size", size};
    if (dataFolderHere) argv.insert(argv.end(), {"--data-dir", "."});
    argv.insert(argv.end(), args.begin(), args.end());
    pid = Spawn(argv, x.Name(), "wenlotka.stderr", env);
    for (int i = 0; i < 100 && window.empty(); ++i) {
      std::string found = x.XDo("search --name '^WENLOTKA$'");
      if (!found.empty())
        window = found.substr(0, found.find('\n'));
      else
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(300ms);  // first frame
  }
  ~WindowGame() {
    if (pid > 0 && WaitFor(pid, 10ms) == -1) {
      kill(pid, SIGKILL);
      WaitFor(pid, 2000ms);
    }
  }
  void Keys(const std::string& keys) {
    x.XDo("key --window " + window + " --delay 20 " + keys);
    std::this_thread::sleep_for(150ms);
  }
  void Type(const std::string& text) {
    x.XDo("type --window " + window + " --delay 8 '" + text + "'");
    std::this_thread::sleep_for(150ms);
  }
  // Asks the window to close, as a window manager's close box does.
  void Close() {
    Display* d = x.Dpy();
    Window w = static_cast<Window>(std::stoul(window));
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
  }
  // The window's pixels as the game's colour values, row after row.
  std::vector<ColorRef> Capture(int* width = nullptr, int* height = nullptr) {
    Window w = static_cast<Window>(std::stoul(window));
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(x.Dpy(), w, &attrs)) return {};
    XImage* image = XGetImage(x.Dpy(), w, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    std::vector<ColorRef> pixels;
    for (int y = 0; y < attrs.height; ++y) {
      for (int xx = 0; xx < attrs.width; ++xx) {
        unsigned long p = XGetPixel(image, xx, y);
        pixels.push_back(MakeColorRef((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      }
    }
    XDestroyImage(image);
    if (width) *width = attrs.width;
    if (height) *height = attrs.height;
    return pixels;
  }
  std::string Caption() { return x.XDo("getwindowname " + window); }

  const XServer& x;
  pid_t pid = -1;
  std::string window;
};

// The same game drawn headless at the given size after the given keys.
inline std::unique_ptr<CairoDeviceContext> Headless(int w, int h, const std::string& keys) {
  auto surface = std::make_unique<CairoDeviceContext>(w, h);
  VirtualClock clock{TimeStamp{1'000'000'000, 0}};
  GameGlobals g;
  ScratchDir elsewhere;  // keep this run's files apart from the window's
  Shell shell(g, *surface, clock, nullptr);
  shell.Start();
  shell.OnPaint();
  for (char c : keys) shell.OnChar(static_cast<unsigned char>(c));
  return surface;
}

// Sampled pixels of the window between rows `top` and `bottom` that differ
// from `ref` (whole window when bottom is 0).
inline int Differing(WindowGame& game, const CairoDeviceContext& ref, int top = 0, int bottom = 0) {
  int w = 0, h = 0;
  std::vector<ColorRef> live = game.Capture(&w, &h);
  if (w != ref.Width() || h != ref.Height()) return -1;
  if (bottom == 0) bottom = h;
  int differing = 0;
  for (int y = top; y < bottom; y += 3)
    for (int xx = 0; xx < w; xx += 5) differing += live[y * w + xx] != ref.PixelAt(xx, y);
  return differing;
}

}  // namespace realwindow
