#!/usr/bin/env python3
"""Mutation test of the input readers.

Copies the input files of an example run to a temporary directory, damages ONE of
its input files (truncation, deleted or doubled lines, a number replaced by
a huge, negative, zero, NaN or text value, changed counts, binary garbage,
an empty file) and runs the program on it with a time limit.  Recorded as
faults: sanitizer reports, deaths by a signal, time-outs, and exits with
status 0 (or 2: solutions not converged) where the damage cannot leave a
valid input (these last need a look by hand: a deleted comment line, for
example, is harmless).

Besides the plain examples it builds derived set-ups from the box:
  force        IPOTEN=0 on the .p2f file of a full run (damages the .p2f)
  rao          IREADRAO=2 with the run's RAO output as the .rao file
  mod          NEWMDS(1)=1 with a small hand-made .mod file
and of the newer formats, each cut to one period and one heading (and the
higher-order bodies to coarse splines) so that a case runs in a few seconds
in the sanitizer build:
  hobox hoboxbs hohemi hohemideep   higher-order .gdf (flat, B-spline and
               exact patches) and their .spl files
  hemicsf boxcsf   control-surface .csf files (panels, flat patches)
  boxcsp       a .csf whose sub-panel counts come from a .csp file
  kmodel       low-order body from a geometry-model file (IGDEF 2): the
               model file and the rgkinit lines of the .gdf
  kmodelho     the same for a higher-order body, with its .spl
  kmodelcsf    a control surface from a geometry-model file (ICDEF 2)
  forceho      IPOTEN=0 on the .p2f file of a higher-order run
The newer formats alone: --setups newer (or any list of set-up names).

Use the Debug+ASan+UBSan build:

  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORVA_SANITIZE=ON
  ninja -C build-asan
  python3 tools/mutate_inputs.py --count 2000 --jobs 4 --out /tmp/mutfaults

A huge count that the file does satisfy (a series of -100000 periods or
headings, say) is a long but valid run: such time-outs are no fault.

Each fault keeps its directory (input, screen output, sanitizer report)
under --out; a summary line per fault goes to --out/faults.txt.  The last
line of the output counts the cases, crashes, sanitizer reports and hangs;
with --strict the exit status is 1 when any of these three occurred, or a
run ended with status 0 and NaN or Infinity in a numeric output (the
sanitizer build's test suite runs a short pass so, see tests/CMakeLists.txt).
"""
import argparse
import concurrent.futures as cf
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

from examplefiles import MUTATED, copy_inputs

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

NUM = re.compile(r"(?<![\w.])[-+]?(\d+\.?\d*|\.\d+)([eEdD][-+]?\d+)?(?![\w.])")
REPLACEMENTS = ["1e30", "-1e30", "99999999", "2147483647", "2147483648", "-2147483648",
                "-1", "0", "-5", "1", "2", "3", "7", "NaN", "inf", "abc", "1.5", "1e-30",
                "0.0", "-0.0", "1e38", "4e38", "", "1*", "1,,", "'x'", "/"]
INPUT_EXTS = (".cfg", ".pot", ".gdf", ".frc", ".rao", ".mod", ".p2f", ".bpi", ".spl", ".csf", ".csp", ".zmd")
COUNT_VALUES = ["0", "-1", "-3", "1", "2", "100", "100000", "-100000", "2147483647", "-2147483648"]


def sh(cmd, cwd, timeout):
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=0:halt_on_error=1"
    env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
    env["OPENBLAS_NUM_THREADS"] = "1"
    try:
        p = subprocess.run(cmd, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=timeout, env=env)
        return p.returncode, p.stdout.decode("latin-1"), p.stderr.decode("latin-1"), False
    except subprocess.TimeoutExpired as e:
        out = (e.stdout or b"").decode("latin-1")
        err = (e.stderr or b"").decode("latin-1")
        return None, out, err, True


# ---------------------------------------------------------------- set-ups

def file_list(d):
    names = []
    for n in sorted(os.listdir(d)):
        if n.endswith(INPUT_EXTS) or n == "fnames.zrv":
            names.append(n)
    return names


