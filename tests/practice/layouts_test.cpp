// Keyboard layouts: where each layout's letters sit on the drawn keyboard,
// how the keyboard in front of the user is recognised from what its keys
// type, and what the caps show.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/cairo_dc.h"
#include "practice/layouts.h"
#include "practice/practice.h"
#include "records/records.h"
#include "screens/screens.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

namespace {

// The letters on the upper, home and lower rows of real keyboards, one
// character per cap from the leftmost; '-' where the cap carries no letter.
struct LetterRows {
  const char* layout;
  const char* upper;
  const char* home;
  const char* lower;
};
constexpr LetterRows RealKeyboards[] = {
    {"qwerty", "QWERTYUIOP", "ASDFGHJKL-", "ZXCVBNM--"},
    {"azerty", "AZERTYUIOP", "QSDFGHJKLM", "WXCVBN---"},
    {"qwertz", "QWERTZUIOP", "ASDFGHJKL-", "YXCVBNM--"},
    {"dvorak", "---PYFGCRL", "AOEUIDHTNS", "-QJKXBMWVZ"},
    {"colemak", "QWFPGJLUY-", "ARSTDHNEIO", "ZXCVBKM--"},
};

TEST(KeyboardLayouts, EveryLetterSitsOnItsKeyOfTheRealKeyboard) {
  for (const LetterRows& k : RealKeyboards) {
    SCOPED_TRACE(k.layout);
    GameGlobals g;
    const int layout = FindKeyboardLayout(k.layout);
    ASSERT_GE(layout, 0);
    SelectKeyboardLayout(g, layout);
    BuildKeyPositionTable(g);
    std::set<char> placed;
    const char* rows[3] = {k.upper, k.home, k.lower};
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; rows[r][c] != '\0'; ++c) {
        const char letter = rows[r][c];
        if (letter == '-') continue;
        placed.insert(letter);
        int row = 0, column = 0;
        ASSERT_TRUE(LocateKey(g, letter + ('a' - 'A'), &row, &column)) << letter;
        EXPECT_EQ(std::pair(row, column), std::pair(r + 2, c + 1)) << letter;
      }
    }
    EXPECT_EQ(placed.size(), 26u) << "every letter has its key";
    int row = 0, column = 0;
    EXPECT_TRUE(LocateKey(g, '1', &row, &column) && row == 1 && column == 1);
    EXPECT_TRUE(LocateKey(g, '0', &row, &column) && row == 1 && column == 10);
    EXPECT_FALSE(LocateKey(g, ';', &row, &column));
  }
}

TEST(KeyboardLayouts, NamesAndFileStems) {
  const std::pair<const char*, const char*> cases[] = {
      {"qwerty", "wenlotka"},        {"azerty", "wenlotka-azerty"},   {"qwertz", "wenlotka-qwertz"},
      {"dvorak", "wenlotka-dvorak"}, {"colemak", "wenlotka-colemak"},
  };
  for (const auto& [name, stem] : cases) {
    GameGlobals g;
    SelectKeyboardLayout(g, FindKeyboardLayout(name));
    EXPECT_STREQ(g.fileStem, stem);
    EXPECT_EQ(RecordFilePath(g), std::string(stem) + ".rec");
    EXPECT_EQ(SpeedLogPath(g), std::string(stem) + ".spd");
    EXPECT_EQ(PracticeLogPath(g), "wenlotka.log") << "the practice log is shared";
  }
  for (const char* bad : {"", "QWERTY", "azerty ", "fr", "bepo"}) {
    EXPECT_EQ(FindKeyboardLayout(bad), -1) << bad;
  }
}

