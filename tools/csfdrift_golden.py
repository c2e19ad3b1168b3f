#!/usr/bin/env python3
"""Reference control-surface drift of the body and field example.

Writes into tests/force/golden: bodyfld.csf, a control surface of four flat
panels around the example's body (two walls reaching the free surface, a
piece of free surface and a piece of bottom), and the control-surface drift
section csfdrift.out and the numeric file bodyfld.9c that the example's
fixture (bodyfld.fix, with zero source strengths, so that the flow at the
control surface is the incident wave) gives with ICTRSURF = 1 and option 9
= 1.  The panels' points, normals and weights, the incident wave at them
and the control-surface sums are formed in double precision; the body's
hydrostatic, translation and hull-waterline terms come from the drift
reference of tools/bodyfld_golden.py.  Run by hand; the output is committed.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bodyfld_golden import HERE, compute, cross, drift_lines, header, inc, read_fix  # noqa: E402

# Panels (body frame): four corners in order round the panel, and the
# direction their normal must take (towards the body, down on the free
# surface).
PANELS = [
    ([(2.0, -0.5, 0.0), (2.0, 0.5, 0.0), (2.0, 0.5, -1.0), (2.0, -0.5, -1.0)], (-1, 0, 0)),
    ([(-0.5, 2.0, 0.0), (1.0, 2.0, 0.0), (1.0, 2.0, -0.8), (-0.5, 2.0, -0.8)], (0, -1, 0)),
    ([(1.5, -0.5, 0.0), (2.0, -0.5, 0.0), (2.0, 0.5, 0.0), (1.5, 0.5, 0.0)], (0, 0, -1)),
    ([(1.5, -0.5, -1.0), (2.0, -0.5, -1.0), (2.0, 0.5, -1.0), (1.5, 0.5, -1.0)], (0, 0, 1)),
]


def sub(a, b):
    return [a[k] - b[k] for k in range(3)]


def oriented(v, want):
    """The corners ordered so that (P1+P2-P3-P4) x (P1+P4-P2-P3) points
    along `want`."""
    a = [v[0][k] + v[1][k] - v[2][k] - v[3][k] for k in range(3)]
    b = [v[0][k] + v[3][k] - v[1][k] - v[2][k] for k in range(3)]
    if sum(x * y for x, y in zip(cross(a, b), want)) < 0:
        v = [v[0], v[3], v[2], v[1]]
    return v


def points():
    """Free-surface, submerged and waterline points: (x, n, w)."""
    F, S, W = [], [], []
    for v, want in PANELS:
        c = [sum(p[k] for p in v) / 4 for k in range(3)]
        nn = cross(sub(v[2], v[0]), sub(v[3], v[1]))
        a = sum(x * x for x in nn) ** 0.5
        n = list(want)  # the panel normal (unit); the point takes -n
        out = [-x for x in n]
        if want[2] == -1:
            F.append((c, out, a / 2))
            continue
        S.append((c, out, a / 2))
        top = [p for p in v if p[2] == 0.0]
        if len(top) == 2:
            mid = [(top[0][k] + top[1][k]) / 2 for k in range(2)] + [0.0]
            L = ((top[0][0] - top[1][0]) ** 2 + (top[0][1] - top[1][1]) ** 2) ** 0.5
            W.append((mid, [out[0], out[1], 0.0], L))
    return F, S, W


def csdrift(F, R):
    nu, K, xb = F["nu"], F["k"], F["xbody"]
    Fp, Sp, Wp = points()
    out = []
    for j, b in enumerate(F["beta"]):
        def at(x):
            return inc(K, b, [x[0] + xb[0], x[1] + xb[1], x[2] + xb[2]])
        CSQF, CSQM, CSFZ, CSFZM, CSWF, CSWM = ([0j] * 3 for _ in range(6))
        for x, n, w in Sp:
            U = at(x)[1]
            V = [u.conjugate() for u in U]
            nV, nU, UV = (sum(n[k] * V[k] for k in range(3)), sum(n[k] * U[k] for k in range(3)),
                          sum(U[k] * V[k] for k in range(3)))
            T = [U[k] * nV + V[k] * nU - UV * n[k] for k in range(3)]
            M = cross(x, T)
            for k in range(3):
                CSQF[k] += w * T[k]
                CSQM[k] += w * M[k]
        for x, n, w in Fp:
            U = at(x)[1]
            P = -(abs(U[0]) ** 2 + abs(U[1]) ** 2 - abs(U[2]) ** 2) * n[2]
            CSFZ[2] += w * P
            CSFZM[0] += w * x[1] * P
            CSFZM[1] -= w * x[0] * P
        for x, n, w in Wp:
            E = abs(at(x)[0]) ** 2
            En = [E * c for c in n]
            M = cross(x, En)
            for k in range(3):
                CSWF[k] += w * En[k]
                CSWM[k] += w * M[k]
        p = R["drift"][j][2]
        DWLMH = [p["DWLMH"][0], p["DWLMH"][1], 0j]
        d1 = [0.25 * (p["HF"][k] + p["DWLZH"][k] - CSWF[k] - (CSQF[k] + CSFZ[k]) / nu) for k in range(3)]
        d1 += [0.25 * (p["HM"][k] + DWLMH[k] - CSWM[k] - (CSQM[k] + CSFZM[k]) / nu) for k in range(3)]
        d2 = [d1[3 + k] - 0.25 * (p["T"][k] + p["Tp"][k]) for k in range(3)]
        out.append((d1, d2))
    return out


def write(F, D):
    rep, num = drift_lines(F, D, "Control Surface")
    num = [header("bodyfld.9c")] + num
    csf = ["Control surface of the body and field example", "0", "0 0", str(len(PANELS))]
    for v, want in PANELS:
        csf.append("  ".join(" ".join(repr(c) for c in p) for p in oriented(v, want)))
    for name, lines in (("csfdrift.out", rep), ("bodyfld.9c", num), ("bodyfld.csf", csf)):
        with open(os.path.join(HERE, name), "w") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    F = read_fix(os.path.join(HERE, "bodyfld.fix"))
    write(F, csdrift(F, compute(F)))
