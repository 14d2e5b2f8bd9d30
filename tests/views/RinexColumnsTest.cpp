// What the observation viewer's grid shows: its columns and the column list,
// the ticks taken from the companion settings file, cell texts and colours,
// the path of a point's table file, the listing of the visible columns.

#include "views/RinexColumns.h"

#include "support/Files.h"
#include "views/RinexReader.h"
#include "views/RinexTable.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korthal;
using namespace korthal::rinex;
using namespace korthal::test;

namespace {

// Two epochs of two satellites, with a flag, an LLI digit and strengths.
struct SmallTable {
    RinexTable rt;
    NumberText numbers{Separators{',', '.'}};
    SmallTable()
    {
        ObservationRecord o;
        o.year = 2005, o.month = 4, o.day = 2;
        o.hour = 0, o.min = 45, o.sec = 30.004;
        for (int e = 1; e <= 2; ++e) {
            o.epoxh = e;
            o.flag = e == 2 ? 1 : 0;
            for (int prn : {7, 3}) {
                o.prn = prn;
                o.slotValues = {};
                o.slotValues[SlotC1] = {24165911.179, 0, 8};
                o.slotValues[SlotL1] = {-1721275.980, prn == 7 ? 1 : 0, 0};
                appendObservation(rt.table(), o);
            }
            o.sec += 30;
        }
    }
    Rec at(int row) const { return rt.table().recAt(row); }
};

}  // namespace

TEST(RinexColumns, GridColumnsAndTheColumnList)
{
    const auto& cols = gridColumns();
    RinexTable rt;
    // Items 0-27 govern the columns whose fields they name ("C1-LLI": C1LLI).
    for (int item = 0; item < 28; ++item) {
        std::string name = columnItems()[static_cast<std::size_t>(item)];
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        const int column = gridColumnOfItem(item);
        EXPECT_EQ(rt.table().field(cols[static_cast<std::size_t>(column)].field).name, name);
    }
    for (int item = 28; item < kColumnItems; ++item) {
        EXPECT_EQ(gridColumnOfItem(item), -1);
        EXPECT_EQ(chartSlotOfItem(item), 0);
    }
    EXPECT_EQ(std::string(columnItems()[32]), "Σχόλια");
    // Titles and widths.
    struct Expect {
        int column;
        const char* title;
        int width;
    } expected[] = {{0, "α/α", 31},     {2, "ώρα", 106},
                    {4, "PRN", 39},     {5, "m", 85},
                    {6, "status", 64},  {7, "ποιότητα σήματος", 60},
                    {14, "m", 85},      {17, "κύκλοι", 85},
                    {20, "cycle slips", 50}, {21, "αρχική ασάφεια", 85},
                    {27, "κύκλοι", 85}, {33, "σχόλια", 272}};
    for (const Expect& e : expected) {
        EXPECT_EQ(std::string(cols[static_cast<std::size_t>(e.column)].title), e.title) << e.column;
        EXPECT_EQ(cols[static_cast<std::size_t>(e.column)].width, e.width) << e.column;
    }
    EXPECT_EQ(indexForTitleClick(4), "byPRN");
    EXPECT_EQ(indexForTitleClick(0), "byEpoxh");
    EXPECT_EQ(indexForTitleClick(3), "byEpoxh");
    EXPECT_EQ(indexForTitleClick(5), "");

    // Unticking "L1" hides the L1 column and its tab; "L1-slip" its column only.
    ColumnChecks checks;
    checks.fill(true);
    checks[static_cast<std::size_t>(itemOfSlot(SlotL1))] = false;
    checks[15] = false;  // L1-slip
    checks[32] = false;  // "Σχόλια" governs nothing
    const ColumnVisibility v = visibilityOf(checks);
    EXPECT_FALSE(v.column[17]);
    EXPECT_FALSE(v.chartTab[SlotL1]);
    EXPECT_FALSE(v.column[20]);
    EXPECT_TRUE(v.column[21]);
    EXPECT_TRUE(v.chartTab[SlotL2]);
    EXPECT_TRUE(v.column[33]);
    EXPECT_EQ(std::count(v.column.begin(), v.column.end(), false), 2);
}

