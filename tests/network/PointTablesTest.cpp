#include "network/PointTables.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korthal;

namespace {

struct Network {
    DatumShiftTable shifts;
    MemTable gpsTable{"GPS"};
    Network() { defineGPS(gpsTable, shifts); }
    Rec add(const std::string& name, bool detail, double E = 0, double N = 0, double H = 0)
    {
        const Rec r = gpsTable.appendRecord();
        gpsTable.setString(r, gps::Name, name);
        gpsTable.setBoolean(r, gps::detailPoint, detail);
        gpsTable.setFloat(r, gps::E, E);
        gpsTable.setFloat(r, gps::N, N);
        gpsTable.setFloat(r, gps::H, H);
        return r;
    }
};

}  // namespace

TEST(PointTables, LayoutsAndLabels)
{
    Network n;
    std::string header;
    for (const FieldDef& f : n.gpsTable.fields())
        header += f.displayName() + "|";
    EXPECT_EQ(header,
              "ID|Σημείο|X  (m)|Y  (m)|Z  (m)|E  (m)|N  (m)|H  (m)|detailPoint|Perigrafh|Sxolio1|"
              "Sxolio2|Sxolio3|Sxolio4|Sxolio5|Sxolio6|αποχή|xxxxxx|f|l|hp|Hx|Hy|Hh|ApoxhHatt|");
    EXPECT_EQ(n.gpsTable.fieldCount(), gps::FieldCount);
    EXPECT_TRUE(n.gpsTable.field(gps::Hh).calculated);
    EXPECT_FALSE(n.gpsTable.field(gps::xxxxxx).calculated);

    MemTable g("GYS");
    defineGYS(g);
    header.clear();
    for (const FieldDef& f : g.fields())
        header += f.displayName() + "|";
    EXPECT_EQ(header,
              "ID|Σημείο|E  (m)|N  (m)|H  (m)|Perigrafh|Sxolio1|Sxolio2|Sxolio3|Sxolio4|Sxolio5|"
              "Sxolio6|αποχή|φ|λ|ορθομετρικό|xxxxxxx|");
    const Rec r = g.appendRecord();
    EXPECT_EQ(g.getValue(r, gys::H), Value(0.0));  // defaults
    EXPECT_EQ(g.getValue(r, gys::apoxh), Value(0.0));
    EXPECT_TRUE(g.isNull(r, gys::E));
}

TEST(PointTables, ReferencePointsSortFirstWhateverTheirName)
{
    Network n;
    n.add("AAA", true);
    n.add("ZZZ", false);
    n.add("BBB", true);
    n.add("MMM", false);
    std::vector<std::string> order;
    for (int row = 0; row < n.gpsTable.recordCount(); ++row)
        order.push_back(n.gpsTable.getString(n.gpsTable.recAt(row), gps::Name));
    EXPECT_EQ(order, (std::vector<std::string>{"MMM", "ZZZ", "AAA", "BBB"}));
    // A new record is a detail point by default.
    EXPECT_TRUE(n.gpsTable.getBoolean(n.gpsTable.appendRecord(), gps::detailPoint));
}

TEST(PointTables, CalculatedFields)
{
    Network n;
    const Rec r = n.add("P", true, 500000, 4200000, 100);
    n.gpsTable.setFloat(r, gps::apoxh, 30);
    const auto get = [&](int f) { return std::get<double>(n.gpsTable.fetch(r, f)); };
    // On the central meridian the longitude is 24° exactly.
    EXPECT_NEAR(get(gps::l), 24.0, 1e-9);
    EXPECT_GT(get(gps::f), 37.0);
    EXPECT_LT(get(gps::f), 38.0);
    EXPECT_NEAR(get(gps::hp), 130.0, 1e-6);  // h = H + undulation
    EXPECT_NEAR(get(gps::ApoxhHatt), 30 + (get(gps::Hh) - get(gps::hp)), 1e-9);
    EXPECT_GT(std::abs(get(gps::Hx)) + std::abs(get(gps::Hy)), 0.0);
    // Changing a stored value recomputes.
    n.gpsTable.setFloat(r, gps::H, 200);
    EXPECT_NEAR(get(gps::hp), 230.0, 1e-6);
    // Records with E, N of 0 are computed too, without failing.
    const Rec z = n.add("Z", true);
    EXPECT_TRUE(std::holds_alternative<double>(n.gpsTable.fetch(z, gps::Hx)));
}

