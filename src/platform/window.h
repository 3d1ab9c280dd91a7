// The SDL window: events in, frames out, and the in-window modal report.
//
// Callers: the app's window loop only. SDL is not seen outside src/platform.
#pragma once

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
    Close,      // window closed, SIGINT or SIGTERM
  };
  Kind kind = Kind::MouseMove;
  int value = 0;
  int value2 = 0;
};

class Window {
 public:
  // Opens a resizable window without a menu bar. nullptr and `error` set when
  // no display can be opened.
  static std::unique_ptr<Window> Open(const std::string& caption, int width, int height,
                                      std::string* error);
  ~Window();

  // Waits up to `timeoutMs` (0: do not wait; below 0: until an event comes)
  // for events and appends what they mean to `out`.
  void PollEvents(int timeoutMs, std::vector<WindowEvent>& out);

  // The client area in device pixels (the drawable size on HiDPI screens).
  int ClientWidth() const;
  int ClientHeight() const;

  // Shows what was drawn on the surface since the last call (all of it after
  // a resize); shows nothing when nothing was drawn.
  void Present(CairoDeviceContext& surface);

  // Where an input method should place its candidate window (device pixels).
  void SetTextInputArea(const Rect& area);

  // Shows the report over the current frame inside this window and returns
  // when the user dismisses it (OK, Enter, Esc or the close box). Texts are CP932.
  void RunModalReport(CairoDeviceContext& surface, const std::string& caption,
                      const std::vector<std::string>& lines);

 private:
  Window();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