TEST(RinexColumns, TicksAndPositionFromTheSettingsFile)
{
    TempDir dir("rinex_types");
    const std::string ini = writeBytes(dir.file("P.INI"),
                                       "[Types]\r\nnTypes=3\r\nL1=1\r\nC1=1\r\nS1=1\r\nP2=0\r\n"
                                       "[POSITION]\r\nXo=4595212,4688\r\nYo=2039444,37\r\n");
    const NumberText numbers(Separators{',', '.'});
    ColumnChecks current;
    current.fill(true);
    current[29] = false;  // "N1": left as it was
    const ObservationTypesView v = readObservationTypes(ini, current, numbers);
    for (int item = 0; item < 28; ++item) {
        const std::string name = columnItems()[static_cast<std::size_t>(item)];
        EXPECT_EQ(v.checks[static_cast<std::size_t>(item)], name == "L1" || name == "C1") << name;
    }
    EXPECT_TRUE(v.checks[28]);
    EXPECT_FALSE(v.checks[29]);
    EXPECT_EQ(v.Xo, "4595212,4688");
    EXPECT_EQ(v.Yo, "2039444,37");
    EXPECT_EQ(v.Ho, "0");

    // No settings file: every value column and chart tab hidden.
    const ObservationTypesView none = readObservationTypes(dir.file("none.INI"), current, numbers);
    const ColumnVisibility hidden = visibilityOf(none.checks);
    for (int slot = 1; slot <= kSlotCount; ++slot)
        EXPECT_FALSE(hidden.chartTab[static_cast<std::size_t>(slot)]);
    EXPECT_EQ(none.Xo, "0");
}

TEST(RinexColumns, CellTextsAndColours)
{
    SmallTable s;
    const MemTable& t = s.rt.table();
    // Epoch order: epoch 1 satellites 3 and 7, then epoch 2.
    const Rec first = s.at(0), lost = s.at(1), flagged = s.at(2);
    EXPECT_EQ(cellText(t, first, rnx::PRN, s.numbers), "G03");
    EXPECT_EQ(cellText(t, first, rnx::Date, s.numbers), "2/4/05");
    EXPECT_EQ(cellText(t, first, rnx::Health, s.numbers), "normal");
    EXPECT_FALSE(cellIsRed(t, first, rnx::Health));
    EXPECT_EQ(cellText(t, first, rnx::C1, s.numbers), "24.165.911,179");
    EXPECT_EQ(cellText(t, first, rnx::L1, s.numbers), "-1.721.275,980");
    EXPECT_EQ(cellText(t, first, rnx::C2, s.numbers), "");  // zero shows empty
    EXPECT_EQ(cellText(t, first, rnx::L1slip, s.numbers), "");
    EXPECT_EQ(cellText(t, first, rnx::L1amb, s.numbers), "");
    EXPECT_EQ(cellText(t, first, rnx::C1str, s.numbers), "excelent");
    EXPECT_EQ(cellText(t, first, rnx::L1str, s.numbers), "");
    EXPECT_EQ(cellText(t, first, rnx::C1LLI, s.numbers), "ok");
    EXPECT_FALSE(cellIsRed(t, first, rnx::L1LLI));
    EXPECT_EQ(cellText(t, lost, rnx::L1LLI, s.numbers), "Lost Lock");
    EXPECT_TRUE(cellIsRed(t, lost, rnx::L1LLI));
    EXPECT_FALSE(cellIsRed(t, lost, rnx::C1str));
    EXPECT_EQ(cellText(t, flagged, rnx::Health, s.numbers), "Powered OFF");
    EXPECT_TRUE(cellIsRed(t, flagged, rnx::Health));
    EXPECT_EQ(cellAlignment(rnx::C1), CellAlign::Right);
    EXPECT_EQ(cellAlignment(rnx::L2LLI), CellAlign::Centre);
    EXPECT_EQ(cellAlignment(rnx::Sxolio), CellAlign::Left);

    // The two colours: pale yellow and pale blue.
    EXPECT_EQ(colourRed(kFirstRowColour), 251);
    EXPECT_EQ(colourGreen(kFirstRowColour), 251);
    EXPECT_EQ(colourBlue(kFirstRowColour), 238);
    EXPECT_EQ(colourRed(kSecondRowColour), 238);
    EXPECT_EQ(colourGreen(kSecondRowColour), 240);
    EXPECT_EQ(colourBlue(kSecondRowColour), 251);

    // Epoch order: odd epochs in the second colour, even in the first.
    RowColours colours;
    colours.reset(t);
    EXPECT_EQ(colours.colourOf(t, s.at(0)), kSecondRowColour);
    EXPECT_EQ(colours.colourOf(t, s.at(1)), kSecondRowColour);
    EXPECT_EQ(colours.colourOf(t, s.at(2)), kFirstRowColour);
    // Satellite order: the colour changes at each new satellite, whatever
    // order the rows are asked in.
    ASSERT_TRUE(s.rt.table().setIndex("byPRN"));
    colours.reset(t);
    const std::uint32_t expected[4] = {kSecondRowColour, kSecondRowColour, kFirstRowColour,
                                       kFirstRowColour};
    for (int row = 3; row >= 0; --row)
        EXPECT_EQ(colours.colourOf(t, s.at(row)), expected[row]) << row;
}

