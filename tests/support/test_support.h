// Helpers shared by every test program: a view that records what the game
// asks of it, a device context that records what is drawn, and a scratch
// working directory for tests that touch the game's files.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/device_context.h"
#include "platform/view.h"
#include "screens/game_globals.h"

class FakeView : public View {
 public:
  void SetTimer(int id, int periodMs) override {
    timers[id] = periodMs;
    ++setCount[id];
  }
  void KillTimer(int id) override {
    timers.erase(id);
    ++killCount[id];
  }
  void PostQuitMessage() override { ++quitPosted; }
  void ShowModalReport(const std::string& caption, const std::vector<std::string>& lines) override {
    reports.push_back({caption, lines});
  }

  struct Report {
    std::string caption;
    std::vector<std::string> lines;
  };
  std::map<int, int> timers;  // running id -> period
  std::map<int, int> setCount;
  std::map<int, int> killCount;
  int quitPosted = 0;
  std::vector<Report> reports;
};

// Records every drawing call in device pixels.
class RecordingDC : public DeviceContext {
 public:
  struct Text {
    int left, top;
    LogFont font;
    std::string bytes;
    ColorRef text, background;
  };
  struct Fill {
    Rect rect;
    ColorRef colour;
  };
  struct EllipseCall {
    Rect rect;
    ColorRef fill, outline;
  };
  struct Line {
    int x0, y0, x1, y1, width;
    ColorRef colour;
  };

  void SetTextColor(ColorRef c) override { textColour = c; }
  void SetBkColor(ColorRef c) override { bkColour = c; }
  ColorRef GetTextColor() const override { return textColour; }
  ColorRef GetBkColor() const override { return bkColour; }
  void TextOut(int left, int top, const LogFont& font, std::string_view bytes) override {
    texts.push_back({left, top, font, std::string(bytes), textColour, bkColour});
  }
  void FillRect(const Rect& r, ColorRef c) override { fills.push_back({r, c}); }
  void Ellipse(const Rect& r, ColorRef f, ColorRef o) override { ellipses.push_back({r, f, o}); }
  void DrawLine(int x0, int y0, int x1, int y1, int w, ColorRef c) override {
    lines.push_back({x0, y0, x1, y1, w, c});
  }
  void Clear() {
    texts.clear();
    fills.clear();
    ellipses.clear();
    lines.clear();
  }
  // The drawn characters joined, in drawing order.
  std::string AllText() const;

  ColorRef textColour = 0x000000;
  ColorRef bkColour = 0xFFFFFF;
  std::vector<Text> texts;
  std::vector<Fill> fills;
  std::vector<EllipseCall> ellipses;
  std::vector<Line> lines;
};

// Changes into a fresh empty directory for the life of the object.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& Path() const { return path_; }
  std::string ReadFile(const std::string& name) const;
  void WriteFile(const std::string& name, const std::string& bytes) const;
  bool Exists(const std::string& name) const;

 private:
  std::string path_;
  std::string previous_;
};

// A fresh GameGlobals with the given client size and clock.
void InitGlobals(GameGlobals& g, const Clock* clock, int width = 642, int height = 402);

// UTF-8 text as the game's CP932 bytes.
std::string Sjis(const char* utf8);
