#pragma once
// The application state of one run: both point tables, the open network's
// name, the modified flags, the network settings, the datum shifts and the
// transformation in force, and the routines that tie them together.
//
// The window's handlers call these routines (RecomputeNetwork,
// enterNetworkCoordinate, ...). They never show anything themselves:
// messages and questions go through korthal::dialogs(). A window binds its
// grids to GPS() and GYS(), calls these routines and redraws from the data
// they leave (parameters(), residuals(), the extents, caption()).
//
// Conventions: the network's E, N, H are EGSA87 TM87 easting, northing and
// orthometric height in metres; X, Y, Z are WGS84 geocentric metres, or packed
// φ, λ (DD.MMSSsss) and h when InputIsGeocentric() is false. A coordinate of 0
// stands for a value not entered yet.

#include "geodesy/Adjustment.h"
#include "geodesy/DatumShift.h"
#include "geodesy/Extended.h"
#include "geodesy/TM87.h"
#include "geodesy/Transformation.h"
#include "table/MemTable.h"
#include "network/NumberText.h"
#include "network/SelfTest.h"
#include "project/Settings.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korthal {

struct CoordinateLimits;  // network/EntryLimits.h: the ranges of typed coordinates
class NetworkSettings;  // project/Settings.h: the network settings and their file

// A bounding box of eastings and northings (m). The reset state (MaxE = MaxN
// = 0, MinE = MinN = 100000000) means "no point yet".
struct Extent {
    double MaxE = 0, MaxN = 0, MinE = 100000000, MinN = 100000000;
    void widen(double E, double N);
    bool empty() const { return MaxE < MinE; }
};

// The residual of one reference point of the network after the
// transformation: its known EGSA87 coordinates minus those computed from its
// WGS84 measurement and transformed (m). vH is 0 when heights were not used.
// With the HEPOS model, its discrepancy: known minus the model's.
struct ReferenceResidual {
    long long id = 0;  // the network record's ID
    std::string name;
    double vE = 0, vN = 0, vH = 0;
    // False when the point's X, Y or Z is missing: it took no part in the
    // estimation and has no residual.
    bool used = true;
    // Left out of the estimation by the user: a check point, whose vE, vN,
    // vH are its discrepancy (known minus transformed).
    bool excluded = false;
    // Pope's τ of the point (the largest over its coordinates) when the
    // estimation's points were tested; 0 otherwise.
    double tau = 0;
    int tauAxis = 0;  // 0 E, 1 N, 2 H
    // The point with the largest τ above the critical value: the one most
    // likely to carry a gross error. At most one point at a time.
    bool suspect = false;
    // With the HEPOS model: the point lies outside its correction grid and
    // has no discrepancy (used is false).
    bool outsideGrid = false;
    // Whether vH is a height discrepancy; false for a point compared with
    // the HEPOS model without a known height (vH then stays 0 and is not
    // shown).
    bool withHeight = true;
};

// The transformation as the settings page shows it: three equations
// Ea = a11·Eb + a12·Nb + a13·Hb + a14 (rows E, N, H) made of labels.
enum class TermPart { Sign, Coefficient, Symbol, Subscript };

struct ParamLabel {
    int column = 1;  // 1..4 (4: the shift)
    TermPart part = TermPart::Sign;
    std::string text;
    bool visible = false;
};

struct ParamRow {
    // Left to right: sign, value, symbol, subscript of columns 1..3, then sign
    // and value of column 4. Hidden labels take no room, so the visible ones
    // close up in this order.
    std::vector<ParamLabel> labels;
    // The visible labels one after the other, e.g. "+1.00000100Eb-0.00000200Nb+12.3456".
    std::string text() const;
    const ParamLabel& label(int column, TermPart part) const;
};

