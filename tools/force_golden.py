#!/usr/bin/env python3
"""Reference report sections and numeric files of the tiny FORCE example.

Reads tests/force/golden/tiny.fix and writes tiny.out, tiny.1, tiny.2,
tiny.3, tiny.4 and tiny.8 beside it: added mass and damping, exciting forces
by the Haskind relations and by pressure integration, motions from the
Haskind forces and the momentum drift (one heading at a time), computed in
double precision from closed forms (the plane wave and its derivatives
written directly as exponentials, the angular mean by a dense trapezoidal
rule) and laid out with a formatter of its own.  Run by hand; the output is
committed.
"""
import cmath
import math
import os
import sys

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "force", "golden")
DATE, TIME = "05-Mar-2024", "09:07:03"


def read_fix(path):
    lines = [l.split() for l in open(path).read().splitlines()[1:] if l.strip()]
    it = iter(lines)
    neqn, nm, nb = map(int, next(it))
    per, nu, k = map(float, next(it))
    beta = list(map(float, next(it)))
    pan = [list(map(float, next(it))) for _ in range(neqn)]
    rad = []
    for _ in range(neqn):
        v = list(map(float, next(it)))
        rad.append([complex(v[2 * m], v[2 * m + 1]) for m in range(nm)])
    dif = []
    for _ in range(neqn):
        v = list(map(float, next(it)))
        dif.append([complex(v[2 * j], v[2 * j + 1]) for j in range(nb)])
    chyd = [list(map(float, next(it))) for _ in range(nm)]
    mass = [list(map(float, next(it))) for _ in range(nm)]
    return dict(neqn=neqn, nm=nm, nb=nb, per=per, nu=nu, k=k, beta=beta, pan=pan, rad=rad, dif=dif,
                chyd=chyd, mass=mass)


# --- Fortran-style fields -------------------------------------------------
def fE(v, w, d, p):
    """Ew.d with scale factor p (0 or 1)."""
    if v == 0.0:
        s = "0." + "0" * d + "E+00"
    else:
        nsig = d if p == 0 else d + 1
        t = "%.*e" % (nsig - 1, abs(v))
        mant, ex = t.split("e")
        ex = int(ex)
        digits = mant.replace(".", "")
        if p == 0:
            s = "0." + digits
            ex += 1
        else:
            s = digits[0] + "." + digits[1:]
        s += "E%+03d" % ex
        if v < 0:
            s = "-" + s
    if len(s) > w:
        return "*" * w
    return s.rjust(w)


def fI(v, w):
    s = str(v)
    return s.rjust(w) if len(s) <= w else "*" * w


def nint(x):
    return int(math.floor(x + 0.5)) if x >= 0 else -int(math.floor(-x + 0.5))


def modpha(z):
    mod = abs(z)
    if abs(z.real) < 5e-12:
        ph = 90.0 if z.imag >= 0 else -90.0
    else:
        ph = math.degrees(math.atan2(z.imag, z.real))
    iph = int(ph + 0.5) if ph >= 0 else -int(-ph + 0.5)
    return mod, ph, z.real, z.imag, iph


# --- the computations ---------------------------------------------------
def vnmode(p):
    c, n = p[0:3], p[3:6]
    rxn = [c[1] * n[2] - c[2] * n[1], c[2] * n[0] - c[0] * n[2], c[0] * n[1] - c[1] * n[0]]
    return n + rxn


def wave(K, th, x, n):
    """Plane wave, its normal derivative, its heading derivative and the
    normal derivative of that, infinite depth."""
    c, s = math.cos(th), math.sin(th)
    P = cmath.exp(K * x[2]) * cmath.exp(-1j * K * (x[0] * c + x[1] * s))
    D = (-1j * K * (c * n[0] + s * n[1]) + K * n[2]) * P
    L = 1j * K * (x[0] * s - x[1] * c)
    R = L * P
    S = 1j * K * (n[0] * s - n[1] * c) * P + L * D
    return P, D, R, S


