#!/usr/bin/env bash
# The Windows part of tools/test.sh, after the Linux build (build/): builds
# the project for 32-bit Windows into build-windows/, with the HDF4 bridge
# that serves Debian's i386 HDF4 under Wine, runs its tests under Wine
# (tools/wine-run.sh), checks that vyrhost.exe says what the Linux vyrhost
# says (tools/compare-windows-host.sh), and makes the package, unpacks it
# into a fresh folder and loads its sample file with the vyrhost.exe inside,
# with HDF4 there and without it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

BUILD_DIR=build-windows tools/build.sh -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"
export LOADHDF_WINDOWS_BUILD=$root/build-windows
export WINEPREFIX=$root/build-windows/wine-prefix WINEDEBUG=-all
# A Wine server that stays up until the end, in place of any that the build's
# test listing left behind (a second one cannot start beside it); then one
# Wine program alone, which prepares the prefix.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p
trap 'wineserver -k || true' EXIT
tools/wine-run.sh cmd /c exit
(cd build-windows && ctest --output-on-failure -j2 --timeout 300)

tools/compare-windows-host.sh build build-windows

zip=$(tools/package-windows.sh build-windows)
fresh=$(mktemp -d)
trap 'wineserver -k || true; rm -rf "$fresh"' EXIT
(cd "$fresh" && cmake -E tar xf "$zip")
host=$(echo "$fresh"/loadhdf-*-win32/stand-in-host)
(cd "$host" && "$root/tools/wine-run.sh" vyrhost.exe --addon '..\loadhdf.dll' load sample.hdf --sds 1,2) \
  | sed 's/\r$//' >"$fresh/windows.txt"
build/bin/vyrhost load "$host/sample.hdf" --sds 1,2 >"$fresh/linux.txt"
if ! cmp -s "$fresh/windows.txt" "$fresh/linux.txt" || [ ! -s "$fresh/linux.txt" ]; then
  echo "the package's vyrhost.exe loaded the sample file differently:" >&2
  diff "$fresh/linux.txt" "$fresh/windows.txt" >&2 || true
  exit 1
fi
# Without HDF4's DLLs (Wine told to load neither) Windows refuses the module,
# and the host says so.
status=0
(cd "$host" && WINEDLLOVERRIDES='hdf,mfhdf=' "$root/tools/wine-run.sh" vyrhost.exe \
   --addon '..\loadhdf.dll' list sample.hdf) >/dev/null 2>"$fresh/missing.txt" || status=$?
if [ "$status" -eq 0 ] || ! grep -q 'loadhdf.dll' "$fresh/missing.txt"; then
  echo "the package's vyrhost.exe without HDF4's DLLs: exit $status, said:" >&2
  cat "$fresh/missing.txt" >&2
  exit 1
fi
echo "package $(basename "$zip"): unpacked, its sample file loads as on Linux;" \
  "without HDF4's DLLs: $(sed 's/\r$//' "$fresh/missing.txt" | head -1)"