def prepare_setups(zorva, work):
    """Base directories: name -> (dir, files that may be damaged)."""
    setups = {}
    box = os.path.join(ROOT, "examples", "box")
    for ex in MUTATED:
        d = os.path.join(work, "base_" + ex)
        copy_inputs(os.path.join(ROOT, "examples", ex), d)
        setups[ex] = (d, file_list(d))

    # A full run of the box gives the .p2f file and the RAO output.
    full = os.path.join(work, "full_box")
    copy_inputs(box, full)
    inputs = set(os.listdir(full))
    rc, out, err, to = sh([zorva], full, 600)
    if rc != 0:
        sys.exit("full run of the box failed:\n" + out + err)

    fo = os.path.join(work, "base_force")
    shutil.copytree(full, fo)
    with open(os.path.join(fo, "box.cfg"), "a") as f:
        f.write("IPOTEN=0\n")
    clean_outputs(fo, inputs | {"box.p2f"})
    setups["force"] = (fo, ["box.p2f", "box.frc", "box.cfg", "fnames.zrv"])

    rao = os.path.join(work, "base_rao")
    shutil.copytree(fo, rao)
    with open(os.path.join(rao, "box.cfg"), "a") as f:
        f.write("IREADRAO=2\n")
    rao_src = None
    for cand in ("box.4", "optn.4"):
        if os.path.exists(os.path.join(full, cand)):
            rao_src = os.path.join(full, cand)
    if rao_src:
        shutil.copy(rao_src, os.path.join(rao, "box.rao"))
        rc, out, err, to = run_base(zorva, rao, 120)
        if rc == 0:
            setups["rao"] = (rao, ["box.rao"])
        else:
            print("rao set-up does not run cleanly; skipped:", out[-500:], err[-500:])
    else:
        print("no RAO output found; rao set-up skipped")

    # The box with a configuration that gives most keywords (their default
    # or a harmless value), so that their values are damaged too.
    cf = os.path.join(work, "base_cfgfull")
    copy_inputs(box, cf)
    with open(os.path.join(cf, "box.cfg"), "w") as f:
        f.write(FULLCFG)
    # ISOR, IRR, IQUAD, ILOG, IDIAG and XBODY now come from the
    # configuration: the .pot file leaves them out.
    with open(os.path.join(cf, "box.pot"), "w") as f:
        f.write("Box, configuration gives most items\n 0.0   HBOT\n 1 1   IRAD IDIFF\n"
                " 1 1 1 1 1 1   MODE\n 3\n 4. 6. 8.\n 2\n 0. 45.\n")
    rc, out, err, to = run_base(zorva, cf, 300)
    if rc == 0:
        setups["cfgfull"] = (cf, ["box.cfg", "box.cfg", "box.pot"])
    else:
        print("cfgfull set-up does not run cleanly; skipped:", out[-800:], err[-500:])

    # Option paths of the readers: interior free surface (IRR = 2), the
    # multi-body .pot layout, dipole panels after a body's panels, walls
    # (negative symmetry indices) and tank/dipole ranges of the
    # configuration.
    pot = open(os.path.join(box, "box.pot")).read().split("\n")
    gdf = open(os.path.join(box, "box.gdf")).read()
    variants = {
        "irr2": {"box.pot": "\n".join([pot[0], pot[1], " 2   IRR", pot[3], " 0 1 0   IQUAD ILOG IDIAG"] + pot[5:])},
        "altpot": {"box.cfg": "IALTPOT=2\n",
                   "box.pot": "Two boxes listed in the .pot file\n 0\n 0.0\n 1 1\n 2\n 4. 8.\n 1\n 0.\n 2\n"
                              "box.gdf\n -2.5 0. 0. 0.\n 1 1 1 1 1 1\n 0\nbox.gdf\n 2.5 0. 0. 0.\n 1 1 1 1 1 1\n 0\n",
                   "box.frc": "Two boxes\n 1 1 1 1 0 0 0 0 0\n 0.0\n 0.35 0 0 0 0.5 0 0 0 0.5\n"
                              " 0.0\n 0.35 0 0 0 0.5 0 0 0 0.5\n 0\n 0\n"},
        "dipole": {"box.gdf": gdf.rstrip("\n") + "\n 1\n 2.0 0.0 -0.5  2.0 0.0 -0.1  3.0 0.0 -0.1  3.0 0.0 -0.5\n"},
        "tanks": {"box.cfg": "NPDIPOLE(1)=(1 2)\nNPTANK(1)=(3 4)\nZTANKFS=-0.5\n"},
    }
    for name, files in variants.items():
        vd = os.path.join(work, "base_" + name)
        copy_inputs(box, vd)
        for fn, text in files.items():
            mode = "a" if fn.endswith(".cfg") else "w"
            with open(os.path.join(vd, fn), mode) as f:
                f.write(text)
        rc, out, err, to = run_base(zorva, vd, 300)
        if rc == 0 or name == "tanks":
            # A run that ends with a message still exercises the readers.
            setups[name] = (vd, sorted(files) * 2 + ["box.gdf"])
        else:
            print(name, "set-up does not run cleanly; skipped:", out[-600:], err[-300:])

    mod = os.path.join(work, "base_mod")
    copy_inputs(box, mod)
    with open(os.path.join(mod, "box.cfg"), "a") as f:
        f.write("NEWMDS(1)=1\n")
    write_mod(os.path.join(mod, "box.mod"), 80)
    rc, out, err, to = run_base(zorva, mod, 300)
    if rc == 0:
        setups["mod"] = (mod, ["box.mod", "box.cfg"])
    else:
        print("mod set-up does not run cleanly; skipped:", out[-800:], err[-500:])
    setups.update(newer_setups(zorva, work))
    return setups


