// Every screen at three client sizes compared pixel for pixel with reference
// images made before the renderer was reworked: faster drawing must not move
// a single pixel. Set WENLOTKA_WRITE_PIXEL_REFS=1 to write the references
// from the current build instead (only ever from a build known to be right).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "pixels/screen_tour.h"
#include "platform/font_cache.h"

namespace {

struct Size {
  int width, height;
};

class PixelIdentity : public testing::TestWithParam<Size> {};

// The references were drawn with these faces; others give other pixels.
bool ReferenceFontsInstalled(std::string* missing) {
  const struct {
    const char* request;
    std::uint8_t charset;
    const char* family;
  } faces[] = {{"Lucida Console", 0, "DejaVu Sans Mono"},
               {"MS UI Gothic", 1, "IPAPGothic"},
               {"\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E", 128, "IPAGothic"}};
  for (const auto& f : faces) {
    if (ResolvedFamily(f.request, f.charset, 0) != f.family) {
      *missing = f.family;
      return false;
    }
  }
  return true;
}

TEST_P(PixelIdentity, EveryScreenMatchesTheReference) {
  const Size size = GetParam();
  std::string missing;
  if (!ReferenceFontsInstalled(&missing)) GTEST_SKIP() << "font " << missing << " is not installed";
  std::vector<TourShot> shots = TourScreens(size.width, size.height);
  ASSERT_EQ(shots.size(), 22u);
  const std::string refPath = TourReferencePath(size.width, size.height);
  if (const char* write = std::getenv("WENLOTKA_WRITE_PIXEL_REFS"); write && *write == '1') {
    ASSERT_TRUE(StackShots(shots)->WritePng(refPath)) << refPath;
    GTEST_SKIP() << "wrote " << refPath;
  }
  CairoDeviceContext ref(1, 1);
  ASSERT_TRUE(ref.ReadPng(refPath)) << "cannot read " << refPath;
  ASSERT_EQ(ref.Width(), size.width);
  ASSERT_EQ(ref.Height(), size.height * 22);

  bool anyDiffers = false;
  int top = 0;
  for (const TourShot& shot : shots) {
    const CairoDeviceContext& got = *shot.pixels;
    int differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < size.height; ++y) {
      const auto* a = reinterpret_cast<const std::uint32_t*>(
          reinterpret_cast<const unsigned char*>(got.Pixels()) +
          static_cast<std::ptrdiff_t>(y) * got.StrideBytes());
      const auto* b = reinterpret_cast<const std::uint32_t*>(
          reinterpret_cast<const unsigned char*>(ref.Pixels()) +
          static_cast<std::ptrdiff_t>(top + y) * ref.StrideBytes());
      for (int x = 0; x < size.width; ++x) {
        if ((a[x] & 0xFFFFFF) == (b[x] & 0xFFFFFF)) continue;
        if (differing++ == 0) {
          firstX = x;
          firstY = y;
        }
      }
    }
    EXPECT_EQ(differing, 0) << shot.name << " at " << size.width << "x" << size.height << ": "
                            << differing << " pixels differ, the first at (" << firstX << ", "
                            << firstY << ")";
    anyDiffers = anyDiffers || differing != 0;
    top += size.height;
  }
  if (anyDiffers) {
    const std::string actual = testing::TempDir() + "pixels-actual-" + std::to_string(size.width) +
                               "x" + std::to_string(size.height) + ".png";
    StackShots(shots)->WritePng(actual);
    ADD_FAILURE() << "this build's screens are in " << actual;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PixelIdentity,
                         testing::Values(Size{642, 402}, Size{1282, 802}, Size{1000, 300}),
                         [](const testing::TestParamInfo<Size>& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

}  // namespace
