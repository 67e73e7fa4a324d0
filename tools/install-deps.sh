#!/usr/bin/env bash
# Installs, from Debian's archive, whatever the build and the tests need and
# this machine lacks, and the packages named as arguments (bench/run.sh names
# the benchmark's). Safe to run again: installed packages are skipped.
set -euo pipefail

packages=(cmake make g++ binutils pkg-config
          libhdf4-alt-dev hdf4-tools nlohmann-json3-dev libcli11-dev libgtest-dev googletest
          # vyrhost's pictures
          libcairo2-dev
          # the 32-bit build (cmake/i386-linux-gnu.cmake) and loadhdf.dll
          # (cmake/i686-w64-mingw32.cmake)
          g++-multilib g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          # Wine to run the Windows build, and winegcc for the bridge that
          # serves it Debian's i386 HDF4 (windows/hdf4-bridge/)
          wine wine32:i386 wine32-tools:i386 libwine-dev:i386
          "$@")

# The 32-bit and Windows builds fetch HDF4's i386 packages (tools/fetch-i386-hdf4.sh),
# so apt must know the i386 architecture and hold its package lists.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || ! compgen -G '/var/lib/apt/lists/*_binary-i386_Packages*' >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
