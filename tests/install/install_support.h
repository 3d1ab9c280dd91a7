// Runs the real program the way a user or the desktop does, and reads back
// what it leaves behind: files, pictures, the installed resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `prefix wenlotka args` through the shell in the current directory;
// `prefix` may set the environment (env ...) or change the user (setpriv ...).
// Standard input comes from the file `input`.
Outcome RunProgram(const std::string& args, const std::string& prefix = "",
                   const std::string& input = "/dev/null");

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// A PNG as 0xAARRGGBB pixels (colours not premultiplied); empty when unreadable.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  std::uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};
Picture ReadPng(const std::string& path);

// Pixels of exactly `rgb` (0xRRGGBB, opaque) in [x0, x1) x [y0, y1).
int CountColour(const Picture& p, std::uint32_t rgb, int x0, int y0, int x1, int y1);

// True when `tool` runs from PATH.
bool HaveTool(const std::string& tool);
