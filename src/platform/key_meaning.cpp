#include "platform/key_meaning.h"

#include "platform/cp932.h"

namespace {

// Control codes that the accelerators of the frame would have eaten: the
// letters of New, Open, Save, Undo, Cut, Copy and Paste.
bool IsAcceleratorLetter(char32_t c) {
  switch (c) {
    case U'n':
    case U'o':
    case U's':
    case U'z':
    case U'x':
    case U'c':
    case U'v':
      return true;
    default:
      return false;
  }
}

std::string Utf8Of(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

}  // namespace

std::string KeyPressMessages(const KeyFacts& key) {
  if (key.alt) return {};
  switch (key.special) {
    case KeyFacts::Special::Escape:
      return "\x1B";
    case KeyFacts::Special::Tab:
      return "\t";
    case KeyFacts::Special::Return:
      return key.ctrl ? "\n" : "\r";
    case KeyFacts::Special::Backspace:
      return key.ctrl ? "\x7F" : "\b";
    case KeyFacts::Special::NoSpecial:
      break;
  }
  if (key.ctrl) {
    char32_t base = key.baseChar >= U'A' && key.baseChar <= U'Z' ? key.baseChar + 32 : key.baseChar;
    if (base >= U'a' && base <= U'z') {
      if (!key.shift && IsAcceleratorLetter(base)) return {};
      return std::string(1, static_cast<char>(base - U'a' + 1));
    }
    switch (key.layoutChar) {
      case U'[':
        return "\x1B";
      case U'\\':
        return "\x1C";
      case U']':
        return "\x1D";
      case U'^':
        return "\x1E";
      case U'_':
        return "\x1F";
      default:
        return {};
    }
  }
  const char32_t c = key.layoutChar;
  if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
    return {};
  }
  // A kana key's half-width katakana is one byte, 0xA1..0xDF, which the
  // game folds back to the key that carries it.
  if (c >= 0xFF61 && c <= 0xFF9F) return std::string(1, static_cast<char>(c - 0xFF61 + 0xA1));
  std::string bytes = Utf8ToCp932(Utf8Of(c));
  return bytes.empty() ? std::string(1, StandInByte) : bytes;
}
