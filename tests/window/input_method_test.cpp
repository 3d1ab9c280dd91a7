// A Japanese learner's setting: a JIS keyboard map and a real input method
// (ibus with anthy on a private session bus), on in romaji mode, on in kana
// mode, and off. Whatever the mode, each physical key press must count at
// once, with no Enter, no error, and no window of the input method over the
// game. Skips, saying why, where ibus or anthy is not installed.
#include <gtest/gtest.h>

#include <sstream>

#include "support/test_support.h"
#include "window/real_window.h"

namespace {

using namespace realwindow;

bool Executable(const char* path) {
  return access(path, X_OK) == 0;
}

// The home-row caps of the 642 x 402 practice screen, A to L: centre x, and
// the row's centre y.
constexpr int HomeRowX[] = {80, 128, 176, 224, 272, 320, 368, 416, 464};
constexpr int HomeRowY = 217;
// The JIS (and PC) keycodes of A, S, D, F, G, H, J, K, L; Space; the 1 key.
constexpr int HomeRowKeycode[] = {38, 39, 40, 41, 42, 43, 44, 45, 46};
constexpr int SpaceKeycode = 65;
constexpr int OneKeycode = 10;

class InputMethod : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool :
         {"/usr/bin/ibus-daemon", "/usr/bin/ibus", "/usr/libexec/ibus-engine-anthy",
          "/usr/bin/dbus-daemon", "/usr/bin/setxkbmap", "/usr/bin/gsettings"}) {
      if (!Executable(tool))
        GTEST_SKIP() << "input-method test skipped: " << tool << " is not installed";
    }
    if (!x.Up()) GTEST_SKIP() << "input-method test skipped: " << x.Why();
    // A Japanese 106/109-key keyboard.
    ASSERT_EQ(Run("setxkbmap -model jp106 -layout jp"), 0);
    mkdir("home", 0700);
    const std::string home = dir.Path() + "/home";
    const std::string bus = "unix:path=" + dir.Path() + "/bus";
    env_ = {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
            "XDG_CACHE_HOME=" + home + "/.cache", "XDG_RUNTIME_DIR=" + home,
            "DBUS_SESSION_BUS_ADDRESS=" + bus,
            // The engine is a Python program that needs the system's own
            // Python with its GObject bindings.
            "PATH=/usr/bin:/bin", "GSETTINGS_BACKEND=dconf", "NO_AT_BRIDGE=1", "GTK_A11Y=none",
            // The usual desktop setting: X programs reach ibus through XIM too.
            "XMODIFIERS=@im=ibus", "GTK_IM_MODULE=ibus", "QT_IM_MODULE=ibus"};
    busPid_ = Spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + bus},
                    x.Name(), "/dev/null", env_);
    struct stat st;
    for (int i = 0; i < 100 && stat("bus", &st) != 0; ++i) std::this_thread::sleep_for(50ms);
    // With its own panel, which draws the candidate and suggestion windows.
    imPid_ = Spawn({"ibus-daemon", "--replace", "--xim"}, x.Name(), "ibus.log", env_);
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
      up = Run("ibus engine xkb:jp::jpn") == 0;
      if (!up) std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(up) << "ibus did not start:\n" << dir.ReadFile("ibus.log");
  }
  void TearDown() override {
    for (pid_t p : {imPid_, busPid_}) {
      if (p > 0) {
        kill(p, SIGTERM);
        if (WaitFor(p, 3000ms) == -1) kill(p, SIGKILL), WaitFor(p, 1000ms);
      }
    }
  }

  // Runs a shell command in the input method's session.
  int Run(const std::string& command) {
    std::string line = "env DISPLAY=" + x.Name();
    for (const std::string& e : env_) line += " '" + e + "'";
    line += " sh -c \"" + command + "\" >>im-commands.log 2>&1";
    return std::system(line.c_str());
  }

  // Anthy in hiragana input, typing by romaji (0) or by kana (1).
  void AnthyOn(int typingMethod) {
    ASSERT_EQ(Run("gsettings set org.freedesktop.ibus.engine.anthy.common typing-method " +
                  std::to_string(typingMethod)),
              0);
    ASSERT_EQ(Run("gsettings set org.freedesktop.ibus.engine.anthy.common input-mode 0"), 0);
    // The engine's first start can take longer than ibus waits for it.
    bool on = false;
    for (int i = 0; i < 40 && !on; ++i) {
      Run("ibus engine anthy");
      on = Run("ibus engine | grep -qx anthy") == 0;
      if (!on) std::this_thread::sleep_for(250ms);
    }
    ASSERT_TRUE(on) << "ibus could not switch anthy on";
  }

  std::vector<std::string> env_;
  ScratchDir dir;
  XServer x;
  pid_t busPid_ = -1;
  pid_t imPid_ = -1;
};

// A physical key press and release of `keycode`, to the focused window.
void Press(const XServer& x, int keycode) {
  x.XDo("key " + std::to_string(keycode));
}

// Which home-row cap (0..8) is black (the mole), -1 for none; `red` tells
// whether any home-row cap shows an error.
int Mole(WindowGame& game, bool* red) {
  int w = 0, h = 0;
  std::vector<ColorRef> pixels = game.Capture(&w, &h);
  *red = false;
  int mole = -1;
  if (w != 642 || h != 402) return -1;
  for (int cap = 0; cap < 9; ++cap) {
    int black = 0, reds = 0, all = 0;
    for (int y = HomeRowY - 14; y <= HomeRowY + 14; y += 2) {
      for (int xx = HomeRowX[cap] - 14; xx <= HomeRowX[cap] + 14; xx += 2) {
        ColorRef c = pixels[y * w + xx];
        black += c == 0x000000;
        reds += c == 0x0000FF;  // the palette's red, as a COLORREF
        ++all;
      }
    }
    if (black * 2 > all) mole = cap;
    if (reds * 3 > all) *red = true;
  }
  return mole;
}

