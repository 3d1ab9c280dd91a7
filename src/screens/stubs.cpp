// Placeholder bodies, replaced as the screens are built.
#include "screens/screens.h"

void DrawCurrentScreen(GameGlobals&, DeviceContext&) {}
void DispatchKey(GameGlobals&, View&, DeviceContext&, int) {}
void DispatchTimer(GameGlobals&, View&, DeviceContext&, int) {}
const MenuTable MainMenu{};
const MenuTable BeginnerMenu{};
const MenuTable StandardMenu{};
const MenuTable ExpertMenu{};
const TextItem MenuPrompt[] = {{}};
const MenuTable* MenuForScreen(int) {
  return nullptr;
}
void DrawMenu(GameGlobals&, DeviceContext&, const MenuTable&, const TextItem*) {}
int LookUpMenuKey(GameGlobals&, const MenuTable*, int) {
  return 0;
}
int MarkedEntry(const GameGlobals&, const MenuTable&) {
  return 0;
}
void DrawTitleScreen(GameGlobals&, DeviceContext&) {}
void BannerTick(GameGlobals&, View&, DeviceContext&) {}
int AssembleKey(GameGlobals&, int c) {
  return c;
}
int MapKanaKey(int k) {
  return k;
}
int ConvertDoubleByte(unsigned char*) {
  return 0;
}
int LookUpKana(unsigned char*) {
  return 124;
}
void DrawRecordScreen(GameGlobals&, DeviceContext&) {}
void DrawRecordRows(GameGlobals&, DeviceContext&, const TextItem*, const double*,
                    const char* const*, const std::int32_t*) {}
