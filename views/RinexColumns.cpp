#include "views/RinexColumns.h"

#include "project/PointFiles.h"

#include "project/IniFile.h"
#include "table/TextUtil.h"
#include "views/RinexReader.h"
#include "views/RinexTable.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

namespace korthal::rinex {

namespace {

constexpr int kValueWidth = 85;
constexpr int kDefaultWidth = 64;

bool isValueField(int f)
{
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (rnx::valueFieldOfSlot(slot) == f)
            return true;
    return f == rnx::L1amb || f == rnx::L2amb;
}

bool isLliField(int f)
{
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (rnx::valueFieldOfSlot(slot) + 1 == f)
            return true;
    return false;
}

bool isStrengthField(int f)
{
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (rnx::valueFieldOfSlot(slot) + 2 == f)
            return true;
    return false;
}

}  // namespace

const std::array<GridColumnDef, kGridColumns>& gridColumns()
{
    static const std::array<GridColumnDef, kGridColumns> cols = [] {
        std::array<GridColumnDef, kGridColumns> c{};
        c[0] = {rnx::epoxh, "α/α", 31, false};
        c[1] = {rnx::Date, "Date", 54, false};
        c[2] = {rnx::Time, "ώρα", 106, false};
        c[3] = {rnx::Health, "status", 70, false};
        c[4] = {rnx::PRN, "PRN", 39, true};
        int k = 5;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const int f = rnx::valueFieldOfSlot(slot);
            const bool metres = slot <= SlotP2;
            c[static_cast<std::size_t>(k++)] = {f, metres ? "m" : "κύκλοι", kValueWidth, false};
            c[static_cast<std::size_t>(k++)] = {f + 1, "status", kDefaultWidth, false};
            c[static_cast<std::size_t>(k++)] = {f + 2, "ποιότητα σήματος", 60, false};
            if (slot == SlotL1 || slot == SlotL2) {
                c[static_cast<std::size_t>(k++)] = {f + 3, "cycle slips", 50, false};
                c[static_cast<std::size_t>(k++)] = {f + 4, "αρχική ασάφεια", kValueWidth, false};
            }
        }
        c[33] = {rnx::Sxolio, "σχόλια", 272, false};
        return c;
    }();
    return cols;
}

const std::vector<GridGroup>& gridGroups()
{
    static const std::vector<GridGroup> groups{
        {0, 3, "εποχή παρατήρησης"}, {5, 7, "C/A-1"}, {8, 10, "C/A-2"},
        {11, 13, "P1"},              {14, 16, "P2"},  {17, 21, "L1"},
        {22, 26, "L2"},              {27, 29, "D1"},  {30, 32, "D2"}};
    return groups;
}

std::string indexForTitleClick(int column)
{
    if (column == 4)
        return "byPRN";
    if (column >= 0 && column <= 3)
        return "byEpoxh";
    return {};
}

const std::array<const char*, kColumnItems>& columnItems()
{
    static const std::array<const char*, kColumnItems> items{
        "C1",     "C1-LLI", "C1-str",  "C2",      "C2-LLI", "C2-str",      "P1",
        "P1-LLI", "P1-str", "P2",      "P2-LLI",  "P2-str", "L1",          "L1-LLI",
        "L1-str", "L1-slip", "L1-amb", "L2",      "L2-LLI", "L2-str",      "L2-slip",
        "L2-amb", "D1",     "D1-LLI",  "D1-str",  "D2",     "D2-LLI",      "D2-str",
        "cycle slips", "N1", "N2",     "status",  "Σχόλια"};
    return items;
}

int gridColumnOfItem(int item)
{
    return item >= 0 && item <= 27 ? item + 5 : -1;
}

int chartSlotOfItem(int item)
{
    const int column = gridColumnOfItem(item);
    if (column < 0)
        return 0;
    const int field = gridColumns()[static_cast<std::size_t>(column)].field;
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (rnx::valueFieldOfSlot(slot) == field)
            return slot;
    return 0;
}

int itemOfSlot(int slot)
{
    for (int item = 0; item < kColumnItems; ++item)
        if (chartSlotOfItem(item) == slot && slot != 0)
            return item;
    return -1;
}

ObservationTypesView readObservationTypes(const std::string& settingsFile,
                                          const ColumnChecks& current, const NumberText& numbers)
{
    ObservationTypesView v;
    v.checks = current;
    const IniFile ini(settingsFile);
    for (int item = 0; item <= 27; ++item) {
        const int slot = chartSlotOfItem(item);
        const auto i = static_cast<std::size_t>(item);
        v.checks[i] = slot != 0 && ini.readBool("Types", columnItems()[i], false);
    }
    // Written with the locale's decimal separator, which may not be the one
    // in force now: either reads (the general format has no grouping).
    const auto number = [&ini](const char* section, const char* key, double& out) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        out = ini.readFloat(section, key, none, '.');
        if (std::isnan(out))
            out = ini.readFloat(section, key, none, ',');
        return !std::isnan(out);
    };
    double x = 0, y = 0, z = 0;
    v.Xo = numbers.floatToText(number("POSITION", "Xo", x) ? x : 0);
    v.Yo = numbers.floatToText(number("POSITION", "Yo", y) ? y : 0);
    v.Ho = numbers.floatToText(number("POSITION", "Ho", z) ? z : 0);

    v.file = ini.readString("FILE", "Name", "");
    v.receiver = ini.readString("FILE", "Receiver", "");
    v.antenna = ini.readString("FILE", "Antenna", "");
    v.codes = ini.readString("FILE", "Codes", "");
    double value = 0;
    if (number("FILE", "AntennaHeight", value))
        v.antennaHeight = numbers.formatFixed(value, 4) + " m";
    if (number("FILE", "Interval", value))
        v.interval = numbers.floatToText(value) + " s";
    if (!v.file.empty())
        v.otherSystems = std::to_string(ini.readInteger("FILE", "OtherSystems", 0));
    return v;
}

