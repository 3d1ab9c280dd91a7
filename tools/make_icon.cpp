// Writes the program's icon as PNGs with an alpha channel, one per size.
// Usage: make_icon OUTPUT_DIR SIZE...   writes OUTPUT_DIR/SIZExSIZE/apps/wenlotka.png
//
// The game's renderer draws opaque pixels only, so the icon is drawn twice,
// over white and over black: where both agree the pixel is opaque; where they
// differ the difference is how much background shows through. That recovers
// the coverage of the anti-aliased edges too, not just the bare background.
#include <cairo.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/cairo_dc.h"
#include "platform/icon.h"

namespace {

bool MakeFolder(const std::string& path) {
  for (std::size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
    const std::string part = path.substr(0, at);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (at == std::string::npos) return true;
  }
}

bool WriteIcon(const std::string& path, int n) {
  CairoDeviceContext overWhite(n, n), overBlack(n, n);
  DrawAppIcon(overWhite, 0xFFFFFF);
  DrawAppIcon(overBlack, 0x000000);
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, n, n);
  cairo_surface_flush(out);
  unsigned char* data = cairo_image_surface_get_data(out);
  const int stride = cairo_image_surface_get_stride(out);
  for (int y = 0; y < n; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < n; ++x) {
      const ColorRef w = overWhite.PixelAt(x, y), b = overBlack.PixelAt(x, y);
      // Over black a pixel is alpha * colour, which is already the
      // premultiplied colour Cairo stores; alpha is 255 minus the widest gap.
      const int gap =
          std::max({RedOf(w) - RedOf(b), GreenOf(w) - GreenOf(b), BlueOf(w) - BlueOf(b), 0});
      const int alpha = 255 - std::min(gap, 255);
      auto clamp = [alpha](int v) { return static_cast<std::uint32_t>(std::min(v, alpha)); };
      row[x] = static_cast<std::uint32_t>(alpha) << 24 | clamp(RedOf(b)) << 16 |
               clamp(GreenOf(b)) << 8 | clamp(BlueOf(b));
    }
  }
  cairo_surface_mark_dirty(out);
  const bool ok = cairo_surface_write_to_png(out, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(out);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_icon OUTPUT_DIR SIZE...\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    const int n = std::atoi(argv[i]);
    if (n < 16 || n > 1024) {
      std::fprintf(stderr, "make_icon: SIZE must be 16..1024, not '%s'\n", argv[i]);
      return 2;
    }
    const std::string folder =
        std::string(argv[1]) + "/" + std::to_string(n) + "x" + std::to_string(n) + "/apps";
    const std::string path = folder + "/wenlotka.png";
    if (!MakeFolder(folder) || !WriteIcon(path, n)) {
      std::fprintf(stderr, "make_icon: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
