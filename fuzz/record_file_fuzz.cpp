// Feeds arbitrary bytes to the record-file reader as if they were
// "wenlotka.rec", checking that whatever it reads stays printable by the writer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "records/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // fmemopen wants a writable buffer and refuses an empty one on some libcs.
  std::vector<char> bytes(data, data + size);
  bytes.push_back('\0');
  std::FILE* file = fmemopen(bytes.data(), size == 0 ? 1 : size, "r");
  if (file == nullptr) return 0;
  GameGlobals g;
  LoadRecordFile(g, file);
  std::fclose(file);
  for (const auto& level : g.CourseRecordTable) {
    for (const CourseRecord& c : level) {
      if (c.bestDate[8] != '\0') std::abort();
      if (std::strlen(c.bestDate) != 8) std::abort();
      if (c.bestTime != c.bestTime) std::abort();  // NaN would print as text
    }
  }
  return 0;
}
