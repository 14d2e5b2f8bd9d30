// Estimation and application of the similarity transformation.

#include "geodesy/Transformation.h"

#include "geodesy/Angles.h"
#include "geodesy/Dialogs.h"
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

}  // namespace

void Transformation::BuildTransformationMatrix()
{
    const Mat3 R = rotation(trig(TrRotX, TrRotY, TrRotZ));
    const Extended shifts[3] = {TrShiftX, TrShiftY, TrShiftZ};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j)
            TrMatrix[i][j] = TrScale * R[i][j];
        TrMatrix[i][3] = shifts[i];
    }
}

void Transformation::ResetTransformation()
{
    TrScale = 1;
    TrRotX = TrRotY = TrRotZ = 0;
    TrShiftX = TrShiftY = TrShiftZ = 0;
    BuildTransformationMatrix();
}

void Transformation::Estimate2DSimilarity(const TVector& XT, const TVector& YT,
                                          const TVector& XS, const TVector& YS)
{
    const std::size_t n = XT.size();
    if (YT.size() != n || XS.size() != n || YS.size() != n) {
        showMessage(kMsgCountsDiffer, MsgIcon::Exclamation);
        return;
    }
    if (n < 2) {
        showMessage(kMsgNeedTwoPoints, MsgIcon::Exclamation);
        return;
    }
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
    if (Q == 0) {
        // All source points coincide: no direction to fit.
        showMessage(kMsgNeedTwoPoints, MsgIcon::Exclamation);
        return;
    }
    const Extended a = S1 / Q;
    const Extended b = S2 / Q;
    const Extended nn = Extended(n);
    TrScale = std::sqrt(a * a + b * b);
    if (S1 != 0)
        TrRotZ = std::atan(S2 / S1);
    else
        TrRotZ = S2 > 0 ? kPi / 2 : (S2 < 0 ? -kPi / 2 : 0);
    TrRotX = TrRotY = 0;
    TrShiftX = sumX / nn - (xm * a + ym * b);
    TrShiftY = sumY / nn + (xm * b - ym * a);
    TrShiftZ = 0;
    TrMatrix = {{{a, b, 0, TrShiftX}, {-b, a, 0, TrShiftY}, {0, 0, 1, 0}}};
}

