#!/usr/bin/env python3
"""On-demand benchmarks of velquin-tnef against the peer tools `tnef` and `ytnef` and `cp`.

Builds the release preset, writes the inputs (about 1.9 GB) into BENCH_DIR (default: a folder
under /dev/shm, so disks do not dominate), runs every command REPEAT times (default 3) and
prints medians, peak memory and the ratios the project's goals are stated in. Needs the
packages tnef, ytnef-tools and time (VELQUIN_BENCH=1 scripts/setup-debian.sh installs them).
"""
import os
import shutil
import statistics
import subprocess
import sys
import shlex
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REPEAT = int(os.environ.get("REPEAT", "3"))


def sh(cmd, **kw):
    subprocess.run(cmd, shell=True, check=True, **kw)


def measure(cmd, cwd=None, prepare=None):
    """Median wall time (s), peak RSS (MB) and exit status of cmd over REPEAT runs."""
    times, peaks, status = [], [], 0
    for _ in range(REPEAT):
        if prepare:
            prepare()
        # /usr/bin/time reports the peak memory of the command alone (a child forked from
        # this interpreter would inherit its size); the clock is ours, finer than time's.
        start = time.perf_counter()
        proc = subprocess.run(["/usr/bin/time", "-f", "%M %x"] + shlex.split(cmd), cwd=cwd,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        times.append(time.perf_counter() - start)
        peak, code = proc.stderr.strip().splitlines()[-1].split()[-2:]
        peaks.append(int(peak) / 1024)
        status = status or int(code)
    return statistics.median(times), max(peaks), status


def main():
    sh(f"cd {ROOT} && cmake --preset release >/dev/null && cmake --build --preset release --target velquin-tnef velquin_make_bench_files >/dev/null")
    build = os.path.join(ROOT, "build", "release")
    tool = os.path.join(build, "bin", "velquin-tnef")
    maker = os.path.join(build, "bin", "velquin_make_bench_files")
    base = os.environ.get("BENCH_DIR") or tempfile.mkdtemp(prefix="velquin-bench-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    os.makedirs(base, exist_ok=True)
    if not os.path.exists(os.path.join(base, "many.tnef")) or os.environ.get("REWRITE"):
        print(f"writing inputs into {base} ...", flush=True)
        sh(f"{maker} {base}")
    out = os.path.join(base, "out")

    def fresh_out():
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)

    rows = []

    def row(name, cmd, prepare=None, cwd=None):
        t, m, status = measure(cmd, cwd=cwd, prepare=prepare)
        rows.append((name, t, m))
        note = f"  (exit status {status})" if status else ""
        print(f"{name:34s} {t:8.3f} s {m:9.1f} MB{note}", flush=True)
        return t, m

    f = lambda n: os.path.join(base, n)
    print(f"machine: {os.cpu_count()} cores; inputs in {base}; median of {REPEAT}")
    ours_list_big = row("velquin-tnef list big", f"{tool} list {f('big.tnef')}")
    tnef_list_big = row("tnef -t big", f"tnef -t {f('big.tnef')}")
    ytnef_list_big = row("ytnefprint big", f"ytnefprint {f('big.tnef')}")
    ours_x_big = row("velquin-tnef extract big", f"{tool} extract --overwrite {f('big.tnef')} {out}", fresh_out)
    cp_big = row("cp big", f"cp {f('big.tnef')} {out}/copy", fresh_out)
    tnef_x_big = row("tnef extract big", f"tnef --overwrite -C {out} {f('big.tnef')}", fresh_out)
    ours_list_many = row("velquin-tnef list many", f"{tool} list {f('many.tnef')}")
    tnef_list_many = row("tnef -t many", f"tnef -t {f('many.tnef')}")
    ours_x_many = row("velquin-tnef extract many", f"{tool} extract --overwrite {f('many.tnef')} {out}", fresh_out)
    tnef_x_many = row("tnef extract many", f"tnef --overwrite -C {out} {f('many.tnef')}", fresh_out)
    ours_body = row("velquin-tnef body body", f"{tool} body {f('body.tnef')}")
    ours_nobody = row("velquin-tnef show body-untagged", f"{tool} show {f('body-untagged.tnef')}")
    tnef_body = row("tnef --save-body body", f"tnef --overwrite --save-body=b -C {out} {f('body.tnef')}", fresh_out)
    tnef_nobody = row("tnef --save-body body-untagged", f"tnef --overwrite --save-body=b -C {out} {f('body-untagged.tnef')}", fresh_out)

    ours_lzfu = max(ours_body[0] - ours_nobody[0], 1e-3)
    tnef_lzfu = max(tnef_body[0] - tnef_nobody[0], 1e-3)
    print()
    print("goal                                             ratio     target")
    print(f"list big: tnef -t time / ours                  {tnef_list_big[0] / max(ours_list_big[0], 1e-3):8.1f}x   >= 50x")
    print(f"list big: ours peak memory                     {ours_list_big[1]:8.1f} MB  < 16 MB")
    print(f"list big: ytnefprint time / ours               {ytnef_list_big[0] / max(ours_list_big[0], 1e-3):8.1f}x")
    print(f"list many: tnef / ours                         {tnef_list_many[0] / max(ours_list_many[0], 1e-3):8.2f}x   >= 1")
    print(f"extract many: tnef / ours                      {tnef_x_many[0] / max(ours_x_many[0], 1e-3):8.2f}x   >= 1")
    print(f"LZFu decode: tnef body cost / ours             {tnef_lzfu / ours_lzfu:8.2f}x   >= 1.5")
    print(f"extract big: speed relative to cp              {cp_big[0] / max(ours_x_big[0], 1e-3):8.2f}x   >= 0.9")
    print(f"extract big: tnef time / ours                  {tnef_x_big[0] / max(ours_x_big[0], 1e-3):8.2f}x")
    shutil.rmtree(out, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
