// Writes the program's icon as PNG. Usage: make_icon OUTPUT.png [SIZE]
#include <cstdio>
#include <cstdlib>

#include "platform/cairo_dc.h"
#include "platform/icon.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_icon OUTPUT.png [SIZE]\n");
    return 2;
  }
  int n = argc > 2 ? std::atoi(argv[2]) : 128;
  if (n < 16 || n > 1024) {
    std::fprintf(stderr, "make_icon: SIZE must be 16..1024\n");
    return 2;
  }
  CairoDeviceContext dc(n, n);
  DrawAppIcon(dc);
  if (!dc.WritePng(argv[1])) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
