#include "platform/window.h"

#include <SDL.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/cairo_dc.h"
#include "platform/cp932.h"
#include "platform/icon.h"
#include "platform/key_meaning.h"
#include "platform/report_box.h"
#include "platform/x11_display.h"

namespace {

// Set by SIGHUP (the terminal closed, the session ended); the event loop
// turns it into a close, so the exit sequence runs as for SIGTERM.
volatile sig_atomic_t hangUp = 0;
// Whether SIGTERM has SDL's handler, whose quit event also wakes a wait for
// events that SIGHUP alone would not end.
volatile sig_atomic_t hangUpAsTerm = 0;

void OnHangUp(int) {
  hangUp = 1;
  if (hangUpAsTerm) raise(SIGTERM);
}

void CatchHangUp() {
  struct sigaction old {};
  sigaction(SIGHUP, nullptr, &old);
  if (old.sa_handler == SIG_IGN) return;  // started under nohup: stay deaf to it
  struct sigaction term {};
  sigaction(SIGTERM, nullptr, &term);
  hangUpAsTerm = term.sa_handler != SIG_DFL && term.sa_handler != SIG_IGN;
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
  // Scancodes name places: SDL_SCANCODE_1 to SDL_SCANCODE_0 are the number row.
  if (key.scancode >= SDL_SCANCODE_1 && key.scancode <= SDL_SCANCODE_0) {
    f.numberRowPlace = key.scancode - SDL_SCANCODE_1 + 1;
  }
  const bool upper = f.shift != ((key.mod & KMOD_CAPS) != 0);
  if (f.baseChar >= U'a' && f.baseChar <= U'z') {
    f.layoutChar = upper ? f.baseChar - 32 : f.baseChar;
  } else if (!f.shift || f.ctrl) {
    f.layoutChar = f.baseChar;
  }
  return f;
}

// The character messages of one key press, each telling where its key sits.
void PushBytes(const std::string& bytes, int numberRowPlace, std::vector<WindowEvent>& out) {
  bool first = true;
  for (char b : bytes) {
    out.push_back(
        {WindowEvent::Kind::Char, static_cast<unsigned char>(b), 0, numberRowPlace, first});
    first = false;
  }
}

bool Contains(const Rect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

struct Window::Impl {
  SDL_Window* window = nullptr;
  // Only where the window has no surface of its own (some Wayland sessions),
  // or when WENLOTKA_PRESENT=renderer asks for it.
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureWidth = 0;
  int textureHeight = 0;
  // The window surface the last frame went to; a new one (after a resize)
  // holds nothing yet and gets the whole frame.
  SDL_Surface* shown = nullptr;
  int shownWidth = 0;
  int shownHeight = 0;
  int lastWidth = 0;
  int lastHeight = 0;
  // Key presses are read from X11's own events.
  bool x11Keys = false;

  // The client area in device pixels. SDL sizes a window surface in window
  // coordinates, so only the renderer draws finer on HiDPI screens.
  void DrawableSize(int* w, int* h) const {
    if (renderer) {
      SDL_GetRendererOutputSize(renderer, w, h);
    } else {
      SDL_GetWindowSize(window, w, h);
    }
  }
  // Device pixels per window coordinate (above 1 on HiDPI screens).
  double ScaleX() const {
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window, &ww, &wh);
    DrawableSize(&dw, &dh);
    return ww > 0 && dw > 0 ? static_cast<double>(dw) / ww : 1.0;
  }
  double ScaleY() const {
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window, &ww, &wh);
    DrawableSize(&dw, &dh);
    return wh > 0 && dh > 0 ? static_cast<double>(dh) / wh : 1.0;
  }
  void PresentToWindowSurface(const CairoDeviceContext& surface, std::vector<Rect> damage);
  void PresentWithRenderer(const CairoDeviceContext& surface, std::vector<Rect> damage);
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
        PushBytes(KeyPressMessages(facts), facts.numberRowPlace, out);
      }
      return;  // the SDL_KEYDOWN that follows is the message itself
    }
    case SDL_KEYDOWN: {
      if (x11Keys) {
        out.push_back({WindowEvent::Kind::MouseMove, 0, 0});
        return;
      }
      const KeyFacts facts = FactsOfSdlKey(event.key.keysym);
      std::string bytes = KeyPressMessages(facts);
      if (bytes.empty()) {
        out.push_back({WindowEvent::Kind::MouseMove, 0, 0});
      } else {
        PushBytes(bytes, facts.numberRowPlace, out);
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
          DrawableSize(&w, &h);
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
  // A window surface backed by a GL texture would bring back the cost the
  // plain surface avoids.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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
  // The plain window surface: frames go to the X server as shared-memory
  // images of just the changed rectangles, with no GL context, no rasteriser
  // threads and no texture upload of the whole frame.
  const char* present = std::getenv("WENLOTKA_PRESENT");
  const bool forceRenderer = present != nullptr && std::strcmp(present, "renderer") == 0;
  if (forceRenderer || SDL_GetWindowSurface(d.window) == nullptr) {
    d.renderer = SDL_CreateRenderer(d.window, -1, 0);
    if (!d.renderer) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
    if (!d.renderer) {
      if (error) *error = SDL_GetError();
      return nullptr;  // the destructor closes the window
    }
  }
  d.DrawableSize(&d.lastWidth, &d.lastHeight);
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
  bool have = timeoutMs < 0   ? SDL_WaitEvent(&event) != 0
              : timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs) != 0
                              : SDL_PollEvent(&event) != 0;
  while (have) {
    impl_->Translate(event, out);
    have = SDL_PollEvent(&event) != 0;
  }
  if (hangUp) out.push_back({WindowEvent::Kind::Close, 0, 0});
}

