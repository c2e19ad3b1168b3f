#!/usr/bin/env python3
"""Convergence of the mean drift of the floating and the held hemisphere
(radius 1, nu = 0.6, heading 0, infinite depth) by momentum conservation,
pressure integration and the two control-surface formulations, under
refinement of the body panels; Richardson extrapolation of the last three
meshes.

Run by hand from the repository root after building:
    python3 tools/csfconv.py 12 16 20 24 28 32 > tools/csfconv.txt
    python3 tools/csfconv.py --csh 0.0625 16 24 32 >> tools/csfconv.txt
    python3 tools/csfconv.py --csh 0.03125 16 24 >> tools/csfconv.txt
Each mesh is run in its own temporary folder (POTEN once, then FORCE held
and floating, with ICTRSURF = 1 and 2); the control surface is the faceted
vertical cylinder of radius 2 and depth 2 with its bottom and the free
surface out from the body's waterline, sub-panels of about 0.125 (--csh).
The row h->0 extrapolates the last three meshes by a + b h + c h^2 with
h = 1/nt; the row lsq fits the same over all meshes by least squares.
The column nt*(cs2-cs1) shows the two control-surface forms parting by
the first power of the body's panel size.
"""
import argparse
import concurrent.futures
import math
import os
import subprocess
import sys
import tempfile

NU = 0.6
G = 9.80665


def panel(a, b, c, d, inside):
    """Vertices ordered so that (P1+P2-P3-P4) x (P1+P4-P2-P3) points to `inside`."""
    cen = [0.25 * (a[k] + b[k] + c[k] + d[k]) for k in range(3)]
    u = [a[k] + b[k] - c[k] - d[k] for k in range(3)]
    w = [a[k] + d[k] - b[k] - c[k] for k in range(3)]
    n = [u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]]
    if sum(n[k] * (inside[k] - cen[k]) for k in range(3)) < 0.0:
        b, d = d, b
    return (a, b, c, d)


def hemisphere(nt, npp):
    def pt(i, j):
        t, f = math.pi / 2 * i / nt, 2 * math.pi * j / npp
        return (math.sin(t) * math.cos(f), math.sin(t) * math.sin(f), -math.cos(t))
    out = []
    for i in range(nt):
        for j in range(npp):
            if i == 0:
                out.append(panel(pt(0, 0), pt(1, j), pt(1, j + 1), pt(1, j + 1), (0, 0, 0)))
            else:
                out.append(panel(pt(i, j), pt(i + 1, j), pt(i + 1, j + 1), pt(i, j + 1), (0, 0, 0)))
    return out


def cylinder(A, D, R, m, h):
    """Control surface; normals towards the body (down on the free surface)."""
    def at(r, j, z):
        f = 2 * math.pi * j / m
        return (r * math.cos(f), r * math.sin(f), z)
    nz, nb, nf = round(D / h), round(A / h), round((A - R) / h)
    out = []
    for j in range(m):
        for k in range(nz):
            z0, z1 = -D * k / nz, -D * (k + 1) / nz
            out.append(panel(at(A, j, z0), at(A, j + 1, z0), at(A, j + 1, z1), at(A, j, z1), (0, 0, 0.5 * (z0 + z1))))
        for k in range(nb):
            r0, r1 = A * k / nb, A * (k + 1) / nb
            out.append(panel(at(r0, j, -D), at(r1, j, -D), at(r1, j + 1, -D), at(r0, j + 1, -D), (0, 0, 0)))
        for k in range(nf):
            r0, r1 = R + (A - R) * k / nf, R + (A - R) * (k + 1) / nf
            c = at(0.5 * (r0 + r1), j, 0.0)
            out.append(panel(at(r0, j, 0), at(r1, j, 0), at(r1, j + 1, 0), at(r0, j + 1, 0), (c[0], c[1], -1.0)))
    return out


def panels_text(pans):
    return "".join(" ".join("%.9g %.9g %.9g" % v for v in p) + "\n" for p in pans)


def drift(path, label=1):
    """Real part of the drift record `label` (1 = Fx, 3 = Fz) of heading 0."""
    for line in open(path):
        f = line.split()
        if len(f) >= 8 and int(f[3]) == label and abs(float(f[1])) < 1e-6:
            return float(f[6])
    raise RuntimeError("no record %d in %s" % (label, path))


