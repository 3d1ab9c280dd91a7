// Feeds arbitrary bytes to the headless script parser: it must accept or
// name a bad line, never crash, and never accept a command it cannot run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<ScriptCommand> commands;
  std::string error;
  if (ParseScript(in, commands, error)) {
    for (const ScriptCommand& c : commands) {
      bool sane = c.line >= 1;
      switch (c.kind) {
        case ScriptCommand::Kind::Char:
          sane = sane && c.bytes.size() == 1;
          break;
        case ScriptCommand::Kind::Hit:
        case ScriptCommand::Kind::Miss:
          sane = sane && c.count >= 1;
          break;
        case ScriptCommand::Kind::Wait:
          sane = sane && c.count >= 0;
          break;
        case ScriptCommand::Kind::Resize:
          sane = sane && c.count >= 1 && c.count2 >= 1 && c.count <= 16384 && c.count2 <= 16384;
          break;
        case ScriptCommand::Kind::Screenshot:
          sane = sane && !c.bytes.empty();
          break;
        default:
          break;
      }
      if (!sane) std::abort();
    }
  } else if (error.rfind("script line ", 0) != 0) {
    std::abort();
  }
  return 0;
}
