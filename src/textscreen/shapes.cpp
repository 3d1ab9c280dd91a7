// Boxes, ellipses, dots, framed key faces and the menu underline.
#include <cstring>

#include "textscreen/textscreen.h"

namespace {

// The device rectangle of a shape. The far corner is pulled in by one pixel
// and the device excludes right and bottom again, so two shapes sharing a
// logical edge keep a one-pixel line of background between them.
Rect DeviceRect(const GameGlobals& g, int y1, int x1, int y2, int x2) {
  return Rect{ToDeviceX(g, x1), ToDeviceY(g, y1), ToDeviceX(g, x2) - 1, ToDeviceY(g, y2) - 1};
}

}  // namespace

void FillBox(const GameGlobals& g, DeviceContext& dc, int y1, int x1, int y2, int x2,
             ColorRef colour) {
  dc.FillRect(DeviceRect(g, y1, x1, y2, x2), colour);
}

void FillEllipse(const GameGlobals& g, DeviceContext& dc, int y1, int x1, int y2, int x2,
                 ColorRef fill, ColorRef outline) {
  dc.Ellipse(DeviceRect(g, y1, x1, y2, x2), fill, outline);
}

void DrawDot(const GameGlobals& g, DeviceContext& dc, int y, int x, ColorRef fill,
             ColorRef outline) {
  FillEllipse(g, dc, y + 1, x + 1, y + 15, x + 15, fill, outline);
}

void FillFramedBox(const GameGlobals& g, DeviceContext& dc, int y1, int x1, int y2, int x2,
                   ColorRef inner, ColorRef outer, int insetLeft, int insetTop, int insetRight,
                   int insetBottom) {
  Rect r = DeviceRect(g, y1, x1, y2, x2);
  dc.FillRect(r, outer);
  // Insets are device pixels: the frame stays one pixel thick at any size.
  r.left += insetLeft;
  r.top += insetTop;
  r.right -= insetRight;
  r.bottom -= insetBottom;
  dc.FillRect(r, inner);
}

void UnderlineText(const GameGlobals& g, DeviceContext& dc, int y, int x, const char* text,
                   int offset, ColorRef colour) {
  if (y < 1) y = 1;
  if (x < 1) x = 1;
  const int rowHeight = ToDeviceY(g, 16) - ToDeviceY(g, 0);
  const int pairWidth = ToDeviceX(g, 16) - ToDeviceX(g, 0);
  const int d = rowHeight < pairWidth ? rowHeight : pairWidth;
  // One logical pixel high, plus one so the line never vanishes when shrunk.
  const int penWidth = ToDeviceY(g, 1) - ToDeviceY(g, 0) + 1;
  const int length = text != nullptr ? static_cast<int>(std::strlen(text)) : 0;
  const int lineY = offset + ToDeviceY(g, y) + d + 1;
  dc.DrawLine(ToDeviceX(g, x), lineY, ToDeviceX(g, x + CellWidth * length), lineY, penWidth,
              colour);
}
