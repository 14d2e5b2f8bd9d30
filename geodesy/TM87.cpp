#include "geodesy/TM87.h"

#include <cmath>

namespace korthal {

const char* const kMsgNoConvergence = "η διαδικασία δεν συγκλίνει";

namespace {

// K of the meridian arc: 8·a·(1 − e²) / c³ with c = 1 + sqrt(1 − e²).
template <class T>
T arcFactor(int ell)
{
    const T a = T(Ellipsoids[ell].a);
    const T e = T(Ellipsoids[ell].e);
    const T c = 1 + std::sqrt(1 - e * e);
    return 8 * a * (1 - e * e) / (c * c * c);
}

// x to the power n by repeated multiplication, as IntPower does.
template <class T>
T intPower(int n, T x)
{
    T r = 1;
    for (int i = 0; i < n; ++i)
        r = r * x;
    return r;
}

}  // namespace

template <class T>
T MeridianArc(int ell, Exact<T> phiA, Exact<T> phiB)
{
    const T K = arcFactor<T>(ell);
    const T C0 = T(MeridianCoeffs[ell][0]), C1 = T(MeridianCoeffs[ell][1]);
    const T C2 = T(MeridianCoeffs[ell][2]), C3 = T(MeridianCoeffs[ell][3]);
    const T d = phiB - phiA;
    const T m = (phiA + phiB) / 2;
    return K * (C0 * d + 2 * C1 * std::sin(d) * std::cos(2 * m) +
                C2 * std::sin(2 * d) * std::cos(4 * m) +
                (2 * C3 * std::sin(3 * d) * std::cos(6 * m)) / 3);
}

namespace {

// The meridian arc from the equator to φ, given sin φ and cos φ: the same
// series as MeridianArc(ell, 0, φ), whose d is φ and whose 2m is φ. The
// sines and cosines of 2φ and 3φ come from those of φ by the double and
// triple angle formulas; the library's own functions for arguments past
// 45° first reduce them by π/2 at great cost in the extended type.
template <class T>
T meridianArcFromEquator(int ell, T phi, T s, T c)
{
    const T K = arcFactor<T>(ell);
    const T C0 = T(MeridianCoeffs[ell][0]), C1 = T(MeridianCoeffs[ell][1]);
    const T C2 = T(MeridianCoeffs[ell][2]), C3 = T(MeridianCoeffs[ell][3]);
    const T s2 = 2 * s * c, c2 = (c - s) * (c + s);
    const T s3 = s * (3 - 4 * s * s), c3 = c * (4 * c * c - 3);
    return K * (C0 * phi + 2 * C1 * s * c + C2 * s2 * c2 + (2 * C3 * s3 * c3) / 3);
}

}  // namespace

template <class T>
T FootpointLatitude(int ell, Exact<T> M, FootpointCheck* check)
{
    const T K = arcFactor<T>(ell);
    const T C0 = T(MeridianCoeffs[ell][0]), C1 = T(MeridianCoeffs[ell][1]);
    const T C2 = T(MeridianCoeffs[ell][2]), C3 = T(MeridianCoeffs[ell][3]);
    const T limit = T(1e-8L);
    T phi = (M / K) / C0;
    int i = 0;
    while (true) {
        ++i;
        const T prev = phi;
        phi = (M / K - C1 * std::sin(2 * prev) - C2 * std::sin(4 * prev) / 2 -
               C3 * std::sin(6 * prev) / 3) /
              C0;
        const T step = std::fabs(phi - prev);
        if (i > 20 && check)
            check->converged = false;
        // A step this close to the limit could stop another type one pass
        // earlier or later than this one.
        if (check && std::fabs(step - limit) < limit * T(1e-4L))
            check->nearLimit = true;
        if (step < limit || i >= 21)
            break;
    }
    return phi;
}

template <class T>
BasicTM87<T> EllipsoidalToTM87(Exact<T> phi, Exact<T> lambda, Exact<T> h, Exact<T> undulation)
{
    const Ellipsoid& el = Ellipsoids[EGSA87];
    const T a = T(el.a), e = T(el.e), ep = T(el.eprime);
    const T k0 = T(kK0TM87);
    const T s = std::sin(phi), c = std::cos(phi);
    const T t = std::tan(phi);
    const T t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
    const T n2 = (ep * c) * (ep * c);
    const T n4 = n2 * n2, n6 = n4 * n2, n8 = n4 * n4;
    const T N = a / std::sqrt(1 - (e * s) * (e * s));
    const T l = lambda - T(kLambda0TM87);
    const T l2c2 = l * l * c * c;
    const T l4c4 = l2c2 * l2c2;
    const T l6c6 = l4c4 * l2c2;
    const T M = meridianArcFromEquator<T>(EGSA87, phi, s, c);

    BasicTM87<T> r;
    r.N = k0 * M +
          (k0 * N * l * l * s * c / 2) *
              (1 + l2c2 * (5 - t2 + 9 * n2 + 4 * n4) / 12 +
               l4c4 *
                   (61 - 58 * t2 + t4 + 270 * n2 - 330 * t2 * n2 + 445 * n4 + 324 * n6 -
                    680 * t2 * n4 + 88 * n8 - 600 * t2 * n6 - 192 * t2 * n8) /
                   360 +
               l6c6 * (1385 - 3111 * t2 + 543 * t4 - t6) / 20160);
    r.E = T(kFalseEastingTM87) +
          k0 * N * l * c *
              (1 + l2c2 * (1 - t2 + n2) / 6 +
               l4c4 *
                   (5 - 18 * t2 + t4 + 14 * n2 - 58 * t2 * n2 + 13 * n4 + 4 * n6 -
                    64 * t2 * n4 - 24 * t2 * n6) /
                   120 +
               l6c6 * (61 - 479 * t2 + 179 * t4 - t6) / 5040);
    r.H = h - undulation;
    return r;
}

template <class T>
BasicGeographic<T> TM87ToEllipsoidal(Exact<T> E, Exact<T> N, Exact<T> H, Exact<T> undulation,
                                     FootpointCheck* check)
{
    const Ellipsoid& el = Ellipsoids[EGSA87];
    const T a = T(el.a), e = T(el.e), ep = T(el.eprime);
    const T k0 = T(kK0TM87);
    const T phi1 = FootpointLatitude<T>(EGSA87, N / k0, check);
    const T s = std::sin(phi1), c = std::cos(phi1);
    const T w = std::sqrt(1 - (e * s) * (e * s));
    const T N1 = a / w;
    const T rho1 = (1 - e * e) * a / intPower(3, w);
    const T t = s / c;
    const T t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
    const T n2 = (ep * c) * (ep * c);
    const T n4 = n2 * n2, n6 = n4 * n2, n8 = n4 * n4;
    const T D = (E - T(kFalseEastingTM87)) / N1 / k0;
    const T D2 = D * D;
    const T D4 = intPower(4, D);
    const T D6 = intPower(6, D);

    BasicGeographic<T> g;
    g.phi = phi1 - (N1 * t / rho1) * (D2 / 2) *
                       (1 - D2 * (5 + 3 * t2 + n2 - 4 * n4 - 9 * t2 * n2) / 12 +
                        D4 *
                            (61 + 90 * t2 + 45 * t4 + 46 * n2 - 252 * t2 * n2 - 3 * n4 +
                             100 * n6 - 66 * t2 * n4 - 90 * t4 * n2 + 88 * n8 + 225 * t4 * n4 +
                             84 * t2 * n6 - 192 * t2 * n8) /
                            360 -
                        D6 * (1385 + 3633 * t2 + 4095 * t4 + 1575 * t6) / 20160);
    g.lambda = T(kLambda0TM87) +
               D *
                   (1 - D2 * (1 + 2 * t2 + n2) / 6 +
                    D4 *
                        (5 + 28 * t2 + 24 * t4 + 6 * n2 + 8 * t2 * n2 - 3 * n4 + 4 * t2 * n4 -
                         4 * n6 + 24 * t2 * n6) /
                        120 -
                    D6 * (61 + 662 * t2 + 1320 * t4 + 720 * t6) / 5040) /
                   c;
    g.h = H + undulation;
    return g;
}

#define KORTHAL_TM87_INSTANCES(T)                                                            \
    template T MeridianArc<T>(int, T, T);                                                    \
    template T FootpointLatitude<T>(int, T, FootpointCheck*);                                \
    template BasicTM87<T> EllipsoidalToTM87<T>(T, T, T, T);                                  \
    template BasicGeographic<T> TM87ToEllipsoidal<T>(T, T, T, T, FootpointCheck*);
KORTHAL_TM87_INSTANCES(double)
KORTHAL_TM87_INSTANCES(Extended)
#undef KORTHAL_TM87_INSTANCES

Extended MeridianArc(int ell, Extended phiA, Extended phiB)
{
    return MeridianArc<Extended>(ell, phiA, phiB);
}

Extended FootpointLatitude(int ell, Extended M, FootpointCheck* check)
{
    return FootpointLatitude<Extended>(ell, M, check);
}

TM87 EllipsoidalToTM87(Extended phi, Extended lambda, Extended h, Extended undulation)
{
    return EllipsoidalToTM87<Extended>(phi, lambda, h, undulation);
}

Geographic TM87ToEllipsoidal(Extended E, Extended N, Extended H, Extended undulation,
                             FootpointCheck* check)
{
    return TM87ToEllipsoidal<Extended>(E, N, H, undulation, check);
}

}  // namespace korthal
