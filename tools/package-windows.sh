#!/usr/bin/env bash
# tools/package-windows.sh [WINDOWS_BUILD] [OUT_DIR]: makes the zip a Windows
# user of the host copies, from the Windows build (default build-windows/)
# into OUT_DIR (default: the build folder):
#
#   loadhdf-VERSION-win32/
#     loadhdf.dll       the add-on
#     README.txt        where it goes, the HDF4 DLLs it needs, how to try it
#     stand-in-host/    vyrhost.exe and its libvyr.dll, and sample.hdf: the
#                       module tried without the host
#
# HDF4 is not in the package: the module imports it from HDF4's own Windows
# DLLs, which the user installs.
# Programs and DLLs are stripped of their debugging information. Prints the
# zip's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
out=$(mkdir -p "${2:-$build}" && cd "${2:-$build}" && pwd)

version=$(sed -n 's/^#define LOADHDF_FILE_VERSION "\(.*\)"$/\1/p' "$root/interface/addon_version.h")
name=loadhdf-$version-win32
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
mkdir -p "$folder/stand-in-host"

strip=i686-w64-mingw32-strip
$strip -o "$folder/loadhdf.dll" "$build/lib/loadhdf.dll"
$strip -o "$folder/stand-in-host/vyrhost.exe" "$build/bin/vyrhost.exe"
$strip -o "$folder/stand-in-host/libvyr.dll" "$build/bin/libvyr.dll"
LOADHDF_WINDOWS_BUILD=$build "$root/tools/wine-run.sh" "$build/bin/make_sample_hdf.exe" \
  "$folder/stand-in-host/sample.hdf" >/dev/null

# Windows' own line ends, for Notepad.
sed 's/$/\r/' >"$folder/README.txt" <<EOF
HDF Loader $version for Vyrlith, 32-bit Windows
===============================================

loadhdf.dll is the add-on. Copy it into the add-on folder of the Vyrlith
installation and start Vyrlith: "HDF Loader" then appears among the data
loaders.

Processor
---------
The add-on needs an x86 processor with SSE2: a Pentium 4, an Athlon 64 or
any later one, as every Windows since Windows 8 does.

HDF4
----
The add-on reads HDF files with HDF4 4.2.15's own 32-bit Windows DLLs,
which are not in this package. From the bin folder of HDF4 4.2.15's 32-bit
Windows distribution (The HDF Group), copy

  hdf.dll     HDF4's base library
  mfhdf.dll   HDF4's scientific data set (SD) library
  xdr.dll     and every other DLL of that bin folder that these two load
              (zlib, JPEG and szip, where the distribution has them)

into the folder of Vyrlith's program, or into a folder on PATH. Windows
looks for them there, not in the add-on folder. Take the release builds
(hdf.dll, not hdf_D.dll), of 32 bits.

If they are missing, Windows refuses to load loadhdf.dll: Vyrlith cannot
load the add-on, and Windows' reason is "The specified module could not be
found", which here means hdf.dll or mfhdf.dll, not loadhdf.dll itself.

The add-on guards Vyrlith against damaged files by checking each file's
structure against what HDF4 4.2.15's readers assume before HDF4 reads it.
With HDF4 DLLs of any other release it says "Add-on "HDF Loader" requires
HDF4 version 4.2.15" and the release it found, and loads nothing.

Trying it
---------
To try the add-on without Vyrlith, put the HDF4 DLLs beside
stand-in-host\vyrhost.exe (or on PATH) and, in a command window in
stand-in-host:

  vyrhost --addon ..\loadhdf.dll list sample.hdf
  vyrhost --addon ..\loadhdf.dll load sample.hdf --sds 1,2

vyrhost is the project's stand-in for the host: "vyrhost --help" lists its
commands. Do not copy stand-in-host\libvyr.dll anywhere: Vyrlith has its
own.
EOF

rm -f "$out/$name.zip"
(cd "$stage" && cmake -E tar cf "$out/$name.zip" --format=zip "$name")
echo "$out/$name.zip"
