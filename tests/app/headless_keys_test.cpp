// What typed text and wrong keys do to the game as the headless state shows it.
#include <gtest/gtest.h>

#include <string>

#include "app/app_test_support.h"
#include "support/test_support.h"

namespace {

// The value of a top-level number field of one state line.
std::string Number(const std::string& json, const std::string& key) {
  const std::string needle = "\"" + key + "\":";
  size_t at = json.find(needle);
  if (at == std::string::npos) return "<missing>";
  at += needle.size();
  return json.substr(at, json.find_first_of(",}", at) - at);
}

TEST(HeadlessKeys, ACharacterOutsideCodePage932ArrivesAsAQuestionMark) {
  ScratchDir dir;
  // At the title any key opens the main menu, '?' included.
  RunResult r = RunScript("type é\nstate\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Number(r.out, "screenId"), "1");
  EXPECT_EQ(Number(r.out, "playState"), "1");

  // In a run each such character is one miss, as a typed "?" is.
  r = RunScript("key space\ntype 1\ntype 1\ntype xé😀\nstate\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Number(r.out, "screenId"), "101");
  EXPECT_EQ(Number(r.out, "correctCount"), "0");
  EXPECT_EQ(Number(r.out, "errorCount"), "3");
  EXPECT_NE(r.out.find("\"missKey\":\"?\""), std::string::npos) << r.out;
}

TEST(HeadlessKeys, TheStateCountsErrorsAndCorrectKeysApart) {
  ScratchDir dir;
  RunResult r = RunScript("key space\ntype 1\ntype 1\nmiss 3\nhit 2\nmiss\nstate\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Number(r.out, "errorCount"), "4");
  EXPECT_EQ(Number(r.out, "correctCount"), "2");
  // A retried run starts both counts again.
  r = RunScript("key space\ntype 1\ntype 1\nmiss 3\nhit 60\nkey enter\nmiss\nstate\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Number(r.out, "errorCount"), "1");
  EXPECT_EQ(Number(r.out, "correctCount"), "0");
}

}  // namespace
