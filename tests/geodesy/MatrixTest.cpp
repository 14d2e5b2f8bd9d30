#include "geodesy/EMatrix.h"

#include <gtest/gtest.h>

using namespace korthal;

TEST(SolveLinear, SolvesThroughTheRowPermutationAndLeavesTheInputAlone)
{
    TVector x;
    EXPECT_EQ(SolveLinear({{2}}, {4}, x), MatrixError::None);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_EQ(x[0], 2);

    // Column 0 is zero in row 0: the pivot search must take row 1 first.
    const TMatrix A{{0, 2, 1}, {3, 1, 0}, {1, 1, 1}};
    const TVector b{5, 5, 6};
    TMatrix Acopy = A;
    TVector bcopy = b;
    EXPECT_EQ(SolveLinear(A, b, x), MatrixError::None);
    ASSERT_EQ(x.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        Extended lhs = 0;
        for (std::size_t j = 0; j < 3; ++j)
            lhs += A[i][j] * x[j];
        EXPECT_NEAR(static_cast<double>(lhs), static_cast<double>(b[i]), 1e-15);
    }
    EXPECT_EQ(A, Acopy);
    EXPECT_EQ(b, bcopy);
}

TEST(SolveLinear, ReportsDependentAndMisshapenSystems)
{
    TVector x{9, 9};
    const MatrixError dependent = SolveLinear({{1, 2}, {1, 2}}, {3, 3}, x);
    EXPECT_TRUE(x.empty());
    EXPECT_EQ(dependent, MatrixError::NotIndependent);
    EXPECT_STREQ(messageText(dependent),
                 "Οι εξισώσεις δεν είναι ανεξάρτητες\rΤο σύστημα έχει άπειρες λύσεις");

    x = {1};
    const MatrixError misshapen = SolveLinear({{1, 2}}, {3}, x);
    EXPECT_TRUE(x.empty());
    EXPECT_EQ(misshapen, MatrixError::Dimensions);
    EXPECT_STREQ(messageText(misshapen), "Οι διαστάσεις των πινάκων δεν είναι συμβατές");
    EXPECT_STREQ(messageText(MatrixError::None), "");
}

TEST(MatMul, ProductsAndTheShapeMessage)
{
    TMatrix C;
    EXPECT_EQ(MatMul({{1, 2}, {3, 4}}, {{5, 6}, {7, 8}}, C), MatrixError::None);
    EXPECT_EQ(C, (TMatrix{{19, 22}, {43, 50}}));
    TVector r;
    EXPECT_EQ(MatVecMul({{1, 2}, {3, 4}, {5, 6}}, {1, 1}, r), MatrixError::None);
    EXPECT_EQ(r, (TVector{3, 7, 11}));
    TMatrix T;
    Transpose({{1, 2, 3}}, T);
    EXPECT_EQ(T, (TMatrix{{1}, {2}, {3}}));

    EXPECT_EQ(MatMul({{1, 2}, {3, 4}, {5, 6}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, C),
              MatrixError::ColsDiffer);
    EXPECT_TRUE(C.empty());
    EXPECT_EQ(MatVecMul({{1, 2}}, {1, 2, 3}, r), MatrixError::ColsDiffer);
    EXPECT_TRUE(r.empty());
    EXPECT_STREQ(messageText(MatrixError::ColsDiffer),
                 "Οι στήλες του Α διαφέρουν απο τις γραμμές του Β\rκαι δεν μπορεί να γίνει ο "
                 "πολλαπλασιασμός");
}

TEST(IntPower, RepeatedMultiplication)
{
    EXPECT_EQ(IntPower(0, 7), 1);
    EXPECT_EQ(IntPower(-2, 7), 1);
    EXPECT_EQ(IntPower(3, 1.5L), 1.5L * 1.5L * 1.5L);
}
