#pragma once
// The coordinate calculator: seven groups of three edits (WGS84 geocentric and
// ellipsoidal, EGSA87 geocentric and ellipsoidal, TM87, TM87 after the
// network's transformation, HATT with its map sheet) and the buttons that
// convert one group into the next, alone or in chains.
//
// This class holds the texts of the edits, the enabled state of the buttons
// and the selections of the sheet and area lists; the window only mirrors
// them. Every conversion reads its source edits as the user's text, so a
// chain works on the rounded values that are on show, exactly as the user
// would when pressing the buttons one by one.

#include "geodesy/DatumShift.h"
#include "geodesy/Transformation.h"
#include "network/NumberText.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

// The edits, in groups of three.
enum class CalcEdit : int {
    WGS84X, WGS84Y, WGS84Z,
    WGS84f, WGS84l, WGS84h,
    EGSA87X, EGSA87Y, EGSA87Z,
    EGSA87f, EGSA87l, EGSA87h,
    TM87E, TM87N, TM87H,
    TM87Em, TM87Nm, TM87Hm,
    HATTx, HATTy, HATTh,
    EditApoxhEGSA, EditApoxhHATT,
    Count
};
constexpr int kCalcEditCount = static_cast<int>(CalcEdit::Count);

enum class CalcButton : int {
    SBWGS84ge, SBWGS84eg, SBWGS84gEGSA87g, SBEGSA87gWGS84g, SBEGSA87ge, SBEGSA87eg,
    SBEGSAeTM, SBTM87EGSAe, SBTM87TM87m, SBTM87mTM87, SBTM87HATT, SBHATTTM87,
    SBWGS84eEGSA87e, SBEGSA87eWGS84e, SBEGSAgTM87m, SBTM87mEGSA87g, SBHATTTM87m, SBTM87mHATT,
    SpeedButton11,
    Count
};
constexpr int kCalcButtonCount = static_cast<int>(CalcButton::Count);

// The hint of every conversion button.
extern const char* const kCalcButtonHint;  // "Κάντε κλίκ για να γίνει η αναγωγή"

// One row of the built-in area table: the HATT map sheets by name, with the
// sheet centre's longitude from the Athens meridian and latitude, in degrees.
struct HattArea {
    const char* name;
    double lambdaFromAthens;
    double phi;
};
constexpr int kHattAreaCount = 136;
extern const HattArea HattAreas[kHattAreaCount];

// Number of items in the sheet lists: latitude rows and longitude columns.
constexpr int kSheetRows = 15;
constexpr int kSheetCols = 19;

// A message the calculator has for the user. The calculator shows nothing:
// an operation returns its messages and the page shows them, choosing the
// icon by the problem.
enum class CalcProblem {
    NotANumber,     // an edit's text does not read as a number (the operation stops)
    NoSheet,        // HATT without a map sheet (the operation stops)
    NoConvergence,  // the footpoint iteration did not settle (the result is written)
    Singular,       // the transformation cannot be undone (the values pass unchanged)
};
struct CalcMessage {
    CalcProblem problem;
    std::string text;
};

// What an operation did: false when it stopped (nothing more was written),
// the messages in the order they arose, and the edit whose text could not be
// read (Count when none), for the window to put the cursor back into it.
struct CalcOutcome {
    bool ok = true;
    std::vector<CalcMessage> messages;
    CalcEdit refused = CalcEdit::Count;
    explicit operator bool() const { return ok; }
};

// What the calculator reads from the rest of the program. The pointers are
// held, not owned; the settings, shifts and transformation may change
// between calls and each conversion uses the values in force.
struct CalculatorContext {
    const NumberText* text = nullptr;
    const NumberSettings* numbers = nullptr;
    const DatumShiftTable* shifts = nullptr;
    const Transformation* transformation = nullptr;
};

class Calculator {
public:
    explicit Calculator(CalculatorContext ctx);

    // --- state -----------------------------------------------------------
    const std::string& text(CalcEdit e) const { return texts_[idx(e)]; }
    bool enabled(CalcButton b) const { return enabled_[idx(b)]; }
    int sheetRow() const { return cbf_; }      // CBf: -1 for none
    int sheetCol() const { return cbl_; }      // CBl: -1 for none
    int area() const { return area_; }         // CBperioxhs: -1 for none

    // Called after any text, enabling or selection changed (for the window).
    std::function<void()> onChanged;