TEST(KeyboardLayouts, RecognisedFromWhatTheLetterKeysType) {
  // The keys from Q, A and Z as the window system reports them: 12, 11 and
  // 10 keys; '?' where a key types no ASCII character.
  const struct {
    const char* keyboard;
    const char* upper;
    const char* home;
    const char* lower;
    const char* layout;  // nullptr: none of the five
  } cases[] = {
      {"us", "qwertyuiop[]", "asdfghjkl;'", "zxcvbnm,./", "qwerty"},
      {"gb", "qwertyuiop[]", "asdfghjkl;'", "zxcvbnm,./", "qwerty"},
      {"fr", "azertyuiop?$", "qsdfghjklm?*", "wxcvbn,;:!", "azerty"},
      {"be", "azertyuiop?$", "qsdfghjklm??", "wxcvbn,;:=", "azerty"},
      {"de", "qwertzuiop?+", "asdfghjkl??#", "yxcvbnm,.-", "qwertz"},
      {"ch", "qwertzuiop??", "asdfghjkl??$", "yxcvbnm,.-", "qwertz"},
      {"us dvorak", "',.pyfgcrl/=", "aoeuidhtns-", ";qjkxbmwvz", "dvorak"},
      {"us colemak", "qwfpgjluy;[]", "arstdhneio'", "zxcvbkm,./", "colemak"},
      {"ru", "????????????", "???????????", "??????????", nullptr},
      {"tr f", "fgi?odrnhpqw", "?uieaütkmly", "jövcçzsb.,", nullptr},
      {"qwerty, Y and Z swapped alone", "qwertzuiop[]", "asdfghjkl;'", "zxcvbnm,./", nullptr},
      {"dvorak without Z", "',.pyfgcrl/=", "aoeuidhtns-", ";qjkxbmwv", nullptr},
      {"nothing reported", "", "", "", nullptr},
  };
  for (const auto& c : cases) {
    const char* const typed[3] = {c.upper, c.home, c.lower};
    const int found = RecogniseKeyboardLayout(typed);
    EXPECT_EQ(found, c.layout ? FindKeyboardLayout(c.layout) : -1) << c.keyboard;
  }
}

// The caps drawn on the real renderer, one surface per layout.
class LayoutCaps : public ::testing::Test {
 protected:
  void Draw(const char* layout, KeyGuideMode mode = CapsWithLabels) {
    SelectKeyboardLayout(g, FindKeyboardLayout(layout));
    BuildKeyPositionTable(g);
    DrawKeyGuide(g, surface, mode);
  }
  ColorRef At(int y, int x) const { return surface.PixelAt(ToDeviceX(g, x), ToDeviceY(g, y)); }
  // Logical origin of the cap in row r, column c.
  static std::pair<int, int> Origin(int r, int c) {
    return {64 * r, 32 + 16 * (r - 1) + 48 * (c - 1)};
  }
  ColorRef Face(int r, int c) const {
    auto [y, x] = Origin(r, c);
    return At(y + 12, x + 3);
  }
  // Which pixels of a cap's label area are ink, measured against its face:
  // the same glyph gives the same pattern on a magenta or a grey cap.
  std::vector<bool> Ink(int r, int c) const {
    auto [y, x] = Origin(r, c);
    auto sum = [](ColorRef p) { return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF); };
    const unsigned face = sum(Face(r, c));
    std::vector<bool> ink;
    for (int dy = 10; dy < 39; ++dy) {
      for (int dx = 2; dx < 31; ++dx) ink.push_back(sum(At(y + dy, x + dx)) * 2 < face);
    }
    return ink;
  }
  static int Differ(const std::vector<bool>& a, const std::vector<bool>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
  }
  static int Count(const std::vector<bool>& a) {
    int n = 0;
    for (bool b : a) n += b;
    return n;
  }

  VirtualClock clock{TimeStamp{1000, 0}};
  GameGlobals g;
  CairoDeviceContext surface{642, 402};
  void SetUp() override { InitGlobals(g, &clock); }
};

TEST_F(LayoutCaps, QwertyCapsShowTheirLettersAndNothingRightOfTheLowerRow) {
  Draw("qwerty");
  EXPECT_EQ(Face(3, 1), ColorMagenta);
  EXPECT_EQ(Face(4, 1), ColorGrey);
  EXPECT_GT(Count(Ink(3, 1)), 20) << "A";
  EXPECT_GT(Differ(Ink(4, 1), Ink(4, 7)), 20) << "Z and M differ";
  auto [y, x] = Origin(4, 10);
  EXPECT_EQ(At(y + 4, x + 14), ColorWhite) << "no tenth cap in the lower row";
}

