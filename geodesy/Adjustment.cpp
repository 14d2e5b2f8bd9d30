// Residual cofactors, σ0, parameter standard errors and Pope's τ test of a
// similarity transformation estimated by least squares.

#include "geodesy/Adjustment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

namespace korthal {

namespace {

// The continued fraction of the incomplete beta function (modified Lentz),
// good for x < (a + 1) / (a + b + 2).
Extended betaFraction(Extended a, Extended b, Extended x)
{
    constexpr Extended tiny = 1e-300L;
    constexpr Extended eps = std::numeric_limits<Extended>::epsilon();
    auto guard = [](Extended v) { return std::fabs(v) < tiny ? tiny : v; };
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
        if (std::fabs(step - 1) < 4 * eps)
            break;
    }
    return h;
}

struct Cofactors {
    bool ok = false;
    std::array<std::array<Extended, 7>, 7> Q{};  // N⁻¹ (only the first `size` rows and columns)
};

// The inverse of the symmetric positive definite matrix N (size × size) by
// Cholesky decomposition; not ok when N is not positive definite.
Cofactors invertNormal(const std::array<std::array<Extended, 7>, 7>& N, std::size_t size)
{
    Cofactors out;
    std::array<std::array<Extended, 7>, 7> L{};
    for (std::size_t i = 0; i < size; ++i) {
        for (std::size_t j = 0; j <= i; ++j) {
            Extended sum = N[i][j];
            for (std::size_t k = 0; k < j; ++k)
                sum -= L[i][k] * L[j][k];
            if (i == j) {
                if (!(sum > 1e-24L * std::fabs(N[i][i])) || !(sum > 0))
                    return out;
                L[i][i] = std::sqrt(sum);
            } else {
                L[i][j] = sum / L[j][j];
            }
        }
    }
    // L⁻¹, lower triangular, then N⁻¹ = L⁻ᵀ·L⁻¹.
    std::array<std::array<Extended, 7>, 7> Li{};
    for (std::size_t i = 0; i < size; ++i) {
        Li[i][i] = 1 / L[i][i];
        for (std::size_t j = 0; j < i; ++j) {
            Extended sum = 0;
            for (std::size_t k = j; k < i; ++k)
                sum -= L[i][k] * Li[k][j];
            Li[i][j] = sum / L[i][i];
        }
    }
    for (std::size_t i = 0; i < size; ++i)
        for (std::size_t j = 0; j < size; ++j) {
            Extended sum = 0;
            for (std::size_t k = std::max(i, j); k < size; ++k)
                sum += Li[k][i] * Li[k][j];
            out.Q[i][j] = sum;
        }
    out.ok = true;
    return out;
}

Extended mean(const TVector& v)
{
    Extended sum = 0;
    for (Extended x : v)
        sum += x;
    return v.empty() ? 0 : sum / Extended(v.size());
}

// σ0, the τ values and the suspect from the residuals and cofactors in
// `s.points`, for `minPoints` points at least.
void testPoints(AdjustmentStatistics& s, int axes, int minPoints)
{
    if (s.redundancy <= 0)
        return;
    Extended vv = 0;
    for (const PointTest& p : s.points)
        vv += p.vE * p.vE + p.vN * p.vN + (axes == 3 ? p.vH * p.vH : 0);
    s.sigma0 = std::sqrt(vv / s.redundancy);
    s.precisionKnown = true;
    if (static_cast<int>(s.points.size()) < minPoints || s.redundancy < 2)
        return;
    s.tested = true;
    s.alpha = perTestAlpha(s.observations, s.familyAlpha);
    s.critical = tauCritical(s.redundancy, s.alpha);
    Extended largest = 0;
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        PointTest& p = s.points[i];
        const Extended v[3] = {p.vE, p.vN, p.vH};
        const Extended q[3] = {p.qE, p.qN, p.qH};
        p.tau = 0;
        for (int a = 0; a < axes; ++a) {
            // A coordinate that the parameters follow wholly (q near 0) says
            // nothing about an error of its own.
            if (q[a] < 1e-9L || s.sigma0 == 0)
                continue;
            const Extended tau = std::fabs(v[a]) / (s.sigma0 * std::sqrt(q[a]));
            if (tau > p.tau) {
                p.tau = tau;
                p.axis = a;
            }
        }
        if (p.tau > s.critical && p.tau > largest) {
            largest = p.tau;
            s.suspect = static_cast<int>(i);
        }
    }
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

Extended perTestAlpha(int tests, Extended familyAlpha)
{
    if (tests <= 1)
        return familyAlpha;
    // 1 − (1 − a)^(1/m) without the loss of digits of 1 − (something near 1).
    return -std::expm1(std::log1p(-familyAlpha) / tests);
}

Extended tauCritical(int redundancy, Extended alpha)
{
    if (redundancy < 2)
        return 0;
    // The exceedance falls from 1 at x = 0 to 0 at x = 1 (x = τ²/r).
    Extended lo = 0, hi = 1;
    for (int i = 0; i < 200 && hi - lo > 1e-19L; ++i) {
        const Extended mid = (lo + hi) / 2;
        if (tauExceedance(redundancy, std::sqrt(mid * redundancy)) > alpha)
            lo = mid;
        else
            hi = mid;
    }
    return std::sqrt(hi * redundancy);
}

AdjustmentStatistics Statistics2D(const Transformation& t, const TVector& XT, const TVector& YT,
                                  const TVector& XS, const TVector& YS)
{
    AdjustmentStatistics s;
    const std::size_t n = XT.size();
    if (YT.size() != n || XS.size() != n || YS.size() != n || n == 0)
        return s;
    s.observations = static_cast<int>(2 * n);
    s.parameters = 4;
    s.redundancy = s.observations - s.parameters;

    // The model E = a·x + b·y + tE, N = −b·x + a·y + tN is linear. With the
    // source coordinates reduced to their centroid the normal matrix is
    // diag(Q, Q, n, n), so the cofactor of both residuals of a point is
    // 1 − 1/n − (x̃² + ỹ²)/Q.
    const Extended xm = mean(XS), ym = mean(YS);
    Extended Q = 0;
    for (std::size_t i = 0; i < n; ++i)
        Q += (XS[i] - xm) * (XS[i] - xm) + (YS[i] - ym) * (YS[i] - ym);
    const Extended nn = Extended(n);
    s.points.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        PointTest& p = s.points[i];
        Extended E = XS[i], N = YS[i], H = 0;
        t.ApplyTransformation(E, N, H);
        p.vE = XT[i] - E;
        p.vN = YT[i] - N;
        const Extended d2 = (XS[i] - xm) * (XS[i] - xm) + (YS[i] - ym) * (YS[i] - ym);
        p.qE = p.qN = Q > 0 ? 1 - 1 / nn - d2 / Q : 0;
    }
    if (!(Q > 0)) {
        s.redundancy = 0;
        return s;
    }
    testPoints(s, 2, kMinTestPoints2D);
    if (!s.precisionKnown)
        return s;
    // a and b have the variance σ0²/Q each and are uncorrelated with each
    // other and with the centroid shifts (variance σ0²/n); the scale
    // sqrt(a² + b²) and the angle atan(b/a) inherit them, and the shifts
    // at the coordinate origin add the lever of the centroid.
    const Extended s0 = s.sigma0;
    s.errors.scale = s0 / std::sqrt(Q);
    s.errors.rotZ = t.parameters().scale > 0 ? s0 / (t.parameters().scale * std::sqrt(Q)) : 0;
    s.errors.shiftX = s.errors.shiftY = s0 * std::sqrt(1 / nn + (xm * xm + ym * ym) / Q);
    return s;
}

