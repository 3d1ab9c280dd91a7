// Screens and menus: the screen state machine, the menus, the title screen,
// key normalisation and the practice-record screen.
//
// Operations, in order of use:
//   DrawCurrentScreen   the view, on every repaint
//   DispatchKey         the view, for every character message
//   DispatchTimer       the view, for every timer tick
//   AssembleKey, MapKanaKey (with ConvertDoubleByte, LookUpKana)   DispatchKey
//   DrawMenu, LookUpMenuKey, MenuForScreen                          DispatchKey, DrawCurrentScreen
//   DrawTitleScreen, BannerTick                          DrawCurrentScreen, DispatchTimer
//   DrawRecordScreen, DrawRecordRows                     DrawCurrentScreen
#pragma once

#include <array>
#include <cstdint>

#include "platform/device_context.h"
#include "platform/view.h"
#include "screens/game_globals.h"

// ---- Screen state machine --------------------------------------------------

void DrawCurrentScreen(GameGlobals& g, DeviceContext& dc);
void DispatchKey(GameGlobals& g, View& view, DeviceContext& dc, int character);
void DispatchTimer(GameGlobals& g, View& view, DeviceContext& dc, int timerId);

// ---- Menus -----------------------------------------------------------------

// The course labels of the level menus, in row-set order; the record screen
// lists the same texts.
inline constexpr const char* RowSetLabels[RowSetCount] = {
    "Home Row", "Upper Row", "Home+Upper Row", "Lower Row", "Home+Lower Row", "All Row"};

extern const MenuTable MainMenu;
extern const MenuTable BeginnerMenu;
extern const MenuTable StandardMenu;
extern const MenuTable ExpertMenu;
extern const TextItem MenuPrompt[];

// The menu shown as screen 1, 11, 12 or 13; nullptr for any other id.
const MenuTable* MenuForScreen(int screenId);
void DrawMenu(GameGlobals& g, DeviceContext& dc, const MenuTable& table, const TextItem* title);
// The code of the entry `key` chooses, 0 for none; moves the table's mark.
int LookUpMenuKey(GameGlobals& g, const MenuTable* table, int key);
// 1-based index of the marked entry of `table`, 0 for none.
int MarkedEntry(const GameGlobals& g, const MenuTable& table);

// ---- Title screen ----------------------------------------------------------

void DrawTitleScreen(GameGlobals& g, DeviceContext& dc);
void BannerTick(GameGlobals& g, View& view, DeviceContext& dc);

// ---- Key normalisation -----------------------------------------------------

// A full-width katakana (CP932) and the half-width form it folds to.
struct KanaPair {
  const char* fullWidth = nullptr;
  const char* halfWidth = nullptr;
};
constexpr int KanaTableSize = 82;
extern const std::array<KanaPair, KanaTableSize> KanaTable;
// The JIS keyboard key of each byte 0x80..0xFF (index byte - 0x80); 0 for
// bytes that are no half-width kana.
extern const std::array<unsigned char, 128> KanaKeyTable;

int AssembleKey(GameGlobals& g, int character);
int MapKanaKey(int key);
int ConvertDoubleByte(unsigned char buffer[3]);
int LookUpKana(unsigned char buffer[3]);

// ---- Practice-record screen ------------------------------------------------

void DrawRecordScreen(GameGlobals& g, DeviceContext& dc);
// Row i uses entry i of each array; `bestTimes` or `dates` may be nullptr.
void DrawRecordRows(GameGlobals& g, DeviceContext& dc, const TextItem* rows,
                    const double* bestTimes, const char* const* dates,
                    const std::int32_t* practiceSeconds);
