#include "app/window_app.h"

#include <algorithm>
#include <climits>
#include <ostream>

#include "app/shell.h"
#include "platform/window.h"
#include "textscreen/textscreen.h"

namespace {

// Keeps an input method's candidate window over the big target glyph, where it
// never hides the keyboard field the user is looking for.
Rect TargetGlyphArea(const GameGlobals& g) {
  return Rect{ToDeviceX(g, 257), ToDeviceY(g, 33), ToDeviceX(g, 305), ToDeviceY(g, 81)};
}

}  // namespace

int RunWindow(int width, int height, int languageFlag, std::ostream& err) {
  std::string error;
  std::unique_ptr<Window> window = Window::Open("WENLOTKA", width, height, &error);
  if (!window) {
    err << "wenlotka: cannot open a window: " << error << "\n"
        << "Run it in a graphical session, or use --headless SCRIPT.\n";
    return 1;
  }
  CairoDeviceContext surface(std::max(1, window->ClientWidth()),
                             std::max(1, window->ClientHeight()));
  SystemClock clock;
  GameGlobals g;
  g.LanguageFlag = languageFlag;
  Shell shell(g, surface, clock,
              [&](const std::string& caption, const std::vector<std::string>& lines) {
                window->RunModalReport(surface, caption, lines);
              });
  shell.Start();
  shell.OnPaint();
  Rect inputArea = TargetGlyphArea(g);
  window->SetTextInputArea(inputArea);
  window->Present(surface);

  std::vector<WindowEvent> events;
  bool closed = false;
  while (!closed && !shell.QuitPosted()) {
    // Asleep until the next event or the next due timer, whichever is first.
    int timeout = -1;
    if (std::optional<std::int64_t> due = shell.Timers().NextDue()) {
      timeout = static_cast<int>(std::clamp<std::int64_t>(*due - shell.NowMs(), 0, INT_MAX));
    }
    events.clear();
    window->PollEvents(timeout, events);
    for (const WindowEvent& e : events) {
      if (shell.QuitPosted()) break;
      switch (e.kind) {
        case WindowEvent::Kind::Char:
          shell.OnChar(e.value);
          break;
        case WindowEvent::Kind::MouseMove:
          shell.OnOtherMessage();
          break;
        case WindowEvent::Kind::Expose:
          shell.OnPaint();
          break;
        case WindowEvent::Kind::Resize:
          surface.Resize(std::max(1, e.value), std::max(1, e.value2));
          shell.OnOtherMessage();
          shell.OnPaint();
          break;
        case WindowEvent::Kind::Close:
          closed = true;
          break;
      }
      if (closed) break;
    }
    if (!closed) shell.FireDueTimers(shell.NowMs(), nullptr);
    // The area follows the window's size; telling the input method again
    // when nothing moved would cost a round trip to it on every event.
    const Rect area = TargetGlyphArea(g);
    if (area.left != inputArea.left || area.top != inputArea.top || area.right != inputArea.right ||
        area.bottom != inputArea.bottom) {
      inputArea = area;
      window->SetTextInputArea(inputArea);
    }
    window->Present(surface);
  }
  shell.Exit();
  return 0;
}
