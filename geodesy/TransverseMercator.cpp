// Krüger's series of the transverse Mercator projection to order n⁶.

#include "geodesy/TransverseMercator.h"

#include "geodesy/Angles.h"
#include "geodesy/HATT.h"

#include <cmath>
#include <limits>

namespace korthal {

namespace {

// sin 2jx, cos 2jx, sinh 2jy, cosh 2jy for j = 1..6 from those of 2x and 2y
// by the addition theorems: four transcendental calls instead of twenty-four.
template <class T>
struct Multiples {
    T s[6], c[6], sh[6], ch[6];
    Multiples(T x, T y)
    {
        s[0] = std::sin(2 * x);
        c[0] = std::cos(2 * x);
        sh[0] = std::sinh(2 * y);
        ch[0] = std::cosh(2 * y);
        for (int j = 1; j < 6; ++j) {
            s[j] = s[j - 1] * c[0] + c[j - 1] * s[0];
            c[j] = c[j - 1] * c[0] - s[j - 1] * s[0];
            sh[j] = sh[j - 1] * ch[0] + ch[j - 1] * sh[0];
            ch[j] = ch[j - 1] * ch[0] + sh[j - 1] * sh[0];
        }
    }
};

// τ' = tan χ, the conformal latitude's tangent, of τ = tan φ.
template <class T>
T conformalTangent(T tau, T e)
{
    const T root = std::sqrt(1 + tau * tau);
    const T sigma = std::sinh(e * std::atanh(e * tau / root));
    return tau * std::sqrt(1 + sigma * sigma) - sigma * root;
}

// τ = tan φ from τ' by Newton's method (Karney 2011, eqs. 19–21); quadratic
// convergence, so that a step below √ε leaves the result at full precision.
template <class T>
T geodeticTangent(T taup, T e, T e2)
{
    const T e2m = 1 - e2;
    const T tol =
        std::sqrt(std::numeric_limits<T>::epsilon()) / 10 * std::fmax(T(1), std::fabs(taup));
    T tau = taup / e2m;
    for (int i = 0; i < 6; ++i) {
        const T taupi = conformalTangent(tau, e);
        const T dtau = (taup - taupi) * (1 + e2m * tau * tau) /
                       (e2m * std::sqrt(1 + tau * tau) * std::sqrt(1 + taupi * taupi));
        tau += dtau;
        if (!(std::fabs(dtau) >= tol))
            break;
    }
    return tau;
}

constexpr Extended kDegree = kPi / 180;

TransverseMercator make(const EllipsoidDefinition& ell, Extended lambda0, Extended phi0Deg,
                        Extended k0, Extended fe, Extended fn)
{
    return TransverseMercator({ell, lambda0, phi0Deg * kDegree, k0, fe, fn});
}

}  // namespace

TransverseMercator::TransverseMercator(const TransverseMercatorDefinition& d) : d_(d)
{
    const Extended f = 1 / d.ellipsoid.invF;
    e2_ = f * (2 - f);
    e_ = std::sqrt(e2_);
    const Extended n = f / (2 - f);
    const Extended n2 = n * n;
    kA_ = d.k0 * d.ellipsoid.a / (1 + n) * (1 + n2 * (1.0L / 4 + n2 * (1.0L / 64 + n2 / 256)));
    // Karney (2011), eqs. (35) and (36), each in Horner form in n.
    alpha_[0] =
        n * (1.0L / 2 +
             n * (-2.0L / 3 +
                  n * (5.0L / 16 + n * (41.0L / 180 + n * (-127.0L / 288 + n * 7891.0L / 37800)))));
    alpha_[1] =
        n2 * (13.0L / 48 + n * (-3.0L / 5 + n * (557.0L / 1440 +
                                                 n * (281.0L / 630 + n * -1983433.0L / 1935360))));
    alpha_[2] =
        n2 * n *
        (61.0L / 240 + n * (-103.0L / 140 + n * (15061.0L / 26880 + n * 167603.0L / 181440)));
    alpha_[3] = n2 * n2 * (49561.0L / 161280 + n * (-179.0L / 168 + n * 6601661.0L / 7257600));
    alpha_[4] = n2 * n2 * n * (34729.0L / 80640 + n * -3418889.0L / 1995840);
    alpha_[5] = n2 * n2 * n2 * 212378941.0L / 319334400;
    beta_[0] =
        n * (1.0L / 2 +
             n * (-2.0L / 3 + n * (37.0L / 96 + n * (-1.0L / 360 +
                                                     n * (-81.0L / 512 + n * 96199.0L / 604800)))));
    beta_[1] =
        n2 * (1.0L / 48 + n * (1.0L / 15 + n * (-437.0L / 1440 +
                                                n * (46.0L / 105 + n * -1118711.0L / 3870720))));
    beta_[2] =
        n2 * n * (17.0L / 480 + n * (-37.0L / 840 + n * (-209.0L / 4480 + n * 5569.0L / 90720)));
    beta_[3] = n2 * n2 * (4397.0L / 161280 + n * (-11.0L / 504 + n * -830251.0L / 7257600));
    beta_[4] = n2 * n2 * n * (4583.0L / 161280 + n * -108847.0L / 3991680);
    beta_[5] = n2 * n2 * n2 * 20648693.0L / 638668800;

    // On the central meridian ξ' is the conformal latitude χ.
    const Extended chi0 = std::atan(conformalTangent(std::tan(d.phi0), e_));
    xi0_ = chi0;
    for (int j = 0; j < 6; ++j)
        xi0_ += alpha_[j] * std::sin(2 * (j + 1) * chi0);
}

template <class T>
BasicProjected<T> TransverseMercator::forward(Exact<T> phi, Exact<T> lambda) const
{
    const T l = lambda - T(d_.lambda0);
    const T taup = conformalTangent(std::tan(phi), T(e_));
    const T cl = std::cos(l);
    const T xip = std::atan2(taup, cl);
    const T etap = std::asinh(std::sin(l) / std::sqrt(taup * taup + cl * cl));
    const Multiples<T> m(xip, etap);
    T xi = xip, eta = etap;
    for (int j = 0; j < 6; ++j) {
        xi += T(alpha_[j]) * m.s[j] * m.ch[j];
        eta += T(alpha_[j]) * m.c[j] * m.sh[j];
    }
    return {T(d_.falseEasting) + T(kA_) * eta, T(d_.falseNorthing) + T(kA_) * (xi - T(xi0_))};
}

template <class T>
BasicGeographic<T> TransverseMercator::inverse(Exact<T> E, Exact<T> N) const
{
    const T xi = (N - T(d_.falseNorthing)) / T(kA_) + T(xi0_);
    const T eta = (E - T(d_.falseEasting)) / T(kA_);
    const Multiples<T> m(xi, eta);
    T xip = xi, etap = eta;
    for (int j = 0; j < 6; ++j) {
        xip -= T(beta_[j]) * m.s[j] * m.ch[j];
        etap -= T(beta_[j]) * m.c[j] * m.sh[j];
    }
    const T she = std::sinh(etap);
    const T cx = std::cos(xip);
    const T taup = std::sin(xip) / std::sqrt(she * she + cx * cx);
    BasicGeographic<T> g;
    g.phi = std::atan(geodeticTangent(taup, T(e_), T(e2_)));
    g.lambda = T(d_.lambda0) + std::atan2(she, cx);
    return g;
}

template BasicProjected<double> TransverseMercator::forward<double>(double, double) const;
template BasicProjected<Extended> TransverseMercator::forward<Extended>(Extended, Extended) const;
template BasicGeographic<double> TransverseMercator::inverse<double>(double, double) const;
template BasicGeographic<Extended> TransverseMercator::inverse<Extended>(Extended, Extended) const;

const TransverseMercator& TM07()
{
    static const TransverseMercator tm = make(kGRS80, 24 * kDegree, 0, 0.9996L, 500000, -2000000);
    return tm;
}

const TransverseMercator& TM87Series()
{
    static const TransverseMercator tm = make(kGRS80, 24 * kDegree, 0, 0.9996L, 500000, 0);
    return tm;
}

const TransverseMercator& TM3West()
{
    static const TransverseMercator tm =
        make(kBessel1841, kLambdaAthens - 3 * kDegree, 34, 0.9999L, 200000, 0);
    return tm;
}

const TransverseMercator& TM3Central()
{
    static const TransverseMercator tm = make(kBessel1841, kLambdaAthens, 34, 0.9999L, 200000, 0);
    return tm;
}

const TransverseMercator& TM3East()
{
    static const TransverseMercator tm =
        make(kBessel1841, kLambdaAthens + 3 * kDegree, 34, 0.9999L, 200000, 0);
    return tm;
}

const TransverseMercator& UTM34ED50()
{
    static const TransverseMercator tm =
        make(kInternational1924, 21 * kDegree, 0, 0.9996L, 500000, 0);
    return tm;
}

const TransverseMercator& UTM35ED50()
{
    static const TransverseMercator tm =
        make(kInternational1924, 27 * kDegree, 0, 0.9996L, 500000, 0);
    return tm;
}

}  // namespace korthal
