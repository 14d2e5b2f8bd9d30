// Residual cofactors, σ0, parameter standard errors and the tests of the
// reference points of a similarity transformation estimated by least squares.

#include "geodesy/Adjustment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace korthal {

namespace {

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

// aᵀ·Q·b for 7-vectors and the 7 × 7 cofactors Q.
Extended cofactorProduct(const std::array<Extended, 7>& a, const Cofactors& c,
                         const std::array<Extended, 7>& b)
{
    Extended sum = 0;
    for (std::size_t j = 0; j < 7; ++j)
        for (std::size_t k = 0; k < 7; ++k)
            sum += a[j] * c.Q[j][k] * b[k];
    return sum;
}

Extended mean(const TVector& v)
{
    Extended sum = 0;
    for (Extended x : v)
        sum += x;
    return v.empty() ? 0 : sum / Extended(v.size());
}

// vᵀ·B⁻¹·v for the symmetric m × m block B (m <= 3) by Cholesky
// decomposition; negative when B is not positive definite (some direction
// of the point's coordinates has no residual of its own).
Extended blockQuadraticForm(const Extended (&B)[3][3], const Extended (&v)[3], int m)
{
    Extended L[3][3] = {};
    for (int i = 0; i < m; ++i)
        for (int j = 0; j <= i; ++j) {
            Extended sum = B[i][j];
            for (int k = 0; k < j; ++k)
                sum -= L[i][k] * L[j][k];
            if (i == j) {
                if (!(sum > 1e-9L))
                    return -1;
                L[i][i] = std::sqrt(sum);
            } else {
                L[i][j] = sum / L[j][j];
            }
        }
    // |L⁻¹·v|².
    Extended y[3] = {}, form = 0;
    for (int i = 0; i < m; ++i) {
        Extended sum = v[i];
        for (int k = 0; k < i; ++k)
            sum -= L[i][k] * y[k];
        y[i] = sum / L[i][i];
        form += y[i] * y[i];
    }
    return form;
}

// The test of each point's coordinates together (test 2 of the header),
// from each point's reduction T of the sum of squares `misfit` (negative
// where the point cannot be tested so).
void testPointsTogether(AdjustmentStatistics& s, int axes, const std::vector<Extended>& T,
                        Extended misfit)
{
    const int rest = s.redundancy - axes;
    if (!s.tested || rest < 1 || T.size() != s.points.size())
        return;
    s.pointsTested = true;
    s.pointAxes = axes;
    s.pointAlpha = perTestAlpha(static_cast<int>(s.points.size()), s.pointFamilyAlpha);
    s.pointCritical = fCritical(axes, rest, s.pointAlpha);
    Extended largest = 0;
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        PointTest& p = s.points[i];
        p.F = 0;
        if (T[i] < 0 || !(misfit > 0))
            continue;
        // T cannot exceed Ω; where rounding makes the rest vanish the
        // point holds all the misfit there is.
        const Extended others = std::max<Extended>(misfit - T[i], misfit * 1e-30L);
        p.F = (T[i] / axes) / (others / rest);
        if (p.F > s.pointCritical && p.F > largest) {
            largest = p.F;
            s.pointSuspect = static_cast<int>(i);
        }
    }
}

// σ0, the τ values and the suspects from the residuals and cofactors in
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

// The test of the variance factor (test 3 of the header) for the weighted
// sum of squared residuals `weighted` (Ω_w).
void testVarianceFactor(AdjustmentStatistics& s, Extended weighted)
{
    if (s.redundancy <= 0 || !(weighted >= 0))
        return;
    s.globalTested = true;
    s.varianceFactor = weighted / s.redundancy;
    s.globalCritical = chiSquareCritical(s.redundancy, s.globalAlpha) / s.redundancy;
    s.disagreement = s.varianceFactor > s.globalCritical;
}

// The 3-D adjustment weighted by the a-priori precision, for tests 2 and
// 3: linearised at the estimation's solution, the weighted correction
// dx = (Aᵀ·W·A)⁻¹·Aᵀ·W·v of the residuals v gives the weighted residuals
// v − A·dx, their sum of squares Ω_w and their cofactors
// W⁻¹ − A·(Aᵀ·W·A)⁻¹·Aᵀ, of which each point's 3 × 3 block gives its T.
struct WeightedFit {
    bool ok = false;
    Extended misfit = 0;      // Ω_w
    std::vector<Extended> T;  // of each point; negative where its block is singular
};

