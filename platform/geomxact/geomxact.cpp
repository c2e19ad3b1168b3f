// Sample GEOMXACT: analytic bodies chosen by their data lines.
//
// Data lines (items separated by blanks or commas, "!" starts a comment,
// keywords in either case, blank lines skipped):
//   HEMISPHERE R        floating hemisphere of radius R, centre at the body
//                       origin in the waterline plane z = 0, surface z <= 0
//   SPHERE     R  ZC    sphere of radius R centred at (0, 0, ZC)
//   CYLINDER   R  T     truncated vertical cylinder of radius R and draft T:
//                       wall from z = -T to z = 0, flat bottom at z = -T
//   BOX        A  B  D  box |x| <= A, |y| <= B, -D <= z <= 0: four walls and
//                       the bottom, always described whole
//   SECTORS    N        patches per quarter of the azimuth (default 1)
//   SYMMETRY   ISX ISY  the part described: x >= 0 when ISX = 1, y >= 0
//                       when ISY = 1 (each 0 or 1); without this line the
//                       symmetry indices ISXY of each call decide.  A control
//                       surface, whose calls carry (0, 0), gives it when the
//                       surface is mirrored.
// Exactly one of HEMISPHERE, SPHERE, CYLINDER, BOX; lengths in the units of
// the geometry file, R, T, A, B and D positive.
//
// Patches: the azimuth range of the part described (all of it, x >= 0,
// y >= 0, or the quarter x, y >= 0) is cut into NS = N x (number of
// quarters) equal sectors, numbered counterclockwise seen from above, with
// v running counterclockwise.  HEMISPHERE and SPHERE: patch k is sector k,
// u running from the bottom pole (u = -1) up to the waterline (hemisphere)
// or the top pole (sphere).  CYLINDER: patch k (1..NS) is the wall of sector
// k, u running from the bottom edge up to the waterline; patch NS + k is the
// bottom of sector k, u running from the axis out to the rim.  XU x XV
// points into the body.  BOX: five patches whatever SECTORS and the symmetry
// say, the walls x = A, y = B, x = -A, y = -B (u from the bottom edge up to
// the waterline, v counterclockwise seen from above) and the bottom (u along
// x, v along y).  The geometry file's NPATCH must equal the patch count (NS,
// 2 NS for the cylinder, 5 for the box).
//
// Bodies with the same geometry kind IGDEF(IB) share one description; a
// set-up call replaces the description of its kind, and one without data
// lines (an empty unit, or only blank and comment lines) leaves it as it is.
// Control surfaces, whose calls carry NPATCH = 0, keep their descriptions
// apart from the bodies', so that a body and a control surface may have the
// same kind number.
// Points outside the parameter square are extrapolated along the same
// formulas.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sample_lines.hpp"
#include "platform/zorva_units.h"
#include "platform/zorva_userlib.h"

