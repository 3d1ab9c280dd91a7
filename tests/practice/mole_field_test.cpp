#include <set>

#include "platform/cairo_dc.h"
#include "practice_fixture.h"
#include "textscreen/textscreen.h"

namespace {

TEST(KeyGuide, LocatesLettersOfEitherCaseAndDigitsOnly) {
  GameGlobals g;
  FillKeyPositions(g);
  int row = 0;
  int column = 0;
  ASSERT_TRUE(LocateKey(g, 'g', &row, &column));
  EXPECT_EQ(row, 3);
  EXPECT_EQ(column, 5);
  ASSERT_TRUE(LocateKey(g, '0', &row, &column));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(column, 10);
  for (int key : {int{';'}, int{','}, int{'.'}, int{' '}, 0, -5, 200, 1000}) {
    EXPECT_FALSE(LocateKey(g, key, &row, &column)) << key;
  }
  g.KeyPositionTable['Q'] = KeyPosition{2, 0};
  EXPECT_FALSE(LocateKey(g, 'Q', &row, &column));
}

TEST(MoleField, IndexFingersTakeTheMiddleColumns) {
  GameGlobals g;
  FillKeyPositions(g);
  auto fingerOf = [&](int key) {
    int row = 0;
    int column = 0;
    return LocateKey(g, key, &row, &column) ? FingerForColumn(column) : 0;
  };
  EXPECT_EQ(fingerOf('G'), 4);
  EXPECT_EQ(fingerOf('T'), 4);
  EXPECT_EQ(fingerOf('H'), 7);
  EXPECT_EQ(fingerOf('Y'), 7);
  EXPECT_EQ(fingerOf('A'), 1);
  EXPECT_EQ(fingerOf('P'), 10);
  EXPECT_EQ(FingerForColumn(10), 10);  // the semicolon's column
  EXPECT_EQ(FingerForColumn(13), 10);
  EXPECT_EQ(FingerForColumn(14), 0);
}

// Pixels of a practice screen drawn on the real renderer.
class MolePixels : public PracticeTest {
 protected:
  ColorRef At(int y, int x) const { return surface.PixelAt(ToDeviceX(g, x), ToDeviceY(g, y)); }
  // A point of a cap's frame area, clear of its label.
  ColorRef CapColour(int key) const { return At(CapY(key) + 4, CapX(key) + 14); }
  // A point of a cap's face, left of its label.
  ColorRef FaceColour(int key) const { return At(CapY(key) + 12, CapX(key) + 3); }
  // The colours found over the label area of a cap.
  std::set<ColorRef> LabelColours(int key) const {
    std::set<ColorRef> colours;
    for (int y = CapY(key) + 16; y < CapY(key) + 38; ++y) {
      for (int x = CapX(key) + 8; x < CapX(key) + 30; ++x) colours.insert(At(y, x));
    }
    return colours;
  }
  ColorRef NailColour(int finger) const {
    const FingerTip& tip = FingerTable[finger];
    return At(tip.y + 14, tip.x + tip.width / 2);
  }
  ColorRef SkinColour(int finger) const {
    const FingerTip& tip = FingerTable[finger];
    // Low enough to stay clear of the result prompts that replace the hands.
    return At(392, tip.x + 2);
  }
  int CapY(int key) const { return Origin(key).first; }
  int CapX(int key) const { return Origin(key).second; }
  std::pair<int, int> Origin(int key) const {
    int row = 0;
    int column = 0;
    EXPECT_TRUE(LocateKey(g, key, &row, &column));
    int y = 0;
    int x = 0;
    KeyCapOrigin(row, column, &y, &x);
    return {y, x};
  }

  // Starts a course with a chosen first target and draws the screen.
  void StartWithTarget(int courseCode, char target) {
    Start(courseCode);
    view.timers.clear();
    g.targetKey = target;
    g.targetIndex = static_cast<int>(std::string(g.keyString).find(target));
    g.moleKey = g.practiceLevel == 1 ? target : 0;
    Redraw();
  }
  void Redraw() { DrawPracticeScreen(g, surface, "(%s)"); }
  void KeyOn(int key) { JudgePracticeKey(g, view, surface, key); }

  // The renderer may still be a placeholder that draws nothing.
  bool Drawn() const { return At(100, 100) != At(5, 600) || At(330, 90) != At(5, 600); }

