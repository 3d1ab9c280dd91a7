// Keyboard layouts: the character on each drawn key cap and the letters each
// row set draws its targets from, for the keyboards the game knows. The caps
// keep their places and fingers whatever the layout; only what they carry
// changes.
//
// Operations, in order of use:
//   FindKeyboardLayout       main, for --layout NAME
//   RecogniseKeyboardLayout  the window app, from what the keys type
//   SelectKeyboardLayout     the app, before the records are loaded
//   CurrentLayout            the key guide, the key position table, StartPractice
#pragma once

#include "screens/game_globals.h"

constexpr int KeyboardLayoutCount = 5;
constexpr int QwertyLayout = 0;

struct KeyboardLayout {
  const char* name;  // as --layout takes it
  // The four rows of caps, top to bottom, from the leftmost cap. The first
  // 10, 10, 10 and 9 are the caps every layout draws; a letter whose key lies
  // further right adds a cap at its place. A blank is a cap whose character
  // has no glyph.
  const char* const* rows;
  // The letters of each row set, indexed by rowSet (entry 0 unused).
  const char* const* targetKeys;
};

extern const KeyboardLayout KeyboardLayouts[KeyboardLayoutCount];

// The names --layout accepts, for messages.
constexpr char KeyboardLayoutNames[] = "qwerty, azerty, qwertz, dvorak, colemak";

// The index of the layout called `name`, or -1.
int FindKeyboardLayout(const char* name);

// The layout whose letters sit where the keyboard's do, or -1. `typed` holds
// what the keys of the upper, home and lower letter rows type without a
// modifier, each row from its leftmost key (the Q, A and Z keys of the
// drawn keyboard), lower-case.
int RecogniseKeyboardLayout(const char* const typed[3]);

// Makes `layout` the keyboard of this session, with its own record files
// ("wenlotka-NAME"), except for qwerty, whose files keep their plain names.
void SelectKeyboardLayout(GameGlobals& g, int layout);

const KeyboardLayout& CurrentLayout(const GameGlobals& g);
