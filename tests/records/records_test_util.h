// Helpers for the records tests: reading a record file from memory and
// building record-file texts line by line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "records/records.h"

// Runs LoadRecordFile over the given bytes and returns its result.
inline int LoadFromBytes(GameGlobals& g, const std::string& bytes) {
  std::string copy = bytes.empty() ? std::string(1, '\0') : bytes;
  std::FILE* f = fmemopen(copy.data(), bytes.size() == 0 ? 0 : copy.size(), "r");
  if (f == nullptr) f = std::tmpfile();  // older fmemopen refuses size 0
  int result = LoadRecordFile(g, f);
  std::fclose(f);
  return result;
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

inline std::string JoinLines(const std::vector<std::string>& lines, const char* ending = "\n") {
  std::string text;
  for (const std::string& l : lines) text += l + ending;
  return text;
}

constexpr std::int64_t March1st2008 = 1204374896;  // 2008-03-01 12:34:56 UTC
