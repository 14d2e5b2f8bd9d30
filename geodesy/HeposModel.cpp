// The HEPOS model: similarity, projections and correction grid.

#include "geodesy/HeposModel.h"

#include "geodesy/Angles.h"
#include "geodesy/TransverseMercator.h"

#include <cmath>
#include <utility>

namespace korthal {

namespace {

constexpr Extended kArcSecond = kPi / (180 * 3600);
// The inverse's passes; each shrinks the error by the model's departure
// from the identity (below 1e-5), from some hundred metres of the first guess.
constexpr int kInversePasses = 4;
// TM07 carries a false northing of −2 000 000 m, TM87 none.
constexpr Extended kNorthingOffset = 2000000;

template <class T>
BasicGeocentric<T> apply(const T (&m)[3][3], const BasicGeocentric<T>& x)
{
    return {m[0][0] * x.X + m[0][1] * x.Y + m[0][2] * x.Z,
            m[1][0] * x.X + m[1][1] * x.Y + m[1][2] * x.Z,
            m[2][0] * x.X + m[2][1] * x.Y + m[2][2] * x.Z};
}

// The program's conversions between GRS80 ellipsoidal and geocentric
// coordinates (Ellipsoids.h, the EGSA87 record), written on the sines,
// cosines and tangents of the angles so that the model's every point calls no
// arc tangent and no sine or cosine of its own.
template <class T>
BasicGeocentric<T> geocentricOf(const GeographicTrig<T>& g, T h)
{
    const T a = T(Ellipsoids[EGSA87].a), e = T(Ellipsoids[EGSA87].e);
    const T N = a / std::sqrt(1 - e * e * g.sinPhi * g.sinPhi);
    return {g.cosLambda * (g.cosPhi * (N + h)), g.sinLambda * (g.cosPhi * (N + h)),
            g.sinPhi * ((1 - e * e) * N + h)};
}

template <class T>
struct Tangents {
    T tanPhi, sinLambda, cosLambda, h;
};

// GeocentricToEllipsoidal's closed form (the latitude θ of the point on the
// ellipsoid, one height correction), giving tan φ and the sine and cosine of
// λ: for points away from the axis and the equator, as all of the grid's.
template <class T>
Tangents<T> tangentsOf(const BasicGeocentric<T>& x)
{
    const Ellipsoid& el = Ellipsoids[EGSA87];
    const T a = T(el.a), e = T(el.e), ep = T(el.eprime);
    const T p = std::sqrt(x.X * x.X + x.Y * x.Y);
    const T tanTheta = (1 + ep * ep) * x.Z / p;
    const T cosT = 1 / std::sqrt(1 + tanTheta * tanTheta), sinT = tanTheta * cosT;
    const T N = a / std::sqrt(1 - (e * sinT) * (e * sinT));
    const T h1 = x.Z / sinT - (1 - e * e) * N;
    const T h = cosT * (p - cosT * (N + h1)) + h1;
    return {tanTheta / (ep * ep * h / (N + h) + 1), x.Y / p, x.X / p, h};
}

}  // namespace

HeposModel::HeposModel(const HelmertParameters& p, CorrectionGrid east, CorrectionGrid north)
    : east_(std::move(east)), north_(std::move(north))
{
    const Extended s = 1 + p.dS * 1e-6L;
    const Extended rx = p.rX * kArcSecond, ry = p.rY * kArcSecond, rz = p.rZ * kArcSecond;
    const Extended r[3][3] = {{1, rz, -ry}, {-rz, 1, rx}, {ry, -rx, 1}};
    Extended(&m)[3][3] = x_.m;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = s * r[i][j];
    // The exact inverse by cofactors, so that there and back agree.
    const Extended det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
            x_.inv[i][j] = (m[a][c] * m[b][d] - m[a][d] * m[b][c]) / det;
        }
    x_.t[0] = p.tX;
    x_.t[1] = p.tY;
    x_.t[2] = p.tZ;
    for (int i = 0; i < 3; ++i) {
        d_.t[i] = static_cast<double>(x_.t[i]);
        for (int j = 0; j < 3; ++j) {
            d_.m[i][j] = static_cast<double>(x_.m[i][j]);
            d_.inv[i][j] = static_cast<double>(x_.inv[i][j]);
        }
    }
    if (!east_.sameLayout(north_))
        return;
    nodes_.reserve(2 * static_cast<std::size_t>(east_.rows()) *
                   static_cast<std::size_t>(east_.columns()));
    for (int row = 0; row < east_.rows(); ++row)
        for (int col = 0; col < east_.columns(); ++col) {
            nodes_.push_back(static_cast<float>(east_.node(row, col)));
            nodes_.push_back(static_cast<float>(north_.node(row, col)));
        }
}

template <>
const HeposModel::Similarity<double>& HeposModel::similarity<double>() const
{
    return d_;
}

template <>
const HeposModel::Similarity<Extended>& HeposModel::similarity<Extended>() const
{
    return x_;
}

