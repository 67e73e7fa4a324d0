#!/usr/bin/env bash
# The Windows part of tools/test.sh, after the Linux build (build/): builds
# the project for 32-bit Windows into build-windows/ (HDF4 4.2.15 from
# ../shared/third_party/ first, once), runs its tests under Wine, checks that
# vyrhost.exe says what the Linux vyrhost says (tools/compare-windows-host.sh),
# and makes the package, unpacks it into a fresh folder and loads its sample
# file with the vyrhost.exe inside.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

BUILD_DIR=build-windows tools/build.sh -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"
export WINEPREFIX=$root/build-windows/wine-prefix WINEDEBUG=-all
# One Wine program alone first, so that two tests starting together do not
# both set the prefix up; the Wine server then stays up until the end.
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit
(cd build-windows && ctest --output-on-failure -j2 --timeout 300)

tools/compare-windows-host.sh build build-windows

zip=$(tools/package-windows.sh build-windows)
fresh=$(mktemp -d)
trap 'wineserver -k || true; rm -rf "$fresh"' EXIT
(cd "$fresh" && cmake -E tar xf "$zip")
host=$(echo "$fresh"/loadhdf-*-win32/stand-in-host)
(cd "$host" && wine vyrhost.exe --addon '..\loadhdf.dll' load sample.hdf --sds 1,2) \
  | sed 's/\r$//' >"$fresh/windows.txt"
build/bin/vyrhost load "$host/sample.hdf" --sds 1,2 >"$fresh/linux.txt"
if ! cmp -s "$fresh/windows.txt" "$fresh/linux.txt" || [ ! -s "$fresh/linux.txt" ]; then
  echo "the package's vyrhost.exe loaded the sample file differently:" >&2
  diff "$fresh/linux.txt" "$fresh/windows.txt" >&2 || true
  exit 1
fi
echo "package $(basename "$zip"): unpacked, its sample file loads as on Linux"
