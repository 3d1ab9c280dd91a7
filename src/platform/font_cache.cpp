#include "platform/font_cache.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// fontconfig maps the Windows face names poorly on its own (a Mincho request
// can come back as a Gothic face), so the names the game uses are mapped here.
struct FaceAlias {
  const char* cp932Name;
  const char* family;
};
constexpr std::array<FaceAlias, 4> FaceAliases = {{
    {"Lucida Console", "DejaVu Sans Mono"},
    {"MS UI Gothic", "IPAPGothic"},
    {"\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E", "IPAGothic"},  // ＭＳ ゴシック
    {"\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9", "IPAMincho"},                  // ＭＳ 明朝
}};
constexpr const char* JapaneseFaceName = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

std::string FamilyFor(std::string_view faceName) {
  for (const FaceAlias& alias : FaceAliases) {
    if (faceName == alias.cp932Name) return alias.family;
  }
  return std::string(faceName);
}

// The best installed font for a request; fontconfig falls back to whatever
// is available when the family is missing. Caller destroys the result.
FcPattern* MatchFont(std::string_view faceName, std::uint8_t charset, int weight) {
  FcPattern* request = FcPatternCreate();
  std::string family = FamilyFor(faceName);
  if (!family.empty()) {
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  if (charset == 128) FcPatternAddString(request, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcPatternAddInteger(request, FC_WEIGHT,
                      IsBoldWeight(weight) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(request, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, request, FcMatchPattern);
  FcDefaultSubstitute(request);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, request, &result);
  FcPatternDestroy(request);
  return match;
}

// The characters the game draws: ASCII, and the symbols, kana and full-width
// forms of its Japanese texts and of Japanese input (kanji keep to the same
// em box as the kana).
constexpr std::pair<char32_t, char32_t> DrawnCharacters[] = {
    {0x21, 0x7E}, {0x3001, 0x303F}, {0x3041, 0x3096}, {0x30A1, 0x30FC}, {0xFF01, 0xFF9F},
};

// How far the ink of those of them the face has reaches above and below the
// baseline, in em units: one measurement of them all side by side.
void MeasureInk(ResolvedFace& out) {
  std::string all;
  for (const auto& [first, last] : DrawnCharacters) {
    for (char32_t c = first; c <= last; ++c) {
      if (!out.HasGlyph(c)) continue;
      char utf8[5];
      EncodeUtf8(c, utf8);
      all += utf8;
    }
  }
  cairo_text_extents_t ink;
  cairo_scaled_font_text_extents(out.unitFont, all.c_str(), &ink);
  if (ink.height <= 0) return;
  out.inkAscent = -ink.y_bearing / 1000;
  out.inkDescent = (ink.y_bearing + ink.height) / 1000;
}

std::string StringOf(FcPattern* pattern, const char* object) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
  return reinterpret_cast<const char*>(value);
}

// Cells are stretched to exact sizes, so the face must scale freely: no
// hinting (it would snap stems to the unstretched grid) and no embedded
// bitmaps (the IPA faces carry some, which cannot be stretched). Greyscale
// antialiasing keeps stretched glyphs smooth; subpixel rendering would leave
// coloured fringes in screenshots.
void ResolveInto(ResolvedFace& out, std::string_view faceName, std::uint8_t charset, int weight) {
  FcPattern* match = MatchFont(faceName, charset, weight);
  if (!match) return;
  out.family = StringOf(match, FC_FAMILY);
  std::string file = StringOf(match, FC_FILE);
  int index = 0;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  int matchedWeight = FC_WEIGHT_REGULAR;
  FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
  FcCharSet* coverage = nullptr;
  if (FcPatternGetCharSet(match, FC_CHARSET, 0, &coverage) == FcResultMatch && coverage) {
    out.coverage = FcCharSetCopy(coverage);
  }

  FcPattern* face = FcPatternCreate();
  FcPatternAddString(face, FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
  FcPatternAddInteger(face, FC_INDEX, index);
  FcPatternAddBool(face, FC_HINTING, FcFalse);
  FcPatternAddInteger(face, FC_HINT_STYLE, FC_HINT_NONE);
  FcPatternAddBool(face, FC_AUTOHINT, FcFalse);
  FcPatternAddBool(face, FC_EMBEDDED_BITMAP, FcFalse);
  FcPatternAddBool(face, FC_ANTIALIAS, FcTrue);
  FcPatternAddInteger(face, FC_RGBA, FC_RGBA_NONE);
  out.bold = IsBoldWeight(weight);
  // No bold face installed (the IPA faces have none): embolden the outlines.
  // fontconfig's own rules may already have asked for this.
  FcBool embolden = FcFalse;
  FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
  FcPatternAddBool(face, FC_EMBOLDEN, out.bold && (embolden || matchedWeight < FC_WEIGHT_BOLD));
  out.face = cairo_ft_font_face_create_for_pattern(face);
  FcPatternDestroy(face);
  FcPatternDestroy(match);

  cairo_matrix_t unit;
  cairo_matrix_t identity;
  cairo_matrix_init_scale(&unit, 1000, 1000);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  out.unitFont = cairo_scaled_font_create(out.face, &unit, &identity, options);
  cairo_font_options_destroy(options);
  if (cairo_scaled_font_status(out.unitFont) != CAIRO_STATUS_SUCCESS) return;

  cairo_font_extents_t extents;
  cairo_scaled_font_extents(out.unitFont, &extents);
  if (extents.ascent > 0 && extents.ascent + extents.descent > 0) {
    out.ascent = extents.ascent / 1000;
    out.descent = extents.descent / 1000;
  }
  out.inkAscent = out.ascent;
  out.inkDescent = out.descent;
  MeasureInk(out);
  double digit = out.AdvanceOf(U'0');
  if (digit > 0) out.digitAdvance = digit;
}

bool FamilyInstalled(const char* family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, nullptr);
  FcFontSet* found = FcFontList(nullptr, pattern, objects);
  const bool installed = found != nullptr && found->nfont > 0;
  if (found) FcFontSetDestroy(found);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return installed;
}

// Without the faces the game names, text is drawn in whatever fontconfig
// offers, and without any font it cannot be drawn at all; either way the
// user should hear why once, not find blank or odd screens.
void WarnAboutMissingFacesOnce() {
  static bool warned = false;
  if (warned) return;
  warned = true;
  std::string missing;
  for (const FaceAlias& alias : FaceAliases) {
    if (FamilyInstalled(alias.family)) continue;
    missing += missing.empty() ? "" : ", ";
    missing += alias.family;
  }
  if (missing.empty()) return;
  std::string instead;
  if (FcPattern* match = MatchFont("Lucida Console", 0, 0)) {
    if (!StringOf(match, FC_FILE).empty()) instead = StringOf(match, FC_FAMILY);
    FcPatternDestroy(match);
  }
  std::fprintf(stderr,
               "wenlotka: fonts not installed: %s (Debian: fonts-dejavu-core, "
               "fonts-ipafont-gothic, fonts-ipafont-mincho); %s\n",
               missing.c_str(),
               instead.empty() ? "no other font was found, so no text can be shown"
                               : ("drawing with " + instead + " instead").c_str());
}

}  // namespace

