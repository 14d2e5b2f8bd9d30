// Incomplete beta and gamma functions and the τ, F and χ² distributions
// built on them.

#include "geodesy/Distributions.h"

#include <cmath>
#include <limits>

namespace korthal {

namespace {

constexpr Extended kTiny = 1e-300L;
constexpr Extended kEps = std::numeric_limits<Extended>::epsilon();

Extended guard(Extended v)
{
    return std::fabs(v) < kTiny ? kTiny : v;
}

// The continued fraction of the incomplete beta function (modified Lentz),
// good for x < (a + 1) / (a + b + 2).
Extended betaFraction(Extended a, Extended b, Extended x)
{
    Extended c = 1;
    Extended d = 1 / guard(1 - (a + b) * x / (a + 1));
    Extended h = d;
    for (int m = 1; m <= 1000; ++m) {
        const Extended m2 = 2 * m;
        Extended aa = m * (b - m) * x / ((a - 1 + m2) * (a + m2));
        d = 1 / guard(1 + aa * d);
        c = guard(1 + aa / c);
        h *= d * c;
        aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + 1 + m2));
        d = 1 / guard(1 + aa * d);
        c = guard(1 + aa / c);
        const Extended step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 4 * kEps)
            break;
    }
    return h;
}

// The regularised lower and upper incomplete gamma functions P(a, x) and
// Q(a, x) = 1 − P(a, x), each computed without the loss of digits of
// 1 − (something near 1).
struct GammaPair {
    Extended lower = 0, upper = 1;
};

GammaPair incompleteGammaPair(Extended a, Extended x)
{
    if (!(x > 0))
        return {0, 1};
    if (std::isinf(x))
        return {1, 0};
    const Extended front = std::exp(-x + a * std::log(x) - std::lgamma(a));
    if (x < a + 1) {
        // The series Σ x^k / (a·(a + 1)···(a + k)).
        Extended term = 1 / a, sum = term;
        for (int k = 1; k <= 100000; ++k) {
            term *= x / (a + k);
            sum += term;
            if (std::fabs(term) < std::fabs(sum) * kEps)
                break;
        }
        return {sum * front, 1 - sum * front};
    }
    // The continued fraction of the upper function (modified Lentz).
    Extended b = x + 1 - a;
    Extended c = 1 / kTiny;
    Extended d = 1 / b;
    Extended h = d;
    for (int i = 1; i <= 100000; ++i) {
        const Extended an = -i * (i - a);
        b += 2;
        d = 1 / guard(an * d + b);
        c = guard(b + an / c);
        const Extended step = d * c;
        h *= step;
        if (std::fabs(step - 1) < 4 * kEps)
            break;
    }
    return {1 - front * h, front * h};
}

// The value x in [0, 1] where the falling function `exceedance` passes
// alpha, by bisection.
template <class F>
Extended bisectUnit(F exceedance, Extended alpha)
{
    Extended lo = 0, hi = 1;
    for (int i = 0; i < 200 && hi - lo > 1e-19L; ++i) {
        const Extended mid = (lo + hi) / 2;
        if (exceedance(mid) > alpha)
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

}  // namespace

Extended incompleteBeta(Extended a, Extended b, Extended x)
{
    if (!(x > 0))
        return 0;
    if (!(x < 1))
        return 1;
    const Extended front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                    a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1) / (a + b + 2))
        return front * betaFraction(a, b, x) / a;
    return 1 - front * betaFraction(b, a, 1 - x) / b;
}

Extended incompleteGamma(Extended a, Extended x)
{
    return incompleteGammaPair(a, x).lower;
}

Extended tauExceedance(int redundancy, Extended t)
{
    if (redundancy < 2)
        return 1;
    const Extended r = redundancy;
    const Extended x = t * t / r;
    if (!(x < 1))
        return 0;
    // P(τ²/r > x) = 1 − I_x(1/2, (r−1)/2) = I_(1−x)((r−1)/2, 1/2).
    return incompleteBeta((r - 1) / 2, 0.5L, 1 - x);
}

Extended tauCritical(int redundancy, Extended alpha)
{
    if (redundancy < 2)
        return 0;
    // The exceedance falls from 1 at x = 0 to 0 at x = 1 (x = τ²/r).
    const Extended r = redundancy;
    const Extended x =
        bisectUnit([&](Extended v) { return tauExceedance(redundancy, std::sqrt(v * r)); }, alpha);
    return std::sqrt(x * r);
}

Extended fExceedance(int d1, int d2, Extended f)
{
    if (d1 < 1 || d2 < 1)
        return 1;
    if (!(f > 0))
        return 1;
    if (std::isinf(f))
        return 0;
    // P(F > f) = I_w(d2/2, d1/2) with w = d2 / (d2 + d1·f).
    return incompleteBeta(Extended(d2) / 2, Extended(d1) / 2, d2 / (d2 + d1 * f));
}

Extended fCritical(int d1, int d2, Extended alpha)
{
    if (d1 < 1 || d2 < 1)
        return 0;
    // On b = d1·f / (d1·f + d2), which runs from 0 to 1 as f runs to
    // infinity: P(F > f) = I_(1−b)(d2/2, d1/2).
    const Extended b = bisectUnit(
        [&](Extended v) { return incompleteBeta(Extended(d2) / 2, Extended(d1) / 2, 1 - v); },
        alpha);
    return b < 1 ? d2 * b / (d1 * (1 - b)) : std::numeric_limits<Extended>::infinity();
}

Extended chiSquareExceedance(int dof, Extended x)
{
    if (dof < 1)
        return 1;
    return incompleteGammaPair(Extended(dof) / 2, x / 2).upper;
}

Extended chiSquareCritical(int dof, Extended alpha)
{
    if (dof < 1)
        return 0;
    // On u = x / (x + dof), which runs from 0 to 1 as x runs to infinity.
    const Extended u = bisectUnit(
        [&](Extended v) { return v < 1 ? chiSquareExceedance(dof, dof * v / (1 - v)) : 0; }, alpha);
    return u < 1 ? dof * u / (1 - u) : std::numeric_limits<Extended>::infinity();
}

}  // namespace korthal
