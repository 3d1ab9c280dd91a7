// What `cmake --install` puts in place, checked where it is kept: the icons
// and the manual page.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "install/install_support.h"

namespace {

const std::string Resources = std::string(WENLOTKA_SOURCE_DIR) + "/resources";

}  // namespace

TEST(Icons, EachSizeIsSquareWithATransparentBackgroundAndAnOpaqueKeyCap) {
  for (int n : {48, 64, 128, 256}) {
    const std::string size = std::to_string(n) + "x" + std::to_string(n);
    const std::string path = Resources + "/icons/" + size + "/apps/wenlotka.png";
    const std::string bytes = ReadBytes(path);
    // Colour type 6 in the header: RGBA, the alpha channel themes need.
    ASSERT_GT(bytes.size(), 26u) << path;
    EXPECT_EQ(bytes[25], 6) << size;
    const Picture p = ReadPng(path);
    ASSERT_EQ(p.width, n);
    ASSERT_EQ(p.height, n);
    // Corners are background; the key cap's black face and magenta rim are opaque.
    for (auto [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}}) {
      EXPECT_EQ(p.At(x, y) >> 24, 0u) << size << " at " << x << "," << y;
    }
    EXPECT_EQ(p.At(n * 10 / 64, n * 20 / 64), 0xFF000000u) << size;  // the black face
    EXPECT_EQ(p.At(n * 7 / 64, n * 20 / 64), 0xFFFF00FFu) << size;   // the magenta rim
  }
}

TEST(ManualPage, CoversEveryOptionScriptCommandFileAndExitStatus) {
  const std::string page = ReadBytes(Resources + "/wenlotka.6");
  ASSERT_FALSE(page.empty());
  // Every option --help names, in the page's escaped form (\-\-name).
  const std::string help = RunProgram("--help").out;
  std::set<std::string> options;
  const std::regex option("--[a-z][a-z-]*");
  for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
       it != std::sregex_iterator(); ++it) {
    options.insert(it->str());
  }
  EXPECT_GE(options.size(), 8u);
  for (const std::string& o : options) {
    std::string escaped;
    for (char c : o) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(page.find(escaped), std::string::npos) << o << " is not in the manual page";
  }
  const size_t scripts = page.find(".SH HEADLESS SCRIPTS");
  ASSERT_NE(scripts, std::string::npos);
  const std::string language = page.substr(scripts, page.find(".SH", scripts + 1) - scripts);
  for (const char* command : {"type", "char", "key", "hit", "miss", "wait", "jump", "mouse", "repaint",
                              "resize", "screenshot", "state", "quit", "kill"}) {
    EXPECT_TRUE(std::regex_search(
        language, std::regex(std::string("\\.(B|BI|BR) ([^\\n]* )?\"?") + command + "\\b")))
        << command << " is not described under HEADLESS SCRIPTS";
  }
  for (const char* file : {"wenlotka.rec", "wenlotka.log", "wenlotka.spd"}) {
    EXPECT_NE(page.find(std::string(".I ") + file), std::string::npos) << file;
  }
  const size_t statuses = page.find(".SH EXIT STATUS");
  ASSERT_NE(statuses, std::string::npos);
  for (const char* status : {"0", "1", "2", "3", "4"}) {
    EXPECT_NE(page.find(std::string(".B ") + status + "\n", statuses), std::string::npos) << status;
  }
}
