#!/usr/bin/env bash
# tools/compare-windows-host.sh [LINUX_BUILD] [WINDOWS_BUILD]: runs vyrhost
# (default build/) and vyrhost.exe under Wine with the HDF4 bridge
# (tools/wine-run.sh; default build-windows/) on the sample file and every
# file in ../shared/data/ (READMEs aside), and checks that they say
# the same: list, attributes, a load of data set 1 with its checksums, its
# JSON and its journal, and the replay of each system's journal on the other.
# Standard output and error are compared without Windows' "\r"; the files the
# host writes (JSON, journal) byte for byte. Exits 1 on any difference.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_build=$(cd "${1:-$root/build}" && pwd)
windows_build=$(cd "${2:-$root/build-windows}" && pwd)
export LOADHDF_WINDOWS_BUILD=$windows_build
export WINEPREFIX=${WINEPREFIX:-$windows_build/wine-prefix} WINEDEBUG=-all
# A Wine server that stays up between the programs: one that has just shut
# down after its idle time can reset a new program's connection. (It fails
# when a server is up already, as under tools/test-windows.sh.)
wineserver -p60 || true

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$linux_build/bin/make_sample_hdf" "$work/sample.hdf" >/dev/null
files=("$work/sample.hdf")
for folder in "$root/../shared/data/hdf4-real" "$root/../shared/data/hdf4-world"; do
  if [ -d "$folder" ]; then
    while IFS= read -r -d '' file; do files+=("$file"); done \
      < <(find "$folder" -maxdepth 1 -type f ! -iname 'README*' -print0 | sort -z)
  else
    echo "compare-windows-host: $folder is absent; its files are not compared"
  fi
done

# run SYSTEM NAME ARGS...: runs that system's vyrhost in $work (the same
# relative paths on both), keeping standard output, error and the exit
# status in $work/SYSTEM.NAME.{out,err,status}.
run() {
  local system=$1 name=$2
  shift 2
  local program=("$linux_build/bin/vyrhost")
  [ "$system" = windows ] && program=("$root/tools/wine-run.sh" "$windows_build/bin/vyrhost.exe")
  local status=0
  (cd "$work" && "${program[@]}" "$@" >"$system.$name.out" 2>"$system.$name.err") || status=$?
  echo "$status" >"$work/$system.$name.status"
  sed -i 's/\r$//' "$work/$system.$name.out" "$work/$system.$name.err"
}

differences=0
same() { # same FILE-LABEL PATH-A PATH-B; two absent files are the same
  if [ ! -e "$2" ] && [ ! -e "$3" ]; then
    return
  fi
  if ! cmp -s "$2" "$3"; then
    echo "DIFFERENT: $1"
    diff "$2" "$3" | head -10 || true
    differences=$((differences + 1))
  fi
}

for file in "${files[@]}"; do
  rm -f "$work"/*.journal.txt "$work"/*.state.json
  cp "$file" "$work/data.hdf"
  label=$(basename "$file")
  for system in linux windows; do
    run $system list list data.hdf
    run $system attributes attributes data.hdf
    run $system load load data.hdf --sds 1 --checksums --journal $system.journal.txt
    run $system json load data.hdf --sds 1 --json $system.state.json
  done
  for name in list attributes load json; do
    for part in out err status; do
      same "$label: $name ($part)" "$work/linux.$name.$part" "$work/windows.$name.$part"
    done
  done
  same "$label: journal" "$work/linux.journal.txt" "$work/windows.journal.txt"
  same "$label: JSON" "$work/linux.state.json" "$work/windows.state.json"
  # Each system replays the other's journal.
  run linux replay replay windows.journal.txt --checksums
  run windows replay replay linux.journal.txt --checksums
  for part in out err status; do
    same "$label: replay ($part)" "$work/linux.replay.$part" "$work/windows.replay.$part"
  done
done

echo "compare-windows-host: ${#files[@]} files, $differences differences"
[ "$differences" -eq 0 ]