// Waits up to `limit` for the mole to be somewhere other than `old`.
int NextMole(WindowGame& game, int old, std::chrono::milliseconds limit, bool* red) {
  auto end = std::chrono::steady_clock::now() + limit;
  int mole = Mole(game, red);
  while ((mole == old || mole < 0) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(15ms);
    mole = Mole(game, red);
  }
  return mole;
}

// Any mapped top-level window other than the game's that covers part of it.
std::string WindowOverTheGame(const XServer& x, const WindowGame& game) {
  Display* d = x.Dpy();
  ::Window gameWindow = static_cast<::Window>(std::stoul(game.window));
  XWindowAttributes ga;
  if (!XGetWindowAttributes(d, gameWindow, &ga)) return "the game's window is gone";
  int gx = 0, gy = 0;
  ::Window child;
  XTranslateCoordinates(d, gameWindow, DefaultRootWindow(d), 0, 0, &gx, &gy, &child);
  ::Window root, parent, *children = nullptr;
  unsigned count = 0;
  std::string found;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return "";
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (children[i] == gameWindow || !XGetWindowAttributes(d, children[i], &a)) continue;
    if (a.map_state != IsViewable) continue;
    bool overlaps =
        a.x < gx + ga.width && gx < a.x + a.width && a.y < gy + ga.height && gy < a.y + a.height;
    if (overlaps) {
      char* name = nullptr;
      XFetchName(d, children[i], &name);
      found += "window 0x" + (std::stringstream() << std::hex << children[i]).str() + " '" +
               (name ? name : "") + "' at " + std::to_string(a.x) + "," + std::to_string(a.y) +
               " " + std::to_string(a.width) + "x" + std::to_string(a.height) + "\n";
      if (name) XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

// Chooses Beginner's Home Row from the title with the keys alone and types
// the whole run, one physical key press per target, checking that each key
// counts at once; then leaves by the menus. Returns what went wrong.
std::string PlayAWholeRun(const XServer& x, WindowGame& game) {
  if (game.window.empty()) return "no window named WENLOTKA appeared";
  x.XDo("windowfocus --sync " + game.window);
  std::this_thread::sleep_for(300ms);
  bool red = false;
  Press(x, SpaceKeycode);  // leave the title
  std::this_thread::sleep_for(150ms);
  Press(x, OneKeycode);  // Digdash Beginner's
  std::this_thread::sleep_for(150ms);
  Press(x, OneKeycode);  // Home Row
  int mole = NextMole(game, -1, 1500ms, &red);
  if (mole < 0) return "the keys 1 1 did not start Beginner's Home Row";
  std::string problems;
  for (int key = 1; key <= 60; ++key) {
    Press(x, HomeRowKeycode[mole]);
    if (key == 30) problems += WindowOverTheGame(x, game);
    if (key == 60) break;
    int next = NextMole(game, mole, 2000ms, &red);
    if (red) return problems + "key " + std::to_string(key) + " counted as an error";
    if (next < 0 || next == mole) {
      return problems + "key " + std::to_string(key) + " (\"" + "ASDFGHJKL"[mole] +
             "\") did not count when it was pressed";
    }
    mole = next;
  }
  std::this_thread::sleep_for(300ms);
  Mole(game, &red);
  if (red) problems += "the last key counted as an error\n";
  // What opens an input method's candidate window over the keyboard field:
  // "kaki" and Space to convert, Space twice more for the list. The run is
  // over, so the keys change nothing in the game.
  x.XDo("key --delay 60 45 38 45 43 65 65 65");
  std::this_thread::sleep_for(700ms);
  problems += WindowOverTheGame(x, game);
  x.XDo("key Escape");  // the run is over: back to the level menu
  std::this_thread::sleep_for(150ms);
  x.XDo("key 16");  // 7: back to the main menu
  std::this_thread::sleep_for(150ms);
  x.XDo("key 14");  // 5: Exit
  if (WaitFor(game.pid, 5000ms) != 0) problems += "Exit did not end the program\n";
  return problems;
}

// The speed log holds one line per record: one line per completed first run.
int SpeedLogLines(const ScratchDir& dir) {
  int n = 0;
  for (char c : dir.ReadFile("wenlotka.spd")) n += c == '\n';
  return n;
}

TEST_F(InputMethod, EachKeyCountsWhenPressedInRomajiMode) {
  AnthyOn(0);
  WindowGame game(x, "642x402", env_);
  EXPECT_EQ(PlayAWholeRun(x, game), "");
  EXPECT_EQ(SpeedLogLines(dir), 1) << "the run was completed and its record kept";
}

TEST_F(InputMethod, EachKeyCountsWhenPressedInKanaMode) {
  AnthyOn(1);
  WindowGame game(x, "642x402", env_);
  EXPECT_EQ(PlayAWholeRun(x, game), "");
  EXPECT_EQ(SpeedLogLines(dir), 1);
}

TEST_F(InputMethod, EachKeyCountsWhenPressedWithTheEngineOff) {
  ASSERT_EQ(Run("ibus engine xkb:jp::jpn"), 0);
  WindowGame game(x, "642x402", env_);
  EXPECT_EQ(PlayAWholeRun(x, game), "");
  EXPECT_EQ(SpeedLogLines(dir), 1);
}

}  // namespace