template <class T>
void HeposModel::correct(const CorrectionGrid::Cell<T>& cell, T& dE, T& dN) const
{
    const float* south = nodes_.data() + nodeIndex(cell.row, cell.column);
    const float* north = south + 2 * static_cast<std::size_t>(east_.columns());
    auto bilinear = [&](int k) {
        const T s = T(south[k]) + (T(south[k + 2]) - T(south[k])) * cell.fx;
        const T n = T(north[k]) + (T(north[k + 2]) - T(north[k])) * cell.fx;
        return s + (n - s) * cell.fy;
    };
    dE = bilinear(0);
    dN = bilinear(1);
}

template <class T>
BasicGeocentric<T> HeposModel::htrs07ToGgrs87(const BasicGeocentric<T>& x) const
{
    const Similarity<T>& s = similarity<T>();
    BasicGeocentric<T> y = apply(s.m, x);
    y.X += s.t[0];
    y.Y += s.t[1];
    y.Z += s.t[2];
    return y;
}

template <class T>
BasicGeocentric<T> HeposModel::ggrs87ToHtrs07(const BasicGeocentric<T>& x) const
{
    const Similarity<T>& s = similarity<T>();
    return apply(s.inv, BasicGeocentric<T>{x.X - s.t[0], x.Y - s.t[1], x.Z - s.t[2]});
}

template <class T>
HeposPoint<T> HeposModel::toTM87(Exact<T> E, Exact<T> N, Exact<T> h, bool withPosition) const
{
    // The grid's cell first, its nodes asked of memory at once: over a grid
    // larger than the processor's cache they arrive while the projections
    // are computed, instead of stalling the end.
    const auto cell = east_.locate<T>(E, N);
    const bool inGrid = cell.inside && !nodes_.empty();
    if (inGrid) {
        const float* south = nodes_.data() + nodeIndex(cell.row, cell.column);
        __builtin_prefetch(south);
        __builtin_prefetch(south + 2 * static_cast<std::size_t>(east_.columns()));
    }
    const GeographicTrig<T> g = TM07().inverseTrig<T>(E, N);
    const BasicGeocentric<T> y = htrs07ToGgrs87(geocentricOf(g, h));
    const Tangents<T> g87 = tangentsOf(y);
    const BasicProjected<T> t =
        TM87Series().forwardTrig<T>(g87.tanPhi, g87.sinLambda, g87.cosLambda);
    HeposPoint<T> r;
    r.E = t.E;
    r.N = t.N;
    r.h = g87.h;
    if (withPosition) {
        r.phi87 = std::atan(g87.tanPhi);
        r.lambda87 = std::atan2(g87.sinLambda, g87.cosLambda);
    }
    r.nearEdge = cell.nearEdge;
    if (!inGrid) {
        r.status = HeposStatus::OutsideGrid;
        return r;
    }
    correct(cell, r.dE, r.dN);
    r.E += r.dE;
    r.N += r.dN;
    return r;
}

template <class T>
HeposPoint<T> HeposModel::toTM07(Exact<T> E, Exact<T> N, Exact<T> h) const
{
    // x ← x + (target − forward(x)), starting from the target itself.
    T e = E, n = N - T(kNorthingOffset), hh = h;
    HeposPoint<T> f;
    for (int pass = 0; pass < kInversePasses; ++pass) {
        f = toTM87<T>(e, n, hh, false);
        e += E - f.E;
        n += N - f.N;
        hh += h - f.h;
    }
    // The grid's status and corrections at the result.
    HeposPoint<T> r = toTM87<T>(e, n, hh);
    r.E = e;
    r.N = n;
    r.h = hh;
    return r;
}

#define KORTHAL_HEPOS_INSTANCES(T)                                                              \
    template BasicGeocentric<T> HeposModel::htrs07ToGgrs87<T>(const BasicGeocentric<T>&) const; \
    template BasicGeocentric<T> HeposModel::ggrs87ToHtrs07<T>(const BasicGeocentric<T>&) const; \
    template HeposPoint<T> HeposModel::toTM87<T>(T, T, T, bool) const;                          \
    template HeposPoint<T> HeposModel::toTM07<T>(T, T, T) const;
KORTHAL_HEPOS_INSTANCES(double)
KORTHAL_HEPOS_INSTANCES(Extended)
#undef KORTHAL_HEPOS_INSTANCES

std::string outsideGridMessage(const std::string& pointName)
{
    return "Το σημείο " + pointName + " βρίσκεται έξω από τον κάναβο διορθώσεων του μοντέλου HEPOS";
}

std::string gridLayoutProblem(const CorrectionGrid& east, const CorrectionGrid& north)
{
    if (east.sameLayout(north))
        return {};
    return "οι δύο κάναβοι διορθώσεων (Ανατολικών και Βορείων) δεν έχουν τους ίδιους κόμβους";
}

}  // namespace korthal
