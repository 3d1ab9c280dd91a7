#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/cairo_dc.h"
#include "platform/cp932.h"
#include "platform/icon.h"
#include "platform/report_box.h"

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
                                     std::string* error) {
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
  SDL_StartTextInput();
  return w;
}

void Window::PollEvents(int timeoutMs, std::vector<WindowEvent>& out) {
  SDL_Event event;
  bool have = timeoutMs < 0   ? SDL_WaitEvent(&event) != 0
              : timeoutMs > 0 ? SDL_WaitEventTimeout(&event, timeoutMs) != 0
                              : SDL_PollEvent(&event) != 0;
  while (have) {
    impl_->Translate(event, out);
    have = SDL_PollEvent(&event) != 0;
  }
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
