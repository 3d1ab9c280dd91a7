// Every screen the game shows, drawn by the real game code through the view
// on a fixed virtual clock, so the same build gives the same pixels each time.
//
// Callers: the pixel identity test, and any later test that must show a change
// leaves the existing screens untouched (build the tour, compare with the
// references in tests/pixels/ref).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/cairo_dc.h"

struct TourShot {
  std::string name;
  std::unique_ptr<CairoDeviceContext> pixels;
};

// The title in both banner phases, the main menu, the three level menus, each
// level's practice screen before, during and after a run and after a miss, the
// record screen, the save-failure report, the progress screen and a first Weak
// Keys run, at one client size. Runs in scratch directories of its own, so no
// record file of the caller is read.
std::vector<TourShot> TourScreens(int width, int height);

// The shots one above the other, as the reference images hold them.
std::unique_ptr<CairoDeviceContext> StackShots(const std::vector<TourShot>& shots);

// The reference image for a client size: tests/pixels/ref/tour-WxH.png.
std::string TourReferencePath(int width, int height);
