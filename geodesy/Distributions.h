#pragma once
// The probability distributions of the estimation's tests: the regularised
// incomplete beta and gamma functions, and from them the exceedance
// probabilities and critical values of Pope's τ, of Fisher's F and of χ².
// Plain functions of numbers; the tests themselves are in Adjustment.
//
// The incomplete functions follow Press et al., Numerical Recipes (3rd ed.,
// 2007), §6.2 (gamma: series below a + 1, continued fraction above) and
// §6.4 (beta: continued fraction by the modified Lentz method), computed in
// extended precision; the relative error is about 1e-15 or better over the
// ranges used here (degrees of freedom up to a few thousand). The critical
// values are found by bisection on the exceedance, to about 1e-15.

#include "geodesy/Extended.h"

namespace korthal {

// The regularised incomplete beta function I_x(a, b), for 0 <= x <= 1 and
// a, b > 0.
Extended incompleteBeta(Extended a, Extended b, Extended x);

// The regularised lower incomplete gamma function P(a, x) = γ(a, x)/Γ(a),
// for a > 0 and x >= 0.
Extended incompleteGamma(Extended a, Extended x);

// Pope's τ (a residual divided by its standard deviation from σ0 of the
// same residuals): τ²/r follows Beta(1/2, (r − 1)/2), r the redundancy.
// Probability that |τ| exceeds t for redundancy r (r >= 2).
Extended tauExceedance(int redundancy, Extended t);
// The value that |τ| exceeds with probability alpha for redundancy r (r >= 2):
// between 0 and sqrt(r). 0 for r < 2.
Extended tauCritical(int redundancy, Extended alpha);

// Fisher's F with d1 and d2 degrees of freedom (both >= 1): the probability
// that F exceeds f, and the value it exceeds with probability alpha
// (0 when a degree of freedom is below 1).
Extended fExceedance(int d1, int d2, Extended f);
Extended fCritical(int d1, int d2, Extended alpha);

// χ² with `dof` degrees of freedom (>= 1): the probability that it exceeds
// x, and the value it exceeds with probability alpha (0 for dof < 1).
Extended chiSquareExceedance(int dof, Extended x);
Extended chiSquareCritical(int dof, Extended alpha);

}  // namespace korthal
