// Estimation and application of the similarity transformation.

#include "geodesy/Transformation.h"

#include "geodesy/TM87.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace korthal {

const char* const kMsgCountsDiffer = "Το πλήθος σημείων (a) διαφέρει απο τα (b)";
const char* const kMsgNeedTwoPoints = "Για μετασχηματισμό χρειάζονται τουλάχιστον 2 σημεία";
const char* const kMsgNeedThreePoints = "χρειάζονται τουλάχιστον τρία σημεία για μετασχηματισμό 3Δ";

namespace {

constexpr int kMaxIterations = 50;

using Mat3 = std::array<std::array<Extended, 3>, 3>;

struct Trig {
    Extended cx, sx, cy, sy, cz, sz;
};

Trig trig(Extended rx, Extended ry, Extended rz)
{
    return {std::cos(rx), std::sin(rx), std::cos(ry), std::sin(ry), std::cos(rz), std::sin(rz)};
}

Mat3 rotation(const Trig& t)
{
    const auto [cx, sx, cy, sy, cz, sz] = t;
    return {{{cz * cy - sz * sx * sy, sz * cy + cz * sx * sy, -cx * sy},
             {-sz * cx, cz * cx, sx},
             {cz * sy + sz * sx * cy, sz * sy - cz * sx * cy, cx * cy}}};
}

Mat3 dRdx(const Trig& t)
{
    const auto [cx, sx, cy, sy, cz, sz] = t;
    return {{{-sz * cx * sy, cz * cx * sy, sx * sy},
             {sz * sx, -cz * sx, cx},
             {sz * cx * cy, -cz * cx * cy, -sx * cy}}};
}

Mat3 dRdy(const Trig& t)
{
    const auto [cx, sx, cy, sy, cz, sz] = t;
    return {{{-cz * sy - sz * sx * cy, -sz * sy + cz * sx * cy, -cx * cy},
             {0, 0, 0},
             {cz * cy - sz * sx * sy, sz * cy + cz * sx * sy, -cx * sy}}};
}

Mat3 dRdz(const Trig& t)
{
    const auto [cx, sx, cy, sy, cz, sz] = t;
    return {{{-sz * cy - cz * sx * sy, cz * cy - sz * sx * sy, 0},
             {-cz * cx, -sz * cx, 0},
             {-sz * sy + cz * sx * cy, cz * sy + sz * sx * cy, 0}}};
}

Extended rowTimes(const std::array<Extended, 3>& row, Extended x, Extended y, Extended z)
{
    return row[0] * x + row[1] * y + row[2] * z;
}

// The three rows (E, N, H) of the design matrix for the reduced source point
// (x, y, z): the partial derivatives of s·R·p + t with respect to s, rx, ry,
// rz, tX, tY, tZ.
void designRows(const Mat3& R, const Mat3& Dx, const Mat3& Dy, const Mat3& Dz, Extended s,
                Extended x, Extended y, Extended z, std::array<std::array<Extended, 7>, 3>& rows)
{
    for (std::size_t c = 0; c < 3; ++c) {
        auto& a = rows[c];
        a[0] = rowTimes(R[c], x, y, z);
        a[1] = s * rowTimes(Dx[c], x, y, z);
        a[2] = s * rowTimes(Dy[c], x, y, z);
        a[3] = s * rowTimes(Dz[c], x, y, z);
        a[4] = c == 0 ? 1 : 0;
        a[5] = c == 1 ? 1 : 0;
        a[6] = c == 2 ? 1 : 0;
    }
}

Extended mean(const TVector& v)
{
    Extended sum = 0;
    for (Extended x : v)
        sum += x;
    return sum / Extended(v.size());
}

TVector reduced(const TVector& v, Extended m)
{
    TVector r;
    CopyVector(v, r);
    for (Extended& x : r)
        x -= m;
    return r;
}

Estimate refused(EstimationStatus status)
{
    Estimate e;
    e.status = status;
    return e;
}

}  // namespace

const char* messageText(EstimationStatus s)
{
    switch (s) {
    case EstimationStatus::CountsDiffer: return kMsgCountsDiffer;
    case EstimationStatus::TooFewPoints2D: return kMsgNeedTwoPoints;
    case EstimationStatus::TooFewPoints3D: return kMsgNeedThreePoints;
    case EstimationStatus::Singular: return kMsgNotIndependent;
    case EstimationStatus::NoConvergence: return kMsgNoConvergence;
    case EstimationStatus::Estimated: break;
    }
    return "";
}

