// The SDL window: drivers that show nothing are refused, and real keys under
// Xvfb (skipped without Xvfb or xdotool) become character messages.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cairo_dc.h"
#include "platform/window.h"

namespace {

using namespace std::chrono_literals;

TEST(Window, RefusesDriversThatShowNothing) {
  for (const char* driver : {"dummy", "offscreen"}) {
    setenv("SDL_VIDEODRIVER", driver, 1);
    std::string error;
    bool noDisplay = false;
    std::unique_ptr<Window> window = Window::Open("WENLOTKA", 642, 402, &error, &noDisplay);
    EXPECT_EQ(window, nullptr) << driver;
    EXPECT_TRUE(noDisplay) << driver;
    EXPECT_NE(error.find(driver), std::string::npos) << error;
  }
  unsetenv("SDL_VIDEODRIVER");
}

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// An X server of our own on a free display, stopped when the test ends.
struct XvfbServer {
  XvfbServer() {
    // Xvfb picks a free display itself and tells which: choosing one here
    // would race other test programs doing the same.
    int ready[2];
    if (pipe(ready) != 0) return;
    pid = Spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0",
                 "800x600x24", "-nolisten", "tcp"});
    close(ready[1]);
    std::string number;
    pollfd p{ready[0], POLLIN, 0};
    char c = 0;
    while (pid > 0 && poll(&p, 1, 10000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(ready[0]);
    if (!number.empty()) name = ":" + number;
  }
  ~XvfbServer() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
  }
  std::string name;
  pid_t pid = -1;
};

// The character messages the window gives for key presses sent to it.
class KeysUnderXvfb : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access("/usr/bin/Xvfb", X_OK) != 0 || access("/usr/bin/xdotool", X_OK) != 0)
      GTEST_SKIP() << "Xvfb or xdotool is not installed";
    if (server.name.empty()) GTEST_SKIP() << "Xvfb did not start";
    setenv("DISPLAY", server.name.c_str(), 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);  // no session bus left behind
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    unsetenv("SDL_VIDEODRIVER");
    std::string error;
    window = Window::Open("WENLOTKA", 320, 200, &error);
    ASSERT_NE(window, nullptr) << error;
    CairoDeviceContext surface(window->ClientWidth(), window->ClientHeight());
    window->Present(surface);
    std::vector<WindowEvent> events;
    for (int i = 0; i < 10; ++i) window->PollEvents(20, events);
  }
  void TearDown() override { window.reset(); }

  // Runs xdotool with `args` (a window search first), then gathers character
  // messages until `count` have come or two seconds have passed.
  std::vector<int> CharsOf(std::vector<std::string> args, size_t count) {
    std::vector<std::string> argv = {"/usr/bin/xdotool", "search",      "--sync", "--name",
                                     "WENLOTKA",         "windowfocus", "--sync"};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t tool = Spawn(argv);
    std::vector<int> chars;
    std::vector<WindowEvent> events;
    bool toolDone = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline && (chars.size() < count || !toolDone)) {
      events.clear();
      window->PollEvents(20, events);
      for (const WindowEvent& e : events)
        if (e.kind == WindowEvent::Kind::Char) chars.push_back(e.value);
      if (!toolDone && tool > 0 && waitpid(tool, nullptr, WNOHANG) == tool) {
        toolDone = true;
        deadline = std::min(deadline, std::chrono::steady_clock::now() + 300ms);
      }
    }
    if (!toolDone && tool > 0) waitpid(tool, nullptr, 0);
    return chars;
  }

  XvfbServer server;
  std::unique_ptr<Window> window;
};

TEST_F(KeysUnderXvfb, TypedCharactersBecomeCp932CharacterMessages) {
  // Kana and full-width letters as two bytes; a character that CP932 lacks
  // (an emoji, é) as the stand-in '?'.
  EXPECT_EQ(CharsOf({"type", "--delay", "20",
                     "a\xE3\x81\x82\xEF\xBC\xA1\xF0\x9F\x98\x80\\\xC3\xA9"
                     "A"},
                    9),
            (std::vector<int>{'a', 0x82, 0xA0, 0x82, 0x60, '?', '\\', '?', 'A'}));
}

TEST_F(KeysUnderXvfb, CtrlGivesControlCharactersAndAltNone) {
  struct Case {
    const char* keys;
    std::vector<int> chars;
  };
  const Case cases[] = {
      {"Escape Return Tab BackSpace", {27, 13, 9, 8}},
      {"ctrl+a ctrl+shift+s ctrl+z", {1, 19}},  // Ctrl+S and Ctrl+Z are the frame's
      {"ctrl+Return ctrl+BackSpace", {10, 127}},
      {"ctrl+bracketleft ctrl+backslash ctrl+bracketright", {27, 28, 29}},
      {"ctrl+asciicircum ctrl+underscore", {30, 31}},
      {"alt+a alt+4 alt+5 alt+Return b", {'b'}},  // Alt+key is no character
      {"shift+a shift+2 shift+minus", {'A', '@', '_'}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"key", "--delay", "20"};
    std::istringstream keys(c.keys);
    for (std::string k; keys >> k;) args.push_back(k);
    EXPECT_EQ(CharsOf(args, c.chars.size()), c.chars) << c.keys;
  }
}

TEST_F(KeysUnderXvfb, AltGrStillChoosesCharacters) {
  if (access("/usr/bin/setxkbmap", X_OK) != 0) GTEST_SKIP() << "setxkbmap is not installed";
  // The German layout: AltGr+Q is @, AltGr+7 is {; Alt itself stays silent.
  pid_t map = Spawn({"/usr/bin/setxkbmap", "-display", server.name, "-layout", "de"});
  ASSERT_GT(map, 0);
  waitpid(map, nullptr, 0);
  EXPECT_EQ(
      CharsOf({"key", "--delay", "20", "ISO_Level3_Shift+q", "ISO_Level3_Shift+7", "alt+q", "y"},
              3),
      (std::vector<int>{'@', '{', 'y'}));
}

TEST_F(KeysUnderXvfb, AKanaLayoutGivesTheHalfWidthKanaOfEachKey) {
  if (access("/usr/bin/setxkbmap", X_OK) != 0) GTEST_SKIP() << "setxkbmap is not installed";
  // The Japanese kana layout without an input method: each key gives its
  // half-width katakana, one byte each, as a kana keyboard types them.
  pid_t map = Spawn({"/usr/bin/setxkbmap", "-display", server.name, "-model", "jp106", "-layout",
                     "jp", "-variant", "kana"});
  ASSERT_GT(map, 0);
  waitpid(map, nullptr, 0);
  // Keycodes of A, 1, Q and Shift+Z on a JIS keyboard: ﾁ, ﾇ, ﾀ, ｯ.
  EXPECT_EQ(CharsOf({"key", "--delay", "20", "38", "10", "24", "shift+52"}, 4),
            (std::vector<int>{0xC1, 0xC7, 0xC0, 0xAF}));
}

}  // namespace
