// The one renderer: a device context over a Cairo image surface.
//
// Callers: the app creates one per window (or headless run), resizes it with
// the client area, hands it to the game as its DeviceContext, and shows it
// (window) or saves it (screenshot). Tests read its pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_context.h"

class CairoDeviceContext final : public DeviceContext {
 public:
  CairoDeviceContext(int width, int height);
  ~CairoDeviceContext() override;
  CairoDeviceContext(const CairoDeviceContext&) = delete;
  CairoDeviceContext& operator=(const CairoDeviceContext&) = delete;

  // New size in device pixels; the content becomes white.
  void Resize(int width, int height);
  int Width() const;
  int Height() const;

  void SetTextColor(ColorRef colour) override;
  void SetBkColor(ColorRef colour) override;
  ColorRef GetTextColor() const override;
  ColorRef GetBkColor() const override;
  void TextOut(int left, int top, const LogFont& font, std::string_view cp932) override;
  void FillRect(const Rect& rect, ColorRef colour) override;
  void Ellipse(const Rect& rect, ColorRef fill, ColorRef outline) override;
  void DrawLine(int x0, int y0, int x1, int y1, int penWidth, ColorRef colour) override;

  // Colour of one pixel; black outside the surface.
  ColorRef PixelAt(int x, int y) const;
  // 0x00RRGGBB pixels, row after row, `StrideBytes()` apart.
  const std::uint32_t* Pixels() const;
  int StrideBytes() const;
  bool WritePng(const std::string& path) const;
  // Replaces size and pixels with a PNG's; false (and nothing changed) when
  // the file cannot be read as one.
  bool ReadPng(const std::string& path);
  // Copies the other surface's pixels, its top-left at (atX, atY), over the
  // part both cover (the window keeps the game's frame under its modal report
  // this way).
  void CopyPixelsFrom(const CairoDeviceContext& other, int atX = 0, int atY = 0);

  // Faces resolved through fontconfig so far (for tests and benchmarks).
  int CachedFaceCount() const;
  // Text cells kept ready to copy (for tests and benchmarks).
  int CachedCellCount() const;

  // What was drawn since the last call, as few rectangles that cover it,
  // clipped to the surface; the whole surface once there are many; nothing
  // when nothing was drawn. The window shows just these.
  std::vector<Rect> TakeDamage();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
