#!/usr/bin/env python3
"""Whole-program speed-up from one thread to several, on the floating
hemisphere of radius 1 in deep water (low-order panels, direct solver,
POTEN stage only, periods 6 s and 8 s, headings 0 and 45 degrees).

Make the input set (4096 panels: 64 round, 64 down to the pole):

    python3 tools/threadspeed.py make /tmp/hemi4096

--isolve 2 (or more) gives the block solver with that many diagonal
blocks in place of the direct solver.

Time the program on it: each run in a fresh copy of the inputs, pinned to
the cores --cores, while busy loops (started and ended by this script)
hold the cores --busy; the thread counts alternate within each repetition
and the medians are compared:

    python3 tools/threadspeed.py measure build/zorva /tmp/hemi4096 \\
        --cores 4-7 --busy 0-3 --threads 1,4 --repeat 5

A thread count "default" runs without OMP_NUM_THREADS (the program's own
choice); --busy "" keeps the other cores idle.  On a machine that others
share, --nice -19 (as root) gives the program's runs the pinned cores
before other programs (the busy loops keep the usual priority); without
it the timings measure the other programs as much as this one.
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# No compiled files in the source tree (the benchmark runs this script).
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from mkexamples import fnames, gdf, hemisphere_panels, pot, write  # noqa: E402


def make(folder, nazi, npol, isolve=1):
    pans = hemisphere_panels(1.0, nazi, npol)
    gdf(os.path.join(folder, "hemi.gdf"),
        "Hemisphere radius 1, %d x %d panels, triangles at the pole" % (nazi, npol), 0, 0, pans)
    pot(os.path.join(folder, "hemi.pot"), "Hemisphere radius 1, infinite depth", 0.0, periods=(6.0, 8.0))
    solver = ("direct solver, POTEN stage only, the whole matrix in memory" if isolve == 1 else
              "block solver of %d diagonal blocks, POTEN stage only" % isolve)
    write(os.path.join(folder, "hemi.cfg"), [
        "Hemisphere for the thread timings; lines without an equals sign are comments.",
        "Low-order method, %s." % solver,
        "ILOWHI=0", "IPOTEN=1", "IFORCE=0", "ISOLVE=%d" % isolve, "MAXSCR=%d" % len(pans)])
    fnames(os.path.join(folder, "fnames.zrv"), ["hemi.cfg", "hemi.pot", "hemi.gdf"])
    print("%s: %d panels" % (folder, len(pans)))


def cpu_list(text):
    """The cores of a list such as 0-3,6."""
    out = []
    for part in filter(None, text.split(",")):
        lo, _, hi = part.partition("-")
        out += range(int(lo), int(hi or lo) + 1)
    return out


def run_once(zorva, inputs, cores, threads, nice):
    work = tempfile.mkdtemp(prefix="threadspeed_")
    try:
        for name in os.listdir(inputs):
            shutil.copy(os.path.join(inputs, name), work)
        env = dict(os.environ)
        env.pop("OMP_NUM_THREADS", None)
        if threads != "default":
            env["OMP_NUM_THREADS"] = threads
        cmd = (["nice", "-n", str(nice)] if nice else []) + (["taskset", "-c", cores] if cores else []) + [zorva]
        u0 = resource.getrusage(resource.RUSAGE_CHILDREN)
        t0 = time.monotonic()
        with open(os.devnull) as nul:
            # A session of its own: where the scheduler groups the tasks of
            # a session, the niceness of that group counts too.
            p = subprocess.Popen(cmd, cwd=work, env=env, stdin=nul, stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, start_new_session=bool(nice))
            if nice:
                try:
                    with open("/proc/%d/autogroup" % p.pid, "w") as f:
                        f.write(str(nice))
                except OSError:
                    pass
            out = p.communicate()[0]
        t = time.monotonic() - t0
        u1 = resource.getrusage(resource.RUSAGE_CHILDREN)
        if p.returncode != 0:
            sys.exit("zorva failed (status %d):\n%s" % (p.returncode, out.decode(errors="replace")[-2000:]))
        return t, (u1.ru_utime + u1.ru_stime - u0.ru_utime - u0.ru_stime)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def measure(a):
    zorva = os.path.abspath(a.zorva)
    counts = a.threads.split(",")
    busy = []
    try:
        for c in cpu_list(a.busy):
            busy.append(subprocess.Popen(["taskset", "-c", str(c), "sh", "-c", "while :; do :; done"]))
        times = {t: [] for t in counts}
        for rep in range(a.repeat):
            for t in counts:
                wall, cpu = run_once(zorva, a.inputs, a.cores, t, a.nice)
                times[t].append(wall)
                with open("/proc/loadavg") as f:
                    load = f.read().split()[0]
                print("repetition %d, threads %s: %.2f s, processor time %.2f s (load average %s)" %
                      (rep + 1, t, wall, cpu, load), flush=True)
    finally:
        for p in busy:
            p.kill()
            p.wait()
    med = {t: statistics.median(v) for t, v in times.items()}
    print("cores %s, busy %s" % (a.cores or "all", a.busy or "none"))
    for t in counts:
        print("threads %-8s median %.2f s  (%s)  speed-up %.2f" %
              (t, med[t], " ".join("%.2f" % x for x in times[t]), med[counts[0]] / med[t]))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="what", required=True)
    m = sub.add_parser("make", help="write the input set")
    m.add_argument("folder")
    m.add_argument("--round", type=int, default=64, help="panels round the hemisphere")
    m.add_argument("--down", type=int, default=64, help="panels from the waterline to the pole")
    m.add_argument("--isolve", type=int, default=1, help="ISOLVE: 1 the direct solver, 2 or more the blocks")
    t = sub.add_parser("measure", help="time the program on an input set")
    t.add_argument("zorva")
    t.add_argument("inputs")
    t.add_argument("--cores", default="4-7", help="cores the program runs on ('' for no pinning)")
    t.add_argument("--busy", default="0-3", help="cores kept busy meanwhile ('' for none)")
    t.add_argument("--threads", default="1,4", help="OMP_NUM_THREADS of the runs; the first is the reference")
    t.add_argument("--repeat", type=int, default=5)
    t.add_argument("--nice", type=int, default=0,
                   help="niceness of the program's runs (below 0, as root, to measure on a shared machine)")
    a = ap.parse_args()
    if a.what == "make":
        make(a.folder, a.round, a.down, a.isolve)
    else:
        measure(a)


if __name__ == "__main__":
    main()
