#!/usr/bin/env python3
"""Writes the example inputs in examples/: geometry files (.gdf), potential
control files (.pot), configuration files, force control files (.frc) and
the file lists fnames.zrv.

Run from the top of the source tree:  python3 tools/mkexamples.py
The output is committed; run it again only when the examples change.

Panels follow the convention of the geometry files: the vertices of a
panel run clockwise seen from inside the body (counter-clockwise seen from
the fluid), so the normal (P1+P2-P3-P4) x (P1+P4-P2-P3) points into the
body.  A waterline panel starts with its two vertices in the free surface,
so that its side 1 is the waterline side.
"""
import math
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")
GRAV = 9.80665


def sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def add(*v):
    return [sum(x[i] for x in v) for i in range(3)]


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def dot(a, b):
    return sum(a[i] * b[i] for i in range(3))


def orient(quad, inward):
    """Vertex order with the normal along `inward`; a waterline panel is
    turned so that its first two vertices lie in z = 0."""
    p1, p2, p3, p4 = quad
    a = sub(add(p1, p2), add(p3, p4))
    b = sub(add(p1, p4), add(p2, p3))
    if dot(cross(a, b), inward) < 0:
        quad = [quad[0], quad[3], quad[2], quad[1]]
    for r in range(4):
        q = quad[r:] + quad[:r]
        if abs(q[0][2]) < 1e-12 and abs(q[1][2]) < 1e-12 and q[0] != q[1]:
            return q
    return quad


def box_panels(x0, x1, y0, y1, depth, h, sym_x=False, sym_y=False):
    """Panels of side h on the wetted faces of the box [x0,x1]x[y0,y1]x[-depth,0];
    faces in a symmetry plane (x = 0 with sym_x, y = 0 with sym_y) are left out."""
    nx, ny, nz = round((x1 - x0) / h), round((y1 - y0) / h), round(depth / h)
    xs = [x0 + i * h for i in range(nx + 1)]
    ys = [y0 + j * h for j in range(ny + 1)]
    zs = [-depth + k * h for k in range(nz + 1)]
    pans = []
    for i in range(nx):  # bottom
        for j in range(ny):
            q = [[xs[i], ys[j], -depth], [xs[i], ys[j + 1], -depth], [xs[i + 1], ys[j + 1], -depth],
                 [xs[i + 1], ys[j], -depth]]
            pans.append(orient(q, [0, 0, 1]))
    for y, inw, skip in ((y1, -1, False), (y0, 1, sym_y)):  # sides y = const
        if skip:
            continue
        for i in range(nx):
            for k in range(nz):
                q = [[xs[i], y, zs[k]], [xs[i + 1], y, zs[k]], [xs[i + 1], y, zs[k + 1]], [xs[i], y, zs[k + 1]]]
                pans.append(orient(q, [0, inw, 0]))
    for x, inw, skip in ((x1, -1, False), (x0, 1, sym_x)):  # ends x = const
        if skip:
            continue
        for j in range(ny):
            for k in range(nz):
                q = [[x, ys[j], zs[k]], [x, ys[j + 1], zs[k]], [x, ys[j + 1], zs[k + 1]], [x, ys[j], zs[k + 1]]]
                pans.append(orient(q, [inw, 0, 0]))
    return pans


