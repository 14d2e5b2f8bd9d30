#include "geodesy/TM87.h"

#include "geodesy/Dialogs.h"
#include "geodesy/EMatrix.h"

#include <cmath>

namespace korthal {

const char* const kMsgNoConvergence = "η διαδικασία δεν συγκλίνει";

namespace {

// K of the meridian arc: 8·a·(1 − e²) / c³ with c = 1 + sqrt(1 − e²).
Extended arcFactor(int ell)
{
    const Extended a = Ellipsoids[ell].a;
    const Extended e = Ellipsoids[ell].e;
    const Extended c = 1 + std::sqrt(1 - e * e);
    return 8 * a * (1 - e * e) / (c * c * c);
}

}  // namespace

Extended MeridianArc(int ell, Extended phiA, Extended phiB)
{
    const Extended K = arcFactor(ell);
    const Extended* C = MeridianCoeffs[ell];
    const Extended d = phiB - phiA;
    const Extended m = (phiA + phiB) / 2;
    return K * (C[0] * d + 2 * C[1] * std::sin(d) * std::cos(2 * m) +
                C[2] * std::sin(2 * d) * std::cos(4 * m) +
                (2 * C[3] * std::sin(3 * d) * std::cos(6 * m)) / 3);
}

Extended FootpointLatitude(int ell, Extended M)
{
    const Extended K = arcFactor(ell);
    const Extended* C = MeridianCoeffs[ell];
    Extended phi = (M / K) / C[0];
    int i = 0;
    while (true) {
        ++i;
        const Extended prev = phi;
        phi = (M / K - C[1] * std::sin(2 * prev) - C[2] * std::sin(4 * prev) / 2 -
               C[3] * std::sin(6 * prev) / 3) /
              C[0];
        if (i > 20)
            showMessage(kMsgNoConvergence, MsgIcon::Exclamation);
        if (std::fabs(phi - prev) < 1e-8L || i >= 21)
            break;
    }
    return phi;
}

TM87 EllipsoidalToTM87(Extended phi, Extended lambda, Extended h, Extended undulation)
{
    const Ellipsoid& el = Ellipsoids[EGSA87];
    const Extended a = el.a, e = el.e, ep = el.eprime;
    const Extended s = std::sin(phi), c = std::cos(phi);
    const Extended t = std::tan(phi);
    const Extended t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
    const Extended n2 = (ep * c) * (ep * c);
    const Extended n4 = n2 * n2, n6 = n4 * n2, n8 = n4 * n4;
    const Extended N = a / std::sqrt(1 - (e * s) * (e * s));
    const Extended l = lambda - kLambda0TM87;
    const Extended l2c2 = l * l * c * c;
    const Extended l4c4 = l2c2 * l2c2;
    const Extended l6c6 = l4c4 * l2c2;
    const Extended M = MeridianArc(EGSA87, 0, phi);

    TM87 r;
    r.N = kK0TM87 * M +
          (kK0TM87 * N * l * l * s * c / 2) *
              (1 + l2c2 * (5 - t2 + 9 * n2 + 4 * n4) / 12 +
               l4c4 *
                   (61 - 58 * t2 + t4 + 270 * n2 - 330 * t2 * n2 + 445 * n4 + 324 * n6 -
                    680 * t2 * n4 + 88 * n8 - 600 * t2 * n6 - 192 * t2 * n8) /
                   360 +
               l6c6 * (1385 - 3111 * t2 + 543 * t4 - t6) / 20160);
    r.E = kFalseEastingTM87 +
          kK0TM87 * N * l * c *
              (1 + l2c2 * (1 - t2 + n2) / 6 +
               l4c4 *
                   (5 - 18 * t2 + t4 + 14 * n2 - 58 * t2 * n2 + 13 * n4 + 4 * n6 -
                    64 * t2 * n4 - 24 * t2 * n6) /
                   120 +
               l6c6 * (61 - 479 * t2 + 179 * t4 - t6) / 5040);
    r.H = h - undulation;
    return r;
}

Geographic TM87ToEllipsoidal(Extended E, Extended N, Extended H, Extended undulation)
{
    const Ellipsoid& el = Ellipsoids[EGSA87];
    const Extended a = el.a, e = el.e, ep = el.eprime;
    const Extended phi1 = FootpointLatitude(EGSA87, N / kK0TM87);
    const Extended s = std::sin(phi1), c = std::cos(phi1);
    const Extended w = std::sqrt(1 - (e * s) * (e * s));
    const Extended N1 = a / w;
    const Extended rho1 = (1 - e * e) * a / IntPower(3, w);
    const Extended t = s / c;
    const Extended t2 = t * t, t4 = t2 * t2, t6 = t4 * t2;
    const Extended n2 = (ep * c) * (ep * c);
    const Extended n4 = n2 * n2, n6 = n4 * n2, n8 = n4 * n4;
    const Extended D = (E - kFalseEastingTM87) / N1 / kK0TM87;
    const Extended D2 = D * D;
    const Extended D4 = IntPower(4, D);
    const Extended D6 = IntPower(6, D);

    Geographic g;
    g.phi = phi1 - (N1 * t / rho1) * (D2 / 2) *
                       (1 - D2 * (5 + 3 * t2 + n2 - 4 * n4 - 9 * t2 * n2) / 12 +
                        D4 *
                            (61 + 90 * t2 + 45 * t4 + 46 * n2 - 252 * t2 * n2 - 3 * n4 +
                             100 * n6 - 66 * t2 * n4 - 90 * t4 * n2 + 88 * n8 + 225 * t4 * n4 +
                             84 * t2 * n6 - 192 * t2 * n8) /
                            360 -
                        D6 * (1385 + 3633 * t2 + 4095 * t4 + 1575 * t6) / 20160);
    g.lambda = kLambda0TM87 +
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

}  // namespace korthal
