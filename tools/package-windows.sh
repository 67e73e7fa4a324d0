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
which are not in this package. Copy

  hdf.dll     HDF4's base library
  mfhdf.dll   HDF4's scientific data set (SD) library
  xdr.dll     HDF4's XDR library, which mfhdf.dll loads
  zlib.dll, jpeg.dll, szip.dll
              where the build made them as DLLs (HDF4 then loads them)

into the folder of Vyrlith's program, or into a folder on PATH. Windows
looks for them there, not in the add-on folder. Take release builds of
32 bits: a debug build names its DLLs hdf_D.dll and mfhdf_D.dll, which the
add-on does not load, and 64-bit DLLs cannot be loaded by a 32-bit module.

Where 32-bit DLLs come from: HDF4 4.2.15's release notes list only 64-bit
Windows among the platforms it was tested on, so a 32-bit set may not be
published. HDF4 4.2.15's own CMake build makes one: in its source,
release_notes/INSTALL_CMake.txt describes the build, and on Windows with
Visual Studio 2019 the command for the 32-bit platform is

  ctest -S HDF4config.cmake,BUILD_GENERATOR=VS2019 -C Release -VV -O hdf4.log

(VS2017 and VS2015 likewise; the generators ending in 64 build 64-bit
DLLs). It makes a package HDF-4.2.15-win32.zip whose bin folder holds the
DLLs above under those names.

The C runtime those DLLs were built against (Visual C++'s, for that build)
does not matter to the add-on: it passes HDF4 only numbers, names and
buffers it owns itself, never frees memory HDF4 allocated, and never hands
HDF4 a FILE or reads its errno. The runtime must still be installed for the
DLLs to load: for a Visual Studio build, the x86 Visual C++ Redistributable
of that Visual Studio.

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