struct TransformationDisplay {
    std::array<ParamRow, 3> rows;       // E, N, H
    std::string Lmx, Lmy, Lmz, Lmxyz;   // RMS residuals (GPS decimals)
    // Summary: scale, rotations in degrees, shifts in metres.
    std::string Lmix, Lex, Ley, Lez, Ltx, Lty, Ltz;
    bool LexVisible = true, LeyVisible = true, LtzVisible = true;  // only in 3-D
    // Standard errors beside the summary ("± 0,85 ppm", "± 0,12\"",
    // "± 0,0123 m"); empty when the adjustment has no redundancy.
    std::string sMix, sEx, sEy, sEz, sTx, sTy, sTz;
    std::string scaleCaption = "μ  =";   // "μx =" for a kind other than similarity
    bool miyVisible = false;             // caption "μy ="
    bool mizVisible = false;             // caption "μz ="
};

// What an import of a point list did.
struct ImportResult {
    bool opened = false;
    char separator = '\0';  // '\t', ',' or '\0' when none was found
    int imported = 0;
    // Rejected lines: line number (from 1) and the reason, of the first
    // kKeptRejections of them (those the message shows); rejectedLines
    // counts them all.
    static constexpr std::size_t kKeptRejections = 20;
    std::vector<std::pair<long long, std::string>> rejected;
    long long rejectedLines = 0;
};

// What the exit sequence wrote.
struct ExitResult {
    bool referenceWritten = false;
    bool networkWritten = false;
    bool settingsWritten = false;
    bool programSettingsWritten = false;
    bool cancelled = false;  // the name question was cancelled
    std::vector<std::string> failed;  // names whose write failed
};

// What the start-up read.
struct StartUpResult {
    ProgramSettings program;
    std::string referenceProblem;
    bool networkOpened = false;  // the network's file is there (and was read)
};

class Document {
public:
    // `system`: the system's separators (default: those of the locale).
    explicit Document(Separators system = localeSeparators());
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // ---- State ----
    MemTable& GPS() { return *gps_; }  // network points
    MemTable& GYS() { return *gys_; }  // reference points
    const MemTable& GPS() const { return *gps_; }
    const MemTable& GYS() const { return *gys_; }
    NetworkSettings& settings() { return *settings_; }
    const NetworkSettings& settings() const { return *settings_; }
    // The number settings of the three destinations (part of settings()).
    NumberSettings& numberSettings();
    const NumberSettings& numberSettings() const;
    // The number text of the screen: the display separators (page 0 of the
    // number settings) and the system's separators.
    NumberText& numbers() { return numbers_; }
    const NumberText& numbers() const { return numbers_; }
    DatumShiftTable& datumShifts() { return shifts_; }
    const DatumShiftTable& datumShifts() const { return shifts_; }
    Transformation& transformation() { return tr_; }
    const Transformation& transformation() const { return tr_; }
    InputForm inputForm() const;
    bool InputIsGeocentric() const { return inputForm() == InputForm::Geocentric; }

    std::string CurrentFileName = "TEMP.WGS84";
    std::string IconsPath = ".";
    std::string LastTextFile = "TEST.TXT";
    // The main window's place, read from and written to the program
    // settings file with LastFile (the window fills it as it closes).
    WindowPlacement MainWindowPlacement;
    // The same for the RINEX window (its size and maximized state).
    WindowPlacement RinexWindowPlacement;
    // The reference point file; relative to the working folder.
    std::string ReferenceFileName = "EGSA87";
    bool NetworkModified = false;
    bool ReferenceModified = false;
    // Whether the network settings changed since they were read or written.
    // The flag is the settings object's own (every change made through
    // settings() sets it); these read and set it.
    bool settingsModified() const;
    void setSettingsModified(bool modified);
    bool LoadingData = false;
    bool EntryInProgress = false;

    // The window caption: after openNetwork "   Korthal  (v1.0)    Αρχείο : " +
    // CurrentFileName, after NewNetwork "   Korthal      Αρχείο : " + the name.
    const std::string& caption() const { return Caption; }
    std::string Caption;