    // --- edits -----------------------------------------------------------
    // Sets the text of an edit as typing or a program write does, and runs
    // the change handler of its group.
    void setText(CalcEdit e, std::string_view value);
    // Reformats the edit's number with its decimals when it is left. Fails
    // when its text is not a number.
    CalcOutcome exitEdit(CalcEdit e);
    // The widest text the program writes into an edit with the decimals in
    // force (the largest magnitude of its kind in Greece), for its width.
    std::string widestText(CalcEdit e) const;

    // --- buttons ---------------------------------------------------------
    // Runs the conversion of a button (the ones that convert; the others do
    // nothing here). Fails when a conversion could not be made (nothing more
    // was written).
    CalcOutcome convert(CalcButton b);

    // --- sheet and area lists ---------------------------------------------
    // An area picked from CBperioxhs: selects its sheet in CBf and CBl.
    void selectHattArea(int areaIndex);
    // A sheet row or column picked: finds the first area with that centre.
    void setSheet(int row, int col);
    // Picks the first area whose sheet is the one selected (none: -1).
    void selectAreaOfSheet();

    // --- loading from the point tables ------------------------------------
    // The current network point (X, Y, Z in the network's input form).
    void loadNetworkPoint(double X, double Y, double Z, double apoxh, InputForm form);
    // The current reference point.
    void loadReferencePoint(double E, double N, double H, double apoxh);

    // Sets EditApoxhHATT to -2.5 with two decimals (start-up).
    void initHattUndulation();

    // φ, λ (radians) of the EGSA87 ellipsoidal edits for the geoid map
    // marker. When EGSA87f is empty they are filled first from the TM87
    // edits, or when those are empty from the transformed TM87 edits (through
    // TM87, which is filled too). Fails when nothing usable is there or a
    // conversion failed.
    CalcOutcome geoidMarker(Extended& phi, Extended& lambda);

private:
    // What a change of each group's texts enables (run by setText).
    void wgs84GeocentricChanged();
    void wgs84EllipsoidalChanged();
    void egsa87GeocentricChanged();
    void egsa87EllipsoidalChanged();
    void tm87Changed();
    void transformedChanged();
    void hattChanged();

    // The conversions of the buttons, one group into the next; their
    // messages are gathered for the operation that runs them (convert).
    bool wgs84GeocentricToEllipsoidal();
    bool wgs84EllipsoidalToGeocentric();
    bool wgs84ToEgsa87Geocentric();
    bool egsa87ToWgs84Geocentric();
    bool egsa87GeocentricToEllipsoidal();
    bool egsa87EllipsoidalToGeocentric();
    bool egsa87EllipsoidalToTm87();
    bool tm87ToEgsa87Ellipsoidal();
    bool tm87ToTransformed();
    bool transformedToTm87();
    bool tm87ToHatt();
    bool hattToTm87();
    bool wgs84ToEgsa87Ellipsoidal();
    bool egsa87ToWgs84Ellipsoidal();
    bool egsa87GeocentricToTransformed();
    bool transformedToEgsa87Geocentric();
    bool hattToTransformed();
    bool transformedToHatt();

    static std::size_t idx(CalcEdit e) { return static_cast<std::size_t>(e); }
    static std::size_t idx(CalcButton b) { return static_cast<std::size_t>(b); }

    // Reads an edit as a number; keeps the conversion message on failure.
    bool read(CalcEdit e, Extended& v);
    void report(CalcProblem problem, std::string text);
    // Starts an operation, and hands over what it gathered.
    void begin();
    CalcOutcome outcome(bool ok);
    bool read3(CalcEdit first, Extended& a, Extended& b, Extended& c);
    void write(CalcEdit e, Extended v, int decimals);
    void store(CalcEdit e, std::string value);  // no change handler
    bool groupComplete(CalcEdit first) const;
    void enable(std::initializer_list<CalcButton> buttons, bool on);
    void changed();

    int gpsDec() const { return ctx_.numbers->GPSDecimals[NumberDestination::Screen]; }
    int egsaDec() const { return ctx_.numbers->EGSA87Decimals[NumberDestination::Screen]; }
    int dmsDec() const { return ctx_.numbers->DMSDecimals[NumberDestination::Screen]; }
    int decimalsOf(CalcEdit e) const;

    CalculatorContext ctx_;
    std::array<std::string, kCalcEditCount> texts_{};
    std::array<bool, kCalcButtonCount> enabled_{};
    int cbf_ = -1;
    int cbl_ = -1;
    int area_ = -1;
    CalcEdit refused_ = CalcEdit::Count;
    std::vector<CalcMessage> messages_;  // of the operation that runs
    int batch_ = 0;  // > 0 while a handler runs; onChanged waits for its end
};

}  // namespace korthal
