#!/usr/bin/env bash
# tools/build-windows-hdf4.sh OUT_DIR: builds HDF4 4.2.15 for 32-bit Windows
# from the source archives in ../shared/third_party/ (THIRD_PARTY=DIR points
# elsewhere) with Debian's i686-w64-mingw32 compilers, into OUT_DIR:
#   OUT_DIR/include  the IJG JPEG headers, and in hdf/ HDF4's headers with
#                    the h4config.h of this build
#   OUT_DIR/lib      libmfhdf.a, libhdf.a, libxdr.a (HDF4's own XDR, which
#                    Windows lacks), libjpeg.a
#   OUT_DIR/bin      hrepack.exe and ncgen.exe, two of HDF4's tools that the
#                    tests write files with
#   OUT_DIR/licenses the licences of HDF4, IJG JPEG and zlib, which go with
#                    a module that has them linked in
# Static libraries: the add-on links HDF4 into loadhdf.dll, so that one file
# is all a user installs and no other HDF4 in the host's process (another
# add-on's, of another version) can be picked up in its place.
#
# Runs once per OUT_DIR (OUT_DIR/.done says it finished); delete the folder
# to build again. HDF4's configure checks run test programs, under Wine, in a
# Wine prefix of its own inside OUT_DIR. The patches HDF4 needs for this
# build are in windows/hdf4-patches/, one small file each, applied in order.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ $# -ne 1 ]; then
  echo "usage: tools/build-windows-hdf4.sh OUT_DIR" >&2
  exit 2
fi
mkdir -p "$1"
out=$(cd "$1" && pwd)
if [ -f "$out/.done" ]; then
  exit 0
fi
third_party=${THIRD_PARTY:-$root/../shared/third_party}
hdf_archive=$third_party/hdf-4.2.15.tar.gz
jpeg_archive=$third_party/jpeg-9f.tar.gz
for archive in "$hdf_archive" "$jpeg_archive"; do
  if [ ! -f "$archive" ]; then
    echo "build-windows-hdf4: $archive not found (THIRD_PARTY=DIR names the folder)" >&2
    exit 1
  fi
done
# The archives' checksums, as their README gives them.
sha256sum --quiet -c - <<EOF
53ec0f21bdf242d212a3bc55675a3b3baf970eb5e898c84bb96b295c0156af2a  $hdf_archive
5ad3e43294b996d0dbe4c01395bb55448df5f5e86629df31c3d48446c959a05c  $jpeg_archive
EOF

work=$out/work
rm -rf "$work" "$out/include" "$out/lib"
mkdir -p "$work" "$out/include" "$out/lib"
export WINEPREFIX=$out/wine-prefix WINEDEBUG=-all
log=$out/build.log
: >"$log"
echo "building HDF4 for 32-bit Windows in $out (log: $log)"

# ---- IJG JPEG 9f, static.
tar -xzf "$jpeg_archive" -C "$work"
(
  cd "$work/jpeg-9f"
  ./configure --host=i686-w64-mingw32 CC=i686-w64-mingw32-gcc-posix CFLAGS=-O2 \
    --disable-shared --enable-static --prefix="$out" >>"$log" 2>&1
  make -j2 libjpeg.la >>"$log" 2>&1
  make install-libLTLIBRARIES install-includeHEADERS >>"$log" 2>&1
  cp jconfig.h "$out/include/"
)
rm -f "$out/lib/libjpeg.la"

# ---- HDF4 4.2.15: the C libraries alone, static, with zlib and JPEG.
tar -xzf "$hdf_archive" -C "$work"
src=$work/hdf-4.2.15
for patch in "$root"/windows/hdf4-patches/*.patch; do
  patch -d "$src" -p1 --quiet <"$patch"
done
cmake -S "$src" -B "$work/hdf4-build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32-compilers.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$work/hdf4-install" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DHDF4_BUILD_FORTRAN=OFF -DHDF4_BUILD_JAVA=OFF \
  -DHDF4_BUILD_TOOLS=ON -DHDF4_BUILD_UTILS=OFF -DHDF4_BUILD_EXAMPLES=OFF \
  -DHDF4_ENABLE_SZIP_SUPPORT=OFF -DHDF4_ENABLE_NETCDF=OFF \
  -DJPEG_INCLUDE_DIR="$out/include" -DJPEG_LIBRARY="$out/lib/libjpeg.a" \
  -DZLIB_INCLUDE_DIR=/usr/i686-w64-mingw32/include \
  -DZLIB_LIBRARY=/usr/i686-w64-mingw32/lib/libz.a >>"$log" 2>&1
cmake --build "$work/hdf4-build" -j2 --target hdf-static mfhdf-static xdr-static hrepack ncgen \
  >>"$log" 2>&1
# The libraries and headers alone: HDF4's other tools are not built.
for component in libraries headers; do
  cmake --install "$work/hdf4-build" --component $component >>"$log" 2>&1
done
# Under include/hdf/, as the add-on includes them (<hdf/mfhdf.h>).
mkdir -p "$out/include/hdf"
cp -r "$work/hdf4-install/include/." "$out/include/hdf/"
cp "$work/hdf4-install/lib/"lib{mfhdf,hdf,xdr}.a "$out/lib/"
mkdir -p "$out/bin"
cp "$work/hdf4-build/bin/"{hrepack,ncgen}.exe "$out/bin/"

mkdir -p "$out/licenses"
cp "$src/COPYING" "$out/licenses/HDF4-COPYING.txt"
cp "$work/jpeg-9f/README" "$out/licenses/IJG-JPEG-README.txt"
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$out/licenses/zlib-copyright.txt"

rm -rf "$work"
touch "$out/.done"
echo "HDF4 for 32-bit Windows: $out/lib"