    // ---- Results of the last network computation ----
    // Reference points in the estimation, and those left out of it.
    int RefPointCount = 0;
    int CheckPointCount = 0;
    bool Use3D = true;
    Extended RmsE = 0, RmsN = 0, RmsH = 0, RmsTotal = 0;
    Extent ExtentAll, ExtentDetail, ExtentReference;
    const std::vector<ReferenceResidual>& residuals() const { return residuals_; }
    // The residual of the network record with this ID, if it is a reference point.
    const ReferenceResidual* residualOf(long long id) const;
    // σ0, the parameters' standard errors and the test of the points of
    // the last estimation (empty with no estimation).
    const AdjustmentStatistics& statistics() const { return stats_; }
    const TransformationDisplay& parameters() const { return display_; }
    // The names of the network's points in table order, as the last
    // RecomputeNetwork found them (the RINEX viewer's point list).
    const std::vector<std::string>& pointNames() const { return pointNames_; }
    // Whether the method in force is the HEPOS model: no estimation, the
    // reference points only check the model.
    bool heposModel() const;
    // The points of the last computation that the HEPOS model could not
    // carry (outside its correction grid): the reference points (without a
    // discrepancy) in table order, then the detail points (without E, N, H).
    std::vector<std::string> outsideGrid() const;

    // Told after RecomputeNetwork and after ShowTransformationParameters.
    std::function<void()> onParametersChanged;

    // ---- Network computation ----
    void RecomputeNetwork();
    // Whether the network record with this ID is left out of the estimation.
    bool isExcluded(long long id) const;
    // Leaves the reference point with this ID out of the estimation (it
    // becomes a check point) or takes it back; the choice belongs to the
    // network settings. Recomputes the network when the choice changed.
    void setExcluded(long long id, bool excluded);
    // Names of network reference points to leave out, in addition to the
    // settings' choice (the command line's --exclude). Returns the names
    // that are no reference point of the network.
    std::vector<std::string> excludeByName(const std::vector<std::string>& names);
    // All records (with fresh extents), or the current record only.
    void TransformNetworkPoints(bool AllRecords);
    // Rebuilds parameters() from the transformation and the RMS values.
    void ShowTransformationParameters();
    static char SignChar(Extended v) { return v < 0 ? '-' : '+'; }

    // ---- Entry rules (current record of the table; true when stored) ----
    // Fields are the indexes of network/PointTables.h (gps::X, gys::E, ...).
    // The tables' set-text handlers call these, so MemTable::setText from a
    // grid runs them as well.
    bool enterNetworkPointName(const std::string& text);
    // field: X, Y, Z, E, N, H or apoxh of GPS.
    bool enterNetworkCoordinate(int field, const std::string& text);
    // field: E, N, H or apoxh of GYS.
    bool enterReferenceCoordinate(int field, const std::string& text);
    // field: f, l or ortho of GYS.
    bool enterReferenceGeographic(int field, const std::string& text);
    // Names and descriptions of both tables: text with characters the files'
    // code page 1253 cannot hold is refused with a message naming them (it
    // would reach the file with '?' in their place); the field keeps its value.
    bool enterPointText(MemTable& table, int field, const std::string& text);
    // Shows the range message and returns true when v lies outside `limits`.
    bool OutOfRange(Extended v, const CoordinateLimits& limits);

    // The two input form buttons: converts X, Y, Z of every network point to
    // the form `to`. The button of the form in force
    // does nothing (false). Marks the settings changed, and the network when
    // it has points, and puts the settings in force.
    bool SwitchInputForm(InputForm to);

