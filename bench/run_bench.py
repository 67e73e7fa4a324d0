#!/usr/bin/python3
"""run_bench: the load benchmark's cases, checked and then timed.

For each case (a file and the skips) it first proves that the tight loop,
the pyhdf+numpy peer and vyrhost build identical arrays (the CRC-32 of every
zone variable), then runs the commands in turn, run by run, alternating
their order, and prints the tables: median wall seconds, the ratio to the
tight loop worked out run by run and then the median taken, and the peak
resident memory of every command that /usr/bin/time -v reports.

The memory cases (--large) load cubes of 400 MiB and 1.6 GiB at skips of 2
and 4, where a load keeps an eighth or a sixty-fourth of the values: they
time vyrhost beside the tight loop and two pyhdf peers, one reading the
data set whole and indexing it with numpy, one reading only the kept values
with a strided SDreaddata; the 1.6 GiB cube also with the 32-bit builds. A
command that fails there (the Windows build says "Out of memory" when the
data set does not fit its address space) is a result, not an error: the
table gives its message, time and peak memory. --before ROOT adds the
vyrhost builds of another tree's release builds to every case, in the same
runs, and a table of each tree's 32-bit builds against its own 64-bit one.
Last, the add-on's own cost per stored value (fill_zone_cost, --only
matching "fill_zone_cost" to run it alone) on the 64-bit and i386 builds.
Called by bench/run.sh, which builds the programs and writes the files
first.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

PYTHON = "/usr/bin/python3"  # Debian's, which has python3-hdf4 and python3-numpy


class Case:
    def __init__(self, title, file, sds, skip, extra=None, large=False, builds32=True):
        # extra: an option that writes a file after the load (--json,
        # --picture) and that file's name; the case times the load with and
        # without it. large: a memory case (see above); builds32: whether
        # the 32-bit builds run it too.
        self.title, self.file, self.sds, self.skip, self.extra = title, file, sds, skip, extra
        self.large, self.builds32 = large, builds32 and not extra


CASES = [
    Case("float32 256^3, skips 1,1,1", "f32_cube.hdf", 1, 1),
    Case("float32 256^3, skips 2,2,2", "f32_cube.hdf", 1, 2),
    Case("float32 256^3 deflate, skips 1,1,1", "f32_cube_deflate.hdf", 1, 1),
    Case("float32 256^3 deflate, skips 2,2,2", "f32_cube_deflate.hdf", 1, 2),
    Case("int16 4096^2, skips 1,1,1", "i16_square.hdf", 1, 1),
    Case("int16 4096^2, skips 2,2,2", "i16_square.hdf", 1, 2),
    Case("2,000 float32 32^2, skips 1,1,1", "f32_many_small.hdf", 2000, 1),
    Case("2,000 float32 32^2, skips 2,2,2", "f32_many_small.hdf", 2000, 2),
    Case("float32 256^3, skips 1,1,1, --json", "f32_cube.hdf", 1, 1,
         extra=("--json", "state.json")),
    Case("int16 4096^2, skips 1,1,1, --picture", "i16_square.hdf", 1, 1,
         extra=("--picture", "picture.png")),
]

# The memory cases; bench/run.sh has make_bench_files write their files with
# --large. 100 x 1024 x 1024 at skips 1,1,1 would be a zone of 1.6 GiB, over
# the 1 GiB that the host grants one zone.
LARGE_CASES = [
    Case("float32 100x1024x1024 (400 MiB), skips 2,2,2", "f32_100x1024x1024.hdf", 1, 2,
         large=True, builds32=False),
    Case("float32 100x1024x1024 (400 MiB), skips 4,4,4", "f32_100x1024x1024.hdf", 1, 4,
         large=True, builds32=False),
    Case("float32 100x1024x1024 (400 MiB) deflate, a chunk per plane, skips 2,2,2",
         "f32_100x1024x1024_chunked_deflate.hdf", 1, 2, large=True, builds32=False),
    Case("float32 100x1024x1024 (400 MiB) deflate, a chunk per plane, skips 4,4,4",
         "f32_100x1024x1024_chunked_deflate.hdf", 1, 4, large=True, builds32=False),
    Case("float32 400x1024x1024 (1.6 GiB), skips 4,4,4", "f32_400x1024x1024.hdf", 1, 4,
         large=True),
]

# Column titles of the commands.
TITLES = {"floor": "read-only floor", "tight": "tight loop", "peer": "pyhdf whole + numpy",
          "strided": "pyhdf strided", "vyrhost": "vyrhost (64-bit)", "i386": "i386 Linux",
          "windows": "Windows under Wine"}


def commands(case, bin_dir, bench_dir, scratch, checksums=False, builds32=(), before=()):
    """name -> argv of each command the case runs. builds32: (name, argv
    prefix that runs that build's vyrhost) of each 32-bit build to time beside
    the 64-bit one; before: the same for the vyrhost of other trees, which
    the memory cases run beside this tree's."""
    path = os.path.join(scratch, case.file)
    skip = str(case.skip)
    sds = ",".join(str(n) for n in range(1, case.sds + 1))
    tight = [os.path.join(bin_dir, "tight_loop"), path, "--skip", skip]
    peer = [PYTHON, os.path.join(bench_dir, "pyhdf_peer.py"), path, "--skip", skip]
    load = [os.path.join(bin_dir, "vyrhost"), "load", path, "--sds", sds,
            "--skip", ",".join([skip] * 3)]
    loads32 = {name: prefix + load[1:] for name, prefix in builds32}
    if case.large:
        strided = peer + ["--strided"]
        others = {name: prefix + load[1:] for name, prefix in before
                  if case.builds32 or not name.startswith(("i386", "windows"))}
        runs = {"tight": tight, "peer": peer, "strided": strided, "vyrhost": load,
                **loads32, **others}
        return {name: argv + ["--checksums"] for name, argv in runs.items()} if checksums else runs
    if checksums:
        runs = {"tight": tight, "peer": peer, "vyrhost": load, **loads32}
        return {name: argv + ["--checksums"] for name, argv in runs.items()}
    if case.extra:
        option, name = case.extra
        return {"tight": tight, "vyrhost load": load,
                "vyrhost": load + [option, os.path.join(scratch, name)]}
    others = {name: prefix + load[1:] for name, prefix in before}
    return {"floor": [os.path.join(bin_dir, "tight_loop"), path, "--read-only"],
            "tight": tight, "peer": peer, "vyrhost": load, **loads32, **others}


def check_identical(case, bin_dir, bench_dir, scratch, builds32, before=()):
    """Runs every command of the case with --checksums and stops the bench
    unless all print the same lines. A command that fails stops it too,
    except in a memory case, where it is left out of the comparison and
    returned. Returns the tight loop's lines and {name: failure message}."""
    outputs, failed = {}, {}
    argvs = commands(case, bin_dir, bench_dir, scratch, True, builds32, before)
    for name, argv in argvs.items():
        run = subprocess.run(argv, capture_output=True, text=True)
        if run.returncode != 0:
            if not case.large:
                sys.exit(f"{name} failed on {case.title}:\n{run.stderr}")
            failed[name] = failure_message(run.stderr)
            continue
        outputs[name] = run.stdout
    if "tight" in failed:  # the reference: without it nothing is checked
        sys.exit(f"tight failed on {case.title}: {failed['tight']}")
    if len(set(outputs.values())) != 1 or not outputs["tight"]:
        for name, text in outputs.items():
            print(f"--- {name}\n{text[:2000]}", file=sys.stderr)
        sys.exit(f"the arrays differ on {case.title}")
    return outputs["tight"].splitlines(), failed


def failure_message(stderr):
    """The first message vyrhost gave as "error: TEXT", else stderr's last line."""
    lines = [line.strip() for line in stderr.splitlines() if line.strip()]
    errors = [line[len("error: "):] for line in lines if line.startswith("error: ")]
    return errors[0] if errors else (lines[-1] if lines else "no message")


# Bytes of one value of each host field data type that --checksums names.
FIELD_BYTES = {"float": 4, "double": 8, "int32": 4, "int16": 2, "byte": 1}


def zone_mib(checksum_lines):
    """MiB of the zone arrays that the --checksums lines describe
    ("zone Z var V TYPE COUNT CRC")."""
    total = 0
    for line in checksum_lines:
        fields = line.split()
        total += FIELD_BYTES[fields[4]] * int(fields[5])
    return total / (1 << 20)


def timed(argv, may_fail=False):
    """Wall seconds, peak resident kilobytes and failure message (None when
    it succeeded) of one run. A failure stops the bench unless may_fail.

    The peak is GNU time's "Maximum resident set size": the kernel's high
    water mark of the resident set of the process it started, kept across
    exec, and of that process's descendants it waited for, the largest of
    them, not their sum. For every command here that is one process: the
    Python peers, the native vyrhost builds, and also the Windows build,
    whose tools/wine-run.sh execs wine, which execs Wine's loader, which
    becomes vyrhost.exe under the same process id; the figure is thus that
    process's own peak, Wine's DLLs mapped into it included. Wine's
    wineserver and its service processes (services.exe, winedevice.exe,
    plugplay.exe, svchost.exe, rpcss.exe) belong to the prefix's session,
    started by the warm-up run before any timing and kept up by the
    persistent wineserver: none of them is a child of the timed process,
    so none is counted."""
    with tempfile.NamedTemporaryFile(mode="r") as report:
        start = time.perf_counter()
        run = subprocess.run(["/usr/bin/time", "-v", "-o", report.name] + argv,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        seconds = time.perf_counter() - start
        if run.returncode != 0 and not may_fail:
            sys.exit(f"failed: {' '.join(argv[:4])}...\n{run.stderr}")
        message = failure_message(run.stderr) if run.returncode != 0 else None
        for line in report.read().splitlines():
            if "Maximum resident set size" in line:
                return seconds, int(line.split(":")[1]), message
    sys.exit("/usr/bin/time -v reported no peak memory")


def time_case(argvs, runs, may_fail):
    """Runs the commands in turn, run by run; per command the lists of wall
    seconds and peak kilobytes, and its failure message (None if none)."""
    names = list(argvs)
    seconds = {n: [] for n in names}
    peak = {n: [] for n in names}
    failed = {}
    for run in range(runs):
        # Forward on even runs, backward on odd ones, so that a drift in
        # the machine's load falls on every command alike.
        for name in names if run % 2 == 0 else reversed(names):
            s, kb, message = timed(argvs[name], may_fail)
            seconds[name].append(s)
            peak[name].append(kb)
            if message:
                failed[name] = message
    return seconds, peak, failed


def start_wine(wine_run, windows_build):
    """Prepares the Windows build's Wine prefix and leaves a wineserver up
    between runs, as it stays up for a person working in Wine: otherwise
    every run pays for starting Wine anew. The first run makes the prefix,
    whose server then restarts as one that persists."""
    os.environ["LOADHDF_WINDOWS_BUILD"] = os.path.abspath(windows_build)
    os.environ.setdefault("WINEPREFIX", os.path.join(os.path.abspath(windows_build), "wine-prefix"))
    subprocess.run([wine_run, "cmd", "/c", "exit"], check=True)
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"])
    subprocess.run(["wineserver", "-p"], check=True)
    subprocess.run([wine_run, "cmd", "/c", "exit"], check=True)


def vyrhost_builds(args):
    """(name, argv prefix) of the 32-bit builds' vyrhost, and of the
    vyrhost builds of the --before tree (its Windows build run with this
    tree's HDF4 bridge and Wine prefix: the programs find the add-on and the
    host library beside themselves)."""
    builds32, before = [], []
    if args.bin_i386:
        builds32.append(("i386", [os.path.join(args.bin_i386, "vyrhost")]))
    if args.windows_build:
        builds32.append(("windows", [args.wine_run,
                                     os.path.join(args.windows_build, "bin", "vyrhost.exe")]))
    if args.before:
        root = os.path.abspath(args.before)
        before.append(("vyrhost before", [os.path.join(root, "build-release", "bin", "vyrhost")]))
        if args.bin_i386:
            before.append(("i386 before",
                           [os.path.join(root, "build-release-i386", "bin", "vyrhost")]))
        if args.windows_build:
            before.append(("windows before", [args.wine_run, os.path.join(
                root, "build-release-windows", "bin", "vyrhost.exe")]))
    return builds32, before


def title(name):
    plain = name.removesuffix(" before")
    return TITLES[plain] + (" before" if plain != name else "")


def print_main_table(rows, runs):
    print(f"{runs} runs per command, alternating; seconds are medians, ratios (in "
          "brackets, and vyrhost / peer) are the medians of each run's ratio to the other "
          "command's run beside it; peak memory is the largest of the runs (MiB).")
    print()
    print("| case | read-only floor | tight loop | pyhdf+numpy | vyrhost load | vyrhost / peer | "
          "peak MiB floor / tight / peer / vyrhost (vyrhost / tight) |")
    print("|---|---|---|---|---|---|---|")
    for case, r in rows:
        def cell(name):
            if name not in r:
                return "-"
            s, q, _ = r[name]
            return f"{s:.3f} s ({q:.2f})"

        def mib(name):
            return f"{r[name][2]:.0f}" if name in r else "-"
        vy = r["vyrhost"]
        mem = (f"{mib('floor')} / {mib('tight')} / {mib('peer')} / {vy[2]:.0f} "
               f"({vy[2] / r['tight'][2]:.2f})")
        if case.extra:
            load = r["vyrhost load"]
            mem += (f"; the load alone {load[0]:.3f} s, {load[2]:.0f} MiB "
                    f"({case.extra[0]}/load: time {vy[0] / load[0]:.2f}, "
                    f"memory {vy[2] / load[2]:.2f})")
        versus_peer = f"{r['vyrhost/peer']:.2f}" if "vyrhost/peer" in r else "-"
        print(f"| {case.title} | {cell('floor')} | {r['tight'][0]:.3f} s | {cell('peer')} | "
              f"{cell('vyrhost')} | {versus_peer} | {mem} |")


def print_builds32_table(rows):
    print()
    print("The 32-bit builds' vyrhost load beside the 64-bit one's, in the same runs: "
          "seconds, and in brackets the median of each run's ratio to the 64-bit run "
          "beside it; Wine's share is the Windows build's time over the i386 build's, "
          "the same code run natively. Peak memory is the largest of the runs; the "
          "Windows build's is that of the vyrhost.exe process that Wine runs.")
    print()
    print("| case | 64-bit | i386 Linux | Windows under Wine | Wine's share | "
          "peak MiB 64-bit / i386 / Windows |")
    print("|---|---|---|---|---|---|")
    for case, r in rows:
        if case.extra:
            continue

        def build_cell(name):
            return f"{r[name][0]:.3f} s ({r[name + '/64']:.2f})" if name in r else "-"

        def mib(name):
            return f"{r[name][2]:.0f}" if name in r else "-"
        wine = f"{r['wine']:.2f}" if "wine" in r else "-"
        print(f"| {case.title} | {r['vyrhost'][0]:.3f} s | {build_cell('i386')} | "
              f"{build_cell('windows')} | {wine} | {mib('vyrhost')} / {mib('i386')} / "
              f"{mib('windows')} |")


def print_before_table(rows):
    print()
    print("The 32-bit builds against the 64-bit build of the same tree, before (the "
          "--before tree) and after (this one), in the same runs: medians of each run's "
          "ratio to that tree's 64-bit run beside it.")
    print()
    print("| case | 64-bit before | 64-bit after | i386 / 64-bit before | i386 / 64-bit after | "
          "Windows / 64-bit before | Windows / 64-bit after |")
    print("|---|---|---|---|---|---|---|")
    for case, r in rows:
        if "vyrhost before" not in r:
            continue

        def ratio(name):
            return f"{r[name]:.2f}" if name in r else "-"
        print(f"| {case.title} | {r['vyrhost before'][0]:.3f} s | {r['vyrhost'][0]:.3f} s | "
              f"{ratio('i386 before/64')} | {ratio('i386/64')} | {ratio('windows before/64')} | "
              f"{ratio('windows/64')} |")


def run_fill_cost(fill_cost, runs):
    """The add-on's own cost per stored value (bench/fill_zone_cost.cpp) of
    each build, run in turn, alternating: per build and case the median of
    the runs' nanoseconds, and per case the median of each run's ratio to
    the 64-bit run beside it."""
    names = list(fill_cost)
    figures = {n: [] for n in names}
    for run in range(runs):
        for name in names if run % 2 == 0 else reversed(names):
            out = subprocess.run(fill_cost[name], capture_output=True, text=True, check=True)
            figures[name].append({line.rsplit(":", 1)[0]: float(line.rsplit(":", 1)[1].split()[0])
                                  for line in out.stdout.splitlines()})
    print()
    print(f"The add-on's own cost: FillZone against a host store that only counts "
          f"(bench/fill_zone_cost.cpp), nanoseconds per stored value, medians of {runs} "
          "alternating runs of each build (each run the median of 15 fills); the ratio is "
          "the median of each run's i386 figure over the 64-bit one beside it.")
    print()
    print("| case | 64-bit ns | i386 ns | i386 / 64-bit |")
    print("|---|---|---|---|")
    for case in figures[names[0]][0]:
        def ns(name):
            return statistics.median(f[case] for f in figures[name])
        cells = [f"{ns(n):.3f}" if n in figures else "-" for n in ("64-bit", "i386")]
        ratio = (f"{statistics.median(a[case] / b[case] for a, b in zip(figures['i386'], figures['64-bit'])):.2f}"
                 if "i386" in figures else "-")
        print(f"| {case} | {cells[0]} | {cells[1]} | {ratio} |")


def print_large_table(rows, runs):
    print()
    print(f"The memory cases: {runs} runs per command, alternating; seconds are medians, "
          "peak memory the largest of the runs (MiB; the Windows build's is that of the "
          "vyrhost.exe process that Wine runs); the zone's arrays are what the host keeps "
          "(three coordinates and V per point). A failed command's message is given with "
          "its figures; it is left out of the arrays' check.")
    print()
    print("| case | zone arrays MiB | command | wall s | peak MiB | peak / zone arrays | note |")
    print("|---|---|---|---|---|---|---|")
    for case, (zone, r, failed, unchecked) in rows:
        for name, (s, kb) in r.items():
            note = f"failed: {failed[name]}" if name in failed else (
                "not cross-checked" if name in unchecked else "")
            print(f"| {case.title} | {zone:.0f} | {title(name)} | {s:.3f} | {kb:.0f} | "
                  f"{kb / zone:.2f} | {note} |")


def run_main_cases(cases, args, bench_dir, builds32, before):
    rows = []
    for case in cases:
        argvs = commands(case, args.bin, bench_dir, args.scratch, False,
                         builds32 if case.builds32 else [], before if case.builds32 else [])
        seconds, peak, _ = time_case(argvs, args.runs, False)
        if case.extra and os.path.exists(os.path.join(args.scratch, case.extra[1])):
            os.remove(os.path.join(args.scratch, case.extra[1]))

        def ratio(name, to="tight"):
            return statistics.median(a / b for a, b in zip(seconds[name], seconds[to]))

        row = {n: (statistics.median(seconds[n]), ratio(n), max(peak[n]) / 1024) for n in argvs}
        if "peer" in argvs:
            row["vyrhost/peer"] = ratio("vyrhost", "peer")
        for name, _ in builds32:
            if name in argvs:
                row[name + "/64"] = ratio(name, "vyrhost")
        if "i386" in argvs and "windows" in argvs:
            row["wine"] = ratio("windows", "i386")
        for name in ("i386 before", "windows before"):
            if name in argvs and "vyrhost before" in argvs:
                row[name + "/64"] = ratio(name, "vyrhost before")
        rows.append((case, row))
        print(f"timed: {case.title}", flush=True)
    return rows


def run_large_cases(cases, args, bench_dir, builds32, before):
    rows = []
    for case in cases:
        lines, failed = check_identical(case, args.bin, bench_dir, args.scratch,
                                        builds32 if case.builds32 else [], before)
        checked = len(commands(case, args.bin, bench_dir, args.scratch, True,
                               builds32 if case.builds32 else [], before)) - len(failed)
        print(f"identical arrays: {case.title} ({len(lines)} zone variables, "
              f"{checked} commands" + "".join(f"; {n} failed: {m}" for n, m in failed.items())
              + ")", flush=True)
        argvs = commands(case, args.bin, bench_dir, args.scratch, False,
                         builds32 if case.builds32 else [], before)
        seconds, peak, timed_failed = time_case(argvs, args.large_runs, True)
        row = {n: (statistics.median(seconds[n]), max(peak[n]) / 1024) for n in argvs}
        # A command that failed only in the timed runs was not checked either.
        rows.append((case, (zone_mib(lines), row, {**failed, **timed_failed},
                            set(timed_failed) - set(failed))))
        print(f"timed: {case.title}", flush=True)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="folder of vyrhost and tight_loop")
    parser.add_argument("--scratch", required=True, help="folder of the benchmark files")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", default="", help="run only the cases whose title matches this regular expression")
    parser.add_argument("--large", action="store_true", help="also the memory cases")
    parser.add_argument("--large-runs", type=int, default=3, help="runs per command of the memory cases")
    parser.add_argument("--before", help="a tree whose release builds' vyrhost the memory cases also run")
    parser.add_argument("--fill-cost-runs", type=int, default=9,
                        help="runs per build of fill_zone_cost, the add-on's own cost per value")
    parser.add_argument("--bin-i386", help="folder of the 32-bit Linux build's vyrhost")
    parser.add_argument("--windows-build", help="the Windows build's folder, run under Wine")
    parser.add_argument("--wine-run", help="tools/wine-run.sh, which runs a Windows build's program")
    args = parser.parse_args()
    builds32, before = vyrhost_builds(args)
    if args.windows_build:
        start_wine(args.wine_run, args.windows_build)
    bench_dir = os.path.dirname(os.path.abspath(__file__))
    cases = [c for c in CASES if re.search(args.only, c.title)]
    large = [c for c in LARGE_CASES if args.large and re.search(args.only, c.title)]

    for case in (c for c in cases if not c.extra):  # --json stores what its load stores
        lines, _ = check_identical(case, args.bin, bench_dir, args.scratch, builds32)
        print(f"identical arrays: {case.title} ({len(lines)} zone variables)", flush=True)
    rows = run_main_cases(cases, args, bench_dir, builds32, before)
    large_rows = run_large_cases(large, args, bench_dir, builds32, before)
    if args.windows_build:
        subprocess.run(["wineserver", "-k"])

    if rows:
        print()
        print_main_table(rows, args.runs)
        if builds32:
            print_builds32_table(rows)
        if before:
            print_before_table(rows)
    if large_rows:
        print_large_table(large_rows, args.large_runs)
    fill_cost = {"64-bit": [os.path.join(args.bin, "fill_zone_cost")]}
    if args.bin_i386:
        fill_cost["i386"] = [os.path.join(args.bin_i386, "fill_zone_cost")]
    if re.search(args.only, "fill_zone_cost"):
        run_fill_cost(fill_cost, args.fill_cost_runs)
    return 0


if __name__ == "__main__":
    sys.exit(main())
