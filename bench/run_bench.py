#!/usr/bin/python3
"""run_bench: the load benchmark's cases, checked and then timed.

For each case (a file and the skips) it first proves that the tight loop,
the pyhdf+numpy peer and vyrhost build identical arrays (the CRC-32 of every
zone variable), then runs the commands in turn, run by run, alternating
their order, and prints one table: median wall seconds, the ratio to the
tight loop worked out run by run and then the median taken, and the peak
resident memory that /usr/bin/time -v reports. Called by bench/run.sh, which
builds the programs and writes the files first.
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
    def __init__(self, title, file, sds, skip, extra=None):
        # extra: an option that writes a file after the load (--json,
        # --picture) and that file's name; the case times the load with and
        # without it.
        self.title, self.file, self.sds, self.skip, self.extra = title, file, sds, skip, extra


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


def commands(case, bin_dir, bench_dir, scratch, checksums=False, builds32=()):
    """name -> argv of each command the case runs. builds32: (name, argv
    prefix that runs that build's vyrhost) of each 32-bit build to time beside
    the 64-bit one."""
    path = os.path.join(scratch, case.file)
    skip = str(case.skip)
    sds = ",".join(str(n) for n in range(1, case.sds + 1))
    tight = [os.path.join(bin_dir, "tight_loop"), path, "--skip", skip]
    peer = [PYTHON, os.path.join(bench_dir, "pyhdf_peer.py"), path, "--skip", skip]
    load = [os.path.join(bin_dir, "vyrhost"), "load", path, "--sds", sds,
            "--skip", ",".join([skip] * 3)]
    loads32 = {name: prefix + load[1:] for name, prefix in builds32}
    if checksums:
        runs = {"tight": tight, "peer": peer, "vyrhost": load, **loads32}
        return {name: argv + ["--checksums"] for name, argv in runs.items()}
    if case.extra:
        option, name = case.extra
        return {"tight": tight, "vyrhost load": load,
                "vyrhost": load + [option, os.path.join(scratch, name)]}
    return {"floor": [os.path.join(bin_dir, "tight_loop"), path, "--read-only"],
            "tight": tight, "peer": peer, "vyrhost": load, **loads32}


def check_identical(case, bin_dir, bench_dir, scratch, builds32):
    outputs = {}
    for name, argv in commands(case, bin_dir, bench_dir, scratch, True, builds32).items():
        run = subprocess.run(argv, capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit(f"{name} failed on {case.title}:\n{run.stderr}")
        outputs[name] = run.stdout
    if len(set(outputs.values())) != 1 or not outputs["tight"]:
        for name, text in outputs.items():
            print(f"--- {name}\n{text[:2000]}", file=sys.stderr)
        sys.exit(f"the arrays differ on {case.title}")
    return len(outputs["tight"].splitlines())


def timed(argv):
    """Wall seconds and peak resident kilobytes of one run."""
    with tempfile.NamedTemporaryFile(mode="r") as report:
        start = time.perf_counter()
        run = subprocess.run(["/usr/bin/time", "-v", "-o", report.name] + argv,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        seconds = time.perf_counter() - start
        if run.returncode != 0:
            sys.exit(f"failed: {' '.join(argv[:4])}...\n{run.stderr}")
        for line in report.read().splitlines():
            if "Maximum resident set size" in line:
                return seconds, int(line.split(":")[1])
    sys.exit("/usr/bin/time -v reported no peak memory")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="folder of vyrhost and tight_loop")
    parser.add_argument("--scratch", required=True, help="folder of the benchmark files")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", default="", help="run only the cases whose title matches this regular expression")
    parser.add_argument("--bin-i386", help="folder of the 32-bit Linux build's vyrhost")
    parser.add_argument("--windows-build", help="the Windows build's folder, run under Wine")
    parser.add_argument("--wine-run", help="tools/wine-run.sh, which runs a Windows build's program")
    args = parser.parse_args()
    builds32 = []
    if args.bin_i386:
        builds32.append(("i386", [os.path.join(args.bin_i386, "vyrhost")]))
    if args.windows_build:
        os.environ["LOADHDF_WINDOWS_BUILD"] = os.path.abspath(args.windows_build)
        os.environ.setdefault("WINEPREFIX",
                              os.path.join(os.path.abspath(args.windows_build), "wine-prefix"))
        builds32.append(("windows", [args.wine_run,
                                     os.path.join(args.windows_build, "bin", "vyrhost.exe")]))
        # A wineserver that stays up between runs, as it does for a person
        # working in Wine: otherwise every run pays for starting Wine anew.
        # The first run makes the prefix, whose server then restarts as one
        # that persists.
        subprocess.run([args.wine_run, "cmd", "/c", "exit"], check=True)
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"])
        subprocess.run(["wineserver", "-p"], check=True)
        subprocess.run([args.wine_run, "cmd", "/c", "exit"], check=True)
    bench_dir = os.path.dirname(os.path.abspath(__file__))
    cases = [c for c in CASES if re.search(args.only, c.title)]

    for case in (c for c in cases if not c.extra):  # --json stores what its load stores
        lines = check_identical(case, args.bin, bench_dir, args.scratch, builds32)
        print(f"identical arrays: {case.title} ({lines} zone variables)", flush=True)

    rows = []
    for case in cases:
        argvs = commands(case, args.bin, bench_dir, args.scratch, False,
                         [] if case.extra else builds32)
        names = list(argvs)
        seconds = {n: [] for n in names}
        peak = {n: [] for n in names}
        for run in range(args.runs):
            # Forward on even runs, backward on odd ones, so that a drift in
            # the machine's load falls on every command alike.
            for name in names if run % 2 == 0 else reversed(names):
                s, kb = timed(argvs[name])
                seconds[name].append(s)
                peak[name].append(kb)
        if case.extra and os.path.exists(os.path.join(args.scratch, case.extra[1])):
            os.remove(os.path.join(args.scratch, case.extra[1]))

        def ratio(name, to="tight"):
            return statistics.median(a / b for a, b in zip(seconds[name], seconds[to]))

        row = {n: (statistics.median(seconds[n]), ratio(n), max(peak[n]) / 1024) for n in names}
        if "peer" in names:
            row["vyrhost/peer"] = ratio("vyrhost", "peer")
        for name, _ in builds32:
            if name in names:
                row[name + "/64"] = ratio(name, "vyrhost")
        if "i386" in names and "windows" in names:
            row["wine"] = ratio("windows", "i386")
        rows.append((case, row))
        print(f"timed: {case.title}", flush=True)

    print()
    print(f"{args.runs} runs per command, alternating; seconds are medians, ratios (in "
          "brackets, and vyrhost / peer) are the medians of each run's ratio to the other "
          "command's run beside it; peak memory is the largest of the runs (MiB).")
    print()
    print("| case | read-only floor | tight loop | pyhdf+numpy | vyrhost load | vyrhost / peer | "
          "peak MiB tight / peer / vyrhost (vyrhost / tight) |")
    print("|---|---|---|---|---|---|---|")
    for case, r in rows:
        def cell(name):
            if name not in r:
                return "-"
            s, q, _ = r[name]
            return f"{s:.3f} s ({q:.2f})"
        vy = r["vyrhost"]
        peer = f"{r['peer'][2]:.0f}" if "peer" in r else "-"
        mem = f"{r['tight'][2]:.0f} / {peer} / {vy[2]:.0f} ({vy[2] / r['tight'][2]:.2f})"
        if case.extra:
            load = r["vyrhost load"]
            mem += (f"; the load alone {load[0]:.3f} s, {load[2]:.0f} MiB "
                    f"({case.extra[0]}/load: time {vy[0] / load[0]:.2f}, "
                    f"memory {vy[2] / load[2]:.2f})")
        versus_peer = f"{r['vyrhost/peer']:.2f}" if "vyrhost/peer" in r else "-"
        print(f"| {case.title} | {cell('floor')} | {r['tight'][0]:.3f} s | {cell('peer')} | "
              f"{cell('vyrhost')} | {versus_peer} | {mem} |")
    if args.windows_build:
        subprocess.run(["wineserver", "-k"])
    if builds32:
        print()
        print("The 32-bit builds' vyrhost load beside the 64-bit one's, in the same runs: "
              "seconds, and in brackets the median of each run's ratio to the 64-bit run "
              "beside it; Wine's share is the Windows build's time over the i386 build's, "
              "the same code run natively.")
        print()
        print("| case | 64-bit | i386 Linux | Windows under Wine | Wine's share |")
        print("|---|---|---|---|---|")
        for case, r in rows:
            if case.extra:
                continue
            def build_cell(name):
                return f"{r[name][0]:.3f} s ({r[name + '/64']:.2f})" if name in r else "-"
            wine = f"{r['wine']:.2f}" if "wine" in r else "-"
            print(f"| {case.title} | {r['vyrhost'][0]:.3f} s | {build_cell('i386')} | "
                  f"{build_cell('windows')} | {wine} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