namespace {

long long daysFromCivil(int y, int m, int d)
{
    using namespace std::chrono;
    return sys_days(year_month_day(year(y), month(static_cast<unsigned>(m)),
                                   day(static_cast<unsigned>(d))))
        .time_since_epoch()
        .count();
}

}  // namespace

ObservationSpan observationSpan(const MemTable& t, const NumberText& numbers)
{
    ObservationSpan span;
    // Epochs as seconds since 1 January 2000, for comparing them.
    const auto secondsOf = [&t](Rec r) {
        const Date d = t.getDate(r, rnx::Date);
        const long long days = daysFromCivil(d.year, d.month, d.day);
        return static_cast<double>(days) * 86400.0 +
               static_cast<double>(t.getInteger(r, rnx::Hour) * 3600 + t.getInteger(r, rnx::min) * 60) +
               t.getFloat(r, rnx::sec);
    };
    Rec first = NoRec, last = NoRec;
    double lo = 0, hi = 0, previous = 0, step = 0;
    bool havePrevious = false;
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r)) {
        if (t.isNull(r, rnx::Date))
            continue;
        const double s = secondsOf(r);
        if (first == NoRec || s < lo)
            first = r, lo = s;
        if (last == NoRec || s > hi)
            last = r, hi = s;
        if (havePrevious && s > previous && (step == 0 || s - previous < step))
            step = s - previous;
        previous = s;
        havePrevious = true;
    }
    const auto text = [&](Rec r) {
        const Date d = t.getDate(r, rnx::Date);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d/%d/%d %02lld:%02lld:%02d", d.day, d.month, d.year,
                      t.getInteger(r, rnx::Hour), t.getInteger(r, rnx::min),
                      static_cast<int>(t.getFloat(r, rnx::sec)));
        return std::string(buf);
    };
    if (first != NoRec) {
        span.first = text(first);
        span.last = text(last);
    }
    if (step > 0)
        span.step = numbers.floatToText(std::round(step * 1000) / 1000) + " s";
    return span;
}

ColumnVisibility visibilityOf(const ColumnChecks& checks)
{
    ColumnVisibility v;
    v.column.fill(true);
    for (int item = 0; item < kColumnItems; ++item) {
        const bool on = checks[static_cast<std::size_t>(item)];
        const int column = gridColumnOfItem(item);
        if (column >= 0)
            v.column[static_cast<std::size_t>(column)] = on;
        if (const int slot = chartSlotOfItem(item))
            v.chartTab[static_cast<std::size_t>(slot)] = on;
    }
    return v;
}

std::string cellText(const MemTable& t, Rec r, int f, const NumberText& numbers)
{
    if (f == rnx::Health)
        return healthText(t.getInteger(r, f));
    if (isLliField(f))
        return lliText(t.getInteger(r, f));
    if (isStrengthField(f))
        return strengthText(t.getInteger(r, f));
    if (isValueField(f)) {
        const double v = t.getFloat(r, f);
        return v == 0 ? std::string() : numbers.formatFixed(v, 3);
    }
    if (f == rnx::L1slip || f == rnx::L2slip) {
        const long long v = t.getInteger(r, f);
        return v == 0 ? std::string() : std::to_string(v);
    }
    // The table holds GPS satellites only: G and the number in two digits.
    if (f == rnx::PRN && !t.isNull(r, f)) {
        const long long prn = t.getInteger(r, f);
        char buf[32];
        std::snprintf(buf, sizeof buf, prn >= 0 && prn < 100 ? "G%02lld" : "G%lld", prn);
        return buf;
    }
    if (f == rnx::Date) {
        if (t.isNull(r, f))
            return {};
        const Date d = t.getDate(r, f);
        return std::to_string(d.day) + "/" + std::to_string(d.month) + "/" +
               (d.year % 100 < 10 ? "0" : "") + std::to_string(d.year % 100);
    }
    return t.text(r, f);
}

bool cellIsRed(const MemTable& t, Rec r, int f)
{
    return (f == rnx::Health || isLliField(f)) && t.getInteger(r, f) > 0;
}

