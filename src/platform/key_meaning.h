// What one key press means to the game, worked out from the key and the
// keyboard layout alone, never from an input method.
//
// A learner with a Japanese input method on must still have each key count
// the moment it is pressed, so the window does not take text from the input
// method: it asks the layout which character the key gives (Shift and AltGr
// as held) and turns that into the character messages a key press makes.
//
// Operations, in order of use:
//   KeyFacts            filled by the window from its platform's key event
//   KeyPressMessages    the CP932 bytes of the character messages, if any
#pragma once

#include <string>

struct KeyFacts {
  enum class Special { NoSpecial, Escape, Return, Tab, Backspace };
  Special special = Special::NoSpecial;
  // The character the key gives on the current layout with Shift, Caps Lock
  // and AltGr as held, without any input method; 0 for none (a dead key, a
  // function key). A kana key gives its half-width katakana (U+FF61..U+FF9F).
  char32_t layoutChar = 0;
  // The character of the key's first level, for Ctrl+letter; 0 for none.
  char32_t baseChar = 0;
  bool ctrl = false;
  bool alt = false;  // Alt itself, not AltGr
  bool shift = false;
  // Where the key sits, whatever it types: 1 to 10 for the keys of the number
  // row that carry 1 to 0 on a US keyboard, 0 for any other key.
  int numberRowPlace = 0;
};

// The character messages of one key press, CP932 bytes in order (a
// double-byte character as lead byte then trail byte); empty when the press
// is not a character:
// - keys with Alt held are none (they belong to the window's frame);
// - Escape 27, Tab 9, Return 13 (Ctrl+Return 10), Backspace 8 (Ctrl 127);
// - Ctrl+letter 1..26, but the frame's accelerators Ctrl+N, O, S, Z, X, C, V
//   without Shift are none; Ctrl+[ \ ] ^ _ are 27..31;
// - any other character the layout gives, as CP932, or '?' where CP932 has
//   no such character.
std::string KeyPressMessages(const KeyFacts& key);

// The stand-in byte for a typed character that CP932 cannot hold.
constexpr char StandInByte = '?';
