#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test four times: in the
# normal build, in a build with AddressSanitizer and UndefinedBehaviorSanitizer,
# in the 32-bit Linux build, where pointers and long have 32 bits as in the
# Windows module, and in the Windows build under Wine (tools/test-windows.sh),
# with Debian's i386 HDF4 serving it through a bridge.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

# Says how long each build took, building and testing together.
started=$SECONDS
took() {
  echo "test.sh: $1 built and tested in $((SECONDS - started)) s"
  started=$SECONDS
}

BUILD_DIR=build tools/build.sh
(cd build && ctest --output-on-failure -j2 --timeout 300)
took "the Linux build"

BUILD_DIR=build-asan tools/build.sh -DLOADHDF_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   LSAN_OPTIONS=suppressions="$PWD/../tools/lsan-suppressions.txt":print_suppressions=0 \
   ctest --output-on-failure -j2 --timeout 600)
took "the sanitizer build"

BUILD_DIR=build-i386 tools/build.sh -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/i386-linux-gnu.cmake"
(cd build-i386 && ctest --output-on-failure -j2 --timeout 300)
took "the 32-bit build"

tools/test-windows.sh
took "the Windows build"
