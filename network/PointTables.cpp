#include "network/PointTables.h"

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/HATT.h"
#include "geodesy/TM87.h"

#include <algorithm>

namespace korthal {

namespace {

FieldDef number(std::string name, std::string label, const char* format, const char* editFormat)
{
    FieldDef d(std::move(name), FieldType::Float);
    d.label = std::move(label);
    d.alignment = Alignment::Right;
    if (format)
        d.displayFormat = format;
    if (editFormat)
        d.editFormat = editFormat;
    return d;
}

FieldDef calcNumber(std::string name, const char* format)
{
    FieldDef d = FieldDef::calc(std::move(name));
    d.alignment = Alignment::Right;
    if (format)
        d.displayFormat = format;
    return d;
}

FieldDef nameField()
{
    FieldDef d("Name", FieldType::String, 10);
    d.label = "Σημείο";
    return d;
}

void addMemos(MemTable& t)
{
    t.addField({"Perigrafh", FieldType::Memo});
    for (int i = 1; i <= 6; ++i)
        t.addField({"Sxolio" + std::to_string(i), FieldType::Memo});
}

}  // namespace

void defineGYS(MemTable& t)
{
    t.addField({"ID", FieldType::AutoInc});
    t.addField(nameField());
    t.addField(number("E", "E  (m)", kFmtMetres, kFmtEdit));
    t.addField(number("N", "N  (m)", kFmtMetres, kFmtEdit));
    FieldDef h = number("H", "H  (m)", kFmtMetres, kFmtEdit);
    h.defaultValue = 0.0;
    t.addField(h);
    addMemos(t);
    FieldDef apoxh = number("apoxh", "αποχή", kFmtMetres, kFmtEdit);
    apoxh.defaultValue = 0.0;
    t.addField(apoxh);
    t.addField(number("f", "φ", kFmtRadians, nullptr));
    t.addField(number("l", "λ", kFmtRadians, nullptr));
    t.addField(number("ortho", "ορθομετρικό", kFmtMetres, nullptr));
    t.addField({"xxxxxxx", FieldType::Boolean});
    t.addIndex("byEidos", "Name");
}

void defineGPS(MemTable& t, const DatumShiftTable& shifts)
{
    t.addField({"ID", FieldType::AutoInc});
    t.addField(nameField());
    t.addField(number("X", "X  (m)", kFmtMetres, kFmtEdit));
    t.addField(number("Y", "Y  (m)", kFmtMetres, kFmtEdit));
    t.addField(number("Z", "Z  (m)", kFmtMetres, kFmtEdit));
    for (const char* n : {"E", "N", "H"}) {
        FieldDef d = number(n, std::string(n) + "  (m)", kFmtMetres, kFmtEdit);
        d.readOnly = true;
        t.addField(d);
    }
    FieldDef detail("detailPoint", FieldType::Boolean);
    detail.defaultValue = true;
    detail.trueText = "c";
    detail.falseText = "";
    t.addField(detail);
    addMemos(t);
    t.addField(number("apoxh", "αποχή", kFmtApoxh, kFmtEdit));
    t.addField({"xxxxxx", FieldType::Boolean});
    t.addField(calcNumber("f", kFmtPacked));
    t.addField(calcNumber("l", kFmtPacked));
    for (const char* n : {"hp", "Hx", "Hy", "Hh", "ApoxhHatt"})
        t.addField(calcNumber(n, nullptr));
    t.addIndex("byEidos", "detailPoint;Name");
    const DatumShiftTable* s = &shifts;
    t.onCalcFields = [s](const RecordView& rec, CalcValues& out) { GPSCalcFields(*s, rec, out); };
}

GPSCalcValues computeGPSCalc(const DatumShiftTable& shifts, double E, double N, double H,
                             double apoxh)
{
    GPSCalcValues v;
    const Geographic g = TM87ToEllipsoidal(E, N, H, apoxh);
    v.f = static_cast<double>(RadToDMS(g.phi));
    v.l = static_cast<double>(RadToDMS(g.lambda));
    v.hp = static_cast<double>(g.h);
    Geocentric c = EllipsoidalToGeocentric(EGSA87, g.phi, g.lambda, g.h);
    const ShiftTriple& d = shifts(EGSA87, GR);
    c.X += d.dX;
    c.Y += d.dY;
    c.Z += d.dZ;
    const Geographic b = GeocentricToEllipsoidal(GR, c.X, c.Y, c.Z);
    const HattPoint p = EllipsoidalToHATT(b.phi, b.lambda, b.h, 0);
    v.Hx = static_cast<double>(p.x);
    v.Hy = static_cast<double>(p.y);
    v.Hh = static_cast<double>(p.H);
    v.ApoxhHatt = static_cast<double>(static_cast<Extended>(apoxh) + (p.H - g.h));
    return v;
}

void GPSCalcFields(const DatumShiftTable& shifts, const RecordView& rec, CalcValues& out)
{
    const GPSCalcValues v = computeGPSCalc(shifts, rec.asFloat(gps::E), rec.asFloat(gps::N),
                                           rec.asFloat(gps::H), rec.asFloat(gps::apoxh));
    out.setFloat(gps::f, v.f);
    out.setFloat(gps::l, v.l);
    out.setFloat(gps::hp, v.hp);
    out.setFloat(gps::Hx, v.Hx);
    out.setFloat(gps::Hy, v.Hy);
    out.setFloat(gps::Hh, v.Hh);
    out.setFloat(gps::ApoxhHatt, v.ApoxhHatt);
}

std::string formatByDisplayFormat(const std::string& format, double value, Separators system)
{
    std::vector<std::string> sections;
    std::string_view rest = format;
    while (true) {
        const auto semi = rest.find(';');
        sections.emplace_back(rest.substr(0, semi));
        if (semi == std::string_view::npos)
            break;
        rest = rest.substr(semi + 1);
    }
    if (value == 0 && sections.size() >= 3 && sections[2] == "\"\"")
        return {};
    const std::string& main = sections[0];
    const auto point = main.find('.');
    int decimals = 0;
    if (point != std::string::npos)
        decimals = static_cast<int>(std::count_if(main.begin() + static_cast<long>(point), main.end(),
                                                  [](char c) { return c == '0' || c == '#'; }));
    const bool grouped = main.find(',') != std::string::npos;
    return formatPiece("%." + std::to_string(decimals) + (grouped ? "n" : "f"),
                       static_cast<Extended>(value), system);
}

int networkColumnField(int column)
{
    static const int fields[kNetworkColumns] = {gps::Name, gps::X, gps::Y, gps::Z,
                                                gps::E,    gps::N, gps::H, gps::apoxh};
    return column >= 0 && column < kNetworkColumns ? fields[column] : -1;
}

std::optional<double> enteredValue(const MemTable& t, Rec rec, int field)
{
    const double v = t.getFloat(rec, field);
    if (v == 0)
        return std::nullopt;
    return v;
}

std::optional<double> enteredValue(const MemTable& t, int field)
{
    const double v = t.asFloat(field);
    if (v == 0)
        return std::nullopt;
    return v;
}

std::optional<Measurement> measurementOf(const MemTable& t, Rec rec)
{
    const auto a = enteredValue(t, rec, gps::X), b = enteredValue(t, rec, gps::Y),
               c = enteredValue(t, rec, gps::Z);
    if (!a || !b || !c)
        return std::nullopt;
    return Measurement{*a, *b, *c};
}

std::string networkCellText(const MemTable& t, Rec rec, int column, NetworkView view,
                            InputForm form, const NumberText& numbers,
                            const NumberSettings& ns)
{
    const int field = networkColumnField(column);
    if (field < 0)
        return {};
    if (column == 0)
        return t.getString(rec, field);
    int d = ns.GPSDecimals[NumberDestination::Screen];
    bool packed = false;  // a latitude or longitude DD.MMSSsss
    if (form == InputForm::Ellipsoidal && (column == 1 || column == 2)) {
        d = ns.DMSDecimals[NumberDestination::Screen];
        packed = true;
    } else if (column >= 4 && column <= 6)
        d = ns.EGSA87Decimals[NumberDestination::Screen];
    const auto entered = enteredValue(t, rec, field);
    if (!entered)
        return {};
    double value = *entered;
    auto calc = [&](int f) { return std::get<double>(t.fetch(rec, f)); };
    if (column == 7 && view == NetworkView::Hatt) {
        value = calc(gps::ApoxhHatt);
    } else if (column >= 4 && column <= 6 && view == NetworkView::Egsa87Geographic) {
        static const int f1[3] = {gps::f, gps::l, gps::hp};
        value = calc(f1[column - 4]);
        if (column != 6) {
            d = ns.DMSDecimals[NumberDestination::Screen];
            packed = true;
        }
    } else if (column >= 4 && column <= 6 && view == NetworkView::Hatt) {
        value = column == 4 ? calc(gps::Hx) : column == 5 ? calc(gps::Hy) : t.getFloat(rec, gps::H);
        d = ns.GPSDecimals[NumberDestination::Screen];
    }
    return packed ? numbers.formatPacked(static_cast<Extended>(value), d)
                  : numbers.formatFixed(static_cast<Extended>(value), d);
}

bool networkCellIsRed(const MemTable& t, Rec rec, int column)
{
    return (column == 0 || (column >= 4 && column <= 7)) && !t.getBoolean(rec, gps::detailPoint);
}

int referenceColumnField(int column)
{
    static const int fields[kReferenceColumns] = {gys::Name,  gys::E, gys::N, gys::H,
                                                  gys::apoxh, gys::f, gys::l, gys::ortho};
    return column >= 0 && column < kReferenceColumns ? fields[column] : -1;
}

std::string GYSfGetText(double radians, int dmsDecimals, Separators system)
{
    if (radians == 0)
        return {};
    return formatPiece("%." + std::to_string(dmsDecimals) + "n",
                       PackedToShow(RadToDMS(radians), dmsDecimals), system);
}

void installGYSfGetText(MemTable& t, const NumberSettings& settings, Separators system)
{
    const NumberSettings* ns = &settings;
    auto handler = [ns, system](const RecordView& rec, int field) {
        return GYSfGetText(rec.asFloat(field), ns->DMSDecimals[NumberDestination::Screen], system);
    };
    t.setGetTextHandler(gys::f, handler);
    t.setGetTextHandler(gys::l, handler);
}

std::string referenceCellText(const MemTable& t, Rec rec, int column, const NumberText& numbers,
                              const NumberSettings& ns)
{
    const int field = referenceColumnField(column);
    if (field < 0)
        return {};
    if (column == 0)
        return t.getString(rec, field);
    if (column == 5 || column == 6)
        return GYSfGetText(t.getFloat(rec, field), ns.DMSDecimals[NumberDestination::Screen],
                           numbers.system());
    const auto v = enteredValue(t, rec, field);
    if (!v)
        return {};
    return numbers.formatFixed(static_cast<Extended>(*v), ns.EGSA87Decimals[NumberDestination::Screen]);
}

bool switchInputForm(MemTable& t, InputForm& form, InputForm to)
{
    if (to == form)
        return false;
    form = to;
    if (t.state() != MemTable::State::Browse)
        t.post();
    const Rec cur = t.current();
    const long long id = cur != NoRec ? t.getInteger(cur, gps::ID) : 0;
    t.disableControls();
    for (t.first(); !t.eof(); t.next()) {
        const double x = t.asFloat(gps::X), y = t.asFloat(gps::Y), z = t.asFloat(gps::Z);
        if (x == 0 && y == 0 && z == 0)
            continue;
        if (to == InputForm::Geocentric) {
            const Geocentric g = EllipsoidalToGeocentric(WGS84, DMSToRad(x), DMSToRad(y), z);
            t.set(gps::X, static_cast<double>(g.X));
            t.set(gps::Y, static_cast<double>(g.Y));
            t.set(gps::Z, static_cast<double>(g.Z));
        } else {
            const Geographic g = GeocentricToEllipsoidal(WGS84, x, y, z);
            t.set(gps::X, static_cast<double>(RadToDMS(g.phi)));
            t.set(gps::Y, static_cast<double>(RadToDMS(g.lambda)));
            t.set(gps::Z, static_cast<double>(g.h));
        }
    }
    t.post();
    if (cur != NoRec)
        t.locateID(id);
    t.enableControls();
    return true;
}

}  // namespace korthal
