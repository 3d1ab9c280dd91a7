#include "platform/cairo_dc.h"

#include <cairo.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "platform/cp932.h"
#include "platform/font_cache.h"

namespace {

std::uint32_t ToPixel(ColorRef c) {
  return (static_cast<std::uint32_t>(RedOf(c)) << 16) |
         (static_cast<std::uint32_t>(GreenOf(c)) << 8) | static_cast<std::uint32_t>(BlueOf(c));
}

void SetSource(cairo_t* cr, ColorRef c) {
  cairo_set_source_rgb(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
}

bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Row spans of the ellipse inscribed in a w x h pixel box: row j covers
// columns [lo[j], w - 1 - lo[j]]. A pixel is inside when its centre lies in
// the ellipse with semi-axes w/2 and h/2, tested in integers on doubled
// coordinates. Every row keeps at least its middle pixel(s) and the middle
// row(s) span the full width, so the shape touches all four sides at any size.
std::vector<int> EllipseSpans(int w, int h) {
  std::vector<int> lo(static_cast<size_t>(h));
  const std::int64_t ww = static_cast<std::int64_t>(w) * w;
  const std::int64_t hh = static_cast<std::int64_t>(h) * h;
  const int middle = (w - 1) / 2;
  for (int j = 0; j < h; ++j) {
    std::int64_t v = 2 * j + 1 - h;
    if (v >= -1 && v <= 1) {
      lo[static_cast<size_t>(j)] = 0;
      continue;
    }
    int left = middle;
    for (int i = 0; i <= middle; ++i) {
      std::int64_t u = 2 * i + 1 - w;
      if (u * u * hh + v * v * ww <= ww * hh) {
        left = i;
        break;
      }
    }
    lo[static_cast<size_t>(j)] = left;
  }
  return lo;
}

}  // namespace

struct CairoDeviceContext::Impl {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  int width = 0;
  int height = 0;
  ColorRef text = 0x000000;
  ColorRef background = 0xFFFFFF;
  FontCache fonts;
  cairo_font_options_t* fontOptions = nullptr;

  void Create(int w, int h) {
    Destroy();
    width = std::max(1, w);
    height = std::max(1, h);
    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cr = cairo_create(surface);
    assert(cairo_status(cr) == CAIRO_STATUS_SUCCESS && "could not create the drawing surface");
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, fontOptions);
    SetSource(cr, 0xFFFFFF);
    cairo_paint(cr);
  }
  void Destroy() {
    if (cr) cairo_destroy(cr);
    if (surface) cairo_surface_destroy(surface);
    cr = nullptr;
    surface = nullptr;
  }
  std::uint32_t* Row(int y) const {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                            static_cast<std::ptrdiff_t>(y) *
                                                cairo_image_surface_get_stride(surface));
  }
  void DrawGlyph(double left, double top, double cellWidth, double cellHeight, char32_t c,
                 int bytes, const ResolvedFace& face);
};

