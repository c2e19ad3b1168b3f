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


def hemisphere_panels(radius, nazi, npol):
    """Faceted hemisphere: nazi panels round, npol down to the pole, where
    the panels are triangles (a repeated vertex)."""
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
        for i in range(nazi):
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


def pot(path, title, hbot):
    write(path, [
        title,
        " 0                   ISOR",
        " 0                   IRR",
        " %.1f  0. 0. 0. 0.   HBOT  XBODY YBODY ZBODY PHIBODY" % hbot,
        " 0  0  0             IQUAD ILOG IDIAG",
        " 1  1                IRAD IDIFF",
        " 1  1  1  1  1  1    MODE",
        " 3                   NPER",
        " 4.  6.  8.          PER (s)",
        " 2                   NBETA",
        " 0.  45.             BETA (degrees)",
    ])


def cfg(path, what):
    write(path, ["Configuration of the %s example; lines without an equals sign are comments." % what,
                 "Low-order method, both stages.", "ILOWHI=0", "IPOTEN=1", "IFORCE=1"])


def frc(path, title, nbody, zcg, radii):
    lines = [title, " 1  1  1  1  0  0  0  0  0    IOPTN(1..9)"]
    for _ in range(nbody):
        lines.append(" %.2f                        ZCG" % zcg)
        lines.append(" %.2f 0. 0.  0. %.2f 0.  0. 0. %.2f    XPRDCT" % radii)
    lines += [" 0                            NBETAH", " 0                            NFIELD"]
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

    hemisphere_example("hohemi", "hohemi", "water depth 5", 5.0, "exact hemisphere",
                       "Hemisphere radius 1 (exact): added mass, damping, exciting forces, motions")
    hemisphere_example("hohemideep", "hohemid", "infinite depth", 0.0, "exact hemisphere in deep water",
                       "Hemisphere radius 1 (exact), deep water: added mass, damping, exciting forces, motions")


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
