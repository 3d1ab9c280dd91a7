// The keyboard layout of a real X server under Xvfb: recognised at start, and
// a whole run typed on a French keyboard with physical key presses. Skips,
// saying why, where Xvfb, xdotool or setxkbmap is missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "textscreen/textscreen.h"

// Xlib last: its macros (None, Status, Bool...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Status
#undef Bool

namespace {

using namespace std::chrono_literals;

bool OnPath(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& display, const char* err) {
  pid_t pid = fork();
  if (pid == 0) {
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
    if (freopen(err, "w", stderr) == nullptr) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

int CountLinesOf(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    std::this_thread::sleep_for(20ms);
  }
  return -1;
}

// An X server of our own. The connection it holds keeps the server from
// resetting, which would throw away a keyboard map set with setxkbmap.
class XServer {
 public:
  XServer() {
    if (!OnPath("Xvfb") || !OnPath("xdotool") || !OnPath("setxkbmap")) {
      why_ = "Xvfb, xdotool or setxkbmap is not installed";
      return;
    }
    for (int n = 150 + getpid() % 40; n < 260; ++n) {
      struct stat st;
      std::string sock = "/tmp/.X11-unix/X" + std::to_string(n);
      if (stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) == 0 ||
          stat(sock.c_str(), &st) == 0)
        continue;
      display_ = ":" + std::to_string(n);
      pid_ = Spawn({"Xvfb", display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, "",
                   "/dev/null");
      for (int i = 0; i < 100 && stat(sock.c_str(), &st) != 0; ++i)
        std::this_thread::sleep_for(50ms);
      dpy_ = XOpenDisplay(display_.c_str());
      if (dpy_ != nullptr) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        return;
      }
      kill(pid_, SIGTERM);
      WaitFor(pid_, 2000ms);
      pid_ = -1;
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
  const std::string& Why() const { return why_; }
  const std::string& Name() const { return display_; }
  Display* Dpy() const { return dpy_; }
  bool SetKeyboard(const std::string& args) const {
    return std::system(("DISPLAY=" + display_ + " setxkbmap " + args + " 2>/dev/null").c_str()) ==
           0;
  }
  std::string XDo(const std::string& args) const {
    std::string out;
    if (FILE* p =
            popen(("DISPLAY=" + display_ + " xdotool " + args + " 2>/dev/null").c_str(), "r")) {
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

struct Game {
  Game(const XServer& x, const std::vector<std::string>& extra) : x(x) {
    std::vector<std::string> argv = {WENLOTKA_BINARY, "--size", "642x402"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    pid = Spawn(argv, x.Name(), "wenlotka.stderr");
    for (int i = 0; i < 100 && window.empty(); ++i) {
      std::string found = x.XDo("search --name '^WENLOTKA$'");
      if (!found.empty())
        window = found.substr(0, found.find('\n'));
      else
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(300ms);
  }
  ~Game() {
    if (pid > 0 && WaitFor(pid, 10ms) == -1) {
      kill(pid, SIGKILL);
      WaitFor(pid, 2000ms);
    }
  }
  // Keys by keysym name, or by keycode when given a number.
  void Keys(const std::string& keys) {
    x.XDo("key --window " + window + " --delay 20 " + keys);
    std::this_thread::sleep_for(150ms);
  }
  void Type(const std::string& text) {
    x.XDo("type --window " + window + " --delay 8 '" + text + "'");
    std::this_thread::sleep_for(150ms);
  }
  // Asks the window to close, as a window manager's close box does: the
  // program ends through its exit sequence, which saves the files.
  void Close() {
    Display* d = x.Dpy();
    ::Window w = static_cast<::Window>(std::stoul(window));
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
  std::vector<ColorRef> Capture() {
    ::Window w = static_cast<::Window>(std::stoul(window));
    XImage* image = XGetImage(x.Dpy(), w, 0, 0, 642, 402, AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    std::vector<ColorRef> pixels;
    for (int y = 0; y < 402; ++y) {
      for (int xx = 0; xx < 642; ++xx) {
        unsigned long p = XGetPixel(image, xx, y);
        pixels.push_back(MakeColorRef((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      }
    }
    XDestroyImage(image);
    return pixels;
  }
  const XServer& x;
  pid_t pid = -1;
  std::string window;
};

class LayoutWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x.Up()) GTEST_SKIP() << "real-window layout tests skipped: " << x.Why();
    g.ClientRect = Rect{0, 0, 642, 402};
  }
  // The pixel of a logical position in a 642 x 402 capture.
  ColorRef At(const std::vector<ColorRef>& pixels, int y, int x) const {
    return pixels[ToDeviceY(g, y) * 642 + ToDeviceX(g, x)];
  }
  ScratchDir dir;
  XServer x;
  GameGlobals g;  // for the logical-to-device mapping only
};

TEST_F(LayoutWindow, TheLayoutIsRecognisedAtStartAndKeepsItsOwnRecords) {
  const struct {
    const char* keyboard;
    std::vector<std::string> args;
    const char* recordFile;
    bool notice;
  } cases[] = {
      {"de", {}, "wenlotka-qwertz.rec", false},
      {"-layout us -variant dvorak", {}, "wenlotka-dvorak.rec", false},
      {"us", {}, "wenlotka.rec", false},
      {"-layout us -variant colemak", {}, "wenlotka-colemak.rec", false},
      {"ru", {}, "wenlotka.rec", true},
      {"fr", {"--layout", "dvorak"}, "wenlotka-dvorak.rec", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keyboard);
    ScratchDir each;
    ASSERT_TRUE(x.SetKeyboard(c.keyboard));
    Game game(x, c.args);
    ASSERT_FALSE(game.window.empty());
    game.Close();
    EXPECT_EQ(WaitFor(game.pid, 20000ms), 0) << each.ReadFile("wenlotka.stderr");
    EXPECT_EQ(CountLinesOf(each.ReadFile(c.recordFile)), 22);
    const std::string err = each.ReadFile("wenlotka.stderr");
    if (c.notice) {
      EXPECT_EQ(err,
                "wenlotka: the keyboard layout is none of qwerty, azerty, qwertz, dvorak, "
                "colemak; using qwerty (choose one with --layout NAME)\n");
    } else {
      EXPECT_EQ(err, "");
    }
  }
}

TEST_F(LayoutWindow, AHomeRowRunOnAFrenchKeyboardTypedByKeyPositionHasNoError) {
  ASSERT_TRUE(x.SetKeyboard("fr"));
  Game game(x, {});
  ASSERT_FALSE(game.window.empty());
  game.Keys("space");
  game.Type("11");  // Beginner's, Home Row: the mole shows each target at once

  // The home row's caps, left to right, are the keys with keycodes 38 to 47
  // (the A to semicolon keys of a US keyboard); the black one is the mole.
  auto mole = [&](const std::vector<ColorRef>& pixels) {
    for (int column = 1; column <= 10; ++column) {
      if (At(pixels, 192 + 12, 64 + 48 * (column - 1) + 3) == ColorBlack) return column;
    }
    return 0;
  };
  int column = 0;
  for (int i = 0; i < 100 && column == 0; ++i) {
    column = mole(game.Capture());
    if (column == 0) std::this_thread::sleep_for(20ms);
  }
  int typed = 0;
  while (column != 0 && typed < 60) {
    game.x.XDo("key --window " + game.window + " " + std::to_string(37 + column));
    ++typed;
    int next = column;
    for (int i = 0; i < 100 && next == column; ++i) {
      std::this_thread::sleep_for(20ms);
      next = mole(game.Capture());
    }
    column = next;
  }
  EXPECT_EQ(typed, 60);
  EXPECT_EQ(column, 0) << "after the 60th key no mole is left";
  // No miss: the error count line was never drawn.
  std::vector<ColorRef> pixels = game.Capture();
  int ink = 0;
  for (int y = 48; y < 64; ++y)
    for (int xx = 512; xx < 640; ++xx) ink += At(pixels, y, xx) != ColorWhite;
  EXPECT_EQ(ink, 0) << "an error count is shown";

  game.Keys("Escape");
  game.Type("7");
  game.Type("5");
  EXPECT_EQ(WaitFor(game.pid, 20000ms), 0) << dir.ReadFile("wenlotka.stderr");
  EXPECT_EQ(dir.ReadFile("wenlotka.stderr"), "");
  EXPECT_FALSE(dir.Exists("wenlotka.rec"));
  std::istringstream rec(dir.ReadFile("wenlotka-azerty.rec"));
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(rec, line);
  ASSERT_GE(line.size(), 41u) << "no record file for azerty";
  EXPECT_EQ(line.substr(0, 8), "Home_Row");
  EXPECT_NE(line.substr(34, 7), "      0") << "the run's best time was saved";
}

}  // namespace
