#include "platform/window.h"

#include <SDL.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/cairo_dc.h"
#include "platform/cp932.h"
#include "platform/icon.h"
#include "platform/key_meaning.h"
#include "platform/x11_display.h"

namespace {

// Set by SIGHUP (the terminal closed, the session ended); the event loop
// turns it into a close, so the exit sequence runs as for SIGTERM.
volatile sig_atomic_t hangUp = 0;

void OnHangUp(int) {
  hangUp = 1;
}

void CatchHangUp() {
  struct sigaction old {};
  sigaction(SIGHUP, nullptr, &old);
  if (old.sa_handler == SIG_IGN) return;  // started under nohup: stay deaf to it
  struct sigaction action {};
  action.sa_handler = OnHangUp;
  sigemptyset(&action.sa_mask);
  sigaction(SIGHUP, &action, nullptr);
}

// Where X11 cannot be asked (a Wayland session without X), what SDL tells of
// the key: its character on the layout's first level. Shift is applied to
// letters only, as the shifted symbols of other keys differ between layouts;
// SDL's text would know them, but only while its text input, and with it the
// input method, is on.
KeyFacts FactsOfSdlKey(const SDL_Keysym& key) {
  KeyFacts f;
  switch (key.sym) {
    case SDLK_ESCAPE:
      f.special = KeyFacts::Special::Escape;
      break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      f.special = KeyFacts::Special::Return;
      break;
    case SDLK_TAB:
      f.special = KeyFacts::Special::Tab;
      break;
    case SDLK_BACKSPACE:
      f.special = KeyFacts::Special::Backspace;
      break;
    default:
      break;
  }
  if ((key.sym & SDLK_SCANCODE_MASK) == 0) f.baseChar = static_cast<char32_t>(key.sym);
  f.ctrl = (key.mod & KMOD_CTRL) != 0;
  // Right Alt may be AltGr, which only chooses characters.
  f.alt = (key.mod & KMOD_LALT) != 0;
  f.shift = (key.mod & KMOD_SHIFT) != 0;
  const bool upper = f.shift != ((key.mod & KMOD_CAPS) != 0);
  if (f.baseChar >= U'a' && f.baseChar <= U'z') {
    f.layoutChar = upper ? f.baseChar - 32 : f.baseChar;
  } else if (!f.shift || f.ctrl) {
    f.layoutChar = f.baseChar;
  }
  return f;
}

void PushBytes(const std::string& bytes, std::vector<WindowEvent>& out) {
  for (char b : bytes) out.push_back({WindowEvent::Kind::Char, static_cast<unsigned char>(b), 0});
}

constexpr ColorRef ReportFace = 0xF0F0F0;
constexpr ColorRef ReportCaptionBar = 0x800000;  // navy
constexpr ColorRef ReportBorder = 0x404040;
constexpr ColorRef ReportButton = 0xE0E0E0;

// ＭＳ ゴシック: the fixed-pitch Japanese face, which has the Latin letters too.
constexpr const char* ReportFaceName = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

bool Contains(const Rect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

struct Window::Impl {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureWidth = 0;
  int textureHeight = 0;
  int lastWidth = 0;
  int lastHeight = 0;
  // Key presses are read from X11's own events.
  bool x11Keys = false;

  // Device pixels per window coordinate (above 1 on HiDPI screens).
  double ScaleX() const {
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window, &ww, &wh);
    SDL_GetRendererOutputSize(renderer, &dw, &dh);
    return ww > 0 && dw > 0 ? static_cast<double>(dw) / ww : 1.0;
  }
  double ScaleY() const {
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window, &ww, &wh);
    SDL_GetRendererOutputSize(renderer, &dw, &dh);
    return wh > 0 && dh > 0 ? static_cast<double>(dh) / wh : 1.0;
  }
  void Translate(const SDL_Event& event, std::vector<WindowEvent>& out);
};

