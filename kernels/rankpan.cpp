#include "kernels/rankpan.hpp"

#include <cmath>

namespace zorva {

namespace {

// Value with its three first partial derivatives: the far-field gradients
// are the exact derivatives of the truncated expansions, obtained by
// evaluating the same expressions on these numbers.
struct D3 {
    float v = 0.0f, d[3] = {0.0f, 0.0f, 0.0f};
    D3() = default;
    D3(float c) : v(c) {}  // NOLINT: constants mix freely
    static D3 var(float c, int k) {
        D3 r(c);
        r.d[k] = 1.0f;
        return r;
    }
};
inline D3 operator+(D3 a, const D3& b) {
    a.v += b.v;
    for (int k = 0; k < 3; ++k) a.d[k] += b.d[k];
    return a;
}
inline D3 operator-(D3 a, const D3& b) {
    a.v -= b.v;
    for (int k = 0; k < 3; ++k) a.d[k] -= b.d[k];
    return a;
}
inline D3 operator-(D3 a) {
    a.v = -a.v;
    for (int k = 0; k < 3; ++k) a.d[k] = -a.d[k];
    return a;
}
inline D3 operator*(const D3& a, const D3& b) {
    D3 r(a.v * b.v);
    for (int k = 0; k < 3; ++k) r.d[k] = a.d[k] * b.v + a.v * b.d[k];
    return r;
}
inline D3 operator/(const D3& a, const D3& b) {
    D3 r(a.v / b.v);
    for (int k = 0; k < 3; ++k) r.d[k] = (a.d[k] - r.v * b.d[k]) / b.v;
    return r;
}
inline D3 sqrt(const D3& a) {
    D3 r(std::sqrt(a.v));
    for (int k = 0; k < 3; ++k) r.d[k] = a.d[k] / (2.0f * r.v);
    return r;
}
inline D3 log(const D3& a) {
    D3 r(std::log(a.v));
    for (int k = 0; k < 3; ++k) r.d[k] = a.d[k] / a.v;
    return r;
}
inline float val(float a) { return a; }
inline float val(const D3& a) { return a.v; }

// Far-field source and dipole expansions about the centroid.
template <typename T>
void far_sd(const T& x, const T& y, const T& z, const float* m, bool high, T& S, T& D) {
    using std::sqrt;
    T r2 = x * x + y * y + z * z;
    T r = sqrt(r2);
    T ri = T(1.0f) / r;
    T ri2 = ri * ri;
    T ri3 = ri2 * ri;
    T ri5 = ri3 * ri2;
    T q = m[1] * x * x + m[2] * x * y + m[3] * y * y;
    T m24 = T(m[1] + m[3]);
    S = m[0] * ri + q * ri5 - m24 * ri3 * 0.3333333f;
    T zr2 = z * ri2;
    T br = m[0] * ri - m24 * ri3 + 5.0f * q * ri5;
    if (high) {
        T ri7 = ri5 * ri2;
        T ri9 = ri7 * ri2;
        T A = ri5 * (T(0.1f * (m[12] + m[10] + m[8] + m[10])) - x * (m[6] + m[4]) - y * (m[5] + m[7]));
        T B = ri7 * (1.666667f * (3.0f * x * y * (y * m[6] + x * m[5]) + y * y * y * m[7] + x * x * x * m[4]) -
                     x * y * (m[9] + m[11]) - y * y * (m[12] + m[10]) - x * x * (m[8] + m[10]));
        T C = ri9 * (2.333333f * x * y * (y * y * m[11] + x * x * m[9]) +
                     7.0f * (x * x * y * y * m[10] + 0.1666667f * (y * y * y * y * m[12] + x * x * x * x * m[8])));
        S = S + A + B + C;
        br = br + 5.0f * A + 7.0f * B + 9.0f * C;
    }
    D = zr2 * br;
}
// Far-field logarithmic integrals, order 2: with L = ln(r + e.x),
// LS = m1 L + (m2 Lxx + m3 Lxy + m4 Lyy)/3 and LD = -dL/dz of the same.
// The derivatives of L come from those of Lam = r + e.x:
//   Lam_i = x_i/r + e_i,  Lam_ij = (delta_ij - xh_i xh_j)/r,
//   Lam_ijk = -(delta_ij xh_k + delta_ik xh_j + delta_jk xh_i - 3 xh_i xh_j xh_k)/r^2,
// through the chain rule of the logarithm.
template <typename T>
void far_log(const T& x, const T& y, const T& z, const float* e, const float* m, T& LS, T& LD) {
    using std::log;
    using std::sqrt;
    T r = sqrt(x * x + y * y + z * z);
    T ri = T(1.0f) / r;
    T xh[3] = {x * ri, y * ri, z * ri};
    T lam = r + (e[0] * x + e[1] * y + e[2] * z);
    T li = T(1.0f) / lam;
    T l1[3];
    for (int i = 0; i < 3; ++i) l1[i] = xh[i] + T(e[i]);
    auto dl = [](int i, int j) { return i == j ? 1.0f : 0.0f; };
    auto l2 = [&](int i, int j) { return (T(dl(i, j)) - xh[i] * xh[j]) * ri; };
    auto l3 = [&](int i, int j, int k) {
        return -(dl(i, j) * xh[k] + dl(i, k) * xh[j] + dl(j, k) * xh[i] - 3.0f * xh[i] * xh[j] * xh[k]) * ri * ri;
    };
    auto L2 = [&](int i, int j) { return l2(i, j) * li - l1[i] * l1[j] * li * li; };
    auto L3 = [&](int i, int j, int k) {
        return l3(i, j, k) * li - (l2(i, j) * l1[k] + l2(i, k) * l1[j] + l2(j, k) * l1[i]) * li * li +
               2.0f * l1[i] * l1[j] * l1[k] * li * li * li;
    };
    LS = m[0] * log(lam) + (m[1] * L2(0, 0) + m[2] * L2(0, 1) + m[3] * L2(1, 1)) * 0.3333333f;
    LD = -(m[0] * (l1[2] * li) + (m[1] * L3(0, 0, 2) + m[2] * L3(0, 1, 2) + m[3] * L3(1, 1, 2)) * 0.3333333f);
}

// Rational arctangent for |v| <= 1.
inline float ratan(float v) {
    float v2 = v * v;
    return v * (5.677072f + v2 * (3.7851121f + 0.24091198f * v2)) / (5.677075f + v2 * (5.677285f + v2));
}
// Angle of (M, N) with quadrant, from the rational arctangent.
inline float qangle(float N, float M) {
    if (N == 0.0f && M == 0.0f) return 0.0f;
    if (std::fabs(M) < std::fabs(N)) return (N >= 0.0f ? 1.5707963f : -1.5707963f) + ratan(-M / N);
    float a = ratan(N / M);
    if (M < 0.0f) a += (N >= 0.0f ? 3.1415927f : -3.1415927f);
    return a;
}

}  // namespace

// ---------------------------------------------------------------------------
// Near-field logarithmic integrals.
//
// With R = x - xi (field point minus source point, xi in the panel plane),
// r = |R|, Z = e.R and f = ln(r + Z):
//   grad f = W = (R/r + e)/(r + Z),  R.grad f = 1,  e.grad f = 1/r,  lap f = 0.
//
// Area to boundary.  In the panel plane, with rho' = xi - (x, y) and the
// outward side normal n, div(rho' f) = 2 f + 1 - z W3, so that
//   LS = 1/2 [ sum_k d_k F_k - A - z LD ],   F_k = integral of f along side k,
// where d_k is the signed distance of step 4 and LD = -integral of W3.  The
// in-plane gradients follow from the divergence theorem alone:
//   LSX = sum_k u_y F_k,  LSY = -sum_k u_x F_k,
//   LDX = -sum_k u_y dF_k/dz,  LDY = sum_k u_x dF_k/dz.
// LD itself comes from e.W = 1/r: e3 W3 = 1/r - e_in.W_in, hence
//   LD = -(S + sum_k (e_in.n_k) F_k)/e3,
// used when |e3| >= 0.5.  For steeper panels W = curl B with
//   B = (e x R)/(r + Z),
// singular on the ray R = -t e (t > 0) around which B circulates 4 pi t.  By
// Stokes' theorem, with the sides taken in their (clockwise) vertex order,
//   integral of W3 = sum_k J_k - 4 pi t* sign(e3) [ray pierces the panel],
// J_k = integral of B.u along side k, t* = -z/e3.
//
// Side integrals.  On side k, R = R_f + tau u with R_f = (d u_y, -d u_x, z)
// the foot of the perpendicular (|R_f| = rho), tau running from s' (vertex
// k') to s (vertex k).  Let a = e.R_f, b = e.u, nu = e.w (w of step 4), so
// that a^2/rho^2 + b^2 + nu^2 = 1 and r + Z = sqrt(tau^2 + rho^2) + a + b tau.
// Euler's substitution t = tau + r turns 1/(r + Z) into a rational function
// with denominator P(t) = (1+b) t^2 + 2 a t + (1-b) rho^2 = 2 t (r + Z),
// whose discriminant is -4 rho^2 nu^2.  With
//   Lam = ln t - b ln(r + Z),   Phi = atan(((1+b) t + a)/(rho |nu|)),
// (each taken as the difference vertex k minus vertex k'):
//   int dtau/(r+Z)          = I = [Lam - 2 a Phi/(rho |nu|)]/(1 - b^2)
//   J_k = -rho nu I         = [-rho nu Lam + 2 a sign(nu) Phi]/(1 - b^2)
//   int R_f.W dtau          = K = [a Lam + 2 rho |nu| Phi]/(1 - b^2)
//   F_k = int f dtau        = [tau ln(r + Z)] - L + K      (from tau u.W = 1 - R_f.W)
//   dF_k/dz = int W3 dtau   = (z K + d J_k)/rho^2          (W3 = z/rho R_f.W/rho - d/rho w.W).
// The difference of the two arctangents is one quadrant angle, finite as
// nu -> 0 (limit form).  For a side along the vertical (1 - b^2 -> 0, then
// a = nu = 0) J = 0 and K = -rho^2 [1/t] (b = 1) or [t] (b = -1).
// ---------------------------------------------------------------------------

namespace {

struct LogSums {
    float dF = 0, Fux = 0, Fuy = 0, eF = 0, J = 0, dzFux = 0, dzFuy = 0;
};

bool inside_polygon(const float* XV, const float* YV, float px, float py) {
    bool in = false;
    for (int k = 0; k < 4; ++k) {
        int j = (k + 1) % 4;
        if ((YV[k] > py) != (YV[j] > py)) {
            float xc = XV[k] + (XV[j] - XV[k]) * (py - YV[k]) / (YV[j] - YV[k]);
            if (px < xc) in = !in;
        }
    }
    return in;
}

// r + Z at a vertex, without cancellation when Z < 0.
float vertex_arg(float dx, float dy, float z, float r, const float* e) {
    float Zv = e[0] * dx + e[1] * dy + e[2] * z;
    if (Zv >= 0.0f) return r + Zv;
    float cx = dy * e[2] - z * e[1], cy = z * e[0] - dx * e[2], cz = dx * e[1] - dy * e[0];
    return (cx * cx + cy * cy + cz * cz) / (r - Zv);
}

}  // namespace

void RANKPI(float& X, float& Y, float& Z, const float* XV, const float* YV, const float* AM, const float* SL,
            const float* E, const float* SZ, float& S, float& D, float& SX, float& SY, float& DX, float& DY,
            float& DZ, float& LS, float& LD, float& LSX, float& LSY, float& LDX, float& LDY, int IVEL,
            int ILOGF, int& IERR) {
    IERR = 0;
    const float s1 = SZ[0], s2 = SZ[1];
    float x = X, y = Y, z = Z;
    bool shifted = false;

    for (;;) {
        const float r2 = x * x + y * y + z * z;
        if (r2 > 40.0f * s2) {
            const bool high = r2 < 150.0f * s2;
            if (IVEL != 0) {
                D3 xd = D3::var(x, 0), yd = D3::var(y, 1), zd = D3::var(z, 2), Sd, Dd;
                far_sd(xd, yd, zd, AM, high, Sd, Dd);
                S = Sd.v, SX = Sd.d[0], SY = Sd.d[1];
                D = Dd.v, DX = Dd.d[0], DY = Dd.d[1], DZ = Dd.d[2];
                if (ILOGF != 0) {
                    D3 Ls, Ld;
                    far_log(xd, yd, zd, E, AM, Ls, Ld);
                    LS = Ls.v, LSX = Ls.d[0], LSY = Ls.d[1];
                    LD = Ld.v, LDX = Ld.d[0], LDY = Ld.d[1];
                }
            } else {
                far_sd(x, y, z, AM, high, S, D);
                if (ILOGF != 0) far_log(x, y, z, E, AM, LS, LD);
            }
            break;
        }

        // Near field.
        const float eps = 1.0e-6f * s1;
        const float zz = std::fabs(z) <= eps ? eps : z;
        const float az = std::fabs(zz), z2 = zz * zz;
        float dx[4], dy[4], rr[4];
        bool nearv = false;
        for (int k = 0; k < 4; ++k) {
            dx[k] = x - XV[k];
            dy[k] = y - YV[k];
            rr[k] = std::sqrt(dx[k] * dx[k] + dy[k] * dy[k] + z2);
            if (rr[k] < 1.005f * az) nearv = true;
        }
        float sdq = 0, theta = 0, sx = 0, sy = 0, dxs = 0, dys = 0, dzs = 0;
        LogSums lg;
        bool degenerate = false, shift = false;
        float hshift = 0;

        for (int k = 0; k < 4; ++k) {
            if (SL[k] <= eps) continue;
            const int kp = (k + 1) % 4;
            const float L = SL[k];
            const float ux = (XV[kp] - XV[k]) / L, uy = (YV[kp] - YV[k]) / L;
            const float rk = rr[k], rkp = rr[kp];
            const float d = dx[k] * uy - dy[k] * ux;
            const float s = dx[k] * ux + dy[k] * uy, sp = dx[kp] * ux + dy[kp] * uy;
            const float c = s / rk, cp = sp / rkp;
            const float dz2 = d * d + z2;
            const bool onside = c * cp <= -0.99f;
            float Q;
            if (onside) {
                Q = std::log((rk + s) * (rkp - sp) / dz2);
            } else {
                const float t = L / (rk + rkp);
                if (t >= 0.4f) {
                    Q = std::log((rk + rkp + L) / (rk + rkp - L));
                } else {
                    const float tt = t * t;
                    Q = t * (1.9999928f + tt * (0.6672544f + tt * (0.3872259f + 0.3850846f * tt)));
                }
            }
            sdq += d * Q;

            float a = 0, b = 0, ap = 0, bp = 0, N, M;
            if (nearv) {
                a = (dx[k] * dx[k] + z2) * uy - ux * dx[k] * dy[k];
                b = az * rk * ux;
                ap = (dx[kp] * dx[kp] + z2) * uy - ux * dx[kp] * dy[kp];
                bp = az * rkp * ux;
                N = a * bp - ap * b;
                M = b * bp + a * ap;
            } else {
                N = (cp - c) * d * az;
                M = z2 * c * cp + d * d;
            }
            theta += qangle(N, M);

            if (IVEL != 0) {
                const float kk = dx[k] / rk, kkp = dx[kp] / rkp, lk = dy[k] / rk, lkp = dy[kp] / rkp;
                if (onside) {
                    const float p = d / (rk + s), q = d / (rkp - sp), w = -2.0f * d / dz2, v = d * w;
                    sx += Q * uy + ux * (p - q) + kkp * q + kk * p + v * uy;
                    sy += -Q * ux + uy * (p - q) + lkp * q + lk * p - v * ux;
                    dzs += q / rkp + p / rk + w;
                } else {
                    const float f = 2.0f * L * d / ((rk + rkp - L) * (rk + rkp + L));
                    sx += Q * uy - (kk + kkp) * f;
                    sy += -Q * ux - (lk + lkp) * f;
                    dzs -= (1.0f / rk + 1.0f / rkp) * f;
                }
                if (nearv) {
                    // With the point at a vertex the denominator of that
                    // vertex is z^6, below the smallest float for |z| below
                    // about 3e-8 (in the plane z is eps: panels of scale
                    // SZ(1) below about 0.03); the term, whose factors s and
                    // d are then 0, is left out.
                    const float den = (b * b + a * a) * rk * rk, denp = (bp * bp + ap * ap) * rkp * rkp;
                    float G = den > 0.0f ? b / den : 0.0f, Gp = denp > 0.0f ? bp / denp : 0.0f;
                    if (zz < 0.0f) G = -G, Gp = -Gp;
                    dxs += (dx[k] * dy[k] * s + rk * rk * d) * G - (dx[kp] * dy[kp] * sp + rkp * rkp * d) * Gp;
                    dys += -(dx[k] * dx[k] + z2) * s * G + (dx[kp] * dx[kp] + z2) * sp * Gp;
                } else if (c * cp >= 0.99f) {
                    if (dz2 > 1.0e-30f) {
                        const float rk2 = rk * rk, rkp2 = rkp * rkp;
                        const float P = (rk * rkp + z2) * (rk - rkp);
                        const float T = (z2 * s * sp - d * d * rk * rkp) * (rkp2 - rk2) / (sp * rk + s * rkp);
                        const float U = (rkp2 - z2) * s, V = (rk2 - z2) * sp;
                        const float W = zz / ((rk2 * rkp2 + (z2 - rk2 - rkp2) * z2) * dz2);
                        dxs += ((kk * U + ux * P - kkp * V) * d + uy * T) * W;
                        dys += (d * (lk * U + uy * P - lkp * V) - ux * T) * W;
                    }
                } else {
                    const float F = zz * rk / ((rk * rk - z2) * dz2), Fp = zz * rkp / ((rkp * rkp - z2) * dz2);
                    dxs += (kk * c * d + dy[k]) * F - (kkp * cp * d + dy[kp]) * Fp;
                    dys += (lk * c * d - dx[k]) * F - (lkp * cp * d - dx[kp]) * Fp;
                }
            }

            if (ILOGF != 0) {
                const float rho = std::sqrt(dz2);
                const float en = E[0] * uy - E[1] * ux;
                const float be = E[0] * ux + E[1] * uy;
                const float ae = d * en + E[2] * zz;
                const float nu = (zz * en - E[2] * d) / rho;
                if (IVEL != 0 && !shifted) {
                    // |e x w| with w = (u_y z, -u_x z, -d)/rho
                    const float w1 = uy * zz / rho, w2 = -ux * zz / rho, w3 = -d / rho;
                    const float c1 = E[1] * w3 - E[2] * w2, c2 = E[2] * w1 - E[0] * w3, c3 = E[0] * w2 - E[1] * w1;
                    if (std::sqrt(c1 * c1 + c2 * c2 + c3 * c3) < 1.0e-4f &&
                        std::fabs(E[0]) + std::fabs(E[1]) + std::fabs(z) >= 0.001f * s1 && !shift) {
                        shift = true;
                        hshift = std::fabs(E[0] * dx[k] + E[1] * dy[k] + E[2] * zz) + 1.0e-4f;
                    }
                }
                const float Pk = vertex_arg(dx[k], dy[k], zz, rk, E);
                const float Pkp = vertex_arg(dx[kp], dy[kp], zz, rkp, E);
                if (Pk < 1.0e-6f * rk || Pkp < 1.0e-6f * rkp) {
                    degenerate = true;
                    continue;
                }
                const float tk = s >= 0.0f ? s + rk : dz2 / (rk - s);
                const float tkp = sp >= 0.0f ? sp + rkp : dz2 / (rkp - sp);
                const float lPk = std::log(Pk), lPkp = std::log(Pkp);
                const float dLam = std::log(tk / tkp) - be * (lPk - lPkp);
                const float omb2 = (ae / rho) * (ae / rho) + nu * nu;
                float J, K;
                if (omb2 < 1.0e-10f) {
                    J = 0.0f;
                    K = be > 0.0f ? -dz2 * (1.0f / tk - 1.0f / tkp) : tk - tkp;
                } else {
                    const float rn = rho * std::fabs(nu);
                    const float Xk = (1.0f + be) * tk + ae, Xkp = (1.0f + be) * tkp + ae;
                    const float dA = qangle((1.0f + be) * (tk - tkp) * rn, rn * rn + Xk * Xkp);
                    J = (-rho * nu * dLam + 2.0f * ae * (nu >= 0.0f ? dA : -dA)) / omb2;
                    K = (ae * dLam + 2.0f * rn * dA) / omb2;
                }
                const float F = s * lPk - sp * lPkp - L + K;
                const float dzF = (zz * K + d * J) / dz2;
                lg.dF += d * F;
                lg.Fux += ux * F;
                lg.Fuy += uy * F;
                lg.eF += (E[1] * ux - E[0] * uy) * F;
                lg.J += J;
                lg.dzFux += ux * dzF;
                lg.dzFuy += uy * dzF;
            }
        }

        if (shift) {
            x += E[0] * hshift;
            y += E[1] * hshift;
            z += E[2] * hshift;
            shifted = true;
            IERR = 2;
            continue;
        }

        if (theta < 0.0f) theta += 6.2831855f;
        if (zz < 0.0f) theta = -theta;
        if (std::fabs(z) >= eps) {
            D = theta;
        } else {
            D = 0.0f;
            theta = 0.0f;
        }
        S = sdq - zz * theta;
        if (IVEL != 0) {
            SX = sx - zz * dxs;
            SY = sy - zz * dys;
            DX = dxs;
            DY = dys;
            DZ = dzs;
        }
        if (ILOGF != 0) {
            if (std::fabs(E[2]) >= 0.5f) {
                LD = -(S + lg.eF) / E[2];
            } else {
                float flux = lg.J;
                if (E[2] != 0.0f) {
                    const float ts = -zz / E[2];
                    if (ts > 0.0f && inside_polygon(XV, YV, x + ts * E[0], y + ts * E[1]))
                        flux -= 12.566371f * ts * (E[2] > 0.0f ? 1.0f : -1.0f);
                }
                LD = -flux;
            }
            LS = 0.5f * (lg.dF - AM[0] - zz * LD);
            if (IVEL != 0) {
                LSX = lg.Fuy;
                LSY = -lg.Fux;
                LDX = -lg.dzFuy;
                LDY = lg.dzFux;
            }
            if (degenerate) IERR = 1;
        }
        break;
    }
    if (shifted) {
        X = x;
        Y = y;
    }
}

void RANKPF(const float* P, int ILOGF, int IPAN, const Arr3<float>& PAXES, const Arr2<float>& PNLARR6,
            const Arr2<float>& PNLARR5, const Arr2<float>& PCENT, const Arr2<float>& PNLARR4,
            const Arr2<float>& PPROP, const Arr2<float>& PNLARR3, float& D, float& S, float& LD, float& LS,
            int IVEL, float* GS, float* GD, float* GLS, float* GLD, int& IERR) {
    IERR = 0;
    const int i = IPAN;
    // The panel's axes through a plain pointer: global component c of axis
    // k at A(k, c).
    const float* const ax = PAXES.ptr(1, 1, i);
    auto A = [ax](int k, int c) { return ax[(k - 1) + 3 * (c - 1)]; };
    const float* const pc = PCENT.ptr(1, i);
    const float d0 = P[0] - pc[0], d1 = P[1] - pc[1], d2 = P[2] - pc[2];
    float xp[3];
    for (int k = 1; k <= 3; ++k) xp[k - 1] = A(k, 1) * d0 + A(k, 2) * d1 + A(k, 3) * d2;
    const float E[3] = {A(1, 3), A(2, 3), A(3, 3)};
    const float* XV = PNLARR6.ptr(1, i);
    const float* YV = PNLARR5.ptr(1, i);
    const float* AM = PPROP.ptr(1, i);
    const float* SL = PNLARR4.ptr(1, i);
    const float* SZ = PNLARR3.ptr(1, i);
    float x = xp[0], y = xp[1], z = xp[2];
    float SX = 0, SY = 0, DX = 0, DY = 0, DZ = 0, LSX = 0, LSY = 0, LDX = 0, LDY = 0;
    LS = LD = 0.0f;
    RANKPI(x, y, z, XV, YV, AM, SL, E, SZ, S, D, SX, SY, DX, DY, DZ, LS, LD, LSX, LSY, LDX, LDY, IVEL, ILOGF,
           IERR);
    if (IVEL == 0) return;
    const float gs[3] = {SX, SY, -D}, gd[3] = {DX, DY, DZ};
    for (int c = 1; c <= 3; ++c) {
        GS[c - 1] = A(1, c) * gs[0] + A(2, c) * gs[1] + A(3, c) * gs[2];
        GD[c - 1] = A(1, c) * gd[0] + A(2, c) * gd[1] + A(3, c) * gd[2];
    }
    if (ILOGF != 1) return;
    // The normal derivative of LD from e.grad(LD) = D; a panel within 0.002
    // of vertical takes it from a second evaluation in a frame turned by
    // 0.002 rad about an in-plane axis.
    float LDZ;
    if (std::fabs(E[2]) >= 0.002f) {
        LDZ = (D - E[0] * LDX - E[1] * LDY) / E[2];
    } else {
        const float cs = 0.9999979f, sn = 0.002f;
        float R[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        if (std::fabs(E[0]) <= std::fabs(E[1])) {
            R[1][1] = R[2][2] = cs;
            R[1][2] = -sn;
            R[2][1] = sn;
        } else {
            R[0][0] = R[2][2] = cs;
            R[0][2] = -sn;
            R[2][0] = sn;
        }
        float q[3], e2[3];
        for (int k = 0; k < 3; ++k) {
            q[k] = R[k][0] * xp[0] + R[k][1] * xp[1] + R[k][2] * xp[2];
            e2[k] = R[k][0] * E[0] + R[k][1] * E[1] + R[k][2] * E[2];
        }
        float S2, D2, SX2, SY2, DX2, DY2, DZ2, LS2, LD2, LSX2, LSY2, LDX2, LDY2;
        RANKPI(q[0], q[1], q[2], XV, YV, AM, SL, e2, SZ, S2, D2, SX2, SY2, DX2, DY2, DZ2, LS2, LD2, LSX2, LSY2,
               LDX2, LDY2, IVEL, ILOGF, IERR);
        LDZ = (D2 - e2[0] * LDX2 - e2[1] * LDY2) / e2[2];
    }
    const float gl[3] = {LSX, LSY, -LD}, gld[3] = {LDX, LDY, LDZ};
    for (int c = 1; c <= 3; ++c) {
        GLS[c - 1] = A(1, c) * gl[0] + A(2, c) * gl[1] + A(3, c) * gl[2];
        GLD[c - 1] = A(1, c) * gld[0] + A(2, c) * gld[1] + A(3, c) * gld[2];
    }
}

}  // namespace zorva