void EncodeUtf8(char32_t c, char out[5]) {
  int n = 0;
  if (c < 0x80) {
    out[n++] = static_cast<char>(c);
  } else if (c < 0x800) {
    out[n++] = static_cast<char>(0xC0 | (c >> 6));
    out[n++] = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out[n++] = static_cast<char>(0xE0 | (c >> 12));
    out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[n++] = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out[n++] = static_cast<char>(0xF0 | ((c >> 18) & 0x07));
    out[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[n++] = static_cast<char>(0x80 | (c & 0x3F));
  }
  out[n] = 0;
}

bool ResolvedFace::HasGlyph(char32_t c) const {
  return coverage && FcCharSetHasChar(coverage, static_cast<FcChar32>(c));
}

double ResolvedFace::AdvanceOf(char32_t c) const {
  if (!unitFont) return 0;
  char utf8[5];
  EncodeUtf8(c, utf8);
  cairo_text_extents_t extents;
  cairo_scaled_font_text_extents(unitFont, utf8, &extents);
  return extents.x_advance / 1000;
}

FontCache::~FontCache() {
  for (auto& [key, face] : faces_) {
    if (face->unitFont) cairo_scaled_font_destroy(face->unitFont);
    if (face->face) cairo_font_face_destroy(face->face);
    if (face->coverage) FcCharSetDestroy(face->coverage);
  }
}

const ResolvedFace& FontCache::Get(std::string_view faceName, std::uint8_t charset, int weight) {
  Key key{std::string(faceName), charset, weight};
  auto found = faces_.find(key);
  if (found != faces_.end()) return *found->second;
  WarnAboutMissingFacesOnce();
  auto face = std::make_unique<ResolvedFace>();
  ResolveInto(*face, faceName, charset, weight);
  return *faces_.emplace(std::move(key), std::move(face)).first->second;
}

const ResolvedFace& FontCache::JapaneseFallback(int weight) {
  return Get(JapaneseFaceName, 128, weight);
}

std::string ResolvedFamily(std::string_view faceName, std::uint8_t charset, int weight) {
  FcPattern* match = MatchFont(faceName, charset, weight);
  if (!match) return {};
  std::string family = StringOf(match, FC_FAMILY);
  FcPatternDestroy(match);
  return family;
}
