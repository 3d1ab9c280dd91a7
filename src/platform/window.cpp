#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/cairo_dc.h"
#include "platform/cp932.h"
#include "platform/icon.h"

namespace {

// Control codes that the accelerators of the frame would have eaten: the
// letters of New, Open, Save, Undo, Cut, Copy and Paste.
bool IsAcceleratorLetter(SDL_Keycode key) {
  switch (key) {
    case SDLK_n:
    case SDLK_o:
    case SDLK_s:
    case SDLK_z:
    case SDLK_x:
    case SDLK_c:
    case SDLK_v:
      return true;
    default:
      return false;
  }
}

// The character a key press produces on its own; printable characters come
// only from text input, or they would arrive twice. -1: none.
int CharacterOfKey(const SDL_Keysym& key) {
  const bool ctrl = (key.mod & KMOD_CTRL) != 0;
  const bool alt = (key.mod & KMOD_ALT) != 0;
  const bool shift = (key.mod & KMOD_SHIFT) != 0;
  switch (key.sym) {
    case SDLK_ESCAPE:
      return 27;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_TAB:
      return 9;
    case SDLK_BACKSPACE:
      return alt ? -1 : 8;  // Alt+Backspace is Undo
    default:
      break;
  }
  // Shift+Delete, Ctrl+Insert, Shift+Insert, F6 and Shift+F6 are accelerators
  // too, but produce no character anyway.
  if (ctrl && !alt && key.sym >= SDLK_a && key.sym <= SDLK_z) {
    if (!shift && IsAcceleratorLetter(key.sym)) return -1;
    return static_cast<int>(key.sym - SDLK_a) + 1;
  }
  return -1;
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
    case SDL_TEXTINPUT: {
      std::string bytes = Utf8ToCp932(event.text.text);
      for (char b : bytes) {
        out.push_back({WindowEvent::Kind::Char, static_cast<unsigned char>(b), 0});
      }
      return;
    }
    case SDL_KEYDOWN: {
      int c = CharacterOfKey(event.key.keysym);
      if (c >= 0) {
        out.push_back({WindowEvent::Kind::Char, c, 0});
      } else {
        out.push_back({WindowEvent::Kind::MouseMove, 0, 0});
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
                                     std::string* error) {
  // The game has no use for a screensaver inhibitor, and asking for one
  // would start a session bus connection.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Compositors may keep drawing the desktop; the window should not flicker
  // when they are bypassed.
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (error) *error = SDL_GetError();
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
  SDL_StartTextInput();
  return w;
}

void Window::PollEvents(int timeoutMs, std::vector<WindowEvent>& out) {
  SDL_Event event;
  bool have =
      timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs) != 0 : SDL_PollEvent(&event) != 0;
  while (have) {
    impl_->Translate(event, out);
    have = SDL_PollEvent(&event) != 0;
  }
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

void Window::SetTextInputArea(const Rect& area) {
  double sx = impl_->ScaleX();
  double sy = impl_->ScaleY();
  SDL_Rect r{static_cast<int>(area.left / sx), static_cast<int>(area.top / sy),
             static_cast<int>((area.right - area.left) / sx),
             static_cast<int>((area.bottom - area.top) / sy)};
  SDL_SetTextInputRect(&r);
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