CairoDeviceContext::CairoDeviceContext(int width, int height) : impl_(std::make_unique<Impl>()) {
  impl_->fontOptions = cairo_font_options_create();
  // Cells are exact sizes: hinting would move glyph edges and metrics off them.
  cairo_font_options_set_hint_style(impl_->fontOptions, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(impl_->fontOptions, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(impl_->fontOptions, CAIRO_ANTIALIAS_GRAY);
  impl_->Create(width, height);
}

CairoDeviceContext::~CairoDeviceContext() {
  impl_->Destroy();
  cairo_font_options_destroy(impl_->fontOptions);
}

void CairoDeviceContext::Resize(int width, int height) {
  impl_->Create(width, height);
}

int CairoDeviceContext::Width() const {
  return impl_->width;
}

int CairoDeviceContext::Height() const {
  return impl_->height;
}

void CairoDeviceContext::SetTextColor(ColorRef colour) {
  impl_->text = colour;
}

void CairoDeviceContext::SetBkColor(ColorRef colour) {
  impl_->background = colour;
}

ColorRef CairoDeviceContext::GetTextColor() const {
  return impl_->text;
}

ColorRef CairoDeviceContext::GetBkColor() const {
  return impl_->background;
}

// One glyph stretched over its cell: the height from ascent plus descent, the
// width from the advance of "0" for a one-byte character and from the em for
// a two-byte one (a wider glyph is narrowed to fit), centred in the cell.
void CairoDeviceContext::Impl::DrawGlyph(double left, double top, double cellWidth,
                                         double cellHeight, char32_t c, int bytes,
                                         const ResolvedFace& face) {
  if (!face.face || c == U' ' || c == 0x3000) return;
  double advance = face.AdvanceOf(c);
  double reference = bytes == 1 ? std::max(face.digitAdvance, advance) : std::max(1.0, advance);
  double sx = cellWidth / reference;
  double sy = cellHeight / (face.ascent + face.descent);
  cairo_matrix_t matrix;
  cairo_matrix_init_scale(&matrix, sx, sy);
  cairo_set_font_face(cr, face.face);
  cairo_set_font_matrix(cr, &matrix);
  char utf8[5];
  EncodeUtf8(c, utf8);
  double offset = (cellWidth - advance * sx) / 2;
  if (offset < 0) offset = 0;
  cairo_move_to(cr, left + offset, top + face.ascent * sy);
  cairo_show_text(cr, utf8);
}

void CairoDeviceContext::TextOut(int left, int top, const LogFont& font, std::string_view cp932) {
  if (cp932.empty()) return;
  std::optional<std::u32string> chars = Cp932ToUnicode(cp932);
  if (!chars || chars->empty()) return;
  Impl& d = *impl_;
  const int unit = std::max(0, font.lfWidth);
  const int height = std::max(0, font.lfHeight);
  const int cellWidth = unit * static_cast<int>(cp932.size());
  if (cellWidth == 0 || height == 0) return;

  FillRect({left, top, left + cellWidth, top + height}, d.background);

  std::string_view faceName(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
  const ResolvedFace& requested = d.fonts.Get(faceName, font.lfCharSet, font.lfWeight);
  cairo_save(d.cr);
  cairo_rectangle(d.cr, left, top, cellWidth, height);
  cairo_clip(d.cr);
  cairo_set_antialias(d.cr, CAIRO_ANTIALIAS_GRAY);
  SetSource(d.cr, d.text);
  // Walk the bytes beside the decoded characters so each character lands on
  // its own byte columns, whatever its face's advance.
  size_t byte = 0;
  for (char32_t c : *chars) {
    if (byte >= cp932.size()) break;
    int bytes = IsLeadByte(static_cast<unsigned char>(cp932[byte])) ? 2 : 1;
    const ResolvedFace* face = &requested;
    // Cairo draws nothing for a glyph the face lacks (DejaVu has no kana).
    if (!face->HasGlyph(c)) {
      const ResolvedFace& japanese = d.fonts.JapaneseFallback(font.lfWeight);
      if (japanese.HasGlyph(c)) face = &japanese;
    }
    d.DrawGlyph(left + static_cast<double>(byte) * unit, top, static_cast<double>(bytes) * unit,
                height, c, bytes, *face);
    byte += static_cast<size_t>(bytes);
  }
  cairo_restore(d.cr);
}

void CairoDeviceContext::FillRect(const Rect& rect, ColorRef colour) {
  Impl& d = *impl_;
  int left = std::max(rect.left, 0);
  int top = std::max(rect.top, 0);
  int right = std::min(rect.right, d.width);
  int bottom = std::min(rect.bottom, d.height);
  if (left >= right || top >= bottom) return;
  cairo_set_antialias(d.cr, CAIRO_ANTIALIAS_NONE);
  SetSource(d.cr, colour);
  cairo_rectangle(d.cr, left, top, right - left, bottom - top);
  cairo_fill(d.cr);
}

// Written straight into the pixels: Cairo's own ellipse cannot keep a closed
// one-pixel outline inside the box at every size.
void CairoDeviceContext::Ellipse(const Rect& rect, ColorRef fill, ColorRef outline) {
  Impl& d = *impl_;
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  if (rect.right <= 0 || rect.bottom <= 0 || rect.left >= d.width || rect.top >= d.height) return;
  std::vector<int> lo = EllipseSpans(w, h);
  auto inside = [&](int i, int j) {
    if (i < 0 || j < 0 || i >= w || j >= h) return false;
    int l = lo[static_cast<size_t>(j)];
    return i >= l && i <= w - 1 - l;
  };
  const std::uint32_t fillPixel = ToPixel(fill);
  const std::uint32_t outlinePixel = ToPixel(outline);
  cairo_surface_flush(d.surface);
  for (int j = 0; j < h; ++j) {
    int y = rect.top + j;
    if (y < 0 || y >= d.height) continue;
    std::uint32_t* row = d.Row(y);
    int l = lo[static_cast<size_t>(j)];
    for (int i = l; i <= w - 1 - l; ++i) {
      int x = rect.left + i;
      if (x < 0 || x >= d.width) continue;
      // A pixel with an outside neighbour above, below or beside it is on the
      // outline; that keeps the outline closed and one pixel thick.
      bool edge = !inside(i - 1, j) || !inside(i + 1, j) || !inside(i, j - 1) || !inside(i, j + 1);
      row[x] = edge ? outlinePixel : fillPixel;
    }
  }
  int x0 = std::max(rect.left, 0);
  int y0 = std::max(rect.top, 0);
  int x1 = std::min(rect.right, d.width);
  int y1 = std::min(rect.bottom, d.height);
  cairo_surface_mark_dirty_rectangle(d.surface, x0, y0, x1 - x0, y1 - y0);
}

// A stroked line at an integer y lands between rows, so lines are filled
// rectangles. A pen of width n covers rows y - n/2 .. y - n/2 + n - 1 (columns
// for a vertical line): width 1 is row y, width 2 rows y-1 and y, width 3
// rows y-1..y+1. The end point is left out, as LineTo does.
void CairoDeviceContext::DrawLine(int x0, int y0, int x1, int y1, int penWidth, ColorRef colour) {
  const int width = std::max(1, penWidth);
  if (y0 == y1 && x0 != x1) {
    int first = x0 < x1 ? x0 : x1 + 1;
    int last = x0 < x1 ? x1 : x0 + 1;
    int top = y0 - width / 2;
    FillRect({first, top, last, top + width}, colour);
  } else if (x0 == x1 && y0 != y1) {
    int first = y0 < y1 ? y0 : y1 + 1;
    int last = y0 < y1 ? y1 : y0 + 1;
    int left = x0 - width / 2;
    FillRect({left, first, left + width, last}, colour);
  }
}

ColorRef CairoDeviceContext::PixelAt(int x, int y) const {
  const Impl& d = *impl_;
  if (x < 0 || y < 0 || x >= d.width || y >= d.height) return 0x000000;
  cairo_surface_flush(d.surface);
  std::uint32_t p = d.Row(y)[x];
  return MakeColorRef((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

const std::uint32_t* CairoDeviceContext::Pixels() const {
  cairo_surface_flush(impl_->surface);
  return impl_->Row(0);
}

int CairoDeviceContext::StrideBytes() const {
  return cairo_image_surface_get_stride(impl_->surface);
}

bool CairoDeviceContext::WritePng(const std::string& path) const {
  cairo_surface_flush(impl_->surface);
  return cairo_surface_write_to_png(impl_->surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool CairoDeviceContext::ReadPng(const std::string& path) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    return false;
  }
  Impl& d = *impl_;
  d.Create(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png));
  cairo_set_source_surface(d.cr, png, 0, 0);
  cairo_set_operator(d.cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(d.cr);
  cairo_set_operator(d.cr, CAIRO_OPERATOR_OVER);
  cairo_surface_destroy(png);
  return true;
}

int CairoDeviceContext::CachedFaceCount() const {
  return impl_->fonts.Size();
}

void CairoDeviceContext::CopyPixelsFrom(const CairoDeviceContext& other, int atX, int atY) {
  Impl& d = *impl_;
  const Impl& s = *other.impl_;
  cairo_surface_flush(s.surface);
  cairo_surface_flush(d.surface);
  const int x0 = std::max(0, atX);
  const int y0 = std::max(0, atY);
  const int x1 = std::min(d.width, atX + s.width);
  const int y1 = std::min(d.height, atY + s.height);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y) {
    std::memcpy(d.Row(y) + x0, s.Row(y - atY) + (x0 - atX), static_cast<size_t>(x1 - x0) * 4);
  }
  cairo_surface_mark_dirty_rectangle(d.surface, x0, y0, x1 - x0, y1 - y0);
}
