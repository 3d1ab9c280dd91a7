#!/usr/bin/env bash
# Regenerates the README's pictures with the headless driver.
# Usage: scripts/screenshots.sh [path/to/wenlotka]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/src/wenlotka}
out=$root/docs/images
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

shot() {  # shot SIZE SCRIPT
  TZ=UTC "$bin" --headless - --clock 1000000000 --size "$1" <<<"$2"
}

shot 642x402 "screenshot $out/title-642x402.png
wait 1000
screenshot $out/title-642x402-phase1.png
kill"
shot 1282x802 "screenshot $out/title-1282x802.png
kill"
shot 642x402 "key space
type 1
type 2
key esc
key esc
type 7
screenshot $out/main-menu.png
type 1
screenshot $out/level-menu.png
kill"
for level in 1 2 3; do
  shot 642x402 "key space
type $level
type 1
hit 12
miss
wait 3000
screenshot $out/practice-level$level.png
kill"
done
shot 642x402 "key space
type 1
type 1
$(for i in $(seq 60); do printf 'hit\nwait 900\n'; done)
key enter
$(for i in $(seq 60); do printf 'hit\nwait 600\n'; done)
screenshot $out/practice-result.png
key esc
type 7
type 4
wait 30000
repaint
screenshot $out/record-screen.png
kill"

# The progress report: four sessions a day apart, Standard Home Row and
# Beginner's Upper Row, each run a little faster, with a few misses and keys
# left until their mole appears, in a folder of their own.
mkdir progress
cd progress
run() {  # run KEYGAP: 60 keys, a miss every 9th, the mole awaited every 11th
  for i in $(seq 60); do
    if ((i % 9 == 0)); then printf 'miss\ntype ;\n'; fi
    if ((i % 11 == 0)); then printf 'wait 2100\n'; else printf 'wait %d\n' "$1"; fi
    printf 'hit\n'
  done
}
for day in 0 1 2 3; do
  TZ=UTC "$bin" --headless - --clock $((1000000000 + 86400 * day)) <<<"key space
type 2
type 1
$(run $((1100 - 150 * day)))
key enter
$(run $((1000 - 150 * day)))
key esc
type 7
type 1
type 2
$(run $((900 - 120 * day)))
quit"
done
TZ=UTC "$bin" --report "$out/progress-report.png" >/dev/null
# The same inside the game, then a Weak Keys run at Standard over those
# statistics (killed, so the files stay as they are).
TZ=UTC "$bin" --headless - --clock $((1000000000 + 86400 * 4)) --size 1282x802 <<<"key space
type 6
screenshot $out/progress-screen.png
kill"
TZ=UTC "$bin" --headless - --clock $((1000000000 + 86400 * 4)) <<<"key space
type 2
type 8
$(run 700)
screenshot $out/weak-keys.png
kill"
for layout in azerty dvorak; do
  TZ=UTC "$bin" --headless - --clock 1000000000 --size 642x402 --layout $layout <<<"key space
type 1
type 6
hit 3
screenshot $out/layout-$layout.png
kill"
done
echo "pictures written to $out"
