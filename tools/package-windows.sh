#!/usr/bin/env bash
# tools/package-windows.sh [WINDOWS_BUILD] [OUT_DIR]: makes the zip a Windows
# user of the host copies, from the Windows build (default build-windows/)
# into OUT_DIR (default: the build folder):
#
#   loadhdf-VERSION-win32/
#     loadhdf.dll       the add-on: the one file the host needs
#     README.txt        where it goes, and how to try it
#     licenses/         HDF4's, IJG JPEG's and zlib's, all linked into it
#     stand-in-host/    vyrhost.exe and its libvyr.dll, and sample.hdf: the
#                       module tried without the host
#
# Programs and DLLs are stripped of their debugging information. Prints the
# zip's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
out=$(mkdir -p "${2:-$build}" && cd "${2:-$build}" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix} WINEDEBUG=-all

version=$(sed -n 's/^#define LOADHDF_FILE_VERSION "\(.*\)"$/\1/p' "$root/addon/addon_version.h")
name=loadhdf-$version-win32
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
mkdir -p "$folder/stand-in-host" "$folder/licenses"

strip=i686-w64-mingw32-strip
$strip -o "$folder/loadhdf.dll" "$build/lib/loadhdf.dll"
$strip -o "$folder/stand-in-host/vyrhost.exe" "$build/bin/vyrhost.exe"
$strip -o "$folder/stand-in-host/libvyr.dll" "$build/bin/libvyr.dll"
cp "$build/hdf4/licenses/"*.txt "$folder/licenses/"
wine "$build/bin/make_sample_hdf.exe" "$folder/stand-in-host/sample.hdf" >/dev/null

# Windows' own line ends, for Notepad.
sed 's/$/\r/' >"$folder/README.txt" <<EOF
HDF Loader $version for Vyrlith, 32-bit Windows
===============================================

loadhdf.dll is the add-on. Copy it, alone, into the add-on folder of the
Vyrlith installation and start Vyrlith: "HDF Loader" then appears among the
data loaders. HDF4 4.2.15 is inside the DLL, so it needs nothing beside it
and does not mind another HDF4 in the same process.

Do not copy stand-in-host\\libvyr.dll anywhere: Vyrlith has its own.

To try the add-on without Vyrlith, in a command window in stand-in-host:

  vyrhost --addon ..\\loadhdf.dll list sample.hdf
  vyrhost --addon ..\\loadhdf.dll load sample.hdf --sds 1,2

vyrhost is the project's stand-in for the host: "vyrhost --help" lists its
commands.

licenses\\ holds the licences of HDF4, the IJG JPEG library and zlib, which
are linked into loadhdf.dll.
EOF

rm -f "$out/$name.zip"
(cd "$stage" && cmake -E tar cf "$out/$name.zip" --format=zip "$name")
echo "$out/$name.zip"
