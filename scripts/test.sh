#!/usr/bin/env bash
# Installs what is missing (the test tools too), builds everything and runs
# every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" --test
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWENLOTKA_TESTS=ON -DWENLOTKA_BENCH=ON >/dev/null
ninja -C "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j2
