#!/usr/bin/env bash
# Installs the Debian packages WENLOTKA needs to build, run and test, when any
# are missing. Uses sudo unless already root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libsdl2-dev libx11-dev libxkbcommon-dev libxtst-dev libcairo2-dev libpixman-1-dev libfontconfig-dev libfreetype-dev
  fontconfig fonts-dejavu-core fonts-ipafont-gothic fonts-ipafont-mincho
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool
  # the window's input-method test: ibus with anthy on a JIS keyboard map
  ibus ibus-anthy python3-gi dbus libglib2.0-bin x11-xkb-utils
)

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
