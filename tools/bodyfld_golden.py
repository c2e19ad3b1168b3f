#!/usr/bin/env python3
"""Reference report sections and numeric files of the body and field example.

Reads tests/force/golden/bodyfld.fix and writes beside it bodyfld.out (the
sections of the body pressure, body velocity, field pressure, field
velocity and pressure-integration drift), bodyfld.5p, bodyfld.5vx/5vy/5vz,
bodyfld.6, bodyfld.7x/7y/7z, bodyfld.9 and bodyfld.pnl.  The values are
computed in double precision from the fixture: totals as diffraction plus
motion-weighted radiation, the incident wave and its gradient written
directly as exponentials (infinite depth), and the drift sums of the
waterline segment and the panels term by term.  Run by hand; the output is
committed.
"""
import cmath
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from force_golden import fE, fI, nint, modpha  # noqa: E402

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "force", "golden")
DATE, TIME = "05-Mar-2024", "09:07:03"


def read_fix(path):
    rows = [l.split() for l in open(path).read().splitlines()[1:] if l.strip()]
    it = iter(rows)
    ne, nm, nb = map(int, next(it))
    per, nu, k = map(float, next(it))
    beta = list(map(float, next(it)))
    pan = []
    for _ in range(ne):
        a = list(map(float, next(it)))
        ax = list(map(float, next(it)))
        g = list(map(float, next(it)))
        pan.append(dict(c=a[0:3], n=a[3:6], area=a[6], e1=ax[0:3], e2=ax[3:6], u=g[0:4], v=g[4:8], L=g[8:12]))

    def cpl(vals):
        return [complex(vals[2 * i], vals[2 * i + 1]) for i in range(len(vals) // 2)]

    rad = [cpl(list(map(float, next(it)))) for _ in range(ne)]
    dif = [cpl(list(map(float, next(it)))) for _ in range(ne)]
    radvel = []
    for _ in range(ne):
        v = cpl(list(map(float, next(it))))
        radvel.append([[v[c * nm + m] for m in range(nm)] for c in range(3)])
    difvel = []
    for _ in range(ne):
        v = cpl(list(map(float, next(it))))
        difvel.append([[v[c * nb + j] for j in range(nb)] for c in range(3)])
    rao = [cpl(list(map(float, next(it)))) for _ in range(nm)]
    nf = int(next(it)[0])
    xf = [list(map(float, next(it))) for _ in range(nf)]
    nwl = int(next(it)[0])
    wl = [tuple(map(int, next(it))) for _ in range(nwl)]
    chyd = [list(map(float, next(it))) for _ in range(nm)]
    hyd = list(map(float, next(it)))
    xbody = list(map(float, next(it)))
    return dict(ne=ne, nm=nm, nb=nb, per=per, nu=nu, k=k, beta=beta, pan=pan, rad=rad, dif=dif, radvel=radvel,
                difvel=difvel, rao=rao, xf=xf, wl=wl, chyd=chyd, hyd=hyd, xbody=xbody)


def vn(p):
    c, n = p["c"], p["n"]
    return n + [c[1] * n[2] - c[2] * n[1], c[2] * n[0] - c[0] * n[2], c[0] * n[1] - c[1] * n[0]]


def inc(K, b, x):
    """Incident wave of unit amplitude and its gradient, infinite depth."""
    c, s = math.cos(math.radians(b)), math.sin(math.radians(b))
    P = cmath.exp(K * x[2]) * cmath.exp(-1j * K * (x[0] * c + x[1] * s))
    return P, [-1j * K * c * P, -1j * K * s * P, K * P]


def compute(F):
    ne, nm, nb, nu, K = F["ne"], F["nm"], F["nb"], F["nu"], F["k"]
    s = nu
    prad = [[s * F["rad"][i][q] for q in range(nm)] for i in range(ne)]
    ptot = [[F["dif"][i][j] + sum(F["rao"][q][j] * prad[i][q] for q in range(nm)) for j in range(nb)]
            for i in range(ne)]
    vrad = [[[s * F["radvel"][i][c][q] for q in range(nm)] for c in range(3)] for i in range(ne)]
    vdif = [[[F["difvel"][i][c][j] + inc(K, F["beta"][j], F["pan"][i]["c"])[1][c] for j in range(nb)]
             for c in range(3)] for i in range(ne)]
    vtot = [[[vdif[i][c][j] + sum(F["rao"][q][j] * vrad[i][c][q] for q in range(nm)) for j in range(nb)]
             for c in range(3)] for i in range(ne)]
    fld = [[inc(K, b, x) for b in F["beta"]] for x in F["xf"]]
    return dict(prad=prad, ptot=ptot, vrad=vrad, vdif=vdif, vtot=vtot, fld=fld, drift=drift(F, ptot, vtot))


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def drift(F, ptot, vtot):
    """Drift of the pairs (j, j): forces and moments (first set), the
    moments without the translation terms (second set), and the terms that
    the control-surface drift takes from the body (hydrostatic, translation
    and hull-waterline terms)."""
    nb, nu = F["nb"], F["nu"]
    xb, yb, zb = F["xbody"][0:3]
    C = F["chyd"]
    C33, C34, C35, C44, C45, C55 = C[2][2], C[2][3], C[2][4], C[3][3], C[3][4], C[4][4]
    H1, H2, H3, H41, H42 = F["hyd"]
    out = []
    for j in range(nb):
        A = [F["rao"][m][j] for m in range(6)]
        B = [F["rao"][m][j].conjugate() for m in range(6)]

        def disp(xi, x, y, z):
            return [xi[0] + z * xi[4] - y * xi[5], xi[1] + x * xi[5] - z * xi[3], xi[2] + y * xi[3] - x * xi[4]]

        DWLF, DWLM, DQVF, DQVM, DMTF, DMTM = ([0j] * 3 for _ in range(6))
        DWLZH, DWLMH = [0j] * 3, [0j] * 3  # hull waterline: z force; roll and pitch
        FA, FB, MA, MB = ([0j] * 3 for _ in range(4))
        for (ip, sd) in F["wl"]:
            p = F["pan"][ip - 1]
            s2 = sd % 4 + 1
            L = p["L"][sd - 1]
            u = 0.5 * (p["u"][sd - 1] + p["u"][s2 - 1])
            v = 0.5 * (p["v"][sd - 1] + p["v"][s2 - 1])
            X = p["c"][0] - xb + u * p["e1"][0] + v * p["e2"][0]
            Y = p["c"][1] - yb + u * p["e1"][1] + v * p["e2"][1]
            z = -zb
            n = vn(p)
            b4, b5, b6 = Y * n[2] - z * n[1], z * n[0] - X * n[2], X * n[1] - Y * n[0]
            c4, c5 = Y * n[2], -X * n[2]
            P1, P2c = ptot[ip - 1][j], ptot[ip - 1][j].conjugate()
            D1, D2 = disp(A, X, Y, z), disp(B, X, Y, z)
            dl = L / math.sqrt(1 - n[2] ** 2)
            Zt = (P1 - D1[2]) * (P2c - D2[2]) * dl
            Dp = D1[2] * D2[2] * dl
            E = Zt - Dp
            for k, val in enumerate([n[0] * E, n[1] * E, n[2] * Zt]):
                DWLF[k] += val
            for k, val in enumerate([b4 * E + c4 * Dp, b5 * E + c5 * Dp, b6 * E]):
                DWLM[k] += val
            Tw = (P1 * (n[0] * D2[0] + n[1] * D2[1]) + P2c * (n[0] * D1[0] + n[1] * D1[1])) * L
            DWLZH[2] += n[2] * Zt - Tw
            DWLMH[0] += c4 * Zt - Y * Tw
            DWLMH[1] += c5 * Zt + X * Tw
        for i, p in enumerate(F["pan"]):
            a = [x * p["area"] for x in vn(p)]
            V1 = [vtot[i][c][j] for c in range(3)]
            Q = sum(abs(x) ** 2 for x in V1)
            X, Y, z = p["c"][0] - xb, p["c"][1] - yb, p["c"][2] - zb
            D1, D2 = disp(A, X, Y, z), disp(B, X, Y, z)
            R = sum(D1[c] * V1[c].conjugate() + V1[c] * D2[c] for c in range(3))
            P1 = ptot[i][j]
            for k in range(3):
                DQVF[k] += Q * a[k]
                DQVM[k] += Q * a[k + 3]
                DMTF[k] += R * a[k]
                DMTM[k] += R * a[k + 3]
                FB[k] += a[k] * P1.conjugate()
                FA[k] += a[k] * P1
                MB[k] += a[k + 3] * P1.conjugate()
                MA[k] += a[k + 3] * P1

        def S(k, l):
            return A[k - 1] * B[l - 1] + A[l - 1] * B[k - 1]

        GB = [0j, 0j, -(C33 * B[2] + C34 * B[3] + C35 * B[4])]
        GA = [0j, 0j, -(C33 * A[2] + C34 * A[3] + C35 * A[4])]
        add = lambda u, v: [u[k] + v[k] for k in range(3)]  # noqa: E731
        RF = add(cross(A[3:6], FB), cross(B[3:6], FA))
        RM = add(cross(A[3:6], MB), cross(B[3:6], MA))
        T = add(cross(A[0:3], FB), cross(B[0:3], FA))
        Tp = add(cross(A[0:3], GB), cross(B[0:3], GA))
        HF = [0j, 0j, -(C34 * S(5, 6) - C35 * S(4, 6)) - 0.5 * H1 * (S(4, 4) + S(5, 5))]
        HM = [(C55 - C44) * S(5, 6) - C35 * (S(2, 5) - S(3, 6)) - C34 * S(2, 4) - C33 * S(2, 3) - H1 * S(3, 4)
              + 2 * C45 * S(4, 6) - H3 * (1.5 * S(4, 4) + 0.5 * S(5, 5)) - 0.5 * H42 * (S(4, 4) + S(6, 6))
              + (H2 + H41) * S(4, 5),
              (C55 - C44) * S(4, 6) - 2 * C45 * S(5, 6) + C33 * S(1, 3) + C34 * (S(1, 4) - S(3, 6)) + C35 * S(1, 5)
              - H1 * S(3, 5) - H3 * S(4, 5) + H2 * (0.5 * S(4, 4) + 1.5 * S(5, 5)) + 0.5 * H41 * (S(5, 5) + S(6, 6)),
              0j]
        d1 = [0.25 * (DWLF[k] + DMTF[k] + RF[k] + HF[k] - DQVF[k] / nu) for k in range(3)]
        d1 += [0.25 * (DWLM[k] + DMTM[k] + RM[k] + HM[k] - DQVM[k] / nu + T[k]) for k in range(3)]
        d2 = [d1[3 + k] - 0.25 * (T[k] + Tp[k]) for k in range(3)]
        out.append((d1, d2, dict(HF=HF, HM=HM, T=T, Tp=Tp, DWLZH=DWLZH, DWLMH=DWLMH)))
    return out


def pad20(s):
    return (s + " " * 20)[:20]


def header(name):
    return " ZORVA Numeric Output -- Filename  " + pad20(name) + "  " + DATE + "  " + TIME


def E6(v):
    return fE(v, 14, 6, 0)


def P6(v):
    return fE(v, 14, 6, 1)


def drift_lines(F, D, title):
    """Report section and numeric records of the drift D of the pairs (j, j)."""
    per = F["per"]
    rep = ["", "", " SURGE, SWAY, HEAVE, ROLL, PITCH & YAW DRIFT FORCES" + " (" + title + ")", ""]
    num = []
    for j, b in enumerate(F["beta"]):
        d1, d2 = D[j][0:2]
        rep += [" " + " Wave Heading (deg) :  " + fI(nint(b), 5) + " " * 5 + fI(nint(b), 5), ""]
        rep += [" " * 5 + "I      Mod[F(I)]    Pha[F(I)]      Mod[F(I)]    Pha[F(I)]", ""]
        for m in range(6):
            a = modpha(d1[m])
            num.append(E6(per) + E6(b) + E6(b) + fI(m + 1, 6) + "".join(P6(v) for v in a[0:4]))
            if m >= 3:
                c = modpha(d2[m - 3])
                rep.append(fI(m + 1, 6) + fE(a[0], 15, 5, 1) + fI(a[4], 13) + fE(c[0], 15, 5, 1) + fI(c[4], 13))
            else:
                rep.append(fI(m + 1, 6) + fE(a[0], 15, 5, 1) + fI(a[4], 13))
        for m in range(3):
            c = modpha(d2[m])
            num.append(E6(per) + E6(b) + E6(b) + fI(-(m + 4), 6) + "".join(P6(v) for v in c[0:4]))
        rep += ["", ""]
    return rep, num


def write(F, R):
    nm, nb, per = F["nm"], F["nb"], F["per"]
    rep = []
    files = {e: [header("bodyfld." + e)] for e in ["5p", "5vx", "5vy", "5vz", "6", "7x", "7y", "7z", "9"]}
    heading = lambda b: [" " + " Wave Heading (deg) :  " + fI(nint(b), 5), ""]  # noqa: E731

    # Body pressure at the panel centroids (one copy, no quadrant lines).
    rep += ["", "", " HYDRODYNAMIC PRESSURE AT CENTROIDS OF INPUT PANELS", ""]
    for j, b in enumerate(F["beta"]):
        rep += heading(b)
        rep += ["", "", " " + "      I       x           y           z     " + "       Mod[Pb(I)]   Pha[Pb(I)] ", ""]
        for i, p in enumerate(F["pan"]):
            m, ph, re, im, iph = modpha(R["ptot"][i][j])
            rep.append(fI(i + 1, 10) + "".join(fE(x, 12, 2, 1) for x in p["c"]) + " " * 5 + fE(m, 13, 5, 1) + fI(iph, 13))
            files["5p"].append(E6(per) + E6(b) + fI(1, 3) + fI(i + 1, 10) + "".join(P6(x) for x in (m, ph, re, im)))
        rep += ["", ""]

    # Body velocity at the panel centroids.
    rep += ["", "", " VELOCITY VECTOR AT CENTROIDS OF INPUT PANELS", ""]
    for j, b in enumerate(F["beta"]):
        rep += heading(b)
        rep += ["", "", "       I     x         y         z    " + " Mod[Vx(I)] Pha Mod[Vy(I)] Pha Mod[Vz(I)] Pha", ""]
        for i, p in enumerate(F["pan"]):
            line = fI(i + 1, 10) + "".join(fE(x, 10, 2, 0) for x in p["c"])
            for c, e in enumerate(["5vx", "5vy", "5vz"]):
                m, ph, re, im, iph = modpha(R["vtot"][i][c][j])
                line += fE(m, 10, 3, 0) + fI(iph, 5)
                files[e].append(E6(per) + E6(b) + fI(1, 3) + fI(i + 1, 10) + "".join(P6(x) for x in (m, ph, re, im)))
            rep.append(line)
        rep += ["", ""]
    rep += ["", ""]

    # Field pressure and velocity: the incident wave alone.
    rep += ["", "", " HYDRODYNAMIC PRESSURE IN FLUID DOMAIN", ""]
    for j, b in enumerate(F["beta"]):
        rep += heading(b)
        rep += [" " + "      x           y           z     " + "    Mod[Pf(x,y,z)]  Pha[Pf(x,y,z)]", ""]
        for n, x in enumerate(F["xf"]):
            m, ph, re, im, iph = modpha(R["fld"][n][j][0])
            rep.append("".join(fE(v, 12, 2, 1) for v in x) + "  " + fE(m, 17, 5, 1) + fI(iph, 16))
            files["6"].append(E6(per) + E6(b) + fI(n + 1, 10) + "".join(P6(v) for v in (m, ph, re, im)))
        rep += ["", ""]
    rep += ["", "", " VELOCITY VECTOR IN FLUID DOMAIN", ""]
    for j, b in enumerate(F["beta"]):
        rep += heading(b)
        rep += ["     x         y         z    " + " " + "    Mod(Vx)  Pha    Mod(Vy)  Pha    Mod(Vz)  Pha", ""]
        for n, x in enumerate(F["xf"]):
            line = "".join(fE(v, 10, 2, 1) for v in x) + " "
            for c, e in enumerate(["7x", "7y", "7z"]):
                m, ph, re, im, iph = modpha(R["fld"][n][j][1][c])
                line += fE(m, 11, 3, 1) + fI(iph, 5)
                files[e].append(E6(per) + E6(b) + fI(n + 1, 10) + "".join(P6(v) for v in (m, ph, re, im)))
            rep.append(line)
        rep += ["", ""]

    # Pressure-integration drift, pairs (j, j).
    r, files["9"][1:] = drift_lines(F, R["drift"], "Pressure Integration")
    rep += r

    # Panel listing.
    pnl = [header("bodyfld.pnl")]
    for i, p in enumerate(F["pan"]):
        vals = p["c"] + [p["area"]] + vn(p)
        pnl.append(fI(1, 4) + fI(i + 1, 6) + "".join(fE(v, 13, 5, 1) for v in vals))

    def save(name, lines):
        with open(os.path.join(HERE, name), "w") as f:
            f.write("\n".join(lines) + "\n")

    save("bodyfld.out", rep)
    for e, lines in files.items():
        save("bodyfld." + e, lines)
    save("bodyfld.pnl", pnl)


if __name__ == "__main__":
    F = read_fix(os.path.join(HERE, "bodyfld.fix"))
    write(F, compute(F))