  CairoDeviceContext surface{642, 402};
};

#define REQUIRE_RENDERER() \
  if (!Drawn()) GTEST_SKIP() << "the Cairo device context draws nothing yet"

TEST_F(MolePixels, HomeKeysAreMagentaAndTheIndexReachKeysGrey) {
  StartWithTarget(201, 'Q');
  REQUIRE_RENDERER();
  for (int key : {'A', 'S', 'D', 'F', 'J', 'K', 'L'}) {
    EXPECT_EQ(CapColour(key), ColorMagenta) << static_cast<char>(key);
  }
  for (int key : {'G', 'H', 'Q', '1', 'Z', 'M'}) {
    EXPECT_EQ(CapColour(key), ColorGrey) << static_cast<char>(key);
  }
  // The semicolon is the tenth home cap: row 3, column 10.
  int y = 0;
  int x = 0;
  KeyCapOrigin(3, 10, &y, &x);
  EXPECT_EQ(At(y + 4, x + 14), ColorMagenta);
}

TEST_F(MolePixels, MoleIsABlackCapWithTheNailOfItsFinger) {
  StartWithTarget(101, 'G');
  REQUIRE_RENDERER();
  EXPECT_EQ(FaceColour('G'), ColorBlack);
  EXPECT_TRUE(LabelColours('G').count(ColorGrey)) << "the label keeps the key's colour";
  EXPECT_EQ(NailColour(4), ColorBlack);
  EXPECT_EQ(NailColour(7), ColorLightYellow);

  // Typing G moves the mole to the next target and clears G.
  KeyOn('G');
  const char next = g.targetKey;
  EXPECT_EQ(FaceColour('G'), ColorGrey);
  EXPECT_EQ(FaceColour(next), ColorBlack);
  int row = 0;
  int column = 0;
  ASSERT_TRUE(LocateKey(g, next, &row, &column));
  for (int finger = 1; finger <= 10; ++finger) {
    if (finger == 5 || finger == 6) continue;
    EXPECT_EQ(NailColour(finger), finger == FingerForColumn(column) ? ColorBlack : ColorLightYellow)
        << "finger " << finger << " for " << next;
  }
}

TEST_F(MolePixels, RightIndexMarksHAndY) {
  StartWithTarget(203, 'Y');
  REQUIRE_RENDERER();
  EXPECT_EQ(FaceColour('Y'), ColorGrey);  // hidden until the hint fires
  EXPECT_EQ(NailColour(7), ColorLightYellow);
  HintTick(g, view, surface, 'Y');
  EXPECT_EQ(FaceColour('Y'), ColorBlack);
  EXPECT_EQ(NailColour(7), ColorBlack);
  EXPECT_EQ(NailColour(4), ColorLightYellow);
}

TEST_F(MolePixels, MissedDigitTurnsRedUntilTheNextMiss) {
  StartWithTarget(101, 'A');
  REQUIRE_RENDERER();
  KeyOn('7');
  EXPECT_EQ(FaceColour('7'), ColorRed);
  EXPECT_TRUE(LabelColours('7').count(ColorBlack));
  KeyOn(' ');  // no cap: only the old red one goes back
  EXPECT_EQ(FaceColour('7'), ColorGrey);
  EXPECT_EQ(FaceColour('A'), ColorBlack);
}

TEST_F(MolePixels, ExpertCapsAreBlankExceptUnderTheMoleAndAMiss) {
  StartWithTarget(306, 'H');
  REQUIRE_RENDERER();
  EXPECT_EQ(LabelColours('Q'), std::set<ColorRef>{ColorGrey});
  EXPECT_EQ(LabelColours('A'), std::set<ColorRef>{ColorMagenta});
  KeyOn('3');
  EXPECT_TRUE(LabelColours('3').count(ColorBlack)) << "a miss shows its label";
  HintTick(g, view, surface, 'H');
  EXPECT_TRUE(LabelColours('H').count(ColorGrey)) << "the mole shows its label";
  EXPECT_TRUE(LabelColours('H').count(ColorBlack));
  KeyOn('H');  // clearing both leaves blank caps
  EXPECT_EQ(LabelColours('H'), std::set<ColorRef>{ColorGrey});
  EXPECT_EQ(LabelColours('3'), std::set<ColorRef>{ColorGrey});
}

TEST_F(MolePixels, HandsAreOrangeDuringTheRunAndWhiteAfterIt) {
  StartWithTarget(101, 'F');
  REQUIRE_RENDERER();
  for (int finger = 1; finger <= 10; ++finger) {
    EXPECT_EQ(SkinColour(finger), ColorOrange) << "finger " << finger;
  }
  for (int i = 0; i < KeysPerRun; ++i) KeyOn(g.targetKey);
  ASSERT_EQ(g.PlayState, PlayOver);
  for (int finger = 1; finger <= 10; ++finger) {
    EXPECT_EQ(SkinColour(finger), ColorWhite) << "finger " << finger;
    if (finger != 5 && finger != 6) {
      EXPECT_EQ(NailColour(finger), ColorWhite) << "finger " << finger;
    }
  }
  EXPECT_EQ(At(398, 100), ColorWhite);  // down to the bottom edge
  Redraw();
  EXPECT_EQ(SkinColour(1), ColorWhite);
}

}  // namespace
