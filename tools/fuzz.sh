#!/usr/bin/env bash
# tools/fuzz.sh [--compare] SECONDS [JOBS]: fuzzes the add-on's reading of HDF
# files with libFuzzer (target fuzz_hdf_scan, tools/fuzz/) for SECONDS seconds
# in JOBS parallel jobs (default 1), then re-runs every finding and prints a
# table of them grouped by the first stack frame in our code and the first in
# HDF4.
#
# With --compare, every input the campaign added to the corpus is then taken
# through the structure check and through HDF4 alone (hdf4_compare, which
# runs tools/hdf4_alone/ in a child with a time limit), and both kinds of
# disagreement are listed: an input the check accepts on which HDF4, called
# as the add-on calls it, crashes, hangs, leaks or misreads (a finding), and
# an input the check refuses or keeps a data set of that HDF4 alone reads
# cleanly (an over-refusal candidate). The list goes to compare.log; leaks
# count there with tools/lsan-suppressions.txt, not the fuzzer's suppression
# of all of HDF4. build-fuzz/bin/hdf4_compare DIR compares a whole corpus.
#
# Files, all under build-fuzz/: the clang build; seeds/, written once by
# make_fuzz_seeds (delete it to write it anew); corpus/, which grows from run
# to run; findings/, with libFuzzer's crash-, timeout-, oom- and leak- files
# and, after triage, the sanitizer report of each as FILE.log; fuzz.log,
# libFuzzer's own output.
#
# Half of the mutations are libFuzzer's own byte changes; the other half come
# from the target's structure-aware mutator (tools/fuzz/structure_mutator.cpp),
# which sets one or two of a file's DD fields, special-element headers or
# vset header fields together to edge values.
#
# How it runs, and why:
#  - Fork mode (-fork=JOBS -ignore_crashes=1, timeouts and out-of-memory
#    ignored likewise): each job is a child process that lives a few minutes
#    at most. HDF4 4.2.15 crashes on damaged files long before the add-on's
#    own checks are all in place, and the campaign must go on past those
#    crashes; it also keeps state between files (the records of files whose
#    SDstart failed, static buffers left dangling after an error), which
#    short-lived jobs drop.
#  - -rss_limit_mb=2048: an input whose claims make the process grow past
#    that is an out-of-memory finding, not a machine brought down.
#  - -timeout=10: an input that takes longer is a hang (HDF4 walks a cycle of
#    DD blocks for ever).
#  - Leak detection stays on, with suppressions for HDF4's own libraries
#    (tools/fuzz/lsan.supp): HDF4 leaks on files it fails to open, while a
#    leak of the add-on or the host is still reported.
#  - allocator_may_return_null=1: a damaged count makes HDF4 ask malloc for
#    absurd sizes; in the host's process malloc returns null there and HDF4
#    fails cleanly, so the fuzzer sees the same.
# A finding that does not reproduce when re-run alone depends on what HDF4
# kept from earlier inputs of its job; the table counts those apart.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

compare=0
if [ "${1:-}" = --compare ]; then
  compare=1
  shift
