// The rules that run when a value is typed into a cell of the network or
// the reference table.

#include "project/Document.h"

#include "geodesy/Angles.h"
#include "geodesy/Geoid.h"
#include "geodesy/TM87.h"
#include "network/EntryLimits.h"
#include "network/PointTables.h"
#include "project/Dialogs.h"
#include "project/Settings.h"
#include "table/Cp1253.h"

#include <cmath>
#include <limits>

namespace korthal {

namespace {

// Clears a flag and re-enables the table's views on every way out.
class EntryGuard {
public:
    EntryGuard(bool& flag, MemTable& table) : flag_(flag), table_(table) {}
    ~EntryGuard()
    {
        if (disabled_)
            table_.enableControls();
        flag_ = false;
    }
    EntryGuard(const EntryGuard&) = delete;
    EntryGuard& operator=(const EntryGuard&) = delete;
    void disable()
    {
        if (!disabled_)
            table_.disableControls();
        disabled_ = true;
    }

private:
    bool& flag_;
    MemTable& table_;
    bool disabled_ = false;
};

// Drops an edit that stored nothing, so that it is not posted later as a
// change. An edit that already holds other changes (typed before, not yet
// posted) is kept: cancelling it would lose them.
void dropEmptyEdit(MemTable& t)
{
    if (t.state() != MemTable::State::Edit)
        return;
    for (int f = 0; f < t.fieldCount(); ++f)
        if (!t.field(f).calculated && t.value(f) != t.getValue(t.current(), f))
            return;
    t.cancel();
}

}  // namespace

void Document::reportFootpoint(const FootpointCheck& check)
{
    if (!check.converged)
        showMessage(kMsgNoConvergence, MsgIcon::Exclamation);
}

bool Document::OutOfRange(Extended v, const CoordinateLimits& limits)
{
    const std::string why = outOfRangeMessage(
        v, limits, numbers_, settings_->numbers.EGSA87Decimals[NumberDestination::Screen]);
    if (why.empty())
        return false;
    showMessage(why, MsgIcon::Exclamation);
    return true;
}

// The standard text-to-number conversion, with the system decimal separator;
// text written as the grid shows numbers (the display separators) is taken
// too when it reads unambiguously so.
bool Document::parseTyped(const std::string& text, Extended& v)
{
    NumberResult r = numbers_.readTyped(text);
    // A number beyond what a table field holds is no more a value than text is.
    if (r && std::fabs(r.value) > std::numeric_limits<double>::max())
        r.ok = false;
    if (!r) {
        showMessage(r.error.empty() ? conversionError(text) : r.error, MsgIcon::Exclamation);
        return false;
    }
    v = r.value;
    return true;
}

namespace {

// False, with the message, when code page 1253 cannot hold all of `text`.
bool fitsFiles(const std::string& text)
{
    std::vector<UnconvertedCharacter> lost;
    utf8ToCp1253(text, lost);
    if (lost.empty())
        return true;
    showMessage("Οι χαρακτήρες " + describeUnconverted(lost) +
                    " δεν γράφονται στα αρχεία του προγράμματος (κωδικοσελίδα 1253).\n"
                    "Το κείμενο δεν άλλαξε.",
                MsgIcon::Exclamation);
    return false;
}

}  // namespace

bool Document::enterPointText(MemTable& table, int field, const std::string& text)
{
    if (table.current() == NoRec || !fitsFiles(text))
        return false;
    Value v;
    if (!table.parseText(field, text, '.', v))
        return false;
    table.set(field, v);
    return true;
}

bool Document::enterNetworkPointName(const std::string& text)
{
    MemTable& g = *gps_;
    if (g.current() == NoRec || !fitsFiles(text))
        return false;
    // Names are stored to the field's size; look up what will be stored.
    std::string name = text;
    const int size = g.field(gps::Name).size;
    if (size > 0) {
        int chars = 0;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80 && ++chars > size) {
                name.resize(i);
                break;
            }
        }
    }
    const MemTable& y = *gys_;
    const Rec ref = y.findText(gys::Name, name);
    if (ref != NoRec) {
        g.set(gps::E, y.getValue(ref, gys::E));
        g.set(gps::N, y.getValue(ref, gys::N));
        g.set(gps::H, y.getValue(ref, gys::H));
        g.set(gps::apoxh, y.getValue(ref, gys::apoxh));
        g.set(gps::Perigrafh, y.getValue(ref, gys::Perigrafh));
        for (int i = 0; i < 6; ++i)
            g.set(gps::Sxolio1 + i, y.getValue(ref, gys::Sxolio1 + i));
        g.set(gps::detailPoint, false);
    } else {
        g.set(gps::detailPoint, true);
    }
    g.set(gps::Name, name);
    g.post();
    return true;
}

