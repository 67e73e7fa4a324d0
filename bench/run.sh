#!/usr/bin/env bash
# The load benchmark in one command: installs what it needs from Debian
# through tools/install-deps.sh (pyhdf and numpy for the peer, GNU time for
# peak memory, Google Benchmark), builds vyrhost, the add-on and the benchmark
# programs in release mode into build-release/, writes the benchmark files
# once into a scratch folder, and runs bench/run_bench.py, which proves that
# every command builds the same arrays and prints the tables, with the peak
# memory of every command, and the add-on's own cost per stored value
# (bench/fill_zone_cost.cpp: FillZone against a host store that only counts)
# of the 64-bit and i386 builds. Then the two Google Benchmark programs: the
# scan of 2,000 data sets against HDF4's own info calls, and the per-value
# path (VyrUtilDataValueSetByRef, FillZone) against a plain store loop.
#
# The module users install is 32-bit, so the same cases also time vyrhost of
# the 32-bit Linux build (build-release-i386/) and of the Windows build under
# Wine (build-release-windows/), each as a ratio to the 64-bit one; the i386
# build runs the same code natively, which tells Wine's share apart.
# --64-only leaves them out.
#
# The memory cases load float32 cubes of 400 MiB (contiguous, and deflated
# in a chunk per plane) and 1.6 GiB at skips 2,2,2 and 4,4,4, beside pyhdf
# reading whole or strided, the 1.6 GiB cube with the 32-bit builds too; they
# take about half of the run's 7 to 8 minutes here and --no-large leaves
# them out. --before ROOT runs, in the same runs of every case, the vyrhost
# of another tree's release builds (build-release*/ under ROOT, an absolute
# path, built with the same commands as here), such as a work tree of the
# commit before a change to the loader or the stand-in host.
#
#   bench/run.sh [--runs N] [--large-runs N] [--only REGEX] [--64-only] [--no-large]
#                [--before ROOT]
#
# LOADHDF_BENCH_DIR names the scratch folder (default /tmp/loadhdf-bench,
# about 170 MB of files plus a 1.5 GB JSON document while its case runs, and
# 2.5 GB more for the memory cases).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh python3-hdf4 python3-numpy time libbenchmark-dev

builds32=yes
large=--large
args=()
for a in "$@"; do
  case $a in
    --64-only) builds32= ;;
    --no-large) large= ;;
    *) args+=("$a") ;;
  esac
done

# nice: the builds share the machine with whatever else runs on it.
nice cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DLOADHDF_BENCH=ON >/dev/null
nice cmake --build build-release -j2 --target vyrhost loadhdf make_bench_files tight_loop \
  scan_cost_bench store_value_bench fill_zone_cost >/dev/null
if [ -n "$builds32" ]; then
  root=$PWD
  nice cmake -S . -B build-release-i386 -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i386-linux-gnu.cmake" >/dev/null
  nice cmake --build build-release-i386 -j2 --target vyrhost loadhdf fill_zone_cost >/dev/null
  nice cmake -S . -B build-release-windows -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" >/dev/null
  nice cmake --build build-release-windows -j2 --target vyrhost loadhdf hdf4_wine_bridge >/dev/null
  args+=(--bin-i386 build-release-i386/bin --windows-build build-release-windows
         --wine-run "$root/tools/wine-run.sh")
  export WINEDEBUG=-all
fi

scratch=${LOADHDF_BENCH_DIR:-/tmp/loadhdf-bench}
build-release/bin/make_bench_files "$scratch" $large
/usr/bin/python3 bench/run_bench.py --bin build-release/bin --scratch "$scratch" $large \
  ${args[@]+"${args[@]}"}
echo
for b in scan_cost_bench store_value_bench; do
  build-release/bin/$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null |
    grep -E '^(Benchmark|-+$|.*_median)'
done
