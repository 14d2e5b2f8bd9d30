#pragma once
// The two settings files: the program's (the network open last, the folder of
// the last photograph) and the network's (number display per destination,
// transformation choices, datum shifts).
//
// NetworkSettings is the settings page as data: the values of its controls
// (the page shown, the two separator choices, the four decimals, the
// transformation choices, the coordinate form, the texts of the nine datum
// shift edits), the run-time values they feed (NumberSettings, the display
// separators, the input form) and the SettingsModified flag. The settings
// page of the window shows and edits this object; LoadParams and saveParams
// read and write it.

#include "geodesy/DatumShift.h"
#include "network/NumberText.h"

#include <array>
#include <map>
#include <string>

namespace korthal {

// The name with its extension (after the last '.' of the last path
// component) replaced by `ext` (which includes the dot), or `ext` appended.
std::string changeFileExt(const std::string& path, const std::string& ext);

// ---- Program settings file ----

// Where the main window stood when the program last ended: its inner
// rectangle when not maximized, in the screen's logical pixels, and whether
// it was maximized. `known` is false until a run has stored it.
struct WindowPlacement {
    bool known = false;
    int left = 0, top = 0, width = 0, height = 0;
    bool maximized = false;
};

struct ProgramSettings {
    std::string LastFile = "TEMP.WGS84";  // section "General"
    std::string IconsPath = ".";
    WindowPlacement window;  // section "Window"; written only when known
    WindowPlacement rinexWindow;  // section "RinexWindow" (size and maximized state)
};

// The executable's path with the extension ".INI".
std::string programSettingsPath(const std::string& executablePath);
// A missing file or key gives the defaults.
ProgramSettings loadProgramSettings(const std::string& iniPath);
// False (with `error` set) when the file cannot be written.
bool saveProgramSettings(const std::string& iniPath, const ProgramSettings& s, std::string& error);

// ---- Network settings file ----

// The network file's path with the extension ".INI".
std::string networkSettingsPath(const std::string& networkFile);

// The nine datum shift keys of section "General", in the order of the edits
// (WGS84 to GRS80, to Bessel, to ED50; ΔX, ΔY, ΔZ each), and their defaults.
extern const std::array<const char*, 9> kShiftKeys;
extern const std::array<double, 9> kShiftDefaults;

// The estimation of the local transformation. The settings file stores the
// number (key "method"); a further method takes the next number, so that
// files written before it still read as they did.
enum class EstimationMethod : int {
    None = 0,       // no transformation: the identity
    Similarity2D = 1,  // four parameters, closed form, heights pass
    Similarity3D = 2,  // seven parameters, iterative least squares
    // No estimation: the measurements are taken as HTRS07 and carried into
    // EGSA87 by the national HEPOS model; the reference points check it.
    HeposModel = 3,
};
// The method of a stored or chosen number; a number no method has is None.
EstimationMethod estimationMethodOf(long long stored);
inline int storedNumber(EstimationMethod m) { return static_cast<int>(m); }

// Control ranges.
inline constexpr int kMaxCoordDecimals = 10;  // GPS, EGSA87 and parameter decimals
inline constexpr int kMaxDMSDecimals = 12;
inline constexpr int kMinConvergence = 1;
inline constexpr int kMaxConvergence = 100000;

class NetworkSettings {
public:
    explicit NetworkSettings(Separators system = localeSeparators());

    Separators system() const { return system_; }

    // ---- The controls of the settings page ----
    static constexpr int kDefaultAprioriH = 20, kDefaultAprioriV = 40;
    int page = 0;             // TabControlDecimal: 0 screen, 1 input files, 2 output files
    int thousandsChoice = 0;  // ComboBox2: 0 '.', 1 ',', 2 ' ', 3 none
    int decimalChoice = 1;    // ComboBox3: 0 '.', 1 ','
    int gpsDecimals = 4;      // SpinEdit2
    int egsaDecimals = 4;     // SpinEdit3
    int paramDecimals = 8;    // SpinEdit1
    int dmsDecimals = 9;      // SpinEdit4
    EstimationMethod method = EstimationMethod::None;  // RG2d
    int kind = 0;             // RGafinikoy: 0 similarity, 1 affine, 2 optimal
    int maxDm = 100, maxDe = 100, maxDt = 100;  // SEmaxDm, SEmaxDe, SEmaxDt
    // The a-priori precision (mm) of the reference points' known minus
    // transformed coordinates, against which their agreement is tested:
    // keys "AprioriH" (E and N) and "AprioriV" (H) of [General], 1..1000;
    // written only when a file has them or they differ from the default.
    int aprioriH = kDefaultAprioriH, aprioriV = kDefaultAprioriV;
    std::array<std::string, 9> shiftTexts;       // EditGRS80DX .. EditED50DZ
    // Reference points left out of the estimation (they become check
    // points), by the network record's ID, each with the point's name, which
    // is written beside the ID for whoever reads the file. Section
    // "ExcludedPoints"; absent when no point is left out.
    std::map<long long, std::string> excludedPoints;

    // ---- Run-time values ----
    InputForm inputForm = InputForm::Geocentric;  // "coords": 0 geocentric, 1 ellipsoidal
    NumberSettings numbers;         // per destination
    Separators display;             // DisplayDecimalSeparator, DisplayThousandSeparator
    bool SettingsModified = false;

    // ---- Changes made on the page (each sets SettingsModified) ----
    // A separator choice: applies the rule that keeps the two different,
    // stores both into the arrays at the page shown and refreshes `display`.
    void chooseThousandsSeparator(int choice);
    void chooseDecimalSeparator(int choice);
    void setGpsDecimals(int value);  // GPS decimals of the page shown
    void setEgsa87Decimals(int value);  // EGSA87 decimals
    void setParameterDecimals(int value);  // parameter decimals
    void setDmsDecimals(int value);  // DD.MMSSsss decimals
    void setMethod(EstimationMethod m);
    void setKind(int v);
    void setConvergence(int dm, int de, int dt);
    // The a-priori precision of the reference points (mm), each 1..1000.
    void setAprioriPrecision(int horizontalMm, int verticalMm);
    void setShiftText(int i, std::string text);
    // Leaving a datum shift edit: the first system thousands separator in its
    // text becomes the system decimal separator.
    void shiftEditExit(int i);
    // The coordinate form buttons.
    void setInputForm(InputForm form);
    // Leaves the point out of the estimation or takes it back.
    void setExcluded(long long id, const std::string& name, bool excluded);

    // Reads the network settings file (missing file or keys: defaults) into
    // the controls of the page shown and all run-time values, and refills
    // `shifts` from the nine datum shifts. Does not touch SettingsModified;
    // callers clear it after a load.
    void LoadParams(const std::string& iniPath, DatumShiftTable& shifts);
    // Writes the separators and decimals of the page shown, all "General"
    // values and the excluded points; each key reaches the file at once. Stops at the first datum
    // shift whose text is not a number (the keys before it stay written) or
    // at a write that fails: returns false with `error` set. Clears
    // SettingsModified on success. With `allPages` the other two pages'
    // separators and decimals are written too, from the run-time values: a
    // settings file under a new name then holds every setting.
    bool saveParams(const std::string& iniPath, std::string& error, bool allPages = false);
    // Shows another number page: writes the page being left when modified
    // (a failure keeps the page and returns false with `error`), then loads
    // the new page and clears SettingsModified.
    bool switchPage(int newPage, const std::string& iniPath, DatumShiftTable& shifts,
                    std::string& error);

private:
    void storeSeparators();
    Separators system_;
};

}  // namespace korthal