bool Document::enterNetworkCoordinate(int field, const std::string& text)
{
    if (EntryInProgress)
        return false;
    MemTable& g = *gps_;
    if (g.current() == NoRec)
        return false;
    Extended v = 0;
    if (!parseTyped(text, v)) {
        dropEmptyEdit(g);
        return false;
    }
    const int axis = field == gps::X ? 0 : field == gps::Y ? 1 : field == gps::Z ? 2 : -1;
    if (v != 0 && axis >= 0) {
        if (OutOfRange(v, wgs84Limits(inputForm(), axis))) {
            dropEmptyEdit(g);
            return false;
        }
    }

    EntryInProgress = true;
    EntryGuard guard(EntryInProgress, g);
    const long long id = g.asInteger(gps::ID);
    g.set(field, static_cast<double>(v));
    g.post();
    g.locateID(id);
    guard.disable();

    const bool detail = g.asBoolean(gps::detailPoint);
    if (!measurementOf(g, g.current())) {
        if (detail) {
            g.edit();
            g.set(gps::E, 0.0);
            g.set(gps::N, 0.0);
            g.set(gps::H, 0.0);
            g.set(gps::apoxh, 0.0);
            g.post();
        }
        return true;
    }
    if (!detail) {
        // A reference point decides the transformation: all of it again.
        RecomputeNetwork();
        g.locateID(id);
        return true;
    }
    TransformNetworkPoints(false);
    if (field == gps::apoxh)
        return true;  // a typed undulation stays
    g.locateID(id);
    if (g.asFloat(gps::E) == 0 && g.asFloat(gps::N) == 0)
        return true;  // no position (outside the HEPOS model's grid): no undulation
    FootpointCheck check;
    const Geographic p =
        TM87ToEllipsoidal(g.asFloat(gps::E), g.asFloat(gps::N), g.asFloat(gps::H), 0, &check);
    reportFootpoint(check);
    // Outside the geoid grid the undulation is left as it is, for the user to type.
    if (auto u = GeoidUndulation(shifts_, static_cast<double>(p.phi), static_cast<double>(p.lambda))) {
        g.edit();
        g.set(gps::apoxh, *u);
        g.post();
        TransformNetworkPoints(false);
        g.locateID(id);
    }
    return true;
}

// Reads what was typed into a field of the current reference point and
// checks it against the field's limits (0 is not exempt here); a refused
// value leaves the record as it was.
bool Document::readReferenceEntry(int field, const std::string& text, Extended& v)
{
    MemTable& y = *gys_;
    if (y.current() == NoRec)
        return false;
    const CoordinateLimits* lim = field == gys::E   ? &kReferenceEasting
                                  : field == gys::N ? &kReferenceNorthing
                                  : field == gys::f ? &kReferenceLatitude
                                  : field == gys::l ? &kReferenceLongitude
                                                    : nullptr;
    if (!parseTyped(text, v) || (lim && OutOfRange(v, *lim))) {
        dropEmptyEdit(y);
        return false;
    }
    return true;
}

bool Document::enterReferenceCoordinate(int field, const std::string& text)
{
    MemTable& y = *gys_;
    Extended v = 0;
    if (!readReferenceEntry(field, text, v))
        return false;
    y.set(field, static_cast<double>(v));
    const auto E = enteredValue(y, gys::E), N = enteredValue(y, gys::N);
    // Until both E and N are typed there is no position to derive from.
    if (E && N) {
        FootpointCheck check;
        const Geographic p = TM87ToEllipsoidal(*E, *N, y.asFloat(gys::H), y.asFloat(gys::apoxh), &check);
        reportFootpoint(check);
        y.set(gys::f, static_cast<double>(p.phi));
        y.set(gys::l, static_cast<double>(p.lambda));
        y.set(gys::ortho, static_cast<double>(p.h));
    }
    y.post();
    return true;
}

bool Document::enterReferenceGeographic(int field, const std::string& text)
{
    MemTable& y = *gys_;
    Extended v = 0;
    if (!readReferenceEntry(field, text, v))
        return false;
    if (field == gys::ortho)
        y.set(field, static_cast<double>(v));
    else
        y.set(field, static_cast<double>(DMSToRad(v)));
    const auto f = enteredValue(y, gys::f), l = enteredValue(y, gys::l);
    if (f && l) {
        const TM87 t = EllipsoidalToTM87(*f, *l, y.asFloat(gys::ortho), y.asFloat(gys::apoxh));
        y.set(gys::E, static_cast<double>(t.E));
        y.set(gys::N, static_cast<double>(t.N));
        y.set(gys::H, static_cast<double>(t.H));
    }
    y.post();
    return true;
}

bool Document::SwitchInputForm(InputForm to)
{
    const bool wasLoading = LoadingData;
    LoadingData = true;
    const bool switched = switchInputForm(*gps_, settings_->inputForm, to);
    LoadingData = wasLoading;
    if (!switched)
        return false;
    settingsChanged();
    // Every record was posted by the conversion.
    if (gps_->recordCount() > 0)
        NetworkModified = true;
    return true;
}

}  // namespace korthal