AdjustmentStatistics Statistics3D(const Transformation& t, const TVector& XT, const TVector& YT,
                                  const TVector& ZT, const TVector& XS, const TVector& YS,
                                  const TVector& ZS)
{
    AdjustmentStatistics s;
    const std::size_t n = XT.size();
    if (YT.size() != n || ZT.size() != n || XS.size() != n || YS.size() != n || ZS.size() != n ||
        n == 0)
        return s;
    s.observations = static_cast<int>(3 * n);
    s.parameters = 7;
    s.redundancy = s.observations - s.parameters;

    // The design at the solution, on source coordinates reduced to their
    // centroid as in the estimation: there the shifts are those of the
    // centroid and the normal matrix is well conditioned.
    const Extended mx = mean(XS), my = mean(YS), mz = mean(ZS);
    std::vector<std::array<std::array<Extended, 7>, 3>> rows(n);
    std::array<std::array<Extended, 7>, 7> N{};
    for (std::size_t i = 0; i < n; ++i) {
        rows[i] = t.Derivatives(XS[i] - mx, YS[i] - my, ZS[i] - mz);
        for (const auto& a : rows[i])
            for (std::size_t j = 0; j < 7; ++j)
                for (std::size_t k = 0; k < 7; ++k)
                    N[j][k] += a[j] * a[k];
    }
    const Cofactors c = invertNormal(N, 7);
    s.points.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        PointTest& p = s.points[i];
        Extended E = XS[i], No = YS[i], H = ZS[i];
        t.ApplyTransformation(E, No, H);
        p.vE = XT[i] - E;
        p.vN = YT[i] - No;
        p.vH = ZT[i] - H;
        if (!c.ok)
            continue;
        Extended q[3];
        for (std::size_t r = 0; r < 3; ++r) {
            const auto& a = rows[i][r];
            Extended aQa = 0;
            for (std::size_t j = 0; j < 7; ++j)
                for (std::size_t k = 0; k < 7; ++k)
                    aQa += a[j] * c.Q[j][k] * a[k];
            q[r] = 1 - aQa;
        }
        p.qE = q[0], p.qN = q[1], p.qH = q[2];
    }
    if (!c.ok) {
        s.redundancy = 0;
        return s;
    }
    testPoints(s, 3, kMinTestPoints3D);
    if (!s.precisionKnown)
        return s;

    const Extended v0 = s.sigma0 * s.sigma0;
    s.errors.scale = std::sqrt(v0 * c.Q[0][0]);
    s.errors.rotX = std::sqrt(v0 * c.Q[1][1]);
    s.errors.rotY = std::sqrt(v0 * c.Q[2][2]);
    s.errors.rotZ = std::sqrt(v0 * c.Q[3][3]);
    // The shifts held are those at the coordinate origin:
    // t = t_centroid − s·R·m, so ∂t/∂(s, rx, ry, rz) is minus the design at
    // the centroid m and ∂t/∂t_centroid is the identity.
    const auto J = t.Derivatives(mx, my, mz);
    Extended var[3];
    for (std::size_t r = 0; r < 3; ++r) {
        std::array<Extended, 7> g{};
        for (std::size_t j = 0; j < 4; ++j)
            g[j] = -J[r][j];
        g[4 + r] = 1;
        Extended sum = 0;
        for (std::size_t j = 0; j < 7; ++j)
            for (std::size_t k = 0; k < 7; ++k)
                sum += g[j] * c.Q[j][k] * g[k];
        var[r] = v0 * sum;
    }
    s.errors.shiftX = std::sqrt(std::max<Extended>(var[0], 0));
    s.errors.shiftY = std::sqrt(std::max<Extended>(var[1], 0));
    s.errors.shiftZ = std::sqrt(std::max<Extended>(var[2], 0));
    return s;
}

}  // namespace korthal