void Window::Impl::Translate(const SDL_Event& event, std::vector<WindowEvent>& out) {
  switch (event.type) {
    case SDL_QUIT:
      out.push_back({WindowEvent::Kind::Close, 0, 0});
      return;
    case SDL_SYSWMEVENT: {
      KeyFacts facts;
      if (x11Keys && event.syswm.msg != nullptr && X11KeyFacts(*event.syswm.msg, &facts)) {
        PushBytes(KeyPressMessages(facts), out);
      }
      return;  // the SDL_KEYDOWN that follows is the message itself
    }
    case SDL_KEYDOWN: {
      if (x11Keys) {
        out.push_back({WindowEvent::Kind::MouseMove, 0, 0});
        return;
      }
      std::string bytes = KeyPressMessages(FactsOfSdlKey(event.key.keysym));
      if (bytes.empty()) {
        out.push_back({WindowEvent::Kind::MouseMove, 0, 0});
      } else {
        PushBytes(bytes, out);
      }
      return;
    }
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
          out.push_back({WindowEvent::Kind::Expose, 0, 0});
          return;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
          int w = 0, h = 0;
          SDL_GetRendererOutputSize(renderer, &w, &h);
          if (w == lastWidth && h == lastHeight) return;
          lastWidth = w;
          lastHeight = h;
          out.push_back({WindowEvent::Kind::Resize, w, h});
          return;
        }
        case SDL_WINDOWEVENT_CLOSE:
          return;  // SDL_QUIT follows for the last window
        default:
          out.push_back({WindowEvent::Kind::MouseMove, 0, 0});
          return;
      }
    case SDL_KEYUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
    case SDL_TEXTEDITING:
      out.push_back({WindowEvent::Kind::MouseMove, 0, 0});
      return;
    default:
      return;
  }
}

Window::Window() : impl_(std::make_unique<Impl>()) {}

