#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: in the normal
# build and in a build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

BUILD_DIR=build tools/build.sh
(cd build && ctest --output-on-failure -j2 --timeout 300)

BUILD_DIR=build-asan tools/build.sh -DLOADHDF_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
   ctest --output-on-failure -j2 --timeout 600)
