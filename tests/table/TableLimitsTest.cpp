// The table engine and its files with values and texts at the edges of what
// a file can hold.

#include "table/MemTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace korthal;

TEST(TableLimits, FloatsReadAsIntegersStayDefined)
{
    MemTable t("T");
    t.addField(FieldDef("v", FieldType::Float));
    const Rec r = t.appendRecord();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        long long integer;
    } cases[] = {{1e30, std::numeric_limits<long long>::max()},
                 {-1e30, std::numeric_limits<long long>::min()},
                 {9223372036854775807.0, std::numeric_limits<long long>::max()},
                 {-9223372036854775808.0, std::numeric_limits<long long>::min()},
                 {-2.9, -2},
                 {inf, std::numeric_limits<long long>::max()},
                 {std::nan(""), 0}};
    for (const auto& c : cases) {
        t.setFloat(r, 0, c.value);
        EXPECT_EQ(t.getInteger(r, 0), c.integer) << c.value;
        EXPECT_EQ(t.view(r).asInteger(0), c.integer) << c.value;
        EXPECT_EQ(truncatedInteger(c.value), c.integer) << c.value;
    }
}
