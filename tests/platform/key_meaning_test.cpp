// The character messages of one key press, as the window hands them to the
// game: Ctrl+letter as the control characters 1..26, Alt silent, and the
// stand-in '?' for characters the game's code page lacks.
#include "platform/key_meaning.h"

#include <gtest/gtest.h>

namespace {

using Special = KeyFacts::Special;

KeyFacts Char(char32_t c, bool shift = false) {
  KeyFacts k;
  k.layoutChar = c;
  k.baseChar = c;
  k.shift = shift;
  return k;
}

KeyFacts Ctrl(char32_t c, bool shift = false) {
  KeyFacts k = Char(c, shift);
  k.ctrl = true;
  return k;
}

KeyFacts Alt(KeyFacts k) {
  k.alt = true;
  return k;
}

KeyFacts SpecialKey(Special s, bool ctrl = false) {
  KeyFacts k;
  k.special = s;
  k.ctrl = ctrl;
  return k;
}

TEST(KeyPressMessages, GiveControlCharactersForCtrlAndNothingForAlt) {
  struct Case {
    const char* what;
    KeyFacts key;
    std::string bytes;
  };
  const Case cases[] = {
      {"a", Char(U'a'), "a"},
      {"Shift+a", Char(U'A', true), "A"},
      {"space", Char(U' '), " "},
      {"Escape", SpecialKey(Special::Escape), "\x1B"},
      {"Return", SpecialKey(Special::Return), "\r"},
      {"Ctrl+Return", SpecialKey(Special::Return, true), "\n"},
      {"Tab", SpecialKey(Special::Tab), "\t"},
      {"Backspace", SpecialKey(Special::Backspace), "\b"},
      {"Ctrl+Backspace", SpecialKey(Special::Backspace, true), "\x7F"},
      {"Ctrl+a", Ctrl(U'a'), "\x01"},
      {"Ctrl+Shift+z", Ctrl(U'Z', true), "\x1A"},
      {"Ctrl+s (Save)", Ctrl(U's'), ""},
      {"Ctrl+n o z x c v", Ctrl(U'n'), ""},
      {"Ctrl+v (Paste)", Ctrl(U'v'), ""},
      {"Ctrl+[", Ctrl(U'['), "\x1B"},
      {"Ctrl+\\", Ctrl(U'\\'), "\x1C"},
      {"Ctrl+]", Ctrl(U']'), "\x1D"},
      {"Ctrl+^", Ctrl(U'^'), "\x1E"},
      {"Ctrl+_", Ctrl(U'_'), "\x1F"},
      {"Ctrl+1", Ctrl(U'1'), ""},
      {"Alt+a", Alt(Char(U'a')), ""},
      {"Alt+5", Alt(Char(U'5')), ""},
      {"Alt+Return", Alt(SpecialKey(Special::Return)), ""},
      {"Alt+Backspace (Undo)", Alt(SpecialKey(Special::Backspace)), ""},
      {"a dead key", Char(0), ""},
      {"Delete", Char(0x7F), ""},
      {"full-width A", Char(U'\uFF21'), "\x82\x60"},
      {"hiragana a", Char(U'\u3042'), "\x82\xA0"},
      {"half-width chi (kana A key)", Char(U'\uFF81'), "\xC1"},
      {"half-width nu (kana 1 key)", Char(U'\uFF87'), "\xC7"},
      {"half-width voiced mark (kana @ key)", Char(U'\uFF9E'), "\xDE"},
      {"kanji", Char(U'\u66F8'), "\x8F\x91"},
      {"e acute", Char(U'\u00E9'), "?"},
      {"emoji", Char(U'\U0001F600'), "?"},
      {"Greek alpha", Char(U'\u03B1'), "\x83\xBF"},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyPressMessages(c.key), c.bytes) << c.what;
}

}  // namespace
