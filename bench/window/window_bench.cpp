// The real window measured from outside, as a user meets it: start-up to the
// first frame, CPU used while idle on the title and on the practice screen,
// key press to changed pixels on the X server, and peak memory.
//
// Starts its own Xvfb, starts wenlotka in it at 1282x802, sends keys through
// XTest and watches the window's pixels with XGetImage. Prints one line per
// figure. Not run by CI: the figures depend on the machine.
//
//   wenlotka_window_bench [--binary PATH] [--keys N] [--idle-seconds S] [--starts N]
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// Xlib last: its macros would break the standard headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double MsSince(SteadyClock::time_point t0) {
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - t0).count();
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& display) {
  pid_t pid = fork();
  if (pid == 0) {
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
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

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(10ms);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// CPU seconds (user + system, all threads) of a live process.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t close = all.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(all.substr(close + 2));
  std::string f;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::atoll(f.c_str());
    if (i == 15) stime = std::atoll(f.c_str());
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long StatusKb(pid_t pid, const char* field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  }
  return -1;
}

struct XServer {
  std::string name;
  pid_t pid = -1;
  Display* dpy = nullptr;

  bool Start() {
    for (int n = 150 + getpid() % 50; n < 250; ++n) {
      struct stat st;
      std::string sock = "/tmp/.X11-unix/X" + std::to_string(n);
      if (stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) == 0 ||
          stat(sock.c_str(), &st) == 0)
        continue;
      name = ":" + std::to_string(n);
      pid = Spawn({"Xvfb", name, "-screen", "0", "1920x1200x24", "-nolisten", "tcp"}, "");
      for (int i = 0; i < 200 && stat(sock.c_str(), &st) != 0; ++i)
        std::this_thread::sleep_for(25ms);
      dpy = XOpenDisplay(name.c_str());
      if (dpy != nullptr) {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        return true;
      }
      Stop(pid);
      pid = -1;
    }
    return false;
  }
  ~XServer() {
    if (dpy != nullptr) XCloseDisplay(dpy);
    Stop(pid);
  }
};

std::optional<::Window> FindWindow(Display* dpy, ::Window parent, const char* title) {
  ::Window root = 0, up = 0;
  ::Window* children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(dpy, parent, &root, &up, &children, &n)) return std::nullopt;
  std::optional<::Window> found;
  for (unsigned int i = 0; i < n && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(dpy, children[i], &name) && name != nullptr) {
      if (std::strcmp(name, title) == 0) found = children[i];
      XFree(name);
    }
    if (!found) found = FindWindow(dpy, children[i], title);
  }
  if (children != nullptr) XFree(children);
  return found;
}

unsigned long PixelAt(Display* dpy, ::Window w, int x, int y) {
  XImage* image = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0xFFFFFFFFul;
  unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return p;
}

