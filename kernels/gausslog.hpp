// Gauss rules for integrals with a logarithmic end-point singularity: the
// weight -ln(x) on (0, 1], orders 2..8 and 16.
#pragma once

namespace zorva {

namespace glog {
// The rules to full precision, nodes increasing, positive weights (sum 1).
extern const double NODES2[2], NODES3[3], NODES4[4], NODES5[5], NODES6[6], NODES7[7], NODES8[8], NODES16[16];
extern const double WEIGHTS2[2], WEIGHTS3[3], WEIGHTS4[4], WEIGHTS5[5], WEIGHTS6[6], WEIGHTS7[7], WEIGHTS8[8],
    WEIGHTS16[16];
}  // namespace glog

// The N nodes X (increasing, in (0, 1)) and the weights W with their sign
// reversed, so that sum W(k) f(X(k)) approximates the integral of
// ln(x) f(x) over [0, 1].  An order without a rule leaves X and W as they
// were, writes a message and returns 1; otherwise 0.
int GAUSSLOG(float* X, float* W, int N);

}  // namespace zorva
