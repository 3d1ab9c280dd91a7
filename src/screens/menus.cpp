// The numbered menus: the main menu and one menu per level, drawn with the
// last chosen entry highlighted, and the lookup of a typed digit or ESC.
#include <cassert>

#include "screens/screens.h"
#include "textscreen/textscreen.h"

namespace {

constexpr int Escape = 27;
// Only the first nine entries can be reached with a digit key.
constexpr int MaxKeyedEntries = 9;

constexpr MenuEntry MainMenuEntries[] = {
    {.y = 48, .x = 160, .label = "Digdash Beginner's", .code = BeginnerMenuScreenId},
    {.y = 80, .x = 160, .label = "Digdash Standard", .code = StandardMenuScreenId},
    {.y = 112, .x = 160, .label = "Digdash Expert", .code = ExpertMenuScreenId},
    {.y = 144, .x = 160, .label = "Practice Record", .code = RecordScreenId},
    {.y = 176, .x = 160, .label = "Exit", .code = EndProgramCode},
    {.y = 208, .x = 160, .label = "Progress Report", .code = ProgressScreenId},
    {},
};

// The three level menus share labels and places; only the course codes differ.
constexpr int LevelMenuY[] = {48, 80, 112, 144, 176, 208};
constexpr int ReturnEntryY = 240;
constexpr int EntryX = 160;

constexpr MenuEntry LevelEntry(int level, int rowSet) {
  return MenuEntry{.y = LevelMenuY[rowSet - 1],
                   .x = EntryX,
                   .label = RowSetLabels[rowSet - 1],
                   .code = level * 100 + rowSet};
}

constexpr MenuEntry ReturnEntry{
    .y = ReturnEntryY, .x = EntryX, .label = "Return to Menu", .code = BackToMainMenuCode};

// Weak Keys comes after the way back, at the menu's own spacing, so the
// first seven entries keep their keys and places.
constexpr MenuEntry WeakKeysEntry(int level) {
  return MenuEntry{.y = ReturnEntryY + 32,
                   .x = EntryX,
                   .label = "Weak Keys",
                   .code = level * 100 + WeakKeysRowSet};
}

constexpr MenuEntry BeginnerEntries[] = {
    LevelEntry(1, 1), LevelEntry(1, 2), LevelEntry(1, 3),
    LevelEntry(1, 4), LevelEntry(1, 5), LevelEntry(1, 6),
    ReturnEntry,      WeakKeysEntry(1), {},
};
constexpr MenuEntry StandardEntries[] = {
    LevelEntry(2, 1), LevelEntry(2, 2), LevelEntry(2, 3),
    LevelEntry(2, 4), LevelEntry(2, 5), LevelEntry(2, 6),
    ReturnEntry,      WeakKeysEntry(2), {},
};
constexpr MenuEntry ExpertEntries[] = {
    LevelEntry(3, 1), LevelEntry(3, 2), LevelEntry(3, 3),
    LevelEntry(3, 4), LevelEntry(3, 5), LevelEntry(3, 6),
    ReturnEntry,      WeakKeysEntry(3), {},
};
static_assert(std::size(MainMenuEntries) == 6 + 1, "main menu: six entries and the end");
static_assert(std::size(BeginnerEntries) == 8 + 1, "level menu: eight entries and the end");
static_assert(std::size(StandardEntries) == 8 + 1, "level menu: eight entries and the end");
static_assert(std::size(ExpertEntries) == 8 + 1, "level menu: eight entries and the end");

// Titles are drawn centred; the stored x is never used.
constexpr TextItem MainMenuTitle[] = {
    {.y = 1, .x = 104, .text = "(^_^) Tazi's Digdash Type Trainer(^_^)/~~"}, {}};
constexpr TextItem BeginnerTitle[] = {
    {.y = 1, .x = 136, .text = "(^_^) Tazi's Digdash Beginner's (^_^)/~~"}, {}};
constexpr TextItem StandardTitle[] = {
    {.y = 1, .x = 136, .text = "(^_^) Tazi's Digdash Standard (^_^)/~~"}, {}};
constexpr TextItem ExpertTitle[] = {
    {.y = 1, .x = 136, .text = "(^_^) Tazi's Digdash Expert (^_^)/~~"}, {}};

}  // namespace

