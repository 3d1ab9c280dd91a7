// The drawing surface the game draws on, in device pixels.
//
// Callers: the text screen (src/textscreen) only; screens reach it through
// PutText, FillBox and friends. The one implementation is CairoDeviceContext.
//
// Operations, in order of use:
//   SetTextColor / SetBkColor  colour state, kept until changed (text calls use it)
//   TextOut                    one character cell, opaque background
//   FillRect                   solid rectangle
//   Ellipse                    filled ellipse with a one-pixel outline
//   DrawLine                   solid line of a given width, end point excluded
#pragma once

#include <string_view>

#include "platform/types.h"

class DeviceContext {
 public:
  virtual ~DeviceContext() = default;

  virtual void SetTextColor(ColorRef colour) = 0;
  virtual void SetBkColor(ColorRef colour) = 0;
  virtual ColorRef GetTextColor() const = 0;
  virtual ColorRef GetBkColor() const = 0;

  // Draws `cp932` (one character of one or two bytes, or a few ASCII bytes)
  // with its cell's top-left at (left, top). The cell is lfWidth wide for each
  // byte and lfHeight high, filled with the background colour; the glyph is
  // stretched to fill it. Bytes that do not decode draw nothing.
  virtual void TextOut(int left, int top, const LogFont& font, std::string_view cp932) = 0;

  // Covers exactly [left, right) x [top, bottom). Empty rectangles draw nothing.
  virtual void FillRect(const Rect& rect, ColorRef colour) = 0;

  // The ellipse inscribed in [left, right) x [top, bottom): filled, with a
  // closed one-pixel outline, never leaving the rectangle.
  virtual void Ellipse(const Rect& rect, ColorRef fill, ColorRef outline) = 0;

  // A solid line from (x0, y0) towards (x1, y1), the end point excluded,
  // penWidth pixels thick. Only horizontal and vertical lines are drawn.
  virtual void DrawLine(int x0, int y0, int x1, int y1, int penWidth, ColorRef colour) = 0;
};
