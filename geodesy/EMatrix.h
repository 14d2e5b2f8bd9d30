#pragma once
// Small dense linear algebra in extended precision, for the estimation of
// transformation parameters and the inverse 3-D transformation.
//
// Misuse (shapes that do not fit, a singular system) never throws and shows
// nothing: the result is emptied and the routine returns what went wrong;
// messageText() gives the text the caller shows.

#include "geodesy/Extended.h"

#include <vector>

namespace korthal {

using TVector = std::vector<Extended>;
using TMatrix = std::vector<TVector>;  // rows first: A[i][j] is row i, column j

// The three messages, exact texts ('\r' separates lines).
extern const char* const kMsgColsDiffer;      // M1
extern const char* const kMsgDimensions;      // M2
extern const char* const kMsgNotIndependent;  // M3

// What a matrix routine met.
enum class MatrixError {
    None,
    ColsDiffer,      // the inner dimensions of a product differ (M1)
    Dimensions,      // a system that is not square, or b of another length (M2)
    NotIndependent,  // a pivot below 1e-10: the system is singular (M3)
};
// The message of an error, empty for None.
const char* messageText(MatrixError e);

inline std::size_t Rows(const TMatrix& a) { return a.size(); }
inline std::size_t Cols(const TMatrix& a) { return a.empty() ? 0 : a[0].size(); }

// C = A·B. Cols(A) must equal Rows(B), else C is emptied (ColsDiffer).
MatrixError MatMul(const TMatrix& A, const TMatrix& B, TMatrix& C);
// r = A·v. Cols(A) must equal Length(v), else r is emptied (ColsDiffer).
MatrixError MatVecMul(const TMatrix& A, const TVector& v, TVector& r);
void Transpose(const TMatrix& A, TMatrix& T);
void CopyMatrix(const TMatrix& A, TMatrix& B);
void CopyVector(const TVector& v, TVector& w);
// Solves A·x = b by Gauss–Jordan elimination with partial pivoting through a
// row permutation; A and b are not changed. Not square: Dimensions; a pivot
// below 1e-10: NotIndependent. On failure x is empty.
MatrixError SolveLinear(const TMatrix& A, const TVector& b, TVector& x);
// x to the power n by repeated multiplication; 1 for n <= 0.
Extended IntPower(int n, Extended x);

}  // namespace korthal
