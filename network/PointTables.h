#pragma once
// The two point tables: GPS (the network of the job) and GYS (the reference
// points), their fields in file order, labels, formats and the byEidos index,
// the calculated fields of GPS, the texts of the grids' numeric cells, the
// switch between geocentric and ellipsoidal WGS84 input, and the text of the
// question asked before a record is deleted.

#include "geodesy/DatumShift.h"
#include "table/MemTable.h"
#include "network/NumberText.h"

#include <optional>
#include <string>

namespace korthal {

// Field indexes of GPS, in the table's (and the file's) field order.
namespace gps {
enum Field : int {
    ID, Name, X, Y, Z, E, N, H, detailPoint, Perigrafh,
    Sxolio1, Sxolio2, Sxolio3, Sxolio4, Sxolio5, Sxolio6,
    apoxh, xxxxxx,
    f, l, hp, Hx, Hy, Hh, ApoxhHatt,  // calculated
    FieldCount
};
}  // namespace gps

// Field indexes of GYS, in the table's (and the file's) field order.
namespace gys {
enum Field : int {
    ID, Name, E, N, H, Perigrafh,
    Sxolio1, Sxolio2, Sxolio3, Sxolio4, Sxolio5, Sxolio6,
    apoxh, f, l, ortho, xxxxxxx,
    FieldCount
};
}  // namespace gys

// The standard display formats of the numeric fields.
inline constexpr const char* kFmtMetres = "#,0.0000;;\"\"";          // zero shown empty
inline constexpr const char* kFmtRadians = "#,0.0000000000;;\"\"";
inline constexpr const char* kFmtApoxh = "#,0.0000";                  // zero shown
inline constexpr const char* kFmtPacked = "#0.0000000000;;\"\"";
inline constexpr const char* kFmtEdit = "##.####";

// Defines the fields and the index of an empty table. The calc handler of GPS
// reads the datum shifts through `shifts`, which must outlive the table.
void defineGPS(MemTable& table, const DatumShiftTable& shifts);
void defineGYS(MemTable& table);

// The calculated values of one GPS record from its E, N, H and apoxh.
struct GPSCalcValues {
    double f = 0, l = 0, hp = 0, Hx = 0, Hy = 0, Hh = 0, ApoxhHatt = 0;
};
GPSCalcValues computeGPSCalc(const DatumShiftTable& shifts, double E, double N, double H,
                             double apoxh);
// The calculated-fields handler of GPS (bound by defineGPS).
void GPSCalcFields(const DatumShiftTable& shifts, const RecordView& rec, CalcValues& out);

// A field's standard text by its display format: grouping when the format
// has ',', as many decimals as zeros after the '.', and an empty text for zero
// when the format's third section is empty quotes. Separators are the system's.
std::string formatByDisplayFormat(const std::string& format, double value, Separators system);

// Network grid: data column 0 Name, 1..3 X Y Z, 4..6 E N H, 7 apoxh.
inline constexpr int kNetworkColumns = 8;
int networkColumnField(int column);

// Values not entered. The network and reference files keep 0 for a
// coordinate or height not entered yet (a null field reads 0 too), so both
// read back as empty here: every rule that asks whether a value was entered
// asks these, and nothing else compares a coordinate with 0.
std::optional<double> enteredValue(const MemTable& table, Rec rec, int field);
// The same for the current record as it is being edited.
std::optional<double> enteredValue(const MemTable& table, int field);
// A network point's WGS84 measurement as entered: X, Y, Z in the geocentric
// form, packed φ, λ and h in the ellipsoidal one. Empty unless all three are.
struct Measurement {
    double a = 0, b = 0, c = 0;
};
std::optional<Measurement> measurementOf(const MemTable& gpsTable, Rec rec);

// What the network grid shows in its last three coordinate columns: EGSA87
// E, N, H; EGSA87 φ, λ (DD.MMSSsss) and h; or HATT x, y with H (and the
// undulation column then shows the HATT one). The values are the grid's
// button order.
enum class NetworkView : int { Egsa87Projected = 0, Egsa87Geographic = 1, Hatt = 2 };

// The text of a network grid cell in `view`; columns 1..3 are read in the
// input form `form`. Zero in the column's own field gives an empty cell in
// every view.
std::string networkCellText(const MemTable& gpsTable, Rec rec, int column, NetworkView view,
                            InputForm form, const NumberText& numbers,
                            const NumberSettings& settings);
// Rows of reference points are drawn red in columns 0 and 4..7.
bool networkCellIsRed(const MemTable& gpsTable, Rec rec, int column);

// Reference grid: 0 Name, 1 E, 2 N, 3 H, 4 apoxh, 5 f, 6 l, 7 ortho.
inline constexpr int kReferenceColumns = 8;
int referenceColumnField(int column);
std::string referenceCellText(const MemTable& gysTable, Rec rec, int column,
                              const NumberText& numbers, const NumberSettings& settings);
// The get-text of GYS f and l: empty for 0, otherwise the radians as
// DD.MMSSsss with `dmsDecimals` decimals and the system separators.
std::string GYSfGetText(double radians, int dmsDecimals, Separators system);
// Installs GYSfGetText as the get-text handler of GYS f and l, reading the
// decimals from `settings` (DMSDecimals of the screen), which must outlive
// the table.
void installGYSfGetText(MemTable& gysTable, const NumberSettings& settings, Separators system);

// Switches the WGS84 input form of the network (the two grouped buttons):
// `to` is the button pressed. Pressing the button of the form in force does
// nothing and returns false. Otherwise sets `form` to `to` and
// converts X, Y, Z of every record in place (records whose X, Y and Z are all
// 0 are left alone: the origin has no ellipsoidal position), keeping the
// current record, and returns true.
bool switchInputForm(MemTable& gpsTable, InputForm& form, InputForm to);

// The question asked before a record is deleted through the navigator (the
// document asks it).
inline constexpr const char* kDeleteCaption = "ΠΡΟΣΟΧΗ !  ΔΙΑΓΡΑΦΗ ΕΓΓΡΑΦΗΣ";
inline constexpr const char* kDeleteQuestion = "Θέλετε να διαγράψετε αυτή την εγγραφή ?";

}  // namespace korthal