TEST(RinexColumns, TableFilePaths)
{
    EXPECT_EQ(rinexTablePath("TEMP.WGS84", 7), "./RINEX/TEMP000007.RNX");
    EXPECT_EQ(rinexTablePath("/home/ann/jobs/a.b.WGS84", 123456), "/home/ann/jobs/RINEX/a.b123456.RNX");
    EXPECT_EQ(rinexTablePath("C:\\jobs\\NET.WGS84", 0), "./RINEX/NET000000.RNX");
    EXPECT_EQ(rinexTablePath("NET", 12), "./RINEX/NET000012.RNX");
    // A million and more: all digits, so that point 1000005 is not point 5.
    EXPECT_EQ(rinexTablePath("NET.WGS84", 1000005), "./RINEX/NET1000005.RNX");
}

TEST(RinexColumns, ListingOfTheVisibleColumns)
{
    SmallTable s;
    const std::vector<int> columns{0, 2, 3, 4, 5, 18, 33};
    const auto file = observationListing(s.rt.table(), columns, s.numbers, "Παρατηρήσεις", true);
    ASSERT_EQ(file.size(), 1u);
    const auto& lines = file[0];
    ASSERT_EQ(lines.size(), 6u + 4u);
    EXPECT_EQ(lines[4],
              "   α/α  ώρα                    status          PRN                 C1  L1-LLI     σχόλια");
    EXPECT_EQ(lines[7],
              "     1   0 : 45 :  30" + std::string(1, localeSeparators().decimal) +
                  "0040000  normal          G07     24.165.911,179  Lost Lock");
    // The heading is centred over the listing's 102 characters (the comment
    // column is 20 wide).
    EXPECT_EQ(lines[1].find("Παρατηρήσεις"), (102u - 12u) / 2);

    // For the printer: five blank lines first, pages of at most 87 lines.
    RinexTable big;
    ObservationRecord o;
    o.year = 2005, o.month = 4, o.day = 2;
    for (int e = 1; e <= 200; ++e) {
        o.epoxh = e;
        appendObservation(big.table(), o);
    }
    const auto pages = observationListing(big.table(), columns, s.numbers, "x", false);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0][5].find("Korthal") != std::string::npos, true);
    for (const auto& page : pages)
        EXPECT_LE(page.size(), 87u);
    std::size_t records = 0;
    for (const auto& page : pages)
        records += page.size();
    EXPECT_EQ(records, 5u + 6u + 200u + 2u * (pages.size() - 1));
}