TEST_F(LayoutCaps, AzertyCapsShowTheFrenchLetters) {
  Draw("qwerty");
  const std::vector<bool> qwertyA = Ink(3, 1), qwertyM = Ink(4, 7), qwertyQ = Ink(2, 1),
                          qwertySemicolon = Ink(3, 10), qwertyW = Ink(2, 2);
  Draw("azerty");
  EXPECT_EQ(Differ(Ink(2, 1), qwertyA), 0) << "the upper row starts with A";
  EXPECT_EQ(Differ(Ink(3, 1), qwertyQ), 0) << "the home row starts with Q";
  EXPECT_EQ(Differ(Ink(3, 10), qwertyM), 0) << "M ends the home row";
  EXPECT_GT(Differ(Ink(3, 10), qwertySemicolon), 20);
  EXPECT_EQ(Differ(Ink(4, 1), qwertyW), 0) << "the lower row starts with W";
  EXPECT_EQ(Face(3, 10), ColorMagenta) << "M sits on a home key";
  EXPECT_EQ(Face(2, 1), ColorGrey);
}

TEST_F(LayoutCaps, DvorakDrawsACapForZRightOfTheLowerRowInTheSameStyle) {
  Draw("qwerty");
  const std::vector<bool> qwertyZ = Ink(4, 1), qwertyS = Ink(3, 2);
  Draw("dvorak");
  // Frame and fill as its neighbour's, 48 to the left: every pixel around
  // the label area and outside the frame alike.
  auto [y, x] = Origin(4, 10);
  int unlike = 0;
  for (int dy = -3; dy < 52; ++dy) {
    for (int dx = -7; dx < 40; ++dx) {
      if (dy >= 9 && dy < 40 && dx >= 1 && dx < 32) continue;
      unlike += At(y + dy, x + dx) != At(y + dy, x - 48 + dx);
    }
  }
  EXPECT_EQ(unlike, 0);
  EXPECT_EQ(At(y + 4, x + 14), ColorGrey);
  EXPECT_EQ(Differ(Ink(4, 10), qwertyZ), 0) << "it shows Z";
  EXPECT_EQ(Differ(Ink(3, 10), qwertyS), 0) << "S ends the home row";
  EXPECT_EQ(Face(3, 10), ColorMagenta);

  // The mole and the finger of Z: the right little finger.
  DrawHands(g, surface, 1);
  DrawKeyCell(g, surface, 'z', Mole);
  ShowFingerForKey(g, surface, 'Z', 1);
  EXPECT_EQ(Face(4, 10), ColorBlack);
  const FingerTip& little = FingerTable[10];
  EXPECT_EQ(At(little.y + 14, little.x + little.width / 2), ColorBlack);
  const FingerTip& ring = FingerTable[9];
  EXPECT_EQ(At(ring.y + 14, ring.x + ring.width / 2), ColorLightYellow);

  Draw("dvorak", CapsOnly);
  EXPECT_EQ(Face(4, 10), ColorGrey);
  EXPECT_EQ(Count(Ink(4, 10)), 0) << "blank in Expert like every cap";
}

TEST_F(LayoutCaps, QwertzSwapsYAndZAndLeavesTheUmlautCapBlank) {
  Draw("qwerty");
  const std::vector<bool> qwertyY = Ink(2, 6), qwertyZ = Ink(4, 1);
  Draw("qwertz");
  EXPECT_EQ(Differ(Ink(2, 6), qwertyZ), 0);
  EXPECT_EQ(Differ(Ink(4, 1), qwertyY), 0);
  EXPECT_EQ(Face(3, 10), ColorMagenta);
  EXPECT_EQ(Count(Ink(3, 10)), 0);
}

// Kana input names the keys of a Japanese keyboard, whose letters are those
// of QWERTY: it folds to those letters whatever layout is chosen.
TEST(KeyboardLayouts, KanaFoldsToTheQwertyLetterItNames) {
  ScratchDir dir;
  VirtualClock clock{TimeStamp{1000, 0}};
  GameGlobals g;
  InitGlobals(g, &clock);
  SelectKeyboardLayout(g, FindKeyboardLayout("azerty"));
  BuildKeyPositionTable(g);
  FakeView view;
  RecordingDC dc;
  g.PlayState = PlayRunning;
  g.screenId = 106;
  StartPractice(g, view, dc, MenuForScreen(11), 106);
  g.targetKey = 'A';
  g.targetIndex = static_cast<int>(std::string(g.keyString).find('A'));
  DispatchKey(g, view, dc, 0xC1);  // half-width chi: the A key of a JIS keyboard
  EXPECT_EQ(g.correctCount, 1);
  EXPECT_EQ(g.errorCount, 0);
}

}  // namespace