int Transformation::EstimateTransformation(const TVector& XT, const TVector& YT,
                                           const TVector& ZT, const TVector& XS,
                                           const TVector& YS, const TVector& ZS,
                                           const ConvergenceCriteria& criteria)
{
    const std::size_t n = XT.size();
    if (n < 3) {
        showMessage(kMsgNeedThreePoints);
        return 0;
    }
    if (YT.size() != n || ZT.size() != n || XS.size() != n || YS.size() != n || ZS.size() != n) {
        // Callers pair every target with its source; vectors of different
        // lengths would be read past their end.
        showMessage(kMsgCountsDiffer, MsgIcon::Exclamation);
        return 0;
    }

    TrScale = 1;
    TrRotX = TrRotY = TrRotZ = 0;
    TrShiftX = TrShiftY = TrShiftZ = 0;

    // Centroid-reduced copies.
    const Extended mTX = mean(XT), mTY = mean(YT), mTZ = mean(ZT);
    const Extended mSX = mean(XS), mSY = mean(YS), mSZ = mean(ZS);
    const TVector tx = reduced(XT, mTX), ty = reduced(YT, mTY), tz = reduced(ZT, mTZ);
    const TVector sx = reduced(XS, mSX), sy = reduced(YS, mSY), sz = reduced(ZS, mSZ);

    const Extended cm = Extended(criteria.maxDm) / 1e12L;
    const Extended ce = Extended(criteria.maxDe) / 1e12L;
    const Extended ct = Extended(criteria.maxDt) / 1e12L;

    TVector r(3 * n);
    TMatrix A(3 * n, TVector(7));
    TMatrix At, N;
    TVector u, dx;
    int k = 0;
    for (;;) {
        ++k;
        if (k > kMaxIterations) {
            showMessage(kMsgNoConvergence);
            k = kMaxIterations;
            break;
        }
        const Trig t = trig(TrRotX, TrRotY, TrRotZ);
        const Mat3 R = rotation(t);
        const Mat3 Dx = dRdx(t), Dy = dRdy(t), Dz = dRdz(t);
        const Extended shift[3] = {TrShiftX, TrShiftY, TrShiftZ};
        std::array<std::array<Extended, 7>, 3> rows;
        for (std::size_t i = 0; i < n; ++i) {
            const Extended target[3] = {tx[i], ty[i], tz[i]};
            designRows(R, Dx, Dy, Dz, TrScale, sx[i], sy[i], sz[i], rows);
            for (std::size_t c = 0; c < 3; ++c) {
                const std::size_t row = 3 * i + c;
                // rows[c][0] is R·p, the derivative by the scale.
                r[row] = target[c] - (TrScale * rows[c][0] + shift[c]);
                std::copy(rows[c].begin(), rows[c].end(), A[row].begin());
            }
        }
        Transpose(A, At);
        MatVecMul(At, r, u);
        MatMul(At, A, N);
        SolveLinear(N, u, dx);
        if (dx.size() != 7) {
            // A singular normal system (the solver has said so): the points do
            // not fix the parameters, so keep the last ones.
            break;
        }
        TrScale += dx[0];
        TrRotX += dx[1];
        TrRotY += dx[2];
        TrRotZ += dx[3];
        TrShiftX += dx[4];
        TrShiftY += dx[5];
        TrShiftZ += dx[6];
        if (std::fabs(dx[0]) < cm && std::fabs(dx[1]) < ce && std::fabs(dx[2]) < ce &&
            std::fabs(dx[3]) < ce && std::fabs(dx[4]) < ct && std::fabs(dx[5]) < ct &&
            std::fabs(dx[6]) < ct)
            break;
    }

    // Back from the reduced frame to the original coordinates.
    BuildTransformationMatrix();
    const auto& M = TrMatrix;
    TrShiftX = (mTX + M[0][3]) - mSX * M[0][0] - mSY * M[0][1] - mSZ * M[0][2];
    TrShiftY = (mTY + M[1][3]) - mSX * M[1][0] - mSY * M[1][1] - mSZ * M[1][2];
    TrShiftZ = (mTZ + M[2][3]) - mSX * M[2][0] - mSY * M[2][1] - mSZ * M[2][2];
    TrMatrix[0][3] = TrShiftX;
    TrMatrix[1][3] = TrShiftY;
    TrMatrix[2][3] = TrShiftZ;
    return k;
}

std::array<std::array<Extended, 7>, 3> Transformation::Derivatives(Extended X, Extended Y,
                                                                   Extended Z) const
{
    const Trig t = trig(TrRotX, TrRotY, TrRotZ);
    std::array<std::array<Extended, 7>, 3> rows;
    designRows(rotation(t), dRdx(t), dRdy(t), dRdz(t), TrScale, X, Y, Z, rows);
    return rows;
}

void Transformation::ApplyTransformation(Extended& X, Extended& Y, Extended& Z) const
{
    const auto& M = TrMatrix;
    const Extended x = M[0][0] * X + M[0][1] * Y + M[0][2] * Z + M[0][3];
    const Extended y = M[1][0] * X + M[1][1] * Y + M[1][2] * Z + M[1][3];
    const Extended z = M[2][0] * X + M[2][1] * Y + M[2][2] * Z + M[2][3];
    X = x;
    Y = y;
    Z = z;
}

void Transformation::ApplyInverseTransformation(Extended& X, Extended& Y, Extended& Z) const
{
    TMatrix sR(3, TVector(3));
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            sR[i][j] = TrMatrix[i][j];
    const TVector b = {X - TrMatrix[0][3], Y - TrMatrix[1][3], Z - TrMatrix[2][3]};
    TVector p;
    SolveLinear(sR, b, p);
    if (p.size() != 3)
        return;  // a degenerate matrix; the solver has reported it
    X = p[0];
    Y = p[1];
    Z = p[2];
}

}  // namespace korthal
