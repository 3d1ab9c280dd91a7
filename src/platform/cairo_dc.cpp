#include "platform/cairo_dc.h"

#include <cairo.h>
#include <pixman.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
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

// Plain ASCII decodes to itself in CP932 (0x5C and 0x7E included), so it
// needs no converter.
std::optional<std::u32string> DecodeCp932(std::string_view cp932) {
  if (std::all_of(cp932.begin(), cp932.end(),
                  [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
    return std::u32string(cp932.begin(), cp932.end());
  }
  return Cp932ToUnicode(cp932);
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

// A text cell as drawn once: the face, the cell size, the bytes and both
// colours decide every pixel of it, so it is kept and copied thereafter.
struct CellKey {
  const ResolvedFace* face = nullptr;
  int unit = 0;
  int height = 0;
  ColorRef text = 0;
  ColorRef background = 0;
  std::uint64_t bytes = 0;
  int length = 0;
  bool operator==(const CellKey&) const = default;
};

struct CellKeyHash {
  size_t operator()(const CellKey& k) const {
    std::uint64_t h = reinterpret_cast<std::uintptr_t>(k.face);
    for (std::uint64_t v :
         {static_cast<std::uint64_t>(k.unit), static_cast<std::uint64_t>(k.height),
          static_cast<std::uint64_t>(k.text), static_cast<std::uint64_t>(k.background), k.bytes,
          static_cast<std::uint64_t>(k.length)}) {
      h = (h ^ v) * 0x100000001B3ull;
      h ^= h >> 29;
    }
    return static_cast<size_t>(h);
  }
};

// Cells on one screen number a few hundred; the bound only guards against a
// run that somehow meets many sizes and colours without a resize.
constexpr size_t MaxCachedCells = 4096;
// Longer strings (the report's lines) are drawn without the cache.
constexpr size_t MaxCachedBytes = 8;
// Past this many rectangles one whole-surface update is cheaper.
constexpr size_t MaxDamageRects = 24;

int Area(const Rect& r) {
  return (r.right - r.left) * (r.bottom - r.top);
}

Rect Union(const Rect& a, const Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Two rectangles are worth one when their union shows few pixels that neither
// covers (text cells side by side, a cap and its label).
bool WorthMerging(const Rect& a, const Rect& b) {
  const int together = Area(Union(a, b));
  return together <= (Area(a) + Area(b)) + (Area(a) + Area(b)) / 4 + 64;
}

}  // namespace

struct CairoDeviceContext::Impl {
  cairo_surface_t* surface = nullptr;
  std::uint32_t* data = nullptr;
  int strideWords = 0;
  int width = 0;
  int height = 0;
  ColorRef text = 0x000000;
  ColorRef background = 0xFFFFFF;
  FontCache fonts;
  cairo_font_options_t* fontOptions = nullptr;

  std::unordered_map<CellKey, std::vector<std::uint32_t>, CellKeyHash> cells;
  // The last font request and its face: the painter asks for the same one
  // character after character.
  LogFont lastFont;
  const ResolvedFace* lastFace = nullptr;

  std::vector<Rect> damage;
  bool damageAll = false;

  // The game draws ellipses of a handful of sizes (dots, nails, fingertips).
  std::map<std::pair<int, int>, std::vector<int>> ellipseSpans;
  const std::vector<int>& SpansOf(int w, int h) {
    auto found = ellipseSpans.find({w, h});
    if (found != ellipseSpans.end()) return found->second;
    if (ellipseSpans.size() >= 256) ellipseSpans.clear();
    return ellipseSpans.emplace(std::make_pair(w, h), EllipseSpans(w, h)).first->second;
  }

  void Create(int w, int h) {
    Destroy();
    width = std::max(1, w);
    height = std::max(1, h);
    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    assert(cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
           "could not create the drawing surface");
    data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface));
    strideWords = cairo_image_surface_get_stride(surface) / 4;
    for (int y = 0; y < height; ++y) std::fill_n(Row(y), width, 0x00FFFFFFu);
    // The cells were drawn for the old size's cell metrics.
    cells.clear();
    damage.clear();
    damageAll = true;
  }
  void Destroy() {
    if (surface) cairo_surface_destroy(surface);
    surface = nullptr;
    data = nullptr;
  }
  std::uint32_t* Row(int y) const { return data + static_cast<std::ptrdiff_t>(y) * strideWords; }
  // Pixels are written straight into the rows; the surface only ever reaches
  // Cairo again to be read (PNG), and image surfaces keep no copy of their own.
  // pixman fills with the same wide stores Cairo's own paint uses.
  void Fill(int left, int top, int right, int bottom, std::uint32_t pixel) {
    // Narrow fills (frames, strips) cost less than pixman's dispatch.
    if (right - left >= 32 &&
        pixman_fill(data, strideWords, 32, left, top, right - left, bottom - top, pixel)) {
      return;
    }
    for (int y = top; y < bottom; ++y) std::fill(Row(y) + left, Row(y) + right, pixel);
  }
  void AddDamage(Rect r) {
    if (damageAll) return;
    for (bool merged = true; merged;) {
      merged = false;
      for (size_t i = 0; i < damage.size(); ++i) {
        if (WorthMerging(damage[i], r)) {
          r = Union(damage[i], r);
          damage.erase(damage.begin() + static_cast<std::ptrdiff_t>(i));
          merged = true;
          break;
        }
      }
    }
    damage.push_back(r);
    if (damage.size() > MaxDamageRects) damageAll = true;
  }
  const ResolvedFace& FaceFor(const LogFont& font);
  void DrawCell(cairo_surface_t* cell, double cellLeft, int unit, int height,
                std::string_view cp932, const std::u32string& chars, const ResolvedFace& requested,
                int weight);
  void DrawGlyph(cairo_t* cr, double left, double top, double cellWidth, double cellHeight,
                 char32_t c, int bytes, const ResolvedFace& face);
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
//
// The ink of every glyph of the face keeps to the top fifteen sixteenths of
// the cell. A text one unit below the grid of rows (the titles at y 1) shares
// the last sixteenth of its cell with the next row, whose opaque cells would
// hide ink there: an underscore or a descender that reaches the declared
// descent, or past it (the IPA faces' Latin letters). So the baseline rises
// as far as that needs, and a face whose ink is too tall for the room is
// drawn smaller. Cairo puts a glyph's origin on a whole pixel, so the
// baseline is chosen whole here, never rounded down into the next row.
void CairoDeviceContext::Impl::DrawGlyph(cairo_t* cr, double left, double top, double cellWidth,
                                         double cellHeight, char32_t c, int bytes,
                                         const ResolvedFace& face) {
  if (!face.face || c == U' ' || c == 0x3000) return;
  double advance = face.AdvanceOf(c);
  double reference = bytes == 1 ? std::max(face.digitAdvance, advance) : std::max(1.0, advance);
  double sx = cellWidth / reference;
  const double room = cellHeight * 15 / 16;
  double sy = std::min(cellHeight / (face.ascent + face.descent),
                       room / (face.inkAscent + face.inkDescent));
  const double baseline = std::max(
      1.0,
      std::floor(std::min(std::max(face.ascent, face.inkAscent) * sy, room - face.inkDescent * sy) +
                 1e-6));
  if (face.inkAscent > 0 && face.inkAscent * sy > baseline) sy = baseline / face.inkAscent;
  cairo_matrix_t matrix;
  cairo_matrix_init_scale(&matrix, sx, sy);
  cairo_set_font_face(cr, face.face);
  cairo_set_font_matrix(cr, &matrix);
  char utf8[5];
  EncodeUtf8(c, utf8);
  double offset = (cellWidth - advance * sx) / 2;
  if (offset < 0) offset = 0;
  cairo_move_to(cr, left + offset, top + baseline);
  cairo_show_text(cr, utf8);
}

const ResolvedFace& CairoDeviceContext::Impl::FaceFor(const LogFont& font) {
  if (lastFace != nullptr && font.lfCharSet == lastFont.lfCharSet &&
      font.lfWeight == lastFont.lfWeight &&
      std::memcmp(font.lfFaceName, lastFont.lfFaceName, sizeof font.lfFaceName) == 0) {
    return *lastFace;
  }
  std::string_view faceName(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
  lastFace = &fonts.Get(faceName, font.lfCharSet, font.lfWeight);
  lastFont = font;
  return *lastFace;
}

// The glyphs of one text call onto a surface that holds just its cells,
// already filled with the background colour. `cellLeft` is where the cells
// start on that surface.
void CairoDeviceContext::Impl::DrawCell(cairo_surface_t* cell, double cellLeft, int unit,
                                        int cellHeight, std::string_view cp932,
                                        const std::u32string& chars, const ResolvedFace& requested,
                                        int weight) {
  cairo_t* cr = cairo_create(cell);
  cairo_set_font_options(cr, fontOptions);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  SetSource(cr, text);
  // Walk the bytes beside the decoded characters so each character lands on
  // its own byte columns, whatever its face's advance.
  size_t byte = 0;
  for (char32_t c : chars) {
    if (byte >= cp932.size()) break;
    int bytes = IsLeadByte(static_cast<unsigned char>(cp932[byte])) ? 2 : 1;
    const ResolvedFace* face = &requested;
    // Cairo draws nothing for a glyph the face lacks (DejaVu has no kana).
    if (!face->HasGlyph(c)) {
      const ResolvedFace& japanese = fonts.JapaneseFallback(weight);
      if (japanese.HasGlyph(c)) face = &japanese;
    }
    DrawGlyph(cr, cellLeft + static_cast<double>(byte) * unit, 0, static_cast<double>(bytes) * unit,
              cellHeight, c, bytes, *face);
    byte += static_cast<size_t>(bytes);
  }
  cairo_destroy(cr);
}

void CairoDeviceContext::TextOut(int left, int top, const LogFont& font, std::string_view cp932) {
  if (cp932.empty()) return;
  Impl& d = *impl_;
  const int unit = std::max(0, font.lfWidth);
  const int height = std::max(0, font.lfHeight);
  const int cellWidth = unit * static_cast<int>(cp932.size());
  if (cellWidth == 0 || height == 0) return;
  const int x0 = std::max(left, 0);
  const int y0 = std::max(top, 0);
  const int x1 = std::min(left + cellWidth, d.width);
  const int y1 = std::min(top + height, d.height);

  const ResolvedFace& requested = d.FaceFor(font);
  CellKey key;
  const bool cacheable = cp932.size() <= MaxCachedBytes;
  if (cacheable) {
    key.face = &requested;
    key.unit = unit;
    key.height = height;
    key.text = d.text;
    key.background = d.background;
    key.length = static_cast<int>(cp932.size());
    std::memcpy(&key.bytes, cp932.data(), cp932.size());
    auto found = d.cells.find(key);
    if (found != d.cells.end()) {
      if (found->second.empty() || x0 >= x1 || y0 >= y1) return;  // undecodable: nothing drawn
      const std::uint32_t* src = found->second.data();
      for (int y = y0; y < y1; ++y) {
        std::memcpy(d.Row(y) + x0,
                    src + static_cast<std::ptrdiff_t>(y - top) * cellWidth + (x0 - left),
                    static_cast<size_t>(x1 - x0) * 4);
      }
      d.AddDamage({x0, y0, x1, y1});
      return;
    }
    if (d.cells.size() >= MaxCachedCells) d.cells.clear();
  }

  std::optional<std::u32string> chars = DecodeCp932(cp932);
  if (!chars || chars->empty()) {
    if (cacheable) d.cells.emplace(key, std::vector<std::uint32_t>());
    return;
  }
  // A cell is drawn onto a surface of its own, so the glyph lands on exactly
  // the pixels it would have in place and can be copied wherever it recurs.
  std::vector<std::uint32_t> pixels(static_cast<size_t>(cellWidth) * height, ToPixel(d.background));
  cairo_surface_t* cell =
      cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                          CAIRO_FORMAT_RGB24, cellWidth, height, cellWidth * 4);
  d.DrawCell(cell, 0, unit, height, cp932, *chars, requested, font.lfWeight);
  cairo_surface_flush(cell);
  cairo_surface_destroy(cell);
  if (x0 < x1 && y0 < y1) {
    for (int y = y0; y < y1; ++y) {
      std::memcpy(d.Row(y) + x0,
                  pixels.data() + static_cast<std::ptrdiff_t>(y - top) * cellWidth + (x0 - left),
                  static_cast<size_t>(x1 - x0) * 4);
    }
    d.AddDamage({x0, y0, x1, y1});
  }
  if (cacheable) d.cells.emplace(key, std::move(pixels));
}

void CairoDeviceContext::FillRect(const Rect& rect, ColorRef colour) {
  Impl& d = *impl_;
  int left = std::max(rect.left, 0);
  int top = std::max(rect.top, 0);
  int right = std::min(rect.right, d.width);
  int bottom = std::min(rect.bottom, d.height);
  if (left >= right || top >= bottom) return;
  d.Fill(left, top, right, bottom, ToPixel(colour));
  d.AddDamage({left, top, right, bottom});
}

// Written straight into the pixels: Cairo's own ellipse cannot keep a closed
// one-pixel outline inside the box at every size. Each row is at most three
// spans: outline, fill, outline.
void CairoDeviceContext::Ellipse(const Rect& rect, ColorRef fill, ColorRef outline) {
  Impl& d = *impl_;
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  if (rect.right <= 0 || rect.bottom <= 0 || rect.left >= d.width || rect.top >= d.height) return;
  const std::vector<int>& lo = d.SpansOf(w, h);
  const std::uint32_t fillPixel = ToPixel(fill);
  const std::uint32_t outlinePixel = ToPixel(outline);
  const int clipLeft = std::max(0, -rect.left);
  const int clipRight = std::min(w, d.width - rect.left);  // exclusive, box columns
  auto span = [&](std::uint32_t* row, int from, int to, std::uint32_t pixel) {  // [from, to)
    from = std::max(from, clipLeft);
    to = std::min(to, clipRight);
    if (from < to) std::fill(row + rect.left + from, row + rect.left + to, pixel);
  };
  for (int j = 0; j < h; ++j) {
    int y = rect.top + j;
    if (y < 0 || y >= d.height) continue;
    std::uint32_t* row = d.Row(y);
    const int l = lo[static_cast<size_t>(j)];
    const int r = w - 1 - l;
    // A pixel with an outside neighbour above, below or beside it is on the
    // outline; that keeps the outline closed and one pixel thick. The rows
    // above and below are symmetric spans too, so the inner part of this
    // row that both of them cover is the fill.
    const int above = j > 0 ? lo[static_cast<size_t>(j - 1)] : w;
    const int below = j + 1 < h ? lo[static_cast<size_t>(j + 1)] : w;
    const int innerLo = std::max({l + 1, above, below});
    const int innerHi = std::min({r - 1, w - 1 - above, w - 1 - below});
    if (innerLo > innerHi) {
      span(row, l, r + 1, outlinePixel);
      continue;
    }
    span(row, l, innerLo, outlinePixel);
    span(row, innerLo, innerHi + 1, fillPixel);
    span(row, innerHi + 1, r + 1, outlinePixel);
  }
  int x0 = std::max(rect.left, 0);
  int y0 = std::max(rect.top, 0);
  int x1 = std::min(rect.right, d.width);
  int y1 = std::min(rect.bottom, d.height);
  d.AddDamage({x0, y0, x1, y1});
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
  std::uint32_t p = d.Row(y)[x];
  return MakeColorRef((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

const std::uint32_t* CairoDeviceContext::Pixels() const {
  return impl_->Row(0);
}

int CairoDeviceContext::StrideBytes() const {
  return cairo_image_surface_get_stride(impl_->surface);
}

bool CairoDeviceContext::WritePng(const std::string& path) const {
  cairo_surface_mark_dirty(impl_->surface);
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
  cairo_t* cr = cairo_create(d.surface);
  cairo_set_source_surface(cr, png, 0, 0);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(d.surface);
  cairo_surface_destroy(png);
  return true;
}

int CairoDeviceContext::CachedFaceCount() const {
  return impl_->fonts.Size();
}

int CairoDeviceContext::CachedCellCount() const {
  return static_cast<int>(impl_->cells.size());
}

std::vector<Rect> CairoDeviceContext::TakeDamage() {
  Impl& d = *impl_;
  std::vector<Rect> out;
  if (d.damageAll) {
    out.push_back({0, 0, d.width, d.height});
  } else {
    out.swap(d.damage);
  }
  d.damage.clear();
  d.damageAll = false;
  return out;
}

void CairoDeviceContext::CopyPixelsFrom(const CairoDeviceContext& other, int atX, int atY) {
  Impl& d = *impl_;
  const Impl& s = *other.impl_;
  const int x0 = std::max(0, atX);
  const int y0 = std::max(0, atY);
  const int x1 = std::min(d.width, atX + s.width);
  const int y1 = std::min(d.height, atY + s.height);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y) {
    std::memcpy(d.Row(y) + x0, s.Row(y - atY) + (x0 - atX), static_cast<size_t>(x1 - x0) * 4);
  }
  d.AddDamage({x0, y0, x1, y1});
}
