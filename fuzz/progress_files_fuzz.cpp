// Feeds arbitrary bytes to the readers of "wenlotka.keys" and "wenlotka.runs":
// whatever they accept must be written back so that it reads the same again,
// and must make a report without a fault. (The picture is left out: the
// font library keeps a cache for the process that the leak check reports.)
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "progress/progress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  KeyStatistics stats;
  std::vector<RunEntry> runs;
  std::string error;
  const bool keysRead = ParseKeyStatistics(bytes, &stats, &error);
  if (keysRead) {
    const std::string written = FormatKeyStatistics(stats);
    KeyStatistics again;
    if (!ParseKeyStatistics(written, &again, &error)) std::abort();
    if (FormatKeyStatistics(again) != written) std::abort();
    AddKeyStatistics(again, stats);
  } else if (error.rfind("line ", 0) != 0) {
    std::abort();  // every refusal names its line
  }
  const bool runsRead = ParseRunHistory(bytes, &runs, &error);
  if (runsRead) {
    std::string written;
    for (const RunEntry& r : runs) written += FormatRunLine(r);
    std::vector<RunEntry> again;
    if (!ParseRunHistory(written, &again, &error) || again.size() != runs.size()) std::abort();
  }
  if (keysRead || runsRead) BuildReportText(stats, runs);
  return 0;
}