TEST(PointTables, CellTexts)
{
    Network n;
    NumberText numbers(Separators{',', '.'});
    NumberSettings ns;
    ns.GPSDecimals[NumberDestination::Screen] = 3;
    ns.EGSA87Decimals[NumberDestination::Screen] = 2;
    ns.DMSDecimals[NumberDestination::Screen] = 5;
    const Rec r = n.add("R1", false, 476543.21, 4201234.5, 0);
    n.gpsTable.setFloat(r, gps::X, 4600000.125);
    n.gpsTable.setFloat(r, gps::Y, 0);
    auto cell = [&](int col, int view, bool geo = true) {
        return networkCellText(n.gpsTable, r, col, static_cast<NetworkView>(view),
                               geo ? InputForm::Geocentric : InputForm::Ellipsoidal, numbers, ns);
    };
    EXPECT_EQ(cell(0, 0), "R1");
    EXPECT_EQ(cell(1, 0), "4.600.000,125");
    EXPECT_EQ(cell(1, 0, false), "4.600.000,12500");  // DMS decimals for latitude input
    EXPECT_EQ(cell(2, 0), "");                        // zero shows empty
    EXPECT_EQ(cell(4, 0), "476.543,21");
    // H is 0: empty in every mode, although mode 1 would show hp there.
    EXPECT_EQ(cell(6, 1), "");
    EXPECT_EQ(cell(6, 2), "");
    const double f = std::get<double>(n.gpsTable.fetch(r, gps::f));
    EXPECT_EQ(cell(4, 1), numbers.formatFixed(f, 5));
    const double hx = std::get<double>(n.gpsTable.fetch(r, gps::Hx));
    EXPECT_EQ(cell(4, 2), numbers.formatFixed(hx, 3));
    EXPECT_EQ(cell(7, 2), "");  // apoxh null reads 0
    EXPECT_TRUE(networkCellIsRed(n.gpsTable, r, 0));
    EXPECT_FALSE(networkCellIsRed(n.gpsTable, r, 1));

    MemTable g("GYS");
    defineGYS(g);
    const Rec q = g.appendRecord();
    g.setFloat(q, gys::E, 1234.5);
    g.setFloat(q, gys::f, 0.6544984694978736);  // 37.5°
    EXPECT_EQ(referenceCellText(g, q, 1, numbers, ns), "1.234,50");
    EXPECT_EQ(referenceCellText(g, q, 3, numbers, ns), "");
    EXPECT_EQ(referenceCellText(g, q, 5, numbers, ns), "37,30000");
    EXPECT_EQ(referenceCellText(g, q, 6, numbers, ns), "");
    installGYSfGetText(g, ns, numbers.system());
    EXPECT_EQ(g.text(q, gys::f), "37,30000");
    ns.DMSDecimals[NumberDestination::Screen] = 2;
    EXPECT_EQ(g.text(q, gys::f), "37,30");
    EXPECT_EQ(g.text(q, gys::l), "");

    EXPECT_EQ(formatByDisplayFormat(kFmtMetres, 1234.5, {',', '.'}), "1.234,5000");
    EXPECT_EQ(formatByDisplayFormat(kFmtMetres, 0, {',', '.'}), "");
    EXPECT_EQ(formatByDisplayFormat(kFmtApoxh, 0, {'.', ','}), "0.0000");
    EXPECT_EQ(formatByDisplayFormat(kFmtPacked, 1234.5, {'.', ','}), "1234.5000000000");
}

TEST(PointTables, InputFormSwitchRoundTrip)
{
    Network n;
    const Rec a = n.add("A", true);
    n.gpsTable.setFloat(a, gps::X, 4591240.123);
    n.gpsTable.setFloat(a, gps::Y, 2029372.456);
    n.gpsTable.setFloat(a, gps::Z, 3898731.789);
    n.gpsTable.setFloat(a, gps::E, 111);
    const Rec origin = n.add("B", true);
    n.gpsTable.setFloat(origin, gps::X, 0);
    n.gpsTable.setFloat(origin, gps::Y, 0);
    n.gpsTable.setFloat(origin, gps::Z, 0);
    n.gpsTable.moveTo(origin);

    InputForm form = InputForm::Geocentric;
    EXPECT_FALSE(switchInputForm(n.gpsTable, form, InputForm::Geocentric));  // already down
    EXPECT_DOUBLE_EQ(n.gpsTable.getFloat(a, gps::X), 4591240.123);

    ASSERT_TRUE(switchInputForm(n.gpsTable, form, InputForm::Ellipsoidal));
    EXPECT_EQ(form, InputForm::Ellipsoidal);
    const double lat = n.gpsTable.getFloat(a, gps::X);
    EXPECT_GT(lat, 37.0);
    EXPECT_LT(lat, 39.0);
    EXPECT_EQ(n.gpsTable.getFloat(origin, gps::X), 0.0);  // the origin stays 0
    EXPECT_EQ(n.gpsTable.current(), origin);

    ASSERT_TRUE(switchInputForm(n.gpsTable, form, InputForm::Geocentric));
    EXPECT_NEAR(n.gpsTable.getFloat(a, gps::X), 4591240.123, 1e-3);
    EXPECT_NEAR(n.gpsTable.getFloat(a, gps::Y), 2029372.456, 1e-3);
    EXPECT_NEAR(n.gpsTable.getFloat(a, gps::Z), 3898731.789, 1e-3);
    EXPECT_EQ(n.gpsTable.getFloat(a, gps::E), 111.0);  // untouched
}

