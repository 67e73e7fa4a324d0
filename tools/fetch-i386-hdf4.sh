#!/usr/bin/env bash
# Unpacks Debian's HDF4 for i386 (headers, the "alt" libraries and every i386
# library they need at run time) into a private folder, for the 32-bit build
# (cmake/i386-linux-gnu.cmake runs this). The i386 packages cannot be
# installed beside the amd64 ones, which own the same paths, so they are
# fetched with `apt-get download` and unpacked with `dpkg -x` instead.
# The C library and the compiler's runtime are left out: g++-multilib brings
# their i386 builds. Safe to run again: a complete folder is left as it is.
#
# usage: tools/fetch-i386-hdf4.sh DIR
set -euo pipefail
root=${1:?usage: $0 DIR}
[ -f "$root/.complete" ] && exit 0

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "i386 is not a dpkg architecture here: run tools/install-deps.sh first" >&2
    exit 1
fi

# The run-time closure of the HDF4 libraries, as apt resolves it.
mapfile -t packages < <(
    apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances libhdf4-0-alt:i386 |
        grep -E '^[^ <]+:i386$' | grep -vE '^(libc6|libgcc-s1|gcc-[0-9]+-base):' | sort -u)
packages+=(libhdf4-alt-dev:i386)

rm -rf "$root"
mkdir -p "$root/debs"
# As root apt would hand the download to its unprivileged user, who cannot
# write into a build folder.
(cd "$root/debs" && apt-get download -qq -o APT::Sandbox::User=root "${packages[@]}")
for deb in "$root"/debs/*.deb; do
    dpkg -x "$deb" "$root"
done
[ -f "$root/usr/include/hdf/mfhdf.h" ] || { echo "HDF4 i386 headers missing in $root" >&2; exit 1; }
printf '%s\n' "${packages[@]}" >"$root/.complete"