Transformation::Transformation(const SimilarityParameters& p) : Transformation(p, false) {}

Transformation Transformation::planar(Extended scale, Extended rotZ, Extended shiftX,
                                      Extended shiftY)
{
    SimilarityParameters p;
    p.scale = scale;
    p.rotZ = rotZ;
    p.shiftX = shiftX;
    p.shiftY = shiftY;
    return Transformation(p, true);
}

Transformation::Transformation(const SimilarityParameters& p, bool planar) : p_(p)
{
    if (planar) {
        // The rotation about Z alone, with exact zeros out of the plane.
        const Extended c = std::cos(p.rotZ), s = std::sin(p.rotZ);
        m_ = {{{p.scale * c, p.scale * s, 0, p.shiftX},
               {p.scale * -s, p.scale * c, 0, p.shiftY},
               {0, 0, 1, 0}}};
        return;
    }
    const Mat3 R = rotation(trig(p.rotX, p.rotY, p.rotZ));
    const Extended shifts[3] = {p.shiftX, p.shiftY, p.shiftZ};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j)
            m_[i][j] = p.scale * R[i][j];
        m_[i][3] = shifts[i];
    }
}

Estimate Estimate2DSimilarity(const TVector& XT, const TVector& YT, const TVector& XS,
                              const TVector& YS)
{
    const std::size_t n = XT.size();
    if (YT.size() != n || XS.size() != n || YS.size() != n)
        return refused(EstimationStatus::CountsDiffer);
    if (n < 2)
        return refused(EstimationStatus::TooFewPoints2D);
    const Extended xm = mean(XS);
    const Extended ym = mean(YS);
    Extended S1 = 0, S2 = 0, Q = 0, sumX = 0, sumY = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Extended xr = XS[i] - xm;
        const Extended yr = YS[i] - ym;
        S1 += xr * XT[i] + yr * YT[i];
        S2 += yr * XT[i] - xr * YT[i];
        Q += xr * xr + yr * yr;
        sumX += XT[i];
        sumY += YT[i];
    }
    // All source points coincide: no direction to fit.
    if (Q == 0)
        return refused(EstimationStatus::TooFewPoints2D);
    // E' = a·E + b·N + tE, N' = −b·E + a·N + tN with a = s·cos rz and
    // b = s·sin rz: the scale and the angle of (a, b), in any quadrant.
    const Extended a = S1 / Q;
    const Extended b = S2 / Q;
    const Extended scale = std::sqrt(a * a + b * b);
    const Extended rotZ = std::atan2(S2, S1);
    // The shifts carry the source centroid onto the target one through the
    // matrix built from the two parameters.
    const TransformationMatrix M = Transformation::planar(scale, rotZ, 0, 0).matrix();
    const Extended nn = Extended(n);
    Estimate e;
    e.transformation = Transformation::planar(scale, rotZ, sumX / nn - (xm * M[0][0] + ym * M[0][1]),
                                              sumY / nn - (xm * M[1][0] + ym * M[1][1]));
    return e;
}