def hemisphere_panels(radius, nazi, npol, quarter=False):
    """Faceted hemisphere: nazi panels round, npol down to the pole, where
    the panels are triangles (a repeated vertex).  With quarter only the
    nazi / 4 sectors of x >= 0, y >= 0."""
    def pt(i, j):
        phi = (math.pi / 2) * j / npol
        a = 2 * math.pi * i / nazi
        r = radius * math.cos(phi)
        z = 0.0 if j == 0 else -radius * math.sin(phi)
        if j == npol:
            return [0.0, 0.0, -radius]
        return [r * math.cos(a), r * math.sin(a), z]
    pans = []
    for j in range(npol):
        for i in range(nazi // 4 if quarter else nazi):
            q = [pt(i, j), pt(i + 1, j), pt(i + 1, j + 1), pt(i, j + 1)]
            c = [sum(v[k] for v in q) / 4 for k in range(3)]
            if j == npol - 1:  # triangle: the two pole vertices are one
                q = [pt(i, j), pt(i + 1, j), pt(i, j + 1), pt(i, j + 1)]
            pans.append(orient(q, [-c[0], -c[1], -c[2]]))
    return pans


def fmtnum(v):
    s = "%.6f" % v
    return "0.000000" if s == "-0.000000" else s


def write(path, lines):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def gdf(path, title, isx, isy, pans):
    lines = [title, "  1.0  %.5f      ULEN GRAV" % GRAV, "  %d  %d      ISX  ISY" % (isx, isy),
             "  %d      NPAN" % len(pans)]
    for q in pans:
        lines.append(" ".join("%10s" % fmtnum(c) for v in q for c in v))
    write(path, lines)


def pot(path, title, hbot, isor=0, periods=(4.0, 6.0, 8.0)):
    write(path, [
        title,
        " %d                   ISOR" % isor,
        " 0                   IRR",
        " %.1f  0. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY" % hbot,
        " 0  0  0             IQUAD ILOG IDIAG",
        " 1  1                IRAD IDIFF",
        " 1  1  1  1  1  1    MODE",
        " %d                   NPER" % len(periods),
        (" " + "  ".join("%g." % p if p == int(p) else "%g" % p for p in periods)).ljust(21) + "PER (s)",
        " 2                   NBETA",
        " 0.  45.             BETA (degrees)",
    ])


def cfg(path, what, more=(), detail=""):
    write(path, ["Configuration of the %s example%s; lines without an equals sign are comments." % (what, detail),
                 "Low-order method, both stages.", "ILOWHI=0", "IPOTEN=1", "IFORCE=1"] + list(more))


# Wave numbers K a = 0.1 .. 6.0 of the hemisphere pair.
KA = [0.1 * i for i in range(1, 61)]


def pot_ka(path, title, irr):
    """Potential control file of the hemisphere pair: infinite depth, the
    wave numbers KA (IPERIO = 3 in the configuration), head seas only."""
    lines = [title, " 0                   ISOR", " %d                   IRR" % irr,
             " 0.0  0. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY",
             " 0  %d  0             IQUAD ILOG IDIAG" % (1 if irr > 0 else 0),
             " 1  1                IRAD IDIFF", " 1  1  1  1  1  1    MODE", " %d                  NPER" % len(KA)]
    for i in range(0, len(KA), 10):
        lines.append(" " + " ".join("%.1f" % k for k in KA[i:i + 10]))
    lines += [" 1                   NBETA", " 0.                  BETA (degrees)"]
    write(path, lines)


def frc(path, title, nbody, zcg, radii, ioptn="1  1  1  1  0  0  0  0  0"):
    lines = [title, " %s    IOPTN(1..9)" % ioptn]
    for _ in range(nbody):
        lines.append(" %.2f                        ZCG" % zcg)
        lines.append(" %.2f 0. 0.  0. %.2f 0.  0. 0. %.2f    XPRDCT" % radii)
    lines += [" 0                            NBETAH", " 0                            NFIELD"]
    write(path, lines)


def bilin(q, u, v):
    """Point (u, v) of the bilinear map of a control-surface patch: vertex
    1 at (u, v) = (1, -1), 2 at (-1, -1), 3 at (-1, 1), 4 at (1, 1)."""
    return [((q[0][k] * (1 + u) + q[1][k] * (1 - u)) * (1 - v) + (q[2][k] * (1 - u) + q[3][k] * (1 + u)) * (1 + v))
            / 4 for k in range(3)]


def csf_box_patches(a, b, depth, x0, y0):
    """Control surface round a body whose waterline is the rectangle
    |x| <= x0, |y| <= y0: the walls and bottom of the box |x| <= a,
    |y| <= b, -depth <= z <= 0, and four pieces of free surface between the
    two rectangles; normals towards the body (down on the free surface)."""
    d = -depth
    P = [[a, -b], [a, b], [-a, b], [-a, -b]]          # outer corners, counter-clockwise
    Q = [[x0, -y0], [x0, y0], [-x0, y0], [-x0, -y0]]  # inner corners
    out = []
    for k in range(4):
        p, q = P[k], P[(k + 1) % 4]
        mid = [(p[0] + q[0]) / 2, (p[1] + q[1]) / 2]
        out.append(orient([[p[0], p[1], 0.0], [q[0], q[1], 0.0], [q[0], q[1], d], [p[0], p[1], d]],
                          [-mid[0], -mid[1], 0.0]))
    out.append(orient([[a, -b, d], [a, b, d], [-a, b, d], [-a, -b, d]], [0.0, 0.0, 1.0]))
    for k in range(4):
        p, q, r, t = P[k], P[(k + 1) % 4], Q[(k + 1) % 4], Q[k]
        out.append(orient([[p[0], p[1], 0.0], [q[0], q[1], 0.0], [r[0], r[1], 0.0], [t[0], t[1], 0.0]],
                          [0.0, 0.0, -1.0]))
    return out


def csf_head(title, kind):
    return [title, " %d                   ILOWHICSF" % kind, " 0  0                ISCSF(1:2)"]


def csf_flat(path, title, patches, psz):
    lines = csf_head(title, 1) + [" %d  0  %.2f          NPATCSF ICDEF PSZCSF" % (len(patches), psz)]
    for q in patches:
        lines.append(" ".join("%10s" % fmtnum(c) for v in q for c in v))
    write(path, lines)


def csf_panels(path, title, patches, n):
    """Each patch as n x n low-order panels, oriented as the patch."""
    lines = csf_head(title, 0) + [" %d                  NPAN" % (n * n * len(patches))]
    for q in patches:
        for j in range(n):
            for i in range(n):
                g = lambda a, b: bilin(q, -1 + 2.0 * a / n, -1 + 2.0 * b / n)  # noqa: E731
                lines.append(" ".join("%10s" % fmtnum(c) for v in [g(i + 1, j), g(i, j), g(i, j + 1), g(i + 1, j + 1)]
                                      for c in v))
    write(path, lines)


def csf_bspline(path, title, patches, psz):
    """Each patch as a B-spline patch: order 2 over two intervals in u,
    order 3 over one interval in v, control points at the Greville points
    of the bilinear map (which the splines then reproduce)."""
    lines = csf_head(title, 1) + [" %d  1  %.2f          NPATCSF ICDEF PSZCSF" % (len(patches), psz)]
    for q in patches:
        lines += [" 2  1                NU NV", " 2  3                KU KV", " 0. 0. 0.5 1. 1.", " 0. 0. 0. 1. 1. 1."]
        for v in (-1, 0, 1):
            for u in (-1, 0, 1):
                lines.append(" ".join("%10s" % fmtnum(c) for c in bilin(q, u, v)))
    write(path, lines)


def csf_cylinder(path, title, radius, depth, nazi, nwall, nbot, rin, nfs):
    """Faceted vertical cylinder as low-order panels: nazi facets (vertices
    at the hemisphere's waterline angles), nwall panels down the wall, nbot
    rings on the bottom, nfs rings of free surface from radius rin out."""
    def at(r, i, z):
        a = 2 * math.pi * i / nazi
        return [r * math.cos(a), r * math.sin(a), z]
    pans = []
    for i in range(nazi):
        c = at(radius, i + 0.5, 0.0)
        for k in range(nwall):
            z0, z1 = -depth * k / nwall, -depth * (k + 1) / nwall
            pans.append(orient([at(radius, i, z0), at(radius, i + 1, z0), at(radius, i + 1, z1), at(radius, i, z1)],
                               [-c[0], -c[1], 0.0]))
        for k in range(nbot):
            r0, r1 = radius * k / nbot, radius * (k + 1) / nbot
            pans.append(orient([at(r0, i, -depth), at(r1, i, -depth), at(r1, i + 1, -depth), at(r0, i + 1, -depth)],
                               [0.0, 0.0, 1.0]))
        for k in range(nfs):
            r0, r1 = rin + (radius - rin) * k / nfs, rin + (radius - rin) * (k + 1) / nfs
            pans.append(orient([at(r0, i, 0.0), at(r1, i, 0.0), at(r1, i + 1, 0.0), at(r0, i + 1, 0.0)],
                               [0.0, 0.0, -1.0]))
    lines = csf_head(title, 0) + [" %d                  NPAN" % len(pans)]
    for q in pans:
        lines.append(" ".join("%10s" % fmtnum(c) for v in q for c in v))
    write(path, lines)


def fnames(path, names):
    write(path, names)


def box_faces():
    """The five wetted faces of the box 2 x 1 x 0.5 as one flat patch each,
    vertices in the panel convention (normal into the body)."""
    return [
        orient(q, inw) for q, inw in (
            ([[-1, -0.5, -0.5], [-1, 0.5, -0.5], [1, 0.5, -0.5], [1, -0.5, -0.5]], [0, 0, 1]),
            ([[-1, 0.5, -0.5], [1, 0.5, -0.5], [1, 0.5, 0], [-1, 0.5, 0]], [0, -1, 0]),
            ([[-1, -0.5, -0.5], [1, -0.5, -0.5], [1, -0.5, 0], [-1, -0.5, 0]], [0, 1, 0]),
            ([[1, -0.5, -0.5], [1, 0.5, -0.5], [1, 0.5, 0], [1, -0.5, 0]], [-1, 0, 0]),
            ([[-1, -0.5, -0.5], [-1, 0.5, -0.5], [-1, 0.5, 0], [-1, -0.5, 0]], [1, 0, 0]))]


def hogdf(path, title, isx, isy, npatch, igdef, body):
    lines = [title, "  1.0  %.5f      ULEN GRAV" % GRAV, "  %d  %d      ISX  ISY" % (isx, isy),
             "  %d  %d      NPATCH IGDEF" % (npatch, igdef)]
    write(path, lines + body)


def spl(path, title, counts, outer=2):
    """Spline control file: per patch NU NV, KU KV, IQUO IQVO, IQUI IQVI.
    The outer (test) points of a patch must be at least as many as its test
    functions in each direction: with one span of order 3, three."""
    lines = [title]
    for nu, nv in counts:
        lines += ["  %d  %d      NU NV" % (nu, nv), "  3  3      KU KV", "  %d  %d      IQUO IQVO" % (outer, outer),
                  "  4  4      IQUI IQVI"]
    write(path, lines)


def hocfg(path, what, direct=False):
    """direct: the direct solver (the iterative one needs more than MAXITT
    iterations on the box, whose edges the splines resolve slowly)."""
    write(path, ["Configuration of the %s example; lines without an equals sign are comments." % what,
                 "Higher-order method, both stages.", "ILOWHI=1", "IPOTEN=1", "IFORCE=1"] +
          (["ISOLVE=1"] if direct else []))


def main():
    box = box_panels(-1.0, 1.0, -0.5, 0.5, 0.5, 0.25)
    assert len(box) == 80
    d = os.path.join(ROOT, "box")
    gdf(os.path.join(d, "box.gdf"), "Box 2 x 1 x 0.5, panels 0.25", 0, 0, box)
    pot(os.path.join(d, "box.pot"), "Box 2 x 1 x 0.5, infinite depth", 0.0)
    cfg(os.path.join(d, "box.cfg"), "box")
    frc(os.path.join(d, "box.frc"), "Box 2 x 1 x 0.5: added mass, damping, exciting forces, motions", 1, 0.0,
        (0.35, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), ["box.cfg", "box.pot", "box.gdf", "box.frc"])

    quarter = box_panels(0.0, 1.0, 0.0, 0.5, 0.5, 0.25, sym_x=True, sym_y=True)
    assert len(quarter) == 20
    d = os.path.join(ROOT, "boxquarter")
    gdf(os.path.join(d, "boxq.gdf"), "Box 2 x 1 x 0.5, quarter with ISX = ISY = 1", 1, 1, quarter)
    pot(os.path.join(d, "boxq.pot"), "Box 2 x 1 x 0.5 (quarter), infinite depth", 0.0)
    cfg(os.path.join(d, "boxq.cfg"), "quarter box")
    frc(os.path.join(d, "boxq.frc"), "Box 2 x 1 x 0.5 (quarter): added mass, damping, exciting forces, motions",
        1, 0.0, (0.35, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), ["boxq.cfg", "boxq.pot", "boxq.gdf", "boxq.frc"])

    d = os.path.join(ROOT, "twoboxes")
    gdf(os.path.join(d, "box.gdf"), "Box 2 x 1 x 0.5, panels 0.25", 0, 0, box)
    write(os.path.join(d, "twoboxes.gdf"), [
        "Two boxes 2 x 1 x 0.5 at x = -2.5 and x = +2.5",
        " 0.                  (0: a global geometry file)",
        " 2                   NBODY",
        "box.gdf",
        " -2.5  0.  0.  0.    XBODY YBODY ZBODY PHIBODY",
        " 1  1  1  1  1  1    MODE",
        "box.gdf",
        "  2.5  0.  0.  0.    XBODY YBODY ZBODY PHIBODY",
        " 1  1  1  1  1  1    MODE",
    ])
    pot(os.path.join(d, "twoboxes.pot"), "Two boxes 2 x 1 x 0.5, infinite depth", 0.0)
    cfg(os.path.join(d, "twoboxes.cfg"), "two-box")
    frc(os.path.join(d, "twoboxes.frc"), "Two boxes: added mass, damping, exciting forces, motions", 2, 0.0,
        (0.35, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), ["twoboxes.cfg", "twoboxes.pot", "twoboxes.gdf", "twoboxes.frc"])

    hemi = hemisphere_panels(1.0, 16, 4)
    assert len(hemi) == 64
    d = os.path.join(ROOT, "hemisphere")
    gdf(os.path.join(d, "hemi.gdf"), "Hemisphere radius 1, 16 x 4 panels, triangles at the pole", 0, 0, hemi)
    pot(os.path.join(d, "hemi.pot"), "Hemisphere radius 1, water depth 5", 5.0)
    cfg(os.path.join(d, "hemi.cfg"), "hemisphere")
    frc(os.path.join(d, "hemi.frc"), "Hemisphere radius 1: added mass, damping, exciting forces, motions", 1,
        0.0, (0.5, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), ["hemi.cfg", "hemi.pot", "hemi.gdf", "hemi.frc"])

    # Drift forces through control surfaces (source method, option 9 with
    # ICTRSURF = 1 beside momentum conservation, option 8).
    drift = ("Control surfaces: the drift through them (optn.9c) beside pressure integration and momentum.",
             "ICTRSURF=1")
    hemi = hemisphere_panels(1.0, 32, 8)
    d = os.path.join(ROOT, "hemicsf")
    gdf(os.path.join(d, "hemi.gdf"), "Hemisphere radius 1, 32 x 8 panels, triangles at the pole", 0, 0, hemi)
    pot(os.path.join(d, "hemi.pot"), "Hemisphere radius 1, water depth 5, source method", 5.0, isor=1,
        periods=(2.0, 2.5, 3.0))
    cfg(os.path.join(d, "hemi.cfg"), "hemisphere with a control surface", drift)
    frc(os.path.join(d, "hemi.frc"), "Hemisphere radius 1, held: added mass, damping and drift forces", 1, -0.5,
        (0.6, 0.6, 0.6), "1  0  0  0  0  0  0  1  1")
    csf_cylinder(os.path.join(d, "hemi.csf"), "Cylinder radius 2, depth 2, round the hemisphere", 2.0, 2.0, 32, 8, 8,
                 1.0, 4)
    fnames(os.path.join(d, "fnames.zrv"), ["hemi.cfg", "hemi.pot", "hemi.gdf", "hemi.frc"])

    d = os.path.join(ROOT, "boxcsf")
    gdf(os.path.join(d, "box.gdf"), "Box 2 x 1 x 0.5, panels 0.25", 0, 0, box)
    pot(os.path.join(d, "box.pot"), "Box 2 x 1 x 0.5, infinite depth, source method", 0.0, isor=1,
        periods=(2.0, 2.5, 3.0))
    cfg(os.path.join(d, "box.cfg"), "box with a control surface", drift)
    frc(os.path.join(d, "box.frc"), "Box 2 x 1 x 0.5: motions and drift forces", 1, 0.0, (0.35, 0.5, 0.5),
        "0  0  0  1  0  0  0  1  1")
    cs = csf_box_patches(2.0, 1.5, 1.5, 1.0, 0.5)
    csf_flat(os.path.join(d, "box.csf"), "Box 4 x 3 x 1.5 round the box, flat patches", cs, 0.5)
    csf_panels(os.path.join(d, "kinds", "panels.csf"), "Box 4 x 3 x 1.5 round the box, low-order panels", cs, 8)
    csf_bspline(os.path.join(d, "kinds", "bspline.csf"), "Box 4 x 3 x 1.5 round the box, B-spline patches", cs, 0.5)
    write(os.path.join(d, "kinds", "user.csf"), csf_head("Box 4 x 3 x 1.5 round the box, walls and bottom from the "
                                                         "user routine", 1) + [
        " 5  7  0.5           NPATCSF ICDEF PSZCSF", " 1                   NLINES", "BOX 2.0 1.5 1.5"])
    fnames(os.path.join(d, "fnames.zrv"), ["box.cfg", "box.pot", "box.gdf", "box.frc"])
    # The pair for the irregular frequencies: 1008 panels (the quarter given,
    # 9 round by 28 down), K a from 0.1 to 6, without and with the interior
    # free surface.
    hq = hemisphere_panels(1.0, 36, 28, quarter=True)
    assert len(hq) == 252
    for irr in (0, 3):
        name = "hemisphere_irr%d" % irr
        d = os.path.join(ROOT, name)
        gdf(os.path.join(d, "hemiq.gdf"), "Hemisphere radius 1, quarter of 36 x 28 panels, ISX = ISY = 1", 1, 1, hq)
        pot_ka(os.path.join(d, "hemiq.pot"), "Hemisphere radius 1, infinite depth, K a = 0.1 to 6, IRR = %d" % irr,
               irr)
        cfg(os.path.join(d, "hemiq.cfg"), "hemisphere", ["IPERIO=3", "ISOLVE=1"], " with IRR %d" % irr)
        frc(os.path.join(d, "hemiq.frc"), "Hemisphere radius 1, IRR = %d: added mass, damping, exciting forces" % irr,
            1, 0.0, (0.5, 0.5, 0.5))
        fnames(os.path.join(d, "fnames.zrv"), ["hemiq.cfg", "hemiq.pot", "hemiq.gdf", "hemiq.frc"])

    higher_order()


def higher_order():
    """The box as flat patches (IGDEF 0) and as bilinear B-spline patches
    (IGDEF 1), and the hemisphere of the user routine GEOMXACT."""
    faces = box_faces()
    # Spline panels of 0.5: u runs from vertex 2 to vertex 1, v from vertex 1
    # to vertex 4.
    counts = [(round(math.dist(q[1], q[0]) / 0.5), round(math.dist(q[3], q[0]) / 0.5)) for q in faces]
    d = os.path.join(ROOT, "hobox")
    hogdf(os.path.join(d, "hobox.gdf"), "Box 2 x 1 x 0.5, one flat patch per face", 0, 0, 5, 0,
          [" ".join("%10s" % fmtnum(c) for v in q for c in v) for q in faces])
    spl(os.path.join(d, "hobox.spl"), "Box 2 x 1 x 0.5, spline panels of about 0.5", counts, 3)
    pot(os.path.join(d, "hobox.pot"), "Box 2 x 1 x 0.5 (flat patches), infinite depth", 0.0)
    hocfg(os.path.join(d, "hobox.cfg"), "higher-order box", True)
    frc(os.path.join(d, "hobox.frc"), "Box 2 x 1 x 0.5 (flat patches): added mass, damping, exciting forces, motions",
        1, 0.0, (0.35, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), ["hobox.cfg", "hobox.pot", "hobox.gdf", "hobox.frc"])

    # Bilinear B-splines: one interval of order 2 each way, knots 0 0 1 1;
    # control point (i, j), u fastest, at the panel vertex of (u, v) =
    # (2i-3, 2j-3): vertex 2 (-1,-1), 1 (1,-1), 3 (-1,1), 4 (1,1).
    body = []
    for q in faces:
        body += ["  1  1      panels in u, v", "  2  2      orders", "  0. 0. 1. 1.", "  0. 0. 1. 1."]
        for v in (q[1], q[0], q[2], q[3]):
            body.append(" ".join("%10s" % fmtnum(c) for c in v))
    d = os.path.join(ROOT, "hoboxbs")
    hogdf(os.path.join(d, "hoboxbs.gdf"), "Box 2 x 1 x 0.5, one bilinear B-spline patch per face", 0, 0, 5, 1, body)
    spl(os.path.join(d, "hoboxbs.spl"), "Box 2 x 1 x 0.5, spline panels of about 0.5", counts, 3)
    pot(os.path.join(d, "hoboxbs.pot"), "Box 2 x 1 x 0.5 (B-spline patches), infinite depth", 0.0)
    hocfg(os.path.join(d, "hoboxbs.cfg"), "B-spline box", True)
    frc(os.path.join(d, "hoboxbs.frc"),
        "Box 2 x 1 x 0.5 (B-spline patches): added mass, damping, exciting forces, motions", 1, 0.0,
        (0.35, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), ["hoboxbs.cfg", "hoboxbs.pot", "hoboxbs.gdf", "hoboxbs.frc"])

    model_example(faces)

    hemisphere_example("hohemi", "hohemi", "water depth 5", 5.0, "exact hemisphere",
                       "Hemisphere radius 1 (exact): added mass, damping, exciting forces, motions")
    hemisphere_example("hohemideep", "hohemid", "infinite depth", 0.0, "exact hemisphere in deep water",
                       "Hemisphere radius 1 (exact), deep water: added mass, damping, exciting forces, motions")

    # The same with the interior free surface (IRR = 3, ILOG = 1): a fan of
    # four patches about the centre.
    d = os.path.join(ROOT, "hohemi_irr3")
    hogdf(os.path.join(d, "hohemi.gdf"), "Hemisphere radius 1 from GEOMXACT, four patches", 0, 0, 4, 3,
          ["  1      NLINES", "HEMISPHERE 1.0"])
    spl(os.path.join(d, "hohemi.spl"), "Hemisphere radius 1, 4 x 4 spline panels per patch", [(4, 4)] * 4)
    write(os.path.join(d, "hohemi.pot"), [
        "Hemisphere radius 1 (exact geometry), infinite depth, K a = 0.1 to 6, IRR = 3",
        " 0                   ISOR",
        " 3                   IRR",
        " 0.0  0. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY",
        " 0  1  0             IQUAD ILOG IDIAG",
        " 1  1                IRAD IDIFF",
        " 1  1  1  1  1  1    MODE",
        " %d                  NPER" % len(KA)] +
        [" " + " ".join("%.1f" % k for k in KA[i:i + 10]) for i in range(0, len(KA), 10)] +
        [" 1                   NBETA", " 0.                  BETA (degrees)"])
    write(os.path.join(d, "hohemi.cfg"), [
        "Configuration of the exact hemisphere with the interior free surface; lines without an equals sign are "
        "comments.", "Higher-order method, both stages; the values are wavenumbers K a.", "ILOWHI=1", "IPOTEN=1",
        "IFORCE=1", "IPERIO=3", "ISOLVE=1"])
    frc(os.path.join(d, "hohemi.frc"), "Hemisphere radius 1 (exact), IRR = 3: added mass, damping, exciting forces",
        1, 0.0, (0.5, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), ["hohemi.cfg", "hohemi.pot", "hohemi.gdf", "hohemi.frc"])


def model_quads(faces):
    """QUAD records of the geometry-model format for faces in the panel
    convention: corners P00, P10, P11, P01 at the face's vertices 2, 3, 4,
    1, so that the surface's front side (XU x XV) faces away from the
    normal the face asks for: into the fluid for a body, away from the body
    for a control surface.  u runs from vertex 2 to vertex 3, v from vertex
    2 to vertex 1."""
    out = []
    for q in faces:
        corners = (q[1], q[2], q[3], q[0])
        out.append("  ".join(" ".join("%g" % (c + 0.0) for c in v) for v in corners))
    return out


def model_example(faces):
    """The box of hobox and the control surface of boxcsf as surfaces of
    geometry-model files (IGDEF = 2, ICDEF = 2), read through SURFLINK and
    its kernel: the body by the higher-order method, the drift also through
    the control surface.  One period (2 s, near the box's pitch resonance,
    where the drift is large) and a control-surface panel size of 1 keep
    the run short: the field points of the control surface dominate its
    time.

    Checked by hand against sources outside the kernel path:
    - hydrostatics in closed form: volume 1, centre of buoyancy z = -0.25,
      C33 = 2, C44 = 1 x 2 / 12 - 0.25 = -0.083333, C55 = 2^3 / 12 - 0.25 =
      0.416667 (the report gives 2.0000, -0.83333E-01 and 0.41667);
    - the same body as the flat patches of hobox (IGDEF = 0) with the
      control surface of boxcsf (flat patches, ICDEF = 0, panel size 1) and
      these control files: the values of the .1 to .4, .8, .9 and .9c files
      agree within 2.1e-4 of the value (values above 1e-3 of the largest of
      their file) or 1e-5 of the largest value of their file (the others);
    - the drift through the control surface (.9c) against momentum
      conservation (.8), as the difference of the two over the value of .8:
      surge 0.086 % at 0 degrees and 0.052 % at 45 degrees, sway 0.105 % at
      45 degrees (at 0 degrees both give zero to rounding, below 3e-7), the
      yaw moment 0.042 % at 45 degrees; so all within 0.11 %.
    """
    d = os.path.join(ROOT, "hoboxmodel")
    f = lambda name: os.path.join(d, name)  # noqa: E731
    names = ["bottom", "side_yp", "side_ym", "end_xp", "end_xm"]
    write(f("hull.zmd"), ["ZUZOVOZA MODEL 1", "UNITS m",
                          "# Box 2 x 1 x 0.5, front sides facing the fluid"] +
          ["QUAD %-8s %s" % (n, q) for n, q in zip(names, model_quads(faces))] + ["LIST Hull " + " ".join(names)])
    cs = csf_box_patches(2.0, 1.5, 1.5, 1.0, 0.5)
    cnames = ["wall_xp", "wall_yp", "wall_xm", "wall_ym", "bottom", "lid_xp", "lid_yp", "lid_xm", "lid_ym"]
    write(f("csf.zmd"), ["ZUZOVOZA MODEL 1", "UNITS m",
                         "# Box 4 x 3 x 1.5 round the body and the free surface between, front sides facing "
                         "away from the body"] +
          ["QUAD %-8s %s" % (n, q) for n, q in zip(cnames, model_quads(cs))] + ["LIST Surface " + " ".join(cnames)])
    # Spline panels of 0.5 along each surface's u and v.
    counts = [(round(math.dist(q[2], q[1]) / 0.5), round(math.dist(q[0], q[1]) / 0.5)) for q in faces]
    hogdf(f("boxm.gdf"), "Box 2 x 1 x 0.5 from the geometry-model file hull.zmd", 0, 0, 0, 2, [
        "  3      NLINES",
        "hull.zmd",
        "Hull",
        "  1  0  0      accurate, DivMult (0: the model's), normals inward (0: outward)"])
    spl(f("boxm.spl"), "Box 2 x 1 x 0.5, spline panels of about 0.5 on the five model surfaces", counts, 3)
    write(f("boxm.csf"), csf_head("Box 4 x 3 x 1.5 round the box from the geometry-model file csf.zmd", 1) + [
        " 0  2  1.00          NPATCSF (from the model) ICDEF PSZCSF",
        " 3                   NLINES",
        "csf.zmd",
        "Surface",
        " 1  0  0             accurate, DivMult (0: the model's), normals inward (0: outward)"])
    pot(f("boxm.pot"), "Box 2 x 1 x 0.5 from a geometry-model file, infinite depth", 0.0, periods=(2.0,))
    write(f("boxm.cfg"), [
        "Configuration of the box and its control surface from geometry-model files; lines without an equals sign "
        "are comments.", "Higher-order method, both stages, the direct solver.", "ILOWHI=1", "IPOTEN=1", "IFORCE=1",
        "ISOLVE=1",
        "Control surfaces: the drift through them (optn.9c) beside pressure integration and momentum.",
        "ICTRSURF=1"])
    frc(f("boxm.frc"), "Box 2 x 1 x 0.5 from a geometry-model file: coefficients, motions and drift forces", 1, 0.0,
        (0.35, 0.5, 0.5), "1  1  1  1  0  0  0  1  1")
    fnames(f("fnames.zrv"), ["boxm.cfg", "boxm.pot", "boxm.gdf", "boxm.frc"])


def hemisphere_example(folder, base, depth_text, hbot, what, frc_title):
    """The hemisphere of radius 1 from the user routine GEOMXACT, four
    patches of 4 x 4 spline panels, in water depth hbot (0: infinite)."""
    d = os.path.join(ROOT, folder)
    f = lambda ext: os.path.join(d, base + ext)
    hogdf(f(".gdf"), "Hemisphere radius 1 from GEOMXACT, four patches", 0, 0, 4, 3, ["  1      NLINES", "HEMISPHERE 1.0"])
    spl(f(".spl"), "Hemisphere radius 1, 4 x 4 spline panels per patch", [(4, 4)] * 4)
    pot(f(".pot"), "Hemisphere radius 1 (exact geometry), " + depth_text, hbot)
    hocfg(f(".cfg"), what)
    frc(f(".frc"), frc_title, 1, 0.0, (0.5, 0.5, 0.5))
    fnames(os.path.join(d, "fnames.zrv"), [base + ext for ext in (".cfg", ".pot", ".gdf", ".frc")])

if __name__ == "__main__":
    main()