std::vector<unsigned long> Capture(Display* dpy, ::Window w, int width, int height) {
  std::vector<unsigned long> pixels;
  XImage* image = XGetImage(dpy, w, 0, 0, width, height, AllPlanes, ZPixmap);
  if (image == nullptr) return pixels;
  pixels.reserve(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
  XDestroyImage(image);
  return pixels;
}

void Key(Display* dpy, KeySym sym) {
  KeyCode code = XKeysymToKeycode(dpy, sym);
  XTestFakeKeyEvent(dpy, code, True, 0);
  XTestFakeKeyEvent(dpy, code, False, 0);
  XFlush(dpy);
}

struct Game {
  pid_t pid = -1;
  ::Window window = 0;
  double firstFrameMs = -1;

  // Starts the game and waits for its first frame: the window's top-left
  // margin pixel turns from the unpainted black to the game's white.
  bool Start(XServer& x, const std::string& binary, const std::string& dir) {
    auto t0 = SteadyClock::now();
    pid_t child = fork();
    if (child == 0) {
      if (chdir(dir.c_str()) != 0) _exit(126);
      setenv("DISPLAY", x.name.c_str(), 1);
      setenv("SDL_VIDEODRIVER", "x11", 1);
      setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
      if (freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
      execl(binary.c_str(), "wenlotka", "--size", "1282x802", "--data-dir", ".",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    pid = child;
    while (MsSince(t0) < 10000) {
      if (window == 0) {
        if (auto w = FindWindow(x.dpy, DefaultRootWindow(x.dpy), "WENLOTKA")) window = *w;
      }
      if (window != 0) {
        const unsigned long p = PixelAt(x.dpy, window, 0, 0);
        if (p == 0xFFFFFF) {
          firstFrameMs = MsSince(t0);
          return true;
        }
        // SDL may replace its first window by one with another visual.
        if (p == 0xFFFFFFFFul) window = 0;
      }
      std::this_thread::sleep_for(200us);
    }
    return false;
  }
  ~Game() { Stop(pid); }
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);  // no doubled output from the forked children
  std::string binary = WENLOTKA_BINARY;
  int keys = 200;
  int idleSeconds = 20;
  int starts = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--binary")
      binary = argv[i + 1];
    else if (a == "--keys")
      keys = std::atoi(argv[i + 1]);
    else if (a == "--idle-seconds")
      idleSeconds = std::atoi(argv[i + 1]);
    else if (a == "--starts")
      starts = std::atoi(argv[i + 1]);
  }
  XServer x;
  if (!x.Start()) {
    std::fprintf(stderr, "no Xvfb could be started\n");
    return 1;
  }
  int base = 0;
  if (!XTestQueryExtension(x.dpy, &base, &base, &base, &base)) {
    std::fprintf(stderr, "the X server has no XTest\n");
    return 1;
  }
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("wenlotka-window-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);

  // Start-up; the first start warms the font cache and is not counted.
  std::vector<double> startUps;
  for (int i = 0; i <= starts; ++i) {
    Game g;
    if (!g.Start(x, binary, dir)) {
      std::fprintf(stderr, "the window showed no frame within 10 s\n");
      return 1;
    }
    if (i > 0) startUps.push_back(g.firstFrameMs);
  }
  std::printf("start-up to first frame: median %.1f ms, max %.1f ms over %d starts\n",
              Median(startUps), *std::max_element(startUps.begin(), startUps.end()), starts);

  Game g;
  if (!g.Start(x, binary, dir)) return 1;
  XSetInputFocus(x.dpy, g.window, RevertToParent, CurrentTime);
  XSync(x.dpy, False);
  std::this_thread::sleep_for(500ms);

  auto idle = [&](const char* what) {
    double c0 = CpuSeconds(g.pid);
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    std::printf("idle CPU on the %s: %.2f s in %d s\n", what, CpuSeconds(g.pid) - c0, idleSeconds);
  };
  idle("title");
  // Main menu, Beginner's, Home Row: a run waiting for its first key.
  Key(x.dpy, XK_space);
  std::this_thread::sleep_for(300ms);
  Key(x.dpy, XK_1);
  std::this_thread::sleep_for(300ms);
  Key(x.dpy, XK_1);
  std::this_thread::sleep_for(500ms);
  idle("practice screen");

  // Q and P are no targets of Home Row, so each is a miss and its cap turns
  // red while the other's returns to rest. Each cap's probe pixel is one that
  // is red after its own key and not after the other.
  XWindowAttributes attrs;
  XGetWindowAttributes(x.dpy, g.window, &attrs);
  const int w = attrs.width, h = attrs.height;
  Key(x.dpy, XK_p);
  std::this_thread::sleep_for(300ms);
  std::vector<unsigned long> afterP = Capture(x.dpy, g.window, w, h);
  Key(x.dpy, XK_q);
  std::this_thread::sleep_for(300ms);
  std::vector<unsigned long> afterQ = Capture(x.dpy, g.window, w, h);
  auto probe = [&](const std::vector<unsigned long>& mine,
                   const std::vector<unsigned long>& other) {
    std::vector<size_t> red;
    for (size_t i = 0; i < mine.size() && i < other.size(); ++i)
      if (mine[i] == 0xFF0000 && other[i] != 0xFF0000) red.push_back(i);
    return red.empty() ? std::optional<size_t>() : std::optional<size_t>(red[red.size() / 2]);
  };
  std::optional<size_t> probeQ = probe(afterQ, afterP);
  std::optional<size_t> probeP = probe(afterP, afterQ);
  if (!probeQ || !probeP) {
    std::fprintf(stderr, "no key cap turned red on a miss\n");
    return 1;
  }
  std::vector<double> latencies;
  int lost = 0;
  for (int i = 0; i < keys; ++i) {
    const bool p = i % 2 == 0;
    const size_t at = p ? *probeP : *probeQ;
    const int px = static_cast<int>(at % static_cast<size_t>(w));
    const int py = static_cast<int>(at / static_cast<size_t>(w));
    auto t0 = SteadyClock::now();
    Key(x.dpy, p ? XK_p : XK_q);
    bool seen = false;
    while (MsSince(t0) < 500) {
      if (PixelAt(x.dpy, g.window, px, py) == 0xFF0000) {
        seen = true;
        break;
      }
    }
    if (seen)
      latencies.push_back(MsSince(t0));
    else
      ++lost;
    std::this_thread::sleep_for(15ms);
  }
  std::sort(latencies.begin(), latencies.end());
  auto percentile = [&](double p) {
    return latencies.empty() ? 0.0 : latencies[static_cast<size_t>(p * (latencies.size() - 1))];
  };
  std::printf(
      "key to pixels: median %.2f ms, 90%% %.2f ms, 99%% %.2f ms, max %.2f ms over %zu keys (%d "
      "not seen)\n",
      percentile(0.5), percentile(0.9), percentile(0.99), percentile(1.0), latencies.size(), lost);
  std::printf("peak memory (VmHWM): %.1f MB\n", StatusKb(g.pid, "VmHWM:") / 1024.0);
  Stop(g.pid);
  g.pid = -1;
  std::filesystem::remove_all(dir);
  return 0;
}
