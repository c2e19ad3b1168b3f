#!/usr/bin/env python3
"""Runs the hemisphere pair examples/hemisphere_irr0 and hemisphere_irr3
(the same 1008-panel hemisphere of radius 1 at K a = 0.1 .. 6, without and
with the interior free surface) and tabulates added mass, damping and
exciting forces against the published values of the floating hemisphere
(Hulme, J. Fluid Mech. 121, 1982).

Run by hand from the top of the source tree after a build:
    python3 tools/hemisphere_irr.py [build/zorva] > tools/hemisphere_irr.txt
Each run works in a temporary folder.  The output is committed.

Added mass is divided by rho 2/3 pi a^3, damping by rho 2/3 pi a^3 omega
(the program writes them divided by rho L^3 and rho L^3 omega, L = a = 1).
The exciting forces |X| are divided by rho g A a^2; the published
reference for them follows from the published damping by the Haskind
relation of an axisymmetric body in deep water: heave |X3| = sqrt(2 B33/K),
surge |X1| = sqrt(4 B11/K), with B divided by rho L^3 omega.
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile

from examplefiles import copy_inputs

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
FACT = 1.0 / (2.0 / 3.0 * math.pi)

# Published added mass and damping (surge A, B; heave A, B).
HULME = {
    3.0: (0.1720, 0.2237, 0.4111, 0.0452),
    4.0: (0.1620, 0.1510, 0.4322, 0.0219),
    5.0: (0.1679, 0.1073, 0.4471, 0.0116),
}


def run(example, exe, stem="hemiq", irr=None):
    """Runs the example in a temporary folder (with IRR replaced when irr
    is given) and returns rows Ka, A11, B11, A33, B33, |X1|, |X3|, ..."""
    tmp = tempfile.mkdtemp(prefix="zorva_hemi_")
    try:
        copy_inputs(os.path.join(ROOT, "examples", example), tmp)
        if irr is not None:
            pot = os.path.join(tmp, stem + ".pot")
            with open(pot) as f:
                lines = f.read().split("\n")
            assert lines[2].split()[1] == "IRR"
            lines[2] = " %d                   IRR" % irr
            with open(pot, "w") as f:
                f.write("\n".join(lines))
        subprocess.run([exe], cwd=tmp, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, check=True)
        ka = []
        with open(os.path.join(tmp, stem + ".pot")) as f:
            lines = f.read().split("\n")
        n = int(lines[7].split()[0])
        for l in lines[8:]:
            ka += [float(v) for v in l.split()]
            if len(ka) >= n:
                break
        am = {}
        with open(os.path.join(tmp, stem + ".1")) as f:
            blk = {}
            for l in f:
                v = l.split()
                i, j = int(v[1]), int(v[2])
                blk.setdefault((i, j), []).append((float(v[3]), float(v[4])))
        ex = {}
        for ext in ("2", "3"):
            with open(os.path.join(tmp, stem + "." + ext)) as f:
                d = {}
                for l in f:
                    v = l.split()
                    d.setdefault(int(v[2]), []).append(float(v[3]))
                ex[ext] = d
        rows = []
        for k in range(len(ka)):
            a11, b11 = blk[(1, 1)][k]
            a33, b33 = blk[(3, 3)][k]
            rows.append((ka[k], a11 * FACT, b11 * FACT, a33 * FACT, b33 * FACT, ex["3"][1][k], ex["3"][3][k],
                         ex["2"][1][k], ex["2"][3][k]))
        return rows
    finally:
        shutil.rmtree(tmp)


def main():
    exe = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "zorva"))
    r0 = run("hemisphere_irr0", exe)
    r3 = run("hemisphere_irr3", exe)
    print("Floating hemisphere, radius 1, 1008 panels (quarter given), infinite depth.")
    table(r0, r3)


def table(r0, r3):
    """Prints both runs side by side and the deviations from the published values."""
    print("A / (rho 2/3 pi a^3), B / (rho 2/3 pi a^3 omega); |X| / (rho g A a^2), direct integration.")
    print()
    print("  Ka   | IRR=0: A11    B11    A33    B33    |X1|   |X3|  | IRR=3: A11    B11    A33    B33    |X1|   |X3|")
    for a, b in zip(r0, r3):
        print(" %4.1f  | %12.4f %6.4f %6.4f %6.4f %6.4f %6.4f | %12.4f %6.4f %6.4f %6.4f %6.4f %6.4f" %
              (a[0], a[1], a[2], a[3], a[4], a[5], a[6], b[1], b[2], b[3], b[4], b[5], b[6]))
    print()
    print("Against the published values (deviation in %):")
    print("  Ka  quantity  published   IRR=0 (dev)        IRR=3 (dev)")
    for ka, ref in sorted(HULME.items()):
        k = [i for i, row in enumerate(r3) if abs(row[0] - ka) < 1e-6][0]
        names = ("A11", "B11", "A33", "B33")
        for q in range(4):
            v0, v3 = r0[k][q + 1], r3[k][q + 1]
            print(" %4.1f  %-5s     %7.4f   %7.4f (%+5.1f)   %7.4f (%+5.1f)" %
                  (ka, names[q], ref[q], v0, 100 * (v0 / ref[q] - 1), v3, 100 * (v3 / ref[q] - 1)))
        # Exciting forces from the published damping (Haskind).
        x1 = math.sqrt(4 * ref[1] / FACT / ka)
        x3 = math.sqrt(2 * ref[3] / FACT / ka)
        for name, ref_x, i in (("|X1|", x1, 5), ("|X3|", x3, 6)):
            v0, v3 = r0[k][i], r3[k][i]
            print(" %4.1f  %-5s     %7.4f   %7.4f (%+5.1f)   %7.4f (%+5.1f)" %
                  (ka, name, ref_x, v0, 100 * (v0 / ref_x - 1), v3, 100 * (v3 / ref_x - 1)))


if __name__ == "__main__":
    main()