namespace {

using zorva_sample::int_item;
using zorva_sample::items;
using zorva_sample::message;
using zorva_sample::real_item;
using zorva_sample::upper;

enum class Shape { Hemisphere, Sphere, Cylinder, Box };

struct Description {
    int kind = 0;
    Shape shape = Shape::Hemisphere;
    double r = 0.0;     // radius; BOX: half-length A
    double p = 0.0;     // SPHERE: centre height ZC; CYLINDER: draft T; BOX: half-width B
    double q = 0.0;     // BOX: depth D
    int sectors = 1;    // per quarter of the azimuth
    bool own_sym = false;
    int sym[2] = {0, 0};
};

std::vector<Description> bodies, surfaces;  // NPATCH > 0: bodies; 0: control surfaces

constexpr double PI = 3.14159265358979323846;
constexpr int MAXSECTORS = 10000;

std::vector<Description>& table(int npatch) { return npatch > 0 ? bodies : surfaces; }

Description* find(std::vector<Description>& t, int kind) {
    for (Description& d : t)
        if (d.kind == kind) return &d;
    return nullptr;
}

// The part described, from the description or from the call.
void symmetry(const Description& d, const int* ISXY, int& sx, int& sy) {
    sx = d.own_sym ? d.sym[0] : (ISXY[0] == 1 ? 1 : 0);
    sy = d.own_sym ? d.sym[1] : (ISXY[1] == 1 ? 1 : 0);
}

int sector_count(const Description& d, int sx, int sy) { return d.sectors * (4 >> (sx + sy)); }

int patch_count(const Description& d, int sx, int sy) {
    if (d.shape == Shape::Box) return 5;
    int ns = sector_count(d, sx, sy);
    return d.shape == Shape::Cylinder ? 2 * ns : ns;
}

std::string body_text(int ib) { return "GEOMXACT, body " + std::to_string(ib) + ": "; }

// Read and check the data lines of unit IUDAT.  0: a description in D;
// -1: no data; 1: failure (message written).
int read_description(int ib, int iudat, Description& d) {
    bool have_shape = false, any = false;
    char buf[1024];
    for (int n = 1;; ++n) {
        int st = zorva_read_line(iudat, buf, static_cast<int>(sizeof buf));
        if (st == -1) break;
        if (st != 0) {
            message(body_text(ib) + "cannot read data line " + std::to_string(n) + " on unit " +
                    std::to_string(iudat));
            return 1;
        }
        std::vector<std::string> it = items(buf);
        if (it.empty()) continue;
        any = true;
        std::string key = upper(it[0]);
        std::string where = " in data line " + std::to_string(n);
        std::size_t want;
        bool reals;
        if (key == "HEMISPHERE") {
            want = 1, reals = true;
        } else if (key == "SPHERE" || key == "CYLINDER") {
            want = 2, reals = true;
        } else if (key == "BOX") {
            want = 3, reals = true;
        } else if (key == "SECTORS") {
            want = 1, reals = false;
        } else if (key == "SYMMETRY") {
            want = 2, reals = false;
        } else {
            message(body_text(ib) + "unknown keyword " + it[0] + where);
            return 1;
        }
        if (it.size() - 1 != want) {
            message(body_text(ib) + key + " takes " + std::to_string(want) + (want == 1 ? " value" : " values") +
                    ", found " + std::to_string(it.size() - 1) + where);
            return 1;
        }
        double rv[3] = {0.0, 0.0, 0.0};
        int iv[2] = {0, 0};
        for (std::size_t k = 0; k < want; ++k) {
            bool ok = reals ? real_item(it[k + 1], rv[k]) : int_item(it[k + 1], iv[k]);
            if (!ok) {
                message(body_text(ib) + "bad " + (reals ? "number " : "integer ") + it[k + 1] + " for " + key +
                        where);
                return 1;
            }
        }
        if (reals) {
            if (have_shape) {
                message(body_text(ib) + "second body line " + key + where);
                return 1;
            }
            have_shape = true;
            d.shape = key == "HEMISPHERE" ? Shape::Hemisphere
                      : key == "SPHERE"   ? Shape::Sphere
                      : key == "CYLINDER" ? Shape::Cylinder
                                          : Shape::Box;
            d.r = rv[0];
            d.p = rv[1];
            d.q = rv[2];
            if (!(d.r > 0.0) || (d.shape == Shape::Cylinder && !(d.p > 0.0)) ||
                (d.shape == Shape::Box && !(d.p > 0.0 && d.q > 0.0))) {
                message(body_text(ib) +
                        (d.shape == Shape::Cylinder ? "radius and draft"
                         : d.shape == Shape::Box    ? "half-widths and depth"
                                                    : "radius") +
                        " must be positive" + where);
                return 1;
            }
        } else if (key == "SECTORS") {
            if (iv[0] < 1 || iv[0] > MAXSECTORS) {
                message(body_text(ib) + "SECTORS must be 1 to " + std::to_string(MAXSECTORS) + where);
                return 1;
            }
            d.sectors = iv[0];
        } else {
            if (iv[0] < 0 || iv[0] > 1 || iv[1] < 0 || iv[1] > 1) {
                message(body_text(ib) + "SYMMETRY indices must be 0 or 1" + where);
                return 1;
            }
            d.own_sym = true;
            d.sym[0] = iv[0];
            d.sym[1] = iv[1];
        }
    }
    if (!any) return -1;
    if (!have_shape) {
        message(body_text(ib) + "no body line (HEMISPHERE, SPHERE, CYLINDER or BOX) in the data lines");
        return 1;
    }
    return 0;
}

bool patch_count_matches(int ib, const Description& d, const int* ISXY, int npatch) {
    int sx, sy;
    symmetry(d, ISXY, sx, sy);
    int np = patch_count(d, sx, sy);
    if (npatch > 0 && npatch != np) {
        message(body_text(ib) + "the data lines describe " + std::to_string(np) +
                " patches, the geometry file gives NPATCH = " + std::to_string(npatch));
        return false;
    }
    return true;
}

void store(double out[3], float* f) {
    for (int k = 0; k < 3; ++k) f[k] = static_cast<float>(out[k]);
}

// Point and derivatives of patch IPATCH at (u, v).
void evaluate(const Description& d, int sx, int sy, int ipatch, double u, double v, float* X, float* XU, float* XV) {
    if (d.shape == Shape::Box) {
        const double A = d.r, B = d.p, D = d.q, z = -D * (1.0 - u) / 2;
        // Wall k: outward direction (c, s) and the horizontal half-length
        // along it, v running counterclockwise.
        static const int CS[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        double x[3], xu[3] = {0.0, 0.0, D / 2}, xv[3] = {0.0, 0.0, 0.0};
        if (ipatch <= 4) {
            const double c = CS[ipatch - 1][0], s = CS[ipatch - 1][1];
            const double half = c != 0.0 ? B : A, dist = c != 0.0 ? A : B;
            x[0] = dist * c - half * v * s, x[1] = dist * s + half * v * c, x[2] = z;
            xv[0] = -half * s, xv[1] = half * c;
        } else {
            x[0] = A * u, x[1] = B * v, x[2] = -D;
            xu[0] = A, xu[2] = 0.0;
            xv[1] = B;
        }
        store(x, X);
        store(xu, XU);
        store(xv, XV);
        return;
    }
    int ns = sector_count(d, sx, sy);
    int k = (ipatch - 1) % ns;  // sector 0..ns-1
    double phi0 = (sx && !sy) ? -PI / 2 : 0.0;  // x >= 0 alone: -90..90 degrees
    double span = (sx || sy) ? ((sx && sy) ? PI / 2 : PI) : 2 * PI;
    double dphi = span / ns;
    double phi = phi0 + dphi * (k + (v + 1.0) / 2);
    double phiv = dphi / 2;
    double c = std::cos(phi), s = std::sin(phi);
    double x[3], xu[3], xv[3];
    const double R = d.r;
    if (d.shape == Shape::Cylinder && ipatch <= ns) {
        // Wall: z from -T (u = -1) to 0 (u = 1).
        double T = d.p;
        x[0] = R * c, x[1] = R * s, x[2] = -T * (1.0 - u) / 2;
        xu[0] = 0.0, xu[1] = 0.0, xu[2] = T / 2;
        xv[0] = -R * s * phiv, xv[1] = R * c * phiv, xv[2] = 0.0;
    } else if (d.shape == Shape::Cylinder) {
        // Bottom: radius from 0 (u = -1) to R (u = 1).
        double r = R * (u + 1.0) / 2;
        x[0] = r * c, x[1] = r * s, x[2] = -d.p;
        xu[0] = R / 2 * c, xu[1] = R / 2 * s, xu[2] = 0.0;
        xv[0] = -r * s * phiv, xv[1] = r * c * phiv, xv[2] = 0.0;
    } else {
        // Polar angle b from the bottom pole: to pi/2 (hemisphere) or pi (sphere).
        double top = d.shape == Shape::Hemisphere ? PI / 2 : PI;
        double zc = d.shape == Shape::Sphere ? d.p : 0.0;
        double b = top * (u + 1.0) / 2, bu = top / 2;
        double cb = std::cos(b), sb = std::sin(b);
        x[0] = R * sb * c, x[1] = R * sb * s, x[2] = zc - R * cb;
        xu[0] = R * cb * c * bu, xu[1] = R * cb * s * bu, xu[2] = R * sb * bu;
        xv[0] = -R * sb * s * phiv, xv[1] = R * sb * c * phiv, xv[2] = 0.0;
    }
    store(x, X);
    store(xu, XU);
    store(xv, XV);
}

}  // namespace

extern "C" ZORVA_USERLIB_EXPORT void GEOMXACT(const float* U, const float* V, const int* IB, const int* IPATCH,
                                              const int* ISXY, const int* NPATCH, const int* IRR, float* X,
                                              float* XU, float* XV, const int* IGDEF, const int* IUDAT, int* IERR) {
    (void)IRR;
    *IERR = 0;
    const int ib = *IB;
    if (ib < 1) {
        message("GEOMXACT: illegal body number " + std::to_string(ib));
        *IERR = 1;
        return;
    }
    const int kind = IGDEF[ib - 1];

    if (*IUDAT != 0) {
        // Set-up: the data lines of the body's kind.
        Description d;
        d.kind = kind;
        int st = read_description(ib, *IUDAT, d);
        if (st == -1) return;  // no data: the kind keeps its description
        if (st != 0 || !patch_count_matches(ib, d, ISXY, *NPATCH)) {
            *IERR = 1;
            return;
        }
        std::vector<Description>& t = table(*NPATCH);
        if (Description* old = find(t, kind))
            *old = d;
        else
            t.push_back(d);
        return;
    }

    const Description* d = find(table(*NPATCH), kind);
    if (!d) {
        message(body_text(ib) + "no data lines were given for geometry kind " + std::to_string(kind));
        *IERR = 1;
        return;
    }
    if (!patch_count_matches(ib, *d, ISXY, *NPATCH)) {
        *IERR = 1;
        return;
    }
    int sx, sy;
    symmetry(*d, ISXY, sx, sy);
    const int np = patch_count(*d, sx, sy);
    if (*IPATCH < 1 || *IPATCH > np) {
        message(body_text(ib) + "no patch " + std::to_string(*IPATCH) + " (the body has " + std::to_string(np) +
                " patches)");
        *IERR = 1;
        return;
    }
    evaluate(*d, sx, sy, *IPATCH, static_cast<double>(*U), static_cast<double>(*V), X, XU, XV);
}
