// What the game asks of its window: timers, quitting, the exit report.
//
// Callers: the screen state machine (quit), the title (timer 1), the practice
// run (hint timers) and the exit sequence (report). Implemented by the app's
// view for the real window and for headless runs.
#pragma once

#include <string>
#include <vector>

class View {
 public:
  virtual ~View() = default;

  // Starts timer `id` with a period of `periodMs`; a running id restarts.
  virtual void SetTimer(int id, int periodMs) = 0;
  virtual void KillTimer(int id) = 0;

  // Ends the message loop after the current message; the exit sequence follows.
  virtual void PostQuitMessage() = 0;

  // Shows a modal report and returns once the user has dismissed it.
  // Texts are CP932 bytes.
  virtual void ShowModalReport(const std::string& caption,
                               const std::vector<std::string>& lines) = 0;
};
