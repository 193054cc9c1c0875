#!/usr/bin/env python3
"""On-demand benchmarks of velquin-tnef against the peer tools `tnef`, `ytnef`, `unrtf` and `cp`,
and of the viewer's start-up against a Qt Widgets hello-world built the same way.

Builds the release preset, writes the inputs (about 1.9 GB) into BENCH_DIR (default: a folder
under /dev/shm, so disks do not dominate), runs every command REPEAT times (default 3) and
prints medians, peak memory and the ratios the project's goals are stated in. Needs the
packages tnef, ytnef-tools, unrtf and time (VELQUIN_BENCH=1 scripts/setup-debian.sh installs
them).
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
    """Median wall time (s), peak RSS (MB), exit status and median processor time (user +
    system, s) of cmd over REPEAT runs. On a machine shared with other work the processor
    time is the steadier figure, so the ratios of single-threaded commands use it."""
    times, peaks, cpus, status = [], [], [], 0
    for _ in range(REPEAT):
        if prepare:
            prepare()
        # /usr/bin/time reports the peak memory of the command alone (a child forked from
        # this interpreter would inherit its size); the clock is ours, finer than time's.
        start = time.perf_counter()
        proc = subprocess.run(["/usr/bin/time", "-f", "%U %S %M %x"] + shlex.split(cmd), cwd=cwd,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        times.append(time.perf_counter() - start)
        user, system, peak, code = proc.stderr.strip().splitlines()[-1].split()[-4:]
        peaks.append(int(peak) / 1024)
        cpus.append(float(user) + float(system))
        status = status or int(code)
    return statistics.median(times), max(peaks), status, statistics.median(cpus)


def paired_startup(build, pairs=9):
    """Medians (ms of processor time) of the hello-world's and the viewer's start to the
    window painted, no file, run in alternation so that both see the same machine load."""
    bench = os.path.join(build, "bin")
    hello_bin, window_bin = os.path.join(bench, "velquin_hello_bench"), os.path.join(bench, "velquin_window_bench")
    env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"),
               XDG_CONFIG_HOME=tempfile.mkdtemp(prefix="velquin-bench-config-"))
    # "window painted W ms after process start, C ms processor time": C, the steadier one
    # on a shared machine.
    run = lambda *cmd: float(subprocess.run(cmd, env=env, check=True, capture_output=True, text=True).stdout.split()[7])
    subprocess.run([window_bin, "first-run-done"], env=env, check=True, capture_output=True)
    hello, window = [], []
    for _ in range(pairs):
        hello.append(run(hello_bin))
        window.append(run(window_bin, "startup"))
    shutil.rmtree(env["XDG_CONFIG_HOME"], ignore_errors=True)
    print(f"{'hello-world window painted':34s} {statistics.median(hello) / 1000:8.3f} s cpu (median of {pairs}, paired)")
    print(f"{'velquin-reader window painted':34s} {statistics.median(window) / 1000:8.3f} s cpu")
    return statistics.median(hello), statistics.median(window)


def main():
    sh(f"cd {ROOT} && cmake --preset release >/dev/null && cmake --build --preset release --target velquin-tnef velquin_make_bench_files >/dev/null")
    build = os.path.join(ROOT, "build", "release")
    # The viewer's start-up harness and its hello-world need the Qt build; without it they are left out.
    ui = subprocess.run(f"cd {ROOT} && cmake --build --preset release --target velquin_window_bench velquin_hello_bench >/dev/null",
                        shell=True).returncode == 0
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
        t, m, status, cpu = measure(cmd, cwd=cwd, prepare=prepare)
        rows.append((name, t, m))
        note = f"  (exit status {status})" if status else ""
        print(f"{name:34s} {t:8.3f} s {m:9.1f} MB {cpu:7.3f} s cpu{note}", flush=True)
        return t, m, cpu

    f = lambda n: os.path.join(base, n)
    print(f"machine: {os.cpu_count()} cores, load {os.getloadavg()[0]:.1f}; inputs in {base}; median of {REPEAT}")
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

    rtf = f("body.rtf")
    with open(rtf, "wb") as body_file:
        subprocess.run([tool, "body", f("body.tnef")], stdout=body_file, check=True)
    rtf_mb = os.path.getsize(rtf) / 1e6
    ours_html = row("velquin-tnef body --html body", f"{tool} body --html {f('body.tnef')}")
    ours_text = row("velquin-tnef body --text body", f"{tool} body --text {f('body.tnef')}")
    unrtf_html = row("unrtf --html body.rtf", f"unrtf --html {rtf}")
    startup = paired_startup(build) if ui else None

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
    # The conversion's own share: body --html less the raw body's read and decode.
    convert = max(ours_html[2] - ours_body[2], 1e-3)
    print(f"RTF to HTML: MB/s of {rtf_mb:.0f} MB, cpu (less read) {rtf_mb / convert:8.0f}    >= 100")
    print(f"RTF to HTML: unrtf --html cpu / ours           {unrtf_html[2] / max(ours_html[2], 1e-3):8.1f}x   >= 8x")
    print(f"LZFu decode: tnef body cpu / ours              {max(tnef_body[2] - tnef_nobody[2], 1e-3) / max(ours_body[2] - ours_nobody[2], 1e-3):8.2f}x   >= 1.5")
    if startup:
        hello, window = startup
        print(f"start-up: window painted / hello-world         {window / hello:8.2f}x   <= 1.3x"
              f"   ({window:.0f} ms vs {hello:.0f} ms)")
    shutil.rmtree(out, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
