#include "platform/report_box.h"

#include <algorithm>
#include <cstring>

#include "platform/cairo_dc.h"

namespace {

constexpr ColorRef ReportFace = 0xF0F0F0;
constexpr ColorRef ReportCaptionBar = 0x800000;  // navy
constexpr ColorRef ReportBorder = 0x404040;
constexpr ColorRef ReportButton = 0xE0E0E0;

// ＭＳ ゴシック: the fixed-pitch Japanese face, which has the Latin letters too.
constexpr const char* ReportFaceName = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

}  // namespace

ReportBoxLayout DrawReportBox(CairoDeviceContext& surface, const std::string& caption,
                              const std::vector<std::string>& lines, int hidpiScale) {
  const ColorRef savedText = surface.GetTextColor();
  const ColorRef savedBk = surface.GetBkColor();
  ReportBoxLayout layout;
  // Text cells of 8 x 16 device pixels per byte, grown with the window as
  // the game's own text grows (and so doubled on HiDPI screens).
  const int fit = std::min((surface.Width() - 2) / 640, (surface.Height() - 2) / 400);
  const int s = std::max({1, fit, hidpiScale});
  const int u = 8 * s;
  const int rowH = 16 * s;
  size_t longest = caption.size() + 4;
  for (const std::string& line : lines) longest = std::max(longest, line.size());
  const int boxW = std::max(static_cast<int>(longest) * u + 4 * u, 30 * u);
  const int boxH = rowH * (static_cast<int>(lines.size()) + 5) + rowH / 2;
  const int left = (surface.Width() - boxW) / 2;
  const int top = (surface.Height() - boxH) / 2;
  LogFont font;
  font.lfHeight = rowH;
  font.lfWidth = u;
  font.lfCharSet = 128;
  std::strncpy(font.lfFaceName, ReportFaceName, sizeof font.lfFaceName - 1);

  surface.FillRect({left - s, top - s, left + boxW + s, top + boxH + s}, ReportBorder);
  surface.FillRect({left, top, left + boxW, top + boxH}, ReportFace);
  const int barH = rowH + 2 * s * 3;
  surface.FillRect({left, top, left + boxW, top + barH}, ReportCaptionBar);
  surface.SetTextColor(0xFFFFFF);
  surface.SetBkColor(ReportCaptionBar);
  surface.TextOut(left + u, top + 3 * s, font, caption);
  layout.closeBox = {left + boxW - barH, top, left + boxW, top + barH};
  surface.TextOut(layout.closeBox.left + (barH - u) / 2, top + 3 * s, font, "x");

  surface.SetTextColor(0x000000);
  surface.SetBkColor(ReportFace);
  int y = top + barH + rowH;
  for (const std::string& line : lines) {
    surface.TextOut(left + 2 * u, y, font, line);
    y += rowH;
  }
  const int buttonW = 10 * u;
  const int buttonH = rowH + 8 * s;
  const Rect ok{left + (boxW - buttonW) / 2, top + boxH - buttonH - rowH / 2,
                left + (boxW + buttonW) / 2, top + boxH - rowH / 2};
  layout.okButton = ok;
  surface.FillRect(ok, ReportBorder);
  surface.FillRect({ok.left + s, ok.top + s, ok.right - s, ok.bottom - s}, ReportButton);
  surface.SetBkColor(ReportButton);
  surface.TextOut(ok.left + (buttonW - 2 * u) / 2, ok.top + 4 * s, font, "OK");
  surface.SetTextColor(savedText);
  surface.SetBkColor(savedBk);
  return layout;
}