const MenuTable MainMenu{.screenId = MainMenuScreenId,
                         .markSlot = 0,
                         .entries = MainMenuEntries,
                         .title = MainMenuTitle};
const MenuTable BeginnerMenu{.screenId = BeginnerMenuScreenId,
                             .markSlot = 1,
                             .entries = BeginnerEntries,
                             .title = BeginnerTitle};
const MenuTable StandardMenu{.screenId = StandardMenuScreenId,
                             .markSlot = 2,
                             .entries = StandardEntries,
                             .title = StandardTitle};
const MenuTable ExpertMenu{
    .screenId = ExpertMenuScreenId, .markSlot = 3, .entries = ExpertEntries, .title = ExpertTitle};

const TextItem MenuPrompt[] = {{.y = 288, .x = 232, .text = "Press Number key to select Menu"}, {}};

const MenuTable* MenuForScreen(int screenId) {
  switch (screenId) {
    case MainMenuScreenId:
      return &MainMenu;
    case BeginnerMenuScreenId:
      return &BeginnerMenu;
    case StandardMenuScreenId:
      return &StandardMenu;
    case ExpertMenuScreenId:
      return &ExpertMenu;
    default:
      return nullptr;
  }
}

void DrawMenu(GameGlobals& g, DeviceContext& dc, const MenuTable& table, const TextItem* title) {
  assert(table.markSlot >= 0 && table.markSlot < MenuCount && "menu table has no mark slot");
  const int* marks = g.menuMarks[table.markSlot];

  // The title sits on the normal layout; entries and prompt on the enlarged one.
  g.ZoomY = g.ZoomX = 0;
  ClearScreen(g, dc);
  SetColors(dc, ColorPurple, ColorWhite);
  PutCenteredList(g, dc, title);

  g.ZoomY = g.ZoomX = 1;
  SetColors(dc, ColorTeal, ColorWhite);
  PutTextList(g, dc, MenuPrompt);

  for (int i = 0; i < MaxMenuEntries && table.entries[i].label != nullptr; ++i) {
    const MenuEntry& e = table.entries[i];
    const bool marked = marks[i] != 0;
    SetColors(dc, marked ? ColorGreen : ColorNavy, ColorWhite);
    PutText(g, dc, e.y, e.x, e.label);
    if (marked) UnderlineText(g, dc, e.y, e.x, e.label, 0, ColorGreen);
    PutKeyGlyph(g, dc, e.y, e.x - 4 * CellWidth, '1' + i, 1.0);
  }
  g.currentMenu = &table;

  g.ZoomY = g.ZoomX = 0;
  SetColors(dc, ColorBlack, ColorWhite);
}

int LookUpMenuKey(GameGlobals& g, const MenuTable* table, int key) {
  if (table == nullptr) return 0;
  const MenuEntry* entries = table->entries;

  if (key == Escape) {
    // ESC means the menu's way back, if it has one; it never moves a mark.
    for (int i = 0; i < MaxKeyedEntries && entries[i].label != nullptr; ++i) {
      if (entries[i].code > 9000 && entries[i].code < EndProgramCode) return entries[i].code;
    }
    return 0;
  }
  if (key < '0' || key > '9') return 0;

  assert(table->markSlot >= 0 && table->markSlot < MenuCount && "menu table has no mark slot");
  int* marks = g.menuMarks[table->markSlot];
  const int index = key - '1';  // "0" is index -1 and chooses nothing
  int previous = -1;
  int code = 0;
  for (int i = 0; i < MaxKeyedEntries && entries[i].label != nullptr; ++i) {
    if (marks[i] == 1) previous = i;
    if (i == index) code = entries[i].code;
  }
  // Back and Exit are never shown as the last choice.
  if (code > 0 && code < 9000) {
    if (previous >= 0) marks[previous] = 0;
    marks[index] = 1;
  }
  return code;
}

int MarkedEntry(const GameGlobals& g, const MenuTable& table) {
  const int* marks = g.menuMarks[table.markSlot];
  int marked = 0;
  for (int i = 0; i < MaxMenuEntries && table.entries[i].label != nullptr; ++i) {
    if (marks[i] == 1) marked = i + 1;
  }
  return marked;
}