    // ---- Files ----
    // Loads the reference point file into GYS; errors leave it empty or
    // partly filled, without a message. Clears ReferenceModified.
    bool LoadReference(const std::string& path);
    // Opens a network file (or a .TXT point list) into GPS, reads its
    // settings and recomputes the network.
    void openNetwork(const std::string& FileName);
    // Reads a point list into GPS through the entry rules. Used by openNetwork;
    // reports the rejected lines in one message.
    ImportResult ImportPointList(const std::string& path);
    // What the last point list import did (set by ImportPointList).
    ImportResult LastImport;
    // Why the last network or reference file did not load completely, for
    // the command line (the window stays silent); empty when it loaded.
    std::string LastLoadProblem;
    // The new button: identity, empty network, "Νέο αρχείο σημείων.WGS84"
    // (inside the job folder of the network before, when asked).
    void NewNetwork(bool inPreviousJobFolder = false);
    // Network settings file of CurrentFileName (extension ".INI"), or
    // SettingsFileOverride when that is set (the command line's --settings).
    std::string settingsFileName() const;
    std::string SettingsFileOverride;
    // Reads the network settings and puts them in force (datum shifts,
    // number settings); clears SettingsModified.
    void LoadParams();
    // After a change made through settings(): puts the display separators in
    // force and refreshes the calculated fields. (A change of the method or
    // of a convergence limit also calls for RecomputeNetwork.)
    void applySettings();
    // After a change on the settings page: marks the settings modified and
    // puts them in force (applySettings).
    void settingsChanged();
    // Shows another page of the number settings (screen, input files, output
    // files): writes the page being left when it changed, reads the new one
    // and puts it in force. False when writing the page being left failed
    // (the page shown stays).
    bool switchNumberPage(int page);
    // Writes the network settings; false when the write failed.
    bool saveParams();
    // Writes the network settings of a network just saved under a new name:
    // the file of its previous name is copied first (keys that other parts
    // keep there go along), then every page and "General" value is written.
    bool saveParamsFrom(const std::string& previousSettingsFile);
    // Writes the network table under `name`, which becomes CurrentFileName,
    // and the network settings when they changed or the name is new (a
    // network saved under a new name takes its settings along: without them
    // its coordinates would be read back in the default input form). Shows
    // the save error message and returns false when a write failed.
    bool saveNetworkAs(const std::string& name);
    // The name the save question offers: CurrentFileName, with a point
    // list's ".TXT" replaced by ".WGS84" so that a point list is never
    // overwritten by a network file.
    std::string offeredNetworkName() const;
    // The start-up, for the window and without it: reads the program
    // settings, loads the reference file and opens the network of
    // openStartUpNetwork. Returns the program settings read (the window
    // takes its place from them) and why the reference file did not load
    // completely (empty when it did, or when it is missing).
    StartUpResult startUp(const std::string& programSettingsFile,
                          const std::optional<std::string>& fileToOpen = std::nullopt);
    // The network the start-up opens: `fileToOpen` when the program was given
    // one (its command line), else `lastFile` of the program settings. A
    // given file that is not there is put in LastLoadProblem, so that it is
    // said; a missing last file stays silent. Either way the network starts
    // empty under that name.
    void openStartUpNetwork(const std::string& lastFile,
                            const std::optional<std::string>& fileToOpen);
    // The writes after the window has closed. Questions and the save error
    // message go through dialogs().
    ExitResult ExitSequence(const std::string& programSettingsFile);

    // The self-test of the "test" page, on the transformation in force (the
    // next RecomputeNetwork restores the network's). With `reportFile` the
    // report is written there (code page 1253) and LastTextFile names it;
    // a failed write shows the save error message. `test` is the caller's so
    // that a stop button can reach it.
    SelfTestResult RunSelfTest(SelfTest& test, const SelfTestSettings& s,
                               const std::string& reportFile = {},
                               const std::function<void(const SelfTestProgress&)>& progress = {});

    // The names of all reference points in name order (the pick list).
    std::vector<std::string> ReferenceNames() const;