Window::~Window() {
  if (impl_->texture) SDL_DestroyTexture(impl_->texture);
  if (impl_->renderer) SDL_DestroyRenderer(impl_->renderer);
  if (impl_->window) {
    SDL_StopTextInput();
    SDL_DestroyWindow(impl_->window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
}

namespace {

// Desktops show the icon in task bars and switchers; it is drawn here rather
// than loaded so the window has it wherever the program was installed.
void SetIcon(SDL_Window* window) {
  CairoDeviceContext icon(64, 64);
  DrawAppIcon(icon);
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<std::uint32_t*>(icon.Pixels()), icon.Width(), icon.Height(), 32,
      icon.StrideBytes(), SDL_PIXELFORMAT_RGB888);
  if (surface == nullptr) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

}  // namespace

std::unique_ptr<Window> Window::Open(const std::string& caption, int width, int height,
                                     std::string* error, bool* noDisplay) {
  if (noDisplay) *noDisplay = false;
  // SDL would otherwise fall back to drivers that show nothing and leave the
  // game running invisible; a driver the user names is still honoured here
  // and refused below if it shows nothing.
  const char* named = getenv("SDL_VIDEODRIVER");
  std::string reached;  // which displays were tried, for the message
  if (named == nullptr || *named == '\0') {
    const char* x11 = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    std::string drivers;
    if (x11 != nullptr && *x11 != '\0') {
      drivers = "x11";
      reached = std::string("DISPLAY=") + x11;
    }
    if (wayland != nullptr && *wayland != '\0') {
      drivers += drivers.empty() ? "wayland" : ",wayland";
      reached += std::string(reached.empty() ? "" : " or ") + "WAYLAND_DISPLAY=" + wayland;
    }
    if (drivers.empty()) {
      if (error) *error = "neither DISPLAY nor WAYLAND_DISPLAY is set";
      if (noDisplay) *noDisplay = true;
      return nullptr;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  }
  // No X input method server gets the keys: each key must count when it is
  // pressed, not when a composition is committed.
  setenv("XMODIFIERS", "@im=none", 1);
  // The game has no use for a screensaver inhibitor, and asking for one
  // would start a session bus connection.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Compositors may keep drawing the desktop; the window should not flicker
  // when they are bypassed.
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error) {
      *error = reached.empty() ? std::string(SDL_GetError())
                               : "cannot reach " + reached + " (" + SDL_GetError() + ")";
    }
    if (noDisplay) *noDisplay = true;
    return nullptr;
  }
  const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  if (driver == "offscreen" || driver == "dummy" || driver.empty()) {
    if (error)
      *error = "SDL's " + (driver.empty() ? "unknown" : driver) + " video driver shows nothing";
    if (noDisplay) *noDisplay = true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  std::unique_ptr<Window> w(new Window());
  Impl& d = *w->impl_;
  d.window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                              std::max(1, width), std::max(1, height),
                              SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!d.window) {
    if (error) *error = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  SetIcon(d.window);
  d.renderer = SDL_CreateRenderer(d.window, -1, 0);
  if (!d.renderer) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
  if (!d.renderer) {
    if (error) *error = SDL_GetError();
    return nullptr;  // the destructor closes the window
  }
  SDL_GetRendererOutputSize(d.renderer, &d.lastWidth, &d.lastHeight);
  // An input method would hold keys, compose and convert them and open its
  // windows over the keyboard field: its text input stays off while the game
  // runs, and each key press is read against the keyboard layout instead.
  SDL_StopTextInput();
  if (driver == "x11") {
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    d.x11Keys = true;
  }
  CatchHangUp();
  return w;
}

void Window::OnDisplayLost(std::function<int()> lost) {
  if (impl_->x11Keys) WatchX11Connection(std::move(lost));
}

void Window::PollEvents(int timeoutMs, std::vector<WindowEvent>& out) {
  if (hangUp) {
    out.push_back({WindowEvent::Kind::Close, 0, 0});
    return;
  }
  SDL_Event event;
  bool have =
      timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs) != 0 : SDL_PollEvent(&event) != 0;
  while (have) {
    impl_->Translate(event, out);
    have = SDL_PollEvent(&event) != 0;
  }
  if (hangUp) out.push_back({WindowEvent::Kind::Close, 0, 0});
}

int Window::ClientWidth() const {
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(impl_->renderer, &w, &h);
  return w;
}

int Window::ClientHeight() const {
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(impl_->renderer, &w, &h);
  return h;
}

void Window::Present(const CairoDeviceContext& surface) {
  Impl& d = *impl_;
  const int w = surface.Width();
  const int h = surface.Height();
  if (!d.texture || d.textureWidth != w || d.textureHeight != h) {
    if (d.texture) SDL_DestroyTexture(d.texture);
    d.texture =
        SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    d.textureWidth = w;
    d.textureHeight = h;
    if (!d.texture) return;
  }
  SDL_UpdateTexture(d.texture, nullptr, surface.Pixels(), surface.StrideBytes());
  SDL_SetRenderDrawColor(d.renderer, 255, 255, 255, 255);
  SDL_RenderClear(d.renderer);
  // One surface pixel per device pixel: a frame drawn for an older size is
  // shown unscaled until the repaint for the new size arrives.
  SDL_Rect target{0, 0, w, h};
  SDL_RenderCopy(d.renderer, d.texture, nullptr, &target);
  SDL_RenderPresent(d.renderer);
}

void Window::RunModalReport(CairoDeviceContext& surface, const std::string& caption,
                            const std::vector<std::string>& lines) {
  Impl& d = *impl_;
  CairoDeviceContext frame(surface.Width(), surface.Height());
  frame.CopyPixelsFrom(surface);
  const ColorRef savedText = surface.GetTextColor();
  const ColorRef savedBk = surface.GetBkColor();

  Rect okButton{};
  Rect closeBox{};
  auto draw = [&]() {
    int cw = ClientWidth();
    int ch = ClientHeight();
    if (cw > 0 && ch > 0 && (cw != surface.Width() || ch != surface.Height())) {
      surface.Resize(cw, ch);
    }
    surface.CopyPixelsFrom(frame);
    // Text cells of 8 x 16 device pixels per byte, grown with the window as
    // the game's own text grows (and so doubled on HiDPI screens).
    const int fit = std::min((surface.Width() - 2) / 640, (surface.Height() - 2) / 400);
    const int s = std::max({1, fit, static_cast<int>(d.ScaleY() + 0.5)});
    const int u = 8 * s;
    const int rowH = 16 * s;
    size_t longest = caption.size() + 4;
    for (const std::string& line : lines) longest = std::max(longest, line.size());
    const int boxW = std::max(static_cast<int>(longest) * u + 4 * u, 30 * u);
    const int boxH = rowH * (static_cast<int>(lines.size()) + 5) + rowH / 2;
    const int left = (surface.Width() - boxW) / 2;
    const int top = (surface.Height() - boxH) / 2;
    LogFont font;
    font.lfHeight = rowH;
    font.lfWidth = u;
    font.lfCharSet = 128;
    std::strncpy(font.lfFaceName, ReportFaceName, sizeof font.lfFaceName - 1);

    surface.FillRect({left - s, top - s, left + boxW + s, top + boxH + s}, ReportBorder);
    surface.FillRect({left, top, left + boxW, top + boxH}, ReportFace);
    const int barH = rowH + 2 * s * 3;
    surface.FillRect({left, top, left + boxW, top + barH}, ReportCaptionBar);
    surface.SetTextColor(0xFFFFFF);
    surface.SetBkColor(ReportCaptionBar);
    surface.TextOut(left + u, top + 3 * s, font, caption);
    closeBox = {left + boxW - barH, top, left + boxW, top + barH};
    surface.TextOut(closeBox.left + (barH - u) / 2, top + 3 * s, font, "x");

    surface.SetTextColor(0x000000);
    surface.SetBkColor(ReportFace);
    int y = top + barH + rowH;
    for (const std::string& line : lines) {
      surface.TextOut(left + 2 * u, y, font, line);
      y += rowH;
    }
    const int buttonW = 10 * u;
    const int buttonH = rowH + 8 * s;
    okButton = {left + (boxW - buttonW) / 2, top + boxH - buttonH - rowH / 2,
                left + (boxW + buttonW) / 2, top + boxH - rowH / 2};
    surface.FillRect(okButton, ReportBorder);
    surface.FillRect({okButton.left + s, okButton.top + s, okButton.right - s, okButton.bottom - s},
                     ReportButton);
    surface.SetBkColor(ReportButton);
    surface.TextOut(okButton.left + (buttonW - 2 * u) / 2, okButton.top + 4 * s, font, "OK");
    Present(surface);
  };

  draw();
  bool done = false;
  while (!done) {
    SDL_Event event;
    if (hangUp) break;
    if (!SDL_WaitEventTimeout(&event, 500)) continue;
    switch (event.type) {
      case SDL_QUIT:
        done = true;
        break;
      case SDL_KEYDOWN: {
        SDL_Keycode key = event.key.keysym.sym;
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_ESCAPE) done = true;
        break;
      }
      case SDL_MOUSEBUTTONUP: {
        if (event.button.button != SDL_BUTTON_LEFT) break;
        int x = static_cast<int>(event.button.x * d.ScaleX());
        int y = static_cast<int>(event.button.y * d.ScaleY());
        if (Contains(okButton, x, y) || Contains(closeBox, x, y)) done = true;
        break;
      }
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
            event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          draw();
        }
        break;
      default:
        break;
    }
  }
  // Give the caller its frame back; it repaints after a size change anyway.
  surface.CopyPixelsFrom(frame);
  surface.SetTextColor(savedText);
  surface.SetBkColor(savedBk);
  Present(surface);
}
