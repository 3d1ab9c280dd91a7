// The real program started where the game's faces are not installed: one
// warning on standard error naming them, and the text drawn with whatever
// face fontconfig offers (or, with no font at all, the reason it is blank).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/cairo_dc.h"
#include "support/test_support.h"

namespace {

struct ProgramRun {
  int status = -1;
  std::string err;
};

// Runs a headless title screenshot with the given fontconfig file (none: the
// system's).
ProgramRun TitleScreenshot(const std::string& fontconfigFile) {
  {
    std::ofstream script("title.script");
    script << "screenshot title.png\n";
  }
  std::string cmd = (fontconfigFile.empty() ? "" : "FONTCONFIG_FILE=" + fontconfigFile + " ") +
                    WENLOTKA_BINARY + " --headless title.script --clock 1000000000 2>&1 >/dev/null";
  ProgramRun run;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (fgets(buf, sizeof buf, p)) run.err += buf;
    int status = pclose(p);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return run;
}

void WriteConfig(const std::string& path, const std::string& fontDir, const std::string& cache) {
  std::ofstream conf(path);
  conf << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>";
  if (!fontDir.empty()) conf << "<dir>" << fontDir << "</dir>";
  conf << "<cachedir>" << cache << "</cachedir></fontconfig>\n";
}

// Dark pixels in the title's first text line ("Tazi's Digdash Type Trainer",
// device rows 97..113 at 642 x 402); the dots around it are purple, not dark.
int InkInTitleLine() {
  CairoDeviceContext shot(1, 1);
  if (!shot.ReadPng("title.png")) return -1;
  int ink = 0;
  for (int y = 97; y < 113; ++y) {
    for (int x = 150; x < 450; ++x) {
      ColorRef c = shot.PixelAt(x, y);
      ink += RedOf(c) < 100 && GreenOf(c) < 100;
    }
  }
  return ink;
}

constexpr const char* Faces = "DejaVu Sans Mono, IPAPGothic, IPAGothic, IPAMincho";

TEST(MissingFonts, OneWarningNamesTheMissingFacesAndTextUsesWhatIsThere) {
  ScratchDir dir;
  ProgramRun normal = TitleScreenshot("");
  EXPECT_EQ(normal.status, 0);
  EXPECT_EQ(normal.err, "") << "the faces are installed here: nothing to say";
  EXPECT_GT(InkInTitleLine(), 100);

  WriteConfig(dir.Path() + "/none.conf", "", dir.Path() + "/cache-none");
  ProgramRun none = TitleScreenshot(dir.Path() + "/none.conf");
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.err, std::string("wenlotka: fonts not installed: ") + Faces +
                          " (Debian: fonts-dejavu-core, fonts-ipafont-gothic, "
                          "fonts-ipafont-mincho); no other font was found, so no text can be "
                          "shown\n");

  const std::string serif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
  if (!std::filesystem::exists(serif)) GTEST_SKIP() << serif << " is not installed";
  std::filesystem::create_directory(dir.Path() + "/fonts");
  std::filesystem::copy_file(serif, dir.Path() + "/fonts/DejaVuSerif.ttf");
  WriteConfig(dir.Path() + "/other.conf", dir.Path() + "/fonts", dir.Path() + "/cache-other");
  ProgramRun other = TitleScreenshot(dir.Path() + "/other.conf");
  EXPECT_EQ(other.status, 0);
  EXPECT_EQ(other.err, std::string("wenlotka: fonts not installed: ") + Faces +
                           " (Debian: fonts-dejavu-core, fonts-ipafont-gothic, "
                           "fonts-ipafont-mincho); drawing with DejaVu Serif instead\n");
  EXPECT_GT(InkInTitleLine(), 100) << "the title's text is drawn in the face that is there";
}

}  // namespace
