// Placeholder bodies, replaced as the text screen is built.
#include "textscreen/textscreen.h"

int ToDeviceX(const GameGlobals&, int x) {
  return x;
}
int ToDeviceY(const GameGlobals&, int y) {
  return y;
}
CellMetrics GetCellMetrics(const GameGlobals&, double) {
  return {};
}
int ClassifyText(const char*) {
  return 0;
}
FontKind FontKindOf(const char*) {
  return FontKindLatin;
}
bool IsLoneRoundChar(const char*) {
  return false;
}
void BuildLogFont(LogFont&, int, int, int, int, FontKind) {}
void SetColors(DeviceContext& dc, ColorRef t, ColorRef b) {
  dc.SetTextColor(t);
  dc.SetBkColor(b);
}
void ClearScreen(const GameGlobals&, DeviceContext&) {}
void FillBox(const GameGlobals&, DeviceContext&, int, int, int, int, ColorRef) {}
void FillEllipse(const GameGlobals&, DeviceContext&, int, int, int, int, ColorRef, ColorRef) {}
void DrawDot(const GameGlobals&, DeviceContext&, int, int, ColorRef, ColorRef) {}
void FillFramedBox(const GameGlobals&, DeviceContext&, int, int, int, int, ColorRef, ColorRef, int,
                   int, int, int) {}
void UnderlineText(const GameGlobals&, DeviceContext&, int, int, const char*, int, ColorRef) {}
char ToHalfWidth(unsigned char, unsigned char) {
  return ' ';
}
void PaintText(GameGlobals&, DeviceContext&, int, int, const char*, double, int) {}
void PutText(GameGlobals&, DeviceContext&, int, int, const char*) {}
void PutScaledText(GameGlobals&, DeviceContext&, int, int, const char*, double) {}
void BlankText(GameGlobals&, DeviceContext&, int, int, const char*) {}
void PutTextList(GameGlobals&, DeviceContext&, const TextItem*) {}
void PutCenteredList(GameGlobals&, DeviceContext&, const TextItem*) {}
void BlankTextList(GameGlobals&, DeviceContext&, const TextItem*) {}
const char* KeyGlyphText(int, char buffer[3]) {
  buffer[0] = 0;
  return buffer;
}
void PutKeyGlyph(GameGlobals&, DeviceContext&, int, int, int, double) {}
