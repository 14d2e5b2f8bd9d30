// The search of the calculator's sheet list: a name typed in any case, with
// or without accents, in part or whole, or the publisher's number.

#include "geodesy/HattSheets.h"
#include "network/SystemsCalculator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace korthal;

TEST(SheetSearch, NamesAndNumbers)
{
    const HattSheets& sheets = HattSheets::builtIn();
    const int alexandreia = sheets.withName("Αλεξάνδρεια");
    ASSERT_GE(alexandreia, 0);
    EXPECT_EQ(sheets[alexandreia].number, 26);
    // The whole name, however spelled, first; a part of it finds it too.
    for (const char* q : {"Αλεξάνδρεια", "ΑΛΕΞΑΝΔΡΕΙΑ", "αλεξανδρεια", "Αλεξ", "ξάνδρ", "26"}) {
        const std::vector<int> found = searchSheets(q);
        ASSERT_FALSE(found.empty()) << q;
        EXPECT_EQ(found.front(), alexandreia) << q;
    }
    // A number that stands for two sheets gives both first; "2" begins 26.
    const std::vector<int> eight = searchSheets("8");
    ASSERT_GE(eight.size(), 2u);
    EXPECT_EQ(sheets[eight[0]].number, 8);
    EXPECT_EQ(sheets[eight[1]].number, 8);
    const std::vector<int> two = searchSheets("2");
    EXPECT_NE(std::find(two.begin(), two.end(), alexandreia), two.end());
    for (int s : two)
        EXPECT_EQ(std::to_string(sheets[s].number).front(), '2');
    // Nothing for a name no sheet has; every sheet for an empty search.
    EXPECT_TRUE(searchSheets("Ατλαντίδα").empty());
    EXPECT_EQ(searchSheets("").size(), sheets.size());
    EXPECT_EQ(sheetLabel(alexandreia), "26  Αλεξάνδρεια");
}
