// Feeds arbitrary character messages through the two stages of key
// normalisation. Whatever arrives, a key that leaves them is 1..127 and the
// lead-byte state stays 0 or 1.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "screens/game_globals.h"
#include "screens/screens.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  GameGlobals g;
  for (std::size_t i = 0; i < size; ++i) {
    const int assembled = AssembleKey(g, data[i]);
    if (g.pendingLeadByte != 0 && g.pendingLeadByte != 1) std::abort();
    if (assembled == 0) continue;
    const int key = MapKanaKey(assembled);
    if (key != 0 && (key < 1 || key > 127)) std::abort();
  }
  return 0;
}
