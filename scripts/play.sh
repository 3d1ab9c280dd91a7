#!/usr/bin/env bash
# Installs what is missing, builds WENLOTKA and starts it in a window.
# The record file and the logs are kept in the directory you start it from.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$root/build" wenlotka
exec "$root/build/src/wenlotka" "$@"
