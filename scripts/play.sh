#!/usr/bin/env bash
# Installs what building and playing need, builds WENLOTKA (without its tests)
# and starts it in a window. Arguments are passed on to the game.
# The record file and the logs are kept in ~/.local/share/wenlotka (or
# $XDG_DATA_HOME/wenlotka), or in the folder given with --data-dir.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWENLOTKA_TESTS=OFF -DWENLOTKA_BENCH=OFF >/dev/null
ninja -C "$root/build" wenlotka
exec "$root/build/src/wenlotka" "$@"
