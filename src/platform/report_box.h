// The save-failure report as the window shows it: a box with a caption bar,
// the lines and an OK button, drawn over whatever frame the surface holds.
//
// Callers: the window's modal report loop (and the pixel tests, which draw it
// without a display). Texts are CP932.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

class CairoDeviceContext;

struct ReportBoxLayout {
  Rect okButton{};
  Rect closeBox{};
};

// `hidpiScale` is the window's device pixels per window coordinate, rounded
// (1 on ordinary screens). Leaves the surface's colours as they were.
ReportBoxLayout DrawReportBox(CairoDeviceContext& surface, const std::string& caption,
                              const std::vector<std::string>& lines, int hidpiScale);
