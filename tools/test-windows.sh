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

# ctest runs each test through tools/wine-test.sh, which runs once more a
# test that passed and was then ended by Wine's exit-time SIGSEGV. Its rule,
# checked first on a stand-in runner: how the stand-in ends each of its two
# runs, what wine-test.sh must exit with, and how many runs it must make.
stand_in=$(mktemp -d)
trap 'wineserver -k || true; rm -rf "$stand_in"' EXIT
cat >"$stand_in/run.sh" <<'STAND_IN'
#!/usr/bin/env bash
# Prints the output and ends as the next word of $STAND_IN_ENDINGS says.
n=$(($(cat "$STAND_IN_DIR/runs" 2>/dev/null || echo 0) + 1))
echo "$n" >"$STAND_IN_DIR/runs"
read -ra endings <<<"$STAND_IN_ENDINGS"
case ${endings[$((n - 1))]} in
  passed-segv) printf '[ RUN      ] A.B\r\n[       OK ] A.B\r\n\r\n[  PASSED  ] 1 test.\r\n'; kill -SEGV $$ ;;
  passed) printf '[  PASSED  ] 1 test.\r\n'; exit 0 ;;
  skipped-segv) printf '[  PASSED  ] 0 tests.\r\n[  SKIPPED ] 1 test, listed below:\r\n[  SKIPPED ] A.B\r\n'; kill -SEGV $$ ;;
  more-segv) printf '[  PASSED  ] 1 test.\r\n[ RUN      ] A.C\r\n'; kill -SEGV $$ ;;
  failed-segv) printf '[  FAILED  ] A.B\r\n[  PASSED  ] 0 tests.\r\n'; kill -SEGV $$ ;;
  running-segv) printf '[ RUN      ] A.B\r\n'; kill -SEGV $$ ;;
  failed) printf '[  FAILED  ] A.B\r\n'; exit 1 ;;
  listed-segv) printf 'A.\r\n  B\r\n'; kill -SEGV $$ ;;
  listed) printf 'A.\r\n  B\r\n'; exit 0 ;;
esac
STAND_IN
chmod +x "$stand_in/run.sh"
while read -r endings want_status want_runs args; do
  rm -f "$stand_in/runs"
  got_status=0
  LOADHDF_WINE_RUN=$stand_in/run.sh STAND_IN_DIR=$stand_in STAND_IN_ENDINGS=${endings//,/ } \
    tools/wine-test.sh test.exe "$args" >"$stand_in/out" 2>/dev/null || got_status=$?
  got_runs=$(cat "$stand_in/runs")
  if [ "$got_status" != "$want_status" ] || [ "$got_runs" != "$want_runs" ]; then
    echo "wine-test.sh, stand-in ending $endings: exit $got_status after $got_runs runs," \
      "not $want_status after $want_runs" >&2
    exit 1
  fi
  if [ "$args" = --gtest_list_tests ] && [ "$(tr -d '\r' <"$stand_in/out")" != $'A.\n  B' ]; then
    echo "wine-test.sh, stand-in ending $endings: the listing came out as:" >&2
    cat "$stand_in/out" >&2
    exit 1
  fi
done <<'CASES'
passed-segv,passed 0 2 --gtest_filter=A.B
passed-segv,passed-segv 139 2 --gtest_filter=A.B
failed-segv,passed 139 1 --gtest_filter=A.B
running-segv,passed 139 1 --gtest_filter=A.B
failed,passed 1 1 --gtest_filter=A.B
passed 0 1 --gtest_filter=A.B
skipped-segv,passed 0 2 --gtest_filter=A.B
more-segv,passed 139 1 --gtest_filter=A.B
listed-segv,listed 0 2 --gtest_list_tests
listed 0 1 --gtest_list_tests
CASES
rm -rf "$stand_in"
trap 'wineserver -k || true' EXIT

(cd build-windows && ctest --output-on-failure -j2 --timeout 300)
# ctest shows a passing test's output only in its log: the reruns, here too.
grep -h 'wine-test.sh: .* once more' build-windows/Testing/Temporary/LastTest.log || true

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
