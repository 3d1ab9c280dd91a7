// The SDL window under the dummy video driver: it opens, sizes its client
// area and shows frames without a display. Real-window input is exercised
// by the application's end-to-end tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/cairo_dc.h"
#include "platform/window.h"

namespace {

TEST(Window, OpensShowsFramesAndPollsUnderTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
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
}

}  // namespace
