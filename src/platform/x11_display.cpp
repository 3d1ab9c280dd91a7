#include "platform/x11_display.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdio>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#endif

namespace {

std::function<int()>& LostHandler() {
  static std::function<int()> handler;
  return handler;
}

#if defined(SDL_VIDEO_DRIVER_X11)
int OnConnectionLost(Display*) {
  static bool running = false;
  int status = 1;
  if (!running) {
    running = true;
    if (LostHandler()) status = LostHandler()();
  }
  // Xlib would end the process on return anyway; ending it here keeps the
  // library's own exit handlers off a display that is gone.
  std::fflush(nullptr);
  _exit(status);
}

// The keysym of the key at `state`, with Ctrl, Alt and Super taken away:
// they never change which character a key gives, only what it means.
KeySym LevelKeySym(const XKeyEvent& event, unsigned state) {
  XKeyEvent e = event;
  e.state = state;
  KeySym sym = NoSymbol;
  char text[32];
  XLookupString(&e, text, sizeof text, &sym, nullptr);
  return sym;
}

// The place of a key on the number row, 1 to 10, from its XKB name (AE01 to
// AE10), which says where a key sits whatever it types; 0 for other keys.
// Without the names, the keycodes 10 to 19 that both X keycode sets give the
// number row.
int NumberRowPlace(Display* display, unsigned keycode) {
  static Display* namedFor = nullptr;
  static std::array<int, 256> places{};
  if (namedFor != display) {
    namedFor = display;
    places.fill(0);
    bool named = false;
    if (XkbDescPtr xkb = XkbGetMap(display, 0, XkbUseCoreKbd)) {
      if (XkbGetNames(display, XkbKeyNamesMask, xkb) == Success && xkb->names != nullptr &&
          xkb->names->keys != nullptr) {
        named = true;
        for (int k = xkb->min_key_code; k <= xkb->max_key_code && k < 256; ++k) {
          const char* name = xkb->names->keys[k].name;  // four bytes, not terminated
          if (name[0] != 'A' || name[1] != 'E' || name[2] < '0' || name[2] > '1' || name[3] < '0' ||
              name[3] > '9') {
            continue;
          }
          const int place = (name[2] - '0') * 10 + (name[3] - '0');
          if (place >= 1 && place <= 10) places[static_cast<std::size_t>(k)] = place;
        }
      }
      XkbFreeKeyboard(xkb, 0, True);
    }
    if (!named) {
      for (int place = 1; place <= 10; ++place) places[static_cast<std::size_t>(place + 9)] = place;
    }
  }
  return keycode < places.size() ? places[keycode] : 0;
}

char32_t CharOfKeySym(KeySym sym) {
  if (sym == NoSymbol) return 0;
  // X11's kana keysyms are the JIS X 0201 bytes plus 0x400: the half-width
  // forms a kana keyboard gives without an input method.
  if (sym >= 0x4A1 && sym <= 0x4DF) return static_cast<char32_t>(sym - 0x4A1 + 0xFF61);
  return xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(sym));
}
#endif

}  // namespace

void WatchX11Connection(std::function<int()> lost) {
  LostHandler() = std::move(lost);
#if defined(SDL_VIDEO_DRIVER_X11)
  XSetIOErrorHandler(OnConnectionLost);
#endif
}

bool X11KeyFacts(const SDL_SysWMmsg& msg, KeyFacts* facts) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (msg.subsystem != SDL_SYSWM_X11) return false;
  const XEvent& event = msg.msg.x11.event;
  if (event.type != KeyPress) return false;
  const XKeyEvent& key = event.xkey;
  const unsigned group = key.state & 0x6000;  // the layout group bits
  const KeySym base = LevelKeySym(key, group);
  const KeySym level = LevelKeySym(key, key.state & ~(ControlMask | Mod1Mask | Mod4Mask));
  KeyFacts f;
  switch (base) {
    case XK_Escape:
      f.special = KeyFacts::Special::Escape;
      break;
    case XK_Return:
    case XK_KP_Enter:
      f.special = KeyFacts::Special::Return;
      break;
    case XK_Tab:
    case XK_ISO_Left_Tab:
      f.special = KeyFacts::Special::Tab;
      break;
    case XK_BackSpace:
      f.special = KeyFacts::Special::Backspace;
      break;
    default:
      break;
  }
  f.layoutChar = CharOfKeySym(level);
  f.baseChar = CharOfKeySym(base);
  f.ctrl = (key.state & ControlMask) != 0;
  f.alt = (key.state & Mod1Mask) != 0;
  f.shift = (key.state & ShiftMask) != 0;
  f.numberRowPlace = NumberRowPlace(key.display, key.keycode);
  *facts = f;
  return true;
#else
  return false;
#endif
}
