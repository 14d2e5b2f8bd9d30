#include "geodesy/EMatrix.h"

#include <cmath>
#include <cstdint>

namespace korthal {

const char* const kMsgColsDiffer =
    "Οι στήλες του Α διαφέρουν απο τις γραμμές του Β\rκαι δεν μπορεί να γίνει ο πολλαπλασιασμός";
const char* const kMsgDimensions = "Οι διαστάσεις των πινάκων δεν είναι συμβατές";
const char* const kMsgNotIndependent =
    "Οι εξισώσεις δεν είναι ανεξάρτητες\rΤο σύστημα έχει άπειρες λύσεις";

const char* messageText(MatrixError e)
{
    switch (e) {
    case MatrixError::ColsDiffer: return kMsgColsDiffer;
    case MatrixError::Dimensions: return kMsgDimensions;
    case MatrixError::NotIndependent: return kMsgNotIndependent;
    case MatrixError::None: break;
    }
    return "";
}

MatrixError MatMul(const TMatrix& A, const TMatrix& B, TMatrix& C)
{
    if (Cols(A) != Rows(B)) {
        C.clear();
        return MatrixError::ColsDiffer;
    }
    const std::size_t n = Rows(A), m = Cols(B), inner = Cols(A);
    C.assign(n, TVector(m, 0));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < m; ++j) {
            Extended sum = 0;
            for (std::size_t k = 0; k < inner; ++k)
                sum = A[i][k] * B[k][j] + sum;
            C[i][j] = sum;
        }
    return MatrixError::None;
}

MatrixError MatVecMul(const TMatrix& A, const TVector& v, TVector& r)
{
    if (Cols(A) != v.size()) {
        r.clear();
        return MatrixError::ColsDiffer;
    }
    const std::size_t n = Rows(A), inner = Cols(A);
    r.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        Extended sum = 0;
        for (std::size_t k = 0; k < inner; ++k)
            sum = A[i][k] * v[k] + sum;
        r[i] = sum;
    }
    return MatrixError::None;
}

void Transpose(const TMatrix& A, TMatrix& T)
{
    const std::size_t n = Rows(A), m = Cols(A);
    T.assign(m, TVector(n, 0));
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < n; ++j)
            T[i][j] = A[j][i];
}

void CopyMatrix(const TMatrix& A, TMatrix& B)
{
    B = A;
}

void CopyVector(const TVector& v, TVector& w)
{
    w = v;
}

MatrixError SolveLinear(const TMatrix& A, const TVector& b, TVector& x)
{
    const std::size_t n = Rows(A);
    if (Cols(A) != n || b.size() != n) {
        x.clear();
        return MatrixError::Dimensions;
    }
    TMatrix a;
    TVector bb;
    CopyMatrix(A, a);
    CopyVector(b, bb);
    x.assign(n, 0);
    std::vector<std::uint16_t> p(n);
    for (std::size_t i = 0; i < n; ++i)
        p[i] = static_cast<std::uint16_t>(i);

    for (std::size_t k = 0; k < n; ++k) {
        std::size_t best = k;
        for (std::size_t j = k + 1; j < n; ++j)
            if (std::fabs(a[p[j]][k]) > std::fabs(a[p[best]][k]))
                best = j;
        if (best != k)
            std::swap(p[k], p[best]);
        const std::size_t r = p[k];
        if (std::fabs(a[r][k]) < 1e-10L) {
            x.clear();
            return MatrixError::NotIndependent;
        }
        const Extended pivot = a[r][k];
        for (std::size_t j = 0; j < n; ++j)
            a[r][j] = a[r][j] / pivot;
        bb[r] = bb[r] / pivot;
        for (std::size_t i = 0; i < n; ++i) {
            if (i == k)
                continue;
            const std::size_t q = p[i];
            const Extended f = a[q][k];
            if (f != 0) {
                for (std::size_t j = k + 1; j < n; ++j)
                    a[q][j] = a[q][j] - f * a[r][j];
                bb[q] = bb[q] - f * bb[r];
                a[q][k] = 0;
            }
        }
    }
    for (std::size_t k = 0; k < n; ++k)
        x[k] = bb[p[k]];
    return MatrixError::None;
}

Extended IntPower(int n, Extended x)
{
    Extended r = 1;
    for (int i = 0; i < n; ++i)
        r = r * x;
    return r;
}

}  // namespace korthal
