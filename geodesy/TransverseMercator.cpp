// Krüger's series of the transverse Mercator projection to order n⁶.

#include "geodesy/TransverseMercator.h"

#include "geodesy/Angles.h"
#include "geodesy/HATT.h"

#include <cmath>

namespace korthal {

namespace {

// sin 2jx, cos 2jx, sinh 2jy, cosh 2jy for j = 1..6 from sin 2x, cos 2x and
// e^2y by the addition theorems, instead of twenty-four transcendental calls.
template <class T>
struct Multiples {
    T s[6], c[6], sh[6], ch[6];
    // |y| stays below 1 on any grid, where e^2y loses nothing that matters.
    Multiples(T x, T y) : Multiples(std::sin(2 * x), std::cos(2 * x), std::exp(2 * y)) {}
    Multiples(T sin2x, T cos2x, T exp2y)
    {
        s[0] = sin2x;
        c[0] = cos2x;
        sh[0] = (exp2y - 1 / exp2y) / 2;
        ch[0] = (exp2y + 1 / exp2y) / 2;
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
    // σ = sinh q and √(1 + σ²) = cosh q, with q = e·atanh(e·sin φ), from
    // one exponential: q stays below 0.01, where that loses nothing.
    const T root = std::sqrt(1 + tau * tau);
    const T eq = std::exp(e * std::atanh(e * tau / root));
    const T sigma = (eq - 1 / eq) / 2;
    return tau * ((eq + 1 / eq) / 2) - sigma * root;
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
    Constants<Extended>& c = x_;
    const Extended f = 1 / d.ellipsoid.invF;
    c.e = std::sqrt(f * (2 - f));
    c.lambda0 = d.lambda0;
    c.sinLambda0 = std::sin(d.lambda0);
    c.cosLambda0 = std::cos(d.lambda0);
    c.falseEasting = d.falseEasting;
    c.falseNorthing = d.falseNorthing;
    const Extended n = f / (2 - f);
    const Extended n2 = n * n;
    c.kA = d.k0 * d.ellipsoid.a / (1 + n) * (1 + n2 * (1.0L / 4 + n2 * (1.0L / 64 + n2 / 256)));
    // Karney (2011), eqs. (35) and (36), each in Horner form in n.
    c.alpha[0] =
        n * (1.0L / 2 +
             n * (-2.0L / 3 +
                  n * (5.0L / 16 + n * (41.0L / 180 + n * (-127.0L / 288 + n * 7891.0L / 37800)))));
    c.alpha[1] =
        n2 * (13.0L / 48 + n * (-3.0L / 5 + n * (557.0L / 1440 +
                                                 n * (281.0L / 630 + n * -1983433.0L / 1935360))));
    c.alpha[2] =
        n2 * n *
        (61.0L / 240 + n * (-103.0L / 140 + n * (15061.0L / 26880 + n * 167603.0L / 181440)));
    c.alpha[3] = n2 * n2 * (49561.0L / 161280 + n * (-179.0L / 168 + n * 6601661.0L / 7257600));
    c.alpha[4] = n2 * n2 * n * (34729.0L / 80640 + n * -3418889.0L / 1995840);
    c.alpha[5] = n2 * n2 * n2 * 212378941.0L / 319334400;
    c.beta[0] =
        n * (1.0L / 2 +
             n * (-2.0L / 3 + n * (37.0L / 96 + n * (-1.0L / 360 +
                                                     n * (-81.0L / 512 + n * 96199.0L / 604800)))));
    c.beta[1] =
        n2 * (1.0L / 48 + n * (1.0L / 15 + n * (-437.0L / 1440 +
                                                n * (46.0L / 105 + n * -1118711.0L / 3870720))));
    c.beta[2] =
        n2 * n * (17.0L / 480 + n * (-37.0L / 840 + n * (-209.0L / 4480 + n * 5569.0L / 90720)));
    c.beta[3] = n2 * n2 * (4397.0L / 161280 + n * (-11.0L / 504 + n * -830251.0L / 7257600));
    c.beta[4] = n2 * n2 * n * (4583.0L / 161280 + n * -108847.0L / 3991680);
    c.beta[5] = n2 * n2 * n2 * 20648693.0L / 638668800;
    // The geodetic latitude from the conformal one: φ = χ + Σ δj·sin 2jχ.
    c.delta[0] =
        n * (2 + n * (-2.0L / 3 +
                      n * (-2 + n * (116.0L / 45 + n * (26.0L / 45 + n * -2854.0L / 675)))));
    c.delta[1] =
        n2 *
        (7.0L / 3 + n * (-8.0L / 5 + n * (-227.0L / 45 + n * (2704.0L / 315 + n * 2323.0L / 945))));
    c.delta[2] =
        n2 * n * (56.0L / 15 + n * (-136.0L / 35 + n * (-1262.0L / 105 + n * 73814.0L / 2835)));
    c.delta[3] = n2 * n2 * (4279.0L / 630 + n * (-332.0L / 35 + n * -399572.0L / 14175));
    c.delta[4] = n2 * n2 * n * (4174.0L / 315 + n * -144838.0L / 6237);
    c.delta[5] = n2 * n2 * n2 * 601676.0L / 22275;

    // On the central meridian ξ' is the conformal latitude χ.
    const Extended chi0 = std::atan(conformalTangent(std::tan(d.phi0), c.e));
    c.xi0 = chi0;
    for (int j = 0; j < 6; ++j)
        c.xi0 += c.alpha[j] * std::sin(2 * (j + 1) * chi0);

    // The same in double.
    auto narrow = [](Extended v) { return static_cast<double>(v); };
    d2_.e = narrow(c.e);
    d2_.kA = narrow(c.kA);
    d2_.xi0 = narrow(c.xi0);
    d2_.lambda0 = narrow(c.lambda0);
    d2_.sinLambda0 = narrow(c.sinLambda0);
    d2_.cosLambda0 = narrow(c.cosLambda0);
    d2_.falseEasting = narrow(c.falseEasting);
    d2_.falseNorthing = narrow(c.falseNorthing);
    for (int j = 0; j < 6; ++j) {
        d2_.alpha[j] = narrow(c.alpha[j]);
        d2_.beta[j] = narrow(c.beta[j]);
        d2_.delta[j] = narrow(c.delta[j]);
    }
}

template <>
const TransverseMercator::Constants<double>& TransverseMercator::constants<double>() const
{
    return d2_;
}

template <>
const TransverseMercator::Constants<Extended>& TransverseMercator::constants<Extended>() const
{
    return x_;
}

template <class T>
BasicProjected<T> TransverseMercator::fromConformal(T taup, T sinL, T cosL) const
{
    const Constants<T>& c = constants<T>();
    // ξ' = atan2(τ', cos λ) and η' = asinh(sin λ / r), r² = τ'² + cos² λ:
    // sin 2ξ' and cos 2ξ' follow from τ' and cos λ, and e^η' = s + √(1 + s²)
    // with s = sin λ / r (written so as not to cancel for s < 0).
    const T r2 = taup * taup + cosL * cosL;
    const T xip = std::atan2(taup, cosL);
    const T sn = sinL / std::sqrt(r2);
    const T root = std::sqrt(1 + sn * sn);
    const T ee = sn >= 0 ? sn + root : 1 / (root - sn);
    const T etap = std::log(ee);
    const Multiples<T> m(2 * taup * cosL / r2, (cosL * cosL - taup * taup) / r2, ee * ee);
    T xi = xip, eta = etap;
    for (int j = 0; j < 6; ++j) {
        xi += c.alpha[j] * m.s[j] * m.ch[j];
        eta += c.alpha[j] * m.c[j] * m.sh[j];
    }
    return {c.falseEasting + c.kA * eta, c.falseNorthing + c.kA * (xi - c.xi0)};
}

template <class T>
BasicProjected<T> TransverseMercator::forward(Exact<T> phi, Exact<T> lambda) const
{
    const Constants<T>& c = constants<T>();
    const T l = lambda - c.lambda0;
    return fromConformal<T>(conformalTangent(std::tan(phi), c.e), std::sin(l), std::cos(l));
}

template <class T>
BasicProjected<T> TransverseMercator::forwardTrig(Exact<T> tanPhi, Exact<T> sinLambda,
                                                  Exact<T> cosLambda) const
{
    const Constants<T>& c = constants<T>();
    const T sinL = sinLambda * c.cosLambda0 - cosLambda * c.sinLambda0;
    const T cosL = cosLambda * c.cosLambda0 + sinLambda * c.sinLambda0;
    return fromConformal<T>(conformalTangent(tanPhi, c.e), sinL, cosL);
}

template <class T>
typename TransverseMercator::template Conformal<T> TransverseMercator::toConformal(T E, T N) const
{
    const Constants<T>& c = constants<T>();
    const T xi = (N - c.falseNorthing) / c.kA + c.xi0;
    const T eta = (E - c.falseEasting) / c.kA;
    const Multiples<T> m(xi, eta);
    T xip = xi, etap = eta;
    for (int j = 0; j < 6; ++j) {
        xip -= c.beta[j] * m.s[j] * m.ch[j];
        etap -= c.beta[j] * m.c[j] * m.sh[j];
    }
    Conformal<T> k;
    const T ee = std::exp(etap);
    k.sinhEta = (ee - 1 / ee) / 2;
    k.cosXi = std::cos(xip);
    k.hyp = std::sqrt(k.sinhEta * k.sinhEta + k.cosXi * k.cosXi);
    k.taup = std::sin(xip) / k.hyp;
    // φ − χ = Σ δj·sin 2jχ, with sin 2χ and cos 2χ from tan χ.
    const T q = 1 / (1 + k.taup * k.taup);
    const T s2 = 2 * k.taup * q, c2 = (1 - k.taup * k.taup) * q;
    T sj = s2, cj = c2;
    k.delta = 0;
    for (int j = 0; j < 6; ++j) {
        k.delta += c.delta[j] * sj;
        const T next = sj * c2 + cj * s2;
        cj = cj * c2 - sj * s2;
        sj = next;
    }
    return k;
}

template <class T>
BasicGeographic<T> TransverseMercator::inverse(Exact<T> E, Exact<T> N) const
{
    const Conformal<T> k = toConformal<T>(E, N);
    BasicGeographic<T> g;
    g.phi = std::atan(k.taup) + k.delta;
    g.lambda = constants<T>().lambda0 + std::atan2(k.sinhEta, k.cosXi);
    return g;
}

template <class T>
GeographicTrig<T> TransverseMercator::inverseTrig(Exact<T> E, Exact<T> N) const
{
    const Constants<T>& c = constants<T>();
    const Conformal<T> k = toConformal<T>(E, N);
    // χ from tan χ, then φ = χ + δ by the addition theorems, with sin δ and
    // cos δ from their series: δ stays below 0.004, where the terms left out
    // are below 1e-28.
    const T cosChi = 1 / std::sqrt(1 + k.taup * k.taup), sinChi = k.taup * cosChi;
    const T d2 = k.delta * k.delta;
    const T sinD = k.delta * (1 - d2 / 6 * (1 - d2 / 20 * (1 - d2 / 42)));
    const T cosD = 1 - d2 / 2 * (1 - d2 / 12 * (1 - d2 / 30));
    // λ − λ0 from sinh η' and cos ξ'.
    const T cosL = k.cosXi / k.hyp, sinL = k.sinhEta / k.hyp;
    return {sinChi * cosD + cosChi * sinD, cosChi * cosD - sinChi * sinD,
            c.sinLambda0 * cosL + c.cosLambda0 * sinL, c.cosLambda0 * cosL - c.sinLambda0 * sinL};
}

#define KORTHAL_TM_INSTANCES(T)                                                   \
    template BasicProjected<T> TransverseMercator::forward<T>(T, T) const;        \
    template BasicProjected<T> TransverseMercator::forwardTrig<T>(T, T, T) const; \
    template BasicGeographic<T> TransverseMercator::inverse<T>(T, T) const;       \
    template GeographicTrig<T> TransverseMercator::inverseTrig<T>(T, T) const;
KORTHAL_TM_INSTANCES(double)
KORTHAL_TM_INSTANCES(Extended)
#undef KORTHAL_TM_INSTANCES

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
