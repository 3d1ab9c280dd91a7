#include "install/install_support.h"

#include <cairo.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

Outcome RunProgram(const std::string& args, const std::string& prefix, const std::string& input) {
  const std::string cmd = prefix + (prefix.empty() ? "" : " ") + WENLOTKA_BINARY + " " + args +
                          " >.install-test.out 2>.install-test.err <" + input;
  Outcome r;
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadBytes(".install-test.out");
  r.err = ReadBytes(".install-test.err");
  std::remove(".install-test.out");
  std::remove(".install-test.err");
  return r;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

Picture ReadPng(const std::string& path) {
  Picture p;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    p.width = cairo_image_surface_get_width(s);
    p.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const bool alpha = cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32;
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < p.height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
      for (int x = 0; x < p.width; ++x) {
        std::uint32_t v = row[x];
        const std::uint32_t a = alpha ? v >> 24 : 0xFF;
        auto un = [a](std::uint32_t c) { return a == 0 ? 0u : (c * 255 + a / 2) / a; };
        v = a << 24 | un((v >> 16) & 0xFF) << 16 | un((v >> 8) & 0xFF) << 8 | un(v & 0xFF);
        p.argb.push_back(v);
      }
    }
  }
  cairo_surface_destroy(s);
  return p;
}

int CountColour(const Picture& p, std::uint32_t rgb, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1 && y < p.height; ++y) {
    for (int x = x0; x < x1 && x < p.width; ++x) n += p.At(x, y) == (0xFF000000u | rgb);
  }
  return n;
}

bool HaveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}