def solve(A, b):
    n = len(b)
    M = [row[:] + [b[i]] for i, row in enumerate(A)]
    for c in range(n):
        piv = max(range(c, n), key=lambda r: abs(M[r][c]))
        M[c], M[piv] = M[piv], M[c]
        for r in range(c + 1, n):
            f = M[r][c] / M[c][c]
            for k in range(c, n + 1):
                M[r][k] -= f * M[c][k]
    x = [0j] * n
    for r in range(n - 1, -1, -1):
        x[r] = (M[r][n] - sum(M[r][k] * x[k] for k in range(r + 1, n))) / M[r][r]
    return x


def compute(F):
    nm, nb, K, nu = F["nm"], F["nb"], F["k"], F["nu"]
    pans = F["pan"]
    vn = [vnmode(p) for p in pans]
    A = [[sum(p[6] * vn[i][r] * F["rad"][i][q].real for i, p in enumerate(pans)) for q in range(nm)] for r in range(nm)]
    B = [[-sum(p[6] * vn[i][r] * F["rad"][i][q].imag for i, p in enumerate(pans)) for q in range(nm)] for r in range(nm)]
    betas = [math.radians(b) for b in F["beta"]]

    def kochin(th):
        kr1, kr2 = [0j] * nm, [0j] * nm
        kd1, kd2 = [0j] * nb, [0j] * nb
        for i, p in enumerate(pans):
            P, D, R, S = wave(K, th, p[0:3], p[3:6])
            w = p[6]
            for m in range(nm):
                kr1[m] += w * (P * vn[i][m] - D * F["rad"][i][m])
                kr2[m] += w * (R * vn[i][m] - S * F["rad"][i][m])
            for j in range(nb):
                kd1[j] -= w * D * F["dif"][i][j]
                kd2[j] -= w * S * F["dif"][i][j]
        return kr1, kr2, kd1, kd2

    FEXH = [[kochin(betas[j])[0][m] for j in range(nb)] for m in range(nm)]
    FEXD = [[sum(p[6] * F["dif"][i][j] * vn[i][m] for i, p in enumerate(pans)) for j in range(nb)] for m in range(nm)]
    w1 = F["per"] / (2 * math.pi)
    Z = [[complex(-nu * (A[r][s] + F["mass"][s][r]) + F["chyd"][r][s], nu * B[r][s]) for s in range(nm)]
         for r in range(nm)]
    RAO = [[0j] * nb for _ in range(nm)]
    for j in range(nb):
        x = solve(Z, [FEXH[m][j] for m in range(nm)])
        for m in range(nm):
            RAO[m][j] = x[m]

    def totals(th):
        kr1, kr2, kd1, kd2 = kochin(th)
        t1 = [kd1[j] + sum(nu * RAO[m][j] * kr1[m] for m in range(nm)) for j in range(nb)]
        t2 = [kd2[j] + sum(nu * RAO[m][j] * kr2[m] for m in range(nm)) for j in range(nb)]
        return t1, t2

    NA = 512
    DS = [[0j] * 3 for _ in range(nb)]
    for a in range(NA):
        th = 2 * math.pi * a / NA
        t1, t2 = totals(th)
        for j in range(nb):
            DS[j][0] += math.cos(th) * t1[j] * t1[j].conjugate() / NA
            DS[j][1] += math.sin(th) * t1[j] * t1[j].conjugate() / NA
            DS[j][2] += (t2[j] * t1[j].conjugate() - t1[j] * t2[j].conjugate()) / NA
    c0, c1, cM, cF = 0.25, 0.25 / nu, 0.125, 0.25 * nu
    DRIFT = []
    for j in range(nb):
        d = [cF * DS[j][0], cF * DS[j][1], -1j * cM * DS[j][2]]
        t1, t2 = totals(betas[j] + math.pi)
        c, s = math.cos(betas[j]), math.sin(betas[j])
        d[0] += -2 * c0 * c * t1[j].imag
        d[1] += -2 * c0 * s * t1[j].imag
        d[2] -= 2 * c1 * t2[j].real
        DRIFT.append(d)
    return A, B, FEXH, FEXD, RAO, DRIFT


