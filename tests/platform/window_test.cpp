// The SDL window: a smoke test under the dummy video driver, and real key
// events under Xvfb (skipped where Xvfb or xdotool is missing). The
// application's own end-to-end tests drive the whole game; these check only
// the translation of SDL's events into character messages.
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
#include <thread>
#include <vector>

#include "platform/cairo_dc.h"
#include "platform/window.h"

extern char** environ;

namespace {

TEST(Window, OpensShowsFramesAndPollsUnderTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::string error;
  std::unique_ptr<Window> window = Window::Open("WENLOTKA", 642, 402, &error);
  if (!window) GTEST_SKIP() << "no dummy video driver: " << error;
  EXPECT_EQ(window->ClientWidth(), 642);
  EXPECT_EQ(window->ClientHeight(), 402);
  CairoDeviceContext surface(window->ClientWidth(), window->ClientHeight());
  surface.FillRect({1, 1, 100, 100}, 0x800000);
  window->Present(surface);
  surface.Resize(320, 200);
  window->Present(surface);  // a new size gets a new texture
  window->SetTextInputArea({10, 10, 50, 50});
  std::vector<WindowEvent> events;
  window->PollEvents(0, events);
  window->PollEvents(1, events);
  for (const WindowEvent& e : events) EXPECT_NE(e.kind, WindowEvent::Kind::Close);
  unsetenv("SDL_VIDEODRIVER");
}

bool Executable(const char* path) {
  return access(path, X_OK) == 0;
}

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// An X server of our own for the length of one test.
class XvfbServer {
 public:
  XvfbServer() {
    for (int display = 70 + getpid() % 50; display < 200; ++display) {
      std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
      std::string lock = "/tmp/.X" + std::to_string(display) + "-lock";
      struct stat st;
      if (stat(socket.c_str(), &st) == 0 || stat(lock.c_str(), &st) == 0) continue;
      name_ = ":" + std::to_string(display);
      pid_ = Spawn({"/usr/bin/Xvfb", name_, "-screen", "0", "800x600x24", "-nolisten", "tcp"});
      for (int i = 0; i < 100 && pid_ > 0; ++i) {
        if (stat(socket.c_str(), &st) == 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
      }
      Stop();
      return;
    }
  }
  ~XvfbServer() { Stop(); }
  bool Running() const { return pid_ > 0; }
  const std::string& Name() const { return name_; }

 private:
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  std::string name_;
  pid_t pid_ = -1;
};

TEST(Window, RealKeysBecomeCp932CharacterMessages) {
  if (!Executable("/usr/bin/Xvfb") || !Executable("/usr/bin/xdotool")) {
    GTEST_SKIP() << "Xvfb or xdotool is not installed";
  }
  XvfbServer server;
  if (!server.Running()) GTEST_SKIP() << "Xvfb did not start";
  setenv("DISPLAY", server.Name().c_str(), 1);
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
  const std::vector<int> typed = {'a', 0x82, 0xA0, 0x82, 0x60, '\\'};
  const std::vector<int> keys = {1, 27, 13, 9, 8};
  std::vector<int> chars;
  bool keysSent = false;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline && chars.size() < typed.size() + keys.size()) {
    events.clear();
    window->PollEvents(20, events);
    for (const WindowEvent& e : events) {
      if (e.kind == WindowEvent::Kind::Char) chars.push_back(e.value);
    }
    if (!keysSent && chars.size() >= typed.size()) {
      waitpid(typing, nullptr, 0);
      typing = Spawn({"/usr/bin/xdotool", "search", "--name", "WENLOTKA", "key", "--delay", "20",
                      "ctrl+a", "ctrl+s", "Escape", "Return", "Tab", "BackSpace"});
      keysSent = true;
    }
  }
  if (typing > 0) waitpid(typing, nullptr, 0);
  std::vector<int> expected = typed;
  expected.insert(expected.end(), keys.begin(), keys.end());
  EXPECT_EQ(chars, expected);
}

}  // namespace
