// The SDL window: a smoke test under the dummy video driver, and real keys
// under Xvfb (skipped without Xvfb or xdotool) becoming character messages.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/cairo_dc.h"
#include "platform/window.h"

namespace {

TEST(Window, OpensShowsFramesAndPollsUnderTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::string error;
  std::unique_ptr<Window> window = Window::Open("WENLOTKA", 642, 402, &error);
  if (!window) GTEST_SKIP() << "no dummy video driver: " << error;
  EXPECT_TRUE(window->ClientWidth() == 642 && window->ClientHeight() == 402);
  CairoDeviceContext surface(window->ClientWidth(), window->ClientHeight());
  window->Present(surface);
  surface.Resize(320, 200);
  window->Present(surface);  // a new size gets a new texture
  window->SetTextInputArea({10, 10, 50, 50});
  std::vector<WindowEvent> events;
  window->PollEvents(0, events);
  window->PollEvents(1, events);
  for (const WindowEvent& e : events) EXPECT_NE(e.kind, WindowEvent::Kind::Close);
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
    struct stat st;
    for (int n = 70 + getpid() % 50; n < 200 && pid < 0; ++n) {
      std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
      std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
      if (stat(socket.c_str(), &st) == 0 || stat(lock.c_str(), &st) == 0) continue;
      pid = Spawn({"/usr/bin/Xvfb", ":" + std::to_string(n), "-screen", "0", "800x600x24",
                   "-nolisten", "tcp"});
      for (int i = 0; i < 100 && pid > 0 && name.empty(); ++i, usleep(30000))
        if (stat(socket.c_str(), &st) == 0) name = ":" + std::to_string(n);
    }
  }
  ~XvfbServer() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
  }
  std::string name;
  pid_t pid = -1;
};

TEST(Window, RealKeysBecomeCp932CharacterMessages) {
  if (access("/usr/bin/Xvfb", X_OK) != 0 || access("/usr/bin/xdotool", X_OK) != 0)
    GTEST_SKIP() << "Xvfb or xdotool is not installed";
  XvfbServer server;
  if (server.name.empty()) GTEST_SKIP() << "Xvfb did not start";
  setenv("DISPLAY", server.name.c_str(), 1);
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);  // no session bus left behind
  setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
  unsetenv("SDL_VIDEODRIVER");
  std::string error;
  std::unique_ptr<Window> window = Window::Open("WENLOTKA", 320, 200, &error);
  ASSERT_NE(window, nullptr) << error;
  CairoDeviceContext surface(window->ClientWidth(), window->ClientHeight());
  window->Present(surface);
  std::vector<WindowEvent> events;
  for (int i = 0; i < 10; ++i) window->PollEvents(20, events);

  // Text input gives the characters (kana and full-width letters as two
  // bytes, an emoji not at all); key presses give the control characters,
  // and the accelerator Ctrl+S gives nothing.
  pid_t typing =
      Spawn({"/usr/bin/xdotool", "search", "--sync", "--name", "WENLOTKA", "windowfocus", "--sync",
             "type", "--delay", "20", "a\xE3\x81\x82\xEF\xBC\xA1\xF0\x9F\x98\x80\\"});
  ASSERT_GT(typing, 0);
  const std::vector<int> expected = {'a', 0x82, 0xA0, 0x82, 0x60, '\\', 1, 27, 13, 9, 8};
  std::vector<int> chars;
  bool keysSent = false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline && chars.size() < expected.size()) {
    events.clear();
    window->PollEvents(20, events);
    for (const WindowEvent& e : events)
      if (e.kind == WindowEvent::Kind::Char) chars.push_back(e.value);
    if (!keysSent && chars.size() >= 6) {  // all the typed text has arrived
      waitpid(typing, nullptr, 0);
      typing = Spawn({"/usr/bin/xdotool", "search", "--name", "WENLOTKA", "key", "--delay", "20",
                      "ctrl+a", "ctrl+s", "Escape", "Return", "Tab", "BackSpace"});
      keysSent = true;
    }
  }
  if (typing > 0) waitpid(typing, nullptr, 0);
  EXPECT_EQ(chars, expected);
}

}  // namespace