def main():
    F = read_fix(os.path.join(HERE, "tiny.fix"))
    A, B, FEXH, FEXD, RAO, DRIFT = compute(F)
    nm, nb, per = F["nm"], F["nb"], F["per"]
    out = {}

    def hdr(name):
        return [" ZORVA Numeric Output -- Filename  " + name.ljust(20) + "  " + DATE + "  " + TIME]

    rep = [" " + "*" * 72, "", " Wave period (sec) = " + fE(per, 13, 6, 1) + " " * 8 + "Wavenumber (kL) = " + fE(F["k"], 13, 6, 1)]
    rep += [" " + "-" * 72]
    rep += ["", "", "    ADDED-MASS AND DAMPING COEFFICIENTS", "     I     J         A(I,J)         B(I,J)", ""]
    num = hdr("tiny.1")
    for i in range(nm):
        for j in range(nm):
            rep.append(fI(i + 1, 6) + fI(j + 1, 6) + fE(A[i][j], 15, 6, 1) + fE(B[i][j], 15, 6, 1))
            num.append(fE(per, 14, 6, 0) + fI(i + 1, 6) + fI(j + 1, 6) + fE(A[i][j], 14, 6, 1) + fE(B[i][j], 14, 6, 1))
    rep += ["", ""]
    out["tiny.1"] = num

    def cplx_section(title, X, name, cols, w):
        lines = ["", "", title, ""]
        num = hdr(name)
        for j in range(nb):
            lines += [" " + " Wave Heading (deg) :  " + fI(nint(F["beta"][j]), 5), "", cols, ""]
            for m in range(nm):
                mod, ph, xr, xi, iph = modpha(X[m][j])
                lines.append(fI(m + 1, 6) + fE(mod, 15, w, 1) + fI(iph, 15))
                num.append(fE(per, 14, 6, 0) + fE(F["beta"][j], 14, 6, 0) + fI(m + 1, 6) +
                           "".join(fE(v, 14, 6, 1) for v in (mod, ph, xr, xi)))
            lines += ["", ""]
        out[name] = num
        return lines

    xh = "     I     Mod[Xh(I)]     Pha[Xh(I)]"
    rep += cplx_section("    HASKIND EXCITING FORCES AND MOMENTS", FEXH, "tiny.2", xh, 6)
    rep += cplx_section("    DIFFRACTION EXCITING FORCES AND MOMENTS", FEXD, "tiny.3", xh, 6)
    rep += cplx_section("    RESPONSE AMPLITUDE OPERATORS", RAO, "tiny.4", "     I    Mod[RAO(I)]    Pha[RAO(I)]", 5)

    rep += ["", "", " SURGE, SWAY & YAW DRIFT FORCES (Momentum Conservation)", ""]
    num = hdr("tiny.8")
    for j in range(nb):
        b = nint(F["beta"][j])
        rep += [" " + " Wave Heading (deg) :  " + fI(b, 5) + " " * 5 + fI(b, 5), "",
                "     I      Mod[F(I)]    Pha[F(I)]", ""]
        for k, lab in enumerate((1, 2, 6)):
            mod, ph, xr, xi, iph = modpha(DRIFT[j][k])
            rep.append(fI(lab, 6) + fE(mod, 15, 5, 1) + fI(iph, 13))
            num.append(fE(per, 14, 6, 0) + fE(F["beta"][j], 14, 6, 0) + fE(F["beta"][j], 14, 6, 0) + fI(lab, 6) +
                       "".join(fE(v, 14, 6, 1) for v in (mod, ph, xr, xi)))
        rep += ["", ""]
    out["tiny.8"] = num
    out["tiny.out"] = rep
    for name, lines in out.items():
        with open(os.path.join(HERE, name), "w") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    sys.exit(main())