int Window::ClientWidth() const {
  int w = 0, h = 0;
  impl_->DrawableSize(&w, &h);
  return w;
}

int Window::ClientHeight() const {
  int w = 0, h = 0;
  impl_->DrawableSize(&w, &h);
  return h;
}

void Window::Present(CairoDeviceContext& surface) {
  std::vector<Rect> damage = surface.TakeDamage();
  if (impl_->renderer) {
    impl_->PresentWithRenderer(surface, std::move(damage));
  } else {
    impl_->PresentToWindowSurface(surface, std::move(damage));
  }
}

namespace {

// `r` clipped to w x h; false when nothing is left.
bool ClipTo(Rect& r, int w, int h) {
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, w);
  r.bottom = std::min(r.bottom, h);
  return r.left < r.right && r.top < r.bottom;
}

}  // namespace

// One surface pixel per device pixel: a frame drawn for an older size is
// shown unscaled, on white, until the repaint for the new size arrives.
void Window::Impl::PresentToWindowSurface(const CairoDeviceContext& surface,
                                          std::vector<Rect> damage) {
  SDL_Surface* target = SDL_GetWindowSurface(window);
  if (target == nullptr) return;
  if (target != shown || target->w != shownWidth || target->h != shownHeight) {
    shown = target;
    shownWidth = target->w;
    shownHeight = target->h;
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 255, 255, 255));
    damage.assign(1, Rect{0, 0, target->w, target->h});
  }
  std::vector<SDL_Rect> rects;
  const int w = std::min(surface.Width(), target->w);
  const int h = std::min(surface.Height(), target->h);
  const auto* source = reinterpret_cast<const unsigned char*>(surface.Pixels());
  const int sourceStride = surface.StrideBytes();
  if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
  auto* pixels = static_cast<unsigned char*>(target->pixels);
  for (Rect r : damage) {
    // The white outside the frame still has to be shown.
    Rect shownPart = r;
    if (!ClipTo(shownPart, target->w, target->h)) continue;
    rects.push_back({shownPart.left, shownPart.top, shownPart.right - shownPart.left,
                     shownPart.bottom - shownPart.top});
    if (!ClipTo(r, w, h)) continue;
    const unsigned char* from =
        source + static_cast<std::ptrdiff_t>(r.top) * sourceStride + r.left * 4;
    unsigned char* to = pixels + static_cast<std::ptrdiff_t>(r.top) * target->pitch +
                        r.left * target->format->BytesPerPixel;
    if (target->format->format == SDL_PIXELFORMAT_RGB888 ||
        target->format->format == SDL_PIXELFORMAT_ARGB8888) {
      for (int y = r.top; y < r.bottom; ++y) {
        std::memcpy(to, from, static_cast<size_t>(r.right - r.left) * 4);
        from += sourceStride;
        to += target->pitch;
      }
    } else {
      SDL_ConvertPixels(r.right - r.left, r.bottom - r.top, SDL_PIXELFORMAT_RGB888, from,
                        sourceStride, target->format->format, to, target->pitch);
    }
  }
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  if (!rects.empty())
    SDL_UpdateWindowSurfaceRects(window, rects.data(), static_cast<int>(rects.size()));
}

