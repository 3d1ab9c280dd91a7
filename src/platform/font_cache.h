// Font faces for the device context, resolved once per request and kept.
//
// Callers: CairoDeviceContext (one cache per context) and the font tests.
// Cairo and fontconfig types stay behind forward declarations so that nothing
// outside the platform .cpp files sees their headers.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

struct _cairo_font_face;
struct _cairo_scaled_font;
struct _FcCharSet;

// One resolved face with the metrics the cell stretching needs, in em units.
struct ResolvedFace {
  _cairo_font_face* face = nullptr;        // nullptr when no font exists at all
  _cairo_scaled_font* unitFont = nullptr;  // the face at 1000 units, for advances
  _FcCharSet* coverage = nullptr;
  std::string family;
  double ascent = 0.88;
  double descent = 0.12;
  // The real ink of every glyph the game draws in this face, above and below
  // the baseline; it may reach past the declared ascent and descent.
  double inkAscent = 0.88;
  double inkDescent = 0.12;
  double digitAdvance = 0.5;  // advance of "0"
  bool bold = false;

  bool HasGlyph(char32_t c) const;
  // Advance of `c` in em units (0 when unknown).
  double AdvanceOf(char32_t c) const;
};

class FontCache {
 public:
  FontCache() = default;
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  // The face for a request; resolved through fontconfig on first use only.
  // `faceName` is the request's CP932 face name.
  const ResolvedFace& Get(std::string_view faceName, std::uint8_t charset, int weight);
  // The Japanese face used for characters the requested face lacks.
  const ResolvedFace& JapaneseFallback(int weight);
  int Size() const { return static_cast<int>(faces_.size()); }

 private:
  using Key = std::tuple<std::string, std::uint8_t, int>;
  std::map<Key, std::unique_ptr<ResolvedFace>> faces_;
};

// The fontconfig family a face name (CP932 bytes) resolves to, through the
// same alias table the device context uses.
std::string ResolvedFamily(std::string_view faceName, std::uint8_t charset, int weight);

// One code point as zero-terminated UTF-8.
void EncodeUtf8(char32_t c, char out[5]);

// Whether a weight asks for a bold face.
constexpr bool IsBoldWeight(int weight) {
  return weight >= 600;
}
