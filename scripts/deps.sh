#!/usr/bin/env bash
# Installs the Debian packages WENLOTKA needs, when any are missing. Uses sudo
# unless already root.
#   scripts/deps.sh          what building and playing need
#   scripts/deps.sh --test   that and every tool the tests and benchmarks use
set -euo pipefail

# Building and playing.
play_packages=(
  g++ cmake ninja-build pkg-config
  libsdl2-dev libx11-dev libxkbcommon-dev libcairo2-dev libpixman-1-dev libfontconfig-dev
  libfreetype-dev
  fontconfig fonts-dejavu-core fonts-ipafont-gothic fonts-ipafont-mincho
)

# Tests and benchmarks, on top of the above.
test_packages=(
  libgtest-dev libbenchmark-dev
  libxtst-dev xvfb xauth xdotool
  # the exit save killed and failed at each of its calls
  strace
  # the window's input-method test: ibus with anthy on a JIS keyboard map;
  # setxkbmap (x11-xkb-utils) also for the keyboard layout tests
  ibus ibus-anthy python3-gi dbus libglib2.0-bin x11-xkb-utils
  # packaging tests: the package, its metadata and its contents
  dpkg-dev lintian desktop-file-utils appstream file
)

packages=("${play_packages[@]}")
case "${1:-}" in
  --test) packages+=("${test_packages[@]}") ;;
  "") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