// The renderer keeps the frame in a texture; only the changed rectangles are
// uploaded, but the whole texture is drawn, as the back buffer's contents are
// undefined after a present.
void Window::Impl::PresentWithRenderer(const CairoDeviceContext& surface,
                                       std::vector<Rect> damage) {
  const int w = surface.Width();
  const int h = surface.Height();
  if (!texture || textureWidth != w || textureHeight != h) {
    if (texture) SDL_DestroyTexture(texture);
    texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    textureWidth = w;
    textureHeight = h;
    if (!texture) return;
    damage.assign(1, Rect{0, 0, w, h});
  }
  if (damage.empty()) return;
  const auto* source = reinterpret_cast<const unsigned char*>(surface.Pixels());
  const int stride = surface.StrideBytes();
  for (Rect r : damage) {
    if (!ClipTo(r, w, h)) continue;
    SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
    SDL_UpdateTexture(texture, &area,
                      source + static_cast<std::ptrdiff_t>(r.top) * stride + r.left * 4, stride);
  }
  SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);
  SDL_RenderClear(renderer);
  SDL_Rect target{0, 0, w, h};
  SDL_RenderCopy(renderer, texture, nullptr, &target);
  SDL_RenderPresent(renderer);
}

void Window::RunModalReport(CairoDeviceContext& surface, const std::string& caption,
                            const std::vector<std::string>& lines) {
  Impl& d = *impl_;
  CairoDeviceContext frame(surface.Width(), surface.Height());
  frame.CopyPixelsFrom(surface);
  const ColorRef savedText = surface.GetTextColor();
  const ColorRef savedBk = surface.GetBkColor();

  ReportBoxLayout layout;
  auto draw = [&]() {
    int cw = ClientWidth();
    int ch = ClientHeight();
    if (cw > 0 && ch > 0 && (cw != surface.Width() || ch != surface.Height())) {
      surface.Resize(cw, ch);
    }
    surface.CopyPixelsFrom(frame);
    layout = DrawReportBox(surface, caption, lines, static_cast<int>(d.ScaleY() + 0.5));
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
        if (Contains(layout.okButton, x, y) || Contains(layout.closeBox, x, y)) done = true;
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

std::array<std::string, 3> Window::LetterRowKeys() const {
  // Scancodes name physical places, whatever the layout; SDL reports the
  // key each one gives in the current layout.
  static const std::vector<SDL_Scancode> rows[3] = {
      {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R, SDL_SCANCODE_T,
       SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I, SDL_SCANCODE_O, SDL_SCANCODE_P,
       SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_RIGHTBRACKET},
      {SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D, SDL_SCANCODE_F, SDL_SCANCODE_G,
       SDL_SCANCODE_H, SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L, SDL_SCANCODE_SEMICOLON,
       SDL_SCANCODE_APOSTROPHE},
      {SDL_SCANCODE_Z, SDL_SCANCODE_X, SDL_SCANCODE_C, SDL_SCANCODE_V, SDL_SCANCODE_B,
       SDL_SCANCODE_N, SDL_SCANCODE_M, SDL_SCANCODE_COMMA, SDL_SCANCODE_PERIOD, SDL_SCANCODE_SLASH},
  };
  std::array<std::string, 3> typed;
  for (int r = 0; r < 3; ++r) {
    for (SDL_Scancode code : rows[r]) {
      const SDL_Keycode key = SDL_GetKeyFromScancode(code);
      char c = '?';
      if (key > ' ' && key < 127) c = static_cast<char>(key >= 'A' && key <= 'Z' ? key + 32 : key);
      typed[r] += c;
    }
  }
  return typed;
}
