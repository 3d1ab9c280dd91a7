// The keyboard layouts the game knows, and how the one in front of the user
// is chosen or recognised.
#include "practice/layouts.h"

#include <cstdio>
#include <cstring>

#include "practice/practice.h"

namespace {

// French AZERTY: M sits on the home row where QWERTY has the semicolon.
const char* const AzertyRows[4] = {"1234567890", "AZERTYUIOP", "QSDFGHJKLM", "WXCVBN,;:"};
const char* const AzertyTargets[RowSetCount + 1] = {
    "",
    "QSDFGHJKLM",
    "AZERTYUIOP",
    "QSDFGHJKLMAZERTYUIOP",
    "WXCVBN",
    "QSDFGHJKLMWXCVBN",
    "QSDFGHJKLMAZERTYUIOPWXCVBN",
};

// German QWERTZ: Z and Y change places; the home row ends in a key whose
// letter (an umlaut) has no glyph, so its cap stays blank.
const char* const QwertzRows[4] = {"1234567890", "QWERTZUIOP", "ASDFGHJKL ", "YXCVBNM,."};
const char* const QwertzTargets[RowSetCount + 1] = {
    "",
    "ASDFGHJKL",
    "QWERTZUIOP",
    "ASDFGHJKLQWERTZUIOP",
    "YXCVBNM",
    "ASDFGHJKLYXCVBNM",
    "ASDFGHJKLQWERTZUIOPYXCVBNM",
};

// Dvorak: Z lies on the key right of the lower row's ninth cap, which gets a
// cap of its own.
const char* const DvorakRows[4] = {"1234567890", "',.PYFGCRL", "AOEUIDHTNS", ";QJKXBMWVZ"};
const char* const DvorakTargets[RowSetCount + 1] = {
    "",
    "AOEUIDHTNS",
    "PYFGCRL",
    "AOEUIDHTNSPYFGCRL",
    "QJKXBMWVZ",
    "AOEUIDHTNSQJKXBMWVZ",
    "AOEUIDHTNSPYFGCRLQJKXBMWVZ",
};

const char* const ColemakRows[4] = {"1234567890", "QWFPGJLUY;", "ARSTDHNEIO", "ZXCVBKM,."};
const char* const ColemakTargets[RowSetCount + 1] = {
    "",
    "ARSTDHNEIO",
    "QWFPGJLUY",
    "ARSTDHNEIOQWFPGJLUY",
    "ZXCVBKM",
    "ARSTDHNEIOZXCVBKM",
    "ARSTDHNEIOQWFPGJLUYZXCVBKM",
};

bool IsLetter(char c) {
  return c >= 'A' && c <= 'Z';
}

}  // namespace

const KeyboardLayout KeyboardLayouts[KeyboardLayoutCount] = {
    {"qwerty", KeyboardRows, TargetKeyStrings}, {"azerty", AzertyRows, AzertyTargets},
    {"qwertz", QwertzRows, QwertzTargets},      {"dvorak", DvorakRows, DvorakTargets},
    {"colemak", ColemakRows, ColemakTargets},
};

int FindKeyboardLayout(const char* name) {
  for (int i = 0; i < KeyboardLayoutCount; ++i) {
    if (std::strcmp(KeyboardLayouts[i].name, name) == 0) return i;
  }
  return -1;
}

int RecogniseKeyboardLayout(const char* const typed[3]) {
  for (int i = 0; i < KeyboardLayoutCount; ++i) {
    bool all = true;
    for (int row = 0; row < 3 && all; ++row) {
      const char* caps = KeyboardLayouts[i].rows[row + 1];
      const std::size_t keys = std::strlen(typed[row]);
      for (std::size_t c = 0; caps[c] != '\0' && all; ++c) {
        if (!IsLetter(caps[c])) continue;
        all = c < keys && typed[row][c] == caps[c] - 'A' + 'a';
      }
    }
    if (all) return i;
  }
  return -1;
}

void SelectKeyboardLayout(GameGlobals& g, int layout) {
  if (layout < 0 || layout >= KeyboardLayoutCount) layout = QwertyLayout;
  g.keyboardLayout = layout;
  if (layout == QwertyLayout) {
    std::snprintf(g.fileStem, sizeof g.fileStem, "wenlotka");
  } else {
    std::snprintf(g.fileStem, sizeof g.fileStem, "wenlotka-%s", KeyboardLayouts[layout].name);
  }
}

const KeyboardLayout& CurrentLayout(const GameGlobals& g) {
  const int layout = g.keyboardLayout;
  return KeyboardLayouts[layout >= 0 && layout < KeyboardLayoutCount ? layout : QwertyLayout];
}
