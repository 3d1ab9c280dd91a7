#!/usr/bin/env bash
# The package a distribution would ship: two release builds in different
# folders, packaged with cpack under one SOURCE_DATE_EPOCH, must give the same
# bytes; the package must hold every installed file, pass lintian without
# errors, declare its dependencies, carry a stripped binary, and run from a
# temporary root. Exit 77 (skipped) where the packaging tools are missing.
# Usage: package_test.sh SOURCE_DIR
set -euo pipefail
src=$(cd "$1" && pwd)

for tool in cmake cpack ninja dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli file; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/deps.sh --test installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export SOURCE_DATE_EPOCH=1700000000
package() {  # package FOLDER: a release build without tests, packaged
  cmake -S "$src" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DWENLOTKA_TESTS=OFF -DWENLOTKA_BENCH=OFF >"$1.log" 2>&1
  ninja -C "$1" >>"$1.log" 2>&1
  (cd "$1" && cpack -G DEB >>"$1.log" 2>&1)
  ls "$1"/wenlotka_*.deb
}
first=$(package "$work/one") || { cat "$work/one.log"; exit 1; }
second=$(package "$work/other-folder") || { cat "$work/other-folder.log"; exit 1; }
echo "package: $(basename "$first"), $(stat -c %s "$first") bytes"
cmp "$first" "$second" || fail "two builds with the same SOURCE_DATE_EPOCH differ"

# Every installed file is in the package.
dpkg-deb -c "$first" | awk '{print $6}' >"$work/contents"
for f in \
  ./usr/bin/wenlotka \
  ./usr/share/applications/org.example.wenlotka.desktop \
  ./usr/share/icons/hicolor/48x48/apps/wenlotka.png \
  ./usr/share/icons/hicolor/64x64/apps/wenlotka.png \
  ./usr/share/icons/hicolor/128x128/apps/wenlotka.png \
  ./usr/share/icons/hicolor/256x256/apps/wenlotka.png \
  ./usr/share/metainfo/org.example.wenlotka.metainfo.xml \
  ./usr/share/man/man6/wenlotka.6.gz \
  ./usr/share/doc/wenlotka/copyright \
  ./usr/share/doc/wenlotka/changelog.gz; do
  grep -qxF "$f" "$work/contents" || fail "$f is not in the package"
done

# Dependencies: the shared libraries through dpkg-shlibdeps, and the faces.
depends=$(dpkg-deb -f "$first" Depends)
echo "Depends: $depends"
for d in libsdl2-2.0-0 libcairo2 libfontconfig1 libc6 libstdc++6 \
  fonts-dejavu-core fonts-ipafont-gothic fonts-ipafont-mincho; do
  [[ ", $depends," == *", $d"[\ ,]* ]] || fail "Depends lacks $d"
done

# lintian: no errors.
lintian --tag-display-limit 0 "$first" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
if grep -q '^E: ' "$work/lintian"; then fail "lintian reports errors"; fi

# Unpacked into a temporary root, it runs from there.
root=$work/root
dpkg-deb -x "$first" "$root"
bin=$root/usr/bin/wenlotka
file -b "$bin" | grep -q ', stripped' || fail "the binary is not stripped: $(file -b "$bin")"
[ "$("$bin" --version)" = "wenlotka 2.0.5" ] || fail "--version: $("$bin" --version)"
printf 'key space\ntype 1\ntype 1\nhit\nwait 5000\nhit 59\nstate\nquit\n' >"$work/play.txt"
state=$(cd "$work" && "$bin" --headless play.txt --clock 1000000000 --data-dir "$work/data") ||
  fail "the unpacked program failed a headless script"
[[ $state == *'"recordState":1'* ]] || fail "no first record in: $state"
for f in wenlotka.rec wenlotka.log wenlotka.spd; do
  [ -f "$work/data/$f" ] || fail "the headless run wrote no $f"
done

# The installed metadata validates as installed.
desktop-file-validate "$root/usr/share/applications/org.example.wenlotka.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic \
  "$root/usr/share/metainfo/org.example.wenlotka.metainfo.xml" || fail "appstreamcli validate"
categories=$(grep '^Categories=' "$root/usr/share/applications/org.example.wenlotka.desktop")
main=0
for c in AudioVideo Audio Video Development Education Game Graphics Network Office Science \
  Settings System Utility; do
  [[ ";${categories#Categories=}" == *";$c;"* ]] && main=$((main + 1))
done
[ "$main" -eq 1 ] || fail "the desktop entry has $main main categories: $categories"

# cmake --install puts the same files in place.
DESTDIR=$work/dest cmake --install "$work/one" --prefix /usr --strip >/dev/null
(cd "$work/dest" && find . -type f | sort) >"$work/installed"
(grep -v '/$' "$work/contents" | sort) >"$work/packaged"
diff "$work/installed" "$work/packaged" || fail "cmake --install and the package differ"

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "package checks passed"
