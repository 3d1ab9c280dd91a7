// Placeholder bodies, replaced as the practice game is built.
#include "practice/practice.h"

const char* const TargetKeyStrings[RowSetCount + 1] = {""};
const char* const KeyboardRows[4] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL;", "ZXCVBNM,."};
void StartPractice(GameGlobals&, View&, DeviceContext&, const MenuTable*, int) {}
void JudgePracticeKey(GameGlobals&, View&, DeviceContext&, int) {}
void HintTick(GameGlobals&, View&, DeviceContext&, int) {}
void SettlePracticeAtExit(GameGlobals&) {}
int PickTargetIndex(GameGlobals&, const char*, int) {
  return 0;
}
int TargetIndexForDraw(int, int, int) {
  return 0;
}
int NormaliseTypedKey(int k) {
  return k;
}
double TruncateSeconds(double s) {
  return s;
}
void DrawPracticeScreen(GameGlobals&, DeviceContext&, const char*) {}
void DrawPracticeTitle(GameGlobals&, DeviceContext&, const char*, const char*) {}
void DrawRunTimeLine(GameGlobals&, DeviceContext&) {}
void DrawErrorCountLine(GameGlobals&, DeviceContext&) {}
void DrawTypeCountLine(GameGlobals&, DeviceContext&) {}
void DrawPracticeCountLine(GameGlobals&, DeviceContext&) {}
void DrawBestRecordLine(GameGlobals&, DeviceContext&, double, const char*) {}
void DrawTargetKey(GameGlobals&, DeviceContext&, int) {}
const TextItem CancelPrompt[] = {{}};
const TextItem ResultPrompts[] = {{}};
const TextItem RecordMessage[] = {{}};
const FingerTip FingerTable[11] = {};
int FingerForColumn(int) {
  return 0;
}
void DrawKeyCell(GameGlobals&, DeviceContext&, int, KeyCellState) {}
void FillKeyFace(GameGlobals&, DeviceContext&, int, int, ColorRef) {}
void DrawHands(GameGlobals&, DeviceContext&, int) {}
void DrawFinger(GameGlobals&, DeviceContext&, int, int, int, int) {}
void DrawNail(GameGlobals&, DeviceContext&, int, int, int, ColorRef) {}
void ShowFingerForKey(GameGlobals&, DeviceContext&, int, int) {}
bool LocateKey(const GameGlobals&, int, int*, int*) {
  return false;
}
void KeyCapOrigin(int, int, int*, int*) {}
bool IsHomeKey(int, int) {
  return false;
}
void DrawKeyRow(GameGlobals&, DeviceContext&, int, const char*, KeyGuideMode) {}
void DrawKeyGuide(GameGlobals&, DeviceContext&, KeyGuideMode) {}