CellAlign cellAlignment(int f)
{
    if (f == rnx::epoxh || f == rnx::Time || f == rnx::Health || f == rnx::PRN ||
        isLliField(f) || isStrengthField(f))
        return CellAlign::Centre;
    if (isValueField(f) || f == rnx::L1slip || f == rnx::L2slip)
        return CellAlign::Right;
    return CellAlign::Left;
}

void RowColours::reset(const MemTable& t)
{
    bySatellite_ = t.indexName() == "byPRN";
    satellites_.clear();
    if (!bySatellite_)
        return;
    std::array<bool, 256> seen{};
    for (Rec r = t.firstStored(); r != NoRec; r = t.nextStored(r)) {
        const auto prn = static_cast<int>(t.getInteger(r, rnx::PRN));
        if (prn >= 0 && prn < 256) {
            if (seen[static_cast<std::size_t>(prn)])
                continue;
            seen[static_cast<std::size_t>(prn)] = true;
        }
        satellites_.push_back(prn);
    }
    std::sort(satellites_.begin(), satellites_.end());
    satellites_.erase(std::unique(satellites_.begin(), satellites_.end()), satellites_.end());
}

std::uint32_t RowColours::colourOf(const MemTable& t, Rec r) const
{
    if (!bySatellite_)
        return t.getInteger(r, rnx::epoxh) % 2 == 0 ? kFirstRowColour : kSecondRowColour;
    const auto prn = static_cast<int>(t.getInteger(r, rnx::PRN));
    const auto rank = std::lower_bound(satellites_.begin(), satellites_.end(), prn) -
                      satellites_.begin();
    return rank % 2 == 0 ? kSecondRowColour : kFirstRowColour;
}

std::string rinexTablePath(const std::string& networkFile, long long id)
{
    return observationTablePath(networkFile, id);
}

namespace {

struct ListingColumn {
    int field;
    std::string title;
    std::size_t width;
    bool right;
};

ListingColumn listingColumn(int column)
{
    const GridColumnDef& g = gridColumns()[static_cast<std::size_t>(column)];
    ListingColumn c{g.field, g.title, 8, false};
    if (const int item = column - 5; item >= 0 && item < 28)
        c.title = columnItems()[static_cast<std::size_t>(item)];
    if (column == 33)
        c.title = "σχόλια";
    const int f = g.field;
    if (f == rnx::epoxh || f == rnx::PRN) {
        c.width = 6;
        c.right = true;
    } else if (f == rnx::Time) {
        c.width = 21;
    } else if (f == rnx::Health) {
        c.width = 11;
    } else if (isValueField(f)) {
        c.width = 17;
        c.right = true;
    } else if (isLliField(f) || isStrengthField(f)) {
        c.width = 9;
    } else if (f == rnx::L1slip || f == rnx::L2slip) {
        c.right = true;
    } else if (f == rnx::Sxolio) {
        c.width = 20;
    }
    c.width = std::max(c.width, utf8Length(c.title));
    return c;
}

// The text in its column, with two blanks before every column but the first;
// a text wider than its column keeps one blank before it.
void appendCell(std::string& line, const std::string& text, const ListingColumn& c, bool first)
{
    const std::size_t len = utf8Length(text);
    const std::size_t pad = len < c.width ? c.width - len : 0;
    if (!first)
        line += pad == 0 && c.right ? " " : "  ";
    if (c.right)
        line.append(pad, ' ');
    line += text;
    if (!c.right)
        line.append(pad, ' ');
}

}  // namespace

std::vector<std::vector<std::string>> observationListing(const MemTable& t,
                                                         const std::vector<int>& columns,
                                                         const NumberText& numbers,
                                                         const std::string& heading, bool toFile)
{
    std::vector<ListingColumn> cols;
    std::size_t width = 0;
    for (int c : columns) {
        if (c < 0 || c >= kGridColumns)
            continue;
        cols.push_back(listingColumn(c));
        width += cols.back().width + (cols.size() > 1 ? 2 : 0);
    }
    auto centred = [width](const std::string& text) {
        const std::size_t len = utf8Length(text);
        return std::string(len < width ? (width - len) / 2 : 0, ' ') + text;
    };

    // As the point tables: a new page (after two blank lines) when a page
    // holds more than 86 lines.
    std::vector<std::vector<std::string>> pages(1);
    int count = 0;
    auto write = [&](std::string text) {
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        if (count > 86) {
            if (!toFile)
                pages.push_back({"", ""});
            count = 2;
        }
        pages.back().push_back(std::move(text));
        ++count;
    };
    if (!toFile)
        for (int i = 0; i < 5; ++i)
            write("");
    write(centred("Korthal"));
    write(centred(heading));
    write("");
    write("");
    std::string titles;
    for (std::size_t i = 0; i < cols.size(); ++i)
        appendCell(titles, cols[i].title, cols[i], i == 0);
    write(titles);
    write("");
    const int n = t.recordCount();
    for (int row = 0; row < n; ++row) {
        const Rec r = t.recAt(row);
        std::string line;
        for (std::size_t i = 0; i < cols.size(); ++i)
            appendCell(line, cellText(t, r, cols[i].field, numbers), cols[i], i == 0);
        write(std::move(line));
    }
    return pages;
}

}  // namespace korthal::rinex
