// The SDL window: events in, frames out, and the in-window modal report.
//
// Callers: the app's window loop only. SDL is not seen outside src/platform.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class CairoDeviceContext;

struct WindowEvent {
  enum class Kind {
    Char,       // value: one byte of a typed character (a CP932 lead byte first)
    MouseMove,  // any other message that reaches the view (motion, clicks, wheel)
    Expose,     // the window must be repainted
    Resize,     // the drawable size changed to value x value2; a repaint follows
    Close,      // window closed, SIGINT, SIGTERM or SIGHUP
  };
  Kind kind = Kind::MouseMove;
  int value = 0;
  int value2 = 0;
  // Char: where the pressed key sits, 1 to 10 for the number row's keys 1 to
  // 0 whatever they type, else 0; `firstOfPress` marks the first message of
  // the press (a double-byte character makes two).
  int numberRowPlace = 0;
  bool firstOfPress = false;
};

class Window {
 public:
  // Opens a resizable window without a menu bar on a real display (X11 or
  // Wayland; never a driver that shows nothing). nullptr and `error` set when
  // it cannot; `noDisplay` then tells whether no display was there at all.
  // Keys are taken from the keyboard layout, not from an input method.
  static std::unique_ptr<Window> Open(const std::string& caption, int width, int height,
                                      std::string* error, bool* noDisplay = nullptr);
  ~Window();

  // Runs `lost` once if the display goes away under the window (the X server
  // ended), from inside whichever window call found it; the process then ends
  // with the status `lost` returns. The window must not be used from `lost`.
  void OnDisplayLost(std::function<int()> lost);

  // Waits up to `timeoutMs` (0: do not wait; below 0: until an event comes)
  // for events and appends what they mean to `out`. Each key press gives its
  // character messages at once.
  void PollEvents(int timeoutMs, std::vector<WindowEvent>& out);

  // The client area in device pixels (the drawable size on HiDPI screens).
  int ClientWidth() const;
  int ClientHeight() const;

  // Shows what was drawn on the surface since the last call (all of it after
  // a resize); shows nothing when nothing was drawn.
  void Present(CairoDeviceContext& surface);

  // What the keys of the three letter rows type without a modifier, in the
  // keyboard layout the window system reports: the upper row from the Q key
  // (12 keys), the home row from the A key (11) and the lower row from the Z
  // key (10), as named on a US keyboard. Each key is its lower-case ASCII
  // character, or '?' when it types none.
  std::array<std::string, 3> LetterRowKeys() const;

  // Shows the report over the current frame inside this window and returns
  // when the user dismisses it (OK, Enter, Esc or the close box). Texts are CP932.
  void RunModalReport(CairoDeviceContext& surface, const std::string& caption,
                      const std::vector<std::string>& lines);

 private:
  Window();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
