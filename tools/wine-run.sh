#!/usr/bin/env bash
# tools/wine-run.sh PROGRAM.exe [ARGS...]: runs a program of the Windows
# build under Wine, with HDF4's hdf.dll and mfhdf.dll served by the bridge to
# Debian's i386 HDF4 (windows/hdf4-bridge/), in the Windows build's own Wine
# prefix. Standard input, output and error and the exit status are the
# program's own. The tests, tools/compare-windows-host.sh and a person trying
# the Windows build all run its programs this way:
#
#   tools/wine-run.sh build-windows/bin/vyrhost.exe list sample.hdf
#
# LOADHDF_WINDOWS_BUILD names the build folder (default: build-windows beside
# tools/); WINEPREFIX another prefix (default: its wine-prefix/).
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: tools/wine-run.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LOADHDF_WINDOWS_BUILD:-$root/build-windows}
bridge=$build/hdf4-bridge/wine
for dll in hdf mfhdf hdf4tools; do
  if [ ! -f "$bridge/$dll.dll.so" ] || [ ! -f "$bridge/$dll.dll" ]; then
    echo "wine-run.sh: the HDF4 bridge is not built in $bridge (build $build first)" >&2
    exit 127
  fi
done
export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLPATH=$bridge${WINEDLLPATH:+:$WINEDLLPATH}

# The prefix is made on first use, and gets the bridge's placeholder DLLs in
# its system32, where Wine then finds hdf.dll and mfhdf.dll (and the tests'
# hdf4tools.dll) for any program wherever it lies, and loads the Winelib
# DLLs from WINEDLLPATH in their place. Under a lock: ctest starts two
# programs at once.
system32=$WINEPREFIX/drive_c/windows/system32
prepared() {
  for dll in hdf mfhdf hdf4tools; do
    cmp -s "$bridge/$dll.dll" "$system32/$dll.dll" || return 1
  done
}
if ! prepared; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if ! prepared; then
      [ -d "$system32" ] || wine cmd /c exit </dev/null >/dev/null 2>&1
      cp "$bridge"/{hdf,mfhdf,hdf4tools}.dll "$system32/"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
