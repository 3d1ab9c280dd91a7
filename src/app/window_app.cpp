#include "app/window_app.h"

#include <algorithm>
#include <climits>
#include <ostream>

#include "app/shell.h"
#include "platform/cp932.h"
#include "platform/window.h"
#include "practice/layouts.h"
#include "records/records.h"
#include "screens/screens.h"
#include "textscreen/textscreen.h"

namespace {

void PrintReport(std::ostream& err, const std::string& caption,
                 const std::vector<std::string>& lines) {
  err << Cp932ToUtf8(caption) << "\n";
  for (const std::string& line : lines) err << Cp932ToUtf8(line) << "\n";
}

// The layout whose letters the keyboard's keys type; qwerty, with a notice,
// when it is none of those the game knows.
int RecogniseLayout(const Window& window, std::ostream& err) {
  const std::array<std::string, 3> typed = window.LetterRowKeys();
  const char* const rows[3] = {typed[0].c_str(), typed[1].c_str(), typed[2].c_str()};
  const int layout = RecogniseKeyboardLayout(rows);
  if (layout >= 0) return layout;
  err << "wenlotka: the keyboard layout is none of " << KeyboardLayoutNames
      << "; using qwerty (choose one with --layout NAME)\n";
  return QwertyLayout;
}

// On a menu the keys of the number row choose entries by their place, 1 to
// 0, whatever they type on the layout (& é " on a French keyboard): the press
// reaches the game as the digit of its place, once. Everywhere else, and for
// every other key, the messages pass as they came, so a run judges what was
// typed. `swallowing` holds over the rest of a press that became a digit.
void RouteCharacter(Shell& shell, const WindowEvent& e, bool& swallowing) {
  if (e.firstOfPress) swallowing = false;
  if (swallowing) return;
  if (e.numberRowPlace != 0 && MenuForScreen(shell.Globals().screenId) != nullptr) {
    swallowing = true;
    shell.OnChar('0' + e.numberRowPlace % 10);
    return;
  }
  shell.OnChar(e.value);
}

}  // namespace

int RunWindow(int width, int height, int languageFlag, int layout,
              const std::function<bool()>& settleDataFolder, std::ostream& err) {
  std::string error;
  bool noDisplay = false;
  std::unique_ptr<Window> window = Window::Open("WENLOTKA", width, height, &error, &noDisplay);
  if (!window) {
    if (noDisplay) {
      err << "wenlotka: no display: " << error << " (use --headless SCRIPT)\n";
    } else {
      err << "wenlotka: cannot open a window: " << error << "\n"
          << "Run it in a graphical session, or use --headless SCRIPT.\n";
    }
    return 1;
  }
  if (!settleDataFolder()) return 1;
  CairoDeviceContext surface(std::max(1, window->ClientWidth()),
                             std::max(1, window->ClientHeight()));
  SystemClock clock;
  GameGlobals g;
  g.LanguageFlag = languageFlag;
  SelectKeyboardLayout(g, layout >= 0 ? layout : RecogniseLayout(*window, err));
  // Once the display is gone the report can only be printed.
  bool displayGone = false;
  bool saveFailed = false;
  const std::vector<std::string>* reportOnScreen = nullptr;
  std::string reportCaption;
  Shell shell(g, surface, clock,
              [&](const std::string& caption, const std::vector<std::string>& lines) {
                saveFailed = true;
                if (displayGone) {
                  PrintReport(err, caption, lines);
                  return;
                }
                reportCaption = caption;
                reportOnScreen = &lines;
                window->RunModalReport(surface, caption, lines);
                reportOnScreen = nullptr;
              });
  bool started = false;
  window->OnDisplayLost([&]() {
    displayGone = true;
    err << "wenlotka: the display went away (X connection broken); saving the records\n";
    if (reportOnScreen != nullptr) PrintReport(err, reportCaption, *reportOnScreen);
    // Before the records were read there is nothing to save, and saving
    // would write empty records over the file.
    if (started) shell.Exit();  // does nothing when the exit sequence already ran
    return saveFailed || AnySaveFailed(g) ? 4 : 1;
  });
  shell.Start();
  started = true;
  shell.OnPaint();
  window->Present(surface);

  std::vector<WindowEvent> events;
  bool closed = false;
  bool swallowing = false;
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
          RouteCharacter(shell, e, swallowing);
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
    window->Present(surface);
  }
  shell.Exit();
  // However the report was closed (OK, a second SIGTERM, the window
  // manager), a save that failed is not a success.
  return AnySaveFailed(g) ? 4 : 0;
}