    // The save error message for a file name.
    static std::string saveErrorMessage(const std::string& name);
    // Whether `name` may be written: true when no such file exists or the
    // user agrees to replace it (replaceQuestion, Yes/No). `exists` says
    // whether anything would be replaced, for a name that stands for several
    // files; without it, whether the file `name` exists.
    static bool mayWriteOver(const std::string& name);
    static bool mayWriteOver(const std::string& name, bool exists);
    // The name question of a network save, prefilled with `offered`; a name
    // other than the network's own that names an existing file is written
    // over only when the user agrees, otherwise the name is asked again.
    // nullopt when the user cancels.
    std::optional<std::string> askNetworkName(const std::string& offered) const;
    // After the network was written under a new name (CurrentFileName now):
    // copies of its points' photographs and observation tables are made
    // under the new name; a failure is said, the network stays saved.
    void takePointFilesAlong(const std::string& previousName);

private:
    // The steps of RecomputeNetwork: the reference points of the network,
    // the estimation from them, and their residuals and RMS values.
    struct ReferenceSet;
    ReferenceSet gatherReferencePoints();
    void estimateFrom(const ReferenceSet& set);
    void computeResiduals(ReferenceSet& set);
    void compareWithModel(const ReferenceSet& set);
    // Whether X, Y and Z of the network record are all entered (not 0).
    bool measured(Rec r) const;
    // The record's WGS84 measurement and undulation as TM87 of EGSA87,
    // before the local transformation: by the datum relation, or with the
    // HEPOS model by that model (the measurement taken as HTRS07). `outside`
    // tells of a point outside the model's grid, which has no position.
    TM87 projectMeasurement(Rec r, bool* outside = nullptr) const;
    TM87 projectWGS84(double A, double B, double C, double undulation, bool& outside) const;
    // Shows which points the HEPOS model could not carry, if any.
    void reportOutsideGrid() const;
    // E, N, H of a projected point under the transformation in force.
    void applyTransformation(TM87 t, double& E, double& N, double& H) const;
    bool computeDetail(Rec r, double& E, double& N, double& H, bool* outside = nullptr) const;
    // Shows the message of an estimation that did not simply succeed.
    static void reportEstimation(EstimationStatus status);
    // Shows the non-convergence message of a footpoint iteration that did not settle.
    static void reportFootpoint(const FootpointCheck& check);
    // TM87 of every measured detail point before the local transformation,
    // taken from projected_ where its inputs are unchanged and otherwise
    // computed (by two threads for large networks) and kept there.
    // `outside` marks the points outside the HEPOS model's grid.
    void projectDetails(const std::vector<Rec>& recs, std::vector<TM87>& out,
                        std::vector<char>& outside) const;
    // Forgets the kept projections when the shift or the input form changed.
    void checkProjections() const;
    // An imported detail point: its record and WGS84 input, and what the
    // first computation gives it (see computeImported).
    struct ImportedDetail {
        Rec rec = NoRec;
        double X = 0, Y = 0, Z = 0, apoxh = 0;
        std::optional<double> undulation;
        bool noConvergence = false;
        bool outsideGrid = false;  // HEPOS model: no position, E, N, H stay 0
        TM87 projected;
        double E = 0, N = 0, H = 0;
    };
    void computeImported(std::vector<ImportedDetail>& points) const;
    bool parseTyped(const std::string& text, Extended& v);
    bool readReferenceEntry(int field, const std::string& text, Extended& v);
    ConvergenceCriteria criteria() const;
    // The settings' a-priori precision of the reference points, in metres.
    AprioriPrecision aprioriPrecision() const;
    EstimationMethod method() const;
    int kind() const;

    std::unique_ptr<NetworkSettings> settings_;
    std::unique_ptr<MemTable> gps_, gys_;
    NumberText numbers_;
    DatumShiftTable shifts_;
    Transformation tr_;
    std::vector<ReferenceResidual> residuals_;
    AdjustmentStatistics stats_;
    std::vector<std::string> pointNames_;
    std::vector<std::string> outsideReference_, outsideDetail_;
    TransformationDisplay display_;
    // A detail point's projection (WGS84 to TM87, no local transformation)
    // with the inputs it came from, by record slot. The projection depends on
    // nothing else but the WGS84 -> EGSA87 shift and the input form, which
    // are kept beside it: a recompute after a change of the reference points
    // only applies the new transformation.
    struct Projected {
        double X = 0, Y = 0, Z = 0, apoxh = 0;
        TM87 t;
        bool outside = false;
        bool valid = false;
    };
    mutable std::vector<Projected> projected_;
    mutable ShiftTriple projectedShift_;
    mutable InputForm projectedForm_ = InputForm::Geocentric;
    mutable bool projectedHepos_ = false;
};

// The question asked before an existing file is replaced, wherever the
// program writes a file the user named.
std::string replaceQuestion(const std::string& name);

}  // namespace korthal
