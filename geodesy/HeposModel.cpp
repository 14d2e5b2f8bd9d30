// The HEPOS model: similarity, projections and correction grid.

#include "geodesy/HeposModel.h"

#include "geodesy/Angles.h"
#include "geodesy/TransverseMercator.h"

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
BasicGeocentric<T> apply(const Extended (&m)[3][3], const BasicGeocentric<T>& x)
{
    return {T(m[0][0]) * x.X + T(m[0][1]) * x.Y + T(m[0][2]) * x.Z,
            T(m[1][0]) * x.X + T(m[1][1]) * x.Y + T(m[1][2]) * x.Z,
            T(m[2][0]) * x.X + T(m[2][1]) * x.Y + T(m[2][2]) * x.Z};
}

}  // namespace

HeposModel::HeposModel(const SimilarityParameters& p, CorrectionGrid east, CorrectionGrid north)
    : p_(p), east_(std::move(east)), north_(std::move(north))
{
    const Extended s = 1 + p.dS * 1e-6L;
    const Extended rx = p.rX * kArcSecond, ry = p.rY * kArcSecond, rz = p.rZ * kArcSecond;
    const Extended r[3][3] = {{1, rz, -ry}, {-rz, 1, rx}, {ry, -rx, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m_[i][j] = s * r[i][j];
    // The exact inverse by cofactors, so that there and back agree.
    const Extended det = m_[0][0] * (m_[1][1] * m_[2][2] - m_[1][2] * m_[2][1]) -
                         m_[0][1] * (m_[1][0] * m_[2][2] - m_[1][2] * m_[2][0]) +
                         m_[0][2] * (m_[1][0] * m_[2][1] - m_[1][1] * m_[2][0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
            inv_[i][j] = (m_[a][c] * m_[b][d] - m_[a][d] * m_[b][c]) / det;
        }
}

template <class T>
BasicGeocentric<T> HeposModel::htrs07ToGgrs87(const BasicGeocentric<T>& x) const
{
    BasicGeocentric<T> y = apply(m_, x);
    y.X += T(p_.tX);
    y.Y += T(p_.tY);
    y.Z += T(p_.tZ);
    return y;
}

template <class T>
BasicGeocentric<T> HeposModel::ggrs87ToHtrs07(const BasicGeocentric<T>& x) const
{
    return apply(inv_, BasicGeocentric<T>{x.X - T(p_.tX), x.Y - T(p_.tY), x.Z - T(p_.tZ)});
}

template <class T>
HeposPoint<T> HeposModel::toTM87(Exact<T> E, Exact<T> N, Exact<T> h) const
{
    const BasicGeographic<T> g = TM07().inverse<T>(E, N);
    const BasicGeocentric<T> x = EllipsoidalToGeocentric<T>(EGSA87, g.phi, g.lambda, h);
    const BasicGeocentric<T> y = htrs07ToGgrs87(x);
    const BasicGeographic<T> g87 = GeocentricToEllipsoidal<T>(EGSA87, y.X, y.Y, y.Z);
    const BasicProjected<T> t = TM87Series().forward<T>(g87.phi, g87.lambda);

    HeposPoint<T> r;
    r.E = t.E;
    r.N = t.N;
    r.h = g87.h;
    r.phi87 = g87.phi;
    r.lambda87 = g87.lambda;
    const auto cell = east_.locate<T>(E, N);
    r.nearEdge = cell.nearEdge;
    if (!cell.inside) {
        r.status = HeposStatus::OutsideGrid;
        return r;
    }
    r.dE = east_.interpolate(cell);
    r.dN = north_.interpolate(cell);
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
        f = toTM87<T>(e, n, hh);
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
    template HeposPoint<T> HeposModel::toTM87<T>(T, T, T) const;                                \
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