fi
if [ $# -lt 1 ] || [ $# -gt 2 ] || ! [[ $1 =~ ^[1-9][0-9]*$ ]] || ! [[ ${2:-1} =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/fuzz.sh [--compare] SECONDS [JOBS]" >&2
  exit 2
fi
seconds=$1
jobs=${2:-1}
out=build-fuzz
real_files=("$root/../shared/data/hdf4-real" "$root/../shared/data/hdf4-world")

# ---- What the fuzz build needs beyond the project's own dependencies.
tools/install-deps.sh
extras=(clang libclang-rt-14-dev llvm)
missing=()
for p in "${extras[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# ---- The clang build: only the two fuzz programs.
CC=clang CXX=clang++ cmake -S . -B "$out" -DLOADHDF_FUZZ=ON >/dev/null
targets=(fuzz_hdf_scan make_fuzz_seeds)
[ $compare = 1 ] && targets+=(hdf4_alone hdf4_compare)
cmake --build "$out" -j2 --target "${targets[@]}" >/dev/null
fuzzer="$root/$out/bin/fuzz_hdf_scan"

if [ -z "$(ls -A "$out/seeds" 2>/dev/null)" ]; then
  echo "writing the seed corpus to $out/seeds"
  "$out/bin/make_fuzz_seeds" "$out/seeds" "${real_files[@]}"
fi
mkdir -p "$out/corpus" "$out/findings"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS="suppressions=$root/tools/fuzz/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
limits=(-rss_limit_mb=2048 -timeout=10)

# ---- The campaign.
echo "fuzzing for $seconds s with $jobs job(s); libFuzzer's output goes to $out/fuzz.log"
started="$out/campaign-start"
touch "$started"
set +e
"$fuzzer" -fork="$jobs" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 "${limits[@]}" \
  -max_len=20480 -max_total_time="$seconds" -dict=tools/fuzz/hdf4.dict \
  -artifact_prefix="$out/findings/" "$out/corpus" "$out/seeds" >"$out/fuzz.log" 2>&1
set -e

# ---- Triage: re-run each finding alone and read its report.
# Prints "kind<TAB>first frame in our code<TAB>first frame in HDF4" for one
# report. Only the first stack of a report counts (the access, not where the
# memory was allocated or freed). Our code is a source file under the
# project; the fuzz target's own frames count only when no other is there.
# Debian's HDF4 exports only its API's names: the first HDF4 frame with a
# name is taken, so that the call sites of one internal function fall into
# one group; a module offset only when no frame has a name.
describe() {
  awk -v root="$root/" '
    function name(frame, fn, loc, base) {
      sub(/ \(BuildId: [0-9a-f]+\)$/, "", frame)
      sub(/^ *#[0-9]+ 0x[0-9a-f]+ +/, "", frame)
      loc = frame; sub(/.* /, "", loc)
      fn = "?"
      if (frame ~ /^in /) { fn = substr(frame, 4); sub(/ [^ ]*$/, "", fn) }
      gsub(/\(anonymous namespace\)::/, "", fn)
      sub(/\(.*$/, "", fn)
      if (loc ~ /^\(/) {                        # (module+offset): no source
        base = loc; gsub(/[()]/, "", base); sub(/.*\//, "", base)
        return fn == "?" || fn == "" ? base : fn
      }
      base = loc; sub(/.*\//, "", base); sub(/:[0-9]+$/, "", base)
      return fn " " base
    }
    /^==[0-9]+== ?ERROR: / && kind == "" {
      kind = $0; sub(/^==[0-9]+== ?ERROR: /, "", kind)
      sub(/^(AddressSanitizer|LeakSanitizer|libFuzzer): /, "", kind)
      sub(/ on .*/, "", kind); sub(/ 0x.*/, "", kind); sub(/ \(.*/, "", kind)
      sub(/ after [0-9]+ seconds/, "", kind)
    }
    /^\*\*\* .* \*\*\*/ && kind == "" { kind = $0; gsub(/\*\*\* ?| ?\*\*\*/, "", kind); sub(/: terminated$/, "", kind) }
    / runtime error: / && kind == "" { kind = $0; sub(/.* runtime error: /, "UB: ", kind) }
    /^fuzz_hdf_scan: / && kind == "" { kind = substr($0, 16) }
    /^ *#[0-9]+ 0x[0-9a-f]+ / {
      if (ended) next
      started = 1
      if ($0 ~ /lib(mf)?hdfalt|libdfalt/) {
        if ($0 ~ / in / && hdf == "") hdf = name($0)
        if (hdf_unnamed == "") hdf_unnamed = name($0)
      }
      else if (index($0, root "tools/fuzz/")) { if (harness == "") harness = name($0) }
      else if (index($0, " " root) && ours == "") ours = name($0)
      next
    }
    started { ended = 1 }
    END {
      if (kind == "") kind = "not reproduced alone"
      if (ours == "") ours = harness
      if (hdf == "") hdf = hdf_unnamed
      printf "%s\t%s\t%s\n", kind, ours == "" ? "-" : ours, hdf == "" ? "-" : hdf
    }' "$1"
}

shopt -s nullglob
rows=()
for f in "$out"/findings/{crash,timeout,oom,leak}-*; do
  case $f in *.log) continue ;; esac
  if [ ! -s "$f.log" ] || [ "$f" -nt "$f.log" ]; then
    timeout 120 "$fuzzer" "${limits[@]}" "$f" >"$f.log" 2>&1 || true
  fi
  rows+=("$(describe "$f.log")"$'\t'"$(basename "$f")")
done

echo
echo "== findings in $out/findings (each report beside it as FILE.log)"
if [ ${#rows[@]} -eq 0 ]; then
  echo "none"
else
  printf '%s\n' "${rows[@]}" | sort -t $'\t' -k1,3 | awk -F '\t' '
    { key = $1 "\t" $2 "\t" $3; if (!(key in count)) { order[++n] = key; example[key] = $4 }
      count[key]++ }
    END {
      printf "%5s  %-28s  %-40s  %-24s  %s\n", "count", "kind", "first frame in our code",
             "first frame in HDF4", "example"
      for (i = 1; i <= n; i++) {
        split(order[i], part, "\t")
        printf "%5d  %-28s  %-40s  %-24s  %s\n", count[order[i]], substr(part[1], 1, 28),
               part[2], part[3], example[order[i]]
      }
    }'
fi

# ---- libFuzzer's own figures, from the parent's last status line.
echo
status=$(grep -E '^#[0-9]+: cov:' "$out/fuzz.log" | tail -n 1 || true)
if [ -n "$status" ]; then
  execs=${status%%:*}
  echo "total executions: ${execs#\#}; run time: $(sed -E 's/.* time: ([0-9]+s).*/\1/' <<<"$status")"
  echo "last status: $status"
else
  echo "no status line from libFuzzer; see $out/fuzz.log"
  tail -n 20 "$out/fuzz.log"
fi

# ---- The check against HDF4 alone, on the inputs this campaign added.
if [ $compare = 1 ]; then
  echo
  find "$out/corpus" -type f -newer "$started" >"$out/compare-inputs.txt"
  added=$(wc -l <"$out/compare-inputs.txt")
  echo "== the check against HDF4 alone on the $added inputs the campaign added;" \
       "the list goes to $out/compare.log"
  if [ "$added" -gt 0 ]; then
    LSAN_OPTIONS="suppressions=$root/tools/lsan-suppressions.txt:print_suppressions=0" \
      "$out/bin/hdf4_compare" --list "$out/compare-inputs.txt" >"$out/compare.log" 2>&1 || true
    sed -n '/^== /,$p' "$out/compare.log"
  fi
fi
