#include "geodesy/Dialogs.h"
#include "geodesy/EMatrix.h"

#include <gtest/gtest.h>

using namespace korthal;

TEST(SolveLinear, SolvesThroughTheRowPermutationAndLeavesTheInputAlone)
{
    RecordingDialogs rec;
    TVector x;
    SolveLinear({{2}}, {4}, x);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_EQ(x[0], 2);

    // Column 0 is zero in row 0: the pivot search must take row 1 first.
    const TMatrix A{{0, 2, 1}, {3, 1, 0}, {1, 1, 1}};
    const TVector b{5, 5, 6};
    TMatrix Acopy = A;
    TVector bcopy = b;
    SolveLinear(A, b, x);
    ASSERT_EQ(x.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        Extended lhs = 0;
        for (std::size_t j = 0; j < 3; ++j)
            lhs += A[i][j] * x[j];
        EXPECT_NEAR(static_cast<double>(lhs), static_cast<double>(b[i]), 1e-15);
    }
    EXPECT_EQ(A, Acopy);
    EXPECT_EQ(b, bcopy);
    EXPECT_TRUE(rec.entries.empty());
}

TEST(SolveLinear, ReportsDependentAndMisshapenSystems)
{
    RecordingDialogs rec;
    TVector x{9, 9};
    SolveLinear({{1, 2}, {1, 2}}, {3, 3}, x);
    EXPECT_TRUE(x.empty());
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0],
              "Οι εξισώσεις δεν είναι ανεξάρτητες\rΤο σύστημα έχει άπειρες λύσεις");

    rec.clear();
    x = {1};
    SolveLinear({{1, 2}}, {3}, x);
    EXPECT_TRUE(x.empty());
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0], "Οι διαστάσεις των πινάκων δεν είναι συμβατές");
}

TEST(MatMul, ProductsAndTheShapeMessage)
{
    RecordingDialogs rec;
    TMatrix C;
    MatMul({{1, 2}, {3, 4}}, {{5, 6}, {7, 8}}, C);
    EXPECT_EQ(C, (TMatrix{{19, 22}, {43, 50}}));
    TVector r;
    MatVecMul({{1, 2}, {3, 4}, {5, 6}}, {1, 1}, r);
    EXPECT_EQ(r, (TVector{3, 7, 11}));
    TMatrix T;
    Transpose({{1, 2, 3}}, T);
    EXPECT_EQ(T, (TMatrix{{1}, {2}, {3}}));
    EXPECT_TRUE(rec.entries.empty());

    MatMul({{1, 2}, {3, 4}, {5, 6}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, C);
    EXPECT_TRUE(C.empty());
    MatVecMul({{1, 2}}, {1, 2, 3}, r);
    EXPECT_TRUE(r.empty());
    const std::string m1 =
        "Οι στήλες του Α διαφέρουν απο τις γραμμές του Β\rκαι δεν μπορεί να γίνει ο πολλαπλασιασμός";
    EXPECT_EQ(rec.messages(), (std::vector<std::string>{m1, m1}));
}

TEST(IntPower, RepeatedMultiplication)
{
    EXPECT_EQ(IntPower(0, 7), 1);
    EXPECT_EQ(IntPower(-2, 7), 1);
    EXPECT_EQ(IntPower(3, 1.5L), 1.5L * 1.5L * 1.5L);
}