def quick_pot(text):
    """The .pot text with one period (the middle one) and one heading."""
    lines = text.split("\n")
    for i, line in enumerate(lines[:-1]):
        w = line.split()
        if "NPER" in w and w[0].lstrip("-").isdigit():
            per = [t for t in lines[i + 1].split() if NUM.fullmatch(t)]
            lines[i] = " 1   NPER"
            lines[i + 1] = " %s   PER" % per[len(per) // 2 if len(per) > 1 else 0]
        elif "NBETA" in w and w[0].lstrip("-").isdigit():
            lines[i] = " 1   NBETA"
            lines[i + 1] = " %s   BETA" % lines[i + 1].split()[0]
    return "\n".join(lines)


def coarse_spl(text):
    """A .spl text with at most 2 x 2 spline panels per patch."""
    out = []
    for line in text.split("\n"):
        w = line.split()
        if len(w) >= 4 and w[2:4] == ["NU", "NV"]:
            line = "  %d  %d      NU NV" % (min(int(w[0]), 2), min(int(w[1]), 2))
        out.append(line)
    return "\n".join(out)


# Geometry-model files of the kernel: a coarse hemisphere for the low-order
# and the higher-order method; the control surface 4 x 3 x 1.5 round the
# box with its lid is that of the example hoboxmodel (list "Surface").
KHEMI_LO = "ZUZOVOZA MODEL 1\nUNITS m\nSPHERE hull 0 0 0 1 -90 0 0 360 div=2x8 orient=1\n"
KHEMI_HO = "ZUZOVOZA MODEL 1\nUNITS m\nSPHERE hull 0 0 0 1 -90 0 0 360 orient=1 panes=1x4\n"
KCSF = os.path.join(ROOT, "examples", "hoboxmodel", "csf.zmd")

# The newer formats: set-up name -> (example, files written over the
# example's, files damaged; a name listed twice is damaged twice as often).
NEWER = {
    "hobox": ("hobox", {}, ["hobox.gdf", "hobox.gdf", "hobox.spl", "hobox.pot"]),
    "hoboxbs": ("hoboxbs", {}, ["hoboxbs.gdf", "hoboxbs.gdf", "hoboxbs.spl"]),
    "hohemi": ("hohemi", {}, ["hohemi.gdf", "hohemi.spl", "hohemi.pot"]),
    "hohemideep": ("hohemideep", {}, ["hohemid.gdf", "hohemid.spl"]),
    "hemicsf": ("hemicsf", {}, ["hemi.csf"]),
    "boxcsf": ("boxcsf", {}, ["box.csf"]),
    "boxcsp": ("boxcsf", {"box.csf": lambda t: t.replace("9  0  0.50", "9  0  -1.0"),
                          "box.csp": lambda t: "Sub-panels of the control surface\n" + " 2  2\n" * 9},
               ["box.csf", "box.csp", "box.csp"]),
    "kmodel": ("hemisphere", {"hemi.zmd": lambda t: KHEMI_LO,
                              "hemi.gdf": lambda t: "Kernel hemisphere\n 1.0 9.80665\n 0 0\n 0 2\n3\n"
                                                    "hemi.zmd\nDEFAULT\n1 0 0\n"},
               ["hemi.zmd", "hemi.zmd", "hemi.gdf"]),
    "kmodelho": ("hohemi", {"hemi.zmd": lambda t: KHEMI_HO,
                            "hohemi.gdf": lambda t: "Kernel hemisphere\n 1.0 9.80665\n 0 0\n 0 2\n3\n"
                                                    "hemi.zmd\nDEFAULT\n1 0 0\n"},
                 ["hemi.zmd", "hemi.zmd", "hohemi.gdf", "hohemi.spl"]),
    "kmodelcsf": ("boxcsf", {"csf.zmd": lambda t: open(KCSF).read(),
                             "box.csf": lambda t: "Kernel control surface\n1\n0 0\n0 2 0.5\n3\n"
                                                  "csf.zmd\nSurface\n1 0 0\n"},
                  ["csf.zmd", "csf.zmd", "box.csf"]),
}


def newer_setups(zorva, work):
    """The set-ups of the newer formats (see NEWER) and the FORCE-only run
    of the higher-order hemisphere on its .p2f file."""
    setups = {}
    for name, (ex, over, damaged) in NEWER.items():
        d = os.path.join(work, "base_" + name)
        copy_inputs(os.path.join(ROOT, "examples", ex), d)
        for fn in os.listdir(d):
            if fn.endswith(".pot"):
                edit(os.path.join(d, fn), quick_pot)
            elif fn.endswith(".spl"):
                edit(os.path.join(d, fn), coarse_spl)
            elif fn.endswith(".cfg"):
                # The direct solver: no iteration count to reach.
                edit(os.path.join(d, fn), lambda t: t + "ISOLVE=1\n")
        for fn, f in over.items():
            edit(os.path.join(d, fn), f)
        inputs = set(os.listdir(d))
        rc, out, err, to = sh([zorva], d, 300)
        if rc != 0:
            print(name, "set-up does not run cleanly; skipped:", out[-600:], err[-300:])
            continue
        if name == "hohemi":
            fo = os.path.join(work, "base_forceho")
            shutil.copytree(d, fo)
            with open(os.path.join(fo, "hohemi.cfg"), "a") as f:
                f.write("IPOTEN=0\n")
            clean_outputs(fo, inputs | {"hohemi.p2f"})
            setups["forceho"] = (fo, ["hohemi.p2f"] * 6 + ["hohemi.frc"])
        clean_outputs(d, inputs)
        setups[name] = (d, damaged)
    return setups


def edit(path, f):
    text = open(path, encoding="latin-1").read() if os.path.exists(path) else ""
    with open(path, "w", encoding="latin-1") as g:
        g.write(f(text))


FULLCFG = """Box with most configuration keywords given
ILOWHI=0
IPOTEN=1
IFORCE=1
IDIAG=0
ILOG=0
IPERIO=1
IQUAD=0
ISCATT=0
ISOLVE=0
ISOR=0
KSPLIN=3
MAXSCR=2
MODLST=0
MONITR=0
MAXITT=35
MAXMIT=8
NUMHDR=1
NUMNAM=0
ILOWGDF=0
IPLTDAT=0
IPNLBPT=0
INUMOPT5=0
INUMOPT6=0
INUMOPT7=0
IALTPOT=1
IALTFRC=1
ITANKFPT=0
IFIELD_ARRAYS=0
ITRIMWL=0
IBODY_WAVEMAKER=0
IWALLX0=0
IWALLY0=0
IREADRAO=0
IALTFRCN=1
NEWMDS(1)=0
IGENMDS(1)=0
PANEL_SIZE=-1.0
XBODY(1)=0. 0. 0. 0.
XTRIM(1)=0. 0. 0.
IRR(1)=0
TOLGAPWL=0.001
SCRATCH_PATH=
"""


def clean_outputs(d, keep):
    """Removes the files of D not named in KEEP: the outputs of a run, whose
    presence would stop the next run at its old-output check."""
    for n in os.listdir(d):
        if n not in keep:
            os.remove(os.path.join(d, n))


def run_base(zorva, d, timeout):
    """A run of the set-up in D, which then holds its inputs alone again."""
    inputs = set(os.listdir(d))
    res = sh([zorva], d, timeout)
    clean_outputs(d, inputs)
    return res


def write_mod(path, npan):
    """A .mod file for one generalized mode (a vertical bending shape)."""
    with open(path, "w") as f:
        f.write("Hand-made extra-mode file for the box\n")
        f.write("one generalized mode\n")
        f.write("  0  0  %d\n" % npan)
        f.write("  1\n")
        f.write("  3\n")
        for i in range(npan):
            f.write("  %.5E\n" % (0.1 * ((i % 7) - 3)))
        for r in range(6):
            f.write(" " + " ".join(["0.0"] * 7) + "\n")
        f.write(" " + " ".join(["0.0"] * 6) + " 0.5\n")


# ---------------------------------------------------------------- mutations

def mutate_text(data, rng, fname):
    lines = data.split("\n")
    kinds = ["trunc_line", "trunc_byte", "del_line", "dup_line", "num", "num", "num", "count",
             "garbage", "empty", "swap", "blank_line", "long_line"]
    k = rng.choice(kinds)
    if k == "trunc_line":
        n = rng.randrange(0, len(lines))
        return "\n".join(lines[:n]) + ("\n" if n else ""), "truncated after line %d" % n
    if k == "trunc_byte":
        n = rng.randrange(0, max(1, len(data)))
        return data[:n], "truncated at byte %d" % n
    if k == "del_line":
        n = rng.randrange(0, len(lines))
        return "\n".join(lines[:n] + lines[n + 1:]), "line %d deleted" % (n + 1)
    if k == "dup_line":
        n = rng.randrange(0, len(lines))
        return "\n".join(lines[:n + 1] + lines[n:]), "line %d doubled" % (n + 1)
    if k == "swap":
        a = rng.randrange(0, len(lines))
        b = rng.randrange(0, len(lines))
        lines[a], lines[b] = lines[b], lines[a]
        return "\n".join(lines), "lines %d and %d swapped" % (a + 1, b + 1)
    if k == "blank_line":
        n = rng.randrange(0, len(lines))
        return "\n".join(lines[:n] + [""] + lines[n:]), "blank line before line %d" % (n + 1)
    if k == "long_line":
        n = rng.randrange(0, len(lines))
        lines[n] = lines[n] + " " + "9" * rng.choice([100, 5000])
        return "\n".join(lines), "line %d made long" % (n + 1)
    if k == "garbage":
        pos = rng.randrange(0, max(1, len(data)))
        g = bytes(rng.randrange(0, 256) for _ in range(rng.randrange(1, 64))).decode("latin-1")
        return data[:pos] + g + data[pos:], "binary garbage at byte %d" % pos
    if k == "empty":
        return "", "empty file"
    # A number token replaced; "count" prefers the first number of a line
    # (counts such as NPAN, NPER, NBETA, NBODY stand alone on their lines).
    cands = []
    for li, line in enumerate(lines):
        for j, m in enumerate(NUM.finditer(line)):
            if k == "count" and j != 0:
                continue
            cands.append((li, m))
    if not cands:
        return "", "empty file (no numbers)"
    li, m = rng.choice(cands)
    if k == "count" and "." not in m.group(0):
        rep = rng.choice(COUNT_VALUES)
    else:
        rep = rng.choice(REPLACEMENTS)
    line = lines[li]
    lines[li] = line[:m.start()] + rep + line[m.end():]
    return "\n".join(lines), "line %d: '%s' -> '%s'" % (li + 1, m.group(0), rep)


def mutate_binary(data, rng):
    k = rng.choice(["trunc", "flip", "int", "int", "zero_tail", "empty"])
    b = bytearray(data)
    if k == "trunc" or len(b) < 8:
        n = rng.randrange(0, max(1, len(b)))
        return bytes(b[:n]), "truncated at byte %d" % n
    if k == "empty":
        return b"", "empty file"
    if k == "flip":
        n = rng.randrange(1, 8)
        where = []
        for _ in range(n):
            p = rng.randrange(0, len(b))
            b[p] = rng.randrange(0, 256)
            where.append(p)
        return bytes(b), "bytes changed at %s" % where
    if k == "zero_tail":
        p = rng.randrange(0, len(b))
        for i in range(p, min(len(b), p + rng.randrange(4, 400))):
            b[i] = 0
        return bytes(b), "bytes zeroed from %d" % p
    # A 4-byte word (a count, a record length or a value) replaced; words
    # near the start (record markers and header counts) are likelier.
    p = 4 * rng.randrange(0, min(len(b) // 4, rng.choice([64, 512, len(b) // 4])))
    # Integers, then the bit patterns of the reals NaN, +-infinity, 1e30
    # and -1e30.
    v = rng.choice([0, -1, 1, 2, 7, 100, 100000, 2 ** 31 - 1, -2 ** 31, 0x7fc00000, 0x7f800000, 0xff800000,
                    0x7149f2ca, 0xf149f2ca])
    b[p:p + 4] = (v & 0xffffffff).to_bytes(4, "little")
    return bytes(b), "word at byte %d set to %d" % (p, v)


# ---------------------------------------------------------------- one case

# NaN and infinity as the program's number formats write them.
NONFINITE = re.compile(r"(?<![A-Za-z])(NaN|-?Inf(inity)?)(?![A-Za-z])")
# Outputs that echo input text (titles, damaged lines) beside numbers.
ECHOING = (".out", ".log", ".txt")


def nonfinite_output(d, inputs, desc):
    """True when an output of the run in D holds NaN or an infinity.  The
    reports and logs count only when the damage did not itself write such a
    word into an input (they echo input lines)."""
    echoed = re.search(r"-> '(NaN|inf)'", desc) is not None
    for n in os.listdir(d):
        if n in inputs or n.endswith(".p2f"):
            continue
        if echoed and n.endswith(ECHOING):
            continue
        try:
            with open(os.path.join(d, n), encoding="latin-1") as f:
                if NONFINITE.search(f.read()):
                    return True
        except (IsADirectoryError, UnicodeDecodeError):
            pass
    return False

def strict(desc):
    """Damage that cannot leave a valid input, whatever line it hit (a
    blank, doubled, swapped or lengthened line may be harmless)."""
    return (desc.startswith(("empty", "truncated", "binary garbage", "word at", "bytes"))
            or re.search(r"-> '(NaN|inf|abc|1e30|-1e30|1e38|4e38|2147483648|99999999|'x')'", desc) is not None)


# Reports of the sanitizers, the array bounds checks and the C++ run time;
# they go to standard error (the program's own messages go to the screen).
SAN = re.compile(r"(ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer|"
                 r"SUMMARY: UndefinedBehaviorSanitizer|AddressSanitizer:DEADLYSIGNAL|"
                 r"FArray: index|terminate called|Assertion)")


def run_case(args):
    zorva, setup, base, files, seed, timeout, outdir, rounds = args
    rng = random.Random(seed)
    target = rng.choice(files)
    tmp = tempfile.mkdtemp(prefix="mut_")
    try:
        d = os.path.join(tmp, "run")
        shutil.copytree(base, d)
        path = os.path.join(d, target)
        binary = target.endswith(".p2f")
        with open(path, "rb" if binary else "r", **({} if binary else {"encoding": "latin-1"})) as f:
            data = f.read()
        new, descs = data, []
        for _ in range(rounds):
            new, what = mutate_binary(new, rng) if binary else mutate_text(new, rng, target)
            descs.append(what)
        desc = "; ".join(descs)
        with open(path, "wb" if binary else "w", **({} if binary else {"encoding": "latin-1"})) as f:
            f.write(new)
        t0 = time.monotonic()
        inputs = set(os.listdir(d))
        rc, out, err, to = sh([zorva], d, timeout)
        secs = time.monotonic() - t0
        kind = None
        if to:
            kind = "hang"
        elif SAN.search(err):
            kind = "sanitizer"
        elif rc is not None and (rc < 0 or rc > 2):
            kind = "signal/status %d" % rc
        elif rc == 0 and nonfinite_output(d, inputs, desc):
            kind = "nonfinite"
        elif rc in (0, 2) and new != data and strict(desc):
            kind = "exit0"
        res = {"setup": setup, "file": target, "desc": desc, "seed": seed, "kind": kind, "rc": rc, "secs": secs}
        if kind:
            keep = os.path.join(outdir, "%s_%s_%d" % (setup, kind.split()[0].replace("/", "_"), seed))
            shutil.rmtree(keep, ignore_errors=True)
            shutil.copytree(d, keep)
            with open(os.path.join(keep, "_screen.txt"), "w") as f:
                f.write(out)
            with open(os.path.join(keep, "_stderr.txt"), "w") as f:
                f.write(err)
            with open(os.path.join(keep, "_mutation.txt"), "w") as f:
                f.write("%s %s: %s\n" % (setup, target, desc))
            # The first sanitizer line names the fault.
            m = SAN.search(err)
            if m:
                line = err[m.start():].split("\n")[0]
                res["what"] = line[:200]
            else:
                res["what"] = (out.strip().split("\n")[-1] if out.strip() else "")[:200]
        return res
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--zorva", default=os.path.join(ROOT, "build-asan", "zorva"))
    ap.add_argument("--count", type=int, default=200)
    ap.add_argument("--jobs", type=int, default=4)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--timeout", type=float, default=10.0)
    ap.add_argument("--setups", default="", help="comma-separated subset of set-ups ('newer': those of the newer formats)")
    ap.add_argument("--files", default="", help="only damage files whose names end so (comma-separated)")
    ap.add_argument("--rounds", type=int, default=1, help="mutations applied to the one file")
    ap.add_argument("--out", default="/tmp/mutfaults")
    ap.add_argument("--strict", action="store_true",
                    help="exit status 1 after any crash, sanitizer report, hang or non-finite output")
    a = ap.parse_args()
    zorva = os.path.abspath(a.zorva)
    os.makedirs(a.out, exist_ok=True)
    work = tempfile.mkdtemp(prefix="mutbase_")
    try:
        # A private copy of the program and of the libraries it finds
        # through its run path ($ORIGIN/../lib): a rebuild during the run
        # does not disturb them.
        real = os.path.realpath(zorva)
        libs = os.path.join(os.path.dirname(real), os.pardir, "lib")
        os.makedirs(os.path.join(work, "prog", "bin"))
        shutil.copy(real, os.path.join(work, "prog", "bin", "zorva"))
        shutil.copytree(libs, os.path.join(work, "prog", "lib"))
        zorva = os.path.join(work, "prog", "bin", "zorva")
        setups = prepare_setups(zorva, work)
        names = sorted(setups)
        if a.setups:
            want = a.setups.split(",")
            if "newer" in want:
                want += list(NEWER) + ["forceho"]
            names = [n for n in names if n in want]
        jobs = []
        for i in range(a.count):
            s = names[i % len(names)]
            base, files = setups[s]
            if a.files:
                files = [f for f in files if f.endswith(tuple(a.files.split(",")))] or files
            jobs.append((zorva, s, base, files, a.seed * 1000003 + i, a.timeout, a.out, a.rounds))
        counts = {}
        statuses = {}
        faults = []
        longest = 0.0
        with cf.ThreadPoolExecutor(max_workers=a.jobs) as ex:
            for r in ex.map(run_case, jobs):
                counts[r["setup"]] = counts.get(r["setup"], 0) + 1
                st = "timeout" if r["rc"] is None else r["rc"]
                statuses[st] = statuses.get(st, 0) + 1
                longest = max(longest, r["secs"])
                if r["kind"]:
                    faults.append(r)
                    print("%-10s %-12s %-16s %s | %s" % (r["setup"], r["file"], r["kind"], r["desc"],
                                                         r.get("what", "")), flush=True)
        with open(os.path.join(a.out, "faults.txt"), "a") as f:
            for r in faults:
                f.write("%s\t%s\t%s\t%s\t%d\t%s\n" % (r["setup"], r["file"], r["kind"], r["desc"], r["seed"],
                                                       r.get("what", "")))
        print("runs per set-up:", counts)
        print("exit statuses:", dict(sorted(statuses.items(), key=str)))
        print("faults:", len(faults), "(exit0:", sum(1 for r in faults if r["kind"] == "exit0"), ")")
        crashes = sum(1 for r in faults if r["kind"].startswith("signal"))
        sanitizer = sum(1 for r in faults if r["kind"] == "sanitizer")
        hangs = sum(1 for r in faults if r["kind"] == "hang")
        nonfinite = sum(1 for r in faults if r["kind"] == "nonfinite")
        print("cases %d, crashes %d, sanitizer reports %d, hangs %d, non-finite outputs %d; longest run %.1f s" %
              (len(jobs), crashes, sanitizer, hangs, nonfinite, longest), flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if a.strict and crashes + sanitizer + hangs + nonfinite > 0:
        sys.exit(1)


if __name__ == "__main__":
    main()
