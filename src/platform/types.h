// Plain value types shared by the platform layer and the game.
#pragma once

#include <cstdint>

// A colour as the game stores it: 0x00BBGGRR, red in the low byte.
using ColorRef = std::uint32_t;

constexpr ColorRef MakeColorRef(int r, int g, int b) {
  return static_cast<ColorRef>(r & 0xFF) | (static_cast<ColorRef>(g & 0xFF) << 8) |
         (static_cast<ColorRef>(b & 0xFF) << 16);
}
constexpr int RedOf(ColorRef c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(ColorRef c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

// Device rectangle: left and top inclusive, right and bottom exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// A font request, shaped like the record the game fills for every string.
struct LogFont {
  int lfHeight = 0;
  int lfWidth = 0;
  int lfEscapement = 0;
  int lfOrientation = 0;
  int lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  char lfFaceName[32] = {};  // CP932 bytes, zero-terminated
};

constexpr std::uint8_t AnsiCharset = 0;
constexpr std::uint8_t DefaultCharset = 1;
constexpr std::uint8_t ShiftJisCharset = 128;

// Calendar seconds plus milliseconds 0..999.
struct TimeStamp {
  std::int64_t seconds = 0;
  int millis = 0;
};
