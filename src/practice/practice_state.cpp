// Constant tables of the practice game: the target strings of the six row sets
// and the four rows of the drawn keyboard.
#include <cstring>

#include "practice/practice.h"

const char* const TargetKeyStrings[RowSetCount + 1] = {
    "",
    "ASDFGHJKL",
    "QWERTYUIOP",
    "ASDFGHJKLQWERTYUIOP",
    "ZXCVBNM",
    "ASDFGHJKLZXCVBNM",
    "ASDFGHJKLQWERTYUIOPZXCVBNM",
};
static_assert(sizeof(TargetKeyStrings) / sizeof(TargetKeyStrings[0]) == RowSetCount + 1,
              "one target string per row set, plus the unused entry 0");

const char* const KeyboardRows[4] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL;", "ZXCVBNM,."};
static_assert(sizeof(KeyboardRows) / sizeof(KeyboardRows[0]) == 4, "the keyboard has four rows");
