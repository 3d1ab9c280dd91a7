// Reads back what a screen drew, by logical position, whatever the painter's
// device arithmetic: each column is located by drawing a probe character there.
#pragma once

#include <string>

#include "screens/game_globals.h"
#include "support/test_support.h"
#include "textscreen/textscreen.h"

// The single-byte characters drawn on logical row `y`, one per column from
// logical x `x0`; '?' marks a column where nothing single-byte was drawn.
inline std::string DrawnLine(GameGlobals g, const RecordingDC& dc, int y, int x0, int columns) {
  std::string line(columns, '?');
  for (int k = 0; k < columns; ++k) {
    RecordingDC probe;
    PutText(g, probe, y, x0 + k * CellWidth, "X");
    if (probe.texts.empty()) continue;
    const RecordingDC::Text& at = probe.texts.front();
    for (const RecordingDC::Text& t : dc.texts) {
      if (t.left == at.left && t.top == at.top && t.bytes.size() == 1) line[k] = t.bytes[0];
    }
  }
  return line;
}