Estimate EstimateTransformation(const TVector& XT, const TVector& YT, const TVector& ZT,
                                const TVector& XS, const TVector& YS, const TVector& ZS,
                                const ConvergenceCriteria& criteria)
{
    const std::size_t n = XT.size();
    if (n < 3)
        return refused(EstimationStatus::TooFewPoints3D);
    // Callers pair every target with its source; vectors of different
    // lengths would be read past their end.
    if (YT.size() != n || ZT.size() != n || XS.size() != n || YS.size() != n || ZS.size() != n)
        return refused(EstimationStatus::CountsDiffer);

    // Centroid-reduced copies.
    const Extended mTX = mean(XT), mTY = mean(YT), mTZ = mean(ZT);
    const Extended mSX = mean(XS), mSY = mean(YS), mSZ = mean(ZS);
    const TVector tx = reduced(XT, mTX), ty = reduced(YT, mTY), tz = reduced(ZT, mTZ);
    const TVector sx = reduced(XS, mSX), sy = reduced(YS, mSY), sz = reduced(ZS, mSZ);

    const Extended cm = Extended(criteria.maxDm) / 1e12L;
    const Extended ce = Extended(criteria.maxDe) / 1e12L;
    const Extended ct = Extended(criteria.maxDt) / 1e12L;

    Estimate e;
    SimilarityParameters p;  // in the reduced frame
    TVector r(3 * n);
    TMatrix A(3 * n, TVector(7));
    TMatrix At, N;
    TVector u, dx;
    int k = 0;
    for (;;) {
        ++k;
        if (k > kMaxIterations) {
            e.status = EstimationStatus::NoConvergence;
            k = kMaxIterations;
            break;
        }
        const Trig t = trig(p.rotX, p.rotY, p.rotZ);
        const Mat3 R = rotation(t);
        const Mat3 Dx = dRdx(t), Dy = dRdy(t), Dz = dRdz(t);
        const Extended shift[3] = {p.shiftX, p.shiftY, p.shiftZ};
        std::array<std::array<Extended, 7>, 3> rows;
        for (std::size_t i = 0; i < n; ++i) {
            const Extended target[3] = {tx[i], ty[i], tz[i]};
            designRows(R, Dx, Dy, Dz, p.scale, sx[i], sy[i], sz[i], rows);
            for (std::size_t c = 0; c < 3; ++c) {
                const std::size_t row = 3 * i + c;
                // rows[c][0] is R·p, the derivative by the scale.
                r[row] = target[c] - (p.scale * rows[c][0] + shift[c]);
                std::copy(rows[c].begin(), rows[c].end(), A[row].begin());
            }
        }
        Transpose(A, At);
        MatVecMul(At, r, u);
        MatMul(At, A, N);
        if (SolveLinear(N, u, dx) != MatrixError::None) {
            // A singular normal system: the points do not fix the
            // parameters, so keep the last ones.
            e.status = EstimationStatus::Singular;
            break;
        }
        p.scale += dx[0];
        p.rotX += dx[1];
        p.rotY += dx[2];
        p.rotZ += dx[3];
        p.shiftX += dx[4];
        p.shiftY += dx[5];
        p.shiftZ += dx[6];
        if (std::fabs(dx[0]) < cm && std::fabs(dx[1]) < ce && std::fabs(dx[2]) < ce &&
            std::fabs(dx[3]) < ce && std::fabs(dx[4]) < ct && std::fabs(dx[5]) < ct &&
            std::fabs(dx[6]) < ct)
            break;
    }

    // Back from the reduced frame to the original coordinates.
    const TransformationMatrix M = Transformation(p).matrix();
    p.shiftX = (mTX + M[0][3]) - mSX * M[0][0] - mSY * M[0][1] - mSZ * M[0][2];
    p.shiftY = (mTY + M[1][3]) - mSX * M[1][0] - mSY * M[1][1] - mSZ * M[1][2];
    p.shiftZ = (mTZ + M[2][3]) - mSX * M[2][0] - mSY * M[2][1] - mSZ * M[2][2];
    e.transformation = Transformation(p);
    e.iterations = k;
    return e;
}

std::array<std::array<Extended, 7>, 3> Transformation::Derivatives(Extended X, Extended Y,
                                                                   Extended Z) const
{
    const Trig t = trig(p_.rotX, p_.rotY, p_.rotZ);
    std::array<std::array<Extended, 7>, 3> rows;
    designRows(rotation(t), dRdx(t), dRdy(t), dRdz(t), p_.scale, X, Y, Z, rows);
    return rows;
}

void Transformation::ApplyTransformation(Extended& X, Extended& Y, Extended& Z) const
{
    const auto& M = m_;
    const Extended x = M[0][0] * X + M[0][1] * Y + M[0][2] * Z + M[0][3];
    const Extended y = M[1][0] * X + M[1][1] * Y + M[1][2] * Z + M[1][3];
    const Extended z = M[2][0] * X + M[2][1] * Y + M[2][2] * Z + M[2][3];
    X = x;
    Y = y;
    Z = z;
}

MatrixError Transformation::ApplyInverseTransformation(Extended& X, Extended& Y, Extended& Z) const
{
    TMatrix sR(3, TVector(3));
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            sR[i][j] = m_[i][j];
    const TVector b = {X - m_[0][3], Y - m_[1][3], Z - m_[2][3]};
    TVector p;
    const MatrixError error = SolveLinear(sR, b, p);
    if (error != MatrixError::None)
        return error;
    X = p[0];
    Y = p[1];
    Z = p[2];
    return MatrixError::None;
}

}  // namespace korthal
