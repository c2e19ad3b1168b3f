#!/usr/bin/env python3
"""Writes the expected outputs of the examples: examples/<case>/expected/.

Runs the program on a temporary copy of each example's input files (the
files fnames.zrv names, and the body files of a global geometry file) and
keeps every text output of the run: the report, the numeric files, the
hydrostatic matrix, the run and stage logs and the screen output (as
screen.txt).  Dates and times are masked (DD-Mon-YYYY, HH:MM:SS), as the
test tests/examples does with the outputs of its own runs.

Run by hand from the top of the source tree after a release build, and only
when a change of the results is understood:

  python3 tools/mkexpected.py [--zorva build/zorva] [EXAMPLE ...]

Without names it rewrites every example's expected outputs.
"""
import argparse
import os
import re
import shutil
import subprocess
import tempfile

from examplefiles import EXAMPLES, copy_inputs, inputs

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
DATE = re.compile(r"\d\d-[A-Z][a-z][a-z]-\d\d\d\d")
TIME = re.compile(r"\d\d:\d\d:\d\d")


def mask(text):
    return TIME.sub("HH:MM:SS", DATE.sub("DD-Mon-YYYY", text))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--zorva", default=os.path.join(ROOT, "build", "zorva"))
    ap.add_argument("examples", nargs="*", metavar="EXAMPLE", help="only these examples")
    a = ap.parse_args()
    unknown = [ex for ex in a.examples if ex not in EXAMPLES]
    if unknown:
        raise SystemExit("not an example: " + " ".join(unknown))
    for ex in a.examples or EXAMPLES:
        src = os.path.join(ROOT, "examples", ex)
        ins = inputs(src)
        tmp = tempfile.mkdtemp(prefix="mkexpected_")
        try:
            copy_inputs(src, tmp)
            env = dict(os.environ, OPENBLAS_NUM_THREADS="1")
            p = subprocess.run([os.path.abspath(a.zorva)], cwd=tmp, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
            if p.returncode != 0:
                raise SystemExit("%s: exit status %d" % (ex, p.returncode))
            out = os.path.join(src, "expected")
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            with open(os.path.join(out, "screen.txt"), "w") as f:
                f.write(mask(p.stdout.decode("latin-1")))
            for f in sorted(os.listdir(tmp)):
                if f in ins or f.endswith(".p2f"):
                    continue
                with open(os.path.join(tmp, f), encoding="latin-1") as g:
                    text = g.read()
                with open(os.path.join(out, f), "w", encoding="latin-1") as g:
                    g.write(mask(text))
            print(ex, sorted(os.listdir(out)))
        finally:
            shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