WeightedFit weightedFit(const std::vector<PointTest>& points,
                        const std::vector<std::array<std::array<Extended, 7>, 3>>& rows,
                        const Extended (&w)[3])
{
    WeightedFit fit;
    std::array<std::array<Extended, 7>, 7> N{};
    std::array<Extended, 7> g{};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Extended v[3] = {points[i].vE, points[i].vN, points[i].vH};
        for (std::size_t r = 0; r < 3; ++r) {
            const auto& a = rows[i][r];
            for (std::size_t j = 0; j < 7; ++j) {
                g[j] += w[r] * a[j] * v[r];
                for (std::size_t k = 0; k < 7; ++k)
                    N[j][k] += w[r] * a[j] * a[k];
            }
        }
    }
    const Cofactors c = invertNormal(N, 7);
    if (!c.ok)
        return fit;
    std::array<Extended, 7> dx{};
    for (std::size_t j = 0; j < 7; ++j)
        for (std::size_t k = 0; k < 7; ++k)
            dx[j] += c.Q[j][k] * g[k];
    fit.ok = true;
    fit.T.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Extended v[3] = {points[i].vE, points[i].vN, points[i].vH};
        // Scaled by the square roots of the weights, the block is one of
        // plain cofactors (0..1) and T = v'ᵀ·B'⁻¹·v'.
        Extended vs[3], B[3][3];
        for (std::size_t r = 0; r < 3; ++r) {
            const auto& a = rows[i][r];
            Extended adx = 0;
            for (std::size_t j = 0; j < 7; ++j)
                adx += a[j] * dx[j];
            vs[r] = std::sqrt(w[r]) * (v[r] - adx);
            fit.misfit += vs[r] * vs[r];
            for (std::size_t col = 0; col < 3; ++col)
                B[r][col] = (r == col ? 1 : 0) -
                            std::sqrt(w[r] * w[col]) * cofactorProduct(a, c, rows[i][col]);
        }
        fit.T[i] = blockQuadraticForm(B, vs, 3);
    }
    return fit;
}

bool usable(const AprioriPrecision& a, bool threeD)
{
    return a.horizontal > 0 && std::isfinite(a.horizontal) &&
           (!threeD || (a.vertical > 0 && std::isfinite(a.vertical)));
}

}  // namespace

Extended perTestAlpha(int tests, Extended familyAlpha)
{
    if (tests <= 1)
        return familyAlpha;
    // 1 − (1 − a)^(1/m) without the loss of digits of 1 − (something near 1).
    return -std::expm1(std::log1p(-familyAlpha) / tests);
}

AdjustmentStatistics Statistics2D(const Transformation& t, const TVector& XT, const TVector& YT,
                                  const TVector& XS, const TVector& YS,
                                  const AprioriPrecision& apriori)
{
    AdjustmentStatistics s;
    s.apriori = apriori;
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
    // With one weight for E and N the weighted adjustment is the
    // estimation itself, and a point's block of cofactors is q·I.
    Extended vv = 0;
    std::vector<Extended> T(n);
    for (std::size_t i = 0; i < n; ++i) {
        const PointTest& p = s.points[i];
        vv += p.vE * p.vE + p.vN * p.vN;
        T[i] = p.qE > 1e-9L ? (p.vE * p.vE + p.vN * p.vN) / p.qE : -1;
    }
    testPointsTogether(s, 2, T, vv);
    if (usable(apriori, false))
        testVarianceFactor(s, vv / (apriori.horizontal * apriori.horizontal));
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
                                  const TVector& ZS, const AprioriPrecision& apriori)
{
    AdjustmentStatistics s;
    s.apriori = apriori;
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
        p.qE = 1 - cofactorProduct(rows[i][0], c, rows[i][0]);
        p.qN = 1 - cofactorProduct(rows[i][1], c, rows[i][1]);
        p.qH = 1 - cofactorProduct(rows[i][2], c, rows[i][2]);
    }
    if (!c.ok) {
        s.redundancy = 0;
        return s;
    }
    testPoints(s, 3, kMinTestPoints3D);
    if (!s.precisionKnown)
        return s;
    // Tests 2 and 3 weigh H against E and N as the a-priori precision says
    // (without one, alike).
    const bool known = usable(apriori, true);
    const Extended wH = known ? 1 / (apriori.horizontal * apriori.horizontal) : 1;
    const Extended wV = known ? 1 / (apriori.vertical * apriori.vertical) : 1;
    const WeightedFit fit = weightedFit(s.points, rows, {wH, wH, wV});
    if (fit.ok) {
        testPointsTogether(s, 3, fit.T, fit.misfit);
        if (known)
            testVarianceFactor(s, fit.misfit);
    }

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
        var[r] = v0 * cofactorProduct(g, c, g);
    }
    s.errors.shiftX = std::sqrt(std::max<Extended>(var[0], 0));
    s.errors.shiftY = std::sqrt(std::max<Extended>(var[1], 0));
    s.errors.shiftZ = std::sqrt(std::max<Extended>(var[2], 0));
    return s;
}

}  // namespace korthal
