#include <gtest/gtest.h>

#include <sstream>

#include "app/headless.h"

namespace {

bool Parse(const std::string& text, std::vector<ScriptCommand>& out, std::string& error) {
  std::istringstream in(text);
  return ParseScript(in, out, error);
}

}  // namespace

TEST(ScriptParser, AcceptsEveryCommandAndSkipsCommentsAndBlanks) {
  std::vector<ScriptCommand> cmds;
  std::string error;
  ASSERT_TRUE(
      Parse("# a comment\n\n\r\r\n\v\n  type abc\nchar 0x82\nchar 200\nkey esc\nkey space\nhit\n"
            "hit 5\nmiss 2\nwait 1000\nmouse\nresize 800 600\nrepaint\n"
            "screenshot out file.png\nstate\nquit\nkill\n",
            cmds, error))
      << error;
  ASSERT_EQ(cmds.size(), 16u);
  EXPECT_EQ(cmds[0].kind, ScriptCommand::Kind::Type);
  EXPECT_EQ(cmds[0].bytes, "abc");
  EXPECT_EQ(cmds[0].line, 5);
  EXPECT_EQ(cmds[1].bytes, "\x82");
  EXPECT_EQ(cmds[3].bytes, "\x1b");
  EXPECT_EQ(cmds[4].bytes, " ");
  EXPECT_EQ(cmds[5].count, 1);
  EXPECT_EQ(cmds[6].count, 5);
  EXPECT_EQ(cmds[10].count, 800);
  EXPECT_EQ(cmds[10].count2, 600);
  EXPECT_EQ(cmds[12].bytes, "out file.png");
}

TEST(ScriptParser, TypeConvertsUtf8ToCp932KeepingSpaces) {
  std::vector<ScriptCommand> cmds;
  std::string error;
  ASSERT_TRUE(Parse("type ち １ a\n", cmds, error));
  EXPECT_EQ(cmds[0].bytes, "\x82\xbf \x82\x50 a");
}

TEST(ScriptParser, NamesTheFirstBadLine) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"state\nfly\n", "script line 2: unknown command 'fly'"},
      {"char 256\n", "script line 1: char needs one byte value 0..255"},
      {"char -1\n", "script line 1: char needs one byte value 0..255"},
      {"key f1\n", "script line 1: unknown key 'f1' (esc, enter, tab, backspace, space)"},
      {"hit 0\n", "script line 1: hit takes an optional count 1..1000000"},
      {"wait\n", "script line 1: wait needs milliseconds"},
      {"wait 10ms\n", "script line 1: wait needs milliseconds"},
      {"resize 10\n", "script line 1: resize needs a width and a height, 1..16384"},
      {"screenshot\n", "script line 1: screenshot needs a file name"},
      {"quit now\n", "script line 1: quit takes no arguments"},
      {"type\n", "script line 1: type needs text"},
  };
  for (const auto& c : cases) {
    std::vector<ScriptCommand> cmds;
    std::string error;
    EXPECT_FALSE(Parse(c.script, cmds, error)) << c.script;
    EXPECT_EQ(error, c.error) << c.script;
  }
}
