#include "network/Calculator.h"

#include "geodesy/Angles.h"
#include "geodesy/Ellipsoids.h"
#include "geodesy/Geoid.h"
#include "geodesy/HATT.h"
#include "geodesy/TM87.h"

#include <cmath>
#include <utility>

namespace korthal {

const char* const kCalcButtonHint = "Κάντε κλίκ για να γίνει η αναγωγή";

const HattArea HattAreas[kHattAreaCount] = {
    {"AVDIRA", 1.25, 40.75},
    {"AGIA", -0.75, 39.75},
    {"AG.GEORGIOS", -0.25, 37.25},
    {"AG.EFSTRATIOS", 1.25, 39.25},
    {"AGION OROS", 0.25, 40.25},
    {"AGRAFA", -2.25, 39.25},
    {"AGRINION", -2.25, 38.75},
    {"ADRIANOUPOLIS", 2.75, 41.75},
    {"ATHINAI-LAVRION", 0.25, 37.75},
    {"ATHINAI-CHALKIS", -0.25, 38.25},
    {"AIGINA", -0.25, 37.75},
    {"AISYMH-DEREION", 2.25, 41.25},
    {"ALEXANDROUPOLIS", 2.25, 40.75},
    {"AMORGOS", 2.25, 36.75},
    {"ANAFI", 2.25, 36.25},
    {"ANDROS-TINOS", 1.25, 37.75},
    {"ANTIKYTHIRA", -0.25, 35.75},
    {"ARTA", -2.75, 39.25},
    {"ASTYPALAIA", 2.75, 36.75},
    {"ATALANTI-AIDIPSOS", -0.25, 38.75},
    {"VELOPOULA", -0.25, 36.75},
    {"VOLOS-ALMYROS", -0.75, 39.25},
    {"GAIDOURONISI-KOUFONISI", 2.25, 34.75},
    {"GEVGELI", -1.25, 41.25},
    {"GIANNITSA", -1.25, 40.75},
    {"GITHEION", -1.25, 36.75},
    {"DELVINAKION", -3.25, 39.75},
    {"DELPHI-XILOKASTRON", -1.25, 38.25},
    {"DONOUSA", 2.25, 37.25},
    {"DIMITSANA", -1.75, 37.75},
    {"DIDYMOTOICHON", 2.75, 41.25},
    {"DOXATON", 0.75, 41.25},
    {"DRAMA", 0.25, 41.25},
    {"DYTIKI ZAKYNTHOS", -3.25, 37.75},
    {"EDESSA", -1.75, 40.75},
    {"EPANOMI", -0.75, 40.25},
    {"ERMIONI-HYDRA", -0.75, 37.25},
    {"ERYTHRAI", 2.75, 38.75},
    {"EVROPOS-KAVANTARTSI", -1.75, 41.25},
    {"ZAKROS-SIDEROS", 2.75, 35.25},
    {"ZAKYNTHOS-KYLLINI", -2.75, 37.75},
    {"HERAKLEION", 1.25, 35.25},
    {"THESSALONIKI", -0.75, 40.75},
    {"THIRA", 1.75, 36.25},
    {"ITHAKI-ECHINADES", -2.75, 38.25},
    {"IKARIA", 2.25, 37.75},
    {"IOS", 1.75, 36.75},
    {"IOANNINA", -2.75, 39.75},
    {"KAVALA", 0.75, 40.75},
    {"KALAMPAKA", -2.25, 39.75},
    {"KALYMNOS", 3.25, 36.75},
    {"KARDAMYLA", 2.25, 38.75},
    {"KARDITSA", -1.75, 39.25},
    {"KARPATHOS", 3.25, 35.75},
    {"KARPENISION-LIDORIKION", -1.75, 38.75},
    {"KARYSTOS", 0.75, 38.25},
    {"KASSANDRA", -0.25, 39.75},
    {"KASOS", 3.25, 35.25},
    {"KISAMOS", -0.25, 35.25},
    {"KASTRON-LIMNOS", 1.25, 39.75},
    {"KATERINI", -1.25, 40.25},
    {"KEA", 0.75, 37.75},
    {"KERKYRA", -3.75, 39.75},
    {"KESANI", 2.75, 40.75},
    {"KEFALLINIA-ITHAKI", -3.25, 38.25},
    {"KOZANI", -1.75, 40.25},
    {"KOMOTINI", 1.75, 41.25},
    {"KONITSA", -2.75, 40.25},
    {"KORSAI", 2.75, 37.75},
    {"KORYTSA", -2.75, 40.75},
    {"KORONI", -1.75, 36.75},
    {"KOUFOS", 0.25, 39.75},
    {"KYTHNOS-SERIFOS", 0.75, 37.25},
    {"KYMI", 0.25, 38.75},
    {"KYPARISSIA-STROFADES", -2.25, 37.25},
    {"KOS", 3.75, 36.75},
    {"LAKKOI-SFAKIA", 0.25, 35.25},
    {"LAMIA-AMFISSA", -1.25, 38.75},
    {"LARISA", -1.25, 39.75},
    {"LEVADEIA-PERACHORA", -0.75, 38.25},
    {"LEROS", 3.25, 37.25},
    {"LESKOVIKION", -3.25, 40.25},
    {"LEFKAS", -3.25, 38.75},
    {"MALEAS-KYTHIRA", -0.75, 36.25},
    {"MARONEIA", 1.75, 40.75},
    {"MEGALOPOLIS-KALAMAI", -1.75, 37.25},
    {"MESSOLOGION-K.ACHAIA", -2.25, 38.25},
    {"MILOS-KIMOLOS", 0.75, 36.75},
    {"MOLAOI-MONEMVASIA", -0.25, 36.75},
    {"MOLYVOS", 2.25, 39.25},
    {"MOUNDROS-LIMNOS", 1.75, 39.75},
    {"MYTILINI", 2.75, 39.25},
    {"NAXOS-MYKONOS", 1.75, 37.25},
    {"NAFPLION-KORINTHOS", -0.75, 37.75},
    {"NEAPOLIS", 1.75, 35.25},
    {"NEA PSARA", 0.25, 38.25},
    {"N.MEGISTI(KASTELORIZO)", 5.75, 36.25},
    {"NIGRITA", -0.25, 40.75},
    {"NOTIOS KERKYRA", -3.75, 39.25},
    {"XANTHI", 1.25, 41.25},
    {"ODIGITRIA", 1.25, 34.75},
    {"PARGA", -3.25, 39.25},
    {"PATMOS", 2.75, 37.25},
    {"PATRAI-NAFPAKTOS", -1.75, 38.25},
    {"POLYGYROS", -0.25, 40.25},
    {"POROIA", -0.75, 41.25},
    {"PREVEZA", -2.75, 38.75},
    {"PYLOS", -2.25, 36.75},
    {"PYRGOS-OLYMPIA", -2.25, 37.75},
    {"RETHYMNON", 0.75, 35.25},
    {"RODOLIVOS", 0.25, 40.75},
    {"RODOS", 4.25, 36.25},
    {"SAMOTHRAKI", 1.75, 40.25},
    {"SAMOS", 3.25, 37.75},
    {"SERRAI", -0.25, 41.25},
    {"SITEIA-IERAPETRA", 2.25, 35.25},
    {"SIATISTA-GREVENA", -2.25, 40.25},
    {"SIKINOS-FOLEGANDROS", 1.25, 36.75},
    {"SKIATHOS", -0.25, 39.25},
    {"SKOPELOS", 0.25, 39.25},
    {"SKYROS", 0.75, 38.75},
    {"SPARTI-VALTETSI", -1.25, 37.25},
    {"STENI", 1.75, 37.75},
    {"SYMI", 4.25, 36.75},
    {"SYRNA", 4.25, 36.75},
    {"SYROS-PAROS", 1.25, 37.25},
    {"TAINARON", -1.25, 36.25},
    {"TILOS-CHALKI", 3.75, 36.25},
    {"TRIKALA", -1.75, 39.75},
    {"TRIPOLIS-NEMEA", -1.25, 37.75},
    {"FARSALA", -1.25, 39.25},
    {"FLORINA", -2.25, 40.75},
    {"CHANIA", 0.25, 35.25},
    {"CHIOS", 2.25, 38.25},
    {"PSARA", 1.75, 38.75},
    {"PSACHNA-LIMNI", -0.25, 38.75},
};

namespace {

using E = CalcEdit;
using B = CalcButton;

// The first edit of the group an edit belongs to; the undulation edits
// belong to none.
bool groupOf(CalcEdit e, CalcEdit& first)
{
    const int i = static_cast<int>(e);
    if (i >= static_cast<int>(CalcEdit::EditApoxhEGSA)) return false;
    first = static_cast<CalcEdit>(i - i % 3);
    return true;
}

CalcEdit plus(CalcEdit e, int k) { return static_cast<CalcEdit>(static_cast<int>(e) + k); }

}  // namespace

Calculator::Calculator(CalculatorContext ctx) : ctx_(ctx) {}

void Calculator::changed()
{
    if (batch_ == 0 && onChanged) onChanged();
}

// Holds back the window's refresh until the outermost handler ends.
namespace {
struct Batch {
    explicit Batch(int& n) : n_(n) { ++n_; }
    ~Batch() { --n_; }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    int& n_;
};
}  // namespace

int Calculator::decimalsOf(CalcEdit e) const
{
    switch (e) {
    case E::WGS84f: case E::WGS84l: case E::EGSA87f: case E::EGSA87l:
        return dmsDec();
    case E::WGS84X: case E::WGS84Y: case E::WGS84Z: case E::WGS84h:
        return gpsDec();
    case E::EditApoxhEGSA: case E::EditApoxhHATT:
        return -1;  // no reformatting on exit
    default:
        return egsaDec();
    }
}

std::string Calculator::widestText(CalcEdit e) const
{
    // Greek coordinates: geocentric ones and northings of seven digits,
    // eastings of six, latitudes and longitudes of two; heights and HATT
    // coordinates (around a sheet's centre) may be negative.
    Extended v = 9999999;
    switch (e) {
    case E::WGS84f: case E::WGS84l: case E::EGSA87f: case E::EGSA87l:
        v = 99.5959L;
        break;
    case E::WGS84h: case E::EGSA87h: case E::TM87H: case E::TM87Hm: case E::HATTh:
        v = -9999;
        break;
    case E::TM87E: case E::TM87Em:
        v = 999999;
        break;
    case E::HATTx: case E::HATTy:
        v = -99999;
        break;
    case E::EditApoxhEGSA:
        // The undulation of a point is written with up to fifteen
        // significant digits, HATT's with two decimals.
        return ctx_.text->floatToShownText(-99.9999999999999L);
    case E::EditApoxhHATT:
        return ctx_.text->formatFixed(-99.99L, 2);
    default:
        break;
    }
    return ctx_.text->formatFixed(v, decimalsOf(e));
}

void Calculator::store(CalcEdit e, std::string value) { texts_[idx(e)] = std::move(value); }

void Calculator::setText(CalcEdit e, std::string_view value)
{
    {
        Batch b(batch_);
        if (texts_[idx(e)] == value) return;
        store(e, std::string(value));
        CalcEdit first{};
        if (groupOf(e, first)) {
            switch (first) {
            case E::WGS84X: wgs84GeocentricChanged(); break;
            case E::WGS84f: wgs84EllipsoidalChanged(); break;
            case E::EGSA87X: egsa87GeocentricChanged(); break;
            case E::EGSA87f: egsa87EllipsoidalChanged(); break;
            case E::TM87E: tm87Changed(); break;
            case E::TM87Em: transformedChanged(); break;
            case E::HATTx: hattChanged(); break;
            default: break;
            }
        }
    }
    changed();
}

void Calculator::begin()
{
    refused_ = E::Count;
    messages_.clear();
}

CalcOutcome Calculator::outcome(bool ok)
{
    CalcOutcome o;
    o.ok = ok;
    o.messages = std::move(messages_);
    o.refused = refused_;
    messages_.clear();
    return o;
}

void Calculator::report(CalcProblem problem, std::string text)
{
    messages_.push_back({problem, std::move(text)});
}

CalcOutcome Calculator::exitEdit(CalcEdit e)
{
    begin();
    const int d = decimalsOf(e);
    if (d < 0 || texts_[idx(e)].empty()) return outcome(true);
    Extended v = 0;
    if (!read(e, v)) return outcome(false);
    write(e, v, d);
    return outcome(true);
}

bool Calculator::groupComplete(CalcEdit first) const
{
    return !text(first).empty() && !text(plus(first, 1)).empty() && !text(plus(first, 2)).empty();
}

void Calculator::enable(std::initializer_list<CalcButton> buttons, bool on)
{
    for (CalcButton b : buttons) enabled_[idx(b)] = on;
}

void Calculator::wgs84GeocentricChanged()
{
    enable({B::SBWGS84ge, B::SBWGS84gEGSA87g}, groupComplete(E::WGS84X));
}

void Calculator::wgs84EllipsoidalChanged()
{
    enable({B::SBWGS84eg, B::SBWGS84eEGSA87e}, groupComplete(E::WGS84f));
}

void Calculator::egsa87GeocentricChanged()
{
    enable({B::SBEGSA87ge, B::SBEGSA87gWGS84g, B::SBEGSAgTM87m}, groupComplete(E::EGSA87X));
}

void Calculator::egsa87EllipsoidalChanged()
{
    const bool complete = groupComplete(E::EGSA87f);
    enable({B::SBEGSA87eg, B::SBEGSA87eWGS84e, B::SBEGSAeTM, B::SpeedButton11}, complete);
    if (!complete) return;
    // The undulation follows the point. Text that does not read as a number
    // yet (typing in progress) leaves the undulation as it is.
    const NumberResult f = ctx_.text->readShown(text(E::EGSA87f));
    const NumberResult l = ctx_.text->readShown(text(E::EGSA87l));
    if (!f || !l) return;
    const auto n = GeoidUndulation(*ctx_.shifts, static_cast<double>(DMSToRad(f.value)),
                                   static_cast<double>(DMSToRad(l.value)));
    // Written as it is read back, with the display separators.
    if (n) store(E::EditApoxhEGSA, ctx_.text->floatToShownText(*n));
}

void Calculator::tm87Changed()
{
    enable({B::SBTM87EGSAe, B::SBTM87TM87m, B::SBTM87HATT, B::SpeedButton11},
           groupComplete(E::TM87E));
}

void Calculator::transformedChanged()
{
    enable({B::SBTM87mTM87, B::SBTM87mEGSA87g, B::SBTM87mHATT}, groupComplete(E::TM87Em));
}

void Calculator::hattChanged()
{
    enable({B::SBHATTTM87, B::SBHATTTM87m}, groupComplete(E::HATTx));
}

bool Calculator::read(CalcEdit e, Extended& v)
{
    const NumberResult r = ctx_.text->readShown(text(e));
    if (!r) {
        refused_ = e;
        report(CalcProblem::NotANumber, r.error);
        return false;
    }
    v = r.value;
    return true;
}

bool Calculator::read3(CalcEdit first, Extended& a, Extended& b, Extended& c)
{
    return read(first, a) && read(plus(first, 1), b) && read(plus(first, 2), c);
}

void Calculator::write(CalcEdit e, Extended v, int decimals)
{
    const bool angle = e == E::WGS84f || e == E::WGS84l || e == E::EGSA87f || e == E::EGSA87l;
    setText(e, angle ? ctx_.text->formatPacked(v, decimals) : ctx_.text->formatFixed(v, decimals));
}

CalcOutcome Calculator::convert(CalcButton b)
{
    begin();
    bool ok = false;
    {
        Batch guard(batch_);
        switch (b) {
        case B::SBWGS84ge: ok = wgs84GeocentricToEllipsoidal(); break;
        case B::SBWGS84eg: ok = wgs84EllipsoidalToGeocentric(); break;
        case B::SBWGS84gEGSA87g: ok = wgs84ToEgsa87Geocentric(); break;
        case B::SBEGSA87gWGS84g: ok = egsa87ToWgs84Geocentric(); break;
        case B::SBEGSA87ge: ok = egsa87GeocentricToEllipsoidal(); break;
        case B::SBEGSA87eg: ok = egsa87EllipsoidalToGeocentric(); break;
        case B::SBEGSAeTM: ok = egsa87EllipsoidalToTm87(); break;
        case B::SBTM87EGSAe: ok = tm87ToEgsa87Ellipsoidal(); break;
        case B::SBTM87TM87m: ok = tm87ToTransformed(); break;
        case B::SBTM87mTM87: ok = transformedToTm87(); break;
        case B::SBTM87HATT: ok = tm87ToHatt(); break;
        case B::SBHATTTM87: ok = hattToTm87(); break;
        case B::SBWGS84eEGSA87e: ok = wgs84ToEgsa87Ellipsoidal(); break;
        case B::SBEGSA87eWGS84e: ok = egsa87ToWgs84Ellipsoidal(); break;
        case B::SBEGSAgTM87m: ok = egsa87GeocentricToTransformed(); break;
        case B::SBTM87mEGSA87g: ok = transformedToEgsa87Geocentric(); break;
        case B::SBHATTTM87m: ok = hattToTransformed(); break;
        case B::SBTM87mHATT: ok = transformedToHatt(); break;
        case B::SpeedButton11: case B::Count: ok = true; break;
        }
    }
    changed();
    return outcome(ok);
}

bool Calculator::wgs84GeocentricToEllipsoidal()
{
    Extended X, Y, Z;
    if (!read3(E::WGS84X, X, Y, Z)) return false;
    const Geographic g = GeocentricToEllipsoidal(WGS84, X, Y, Z);
    write(E::WGS84f, RadToDMS(g.phi), dmsDec());
    write(E::WGS84l, RadToDMS(g.lambda), dmsDec());
    write(E::WGS84h, g.h, gpsDec());
    return true;
}

bool Calculator::wgs84EllipsoidalToGeocentric()
{
    Extended f, l, h;
    if (!read3(E::WGS84f, f, l, h)) return false;
    const Geocentric c = EllipsoidalToGeocentric(WGS84, DMSToRad(f), DMSToRad(l), h);
    write(E::WGS84X, c.X, gpsDec());
    write(E::WGS84Y, c.Y, gpsDec());
    write(E::WGS84Z, c.Z, gpsDec());
    return true;
}

bool Calculator::wgs84ToEgsa87Geocentric()
{
    Extended X, Y, Z;
    if (!read3(E::WGS84X, X, Y, Z)) return false;
    double x = static_cast<double>(X), y = static_cast<double>(Y), z = static_cast<double>(Z);
    ShiftWGS84ToEGSA87(*ctx_.shifts, x, y, z);
    write(E::EGSA87X, x, egsaDec());
    write(E::EGSA87Y, y, egsaDec());
    write(E::EGSA87Z, z, egsaDec());
    return true;
}

bool Calculator::egsa87ToWgs84Geocentric()
{
    Extended X, Y, Z;
    if (!read3(E::EGSA87X, X, Y, Z)) return false;
    double x = static_cast<double>(X), y = static_cast<double>(Y), z = static_cast<double>(Z);
    ShiftEGSA87ToWGS84(*ctx_.shifts, x, y, z);
    write(E::WGS84X, x, gpsDec());
    write(E::WGS84Y, y, gpsDec());
    write(E::WGS84Z, z, gpsDec());
    return true;
}

bool Calculator::egsa87GeocentricToEllipsoidal()
{
    Extended X, Y, Z;
    if (!read3(E::EGSA87X, X, Y, Z)) return false;
    const Geographic g = GeocentricToEllipsoidal(EGSA87, X, Y, Z);
    write(E::EGSA87f, RadToDMS(g.phi), dmsDec());
    write(E::EGSA87l, RadToDMS(g.lambda), dmsDec());
    write(E::EGSA87h, g.h, egsaDec());
    return true;
}

bool Calculator::egsa87EllipsoidalToGeocentric()
{
    Extended f, l, h;
    if (!read3(E::EGSA87f, f, l, h)) return false;
    const Geocentric c = EllipsoidalToGeocentric(EGSA87, DMSToRad(f), DMSToRad(l), h);
    write(E::EGSA87X, c.X, egsaDec());
    write(E::EGSA87Y, c.Y, egsaDec());
    write(E::EGSA87Z, c.Z, egsaDec());
    return true;
}

bool Calculator::egsa87EllipsoidalToTm87()
{
    Extended f, l, h, n;
    if (!read3(E::EGSA87f, f, l, h) || !read(E::EditApoxhEGSA, n)) return false;
    const TM87 t = EllipsoidalToTM87(DMSToRad(f), DMSToRad(l), h, n);
    write(E::TM87E, t.E, egsaDec());
    write(E::TM87N, t.N, egsaDec());
    write(E::TM87H, t.H, egsaDec());
    return true;
}

bool Calculator::tm87ToEgsa87Ellipsoidal()
{
    Extended e, n, h, u;
    if (!read3(E::TM87E, e, n, h) || !read(E::EditApoxhEGSA, u)) return false;
    FootpointCheck check;
    const Geographic g = TM87ToEllipsoidal(e, n, h, u, &check);
    if (!check.converged) report(CalcProblem::NoConvergence, kMsgNoConvergence);
    write(E::EGSA87f, RadToDMS(g.phi), dmsDec());
    write(E::EGSA87l, RadToDMS(g.lambda), dmsDec());
    write(E::EGSA87h, g.h, egsaDec());
    return true;
}

bool Calculator::tm87ToTransformed()
{
    Extended e, n, h;
    if (!read3(E::TM87E, e, n, h)) return false;
    ctx_.transformation->ApplyTransformation(e, n, h);
    write(E::TM87Em, e, egsaDec());
    write(E::TM87Nm, n, egsaDec());
    write(E::TM87Hm, h, egsaDec());
    return true;
}

bool Calculator::transformedToTm87()
{
    Extended e, n, h;
    if (!read3(E::TM87Em, e, n, h)) return false;
    // A transformation that cannot be undone leaves the values as they are.
    if (const MatrixError m = ctx_.transformation->ApplyInverseTransformation(e, n, h);
        m != MatrixError::None)
        report(CalcProblem::Singular, messageText(m));
    write(E::TM87E, e, egsaDec());
    write(E::TM87N, n, egsaDec());
    write(E::TM87H, h, egsaDec());
    return true;
}

bool Calculator::tm87ToHatt()
{
    if (!tm87ToEgsa87Ellipsoidal() || !egsa87EllipsoidalToGeocentric()) return false;
    Extended X, Y, Z, u;
    if (!read3(E::EGSA87X, X, Y, Z) || !read(E::EditApoxhHATT, u)) return false;
    const ShiftTriple& s = (*ctx_.shifts)(EGSA87, GR);
    const Geographic g = GeocentricToEllipsoidal(GR, X + s.dX, Y + s.dY, Z + s.dZ);
    const HattPoint p = EllipsoidalToHATT(g.phi, g.lambda, g.h, u);
    write(E::HATTx, p.x, egsaDec());
    write(E::HATTy, p.y, egsaDec());
    write(E::HATTh, p.H, egsaDec());
    cbf_ = (p.sheet.i >= 0 && p.sheet.i < kSheetRows) ? p.sheet.i : -1;
    cbl_ = (p.sheet.j >= 0 && p.sheet.j < kSheetCols) ? p.sheet.j : -1;
    selectAreaOfSheet();
    return true;
}

bool Calculator::hattToTm87()
{
    Extended x, y, H, uHatt, uEgsa;
    if (!read3(E::HATTx, x, y, H) || !read(E::EditApoxhHATT, uHatt) ||
        !read(E::EditApoxhEGSA, uEgsa))
        return false;
    if (cbf_ < 0 || cbl_ < 0) {
        // Without a sheet the HATT coordinates have no origin.
        report(CalcProblem::NoSheet, "Επιλέξτε πρώτα το φύλλο χάρτη HATT");
        return false;
    }
    const Geographic g = HATTToEllipsoidal(x, y, H, uHatt, HattSheet{cbf_, cbl_});
    Geocentric c = EllipsoidalToGeocentric(GR, g.phi, g.lambda, g.h);
    const ShiftTriple& s = (*ctx_.shifts)(GR, EGSA87);
    const Geographic e = GeocentricToEllipsoidal(EGSA87, c.X + s.dX, c.Y + s.dY, c.Z + s.dZ);
    const TM87 t = EllipsoidalToTM87(e.phi, e.lambda, e.h, uEgsa);
    write(E::TM87E, t.E, egsaDec());
    write(E::TM87N, t.N, egsaDec());
    write(E::TM87H, t.H, egsaDec());
    return true;
}

bool Calculator::wgs84ToEgsa87Ellipsoidal()
{
    return wgs84EllipsoidalToGeocentric() && wgs84ToEgsa87Geocentric() && egsa87GeocentricToEllipsoidal();
}

bool Calculator::egsa87ToWgs84Ellipsoidal()
{
    return egsa87EllipsoidalToGeocentric() && egsa87ToWgs84Geocentric() && wgs84GeocentricToEllipsoidal();
}

bool Calculator::egsa87GeocentricToTransformed()
{
    return egsa87GeocentricToEllipsoidal() && egsa87EllipsoidalToTm87() && tm87ToTransformed();
}

bool Calculator::transformedToEgsa87Geocentric()
{
    return transformedToTm87() && tm87ToEgsa87Ellipsoidal() && egsa87EllipsoidalToGeocentric();
}

bool Calculator::hattToTransformed() { return hattToTm87() && tm87ToTransformed(); }

bool Calculator::transformedToHatt() { return transformedToTm87() && tm87ToHatt(); }

void Calculator::selectHattArea(int areaIndex)
{
    if (areaIndex < 0 || areaIndex >= kHattAreaCount) return;
    area_ = areaIndex;
    const HattArea& a = HattAreas[areaIndex];
    const int i = static_cast<int>(std::lround((a.phi - 34.75) * 2));
    const int j = static_cast<int>(std::lround((a.lambdaFromAthens + 4.25) * 2));
    // A centre beyond the lists (N.MEGISTI lies east of the last column)
    // leaves that list unselected.
    cbf_ = (i >= 0 && i < kSheetRows) ? i : -1;
    cbl_ = (j >= 0 && j < kSheetCols) ? j : -1;
    changed();
}

void Calculator::setSheet(int row, int col)
{
    cbf_ = (row >= 0 && row < kSheetRows) ? row : -1;
    cbl_ = (col >= 0 && col < kSheetCols) ? col : -1;
    selectAreaOfSheet();
    changed();
}

void Calculator::selectAreaOfSheet()
{
    area_ = -1;
    const double phi0 = 34.75 + cbf_ / 2.0;
    const double lam0 = -4.25 + cbl_ / 2.0;
    for (int k = 0; k < kHattAreaCount; ++k) {
        if (HattAreas[k].phi == phi0 && HattAreas[k].lambdaFromAthens == lam0) {
            area_ = k;
            break;
        }
    }
}

void Calculator::loadNetworkPoint(double X, double Y, double Z, double apoxh,
                                   InputForm form)
{
    {
        Batch b(batch_);
        setText(E::EditApoxhEGSA, ctx_.text->floatToShownText(apoxh));
        if (form == InputForm::Geocentric) {
            write(E::WGS84X, X, gpsDec());
            write(E::WGS84Y, Y, gpsDec());
            write(E::WGS84Z, Z, gpsDec());
            for (CalcEdit e : {E::WGS84f, E::WGS84l, E::WGS84h}) setText(e, "");
        } else {
            for (CalcEdit e : {E::WGS84X, E::WGS84Y, E::WGS84Z}) setText(e, "");
            write(E::WGS84f, X, dmsDec());
            write(E::WGS84l, Y, dmsDec());
            write(E::WGS84h, Z, gpsDec());
        }
        for (CalcEdit e : {E::TM87Em, E::TM87Nm, E::TM87Hm, E::HATTx, E::HATTy, E::HATTh})
            setText(e, "");
        cbf_ = cbl_ = area_ = -1;
    }
    changed();
}

void Calculator::loadReferencePoint(double E_, double N, double H, double apoxh)
{
    {
        Batch b(batch_);
        setText(E::EditApoxhEGSA, ctx_.text->floatToShownText(apoxh));
        for (int k = static_cast<int>(E::WGS84X); k <= static_cast<int>(E::EGSA87h); ++k)
            setText(static_cast<CalcEdit>(k), "");
        write(E::TM87E, E_, gpsDec());
        write(E::TM87N, N, gpsDec());
        write(E::TM87H, H, gpsDec());
        for (CalcEdit e : {E::TM87Em, E::TM87Nm, E::TM87Hm, E::HATTx, E::HATTy, E::HATTh})
            setText(e, "");
        cbf_ = cbl_ = area_ = -1;
    }
    changed();
}

void Calculator::initHattUndulation()
{
    setText(E::EditApoxhHATT, ctx_.text->FormatNumber("%.2n", {Extended(-2.5L)}));
}

CalcOutcome Calculator::geoidMarker(Extended& phi, Extended& lambda)
{
    begin();
    if (text(E::EGSA87f).empty()) {
        // From the TM87 edits, or else from the transformed ones back
        // through TM87, so that the marker is never put at 0, 0.
        if (!text(E::TM87E).empty()) {
            if (!tm87ToEgsa87Ellipsoidal()) return outcome(false);
        } else if (!text(E::TM87Em).empty()) {
            if (!transformedToTm87() || !tm87ToEgsa87Ellipsoidal()) return outcome(false);
        } else {
            return outcome(false);
        }
    }
    Extended f, l;
    if (!read(E::EGSA87f, f) || !read(E::EGSA87l, l)) return outcome(false);
    phi = DMSToRad(f);
    lambda = DMSToRad(l);
    return outcome(true);
}

}  // namespace korthal