def run(zorva, d, cfg, frc=None):
    with open(os.path.join(d, "run.cfg"), "w") as f:
        f.write(cfg)
    if frc:
        with open(os.path.join(d, "run.frc"), "w") as f:
            f.write(frc)
    for name in ("run.out", "run.hst", "run.8", "run.9", "run.9c"):
        if os.path.exists(os.path.join(d, name)):
            os.remove(os.path.join(d, name))
    r = subprocess.run([zorva], cwd=d, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    if r.returncode != 0:
        raise RuntimeError("zorva failed in %s:\n%s%s" % (d, r.stdout[-2000:], r.stderr[-2000:]))


def mesh(zorva, nt, csh):
    per = 2 * math.pi / math.sqrt(NU * G)
    with tempfile.TemporaryDirectory(prefix="csfconv%d_" % nt) as d:
        return nt, mesh_in(zorva, nt, csh, per, d)


def mesh_in(zorva, nt, csh, per, d):
    files = {
        "fnames.zrv": "run.cfg\nrun.pot\nrun.gdf\nrun.frc\n",
        "run.pot": "Hemisphere drift convergence\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n%.9g\n1\n0\n" % per,
        "run.gdf": "Hemisphere\n1.0 9.80665\n0 0\n%d\n" % (4 * nt * nt) + panels_text(hemisphere(nt, 4 * nt)),
    }
    csf = cylinder(2.0, 2.0, 1.0, 4 * nt, csh)
    files["run.csf"] = "Control surface\n0\n0 0\n%d\n" % len(csf) + panels_text(csf)
    for name, text in files.items():
        with open(os.path.join(d, name), "w") as f:
            f.write(text)
    frc = "Drift convergence\n 0 0 0 %d 0 0 0 1 1\n-0.5\n0.6 0 0  0 0.6 0  0 0 0.6\n0\n0\n"
    run(zorva, d, "ISOR = 1\nISOLVE = 1\nIFORCE = 0\n", frc % 0)
    out = {}
    for moving in (0, 1):
        for ics in (1, 2):
            run(zorva, d, "ISOR = 1\nISOLVE = 1\nIPOTEN = 0\nICTRSURF = %d\n" % ics, frc % moving)
            key = "floating" if moving else "held"
            out[(key, "mom")] = drift(os.path.join(d, "run.8"))
            out[(key, "pi")] = drift(os.path.join(d, "run.9"))
            out[(key, "cs%d" % ics)] = drift(os.path.join(d, "run.9c"))
    return out


def richardson(h, f):
    """Value at h = 0 of f = a + b h + c h^2 through three points."""
    (h1, h2, h3), (f1, f2, f3) = h, f
    l1 = h2 * h3 / ((h1 - h2) * (h1 - h3))
    l2 = h1 * h3 / ((h2 - h1) * (h2 - h3))
    l3 = h1 * h2 / ((h3 - h1) * (h3 - h2))
    return l1 * f1 + l2 * f2 + l3 * f3


def lsq(h, f):
    """Value at h = 0 of the least-squares fit a + b h + c h^2."""
    m = [[sum(x ** (i + j) for x in h) for j in range(3)] for i in range(3)]
    r = [sum(y * x ** i for x, y in zip(h, f)) for i in range(3)]
    for i in range(3):  # Gaussian elimination, no pivoting needed (normal matrix)
        for k in range(i + 1, 3):
            q = m[k][i] / m[i][i]
            m[k] = [m[k][j] - q * m[i][j] for j in range(3)]
            r[k] -= q * r[i]
    c = [0.0] * 3
    for i in (2, 1, 0):
        c[i] = (r[i] - sum(m[i][j] * c[j] for j in range(i + 1, 3))) / m[i][i]
    return c[0]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--zorva", default="build/zorva")
    ap.add_argument("--jobs", type=int, default=3)
    ap.add_argument("--csh", type=float, default=0.125, help="control-surface sub-panel size")
    ap.add_argument("nt", type=int, nargs="+")
    a = ap.parse_args()
    zorva = os.path.abspath(a.zorva)
    with concurrent.futures.ThreadPoolExecutor(a.jobs) as ex:
        res = dict(ex.map(lambda n: mesh(zorva, n, a.csh), a.nt))
    cols = ("mom", "pi", "cs1", "cs2")
    print("Mean drift Fx along the waves, hemisphere radius 1, nu = 0.6, heading 0, infinite depth")
    print("control surface: cylinder radius 2, depth 2, sub-panels %g; nt panel rows pole to waterline" % a.csh)
    for body in ("held", "floating"):
        print()
        print("%-9s %4s %13s %13s %13s %13s %9s %9s %12s" % (body, "nt", "momentum", "pressure", "csf ICTRSURF=1",
                                                            "csf ICTRSURF=2", "cs1/mom-1", "cs2/mom-1",
                                                            "nt*(cs2-cs1)"))
        for nt in a.nt:
            v = [res[nt][(body, c)] for c in cols]
            print("%-9s %4d %13.5e %13.5e %13.5e %13.5e %8.2f%% %8.2f%% %12.5e" % (
                "", nt, *v, 100 * (v[2] / v[0] - 1), 100 * (v[3] / v[0] - 1), nt * (v[3] - v[2])))
        if len(a.nt) >= 3:
            last = a.nt[-3:]
            # f = a + b h + c h^2 through the last three meshes, h = 1/nt.
            x = [1.0 / n for n in last]
            v = [richardson(x, [res[n][(body, c)] for n in last]) for c in cols]
            print("%-9s %4s %13.5e %13.5e %13.5e %13.5e %8.2f%% %8.2f%%" % ("", "h->0", *v, 100 * (v[2] / v[0] - 1),
                                                                           100 * (v[3] / v[0] - 1)))
        if len(a.nt) >= 4:
            # Least squares a + b h + c h^2 over all meshes.
            v = [lsq([1.0 / n for n in a.nt], [res[n][(body, c)] for n in a.nt]) for c in cols]
            print("%-9s %4s %13.5e %13.5e %13.5e %13.5e %8.2f%% %8.2f%%" % ("", "lsq", *v, 100 * (v[2] / v[0] - 1),
                                                                           100 * (v[3] / v[0] - 1)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
